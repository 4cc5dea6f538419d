/*
 * Records of the display module: those shared with the host (value entries,
 * control handles, control events, node records, tool box catalog records,
 * the window, pane, field and session records) and the module's own state.
 *
 * Layout rules: fields stay in the order the host knows them; 32-bit words
 * are int32_t/uint32_t, 16-bit fields int16_t; addresses are native pointers.
 * Compiled for a 32-bit host every size and offset is the host's (proved by
 * tests/abi/records32.cpp); on 64-bit only the addresses widen.
 *
 * Records of which the host fixes only the size (window, pane extension,
 * session, display) end in a reserved area that pads them to that size on a
 * 32-bit host: space that the host and the module's later subsystems fill.
 */
#ifndef QEV_RECORDS_H
#define QEV_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#include "qev/batch.h"
#include "qev/kernel.h"
#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Toolkit objects are kept as their Xt/Xm handle types without pulling the
   toolkit headers into every user of these records. */
struct _WidgetRec;
typedef struct _WidgetRec *wu_widget;   /* the same type as Xt's Widget */
typedef void *wu_xmstring;              /* XmString */
typedef void *wu_fontlist;              /* XmFontList */

struct wu_device;   /* display block (X start-up) */
struct wu_toolbox;  /* a tool box in memory */
struct wu_easel;    /* drawing surface */
struct wu_control;
struct wu_combo;    /* combo box record (controls) */
struct wu_window;
struct wu_pane;
struct wu_pane_ext;
struct wu_field;
struct wu_session;
struct wu_display;

/* A host word that may carry an address: 4 bytes on a 32-bit host, wide
   enough for a pointer elsewhere. */
typedef union wu_word {
  int32_t value;
  void *address;
} wu_word;

/* ------------------------------------------------------------------------
 * Value entry (24 bytes): attributes, method and event parameters.  An
 * entry whose value is an address carries it in `pointer`.
 */
typedef struct wu_value {
  int16_t code;        /* +0  attribute or parameter code */
  int16_t reserved;    /* +2  0 */
  int32_t type;        /* +4  value type */
  wu_status status;    /* +8  entry status */
  int32_t value;       /* +12 integer, boolean (low 16 bits), count or length */
  int32_t second;      /* +16 second word (column count of a string table) */
  void *pointer;       /* +20 list, string or block */
} wu_value;

/* String item (12 bytes): one string of a host list of strings (value type
   23) or of a row of a string table (value type 27). */
typedef struct wu_str_item {
  int32_t length;      /* +0 length of the text in bytes */
  int32_t reserved;    /* +4 not read */
  const char *text;    /* +8 the text, not necessarily NUL-terminated */
} wu_str_item;

/* Colour cell (12 bytes): a control's own foreground or background. */
typedef struct wu_colour_cell {
  uint32_t pixel;      /* +0 */
  uint16_t red;        /* +4 */
  uint16_t green;      /* +6 */
  uint16_t blue;       /* +8 */
  uint16_t private_cell; /* +10 0 */
} wu_colour_cell;

/* ------------------------------------------------------------------------
 * Control handles and the control services vector.
 */
struct wu_ctl_services;
typedef struct wu_ctl_handle {
  struct wu_control *control;               /* +0  the control record */
  int32_t type;                             /* +4  0-13 catalogue types, 14 older kinds */
  const struct wu_ctl_services *services;   /* +8  the services vector */
  int32_t reserved;                         /* +12 0 */
} wu_ctl_handle;

#define WU_CTL_TYPE_LAST_CATALOGUE 13
#define WU_CTL_TYPE_OLDER 14

struct wu_ctl_event;
/* The host's event procedure of a control. */
typedef wu_status (*wu_evproc)(wu_ctl_handle *handle, struct wu_ctl_event *record,
                               wu_value *params, int32_t count);

typedef wu_status (*wu_ctl_set_fn)(struct wu_control *control, wu_value *entries, int32_t count);
typedef wu_status (*wu_ctl_show_fn)(struct wu_control *control, int32_t on);
typedef wu_status (*wu_ctl_state_fn)(struct wu_control *control);
typedef wu_status (*wu_ctl_handle_fn)(wu_ctl_handle *handle);
typedef wu_status (*wu_ctl_method_fn)(wu_ctl_handle *handle, int32_t method, wu_value *params,
                                      int32_t count);
typedef wu_status (*wu_ctl_getgeo_fn)(wu_ctl_handle *handle, int32_t *x, int32_t *y,
                                      int32_t *width, int32_t *height);
typedef wu_status (*wu_ctl_setgeo_fn)(wu_ctl_handle *handle, int32_t x, int32_t y,
                                      int32_t width, int32_t height);
typedef wu_status (*wu_ctl_entries_fn)(wu_ctl_handle *handle, wu_value *entries, int32_t count);
/* Drag-and-drop slots pass their three further arguments unchanged. */
typedef wu_status (*wu_ctl_dnd_fn)(wu_ctl_handle *handle, void *a, void *b, void *c);
typedef wu_status (*wu_ctl_replay_fn)(wu_ctl_handle *handle, const wu_batch_event *recording);

/* The control services vector: 18 slots, one table per module. */
#define WU_CTL_SERVICES_SLOTS 18
typedef struct wu_ctl_services {
  wu_ctl_set_fn swat;        /* 0  set attributes */
  wu_ctl_set_fn qwat;        /* 1  query attributes */
  wu_ctl_show_fn hwid;       /* 2  show (1) or hide (0) */
  wu_ctl_show_fn grwd;       /* 3  gray (1) or ungray (0) */
  wu_ctl_state_fn grst;      /* 4  whether grayed */
  wu_ctl_handle_fn wdes;     /* 5  destroy the control */
  wu_ctl_method_fn meth;     /* 6  run a method */
  wu_ctl_getgeo_fn ggeo;     /* 7  get x, y, width, height */
  wu_ctl_setgeo_fn sgeo;     /* 8  set x, y, width, height */
  wu_ctl_entries_fn clen;    /* 9  clean-up after a query */
  wu_ctl_handle_fn focs;     /* 10 keyboard focus */
  wu_ctl_dnd_fn rdnd;        /* 11 register for drag and drop */
  wu_ctl_dnd_fn sdnd;        /* 12 set drag-and-drop settings */
  wu_ctl_dnd_fn qdnd;        /* 13 query drag-and-drop settings */
  wu_ctl_dnd_fn udnd;        /* 14 unregister from drag and drop */
  wu_ctl_dnd_fn fdnd;        /* 15 free drag-and-drop items */
  wu_ctl_replay_fn rbat;     /* 16 replay a recorded event */
  void *reserved;            /* 17 always null */
} wu_ctl_services;

/* ------------------------------------------------------------------------
 * Control event record (52 bytes) posted to the host with event class 1050.
 */
#define WU_CTL_EVENT_CLASS 1050
typedef struct wu_ctl_event {
  int32_t code;                /* +0  event code */
  struct wu_pane *pane;        /* +4  the pane that holds the control */
  int32_t zero1;               /* +8  0 */
  int32_t x;                   /* +12 horizontal position, or -1 */
  int32_t y;                   /* +16 vertical position, or -1 */
  wu_word user_data;           /* +20 the control's user data */
  wu_evproc procedure;         /* +24 the host's event procedure */
  wu_ctl_handle *handle;       /* +28 the control's handle */
  wu_value *params;            /* +32 the event's parameters */
  int32_t param_count;         /* +36 */
  int32_t zero2;               /* +40 0 */
  int32_t zero3;               /* +44 0 */
  int32_t answer;              /* +48 answer word, written by the event procedure */
} wu_ctl_event;

/* Navigation-key signal message (24 bytes), sent with signal 21. */
typedef struct wu_key_signal {
  int32_t code;                /* +0  21 */
  int32_t size;                /* +4  24 */
  int32_t one;                 /* +8  1 */
  wu_status answer;            /* +12 the event procedure's answer */
  wu_ctl_handle *handle;       /* +16 */
  wu_ctl_event *record;        /* +20 */
} wu_key_signal;

/* Event recordings and popup choice rows handed to the batch driver are
   wu_batch_event and wu_batch_choice (qev/batch.h). */

/* Choice entry (32 bytes): the host's entries of a choice popup. */
#define WU_CHOICE_LABEL_MAX 511
typedef struct wu_choice_entry {
  const char *label;           /* +0  label */
  int32_t label_length;        /* +4  at most WU_CHOICE_LABEL_MAX used */
  int32_t grayed;              /* +8  non-zero: insensitive */
  int32_t command_id;          /* +12 command id (for the icon) */
  int32_t flags;               /* +16 WU_CHOICE_... */
  const char *help;            /* +20 help text */
  int32_t help_length;         /* +24 */
  uint8_t mnemonic;            /* +28 mnemonic character, 0 none */
  uint8_t pad[3];
} wu_choice_entry;

/* ------------------------------------------------------------------------
 * Tree view node record (72 bytes), built and read by the host.
 */
typedef struct wu_node_record {
  struct wu_node_record *prev;     /* +0  previous sibling */
  struct wu_node_record *next;     /* +4  next sibling */
  struct wu_node_record *child;    /* +8  first child */
  struct wu_node_record *parent;   /* +12 parent */
  const char *label;               /* +16 label text, not terminated */
  int32_t label_length;            /* +20 */
  int32_t focus_icon;              /* +24 icon id while the node is the focus node */
  int32_t unused28;                /* +28 */
  int32_t icon;                    /* +32 icon id otherwise */
  int32_t unused36;                /* +36 */
  int32_t expanded;                /* +40 expanded flag */
  wu_word user;                    /* +44 user word */
  void *key;                       /* +48 node key: the tree node (set by the control) */
  wu_ctl_handle *handle;           /* +52 the control's handle (set by the control) */
  void *drop_site;                 /* +56 the node's drop site (set by the control) */
  int32_t expandable;              /* +60 shows an expand handle */
  uint32_t id;                     /* +64 node id from the host's id service */
  int32_t unused68;                /* +68 */
} wu_node_record;

/* Row data of the list view's row slot (12 bytes), the caller's, read only:
   for one row `texts` is an array of one host string per column, for
   several an array of such arrays, one per row. */
typedef struct wu_lvw_rows {
  const void *texts;               /* +0  wu_str_item[columns], or wu_str_item *[rows] */
  const int32_t *icons;            /* +4  host image id per row, or null */
  const int32_t *ids;              /* +8  row id per row, or null */
} wu_lvw_rows;

/* ------------------------------------------------------------------------
 * TOOLBOX catalog entries: a 276-byte header and 673-byte tool records.
 * One-byte fields hold binary values; numbers in 8-byte fields are decimal
 * text; text fields are NUL-terminated and zero-filled.
 */
#define WU_TB_NUMBER_LEN 8
#define WU_TB_TEXT_LEN 200
#define WU_TB_SEPARATOR_ICON (-999)      /* icon identifier of a separator */
#define WU_TB_MEMBER_TYPE "TOOLBOX "

typedef struct wu_toolbox_header {
  char reserved0[8];                     /* +0   zero */
  char title[WU_TB_TEXT_LEN];            /* +8   may be empty */
  uint8_t per_row;                       /* +208 tools per row */
  uint8_t tool_count;                    /* +209 number of tool records */
  uint8_t large_icons;                   /* +210 read only as a fallback; written as zero */
  uint8_t icon_width;                    /* +211 pixels */
  uint8_t icon_height;                   /* +212 pixels */
  char x[WU_TB_NUMBER_LEN];              /* +213 x position, decimal text */
  char y[WU_TB_NUMBER_LEN];              /* +221 y position, decimal text */
  uint8_t save_position;                 /* +229 */
  uint8_t load_default;                  /* +230 load by default */
  char reserved231[37];                  /* +231 zero */
  uint8_t command_part;                  /* +268 command part shown (merged box) */
  uint8_t tools_part;                    /* +269 tools part shown (merged box) */
  char reserved270[6];                   /* +270 zero */
} wu_toolbox_header;

typedef struct wu_tool_record {
  char icon[WU_TB_NUMBER_LEN];           /* +0   icon identifier; WU_TB_SEPARATOR_ICON */
  char command[WU_TB_TEXT_LEN];          /* +8   command text */
  char tip[WU_TB_TEXT_LEN];              /* +208 tip text */
  char help[WU_TB_TEXT_LEN];             /* +408 help text */
  uint8_t ext_type;                      /* +608 extension type, 0 none */
  char ext_size[WU_TB_NUMBER_LEN];       /* +609 extension size, decimal text */
  char reserved617[24];                  /* +617 zero */
  char command_id[WU_TB_NUMBER_LEN];     /* +641 command identifier, decimal text */
  char second[WU_TB_NUMBER_LEN];         /* +649 second number, decimal text */
  char reserved657[16];                  /* +657 zero */
} wu_tool_record;

#define WU_TB_HEADER_SIZE 276
#define WU_TB_TOOL_SIZE 673

/* ------------------------------------------------------------------------
 * Host fields, panes and windows.
 */
#define WU_NAME34_LEN QEV_NAME34_LEN
#define WU_LIBREF_LEN QEV_LIBREF_LEN
#define WU_MESSAGE_LEN 200          /* a window's message-line buffer */

/* A field of a pane (host-owned). */
typedef struct wu_field {
  struct wu_field *next;
  struct wu_pane *pane;
  int32_t row;                 /* 1-based */
  int32_t column;              /* 1-based */
  int32_t length;
  int32_t colour;
  uint32_t highlight;          /* highlight flags */
  uint32_t flags;              /* first flag word */
  uint32_t flags2;             /* second flag word */
  char *text;                  /* `length` bytes, blank-padded */
  uint8_t *attributes;         /* one attribute byte per cell */
  struct wu_control *control;  /* field-backed button or toggle */
} wu_field;

/* A character-cell text area of a window (host-owned). */
typedef struct wu_pane {
  struct wu_pane *next;
  struct wu_window *window;
  struct wu_pane_ext *ext;     /* the module's extension */
  wu_field *fields;            /* first field */
  wu_field *current_field;
  int32_t id;
  uint32_t flags;
  int32_t row;                 /* position in the window, 1-based */
  int32_t column;
  int32_t rows;                /* size in cells */
  int32_t columns;
  int32_t cursor_row;          /* text cursor cell */
  int32_t cursor_column;
  int32_t top_row;             /* scroll origin: first visible row */
  int32_t left_column;         /* first visible column */
  struct wu_pane *vchain;      /* vertical scroll-coupling chain */
  struct wu_pane *hchain;      /* horizontal scroll-coupling chain */
  struct wu_easel *easels;
  int32_t easel_count;
  int32_t colour;
} wu_pane;

/* The module's extension of a pane (80 bytes on a 32-bit host). */
typedef struct wu_pane_ext {
  wu_pane *pane;                     /* +0  */
  wu_widget widget;                  /* +4  pane widget */
  uint32_t flags;                    /* +8  WU_PEXT_... */
  struct wu_control *controls;       /* +12 first control */
  struct wu_control *controls_last;  /* +16 last control */
  struct wu_control *release;        /* +20 first released control */
  struct wu_control *release_last;   /* +24 last released control */
  struct wu_control *vbar;           /* +28 vertical scroll bar */
  struct wu_control *hbar;           /* +32 horizontal scroll bar */
  void *dnd_site;                    /* +36 drop site of the pane */
  void *dnd_records;                 /* +40 drag-and-drop records */
  uint8_t reserved[36];              /* +44 host and later subsystems */
} wu_pane_ext;

/* One host window (1064 bytes on a 32-bit host). */
typedef wu_status (*wu_window_method)(struct wu_window *window, int32_t code, void *data);
typedef struct wu_window {
  struct wu_window *next;            /* towards the oldest window */
  struct wu_window *prev;            /* towards the newest window */
  int32_t kind;                      /* host window kind */
  uint32_t flags;                    /* first flag word, WU_WIN_... */
  uint32_t module_flags;             /* module flag word */
  uint32_t host_flags;               /* host flag word */
  qev_task *task;                    /* owning host task */
  qev_task *event_task;              /* receives the window's host events */
  qev_pool *pool;                    /* window pool */
  struct wu_session *session;
  struct wu_display *display;
  int32_t mode;                      /* 0 own shell, 1 inside the application workspace */
  wu_pane *panes;                    /* first pane */
  wu_pane *current_pane;
  wu_pane *command_pane;             /* taken off the pane list */
  void *marks;
  int32_t next_control_id;           /* per-window control counter */
  struct wu_control *current_control;
  wu_window_method method;           /* copy of the display's window method */
  /* menus */
  qev_lib *menu_lib;
  char menu_libref[WU_LIBREF_LEN];
  char menu_catalog[WU_NAME34_LEN];
  char menu_entry[WU_NAME34_LEN];
  void *menu_set;                    /* loaded menu set */
  void *menu_sets;                   /* menu-set list */
  void *gray_list;
  void *check_list;
  void *popup_menus;
  wu_widget menu_widget;
  int32_t menu_mode;                 /* 0 none, 1 menu bar, 2, 3 button box */
  wu_widget print_setup_item;
  int32_t print_setup_id;
  wu_widget print_preview_item;
  int32_t print_preview_id;
  wu_widget toolbox_item;
  struct wu_toolbox *toolbox;
  /* command line and message line */
  wu_field *prompt_field;
  wu_field *command_field;
  wu_field *message_field;
  char message[WU_MESSAGE_LEN];
  void *saved_texts;                 /* message-line stack */
  int32_t prompt_kind;
  int32_t prompt_colour;
  int32_t command_colour;
  int32_t message_colour;
  char *command_text;
  int32_t command_length;
  void *local_handler;               /* local command handler */
  int32_t local_handler_flag;
  /* a menu dialog while it is up */
  void *dialog_node;
  void *dialog_block;
  int32_t dialog_inputs;
  /* popups */
  int32_t popup_button;              /* button that opened the popup, 0 none */
  int32_t popup_x;
  int32_t popup_y;
  /* colours */
  void *colours;                     /* colour table */
  int32_t colour_count;
  /* widgets */
  wu_widget outer;
  wu_widget main_window;
  wu_widget work_form;
  wu_widget form;
  wu_widget input;
  wu_widget active;
  /* tool box and menu words, and the host-set window name */
  uint32_t toolbox_flags;            /* tool box flag word, WU_TBX_... (flags.h) */
  int32_t menu_kind;                 /* host: 0 no action menu, 3 second button-box place */
  char *name;                        /* host-set window name for titles and dumps, not terminated */
  int32_t name_length;               /* its length in bytes */
  uint8_t reserved[536];             /* host and later subsystems */
} wu_window;

/* Per-task session record (104 bytes on a 32-bit host), task slot 11. */
typedef struct wu_session {
  qev_task *task;                    /* +0  */
  struct wu_display *display;        /* +4  */
  int32_t workspace;                 /* +8  1: windows live in the application workspace */
  char *title;                       /* +12 */
  int32_t title_length;              /* +16 */
  wu_widget shell;                   /* +20 */
  wu_widget form;                    /* +24 */
  void *offscreen_easels;            /* +28 */
  void *bound_images;                /* +32 */
  void *colour_table;                /* +36 */
  int32_t colour_count;              /* +40 */
  void *fonts;                       /* +44 */
  int32_t font_count;                /* +48 */
  int32_t resize_policy;             /* +52 workspace form policy after the first control */
  uint8_t reserved[48];              /* +56 host and later subsystems */
} wu_session;

/* Per-display-task record (36 bytes on a 32-bit host). */
typedef struct wu_display {
  qev_task *task;                    /* +0  display task */
  wu_session *session;               /* +4  */
  struct wu_device *device;          /* +8  */
  uint32_t flags;                    /* +12 */
  int32_t traps;                     /* +16 1 when the trap handlers are installed */
  uint8_t reserved[16];              /* +20 host and later subsystems */
} wu_display;

/* ------------------------------------------------------------------------
 * Controls: the common part of every control record.  A kind's own fields
 * follow it (its widgets first among them).
 */
typedef struct wu_control {
  struct wu_control *next;           /* pane's control list */
  struct wu_control *prev;
  int32_t kind;                      /* record kind, wu_mem_type */
  wu_pane *pane;
  int32_t y;                         /* vertical position */
  int32_t x;                         /* horizontal position */
  int32_t height;
  int32_t width;
  uint32_t flags;                    /* WU_CTL_... */
  wu_word host_id;                   /* host's id or command of an older control */
  int32_t colour_index;              /* older kinds: index into the window's colours */
  wu_ctl_handle *handle;
  qev_pool *handle_pool;
  wu_word user_data;
  wu_colour_cell *background;
  wu_colour_cell *foreground;
  char *tip;                         /* tool-tip text */
  uint32_t event_mask;               /* WU_EVM_... */
  wu_fontlist font_list;
  int32_t id;                        /* control id (per window) */
  int16_t click_only;
  int16_t conform_size;
  uint32_t last_click;               /* time of the last button-1 click */
  int32_t *events_answer;            /* events answer buffer */
  int16_t vkey_mask;
  int16_t reserved_vk;
  int32_t *vkeys_answer;             /* virtual-keys answer buffer */
  wu_ctl_set_fn Swat;
  wu_ctl_set_fn Qwat;
  wu_ctl_method_fn Methods;
  wu_evproc procedure;               /* the host's event procedure */
  wu_ctl_entries_fn Cleanup;
  wu_ctl_dnd_fn UnregisterDND;
  wu_ctl_dnd_fn RegisterDND;
  wu_ctl_dnd_fn QueryDND;
  wu_ctl_dnd_fn SetDND;
  wu_ctl_replay_fn Replay;
  void *dnd;                         /* drag-and-drop record */
} wu_control;

/* ------------------------------------------------------------------------
 * Record kinds of the typed record allocator (wutgmem/wutfmem).  The kind
 * fixes the record's size; records re-tagged to another kind after
 * allocation have that kind's size too.
 */
typedef enum wu_mem_type {
  WU_MT_PANE_VBAR = 2,       /* vertical scroll bar of a pane */
  WU_MT_PANE_HBAR = 3,       /* horizontal scroll bar of a pane */
  WU_MT_OLD_RADIOBOX = 5,    /* older radio box (the radio box is allocated so) */
  WU_MT_RADIOBUTTON = 6,     /* radio button of an older radio box */
  WU_MT_OLD_PUSHBUTTON = 7,  /* older push button (the push button is allocated so) */
  WU_MT_OLD_CHECKBOX = 8,    /* older check box (the check box is allocated so) */
  WU_MT_OLD_LISTBOX = 9,     /* older list box (the combo box is allocated so) */
  WU_MT_POPUP_MENU = 13,     /* window popup menu */
  WU_MT_BAR = 17,            /* older bar (the scroll bar control is allocated so) */
  WU_MT_BAR2 = 18,           /* older bar, other orientation */
  WU_MT_ICONBUTTON = 19,     /* icon button in a pane */
  WU_MT_SCALE = 20,          /* value-scaled scroll bar */
  WU_MT_SCALE2 = 21,         /* value-scaled scroll bar, other orientation */
  WU_MT_FIELD_TOGGLE = 22,   /* field-backed toggle */
  WU_MT_FIELD_BUTTON = 23,   /* field-backed push button */
  WU_MT_GRAPHBUTTON = 26,    /* graph push button */
  WU_MT_COMBOBOX = 29,       /* combo box */
  WU_MT_LABEL = 30,          /* label */
  WU_MT_ENTRY = 31,          /* entry field */
  WU_MT_MLENTRY = 33,        /* multi-line entry */
  WU_MT_LISTVIEW = 34,       /* list view */
  WU_MT_SPINBOX = 35,        /* spin box */
  WU_MT_TREEVIEW = 36,       /* tree view */
  WU_MT_PUSHBUTTON = 37,     /* push button */
  WU_MT_SCROLLBAR2 = 38,     /* scroll bar control, other orientation */
  WU_MT_SCROLLBAR = 39,      /* scroll bar control */
  WU_MT_CHECKBOX = 40,       /* check box */
  WU_MT_RADIOBOX = 41,       /* radio box */
  WU_MT_DESKTOPICON = 42,    /* desktop icon */
  WU_MT_LISTBOX = 43,        /* list box */
  WU_MT_PROGRESSBAR = 45     /* progress bar */
} wu_mem_type;
#define WU_MT_FIRST 1
#define WU_MT_LAST 45

/* Window popup menu record (kind 13). */
typedef struct wu_popup_menu {
  struct wu_popup_menu *next;
  int32_t kind;              /* WU_MT_POPUP_MENU */
  void *menu_set;            /* the loaded window reference of the menu set */
  wu_widget widget;          /* created on first show */
} wu_popup_menu;

/* Control record sizes: the common part and room for the kind's own
   fields, counted in address-sized words so that they widen with them. */
#define WU_CTL_WORDS_SMALL 20      /* buttons, boxes, bars, scales, icons: the
                                      largest has 20 fields after the common part */
#define WU_CTL_WORDS_LARGE 128     /* text, list and tree kinds */
#define WU_CTL_RECORD_SIZE(words) (sizeof(wu_control) + (words) * sizeof(void *))
#define WU_CTL_SMALL_SIZE WU_CTL_RECORD_SIZE(WU_CTL_WORDS_SMALL)
#define WU_CTL_LARGE_SIZE WU_CTL_RECORD_SIZE(WU_CTL_WORDS_LARGE)
/* The small kinds in families of one size each (a record re-tagged to
   another kind stays in its family).  Where addresses are 64 bits wide a
   family's room is the words its largest record takes there, two 32-bit
   fields sharing a word (each kind checks at compile time that its record
   fits); elsewhere it is the small size. */
#define WU_CTL_FAMILY_SIZE(words64) \
  (sizeof(void *) == 8 ? WU_CTL_RECORD_SIZE(words64) : WU_CTL_SMALL_SIZE)
#define WU_CTL_BUTTON_SIZE WU_CTL_FAMILY_SIZE(14)    /* kinds 7, 37, 42: push buttons, desktop icons */
#define WU_CTL_TOGGLE_SIZE WU_CTL_FAMILY_SIZE(9)     /* kinds 6, 8, 22, 23, 40: check boxes, radio
                                                        buttons, field-backed buttons */
#define WU_CTL_BOX_SIZE WU_CTL_FAMILY_SIZE(14)       /* kinds 5, 41: radio boxes */
#define WU_CTL_BAR_SIZE WU_CTL_FAMILY_SIZE(10)       /* kinds 2, 3, 17, 18, 20, 21, 38, 39: bars,
                                                        scales, the scroll bar control */
#define WU_CTL_ICON_SIZE WU_CTL_FAMILY_SIZE(14)      /* kind 19: icon buttons */
#define WU_CTL_GRAPH_SIZE WU_CTL_FAMILY_SIZE(10)     /* kind 26: graph push buttons */
#define WU_CTL_PROGRESS_SIZE WU_CTL_FAMILY_SIZE(11)  /* kind 45: progress bars */

/* ------------------------------------------------------------------------
 * Parameters of the module events of older pane controls.
 */
/* 1028 (pressed or selected) and 1034 (list box default action). */
typedef struct wu_old_pressed {
  struct wu_control *control;  /* +0 the record */
  int32_t code;                /* +4 1028, 1034 */
  int32_t reserved;            /* +8 0 */
} wu_old_pressed;

/* 1017 (pixel-placed control) and 1022 (cell-placed control): a button
   press on an older control (36 bytes on a 32-bit host). */
typedef struct wu_old_press {
  struct wu_control *control;  /* +0  the record */
  int32_t row;                 /* +4  cell of the control (1-based) */
  int32_t column;              /* +8  */
  int32_t x;                   /* +12 pixel position of the control in the pane */
  int32_t y;                   /* +16 */
  int32_t pointer_x;           /* +20 pointer position in the pane */
  int32_t pointer_y;           /* +24 */
  int32_t button;              /* +28 the button pressed */
  uint32_t state;              /* +32 modifier and button state at the press */
} wu_old_press;

/* 104: a field-backed button was pressed. */
#define WU_FIELD_PRESS_CODE 32768
#define WU_FIELD_PRESS_KIND 16
typedef struct wu_field_press {
  wu_pane *pane;               /* +0  */
  wu_field *field;             /* +4  */
  int32_t code;                /* +8  WU_FIELD_PRESS_CODE */
  int32_t row;                 /* +12 the field's cell */
  int32_t column;              /* +16 */
  int32_t kind;                /* +20 WU_FIELD_PRESS_KIND */
} wu_field_press;

/* ------------------------------------------------------------------------
 * The module event queue.
 */
#define WU_EVQ_NODES 50            /* nodes of the module event queue */
#define WU_VIEW_LABELS 10          /* view additions of a window menu */
#define WU_EVQ_PARAM_MAX 72        /* parameter bytes of one event */
#define WU_EV_COMMAND 0            /* event code of a queued command string */

typedef struct wu_event {
  struct wu_event *next;
  struct wu_window *window;
  int32_t code;
  int32_t length;                    /* parameter bytes used */
  union {
    uint8_t bytes[WU_EVQ_PARAM_MAX];
    void *words[WU_EVQ_PARAM_MAX / sizeof(void *)];
  } params;
  /* A command event's text: `text_length` bytes, a copy in the module pool
     when `text_owned` is set (the copy carries a terminating NUL). */
  char *text;
  int32_t text_length;
  int32_t text_owned;
} wu_event;

/* Parameters of a command event (in wu_event.params). */
typedef struct wu_command_params {
  int32_t length;
  int32_t copied;
  int32_t flag1;
  int32_t flag2;
} wu_command_params;

/* ------------------------------------------------------------------------
 * Module state: one block per loaded module, hung in the host's global
 * control block.
 */
#define WU_TOOL_MESSAGES 42
typedef struct wu_tool_messages {
  char *texts[WU_TOOL_MESSAGES];
  char libref[WU_LIBREF_LEN];        /* default libref */
  char catalog[WU_NAME34_LEN];       /* default catalog */
  char third[WU_NAME34_LEN];         /* third location field */
  char entry[WU_NAME34_LEN];         /* default entry */
  char help_catalog[WU_NAME34_LEN];  /* "CORE" */
  char help_catalog2[WU_NAME34_LEN]; /* "UNXCORE" */
  char libref2[WU_LIBREF_LEN];       /* second libref; also the entry never written back */
  char alt_entry1[WU_NAME34_LEN];    /* first alternative entry */
  char alt_entry2[WU_NAME34_LEN];    /* second alternative entry */
} wu_tool_messages;

#define WU_CTL_TYPES 14                     /* catalogue types 0-13 */
#define WU_STATE_EYE "WUSTATE "

typedef struct wu_state {
  char eye[8];                       /* WU_STATE_EYE */
  qev_pool *pool;                    /* module pool */
  qev_pool *menu_pool;               /* created on the first menu load */
  struct wu_device *device;          /* display block */
  wu_batch_driver *batch;            /* "BATCH_DRIVER" found at start-up, or null */
  /* windows */
  wu_window *newest;
  wu_window *oldest;
  wu_window *current;
  wu_window *modal;
  /* the module event queue */
  wu_event *queue_head;
  wu_event *queue_tail;
  wu_event *queue_free;
  int32_t queue_count;
  wu_event nodes[WU_EVQ_NODES];
  /* controls */
  wu_ctl_services *services;         /* control services vector */
  void *maps[WU_CTL_TYPES];          /* control map cache, one per type */
  wu_widget pending_focus;
  wu_widget focus;
  wu_widget last_input;
  /* paste buffers */
  void *pastebufs;
  void *pastebuf_ops;
  /* host-extension hooks */
  void *hooks;
  int32_t loop_nesting;              /* event-loop nesting count */
  int32_t stay_unmapped;
  void *message_service;             /* host message routine from its start-up block */
  /* menus */
  void *menu_sets;
  int32_t excluded_count;
  int32_t *excluded;
  wu_xmstring *pending_items;        /* command history items not yet handed out */
  int32_t pending_count;
  /* tool box */
  struct wu_toolbox *global_toolbox;
  void *merged;                      /* merged tool box record */
  wu_tool_messages tool_messages;
  /* module-wide widgets */
  wu_widget about_box;
  wu_widget tip_shell;
  wu_widget tip_label;
  struct wu_combo *command_combos[2]; /* the command window's and the merged box's
                                        command combo records, null until built */
  /* tool box: module busy (buttons do nothing), and the delay of tool and
     control tips: 0 while the next tip waits for the delay, 1 during the
     grace period after a shown tip was hidden (the next shows at once) */
  int32_t busy;
  int32_t tip_grace;
  unsigned long tip_grace_timer;     /* XtIntervalId of the grace period, 0 none */
  int32_t tool_messages_loaded;      /* the tool-message block is filled */
  /* menu modes and the excluded command-id lists the current one is chosen
     from (host start-up data; both empty by default) */
  uint32_t menu_flags;               /* WU_MST_... */
  qev_task *menu_task;               /* task recorded by a request that waits */
  int32_t *excluded_lists[2];        /* [0] without X printing, [1] with it */
  int32_t excluded_counts[2];
  void *close_node;                  /* the window-close question's dialog node */
  char *close_title;
  /* control tips: the pending show time-out and the control it shows, the
     tip being up, and the suspension after a release of control widgets */
  unsigned long ctl_tip_timer;       /* XtIntervalId, 0 none */
  struct wu_control *ctl_tip_control;
  int32_t ctl_tip_up;
  int32_t ctl_tip_suspended;
  unsigned long ctl_tip_resume_timer; /* XtIntervalId, 0 none */
  /* the command combos: BackSpace or Delete (or a text put in from the
     list) changed the text last, so no completion is offered for it; and
     the tip record of the command window's text, whose tip text is a
     format filled with the command */
  int32_t command_deleted;
  struct wu_control *command_tip;
  /* start-up data the host may fill (empty by default): the parent its
     dialogs are placed at, and the view additions of window menus (labels
     in order up to the first null, one mnemonic character per label, 0
     none) */
  wu_widget dialog_parent;
  const char *view_labels[WU_VIEW_LABELS];
  char view_mnemonics[WU_VIEW_LABELS];
} wu_state;

#ifdef __cplusplus
}
#endif

#endif /* QEV_RECORDS_H */
