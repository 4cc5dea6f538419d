// Start-up on a private X server that is still coming up when it names its
// display: the test support waits until the server takes clients, so the
// module's start finds it there.  A program of its own, so that no earlier
// case of the process has its server already.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "modulehost.h"
#include "runtime/wudevice.h"

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

}  // namespace
