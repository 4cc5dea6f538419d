// The module event queue through the window-interface slots.
#include <cstring>
#include <string>

#include "coretest.h"
#include "textwin/wutwin.h"

namespace {

using namespace coretest;

class QueueTest : public StartedTest {
 protected:
  void SetUp() override {
    StartedTest::SetUp();
    qwev_ = slot<QwevFn>(QEV_TABLE_WINDOW, WUX_SLOT_QWEV);
    qcmd_ = slot<QcmdFn>(QEV_TABLE_WINDOW, WUX_SLOT_QCMD);
    gqev_ = slot<GqevFn>(QEV_TABLE_WINDOW, WUX_SLOT_GQEV);
    fleq_ = slot<FleqFn>(QEV_TABLE_WINDOW, WUX_SLOT_FLEQ);
    ASSERT_TRUE(qwev_ && qcmd_ && gqev_ && fleq_);
    // Events are queued only for windows the module handed out.
    ASSERT_EQ(wuxgwnd(&winA_, 1, 0), WU_OK);
    ASSERT_EQ(wuxgwnd(&winB_, 1, 0), WU_OK);
    base_ = qevhost::poolStats(pool_);
  }
  // Takes the next event of a window: its code and data, or code -1.
  std::pair<int32_t, std::string> next(void *window) {
    char buf[256];
    int32_t code = -1, length = 0;
    if (gqev_(window, &code, buf, sizeof buf, &length) != WU_OK) return {-1, ""};
    return {code, std::string(buf, length)};
  }
  QwevFn qwev_ = nullptr;
  QcmdFn qcmd_ = nullptr;
  GqevFn gqev_ = nullptr;
  FleqFn fleq_ = nullptr;
  wu_window *winA_ = nullptr, *winB_ = nullptr;
};

TEST_F(QueueTest, EventsAreReadInOrderPerWindow) {
  ASSERT_EQ(qwev_(winA_, 103, "a1", 2), WU_OK);
  ASSERT_EQ(qwev_(winB_, 110, "b1", 2), WU_OK);
  ASSERT_EQ(qcmd_(winA_, "END;", -1, 1, 1, 0), WU_OK);
  ASSERT_EQ(qwev_(winA_, 1047, nullptr, 0), WU_OK);
  EXPECT_EQ(wutcqev(nullptr), 4);
  EXPECT_EQ(wutcqev(winA_), 3);

  EXPECT_EQ(next(winA_), std::make_pair(103, std::string("a1")));
  EXPECT_EQ(next(winA_), std::make_pair(WU_EV_COMMAND, std::string("END;")));
  EXPECT_EQ(next(winA_), std::make_pair(1047, std::string()));
  EXPECT_EQ(next(winA_).first, -1);
  EXPECT_EQ(next(winB_), std::make_pair(110, std::string("b1")));
  expectPoolAtBase();
}

TEST_F(QueueTest, FullQueueAndOversizedParametersChangeNothing) {
  uint8_t params[WU_EVQ_PARAM_MAX + 1];
  for (size_t i = 0; i < sizeof params; ++i) params[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(qwev_(winA_, 1, params, WU_EVQ_PARAM_MAX + 1), WU_BADARG);
  EXPECT_EQ(qwev_(winA_, 1, params, -1), WU_BADARG);
  EXPECT_EQ(qwev_(winA_, 1, nullptr, 4), WU_BADARG);
  EXPECT_EQ(qwev_(nullptr, 1, nullptr, 0), WU_NOTAVAIL);
  EXPECT_EQ(wutcqev(nullptr), 0);

  ASSERT_EQ(qwev_(winA_, 0x100, params, WU_EVQ_PARAM_MAX), WU_OK);   // the largest block
  for (int i = 1; i < WU_EVQ_NODES; ++i) ASSERT_EQ(qwev_(winA_, 0x100 + i, nullptr, 0), WU_OK);
  EXPECT_EQ(qwev_(winA_, 999, nullptr, 0), WU_QUEUE_FULL);
  EXPECT_EQ(qcmd_(winA_, "LOST;", -1, 1, 0, 0), WU_QUEUE_FULL);
  EXPECT_EQ(wutcqev(nullptr), WU_EVQ_NODES);
  expectPoolAtBase();   // the refused command left no copy behind

  auto first = next(winA_);
  EXPECT_EQ(first.first, 0x100);
  EXPECT_EQ(first.second, std::string(reinterpret_cast<char *>(params), WU_EVQ_PARAM_MAX));
  for (int i = 1; i < WU_EVQ_NODES; ++i) EXPECT_EQ(next(winA_).first, 0x100 + i);
  EXPECT_EQ(next(winA_).first, -1);
  EXPECT_EQ(qwev_(winA_, 5, nullptr, 0), WU_OK);   // nodes are reused
}

TEST_F(QueueTest, CommandsAreCopiedOrKeptAsGiven) {
  char text[] = "TOOLLOAD WINDOW;";
  ASSERT_EQ(qcmd_(winA_, text, -1, 1, 1, 1), WU_OK);       // copied
  ASSERT_EQ(qcmd_(winA_, text, 8, 0, 1, 0), WU_OK);        // kept, first 8 bytes
  ASSERT_EQ(qcmd_(winA_, "", 0, 1, 0, 0), WU_OK);          // empty command
  EXPECT_EQ(qevhost::poolStats(pool_).liveBlocks, base_.liveBlocks + 2);
  std::memcpy(text, "CHANGED!", 8);
  EXPECT_EQ(next(winA_).second, "TOOLLOAD WINDOW;");
  EXPECT_EQ(next(winA_).second, "CHANGED!");
  auto empty = next(winA_);
  EXPECT_EQ(empty.first, WU_EV_COMMAND);
  EXPECT_EQ(empty.second, "");
  expectPoolAtBase();

  EXPECT_EQ(qcmd_(winA_, nullptr, 3, 1, 0, 0), WU_BADARG);
  EXPECT_EQ(qcmd_(winA_, "x", -2, 1, 0, 0), WU_BADARG);
  qevhost::failAllocation(1);
  EXPECT_EQ(qcmd_(winA_, "x", 1, 1, 0, 0), WU_NOMEM);
  qevhost::failAllocation(0);
  EXPECT_EQ(wutcqev(nullptr), 0);
  expectPoolAtBase();
}

TEST_F(QueueTest, ShortBufferLeavesTheEventQueued) {
  ASSERT_EQ(qcmd_(winA_, "A LONGER COMMAND;", -1, 1, 0, 0), WU_OK);
  char buf[4];
  int32_t code = -1, length = 0;
  EXPECT_EQ(gqev_(winA_, &code, buf, sizeof buf, &length), WU_SHORTBUF);
  EXPECT_EQ(length, 17);
  EXPECT_EQ(wutcqev(nullptr), 1);
  EXPECT_EQ(next(winA_).second, "A LONGER COMMAND;");
  expectPoolAtBase();
}

TEST_F(QueueTest, ReleasedRecordsLoseTheirEvents) {
  int control = 0, other = 0;
  void *ctl = &control;
  void *oth = &other;
  ASSERT_EQ(qwev_(winA_, 1028, &ctl, sizeof ctl), WU_OK);
  ASSERT_EQ(qwev_(winA_, 1028, &oth, sizeof oth), WU_OK);
  ASSERT_EQ(qcmd_(winB_, "KEEP;", -1, 1, 0, 0), WU_OK);
  ASSERT_EQ(qwev_(winB_, 1017, &ctl, sizeof ctl), WU_OK);
  ASSERT_EQ(qcmd_(winA_, "DROP;", -1, 1, 0, 0), WU_OK);

  EXPECT_EQ(fleq_(WU_MT_PUSHBUTTON, ctl), WU_OK);   // the control's events go
  EXPECT_EQ(wutcqev(nullptr), 3);
  EXPECT_EQ(fleq_(WU_FLEQ_WINDOW, winA_), WU_OK);  // and then window A's
  EXPECT_EQ(wutcqev(nullptr), 1);
  EXPECT_EQ(next(winB_).second, "KEEP;");
  expectPoolAtBase();
}

TEST_F(QueueTest, EndingTheModuleGivesBackQueuedCommands) {
  ASSERT_EQ(qcmd_(winA_, "PENDING;", -1, 1, 0, 0), WU_OK);
  EXPECT_EQ(term(), WU_OK);
  EXPECT_EQ(qevhost::poolCount(), basePools_);   // the module pool is gone
  EXPECT_EQ(qwev_(winA_, 1, nullptr, 0), WU_NOTAVAIL);
}

}  // namespace
