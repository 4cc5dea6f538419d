// Test support: running a case in a child process of its own, so that a case
// that crashes, hangs or trips the sanitizer fails alone and hides no other.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

namespace qevtest {

// Starts `body` in a forked child.  The private X server is started first, so
// the child opens a connection of its own to it.  The child ends with _exit:
// 0 when `body` recorded no test failure (and, in a sanitizer build with
// `leakCheck`, no leak was found), 1 on a test failure, 3 on a leak; an alarm
// after `timeoutSec` ends a child that hangs.  The child's TMPDIR is a
// folder of its own, removed with everything in it when the child is reaped
// (waitChild or reapGroup), however the child ended.  Returns the child's
// pid.
pid_t startChild(const std::function<void()> &body, int timeoutSec, bool leakCheck = false);

// Waits for a child; its wait status.
int waitChild(pid_t pid);

// Runs `body` in a child and waits for it.
int runInChild(const std::function<void()> &body, int timeoutSec = 60, bool leakCheck = false);

// A wait status in words ("exit 0", "signal 11", "timed out", ...).
std::string describeStatus(int status);

// True when a wait status says the child ended normally with exit code 0.
bool childPassed(int status);

// Ends whatever a reaped child left running in its process group and
// removes the child's temporary folder.
void reapGroup(pid_t pid);

}  // namespace qevtest
