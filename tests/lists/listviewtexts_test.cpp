// The list view's columns as the host sizes them, read back from the X
// server: the first column's width takes in its icons, its texts end
// inside it at the host's widths, after the user drags a column wider,
// sorts with a header click and pages the horizontal bar.
#include "listfixture.h"
#include "../xd_lists/columnink.h"

#include <string>

namespace {

using columnink::shownText;
using columnink::textLimit;

// Two of the host's images, shown as 16-pixel icons in the list view's
// columns view.
const int32_t kFolder = 2, kDocument = 10;
// Low enough for the fixture's pane to show the whole list view.
const int32_t kHeight = 120;

class ListViewColumnTexts : public Lists {
 protected:
  wu_ctl_handle *h = nullptr;
  Widget list = nullptr;

  // A list view 420 pixels wide, within the fixture's pane, with sortable
  // columns of the given widths.
  void Make(const std::vector<int32_t> &widths) {
    h = Create(WU_CTYPE_LISTVIEW, {Int(WU_A_WIDTH, 420), Int(WU_A_HEIGHT, kHeight)});
    ASSERT_NE(h, nullptr);
    list = W(h);
    for (size_t c = 0; c < widths.size(); ++c) {
      const std::string name = "Column " + std::to_string(c + 1);
      std::vector<wu_value> p = {Int(1, -1), Int(2, widths[c]), Text(3, name.c_str()), Int(4, 0),
                                 Int(5, 1), {}};
      EXPECT_EQ(Meth(h, WU_M_ADDCOLUMN, p), WU_ENTRY_STATUS);
    }
    Settle();
  }
  // The host's width of column c (1-based), set and read.
  void SetWidth(int32_t c, int32_t width) {
    std::vector<wu_value> p = {Int(1, c), Int(2, width), {}, Int(4, -1), Int(5, -1), {}};
    EXPECT_EQ(Meth(h, WU_M_SETCOLUMN, p), WU_OK);
    Settle();
  }
  int32_t Width(int32_t c) {
    std::vector<wu_value> p = {Int(1, c), Int(2, 0), {}, Int(4, 0), Int(5, 0), {}};
    EXPECT_EQ(Meth(h, WU_M_GETCOLUMN, p), WU_ENTRY_STATUS);
    if (p[2].status == WU_ALLOCATED) h->services->clen(h, &p[2], 1);
    return p[1].value;
  }
  // The icons between their margins: the part of the first column left of
  // its texts.
  int IconArea(int iconSize) {
    Dimension margin = 0;
    XtVaGetValues(XdMCIconListGetChild(list, 0, XdMCIL_LIST), XdNiconMarginWidth, &margin,
                  nullptr);
    return 2 * margin + iconSize;
  }
};

// The host's first column of 89, 90 and 91 pixels with 16-pixel icons,
// texts around the length that fits beside the icons: each row shows its
// text cut at one line inside the column, short of the keyboard highlight,
// so those that fit show whole.  `_getColumn` answers the host's widths.
TEST_F(ListViewColumnTexts, FirstColumnWidthTakesInItsIcons) {
  Make({90, 90});
  Widget first = columnink::textList(list, 0);
  XmFontList font = nullptr;
  XtVaGetValues(first, XmNfontList, &font, nullptr);
  XmString m = XmStringCreateLocalized(const_cast<char *>("M"));
  const int letter = std::max<int>(XmStringWidth(font, m), 1);
  XmStringFree(m);
  const int fit = (90 - IconArea(16)) / letter;
  std::vector<std::vector<std::string>> rows;
  std::vector<int32_t> ids, icons;
  for (int k = fit - 2; k <= fit + 2; ++k) {
    rows.push_back({std::string(size_t(k), 'M'), "x"});
    ids.push_back(k);
    icons.push_back(k % 2 ? kDocument : kFolder);
  }
  ASSERT_EQ(AddRows(h->control, rows, ids, -1, icons), WU_OK);
  Settle();
  ASSERT_NE(XdMCIconListGetIcon(list, 1), Pixmap(None));
  auto shownRows = [&] {
    columnink::Image img = columnink::grab(list);
    std::vector<columnink::Shown> out;
    for (int row = 1; row <= int(rows.size()); ++row) out.push_back(shownText(list, img.get(), 0, row));
    return out;
  };
  SetWidth(1, 300);
  const std::vector<columnink::Shown> whole = shownRows();
  for (int32_t width = 89; width <= 91; ++width) {
    SetWidth(1, width);
    EXPECT_EQ(Width(1), width);
    const std::vector<columnink::Shown> shown = shownRows();
    int line = 0, shownWhole = 0;
    EXPECT_TRUE(columnink::cutAtOneLine(shown, whole, &line)) << width;
    int x, y;
    columnink::offsetIn(first, list, &x, &y);
    EXPECT_LE(x + line, textLimit(list, 0)) << width;
    for (size_t i = 0; i < shown.size(); ++i) shownWhole += shown[i].points == whole[i].points;
    EXPECT_GT(shownWhole, 0) << width;
    EXPECT_LT(shownWhole, int(shown.size())) << width;
  }
}

// Six columns of 90 pixels, wider together than the list view, with texts
// longer than the columns.
TEST_F(ListViewColumnTexts, TextsStayInTheirColumnsWhenResizedSortedAndScrolled) {
  Make({90, 90, 90, 90, 90, 90});
  const std::vector<std::string> names = {"Echo the fifth long name", "Alpha the first long name",
                                          "Delta the fourth long name"};
  std::vector<std::vector<std::string>> rows;
  for (const std::string &n : names) {
    std::vector<std::string> row = {n};
    for (int c = 2; c <= 6; ++c) row.push_back(n.substr(0, 5) + " in column " + std::to_string(c));
    rows.push_back(row);
  }
  ASSERT_EQ(AddRows(h->control, rows, {1, 2, 3}, -1, {kDocument, kFolder, kDocument}), WU_OK);
  Settle();
  columnink::expectColumnsHoldTheirTexts(list, 6, "at first");

  // The user drags the first column's handle 30 pixels to the right.
  ASSERT_TRUE(columnink::dragHandle(list, 0, 30));
  Settle();
  EXPECT_NEAR(Width(1), 120, 2);
  columnink::expectColumnsHoldTheirTexts(list, 6, "after the drag");

  // A click on the first header sorts the rows.
  ASSERT_TRUE(qevtest::clickHandled(XdMCIconListGetChild(list, 0, XdMCIL_HEADER)));
  Settle();
  EXPECT_EQ(Cell(h, 1, 1), names[1]);
  EXPECT_EQ(Cell(h, 3, 1), names[0]);
  columnink::expectColumnsHoldTheirTexts(list, 6, "after the sort");

  // A page of the horizontal bar.
  Widget hbar = XdMCIconListGetChild(list, 0, XdMCIL_HSCROLLBAR);
  ASSERT_TRUE(XtIsManaged(hbar));
  int x = 0, y = 0;
  qevtest::scrollBarPlace(hbar, qevtest::kTroughAfter, &x, &y);
  ASSERT_TRUE(qevtest::clickHandledAt(hbar, x, y));
  Settle();
  EXPECT_LT(XdMCIconListGetChild(list, 0, XdMCIL_COLUMNS_AREA)->core.x, 0);
  columnink::expectColumnsHoldTheirTexts(list, 6, "after the scroll");
}

}  // namespace
