// Host calls whose counts promise more than they hand over: the module
// bounds a count before it reads what the count describes.  Each case runs
// in a child process of its own, so that the sanitizer build reports a read
// past the host's array.
#include "hardening.h"

#include <climits>

namespace hardening {
namespace {

using GlbxFn = wu_status (*)(wu_pane *, wu_control **, const char *, int32_t, int32_t, int32_t,
                             int32_t, int32_t, int32_t, uint32_t, int32_t, const wu_str_item *,
                             int32_t);
using ClbxFn = wu_status (*)(wu_control *, int32_t, const wu_str_item *, int32_t, int32_t);
using QlbxFn = wu_status (*)(wu_control *, int32_t, void *);

const int32_t kInsert = 1, kSelect = 3, kDeselect = 4;
const int32_t kQueryCount = 3;
// The most items a host list may give at once.
const int32_t kMostItems = 1 << 20;

int32_t Count(wu_control *c) {
  int32_t n = -1;
  EXPECT_EQ(Slot<QlbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_QLBX)(c, kQueryCount, &n), WU_OK);
  return n;
}

// An older list box of three items.
wu_control *ThreeItems(Started &m) {
  static const wu_str_item items[3] = {{3, 0, "Red"}, {5, 0, "Green"}, {4, 0, "Blue"}};
  wu_control *c = nullptr;
  EXPECT_EQ(Slot<GlbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_GLBX)(m.pane, &c, "Colours", 1, 1, 6, 20, 0,
                                                          4, 0, 1, items, 3),
            WU_OK);
  return c;
}

TEST(HostCounts, ListBoxCountLargerThanItsItemsIsRefusedUnread) {
  InChild([] {
    Started m;
    ASSERT_TRUE(m.Start());
    auto glbx = Slot<GlbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_GLBX);
    auto clbx = Slot<ClbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_CLBX);
    // Three items on the stack, a count of INT_MAX.
    const wu_str_item items[3] = {{1, 0, "a"}, {1, 0, "b"}, {1, 0, "c"}};
    wu_control *none = nullptr;
    EXPECT_EQ(glbx(m.pane, &none, nullptr, 1, 1, 6, 20, 0, 4, 0, 2, items, INT_MAX), WU_NOTAVAIL);
    EXPECT_EQ(none, nullptr);
    wu_control *c = ThreeItems(m);
    ASSERT_NE(c, nullptr);
    m.Settle();
    for (int32_t op : {kInsert, kSelect, kDeselect}) {
      SCOPED_TRACE(op);
      EXPECT_EQ(clbx(c, op, items, 1, INT_MAX), WU_NOTAVAIL);
      EXPECT_EQ(Count(c), 3);
    }
    m.Stop();
  });
}

TEST(HostCounts, ListBoxTakesTextsUpToItsMostAtOnce) {
  InChild([] {
    Started m;
    ASSERT_TRUE(m.Start(false));
    wu_control *c = ThreeItems(m);
    ASSERT_NE(c, nullptr);
    auto clbx = Slot<ClbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_CLBX);
    // Texts to select that the box does not hold, as many as may be given
    // and one more.
    std::vector<wu_str_item> texts(size_t(kMostItems) + 1, wu_str_item{2, 0, "zz"});
    EXPECT_EQ(clbx(c, kSelect, texts.data(), 0, kMostItems), WU_OK);
    EXPECT_EQ(clbx(c, kSelect, texts.data(), 0, kMostItems + 1), WU_NOTAVAIL);
    EXPECT_EQ(Count(c), 3);
    m.Stop();
  }, 300);
}

}  // namespace
}  // namespace hardening
