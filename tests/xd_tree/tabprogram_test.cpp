// The tab widget in plain Motif programs: in the common managers without a
// size of the program's it takes the size of its tab row and its largest
// page, and a page callback that destroys the tab, its parent or the page
// (run from a timer, from the program's own code or from a click) is the
// last the widget does with them.
#include <gtest/gtest.h>

#include "child.h"
#include "xd/TabP.h"
#include "xdtest.h"

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/BulletinB.h>
#include <Xm/PanedW.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>

#include <functional>
#include <string>

namespace {

// A window's place and size as the server has it, in the coordinates of
// another window.
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
};
Box serverBox(Widget w, Widget in) {
  Display *dpy = XtDisplay(w);
  Window root, child;
  int x, y;
  unsigned width, height, border, depth;
  XGetGeometry(dpy, XtWindow(w), &root, &x, &y, &width, &height, &border, &depth);
  Box b;
  XTranslateCoordinates(dpy, XtWindow(w), XtWindow(in), 0, 0, &b.x, &b.y, &child);
  b.width = int(width);
  b.height = int(height);
  return b;
}

XmString label(const char *text) { return XmStringCreateLocalized(const_cast<char *>(text)); }

Widget addPage(Widget tab, const char *title) {
  XmString s = label(title);
  Widget page = XdTabAddPage(tab, s, 0);
  XmStringFree(s);
  return page;
}

// A program's window: a shell without a size, a manager of the given class
// and in it a tab (created with `args`) whose second page holds a 300x200
// button.
struct Program {
  Widget shell = nullptr, manager = nullptr, tab = nullptr, big = nullptr;
  Program(WidgetClass manager_class, std::vector<Arg> args) {
    xdtest::App &a = xdtest::app();
    shell = XtVaAppCreateShell("tabprogram", "TabProgram", topLevelShellWidgetClass, a.dpy, XmNx,
                               0, XmNy, 0, nullptr);
    manager = XtCreateManagedWidget("manager", manager_class, shell, nullptr, 0);
    tab = XdCreateTab(manager, const_cast<char *>("tab"), args.data(), Cardinal(args.size()));
    XtManageChild(tab);
    Widget first = addPage(tab, "Small");
    XtCreateManagedWidget("small", xmPushButtonWidgetClass, first, nullptr, 0);
    Widget second = addPage(tab, "Large page");
    big = XtVaCreateManagedWidget("big", xmPushButtonWidgetClass, second, XmNwidth, 300, XmNheight,
                                  200, nullptr);
    xdtest::show(shell);
    XdTabSetCurrentPage(tab, 2, False);
    xdtest::settle();
  }
  ~Program() {
    XtDestroyWidget(shell);
    xdtest::settle();
  }
};

struct Manager {
  const char *name;
  WidgetClass cls;
};
std::vector<Manager> managers() {
  return {{"XmRowColumn", xmRowColumnWidgetClass},
          {"XmPanedWindow", xmPanedWindowWidgetClass},
          {"XmBulletinBoard", xmBulletinBoardWidgetClass}};
}

// Shown whole: the tab row and the page's 300x200 button lie within the
// tab as the server shows it.
void expectShowsItsPages(Widget tab_widget, Widget big_button, const std::string &where) {
  const Box tab = serverBox(tab_widget, tab_widget);
  const Box big = serverBox(big_button, tab_widget);
  EXPECT_EQ(big.width, 300) << where;
  EXPECT_EQ(big.height, 200) << where;
  EXPECT_GE(big.x, 0) << where;
  EXPECT_GE(big.y, 0) << where;
  EXPECT_LE(big.x + big.width, tab.width) << where;
  EXPECT_LE(big.y + big.height, tab.height) << where;
  Widget last = XdTabGetChild(tab_widget, XdTAB_BUTTON, 2);
  const Box row = serverBox(last, tab_widget);
  XtWidgetGeometry natural = {};
  XtQueryGeometry(last, nullptr, &natural);
  EXPECT_EQ(row.width, natural.width) << where << ": the last tab is cut";
  EXPECT_LE(row.x + row.width, tab.width) << where;
}

TEST(TabProgram, WithoutASizeTheTabShowsItsTabRowAndLargestPage) {
  for (const Manager &m : managers()) {
    Program p(m.cls, {});
    expectShowsItsPages(p.tab, p.big, m.name);
    // Asked, the tab answers the size it has taken.
    XtWidgetGeometry pref = {};
    XtQueryGeometry(p.tab, nullptr, &pref);
    EXPECT_EQ(pref.request_mode & (CWWidth | CWHeight), CWWidth | CWHeight) << m.name;
    EXPECT_EQ(pref.width, XtWidth(p.tab)) << m.name;
    EXPECT_EQ(pref.height, XtHeight(p.tab)) << m.name;
    // A smaller size proposed is not what it wants.
    XtWidgetGeometry smaller = {};
    smaller.request_mode = CWWidth | CWHeight;
    smaller.width = 100;
    smaller.height = 50;
    EXPECT_NE(XtQueryGeometry(p.tab, &smaller, &pref), XtGeometryYes) << m.name;
  }
}

TEST(TabProgram, ASizeTheProgramGivesIsKept) {
  for (const Manager &m : managers()) {
    std::vector<Arg> args(2);
    XtSetArg(args[0], XmNwidth, 150);
    XtSetArg(args[1], XmNheight, 120);
    Program p(m.cls, args);
    const Box tab = serverBox(p.tab, p.tab);
    EXPECT_EQ(tab.width, 150) << m.name;
    EXPECT_EQ(tab.height, 120) << m.name;
    XtWidgetGeometry pref = {};
    XtQueryGeometry(p.tab, nullptr, &pref);
    EXPECT_EQ(pref.width, 150) << m.name;
    EXPECT_EQ(pref.height, 120) << m.name;
  }
  // A width alone is kept; the height still shows the largest page.
  std::vector<Arg> args(1);
  XtSetArg(args[0], XmNwidth, 500);
  Program p(xmBulletinBoardWidgetClass, args);
  EXPECT_EQ(serverBox(p.tab, p.tab).width, 500);
  expectShowsItsPages(p.tab, p.big, "width given");
}

// A page filled only when it is first shown, from the page callback, as
// programs fill their pages lazily.
void fillOnShow(Widget tab, XtPointer closure, XtPointer call) {
  auto *big = static_cast<Widget *>(closure);
  auto *cbs = static_cast<XdTabCallbackStruct *>(call);
  if (cbs->page != 2 || *big) return;
  *big = XtVaCreateManagedWidget("big", xmPushButtonWidgetClass, XdTabGetChild(tab, XdTAB_PAGE, 2),
                                 XmNwidth, 300, XmNheight, 200, nullptr);
}

TEST(TabProgram, APageFilledOnceShownMakesTheTabGrowToShowIt) {
  xdtest::App &a = xdtest::app();
  // A window that may grow once shown, as the program allows.
  Widget shell = XtVaAppCreateShell("tabprogram", "TabProgram", topLevelShellWidgetClass, a.dpy,
                                    XmNx, 0, XmNy, 0, XmNallowShellResize, True, nullptr);
  Widget manager = XtCreateManagedWidget("manager", xmRowColumnWidgetClass, shell, nullptr, 0);
  Widget tab = XdCreateTab(manager, const_cast<char *>("tab"), nullptr, 0);
  XtManageChild(tab);
  Widget first = addPage(tab, "Small");
  XtCreateManagedWidget("small", xmPushButtonWidgetClass, first, nullptr, 0);
  addPage(tab, "Filled later");
  Widget big = nullptr;
  XtAddCallback(tab, XdNpageCallback, fillOnShow, &big);
  xdtest::show(shell);
  ASSERT_LT(XtHeight(tab), 200);
  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 2));
  ASSERT_NE(big, nullptr);
  // The tab grows once the toolkit has laid the filled page out.
  xdtest::pumpUntil([&] {
    const Box t = serverBox(tab, tab), b = serverBox(big, tab);
    return b.x + b.width <= t.width && b.y + b.height <= t.height;
  });
  expectShowsItsPages(tab, big, "filled once shown");
  XtDestroyWidget(shell);
  xdtest::settle();
}

// ---- callbacks that destroy -------------------------------------------

struct Seen {
  int pages = 0;      // "pageCallback" calls
  int mapped = 0;     // "mapCallback" calls of any page
  bool gone = false;  // the tab was destroyed
};
Seen g_seen;
Widget g_victim = nullptr;
Widget g_tab = nullptr;

void destroyVictim(Widget, XtPointer, XtPointer) {
  ++g_seen.pages;
  if (g_victim && !g_victim->core.being_destroyed) XtDestroyWidget(g_victim);
}
void countPage(Widget, XtPointer, XtPointer) { ++g_seen.pages; }
void countMap(Widget, XtPointer, XtPointer) { ++g_seen.mapped; }
void destroyOnMap(Widget, XtPointer, XtPointer) {
  ++g_seen.mapped;
  if (g_victim && !g_victim->core.being_destroyed) XtDestroyWidget(g_victim);
}
void noteGone(Widget, XtPointer, XtPointer) { g_seen.gone = true; }

// A shown tab of three pages in a form, each page telling its mapping.
struct Shown {
  Widget shell, form, tab, pages[3];
  Shown() {
    shell = xdtest::makeShell(&form, 360, 240);
    tab = XdCreateTab(form, const_cast<char *>("tab"), nullptr, 0);
    XtManageChild(tab);
    const char *titles[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i) {
      pages[i] = addPage(tab, titles[i]);
      XtAddCallback(pages[i], XmNmapCallback, countMap, nullptr);
    }
    xdtest::show(shell);
    XtAddCallback(tab, XtNdestroyCallback, noteGone, nullptr);
    g_tab = tab;
  }
};

void fromTimer(XtPointer, XtIntervalId *) { XdTabSetCurrentPage(g_tab, 2, True); }

void afterTimer() {
  XtAppAddTimeOut(xdtest::app().app, 0, fromTimer, nullptr);
  xdtest::pumpUntil([] { return g_seen.pages > 0; });
}

// After the case the program goes on: it makes and uses another tab.
void expectProgramGoesOn() {
  Shown again;
  XdTabSetCurrentPage(again.tab, 3, False);
  xdtest::settle();
  int current = -1;
  XtVaGetValues(again.tab, XdNcurrentPage, &current, nullptr);
  EXPECT_EQ(current, 2);
  XtDestroyWidget(again.shell);
  xdtest::settle();
}

struct Case {
  const char *name;
  std::function<void()> body;
};

// How the page change that calls "pageCallback" comes about.
enum class Trigger { Timer, ProgramCall, Click };

void trigger(Trigger how, Widget tab) {
  switch (how) {
    case Trigger::Timer: afterTimer(); break;
    case Trigger::ProgramCall: XdTabSetCurrentPage(tab, 3, True); break;
    case Trigger::Click: xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 2)); break;
  }
}

std::vector<Case> destroyingCases() {
  std::vector<Case> v;
  const struct {
    const char *name;
    Trigger how;
    bool parent;  // the callback destroys the tab's parent, not the tab
  } gone[] = {
      {"timer, the page callback destroys the tab", Trigger::Timer, false},
      {"timer, the page callback destroys the tab's parent", Trigger::Timer, true},
      {"the program's own call, the page callback destroys the tab", Trigger::ProgramCall, false},
      {"a click on a tab, the page callback destroys the tab", Trigger::Click, false},
  };
  for (const auto &c : gone)
    v.push_back({c.name, [c] {
                   Shown s;
                   g_victim = c.parent ? s.form : s.tab;
                   XtAddCallback(s.tab, XdNpageCallback, destroyVictim, nullptr);
                   // A second listener: none is called on a destroyed tab.
                   XtAddCallback(s.tab, XdNpageCallback, countPage, nullptr);
                   trigger(c.how, s.tab);
                   EXPECT_EQ(g_seen.pages, 1);
                   EXPECT_EQ(g_seen.mapped, 0);
                   EXPECT_TRUE(g_seen.gone);
                   XtDestroyWidget(s.shell);
                 }});
  v.push_back({"timer, the page callback destroys the page made current", [] {
                 Shown s;
                 g_victim = s.pages[1];
                 XtAddCallback(s.tab, XdNpageCallback, destroyVictim, nullptr);
                 afterTimer();
                 // The page that went heard nothing; its neighbour took
                 // its place and was told (the callback, now empty-handed,
                 // runs once more for it).
                 EXPECT_FALSE(g_seen.gone);
                 EXPECT_EQ(XdTabGetChild(s.tab, XdTAB_PAGE, 3), nullptr);
                 EXPECT_EQ(XdTabGetChild(s.tab, XdTAB_PAGE, 2), s.pages[2]);
                 int current = -1;
                 XtVaGetValues(s.tab, XdNcurrentPage, &current, nullptr);
                 EXPECT_EQ(current, 1);
                 EXPECT_EQ(g_seen.mapped, 1);
                 XtDestroyWidget(s.shell);
               }});
  v.push_back({"timer, the page's map callback destroys the tab", [] {
                 Shown s;
                 g_victim = s.tab;
                 XtAddCallback(s.tab, XdNpageCallback, countPage, nullptr);
                 XtAddCallback(s.pages[1], XmNmapCallback, destroyOnMap, nullptr);
                 afterTimer();
                 EXPECT_EQ(g_seen.pages, 1);
                 EXPECT_TRUE(g_seen.gone);
                 XtDestroyWidget(s.shell);
               }});
  return v;
}

TEST(TabProgram, ACallbackThatDestroysTheTabIsTheLastItDoes) {
  for (const Case &c : destroyingCases()) {
    int status = qevtest::runInChild(
        [&c] {
          xdtest::reopen();
          g_seen = Seen{};
          c.body();
          xdtest::settle();
          expectProgramGoesOn();
          EXPECT_EQ(xdtest::xErrors(), 0);
        },
        60);
    EXPECT_TRUE(qevtest::childPassed(status)) << c.name << ": " << qevtest::describeStatus(status);
  }
}

}  // namespace
