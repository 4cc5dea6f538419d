#include "child.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "script.h"
#include "xserver.h"

// The leak checker of a sanitizer build, absent otherwise.
extern "C" int __lsan_do_recoverable_leak_check(void) __attribute__((weak));

namespace qevtest {
namespace {

// The folder each child not yet reaped keeps its temporary files in.
std::map<pid_t, std::string> &childFolders() {
  static std::map<pid_t, std::string> folders;
  return folders;
}

int removeEntry(const char *path, const struct stat *, int, struct FTW *) { return ::remove(path); }

// Removes a folder and everything in it.  A process of the child's group
// killed a moment ago may still finish a call that makes a file: the
// folder is removed again until it is gone.
void removeFolder(const std::string &dir) {
  struct stat st;
  for (int i = 0; i < 50 && ::lstat(dir.c_str(), &st) == 0; ++i) {
    ::nftw(dir.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    if (::lstat(dir.c_str(), &st) == 0) usleep(10000);
  }
}

}  // namespace

pid_t startChild(const std::function<void()> &body, int timeoutSec, bool leakCheck) {
  privateDisplay();
  // The child's temporary files (the stand-in host's folder among them) go
  // to a folder of its own, which the parent removes when it reaps the
  // child: a child that crashes, is killed or calls _exit leaves nothing.
  const char *base = std::getenv("TMPDIR");
  std::string folder = std::string(base && *base ? base : "/tmp") + "/qevchild.XXXXXX";
  if (!mkdtemp(&folder[0])) folder.clear();
  fflush(stdout);
  fflush(stderr);
  pid_t pid = fork();
  if (pid != 0) {
    if (pid > 0 && !folder.empty())
      childFolders()[pid] = folder;
    else if (!folder.empty())
      removeFolder(folder);
    return pid;
  }
  if (!folder.empty()) setenv("TMPDIR", folder.c_str(), 1);
  // The child: an alarm ends it if it hangs; _exit leaves the parent's
  // X server and exit handlers alone.  It leads a process group of its
  // own, so whatever it starts goes with it when it is reaped (a process
  // left behind would keep the test runner's output pipe open).
  setpgid(0, 0);
  signal(SIGALRM, SIG_DFL);
  alarm(unsigned(timeoutSec));
  // Failures recorded so far count the parent's too: the child counts only
  // those its own body adds.
  const int before = failureCount();
  body();
  int code = failureCount() > before ? 1 : 0;
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
  if (pid <= 0) return;
  kill(-pid, SIGKILL);
  auto it = childFolders().find(pid);
  if (it == childFolders().end()) return;
  removeFolder(it->second);
  childFolders().erase(it);
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
