// Test support, linked into every test program: the program's temporary
// files live in a folder of its own.  From the program's start TMPDIR points
// to a new folder "qevtest.XXXXXX" (under the TMPDIR it was given, else
// /tmp), so whatever the program and its child processes make there (the
// stand-in host's "qevhost.XXXXXX" folders, the child processes' own
// folders) is told apart from what other processes on the machine make.
// When the tests have run, anything still in it is a test failure, naming
// what was left; the folder is removed at exit in any case.
#include <gtest/gtest.h>

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string g_folder;
pid_t g_owner = 0;

std::vector<std::string> entries(const std::string &dir) {
  std::vector<std::string> names;
  if (DIR *d = opendir(dir.c_str())) {
    while (struct dirent *e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

int removeEntry(const char *path, const struct stat *, int, struct FTW *) { return ::remove(path); }

void removeFolder(const std::string &dir) {
  ::nftw(dir.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// Only the program's own process removes the folder: a forked child that
// calls exit leaves it to the program.
void removeAtExit() {
  if (!g_folder.empty() && getpid() == g_owner) removeFolder(g_folder);
}

class LeftBehind : public ::testing::Environment {
 public:
  void TearDown() override {
    if (g_folder.empty() || getpid() != g_owner) return;
    for (const std::string &name : entries(g_folder)) {
      ADD_FAILURE() << "the test run left " << name << " in its temporary folder";
      removeFolder(g_folder + "/" + name);
    }
  }
};

struct Setup {
  Setup() {
    const char *base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/qevtest.XXXXXX";
    if (!mkdtemp(&folder[0])) {
      std::fprintf(stderr, "test support: no temporary folder under %s\n", base ? base : "/tmp");
      return;
    }
    g_folder = folder;
    g_owner = getpid();
    setenv("TMPDIR", g_folder.c_str(), 1);
    std::atexit(removeAtExit);
    ::testing::AddGlobalTestEnvironment(new LeftBehind);
  }
} g_setup;

}  // namespace
