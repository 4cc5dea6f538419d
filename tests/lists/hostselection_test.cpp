// Rows the host selects in a list box or a list view (several positions
// through selectedIndexes, or all through _selectAll) show as selected on
// the X server as soon as the host's call returns, before any event is
// handled.
#include "listfixture.h"
#include "xinput.h"

#include <Xm/List.h>

namespace {

class HostSelection : public Lists {
 protected:
  Widget inner_ = nullptr;
  unsigned long selected_look_ = 0, plain_look_ = 0;

  // A point of a row inside its fill, right of its text.
  bool RowPoint(int pos, int *x, int *y) {
    Position rx, ry;
    Dimension rw, rh;
    if (!XmListPosToBounds(inner_, pos, &rx, &ry, &rw, &rh)) return false;
    *x = rx + int(rw) - 8;
    *y = ry + int(rh) / 2;
    return true;
  }
  // A row's look as the server has it now: no event is handled first.
  unsigned long Look(int pos) {
    int x = 0, y = 0;
    EXPECT_TRUE(RowPoint(pos, &x, &y)) << "row " << pos << " is not in view";
    XSync(devb->display, False);
    return qevtest::pixelAt(devb->display, XtWindow(inner_), x, y);
  }
  // Learns how a selected row and a row not selected look, by a selection
  // of one row (drawn by the list itself) shown and taken away again.
  void LearnLooks(wu_ctl_handle *h) {
    std::vector<int32_t> one = {1};
    wu_value sel = List(WU_A_SELECTEDINDEXES, one);
    ASSERT_EQ(h->services->swat(h->control, &sel, 1), WU_OK);
    Settle();
    selected_look_ = Look(1);
    plain_look_ = Look(2);
    ASSERT_NE(selected_look_, plain_look_);
    ASSERT_EQ(h->services->meth(h, WU_M_DESELECTALL, nullptr, 0), WU_OK);
    Settle();
    ASSERT_EQ(Look(1), plain_look_);
  }
  // Selects rows 2, 4 and 6 and then all rows, each time looking at the
  // rows right after the host's call.
  void SelectAndLook(wu_ctl_handle *h) {
    std::vector<int32_t> rows = {2, 4, 6};
    wu_value sel = List(WU_A_SELECTEDINDEXES, rows);
    ASSERT_EQ(h->services->swat(h->control, &sel, 1), WU_OK);
    for (int pos = 1; pos <= 6; ++pos)
      EXPECT_EQ(Look(pos), pos % 2 == 0 ? selected_look_ : plain_look_) << "row " << pos;
    ASSERT_EQ(h->services->meth(h, WU_M_DESELECTALL, nullptr, 0), WU_OK);
    Settle();
    ASSERT_EQ(h->services->meth(h, WU_M_SELECTALL, nullptr, 0), WU_OK);
    for (int pos = 1; pos <= 6; ++pos) EXPECT_EQ(Look(pos), selected_look_) << "row " << pos;
  }
};

TEST_F(HostSelection, ListBoxRowsSelectedByTheHostShowAtOnce) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTBOX, {Int(WU_A_SELECTIONMODE, 1)});
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(AddItems(h, {"one", "two", "three", "four", "five", "six", "seven"}), WU_OK);
  Settle();
  inner_ = XdIconListGetChild(W(h), XdICONLIST_LIST);
  ASSERT_NE(inner_, nullptr);
  LearnLooks(h);
  SelectAndLook(h);
}

TEST_F(HostSelection, ListViewRowsSelectedByTheHostShowAtOnce) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW, {Int(WU_A_SELECTIONMODE, 1)});
  ASSERT_NE(h, nullptr);
  AddColumns(h, {"Name", "Size"});
  ASSERT_EQ(AddRows(h->control, {{"one", "1"}, {"two", "2"}, {"three", "3"}, {"four", "4"},
                                 {"five", "5"}, {"six", "6"}, {"seven", "7"}}),
            WU_OK);
  Settle();
  inner_ = XdIconListGetChild(XdMCIconListGetChild(W(h), 0, XdMCIL_LIST), XdICONLIST_LIST);
  ASSERT_NE(inner_, nullptr);
  LearnLooks(h);
  SelectAndLook(h);
}

}  // namespace
