// The focus look of the text-taking controls (the one-pixel frame of entry
// fields, spin boxes and push buttons, the highlighted shadows of the
// multi-line entry) follows the keyboard and nothing else: not the pointer
// resting on a control while its window gets the focus, and not into a
// read-only field.
#include "ctlfixture.h"

#include <X11/extensions/XTest.h>

#include "controls/wucombo.h"

namespace {

class FocusLook : public Controls {
 protected:
  void TearDown() override {
    Controls::TearDown();
    qevtest::stopWindowManager();
  }

  // The controls' window again, after mwm was started so that it frames the
  // window and gives it the focus as it does a host's dialog.
  void OpenUnderWindowManager() {
    ASSERT_TRUE(qevtest::startWindowManager());
    wuxuwnd(window_);
    wuxfwnd(window_);
    window_ = nullptr;
    ASSERT_EQ(wuxgwnd(&window_, 1, 0), WU_OK);
    ASSERT_EQ(wuxgpan(window_, &pane_, 1, 1, 20, WU_FULL_WIDTH, 0), WU_OK);
    ASSERT_EQ(wuxiwnd(window_), WU_OK);
    ASSERT_TRUE(WaitForFocus(window_));
  }
  static bool WaitForFocus(wu_window *w) {
    const Window shell = XtWindow(w->outer);
    const bool got = qevtest::turnUntil([shell] {
      Window focus = None;
      int revert = 0;
      XGetInputFocus(devb->display, &focus, &revert);
      return focus == shell;
    });
    EXPECT_TRUE(qevtest::settle());
    return got;
  }
  // The pointer comes to rest on `w`; another window opens away from it and
  // takes the focus, then closes, and mwm gives the focus back to the
  // controls' window with the pointer still there.
  void FocusBackUnder(Widget w) {
    Position x = 0, y = 0;
    XtTranslateCoords(w, Position(w->core.width / 2), Position(w->core.height / 2), &x, &y);
    XTestFakeMotionEvent(devb->display, -1, x, y, CurrentTime);
    Settle();
    wu_window *other = nullptr;
    wu_pane *pane = nullptr;
    ASSERT_EQ(wuxgwnd(&other, 1, 0), WU_OK);
    ASSERT_EQ(wuxgpan(other, &pane, 1, 1, 3, 10, 0), WU_OK);
    ASSERT_EQ(wuxiwnd(other), WU_OK);
    XtVaSetValues(other->outer, XmNx, 700, XmNy, 600, nullptr);
    ASSERT_TRUE(WaitForFocus(other));
    wuxuwnd(other);
    wuxfwnd(other);
    ASSERT_TRUE(WaitForFocus(window_));
  }

  Pixel At(Widget w, int x, int y) {
    XImage *img = XGetImage(devb->display, XtWindow(w), x, y, 1, 1, AllPlanes, ZPixmap);
    const Pixel p = img ? XGetPixel(img, 0, 0) : ~Pixel(0);
    if (img) XDestroyImage(img);
    return p;
  }
  // The colour of the frame of a control whose text is `text`.
  static Pixel FrameColour(Widget text) {
    Pixel hl = 0, fg = 0, bg = 0;
    XtVaGetValues(text, XmNhighlightColor, &hl, XmNforeground, &fg, XmNbackground, &bg, nullptr);
    return hl == bg ? fg : hl;
  }
  // Whether the frame stands around `outer` (the field, or a spin box's
  // form): its top left and bottom right corners in the parent's window.
  bool Framed(Widget outer, Widget text) {
    Widget parent = XtParent(outer);
    const Pixel want = FrameColour(text);
    return At(parent, outer->core.x - 1, outer->core.y - 1) == want &&
           At(parent, outer->core.x + outer->core.width, outer->core.y + outer->core.height) ==
               want;
  }
  // Whether the multi-line entry's shadows show its highlight colour.
  bool Highlighted(Widget text) {
    Pixel hl = 0;
    XtVaGetValues(text, XmNhighlightColor, &hl, nullptr);
    return At(text, 0, 0) == hl;
  }
  wu_ctl_handle *Entry(int32_t y, std::vector<wu_value> more = {}) {
    std::vector<wu_value> v = {Int(WU_A_HPOS, 20), Int(WU_A_VPOS, y), Int(WU_A_WIDTH, 150)};
    v.insert(v.end(), more.begin(), more.end());
    return Create(WU_CTYPE_ENTRY, v);
  }
};

// The demo's dialog: a numeric field, a masked one and a spin box, and a
// multi-line entry; the window gets the focus back while the pointer rests
// on one of them.  The keyboard stays with the window's input widget, so
// nothing looks focused; a click gives one control the keyboard and only it
// looks focused, and Tab moves the look with the keyboard.
TEST_F(FocusLook, OnlyTheControlWithTheKeyboardLooksFocused) {
  OpenUnderWindowManager();
  wu_value numeric = Int(WU_A_NUMKEYS, 1);
  numeric.type = WU_VT_BOOL;
  wu_value mask = Int(WU_A_MASKCHAR, '*');
  mask.type = WU_VT_CHAR;
  wu_ctl_handle *first = Entry(20, {numeric, Text(WU_A_TEXT, "42")});
  wu_ctl_handle *masked = Entry(60, {mask, Text(WU_A_TEXT, "42")});
  wu_ctl_handle *spin = Create(WU_CTYPE_SPIN, {Int(WU_A_HPOS, 20), Int(WU_A_VPOS, 100)});
  wu_ctl_handle *pad = Create(WU_CTYPE_MULTILINE, {Int(WU_A_HPOS, 250), Int(WU_A_VPOS, 20),
                                                   Int(WU_A_WIDTH, 150), Int(WU_A_HEIGHT, 80)});
  Widget a = W(first), b = W(masked), m = W(pad);
  wu_spin *sb = reinterpret_cast<wu_spin *>(spin->control);
  Settle();

  // Which of the four look focused, by their texts.
  auto looks = [&] {
    std::vector<Widget> out;
    if (Framed(a, a)) out.push_back(a);
    if (Framed(b, b)) out.push_back(b);
    if (Framed(sb->form, sb->text_w)) out.push_back(sb->text_w);
    if (Highlighted(m)) out.push_back(m);
    return out;
  };
  using Widgets = std::vector<Widget>;
  for (Widget under : {b, sb->text_w, m}) {
    SCOPED_TRACE(XtName(under));
    FocusBackUnder(under);
    ASSERT_EQ(XmGetFocusWidget(a), window_->input);
    EXPECT_EQ(looks(), Widgets{});
  }
  // The pointer still rests on the multi-line entry: a click into the first
  // field gives it the keyboard and the look, Tab moves both on.
  ASSERT_TRUE(qevtest::clickHandled(a));
  Settle();
  EXPECT_EQ(looks(), Widgets{a});
  ASSERT_TRUE(qevtest::keyHandled(devb->display, XK_Tab));
  Settle();
  Widget next = XmGetFocusWidget(a);
  ASSERT_NE(next, a);
  EXPECT_EQ(looks(), Widgets{next});
  for (Widget w : {b, sb->text_w, m}) {
    SCOPED_TRACE(XtName(w));
    ASSERT_TRUE(qevtest::clickHandled(w));
    Settle();
    EXPECT_EQ(looks(), Widgets{w});
  }
}

// A read-only field takes the keyboard without a frame, and the frame of
// the field that had it goes.
TEST_F(FocusLook, ReadOnlyFieldShowsNoFrame) {
  wu_ctl_handle *editable = Entry(20);
  wu_ctl_handle *read_only = Entry(60, {Int(WU_A_EDITABLE, 1)});
  Widget e = W(editable), r = W(read_only);
  ASSERT_TRUE(qevtest::clickHandled(e));
  Settle();
  ASSERT_TRUE(Framed(e, e));
  ASSERT_TRUE(qevtest::clickHandled(r));
  Settle();
  ASSERT_EQ(XmGetFocusWidget(r), r);
  EXPECT_FALSE(Framed(r, r));
  EXPECT_FALSE(Framed(e, e));
}

}  // namespace
