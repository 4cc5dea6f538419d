// Menus from a menu description of 4,096 items in 200 submenus (and 1,024
// items in 50, to show how the cost grows; only those in the smallest-size
// mode): reading the entry, the first showing of the menu bar and opening
// one submenu with a click; then a popup menu of 500 items shown and
// answered.  The peers are plain Motif programs working from the same
// items: one builds every pulldown at once, the careful one fills a
// pulldown when it is first opened.  Each peer's shell has the module
// window's size and place and is the only one mapped while it is measured;
// both sides must draw their bar (the cascade buttons that fit the window;
// how many is noted) and the submenu a click opens, else the program fails.
// Widget counts are printed as notes.  The popup is answered by calling its
// middle item's activation: the item lies far outside the screen.
#include "benchutil.h"

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/CascadeB.h>
#include <Xm/MainW.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>

#include <cstring>
#include <unistd.h>
#include <X11/keysym.h>
#include <string>
#include <vector>

#include "menus/wumenus.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"
#include "xinput.h"

namespace {

const char kLib[] = "BENCH";
const char kCat[] = "MENUS";
const int kPopupItems = 500;
bool g_failed = false;

struct Shape {
  int items;
  int submenus;
};
const Shape kShapes[] = {{1024, 50}, {4096, 200}};

void settle() {
  for (int round = 0; round < 3; ++round) {
    XSync(devb->display, False);
    qevbench::dispatchPending(devb->app);
  }
}

// The shell a widget lives in.
Widget ShellOf(Widget w) {
  while (w && !XtIsShell(w)) w = XtParent(w);
  return w;
}

std::vector<Widget> Children(Widget w) {
  std::vector<Widget> out;
  if (!w || !XtIsComposite(w)) return out;
  CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
  for (Cardinal i = 0; i < c->composite.num_children; ++i)
    if (XtIsManaged(c->composite.children[i])) out.push_back(c->composite.children[i]);
  return out;
}

// Opens a menu bar's submenu with a click, as a user does, and turns the
// loop until the submenu is up and drawn (at most two seconds).
bool OpenByClick(Widget cascade) {
  qevtest::clickWidget(cascade);
  for (int i = 0; i < 200; ++i) {
    settle();
    Widget sub = nullptr;
    XtVaGetValues(cascade, XmNsubMenuId, &sub, nullptr);
    if (sub && XtIsManaged(sub) && qevbench::drawn(sub)) return true;
    usleep(10000);
  }
  return false;
}

// Takes the submenu down again with Escape.
void CloseByKey() {
  qevtest::pressKey(devb->display, XK_Escape);
  settle();
}

template <class F>
void measure(const std::string &label, F &&f) {
  qevbench::measure(label, [&] {
    f();
    settle();
  });
}

std::string ItemLabel(int sub, int i) { return "Item " + std::to_string(sub) + "." + std::to_string(i); }

// The submenu sizes: the items spread over the submenus.
std::vector<int> Sizes(const Shape &s) {
  std::vector<int> n(size_t(s.submenus), s.items / s.submenus);
  for (int i = 0; i < s.items % s.submenus; ++i) n[size_t(i)]++;
  return n;
}

std::string Entry(const Shape &s) { return "M" + std::to_string(s.items); }

void WriteEntry(const Shape &s) {
  std::vector<qevhost::MenuNode> nodes;
  qevhost::MenuNode root;
  root.number = 1;
  for (int k = 0; k < s.submenus; ++k) {
    qevhost::MenuItem it;
    it.label = "Menu" + std::to_string(k);
    it.submenu = k + 2;
    root.items.push_back(it);
  }
  nodes.push_back(root);
  std::vector<int> sizes = Sizes(s);
  for (int k = 0; k < s.submenus; ++k) {
    qevhost::MenuNode m;
    m.number = k + 2;
    for (int i = 0; i < sizes[size_t(k)]; ++i) {
      qevhost::MenuItem it;
      it.label = ItemLabel(k, i);
      it.itemId = k * 1000 + i;
      m.items.push_back(it);
    }
    nodes.push_back(m);
  }
  qevhost::writeMenu(kLib, kCat, Entry(s), nodes);
}

void Name34(char *field, const std::string &s) {
  int16_t n = int16_t(s.size());
  std::memcpy(field, &n, 2);
  std::memset(field + 2, ' ', QEV_NAME34_LEN - 2);
  std::memcpy(field + 2, s.data(), s.size());
}

struct Location {
  char libref[QEV_LIBREF_LEN];
  char catalog[QEV_NAME34_LEN];
  char entry[QEV_NAME34_LEN];
};
Location Loc(const std::string &entry) {
  Location l;
  std::memset(l.libref, ' ', sizeof l.libref);
  std::memcpy(l.libref, kLib, std::strlen(kLib));
  Name34(l.catalog, kCat);
  Name34(l.entry, entry);
  return l;
}

int CountWidgets(Widget w) {
  if (!w) return 0;
  int n = 1;
  if (XtIsComposite(w)) {
    CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
    for (Cardinal i = 0; i < c->composite.num_children; ++i) n += CountWidgets(c->composite.children[i]);
  }
  for (Cardinal i = 0; i < w->core.num_popups; ++i) n += CountWidgets(w->core.popup_list[i]);
  return n;
}

// The peer's reading of the same entry: every record of the member into
// memory, as a careful program would before building its own menus.
int PeerRead(const std::string &entry) {
  const qev_kernel *k = qevhost::gcb()->kernel;
  Location l = Loc(entry);
  qev_lib *lib = nullptr;
  qev_member *m = nullptr;
  if (k->ylopen(&lib, QEV_LIB_READ, l.libref, l.catalog) != WU_OK) return 0;
  int records = 0;
  if (k->ylmopen(lib, l.entry, WU_PMENU_MEMBER_TYPE, QEV_LIB_READ, &m) == WU_OK) {
    std::vector<std::vector<char>> recs;
    std::vector<char> buf(1 << 20);
    int32_t len = 0;
    while (k->ylmread(m, buf.data(), int32_t(buf.size()), &len, 0) == WU_OK) {
      recs.emplace_back(buf.begin(), buf.begin() + len);
      ++records;
    }
    k->ylmclos(m, 0);
  }
  k->ylclose(lib);
  return records;
}

// ---- the peers: plain Motif menu bars ----

struct PeerMenu {
  std::vector<std::vector<std::string>> labels;
  Widget shell = nullptr;
  Widget bar = nullptr;
  std::vector<Widget> cascades;
};

void PeerChosen(Widget, XtPointer client, XtPointer) { ++*static_cast<int *>(client); }
int g_chosen = 0;

void FillPulldown(Widget pull, const std::vector<std::string> &labels) {
  std::vector<Widget> kids;
  for (const std::string &l : labels) {
    XmString s = XmStringCreateLocalized(const_cast<char *>(l.c_str()));
    Arg a[2];
    XtSetArg(a[0], XmNlabelString, s);
    Widget b = XmCreatePushButton(pull, const_cast<char *>("PushButton"), a, 1);
    XmStringFree(s);
    XtAddCallback(b, XmNactivateCallback, PeerChosen, &g_chosen);
    kids.push_back(b);
  }
  XtManageChildren(kids.data(), Cardinal(kids.size()));
}

struct LazyData {
  const std::vector<std::string> *labels;
  bool filled;
};

void PeerCascading(Widget cascade, XtPointer client, XtPointer) {
  auto *d = static_cast<LazyData *>(client);
  if (d->filled) return;
  d->filled = true;
  Widget pull = nullptr;
  XtVaGetValues(cascade, XmNsubMenuId, &pull, nullptr);
  FillPulldown(pull, *d->labels);
}

// The module window's shell size and place, which the peers take.
struct Geometry {
  Position x = 0, y = 0;
  Dimension width = 800, height = 200;
};

void PeerBuild(PeerMenu *pm, bool lazy, std::vector<LazyData> *data, const Geometry &g) {
  pm->shell = XtVaAppCreateShell("peer", "Peer", topLevelShellWidgetClass, devb->display,
                                 XmNvisual, devb->visual, XmNdepth, devb->depth, XmNcolormap,
                                 devb->colormap, XmNx, g.x, XmNy, g.y, XmNwidth, g.width,
                                 XmNheight, g.height, nullptr);
  Widget main = XtVaCreateManagedWidget("main", xmMainWindowWidgetClass, pm->shell, nullptr);
  pm->bar = XmCreateMenuBar(main, const_cast<char *>("MenuBar"), nullptr, 0);
  data->resize(pm->labels.size());
  for (size_t k = 0; k < pm->labels.size(); ++k) {
    Widget pull = XmCreatePulldownMenu(pm->bar, const_cast<char *>("PullDown"), nullptr, 0);
    std::string name = "Menu" + std::to_string(k);
    XmString s = XmStringCreateLocalized(const_cast<char *>(name.c_str()));
    Widget c = XtVaCreateManagedWidget("CascadeButton", xmCascadeButtonWidgetClass, pm->bar,
                                       XmNlabelString, s, XmNsubMenuId, pull, nullptr);
    XmStringFree(s);
    pm->cascades.push_back(c);
    if (lazy) {
      (*data)[k] = LazyData{&pm->labels[k], false};
      XtAddCallback(c, XmNcascadingCallback, PeerCascading, &(*data)[k]);
    } else {
      FillPulldown(pull, pm->labels[k]);
    }
  }
  XtManageChild(pm->bar);
  XtRealizeWidget(pm->shell);
}

// ---- the module ----

wu_window *NewWindow() {
  wu_window *w = nullptr;
  wuxgwnd(&w, 1, WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  wu_pane *p = nullptr;
  wuxgpan(w, &p, 1, 1, 5, WU_FULL_WIDTH, 0);
  wuxiwnd(w);
  settle();
  return w;
}

void BenchMenuBar(const Shape &s) {
  WriteEntry(s);
  const std::string size = std::to_string(s.items);
  Location l = Loc(Entry(s));
  wu_window *w = NewWindow();
  wu_menu_set *set = nullptr;
  measure("menus.load.xd." + size, [&] {
    wuxlmnu(w, nullptr, l.libref, l.catalog, l.entry, nullptr, 0, &set);
  });
  int records = 0;
  measure("menus.load.motif-read." + size, [&] { records = PeerRead(Entry(s)); });
  if (!set || set->node_count != s.submenus + 1 || records == 0) {
    qevbench::failed("menus: entry not loaded");
    g_failed = true;
  }
  w->menu_set = set;
  const int before = CountWidgets(w->outer);
  qevbench::clearExposures();
  measure("menus.show.xd." + size, [&] { wutiamu(w); });
  const int shown = CountWidgets(w->outer) - before;
  const std::vector<Widget> xd_cascades = Children(w->menu_widget);
  const int xd_drawn = qevbench::drawnCount(xd_cascades);
  bool xd_opened = false;
  if (xd_cascades.size() > 1) {
    qevbench::clearExposures();
    measure("menus.open.xd." + size, [&] { xd_opened = OpenByClick(xd_cascades[1]); });
    CloseByKey();
  }
  const int opened = CountWidgets(w->outer) - before;
  Geometry g;
  Widget module_shell = ShellOf(w->outer);
  XtTranslateCoords(module_shell, 0, 0, &g.x, &g.y);
  g.width = module_shell->core.width;
  g.height = module_shell->core.height;
  XtUnmapWidget(module_shell);
  settle();

  PeerMenu eager, lazy;
  std::vector<int> sizes = Sizes(s);
  for (int k = 0; k < s.submenus; ++k) {
    std::vector<std::string> labels;
    for (int i = 0; i < sizes[size_t(k)]; ++i) labels.push_back(ItemLabel(k, i));
    eager.labels.push_back(labels);
  }
  lazy.labels = eager.labels;
  std::vector<LazyData> d1, d2;
  qevbench::clearExposures();
  measure("menus.show.motif-eager." + size, [&] { PeerBuild(&eager, false, &d1, g); });
  const int eager_drawn = qevbench::drawnCount(eager.cascades);
  XtUnmapWidget(eager.shell);
  settle();
  qevbench::clearExposures();
  measure("menus.show.motif-lazy." + size, [&] { PeerBuild(&lazy, true, &d2, g); });
  const int lazy_drawn = qevbench::drawnCount(lazy.cascades);
  bool lazy_opened = false;
  qevbench::clearExposures();
  measure("menus.open.motif-lazy." + size, [&] { lazy_opened = OpenByClick(lazy.cascades[1]); });
  CloseByKey();
  qevbench::note("menus " + size + " items: widgets after showing the bar: xd " +
                 std::to_string(shown) + ", motif-eager " + std::to_string(CountWidgets(eager.shell)) +
                 ", motif-lazy " + std::to_string(CountWidgets(lazy.shell)) +
                 "; after opening one submenu: xd " + std::to_string(opened) +
                 "; cascades drawn in a " + std::to_string(g.width) + "x" + std::to_string(g.height) +
                 " window: xd " + std::to_string(xd_drawn) + " of " + std::to_string(xd_cascades.size()) +
                 ", motif-eager " + std::to_string(eager_drawn) + ", motif-lazy " +
                 std::to_string(lazy_drawn) + " of " + std::to_string(lazy.cascades.size()) +
                 "; submenu opened by a click: xd " + (xd_opened ? "yes" : "NO") + ", motif-lazy " +
                 (lazy_opened ? "yes" : "NO"));
  if (xd_drawn == 0 || eager_drawn == 0 || lazy_drawn == 0 || !xd_opened || !lazy_opened) {
    qevbench::failed("menus " + size + ": the bars were not drawn alike or a submenu did not open");
    g_failed = true;
  }
  XtDestroyWidget(eager.shell);
  XtDestroyWidget(lazy.shell);
  wuxfwnd(w);
  settle();
}

// Answers a shown popup: chooses its middle item, then lets it go.
struct Answer {
  Widget *menu;
  int tries;
};
void AnswerPopup(XtPointer client, XtIntervalId *) {
  auto *a = static_cast<Answer *>(client);
  Widget menu = *a->menu;
  if (!menu || !XtIsManaged(menu) || !XtIsRealized(XtParent(menu))) {
    if (++a->tries < 10000) XtAppAddTimeOut(devb->app, 1, AnswerPopup, client);
    return;
  }
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(menu, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  if (n > 0) XtCallCallbacks(kids[n / 2], XmNactivateCallback, nullptr);
  XtUnmanageChild(menu);
}

struct Watch {
  wu_popup_menu *p;
  Answer *a;
};
void WatchPopup(XtPointer client, XtIntervalId *id) {
  auto *wt = static_cast<Watch *>(client);
  if (!wt->p->widget) {
    XtAppAddTimeOut(devb->app, 1, WatchPopup, client);
    return;
  }
  *wt->a->menu = wt->p->widget;
  AnswerPopup(wt->a, id);
}

void BenchPopup() {
  qevhost::MenuNode root;
  root.number = 1;
  for (int i = 0; i < kPopupItems; ++i) {
    qevhost::MenuItem it;
    it.label = "Choice " + std::to_string(i);
    root.items.push_back(it);
  }
  qevhost::writeMenu(kLib, kCat, "POPUP", {root});
  wu_window *w = NewWindow();
  Location l = Loc("POPUP");
  wu_popup_menu *p = nullptr;
  wuxgpmu(w, nullptr, l.libref, l.catalog, l.entry, &p);
  wu_status result = -1;
  Widget menu = nullptr;
  Answer a{&menu, 0};
  // The record's widget is made by the show: the answer watches the record.
  Watch watch{p, &a};
  XtAppAddTimeOut(devb->app, 1, WatchPopup, &watch);
  measure("popup.show-answer.xd.500", [&] { result = wuxdpmu(w, p); });
  int queued = wutcqev(w);
  const int xd_widgets = CountWidgets(p->widget);

  // Peer: a popup menu of 500 buttons, posted and answered the same way.
  Widget peer = nullptr;
  measure("popup.show-answer.motif.500", [&] {
    peer = XmCreatePopupMenu(w->work_form, const_cast<char *>("peer"), nullptr, 0);
    std::vector<std::string> labels;
    for (int i = 0; i < kPopupItems; ++i) labels.push_back("Choice " + std::to_string(i));
    FillPulldown(peer, labels);
    XButtonPressedEvent ev = {};
    ev.type = ButtonPress;
    ev.x_root = 100;
    ev.y_root = 100;
    ev.button = 1;
    XmMenuPosition(peer, &ev);
    Answer pa{&peer, 0};
    XtAppAddTimeOut(devb->app, 1, AnswerPopup, &pa);
    XtManageChild(peer);
    while (XtIsManaged(peer)) XtAppProcessEvent(devb->app, XtIMAll);
  });
  if (result != WU_OK || queued < 1 || g_chosen < 1) {
    qevbench::failed("popup: no choice reached the host on both sides");
    g_failed = true;
  }
  qevbench::note("popup 500 items: result " + std::to_string(result) + ", commands queued " +
                 std::to_string(queued) + ", peer choices " + std::to_string(g_chosen) +
                 "; widgets: xd " + std::to_string(xd_widgets) + ", motif " +
                 std::to_string(CountWidgets(peer)));
  wuxfwnd(w);
  settle();
}

}  // namespace

int main() {
  if (!qevhost::start() || !qevhost::loadModule(QEV_MODULE_PATH)) return 1;
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW));
  auto init = reinterpret_cast<wu_status (*)(void)>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_INIT]));
  auto term = reinterpret_cast<wu_status (*)(void)>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_TERM]));
  if (init() != WU_OK) return 1;
  qevhost::defineLibrary(kLib);
  qevbench::countOn(devb->display);
  // The benchmark's clicks and keys reach the window they aim at.
  XSetInputFocus(devb->display, PointerRoot, RevertToPointerRoot, CurrentTime);
  for (const Shape &s : kShapes) {
    // The smallest-size mode: the smaller menu only.
    if (qevbench::smallest() && &s != &kShapes[0]) break;
    BenchMenuBar(s);
  }
  BenchPopup();
  term();
  qevhost::unloadModule();
  qevhost::stop();
  return g_failed ? 1 : 0;
}
