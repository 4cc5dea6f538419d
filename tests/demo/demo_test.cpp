// The demo as a new user runs it: qevdemo --check runs the demo's windows
// while its scripted user clicks and types through XTest on this program's
// private X server, and reports what the screen showed (host/demo_check.h
// names the report's lines).  Each case reads that report; the restart case
// runs the demo twice on one data folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "xserver.h"

extern char **environ;

namespace {

const int kRunSeconds = 240;          // a whole run on a busy machine, sanitizers on

struct Report {
  std::vector<std::string> lines;
  std::string output;                 // the demo's terminal output, for failures
  int status = -1;

  // The texts of the lines "key: text", in order.
  std::vector<std::string> values(const std::string &key) const {
    std::vector<std::string> out;
    const std::string head = key + ": ";
    for (const std::string &l : lines)
      if (l.compare(0, head.size(), head) == 0) out.push_back(l.substr(head.size()));
    return out;
  }
  bool has(const std::string &line) const {
    for (const std::string &l : lines)
      if (l == line) return true;
    return false;
  }
  std::string text() const {
    std::string all;
    for (const std::string &l : lines) all += l + "\n";
    return all + "-- output:\n" + output;
  }
};

std::string readFile(const std::string &path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int removeEntry(const char *path, const struct stat *, int, struct FTW *) { return ::remove(path); }

class Demo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(qevtest::privateDisplay(), nullptr);
    const char *tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/demo.XXXXXX";
    ASSERT_NE(::mkdtemp(&tmpl[0]), nullptr);
    folder_ = tmpl;
    home_ = folder_ + "/home";
    ASSERT_EQ(::mkdir(home_.c_str(), 0700), 0);
  }
  void TearDown() override {
    if (!folder_.empty()) ::nftw(folder_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
  }

  // Runs the demo with its scripted user, the user's home in the test's
  // folder and, when given, XDG_DATA_HOME; the demo keeps its data where it
  // keeps it for a user.
  Report Run(const std::string &xdg = std::string()) {
    const std::string name = std::to_string(++runs_);
    const std::string report = folder_ + "/report" + name, output = folder_ + "/output" + name;
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
      const std::string v = *e;
      if (v.rfind("HOME=", 0) == 0 || v.rfind("XDG_DATA_HOME=", 0) == 0 ||
          v.rfind("QEVROOT=", 0) == 0)
        continue;
      env.push_back(v);
    }
    env.push_back("HOME=" + home_);
    if (!xdg.empty()) env.push_back("XDG_DATA_HOME=" + xdg);
    std::vector<char *> envp;
    for (std::string &v : env) envp.push_back(&v[0]);
    envp.push_back(nullptr);
    std::string program = QEV_DEMO_PATH, check = "--check";
    char *argv[] = {&program[0], &check[0], const_cast<char *>(report.c_str()), nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    // A process group of its own: whatever the demo started (its window
    // manager) goes with it.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = 0;
    Report r;
    const int spawned = posix_spawn(&pid, program.c_str(), &files, &attr, argv, envp.data());
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attr);
    if (spawned != 0) {
      r.output = "the demo could not be started";
      return r;
    }
    const int kStepMs = 100;
    int status = 0;
    bool ended = false;
    for (int waited = 0; !ended && waited < kRunSeconds * 1000; waited += kStepMs) {
      ended = ::waitpid(pid, &status, WNOHANG) == pid;
      if (!ended) ::usleep(kStepMs * 1000);
    }
    ::kill(-pid, SIGKILL);
    if (!ended) {
      ::waitpid(pid, &status, 0);
      status = -1;
    }
    r.status = status;
    std::istringstream lines(readFile(report));
    for (std::string l; std::getline(lines, l);) r.lines.push_back(l);
    r.output = readFile(output);
    return r;
  }

  // A run that went through every step of the script.
  void ExpectComplete(const Report &r) {
    EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << r.text();
    EXPECT_TRUE(r.has("done")) << r.text();
    EXPECT_TRUE(r.values("timeout").empty()) << r.text();
  }

  std::string folder_, home_;
  int runs_ = 0;
};

// A text the host gave: not empty, not the module's stand-in for a missing
// message, not the host's own for a message it has no text for, and with
// no directive left unfilled.
void ExpectHostText(const std::string &what, const std::string &text) {
  EXPECT_FALSE(text.empty()) << what << " is empty";
  EXPECT_NE(text, "Bad Message") << what;
  EXPECT_EQ(text.rfind("Message ", 0), std::string::npos) << what << ": " << text;
  EXPECT_EQ(text.find('%'), std::string::npos) << what << ": " << text;
}

TEST_F(Demo, EveryBoxAndMessageLineShowsTheHostsText) {
  Report r = Run();
  ExpectComplete(r);
  // The Tool Editor's Default question, the Open dialog's three empty
  // names and its missing entry, and Save's report naming the location.
  const std::vector<std::string> boxes = r.values("box");
  ASSERT_EQ(boxes.size(), 6u) << r.text();
  for (const std::string &b : boxes) ExpectHostText("a message box", b);
  EXPECT_NE(boxes[5].find("QEVUSER.PROFILE.DEMO"), std::string::npos) << boxes[5];
  const std::vector<std::string> toggle = r.values("toggle");
  ASSERT_EQ(toggle.size(), 1u) << r.text();
  ExpectHostText("the Open dialog's type toggle", toggle[0]);
  // What the module hands to the host's message service reaches the main
  // window's message line: a malformed and a missing tool box location,
  // and Help where there is none.
  const std::vector<std::string> shown = r.values("message");
  ASSERT_EQ(shown.size(), 3u) << r.text();
  const char *steps[3] = {"toolload syntax: ", "toolload missing: ", "help: "};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(shown[size_t(i)].rfind(steps[i], 0), 0u) << shown[size_t(i)];
    ExpectHostText(steps[i], shown[size_t(i)].substr(std::strlen(steps[i])));
  }
  EXPECT_NE(shown[0], shown[1]);
}

TEST_F(Demo, ToolBoxClosedThroughTheWindowManagerGoes) {
  Report r = Run();
  ExpectComplete(r);
  EXPECT_TRUE(r.has("command: TOOLCLOSE")) << r.text();
  EXPECT_TRUE(r.has("toolbox: closed")) << r.text();
}

TEST_F(Demo, ListViewColumnsShowTheirTexts) {
  Report r = Run();
  ExpectComplete(r);
  const std::vector<std::string> columns = r.values("column");
  ASSERT_EQ(columns.size(), 4u) << r.text();
  for (const std::string &c : columns)
    EXPECT_EQ(c.substr(c.rfind(' ') + 1), "clear") << "column " << c;
}

// The first run keeps its data under ~/.local/share, the second finds it
// there through XDG_DATA_HOME: the command typed into the command window
// in the first run is the first item of the second run's list.
TEST_F(Demo, CommandHistoryOutlivesARestart) {
  Report first = Run();
  ExpectComplete(first);
  EXPECT_TRUE(first.has("history: 0")) << first.text();
  const std::string data = home_ + "/.local/share";
  struct stat sb;
  EXPECT_EQ(::stat((data + "/qevdemo/user/command.hist").c_str(), &sb), 0);
  EXPECT_EQ(::stat((data + "/qevdemo/catalogs/QEVUSER/PROFILE/DEMO.TOOLBOX").c_str(), &sb), 0);
  // The command typed into the command window: the last before QUIT.
  const std::vector<std::string> commands = first.values("command");
  ASSERT_GE(commands.size(), 2u) << first.text();
  const std::string typed = commands[commands.size() - 2];
  ASSERT_EQ(typed.rfind("HELLO R", 0), 0u) << first.text();

  Report second = Run(data);
  ExpectComplete(second);
  EXPECT_TRUE(second.has("history: 1")) << second.text();
  EXPECT_EQ(second.values("history entered"), std::vector<std::string>{typed}) << second.text();
}

}  // namespace
