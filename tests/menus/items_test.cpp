// Menu items as a user meets them, driven by the pointer and the keyboard:
// the print items under host and X printing, gray cascades, the menu
// dialog's choice values and window-manager hints, the view additions, the
// About box's place and toolkit version, double-byte mnemonics and the
// string popup.
#include "menufixture.h"
#include "commands/wucmds.h"

#include <X11/Xatom.h>
#include <Xm/MessageB.h>
#include <Xm/MwmUtil.h>
#include <Xm/ToggleB.h>

#include <cctype>
#include <cstdio>

#include "frames/wutframe.h"

extern "C" int32_t wumhpop(Widget w, char **labels, int32_t count, const int32_t *enabled,
                           const char *mnemonics, const int32_t *command_ids);

namespace {

using qevhost::MenuNode;

class MenuItems : public MenuTest {
 protected:
  // Clicks a menu-bar cascade and waits for its pulldown; the pulldown.
  Widget Post(const std::string &label) {
    Widget cascade = Find(window_->menu_widget, label);
    EXPECT_NE(cascade, nullptr) << label;
    if (!cascade) return nullptr;
    qevtest::clickWidget(cascade);
    Widget sub = SubMenu(cascade);
    EXPECT_TRUE(qevtest::turnUntil([&] { return XtIsManaged(sub) && Shown(sub); })) << label;
    Settle();
    return sub;
  }
  // Posts the cascade and clicks the item labelled `item` in its pulldown;
  // the events queued for the window afterwards.
  std::vector<std::string> Choose(const std::string &cascade, const std::string &item) {
    Widget sub = Post(cascade);
    Widget it = Find(sub, item);
    EXPECT_NE(it, nullptr) << item;
    if (!it) {
      qevtest::pressKey(devb->display, XK_Escape);
      Settle();
      return {};
    }
    qevtest::clickWidget(it);
    qevtest::turnUntil([&] { return wutcqev(window_) > 0; }, 2000);
    Settle();
    return Queued();
  }
  std::vector<std::string> Labels(Widget menu) {
    std::vector<std::string> out;
    for (Widget k : Children(menu))
      if (XtIsManaged(k) && !LabelOf(k).empty()) out.push_back(LabelOf(k));
    return out;
  }
};

// ---- printing -----------------------------------------------------------------

std::vector<MenuNode> PrintMenu() {
  return {Menu(1, {Item("File", 2), Item("Go", 0)}),
          Menu(2, {Item("Setup", 0, 22, 22), Item("Print", 0, 29, 29), Item("Shot", 0, 35, 35)})};
}

TEST_F(MenuItems, WithXPrintingThePrintItemsOpenTheModulesPrintDialogs) {
  devb->prefs.host_print = True;
  qevhost::setNumOption("UNIVERSALPRINT", 0);
  qevhost::setMessage(526, 352, "Print Setup...");
  qevhost::setMessage(526, 351, "Print...");
  Build(PrintMenu());
  EXPECT_EQ(Labels(Post("File")), (std::vector<std::string>{"Print Setup...", "Print...", "Shot"}));
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
  EXPECT_EQ(Choose("File", "Print..."), std::vector<std::string>{"DLGPRT"});
  EXPECT_EQ(Choose("File", "Print Setup..."), std::vector<std::string>{"DLGPRTSETUP"});
  EXPECT_EQ(Choose("File", "Shot"), std::vector<std::string>{"DLGPRT ALTCMD='SPRINT NOBORDER'"});
}

TEST_F(MenuItems, WithHostPrintingThePrintItemsRunTheirCommands) {
  // The universal print option is not what chooses between host and X
  // printing: the display's X-printing flag is.
  devb->prefs.host_print = False;
  qevhost::setNumOption("UNIVERSALPRINT", 1);
  qevhost::setMessage(526, 351, "Print...");
  ASSERT_EQ(wumshpn(0), WU_OK);   // the printing question was answered
  Build(PrintMenu());
  EXPECT_EQ(Labels(Post("File")), (std::vector<std::string>{"Print", "Shot"}));
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
  EXPECT_EQ(Choose("File", "Print"), std::vector<std::string>{"Print"});
  EXPECT_EQ(Choose("File", "Shot"), std::vector<std::string>{"Shot"});
}

// Answers the printing question: host printing, then OK.
Widget QuestionShell() {
  Window root = RootWindow(devb->display, devb->screen), parent = 0, *kids = nullptr;
  unsigned n = 0;
  Widget found = nullptr;
  if (!XQueryTree(devb->display, root, &root, &parent, &kids, &n)) return nullptr;
  for (unsigned i = 0; i < n && !found; ++i) {
    Widget w = XtWindowToWidget(devb->display, kids[i]);
    if (w && std::strcmp(XtName(w), "PrintQuestionP") == 0 && Shown(w)) found = w;
  }
  if (kids) XFree(kids);
  return found;
}

// The step that answers the printing question: host printing, OK.
qevtest::Script::Step AnswerHostPrinting() {
  return {"the printing question answered with host printing", [] { return QuestionShell() != nullptr; },
          [] {
            Widget shell = QuestionShell();
            Widget second = XtNameToWidget(shell, "*choice2");
            EXPECT_TRUE(qevtest::clickHandled(second));
            EXPECT_TRUE(XmToggleButtonGetState(second));
            for (Widget b : Children(XtNameToWidget(shell, "PrintQuestion")))
              if (std::strcmp(XtName(b), "button") == 0 && LabelOf(b) == "OK") {
                EXPECT_TRUE(qevtest::clickHandled(b));
                return;
              }
            ADD_FAILURE() << "no OK button";
          }};
}

TEST_F(MenuItems, PrintingWithoutAnItemRunsTheCommandItWasGiven) {
  qevhost::setMessage(526, 12, "OK");
  NewWindow();
  ASSERT_TRUE(Realise());
  wu_module()->current = window_;
  // Graphics printing gives its own command, for the current window: once
  // host printing is chosen, that command runs.
  char command[] = "qgvprint all";
  qevtest::Script q;
  q.then({AnswerHostPrinting()});
  Play(q, [&] { wuwhprt(nullptr, command, nullptr); });
  EXPECT_EQ(Queued(), std::vector<std::string>{"qgvprint all"});
  // The dispatcher's print gives the window: "print" runs.
  std::remove((qevhost::catalogRoot() + "/" + qevhost::kProfileLibref + "/" +
               qevhost::kProfileCatalog + "/PRTNOTIF.UNXPREFS").c_str());
  ASSERT_FALSE(GetHostPrintNotif());
  qevtest::Script again;
  again.then({AnswerHostPrinting()});
  Play(again, [&] { wuwhprt(nullptr, window_, nullptr); });
  EXPECT_EQ(Queued(), std::vector<std::string>{"print"});
}

// The dialog node of a print item: the number of copies.
MenuNode CopiesDialog(int32_t number) {
  MenuNode dlg;
  dlg.number = number;
  dlg.kind = 2;
  dlg.text = DialogRecord(1, 1, "Copies:", WU_MDLG_LABEL) + DialogRecord(1, 10, "", WU_MDLG_INPUT, 0, 3);
  dlg.templ = "PRINT COPIES=@1";
  return dlg;
}

TEST_F(MenuItems, APrintItemWithADialogAsksHowToPrintThenOpensIt) {
  qevhost::setMessage(526, 12, "OK");
  devb->prefs.host_print = False;
  Build({Menu(1, {Item("File", 2), Item("Go", 0)}), Menu(2, {Item("Print", 3, 29, 29)}), CopiesDialog(3)});
  Widget sub = Post("File");
  qevtest::Script q;
  q.then({AnswerHostPrinting()});
  Play(q, [&] { EXPECT_TRUE(qevtest::clickHandled(Find(sub, "Print"))); });
  // Host printing was chosen: the item's dialog comes up.
  Widget dialog = ShownDialog(window_);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(GetHostPrintNotif());
  qevtest::clickWidget(XtNameToWidget(dialog, "dlgInput"));
  qevtest::pressKey(devb->display, XK_2);
  qevtest::turnUntil([&] { return wutcqev(window_) < 0; }, 300);
  qevtest::clickWidget(XtNameToWidget(dialog, "dlgOKButton"));
  qevtest::turnUntil([&] { return window_->dialog_block == nullptr; });
  EXPECT_EQ(Queued(), std::vector<std::string>{"PRINT COPIES=2"});
}

// A window popup whose record the host releases while the chosen item waits
// on the printing question answers "closed without a choice" (18447) and
// leaves no popdown behind in the window's queue.  A plain item's command
// still runs as a menu command; an item whose dialog went with the popup's
// menu opens nothing.

TEST_F(MenuItems, APopupReleasedWhileItsItemAsksAnswersWithoutAChoice) {
  qevhost::setMessage(526, 12, "OK");
  devb->prefs.host_print = False;
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "POP", {Menu(1, {Item("Print", 0, 29, 29)})}));
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "DLG", {Menu(1, {Item("Print", 2, 29, 29)}), CopiesDialog(2)}));
  NewWindow();
  ASSERT_TRUE(Realise());
  const std::pair<const char *, std::vector<std::string>> cases[] = {{"POP", {"Print"}}, {"DLG", {}}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.first);
    std::remove((qevhost::catalogRoot() + "/" + qevhost::kProfileLibref + "/" +
                 qevhost::kProfileCatalog + "/PRTNOTIF.UNXPREFS").c_str());
    Location l = Loc(c.first);
    wu_popup_menu *p = nullptr;
    ASSERT_EQ(Slot<LoadFn>(WUX_SLOT_GPMU)(window_, nullptr, l.libref, l.catalog, l.entry, &p), WU_OK);
    wu_status released = -1;
    qevtest::Script r;
    r.then("Print clicked in the popup", [&] { return p->widget && Shown(p->widget); },
           [&] { qevtest::clickWidget(Find(p->widget, "Print")); })
        .then("the popup released under the question", [] { return QuestionShell() != nullptr; },
              [&] { released = Slot<PopupFn>(WUX_SLOT_FPMU)(window_, p); })
        .then({AnswerHostPrinting()});
    Play(r, [&] { EXPECT_EQ(Slot<PopupFn>(WUX_SLOT_DPMU)(window_, p), WU_SECOND_EVENT); });
    EXPECT_EQ(released, WU_OK);
    Settle();
    EXPECT_EQ(Queued(), c.second);
    EXPECT_EQ(window_->dialog_block, nullptr);
  }
}

// ---- gray and check states of cascades ----------------------------------------

TEST_F(MenuItems, GrayedCascadesDoNotOpen) {
  qevhost::MenuItem edit = Item("Edit", 3, 0, 7);
  edit.grayed = 1;
  Build({Menu(1, {Item("File", 2, 0, 6), edit}),
         Menu(2, {Item("Deep", 4, 0, 8), Item("Flat", 0, 0, 9)}),
         Menu(3, {Item("Cut", 0)}),
         Menu(4, {Item("Inner", 0), Item("Other", 0)})});
  Widget bar = window_->menu_widget;
  Widget editc = Find(bar, "Edit");
  ASSERT_NE(editc, nullptr);
  EXPECT_FALSE(XtIsSensitive(editc));
  qevtest::clickWidget(editc);
  Settle();
  EXPECT_FALSE(Shown(SubMenu(editc)));
  // The host ungrays it: it opens; it grays "File" by the cascade's id.
  auto gray = Slot<ItemFn>(WUX_SLOT_GITM);
  ASSERT_EQ(gray(window_, 7, 0), WU_OK);
  EXPECT_TRUE(XtIsSensitive(editc));
  Widget sub = Post("Edit");
  EXPECT_NE(Find(sub, "Cut"), nullptr);
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
  ASSERT_EQ(gray(window_, 6, 1), WU_OK);
  Widget file = Find(bar, "File");
  EXPECT_FALSE(XtIsSensitive(file));
  qevtest::clickWidget(file);
  Settle();
  EXPECT_FALSE(Shown(SubMenu(file)));
  // A cascade inside a pulldown grayed before its pulldown is built comes
  // up grayed; ungrayed afterwards it is sensitive again.
  ASSERT_EQ(gray(window_, 8, 1), WU_OK);
  ASSERT_EQ(gray(window_, 6, 0), WU_OK);
  sub = Post("File");
  Widget deep = Find(sub, "Deep");
  ASSERT_NE(deep, nullptr);
  EXPECT_FALSE(XtIsSensitive(deep));
  EXPECT_TRUE(XtIsSensitive(Find(sub, "Flat")));
  ASSERT_EQ(gray(window_, 8, 0), WU_OK);
  EXPECT_TRUE(XtIsSensitive(deep));
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
}

// ---- menu dialogs -----------------------------------------------------------------

// A dialog: a radio box of two choices, each with a value; the first,
// selected, adds nothing to the command.
MenuNode SizeDialog() {
  MenuNode dlg;
  dlg.number = 2;
  dlg.kind = 2;
  dlg.text = DialogRecord(1, 1, "", WU_MDLG_RADIOBOX, 24) + DialogRecord(1, 1, "Big", WU_MDLG_CHOICE_SET, 1) +
             DialogRecord(1, 1, "BIGVAL", WU_MDLG_CHOICE_VALUE) + DialogRecord(1, 12, "Small", WU_MDLG_CHOICE, 0) +
             DialogRecord(1, 1, "SMALLV", WU_MDLG_CHOICE_VALUE);
  dlg.templ = "SIZE%1.";
  return dlg;
}


TEST_F(MenuItems, AChoiceValueKeepsTheChoicesMarkThatItAddsNothing) {
  qevhost::setMessage(526, 12, "Fine");
  qevhost::setMessage(526, 10, "Drop");
  Build({Menu(1, {Item("Ask", 2, 0, 5), Item("Go", 0)}), SizeDialog()});
  Widget ask = Find(window_->menu_widget, "Ask");
  ASSERT_NE(ask, nullptr);
  qevtest::clickWidget(ask);
  Widget dialog = ShownDialog(window_);
  ASSERT_NE(dialog, nullptr);
  Widget ok = XtNameToWidget(dialog, "dlgOKButton");
  // The buttons carry the module's texts.
  EXPECT_EQ(LabelOf(ok), "Fine");
  EXPECT_EQ(LabelOf(XtNameToWidget(dialog, "dlgCancelButton")), "Drop");
  Settle();
  qevtest::clickWidget(ok);
  qevtest::turnUntil([&] { return window_->dialog_block == nullptr; });
  EXPECT_EQ(Queued(), std::vector<std::string>{"SIZE."});
  // The other choice gives its value.
  qevtest::clickWidget(ask);
  dialog = ShownDialog(window_);
  ASSERT_NE(dialog, nullptr);
  Settle();
  qevtest::clickWidget(XtNameToWidget(dialog, "*Small"));
  qevtest::turnUntil([&] { return XmToggleButtonGetState(XtNameToWidget(dialog, "*Small")); });
  qevtest::clickWidget(XtNameToWidget(dialog, "dlgOKButton"));
  qevtest::turnUntil([&] { return window_->dialog_block == nullptr; });
  EXPECT_EQ(Queued(), std::vector<std::string>{"SIZESMALLV."});
}

// The window-manager decorations asked for on a shell, -1 when none.
long Decorations(Widget shell) {
  Atom hints = XInternAtom(devb->display, "_MOTIF_WM_HINTS", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  long out = -1;
  if (XGetWindowProperty(devb->display, XtWindow(shell), hints, 0, 5, False, AnyPropertyType, &type,
                         &format, &count, &after, &data) == Success &&
      data && format == 32 && count >= 3) {
    const long *v = reinterpret_cast<const long *>(data);
    if (v[0] & MWM_HINTS_DECORATIONS) out = v[2];
  }
  if (data) XFree(data);
  return out;
}

class MenuDialogFrame : public MenuItems {
 protected:
  // The cases after these in the process run without a window manager.
  void TearDown() override {
    MenuItems::TearDown();
    qevtest::stopWindowManager();
  }
  long Open() {
    Build({Menu(1, {Item("Ask", 2, 0, 5), Item("Go", 0)}), SizeDialog()});
    qevtest::clickWidget(Find(window_->menu_widget, "Ask"));
    Widget dialog = ShownDialog(window_);
    if (!dialog) return -2;
    return Decorations(XtParent(dialog));
  }
};

TEST_F(MenuDialogFrame, WithoutAMotifWindowManagerTitleAndBorderAreAsked) {
  EXPECT_EQ(Open(), long(MWM_DECOR_TITLE | MWM_DECOR_BORDER));
}

TEST_F(MenuDialogFrame, UnderAMotifWindowManagerTheTitleAloneIsAsked) {
  ASSERT_TRUE(qevtest::startWindowManager());
  EXPECT_EQ(Open(), long(MWM_DECOR_TITLE));
}

// ---- view additions -----------------------------------------------------------------

// True when some pixel of the item's left icon square differs from its
// background.
bool IconDrawn(Widget item) {
  Dimension h = 0;
  Pixel bg = 0;
  XtVaGetValues(item, XmNheight, &h, XmNbackground, &bg, nullptr);
  XColor c;
  c.pixel = bg;
  XQueryColor(devb->display, devb->colormap, &c);
  const unsigned long rgb = ((c.red >> 8) << 16) | ((c.green >> 8) << 8) | (c.blue >> 8);
  const int y0 = (int(h) - 16) / 2;
  for (int y = y0; y < y0 + 16; ++y)
    for (int x = 4; x < 20; ++x)
      if (qevtest::pixelAt(devb->display, XtWindow(item), x, y) != rgb) return true;
  return false;
}

TEST_F(MenuItems, ViewAdditionsRunTheirMessagesAndTheToolBoxItemShowsItsState) {
  qevhost::setBoolOption("AWSMENUMERGE", true);
  qevhost::setMessage(526, 277, "VIEW TILES");
  qevhost::setMessage(526, 278, "VIEW TOOLBOX");
  wu_state *st = wu_module();
  st->view_labels[0] = "Tiles";
  st->view_labels[1] = "ToolBox";
  st->view_mnemonics[0] = 'T';
  devb->prefs.default_toolbox = True;
  Build({Menu(1, {Item("View", 2), Item("Go", 0)}),
         Menu(2, {Item("Views", 0, 66), Item("Other", 0)})});
  Widget sub = Post("View");
  EXPECT_EQ(Labels(sub), (std::vector<std::string>{"Tiles", "ToolBox", "Other"}));
  Widget toolbox = Find(sub, "ToolBox");
  ASSERT_NE(toolbox, nullptr);
  EXPECT_EQ(window_->toolbox_item, toolbox);
  KeySym mn = 0;
  XtVaGetValues(Find(sub, "Tiles"), XmNmnemonic, &mn, nullptr);
  EXPECT_EQ(mn, KeySym('T'));
  qevtest::turnUntil([&] { return IconDrawn(toolbox); }, 1000);
  EXPECT_TRUE(IconDrawn(toolbox));
  EXPECT_FALSE(IconDrawn(Find(sub, "Tiles")));
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
  EXPECT_EQ(Choose("View", "Tiles"), std::vector<std::string>{"VIEW TILES"});
  EXPECT_EQ(Choose("View", "ToolBox"), std::vector<std::string>{"VIEW TOOLBOX"});
  // Without the merge option the view additions are not made.
  qevhost::setBoolOption("AWSMENUMERGE", false);
  ASSERT_EQ(wutiamu(window_), WU_OK);
  Settle();
  EXPECT_EQ(Labels(Post("View")), std::vector<std::string>{"Other"});
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
}

// ---- About box --------------------------------------------------------------------------

void AboutMessages() {
  const std::pair<int, const char *> texts[] = {
      {17, "Banner"}, {18, "Product"}, {19, "Release"}, {20, "Rights"}, {21, "X server"},
      {289, "System"}, {290, "system %s"}, {291, "release %s"}, {292, "version %s"},
      {22, "toolkit %d.%d.%d"}, {23, "protocol %d"}, {24, "display %s"}, {25, "vendor %s"},
      {26, "vendor release %d"}, {653, "visual %s"}, {667, "depth %d"}, {654, "cells %d"},
      {655, "Colours"}};
  for (auto &t : texts) qevhost::setMessage(526, t.first, t.second);
}

// The top-left corner of the About box's shell on the root window.
std::pair<int, int> AboutCorner() {
  Widget box = wu_module()->about_box;
  qevtest::turnUntil([&] { return box && Shown(XtParent(box)); });
  Window child;
  int x = 0, y = 0;
  XTranslateCoordinates(devb->display, XtWindow(XtParent(box)),
                        RootWindow(devb->display, devb->screen), 0, 0, &x, &y, &child);
  return {x, y};
}

std::pair<int, int> Corner(Widget w) {
  Window child;
  int x = 0, y = 0;
  XTranslateCoordinates(devb->display, XtWindow(w), RootWindow(devb->display, devb->screen), 0, 0,
                        &x, &y, &child);
  return {x, y};
}

TEST_F(MenuItems, TheAboutItemShowsTheBoxBesideItsWindowWithTheToolkitVersion) {
  AboutMessages();
  Build({Menu(1, {Item("Help", 2), Item("Go", 0)}), Menu(2, {Item("About", 0, 102)})});
  Widget sub = Post("Help");
  qevtest::clickWidget(Find(sub, "About"));
  ASSERT_TRUE(qevtest::turnUntil([] { return wu_module()->about_box != nullptr; }));
  Widget box = wu_module()->about_box;
  const std::pair<int, int> outer = Corner(window_->outer);
  EXPECT_EQ(AboutCorner(), std::make_pair(outer.first + 50, outer.second + 50));
  // The toolkit section gives the running library's three version numbers.
  char version[32];
  std::snprintf(version, sizeof version, "toolkit %d.%d.", xmUseVersion / 1000, xmUseVersion % 1000);
  std::string toolkit;
  Widget layout = XtNameToWidget(box, "layout");
  for (Widget frame : Children(layout))
    if (Widget info = XtNameToWidget(frame, "info"))
      if (LabelOf(info).find("toolkit") != std::string::npos) toolkit = LabelOf(info);
  EXPECT_EQ(toolkit.rfind(version, 0), 0u) << toolkit;
  const std::string update = toolkit.substr(std::strlen(version), toolkit.find('\n') - std::strlen(version));
  ASSERT_FALSE(update.empty()) << toolkit;
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(update[0]))) << toolkit;
  qevtest::clickWidget(XmMessageBoxGetChild(box, XmDIALOG_OK_BUTTON));
  ASSERT_TRUE(qevtest::turnUntil([] { return wu_module()->about_box == nullptr; }));
}

TEST_F(MenuItems, TheAboutBoxGoesToTheRecordedDialogParentOrTheDefaultPlace) {
  AboutMessages();
  NewWindow();
  ASSERT_TRUE(Realise());
  // A dialog parent the host recorded: the box is at its corner.
  Widget parent = XtVaAppCreateShell("dialogParent", "QEV", topLevelShellWidgetClass, devb->display,
                                     XmNx, 300, XmNy, 200, XmNwidth, 100, XmNheight, 80, nullptr);
  XtRealizeWidget(parent);
  ASSERT_TRUE(qevtest::turnUntil([&] { return Shown(parent); }));
  wu_module()->dialog_parent = parent;
  wuwoabt(nullptr, window_, nullptr);
  EXPECT_EQ(AboutCorner(), Corner(parent));
  Widget box = wu_module()->about_box;
  Boolean by_default = True;
  XtVaGetValues(box, XmNdefaultPosition, &by_default, nullptr);
  EXPECT_FALSE(by_default);
  qevtest::clickWidget(XmMessageBoxGetChild(box, XmDIALOG_OK_BUTTON));
  ASSERT_TRUE(qevtest::turnUntil([] { return wu_module()->about_box == nullptr; }));
  // No window and no dialog parent: where the toolkit puts dialogs.
  wu_module()->dialog_parent = nullptr;
  XtDestroyWidget(parent);
  wuwoabt(nullptr, nullptr, nullptr);
  box = wu_module()->about_box;
  ASSERT_NE(box, nullptr);
  XtVaGetValues(box, XmNdefaultPosition, &by_default, nullptr);
  EXPECT_TRUE(by_default);
  EXPECT_TRUE(XtIsManaged(box));
}

// ---- mnemonics --------------------------------------------------------------------------

qevhost::MenuItem Mnemonic(const std::string &label, char m, int32_t submenu = 0) {
  qevhost::MenuItem it = Item(label, submenu);
  it.mnemonic = m;
  return it;
}

class DoubleByte : public MenuItems {
 protected:
  void SetUp() override {
    MenuItems::SetUp();
    qevhost::gcb()->multibyte = 1;
  }
  void TearDown() override {
    if (qevhost::gcb()) qevhost::gcb()->multibyte = 0;
    MenuItems::TearDown();
  }
};

TEST_F(DoubleByte, APlacedMnemonicIsShownAndRunsTheItem) {
  Build({Menu(1, {Mnemonic("File", 'f', 2), Item("Go", 0)}),
         Menu(2, {Mnemonic("Save ...", 'x'), Mnemonic("Open", 'o')})});
  Widget sub = Post("File");
  // The letter the label lacks is shown in parentheses before the dots.
  Widget save = Find(sub, "Save(X)...");
  ASSERT_NE(save, nullptr) << ::testing::PrintToString(Labels(sub));
  KeySym mn = 0;
  char *charset = nullptr;
  XtVaGetValues(save, XmNmnemonic, &mn, XmNmnemonicCharSet, &charset, nullptr);
  EXPECT_EQ(mn, KeySym('X'));
  ASSERT_NE(charset, nullptr);
  EXPECT_STREQ(charset, devb->motifres.mnemonic_charset);
  XtFree(charset);   // the toolkit hands out a copy
  // Typing the letter runs the item.
  qevtest::pressKey(devb->display, XK_x);
  qevtest::turnUntil([&] { return wutcqev(window_) > 0; }, 2000);
  EXPECT_EQ(Queued(), std::vector<std::string>{"Save ..."});
}

TEST_F(DoubleByte, ButtonsOfTheSecondPlaceShowTheirLabelAsGiven) {
  Build({Menu(1, {Mnemonic("Stop ...", 's'), Mnemonic("Run", 'x')})}, 0);
  ASSERT_EQ(window_->menu_mode, WU_MMODE_BUTTONBOX2);
  EXPECT_EQ(Labels(window_->menu_widget), (std::vector<std::string>{"Stop ...", "Run"}));
}

TEST_F(DoubleByte, WithMnemonicsOffAHostsMarkerIsDropped) {
  devb->prefs.pmenu_mnemonics = False;
  Build({Menu(1, {Item("Go(G)", 0), Item("Run", 0)})});
  EXPECT_EQ(Labels(window_->menu_widget), (std::vector<std::string>{"Go", "Run"}));
}

// ---- the string popup -------------------------------------------------------------------

TEST_F(DoubleByte, TheStringPopupShowsPlacedMnemonicsInTheDialogColours) {
  char open[] = "Open ...", close[] = "close";
  char *labels[] = {open, close};
  const char mnemonics[] = {'x', 'c'};
  const StringPopupSeen key = ClickStringPopup(
      "close", [&] { EXPECT_EQ(wumhpop(nullptr, labels, 2, nullptr, mnemonics, nullptr), 2); });
  EXPECT_EQ(key.labels, (std::vector<std::string>{"Open(X)...", "close"}));
  // The letter the label has is taken in its upper-case form.
  EXPECT_EQ(key.mnemonics, (std::vector<KeySym>{KeySym('X'), KeySym('C')}));
  wu_colour_set dialog{};
  ASSERT_EQ(wuwgpmc(nullptr, WU_CSET_DIALOG, &dialog), WU_OK);
  EXPECT_EQ(key.background, dialog.background);
  ClickStringPopup("Open(X)...",
                   [&] { EXPECT_EQ(wumhpop(nullptr, labels, 2, nullptr, mnemonics, nullptr), 1); });
}

}  // namespace

namespace {

Dimension Height(Widget w) {
  Dimension h = 0;
  XtVaGetValues(w, XmNheight, &h, nullptr);
  return h;
}

TEST_F(MenuItems, ButtonBoxesAreAsHighAsAMenuBarOrARowOfButtons) {
  // A menu bar's height.
  Build({Menu(1, {Item("Run", 2), Item("Stop", 0)}), Menu(2, {Item("A", 0)})});
  ASSERT_EQ(window_->menu_mode, WU_MMODE_MENUBAR);
  const Dimension bar = Height(window_->menu_widget);
  wuxfwnd(window_);
  window_ = nullptr;
  // In the menu bar's place a button box is two pixels lower.
  Build({Menu(1, {Item("Run", 0), Item("Stop", 0)})});
  ASSERT_EQ(window_->menu_mode, WU_MMODE_BUTTONBOX);
  EXPECT_EQ(Height(window_->menu_widget), bar - 2);
  wuxfwnd(window_);
  window_ = nullptr;
  // In the second place its buttons show their whole label inside their
  // shadows (4) and margins (2).
  Build({Menu(1, {Item("Run", 0), Item("Stop", 0)})}, 0);
  ASSERT_EQ(window_->menu_mode, WU_MMODE_BUTTONBOX2);
  for (Widget b : Children(window_->menu_widget))
    EXPECT_GE(int(Height(b)), devb->cell_height + 2 * (4 + 2)) << LabelOf(b);
}

}  // namespace

namespace {

// ---- print preview item, slot 42 --------------------------------------

TEST_F(MenuItems, TasksNamedByTheHostGetNoPrintPreview) {
  devb->prefs.host_print = True;
  qevhost::setBoolOption("AWSMENUMERGE", true);
  qevhost::setMessage(526, 351, "Print...");
  qevhost::setMessage(526, 432, "Preview...");
  qevhost::setMessage(526, 352, "Print Setup...");
  qevhost::setMessage(682, 54, "EDIT");
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", PrintMenu()));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  window_->event_task = qevhost::createTask("EDITOR", 0, 0);
  ASSERT_TRUE(Realise());
  EXPECT_EQ(Labels(Post("File")), (std::vector<std::string>{"Print Setup...", "Print...", "Shot"}));
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
  // Another task's window has the item after Print.
  window_->event_task = qevhost::createTask("VIEWER", 0, 0);
  ASSERT_EQ(wutiamu(window_), WU_OK);
  Settle();
  EXPECT_EQ(Labels(Post("File")),
            (std::vector<std::string>{"Print Setup...", "Print...", "Preview...", "Shot"}));
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
}

TEST_F(MenuItems, ANewActionMenuNeedsNoLibraryReferenceWithAHandle) {
  Build({Menu(1, {Item("Old", 0), Item("Gone", 0)})});
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "NEW", {Menu(1, {Item("Fresh", 0), Item("Again", 0)})}));
  const qev_kernel *k = qevhost::gcb()->kernel;
  Location l = Loc("NEW");
  qev_lib *lib = nullptr;
  ASSERT_EQ(k->ylopen(&lib, QEV_LIB_READ, l.libref, l.catalog), WU_OK);
  ASSERT_EQ(Slot<ChangeFn>(WUX_SLOT_CMNU)(window_, lib, nullptr, l.catalog, l.entry), WU_OK);
  Settle();
  EXPECT_EQ(Labels(window_->menu_widget), (std::vector<std::string>{"Fresh", "Again"}));
  qevtest::clickWidget(Find(window_->menu_widget, "Again"));
  qevtest::turnUntil([&] { return wutcqev(window_) > 0; }, 2000);
  EXPECT_EQ(Queued(), std::vector<std::string>{"Again"});
  k->ylclose(lib);
}

}  // namespace
