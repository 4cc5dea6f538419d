// The list view, list box and tree view controls against the widgets' own
// calls on the same data: filling (texts made into compound strings on both
// sides), the selection query, deselecting, deleting 1,000 rows and finding
// the last row at 10,000 and 100,000 rows, and inserting and deleting
// 1,000, 10,000 and 100,000 tree nodes (100 top-level nodes, the rest
// collapsed below them; both trees in the same area, showing the same
// rows).  The controls run inside the module started by the
// stand-in host, as a host drives them.
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench/run.sh BUILD_DIR controls
#include "benchutil.h"
#include "treeview.h"

#include <X11/IntrinsicP.h>
#include <Xm/Form.h>
#include <Xm/ScrolledW.h>
#include <Xm/Xm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "qev/catalog.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"
#include "xd/IconList.h"
#include "xd/MCIconList.h"
#include "xd/TreeP.h"

namespace {

const int kSizes[] = {10000, 100000};
const int kNodeSizes[] = {1000, 10000, 100000};
const int kColumns = 4;
const int kScattered = 1000;
const int kIcon = 10;

using qevhost::slot;
using CreaFn = wu_status (*)(wu_ctl_handle **, wu_pane *, void *, int32_t, wu_value *, int32_t,
                             wu_evproc);
using ClvwFn = wu_status (*)(wu_control *, int32_t, const wu_lvw_rows *, int32_t, int32_t);

wu_window *window;
wu_pane *pane;

void pump() {
  XSync(devb->display, False);
  while (XtAppPending(devb->app)) XtAppProcessEvent(devb->app, XtIMAll);
}

void fail(const char *what) {
  std::fprintf(stderr, "bench: %s\n", what);
  std::exit(1);
}

// Row texts: "row N", a size, a date and a kind.
struct Rows {
  std::vector<std::string> text;        // rows * columns
  std::vector<wu_str_item> items;
  std::vector<const wu_str_item *> table;
  std::vector<int32_t> ids, icons;
  explicit Rows(int n) {
    text.reserve(size_t(n) * kColumns);
    for (int r = 0; r < n; ++r) {
      text.push_back("row " + std::to_string(r + 1));
      text.push_back(std::to_string((r * 7919) % 100000));
      text.push_back("2026-12-" + std::to_string(1 + r % 28));
      text.push_back(r % 3 ? "document" : "folder");
    }
    for (const std::string &t : text) items.push_back(wu_str_item{int32_t(t.size()), 0, t.c_str()});
    for (int r = 0; r < n; ++r) {
      table.push_back(&items[size_t(r) * kColumns]);
      ids.push_back(r + 1);
      icons.push_back(kIcon);
    }
  }
};

wu_ctl_handle *create(int32_t type) {
  wu_ctl_handle *h = nullptr;
  auto crea = slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA);
  wu_value size[3] = {};
  size[2].code = WU_A_SELECTIONMODE; size[2].type = WU_VT_INT; size[2].value = 2;
  size[0].code = WU_A_WIDTH; size[0].type = WU_VT_INT; size[0].value = 600;
  size[1].code = WU_A_HEIGHT; size[1].type = WU_VT_INT; size[1].value = 400;
  if (crea(&h, pane, nullptr, type, size, type == WU_CTYPE_TREEVIEW ? 2 : 3, nullptr) != WU_OK || h == nullptr) fail("create");
  return h;
}

void add_columns(wu_ctl_handle *h) {
  for (int k = 0; k < kColumns; ++k) {
    wu_value p[6] = {};
    p[0].value = -1;
    p[1].value = 80;
    p[2].type = WU_VT_STRING;
    p[2].pointer = const_cast<char *>("col");
    p[2].value = 3;
    h->services->meth(h, WU_M_ADDCOLUMN, p, 6);
  }
}

// A plain form with an XdMCIconList of four columns: the peer.
Widget peer_mc() {
  Widget form = XtVaCreateManagedWidget("peer", xmFormWidgetClass, pane->ext->widget, XmNwidth, 600,
                                        XmNheight, 400, nullptr);
  Arg a;
  XtSetArg(a, XmNselectionPolicy, XmEXTENDED_SELECT);
  Widget mc = XdCreateMCIconList(form, const_cast<char *>("mc"), &a, 1);
  for (int k = 0; k < kColumns; ++k) {
    XmString s = XmStringCreateLocalized(const_cast<char *>("col"));
    XdMCIconListAddColumn(mc, s, 80, 0, 0, 0, nullptr);
    XmStringFree(s);
  }
  XtManageChild(mc);
  return form;
}

int rows_of(Widget mc) {
  XmString *s = nullptr;
  int n = 0;
  // Count by walking ids: the last row has an id, the one after none.
  for (int lo = 1, hi = 1 << 20; lo <= hi;) {
    int mid = (lo + hi) / 2;
    if (XdMCIconListGetRowString(mc, mid - 1, &s) > 0) { n = mid; lo = mid + 1; } else hi = mid - 1;
    XtFree(reinterpret_cast<char *>(s));
    s = nullptr;
  }
  return n;
}

void list_view(int n) {
  const std::string sz = std::to_string(n);
  Rows rows(n);
  // The control.
  wu_ctl_handle *h = create(WU_CTYPE_LISTVIEW);
  add_columns(h);
  auto clvw = slot<ClvwFn>(QEV_TABLE_METHODS, WUXP_SLOT_CLVW);
  wu_lvw_rows data = {rows.table.data(), rows.icons.data(), rows.ids.data()};
  qevbench::measure("lsv.add.xd." + sz, [&] { clvw(h->control, 1, &data, -1, n); });
  pump();
  Widget list = wuwgxtw(h->control);
  // The peer: the same texts made into strings, one widget call.
  Widget form = peer_mc();
  Widget mc = nullptr;
  mc = reinterpret_cast<CompositeWidget>(form)->composite.children[0];
  qevbench::measure("lsv.add.widget." + sz, [&] {
    std::vector<std::vector<XmString>> cols(kColumns, std::vector<XmString>(size_t(n)));
    for (int r = 0; r < n; ++r)
      for (int k = 0; k < kColumns; ++k)
        cols[size_t(k)][size_t(r)] = XmStringCreate(
            const_cast<char *>(rows.text[size_t(r) * kColumns + size_t(k)].c_str()),
            const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
    std::vector<XmString *> by(kColumns);
    for (int k = 0; k < kColumns; ++k) by[size_t(k)] = cols[size_t(k)].data();
    std::vector<Pixmap> pix(size_t(n), wutgtpm(kIcon, WU_ICON_SMALL));
    XtUnmanageChild(mc);
    XdMCIconListAddItems(mc, pix.data(), by.data(), rows.ids.data(), n, 0);
    XtManageChild(mc);
    for (auto &c : cols)
      for (XmString s : c) XmStringFree(s);
  });
  pump();
  if (rows_of(list) != n || rows_of(mc) != n) fail("list view rows differ");

  // Selection query after selecting every tenth row.
  std::vector<int> every;
  for (int r = 1; r <= n; r += 10) every.push_back(r);
  XdMCIconListSelectPositions(list, int(every.size()), every.data(), False);
  XdMCIconListSelectPositions(mc, int(every.size()), every.data(), False);
  wu_value q = {};
  q.code = WU_A_SELECTEDINDEXES;
  qevbench::measure("lsv.selected.xd." + sz, [&] { h->services->qwat(h->control, &q, 1); });
  int *pos = nullptr, count = 0;
  qevbench::measure("lsv.selected.widget." + sz, [&] { XdMCIconListGetSelectedPos(mc, &pos, &count); });
  if (q.value != count || count != int(every.size())) {
    std::fprintf(stderr, "%d %d %zu\n", q.value, count, every.size());
    fail("selection answers differ");
  }
  XtFree(reinterpret_cast<char *>(pos));

  // _deselect of the selected rows.
  std::vector<int32_t> sel(every.begin(), every.begin() + std::min<size_t>(every.size(), kScattered));
  wu_value d = {};
  d.type = WU_VT_INTLIST;
  d.value = int32_t(sel.size());
  d.pointer = sel.data();
  qevbench::measure("lsv.deselect.xd." + sz, [&] { h->services->meth(h, WU_M_DESELECT, &d, 1); });
  qevbench::measure("lsv.deselect.widget." + sz, [&] {
    for (int32_t r : sel) XdMCIconListDeselectPos(mc, r);
  });

  // _deleteRows of 1,000 rows from the middle.
  wu_value del[2] = {};
  del[0].value = n / 2;
  del[1].value = kScattered;
  qevbench::measure("lsv.delete1000.xd." + sz, [&] { h->services->meth(h, WU_M_DELETE, del, 2); });
  qevbench::measure("lsv.delete1000.widget." + sz, [&] {
    std::vector<int> p(kScattered);
    for (int i = 0; i < kScattered; ++i) p[size_t(i)] = n / 2 + i;
    XtUnmanageChild(form);
    XdMCIconListDeletePositions(mc, p.data(), kScattered);
    XtManageChild(form);
  });
  pump();
  if (rows_of(list) != n - kScattered || rows_of(mc) != n - kScattered) fail("deletes differ");

  // _find of the last row's text.
  const std::string last = "row " + std::to_string(n);
  wu_value f[3] = {};
  f[0].value = 1;
  f[1].value = 1;
  f[2].type = WU_VT_STRING;
  f[2].pointer = const_cast<char *>(last.c_str());
  f[2].value = int32_t(last.size());
  qevbench::measure("lsv.findlast.xd." + sz, [&] { h->services->meth(h, WU_M_FIND, f, 3); });
  int found = 0;
  qevbench::measure("lsv.findlast.widget." + sz, [&] {
    const int total = n - kScattered;
    for (int r = 0; r < total && !found; ++r) {
      XmString *s = nullptr;
      if (XdMCIconListGetRowString(mc, r, &s) > 0 && s[0]) {
        char *t = static_cast<char *>(XmStringUnparse(s[0], nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT,
                                                      nullptr, 0, XmOUTPUT_ALL));
        if (t && strncasecmp(t, last.c_str(), last.size()) == 0) found = r + 1;
        XtFree(t);
      }
      XtFree(reinterpret_cast<char *>(s));
    }
  });
  if (f[0].value != found || found != n - kScattered) fail("finds differ");
  h->services->wdes(h);
  XtDestroyWidget(form);
  pump();
}

void list_box(int n) {
  const std::string sz = std::to_string(n);
  Rows rows(n);
  std::vector<wu_str_item> firsts;
  for (int r = 0; r < n; ++r) firsts.push_back(rows.items[size_t(r) * kColumns]);
  wu_ctl_handle *h = create(WU_CTYPE_LISTBOX);
  wu_value p[4] = {};
  p[0].value = -1;
  p[1].type = WU_VT_INTLIST; p[1].value = n; p[1].pointer = rows.icons.data();
  p[2].type = WU_VT_STRLIST; p[2].value = n; p[2].pointer = firsts.data();
  p[3].type = WU_VT_IDLIST; p[3].value = n; p[3].pointer = rows.ids.data();
  qevbench::measure("lbx.add.xd." + sz, [&] { h->services->meth(h, WU_M_ADD, p, 4); });
  Widget form = XtVaCreateManagedWidget("peer", xmFormWidgetClass, pane->ext->widget, nullptr);
  Widget il = XdCreateScrolledIconList(form, const_cast<char *>("il"), nullptr, 0);
  XtManageChild(il);
  qevbench::measure("lbx.add.widget." + sz, [&] {
    std::vector<XmString> s(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r)
      s[size_t(r)] = XmStringCreate(const_cast<char *>(rows.text[size_t(r) * kColumns].c_str()),
                                    const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
    std::vector<Pixmap> pix(size_t(n), wutgtpm(kIcon, WU_ICON_SMALL));
    XtUnmanageChild(il);
    XdIconListAddItems(il, pix.data(), s.data(), rows.ids.data(), n, 0);
    XtManageChild(il);
    for (XmString x : s) XmStringFree(x);
  });
  pump();
  if (XdIconListGetId(wuwgxtw(h->control), n) != n || XdIconListGetId(il, n) != n)
    fail("list box rows differ");
  h->services->wdes(h);
  XtDestroyWidget(form);
  pump();
}

int count_nodes(wu_tree *tree) {
  int n = 0;
  for (wu_tree_node *x = tree->root; x;) {
    ++n;
    if (x->first_child) { x = x->first_child; continue; }
    while (x && !x->next) x = x->parent;
    if (x) x = x->next;
  }
  return n;
}

// Labels on the screen: the rows drawn in view.
int shown_labels(wu_tree *tree) {
  int n = 0;
  const int h = tree->drawing_area->core.height;
  for (wu_tree_node *x = tree->root; x;) {
    XRectangle r;
    if (_XdTreeNodeRect(x, XdTREE_PART_LABEL, &r) && r.y >= 0 && r.y < h) ++n;
    if (x->first_child) { x = x->first_child; continue; }
    while (x && !x->next) x = x->parent;
    if (x) x = x->next;
  }
  return n;
}

void tree_view(int n) {
  const std::string sz = std::to_string(n);
  qevbench::TreeNodes nodes(n);
  wu_ctl_handle *h = create(WU_CTYPE_TREEVIEW);
  wu_value p[3] = {};
  p[1].type = WU_VT_NODE;
  p[1].pointer = &nodes.recs[0];
  p[2].value = 3;
  qevbench::measure("trv.addnodes.xd." + sz, [&] { h->services->meth(h, WU_M_ADDNODES, p, 3); });
  pump();
  wu_tree *tree = qevbench::treeOfView(h);
  if (tree == nullptr) fail("the control's tree");

  // The peer: a tree in a form of the control's size, filling it as the
  // control's does.
  Dimension width = 0, height = 0;
  XtVaGetValues(wu_ctl_outer(h->control), XmNwidth, &width, XmNheight, &height, nullptr);
  Widget form = XtVaCreateManagedWidget("peer", xmFormWidgetClass, pane->ext->widget, XmNwidth,
                                        width, XmNheight, height, XmNresizePolicy, XmRESIZE_NONE,
                                        nullptr);
  wu_tree *peer = XdCreateTree(form, nullptr, 0);
  XtVaSetValues(peer->scrolled_w, XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment,
                XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment,
                XmATTACH_FORM, nullptr);
  XtManageChild(peer->scrolled_w);
  pump();
  qevbench::measure("trv.addnodes.widget." + sz, [&] {
    const int per = nodes.per;
    for (int t = 0; t < qevbench::TreeNodes::kFolders; ++t) {
      auto *top = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
      top->text = XtNewString(nodes.labels[size_t(t * per)].c_str());
      top->expandable = 1;
      XdTreeInsertNodeAt(peer, nullptr, top, XdTREE_INSERT_LAST_CHILD);
      for (int k = 1; k < per; ++k) {
        auto *c = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
        c->text = XtNewString(nodes.labels[size_t(t * per + k)].c_str());
        XdTreeInsertNodeAt(peer, top, c, XdTREE_INSERT_LAST_CHILD);
      }
    }
    XdTreeDraw(peer);
  });
  pump();
  if (count_nodes(tree) != n || count_nodes(peer) != n) fail("trees differ");
  if (shown_labels(tree) != shown_labels(peer) || shown_labels(tree) == 0) {
    std::fprintf(stderr, "bench: %d labels shown against %d\n", shown_labels(tree),
                 shown_labels(peer));
    fail("trees show different rows");
  }

  // Deleting every node: top-level nodes in turn.
  qevhost::PoolStats before = qevhost::poolStats(window->pool);
  (void)before;
  qevbench::measure("trv.delete.xd." + sz, [&] {
    while (tree->root) {
      wu_node_record *copy = nullptr;
      wu_value g[2] = {};
      h->services->meth(h, WU_M_GETPARENT, g, 2);
      copy = static_cast<wu_node_record *>(g[1].pointer);
      wu_value d = {};
      d.type = WU_VT_NODE;
      d.pointer = copy;
      if (h->services->meth(h, WU_M_DELETENODE, &d, 1) != WU_OK) break;
    }
    pump();  // the redraw the deletions asked for
  });
  qevbench::measure("trv.delete.widget." + sz, [&] {
    while (peer->root) XdTreeDeleteTree(peer, peer->root);
    XdTreeDraw(peer);
    pump();  // the events the deletions caused, as the control's side has them
  });
  if (tree->root || peer->root) fail("deletes differ");
  qevbench::note("trv.delete." + sz + ": the control keeps each deleted node's cleared copy (" +
                 std::to_string(n) + " x " + std::to_string(sizeof(wu_node_record)) +
                 " bytes and its bookkeeping) until the control is released");
  h->services->wdes(h);
  XtDestroyWidget(form);
  pump();
}

}  // namespace

int main(int, char **) {
  if (!qevhost::start()) fail("host");
  if (!qevhost::loadModule(QEV_MODULE_PATH)) fail("module");
  auto init = slot<int32_t (*)(void)>(QEV_TABLE_WINDOW, WUX_SLOT_INIT);
  if (init == nullptr || init() != WU_OK) fail("start-up");
  if (wuxgwnd(&window, 1, 0) != WU_OK || wuxgpan(window, &pane, 1, 1, 30, WU_FULL_WIDTH, 0) != WU_OK ||
      wuxiwnd(window) != WU_OK)
    fail("window");
  pump();
  // QEV_BENCH_PART=trv (or lvw, lbx) runs one part alone.
  const char *part = std::getenv("QEV_BENCH_PART");
  auto runs = [&](const char *name) { return part == nullptr || std::strcmp(part, name) == 0; };
  if (runs("lvw"))
    for (int n : kSizes) list_view(n);
  if (runs("lbx"))
    for (int n : kSizes) list_box(n);
  if (runs("trv"))
    for (int n : kNodeSizes) tree_view(n);
  wuxfwnd(window);
  if (auto term = slot<int32_t (*)(void)>(QEV_TABLE_WINDOW, WUX_SLOT_TERM)) term();
  qevhost::unloadModule();
  qevhost::stop();
  return 0;
}
