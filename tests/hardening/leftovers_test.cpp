// Child processes that start the stand-in host (as every case of the sweep
// does) leave no temporary folder behind, however they end: returning from
// the case, _exit, abort, a crash, a kill, the time-out's alarm, or with a
// process of their own still running when they are reaped.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "child.h"
#include "qevhost.h"

namespace {

enum class End { kReturn, kUnderscoreExit, kAbort, kCrash, kKill, kAlarm, kLeavesAProcess };

const char *name(End e) {
  switch (e) {
    case End::kReturn: return "return";
    case End::kUnderscoreExit: return "_exit";
    case End::kAbort: return "abort";
    case End::kCrash: return "crash";
    case End::kKill: return "kill";
    case End::kAlarm: return "alarm";
    case End::kLeavesAProcess: return "a process left running";
  }
  return "?";
}

bool exists(const std::string &path) {
  struct stat st;
  return !path.empty() && lstat(path.c_str(), &st) == 0;
}

// Starts the host, writes a file into its folder and tells the parent the
// folder's path through `fd`.
void startHostAndTell(int fd) {
  if (!qevhost::start()) _exit(5);
  const std::string dir = qevhost::dataDir() + "\n";
  if (FILE *f = std::fopen((qevhost::dataDir() + "/note").c_str(), "w")) std::fclose(f);
  if (write(fd, dir.data(), dir.size()) != ssize_t(dir.size())) _exit(6);
}

volatile int *g_nowhere = nullptr;

}  // namespace

TEST(Leftovers, AChildThatStartsTheHostLeavesNoFolderHoweverItEnds) {
  const char *ours = std::getenv("TMPDIR");
  for (End end : {End::kReturn, End::kUnderscoreExit, End::kAbort, End::kCrash, End::kKill,
                  End::kAlarm, End::kLeavesAProcess}) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t pid = qevtest::startChild(
        [end, &fds] {
          close(fds[0]);
          if (end == End::kLeavesAProcess) {
            // A process of the child's group starts a host of its own and
            // is still running when the child is reaped.
            if (fork() == 0) {
              startHostAndTell(fds[1]);
              for (;;) pause();
            }
            for (;;) pause();  // ended by the alarm
          }
          startHostAndTell(fds[1]);
          close(fds[1]);
          switch (end) {
            case End::kUnderscoreExit: _exit(0);
            case End::kAbort: std::signal(SIGABRT, SIG_DFL); std::abort();
            case End::kCrash: std::signal(SIGSEGV, SIG_DFL); *g_nowhere = 1; break;
            case End::kKill: kill(getpid(), SIGKILL); break;
            case End::kAlarm:
              for (;;) pause();
            default: break;
          }
        },
        1);
    close(fds[1]);
    ASSERT_GT(pid, 0);
    qevtest::waitChild(pid);
    std::string dir;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') dir += c;
    close(fds[0]);
    ASSERT_FALSE(dir.empty()) << name(end) << ": the child's host did not start";
    // The host made its folder under the TMPDIR it was given ...
    if (ours) {
      EXPECT_EQ(dir.compare(0, std::strlen(ours), ours), 0) << dir;
    }
    // ... and neither it nor the folder the child was given is left.
    EXPECT_FALSE(exists(dir)) << name(end) << ": " << dir << " was left";
    EXPECT_FALSE(exists(dir.substr(0, dir.rfind('/')))) << name(end) << ": the child's folder was left";
  }
}
