/*
 * The tool box, its tips and the Tool Editor.
 *
 * A tool box (wu_toolbox) is a list of tools (wu_tool), each an icon button
 * that queues a host command.  Boxes are stored as "TOOLBOX " catalog
 * entries (wumtlcl reads, wumtlsv writes).  The module shows one merged tool
 * box shell whose buttons are the tools of the window the user works in.
 * The tool box commands (TOOLLOAD, TOOLEDIT, ...) are run by the
 * window-command dispatcher (commands/wucmds.h).
 */
#ifndef QEV_TOOLBOX_WUTBOX_H
#define QEV_TOOLBOX_WUTBOX_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "qev/records.h"
#include "qev/status.h"

struct wu_toolbox;

/* One tool (button) of a box. */
typedef struct wu_tool {
  Widget button;
  Pixmap pixmap;
  uint8_t small_icon;          /* 1: the pixmap is the 24-pixel form */
  int32_t icon;                /* icon identifier; WU_TB_SEPARATOR_ICON */
  char *command;               /* owned copies, or null */
  char *help;
  char *tip;
  wu_window *window;           /* the command's window; null: the current window */
  struct wu_tool *next;
  struct wu_toolbox *box;      /* owning box */
  int32_t command_id;          /* graying and checking through the window's lists */
  int32_t second;
  /* Kept by this module: whether the pixmap came from the shared icon store
     (given back with wutfpix) or was made for this tool (freed with it). */
  uint8_t shared_pixmap;
  Pixmap insensitive;          /* the grayed picture of the button */
} wu_tool;

/* One tool box in memory (zero-filled by AllocateToolBar). */
typedef struct wu_toolbox {
  Widget shell;                /* own shell, or null */
  Widget widgets[2];           /* row-column of tools, tip shell */
  int32_t icon_width;
  int32_t icon_height;
  int32_t count;
  int32_t per_row;
  char libref[WU_LIBREF_LEN];
  char catalog[WU_NAME34_LEN];
  char entry[WU_NAME34_LEN];
  char *title;                 /* owned, or null */
  uint8_t tips;
  int32_t tip_delay;           /* ms */
  XtIntervalId tip_timer;      /* pending tip time-out, 0 none */
  wu_tool *tools;
  uint8_t keep_on_top;
  wu_tool_messages *messages;
  int32_t x;
  int32_t y;
  uint8_t save_position;
  uint8_t own_location;
  uint8_t load_default;
  uint8_t command_part;
  uint8_t tools_part;
  int32_t use_count;
  uint8_t shared;              /* the merged box's: its widgets are not its own */
  uint8_t no_save;
} wu_toolbox;

/* The merged tool box shell (module state's `merged`). */
typedef struct wu_merged_box {
  Widget shell;
  Widget form;
  Widget rowcol;
  Widget tip_shell;
  Widget tip_label;
  Widget command_arrow;        /* only with the command part */
  Widget tools_arrow;
  wu_tool *tools;              /* the tool list shown */
  wu_toolbox *box;             /* the box whose tools are shown */
  wu_window *window;           /* the window the buttons act for */
  int32_t icon_size;           /* 0, 24 or 48 */
  uint8_t closed;              /* TOOLCLOSE hid it */
  uint8_t shown;
  uint8_t have_position;       /* saved global position */
  int32_t saved_x;
  int32_t saved_y;
  uint8_t rebuild;             /* tools part to rebuild when shown again */
  uint8_t reconfigure;         /* geometry change settling */
  uint8_t tip_shown;           /* the tip shell is up */
  XmFontList tip_font;         /* the font list the tip label has */
  int32_t built_size;          /* icon size of the buttons built last */
  uint8_t close_requeued;      /* TOOLCLOSE of an iconic shell ran again once */
  uint8_t withdrawn;           /* taken off the screen: the window manager may
                                  still hold it when it is shown again */
  XtIntervalId reconfigure_timer;
  /* The command part (with useCommandToolBoxCombo): "QEVTBCommandLine"
     holding the command combo and the check button that submits it. */
  Widget command_line;
  struct wu_combo *combo;
  Widget check;
} wu_merged_box;

/* Keyword matching of command tokens: the token begins with the keyword. */
#define WU_ICON_BOX_SMALL 24
#define WU_ICON_BOX_LARGE 48
#define WU_TOOL_TEXT_MAX 199      /* characters of a stored tool text */
#define WU_TOOLS_MAX 255          /* tools a stored header can count */
#define WU_DEFAULT_TOOLS 14       /* the built-in default tool box */
#define WU_TIP_GRACE_MS 300
#define WU_RECONFIG_SWITCH_MS 350
#define WU_RECONFIG_REBUILD_MS 750

/* Message set of the tool box. */
#define WU_MSG_TOOL 526

extern "C" {

/* ---- storage (wumtlcl) --------------------------------------------------- */
wu_toolbox *wumtlcl(const char *libref, const char *catalog, const char *entry, const char *type);
wu_status wumtlsv(wu_toolbox *box, const char *libref, const char *catalog, const char *entry,
                  const char *type);
wu_toolbox *AllocateToolBar(void);
void wutfbar(wu_window *window, wu_toolbox *box);
wu_toolbox *wumbpnx(wu_window *window);
wu_toolbox *wumbrmg(wu_window *window, int32_t n, int32_t set, int32_t icon_first,
                    int32_t command_first, int32_t help_first, int32_t tip_first);
Pixmap wumtllp(int32_t icon, int32_t width, int32_t height, uint8_t *shared_out);
Pixmap wumldic(int32_t icon, int32_t width, int32_t height);
void InitToolMessages(void);
void FreeToolMessages(void);
void wumficn(void);
wu_toolbox *wumldbx(wu_window *window);   /* the window chain: sequence S */
wu_toolbox *wumlgbx(void);                /* the display-manager chain */
void wumsloc(wu_toolbox *box, const char *libref, const char *catalog, const char *entry);
int32_t wumgdloc(char *libref, char *catalog, char *entry);

/* Gives back a tool's pixmap: to the shared icon store when it came from
   there (`shared`), else it is freed. */
void ReleaseToolPixmap(Pixmap pixmap, uint8_t shared);
/* The host image a built-in icon identifier (-1 down) stands for. */
int32_t wumbimg(int32_t icon);

/* ---- buttons, windows, merged shell (wumtbar) ---------------------------- */
wu_status wumibar(wu_window *window);
wu_status wumnbar(wu_window *window);
wu_status wumlbar(wu_window *window);
wu_status wumbwnd(wu_window *window, wu_tool *tools);
wu_status wumfbar(wu_window *window);
void FreeAMergedBox(wu_toolbox *box);
void LoadTools(wu_window *window, Widget parent, wu_tool *tools);
void InitGlobalToolBox(void);
void wumsbsy(int32_t on);
void StoreToolBoxPosition(wu_toolbox *box);
char *BuildToolboxTitle(wu_window *window);
wu_status InitMergedBox(wu_window *window, wu_toolbox *box);
wu_status SwitchToolBox(wu_window *window, wu_toolbox *box);
wu_status wumrbar(wu_window *window);
wu_merged_box *wumgmbx(void);
/* Takes the merged shell off the screen, and shows it again; showing a
   shell taken off first waits (a second at most) until the window manager
   has let the window go, or the window manager would take the new map for
   the frame it is giving up and leave the shell withdrawn. */
void HideMergedShell(wu_merged_box *mb);
void ShowMergedShell(wu_merged_box *mb);
/* Maps the merged shell (raised when asked) leaving the keyboard where the
   user has it. */
void MapMergedShell(wu_merged_box *mb, bool raise);
/* The merged box's record in the module state, made (empty, no shell) when
   there is none yet; null without a module. */
wu_merged_box *wumamrg(void);
/* Destroys a tool's button and its grayed picture; the tool stays. */
void wumdbtn(wu_tool *tool);
/* The arrow of the merged box: hides or shows the tools part. */
wu_status wumtctl(Widget arrow);
/* The Tool Editor is open (on 1/0; -1 only asks). */
int32_t wumtedact(int32_t on);
int32_t wumtbusy(void);
/* The tool-button half of the item states: redraws every button of the
   merged box for the window's gray and check lists. */
void wumtact(wu_window *window);
/* Builds the tool box of a window for the menus (called weakly by them). */
wu_status wutibox(wu_window *window);

/* ---- tips ---------------------------------------------------------------- */
void wumtlwn(Widget w, XtPointer tool, XEvent *event, Boolean *go_on);
void wumtltt(XtPointer tool, XtIntervalId *id);
void wumtldk(XtPointer client, XtIntervalId *id);
/* The tip delay shared by the tool and control tips: 1 when the next tip
   waits for the delay; starting a grace period after a shown tip. */
int32_t wuttipd(void);
void wuttipg(void);
void wuttipc(void);

/* ---- tool box commands (wumtcmd) ----------------------------------------- */
int32_t GetToolPath(char *libref, char *catalog, char *entry);
void HandleTOOLLOAD(wu_window *window);
void HandleTOOLEDIT(wu_window *window);
void HandleTOOLCLOSE(wu_window *window);
void HandleTOOLSWITCH(wu_window *window);
void HandleTOOLTIPS(wu_window *window);
void HandleTOOLLARGE2(wu_window *window);
void HandleTOOLDUMP(wu_window *window);
void HandleTOOLDUMP2(wu_window *window);
/* Prepares the box a window edits (the given location, else the window's
   own) and runs the Tool Editor on it (wumtled). */
wu_status wumebar(wu_window *window, const char *libref, const char *catalog, const char *entry);

/* The Tool Editor (wumtled): runs modally on the box; weak so the storage
   and buttons build without it. */
wu_status wumtled(wu_window *window, wu_toolbox *box, int32_t is_new, int32_t no_location)
    __attribute__((weak));

}  // extern "C"

/* Catalog and entry names in records: a 16-bit length, then the characters
   padded with blanks to the field's full width (wumtlcl).  Text34 reads the
   name (a length out of range is held to the field); SetName34 writes one,
   cut to the field. */
std::string Text34(const char *field);
void SetName34(char *field, const char *text, size_t n);

#endif /* QEV_TOOLBOX_WUTBOX_H */
