// The older pane controls (buttons, check boxes, radio boxes, field-backed
// buttons, list boxes) driven through their window-interface slots, with
// what the X server shows and the module events they queue.
#include "ctlfixture.h"
#include "runtime/wutoolkit.h"

#include <Xm/List.h>
#include <Xm/ToggleB.h>

namespace {

using PshFn = wu_status (*)(wu_pane *, wu_control **, int32_t, int32_t, int32_t, int32_t,
                            const char *, int32_t);
using RbxFn = wu_status (*)(wu_pane *, wu_control **, int32_t, int32_t, int32_t, int32_t, int32_t);
using RbtFn = wu_status (*)(wu_control *, wu_control **, int32_t, int32_t, int32_t, int32_t,
                            const char *, int32_t);
using SstaFn = wu_status (*)(wu_control *, int32_t);
using CstaFn = wu_status (*)(wu_control *);
using RrbtFn = wu_control *(*)(wu_control *);
using CwtxFn = wu_status (*)(wu_control *, const char *);
using GlbxFn = wu_status (*)(wu_pane *, wu_control **, const char *, int32_t, int32_t, int32_t,
                             int32_t, int32_t, int32_t, uint32_t, int32_t, const wu_str_item *,
                             int32_t);
using ClbxFn = wu_status (*)(wu_control *, int32_t, const wu_str_item *, int32_t, int32_t);
using QlbxFn = wu_status (*)(wu_control *, int32_t, void *);
using QlbiFn = wu_status (*)(wu_control *, int32_t, char *, int32_t *);
using HwidFn = wu_status (*)(wu_control *, int32_t);

// A queued module event with its parameter bytes.
struct QueuedEvent {
  int32_t code;
  std::vector<uint8_t> params;
  template <typename T>
  T as() const {
    T t = {};
    std::memcpy(&t, params.data(), std::min(params.size(), sizeof t));
    return t;
  }
};

std::string Label(Widget w) {
  XmString s = nullptr;
  XtVaGetValues(w, XmNlabelString, &s, nullptr);
  char *t = wumgstr(s);
  std::string out = t ? t : "";
  XtFree(t);
  XmStringFree(s);
  return out;
}

std::vector<wu_str_item> Items(std::initializer_list<const char *> texts) {
  std::vector<wu_str_item> out;
  for (const char *t : texts) out.push_back({int32_t(std::strlen(t)), 0, t});
  return out;
}

class OlderControls : public Controls {
 protected:
  void SetUp() override {
    Controls::SetUp();
    psh_ = Slot<PshFn>(QEV_TABLE_WINDOW, WUX_SLOT_GPSH);
    chk_ = Slot<PshFn>(QEV_TABLE_WINDOW, WUX_SLOT_GCHK);
    rbx_ = Slot<RbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_GRBX);
    rbt_ = Slot<RbtFn>(QEV_TABLE_WINDOW, WUX_SLOT_GRBT);
    ssta_ = Slot<SstaFn>(QEV_TABLE_WINDOW, WUX_SLOT_SSTA);
    csta_ = Slot<CstaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CSTA);
    rrbt_ = Slot<RrbtFn>(QEV_TABLE_WINDOW, WUX_SLOT_RRBT);
    cwtx_ = Slot<CwtxFn>(QEV_TABLE_WINDOW, WUX_SLOT_CWTX);
    glbx_ = Slot<GlbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_GLBX);
    clbx_ = Slot<ClbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_CLBX);
    qlbx_ = Slot<QlbxFn>(QEV_TABLE_WINDOW, WUX_SLOT_QLBX);
    qlbi_ = Slot<QlbiFn>(QEV_TABLE_WINDOW, WUX_SLOT_QLBI);
    swat_ = Slot<SetFn>(QEV_TABLE_WINDOW, WUX_SLOT_SWAT);
    fwid_ = Slot<FwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_FWID);
    hwid_ = Slot<HwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_HWID);
    ASSERT_NE(psh_, nullptr);
    ASSERT_NE(glbx_, nullptr);
    cw_ = devb->cell_width;
    ch_ = devb->cell_height;
  }
  std::vector<QueuedEvent> Taken() {
    std::vector<QueuedEvent> out;
    while (wu_event *e = wutdqev(window_)) {
      QueuedEvent q{e->code, std::vector<uint8_t>(e->params.bytes, e->params.bytes + e->length)};
      out.push_back(q);
      wutrlev(e);
    }
    return out;
  }
  Widget Of(wu_control *c) { return wuwgxtw(c); }
  // A click on the server's pointer, with modifiers held.
  void Click(Widget w, unsigned button = Button1, unsigned state = 0) {
    EXPECT_TRUE(Button(w, button, time_ += 1000, state)) << XtName(w);
    Settle();
  }

  PshFn psh_ = nullptr, chk_ = nullptr;
  RbxFn rbx_ = nullptr;
  RbtFn rbt_ = nullptr;
  SstaFn ssta_ = nullptr;
  CstaFn csta_ = nullptr;
  RrbtFn rrbt_ = nullptr;
  CwtxFn cwtx_ = nullptr;
  GlbxFn glbx_ = nullptr;
  ClbxFn clbx_ = nullptr;
  QlbxFn qlbx_ = nullptr;
  QlbiFn qlbi_ = nullptr;
  SetFn swat_ = nullptr;
  FwidFn fwid_ = nullptr;
  HwidFn hwid_ = nullptr;
  int32_t cw_ = 1, ch_ = 1;
};

// ---- buttons ------------------------------------------------------------------

TEST_F(OlderControls, ButtonsSitAtTheirCellsAndFollowTheScroll) {
  wu_control *push = nullptr, *check = nullptr;
  ASSERT_EQ(psh_(pane_, &push, 7, 2, 3, 0, "OK", -1), WU_OK);
  ASSERT_EQ(chk_(pane_, &check, 8, 5, 3, 0, "Bold", 4), WU_OK);
  Settle();
  Widget p = Of(push), k = Of(check);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(k, nullptr);
  EXPECT_STREQ(XtName(p), "qevPushButton");
  EXPECT_STREQ(XtName(k), "qevToggleButton");
  EXPECT_TRUE(XtIsManaged(p));
  EXPECT_EQ(p->core.x, 2 * cw_);
  EXPECT_EQ(p->core.y, ch_ + ch_ / 2);  // a push button sits half a cell lower
  EXPECT_EQ(p->core.width, 6 * cw_);
  EXPECT_EQ(p->core.height, 2 * ch_);
  EXPECT_EQ(k->core.y, 4 * ch_);
  EXPECT_EQ(k->core.width, 8 * cw_);
  EXPECT_EQ(Label(p), "OK");
  // Scrolling the pane by two rows moves them up two cells.
  pane_->top_row = 3;
  wutswid(pane_);
  EXPECT_EQ(p->core.y, ch_ / 2 - ch_);
  EXPECT_EQ(k->core.y, 2 * ch_);
  pane_->top_row = 1;
  wutswid(pane_);

  // The older setters: new cells, a new label buffer, common codes settled.
  wu_value set[4] = {Int(33, 4), Int(34, 1), Text(43, "Cancel now"), Int(WU_A_ENABLED, 0)};
  set[3].type = WU_VT_BOOL;
  EXPECT_EQ(swat_(push, set, 4), WU_OK);
  for (const wu_value &e : set) EXPECT_EQ(e.status, WU_OK);
  EXPECT_EQ(p->core.x, 0);
  EXPECT_EQ(p->core.y, 3 * ch_ + ch_ / 2);
  EXPECT_EQ(Label(p), "Cancel now");
  EXPECT_FALSE(XtIsSensitive(p));
  wu_value odd[2] = {Int(35, 2), Int(36, 0)};
  EXPECT_EQ(swat_(push, odd, 2), WU_ENTRY_STATUS);
  EXPECT_EQ(odd[0].status, WU_E_NOT_HANDLED);  // rows: radio boxes only
  EXPECT_EQ(odd[1].status, WU_E_RANGE);
  // Bad creation arguments make nothing.
  wu_control *none = nullptr;
  EXPECT_EQ(psh_(pane_, &none, 1, 1, 1, 0, nullptr, 5), WU_NOTAVAIL);
  EXPECT_EQ(psh_(pane_, &none, 1, 0, 1, 0, "x", 1), WU_NOTAVAIL);
  EXPECT_EQ(none, nullptr);
}

TEST_F(OlderControls, ControlsMadeBeforeThePaneIsRealisedAreBuiltWithIt) {
  wu_window *win = nullptr;
  wu_pane *pane = nullptr;
  ASSERT_EQ(wuxgwnd(&win, 1, 0), WU_OK);
  ASSERT_EQ(wuxgpan(win, &pane, 1, 1, 20, 60, 0), WU_OK);
  wu_control *push = nullptr, *box = nullptr, *b1 = nullptr, *b2 = nullptr, *list = nullptr;
  ASSERT_EQ(psh_(pane, &push, 1, 3, 4, 0, "Go", 2), WU_OK);
  ASSERT_EQ(rbx_(pane, &box, 2, 6, 2, 3, 20), WU_OK);
  ASSERT_EQ(rbt_(box, &b1, 21, 1, 1, 0, "One", 3), WU_OK);
  ASSERT_EQ(rbt_(box, &b2, 22, 2, 1, 0, "Two", 3), WU_OK);
  std::vector<wu_str_item> items = Items({"a", "b"});
  ASSERT_EQ(glbx_(pane, &list, "Title", 5, 30, 9999, 20, 0, 4, WU_LBX_REPORT, 3, items.data(), 2),
            WU_OK);
  EXPECT_EQ(list->height, 16);  // to the pane's last row
  EXPECT_EQ(Of(push), nullptr);
  ASSERT_EQ(clbx_(list, 1, Items({"c"}).data(), -1, 1), WU_OK);
  ASSERT_EQ(wuxiwnd(win), WU_OK);
  Settle();
  ASSERT_NE(Of(push), nullptr);
  EXPECT_EQ(Of(push)->core.x, 3 * cw_);
  ASSERT_NE(Of(box), nullptr);
  ASSERT_NE(Of(b2), nullptr);
  EXPECT_EQ(XtParent(Of(b2)), Of(box));
  EXPECT_EQ(Of(b2)->core.y, ch_);
  EXPECT_TRUE(XmToggleButtonGetState(Of(b1)));
  EXPECT_FALSE(XmToggleButtonGetState(Of(b2)));
  Widget lw = Of(list);
  ASSERT_NE(lw, nullptr);
  int n = 0;
  XtVaGetValues(lw, XmNitemCount, &n, nullptr);
  EXPECT_EQ(n, 3);
  wuxuwnd(win);
  wuxfwnd(win);
}

TEST_F(OlderControls, LabelChangesKeepTheOldWidth) {
  wu_control *push = nullptr;
  ASSERT_EQ(psh_(pane_, &push, 1, 1, 1, 0, "Hello", 5), WU_OK);
  Widget p = Of(push);
  EXPECT_EQ(cwtx_(push, "Hi"), WU_OK);
  EXPECT_EQ(Label(p), "Hi   ");
  EXPECT_EQ(cwtx_(push, "Greetings"), WU_OK);
  EXPECT_EQ(Label(p), "Greet");
  EXPECT_EQ(cwtx_(push, nullptr), WU_OK);
  EXPECT_EQ(Label(p), "     ");
  // A text without its NUL is never read past the label's width.
  const char unterminated[5] = {'A', 'B', 'C', 'D', 'E'};
  EXPECT_EQ(cwtx_(push, unterminated), WU_OK);
  EXPECT_EQ(Label(p), "ABCDE");
  wu_ctl_handle *label = Create(WU_CTYPE_LABEL);
  EXPECT_EQ(cwtx_(label->control, "x"), WU_UNSUPPORTED);
}

// The toolkit warnings given while a test step runs.
std::vector<std::string> g_warnings;
void KeepWarning(String name, String type, String cls, String text, String *, Cardinal *) {
  g_warnings.push_back(std::string(name ? name : "") + " " + (type ? type : "") + " " +
                       (cls ? cls : "") + ": " + (text ? text : ""));
}

TEST_F(OlderControls, RadioBoxesKeepExactlyOneButtonSet) {
  wu_control *box = nullptr, *b[3] = {};
  g_warnings.clear();
  XtErrorMsgHandler old = XtAppSetWarningMsgHandler(devb->app, KeepWarning);
  ASSERT_EQ(rbx_(pane_, &box, 9, 2, 2, 3, 20), WU_OK);
  EXPECT_EQ(csta_(box), 0);  // no button yet
  const char *labels[3] = {"Red", "Green", "Blue"};
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(rbt_(box, &b[i], 11 + i, i + 1, 1, 0, labels[i], -1), WU_OK);
  Settle();
  XtAppSetWarningMsgHandler(devb->app, old);
  // The buttons' drop sites inside the box's are left to the box: the
  // toolkit has nothing to refuse.
  for (const std::string &w : g_warnings) ADD_FAILURE() << w;
  EXPECT_EQ(csta_(box), 11);
  EXPECT_EQ(csta_(b[0]), 1);
  Taken();
  // A click on another button: one 1028 with the box, one button set.
  Click(Of(b[1]));
  std::vector<QueuedEvent> ev = Taken();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_OLD_PRESSED);
  EXPECT_EQ(ev[0].as<wu_old_pressed>().control, box);
  EXPECT_EQ(ev[0].as<wu_old_pressed>().code, WU_EV_OLD_PRESSED);
  EXPECT_EQ(csta_(box), 12);
  EXPECT_EQ(rrbt_(box), b[1]);
  EXPECT_FALSE(XmToggleButtonGetState(Of(b[0])));
  EXPECT_TRUE(XmToggleButtonGetState(Of(b[1])));
  // Clicking the selected one queues nothing and leaves it set.
  Click(Of(b[1]));
  EXPECT_TRUE(Taken().empty());
  EXPECT_TRUE(XmToggleButtonGetState(Of(b[1])));
  // By the host: an id no button has changes nothing.
  EXPECT_EQ(ssta_(box, 13), WU_OK);
  EXPECT_EQ(csta_(box), 13);
  EXPECT_EQ(ssta_(box, 99), WU_NOTAVAIL);
  EXPECT_EQ(csta_(box), 13);
  int set = 0;
  for (wu_control *k : b) set += XmToggleButtonGetState(Of(k)) ? 1 : 0;
  EXPECT_EQ(set, 1);
  EXPECT_EQ(rrbt_(b[0]), nullptr);  // not a box
}

TEST_F(OlderControls, CheckBoxesFlipAndPopupsReportTheirCell) {
  wu_control *check = nullptr;
  ASSERT_EQ(chk_(pane_, &check, 5, 4, 6, 0, "Wrap", -1), WU_OK);
  Settle();
  Widget k = Of(check);
  Taken();
  Click(k);
  EXPECT_EQ(csta_(check), 1);
  std::vector<QueuedEvent> ev = Taken();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].as<wu_old_pressed>().control, check);
  EXPECT_EQ(ssta_(check, 0), WU_OK);
  EXPECT_FALSE(XmToggleButtonGetState(k));
  EXPECT_EQ(csta_(check), 0);
  // Button 3: 1022 with the cell, the control's position, pointer and button.
  Click(k, Button3);
  ev = Taken();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_OLD_CELL_PRESS);
  const auto press = ev[0].as<wu_old_press>();
  EXPECT_EQ(press.control, check);
  EXPECT_EQ(press.row, 4);
  EXPECT_EQ(press.column, 6);
  EXPECT_EQ(press.x, 5 * cw_);
  EXPECT_EQ(press.pointer_x, 5 * cw_ + 3);
  EXPECT_EQ(press.button, 3);
  EXPECT_EQ(window_->popup_button, 3);
  // Not while another button is held: button 3 clicked with button 1 down
  // on the box (whose release flips it) reports no cell press.
  ASSERT_TRUE(qevtest::pressHandledAt(k, 3, 3, Button1));
  ASSERT_TRUE(qevtest::clickHandledAt(k, 3, 3, Button3));
  ASSERT_TRUE(qevtest::releaseHandledAt(k, 3, 3, Button1));
  Settle();
  for (const QueuedEvent &e : Taken()) EXPECT_NE(e.code, WU_EV_OLD_CELL_PRESS);
}

TEST_F(OlderControls, FieldBackedButtonsFollowTheirField) {
  wu_field *f = nullptr;
  ASSERT_EQ(wuxgfld(pane_, &f, 3, 10, 6, 0, 0), WU_OK);
  std::memcpy(f->text, "Choose", 6);
  f->flags2 = WU_FLD2_CHECK | WU_FLD2_SET | WU_FLD2_GRAYED;
  auto *t = static_cast<wu_old_button *>(wutgmem(window_->pool, WU_MT_FIELD_TOGGLE));
  ASSERT_NE(t, nullptr);
  t->c.kind = WU_MT_FIELD_TOGGLE;
  t->c.pane = pane_;
  t->field = f;
  f->control = &t->c;
  wu_ctl_link(&t->c);
  ASSERT_EQ(wutiwid(&t->c), WU_OK);
  Widget w = Of(&t->c);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(XmToggleButtonGetState(w));
  EXPECT_FALSE(XtIsSensitive(w));
  EXPECT_EQ(w->core.x, 9 * cw_);
  EXPECT_EQ(w->core.width, 6 * cw_);
  EXPECT_EQ(Label(w), "Choose");
  // The field changes and the toggle follows.
  f->flags2 = WU_FLD2_CHECK;
  std::memcpy(f->text, "Pick  ", 6);
  EXPECT_EQ(wutwtog(&t->c), WU_OK);
  EXPECT_FALSE(XmToggleButtonGetState(w));
  EXPECT_TRUE(XtIsSensitive(w));
  EXPECT_EQ(Label(w), "Pick");
  // A press is the field's event when the field asks for it.
  Taken();
  Click(w);
  EXPECT_TRUE(Taken().empty());
  EXPECT_TRUE(f->flags2 & WU_FLD2_SET);
  f->flags |= WU_FLD_BUTTON_EVENTS;
  f->flags2 |= WU_FLD2_PRESS_EVENT;
  Click(w);
  std::vector<QueuedEvent> ev = Taken();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_FIELD_BUTTON);
  const auto press = ev[0].as<wu_field_press>();
  EXPECT_EQ(press.pane, pane_);
  EXPECT_EQ(press.field, f);
  EXPECT_EQ(press.code, WU_FIELD_PRESS_CODE);
  EXPECT_EQ(press.row, 3);
  EXPECT_EQ(press.column, 10);
  EXPECT_EQ(press.kind, WU_FIELD_PRESS_KIND);
  // A field that is neither radio nor check type makes no toggle.
  wu_field *g = nullptr;
  ASSERT_EQ(wuxgfld(pane_, &g, 5, 10, 4, 0, 0), WU_OK);
  auto *u = static_cast<wu_old_button *>(wutgmem(window_->pool, WU_MT_FIELD_TOGGLE));
  u->c.kind = WU_MT_FIELD_TOGGLE;
  u->c.pane = pane_;
  u->field = g;
  wu_ctl_link(&u->c);
  EXPECT_EQ(wutiwid(&u->c), WU_NOTAVAIL);
  EXPECT_EQ(Of(&u->c), nullptr);
}

TEST_F(OlderControls, BarsTakeTheirCellsFromTheSetter) {
  int32_t lo = 0, hi = 100, value = 40;
  wu_bar *bar = nullptr;
  ASSERT_EQ(wuxgbar(pane_, &bar, 1, 0, 0, &lo, &hi, &value, 2, 30, 5, 0, 0), WU_OK);
  Settle();
  ASSERT_NE(bar->widget, nullptr);
  wu_value set[4] = {Int(33, 3), Int(35, 6), Int(36, 4), Int(43, 0)};
  EXPECT_EQ(swat_(&bar->common, set, 4), WU_ENTRY_STATUS);
  EXPECT_EQ(set[3].status, WU_E_NOT_HANDLED);
  EXPECT_EQ(bar->widget->core.y, 2 * ch_);
  EXPECT_EQ(bar->widget->core.height, 6 * ch_);  // vertical: rows are its length
  EXPECT_EQ(csta_(&bar->common), 40);
  EXPECT_EQ(fwid_(&bar->common), WU_OK);
}

// ---- list boxes -------------------------------------------------------------------

TEST_F(OlderControls, ListBoxChangesAreMirroredAndRefusedWhole) {
  wu_control *c = nullptr;
  std::vector<wu_str_item> items = Items({"apple", "pear", "plum", "pear"});
  ASSERT_EQ(glbx_(pane_, &c, "Fruit", 1, 1, 8, 20, 0, 4, WU_LBX_MULTIPLE, 1, items.data(), 4),
            WU_OK);
  Settle();
  Widget list = Of(c);
  ASSERT_NE(list, nullptr);
  EXPECT_STREQ(XtName(list), "qevListBox");
  int n = 0;
  XtVaGetValues(list, XmNitemCount, &n, nullptr);
  EXPECT_EQ(n, 4);
  int32_t count = 0;
  // Inserting past count + 1, a count below 1, a bad operation: nothing.
  std::vector<wu_str_item> one = Items({"fig"});
  EXPECT_EQ(clbx_(c, 1, one.data(), 6, 1), WU_NOTAVAIL);
  EXPECT_EQ(clbx_(c, 1, one.data(), 1, 0), WU_NOTAVAIL);
  EXPECT_EQ(clbx_(c, 2, nullptr, 3, 3), WU_NOTAVAIL);
  EXPECT_EQ(clbx_(c, 9, nullptr, 1, 1), WU_NOTAVAIL);
  ASSERT_EQ(qlbx_(c, 3, &count), WU_OK);
  EXPECT_EQ(count, 4);
  // Selecting by a text that two items share selects the first.
  std::vector<wu_str_item> pear = Items({"pear"});
  EXPECT_EQ(clbx_(c, 3, pear.data(), 0, 1), WU_OK);
  EXPECT_EQ(clbx_(c, 3, nullptr, 3, 5), WU_OK);  // cut at the last item
  int32_t *answer = nullptr;
  ASSERT_EQ(qlbx_(c, 1, &answer), WU_OK);
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer[0], 3);
  EXPECT_EQ(answer[1], 2);
  EXPECT_EQ(answer[2], 3);
  EXPECT_EQ(answer[3], 4);
  EXPECT_EQ(csta_(c), 3);
  EXPECT_TRUE(XmListPosSelected(list, 2));
  EXPECT_FALSE(XmListPosSelected(list, 1));
  // Deleting two items of which one is selected lowers the count by one.
  EXPECT_EQ(clbx_(c, 2, nullptr, 1, 2), WU_OK);
  EXPECT_EQ(csta_(c), 2);
  XtVaGetValues(list, XmNitemCount, &n, nullptr);
  EXPECT_EQ(n, 2);
  EXPECT_TRUE(XmListPosSelected(list, 1));
  EXPECT_EQ(clbx_(c, 4, nullptr, 1, 2), WU_OK);
  EXPECT_EQ(qlbx_(c, 1, &answer), WU_NOTAVAIL);
  // Item texts: the length alone, or a copy cut to the buffer.
  int32_t len = 0;
  EXPECT_EQ(qlbi_(c, 1, nullptr, &len), WU_OK);
  EXPECT_EQ(len, 4);
  char buf[3] = {'x', 'x', 'x'};
  len = 3;
  EXPECT_EQ(qlbi_(c, 1, buf, &len), WU_OK);
  EXPECT_STREQ(buf, "pl");
  EXPECT_EQ(qlbi_(c, 3, nullptr, &len), WU_NOTAVAIL);
  len = 0;
  EXPECT_EQ(qlbi_(c, 1, buf, &len), WU_NOTAVAIL);
  // Appending, the top position and the title.
  ASSERT_EQ(clbx_(c, 1, Items({"kiwi", ""}).data(), -1, 2), WU_OK);
  ASSERT_EQ(qlbx_(c, 3, &count), WU_OK);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(qlbi_(c, 4, nullptr, &len), WU_OK);
  EXPECT_EQ(len, 1);  // an empty text shows as a blank
  EXPECT_EQ(clbx_(c, 6, Items({"Sorts"}).data(), 0, 1), WU_OK);
  // To the edge of a pane as wide as its window.
  wu_control *wide = nullptr;
  EXPECT_EQ(glbx_(pane_, &wide, nullptr, 2, 40, 3, 9999, 0, 2, 0, 2, nullptr, 0), WU_OK);
  ASSERT_NE(wide, nullptr);
  EXPECT_GT(wide->width, 0);
  EXPECT_EQ(glbx_(pane_, &wide, nullptr, 2, 40, 3, 5, 0, 2, 0, 2, nullptr, 1), WU_NOTAVAIL);
}

TEST_F(OlderControls, ListBoxSelectionsAreQueuedAndHidingTakesTheTitle) {
  wu_control *c = nullptr;
  std::vector<wu_str_item> items = Items({"one", "two", "three"});
  window_->host_flags |= WU_WHOST_DEFAULT_ACTIONS;
  ASSERT_EQ(glbx_(pane_, &c, "Numbers", 1, 1, 8, 20, 0, 3, WU_LBX_REPORT, 1, items.data(), 3),
            WU_OK);
  Settle();
  Widget list = Of(c);
  ASSERT_TRUE(qevtest::clickRowHandled(list, 2));
  Settle();
  std::vector<QueuedEvent> ev = Taken();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_OLD_PRESSED);
  EXPECT_EQ(ev[0].as<wu_old_pressed>().control, c);
  EXPECT_EQ(ev[0].as<wu_old_pressed>().code, WU_EV_OLD_PRESSED);
  EXPECT_EQ(window_->current_control, c);
  EXPECT_EQ(csta_(c), 1);
  // A double click is the default action (after a pause: the click above
  // is not its first half).
  qevtest::turnUntil([] { return false; }, int(XtGetMultiClickTime(devb->display)) + 100);
  ASSERT_TRUE(qevtest::doubleClickRowHandled(list, 2));
  ev = Taken();
  ASSERT_FALSE(ev.empty());
  EXPECT_EQ(ev.back().as<wu_old_pressed>().control, c);
  EXPECT_EQ(ev.back().as<wu_old_pressed>().code, WU_EV_OLD_DEFAULT);
  // The title goes with the list when the box is hidden.
  Widget form = XtParent(XtParent(list));
  Widget title = XtNameToWidget(form, "qevListTitle");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(Label(title), "Numbers");
  XWindowAttributes a = {};
  EXPECT_EQ(hwid_(c, 0), WU_OK);
  Settle();
  XGetWindowAttributes(devb->display, XtWindow(title), &a);
  EXPECT_NE(a.map_state, IsViewable);
  EXPECT_EQ(hwid_(c, 1), WU_OK);
  Settle();
  XGetWindowAttributes(devb->display, XtWindow(title), &a);
  EXPECT_EQ(a.map_state, IsViewable);
  // The setter: a new title, codes it does not know.
  wu_value set[2] = {Text(43, "Digits"), Int(72, 3)};
  EXPECT_EQ(swat_(c, set, 2), WU_ENTRY_STATUS);
  EXPECT_EQ(set[0].status, WU_OK);
  EXPECT_EQ(set[1].status, WU_E_NOT_HANDLED);
  EXPECT_EQ(Label(title), "Digits");
}

TEST_F(OlderControls, ReleaseLeavesThePoolAtItsBaseline) {
  auto make_all = [this](std::vector<wu_control *> *made) {
    wu_control *c = nullptr, *box = nullptr;
    ASSERT_EQ(psh_(pane_, &c, 1, 1, 1, 0, "Push", -1), WU_OK);
    made->push_back(c);
    ASSERT_EQ(chk_(pane_, &c, 2, 4, 1, 0, "Check", -1), WU_OK);
    made->push_back(c);
    ASSERT_EQ(rbx_(pane_, &box, 3, 5, 1, 3, 20), WU_OK);
    ASSERT_EQ(rbt_(box, &c, 31, 1, 1, 0, "A", -1), WU_OK);
    ASSERT_EQ(rbt_(box, &c, 32, 2, 1, 0, "B", -1), WU_OK);
    made->push_back(box);  // its buttons go with it
    std::vector<wu_str_item> items = Items({"x", "y", "z"});
    ASSERT_EQ(glbx_(pane_, &c, "T", 1, 30, 6, 20, 0, 3, WU_LBX_MULTIPLE, 4, items.data(), 3), WU_OK);
    int32_t *answer = nullptr;
    clbx_(c, 3, nullptr, 1, 3);
    qlbx_(c, 1, &answer);
    made->push_back(c);
  };
  std::vector<wu_control *> made;
  make_all(&made);
  for (wu_control *c : made) EXPECT_EQ(fwid_(c), WU_OK);
  wuxuwnd(window_);
  EXPECT_EQ(pane_->ext->controls, nullptr);
  NoteBaselines();
  made.clear();
  make_all(&made);
  Settle();
  for (wu_control *c : made) EXPECT_EQ(fwid_(c), WU_OK);
  wuxuwnd(window_);
  EXPECT_EQ(pane_->ext->controls, nullptr);
  const qevhost::PoolStats now = qevhost::poolStats(pool_);
  EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
  EXPECT_EQ(now.liveBytes, base_.liveBytes);
  EXPECT_EQ(now.errors, 0);
  ExpectBaselines();
}

}  // namespace
