// The spin box as its user meets it: the keyboard stays in the box while
// the host sets its attributes (also from the event procedure that answers
// the arrows), and a list box's up arrow steps through to the last item and
// stays there.  Real clicks and keys on the test's own server.
#include "ctlfixture.h"

#include <cstdlib>

#include "controls/wucombo.h"

namespace {

class SpinBox : public Controls {
 protected:
  wu_spin *Sb(wu_ctl_handle *h) { return reinterpret_cast<wu_spin *>(h->control); }
  wu_status Set(wu_ctl_handle *h, std::vector<wu_value> v) {
    const wu_status st = h->services->swat(h->control, v.data(), int32_t(v.size()));
    Settle();
    return st;
  }
  // The host's loop: each control event posted for the window is given to
  // the control's event procedure.
  void RunHostEvents() {
    for (Posted &p : Events())
      if (p.record.procedure != nullptr && p.record.handle != nullptr)
        p.record.procedure(p.record.handle, &p.record, p.params.data(), int32_t(p.params.size()));
    Settle();
  }
  Widget FocusWidget(Widget w) { return XmGetFocusWidget(w); }
  // A real click on an arrow, handled.
  void Click(Widget w) {
    ASSERT_TRUE(qevtest::clickHandled(w)) << XtName(w);
    Settle();
  }
};

// The host's answer to the arrows of a numeric box: the next number as the
// box's text, with a fresh user data word, as a host keeping its own state
// in the control does.
int g_answers = 0;
wu_status StepAnswer(wu_ctl_handle *h, wu_ctl_event *rec, wu_value *params, int32_t count) {
  if (rec->code != WU_EV_INCREMENT && rec->code != WU_EV_DECREMENT) return WU_OK;
  if (count < 1 || params[0].type != WU_VT_STRING) return WU_OK;
  const std::string text(static_cast<const char *>(params[0].pointer), size_t(params[0].value));
  const long n = std::strtol(text.c_str(), nullptr, 10) + (rec->code == WU_EV_INCREMENT ? 1 : -1);
  const std::string next = std::to_string(n);
  wu_value v[2] = {Text(WU_A_TEXT, next.c_str()), Int(WU_A_USERDATA, ++g_answers)};
  v[1].type = WU_VT_WORD;
  return h->services->swat(h->control, v, 2);
}

TEST_F(SpinBox, TheKeyboardStaysInTheBoxThroughTheHostsSets) {
  std::vector<int32_t> steps = {WU_EV_INCREMENT, WU_EV_DECREMENT};
  wu_ctl_handle *neighbour = Create(WU_CTYPE_ENTRY, {Int(WU_A_HPOS, 20), Int(WU_A_VPOS, 10)});
  wu_ctl_handle *h = Create(WU_CTYPE_SPIN, {Int(WU_A_HPOS, 20), Int(WU_A_VPOS, 50), Int(WU_A_WIDTH, 90),
                                            Text(WU_A_TEXT, "10"), List(WU_A_EVENTS, steps)},
                            StepAnswer);
  ASSERT_TRUE(neighbour != nullptr && h != nullptr);
  wu_spin *sb = Sb(h);
  Focus(sb->text_w);
  ASSERT_EQ(FocusWidget(sb->text_w), sb->text_w);

  // Sets that leave the box as it stands, and the geometry sets that make
  // its parts again: after each, the next key goes into the box.
  wu_value data = Int(WU_A_USERDATA, 7);
  data.type = WU_VT_WORD;
  std::vector<int32_t> more = {WU_EV_INCREMENT, WU_EV_DECREMENT, WU_EV_VALUECHANGED};
  const struct {
    const char *what;
    std::vector<wu_value> set;
  } sets[] = {
      {"userData", {data}},
      {"events", {List(WU_A_EVENTS, more)}},
      {"text", {Text(WU_A_TEXT, "20")}},
      {"toolTipText", {Text(WU_A_TOOLTIP, "Copies")}},
      {"errorOn", {Int(WU_A_ERRORON, 0)}},
      {"cursorPosition", {Int(WU_A_CURSORPOS, 3)}},
      {"width", {Int(WU_A_WIDTH, 100)}},
      {"height", {Int(WU_A_HEIGHT, 30)}},
  };
  std::string expect = "10";
  for (const auto &s : sets) {
    ASSERT_EQ(Set(h, s.set), WU_OK) << s.what;
    EXPECT_EQ(FocusWidget(sb->text_w), sb->text_w) << "after " << s.what;
    Key(nullptr, XK_5);
    if (std::string(s.what) == "text") expect = "20";
    expect += "5";
    EXPECT_EQ(WidgetText(sb->text_w), expect) << "typed after " << s.what;
  }
  EXPECT_EQ(WidgetText(W(neighbour)), "");

  // The host answers a click on the up arrow by setting the text and its
  // user data from the event procedure; the user types on.
  ASSERT_EQ(Set(h, {Text(WU_A_TEXT, "41")}), WU_OK);
  Events();
  Click(sb->arrow1);
  RunHostEvents();
  ASSERT_EQ(g_answers, 1);
  EXPECT_EQ(WidgetText(sb->text_w), "42");
  EXPECT_EQ(FocusWidget(sb->text_w), sb->text_w);
  Key(nullptr, XK_0);
  EXPECT_EQ(WidgetText(sb->text_w), "420");
  Click(sb->arrow2);
  RunHostEvents();
  EXPECT_EQ(WidgetText(sb->text_w), "419");
  Key(nullptr, XK_1);
  EXPECT_EQ(WidgetText(sb->text_w), "4191");
  EXPECT_EQ(FocusWidget(sb->text_w), sb->text_w);
  EXPECT_EQ(WidgetText(W(neighbour)), "");
}

// A box stepping through a list: the up arrow goes item by item to the
// last and stays there; the down arrow back to the first and stays there.
// Each step reports the item it reached.
TEST_F(SpinBox, ListBoxStepsToTheLastItemAndStaysThere) {
  std::vector<int32_t> steps = {WU_EV_INCREMENT, WU_EV_DECREMENT};
  std::vector<wu_str_item> items = {{3, 0, "one"}, {3, 0, "two"}, {5, 0, "three"}, {4, 0, "four"}};
  wu_value list = {};
  list.code = WU_A_ITEMS;
  list.type = WU_VT_STRLIST;
  list.value = int32_t(items.size());
  list.pointer = items.data();
  wu_value mode = Int(WU_A_NUMKEYS, 0);
  mode.type = WU_VT_BOOL;
  wu_ctl_handle *h = Create(WU_CTYPE_SPIN, {Int(WU_A_HPOS, 20), Int(WU_A_VPOS, 20), Int(WU_A_WIDTH, 1),
                                            mode, list, Int(WU_A_SELECTEDINDEX, 1),
                                            List(WU_A_EVENTS, steps)});
  ASSERT_NE(h, nullptr);
  wu_spin *sb = Sb(h);
  EXPECT_EQ(WidgetText(sb->text_w), "one");
  Events();
  auto selected = [&] {
    wu_value q = {};
    q.code = WU_A_SELECTEDINDEX;
    h->services->qwat(h->control, &q, 1);
    return q.value;
  };
  auto reported = [&] {
    std::vector<int32_t> out;
    for (const Posted &p : Events())
      if (p.code == WU_EV_INCREMENT || p.code == WU_EV_DECREMENT)
        out.push_back(p.params.size() >= 2 ? p.params[1].value : -1);
    return out;
  };
  const char *const texts[] = {"one", "two", "three", "four"};
  for (int i = 2; i <= 4; ++i) {
    Click(sb->arrow1);
    EXPECT_EQ(WidgetText(sb->text_w), texts[i - 1]) << "up to item " << i;
    EXPECT_EQ(selected(), i);
    EXPECT_EQ(reported(), std::vector<int32_t>{i});
  }
  // One past the last: the box stays at the last item.
  Click(sb->arrow1);
  EXPECT_EQ(WidgetText(sb->text_w), "four");
  EXPECT_EQ(selected(), 4);
  EXPECT_EQ(reported(), std::vector<int32_t>{4});
  for (int i = 3; i >= 1; --i) {
    Click(sb->arrow2);
    EXPECT_EQ(WidgetText(sb->text_w), texts[i - 1]) << "down to item " << i;
    EXPECT_EQ(selected(), i);
  }
  Click(sb->arrow2);
  EXPECT_EQ(WidgetText(sb->text_w), "one");
  EXPECT_EQ(selected(), 1);
}

}  // namespace
