// The window system stopped and started again and again leaves the heap
// flat: each start's connection, toolkit and Motif state, and the module's
// own tables, go with the stop, also what the controls of a window left open
// for the stop to take along held.
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "../controls/ctlfixture.h"
#include "everykind.h"
#include "heapcount.h"
#include "widgettree.h"

#include <Xm/ColorP.h>

namespace {

using qevtest::heapInUse;

// Cycles run before the heap is read (the libraries' one-time costs, the
// first connection's, are paid in the first ones, and the allocator's
// caches settle over the first few hundred), and measured.
const int kWarmCycles = 300;
const int kCycles = 600;
const double kPerCycle = 64.0;

class RestartMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    init_ = qevtest::windowSlot(WUX_SLOT_INIT);
    term_ = qevtest::windowSlot(WUX_SLOT_TERM);
    crea_ = Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA);
    ASSERT_TRUE(init_ && term_ && crea_);
  }
  void TearDown() override { qevtest::stopModule(); }

  // A stop and a start, with a window holding a control of each of `kinds`
  // left open for the stop (no window without `kinds`).
  void Cycle(const std::vector<int32_t> *kinds) {
    if (kinds) {
      WindowOfKinds(crea_, nullptr, *kinds);
      ASSERT_FALSE(HasFailure());
    }
    ASSERT_EQ(term_(), WU_OK);
    ASSERT_EQ(init_(), WU_OK);
  }

  // Bytes the heap grows by a cycle once warmed up; not a number after a
  // failure.
  double Growth(const std::vector<int32_t> *kinds) {
    for (int i = 0; i < kWarmCycles; ++i) {
      Cycle(kinds);
      if (HasFatalFailure()) return std::nan("");
    }
    const size_t before = heapInUse();
    for (int i = 0; i < kCycles; ++i) {
      Cycle(kinds);
      if (HasFatalFailure()) return std::nan("");
    }
    return (double(heapInUse()) - double(before)) / kCycles;
  }

  void ExpectFlat(const std::string &name, const std::vector<int32_t> *kinds) {
    const double per = Growth(kinds);
    if (HasFatalFailure()) return;
    RecordProperty(name, std::to_string(per));
    EXPECT_LT(per, kPerCycle) << name << ": " << per << " bytes a cycle";
  }

  qevtest::VoidSlot init_ = nullptr, term_ = nullptr;
  CreaFn crea_ = nullptr;
};

TEST_F(RestartMemory, StopAndStartKeepTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  ExpectFlat("stop and start", nullptr);
}

// Each toggle button takes a reference on the screen's stipple in Motif's
// pixmap cache and never gives it back; left there, the cache entry of every
// closed screen would stay for good.  Motif's colour caches (see below) gain
// the same entries for a window holding a label as for one that also holds
// the kinds made of toggle buttons, so whatever else those kinds leave
// behind at a stop is the difference between the two.
TEST_F(RestartMemory, ToggleButtonsLeftOpenForAStopLeaveNothingBehind) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  const std::vector<int32_t> label = {WU_CTYPE_LABEL};
  const std::vector<int32_t> toggles = {WU_CTYPE_LABEL, WU_CTYPE_CHECK, WU_CTYPE_RADIO};
  const double without = Growth(&label);
  if (HasFatalFailure()) return;
  const double with = Growth(&toggles);
  if (HasFatalFailure()) return;
  RecordProperty("toggle buttons", std::to_string(with - without));
  EXPECT_LT(with - without, kPerCycle)
      << "a window with toggle buttons: " << with << " bytes a cycle, without: " << without;
}

// Motif's colour caches, keyed by the screen, have no call that takes an
// entry out: on every connection they gain an entry for each background its
// widgets are drawn on (the default colours of a widget's shadows,
// foreground and highlight are worked out from its background), and one for
// the default background of a widget given none (the tool tip label Motif
// makes as the window's widgets go).  Those entries are Motif's; anything
// the stop leaves beyond them is the module's.
TEST_F(RestartMemory, StopAndStartWithAWindowOfEveryKindOpenKeepTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  const std::vector<int32_t> every = EveryKind();
  // The backgrounds the window's widgets are drawn on, read from a window
  // like the ones the cycles leave open.
  wu_window *window = WindowOfKinds(crea_, nullptr, every);
  ASSERT_FALSE(HasFailure());
  ASSERT_NE(window, nullptr);
  std::vector<Widget> all;
  qevtest::widgetTree(window->outer, &all);
  std::set<Pixel> backgrounds;
  for (Widget w : all)
    if (XtIsWidget(w)) backgrounds.insert(w->core.background_pixel);
  const double motif = double(sizeof(XmColorData)) * double(backgrounds.size() + 1);
  const double per = Growth(&every);
  if (HasFatalFailure()) return;
  RecordProperty("stop and start with a window", std::to_string(per));
  EXPECT_LT(per - motif, kPerCycle) << per << " bytes a cycle, of which Motif's colour caches take "
                                    << motif << " at most (" << backgrounds.size()
                                    << " backgrounds)";
}

}  // namespace
