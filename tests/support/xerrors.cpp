// gtest comes before the X headers, whose macros (None, Bool) it would trip on.
#include <gtest/gtest.h>

#include "xerrors.h"

#include <cstdio>

#include "runtime/wutoolkit.h"

namespace qevtest {
namespace {

int g_count = 0;
bool g_installed = false;
ExpectXErrors *g_expect = nullptr;

}  // namespace

void watchXErrors() {
  if (g_installed) return;
  g_installed = true;
  XSetErrorHandler(reportXError);
  wutxwtch(reportXError);
}

int xErrorCount() { return g_count; }

int reportXError(Display *dpy, XErrorEvent *ev) {
  ++g_count;
  for (ExpectXErrors *e = g_expect; e; e = e->outer_) {
    if (e->code_ == 0 || e->code_ == ev->error_code) {
      ++e->seen_;
      return 0;
    }
  }
  char text[128] = "";
  XGetErrorText(dpy, ev->error_code, text, sizeof text);
  ADD_FAILURE() << "unexpected X protocol error: " << text << " (error " << int(ev->error_code)
                << ", request " << int(ev->request_code) << "." << int(ev->minor_code)
                << ", resource 0x" << std::hex << ev->resourceid << std::dec << ", serial "
                << ev->serial << ")";
  return 0;
}

ExpectXErrors::ExpectXErrors(Display *dpy, int code) : dpy_(dpy), code_(code), outer_(g_expect) {
  // Errors of earlier requests are not this scope's.
  if (dpy_) XSync(dpy_, False);
  g_expect = this;
}

ExpectXErrors::~ExpectXErrors() {
  if (dpy_) XSync(dpy_, False);
  g_expect = outer_;
}

int ExpectXErrors::seen() {
  if (dpy_) XSync(dpy_, False);
  return seen_;
}

}  // namespace qevtest
