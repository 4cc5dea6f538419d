// What qevmotif.so shows to the programs that load or link it: the entry,
// the controls catalogue and every function of the Xd widget interface,
// nothing of its internals (a program linking the widget set must be free to
// define its own AddFontName or wutinit), and the module loads and starts
// from that alone.
#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "child.h"
#include "coretest.h"

namespace {

// The names of the symbols an ELF shared object defines and shows to others.
std::set<std::string> exportedNames(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::set<std::string> names;
  if (file.size() < sizeof(Elf64_Ehdr)) return names;
  const auto *eh = reinterpret_cast<const Elf64_Ehdr *>(file.data());
  if (std::memcmp(eh->e_ident, ELFMAG, SELFMAG) != 0 || eh->e_ident[EI_CLASS] != ELFCLASS64 ||
      eh->e_shoff + size_t(eh->e_shnum) * sizeof(Elf64_Shdr) > file.size())
    return names;
  const auto *sh = reinterpret_cast<const Elf64_Shdr *>(file.data() + eh->e_shoff);
  for (int i = 0; i < eh->e_shnum; ++i) {
    if (sh[i].sh_type != SHT_DYNSYM || sh[i].sh_link >= eh->e_shnum) continue;
    const Elf64_Shdr &strs = sh[sh[i].sh_link];
    if (sh[i].sh_offset + sh[i].sh_size > file.size() || strs.sh_offset + strs.sh_size > file.size())
      continue;
    const auto *sym = reinterpret_cast<const Elf64_Sym *>(file.data() + sh[i].sh_offset);
    size_t count = sh[i].sh_size / sizeof(Elf64_Sym);
    for (size_t k = 0; k < count; ++k) {
      const unsigned bind = ELF64_ST_BIND(sym[k].st_info);
      if (sym[k].st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK)) continue;
      if (sym[k].st_name >= strs.sh_size) continue;
      names.insert(file.data() + strs.sh_offset + sym[k].st_name);
    }
  }
  return names;
}

// Every function of the widget set's programming interface: creation, and
// the icon list, multi-column list, tree and tab functions.
const char *const kWidgetInterface[] = {
    "XdCreateIconList", "XdCreateScrolledIconList", "XdCreateMCIconList", "XdCreateTree",
    "XdCreateTab",
    "XdIconListGetChild", "XdIconListAddItem", "XdIconListAddItems", "XdIconListReplaceItems",
    "XdIconListDeleteItem", "XdIconListDeletePos", "XdIconListDeletePositions",
    "XdIconListDeleteAllItems", "XdIconListSetItem", "XdIconListSetPos",
    "XdIconListGetSelectedPos", "XdIconListItemPos", "XdIconListSelectItem",
    "XdIconListSelectPos", "XdIconListVisibleItems", "XdIconListSelectAll",
    "XdIconListDeselectPos", "XdIconListDeselectAll", "XdIconListGetText",
    "XdIconListSetTopItemPos", "XdIconListGetTopItemPos", "XdIconListSelectPositions",
    "XdIconListSetLastSelected", "XdIconListGetId", "XdIconListGetIdFromPos", "XdIconListYToPos",
    "XdIconListSetFocus", "XdIconListGetIcon", "XdIconListOverrideUserData",
    "XdMCIconListAddColumn", "XdMCIconListDeleteColumn", "XdMCIconListGetColumn",
    "XdMCIconListSetColumn", "XdMCIconListSetResizeCursor", "XdMCIconListGetChild",
    "XdMCIconListSortOnColumn", "XdMCIconListAddItem", "XdMCIconListAddItems",
    "XdMCIconListUpdateItems", "XdMCIconListGetRowString", "XdMCIconListDeletePos",
    "XdMCIconListDeletePositions", "XdMCIconListDeleteAllItems", "XdMCIconListGetSelectedPos",
    "XdMCIconListSelectPos", "XdMCIconListSelectPositions", "XdMCIconListSelectAll",
    "XdMCIconListDeselectAll", "XdMCIconListDeselectPos", "XdMCIconListGetTopItemPos",
    "XdMCIconListSetTopItemPos", "XdMCIconListSetLastSelected", "XdMCIconListGetId",
    "XdMCIconListGetIcon", "XdMCIconListSetFocus", "XdMCIconListOverrideUserData",
    "XdTreeInsertNodeAt", "XdTreeDeleteTree", "XdTreeDraw", "XdTreeExpandNode",
    "XdTreeCollapseNode", "XdTreeToggleNode", "XdTreeSetFocus", "XdTreeUnSetFocus",
    "XdTreeWidgetToTreeNode", "wuxatre", "_XdTreeIsChild", "_XdTreeSetFocusColors",
    "_XdLoadPixmap",
    "XdTabAddPage", "XdTabSetCurrentPage", "XdTabGetChild"};

const char *const kCatalogue[] = {
    "controls", "pstmenu", "boolenum", "comboenum", "justenum", "viewenum", "iconenum",
    "styleenum", "orientenum", "pshenum", "deskenum", "selenum", "tselenum", "rtlenum"};
const char *const kKindPrefixes[] = {"mef", "efd", "lbl", "cmb", "lsv", "spn", "trv",
                                     "pb",  "scl", "cb",  "lbx", "rbx", "dti", "pbar"};

TEST(ExportedModule, ShowsItsInterfaceAndNothingElse) {
  std::set<std::string> names = exportedNames(QEV_EXPORTED_MODULE);
  ASSERT_FALSE(names.empty()) << QEV_EXPORTED_MODULE;

  // The host's entry points and every catalogue table it reads by name.
  for (const char *n : {"mcn_main", "pcn_QEVMOTIF", "Kludge_XmIm_current_widget",
                        "Kludge_XmText_scrollHorizontal"})
    EXPECT_TRUE(names.count(n)) << n;
  for (const char *n : kCatalogue) EXPECT_TRUE(names.count(n)) << n;
  for (const char *p : kKindPrefixes) {
    EXPECT_TRUE(names.count(std::string(p) + "attrs")) << p;
    // Method and event tables of three kinds carry shortened names.
    std::string m = std::string(p == std::string("pb") ? "pbn" : p) + "method";
    std::string e = std::string(p == std::string("cb") ? "cbx" : p) + "event";
    EXPECT_TRUE(names.count(m)) << m;
    EXPECT_TRUE(names.count(e)) << e;
  }
  // The widget programmer's interface.
  for (const char *n : kWidgetInterface) EXPECT_TRUE(names.count(n)) << n;
  for (const char *n : {"XdSetHostHooks", "xdIconListWidgetClass", "xdMCIconListWidgetClass",
                        "xdTabWidgetClass"})
    EXPECT_TRUE(names.count(n)) << n;

  // Nothing else: no internal routine, widget class or C++ name.
  const std::regex allowed(
      "mcn_main|pcn_QEVMOTIF|wuxfwnd|wuxgfld|wuxpmsg|wutsync|wutcqev|Kludge_Xm[A-Za-z_]+|Xd[A-Z][A-Za-z]*|xd[A-Za-z]+(ClassRec|WidgetClass)|"
      "wuxatre|_XdTreeIsChild|_XdTreeSetFocusColors|_XdLoadPixmap|"
      "controls|pstmenu|[a-z]+enum|[a-z]+(attrs|method|event)");
  for (const std::string &n : names) EXPECT_TRUE(std::regex_match(n, allowed)) << n;
  for (const char *n : {"AddFontName", "wutinit", "wuxinit", "devb", "qevPaneWidgetClass", "_XdBusy"})
    EXPECT_FALSE(names.count(n)) << n;
  EXPECT_LT(names.size(), 200u);
}

// The host loads qevmotif.so by its entry alone; start-up registers the
// tables and opens the display, shut-down ends cleanly.
TEST(ExportedModule, HostLoadsStartsAndEndsIt) {
  ASSERT_NE(qevtest::privateDisplay(), nullptr);
  int status = qevtest::runInChild([] {
    ASSERT_NE(qevhost::start(), nullptr);
    ASSERT_NE(qevhost::loadModule(QEV_EXPORTED_MODULE), nullptr);
    auto init = coretest::slot<coretest::InitFn>(QEV_TABLE_WINDOW, WUX_SLOT_INIT);
    auto term = coretest::slot<coretest::InitFn>(QEV_TABLE_WINDOW, WUX_SLOT_TERM);
    ASSERT_NE(init, nullptr);
    ASSERT_NE(term, nullptr);
    EXPECT_EQ(init(), WU_OK);
    EXPECT_EQ(term(), WU_OK);
    qevhost::unloadModule();
    qevhost::stop();
  });
  EXPECT_TRUE(qevtest::childPassed(status)) << qevtest::describeStatus(status);
}

}  // namespace
