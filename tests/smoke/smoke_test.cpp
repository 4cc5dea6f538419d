#include <gtest/gtest.h>
#include "xserver.h"
TEST(Smoke, PrivateServer) {
  Display *d = qevtest::openDisplay();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(DefaultDepth(d, DefaultScreen(d)), 24);
  XCloseDisplay(d);
}
