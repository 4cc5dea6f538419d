// Attribute set and query of every control: the kind's own setter and query
// run first, then the codes that all kinds share; the clean-up gives back
// what a query handed out.
#include <Xm/Xm.h>

#include <cstring>

#include "controls/wucontrol.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"

namespace {

// Event codes and the mask bits they set.  Codes 1-9 are bits 0-8.
struct EventBit {
  int32_t code;
  uint32_t bit;
};
constexpr EventBit kEventBits[] = {
    {10, 0x200},     {11, 0x400},     {12, 0x800},     {13, 0x1000},
    {WU_EV_COLUMNCLICK, 0x4000},      {WU_EV_CONFORMSIZE, 0x2000},
    {WU_EV_CLICK, WU_EVM_CLICK},      {WU_EV_PREVIRTUALKEY, WU_EVM_PREVIRTUALKEY},
    {30, 0x20000},   {WU_EV_VALUECHANGED, WU_EVM_VALUECHANGED},
};
constexpr int32_t kFirstBitCodes = 9;       // codes 1-9 map to bits 0-8
constexpr int32_t kAllEventsCode = 17;      // in an events list: every event
constexpr uint32_t kAllEvents = 0xffffffffu;
// Order in which a query lists the set bits (after codes 1-9).
constexpr int32_t kQueryOrder[] = {WU_EV_CLICK, WU_EV_COLUMNCLICK, 10, 11, 12, 13,
                                   WU_EV_CONFORMSIZE, WU_EV_PREVIRTUALKEY, 30,
                                   WU_EV_VALUECHANGED};
// Entries of the events answer buffer.
constexpr int32_t kEventsAnswer = 23;
constexpr int32_t kVirtualKeys = WU_VK_LAST + 1;
constexpr int32_t kLastCommonCode = WU_A_EVENTPROC;

uint32_t event_bit(int32_t code) {
  if (code >= 1 && code <= kFirstBitCodes) return 1u << (code - 1);
  for (const EventBit &e : kEventBits)
    if (e.code == code) return e.bit;
  return 0;
}

// Handle types whose foreground and background the common code applies.
bool common_colours(int32_t type) {
  switch (type) {
    case WU_CTYPE_ENTRY: case WU_CTYPE_LABEL: case WU_CTYPE_CHECK: case WU_CTYPE_PROGRESS:
      return true;
    default:
      return false;
  }
}

// Handle types whose kind query owns the colours.
bool kind_queries_colours(int32_t type) {
  switch (type) {
    case WU_CTYPE_LISTVIEW: case WU_CTYPE_TREEVIEW: case WU_CTYPE_PUSH: case WU_CTYPE_SCROLL:
    case WU_CTYPE_LISTBOX: case WU_CTYPE_RADIO:
      return true;
    default:
      return false;
  }
}

void *window_colour_table(wu_control *c) {
  wu_window *w = wu_ctl_window(c);
  return w != nullptr ? w->colours : nullptr;
}

bool alloc_cell(wu_colour_cell *cell) {
  if (wuglclr != nullptr) return wuglclr(cell, 1, nullptr) == WU_OK;
  if (!wu_x_ok()) return false;
  XColor xc = {};
  xc.red = cell->red;
  xc.green = cell->green;
  xc.blue = cell->blue;
  xc.flags = DoRed | DoGreen | DoBlue;
  if (!XAllocColor(devb->display, devb->colormap, &xc)) return false;
  cell->pixel = static_cast<uint32_t>(xc.pixel);
  return true;
}

void free_cell(wu_control *c, wu_colour_cell *cell) {
  if (cell == nullptr) return;
  if (wugrclr != nullptr)
    wugrclr(cell, 1, window_colour_table(c));
  else if (wu_x_ok()) {
    unsigned long pixel = cell->pixel;
    XFreeColors(devb->display, devb->colormap, &pixel, 1, 0);
  }
  XtFree(reinterpret_cast<char *>(cell));
}

// Applies a foreground or background pixel to the control's main widget.
void apply_pixel(wu_control *c, const char *resource, Pixel pixel) {
  Widget w = wuwgxtw(c);
  if (w == nullptr || !wu_x_ok()) return;
  const bool managed = XtIsManaged(w);
  if (!managed) XtManageChild(w);
  XtVaSetValues(w, resource, pixel, nullptr);
  if (!managed) XtUnmanageChild(w);
}

// Sets a colour role (41 foreground, 56 background).  The new colour is
// had before the old one is given back, so a failure keeps the old one.
wu_status set_colour(wu_control *c, const wu_value *e) {
  const bool fg = e->code == WU_A_FOREGROUND;
  wu_colour_cell **slot = fg ? &c->foreground : &c->background;
  const char *resource = fg ? XmNforeground : XmNbackground;
  const uint16_t *rgb = static_cast<const uint16_t *>(e->pointer);
  if (e->value == 0 && rgb == nullptr) {
    wu_ctl_colours set;
    wu_ctl_class_colours(wu_ctl_window(c), &set);
    free_cell(c, *slot);
    *slot = nullptr;
    apply_pixel(c, resource, fg ? wu_ctl_error_foreground(c, set.foreground) : set.background);
    return WU_OK;
  }
  // The components are at the pointer word (the value word of a 32-bit
  // host carries the same address).
  if (rgb == nullptr) return WU_E_RANGE;
  auto *cell = reinterpret_cast<wu_colour_cell *>(XtCalloc(1, sizeof(wu_colour_cell)));
  cell->red = rgb[0];
  cell->green = rgb[1];
  cell->blue = rgb[2];
  if (!alloc_cell(cell)) {
    XtFree(reinterpret_cast<char *>(cell));
    return WU_E_RANGE;
  }
  free_cell(c, *slot);
  *slot = cell;
  apply_pixel(c, resource, fg ? wu_ctl_error_foreground(c, cell->pixel) : Pixel(cell->pixel));
  return WU_OK;
}

// A host list: `count` items at the pointer; a positive count needs one.
bool list_ok(const wu_value *e) { return e->value <= 0 || e->pointer != nullptr; }

// The result of a set or query once the kind and the common codes have
// run: a failure of the call stands; otherwise the final entry statuses
// decide.
wu_status final_result(wu_status result, const wu_value *entries, int32_t count) {
  if (result != WU_OK && result != WU_ENTRY_STATUS) return result;
  for (int32_t i = 0; i < count; ++i)
    if (entries[i].status != WU_OK) return WU_ENTRY_STATUS;
  return WU_OK;
}

void set_events(wu_control *c, wu_value *e) {
  c->event_mask = 0;
  const int32_t *codes = static_cast<const int32_t *>(e->pointer);
  for (int32_t i = 0; i < e->value; ++i) {
    if (codes[i] == kAllEventsCode) c->event_mask = kAllEvents;
    else c->event_mask |= event_bit(codes[i]);
  }
}

bool set_vkeys(wu_control *c, wu_value *e) {
  bool ok = true;
  c->vkey_mask = 0;
  const int32_t *keys = static_cast<const int32_t *>(e->pointer);
  for (int32_t i = 0; i < e->value; ++i) {
    if (keys[i] >= WU_VK_FIRST && keys[i] <= WU_VK_LAST)
      c->vkey_mask = static_cast<int16_t>(c->vkey_mask | (1 << keys[i]));
    else
      ok = false;
  }
  return ok;
}

void set_tip(wu_control *c, const wu_value *e) {
  XtFree(c->tip);
  c->tip = nullptr;
  if (e->value > 0) {
    c->tip = XtCalloc(1, static_cast<Cardinal>(e->value) + 2);
    std::memcpy(c->tip, e->pointer, static_cast<size_t>(e->value));
  }
}

// The events list of a query: the control keeps one buffer for it.
void query_events(wu_control *c, wu_ctl_handle *h, wu_value *e) {
  if (c->events_answer == nullptr)
    c->events_answer = reinterpret_cast<int32_t *>(XtCalloc(kEventsAnswer, sizeof(int32_t)));
  int32_t n = 0;
  if (c->event_mask == kAllEvents) {
    wu_cat_map *map = nullptr;
    if (wuxgmap(h->type, &map, nullptr, 0) == WU_OK && map != nullptr)
      for (int32_t i = 0; i < map->event_count && n < kEventsAnswer; ++i)
        c->events_answer[n++] = map->events[i].code;
  } else {
    for (int32_t code = 1; code <= kFirstBitCodes; ++code)
      if (c->event_mask & event_bit(code)) c->events_answer[n++] = code;
    for (int32_t code : kQueryOrder)
      if (c->event_mask & event_bit(code)) c->events_answer[n++] = code;
  }
  e->status = WU_OK;
  e->pointer = c->events_answer;
  e->value = n;
}

}  // namespace

extern "C" {

int32_t wu_cell_of(int32_t pixels, int32_t cell) {
  if (cell <= 0) return pixels;
  return (pixels + cell - 1) / cell;
}

void wu_ctl_free_colours(wu_control *c) {
  free_cell(c, c->foreground);
  c->foreground = nullptr;
  free_cell(c, c->background);
  c->background = nullptr;
}

wu_status wuxswat(wu_control *c, wu_value *entries, int32_t count) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  for (int32_t i = 0; i < count; ++i) entries[i].status = WU_OK;
  // Entries of the wrong value type or out of X's range stop here.
  wu_value *const host_entries = entries;
  const int32_t host_count = count;
  wu_ctl_entries checked(c, entries, count, false);
  entries = checked.data();
  count = checked.count();
  wu_status result = WU_NO_SETTER;
  if (c->Swat != nullptr) result = c->Swat(c, entries, count);
  if (!wu_ctl_live(c)) return final_result(checked.finish(result), host_entries, host_count);
  wu_ctl_handle *h = c->handle;
  // An older control without a handle takes the common codes as one.
  const int32_t type = h != nullptr ? h->type : WU_CTL_TYPE_OLDER;
  if (type < 0 || type > WU_CTL_TYPE_OLDER || count < 1)
    return final_result(checked.finish(result), host_entries, host_count);
  auto refuse = [&result](wu_value *e, wu_status st) {
    e->status = st;
    result = WU_ENTRY_STATUS;
  };
  for (int32_t i = 0; i < count; ++i) {
    wu_value *e = &entries[i];
    switch (e->code) {
      case WU_A_CLASSTYPE:
      case WU_A_CONTROLID:
        refuse(e, WU_E_SIZE_FIXED);
        break;
      case WU_A_ENABLED:
        e->status = WU_OK;
        wuxgrwd(c, (e->value & 0xffff) == 0 ? 1 : 0);
        break;
      case WU_A_VISIBLE:
        e->status = WU_OK;
        wuxhwid(c, (e->value & 0xffff) != 0 ? 1 : 0);
        break;
      case WU_A_USERDATA:
        e->status = WU_OK;
        c->user_data.address = e->pointer != nullptr ? e->pointer
                                                     : reinterpret_cast<void *>(
                                                           static_cast<intptr_t>(e->value));
        break;
      case WU_A_TOOLTIP:
        if (!list_ok(e)) { refuse(e, WU_E_RANGE); break; }
        set_tip(c, e);
        e->status = WU_OK;
        break;
      case WU_A_EVENTS:
        // A negative count is refused and leaves the mask as it was.
        if (e->value < 0 || !list_ok(e)) { refuse(e, WU_E_RANGE); break; }
        e->status = WU_OK;
        set_events(c, e);
        break;
      case WU_A_VIRTUALKEYS:
        if (e->value < 0 || !list_ok(e)) { refuse(e, WU_E_RANGE); break; }
        e->status = WU_OK;
        if (!set_vkeys(c, e)) refuse(e, WU_E_RANGE);
        break;
      case WU_A_CLICKONLY:
        e->status = WU_OK;
        c->click_only = static_cast<int16_t>(e->value & 0xffff);
        break;
      case WU_A_EVENTPROC: {
        wu_window *w = wu_ctl_window(c);
        if (w != nullptr && h != nullptr) yufrcev(w, h);
        wu_ctl_drop_params(c);
        c->procedure = reinterpret_cast<wu_evproc>(e->pointer);
        e->status = WU_OK;
        break;
      }
      case WU_A_FOREGROUND:
      case WU_A_BACKGROUND:
        if (!common_colours(type)) break;
        e->status = WU_OK;
        if (set_colour(c, e) != WU_OK) refuse(e, WU_E_RANGE);
        break;
      default:
        break;
    }
  }
  return final_result(checked.finish(result), host_entries, host_count);
}

wu_status wuxqwat(wu_control *c, wu_value *entries, int32_t count) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  // Statuses left in the array by an earlier call are not this query's.
  for (int32_t i = 0; i < count; ++i) entries[i].status = WU_OK;
  wu_ctl_entries checked(c, entries, count, true);
  wu_status result = WU_OK;
  Widget w = wuwgxtw(c);
  if (c->Qwat != nullptr) result = c->Qwat(c, entries, count);
  if (!wu_ctl_live(c)) return result;
  wu_ctl_handle *h = c->handle;
  if (h == nullptr || h->type < 0 || h->type > WU_CTL_TYPE_OLDER || count < 1) return result;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *e = &entries[i];
    if (e->code < 0 || e->code > kLastCommonCode) continue;
    switch (e->code) {
      case WU_A_ENABLED:
        e->status = WU_OK;
        e->value = (c->flags & WU_CTL_GRAYED) ? 0 : 1;
        break;
      case WU_A_VISIBLE:
        e->status = WU_OK;
        e->value = (c->flags & WU_CTL_HIDDEN) ? 0 : 1;
        break;
      case WU_A_USERDATA:
        e->status = WU_OK;
        e->pointer = c->user_data.address;
        e->value = static_cast<int32_t>(reinterpret_cast<intptr_t>(c->user_data.address));
        break;
      case WU_A_CLASSTYPE:
        e->status = WU_OK;
        e->value = h->type;
        break;
      case WU_A_CONTROLID:
        e->status = WU_OK;
        e->value = c->id;
        break;
      case WU_A_EVENTPROC:
        e->status = WU_OK;
        e->pointer = reinterpret_cast<void *>(c->procedure);
        break;
      case WU_A_CLICKONLY:
        e->status = WU_OK;
        e->value = c->click_only;
        break;
      case WU_A_CONFORMSIZE:
        e->status = WU_OK;
        e->value = c->conform_size;
        break;
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        if (h->type == WU_CTL_TYPE_OLDER && w != nullptr) {
          Position x = 0, y = 0;
          Dimension width = 0, height = 0;
          XtVaGetValues(w, XmNx, &x, XmNy, &y, XmNwidth, &width, XmNheight, &height, nullptr);
          e->status = WU_OK;
          e->value = e->code == WU_A_HPOS ? x : e->code == WU_A_VPOS ? y
                     : e->code == WU_A_WIDTH ? width : height;
        }
        break;
      case WU_A_FOREGROUND:
      case WU_A_BACKGROUND: {
        if (kind_queries_colours(h->type)) break;
        wu_colour_cell *cell = e->code == WU_A_FOREGROUND ? c->foreground : c->background;
        if (cell == nullptr) {
          e->status = WU_OK;
          e->value = 0;
          e->pointer = nullptr;
          break;
        }
        auto *rgb = reinterpret_cast<uint16_t *>(XtMalloc(3 * sizeof(uint16_t)));
        rgb[0] = cell->red;
        rgb[1] = cell->green;
        rgb[2] = cell->blue;
        e->pointer = rgb;
        e->value = 1;
        e->type = WU_VT_WORD;
        e->status = WU_ALLOCATED;
        result = WU_ENTRY_STATUS;
        break;
      }
      case WU_A_TOOLTIP:
        e->pointer = c->tip;
        e->value = static_cast<int32_t>(c->tip ? std::strlen(c->tip) : 0);
        break;
      case WU_A_FONT:
        e->status = WU_E_NO_PART;
        result = WU_ENTRY_STATUS;
        break;
      case WU_A_EVENTS:
        query_events(c, h, e);
        break;
      case WU_A_VIRTUALKEYS: {
        // Fresh storage for the caller, given back through the clean-up.
        auto *keys = reinterpret_cast<int32_t *>(XtCalloc(kVirtualKeys, sizeof(int32_t)));
        int32_t n = 0;
        for (int32_t k = WU_VK_FIRST; k <= WU_VK_LAST; ++k)
          if (c->vkey_mask & (1 << k)) keys[n++] = k;
        e->pointer = keys;
        e->value = n;
        e->type = WU_VT_INTLIST;
        e->status = WU_ALLOCATED;
        result = WU_ENTRY_STATUS;
        break;
      }
      default:
        break;
    }
  }
  return final_result(result, entries, count);
}

wu_status wuxclen(wu_ctl_handle *, wu_value *entries, int32_t count) {
  if (count <= 0 || entries == nullptr) return WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *e = &entries[i];
    if (e->status != WU_ALLOCATED) continue;
    e->status = WU_OK;
    switch (e->type) {
      case 1: case WU_VT_INTLIST: case WU_VT_BLOCK: case WU_VT_STRING: case WU_VT_WORD:
      case WU_VT_SELECTIONS:
        XtFree(static_cast<char *>(e->pointer));
        break;
      case WU_VT_STRLIST: {
        auto *items = static_cast<wu_str_item *>(e->pointer);
        for (int32_t k = 0; items != nullptr && k < e->value; ++k)
          XtFree(const_cast<char *>(items[k].text));
        XtFree(reinterpret_cast<char *>(items));
        break;
      }
      case WU_VT_STRTABLE: {
        auto **rows = static_cast<wu_str_item **>(e->pointer);
        for (int32_t r = 0; rows != nullptr && r < e->value; ++r) {
          for (int32_t k = 0; rows[r] != nullptr && k < e->second; ++k)
            XtFree(const_cast<char *>(rows[r][k].text));
          XtFree(reinterpret_cast<char *>(rows[r]));
        }
        XtFree(reinterpret_cast<char *>(rows));
        break;
      }
      default:
        break;
    }
    e->pointer = nullptr;
  }
  return WU_OK;
}

wu_status wumclen(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  // The kind gives back what it owns; whatever is still marked is the
  // caller's storage and goes here.
  if (c->Cleanup != nullptr) c->Cleanup(h, entries, count);
  return wuxclen(h, entries, count);
}

wu_status wumggeo(wu_ctl_handle *h, int32_t *x, int32_t *y, int32_t *width, int32_t *height) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr) return WU_NOTAVAIL;
  wu_value v[4] = {};
  const int16_t codes[4] = {WU_A_HPOS, WU_A_VPOS, WU_A_WIDTH, WU_A_HEIGHT};
  for (int i = 0; i < 4; ++i) {
    v[i].code = codes[i];
    v[i].type = WU_VT_INT;
  }
  h->services->qwat(c, v, 4);
  int32_t *out[4] = {x, y, width, height};
  for (int i = 0; i < 4; ++i)
    if (out[i] != nullptr) *out[i] = v[i].value;
  return WU_OK;
}

wu_status wumsgeo(wu_ctl_handle *h, int32_t x, int32_t y, int32_t width, int32_t height) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr) return WU_NOTAVAIL;
  wu_value v[4] = {};
  const int16_t codes[4] = {WU_A_HPOS, WU_A_VPOS, WU_A_WIDTH, WU_A_HEIGHT};
  const int32_t values[4] = {x, y, width, height};
  int32_t n = 0;
  for (int i = 0; i < 4; ++i) {
    if (values[i] == -1) continue;
    v[n].code = codes[i];
    v[n].type = WU_VT_INT;
    v[n].value = values[i];
    ++n;
  }
  if (n == 0) return WU_OK;
  h->services->swat(c, v, n);
  for (int32_t i = 0; i < n; ++i)
    if (v[i].status != WU_OK) return v[i].status;
  return WU_OK;
}

wu_status wu_ctl_set_colour(wu_control *c, const wu_value *e) { return set_colour(c, e); }

char *wuxstmn(const char *text) {
  if (text == nullptr) return nullptr;
  const size_t n = std::strlen(text);
  char *copy = XtMalloc(static_cast<Cardinal>(n + 1));
  std::memcpy(copy, text, n + 1);
  char *amp = std::strchr(copy, '&');
  if (amp != nullptr && amp[1] != '\0') std::memmove(amp, amp + 1, std::strlen(amp + 1) + 1);
  return copy;
}

}  // extern "C"
