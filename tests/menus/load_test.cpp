// Menu descriptions read from catalog entries: what a set holds, items
// excluded by command id, upper-casing, references, release, and every kind
// of malformed entry refused with nothing kept.
#include <fstream>
#include <functional>

#include "menufixture.h"

namespace {

using qevhost::MenuNode;

std::vector<MenuNode> FileMenu() {
  return {Menu(1, {Item("File", 2), Item("Edit", 3), Item("Quit", 0, 10, 7)}),
          Menu(2, {Item("Open", 4, 6, 1), Item("Save", 5, 5, 2), Item("Close", 0, 0, 3)}),
          Menu(3, {Item("Copy", 0, 31, 4)}), Command(4, "OPEN"), Command(5, "SAVE ")};
}

std::string Label(const wu_menu_node *n, int i) { return n->text + n->label_offset[i]; }

TEST_F(MenuTest, EntryLoadsIntoNumberedNodesAndIsReleasedToBaseline) {
  NewWindow();
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "MAIN", FileMenu()));
  wu_menu_set *set = nullptr;
  ASSERT_EQ(Load("MAIN", &set), WU_OK);
  ASSERT_NE(set, nullptr);
  EXPECT_TRUE(wu_reg_has(set, WU_REG_MENUSET));
  EXPECT_EQ(set->node_count, 5);
  ASSERT_EQ(set->root, set->table[0]);
  EXPECT_EQ(set->plain_root_items, 1);   // "Quit" opens no menu
  const wu_menu_node *root = set->root;
  EXPECT_EQ(root->header[WU_MH_COUNT], 3);
  EXPECT_EQ(Label(root, 0), "File");
  EXPECT_EQ(Label(root, 2), "Quit");
  EXPECT_EQ(root->label_offset[3], root->header[WU_MH_TEXT]);
  // A text ending in a blank loses it; the others keep their last byte.
  EXPECT_STREQ(set->table[4]->text, "SAVE");
  EXPECT_STREQ(set->table[3]->text, "OPEN");
  EXPECT_EQ(set->window, window_);
  EXPECT_EQ(window_->menu_sets, set);

  // A second load reads the entry again into its own owner.
  wu_menu_set *again = nullptr;
  ASSERT_EQ(Load("MAIN", &again), WU_OK);
  EXPECT_NE(again->owner, set->owner);
  EXPECT_EQ(wuxfmnu(window_, again), WU_OK);
  EXPECT_EQ(wuxfmnu(window_, set), WU_OK);
  EXPECT_EQ(window_->menu_sets, nullptr);
  EXPECT_EQ(MenuBlocks(), 0);
  EXPECT_EQ(wu_module()->menu_sets, nullptr);
  // Released handles are refused.
  EXPECT_EQ(wuxfmnu(window_, set), WU_NOTAVAIL);
}

TEST_F(MenuTest, ExcludedCommandIdsTakeTheirItemsOut) {
  NewWindow();
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "MAIN", FileMenu()));
  wu_menu_set *set = nullptr;
  // The middle item of node 2 and the only item of node 3.
  ASSERT_EQ(Load("MAIN", &set, {5, 31}), WU_OK);
  const wu_menu_node *file = set->table[1];
  ASSERT_EQ(file->header[WU_MH_COUNT], 2);
  EXPECT_EQ(Label(file, 0), "Open");
  EXPECT_EQ(Label(file, 1), "Close");
  EXPECT_EQ(file->item_id[1], 3);
  // The text keeps its last (terminating) byte.
  EXPECT_EQ(file->header[WU_MH_TEXT], int32_t(std::strlen("Open Close ")));
  const wu_menu_node *edit = set->table[2];
  EXPECT_EQ(edit->header[WU_MH_COUNT], 0);
  EXPECT_EQ(edit->header[WU_MH_TEXT], 0);
  EXPECT_EQ(wuxfmnu(window_, set), WU_OK);
  // The last item: the text ends before its label.
  ASSERT_EQ(Load("MAIN", &set, {10}), WU_OK);
  EXPECT_EQ(set->root->header[WU_MH_COUNT], 2);
  EXPECT_EQ(set->root->header[WU_MH_TEXT], int32_t(std::strlen("File Edit")));
  EXPECT_STREQ(set->root->text, "File");
  EXPECT_EQ(set->root->separator[1], 0);
  EXPECT_EQ(wuxfmnu(window_, set), WU_OK);
  // All root items out: the root item count is 0.
  ASSERT_EQ(Load("MAIN", &set, {0, 10}), WU_OK);
  EXPECT_EQ(set->root->header[WU_MH_COUNT], 0);
  EXPECT_EQ(set->plain_root_items, 0);
  EXPECT_EQ(wuxfmnu(window_, set), WU_OK);
  EXPECT_EQ(MenuBlocks(), 0);
}

TEST_F(MenuTest, UpperCasingNeedsBothTheNodeFlagAndTheHostBit) {
  NewWindow();
  std::vector<MenuNode> nodes = {Menu(1, {Item("open", 2)}), Command(2, "open file")};
  nodes[0].upper = 1;
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "UP", nodes));
  wu_menu_set *set = nullptr;
  qevhost::setHostBit(15, false);
  ASSERT_EQ(Load("UP", &set), WU_OK);
  EXPECT_STREQ(set->root->text, "open");
  wuxfmnu(window_, set);
  qevhost::setHostBit(15, true);
  ASSERT_EQ(Load("UP", &set), WU_OK);
  EXPECT_STREQ(set->root->text, "OPEN");
  EXPECT_STREQ(set->table[1]->text, "open file");   // its own flag is clear
  wuxfmnu(window_, set);
}

TEST_F(MenuTest, ReferencesLoadTheirEntriesAndGoWithTheirOwner) {
  NewWindow();
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "SUB", {Menu(1, {Item("Inner", 2)}), Command(2, "IN")}));
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "TOP",
                                 {Menu(1, {Item("More", 2), Item("Also", 3)}), Ref(2, 5, "SUB"),
                                  Ref(3, 6, "SUB")}));
  wu_menu_set *set = nullptr;
  ASSERT_EQ(Load("TOP", &set), WU_OK);
  ASSERT_NE(set->table[1]->ref_set, nullptr);
  ASSERT_NE(set->table[2]->inc_set, nullptr);
  EXPECT_STREQ(set->table[1]->ref_set->root->text, "Inner");
  EXPECT_EQ(set->table[1]->ref_set->parent, set);
  EXPECT_EQ(wuxfmnu(window_, set), WU_OK);
  EXPECT_EQ(window_->menu_sets, nullptr);
  EXPECT_EQ(MenuBlocks(), 0);

  // A reference to a missing entry, and one back to the entry being
  // loaded, fail the whole load.
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAD", {Menu(1, {Item("X", 2)}), Ref(2, 5, "NONE")}));
  qevhost::clearLog();
  EXPECT_EQ(Load("BAD", &set), WU_NOTAVAIL);
  EXPECT_EQ(set, nullptr);
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "SELF", {Menu(1, {Item("X", 2)}), Ref(2, 6, "SELF")}));
  EXPECT_EQ(Load("SELF", &set), WU_NOTAVAIL);
  EXPECT_EQ(window_->menu_sets, nullptr);
  EXPECT_EQ(MenuBlocks(), 0);
}

TEST_F(MenuTest, MissingMemberIsLoggedAndBlankNamesLoadNothing) {
  NewWindow();
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "MAIN", FileMenu()));
  qevhost::setMessage(525, 14, "Menu %s.%s(%s) cannot be opened.");
  qevhost::clearLog();
  wu_menu_set *set = reinterpret_cast<wu_menu_set *>(1);
  EXPECT_EQ(Load("NOSUCH", &set), WU_NOTAVAIL);
  EXPECT_EQ(set, nullptr);
  bool logged = false;
  for (const std::string &l : qevhost::log()) logged |= l.find("NOSUCH") != std::string::npos;
  EXPECT_TRUE(logged);
  EXPECT_EQ(Load("   ", &set), WU_MENU_LOAD_FAILED);
  // A catalog that does not exist cannot be opened.
  Location nocat = Loc("MAIN", kLib, "NOCAT");
  EXPECT_EQ(wuxlmnu(window_, nullptr, nocat.libref, nocat.catalog, nocat.entry, nullptr, 0, &set),
            WU_MENU_LOAD_FAILED);
  Location l = Loc("X");
  EXPECT_EQ(wuxlmnu(window_, nullptr, l.libref, l.catalog, nullptr, nullptr, 0, &set),
            WU_MENU_LOAD_FAILED);
  // An unknown window is refused.
  EXPECT_EQ(wuxlmnu(reinterpret_cast<wu_window *>(&l), nullptr, l.libref, l.catalog, l.entry,
                    nullptr, 0, &set),
            WU_MENU_LOAD_FAILED);
  EXPECT_EQ(window_->menu_sets, nullptr);
}

// Each record sequence breaks one limit: the entry is refused, nothing kept.
TEST_F(MenuTest, MalformedEntriesAreRefusedWithNothingKept) {
  NewWindow();
  auto good = [] {
    std::vector<std::vector<uint8_t>> r;
    for (auto &n : {Menu(1, {Item("A", 2), Item("B", 0)}), Command(2, "GO")})
      for (auto &x : qevhost::menuNodeRecords(n)) r.push_back(x);
    return r;
  };
  auto word = [](std::vector<uint8_t> &rec, int i, int32_t v) {
    std::memcpy(rec.data() + 4 * i, &v, 4);
  };
  struct Case {
    const char *what;
    std::function<void(std::vector<std::vector<uint8_t>> &)> change;
  };
  // Records of the menu node: 0 header, 1 text, 2-8 arrays, 9 passed over,
  // 10 mnemonics; then 11 header and 12 text of the command node.
  std::vector<Case> cases = {
      {"duplicate node number", [&](auto &r) { word(r[11], 0, 1); }},
      {"node number past the count", [&](auto &r) { word(r[11], 0, 3); }},
      {"submenu index past the count", [&](auto &r) { word(r[2], 0, 3); }},
      {"negative submenu index", [&](auto &r) { word(r[2], 1, -1); }},
      {"short array", [&](auto &r) { r[4].resize(4); }},
      {"long array", [&](auto &r) { r[5].resize(12); }},
      {"label offsets not ascending", [&](auto &r) { word(r[3], 1, 0); }},
      {"label offset past the text", [&](auto &r) { word(r[3], 1, 40); }},
      {"too many items", [&](auto &r) { word(r[0], 3, 4097); }},
      {"text longer than announced", [&](auto &r) { r[12].push_back('X'); }},
      {"menu items without text", [&](auto &r) { word(r[0], 2, 0); r.erase(r.begin() + 1); }},
      {"short header", [&](auto &r) { r[11].resize(28); }},
      {"negative text length", [&](auto &r) { word(r[11], 2, -5); }},
      {"member ends inside a node", [&](auto &r) { r.resize(7); }},
      {"short location", [&](auto &r) {
         word(r[11], 1, 5);
         word(r[11], 2, 40);
         r[12].assign(40, ' ');
       }},
  };
  for (const Case &c : cases) {
    auto recs = good();
    c.change(recs);
    ASSERT_TRUE(qevhost::writeMenuRecords(kLib, kCat, "BROKEN", recs)) << c.what;
    wu_menu_set *set = reinterpret_cast<wu_menu_set *>(1);
    EXPECT_EQ(Load("BROKEN", &set), WU_MENU_LOAD_FAILED) << c.what;
    EXPECT_EQ(set, nullptr) << c.what;
    EXPECT_EQ(window_->menu_sets, nullptr) << c.what;
    EXPECT_EQ(MenuBlocks(), 0) << c.what;
  }
  // The host learns why a menu too long to show is refused.
  EXPECT_TRUE(qevtest::logContains("A menu of 4097 items is refused: a menu holds at most 4096."));
  // The untouched sequence loads; a short mnemonic record is padded.
  auto recs = good();
  recs[10] = {'a'};
  ASSERT_TRUE(qevhost::writeMenuRecords(kLib, kCat, "BROKEN", recs));
  wu_menu_set *set = nullptr;
  ASSERT_EQ(Load("BROKEN", &set), WU_OK);
  EXPECT_EQ(set->root->mnemonics[0], 'a');
  EXPECT_EQ(set->root->mnemonics[1], 0);
  wuxfmnu(window_, set);
  // A damaged member (a record head cut short) ends with a read status
  // other than the end of the member.
  std::string path = qevhost::catalogRoot() + "/" + kLib + "/" + kCat + "/BROKEN.PMENU";
  std::ofstream(path, std::ios::app | std::ios::binary) << "abc";
  EXPECT_EQ(Load("BROKEN", &set), WU_MENU_LOAD_FAILED);
  EXPECT_EQ(MenuBlocks(), 0);
}

TEST_F(MenuTest, ActionMenuLoadsOnlyWhenTheWindowAsksForOne) {
  NewWindow();
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "MAIN", FileMenu()));
  // No entry name: no menu, the window gets the command line.
  EXPECT_EQ(wuxgamu(window_), WU_MENU_LOAD_FAILED);
  EXPECT_TRUE(window_->module_flags & WU_WMOD_MENUS_OFF);
  EXPECT_TRUE(window_->module_flags & WU_DECOR_COMMANDLINE);
  window_->module_flags &= ~WU_WMOD_MENUS_OFF;
  Name("MAIN");
  window_->menu_kind = 0;
  EXPECT_EQ(wuxgamu(window_), WU_MENU_LOAD_FAILED);
  window_->module_flags &= ~WU_WMOD_MENUS_OFF;
  window_->menu_kind = 1;
  EXPECT_EQ(wuxgamu(window_), WU_OK);
  ASSERT_NE(window_->menu_set, nullptr);
  EXPECT_TRUE(window_->module_flags & WU_DECOR_MENUBAR);
  // Command-line mode of the host skips it unless the window insists.
  wuxfmnu(window_, static_cast<wu_menu_set *>(window_->menu_set));
  window_->menu_set = nullptr;
  qevhost::setGlobal(2, 1);
  EXPECT_EQ(wuxgamu(window_), WU_MENU_LOAD_FAILED);
  window_->module_flags &= ~WU_WMOD_MENUS_OFF;
  window_->module_flags |= WU_WMOD_PULLDOWN;
  EXPECT_EQ(wuxgamu(window_), WU_OK);
  qevhost::setGlobal(2, 0);
}

TEST_F(MenuTest, ReleasingTheWindowReleasesItsMenusAndStates) {
  NewWindow();
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "MAIN", FileMenu()));
  wu_menu_set *a = nullptr, *b = nullptr;
  ASSERT_EQ(Load("MAIN", &a), WU_OK);
  ASSERT_EQ(Load("MAIN", &b), WU_OK);
  Location l = Loc("MAIN");
  wu_popup_menu *p = nullptr;
  ASSERT_EQ(Slot<LoadFn>(WUX_SLOT_GPMU)(window_, nullptr, l.libref, l.catalog, l.entry, &p), WU_OK);
  ASSERT_EQ(Slot<ItemFn>(WUX_SLOT_GITM)(window_, 4, 1), WU_OK);
  ASSERT_EQ(Slot<ItemFn>(WUX_SLOT_SITM)(window_, 4, 1), WU_OK);
  ASSERT_EQ(wuxfwnd(window_), WU_OK);
  window_ = nullptr;
  EXPECT_EQ(MenuBlocks(), 0);
  EXPECT_FALSE(wu_reg_has(p, WU_REG_POPUP));
  EXPECT_FALSE(wu_reg_has(a, WU_REG_MENUSET));
  EXPECT_EQ(qevhost::poolStats(wu_module()->pool).liveBlocks, base_.liveBlocks);
}

// A set the host also hands to a second window, raising its use count,
// stays loaded when that window goes and releases its reference: the first
// window's menu still opens and runs its commands from it, and the set goes
// with the last reference.
TEST_F(MenuTest, ASetStillHeldByAnotherWindowOutlivesOneRelease) {
  Build({Menu(1, {Item("File", 2)}), Menu(2, {Item("Run", 3, 0, 1)}), Command(3, "HALT")});
  auto *set = static_cast<wu_menu_set *>(window_->menu_set);
  ASSERT_NE(set, nullptr);
  const int64_t blocks = MenuBlocks();
  wu_window *other = nullptr;
  ASSERT_EQ(wuxgwnd(&other, 1, WU_DECOR_MESSAGELINE), WU_OK);
  other->menu_set = set;
  ++set->use_count;
  EXPECT_EQ(wuxfwnd(other), WU_OK);
  EXPECT_TRUE(wu_reg_has(set, WU_REG_MENUSET));
  EXPECT_EQ(MenuBlocks(), blocks);
  ClickThrough(Find(window_->menu_widget, "File"), "Run");
  qevtest::turnUntil([&] { return wutcqev(window_) > 0; }, 2000);
  EXPECT_EQ(Queued(), std::vector<std::string>{"HALT"});
  EXPECT_EQ(wuxfwnd(window_), WU_OK);
  window_ = nullptr;
  EXPECT_FALSE(wu_reg_has(set, WU_REG_MENUSET));
  EXPECT_EQ(MenuBlocks(), 0);
}

TEST(MenuText, CheckedFormatterTakesOnlyTextsAndNumbers) {
  char out[32];
  qev_arg args[2] = {{QEV_ARG_TEXT, 3, "abc", 0}, {QEV_ARG_INT, 0, nullptr, 42}};
  EXPECT_EQ(wutsfmt(out, sizeof out, "%s=%d %% %x %n", -1, 2, args), 14);
  EXPECT_STREQ(out, "abc=42 % %x %n");
  // Missing or mismatched arguments add nothing; output is cut to the buffer.
  EXPECT_EQ(wutsfmt(out, sizeof out, "%d%s%s!", -1, 1, args), 1);
  EXPECT_STREQ(out, "!");
  EXPECT_EQ(wutsfmt(out, 5, "%s%s%s", -1, 1, args), 3);
  EXPECT_STREQ(out, "abc");
  EXPECT_EQ(wutsfmt(out, 3, "abcdef", -1, 0, nullptr), 2);
  EXPECT_STREQ(out, "ab");
}

}  // namespace

namespace {

TEST_F(MenuTest, ALibraryHandleNamesTheLocation) {
  NewWindow();
  ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "MAIN", FileMenu()));
  const qev_kernel *k = qevhost::gcb()->kernel;
  Location l = Loc("MAIN");
  qev_lib *lib = nullptr;
  ASSERT_EQ(k->ylopen(&lib, QEV_LIB_READ, l.libref, l.catalog), WU_OK);
  char empty_ref[QEV_LIBREF_LEN] = {};
  char empty_cat[QEV_NAME34_LEN] = {};
  wu_menu_set *set = nullptr;
  ASSERT_EQ(wuxlmnu(window_, lib, empty_ref, empty_cat, l.entry, nullptr, 0, &set), WU_OK);
  EXPECT_EQ(std::string(window_->menu_libref, 8), "MENULIB ");
  EXPECT_EQ(std::memcmp(window_->menu_catalog, l.catalog, QEV_NAME34_LEN), 0);
  EXPECT_EQ(std::memcmp(set->entry, l.entry, QEV_NAME34_LEN), 0);
  EXPECT_EQ(wuxfmnu(window_, set), WU_OK);
  k->ylclose(lib);
  // Excluded lists too long to be a host's are refused.
  EXPECT_EQ(wuxlmnu(window_, nullptr, l.libref, l.catalog, l.entry, nullptr, 1, &set),
            WU_MENU_LOAD_FAILED);
}

}  // namespace
