// GoogleTest before the X headers, whose macros (None, Bool) clash with it.
#include <gtest/gtest.h>

#include "script.h"

#include <X11/IntrinsicP.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <ctime>
#include <functional>

#include "runtime/wudevice.h"
#include "runtime/wureg.h"
#include "runtime/wutoolkit.h"
#include "xinput.h"

namespace qevtest {
namespace {

// How often a waiting step looks at its condition, and how often a failed
// script's ending is tried again while the modal call has not returned.
const unsigned long kPollMs = 10;
const unsigned long kEndMs = 50;

long NowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return long(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// True while the module started with `app` runs: its timers may be
// added and removed (its display may be lost meanwhile).
bool ModuleAlive(XtAppContext app) { return devb && devb->app == app; }

}  // namespace

int failureCount() {
  const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return 0;
  const ::testing::TestResult *result = info->result();
  int n = 0;
  for (int i = 0; i < result->total_part_count(); ++i)
    if (result->GetTestPartResult(i).failed()) ++n;
  return n;
}

std::vector<Widget> shownPopupShells() {
  std::vector<Widget> out;
  if (!devb || !wu_x_ok()) return out;
  Display *dpy = devb->display;
  // The shells are children of the root, or a few levels down in the
  // frames a window manager puts around them.
  std::function<void(Window, int)> look = [&](Window at, int depth) {
    Window root = None, parent = None, *kids = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(dpy, at, &root, &parent, &kids, &n)) return;
    for (unsigned int i = 0; i < n; ++i) {
      Widget w = XtWindowToWidget(dpy, kids[i]);
      if (w == nullptr) {
        if (depth < 3) look(kids[i], depth + 1);
      } else if (!w->core.being_destroyed && (XtIsTransientShell(w) || XtIsOverrideShell(w)) &&
                 viewable(w)) {
        out.push_back(w);
      }
    }
    if (kids) XFree(kids);
  };
  look(DefaultRootWindow(dpy), 0);
  return out;
}

void endModuleDialogs() {
  if (!devb || !wu_x_ok()) return;
  auto unmanage = [](Widget shell) {
    if (!shell || shell->core.being_destroyed || !XtIsComposite(shell)) return;
    CompositeWidget c = reinterpret_cast<CompositeWidget>(shell);
    for (Cardinal k = 0; k < c->composite.num_children; ++k)
      if (XtIsManaged(c->composite.children[k])) XtUnmanageChild(c->composite.children[k]);
  };
  for (Widget shell : shownPopupShells()) unmanage(shell);
  for (int32_t i = 0; devb && i < devb->shell_count; ++i) unmanage(devb->shells[i]);
}

bool settle(int limitMs) {
  const long deadline = NowMs() + limitMs;
  for (;;) {
    // A display lost or a module ending sends nothing more to handle.
    if (!devb || !wu_x_ok() || wu_term_pending()) return true;
    XSync(devb->display, False);
    if (!XtAppPending(devb->app)) return true;
    while (devb && wu_x_ok() && XtAppPending(devb->app))
      if (!wutturn(0)) break;
    if (NowMs() > deadline) return false;
  }
}

bool settleWithManager(int limitMs) {
  if (!devb || !wu_x_ok() || wu_term_pending()) return true;
  const long deadline = NowMs() + limitMs;
  XSync(devb->display, False);
  Display *other = XOpenDisplay(DisplayString(devb->display));
  if (other == nullptr) return false;
  // Off the screen where the user placed it, so that it comes between the
  // pointer and no window of the module.
  Window probe = XCreateSimpleWindow(other, DefaultRootWindow(other), -10, -10, 1, 1, 0, 0, 0);
  XWMHints hints = {};
  hints.flags = InputHint;
  hints.input = False;
  XSetWMHints(other, probe, &hints);
  XSizeHints place = {};
  place.flags = USPosition;
  place.x = place.y = -10;
  XSetWMNormalHints(other, probe, &place);
  XSelectInput(other, probe, StructureNotifyMask);
  XMapWindow(other, probe);
  bool mapped = false;
  while (!mapped && NowMs() <= deadline) {
    XEvent ev;
    XSync(other, False);
    while (!mapped && XCheckTypedWindowEvent(other, probe, MapNotify, &ev)) mapped = true;
    if (!mapped) {
      timespec pause = {0, 1000000};
      nanosleep(&pause, nullptr);
    }
  }
  XDestroyWindow(other, probe);
  XCloseDisplay(other);
  return mapped && settle(int(std::max(0L, deadline - NowMs())));
}

Script::Script()
    : app_(devb ? devb->app : nullptr), dpy_(devb ? devb->display : nullptr) {
  XtAppContext app = app_;
  alive_ = [app] { return ModuleAlive(app); };
  end_ = endModuleDialogs;
}

Script::Script(XtAppContext app, Display *dpy, Check alive)
    : app_(app), dpy_(dpy), alive_(std::move(alive)), end_(endModuleDialogs) {}

Script::~Script() { stop(); }

Script &Script::then(const std::string &name, Action act) {
  steps_.push_back({name, nullptr, std::move(act)});
  return *this;
}

Script &Script::then(const std::string &name, Check ready, Action act) {
  steps_.push_back({name, std::move(ready), std::move(act)});
  return *this;
}

Script &Script::waitFor(const std::string &name, Check ready) {
  steps_.push_back({name, std::move(ready), nullptr});
  return *this;
}

Script &Script::then(const std::vector<Step> &steps) {
  steps_.insert(steps_.end(), steps.begin(), steps.end());
  return *this;
}

void Script::ending(Action end) { end_ = std::move(end); }

void Script::Arm(unsigned long ms) {
  if (timer_ == 0 && running_ && alive_()) timer_ = XtAppAddTimeOut(app_, ms, Tick, this);
}

void Script::start() {
  running_ = true;
  Arm(kPollMs);
}

void Script::stop() {
  running_ = false;
  if (timer_ != 0 && alive_()) XtRemoveTimeOut(timer_);
  timer_ = 0;
}

void Script::run(const Action &call) {
  start();
  call();
  stop();
  if (!failed() && !finished())
    ADD_FAILURE() << "the modal wait ended before step \"" << steps_[next_].name << "\" ran";
}

void Script::Fail(const std::string &step, const std::string &why) {
  if (ending_) return;
  failed_step_ = step;
  ending_ = true;
  if (!why.empty()) ADD_FAILURE() << "step \"" << step << "\": " << why;
  ADD_FAILURE() << "the script stopped at its failing step \"" << step
                << "\" and ends the modal wait";
  if (end_ && alive_() && XUsable()) end_();
  Arm(kEndMs);
}

// The server has answered every request so far and every event it sent
// is dispatched.
bool Script::XUsable() const { return !(devb && devb->display == dpy_ && !wu_x_ok()); }

bool Script::Quiet() {
  if (!XUsable()) return true;   // a lost display sends nothing more
  XSync(dpy_, False);
  return !(XtAppPending(app_) & XtIMXEvent);
}

void Script::Tick(XtPointer client, XtIntervalId *) {
  Script *s = static_cast<Script *>(client);
  s->timer_ = 0;
  if (!s->running_ || !s->alive_()) return;
  if (s->ending_) {
    // A failed script: whatever modal wait is still up is ended, the
    // innermost first, until the modal call returns.
    if (s->end_ && s->XUsable()) s->end_();
    s->Arm(kEndMs);
    return;
  }
  if (!s->waiting_) {
    s->waiting_ = true;
    s->deadline_ = NowMs() + s->limitMs;
  }
  if (s->finished()) {
    // Every step ran: the modal call is to return now.
    if (NowMs() > s->deadline_)
      s->Fail(s->steps_.empty() ? "(none)" : s->steps_.back().name,
              "the modal wait is still up " + std::to_string(s->limitMs) +
                  " ms after this last step");
    else
      s->Arm(kPollMs);
    return;
  }
  const Step step = s->steps_[s->next_];
  const bool quiet = s->Quiet();
  if (!quiet || (step.ready && !step.ready())) {
    if (NowMs() > s->deadline_)
      s->Fail(step.name, quiet ? "its condition did not hold within " + std::to_string(s->limitMs) + " ms"
                               : "the X events did not stop coming within " +
                                     std::to_string(s->limitMs) + " ms");
    else
      s->Arm(kPollMs);
    return;
  }
  ++s->next_;
  s->waiting_ = false;
  // Armed before the action: a modal wait the action opens plays the
  // next step inside it.
  s->Arm(kPollMs);
  if (!step.act) return;
  const int before = failureCount();
  {
    ::testing::ScopedTrace trace(__FILE__, __LINE__, "in step \"" + step.name + "\"");
    step.act();
  }
  if (failureCount() > before && s->running_) s->Fail(step.name, "");
}

}  // namespace qevtest
