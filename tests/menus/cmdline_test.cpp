// The command line: the panel and fields the host hands out, cursor
// placement, the message-line stack, the switch between pull-down menus
// and the command line (one window, and all windows through slot 11), and
// slot 42 changing a window's menu.
#include "menufixture.h"

namespace {

using qevhost::MenuNode;

std::vector<MenuNode> Bar() {
  return {Menu(1, {Item("File", 2), Item("Run", 0)}), Menu(2, {Item("Open", 0, 0, 1)})};
}

class CommandLine : public MenuTest {
 protected:
  std::string Message(int n) { return std::string(window_->message, size_t(n)); }
};

TEST_F(CommandLine, PanelFieldsComeFromTheHost) {
  NewWindow(WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE);
  window_->prompt_kind = 2;   // as 7: a prompt
  ASSERT_TRUE(Realise());
  wu_pane *panel = window_->command_pane;
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(qevhost::panelCount(window_), 1u);
  EXPECT_EQ(qevhost::fieldCount(panel), 3u);
  ASSERT_NE(window_->prompt_field, nullptr);
  ASSERT_NE(window_->command_field, nullptr);
  EXPECT_EQ(window_->command_field->column, window_->prompt_field->length + 2);
  EXPECT_EQ(window_->command_field->length, 200);
  EXPECT_EQ(window_->message_field->row, 2);
  EXPECT_EQ(window_->message_field->text, window_->message);
  for (wu_pane *p = window_->panes; p; p = p->next) EXPECT_NE(p, panel);
  // The cursor goes to the command field's own cell.
  EXPECT_EQ(wutcomd(window_, 0, 0, 0), 1);
  EXPECT_EQ(wutcomd(window_, 1, -1, 0), 1);
  EXPECT_EQ(window_->current_pane, panel);
  EXPECT_EQ(panel->cursor_column, window_->command_field->column);
  wuxfwnd(window_);
  window_ = nullptr;

  // Prompt kind 5: no prompt, the command field starts in column 1.
  NewWindow(WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE);
  window_->prompt_kind = 5;
  ASSERT_TRUE(Realise());
  EXPECT_EQ(window_->prompt_field, nullptr);
  EXPECT_EQ(window_->command_field->column, 1);
  EXPECT_EQ(qevhost::fieldCount(window_->command_pane), 2u);
  wuxfwnd(window_);
  window_ = nullptr;

  // Only a message line: one row, no command field.
  NewWindow(WU_DECOR_MESSAGELINE);
  ASSERT_TRUE(Realise());
  EXPECT_EQ(window_->command_pane->rows, 1);
  EXPECT_EQ(window_->message_field->row, 1);
  EXPECT_EQ(window_->command_field, nullptr);
  EXPECT_EQ(wutcomd(window_, 1, 1, 1), 0);
  void *w = window_;
  wuxfwnd(window_);
  window_ = nullptr;
  EXPECT_EQ(qevhost::panelCount(w), 0u);
  EXPECT_EQ(qevhost::poolStats(wu_module()->pool).liveBlocks, base_.liveBlocks);
}

TEST_F(CommandLine, MessageLineStackRestoresWhatWasShown) {
  NewWindow(WU_DECOR_MESSAGELINE);
  ASSERT_TRUE(Realise());
  ASSERT_EQ(wuxpmsg(window_, "Ready.", -1, 0), WU_OK);
  EXPECT_EQ(wutpopm(window_), WU_OK);   // empty stack: nothing changes
  EXPECT_EQ(Message(6), "Ready.");
  ASSERT_EQ(wutpshm(window_, "A much longer text", -1), WU_OK);
  EXPECT_EQ(Message(18), "A much longer text");
  ASSERT_EQ(wutpshm(window_, "Hi", 2), WU_OK);
  EXPECT_EQ(Message(18), "Hi                ");
  ASSERT_EQ(wutpopm(window_), WU_OK);
  EXPECT_EQ(Message(18), "A much longer text");
  ASSERT_EQ(wutpopm(window_), WU_OK);
  EXPECT_EQ(Message(18), "Ready.            ");
  // A text longer than the line is cut to it.
  std::string big(500, 'x');
  ASSERT_EQ(wutpshm(window_, big.c_str(), -1), WU_OK);
  EXPECT_EQ(Message(WU_MESSAGE_LEN), std::string(WU_MESSAGE_LEN, 'x'));
  ASSERT_NE(window_->saved_texts, nullptr);
  // What is left on the stack goes with the window.
  wuxfwnd(window_);
  window_ = nullptr;
  EXPECT_EQ(qevhost::poolStats(wu_module()->pool).liveBlocks, base_.liveBlocks);
}

TEST_F(CommandLine, ModeSwitchBothWaysKeepsWhatPopupsUse) {
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", Bar()));
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "SUB", {Menu(1, {Item("Deep", 0)})}));
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "POP", {Menu(1, {Item("More", 2)}), Ref(2, 5, "SUB")}));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  ASSERT_TRUE(Realise());
  ASSERT_NE(window_->menu_widget, nullptr);
  EXPECT_EQ(window_->command_field, nullptr);
  Location l = Loc("POP");
  wu_popup_menu *p = nullptr;
  ASSERT_EQ(Slot<LoadFn>(WUX_SLOT_GPMU)(window_, nullptr, l.libref, l.catalog, l.entry, &p), WU_OK);
  auto *pset = static_cast<wu_menu_set *>(p->menu_set);
  wu_menu_set *sub = pset->table[1]->ref_set;
  ASSERT_NE(sub, nullptr);

  // Toggle with a loaded menu: command line.
  EXPECT_EQ(wutclst(window_, 3), 1);
  EXPECT_EQ(window_->menu_widget, nullptr);
  EXPECT_EQ(window_->menu_set, nullptr);
  EXPECT_NE(window_->command_field, nullptr);
  EXPECT_TRUE(window_->host_flags & WU_WHOST_COMMANDLINE);
  EXPECT_TRUE(window_->module_flags & WU_WMOD_MENUS_OFF);
  // The popup's set and the set it reaches stay; nothing else does.
  int sets = 0;
  for (auto *s = static_cast<wu_menu_set *>(window_->menu_sets); s; s = s->next) {
    EXPECT_TRUE(s == pset || s == sub);
    ++sets;
  }
  EXPECT_EQ(sets, 2);

  // Back to menus.
  EXPECT_EQ(wutclst(window_, 2), 2);
  EXPECT_NE(window_->menu_widget, nullptr);
  EXPECT_EQ(window_->command_field, nullptr);
  EXPECT_FALSE(window_->host_flags & WU_WHOST_COMMANDLINE);
  EXPECT_NE(Find(window_->menu_widget, "File"), nullptr);
}

TEST_F(CommandLine, FailedMenuFallsBackToTheCommandLine) {
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("MISSING");
  ASSERT_TRUE(Realise());
  EXPECT_EQ(window_->menu_widget, nullptr);
  EXPECT_NE(window_->command_field, nullptr);
  // Asking for menus again: the menu cannot be had, the answer is 1.
  EXPECT_EQ(wutclst(window_, 2), 1);
  EXPECT_EQ(window_->module_flags & 0xE00u, 0xE00u);
  EXPECT_NE(window_->command_field, nullptr);
  qevhost::clearShownMessages();
  ASSERT_EQ(Slot<MenuFn>(WUX_SLOT_MENU)(1), WU_OK);
  std::vector<qevhost::ShownMessage> shown = qevhost::shownMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].set, 142);
  EXPECT_EQ(shown[0].number, 27);
  EXPECT_EQ(shown[0].cls, 1);
}

TEST_F(CommandLine, HostRequestsSwitchEveryWindow) {
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", Bar()));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  ASSERT_TRUE(Realise());
  auto menu = Slot<MenuFn>(WUX_SLOT_MENU);
  qevhost::clearShownMessages();
  ASSERT_EQ(menu(2), WU_OK);
  EXPECT_EQ(qevhost::gcb()->kernel->yugwred(2), 1);
  EXPECT_EQ(window_->menu_widget, nullptr);
  EXPECT_NE(window_->command_field, nullptr);
  std::vector<qevhost::ShownMessage> shown = qevhost::shownMessages();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].number, 33);
  EXPECT_EQ(shown[0].cls, 0);
  // Toggle: menus again, then the command line again.
  ASSERT_EQ(menu(3), WU_OK);
  EXPECT_EQ(qevhost::gcb()->kernel->yugwred(2), 0);
  EXPECT_NE(window_->menu_widget, nullptr);
  ASSERT_EQ(menu(3), WU_OK);
  EXPECT_EQ(window_->menu_widget, nullptr);
  ASSERT_EQ(menu(1), WU_OK);
  EXPECT_NE(window_->menu_widget, nullptr);
  EXPECT_TRUE(wu_module()->menu_flags & WU_MST_MENUS_ON);
}

TEST_F(CommandLine, ChangingTheMenuLocation) {
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", Bar()));
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "OTHER", {Menu(1, {Item("Help", 2)}),
                                                      Menu(2, {Item("About", 0)})}));
  NewWindow(WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR);
  Name("BAR");
  ASSERT_TRUE(Realise());
  auto change = Slot<ChangeFn>(WUX_SLOT_CMNU);
  void *before = window_->menu_set;
  Location same = Loc("BAR");
  ASSERT_EQ(change(window_, nullptr, same.libref, same.catalog, same.entry), WU_OK);
  EXPECT_EQ(window_->menu_set, before);
  Location other = Loc("OTHER");
  ASSERT_EQ(change(window_, nullptr, other.libref, other.catalog, other.entry), WU_OK);
  EXPECT_NE(Find(window_->menu_widget, "Help"), nullptr);
  EXPECT_EQ(Find(window_->menu_widget, "File"), nullptr);
  EXPECT_EQ(change(reinterpret_cast<wu_window *>(&other), nullptr, nullptr, nullptr, nullptr),
            WU_NOTAVAIL);
}

}  // namespace
