// Host windows on a private X server: realising a window with its panes,
// fields and message line, keys typed through XTest reaching the waiting
// read, the display update's release lists, the pane of a widget, scroll
// codes and drop sites.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/DragDrop.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <Xm/Xm.h>

#include <cstring>
#include <string>
#include <vector>

#include "frames/wuframes.h"
#include "qev/catalog.h"
#include "modulehost.h"
#include "qev/flags.h"
#include "qevhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QEVSbar.h"
#include "textwin/QevPane.h"
#include "textwin/wutwin.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

// A code no window-layer path queues: the watchdog's, so that a read that
// would wait for ever ends the test instead.
const int32_t kWatchdogCode = 424242;
const unsigned long kWatchdogMs = 8000;

class Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
  }
  void TearDown() override {
    if (window_) wuxfwnd(window_);
    qevtest::stopModule();
  }

  // A window of two panes (rows 1-3 and 4-8) with a field in each, a
  // command line and a message line.
  wu_window *MakeWindow() {
    EXPECT_EQ(wuxgwnd(&window_, 1, WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE), WU_OK);
    EXPECT_EQ(wuxgpan(window_, &top_, 1, 1, 3, WU_FULL_WIDTH, 0), WU_OK);
    EXPECT_EQ(wuxgpan(window_, &bottom_, 4, 1, 5, 40, 0), WU_OK);
    EXPECT_EQ(wuxgfld(top_, &label_, 1, 1, 10, 2, WU_FLD_PROTECTED), WU_OK);
    EXPECT_EQ(wuxgfld(bottom_, &entry_, 2, 5, 20, 0, 0), WU_OK);
    std::memcpy(label_->text, "Name:", 5);
    return window_;
  }

  bool Realise() {
    if (wuxiwnd(window_) != WU_OK) return false;
    // Realised and mapped: focus may only be given to a viewable window.
    return qevtest::turnUntil([&] {
      if (!window_->outer || !XtIsRealized(window_->outer) || !top_->ext->widget ||
          !XtIsRealized(top_->ext->widget))
        return false;
      XWindowAttributes at;
      return XGetWindowAttributes(devb->display, XtWindow(window_->outer), &at) &&
             at.map_state == IsViewable;
    });
  }

  // What the test's requests and input made the server send is handled.
  void Settle() { EXPECT_TRUE(qevtest::settle()); }

  wu_window *window_ = nullptr;
  wu_pane *top_ = nullptr;
  wu_pane *bottom_ = nullptr;
  wu_field *label_ = nullptr;
  wu_field *entry_ = nullptr;
};

unsigned long Rgb(Pixel pixel) {
  XColor c;
  c.pixel = pixel;
  XQueryColor(devb->display, devb->colormap, &c);
  return ((c.red >> 8) << 16) | ((c.green >> 8) << 8) | (c.blue >> 8);
}

void Watchdog(XtPointer client, XtIntervalId *) {
  wuxqwev(static_cast<wu_window *>(client), kWatchdogCode, nullptr, 0);
}

TEST_F(Windows, RealisedWindowShowsPanesFieldsAndMessageLine) {
  MakeWindow();
  ASSERT_TRUE(Realise());
  ASSERT_NE(window_->command_pane, nullptr);
  ASSERT_NE(window_->message_field, nullptr);
  ASSERT_NE(window_->command_field, nullptr);
  // The cursor starts on the command line.
  EXPECT_EQ(window_->current_pane, window_->command_pane);

  // A field in reverse video fills its cells with its colour.
  label_->highlight = WU_FHL_REVERSE;
  label_->flags |= WU_FLD_DIRTY;
  ASSERT_EQ(wuxuwnd(window_), WU_OK);
  Settle();
  Widget pw = top_->ext->widget;
  const int cw = devb->cell_width, ch = devb->cell_height;
  unsigned long want = Rgb(wutfpxl(2));
  EXPECT_EQ(qevtest::pixelAt(devb->display, XtWindow(pw), 7 * cw + cw / 2, ch / 2), want);
  // Cells beyond the field keep the pane's background.
  EXPECT_EQ(qevtest::pixelAt(devb->display, XtWindow(pw), 30 * cw + 1, 2 * ch + 1),
            Rgb(devb->background));
  // The bottom pane lies below the top one, four rows under the command panel.
  Position x = 0, y = 0, px = 0, py = 0;
  XtTranslateCoords(bottom_->ext->widget, 0, 0, &x, &y);
  XtTranslateCoords(pw, 0, 0, &px, &py);
  EXPECT_EQ(y - py, 3 * ch);

  // The message line shows a text and is cleared by an empty one.
  window_->flags |= WU_WIN_MSG_PENDING;
  ASSERT_EQ(wuxpmsg(window_, "Saved.", -1, 0), WU_OK);
  EXPECT_FALSE(window_->flags & WU_WIN_MSG_PENDING);
  char text[16];
  Widget cp = window_->command_pane->ext->widget;
  QevPaneGetText(cp, window_->message_field->row, 1, text, 7);
  EXPECT_STREQ(text, "Saved.");
  Settle();
  // Some pixel of the first message cell is drawn in the foreground.
  bool ink = false;
  const int row_y = (window_->message_field->row - 1) * ch;
  for (int yy = row_y; yy < row_y + ch && !ink; ++yy)
    for (int xx = 0; xx < cw && !ink; ++xx)
      ink = qevtest::pixelAt(devb->display, XtWindow(cp), xx, yy) != Rgb(devb->background);
  EXPECT_TRUE(ink);
  ASSERT_EQ(wuxpmsg(window_, "", 0, 0), WU_OK);
  QevPaneGetText(cp, window_->message_field->row, 1, text, 7);
  EXPECT_STREQ(text, "      ");
}

TEST_F(Windows, TypedKeysEditTheFieldAndFunctionKeysEndTheRead) {
  MakeWindow();
  ASSERT_TRUE(Realise());
  ASSERT_EQ(wuxmcrs(window_, bottom_, entry_->row, entry_->column), WU_OK);
  Display *dpy = devb->display;
  XSetInputFocus(dpy, XtWindow(window_->outer), RevertToParent, CurrentTime);
  Settle();
  for (KeySym sym : {XK_h, XK_i, XK_F3}) qevtest::pressKey(dpy, sym);
  XtIntervalId dog = XtAppAddTimeOut(devb->app, kWatchdogMs, Watchdog, window_);
  EXPECT_EQ(wuxrwnd(window_), -3);
  XtRemoveTimeOut(dog);
  EXPECT_EQ(std::string(entry_->text, 2), "hi");
  EXPECT_TRUE(entry_->flags & WU_FLD_MODIFIED);
  EXPECT_EQ(bottom_->cursor_column, entry_->column + 2);
  // Typing into a protected field changes nothing.
  ASSERT_EQ(wuxmcrs(window_, top_, 1, 1), WU_OK);
  qevtest::pressKey(dpy, XK_x);
  Settle();
  EXPECT_EQ(std::string(label_->text, 5), "Name:");
  EXPECT_EQ(wutcqev(window_), 0);
}

TEST_F(Windows, ReadReturnsQueuedCommandsAndTheWindowManagersClose) {
  MakeWindow();
  ASSERT_TRUE(Realise());
  ASSERT_EQ(wuxqcmd(window_, "QUIT", -1, 1, 0, 0), WU_OK);
  EXPECT_EQ(wuxrwnd(window_), WU_EV_COMMAND);
  ASSERT_NE(window_->command_text, nullptr);
  EXPECT_STREQ(window_->command_text, "QUIT");
  EXPECT_EQ(wu_module()->current, window_);

  // The window manager's close arrives as WM_DELETE_WINDOW.
  qevtest::closeLikeWindowManager(window_->outer);
  XtIntervalId dog = XtAppAddTimeOut(devb->app, kWatchdogMs, Watchdog, window_);
  EXPECT_EQ(wuxrwnd(window_), WU_EV_CLOSE);
  XtRemoveTimeOut(dog);
}

TEST_F(Windows, WidgetInsideAndOutsideAPane) {
  MakeWindow();
  ASSERT_TRUE(Realise());
  const int cw = devb->cell_width, ch = devb->cell_height;
  Widget inside = XtVaCreateManagedWidget("inside", xmPushButtonWidgetClass, bottom_->ext->widget,
                                          XmNx, 3 * cw, XmNy, 2 * ch, nullptr);
  Widget outside = XtVaCreateManagedWidget("outside", xmPushButtonWidgetClass, window_->form,
                                           nullptr);
  wu_window *w = nullptr;
  wu_pane *p = nullptr;
  EXPECT_EQ(wutwd2p(inside, &w, &p), WU_OK);
  EXPECT_EQ(w, window_);
  EXPECT_EQ(p, bottom_);
  EXPECT_EQ(bottom_->cursor_row, 3);
  EXPECT_EQ(bottom_->cursor_column, 4);
  EXPECT_EQ(wutwd2p(outside, &w, &p), WU_NOTAVAIL);
  EXPECT_EQ(w, nullptr);
  EXPECT_EQ(p, nullptr);

  int32_t count = 0;
  WidgetList list = nullptr;
  spgetesl(bottom_->ext->widget, &count, &list);
  EXPECT_EQ(count, 0);
  QevPaneAddEasel(bottom_->ext->widget, inside);
  spgetesl(bottom_->ext->widget, &count, &list);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(list[0], inside);
  spgetesl(outside, &count, &list);
  EXPECT_EQ(count, -1);
  EXPECT_EQ(list, nullptr);
}

TEST_F(Windows, DisplayUpdateRunsTheReleaseListBackToThePoolBaseline) {
  MakeWindow();
  ASSERT_TRUE(Realise());
  qevhost::PoolStats base = qevhost::poolStats(window_->pool);
  wu_pane_ext *ext = bottom_->ext;
  for (int32_t kind : {WU_MT_BAR, WU_MT_OLD_PUSHBUTTON, WU_MT_LISTVIEW}) {
    auto *c = static_cast<wu_control *>(wutgmem(window_->pool, kind));
    ASSERT_NE(c, nullptr);
    c->kind = kind;
    if (ext->release_last) ext->release_last->next = c;
    else ext->release = c;
    ext->release_last = c;
  }
  EXPECT_GT(qevhost::poolStats(window_->pool).liveBlocks, base.liveBlocks);
  window_->flags |= WU_WIN_RELEASES;
  ASSERT_EQ(wuxuwnd(window_), WU_OK);
  EXPECT_EQ(ext->release, nullptr);
  EXPECT_EQ(ext->release_last, nullptr);
  EXPECT_FALSE(window_->flags & WU_WIN_RELEASES);
  qevhost::PoolStats after = qevhost::poolStats(window_->pool);
  EXPECT_EQ(after.liveBlocks, base.liveBlocks);
  EXPECT_EQ(after.liveBytes, base.liveBytes);
  EXPECT_EQ(after.errors, 0);
}

// The event procedure of the scroll test: keeps what it was handed.
std::vector<std::pair<int32_t, int32_t>> g_scrolls;
int32_t g_event_code = 0;
wu_status RecordScroll(wu_ctl_handle *, wu_ctl_event *record, wu_value *params, int32_t count) {
  g_event_code = record->code;
  // The value is a double, as the catalogue defines type 5.
  if (count == 2 && params[0].type == WU_VT_INT && params[1].type == WU_VT_DOUBLE) {
    double value = 0;
    std::memcpy(&value, &params[1].value, sizeof value);
    g_scrolls.emplace_back(params[0].value, int32_t(value));
    if (double(int32_t(value)) != value) g_scrolls.emplace_back(-1, -1);
  }
  return WU_OK;
}

int BarValue(Widget w) {
  int v = 0;
  XtVaGetValues(w, XmNvalue, &v, nullptr);
  return v;
}

TEST_F(Windows, ScrollReasonsBecomeHostScrollCodes) {
  MakeWindow();
  ASSERT_TRUE(Realise());
  int32_t minimum = 0, maximum = 99, value = 10;
  wu_bar *bar = nullptr;
  ASSERT_EQ(wuxgbar(bottom_, &bar, 1, 0, 0, &minimum, &maximum, &value, 1, 39, 5, 0, 0), WU_OK);
  ASSERT_NE(bar->widget, nullptr);
  EXPECT_TRUE(QevIsSbar(bar->widget));
  EXPECT_EQ(bar->common.kind, WU_MT_BAR2);
  bar->common.procedure = RecordScroll;
  // A click at a place of the bar, with Control held or not; the scroll
  // codes it handed to the host.
  auto click = [&](qevtest::ScrollBarPlace place, bool withControl) {
    g_scrolls.clear();
    int x = 0, y = 0;
    qevtest::scrollBarPlace(bar->widget, place, &x, &y);
    const bool handled =
        qevtest::clickHandledAt(bar->widget, x, y, 1, withControl ? ControlMask : 0);
    std::vector<int32_t> codes;
    for (const auto &s : g_scrolls) codes.push_back(s.first);
    EXPECT_TRUE(handled);
    return codes;
  };
  auto shown = [&] { return BarValue(bar->widget); };
  // Each reported value is the bar's value, and the host's value word follows.
  auto followed = [&] {
    ASSERT_FALSE(g_scrolls.empty());
    EXPECT_EQ(g_scrolls.back().second, shown());
    EXPECT_EQ(value, shown());
  };
  int barMaximum = 0, barSlider = 0;
  XtVaGetValues(bar->widget, XmNmaximum, &barMaximum, XmNsliderSize, &barSlider, nullptr);
  // Arrows and trough clicks, then Control clicks in the trough to the ends.
  const struct {
    qevtest::ScrollBarPlace place;
    bool withControl;
    int32_t code;
    int direction;  // of the value: 1 up, -1 down; 2 the end, -2 the start
  } clicks[] = {
      {qevtest::kEndArrow, false, 2, 1},      {qevtest::kStartArrow, false, 1, -1},
      {qevtest::kTroughAfter, false, 4, 1},   {qevtest::kTroughBefore, false, 3, -1},
      {qevtest::kTroughAfter, true, 6, 2},    {qevtest::kTroughBefore, true, 5, -2},
  };
  for (const auto &k : clicks) {
    const int before = shown();
    EXPECT_EQ(click(k.place, k.withControl), std::vector<int32_t>{k.code}) << k.code;
    followed();
    const int now = shown();
    switch (k.direction) {
      case 1: EXPECT_GT(now, before) << k.code; break;
      case -1: EXPECT_LT(now, before) << k.code; break;
      case 2: EXPECT_EQ(now, barMaximum - barSlider); break;
      default: EXPECT_EQ(now, minimum); break;
    }
  }
  // The slider dragged: drags while it moves, the value changed at the release.
  g_scrolls.clear();
  int sx = 0, sy = 0;
  qevtest::scrollBarPlace(bar->widget, qevtest::kSlider, &sx, &sy);
  ASSERT_TRUE(qevtest::pressHandledAt(bar->widget, sx, sy, 1));
  const bool vertical = qevtest::scrollBarVertical(bar->widget);
  ASSERT_TRUE(qevtest::moveHandled(bar->widget, sx + (vertical ? 0 : 20), sy + (vertical ? 20 : 0)));
  ASSERT_TRUE(qevtest::releaseHandledAt(bar->widget, sx + (vertical ? 0 : 20),
                                        sy + (vertical ? 20 : 0), 1));
  ASSERT_GE(g_scrolls.size(), 2u);
  for (size_t i = 0; i + 1 < g_scrolls.size(); ++i) EXPECT_EQ(g_scrolls[i].first, 8);
  EXPECT_EQ(g_scrolls.back().first, 7);
  followed();
  EXPECT_GT(shown(), minimum);
  EXPECT_EQ(g_event_code, WU_CTLEV_SCROLL);
  // Destroying the widget clears the record's widget word.
  XtDestroyWidget(bar->widget);
  EXPECT_EQ(bar->widget, nullptr);
}

TEST_F(Windows, DropSitesAreRegisteredWithMotif) {
  MakeWindow();
  ASSERT_TRUE(Realise());
  Widget target = XtVaCreateManagedWidget("target", xmPushButtonWidgetClass,
                                          bottom_->ext->widget, XmNx, 0, XmNy, 0, nullptr);
  EXPECT_EQ(wumldnd(target, 0), nullptr);
  ASSERT_EQ(wuwidrg(target, nullptr), WU_OK);
  wu_dnd_site *site = wumldnd(target, 1);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->window, window_);
  EXPECT_EQ(site->drop_proc, wuwhdrp);

  Cardinal targets = 0;
  unsigned char operations = 0;
  XtPointer proc = nullptr;
  Arg args[3];
  XtSetArg(args[0], XmNnumImportTargets, &targets);
  XtSetArg(args[1], XmNdropSiteOperations, &operations);
  XtSetArg(args[2], XmNdropProc, &proc);
  XmDropSiteRetrieve(target, args, 3);
  EXPECT_EQ(targets, 4u);
  EXPECT_EQ(operations, XmDROP_COPY | XmDROP_MOVE | XmDROP_LINK);
  EXPECT_EQ(proc, reinterpret_cast<XtPointer>(wuwhdrp));

  ASSERT_EQ(wumudnd(target), WU_OK);
  EXPECT_EQ(wumldnd(target, 0), nullptr);
  EXPECT_EQ(wumudnd(target), WU_NOTAVAIL);
  // A site dies with its widget.
  ASSERT_NE(wumrdnd(target), nullptr);
  XtDestroyWidget(target);
  Settle();
  EXPECT_EQ(wumldnd(target, 0), nullptr);
}

TEST_F(Windows, ReleasingAWindowGivesItsMemoryBack) {
  qevhost::PoolStats base = qevhost::poolStats(wu_module_pool());
  MakeWindow();
  ASSERT_TRUE(Realise());
  ASSERT_EQ(wuxqwev(window_, 5, nullptr, 0), WU_OK);
  ASSERT_EQ(wuxfwnd(window_), WU_OK);
  window_ = nullptr;
  EXPECT_EQ(wutcqev(nullptr), 0);
  qevhost::PoolStats after = qevhost::poolStats(wu_module_pool());
  EXPECT_EQ(after.liveBlocks, base.liveBlocks);
  EXPECT_EQ(after.errors, 0);
}

}  // namespace
