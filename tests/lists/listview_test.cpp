// The list view on a private X server, driven as the host drives it:
// catalogue creation (slot 141) and the views-and-methods slots 2 and 3,
// the services vector for attributes and methods, and input as X events;
// what the host sees is read from the stand-in host and the widget.
#include "listfixture.h"
#include "dragsource.h"
#include "frames/wuframes.h"
#include "runtime/wuhost.h"
#include "xinput.h"

#include <Xm/DragDrop.h>

#include <X11/extensions/XTest.h>

#include <unistd.h>

#include <algorithm>

namespace {

class ListViews : public Lists {};

TEST_F(ListViews, ListViewDefaultsStatusesAndRowSlots) {
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

TEST_F(ListViews, ListViewCreatedThroughSlotTwoBeforeAndAfterRealising) {
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

namespace {

TEST_F(ListViews, ListViewUserActionsArePostedAndRecorded) {
  std::vector<int32_t> all = {17};
  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW, {Int(WU_A_SELECTIONMODE, 2), List(WU_A_EVENTS, all)});
  wu_control *c = h->control;
  Widget list = W(h);
  AddColumns(h, {"Name", "Size"});
  ASSERT_EQ(AddRows(c, {{"a", "1"}, {"b", "2"}, {"c", "3"}}, {101, 102, 103}), WU_OK);
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  Events();
  Queued();

  // A selection through the list: click with the ids of the selected rows.
  XdMCIconListSelectPos(list, 2, True);
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_SELECT);
  EXPECT_EQ(ClickIds(ev[0]), std::vector<int32_t>{102});
  EXPECT_EQ(ev[0].record.handle, h);
  wu_value cnt = Int(WU_A_SELECTEDCOUNT, 0);
  h->services->qwat(c, &cnt, 1);
  EXPECT_EQ(cnt.value, 1);
  // The recording names the first selected row.
  std::vector<qevhost::Recording> rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), 1u);
  wu_batch_event r = {};
  std::memcpy(&r, rec[0].record.data(), sizeof r);
  EXPECT_EQ(r.code, WU_EV_SELECT);
  EXPECT_EQ(r.value1, 2);
  EXPECT_EQ(r.sent, 1);

  // Double click: the first click selects the row, the second posts its id.
  Widget inner = XdIconListGetChild(XdMCIconListGetChild(list, 0, XdMCIL_LIST), XdICONLIST_LIST);
  ASSERT_NE(inner, nullptr);
  Display *dpy = XtDisplay(list);
  ASSERT_TRUE(qevtest::doubleClickRowHandled(inner, 3));
  ev = Events();
  ASSERT_FALSE(ev.empty());
  EXPECT_EQ(std::count_if(ev.begin(), ev.end(),
                          [](const Posted &p) { return p.code == WU_EV_DOUBLECLICK; }),
            1);
  EXPECT_EQ(ev.back().code, WU_EV_DOUBLECLICK);
  ASSERT_EQ(ev.back().params.size(), 1u);
  EXPECT_EQ(ev.back().params[0].value, 103);

  // Header of a column that does not sort: columnClick with the column.
  Widget header = XdMCIconListGetChild(list, 1, XdMCIL_HEADER);
  ASSERT_NE(header, nullptr);
  ASSERT_TRUE(qevtest::clickHandled(header));
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_COLUMNCLICK);
  EXPECT_EQ(ev[0].params[0].value, 2);
  // A sortable column sorts itself and sends nothing; replay of that
  // unposted click sorts again.
  wu_value sc[6] = {Int(1, 1), Int(2, -1), {}, Int(4, -1), Int(5, 1), {}};
  EXPECT_EQ(h->services->meth(h, WU_M_SETCOLUMN, sc, 6), WU_OK);
  ASSERT_TRUE(qevtest::clickHandled(XdMCIconListGetChild(list, 0, XdMCIL_HEADER)));
  EXPECT_TRUE(Events().empty());

  // Popup, Delete and BackSpace: Delete and BackSpace whatever the mask.
  ASSERT_TRUE(qevtest::clickRowHandled(inner, 1, 3));
  std::vector<int32_t> none = {};
  wu_value nomask = List(WU_A_EVENTS, none);
  h->services->swat(c, &nomask, 1);
  ASSERT_TRUE(qevtest::clickRowHandled(inner, 1));
  ASSERT_TRUE(qevtest::keyHandled(dpy, XK_Delete));
  ASSERT_TRUE(qevtest::keyHandled(dpy, XK_BackSpace));
  EXPECT_EQ(Codes(), (std::vector<int32_t>{WU_EV_POPUP, WU_EV_DELETENODE, WU_EV_BACKSPACE}));
  // The deselect-all key with a row selected reports the selection the
  // list keeps (the row at the location cursor in extended mode).
  h->services->swat(c, &(all[0] = 17, nomask = List(WU_A_EVENTS, all)), 1);
  usleep(useconds_t(XtGetMultiClickTime(dpy) + 100) * 1000);
  ASSERT_TRUE(qevtest::clickRowHandled(inner, 1));
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ClickIds(ev[0]), std::vector<int32_t>{XdMCIconListGetId(list, 1)});
  ASSERT_TRUE(qevtest::keyHandled(dpy, XK_backslash, ControlMask));
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_SELECT);
  // Deselecting nothing when nothing was selected sends no click.
  XdMCIconListDeselectAll(list);
  Events();
  h->services->meth(h, WU_M_DESELECTALL, nullptr, 0);
  ASSERT_TRUE(qevtest::keyHandled(dpy, XK_backslash, ControlMask));
  EXPECT_TRUE(Events().empty());

  // Replay: a posted click selects its row first and posts its id.
  qevhost::removeBatchDriver(qevhost::mainTask());
  wu_batch_event click = {};
  click.code = WU_EV_SELECT;
  click.value1 = 3;
  click.sent = 1;
  EXPECT_EQ(h->services->rbat(h, &click), WU_OK);
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ClickIds(ev[0]), std::vector<int32_t>{103});
  int *pos = nullptr, n = 0;
  XdMCIconListGetSelectedPos(list, &pos, &n);
  ASSERT_EQ(n, 1);
  EXPECT_EQ(pos[0], 3);
  XtFree(reinterpret_cast<char *>(pos));
  wu_batch_event odd = {};
  odd.code = 2;
  EXPECT_EQ(h->services->rbat(h, &odd), WU_NOTAVAIL);
}

TEST_F(ListViews, ListViewMethodsOnTheirExamples) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW);
  wu_control *c = h->control;
  AddColumns(h, {"Name"});
  ASSERT_EQ(AddRows(c, {{"xyz"}, {"ABC"}, {"ab"}, {"abd"}, {"q"}}, {1, 2, 3, 4, 5}), WU_OK);

  // _find accepts a prefix, _findExact only the whole text; both wrap.
  std::vector<wu_value> f = {Int(1, 4), Int(2, 1), Text(3, "ab")};
  EXPECT_EQ(Meth(h, WU_M_FIND, f), WU_OK);
  EXPECT_EQ(f[0].value, 4);
  f[0].value = 5;
  EXPECT_EQ(Meth(h, WU_M_FIND, f), WU_OK);
  EXPECT_EQ(f[0].value, 2);
  f[0].value = 1;
  EXPECT_EQ(Meth(h, WU_M_FINDEXACT, f), WU_OK);
  EXPECT_EQ(f[0].value, 3);
  std::vector<wu_value> miss = {Int(1, 1), Int(2, 0), Text(3, "zz")};
  EXPECT_EQ(Meth(h, WU_M_FIND, miss), WU_OK);
  EXPECT_EQ(miss[0].value, 0);
  std::vector<wu_value> badcol = {Int(1, 1), Int(2, 3), Text(3, "a")};
  EXPECT_EQ(Meth(h, WU_M_FIND, badcol), WU_NOTAVAIL);
  std::vector<wu_value> shortp = {Int(1, 1), Int(2, 1)};
  EXPECT_EQ(Meth(h, WU_M_FIND, shortp), WU_NOTAVAIL);

  // _getItem: texts kept by the record, given back once by the clean-up.
  std::vector<wu_value> gi = {Int(1, 2), Int(2, 0), {}, Int(4, 0), Int(5, 0)};
  EXPECT_EQ(Meth(h, WU_M_GETITEM, gi), WU_ENTRY_STATUS);
  EXPECT_EQ(gi[1].value, -1);
  EXPECT_EQ(gi[2].status, WU_ALLOCATED);
  ASSERT_EQ(gi[2].value, 1);
  auto *texts = static_cast<wu_str_item *>(gi[2].pointer);
  EXPECT_EQ(std::string(texts[0].text, size_t(texts[0].length)), "ABC");
  EXPECT_EQ(gi[3].value, 2);
  EXPECT_EQ(h->services->clen(h, &gi[2], 1), WU_OK);
  EXPECT_EQ(gi[2].status, WU_OK);
  EXPECT_EQ(gi[2].pointer, nullptr);
  std::vector<wu_value> glast = {Int(1, 5), Int(2, 0), {}, Int(4, 0), Int(5, 0)};
  EXPECT_EQ(Meth(h, WU_M_GETITEM, glast), WU_ENTRY_STATUS);
  EXPECT_EQ(glast[3].value, 5);
  EXPECT_EQ(h->services->clen(h, &glast[2], 1), WU_OK);
  std::vector<wu_value> gbad = {Int(1, 6), Int(2, 0), {}, Int(4, 0)};
  EXPECT_EQ(Meth(h, WU_M_GETITEM, gbad), WU_NOTAVAIL);
  gbad[0].value = 0;
  EXPECT_EQ(Meth(h, WU_M_GETITEM, gbad), WU_NOTAVAIL);

  // Selection methods and the selected count.
  EXPECT_EQ(h->services->meth(h, WU_M_SELECTALL, nullptr, 0), WU_OK);
  wu_value cnt = Int(WU_A_SELECTEDCOUNT, 0);
  h->services->qwat(c, &cnt, 1);
  EXPECT_GE(cnt.value, 1);
  std::vector<int32_t> which = {3};
  wu_value sel = List(WU_A_SELECTEDINDEXES, which);
  EXPECT_EQ(h->services->swat(c, &sel, 1), WU_OK);
  std::vector<wu_value> is = {Int(1, 3), Int(2, 9)};
  EXPECT_EQ(Meth(h, WU_M_ISSELECTED, is), WU_OK);
  EXPECT_EQ(is[1].value, 1);
  // The last row is selected; one past it marks its entry and the call
  // answers that an entry has a status, while the rows beside it in the
  // same list are selected all the same.
  std::vector<int32_t> last = {Rows(h)};
  wu_value sellast = List(WU_A_SELECTEDINDEXES, last);
  EXPECT_EQ(h->services->swat(c, &sellast, 1), WU_OK);
  EXPECT_EQ(sellast.status, WU_OK);
  std::vector<wu_value> islast = {Int(1, Rows(h)), Int(2, 9)};
  EXPECT_EQ(Meth(h, WU_M_ISSELECTED, islast), WU_OK);
  EXPECT_EQ(islast[1].value, 1);
  std::vector<int32_t> bad = {3, Rows(h) + 1};
  wu_value selbad = List(WU_A_SELECTEDINDEXES, bad);
  EXPECT_EQ(h->services->swat(c, &selbad, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(selbad.status, WU_E_RANGE);
  EXPECT_EQ(Meth(h, WU_M_ISSELECTED, is), WU_OK);
  EXPECT_EQ(is[1].value, 1);
  wu_value items = Int(WU_A_SELECTEDITEMS, 0);
  EXPECT_EQ(h->services->qwat(c, &items, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(items.status, WU_ALLOCATED);
  EXPECT_EQ(items.value, 1);
  EXPECT_EQ(items.second, 1);
  EXPECT_EQ(h->services->clen(h, &items, 1), WU_OK);

  // _deleteRows: -1 with count 1 is the last row; a count past the end is cut.
  std::vector<wu_value> d = {Int(1, -1), Int(2, 1)};
  EXPECT_EQ(Meth(h, WU_M_DELETE, d), WU_OK);
  EXPECT_EQ(Rows(h), 4);
  EXPECT_EQ(h->control == c, true);
  std::vector<wu_value> d2 = {Int(1, 3), Int(2, 3)};
  EXPECT_EQ(Meth(h, WU_M_DELETE, d2), WU_OK);
  EXPECT_EQ(Rows(h), 2);
  std::vector<wu_value> d3 = {Int(1, 3), Int(2, 1)};
  EXPECT_EQ(Meth(h, WU_M_DELETE, d3), WU_NOTAVAIL);

  // _addRows: short id or icon arrays and wrong column counts are refused.
  std::vector<wu_str_item> r1 = {{1, 0, "m"}}, r2 = {{1, 0, "n"}};
  std::vector<const wu_str_item *> table = {r1.data(), r2.data()};
  std::vector<int32_t> one_id = {7};
  wu_value rows = {};
  rows.type = WU_VT_STRTABLE;
  rows.value = 2;
  rows.second = 1;
  rows.pointer = table.data();
  std::vector<wu_value> add = {Int(1, -1), {}, rows, {}, {}};
  add[3].type = WU_VT_IDLIST;
  add[3].value = 1;
  add[3].pointer = one_id.data();
  EXPECT_EQ(Meth(h, WU_M_ADD, add), WU_NOTAVAIL);
  add[3] = {};
  add[2].second = 2;
  EXPECT_EQ(Meth(h, WU_M_ADD, add), WU_NOTAVAIL);
  add[2].second = 1;
  add[0].value = 0;
  EXPECT_EQ(Meth(h, WU_M_ADD, add), WU_ENTRY_STATUS);
  EXPECT_EQ(add[0].status, WU_E_RANGE);
  add[0] = Int(1, 1);
  EXPECT_EQ(Meth(h, WU_M_ADD, add), WU_OK);
  EXPECT_EQ(Rows(h), 4);
  EXPECT_EQ(Cell(h, 1, 1), "m");

  // Columns: width 1 or 2 refused, 0 accepted; _getColumn; deleting the
  // last column empties the rows.
  wu_value ac[6] = {Int(1, -1), Int(2, 2), Text(3, "W"), Int(4, 0), Int(5, 0), {}};
  EXPECT_EQ(h->services->meth(h, WU_M_ADDCOLUMN, ac, 6), WU_NOTAVAIL);
  EXPECT_EQ(ac[1].status, WU_E_RANGE);
  wu_value gc[6] = {Int(1, 1), {}, {}, {}, {}, {}};
  EXPECT_EQ(h->services->meth(h, WU_M_GETCOLUMN, gc, 6), WU_ENTRY_STATUS);
  EXPECT_EQ(gc[2].status, WU_ALLOCATED);
  EXPECT_EQ(std::string(static_cast<char *>(gc[2].pointer)), "Name");
  EXPECT_EQ(h->services->clen(h, &gc[2], 1), WU_OK);
  gc[0].value = 5;
  EXPECT_EQ(h->services->meth(h, WU_M_GETCOLUMN, gc, 6), WU_NOTAVAIL);
  std::vector<wu_value> dc = {Int(1, -1)};
  EXPECT_EQ(Meth(h, WU_M_DELETECOLUMN, dc), WU_OK);
  EXPECT_EQ(Rows(h), 0);
  EXPECT_EQ(h->services->meth(h, WU_M_EDITITEM, nullptr, 0), WU_UNSUPPORTED);
  EXPECT_EQ(h->services->meth(h, 46, nullptr, 0), WU_NOTAVAIL);
}

TEST_F(ListViews, ListViewIconsFollowTheViewAndMapBackToTheirIds) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW);
  wu_control *c = h->control;
  Widget list = W(h);
  AddColumns(h, {"Name"});
  wu_value v1 = Int(WU_A_VIEWTYPE, 1);
  ASSERT_EQ(h->services->swat(c, &v1, 1), WU_OK);
  ASSERT_EQ(AddRows(c, {{"one"}, {"two"}, {"big"}}, {1, 2, 3}, -1, {10, -1, 4096 + 10}), WU_OK);
  Pixmap p = XdMCIconListGetIcon(list, 1);
  ASSERT_NE(p, Pixmap(None));
  EXPECT_EQ(p, devb->icon_cache[WU_ICACHE_24][10]);
  EXPECT_EQ(XdMCIconListGetIcon(list, 2), Pixmap(None));
  // From view 1 to 3 the icons are remade at 16 pixels; no icon stays none.
  wu_value v3 = Int(WU_A_VIEWTYPE, 3);
  ASSERT_EQ(h->services->swat(c, &v3, 1), WU_OK);
  EXPECT_EQ(XdMCIconListGetIcon(list, 1), devb->icon_cache[WU_ICACHE_16][10]);
  EXPECT_EQ(XdMCIconListGetIcon(list, 2), Pixmap(None));
  std::vector<wu_value> gi = {Int(1, 1), Int(2, 0), {}, Int(4, 0)};
  EXPECT_EQ(Meth(h, WU_M_GETITEM, gi), WU_ENTRY_STATUS);
  EXPECT_EQ(gi[1].value, 10);
  gi[0].value = 2;
  Meth(h, WU_M_GETITEM, gi);
  EXPECT_EQ(gi[1].value, -1);
  // An id past the icon caches keeps its id across the view change.
  gi[0].value = 3;
  Meth(h, WU_M_GETITEM, gi);
  EXPECT_EQ(gi[1].value, 4096 + 10);
  EXPECT_NE(XdMCIconListGetIcon(list, 3), Pixmap(None));
  wu_value q = Int(WU_A_VIEWTYPE, 0);
  h->services->qwat(c, &q, 1);
  EXPECT_EQ(q.value, 3);
  int vt = -1;
  XtVaGetValues(list, XdNviewType, &vt, nullptr);
  EXPECT_EQ(vt, 1);

  // The title band comes and goes.
  wu_value t = Text(WU_A_TITLE, "Files");
  ASSERT_EQ(h->services->swat(c, &t, 1), WU_OK);
  wu_value th = Int(WU_A_TITLEHEIGHT, 0);
  h->services->qwat(c, &th, 1);
  EXPECT_GT(th.value, 0);
  wu_value t0 = Text(WU_A_TITLE, "");
  ASSERT_EQ(h->services->swat(c, &t0, 1), WU_OK);
  h->services->qwat(c, &th, 1);
  EXPECT_EQ(th.value, 0);
  // Focus goes to the first column's list.
  EXPECT_EQ(h->services->focs(h), WU_OK);
  EXPECT_EQ(wu_module()->focus,
            XdIconListGetChild(XdMCIconListGetChild(list, 0, XdMCIL_LIST), XdICONLIST_LIST));
}

}  // namespace

namespace {

TEST_F(ListViews, UpdateRowsColoursAndRelease) {
  // Baseline: the window once it has held a list view and a list box.
  for (int32_t type : {WU_CTYPE_LISTVIEW, WU_CTYPE_LISTBOX}) {
    wu_ctl_handle *warm = Create(type);
    warm->services->wdes(warm);
  }
  Settle();
  base_ = qevhost::poolStats(pool_);

  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW);
  wu_control *c = h->control;
  Widget list = W(h);
  AddColumns(h, {"A", "B"});
  ASSERT_EQ(AddRows(c, {{"a1", "b1"}, {"a2", "b2"}, {"a3", "b3"}}, {1, 2, 3}), WU_OK);

  // _updateRows: new texts and ids for row 2; an empty cell keeps its text.
  std::vector<int32_t> which = {2};
  std::vector<wu_str_item> row = {{3, 0, "new"}, {0, 0, ""}};
  std::vector<const wu_str_item *> table = {row.data()};
  std::vector<int32_t> ids = {22};
  std::vector<wu_value> up = {List(1, which), {}, {}, {}, {}};
  up[2].type = WU_VT_STRTABLE;
  up[2].value = 1;
  up[2].second = 2;
  up[2].pointer = table.data();
  up[3].type = WU_VT_IDLIST;
  up[3].value = 1;
  up[3].pointer = ids.data();
  EXPECT_EQ(Meth(h, WU_M_UPDATEROWS, up), WU_OK);
  EXPECT_EQ(Cell(h, 2, 1), "new");
  EXPECT_EQ(Cell(h, 2, 2), "b2");
  EXPECT_EQ(XdMCIconListGetId(list, 2), 22);
  up[2].second = 1;
  EXPECT_EQ(Meth(h, WU_M_UPDATEROWS, up), WU_NOTAVAIL);

  // Own colours (a list box): set, answered as a block for the caller, back
  // to the default.
  wu_ctl_handle *box0 = Create(WU_CTYPE_LISTBOX);
  uint16_t red[3] = {0xffff, 0, 0};
  wu_value bg = {};
  bg.code = WU_A_BACKGROUND;
  bg.type = WU_VT_WORD;
  bg.value = 1;
  bg.pointer = red;
  ASSERT_EQ(box0->services->swat(box0->control, &bg, 1), WU_OK);
  Pixel shown = 0;
  XtVaGetValues(W(box0), XmNbackground, &shown, nullptr);
  EXPECT_EQ(shown, Pixel(box0->control->background->pixel));
  wu_value q = Int(WU_A_BACKGROUND, 0);
  EXPECT_EQ(box0->services->qwat(box0->control, &q, 1), WU_ENTRY_STATUS);
  ASSERT_EQ(q.status, WU_ALLOCATED);
  EXPECT_EQ(static_cast<uint16_t *>(q.pointer)[0], 0xffff);
  EXPECT_EQ(box0->services->clen(box0, &q, 1), WU_OK);
  wu_value def = {};
  def.code = WU_A_BACKGROUND;
  def.type = WU_VT_WORD;
  ASSERT_EQ(box0->services->swat(box0->control, &def, 1), WU_OK);
  EXPECT_EQ(box0->control->background, nullptr);

  EXPECT_EQ(box0->services->wdes(box0), WU_OK);
  // Answers left with the record go at release; the pool is as it was.
  wu_value items = Int(WU_A_SELECTEDITEMS, 0);
  XdMCIconListSelectPos(list, 1, False);
  h->services->qwat(c, &items, 1);
  std::vector<wu_value> gi = {Int(1, 1), Int(2, 0), {}, Int(4, 0)};
  Meth(h, WU_M_GETITEM, gi);
  wu_ctl_handle *box = Create(WU_CTYPE_LISTBOX);
  ASSERT_EQ(AddItems(box, {"x", "y"}), WU_OK);
  wu_value bq[2] = {Int(WU_A_SELECTEDITEMS, 0), Int(WU_A_SELECTEDINDEXES, 0)};
  XdIconListSelectPos(W(box), 2, False);
  box->services->qwat(box->control, bq, 2);
  EXPECT_EQ(h->services->wdes(h), WU_OK);
  EXPECT_EQ(box->services->wdes(box), WU_OK);
  Settle();
  qevhost::PoolStats now = qevhost::poolStats(pool_);
  EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
  EXPECT_EQ(now.liveBytes, base_.liveBytes);
}

}  // namespace

namespace {

// The kind's drop-site slots (the services vector reaches them once its
// drag-and-drop entries are linked).
TEST_F(ListViews, DropSiteIsRegisteredUnregisteredAndReplaced) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW);
  wu_control *c = h->control;
  void *site = nullptr;
  ASSERT_EQ(c->RegisterDND(h, &site, nullptr, nullptr), WU_OK);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(static_cast<wu_dnd_site *>(site)->owner, h);
  EXPECT_EQ(static_cast<wu_dnd_site *>(site)->kind, WU_CTYPE_TREEVIEW);
  wu_value kind = Int(WU_DND_A_KIND, 0);
  const auto one = reinterpret_cast<void *>(intptr_t(1));
  EXPECT_EQ(c->QueryDND(h, site, &kind, one), WU_OK);
  EXPECT_EQ(kind.value, WU_CTYPE_TREEVIEW);
  int other = 0;
  EXPECT_EQ(c->QueryDND(h, &other, &kind, one), WU_NOTAVAIL);
  EXPECT_EQ(c->UnregisterDND(h, site, nullptr, nullptr), WU_OK);
  EXPECT_EQ(c->QueryDND(h, site, &kind, one), WU_NOTAVAIL);
  EXPECT_EQ(c->UnregisterDND(h, site, nullptr, nullptr), WU_NOTAVAIL);
  void *again = nullptr;
  ASSERT_EQ(c->RegisterDND(h, &again, nullptr, nullptr), WU_OK);
  EXPECT_NE(again, nullptr);
  EXPECT_EQ(c->QueryDND(h, again, &kind, one), WU_OK);
  // The tree view keeps its sites on its nodes.
  wu_ctl_handle *t = Create(WU_CTYPE_TREEVIEW);
  EXPECT_EQ(t->control->RegisterDND(t, &again, nullptr, nullptr), WU_UNSUPPORTED);
  EXPECT_EQ(t->control->QueryDND(t, site, &kind, nullptr), WU_NOTAVAIL);
}

// The list's registration with Motif: its type, activity, procedure and
// operations.
struct Registration {
  bool registered = false;
  unsigned char type = 0, activity = 0, operations = 0;
  XtCallbackProc drop = nullptr;
};
Registration Registered(Widget list) {
  Registration r;
  r.registered = XmDropSiteRegistered(list);
  if (!r.registered) return r;
  Arg a[4];
  XtSetArg(a[0], XmNdropSiteType, &r.type);
  XtSetArg(a[1], XmNdropSiteActivity, &r.activity);
  XtSetArg(a[2], XmNdropSiteOperations, &r.operations);
  XtSetArg(a[3], XmNdropProc, &r.drop);
  XmDropSiteRetrieve(list, a, 4);
  return r;
}

// After an attribute set the list is an active composite drop site with
// the module's drop procedure for copy, move and link, whether the host
// made a site for it or not; a user's drop on it still reaches the host's
// site with what the host accepts.
TEST_F(ListViews, AnAttributeSetMakesTheListADropSiteAgain) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW, {Int(WU_A_WIDTH, 300), Int(WU_A_HEIGHT, 160)});
  AddColumns(h, {"Name"});
  ASSERT_EQ(AddRows(h->control, {{"alpha"}, {"beta"}}, {1, 2}), WU_OK);
  Settle();
  Widget list = W(h);
  wu_value width = Int(WU_A_WIDTH, 320);
  ASSERT_EQ(h->services->swat(h->control, &width, 1), WU_OK);
  Registration r = Registered(list);
  EXPECT_TRUE(r.registered);
  EXPECT_EQ(r.type, XmDROP_SITE_COMPOSITE);
  EXPECT_EQ(r.activity, XmDROP_SITE_ACTIVE);
  EXPECT_EQ(r.operations, XmDROP_COPY | XmDROP_MOVE | XmDROP_LINK);
  EXPECT_EQ(r.drop, reinterpret_cast<XtCallbackProc>(wuwhdrp));

  // The host's own site on the list, unregistered and made again: a set
  // registers the list in the same form, with the site's formats.
  void *made = nullptr;
  ASSERT_EQ(h->services->rdnd(h, &made, nullptr, nullptr), WU_OK);
  ASSERT_EQ(h->services->udnd(h, made, nullptr, nullptr), WU_OK);
  EXPECT_FALSE(XmDropSiteRegistered(list));
  ASSERT_EQ(h->services->rdnd(h, &made, nullptr, nullptr), WU_OK);
  auto *site = static_cast<wu_dnd_site *>(made);
  ASSERT_NE(site, nullptr);
  wu_value title = Text(WU_A_TITLE, "Files");
  ASSERT_EQ(h->services->swat(h->control, &title, 1), WU_OK);
  Settle();
  r = Registered(list);
  EXPECT_EQ(r.type, XmDROP_SITE_COMPOSITE);
  EXPECT_EQ(r.activity, XmDROP_SITE_ACTIVE);
  EXPECT_EQ(r.operations, XmDROP_COPY | XmDROP_MOVE | XmDROP_LINK);

  Widget source = qevtest::textSource(pane_->ext->widget, 400, 40, "dropped text");
  ASSERT_NE(source, nullptr);
  Position x = 0, y = 0;
  XtTranslateCoords(list, Position(list->core.width / 2), Position(list->core.height / 2), &x, &y);
  ASSERT_TRUE(qevtest::dragFrom(source, x, y));
  ASSERT_NE(site->data, nullptr);
  EXPECT_EQ(std::string(site->data, size_t(site->data_length)), "dropped text");
  XtDestroyWidget(source);
}

}  // namespace

namespace {

class ListViewInput : public Lists {
 protected:
  // Presses and releases a mouse button on the server a few pixels into a
  // widget, as the user does.
  void PressOn(Widget w, unsigned button, int x = 8, int y = 6) {
    Display *dpy = devb->display;
    XSync(dpy, False);
    Position rx = 0, ry = 0;
    XtTranslateCoords(w, Position(x), Position(y), &rx, &ry);
    XTestFakeMotionEvent(dpy, -1, rx, ry, CurrentTime);
    XTestFakeButtonEvent(dpy, button, True, CurrentTime);
    XTestFakeButtonEvent(dpy, button, False, CurrentTime);
    XFlush(dpy);
    Settle();
  }
  wu_ctl_handle *FilledList() {
    std::vector<int32_t> all = {17};
    wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW, {List(WU_A_EVENTS, all), Int(WU_A_WIDTH, 400),
                                                  Int(WU_A_HEIGHT, 300), Int(WU_A_HPOS, 5),
                                                  Int(WU_A_VPOS, 5)});
    AddColumns(h, {"Name", "Size"});
    EXPECT_EQ(AddRows(h->control, {{"a", "1"}, {"b", "2"}, {"c", "3"}}, {101, 102, 103}), WU_OK);
    Settle();
    Events();
    Queued();
    return h;
  }
  static int Count(const std::vector<int32_t> &v, int32_t code) {
    return int(std::count(v.begin(), v.end(), code));
  }
};

TEST_F(ListViewInput, ButtonThreeOnARowOfAnyColumnPostsOnePopup) {
  wu_ctl_handle *h = FilledList();
  Widget list = W(h);
  Widget first = XdIconListGetChild(XdMCIconListGetChild(list, 0, XdMCIL_LIST), XdICONLIST_LIST);
  Widget second = XdMCIconListGetChild(list, 1, XdMCIL_LIST);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  int64_t apart = XtGetMultiClickTime(devb->display) + 100;
  for (Widget column : {first, second}) {
    PressOn(column, Button3);
    std::vector<int32_t> codes = Codes();
    EXPECT_EQ(Count(codes, WU_EV_POPUP), 1) << XtName(column);
    // The press woke the window.
    std::vector<int32_t> q = Queued();
    EXPECT_GE(Count(q, WU_EV_CTL_WAKE), 1) << XtName(column);
    qevtest::turnUntil([] { return false; }, int(apart));
  }
  // Without the popup bit nothing is posted, but the press still wakes.
  std::vector<int32_t> click = {WU_EV_SELECT};
  wu_value mask = List(WU_A_EVENTS, click);
  h->services->swat(h->control, &mask, 1);
  PressOn(first, Button3);
  EXPECT_EQ(Count(Codes(), WU_EV_POPUP), 0);
  EXPECT_GE(Count(Queued(), WU_EV_CTL_WAKE), 1);
  // Button 1 on a row of the first column selects it: one click.
  qevtest::turnUntil([] { return false; }, int(apart));
  PressOn(first, Button1);
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_SELECT);
  EXPECT_EQ(ClickIds(ev[0]), std::vector<int32_t>{101});
}

// The X server's answer about a pixmap: its size, or 0 when it is not a
// drawable of this connection.
unsigned PixmapSize(Pixmap p) {
  Window root;
  int x, y;
  unsigned w = 0, hgt = 0, border, depth;
  const int errors = devb->x_errors;
  devb->errors_masked = 1;
  const Status ok = XGetGeometry(devb->display, p, &root, &x, &y, &w, &hgt, &border, &depth);
  XSync(devb->display, False);
  devb->errors_masked = 0;
  return ok && devb->x_errors == errors ? w : 0;
}

TEST_F(ListViewInput, RowIconsOfHostImagesAreMadeAnewAfterARestart) {
  for (int round = 0; round < 2; ++round) {
    if (round == 1) {
      // The module is ended and started again on a new connection.
      TearDown();
      window_ = nullptr;
      SetUp();
    }
    wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW, {Int(WU_A_VIEWTYPE, 1)});
    AddColumns(h, {"Name"});
    ASSERT_EQ(AddRows(h->control, {{"big"}, {"small"}}, {1, 2}, -1, {4096 + 10, 10}), WU_OK);
    Settle();
    const int errors = devb->x_errors;
    const Pixmap big = XdMCIconListGetIcon(W(h), 1);
    ASSERT_NE(big, Pixmap(None)) << "round " << round;
    EXPECT_EQ(PixmapSize(big), 24u) << "round " << round;
    // The row is drawn with it without an X error.
    XClearArea(devb->display, XtWindow(W(h)), 0, 0, 0, 0, True);
    Settle();
    EXPECT_EQ(devb->x_errors, errors) << "round " << round;
    // Its id is still found from the pixmap.
    std::vector<wu_value> gi = {Int(1, 1), Int(2, 0), {}, Int(4, 0)};
    Meth(h, WU_M_GETITEM, gi);
    EXPECT_EQ(gi[1].value, 4096 + 10);
  }
}

}  // namespace

namespace {

class ListViewColumns : public Lists {};

double ByLength(char *, int length) { return length; }

TEST_F(ListViewColumns, SetColumnWidthZeroFitsTheHeaderAndNoFormatClearsTheSort) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTVIEW);
  AddColumns(h, {"Id", "Description"});
  auto get = [&](int column) {
    std::vector<wu_value> p = {Int(1, column), Int(2, 0), {}, Int(4, 0), Int(5, 0), {}};
    EXPECT_EQ(Meth(h, WU_M_GETCOLUMN, p), WU_ENTRY_STATUS);
    if (p[2].status == WU_ALLOCATED) XtFree(static_cast<char *>(p[2].pointer));
    return p;
  };
  auto set = [&](int column, int width, void *format) {
    std::vector<wu_value> p = {Int(1, column), Int(2, width), {}, Int(4, -1), Int(5, 1), {}};
    p[5].type = WU_VT_FUNCTION;
    p[5].pointer = format;
    return Meth(h, WU_M_SETCOLUMN, p);
  };
  void *format = reinterpret_cast<void *>(&ByLength);
  ASSERT_EQ(set(1, 300, format), WU_OK);
  EXPECT_EQ(get(1)[1].value, 300);
  EXPECT_EQ(get(1)[5].pointer, format);
  // Width 0: as wide as the header's text, far below 300.
  ASSERT_EQ(set(1, 0, format), WU_OK);
  const int32_t fitted = get(1)[1].value;
  EXPECT_GT(fitted, 2);
  EXPECT_LT(fitted, 150);
  // The longer header is the wider column.
  ASSERT_EQ(set(2, 0, format), WU_OK);
  EXPECT_GT(get(2)[1].value, fitted);
  // Width -1 keeps the width; no format clears the sort function.
  ASSERT_EQ(set(1, -1, nullptr), WU_OK);
  EXPECT_EQ(get(1)[1].value, fitted);
  EXPECT_EQ(get(1)[5].pointer, nullptr);
  // Widths 1 and 2 are refused on their entry.
  std::vector<wu_value> bad = {Int(1, 1), Int(2, 2), {}, Int(4, -1), Int(5, 1), {}};
  EXPECT_EQ(Meth(h, WU_M_SETCOLUMN, bad), WU_ENTRY_STATUS);
  EXPECT_EQ(bad[1].status, WU_E_RANGE);
  EXPECT_EQ(get(1)[1].value, fitted);

  // _getItem on a list without rows: an empty text list, no icon.
  std::vector<wu_value> gi = {Int(1, 1), Int(2, 0), {}, Int(4, 0)};
  gi[2].pointer = &gi;  // must be cleared
  EXPECT_EQ(Meth(h, WU_M_GETITEM, gi), WU_OK);
  EXPECT_EQ(gi[2].type, WU_VT_STRLIST);
  EXPECT_EQ(gi[2].value, 0);
  EXPECT_EQ(gi[2].pointer, nullptr);
  EXPECT_EQ(gi[1].value, -1);
  gi[0].value = 0;
  EXPECT_EQ(Meth(h, WU_M_GETITEM, gi), WU_NOTAVAIL);
}

}  // namespace

namespace {

class ListFonts : public Lists {};

// Whether a font list holds an X font set entry.
bool HasFontSet(XmFontList fl) {
  XmFontContext ctx = nullptr;
  if (fl == nullptr || !XmFontListInitFontContext(&ctx, fl)) return false;
  bool set = false;
  while (XmFontListEntry e = XmFontListNextEntry(ctx)) {
    XmFontType type = XmFONT_IS_FONT;
    XmFontListEntryGetFont(e, &type);
    if (type == XmFONT_IS_FONTSET) set = true;
  }
  XmFontListFreeFontContext(ctx);
  return set;
}

// A font named in a double-byte mode carries the double-byte font set, in
// the list view, the list box and the tree view alike; in single-byte mode
// it is the font alone.
TEST_F(ListFonts, NamedFontsCarryTheDoubleByteSetInADoubleByteMode) {
  const char *name = "-misc-fixed-medium-r-normal--14-*-*-*-*-*-iso8859-1";
  XFontStruct *probe = XLoadQueryFont(devb->display, name);
  if (probe == nullptr) GTEST_SKIP() << "the server has no " << name;
  XFreeFont(devb->display, probe);
  const int32_t saved = wu_gcb()->multibyte;
  for (int32_t mode : {0, 4}) {
    wu_gcb()->multibyte = mode;
    for (int32_t type : {WU_CTYPE_LISTVIEW, WU_CTYPE_LISTBOX, WU_CTYPE_TREEVIEW}) {
      wu_ctl_handle *h = Create(type);
      wu_value font = Text(WU_A_FONT, name);
      font.type = WU_VT_FONT;  // taken by name
      EXPECT_EQ(h->services->swat(h->control, &font, 1), WU_OK) << type;
      EXPECT_EQ(HasFontSet(static_cast<XmFontList>(h->control->font_list)), mode != 0)
          << "type " << type << " mode " << mode;
      h->services->wdes(h);
    }
  }
  wu_gcb()->multibyte = saved;
}

}  // namespace
