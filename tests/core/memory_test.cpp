// Pool calls and the typed record allocator over the module pool.
#include <vector>

#include "coretest.h"
#include "qev/flags.h"

namespace {

using coretest::StartedTest;

const int32_t kControlKinds[] = {2,  3,  5,  6,  7,  8,  9,  17, 18, 19, 20, 21, 22, 23, 26, 29,
                                 30, 31, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 45};

bool allZero(const void *p, size_t from, size_t to) {
  const auto *b = static_cast<const uint8_t *>(p);
  for (size_t i = from; i < to; ++i)
    if (b[i] != 0) return false;
  return true;
}

TEST_F(StartedTest, EveryKindGivesAZeroedRecordOfItsSize) {
  std::vector<std::pair<void *, int32_t>> records;
  int64_t bytes = 0;
  for (int32_t kind : kControlKinds) {
    int32_t size = wutmsiz(kind);
    ASSERT_GE(size, static_cast<int32_t>(sizeof(wu_control))) << kind;
    auto *c = static_cast<wu_control *>(wutgmem(pool_, kind));
    ASSERT_NE(c, nullptr) << kind;
    EXPECT_EQ(c->kind, kind);
    EXPECT_TRUE(allZero(c, 0, offsetof(wu_control, kind))) << kind;
    EXPECT_TRUE(allZero(c, offsetof(wu_control, pane), offsetof(wu_control, Swat))) << kind;
    EXPECT_TRUE(allZero(c, sizeof(wu_control), static_cast<size_t>(size))) << kind;
    records.emplace_back(c, kind);
    bytes += size;
  }
  auto *popup = static_cast<wu_popup_menu *>(wutgmem(pool_, WU_MT_POPUP_MENU));
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->kind, WU_MT_POPUP_MENU);
  EXPECT_EQ(wutmsiz(WU_MT_POPUP_MENU), static_cast<int32_t>(sizeof(wu_popup_menu)));
  records.emplace_back(popup, WU_MT_POPUP_MENU);
  bytes += static_cast<int64_t>(sizeof(wu_popup_menu));

  qevhost::PoolStats s = qevhost::poolStats(pool_);
  EXPECT_EQ(s.liveBlocks - base_.liveBlocks, static_cast<int64_t>(records.size()));
  EXPECT_EQ(s.liveBytes - base_.liveBytes, bytes);
  for (auto &r : records) EXPECT_EQ(wutfmem(pool_, r.first, r.second), WU_OK) << r.second;
  expectPoolAtBase();
}

TEST_F(StartedTest, RetaggedRecordsAreReleasedUnderTheirNewKind) {
  const int32_t pairs[][2] = {{WU_MT_BAR, WU_MT_SCROLLBAR},         {WU_MT_OLD_LISTBOX, WU_MT_COMBOBOX},
                              {WU_MT_OLD_RADIOBOX, WU_MT_RADIOBOX}, {WU_MT_OLD_PUSHBUTTON, WU_MT_PUSHBUTTON},
                              {WU_MT_OLD_PUSHBUTTON, WU_MT_DESKTOPICON}, {WU_MT_OLD_CHECKBOX, WU_MT_CHECKBOX}};
  for (auto &p : pairs) {
    auto *c = static_cast<wu_control *>(wutgmem(pool_, p[0]));
    ASSERT_NE(c, nullptr);
    c->kind = p[1];
    EXPECT_EQ(wutfmem(pool_, c, c->kind), WU_OK) << p[0] << "->" << p[1];
  }
  expectPoolAtBase();
}

TEST_F(StartedTest, UnknownKindsAreRefused) {
  for (int32_t kind : {-1, 0, 1, 4, 10, 44, 46, 1000}) {
    EXPECT_EQ(wutmsiz(kind), 0) << kind;
    EXPECT_EQ(wutgmem(pool_, kind), nullptr) << kind;
  }
  int32_t dummy = 0;
  EXPECT_EQ(wutfmem(pool_, &dummy, 46), WU_NOTAVAIL);
  EXPECT_EQ(wutgmem(nullptr, WU_MT_LABEL), nullptr);
  expectPoolAtBase();
}

TEST_F(StartedTest, PoolCallsClearAndAccountForEveryBlock) {
  auto *a = static_cast<uint8_t *>(vmalcp_handler(pool_, 100, 0));
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(allZero(a, 0, 100));
  auto *b = static_cast<uint8_t *>(vmalloc_handler(pool_, 64, WU_MEM_CLEAR));
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(allZero(b, 0, 64));
  EXPECT_EQ(vmalloc_handler(pool_, 0, 0), nullptr);
  EXPECT_EQ(vmalloc_handler(pool_, -8, 0), nullptr);
  EXPECT_EQ(vmalloc_handler(nullptr, 8, 0), nullptr);
  EXPECT_EQ(vmfree_handler(pool_, nullptr, 8, 0), WU_OK);
  EXPECT_EQ(vmfree_handler(nullptr, a, 100, 0), WU_NOTAVAIL);

  // A free naming the wrong size is caught by the pool and frees nothing.
  EXPECT_NE(vmfree_handler(pool_, a, 104, 0), WU_OK);
  EXPECT_EQ(qevhost::poolStats(pool_).errors, 1);
  EXPECT_EQ(qevhost::poolStats(pool_).liveBlocks, base_.liveBlocks + 2);
  EXPECT_EQ(vmfree_handler(pool_, a, 100, 0), WU_OK);
  EXPECT_EQ(vmfree_handler(pool_, b, -1, 0), WU_OK);   // the pool knows the size
  EXPECT_EQ(qevhost::poolStats(pool_).liveBlocks, base_.liveBlocks);
}

TEST_F(StartedTest, FailedAllocationGivesNoRecord) {
  qevhost::failAllocation(1);
  EXPECT_EQ(wutgmem(pool_, WU_MT_LISTVIEW), nullptr);
  expectPoolAtBase();
  void *next = wutgmem(pool_, WU_MT_LISTVIEW);   // only that one failed
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(wutfmem(pool_, next, WU_MT_LISTVIEW), WU_OK);
  expectPoolAtBase();
}

}  // namespace
