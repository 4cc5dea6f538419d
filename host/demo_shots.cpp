// The demo's unattended run: see demo_shots.h.
#include "demo_shots.h"

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

void pressKey(Display *dpy, KeyCode code, bool shifted) {
  const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
  if (shifted) XTestFakeKeyEvent(dpy, shift, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  if (shifted) XTestFakeKeyEvent(dpy, shift, False, CurrentTime);
}

}  // namespace

bool typeCommand(Display *dpy, Window window, const std::string &text) {
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) return false;
  int x = 0, y = 0;
  Window child = None;
  if (!XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), kPointerInset, kPointerInset,
                             &x, &y, &child))
    return false;
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, CurrentTime);
  for (char c : text) {
    char name[2] = {c, '\0'};
    KeySym sym = c == ' ' ? XK_space : XStringToKeysym(name);
    KeyCode code = sym != NoSymbol ? XKeysymToKeycode(dpy, sym) : 0;
    if (code == 0) return false;
    pressKey(dpy, code, std::isupper(static_cast<unsigned char>(c)) != 0);
  }
  pressKey(dpy, XKeysymToKeycode(dpy, XK_Return), false);
  XFlush(dpy);
  return true;
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
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(dpy, &event, &error, &major, &minor)) return false;
  int rx = 0, ry = 0;
  Window child = None;
  if (!XTranslateCoordinates(dpy, window, DefaultRootWindow(dpy), x, y, &rx, &ry, &child)) return false;
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), rx, ry, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  XFlush(dpy);
  return true;
}

bool pressMnemonic(Display *dpy, char letter) {
  char name[2] = {letter, '\0'};
  const KeyCode alt = XKeysymToKeycode(dpy, XK_Alt_L);
  const KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(name));
  if (alt == 0 || code == 0) return false;
  XTestFakeKeyEvent(dpy, alt, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  XTestFakeKeyEvent(dpy, alt, False, CurrentTime);
  XFlush(dpy);
  return true;
}

bool pressLetter(Display *dpy, KeySym sym) {
  const KeyCode code = XKeysymToKeycode(dpy, sym);
  if (code == 0) return false;
  pressKey(dpy, code, false);
  XFlush(dpy);
  return true;
}

}  // namespace demo
