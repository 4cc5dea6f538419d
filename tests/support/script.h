// Test support: a user's actions played one after the other from inside
// the module's event loops, as a user acts while the module waits in a
// modal loop (a dialog, the Tool Editor, a message box).
//
// Each step waits for its condition, never for a time: before a step runs,
// every X event the server has sent so far (those of the step before
// included, after a round trip) has been dispatched and the step's `ready`
// condition holds.  A step that is not ready within `limitMs` fails.  The
// next step is armed before a step's action runs, so that a modal wait the
// action opens (a message box under a click) is played inside it; it runs
// only once the action's input has been handled and its condition holds.
//
// A failing step (its wait past the bound, or a failed expectation in its
// action) is named in the test's failures, no later step runs, and the
// script's ending (by default: every dialog the module shows is taken down)
// runs again and again until the modal call returns: a failing test ends in
// seconds instead of waiting in the modal loop for ever.  When every step
// has run and the modal call still has not returned within `limitMs`, that
// is a failure too, with the same ending.
#pragma once

#include <X11/Intrinsic.h>

#include <functional>
#include <string>
#include <vector>

namespace qevtest {

class Script {
 public:
  using Check = std::function<bool()>;
  using Action = std::function<void()>;
  struct Step {
    std::string name;
    Check ready;   // empty: ready once the X events so far are dispatched
    Action act;    // empty: the step only waits
  };

  // A script played in the running module's event loops.
  Script();
  // A script played in `app`'s loops; `alive` says whether `app` is still
  // there to take and give back timers (a step may end the module).
  Script(XtAppContext app, Display *dpy, Check alive);
  ~Script();
  Script(const Script &) = delete;
  Script &operator=(const Script &) = delete;

  // Appends a step that runs `act` (once `ready` holds).
  Script &then(const std::string &name, Action act);
  Script &then(const std::string &name, Check ready, Action act);
  // Appends a step that only waits for `ready`.
  Script &waitFor(const std::string &name, Check ready);
  // Appends steps made elsewhere.
  Script &then(const std::vector<Step> &steps);

  // What ends the modal waits the steps run in when a step fails; called
  // until the modal call returns.
  void ending(Action end);

  // Plays the steps inside `call` (the call that opens the modal wait) and
  // stops when it returns; a failure when a step did not run.
  void run(const Action &call);
  // The same in two halves, for a call the test makes itself.
  void start();
  void stop();

  // Every step ran.
  bool finished() const { return next_ >= steps_.size(); }
  // A step failed: its name, or "" when none did.
  bool failed() const { return !failed_step_.empty(); }
  const std::string &failedStep() const { return failed_step_; }
  // The number of steps that ran.
  size_t ran() const { return next_; }

  // The bound of each step's wait, and of the modal call's return after the
  // last step.
  int limitMs = 10000;

 private:
  static void Tick(XtPointer client, XtIntervalId *);
  void Arm(unsigned long ms);
  void Fail(const std::string &step, const std::string &why);
  bool Quiet();
  bool XUsable() const;   // the display has not been lost

  XtAppContext app_ = nullptr;
  Display *dpy_ = nullptr;
  Check alive_;
  std::vector<Step> steps_;
  Action end_;
  size_t next_ = 0;
  bool waiting_ = false;   // the next step's wait has begun
  long deadline_ = 0;
  bool running_ = false;   // between start and stop
  bool ending_ = false;    // a step failed: the waits are being ended
  std::string failed_step_;
  XtIntervalId timer_ = 0;
};

// The dialog, message box and menu shells of the module the server shows
// (transient and override shells mapped on the root).
std::vector<Widget> shownPopupShells();

// Takes down every dialog and menu the module shows, which ends the modal
// wait each one runs (the default ending of a script).
void endModuleDialogs();

// The failures the running test has recorded so far.
int failureCount();

// Dispatches the module's X events until a round trip to the server finds
// none left for the toolkit (at most `limitMs`): what the test's requests
// and input made the server send has then been handled.  False when the
// events did not stop coming within the bound.
bool settle(int limitMs = 5000);

// The same once a window manager, when one runs, has handled every request
// the module made so far (a map, a move, a change of decorations): a window
// of another connection that takes no input is mapped and waited for,
// since the manager handles requests one after the other; then the module
// dispatches what came of them.  False when either did not come within
// `limitMs`.
bool settleWithManager(int limitMs = 5000);

}  // namespace qevtest
