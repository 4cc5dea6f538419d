// Runs a case that could crash the module in a child process of its own, so
// that a crash, a hang or a sanitizer report fails that case alone.  The
// child shares the test process's private X server but opens its own
// connection: it starts the module itself, runs the body and reports through
// its exit code (0 when the body raised no test failure).
#ifndef QEV_TESTS_VALUES_ISOLATE_H
#define QEV_TESTS_VALUES_ISOLATE_H

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

#include "child.h"
#include "modulehost.h"
#include "xserver.h"

namespace qevtest {

// Exit code of the child: 0 passed, 1 a check failed, 2 the module did not
// start; a signal gives 128 + its number.
inline int RunIsolated(const std::function<void()> &body, unsigned limit_seconds = 60) {
  if (privateDisplay() == nullptr) return 2;
  const pid_t pid = startChild([&body] {
    std::string why;
    int rc = 2;
    if (startModule(QEV_MODULE_PATH, &why)) {
      body();
      rc = ::testing::Test::HasFailure() ? 1 : 0;
      stopModule();
    } else {
      std::fprintf(stderr, "module did not start: %s\n", why.c_str());
    }
    std::fflush(nullptr);
    // No exit handlers: they belong to the parent (its X server among them).
    _exit(rc);
  }, int(limit_seconds));
  if (pid < 0) return 2;
  const int status = waitChild(pid);
  if (status == -1) return 2;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace qevtest

#endif  // QEV_TESTS_VALUES_ISOLATE_H
