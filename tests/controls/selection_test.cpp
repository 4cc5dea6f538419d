// Text controls made by the host leave the display's selections where the
// user made them: another program owns the primary and the destination
// selection, the host makes entry fields, a multi-line entry, a label and
// spin boxes with texts and cursors in a window on the screen, and the
// other program still owns both and was told of no loss.  The user's click
// into a field still makes it the destination, as in any Motif program.
#include "ctlfixture.h"

#include <X11/Xatom.h>

#include "controls/wucombo.h"

namespace {

class Selections : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    other_ = qevtest::openDisplay();
    ASSERT_NE(other_, nullptr);
    destination_ = XInternAtom(other_, "_MOTIF_DESTINATION", False);
    owner_ = XCreateSimpleWindow(other_, DefaultRootWindow(other_), 0, 0, 10, 10, 0, 0, 0);
    XSelectInput(other_, owner_, PropertyChangeMask);
    // A time the server gives the other program for its claim.
    XChangeProperty(other_, owner_, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char *>("owner"), 5);
    XEvent e;
    XWindowEvent(other_, owner_, PropertyChangeMask, &e);
    for (Atom a : {Atom(XA_PRIMARY), destination_}) XSetSelectionOwner(other_, a, owner_, e.xproperty.time);
    XSync(other_, False);
  }
  void TearDown() override {
    if (other_ != nullptr) XCloseDisplay(other_);
    Controls::TearDown();
  }
  // Whether the other program still owns the selection and was told of no
  // loss of either.
  bool OtherOwns(Atom selection) {
    XSync(other_, False);
    return XGetSelectionOwner(other_, selection) == owner_;
  }
  int Losses() {
    int n = 0;
    XEvent e;
    while (XCheckTypedWindowEvent(other_, owner_, SelectionClear, &e)) ++n;
    return n;
  }
  Display *other_ = nullptr;
  Window owner_ = None;
  Atom destination_ = None;
};

TEST_F(Selections, NewTextControlsLeaveTheSelectionsToTheirOwner) {
  ASSERT_TRUE(OtherOwns(XA_PRIMARY));
  ASSERT_TRUE(OtherOwns(destination_));
  std::vector<wu_str_item> lines = {{5, 0, "first"}, {6, 0, "second"}};
  std::vector<wu_str_item> words = {{5, 0, "small"}, {6, 0, "medium"}, {5, 0, "large"}};
  wu_value lines_v = {};
  lines_v.code = WU_A_LINES;
  lines_v.type = WU_VT_STRLIST;
  lines_v.value = 2;
  lines_v.pointer = lines.data();
  wu_value words_v = lines_v;
  words_v.code = WU_A_ITEMS;
  words_v.value = 3;
  words_v.pointer = words.data();
  wu_value list_mode = Int(WU_A_NUMKEYS, 0);
  list_mode.type = WU_VT_BOOL;
  wu_value mask = Int(WU_A_MASKCHAR, '*');
  mask.type = WU_VT_CHAR;
  const struct {
    const char *what;
    int32_t type;
    std::vector<wu_value> entries;
  } made[] = {
      {"entry field", WU_CTYPE_ENTRY, {Int(WU_A_VPOS, 10), Text(WU_A_TEXT, "42"), Int(WU_A_CURSORPOS, 2)}},
      {"masked entry field", WU_CTYPE_ENTRY, {Int(WU_A_VPOS, 40), mask, Text(WU_A_TEXT, "secret")}},
      {"multi-line entry", WU_CTYPE_MULTILINE,
       {Int(WU_A_VPOS, 70), lines_v, Int(WU_A_ROWPOS, 2), Int(WU_A_CURSORPOS, 3)}},
      {"label", WU_CTYPE_LABEL, {Int(WU_A_VPOS, 150), Text(WU_A_TEXT, "Notes")}},
      {"numeric spin box", WU_CTYPE_SPIN,
       {Int(WU_A_HPOS, 250), Int(WU_A_VPOS, 10), Text(WU_A_TEXT, "10"), Int(WU_A_CURSORPOS, 2)}},
      {"list spin box", WU_CTYPE_SPIN,
       {Int(WU_A_HPOS, 250), Int(WU_A_VPOS, 50), Int(WU_A_WIDTH, 1), list_mode, words_v,
        Int(WU_A_SELECTEDINDEX, 2)}},
  };
  std::vector<wu_ctl_handle *> handles;
  for (const auto &m : made) {
    wu_ctl_handle *h = Create(m.type, m.entries);
    ASSERT_NE(h, nullptr) << m.what;
    handles.push_back(h);
    wuxuwnd(window_);
    Settle();
    EXPECT_TRUE(OtherOwns(XA_PRIMARY)) << "after the " << m.what;
    EXPECT_TRUE(OtherOwns(destination_)) << "after the " << m.what;
  }
  EXPECT_EQ(Losses(), 0);
  // Each shows its text, with the cursor the host gave it.
  Widget field = W(handles[0]);
  EXPECT_EQ(WidgetText(field), "42");
  EXPECT_EQ(XmTextGetInsertionPosition(field), XmTextPosition(1));
  EXPECT_EQ(WidgetText(W(handles[1])), "******");
  EXPECT_EQ(XmTextGetInsertionPosition(W(handles[2])), XmTextPosition(8));
  wu_spin *numeric = reinterpret_cast<wu_spin *>(handles[4]->control);
  EXPECT_EQ(WidgetText(numeric->text_w), "10");
  EXPECT_EQ(XmTextGetInsertionPosition(numeric->text_w), XmTextPosition(1));
  EXPECT_EQ(WidgetText(reinterpret_cast<wu_spin *>(handles[5]->control)->text_w), "medium");

  // Released, they give nothing back either.
  for (wu_ctl_handle *h : handles) ASSERT_EQ(h->services->wdes(h), WU_OK);
  Settle();
  EXPECT_TRUE(OtherOwns(XA_PRIMARY));
  EXPECT_TRUE(OtherOwns(destination_));
  EXPECT_EQ(Losses(), 0);
}

// The user's click into a field makes it the destination of the display,
// as Motif's own texts do; typing goes on as ever.
TEST_F(Selections, TheUsersClickMakesAFieldTheDestination) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {Text(WU_A_TEXT, "ab")});
  ASSERT_NE(h, nullptr);
  Settle();
  EXPECT_TRUE(OtherOwns(destination_));
  Type(W(h), "c");
  EXPECT_EQ(WidgetText(W(h)), "abc");
  XSync(other_, False);
  EXPECT_EQ(XGetSelectionOwner(other_, destination_), XtWindow(W(h)));
  EXPECT_TRUE(OtherOwns(XA_PRIMARY));
}

}  // namespace
