// The event loop.  Every wait of the module turns the Xt event loop through
// wutturn, which arms the loop's recovery point: when the X connection
// breaks while Xt waits for input, the I/O error handler unwinds to it, the
// display is marked lost and every wait returns instead of spinning on a
// dead connection.
#include <X11/Intrinsic.h>

#include <csetjmp>
#include <cstring>

#include "qev/flags.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

// The editor anchor of a window (text windows).
extern "C" void *wucw2ep(wu_window *window) __attribute__((weak));

namespace {

// One autosave period is this many milliseconds per minute.
const unsigned long kMsPerMinute = 60000UL;

// True while the window still has an autosave command it has not read: a
// window left alone gets one, not one per period.
bool AutosavePending(const wu_state *state, const wu_window *w) {
  for (const wu_event *e = state->queue_head; e != nullptr; e = e->next)
    if (e->window == w && e->code == WU_EV_COMMAND && e->text != nullptr &&
        std::strcmp(e->text, WU_AUTOSAVE_COMMAND) == 0)
      return true;
  return false;
}

void TimeLimit(XtPointer client_data, XtIntervalId *) {
  *static_cast<volatile int *>(client_data) = 1;
}

// Processes what is pending without waiting.
void DrainPending() {
  while (wu_x_ok()) {
    XtInputMask m = XtAppPending(devb->app);
    if (!m || !wu_x_ok()) break;
    if (!wutturn(0)) break;
  }
}

}  // namespace

extern "C" {

bool wutturn(int32_t timeout_ms) {
  // A shut-down asked for inside a loop ends every loop.
  if (!wu_x_ok() || wu_term_pending()) return false;
  volatile int expired = 0;
  volatile XtIntervalId timer = 0;
  if (timeout_ms == 0) {
    if (!XtAppPending(devb->app)) return wu_x_ok();
  } else if (timeout_ms > 0) {
    timer = XtAppAddTimeOut(devb->app, (unsigned long)timeout_ms, TimeLimit,
                            const_cast<int *>(&expired));
  }
  // Nested loops (a modal dialog inside a callback) each arm their own
  // recovery point and give the outer one back afterwards.
  jmp_buf outer;
  std::memcpy(outer, devb->recovery, sizeof outer);
  const int outer_armed = devb->recovery_armed;
  // A recovery taken from inside a callback skips the end of its calls out.
  const int32_t callouts = wu_callout_depth();
  wu_loop_enter();
  devb->in_loop++;
  if (setjmp(devb->recovery) == 0) {
    devb->recovery_armed = 1;
    XtAppProcessEvent(devb->app, XtIMAll);
  } else {
    wu_callout_restore(callouts);
  }
  devb->in_loop--;
  std::memcpy(devb->recovery, outer, sizeof outer);
  devb->recovery_armed = outer_armed;
  if (timer && !expired && wu_x_ok()) XtRemoveTimeOut(timer);
  // The dispatch is over and Motif is done with its widgets: windows the
  // host released from inside its callbacks go now.
  wu_defer_run();
  // Leaving the outermost loop carries out a shut-down deferred meanwhile.
  if (wu_loop_leave() != WU_OK) return false;
  return wu_x_ok() && !wu_term_pending();
}

wu_status wutpevt(volatile int32_t *flag, int32_t mask) {
  if (!flag) return WU_NOTAVAIL;
  wu_status st = WU_OK;
  wu_loop_enter();
  while (!(*flag & mask)) {
    if (!wutturn(-1)) {
      st = WU_NOTAVAIL;
      break;
    }
  }
  if (wu_loop_leave() != WU_OK) st = WU_NOTAVAIL;
  return st;
}

namespace {

// One look at the queue for the two awaited codes: WU_OK or
// WU_SECOND_EVENT when one came, 1 when neither did.
wu_status TakeAwaited(wu_window *window, int32_t event1, int32_t event2) {
  // Only the two awaited codes are taken: whatever else the window or
  // other windows queued meanwhile stays for their own reads.
  wu_event *e = wutdqec(window, event1, event2);
  if (!e) return 1;
  const int32_t code = e->code;
  wutrlev(e);
  if (code == event1) return WU_OK;
  // A menu command that ended the wait counts as a normal end.
  if (window->flags & WU_WIN_MENU_COMMAND) {
    window->flags &= ~WU_WIN_MENU_COMMAND;
    return WU_OK;
  }
  return WU_SECOND_EVENT;
}

}  // namespace

wu_status wutpmio(wu_window *window, int32_t event1, int32_t event2) {
  if (!window) return WU_BADARG;
  // The window must be one the module handed out, and the wait ends (as a
  // cancel) when it is released meanwhile.
  const wu_reg_hold hold = wu_reg_take(window);
  if (!wu_reg_alive(hold)) return WU_NOTAVAIL;
  wu_status st = 1;
  wu_loop_enter();
  for (;;) {
    if (!wu_reg_alive(hold)) {
      st = WU_CANCELLED;
      break;
    }
    st = TakeAwaited(window, event1, event2);
    if (st != 1) break;
    if (!wutturn(-1)) {
      st = WU_NOTAVAIL;
      break;
    }
  }
  if (wu_loop_leave() != WU_OK) st = WU_NOTAVAIL;
  return st;
}

wu_status wutsync(int32_t flush_mode, int32_t dispatch_mode) {
  if (!wu_x_ok()) return WU_NOTAVAIL;
  if (flush_mode) XSync(devb->display, False);
  if (dispatch_mode) DrainPending();
  // Mode 2: the server has also applied what the dispatched events asked.
  if (dispatch_mode > 1 && wu_x_ok()) {
    XSync(devb->display, False);
    DrainPending();
  }
  return wu_x_ok() ? WU_OK : WU_NOTAVAIL;
}

void wuwauto(XtPointer, XtIntervalId *) {
  if (!devb) return;
  devb->autosave_id = 0;
  // Each editor window is asked to save its work: the host's editor runs
  // the queued command at the window's next read.
  wu_state *state = wu_module();
  if (state != nullptr && devb->autosave_on && wucw2ep != nullptr)
    for (wu_window *w = state->newest; w != nullptr; w = w->next)
      if (wucw2ep(w) != nullptr && !AutosavePending(state, w))
        wuxqcmd(w, WU_AUTOSAVE_COMMAND, -1, 1, 1, 1);
  if (devb->autosave_on && devb->autosave_interval > 0)
    devb->autosave_id = XtAppAddTimeOut(devb->app, (unsigned long)devb->autosave_interval * kMsPerMinute,
                                        wuwauto, nullptr);
}

wu_status wutauto(int32_t on, int32_t minutes) {
  if (!devb || !devb->app) return WU_NOTAVAIL;
  if (devb->autosave_id) XtRemoveTimeOut(devb->autosave_id);
  devb->autosave_id = 0;
  devb->autosave_on = on ? 1 : 0;
  if (minutes >= 0) devb->autosave_interval = minutes;
  if (devb->autosave_on && devb->autosave_interval > 0)
    devb->autosave_id = XtAppAddTimeOut(devb->app, (unsigned long)devb->autosave_interval * kMsPerMinute,
                                        wuwauto, nullptr);
  return WU_OK;
}

}  // extern "C"
