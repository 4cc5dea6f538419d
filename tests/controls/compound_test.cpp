// The combo box and the spin box through the control slots, the builders on
// a plain form, XTest input and what the X server shows.
#include "ctlfixture.h"

#include <X11/Xlib.h>
#include <Xm/Form.h>
#include <Xm/List.h>

#include "controls/wucombo.h"
#include "runtime/wureg.h"
#include "runtime/wutoolkit.h"
#include "xd/IconList.h"

#include <X11/extensions/XTest.h>

namespace {

class Compound : public Controls {
 protected:
  wu_status Set(wu_ctl_handle *h, std::vector<wu_value> &v) {
    return h->services->swat(h->control, v.data(), int32_t(v.size()));
  }
  wu_status Set(wu_ctl_handle *h, std::vector<wu_value> &&v) { return Set(h, v); }
  wu_value Query(wu_ctl_handle *h, int16_t code) {
    wu_value v = {};
    v.code = code;
    h->services->qwat(h->control, &v, 1);
    return v;
  }
  wu_combo *Cb(wu_ctl_handle *h) { return reinterpret_cast<wu_combo *>(h->control); }
  wu_spin *Sb(wu_ctl_handle *h) { return reinterpret_cast<wu_spin *>(h->control); }
  static wu_value Flag(int16_t code, int32_t value) {
    wu_value v = Int(code, value);
    v.type = WU_VT_BOOL;
    return v;
  }
  static wu_value Items(std::vector<wu_str_item> &items) {
    wu_value v = {};
    v.code = WU_A_ITEMS;
    v.type = WU_VT_STRLIST;
    v.value = int32_t(items.size());
    v.pointer = items.data();
    return v;
  }
  static std::vector<wu_str_item> Strs(std::initializer_list<const char *> texts) {
    std::vector<wu_str_item> out;
    for (const char *t : texts) out.push_back({int32_t(std::strlen(t)), 0, t});
    return out;
  }
  Widget Form() {
    Widget f = XtVaCreateManagedWidget("plain", xmFormWidgetClass, W(anchor_)->core.parent,
                                       nullptr);
    Settle();
    // Above the anchor, so that the pointer reaches what is built on it.
    XRaiseWindow(XtDisplay(f), XtWindow(f));
    Settle();
    return f;
  }
  // The increment and decrement events posted since the last call (a click
  // on an arrow also posts `click`, two quick ones `doubleClick`).
  std::vector<Posted> Steps() {
    std::vector<Posted> out;
    for (const Posted &p : Events())
      if (p.code == WU_EV_INCREMENT || p.code == WU_EV_DECREMENT) out.push_back(p);
    return out;
  }
  // A click of the pointer on a widget, handled.
  void Click(Widget w) {
    qevtest::clickWidget(w);
    Settle();
  }
  wu_ctl_handle *anchor_ = nullptr;
};

// Width a spin box adds around its text: margins, shadows and highlight on
// both sides, and one cell for the insertion cursor.
int32_t TextFrame(Widget text) {
  Dimension margin = 0, shadow = 0, highlight = 0;
  XtVaGetValues(text, XmNmarginWidth, &margin, XmNshadowThickness, &shadow, XmNhighlightThickness,
                &highlight, nullptr);
  return 2 * (int32_t(margin) + shadow + highlight) + devb->cell_width;
}

// Slot 6 puts a text into a combo box's text without a value-changed event,
// the cursor at its end; before the widgets exist it waits for them.
TEST_F(Compound, ComboTakesATextThroughSlotSixQuietly) {
  using CwtxFn = wu_status (*)(wu_control *, const char *);
  auto cwtx = Slot<CwtxFn>(QEV_TABLE_WINDOW, WUX_SLOT_CWTX);
  ASSERT_NE(cwtx, nullptr);
  std::vector<int32_t> all = {WU_EV_KEY, WU_EV_VALUECHANGED, WU_EV_RETURNKEY};
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1), List(WU_A_EVENTS, all)});
  ASSERT_NE(h, nullptr);
  Events();
  EXPECT_EQ(cwtx(h->control, "from the host"), WU_OK);
  Settle();
  EXPECT_EQ(WidgetText(Cb(h)->text_w), "from the host");
  EXPECT_EQ(XmTextGetInsertionPosition(Cb(h)->text_w), XmTextPosition(13));
  EXPECT_TRUE(Events().empty());
  wu_value q = Query(h, WU_A_TEXT);
  EXPECT_EQ(std::string(static_cast<char *>(q.pointer), size_t(q.value)), "from the host");
  h->services->clen(h, &q, 1);
}

// A selected index past the items is taken and kept; it selects nothing
// and reaches no item while it stays past them.  Below 0 is refused.
TEST_F(Compound, ComboKeepsASelectedIndexPastItsItems) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 0)});
  ASSERT_NE(h, nullptr);
  auto items = Strs({"alpha", "beta", "gamma"});
  ASSERT_EQ(Set(h, {Items(items), Int(WU_A_SELECTEDINDEX, 2)}), WU_OK);
  EXPECT_EQ(WidgetText(Cb(h)->text_w), "beta");
  std::vector<wu_value> past = {Int(WU_A_SELECTEDINDEX, 9)};
  EXPECT_EQ(Set(h, past), WU_OK);
  EXPECT_EQ(past[0].status, WU_OK);
  EXPECT_EQ(WidgetText(Cb(h)->text_w), "beta");
  int *pos = nullptr, n = 0;
  EXPECT_FALSE(XmListGetSelectedPos(Cb(h)->list, &pos, &n) && n > 0 && pos[0] > 3);
  XtFree(reinterpret_cast<char *>(pos));
  std::vector<wu_value> below = {Int(WU_A_SELECTEDINDEX, -1)};
  EXPECT_EQ(Set(h, below), WU_ENTRY_STATUS);
  EXPECT_EQ(below[0].status, WU_E_RANGE);
}

TEST_F(Compound, PopupListIsSizedForFewAndManyItems) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  ASSERT_NE(h, nullptr);
  wu_combo *cb = Cb(h);
  ASSERT_NE(cb->list, nullptr);
  auto three = Strs({"a", "b", "c"});
  ASSERT_EQ(Set(h, {Items(three)}), WU_OK);
  int visible = 0;
  Dimension lh = 0;
  XtVaGetValues(cb->list, XmNvisibleItemCount, &visible, XmNheight, &lh, nullptr);
  XFontStruct *f = devb->font;
  const int row = f->max_bounds.ascent + f->max_bounds.descent + 4;
  EXPECT_EQ(visible, 3);
  EXPECT_EQ(lh, 3 * row + 6);
  auto twelve = Strs({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"});
  ASSERT_EQ(Set(h, {Items(twelve)}), WU_OK);
  XtVaGetValues(cb->list, XmNvisibleItemCount, &visible, XmNheight, &lh, nullptr);
  EXPECT_EQ(visible, 10);
  EXPECT_EQ(lh, 10 * row);
}

TEST_F(Compound, PostingGrabsAndEveryPopDownReleases) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  wu_combo *cb = Cb(h);
  auto items = Strs({"alpha", "beta", "gamma"});
  ASSERT_EQ(Set(h, {Items(items)}), WU_OK);
  ASSERT_TRUE(qevtest::pointerFree());
  // The arrow posts; Escape in the list pops down.
  ASSERT_TRUE(qevtest::clickHandled(cb->arrow));
  Settle();
  EXPECT_TRUE(cb->shown);
  EXPECT_FALSE(qevtest::pointerFree());
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
  EXPECT_FALSE(cb->shown);
  EXPECT_TRUE(qevtest::pointerFree());
  // Return in the list pops down.
  ASSERT_TRUE(qevtest::clickHandled(cb->arrow));
  Settle();
  EXPECT_FALSE(qevtest::pointerFree());
  qevtest::pressKey(devb->display, XK_Return);
  Settle();
  EXPECT_FALSE(cb->shown);
  EXPECT_TRUE(qevtest::pointerFree());
  // A press outside the list pops down.
  ASSERT_TRUE(qevtest::clickHandled(cb->arrow));
  Settle();
  XWarpPointer(devb->display, None, DefaultRootWindow(devb->display), 0, 0, 0, 0, 1, 1);
  Settle();
  XTestFakeButtonEvent(devb->display, 1, True, CurrentTime);
  XTestFakeButtonEvent(devb->display, 1, False, CurrentTime);
  Settle();
  EXPECT_FALSE(cb->shown);
  EXPECT_TRUE(qevtest::pointerFree());
  // A selection by the pointer pops down, copies the item and sends select.
  ASSERT_TRUE(qevtest::clickHandled(cb->arrow));
  Settle();
  Events();  // the arrow's click
  ASSERT_TRUE(qevtest::clickRowHandled(cb->list, 2));
  Settle();
  EXPECT_FALSE(cb->shown);
  EXPECT_TRUE(qevtest::pointerFree());
  EXPECT_EQ(WidgetText(cb->text_w), "beta");
  auto posted = Events();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].code, WU_EV_SELECT);
  ASSERT_EQ(posted[0].params.size(), 1u);
  EXPECT_EQ(posted[0].params[0].value, 2);
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 2);
}

// The host releases the window (outside any command) while a combo box's
// list is posted in it: the moment the release returns, with nothing of
// the module's connection handled since, another client finds the window
// gone from the server and the pointer and keyboard free.
TEST_F(Compound, AWindowReleasedWithItsListPostedIsGoneWhenTheReleaseReturns) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  wu_combo *cb = Cb(h);
  auto items = Strs({"alpha", "beta", "gamma"});
  ASSERT_EQ(Set(h, {Items(items)}), WU_OK);
  ASSERT_TRUE(qevtest::clickHandled(cb->arrow));
  Settle();
  ASSERT_TRUE(cb->shown);
  ASSERT_FALSE(qevtest::pointerFree());
  Display *other = XOpenDisplay(DisplayString(devb->display));
  ASSERT_NE(other, nullptr);
  const Window frame = XtWindow(window_->outer);
  const Window list = XtWindow(cb->shell);
  ASSERT_TRUE(qevtest::windowExists(other, frame));
  ASSERT_TRUE(qevtest::windowExists(other, list));
  ASSERT_EQ(wuxfwnd(window_), WU_OK);
  window_ = nullptr;
  EXPECT_FALSE(qevtest::windowExists(other, frame));
  EXPECT_FALSE(qevtest::windowExists(other, list));
  EXPECT_TRUE(qevtest::keyboardFree(other));
  EXPECT_TRUE(qevtest::pointerFree(other));
  XCloseDisplay(other);
}

TEST_F(Compound, KeysBrowseTheListAndReturnTakesTheItem) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  wu_combo *cb = Cb(h);
  auto items = Strs({"north", "south", "east"});
  ASSERT_EQ(Set(h, {Items(items), Int(WU_A_SELECTEDINDEX, 1)}), WU_OK);
  EXPECT_EQ(WidgetText(cb->text_w), "north");
  // Down in the text shows the next item.
  Key(cb->text_w, XK_Down);
  EXPECT_EQ(WidgetText(cb->text_w), "south");
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 2);
  // In the posted list the keys browse; Return takes the item and pops down.
  ASSERT_TRUE(qevtest::clickHandled(cb->arrow));
  Settle();
  ASSERT_TRUE(cb->shown);
  qevtest::pressKey(devb->display, XK_Down);
  Settle();
  EXPECT_TRUE(cb->shown);
  EXPECT_EQ(WidgetText(cb->text_w), "south");
  qevtest::pressKey(devb->display, XK_Return);
  Settle();
  EXPECT_FALSE(cb->shown);
  EXPECT_TRUE(qevtest::pointerFree());
  EXPECT_EQ(WidgetText(cb->text_w), "east");
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 3);
  // A click on an item of the posted list takes it.
  ASSERT_TRUE(qevtest::clickHandled(cb->arrow));
  Settle();
  ASSERT_TRUE(cb->shown);
  Position lx = 0, ly = 0;
  XtTranslateCoords(cb->list, 5, 3, &lx, &ly);
  XTestFakeMotionEvent(devb->display, -1, lx, ly, CurrentTime);
  Settle();
  XTestFakeButtonEvent(devb->display, 1, True, CurrentTime);
  XTestFakeButtonEvent(devb->display, 1, False, CurrentTime);
  Settle();
  EXPECT_FALSE(cb->shown);
  EXPECT_TRUE(qevtest::pointerFree());
  EXPECT_EQ(WidgetText(cb->text_w), "north");
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 1);
}

TEST_F(Compound, NothingStaysPostedWithoutTheGrabOrWhenHidden) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  wu_combo *cb = Cb(h);
  auto items = Strs({"one", "two"});
  ASSERT_EQ(Set(h, {Items(items)}), WU_OK);
  // Another client holds the pointer: the list does not stay up.
  ASSERT_TRUE(qevtest::clickHandled(cb->text_w));
  Display *other = XOpenDisplay(DisplayString(devb->display));
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(XGrabPointer(other, DefaultRootWindow(other), False, ButtonPressMask, GrabModeAsync,
                         GrabModeAsync, None, None, CurrentTime),
            GrabSuccess);
  XSync(other, False);
  // The pointer is another client's: the list is asked for from the keyboard.
  ASSERT_TRUE(qevtest::keyHandled(devb->display, XK_Down, ControlMask));
  Settle();
  EXPECT_FALSE(cb->shown);
  XWindowAttributes attr = {};
  XGetWindowAttributes(devb->display, XtWindow(cb->shell), &attr);
  EXPECT_NE(attr.map_state, IsViewable);
  XUngrabPointer(other, CurrentTime);
  // The keyboard is not left grabbed either.
  EXPECT_EQ(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                          CurrentTime),
            GrabSuccess);
  XUngrabKeyboard(other, CurrentTime);
  XCloseDisplay(other);
  // Hiding a combo whose list is up takes the list down.
  ASSERT_TRUE(qevtest::clickHandled(cb->arrow));
  Settle();
  ASSERT_TRUE(cb->shown);
  ASSERT_EQ(Set(h, {Flag(WU_A_VISIBLE, 0)}), WU_OK);
  Settle();
  EXPECT_FALSE(cb->shown);
  EXPECT_TRUE(qevtest::pointerFree());
}

TEST_F(Compound, ReturnSelectsTheEqualItemForTheHost) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  wu_combo *cb = Cb(h);
  auto items = Strs({"one", "two", "three"});
  ASSERT_EQ(Set(h, {Items(items)}), WU_OK);
  Events();
  Type(cb->text_w, "two");
  Key(cb->text_w, XK_Return);
  std::vector<int32_t> codes = Codes();
  EXPECT_NE(std::find(codes.begin(), codes.end(), WU_EV_RETURNKEY), codes.end());
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 2);
  wu_value t = Text(WU_A_TEXT, "none");
  ASSERT_EQ(Set(h, {t}), WU_OK);
  Key(cb->text_w, XK_Return);
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 0);
}

TEST_F(Compound, AttributesMethodsAndFind) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  wu_combo *cb = Cb(h);
  auto items = Strs({"a", "Abc", "b", "abd"});
  ASSERT_EQ(Set(h, {Items(items)}), WU_OK);
  // Same items again leave selection and text alone.
  ASSERT_EQ(Set(h, {Int(WU_A_SELECTEDINDEX, 3)}), WU_OK);
  EXPECT_EQ(WidgetText(cb->text_w), "b");
  ASSERT_EQ(Set(h, {Items(items)}), WU_OK);
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 3);
  EXPECT_EQ(WidgetText(cb->text_w), "b");
  // selectedIndex past the items is taken and leaves the list's selection
  // and the text as they are.
  std::vector<wu_value> v = {Int(WU_A_SELECTEDINDEX, 9)};
  EXPECT_EQ(Set(h, v), WU_OK);
  EXPECT_EQ(v[0].status, WU_OK);
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 3);
  EXPECT_EQ(WidgetText(cb->text_w), "b");
  // 0 in an editable combo leaves one blank.
  ASSERT_EQ(Set(h, {Int(WU_A_SELECTEDINDEX, 0)}), WU_OK);
  EXPECT_EQ(WidgetText(cb->text_w), " ");
  // Style after creation, cursor of a drop-down, maximum characters.
  v = {Flag(WU_A_COMBOSTYLE, 0), Int(WU_A_MAXCHARS, 257)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_CREATE_ONLY);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  // A null list with a count is refused.
  wu_value bad = {};
  bad.code = WU_A_ITEMS;
  bad.type = WU_VT_STRLIST;
  bad.value = 3;
  v = {bad};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  // _find and _findExact.
  MethFn meth = h->services->meth;
  ASSERT_NE(meth, nullptr);
  wu_value p[2] = {Int(0, 3), Text(0, "ab")};
  ASSERT_EQ(meth(h, WU_M_FIND, p, 2), WU_OK);
  EXPECT_EQ(p[0].value, 4);
  p[0].value = 5;
  ASSERT_EQ(meth(h, WU_M_FIND, p, 2), WU_OK);
  EXPECT_EQ(p[0].value, 2);
  p[0].value = 1;
  ASSERT_EQ(meth(h, WU_M_FINDEXACT, p, 2), WU_OK);
  EXPECT_EQ(p[0].value, 0);
  wu_value longer[2] = {Int(0, -4), Text(0, "abcdef")};
  ASSERT_EQ(meth(h, WU_M_FIND, longer, 2), WU_OK);
  EXPECT_EQ(longer[0].value, 0);
  // _addItems, _delete, _deleteAll and the items query.
  auto more = Strs({"x", "y"});
  wu_value add[2] = {Int(0, 1), Items(more)};
  ASSERT_EQ(meth(h, WU_M_ADD, add, 2), WU_OK);
  EXPECT_EQ(cb->store.count, 6);
  wu_value del[1] = {Int(0, 1)};
  ASSERT_EQ(meth(h, WU_M_DELETE, del, 1), WU_OK);
  wu_value q = Query(h, WU_A_ITEMS);
  ASSERT_EQ(q.status, WU_ALLOCATED);
  ASSERT_EQ(q.value, 5);
  EXPECT_EQ(std::string(static_cast<wu_str_item *>(q.pointer)[0].text), "y");
  wumclen(h, &q, 1);
  EXPECT_EQ(cb->query_items, nullptr);
  ASSERT_EQ(meth(h, WU_M_DELETEALL, nullptr, 0), WU_OK);
  int left = -1;
  XtVaGetValues(cb->list, XmNitemCount, &left, nullptr);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(WidgetText(cb->text_w), "");
}

TEST_F(Compound, RecordingsAndReplay) {
  wu_ctl_handle *h = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  wu_combo *cb = Cb(h);
  auto items = Strs({"red", "green"});
  ASSERT_EQ(Set(h, {Items(items)}), WU_OK);
  Events();
  wu_batch_event r = {};
  r.code = WU_EV_SELECT;
  r.value1 = 2;
  r.sent = 1;
  ASSERT_EQ(h->services->rbat(h, &r), WU_OK);
  Settle();
  EXPECT_EQ(WidgetText(cb->text_w), "green");
  auto posted = Events();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].params[0].value, 2);
  wu_batch_event t = {};
  t.code = WU_EV_RETURNKEY;
  wu_rec_set_text(&t, "typed", 5);
  ASSERT_EQ(h->services->rbat(h, &t), WU_OK);
  EXPECT_EQ(WidgetText(cb->text_w), "typed");
  wu_batch_event odd = {};
  odd.code = 77;
  EXPECT_EQ(h->services->rbat(h, &odd), WU_NOTAVAIL);
}

TEST_F(Compound, BuilderOnAPlainForm) {
  anchor_ = Create(WU_CTYPE_ENTRY);
  Widget form = Form();
  wu_combo cb = {};
  cb.style = WU_COMBO_EDITABLE;
  cb.unique = 1;
  cb.first_field = 1;
  XmString items[2] = {wumcstr("ls;list"), wumcstr("cd;change")};
  cb.items = items;
  cb.item_count = 2;
  ASSERT_EQ(wutgcbo(form, &cb), WU_OK);
  XtManageChild(cb.form);
  // Room for the pointer on the text and the arrow, as a pane gives it.
  XtVaSetValues(cb.form, XmNwidth, 200, XmNheight, 30, nullptr);
  Settle();
  // Up on the first item copies its first field only.
  Widget list = cb.list;
  XmListSelectPos(list, 1, False);
  Key(cb.text_w, XK_Up);
  EXPECT_EQ(WidgetText(cb.text_w), "ls");
  // Return with the unique switch moves an equal item to the top.
  XmTextSetString(cb.text_w, const_cast<char *>("cd;change"));
  Key(cb.text_w, XK_Return);
  int n = 0;
  XtVaGetValues(list, XmNitemCount, &n, nullptr);
  EXPECT_EQ(n, 2);
  XmStringTable now = nullptr;
  XtVaGetValues(list, XmNitems, &now, nullptr);
  char *top = wumgstr(now[0]);
  EXPECT_STREQ(top, "cd;change");
  XtFree(top);
  // UpdateText with no selection gives a single blank.
  XmListDeselectAllItems(list);
  UpdateText(&cb);
  EXPECT_EQ(WidgetText(cb.text_w), " ");
  // The list opens below the text, and above it near the screen's bottom.
  Widget shell_of_form = form;
  while (!XtIsShell(shell_of_form)) shell_of_form = XtParent(shell_of_form);
  Position tx = 0, ty = 0;
  ASSERT_TRUE(qevtest::clickHandled(cb.arrow));
  Settle();
  XtTranslateCoords(cb.text_w, 0, 0, &tx, &ty);
  EXPECT_EQ(cb.shell->core.y, ty + cb.text_w->core.height);
  PopDownComboList(&cb);
  const int screen_h = HeightOfScreen(XtScreen(shell_of_form));
  // The text's bottom five pixels above the screen's.
  XWindowAttributes wa = {};
  XGetWindowAttributes(devb->display, XtWindow(shell_of_form), &wa);
  Window child = 0;
  int wx = 0, wy = 0;
  XTranslateCoordinates(devb->display, XtWindow(shell_of_form), wa.root, 0, 0, &wx, &wy, &child);
  XMoveWindow(devb->display, XtWindow(shell_of_form), wx,
              wy + (screen_h - 5 - (ty + cb.text_w->core.height)));
  Settle();
  ASSERT_TRUE(qevtest::clickHandled(cb.arrow));
  Settle();
  XtTranslateCoords(cb.text_w, 0, 0, &tx, &ty);
  EXPECT_GT(ty + cb.text_w->core.height + cb.shell->core.height, screen_h);
  EXPECT_EQ(cb.shell->core.y + cb.shell->core.height, ty);
  PopDownComboList(&cb);
  XtDestroyWidget(cb.form);
  Settle();
  EXPECT_FALSE(wu_reg_has(&cb, WU_REG_COMBO));
  EXPECT_EQ(cb.text, nullptr);
  for (XmString s : items) XmStringFree(s);
}

TEST_F(Compound, SpinBoxNumericBuilderSteps) {
  anchor_ = Create(WU_CTYPE_ENTRY);
  Widget form = Form();
  wu_spin sb = {};
  sb.minimum = 1;
  sb.maximum = 10;
  sb.increment = 1;
  sb.initial = 10;
  sb.c.height = 24;
  sb.c.width = 1;
  ASSERT_EQ(wutgsbx(form, &sb), WU_OK);
  ASSERT_EQ(wuxcsbx(&sb), WU_OK);
  Settle();
  ASSERT_TRUE(qevtest::clickHandled(sb.arrow1));
  EXPECT_EQ(WidgetText(sb.text_w), "10");
  ASSERT_TRUE(qevtest::replaceTextHandled(sb.text_w, "15"));
  ASSERT_TRUE(qevtest::keyHandled(devb->display, XK_Return));
  EXPECT_EQ(WidgetText(sb.text_w), "10");
  ASSERT_TRUE(qevtest::replaceTextHandled(sb.text_w, "0"));
  ASSERT_TRUE(qevtest::keyHandled(devb->display, XK_Return));
  EXPECT_EQ(WidgetText(sb.text_w), "1");
  // The natural width of a local numeric box: the arrow and four cells,
  // with the text's frame and a cell for the cursor.
  Dimension aw = 0, fw = 0;
  XtVaGetValues(sb.arrow1, XmNwidth, &aw, nullptr);
  XtVaGetValues(sb.form, XmNwidth, &fw, nullptr);
  EXPECT_EQ(fw, aw + 4 * devb->cell_width + TextFrame(sb.text_w));
  sb.current = 2.7f;
  std::strcpy(sb.unit, "cm");
  UpdateSpinBox(&sb);
  EXPECT_EQ(WidgetText(sb.text_w), "2 cm");
  // A unit filling its buffer without an end is shown up to the buffer's end.
  std::memset(sb.unit, 'u', sizeof sb.unit);
  UpdateSpinBox(&sb);
  EXPECT_EQ(WidgetText(sb.text_w), "2 " + std::string(sizeof sb.unit - 1, 'u'));
  // The 200-byte limit holds for a text the field holds: a long paste into
  // an empty field is taken whole, and nothing more goes in after it.
  XmTextSetString(sb.text_w, const_cast<char *>(""));
  std::string longtext(201, 'x');
  XmTextInsert(sb.text_w, 0, const_cast<char *>(longtext.c_str()));
  EXPECT_EQ(WidgetText(sb.text_w), longtext);
  XmTextInsert(sb.text_w, 0, const_cast<char *>("y"));
  EXPECT_EQ(WidgetText(sb.text_w), longtext);
  XtDestroyWidget(sb.form);
  Settle();
  EXPECT_FALSE(wu_reg_has(&sb, WU_REG_COMBO));
}

TEST_F(Compound, SpinBoxControlListModeAndHostArrows) {
  wu_ctl_handle *h = Create(WU_CTYPE_SPIN, {Int(WU_A_WIDTH, 1)});
  ASSERT_NE(h, nullptr);
  wu_spin *sb = Sb(h);
  ASSERT_NE(sb->text_w, nullptr);
  // Host-driven numeric arrows change nothing and send text and 1.
  ASSERT_EQ(Set(h, {Text(WU_A_TEXT, "42")}), WU_OK);
  Events();
  Click(sb->arrow1);
  Click(sb->arrow2);
  auto posted = Steps();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].code, WU_EV_INCREMENT);
  EXPECT_EQ(posted[1].code, WU_EV_DECREMENT);
  ASSERT_EQ(posted[0].params.size(), 2u);
  EXPECT_EQ(posted[0].params[1].value, 1);
  EXPECT_EQ(WidgetText(sb->text_w), "42");
  // items refused in numeric mode; accepted after dataSource 0 in one call.
  auto items = Strs({"a", "b", "c"});
  std::vector<wu_value> v = {Items(items)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_SIZE_FIXED);
  ASSERT_EQ(Set(h, {Flag(WU_A_NUMKEYS, 0), Items(items)}), WU_OK);
  ASSERT_EQ(Set(h, {Text(WU_A_TEXT, "b")}), WU_OK);
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 2);
  ASSERT_EQ(Set(h, {Text(WU_A_TEXT, "d")}), WU_OK);
  EXPECT_EQ(Query(h, WU_A_SELECTEDINDEX).value, 0);
  Click(sb->arrow1);
  EXPECT_EQ(WidgetText(sb->text_w), "a");
  Events();
  // At the last item up does not move; at the first, down does not.
  ASSERT_EQ(Set(h, {Int(WU_A_SELECTEDINDEX, 3)}), WU_OK);
  Click(sb->arrow1);
  EXPECT_EQ(WidgetText(sb->text_w), "c");
  posted = Steps();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].params[1].value, 3);
  ASSERT_EQ(Set(h, {Int(WU_A_SELECTEDINDEX, 1)}), WU_OK);
  Click(sb->arrow2);
  EXPECT_EQ(WidgetText(sb->text_w), "a");
  // Replay of a step.
  wu_batch_event r = {};
  r.code = WU_EV_INCREMENT;
  ASSERT_EQ(h->services->rbat(h, &r), WU_OK);
  EXPECT_EQ(WidgetText(sb->text_w), "b");
  // inputArea 0 removes the text; text, errorOn and cursorPosition refused.
  ASSERT_EQ(Set(h, {Flag(WU_A_COMPANION, 0)}), WU_OK);
  Settle();
  EXPECT_EQ(sb->text_w, nullptr);
  EXPECT_EQ(W(h), sb->form);
  v = {Text(WU_A_TEXT, "x"), Flag(WU_A_ERRORON, 1), Int(WU_A_CURSORPOS, 1)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  for (const wu_value &e : v) EXPECT_EQ(e.status, WU_E_SIZE_FIXED);
  ASSERT_EQ(Set(h, {Flag(WU_A_COMPANION, 1)}), WU_OK);
  Settle();
  EXPECT_NE(sb->text_w, nullptr);
}

TEST_F(Compound, DropDownKeysAndReturnWithoutTheUniqueSwitch) {
  anchor_ = Create(WU_CTYPE_ENTRY);
  Widget form = Form();
  wu_combo drop = {};
  drop.style = WU_COMBO_DROPDOWN;
  XmString items[3] = {wumcstr("apple"), wumcstr("cherry"), wumcstr("citrus")};
  drop.items = items;
  drop.item_count = 3;
  ASSERT_EQ(wutgcbo(form, &drop), WU_OK);
  XtManageChild(drop.form);
  Settle();
  // Letters jump in the list; Tab is not a letter.
  Type(drop.text_w, "c");
  int *pos = nullptr;
  int n = 0;
  ASSERT_TRUE(XmListGetSelectedPos(drop.list, &pos, &n));
  EXPECT_EQ(pos[0], 2);
  XtFree(reinterpret_cast<char *>(pos));
  Key(drop.text_w, XK_Tab);
  ASSERT_TRUE(XmListGetSelectedPos(drop.list, &pos, &n));
  EXPECT_EQ(pos[0], 2);
  XtFree(reinterpret_cast<char *>(pos));
  XtDestroyWidget(drop.form);

  // Without the unique switch the text already at the top adds nothing,
  // another text goes to the top.
  wu_combo edit = {};
  edit.style = WU_COMBO_EDITABLE;
  edit.items = items;
  edit.item_count = 3;
  ASSERT_EQ(wutgcbo(form, &edit), WU_OK);
  XtManageChild(edit.form);
  Settle();
  XmTextSetString(edit.text_w, const_cast<char *>("apple"));
  Key(edit.text_w, XK_Return);
  XtVaGetValues(edit.list, XmNitemCount, &n, nullptr);
  EXPECT_EQ(n, 3);
  XmTextSetString(edit.text_w, const_cast<char *>("citrus"));
  Key(edit.text_w, XK_Return);
  XtVaGetValues(edit.list, XmNitemCount, &n, nullptr);
  EXPECT_EQ(n, 4);
  XmStringTable now = nullptr;
  XtVaGetValues(edit.list, XmNitems, &now, nullptr);
  char *top = wumgstr(now[0]);
  EXPECT_STREQ(top, "citrus");
  XtFree(top);
  XtDestroyWidget(edit.form);
  Settle();
  for (XmString s : items) XmStringFree(s);
}

TEST_F(Compound, IconListVariantPostsAndCopiesTheSelection) {
  anchor_ = Create(WU_CTYPE_ENTRY);
  Widget form = Form();
  wu_combo cb = {};
  cb.style = WU_COMBO_EDITABLE;
  cb.icon_list = 1;
  XmString items[2] = {wumcstr("first"), wumcstr("second")};
  cb.items = items;
  cb.item_count = 2;
  ASSERT_EQ(wutgcbo(form, &cb), WU_OK);
  ASSERT_TRUE(XdIsIconList(cb.list));
  XtManageChild(cb.form);
  // Room for the pointer on the text and the arrow, as a pane gives it.
  XtVaSetValues(cb.form, XmNwidth, 200, XmNheight, 30, nullptr);
  Settle();
  ASSERT_TRUE(qevtest::clickHandled(cb.arrow));
  Settle();
  EXPECT_TRUE(cb.shown);
  EXPECT_EQ(cb.shell->core.height, 8 * devb->cell_height);
  EXPECT_FALSE(qevtest::pointerFree());
  PopDownComboList(&cb);
  Settle();
  EXPECT_TRUE(qevtest::pointerFree()) << "after pop-down";
  XdIconListSelectPos(cb.list, 2, True);
  Settle();
  EXPECT_EQ(WidgetText(cb.text_w), "second");
  EXPECT_TRUE(qevtest::pointerFree());
  XtDestroyWidget(cb.form);
  Settle();
  for (XmString s : items) XmStringFree(s);
}

TEST_F(Compound, TextEventsAreRecordedInOrder) {
  std::vector<int32_t> events = {WU_EV_KEY, WU_EV_VALUECHANGED, WU_EV_INCREMENT};
  wu_ctl_handle *c = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1), List(WU_A_EVENTS, events)});
  wu_ctl_handle *s = Create(WU_CTYPE_SPIN, {Int(WU_A_VPOS, 80), List(WU_A_EVENTS, events)});
  Focus(Cb(c)->text_w);  // the user clicks into the combo, then the recording starts
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  Events();
  Type(Cb(c)->text_w, "q");
  std::vector<qevhost::Recording> rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), 2u);
  wu_batch_event r[2];
  for (int i = 0; i < 2; ++i) std::memcpy(&r[i], rec[i].record.data(), sizeof r[i]);
  EXPECT_EQ(r[0].code, WU_EV_KEY);
  EXPECT_EQ(r[1].code, WU_EV_VALUECHANGED);
  int32_t len = 0;
  wu_rec_text(&r[1], &len);
  EXPECT_EQ(len, 1);
  EXPECT_EQ(Codes(), (std::vector<int32_t>{WU_EV_KEY, WU_EV_VALUECHANGED}));
  // The spin box records the value change, then the key (after what the
  // click into it recorded).
  Focus(Sb(s)->text_w);
  const size_t before = qevhost::recordings(qevhost::mainTask()).size();
  Type(Sb(s)->text_w, "5");
  rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), before + 2);
  std::memcpy(&r[0], rec[before].record.data(), sizeof r[0]);
  std::memcpy(&r[1], rec[before + 1].record.data(), sizeof r[1]);
  EXPECT_EQ(r[0].code, WU_EV_VALUECHANGED);
  EXPECT_EQ(r[0].sent, 1);
  EXPECT_EQ(r[1].code, WU_EV_KEY);
  EXPECT_EQ(rec[before].controlId, s->control->id);
  qevhost::removeBatchDriver(qevhost::mainTask());
  Events();
  // A replayed step with its sent flag posts the text and the number again.
  wu_batch_event step = {};
  step.code = WU_EV_INCREMENT;
  step.sent = 1;
  ASSERT_EQ(s->services->rbat(s, &step), WU_OK);
  auto posted = Events();
  ASSERT_EQ(posted.size(), 1u);
  ASSERT_EQ(posted[0].params.size(), 2u);
  EXPECT_EQ(posted[0].params[0].type, WU_VT_STRING);
  EXPECT_EQ(posted[0].params[1].value, 1);
}

TEST_F(Compound, SpinBoxWidthAndTextLimit) {
  wu_ctl_handle *h = Create(WU_CTYPE_SPIN);
  wu_spin *sb = Sb(h);
  auto items = Strs({"abc", "defghij"});
  ASSERT_EQ(Set(h, {Flag(WU_A_NUMKEYS, 0), Items(items), Int(WU_A_WIDTH, 1)}), WU_OK);
  Settle();
  Dimension aw = 0, fw = 0;
  XtVaGetValues(sb->arrow1, XmNwidth, &aw, nullptr);
  XtVaGetValues(sb->form, XmNwidth, &fw, nullptr);
  Dimension tw = 0;
  XtVaGetValues(sb->text_w, XmNwidth, &tw, nullptr);
  // The longest item is shown whole: seven cells and the text's frame.
  EXPECT_EQ(fw, 7 * devb->cell_width + aw + TextFrame(sb->text_w)) << "text " << tw;
  EXPECT_GE(int32_t(tw), 7 * devb->cell_width);
  // A text of 200 bytes takes no more typing.
  std::string full(200, 'x');
  ASSERT_EQ(Set(h, {Text(WU_A_TEXT, full.c_str())}), WU_OK);
  Type(sb->text_w, "y");
  EXPECT_EQ(WidgetText(sb->text_w), full);
  // Nor does the host put in more.
  std::string over(201, 'z');
  std::vector<wu_value> v = {Text(WU_A_TEXT, over.c_str()), Int(WU_A_WIDTH, 40000)};
  EXPECT_EQ(Set(h, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  EXPECT_EQ(v[1].status, WU_E_RANGE);
  EXPECT_EQ(WidgetText(sb->text_w), full);
  // The unit and the numbers of the range are clamped to what can be shown.
  sb->numeric = 1;
  sb->host_driven = 0;
  sb->minimum = -1e30f;
  sb->maximum = 1e30f;
  sb->current = 1e20f;
  UpdateSpinBox(sb);
  EXPECT_EQ(WidgetText(sb->text_w), "2147483647");
}

// The clean-up after a text query gives back the copy handed out and the
// pending text the query kept; the field still shows its text.
TEST_F(Compound, SpinBoxCleanUpFreesThePendingText) {
  wu_ctl_handle *h = Create(WU_CTYPE_SPIN, {Int(WU_A_WIDTH, 80)});
  ASSERT_NE(h, nullptr);
  wu_spin *sb = Sb(h);
  ASSERT_EQ(Set(h, {Text(WU_A_TEXT, "abc")}), WU_OK);
  const qevhost::PoolStats before = qevhost::poolStats(pool_);
  wu_value q = Query(h, WU_A_TEXT);
  ASSERT_EQ(q.status, WU_ALLOCATED);
  EXPECT_EQ(std::string(static_cast<char *>(q.pointer), size_t(q.value)), "abc");
  EXPECT_NE(sb->pending, nullptr);
  EXPECT_EQ(h->services->clen(h, &q, 1), WU_OK);
  EXPECT_EQ(sb->pending, nullptr);
  EXPECT_EQ(WidgetText(sb->text_w), "abc");
  EXPECT_EQ(qevhost::poolStats(pool_).liveBlocks, before.liveBlocks);
  EXPECT_EQ(qevhost::poolStats(pool_).liveBytes, before.liveBytes);
}

// Each arrow of a spin box at the display's font shows its arrow: a solid
// triangle of several pixels in the arrow's foreground.
TEST_F(Compound, SpinBoxArrowsShowTheirArrows) {
  wu_ctl_handle *h = Create(WU_CTYPE_SPIN, {Int(WU_A_WIDTH, 80)});
  ASSERT_NE(h, nullptr);
  wu_spin *sb = Sb(h);
  Settle();
  for (Widget a : {sb->arrow1, sb->arrow2}) {
    ASSERT_TRUE(a != nullptr && XtIsRealized(a));
    Pixel fg = 0;
    XtVaGetValues(a, XmNforeground, &fg, nullptr);
    XImage *img = XGetImage(devb->display, XtWindow(a), 0, 0, a->core.width, a->core.height,
                            AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    int ink = 0, rows_with_ink = 0;
    for (int y = 0; y < int(a->core.height); ++y) {
      int row = 0;
      for (int x = 0; x < int(a->core.width); ++x)
        if (XGetPixel(img, x, y) == fg) ++row;
      ink += row;
      if (row > 0) ++rows_with_ink;
    }
    XDestroyImage(img);
    EXPECT_GE(ink, 9) << XtName(a) << " " << a->core.width << "x" << a->core.height;
    EXPECT_GE(rows_with_ink, 3);
  }
  // Their text and arrows are as high as each other.
  EXPECT_EQ(sb->arrow1->core.height + sb->arrow2->core.height, sb->text_w->core.height);
}

TEST_F(Compound, ColoursReachEveryPartAndConformSizeFixesTheHeight) {
  wu_ctl_handle *c = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
  wu_ctl_handle *s = Create(WU_CTYPE_SPIN);
  uint16_t rgb[3] = {0xffff, 0, 0};
  for (int16_t code : {WU_A_FOREGROUND, WU_A_BACKGROUND}) {
    wu_value v = {};
    v.code = code;
    v.type = WU_VT_WORD;
    v.value = 1;
    v.pointer = rgb;
    for (wu_ctl_handle *h : {c, s}) {
      std::vector<wu_value> e = {v};
      EXPECT_EQ(Set(h, e), WU_OK);
      wu_colour_cell *cell = code == WU_A_FOREGROUND ? h->control->foreground : h->control->background;
      ASSERT_NE(cell, nullptr);
      // One cell per role: the common setter does not allocate another.
      wu_value q = Query(h, code);
      ASSERT_EQ(q.status, WU_ALLOCATED);
      EXPECT_EQ(static_cast<uint16_t *>(q.pointer)[0], 0xffff);
      h->services->clen(h, &q, 1);
    }
  }
  wu_combo *cb = Cb(c);
  const Pixel red = c->control->background->pixel;
  for (Widget w : {cb->text_w, cb->list, cb->shell, cb->vbar}) EXPECT_EQ(w->core.background_pixel, red);
  Pixel fg = 0;
  XtVaGetValues(cb->list, XmNforeground, &fg, nullptr);
  EXPECT_EQ(fg, c->control->foreground->pixel);
  wu_spin *sb = Sb(s);
  for (Widget w : {sb->text_w, sb->arrow1, sb->arrow2})
    EXPECT_EQ(w->core.background_pixel, s->control->background->pixel);
  // conformSize: the height follows the font and cannot be set.
  ASSERT_EQ(Set(c, {Flag(WU_A_CONFORMSIZE, 1)}), WU_OK);
  Dimension shadow = 0;
  XtVaGetValues(cb->text_w, XmNshadowThickness, &shadow, nullptr);
  XmString tall = XmStringCreateLocalized(const_cast<char *>("Tall"));
  const int32_t want = 2 * shadow + XmStringHeight(devb->font_list, tall) + 4;
  XmStringFree(tall);
  EXPECT_EQ(Query(c, WU_A_HEIGHT).value, want);
  std::vector<wu_value> v = {Int(WU_A_HEIGHT, want + 10)};
  EXPECT_EQ(Set(c, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_SIZE_FIXED);
  v = {Int(WU_A_CURSORPOS, 0), Text(WU_A_HELPTEXT, "help")};
  EXPECT_EQ(Set(c, v), WU_ENTRY_STATUS);
  EXPECT_EQ(v[0].status, WU_E_RANGE);
  EXPECT_EQ(v[1].status, WU_UNSUPPORTED);
}

TEST_F(Compound, FocusFrameIsDrawnAroundTheFormAndCleared) {
  wu_ctl_handle *h = Create(WU_CTYPE_SPIN, {Int(WU_A_HPOS, 20), Int(WU_A_VPOS, 20)});
  wu_spin *sb = Sb(h);
  Widget pane = XtParent(sb->form);
  Settle();
  Pixel hl = 0, fg = 0, bg = 0;
  XtVaGetValues(sb->text_w, XmNhighlightColor, &hl, XmNforeground, &fg, XmNbackground, &bg,
                nullptr);
  const Pixel frame = hl == bg ? fg : hl;
  auto pixel = [&](int x, int y) {
    XImage *img = XGetImage(devb->display, XtWindow(pane), x, y, 1, 1, AllPlanes, ZPixmap);
    const Pixel p = XGetPixel(img, 0, 0);
    XDestroyImage(img);
    return p;
  };
  const int x = sb->form->core.x - 1, y = sb->form->core.y - 1;
  const Pixel before = pixel(x, y);
  ASSERT_NE(before, frame);
  // A click gives the spin box's text the keyboard; a click on another
  // control takes it away.
  wu_ctl_handle *other = Create(WU_CTYPE_ENTRY, {Int(WU_A_HPOS, 20), Int(WU_A_VPOS, 120)});
  Settle();
  ASSERT_TRUE(qevtest::clickHandled(sb->text_w));
  Settle();
  EXPECT_EQ(pixel(x, y), frame);
  EXPECT_EQ(pixel(x + sb->form->core.width + 1, y + sb->form->core.height + 1), frame);
  ASSERT_TRUE(qevtest::clickHandled(W(other)));
  Settle();
  EXPECT_EQ(pixel(x, y), before);
}

// The first font of a font list, or null.
XFontStruct *FirstFont(XmFontList fl) {
  XmFontContext ctx = nullptr;
  if (fl == nullptr || !XmFontListInitFontContext(&ctx, fl)) return nullptr;
  XFontStruct *font = nullptr;
  if (XmFontListEntry e = XmFontListNextEntry(ctx)) {
    XmFontType type = XmFONT_IS_FONT;
    XtPointer p = XmFontListEntryGetFont(e, &type);
    if (type == XmFONT_IS_FONT) font = static_cast<XFontStruct *>(p);
  }
  XmFontListFreeFontContext(ctx);
  return font;
}

TEST_F(Compound, HostFontReachesTheTextAndAnEmptyValueGoesBack) {
  XFontStruct *xf = XLoadQueryFont(devb->display, "fixed");
  ASSERT_NE(xf, nullptr);
  void *record[1] = {xf};
  wu_value font = {};
  font.code = WU_A_FONT;
  font.type = WU_VT_FONT;
  font.pointer = record;
  wu_value none = font;
  none.pointer = nullptr;
  for (int32_t type : {WU_CTYPE_COMBO, WU_CTYPE_SPIN}) {
    SCOPED_TRACE(type);
    wu_ctl_handle *h = Create(type);
    Widget text = type == WU_CTYPE_COMBO ? Cb(h)->text_w : Sb(h)->text_w;
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(Set(h, {font}), WU_OK);
    void *made = h->control->font_list;
    EXPECT_EQ(FirstFont(static_cast<XmFontList>(made)), xf);
    XmFontList shown = nullptr;
    XtVaGetValues(text, XmNfontList, &shown, nullptr);
    XFontStruct *first = FirstFont(shown);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->fid, xf->fid);
    if (type == WU_CTYPE_COMBO) {
      EXPECT_EQ(Cb(h)->xfont, xf);
    }
    // The same record again keeps the list it made.
    ASSERT_EQ(Set(h, {font}), WU_OK);
    EXPECT_EQ(h->control->font_list, made);
    // An empty value goes back to the display's font list.
    ASSERT_EQ(Set(h, {none}), WU_OK);
    EXPECT_EQ(h->control->font_list, nullptr);
    if (type == WU_CTYPE_COMBO) {
      EXPECT_EQ(Cb(h)->xfont, nullptr);
    }
    XtVaGetValues(text, XmNfontList, &shown, nullptr);
    first = FirstFont(shown);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->fid, FirstFont(devb->font_list)->fid);
    ASSERT_EQ(h->services->wdes(h), WU_OK);
    Settle();
  }
  XFreeFont(devb->display, xf);
}

TEST_F(Compound, ReleaseGivesThePoolBack) {
  for (int32_t type : {WU_CTYPE_COMBO, WU_CTYPE_SPIN}) {
    wu_ctl_handle *first = Create(type);
    first->services->wdes(first);
  }
  Settle();
  NoteBaselines();
  {
    wu_ctl_handle *c = Create(WU_CTYPE_COMBO, {Flag(WU_A_COMBOSTYLE, 1)});
    auto items = Strs({"a", "b"});
    ASSERT_EQ(Set(c, {Items(items)}), WU_OK);
    wu_value q = Query(c, WU_A_ITEMS);
    EXPECT_EQ(q.status, WU_ALLOCATED);
    ASSERT_TRUE(qevtest::clickHandled(Cb(c)->arrow));
    Settle();
    wu_ctl_handle *s = Create(WU_CTYPE_SPIN);
    ASSERT_EQ(Set(s, {Flag(WU_A_NUMKEYS, 0), Items(items)}), WU_OK);
    ASSERT_EQ(c->services->wdes(c), WU_OK);
    ASSERT_EQ(s->services->wdes(s), WU_OK);
    Settle();
  }
  EXPECT_TRUE(qevtest::pointerFree());
  EXPECT_EQ(qevhost::poolStats(pool_).liveBytes, base_.liveBytes);
  ExpectBaselines();
}

}  // namespace
