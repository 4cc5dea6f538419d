// Older list boxes: a titled, scrolled list at a cell rectangle of a pane.
// The module keeps the items and their selection itself (wu_item_store), so
// that the host can fill and query a box before its widgets exist; the list
// widget mirrors that copy.
#include <X11/IntrinsicP.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/ScrolledW.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

constexpr int32_t kToPaneEdge = 9999;   // rows or columns reaching the pane's edge
constexpr int32_t kMaxCells = 4096;
constexpr int32_t kMaxItemText = 1 << 20;
constexpr int32_t kMaxItems = 1 << 20;     // items a host list may give at once

// Operations of the change service.
constexpr int32_t kInsert = 1;
constexpr int32_t kDelete = 2;
constexpr int32_t kSelect = 3;
constexpr int32_t kDeselect = 4;
constexpr int32_t kMakeTop = 5;
constexpr int32_t kTitle = 6;
// Queries.
constexpr int32_t kQuerySelected = 1;
constexpr int32_t kQueryTop = 2;
constexpr int32_t kQueryCount = 3;

// Setter codes of the older kinds.
constexpr int16_t kRow = 33;
constexpr int16_t kColumn = 34;
constexpr int16_t kRows = 35;
constexpr int16_t kColumns = 36;
constexpr int16_t kColourIndex = 41;
constexpr int16_t kTitleCode = 43;

typedef struct ListBox {
  wu_control c;
  wu_ctl_widgets w;          // main: the list; outer: its form
  wu_item_store store;       // same place as in the combo box's record
  char *title;               // NUL-terminated, in the window pool
  int32_t title_size;
  uint32_t title_flag;       // 1 when there is a title
  uint32_t flags;            // creation flags, WU_LBX_...
  int32_t visible_rows;
  Widget title_label;
  Widget scrolled;
  int32_t *answer;           // answer of the last selected-positions query
} ListBox;
static_assert(sizeof(ListBox) <= WU_CTL_LARGE_SIZE, "list box fits its record kind");
static_assert(offsetof(ListBox, store) == sizeof(wu_control) + sizeof(wu_ctl_widgets),
              "the item store follows the two widgets");

ListBox *lbx(wu_control *c) { return reinterpret_cast<ListBox *>(c); }

int32_t cw() { return (devb && devb->cell_width > 0) ? devb->cell_width : 1; }
int32_t ch() { return (devb && devb->cell_height > 0) ? devb->cell_height : 1; }

bool store_kind(const wu_control *c) {
  return c != nullptr && (c->kind == WU_MT_OLD_LISTBOX || c->kind == WU_MT_COMBOBOX);
}

qev_pool *pool_of(wu_control *c) {
  wu_window *w = wu_ctl_window(c);
  return w != nullptr ? w->pool : nullptr;
}

// ---- the item store ------------------------------------------------------------

// Grows both tables to hold `need` items (reallocated in the window pool).
bool reserve(wu_control *c, wu_item_store *s, int32_t need) {
  if (need <= s->capacity) return true;
  qev_pool *pool = pool_of(c);
  const int64_t bytes = int64_t(need) * int64_t(sizeof(XmString));
  if (pool == nullptr || bytes > std::numeric_limits<int32_t>::max()) return false;
  auto *items = static_cast<XmString *>(vmalcp_handler(pool, int32_t(bytes), 0));
  auto *sel = static_cast<uint8_t *>(vmalcp_handler(pool, need, 0));
  if (items == nullptr || sel == nullptr) {
    vmfree_handler(pool, items, int32_t(bytes), 0);
    vmfree_handler(pool, sel, need, 0);
    return false;
  }
  if (s->count > 0) {
    std::memcpy(items, s->items, size_t(s->count) * sizeof(XmString));
    std::memcpy(sel, s->selection, size_t(s->count));
  }
  vmfree_handler(pool, s->items, s->capacity * int32_t(sizeof(XmString)), 0);
  vmfree_handler(pool, s->selection, s->capacity, 0);
  s->items = items;
  s->selection = sel;
  s->capacity = need;
  return true;
}

void free_store(wu_control *c, wu_item_store *s) {
  for (int32_t i = 0; i < s->count; ++i) XmStringFree(s->items[i]);
  qev_pool *pool = pool_of(c);
  if (pool != nullptr) {
    vmfree_handler(pool, s->items, s->capacity * int32_t(sizeof(XmString)), 0);
    vmfree_handler(pool, s->selection, s->capacity, 0);
  }
  *s = wu_item_store{};
}

// The host's items: the count is bounded before any item is read, so that
// a count larger than the list handed over is refused, not walked.
bool items_ok(const wu_str_item *items, int32_t count) {
  if (count < 1 || count > kMaxItems || items == nullptr) return false;
  for (int32_t i = 0; i < count; ++i)
    if (items[i].length < 0 || items[i].length > kMaxItemText ||
        (items[i].length > 0 && items[i].text == nullptr))
      return false;
  return true;
}

// An item's compound string: an empty text shows as one blank.
XmString item_string(const wu_str_item &item) {
  const std::string text = item.length > 0 ? std::string(item.text, size_t(item.length)) : " ";
  return wumcstr(text.c_str());
}

// ---- mirroring into the list widget ----------------------------------------------

Widget list_of(wu_control *c) { return c->kind == WU_MT_OLD_LISTBOX ? lbx(c)->w.main : nullptr; }

// The list shows the store's items, selection and top position; its size
// stays what it was.
void mirror(wu_control *c) {
  Widget list = list_of(c);
  if (list == nullptr) return;
  wu_item_store *s = wu_lbx_store(c);
  Dimension width = 0, height = 0;
  XtVaGetValues(list, XmNwidth, &width, XmNheight, &height, nullptr);
  XtVaSetValues(list, XmNitems, s->count > 0 ? s->items : nullptr, XmNitemCount, s->count, nullptr);
  unsigned char policy = XmSINGLE_SELECT;
  XtVaGetValues(list, XmNselectionPolicy, &policy, nullptr);
  XtVaSetValues(list, XmNselectionPolicy, XmMULTIPLE_SELECT, nullptr);
  XmListDeselectAllItems(list);
  for (int32_t i = 0; i < s->count; ++i)
    if (s->selection[i]) XmListSelectPos(list, i + 1, False);
  XtVaSetValues(list, XmNselectionPolicy, policy, nullptr);
  if (s->top >= 1 && s->top <= s->count) XmListSetPos(list, s->top);
  XtVaSetValues(list, XmNwidth, width, XmNheight, height, nullptr);
}

// ---- the operations -------------------------------------------------------------

wu_status insert(wu_control *c, const wu_str_item *items, int32_t position, int32_t count) {
  wu_item_store *s = wu_lbx_store(c);
  if (!items_ok(items, count)) return WU_NOTAVAIL;
  if (position == -1) position = s->count + 1;
  if (position < 1 || position > s->count + 1) return WU_NOTAVAIL;
  if (int64_t(s->count) + count > std::numeric_limits<int32_t>::max() / int32_t(sizeof(XmString)))
    return WU_NOMEM;
  if (!reserve(c, s, s->count + count)) return WU_NOMEM;
  const int32_t at = position - 1;
  std::memmove(s->items + at + count, s->items + at, size_t(s->count - at) * sizeof(XmString));
  std::memmove(s->selection + at + count, s->selection + at, size_t(s->count - at));
  for (int32_t i = 0; i < count; ++i) {
    s->items[at + i] = item_string(items[i]);
    s->selection[at + i] = 0;
  }
  s->count += count;
  if (s->top == 0) s->top = 1;
  mirror(c);
  return WU_OK;
}

wu_status remove_items(wu_control *c, int32_t position, int32_t count) {
  wu_item_store *s = wu_lbx_store(c);
  if (count < 1 || position < 1 || int64_t(position) + count - 1 > s->count) return WU_NOTAVAIL;
  const int32_t at = position - 1;
  for (int32_t i = at; i < at + count; ++i) {
    XmStringFree(s->items[i]);
    if (s->selection[i]) --s->selected;
  }
  std::memmove(s->items + at, s->items + at + count, size_t(s->count - at - count) * sizeof(XmString));
  std::memmove(s->selection + at, s->selection + at + count, size_t(s->count - at - count));
  s->count -= count;
  if (s->count == 0) {
    s->top = 0;
    s->selected = 0;
  } else {
    s->top = std::min(std::max(s->top, 1), s->count);
  }
  mirror(c);
  return WU_OK;
}

wu_status select_items(wu_control *c, int32_t position, int32_t count, bool on) {
  wu_item_store *s = wu_lbx_store(c);
  if (count < 1 || position < 1 || position > s->count) return WU_NOTAVAIL;
  const int32_t end = int32_t(std::min<int64_t>(int64_t(position) + count - 1, s->count));
  const uint32_t flags = c->kind == WU_MT_OLD_LISTBOX ? lbx(c)->flags : 0;
  if (on && !(flags & (WU_LBX_MULTIPLE | WU_LBX_EXTENDED))) {
    std::memset(s->selection, 0, size_t(s->count));
    s->selected = 0;
  }
  for (int32_t i = position - 1; i < end; ++i) {
    if (s->selection[i] == (on ? 1 : 0)) continue;
    s->selection[i] = on ? 1 : 0;
    s->selected += on ? 1 : -1;
  }
  mirror(c);
  return WU_OK;
}

wu_status make_top(wu_control *c, int32_t position) {
  wu_item_store *s = wu_lbx_store(c);
  if (position < 1 || position > s->count) return WU_NOTAVAIL;
  s->top = position;
  mirror(c);
  return WU_OK;
}

// Replaces the title (a NUL-terminated copy in the window pool).
bool set_title_text(ListBox *b, const char *text, int32_t length) {
  qev_pool *pool = pool_of(&b->c);
  if (pool == nullptr) return false;
  char *copy = nullptr;
  if (length > 0) {
    copy = static_cast<char *>(vmalcp_handler(pool, length + 1, 0));
    if (copy == nullptr) return false;
    std::memcpy(copy, text, size_t(length));
  }
  vmfree_handler(pool, b->title, b->title_size, 0);
  b->title = copy;
  b->title_size = copy != nullptr ? length + 1 : 0;
  b->title_flag = copy != nullptr ? 1 : 0;
  if (b->title_label != nullptr) {
    XmString s = wumcstr(b->title != nullptr ? b->title : "");
    XtVaSetValues(b->title_label, XmNlabelString, s, nullptr);
    XmStringFree(s);
  }
  return true;
}

// The first item whose compound string equals a text (1-based), 0 if none.
int32_t find_item(wu_control *c, const wu_str_item &item) {
  wu_item_store *s = wu_lbx_store(c);
  XmString key = item_string(item);
  int32_t found = 0;
  for (int32_t i = 0; i < s->count && found == 0; ++i)
    if (XmStringCompare(s->items[i], key)) found = i + 1;
  XmStringFree(key);
  return found;
}

// ---- callbacks --------------------------------------------------------------

void wuwlbxc(Widget w, XtPointer client, XtPointer call) {
  auto *c = static_cast<wu_control *>(client);
  if (!wu_ctl_live(c) || c->kind != WU_MT_OLD_LISTBOX) return;
  ListBox *b = lbx(c);
  wu_item_store *s = &b->store;
  int *positions = nullptr;
  int n = 0;
  std::memset(s->selection, 0, size_t(s->count));
  s->selected = 0;
  if (XmListGetSelectedPos(w, &positions, &n)) {
    for (int i = 0; i < n; ++i)
      if (positions[i] >= 1 && positions[i] <= s->count && !s->selection[positions[i] - 1]) {
        s->selection[positions[i] - 1] = 1;
        ++s->selected;
      }
    XtFree(reinterpret_cast<char *>(positions));
  }
  wu_window *win = wu_ctl_window(c);
  if (win == nullptr) return;
  if (b->flags & WU_LBX_REPORT) {
    win->current_control = c;
    auto *cbs = static_cast<XmListCallbackStruct *>(call);
    const bool dflt = cbs != nullptr && cbs->reason == XmCR_DEFAULT_ACTION &&
                      (win->host_flags & WU_WHOST_DEFAULT_ACTIONS);
    wu_old_pressed_event(c, dflt ? WU_EV_OLD_DEFAULT : WU_EV_OLD_PRESSED, false);
  }
  if (win->input != nullptr && wuwFocusToQevinput != nullptr) wuwFocusToQevinput(win);
}

wu_status LbxClean(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || (entries != nullptr && count > 0) || wu_ctl_live(c)) return WU_OK;
  ListBox *b = lbx(c);
  free_store(c, &b->store);
  // The title's label goes with the control's widgets: only the copy goes.
  b->title_label = nullptr;
  set_title_text(b, nullptr, 0);
  XtFree(reinterpret_cast<char *>(b->answer));
  b->answer = nullptr;
  return WU_OK;
}

bool cells_ok(int32_t v) { return v >= 1 && v <= kMaxCells; }

Widget make_widgets(ListBox *b, Widget parent) {
  wu_control *c = &b->c;
  const wu_pane *p = c->pane;
  const int32_t x = (c->x - std::max(p->left_column, 1)) * cw();
  const int32_t y = (c->y - std::max(p->top_row, 1)) * ch();
  Arg args[24];
  Cardinal n = 0;
  XtSetArg(args[n], XmNx, Position(x)); ++n;
  XtSetArg(args[n], XmNy, Position(y)); ++n;
  XtSetArg(args[n], XmNwidth, Dimension(std::max(c->width * cw(), 1))); ++n;
  XtSetArg(args[n], XmNheight, Dimension(std::max(c->height * ch(), 1))); ++n;
  XtSetArg(args[n], XmNresizePolicy, XmRESIZE_NONE); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNmappedWhenManaged, False); ++n;
  n = Cardinal(wuwswvs(c, nullptr, args, int32_t(n)));
  Widget form = XtCreateWidget("qevListWindow", xmFormWidgetClass, parent, args, n);
  if (form == nullptr) return nullptr;
  b->w.outer = form;
  if (b->title != nullptr) {
    XmString s = wumcstr(b->title);
    n = 0;
    XtSetArg(args[n], XmNlabelString, s); ++n;
    XtSetArg(args[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
    XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
    XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
    XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
    if (devb->font_list != nullptr) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
    n = Cardinal(wuwswvs(c, nullptr, args, int32_t(n)));
    b->title_label = XtCreateManagedWidget("qevListTitle", xmLabelWidgetClass, form, args, n);
    XmStringFree(s);
  }
  const bool no_v = (b->flags & WU_LBX_NO_VBAR) != 0, no_h = (b->flags & WU_LBX_NO_HBAR) != 0;
  n = 0;
  XtSetArg(args[n], XmNscrollingPolicy, XmAPPLICATION_DEFINED); ++n;
  XtSetArg(args[n], XmNvisualPolicy, XmVARIABLE); ++n;
  XtSetArg(args[n], XmNscrollBarDisplayPolicy, (no_v && no_h) ? int(XmAS_NEEDED) : int(XmSTATIC)); ++n;
  if (b->title_label != nullptr) {
    XtSetArg(args[n], XmNtopAttachment, XmATTACH_WIDGET); ++n;
    XtSetArg(args[n], XmNtopWidget, b->title_label); ++n;
  } else {
    XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  }
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  n = Cardinal(wuwswvs(c, nullptr, args, int32_t(n)));
  b->scrolled = XtCreateManagedWidget("qevListScroll", xmScrolledWindowWidgetClass, form, args, n);
  unsigned char policy = XmSINGLE_SELECT;
  if (b->flags & WU_LBX_MULTIPLE) policy = XmMULTIPLE_SELECT;
  else if (b->flags & WU_LBX_EXTENDED) policy = XmEXTENDED_SELECT;
  n = 0;
  if (devb->font_list != nullptr) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
  if (b->visible_rows > 0) { XtSetArg(args[n], XmNvisibleItemCount, b->visible_rows); ++n; }
  XtSetArg(args[n], XmNselectionPolicy, policy); ++n;
  XtSetArg(args[n], XmNlistSizePolicy, (no_h && !no_v) ? int(XmVARIABLE) : int(XmCONSTANT)); ++n;
  XtSetArg(args[n], XmNscrollBarDisplayPolicy, (no_v && no_h) ? int(XmAS_NEEDED) : int(XmSTATIC)); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  n = Cardinal(wuwswvs(c, nullptr, args, int32_t(n)));
  Widget list = XtCreateWidget("qevListBox", xmListWidgetClass, b->scrolled, args, n);
  if (list == nullptr) return nullptr;
  b->w.main = list;
  for (const char *cb : {XmNbrowseSelectionCallback, XmNsingleSelectionCallback,
                         XmNmultipleSelectionCallback, XmNextendedSelectionCallback,
                         XmNdefaultActionCallback})
    XtAddCallback(list, cb, wuwlbxc, c);
  wu_old_translations(list);
  XtManageChild(list);
  if (no_v && !no_h) {
    Widget vsb = nullptr;
    XtVaGetValues(b->scrolled, XmNverticalScrollBar, &vsb, nullptr);
    if (vsb != nullptr) XtUnmanageChild(vsb);
  }
  XtManageChild(form);
  return list;
}

}  // namespace

extern "C" {

int32_t wu_lbx_selected(wu_control *c) {
  return wu_ctl_live(c) && store_kind(c) ? wu_lbx_store(c)->selected : 0;
}

wu_status wuxglbx(wu_pane *pane, wu_control **out, const char *title, int32_t row,
                  int32_t column, int32_t rows, int32_t columns, int32_t colour,
                  int32_t visible_rows, uint32_t flags, int32_t id, const wu_str_item *items,
                  int32_t count) {
  if (out == nullptr || !wu_pane_live(pane)) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && !items_ok(items, count))) return WU_NOTAVAIL;
  // A pane as wide as its window counts as the widest a box can be; the
  // pane widget clips what lies past the window's edge.
  if (rows == kToPaneEdge) rows = std::min(pane->rows, kMaxCells) - row + 1;
  if (columns == kToPaneEdge) columns = std::min(pane->columns, kMaxCells) - column + 1;
  if (!cells_ok(row) || !cells_ok(column) || !cells_ok(rows) || !cells_ok(columns) ||
      visible_rows < 0 || visible_rows > kMaxCells)
    return WU_NOTAVAIL;
  auto *b = static_cast<ListBox *>(wutgmem(pane->window->pool, WU_MT_OLD_LISTBOX));
  if (b == nullptr) return WU_NOMEM;
  wu_control *c = &b->c;
  c->kind = WU_MT_OLD_LISTBOX;
  c->pane = pane;
  c->y = row;
  c->x = column;
  c->height = rows;
  c->width = columns;
  c->colour_index = colour;
  c->host_id.value = id;
  c->Cleanup = LbxClean;
  b->flags = flags;
  b->visible_rows = visible_rows;
  wu_ctl_link(c);
  const size_t tlen = title != nullptr ? strnlen(title, size_t(kMaxItemText)) : 0;
  if ((tlen > 0 && !set_title_text(b, title, int32_t(tlen))) ||
      (count > 0 && insert(c, items, 1, count) != WU_OK)) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  if ((pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr &&
      wutiwid(c) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

wu_status wutilbx(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_OLD_LISTBOX || !wu_x_ok() || c->pane == nullptr ||
      c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  ListBox *b = lbx(c);
  if (make_widgets(b, static_cast<Widget>(c->pane->ext->widget)) == nullptr) return WU_NOTAVAIL;
  mirror(c);
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  return WU_OK;
}

wu_status wuxclbx(wu_control *c, int32_t operation, const wu_str_item *items, int32_t position,
                  int32_t count) {
  if (!wu_ctl_live(c) || !store_kind(c)) return WU_NOTAVAIL;
  switch (operation) {
    case kInsert:
      return insert(c, items, position, count);
    case kTitle: {
      if (c->kind != WU_MT_OLD_LISTBOX) return WU_NOTAVAIL;
      if (items == nullptr || count < 1 || !items_ok(items, 1)) return WU_NOTAVAIL;
      return set_title_text(lbx(c), items[0].text, items[0].length) ? WU_OK : WU_NOMEM;
    }
    case kDelete: case kSelect: case kDeselect: case kMakeTop:
      break;
    default:
      return WU_NOTAVAIL;
  }
  auto apply = [&](int32_t pos, int32_t n) {
    switch (operation) {
      case kDelete: return remove_items(c, pos, n);
      case kSelect: return select_items(c, pos, n, true);
      case kDeselect: return select_items(c, pos, n, false);
      default: return make_top(c, pos);
    }
  };
  if (items == nullptr) return apply(position, count);
  // Texts instead of a position: each found text with a count of one.
  if (!items_ok(items, count)) return WU_NOTAVAIL;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t pos = find_item(c, items[i]);
    if (pos > 0) apply(pos, 1);
  }
  return WU_OK;
}

wu_status wuxqlbx(wu_control *c, int32_t query, void *answer) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_OLD_LISTBOX || answer == nullptr) return WU_NOTAVAIL;
  ListBox *b = lbx(c);
  wu_item_store *s = &b->store;
  switch (query) {
    case kQuerySelected: {
      if (s->selected <= 0) return WU_NOTAVAIL;
      // {count, positions...}, kept until the next such query or release.
      XtFree(reinterpret_cast<char *>(b->answer));
      b->answer = reinterpret_cast<int32_t *>(XtCalloc(Cardinal(s->selected + 1), sizeof(int32_t)));
      int32_t n = 0;
      for (int32_t i = 0; i < s->count && n < s->selected; ++i)
        if (s->selection[i]) b->answer[1 + n++] = i + 1;
      b->answer[0] = n;
      *static_cast<int32_t **>(answer) = b->answer;
      return WU_OK;
    }
    case kQueryTop:
      if (b->w.main != nullptr) XtVaGetValues(b->w.main, XmNtopItemPosition, &s->top, nullptr);
      *static_cast<int32_t *>(answer) = s->top;
      return WU_OK;
    case kQueryCount:
      *static_cast<int32_t *>(answer) = s->count;
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

wu_status wuxqlbi(wu_control *c, int32_t position, char *buffer, int32_t *length) {
  if (!wu_ctl_live(c) || !store_kind(c) || length == nullptr) return WU_NOTAVAIL;
  wu_item_store *s = wu_lbx_store(c);
  if (position < 1 || position > s->count) return WU_NOTAVAIL;
  char *text = wumgstr(s->items[position - 1]);
  if (text == nullptr) return WU_NOTAVAIL;
  const int32_t n = int32_t(std::strlen(text));
  if (buffer == nullptr) {
    *length = n;
  } else {
    if (*length <= 0) {
      XtFree(text);
      return WU_NOTAVAIL;
    }
    const int32_t copied = std::min(n, *length - 1);
    std::memcpy(buffer, text, size_t(copied));
    buffer[copied] = '\0';
    *length = copied;
  }
  XtFree(text);
  return WU_OK;
}

wu_status wumswlb(wu_control *c, wu_value *entries, int32_t count) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_OLD_LISTBOX) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  ListBox *b = lbx(c);
  bool moved = false;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_OK) continue;
    switch (v->code) {
      case kRow: case kColumn: case kRows: case kColumns:
        if (!cells_ok(v->value)) { v->status = WU_E_RANGE; break; }
        (v->code == kRow ? c->y : v->code == kColumn ? c->x : v->code == kRows ? c->height
                                                                               : c->width) = v->value;
        moved = true;
        break;
      case kColourIndex:
        c->colour_index = v->value;
        if (b->w.main != nullptr) {
          Arg args[12];
          const int32_t n = wuwswvs(c, nullptr, args, 0);
          XtSetValues(b->w.main, args, Cardinal(n));
        }
        break;
      case kTitleCode:
        if (v->value < 0 || (v->value > 0 && v->pointer == nullptr) || v->value > kMaxItemText) {
          v->status = WU_E_RANGE;
          break;
        }
        if (!set_title_text(b, static_cast<const char *>(v->pointer), v->value))
          v->status = WU_E_SIZE_FIXED;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (moved && b->w.outer != nullptr) {
    const wu_pane *p = c->pane;
    XtVaSetValues(b->w.outer, XmNx, Position((c->x - std::max(p->left_column, 1)) * cw()), XmNy,
                  Position((c->y - std::max(p->top_row, 1)) * ch()), XmNwidth,
                  Dimension(c->width * cw()), XmNheight, Dimension(c->height * ch()), nullptr);
  }
  for (int32_t i = 0; i < count; ++i)
    if (entries[i].status != WU_OK) return WU_ENTRY_STATUS;
  return WU_OK;
}

}  // extern "C"
