// The list box driven through slot 141 and the services vector: items,
// selection, searches, the stand-by list of a pane realised later, its
// events and their replay.
#include "listfixture.h"
#include "xinput.h"

namespace {

class ListBoxes : public Lists {};

TEST_F(ListBoxes, ListBoxItemsMethodsAndAnswers) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTBOX);
  ASSERT_NE(h, nullptr);
  wu_control *c = h->control;
  Widget list = W(h);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(XdIsIconList(list));

  EXPECT_EQ(AddItems(h, {"apple", "Banana", "ban", "cherry"}, {1, 2, 3, 4}), WU_OK);
  EXPECT_EQ(Rows(h), 4);
  // Three items with two icons: refused, nothing added.
  EXPECT_EQ(AddItems(h, {"x", "y", "z"}, {}, -1, {2, 10}), WU_NOTAVAIL);
  EXPECT_EQ(Rows(h), 4);
  EXPECT_EQ(AddItems(h, {"first"}, {9}, 0), WU_ENTRY_STATUS);
  EXPECT_EQ(AddItems(h, {"first"}, {9}, 1, {10}), WU_OK);
  EXPECT_EQ(XdIconListGetId(list, 1), 9);
  EXPECT_EQ(XdIconListGetIcon(list, 1), devb->icon_cache[WU_ICACHE_16][10]);

  // _getItem: icon id, text kept until the clean-up, id.
  std::vector<wu_value> gi = {Int(1, 1), Int(2, 0), {}, Int(4, 0)};
  EXPECT_EQ(Meth(h, WU_M_GETITEM, gi), WU_ENTRY_STATUS);
  EXPECT_EQ(gi[1].value, 10);
  EXPECT_EQ(std::string(static_cast<char *>(gi[2].pointer), size_t(gi[2].value)), "first");
  EXPECT_EQ(gi[3].value, 9);
  EXPECT_EQ(h->services->clen(h, &gi[2], 1), WU_OK);
  EXPECT_EQ(gi[2].pointer, nullptr);
  gi[0].value = 6;
  EXPECT_EQ(Meth(h, WU_M_GETITEM, gi), WU_NOTAVAIL);

  // Searches: prefix skips shorter texts, exact needs the length.
  std::vector<wu_value> f = {Int(1, 0), Text(2, "bana")};
  EXPECT_EQ(Meth(h, WU_M_FIND, f), WU_OK);
  EXPECT_EQ(f[0].value, 3);
  std::vector<wu_value> fe = {Int(1, 0), Text(2, "BAN")};
  EXPECT_EQ(Meth(h, WU_M_FINDEXACT, fe), WU_OK);
  EXPECT_EQ(fe[0].value, 4);

  // Selected indexes: one position scrolls it into view; answers are the
  // record's, given back once.
  std::vector<int32_t> one = {5};
  wu_value sel = List(WU_A_SELECTEDINDEXES, one);
  EXPECT_EQ(h->services->swat(c, &sel, 1), WU_OK);
  wu_value q[3] = {Int(WU_A_SELECTEDINDEXES, 0), Int(WU_A_SELECTEDITEMS, 0),
                   Int(WU_A_SELECTEDCOUNT, 0)};
  EXPECT_EQ(h->services->qwat(c, q, 3), WU_ENTRY_STATUS);
  ASSERT_EQ(q[0].value, 1);
  EXPECT_EQ(static_cast<int32_t *>(q[0].pointer)[0], 5);
  ASSERT_EQ(q[1].value, 1);
  auto *items = static_cast<wu_str_item *>(q[1].pointer);
  EXPECT_EQ(std::string(items[0].text, size_t(items[0].length)), "cherry");
  EXPECT_EQ(q[2].value, 1);
  EXPECT_EQ(h->services->clen(h, q, 3), WU_OK);
  EXPECT_EQ(q[0].status, WU_OK);
  EXPECT_EQ(q[1].status, WU_OK);
  std::vector<int32_t> bad = {0};
  wu_value selbad = List(WU_A_SELECTEDINDEXES, bad);
  EXPECT_EQ(h->services->swat(c, &selbad, 1), WU_ENTRY_STATUS);

  // _updateRows replaces texts and ids; -1 icons stay.
  std::vector<int32_t> rows = {2};
  std::vector<wu_str_item> texts = {{4, 0, "pear"}};
  std::vector<int32_t> ids = {42};
  std::vector<wu_value> up = {List(1, rows), {}, {}, {}};
  up[2].type = WU_VT_STRLIST;
  up[2].value = 1;
  up[2].pointer = texts.data();
  up[3].type = WU_VT_IDLIST;
  up[3].value = 1;
  up[3].pointer = ids.data();
  EXPECT_EQ(Meth(h, WU_M_UPDATEROWS, up), WU_OK);
  EXPECT_EQ(XdIconListGetId(list, 2), 42);
  rows[0] = 99;
  EXPECT_EQ(Meth(h, WU_M_UPDATEROWS, up), WU_NOTAVAIL);

  // _delete: -1 with 1 is the last item; bad starts refused.
  std::vector<wu_value> d = {Int(1, -1), Int(2, 1)};
  EXPECT_EQ(Meth(h, WU_M_DELETE, d), WU_OK);
  EXPECT_EQ(Rows(h), 4);
  std::vector<wu_value> d2 = {Int(1, 5), Int(2, 1)};
  EXPECT_EQ(Meth(h, WU_M_DELETE, d2), WU_NOTAVAIL);
  EXPECT_EQ(h->services->meth(h, WU_M_DELETEALL, nullptr, 0), WU_OK);
  EXPECT_EQ(Rows(h), 0);

  // Statuses of the set: read-only, creation-only, unsupported; font with
  // an empty name returns to the default without a status.
  wu_value s[4] = {Int(WU_A_ROWS, 1), Int(WU_A_SELECTIONMODE, 1), Int(WU_A_MINCHAR, 2),
                   Text(WU_A_FONT, "")};
  s[3].type = WU_VT_FONT;  // list kinds take their font by name
  EXPECT_EQ(h->services->swat(c, s, 4), WU_ENTRY_STATUS);
  EXPECT_EQ(s[0].status, WU_E_SIZE_FIXED);
  EXPECT_EQ(s[1].status, WU_E_CREATE_ONLY);
  EXPECT_EQ(s[2].status, WU_UNSUPPORTED);
  EXPECT_EQ(s[3].status, WU_OK);
}

// `_add` before one past the last item appends; one past that is refused.
// One position selected just below the view scrolls the list so that it
// is the last row shown, where the user can click it; one at the last row
// shown, or above the top, shows it without scrolling past it.
TEST_F(ListBoxes, AddAfterTheLastItemAndASelectionJustBelowTheView) {
  std::vector<int32_t> all = {17};
  wu_ctl_handle *h = Create(WU_CTYPE_LISTBOX, {List(WU_A_EVENTS, all)});
  wu_control *c = h->control;
  Widget list = W(h);
  std::vector<std::string> texts;
  std::vector<int32_t> ids;
  for (int i = 1; i <= 30; ++i) {
    texts.push_back("item " + std::to_string(i));
    ids.push_back(100 + i);
  }
  ASSERT_EQ(AddItems(h, texts, ids), WU_OK);
  auto text_at = [&](int pos) {   // the widget counts its texts from 0
    XmString t = nullptr;
    if (!XdIconListGetText(list, pos - 1, &t)) return std::string("<none>");
    char *chars = wumgstr(t);
    std::string out = chars ? chars : "";
    XtFree(chars);
    XmStringFree(t);
    return out;
  };

  EXPECT_EQ(AddItems(h, {"last"}, {131}, 31), WU_OK);
  EXPECT_EQ(Rows(h), 31);
  EXPECT_EQ(text_at(31), "last");
  EXPECT_EQ(XdIconListGetId(list, 31), 131);
  EXPECT_EQ(text_at(30), "item 30");
  EXPECT_EQ(AddItems(h, {"two", "more"}, {132, 133}, 32), WU_OK);
  EXPECT_EQ(text_at(33), "more");
  EXPECT_EQ(AddItems(h, {"far"}, {199}, 35), WU_NOTAVAIL);
  EXPECT_EQ(Rows(h), 33);
  EXPECT_EQ(text_at(34), "<none>");

  auto top = [&] {
    wu_value v = Int(WU_A_TOPROW, 0);
    h->services->qwat(c, &v, 1);
    return v.value;
  };
  auto select = [&](int32_t pos) {
    std::vector<int32_t> one = {pos};
    wu_value v = List(WU_A_SELECTEDINDEXES, one);
    EXPECT_EQ(h->services->swat(c, &v, 1), WU_OK);
    Settle();
  };
  Widget inner = XdIconListGetChild(list, XdICONLIST_LIST);
  // Whether the server shows row `pos` inside the list's window.
  auto shown = [&](int pos) {
    Position x = 0, y = 0;
    Dimension w = 0, ht = 0;
    return XmListPosToBounds(inner, pos, &x, &y, &w, &ht) && y + ht <= inner->core.height;
  };
  const int visible = XdIconListVisibleItems(list);
  ASSERT_GT(visible, 1);
  ASSERT_LT(visible + 2, Rows(h));
  ASSERT_EQ(top(), 1);
  select(visible);   // the last row shown: no scrolling
  EXPECT_EQ(top(), 1);
  select(visible + 1);   // just below: shown as the last row
  EXPECT_EQ(top(), 2);
  EXPECT_TRUE(shown(visible + 1));
  EXPECT_FALSE(shown(visible + 2));
  Events();
  ASSERT_TRUE(qevtest::clickRowHandled(inner, visible + 1));
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ClickIds(ev[0]), std::vector<int32_t>{100 + visible + 1});
  select(1);   // above the top: shown at the top
  EXPECT_EQ(top(), 1);
  EXPECT_TRUE(shown(1));
}

TEST_F(ListBoxes, ListBoxStandByListIsHandedToTheBuiltList) {
  wu_window *late = nullptr;
  wu_pane *pane = nullptr;
  ASSERT_EQ(wuxgwnd(&late, 1, 0), WU_OK);
  late->flags |= WU_WIN_HOST_REALIZES;
  ASSERT_EQ(wuxgpan(late, &pane, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
  wu_ctl_handle *h = nullptr;
  wu_value mode = Int(WU_A_SELECTIONMODE, 2);
  ASSERT_EQ(crea_(&h, pane, nullptr, WU_CTYPE_LISTBOX, &mode, 1, HostProc), WU_OK);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(W(h), nullptr);
  EXPECT_EQ(AddItems(h, {"one", "two", "three"}, {11, 12, 13}, -1, {2, -1, 10}), WU_OK);
  std::vector<int32_t> sel = {2, 3};
  wu_value s = List(WU_A_SELECTEDINDEXES, sel);
  EXPECT_EQ(h->services->swat(h->control, &s, 1), WU_OK);

  late->flags &= ~WU_WIN_HOST_REALIZES;
  ASSERT_EQ(wuxiwnd(late), WU_OK);
  Settle();
  Widget list = W(h);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Rows(h), 3);
  EXPECT_EQ(XdIconListGetId(list, 3), 13);
  EXPECT_EQ(XdIconListGetIcon(list, 1), devb->icon_cache[WU_ICACHE_16][2]);
  XmString t = nullptr;
  ASSERT_TRUE(XdIconListGetText(list, 1, &t));
  char *text = wumgstr(t);
  EXPECT_STREQ(text, "two");
  XtFree(text);
  XmStringFree(t);
  int *pos = nullptr, n = 0;
  XdIconListGetSelectedPos(list, &pos, &n);
  EXPECT_EQ(n, 2);
  XtFree(reinterpret_cast<char *>(pos));
  unsigned char policy = 0;
  XtVaGetValues(list, XmNselectionPolicy, &policy, nullptr);
  EXPECT_EQ(policy, 2);
  wuxfwnd(late);
}

TEST_F(ListBoxes, ListBoxEventsAndReplay) {
  std::vector<int32_t> all = {17};
  wu_ctl_handle *h = Create(WU_CTYPE_LISTBOX, {List(WU_A_EVENTS, all)});
  Widget list = W(h);
  ASSERT_EQ(AddItems(h, {"a", "b"}, {21, 22}), WU_OK);
  Events();
  XdIconListSelectPos(list, 2, True);
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_SELECT);
  EXPECT_EQ(ClickIds(ev[0]), std::vector<int32_t>{22});
  // A double click on the first row: its first click selects it, the
  // second posts the row's id.
  Widget inner = XdIconListGetChild(list, XdICONLIST_LIST);
  ASSERT_TRUE(qevtest::doubleClickRowHandled(inner, 1));
  ev = Events();
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].code, WU_EV_SELECT);
  EXPECT_EQ(ClickIds(ev[0]), std::vector<int32_t>{21});
  EXPECT_EQ(ev[1].code, WU_EV_DOUBLECLICK);
  EXPECT_EQ(ev[1].params[0].value, 21);
  // Replaying the double click sends the same id.
  wu_batch_event dbl = {};
  dbl.code = WU_EV_DOUBLECLICK;
  dbl.value1 = 1;
  dbl.sent = 1;
  EXPECT_EQ(h->services->rbat(h, &dbl), WU_OK);
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].params[0].value, 21);
  wu_batch_event col = {};
  col.code = WU_EV_COLUMNCLICK;
  EXPECT_EQ(h->services->rbat(h, &col), WU_NOTAVAIL);
  // Focus: the inner list.
  EXPECT_EQ(h->services->focs(h), WU_OK);
  EXPECT_EQ(wu_module()->focus, XdIconListGetChild(list, XdICONLIST_LIST));
}

}  // namespace

namespace {

class ListBoxSites : public Lists {};

// Unregistering keeps the list's site: it stops naming the control, and a
// later register takes the same site up again.
TEST_F(ListBoxSites, UnregisterKeepsTheSiteAndRegisterTakesItBack) {
  wu_ctl_handle *h = Create(WU_CTYPE_LISTBOX);
  wu_control *c = h->control;
  void *site = nullptr;
  ASSERT_EQ(c->RegisterDND(h, &site, nullptr, nullptr), WU_OK);
  ASSERT_NE(site, nullptr);
  auto *s = static_cast<wu_dnd_site *>(site);
  EXPECT_EQ(s->owner, h);
  EXPECT_EQ(c->UnregisterDND(h, site, nullptr, nullptr), WU_OK);
  EXPECT_EQ(s->owner, nullptr);
  EXPECT_EQ(s->kind, WU_CTYPE_TREEVIEW);
  wu_value kind = Int(WU_DND_A_KIND, 0);
  const auto one = reinterpret_cast<void *>(intptr_t(1));
  EXPECT_EQ(c->QueryDND(h, site, &kind, one), WU_OK);
  EXPECT_EQ(c->UnregisterDND(h, nullptr, nullptr, nullptr), WU_NOTAVAIL);
  void *again = nullptr;
  ASSERT_EQ(c->RegisterDND(h, &again, nullptr, nullptr), WU_OK);
  EXPECT_EQ(again, site);
  EXPECT_EQ(s->owner, h);
}

}  // namespace
