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

// Handles every pending event (and zero-delay timers) until quiet.
inline void pump(int rounds = 3) {
  App &a = app();
  for (int r = 0; r < rounds; ++r) {
    XSync(a.dpy, False);
    while (XtAppPending(a.app)) XtAppProcessEvent(a.app, XtIMAll);
    usleep(2000);
  }
  XSync(a.dpy, False);
  while (XtAppPending(a.app)) XtAppProcessEvent(a.app, XtIMAll);
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

// A real click (XTest) at (x, y) of w's window, with modifier keys held.
inline void click(Widget w, int x, int y, unsigned button = 1, std::vector<KeySym> mods = {}) {
  Display *dpy = XtDisplay(w);
  int rx, ry;
  rootPos(w, x, y, &rx, &ry);
  XTestFakeMotionEvent(dpy, -1, rx, ry, 0);
  for (KeySym k : mods) XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), True, 0);
  XTestFakeButtonEvent(dpy, button, True, 0);
  XTestFakeButtonEvent(dpy, button, False, 0);
  for (KeySym k : mods) XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, k), False, 0);
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
