// XdIconList through its exported functions, real clicks and keys, and what
// the X server shows.
#include "listtest.h"

#include "xd/IconListP.h"

#include <Xm/ListP.h>
#include <Xm/ScrollBar.h>

using namespace listtest;

namespace {

int g_warnings = 0;
void countWarning(String) { ++g_warnings; }
// Counts the toolkit's warnings since the last call.
int xdtest_warnings() {
  static bool installed = false;
  if (!installed) {
    XtAppSetWarningHandler(listtest::app().app, countWarning);
    installed = true;
  }
  int n = g_warnings;
  g_warnings = 0;
  return n;
}

const unsigned long kRed = 0xff0000, kGreen = 0x00c000, kBlue = 0x0000ff;

class IconListTest : public ::testing::Test {
 protected:
  Widget shell = nullptr, il = nullptr, list = nullptr, icons = nullptr;
  Pixmap red = 0, green = 0, blue = 0, tall = 0;
  std::vector<XmString> owned;

  void SetUp() override {
    Display *dpy = app().dpy;
    ASSERT_NE(dpy, nullptr);
    red = xdlistdata::makeIcon(dpy, 16, kRed);
    green = xdlistdata::makeIcon(dpy, 16, kGreen);
    blue = xdlistdata::makeIcon(dpy, 16, kBlue);
    tall = xdlistdata::makeIcon(dpy, 28, kBlue);
    shell = makeShell(300, 240);
  }
  void create(bool scrolled, unsigned char policy = XmBROWSE_SELECT, std::vector<Arg> extra = {}) {
    std::vector<Arg> args(2);
    XtSetArg(args[0], XmNselectionPolicy, policy);
    XtSetArg(args[1], XmNvisibleItemCount, 8);
    args.insert(args.end(), extra.begin(), extra.end());
    il = scrolled ? XdCreateScrolledIconList(shell, (char *)"icons", args.data(), args.size())
                  : XdCreateIconList(shell, (char *)"icons", args.data(), args.size());
    list = XdIconListGetChild(il, XdICONLIST_LIST);
    icons = XdIconListGetChild(il, XdICONLIST_ICONS);
    XtManageChild(il);
    XtRealizeWidget(shell);
    pump();
  }
  void TearDown() override {
    if (shell) XtDestroyWidget(shell);
    pump();
    for (XmString s : owned) XmStringFree(s);
    Display *dpy = app().dpy;
    for (Pixmap p : {red, green, blue, tall}) XFreePixmap(dpy, p);
  }
  XmString str(const std::string &s) {
    owned.push_back(XmStringCreateLocalized(const_cast<char *>(s.c_str())));
    return owned.back();
  }
  // Adds n rows "row 1".."row n" with icons cycling red, green, blue.
  void fill(int n, bool withIcons = true) {
    std::vector<XmString> s;
    std::vector<Pixmap> p;
    std::vector<int32_t> ids;
    for (int i = 1; i <= n; ++i) {
      s.push_back(str("row " + std::to_string(i)));
      p.push_back(i % 3 == 1 ? red : i % 3 == 2 ? green : blue);
      ids.push_back(100 + i);
    }
    XdIconListAddItems(il, withIcons ? p.data() : nullptr, s.data(), ids.data(), n, 0);
    pump();
  }
  // The y (in the icon column) of the middle of row `pos` (1-based).
  int rowY(int pos) {
    Position x, y;
    Dimension w, h;
    EXPECT_TRUE(XmListPosToBounds(list, pos, &x, &y, &w, &h)) << "row " << pos << " not visible";
    return y + h / 2;
  }
  unsigned long iconPixel(int pos) {
    XdIconListWidget w = reinterpret_cast<XdIconListWidget>(il);
    return qevtest::pixelAt(XtDisplay(il), XtWindow(icons),
                            w->icon_list.icon_margin_width + int(w->icon_list.icon_width) / 2, rowY(pos));
  }
  int top() {
    int t = 0;
    XdIconListGetTopItemPos(il, &t);
    return t;
  }
};

TEST_F(IconListTest, RowsIconsAndIdsFollowAddsReplacesAndDeletes) {
  create(false);
  // Rows without icons: no icon array, a one-pixel icon column.
  XmString a = str("alpha"), b = str("beta");
  XdIconListAddItem(il, 0, a, 7, 0);
  XdIconListAddItem(il, 0, b, 8, 0);
  pump();
  EXPECT_EQ(icons->core.width, 1);
  EXPECT_EQ(XdIconListGetIcon(il, 1), XdICON_INVALID);
  EXPECT_EQ(XdIconListGetId(il, 2), 8);
  // Replacing gives a list without icons none.
  Pixmap oneIcon[] = {red};
  int second[] = {2};
  EXPECT_EQ(XdIconListReplaceItems(il, oneIcon, nullptr, nullptr, 1, second), 1);
  pump();
  EXPECT_EQ(icons->core.width, 1);
  EXPECT_EQ(XdIconListGetIcon(il, 2), XdICON_INVALID);
  // The first row with an icon makes icons for all rows, 0 for the earlier.
  XdIconListAddItem(il, green, str("gamma"), 9, 1);
  pump();
  EXPECT_EQ(listTexts(list), (std::vector<std::string>{"gamma", "alpha", "beta"}));
  EXPECT_EQ(XdIconListGetIcon(il, 1), green);
  EXPECT_EQ(XdIconListGetIcon(il, 2), Pixmap(0));
  EXPECT_EQ(XdIconListGetId(il, 1), 9);
  EXPECT_EQ(XdIconListGetId(il, 3), 8);
  EXPECT_GT(icons->core.width, 16);
  EXPECT_EQ(iconPixel(1), kGreen);

  // Replace: the answer flips with each position out of range (0 for one,
  // 1 for two); the rows in range are replaced all the same.
  Pixmap newIcons[] = {red, XdICON_UNCHANGED, blue};
  XmString newText[] = {str("ALPHA"), nullptr, str("never")};
  int32_t newIds[] = {70, XdID_UNCHANGED, 99};
  int where[] = {2, 3, 4};
  EXPECT_EQ(XdIconListReplaceItems(il, newIcons, newText, newIds, 3, where), 0);
  int where2[] = {2, 0, 9};
  EXPECT_EQ(XdIconListReplaceItems(il, newIcons, newText, newIds, 3, where2), 1);
  int good[] = {2};
  EXPECT_EQ(XdIconListReplaceItems(il, newIcons, newText, newIds, 1, good), 1);
  pump();
  EXPECT_EQ(listTexts(list), (std::vector<std::string>{"gamma", "ALPHA", "beta"}));
  EXPECT_EQ(XdIconListGetIcon(il, 2), red);
  EXPECT_EQ(XdIconListGetId(il, 2), 70);
  EXPECT_EQ(XdIconListGetId(il, 3), 8);
  EXPECT_EQ(iconPixel(2), kRed);

  // Deletes keep icons and ids with their rows.
  XdIconListDeletePos(il, 1);
  pump();
  EXPECT_EQ(listTexts(list), (std::vector<std::string>{"ALPHA", "beta"}));
  EXPECT_EQ(XdIconListGetIcon(il, 1), red);
  EXPECT_EQ(XdIconListGetId(il, 2), 8);
  EXPECT_EQ(iconPixel(1), kRed);
  XdIconListDeleteItem(il, str("beta"));
  EXPECT_EQ(listTexts(list), (std::vector<std::string>{"ALPHA"}));
  XdIconListDeleteAllItems(il);
  EXPECT_EQ(XdIconListGetId(il, 1), -1);
  EXPECT_EQ(XdIconListGetIcon(il, 1), XdICON_INVALID);
  EXPECT_EQ(XdIconListGetSelectedPos(il, nullptr, nullptr), False);
}

TEST_F(IconListTest, ManyScatteredDeletesKeepRowsAndIconsTogether) {
  create(false);
  fill(30);
  int del[] = {30, 1, 5, 5, 6, 0, 31, -2};
  XdIconListDeletePositions(il, del, 8);
  pump();
  std::vector<std::string> t = listTexts(list);
  ASSERT_EQ(t.size(), 26u);
  EXPECT_EQ(t[0], "row 2");
  EXPECT_EQ(t[3], "row 7");
  EXPECT_EQ(t.back(), "row 29");
  for (int pos = 1; pos <= 26; ++pos) {
    int row = std::stoi(t[pos - 1].substr(4));
    EXPECT_EQ(XdIconListGetId(il, pos), 100 + row);
    EXPECT_EQ(XdIconListGetIcon(il, pos), row % 3 == 1 ? red : row % 3 == 2 ? green : blue);
  }
}

TEST_F(IconListTest, OutOfRangePositionsAreRefused) {
  create(false, XmMULTIPLE_SELECT);
  fill(5);
  XdIconListSelectPos(il, 0, False);  // never "the last row"
  XdIconListSelectPos(il, 6, False);
  EXPECT_TRUE(selected(list).empty());
  XdIconListDeletePos(il, 0);
  XdIconListDeletePos(il, 6);
  EXPECT_EQ(listTexts(list).size(), 5u);
  XdIconListAddItem(il, red, str("far"), 1, 7);  // beyond count + 1
  EXPECT_EQ(listTexts(list).size(), 5u);
  XdIconListAddItem(il, red, str("end"), 1, 6);  // count + 1 is the end
  EXPECT_EQ(listTexts(list).back(), "end");
  EXPECT_EQ(XdIconListGetId(il, 0), -1);
  EXPECT_EQ(XdIconListGetId(il, 7), -1);
  EXPECT_EQ(XdIconListGetIcon(il, -1), XdICON_INVALID);
  EXPECT_EQ(XdIconListSetFocus(il, 9), 9);  // answers the position asked for
  EXPECT_EQ(XmListGetKbdItemPos(list), 1);
  EXPECT_EQ(XdIconListSetFocus(il, 4), 4);
  EXPECT_EQ(XmListGetKbdItemPos(list), 4);
  XmString s = nullptr;
  EXPECT_FALSE(XdIconListGetText(il, 6, &s));
  EXPECT_EQ(s, nullptr);
  EXPECT_TRUE(XdIconListGetText(il, 5, &s));
  EXPECT_EQ(text(s), "end");
  XmStringFree(s);
  EXPECT_EQ(XdIconListGetChild(list, XdICONLIST_LIST), nullptr);  // not an icon list
}

TEST_F(IconListTest, TallIconsRaiseTheRowPitchAndSmallOnesRestoreIt) {
  create(false);
  fill(4);
  Position x, y;
  Dimension w, h16, h28;
  ASSERT_TRUE(XmListPosToBounds(list, 1, &x, &y, &w, &h16));
  Dimension spacing0 = 0;
  XtVaGetValues(list, XmNlistSpacing, &spacing0, nullptr);
  Pixmap tallIcons[] = {tall};
  int first[] = {1};
  XdIconListReplaceItems(il, tallIcons, nullptr, nullptr, 1, first);
  pump();
  Position y2;
  ASSERT_TRUE(XmListPosToBounds(list, 2, &x, &y2, &w, &h28));
  EXPECT_GE(y2 - y, 28);
  // Every visible row shows its whole icon: the tall blue one spans rows.
  EXPECT_EQ(iconPixel(1), kBlue);
  EXPECT_EQ(iconPixel(2), kGreen);
  Pixmap smallIcons[] = {red};
  XdIconListReplaceItems(il, smallIcons, nullptr, nullptr, 1, first);
  pump();
  Dimension spacing1 = 99;
  XtVaGetValues(list, XmNlistSpacing, &spacing1, nullptr);
  EXPECT_EQ(spacing1, spacing0);
  ASSERT_TRUE(XmListPosToBounds(list, 1, &x, &y, &w, &h28));
  EXPECT_EQ(h28, h16);
}

TEST_F(IconListTest, IconColumnClicksFollowEachSelectionPolicy) {
  // Browse: a click selects and calls the browse list with the icon list.
  {
    create(false, XmBROWSE_SELECT);
    fill(6);
    Calls calls;
    calls.watch(il, XmNbrowseSelectionCallback);
    click(icons, 5, rowY(3));
    EXPECT_EQ(selected(list), std::vector<int>{3});
    ASSERT_EQ(calls.calls.size(), 1u);
    EXPECT_EQ(calls.calls[0].w, il);
    EXPECT_EQ(calls.calls[0].reason, XmCR_BROWSE_SELECT);
    EXPECT_EQ(calls.calls[0].item_position, 3);
    EXPECT_EQ(calls.calls[0].item, "row 3");
    pauseClicks();
    // A second click within the multi-click time is a double click.
    Calls dflt;
    dflt.watch(il, XmNdefaultActionCallback);
    doubleClick(icons, 5, rowY(5), [&] {
      EXPECT_EQ(selected(list), std::vector<int>{5});
      EXPECT_TRUE(dflt.calls.empty());
    });
    ASSERT_EQ(dflt.calls.size(), 1u);
    EXPECT_EQ(dflt.calls[0].reason, XmCR_DEFAULT_ACTION);
    EXPECT_EQ(dflt.calls[0].item_position, 5);
    XtDestroyWidget(il);
    pauseClicks();
  }
  // Single: a click on the selected row deselects it with item position 0.
  {
    create(false, XmSINGLE_SELECT);
    fill(6);
    Calls calls;
    calls.watch(il, XmNsingleSelectionCallback);
    click(icons, 5, rowY(2));
    EXPECT_EQ(selected(list), std::vector<int>{2});
    pauseClicks();
    click(icons, 5, rowY(2));
    EXPECT_TRUE(selected(list).empty());
    ASSERT_EQ(calls.calls.size(), 2u);
    EXPECT_EQ(calls.calls[0].w, list);  // forwarded from the list itself
    EXPECT_EQ(calls.calls[1].w, il);
    EXPECT_EQ(calls.calls[1].reason, XmCR_SINGLE_SELECT);
    EXPECT_EQ(calls.calls[1].item_position, 0);
    EXPECT_EQ(XdIconListSelectAll(il), 1);
    EXPECT_EQ(selected(list), std::vector<int>{1});
    XtDestroyWidget(il);
    pauseClicks();
  }
  // Multiple: clicks toggle rows; Shift or Ctrl clicks do nothing.
  {
    create(false, XmMULTIPLE_SELECT);
    fill(6);
    Calls calls;
    calls.watch(il, XmNmultipleSelectionCallback);
    click(icons, 5, rowY(2));
    pauseClicks();
    click(icons, 5, rowY(4));
    EXPECT_EQ(selected(list), (std::vector<int>{2, 4}));
    pauseClicks();
    click(icons, 5, rowY(5), 1, {XK_Shift_L});
    pauseClicks();
    click(icons, 5, rowY(6), 1, {XK_Control_L});
    EXPECT_EQ(selected(list), (std::vector<int>{2, 4}));
    pauseClicks();
    click(icons, 5, rowY(2));
    EXPECT_EQ(selected(list), std::vector<int>{4});
    ASSERT_EQ(calls.calls.size(), 3u);
    EXPECT_EQ(calls.calls[1].positions, (std::vector<int>{2, 4}));
    EXPECT_EQ(calls.calls[2].reason, XmCR_MULTIPLE_SELECT);
    EXPECT_EQ(calls.calls[2].positions, std::vector<int>{4});
    EXPECT_EQ(calls.calls[2].item_position, 4);
    XtDestroyWidget(il);
    pauseClicks();
  }
  // Extended: click sets the anchor, Ctrl adds, Shift extends from it.
  // Rows added by Ctrl or Shift are reported on the multiple-selection list
  // (reason 24), a row taken away by Ctrl on the extended one (reason 25).
  {
    create(false, XmEXTENDED_SELECT);
    fill(8);
    Calls calls, added;
    calls.watch(il, XmNextendedSelectionCallback);
    added.watch(il, XmNmultipleSelectionCallback);
    click(icons, 5, rowY(2));
    pauseClicks();
    click(icons, 5, rowY(7), 1, {XK_Control_L});
    EXPECT_EQ(selected(list), (std::vector<int>{2, 7}));
    ASSERT_EQ(added.calls.size(), 1u);
    EXPECT_EQ(added.calls[0].reason, XmCR_MULTIPLE_SELECT);
    EXPECT_EQ(added.calls[0].positions, (std::vector<int>{2, 7}));
    EXPECT_EQ(added.calls[0].item_position, 2);
    pauseClicks();
    click(icons, 5, rowY(4), 1, {XK_Shift_L});  // from the anchor, row 7
    EXPECT_EQ(selected(list), (std::vector<int>{2, 4, 5, 6, 7}));
    ASSERT_EQ(added.calls.size(), 2u);
    EXPECT_EQ(added.calls[1].reason, XmCR_MULTIPLE_SELECT);
    EXPECT_EQ(added.calls[1].positions, (std::vector<int>{2, 4, 5, 6, 7}));
    pauseClicks();
    size_t before = calls.calls.size();
    click(icons, 5, rowY(5), 1, {XK_Control_L});
    EXPECT_EQ(selected(list), (std::vector<int>{2, 4, 6, 7}));
    ASSERT_EQ(calls.calls.size(), before + 1);
    EXPECT_EQ(calls.calls.back().reason, XmCR_EXTENDED_SELECT);
    EXPECT_EQ(calls.calls.back().positions, (std::vector<int>{2, 4, 6, 7}));
    EXPECT_EQ(added.calls.size(), 2u);
    // The programming interface reports on the multiple list as well.
    int more[] = {1};
    EXPECT_EQ(XdIconListSelectPositions(il, 1, more, True), 5);
    ASSERT_EQ(added.calls.size(), 3u);
    EXPECT_EQ(added.calls[2].positions, (std::vector<int>{1, 2, 4, 6, 7}));
    // A Shift range takes both of its ends: here the anchor is a row that is
    // not selected (set through the programming interface), above the row
    // clicked.
    XdIconListSetLastSelected(il, 8);
    pauseClicks();
    click(icons, 5, rowY(5), 1, {XK_Shift_L});
    EXPECT_EQ(selected(list), (std::vector<int>{1, 2, 4, 5, 6, 7, 8}));
  }
}

// Down on the last row in view selects the next row and scrolls by one row,
// so that the new row is the last one in view; its icon comes with it.
TEST_F(IconListTest, DownFromTheLastRowInViewScrollsTheNextRowIntoView) {
  create(true, XmBROWSE_SELECT);
  fill(100);
  const int vis = XdIconListVisibleItems(il);
  ASSERT_GT(vis, 2);
  ASSERT_EQ(top(), 1);
  click(list, 20, rowY(vis));  // the keyboard goes to the last row in view
  ASSERT_EQ(selected(list), std::vector<int>{vis});
  key(XK_Down);
  EXPECT_EQ(selected(list), std::vector<int>{vis + 1});
  EXPECT_EQ(top(), 2);
  Position x, y;
  Dimension w, h;
  ASSERT_TRUE(XmListPosToBounds(list, vis + 1, &x, &y, &w, &h));
  const int next = vis + 1;
  EXPECT_EQ(iconPixel(next), next % 3 == 1 ? kRed : next % 3 == 2 ? kGreen : kBlue);
}

TEST_F(IconListTest, SelectPositionsMergesAndReportsOnce) {
  create(false, XmMULTIPLE_SELECT);
  fill(10);
  Calls calls;
  calls.watch(il, XmNmultipleSelectionCallback);
  int first[] = {3, 1};
  EXPECT_EQ(XdIconListSelectPositions(il, 2, first, False), 2);
  int more[] = {9, 3, 3, 11, 0, 5};
  EXPECT_EQ(XdIconListSelectPositions(il, 6, more, True), 4);
  EXPECT_EQ(selected(list), (std::vector<int>{1, 3, 5, 9}));
  ASSERT_EQ(calls.calls.size(), 1u);
  EXPECT_EQ(calls.calls[0].positions, (std::vector<int>{1, 3, 5, 9}));
  EXPECT_EQ(XdIconListDeselectPos(il, 3), 3);
  EXPECT_EQ(XdIconListSelectAll(il), 10);
  XdIconListDeselectAll(il);
  EXPECT_TRUE(selected(list).empty());
}

TEST_F(IconListTest, ButtonTwoStartsADragOfTheRowUnderThePointer) {
  create(false, XmMULTIPLE_SELECT);
  fill(5);
  Calls drag, multi;
  drag.watch(il, XdNdragCallback);
  multi.watch(il, XmNmultipleSelectionCallback);
  XdIconListSelectPos(il, 2, False);
  click(list, 10, rowY(2), 2);  // already selected: stays selected
  EXPECT_EQ(selected(list), std::vector<int>{2});
  click(icons, 5, rowY(4), 2);
  EXPECT_EQ(selected(list), (std::vector<int>{2, 4}));
  ASSERT_EQ(drag.calls.size(), 2u);
  EXPECT_EQ(drag.calls[1].reason, XmCR_DRAG);
  EXPECT_EQ(drag.calls[1].w, il);
  EXPECT_EQ(drag.calls[1].item_position, 4);
}

TEST_F(IconListTest, ScrolledVariantKeysPageAndKeepIconsInStep) {
  create(true, XmMULTIPLE_SELECT);
  fill(100);
  Widget vbar = XdIconListGetChild(il, XdICONLIST_VSCROLLBAR);
  ASSERT_NE(vbar, nullptr);
  EXPECT_TRUE(XtIsManaged(vbar));
  int vis = XdIconListVisibleItems(il);
  ASSERT_GT(vis, 2);
  focus(list);
  XmListSetKbdItemPos(list, 1);
  key(XK_Down);
  EXPECT_EQ(selected(list), std::vector<int>{2});
  key(XK_Up);
  key(XK_Down);  // lands on the selected row 2 again: it stays selected
  EXPECT_EQ(selected(list), (std::vector<int>{1, 2}));
  key(XK_Next);  // next page: new top row selected and made the top
  EXPECT_EQ(top(), vis);
  int value = 0;
  XtVaGetValues(vbar, XmNvalue, &value, nullptr);
  EXPECT_EQ(value, vis - 1);
  // The icon shown in the first visible row belongs to the top row.
  int t = top();
  EXPECT_EQ(iconPixel(t), t % 3 == 1 ? kRed : t % 3 == 2 ? kGreen : kBlue);
  // The user pages with the bar: the rows and their icons move together.
  const Paged paged = pageOn(vbar);
  ASSERT_GT(paged.page, 0);
  t = value + paged.page + 1;
  EXPECT_EQ(top(), t);
  EXPECT_EQ(paged.value, t - 1);
  EXPECT_EQ(iconPixel(t), t % 3 == 1 ? kRed : t % 3 == 2 ? kGreen : kBlue);
  EXPECT_EQ(iconPixel(t + 1), (t + 1) % 3 == 1 ? kRed : (t + 1) % 3 == 2 ? kGreen : kBlue);
  // Setting the top position out of range changes nothing.
  XdIconListSetTopItemPos(il, 101);
  XdIconListSetPos(il, 0);
  EXPECT_EQ(top(), t);
  // After deleting every row the scroll value is 0 again.
  XdIconListSetLastSelected(il, 3);
  XdIconListDeleteAllItems(il);
  XtVaGetValues(vbar, XmNvalue, &value, nullptr);
  EXPECT_EQ(value, 0);
}

// Navigation keys replace the selection row by row, as the list's own
// selection would, and tell the owner once per key with what is selected.
TEST_F(IconListTest, NavigationKeysReplaceTheSelectionAndTellTheOwner) {
  for (unsigned char policy : {XmBROWSE_SELECT, XmSINGLE_SELECT, XmEXTENDED_SELECT}) {
    SCOPED_TRACE(int(policy));
    create(true, policy);
    fill(5000);
    const char *cb = policy == XmBROWSE_SELECT   ? XmNbrowseSelectionCallback
                     : policy == XmSINGLE_SELECT ? XmNsingleSelectionCallback
                                                 : XmNextendedSelectionCallback;
    Calls calls;
    calls.watch(il, cb);
    int vis = XdIconListVisibleItems(il);
    focus(list);
    XmListSelectPos(list, 3, False);
    XmListSetKbdItemPos(list, 3);
    key(XK_Next);
    ASSERT_EQ(calls.calls.size(), 1u);
    const int pos = top();
    EXPECT_EQ(selected(list), std::vector<int>{pos});
    EXPECT_EQ(calls.calls[0].item_position, pos);
    EXPECT_EQ(calls.calls[0].positions, std::vector<int>{pos});
    EXPECT_TRUE(XmListPosSelected(list, pos));
    EXPECT_FALSE(XmListPosSelected(list, 3));
    key(XK_Down);
    EXPECT_EQ(selected(list), std::vector<int>{pos + 1});
    ASSERT_EQ(calls.calls.size(), 2u);
    EXPECT_EQ(calls.calls[1].item, "row " + std::to_string(pos + 1));
    // What is drawn follows: the old row in the normal colours, the new one
    // in the selection colours (the right end of a row is blank).
    Position x, y;
    Dimension w, h;
    ASSERT_TRUE(XmListPosToBounds(list, pos + 1, &x, &y, &w, &h));
    pump();
    unsigned long sel_bg = qevtest::pixelAt(XtDisplay(list), XtWindow(list), x + w / 2, y + h / 2);
    ASSERT_TRUE(XmListPosToBounds(list, pos, &x, &y, &w, &h));
    unsigned long old_bg = qevtest::pixelAt(XtDisplay(list), XtWindow(list), x + w / 2, y + h / 2);
    EXPECT_NE(sel_bg, old_bg);
    // The selection survives a later toolkit call that reads it back.
    XmListUpdateSelectedList(list);
    EXPECT_EQ(selected(list), std::vector<int>{pos + 1});
    EXPECT_GT(vis, 2);
    XtDestroyWidget(shell);
    pump();
    shell = makeShell(300, 240);
  }
}

TEST_F(IconListTest, ItemsGivenAsResourcesAppearAndAreCopied) {
  XmString s[] = {str("one"), str("two"), str("three")};
  Pixmap p[] = {red, green, blue};
  int32_t ids[] = {11, 12, 13};
  std::vector<Arg> a(4);
  XtSetArg(a[0], XdNstringItems, s);
  XtSetArg(a[1], XdNiconItems, p);
  XtSetArg(a[2], XdNids, ids);
  XtSetArg(a[3], XdNitemCount, 3);
  create(false, XmBROWSE_SELECT, a);
  EXPECT_EQ(listTexts(list), (std::vector<std::string>{"one", "two", "three"}));
  ids[1] = 0;  // the widget has its own copy
  EXPECT_EQ(XdIconListGetId(il, 2), 12);
  EXPECT_EQ(iconPixel(3), kBlue);
  XmString s2[] = {str("four"), str("five")};
  Pixmap p2[] = {blue, red};
  XtVaSetValues(il, XdNstringItems, s2, XdNiconItems, p2, XdNitemCount, 2, nullptr);
  pump();
  EXPECT_EQ(listTexts(list), (std::vector<std::string>{"four", "five"}));
  EXPECT_EQ(XdIconListGetIcon(il, 2), red);
  EXPECT_EQ(XdIconListGetId(il, 1), -1);
  // A count alone, without the items it counts, is refused, but a count of
  // 0 alone empties the list.
  xdtest_warnings();
  XtVaSetValues(il, XdNitemCount, 7, nullptr);
  EXPECT_EQ(listTexts(list), (std::vector<std::string>{"four", "five"}));
  EXPECT_EQ(xdtest_warnings(), 1);
  XtVaSetValues(il, XdNitemCount, 0, nullptr);
  pump();
  EXPECT_TRUE(listTexts(list).empty());
  EXPECT_EQ(XdIconListGetIcon(il, 1), XdICON_INVALID);
  EXPECT_EQ(xdtest_warnings(), 0);
  XtVaSetValues(il, XdNstringItems, s2, XdNitemCount, 2, nullptr);
  // The selection policy reaches the list.
  XtVaSetValues(il, XmNselectionPolicy, XmMULTIPLE_SELECT, nullptr);
  unsigned char policy = 0;
  XtVaGetValues(list, XmNselectionPolicy, &policy, nullptr);
  EXPECT_EQ(policy, XmMULTIPLE_SELECT);
  XdIconListSelectPos(il, 1, False);
  XdIconListSelectPos(il, 2, False);
  EXPECT_EQ(selected(list), (std::vector<int>{1, 2}));
}

namespace {
// Where a window lies on the screen, as the server has it.
XRectangle onScreen(Widget w) {
  Display *dpy = XtDisplay(w);
  XWindowAttributes at;
  XGetWindowAttributes(dpy, XtWindow(w), &at);
  int x = 0, y = 0;
  rootPos(w, 0, 0, &x, &y);
  return XRectangle{short(x), short(y), (unsigned short)at.width, (unsigned short)at.height};
}
bool inside(const XRectangle &in, const XRectangle &out) {
  return in.x >= out.x && in.y >= out.y && in.x + in.width <= out.x + out.width &&
         in.y + in.height <= out.y + out.height;
}
}  // namespace

// Given its items at creation and no size, the list takes the size that
// shows its visible rows, and a shell without a size takes the list's.
TEST_F(IconListTest, ItemsAtCreationWithoutASizeShowTheVisibleRows) {
  XtDestroyWidget(shell);
  shell = XtVaAppCreateShell("shell", "Shell", topLevelShellWidgetClass, app().dpy, XtNx, 0,
                             XtNy, 0, nullptr);
  const int kItems = 12;
  std::vector<XmString> s;
  std::vector<Pixmap> p;
  for (int i = 1; i <= kItems; ++i) {
    s.push_back(str("row number " + std::to_string(i)));
    p.push_back(i % 2 ? red : green);
  }
  std::vector<Arg> a(3);
  XtSetArg(a[0], XdNstringItems, s.data());
  XtSetArg(a[1], XdNiconItems, p.data());
  XtSetArg(a[2], XdNitemCount, kItems);
  create(false, XmBROWSE_SELECT, a);
  const int kShown = 8;  // the visible rows create() asks for
  EXPECT_EQ(XdIconListVisibleItems(il), kShown);
  XRectangle widget = onScreen(il), inner = onScreen(list), top = onScreen(shell);
  EXPECT_TRUE(inside(widget, top)) << "the shell does not show the list";
  XmFontList font = nullptr;
  XtVaGetValues(list, XmNfontList, &font, nullptr);
  Position x, y, first = 0;
  Dimension w, h;
  for (int pos = 1; pos <= kShown; ++pos) {
    ASSERT_TRUE(XmListPosToBounds(list, pos, &x, &y, &w, &h)) << "row " << pos;
    if (pos == 1) first = y;
    XRectangle row = {short(inner.x + x), short(inner.y + y),
                      (unsigned short)XmStringWidth(font, s[pos - 1]), h};
    ASSERT_TRUE(inside(row, inner)) << "row " << pos << " outside the list's window";
    ASSERT_TRUE(inside(row, widget)) << "row " << pos << " outside the widget";
  }
  EXPECT_GE(int(widget.height), y + h - first);
  EXPECT_EQ(iconPixel(kShown), kGreen);
}

// Selection callbacks that destroy the list while it notifies.
TEST_F(IconListTest, SelectPositionsSurvivesACallbackThatDestroysTheList) {
  for (unsigned char policy : {XmMULTIPLE_SELECT, XmSINGLE_SELECT}) {
    create(false, policy);
    fill(10);
    // The callback is given the inner list; it destroys the icon list.
    auto destroy = [](Widget, XtPointer icon_list, XtPointer) {
      XtDestroyWidget(static_cast<Widget>(icon_list));
    };
    XtAddCallback(il, policy == XmSINGLE_SELECT ? XmNsingleSelectionCallback : XmNmultipleSelectionCallback,
                  destroy, il);
    int positions[] = {2, 5};
    EXPECT_GE(XdIconListSelectPositions(il, 2, positions, True), 1);
    pump();
    XtDestroyWidget(shell);
    pump();
    shell = makeShell(300, 240);
  }
}

// Items thousands of characters long keep their text; the list stays usable.
TEST_F(IconListTest, VeryLongItemsKeepTheListUsable) {
  create(true);
  // Just past 65,536 pixels: a 16-bit width would wrap to a few pixels.
  XmFontList font = nullptr;
  XtVaGetValues(list, XmNfontList, &font, nullptr);
  XmString x = str("x");
  int cw = XmStringWidth(font, x);
  ASSERT_GT(cw, 0);
  std::string longText(size_t(65536 / cw + 1), 'x');
  XmString items[] = {str("short"), str(longText), str("after")};
  XdIconListAddItems(il, nullptr, items, nullptr, 3, 0);
  pump();
  EXPECT_EQ(listTexts(list)[1], longText);
  EXPECT_GT(int(XtWidth(list)), 200);  // not wrapped to a few pixels
  Widget hbar = XdIconListGetChild(il, XdICONLIST_HSCROLLBAR);
  ASSERT_NE(hbar, nullptr);
  int maximum = 0;
  XtVaGetValues(hbar, XmNmaximum, &maximum, nullptr);
  EXPECT_GT(maximum, 2000);
  EXPECT_LT(maximum, 32767);
  XmString longer[] = {str(longText + longText)};
  int pos = 3;
  EXPECT_EQ(XdIconListReplaceItems(il, nullptr, longer, nullptr, 1, &pos), 1);
  pump();
  EXPECT_EQ(listTexts(list)[2], longText + longText);
  XtVaGetValues(hbar, XmNmaximum, &maximum, nullptr);
  EXPECT_LT(maximum, 32767);
  focus(list);
  XdIconListSelectPos(il, 1, False);
  XmListSetKbdItemPos(list, 1);
  key(XK_Down);
  EXPECT_EQ(selected(list), std::vector<int>{2});
}

}  // namespace

// A list made lower by part of a row and given its height back shows the
// rows it showed before, whole, at every step of the shrinking.
TEST_F(IconListTest, AHeightGivenBackShowsTheRowsAgain) {
  create(false);
  fill(40);
  const int rows = XdIconListVisibleItems(il);
  const Dimension full = il->core.height;
  XmListWidget l = reinterpret_cast<XmListWidget>(list);
  const int pitch = l->list.MaxItemHeight + l->list.spacing;
  for (int cut = 1; cut < 2 * pitch; ++cut) {
    XtVaSetValues(shell, XmNheight, full - cut, nullptr);
    pump();
    XtVaSetValues(shell, XmNheight, full, nullptr);
    pump();
    ASSERT_EQ(il->core.height, full);
    EXPECT_EQ(XdIconListVisibleItems(il), rows) << "after " << cut << " pixels less";
    Position x, y;
    Dimension w, h;
    ASSERT_TRUE(XmListPosToBounds(list, top() + rows - 1, &x, &y, &w, &h));
    EXPECT_LE(y + h, int(list->core.height)) << "the last row is cut after " << cut << " pixels less";
  }
}
