// Choice popups shown and closed hundreds of times leave the heap flat:
// each popup's widgets go with everything Motif kept for drawing them.
#include <X11/keysym.h>

#include <string>

#include "../controls/ctlfixture.h"
#include "heapcount.h"
#include "menus/wumenus.h"

namespace {

using qevtest::heapInUse;

// Popups shown before the heap is read (the first ones pay the menu
// classes' one-time costs), and measured.
const int kWarmPopups = 100;
const int kPopups = 300;
const double kPerCycle = 64.0;

using ChoiceFn = int32_t (*)(wu_window *, const wu_choice_entry *, int32_t);

// The choice popup standing on the window's work form, once the server
// shows it.
bool PopupShown(wu_window *w) {
  for (Cardinal i = 0; i < w->work_form->core.num_popups; ++i) {
    Widget shell = w->work_form->core.popup_list[i];
    if (!XtIsRealized(shell)) continue;
    XWindowAttributes at;
    if (XGetWindowAttributes(devb->display, XtWindow(shell), &at) && at.map_state == IsViewable)
      return true;
  }
  return false;
}

class PopupMemory : public Controls {};

TEST_F(PopupMemory, ChoicePopupsShownAndClosedKeepTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  auto choose = Slot<ChoiceFn>(QEV_TABLE_WINDOW, WUX_SLOT_UMNU);
  ASSERT_NE(choose, nullptr);
  wu_choice_entry e[3] = {};
  e[0].label = "First";
  e[0].label_length = 5;
  e[1].label = "Second";
  e[1].label_length = 6;
  e[1].flags = WU_CHOICE_SEPARATOR;
  e[2].label = "Kept";
  e[2].label_length = 4;
  e[2].flags = WU_CHOICE_TOGGLE;
  // The popup closed with Escape as soon as the server shows it.
  auto cycle = [&] {
    qevtest::Script script;
    script.then("the popup shown, then Escape", [&] { return PopupShown(window_); },
                [] { qevtest::pressKey(devb->display, XK_Escape); });
    int32_t chosen = -1;
    script.run([&] { chosen = choose(window_, e, 3); });
    ASSERT_FALSE(script.failed());
    ASSERT_EQ(chosen, 0);
  };
  for (int i = 0; i < kWarmPopups; ++i) {
    cycle();
    if (HasFatalFailure()) return;
  }
  const size_t before = heapInUse();
  for (int i = 0; i < kPopups; ++i) {
    cycle();
    if (HasFatalFailure()) return;
  }
  const double per = (double(heapInUse()) - double(before)) / kPopups;
  RecordProperty("choice popup", std::to_string(per));
  EXPECT_LT(per, kPerCycle) << per << " bytes a popup";
  const qevhost::PoolStats now = qevhost::poolStats(pool_);
  EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
  EXPECT_EQ(now.liveBytes, base_.liveBytes);
}

}  // namespace
