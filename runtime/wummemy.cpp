// Pool calls and the typed record allocator.
//
// A record kind fixes the size of the record; a record is always released
// under the kind it was allocated with or under one of the same size (some
// control records are re-tagged after allocation, see kSameSize below).
#include <string.h>

#include "qev/flags.h"
#include "runtime/wuruntime.h"

// Setters and queries of the older control kinds, filled into a new
// record's kind slots.  They live with the controls; until those are linked
// in, the slots stay empty.
extern "C" {
wu_status wumswpb(wu_control *, wu_value *, int32_t) __attribute__((weak));
wu_status wumswrb(wu_control *, wu_value *, int32_t) __attribute__((weak));
wu_status wumswlb(wu_control *, wu_value *, int32_t) __attribute__((weak));
wu_status wumswsb(wu_control *, wu_value *, int32_t) __attribute__((weak));
wu_status wumswic(wu_control *, wu_value *, int32_t) __attribute__((weak));
wu_status wumqwic(wu_control *, wu_value *, int32_t) __attribute__((weak));
}

namespace {

enum class Setter { None, PushButton, Toggle, ListBox, Bar, Icon };

struct KindInfo {
  int32_t kind;
  size_t size;
  Setter setter;
};

constexpr KindInfo kKinds[] = {
    {WU_MT_PANE_VBAR, WU_CTL_BAR_SIZE, Setter::None},
    {WU_MT_PANE_HBAR, WU_CTL_BAR_SIZE, Setter::None},
    {WU_MT_OLD_RADIOBOX, WU_CTL_BOX_SIZE, Setter::Toggle},
    {WU_MT_RADIOBUTTON, WU_CTL_TOGGLE_SIZE, Setter::Toggle},
    {WU_MT_OLD_PUSHBUTTON, WU_CTL_BUTTON_SIZE, Setter::PushButton},
    {WU_MT_OLD_CHECKBOX, WU_CTL_TOGGLE_SIZE, Setter::Toggle},
    {WU_MT_OLD_LISTBOX, WU_CTL_LARGE_SIZE, Setter::ListBox},
    {WU_MT_POPUP_MENU, sizeof(wu_popup_menu), Setter::None},
    {WU_MT_BAR, WU_CTL_BAR_SIZE, Setter::Bar},
    {WU_MT_BAR2, WU_CTL_BAR_SIZE, Setter::Bar},
    {WU_MT_ICONBUTTON, WU_CTL_ICON_SIZE, Setter::Icon},
    {WU_MT_SCALE, WU_CTL_BAR_SIZE, Setter::Bar},
    {WU_MT_SCALE2, WU_CTL_BAR_SIZE, Setter::Bar},
    {WU_MT_FIELD_TOGGLE, WU_CTL_TOGGLE_SIZE, Setter::Toggle},
    {WU_MT_FIELD_BUTTON, WU_CTL_TOGGLE_SIZE, Setter::PushButton},
    {WU_MT_GRAPHBUTTON, WU_CTL_GRAPH_SIZE, Setter::Icon},
    {WU_MT_COMBOBOX, WU_CTL_LARGE_SIZE, Setter::None},
    {WU_MT_LABEL, WU_CTL_LARGE_SIZE, Setter::None},
    {WU_MT_ENTRY, WU_CTL_LARGE_SIZE, Setter::None},
    {WU_MT_MLENTRY, WU_CTL_LARGE_SIZE, Setter::None},
    {WU_MT_LISTVIEW, WU_CTL_LARGE_SIZE, Setter::None},
    {WU_MT_SPINBOX, WU_CTL_LARGE_SIZE, Setter::None},
    {WU_MT_TREEVIEW, WU_CTL_LARGE_SIZE, Setter::None},
    {WU_MT_PUSHBUTTON, WU_CTL_BUTTON_SIZE, Setter::None},
    {WU_MT_SCROLLBAR2, WU_CTL_BAR_SIZE, Setter::None},
    {WU_MT_SCROLLBAR, WU_CTL_BAR_SIZE, Setter::None},
    {WU_MT_CHECKBOX, WU_CTL_TOGGLE_SIZE, Setter::None},
    {WU_MT_RADIOBOX, WU_CTL_BOX_SIZE, Setter::None},
    {WU_MT_DESKTOPICON, WU_CTL_BUTTON_SIZE, Setter::None},
    {WU_MT_LISTBOX, WU_CTL_LARGE_SIZE, Setter::None},
    {WU_MT_PROGRESSBAR, WU_CTL_PROGRESS_SIZE, Setter::None},
};

constexpr const KindInfo *find_kind(int32_t kind) {
  for (const KindInfo &k : kKinds)
    if (k.kind == kind) return &k;
  return nullptr;
}

constexpr size_t kind_size(int32_t kind) {
  return find_kind(kind) != nullptr ? find_kind(kind)->size : 0;
}

// Pairs (allocated as, re-tagged to): the record is released under the
// second kind, so both must have one size.
constexpr int32_t kSameSize[][2] = {
    {WU_MT_BAR, WU_MT_SCROLLBAR},            // scroll bar control
    {WU_MT_OLD_LISTBOX, WU_MT_COMBOBOX},     // combo box
    {WU_MT_OLD_RADIOBOX, WU_MT_RADIOBOX},    // radio box
    {WU_MT_OLD_PUSHBUTTON, WU_MT_PUSHBUTTON},  // push button
    {WU_MT_PUSHBUTTON, WU_MT_DESKTOPICON},   // desktop icon (made as a push button)
    {WU_MT_OLD_CHECKBOX, WU_MT_CHECKBOX},    // check box
};

constexpr bool retagged_kinds_match() {
  for (const auto &pair : kSameSize)
    if (kind_size(pair[0]) == 0 || kind_size(pair[0]) != kind_size(pair[1])) return false;
  return true;
}
static_assert(retagged_kinds_match(), "re-tagged record kinds must have one size");

bool is_control_kind(int32_t kind) { return kind != WU_MT_POPUP_MENU; }

void fill_kind_slots(wu_control *control, Setter setter) {
  switch (setter) {
    case Setter::PushButton: control->Swat = wumswpb; break;
    case Setter::Toggle: control->Swat = wumswrb; break;
    case Setter::ListBox: control->Swat = wumswlb; break;
    case Setter::Bar: control->Swat = wumswsb; break;
    case Setter::Icon:
      control->Swat = wumswic;
      control->Qwat = wumqwic;
      break;
    case Setter::None: break;
  }
}

}  // namespace

extern "C" {

void *vmalloc_handler(qev_pool *pool, int32_t size, int32_t flags) {
  if (pool == nullptr || pool->alloc == nullptr || size <= 0) return nullptr;
  void *block = pool->alloc(pool, size, flags);
  if (block != nullptr && (static_cast<uint32_t>(flags) & WU_MEM_CLEAR) != 0)
    memset(block, 0, static_cast<size_t>(size));
  return block;
}

void *vmalcp_handler(qev_pool *pool, int32_t size, int32_t flags) {
  return vmalloc_handler(pool, size, static_cast<int32_t>(static_cast<uint32_t>(flags) | WU_MEM_CLEAR));
}

wu_status vmfree_handler(qev_pool *pool, void *block, int32_t size, int32_t flags) {
  if (block == nullptr) return WU_OK;
  if (pool == nullptr || pool->free == nullptr) return WU_NOTAVAIL;
  return pool->free(pool, block, size, flags);
}

int32_t wutmsiz(int32_t kind) { return static_cast<int32_t>(kind_size(kind)); }

void *wutgmem(qev_pool *pool, int32_t kind) {
  const KindInfo *info = find_kind(kind);
  if (info == nullptr) return nullptr;
  void *record = vmalcp_handler(pool, static_cast<int32_t>(info->size), 0);
  if (record == nullptr) return nullptr;
  if (is_control_kind(kind)) {
    wu_control *control = static_cast<wu_control *>(record);
    control->kind = kind;
    fill_kind_slots(control, info->setter);
  } else {
    static_cast<wu_popup_menu *>(record)->kind = kind;
  }
  return record;
}

wu_status wutfmem(qev_pool *pool, void *record, int32_t kind) {
  const KindInfo *info = find_kind(kind);
  if (info == nullptr) return WU_NOTAVAIL;
  return vmfree_handler(pool, record, static_cast<int32_t>(info->size), 0);
}

}  // extern "C"
