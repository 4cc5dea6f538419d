// The icon list widgets against Motif's own lists: filling, exposing,
// sorting, selecting, deleting and type-ahead, at 10,000 and 100,000 rows;
// Page Down per press at 10,000, 100,000 and 1,000,000 rows, filling at
// 1,000,000 rows, and the memory per row.
// Run it natively and under callgrind on a private X server with
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench/run.sh BUILD_DIR lists
// Motif's multi-column list holds at most 32,767 rows: the sort against it
// runs at 30,000 rows; the project's sort also runs at 100,000.
#include "benchutil.h"

#include "../tests/support/xdlistdata.h"
#include "xd/MCIconListP.h"

#include <X11/Shell.h>
#include <X11/keysym.h>
#include <Xm/List.h>
#include <Xm/MultiList.h>
#include <Xm/MultiListP.h>
#include <Xm/Xm.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Counts the allocations made while `counting` is set (native runs only:
// under valgrind its own allocator answers).
extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);
static bool counting = false;
static long allocations = 0;
extern "C" void *malloc(size_t n) {
  if (counting) ++allocations;
  return __libc_malloc(n);
}
extern "C" void *calloc(size_t a, size_t b) {
  if (counting) ++allocations;
  return __libc_calloc(a, b);
}
extern "C" void *realloc(void *p, size_t n) {
  if (counting) ++allocations;
  return __libc_realloc(p, n);
}

namespace {

XtAppContext app;
Display *dpy;
std::vector<Pixmap> icons;
std::vector<int> kSizes = {10000, 100000};
int kSortRows = 30000;
const int kMultiListLimit = 32767;
const int kColumns = 4;
const int kScattered = 1000;
std::vector<int> kPageSizes = {10000, 100000, 1000000};
bool g_callgrind = false;

bool g_check_failed = false;

// Prints a note for the table; a note of a failed result check (one that
// says WRONG or DIFFERENT) makes the program end with status 1.
void report(const std::string &text) {
  if (text.find("WRONG") != std::string::npos || text.find("DIFFERENT") != std::string::npos)
    g_check_failed = true;
  qevbench::note(text);
}

size_t heapInUse() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// Heap bytes per row of a fill, native runs only (under valgrind the heap
// is valgrind's).  The row texts themselves are made before and not counted.
void memoryNote(const std::string &what, int n, size_t before) {
  if (g_callgrind) return;
  long bytes = long(heapInUse()) - long(before);
  report("memory per row, " + what + ", " + std::to_string(n) + " rows: " +
                 std::to_string(bytes / n) + " bytes of heap");
}

void pump() {
  XSync(dpy, False);
  while (XtAppPending(app)) XtAppProcessEvent(app, XtIMAll);
  XSync(dpy, False);
  while (XtAppPending(app)) XtAppProcessEvent(app, XtIMAll);
}

Widget shell() {
  Widget s = XtVaAppCreateShell("bench", "Bench", topLevelShellWidgetClass, dpy, XtNwidth, 640,
                                XtNheight, 480, nullptr);
  return s;
}

// Clears every window of the widget tree with exposures and handles the
// resulting expose events: a full redraw of what is in view.
void clearTree(Widget w) {
  if (XtIsRealized(w)) XClearArea(dpy, XtWindow(w), 0, 0, 0, 0, True);
  if (XtIsComposite(w)) {
    CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
    for (Cardinal i = 0; i < c->composite.num_children; ++i) clearTree(c->composite.children[i]);
  }
}

void fullExpose(Widget w) {
  clearTree(w);
  pump();
}

std::string label(const char *group, const char *op, const char *impl, int n) {
  return std::string(group) + "." + op + "." + impl + "." + std::to_string(n);
}

// A key or button event for `window`, to be dispatched (the key and button
// records share their leading fields).
XEvent inputEvent(int type, Window window) {
  XEvent ev = {};
  ev.xkey.type = type;
  ev.xkey.display = dpy;
  ev.xkey.window = window;
  ev.xkey.root = DefaultRootWindow(dpy);
  ev.xkey.same_screen = True;
  return ev;
}

std::vector<int> scattered(int n, int count) {
  std::vector<int> pos;
  unsigned seed = 99;
  for (int i = 0; i < count; ++i) {
    seed = seed * 1103515245u + 12345u;
    pos.push_back(int((seed >> 8) % unsigned(n)) + 1);
  }
  return pos;
}

void iconList(int n) {
  xdlistdata::RowSet rows;
  xdlistdata::makeRows(rows, n, 1, icons);

  Widget s1 = shell();
  Arg a[2];
  XtSetArg(a[0], XmNselectionPolicy, XmMULTIPLE_SELECT);
  XtSetArg(a[1], XmNvisibleItemCount, 20);
  Widget il = XdCreateScrolledIconList(s1, (char *)"icons", a, 2);
  XtManageChild(il);
  XtRealizeWidget(s1);
  pump();
  size_t heap = heapInUse();
  qevbench::measure(label("iconlist", "fill", "xd", n), [&] {
    XdIconListAddItems(il, rows.icons.data(), rows.text[0].data(), rows.ids.data(), n, 0);
    pump();
  });
  memoryNote("iconlist xd", n, heap);
  qevbench::measure(label("iconlist", "expose", "xd", n), [&] { fullExpose(il); });
  qevbench::measure(label("iconlist", "selectall", "xd", n), [&] { XdIconListSelectAll(il); pump(); });
  XdIconListDeselectAll(il);
  std::vector<int> pos = scattered(n, kScattered);
  qevbench::measure(label("iconlist", "select1000", "xd", n), [&] {
    XdIconListSelectPositions(il, kScattered, pos.data(), False);
    pump();
  });
  qevbench::measure(label("iconlist", "delete1000", "xd", n), [&] {
    XdIconListDeletePositions(il, pos.data(), kScattered);
    pump();
  });
  int left = 0;
  XtVaGetValues(XdIconListGetChild(il, XdICONLIST_LIST), XmNitemCount, &left, nullptr);
  XtDestroyWidget(s1);
  pump();

  /* The peer: a scrolled list of the same visible rows and policy. */
  Widget s2 = shell();
  Widget list = XmCreateScrolledList(s2, (char *)"list", a, 2);
  XtManageChild(list);
  XtRealizeWidget(s2);
  pump();
  heap = heapInUse();
  qevbench::measure(label("iconlist", "fill", "xmscrolledlist", n), [&] {
    XmListAddItems(list, rows.text[0].data(), n, 0);
    pump();
  });
  memoryNote("iconlist xmscrolledlist", n, heap);
  qevbench::measure(label("iconlist", "expose", "xmscrolledlist", n),
                    [&] { fullExpose(XtParent(list)); });
  /* The same rows selected as in ours when it deleted them. */
  for (int p : pos)
    if (!XmListPosSelected(list, p)) XmListSelectPos(list, p, False);
  pump();
  std::vector<int> sorted = pos;
  qevbench::measure(label("iconlist", "delete1000", "xmscrolledlist", n), [&] {
    XmListDeletePositions(list, sorted.data(), kScattered);
    pump();
  });
  int peer_left = 0;
  XtVaGetValues(list, XmNitemCount, &peer_left, nullptr);
  report("iconlist.delete1000." + std::to_string(n) + ": " + std::to_string(left) +
                 " rows left in xd, " + std::to_string(peer_left) + " in xmscrolledlist" +
                 (left == peer_left ? "" : " DIFFERENT"));
  XtDestroyWidget(s2);
  pump();
}

// One Page Down key press on a list in browse policy (the new top row is
// selected), ours and a scrolled XmList's own, after a few presses.
void pageDown(int n) {
  std::vector<XmString> texts(size_t(n), nullptr);
  char buf[32];
  for (int i = 0; i < n; ++i) {
    snprintf(buf, sizeof buf, "row %07d", i);
    texts[size_t(i)] = XmStringCreateLocalized(buf);
  }
  XEvent ev = inputEvent(KeyPress, None);
  ev.xkey.keycode = XKeysymToKeycode(dpy, XK_Next);
  ev.xkey.time = 1000;
  Arg a[2];
  XtSetArg(a[0], XmNselectionPolicy, XmBROWSE_SELECT);
  XtSetArg(a[1], XmNvisibleItemCount, 20);

  Widget s1 = shell();
  Widget il = XdCreateScrolledIconList(s1, (char *)"icons", a, 2);
  XtManageChild(il);
  XtRealizeWidget(s1);
  pump();
  if (n == 1000000) {
    size_t heap = heapInUse();
    qevbench::measure(label("iconlist", "fill", "xd", n), [&] {
      XdIconListAddItems(il, nullptr, texts.data(), nullptr, n, 0);
      pump();
    });
    memoryNote("iconlist xd, no icons", n, heap);
  } else {
    XdIconListAddItems(il, nullptr, texts.data(), nullptr, n, 0);
    pump();
  }
  Widget inner = XdIconListGetChild(il, XdICONLIST_LIST);
  XdIconListSelectPos(il, 1, False);
  XmListSetKbdItemPos(inner, 1);
  ev.xkey.window = XtWindow(inner);
  for (int i = 0; i < 3; ++i) XdIconListNextPage(inner, &ev, nullptr, nullptr);
  pump();
  int before = 0;
  XdIconListGetTopItemPos(il, &before);
  qevbench::measure(label("iconlist", "pagedown", "xd", n), [&] {
    XdIconListNextPage(inner, &ev, nullptr, nullptr);
    pump();
  });
  int top = 0, *sel = nullptr, count = 0;
  XdIconListGetTopItemPos(il, &top);
  XmListGetSelectedPos(inner, &sel, &count);
  bool ok = top > before && count == 1 && sel[0] == top;
  XtFree(reinterpret_cast<char *>(sel));
  XtDestroyWidget(s1);
  pump();

  Widget s2 = shell();
  Widget list = XmCreateScrolledList(s2, (char *)"list", a, 2);
  XtManageChild(list);
  XtRealizeWidget(s2);
  pump();
  if (n == 1000000) {
    size_t heap = heapInUse();
    qevbench::measure(label("iconlist", "fill", "xmscrolledlist", n), [&] {
      XmListAddItems(list, texts.data(), n, 0);
      pump();
    });
    memoryNote("iconlist xmscrolledlist", n, heap);
  } else {
    XmListAddItems(list, texts.data(), n, 0);
    pump();
  }
  XmListSelectPos(list, 1, False);
  XmListSetKbdItemPos(list, 1);
  ev.xkey.window = XtWindow(list);
  for (int i = 0; i < 3; ++i) XtCallActionProc(list, (char *)"ListNextPage", &ev, nullptr, 0);
  pump();
  int peer_before = 0;
  XtVaGetValues(list, XmNtopItemPosition, &peer_before, nullptr);
  qevbench::measure(label("iconlist", "pagedown", "xmscrolledlist", n), [&] {
    XtCallActionProc(list, (char *)"ListNextPage", &ev, nullptr, 0);
    pump();
  });
  int peer_top = 0;
  XtVaGetValues(list, XmNtopItemPosition, &peer_top, nullptr);
  XmListGetSelectedPos(list, &sel, &count);
  bool peer_ok = peer_top > peer_before && count == 1;
  XtFree(reinterpret_cast<char *>(sel));
  report("iconlist.pagedown." + std::to_string(n) + ": xd moved " + std::to_string(before) +
                 " -> " + std::to_string(top) + (ok ? " with its top row selected" : " WRONG") +
                 "; xmscrolledlist moved " + std::to_string(peer_before) + " -> " +
                 std::to_string(peer_top) + (peer_ok ? " with one row selected" : " WRONG"));
  XtDestroyWidget(s2);
  pump();
  for (XmString t : texts) XmStringFree(t);
}

double numberKey(char *text, int) { return std::atof(text); }

// An empty multi-column list of kColumns columns in shell s.
Widget makeColumns(Widget s) {
  Arg a[3];
  XtSetArg(a[0], XdNcolumnCount, kColumns);
  XtSetArg(a[1], XmNwidth, 620);
  XtSetArg(a[2], XmNheight, 460);
  Widget mc = XdCreateMCIconList(s, (char *)"mc", a, 3);
  XtManageChild(mc);
  return mc;
}

void mcIconList(int n, bool callgrind) {
  xdlistdata::RowSet rows;
  xdlistdata::makeRows(rows, n, kColumns, icons);
  std::vector<XmString *> cols = rows.columnArrays();

  Widget s1 = shell();
  Widget mc = makeColumns(s1);
  XdMCIconListSetColumn(mc, 1, XdCOLUMN_WIDTH_UNCHANGED, nullptr, XdCOLUMN_DATA_UNCHANGED, 1,
                        numberKey);
  XtRealizeWidget(s1);
  pump();
  size_t heap = heapInUse();
  qevbench::measure(label("mciconlist", "fill", "xd", n), [&] {
    XdMCIconListAddItems(mc, rows.icons.data(), cols.data(), rows.ids.data(), n, 0);
    pump();
  });
  memoryNote("mciconlist xd", n, heap);
  qevbench::measure(label("mciconlist", "expose", "xd", n), [&] { fullExpose(mc); });
  int visible = XdIconListVisibleItems(XdMCIconListGetChild(mc, 0, XdMCIL_LIST));
  int column_width = 0;
  XdMCIconListGetColumn(mc, 1, &column_width, nullptr, nullptr, nullptr, nullptr);
  int header_height = XtHeight(XdMCIconListGetChild(mc, 0, XdMCIL_HEADER));
  report("mciconlist.expose." + std::to_string(n) + ": both show " + std::to_string(visible) +
                 " rows of " + std::to_string(kColumns) + " columns " + std::to_string(column_width) +
                 " pixels wide");

  // Type-ahead: the first letter after a change builds the first column's
  // texts once; the keystroke measured is a later one.
  Widget inner = XdIconListGetChild(XdMCIconListGetChild(mc, 0, XdMCIL_LIST), XdICONLIST_LIST);
  XEvent ev = inputEvent(KeyPress, XtWindow(inner));
  ev.xkey.keycode = XKeysymToKeycode(dpy, XK_g);
  ev.xkey.time = 1000;
  XtDispatchEvent(&ev);
  pump();
  ev.xkey.time = 100000;
  counting = true;
  allocations = 0;
  qevbench::measure(label("mciconlist", "typeahead", "xd", n), [&] {
    XtDispatchEvent(&ev);
    pump();
  });
  counting = false;
  if (!callgrind)
    report("mciconlist.typeahead.xd." + std::to_string(n) + ": " +
                   std::to_string(allocations) + " allocations in the keystroke (any drawing included)");

  if (n <= kSortRows * 4) {
    int sortRows = n;
    qevbench::measure(label("mciconlist", "sort", "xd", sortRows), [&] {
      XdMCIconListSortOnColumn(mc, 1);
      pump();
    });
    // Check the order: numeric keys ascending.
    XmString *items = nullptr;
    int count = 0;
    XtVaGetValues(XdMCIconListGetChild(mc, 1, XdMCIL_LIST), XmNitems, &items, XmNitemCount, &count,
                  nullptr);
    double last = -1;
    bool ok = count == n;
    for (int i = 0; i < count && ok; ++i) {
      char *t = static_cast<char *>(
          XmStringUnparse(items[i], nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
      double k = std::atof(t);
      XtFree(t);
      ok = k >= last;
      last = k;
    }
    report("mciconlist.sort.xd." + std::to_string(n) + (ok ? ": order checked" : ": ORDER WRONG"));
  }
  XtDestroyWidget(s1);
  pump();

  // Four bulk XmList fills, the lists as wide as our columns and showing as
  // many rows, side by side in a form of the same size; the last one
  // scrolled, so that a vertical bar shows as in ours.
  Widget s2 = shell();
  Widget form = XtVaCreateManagedWidget("row", xmBulletinBoardWidgetClass, s2, XmNwidth, 620,
                                        XmNheight, 460, XmNmarginWidth, 0, XmNmarginHeight, 0,
                                        nullptr);
  std::vector<Widget> lists;
  for (int c = 0; c < kColumns; ++c) {
    Arg la[3];
    XtSetArg(la[0], XmNvisibleItemCount, visible);
    XtSetArg(la[1], XmNwidth, column_width);
    XtSetArg(la[2], XmNlistSizePolicy, XmCONSTANT);
    Widget l = c == kColumns - 1 ? XmCreateScrolledList(form, (char *)"list", la, 3)
                                 : XmCreateList(form, (char *)"list", la, 3);
    XtManageChild(l);
    XtVaSetValues(c == kColumns - 1 ? XtParent(l) : l, XmNx, c * column_width, XmNy, header_height,
                  nullptr);
    lists.push_back(l);
  }
  XtRealizeWidget(s2);
  pump();
  heap = heapInUse();
  qevbench::measure(label("mciconlist", "fill", "xmlists", n), [&] {
    for (int c = 0; c < kColumns; ++c) XmListAddItems(lists[c], cols[c], n, 0);
    pump();
  });
  memoryNote("mciconlist xmlists", n, heap);
  qevbench::measure(label("mciconlist", "expose", "xmlists", n), [&] { fullExpose(form); });
  XtDestroyWidget(s2);
  pump();
}

// Motif's multi-column list sorts through per-column functions.  Two
// comparators: one converts both compound strings on every comparison; the
// careful one compares texts converted once, kept in each row's data, and
// converts the sorted column's texts when the header is clicked (that
// conversion is timed with the sort, as ours is).  Both compare byte-wise,
// as the project's sort does.
char *textOf(XmString s) {
  return static_cast<char *>(
      XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
}

int peerCompareConverting(short column, const XmMultiListRowInfo *a, const XmMultiListRowInfo *b) {
  char *ta = textOf(a->values[column]);
  char *tb = textOf(b->values[column]);
  int r = std::strcmp(ta ? ta : "", tb ? tb : "");
  XtFree(ta);
  XtFree(tb);
  return r;
}

int peerCompareRowData(short column, const XmMultiListRowInfo *a, const XmMultiListRowInfo *b) {
  const char *ta = static_cast<char **>(a->data)[column];
  const char *tb = static_cast<char **>(b->data)[column];
  return std::strcmp(ta ? ta : "", tb ? tb : "");
}

const int kSortColumn = 2;


bool sortedTexts(const std::vector<std::string> &texts) {
  for (size_t i = 1; i < texts.size(); ++i)
    if (texts[i - 1] > texts[i]) return false;
  return !texts.empty();
}

// Sorts of the same rows on the project's multi-column list and on
// Motif's, by a click on the third column's header; the order of that
// column is checked on both sides.
void sortAgainstMultiList(int n) {
  xdlistdata::RowSet rows;
  xdlistdata::makeRows(rows, n, kColumns, icons);
  std::vector<XmString *> cols = rows.columnArrays();

  Widget s1 = shell();
  Widget mc = makeColumns(s1);
  for (int c = 0; c < kColumns; ++c)
    XdMCIconListSetColumn(mc, c, XdCOLUMN_WIDTH_UNCHANGED, nullptr, XdCOLUMN_DATA_UNCHANGED, 1,
                          XdCOLUMN_KEY_UNCHANGED);
  XtRealizeWidget(s1);
  XdMCIconListAddItems(mc, rows.icons.data(), cols.data(), rows.ids.data(), n, 0);
  pump();
  Widget header = XdMCIconListGetChild(mc, kSortColumn, XdMCIL_HEADER);
  size_t heap = heapInUse();
  /* The header's activation (the dispatch of a click costs some tens of
     thousands of instructions on either side). */
  qevbench::measure(label("mciconlist", "sortclick", "xd", n), [&] {
    XtCallCallbacks(header, XmNactivateCallback, nullptr);
    pump();
  });
  memoryNote("kept after the sort, xd", n, heap);
  {
    std::vector<std::string> texts;
    XmString *items = nullptr;
    int count = 0;
    XtVaGetValues(XdMCIconListGetChild(mc, kSortColumn, XdMCIL_LIST), XmNitems, &items,
                  XmNitemCount, &count, nullptr);
    for (int i = 0; i < count; ++i) {
      char *t = textOf(items[i]);
      texts.push_back(t ? t : "");
      XtFree(t);
    }
    report("mciconlist.sortclick.xd." + std::to_string(n) +
                   (sortedTexts(texts) && count == n ? ": column 3 in order" : ": ORDER WRONG"));
  }
  XtDestroyWidget(s1);
  pump();

  std::vector<std::vector<char *>> converted(static_cast<size_t>(n),
                                             std::vector<char *>(kColumns, nullptr));
  for (int variant = 0; variant < 2; ++variant) {
    const char *impl = variant == 0 ? "xmmultilist-convert" : "xmmultilist-rowdata";
    Widget s2 = shell();
    std::vector<XmMultiListRowInfo> info(n);
    std::vector<std::vector<XmString>> values(n, std::vector<XmString>(kColumns));
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < kColumns; ++c) values[r][c] = rows.text[c][r];
      info[r] = XmMultiListRowInfo();
      info[r].values = values[r].data();
      info[r].pixmap = rows.icons[r];
      info[r].data = converted[size_t(r)].data();
    }
    std::vector<Xm18SortFunction> sorters(kColumns,
                                          variant == 0 ? peerCompareConverting : peerCompareRowData);
    std::vector<XmString> titles;
    for (int c = 0; c < kColumns; ++c) titles.push_back(XmStringCreateLocalized((char *)"Column"));
    Widget ml = XtVaCreateManagedWidget("multi", xmMultiListWidgetClass, s2, XmNnumColumns, kColumns,
                                        XmNcolumnTitles, titles.data(), XmNentryData, info.data(),
                                        XmNnumRows, n, XmNsortFunctions, sorters.data(),
                                        XmNwidth, 620, XmNheight, 460, nullptr);
    XtRealizeWidget(s2);
    pump();
    Widget ilist = XmMultiList_ilist(ml);
    // The third column's title: columns are laid out left to right with 8
    // pixels between them, from the list's left offset.
    int x = XmI18List_left_loc(ilist);
    for (int c = 0; c < kSortColumn; ++c) x += XmI18List_column_widths(ilist)[c] + 8;
    x += 4;
    size_t peer_heap = heapInUse();
    XEvent ev = inputEvent(ButtonPress, XtWindow(ilist));
    ev.xbutton.button = Button1;
    ev.xbutton.x = x;
    ev.xbutton.y = 2;
    ev.xbutton.time = 5000 + variant * 5000;
    qevbench::measure(label("mciconlist", "sortclick", impl, n), [&] {
      if (variant == 1) {
        XmMultiListRowInfo *rd = XmI18List_row_data(ilist);
        for (int r = 0; r < XmI18List_num_rows(ilist); ++r)
          static_cast<char **>(rd[r].data)[kSortColumn] = textOf(rd[r].values[kSortColumn]);
      }
      XtDispatchEvent(&ev);
      ev.xbutton.type = ButtonRelease;
      XtDispatchEvent(&ev);
      pump();
    });
    memoryNote(std::string("kept after the sort, ") + impl, n, peer_heap);
    std::vector<std::string> texts;
    for (int r = 0; r < XmI18List_num_rows(ilist); ++r) {
      char *t = textOf(XmI18List_row_data(ilist)[r].values[kSortColumn]);
      texts.push_back(t ? t : "");
      XtFree(t);
    }
    bool ok = XmI18List_selected_header(ilist) == kSortColumn && sortedTexts(texts) &&
              int(texts.size()) == n;
    report(std::string("mciconlist.sortclick.") + impl + "." + std::to_string(n) +
                   (ok ? ": column 3 in order" : ": ORDER WRONG or another column sorted"));
    XtDestroyWidget(s2);
    pump();
    for (XmString t : titles) XmStringFree(t);
  }
  for (auto &row : converted)
    for (char *t : row) XtFree(t);
  report("xmmultilist holds at most " + std::to_string(kMultiListLimit) +
                 " rows: measured at " + std::to_string(n));
}

}  // namespace

int main(int argc, char **argv) {
  bool callgrind = argc > 1 && std::strcmp(argv[1], "--callgrind") == 0;
  g_callgrind = callgrind;
  /* The smallest-size mode: every operation once, at its smallest size. */
  const char *smallest = std::getenv("QEV_BENCH_SMALLEST");
  if (smallest && *smallest && std::strcmp(smallest, "0") != 0) {
    kSizes = {10000};
    kPageSizes = {10000};
    kSortRows = 10000;
  }
  XtToolkitInitialize();
  app = XtCreateApplicationContext();
  int xargc = 0;
  dpy = XtOpenDisplay(app, nullptr, "bench", "Bench", nullptr, 0, &xargc, nullptr);
  if (!dpy) {
    std::fprintf(stderr, "bench: cannot open the display\n");
    return 1;
  }
  icons = {xdlistdata::makeIcon(dpy, 16, 0xff0000), xdlistdata::makeIcon(dpy, 16, 0x00a000),
           xdlistdata::makeIcon(dpy, 16, 0x0000ff)};
  for (int n : kSizes) iconList(n);
  for (int n : kSizes) mcIconList(n, callgrind);
  sortAgainstMultiList(kSortRows);
  for (int n : kPageSizes) pageDown(n);
  return g_check_failed ? 1 : 0;
}
