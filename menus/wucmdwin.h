/*
 * The command window, the command history file, the standard command items
 * (open, save, print, import, export, exit and the host-or-X printing
 * choice) and the About box.
 *
 * The item handlers are Xt callbacks: (item widget or null, client data,
 * call data).  Called without an item widget, a registered window given as
 * the client data is the window they act for (the dispatcher passes its
 * window so); otherwise they act for the module's current window.
 */
#ifndef QEV_MENUS_WUCMDWIN_H
#define QEV_MENUS_WUCMDWIN_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <stdint.h>

#include "qev/records.h"
#include "qev/status.h"

/* The history file: records read at most, bytes of one record. */
#define WU_HIST_READ_MAX 50
#define WU_HIST_RECORD_MAX 200
/* A queued command holds at most this many characters. */
#define WU_CMDTEXT_MAX 199
/* Which command combo of the module state holds the history list. */
#define WU_COMBO_CMDWIN 0
#define WU_COMBO_TOOLBOX 1

extern "C" {

/* ---- history (wumcmds) ----------------------------------------------------- */
void wumcmdr(void);
wu_status wumcpop(Widget list);
void wumcmds(void);
/* Gives back pending items no list took (shut-down). */
void wumcfre(void);

/* ---- command window (wumcwin) ---------------------------------------------- */
wu_status wutcwdw(wu_window *window);
wu_status wutacmd(wu_window *window);
/* A window is being released: with no other window left the command window
   is hidden. */
void wumcwgo(wu_window *window);
void wutcmcs(Cursor cursor);
void wuwcncl(Widget w, XtPointer client, XtPointer call);
void wuwcent(Widget w, XtPointer client, XtPointer call);
void wuwcmok(Widget w, XtPointer client, XtPointer call);
void wuwatcm(Widget w, XtPointer client, XtPointer call);
void wuwcbsc(Widget w, XEvent *event, String *params, Cardinal *count);
/* The command window's top form, or null. */
Widget wumcwtf(void);
/* Makes a built combo the module's command combo `which` (WU_COMBO_...):
   it takes the history, submits its list's item on the middle button, and
   queues, completes and remembers what is typed in its text. */
void wumcset(struct wu_combo *cb, int32_t which);
/* Queues a typed command for the current window: leading blanks removed, an
   address ("scheme://...") wrapped into a browse command.  False when the
   command could not be queued whole (it is then kept by the caller). */
int32_t wumcsub(char *text);

/* ---- standard items (wumstdc) ---------------------------------------------- */
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
/* 1 when the printing question was answered (the profile entry exists). */
int32_t GetHostPrintNotif(void);
/* Puts `path` between single quotes after `prefix`, each quote in it
   doubled, then `suffix`; false when the path holds a control character or
   the whole does not fit WU_CMDTEXT_MAX characters. */
int32_t wumqcmd(const char *prefix, const char *path, const char *suffix, char *out, int32_t size);

/* ---- About box (wumabou) --------------------------------------------------- */
void wuwoabt(Widget, XtPointer, XtPointer);
void wuwacb(Widget, XtPointer, XtPointer);

}  // extern "C"

#endif /* QEV_MENUS_WUCMDWIN_H */
