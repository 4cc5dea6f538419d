// Drop-site attributes as the host sets and queries them through value
// entries, the release of the lists handed out, and the drag start at a
// given pointer position.
//
// A site keeps its own copies of everything it is given (Xt memory), so the
// host may reuse its entries at once.  Lists handed back by a query are
// single blocks in the module pool: the 12-byte items followed by their
// NUL-terminated texts, so that wuxfdnd can free each with its exact size.
#include <X11/Intrinsic.h>
#include <Xm/AtomMgr.h>
#include <Xm/DragDrop.h>
#include <climits>
#include <cstring>

#include "frames/wudndp.h"
#include "qev/catalog.h"
#include "qev/flags.h"
#include "runtime/wucheck.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

bool Failed(wu_status st) { return (uint32_t(st) & 0x80000000u) != 0; }

// Checks a string-list entry: its count and, when it has items, its list
// and every item's length, before anything is allocated for it.
wu_status CheckList(const wu_value &e) {
  if (e.type != WU_VT_STRLIST || e.value < 0 || e.value > WU_HOST_LIST_MAX ||
      (e.value > 0 && !e.pointer))
    return WU_E_RANGE;
  const auto *items = static_cast<const wu_dnd_text *>(e.pointer);
  for (int32_t i = 0; i < e.value; ++i)
    if (items[i].text && items[i].length > WU_HOST_TEXT_MAX) return WU_E_RANGE;
  return WU_OK;
}

// The text of a host string item: a null text or a negative length is empty.
int32_t ItemLength(const wu_dnd_text &item) {
  return item.text && item.length > 0 ? item.length : 0;
}

// Copies a host string list into a site list.
void CopyList(const wu_value &e, wu_dnd_list *list) {
  wu_dnd_list_clear(list);
  if (e.value == 0) return;
  const auto *items = static_cast<const wu_dnd_text *>(e.pointer);
  list->count = e.value;
  list->texts = reinterpret_cast<char **>(XtCalloc(Cardinal(e.value), sizeof(char *)));
  list->lengths = reinterpret_cast<int32_t *>(XtCalloc(Cardinal(e.value), sizeof(int32_t)));
  for (int32_t i = 0; i < e.value; ++i) {
    int32_t n = ItemLength(items[i]);
    list->texts[i] = XtMalloc(Cardinal(n + 1));
    if (n) std::memcpy(list->texts[i], items[i].text, size_t(n));
    list->texts[i][n] = '\0';
    list->lengths[i] = n;
  }
}

// Turns a host string list into atoms.  An empty name names no target: the
// whole entry is refused and the site keeps its atoms.
wu_status CopyAtoms(Display *d, const wu_value &e, Atom **atoms, int32_t *count) {
  const auto *items = static_cast<const wu_dnd_text *>(e.pointer);
  for (int32_t i = 0; i < e.value; ++i)
    if (ItemLength(items[i]) == 0) return WU_E_RANGE;
  XtFree(reinterpret_cast<char *>(*atoms));
  *atoms = nullptr;
  *count = 0;
  if (e.value == 0) return WU_OK;
  *atoms = reinterpret_cast<Atom *>(XtMalloc(Cardinal(sizeof(Atom) * size_t(e.value))));
  for (int32_t i = 0; i < e.value; ++i) {
    char *name = XtMalloc(Cardinal(ItemLength(items[i]) + 1));
    std::memcpy(name, items[i].text, size_t(ItemLength(items[i])));
    name[ItemLength(items[i])] = '\0';
    (*atoms)[i] = XmInternAtom(d, name, False);
    XtFree(name);
  }
  *count = e.value;
  return WU_OK;
}

// Size of a handed-out list block: the items and each text with its NUL.
int32_t BlockSize(int32_t count, const int32_t *lengths) {
  int64_t size = int64_t(count) * int64_t(sizeof(wu_dnd_text));
  for (int32_t i = 0; i < count; ++i) size += lengths[i] + 1;
  return size > INT32_MAX ? -1 : int32_t(size);
}

// A handed-out list block is preceded by a header that keeps its size, so
// that wuxfdnd gives back exactly what was taken without reading what the
// host may have changed.
struct ListHeader {
  int32_t size;          // size of the whole block, header included
  int32_t reserved[3];   // keeps the items pointer-aligned
};

// Hands out `count` texts as one pool block in the entry.
wu_status HandOut(wu_value *e, int32_t count, const char *const *texts, const int32_t *lengths) {
  e->type = WU_VT_STRLIST;
  e->value = count;
  e->pointer = nullptr;
  if (count == 0) return WU_OK;
  int32_t size = BlockSize(count, lengths);
  if (size > 0 && size <= INT32_MAX - int32_t(sizeof(ListHeader))) size += int32_t(sizeof(ListHeader));
  else size = -1;
  qev_pool *pool = wu_module_pool();
  auto *header = static_cast<ListHeader *>(size > 0 && pool ? vmalloc_handler(pool, size, 0) : nullptr);
  void *block = header ? static_cast<void *>(header + 1) : nullptr;
  if (block && wu_reg_add(block, WU_REG_DNDLIST) != WU_OK) {
    vmfree_handler(pool, header, size, 0);
    block = nullptr;
  }
  if (!block) {
    e->value = 0;
    return WU_NOMEM;
  }
  header->size = size;
  auto *items = static_cast<wu_dnd_text *>(block);
  char *text = static_cast<char *>(block) + sizeof(wu_dnd_text) * size_t(count);
  for (int32_t i = 0; i < count; ++i) {
    items[i].length = lengths[i];
    items[i].reserved = 0;
    items[i].text = text;
    std::memcpy(text, texts[i], size_t(lengths[i]));
    text[lengths[i]] = '\0';
    text += lengths[i] + 1;
  }
  e->pointer = block;
  return WU_ALLOCATED;
}

// Hands out the names of atoms.
wu_status HandOutAtoms(Display *d, wu_value *e, const Atom *atoms, int32_t count) {
  char **names = reinterpret_cast<char **>(XtCalloc(Cardinal(count ? count : 1), sizeof(char *)));
  int32_t *lengths =
      reinterpret_cast<int32_t *>(XtCalloc(Cardinal(count ? count : 1), sizeof(int32_t)));
  for (int32_t i = 0; i < count; ++i) {
    names[i] = XmGetAtomName(d, atoms[i]);
    if (!names[i]) names[i] = XtNewString("");
    lengths[i] = int32_t(std::strlen(names[i]));
  }
  wu_status st = HandOut(e, count, names, lengths);
  for (int32_t i = 0; i < count; ++i) XtFree(names[i]);
  XtFree(reinterpret_cast<char *>(names));
  XtFree(reinterpret_cast<char *>(lengths));
  return st;
}

wu_status SetOne(wu_dnd_site *s, wu_value &e) {
  Display *d = XtDisplay(s->widget);
  switch (e.code) {
    case WU_DND_A_FORMATS: {
      wu_status st = CheckList(e);
      return st != WU_OK ? st : CopyAtoms(d, e, &s->formats, &s->format_count);
    }
    case WU_DND_A_TYPES: {
      wu_status st = CheckList(e);
      return st != WU_OK ? st : CopyAtoms(d, e, &s->types, &s->type_count);
    }
    case WU_DND_A_ITEMS:
    case WU_DND_A_MENU: {
      wu_status st = CheckList(e);
      if (st == WU_OK) CopyList(e, e.code == WU_DND_A_ITEMS ? &s->items : &s->menu);
      return st;
    }
    case WU_DND_A_OWNER:
      if (e.type != WU_VT_WORD) return WU_E_RANGE;
      s->owner = e.pointer;
      return WU_OK;
    case WU_DND_A_KIND:
      if (e.type != WU_VT_INT) return WU_E_RANGE;
      s->kind = e.value;
      return WU_OK;
    default:
      return WU_E_NOT_HANDLED;
  }
}

wu_status QueryOne(wu_dnd_site *s, wu_value &e) {
  Display *d = XtDisplay(s->widget);
  switch (e.code) {
    case WU_DND_A_FORMATS:
      return HandOutAtoms(d, &e, s->formats, s->format_count);
    case WU_DND_A_TYPES:
      return HandOutAtoms(d, &e, s->types, s->type_count);
    case WU_DND_A_ITEMS:
      return HandOut(&e, s->items.count, s->items.texts, s->items.lengths);
    case WU_DND_A_MENU:
      return HandOut(&e, s->menu.count, s->menu.texts, s->menu.lengths);
    case WU_DND_A_OWNER:
      e.type = WU_VT_WORD;
      e.pointer = s->owner;
      return WU_OK;
    case WU_DND_A_KIND:
      e.type = WU_VT_INT;
      e.value = s->kind;
      return WU_OK;
    default:
      return WU_E_NOT_HANDLED;
  }
}

using EntryFn = wu_status (*)(wu_dnd_site *, wu_value &);

// Runs one function over the entries, each entry keeping its own status;
// the call answers WU_ENTRY_STATUS when some entry failed.
wu_status EachEntry(wu_dnd_site *s, wu_value *entries, int32_t count, EntryFn fn) {
  // The site is looked up before it is read: a released site is refused.
  if (!wu_reg_has(s, WU_REG_DNDSITE) || !s->widget) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && !entries)) return WU_BADARG;
  if (!wu_x_ok()) return WU_NOTAVAIL;
  bool failed = false;
  for (int32_t i = 0; i < count; ++i) {
    entries[i].status = fn(s, entries[i]);
    failed = failed || Failed(entries[i].status);
  }
  return failed ? WU_ENTRY_STATUS : WU_OK;
}

}  // namespace

extern "C" {

wu_status wuxsdnd(wu_dnd_site *s, wu_value *entries, int32_t count) {
  wu_status st = EachEntry(s, entries, count, SetOne);
  if (st != WU_OK && st != WU_ENTRY_STATUS) return st;
  // The registration follows the new formats.
  if (s && s->registered && s->widget && wu_x_ok() && !wu_dnd_register(s)) return WU_NOTAVAIL;
  return st;
}

wu_status wuxqdnd(wu_dnd_site *s, wu_value *entries, int32_t count) {
  return EachEntry(s, entries, count, QueryOne);
}

// Gives back the lists that wuxqdnd handed out in these entries.  Entries
// that carry no handed-out list are left alone, so freeing twice or freeing
// entries the host filled itself does no harm.  No flag bits are defined.
wu_status wuxfdnd(wu_value *items, int32_t count, uint32_t) {
  qev_pool *pool = wu_module_pool();
  if (!pool) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && !items)) return WU_BADARG;
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value &e = items[i];
    // Only blocks this module handed out and has not taken back are freed,
    // by the size kept with them.
    if (e.status != WU_ALLOCATED || !wu_reg_has(e.pointer, WU_REG_DNDLIST)) continue;
    wu_reg_remove(e.pointer);
    ListHeader *header = static_cast<ListHeader *>(e.pointer) - 1;
    wu_status st = vmfree_handler(pool, header, header->size, 0);
    if (st != WU_OK) {
      result = st;
      continue;
    }
    e.pointer = nullptr;
    e.value = 0;
    e.status = WU_OK;
  }
  return result;
}

wu_status wutfdnd(wu_ctl_handle *, void *items, void *count, void *flags) {
  return wuxfdnd(static_cast<wu_value *>(items), int32_t(reinterpret_cast<intptr_t>(count)),
                 uint32_t(reinterpret_cast<uintptr_t>(flags)));
}

wu_status wuwsdnd(Widget w, int32_t, const wu_drag_desc *desc, int32_t *started) {
  if (started) *started = 0;
  if (!w || !desc) return WU_BADARG;
  if (!wu_x_ok() || !XtIsRealized(w)) return WU_NOTAVAIL;
  // Motif starts a drag from a button press: make the press that the
  // description stands for.
  Display *d = XtDisplay(w);
  XEvent event;
  std::memset(&event, 0, sizeof event);
  XButtonEvent &b = event.xbutton;
  b.type = ButtonPress;
  b.display = d;
  b.window = XtWindow(w);
  b.root = RootWindowOfScreen(XtScreen(w));
  b.time = XtLastTimestampProcessed(d);
  b.x = desc->x;
  b.y = desc->y;
  b.x_root = desc->root_x;
  b.y_root = desc->root_y;
  b.button = Button2;
  b.same_screen = True;
  if (!wu_dnd_start(w, &event)) return WU_NOTAVAIL;
  if (started) *started = 1;
  return WU_OK;
}

}  // extern "C"
