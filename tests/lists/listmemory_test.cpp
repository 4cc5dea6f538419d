// Lists made, shown and released many times: the heap stays flat, within a
// small constant per cycle, for each of the three list kinds.
#include <malloc.h>

#include <memory>

#include "listfixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define QEV_HEAP_COUNTED 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QEV_HEAP_COUNTED 0
#else
#define QEV_HEAP_COUNTED 1
#endif
#else
#define QEV_HEAP_COUNTED 1
#endif

const int kWarm = 300;
const int kCycles = 10000;
// Bytes a cycle may leave behind on average: allocator noise, not a leak.
const double kPerCycle = 16.0;

class ListMemory : public Lists {
 protected:
  // One cycle: a control made, shown and released.
  void Cycle(int32_t type) {
    wu_ctl_handle *h = nullptr;
    ASSERT_EQ(crea_(&h, pane_, nullptr, type, nullptr, 0, HostProc), WU_OK);
    XSync(devb->display, False);
    while (XtAppPending(devb->app)) XtAppProcessEvent(devb->app, XtIMAll);
    ASSERT_EQ(h->services->wdes(h), WU_OK);
    while (XtAppPending(devb->app)) XtAppProcessEvent(devb->app, XtIMAll);
  }
  void ExpectFlat(int32_t type, const char *name) {
    for (int i = 0; i < kWarm; ++i) Cycle(type);
    const size_t before = mallinfo2().uordblks;
    const qevhost::PoolStats pool = qevhost::poolStats(pool_);
    for (int i = 0; i < kCycles; ++i) {
      Cycle(type);
      if (HasFatalFailure()) return;
    }
    const size_t after = mallinfo2().uordblks;
    const double per = (double(after) - double(before)) / kCycles;
    RecordProperty(name, std::to_string(per));
    EXPECT_LT(per, kPerCycle) << name << ": " << per << " bytes a cycle";
    const qevhost::PoolStats now = qevhost::poolStats(pool_);
    EXPECT_EQ(now.liveBlocks, pool.liveBlocks) << name;
    EXPECT_EQ(now.liveBytes, pool.liveBytes) << name;
  }
};

TEST_F(ListMemory, TenThousandCyclesOfEachKindKeepTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  ExpectFlat(WU_CTYPE_LISTBOX, "list box");
  ExpectFlat(WU_CTYPE_LISTVIEW, "list view");
  ExpectFlat(WU_CTYPE_TREEVIEW, "tree view");
}

}  // namespace
