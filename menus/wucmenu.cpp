// Menu descriptions: "PMENU" catalog entries read into menu sets, their
// window references, release, the window's action menu, and the gray and
// check lists of a window's items.
//
// An entry is a run of node groups (a 32-byte header, the text, and the
// records of the node's kind) read one record at a time.  Nothing of an
// entry is trusted: a node group that breaks the limits below refuses the
// whole entry and nothing of it is kept.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "menus/wumenus.h"
#include "qev/flags.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"

namespace {

// The menu pool: created on the first load under the module pool.
const int32_t kMenuPoolInitial = 0x40000;
const int32_t kMenuPoolIncrement = 16384;
const int32_t kMenuPoolFlags = 256;
// Host bit that allows upper-cased menu texts.
const int32_t kUpperBit = 15;
// The member could not be opened: (library reference, catalog, entry).
const int32_t kMsgSet = 525;
const int32_t kMsgNoMember = 14;
// Positioning of ylmread that passes over one record.
const int32_t kSkipOne = 1;
// Offsets of a location inside a reference or include text.
const int32_t kLocCatalog = QEV_LIBREF_LEN;
const int32_t kLocEntry = QEV_LIBREF_LEN + QEV_NAME34_LEN;
// Name fields: a 16-bit length followed by this many characters.
const int32_t kNameChars = QEV_NAME34_LEN - 2;

// Entries being loaded (outermost first): a reference back to one of them
// would never end.
std::vector<std::string> g_loading;
// The window references of those entries.
std::vector<wu_menu_set *> g_refs;

int32_t Name34Length(const char *name) {
  int16_t len = 0;
  std::memcpy(&len, name, sizeof len);
  return len;
}

// A location's key: libref, catalog and entry, trimmed and upper-cased.
std::string Trim(const char *text, int32_t n) {
  std::string s;
  for (int32_t i = 0; i < n && text[i]; ++i) s += char(std::toupper((unsigned char)text[i]));
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}
std::string Name34(const char *name) {
  int32_t n = Name34Length(name);
  if (n < 0 || n > kNameChars) n = kNameChars;
  return Trim(name + 2, n);
}
std::string Key(const char *libref, const char *catalog, const char *entry) {
  return Trim(libref, QEV_LIBREF_LEN) + "." + Name34(catalog) + "." + Name34(entry);
}

bool BlankEntry(const char *entry) {
  if (!entry) return true;
  const int32_t n = Name34Length(entry);
  return n <= 0 || n > kNameChars || entry[2] == '\0' || entry[2] == ' ';
}

qev_pool *MenuPool() {
  wu_state *st = wu_module();
  if (!st) return nullptr;
  if (!st->menu_pool) {
    qev_pool *p = nullptr;
    if (wmrpc(&p, kMenuPoolInitial, kMenuPoolIncrement, kMenuPoolFlags, st->pool) != WU_OK)
      return nullptr;
    st->menu_pool = p;
  }
  return st->menu_pool;
}

// Rounds a byte count up to the alignment of the node block's parts.
int32_t Align(int32_t n) { return (n + 7) & ~7; }

bool Excluded(int32_t id, const int32_t *list, int32_t count) {
  for (int32_t i = 0; list && i < count; ++i)
    if (list[i] == id) return true;
  return false;
}

void Unlink(wu_menu_set **head, wu_menu_set *set) {
  for (wu_menu_set **l = head; *l; l = &(*l)->next)
    if (*l == set) {
      *l = set->next;
      set->next = nullptr;
      return;
    }
}

// The layout of a node block: the node, its text, template and arrays.
struct NodeLayout {
  int32_t text = 0, templ = 0, arrays = 0, mnemonics = 0, size = 0;
};

NodeLayout Layout(int32_t text_length, int32_t count, int32_t templ_length) {
  NodeLayout l;
  int32_t at = Align(int32_t(sizeof(wu_menu_node)));
  l.text = at;
  at += Align(text_length + 1);
  l.templ = at;
  at += Align(templ_length + 1);
  l.arrays = at;
  at += Align(7 * (count + 1) * int32_t(sizeof(int32_t)));
  l.mnemonics = at;
  at += Align(count + 1);
  l.size = at;
  return l;
}

wu_menu_node *NewNode(qev_pool *pool, const int32_t *h) {
  const bool menu = h[WU_MH_KIND] == WU_MNODE_MENU;
  const bool dialog = h[WU_MH_KIND] == WU_MNODE_DIALOG;
  const int32_t count = menu ? h[WU_MH_COUNT] : 0;
  const int32_t templ = dialog ? h[WU_MH_COUNT] : 0;
  NodeLayout l = Layout(h[WU_MH_TEXT], count, templ);
  char *block = static_cast<char *>(vmalcp_handler(pool, l.size, WU_MEM_CLEAR));
  if (!block) return nullptr;
  auto *node = reinterpret_cast<wu_menu_node *>(block);
  node->block_size = l.size;
  node->text = block + l.text;
  node->templ = block + l.templ;
  auto *a = reinterpret_cast<int32_t *>(block + l.arrays);
  int32_t **arrays[7] = {&node->submenu, &node->label_offset, &node->command_id, &node->grayed,
                         &node->item_id, &node->separator, &node->check};
  for (int32_t i = 0; i < 7; ++i) *arrays[i] = a + i * (count + 1);
  node->mnemonics = reinterpret_cast<uint8_t *>(block + l.mnemonics);
  std::memcpy(node->header, h, sizeof node->header);
  return node;
}

void FreeNode(qev_pool *pool, wu_menu_node *node) { vmfree_handler(pool, node, node->block_size, 0); }

// Takes the excluded items out of a menu node, then terminates its labels.
void ExcludeItems(wu_menu_node *node, const int32_t *excluded, int32_t ex_count) {
  int32_t n = node->header[WU_MH_COUNT];
  int32_t t = node->header[WU_MH_TEXT];
  int32_t *off = node->label_offset;
  int32_t *arrays[] = {node->submenu, node->command_id, node->grayed, node->item_id,
                       node->separator, node->check};
  off[n] = t;
  for (int32_t i = 0; i < n;) {
    if (!Excluded(node->command_id[i], excluded, ex_count)) {
      ++i;
      continue;
    }
    if (i == n - 1) {
      // The last item: the text ends at the byte before its label (which
      // is the separator of the one before; nothing for an only item).
      t = off[i] > 0 ? off[i] - 1 : 0;
    } else {
      const int32_t removed = off[i + 1] - off[i];
      std::memmove(node->text + off[i], node->text + off[i + 1], size_t(t - off[i + 1]));
      t -= removed;
      for (int32_t *a : arrays) std::memmove(a + i, a + i + 1, size_t(n - 1 - i) * sizeof(int32_t));
      std::memmove(node->mnemonics + i, node->mnemonics + i + 1, size_t(n - 1 - i));
      for (int32_t j = i; j < n; ++j) off[j] = off[j + 1] - removed;
    }
    --n;
    off[n] = t;
  }
  node->header[WU_MH_COUNT] = n;
  node->header[WU_MH_TEXT] = t;
  off[n] = t;
  if (n > 0) node->separator[n - 1] = 0;
  for (int32_t i = 1; i < n; ++i) node->text[off[i] - 1] = '\0';
  node->text[t] = '\0';
}

// Reads one record of exactly `size` bytes (`exact`) or at most `size`.
bool ReadRecord(qev_member *m, void *buf, int32_t size, bool exact) {
  int32_t length = 0;
  const wu_status st = ylmread(m, size > 0 ? buf : nullptr, size, &length, 0);
  return st == WU_OK && length <= size && (!exact || length == size);
}

bool ValidHeader(const int32_t *h) {
  const int32_t kind = h[WU_MH_KIND];
  const int32_t t = h[WU_MH_TEXT];
  if (h[WU_MH_NUMBER] < 1 || t < 0 || t > WU_PMENU_MAX_TEXT) return false;
  if (kind == WU_MNODE_MENU) {
    const int32_t n = h[WU_MH_COUNT];
    if (n < 0 || n > WU_PMENU_MAX_ITEMS || (n > 0 && t == 0)) return false;
  } else if (kind == WU_MNODE_DIALOG) {
    if (h[WU_MH_COUNT] < 0 || h[WU_MH_COUNT] > WU_PMENU_MAX_TEXT) return false;
  } else if (kind == WU_MNODE_REFERENCE || kind == WU_MNODE_INCLUDE) {
    if (t < WU_PMENU_LOCATION_SIZE) return false;
  }
  return true;
}

// Label offsets ascend strictly inside the text.
bool ValidLabels(const wu_menu_node *node) {
  const int32_t n = node->header[WU_MH_COUNT], t = node->header[WU_MH_TEXT];
  for (int32_t i = 0; i < n; ++i) {
    const int32_t o = node->label_offset[i];
    if (o < 0 || o >= t || (i > 0 && o <= node->label_offset[i - 1])) return false;
  }
  return true;
}

struct Load;
wu_status LoadEntry(wu_window *w, qev_lib *lib, const char *libref, const char *catalog,
                    const char *entry, const int32_t *excluded, int32_t ex_count,
                    wu_menu_set **out);

// Reads the records of one node group after its header.
wu_status ReadNode(wu_window *w, qev_lib *lib, qev_member *m, wu_menu_node *node, bool upper,
                   const int32_t *excluded, int32_t ex_count) {
  const int32_t *h = node->header;
  const int32_t t = h[WU_MH_TEXT];
  if (t > 0) {
    if (!ReadRecord(m, node->text, t, false)) return WU_MENU_LOAD_FAILED;
    if (node->text[t - 1] == ' ') node->text[t - 1] = '\0';
    if (upper && h[WU_MH_UPPER] != 0) wzstrup(node->text, t);
  }
  switch (h[WU_MH_KIND]) {
    case WU_MNODE_MENU: {
      const int32_t n = h[WU_MH_COUNT];
      int32_t *arrays[] = {node->submenu, node->label_offset, node->command_id, node->grayed,
                           node->item_id, node->separator, node->check};
      for (int32_t *a : arrays)
        if (!ReadRecord(m, a, n * int32_t(sizeof(int32_t)), true)) return WU_MENU_LOAD_FAILED;
      if (ylmread(m, nullptr, 0, nullptr, kSkipOne) != WU_OK) return WU_MENU_LOAD_FAILED;
      // The mnemonic record may be short: the rest stays zero.
      if (!ReadRecord(m, node->mnemonics, n, false)) return WU_MENU_LOAD_FAILED;
      if (!ValidLabels(node)) return WU_MENU_LOAD_FAILED;
      ExcludeItems(node, excluded, ex_count);
      break;
    }
    case WU_MNODE_DIALOG:
      if (!ReadRecord(m, node->templ, h[WU_MH_COUNT], false)) return WU_MENU_LOAD_FAILED;
      if (h[WU_MH_EXTRA] > 0 && ylmread(m, nullptr, 0, nullptr, kSkipOne) != WU_OK)
        return WU_MENU_LOAD_FAILED;
      break;
    case WU_MNODE_REFERENCE:
    case WU_MNODE_INCLUDE: {
      wu_state *st = wu_module();
      wu_menu_set *sub = nullptr;
      wu_status s = LoadEntry(w, lib, node->text, node->text + kLocCatalog,
                              node->text + kLocEntry, st->excluded, st->excluded_count, &sub);
      if (s != WU_OK) return WU_NOTAVAIL;
      sub->parent = g_refs.empty() ? nullptr : g_refs.back();
      sub->holder = node;
      if (h[WU_MH_KIND] == WU_MNODE_REFERENCE) node->ref_set = sub;
      else node->inc_set = sub;
      break;
    }
    default:
      break;
  }
  return WU_OK;
}

// Builds the node table: node numbers are exactly 1 to the count, and
// every submenu index names one of them or none.
wu_status BuildTable(qev_pool *pool, wu_menu_set *owner, int32_t count) {
  if (count <= 0) return WU_MENU_LOAD_FAILED;
  auto **table = static_cast<wu_menu_node **>(
      vmalcp_handler(pool, count * int32_t(sizeof(wu_menu_node *)), WU_MEM_CLEAR));
  if (!table) return WU_MENU_LOAD_FAILED;
  owner->table = table;
  owner->node_count = count;
  for (wu_menu_node *n = owner->root; n; n = n->next) {
    const int32_t num = n->header[WU_MH_NUMBER];
    if (num < 1 || num > count || table[num - 1]) return WU_MENU_LOAD_FAILED;
    table[num - 1] = n;
  }
  for (wu_menu_node *n = owner->root; n; n = n->next) {
    if (n->header[WU_MH_KIND] != WU_MNODE_MENU) continue;
    for (int32_t i = 0; i < n->header[WU_MH_COUNT]; ++i)
      if (n->submenu[i] < 0 || n->submenu[i] > count) return WU_MENU_LOAD_FAILED;
  }
  wu_menu_node *root = owner->root;
  int32_t plain = 0;
  if (root->header[WU_MH_KIND] == WU_MNODE_MENU)
    for (int32_t i = 0; i < root->header[WU_MH_COUNT]; ++i) {
      const int32_t s = root->submenu[i];
      if (s == 0 || table[s - 1]->header[WU_MH_KIND] != WU_MNODE_MENU) ++plain;
    }
  owner->plain_root_items = plain;
  return WU_OK;
}

void FreeOwner(qev_pool *pool, wu_menu_set *owner);

// Frees a window reference record (already off every list).
void FreeReference(qev_pool *pool, wu_menu_set *ref) {
  wu_reg_remove(ref);
  vmfree_handler(pool, ref, int32_t(sizeof(wu_menu_set)), 0);
}

// Releases a reference: its use count, its owner, its record.
void ReleaseReference(wu_menu_set *ref) {
  qev_pool *pool = wu_module() ? wu_module()->menu_pool : nullptr;
  if (!pool) return;
  if (--ref->use_count >= 1) return;
  wu_menu_set *owner = ref->owner;
  ref->owner = nullptr;
  if (ref->holder) {
    if (ref->holder->ref_set == ref) ref->holder->ref_set = nullptr;
    if (ref->holder->inc_set == ref) ref->holder->inc_set = nullptr;
    ref->holder = nullptr;
  }
  if (owner && --owner->use_count < 1) FreeOwner(pool, owner);
  if (ref->window) {
    auto **head = reinterpret_cast<wu_menu_set **>(&ref->window->menu_sets);
    Unlink(head, ref);
    if (ref->window->menu_set == ref) ref->window->menu_set = nullptr;
  }
  FreeReference(pool, ref);
}

// Frees an owner with its nodes; the references its reference and include
// nodes loaded belong to it alone and go with it.
void FreeOwner(qev_pool *pool, wu_menu_set *owner) {
  wu_state *st = wu_module();
  Unlink(reinterpret_cast<wu_menu_set **>(&st->menu_sets), owner);
  wu_menu_node *n = owner->root;
  while (n) {
    wu_menu_node *next = n->next;
    wu_menu_set *subs[] = {n->ref_set, n->inc_set};
    for (wu_menu_set *s : subs)
      if (s) {
        s->use_count = 1;
        ReleaseReference(s);
      }
    FreeNode(pool, n);
    n = next;
  }
  if (owner->table)
    vmfree_handler(pool, owner->table, owner->node_count * int32_t(sizeof(wu_menu_node *)), 0);
  vmfree_handler(pool, owner, int32_t(sizeof(wu_menu_set)), 0);
}

void CopyLocation(wu_menu_set *s, const char *libref, const char *catalog, const char *entry) {
  std::memcpy(s->libref, libref, QEV_LIBREF_LEN);
  std::memcpy(s->catalog, catalog, QEV_NAME34_LEN);
  std::memcpy(s->entry, entry, QEV_NAME34_LEN);
}

// Reads the node groups of an open member into the owner.
wu_status ReadMember(wu_window *w, qev_lib *lib, qev_member *m, qev_pool *pool,
                     wu_menu_set *owner, const int32_t *excluded, int32_t ex_count) {
  const bool upper = ywcgbit(kUpperBit) != 0;
  wu_menu_node *last = nullptr;
  int32_t count = 0;
  for (;;) {
    int32_t h[WU_PMENU_HEADER_WORDS] = {};
    int32_t length = 0;
    wu_status st = ylmread(m, h, WU_PMENU_HEADER_SIZE, &length, 0);
    if (st != WU_OK) {
      if (!WU_IS_EOM(st)) return WU_MENU_LOAD_FAILED;
      break;
    }
    if (length != WU_PMENU_HEADER_SIZE || !ValidHeader(h)) {
      if (length == WU_PMENU_HEADER_SIZE && h[WU_MH_KIND] == WU_MNODE_MENU &&
          h[WU_MH_COUNT] > WU_PMENU_MAX_ITEMS)
        wutlogf(QEV_LOG_WARNING, "A menu of %d items is refused: a menu holds at most %d.",
                int(h[WU_MH_COUNT]), int(WU_PMENU_MAX_ITEMS));
      return WU_MENU_LOAD_FAILED;
    }
    if (++count > WU_PMENU_MAX_ITEMS * 16) return WU_MENU_LOAD_FAILED;
    wu_menu_node *node = NewNode(pool, h);
    if (!node) return WU_MENU_LOAD_FAILED;
    if (last) last->next = node;
    else owner->root = node;
    last = node;
    st = ReadNode(w, lib, m, node, upper, excluded, ex_count);
    if (st != WU_OK) return st;
  }
  return BuildTable(pool, owner, count);
}

wu_status LoadEntry(wu_window *w, qev_lib *lib, const char *libref, const char *catalog,
                    const char *entry, const int32_t *excluded, int32_t ex_count,
                    wu_menu_set **out) {
  *out = nullptr;
  if (BlankEntry(entry)) return WU_MENU_LOAD_FAILED;
  qev_pool *pool = MenuPool();
  if (!pool) return WU_MENU_LOAD_FAILED;
  char lr[QEV_LIBREF_LEN] = {}, ct[QEV_NAME34_LEN] = {};
  if (libref) std::memcpy(lr, libref, sizeof lr);
  if (catalog) std::memcpy(ct, catalog, sizeof ct);
  if ((lr[0] == '\0' || Name34Length(ct) == 0) && lib) {
    if (ylinfo(lib, QEV_LINFO_LIBREF, lr, sizeof lr) == WU_OK &&
        ylinfo(lib, QEV_LINFO_CATALOG, ct, sizeof ct) == WU_OK) {
      std::memcpy(w->menu_libref, lr, sizeof lr);
      std::memcpy(w->menu_catalog, ct, sizeof ct);
    }
  }
  const std::string key = Key(lr, ct, entry);
  if (g_loading.size() >= WU_PMENU_MAX_DEPTH) return WU_NOTAVAIL;
  for (const std::string &k : g_loading)
    if (k == key) return WU_NOTAVAIL;

  auto *ref = static_cast<wu_menu_set *>(vmalcp_handler(pool, sizeof(wu_menu_set), WU_MEM_CLEAR));
  if (!ref) return WU_MENU_LOAD_FAILED;
  if (wu_reg_add(ref, WU_REG_MENUSET) != WU_OK) {
    vmfree_handler(pool, ref, int32_t(sizeof(wu_menu_set)), 0);
    return WU_MENU_LOAD_FAILED;
  }
  CopyLocation(ref, lr, ct, entry);
  ref->use_count = 1;
  ref->window = w;
  ref->next = static_cast<wu_menu_set *>(w->menu_sets);
  w->menu_sets = ref;

  wu_status status = WU_MENU_LOAD_FAILED;
  qev_lib *opened = nullptr;
  qev_member *member = nullptr;
  wu_menu_set *owner = nullptr;
  g_loading.push_back(key);
  g_refs.push_back(ref);
  qev_lib *use = nullptr;
  if (lib && ylobjfd(lib, entry, WU_PMENU_MEMBER_TYPE) == WU_OK) use = lib;
  else if (ylopen(&opened, QEV_LIB_READ, lr, ct) == WU_OK) use = opened;
  if (use) {
    if (ylmopen(use, entry, WU_PMENU_MEMBER_TYPE, QEV_LIB_READ, &member) != WU_OK) {
      member = nullptr;
      const std::string l = Trim(lr, QEV_LIBREF_LEN), c = Name34(ct), e = Name34(entry);
      qev_arg args[3] = {{QEV_ARG_TEXT, int32_t(l.size()), l.c_str(), 0},
                         {QEV_ARG_TEXT, int32_t(c.size()), c.c_str(), 0},
                         {QEV_ARG_TEXT, int32_t(e.size()), e.c_str(), 0}};
      ypmlog(kMsgSet, kMsgNoMember, 3, args);
      status = WU_NOTAVAIL;
    } else {
      owner = static_cast<wu_menu_set *>(vmalcp_handler(pool, sizeof(wu_menu_set), WU_MEM_CLEAR));
      if (owner) {
        CopyLocation(owner, lr, ct, entry);
        wu_state *st = wu_module();
        owner->next = static_cast<wu_menu_set *>(st->menu_sets);
        st->menu_sets = owner;
        status = ReadMember(w, use, member, pool, owner, excluded, ex_count);
      }
    }
  }
  g_loading.pop_back();
  g_refs.pop_back();
  if (member) ylmclos(member, 0);
  if (opened) ylclose(opened);
  if (owner) {
    ref->owner = owner;
    ref->root = owner->root;
    ref->table = owner->table;
    ref->node_count = owner->node_count;
    ref->plain_root_items = owner->plain_root_items;
    owner->use_count++;
  }
  if (status != WU_OK) {
    wuxfmnu(w, ref);
    return status;
  }
  *out = ref;
  return WU_OK;
}

bool WindowKnown(const wu_window *w) { return wumwkno(w) != 0; }

// Finds or adds the item id's entry of a list; null without memory.
wu_item_state *StateEntry(wu_window *w, void **list, int32_t item_id) {
  auto *head = static_cast<wu_item_state *>(*list);
  if (wu_item_state *e = matchid(head, item_id)) return e;
  auto *e = static_cast<wu_item_state *>(vmalcp_handler(w->pool, sizeof(wu_item_state), WU_MEM_CLEAR));
  if (!e) return nullptr;
  e->item_id = item_id;
  e->next = head;
  *list = e;
  return e;
}

void FreeStates(wu_window *w, void **list) {
  auto *e = static_cast<wu_item_state *>(*list);
  while (e) {
    wu_item_state *next = e->next;
    vmfree_handler(w->pool, e, int32_t(sizeof(wu_item_state)), 0);
    e = next;
  }
  *list = nullptr;
}

}  // namespace


extern "C" {

int32_t wumwkno(const wu_window *w) {
  // Only windows the module handed out and still holds: the registry is
  // empty before start-up and after shut-down.
  return wu_module() != nullptr && wu_reg_has(w, WU_REG_WINDOW) ? 1 : 0;
}

uint8_t *wu_printer_bytes(void) {
  static uint8_t bytes[2];
  return bytes;
}

wu_status wuxlmnu(wu_window *w, qev_lib *lib, const char *libref, const char *catalog,
                  const char *entry, const int32_t *excluded, int32_t excluded_count,
                  wu_menu_set **set_out) {
  if (set_out) *set_out = nullptr;
  if (!set_out || !WindowKnown(w) || excluded_count < 0 ||
      excluded_count > WU_PMENU_MAX_EXCLUDED || (excluded_count > 0 && !excluded))
    return WU_MENU_LOAD_FAILED;
  return LoadEntry(w, lib, libref, catalog, entry, excluded, excluded_count, set_out);
}

wu_status wuxfmnu(wu_window *, wu_menu_set *set) {
  if (!set || !wu_reg_has(set, WU_REG_MENUSET)) return WU_NOTAVAIL;
  ReleaseReference(set);
  return WU_OK;
}

wu_status wuxgamu(wu_window *w) {
  wu_state *st = wu_module();
  if (!st || !WindowKnown(w)) return WU_NOTAVAIL;
  bool load = !BlankEntry(w->menu_entry) && w->menu_kind != 0 &&
              !(w->module_flags & WU_WMOD_MENUS_OFF);
  if (load && !(w->module_flags & WU_WMOD_PULLDOWN) && w->menu_kind != 3 &&
      !(w->module_flags & WU_WMOD_OWN_LOCATION) && yugwred(2) == 1)
    load = false;
  wu_menu_set *set = nullptr;
  if (load && !w->menu_set &&
      wuxlmnu(w, w->menu_lib, w->menu_libref, w->menu_catalog, w->menu_entry, st->excluded,
              st->excluded_count, &set) == WU_OK)
    w->menu_set = set;
  uint32_t decor = 0;
  if (w->menu_set) {
    const uint32_t before = w->module_flags & WU_WMOD_DECOR_MASK;
    wuxgdsf(w, 0, &decor);
    w->module_flags = (w->module_flags & ~0xF80u) | (decor & 0xF80u);
    if (before && !(w->module_flags & before)) wutfamu(w, 0);
    return WU_OK;
  }
  wutfamu(w, 0);
  w->module_flags |= WU_WMOD_MENUS_OFF;
  wuxgdsf(w, 0, &decor);
  w->module_flags = (w->module_flags & ~0xF80u) | (decor & 0xF80u);
  if (w->module_flags & WU_DECOR_COMMANDLINE) w->module_flags |= WU_WMOD_MENUS_OFF;
  return WU_MENU_LOAD_FAILED;
}

void wumfwmn(wu_window *w) {
  if (!w) return;
  wumfdlw(w);
  while (auto *p = static_cast<wu_popup_menu *>(w->popup_menus)) wuxfpmu(w, p);
  if (w->menu_set) {
    wuxfmnu(w, static_cast<wu_menu_set *>(w->menu_set));
    w->menu_set = nullptr;
  }
  while (auto *s = static_cast<wu_menu_set *>(w->menu_sets)) {
    // Every reference on the list goes, whatever its use count.
    s->use_count = 1;
    ReleaseReference(s);
  }
  FreeStates(w, &w->gray_list);
  FreeStates(w, &w->check_list);
  wutfstk(w);
}

wu_item_state *matchid(wu_item_state *list, int32_t item_id) {
  for (wu_item_state *e = list; e; e = e->next)
    if (e->item_id == item_id) return e;
  return nullptr;
}

wu_status MenuAction(int32_t kind, wu_window *w, int32_t item_id, int32_t state) {
  if (!WindowKnown(w) || (kind != WU_MSTATE_GRAY && kind != WU_MSTATE_CHECK)) return WU_NOTAVAIL;
  wu_item_state *e = StateEntry(w, kind == WU_MSTATE_GRAY ? &w->gray_list : &w->check_list, item_id);
  if (e) {
    e->state = state;
    wumapst(kind, w, e);
  }
  wumtact(w);
  return e ? WU_OK : WU_NOMEM;
}

wu_status wuxgitm(wu_window *w, int32_t item_id, int32_t state) {
  wu_status st = MenuAction(WU_MSTATE_GRAY, w, item_id, state);
  if (st != WU_NOTAVAIL && (w->flags & WU_WIN_PRINT_WINDOW)) wumprwn(w);
  return st;
}

wu_status wuxsitm(wu_window *w, int32_t item_id, int32_t state) {
  return MenuAction(WU_MSTATE_CHECK, w, item_id, state);
}

wu_status wuxgpmu(wu_window *w, qev_lib *lib, const char *libref, const char *catalog,
                  const char *entry, wu_popup_menu **popup_out) {
  if (popup_out) *popup_out = nullptr;
  wu_state *st = wu_module();
  if (!st || !popup_out || !WindowKnown(w)) return WU_NOTAVAIL;
  auto *p = static_cast<wu_popup_menu *>(wutgmem(w->pool, WU_MT_POPUP_MENU));
  if (!p) return WU_NOMEM;
  p->kind = WU_MT_POPUP_MENU;
  wu_menu_set *set = nullptr;
  if (wuxlmnu(w, lib, libref, catalog, entry, st->excluded, st->excluded_count, &set) != WU_OK) {
    wutfmem(w->pool, p, WU_MT_POPUP_MENU);
    return WU_MENU_LOAD_FAILED;
  }
  if (wu_reg_add(p, WU_REG_POPUP) != WU_OK) {
    wuxfmnu(w, set);
    wutfmem(w->pool, p, WU_MT_POPUP_MENU);
    return WU_NOMEM;
  }
  p->menu_set = set;
  p->next = static_cast<wu_popup_menu *>(w->popup_menus);
  w->popup_menus = p;
  *popup_out = p;
  return WU_OK;
}

wu_status wuxfpmu(wu_window *w, wu_popup_menu *p) {
  if (!WindowKnown(w) || !wu_reg_has(p, WU_REG_POPUP)) return WU_NOTAVAIL;
  bool mine = false;
  for (auto **l = reinterpret_cast<wu_popup_menu **>(&w->popup_menus); *l; l = &(*l)->next)
    if (*l == p) {
      *l = p->next;
      mine = true;
      break;
    }
  if (!mine) return WU_NOTAVAIL;
  wu_reg_remove(p);
  wumfpwd(p);
  if (p->menu_set) wuxfmnu(w, static_cast<wu_menu_set *>(p->menu_set));
  wutfmem(w->pool, p, WU_MT_POPUP_MENU);
  return WU_OK;
}

}  // extern "C"

// ---- menu dialog texts -------------------------------------------------------

namespace {

const int32_t kMarkerDigits = 4;

// Splits a message at commas into at most `max` fields; the last field
// takes the rest.
std::vector<std::string> SplitFields(const std::string &text, size_t max) {
  std::vector<std::string> out;
  size_t at = 0;
  while (out.size() + 1 < max) {
    size_t comma = text.find(',', at);
    if (comma == std::string::npos) break;
    out.push_back(text.substr(at, comma - at));
    at = comma + 1;
  }
  out.push_back(text.substr(at));
  return out;
}

bool Number(const std::string &s, int32_t *out) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return false;
  int64_t v = 0;
  for (; i < s.size() && s[i] != ' '; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > 255) return false;
  }
  for (; i < s.size(); ++i)
    if (s[i] != ' ') return false;
  *out = int32_t(v);
  return true;
}

}  // namespace

extern "C" {

int32_t wumdtpl(const char *templ, const char *const *inputs, int32_t input_count,
                const char *const *radios, int32_t radio_count, const char *const *checks,
                int32_t check_count, char *out, int32_t size) {
  std::string r;
  for (size_t i = 0; templ && templ[i]; ++i) {
    const char c = templ[i];
    if (c != '@' && c != '%' && c != '&') {
      r += c;
      continue;
    }
    if (templ[i + 1] == c) {
      r += c;
      ++i;
      continue;
    }
    int32_t n = 0, digits = 0;
    while (digits < kMarkerDigits && templ[i + 1 + digits] >= '0' && templ[i + 1 + digits] <= '9')
      n = n * 10 + (templ[i + 1 + digits++] - '0');
    if (digits == 0) {
      r += c;
      continue;
    }
    i += size_t(digits);
    const char *const *list = c == '@' ? inputs : c == '%' ? radios : checks;
    const int32_t count = c == '@' ? input_count : c == '%' ? radio_count : check_count;
    if (n < 1 || n > count || !list || !list[n - 1]) continue;
    std::string v = list[n - 1];
    if (c == '@')
      while (!v.empty() && v.back() == ' ') v.pop_back();
    r += v;
  }
  if (out && size > 0) {
    const size_t n = r.size() < size_t(size - 1) ? r.size() : size_t(size - 1);
    std::memcpy(out, r.data(), n);
    out[n] = '\0';
  }
  return int32_t(r.size());
}

wu_status wuxgmdg(int32_t set, int32_t number, wu_menu_node **node_out, char **title_out) {
  if (node_out) *node_out = nullptr;
  if (title_out) *title_out = nullptr;
  if (!node_out || !title_out) return WU_MENU_LOAD_FAILED;
  char *msg = wuxgmft(set, number);
  if (!msg) return WU_MENU_LOAD_FAILED;
  const std::string text = msg;
  vmfree_handler(wu_module_pool(), msg, int32_t(text.size()) + 1, 0);
  std::vector<std::string> head = SplitFields(text, 3);
  int32_t count = 0;
  if (head.size() < 3 || !Number(head[0], &count) || count < 1) return WU_MENU_LOAD_FAILED;
  std::vector<std::string> f = SplitFields(head[2], size_t(count) * 4 + 1);
  if (f.size() < size_t(count) * 4 + 1) return WU_MENU_LOAD_FAILED;
  std::string items;
  for (int32_t i = 0; i < count; ++i) {
    int32_t row = 0, col = 0, type = 0;
    const std::string &t = f[size_t(i) * 4 + 3];
    if (!Number(f[size_t(i) * 4], &row) || !Number(f[size_t(i) * 4 + 1], &col) ||
        !Number(f[size_t(i) * 4 + 2], &type) || type == WU_MDLG_INPUT ||
        type == WU_MDLG_RADIOBOX || t.size() > 254)
      return WU_MENU_LOAD_FAILED;
    items += char(row);
    items += char(col);
    items += char(t.size() + 1);
    items += char(type);
    items += char(0);
    items += char(0);
    items += t;
    items += '\0';
  }
  const std::string &templ = f.back();
  qev_pool *pool = MenuPool();
  if (!pool) return WU_NOMEM;
  int32_t h[WU_PMENU_HEADER_WORDS] = {1, WU_MNODE_DIALOG, int32_t(items.size()),
                                      int32_t(templ.size()), 0, 0, 0, 0};
  if (h[WU_MH_TEXT] > WU_PMENU_MAX_TEXT || h[WU_MH_COUNT] > WU_PMENU_MAX_TEXT)
    return WU_MENU_LOAD_FAILED;
  wu_menu_node *node = NewNode(pool, h);
  char *title = static_cast<char *>(vmalloc_handler(pool, int32_t(head[1].size()) + 1, 0));
  if (!node || !title) {
    if (node) FreeNode(pool, node);
    if (title) vmfree_handler(pool, title, int32_t(head[1].size()) + 1, 0);
    return WU_NOMEM;
  }
  std::memcpy(node->text, items.data(), items.size());
  std::memcpy(node->templ, templ.data(), templ.size());
  std::memcpy(title, head[1].c_str(), head[1].size() + 1);
  *node_out = node;
  *title_out = title;
  return WU_OK;
}

}  // extern "C"
