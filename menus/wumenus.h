/*
 * Menus of host windows: menu sets read from "PMENU" catalog entries, the
 * menu bar or button box built from them, window popup menus, the choice
 * and string popups, menu dialogs, the gray and check states of items, the
 * switch between pull-down menus and the command line, and the message-line
 * stack.
 *
 * Functions other layers call by name (the tool box and the window-command
 * dispatcher reach several of them through weak references) keep the names
 * declared here.
 */
#ifndef QEV_MENUS_WUMENUS_H
#define QEV_MENUS_WUMENUS_H

#include <X11/Intrinsic.h>
#include <stdint.h>

#include "qev/kernel.h"
#include "qev/records.h"
#include "qev/status.h"
#include "runtime/wufmt.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- menu descriptions ------------------------------------------------- */

#define WU_PMENU_MEMBER_TYPE "PMENU   "
#define WU_PMENU_HEADER_WORDS 8
#define WU_PMENU_HEADER_SIZE 32
#define WU_PMENU_LOCATION_SIZE 76     /* libref 8, catalog 34, entry 34 */
#define WU_PMENU_MAX_ITEMS 4096       /* items of one menu node */
#define WU_PMENU_MAX_TEXT 0x100000    /* bytes of one text or template record */
#define WU_PMENU_MAX_DEPTH 16         /* nesting of references and includes */
#define WU_PMENU_MAX_EXCLUDED 65536   /* excluded command ids handed to a load */

/* Node kinds. */
#define WU_MNODE_COMMAND 0
#define WU_MNODE_MENU 1
#define WU_MNODE_DIALOG 2
#define WU_MNODE_COMMAND2 3
#define WU_MNODE_REFERENCE 5
#define WU_MNODE_INCLUDE 6

/* Header words of a node group. */
enum {
  WU_MH_NUMBER = 0,    /* node number, 1-based */
  WU_MH_KIND = 1,      /* WU_MNODE_... */
  WU_MH_TEXT = 2,      /* text length */
  WU_MH_COUNT = 3,     /* menu: item count; dialog: template length */
  WU_MH_EXTRA = 4,     /* dialog: > 0 when a passed-over record follows the template */
  WU_MH_WORD5 = 5,
  WU_MH_UPPER = 6,     /* upper-case the text (with host bit 15) */
  WU_MH_WORD7 = 7
};

/* Check types of a menu item. */
#define WU_MITEM_CHECK 1
#define WU_MITEM_RADIO 2

struct wu_menu_set;

/* One node of a menu set; its arrays live in the same block behind it. */
typedef struct wu_menu_node {
  struct wu_menu_node *next;     /* reading order */
  char *text;                    /* NUL-terminated copy of the text record */
  char *templ;                   /* dialog node: the command template (NUL-terminated) */
  int32_t *submenu;              /* per item: node number opened or run, 0 none */
  int32_t *label_offset;         /* n + 1 entries: entry n is the text length */
  int32_t *command_id;
  int32_t *grayed;               /* n + 1 entries */
  int32_t *item_id;
  int32_t *separator;            /* separator after the item */
  int32_t *check;                /* WU_MITEM_CHECK, WU_MITEM_RADIO, else plain */
  uint8_t *mnemonics;            /* host mnemonic code per item, 0 none */
  struct wu_menu_set *ref_set;   /* reference node: the set it loaded */
  struct wu_menu_set *inc_set;   /* include node: the set it loaded */
  int32_t header[WU_PMENU_HEADER_WORDS];
  int32_t block_size;            /* bytes of the block from the menu pool */
} wu_menu_node;

/* A menu set: the owner holds the nodes; a window reference points at it. */
typedef struct wu_menu_set {
  struct wu_menu_set *next;      /* module list (owner) or window list (reference) */
  char libref[QEV_LIBREF_LEN];
  char catalog[QEV_NAME34_LEN];
  char entry[QEV_NAME34_LEN];
  int32_t use_count;
  wu_menu_node *root;            /* the first node read */
  struct wu_menu_set *owner;     /* reference: its owner; owner: null */
  wu_menu_node **table;          /* node table by node number - 1 */
  int32_t node_count;
  int32_t plain_root_items;      /* root items that open no menu node */
  wu_window *window;             /* reference: the window whose list holds it */
  struct wu_menu_set *parent;    /* reference loaded for a node: the reference of that node's entry */
  wu_menu_node *holder;          /* ... and the node that holds it */
} wu_menu_set;

/* Loads an entry into a new window reference (WU_PMENU_LOAD_FAILED,
   WU_NOTAVAIL, 0). */
wu_status wuxlmnu(wu_window *window, qev_lib *lib, const char *libref, const char *catalog,
                  const char *entry, const int32_t *excluded, int32_t excluded_count,
                  wu_menu_set **set_out);
wu_status wuxfmnu(wu_window *window, wu_menu_set *set);
wu_status wuxgamu(wu_window *window);
/* Releases every menu set, popup, item state list and the message-line
   stack of a window (its close path). */
void wumfwmn(wu_window *window);

/* True when the window is one of the module's windows (on its window list). */
int32_t wumwkno(const wu_window *window);

/* ---- item states ------------------------------------------------------- */

typedef struct wu_item_state {
  struct wu_item_state *next;
  int32_t item_id;
  int32_t state;                 /* non-zero: grayed, resp. checked */
} wu_item_state;

#define WU_MSTATE_GRAY 0
#define WU_MSTATE_CHECK 1

wu_item_state *matchid(wu_item_state *list, int32_t item_id);
wu_status MenuAction(int32_t kind, wu_window *window, int32_t item_id, int32_t state);
void wumsppm(void);
/* The module's print bytes: [0] the print device is not an X printer, [1]
   the same for editor windows (set by the print code). */
uint8_t *wu_printer_bytes(void);

wu_status wuxmenu(int32_t request);
wu_status wuxcmnu(wu_window *window, qev_lib *lib, const char *libref, const char *catalog,
                  const char *entry);
wu_status wuxgitm(wu_window *window, int32_t item_id, int32_t state);
wu_status wuxsitm(wu_window *window, int32_t item_id, int32_t state);

/* ---- menu widgets ------------------------------------------------------ */

/* Menu modes (wu_window.menu_mode). */
#define WU_MMODE_NONE 0
#define WU_MMODE_MENUBAR 1
#define WU_MMODE_BUTTONBOX 2       /* in the main window's menu-bar place */
#define WU_MMODE_BUTTONBOX2 3      /* in the window's second button-box place */

/* Item context, hung in the userData of a cascade or push button. */
typedef struct wu_menu_item_ctx {
  wu_menu_node **table;          /* node table of the item's set */
  wu_window *window;
  int32_t item_id;
  int32_t kind;                  /* WU_MCTX_CASCADE or WU_MCTX_BUTTON */
  unsigned long pixmap;          /* icon and mask (Pixmap), None when none */
  unsigned long mask;
  wu_menu_node *node;            /* cascade: the node its submenu shows */
  int32_t grayed;                /* button: grayed when built */
} wu_menu_item_ctx;
#define WU_MCTX_CASCADE 0
#define WU_MCTX_BUTTON 1

/* True while a menu item widget (cascade or push button with an item
   context) stands; item callbacks look before they read the widget. */
int32_t wumialv(wu_widget item);
/* The dialog node a push button item opens, while the menu set holding it
   stands (a handler that waited on the user may find it released); else
   null. */
wu_menu_node *wumitdn(wu_widget item);

wu_status wutiamu(wu_window *window);
void wutfamu(wu_window *window, int32_t keep_height);
/* The tool box of a window (tool box layer, when linked). */
wu_status wutibox(wu_window *window) __attribute__((weak));
/* Redraws a window's tool buttons for its gray and check lists (tool box
   layer). */
void wumtact(wu_window *window);

/* ---- popups ------------------------------------------------------------ */

/* Choice entry flags. */
#define WU_CHOICE_GRAYED 1
#define WU_CHOICE_TOGGLE 2
#define WU_CHOICE_SEPARATOR 4

wu_status wuxgpmu(wu_window *window, qev_lib *lib, const char *libref, const char *catalog,
                  const char *entry, wu_popup_menu **popup_out);
wu_status wuxfpmu(wu_window *window, wu_popup_menu *popup);
wu_status wuxdpmu(wu_window *window, wu_popup_menu *popup);
int32_t wuxumnu(wu_window *window, const wu_choice_entry *entries, int32_t count);
int32_t wummpop(void *widget, int32_t set, int32_t first, const int32_t *enabled);

/* ---- menu dialogs ------------------------------------------------------ */

/* A dialog item record: 6 bytes, then the text. */
typedef struct wu_mdlg_item {
  uint8_t row;                   /* 1-based */
  uint8_t column;                /* 1-based */
  uint8_t length;                /* text length (input field: its length) */
  uint8_t type;                  /* WU_MDLG_... */
  uint8_t unused;
  uint8_t extra;                 /* radio box width; choice: adds nothing */
} wu_mdlg_item;
#define WU_MDLG_ITEM_SIZE 6
#ifdef __cplusplus
static_assert(sizeof(wu_mdlg_item) == WU_MDLG_ITEM_SIZE, "dialog item record");
#endif
#define WU_MDLG_LABEL 0
#define WU_MDLG_INPUT 1
#define WU_MDLG_RADIOBOX 2
#define WU_MDLG_CHOICE 3
#define WU_MDLG_CHOICE_SET 4
#define WU_MDLG_CHECK_SET 5
#define WU_MDLG_CHECK 6
#define WU_MDLG_CHOICE_VALUE 7
#define WU_MDLG_CHECK_VALUE 8
#define WU_MDLG_RESULT_MAX 199      /* characters of a dialog's command */

wu_status wuwmdlg(wu_window *window, const char *title, wu_menu_node *node);
wu_status wuxgmdg(int32_t set, int32_t number, wu_menu_node **node_out, char **title_out);
/* Builds the command of a dialog template from the answers (one text per
   input field, per radio box the selected choice's value or null, per check
   box its value or null).  WU_MDLG_RESULT_MAX + 1 or more characters: the
   length is returned and the text is cut. */
int32_t wumdtpl(const char *templ, const char *const *inputs, int32_t input_count,
                const char *const *radios, int32_t radio_count, const char *const *checks,
                int32_t check_count, char *out, int32_t size);
/* The window manager asked to close a window: shows the close question when
   the host defines one (non-zero), else does nothing (0). */
int32_t wummcls(wu_window *window);

/* ---- command line, mode switch, message-line stack ----------------------- */

int32_t wutcomd(wu_window *window, int32_t move, int32_t row, int32_t column);
/* Realising a window that names an action menu: loads and builds it (or
   falls back to the command line) before the command panel is made. */
void wumiwmn(wu_window *window);
int32_t wutclst(wu_window *window, int32_t mode);
wu_status wutpshm(wu_window *window, const char *text, int32_t length);
wu_status wutpopm(wu_window *window);
/* Frees every entry of the message-line stack. */
void wutfstk(wu_window *window);

/* Entry of the message-line stack. */
typedef struct wu_saved_text {
  struct wu_saved_text *next;
  int32_t length;
  char text[4];                  /* length bytes and a NUL */
} wu_saved_text;

/* ---- between the loader and the widget layer ----------------------------- */

/* Applies a gray or check entry to the window's existing menu items. */
void wumapst(int32_t kind, wu_window *window, wu_item_state *entry);
/* A print window's gray state: reads the print device into the print byte. */
void wumprwn(wu_window *window);
/* Destroys a window popup's widget. */
void wumfpwd(wu_popup_menu *popup);
/* Destroys the window's menu dialog, when one is up. */
void wumfdlw(wu_window *window);

/* ---- mnemonics and item drawing ----------------------------------------- */

/* Places a mnemonic in a label copy (which has room for three more bytes);
   returns the mnemonic character, 0 when none. */
int32_t PutMnemonic(char *label, int32_t mnemonic);

/* ---- standard items and About ------------------------------------------
   The item handlers are Xt callbacks: (item widget or null, client data, call
   data).  Called without an item widget, a registered window given as the
   client data is the window they act for (the dispatcher passes its window
   so); otherwise they act for the module's current window. */
/* The window an item handler acts for: the menu item's window, else a
   registered window given as the client data, else the current window. */
wu_window *wumhwin(Widget item, XtPointer client);
void wuwnkfd(Widget, XtPointer, XtPointer);
void wuwpkfd(Widget, XtPointer, XtPointer);
void wuwprnt(Widget, XtPointer, XtPointer);
void wuwprst(Widget, XtPointer, XtPointer);
void wuwakfd(Widget, XtPointer, XtPointer);
void wuwsprf(Widget, XtPointer, XtPointer);
void wuwpscr(Widget, XtPointer, XtPointer);
void wuwikfd(Widget, XtPointer, XtPointer);
void wuwekfd(Widget, XtPointer, XtPointer);
void wuwexit(Widget, XtPointer, XtPointer);
void wuwhprt(Widget, XtPointer, XtPointer);
wu_status wumpexp(wu_window *window, const char *title, char *path, int32_t size, char *filter,
                  int32_t filter_size);
const char *wumgtyp(const char *filter);
wu_status wumshpn(int32_t value);
/* The menus take the excluded command-id list of a printing choice: 0
   printing through the host's print dialog, 1 printing through X (the
   module state's excluded_lists). */
void SelectExcluded(int32_t which);
/* 1 when the printing question was answered (the profile entry exists). */
int32_t GetHostPrintNotif(void);
/* Puts `path` between single quotes after `prefix`, each quote in it
   doubled, then `suffix`; false when the path holds a control character or
   the whole does not fit WU_CMDTEXT_MAX characters. */
int32_t wumqcmd(const char *prefix, const char *path, const char *suffix, char *out, int32_t size);

void wuwoabt(Widget, XtPointer, XtPointer);
void wuwacb(Widget, XtPointer, XtPointer);

#ifdef __cplusplus
}
#endif

#endif /* QEV_MENUS_WUMENUS_H */
