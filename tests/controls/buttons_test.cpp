// The button kinds of host dialogs (push button, desktop icon, check box,
// radio box) and the control tool tips, driven through slot 141, the
// services vector and input on the X server.
#include "ctlfixture.h"
#include "child.h"
#include "widgettext.h"
#include "frames/wuframes.h"
#include "frames/wutframe.h"
#include "controls/wubutton.h"
#include "runtime/wutoolkit.h"

#include <X11/ShellP.h>
#include <Xm/Frame.h>
#include <Xm/PrimitiveP.h>
#include <Xm/ToggleB.h>
#include <X11/extensions/XTest.h>

namespace {

class Buttons : public Controls {
 protected:
  // The host's event loop runs before it closes the window, as it does.
  void TearDown() override {
    Settle();
    Controls::TearDown();
  }
  wu_status Set(wu_ctl_handle *h, std::vector<wu_value> &v) {
    return h->services->swat(h->control, v.data(), int32_t(v.size()));
  }
  int32_t Query(wu_ctl_handle *h, int16_t code, wu_status *status = nullptr) {
    wu_value v = Int(code, 0);
    h->services->qwat(h->control, &v, 1);
    if (status) *status = v.status;
    return v.value;
  }
  std::vector<Widget> Kids(Widget w) {
    WidgetList kids = nullptr;
    Cardinal n = 0;
    XtVaGetValues(w, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
    return std::vector<Widget>(kids, kids + n);
  }
  void Turn(int ms) { qevtest::turnUntil([] { return false; }, ms); }
};

std::pair<int, int> Extent(const char *text) {
  XmString s = XmStringCreateLocalized(const_cast<char *>(text));
  Dimension w = 0, h = 0;
  XmStringExtent(devb->font_list, s, &w, &h);
  XmStringFree(s);
  return {w, h};
}

wu_value Flag(int16_t code, int32_t on) {
  wu_value v = Int(code, on);
  v.type = WU_VT_BOOL;
  return v;
}

// ---- push button ---------------------------------------------------------------

TEST_F(Buttons, PushButtonTakesItsNaturalSizeInEachStyle) {
  wu_ctl_handle *h = Create(WU_CTYPE_PUSH, {Text(WU_A_TEXT, "  Hello  ")});
  ASSERT_NE(h, nullptr);
  Widget w = W(h);
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(XtName(w), "QEVIcon");
  const auto [lw, lh] = Extent("Hello");
  const int m = 2 * 2;  // shadow on both sides, no highlight
  struct { int style, width, height; } cases[] = {
      {0, lw + m, lh + m},
      {1, 24 + m, 24 + m},
      {2, 24 + lw + 2 + m, std::max(24, lh) + m},
      {3, std::max(24, lw) + m, 24 + lh + 2 + m},
  };
  for (auto k : cases) {
    std::vector<wu_value> v = {Int(WU_A_STYLE, k.style), Flag(WU_A_CONFORMSIZE, 1)};
    EXPECT_EQ(Set(h, v), WU_OK) << k.style;
    EXPECT_EQ(Query(h, WU_A_WIDTH), k.width) << "style " << k.style;
    EXPECT_EQ(Query(h, WU_A_HEIGHT), k.height) << "style " << k.style;
    EXPECT_EQ(Query(h, WU_A_STYLE), k.style);
  }
  // conformSize holds the size: the current width passes, another does not.
  std::vector<wu_value> same = {Int(WU_A_WIDTH, Query(h, WU_A_WIDTH))};
  EXPECT_EQ(Set(h, same), WU_OK);
  std::vector<wu_value> other = {Int(WU_A_WIDTH, 300)};
  EXPECT_EQ(Set(h, other), WU_ENTRY_STATUS);
  EXPECT_EQ(other[0].status, WU_E_SIZE_FIXED);
}

TEST_F(Buttons, PushButtonRefusesBadHostValues) {
  wu_ctl_handle *h = Create(WU_CTYPE_PUSH);
  wu_value style = Int(WU_A_STYLE, 4);
  wu_value icon = Int(WU_A_ICON, -3);
  wu_value text = Text(WU_A_TEXT, "x");
  text.value = -1;
  wu_value null_text = Text(WU_A_TEXT, "x");
  null_text.pointer = nullptr;
  wu_value wrong_type = Text(WU_A_STYLE, "2");
  wu_value orient = Flag(WU_A_TEXTORIENT, 1);
  std::vector<wu_value> v = {style, icon, text, null_text, wrong_type, orient};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(v[size_t(i)].status, WU_E_RANGE) << i;
  // Codes this kind does not list are not handled; the listed unsupported
  // ones are not supported.
  EXPECT_EQ(v[5].status, WU_E_NOT_HANDLED);
  EXPECT_EQ(Query(h, WU_A_STYLE), 0);
  for (int16_t code : {WU_A_BACKGROUND, WU_A_TEXTORIENT}) {
    wu_status st = WU_OK;
    Query(h, code, &st);
    EXPECT_EQ(st, WU_E_NOT_HANDLED) << code;
  }
  for (int16_t code : {WU_A_FOREGROUND, WU_A_HELPTEXT}) {
    wu_value q = Int(code, 0);
    q.type = code == WU_A_FOREGROUND ? WU_VT_WORD : WU_VT_STRING;
    h->services->qwat(h->control, &q, 1);
    EXPECT_EQ(q.status, WU_UNSUPPORTED) << code;
    std::vector<wu_value> set = {q};
    set[0].status = WU_OK;
    Set(h, set);
    EXPECT_EQ(set[0].status, WU_UNSUPPORTED) << code;
  }
  // Labels: the first "&" goes from the shown text, long texts are cut.
  std::string longer(300, 'a');
  std::vector<wu_value> l = {Text(WU_A_TEXT, longer.c_str())};
  EXPECT_EQ(Set(h, l), WU_OK);
  EXPECT_EQ(Query(h, WU_A_TEXT), 257);
  std::vector<wu_value> amp = {Text(WU_A_TEXT, "&Save&As")};
  EXPECT_EQ(Set(h, amp), WU_OK);
  wu_value q = Int(WU_A_TEXT, 0);
  h->services->qwat(h->control, &q, 1);
  EXPECT_EQ(std::string(static_cast<char *>(q.pointer), size_t(q.value)), "&Save&As");
}

TEST_F(Buttons, PushButtonDrawsInContrastWhenColoursAreEqual) {
  wu_ctl_handle *h = Create(WU_CTYPE_PUSH, {Text(WU_A_TEXT, "MMMM"), Int(WU_A_WIDTH, 120),
                                            Int(WU_A_HEIGHT, 40)});
  Widget w = W(h);
  Display *d = devb->display;
  const Pixel white = WhitePixel(d, devb->screen), black = BlackPixel(d, devb->screen);
  for (Pixel both : {white, black}) {
    XtVaSetValues(w, XmNforeground, both, XmNbackground, both, nullptr);
    XClearArea(d, XtWindow(w), 0, 0, 0, 0, True);
    Settle();
    int ink = 0;
    XImage *img = XGetImage(d, XtWindow(w), 4, 4, 112, 32, AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    const Pixel expect = both == white ? black : white;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 112; ++x)
        if ((XGetPixel(img, x, y) & 0xffffff) == (expect & 0xffffff)) ++ink;
    XDestroyImage(img);
    EXPECT_GT(ink, 10) << "background " << both;
  }
}

// Pixels of `colour` in a widget's window (its margins left out).
int Ink(Widget w, Pixel colour) {
  Display *d = XtDisplay(w);
  const int width = w->core.width - 8, height = w->core.height - 8;
  XImage *img = XGetImage(d, XtWindow(w), 4, 4, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
  if (img == nullptr) return -1;
  int ink = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if ((XGetPixel(img, x, y) & 0xffffff) == (colour & 0xffffff)) ++ink;
  XDestroyImage(img);
  return ink;
}

// The window system stopped and started again: push buttons made on the
// new connection draw their labels with what that connection made.
TEST_F(Buttons, PushButtonsDrawAfterTheWindowSystemStartsAgain) {
  for (int start = 0; start < 2; ++start) {
    if (start > 0) {
      wuxfwnd(window_);
      window_ = nullptr;
      qevtest::stopModule();
      std::string why;
      ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
      ASSERT_EQ(wuxgwnd(&window_, 1, 0), WU_OK);
      ASSERT_EQ(wuxgpan(window_, &pane_, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
      ASSERT_EQ(wuxiwnd(window_), WU_OK);
      Settle();
    }
    wu_ctl_handle *h = Create(WU_CTYPE_PUSH, {Text(WU_A_TEXT, "MMMM"), Int(WU_A_WIDTH, 120),
                                              Int(WU_A_HEIGHT, 40)});
    Widget w = W(h);
    ASSERT_NE(w, nullptr);
    const Pixel fg = reinterpret_cast<XmPrimitiveWidget>(w)->primitive.foreground;
    XClearArea(devb->display, XtWindow(w), 0, 0, 0, 0, True);
    Settle();
    EXPECT_GT(Ink(w, fg), 10) << "start " << start;
    EXPECT_EQ(h->services->wdes(h), WU_OK);
    Settle();
  }
}

TEST_F(Buttons, PushButtonClickPostsOrQueuesAndIsRecorded) {
  std::vector<int32_t> click = {WU_EV_SELECT};
  wu_ctl_handle *h = Create(WU_CTYPE_PUSH, {Text(WU_A_TEXT, "Go"), Int(WU_A_HPOS, 10),
                                            Int(WU_A_VPOS, 10), List(WU_A_EVENTS, click)});
  Widget w = W(h);
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  Events();
  Queued();
  qevtest::clickWidget(w);
  Settle();
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_SELECT);
  EXPECT_GE(ev[0].record.x, 10);
  // Without the click bit the press is the window's module event 1028.
  std::vector<int32_t> none = {WU_EV_POPUP};
  std::vector<wu_value> v = {List(WU_A_EVENTS, none)};
  Set(h, v);
  qevtest::clickWidget(w);
  Settle();
  EXPECT_TRUE(Events().empty());
  std::vector<int32_t> q = Queued();
  EXPECT_NE(std::find(q.begin(), q.end(), WU_EV_OLD_PRESSED), q.end());
  std::vector<qevhost::Recording> rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), 2u);
  wu_batch_event r[2];
  for (int i = 0; i < 2; ++i) std::memcpy(&r[i], rec[size_t(i)].record.data(), sizeof r[i]);
  EXPECT_EQ(r[0].sent, 1);
  EXPECT_EQ(r[1].sent, 0);  // only queued
  qevhost::removeBatchDriver(qevhost::mainTask());
  // Replay posts only what was sent.
  r[0].sent = 0;
  EXPECT_EQ(h->services->rbat(h, &r[0]), WU_OK);
  r[0].sent = 1;
  EXPECT_EQ(h->services->rbat(h, &r[0]), WU_OK);
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_SELECT});
  wu_batch_event odd = {};
  odd.code = WU_EV_SCROLL;
  EXPECT_EQ(h->services->rbat(h, &odd), WU_NOTAVAIL);
}

// ---- desktop icon --------------------------------------------------------------

TEST_F(Buttons, DesktopIconMapsItsStylesAndOpensOnDoubleClick) {
  wu_value style = Int(WU_A_STYLE, 0);
  wu_ctl_handle *h = Create(WU_CTYPE_DESKICON, {Text(WU_A_TEXT, "Doc"), style});
  // 48 by 48 until it conforms to its content.
  EXPECT_EQ(Query(h, WU_A_WIDTH), 48);
  std::vector<wu_value> conform = {Flag(WU_A_CONFORMSIZE, 1)};
  EXPECT_EQ(Set(h, conform), WU_OK);
  ASSERT_NE(h, nullptr);
  Widget w = W(h);
  EXPECT_EQ(Query(h, WU_A_STYLE), 0);
  const auto [lw, lh] = Extent("Doc");
  // Style 0 is the icon (48 pixels) beside the label; no frame.
  EXPECT_GE(Query(h, WU_A_WIDTH), 48 + lw + 2);
  std::vector<wu_value> v = {Int(WU_A_STYLE, 1)};
  EXPECT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(v[0].value, 1);  // the host's entry stays as given
  EXPECT_EQ(Query(h, WU_A_STYLE), 1);
  EXPECT_GE(Query(h, WU_A_HEIGHT), 48 + lh + 2);
  // Other styles pass to the button as they are: its style 2 (beside)
  // reads back as the icon's 0; a style no button has is refused.
  std::vector<wu_value> other = {Int(WU_A_STYLE, 2)};
  EXPECT_EQ(Set(h, other), WU_OK);
  EXPECT_EQ(other[0].status, WU_OK);
  EXPECT_EQ(Query(h, WU_A_STYLE), 0);
  std::vector<wu_value> bad = {Int(WU_A_STYLE, 7)};
  EXPECT_EQ(Set(h, bad), WU_ENTRY_STATUS);
  EXPECT_EQ(bad[0].status, WU_E_RANGE);
  std::vector<wu_value> orient = {Flag(WU_A_TEXTORIENT, 1)};
  EXPECT_EQ(Set(h, orient), WU_ENTRY_STATUS);
  EXPECT_EQ(orient[0].status, WU_E_NOT_HANDLED);
  Settle();
  Events();
  // A single click sends nothing; a double click opens it.
  qevtest::clickWidget(w);
  Settle();
  EXPECT_TRUE(Events().empty());
  ASSERT_TRUE(DoubleClick(w, 1000));
  Settle();
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_DOUBLECLICK});
}

// A colour entry: three 16-bit components, or none for the window's colour.
wu_value Colour(int16_t code, uint16_t *rgb) {
  wu_value v = {};
  v.code = code;
  v.type = WU_VT_WORD;
  v.value = rgb != nullptr ? 1 : 0;
  v.pointer = rgb;
  return v;
}

// The icon's label and background colours are its own; the shadows follow
// the background, and a colour given back returns to the window's.
TEST_F(Buttons, DesktopIconColoursAndTheirShadows) {
  wu_ctl_handle *h = Create(WU_CTYPE_DESKICON, {Text(WU_A_TEXT, "Doc")});
  ASSERT_NE(h, nullptr);
  Widget w = W(h);
  uint16_t red[3] = {0xffff, 0, 0}, blue[3] = {0, 0, 0xffff};
  std::vector<wu_value> v = {Colour(WU_A_BACKGROUND, red), Colour(WU_A_FOREGROUND, blue)};
  EXPECT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(v[0].status, WU_OK);
  EXPECT_EQ(v[1].status, WU_OK);
  Pixel bg = 0, fg = 0, top = 0, bottom = 0;
  XtVaGetValues(w, XmNbackground, &bg, XmNforeground, &fg, XmNtopShadowColor, &top,
                XmNbottomShadowColor, &bottom, nullptr);
  EXPECT_EQ(bg, h->control->background->pixel);
  EXPECT_EQ(fg, h->control->foreground->pixel);
  EXPECT_EQ(top, bg);
  EXPECT_EQ(bottom, bg);
  EXPECT_EQ(qevtest::pixelAt(devb->display, XtWindow(w), 1, 1), 0xff0000ul);
  wu_status st = WU_OK;
  wu_value q = Int(WU_A_BACKGROUND, 0);
  st = h->services->qwat(h->control, &q, 1);
  EXPECT_EQ(q.status, WU_ALLOCATED);
  ASSERT_NE(q.pointer, nullptr);
  EXPECT_EQ(static_cast<uint16_t *>(q.pointer)[0], 0xffff);
  h->services->clen(h, &q, 1);
  (void)st;
  std::vector<wu_value> back = {Colour(WU_A_BACKGROUND, nullptr)};
  EXPECT_EQ(Set(h, back), WU_OK);
  EXPECT_EQ(h->control->background, nullptr);
  XtVaGetValues(w, XmNbackground, &bg, XmNtopShadowColor, &top, nullptr);
  EXPECT_EQ(top, bg);
  EXPECT_NE(bg, Pixel(0xff0000));
}

// A desktop icon's picture is made once for the display connection: the
// icon store keeps it when the icon and its window go, the next window's
// icon shows the same pixmap (no colours allocated again), and a new
// connection starts with an empty store.
TEST_F(Buttons, DesktopIconPictureServesEveryWindowOfTheConnection) {
  auto picture = [](wu_ctl_handle *h) { return reinterpret_cast<wubtn::PushButton *>(h->control)->pixmap; };
  wu_window *first = nullptr;
  wu_pane *pane = nullptr;
  ASSERT_EQ(wuxgwnd(&first, 1, 0), WU_OK);
  ASSERT_EQ(wuxgpan(first, &pane, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
  std::vector<wu_value> entries = {Text(WU_A_TEXT, "Report")};
  wu_ctl_handle *h = nullptr;
  ASSERT_EQ(crea_(&h, pane, nullptr, WU_CTYPE_DESKICON, entries.data(), 1, HostProc), WU_OK);
  Settle();
  const Pixmap made = picture(h);
  ASSERT_NE(made, Pixmap(None));
  const int32_t icons = devb->icon_count;
  ASSERT_EQ(wuxfwnd(first), WU_OK);
  Settle();
  EXPECT_EQ(wutrpix(made), 1);  // the store's own
  Window root;
  int x, y;
  unsigned width = 0, height = 0, border, depth;
  EXPECT_TRUE(XGetGeometry(devb->display, made, &root, &x, &y, &width, &height, &border, &depth));
  EXPECT_EQ(width, 48u);
  // The next window's icons show it as it stands.
  wu_ctl_handle *again = Create(WU_CTYPE_DESKICON, {Text(WU_A_TEXT, "Again")});
  wu_ctl_handle *third = Create(WU_CTYPE_DESKICON, {Text(WU_A_TEXT, "Third"), Int(WU_A_HPOS, 60)});
  ASSERT_TRUE(again != nullptr && third != nullptr);
  EXPECT_EQ(picture(again), made);
  EXPECT_EQ(picture(third), made);
  EXPECT_EQ(devb->icon_count, icons);
  EXPECT_EQ(wutrpix(made), 3);
  ASSERT_EQ(again->services->wdes(again), WU_OK);
  ASSERT_EQ(third->services->wdes(third), WU_OK);
  EXPECT_EQ(wutrpix(made), 1);
  // Stopped and started again, the window system has an empty store.
  wuxuwnd(window_);
  wuxfwnd(window_);
  window_ = nullptr;
  qevtest::stopModule();
  std::string why;
  ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
  EXPECT_EQ(devb->icon_count, 0);
  ASSERT_EQ(wuxgwnd(&window_, 1, 0), WU_OK);
  ASSERT_EQ(wuxgpan(window_, &pane_, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
  wu_ctl_handle *fresh = Create(WU_CTYPE_DESKICON, {Text(WU_A_TEXT, "Fresh")});
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(wutrpix(picture(fresh)), 2);
  EXPECT_EQ(devb->icon_count, 1);
}

// A new icon is drawn once: its window gets one exposure, also when it
// is made with its own colours and a frame-free shadow.
Bool CountExposure(Display *, XEvent *e, XPointer arg) {
  auto *seen = reinterpret_cast<std::pair<Window, int> *>(arg);
  if (e->type == Expose && e->xexpose.window == seen->first && e->xexpose.count == 0) ++seen->second;
  return False;  // looked at, left in the queue
}

TEST_F(Buttons, NewDesktopIconIsExposedOnce) {
  uint16_t red[3] = {0xffff, 0, 0};
  const wu_value bg = Colour(WU_A_BACKGROUND, red);
  for (bool coloured : {false, true}) {
    SCOPED_TRACE(coloured ? "own background" : "window colours");
    std::vector<wu_value> entries = {Text(WU_A_TEXT, "Doc"), Int(WU_A_HPOS, 5), Int(WU_A_VPOS, 5)};
    if (coloured) entries.push_back(bg);
    wu_ctl_handle *h = nullptr;
    ASSERT_EQ(crea_(&h, pane_, nullptr, WU_CTYPE_DESKICON, entries.data(), int32_t(entries.size()),
                    HostProc),
              WU_OK);
    Widget w = W(h);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(XtIsRealized(w));
    // Every exposure the creation caused is in the queue after a round trip.
    XSync(devb->display, False);
    std::pair<Window, int> seen = {XtWindow(w), 0};
    XEvent e;
    XCheckIfEvent(devb->display, &e, CountExposure, reinterpret_cast<XPointer>(&seen));
    EXPECT_EQ(seen.second, 1);
    Settle();
    Dimension shadow = 1;
    XtVaGetValues(w, XmNshadowThickness, &shadow, nullptr);
    EXPECT_EQ(shadow, 0);
    if (coloured) {
      EXPECT_EQ(qevtest::pixelAt(devb->display, XtWindow(w), 1, 1), 0xff0000ul);
    }
    EXPECT_EQ(h->services->wdes(h), WU_OK);
    Settle();
  }
}

// ---- check box -------------------------------------------------------------------

TEST_F(Buttons, CheckBoxClicksReplayAndState) {
  wu_ctl_handle *h = Create(WU_CTYPE_CHECK, {Text(WU_A_TEXT, "&Bold"), Flag(WU_A_SELECTED, 1),
                                             Int(WU_A_HPOS, 5), Int(WU_A_VPOS, 5)});
  Widget w = W(h);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(XmToggleButtonGetState(w));  // set before the widget existed
  Dimension ind = 0;
  XtVaGetValues(w, XmNindicatorSize, &ind, nullptr);
  EXPECT_EQ(int(ind), Extent("M").first);
  Events();
  qevtest::clickWidget(w);
  Settle();
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_SELECT);
  ASSERT_EQ(ev[0].params.size(), 1u);
  EXPECT_EQ(ev[0].params[0].value, 0);
  EXPECT_EQ(Query(h, WU_A_SELECTED), 0);
  // Tab and Shift-Tab, typed with the box holding the keyboard the host gave
  // it, tell the window of the next and previous field.
  ASSERT_EQ(h->services->focs(h), WU_OK);
  Settle();
  Queued();
  qevtest::pressKey(devb->display, XK_Tab);
  Settle();
  const KeyCode shift = XKeysymToKeycode(devb->display, XK_Shift_L);
  XTestFakeKeyEvent(devb->display, shift, True, CurrentTime);
  qevtest::pressKey(devb->display, XK_Tab);
  XTestFakeKeyEvent(devb->display, shift, False, CurrentTime);
  Settle();
  EXPECT_EQ(Queued(), (std::vector<int32_t>{WU_EV_NEXT_FIELD, WU_EV_PREV_FIELD}));
  // Replay: every recorded click toggles and is reported with the new state,
  // whatever value it recorded.
  const bool before = XmToggleButtonGetState(w);
  wu_batch_event r = {};
  r.code = WU_EV_SELECT;
  r.value1 = 1;
  EXPECT_EQ(h->services->rbat(h, &r), WU_OK);
  EXPECT_NE(XmToggleButtonGetState(w), before);
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].params[0].value, before ? 0 : 1);
  EXPECT_EQ(Query(h, WU_A_SELECTED), before ? 0 : 1);
  r.value1 = 7;
  EXPECT_EQ(h->services->rbat(h, &r), WU_OK);
  EXPECT_EQ(XmToggleButtonGetState(w), before);
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].params[0].value, before ? 1 : 0);
  // Without the click bit a click posts nothing.
  std::vector<int32_t> none = {WU_EV_POPUP};
  std::vector<wu_value> v = {List(WU_A_EVENTS, none)};
  Set(h, v);
  qevtest::clickWidget(w);
  Settle();
  EXPECT_TRUE(Events().empty());
  EXPECT_EQ(Query(h, WU_A_SELECTED), 1);
  // Colours: none of its own answers 0; one set is answered and shown.
  wu_status st = 1;
  EXPECT_EQ(Query(h, WU_A_FOREGROUND, &st), 0);
  EXPECT_EQ(st, WU_OK);
  uint16_t red[3] = {0xffff, 0, 0};
  wu_value fg = {};
  fg.code = WU_A_FOREGROUND;
  fg.type = WU_VT_WORD;
  fg.value = 1;
  fg.pointer = red;
  std::vector<wu_value> cv = {fg};
  EXPECT_EQ(Set(h, cv), WU_OK);
  Pixel shown = 0;
  XtVaGetValues(w, XmNforeground, &shown, nullptr);
  EXPECT_EQ(shown & 0xffffff, 0xff0000u);
}

// ---- radio box -------------------------------------------------------------------

std::vector<wu_str_item> Items(std::initializer_list<const char *> texts) {
  std::vector<wu_str_item> out;
  for (const char *t : texts) out.push_back({int32_t(std::strlen(t)), 0, t});
  return out;
}

wu_value ItemList(std::vector<wu_str_item> &items) {
  wu_value v = {};
  v.code = WU_A_ITEMS;
  v.type = WU_VT_STRLIST;
  v.value = int32_t(items.size());
  v.pointer = items.data();
  return v;
}

TEST_F(Buttons, RadioBoxLaysOutColumnsAndRows) {
  std::vector<wu_str_item> items = Items({"One", "Two", "Three", "Four", "Five"});
  wu_ctl_handle *h = Create(WU_CTYPE_RADIO, {Flag(WU_A_BORDERSTYLE, 0), Int(WU_A_HEIGHT, 60),
                                             Int(WU_A_WIDTH, 300), ItemList(items)});
  ASSERT_NE(h, nullptr);
  Widget area = W(h);
  EXPECT_STREQ(XtName(area), "RadioBox");
  std::vector<Widget> t = Kids(area);
  ASSERT_EQ(t.size(), 5u);
  // A new column starts where a toggle would reach the bottom.
  for (size_t i = 0; i < t.size(); ++i) EXPECT_LE(t[i]->core.y + 6, 60) << i;
  EXPECT_EQ(t[0]->core.y, 3);
  int columns = 1;
  for (size_t i = 1; i < t.size(); ++i)
    if (t[i]->core.x > t[i - 1]->core.x) {
      ++columns;
      EXPECT_EQ(t[i]->core.y, 3);
    }
  EXPECT_GE(columns, 2);
  // Horizontal: side by side, a new row when the width is used up.
  std::vector<wu_value> v = {Int(WU_A_ORIENTATION, 0)};
  EXPECT_EQ(Set(h, v), WU_OK);
  t = Kids(area);
  ASSERT_EQ(t.size(), 5u);
  EXPECT_EQ(t[1]->core.y, t[0]->core.y);
  EXPECT_GT(t[1]->core.x, t[0]->core.x);
  // Its own title is refused without a frame; a frame is for creation only.
  std::vector<wu_value> title = {Text(WU_A_TITLE, "T"), Flag(WU_A_BORDERSTYLE, 1)};
  EXPECT_EQ(Set(h, title), WU_ENTRY_STATUS);
  EXPECT_EQ(title[0].status, WU_E_SIZE_FIXED);
  EXPECT_EQ(title[1].status, WU_E_CREATE_ONLY);
}

// A titled box without a title shows its frame alone and holds no widget
// for a title; one set later stands in the frame above the toggles, and an
// empty one takes it away again.
TEST_F(Buttons, RadioBoxTitleComesAndGoes) {
  std::vector<wu_str_item> items = Items({"Red", "Green"});
  wu_ctl_handle *h = Create(WU_CTYPE_RADIO, {Int(WU_A_HEIGHT, 120), Int(WU_A_WIDTH, 200),
                                             ItemList(items)});
  ASSERT_NE(h, nullptr);
  Widget area = W(h);
  Widget frame = XtParent(area);
  ASSERT_TRUE(XmIsFrame(frame));
  EXPECT_EQ(Kids(frame), std::vector<Widget>{area});
  const Position bare = area->core.y;
  std::vector<wu_value> v = {Text(WU_A_TITLE, "Colour")};
  EXPECT_EQ(Set(h, v), WU_OK);
  Settle();
  Widget title = XtNameToWidget(frame, "rbox");
  ASSERT_NE(title, nullptr);
  EXPECT_TRUE(XtIsManaged(title) && XtIsRealized(title));
  EXPECT_EQ(qevtest::xmStringResource(title, XmNlabelString), "Colour");
  EXPECT_GT(area->core.y, bare);
  EXPECT_EQ(Kids(area).size(), 2u);
  v = {Text(WU_A_TITLE, "")};
  EXPECT_EQ(Set(h, v), WU_OK);
  Settle();
  EXPECT_FALSE(XtIsManaged(title));
  EXPECT_EQ(area->core.y, bare);
}

TEST_F(Buttons, RadioBoxChoiceKeysReplayAndTexts) {
  std::vector<wu_str_item> items = Items({"Red", "Green", "Blue"});
  wu_ctl_handle *h = Create(WU_CTYPE_RADIO, {Text(WU_A_TITLE, "Colour"), Int(WU_A_HEIGHT, 120),
                                             Int(WU_A_WIDTH, 200), ItemList(items),
                                             Int(WU_A_SELECTEDINDEX, 2)});
  Widget area = W(h);
  std::vector<Widget> t = Kids(area);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_TRUE(XmToggleButtonGetState(t[1]));
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX), 2);
  Events();
  // Pressing the set toggle keeps it set and still sends its index.
  qevtest::clickWidget(t[1]);
  qevtest::clickWidget(t[2]);
  Settle();
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].params[0].value, 2);
  EXPECT_EQ(ev[1].params[0].value, 3);
  EXPECT_FALSE(XmToggleButtonGetState(t[1]));
  EXPECT_TRUE(XmToggleButtonGetState(t[2]));
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX), 3);
  // The box takes the focus on its set toggle, where Return presses it
  // (sending its index again); arrows wrap among the toggles.
  EXPECT_EQ(h->services->focs(h), WU_OK);
  EXPECT_EQ(XtGetKeyboardFocusWidget(area), t[2]);
  Events();
  ASSERT_TRUE(qevtest::keyHandled(devb->display, XK_Return));
  Settle();
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].params[0].value, 3);
  EXPECT_TRUE(XmToggleButtonGetState(t[2]));
  Focus(t[0]);
  ASSERT_EQ(XtGetKeyboardFocusWidget(area), t[0]);
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_SELECT});  // the click chose it
  Key(nullptr, XK_Up);
  EXPECT_EQ(XtGetKeyboardFocusWidget(area), t[2]);
  Key(nullptr, XK_Down);
  EXPECT_EQ(XtGetKeyboardFocusWidget(area), t[0]);
  // Selection 0 leaves none; beyond the count is refused.
  std::vector<wu_value> v = {Int(WU_A_SELECTEDINDEX, 0), Int(WU_A_SELECTEDINDEX, 4),
                             Int(WU_A_SELECTEDINDEX, -1)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_OK);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  EXPECT_EQ(v[2].status, WU_E_RANGE);
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX), 0);
  // Replay within 0..count; beyond it nothing changes.
  wu_batch_event r = {};
  r.code = WU_EV_SELECT;
  r.value1 = 1;
  r.sent = 1;
  EXPECT_EQ(h->services->rbat(h, &r), WU_OK);
  EXPECT_TRUE(XmToggleButtonGetState(t[0]));
  r.value1 = 9;
  EXPECT_EQ(h->services->rbat(h, &r), WU_E_RANGE);
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX), 1);
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_SELECT});
  // _getText answers a row; too few parameters are refused.
  wu_value p[2] = {Int(0, 3), {}};
  EXPECT_EQ(h->services->meth(h, WU_M_GETTEXT, p, 2), WU_ENTRY_STATUS);
  EXPECT_EQ(std::string(static_cast<char *>(p[1].pointer), size_t(p[1].value)), "Blue");
  EXPECT_EQ(h->services->meth(h, WU_M_GETTEXT, p, 1), WU_NOTAVAIL);
  h->services->clen(h, p, 2);
  EXPECT_EQ(p[1].pointer, nullptr);
  // Items and title come back as copies the host gives back.
  wu_value q[2] = {Int(WU_A_ITEMS, 0), Int(WU_A_TITLE, 0)};
  EXPECT_EQ(h->services->qwat(h->control, q, 2), WU_ENTRY_STATUS);
  ASSERT_EQ(q[0].value, 3);
  EXPECT_EQ(std::string(static_cast<wu_str_item *>(q[0].pointer)[1].text), "Green");
  EXPECT_EQ(std::string(static_cast<char *>(q[1].pointer), size_t(q[1].value)), "Colour");
  h->services->clen(h, q, 2);
  EXPECT_EQ(q[0].status, WU_OK);
}

// ---- radio box drag ---------------------------------------------------------------

// Button 2 on a radio box: nothing without formats to drag, a drag with
// them.  Motif runs a drag in a loop of its own, so what the user does
// during it comes from a time-out.  The case runs in a child with an alarm:
// a press that loses its way can hang the application.
struct DuringDrag {
  Display *dpy;
  KeySym key;             // pressed during the drag; NoSymbol: the button is let go
  bool dragging = false;  // the module's drag flag, seen during the drag
  bool ended = false;     // the key or release went out
};

// Presses button 2 at (x, y) of `w`, or at its middle.
void PressButton2(Widget w, int at_x = -1, int at_y = -1) {
  Display *d = XtDisplay(w);
  int x = 0, y = 0;
  qevtest::rootPoint(w, at_x >= 0 ? at_x : w->core.width / 2, at_y >= 0 ? at_y : w->core.height / 2, &x,
                     &y);
  XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(d, 2, True, CurrentTime);
  XFlush(d);
}

// Runs while button 2 is down (inside the drag, if one started): notes
// whether the module is dragging, then lets go of the button, after a key
// or a move.
void LetGo(DuringDrag *at) {
  at->dragging = (devb->flags & WU_DEV_DRAGGING) != 0;
  if (at->key != NoSymbol) {
    qevtest::pressKey(at->dpy, at->key);
  } else {
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(at->dpy, DefaultRootWindow(at->dpy), &root, &child, &rx, &ry, &wx, &wy, &mask);
    XTestFakeMotionEvent(at->dpy, -1, rx + 30, ry + 30, CurrentTime);
  }
  XTestFakeButtonEvent(at->dpy, 2, False, CurrentTime);
  XFlush(at->dpy);
  at->ended = true;
}

class RadioDragInChild : public Buttons {
 public:
  void TestBody() override {}
  void Run();

  // Button 2 pressed and let go on `where` of the box does nothing: no
  // event, no drag, no change of the choice; a click of button 1 on the
  // toggle `w` after it chooses as always.
  void NothingOnButton2(wu_ctl_handle *h, Widget where, int x, int y, Widget w, int32_t index) {
    Events();
    const int32_t before = Query(h, WU_A_SELECTEDINDEX);
    // The user lets go of the button while the application runs on.
    // Once the press has been handled.
    DuringDrag at = {devb->display, NoSymbol};
    qevtest::Script s;
    s.then("button 2 let go", [&at] { LetGo(&at); });
    s.ending([] { XTestFakeButtonEvent(devb->display, 2, False, CurrentTime); });
    s.start();
    PressButton2(where, x, y);
    ASSERT_TRUE(qevtest::turnUntil([&] { return s.finished() || s.failed(); }, 15000));
    s.stop();
    ASSERT_TRUE(at.ended);
    Settle();
    EXPECT_FALSE(at.dragging);
    EXPECT_TRUE(Events().empty());
    EXPECT_FALSE(devb->flags & WU_DEV_DRAGGING);
    EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX), before);
    qevtest::clickWidget(w);
    Settle();
    std::vector<Posted> ev = Events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].code, WU_EV_SELECT);
    EXPECT_EQ(ev[0].params[0].value, index);
    EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX), index);
  }

  // Button 2 on `w` starts a drag that the user ends with `key` or, with
  // NoSymbol, by letting go of the button; after it the box chooses on a
  // click as always.
  void DragOnButton2(Widget w, int32_t index, KeySym key) {
    Events();
    // Once the drag runs.
    DuringDrag at = {devb->display, key};
    qevtest::Script s;
    s.then("the drag ended", [] { return (devb->flags & WU_DEV_DRAGGING) != 0; }, [&at] { LetGo(&at); });
    s.ending([] {
      qevtest::pressKey(devb->display, XK_Escape);
      XTestFakeButtonEvent(devb->display, 2, False, CurrentTime);
    });
    s.start();
    PressButton2(w);
    ASSERT_TRUE(qevtest::turnUntil([&] { return (s.finished() && !(devb->flags & WU_DEV_DRAGGING)) || s.failed(); },
                                   15000));
    s.stop();
    ASSERT_TRUE(at.ended);
    Settle();
    EXPECT_TRUE(at.dragging);
    EXPECT_FALSE(devb->flags & WU_DEV_DRAGGING);
    EXPECT_TRUE(Events().empty());
    qevtest::clickWidget(w);
    Settle();
    std::vector<Posted> ev = Events();
    ASSERT_EQ(ev.size(), 1u);
    EXPECT_EQ(ev[0].params[0].value, index);
  }
};

void RadioDragInChild::Run() {
  SetUp();
  std::vector<wu_str_item> items = Items({"Red", "Green", "Blue"});
  std::vector<int32_t> click = {WU_EV_SELECT};
  wu_ctl_handle *h = Create(WU_CTYPE_RADIO, {Text(WU_A_TITLE, "Colour"), Int(WU_A_HPOS, 10),
                                             Int(WU_A_VPOS, 10), Int(WU_A_HEIGHT, 120),
                                             Int(WU_A_WIDTH, 200), ItemList(items),
                                             List(WU_A_EVENTS, click)});
  ASSERT_NE(h, nullptr);
  Widget area = W(h);
  std::vector<Widget> t = Kids(area);
  ASSERT_EQ(t.size(), 3u);
  // The box's parts: a toggle, the area below the toggles, the title.
  Widget title = XtNameToWidget(XtParent(XtParent(area)), "*rbox");
  ASSERT_NE(title, nullptr);
  ASSERT_GT(int(area->core.height), t[2]->core.y + t[2]->core.height + 4);
  struct Part {
    const char *name;
    Widget w;
    int x, y;
  } parts[] = {{"a toggle", t[0], -1, -1},
               {"below the toggles", area, 4, area->core.height - 3},
               {"the title", title, 2, -1}};
  for (const Part &p : parts) {
    SCOPED_TRACE(std::string("no drop site, on ") + p.name);
    NothingOnButton2(h, p.w, p.x, p.y, t[0], 1);
  }
  void *site = nullptr;
  ASSERT_EQ(h->services->rdnd(h, &site, nullptr, nullptr), WU_OK);
  // The host takes the formats away: nothing to drag.
  wu_value none = {};
  none.code = WU_DND_A_FORMATS;
  none.type = WU_VT_STRLIST;
  ASSERT_EQ(h->services->sdnd(h, site, &none, reinterpret_cast<void *>(intptr_t(1))), WU_OK);
  for (const Part &p : parts) {
    SCOPED_TRACE(std::string("a drop site without formats, on ") + p.name);
    NothingOnButton2(h, p.w, p.x, p.y, t[1], 2);
  }
  std::string format = "QEV_TEST_FORMAT";
  wu_dnd_text text = {int32_t(format.size()), 0, format.data()};
  wu_value formats = none;
  formats.value = 1;
  formats.pointer = &text;
  ASSERT_EQ(h->services->sdnd(h, site, &formats, reinterpret_cast<void *>(intptr_t(1))), WU_OK);
  {
    SCOPED_TRACE("ended by Escape");
    DragOnButton2(t[2], 3, XK_Escape);
  }
  {
    SCOPED_TRACE("ended by the release");
    DragOnButton2(t[0], 1, NoSymbol);
  }
  TearDown();
}

TEST(RadioBoxDrag, Button2DragsOnlyWithFormatsAndNeverHangs) {
  const int status = qevtest::runInChild(
      [] {
        RadioDragInChild t;
        t.Run();
      },
      60);
  EXPECT_TRUE(qevtest::childPassed(status)) << qevtest::describeStatus(status);
}

// ---- tool tips -----------------------------------------------------------------

class Tips : public Buttons {
 protected:
  void SetUp() override {
    Buttons::SetUp();
    devb->prefs.use_toolbox_tips = True;
    devb->prefs.toolbox_tip_delay = 150;
  }
  // The pointer moved into the middle of `w` (EnterNotify) or out of it to
  // the pane's corner, away from every control (LeaveNotify), and what the
  // move does handled (time-outs do not run meanwhile).
  void Cross(Widget w, int type) {
    if (type == EnterNotify) {
      ASSERT_TRUE(qevtest::moveHandled(w, w->core.width / 2, w->core.height / 2));
    } else {
      ASSERT_TRUE(qevtest::moveHandled(XtParent(w), 2, 2));
    }
  }
  bool Up() {
    wu_state *s = wu_module();
    return s->tip_shell != nullptr && reinterpret_cast<ShellWidget>(s->tip_shell)->shell.popped_up;
  }
};

TEST_F(Tips, DelayGracePlacementAndSuspension) {
  wu_ctl_handle *a = Create(WU_CTYPE_PUSH, {Text(WU_A_TEXT, "A"), Text(WU_A_TOOLTIP, "First"),
                                            Int(WU_A_HPOS, 20), Int(WU_A_VPOS, 30)});
  wu_ctl_handle *b = Create(WU_CTYPE_CHECK, {Text(WU_A_TEXT, "B"), Text(WU_A_TOOLTIP, "Second"),
                                             Int(WU_A_HPOS, 20), Int(WU_A_VPOS, 80)});
  Widget wa = W(a), wb = W(b);
  Cross(wa, LeaveNotify);
  Turn(200);  // past the suspension of the first creation's releases
  Cross(wa, EnterNotify);
  EXPECT_FALSE(Up());
  Turn(60);
  EXPECT_FALSE(Up());  // still waiting for the delay
  ASSERT_TRUE(qevtest::turnUntil([&] { return Up(); }, 3000));
  wu_state *s = wu_module();
  // Under the middle of the control.
  Position rx = 0, ry = 0;
  XtTranslateCoords(XtParent(wa), wa->core.x, wa->core.y, &rx, &ry);
  EXPECT_EQ(s->tip_shell->core.x, rx + wa->core.width / 2);
  EXPECT_EQ(s->tip_shell->core.y, ry + wa->core.height + 1);
  // Leaving starts the grace period: the next control's tip shows at once.
  Cross(wa, LeaveNotify);
  EXPECT_FALSE(Up());
  Cross(wb, EnterNotify);
  EXPECT_TRUE(Up());
  Cross(wb, LeaveNotify);
  Turn(450);  // the grace period is over: the delay applies again
  Cross(wa, EnterNotify);
  EXPECT_FALSE(Up());
  // Leaving before the tip shows cancels it.
  Cross(wa, LeaveNotify);
  Turn(300);
  EXPECT_FALSE(Up());
  // A grey control shows none.
  std::vector<wu_value> grey = {Flag(WU_A_ENABLED, 0)};
  Set(a, grey);
  Cross(wa, EnterNotify);
  Turn(300);
  EXPECT_FALSE(Up());
  // Releasing a control with a pending tip leaves no time-out and rests
  // the tips for one delay.
  Cross(wb, EnterNotify);
  EXPECT_NE(s->ctl_tip_timer, 0u);
  b->services->wdes(b);
  EXPECT_EQ(s->ctl_tip_timer, 0u);
  EXPECT_EQ(s->ctl_tip_suspended, 1);
  EXPECT_TRUE(qevtest::turnUntil([&] { return s->ctl_tip_suspended == 0; }, 3000));
}

// ---- release --------------------------------------------------------------------

TEST_F(Buttons, ReleaseLeavesThePoolAsItWas) {
  // The baseline: the window once it has held a control of each kind.
  for (int32_t type : {WU_CTYPE_PUSH, WU_CTYPE_CHECK, WU_CTYPE_RADIO, WU_CTYPE_DESKICON}) {
    wu_ctl_handle *h = Create(type);
    h->services->wdes(h);
  }
  Settle();
  NoteBaselines();
  std::vector<wu_str_item> items = Items({"a", "b"});
  std::vector<wu_ctl_handle *> made;
  for (int32_t type : {WU_CTYPE_PUSH, WU_CTYPE_CHECK, WU_CTYPE_RADIO, WU_CTYPE_DESKICON}) {
    std::string label(40, 'x');
    std::vector<wu_value> v = {Text(WU_A_TEXT, label.c_str()), Text(WU_A_TOOLTIP, "tip")};
    if (type == WU_CTYPE_RADIO) v = {ItemList(items), Text(WU_A_TITLE, "t")};
    made.push_back(Create(type, v));
  }
  for (wu_ctl_handle *h : made) {
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->services->wdes(h), WU_OK);
  }
  qevhost::PoolStats now = qevhost::poolStats(pool_);
  EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
  EXPECT_EQ(now.liveBytes, base_.liveBytes);
  EXPECT_EQ(now.errors, 0);
  ExpectBaselines();
}

}  // namespace
