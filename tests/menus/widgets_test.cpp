// Menus on the X server: the menu bar and button boxes built from an entry,
// lazy submenus, one-item chains, trailing separators, fixed command ids,
// commands queued by clicks, gray and check states, window popups answered
// by a click and by Escape, the choice popup, record and replay, and a menu
// dialog answered.
#include "menufixture.h"
#include "commands/wucmds.h"

#include <Xm/Text.h>
#include <X11/extensions/XTest.h>
#include <Xm/MessageB.h>
#include <Xm/ToggleB.h>

namespace {

using qevhost::MenuNode;

const int kEventCommandWindow = 103;

std::vector<MenuNode> BarMenu() {
  qevhost::MenuItem close = Item("Close", 0, 0, 3);
  close.separator = 1;
  qevhost::MenuItem open = Item("Open", 6, 0, 2);
  open.separator = 1;
  return {Menu(1, {Item("File", 2, 0, 1), Item("Chain", 3), Item("Tools", 5), Item("Quit", 0, 0, 9),
                   Item("Never", 0, 197), Item("Setup", 0, 22), Item("Cmdwin", 0, 40)}),
          Menu(2, {open, close, Item("Gone", 0, 197)}),
          Menu(3, {Item("Down", 4)}),
          Menu(4, {}),
          Menu(5, {Item("Only", 7)}),
          Command(6, "OPEN FILE"),
          Menu(7, {Item("Hammer", 0, 0, 11), Item("Saw", 0, 0, 12)})};
}

class MenuWidgets : public MenuTest {};

// A bar cascade wrapping a command: its one-item pulldown's button.
Widget Wrapped(Widget cascade) {
  std::vector<Widget> k = Children(SubMenu(cascade));
  return k.empty() ? nullptr : k[0];
}

TEST_F(MenuWidgets, MenuBarFromAnEntryBuildsSubmenusOnFirstOpening) {
  Build(BarMenu());
  ASSERT_NE(window_->menu_widget, nullptr);
  EXPECT_EQ(window_->menu_mode, WU_MMODE_MENUBAR);
  Widget bar = window_->menu_widget;
  unsigned char type = 0;
  XtVaGetValues(bar, XmNrowColumnType, &type, nullptr);
  EXPECT_EQ(type, XmMENU_BAR);
  EXPECT_TRUE(window_->module_flags & WU_DECOR_MENUBAR);
  // A chain of one-item menus that ends empty, id 197 and (without X
  // printing) id 22 make no item.
  std::vector<std::string> labels;
  for (Widget k : Children(bar))
    if (XtIsManaged(k)) labels.push_back(LabelOf(k));
  EXPECT_EQ(labels, (std::vector<std::string>{"File", "Tools", "Quit", "Cmdwin"}));

  Widget file = Find(bar, "File");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(Children(SubMenu(file)).empty());   // nothing built before opening
  Widget sub = Open(file);
  std::vector<Widget> items = Children(sub);
  ASSERT_EQ(items.size(), 4u);   // Open, separator, Close, separator
  EXPECT_EQ(LabelOf(items[0]), "Open");
  EXPECT_TRUE(XtIsManaged(items[1]));
  EXPECT_FALSE(XtIsManaged(items[3]));   // a trailing separator is hidden
  // Opening again builds nothing more.
  Open(file);
  EXPECT_EQ(Children(sub).size(), 4u);
  // A one-item menu opening another menu shows that menu directly.
  Widget tools = Open(Find(bar, "Tools"));
  EXPECT_NE(Find(tools, "Hammer"), nullptr);
  EXPECT_NE(Find(tools, "Saw"), nullptr);

  // Choosing items queues their commands and marks the window.
  window_->flags &= ~WU_WIN_MENU_COMMAND;
  ClickThrough(file, "Open");
  ClickThrough(file, "Close");
  ClickThrough(Find(bar, "Quit"), "Quit");
  ClickThrough(Find(bar, "Cmdwin"), "Cmdwin");
  qevtest::turnUntil([&] { return wutcqev(window_) >= 4; }, 2000);
  EXPECT_TRUE(window_->flags & WU_WIN_MENU_COMMAND);
  EXPECT_EQ(Queued(), (std::vector<std::string>{"OPEN FILE", "Close", "Quit",
                                                "#" + std::to_string(kEventCommandWindow)}));
  // The command-window item shows the command window.
  ASSERT_NE(wumcwtf(), nullptr);
  EXPECT_TRUE(XtIsManaged(wumcwtf()));
}

TEST_F(MenuWidgets, ClickingThroughTheMenuBarQueuesTheCommand) {
  Build(BarMenu());
  Widget file = Find(window_->menu_widget, "File");
  ASSERT_NE(file, nullptr);
  qevtest::clickWidget(file);
  Widget sub = SubMenu(file);
  ASSERT_TRUE(qevtest::turnUntil([&] {
    Widget open = Find(sub, "Open");
    return open && XtIsRealized(open) && XtIsManaged(sub);
  }));
  Settle();
  qevtest::clickWidget(Find(sub, "Open"));
  ASSERT_TRUE(qevtest::turnUntil([&] { return wutcqev(window_) > 0; }));
  EXPECT_EQ(Queued(), std::vector<std::string>{"OPEN FILE"});
}

// Id 72 is made only while the numeric option SOLUTIONS is not 0, whether
// the item runs its label, a command node or a dialog, or opens a menu.
TEST_F(MenuWidgets, SolutionsItemsFollowTheOptionWhateverTheyOpen) {
  MenuNode dlg;
  dlg.number = 4;
  dlg.kind = 2;
  dlg.text = DialogRecord(1, 1, "Name:", WU_MDLG_LABEL);
  dlg.templ = "ASK";
  const std::vector<MenuNode> nodes = {
      Menu(1, {Item("File", 2)}),
      Menu(2, {Item("Plain", 0, 72), Item("Run", 3, 72), Item("Ask", 4, 72), Item("More", 5, 72),
               Item("Keep", 0, 0)}),
      Command(3, "RUN IT"), dlg, Menu(5, {Item("Inner")})};
  const std::vector<std::string> off = {"Keep"}, on = {"Plain", "Run", "Ask", "More", "Keep"};
  for (int32_t solutions : {0, 1}) {
    SCOPED_TRACE(solutions);
    qevhost::setNumOption("SOLUTIONS", solutions);
    Build(nodes);
    Widget sub = Open(Find(window_->menu_widget, "File"));
    std::vector<std::string> labels;
    for (Widget k : Children(sub))
      if (XtIsManaged(k)) labels.push_back(LabelOf(k));
    EXPECT_EQ(labels, solutions ? on : off);
    wuxfwnd(window_);
    window_ = nullptr;
  }
  qevhost::setNumOption("SOLUTIONS", 0);
}

// An item whose command node holds no text has nothing to run: choosing it
// queues nothing, and the next item still queues its command.
TEST_F(MenuWidgets, AnItemWithAnEmptyCommandQueuesNothing) {
  Build({Menu(1, {Item("File", 2)}), Menu(2, {Item("Nothing", 3), Item("Keep", 0)}),
         Command(3, "")});
  Widget file = Find(window_->menu_widget, "File");
  ASSERT_NE(file, nullptr);
  window_->flags &= ~WU_WIN_MENU_COMMAND;
  ClickThrough(file, "Nothing");
  Settle();
  EXPECT_TRUE(Queued().empty());
  EXPECT_FALSE(window_->flags & WU_WIN_MENU_COMMAND);
  ClickThrough(file, "Keep");
  qevtest::turnUntil([&] { return wutcqev(window_) > 0; }, 2000);
  EXPECT_EQ(Queued(), std::vector<std::string>{"Keep"});
}

TEST_F(MenuWidgets, PlainRootItemsMakeAButtonBox) {
  std::vector<MenuNode> plain = {Menu(1, {Item("Run", 0, 0, 1), Item("Stop", 2, 0, 2)}),
                                 Command(2, "HALT")};
  Build(plain);
  EXPECT_EQ(window_->menu_mode, WU_MMODE_BUTTONBOX);
  Widget bar = nullptr;
  XtVaGetValues(window_->main_window, XmNmenuBar, &bar, nullptr);
  EXPECT_EQ(bar, window_->menu_widget);
  Widget stop = Find(window_->menu_widget, "Stop");
  ASSERT_NE(stop, nullptr);
  qevtest::clickWidget(stop);
  qevtest::turnUntil([&] { return wutcqev(window_) > 0; }, 2000);
  EXPECT_EQ(Queued(), std::vector<std::string>{"HALT"});
  // A window that does not ask for a menu bar gets the second place.
  wuxfwnd(window_);
  window_ = nullptr;
  Build(plain, 0);
  EXPECT_EQ(window_->menu_mode, WU_MMODE_BUTTONBOX2);
  Widget msg = nullptr;
  XtVaGetValues(window_->main_window, XmNmessageWindow, &msg, nullptr);
  EXPECT_EQ(msg, window_->menu_widget);
}

TEST_F(MenuWidgets, GrayAndCheckStatesHoldBeforeAndAfterTheBuild) {
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", BarMenu()));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  auto gray = Slot<ItemFn>(WUX_SLOT_GITM);
  auto check = Slot<ItemFn>(WUX_SLOT_SITM);
  ASSERT_NE(gray, nullptr);
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(gray(window_, 9, 1), WU_OK);    // "Quit", before the menu exists
  ASSERT_TRUE(Realise());
  Widget bar = window_->menu_widget;
  EXPECT_FALSE(XtIsSensitive(Wrapped(Find(bar, "Quit"))));
  Widget file = Find(bar, "File");
  EXPECT_EQ(gray(window_, 3, 1), WU_OK);    // "Close", submenu not built yet
  Widget sub = Open(file);
  Widget close = Find(sub, "Close");
  EXPECT_FALSE(XtIsSensitive(close));
  EXPECT_EQ(gray(window_, 3, 0), WU_OK);    // after the build
  EXPECT_TRUE(XtIsSensitive(close));
  EXPECT_EQ(gray(window_, 9, 0), WU_OK);
  EXPECT_TRUE(XtIsSensitive(Wrapped(Find(bar, "Quit"))));
  // Check states are kept per item id and survive a rebuild.
  EXPECT_EQ(check(window_, 2, 1), WU_OK);
  auto *e = matchid(static_cast<wu_item_state *>(window_->check_list), 2);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->state, 1);
  EXPECT_EQ(wutiamu(window_), WU_OK);
  sub = Open(Find(window_->menu_widget, "File"));
  EXPECT_TRUE(XtIsSensitive(Find(sub, "Close")));
  EXPECT_EQ(matchid(static_cast<wu_item_state *>(window_->check_list), 2)->state, 1);
  // Unknown windows are refused.
  EXPECT_EQ(gray(reinterpret_cast<wu_window *>(e), 1, 1), WU_NOTAVAIL);
}

// Acts on the popup of a record once it shows (the record's widget is made
// by its first show): clicks the item labelled `label`, or presses Escape
// when it is empty; `call` shows the popup.
void ActOnPopup(wu_popup_menu *p, const std::string &label, const std::function<void()> &call) {
  qevtest::Script s;
  s.then(label.empty() ? "Escape in the popup" : label + " clicked in the popup",
         [p] { return p->widget && XtIsManaged(p->widget) && Shown(XtParent(p->widget)); },
         [p, label] {
           if (label.empty()) {
             EXPECT_TRUE(qevtest::keyHandled(devb->display, XK_Escape));
           } else {
             Widget item = Find(p->widget, label);
             ASSERT_NE(item, nullptr) << label;
             EXPECT_TRUE(qevtest::clickHandled(item));
           }
         });
  Play(s, call);
}

TEST_F(MenuWidgets, WindowPopupAnsweredByAClickAndByEscape) {
  std::vector<MenuNode> pop = {Menu(1, {Item("Alpha", 0, 0, 1), Item("Beta", 2, 0, 2)}),
                               Command(2, "BETA CMD")};
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "POP", pop));
  NewWindow();
  ASSERT_TRUE(Realise());
  Location l = Loc("POP");
  wu_popup_menu *p = nullptr;
  ASSERT_EQ(Slot<LoadFn>(WUX_SLOT_GPMU)(window_, nullptr, l.libref, l.catalog, l.entry, &p), WU_OK);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->kind, WU_MT_POPUP_MENU);
  auto show = Slot<PopupFn>(WUX_SLOT_DPMU);
  ActOnPopup(p, "Beta", [&] { EXPECT_EQ(show(window_, p), WU_OK); });
  EXPECT_EQ(Queued(), std::vector<std::string>{"BETA CMD"});
  EXPECT_TRUE(window_->module_flags & WU_WMOD_POPUP_SHOWN);
  Settle();
  // Escape closes it without a choice.
  ActOnPopup(p, "", [&] { EXPECT_EQ(show(window_, p), WU_SECOND_EVENT); });
  EXPECT_TRUE(Queued().empty());
  // Released records are refused afterwards.
  EXPECT_EQ(Slot<PopupFn>(WUX_SLOT_FPMU)(window_, p), WU_OK);
  EXPECT_EQ(show(window_, p), WU_NOTAVAIL);
  EXPECT_EQ(Slot<PopupFn>(WUX_SLOT_FPMU)(window_, p), WU_NOTAVAIL);
  // A menu that cannot be loaded gives 1 and no record.
  Location bad = Loc("NOPE");
  EXPECT_EQ(Slot<LoadFn>(WUX_SLOT_GPMU)(window_, nullptr, bad.libref, bad.catalog, bad.entry, &p),
            WU_MENU_LOAD_FAILED);
  EXPECT_EQ(p, nullptr);
}

TEST_F(MenuWidgets, WindowPopupIsRecordedAndReplayed) {
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "POP", {Menu(1, {Item("Alpha", 0, 0, 1)})}));
  NewWindow();
  ASSERT_TRUE(Realise());
  Location l = Loc("POP");
  wu_popup_menu *p = nullptr;
  ASSERT_EQ(Slot<LoadFn>(WUX_SLOT_GPMU)(window_, nullptr, l.libref, l.catalog, l.entry, &p), WU_OK);
  qev_task *task = qevhost::currentTask();
  qevhost::installBatchDriver(task, QEV_BATCH_REPLAY);
  qevhost::queuePopupChoice(task, window_, WU_SECOND_EVENT);
  EXPECT_EQ(Slot<PopupFn>(WUX_SLOT_DPMU)(window_, p), WU_SECOND_EVENT);
  EXPECT_EQ(p->widget, nullptr);   // nothing shown in replay
  qevhost::queuePopupChoice(task, nullptr, 0);   // recorded for another window
  EXPECT_EQ(Slot<PopupFn>(WUX_SLOT_DPMU)(window_, p), WU_MENU_LOAD_FAILED);
  qevhost::removeBatchDriver(task);
  qevhost::installBatchDriver(task, QEV_BATCH_RECORD);
  ActOnPopup(p, "", [&] { EXPECT_EQ(Slot<PopupFn>(WUX_SLOT_DPMU)(window_, p), WU_SECOND_EVENT); });
  std::vector<qevhost::Recording> r = qevhost::recordings(task);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].popupKind, qevhost::kPopupWindow);
  EXPECT_EQ(r[0].selected, WU_SECOND_EVENT);
  EXPECT_EQ(r[0].window, window_);
  qevhost::removeBatchDriver(task);
}

// Finds the choice popup (the newest "PopupMenu" of the work form).
Widget ChoiceMenu(wu_window *w) {
  Widget found = nullptr;
  for (Cardinal i = 0; i < w->work_form->core.num_popups; ++i) {
    Widget shell = w->work_form->core.popup_list[i];
    for (Widget k : Children(shell))
      if (std::strcmp(XtName(k), "PopupMenu") == 0 && XtIsManaged(k)) found = k;
  }
  return found;
}

// The choice popup on the screen, or null.
Widget ShownChoiceMenu(wu_window *w) {
  Widget menu = ChoiceMenu(w);
  return menu && Shown(XtParent(menu)) ? menu : nullptr;
}

// What the choice popup showed: its first label and its toggle's state.
struct ChoiceSeen {
  std::string shown;
  Boolean toggle_set = False;
};

// `call` shows the choice popup of `window`; the user clicks the item
// labelled `label`, or presses Escape when there is none.
ChoiceSeen ClickChoice(wu_window *window, const std::string &label, const std::function<void()> &call) {
  ChoiceSeen seen;
  qevtest::Script s;
  s.then(label.empty() ? "Escape in the choices" : label + " chosen", [window] { return ShownChoiceMenu(window); },
         [&, window] {
           Widget menu = ShownChoiceMenu(window);
           std::vector<Widget> k = Children(menu);
           if (!k.empty()) seen.shown = LabelOf(k[0]);
           for (Widget w : k)
             if (XmIsToggleButton(w)) seen.toggle_set = XmToggleButtonGetState(w);
           if (Widget item = label.empty() ? nullptr : Find(menu, label))
             EXPECT_TRUE(qevtest::clickHandled(item));
           else
             EXPECT_TRUE(qevtest::keyHandled(devb->display, XK_Escape));
         });
  Play(s, call);
  return seen;
}

TEST_F(MenuWidgets, ChoicePopupReturnsTheChosenIndex) {
  NewWindow();
  ASSERT_TRUE(Realise());
  std::string long_label(600, 'L');
  wu_choice_entry e[3] = {};
  e[0].label = long_label.data();
  e[0].label_length = int32_t(long_label.size());
  e[1].label = "Keep";
  e[1].label_length = 4;
  e[1].flags = WU_CHOICE_TOGGLE | WU_CHOICE_SEPARATOR;
  e[2].label = "Grey";
  e[2].label_length = 4;
  e[2].grayed = 1;
  auto choose = Slot<ChoiceFn>(WUX_SLOT_UMNU);
  const ChoiceSeen click = ClickChoice(window_, "Keep", [&] { EXPECT_EQ(choose(window_, e, 3), 2); });
  EXPECT_EQ(click.shown.size(), size_t(WU_CHOICE_LABEL_MAX));
  EXPECT_TRUE(click.toggle_set);
  ClickChoice(window_, "", [&] { EXPECT_EQ(choose(window_, e, 3), 0); });
  // Bad counts are refused without showing anything.
  EXPECT_EQ(choose(window_, e, -1), 0);
  EXPECT_EQ(choose(window_, nullptr, 2), 0);

  // Replay hands back the recorded choice; recording notes the choice.
  qev_task *task = qevhost::currentTask();
  qevhost::installBatchDriver(task, QEV_BATCH_REPLAY);
  qevhost::queuePopupChoice(task, window_, 3);
  EXPECT_EQ(choose(window_, e, 3), 3);
  qevhost::queuePopupChoice(task, window_, 9);   // out of range
  EXPECT_EQ(choose(window_, e, 3), 0);
  qevhost::removeBatchDriver(task);
  qevhost::installBatchDriver(task, QEV_BATCH_RECORD);
  ClickChoice(window_, "Keep", [&] { EXPECT_EQ(choose(window_, e, 3), 2); });
  std::vector<qevhost::Recording> r = qevhost::recordings(task);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].popupKind, qevhost::kPopupChoice);
  EXPECT_EQ(r[0].selected, 2);
  ASSERT_EQ(r[0].choices.size(), 3u);
  EXPECT_EQ(r[0].choices[1], "Keep");
  qevhost::removeBatchDriver(task);
}

// A dialog node's item records: label, input field, check box with value.
std::string DialogItems() {
  return DialogRecord(1, 1, "Name:", WU_MDLG_LABEL) + DialogRecord(1, 8, "", WU_MDLG_INPUT, 0, 8) +
         DialogRecord(2, 1, "Loud", WU_MDLG_CHECK_SET) + DialogRecord(2, 1, "LOUD", WU_MDLG_CHECK_VALUE);
}

TEST_F(MenuWidgets, MenuDialogFillsItsTemplateOnOk) {
  MenuNode dlg;
  dlg.number = 2;
  dlg.kind = 2;
  dlg.text = DialogItems();
  dlg.templ = "GREET @1 &1 %%";
  dlg.extra = true;
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", {Menu(1, {Item("Ask", 2, 0, 5), Item("Go", 0)}), dlg}));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  ASSERT_TRUE(Realise());
  // Every root item is plain: a button box.
  EXPECT_EQ(window_->menu_mode, WU_MMODE_BUTTONBOX);
  Widget ask = Find(window_->menu_widget, "Ask");
  ASSERT_NE(ask, nullptr);
  qevtest::clickWidget(ask);
  Widget dialog = ShownDialog(window_);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(window_->dialog_inputs, 1);
  Widget input = XtNameToWidget(dialog, "dlgInput");
  ASSERT_NE(input, nullptr);
  // The user types into the field; the trailing blank is dropped.
  qevtest::clickWidget(input);
  for (KeySym k : {XK_b, XK_o, XK_b, XK_space}) qevtest::pressKey(devb->display, k);
  ASSERT_TRUE(qevtest::turnUntil([&] {
    char *t = XmTextGetString(input);
    const bool typed = t && std::strcmp(t, "bob ") == 0;
    XtFree(t);
    return typed;
  }));
  // The dialog is at least 30 columns (and a margin) wide.
  XmString x = XmStringCreateLocalized(const_cast<char *>("X"));
  const int column = XmStringWidth(devb->font_list, x);
  XmStringFree(x);
  Dimension width = 0;
  XtVaGetValues(dialog, XmNwidth, &width, nullptr);
  EXPECT_GE(int(width), 31 * column);
  qevtest::clickWidget(XtNameToWidget(dialog, "dlgOKButton"));
  ASSERT_TRUE(qevtest::turnUntil([&] { return window_->dialog_block == nullptr; }));
  EXPECT_EQ(Queued(), std::vector<std::string>{"GREET bob LOUD %"});
  // Cancel queues nothing.
  qevtest::clickWidget(ask);
  dialog = ShownDialog(window_);
  ASSERT_NE(dialog, nullptr);
  qevtest::clickWidget(XtNameToWidget(dialog, "dlgCancelButton"));
  ASSERT_TRUE(qevtest::turnUntil([&] { return window_->dialog_block == nullptr; }));
  EXPECT_TRUE(Queued().empty());
}

TEST(MenuDialogText, TemplatesTakeFieldsChoicesAndChecks) {
  char out[WU_MDLG_RESULT_MAX + 1];
  const char *inputs[] = {"abc ", "x"};
  const char *radios[] = {"VALUE", nullptr};
  const char *checks[] = {nullptr, "ON"};
  EXPECT_EQ(wumdtpl("CMD @1 %%", inputs, 2, radios, 2, checks, 2, out, sizeof out), 9);
  EXPECT_STREQ(out, "CMD abc %");
  EXPECT_EQ(wumdtpl("%1/%2/&1/&2/@3/@@/&&/@x/@", inputs, 2, radios, 2, checks, 2, out, sizeof out),
            int32_t(std::strlen("VALUE///ON//@/&/@x/@")));
  EXPECT_STREQ(out, "VALUE///ON//@/&/@x/@");
  // At most four digits after a marker.
  EXPECT_EQ(wumdtpl("@00012", inputs, 2, radios, 2, checks, 2, out, sizeof out), 4);
  EXPECT_STREQ(out, "abc2");
  // 199 characters fit; 200 are reported by their length.
  std::string t199(199, 'a'), t200(200, 'a');
  EXPECT_EQ(wumdtpl(t199.c_str(), nullptr, 0, nullptr, 0, nullptr, 0, out, sizeof out), 199);
  EXPECT_EQ(std::string(out), t199);
  EXPECT_EQ(wumdtpl(t200.c_str(), nullptr, 0, nullptr, 0, nullptr, 0, out, sizeof out), 200);
}

TEST_F(MenuWidgets, DialogNodesFromMessages) {
  wu_menu_node *node = nullptr;
  char *title = nullptr;
  qevhost::setMessage(526, 2, "2,Close window,1,1,0,Close the window?,2,1,6,Save,QUIT &1");
  ASSERT_EQ(wuxgmdg(526, 2, &node, &title), WU_OK);
  EXPECT_STREQ(title, "Close window");
  EXPECT_STREQ(node->templ, "QUIT &1");
  EXPECT_EQ(node->header[WU_MH_KIND], WU_MNODE_DIALOG);
  const uint8_t *r = reinterpret_cast<const uint8_t *>(node->text);
  EXPECT_EQ(r[0], 1);
  EXPECT_EQ(r[2], std::strlen("Close the window?") + 1);
  // Malformed texts: too few fields, a negative number, an input field.
  for (const char *bad : {"2,T,1,1,0,A", "1,T,-1,1,0,A,X", "1,T,1,1,1,A,X", "0,T,X", "1,T,1,1,300,A,X"}) {
    qevhost::setMessage(526, 3, bad);
    EXPECT_EQ(wuxgmdg(526, 3, &node, &title), WU_MENU_LOAD_FAILED) << bad;
    EXPECT_EQ(node, nullptr);
  }
  EXPECT_EQ(wuxgmdg(526, 999, &node, &title), WU_MENU_LOAD_FAILED);
}

}  // namespace

namespace {

TEST_F(MenuWidgets, WindowPopupRefusedWhenTheQueueIsFull) {
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "POP", {Menu(1, {Item("Alpha", 0)})}));
  NewWindow();
  ASSERT_TRUE(Realise());
  Location l = Loc("POP");
  wu_popup_menu *p = nullptr;
  ASSERT_EQ(Slot<LoadFn>(WUX_SLOT_GPMU)(window_, nullptr, l.libref, l.catalog, l.entry, &p), WU_OK);
  while (WU_EVQ_NODES - wutcqev(nullptr) > 1) ASSERT_EQ(wuxqwev(window_, 77, nullptr, 0), WU_OK);
  qevhost::clearLog();
  EXPECT_EQ(Slot<PopupFn>(WUX_SLOT_DPMU)(window_, p), WU_QUEUE_FULL);
  EXPECT_TRUE(qevtest::logContains("could not be queued"));
  EXPECT_EQ(p->widget, nullptr);
  Queued();
}

TEST_F(MenuWidgets, MessagePopupListsMessagesUpToTheTerminator) {
  qevhost::setMessage(526, 293, "END");
  qevhost::setMessage(700, 1, "One");
  qevhost::setMessage(700, 2, "Two");
  qevhost::setMessage(700, 3, "end");
  qevhost::setMessage(700, 4, "Four");
  const StringPopupSeen click = ClickStringPopup("Two", [] { EXPECT_EQ(wummpop(nullptr, 700, 1, nullptr), 2); });
  EXPECT_EQ(click.labels.size(), 2u);
}

TEST_F(MenuWidgets, WindowManagerCloseShowsTheCloseQuestion) {
  qevhost::setMessage(526, 2, "2,Close,1,1,0,Close the window?,2,1,6,Save first,CLOSE &1");
  NewWindow();
  ASSERT_TRUE(Realise());
  qevtest::closeLikeWindowManager(window_->outer);
  Widget dialog = ShownDialog(window_);
  ASSERT_NE(dialog, nullptr);
  Widget save = XtNameToWidget(dialog, "Save first");
  ASSERT_NE(save, nullptr);
  EXPECT_FALSE(XmToggleButtonGetState(save));
  qevtest::clickWidget(save);
  ASSERT_TRUE(qevtest::turnUntil([&] { return XmToggleButtonGetState(save); }));
  qevtest::clickWidget(XtNameToWidget(dialog, "dlgOKButton"));
  ASSERT_TRUE(qevtest::turnUntil([&] { return window_->dialog_block == nullptr; }));
  EXPECT_EQ(Queued(), std::vector<std::string>{"CLOSE Save first"});
}

// The message box the window shows, or null.
Widget WindowMessage(wu_window *w) {
  for (Cardinal i = 0; w->outer && i < w->outer->core.num_popups; ++i)
    for (Widget k : Children(w->outer->core.popup_list[i]))
      if (XmIsMessageBox(k) && XtIsManaged(k) && Shown(k)) return k;
  return nullptr;
}

TEST_F(MenuWidgets, DialogCommandsLongerThan199CharactersAreRefused) {
  MenuNode dlg;
  dlg.number = 2;
  dlg.kind = 2;
  dlg.text = std::string("\1\1\12\1\0\0", 6);   // an input field of 10
  dlg.templ = std::string(195, 'x') + "@1";
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", {Menu(1, {Item("Ask", 2), Item("Go", 0)}), dlg}));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  ASSERT_TRUE(Realise());
  qevhost::clearShownMessages();
  Widget ask = Find(window_->menu_widget, "Ask");
  for (const std::string &keys : {std::string("abcd"), std::string("abcde")}) {
    qevtest::clickWidget(ask);
    Widget dialog = ShownDialog(window_);
    ASSERT_NE(dialog, nullptr);
    Widget input = XtNameToWidget(dialog, "dlgInput");
    ASSERT_TRUE(qevtest::replaceTextHandled(input, keys));
    EXPECT_EQ(XmTextGetLastPosition(input), XmTextPosition(keys.size()));
    // The 200-character command is refused with a message.
    qevtest::Script s;
    if (keys.size() == 5)
      s.then("the refusal confirmed", [&] { return WindowMessage(window_) != nullptr; },
             [&] { EXPECT_TRUE(qevtest::clickHandled(XmMessageBoxGetChild(WindowMessage(window_), XmDIALOG_OK_BUTTON))); });
    Play(s, [&] { EXPECT_TRUE(qevtest::clickHandled(XtNameToWidget(dialog, "dlgOKButton"))); });
    ASSERT_TRUE(qevtest::turnUntil([&] { return window_->dialog_block == nullptr; }));
  }
  std::vector<std::string> q = Queued();
  ASSERT_EQ(q.size(), 1u);   // only the 199-character command
  EXPECT_EQ(q[0].size(), 199u);
  EXPECT_EQ(window_->dialog_block, nullptr);
}

TEST_F(MenuWidgets, DoubleByteMnemonicsArePlacedInTheLabel) {
  qevhost::gcb()->multibyte = 1;
  char a[32] = "Open ...";
  EXPECT_EQ(PutMnemonic(a, 's'), 'S');
  EXPECT_STREQ(a, "Open(S)...");
  char b[32] = "Save";
  EXPECT_EQ(PutMnemonic(b, 's'), 'S');
  EXPECT_STREQ(b, "Save");
  char c[32] = "Load ";
  EXPECT_EQ(PutMnemonic(c, 'x'), 'X');
  EXPECT_STREQ(c, "Load(X)");
  char d[4] = "";
  EXPECT_EQ(PutMnemonic(d, 'x'), 0);
  qevhost::gcb()->multibyte = 0;
}

}  // namespace

namespace {

TEST_F(MenuWidgets, PrintItemsFollowThePrintDeviceAndTheGrayList) {
  devb->prefs.host_print = True;   // X printing
  qevhost::setBoolOption("AWSMENUMERGE", true);
  qevhost::setMessage(526, 352, "Print Setup...");
  qevhost::setMessage(526, 351, "Print...");
  qevhost::setMessage(526, 432, "Preview...");
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR",
                                 {Menu(1, {Item("File", 2)}),
                                  Menu(2, {Item("Setup", 0, 22, 22), Item("Print", 0, 29, 29)})}));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  window_->flags |= WU_WIN_PRINT_WINDOW;
  ASSERT_TRUE(Realise());
  Widget file = Open(Find(window_->menu_widget, "File"));
  EXPECT_NE(Find(file, "Print Setup..."), nullptr);
  EXPECT_NE(Find(file, "Print..."), nullptr);
  ASSERT_EQ(window_->print_setup_item, Find(file, "Print Setup..."));
  ASSERT_EQ(window_->print_preview_item, Find(file, "Preview..."));
  EXPECT_EQ(window_->print_preview_id, 29);
  auto gray = Slot<ItemFn>(WUX_SLOT_GITM);
  // A print device that is not an X printer blocks both items.
  qevhost::setCharOption("PRINTGDEV", "lp0");
  ASSERT_EQ(gray(window_, 99, 0), WU_OK);
  EXPECT_FALSE(XtIsSensitive(window_->print_setup_item));
  EXPECT_FALSE(XtIsSensitive(window_->print_preview_item));
  qevhost::setCharOption("PRINTGDEV", "xprint:1");
  ASSERT_EQ(gray(window_, 99, 0), WU_OK);
  EXPECT_TRUE(XtIsSensitive(window_->print_setup_item));
  EXPECT_TRUE(XtIsSensitive(window_->print_preview_item));
  // A grayed print item stays grayed whatever the device.
  ASSERT_EQ(gray(window_, 22, 1), WU_OK);
  EXPECT_FALSE(XtIsSensitive(window_->print_setup_item));
  EXPECT_TRUE(XtIsSensitive(window_->print_preview_item));
  ASSERT_EQ(gray(window_, 22, 0), WU_OK);
  EXPECT_TRUE(XtIsSensitive(window_->print_setup_item));
  // Without X printing the setup item is not made, whatever the universal
  // print option says.
  devb->prefs.host_print = False;
  qevhost::setNumOption("UNIVERSALPRINT", 1);
  ASSERT_EQ(wutiamu(window_), WU_OK);
  file = Open(Find(window_->menu_widget, "File"));
  EXPECT_EQ(Find(file, "Print Setup..."), nullptr);
  EXPECT_NE(Find(file, "Print"), nullptr);
}

// True when some pixel of the item's check-mark square is black.
bool MarkShown(Widget item) {
  Dimension h = 0;
  XtVaGetValues(item, XmNheight, &h, nullptr);
  const int y0 = (int(h) - 16) / 2;
  for (int y = y0; y < y0 + 16; ++y)
    for (int x = 4; x < 20; ++x)
      if (qevtest::pixelAt(devb->display, XtWindow(item), x, y) == 0) return true;
  return false;
}

TEST_F(MenuWidgets, CheckedItemsShowTheirMarkOnTheServer) {
  qevhost::MenuItem loud = Item("Loud", 0, 0, 5);
  loud.check = WU_MITEM_CHECK;
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR",
                                 {Menu(1, {Item("View", 2), Item("Go", 0)}), Menu(2, {loud})}));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  ASSERT_TRUE(Realise());
  Widget view = Find(window_->menu_widget, "View");
  qevtest::clickWidget(view);
  Widget sub = SubMenu(view);
  ASSERT_TRUE(qevtest::turnUntil([&] {
    Widget l = Find(sub, "Loud");
    return l && XtIsRealized(l) && XtIsManaged(sub);
  }));
  Widget item = Find(sub, "Loud");
  Settle();
  EXPECT_FALSE(MarkShown(item));
  ASSERT_EQ(Slot<ItemFn>(WUX_SLOT_SITM)(window_, 5, 1), WU_OK);
  Settle();
  EXPECT_TRUE(MarkShown(item));
  ASSERT_EQ(Slot<ItemFn>(WUX_SLOT_SITM)(window_, 5, 0), WU_OK);
  Settle();
  EXPECT_FALSE(MarkShown(item));
  qevtest::pressKey(devb->display, XK_Escape);
  Settle();
}

}  // namespace

namespace {

TEST_F(MenuWidgets, IncludedItemsJoinTheirParentWithTheirSeparators) {
  qevhost::MenuItem y = Item("Y", 0, 0, 2);
  y.separator = 1;   // the loader clears a last item's separator
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "INC",
                                 {Menu(1, {[] { auto x = Item("X", 0, 0, 1); x.separator = 1; return x; }(), y})}));
  qevhost::MenuItem inc = Item("Inc", 3);
  inc.separator = 1;
  qevhost::MenuItem inc2 = Item("Inc2", 3);
  inc2.separator = 1;
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR",
                                 {Menu(1, {Item("File", 2), Item("Go", 0)}),
                                  Menu(2, {Item("A", 0), inc, Item("B", 0), inc2,
                                           Item("Never", 0, 197)}),
                                  Ref(3, 6, "INC")}));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  ASSERT_TRUE(Realise());
  Widget file = Open(Find(window_->menu_widget, "File"));
  std::vector<std::string> shown;
  std::vector<Widget> kids = Children(file);
  for (Widget k : kids) shown.push_back(XtIsManaged(k) ? (LabelOf(k).empty() ? "-" : LabelOf(k)) : "(hidden)");
  // A, the included X (with its separator) and Y, the include's separator,
  // B, then the second include, whose separator ends the menu (the item
  // after it is never made) and is hidden.
  EXPECT_EQ(shown, (std::vector<std::string>{"A", "X", "-", "Y", "-", "B", "X", "-", "Y",
                                             "(hidden)"}));
}

// `call` shows the choice popup of `w`; with `move`, the pointer goes
// onto its first item (else it is there already).  Once the message line
// shows the first item's help, the second item is clicked; the line as it
// was then.
std::string HoverChoice(wu_window *w, bool move, const std::function<void()> &call) {
  const std::string help = "Runs the first thing";
  std::string during;
  qevtest::Script s;
  if (move)
    s.then("the pointer onto the first item", [w] { return ShownChoiceMenu(w); },
           [w] { EXPECT_TRUE(qevtest::moveHandled(Find(ShownChoiceMenu(w), "First"), 10, 5)); });
  s.then("Second clicked while the first item's help shows",
         [w, help] { return ShownChoiceMenu(w) && std::string(w->message, help.size()) == help; },
         [&, w] {
           during = std::string(w->message, help.size());
           EXPECT_TRUE(qevtest::clickHandled(Find(ShownChoiceMenu(w), "Second")));
         });
  Play(s, call);
  return during;
}

// Two choices, the first with a help text.
void FirstWithHelp(wu_choice_entry e[2]) {
  e[0].label = "First";
  e[0].label_length = 5;
  e[0].help = "Runs the first thing";
  e[0].help_length = 20;
  e[1].label = "Second";
  e[1].label_length = 6;
}

TEST_F(MenuWidgets, ChoiceHelpShowsOnTheMessageLineWhileThePointerIsIn) {
  NewWindow();
  ASSERT_TRUE(Realise());
  ASSERT_EQ(wuxpmsg(window_, "Idle", -1, 0), WU_OK);
  wu_choice_entry e[2] = {};
  FirstWithHelp(e);
  EXPECT_EQ(HoverChoice(window_, true, [&] { EXPECT_EQ(Slot<ChoiceFn>(WUX_SLOT_UMNU)(window_, e, 2), 2); }),
            "Runs the first thing");
  // Once the pointer left, the line shows what it showed before.
  EXPECT_EQ(std::string(window_->message, 5), "Idle ");
  EXPECT_EQ(window_->saved_texts, nullptr);
}

TEST_F(MenuWidgets, ChoiceHelpShowsWhenThePopupComesUpUnderThePointer) {
  NewWindow();
  ASSERT_TRUE(Realise());
  ASSERT_EQ(wuxpmsg(window_, "Idle", -1, 0), WU_OK);
  // The popup comes up at the pane's cursor, row 1 column 1: the pointer
  // waits a little inside that corner, where the first item will be.
  ASSERT_NE(pane_->ext, nullptr);
  EXPECT_TRUE(qevtest::moveHandled(pane_->ext->widget, 12, 10));
  wu_choice_entry e[2] = {};
  FirstWithHelp(e);
  EXPECT_EQ(HoverChoice(window_, false, [&] { EXPECT_EQ(Slot<ChoiceFn>(WUX_SLOT_UMNU)(window_, e, 2), 2); }),
            "Runs the first thing");
  EXPECT_EQ(std::string(window_->message, 5), "Idle ");
  EXPECT_EQ(window_->saved_texts, nullptr);
}

}  // namespace

namespace {

TEST_F(MenuWidgets, AWindowReleasedWithItsDialogUpTakesTheDialog) {
  MenuNode dlg;
  dlg.number = 2;
  dlg.kind = 2;
  dlg.text = std::string("\1\1\12\1\0\0", 6);
  dlg.templ = "SET @1";
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", {Menu(1, {Item("Ask", 2), Item("Go", 0)}), dlg}));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  ASSERT_TRUE(Realise());
  qevtest::clickWidget(Find(window_->menu_widget, "Ask"));
  ASSERT_NE(ShownDialog(window_), nullptr);
  // A second dialog for the same window is not shown while one is up.
  EXPECT_EQ(wuwmdlg(window_, "Again", static_cast<wu_menu_set *>(window_->menu_set)->table[1]),
            WU_NOTAVAIL);
  ASSERT_EQ(wuxfwnd(window_), WU_OK);
  window_ = nullptr;
  Settle();
  EXPECT_EQ(qevhost::poolStats(wu_module()->pool).liveBlocks, base_.liveBlocks);
  EXPECT_EQ(devb->busy_depth, 0);
}

}  // namespace
