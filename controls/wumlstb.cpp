// The list box: a single-column list of items (icon, text, id) over a
// scrolled XdIconList under an optional title, with its attributes, item
// methods, user actions, replay and drop site.  Before its pane is realised
// a stand-by list holds what the host gives it; the list made with the
// widgets takes it over.
#include <X11/IntrinsicP.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "controls/wumlist.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "xd/IconList.h"

extern "C" {
wu_status wutsbsy(int32_t on);
wu_status wuxglbo(wu_pane *pane, wu_control **out, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t, int32_t, int32_t, int32_t word10);
wu_status wutilbw(wu_control *c);
wu_status wu_create_lbx(wu_pane *pane, wu_control **out);
Widget wu_lbx_focus(wu_control *c);
}

namespace {

constexpr int32_t kVisibleRows = 15;
constexpr int32_t kTitlePad = 5;
constexpr int32_t kLastMethod = WU_M_GETITEM;

typedef struct ListBox {
  wu_control c;
  wu_ctl_widgets w;           // the scrolled XdIconList, the outer form
  int32_t items;
  char *item_text;            // answer of _getItem
  int32_t selected;
  int32_t mode;
  int32_t top;
  wu_str_item *sel_items;     // answer of selectedItems
  int32_t sel_count;
  int *sel_pos;               // answer of selectedIndexes
  int32_t sel_pos_count;
  Widget frame;
  Widget title;
  Widget title_frame;
  Widget title_form;
  char *title_text;
  wu_dnd_site *site;
  int32_t word10;
  Widget standby;             // the list before the widgets are built
} ListBox;
static_assert(sizeof(ListBox) <= WU_CTL_LARGE_SIZE, "list box fits its record kind");

ListBox *lb(wu_control *c) { return reinterpret_cast<ListBox *>(c); }

ListBox *live_lb(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return (wu_ctl_live(c) && c->kind == WU_MT_LISTBOX) ? lb(c) : nullptr;
}

// The list the record works on: the built one, else the stand-by list.
Widget list_of(ListBox *l) { return l->w.main != nullptr ? l->w.main : l->standby; }


XmFontList font_of(wu_control *c) {
  return c->font_list != nullptr ? static_cast<XmFontList>(c->font_list)
                                 : (devb ? devb->font_list : nullptr);
}

int top_item(ListBox *l) {
  int top = l->top;
  if (list_of(l) != nullptr) XdIconListGetTopItemPos(list_of(l), &top);
  return top;
}

void free_answers(ListBox *l) {
  wu_list_free_strings(l->sel_items, l->sel_count);
  l->sel_items = nullptr;
  l->sel_count = 0;
  XtFree(reinterpret_cast<char *>(l->sel_pos));
  l->sel_pos = nullptr;
  l->sel_pos_count = 0;
  XtFree(l->item_text);
  l->item_text = nullptr;
}

void show_title(ListBox *l) {
  if (l->title_frame == nullptr) return;
  const bool on = l->title_text != nullptr && l->title_text[0] != '\0';
  wu_list_title_band(l->title_frame, l->title, l->frame, on ? l->title_text : nullptr, kTitlePad);
}

// The item text at a 1-based position, a copy to free with XtFree.
char *item_text(Widget list, int32_t pos) {
  XmString s = nullptr;
  if (!XdIconListGetText(list, pos - 1, &s) || s == nullptr) return nullptr;
  char *t = wumgstr(s);
  XmStringFree(s);
  return t;
}

void apply_colour(ListBox *l, const char *res, Pixel p, bool background) {
  Widget list = l->w.main;
  std::vector<Widget> parts = {list, l->frame};
  for (int child : {XdICONLIST_ICONS, XdICONLIST_LIST, XdICONLIST_HSCROLLBAR, XdICONLIST_VSCROLLBAR})
    if (Widget k = XdIconListGetChild(list, child)) parts.push_back(k);
  Pixel fg = 0, top = 0, bottom = 0, select = 0;
  if (background)
    XmGetColors(XtScreen(list), devb->colormap, p, &fg, &top, &bottom, &select);
  for (Widget w : parts) {
    if (w == nullptr) continue;
    if (background)
      XtVaSetValues(w, res, p, XmNtopShadowColor, top, XmNbottomShadowColor, bottom,
                    XmNtroughColor, select, nullptr);
    else
      XtVaSetValues(w, res, p, nullptr);
  }
}

// ---- attributes ---------------------------------------------------------------

bool framework_code(int32_t code) {
  switch (code) {
    case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
    case WU_A_TOOLTIP: case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY:
    case WU_A_EVENTPROC:
      return true;
    default:
      return false;
  }
}

void select_positions(ListBox *l, wu_value *v) {
  Widget list = list_of(l);
  if (v->value == 0) return;
  if (v->value < 0 || v->pointer == nullptr || list == nullptr) { v->status = WU_E_RANGE; return; }
  const auto *pos = static_cast<const int32_t *>(v->pointer);
  std::vector<int> ok;
  for (int32_t k = 0; k < v->value; ++k) {
    if (pos[k] < 1 || pos[k] > l->items) v->status = WU_E_RANGE;
    else ok.push_back(pos[k]);
  }
  if (ok.empty()) return;
  if (v->value == 1) {
    XdIconListSelectPos(list, ok[0], False);
    const int visible = XdIconListVisibleItems(list);
    const int top = top_item(l);
    if (ok[0] < top) XdIconListSetPos(list, ok[0]);
    else if (visible > 0 && ok[0] >= top + visible) XdIconListSetPos(list, ok[0] - visible + 1);
    l->selected = 1;
  } else {
    l->selected = XdIconListSelectPositions(list, int(ok.size()), ok.data(), False);
  }
}

wu_status ListBoxSwat(wu_control *c, wu_value *entries, int32_t count) {
  ListBox *l = lb(c);
  bool font_changed = false, any_ok = false;
  XmFontList old_font = nullptr;
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    v->status = WU_OK;
    if (v->code < 0 || v->code > 126) { v->status = WU_E_NOT_HANDLED; result = WU_ENTRY_STATUS; continue; }
    if (framework_code(v->code)) continue;
    switch (v->code) {
      case WU_A_ROWS: case WU_A_SELECTEDITEMS: case WU_A_TITLEHEIGHT: case WU_A_SELECTEDCOUNT:
        v->status = WU_E_SIZE_FIXED;
        break;
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->status = wu_list_set_geometry(c, v);
        break;
      case WU_A_FOREGROUND: case WU_A_BACKGROUND: {
        Pixel p = 0;
        v->status = wu_list_set_colour(c, v, &p);
        if (v->status == WU_OK && l->w.outer != nullptr)
          apply_colour(l, v->code == WU_A_FOREGROUND ? XmNforeground : XmNbackground, p,
                       v->code == WU_A_BACKGROUND);
        break;
      }
      case WU_A_TITLE:
        if (v->value < 0 || (v->value > 0 && v->pointer == nullptr)) { v->status = WU_E_RANGE; break; }
        XtFree(l->title_text);
        l->title_text = wu_list_copy(static_cast<const char *>(v->pointer), v->value, WU_LIST_TEXT_MAX);
        show_title(l);
        break;
      case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_TOPROW:
        if (list_of(l) == nullptr) { l->top = v->value; break; }
        if (v->value < 1 || v->value > std::max(l->items, 1)) { v->status = WU_E_RANGE; break; }
        XdIconListSetTopItemPos(list_of(l), v->value);
        l->top = v->value;
        break;
      case WU_A_SELECTIONMODE:
        if (l->w.outer != nullptr) { v->status = WU_E_CREATE_ONLY; break; }
        l->mode = (v->value == 1 || v->value == 2) ? v->value : 0;
        if (l->standby != nullptr) {
          // The icon list hands the policy to its inner list only at creation.
          const unsigned char policy = static_cast<unsigned char>(l->mode);
          XtVaSetValues(l->standby, XmNselectionPolicy, policy, nullptr);
          if (Widget inner = XdIconListGetChild(l->standby, XdICONLIST_LIST))
            XtVaSetValues(inner, XmNselectionPolicy, policy, nullptr);
        }
        break;
      case WU_A_SELECTEDINDEXES:
        select_positions(l, v);
        break;
      case WU_A_FONT: {
        XmFontList fl = wu_list_font(c, static_cast<const char *>(v->pointer), v->value);
        if (fl == nullptr && c->font_list == nullptr) break;  // the default stays
        old_font = static_cast<XmFontList>(c->font_list);
        c->font_list = fl;
        font_changed = true;
        break;
      }
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK) result = WU_ENTRY_STATUS;
    else any_ok = true;
  }
  if (any_ok && l->w.outer != nullptr) {
    const int top = top_item(l);
    XtVaSetValues(l->w.outer, XmNresizePolicy, XmRESIZE_ANY, XmNx, wu_list_pos(c->x), XmNy,
                  wu_list_pos(c->y), nullptr);
    if (font_changed) {
      for (Widget w : {l->w.main, l->title})
        if (w != nullptr) XtVaSetValues(w, XmNfontList, font_of(c), nullptr);
      show_title(l);
    }
    XtVaSetValues(l->w.outer, XmNwidth, wu_list_dim(c->width), XmNheight, wu_list_dim(c->height),
                  XmNresizePolicy, XmRESIZE_NONE, nullptr);
    if (l->items > 0) XdIconListSetTopItemPos(l->w.main, std::max(top, 1));
  }
  // The widgets no longer use the previous font.
  if (old_font != nullptr && old_font != c->font_list) wu_list_font_free(old_font);
  return result;
}

wu_status ListBoxQwat(wu_control *c, wu_value *entries, int32_t count) {
  ListBox *l = lb(c);
  Widget list = list_of(l);
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > 126) { v->status = WU_E_NOT_HANDLED; result = WU_ENTRY_STATUS; continue; }
    if (framework_code(v->code) || v->code == WU_A_FONT) continue;
    v->status = WU_OK;
    switch (v->code) {
      case WU_A_ROWS: v->value = l->items; break;
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        wu_list_query_geometry(c, l->w.outer, v);
        break;
      case WU_A_FOREGROUND: case WU_A_BACKGROUND:
        wu_list_query_colour(c, v);
        break;
      case WU_A_TITLE:
        v->pointer = l->title_text;
        v->value = l->title_text ? int32_t(std::strlen(l->title_text)) : 0;
        break;
      case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_TOPROW: v->value = top_item(l); break;
      case WU_A_SELECTIONMODE: v->value = l->mode; break;
      case WU_A_SELECTEDINDEXES: {
        XtFree(reinterpret_cast<char *>(l->sel_pos));
        l->sel_pos = nullptr;
        int n = 0;
        if (list != nullptr) XdIconListGetSelectedPos(list, &l->sel_pos, &n);
        l->sel_pos_count = n;
        v->type = WU_VT_INTLIST;
        v->value = n;
        v->pointer = l->sel_pos;
        if (n > 0) v->status = WU_ALLOCATED;
        break;
      }
      case WU_A_SELECTEDITEMS: {
        wu_list_free_strings(l->sel_items, l->sel_count);
        l->sel_items = nullptr;
        l->sel_count = 0;
        int *pos = nullptr;
        int n = 0;
        if (list != nullptr) XdIconListGetSelectedPos(list, &pos, &n);
        v->type = WU_VT_STRLIST;
        if (n > 0) {
          l->sel_items = reinterpret_cast<wu_str_item *>(XtCalloc(Cardinal(n), sizeof(wu_str_item)));
          for (int k = 0; k < n; ++k) wu_list_set_item(&l->sel_items[k], item_text(list, pos[k]));
          l->sel_count = n;
          v->status = WU_ALLOCATED;
        }
        XtFree(reinterpret_cast<char *>(pos));
        v->value = l->sel_count;
        v->pointer = l->sel_items;
        break;
      }
      case WU_A_TITLEHEIGHT: v->value = wu_list_title_height(l->title_frame); break;
      case WU_A_SELECTEDCOUNT: v->value = l->selected; break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK) result = WU_ENTRY_STATUS;
  }
  return result;
}

wu_status ListBoxCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr) return WU_OK;
  ListBox *l = lb(c);
  for (int32_t i = 0; i < count && entries != nullptr; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_ALLOCATED || v->pointer == nullptr) continue;
    if (v->pointer == l->sel_items) {
      wu_list_free_strings(l->sel_items, l->sel_count);
      l->sel_items = nullptr;
      l->sel_count = 0;
    } else if (v->pointer == l->sel_pos) {
      XtFree(reinterpret_cast<char *>(l->sel_pos));
      l->sel_pos = nullptr;
      l->sel_pos_count = 0;
    } else if (v->pointer == l->item_text) {
      XtFree(l->item_text);
      l->item_text = nullptr;
    } else {
      continue;
    }
    v->pointer = nullptr;
    v->status = WU_OK;
  }
  if (entries == nullptr || count == 0) {
    free_answers(l);
    if (!wu_ctl_live(c)) {
      XtFree(l->title_text);
      l->title_text = nullptr;
      if (l->standby != nullptr && wu_x_ok()) XtDestroyWidget(l->standby);
      l->standby = nullptr;
      wu_list_font_free(static_cast<XmFontList>(c->font_list));
      c->font_list = nullptr;
      l->site = nullptr;
    }
  }
  return WU_OK;
}

// ---- methods ------------------------------------------------------------------

wu_status add_items(ListBox *l, wu_value *p, int32_t count) {
  if (count != 4) return WU_NOTAVAIL;
  Widget list = list_of(l);
  if (list == nullptr) return WU_NOTAVAIL;
  const int32_t n = p[2].value;
  if (n < 1 || p[2].pointer == nullptr) return WU_NOTAVAIL;
  // Icons and ids are absent or one per item.
  if (!((p[1].pointer == nullptr && p[1].value <= 0) || (p[1].pointer != nullptr && p[1].value == n)))
    return WU_NOTAVAIL;
  if (!((p[3].pointer == nullptr && p[3].value <= 0) || (p[3].pointer != nullptr && p[3].value == n)))
    return WU_NOTAVAIL;
  int32_t position = p[0].value;
  if (position == 0) { p[0].status = WU_E_RANGE; return WU_ENTRY_STATUS; }
  if (position == -1) position = 0;
  if (position < 0 || position > l->items + 1) return WU_NOTAVAIL;
  const auto *items = static_cast<const wu_str_item *>(p[2].pointer);
  const auto *icons = static_cast<const int32_t *>(p[1].pointer);
  const auto *ids = static_cast<const int32_t *>(p[3].pointer);
  std::vector<XmString> strings(static_cast<size_t>(n));
  std::vector<Pixmap> pix(static_cast<size_t>(n), None);
  std::vector<int32_t> row_ids(static_cast<size_t>(n), 0);
  for (int32_t i = 0; i < n; ++i) {
    strings[size_t(i)] = wu_list_xmstring(items[i].text, items[i].length);
    if (icons != nullptr) pix[size_t(i)] = wu_list_pixmap(icons[i], WU_ICON_SMALL);
    if (ids != nullptr) row_ids[size_t(i)] = ids[i];
  }
  XtUnmanageChild(list);
  wutsbsy(1);
  if (n == 1)
    XdIconListAddItem(list, pix[0], strings[0], row_ids[0], position);
  else
    XdIconListAddItems(list, pix.data(), strings.data(), row_ids.data(), n, position);
  l->items += n;
  if (list != l->standby) XtManageChild(list);
  wutsbsy(0);
  for (XmString s : strings) XmStringFree(s);
  return WU_OK;
}

wu_status delete_items(ListBox *l, wu_value *p, int32_t count) {
  Widget list = list_of(l);
  if (count != 2 || list == nullptr || l->items < 1) return WU_NOTAVAIL;
  int32_t start = p[0].value;
  int32_t n = p[1].value;
  if (start == -1 && n == 1) start = l->items;
  if (n < 1 || start < 1 || start > l->items) return WU_NOTAVAIL;
  n = std::min(n, l->items - start + 1);
  Widget outer = l->w.outer;
  if (outer != nullptr) XtUnmanageChild(outer);
  if (n == 1) {
    XdIconListDeletePos(list, start);
  } else {
    std::vector<int> pos(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) pos[size_t(i)] = start + i;
    XdIconListDeletePositions(list, pos.data(), n);
  }
  if (outer != nullptr && !(l->c.flags & WU_CTL_HIDDEN)) XtManageChild(outer);
  l->items -= n;
  return WU_OK;
}

wu_status find_item(ListBox *l, wu_value *p, int32_t count, bool exact) {
  if (count < 2) return WU_NOTAVAIL;
  Widget list = list_of(l);
  if (l->items < 1 || list == nullptr) { p[0].value = 0; return WU_OK; }
  if (p[1].value < 0 || (p[1].value > 0 && p[1].pointer == nullptr)) return WU_NOTAVAIL;
  char *text = wu_list_copy(static_cast<const char *>(p[1].pointer), p[1].value, INT_MAX);
  const int32_t n = int32_t(std::strlen(text));
  const int32_t found = wu_list_find_row(
      p[0].value, l->items, text, n, exact,
      [](void *data, int32_t row) { return item_text(static_cast<Widget>(data), row); }, list);
  XtFree(text);
  p[0].value = found;
  return WU_OK;
}

wu_status get_item(ListBox *l, wu_value *p, int32_t count) {
  Widget list = list_of(l);
  if (count < 4 || list == nullptr) return WU_NOTAVAIL;
  const int32_t row = p[0].value;
  if (row < 1 || row > l->items) return WU_NOTAVAIL;
  XtFree(l->item_text);
  l->item_text = item_text(list, row);
  if (l->item_text == nullptr) l->item_text = wu_list_copy("", 0, 0);
  p[1].value = wu_list_icon_id(XdIconListGetIcon(list, row));
  p[2].type = WU_VT_STRING;
  p[2].pointer = l->item_text;
  p[2].value = int32_t(std::strlen(l->item_text));
  p[2].status = WU_ALLOCATED;
  p[3].value = XdIconListGetId(list, row);
  return WU_ENTRY_STATUS;
}

wu_status update_items(ListBox *l, wu_value *p, int32_t count) {
  Widget list = list_of(l);
  if (count < 4 || list == nullptr) return WU_NOTAVAIL;
  const int32_t n = p[0].value;
  if (n < 1 || p[0].pointer == nullptr) return WU_NOTAVAIL;
  for (int k = 1; k <= 3; ++k)
    if (p[k].pointer != nullptr && p[k].value != n) return WU_NOTAVAIL;
  const auto *rows = static_cast<const int32_t *>(p[0].pointer);
  const auto *icons = static_cast<const int32_t *>(p[1].pointer);
  const auto *items = static_cast<const wu_str_item *>(p[2].pointer);
  const auto *ids = static_cast<const int32_t *>(p[3].pointer);
  std::vector<Pixmap> pix(static_cast<size_t>(n));
  std::vector<XmString> strings(static_cast<size_t>(n), nullptr);
  std::vector<int32_t> row_ids(static_cast<size_t>(n), XdID_UNCHANGED);
  std::vector<int> pos(rows, rows + n);
  for (int32_t i = 0; i < n; ++i) {
    pix[size_t(i)] = (icons == nullptr || icons[i] == -1) ? XdICON_UNCHANGED
                                                          : wu_list_pixmap(icons[i], WU_ICON_SMALL);
    if (items != nullptr && items[i].text != nullptr)
      strings[size_t(i)] = wu_list_xmstring(items[i].text, items[i].length);
    if (ids != nullptr) row_ids[size_t(i)] = ids[i];
  }
  const int ok = XdIconListReplaceItems(list, pix.data(), strings.data(),
                                        ids ? row_ids.data() : XdIDS_UNCHANGED, n, pos.data());
  for (XmString s : strings) if (s) XmStringFree(s);
  return ok ? WU_OK : WU_NOTAVAIL;
}

wu_status ListBoxMethods(wu_ctl_handle *h, int32_t method, wu_value *p, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_LISTBOX) return WU_NOTAVAIL;
  ListBox *l = lb(c);
  Widget list = list_of(l);
  if (method < 1 || method > kLastMethod || list == nullptr) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && p == nullptr)) return WU_NOTAVAIL;
  switch (method) {
    case WU_M_ADD: return add_items(l, p, count);
    case WU_M_DELETE: return delete_items(l, p, count);
    case WU_M_DELETEALL:
      if (count != 0) return WU_NOTAVAIL;
      XdIconListDeleteAllItems(list);
      l->items = 0;
      l->selected = 0;
      return WU_OK;
    case WU_M_SELECTALL:
      l->selected = XdIconListSelectAll(list);
      return WU_OK;
    case WU_M_DESELECTALL:
      XdIconListDeselectAll(list);
      l->selected = 0;
      return WU_OK;
    case WU_M_DESELECT: {
      if (count < 1 || p[0].value < 0 || (p[0].value > 0 && p[0].pointer == nullptr)) return WU_NOTAVAIL;
      const auto *rows = static_cast<const int32_t *>(p[0].pointer);
      for (int32_t i = 0; i < p[0].value; ++i) l->selected = XdIconListDeselectPos(list, rows[i]);
      return WU_OK;
    }
    case WU_M_ISSELECTED: {
      if (count < 2) return WU_NOTAVAIL;
      int *pos = nullptr;
      int n = 0;
      XdIconListGetSelectedPos(list, &pos, &n);
      p[1].type = WU_VT_INT;
      p[1].value = (pos != nullptr && std::find(pos, pos + n, p[0].value) != pos + n) ? 1 : 0;
      XtFree(reinterpret_cast<char *>(pos));
      return WU_OK;
    }
    case WU_M_GETITEM: return get_item(l, p, count);
    case WU_M_FINDEXACT: return find_item(l, p, count, true);
    case WU_M_FIND: return find_item(l, p, count, false);
    case WU_M_UPDATEROWS: return update_items(l, p, count);
    default: return WU_NOTAVAIL;
  }
}

// ---- user actions ---------------------------------------------------------------

void wuwlstb(Widget w, XtPointer client, XtPointer call) {
  ListBox *l = live_lb(client);
  if (l == nullptr || call == nullptr) return;
  wu_control *c = &l->c;
  wutgbat();
  auto *cbs = static_cast<XmListCallbackStruct *>(call);
  const int32_t x = w->core.x + c->x, y = w->core.y + c->y;
  switch (cbs->reason) {
    case XmCR_SINGLE_SELECT: case XmCR_MULTIPLE_SELECT: case XmCR_EXTENDED_SELECT:
    case XmCR_BROWSE_SELECT: {
      int *pos = nullptr;
      int n = 0;
      XdIconListGetSelectedPos(l->w.main, &pos, &n);
      if (l->selected == 0 && n == 0) {
        XtFree(reinterpret_cast<char *>(pos));
        return;
      }
      l->selected = n;
      int32_t sent = 0;
      if (c->event_mask & WU_EVM_CLICK_NODE) {
        XdIconListSetLastSelected(l->w.main, cbs->item_position);
        int32_t *id_array = nullptr;
        wu_value *prm =
            wu_list_click_params(c, cbs->reason == XmCR_SINGLE_SELECT ? 1 : n, &id_array);
        if (cbs->reason == XmCR_SINGLE_SELECT)
          id_array[0] = XdIconListGetId(l->w.main, cbs->item_position);
        else
          for (int i = 0; i < n; ++i) id_array[i] = XdIconListGetId(l->w.main, pos[i]);
        sent = wu_ctl_send(c, WU_EV_SELECT, 0, x, y, prm, 1, WU_EV_CTL_POSTED);
      }
      if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_SELECT, n > 0 ? pos[0] : 0, sent, 0.0, 0);
      XtFree(reinterpret_cast<char *>(pos));
      return;
    }
    case XmCR_DEFAULT_ACTION: {
      wu_value *prm = wu_ctl_event_params(c, WU_EV_DOUBLECLICK, 1);
      prm[0].type = WU_VT_WORD;
      prm[0].value = XdIconListGetId(l->w.main, cbs->item_position);
      const int32_t sent = wu_ctl_send(c, WU_EV_DOUBLECLICK, WU_EVM_DOUBLECLICK, x, y, prm, 1,
                                       WU_EV_CTL_POSTED);
      if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_DOUBLECLICK, cbs->item_position, sent, 0.0, 0);
      return;
    }
    case XdCR_POST_MENU: {
      const int32_t sent =
          wu_ctl_send(c, WU_EV_POPUP, WU_EVM_POPUP, x, y, nullptr, 0, WU_EV_CTL_POSTED);
      if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_POPUP, 0, sent, 0.0, 0);
      return;
    }
    case XmCR_DRAG:
      wu_list_start_drag(l->w.main);
      return;
    default:
      return;
  }
}

wu_status ListBoxReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec == nullptr) return WU_NOTAVAIL;
  ListBox *l = lb(c);
  Widget list = list_of(l);
  switch (rec->code) {
    case WU_EV_SELECT: case WU_EV_POPUP: case WU_EV_DOUBLECLICK: case WU_EV_CLICKONLY: break;
    default: return WU_NOTAVAIL;
  }
  if (rec->code == WU_EV_SELECT && list != nullptr && rec->value1 >= 1 && rec->value1 <= l->items) {
    XdIconListSelectPos(list, rec->value1, False);
    l->selected = std::max(l->selected, 1);
  }
  if (!rec->sent) return WU_OK;
  wu_value *prm = nullptr;
  int32_t n = 0;
  if (rec->code == WU_EV_DOUBLECLICK) {
    prm = wu_ctl_event_params(c, WU_EV_DOUBLECLICK, 1);
    prm[0].type = WU_VT_WORD;
    prm[0].value = (list != nullptr && rec->value1 >= 1 && rec->value1 <= l->items)
                       ? XdIconListGetId(list, rec->value1) : 0;
    n = 1;
  } else if (rec->code == WU_EV_SELECT && list != nullptr && rec->value1 >= 1 &&
             rec->value1 <= l->items) {
    int32_t *id = nullptr;
    prm = wu_list_click_params(c, 1, &id);
    id[0] = XdIconListGetId(list, rec->value1);
    n = 1;
  }
  wu_ctl_send(c, rec->code, 0, c->x, c->y, prm, n, WU_EV_CTL_POSTED);
  return WU_OK;
}

// ---- drag and drop ---------------------------------------------------------------

ListBox *dnd_box(wu_ctl_handle *h) {
  wu_control *c = wu_ctl_of(h);
  return (c != nullptr && c->kind == WU_MT_LISTBOX) ? lb(c) : nullptr;
}

wu_status ListBoxRegisterDND(wu_ctl_handle *h, void *site_out, void *entries, void *count) {
  ListBox *l = dnd_box(h);
  if (l == nullptr || l->w.main == nullptr || wumrdnd == nullptr) return WU_NOTAVAIL;
  if (l->site == nullptr) l->site = wumrdnd(l->w.main);
  wu_dnd_site *site = l->site;
  if (site == nullptr) return WU_NOTAVAIL;
  site->window = wu_ctl_window(&l->c);
  site->kind = WU_CTYPE_TREEVIEW;
  site->drop_proc = wuwhdrp;
  site->owner = h;
  l->c.dnd = site;
  if (site_out != nullptr) *static_cast<void **>(site_out) = site;
  wumsdnd(site);
  if (entries != nullptr && wuxsdnd != nullptr)
    return wuxsdnd(site, static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
  return WU_OK;
}

// The site stays with the list (a later register takes it up again); it
// only stops naming the control, so drops on it reach no one.
wu_status ListBoxUnregisterDND(wu_ctl_handle *h, void *site, void *, void *) {
  ListBox *l = dnd_box(h);
  if (l == nullptr || site == nullptr || l->site == nullptr || l->site != site) return WU_NOTAVAIL;
  l->site->owner = nullptr;
  return WU_OK;
}

wu_status ListBoxQueryDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  ListBox *l = dnd_box(h);
  if (l == nullptr || l->site == nullptr || l->site != site || wuxqdnd == nullptr)
    return WU_NOTAVAIL;
  return wuxqdnd(l->site, static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
}

wu_status ListBoxSetDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  ListBox *l = dnd_box(h);
  if (l == nullptr || l->site == nullptr || l->site != site || wuxsdnd == nullptr)
    return WU_NOTAVAIL;
  return wuxsdnd(l->site, static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
}

void install_slots(wu_control *c, bool all) {
  c->Swat = ListBoxSwat;
  c->Qwat = ListBoxQwat;
  c->Methods = ListBoxMethods;
  c->Cleanup = ListBoxCleanup;
  if (!all) return;
  c->UnregisterDND = ListBoxUnregisterDND;
  c->RegisterDND = ListBoxRegisterDND;
  c->QueryDND = ListBoxQueryDND;
  c->SetDND = ListBoxSetDND;
  c->Replay = ListBoxReplay;
}

void dress(Widget w, wu_control *c) {
  if (w == nullptr) return;
  if (devb->popup_translation != nullptr) XtOverrideTranslations(w, devb->popup_translation);
  wutmnrq(w, c);
}

// Hands what the stand-by list holds to the built list and drops it.
void take_over(ListBox *l) {
  Widget from = l->standby, to = l->w.main;
  if (from == nullptr) return;
  const int n = l->items;
  if (n > 0) {
    std::vector<XmString> strings(static_cast<size_t>(n));
    std::vector<Pixmap> icons(static_cast<size_t>(n));
    std::vector<int32_t> ids(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      XdIconListGetText(from, i, &strings[size_t(i)]);
      if (strings[size_t(i)] == nullptr) strings[size_t(i)] = wumcstr("");
      const Pixmap p = XdIconListGetIcon(from, i + 1);
      icons[size_t(i)] = p == XdICON_INVALID ? Pixmap(None) : p;
      ids[size_t(i)] = XdIconListGetId(from, i + 1);
    }
    XdIconListAddItems(to, icons.data(), strings.data(), ids.data(), n, 0);
    for (XmString s : strings) XmStringFree(s);
    int *pos = nullptr;
    int k = 0;
    if (XdIconListGetSelectedPos(from, &pos, &k) && k > 0) XdIconListSelectPositions(to, k, pos, False);
    XtFree(reinterpret_cast<char *>(pos));
    int top = 1;
    XdIconListGetTopItemPos(from, &top);
    XdIconListSetTopItemPos(to, std::max(top, 1));
  }
  l->standby = nullptr;
  XtDestroyWidget(from);
}

void make_standby(ListBox *l) {
  wu_control *c = &l->c;
  wu_ctl_colours set;
  wu_ctl_class_colours(wu_ctl_window(c), &set);
  Arg args[12];
  Cardinal n = 0;
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  XtSetArg(args[n], XmNbackground, set.background); ++n;
  XtSetArg(args[n], XmNforeground, set.foreground); ++n;
  XtSetArg(args[n], XmNfontList, devb->font_list); ++n;
  XtSetArg(args[n], XmNselectionPolicy, static_cast<unsigned char>(l->mode)); ++n;
  l->standby = XdCreateIconList(devb->toplevel, const_cast<char *>("lbx"), args, n);
  if (l->standby == nullptr) return;
  if (Widget k = XdIconListGetChild(l->standby, XdICONLIST_ICONS))
    XtVaSetValues(k, XmNuserData, c, nullptr);
}

}  // namespace

extern "C" {

wu_status wutilbw(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_LISTBOX || !wu_x_ok() || c->pane == nullptr ||
      c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  ListBox *l = lb(c);
  if (l->w.outer != nullptr) return WU_OK;
  install_slots(c, true);
  wu_window *window = wu_ctl_window(c);
  wu_ctl_colours dialog, set;
  wu_ctl_class_colours(window, &set);
  dialog = set;
  if (wuwgpmc != nullptr) wuwgpmc(window, WU_CSET_DIALOG, &dialog);
  Arg args[24];
  Cardinal n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNx, wu_list_pos(c->x)); ++n;
  XtSetArg(args[n], XmNy, wu_list_pos(c->y)); ++n;
  XtSetArg(args[n], XmNwidth, wu_list_dim(c->width)); ++n;
  XtSetArg(args[n], XmNheight, wu_list_dim(c->height)); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNresizePolicy, XmRESIZE_NONE); ++n;
  XtSetArg(args[n], XmNbackground, dialog.background); ++n;
  Widget form = XmCreateForm(c->pane->ext->widget, const_cast<char *>("lbx"), args, n);
  if (form == nullptr) return WU_NOTAVAIL;
  l->w.outer = form;
  dress(form, c);

  wu_list_make_title(form, c, dialog.background, dialog.foreground, kTitlePad, font_of(c), "lbx",
                     &l->title_frame, &l->title_form, &l->title);
  dress(l->title, c);
  wuwddrg(l->title);
  XtManageChild(l->title);
  XtManageChild(l->title_form);

  n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNbackground, c->background ? Pixel(c->background->pixel) : dialog.background); ++n;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  l->frame = XmCreateFrame(form, const_cast<char *>("lbx"), args, n);
  dress(l->frame, c);

  n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNvisibleItemCount, kVisibleRows); ++n;
  XtSetArg(args[n], XmNselectionPolicy, static_cast<unsigned char>(l->mode)); ++n;
  XtSetArg(args[n], XmNscrollBarDisplayPolicy, XmAS_NEEDED); ++n;
  XtSetArg(args[n], XmNfontList, font_of(c)); ++n;
  XtSetArg(args[n], XmNforeground, c->foreground ? Pixel(c->foreground->pixel) : set.foreground); ++n;
  XtSetArg(args[n], XmNbackground, c->background ? Pixel(c->background->pixel) : set.background); ++n;
  Widget list = XdCreateScrolledIconList(l->frame, const_cast<char *>("lbx"), args, n);
  if (list == nullptr) {
    XtDestroyWidget(form);
    l->w.outer = nullptr;
    return WU_NOTAVAIL;
  }
  l->w.main = list;
  for (int child : {XdICONLIST_ICONS, XdICONLIST_LIST}) dress(XdIconListGetChild(list, child), c);
  XdIconListOverrideUserData(list, c);
  for (const char *cb : {XmNbrowseSelectionCallback, XmNdefaultActionCallback,
                         XmNextendedSelectionCallback, XmNmultipleSelectionCallback,
                         XmNsingleSelectionCallback, XdNdragCallback, XdNpostMenuCallback})
    XtAddCallback(list, cb, wuwlstb, c);
  XtManageChild(list);
  XtManageChild(l->frame);
  take_over(l);
  if (l->standby == nullptr && l->top > 1 && l->items > 0)
    XdIconListSetTopItemPos(list, std::min(l->top, l->items));
  show_title(l);
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  return WU_OK;
}

wu_status wuxglbo(wu_pane *pane, wu_control **out, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t, int32_t, int32_t, int32_t word10) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  if (!wu_list_pane_ok(pane)) return WU_NOTAVAIL;
  wu_control *c = wu_list_new_control(pane, WU_MT_LISTBOX);
  if (c == nullptr) return WU_NOMEM;
  auto *l = reinterpret_cast<ListBox *>(c);
  install_slots(c, false);
  c->x = x;
  c->y = y;
  c->width = std::max(width, 1);
  c->height = std::max(height, 1);
  c->flags |= WU_CTL_TAKES_FOCUS;
  l->word10 = word10;
  if ((pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr) {
    if (wutilbw(c) != WU_OK) {
      wuxfwid(c);
      return WU_NOMEM;
    }
  } else if (wu_x_ok()) {
    make_standby(l);
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

wu_status wu_create_lbx(wu_pane *pane, wu_control **out) {
  return wuxglbo(pane, out, 1, 1, 100, 100, 0, 0, 0, 0);
}

Widget wu_lbx_focus(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_LISTBOX || lb(c)->w.main == nullptr) return nullptr;
  Widget list = lb(c)->w.main;
  int *pos = nullptr;
  int n = 0;
  XdIconListGetSelectedPos(list, &pos, &n);
  XdIconListSetFocus(list, n > 0 ? pos[0] : 1);
  XtFree(reinterpret_cast<char *>(pos));
  Widget inner = XdIconListGetChild(list, XdICONLIST_LIST);
  return inner != nullptr ? inner : list;
}

}  // extern "C"

