// Controls and windows made, shown and released thousands of times leave
// the heap flat: each of the fourteen kinds on its own, and a window that
// holds one control of every kind, within a small constant per cycle once
// warmed up, with the host pool back at its baseline; and windows made
// after the window system was stopped and started again in the process.
#include <string>
#include <vector>

#include "../controls/ctlfixture.h"
#include "everykind.h"
#include "heapcount.h"

namespace {

using qevtest::heapInUse;

// Cycles run before the heap is read: a control kind's one-time costs are
// paid in the first ones; a window's, with the toolkit's records of the
// shells and widgets it made, settle over the first few hundred.
const int kWarmControls = 200;
const int kWarmWindows = 500;
const int kCycles = 2000;
// Windows made in each start of the window system before the heap is read
// (a new connection's records settle over the first few hundred), and
// measured, when it is started again and again.
const int kWarmRestarted = 300;
const int kRestartedWindows = 300;
const int kStarts = 3;
// Bytes a cycle may leave behind on average: allocator noise, not a leak.
const double kPerCycle = 64.0;

class ControlMemory : public Controls {
 protected:
  // One control of the kind made in `pane`, shown, and released as the
  // host releases it.
  void ControlCycle(wu_window *window, wu_pane *pane, int32_t type) {
    std::vector<wu_value> e = EntriesFor(type);
    wu_ctl_handle *h = nullptr;
    const wu_status st = crea_(&h, pane, nullptr, type, e.data(), int32_t(e.size()), HostProc);
    ASSERT_TRUE(st == WU_OK || st == WU_ENTRY_STATUS) << type;
    ASSERT_NE(h, nullptr) << type;
    wuxuwnd(window);
    Pump();
    // Shown: its Motif widget stands managed in the pane.
    Widget w = wu_ctl_outer(h->control);
    ASSERT_TRUE(w != nullptr && XtIsManaged(w) && (XmIsPrimitive(w) || XmIsManager(w))) << type;
    ASSERT_EQ(h->services->wdes(h), WU_OK) << type;
    wuxuwnd(window);
    Pump();
  }

  // A window of one pane holding one control of every kind, shown, then
  // released with its controls.
  void WindowCycle() {
    wu_window *window = WindowOfEveryKind(crea_, HostProc);
    ASSERT_FALSE(HasFailure());
    ASSERT_EQ(wuxfwnd(window), WU_OK);
    Pump();
  }

  // Runs `cycle` `warm` times, then kCycles times measured: the heap per
  // cycle and the pool.
  template <typename F>
  void ExpectFlat(const std::string &name, int warm, F cycle) {
    for (int i = 0; i < warm; ++i) {
      cycle();
      if (HasFatalFailure()) return;
    }
    const size_t before = heapInUse();
    const qevhost::PoolStats pool = qevhost::poolStats(pool_);
    for (int i = 0; i < kCycles; ++i) {
      cycle();
      if (HasFatalFailure()) return;
    }
    const double per = (double(heapInUse()) - double(before)) / kCycles;
    RecordProperty(name, std::to_string(per));
    EXPECT_LT(per, kPerCycle) << name << ": " << per << " bytes a cycle";
    const qevhost::PoolStats now = qevhost::poolStats(pool_);
    EXPECT_EQ(now.liveBlocks, pool.liveBlocks) << name;
    EXPECT_EQ(now.liveBytes, pool.liveBytes) << name;
  }
};

const char *const kKindNames[WU_CTYPE_KINDS] = {
    "multi-line entry", "entry field", "label",     "combo box", "list view",
    "spin box",         "tree view",   "push button", "scroll bar", "check box",
    "list box",         "radio box",   "desktop icon", "progress bar"};

TEST_F(ControlMemory, EveryKindMadeShownAndReleasedKeepsTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  for (int32_t type = 0; type < WU_CTYPE_KINDS; ++type) {
    ExpectFlat(kKindNames[type], kWarmControls, [&] { ControlCycle(window_, pane_, type); });
    if (HasFatalFailure()) return;
  }
}

// A radio box makes its toggles again whenever its choices change.
TEST_F(ControlMemory, RadioChoicesSetAgainAndAgainKeepTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  std::vector<wu_value> e = EntriesFor(WU_CTYPE_RADIO);
  wu_ctl_handle *h = nullptr;
  ASSERT_EQ(crea_(&h, pane_, nullptr, WU_CTYPE_RADIO, e.data(), int32_t(e.size()), HostProc), WU_OK);
  ExpectFlat("radio box choices", kWarmControls, [&] {
    std::vector<wu_value> items = {e.back()};
    ASSERT_EQ(h->services->swat(h->control, items.data(), 1), WU_OK);
    wuxuwnd(window_);
    Pump();
  });
}

TEST_F(ControlMemory, WindowsOfEveryKindMadeShownAndReleasedKeepTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  ExpectFlat("window of every kind", kWarmWindows, [&] { WindowCycle(); });
}

// Motif keeps its default render table for the first display connection
// only: the module's shells carry the module's own, so that each window made
// on a later connection does not load the default again.  The first start
// warms the process up; each later one is measured.
TEST_F(ControlMemory, WindowsMadeAfterTheWindowSystemStartsAgainKeepTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  for (int start = 0; start < kStarts; ++start) {
    if (start > 0) {
      wuxfwnd(window_);
      window_ = nullptr;
      qevtest::stopModule();
      std::string why;
      ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    }
    for (int i = 0; i < kWarmRestarted; ++i) {
      WindowCycle();
      if (HasFatalFailure()) return;
    }
    if (start == 0) continue;
    const size_t before = heapInUse();
    for (int i = 0; i < kRestartedWindows; ++i) {
      WindowCycle();
      if (HasFatalFailure()) return;
    }
    const double per = (double(heapInUse()) - double(before)) / kRestartedWindows;
    EXPECT_LT(per, kPerCycle) << "start " << start << ": " << per << " bytes a window";
  }
}

}  // namespace
