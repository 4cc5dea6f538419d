// Shared set-up of the list widget tests: one Xt application on the
// process's private X server, a shell per test, and real input through
// XTest.
#pragma once

#include <gtest/gtest.h>

#include "xinput.h"
#include "xserver.h"
#include "xdlistdata.h"

#include <X11/Intrinsic.h>
#include <X11/Shell.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <Xm/List.h>
#include <Xm/Xm.h>

#include <chrono>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace listtest {

struct App {
  XtAppContext app = nullptr;
  Display *dpy = nullptr;
};

inline App &app() {
  static App a;
  if (!a.dpy) {
    qevtest::privateDisplay();
    XtToolkitInitialize();
    a.app = XtCreateApplicationContext();
    int argc = 0;
    a.dpy = XtOpenDisplay(a.app, nullptr, "xdlists", "XdLists", nullptr, 0, &argc, nullptr);
  }
  return a;
}

// Handles every pending event (and zero-delay timers) until a round trip
// to the server finds nothing more to handle: what the test's requests and
// input made the server send has been dispatched (at most five seconds).
inline void pump() {
  App &a = app();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    XSync(a.dpy, False);
    if (!XtAppPending(a.app)) return;
    while (XtAppPending(a.app)) XtAppProcessEvent(a.app, XtIMAll);
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "the X events did not stop coming";
      return;
    }
  }
}

// Dispatches the X events the server has sent up to and including the
// next one of `type` (KeyPress, ButtonRelease): the input the test sent in
// one burst is handled one action at a time.  False when none is queued.
inline bool dispatchThrough(int type) {
  App &a = app();
  XSync(a.dpy, False);
  while (XEventsQueued(a.dpy, QueuedAlready) > 0) {
    XEvent next;
    XPeekEvent(a.dpy, &next);
    XtAppProcessEvent(a.app, XtIMXEvent);
    if (next.type == type) return true;
  }
  return false;
}

// An icon list "icons" of a selection policy showing `visible` rows.
inline Widget makeIconList(Widget parent, unsigned char policy, bool scrolled, int visible) {
  Arg a[2];
  XtSetArg(a[0], XmNselectionPolicy, policy);
  XtSetArg(a[1], XmNvisibleItemCount, visible);
  return scrolled ? XdCreateScrolledIconList(parent, (char *)"icons", a, 2)
                  : XdCreateIconList(parent, (char *)"icons", a, 2);
}

inline Widget makeShell(int width = 400, int height = 300) {
  App &a = app();
  Widget shell = XtVaAppCreateShell("shell", "Shell", topLevelShellWidgetClass, a.dpy, XtNwidth,
                                    width, XtNheight, height, XtNx, 0, XtNy, 0, nullptr);
  return shell;
}

inline std::string text(XmString s) {
  char *t = static_cast<char *>(
      XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string out = t ? t : "";
  XtFree(t);
  return out;
}

// Texts of an XmList's items.
inline std::vector<std::string> listTexts(Widget list) {
  XmString *items = nullptr;
  int n = 0;
  XtVaGetValues(list, XmNitems, &items, XmNitemCount, &n, nullptr);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.push_back(text(items[i]));
  return out;
}

inline std::vector<int> selected(Widget list) {
  int *pos = nullptr, n = 0;
  std::vector<int> out;
  if (XmListGetSelectedPos(list, &pos, &n)) out.assign(pos, pos + n);
  XtFree(reinterpret_cast<char *>(pos));
  return out;
}

inline void rootPos(Widget w, int x, int y, int *rx, int *ry) {
  Window child;
  XTranslateCoordinates(XtDisplay(w), XtWindow(w), DefaultRootWindow(XtDisplay(w)), x, y, rx, ry,
                        &child);
}

// A real click (XTest) at (x, y) of w's window, with modifier keys held:
// the XTest events, without waiting for them to be handled.
inline void sendClick(Widget w, int x, int y, unsigned button = 1, const std::vector<KeySym> &mods = {}) {
  Display *dpy = XtDisplay(w);
  int rx, ry;
  rootPos(w, x, y, &rx, &ry);
  XTestFakeMotionEvent(dpy, -1, rx, ry, 0);
  for (KeySym k : mods) XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), True, 0);
  XTestFakeButtonEvent(dpy, button, True, 0);
  XTestFakeButtonEvent(dpy, button, False, 0);
  for (KeySym k : mods) XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), False, 0);
}

// The same click, handled.
inline void click(Widget w, int x, int y, unsigned button = 1, std::vector<KeySym> mods = {}) {
  sendClick(w, x, y, button, mods);
  pump();
}

// Two clicks at (x, y) as fast as a user double-clicks: both sent in one
// burst, so that their spacing is the user's and not the time this
// process takes to handle the first.  `between` runs once the first click
// is handled.
inline void doubleClick(Widget w, int x, int y, const std::function<void()> &between = nullptr) {
  sendClick(w, x, y);
  sendClick(w, x, y);
  EXPECT_TRUE(dispatchThrough(ButtonRelease)) << "the first click came";
  if (between) between();
  pump();
}

// The user clicks a scroll bar's trough beyond its slider (a page on);
// the bar's page increment (before the click) and its value after it.
struct Paged {
  int page, value;
};
inline Paged pageOn(Widget bar) {
  Paged p = {0, 0};
  XtVaGetValues(bar, XmNpageIncrement, &p.page, nullptr);
  int x = 0, y = 0;
  qevtest::scrollBarPlace(bar, qevtest::kTroughAfter, &x, &y);
  click(bar, x, y);
  XtVaGetValues(bar, XmNvalue, &p.value, nullptr);
  return p;
}

// Waits past the multi-click time so that the next click is a single one.
inline void pauseClicks() {
  usleep((XtGetMultiClickTime(app().dpy) + 50) * 1000);
}

inline void key(KeySym sym, std::vector<KeySym> mods = {}) {
  Display *dpy = app().dpy;
  for (KeySym k : mods) XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), True, 0);
  XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), True, 0);
  XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), False, 0);
  for (KeySym k : mods) XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), False, 0);
  pump();
}

// Keys typed in one burst, as fast as a user types them: their spacing is
// the user's and not the time this process takes to handle each.  The
// presses are then handled one after the other, `each(i)` run once key i
// is handled.
inline void typeBurst(const std::vector<KeySym> &keys, const std::function<void(size_t)> &each = nullptr) {
  Display *dpy = app().dpy;
  for (KeySym k : keys) {
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), True, 0);
    XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), False, 0);
  }
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_TRUE(dispatchThrough(KeyPress)) << "key " << i << " of the burst came";
    if (each) each(i);
  }
  pump();
}

// Gives w the X input focus (no window manager runs in these tests).
inline void focus(Widget w) {
  pump();
  XSetInputFocus(XtDisplay(w), XtWindow(XtParent(w)) ? XtWindow(w) : XtWindow(w), RevertToParent,
                 CurrentTime);
  XmProcessTraversal(w, XmTRAVERSE_CURRENT);
  pump();
}

// Records callback invocations.
struct Calls {
  struct Call {
    Widget w;
    int reason;
    int item_position;
    int selected_count;
    std::vector<int> positions;
    std::string item;
  };
  std::vector<Call> calls;
  static void record(Widget w, XtPointer closure, XtPointer data) {
    auto *self = static_cast<Calls *>(closure);
    auto *cbs = static_cast<XmListCallbackStruct *>(data);
    Call c{w, cbs->reason, cbs->item_position, cbs->selected_item_count, {}, {}};
    if (cbs->selected_item_positions)
      c.positions.assign(cbs->selected_item_positions,
                         cbs->selected_item_positions + cbs->selected_item_count);
    if (cbs->item) c.item = text(cbs->item);
    self->calls.push_back(c);
  }
  void watch(Widget w, const char *name) { XtAddCallback(w, name, record, this); }
};

}  // namespace listtest
