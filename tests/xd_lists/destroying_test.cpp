// Callbacks that destroy the list they are called from, reached by real
// clicks and keys and by the programming interface, each case in a child
// process of its own; and a heap that stays flat over many lists made and
// destroyed.
#include "listtest.h"

#include "child.h"
#include "xd/IconListP.h"
#include "xd/MCIconListP.h"

#include <Xm/Form.h>
#include <malloc.h>

#include <functional>

using namespace listtest;

namespace {

struct Case {
  const char *name;
  std::function<void()> body;
};

// What a destroying callback saw and did.
struct Outcome {
  int calls = 0;
  bool destroyed = false;
};
Outcome g_out;
Widget g_victim = nullptr;

void destroyVictim(Widget, XtPointer, XtPointer) {
  ++g_out.calls;
  if (g_victim && !g_victim->core.being_destroyed) XtDestroyWidget(g_victim);
}
void noteDestroyed(Widget, XtPointer, XtPointer) { g_out.destroyed = true; }

XmString mk(const std::string &s) { return XmStringCreateLocalized(const_cast<char *>(s.c_str())); }

// A fresh connection for the child: the parent's stays the parent's.
void freshApp() {
  app() = App{};
  ASSERT_NE(app().dpy, nullptr);
  g_out = Outcome{};
}

// A realized icon list of 40 rows with icons under a shell of its own.
struct IL {
  Widget shell, il, list, icons;
  IL(unsigned char policy, bool scrolled, Widget parent = nullptr) {
    shell = parent ? parent : makeShell(300, 240);
    il = makeIconList(shell, policy, scrolled, 8);
    list = XdIconListGetChild(il, XdICONLIST_LIST);
    icons = XdIconListGetChild(il, XdICONLIST_ICONS);
    Pixmap red = xdlistdata::makeIcon(app().dpy, 16, 0xff0000);
    std::vector<XmString> s;
    std::vector<Pixmap> p;
    for (int i = 1; i <= 40; ++i) {
      s.push_back(mk("row " + std::to_string(i)));
      p.push_back(red);
    }
    XdIconListAddItems(il, p.data(), s.data(), nullptr, 40, 0);
    for (XmString x : s) XmStringFree(x);
    XtManageChild(il);
    if (!parent) XtRealizeWidget(shell);
    pump();
    g_victim = il;
    XtAddCallback(il, XtNdestroyCallback, noteDestroyed, nullptr);
  }
  int rowY(int pos) {
    Position x, y;
    Dimension w, h;
    XmListPosToBounds(list, pos, &x, &y, &w, &h);
    return y + h / 2;
  }
  void destroyOn(const char *name) { XtAddCallback(il, name, destroyVictim, nullptr); }
};

// A realized two-column list of 40 rows.
struct MC {
  Widget shell, mc, inner, second;
  explicit MC(unsigned char policy = XmBROWSE_SELECT, Widget parent = nullptr) {
    shell = parent ? parent : makeShell(400, 260);
    Arg a[4];
    XtSetArg(a[0], XdNcolumnCount, 2);
    XtSetArg(a[1], XmNselectionPolicy, policy);
    XtSetArg(a[2], XmNwidth, 380);
    XtSetArg(a[3], XmNheight, 240);
    mc = XdCreateMCIconList(shell, (char *)"mc", a, 4);
    std::vector<XmString> c0, c1;
    for (int i = 1; i <= 40; ++i) {
      c0.push_back(mk("name " + std::to_string(i)));
      c1.push_back(mk(std::to_string(i)));
    }
    XmString *cols[] = {c0.data(), c1.data()};
    XdMCIconListAddItems(mc, nullptr, cols, nullptr, 40, 0);
    for (XmString x : c0) XmStringFree(x);
    for (XmString x : c1) XmStringFree(x);
    XtManageChild(mc);
    if (!parent) XtRealizeWidget(shell);
    pump();
    inner = XdIconListGetChild(XdMCIconListGetChild(mc, 0, XdMCIL_LIST), XdICONLIST_LIST);
    second = XdMCIconListGetChild(mc, 1, XdMCIL_LIST);
    g_victim = mc;
    XtAddCallback(mc, XtNdestroyCallback, noteDestroyed, nullptr);
  }
  int rowY(Widget l, int pos) {
    Position x, y;
    Dimension w, h;
    XmListPosToBounds(l, pos, &x, &y, &w, &h);
    return y + h / 2;
  }
  void destroyOn(const char *name) { XtAddCallback(mc, name, destroyVictim, nullptr); }
};

// After the case: the callback ran, the widget went, and the application
// still makes and shows a list.
void expectSurvived() {
  pump();
  EXPECT_GE(g_out.calls, 1);
  EXPECT_TRUE(g_out.destroyed);
  IL again(XmBROWSE_SELECT, true);
  XdIconListSelectPos(again.il, 3, False);
  pump();
  EXPECT_EQ(selected(again.list), std::vector<int>{3});
}

std::vector<Case> iconListCases() {
  std::vector<Case> v;
  const struct {
    const char *name;
    unsigned char policy;
    const char *callback;
    std::vector<KeySym> mods;
  } clicks[] = {
      {"browse click", XmBROWSE_SELECT, XmNbrowseSelectionCallback, {}},
      {"single click", XmSINGLE_SELECT, XmNsingleSelectionCallback, {}},
      {"multiple click", XmMULTIPLE_SELECT, XmNmultipleSelectionCallback, {}},
      {"extended click", XmEXTENDED_SELECT, XmNextendedSelectionCallback, {}},
      {"extended Ctrl click", XmEXTENDED_SELECT, XmNmultipleSelectionCallback, {XK_Control_L}},
  };
  for (const auto &c : clicks)
    v.push_back({c.name, [c] {
                   IL l(c.policy, false);
                   l.destroyOn(c.callback);
                   click(l.icons, 5, l.rowY(3), 1, c.mods);
                 }});
  v.push_back({"extended Shift click", [] {
                 IL l(XmEXTENDED_SELECT, false);
                 click(l.icons, 5, l.rowY(2));
                 pauseClicks();
                 l.destroyOn(XmNmultipleSelectionCallback);
                 click(l.icons, 5, l.rowY(5), 1, {XK_Shift_L});
               }});
  v.push_back({"single click deselecting", [] {
                 IL l(XmSINGLE_SELECT, false);
                 XdIconListSelectPos(l.il, 3, False);
                 l.destroyOn(XmNsingleSelectionCallback);
                 click(l.icons, 5, l.rowY(3));
               }});
  v.push_back({"double click", [] {
                 IL l(XmBROWSE_SELECT, false);
                 l.destroyOn(XmNdefaultActionCallback);
                 doubleClick(l.icons, 5, l.rowY(3));
               }});
  v.push_back({"drag press", [] {
                 IL l(XmBROWSE_SELECT, false);
                 l.destroyOn(XdNdragCallback);
                 click(l.icons, 5, l.rowY(3), 2);
               }});
  v.push_back({"drag press selecting", [] {
                 IL l(XmBROWSE_SELECT, false);
                 XtAddCallback(l.il, XdNdragCallback, [](Widget, XtPointer, XtPointer) {}, nullptr);
                 l.destroyOn(XmNbrowseSelectionCallback);
                 click(l.list, 20, l.rowY(4), 2);
               }});
  v.push_back({"menu press", [] {
                 IL l(XmBROWSE_SELECT, false);
                 l.destroyOn(XdNpostMenuCallback);
                 click(l.list, 20, l.rowY(3), 1);
               }});
  for (KeySym k : {XK_Down, XK_Page_Down})
    v.push_back({k == XK_Down ? "Down key" : "Page Down key", [k] {
                   IL l(XmBROWSE_SELECT, true);
                   click(l.list, 20, l.rowY(1));
                   l.destroyOn(XmNbrowseSelectionCallback);
                   key(k);
                 }});
  v.push_back({"select positions, multiple", [] {
                 IL l(XmMULTIPLE_SELECT, false);
                 l.destroyOn(XmNmultipleSelectionCallback);
                 int pos[] = {2, 4};
                 XdIconListSelectPositions(l.il, 2, pos, True);
               }});
  v.push_back({"select positions, single", [] {
                 IL l(XmSINGLE_SELECT, false);
                 l.destroyOn(XmNsingleSelectionCallback);
                 int pos[] = {2};
                 XdIconListSelectPositions(l.il, 1, pos, True);
               }});
  v.push_back({"select position", [] {
                 IL l(XmBROWSE_SELECT, true);
                 l.destroyOn(XmNbrowseSelectionCallback);
                 XdIconListSelectPos(l.il, 5, True);
               }});
  // A click on a row of the list itself: the list scrolls itself on its
  // input and the icons follow once the event is done; a callback that
  // destroys the icon list, or the list inside it that it is handed, leaves
  // nothing to follow it.
  for (bool inner : {false, true})
    v.push_back({inner ? "list row clicked, its list destroyed" : "list row clicked", [inner] {
                   IL l(XmBROWSE_SELECT, true);
                   if (inner) {
                     g_victim = l.list;
                     XtAddCallback(l.list, XtNdestroyCallback, noteDestroyed, nullptr);
                   }
                   l.destroyOn(XmNbrowseSelectionCallback);
                   click(l.list, 20, l.rowY(3));
                 }});
  v.push_back({"shell destroyed by a click", [] {
                 IL l(XmBROWSE_SELECT, false);
                 g_victim = l.shell;
                 l.destroyOn(XmNbrowseSelectionCallback);
                 click(l.icons, 5, l.rowY(3));
               }});
  return v;
}

std::vector<Case> mcCases() {
  std::vector<Case> v;
  v.push_back({"click on the first column", [] {
                 MC m;
                 m.destroyOn(XmNbrowseSelectionCallback);
                 click(m.inner, 20, m.rowY(m.inner, 3));
               }});
  v.push_back({"click on the first column, its list destroyed", [] {
                 MC m;
                 g_victim = m.inner;
                 XtAddCallback(m.inner, XtNdestroyCallback, noteDestroyed, nullptr);
                 m.destroyOn(XmNbrowseSelectionCallback);
                 click(m.inner, 20, m.rowY(m.inner, 3));
               }});
  const struct {
    const char *name;
    KeySym sym;
    const char *callback;
  } keys[] = {{"Down key", XK_Down, XmNbrowseSelectionCallback},
              {"type-ahead letter", XK_n, XmNbrowseSelectionCallback},
              {"Delete key", XK_Delete, XdNdeleteNodeCallback}};
  for (const auto &k : keys)
    v.push_back({k.name, [k] {
                   MC m;
                   click(m.inner, 20, m.rowY(m.inner, 1));
                   m.destroyOn(k.callback);
                   key(k.sym);
                 }});
  v.push_back({"menu button on a later column", [] {
                 MC m;
                 m.destroyOn(XdNpostMenuCallback);
                 click(m.second, 10, m.rowY(m.second, 3), 3);
               }});
  v.push_back({"menu button selecting the row", [] {
                 MC m;
                 m.destroyOn(XmNbrowseSelectionCallback);
                 click(m.second, 10, m.rowY(m.second, 3), 3);
               }});
  v.push_back({"drag press on the first column", [] {
                 MC m;
                 m.destroyOn(XdNdragCallback);
                 click(m.inner, 20, m.rowY(m.inner, 3), 2);
               }});
  v.push_back({"select positions, single", [] {
                 MC m(XmSINGLE_SELECT);
                 m.destroyOn(XmNsingleSelectionCallback);
                 int pos[] = {4};
                 EXPECT_EQ(XdMCIconListSelectPositions(m.mc, 1, pos, True), 1);
               }});
  v.push_back({"header click", [] {
                 MC m;
                 m.destroyOn(XmNdefaultActionCallback);
                 Widget h = XdMCIconListGetChild(m.mc, 0, XdMCIL_HEADER);
                 click(h, h->core.width / 2, h->core.height / 2);
               }});
  return v;
}

void runCases(const std::vector<Case> &cases) {
  for (const Case &c : cases) {
    int status = qevtest::runInChild(
        [&c] {
          freshApp();
          c.body();
          expectSurvived();
        },
        60);
    EXPECT_TRUE(qevtest::childPassed(status)) << c.name << ": " << qevtest::describeStatus(status);
  }
}

TEST(DestroyingCallbacks, IconListSurvivesEveryCallbackThatDestroysIt) { runCases(iconListCases()); }

TEST(DestroyingCallbacks, MultiColumnListSurvivesEveryCallbackThatDestroysIt) { runCases(mcCases()); }

// Lists made, filled, used and destroyed over and over leave the heap where
// it was: their tables, arrays and records all go with them.  (The lists
// are not shown: Motif keeps a drawing record for every window that ever
// drew text, which would hide what the lists themselves keep.)
TEST(ListLifecycle, ManyListsMadeAndDestroyedKeepTheHeapFlat) {
  app();
  Widget shell = makeShell(400, 260);
  Widget form = XtVaCreateManagedWidget("form", xmFormWidgetClass, shell, XmNwidth, 400, XmNheight,
                                        260, nullptr);
  auto cycle = [form](int n) {
    for (int i = 0; i < n; ++i) {
      IL l(XmEXTENDED_SELECT, i % 2 == 0, form);
      int pos[] = {2, 5};
      XdIconListSelectPositions(l.il, 2, pos, False);
      XtDestroyWidget(l.il);
      pump();
      MC m(XmBROWSE_SELECT, form);
      XdMCIconListSortOnColumn(m.mc, 1);
      XtDestroyWidget(m.mc);
      pump();
    }
  };
  cycle(20);  // the toolkit's own caches settle first
  size_t before = mallinfo2().uordblks;
  cycle(100);
  size_t after = mallinfo2().uordblks;
  XtDestroyWidget(shell);
  pump();
  // Motif keeps about 64 bytes for each push button made (the headers);
  // a list keeping a few hundred bytes of its own would pass 32 KB here.
  EXPECT_LT(after, before + 32 * 1024) << "heap grew by " << (after - before) << " bytes";
}

}  // namespace
