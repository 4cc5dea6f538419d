// What a multi-column list shows of its rows' texts, read back from the X
// server: where each column's text pixels lie in a row, so that the tests
// of the widget and of the host's list view check what the user sees in
// the same way; and the user's drag of a column's resize handle.
#pragma once

#include "xd/MCIconList.h"
#include "xinput.h"

#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <Xm/List.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace columnink {

// The offset of w's left top corner in the window of its ancestor `top`.
inline void offsetIn(Widget w, Widget top, int *x, int *y) {
  Position wx = 0, wy = 0, tx = 0, ty = 0;
  XtTranslateCoords(w, 0, 0, &wx, &wy);
  XtTranslateCoords(top, 0, 0, &tx, &ty);
  *x = wx - tx;
  *y = wy - ty;
}

// The list that shows column c's texts: the first column's inner list, a
// later column's own.
inline Widget textList(Widget mc, int c) {
  Widget list = XdMCIconListGetChild(mc, c, XdMCIL_LIST);
  return c == 0 ? XdIconListGetChild(list, XdICONLIST_LIST) : list;
}

// Column c as the user sees it in mc's window: from its header's left edge
// to its resize handle's right edge (right is one past the last pixel).
struct Span {
  int left = 0, right = 0;
};
inline Span columnSpan(Widget mc, int c) {
  Widget header = XdMCIconListGetChild(mc, c, XdMCIL_HEADER);
  Widget handle = XdMCIconListGetChild(mc, c, XdMCIL_HANDLE);
  int hx, hy, kx, ky;
  offsetIn(header, mc, &hx, &hy);
  offsetIn(handle, mc, &kx, &ky);
  return {hx, kx + int(handle->core.width)};
}

// What the server shows in mc's window now.
struct ImageFree {
  void operator()(XImage *img) const { XDestroyImage(img); }
};
using Image = std::unique_ptr<XImage, ImageFree>;
inline Image grab(Widget mc) {
  return Image(XGetImage(XtDisplay(mc), XtWindow(mc), 0, 0, mc->core.width, mc->core.height,
                         AllPlanes, ZPixmap));
}

// The text pixels (the list's foreground) of row `row` (1-based, in view)
// of column c, looked for from the left edge of the column's text list to
// `right` in mc's window (the column's right edge when not given):
// `points` relative to that left edge and the row's top, `end` one past
// the rightmost pixel in mc's window (INT_MIN when the row shows none).
struct Shown {
  std::set<std::pair<int, int>> points;
  int end = INT_MIN;
};
inline Shown shownText(Widget mc, XImage *img, int c, int row, int right = INT_MIN) {
  Shown out;
  Widget list = textList(mc, c);
  Position bx, by;
  Dimension bw, bh;
  if (!img || !XmListPosToBounds(list, row, &bx, &by, &bw, &bh)) return out;
  Pixel ink = 0;
  XtVaGetValues(list, XmNforeground, &ink, nullptr);
  int lx, ly;
  offsetIn(list, mc, &lx, &ly);
  if (right == INT_MIN) right = columnSpan(mc, c).right;
  right = std::min(right, img->width);
  for (int y = std::max(ly + by, 0); y < std::min(ly + by + int(bh), img->height); ++y)
    for (int x = std::max(lx, 0); x < right; ++x)
      if (XGetPixel(img, x, y) == ink) {
        out.points.insert({x - lx, y - ly - by});
        out.end = std::max(out.end, x + 1);
      }
  return out;
}

// True when every row shows its whole text (`whole`, as shown in a column
// wide enough) cut at one vertical line: each row shows exactly the pixels
// of its whole text left of the line.  `line` receives the line, as an x
// relative to the text list's left edge: one past the rightmost pixel any
// row shows.
inline bool cutAtOneLine(const std::vector<Shown> &shown, const std::vector<Shown> &whole,
                         int *line) {
  int x = 0;
  for (const Shown &s : shown)
    for (const auto &p : s.points) x = std::max(x, p.first + 1);
  *line = x;
  if (shown.size() != whole.size()) return false;
  for (size_t i = 0; i < shown.size(); ++i) {
    std::set<std::pair<int, int>> left;
    for (const auto &p : whole[i].points)
      if (p.first < x) left.insert(p);
    if (left != shown[i].points) return false;
  }
  return true;
}

// The right edge up to which column c may show text pixels: its own right
// edge less the band where its list draws the keyboard highlight.
inline int textLimit(Widget mc, int c) {
  Dimension highlight = 0;
  XtVaGetValues(textList(mc, c), XmNhighlightThickness, &highlight, nullptr);
  return columnSpan(mc, c).right - int(highlight);
}

// The user drags column c's resize handle dx pixels to the right (left
// when negative) with button 1, in three moves.
inline bool dragHandle(Widget mc, int c, int dx) {
  Widget handle = XdMCIconListGetChild(mc, c, XdMCIL_HANDLE);
  const int y = int(handle->core.height) / 2;
  if (!qevtest::pressHandledAt(handle, 0, y, 1)) return false;
  for (int step = 1; step <= 3; ++step)
    if (!qevtest::moveHandled(handle, dx * step / 3, y)) return false;
  return qevtest::releaseHandledAt(handle, dx, y, 1);
}

// Every column of mc in view lies under its header, and every row's text
// ends inside its column, short of the band of the list's keyboard
// highlight.
inline void expectColumnsHoldTheirTexts(Widget mc, int columns, const std::string &when) {
  Image img = grab(mc);
  ASSERT_TRUE(img) << when;
  for (int c = 0; c < columns; ++c) {
    Span span = columnSpan(mc, c);
    if (span.right <= 0 || span.left >= int(mc->core.width)) continue;
    Widget column = XdMCIconListGetChild(mc, c, XdMCIL_LIST);
    int x, y;
    offsetIn(column, mc, &x, &y);
    EXPECT_EQ(x, span.left) << when << ", column " << c + 1;
    EXPECT_EQ(x + int(column->core.width), span.right) << when << ", column " << c + 1;
    int rows = 0;
    XtVaGetValues(textList(mc, c), XmNitemCount, &rows, nullptr);
    for (int row = 1; row <= rows; ++row) {
      Shown shown = shownText(mc, img.get(), c, row);
      EXPECT_FALSE(shown.points.empty()) << when << ", column " << c + 1 << " row " << row;
      EXPECT_LE(shown.end, textLimit(mc, c)) << when << ", column " << c + 1 << " row " << row;
    }
  }
}

}  // namespace columnink
