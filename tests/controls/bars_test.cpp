// The scroll bar and progress bar controls of host dialogs through slot 141
// and the services vector, with what the bars show on the X server.
#include "ctlfixture.h"
#include "xinput.h"

#include <Xm/ScrollBar.h>

namespace {

wu_value Real(int16_t code, double d) {
  wu_value v = {};
  v.code = code;
  v.type = WU_VT_DOUBLE;
  std::memcpy(&v.value, &d, sizeof d);
  return v;
}

double RealOf(const wu_value &v) {
  double d = 0;
  std::memcpy(&d, &v.value, sizeof d);
  return d;
}

wu_value Number(int16_t code, int32_t n) {
  wu_value v = Int(code, n);
  v.type = WU_VT_NUMBER;
  return v;
}

class Bars : public Controls {
 protected:
  wu_status Set(wu_ctl_handle *h, std::vector<wu_value> &v) {
    return h->services->swat(h->control, v.data(), int32_t(v.size()));
  }
  wu_value Query(wu_ctl_handle *h, int16_t code) {
    wu_value v = Int(code, 0);
    h->services->qwat(h->control, &v, 1);
    return v;
  }
  int Resource(Widget w, const char *name) {
    int v = 0;
    XtVaGetValues(w, name, &v, nullptr);
    return v;
  }
};

// ---- scroll bar ----------------------------------------------------------------

TEST_F(Bars, ScrollBarRangeRules) {
  wu_ctl_handle *h = Create(WU_CTYPE_SCROLL, {Real(WU_A_MAXIMUM, 100), Real(WU_A_LARGESCROLL, 10),
                                              Int(WU_A_WIDTH, 200), Int(WU_A_HEIGHT, 16)});
  ASSERT_NE(h, nullptr);
  Widget w = W(h);
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(XtName(w), "qevScale");
  EXPECT_EQ(Resource(w, XmNmaximum), 101);  // one past the host's maximum
  EXPECT_EQ(Resource(w, XmNsliderSize), 10);
  // A value past the slider's room is clamped and reported.
  std::vector<wu_value> v = {Real(WU_A_VALUE, 95)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  EXPECT_EQ(RealOf(Query(h, WU_A_VALUE)), 91);
  EXPECT_EQ(Resource(w, XmNvalue), 91);
  // A slider larger than the range is refused and keeps its size.
  v = {Real(WU_A_LARGESCROLL, 200)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  EXPECT_EQ(Resource(w, XmNsliderSize), 10);
  // A minimum above the value goes with the value entry.
  v = {Real(WU_A_VALUE, 20), Real(WU_A_MINIMUM, 50)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  EXPECT_EQ(RealOf(Query(h, WU_A_MINIMUM)), 0);
  EXPECT_EQ(RealOf(Query(h, WU_A_VALUE)), 91);
  // A new maximum and amount that make the value too high take effect, the
  // value is clamped, and their entries say the three did not fit.
  v = {Real(WU_A_MAXIMUM, 50), Real(WU_A_LARGESCROLL, 5)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  EXPECT_EQ(RealOf(Query(h, WU_A_VALUE)), 46);
  EXPECT_EQ(Resource(w, XmNmaximum), 51);
  EXPECT_EQ(Resource(w, XmNsliderSize), 5);
  // A value clamped in the same call as a maximum marks all three.
  v = {Real(WU_A_VALUE, 49), Real(WU_A_MAXIMUM, 48), Real(WU_A_LARGESCROLL, 4)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(v[size_t(i)].status, WU_E_RANGE) << i;
  EXPECT_EQ(RealOf(Query(h, WU_A_VALUE)), 45);
  EXPECT_EQ(Resource(w, XmNmaximum), 49);
  // Steps are truncated; below 1 or out of 32 bits they are refused.
  v = {Real(WU_A_INCREMENT, 2.9), Real(WU_A_INCREMENT, 0.5), Real(WU_A_INCREMENT, -1),
       Real(WU_A_VALUE, 1e12), Int(WU_A_VALUE, 3)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_OK);
  for (int i = 1; i < 5; ++i) EXPECT_EQ(v[size_t(i)].status, WU_E_RANGE) << i;
  EXPECT_EQ(RealOf(Query(h, WU_A_INCREMENT)), 2);
  EXPECT_EQ(Resource(w, XmNincrement), 2);
  v = {Int(WU_A_ORIENTATION, 1)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_CREATE_ONLY);
}

// A click in a bar's trough beyond its slider: one page on.
void PageOn(Widget bar) {
  int x = 0, y = 0;
  qevtest::scrollBarPlace(bar, qevtest::kTroughAfter, &x, &y);
  ASSERT_TRUE(qevtest::clickHandledAt(bar, x, y));
}

TEST_F(Bars, ScrollBarScrollingReachesTheHostAndReplays) {
  std::vector<int32_t> scroll = {WU_EV_SCROLL};
  wu_ctl_handle *h = Create(WU_CTYPE_SCROLL, {Real(WU_A_MAXIMUM, 100), Real(WU_A_LARGESCROLL, 10),
                                              List(WU_A_EVENTS, scroll)});
  Widget w = W(h);
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  PageOn(w);
  ASSERT_EQ(g_proc.codes, std::vector<int32_t>{WU_EV_SCROLL});
  EXPECT_EQ(g_proc.keys[0], WU_SCROLL_PAGE_INCREMENT);
  EXPECT_EQ(RealOf(Query(h, WU_A_VALUE)), 10);
  std::vector<qevhost::Recording> rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), 1u);
  wu_batch_event r = {};
  std::memcpy(&r, rec[0].record.data(), sizeof r);
  EXPECT_EQ(r.code, WU_EV_SCROLL);
  EXPECT_EQ(r.value1, WU_SCROLL_PAGE_INCREMENT);
  EXPECT_EQ(r.sent, 1);
  EXPECT_EQ(r.value2, 10.0);
  qevhost::removeBatchDriver(qevhost::mainTask());
  // From another task the procedure runs on the window's display task.
  qev_task *display = qevhost::createTask("DISPLAY", 2, 1);
  qev_task *worker = qevhost::createTask("WORKER", 1, 1);
  wu_display disp = {};
  disp.task = display;
  window_->display = &disp;
  wu_ctl_handle *h2 = Create(WU_CTYPE_SCROLL, {Real(WU_A_MAXIMUM, 100), Int(WU_A_VPOS, 60),
                                               List(WU_A_EVENTS, scroll)});
  qevhost::setCurrentTask(worker);
  PageOn(W(h2));
  qevhost::setCurrentTask(qevhost::mainTask());
  window_->display = nullptr;
  ASSERT_EQ(g_proc.tasks.size(), 2u);
  EXPECT_EQ(g_proc.tasks[0], qevhost::mainTask());
  EXPECT_EQ(g_proc.tasks[1], display);
  g_proc = ProcLog();
  // Without the scroll bit the host hears nothing, the value still moves.
  std::vector<int32_t> none = {WU_EV_POPUP};
  std::vector<wu_value> v = {List(WU_A_EVENTS, none)};
  Set(h, v);
  PageOn(w);
  EXPECT_TRUE(g_proc.codes.empty());
  EXPECT_EQ(RealOf(Query(h, WU_A_VALUE)), 20);
  // Replay clamps into the slider's room and stores the value.
  r.value2 = 500;
  EXPECT_EQ(h->services->rbat(h, &r), WU_OK);
  EXPECT_EQ(RealOf(Query(h, WU_A_VALUE)), 91);
  EXPECT_EQ(Resource(w, XmNvalue), 91);
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  ASSERT_EQ(ev[0].params.size(), 2u);
  EXPECT_EQ(ev[0].params[1].type, WU_VT_DOUBLE);
  EXPECT_EQ(RealOf(ev[0].params[1]), 91);
}

TEST_F(Bars, VerticalBarsTakeTheVerticalDefaultSize) {
  for (int32_t type : {WU_CTYPE_SCROLL, WU_CTYPE_PROGRESS}) {
    wu_ctl_handle *h = Create(type, {Int(WU_A_ORIENTATION, 1)});
    ASSERT_NE(h, nullptr);
    EXPECT_GT(Query(h, WU_A_HEIGHT).value, Query(h, WU_A_WIDTH).value) << type;
    wu_ctl_handle *g = Create(type);
    EXPECT_LT(Query(g, WU_A_HEIGHT).value, Query(g, WU_A_WIDTH).value) << type;
  }
}

// ---- progress bar ---------------------------------------------------------------

TEST_F(Bars, ProgressBarStepsWithinItsRange) {
  wu_ctl_handle *h = Create(WU_CTYPE_PROGRESS);
  ASSERT_NE(h, nullptr);
  Widget w = W(h);
  EXPECT_STREQ(XtName(w), "ProgressBar");
  for (int i = 0; i < 11; ++i) EXPECT_EQ(h->services->meth(h, WU_M_STEP, nullptr, 0), WU_OK);
  EXPECT_EQ(Query(h, WU_A_VALUE).value, 100);
  wu_value delta = Number(0, -250);
  EXPECT_EQ(h->services->meth(h, WU_M_STEPDELTA, &delta, 1), WU_OK);
  EXPECT_EQ(Query(h, WU_A_VALUE).value, 0);
  EXPECT_EQ(h->services->meth(h, WU_M_STEPDELTA, nullptr, 0), WU_NOTAVAIL);
  EXPECT_EQ(h->services->meth(h, 77, nullptr, 0), WU_NOTAVAIL);
  // The bar shows offsets from the minimum.
  std::vector<wu_value> v = {Number(WU_A_MINIMUM, 50), Number(WU_A_MAXIMUM, 150),
                             Number(WU_A_VALUE, 100)};
  EXPECT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(Resource(w, XmNminimum), 0);
  EXPECT_EQ(Resource(w, XmNmaximum), 100);
  EXPECT_EQ(Resource(w, XmNvalue), 50);
  // A maximum not above the minimum fails and changes nothing; a value
  // below the minimum stores the minimum.
  v = {Number(WU_A_MAXIMUM, 50)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  EXPECT_EQ(Query(h, WU_A_MAXIMUM).value, 150);
  // Of a minimum above the maximum the later entry fails; the earlier one
  // stands alone when it makes a range with the other bound kept.
  v = {Number(WU_A_MINIMUM, 120), Number(WU_A_MAXIMUM, 100)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_OK);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  EXPECT_EQ(Query(h, WU_A_MINIMUM).value, 120);
  EXPECT_EQ(Query(h, WU_A_MAXIMUM).value, 150);
  v = {Number(WU_A_MAXIMUM, 130), Number(WU_A_MINIMUM, 140)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_OK);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  EXPECT_EQ(Query(h, WU_A_MAXIMUM).value, 130);
  EXPECT_EQ(Query(h, WU_A_MINIMUM).value, 120);
  // Where the earlier one would turn the range over, it fails as well.
  v = {Number(WU_A_MINIMUM, 200), Number(WU_A_MAXIMUM, 100)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  EXPECT_EQ(Query(h, WU_A_MINIMUM).value, 120);
  EXPECT_EQ(Query(h, WU_A_MAXIMUM).value, 130);
  v = {Number(WU_A_MINIMUM, 50), Number(WU_A_MAXIMUM, 150)};
  EXPECT_EQ(Set(h, v), WU_OK);
  v = {Number(WU_A_VALUE, -5)};
  EXPECT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(Query(h, WU_A_VALUE).value, 50);
  // Extreme steps do not wrap.
  v = {Number(WU_A_INCREMENT, INT32_MIN), Number(WU_A_VALUE, 150)};
  EXPECT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(h->services->meth(h, WU_M_STEP, nullptr, 0), WU_OK);
  EXPECT_EQ(Query(h, WU_A_VALUE).value, 50);
  EXPECT_GE(Resource(w, XmNpageIncrement), 1);
  // The numbers come as the general integer as well.
  v = {Int(WU_A_MINIMUM, 10), Int(WU_A_MAXIMUM, 60), Int(WU_A_VALUE, 35), Int(WU_A_INCREMENT, 5)};
  EXPECT_EQ(Set(h, v), WU_OK);
  for (const wu_value &e : v) EXPECT_EQ(e.status, WU_OK) << e.code;
  EXPECT_EQ(Query(h, WU_A_VALUE).value, 35);
  EXPECT_EQ(Resource(w, XmNmaximum), 50);
  EXPECT_EQ(Resource(w, XmNvalue), 25);
  EXPECT_EQ(h->services->meth(h, WU_M_STEP, nullptr, 0), WU_OK);
  EXPECT_EQ(Query(h, WU_A_VALUE).value, 40);
  v = {Number(WU_A_WIDTH, 150)};
  EXPECT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(Query(h, WU_A_WIDTH).value, 150);
  // Creation-only attributes and enumerations.
  v = {Int(WU_A_ORIENTATION, 1), Int(WU_A_SHOWPERCENT, 2), Int(WU_A_ITEMS, 0)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_CREATE_ONLY);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  EXPECT_EQ(v[2].status, WU_UNSUPPORTED);
}

TEST_F(Bars, ProgressBarDrawsItsPercentage) {
  wu_ctl_handle *h = Create(WU_CTYPE_PROGRESS, {Int(WU_A_SHOWPERCENT, 1), Int(WU_A_WIDTH, 160),
                                                Int(WU_A_HEIGHT, 24)});
  Widget w = W(h);
  Display *d = devb->display;
  // What the bar should show: the digits drawn on its background.
  auto expect_text = [&](const char *text) {
    Settle();
    XClearArea(d, XtWindow(w), 0, 0, 0, 0, True);
    Settle();
    const int len = int(std::strlen(text));
    XCharStruct cs = {};
    int dir = 0, asc = 0, desc = 0;
    XTextExtents(devb->font, text, len, &dir, &asc, &desc, &cs);
    const int x = w->core.width / 2 - 1, base = w->core.height - 2;
    const int tw = cs.width, th = asc + desc;
    Pixel bg = 0, fg = 0;
    XtVaGetValues(w, XmNbackground, &bg, XmNforeground, &fg, nullptr);
    Pixmap ref = XCreatePixmap(d, XtWindow(w), unsigned(tw), unsigned(th), unsigned(devb->depth));
    XGCValues gv = {};
    gv.foreground = fg;
    gv.background = bg;
    gv.font = devb->font->fid;
    GC gc = XCreateGC(d, ref, GCForeground | GCBackground | GCFont, &gv);
    XDrawImageString(d, ref, gc, 0, asc, text, len);
    XImage *want = XGetImage(d, ref, 0, 0, unsigned(tw), unsigned(th), AllPlanes, ZPixmap);
    XImage *got = XGetImage(d, XtWindow(w), x, base - asc, unsigned(tw), unsigned(th), AllPlanes,
                            ZPixmap);
    int differ = 0;
    for (int yy = 0; yy < th; ++yy)
      for (int xx = 0; xx < tw; ++xx)
        if (XGetPixel(want, xx, yy) != XGetPixel(got, xx, yy)) ++differ;
    XDestroyImage(want);
    XDestroyImage(got);
    XFreeGC(d, gc);
    XFreePixmap(d, ref);
    return differ;
  };
  std::vector<wu_value> v = {Number(WU_A_MAXIMUM, 99), Number(WU_A_VALUE, 33)};
  ASSERT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(expect_text("33"), 0);
  v = {Number(WU_A_MAXIMUM, 3), Number(WU_A_VALUE, 1)};
  ASSERT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(expect_text("33"), 0);
  wu_value delta = Number(0, 2);
  h->services->meth(h, WU_M_STEPDELTA, &delta, 1);
  EXPECT_EQ(expect_text("100"), 0);
  // Turned off, the digits go.
  v = {Int(WU_A_SHOWPERCENT, 0)};
  ASSERT_EQ(Set(h, v), WU_OK);
  EXPECT_NE(expect_text("100"), 0);
}

}  // namespace
