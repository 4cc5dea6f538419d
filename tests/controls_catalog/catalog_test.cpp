// The controls catalogue as a host reads it: the module is opened with
// dlopen and every table is found by its exported symbol.
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "qev/catalog.h"

namespace {

void *module() {
  static void *handle = dlopen(QEV_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  return handle;
}

// An exported table with its row count, taken from the symbol's size.
template <class Row>
struct Table {
  const Row *rows = nullptr;
  size_t count = 0;
  const Row *begin() const { return rows; }
  const Row *end() const { return rows + count; }
};

template <class Row>
Table<Row> table(const std::string &name) {
  Table<Row> t;
  void *addr = dlsym(module(), name.c_str());
  if (!addr) return t;
  Dl_info info;
  void *extra = nullptr;
  const auto *sym = static_cast<const ElfW(Sym) *>(nullptr);
  if (dladdr1(addr, &info, &extra, RTLD_DL_SYMENT) &&
      (sym = static_cast<const ElfW(Sym) *>(extra))) {
    EXPECT_EQ(sym->st_size % sizeof(Row), 0u) << name << ": partial row";
    t.count = sym->st_size / sizeof(Row);
  }
  t.rows = static_cast<const Row *>(addr);
  return t;
}

template <class Fn>
Fn fn(const char *name) {
  return reinterpret_cast<Fn>(dlsym(module(), name));
}

struct KindSpec {
  int32_t type;
  const char *attrs, *methods, *events;
  size_t nattrs, nmethods, nevents;
  int32_t name_msg;
};

const KindSpec kKinds[] = {
    {0, "mefattrs", "mefmethod", "mefevent", 28, 4, 7, 1},
    {1, "efdattrs", "efdmethod", "efdevent", 28, 5, 8, 2},
    {2, "lblattrs", "lblmethod", "lblevent", 19, 1, 2, 3},
    {3, "cmbattrs", "cmbmethod", "cmbevent", 26, 11, 9, 4},
    {4, "lsvattrs", "lsvmethod", "lsvevent", 27, 17, 8, 5},
    {5, "spnattrs", "spnmethod", "spnevent", 27, 1, 10, 6},
    {6, "trvattrs", "trvmethod", "trvevent", 22, 18, 11, 7},
    {7, "pbattrs", "pbnmethod", "pbevent", 20, 1, 3, 8},
    {8, "sclattrs", "sclmethod", "sclevent", 18, 1, 2, 9},
    {9, "cbattrs", "cbmethod", "cbxevent", 19, 1, 3, 10},
    {10, "lbxattrs", "lbxmethod", "lbxevent", 22, 12, 3, 11},
    {11, "rbxattrs", "rbxmethod", "rbxevent", 22, 2, 3, 12},
    {12, "dtiattrs", "dtimethod", "dtievent", 21, 1, 3, 13},
    {13, "pbarattrs", "pbarmethod", "pbarevent", 18, 3, 1, 14},
};

const std::map<std::string, std::vector<std::pair<int32_t, int32_t>>> kEnums = {
    {"boolenum", {{0, 920}, {1, 919}}},
    {"comboenum", {{0, 922}, {1, 921}}},
    {"justenum", {{0, 900}, {1, 902}, {2, 901}}},
    {"viewenum", {{0, 917}, {1, 918}, {2, 915}, {3, 916}}},
    {"iconenum", {{0, 917}, {1, 918}}},
    {"styleenum", {{0, 923}, {1, 924}}},
    {"orientenum", {{0, 903}, {1, 904}}},
    {"pshenum", {{0, 908}, {1, 909}, {2, 910}, {3, 911}}},
    {"deskenum", {{0, 910}, {1, 911}}},
    {"selenum", {{0, 905}, {1, 906}, {2, 907}}},
    {"tselenum", {{0, 905}, {1, 906}}},
    {"rtlenum", {{0, 926}, {1, 925}}},
};

template <class Row>
const Row *by_code(const Table<Row> &t, int32_t code) {
  for (const Row &r : t)
    if (r.code == code) return &r;
  return nullptr;
}

// A string field: a pointer, a length without the NUL, and the NUL.
void expect_text(const char *text, int32_t len, const std::string &where) {
  ASSERT_NE(text, nullptr) << where;
  EXPECT_EQ(std::strlen(text), static_cast<size_t>(len)) << where;
}

void expect_key(const wu_cat_msgkey &k, const std::string &where) {
  EXPECT_EQ(k.set, 613) << where;
  EXPECT_EQ(k.reserved[0], 0) << where;
  EXPECT_EQ(k.reserved[1], 0) << where;
}

void expect_parms(const wu_cat_parm *p, int32_t n, const std::string &where) {
  EXPECT_EQ(p == nullptr, n == 0) << where << ": parameter pointer and count disagree";
  for (int32_t i = 0; p && i < n; i++) {
    std::string at = where + " parameter " + std::to_string(i);
    EXPECT_TRUE(p[i].dir == 'I' || p[i].dir == 'O' || p[i].dir == 'B') << at;
    expect_text(p[i].name, p[i].name_len, at + " name");
    expect_text(p[i].desc, p[i].desc_len, at + " description");
  }
}

void expect_rows(const Table<wu_cat_method> &t, const std::string &name) {
  std::set<int32_t> codes;
  for (const wu_cat_method &m : t) {
    std::string at = name + " code " + std::to_string(m.code);
    EXPECT_TRUE(codes.insert(m.code).second) << at << ": code listed twice";
    expect_key(m.desc, at);
    expect_text(m.name, m.name_len, at + " name");
    expect_parms(m.parms, m.parm_count, at);
    EXPECT_EQ(m.result.dir, 'O') << at;
    EXPECT_EQ(m.result.vtype, 9) << at;
    EXPECT_EQ(m.result.name, nullptr) << at;
    EXPECT_EQ(m.result.name_len, 0) << at;
    EXPECT_EQ(m.result.desc, nullptr) << at;
    EXPECT_EQ(m.result.desc_len, 0) << at;
  }
}

TEST(ControlsCatalog, TypeTableListsEveryKindAndTheHostTypes) {
  ASSERT_NE(module(), nullptr) << dlerror();
  auto controls = table<wu_cat_type>("controls");
  ASSERT_NE(controls.rows, nullptr);
  ASSERT_EQ(controls.count, 19u);
  const int32_t types[19] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                             0x2001, 0x2002, 0x2003, 0x2005, 0x2006};
  const int32_t msgs[19] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 20, 21, 22, 23, 24};
  for (int i = 0; i < 19; i++) {
    const wu_cat_type &r = controls.rows[i];
    EXPECT_EQ(r.type, types[i]) << "row " << i;
    expect_key(r.name, "type row");
    EXPECT_EQ(r.name.number, msgs[i]) << "row " << i;
    EXPECT_EQ(r.one, 1) << "row " << i;
    for (int32_t z : r.reserved) EXPECT_EQ(z, 0) << "row " << i;
  }
}

TEST(ControlsCatalog, KindTablesHaveTheirRowCountsAndAreFoundByType) {
  auto kind_for = fn<const wu_cat_kind *(*)(int32_t)>("wu_cat_kind_for_type");
  ASSERT_NE(kind_for, nullptr);
  auto controls = table<wu_cat_type>("controls");
  for (const KindSpec &k : kKinds) {
    auto a = table<wu_cat_attr>(k.attrs);
    auto m = table<wu_cat_method>(k.methods);
    auto e = table<wu_cat_event>(k.events);
    ASSERT_NE(a.rows, nullptr) << k.attrs;
    ASSERT_NE(m.rows, nullptr) << k.methods;
    ASSERT_NE(e.rows, nullptr) << k.events;
    EXPECT_EQ(a.count, k.nattrs) << k.attrs;
    EXPECT_EQ(m.count, k.nmethods) << k.methods;
    EXPECT_EQ(e.count, k.nevents) << k.events;
    const wu_cat_kind *kind = kind_for(k.type);
    ASSERT_NE(kind, nullptr) << k.type;
    EXPECT_EQ(kind->type, &controls.rows[k.type]);
    EXPECT_EQ(kind->attrs, a.rows);
    EXPECT_EQ(kind->attr_count, static_cast<int32_t>(k.nattrs));
    EXPECT_EQ(kind->methods, m.rows);
    EXPECT_EQ(kind->method_count, static_cast<int32_t>(k.nmethods));
    EXPECT_EQ(kind->events, e.rows);
    EXPECT_EQ(kind->event_count, static_cast<int32_t>(k.nevents));
  }
  for (int32_t bad : {-1, 14, 0x1fff, 0x2001}) EXPECT_EQ(kind_for(bad), nullptr) << bad;
}

TEST(ControlsCatalog, EveryRowIsWellFormed) {
  for (const KindSpec &k : kKinds) {
    auto a = table<wu_cat_attr>(k.attrs);
    std::set<int32_t> codes;
    for (const wu_cat_attr &r : a) {
      std::string at = std::string(k.attrs) + " code " + std::to_string(r.code);
      EXPECT_TRUE(codes.insert(r.code).second) << at << ": code listed twice";
      expect_key(r.desc, at);
      expect_text(r.name, r.name_len, at + " name");
      EXPECT_TRUE(r.access == 'G' || r.access == 'S' || r.access == 'C') << at;
      EXPECT_EQ(r.enums == nullptr, r.enum_count == 0) << at;
    }
    expect_rows(table<wu_cat_method>(k.methods), k.methods);
    expect_rows(table<wu_cat_event>(k.events), k.events);
  }
  auto pst = table<wu_cat_parm>("pstmenu");
  expect_parms(pst.rows, static_cast<int32_t>(pst.count), "pstmenu");
}

// Codes shared by several kinds carry one of the names given for the code.
TEST(ControlsCatalog, SharedCodesKeepTheirNames) {
  const std::map<int32_t, std::set<std::string>> attr_names = {
      {71, {"controlClassType"}}, {37, {"horizontalPosition"}}, {38, {"verticalPosition"}},
      {39, {"width"}}, {40, {"height"}}, {26, {"userData"}}, {61, {"visible"}},
      {0, {"enabled"}}, {93, {"events"}}, {11, {"hScrollBar"}}, {12, {"vScrollBar"}},
      {24, {"items"}}, {35, {"rows"}}, {36, {"columns"}}, {41, {"labelColor", "textColor"}},
      {43, {"label", "text", "selectedItem"}}, {44, {"title", "borderTitle"}}, {45, {"icon"}},
      {48, {"helpText"}}, {55, {"text"}}, {56, {"backgroundColor"}}, {57, {"upperCase"}},
      {58, {"maskCharacter"}}, {60, {"selectedIndex"}}, {62, {"comboBoxStyle"}},
      {64, {"value"}}, {65, {"minimum"}}, {66, {"maximum"}},
      {67, {"increment", "smallScrollAmount"}}, {68, {"justification"}},
      {69, {"minimumChar"}}, {70, {"maximumCharacters"}},
      {72, {"minimumRows", "displayRows"}}, {73, {"allowNewItems"}}, {74, {"errorOn"}},
      {75, {"toolTipText"}}, {77, {"dataSource", "numKeys"}}, {78, {"editable"}},
      {79, {"borderStyle"}}, {80, {"topRow"}}, {81, {"resizable"}}, {82, {"selectionMode"}},
      {83, {"selectedIndexes", "selections"}}, {85, {"selectedItems"}}, {86, {"items"}},
      {88, {"selectedNode"}}, {90, {"orientation"}}, {92, {"font"}}, {96, {"titleHeight"}},
      {97, {"mnemonicCompanion", "inputArea"}}, {100, {"selected"}}, {101, {"scaleOn"}},
      {102, {"buttonStyle", "barStyle"}}, {103, {"keystrokeCommands"}},
      {104, {"selectedCount"}}, {105, {"viewType"}}, {107, {"largeScrollAmount"}},
      {113, {"iconStyle"}}, {116, {"autoExpand"}}, {118, {"conformSize"}},
      {119, {"defaultPushButton"}}, {121, {"cursorPosition"}}, {122, {"rowPosition"}},
      {123, {"virtualKeys"}}, {124, {"textOrientation"}}, {127, {"iconsColumn"}},
      {129, {"showPercentage"}}};
  const std::map<int32_t, std::set<std::string>> event_names = {
      {1, {"select", "click"}}, {2, {"key"}}, {3, {"returnKey"}}, {4, {"expand"}},
      {5, {"popup"}}, {6, {"resize"}}, {7, {"collapse"}}, {8, {"free"}},
      {9, {"doubleClick"}}, {11, {"increment"}}, {12, {"decrement"}}, {13, {"scroll"}},
      {14, {"columnClick"}}, {15, {"keyCommand"}}, {19, {"deleteNode"}},
      {20, {"beginEdit"}}, {21, {"endEdit"}}, {22, {"conformSize"}}, {27, {"click"}},
      {29, {"preVirtualKey"}}, {31, {"valueChanged"}}};
  for (const KindSpec &k : kKinds) {
    for (const wu_cat_attr &r : table<wu_cat_attr>(k.attrs)) {
      auto it = attr_names.find(r.code);
      ASSERT_NE(it, attr_names.end()) << k.attrs << ": unknown code " << r.code;
      EXPECT_TRUE(it->second.count(r.name ? r.name : "")) << k.attrs << " " << r.code << " " << r.name;
    }
    bool popup = false;
    for (const wu_cat_event &r : table<wu_cat_event>(k.events)) {
      auto it = event_names.find(r.code);
      ASSERT_NE(it, event_names.end()) << k.events << ": unknown code " << r.code;
      EXPECT_TRUE(it->second.count(r.name ? r.name : "")) << k.events << " " << r.code << " " << r.name;
      popup = popup || r.code == 5;
    }
    EXPECT_TRUE(popup) << k.events << " lacks popup";
  }
}

TEST(ControlsCatalog, CommonAttributesAreTheSameInEveryKind) {
  struct Common {
    int32_t code, vtype;
    char access;
    int32_t msg;
  };
  const Common common[] = {{71, 9, 'G', 101}, {37, 9, 'S', 102}, {38, 9, 'S', 103},
                           {39, 9, 'S', 104}, {40, 9, 'S', 105}, {26, 15, 'S', 108},
                           {61, 18, 'S', 109}, {0, 18, 'S', 110}};
  auto boolenum = table<wu_cat_enum>("boolenum");
  for (const KindSpec &k : kKinds) {
    auto a = table<wu_cat_attr>(k.attrs);
    for (const Common &c : common) {
      const wu_cat_attr *r = by_code(a, c.code);
      ASSERT_NE(r, nullptr) << k.attrs << " lacks " << c.code;
      EXPECT_EQ(r->vtype, c.vtype) << k.attrs << " " << c.code;
      EXPECT_EQ(r->access, c.access) << k.attrs << " " << c.code;
      EXPECT_EQ(r->desc.number, c.msg) << k.attrs << " " << c.code;
    }
    EXPECT_EQ(by_code(a, 61)->enums, boolenum.rows) << k.attrs;
    EXPECT_EQ(by_code(a, 0)->enums, boolenum.rows) << k.attrs;
    const wu_cat_attr *events = by_code(a, 93);
    if (k.type == 2) {
      EXPECT_EQ(events, nullptr) << "the label has no event mask";
      continue;
    }
    ASSERT_NE(events, nullptr) << k.attrs;
    EXPECT_EQ(events->vtype, 10);
    EXPECT_EQ(events->access, 'S');
    EXPECT_EQ(events->desc.number, 158);
  }
}

TEST(ControlsCatalog, EnumerationsAndTheAttributesThatUseThem) {
  std::map<const wu_cat_enum *, std::string> starts;
  for (const auto &e : kEnums) {
    auto t = table<wu_cat_enum>(e.first);
    ASSERT_NE(t.rows, nullptr) << e.first;
    ASSERT_EQ(t.count, e.second.size()) << e.first;
    for (size_t i = 0; i < t.count; i++) {
      expect_key(t.rows[i].name, e.first);
      EXPECT_EQ(t.rows[i].value, e.second[i].first) << e.first;
      EXPECT_EQ(t.rows[i].name.number, e.second[i].second) << e.first;
    }
    starts[t.rows] = e.first;
  }
  // Every enumeration pointer names one whole table.
  for (const KindSpec &k : kKinds)
    for (const wu_cat_attr &r : table<wu_cat_attr>(k.attrs)) {
      if (!r.enums) continue;
      auto it = starts.find(r.enums);
      ASSERT_NE(it, starts.end()) << k.attrs << " " << r.name << ": not an enumeration table";
      EXPECT_EQ(static_cast<size_t>(r.enum_count), kEnums.at(it->second).size())
          << k.attrs << " " << r.name;
    }
  struct Use {
    const char *table;
    int32_t code;
    const char *enums;  // nullptr: no named values
  };
  const Use uses[] = {
      {"efdattrs", 68, "justenum"},  {"efdattrs", 124, "rtlenum"},   {"efdattrs", 79, nullptr},
      {"efdattrs", 58, nullptr},     {"lblattrs", 68, "justenum"},   {"cmbattrs", 62, "comboenum"},
      {"lsvattrs", 105, "viewenum"}, {"lsvattrs", 82, "selenum"},    {"lbxattrs", 82, "selenum"},
      {"trvattrs", 82, "tselenum"},  {"pbattrs", 102, "pshenum"},    {"pbattrs", 113, "iconenum"},
      {"dtiattrs", 102, "deskenum"}, {"pbarattrs", 102, "styleenum"}, {"sclattrs", 90, "orientenum"},
      {"spnattrs", 90, "orientenum"}, {"rbxattrs", 90, "orientenum"}, {"pbarattrs", 129, "boolenum"},
      {"spnattrs", 77, nullptr},     {"cbattrs", 100, nullptr},      {"mefattrs", 11, nullptr},
  };
  for (const Use &u : uses) {
    const wu_cat_attr *r = by_code(table<wu_cat_attr>(u.table), u.code);
    ASSERT_NE(r, nullptr) << u.table << " " << u.code;
    if (u.enums)
      EXPECT_EQ(r->enums, table<wu_cat_enum>(u.enums).rows) << u.table << " " << u.code;
    else
      EXPECT_EQ(r->enums, nullptr) << u.table << " " << u.code;
  }
}

TEST(ControlsCatalog, EveryKindShowsPopupsWithTheSharedParameters) {
  auto pst = table<wu_cat_parm>("pstmenu");
  ASSERT_EQ(pst.count, 6u);
  const struct {
    char dir;
    int32_t vtype;
    const char *name;
  } want[6] = {{'I', 23, "menuItems"}, {'I', 10, "itemSensitivity"}, {'I', 10, "classifier"},
               {'I', 23, "helpText"},  {'I', 20, "mnemonics"},       {'O', 9, "selectedItem"}};
  for (int i = 0; i < 6; i++) {
    EXPECT_EQ(pst.rows[i].dir, want[i].dir) << i;
    EXPECT_EQ(pst.rows[i].vtype, want[i].vtype) << i;
    EXPECT_STREQ(pst.rows[i].name, want[i].name) << i;
  }
  EXPECT_STREQ(pst.rows[3].desc, "Specifies the text that will be displayed on the status line.");
  for (const KindSpec &k : kKinds) {
    const wu_cat_method *m = by_code(table<wu_cat_method>(k.methods), 8);
    ASSERT_NE(m, nullptr) << k.methods;
    EXPECT_STREQ(m->name, "_showPopup") << k.methods;
    EXPECT_EQ(m->parms, pst.rows) << k.methods;
    EXPECT_EQ(m->parm_count, 6) << k.methods;
    EXPECT_EQ(m->desc.number, k.type == 6 ? 712 : 730) << k.methods;
  }
}

// A sample of rows per kind: code, name, value type, access, message.
TEST(ControlsCatalog, SampleAttributeRows) {
  const struct {
    const char *table;
    int32_t code;
    const char *name;
    int32_t vtype;
    char access;
    int32_t msg;
  } rows[] = {
      {"mefattrs", 55, "text", 23, 'S', 107},        {"mefattrs", 122, "rowPosition", 9, 'S', 205},
      {"mefattrs", 12, "vScrollBar", 18, 'C', 208},  {"efdattrs", 58, "maskCharacter", 0, 'S', 120},
      {"efdattrs", 77, "numKeys", 18, 'S', 131},     {"efdattrs", 68, "justification", 9, 'C', 118},
      {"lblattrs", 97, "mnemonicCompanion", 31, 'S', 140},
      {"lblattrs", 124, "textOrientation", 18, 'C', 210},
      {"cmbattrs", 43, "selectedItem", 24, 'S', 106}, {"cmbattrs", 73, "allowNewItems", 18, 'S', 130},
      {"lsvattrs", 85, "selectedItems", 27, 'G', 147}, {"lsvattrs", 127, "iconsColumn", 18, 'C', 212},
      {"spnattrs", 77, "dataSource", 18, 'S', 131},  {"spnattrs", 97, "inputArea", 18, 'S', 140},
      {"trvattrs", 83, "selections", 28, 'G', 196},  {"trvattrs", 86, "items", 26, 'G', 148},
      {"pbattrs", 119, "defaultPushButton", 18, 'S', 203}, {"pbattrs", 45, "icon", 9, 'S', 163},
      {"sclattrs", 64, "value", 5, 'S', 151},        {"sclattrs", 67, "smallScrollAmount", 5, 'S', 137},
      {"cbattrs", 100, "selected", 18, 'S', 157},    {"lbxattrs", 85, "selectedItems", 23, 'G', 147},
      {"rbxattrs", 44, "borderTitle", 24, 'S', 161}, {"rbxattrs", 79, "borderStyle", 18, 'C', 126},
      {"dtiattrs", 113, "iconStyle", 18, 'S', 181},  {"pbarattrs", 64, "value", 12, 'S', 214},
      {"pbarattrs", 102, "barStyle", 9, 'C', 213},
  };
  for (const auto &w : rows) {
    const wu_cat_attr *r = by_code(table<wu_cat_attr>(w.table), w.code);
    ASSERT_NE(r, nullptr) << w.table << " " << w.code;
    EXPECT_STREQ(r->name, w.name) << w.table;
    EXPECT_EQ(r->vtype, w.vtype) << w.table << " " << w.name;
    EXPECT_EQ(r->access, w.access) << w.table << " " << w.name;
    EXPECT_EQ(r->desc.number, w.msg) << w.table << " " << w.name;
  }
}

// A sample of method and event rows with their parameters.
TEST(ControlsCatalog, SampleMethodAndEventRows) {
  const struct {
    const char *table;
    int32_t code;
    const char *name;
    int32_t msg;
    int32_t nparms;
    char dir0;      // first parameter
    int32_t vtype0;
    const char *name0;
  } rows[] = {
      {"mefmethod", 12, "_getMark", 706, 4, 'O', 9, "startRow"},
      {"efdmethod", 31, "_setCursorPosition", 731, 1, 'I', 9, "cursorPosition"},
      {"efdevent", 29, "preVirtualKey", 521, 3, 'I', 9, "virtualKeyCode"},
      {"cmbmethod", 15, "_find", 704, 2, 'B', 9, "position"},
      {"cmbevent", 1, "select", 504, 1, 'I', 9, ""},
      {"lsvmethod", 1, "_addRows", 702, 5, 'I', 9, "insertRow"},
      {"lsvmethod", 40, "_setColumn", 738, 6, 'I', 9, "column"},
      {"lsvevent", 21, "endEdit", 516, 2, 'I', 15, ""},
      {"lsvevent", 19, "deleteNode", 524, 1, 'I', 12, ""},
      {"spnevent", 11, "increment", 505, 0, 0, 0, nullptr},
      {"trvmethod", 38, "_findExact", 705, 5, 'I', 26, "startNode"},
      {"trvmethod", 26, "_DNDNode", 717, 2, 'I', 29, ""},
      {"trvmethod", 47, "_getNode", 753, 2, 'I', 15, "key"},
      {"trvevent", 8, "free", 508, 1, 'I', 15, ""},
      {"trvevent", 6, "resize", 509, 0, 0, 0, nullptr},
      {"pbevent", 1, "click", 504, 0, 0, 0, nullptr},
      {"sclevent", 13, "scroll", 511, 2, 'I', 9, ""},
      {"cbxevent", 1, "click", 504, 1, 'I', 9, ""},
      {"lbxmethod", 44, "_getItem", 743, 4, 'I', 9, "row"},
      {"rbxmethod", 35, "_getText", 735, 2, 'I', 9, "row"},
      {"dtievent", 9, "doubleClick", 510, 0, 0, 0, nullptr},
      {"pbarmethod", 49, "_stepDelta", 755, 1, 'I', 12, "increment"},
  };
  for (const auto &w : rows) {
    const wu_cat_method *r = by_code(table<wu_cat_method>(w.table), w.code);
    ASSERT_NE(r, nullptr) << w.table << " " << w.code;
    EXPECT_STREQ(r->name, w.name) << w.table;
    EXPECT_EQ(r->desc.number, w.msg) << w.table << " " << w.name;
    ASSERT_EQ(r->parm_count, w.nparms) << w.table << " " << w.name;
    if (!w.nparms) continue;
    EXPECT_EQ(r->parms[0].dir, w.dir0) << w.table << " " << w.name;
    EXPECT_EQ(r->parms[0].vtype, w.vtype0) << w.table << " " << w.name;
    EXPECT_STREQ(r->parms[0].name, w.name0) << w.table << " " << w.name;
  }
}

// The combo box's search text is handed over as a string entry, as in the
// list view and list box.
TEST(ControlsCatalog, SearchTextsAreStrings) {
  const struct {
    const char *table;
    int32_t code;
  } finds[] = {{"cmbmethod", 15}, {"cmbmethod", 11}, {"lsvmethod", 15},
               {"lsvmethod", 11}, {"lbxmethod", 15}, {"lbxmethod", 11}};
  for (const auto &f : finds) {
    const wu_cat_method *m = by_code(table<wu_cat_method>(f.table), f.code);
    ASSERT_NE(m, nullptr);
    const wu_cat_parm &text = m->parms[m->parm_count - 1];
    EXPECT_STREQ(text.name, "text") << f.table << " " << f.code;
    EXPECT_EQ(text.vtype, 24) << f.table << " " << f.code;
  }
}

TEST(ControlsCatalog, DefaultSizesFollowTheFont) {
  auto size = fn<wu_status (*)(int32_t, int32_t, int32_t, int32_t, int32_t *, int32_t *)>(
      "wu_cat_default_size");
  ASSERT_NE(size, nullptr);
  const int32_t cw = 7, fh = 13;
  const struct {
    int32_t type, vertical, w, h;
  } want[] = {
      {0, 0, 147, 147}, {1, 0, 147, 17}, {2, 0, 147, 17}, {3, 0, 147, 17},
      {4, 0, 147, 147}, {5, 0, 147, 17}, {6, 0, 147, 147}, {7, 0, 88, 17},
      {8, 0, 147, 14},  {8, 1, 14, 147}, {9, 0, 147, 17},  {10, 0, 147, 147},
      {11, 0, 147, 50}, {12, 0, 48, 48}, {13, 0, 147, 14}, {13, 1, 14, 147},
      {7, 1, 88, 17},  // only the bars turn upright
  };
  for (const auto &s : want) {
    int32_t w = -1, h = -1;
    EXPECT_EQ(size(s.type, cw, fh, s.vertical, &w, &h), WU_OK) << s.type;
    EXPECT_EQ(w, s.w) << "type " << s.type;
    EXPECT_EQ(h, s.h) << "type " << s.type;
  }
  for (int32_t bad : {-1, 14, 0x2001}) {
    int32_t w = -1, h = -1;
    EXPECT_EQ(size(bad, cw, fh, 0, &w, &h), WU_NOTAVAIL) << bad;
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
  }
}

}  // namespace
