// The tab widget through its exported interface and real clicks on the
// private X server: pages added and removed, the page shown on top, the
// callbacks and the outlines.
#include <gtest/gtest.h>

#include "xd/TabP.h"
#include "xdtest.h"

#include <X11/IntrinsicP.h>
#include <Xm/Label.h>
#include <Xm/TextF.h>
#include <Xm/PrimitiveP.h>
#include <Xm/XmP.h>

#include <string>
#include <vector>

using xdtest::settle;

namespace {

std::vector<int> g_pages;  // pages told through "pageCallback"
std::vector<Widget> g_mapped;

void onPage(Widget, XtPointer, XtPointer call) {
  auto *cbs = static_cast<XdTabCallbackStruct *>(call);
  EXPECT_EQ(cbs->reason, XmCR_ACTIVATE);
  EXPECT_EQ(cbs->event, nullptr);
  g_pages.push_back(cbs->page);
}

void onMap(Widget w, XtPointer, XtPointer) { g_mapped.push_back(w); }

const unsigned long kColours[] = {0xff0000, 0x00ff00, 0x0000ff, 0xffff00, 0x00ffff};

class Tab : public ::testing::Test {
 protected:
  Widget shell = nullptr, form = nullptr, tab = nullptr;

  void SetUp() override { create(nullptr, 0); }

  void create(ArgList extra, Cardinal n) {
    shell = xdtest::makeShell(&form, 360, 240);
    std::vector<Arg> args(extra, extra + n);
    Arg a;
    XtSetArg(a, XmNtopAttachment, XmATTACH_FORM); args.push_back(a);
    XtSetArg(a, XmNbottomAttachment, XmATTACH_FORM); args.push_back(a);
    XtSetArg(a, XmNleftAttachment, XmATTACH_FORM); args.push_back(a);
    XtSetArg(a, XmNrightAttachment, XmATTACH_FORM); args.push_back(a);
    tab = XdCreateTab(form, const_cast<char *>("tab"), args.data(), Cardinal(args.size()));
    XtAddCallback(tab, XdNpageCallback, onPage, nullptr);
    XtManageChild(tab);
    g_pages.clear();
    g_mapped.clear();
    xdtest::takeWarnings();
  }

  void TearDown() override {
    if (shell) XtDestroyWidget(shell);
    settle();
  }

  // Adds a page titled `title` whose form is painted in its own colour.
  Widget addPage(const char *title, int position) {
    XmString s = XmStringCreateLocalized(const_cast<char *>(title));
    Widget page = XdTabAddPage(tab, s, position);
    XmStringFree(s);
    if (page) {
      XtVaSetValues(page, XmNbackground, kColours[title[0] - 'A'], NULL);
      XtAddCallback(page, XmNmapCallback, onMap, nullptr);
    }
    return page;
  }

  std::string titles() {
    std::string s;
    for (int p = 1; Widget b = XdTabGetChild(tab, XdTAB_BUTTON, p); ++p) {
      XmString label = nullptr;
      XtVaGetValues(b, XmNlabelString, &label, NULL);
      char *text = static_cast<char *>(
          XmStringUnparse(label, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
      s += text;
      XtFree(text);
      XmStringFree(label);
    }
    return s;
  }

  // The colour in the middle of the page area, as the X server shows it.
  unsigned long shownColour() {
    Widget page = XdTabGetChild(tab, XdTAB_PAGE, 1);
    return xdtest::pixel(tab, XtX(page) + XtWidth(page) / 2, XtY(page) + XtHeight(page) / 2);
  }

  int current() {
    int c = -1;
    XtVaGetValues(tab, XdNcurrentPage, &c, NULL);
    return c;
  }
};

TEST_F(Tab, PagesGoWhereAskedAndChildrenAreFound) {
  EXPECT_NE(addPage("B", 0), nullptr);
  EXPECT_NE(addPage("D", 0), nullptr);
  EXPECT_NE(addPage("A", 1), nullptr);
  EXPECT_NE(addPage("C", 3), nullptr);
  EXPECT_EQ(titles(), "ABCD");
  EXPECT_EQ(addPage("E", 6), nullptr);  // beyond count + 1
  EXPECT_EQ(addPage("E", -1), nullptr);
  EXPECT_EQ(xdtest::takeWarnings().size(), 2u);
  EXPECT_EQ(titles(), "ABCD");

  Widget page2 = XdTabGetChild(tab, XdTAB_PAGE, 2);
  ASSERT_NE(page2, nullptr);
  EXPECT_TRUE(XmIsForm(page2));
  EXPECT_TRUE(XmIsPushButton(XdTabGetChild(tab, XdTAB_BUTTON, 2)));
  EXPECT_EQ(XdTabGetChild(tab, 7, 2), page2);
  EXPECT_EQ(XdTabGetChild(tab, XdTAB_NONE, 2), nullptr);
  EXPECT_EQ(XdTabGetChild(tab, XdTAB_PAGE, 0), nullptr);
  EXPECT_EQ(XdTabGetChild(tab, XdTAB_PAGE, 5), nullptr);

  EXPECT_EQ(XdTabAddPage(form, nullptr, 0), nullptr);  // not a tab widget
  std::vector<std::string> w = xdtest::takeWarnings();
  ASSERT_EQ(w.size(), 1u);
  EXPECT_NE(w[0].find("You must pass an XdTab widget to XdTabAddPage()"), std::string::npos);
}

TEST_F(Tab, ClickingATabRaisesItsPageAndTellsTheOwner) {
  addPage("A", 0);
  addPage("B", 0);
  addPage("C", 0);
  xdtest::show(shell);
  EXPECT_EQ(shownColour(), kColours[0]);
  // The page stack starts below the first tab.
  Widget first = XdTabGetChild(tab, XdTAB_BUTTON, 1);
  Widget page = XdTabGetChild(tab, XdTAB_PAGE, 1);
  auto hl = reinterpret_cast<XmPrimitiveWidget>(first)->primitive.highlight_thickness;
  auto &t = reinterpret_cast<XdTabWidget>(tab)->tab;
  EXPECT_EQ(XtY(page), t.shadow_thickness + XtHeight(first) + 2 * hl);
  EXPECT_EQ(XtX(page), t.shadow_thickness);

  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 2));
  EXPECT_EQ(g_pages, std::vector<int>{2});
  EXPECT_EQ(g_mapped, std::vector<Widget>{XdTabGetChild(tab, XdTAB_PAGE, 2)});
  EXPECT_EQ(current(), 1);
  EXPECT_EQ(shownColour(), kColours[1]);
  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 2));  // again: told again
  EXPECT_EQ(g_pages, (std::vector<int>{2, 2}));
  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 3));
  EXPECT_EQ(shownColour(), kColours[2]);
  // Only the current page is in keyboard traversal.
  Boolean on[3];
  for (int p = 1; p <= 3; ++p) XtVaGetValues(XdTabGetChild(tab, XdTAB_PAGE, p), XmNtraversalOn, &on[p - 1], NULL);
  EXPECT_FALSE(on[0]);
  EXPECT_FALSE(on[1]);
  EXPECT_TRUE(on[2]);
}

TEST_F(Tab, FunctionAndResourceShowTheCurrentPage) {
  addPage("A", 0);
  addPage("B", 0);
  addPage("C", 0);
  xdtest::show(shell);
  XdTabSetCurrentPage(tab, 3, False);
  settle();
  EXPECT_TRUE(g_pages.empty());
  EXPECT_EQ(shownColour(), kColours[2]);
  XdTabSetCurrentPage(tab, 1, True);
  EXPECT_EQ(g_pages, std::vector<int>{1});
  EXPECT_EQ(shownColour(), kColours[0]);
  XdTabSetCurrentPage(tab, 4, True);  // ignored
  XdTabSetCurrentPage(tab, 0, True);
  EXPECT_EQ(g_pages, std::vector<int>{1});

  XtVaSetValues(tab, XdNcurrentPage, 1, NULL);  // 0-based: the second page
  EXPECT_EQ(current(), 1);
  EXPECT_EQ(shownColour(), kColours[1]);
  XtVaSetValues(tab, XdNcurrentPage, 3, NULL);  // no fourth page
  EXPECT_EQ(current(), 1);
  EXPECT_EQ(xdtest::takeWarnings().size(), 1u);
  EXPECT_EQ(shownColour(), kColours[1]);

  // A page added before the current one leaves it current and on top.
  addPage("D", 1);
  settle();
  EXPECT_EQ(current(), 2);
  EXPECT_EQ(shownColour(), kColours[1]);
}

TEST(TabCreation, CurrentPageGivenAtCreationIsShown) {
  Widget form = nullptr;
  Widget shell = xdtest::makeShell(&form, 300, 200);
  Arg args[5];
  Cardinal n = 0;
  XtSetArg(args[n], XdNcurrentPage, 1); ++n;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  Widget tab = XdCreateTab(form, const_cast<char *>("tab"), args, n);
  XtManageChild(tab);
  for (int i = 0; i < 3; ++i) {
    Widget page = XdTabAddPage(tab, nullptr, 0);
    XtVaSetValues(page, XmNbackground, kColours[i], NULL);
  }
  xdtest::show(shell);
  Widget page = XdTabGetChild(tab, XdTAB_PAGE, 2);
  EXPECT_EQ(xdtest::pixel(tab, XtX(page) + 20, XtY(page) + 20), kColours[1]);
  XtDestroyWidget(shell);
  settle();
}

TEST_F(Tab, RemovingPagesKeepsTheCurrentOneOrHandsOver) {
  addPage("A", 0);
  addPage("B", 0);
  addPage("C", 0);
  addPage("D", 0);
  xdtest::show(shell);
  XdTabSetCurrentPage(tab, 3, False);  // C
  _XdTabDeletePage(tab, 1);            // A goes: C stays current
  settle();
  EXPECT_EQ(titles(), "BCD");
  EXPECT_EQ(current(), 1);
  EXPECT_EQ(g_pages, std::vector<int>{2});
  EXPECT_EQ(shownColour(), kColours[2]);
  _XdTabDeletePage(tab, 2);  // C itself goes: D takes its place
  settle();
  EXPECT_EQ(titles(), "BD");
  EXPECT_EQ(shownColour(), kColours[3]);
  _XdTabDeletePage(tab, 2);  // the last page: B
  _XdTabDeletePage(tab, 9);  // out of range: nothing
  settle();
  EXPECT_EQ(titles(), "B");
  EXPECT_EQ(current(), 0);
  EXPECT_EQ(shownColour(), kColours[1]);
  _XdTabDeletePage(tab, 1);
  EXPECT_EQ(titles(), "");
  EXPECT_NE(addPage("A", 0), nullptr);
}

TEST_F(Tab, APageDestroyedByTheProgramLeavesTheTabSet) {
  addPage("A", 0);
  Widget b = addPage("B", 0);
  addPage("C", 0);
  xdtest::show(shell);
  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 2));
  g_pages.clear();
  XtDestroyWidget(b);  // the current page goes: C takes its place
  settle();
  EXPECT_EQ(titles(), "AC");
  EXPECT_EQ(current(), 1);
  EXPECT_EQ(g_pages, std::vector<int>{2});
  EXPECT_EQ(shownColour(), kColours[2]);
  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 1));
  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 2));
  EXPECT_EQ(shownColour(), kColours[2]);
  XtDestroyWidget(XdTabGetChild(tab, XdTAB_BUTTON, 1));  // a tab goes with its page
  settle();
  EXPECT_EQ(titles(), "C");
  EXPECT_EQ(current(), 0);
  EXPECT_EQ(xdtest::xErrors(), 0);
}

TEST_F(Tab, TheFocusBoxFollowsTheCurrentTab) {
  addPage("A", 0);
  addPage("B", 0);
  addPage("C", 0);
  xdtest::show(shell);
  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, 2));
  EXPECT_EQ(XmGetFocusWidget(tab), XdTabGetChild(tab, XdTAB_BUTTON, 2));
  XdTabSetCurrentPage(tab, 3, False);
  settle();
  EXPECT_EQ(XmGetFocusWidget(tab), XdTabGetChild(tab, XdTAB_BUTTON, 3));
  XtVaSetValues(tab, XdNcurrentPage, 0, NULL);
  settle();
  EXPECT_EQ(XmGetFocusWidget(tab), XdTabGetChild(tab, XdTAB_BUTTON, 1));
}

TEST(TabFocus, StartsOnTheCurrentTabAndTheKeyboardPassesTheTabsWithoutChangingThePage) {
  Widget form = nullptr;
  Widget shell = xdtest::makeShell(&form, 300, 200);
  Arg args[5];
  Cardinal n = 0;
  XtSetArg(args[n], XdNcurrentPage, 1); ++n;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  Widget tab = XdCreateTab(form, const_cast<char *>("tab"), args, n);
  XtManageChild(tab);
  for (const char *title : {"A", "B", "C"}) {
    XmString s = XmStringCreateLocalized(const_cast<char *>(title));
    XdTabAddPage(tab, s, 0);
    XmStringFree(s);
  }
  g_pages.clear();
  XtAddCallback(tab, XdNpageCallback, onPage, nullptr);
  xdtest::show(shell);
  settle();
  EXPECT_EQ(XmGetFocusWidget(tab), XdTabGetChild(tab, XdTAB_BUTTON, 2));  // not the first tab
  xdtest::key(XK_Tab);
  xdtest::settle();
  EXPECT_EQ(XmGetFocusWidget(tab), XdTabGetChild(tab, XdTAB_BUTTON, 3));
  EXPECT_TRUE(g_pages.empty());
  int current = -1;
  XtVaGetValues(tab, XdNcurrentPage, &current, NULL);
  EXPECT_EQ(current, 1);
  XtDestroyWidget(shell);
  settle();
}

// Tab goes through the tabs and on into the current page; a click, Space
// or Return on a tab changes the page.
TEST_F(Tab, TabPassesTheTabsIntoTheCurrentPageAndSpaceOrReturnChangesIt) {
  std::vector<Widget> fields;
  for (const char *title : {"A", "B", "C"}) {
    Widget page = addPage(title, 0);
    fields.push_back(XtVaCreateManagedWidget("field", xmTextFieldWidgetClass, page,
                                             XmNtopAttachment, XmATTACH_FORM, XmNleftAttachment,
                                             XmATTACH_FORM, NULL));
  }
  xdtest::show(shell);
  Widget a = XdTabGetChild(tab, XdTAB_BUTTON, 1), b = XdTabGetChild(tab, XdTAB_BUTTON, 2),
         c = XdTabGetChild(tab, XdTAB_BUTTON, 3);
  xdtest::click(a);  // the keyboard comes with a click
  EXPECT_EQ(XmGetFocusWidget(tab), a);
  EXPECT_EQ(g_pages, std::vector<int>{1});
  for (Widget next : {b, c, fields[0]}) {
    xdtest::key(XK_Tab);
    xdtest::settle();
    EXPECT_EQ(XmGetFocusWidget(tab), next);
    EXPECT_EQ(current(), 0);
  }
  EXPECT_EQ(g_pages, std::vector<int>{1});
  EXPECT_EQ(shownColour(), kColours[0]);

  xdtest::key(XK_Tab, {XK_Shift_L});
  EXPECT_EQ(XmGetFocusWidget(tab), c);
  xdtest::key(XK_space);
  EXPECT_EQ(current(), 2);
  EXPECT_EQ(g_pages, (std::vector<int>{1, 3}));
  EXPECT_EQ(shownColour(), kColours[2]);
  xdtest::key(XK_Tab, {XK_Shift_L});
  EXPECT_EQ(XmGetFocusWidget(tab), b);
  xdtest::key(XK_Return);
  EXPECT_EQ(current(), 1);
  EXPECT_EQ(g_pages, (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(shownColour(), kColours[1]);
  xdtest::key(XK_Tab);
  xdtest::key(XK_Tab);
  xdtest::settle();
  EXPECT_EQ(XmGetFocusWidget(tab), fields[1]);  // into the page now current
  EXPECT_EQ(g_pages, (std::vector<int>{1, 3, 2}));
}

TEST_F(Tab, XmChangeColorReachesTheTabsAndThePages) {
  addPage("A", 0);
  Widget plain = XdTabAddPage(tab, nullptr, 0);  // a page the program leaves uncoloured
  xdtest::show(shell);
  Widget first = XdTabGetChild(tab, XdTAB_BUTTON, 1), second = XdTabGetChild(tab, XdTAB_BUTTON, 2);
  XmChangeColor(tab, 0x305070);
  settle();
  EXPECT_EQ(xdtest::pixel(second, 4, 4), 0x305070ul);
  EXPECT_EQ(xdtest::pixel(tab, XtWidth(tab) - 8, 4), 0x305070ul);  // the tab area beside the tabs
  xdtest::click(second);
  EXPECT_EQ(xdtest::pixel(plain, XtWidth(plain) / 2, XtHeight(plain) / 2), 0x305070ul);
  // A page the program coloured keeps its colour.
  xdtest::click(first);
  EXPECT_EQ(shownColour(), kColours[0]);
  // The outlines are drawn in the tabs' new shadow colours.
  Pixel top = 0;
  XtVaGetValues(tab, XmNtopShadowColor, &top, NULL);
  Widget page = XdTabGetChild(tab, XdTAB_PAGE, 1);
  EXPECT_EQ(xdtest::pixel(tab, XtX(page) - 1, XtY(page) + XtHeight(page) / 2), top & 0xffffff);
}

TEST_F(Tab, ShadowsLabelsAndTabsPastTheRightEdge) {
  addPage("A", 0);
  Widget blank = XdTabAddPage(tab, nullptr, 0);
  ASSERT_NE(blank, nullptr);
  xdtest::show(shell);
  // The outline thickness reads back and redraws when set.
  Dimension thickness = 0;
  XtVaGetValues(tab, XmNshadowThickness, &thickness, NULL);
  auto &t = reinterpret_cast<XdTabWidget>(tab)->tab;
  EXPECT_EQ(thickness, t.shadow_thickness);
  EXPECT_GT(thickness, 0);
  XtVaSetValues(tab, XmNshadowThickness, 6, NULL);
  settle();
  XtVaGetValues(tab, XmNshadowThickness, &thickness, NULL);
  EXPECT_EQ(thickness, 6);
  Widget page = XdTabGetChild(tab, XdTAB_PAGE, 1);
  EXPECT_EQ(XtX(page), 6);
  Widget first = XdTabGetChild(tab, XdTAB_BUTTON, 1);
  auto *prim = reinterpret_cast<XmPrimitiveWidget>(first);
  EXPECT_EQ(xdtest::pixel(tab, XtX(page) - 6, XtY(page) + 20), prim->primitive.top_shadow_color & 0xffffff);
  // A tab without a label is blank.
  EXPECT_EQ(titles(), "A");
  // Many tabs in a narrow widget all stay within reach of the mouse.
  for (const char *title : {"B long title", "C long title", "D long title", "E long title",
                            "A long title", "B another one", "C another one"})
    addPage(title, 0);
  settle();
  const int count = 9;
  for (int p = 1; p <= count; ++p) {
    Widget b = XdTabGetChild(tab, XdTAB_BUTTON, p);
    EXPECT_LE(XtX(b) + int(XtWidth(b)), int(XtWidth(tab))) << p;
    EXPECT_GT(int(XtWidth(b)), 0) << p;
  }
  g_pages.clear();
  xdtest::click(XdTabGetChild(tab, XdTAB_BUTTON, count));
  EXPECT_EQ(g_pages, std::vector<int>{count});
}

TEST_F(Tab, OutlinesFrameThePageAndJoinTheCurrentTab) {
  addPage("A", 0);
  addPage("B", 0);
  xdtest::show(shell);
  Widget first = XdTabGetChild(tab, XdTAB_BUTTON, 1);
  auto *prim = reinterpret_cast<XmPrimitiveWidget>(first);
  const unsigned long light = prim->primitive.top_shadow_color & 0xffffff;
  const unsigned long dark = prim->primitive.bottom_shadow_color & 0xffffff;
  Widget page = XdTabGetChild(tab, XdTAB_PAGE, 1);
  const int mid_y = XtY(page) + XtHeight(page) / 2;
  EXPECT_EQ(xdtest::pixel(tab, XtX(page) - 1, mid_y), light);               // left edge
  EXPECT_EQ(xdtest::pixel(tab, XtX(page) + XtWidth(page), mid_y), dark);    // right edge
  const int top = XtY(page) - 1;
  Widget second = XdTabGetChild(tab, XdTAB_BUTTON, 2);
  // The frame's top edge is open beneath the current (first) tab only.
  EXPECT_NE(xdtest::pixel(tab, XtX(first) + XtWidth(first) / 2, top), light);
  EXPECT_EQ(xdtest::pixel(tab, XtX(second) + XtWidth(second) / 2, top), light);
  // The tabs' own top edges.
  EXPECT_EQ(xdtest::pixel(tab, XtX(first) + XtWidth(first) / 2, 0), light);
  xdtest::click(second);
  EXPECT_EQ(xdtest::pixel(tab, XtX(first) + XtWidth(first) / 2, top), light);
  EXPECT_NE(xdtest::pixel(tab, XtX(second) + XtWidth(second) / 2, top), light);
}

}  // namespace
