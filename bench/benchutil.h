// Measuring one operation: wall time when run natively, instruction counts
// when run under `valgrind --tool=callgrind --collect-atstart=no`.  Each
// measured block is dumped by callgrind under its label, and bench/run.sh
// pairs the dumps with the wall times of the native run.  With a display
// named by countOn, the X requests and round trips of each block are
// counted as well (not timed): a round trip is a request whose reply the
// client waits for.
//
// Every program also has a smallest-size mode (QEV_BENCH_SMALLEST=1 in the
// environment, `bench/run.sh --smallest`): each operation once at its
// smallest size, so that a broken benchmark shows in seconds.  A program
// ends with a non-zero status when a result check fails.
#pragma once

#include <X11/IntrinsicP.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <Xm/Xm.h>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace qevbench {

inline unsigned long &roundTrips() {
  static unsigned long n = 0;
  return n;
}

// Round trips by the Xlib call that waited for the reply (the exported
// function Xlib read it in).
inline std::map<std::string, unsigned long> &tripsByCall() {
  static std::map<std::string, unsigned long> m;
  return m;
}

inline Display *&countedDisplay() {
  static Display *d = nullptr;
  return d;
}

// Counts the requests and round trips of `dpy` in the measured blocks.
inline void countOn(Display *dpy) { countedDisplay() = dpy; }

// True in the smallest-size mode.
inline bool smallest() {
  const char *v = std::getenv("QEV_BENCH_SMALLEST");
  return v != nullptr && *v != '\0' && std::strcmp(v, "0") != 0;
}

// The X requests and round trips of the last measured block (when counted).
struct Counts {
  unsigned long requests = 0, trips = 0;
};
inline Counts &lastCounts() {
  static Counts c;
  return c;
}

// The round trips of the last measured block by the Xlib call that waited,
// most first, as "XSync 2, XQueryTree 1" (when counted, in the
// native run).
inline std::string &lastTripsByCall() {
  static std::string s;
  return s;
}

// Runs f once, measured under `label` (a word without blanks, e.g.
// "iconlist.fill.xd.10000").  Prints "TIME <label> <milliseconds>" and, when
// a display is counted, "COUNT <label> <requests> <round trips>".
template <class F>
void measure(const std::string &label, F &&f) {
  Display *dpy = countedDisplay();
  const unsigned long req0 = dpy ? NextRequest(dpy) : 0;
  const unsigned long trips0 = roundTrips();
  const std::map<std::string, unsigned long> by0 = tripsByCall();
  auto t0 = std::chrono::steady_clock::now();
  CALLGRIND_ZERO_STATS;
  CALLGRIND_TOGGLE_COLLECT;
  f();
  CALLGRIND_TOGGLE_COLLECT;
  CALLGRIND_DUMP_STATS_AT(label.c_str());
  auto t1 = std::chrono::steady_clock::now();
  double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
  std::printf("TIME %s %.3f\n", label.c_str(), ms);
  if (dpy != nullptr) {
    lastCounts() = Counts{NextRequest(dpy) - req0, roundTrips() - trips0};
    std::printf("COUNT %s %lu %lu\n", label.c_str(), lastCounts().requests, lastCounts().trips);
    std::vector<std::pair<unsigned long, std::string>> by;
    for (const auto &e : tripsByCall()) {
      auto it = by0.find(e.first);
      const unsigned long n = e.second - (it == by0.end() ? 0 : it->second);
      if (n > 0) by.emplace_back(n, e.first);
    }
    std::sort(by.begin(), by.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    lastTripsByCall().clear();
    for (const auto &e : by)
      lastTripsByCall() += (lastTripsByCall().empty() ? "" : ", ") + e.second + " " + std::to_string(e.first);
  }
  std::fflush(stdout);
}

// Prints a note that belongs in the table (a peer's limit and the like).
inline void note(const std::string &text) {
  std::printf("NOTE %s\n", text.c_str());
  std::fflush(stdout);
}

// Prints a failed result check; the program is to end with status 1.
inline void failed(const std::string &text) {
  std::printf("FAILED %s\n", text.c_str());
  std::fflush(stdout);
}

// ---- the look of a module widget, for its peer -------------------------------

// What a peer widget takes over from the module's widget it stands for, so
// that the two look the same: the values the module's widget shows for
// some resources (size, place, colours, margins), given to the peer widget
// as arguments.
struct Look {
  std::vector<std::string> names;
  std::vector<XtArgVal> values;
  // Appends the look to `a` from `a[n]` on.
  Cardinal add(Arg *a, Cardinal n) const {
    for (size_t i = 0; i < names.size(); ++i) {
      XtSetArg(a[n], const_cast<char *>(names[i].c_str()), values[i]);
      ++n;
    }
    return n;
  }
  // The value read for `name` (0 when not read).
  XtArgVal value(const char *name) const {
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return values[i];
    return 0;
  }
};

// Reads `names` from `w` (every value a pixel, size, position, flag or
// pointer: read into a zeroed word, it is the argument that gives it back).
inline Look lookOf(Widget w, std::initializer_list<const char *> names) {
  Look l;
  for (const char *name : names) {
    XtArgVal v = 0;
    Arg a;
    XtSetArg(a, const_cast<char *>(name), &v);
    XtGetValues(w, &a, 1);
    l.names.push_back(name);
    l.values.push_back(v);
  }
  return l;
}

// ---- one process per part ------------------------------------------------------

// What a program measures in one process (a kind, a side): Motif keeps
// state for the life of a process (the text drawing state of every window
// it drew in, the heap's high-water mark), so each part is measured in a
// process that nothing else has used.  Without `variable` in the
// environment, runs this program again (same arguments) once per part with
// the variable naming it, one after the other, their output going where
// this one's goes (each line also to `line`, when given), and returns the
// exit status for the whole (1 when any part failed); in such a run returns
// -1 and the caller measures the part the variable names.
inline int runEachPart(char **argv, const char *variable, const std::vector<std::string> &parts,
                       const std::function<void(const std::string &)> &line = nullptr) {
  if (std::getenv(variable) != nullptr) return -1;
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return 1;
  self[n] = '\0';
  int status = 0;
  for (const std::string &part : parts) {
    std::fflush(stdout);
    int fds[2] = {-1, -1};
    if (line && pipe(fds) != 0) return 1;
    const pid_t pid = fork();
    if (pid == 0) {
      if (line) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
      }
      setenv(variable, part.c_str(), 1);
      execv(self, argv);
      _exit(127);
    }
    if (line) {
      close(fds[1]);
      if (FILE *in = fdopen(fds[0], "r")) {
        char buf[4096];
        while (std::fgets(buf, sizeof buf, in) != nullptr) {
          std::fputs(buf, stdout);
          std::string text(buf);
          if (!text.empty() && text.back() == '\n') text.pop_back();
          line(text);
        }
        std::fclose(in);
      } else {
        close(fds[0]);
      }
    }
    int st = 0;
    if (pid < 0 || waitpid(pid, &st, 0) != pid || !WIFEXITED(st) || WEXITSTATUS(st) != 0) {
      std::printf("FAILED %s=%s ended with status %d\n", variable, part.c_str(),
                  pid > 0 && WIFEXITED(st) ? WEXITSTATUS(st) : -1);
      std::fflush(stdout);
      status = 1;
    }
  }
  return status;
}

// ---- what was drawn ------------------------------------------------------------

// The exposures seen since the last clearExposures, by window.
inline std::map<Window, std::vector<XRectangle>> &exposures() {
  static std::map<Window, std::vector<XRectangle>> e;
  return e;
}

inline void clearExposures() { exposures().clear(); }

// Whether dispatchPending keeps the exposures (on unless turned off): a
// step whose drawing is not checked (a release) leaves the keeping out of
// what it measures.
inline bool &keepingExposures() {
  static bool on = true;
  return on;
}

// Dispatches everything pending, keeping the exposures.
inline void dispatchPending(XtAppContext app) {
  while (XtAppPending(app)) {
    if (!(XtAppPending(app) & XtIMXEvent)) {
      XtAppProcessEvent(app, XtIMAll);
      continue;
    }
    XEvent ev;
    XtAppNextEvent(app, &ev);
    if (ev.type == Expose && keepingExposures())
      exposures()[ev.xexpose.window].push_back(XRectangle{short(ev.xexpose.x), short(ev.xexpose.y),
                                                          (unsigned short)ev.xexpose.width,
                                                          (unsigned short)ev.xexpose.height});
    XtDispatchEvent(&ev);
  }
}

// True when the object was drawn since the last clear: its own window or a
// managed child's, or for a windowless object its rectangle in the parent's
// window, received an exposure (the part left uncovered may be a child's).
inline bool drawn(Widget w) {
  if (w == nullptr) return false;
  auto it = exposures().find(XtWindowOfObject(w));
  if (!XtIsWidget(w)) {
    if (it == exposures().end()) return false;
    const int x0 = w->core.x, y0 = w->core.y, x1 = x0 + w->core.width, y1 = y0 + w->core.height;
    for (const XRectangle &r : it->second)
      if (r.x < x1 && r.x + r.width > x0 && r.y < y1 && r.y + r.height > y0) return true;
    return false;
  }
  if (it != exposures().end()) return true;
  if (!XtIsComposite(w)) return false;
  CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
  for (Cardinal i = 0; i < c->composite.num_children; ++i)
    if (XtIsManaged(c->composite.children[i]) && drawn(c->composite.children[i])) return true;
  return false;
}

inline int drawnCount(const std::vector<Widget> &ws) {
  int n = 0;
  for (Widget w : ws)
    if (drawn(w)) ++n;
  return n;
}

}  // namespace qevbench

// Every reply Xlib waits for passes here (Xlib calls it through its own
// exported entry, so the program's definition is the one used): the count
// of round trips, and of the round trips by the call that waited.
extern "C" Status _XReply(Display *dpy, xReply *rep, int extra, Bool discard);
extern "C" Status _XReply(Display *dpy, xReply *rep, int extra, Bool discard) {
  using Fn = Status (*)(Display *, xReply *, int, Bool);
  static Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "_XReply"));
  ++qevbench::roundTrips();
  // Which call waited is read in the native run only: under callgrind the
  // look-up would count among the instructions of the measured block.
  if (RUNNING_ON_VALGRIND) return real(dpy, rep, extra, discard);
  Dl_info info;
  const char *name =
      dladdr(__builtin_return_address(0), &info) != 0 && info.dli_sname != nullptr ? info.dli_sname : "?";
  ++qevbench::tripsByCall()[name];
  return real(dpy, rep, extra, discard);
}
