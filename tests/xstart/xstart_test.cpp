// Start-up on a private X server that is still coming up when it names its
// display: the test support waits until the server takes clients, so the
// module's start finds it there.  A program of its own, so that no earlier
// case of the process has its server already.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "heapcount.h"
#include "modulehost.h"
#include "qev/slots.h"
#include "qev/status.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "xserver.h"

namespace {

TEST(PrivateServer, ModuleStartsOnAServerStillComingUp) {
  setenv("QEV_TEST_XSERVER", QEV_TEST_DATA "/xserver-coming-up.sh", 1);
  std::string why;
  const bool started = qevtest::startModule(QEV_MODULE_PATH, &why);
  unsetenv("QEV_TEST_XSERVER");
  ASSERT_TRUE(started) << why;
  ASSERT_NE(devb, nullptr);
  EXPECT_STREQ(DisplayString(devb->display), getenv("DISPLAY"));
  // Its top-level shell stands on that server.
  XWindowAttributes a;
  EXPECT_NE(XGetWindowAttributes(devb->display, XtWindow(devb->toplevel), &a), 0);
  qevtest::stopModule();
}

// A display number no server serves: neither its socket nor its lock is
// there.
std::string DisplayWithNoServer() {
  for (int n = 64999; n > 60000; --n) {
    struct stat st;
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
    const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
    if (stat(socket.c_str(), &st) != 0 && stat(lock.c_str(), &st) != 0)
      return ":" + std::to_string(n);
  }
  return std::string();
}

// A host that asks the module to start while the display named cannot be
// reached gets the start-up failure, with the reason in its log, and may
// ask again: each refused start gives back all it took, and a start once the
// display is there succeeds.
TEST(PrivateServer, StartsRefusedForADisplayThatIsNotThereKeepNothing) {
  const char *good = qevtest::privateDisplay();
  ASSERT_NE(good, nullptr);
  const std::string reachable = good;
  const std::string missing = DisplayWithNoServer();
  ASSERT_FALSE(missing.empty());
  ASSERT_TRUE(qevhost::start());
  ASSERT_TRUE(qevhost::loadModule(QEV_MODULE_PATH));
  qevtest::VoidSlot init = qevtest::windowSlot(WUX_SLOT_INIT);
  qevtest::VoidSlot term = qevtest::windowSlot(WUX_SLOT_TERM);
  ASSERT_NE(init, nullptr);
  ASSERT_NE(term, nullptr);

  setenv("DISPLAY", missing.c_str(), 1);
  // The first refusal sets up what the toolkit keeps for the process.
  EXPECT_EQ(init(), WU_INITFAIL);
  EXPECT_EQ(devb, nullptr);
  EXPECT_TRUE(qevtest::logContains("\"" + missing + "\" cannot be opened"));
  qevhost::clearLog();
  // The host's log keeps each refusal's line: it is emptied after each.
  const int kTries = 50;
  const size_t before = qevtest::heapInUse();
  for (int i = 0; i < kTries; ++i) {
    EXPECT_EQ(init(), WU_INITFAIL);
    EXPECT_EQ(qevhost::log().size(), 1u);
    qevhost::clearLog();
  }
  const size_t after = qevtest::heapInUse();
  if (QEV_HEAP_COUNTED) {
    EXPECT_LE(after, before) << "bytes kept by " << kTries << " refused starts";
  }

  setenv("DISPLAY", reachable.c_str(), 1);
  ASSERT_EQ(init(), WU_OK);
  ASSERT_NE(devb, nullptr);
  EXPECT_STREQ(DisplayString(devb->display), reachable.c_str());
  EXPECT_EQ(term(), WU_OK);
  qevhost::unloadModule();
  qevhost::stop();
}

}  // namespace
