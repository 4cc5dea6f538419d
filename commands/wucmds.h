/*
 * Commands: the window-command dispatcher (the window-system commands 31 to
 * 113 the host hands back through wutecmd / slot 12) and its token helpers,
 * the file dialog commands and the screen dump, the command window and the
 * command history file.
 */
#ifndef QEV_COMMANDS_WUCMDS_H
#define QEV_COMMANDS_WUCMDS_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <stdint.h>

#include "qev/records.h"
#include "qev/status.h"

/* Message set of the commands. */
#define WU_MSG_CMD 524

/* The history file: records read at most, bytes of one record. */
#define WU_HIST_READ_MAX 50
#define WU_HIST_RECORD_MAX 200
/* A queued command holds at most this many characters. */
#define WU_CMDTEXT_MAX 199
/* Which command combo of the module state holds the history list. */
#define WU_COMBO_CMDWIN 0
#define WU_COMBO_TOOLBOX 1

extern "C" {

/* ---- dispatcher (wumpcmd) ------------------------------------------------ */
wu_status wumpcmd(wu_window *window, int32_t code);
wu_status wuxecmd(wu_window *window, int32_t code);
int32_t wutisdm(wu_window *window);
void wumtsta(int32_t on);

/* ---- file commands and screen dump (wumfcmd) ----------------------------- */
void HandleDLGOPEN(wu_window *window);
void HandleDLGSAVE(wu_window *window);
void HandleDLGCDIR(wu_window *window);
void HandleDLGSCRDUMP(wu_window *window);
int32_t GrabFilters(void *parent, const char *text);
void *wumdflt(int32_t kind);
/* Runs the file selection with a filter list of the form wumdflt returns
   ({count, {length, text}...}, null for none). */
wu_status wumfsfl(wu_window *window, const char *title, struct wu_fsel *request,
                  const char *initial_dir, const void *filters);
char *wumhflt(const char *pattern);

/* ---- token helpers shared by the command handlers ------------------------ */
int32_t wumtend(const qev_token *t);             /* an end token */
int32_t wumtkey(const qev_token *t, const char *keyword);  /* begins with the keyword */
void wumtupc(const qev_token *t);                /* upper-cases in place */
void wumtlog(int32_t cls, const char *format, int32_t nargs, const qev_arg *args);
void wumfree(char *text);                        /* gives back a wuxgmft text */

/* ---- the menus' standard items the dispatcher runs (weak) ---------------- */
wu_status wumshpn(int32_t on) __attribute__((weak));
/* Item handlers called without an item: the client data is the window, the
   call data of wuwexit non-null when the dispatcher asks. */
void wuwhprt(Widget item, XtPointer client, XtPointer call) __attribute__((weak));
void wuwoabt(Widget item, XtPointer client, XtPointer call) __attribute__((weak));
void wuwexit(Widget item, XtPointer client, XtPointer call) __attribute__((weak));
void wuwikfd(Widget item, XtPointer client, XtPointer call) __attribute__((weak));
void wuwekfd(Widget item, XtPointer client, XtPointer call) __attribute__((weak));
wu_status wumpexp(wu_window *window, const char *title, char *path, int32_t size,
                  char *filter, int32_t filter_size) __attribute__((weak));
const char *wumgtyp(const char *filter) __attribute__((weak));

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

}  // extern "C"

#endif /* QEV_COMMANDS_WUCMDS_H */
