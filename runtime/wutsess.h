/*
 * Sessions on one display.  Every session of the module on a display holds
 * a number, 1 for the first; the numbers live in the root-window property
 * "QEV_SESSIONS" as pairs (number, window), where the window is one the
 * session's own connection created.  Whoever changes the property first owns
 * the selection "QEV_LOCK", so that two sessions starting at once never take
 * one number.  A session that ends without giving its number back (a crash)
 * leaves a pair whose window the server has destroyed with the connection:
 * the next session to look drops that pair and its number is free again.
 * The server may hand that window id to a later client, so a session also
 * marks its window with the property "QEV_SESSION" holding its number, and
 * a pair counts only while its window carries the mark with that number.
 */
#ifndef QEV_RUNTIME_WUTSESS_H
#define QEV_RUNTIME_WUTSESS_H

#include <X11/Xlib.h>
#include <stdint.h>

#include "qev/status.h"

#define WU_SESSION_LOCK "QEV_LOCK"
#define WU_SESSION_TABLE "QEV_SESSIONS"
#define WU_SESSION_MARK "QEV_SESSION"
/* How long a session waits for another to release the lock before it goes
   on without it. */
#define WU_SESSION_LOCK_WAIT_MS 2000

#ifdef __cplusplus
extern "C" {
#endif

/* Takes the lowest free session number for `window` on the display and
   records it.  The lock is waited for at most `wait_ms`; without it the
   number is still taken (logged).  *number is 0 when the display or the
   window is missing (WU_BADARG). */
wu_status wutsnum(Display *dpy, Window window, int32_t wait_ms, int32_t *number);
/* Gives back the number that `window` holds: its pair leaves the table. */
wu_status wutsfre(Display *dpy, Window window, int32_t wait_ms);

#ifdef __cplusplus
}
#endif

#endif /* QEV_RUNTIME_WUTSESS_H */
