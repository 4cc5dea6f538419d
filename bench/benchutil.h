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
#include <valgrind/callgrind.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace qevbench {

inline unsigned long &roundTrips() {
  static unsigned long n = 0;
  return n;
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

// Runs f once, measured under `label` (a word without blanks, e.g.
// "iconlist.fill.xd.10000").  Prints "TIME <label> <milliseconds>" and, when
// a display is counted, "COUNT <label> <requests> <round trips>".
template <class F>
void measure(const std::string &label, F &&f) {
  Display *dpy = countedDisplay();
  const unsigned long req0 = dpy ? NextRequest(dpy) : 0;
  const unsigned long trips0 = roundTrips();
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
// of round trips.
extern "C" Status _XReply(Display *dpy, xReply *rep, int extra, Bool discard);
extern "C" Status _XReply(Display *dpy, xReply *rep, int extra, Bool discard) {
  using Fn = Status (*)(Display *, xReply *, int, Bool);
  static Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "_XReply"));
  ++qevbench::roundTrips();
  return real(dpy, rep, extra, discard);
}
