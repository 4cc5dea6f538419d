// The list widgets as a Motif programmer uses them: created from a resource
// file, changed with XtSetValues and XmChangeColor after realisation, made
// insensitive, and driven with the keys a Motif list answers.
#include "listtest.h"
#include "xinput.h"

#include "xd/IconListP.h"
#include "xd/MCIconListP.h"

#include <X11/Xresource.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/ListP.h>
#include <Xm/PushB.h>

#include <string>

using namespace listtest;

namespace {

std::vector<std::string> g_warnings;
void keepWarning(String message) {
  // Run by root, the toolkit says so before each formatted warning.
  std::string text = message ? message : "";
  if (text.rfind("This program is an suid-root program", 0) != 0) g_warnings.push_back(text);
}

// Warnings of the toolkit since the last call.
std::vector<std::string> warnings() {
  static bool installed = false;
  if (!installed) {
    XtAppSetWarningHandler(app().app, keepWarning);
    installed = true;
  }
  std::vector<std::string> out;
  out.swap(g_warnings);
  return out;
}

// Puts resource lines into the display's database, as an app-defaults file
// or -xrm options do.
void resources(const std::vector<std::string> &lines) {
  XrmDatabase db = XtDatabase(app().dpy);
  for (const std::string &line : lines) XrmPutLineResource(&db, line.c_str());
}

// How many pixels of a window's rectangle differ from `background`.
int ink(Widget w, int x, int y, int width, int height, unsigned long background) {
  pump();
  XImage *im = XGetImage(XtDisplay(w), XtWindow(w), x, y, unsigned(width), unsigned(height),
                         AllPlanes, ZPixmap);
  if (!im) return -1;
  int n = 0;
  for (int j = 0; j < height; ++j)
    for (int i = 0; i < width; ++i)
      if ((XGetPixel(im, i, j) & 0xffffff) != (background & 0xffffff)) ++n;
  XDestroyImage(im);
  return n;
}

unsigned long pixel(Widget w, int x, int y) {
  pump();
  return qevtest::pixelAt(XtDisplay(w), XtWindow(w), x, y);
}

Pixel background(Widget w) {
  Pixel p = 0;
  XtVaGetValues(w, XmNbackground, &p, nullptr);
  return p;
}

// A row of an XmList shows text: some of its pixels are not background.
bool rowShowsText(Widget list, int pos) {
  Position x, y;
  Dimension w, h;
  if (!XmListPosToBounds(list, pos, &x, &y, &w, &h)) return false;
  return ink(list, x, y, w, h, background(list)) > 0;
}

Widget innerOf(Widget il) { return XdIconListGetChild(il, XdICONLIST_LIST); }
Widget firstInner(Widget mc) { return innerOf(XdMCIconListGetChild(mc, 0, XdMCIL_LIST)); }

class MotifUse : public ::testing::Test {
 protected:
  Widget shell = nullptr;
  std::vector<XmString> owned;
  void SetUp() override {
    ASSERT_NE(app().dpy, nullptr);
    shell = makeShell(400, 300);
    XtDatabase(app().dpy);
    warnings();
  }
  void TearDown() override {
    if (shell) XtDestroyWidget(shell);
    pump();
    for (XmString s : owned) XmStringFree(s);
  }
  XmString str(const std::string &s) {
    owned.push_back(XmStringCreateLocalized(const_cast<char *>(s.c_str())));
    return owned.back();
  }
  void show() {
    XtRealizeWidget(shell);
    pump();
  }
};

TEST_F(MotifUse, ResourceFilesGiveTheListsTheirItemsAndColumns) {
  Widget box = XtVaCreateManagedWidget("box", xmFormWidgetClass, shell, nullptr);
  resources({"*fileIcons.stringItems: alpha, beta,gamma", "*fileIcons.itemCount: 3",
             "*fileIcons.ids: 7, 8, 9", "*fileIcons.width: 100", "*fileIcons.height: 90",
             // A count beyond the items given shows the items given.
             "*shortIcons.stringItems: one,two", "*shortIcons.itemCount: 5",
             "*fileColumns.columnCount: 2", "*fileColumns.headerColor: #ff0000",
             "*fileColumns.stringItems: a1,a2,a3;b1,b2", "*fileColumns.itemCount: 3",
             "*badColumns.columnCount: many"});
  Widget il = XdCreateIconList(box, (char *)"fileIcons", nullptr, 0);
  Widget shortList = XdCreateIconList(box, (char *)"shortIcons", nullptr, 0);
  XtVaSetValues(shortList, XmNtopAttachment, XmATTACH_WIDGET, XmNtopWidget, il, nullptr);
  EXPECT_EQ(warnings().size(), 1u);  // the count beyond the items
  Arg a[2];
  XtSetArg(a[0], XmNwidth, 300);
  XtSetArg(a[1], XmNheight, 120);
  Widget mc = XdCreateMCIconList(box, (char *)"fileColumns", a, 2);
  XtVaSetValues(mc, XmNleftAttachment, XmATTACH_WIDGET, XmNleftWidget, il, nullptr);
  Widget bad = XdCreateMCIconList(box, (char *)"badColumns", nullptr, 0);
  EXPECT_EQ(warnings().size(), 1u);  // "many" is no column count
  for (Widget w : {il, shortList, mc}) XtManageChild(w);
  show();

  EXPECT_EQ(listTexts(innerOf(il)), (std::vector<std::string>{"alpha", "beta", "gamma"}));
  EXPECT_EQ(XdIconListGetId(il, 2), 8);
  EXPECT_TRUE(rowShowsText(innerOf(il), 3));
  EXPECT_EQ(listTexts(innerOf(shortList)), (std::vector<std::string>{"one", "two"}));

  auto &p = reinterpret_cast<XdMCIconListWidget>(mc)->mc_icon_list;
  ASSERT_EQ(p.column_count, 2);
  EXPECT_EQ(listTexts(firstInner(mc)), (std::vector<std::string>{"a1", "a2", "a3"}));
  EXPECT_EQ(listTexts(XdMCIconListGetChild(mc, 1, XdMCIL_LIST)),
            (std::vector<std::string>{"b1", "b2", ""}));
  EXPECT_TRUE(rowShowsText(XdMCIconListGetChild(mc, 1, XdMCIL_LIST), 2));
  // The headers are drawn in the header colour.
  for (int c = 0; c < 2; ++c) {
    Widget h = XdMCIconListGetChild(mc, c, XdMCIL_HEADER);
    EXPECT_EQ(pixel(h, 4, h->core.height / 2), 0xff0000ul) << c;
  }
  EXPECT_EQ(reinterpret_cast<XdMCIconListWidget>(bad)->mc_icon_list.column_count, 0);
  EXPECT_TRUE(warnings().empty());
}

// A font list of the 24-pixel fixed font (free with XmFontListFree).
XmFontList bigFont() {
  XmFontListEntry entry = XmFontListEntryLoad(app().dpy, const_cast<char *>("12x24"),
                                              XmFONT_IS_FONT, const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
  EXPECT_NE(entry, nullptr);
  XmFontList font = XmFontListAppendEntry(nullptr, entry);
  XmFontListEntryFree(&entry);
  return font;
}

// The colour shown low in a widget's window, below its rows.
unsigned long lowPixel(Widget w) { return pixel(w, XtWidth(w) / 2, XtHeight(w) - 6); }

class IconListLook : public MotifUse {
 protected:
  Widget form = nullptr, il = nullptr, list = nullptr, icons = nullptr, label = nullptr;
  Pixmap red = 0;
  void SetUp() override {
    MotifUse::SetUp();
    red = xdlistdata::makeIcon(app().dpy, 16, 0xff0000);
    form = XtVaCreateManagedWidget("form", xmFormWidgetClass, shell, nullptr);
    Arg a[4];
    XtSetArg(a[0], XmNtopAttachment, XmATTACH_FORM);
    XtSetArg(a[1], XmNbottomAttachment, XmATTACH_FORM);
    XtSetArg(a[2], XmNleftAttachment, XmATTACH_FORM);
    XtSetArg(a[3], XmNwidth, 250);
    il = XdCreateIconList(form, (char *)"icons", a, 4);
    list = innerOf(il);
    icons = XdIconListGetChild(il, XdICONLIST_ICONS);
    for (int i = 1; i <= 3; ++i) XdIconListAddItem(il, red, str("row " + std::to_string(i)), i, 0);
    XtManageChild(il);
    // An insensitive Motif label showing the same pixmap, for comparison.
    label = XtVaCreateManagedWidget("label", xmLabelWidgetClass, form, XmNlabelType, XmPIXMAP,
                                    XmNlabelPixmap, red, XmNleftAttachment, XmATTACH_WIDGET,
                                    XmNleftWidget, il, XmNsensitive, False, nullptr);
    show();
  }
  void TearDown() override {
    MotifUse::TearDown();
    shell = nullptr;
    XFreePixmap(app().dpy, red);
  }
  unsigned long iconPixel(int pos) {
    Position x, y;
    Dimension w, h;
    EXPECT_TRUE(XmListPosToBounds(list, pos, &x, &y, &w, &h));
    auto &p = reinterpret_cast<XdIconListWidget>(il)->icon_list;
    return pixel(icons, p.icon_margin_width + int(p.icon_width) / 2, y + h / 2);
  }
};

TEST_F(IconListLook, FontAndColoursSetLaterReachTheListAndTheIcons) {
  Position x, y;
  Dimension w, h;
  ASSERT_TRUE(XmListPosToBounds(list, 1, &x, &y, &w, &h));
  ASSERT_LT(h, 24);
  XmFontList font = bigFont();
  XtVaSetValues(il, XmNfontList, font, nullptr);
  XmFontListFree(font);
  pump();
  ASSERT_TRUE(XmListPosToBounds(list, 2, &x, &y, &w, &h));
  EXPECT_GE(h, 24);  // the rows have the new font's height
  EXPECT_TRUE(rowShowsText(list, 2));
  EXPECT_EQ(iconPixel(2), 0xff0000ul);  // the icons keep to their rows

  XtVaSetValues(il, XmNbackground, 0x3060a0, nullptr);
  EXPECT_EQ(lowPixel(list), 0x3060a0ul);
  EXPECT_EQ(lowPixel(icons), 0x3060a0ul);
  EXPECT_EQ(iconPixel(1), 0xff0000ul);

  XmChangeColor(il, 0x806040);
  EXPECT_EQ(lowPixel(list), 0x806040ul);
  EXPECT_EQ(lowPixel(icons), 0x806040ul);
  Pixel ilForeground = 0, listForeground = 1;
  XtVaGetValues(il, XmNforeground, &ilForeground, nullptr);
  XtVaGetValues(list, XmNforeground, &listForeground, nullptr);
  EXPECT_EQ(listForeground, ilForeground);  // Motif's foreground for the colour
  EXPECT_TRUE(rowShowsText(list, 3));
}

TEST_F(IconListLook, AnInsensitiveListDrawsItsIconsAsAnInsensitiveLabel) {
  const unsigned long grey = pixel(label, XtWidth(label) / 2, XtHeight(label) / 2);
  ASSERT_NE(grey, 0xff0000ul);
  EXPECT_EQ(iconPixel(2), 0xff0000ul);
  XtSetSensitive(il, False);
  EXPECT_EQ(iconPixel(2), grey);
  XtSetSensitive(il, True);
  EXPECT_EQ(iconPixel(2), 0xff0000ul);
  // An insensitive ancestor counts as well.
  XtSetSensitive(form, False);
  EXPECT_EQ(iconPixel(3), grey);
}

class ColumnsLook : public MotifUse {
 protected:
  Widget mc = nullptr;
  void SetUp() override {
    MotifUse::SetUp();
    Arg a[2];
    XtSetArg(a[0], XmNwidth, 380);
    XtSetArg(a[1], XmNheight, 260);
    mc = XdCreateMCIconList(shell, (char *)"columns", a, 2);
    XdMCIconListAddColumn(mc, str("Name"), 0, 0, 0, 0, nullptr);
    XdMCIconListAddColumn(mc, str("Size"), 0, 0, 0, 0, nullptr);
    std::vector<XmString> first, second;
    for (int i = 1; i <= 3; ++i) {
      first.push_back(str("row " + std::to_string(i)));
      second.push_back(str("cell " + std::to_string(i)));
    }
    XmString *strings[] = {first.data(), second.data()};
    XdMCIconListAddItems(mc, nullptr, strings, nullptr, 3, 0);
    XtManageChild(mc);
    show();
  }
  Widget header(int c) { return XdMCIconListGetChild(mc, c, XdMCIL_HEADER); }
  Widget later() { return XdMCIconListGetChild(mc, 1, XdMCIL_LIST); }
  unsigned long headerPixel(int c) { return pixel(header(c), 4, XtHeight(header(c)) / 2); }
};

TEST_F(ColumnsLook, HeaderColourPolicyAndFontSetLaterReachTheColumns) {
  XtVaSetValues(mc, XdNheaderColor, 0x00a000, nullptr);
  EXPECT_EQ(headerPixel(0), 0x00a000ul);
  EXPECT_EQ(headerPixel(1), 0x00a000ul);

  // Multiple selection: a second click adds a row.
  XtVaSetValues(mc, XmNselectionPolicy, XmMULTIPLE_SELECT, nullptr);
  ASSERT_TRUE(qevtest::clickRowHandled(firstInner(mc), 1));
  pauseClicks();
  ASSERT_TRUE(qevtest::clickRowHandled(firstInner(mc), 3));
  int *pos = nullptr, count = 0;
  XdMCIconListGetSelectedPos(mc, &pos, &count);
  EXPECT_EQ(std::vector<int>(pos, pos + count), (std::vector<int>{1, 3}));
  XtFree(reinterpret_cast<char *>(pos));
  unsigned char policy = 0;
  XtVaGetValues(later(), XmNselectionPolicy, &policy, nullptr);
  EXPECT_EQ(policy, XmMULTIPLE_SELECT);

  // The headers take the height of their labels in a larger font, and the
  // rows start below them.
  XmFontList font = bigFont();
  XtVaSetValues(mc, XmNfontList, font, nullptr);
  pump();
  Dimension w = 0, h = 0, shadow = 0, margin = 0;
  XmString label = nullptr;
  XtVaGetValues(header(0), XmNlabelString, &label, XmNshadowThickness, &shadow, XmNmarginHeight,
                &margin, nullptr);
  XmStringExtent(font, label, &w, &h);
  XmStringFree(label);
  EXPECT_GE(h, 24);
  EXPECT_EQ(int(XtHeight(header(0))), h + 2 * (shadow + margin));  // as the label sizes itself
  EXPECT_EQ(XtHeight(header(1)), XtHeight(header(0)));
  EXPECT_EQ(XtHeight(XdMCIconListGetChild(mc, 1, XdMCIL_HANDLE)), XtHeight(header(0)));
  EXPECT_EQ(XtY(XdMCIconListGetChild(mc, 0, XdMCIL_LIST)), XtHeight(header(0)));
  EXPECT_TRUE(rowShowsText(firstInner(mc), 1));
  EXPECT_TRUE(rowShowsText(later(), 1));

  // A widget the program unmanaged stays unmanaged.
  XtUnmanageChild(mc);
  XtVaSetValues(mc, XmNfontList, font, nullptr);
  EXPECT_FALSE(XtIsManaged(mc));
  XmFontListFree(font);
}

TEST_F(ColumnsLook, XmChangeColorReachesHeadersAndColumns) {
  XmChangeColor(mc, 0x406080);
  EXPECT_EQ(headerPixel(0), 0x406080ul);
  EXPECT_EQ(headerPixel(1), 0x406080ul);
  EXPECT_EQ(lowPixel(firstInner(mc)), 0x406080ul);
  EXPECT_EQ(lowPixel(later()), 0x406080ul);
  EXPECT_TRUE(rowShowsText(later(), 2));
  // Headers with a colour of their own keep it.
  XtVaSetValues(mc, XdNheaderColor, 0x00a000, nullptr);
  XmChangeColor(mc, 0x605040);
  EXPECT_EQ(headerPixel(1), 0x00a000ul);
  EXPECT_EQ(lowPixel(later()), 0x605040ul);
}

TEST_F(MotifUse, CtrlHomeAndCtrlEndGoToTheFirstAndLastRowOfBothLists) {
  const int kRows = 500;
  Widget form = XtVaCreateManagedWidget("form", xmFormWidgetClass, shell, nullptr);
  Arg a[5];
  XtSetArg(a[0], XmNtopAttachment, XmATTACH_FORM);
  XtSetArg(a[1], XmNbottomAttachment, XmATTACH_FORM);
  XtSetArg(a[2], XmNleftAttachment, XmATTACH_FORM);
  XtSetArg(a[3], XmNwidth, 150);
  Widget il = XdCreateIconList(form, (char *)"icons", a, 4);
  XtSetArg(a[2], XmNleftAttachment, XmATTACH_WIDGET);
  XtSetArg(a[3], XmNleftWidget, il);
  XtSetArg(a[4], XmNwidth, 240);
  Widget mc = XdCreateMCIconList(form, (char *)"columns", a, 5);
  XdMCIconListAddColumn(mc, str("Name"), 110, 0, 0, 0, nullptr);
  XdMCIconListAddColumn(mc, str("Size"), 110, 0, 0, 0, nullptr);
  std::vector<XmString> first, second;
  for (int i = 1; i <= kRows; ++i) {
    first.push_back(str("row " + std::to_string(i)));
    second.push_back(str("cell " + std::to_string(i)));
  }
  XdIconListAddItems(il, nullptr, first.data(), nullptr, kRows, 0);
  XmString *strings[] = {first.data(), second.data()};
  XdMCIconListAddItems(mc, nullptr, strings, nullptr, kRows, 0);
  Calls told;
  told.watch(il, XmNbrowseSelectionCallback);
  told.watch(mc, XmNbrowseSelectionCallback);
  XtManageChild(il);
  XtManageChild(mc);
  show();
  Display *dpy = app().dpy;
  Widget later = XdMCIconListGetChild(mc, 1, XdMCIL_LIST);

  for (Widget list : {innerOf(il), firstInner(mc)}) {
    SCOPED_TRACE(list == innerOf(il) ? "icon list" : "multi-column list");
    ASSERT_TRUE(qevtest::clickRowHandled(list, 2));
    told.calls.clear();
    ASSERT_TRUE(qevtest::keyHandled(dpy, XK_End, ControlMask));
    pump();
    EXPECT_EQ(selected(list), std::vector<int>{kRows});
    ASSERT_FALSE(told.calls.empty());
    EXPECT_EQ(told.calls.back().item_position, kRows);
    EXPECT_TRUE(rowShowsText(list, kRows));  // scrolled into view
    if (list == firstInner(mc)) {
      EXPECT_TRUE(rowShowsText(later, kRows));  // the other column goes along
    }
    ASSERT_TRUE(qevtest::keyHandled(dpy, XK_Home, ControlMask));
    pump();
    EXPECT_EQ(selected(list), std::vector<int>{1});
    EXPECT_EQ(told.calls.back().item_position, 1);
    EXPECT_TRUE(rowShowsText(list, 1));
    if (list == firstInner(mc)) {
      EXPECT_TRUE(rowShowsText(later, 1));
    }
    pauseClicks();
  }
}

}  // namespace
