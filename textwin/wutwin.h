/*
 * The window layer: host windows, their panes and fields, the cursor, the
 * message line, the display update and the road of a key into the module
 * event queue.  Host-facing functions have C linkage and return a status.
 *
 * A window record (wu_window) comes from wuxgwnd, its panes from wuxgpan
 * and their fields from wuxgfld; wuxiwnd realises the window with one pane
 * widget (QevPane) per pane, the command panel with the message line, and
 * the input widget (QevInput) that holds the keyboard.  The host writes into
 * field texts, marks the fields WU_FLD_DIRTY and the next wuxuwnd or wuxrwnd
 * draws exactly those.
 */
#ifndef QEV_TEXTWIN_WUTWIN_H
#define QEV_TEXTWIN_WUTWIN_H

#include <X11/Intrinsic.h>
#include <stdint.h>

#include "qev/records.h"
#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Module event codes queued by the window layer. */
#define WU_EV_NEXT_FIELD 10       /* next-field action of a widget in a pane */
#define WU_EV_PREV_FIELD 11       /* previous-field action */
/* The same actions on an easel: queued with the easel record as the
   event's one parameter word. */
#define WU_EV_EASEL_NEXT_FIELD 6
#define WU_EV_EASEL_PREV_FIELD 7
/* The named pointer that the owner of an editor window publishes in its
   execution context: the editor's anchor. */
#define WU_EDITOR_ANCHOR_NAME "EDITOR_ANCHOR"
#define WU_EDITOR_ANCHOR_NAME_LEN 13
#define WU_EV_WAKE 1047           /* wakes the window's waiting read */
#define WU_EV_CLOSE 1000          /* the window manager asked to close the window */
/* Function keys reach the host as the negative of their key index. */
#define WU_KEY_ENTER 13
#define WU_KEY_PAGEUP 14
#define WU_KEY_PAGEDOWN 15
#define WU_KEY_ESCAPE 16
#define WU_KEY_HELP 17
#define WU_KEY_INSERT 18

/* Rows of the command panel: one for the message line, two with a
   command line. */
#define WU_CMDPANEL_ROWS_MSG 1
#define WU_CMDPANEL_ROWS_CMD 2
#define WU_CMDFIELD_LEN 200       /* command and message-line fields */
/* A pane or panel this wide (in columns) spans the window's width. */
#define WU_FULL_WIDTH 9999
/* Width in columns of a window whose panes all span its width. */
#define WU_DEFAULT_COLUMNS 80

/* ---- records (wucwind, wucpane, wucfld) ---------------------------------- */

/* Allocates a window record (zeroed) from the module pool, owned by the
   calling task and linked as the newest window.  `module_flags` carries
   the decoration wishes (WU_DECOR_...). */
wu_status wuxgwnd(wu_window **window_out, int32_t kind, uint32_t module_flags);
/* Allocates a pane with its extension at a cell rectangle of the window and
   appends it to the window's pane list; `columns` WU_FULL_WIDTH spans the
   window.  Pane ids count from 1 in creation order. */
wu_status wuxgpan(wu_window *window, wu_pane **pane_out, int32_t row, int32_t column,
                  int32_t rows, int32_t columns, uint32_t flags);
/* Allocates a field of `length` blank cells at a cell of the pane. */
wu_status wuxgfld(wu_pane *pane, wu_field **field_out, int32_t row, int32_t column,
                  int32_t length, int32_t colour, uint32_t flags);
/* Releases a pane that is on no list: its release list, fields, pane
   widget, extension and record. */
void wutfpan(wu_window *window, wu_pane *pane);
/* Releases what the module added to a pane: its controls, pane widget and
   extension (not its fields or record). */
void wutfpnx(wu_window *window, wu_pane *pane);
/* Releases a window: its widgets, panes, fields, queued events and record.
   WU_NOTAVAIL for anything wuxgwnd did not hand out or that is released. */
wu_status wuxfwnd(wu_window *window);

/* ---- realising, reading, updating (wucwind, wucdspl) --------------------- */

wu_status wuxiwnd(wu_window *window);
/* Brings the window up to date, makes it current and turns the X event
   loop until an event is queued for it; takes that event off the queue and
   returns its code (a command's text is kept in the window's command_text
   until the next read).  Without a display it answers at once: the code of
   an event already queued, else WU_NOTAVAIL.  A window never realised is
   realised first; while the batch driver replays the read never waits.
   A window released while the read waits, or a shut-down asked for meanwhile
   (carried out when this, the outermost loop, ends), answers WU_NOTAVAIL. */
wu_status wuxrwnd(wu_window *window);
wu_status wuxuwnd(wu_window *window);
/* wuxuwnd that leaves what it asked of the server in the request buffer
   (flush 0), to go with the next flush or wait: a control released among
   many is not sent on its own. */
wu_status wutuwnd(wu_window *window, int32_t flush);
wu_status wuxgdsf(wu_window *window, int32_t zero, uint32_t *flags_out);
/* Window-system command entry: the window-command dispatcher decides; 0 is
   handled, WU_NOTAVAIL not handled. */
wu_status wutecmd(wu_window *window, int32_t code);
/* The window's editor anchor: the named pointer WU_EDITOR_ANCHOR_NAME of
   the execution context of the window's owning task; null for a window
   whose owner publishes none (not an editor window). */
void *wucw2ep(wu_window *window);

/* ---- panes and fields ---------------------------------------------------- */

int32_t wutihpn(wu_pane *panel, Widget form);
wu_status wutwd2p(Widget w, wu_window **window_out, wu_pane **pane_out);
void spgetesl(Widget w, int32_t *count_out, WidgetList *list_out);
void wutwfld(wu_pane *panel, wu_field *field, int32_t start, int32_t count);
void sperase(Widget pane_widget, int32_t row, int32_t column, int32_t rows, int32_t columns);
/* True for a pane the module handed out (a window's command pane included)
   whose window has not been released.  The panes of a window released from
   inside a widget callback stay entered until the release is carried out,
   so that the release finds them; nothing more is made in them meanwhile. */
int wutpopn(const wu_pane *pane);
/* The field of the pane that holds a cell, or null. */
wu_field *wutfatc(wu_pane *pane, int32_t row, int32_t column);
/* The length of a field as the module may use it: the host owns the record
   and may have put any value there since the field was made, so it is cut
   to the cells the text holds (none for a length below 1). */
int32_t wutflen(const wu_field *field);
/* The cells a field's text holds: what the module made for a field of
   wuxgfld, the length (when in 1 .. WU_HOST_TEXT_MAX) of one the host made. */
int32_t wutfcap(const wu_field *field);
/* The window's colour of a field colour index, as a pixel. */
Pixel wutfpxl(int32_t colour);

/* ---- command panel (wucpcmd) --------------------------------------------- */

int32_t wuticmd(wu_window *window);
void wutfcmd(wu_window *window);
/* Gives the command panel itself back to the host (the window's release). */
void wutfcpn(wu_window *window);

/* ---- cursor and message line (wuccurs, wucdspl) -------------------------- */

wu_status wuxmcrs(wu_window *window, wu_pane *pane, int32_t row, int32_t column);
wu_status wuxmcur(wu_window *window);
wu_status wux1st(wu_window *window);
wu_status wuxpmsg(wu_window *window, const char *text, int32_t length, int32_t kind);
void wutaddt(Widget w);

/* ---- keys and actions (wucinpt) ------------------------------------------ */

void wutnxtf(Widget w, XEvent *event);
void wutprvf(Widget w, XEvent *event);
/* Tab and Shift-Tab round a window's fields and controls, linked with the
   controls layer (0: the window has no controls; its fields cycle alone). */
int32_t wuwtabc(wu_window *window, Widget from, int32_t step) __attribute__((weak));
/* Registers the module's text-key actions with the application context
   (once), so that widgets carrying the text-key translations reach the
   window layer. */
void wutiact(void);
/* The input widget's callbacks (client data: the window). */
void wuwinsc(Widget w, XtPointer client, XtPointer call);
void wuwfkey(Widget w, XtPointer client, XtPointer call);

/* ---- hooks filled by later layers ---------------------------------------- */

/* Destroys the toolkit side of a released control (controls layer). */
wu_status wutfwid(wu_window *window, wu_pane_ext *ext, wu_control *control)
    __attribute__((weak));
/* The same in two steps for a pane whose widget goes next and takes the
   control's widgets with it: what the control holds is given up with its
   widgets standing (those outside the pane's widget are destroyed now),
   then, once the pane's widget is gone, the record lets go of them. */
wu_status wutfwpn(wu_window *window, wu_pane_ext *ext, wu_control *control)
    __attribute__((weak));
wu_status wutfwfg(wu_control *control) __attribute__((weak));
/* The window-command dispatcher (menus layer). */
wu_status wumpcmd(wu_window *window, int32_t code) __attribute__((weak));
/* Saves and releases the window's tool box (menus layer). */
wu_status wumfbar(wu_window *window) __attribute__((weak));

#ifdef __cplusplus
}
#endif

#endif /* QEV_TEXTWIN_WUTWIN_H */
