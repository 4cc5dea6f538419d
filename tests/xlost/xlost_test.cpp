// A display whose connection breaks: the module marks it lost and its waits
// return instead of spinning; the host process goes on and shuts down.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "frames/wutframe.h"
#include "modulehost.h"
#include "runtime/wutoolkit.h"

TEST(XLost, BrokenConnectionEndsTheWait) {
  std::string why;
  ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
  ASSERT_NE(devb, nullptr);
  ASSERT_EQ(shutdown(ConnectionNumber(devb->display), SHUT_RDWR), 0);
  volatile int32_t flag = 0;
  EXPECT_EQ(wutpevt(&flag, 1), WU_NOTAVAIL);  // returns although nothing set the flag
  EXPECT_TRUE(devb->lost);
  EXPECT_EQ(wutsync(1, 1), WU_NOTAVAIL);
  EXPECT_EQ(wumpmsg(nullptr, "Still there?", WU_MSG_QUESTION, 0), WU_ANSWER_CANCEL);
  EXPECT_EQ(wutsbsy(1), WU_NOTAVAIL);
  qevtest::stopModule();
  EXPECT_EQ(devb, nullptr);
}
