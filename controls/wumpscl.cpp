// The scroll bar of host-built dialogs: a stand-alone bar on the older pane
// bar's record with an integer range, a value, a slider (the large scroll
// amount) and a step (the small one); the user's scrolling reaches the host
// as `scroll` events with a scroll code and the new value.
#include <X11/IntrinsicP.h>
#include <Xm/ScrollBar.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>

#include "controls/wubutton.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "textwin/QEVSbar.h"

namespace wubtn {
namespace {

constexpr int32_t kLastCode = WU_A_EVENTPROC;
constexpr uint32_t kEvmScroll = 0x1000;
constexpr int32_t kCreateLength = 40;   // the older creator's length in cells
constexpr double kLowest = -2147483648.0;
constexpr double kHighest = 2147483647.0;

const char *const kScrollCallbacks[] = {
    XmNvalueChangedCallback, XmNdragCallback,          XmNincrementCallback,
    XmNdecrementCallback,    XmNpageIncrementCallback, XmNpageDecrementCallback,
    XmNtoTopCallback,        XmNtoBottomCallback,
};

wu_bar *bar(wu_control *c) { return reinterpret_cast<wu_bar *>(c); }

double entry_double(const wu_value *v) {
  double d = 0;
  std::memcpy(&d, &v->value, sizeof d);
  return d;
}

void put_double(wu_value *v, double d) {
  v->type = WU_VT_DOUBLE;
  std::memcpy(&v->value, &d, sizeof d);
}

// The highest value a slider of size s leaves.
int64_t top_value(int64_t maximum, int64_t s) { return maximum - s + 1; }

void send_scroll(wu_control *c, int32_t code, int32_t value) {
  wu_value *p = wu_ctl_event_params(c, WU_EV_SCROLL, 2);
  p[0].code = WU_PARAM_SCROLL_CODE;
  p[0].type = WU_VT_INT;
  p[0].value = code;
  p[1].code = WU_PARAM_SCROLL_VALUE;
  put_double(&p[1], double(value));
  wu_ctl_event record;
  wuxievt(&record, c, WU_EV_SCROLL);
  record.x = c->x;
  record.y = c->y;
  record.params = p;
  record.param_count = 2;
  wu_ctl_run(c, &record, p, 2);
}

// The user scrolled: the value is stored, the host hears of it when it
// asked for scroll events.
void ScrollMoved(Widget, XtPointer client, XtPointer call) {
  auto *c = static_cast<wu_control *>(client);
  auto *cbs = static_cast<XmScrollBarCallbackStruct *>(call);
  if (!wu_ctl_live(c) || c->kind != WU_MT_SCROLLBAR || cbs == nullptr) return;
  const int32_t code = wutsbcd(cbs->reason);
  if (code == 0) return;
  bar(c)->value = cbs->value;
  int32_t sent = 0;
  if (c->procedure != nullptr && (c->event_mask & kEvmScroll)) {
    const wu_reg_hold hold = wu_reg_take(c);
    send_scroll(c, code, cbs->value);
    if (!held_alive(hold, c)) return;
    sent = 1;
  }
  wu_ctl_record(c, WU_EV_SCROLL, code, sent, double(cbs->value), 0);
}

wu_status ScrollSwat(wu_control *c, wu_value *entries, int32_t count) {
  wu_bar *b = bar(c);
  Widget w = b->widget;
  int64_t s = b->large_amount, mx = b->maximum, mn = b->minimum, val = b->value;
  bool have_s = false, have_max = false, have_min = false, have_val = false;
  Arg args[12];
  Cardinal n = 0;
  auto fail = [&](int32_t code) {
    for (int32_t i = 0; i < count; ++i)
      if (entries[i].code == code && entries[i].status == WU_OK) entries[i].status = WU_E_RANGE;
  };
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_FONT: case WU_A_EVENTS: case WU_A_CONTROLID:
      case WU_A_CLICKONLY: case WU_A_EVENTPROC:
        break;
      case WU_A_HPOS: case WU_A_VPOS:
        set_place(c, w, v);
        break;
      case WU_A_WIDTH: case WU_A_HEIGHT:
        set_size(c, w, v, false);
        break;
      case WU_A_FOREGROUND: case WU_A_HELPTEXT: case WU_A_SCALEON:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_VALUE: case WU_A_MINIMUM: case WU_A_MAXIMUM: {
        if (!entry_type(v, WU_VT_DOUBLE)) break;
        const double d = entry_double(v);
        if (!(d > kLowest && d < kHighest)) { v->status = WU_E_RANGE; break; }
        const int64_t t = int64_t(d);
        if (v->code == WU_A_VALUE) { val = t; have_val = true; }
        else if (v->code == WU_A_MINIMUM) { mn = t; have_min = true; }
        else { mx = t; have_max = true; }
        break;
      }
      case WU_A_INCREMENT: case WU_A_LARGESCROLL: {
        if (!entry_type(v, WU_VT_DOUBLE)) break;
        const double d = entry_double(v);
        if (!(d > 0 && d < kHighest) || int64_t(d) < 1) { v->status = WU_E_RANGE; break; }
        if (v->code == WU_A_INCREMENT) {
          b->small_amount = double(int64_t(d));
          XtSetArg(args[n], XmNincrement, int(b->small_amount)); ++n;
        } else {
          s = int64_t(d);
          have_s = true;
        }
        break;
      }
      case WU_A_ORIENTATION:
        if (!entry_type(v, WU_VT_INT)) break;
        if (w != nullptr) { v->status = WU_E_CREATE_ONLY; break; }
        b->orientation = v->value;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  // The range rules, in 64 bits: the slider fits the range, the value lies
  // where the slider can be.
  if (s > mx - mn + 1) {
    s = b->large_amount;
    mx = b->maximum;
    mn = b->minimum;
    if (have_s) fail(WU_A_LARGESCROLL);
    if (have_max) fail(WU_A_MAXIMUM);
    if (have_min) fail(WU_A_MINIMUM);
    have_s = have_max = have_min = false;
  }
  if (val > top_value(mx, s)) {
    // Clamped to the top: the value is stored; the entries of the value,
    // the maximum and the slider size say the three did not fit (a new
    // maximum and slider size still take effect).
    val = top_value(mx, s);
    fail(WU_A_VALUE);
    fail(WU_A_MAXIMUM);
    fail(WU_A_LARGESCROLL);
    have_val = true;
  }
  if (val < mn) {
    val = b->value;
    mn = b->minimum;
    if (have_val) fail(WU_A_VALUE);
    if (have_min) fail(WU_A_MINIMUM);
    have_val = have_min = false;
    val = std::clamp<int64_t>(val, mn, std::max(mn, top_value(mx, s)));
  }
  if (have_s) {
    b->large_amount = int32_t(s);
    XtSetArg(args[n], XmNsliderSize, int(s)); ++n;
    XtSetArg(args[n], XmNpageIncrement, int(s)); ++n;
  }
  if (have_min || have_max) {
    b->minimum = int32_t(mn);
    b->maximum = int32_t(mx);
    XtSetArg(args[n], XmNminimum, int(mn)); ++n;
    XtSetArg(args[n], XmNmaximum, int(mx + 1)); ++n;
    if (!have_s) {
      XtSetArg(args[n], XmNsliderSize, int(s)); ++n;
      XtSetArg(args[n], XmNpageIncrement, int(s)); ++n;
    }
  }
  if (have_val || have_min || have_max || have_s) {
    b->value = int32_t(val);
    XtSetArg(args[n], XmNvalue, int(val)); ++n;
  }
  if (w != nullptr && n > 0 && b->minimum < b->maximum + 1) XtSetValues(w, args, n);
  return wu_ctl_entries_result(entries, count);
}

wu_status ScrollQwat(wu_control *c, wu_value *entries, int32_t count) {
  wu_bar *b = bar(c);
  Widget w = b->widget;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->value = wu_ctl_geometry(c, w, v->code);
        break;
      case WU_A_VALUE: put_double(v, b->value); break;
      case WU_A_MINIMUM: put_double(v, b->minimum); break;
      case WU_A_MAXIMUM: put_double(v, b->maximum); break;
      case WU_A_INCREMENT: put_double(v, b->small_amount); break;
      case WU_A_LARGESCROLL: put_double(v, b->large_amount); break;
      case WU_A_ORIENTATION: v->value = b->orientation; break;
      case WU_A_SCALEON: v->value = 0; break;
      case WU_A_FOREGROUND: case WU_A_HELPTEXT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_FONT: case WU_A_EVENTS: case WU_A_CONTROLID:
      case WU_A_CLICKONLY: case WU_A_EVENTPROC: case WU_A_BACKGROUND:
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status ScrollReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec == nullptr) return WU_NOTAVAIL;
  wu_bar *b = bar(c);
  switch (rec->code) {
    case WU_EV_SCROLL: {
      const double d = rec->value2;
      if (!(d > kLowest && d < kHighest)) return WU_E_RANGE;
      const int64_t top = std::max<int64_t>(b->minimum, top_value(b->maximum, b->large_amount));
      b->value = int32_t(std::clamp<int64_t>(int64_t(d), b->minimum, top));
      if (b->widget != nullptr) XtVaSetValues(b->widget, XmNvalue, int(b->value), nullptr);
      if (!rec->sent) return WU_OK;
      wu_value *p = wu_ctl_event_params(c, WU_EV_SCROLL, 2);
      p[0].type = WU_VT_INT;
      p[0].value = rec->value1;
      put_double(&p[1], double(b->value));
      replay_send(c, rec, p, 2);
      return WU_OK;
    }
    case WU_EV_POPUP: case WU_EV_CLICKONLY:
      replay_send(c, rec, nullptr, 0);
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

wu_status build_scroll(wu_bar *b) {
  wu_control *c = &b->common;
  if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  wu_ctl_colours set;
  const bool dialog_set =
      wuwgpmc != nullptr && wuwgpmc(wu_ctl_window(c), WU_CSET_DIALOG, &set) == WU_OK;
  if (!dialog_set) wu_ctl_class_colours(wu_ctl_window(c), &set);
  Widget parent = c->pane->ext->widget;
  Arg args[24];
  Cardinal n = 0;
  n = wu_ctl_parent_visual_args(parent, args, n);
  XtSetArg(args[n], XmNbackground, set.background); ++n;
  XtSetArg(args[n], XmNforeground, set.foreground); ++n;
  XtSetArg(args[n], XmNx, Position(c->x)); ++n;
  XtSetArg(args[n], XmNy, Position(c->y)); ++n;
  if (c->width > 0) { XtSetArg(args[n], XmNwidth, Dimension(c->width)); ++n; }
  if (c->height > 0) { XtSetArg(args[n], XmNheight, Dimension(c->height)); ++n; }
  // A scroll bar is vertical, sensitive and steps by 1 unless told
  // otherwise: only what differs goes.
  if (!b->orientation) { XtSetArg(args[n], XmNorientation, XmHORIZONTAL); ++n; }
  if (b->minimum < b->maximum) {
    if (b->minimum != 0) { XtSetArg(args[n], XmNminimum, b->minimum); ++n; }
    XtSetArg(args[n], XmNmaximum, b->maximum + 1); ++n;
    XtSetArg(args[n], XmNvalue, b->value); ++n;
  }
  if (c->flags & WU_CTL_GRAYED) { XtSetArg(args[n], XmNsensitive, False); ++n; }
  if (b->small_amount >= 2) { XtSetArg(args[n], XmNincrement, int(b->small_amount)); ++n; }
  XtSetArg(args[n], XmNuserData, c); ++n;
  const int64_t s = b->large_amount;
  if (b->minimum < b->maximum && s <= int64_t(b->maximum) - b->minimum + 1 &&
      s + b->value <= int64_t(b->maximum) + 1 && s >= 1 && b->minimum <= b->value) {
    XtSetArg(args[n], XmNsliderSize, int(s)); ++n;
    XtSetArg(args[n], XmNpageIncrement, int(s)); ++n;
  }
  // Shown once managed, unless hidden (wutmapw manages it or not).
  if (c->flags & WU_CTL_HIDDEN) { XtSetArg(args[n], XmNmappedWhenManaged, False); ++n; }
  Widget w = sscreat(parent, "qevScale", args, n);
  if (w == nullptr) return WU_NOTAVAIL;
  b->widget = w;
  // The button table, then the text keys.
  static const wu_ctl_table kKeys[] = {WU_KEYS_BUTTON, WU_KEYS_WIDGET_POPUP, WU_KEYS_TEXT,
                                       WU_KEYS_TEXT2};
  wu_ctl_keys(w, kKeys, 4);
  add_bar_handlers(w, c);
  for (const char *cb : kScrollCallbacks) XtAddCallback(w, cb, ScrollMoved, c);
  XtAddCallback(w, XmNdestroyCallback, wuwsbds, c);
  // Managed by wutmapw (a hidden bar is made and left unmanaged).
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  return WU_OK;
}

}  // namespace
}  // namespace wubtn

using namespace wubtn;

extern "C" {

wu_status wuxpscl(wu_pane *pane, wu_control **out) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  // Without range pointers the bar keeps its range in its own words.
  wu_bar *b = nullptr;
  if (wuxgbar(pane, &b, 0, 0, 0, nullptr, nullptr, nullptr, 1, 1, kCreateLength, 0, 0) != WU_OK ||
      b == nullptr)
    return WU_NOTAVAIL;
  wu_control *c = &b->common;
  wu_ctl_install(c, {ScrollSwat, ScrollQwat, nullptr, nullptr, UnregisterDND, RegisterDND, QueryDND,
                     SetDND, ScrollReplay});
  c->kind = WU_MT_SCROLLBAR;
  c->flags |= WU_CTL_TAKES_FOCUS;
  b->minimum = b->maximum = b->value = 0;
  b->orientation = 0;
  b->small_amount = 1.0;
  b->large_amount = 1;
  *out = c;
  return WU_OK;
}

wu_status wutipsl(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_SCROLLBAR) return WU_NOTAVAIL;
  return build_scroll(bar(c));
}

wu_status wu_create_scl(wu_pane *pane, wu_control **out) { return wuxpscl(pane, out); }

}  // extern "C"
