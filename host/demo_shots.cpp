// The demo's unattended run: see demo_shots.h.
#include "demo_shots.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char **environ;

namespace demo {

namespace {

const int kWmWaitSteps = 50;          // 50 x 100 ms for mwm to come up
const useconds_t kStepUs = 100000;
const int kWindowX = 60;              // where the demo window goes
const int kWindowY = 60;
const int kFrameMargin = 40;          // room for the frame in a screenshot

bool screenManaged(Display *dpy) {
  // mwm announces itself with this property of the root window.
  Atom info = XInternAtom(dpy, "_MOTIF_WM_INFO", True);
  if (info == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  bool ok = XGetWindowProperty(dpy, DefaultRootWindow(dpy), info, 0, 2, False, AnyPropertyType,
                               &type, &format, &count, &after, &data) == Success &&
            type != None;
  if (data) XFree(data);
  return ok;
}

}  // namespace

pid_t startWindowManager() {
  pid_t pid = 0;
  char name[] = "mwm";
  char *argv[] = {name, nullptr};
  if (posix_spawnp(&pid, name, nullptr, nullptr, argv, environ) != 0) return 0;
  Display *dpy = XOpenDisplay(nullptr);
  for (int i = 0; dpy && i < kWmWaitSteps && !screenManaged(dpy); ++i) usleep(kStepUs);
  if (dpy) XCloseDisplay(dpy);
  return pid;
}

void stopWindowManager(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < kWmWaitSteps; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    usleep(kStepUs);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

void placeWindow(Display *dpy, Window window) {
  XMoveWindow(dpy, window, kWindowX, kWindowY);
  XFlush(dpy);
}

bool saveShot(Display *dpy, Window window, const std::string &path) {
  XWindowAttributes at;
  Window child = None;
  int x = 0, y = 0;
  if (!window || !XGetWindowAttributes(dpy, window, &at) ||
      !XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), 0, 0, &x, &y, &child))
    return false;
  const int left = std::max(0, x - kFrameMargin), top = std::max(0, y - kFrameMargin);
  const int w = x - left + at.width + kFrameMargin, h = y - top + at.height + kFrameMargin;
  char crop[64];
  std::snprintf(crop, sizeof crop, "%dx%d+%d+%d", w, h, left, top);
  std::string cmd = "import -window root -crop " + std::string(crop) + " +repage '" + path + "'";
  int rc = std::system(cmd.c_str());
  std::printf("screenshot %s: %s\n", path.c_str(), rc == 0 ? "saved" : "FAILED");
  return rc == 0;
}

namespace {

const int kPointerInset = 20;         // where in the window the pointer goes

void pressKey(Display *dpy, KeyCode code, KeyCode modifier) {
  if (modifier) XTestFakeKeyEvent(dpy, modifier, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  if (modifier) XTestFakeKeyEvent(dpy, modifier, False, CurrentTime);
}

bool hasXTest(Display *dpy) {
  int event = 0, error = 0, major = 0, minor = 0;
  return XTestQueryExtension(dpy, &event, &error, &major, &minor);
}

// The key symbol of a printable character.
KeySym symOf(char c) {
  switch (c) {
    case ' ': return XK_space;
    case '.': return XK_period;
    case ',': return XK_comma;
    case ';': return XK_semicolon;
    case ':': return XK_colon;
    case '\'': return XK_apostrophe;
    case '_': return XK_underscore;
    case '-': return XK_minus;
    case '/': return XK_slash;
    case '=': return XK_equal;
    default: {
      const char name[2] = {c, '\0'};
      return std::isalnum(static_cast<unsigned char>(c)) ? XStringToKeysym(name) : NoSymbol;
    }
  }
}

}  // namespace

bool typeKeys(Display *dpy, const std::string &text) {
  if (!hasXTest(dpy)) return false;
  const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
  for (char c : text) {
    const KeySym sym = symOf(c);
    const KeyCode code = sym != NoSymbol ? XKeysymToKeycode(dpy, sym) : 0;
    if (code == 0) return false;
    // A symbol that is not the key's first one needs Shift.
    pressKey(dpy, code, XkbKeycodeToKeysym(dpy, code, 0, 0) == sym ? 0 : shift);
  }
  XFlush(dpy);
  return true;
}

bool pressKeysym(Display *dpy, KeySym sym, KeySym modifier) {
  if (!hasXTest(dpy)) return false;
  const KeyCode code = XKeysymToKeycode(dpy, sym);
  const KeyCode held = modifier != NoSymbol ? XKeysymToKeycode(dpy, modifier) : 0;
  if (code == 0 || (modifier != NoSymbol && held == 0)) return false;
  pressKey(dpy, code, held);
  XFlush(dpy);
  return true;
}

bool typeCommand(Display *dpy, Window window, const std::string &text) {
  if (!hasXTest(dpy)) return false;
  int x = 0, y = 0;
  Window child = None;
  if (!XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), kPointerInset, kPointerInset,
                             &x, &y, &child))
    return false;
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, CurrentTime);
  return typeKeys(dpy, text) && pressKeysym(dpy, XK_Return);
}

Window findClient(Display *dpy, Window top, const char *title) {
  char *name = nullptr;
  if (XFetchName(dpy, top, &name) && name) {
    XWindowAttributes a;
    const bool match = std::strcmp(name, title) == 0 && XGetWindowAttributes(dpy, top, &a) &&
                       a.map_state == IsViewable;
    XFree(name);
    if (match) return top;
  }
  Window root = None, parent = None, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy, top, &root, &parent, &kids, &n)) return None;
  Window found = None;
  for (unsigned i = 0; i < n && found == None; ++i) found = findClient(dpy, kids[i], title);
  if (kids) XFree(kids);
  return found;
}

bool clickAt(Display *dpy, Window window, int x, int y) {
  if (!hasXTest(dpy)) return false;
  int rx = 0, ry = 0;
  Window child = None;
  if (!XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), x, y, &rx, &ry, &child)) return false;
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), rx, ry, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  XFlush(dpy);
  return true;
}

bool pressMnemonic(Display *dpy, char letter) { return pressKeysym(dpy, symOf(letter), XK_Alt_L); }

Window frameOf(Display *dpy, Window window) {
  const Window rootWindow = DefaultRootWindow(dpy);
  for (Window w = window;;) {
    Window root = None, parent = None, *kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &kids, &n)) return window;
    if (kids) XFree(kids);
    if (parent == rootWindow || parent == None) return w;
    w = parent;
  }
}

bool clickTitle(Display *dpy, Window window) {
  const Window frame = frameOf(dpy, window);
  int x = 0, y = 0;
  Window child = None;
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, frame, &a) ||
      !XTranslateCoordinates(dpy, window, frame, 0, 0, &x, &y, &child))
    return false;
  // The title bar lies between the frame's top border (as wide as its left
  // one) and the window; without a frame the click goes into the window.
  return clickAt(dpy, frame, a.width / 2, y > x ? (x + y) / 2 : kPointerInset);
}

void askToClose(Display *dpy, Window window) {
  XEvent ev = {};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, window, False, NoEventMask, &ev);
  XFlush(dpy);
}

bool viewable(Display *dpy, Window window) {
  XWindowAttributes a;
  return window != None && XGetWindowAttributes(dpy, window, &a) && a.map_state == IsViewable;
}

}  // namespace demo
