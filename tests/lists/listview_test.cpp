// The list view on a private X server, driven as the host drives it:
// catalogue creation (slot 141) and the views-and-methods slots 2 and 3,
// the services vector for attributes and methods, and input as X events;
// what the host sees is read from the stand-in host and the widget.
#include "listfixture.h"

namespace {

TEST_F(Lists, ListViewDefaultsStatusesAndRowSlots) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW);
  ASSERT_NE(h, nullptr);
  wu_control *c = h->control;
  EXPECT_EQ(c->kind, WU_MT_LISTVIEW);
  Widget list = W(h);
  ASSERT_NE(list, nullptr);
  EXPECT_STREQ(XtName(list), "lvw");
  EXPECT_STREQ(XtName(wu_ctl_outer(c)), "lvw_form");

  wu_value q[4] = {Int(WU_A_ROWS, 9), Int(WU_A_COLUMNS, 9), Int(WU_A_VIEWTYPE, 9),
                   Int(WU_A_SELECTIONMODE, 9)};
  EXPECT_EQ(h->services->qwat(c, q, 4), WU_OK);
  EXPECT_EQ(q[0].value, 0);
  EXPECT_EQ(q[1].value, 0);
  EXPECT_EQ(q[2].value, 2);
  EXPECT_EQ(q[3].value, 0);

  // Rows need a column first.
  EXPECT_EQ(AddRows(c, {{"a"}}), WU_NOTAVAIL);
  AddColumns(h, {"Name", "Size"});
  wu_value cols = Int(WU_A_COLUMNS, 0);
  h->services->qwat(c, &cols, 1);
  EXPECT_EQ(cols.value, 2);

  EXPECT_EQ(AddRows(c, {{"alpha", "1"}, {"beta", "2"}, {"Gamma", "3"}}, {11, 12, 13}), WU_OK);
  EXPECT_EQ(AddRows(c, {{"delta", "4"}}, {14}), WU_OK);
  EXPECT_EQ(Rows(h), 4);
  EXPECT_EQ(XdMCIconListGetId(list, 4), 14);
  // Positions outside -1, 0, 1..rows+1 are refused; -1 appends.
  EXPECT_EQ(AddRows(c, {{"x", "y"}}, {}, 9), WU_NOTAVAIL);
  EXPECT_EQ(AddRows(c, {{"x", "y"}}, {}, -2), WU_NOTAVAIL);
  EXPECT_EQ(AddRows(c, {{"first", "0"}}, {10}, 1), WU_OK);
  EXPECT_EQ(XdMCIconListGetId(list, 1), 10);
  EXPECT_EQ(Cell(h, 1, 1), "first");

  // A long text keeps 2048 bytes.
  std::string longText(3000, 'x');
  EXPECT_EQ(AddRows(c, {{longText, "z"}}, {99}, -1), WU_OK);
  EXPECT_EQ(Cell(h, 6, 1).size(), 2048u);

  // Set statuses: read-only, range, creation-only, unsupported.
  wu_value s[5] = {Int(WU_A_ROWS, 3), Int(WU_A_WIDTH, 0), Int(WU_A_SELECTIONMODE, 1),
                   Int(WU_A_MINCHAR, 3), Int(WU_A_HPOS, 7)};
  EXPECT_EQ(h->services->swat(c, s, 5), WU_ENTRY_STATUS);
  EXPECT_EQ(s[0].status, WU_E_SIZE_FIXED);
  EXPECT_EQ(s[1].status, WU_E_RANGE);
  EXPECT_EQ(s[2].status, WU_E_CREATE_ONLY);
  EXPECT_EQ(s[3].status, WU_UNSUPPORTED);
  EXPECT_EQ(s[4].status, WU_OK);
  EXPECT_EQ(wu_ctl_outer(c)->core.x, 7);

  // Slot 3: delete one, several (cut at the end), all; unknown operations do nothing.
  auto clvw = Slot<ClvwFn>(QEV_TABLE_METHODS, WUXP_SLOT_CLVW);
  EXPECT_EQ(clvw(c, 5, nullptr, 0, 0), WU_OK);
  EXPECT_EQ(clvw(c, 2, nullptr, 1, 1), WU_OK);
  EXPECT_EQ(Rows(h), 5);
  EXPECT_EQ(clvw(c, 2, nullptr, 4, 3), WU_OK);
  EXPECT_EQ(Rows(h), 3);
  EXPECT_EQ(clvw(c, 2, nullptr, 4, 1), WU_NOTAVAIL);
  EXPECT_EQ(clvw(c, 7, nullptr, 0, 0), WU_OK);
  EXPECT_EQ(Rows(h), 0);
  EXPECT_EQ(clvw(c, 2, nullptr, 1, 1), WU_NOTAVAIL);
  // A record the module never made is refused.
  alignas(wu_control) char fake[sizeof(wu_control)] = {};
  EXPECT_EQ(clvw(reinterpret_cast<wu_control *>(fake), 7, nullptr, 0, 0), WU_NOTAVAIL);
}

TEST_F(Lists, ListViewCreatedThroughSlotTwoBeforeAndAfterRealising) {
  auto glvw = Slot<GlvwFn>(QEV_TABLE_METHODS, WUXP_SLOT_GLVW);
  ASSERT_NE(glvw, nullptr);
  wu_control *c = nullptr;
  ASSERT_EQ(glvw(pane_, &c, 10, 20, 300, 200, 0, 0, 0, 77), WU_OK);
  ASSERT_NE(c, nullptr);
  Widget form = wu_ctl_outer(c);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->core.x, 10);
  EXPECT_EQ(form->core.width, 300);
  EXPECT_EQ(glvw(nullptr, &c, 1, 1, 1, 1, 0, 0, 0, 0), WU_NOTAVAIL);
  EXPECT_EQ(c, nullptr);
}

}  // namespace
