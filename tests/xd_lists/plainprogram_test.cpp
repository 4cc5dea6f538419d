// The list widgets in plain Motif programs: a user's resource file giving a
// column count to a program that builds its own columns, the call data of
// real clicks and keys, and type-ahead landing just below the view.
#include "listtest.h"

#include "child.h"
#include "qev/status.h"

#include <X11/Xresource.h>
#include <sys/mman.h>

#include <cstring>
#include <functional>
#include <string>

using namespace listtest;

namespace {

XmString mk(const std::string &s) { return XmStringCreateLocalized(const_cast<char *>(s.c_str())); }

// Puts resource lines into the display's database, as a user's
// ~/.Xdefaults, an app-defaults file or -xrm options do.
void resources(const std::vector<std::string> &lines) {
  XrmDatabase db = XtDatabase(app().dpy);
  for (const std::string &line : lines) XrmPutLineResource(&db, line.c_str());
}

// A copy of an array that ends where readable memory ends: reading one
// element past it faults in any build.
template <class T>
class EdgeArray {
 public:
  explicit EdgeArray(const std::vector<T> &v) {
    const size_t page = size_t(sysconf(_SC_PAGESIZE)), bytes = v.size() * sizeof(T);
    length_ = ((bytes + page - 1) / page + 1) * page;
    base_ = static_cast<char *>(
        mmap(nullptr, length_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    mprotect(base_ + length_ - page, page, PROT_NONE);
    data_ = reinterpret_cast<T *>(base_ + length_ - page - bytes);
    std::memcpy(data_, v.data(), bytes);
  }
  ~EdgeArray() { munmap(base_, length_); }
  EdgeArray(const EdgeArray &) = delete;
  EdgeArray &operator=(const EdgeArray &) = delete;
  T *data() { return data_; }

 private:
  char *base_ = nullptr;
  size_t length_ = 0;
  T *data_ = nullptr;
};

// Texts "<prefix> 1" .. "<prefix> n".
struct Texts {
  std::vector<XmString> s;
  Texts(const std::string &prefix, int n) {
    for (int i = 1; i <= n; ++i) s.push_back(mk(prefix + " " + std::to_string(i)));
  }
  ~Texts() {
    for (XmString x : s) XmStringFree(x);
  }
};

Widget firstInner(Widget mc) {
  return XdIconListGetChild(XdMCIconListGetChild(mc, 0, XdMCIL_LIST), XdICONLIST_LIST);
}

struct Case {
  const char *name;
  std::function<void()> body;
};

void runCases(const std::vector<Case> &cases) {
  for (const Case &c : cases) {
    int status = qevtest::runInChild(
        [&c] {
          app() = App{};  // a connection of the child's own
          ASSERT_NE(app().dpy, nullptr);
          c.body();
        },
        60);
    EXPECT_TRUE(qevtest::childPassed(status)) << c.name << ": " << qevtest::describeStatus(status);
  }
}

// A shown multi-column list named "files" made without a column count.
Widget filesList(Widget shell, std::vector<Arg> args = {}) {
  Arg a;
  XtSetArg(a, XmNwidth, 380); args.push_back(a);
  XtSetArg(a, XmNheight, 240); args.push_back(a);
  Widget mc = XdCreateMCIconList(shell, (char *)"files", args.data(), Cardinal(args.size()));
  XtManageChild(mc);
  XtRealizeWidget(shell);
  pump();
  return mc;
}

void addColumns(Widget mc, int n) {
  for (int c = 0; c < n; ++c) {
    XmString label = mk("Column " + std::to_string(c + 1));
    XdMCIconListAddColumn(mc, label, 0, 0, 0, 1, nullptr);
    XmStringFree(label);
  }
}

int columnCount(Widget mc) {
  int n = 0;
  while (XdMCIconListGetChild(mc, n, XdMCIL_HEADER)) ++n;
  return n;
}

std::vector<Case> columnCountCases() {
  std::vector<Case> v;
  // The program adds two columns and passes two arrays: with "*columnCount:
  // 3" in the user's resources it still has two columns, and nothing reads
  // a third array (there is none: reading it faults).
  v.push_back({"program columns, every way rows are passed", [] {
                 resources({"*columnCount: 3"});
                 Widget shell = makeShell(400, 260);
                 Widget mc = filesList(shell);
                 addColumns(mc, 2);
                 EXPECT_EQ(columnCount(mc), 2);
                 EXPECT_EQ(XdMCIconListGetChild(mc, 2, XdMCIL_LIST), nullptr);
                 Texts names("name", 20), sizes("size", 20);
                 EdgeArray<XmString *> two({names.s.data(), sizes.s.data()});
                 XdMCIconListAddItems(mc, nullptr, two.data(), nullptr, 20, 0);
                 EdgeArray<XmString> row({names.s[0], sizes.s[0]});
                 XdMCIconListAddItem(mc, 0, row.data(), 21, 0);
                 int where[] = {2};
                 Texts changed("changed", 1), changed_size("bytes", 1);
                 EdgeArray<XmString *> update({changed.s.data(), changed_size.s.data()});
                 EXPECT_EQ(XdMCIconListUpdateItems(mc, nullptr, update.data(), XdIDS_UNCHANGED, 1,
                                                   where),
                           WU_OK);
                 pump();
                 std::vector<std::string> first = listTexts(firstInner(mc));
                 std::vector<std::string> second =
                     listTexts(XdMCIconListGetChild(mc, 1, XdMCIL_LIST));
                 ASSERT_EQ(first.size(), 21u);
                 ASSERT_EQ(second.size(), 21u);
                 EXPECT_EQ(first[0], "name 1");
                 EXPECT_EQ(second[0], "size 1");
                 EXPECT_EQ(first[1], "changed 1");
                 EXPECT_EQ(second[1], "bytes 1");
                 EXPECT_EQ(first[20], "name 1");
                 EXPECT_EQ(second[19], "size 20");
                 // The program's items set as a resource value: its table
                 // has the program's two columns.
                 Texts a("a", 3), b("b", 3);
                 EdgeArray<XmString *> table({a.s.data(), b.s.data()});
                 XtVaSetValues(mc, XdNstringItems, table.data(), XdNitemCount, 3, nullptr);
                 pump();
                 EXPECT_EQ(listTexts(XdMCIconListGetChild(mc, 1, XdMCIL_LIST)),
                           (std::vector<std::string>{"b 1", "b 2", "b 3"}));
                 XtDestroyWidget(shell);
                 pump();
               }});
  // A program that makes no column of its own: the columns of the resource
  // file are there, and rows passed for none are not read into them.
  v.push_back({"no program columns", [] {
                 resources({"*columnCount: 3"});
                 Widget shell = makeShell(400, 260);
                 Widget mc = filesList(shell);
                 EXPECT_EQ(columnCount(mc), 3);
                 Texts names("name", 5);
                 EdgeArray<XmString *> one({names.s.data()});
                 XdMCIconListAddItems(mc, nullptr, one.data(), nullptr, 5, 0);
                 EdgeArray<XmString> row({names.s[0]});
                 XdMCIconListAddItem(mc, 0, row.data(), 1, 0);
                 EdgeArray<XmString *> table({names.s.data()});
                 XtVaSetValues(mc, XdNstringItems, table.data(), XdNitemCount, 5, nullptr);
                 pump();
                 EXPECT_TRUE(listTexts(firstInner(mc)).empty());
                 // Its first column of its own takes their place.
                 addColumns(mc, 1);
                 EXPECT_EQ(columnCount(mc), 1);
                 XdMCIconListAddItems(mc, nullptr, one.data(), nullptr, 5, 0);
                 pump();
                 EXPECT_EQ(listTexts(firstInner(mc)).size(), 5u);
                 XtDestroyWidget(shell);
                 pump();
               }});
  // A count among the creation arguments is the program's: resources do
  // not change it, and its rows fill every column.
  v.push_back({"count given by the program", [] {
                 resources({"*columnCount: 3"});
                 Widget shell = makeShell(400, 260);
                 std::vector<Arg> args(1);
                 XtSetArg(args[0], XdNcolumnCount, 2);
                 Widget mc = filesList(shell, args);
                 EXPECT_EQ(columnCount(mc), 2);
                 Texts names("name", 4), sizes("size", 4);
                 EdgeArray<XmString *> two({names.s.data(), sizes.s.data()});
                 XdMCIconListAddItems(mc, nullptr, two.data(), nullptr, 4, 0);
                 pump();
                 EXPECT_EQ(listTexts(XdMCIconListGetChild(mc, 1, XdMCIL_LIST)),
                           (std::vector<std::string>{"size 1", "size 2", "size 3", "size 4"}));
                 XtDestroyWidget(shell);
                 pump();
               }});
  return v;
}

TEST(PlainProgram, AColumnCountFromAResourceFileNeverMakesTheProgramReadArraysItDidNotPass) {
  runCases(columnCountCases());
}

// ---- call data of real clicks and keys ---------------------------------

struct Call {
  int reason = 0;
  int item_position = 0;
  std::string item;
  int event_type = 0;  // 0: no event
  Window event_window = None;
  std::vector<int> positions;
};

void record(Widget, XtPointer closure, XtPointer data) {
  auto *calls = static_cast<std::vector<Call> *>(closure);
  auto *cbs = static_cast<XmListCallbackStruct *>(data);
  Call c;
  c.reason = cbs->reason;
  c.item_position = cbs->item_position;
  if (cbs->item) c.item = text(cbs->item);
  if (cbs->event) {
    c.event_type = cbs->event->type;
    c.event_window = cbs->event->xany.window;
  }
  if (cbs->selected_item_positions)
    c.positions.assign(cbs->selected_item_positions,
                       cbs->selected_item_positions + cbs->selected_item_count);
  calls->push_back(c);
}

class IconListCalls : public ::testing::Test {
 protected:
  Widget shell = nullptr, il = nullptr, list = nullptr, icons = nullptr;
  std::vector<Call> calls;
  Pixmap red = 0;

  void SetUp() override {
    ASSERT_NE(app().dpy, nullptr);
    red = xdlistdata::makeIcon(app().dpy, 16, 0xff0000);
    shell = makeShell(300, 260);
  }
  void TearDown() override {
    if (shell) XtDestroyWidget(shell);
    pump();
    XFreePixmap(app().dpy, red);
  }
  void create(unsigned char policy, bool scrolled = false) {
    il = makeIconList(shell, policy, scrolled, 6);
    list = XdIconListGetChild(il, XdICONLIST_LIST);
    icons = XdIconListGetChild(il, XdICONLIST_ICONS);
    Texts rows("row", 20);
    std::vector<Pixmap> pix(20, red);
    XdIconListAddItems(il, pix.data(), rows.s.data(), nullptr, 20, 0);
    for (const char *name : {XmNsingleSelectionCallback, XmNmultipleSelectionCallback,
                             XmNextendedSelectionCallback, XmNbrowseSelectionCallback})
      XtAddCallback(il, name, record, &calls);
    XtManageChild(il);
    XtRealizeWidget(shell);
    pump();
  }
  int rowY(int pos) {
    Position x, y;
    Dimension w, h;
    XmListPosToBounds(list, pos, &x, &y, &w, &h);
    return y + h / 2;
  }
  // One click on a row's icon: the one call it made.
  Call clickIcon(int pos, std::vector<KeySym> mods = {}) {
    calls.clear();
    pauseClicks();
    click(icons, 5, rowY(pos), 1, mods);
    EXPECT_EQ(calls.size(), 1u) << "row " << pos;
    return calls.empty() ? Call{} : calls.back();
  }
  void expectClick(const Call &c, int reason, int position) {
    EXPECT_EQ(c.reason, reason);
    EXPECT_EQ(c.item_position, position);
    EXPECT_EQ(c.item, "row " + std::to_string(position));
    EXPECT_EQ(c.event_type, ButtonPress);
    EXPECT_EQ(c.event_window, XtWindow(icons));
  }
};

TEST_F(IconListCalls, IconClicksReportTheItemOfTheirPositionAndTheirEvent) {
  // Multiple: the keyboard item stays on row 1 while rows are clicked.
  create(XmMULTIPLE_SELECT);
  Call c = clickIcon(4);
  expectClick(c, XmCR_MULTIPLE_SELECT, 4);
  c = clickIcon(2);
  expectClick(c, XmCR_MULTIPLE_SELECT, 2);  // the first selected
  EXPECT_EQ(c.positions, (std::vector<int>{2, 4}));
  c = clickIcon(2);  // taken away: the first remaining one
  expectClick(c, XmCR_MULTIPLE_SELECT, 4);
  XtDestroyWidget(il);

  create(XmSINGLE_SELECT);
  expectClick(clickIcon(3), XmCR_SINGLE_SELECT, 3);
  XtDestroyWidget(il);

  create(XmEXTENDED_SELECT);
  expectClick(clickIcon(5), XmCR_EXTENDED_SELECT, 5);
  c = clickIcon(7, {XK_Control_L});  // added: reported with the others
  expectClick(c, XmCR_MULTIPLE_SELECT, 5);
  EXPECT_EQ(c.positions, (std::vector<int>{5, 7}));
  c = clickIcon(3, {XK_Shift_L});  // from the anchor, row 7
  expectClick(c, XmCR_MULTIPLE_SELECT, 3);
  EXPECT_EQ(c.positions, (std::vector<int>{3, 4, 5, 6, 7}));
}

TEST_F(IconListCalls, ScrolledListKeysReportTheirKeyEvent) {
  create(XmBROWSE_SELECT, true);
  click(list, 20, rowY(1));  // the list takes the keyboard
  pump();
  const struct {
    KeySym key;
    int position;
  } steps[] = {{XK_Down, 2}, {XK_Down, 3}, {XK_Up, 2}, {XK_Next, 6}, {XK_Prior, 1}};
  for (const auto &step : steps) {
    calls.clear();
    key(step.key);
    ASSERT_EQ(calls.size(), 1u) << XKeysymToString(step.key);
    EXPECT_EQ(calls[0].reason, XmCR_BROWSE_SELECT);
    EXPECT_EQ(calls[0].item_position, step.position) << XKeysymToString(step.key);
    EXPECT_EQ(calls[0].item, "row " + std::to_string(step.position));
    EXPECT_EQ(calls[0].event_type, KeyPress) << XKeysymToString(step.key);
    EXPECT_EQ(calls[0].event_window, XtWindow(list));
  }
}

// ---- type-ahead at the edge of the view --------------------------------

TEST(PlainProgram, TypeAheadMakesAMatchJustBelowTheViewTheTopRow) {
  Widget shell = makeShell(400, 260);
  Arg a[3];
  XtSetArg(a[0], XdNcolumnCount, 2);
  XtSetArg(a[1], XmNwidth, 380);
  XtSetArg(a[2], XmNheight, 240);
  Widget mc = XdCreateMCIconList(shell, (char *)"typed", a, 3);
  Texts names("row", 40), other("col", 40);
  XmString *cols[] = {names.s.data(), other.s.data()};
  XdMCIconListAddItems(mc, nullptr, cols, nullptr, 40, 0);
  XtManageChild(mc);
  XtRealizeWidget(shell);
  pump();
  Widget inner = firstInner(mc);
  Widget second = XdMCIconListGetChild(mc, 1, XdMCIL_LIST);
  int visible = 0;
  XtVaGetValues(inner, XmNvisibleItemCount, &visible, nullptr);
  ASSERT_GT(visible, 2);
  ASSERT_LT(visible + 1, 40);
  // The last row in view starts with "k", the one just below with "l".
  XmString kilo = mk("kilo"), lima = mk("lima");
  int where[] = {visible, visible + 1};
  XmString texts0[] = {kilo, lima};
  XmString texts1[] = {other.s[size_t(visible) - 1], other.s[size_t(visible)]};
  XmString *both[] = {texts0, texts1};
  EXPECT_EQ(XdMCIconListUpdateItems(mc, nullptr, both, XdIDS_UNCHANGED, 2, where), WU_OK);
  pump();

  Position x, y;
  Dimension w, h;
  ASSERT_TRUE(XmListPosToBounds(inner, 1, &x, &y, &w, &h));
  click(inner, 20, y + h / 2);  // row 1, and the keyboard
  ASSERT_EQ(selected(inner), std::vector<int>{1});
  int top = 0;
  // How a selected row and a row not selected look on the server.
  auto look = [&](int row_y) { return qevtest::pixelAt(app().dpy, XtWindow(inner), x + 60, row_y); };
  const unsigned long selected_look = look(y + h / 2);
  Position y2;
  ASSERT_TRUE(XmListPosToBounds(inner, 2, &x, &y2, &w, &h));
  ASSERT_NE(look(y2 + h / 2), selected_look);

  key(XK_k);  // the last row in view: the view stays
  EXPECT_EQ(selected(inner), std::vector<int>{visible});
  XdMCIconListGetTopItemPos(mc, &top);
  EXPECT_EQ(top, 1);

  pauseClicks();
  key(XK_l);  // one past it: it becomes the top row
  EXPECT_EQ(selected(inner), std::vector<int>{visible + 1});
  XdMCIconListGetTopItemPos(mc, &top);
  EXPECT_EQ(top, visible + 1);
  // The other column and the scroll bar follow; the row is drawn selected
  // at the top of the list.
  int second_top = 0, bar = 0;
  XtVaGetValues(second, XmNtopItemPosition, &second_top, nullptr);
  EXPECT_EQ(second_top, visible + 1);
  XtVaGetValues(XdMCIconListGetChild(mc, 0, XdMCIL_VSCROLLBAR), XmNvalue, &bar, nullptr);
  EXPECT_EQ(bar, visible + 1);
  Position y1;
  ASSERT_TRUE(XmListPosToBounds(inner, visible + 1, &x, &y1, &w, &h));
  EXPECT_EQ(y1, y);
  pump();
  EXPECT_EQ(look(y1 + h / 2), selected_look);

  XmStringFree(kilo);
  XmStringFree(lima);
  XtDestroyWidget(shell);
  pump();
}

}  // namespace
