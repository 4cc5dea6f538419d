// The soak: many windows, many entry fields and many start-up cycles, one
// after another, as a long session makes them.  The module's pools come
// back to their baseline and the X server holds no more windows than
// before.  The sanitizer build runs a tenth of each (it is some ten times
// slower); the normal build runs the full counts.
#include "hardening.h"

#include "controls/wucontrol.h"
#include "xserver.h"

namespace {

using namespace hardening;

#if defined(__SANITIZE_ADDRESS__)
const int kScale = 10;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const int kScale = 10;
#else
const int kScale = 1;
#endif
#else
const int kScale = 1;
#endif

const int kWindows = 10000 / kScale;
const int kFields = 10000 / kScale;
const int kCycles = 100 / kScale;

// Windows on the X server, counted through a connection of the test's own.
int ServerWindows(Display *dpy, Window w) {
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy, w, &root, &parent, &kids, &n)) return 0;
  int count = int(n);
  for (unsigned i = 0; i < n; ++i) count += ServerWindows(dpy, kids[i]);
  if (kids) XFree(kids);
  return count;
}

int ServerWindows() {
  Display *dpy = qevtest::openDisplay();
  if (dpy == nullptr) return -1;
  const int n = ServerWindows(dpy, DefaultRootWindow(dpy));
  XCloseDisplay(dpy);
  return n;
}

TEST(Soak, ManyWindowsComeAndGoWithoutATrace) {
  Started m;
  ASSERT_TRUE(m.Start());
  ASSERT_EQ(wuxfwnd(m.window), WU_OK);
  m.Settle();
  const int windows_before = ServerWindows();
  for (int i = 0; i < kWindows; ++i) {
    wu_window *w = nullptr;
    wu_pane *p = nullptr;
    wu_field *f = nullptr;
    ASSERT_EQ(wuxgwnd(&w, 1, 0), WU_OK);
    ASSERT_EQ(wuxgpan(w, &p, 1, 1, 4, WU_FULL_WIDTH, 0), WU_OK);
    ASSERT_EQ(wuxgfld(p, &f, 1, 1, 20, 0, 0), WU_OK);
    ASSERT_EQ(wuxiwnd(w), WU_OK);
    ASSERT_EQ(wuxqwev(w, WU_EV_WAKE, nullptr, 0), WU_OK);
    ASSERT_EQ(wuxrwnd(w), WU_EV_WAKE);
    ASSERT_EQ(wuxfwnd(w), WU_OK);
    if (i % 100 == 0) m.Settle();
  }
  m.Settle();
  m.ExpectPoolAtBase();
  EXPECT_EQ(wu_reg_count(WU_REG_NONE), 0);
  EXPECT_EQ(ServerWindows(), windows_before);
  m.Stop();
}

TEST(Soak, ManyEntryFieldsComeAndGoWithoutATrace) {
  Started m;
  ASSERT_TRUE(m.Start());
  const int windows_before = ServerWindows();
  const qevhost::PoolStats with_window = qevhost::poolStats(m.pool);
  const int kBatch = 100;
  for (int made = 0; made < kFields; made += kBatch) {
    std::vector<wu_ctl_handle *> handles;
    for (int i = 0; i < kBatch; ++i) {
      wu_ctl_handle *h = nullptr;
      ASSERT_EQ(Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(&h, m.pane, nullptr, WU_CTYPE_ENTRY,
                                                              nullptr, 0, nullptr),
                WU_OK);
      handles.push_back(h);
    }
    for (wu_ctl_handle *h : handles) ASSERT_EQ(h->services->wdes(h), WU_OK);
    m.Settle();
  }
  const qevhost::PoolStats now = qevhost::poolStats(m.pool);
  EXPECT_EQ(now.liveBlocks, with_window.liveBlocks);
  EXPECT_EQ(now.liveBytes, with_window.liveBytes);
  EXPECT_EQ(now.errors, 0);
  EXPECT_EQ(wu_reg_count(WU_REG_CONTROL), 0);
  EXPECT_EQ(wu_reg_count(WU_REG_HANDLE), 0);
  EXPECT_EQ(ServerWindows(), windows_before);
  ASSERT_EQ(wuxfwnd(m.window), WU_OK);
  m.ExpectPoolAtBase();
  m.Stop();
}

void StartUpCycles() {
  Started m;
  ASSERT_TRUE(m.Start());
  m.Stop();
  const int windows_before = ServerWindows();
  ASSERT_NE(qevhost::start(), nullptr);
  ASSERT_NE(qevhost::loadModule(QEV_MODULE_PATH), nullptr);
  const size_t pools_before = qevhost::poolCount();
  auto init = qevtest::windowSlot(WUX_SLOT_INIT);
  auto term = qevtest::windowSlot(WUX_SLOT_TERM);
  for (int i = 0; i < kCycles; ++i) {
    ASSERT_EQ(init(), WU_OK);
    // Each cycle leaves a window with a control standing: shut-down takes
    // them along.
    wu_window *w = nullptr;
    wu_pane *p = nullptr;
    ASSERT_EQ(wuxgwnd(&w, 1, 0), WU_OK);
    ASSERT_EQ(wuxgpan(w, &p, 1, 1, 4, WU_FULL_WIDTH, 0), WU_OK);
    ASSERT_EQ(wuxiwnd(w), WU_OK);
    wu_ctl_handle *h = nullptr;
    ASSERT_EQ(Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(&h, p, nullptr, WU_CTYPE_ENTRY, nullptr,
                                                            0, nullptr),
              WU_OK);
    ASSERT_EQ(term(), WU_OK);
    EXPECT_EQ(wuxcnti(h), -1);
    EXPECT_EQ(wu_reg_count(WU_REG_NONE), 0);
  }
  EXPECT_EQ(qevhost::poolCount(), pools_before);
  EXPECT_EQ(ServerWindows(), windows_before);
  qevhost::unloadModule();
  qevhost::stop();
}

TEST(Soak, ManyStartUpCyclesLeaveNothingBehind) {
  // In a process of its own, whose leak check sees what the cycles left.
  InChild(StartUpCycles, 600);
}

}  // namespace
