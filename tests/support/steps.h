// Test support: steps of a user, run one after the other from timers of the
// module's application context, so that a step that opens a modal wait
// (a dialog the module runs until it is answered) is followed inside it.
#pragma once

#include <X11/Intrinsic.h>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "runtime/wudevice.h"

namespace qevtest {

class Steps {
 public:
  // A step answers false to be tried again a little later (a wait for what
  // the server does); after `kTries` tries the next step runs.
  using Step = std::function<bool()>;
  explicit Steps(std::vector<Step> steps) : steps_(std::move(steps)) {}
  ~Steps() {
    if (timer_ && devb) XtRemoveTimeOut(timer_);
  }
  Steps(const Steps &) = delete;
  Steps &operator=(const Steps &) = delete;
  void Start() { Arm(); }
  bool Done() const { return next_ >= steps_.size(); }

 private:
  static void Tick(XtPointer client, XtIntervalId *) {
    auto *s = static_cast<Steps *>(client);
    s->timer_ = 0;
    if (s->Done()) return;
    // The step counts as taken while it runs: the steps that run inside a
    // modal wait it opens go on from the next one.
    const size_t mine = s->next_++;
    s->Arm();
    const bool done = s->steps_[mine]();
    if (!done && s->next_ == mine + 1 && ++s->tries_ < kTries) {
      s->next_ = mine;
      return;
    }
    if (s->next_ == mine + 1) s->tries_ = 0;
  }
  void Arm() {
    if (devb) timer_ = XtAppAddTimeOut(devb->app, kStepMs, Tick, this);
  }
  static const int kTries = 100;
  static const unsigned long kStepMs = 50;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int tries_ = 0;
  XtIntervalId timer_ = 0;
};

}  // namespace qevtest
