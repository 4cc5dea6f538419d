// Icon fields and graph push buttons: older pane controls made through
// their window-interface slots, their sizes, pictures, states and events.
#include "ctlfixture.h"
#include "controls/wubutton.h"
#include "graphics/wugraph.h"
#include "runtime/wutoolkit.h"

#include <Xm/DrawnB.h>
#include <X11/extensions/XTest.h>

#include "menus/wumenus.h"
#include "textwin/wutwin.h"

namespace {

using IcszFn = wu_status (*)(const char *, int32_t, int32_t, int32_t *, int32_t *);
using GicbFn = wu_status (*)(wu_pane *, wu_control **, int32_t, int32_t, int32_t, int32_t,
                             const char *, int32_t, int32_t, int32_t);
using GgpbFn = wu_status (*)(wu_pane *, wu_control **, int32_t, int32_t, int32_t, const char *,
                             int32_t, int32_t, wu_easel *, const int16_t *, int32_t);
using UwidFn = wu_status (*)(wu_control *, wu_easel *, const int16_t *);
using SstaFn = wu_status (*)(wu_control *, int32_t);
using CstaFn = wu_status (*)(wu_control *);

class OlderPictures : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    // An easel of the pane: 40 by 30 pixels, red left of x = 20, blue right.
    easel_.pane = pane_;
    easel_.info[WU_EINFO_KIND] = 0;
    easel_.info[WU_EINFO_WIDTH] = 40;
    easel_.info[WU_EINFO_HEIGHT] = 30;
    Display *d = devb->display;
    easel_.drawable = XCreatePixmap(d, XtWindow(devb->toplevel), 40, 30, unsigned(devb->depth));
    GC gc = XCreateGC(d, easel_.drawable, 0, nullptr);
    XSetForeground(d, gc, 0xff0000);
    XFillRectangle(d, easel_.drawable, gc, 0, 0, 20, 30);
    XSetForeground(d, gc, 0x0000ff);
    XFillRectangle(d, easel_.drawable, gc, 20, 0, 20, 30);
    XFreeGC(d, gc);
    pane_->easels = &easel_;
  }
  void TearDown() override {
    if (window_) {
      wuxuwnd(window_);
      pane_->easels = nullptr;
    }
    if (devb && devb->display) XFreePixmap(devb->display, easel_.drawable);
    Controls::TearDown();
  }
  wu_easel easel_ = {};
};

TEST_F(OlderPictures, IconFieldSizesInCells) {
  auto icsz = Slot<IcszFn>(QEV_TABLE_WINDOW, WUX_SLOT_ICSZ);
  ASSERT_NE(icsz, nullptr);
  int32_t rows = 0, cols = 0, rows2 = 0, cols2 = 0;
  ASSERT_EQ(icsz("", 0, 0, &rows, &cols), WU_OK);
  ASSERT_EQ(icsz("XQqgjpW^$", 9, 0, &rows2, &cols2), WU_OK);
  EXPECT_EQ(rows, rows2);  // an empty text is as high as the tall sample
  // A negative length measures to the NUL; the text beside is wider.
  int32_t r3 = 0, c3 = 0, r4 = 0, c4 = 0;
  ASSERT_EQ(icsz("Document", -1, 0, &r3, &c3), WU_OK);
  ASSERT_EQ(icsz("Document", 8, 1, &r4, &c4), WU_OK);
  EXPECT_GT(c4, 0);
  EXPECT_GE(c3, 1);
  EXPECT_EQ(icsz("x", 1, 0, nullptr, &cols), WU_NOTAVAIL);
}

// Slot 6 gives an icon button the whole new text; the button is laid out
// for it again.
TEST_F(OlderPictures, IconButtonTakesANewTextThroughSlotSix) {
  auto gicb = Slot<GicbFn>(QEV_TABLE_WINDOW, WUX_SLOT_GICB);
  using CwtxFn = wu_status (*)(wu_control *, const char *);
  auto cwtx = Slot<CwtxFn>(QEV_TABLE_WINDOW, WUX_SLOT_CWTX);
  ASSERT_TRUE(gicb && cwtx);
  wu_control *c = nullptr;
  ASSERT_EQ(gicb(pane_, &c, 7, 2, 3, 1, "Doc", -1, 1009, 0), WU_OK);
  Settle();
  Widget w = wuwgxtw(c);
  ASSERT_NE(w, nullptr);
  const Dimension before = w->core.width;
  EXPECT_EQ(cwtx(c, "A much longer text than before"), WU_OK);
  Settle();
  EXPECT_GT(w->core.width, before);
  EXPECT_EQ(c->width, (w->core.width + devb->cell_width - 1) / devb->cell_width);
  EXPECT_EQ(cwtx(c, "Doc"), WU_OK);
  Settle();
  EXPECT_EQ(w->core.width, before);
}

TEST_F(OlderPictures, IconFieldIsMadeAndPressed) {
  auto gicb = Slot<GicbFn>(QEV_TABLE_WINDOW, WUX_SLOT_GICB);
  ASSERT_NE(gicb, nullptr);
  wu_control *c = nullptr;
  EXPECT_EQ(gicb(pane_, &c, 7, 2, 3, 1, "Doc", -1, -4, 0), WU_NOTAVAIL);  // a negative icon
  EXPECT_EQ(gicb(pane_, &c, 7, 2, 3, 1, nullptr, 5, 1009, 0), WU_NOTAVAIL);
  ASSERT_EQ(gicb(pane_, &c, 7, 2, 3, 1, "Doc", -1, 1009, 0), WU_OK);
  ASSERT_NE(c, nullptr);
  Widget w = wuwgxtw(c);
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(XtName(w), "QEVIcon");
  EXPECT_EQ(w->core.x, (3 - 1) * devb->cell_width);
  EXPECT_EQ(c->width, (w->core.width + devb->cell_width - 1) / devb->cell_width);
  // The setter: a new text relays out; codes it does not know are refused.
  wu_value v[2] = {Text(43, "A much longer text"), Int(99, 0)};
  EXPECT_EQ(Slot<SetFn>(QEV_TABLE_WINDOW, WUX_SLOT_SWAT)(c, v, 2), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_OK);
  EXPECT_EQ(v[1].status, WU_E_NOT_HANDLED);
  // The text is drawn below the icon.
  Settle();
  XImage *img = XGetImage(devb->display, XtWindow(w), 0, 0, w->core.width, w->core.height,
                          AllPlanes, ZPixmap);
  ASSERT_NE(img, nullptr);
  Pixel fg = 0;
  XtVaGetValues(w, XmNforeground, &fg, nullptr);
  int ink_below = 0;
  for (int y = 48 + 8; y < int(w->core.height) - 8; ++y)
    for (int x = 8; x < int(w->core.width) - 8; ++x)
      if (XGetPixel(img, x, y) == fg) ++ink_below;
  XDestroyImage(img);
  EXPECT_GT(ink_below, 10);
  // Its query answers nothing of an icon field; a graph button's colour
  // needs a block to write into.
  wu_value colour = Int(WU_A_BACKGROUND, 0);
  colour.type = WU_VT_WORD;
  EXPECT_EQ(Slot<SetFn>(QEV_TABLE_WINDOW, WUX_SLOT_QWAT)(c, &colour, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(colour.status, WU_E_NOT_HANDLED);
  // Without a field or procedure a press is the window's event 1028.
  Queued();
  ASSERT_TRUE(qevtest::clickHandled(w));
  std::vector<int32_t> q = Queued();
  EXPECT_NE(std::find(q.begin(), q.end(), WU_EV_OLD_PRESSED), q.end());
}

TEST_F(OlderPictures, GraphButtonPicturesModesAndTips) {
  auto ggpb = Slot<GgpbFn>(QEV_TABLE_WINDOW, WUX_SLOT_GGPB);
  auto ssta = Slot<SstaFn>(QEV_TABLE_WINDOW, WUX_SLOT_SSTA);
  auto csta = Slot<CstaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CSTA);
  ASSERT_NE(ggpb, nullptr);
  wu_control *c = nullptr;
  const int16_t rect[4] = {10, 10, 19, 29};
  EXPECT_EQ(ggpb(pane_, &c, 1, 5, 5, "run", 3, 13, &easel_, rect, 0), WU_NOTAVAIL);
  EXPECT_EQ(c, nullptr);
  wu_easel stranger = easel_;
  EXPECT_EQ(ggpb(pane_, &c, 1, 5, 5, "run", 3, 14, &stranger, rect, 0), WU_NOTAVAIL);
  ASSERT_EQ(ggpb(pane_, &c, 1, 5, 5, "run\\nRuns it", -1, 15, &easel_, rect, 0), WU_OK);
  Widget w = wuwgxtw(c);
  ASSERT_NE(w, nullptr);
  EXPECT_STREQ(XtName(w), "graphButton");
  // The picture is 10 by 20 pixels, inside a frame of 5 on each side.
  EXPECT_EQ(c->width, 20);
  EXPECT_EQ(c->height, 30);
  Settle();
  EXPECT_EQ(qevtest::pixelAt(devb->display, XtWindow(w), 10, 15), 0xff0000u);
  // A picture across the colours' border; a bad rectangle keeps it.
  auto uwid = Slot<UwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_116);
  ASSERT_NE(uwid, nullptr);
  const int16_t blue[4] = {25, 0, 34, 9};
  ASSERT_EQ(uwid(c, &easel_, blue), WU_OK);
  Settle();
  EXPECT_EQ(qevtest::pixelAt(devb->display, XtWindow(w), 8, 8), 0x0000ffu);
  const int16_t bad[4] = {5, 5, 4, 9};
  EXPECT_EQ(uwid(c, &easel_, bad), WU_NOTAVAIL);
  EXPECT_EQ(c->width, 20);
  // A toggle pressed twice ends released.
  Queued();
  ASSERT_TRUE(qevtest::clickHandled(w));
  EXPECT_EQ(csta(c), 1);
  unsigned char shadow = 0;
  XtVaGetValues(w, XmNshadowType, &shadow, nullptr);
  EXPECT_EQ(shadow, XmSHADOW_IN);
  ASSERT_TRUE(qevtest::clickHandled(w));
  EXPECT_EQ(csta(c), 0);
  EXPECT_EQ(Queued().size(), 2u);
  // The state service sets it; the tip is the text after backslash-n.
  EXPECT_EQ(ssta(c, 1), WU_OK);
  EXPECT_EQ(csta(c), 1);
  devb->prefs.use_toolbox_tips = True;
  wuwtltt(c);
  wu_state *s = wu_module();
  ASSERT_NE(s->tip_label, nullptr);
  XmString label = nullptr;
  XtVaGetValues(s->tip_label, XmNlabelString, &label, nullptr);
  char *text = wumgstr(label);
  EXPECT_STREQ(text, "Runs it");
  XtFree(text);
  XmStringFree(label);
  // The background colour answer needs a block to write into.
  wu_value bg = Int(WU_A_BACKGROUND, 0);
  bg.type = WU_VT_WORD;
  EXPECT_EQ(Slot<SetFn>(QEV_TABLE_WINDOW, WUX_SLOT_QWAT)(c, &bg, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(bg.status, WU_E_RANGE);
  uint16_t rgb[3] = {1, 1, 1};
  bg.pointer = rgb;
  bg.status = 0;
  EXPECT_EQ(Slot<SetFn>(QEV_TABLE_WINDOW, WUX_SLOT_QWAT)(c, &bg, 1), WU_OK);
  // A button that stays pressed stays so.
  wu_control *k = nullptr;
  ASSERT_EQ(ggpb(pane_, &k, 2, 40, 5, "", 0, 16, &easel_, nullptr, 0), WU_OK);
  EXPECT_EQ(k->width, 50);
  ASSERT_TRUE(qevtest::clickHandled(wuwgxtw(k)));
  ASSERT_TRUE(qevtest::clickHandled(wuwgxtw(k)));
  EXPECT_EQ(csta(k), 1);
}


// Holding button 1 down on a graph button shows its command part on the
// window's message line; letting go restores the line.  A button whose
// press showed nothing takes nothing back.
TEST_F(OlderPictures, GraphButtonShowsItsCommandWhileArmed) {
  window_->module_flags |= WU_DECOR_MESSAGELINE;
  ASSERT_EQ(wuticmd(window_), 0);
  ASSERT_NE(window_->message_field, nullptr);
  ASSERT_EQ(wuxpmsg(window_, "Ready.", -1, 0), WU_OK);
  auto ggpb = Slot<GgpbFn>(QEV_TABLE_WINDOW, WUX_SLOT_GGPB);
  wu_control *run = nullptr, *tip_only = nullptr;
  ASSERT_EQ(ggpb(pane_, &run, 1, 5, 5, "submit job\\nRuns it", -1, 14, &easel_, nullptr, 0), WU_OK);
  ASSERT_EQ(ggpb(pane_, &tip_only, 2, 5, 80, "\\nOnly a tip", -1, 14, &easel_, nullptr, 0), WU_OK);
  Settle();
  auto message = [&] {
    const wu_field *f = window_->message_field;
    std::string m(f->text, size_t(f->length));
    return m.substr(0, m.find_last_not_of(' ') + 1);
  };
  Display *d = devb->display;
  auto hold = [&](wu_control *c, bool down) {
    Widget w = wuwgxtw(c);
    Position x = 0, y = 0;
    XtTranslateCoords(w, Position(w->core.width / 2), Position(w->core.height / 2), &x, &y);
    XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(d, 1, down ? True : False, CurrentTime);
    Settle();
  };
  hold(run, true);
  EXPECT_EQ(message(), "submit job");
  hold(run, false);
  EXPECT_EQ(message(), "Ready.");
  EXPECT_EQ(window_->saved_texts, nullptr);
  // Someone else's text stays when a button without a command part is
  // pressed and let go.
  ASSERT_EQ(wutpshm(window_, "menu help", -1), WU_OK);
  hold(tip_only, true);
  EXPECT_EQ(message(), "menu help");
  hold(tip_only, false);
  EXPECT_EQ(message(), "menu help");
  ASSERT_EQ(wutpopm(window_), WU_OK);
  EXPECT_EQ(message(), "Ready.");
  Queued();
}

}  // namespace
