/*
 * The Tool Editor's state, shared by its files: the dialog and its parts
 * (wumtled.cpp), the editing operations, the icon chooser and the action
 * list (wumtledt.cpp).  One editor runs at a time; it edits a private copy
 * of a tool box and shows the copy in a preview window.
 */
#ifndef QEV_MENUS_WUMTLED_H
#define QEV_MENUS_WUMTLED_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>

#include <utility>
#include <vector>

#include "toolbox/wutbox.h"
#include "runtime/wureg.h"

struct wu_combo;

/* Tool messages of the editor (slots of wu_tool_messages). */
enum {
  WU_TM_SAVED = 0, WU_TM_NOT_SAVED = 1, WU_TM_NO_LIBRARY = 3, WU_TM_NO_CATALOG = 4,
  WU_TM_NO_ENTRY = 5, WU_TM_OPEN = 6, WU_TM_PREVIEW_TITLE = 7, WU_TM_BOX_FRAME = 8,
  WU_TM_PER_ROW = 9, WU_TM_TOOL_FRAME = 10, WU_TM_COMMAND = 11, WU_TM_HELP = 12,
  WU_TM_TIP = 13, WU_TM_ICON = 14, WU_TM_ADD = 15, WU_TM_DELETE = 16, WU_TM_SAVE = 17,
  WU_TM_SAVE_AS = 18, WU_TM_CHOOSER_TITLE = 19, WU_TM_ASK_SAVE = 22, WU_TM_TITLE = 25,
  WU_TM_LOCATION = 26, WU_TM_INSERT = 27, WU_TM_LIBRARY = 28, WU_TM_CATALOG = 29,
  WU_TM_ENTRY = 30, WU_TM_NOT_READ = 31, WU_TM_DEFAULT = 32, WU_TM_CLOSE = 33,
  WU_TM_NEW_BOX = 34, WU_TM_ASK_DEFAULT = 41
};

/* Host messages of set 526 the editor shows besides the tool messages. */
enum {
  WU_HM_CANCEL = 10, WU_HM_OK = 12, WU_HM_HELP = 57, WU_HM_CATEGORY = 456,
  WU_HM_USER_ICONS = 457, WU_HM_ACTION = 600, WU_HM_OPEN_TYPE = 601, WU_HM_SAVE_TYPE = 602,
  WU_HM_POPUP_FIRST = 606, WU_HM_COMMAND_ID = 645
};

/* Codes of the bottom row, the chooser and the Open/Save dialog. */
enum {
  WU_TE_OPEN = 1, WU_TE_SAVE = 2, WU_TE_SAVE_AS = 3, WU_TE_DEFAULT = 5, WU_TE_CLOSE = 9,
  WU_TE_HELP = 10, WU_TE_ACTION = 11, WU_TE_ICON = 12, WU_TE_INSERT = 2, WU_TE_ADD = 3,
  WU_TE_BACK = 2, WU_TE_FORWARD = 3, WU_TE_ICON_OK = 126, WU_TE_ICON_CANCEL = 127,
  WU_TE_ACTION_OK = -57, WU_TE_ACTION_CANCEL = -56, WU_TE_WAITING = -1
};

#define WU_TE_LIBRARY_MAX 8
#define WU_TE_NAME_MAX 32
#define WU_TE_NEW_ICON 1010        /* icon of a new tool */
#define WU_TE_ALT_ICON 202         /* icon of a new tool made with the modifier */
#define WU_TE_TOOLSET "TOOLSET "
#define WU_TE_CHOOSER_WIDTH 500     /* the icon chooser's icon area */
#define WU_TE_CHOOSER_HEIGHT 310

/* One editor (module-static while it runs). */
struct wu_editor {
  wu_window *window;
  wu_reg_hold window_hold;
  Widget dialog;                 /* the "Tool Editor" form dialog */
  Widget location;
  Widget per_row, up, down;
  Widget command, help, tip, command_id;
  Widget back, forward;
  Widget insert, add, del, save, deflt, icon, action;
  Widget selected;               /* button of the selected tool */
  int32_t index;                 /* its 0-based place */
  /* icon chooser */
  Widget chooser, scroll, grid;
  wu_combo *categories;          /* the category combo box, or null when it could not be built */
  std::vector<Widget> pool;      /* icon buttons, reused by every category */
  Widget armed;
  int32_t chosen;
  std::vector<std::vector<Pixmap>> cache;   /* per category, loaded once */
  std::vector<bool> cache_loaded;
  bool user_category;
  bool categories_loaded;
  int32_t shown_category;        /* category the grid shows, -1 none */
  /* action list */
  Widget actions, action_list;
  wu_toolbox *toolset;           /* the action source, or null */
  std::vector<std::pair<Pixmap, bool>> action_pixmaps;   /* the list's icons, shared or owned */
  /* Open/Save */
  Widget open_save, os_library, os_catalog, os_entry, os_type;
  int32_t os_answer;
  bool updating;
  /* the private copy and its preview */
  wu_toolbox *copy;
  Widget preview, preview_rowcol, preview_tip;
  bool ending;                   /* the loop ends: closed, window gone, display lost */
};

extern wu_editor *wu_ed;

/* Module-static names and flags of the editor. */
struct wu_editor_names {
  char library[WU_TE_LIBRARY_MAX + 1];
  char catalog[WU_TE_NAME_MAX + 1];
  char entry[WU_TE_NAME_MAX + 1];
  char type[9];
  char active_libref[WU_LIBREF_LEN];
  char active_catalog[WU_NAME34_LEN];
  char active_entry[WU_NAME34_LEN];
  bool needs_save, needs_reload, icons_loaded, actions_loaded, separator_asked, dialog_up;
  bool nested;                   /* the Open/Save dialog waits */
  int32_t preview_x, preview_y;  /* remembered preview position */
};
extern wu_editor_names wu_edn;

/* True when the editor is gone or ending (checked after every call out). */
bool wu_ed_gone(wu_editor *ed);
/* Text of a tool message ("" when missing). */
const char *wu_ed_msg(int32_t slot);
/* A host message of set 526 as a compound string. */
XmString wu_ed_label(int32_t number);
/* Shows a text as a message box over the editor; the answer. */
int32_t wu_ed_show(Widget parent, const char *text, int32_t kind);
/* Common resources of the editor's widgets (colour set, font list). */
Cardinal wu_ed_args(Arg *args, Cardinal n);
/* Sets a text field's value with the cursor at its end. */
void wu_ed_set_text(Widget field, const char *text);
/* The editor's library, catalog and entry names as catalog name fields. */
void wu_ed_catalog_names(char *libref, char *catalog, char *entry);

extern "C" {

/* Editing (wumtledt). */
wu_status wumcptb(wu_toolbox *box, wu_toolbox *copy);
wu_status wumtedlt(Widget parent, wu_tool *tools);   /* the preview's buttons */
void RefreshToolBar(int32_t index, int32_t rebuild);
void RefreshSpinBox(int32_t count, int32_t per_row);
void wumtlph(Widget w, XEvent *event, String *params, Cardinal *count);
void wumtldc(Widget w, XEvent *event, String *params, Cardinal *count);
void wumtlbb(Widget w, XEvent *event, String *params, Cardinal *count);
void wumtlbd(Widget w, XEvent *event, String *params, Cardinal *count);
void wumtlad(Widget w, XtPointer where, XtPointer call);
void wuwtepp(Widget w, XtPointer where, XEvent *event, Boolean *go_on);
void wumtldt(Widget w, XtPointer client, XtPointer call);
void wumtlar(Widget w, XtPointer direction, XtPointer call);
void wumtlaa(Widget w, XtPointer step, XtPointer call);
void wumtlta(Widget w, XtPointer client, XtPointer call);
void wumtltf(Widget w, XtPointer client, XtPointer call);
void wumtlvc(Widget w, XtPointer client, XtPointer call);
void wumtlic(Widget w, XtPointer which, XtPointer call);
void wumtlcb(Widget w, XtPointer client, XtPointer call);
void wumtlba(Widget w, XtPointer code, XtPointer call);
wu_tool *wumtlnw(void);
wu_status wumtlin(wu_tool *tool, int32_t index);
wu_status wumtldl(int32_t index);
wu_status MoveToolBarItemBack(wu_tool *tool);
wu_status MoveToolBarItemForward(wu_tool *tool);
void FreeToolWidgets(wu_tool *tools);
void FreeToolStrings(wu_tool *tools);
void FreeToolPixmaps(wu_tool *tools);
int32_t isaltpr(void);
int32_t MapToNewPixid(int32_t icon);
/* Frees the chooser's pixmaps and pool (the editor ends). */
void wumtlfc(wu_editor *ed);

/* Open, save, default, close, help (wumtled). */
void wumtlpb(Widget w, XtPointer code, XtPointer call);
void wumtlos(Widget w, XtPointer code, XtPointer call);
void wumtcan(Widget w, XtPointer client, XtPointer call);
int32_t CanSaveToolBox(const char *libref, const char *catalog);
void ExtractQEVName(const char *libref, const char *catalog, const char *entry, char *library,
                    char *catalog_out, char *entry_out);
void MakeQEVName(char *library, char *catalog, char *entry, char *libref_out, char *catalog_out,
                 char *entry_out);
char *TrimString(char *text);

}  // extern "C"

#endif /* QEV_MENUS_WUMTLED_H */
