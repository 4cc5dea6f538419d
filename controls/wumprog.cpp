// The progress bar of host-built dialogs: a read-only scroll bar in
// thermometer mode that fills from its minimum to its value, optionally
// with the completed percentage written on it, stepped by two methods.
#include <X11/IntrinsicP.h>
#include <Xm/ManagerP.h>
#include <Xm/ScrollBar.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "controls/wubutton.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"

namespace wubtn {
namespace {

struct ProgressBar {
  wu_control c;
  wu_ctl_widgets w;          // the bar, twice
  uint8_t show_percent;
  int32_t style;             // 0 or 1
  int32_t minimum;
  int32_t maximum;
  int32_t value;             // always within the range
  int32_t orientation;       // 0 horizontal, 1 vertical
  int32_t increment;         // the step of `_step`
  Widget parent;
  Pixel text_colour;
  Font text_font;
  GC gc;                     // the percentage's GC (toolkit cache), held once drawn
  uint8_t handler;           // the expose handler is on the bar
};
static_assert(sizeof(ProgressBar) <= WU_CTL_PROGRESS_SIZE, "progress bar fits its record kind");

constexpr int32_t kLastCode = WU_A_SHOWPERCENT;
constexpr int32_t kCreateHeight = 10;
constexpr int32_t kCreateWidth = 40;
constexpr int32_t kCreateMaximum = 100;
constexpr int32_t kCreateIncrement = 10;
constexpr unsigned char kMarkOf[2] = {1, 3};   // slider marks of the two bar styles

ProgressBar *prg(wu_control *c) { return reinterpret_cast<ProgressBar *>(c); }

int32_t clamp_value(const ProgressBar *p, int64_t v) {
  return int32_t(std::clamp<int64_t>(v, p->minimum, p->maximum));
}

int32_t page_step(const ProgressBar *p) {
  return int32_t(std::clamp<int64_t>(std::llabs(int64_t(p->increment)), 1, INT32_MAX));
}

// The toolkit's thermometer fills from 0: the bar gets the range as
// offsets from the minimum.
Cardinal range_args(const ProgressBar *p, Arg *args, Cardinal n) {
  const int32_t span = std::max<int64_t>(int64_t(p->maximum) - p->minimum, 1) > INT32_MAX - 1
                           ? INT32_MAX - 1
                           : int32_t(std::max<int64_t>(int64_t(p->maximum) - p->minimum, 1));
  const int32_t at = int32_t(std::min<int64_t>(int64_t(p->value) - p->minimum, span));
  XtSetArg(args[n], XmNminimum, 0); ++n;
  XtSetArg(args[n], XmNmaximum, span); ++n;
  XtSetArg(args[n], XmNvalue, at); ++n;
  XtSetArg(args[n], XmNpageIncrement, std::min(page_step(p), span)); ++n;
  return n;
}

// range_args for a new bar: the values a new scroll bar has anyway (range
// 0 to 100, value 0, page 10) are left out.
Cardinal new_range_args(const ProgressBar *p, Arg *args, Cardinal n) {
  Arg all[4];
  const Cardinal count = range_args(p, all, 0);
  const XtArgVal defaults[] = {0, 100, 0, 10};
  for (Cardinal i = 0; i < count; ++i)
    if (all[i].value != defaults[i]) args[n++] = all[i];
  return n;
}

// The percentage's GC, taken from the toolkit's cache when a bar first
// draws its percentage: a bar that never shows one holds none.
GC percent_gc(ProgressBar *p) {
  if (p->gc != nullptr || p->w.main == nullptr) return p->gc;
  XGCValues gv = {};
  XtGCMask mask = 0;
  if (p->text_font != None) {
    gv.font = p->text_font;
    mask |= GCFont;
  }
  p->gc = XtAllocateGC(p->w.main, 0, mask, &gv, GCForeground | GCBackground, 0);
  return p->gc;
}

void DrawPercent(ProgressBar *p) {
  Widget w = p->w.main;
  if (w == nullptr || p->orientation != 0 || !XtIsRealized(w) || percent_gc(p) == nullptr) return;
  const int64_t span = int64_t(p->maximum) - p->minimum;
  if (span <= 0) return;
  const int32_t pct = int32_t(100.0 * double(int64_t(p->value) - p->minimum) / double(span));
  char text[16];
  const int len = std::snprintf(text, sizeof text, "%d", pct);
  const Pixel bg = w->core.background_pixel;
  XSetForeground(XtDisplay(w), p->gc, p->text_colour);
  XSetBackground(XtDisplay(w), p->gc, bg);
  XDrawImageString(XtDisplay(w), XtWindow(w), p->gc, w->core.width / 2 - 1, w->core.height - 2,
                   text, len);
}

void ExposeHandler(Widget, XtPointer client, XEvent *event, Boolean *go_on) {
  auto *c = static_cast<wu_control *>(client);
  if (!wu_ctl_live(c) || c->kind != WU_MT_PROGRESSBAR) return;
  if (event->type == Expose && event->xexpose.count == 0) DrawPercent(prg(c));
  *go_on = False;
}

void show_value(ProgressBar *p) {
  Widget w = p->w.main;
  if (w == nullptr) return;
  Arg args[6];
  const Cardinal n = range_args(p, args, 0);
  XtSetValues(w, args, n);
  if (p->show_percent) DrawPercent(p);
}

wu_status ProgressBarSwat(wu_control *c, wu_value *entries, int32_t count) {
  ProgressBar *p = prg(c);
  Widget w = p->w.main;
  int32_t i_min = -1, i_max = -1, i_val = -1;
  int32_t new_min = p->minimum, new_max = p->maximum, new_val = p->value;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_UNSUPPORTED; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY:
      case WU_A_EVENTPROC: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
        break;
      case WU_A_HPOS: case WU_A_VPOS:
        set_place(c, w, v);
        break;
      case WU_A_WIDTH: case WU_A_HEIGHT:
        set_size(c, w, v, false);
        break;
      case WU_A_VALUE: case WU_A_MINIMUM: case WU_A_MAXIMUM:
        if (!entry_type(v, WU_VT_NUMBER)) break;
        if (v->code == WU_A_VALUE) { new_val = v->value; i_val = i; }
        else if (v->code == WU_A_MINIMUM) { new_min = v->value; i_min = i; }
        else { new_max = v->value; i_max = i; }
        break;
      case WU_A_INCREMENT:
        if (!entry_type(v, WU_VT_NUMBER)) break;
        p->increment = v->value;
        if (w) show_value(p);
        break;
      case WU_A_ORIENTATION: case WU_A_STYLE:
        if (!entry_type(v, WU_VT_INT)) break;
        if (w != nullptr) { v->status = WU_E_CREATE_ONLY; break; }
        if (v->value != 0 && v->value != 1) { v->status = WU_E_RANGE; break; }
        if (v->code == WU_A_ORIENTATION) p->orientation = v->value; else p->style = v->value;
        break;
      case WU_A_SHOWPERCENT:
        if (!entry_type(v, WU_VT_INT)) break;
        if (v->value != 0 && v->value != 1) { v->status = WU_E_RANGE; break; }
        if (v->value == 1 && !p->show_percent) {
          p->show_percent = 1;
          if (w != nullptr && !p->handler) {
            XtAddEventHandler(w, ExposureMask, False, ExposeHandler, c);
            p->handler = 1;
            DrawPercent(p);
          }
        } else if (v->value == 0 && p->show_percent) {
          p->show_percent = 0;
          if (w != nullptr && p->handler) {
            XtRemoveEventHandler(w, ExposureMask, False, ExposeHandler, c);
            p->handler = 0;
            if (XtIsRealized(w)) XClearArea(XtDisplay(w), XtWindow(w), 0, 0, 0, 0, True);
          }
        }
        break;
      default:
        v->status = WU_UNSUPPORTED;
        break;
    }
  }
  const bool range_given = i_min >= 0 || i_max >= 0;
  if (range_given && new_min >= new_max) {
    // A range that would not be one: the later of the two bounds fails; the
    // earlier one, when both were given, stands alone with the record's
    // other bound, as long as the two still make a range.
    const bool both = i_min >= 0 && i_max >= 0;
    const bool min_first = both && i_min < i_max;
    entries[both ? (min_first ? i_max : i_min) : (i_min >= 0 ? i_min : i_max)].status = WU_E_RANGE;
    if (both) {
      if (min_first) new_max = p->maximum; else new_min = p->minimum;
      if (new_min < new_max) {
        p->minimum = new_min;
        p->maximum = new_max;
      } else {
        entries[min_first ? i_min : i_max].status = WU_E_RANGE;
      }
    }
  } else if (range_given) {
    p->minimum = new_min;
    p->maximum = new_max;
  }
  if (range_given || i_val >= 0) {
    p->value = clamp_value(p, i_val >= 0 ? new_val : p->value);
    show_value(p);
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status ProgressBarQwat(wu_control *c, wu_value *entries, int32_t count) {
  ProgressBar *p = prg(c);
  Widget w = p->w.main;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_UNSUPPORTED; continue; }
    switch (v->code) {
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->type = WU_VT_INT;
        v->value = wu_ctl_geometry(c, w, v->code);
        break;
      case WU_A_VALUE: v->type = WU_VT_NUMBER; v->value = p->value; break;
      case WU_A_MINIMUM: v->type = WU_VT_NUMBER; v->value = p->minimum; break;
      case WU_A_MAXIMUM: v->type = WU_VT_NUMBER; v->value = p->maximum; break;
      case WU_A_INCREMENT: v->type = WU_VT_NUMBER; v->value = p->increment; break;
      case WU_A_ORIENTATION: v->type = WU_VT_INT; v->value = p->orientation; break;
      case WU_A_STYLE: v->type = WU_VT_INT; v->value = p->style; break;
      case WU_A_SHOWPERCENT: v->type = WU_VT_INT; v->value = p->show_percent; break;
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY:
      case WU_A_EVENTPROC: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
        break;
      default:
        v->status = WU_UNSUPPORTED;
        break;
    }
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status ProgressBarMethods(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr) return WU_NOTAVAIL;
  ProgressBar *p = prg(c);
  int64_t step = 0;
  if (method == WU_M_STEP) {
    step = p->increment;
  } else if (method == WU_M_STEPDELTA) {
    if (params == nullptr || count < 1) return WU_NOTAVAIL;
    step = params[0].value;
  } else {
    return WU_NOTAVAIL;
  }
  p->value = clamp_value(p, int64_t(p->value) + step);
  if (p->w.main != nullptr) {
    const int32_t span = std::max(1, int32_t(std::min<int64_t>(int64_t(p->maximum) - p->minimum, INT32_MAX - 1)));
    XmScrollBarSetValues(p->w.main, int(std::min<int64_t>(int64_t(p->value) - p->minimum, span)), 0,
                         0, std::min(page_step(p), span), False);
    if (p->show_percent) DrawPercent(p);
  }
  return WU_OK;
}

wu_status ProgressBarCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || (entries != nullptr && count > 0) || wu_ctl_live(c)) return WU_OK;
  ProgressBar *p = prg(c);
  if (p->gc != nullptr && p->w.main != nullptr && wu_x_ok()) XtReleaseGC(p->w.main, p->gc);
  p->gc = nullptr;
  return WU_OK;
}

wu_status ProgressBarReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec == nullptr) return WU_NOTAVAIL;
  if (rec->code != WU_EV_POPUP) return WU_NOTAVAIL;
  replay_send(c, rec, nullptr, 0);
  return WU_OK;
}

wu_status ProgressBarRegisterDND(wu_ctl_handle *h, void *site_out, void *entries, void *count) {
  const wu_status st = RegisterDND(h, site_out, entries, count);
  return st == WU_UNSUPPORTED ? WU_NOTAVAIL : st;
}

wu_status build_progress(ProgressBar *p) {
  wu_control *c = &p->c;
  if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  p->parent = c->pane->ext->widget;
  // The pane widget is a manager: its colours are read from it directly.
  const Pixel bg = p->parent->core.background_pixel;
  Pixel fg = reinterpret_cast<XmManagerWidget>(p->parent)->manager.foreground;
  if (fg == bg) {
    const Pixel first = devb->dm_pixel[0], second = devb->dm_pixel[1];
    fg = fg == first ? second : first;
  }
  p->text_colour = fg;
  p->text_font = devb->font != nullptr ? devb->font->fid : None;
  Arg args[30];
  Cardinal n = 0;
  XtSetArg(args[n], XmNeditable, False); ++n;
  XtSetArg(args[n], XmNshowArrows, XmNONE); ++n;
  XtSetArg(args[n], XmNbackground, bg); ++n;
  XtSetArg(args[n], XmNforeground, fg); ++n;
  n = wu_ctl_parent_visual_args(p->parent, args, n);
  if (p->orientation == 1) {
    XtSetArg(args[n], XmNorientation, XmVERTICAL); ++n;
    XtSetArg(args[n], XmNprocessingDirection, XmMAX_ON_TOP); ++n;
  } else {
    XtSetArg(args[n], XmNorientation, XmHORIZONTAL); ++n;
  }
  XtSetArg(args[n], XmNslidingMode, XmTHERMOMETER); ++n;
  XtSetArg(args[n], XmNsliderMark, kMarkOf[p->style == 1 ? 1 : 0]); ++n;
  XtSetArg(args[n], XmNx, Position(c->x)); ++n;
  XtSetArg(args[n], XmNy, Position(c->y)); ++n;
  XtSetArg(args[n], XmNwidth, Dimension(std::max(c->width, 1))); ++n;
  XtSetArg(args[n], XmNheight, Dimension(std::max(c->height, 1))); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  // A scroll bar has no border and is sensitive unless told otherwise.
  if (c->flags & WU_CTL_GRAYED) { XtSetArg(args[n], XmNsensitive, False); ++n; }
  // Shown once managed, unless hidden (wutmapw manages it or not).
  if (c->flags & WU_CTL_HIDDEN) { XtSetArg(args[n], XmNmappedWhenManaged, False); ++n; }
  n = new_range_args(p, args, n);
  Widget w = XtCreateWidget("ProgressBar", xmScrollBarWidgetClass, p->parent, args, n);
  if (w == nullptr) return WU_NOTAVAIL;
  p->w.main = p->w.outer = w;
  wu_old_translations(w);
  add_bar_handlers(w, c);
  if (p->show_percent) {
    XtInsertEventHandler(w, ExposureMask, False, ExposeHandler, c, XtListTail);
    p->handler = 1;
  }
  // Managed by wutmapw (a hidden bar is made and left unmanaged).
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  return WU_OK;
}

}  // namespace
}  // namespace wubtn

using namespace wubtn;

extern "C" {

wu_status wuxprog(wu_pane *pane, wu_control **out) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  if (pane == nullptr || pane->ext == nullptr || pane->window == nullptr ||
      !wu_window_live(pane->window))
    return WU_NOTAVAIL;
  auto *p = static_cast<ProgressBar *>(wutgmem(pane->window->pool, WU_MT_PROGRESSBAR));
  if (p == nullptr) return WU_NOMEM;
  wu_control *c = &p->c;
  c->kind = WU_MT_PROGRESSBAR;
  c->flags |= WU_CTL_TAKES_FOCUS;
  wu_ctl_install(c, {ProgressBarSwat, ProgressBarQwat, ProgressBarMethods, ProgressBarCleanup,
                     UnregisterDND, ProgressBarRegisterDND, QueryDND, SetDND, ProgressBarReplay});
  c->pane = pane;
  c->height = kCreateHeight;
  c->width = kCreateWidth;
  p->maximum = kCreateMaximum;
  p->increment = kCreateIncrement;
  p->parent = pane->ext->widget;
  wu_ctl_link(c);
  *out = c;
  return WU_OK;
}

wu_status wuwiprg(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_PROGRESSBAR) return WU_NOTAVAIL;
  return build_progress(prg(c));
}

wu_status wu_create_pbar(wu_pane *pane, wu_control **out) { return wuxprog(pane, out); }

}  // extern "C"
