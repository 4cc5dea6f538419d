// XdMCIconList through its exported functions, real clicks, drags and
// keys, and what the X server shows: rows, columns and the texts each
// column shows at the widths a program gives.
#include "listtest.h"

#include "columnink.h"

#include "qev/status.h"
#include "xd/MCIconListP.h"

#include <Xm/ListP.h>
#include <Xm/ScrollBar.h>

#include <cmath>
#include <cstdlib>
#include <list>

using namespace listtest;

namespace {

double numberKey(char *text, int) { return std::atof(text); }
/* "x" has no number: its key is not a number. */
double nanKey(char *text, int) { return text[0] == 'x' ? std::nan("") : std::atof(text); }

class MCIconListTest : public ::testing::Test {
 protected:
  Widget shell = nullptr, mc = nullptr;
  std::vector<XmString> owned;
  Pixmap red = 0, green = 0;

  void SetUp() override {
    ASSERT_NE(app().dpy, nullptr);
    red = xdlistdata::makeIcon(app().dpy, 16, 0xff0000);
    green = xdlistdata::makeIcon(app().dpy, 16, 0x00c000);
    shell = makeShell(500, 300);
  }
  void TearDown() override {
    if (shell) XtDestroyWidget(shell);
    pump();
    for (XmString s : owned) XmStringFree(s);
    XFreePixmap(app().dpy, red);
    XFreePixmap(app().dpy, green);
  }
  XmString str(const std::string &s) {
    owned.push_back(XmStringCreateLocalized(const_cast<char *>(s.c_str())));
    return owned.back();
  }
  void create(int columns, unsigned char policy = XmBROWSE_SELECT, bool realize = true,
              Pixel background = 0, bool with_background = false) {
    Arg a[5];
    XtSetArg(a[0], XdNcolumnCount, columns);
    XtSetArg(a[1], XmNselectionPolicy, policy);
    XtSetArg(a[2], XmNwidth, 480);
    XtSetArg(a[3], XmNheight, 260);
    XtSetArg(a[4], XmNbackground, background);
    mc = XdCreateMCIconList(shell, (char *)"mc", a, with_background ? 5 : 4);
    XtManageChild(mc);
    if (realize) {
      XtRealizeWidget(shell);
      pump();
    }
  }
  // Adds rows given as one string per column, "|"-separated.
  void rows(const std::vector<std::string> &r, int position = 0) {
    int C = P().column_count;
    std::vector<std::vector<XmString>> cols(C);
    std::vector<Pixmap> icons;
    std::vector<int32_t> ids;
    for (size_t i = 0; i < r.size(); ++i) {
      std::string line = r[i];
      for (int c = 0; c < C; ++c) {
        size_t bar = line.find('|');
        cols[c].push_back(str(line.substr(0, bar)));
        line = bar == std::string::npos ? "" : line.substr(bar + 1);
      }
      icons.push_back(i % 2 ? green : red);
      ids.push_back(int32_t(i + 1));
    }
    std::vector<XmString *> arr;
    for (auto &c : cols) arr.push_back(c.data());
    XdMCIconListAddItems(mc, icons.data(), arr.data(), ids.data(), int(r.size()), position);
    pump();
  }
  XdMCIconListPart &P() { return reinterpret_cast<XdMCIconListWidget>(mc)->mc_icon_list; }
  Widget inner() { return XdIconListGetChild(XdMCIconListGetChild(mc, 0, XdMCIL_LIST), XdICONLIST_LIST); }
  Widget textList(int c) { return c == 0 ? inner() : XdMCIconListGetChild(mc, c, XdMCIL_LIST); }
  std::vector<std::string> column(int c) { return listTexts(textList(c)); }
  int topOf(int c) {
    int t = 0;
    XtVaGetValues(textList(c), XmNtopItemPosition, &t, nullptr);
    return t;
  }
  void clickHeader(int c) {
    Widget h = XdMCIconListGetChild(mc, c, XdMCIL_HEADER);
    click(h, h->core.width / 2, h->core.height / 2);
    pauseClicks();
  }
};

TEST_F(MCIconListTest, RowsAndColumnsKeepIconsIdsAndSelectionInTheFirstColumn) {
  create(3);
  rows({"a|1|x", "b|2|y", "c|3|z"});
  EXPECT_EQ(column(0), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(column(2), (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(XdMCIconListGetId(mc, 2), 2);
  EXPECT_EQ(XdMCIconListGetIcon(mc, 1), red);
  XdMCIconListSelectPos(mc, 2, False);

  // A column inserted first: the icon list stays leftmost with icons, ids
  // and selection; the old first texts move right.
  XdMCIconListAddColumn(mc, str("New"), 80, 1, 42, 1, nullptr);
  pump();
  ASSERT_EQ(P().column_count, 4);
  EXPECT_EQ(column(0), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(column(1), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(XdMCIconListGetIcon(mc, 1), red);
  EXPECT_EQ(selected(inner()), std::vector<int>{2});
  int width = 0;
  XmString label = nullptr;
  int32_t data = 0, sortable = 0;
  XdMCIconListKeyProc key = numberKey;
  XdMCIconListGetColumn(mc, 0, &width, &label, &data, &sortable, &key);
  EXPECT_EQ(width, 80);
  EXPECT_EQ(text(label), "New");
  XmStringFree(label);
  EXPECT_EQ(data, 42);
  EXPECT_EQ(key, nullptr);

  // Deleting the first column brings the second's texts and attributes back.
  EXPECT_EQ(XdMCIconListDeleteColumn(mc, 1), 1);
  EXPECT_EQ(XdMCIconListDeleteColumn(mc, 0), 0);
  EXPECT_EQ(XdMCIconListDeleteColumn(mc, 4), 0);
  ASSERT_EQ(P().column_count, 3);
  EXPECT_EQ(column(0), (std::vector<std::string>{"a", "b", "c"}));
  XdMCIconListGetColumn(mc, 0, &width, nullptr, &data, nullptr, nullptr);
  EXPECT_EQ(data, 0);
  EXPECT_EQ(width, 148);
  EXPECT_EQ(selected(inner()), std::vector<int>{2});

  // A row's strings, and out-of-range rows and children refused.
  XmString *rowText = nullptr;
  EXPECT_EQ(XdMCIconListGetRowString(mc, 2, &rowText), 3);
  ASSERT_NE(rowText, nullptr);
  EXPECT_EQ(text(rowText[2]), "z");
  XtFree(reinterpret_cast<char *>(rowText));
  EXPECT_EQ(XdMCIconListGetRowString(mc, 3, &rowText), 0);
  EXPECT_EQ(rowText, nullptr);
  EXPECT_EQ(XdMCIconListGetChild(mc, 3, XdMCIL_LIST), nullptr);
  EXPECT_EQ(XdMCIconListGetChild(mc, -1, XdMCIL_VSCROLLBAR), nullptr);
  EXPECT_EQ(XdMCIconListGetChild(mc, 0, 9), nullptr);
  XdMCIconListSelectPos(mc, 0, False);
  EXPECT_EQ(selected(inner()), std::vector<int>{2});

  // Updates: one bad position among good ones is reported, good rows change.
  XmString c0[] = {str("A"), str("never")}, c2[] = {nullptr, str("never")};
  XmString *strings[] = {c0, nullptr, c2};
  Pixmap icons[] = {green, green};
  int32_t ids[] = {77, 88};
  int where[] = {1, 4};
  EXPECT_EQ(XdMCIconListUpdateItems(mc, icons, strings, ids, 2, where), WU_NOTAVAIL);
  EXPECT_EQ(column(0), (std::vector<std::string>{"A", "b", "c"}));
  EXPECT_EQ(column(2), (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(XdMCIconListGetId(mc, 1), 77);
  EXPECT_EQ(XdMCIconListGetIcon(mc, 1), green);
  int good[] = {3};
  XmString c2b[] = {str("Z")};
  XmString *strings2[] = {nullptr, nullptr, c2b};
  EXPECT_EQ(XdMCIconListUpdateItems(mc, nullptr, strings2, XdIDS_UNCHANGED, 1, good), WU_OK);
  EXPECT_EQ(column(2), (std::vector<std::string>{"x", "y", "Z"}));

  // Deleting rows removes them from every column.
  int del[] = {3, 1, 9};
  XdMCIconListDeletePositions(mc, del, 3);
  EXPECT_EQ(column(0), std::vector<std::string>{"b"});
  EXPECT_EQ(column(1), std::vector<std::string>{"2"});
  EXPECT_EQ(XdMCIconListGetId(mc, 1), 2);
  XdMCIconListDeleteAllItems(mc);
  EXPECT_TRUE(column(2).empty());
  EXPECT_EQ(XdMCIconListGetId(mc, 1), -1);
}

TEST_F(MCIconListTest, HeaderClicksSortReverseAndKeepRowsWhole) {
  create(3, XmMULTIPLE_SELECT);
  XdMCIconListSetColumn(mc, 0, XdCOLUMN_WIDTH_UNCHANGED, str("Name"), XdCOLUMN_DATA_UNCHANGED, 1,
                        XdCOLUMN_KEY_UNCHANGED);
  XdMCIconListSetColumn(mc, 1, XdCOLUMN_WIDTH_UNCHANGED, str("Size"), XdCOLUMN_DATA_UNCHANGED, 1,
                        numberKey);
  rows({"pear|10|p", "apple|9|q", "fig|100|r", "kiwi|9|s"});
  XdMCIconListSelectPos(mc, 2, False);  // apple
  Calls headers;
  headers.watch(mc, XmNdefaultActionCallback);

  clickHeader(0);
  EXPECT_EQ(column(0), (std::vector<std::string>{"apple", "fig", "kiwi", "pear"}));
  EXPECT_EQ(column(2), (std::vector<std::string>{"q", "r", "s", "p"}));
  EXPECT_EQ(XdMCIconListGetId(mc, 1), 2);
  EXPECT_EQ(XdMCIconListGetIcon(mc, 1), green);
  EXPECT_EQ(selected(inner()), std::vector<int>{1});
  ASSERT_EQ(headers.calls.size(), 1u);
  EXPECT_EQ(headers.calls[0].reason, XmCR_ACTIVATE);
  EXPECT_EQ(headers.calls[0].item_position, 1);

  clickHeader(0);  // same column: reversed
  EXPECT_EQ(column(0), (std::vector<std::string>{"pear", "kiwi", "fig", "apple"}));
  EXPECT_EQ(selected(inner()), std::vector<int>{4});
  clickHeader(0);  // and back
  EXPECT_EQ(column(0), (std::vector<std::string>{"apple", "fig", "kiwi", "pear"}));

  // Numeric keys: 9, 9, 10, 100 with the later of the equal keys first.
  clickHeader(1);
  EXPECT_EQ(column(1), (std::vector<std::string>{"9", "9", "10", "100"}));
  EXPECT_EQ(column(0), (std::vector<std::string>{"kiwi", "apple", "pear", "fig"}));

  // A column that is not sortable reports the click and does not sort.
  clickHeader(2);
  EXPECT_EQ(column(0), (std::vector<std::string>{"kiwi", "apple", "pear", "fig"}));
  ASSERT_EQ(headers.calls.size(), 5u);
  EXPECT_EQ(headers.calls[4].item_position, 3);
}

// The row order of inserting rows one by one into an ordered chain, as the
// sort is defined: without a key after every row that is not greater, with
// a key before the first row whose key is not smaller.
std::vector<int> chainOrder(const std::vector<std::string> &t, double (*key)(char *, int)) {
  std::list<int> chain;
  for (int i = 0; i < int(t.size()); ++i) {
    auto it = chain.begin();
    if (!key) {
      while (it != chain.end() && t[*it] <= t[i]) ++it;
    } else {
      double k = key(const_cast<char *>(t[i].c_str()), int(t[i].size()));
      while (it != chain.end() &&
             key(const_cast<char *>(t[*it].c_str()), int(t[*it].size())) < k)
        ++it;
    }
    chain.insert(it, i);
  }
  return std::vector<int>(chain.begin(), chain.end());
}

TEST_F(MCIconListTest, SortingGivesTheOrderedInsertionOrderForEqualAndNonNumericKeys) {
  create(2);
  XdMCIconListSetColumn(mc, 1, XdCOLUMN_WIDTH_UNCHANGED, nullptr, XdCOLUMN_DATA_UNCHANGED, 1,
                        nanKey);
  std::vector<std::string> keys, lines;
  srand(7);
  for (int i = 0; i < 300; ++i) {
    int r = rand() % 12;
    std::string k = r == 0 ? "x" : std::to_string(r % 5);
    keys.push_back(k);
    lines.push_back("row" + std::to_string(i) + "|" + k);
  }
  rows(lines);
  XdMCIconListSortOnColumn(mc, 1);
  pump();
  std::vector<int> want = chainOrder(keys, nanKey);
  std::vector<std::string> got = column(0);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i)
    ASSERT_EQ(got[i], "row" + std::to_string(want[i])) << "at " << i;

  // Without a key function equal texts keep their order.
  XdMCIconListSetColumn(mc, 1, XdCOLUMN_WIDTH_UNCHANGED, nullptr, XdCOLUMN_DATA_UNCHANGED, 1,
                        nullptr);
  XdMCIconListDeleteAllItems(mc);
  rows(lines);
  XdMCIconListSortOnColumn(mc, 1);
  want = chainOrder(keys, nullptr);
  got = column(0);
  for (size_t i = 0; i < want.size(); ++i)
    ASSERT_EQ(got[i], "row" + std::to_string(want[i])) << "at " << i;
}

TEST_F(MCIconListTest, DeletingAColumnKeepsTheLastSortedColumnRight) {
  create(3);
  rows({"b|2|z", "a|1|y", "c|3|x"});
  XdMCIconListSortOnColumn(mc, 2);  // by the third column: c, a, b
  EXPECT_EQ(column(0), (std::vector<std::string>{"c", "a", "b"}));
  XdMCIconListDeleteColumn(mc, 2);
  // The sorted column is now the second: sorting on it again reverses.
  XdMCIconListSortOnColumn(mc, 1);
  EXPECT_EQ(column(0), (std::vector<std::string>{"b", "a", "c"}));
  // Deleting the sorted column forgets it: the next sort is ascending.
  XdMCIconListSortOnColumn(mc, 0);
  XdMCIconListDeleteColumn(mc, 1);
  XdMCIconListAddColumn(mc, str("again"), 0, 0, 0, 1, nullptr);
  XdMCIconListSortOnColumn(mc, 0);
  EXPECT_EQ(column(0), (std::vector<std::string>{"", "", ""}).size() == 3
                           ? column(0) : std::vector<std::string>{});
  EXPECT_EQ(column(0).size(), 3u);
}

TEST_F(MCIconListTest, TypeAheadFindsRowsAndDeleteKeysOnlyReport) {
  create(2);
  rows({"alpha|1", "Beta|2", "gamma|3", "bazaar|4", "BAT|5", "delta|6"});
  Calls sel;
  sel.watch(mc, XmNbrowseSelectionCallback);
  std::vector<long> deleted;
  XtAddCallback(mc, XdNdeleteNodeCallback,
                [](Widget, XtPointer c, XtPointer d) {
                  static_cast<std::vector<long> *>(c)->push_back(reinterpret_cast<long>(d));
                },
                &deleted);
  focus(inner());
  // "bat" typed: each letter is looked at as it is handled.
  typeBurst({XK_b, XK_a, XK_t}, [&](size_t i) {
    const std::vector<int> want[] = {{2},   // "b"
                                     {4},   // "ba" from the selected row on: bazaar
                                     {5}};  // "bat" in any letter case
    EXPECT_EQ(selected(inner()), want[i]) << "after letter " << i + 1 << " of bat";
  });
  EXPECT_FALSE(sel.calls.empty());
  pauseClicks();
  key(XK_b);  // a new prefix: the next "b" row after the selected one, wrapping
  EXPECT_EQ(selected(inner()), std::vector<int>{2});
  key(XK_Delete);
  key(XK_BackSpace);
  EXPECT_EQ(deleted, (std::vector<long>{XK_Delete, XK_BackSpace}));
  EXPECT_EQ(column(0).size(), 6u);
  // A long burst of letters stays within the prefix's bound.
  typeBurst(std::vector<KeySym>(XdTYPEAHEAD_MAX + 20, XK_z));
  EXPECT_EQ(P().typeahead_length, XdTYPEAHEAD_MAX);
}

TEST_F(MCIconListTest, ScrollingKeepsEveryColumnInStep) {
  create(3, XmBROWSE_SELECT, false);
  std::vector<std::string> lines;
  for (int i = 1; i <= 200; ++i) lines.push_back("r" + std::to_string(i) + "|" + std::to_string(i) + "|c" + std::to_string(i));
  rows(lines);
  XdMCIconListSetTopItemPos(mc, 50);  // not realized yet: kept
  XtRealizeWidget(shell);
  pump();
  EXPECT_EQ(topOf(0), 50);
  EXPECT_EQ(topOf(2), 50);
  Widget vbar = XdMCIconListGetChild(mc, 0, XdMCIL_VSCROLLBAR);
  ASSERT_TRUE(XtIsManaged(vbar));
  int value = 0;
  XtVaGetValues(vbar, XmNvalue, &value, nullptr);
  EXPECT_EQ(value, 50);
  // The user pages with the bar: every column follows.
  const Paged paged = pageOn(vbar);
  ASSERT_GT(paged.page, 0);
  value = paged.value;
  EXPECT_EQ(value, 50 + paged.page);
  EXPECT_EQ(topOf(0), value);
  EXPECT_EQ(topOf(1), value);
  EXPECT_EQ(topOf(2), value);
  // Keys in the first column move the others along.
  focus(inner());
  XmListSetKbdItemPos(inner(), paged.value);
  key(XK_Next);
  int t = topOf(0);
  EXPECT_GT(t, paged.value);
  EXPECT_EQ(topOf(1), t);
  EXPECT_EQ(topOf(2), t);
  for (int i = 0; i < 40; ++i) key(XK_Down);
  t = topOf(0);
  EXPECT_EQ(topOf(2), t);
  XtVaGetValues(vbar, XmNvalue, &value, nullptr);
  EXPECT_EQ(value, t);
  // A drag in the first list that scrolls it moves the others too.
  XdMCIconListSetTopItemPos(mc, 10);
  EXPECT_EQ(topOf(1), 10);
  XdMCIconListSetTopItemPos(mc, 201);
  EXPECT_EQ(topOf(1), 10);
}

TEST_F(MCIconListTest, DraggingAHandleResizesItsColumn) {
  create(3);
  rows({"a|1|x"});
  Widget handle = XdMCIconListGetChild(mc, 0, XdMCIL_HANDLE);
  Widget second = XdMCIconListGetChild(mc, 1, XdMCIL_HEADER);
  int before = 0;
  XdMCIconListGetColumn(mc, 0, &before, nullptr, nullptr, nullptr, nullptr);
  Position x0 = second->core.x;
  Display *dpy = XtDisplay(mc);
  int rx, ry;
  rootPos(handle, 0, handle->core.height / 2, &rx, &ry);
  XTestFakeMotionEvent(dpy, -1, rx, ry, 0);
  XTestFakeButtonEvent(dpy, 1, True, 0);
  pump();
  EXPECT_TRUE(XtIsRealized(P().resize_shell));
  for (int d = 10; d <= 60; d += 10) {
    XTestFakeMotionEvent(dpy, -1, rx + d, ry, 0);
    pump();
  }
  XTestFakeButtonEvent(dpy, 1, False, 0);
  pump();
  int after = 0;
  XdMCIconListGetColumn(mc, 0, &after, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NEAR(after, before + 60, 3);
  EXPECT_NEAR(second->core.x, x0 + 60, 3);
  // A drag that would leave the column 9 pixels or narrower is ignored.
  rootPos(XdMCIconListGetChild(mc, 1, XdMCIL_HANDLE), 0, 2, &rx, &ry);
  int w1 = 0;
  XdMCIconListGetColumn(mc, 1, &w1, nullptr, nullptr, nullptr, nullptr);
  XTestFakeMotionEvent(dpy, -1, rx, ry, 0);
  XTestFakeButtonEvent(dpy, 1, True, 0);
  pump();
  XTestFakeMotionEvent(dpy, -1, rx - w1 + 5, ry, 0);
  pump();
  XTestFakeButtonEvent(dpy, 1, False, 0);
  pump();
  int w2 = 0;
  XdMCIconListGetColumn(mc, 1, &w2, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(w2, w1);
}

TEST_F(MCIconListTest, SelectionFunctionsWorkOnTheFirstColumnWithoutCallbacks) {
  create(2, XmMULTIPLE_SELECT);
  std::vector<std::string> lines;
  for (int i = 1; i <= 20; ++i) lines.push_back("r" + std::to_string(i) + "|x");
  rows(lines);
  Calls calls;
  calls.watch(mc, XmNmultipleSelectionCallback);
  int pos[] = {7, 3, 40, 3};
  EXPECT_EQ(XdMCIconListSelectPositions(mc, 4, pos, True), 2);
  EXPECT_TRUE(calls.calls.empty());
  int *got = nullptr, n = 0;
  EXPECT_TRUE(XdMCIconListGetSelectedPos(mc, &got, &n));
  EXPECT_EQ(std::vector<int>(got, got + n), (std::vector<int>{3, 7}));
  XtFree(reinterpret_cast<char *>(got));
  EXPECT_EQ(XdMCIconListDeselectPos(mc, 3), 1);
  EXPECT_EQ(XdMCIconListSelectAll(mc), 20);
  XdMCIconListDeselectAll(mc);
  EXPECT_FALSE(XdMCIconListGetSelectedPos(mc, &got, &n));
  // Clicking a row of the first column reports through the widget's list.
  Widget il = XdMCIconListGetChild(mc, 0, XdMCIL_LIST);
  Widget icons = XdIconListGetChild(il, XdICONLIST_ICONS);
  Position bx, by;
  Dimension bw, bh;
  ASSERT_TRUE(XmListPosToBounds(inner(), 2, &bx, &by, &bw, &bh));
  click(icons, 4, by + bh / 2);
  EXPECT_EQ(selected(inner()), std::vector<int>{2});
  ASSERT_EQ(calls.calls.size(), 1u);
  EXPECT_EQ(calls.calls[0].positions, std::vector<int>{2});
}

TEST_F(MCIconListTest, ItemsGivenAtCreationAppearAndColumnCountIsFixed) {
  XmString c0[] = {str("one"), str("two")}, c1[] = {str("1"), str("2")};
  XmString *cols[] = {c0, c1};
  int32_t ids[] = {5, 6};
  Arg a[5];
  XtSetArg(a[0], XdNcolumnCount, 2);
  XtSetArg(a[1], XdNstringItems, cols);
  XtSetArg(a[2], XdNitemCount, 2);
  XtSetArg(a[3], XdNids, ids);
  XtSetArg(a[4], XmNwidth, 300);
  mc = XdCreateMCIconList(shell, (char *)"mc", a, 5);
  XtManageChild(mc);
  XtRealizeWidget(shell);
  pump();
  EXPECT_EQ(column(0), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(column(1), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(XdMCIconListGetId(mc, 2), 6);
  XtVaSetValues(mc, XdNcolumnCount, 5, nullptr);
  EXPECT_EQ(P().column_count, 2);
  // The string table names the lists' own items.
  EXPECT_EQ(P().item_count, 2);
  EXPECT_EQ(text(P().string_items[1][1]), "2");
  // View type 1 shows the first column only.
  XtVaSetValues(mc, XdNviewType, XdVIEW_FIRST_ONLY, nullptr);
  pump();
  EXPECT_FALSE(XtIsManaged(XdMCIconListGetChild(mc, 1, XdMCIL_LIST)));
  EXPECT_FALSE(XtIsManaged(XdMCIconListGetChild(mc, 0, XdMCIL_HEADER)));
  XtVaSetValues(mc, XdNviewType, XdVIEW_COLUMNS, nullptr);
  EXPECT_TRUE(XtIsManaged(XdMCIconListGetChild(mc, 1, XdMCIL_LIST)));
}

TEST_F(MCIconListTest, WideColumnsShowTheFirstColumnWholeAndTopPositionsStick) {
  create(5, XmBROWSE_SELECT, false);  // 740 pixels of columns in 480
  std::vector<std::string> r;
  for (int i = 1; i <= 100; ++i) r.push_back("r" + std::to_string(i) + "|" + std::to_string(i));
  rows(r);
  XtRealizeWidget(shell);
  // Asked for at once after realisation: the deferred work keeps it.
  XdMCIconListSetTopItemPos(mc, 40);
  pump();
  Widget area = XdMCIconListGetChild(mc, 0, XdMCIL_COLUMNS_AREA);
  XWindowAttributes wa;
  ASSERT_TRUE(XGetWindowAttributes(XtDisplay(area), XtWindow(area), &wa));
  EXPECT_EQ(wa.x, 0);  // the first column is not shifted left
  EXPECT_EQ(topOf(0), 40);
  EXPECT_EQ(topOf(1), 40);
  int value = -1;
  XtVaGetValues(XdMCIconListGetChild(mc, 0, XdMCIL_HSCROLLBAR), XmNvalue, &value, nullptr);
  EXPECT_EQ(value, 0);
}

int g_mc_warnings = 0;
void countMcWarning(String) { ++g_mc_warnings; }

TEST_F(MCIconListTest, CountsWithoutItemsAndRowsWithoutAFirstColumnAreRefused) {
  create(2);
  rows({"a|1", "b|2"});
  XtAppSetWarningHandler(app().app, countMcWarning);
  g_mc_warnings = 0;
  XtVaSetValues(mc, XdNitemCount, 9, nullptr);
  XmString c1[] = {str("3")};
  XmString *noFirst[] = {nullptr, c1};
  XdMCIconListAddItems(mc, nullptr, noFirst, nullptr, 1, 0);
  XtVaSetValues(mc, XdNstringItems, noFirst, XdNitemCount, 1, nullptr);
  pump();
  XtAppSetWarningHandler(app().app, nullptr);
  EXPECT_EQ(g_mc_warnings, 3);
  EXPECT_EQ(column(0), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(column(1), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(P().item_count, 2);
  // Items with their first column are still taken.
  XmString c0[] = {str("c")};
  XmString *both[] = {c0, c1};
  XtVaSetValues(mc, XdNstringItems, both, XdNitemCount, 1, nullptr);
  pump();
  EXPECT_EQ(column(0), std::vector<std::string>{"c"});
  EXPECT_EQ(column(1), std::vector<std::string>{"3"});
  // A count of 0 alone empties every column.
  XtVaSetValues(mc, XdNitemCount, 0, nullptr);
  pump();
  EXPECT_TRUE(column(0).empty());
  EXPECT_TRUE(column(1).empty());
}

TEST_F(MCIconListTest, WidthZeroSizesAColumnToItsLabel) {
  create(2);
  Widget header = XdMCIconListGetChild(mc, 0, XdMCIL_HEADER);
  XmFontList font = nullptr;
  XtVaGetValues(header, XmNfontList, &font, nullptr);
  for (const char *label : {"ab", "A header label far wider than the default column"}) {
    XmString s = str(label);
    XdMCIconListSetColumn(mc, 0, 0, s, XdCOLUMN_DATA_UNCHANGED, XdCOLUMN_DATA_UNCHANGED,
                          XdCOLUMN_KEY_UNCHANGED);
    pump();
    int width = 0;
    XdMCIconListGetColumn(mc, 0, &width, nullptr, nullptr, nullptr, nullptr);
    int text = XmStringWidth(font, s);
    EXPECT_GT(width, text) << label;
    EXPECT_LT(width, text + 40) << label;
  }
}

// A header callback that deletes columns, or destroys the widget.
TEST_F(MCIconListTest, HeaderCallbacksMayDeleteColumnsOrTheWidget) {
  create(3);
  rows({"b|2|x", "a|1|y"});
  XdMCIconListSetColumn(mc, 1, XdCOLUMN_WIDTH_UNCHANGED, nullptr, XdCOLUMN_DATA_UNCHANGED, 1,
                        XdCOLUMN_KEY_UNCHANGED);
  XtAddCallback(mc, XmNdefaultActionCallback,
                [](Widget w, XtPointer, XtPointer) {
                  while (XdMCIconListDeleteColumn(w, 2) == 1) {
                  }
                },
                nullptr);
  clickHeader(1);
  pump();
  EXPECT_EQ(P().column_count, 1);
  EXPECT_EQ(column(0), (std::vector<std::string>{"b", "a"}));
  XtRemoveAllCallbacks(mc, XmNdefaultActionCallback);
  XtAddCallback(mc, XmNdefaultActionCallback, [](Widget w, XtPointer, XtPointer) { XtDestroyWidget(w); },
                nullptr);
  clickHeader(0);
  pump();
  // A widget of two columns that no header has sorted goes the same way,
  // its window with it.
  create(2);
  rows({"b|2", "a|1"});
  bool gone = false;
  XtAddCallback(mc, XmNdestroyCallback,
                [](Widget, XtPointer flag, XtPointer) { *static_cast<bool *>(flag) = true; }, &gone);
  XtAddCallback(mc, XmNdefaultActionCallback, [](Widget w, XtPointer, XtPointer) { XtDestroyWidget(w); },
                nullptr);
  const Window window = XtWindow(mc);
  clickHeader(0);
  pump();
  EXPECT_TRUE(gone);
  EXPECT_EQ(XtWindowToWidget(app().dpy, window), nullptr);
}

}  // namespace

namespace {

struct MenuCalls {
  std::vector<std::pair<int, int>> calls;  // reason, column
  std::vector<int> selectedCounts;
  static void record(Widget, XtPointer closure, XtPointer data) {
    auto *self = static_cast<MenuCalls *>(closure);
    auto *cd = static_cast<XdMCIconListMenuCallbackStruct *>(data);
    self->calls.push_back({cd->reason, cd->column});
    self->selectedCounts.push_back(cd->selected_count);
  }
};

TEST_F(MCIconListTest, MenuButtonOnALaterColumnSelectsTheRowAndPostsTheMenu) {
  create(3);
  rows({"a|1|x", "b|2|y", "c|3|z"});
  MenuCalls menu;
  XtAddCallback(mc, XdNpostMenuCallback, MenuCalls::record, &menu);
  Widget second = XdMCIconListGetChild(mc, 1, XdMCIL_LIST);
  Position bx, by;
  Dimension bw, bh;
  ASSERT_TRUE(XmListPosToBounds(second, 3, &bx, &by, &bw, &bh));
  click(second, 10, by + bh / 2, 3);
  EXPECT_EQ(selected(inner()), std::vector<int>{3});
  ASSERT_EQ(menu.calls.size(), 2u);
  EXPECT_EQ(menu.calls[0], std::make_pair(int(XdCR_BUTTON_PRESS), 0));
  EXPECT_EQ(menu.calls[1], std::make_pair(int(XdCR_POST_MENU), 2));
  EXPECT_EQ(menu.selectedCounts[1], 1);
  // Button 1 on a later column only reports the press.
  pauseClicks();
  click(second, 10, by + bh / 2 - int(bh), 1);
  EXPECT_EQ(selected(inner()), std::vector<int>{3});
  EXPECT_EQ(menu.calls.size(), 3u);
  // A button-1 press on the first column is reported for column 1.
  pauseClicks();
  click(inner(), 10, by + bh / 2);
  ASSERT_EQ(menu.calls.size(), 4u);
  EXPECT_EQ(menu.calls[3], std::make_pair(int(XdCR_BUTTON_PRESS), 1));
}

TEST_F(MCIconListTest, HorizontalBarMovesTheColumnsTogether) {
  create(5);  // 5 x 148 pixels ("columnWidth" less 2) in a 480 pixel wide widget
  rows({"a|1|x|p|q"});
  Widget hbar = XdMCIconListGetChild(mc, 0, XdMCIL_HSCROLLBAR);
  Widget area = XdMCIconListGetChild(mc, 0, XdMCIL_COLUMNS_AREA);
  ASSERT_TRUE(XtIsManaged(hbar));
  int mx = 0;
  XtVaGetValues(hbar, XmNmaximum, &mx, nullptr);
  EXPECT_EQ(mx, 740);
  // The user pages the bar to the right: the columns area moves with it.
  const int value = pageOn(hbar).value;
  EXPECT_GT(value, 0);
  EXPECT_EQ(area->core.x, -value);
  // Widening a column keeps the scrolled position within range.
  XdMCIconListSetColumn(mc, 4, 300, nullptr, XdCOLUMN_DATA_UNCHANGED, XdCOLUMN_DATA_UNCHANGED,
                        XdCOLUMN_KEY_UNCHANGED);
  pump();
  XtVaGetValues(hbar, XmNmaximum, &mx, nullptr);
  EXPECT_EQ(mx, 892);
  EXPECT_LE(area->core.x, 0);
}

}  // namespace

namespace {

TEST(ListExample, BuildsBothListsFilledWithRowsAndIcons) {
  ASSERT_NE(app().dpy, nullptr);
  Widget shell = makeShell(900, 500);
  Widget form = xdlistdata::buildExample(shell, 3000);
  XtRealizeWidget(shell);
  pump();
  Widget icons = XtNameToWidget(form, "icons");
  Widget mc = XtNameToWidget(form, "columns");
  ASSERT_NE(icons, nullptr);
  ASSERT_NE(mc, nullptr);
  EXPECT_EQ(XdIconListGetId(icons, 3000), 1000 + 2999);
  EXPECT_NE(XdMCIconListGetIcon(mc, 1), Pixmap(0));
  XmString *row = nullptr;
  EXPECT_EQ(XdMCIconListGetRowString(mc, 2999, &row), 4);
  XtFree(reinterpret_cast<char *>(row));
  // One click on the lower arrow of the columns' bar moves them one row.
  Widget vbar = XdMCIconListGetChild(mc, 0, XdMCIL_VSCROLLBAR);
  Widget first = XdIconListGetChild(XdMCIconListGetChild(mc, 0, XdMCIL_LIST), XdICONLIST_LIST);
  click(vbar, XtWidth(vbar) / 2, XtHeight(vbar) - XtWidth(vbar) / 2);
  int top = 0;
  XtVaGetValues(first, XmNtopItemPosition, &top, nullptr);
  EXPECT_EQ(top, 2);
  XtDestroyWidget(shell);
  pump();
}

}  // namespace

namespace {

// True when the band of rows [y0, y1) of w's window holds a pixel of the
// given colour.
bool bandHolds(Widget w, int y0, int y1, unsigned long pixel) {
  y0 = std::max(y0, 0);
  y1 = std::min(y1, int(XtHeight(w)));
  if (y1 <= y0) return false;
  XImage *img = XGetImage(XtDisplay(w), XtWindow(w), 0, y0, XtWidth(w), unsigned(y1 - y0), AllPlanes,
                          ZPixmap);
  if (!img) return false;
  bool found = false;
  for (int y = 0; y < y1 - y0 && !found; ++y)
    for (int x = 0; x < int(XtWidth(w)) && !found; ++x) found = XGetPixel(img, x, y) == pixel;
  XDestroyImage(img);
  return found;
}

}  // namespace

// Every column shows the same rows, the last partly visible one too, at
// any height; an arrow of the vertical bar moves one row.
TEST_F(MCIconListTest, ColumnsShowTheSameRowsAndTheArrowMovesOneRow) {
  // White lists, as a program gives them, on a shell of another colour.
  create(3, XmBROWSE_SELECT, true, WhitePixelOfScreen(XtScreen(shell)), true);
  std::vector<std::string> lines;
  for (int i = 1; i <= 100; ++i)
    lines.push_back("n" + std::to_string(i) + "|" + std::to_string(i) + "|k" + std::to_string(i));
  rows(lines);
  Dimension margin_w = 0, margin_h = 0;
  XtVaGetValues(mc, XmNmarginWidth, &margin_w, XmNmarginHeight, &margin_h, nullptr);
  EXPECT_EQ(margin_w, 2);
  EXPECT_EQ(margin_h, 2);
  XtVaSetValues(mc, XmNmarginWidth, 4, nullptr);
  XtVaGetValues(mc, XmNmarginWidth, &margin_w, XmNmarginHeight, &margin_h, nullptr);
  EXPECT_EQ(margin_w, 4);
  EXPECT_EQ(margin_h, 2);
  Pixel fg = 0;
  XtVaGetValues(textList(2), XmNforeground, &fg, nullptr);
  XmListWidget first = reinterpret_cast<XmListWidget>(inner());
  const int pitch = first->list.MaxItemHeight + first->list.spacing;
  ASSERT_GT(pitch, 4);
  for (int extra = 0; extra < pitch; extra += 3) {
    XtResizeWidget(mc, 480, Dimension(200 + extra), 0);
    pump();
    int vis0 = 0;
    XtVaGetValues(textList(0), XmNvisibleItemCount, &vis0, nullptr);
    for (int c = 1; c < 3; ++c) {
      int vis = 0;
      XtVaGetValues(textList(c), XmNvisibleItemCount, &vis, nullptr);
      EXPECT_EQ(vis, vis0) << "column " << c << " at height " << 200 + extra;
    }
    // The last row the first column shows has its text in the last column.
    Position x, y;
    Dimension w, h;
    int last = topOf(0) + vis0 - 1;
    ASSERT_TRUE(XmListPosToBounds(textList(0), last, &x, &y, &w, &h));
    Position y0 = 0, yc = 0, xr;
    XtTranslateCoords(textList(0), 0, y, &xr, &y0);
    XtTranslateCoords(textList(2), 0, 0, &xr, &yc);
    EXPECT_TRUE(bandHolds(textList(2), y0 - yc, y0 - yc + h, fg))
        << "row " << last << " at height " << 200 + extra;
    // Below a later column's whole rows the columns' area shows the lists'
    // background, as the first column does, not a band of its own colour.
    Widget list2 = textList(2), area = XtParent(list2);
    const int below = XtY(list2) + int(XtHeight(list2)) + 1;
    if (below < int(XtHeight(area))) {
      XImage *img = XGetImage(XtDisplay(area), XtWindow(area), XtX(list2) + XtWidth(list2) / 2,
                              below, 1, 1, AllPlanes, ZPixmap);
      ASSERT_NE(img, nullptr);
      EXPECT_EQ(XGetPixel(img, 0, 0), mc->core.background_pixel) << "at height " << 200 + extra;
      XDestroyImage(img);
    }
  }
  // One click on the lower arrow moves every column down one row.
  Widget vbar = XdMCIconListGetChild(mc, 0, XdMCIL_VSCROLLBAR);
  ASSERT_TRUE(XtIsManaged(vbar));
  EXPECT_EQ(topOf(0), 1);
  click(vbar, XtWidth(vbar) / 2, XtHeight(vbar) - XtWidth(vbar) / 2);
  EXPECT_EQ(topOf(0), 2);
  EXPECT_EQ(topOf(1), 2);
  EXPECT_EQ(topOf(2), 2);
  pauseClicks();
  click(vbar, XtWidth(vbar) / 2, XtWidth(vbar) / 2);
  EXPECT_EQ(topOf(0), 1);
  EXPECT_EQ(topOf(2), 1);
}

// Header clicks sort on the texts as they are at each click: texts alike in
// their first bytes, bytes above 127, empty texts, and texts changed, added
// and deleted between clicks.
TEST_F(MCIconListTest, EachSortSeesTheTextsAsTheyAreNow) {
  create(2);
  for (int c = 0; c < 2; ++c)
    XdMCIconListSetColumn(mc, c, XdCOLUMN_WIDTH_UNCHANGED, nullptr, XdCOLUMN_DATA_UNCHANGED, 1,
                          XdCOLUMN_KEY_UNCHANGED);
  rows({"r1|prefix-aaaa-10", "r2|prefix-aaaa-2", "r3|prefix-aaab", "r4|prefix", "r5|prefix-aaaa-10",
        "r6|pr\xe9" "fixe", "r7|", "r8|prefix-aaaa-1", "r9|Prefix-zzzz-99"});
  auto clickAndCheck = [&](int c) {
    std::vector<std::string> names = column(0), texts = column(c);
    std::vector<int> want = chainOrder(texts, nullptr);
    clickHeader(c);
    std::vector<std::string> got = column(0);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], names[size_t(want[i])]) << "at " << i;
  };
  clickAndCheck(1);
  clickAndCheck(0);
  // A text changed between sorts takes its new place.
  int pos = 0;
  std::vector<std::string> names = column(0);
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == "r3") pos = int(i) + 1;
  XmString newText[] = {str("a first")};
  XmString *cols[] = {nullptr, newText};
  EXPECT_EQ(XdMCIconListUpdateItems(mc, nullptr, cols, XdIDS_UNCHANGED, 1, &pos), 0);
  clickAndCheck(1);
  EXPECT_EQ(column(1).front(), "");
  EXPECT_EQ(column(1)[1], "Prefix-zzzz-99");
  EXPECT_EQ(column(0)[2], "r3");
  // Rows added and deleted between sorts.
  rows({"r10|prefix-aaaa-0", "r11|zz"}, 1);
  XdMCIconListDeletePos(mc, 5);
  clickAndCheck(0);
  clickAndCheck(1);
  EXPECT_EQ(column(1).back(), "zz");
}

namespace {

// The texts each column shows, as the X server shows them, with columns of
// the widths a program gives.
class MCColumnTexts : public MCIconListTest {
 protected:
  void setWidth(int c, int width, int sortable = XdCOLUMN_DATA_UNCHANGED) {
    XdMCIconListSetColumn(mc, c, width, nullptr, XdCOLUMN_DATA_UNCHANGED, sortable,
                          XdCOLUMN_KEY_UNCHANGED);
    pump();
  }
  int width(int c) {
    int w = 0;
    XdMCIconListGetColumn(mc, c, &w, nullptr, nullptr, nullptr, nullptr);
    return w;
  }
  // The 16-pixel icons between their margins: the part of the first column
  // left of its texts.
  int iconArea() {
    Dimension margin = 0;
    XtVaGetValues(XdMCIconListGetChild(mc, 0, XdMCIL_LIST), XdNiconMarginWidth, &margin, nullptr);
    return 2 * margin + 16;
  }
};

// The first column's list is its width less the icons: its texts show as a
// later column of that width shows the same texts.  Texts one letter longer
// at a time, in first columns of 80 to 94 pixels (90 among them): those
// that fit show whole, the others are cut where the later column cuts them,
// and none reaches the next column.
TEST_F(MCColumnTexts, FirstColumnShowsItsTextsInTheRoomBesideTheIcons) {
  create(2);
  std::vector<std::string> lines;
  for (int k = 1; k <= 12; ++k) lines.push_back(std::string(size_t(k), 'M') + "|" + std::string(size_t(k), 'M'));
  rows(lines);
  const int icons = iconArea();
  // Each text whole, in a later column wider than any of them.
  setWidth(1, 300);
  std::vector<columnink::Shown> whole;
  {
    columnink::Image img = columnink::grab(mc);
    for (int row = 1; row <= int(lines.size()); ++row) {
      whole.push_back(columnink::shownText(mc, img.get(), 1, row));
      ASSERT_FALSE(whole.back().points.empty()) << row;
    }
  }
  for (int first = 80; first <= 94; ++first) {
    setWidth(0, first);
    setWidth(1, first - icons);
    ASSERT_EQ(width(0), first);
    columnink::Image img = columnink::grab(mc);
    ASSERT_TRUE(img);
    int shownWhole = 0, cut = 0;
    for (int row = 1; row <= int(lines.size()); ++row) {
      columnink::Shown a = columnink::shownText(mc, img.get(), 0, row);
      columnink::Shown b = columnink::shownText(mc, img.get(), 1, row);
      EXPECT_EQ(a.points, b.points) << "first column " << first << " pixels, row " << row;
      EXPECT_LE(a.end, columnink::textLimit(mc, 0)) << "first column " << first << " pixels, row " << row;
      (a.points == whole[size_t(row - 1)].points ? shownWhole : cut) += 1;
    }
    EXPECT_GT(shownWhole, 0) << first;
    EXPECT_GT(cut, 0) << first;
  }
}

// Sortable columns of 90 pixels with texts longer than they are: the texts
// end inside their columns under the headers, after the user drags the
// first column's handle wider, sorts with a header click and pages the
// horizontal bar.
TEST_F(MCColumnTexts, ColumnsKeepTheirTextsWhenResizedSortedAndScrolled) {
  create(6);
  for (int c = 0; c < 6; ++c) setWidth(c, 90, 1);
  const std::vector<std::string> names = {"Echo the fifth long name", "Alpha the first long name",
                                          "Delta the fourth long name", "Bravo the second long name"};
  std::vector<std::string> lines;
  for (const std::string &n : names) {
    std::string line = n;
    for (int c = 2; c <= 6; ++c) line += "|" + n.substr(0, 5) + " in column " + std::to_string(c);
    lines.push_back(line);
  }
  rows(lines);
  columnink::expectColumnsHoldTheirTexts(mc, 6, "at first");
  int before = 0;
  {
    columnink::Image img = columnink::grab(mc);
    before = columnink::shownText(mc, img.get(), 0, 2).end;
  }

  // A real drag of the first column's handle 30 pixels to the right.
  ASSERT_TRUE(columnink::dragHandle(mc, 0, 30));
  pump();
  EXPECT_NEAR(width(0), 120, 2);
  columnink::expectColumnsHoldTheirTexts(mc, 6, "after the drag");
  {
    // The wider column shows more of its long texts.
    columnink::Image img = columnink::grab(mc);
    EXPECT_GE(columnink::shownText(mc, img.get(), 0, 2).end, before + 20);
  }

  // A click on the second header sorts the rows on it.
  clickHeader(1);
  EXPECT_EQ(column(0), (std::vector<std::string>{names[1], names[3], names[2], names[0]}));
  columnink::expectColumnsHoldTheirTexts(mc, 6, "after the sort");

  // A page of the horizontal bar moves every column with its header.
  Widget hbar = XdMCIconListGetChild(mc, 0, XdMCIL_HSCROLLBAR);
  ASSERT_TRUE(XtIsManaged(hbar));
  EXPECT_GT(pageOn(hbar).value, 0);
  EXPECT_LT(XdMCIconListGetChild(mc, 0, XdMCIL_COLUMNS_AREA)->core.x, 0);
  columnink::expectColumnsHoldTheirTexts(mc, 6, "after the scroll");
}

// Showing the first column only, its long texts end inside its list too.
TEST_F(MCColumnTexts, FirstColumnAloneEndsItsTextsInsideItsList) {
  create(2);
  XtVaSetValues(mc, XdNviewType, XdVIEW_FIRST_ONLY, nullptr);
  rows({std::string(120, 'M') + "|x", "short|y"});
  Widget first = XdMCIconListGetChild(mc, 0, XdMCIL_LIST);
  int x, y;
  columnink::offsetIn(first, mc, &x, &y);
  const int right = x + int(first->core.width);
  ASSERT_LT(right, int(mc->core.width));
  Dimension highlight = 0;
  XtVaGetValues(inner(), XmNhighlightThickness, &highlight, nullptr);
  columnink::Image img = columnink::grab(mc);
  columnink::Shown shown = columnink::shownText(mc, img.get(), 0, 1, int(mc->core.width));
  EXPECT_FALSE(shown.points.empty());
  EXPECT_LE(shown.end, right - int(highlight));
}

}  // namespace
