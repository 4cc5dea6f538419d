#include "xserver.h"

#include "xerrors.h"

#include <X11/Xutil.h>
#include <cerrno>
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

namespace {

// How long a server that named its display may take to accept a client,
// and how often it is asked meanwhile.
const int kAcceptWaitMs = 20000;
const int kAcceptPollMs = 20;

// The display number the server writes to `fd` (a line), or -1 when it
// ended or closed the pipe without one.
int ReadDisplayNumber(int fd) {
  char buf[32] = {0};
  size_t got = 0;
  while (got < sizeof buf - 1 && !memchr(buf, '\n', got)) {
    ssize_t n = read(fd, buf + got, sizeof buf - 1 - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += size_t(n);
  }
  if (got == 0 || buf[0] < '0' || buf[0] > '9') return -1;
  return atoi(buf);
}

// Waits until the server `pid` serving `name` takes a client: a server
// that names its display may still be coming up.  False when it ended
// first or did not take one in time.
bool WaitUntilAccepting(pid_t pid, const std::string &name) {
  for (int waited = 0; waited < kAcceptWaitMs; waited += kAcceptPollMs) {
    if (Display *probe = XOpenDisplay(name.c_str())) {
      XCloseDisplay(probe);
      return true;
    }
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      fprintf(stderr, "test support: the X server of %s ended before it took a client\n",
              name.c_str());
      return false;
    }
    usleep(kAcceptPollMs * 1000);
  }
  fprintf(stderr, "test support: the X server of %s took no client in %d ms\n", name.c_str(),
          kAcceptWaitMs);
  return false;
}

}  // namespace

const char *privateDisplay() {
  if (!g_display.empty()) return g_display.c_str();
  // The server program; a test of this start-up names another.
  const char *server = getenv("QEV_TEST_XSERVER");
  if (server == nullptr || *server == '\0') server = "Xvfb";
  int fds[2];
  if (pipe(fds) != 0) return nullptr;
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string fd = std::to_string(fds[1]);
    int devnull = open("/dev/null", 0);
    if (devnull >= 0) { dup2(devnull, 1); dup2(devnull, 2); }
    execlp(server, server, "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
           "-nolisten", "tcp", "-noreset", "+extension", "XTEST", (char *)nullptr);
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return nullptr;
  }
  const int number = ReadDisplayNumber(fds[0]);
  close(fds[0]);
  const std::string name = ":" + std::to_string(number);
  if (number < 0 || !WaitUntilAccepting(pid, name)) {
    if (number < 0) fprintf(stderr, "test support: Xvfb did not start\n");
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return nullptr;
  }
  g_xvfb = pid;
  atexit(stopChildren);
  g_display = name;
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

namespace {

// Runs `ask` on `other`, or on a connection of its own when that is null.
template <typename Ask>
bool AskAnother(Display *other, Ask ask) {
  Display *dpy = other ? other : XOpenDisplay(privateDisplay());
  if (!dpy) return false;
  const bool answer = ask(dpy);
  if (!other) XCloseDisplay(dpy);
  return answer;
}

}  // namespace

bool windowExists(Display *other, Window w) {
  return AskAnother(other, [w](Display *dpy) {
    // A window gone answers BadWindow: an answer here, not a fault.
    ExpectXErrors gone(dpy, BadWindow);
    XWindowAttributes at;
    return XGetWindowAttributes(dpy, w, &at) != 0;
  });
}

bool keyboardFree(Display *other) {
  return AskAnother(other, [](Display *dpy) {
    const int st = XGrabKeyboard(dpy, DefaultRootWindow(dpy), False, GrabModeAsync, GrabModeAsync,
                                 CurrentTime);
    XUngrabKeyboard(dpy, CurrentTime);
    XSync(dpy, False);
    return st == GrabSuccess;
  });
}

bool pointerFree(Display *other) {
  return AskAnother(other, [](Display *dpy) {
    const int st = XGrabPointer(dpy, DefaultRootWindow(dpy), False, ButtonPressMask, GrabModeAsync,
                                GrabModeAsync, None, None, CurrentTime);
    XUngrabPointer(dpy, CurrentTime);
    XSync(dpy, False);
    return st == GrabSuccess;
  });
}

}  // namespace qevtest
