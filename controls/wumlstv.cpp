// The list view: a multi-column list of rows (icon, one text per column,
// id) over an XdMCIconList under an optional title, with its attributes,
// the row slots of the views-and-methods table, its methods, the user
// actions it posts to the host, replay and drag and drop.  The helpers the
// list kinds share come first.
#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/Xm.h>
#include <Xm/DragDrop.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

#include "controls/wumlist.h"
#include "qev/flags.h"
#include "runtime/wucheck.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "xd/IconList.h"
#include "xd/MCIconList.h"
#include "xd/qevutil.h"

// The tool box's masked icon of a host image at a box size.
extern "C" Pixmap wumldic(int32_t icon, int32_t width, int32_t height);

// ---- shared helpers ---------------------------------------------------------

namespace {

// Pixmaps of host images beyond the icon caches (ids above 1024), by id and
// size, and back.  They belong to the connection they were made on: a
// restart opens a connection whose Display never sits at a closed one's
// address, so a change of address drops them (the server freed them with
// the old connection).
struct BigIcons {
  Display *display = nullptr;
  std::map<std::pair<int32_t, int32_t>, Pixmap> by_id;
  std::unordered_map<Pixmap, int32_t> ids;
};
BigIcons g_big;

BigIcons &big_icons() {
  if (g_big.display != devb->display) {
    g_big.by_id.clear();
    g_big.ids.clear();
    g_big.display = devb->display;
  }
  return g_big;
}

}  // namespace

Pixmap wu_list_pixmap(int32_t id, int32_t size) {
  if (id < 0 || devb == nullptr || !wu_x_ok()) return None;
  if (id <= WU_ICON_MAX_ID) return wutgtpm(id, size);
  BigIcons &big = big_icons();
  auto key = std::make_pair(id, size);
  auto it = big.by_id.find(key);
  if (it != big.by_id.end()) return it->second;
  // The 24-pixel icon is the tool box's masked one; the 16-pixel one is
  // made from the image file at that size.
  Pixmap p = None;
  if (size == WU_ICON_MEDIUM) p = wumldic(id, size, size);
  else if (!wutlxpm(id, size, &devb->background, &p, nullptr)) p = None;
  if (p == None) return None;
  big.by_id[key] = p;
  big.ids[p] = id;
  return p;
}

int32_t wu_list_icon_id(Pixmap pixmap) {
  if (pixmap == None || pixmap == XdICON_INVALID || devb == nullptr) return -1;
  // The last answer for a pixmap, as long as the cache still holds it there.
  static std::unordered_map<Pixmap, std::pair<int, int32_t>> seen;
  auto hit = seen.find(pixmap);
  if (hit != seen.end() && devb->icon_cache[hit->second.first][hit->second.second] == pixmap)
    return hit->second.second;
  for (int cache : {WU_ICACHE_16, WU_ICACHE_24})
    for (int32_t id = 0; id < WU_ICON_IDS; ++id)
      if (devb->icon_cache[cache][id] == pixmap) {
        seen[pixmap] = std::make_pair(cache, id);
        return id;
      }
  BigIcons &big = big_icons();
  auto it = big.ids.find(pixmap);
  return it != big.ids.end() ? it->second : -1;
}

char *wu_list_copy(const char *text, int32_t length, int32_t max) {
  int32_t n = (text != nullptr && length > 0) ? std::min(length, max) : 0;
  // A cut never splits a multi-byte character.
  if (n < length && MB_CUR_MAX > 1)
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xc0) == 0x80) --n;
  char *s = XtMalloc(static_cast<Cardinal>(n) + 1);
  if (n > 0) std::memcpy(s, text, static_cast<size_t>(n));
  s[n] = '\0';
  return s;
}

XmString wu_list_xmstring(const char *text, int32_t length) {
  char *s = wu_list_copy(text, length, WU_LIST_TEXT_MAX);
  XmString x = wumcstr(s);
  XtFree(s);
  return x;
}

bool wu_list_match(const char *label, int32_t label_length, const char *text, int32_t n,
                   bool exact) {
  if (label == nullptr) return n == 0;
  if (exact ? label_length != n : label_length < n) return false;
  return wzbcup(label, text, n) == 0;
}

wu_status wu_list_set_colour(wu_control *c, const wu_value *e, Pixel *pixel) {
  const bool fg = e->code == WU_A_FOREGROUND;
  wu_colour_cell **slot = fg ? &c->foreground : &c->background;
  wu_window *window = wu_ctl_window(c);
  auto give_back = [window](wu_colour_cell *cell) {
    if (cell == nullptr) return;
    if (wugrclr != nullptr) {
      wugrclr(cell, 1, window ? window->colours : nullptr);
    } else if (wu_x_ok()) {
      unsigned long p = cell->pixel;
      XFreeColors(devb->display, devb->colormap, &p, 1, 0);
    }
    XtFree(reinterpret_cast<char *>(cell));
  };
  const auto *rgb = static_cast<const uint16_t *>(e->pointer);
  if (rgb == nullptr) {
    give_back(*slot);
    *slot = nullptr;
    wu_ctl_colours set;
    wu_ctl_class_colours(window, &set);
    *pixel = fg ? set.foreground : set.background;
    return WU_OK;
  }
  auto *cell = reinterpret_cast<wu_colour_cell *>(XtCalloc(1, sizeof(wu_colour_cell)));
  cell->red = rgb[0];
  cell->green = rgb[1];
  cell->blue = rgb[2];
  bool ok = false;
  if (wuglclr != nullptr) {
    ok = wuglclr(cell, 1, window ? window->colours : nullptr) == WU_OK;
  } else if (wu_x_ok()) {
    XColor xc = {};
    xc.red = cell->red;
    xc.green = cell->green;
    xc.blue = cell->blue;
    xc.flags = DoRed | DoGreen | DoBlue;
    ok = XAllocColor(devb->display, devb->colormap, &xc) != 0;
    cell->pixel = static_cast<uint32_t>(xc.pixel);
  }
  if (!ok) {
    XtFree(reinterpret_cast<char *>(cell));
    return WU_E_RANGE;
  }
  give_back(*slot);
  *slot = cell;
  *pixel = cell->pixel;
  return WU_OK;
}

void wu_list_query_colour(wu_control *c, wu_value *e) {
  wu_colour_cell *cell = e->code == WU_A_FOREGROUND ? c->foreground : c->background;
  e->status = WU_OK;
  if (cell == nullptr) {
    e->value = 0;
    e->pointer = nullptr;
    return;
  }
  auto *rgb = reinterpret_cast<uint16_t *>(XtMalloc(3 * sizeof(uint16_t)));
  rgb[0] = cell->red;
  rgb[1] = cell->green;
  rgb[2] = cell->blue;
  e->pointer = rgb;
  e->value = 1;
  e->type = WU_VT_WORD;
  e->status = WU_ALLOCATED;
}

namespace {
// The fonts loaded for the font lists made here.
std::unordered_map<XmFontList, XFontStruct *> g_fonts;
}  // namespace

XmFontList wu_list_font(wu_control *c, const char *name, int32_t length) {
  if (name == nullptr || length <= 0 || !wu_x_ok()) return nullptr;
  char *copy = wu_list_copy(name, length, WU_LIST_TEXT_MAX);
  XFontStruct *fs = copy[0] != '\0' ? XLoadQueryFont(devb->display, copy) : nullptr;
  XtFree(copy);
  if (fs == nullptr) return nullptr;
  XmFontList fl = XmFontListCreate(fs, const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
  if (fl == nullptr) {
    XFreeFont(devb->display, fs);
    return nullptr;
  }
  // In a double-byte mode the list also carries the double-byte font set.
  if (wu_dbcs_mode() && c != nullptr) {
    void *saved = c->font_list;
    c->font_list = fl;
    XFontStruct *pair[2] = {fs, fs};
    AppendDBCSFontSet(pair, c);
    fl = static_cast<XmFontList>(c->font_list);
    c->font_list = saved;
  }
  g_fonts[fl] = fs;
  return fl;
}

void wu_list_font_free(XmFontList font_list) {
  auto it = g_fonts.find(font_list);
  if (it == g_fonts.end()) return;
  wutext::FreeFontList(font_list);  // with the double-byte font set, if any
  if (wu_x_ok()) XFreeFont(devb->display, it->second);
  g_fonts.erase(it);
}

int32_t wu_list_text_height(const char *text) {
  if (devb == nullptr || devb->font_list == nullptr) return devb ? devb->char_height : 0;
  XmString s = wumcstr(text);
  int32_t h = XmStringHeight(devb->font_list, s);
  XmStringFree(s);
  return h;
}

int32_t wu_list_find_row(int32_t start, int32_t rows, const char *text, int32_t n, bool exact,
                         char *(*text_of)(void *data, int32_t row), void *data) {
  if (start < 1 || start > rows) start = 1;
  int32_t r = start;
  do {
    char *t = text_of(data, r);
    const bool hit = t != nullptr && wu_list_match(t, int32_t(std::strlen(t)), text, n, exact);
    XtFree(t);
    if (hit) return r;
    r = r == rows ? 1 : r + 1;
  } while (r != start);
  return 0;
}

void wu_list_make_title(Widget form, wu_control *c, Pixel background, Pixel foreground,
                        int32_t pad, XmFontList font, const char *label_name, Widget *title_frame,
                        Widget *title_form, Widget *title) {
  Arg args[16];
  Cardinal n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNbackground, background); ++n;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  *title_frame = XmCreateFrame(form, const_cast<char *>("title_frame"), args, n);
  n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNbackground, background); ++n;
  *title_form = XmCreateForm(*title_frame, const_cast<char *>("title_form"), args, n);
  n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNbackground, background); ++n;
  XtSetArg(args[n], XmNforeground, foreground); ++n;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNleftOffset, pad); ++n;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNrightOffset, pad); ++n;
  XtSetArg(args[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
  XtSetArg(args[n], XmNrecomputeSize, True); ++n;
  XtSetArg(args[n], XmNfontList, font); ++n;
  *title = XmCreateLabel(*title_form, const_cast<char *>(label_name), args, n);
}

void wu_list_set_item(wu_str_item *item, char *text) {
  if (text == nullptr) text = wu_list_copy("", 0, 0);
  item->text = text;
  item->length = int32_t(std::strlen(text));
}

wu_control *wu_list_new_control(wu_pane *pane, int32_t kind) {
  auto *c = static_cast<wu_control *>(wutgmem(pane->window->pool, kind));
  if (c == nullptr) return nullptr;
  c->kind = kind;
  c->pane = pane;
  wu_ctl_link(c);
  return c;
}

void wu_list_common_args(Arg *args, Cardinal *n, wu_control *c) {
  XtSetArg(args[*n], XmNvisual, devb->visual); ++*n;
  XtSetArg(args[*n], XmNcolormap, devb->colormap); ++*n;
  XtSetArg(args[*n], XmNdepth, devb->depth); ++*n;
  XtSetArg(args[*n], XmNuserData, c); ++*n;
}

wu_status wu_list_set_geometry(wu_control *c, const wu_value *v) {
  switch (v->code) {
    case WU_A_HPOS: c->x = v->value; break;
    case WU_A_VPOS: c->y = v->value; break;
    default:
      if (v->value <= 0 || v->value > 32767) return WU_E_RANGE;
      (v->code == WU_A_WIDTH ? c->width : c->height) = v->value;
      break;
  }
  return WU_OK;
}

void wu_list_query_geometry(wu_control *c, Widget outer, wu_value *v) {
  if (outer != nullptr) {
    Position x = 0, y = 0;
    Dimension w = 0, h = 0;
    XtVaGetValues(outer, XmNx, &x, XmNy, &y, XmNwidth, &w, XmNheight, &h, nullptr);
    c->x = x; c->y = y; c->width = w; c->height = h;
  }
  v->value = v->code == WU_A_HPOS ? c->x : v->code == WU_A_VPOS ? c->y
             : v->code == WU_A_WIDTH ? c->width : c->height;
}

int32_t wu_list_title_height(Widget title_frame) {
  Dimension h = 0;
  if (title_frame != nullptr && XtIsManaged(title_frame))
    XtVaGetValues(title_frame, XmNheight, &h, nullptr);
  return h;
}

void wu_list_title_band(Widget title_frame, Widget title, Widget frame, const char *text,
                        int32_t pad) {
  if (text != nullptr) {
    XmString s = wumcstr(text);
    XtVaSetValues(title, XmNlabelString, s, XmNheight,
                  Dimension(wu_list_text_height(text) + pad), nullptr);
    XmStringFree(s);
    XtManageChild(title_frame);
    XtVaSetValues(frame, XmNtopAttachment, XmATTACH_WIDGET, XmNtopWidget, title_frame, nullptr);
  } else {
    XtUnmanageChild(title_frame);
    XtVaSetValues(frame, XmNtopAttachment, XmATTACH_FORM, nullptr);
  }
}

void wu_list_free_table(wu_str_item **rows, int32_t count, int32_t columns) {
  for (int32_t r = 0; rows != nullptr && r < count; ++r) wu_list_free_strings(rows[r], columns);
  XtFree(reinterpret_cast<char *>(rows));
}

void wu_list_free_strings(wu_str_item *items, int32_t count) {
  for (int32_t k = 0; items != nullptr && k < count; ++k)
    XtFree(const_cast<char *>(items[k].text));
  XtFree(reinterpret_cast<char *>(items));
}

void wu_list_event_xy(Widget w, XEvent *event, int32_t *x, int32_t *y) {
  if (event != nullptr && (event->type == ButtonPress || event->type == ButtonRelease)) {
    *x = event->xbutton.x;
    *y = event->xbutton.y;
  } else if (event != nullptr && (event->type == KeyPress || event->type == KeyRelease)) {
    *x = event->xkey.x;
    *y = event->xkey.y;
  } else {
    *x = w ? w->core.x : 0;
    *y = w ? w->core.y : 0;
  }
}

bool wu_list_pane_ok(wu_pane *pane) {
  if (!wu_pane_live(pane)) return false;
  for (wu_pane *p = pane->window->panes; p != nullptr; p = p->next)
    if (p == pane) return true;
  return pane->window->command_pane == pane;
}

Position wu_list_pos(int32_t v) { return Position(std::max(-32768, std::min(32767, v))); }
Dimension wu_list_dim(int32_t v) { return Dimension(std::max(1, std::min(32767, v))); }

wu_value *wu_list_click_params(wu_control *c, int32_t count, int32_t **ids) {
  const int32_t extra = (count * int32_t(sizeof(int32_t)) + int32_t(sizeof(wu_value)) - 1) /
                        int32_t(sizeof(wu_value));
  wu_value *p = wu_ctl_event_params(c, WU_EV_SELECT, 1 + extra);
  *ids = reinterpret_cast<int32_t *>(p + 1);
  p[0].type = WU_VT_IDLIST;
  p[0].value = count;
  p[0].pointer = *ids;
  return p;
}

void wu_list_start_drag(Widget list) {
  if (!wu_x_ok() || list == nullptr || !XtIsRealized(list)) return;
  Window root = 0, child = 0;
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  if (!XQueryPointer(devb->display, XtWindow(list), &root, &child, &rx, &ry, &wx, &wy, &mask)) return;
  wu_drag_desc desc = {rx, ry, wx, wy};
  int32_t started = 0;
  wuwsdnd(list, 0, &desc, &started);
}

// ---- the list view ------------------------------------------------------------

extern "C" {
wu_status wutsbsy(int32_t on);
wu_status wuxglvw(wu_pane *pane, wu_control **out, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t, int32_t, int32_t, int32_t word10);
wu_status wuxclvw(wu_control *c, int32_t operation, const wu_lvw_rows *data, int32_t position,
                  int32_t count);
wu_status wutilvw(wu_control *c);
wu_status wu_create_lsv(wu_pane *pane, wu_control **out);
}

namespace {

constexpr int32_t kOpAdd = 1;
constexpr int32_t kOpDelete = 2;
constexpr int32_t kOpDeleteAll = 7;
constexpr int32_t kViewColumns = 2;          // host view that shows every column
constexpr int32_t kVisibleRows = 15;
constexpr int32_t kTitlePad = 5;
constexpr int32_t kLastMethod = WU_M_EDITITEM;
constexpr int32_t kRewriteFirstRow = 9;      // method code outside the catalogue

typedef struct ListView {
  wu_control c;
  wu_ctl_widgets w;           // the XdMCIconList "lvw", the form "lvw_form"
  int32_t columns;
  int32_t rows;
  int32_t mode;               // selection mode 0, 1, 2
  int32_t top;                // top row kept before the widgets exist
  int32_t selected;           // rows selected at the last selection
  wu_str_item **sel_table;    // answer of selectedItems
  int32_t sel_rows;
  int32_t sel_columns;
  int *sel_pos;               // answer of selectedIndexes
  int32_t sel_pos_count;
  wu_str_item *item_texts;    // answer of _getItem
  int32_t item_columns;
  Widget frame;               // "lvw_frame"
  Widget title;               // "lvw_title"
  Widget title_frame;
  Widget title_form;
  char *title_text;
  int32_t view;               // host view type 0..3
  wu_dnd_site *site;
  int32_t word10;
} ListView;
static_assert(sizeof(ListView) <= WU_CTL_LARGE_SIZE, "list view fits its record kind");

ListView *lv(wu_control *c) { return reinterpret_cast<ListView *>(c); }

ListView *live_lv(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return (wu_ctl_live(c) && c->kind == WU_MT_LISTVIEW) ? lv(c) : nullptr;
}

Widget list_of(ListView *l) { return l->w.main; }

int widget_view(int32_t host_view) {
  static const int kMap[4] = {3, 2, 0, 1};
  return kMap[(host_view >= 0 && host_view <= 3) ? host_view : kViewColumns];
}

int32_t icon_size(int32_t host_view) {
  return (host_view == 0 || host_view == 1) ? WU_ICON_MEDIUM : WU_ICON_SMALL;
}

XmFontList font_of(wu_control *c) {
  return c->font_list != nullptr ? static_cast<XmFontList>(c->font_list)
                                 : (devb ? devb->font_list : nullptr);
}

// The children of the list whose colours follow the control's.
void each_part(ListView *l, void (*fn)(Widget, const char *, Pixel), const char *res, Pixel p) {
  Widget list = list_of(l);
  fn(list, res, p);
  fn(l->w.outer, res, p);
  for (int child : {XdMCIL_COLUMNS_AREA, XdMCIL_HSCROLLBAR, XdMCIL_VSCROLLBAR})
    if (Widget k = XdMCIconListGetChild(list, 0, child)) fn(k, res, p);
  for (int32_t col = 0; col < l->columns; ++col)
    for (int child : {XdMCIL_HEADER, XdMCIL_HANDLE, XdMCIL_LIST})
      if (Widget k = XdMCIconListGetChild(list, col, child)) fn(k, res, p);
}

void set_pixel(Widget w, const char *res, Pixel p) { XtVaSetValues(w, res, p, nullptr); }

int top_row(ListView *l) {
  int top = l->top;
  if (list_of(l) != nullptr) XdMCIconListGetTopItemPos(list_of(l), &top);
  return top;
}

void free_answers(ListView *l) {
  wu_list_free_table(l->sel_table, l->sel_rows, l->sel_columns);
  l->sel_table = nullptr;
  l->sel_rows = l->sel_columns = 0;
  XtFree(reinterpret_cast<char *>(l->sel_pos));
  l->sel_pos = nullptr;
  l->sel_pos_count = 0;
  wu_list_free_strings(l->item_texts, l->item_columns);
  l->item_texts = nullptr;
  l->item_columns = 0;
}

// ---- the title band ----------------------------------------------------------

void show_title(ListView *l) {
  if (l->title_frame == nullptr) return;
  const bool on = l->title_text != nullptr && l->title_text[0] != '\0';
  const int top = top_row(l);
  wu_list_title_band(l->title_frame, l->title, l->frame, on ? l->title_text : nullptr, kTitlePad);
  if (list_of(l) != nullptr && l->rows > 0) XdMCIconListSetTopItemPos(list_of(l), std::max(top, 1));
}

// ---- rows ---------------------------------------------------------------------

// Adds `count` rows before `position` (0: at the end).  `one_row` is a row
// of items for a single row, `rows` a row array for several.
wu_status add_rows(ListView *l, const wu_str_item *one_row, const wu_str_item *const *rows,
                   const int32_t *icons, const int32_t *ids, int32_t position, int32_t count) {
  Widget list = list_of(l);
  if (position == -1) position = 0;
  if (count < 1 || l->columns < 1 || list == nullptr) return WU_NOTAVAIL;
  // The host's count becomes a table of count by columns strings: a count
  // past what the host may hand in one call is a broken count, not rows.
  if (count > WU_HOST_LIST_MAX ||
      wu_array_bytes(int64_t(count) * l->columns, sizeof(XmString)) < 0)
    return WU_NOTAVAIL;
  if (position < 0 || position > l->rows + 1) return WU_NOTAVAIL;
  if (count > 1 && rows == nullptr) return WU_NOTAVAIL;
  if (count == 1 && one_row == nullptr && rows == nullptr) return WU_NOTAVAIL;
  if (count == 1 && one_row == nullptr) one_row = rows[0];
  const int32_t size = icon_size(l->view);
  wu_ctl_handle *focus = nullptr;
  const bool bulk = count > 1;
  if (bulk) {
    focus = wuxacon(l->c.pane);
    XtUnmanageChild(list);
    wutsbsy(1);
  }
  // Strings by column, then row.
  const int32_t cols = l->columns;
  std::vector<std::vector<XmString>> by_column(static_cast<size_t>(cols), std::vector<XmString>(size_t(count)));
  for (int32_t r = 0; r < count; ++r) {
    const wu_str_item *row = count == 1 ? one_row : rows[r];
    for (int32_t k = 0; k < cols; ++k) {
      const wu_str_item *it = row ? &row[k] : nullptr;
      by_column[size_t(k)][size_t(r)] =
          it ? wu_list_xmstring(it->text, it->length) : wumcstr("");
    }
  }
  std::vector<XmString *> columns(static_cast<size_t>(cols));
  for (int32_t k = 0; k < cols; ++k) columns[size_t(k)] = by_column[size_t(k)].data();
  std::vector<Pixmap> pix;
  if (icons != nullptr) {
    pix.resize(size_t(count));
    for (int32_t r = 0; r < count; ++r) pix[size_t(r)] = wu_list_pixmap(icons[r], size);
  }
  std::vector<int32_t> row_ids(static_cast<size_t>(count), 0);
  if (ids != nullptr) std::copy(ids, ids + count, row_ids.begin());
  XdMCIconListAddItems(list, icons ? pix.data() : nullptr, columns.data(), row_ids.data(), count,
                       position);
  for (auto &col : by_column)
    for (XmString s : col) XmStringFree(s);
  l->rows += count;
  if (bulk) {
    XtManageChild(list);
    wutsbsy(0);
    if (focus != nullptr && focus == l->c.handle) wuwfocs(focus);
  }
  return WU_OK;
}

wu_status delete_rows(ListView *l, int32_t start, int32_t count) {
  Widget list = list_of(l);
  if (list == nullptr || l->rows < 1) return WU_NOTAVAIL;
  if (count < 1) return WU_OK;
  if (start < 1 || start > l->rows) return WU_NOTAVAIL;
  count = std::min(count, l->rows - start + 1);
  if (count == 1) {
    XdMCIconListDeletePos(list, start);
  } else {
    XtUnmanageChild(l->w.outer);
    std::vector<int> pos(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) pos[size_t(i)] = start + i;
    XdMCIconListDeletePositions(list, pos.data(), count);
    XtManageChild(l->w.outer);
  }
  l->rows -= count;
  return WU_OK;
}

wu_status delete_all(ListView *l) {
  if (list_of(l) == nullptr) return WU_NOTAVAIL;
  XdMCIconListDeleteAllItems(list_of(l));
  l->rows = 0;
  return WU_OK;
}

// The text of a row's cell (a copy to free with XtFree), or null.
char *cell_text(ListView *l, int32_t row, int32_t column) {
  XmString *strings = nullptr;
  const int n = XdMCIconListGetRowString(list_of(l), row - 1, &strings);
  char *text = (n > column - 1 && strings != nullptr && strings[column - 1] != nullptr)
                   ? wumgstr(strings[column - 1])
                   : nullptr;
  XtFree(reinterpret_cast<char *>(strings));
  return text;
}

// The texts of a row's cells as a new array of one item a column (empty
// texts for cells without one), to free with wu_list_free_strings.
wu_str_item *row_items(ListView *l, Widget list, int32_t row) {
  XmString *strings = nullptr;
  const int k = XdMCIconListGetRowString(list, row - 1, &strings);
  auto *items = reinterpret_cast<wu_str_item *>(
      XtCalloc(Cardinal(std::max(l->columns, 1)), sizeof(wu_str_item)));
  for (int32_t col = 0; col < l->columns; ++col)
    wu_list_set_item(&items[col],
                     (col < k && strings && strings[col]) ? wumgstr(strings[col]) : nullptr);
  XtFree(reinterpret_cast<char *>(strings));
  return items;
}

// Remakes every row's icon at the size of a new view.
void remake_icons(ListView *l, int32_t size) {
  Widget list = list_of(l);
  if (l->rows < 1) return;
  std::vector<Pixmap> icons(static_cast<size_t>(l->rows));
  std::vector<int> pos(static_cast<size_t>(l->rows));
  for (int32_t r = 0; r < l->rows; ++r) {
    const int32_t id = wu_list_icon_id(XdMCIconListGetIcon(list, r + 1));
    icons[size_t(r)] = id < 0 ? Pixmap(None) : wu_list_pixmap(id, size);
    pos[size_t(r)] = r + 1;
  }
  XdMCIconListUpdateItems(list, icons.data(), nullptr, XdIDS_UNCHANGED, l->rows, pos.data());
}

// ---- attributes ---------------------------------------------------------------

bool framework_code(int32_t code) {
  switch (code) {
    case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
    case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY: case WU_A_EVENTPROC:
      return true;
    default:
      return false;
  }
}

wu_status set_font(wu_control *c, const wu_value *e, Widget title, Widget list) {
  const auto *name = static_cast<const char *>(e->pointer);
  if (e->value <= 0 || name == nullptr || name[0] == '\0') return WU_E_NOT_HANDLED;
  XmFontList fl = wu_list_font(c, name, e->value);
  if (fl == nullptr) return WU_NOTAVAIL;
  if (title != nullptr) XtVaSetValues(title, XmNfontList, fl, nullptr);
  if (list != nullptr) XtVaSetValues(list, XmNfontList, fl, nullptr);
  wu_list_font_free(static_cast<XmFontList>(c->font_list));
  c->font_list = fl;
  return WU_OK;
}

// After its attributes are set the list is a drop site again: active,
// composite (its columns lie inside it), the module's drop procedure, and
// copy, move and link; it takes the formats the host gave its site.  Motif
// fixes a site's type when it is registered, so the list is registered
// afresh, then put above its children.  The list gets no drag procedure:
// the drop procedure handles drops only, and Motif's own drag-under
// feedback serves while a drag passes over.
void register_drop_site(ListView *l) {
  Widget list = list_of(l);
  if (list == nullptr || list->core.being_destroyed || !wu_x_ok() ||
      wu_dnd_simple_site_above == nullptr)
    return;
  if (XmDropSiteRegistered(list)) XmDropSiteUnregister(list);
  if (l->site != nullptr) l->site->registered = 0;
  if (wu_dnd_simple_site_above(list) != nullptr) return;
  Arg args[6];
  Cardinal n = 0;
  XtSetArg(args[n], XmNdropSiteActivity, XmDROP_SITE_ACTIVE); ++n;
  XtSetArg(args[n], XmNdropSiteType, XmDROP_SITE_COMPOSITE); ++n;
  XtSetArg(args[n], XmNdropProc, wuwhdrp); ++n;
  XtSetArg(args[n], XmNdropSiteOperations, XmDROP_COPY | XmDROP_MOVE | XmDROP_LINK); ++n;
  if (l->site != nullptr) {
    XtSetArg(args[n], XmNimportTargets, l->site->formats); ++n;
    XtSetArg(args[n], XmNnumImportTargets, l->site->format_count); ++n;
  }
  XmDropSiteRegister(list, args, n);
  XmDropSiteConfigureStackingOrder(list, nullptr, 0);
  if (l->site != nullptr) l->site->registered = XmDropSiteRegistered(list) ? 1 : 0;
}

wu_status ListViewSwat(wu_control *c, wu_value *entries, int32_t count) {
  ListView *l = lv(c);
  Widget list = list_of(l);
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    v->status = WU_OK;
    if (v->code < 0 || v->code > 127) { v->status = WU_E_NOT_HANDLED; continue; }
    if (framework_code(v->code)) continue;
    switch (v->code) {
      case WU_A_ROWS: case WU_A_COLUMNS: case WU_A_SELECTEDITEMS: case WU_A_TITLEHEIGHT:
      case WU_A_SELECTEDCOUNT:
        v->status = WU_E_SIZE_FIXED;
        break;
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->status = wu_list_set_geometry(c, v);
        break;
      case WU_A_FOREGROUND: case WU_A_BACKGROUND: {
        Pixel p = 0;
        v->status = wu_list_set_colour(c, v, &p);
        if (v->status == WU_OK && list != nullptr)
          each_part(l, set_pixel, v->code == WU_A_FOREGROUND ? XmNforeground : XmNbackground, p);
        break;
      }
      case WU_A_TITLE:
        if (v->value < 0 || (v->value > 0 && v->pointer == nullptr)) { v->status = WU_E_RANGE; break; }
        XtFree(l->title_text);
        l->title_text = wu_list_copy(static_cast<const char *>(v->pointer), v->value, WU_LIST_TEXT_MAX);
        show_title(l);
        break;
      case WU_A_MINCHAR: case WU_A_MINROWS: case WU_A_KEYCOMMANDS: case WU_A_ICONSCOLUMN:
      case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_TOPROW:
        if (list == nullptr) {
          l->top = v->value;
        } else if (v->value < 1 || v->value > std::max(l->rows, 1)) {
          v->status = WU_E_RANGE;
        } else {
          XdMCIconListSetTopItemPos(list, v->value);
        }
        break;
      case WU_A_SELECTIONMODE:
        if (list != nullptr) { v->status = WU_E_CREATE_ONLY; break; }
        l->mode = (v->value == 1 || v->value == 2) ? v->value : 0;
        break;
      case WU_A_SELECTEDINDEXES: {
        if (v->value < 1 || v->pointer == nullptr) { v->status = WU_E_RANGE; break; }
        const auto *pos = static_cast<const int32_t *>(v->pointer);
        std::vector<int> ok;
        for (int32_t k = 0; k < v->value; ++k) {
          if (pos[k] < 1 || pos[k] > l->rows) v->status = WU_E_RANGE;
          else ok.push_back(pos[k]);
        }
        if (list != nullptr && !ok.empty())
          l->selected = XdMCIconListSelectPositions(list, int(ok.size()), ok.data(), False);
        break;
      }
      case WU_A_FONT:
        v->status = set_font(c, v, l->title, list);
        break;
      case WU_A_VIEWTYPE: {
        if (v->value < 0 || v->value > 3) { v->status = WU_E_RANGE; break; }
        if (list != nullptr && v->value != l->view) {
          const int32_t size = icon_size(v->value);
          XtUnmanageChild(list);
          if (size != icon_size(l->view)) remake_icons(l, size);
          XtVaSetValues(list, XdNviewType, widget_view(v->value), nullptr);
          XtManageChild(list);
          XdMCIconListSetResizeCursor(list, 0);
        }
        l->view = v->value;
        break;
      }
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK) result = WU_ENTRY_STATUS;
  }
  if (l->w.outer != nullptr) {
    const int top = top_row(l);
    XtVaSetValues(l->w.outer, XmNresizePolicy, XmRESIZE_ANY, XmNx, wu_list_pos(c->x), XmNy,
                  wu_list_pos(c->y), XmNwidth, wu_list_dim(c->width), XmNheight, wu_list_dim(c->height),
                  nullptr);
    // The title is as high as its text in the control's own font.
    if (l->title != nullptr && l->title_text != nullptr && l->title_text[0] != '\0') {
      XmString text = wumcstr(l->title_text);
      const int32_t h = XmStringHeight(font_of(c), text) + kTitlePad;
      XmStringFree(text);
      XtVaSetValues(l->title, XmNheight, wu_list_dim(h), nullptr);
    }
    XtVaSetValues(l->w.outer, XmNresizePolicy, XmRESIZE_NONE, nullptr);
    if (l->rows > 0) XdMCIconListSetTopItemPos(list, std::max(top, 1));
    register_drop_site(l);
  }
  return result;
}

wu_status ListViewQwat(wu_control *c, wu_value *entries, int32_t count) {
  ListView *l = lv(c);
  Widget list = list_of(l);
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > 127) { v->status = WU_E_NOT_HANDLED; result = WU_ENTRY_STATUS; continue; }
    if (framework_code(v->code) || v->code == WU_A_FONT) continue;
    v->status = WU_OK;
    switch (v->code) {
      case WU_A_ROWS: v->value = l->rows; break;
      case WU_A_COLUMNS: v->value = l->columns; break;
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
      case WU_A_MINCHAR: case WU_A_MINROWS: case WU_A_KEYCOMMANDS: case WU_A_ICONSCOLUMN:
      case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_TOPROW: v->value = top_row(l); break;
      case WU_A_SELECTIONMODE: {
        unsigned char policy = static_cast<unsigned char>(l->mode);
        if (list != nullptr) XtVaGetValues(list, XmNselectionPolicy, &policy, nullptr);
        v->value = policy <= 2 ? policy : 0;
        break;
      }
      case WU_A_SELECTEDINDEXES: {
        XtFree(reinterpret_cast<char *>(l->sel_pos));
        l->sel_pos = nullptr;
        l->sel_pos_count = 0;
        int n = 0;
        if (list != nullptr) XdMCIconListGetSelectedPos(list, &l->sel_pos, &n);
        l->sel_pos_count = n;
        v->value = n;
        v->pointer = l->sel_pos;
        v->type = WU_VT_INTLIST;
        break;
      }
      case WU_A_SELECTEDITEMS: {
        wu_list_free_table(l->sel_table, l->sel_rows, l->sel_columns);
        l->sel_table = nullptr;
        l->sel_rows = 0;
        l->sel_columns = l->columns;
        int *pos = nullptr;
        int n = 0;
        if (list != nullptr) XdMCIconListGetSelectedPos(list, &pos, &n);
        v->type = WU_VT_STRTABLE;
        v->second = l->columns;
        if (n > 0) {
          l->sel_table = reinterpret_cast<wu_str_item **>(XtCalloc(Cardinal(n), sizeof(wu_str_item *)));
          for (int r = 0; r < n; ++r) {
            l->sel_table[r] = row_items(l, list, pos[r]);
          }
          l->sel_rows = n;
          v->status = WU_ALLOCATED;
        }
        XtFree(reinterpret_cast<char *>(pos));
        v->value = l->sel_rows;
        v->pointer = l->sel_table;
        break;
      }
      case WU_A_TITLEHEIGHT: v->value = wu_list_title_height(l->title_frame); break;
      case WU_A_SELECTEDCOUNT: v->value = l->selected; break;
      case WU_A_VIEWTYPE: v->value = l->view; break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK) result = WU_ENTRY_STATUS;
  }
  return result;
}

// Gives back the answers the list view keeps; with no entries (release)
// all it owns.
wu_status ListViewCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr) return WU_OK;
  ListView *l = lv(c);
  for (int32_t i = 0; i < count && entries != nullptr; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_ALLOCATED || v->pointer == nullptr) continue;
    if (v->type == WU_VT_STRTABLE && v->pointer == l->sel_table) {
      wu_list_free_table(l->sel_table, l->sel_rows, l->sel_columns);
      l->sel_table = nullptr;
      l->sel_rows = 0;
    } else if (v->type == WU_VT_STRLIST && v->pointer == l->item_texts) {
      wu_list_free_strings(l->item_texts, l->item_columns);
      l->item_texts = nullptr;
      l->item_columns = 0;
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
      wu_list_font_free(static_cast<XmFontList>(c->font_list));
      c->font_list = nullptr;
      l->site = nullptr;
    }
  }
  return WU_OK;
}

// ---- methods ------------------------------------------------------------------

// Rows of a table parameter: value the row count, second the column count.
bool table_ok(const wu_value &v) {
  return v.value >= 0 && (v.value == 0 || v.pointer != nullptr);
}

// A list parameter is absent or as long as the rows.
bool list_fits(const wu_value &v, int32_t rows) {
  return (v.pointer == nullptr && v.value <= 0) || (v.pointer != nullptr && v.value == rows);
}

wu_status find_row(ListView *l, wu_value *params, int32_t count, bool exact) {
  if (count < 3) return WU_NOTAVAIL;
  wu_value &row = params[0];
  if (l->rows < 1) { row.value = 0; return WU_OK; }
  int32_t column = params[1].value == 0 ? 1 : params[1].value;
  if (column < 1 || column > l->columns) return WU_NOTAVAIL;
  if (params[2].value < 0 || (params[2].value > 0 && params[2].pointer == nullptr)) return WU_NOTAVAIL;
  char *text = wu_list_copy(static_cast<const char *>(params[2].pointer), params[2].value, INT_MAX);
  const int32_t n = int32_t(std::strlen(text));
  struct Where { ListView *l; int32_t column; } where{l, column};
  const int32_t found = wu_list_find_row(
      row.value, l->rows, text, n, exact,
      [](void *data, int32_t r) {
        auto *w = static_cast<Where *>(data);
        return cell_text(w->l, r, w->column);
      },
      &where);
  XtFree(text);
  row.value = found;
  return WU_OK;
}

wu_status add_column(ListView *l, wu_value *p, int32_t count) {
  if (count < 6) return WU_NOTAVAIL;
  Widget list = list_of(l);
  if (list == nullptr) return WU_NOTAVAIL;
  const int32_t where = p[0].value;
  if ((where < 1 && where != -1) || where > l->columns + 1) { p[0].status = WU_E_RANGE; return WU_NOTAVAIL; }
  if (p[1].value < 0 || p[1].value == 1 || p[1].value == 2 || p[1].value > 32767) {
    p[1].status = WU_E_RANGE;
    return WU_NOTAVAIL;
  }
  p[3].status = WU_UNSUPPORTED;
  char *name = wu_list_copy(static_cast<const char *>(p[2].pointer), p[2].pointer ? p[2].value : 0,
                            WU_LIST_NAME_MAX);
  XmString label = wumcstr(name);
  XtFree(name);
  wu_pane *pane = l->c.pane;
  const int32_t row = pane->cursor_row, column = pane->cursor_column;
  XtUnmanageChild(l->w.outer);
  XdMCIconListAddColumn(list, label, p[1].value, where == -1 ? 0 : where, p[3].value,
                        p[4].value & 0xffff,
                        reinterpret_cast<XdMCIconListKeyProc>(p[5].pointer));
  XtManageChild(l->w.outer);
  XmStringFree(label);
  pane->cursor_row = row;
  pane->cursor_column = column;
  const int index = where == -1 ? l->columns : where - 1;
  ++l->columns;
  // Header, resize handle and list take button 1; a button-3 press on a
  // list row reaches the control through the widget's post-menu callback.
  for (int child : {XdMCIL_HEADER, XdMCIL_HANDLE, XdMCIL_LIST})
    if (Widget k = XdMCIconListGetChild(list, index, child)) wu_ctl_button1(k, &l->c);
  // The first column is an icon list: the press handler goes on its icon
  // area; its inner list got the handlers when it was made.
  Widget first = XdMCIconListGetChild(list, index, XdMCIL_LIST);
  if (first != nullptr && XtIsSubclass(first, xdIconListWidgetClass))
    if (Widget icons = XdIconListGetChild(first, XdICONLIST_ICONS)) wutmnrq(icons, &l->c);
  return WU_ENTRY_STATUS;
}

wu_status get_column(ListView *l, wu_value *p, int32_t count, bool set) {
  if (count < 6) return WU_NOTAVAIL;
  Widget list = list_of(l);
  if (list == nullptr) return WU_NOTAVAIL;
  const int32_t column = p[0].value;
  if (column < 1 || column > l->columns) {
    p[0].status = WU_E_RANGE;
    return set ? WU_ENTRY_STATUS : WU_NOTAVAIL;
  }
  if (!set) {
    p[3].status = WU_UNSUPPORTED;
    int width = 0;
    XmString label = nullptr;
    int32_t data = 0, sortable = 0;
    XdMCIconListKeyProc key = nullptr;
    XdMCIconListGetColumn(list, column - 1, &width, &label, &data, &sortable, &key);
    p[1].value = width;
    p[3].value = data;
    p[4].value = sortable;
    p[5].pointer = reinterpret_cast<void *>(key);
    char *text = label ? wumgstr(label) : nullptr;
    if (label) XmStringFree(label);
    if (text == nullptr) text = wu_list_copy("", 0, 0);
    p[2].type = WU_VT_STRING;
    p[2].pointer = text;
    p[2].value = int32_t(std::strlen(text));
    p[2].status = WU_ALLOCATED;
    return WU_ENTRY_STATUS;
  }
  if (p[1].value < -1 || p[1].value == 1 || p[1].value == 2) {
    p[1].status = WU_E_RANGE;
    return WU_ENTRY_STATUS;
  }
  const bool justified = p[3].value != -1;
  if (justified) p[3].status = WU_UNSUPPORTED;
  XmString label = nullptr;
  if (p[2].pointer != nullptr && p[2].value > 0) {
    char *name = wu_list_copy(static_cast<const char *>(p[2].pointer), p[2].value, WU_LIST_NAME_MAX);
    label = wumcstr(name);
    XtFree(name);
  }
  // Width -1 keeps the width and 0 fits the column to its header; the
  // format is the sort function as given, none clearing it.
  XdMCIconListSetColumn(list, column - 1, p[1].value, label, p[3].value, p[4].value,
                        reinterpret_cast<XdMCIconListKeyProc>(p[5].pointer));
  if (label) XmStringFree(label);
  return justified ? WU_ENTRY_STATUS : WU_OK;
}

wu_status get_item(ListView *l, wu_value *p, int32_t count) {
  if (count < 4) return WU_NOTAVAIL;
  const int32_t row = p[0].value;
  Widget list = list_of(l);
  if (list == nullptr || row < 1 || (l->rows > 0 && row > l->rows)) return WU_NOTAVAIL;
  wu_list_free_strings(l->item_texts, l->item_columns);
  l->item_texts = nullptr;
  l->item_columns = 0;
  p[2].type = WU_VT_STRLIST;
  if (l->rows == 0) {
    // An empty list answers no texts, no icon and no id.
    p[1].value = -1;
    p[2].value = 0;
    p[2].pointer = nullptr;
    p[3].value = 0;
    return WU_OK;
  }
  p[1].value = wu_list_icon_id(XdMCIconListGetIcon(list, row));
  l->item_columns = l->columns;
  l->item_texts = row_items(l, list, row);
  p[2].value = l->columns;
  p[2].pointer = l->item_texts;
  p[2].status = WU_ALLOCATED;
  p[3].value = XdMCIconListGetId(list, row);
  return WU_ENTRY_STATUS;
}

wu_status update_rows(ListView *l, wu_value *p, int32_t count) {
  if (count < 5) return WU_NOTAVAIL;
  Widget list = list_of(l);
  if (list == nullptr) return WU_NOTAVAIL;
  const int32_t n = p[0].value;
  if (n < 1 || p[0].pointer == nullptr) return WU_NOTAVAIL;
  const auto *positions = static_cast<const int32_t *>(p[0].pointer);
  const bool have_items = p[2].pointer != nullptr && p[2].value > 0;
  if (have_items && (p[2].second != l->columns || p[2].value != n)) return WU_NOTAVAIL;
  if (!list_fits(p[1], n) || !list_fits(p[3], n)) return WU_NOTAVAIL;
  const auto *icons = static_cast<const int32_t *>(p[1].pointer);
  const auto *ids = static_cast<const int32_t *>(p[3].pointer);
  const auto *const *rows = static_cast<const wu_str_item *const *>(p[2].pointer);
  const int32_t size = icon_size(l->view);
  std::vector<Pixmap> pix(static_cast<size_t>(n));
  std::vector<int> pos(positions, positions + n);
  std::vector<std::vector<XmString>> by_column(static_cast<size_t>(l->columns), std::vector<XmString>(size_t(n)));
  for (int32_t r = 0; r < n; ++r) {
    pix[size_t(r)] = (icons == nullptr || icons[r] == -1) ? XdICON_UNCHANGED
                                                          : wu_list_pixmap(icons[r], size);
    for (int32_t k = 0; k < l->columns; ++k) {
      const wu_str_item *it = (have_items && rows[r] != nullptr) ? &rows[r][k] : nullptr;
      by_column[size_t(k)][size_t(r)] =
          (it && it->text && it->length > 0) ? wu_list_xmstring(it->text, it->length) : nullptr;
    }
  }
  std::vector<XmString *> columns(static_cast<size_t>(l->columns));
  for (int32_t k = 0; k < l->columns; ++k) columns[size_t(k)] = by_column[size_t(k)].data();
  const int top = top_row(l);
  std::vector<int32_t> id_copy;
  if (ids != nullptr) id_copy.assign(ids, ids + n);
  XdMCIconListUpdateItems(list, pix.data(), have_items ? columns.data() : nullptr,
                          ids ? id_copy.data() : XdIDS_UNCHANGED, n, pos.data());
  for (auto &col : by_column)
    for (XmString s : col) if (s) XmStringFree(s);
  if (l->rows > 0) XdMCIconListSetTopItemPos(list, std::max(top, 1));
  return WU_OK;
}

wu_status ListViewMethods(wu_ctl_handle *h, int32_t method, wu_value *p, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_LISTVIEW) return WU_NOTAVAIL;
  ListView *l = lv(c);
  Widget list = list_of(l);
  if (method < 1 || method > kLastMethod) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && p == nullptr)) return WU_NOTAVAIL;
  switch (method) {
    case WU_M_ADD: {
      if (count < 5) return WU_NOTAVAIL;
      if (!table_ok(p[2]) || p[2].second != l->columns) return WU_NOTAVAIL;
      if (p[0].value == 0) { p[0].status = WU_E_RANGE; return WU_ENTRY_STATUS; }
      const int32_t rows = p[2].value;
      if (!list_fits(p[1], rows) || !list_fits(p[3], rows)) return WU_NOTAVAIL;
      return add_rows(l, nullptr, static_cast<const wu_str_item *const *>(p[2].pointer),
                      static_cast<const int32_t *>(p[1].pointer),
                      static_cast<const int32_t *>(p[3].pointer), p[0].value, rows);
    }
    case WU_M_DELETE: {
      if (count != 2) return WU_NOTAVAIL;
      int32_t start = p[0].value;
      if (start == -1 && p[1].value == 1) start = l->rows;
      return delete_rows(l, start, p[1].value);
    }
    case WU_M_DELETEALL:
      if (count != 0) return WU_NOTAVAIL;
      if (list != nullptr) XdMCIconListDeselectAll(list);
      l->selected = 0;
      return delete_all(l);
    case WU_M_ADDCOLUMN:
      return add_column(l, p, count);
    case WU_M_DELETECOLUMN: {
      if (count < 1 || list == nullptr) return WU_NOTAVAIL;
      const int32_t column = p[0].value == -1 ? l->columns : p[0].value;
      if (column < 1 || column > l->columns) return WU_NOTAVAIL;
      if (XdMCIconListDeleteColumn(list, column)) {
        --l->columns;
        // Rows without columns hold nothing.
        if (l->columns == 0) l->rows = 0;
      }
      return WU_OK;
    }
    case WU_M_SELECTALL:
      if (list == nullptr) return WU_NOTAVAIL;
      l->selected = XdMCIconListSelectAll(list);
      return WU_OK;
    case WU_M_DESELECTALL:
      if (list == nullptr) return WU_NOTAVAIL;
      XdMCIconListDeselectAll(list);
      l->selected = 0;
      return WU_OK;
    case WU_M_DESELECT: {
      if (count < 1 || list == nullptr) return WU_NOTAVAIL;
      if (p[0].value < 0 || (p[0].value > 0 && p[0].pointer == nullptr)) return WU_NOTAVAIL;
      const auto *rows = static_cast<const int32_t *>(p[0].pointer);
      for (int32_t i = 0; i < p[0].value; ++i) l->selected = XdMCIconListDeselectPos(list, rows[i]);
      return WU_OK;
    }
    case WU_M_ISSELECTED: {
      if (count < 2 || list == nullptr) return WU_NOTAVAIL;
      int *pos = nullptr;
      int n = 0;
      XdMCIconListGetSelectedPos(list, &pos, &n);
      p[1].value = (pos != nullptr && std::find(pos, pos + n, p[0].value) != pos + n) ? 1 : 0;
      XtFree(reinterpret_cast<char *>(pos));
      return WU_OK;
    }
    case WU_M_GETITEM:
      return get_item(l, p, count);
    case WU_M_FINDEXACT:
      return find_row(l, p, count, true);
    case WU_M_FIND:
      return find_row(l, p, count, false);
    case WU_M_GETCOLUMN:
      return get_column(l, p, count, false);
    case WU_M_SETCOLUMN:
      return get_column(l, p, count, true);
    case WU_M_UPDATEROWS:
      return update_rows(l, p, count);
    case WU_M_EDITITEM:
      return WU_UNSUPPORTED;
    case kRewriteFirstRow: {
      if (list != nullptr && l->rows > 0) {
        XmString *strings = nullptr;
        const int k = XdMCIconListGetRowString(list, 0, &strings);
        std::vector<XmString> copies(static_cast<size_t>(k));
        std::vector<XmString *> cols(static_cast<size_t>(k));
        for (int i = 0; i < k; ++i) {
          copies[size_t(i)] = strings[i] ? XmStringCopy(strings[i]) : nullptr;
          cols[size_t(i)] = &copies[size_t(i)];
        }
        XtFree(reinterpret_cast<char *>(strings));
        Pixmap keep = XdICON_UNCHANGED;
        int first = 1;
        XtUnmanageChild(list);
        XdMCIconListUpdateItems(list, &keep, cols.data(), XdIDS_UNCHANGED, 1, &first);
        XtManageChild(list);
        for (XmString s : copies) if (s) XmStringFree(s);
      }
      return WU_NOTAVAIL;
    }
    default:
      return WU_NOTAVAIL;
  }
}

// ---- user actions ---------------------------------------------------------------

void focus_first_column(ListView *l) {
  wu_state *state = wu_module();
  Widget inner = XdMCIconListGetChild(list_of(l), 0, XdMCIL_LIST);
  if (inner != nullptr) inner = XdIconListGetChild(inner, XdICONLIST_LIST);
  if (state != nullptr && inner != nullptr) {
    state->last_input = inner;
    state->focus = inner;
  }
}

void wuwlstv(Widget w, XtPointer client, XtPointer call) {
  ListView *l = live_lv(client);
  if (l == nullptr || call == nullptr) return;
  wu_control *c = &l->c;
  wutgbat();
  const int reason = *static_cast<int *>(call);
  switch (reason) {
    case XmCR_SINGLE_SELECT: case XmCR_MULTIPLE_SELECT: case XmCR_EXTENDED_SELECT:
    case XmCR_BROWSE_SELECT: {
      auto *cbs = static_cast<XmListCallbackStruct *>(call);
      int *pos = nullptr;
      int n = 0;
      XdMCIconListGetSelectedPos(list_of(l), &pos, &n);
      if (l->selected == 0 && n == 0) {
        XtFree(reinterpret_cast<char *>(pos));
        return;
      }
      l->selected = n;
      int32_t x = 0, y = 0;
      wu_list_event_xy(w, cbs->event, &x, &y);
      if (c->event_mask & WU_EVM_CLICK_NODE) {
        XdMCIconListSetLastSelected(list_of(l), cbs->item_position);
        int32_t *id_array = nullptr;
        wu_value *prm =
            wu_list_click_params(c, reason == XmCR_SINGLE_SELECT ? 1 : n, &id_array);
        if (reason == XmCR_SINGLE_SELECT)
          id_array[0] = XdMCIconListGetId(list_of(l), cbs->item_position);
        else
          for (int i = 0; i < n; ++i) id_array[i] = XdMCIconListGetId(list_of(l), pos[i]);
        const int32_t sent = wu_ctl_send(c, WU_EV_SELECT, 0, x, y, prm, 1, WU_EV_CTL_POSTED);
        // The recording names the first selected row, which replay selects.
        if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_SELECT, n > 0 ? pos[0] : 0, sent, 0.0, 0);
      } else {
        wu_ctl_record(c, WU_EV_SELECT, n > 0 ? pos[0] : 0, 0, 0.0, 0);
      }
      XtFree(reinterpret_cast<char *>(pos));
      if (live_lv(client) != nullptr) focus_first_column(l);
      return;
    }
    case XmCR_DEFAULT_ACTION: {
      auto *cbs = static_cast<XmListCallbackStruct *>(call);
      int32_t x = 0, y = 0;
      wu_list_event_xy(w, cbs->event, &x, &y);
      wu_value *prm = wu_ctl_event_params(c, WU_EV_DOUBLECLICK, 1);
      prm[0].type = WU_VT_WORD;
      prm[0].value = XdMCIconListGetId(list_of(l), cbs->item_position);
      const int32_t sent = wu_ctl_send(c, WU_EV_DOUBLECLICK, WU_EVM_DOUBLECLICK, x, y, prm, 1,
                                       WU_EV_CTL_POSTED);
      if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_DOUBLECLICK, cbs->item_position, sent, 0.0, 0);
      return;
    }
    case XmCR_ACTIVATE: {
      auto *cbs = static_cast<XmListCallbackStruct *>(call);
      const int32_t column = cbs->item_position;
      int32_t sent = 0;
      if (!cbs->selection_type) {
        int32_t x = 0, y = 0;
        wu_list_event_xy(w, cbs->event, &x, &y);
        wu_value *prm = wu_ctl_event_params(c, WU_EV_COLUMNCLICK, 1);
        prm[0].type = WU_VT_INT;
        prm[0].value = column;
        sent = wu_ctl_send(c, WU_EV_COLUMNCLICK, WU_EVM_COLUMNCLICK, x, y, prm, 1,
                           WU_EV_CTL_POSTED);
      }
      if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_COLUMNCLICK, column, sent, 0.0, 0);
      return;
    }
    case XdCR_POST_MENU: {
      auto *cbs = static_cast<XdMCIconListMenuCallbackStruct *>(call);
      int32_t x = 0, y = 0;
      wu_list_event_xy(w, cbs->event, &x, &y);
      const int32_t sent =
          wu_ctl_send(c, WU_EV_POPUP, WU_EVM_POPUP, x, y, nullptr, 0, WU_EV_CTL_POSTED);
      if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_POPUP, 0, sent, 0.0, 0);
      return;
    }
    case XdCR_BUTTON_PRESS: {
      wu_window *window = wu_ctl_window(c);
      if (window != nullptr) wuxqwev(window, WU_EV_CTL_WAKE, nullptr, 0);
      return;
    }
    case XmCR_DRAG:
      wu_list_start_drag(list_of(l));
      return;
    default:
      return;
  }
}

// The delete keys: Delete posts deleteNode, BackSpace code 28, whatever the
// event mask says.
void DeleteNode(Widget w, XtPointer client, XtPointer call) {
  ListView *l = live_lv(client);
  if (l == nullptr) return;
  const KeySym sym = static_cast<KeySym>(reinterpret_cast<uintptr_t>(call));
  const int32_t code = sym == XK_BackSpace ? WU_EV_BACKSPACE : WU_EV_DELETENODE;
  const int32_t sent = wu_ctl_send(&l->c, code, 0, w->core.x, w->core.y, nullptr, 0,
                                   WU_EV_CTL_POSTED);
  if (wu_ctl_live(&l->c)) wu_ctl_record(&l->c, code, 0, sent, 0.0, 0);
}

// ---- replay --------------------------------------------------------------------

wu_status ListViewReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec == nullptr) return WU_NOTAVAIL;
  ListView *l = lv(c);
  Widget list = list_of(l);
  switch (rec->code) {
    case WU_EV_SELECT: case WU_EV_POPUP: case WU_EV_DOUBLECLICK: case WU_EV_COLUMNCLICK:
    case WU_EV_KEYCOMMAND: case WU_EV_CLICKONLY: case WU_EV_DELETENODE: case WU_EV_BEGINEDIT:
    case WU_EV_ENDEDIT: case WU_EV_BACKSPACE:
      break;
    default:
      return WU_NOTAVAIL;
  }
  if (!rec->sent) {
    if (rec->code == WU_EV_COLUMNCLICK && list != nullptr && rec->value1 >= 1 &&
        rec->value1 <= l->columns) {
      int32_t sortable = 0;
      XdMCIconListGetColumn(list, rec->value1 - 1, nullptr, nullptr, nullptr, &sortable, nullptr);
      if (sortable) XdMCIconListSortOnColumn(list, rec->value1 - 1);
    }
    if (rec->code == WU_EV_SELECT && list != nullptr && rec->value1 >= 1 && rec->value1 <= l->rows)
      XdMCIconListSelectPos(list, rec->value1, False);
    return WU_OK;
  }
  wu_value *prm = nullptr;
  int32_t n = 0;
  switch (rec->code) {
    case WU_EV_SELECT:
      // The recorded row is selected again before its ids are posted.
      if (list != nullptr && rec->value1 >= 1 && rec->value1 <= l->rows) {
        XdMCIconListSelectPos(list, rec->value1, False);
        l->selected = std::max(l->selected, 1);
        int32_t *id = nullptr;
        prm = wu_list_click_params(c, 1, &id);
        id[0] = XdMCIconListGetId(list, rec->value1);
        n = 1;
      }
      break;
    case WU_EV_DOUBLECLICK:
      prm = wu_ctl_event_params(c, WU_EV_DOUBLECLICK, 1);
      prm[0].type = WU_VT_WORD;
      prm[0].value = (list != nullptr && rec->value1 >= 1 && rec->value1 <= l->rows)
                         ? XdMCIconListGetId(list, rec->value1) : 0;
      n = 1;
      break;
    case WU_EV_COLUMNCLICK:
      prm = wu_ctl_event_params(c, WU_EV_COLUMNCLICK, 1);
      prm[0].type = WU_VT_INT;
      prm[0].value = rec->value1;
      n = 1;
      break;
    case WU_EV_KEYCOMMAND:
      prm = wu_ctl_event_params(c, WU_EV_KEYCOMMAND, 2);
      prm[0].type = WU_VT_BOOL;
      prm[0].value = rec->value1;
      prm[1].type = WU_VT_INT;
      prm[1].value = int32_t(rec->value2);
      n = 2;
      break;
    default:
      break;
  }
  wu_ctl_send(c, rec->code, 0, c->x, c->y, prm, n, WU_EV_CTL_POSTED);
  return WU_OK;
}

// ---- drag and drop ---------------------------------------------------------------

wu_status ListViewRegisterDND(wu_ctl_handle *h, void *site_out, void *entries, void *count) {
  wu_control *c = wu_ctl_of(h);
  ListView *l = c ? lv(c) : nullptr;
  if (l == nullptr || list_of(l) == nullptr || wumrdnd == nullptr) return WU_NOTAVAIL;
  wu_dnd_site *site = wumrdnd(list_of(l));
  if (site == nullptr) return WU_NOTAVAIL;
  site->window = wu_ctl_window(c);
  site->kind = WU_CTYPE_TREEVIEW;
  site->drop_proc = wuwhdrp;
  site->owner = h;
  l->site = site;
  c->dnd = site;
  if (site_out != nullptr) *static_cast<void **>(site_out) = site;
  wumsdnd(site);
  if (entries != nullptr && wuxsdnd != nullptr)
    return wuxsdnd(site, static_cast<wu_value *>(entries),
                   int32_t(reinterpret_cast<intptr_t>(count)));
  return WU_OK;
}

wu_status ListViewUnregisterDND(wu_ctl_handle *h, void *site, void *, void *) {
  wu_control *c = wu_ctl_of(h);
  ListView *l = c ? lv(c) : nullptr;
  if (l == nullptr || l->site == nullptr || l->site != site || list_of(l) == nullptr)
    return WU_NOTAVAIL;
  l->site = nullptr;
  c->dnd = nullptr;
  return wumudnd != nullptr ? wumudnd(list_of(l)) : WU_OK;
}

wu_status ListViewQueryDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  wu_control *c = wu_ctl_of(h);
  ListView *l = c ? lv(c) : nullptr;
  if (l == nullptr || l->site == nullptr || l->site != site || wuxqdnd == nullptr)
    return WU_NOTAVAIL;
  return wuxqdnd(l->site, static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
}

wu_status ListViewSetDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  wu_control *c = wu_ctl_of(h);
  ListView *l = c ? lv(c) : nullptr;
  if (l == nullptr || l->site == nullptr || l->site != site || wuxsdnd == nullptr)
    return WU_NOTAVAIL;
  return wuxsdnd(l->site, static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
}

void install_slots(wu_control *c, bool all) {
  c->Swat = ListViewSwat;
  c->Qwat = ListViewQwat;
  c->Methods = ListViewMethods;
  c->Cleanup = ListViewCleanup;
  if (!all) return;
  c->UnregisterDND = ListViewUnregisterDND;
  c->RegisterDND = ListViewRegisterDND;
  c->QueryDND = ListViewQueryDND;
  c->SetDND = ListViewSetDND;
  c->Replay = ListViewReplay;
}

// Module translations and the press handlers of every widget of the kind.
void dress(Widget w, wu_control *c) {
  if (devb->popup_translation != nullptr) XtOverrideTranslations(w, devb->popup_translation);
  wutmnrq(w, c);
}

}  // namespace

extern "C" {

wu_status wutilvw(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_LISTVIEW || !wu_x_ok() || c->pane == nullptr ||
      c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  ListView *l = lv(c);
  if (l->w.main != nullptr) return WU_OK;
  install_slots(c, true);
  wu_window *window = wu_ctl_window(c);
  wu_ctl_colours dialog, list_set;
  wu_ctl_class_colours(window, &list_set);
  dialog = list_set;
  if (wuwgpmc != nullptr) wuwgpmc(window, WU_CSET_DIALOG, &dialog);
  Arg args[24];
  Cardinal n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNx, wu_list_pos(c->x)); ++n;
  XtSetArg(args[n], XmNy, wu_list_pos(c->y)); ++n;
  XtSetArg(args[n], XmNwidth, wu_list_dim(c->width)); ++n;
  XtSetArg(args[n], XmNheight, wu_list_dim(c->height)); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNmappedWhenManaged, (c->flags & WU_CTL_HIDDEN) ? False : True); ++n;
  XtSetArg(args[n], XmNbackground, dialog.background); ++n;
  XtSetArg(args[n], XmNresizePolicy, XmRESIZE_NONE); ++n;
  Widget form = XmCreateForm(c->pane->ext->widget, const_cast<char *>("lvw_form"), args, n);
  if (form == nullptr) return WU_NOTAVAIL;
  l->w.outer = form;
  dress(form, c);

  wu_list_make_title(form, c, dialog.background, dialog.foreground, kTitlePad, font_of(c), "lvw_title",
                     &l->title_frame, &l->title_form, &l->title);
  for (Widget k : {l->title_frame, l->title_form, l->title}) {
    dress(k, c);
    XtAddEventHandler(k, ButtonPressMask, False, wuwrent, window);
  }
  wuwddrg(l->title);
  XtManageChild(l->title);
  XtManageChild(l->title_form);

  n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNbackground, dialog.background); ++n;
  XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  l->frame = XmCreateFrame(form, const_cast<char *>("lvw_frame"), args, n);
  dress(l->frame, c);

  n = 0;
  wu_list_common_args(args, &n, c);
  XtSetArg(args[n], XmNvisibleItemCount, kVisibleRows); ++n;
  XtSetArg(args[n], XdNheaderColor, dialog.background); ++n;
  XtSetArg(args[n], XmNselectionPolicy, static_cast<unsigned char>(l->mode)); ++n;
  XtSetArg(args[n], XmNfontList, font_of(c)); ++n;
  XtSetArg(args[n], XmNforeground, c->foreground ? Pixel(c->foreground->pixel) : list_set.foreground); ++n;
  XtSetArg(args[n], XmNbackground, c->background ? Pixel(c->background->pixel) : list_set.background); ++n;
  XtSetArg(args[n], XdNviewType, widget_view(l->view)); ++n;
  Widget list = XdCreateMCIconList(l->frame, const_cast<char *>("lvw"), args, n);
  if (list == nullptr) {
    XtDestroyWidget(form);
    l->w.outer = nullptr;
    return WU_NOTAVAIL;
  }
  l->w.main = list;
  dress(list, c);
  XdMCIconListSetResizeCursor(list, 0);
  // A press on the columns area (between and below the lists) is the
  // control's; the scroll bars take button 1 only.
  if (Widget area = XdMCIconListGetChild(list, 0, XdMCIL_COLUMNS_AREA)) wutmnrq(area, c);
  for (int bar : {XdMCIL_HSCROLLBAR, XdMCIL_VSCROLLBAR})
    if (Widget k = XdMCIconListGetChild(list, 0, bar)) wu_ctl_button1(k, c);
  // Before any column: the first column's inner list takes this record
  // (and the creation hook its handlers, wu_list_widget_created).
  XdMCIconListOverrideUserData(list, c);
  for (const char *cb : {XmNbrowseSelectionCallback, XmNdefaultActionCallback,
                         XmNextendedSelectionCallback, XmNmultipleSelectionCallback,
                         XmNsingleSelectionCallback, XdNdragCallback, XdNpostMenuCallback})
    XtAddCallback(list, cb, wuwlstv, c);
  XtAddCallback(list, XdNdeleteNodeCallback, DeleteNode, c);
  XtManageChild(list);
  XtManageChild(l->frame);
  show_title(l);
  XtManageChild(form);
  // A top row the host set before the build.
  if (l->top > 1 && l->rows > 0) XdMCIconListSetTopItemPos(list, std::min(l->top, l->rows));
  if (!(c->flags & WU_CTL_HIDDEN)) c->flags |= WU_CTL_SHOWN;
  return WU_OK;
}

wu_status wuxglvw(wu_pane *pane, wu_control **out, int32_t x, int32_t y, int32_t width,
                  int32_t height, int32_t, int32_t, int32_t, int32_t word10) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  if (!wu_list_pane_ok(pane)) return WU_NOTAVAIL;
  wu_control *c = wu_list_new_control(pane, WU_MT_LISTVIEW);
  if (c == nullptr) return WU_NOMEM;
  auto *l = reinterpret_cast<ListView *>(c);
  install_slots(c, false);
  c->x = x;
  c->y = y;
  c->width = std::max(width, 1);
  c->height = std::max(height, 1);
  c->flags |= WU_CTL_TAKES_FOCUS;
  l->word10 = word10;
  l->columns = l->rows = 0;
  l->view = kViewColumns;
  if ((pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr &&
      wutilvw(c) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

wu_status wu_create_lsv(wu_pane *pane, wu_control **out) {
  return wuxglvw(pane, out, 1, 1, 100, 100, 0, 0, 0, 0);
}

wu_status wuxclvw(wu_control *c, int32_t operation, const wu_lvw_rows *data, int32_t position,
                  int32_t count) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_LISTVIEW) return WU_NOTAVAIL;
  ListView *l = lv(c);
  switch (operation) {
    case kOpAdd:
      if (data == nullptr || data->texts == nullptr) return WU_NOTAVAIL;
      return add_rows(l, count == 1 ? static_cast<const wu_str_item *>(data->texts) : nullptr,
                      count == 1 ? nullptr : static_cast<const wu_str_item *const *>(data->texts),
                      data->icons, data->ids, position, count);
    case kOpDelete:
      return delete_rows(l, position, count);
    case kOpDeleteAll:
      return delete_all(l);
    default:
      return WU_OK;
  }
}

}  // extern "C"

// The creation hook of the widget set: the inner list of a list view's
// first column gets the control's input handlers and the module's control
// translations as soon as it is made, so that a press on a row reaches
// the control like a press anywhere else in it.
extern "C" void wu_list_widget_created(Widget w, int kind) {
  if (kind != XdHOOK_MCICONLIST || w == nullptr || devb == nullptr) return;
  XtPointer data = nullptr;
  XtVaGetValues(w, XmNuserData, &data, nullptr);
  auto *c = static_cast<wu_control *>(data);
  if (!wu_ctl_live(c) || c->kind != WU_MT_LISTVIEW) return;
  wutmnrq(w, c);
  if (devb->control_translation != nullptr) XtOverrideTranslations(w, devb->control_translation);
}

extern "C" Widget wu_lsv_focus(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_LISTVIEW || lv(c)->w.main == nullptr) return nullptr;
  Widget list = lv(c)->w.main;
  Widget first = XdMCIconListGetChild(list, 0, XdMCIL_LIST);
  Widget inner = first ? XdIconListGetChild(first, XdICONLIST_LIST) : nullptr;
  return inner != nullptr ? inner : list;
}
