// X errors.  A protocol error is reported (standard error and the host log)
// and the module goes on: the host must never end because of its display.
// An Xt error is reported the same way and, while an event loop of the module
// turns, unwinds to that loop's recovery point.  A broken connection marks
// the display lost; Xlib is then told not to end the process, every later
// Xlib call on the connection returns at once, and the module's loops stop
// waiting for input that will never come.
#include <X11/Xlib.h>
#include <X11/Intrinsic.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "runtime/wuhost.h"
#include "runtime/wutoolkit.h"

namespace {

XErrorHandler g_prev_error = nullptr;
XIOErrorHandler g_prev_io = nullptr;
XtErrorMsgHandler g_prev_xt_error = nullptr;
XtErrorMsgHandler g_prev_xt_warning = nullptr;
XErrorHandler g_watcher = nullptr;

int OnXError(Display *dpy, XErrorEvent *ev) {
  if (!devb) return g_watcher ? g_watcher(dpy, ev) : 0;
  devb->x_errors++;
  devb->last_error_code = ev->error_code;
  devb->last_request_code = ev->request_code;
  if (devb->errors_masked) return 0;
  char text[128] = "";
  XGetErrorText(dpy, ev->error_code, text, sizeof text);
  std::fprintf(stderr,
               "X Error: %s (error %d, request %d.%d, resource 0x%lx, serial %lu)\n", text,
               ev->error_code, ev->request_code, ev->minor_code, ev->resourceid, ev->serial);
  wutlogf(QEV_LOG_ERROR, "X Error: %s (error %d, request %d.%d, resource 0x%lx)", text,
          ev->error_code, ev->request_code, ev->minor_code, ev->resourceid);
  if (g_watcher) g_watcher(dpy, ev);
  return 0;
}

void MarkLost() {
  if (!devb || devb->lost) return;
  devb->lost = 1;
  std::fprintf(stderr, "X connection to the display was lost.\n");
}

// Called first on a broken connection.  It must not use the connection.
int OnIOError(Display *) {
  MarkLost();
  return 0;
}

// Called instead of exit(): with the recovery point armed the waiting loop
// is left; otherwise returning leaves the connection dead, not the process.
void OnIOErrorExit(Display *, void *) {
  MarkLost();
  if (devb && devb->recovery_armed) {
    devb->recovery_armed = 0;
    longjmp(devb->recovery, 1);
  }
}

// Formats an Xt error or warning message with its parameters.
void XtText(String name, String type, String cls, String deflt, String *params, Cardinal *count,
            char *out, size_t size) {
  char text[512];
  XtAppGetErrorDatabaseText(devb ? devb->app : nullptr, name, type, cls, deflt, text,
                            sizeof text, nullptr);
  String p[10] = {nullptr};
  Cardinal n = count ? *count : 0;
  for (Cardinal i = 0; i < n && i < 10; ++i) p[i] = params[i];
  std::snprintf(out, size, text, p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], p[8], p[9]);
}

void OnXtError(String name, String type, String cls, String deflt, String *params,
               Cardinal *count) {
  char out[1024];
  XtText(name, type, cls, deflt, params, count, out, sizeof out);
  std::fprintf(stderr, "X Toolkit Error: %s\n", out);
  wutlogf(QEV_LOG_ERROR, "X Toolkit Error: %s", out);
  if (devb && devb->recovery_armed) {
    devb->recovery_armed = 0;
    longjmp(devb->recovery, 1);
  }
}

void OnXtWarning(String name, String type, String cls, String deflt, String *params,
                 Cardinal *count) {
  char out[1024];
  XtText(name, type, cls, deflt, params, count, out, sizeof out);
  std::fprintf(stderr, "X Toolkit Warning: %s\n", out);
}

}  // namespace

extern "C" {

void wutxerrs(void) {
  g_prev_error = XSetErrorHandler(OnXError);
  g_prev_io = XSetIOErrorHandler(OnIOError);
  if (devb && devb->display) XSetIOErrorExitHandler(devb->display, OnIOErrorExit, nullptr);
  if (devb && devb->app) {
    // Xt declares its error handler as one that never returns; this one
    // returns when no module loop can take the unwind, so that an Xt error
    // never ends the host.
    typedef void (*NoReturnHandler)(String, String, String, String, String *, Cardinal *)
        __attribute__((noreturn));
    g_prev_xt_error = XtAppSetErrorMsgHandler(devb->app, reinterpret_cast<NoReturnHandler>(OnXtError));
    g_prev_xt_warning = XtAppSetWarningMsgHandler(devb->app, OnXtWarning);
  }
}

void wutxerrr(void) {
  XSetErrorHandler(g_prev_error);
  XSetIOErrorHandler(g_prev_io);
  g_prev_error = nullptr;
  g_prev_io = nullptr;
  (void)g_prev_xt_error;
  (void)g_prev_xt_warning;
}

void wutxwtch(XErrorHandler watcher) { g_watcher = watcher; }

void wutlogf(int32_t log_class, const char *format, ...) {
  char text[1024];
  int head = std::snprintf(text, sizeof text, "%%%dz", log_class);
  va_list ap;
  va_start(ap, format);
  std::vsnprintf(text + head, sizeof text - size_t(head), format, ap);
  va_end(ap);
  ypslog(text, int32_t(std::strlen(text)));
}

}  // extern "C"
