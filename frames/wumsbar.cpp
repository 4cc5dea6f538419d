// Scroll bars of panes and the older stand-alone bars: their records, their
// QEVSbar widgets, and the scroll callback that tells the control's event
// procedure how the user scrolled.
#include <X11/Intrinsic.h>
#include <Xm/ScrollBar.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "frames/wuframes.h"
#include "qev/catalog.h"
#include "qev/flags.h"
#include "runtime/wucheck.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QEVSbar.h"
#include "textwin/wutwin.h"

namespace {

struct ReasonCode {
  int reason;
  int32_t code;
};

const ReasonCode kReasonCodes[] = {
    {XmCR_VALUE_CHANGED, WU_SCROLL_VALUE_CHANGED},
    {XmCR_INCREMENT, WU_SCROLL_INCREMENT},
    {XmCR_DECREMENT, WU_SCROLL_DECREMENT},
    {XmCR_PAGE_INCREMENT, WU_SCROLL_PAGE_INCREMENT},
    {XmCR_PAGE_DECREMENT, WU_SCROLL_PAGE_DECREMENT},
    {XmCR_TO_TOP, WU_SCROLL_TO_TOP},
    {XmCR_TO_BOTTOM, WU_SCROLL_TO_BOTTOM},
    {XmCR_DRAG, WU_SCROLL_DRAG},
};

const char *const kScrollCallbacks[] = {
    XmNvalueChangedCallback, XmNdragCallback,          XmNincrementCallback,
    XmNdecrementCallback,    XmNpageIncrementCallback, XmNpageDecrementCallback,
    XmNtoTopCallback,        XmNtoBottomCallback,
};

bool IsBarKind(int32_t kind) {
  return kind == WU_MT_PANE_VBAR || kind == WU_MT_PANE_HBAR || kind == WU_MT_BAR ||
         kind == WU_MT_BAR2 || kind == WU_MT_SCALE || kind == WU_MT_SCALE2 ||
         kind == WU_MT_SCROLLBAR || kind == WU_MT_SCROLLBAR2;
}

// Hands the scroll event to the control's event procedure: directly when
// this is the window's display task, else through a signal to that task.
void SendScroll(wu_control *c, int32_t code, int32_t value) {
  wu_value params[2];
  std::memset(params, 0, sizeof params);
  params[0].code = WU_PARAM_SCROLL_CODE;
  params[0].type = WU_VT_INT;
  params[0].value = code;
  params[1].code = WU_PARAM_SCROLL_VALUE;
  params[1].type = WU_VT_DOUBLE;
  // The double fills the value word and the one after it.
  const double as_double = value;
  static_assert(sizeof(double) == 2 * sizeof(int32_t), "a double takes two value words");
  std::memcpy(&params[1].value, &as_double, sizeof as_double);
  wu_ctl_event record;
  std::memset(&record, 0, sizeof record);
  record.code = WU_CTLEV_SCROLL;
  record.pane = c->pane;
  record.x = c->x;
  record.y = c->y;
  record.user_data = c->user_data;
  record.procedure = c->procedure;
  record.handle = c->handle;
  record.params = params;
  record.param_count = 2;
  wu_window *w = c->pane ? c->pane->window : nullptr;
  qev_task *display_task = (w && w->display) ? w->display->task : nullptr;
  // The procedure runs from inside Motif's scroll callback: a window it
  // releases or a shut-down it asks for waits until the callback is over.
  wu_callout_enter();
  if (!display_task || display_task == yucurtk()) {
    if (devb) devb->flags |= int32_t(WU_DEV_IN_EVPROC);
    c->procedure(c->handle, &record, params, 2);
    if (devb) devb->flags &= ~int32_t(WU_DEV_IN_EVPROC);
  } else {
    wu_key_signal message = {QEV_SIG_EVPROC, int32_t(sizeof(wu_key_signal)), 1, 0, c->handle,
                             &record};
    wtsignl(display_task, QEV_SIG_EVPROC, &message, 0);
  }
  wu_callout_leave();
}

bool IsScaled(int32_t kind) { return kind == WU_MT_SCALE || kind == WU_MT_SCALE2; }

// Widget units of a value-scaled bar: its whole range, whatever the host's.
const int32_t kScaleSpan = 10000;

// The geometry of a bar in the widget's units: Motif's range, slider and
// value.  A value-scaled bar maps the host's range (which may span every
// 32-bit value, more than Motif's integer range holds) onto 0..kScaleSpan,
// so that the ends of the two ranges meet and the slider keeps its share.
struct BarRange {
  int64_t minimum, total, slider;        // the host's range: first value, size, page
  int32_t w_minimum, w_maximum, w_slider;  // Motif's: maximum is one past the end
};

BarRange RangeOf(const wu_bar *bar) {
  BarRange r;
  r.minimum = *bar->minimum_ref;
  int64_t maximum = std::max<int64_t>(*bar->maximum_ref, r.minimum);
  r.total = maximum - r.minimum + 1;
  r.slider = 1;
  if (bar->large_amount >= 1 && bar->large_amount <= r.total) r.slider = bar->large_amount;
  if (!IsScaled(bar->common.kind) && maximum < INT32_MAX) {
    r.w_minimum = int32_t(r.minimum);
    r.w_maximum = int32_t(maximum + 1);
    r.w_slider = int32_t(r.slider);
    return r;
  }
  r.w_minimum = 0;
  r.w_maximum = kScaleSpan;
  long double share = (long double)r.slider * kScaleSpan / (long double)r.total;
  r.w_slider = int32_t(std::clamp<long double>(std::llround(share), 1, kScaleSpan));
  return r;
}

// A host value in the widget's units (clamped into the range).
int32_t ToWidget(const BarRange &r, int64_t value) {
  int64_t free_host = r.total - r.slider;
  value = std::clamp<int64_t>(value, r.minimum, r.minimum + free_host);
  if (int64_t(r.w_maximum) - r.w_minimum == r.total) return int32_t(value - r.minimum + r.w_minimum);
  int32_t free_widget = r.w_maximum - r.w_minimum - r.w_slider;
  if (free_host <= 0) return r.w_minimum;
  return r.w_minimum + int32_t(std::llround((long double)(value - r.minimum) * free_widget /
                                            (long double)free_host));
}

// A widget value in the host's units.
int32_t ToHost(const BarRange &r, int32_t value) {
  if (int64_t(r.w_maximum) - r.w_minimum == r.total) return int32_t(value - r.w_minimum + r.minimum);
  int64_t free_host = r.total - r.slider;
  int32_t free_widget = r.w_maximum - r.w_minimum - r.w_slider;
  if (free_widget <= 0) return int32_t(r.minimum);
  int64_t offset = std::clamp<int64_t>(value - r.w_minimum, 0, free_widget);
  return int32_t(r.minimum + std::llround((long double)offset * free_host / free_widget));
}

wu_status BuildBar(wu_window *w, wu_pane *pane, wu_bar *bar) {
  if (!w || !pane || !bar || !pane->ext || !pane->ext->widget || !wu_x_ok()) return WU_NOTAVAIL;
  const int32_t cw = devb->cell_width, ch = devb->cell_height;
  bool vertical = bar->orientation != 0;
  const BarRange r = RangeOf(bar);
  Arg args[16];
  Cardinal n = 0;
  XtSetArg(args[n], XmNorientation, vertical ? XmVERTICAL : XmHORIZONTAL); ++n;
  // Cells to pixels wide, clamped into X's range (the pane's origin is the
  // host's and moves).
  const int64_t length = std::max(1, bar->length);
  XtSetArg(args[n], XmNx, Position(wu_x_coord_clamp((int64_t(bar->column) - pane->left_column) * cw))); ++n;
  XtSetArg(args[n], XmNy, Position(wu_x_coord_clamp((int64_t(bar->row) - pane->top_row) * ch))); ++n;
  XtSetArg(args[n], XmNwidth, Dimension(wu_x_size_clamp(vertical ? cw : length * cw))); ++n;
  XtSetArg(args[n], XmNheight, Dimension(wu_x_size_clamp(vertical ? length * ch : ch))); ++n;
  XtSetArg(args[n], XmNminimum, r.w_minimum); ++n;
  XtSetArg(args[n], XmNmaximum, r.w_maximum); ++n;
  XtSetArg(args[n], XmNsliderSize, r.w_slider); ++n;
  XtSetArg(args[n], XmNpageIncrement, r.w_slider); ++n;
  XtSetArg(args[n], XmNvalue, ToWidget(r, *bar->value_ref)); ++n;
  if (bar->small_amount >= 1) {
    // An arrow moves at least one widget unit.
    int32_t step = std::max(1, ToWidget(r, r.minimum + int64_t(bar->small_amount)) - r.w_minimum);
    XtSetArg(args[n], XmNincrement, step); ++n;
  }
  XtSetArg(args[n], XmNuserData, bar); ++n;
  bar->widget = sscreat(pane->ext->widget, "qevScrollBar", args, n);
  if (!bar->widget) return WU_NOMEM;
  for (const char *cb : kScrollCallbacks) XtAddCallback(bar->widget, cb, wuwsbrc, bar);
  XtAddCallback(bar->widget, XmNdestroyCallback, wuwsbds, bar);
  XtManageChild(bar->widget);
  return WU_OK;
}

}  // namespace

extern "C" {

int32_t wutsbcd(int reason) {
  for (const ReasonCode &rc : kReasonCodes)
    if (rc.reason == reason) return rc.code;
  return 0;
}

void wuwsbrc(Widget, XtPointer client, XtPointer call) {
  auto *c = static_cast<wu_control *>(client);
  auto *cb = static_cast<XmScrollBarCallbackStruct *>(call);
  // A bar released (step one) is inert until its widget goes.
  if (!cb || !wu_reg_has(c, WU_REG_CONTROL)) return;
  // So is a bar of a window released from inside a callback.
  const wu_window *w = c->pane ? c->pane->window : nullptr;
  if (w && !wu_reg_has(w, WU_REG_WINDOW)) return;
  int32_t code = wutsbcd(cb->reason);
  if (!code) return;
  int32_t value = cb->value;
  if (IsBarKind(c->kind)) {
    // The host's value word follows the bar, in the host's units.
    auto *bar = reinterpret_cast<wu_bar *>(c);
    if (bar->value_ref && bar->minimum_ref && bar->maximum_ref) {
      value = ToHost(RangeOf(bar), value);
      *bar->value_ref = value;
    }
  }
  if (c->procedure) SendScroll(c, code, value);
}

void wuwsbds(Widget, XtPointer client, XtPointer) {
  auto *c = static_cast<wu_control *>(client);
  // A widget whose destruction ended a dispatch may outlive its record.
  if (!wu_reg_has(c, WU_REG_CONTROL) && !wu_reg_has(c, WU_REG_CTL_RELEASED)) return;
  if (IsBarKind(c->kind)) reinterpret_cast<wu_bar *>(c)->widget = nullptr;
}

wu_status wutisbr(wu_window *w, wu_pane *pane, wu_bar *bar) { return BuildBar(w, pane, bar); }

// Value-scaled bars show the host's range in fixed widget units (RangeOf).
wu_status wutiscl(wu_window *w, wu_pane *pane, wu_bar *bar) { return BuildBar(w, pane, bar); }

wu_status wuxgbar(wu_pane *pane, wu_bar **bar_out, int32_t orientation, int32_t, int32_t,
                  int32_t *minimum, int32_t *maximum, int32_t *value, int32_t row, int32_t column,
                  int32_t length, uint32_t flags, int32_t) {
  if (!bar_out) return WU_BADARG;
  *bar_out = nullptr;
  if (!wutpopn(pane)) return WU_NOTAVAIL;
  if (!pane->window || !pane->ext) return WU_BADARG;
  // The bar must lie in cells X can place: from its cell, `length` cells
  // down (vertical) or across.
  const int32_t cw = devb ? devb->cell_width : 1, ch = devb ? devb->cell_height : 1;
  const int32_t span = std::max(1, length);
  if (!wu_pane_fits(row, orientation ? span : 1, ch) || !wu_pane_fits(column, orientation ? 1 : span, cw))
    return WU_BADARG;
  wu_window *w = pane->window;
  bool scaled = (flags & WU_BAR_SCALED) != 0;
  int32_t kind = scaled ? (orientation ? WU_MT_SCALE2 : WU_MT_SCALE)
                        : (orientation ? WU_MT_BAR2 : WU_MT_BAR);
  if (wutmsiz(kind) < int32_t(sizeof(wu_bar))) return WU_NOTAVAIL;
  auto *bar = static_cast<wu_bar *>(wutgmem(w->pool, kind));
  if (!bar) return WU_NOMEM;
  bar->common.kind = kind;
  bar->common.pane = pane;
  bar->minimum_ref = minimum ? minimum : &bar->minimum;
  bar->maximum_ref = maximum ? maximum : &bar->maximum;
  bar->value_ref = value ? value : &bar->value;
  bar->orientation = orientation;
  bar->row = row;
  bar->column = column;
  bar->length = length;
  bar->bar_flags = flags;
  bar->small_amount = 1.0;
  bar->large_amount = 1;
  wu_pane_ext *ext = pane->ext;
  bar->common.prev = ext->controls_last;
  if (ext->controls_last) ext->controls_last->next = &bar->common;
  else ext->controls = &bar->common;
  ext->controls_last = &bar->common;
  ext->flags |= WU_PEXT_HAS_CONTROLS;
  if (ext->flags & WU_PEXT_REALIZED) {
    wu_status st = scaled ? wutiscl(w, pane, bar) : wutisbr(w, pane, bar);
    if (st != WU_OK) {
      ext->controls_last = bar->common.prev;
      if (bar->common.prev) bar->common.prev->next = nullptr;
      else ext->controls = nullptr;
      wutfmem(w->pool, bar, kind);
      return st;
    }
  }
  // A bar is a control of its pane: released, looked up and made inert
  // through the same registry.
  wu_reg_add(bar, WU_REG_CONTROL);
  *bar_out = bar;
  return WU_OK;
}

}  // extern "C"
