// Test support: an X protocol error is a fault.  Every test process that uses
// the private X server fails its running test on any protocol error it did
// not say it expects, whichever handler is installed at the time: Xlib's
// handler points here while the module is stopped, and the module's own
// handler tells this check of each error while it runs.
#pragma once

#include <X11/Xlib.h>

namespace qevtest {

// Installs the check (privateDisplay() does so; calling it again is harmless).
void watchXErrors();

// Protocol errors seen in this process so far, expected or not.
int xErrorCount();

// Fails the running test on `ev` unless an ExpectXErrors scope takes it.
// Returns 0, as an Xlib error handler does; a test that installs a handler
// of its own for a while calls this for the errors it does not expect.
int reportXError(Display *dpy, XErrorEvent *ev);

// While one lives, protocol errors of `code` (any code when 0) are
// expected: they are counted, not failures.  The display is synchronised
// on leaving, so errors of requests made inside the scope are taken by it.
class ExpectXErrors {
 public:
  explicit ExpectXErrors(Display *dpy, int code = 0);
  ~ExpectXErrors();
  ExpectXErrors(const ExpectXErrors &) = delete;
  ExpectXErrors &operator=(const ExpectXErrors &) = delete;
  // Expected errors seen so far in this scope (after synchronising).
  int seen();

 private:
  Display *dpy_;
  int code_;
  int seen_ = 0;
  ExpectXErrors *outer_;
  friend int reportXError(Display *, XErrorEvent *);
};

}  // namespace qevtest
