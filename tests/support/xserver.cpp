#include "xserver.h"

#include "xerrors.h"

#include <X11/Xutil.h>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace qevtest {
namespace {

pid_t g_xvfb = 0;
pid_t g_wm = 0;
std::string g_display;

void stopChildren() {
  if (g_wm > 0) {
    // mwm acts on SIGTERM only at its next X event, which may never come
    // once the test's windows are gone: it has no state worth a clean exit.
    kill(g_wm, SIGKILL);
    waitpid(g_wm, nullptr, 0);
    g_wm = 0;
  }
  if (g_xvfb > 0) {
    // A server that has not gone after two seconds is killed: the test's
    // end must not wait on it.
    kill(g_xvfb, SIGTERM);
    const int kSteps = 200;
    int step = 0;
    while (waitpid(g_xvfb, nullptr, WNOHANG) == 0 && step++ < kSteps) usleep(10000);
    if (step > kSteps) {
      kill(g_xvfb, SIGKILL);
      waitpid(g_xvfb, nullptr, 0);
    }
    g_xvfb = 0;
  }
}

}  // namespace

const char *privateDisplay() {
  if (!g_display.empty()) return g_display.c_str();
  int fds[2];
  if (pipe(fds) != 0) return nullptr;
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string fd = std::to_string(fds[1]);
    int devnull = open("/dev/null", 0);
    if (devnull >= 0) { dup2(devnull, 1); dup2(devnull, 2); }
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
           "-nolisten", "tcp", "-noreset", "+extension", "XTEST", (char *)nullptr);
    _exit(127);
  }
  close(fds[1]);
  char buf[32] = {0};
  size_t got = 0;
  while (got < sizeof buf - 1) {
    ssize_t n = read(fds[0], buf + got, sizeof buf - 1 - got);
    if (n <= 0) break;
    got += size_t(n);
    if (memchr(buf, '\n', got)) break;
  }
  close(fds[0]);
  if (got == 0) {
    fprintf(stderr, "test support: Xvfb did not start\n");
    waitpid(pid, nullptr, 0);
    return nullptr;
  }
  g_xvfb = pid;
  atexit(stopChildren);
  g_display = ":" + std::to_string(atoi(buf));
  setenv("DISPLAY", g_display.c_str(), 1);
  watchXErrors();
  return g_display.c_str();
}

Display *openDisplay() {
  const char *name = privateDisplay();
  return name ? XOpenDisplay(name) : nullptr;
}

bool startWindowManager() {
  if (g_wm > 0) return true;
  if (!privateDisplay()) return false;
  pid_t pid = fork();
  if (pid == 0) {
    int devnull = open("/dev/null", 0);
    if (devnull >= 0) { dup2(devnull, 1); dup2(devnull, 2); }
    execlp("mwm", "mwm", (char *)nullptr);
    _exit(127);
  }
  if (pid < 0) return false;
  g_wm = pid;
  // Wait until the manager has selected SubstructureRedirect on the root.
  Display *dpy = XOpenDisplay(g_display.c_str());
  if (!dpy) return false;
  Atom wmS0 = XInternAtom(dpy, "WM_S0", False);
  for (int i = 0; i < 200 && XGetSelectionOwner(dpy, wmS0) == None; ++i) usleep(20000);
  // mwm does not always own WM_S0; give it a moment more to manage the root.
  usleep(200000);
  XCloseDisplay(dpy);
  return true;
}

namespace {
bool g_redirect_refused = false;
int NoteRefusal(Display *, XErrorEvent *e) {
  if (e->error_code == BadAccess) g_redirect_refused = true;
  return 0;
}
}  // namespace

void stopWindowManager() {
  if (g_wm <= 0) return;
  kill(g_wm, SIGKILL);
  waitpid(g_wm, nullptr, 0);
  g_wm = 0;
  Display *dpy = XOpenDisplay(g_display.c_str());
  if (!dpy) return;
  // The server drops the manager's selections when it sees the connection
  // close; until then selecting SubstructureRedirect is refused.
  const int kTries = 100;
  XErrorHandler previous = XSetErrorHandler(NoteRefusal);
  for (int i = 0; i < kTries; ++i) {
    g_redirect_refused = false;
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureRedirectMask);
    XSync(dpy, False);
    if (!g_redirect_refused) break;
    usleep(20000);
  }
  XSelectInput(dpy, DefaultRootWindow(dpy), NoEventMask);
  XSync(dpy, False);
  XSetErrorHandler(previous);
  XCloseDisplay(dpy);
  // The manager's focus may have reverted to None with it.
  restoreFocus();
}

void restoreFocus() {
  if (g_display.empty()) return;
  Display *dpy = XOpenDisplay(g_display.c_str());
  if (!dpy) return;
  XSetInputFocus(dpy, PointerRoot, RevertToPointerRoot, CurrentTime);
  XSync(dpy, False);
  XCloseDisplay(dpy);
}

unsigned long pixelAt(Display *dpy, Window w, int x, int y) {
  if (!w) w = DefaultRootWindow(dpy);
  XImage *img = XGetImage(dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!img) return ~0UL;
  unsigned long p = XGetPixel(img, 0, 0);
  XDestroyImage(img);
  return p & 0xffffff;
}

}  // namespace qevtest
