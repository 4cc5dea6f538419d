#include "child.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

#include "xserver.h"

// The leak checker of a sanitizer build, absent otherwise.
extern "C" int __lsan_do_recoverable_leak_check(void) __attribute__((weak));

namespace qevtest {
namespace {

// Failures recorded so far by the running test (the parent's included: a
// child counts only those its own body adds).
int Failures() {
  const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
  if (info == nullptr) return 0;
  const ::testing::TestResult *result = info->result();
  int n = 0;
  for (int i = 0; i < result->total_part_count(); ++i)
    if (result->GetTestPartResult(i).failed()) ++n;
  return n;
}

}  // namespace

pid_t startChild(const std::function<void()> &body, int timeoutSec, bool leakCheck) {
  privateDisplay();
  fflush(stdout);
  fflush(stderr);
  pid_t pid = fork();
  if (pid != 0) return pid;
  // The child: an alarm ends it if it hangs; _exit leaves the parent's
  // X server and exit handlers alone.  It leads a process group of its
  // own, so whatever it starts goes with it when it is reaped (a process
  // left behind would keep the test runner's output pipe open).
  setpgid(0, 0);
  signal(SIGALRM, SIG_DFL);
  alarm(unsigned(timeoutSec));
  const int before = Failures();
  body();
  int code = Failures() > before ? 1 : 0;
  if (leakCheck && __lsan_do_recoverable_leak_check != nullptr &&
      __lsan_do_recoverable_leak_check() != 0 && code == 0)
    code = 3;
  fflush(stdout);
  fflush(stderr);
  _exit(code);
}

int waitChild(pid_t pid) {
  int status = 0;
  if (pid < 0) return -1;
  while (waitpid(pid, &status, 0) < 0) {
  }
  reapGroup(pid);
  // The next case on the same server starts with the focus as on a fresh one.
  restoreFocus();
  return status;
}

void reapGroup(pid_t pid) {
  if (pid > 0) kill(-pid, SIGKILL);
}

int runInChild(const std::function<void()> &body, int timeoutSec, bool leakCheck) {
  return waitChild(startChild(body, timeoutSec, leakCheck));
}

std::string describeStatus(int status) {
  if (status == -1) return "not started";
  if (WIFEXITED(status)) return "exit " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status))
    return WTERMSIG(status) == SIGALRM ? "timed out" : "signal " + std::to_string(WTERMSIG(status));
  return "status " + std::to_string(status);
}

bool childPassed(int status) { return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }

}  // namespace qevtest
