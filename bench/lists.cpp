// The icon list widgets against Motif's own lists: filling, exposing,
// sorting, selecting, deleting and type-ahead, at 10,000 and 100,000 rows.
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
const int kSizes[] = {10000, 100000};
const int kSortRows = 30000;
const int kMultiListLimit = 32767;
const int kColumns = 4;
const int kScattered = 1000;

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
  qevbench::measure(label("iconlist", "fill", "xd", n), [&] {
    XdIconListAddItems(il, rows.icons.data(), rows.text[0].data(), rows.ids.data(), n, 0);
    pump();
  });
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
  XtDestroyWidget(s1);
  pump();

  Widget s2 = shell();
  Widget list = XmCreateList(s2, (char *)"list", a, 2);
  XtManageChild(list);
  XtRealizeWidget(s2);
  pump();
  qevbench::measure(label("iconlist", "fill", "xmlist", n), [&] {
    XmListAddItems(list, rows.text[0].data(), n, 0);
    pump();
  });
  qevbench::measure(label("iconlist", "expose", "xmlist", n), [&] { fullExpose(list); });
  std::vector<int> sorted = pos;
  qevbench::measure(label("iconlist", "delete1000", "xmlist", n), [&] {
    XmListDeletePositions(list, sorted.data(), kScattered);
    pump();
  });
  XtDestroyWidget(s2);
  pump();
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
  qevbench::measure(label("mciconlist", "fill", "xd", n), [&] {
    XdMCIconListAddItems(mc, rows.icons.data(), cols.data(), rows.ids.data(), n, 0);
    pump();
  });
  qevbench::measure(label("mciconlist", "expose", "xd", n), [&] { fullExpose(mc); });

  // Type-ahead: the first letter after a change builds the first column's
  // texts once; the keystroke measured is a later one.
  Widget inner = XdIconListGetChild(XdMCIconListGetChild(mc, 0, XdMCIL_LIST), XdICONLIST_LIST);
  XEvent ev = {};
  ev.xkey.type = KeyPress;
  ev.xkey.display = dpy;
  ev.xkey.window = XtWindow(inner);
  ev.xkey.root = DefaultRootWindow(dpy);
  ev.xkey.same_screen = True;
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
    qevbench::note("mciconlist.typeahead.xd." + std::to_string(n) + ": " +
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
    qevbench::note("mciconlist.sort.xd." + std::to_string(n) + (ok ? ": order checked" : ": ORDER WRONG"));
  }
  XtDestroyWidget(s1);
  pump();

  // Four bulk XmList fills.
  Widget s2 = shell();
  Widget form = XtVaCreateManagedWidget("row", xmBulletinBoardWidgetClass, s2, nullptr);
  std::vector<Widget> lists;
  for (int c = 0; c < kColumns; ++c) {
    Widget l = XtVaCreateManagedWidget("list", xmListWidgetClass, form, XmNx, c * 150,
                                       XmNvisibleItemCount, 20, nullptr);
    lists.push_back(l);
  }
  XtRealizeWidget(s2);
  pump();
  qevbench::measure(label("mciconlist", "fill", "xmlist", n), [&] {
    for (int c = 0; c < kColumns; ++c) XmListAddItems(lists[c], cols[c], n, 0);
    pump();
  });
  qevbench::measure(label("mciconlist", "expose", "xmlist", n), [&] { fullExpose(form); });
  XtDestroyWidget(s2);
  pump();
}

// Motif's multi-column list sorts through per-column functions; this one
// compares the rows' texts as the project's sort does: the host text of each
// compound string, byte-wise.
int peerCompare(short column, const XmMultiListRowInfo *a, const XmMultiListRowInfo *b) {
  char *ta = static_cast<char *>(XmStringUnparse(a->values[column], nullptr, XmCHARSET_TEXT,
                                                 XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  char *tb = static_cast<char *>(XmStringUnparse(b->values[column], nullptr, XmCHARSET_TEXT,
                                                 XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  int r = std::strcmp(ta ? ta : "", tb ? tb : "");
  XtFree(ta);
  XtFree(tb);
  return r;
}

// Sorts of the same rows on the project's multi-column list and on
// Motif's, by a header click.
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
  Widget header = XdMCIconListGetChild(mc, 2, XdMCIL_HEADER);
  qevbench::measure(label("mciconlist", "sortclick", "xd", n), [&] {
    XtCallCallbacks(header, XmNactivateCallback, nullptr);
    pump();
  });
  XtDestroyWidget(s1);
  pump();

  Widget s2 = shell();
  std::vector<XmMultiListRowInfo> info(n);
  std::vector<std::vector<XmString>> values(n, std::vector<XmString>(kColumns));
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < kColumns; ++c) values[r][c] = rows.text[c][r];
    info[r] = XmMultiListRowInfo();
    info[r].values = values[r].data();
    info[r].pixmap = rows.icons[r];
  }
  std::vector<Xm18SortFunction> sorters(kColumns, peerCompare);
  std::vector<XmString> titles;
  for (int c = 0; c < kColumns; ++c) titles.push_back(XmStringCreateLocalized((char *)"Column"));
  Widget ml = XtVaCreateManagedWidget("multi", xmMultiListWidgetClass, s2, XmNnumColumns, kColumns,
                                      XmNcolumnTitles, titles.data(), XmNentryData, info.data(),
                                      XmNnumRows, n, XmNsortFunctions, sorters.data(),
                                      XmNwidth, 620, XmNheight, 460, nullptr);
  XtRealizeWidget(s2);
  pump();
  Widget ilist = XmMultiList_ilist(ml);
  // A click on the third column's title.
  int x = 0;
  for (int c = 0; c < 2; ++c) x += XmI18List_column_widths(ilist)[c];
  XEvent ev = {};
  ev.xbutton.type = ButtonPress;
  ev.xbutton.display = dpy;
  ev.xbutton.window = XtWindow(ilist);
  ev.xbutton.root = DefaultRootWindow(dpy);
  ev.xbutton.same_screen = True;
  ev.xbutton.button = Button1;
  ev.xbutton.x = x + 10;
  ev.xbutton.y = 2;
  ev.xbutton.time = 5000;
  XmString before = XmI18List_row_data(ilist)[0].values[2];
  qevbench::measure(label("mciconlist", "sortclick", "xmmultilist", n), [&] {
    XtDispatchEvent(&ev);
    ev.xbutton.type = ButtonRelease;
    XtDispatchEvent(&ev);
    pump();
  });
  if (XmI18List_row_data(ilist)[0].values[2] == before)
    qevbench::note("xmmultilist did not reorder its rows on the header click");
  XtDestroyWidget(s2);
  pump();
  for (XmString t : titles) XmStringFree(t);
  qevbench::note("xmmultilist holds at most " + std::to_string(kMultiListLimit) +
                 " rows: measured at " + std::to_string(n));
}

}  // namespace

int main(int argc, char **argv) {
  bool callgrind = argc > 1 && std::strcmp(argv[1], "--callgrind") == 0;
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
  return 0;
}
