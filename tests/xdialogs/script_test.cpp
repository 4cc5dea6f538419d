// The scripted steps the dialog and editor tests play inside modal waits:
// a step runs only once the input of the step before has been handled,
// however long that step took, and a failing step ends the waits it runs
// in, so its test fails within seconds and names the step.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>
#include <Xm/MessageB.h>
#include <Xm/ToggleB.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "child.h"
#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "homefolder.h"
#include "modulehost.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

using qevtest::Script;

Widget Find(const char *path) { return devb ? XtNameToWidget(devb->toplevel, path) : nullptr; }
Widget Prefs() { return Find("*qevPreferences"); }
Widget Box() { return Find("*qevMessage"); }

class ScriptSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.make());
  }

  // What a child that played a script reports: how it ended, how long it
  // took, and the step it named as failing.
  struct Outcome {
    int status = -1;
    double seconds = 0;
    std::string failed;
  };
  // Starts the module in a child process, plays `body` there and reports.
  // The child's own test output goes nowhere: only its outcome counts.
  Outcome Play(const std::function<std::string()> &body) {
    int fds[2];
    // Closed on exec: a server the child starts does not keep it open.
    EXPECT_EQ(pipe2(fds, O_CLOEXEC), 0);
    const auto start = std::chrono::steady_clock::now();
    Outcome out;
    out.status = qevtest::runInChild(
        [&] {
          close(fds[0]);
          const int null = open("/dev/null", O_WRONLY);
          dup2(null, STDOUT_FILENO);
          dup2(null, STDERR_FILENO);
          std::string why;
          ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
          const std::string failed = body();
          qevtest::stopModule();
          if (write(fds[1], failed.data(), failed.size()) < 0) _exit(4);
        },
        60);
    close(fds[1]);
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) out.failed.append(buffer, size_t(n));
    close(fds[0]);
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return out;
  }
  // A child whose script failed: its test failed (it did not crash or
  // hang), within `seconds`, naming `step`.
  void ExpectFailedAt(const Outcome &o, const std::string &step, double seconds) {
    EXPECT_TRUE(WIFEXITED(o.status) && WEXITSTATUS(o.status) == 1) << qevtest::describeStatus(o.status);
    EXPECT_LT(o.seconds, seconds);
    EXPECT_EQ(o.failed, step);
  }

  qevtest::HomeFolder home_;
};

// A step whose click takes long to be handled (a busy machine) is followed
// only once the click has been dispatched: the next step sees what it did.
TEST_F(ScriptSteps, TheNextStepSeesTheInputOfASlowStepHandled) {
  std::string why;
  ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
  auto toggle = [] { return Find("*qevPreferences*useToolBoxTips"); };
  bool before = false;
  Script s;
  s.then("the tips switch clicked on a slow machine", [&] { return qevtest::viewable(toggle()); },
         [&] {
           before = XmToggleButtonGetState(toggle());
           qevtest::clickWidget(toggle());
           // The machine is busy: the step takes longer than the script's
           // own pace before it returns to the event loop.
           std::this_thread::sleep_for(std::chrono::milliseconds(300));
         })
      .then("the switch looked at, then Cancel",
            [&] {
              EXPECT_NE(bool(XmToggleButtonGetState(toggle())), before);
              EXPECT_TRUE(qevtest::clickHandled(Find("*qevPreferences*cancel")));
            });
  s.run([] { wumpref(nullptr); });
  EXPECT_TRUE(s.finished());
  EXPECT_FALSE(s.failed());
  qevtest::stopModule();
}

// A condition that never comes, inside a message box's wait: the step
// fails at its bound, the box is taken down and its wait answers Cancel.
TEST_F(ScriptSteps, AStepWaitingPastItsBoundEndsTheWaitItRunsIn) {
  const Outcome o = Play([] {
    Script s;
    s.limitMs = 1000;
    s.waitFor("the box is up", [] { return Box() && qevtest::viewable(Box()); })
        .waitFor("a condition that never holds", [] { return false; })
        .then("a step after it", [] { ADD_FAILURE() << "ran after the failing step"; });
    int32_t answer = -1;
    s.run([&] { answer = wumpmsg(nullptr, "Save the changes?", WU_MSG_QUESTION, 0); });
    EXPECT_EQ(answer, WU_ANSWER_CANCEL);
    EXPECT_EQ(Box(), nullptr);
    return s.failedStep();
  });
  ExpectFailedAt(o, "a condition that never holds", 20);
}

// A failed expectation in a step played inside a wait opened inside
// another (a message over the preferences dialog) ends both waits at once.
TEST_F(ScriptSteps, AFailedExpectationEndsEveryWaitItRunsIn) {
  const Outcome o = Play([] {
    Script s;
    s.then("a word for the tip delay, then OK", [] { return Prefs() && qevtest::viewable(Prefs()); },
           [] {
             EXPECT_TRUE(qevtest::replaceTextHandled(Find("*qevPreferences*toolBoxTipDelay"), "soon"));
             EXPECT_TRUE(qevtest::clickHandled(Find("*qevPreferences*ok")));
           })
        .then("an expectation that fails under the refusal",
              [] { return Box() && qevtest::viewable(Box()); },
              [] { EXPECT_EQ(1, 2) << "a failed expectation"; })
        .then("a step after it", [] { ADD_FAILURE() << "ran after the failing step"; });
    wu_status st = WU_OK;
    s.run([&] { st = wumpref(nullptr); });
    EXPECT_EQ(st, WU_CANCELLED);
    EXPECT_EQ(Prefs(), nullptr);
    return s.failedStep();
  });
  ExpectFailedAt(o, "an expectation that fails under the refusal", 10);
}

// A wait still up after the last step has run is a failure too, and is
// ended.
TEST_F(ScriptSteps, AWaitOutlivingTheLastStepIsEnded) {
  const Outcome o = Play([] {
    Script s;
    s.limitMs = 1000;
    s.waitFor("the box is up and left alone", [] { return Box() && qevtest::viewable(Box()); });
    s.run([] { EXPECT_EQ(wumpmsg(nullptr, "Saved.", WU_MSG_INFO, 0), WU_ANSWER_CANCEL); });
    return s.failedStep();
  });
  ExpectFailedAt(o, "the box is up and left alone", 20);
}

}  // namespace
