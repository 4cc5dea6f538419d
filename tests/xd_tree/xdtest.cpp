#include <gtest/gtest.h>
#include "xdtest.h"

#include "xerrors.h"
#include "xserver.h"

#include <X11/Shell.h>
#include <X11/extensions/XTest.h>
#include <Xm/XmP.h>
#include <Xm/Form.h>

#include <chrono>
#include <thread>

namespace xdtest {
namespace {

std::vector<std::string> g_warnings;

void warningHandler(String message) { g_warnings.emplace_back(message ? message : ""); }


App &slot() {
  static App a;
  return a;
}

}  // namespace

void reopen() {
  slot() = App{};
  app();
}

App &app() {
  App &a = slot();
  if (!a.app) {
    qevtest::privateDisplay();
    XtToolkitInitialize();
    a.app = XtCreateApplicationContext();
    int argc = 1;
    static char name[] = "xdtest";
    static char *argv[] = {name, nullptr};
    a.dpy = XtOpenDisplay(a.app, nullptr, "xdtest", "XdTest", nullptr, 0, &argc, argv);
    XtAppSetWarningHandler(a.app, warningHandler);
  }
  return a;
}

Widget makeShell(Widget *form, int width, int height) {
  App &a = app();
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNwidth, width); ++n;
  XtSetArg(args[n], XmNheight, height); ++n;
  XtSetArg(args[n], XmNx, 0); ++n;
  XtSetArg(args[n], XmNy, 0); ++n;
  Widget shell = XtAppCreateShell("xdtest", "XdTest", topLevelShellWidgetClass, a.dpy, args, n);
  if (form) *form = XtCreateManagedWidget("form", xmFormWidgetClass, shell, nullptr, 0);
  return shell;
}

void show(Widget shell) {
  XtRealizeWidget(shell);
  Display *dpy = XtDisplay(shell);
  for (int i = 0; i < 200; ++i) {
    settle();
    XWindowAttributes attrs;
    XGetWindowAttributes(dpy, XtWindow(shell), &attrs);
    if (attrs.map_state == IsViewable) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  XSetInputFocus(dpy, XtWindow(shell), RevertToParent, CurrentTime);
  settle();
}

void settle() {
  App &a = app();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    XSync(a.dpy, False);
    if (!(XtAppPending(a.app) & (XtIMXEvent | XtIMAlternateInput))) return;
    while (XtAppPending(a.app) & (XtIMXEvent | XtIMAlternateInput))
      XtAppProcessEvent(a.app, XtIMXEvent | XtIMAlternateInput);
    if (std::chrono::steady_clock::now() > end) {
      ADD_FAILURE() << "the X events did not stop coming";
      return;
    }
  }
}

bool pumpUntil(const std::function<bool()> &done, int limitMs) {
  App &a = app();
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) {
      settle();
      return false;
    }
    XSync(a.dpy, False);
    if (XtAppPending(a.app))
      XtAppProcessEvent(a.app, XtIMAll);
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  settle();
  return true;
}

void pump(int ms) { pumpUntil([] { return false; }, ms); }

void pointerTo(Widget w, int x, int y) {
  Position rx = 0, ry = 0;
  if (x < 0) x = XtWidth(w) / 2;
  if (y < 0) y = XtHeight(w) / 2;
  XtTranslateCoords(w, Position(x), Position(y), &rx, &ry);
  Display *dpy = XtDisplay(w);
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), rx, ry, CurrentTime);
  settle();
}

static void modifiers(Display *dpy, const std::vector<KeySym> &mods, Bool press) {
  for (KeySym m : mods) XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, m), press, CurrentTime);
}

void clickAt(Widget w, int x, int y, unsigned button, const std::vector<KeySym> &mods) {
  Display *dpy = XtDisplay(w);
  pointerTo(w, x, y);
  modifiers(dpy, mods, True);
  XTestFakeButtonEvent(dpy, button, True, CurrentTime);
  XTestFakeButtonEvent(dpy, button, False, CurrentTime);
  modifiers(dpy, mods, False);
  settle();
}

void clickNode(wu_tree_node *n, int part, unsigned button, const std::vector<KeySym> &mods) {
  XRectangle r = {};
  ASSERT_EQ(_XdTreeNodeRect(n, part, &r), 1) << n->text;
  clickAt(n->tree->drawing_area, r.x + r.width / 2, r.y + r.height / 2, button, mods);
}

void doubleClickNode(wu_tree_node *n, int part, const std::function<void()> &between) {
  XRectangle r = {};
  ASSERT_EQ(_XdTreeNodeRect(n, part, &r), 1) << n->text;
  App &a = app();
  pointerTo(n->tree->drawing_area, r.x + r.width / 2, r.y + r.height / 2);
  for (int i = 0; i < 2; ++i) {
    XTestFakeButtonEvent(a.dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(a.dpy, 1, False, CurrentTime);
  }
  XSync(a.dpy, False);
  // The first click's events, up to its release, then the rest.
  bool released = false;
  while (!released && XEventsQueued(a.dpy, QueuedAlready) > 0) {
    XEvent next;
    XPeekEvent(a.dpy, &next);
    XtAppProcessEvent(a.app, XtIMXEvent);
    released = next.type == ButtonRelease;
  }
  EXPECT_TRUE(released) << "the first click came";
  if (between) between();
  settle();
}

void click(Widget w, unsigned button, const std::vector<KeySym> &mods) {
  Display *dpy = XtDisplay(w);
  pointerTo(w);
  modifiers(dpy, mods, True);
  XTestFakeButtonEvent(dpy, button, True, CurrentTime);
  XTestFakeButtonEvent(dpy, button, False, CurrentTime);
  modifiers(dpy, mods, False);
  settle();
}

void key(KeySym sym, const std::vector<KeySym> &mods) {
  Display *dpy = app().dpy;
  modifiers(dpy, mods, True);
  XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), True, CurrentTime);
  XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), False, CurrentTime);
  modifiers(dpy, mods, False);
  settle();
}

unsigned long pixel(Widget w, int x, int y) {
  settle();
  return qevtest::pixelAt(XtDisplay(w), XtWindow(w), x, y);
}

std::vector<std::string> takeWarnings() {
  std::vector<std::string> w;
  w.swap(g_warnings);
  return w;
}

int xErrors() { return qevtest::xErrorCount(); }

}  // namespace xdtest
