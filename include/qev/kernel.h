/*
 * The host kernel as the display module sees it: the global control block the
 * host hands to mcn_main, and the kernel vector of service slots hung in it.
 *
 * The module never links against the host.  Every kernel service is a slot of
 * `qev_kernel`; the module calls it through an entry stub of the same name
 * (runtime/wuhost.cpp), which fetches the vector from the control block.
 *
 * Conventions of every slot: 0 is success, anything else a status
 * (qev/status.h).  Strings are a pointer and a length; host object names are
 * fixed-width, blank-padded fields.  A slot given a bad argument (null
 * pointer, negative length, unknown handle) answers a status and never
 * crashes.
 */
#ifndef QEV_KERNEL_H
#define QEV_KERNEL_H

#include <stddef.h>
#include <stdint.h>

#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

struct qev_kernel;
typedef struct qev_task qev_task;       /* a host task (opaque) */
typedef struct qev_context qev_context; /* a task's execution context (opaque) */
typedef struct qev_lib qev_lib;         /* an open catalog library (opaque) */
typedef struct qev_member qev_member;   /* an open catalog member (opaque) */
typedef struct qev_file qev_file;       /* an open external record file (opaque) */
typedef struct qev_image qev_image;     /* a loaded host image (opaque) */

/* ------------------------------------------------------------------------
 * Global control block, handed to mcn_main.  Word numbers are those of a
 * 32-bit host; on 64-bit only the addresses widen.
 */
#define QEV_GCB_EYE "QEVGCB  "
#define QEV_XLT_TABLES 5       /* translation tables 0..4; 2 is upper case */
#define QEV_CC_NUMERIC 0x04    /* character-class bit: a digit */
#define QEV_CC_ALPHA   0x01    /* character-class bit: a letter */
#define QEV_CC_BLANK   0x02    /* character-class bit: a blank */

typedef struct qev_gcb {
  char eye[8];                        /* words 0-1: QEV_GCB_EYE */
  const struct qev_kernel *kernel;    /* word 2: the kernel vector */
  void *module_state;                 /* word 3: the display module's state block */
  qev_task *override_task;            /* word 4: task whose context is used for record
                                         and replay when set, else the current task */
  int32_t host_flags;                 /* word 5 */
  int32_t multibyte;                  /* word 6: non-zero in double-byte mode */
  int32_t reserved7;                  /* word 7 */
  const uint8_t *char_class;          /* word 8: 256-byte character-class table */
  const uint8_t *xlt[QEV_XLT_TABLES]; /* words 9-13: byte translation tables */
  const uint8_t *case_fold[2];        /* words 14-15: first and second case tables */
} qev_gcb;

/* ------------------------------------------------------------------------
 * Memory pools.  A pool's first two members are its allocate and free
 * functions; the rest belongs to the host.  A free may name size -1 (the
 * pool knows the block's size).
 */
typedef struct qev_pool qev_pool;
typedef void *(*qev_pool_alloc_fn)(qev_pool *pool, int32_t size, int32_t flags);
typedef wu_status (*qev_pool_free_fn)(qev_pool *pool, void *block, int32_t size, int32_t flags);
struct qev_pool {
  qev_pool_alloc_fn alloc;
  qev_pool_free_fn free;
};

/* A counted string argument of the log and format services. */
typedef struct qev_arg {
  int32_t kind;          /* QEV_ARG_TEXT or QEV_ARG_INT */
  int32_t length;        /* text length */
  const char *text;
  int32_t value;
} qev_arg;
#define QEV_ARG_TEXT 1
#define QEV_ARG_INT 2

/* Log classes: the prefixes "%1z", "%2z", "%3z" at the head of a log text. */
#define QEV_LOG_NOTE 1
#define QEV_LOG_WARNING 2
#define QEV_LOG_ERROR 3

/* A command token of the running command. */
typedef struct qev_token {
  int16_t type;          /* QEV_TOK_... */
  int16_t subtype;
  int16_t length;
  int16_t reserved;
  const char *text;
} qev_token;
#define QEV_TOK_END 1
#define QEV_TOK_NAME 2
#define QEV_TOK_SPECIAL 22     /* subtype 15 "=", 21 "." */
#define QEV_TOK_END2 30
#define QEV_TOK_NUMBER 3       /* a decimal number (text in the token) */
#define QEV_TOK_STRING 4       /* a quoted string (text without the quotes) */

/* Task traps: run by wtsignl on the signalled task. */
typedef wu_status (*qev_trap_fn)(qev_task *task, int32_t signal, void *message, void *data);
#define QEV_SIG_EVPROC 21      /* run a control's event procedure on the display task */

/* Task slots. */
#define QEV_TASK_SLOT_SESSION 11   /* the display module's session record */
#define QEV_TASK_SLOTS 16

/* Event classes of yuevntg. */
#define QEV_EVCLASS_CONTROL 1050   /* a control event record (52 bytes on a 32-bit host) */

/* Event suppression (yusupev): the argument sets the current task's flag,
   QEV_SUPPRESS_QUERY only reads it; the old value is returned. */
#define QEV_SUPPRESS_QUERY (-1)

/* Catalog open modes. */
#define QEV_LIB_READ 1
#define QEV_LIB_WRITE 2
#define QEV_LIB_UPDATE 8
/* Member open modes of ylmopen: QEV_LIB_READ, QEV_LIB_WRITE (the member's
   records are replaced) or QEV_LIB_UPDATE (records are appended).  What is
   written becomes visible only when ylmclos closes the member without
   abandoning it.  ylmread with skip > 0 passes over that many records and
   reads none; at the end of the member it answers a status that
   WU_IS_EOM() recognises. */
/* Record types of members written by the tool box services. */
#define QEV_REC_TOOLBOX_HEADER 1   /* the 276-byte header record */
#define QEV_REC_TOOLBOX_TOOL 2     /* a 673-byte tool record */
#define QEV_TOOLBOX_HEADER_LEN 276
#define QEV_TOOLBOX_TOOL_LEN 673
#define QEV_TOOLBOX_MEMTYPE "TOOLBOX "

/* Names of host objects. */
#define QEV_LIBREF_LEN 8
#define QEV_NAME34_LEN 34     /* 16-bit length followed by 32 blank-padded characters */
#define QEV_MEMTYPE_LEN 8

/* Library information items (ylinfo). */
#define QEV_LINFO_LIBREF 2
#define QEV_LINFO_CATALOG 3

/* Library information of yhlinf2/yhlcnf2. */
typedef struct qev_libinfo {
  int32_t concatenated;     /* number of members of a concatenation, 0 when plain */
  int32_t member_flags;     /* 0x1000: member flag */
  char engine[8];           /* library engine, blank-padded ("DISK    ") */
  int32_t path_length;
  char path[1024];          /* path list */
} qev_libinfo;
#define QEV_LIBINFO_MEMBER_FLAG 0x1000

/* ------------------------------------------------------------------------
 * The kernel vector.  Slot numbers are the members' positions.
 */
typedef struct qev_kernel {
  char eye[8];          /* "QEVKERNL" */
  int32_t version;
  int32_t slot_count;

  /* Vector tables and images: a module registers its tables with the kernel
     at load time and withdraws them when they terminate. */
  wu_status (*wxregtb)(int32_t table_id, const void *table, int32_t slot_count);
  wu_status (*wxdrgtb)(int32_t table_id);
  wu_status (*wiimgfd)(const char *name, int32_t length, qev_image **image_out);

  /* Memory */
  wu_status (*wmrpc)(qev_pool **out, int32_t initial, int32_t increment, int32_t flags,
                     qev_pool *parent);
  wu_status (*wmrdel)(qev_pool *pool);
  wu_status (*wmrealc)(qev_pool *pool, void *block, int32_t old_size, void **out,
                       int32_t new_size, int32_t flags);

  /* Options */
  wu_status (*yyrngef)(const char *name, int32_t length, int32_t *value);
  wu_status (*wyrnget)(const char *name, int32_t length, int32_t *value);
  wu_status (*yugcopt)(const char *name, int32_t length, char *buf, int32_t size, int32_t *out_length);
  wu_status (*yugcset)(const char *name, int32_t length, const char *value, int32_t value_length);
  wu_status (*yugbopt)(const char *name, int32_t length, int32_t *value);
  wu_status (*yugbset)(const char *name, int32_t length, int32_t value);
  int32_t (*ywcgbit)(int32_t bit);
  int32_t (*yugwred)(int32_t index);
  wu_status (*yugwset)(int32_t index, int32_t value);
  int32_t (*xyttsd)(void);
  wu_status (*xucpp)(int32_t index, int32_t *rgb_out);

  /* Messages and the log */
  wu_status (*wkread)(int32_t set, int32_t number, const char **text, int32_t *length);
  wu_status (*ypmlog)(int32_t set, int32_t number, int32_t nargs, const qev_arg *args);
  wu_status (*xpmlog)(int32_t set, int32_t number, int32_t nargs, const qev_arg *args);
  wu_status (*ypslog)(const char *text, int32_t length);
  wu_status (*xpslog)(const char *text, int32_t length);
  wu_status (*yprrlog)(int32_t zero, wu_status status);
  wu_status (*ypsstr)(char *out, int32_t size, int32_t *out_length, const char *format,
                      int32_t format_length, int32_t nargs, const qev_arg *args);
  wu_status (*xpmstr)(char *out, int32_t size, int32_t *out_length, int32_t set, int32_t number,
                      int32_t nargs, const qev_arg *args);
  wu_status (*yudsmsg)(void *window, int32_t zero, int32_t msg_class, int32_t set, int32_t number);

  /* Tasks and events */
  qev_task *(*yucurtk)(void);
  wu_status (*yuevntg)(qev_task *task, void *window, int32_t event_class, const void *record,
                       int32_t length);
  wu_status (*yufrcev)(void *window, void *handle);
  wu_status (*yufrnev)(void *window, void *handle, int32_t node_key);
  wu_status (*wttrap)(qev_task *task, int32_t signal, qev_trap_fn fn, void *data);
  wu_status (*wtsignl)(qev_task *task, int32_t signal, void *message, int32_t flags);
  int32_t (*wtstpri)(qev_task *task, int32_t priority);
  wu_status (*wtinfo)(qev_task *task, char name_out[8]);
  int32_t (*yucttsk)(void);
  int32_t (*yusupev)(int32_t suppress);
  void **(*yutslot)(qev_task *task, int32_t slot);
  int32_t (*wtfdwt)(int fd, int32_t timeout_ms);

  /* Execution contexts and objects */
  qev_context *(*yytgexe)(qev_task *task);
  wu_status (*yytngp)(qev_context *ctx, int32_t zero, const char *name, int32_t length,
                      void **out, int32_t zero2);
  wu_status (*yudmeth)(void *handle, int32_t method, void *params, int32_t count);
  /* A host control type (0x2001 and up): the creation call's seven
     arguments as the window interface got them (handle out, pane, the
     host's extension argument, type, creation entries, their count, event
     procedure). */
  wu_status (*zuxcrea)(void **handle_out, void *pane, void *extension, int32_t type, void *values,
                       int32_t count, void *procedure);
  wu_status (*zuxgmap)(int32_t type, void **map_out);
  wu_status (*yubtuid)(uint32_t *id_out);

  /* Commands */
  const qev_token *(*xncgtok)(void);
  const qev_token *(*xncnxcm)(void);
  wu_status (*xncdrcm)(void);

  /* Catalogs and members */
  wu_status (*ylprofl)(qev_lib **lib_out);
  wu_status (*ylopen)(qev_lib **lib_out, int32_t mode, const char libref[8], const char catalog[34]);
  wu_status (*ylclose)(qev_lib *lib);
  wu_status (*ylinfo)(qev_lib *lib, int32_t item, void *out, int32_t size);
  wu_status (*ylobjfd)(qev_lib *lib, const char entry[34], const char member_type[8]);
  wu_status (*ylmopen)(qev_lib *lib, const char entry[34], const char member_type[8], int32_t mode,
                       qev_member **member_out);
  wu_status (*ylmread)(qev_member *member, void *buf, int32_t size, int32_t *length_out,
                       int32_t skip);
  wu_status (*ylmwrit)(qev_member *member, const void *buf, int32_t length, int32_t record_type);
  wu_status (*ylmclos)(qev_member *member, int32_t abandon);
  wu_status (*yucrhdr)(const char libref[8], const char catalog[34], const char entry[34],
                       qev_lib **lib_out, qev_member **member_out, void *header276);
  wu_status (*yucrtol)(qev_member *member, void *tool673);
  wu_status (*yucwhdr)(const char libref[8], const char catalog[34], const char entry[34],
                       qev_lib **lib_out, qev_member **member_out, const void *header276);
  wu_status (*yucwtol)(qev_member *member, const void *tool673);
  int32_t (*yucc2ic)(int32_t command_id);

  /* External record files */
  wu_status (*yhlinf2)(const char libref[8], qev_libinfo *info);
  wu_status (*yhlcnf2)(const char libref[8], int32_t member, qev_libinfo *info);
  wu_status (*hx_split_path)(const char *paths, int32_t length, char *buf, int32_t size,
                             int32_t *count_out);
  wu_status (*wxname)(char *buf, int32_t size, const char *file, int32_t file_length, int32_t zero,
                      const char *dir, int32_t dir_length);
  wu_status (*wxasgn)(const char fileref[8], const char engine[8], const char *name, int32_t length);
  wu_status (*wxopen)(qev_file **file_out, const char fileref[8], const int32_t attributes[7]);
  wu_status (*wxread)(qev_file *file, void *buf, int32_t size, int32_t *length_out);
  wu_status (*wxwrite)(qev_file *file, const void *buf, int32_t length);
  wu_status (*wxclose)(qev_file *file);

  /* Panels and fields of host windows */
  wu_status (*yugtpan)(void *window, void **panel_out, int32_t row, int32_t column, int32_t rows,
                       int32_t columns, int32_t flags);
  wu_status (*yugtfld)(void *panel, void **field_out, int32_t row, int32_t column, int32_t length,
                       int32_t colour, int32_t attributes, int32_t a, int32_t b, int32_t c, int32_t d);
  wu_status (*yugmfld)(void *panel, void **field_out, int32_t row, int32_t column,
                       int32_t *length_out, int32_t colour, int32_t attributes, int32_t a,
                       int32_t kind);
  wu_status (*yufrfld)(void *panel, void *field);
  wu_status (*yufrpan)(void *window, void *panel);

  /* Host images */
  wu_status (*wiloadv)(const char name[8], int32_t flags, qev_image **image_out);
  wu_status (*viidb2g)(qev_image *image, void **vector_out);
  wu_status (*yuimxpm)(int32_t id, int32_t size, const char *const **xpm_out);

  /* Text helpers */
  wu_status (*wzrlchr)(const char *text, int32_t length, int32_t *value_out);
  wu_status (*wzstrup)(char *text, int32_t length);

  /* The host message routine: shows message (set, number) to the user. */
  wu_status (*yuhmsg)(int32_t set, int32_t number);

  /* The host help service: its session byte, non-zero while a help
     session exists. */
  int32_t (*yuhelpq)(void);
} qev_kernel;

#ifdef __cplusplus
}
#endif

#endif /* QEV_KERNEL_H */
