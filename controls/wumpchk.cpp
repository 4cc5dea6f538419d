// The check box of host-built dialogs: a labelled toggle with a square
// indicator sized to its font, its click event carrying the new state,
// recording and replay.
#include <X11/IntrinsicP.h>
#include <Xm/LabelP.h>
#include <Xm/ManagerP.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>

#include "controls/wubutton.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "xd/qevutil.h"

namespace wubtn {
namespace {

struct CheckBox {
  wu_control c;
  wu_ctl_widgets w;          // the toggle, twice
  char *label;               // NUL-terminated copy in the window pool
  int32_t label_len;
  int32_t label_size;
  int32_t state;             // 0 off, 1 on
  XmFontList own_font;       // made from a host font, or null
};
static_assert(sizeof(CheckBox) <= WU_CTL_TOGGLE_SIZE, "check box fits its record kind");

constexpr int32_t kLastCode = WU_A_EVENTPROC;

CheckBox *chk(wu_control *c) { return reinterpret_cast<CheckBox *>(c); }

CheckBox *live_chk(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return (wu_ctl_live(c) && c->kind == WU_MT_CHECKBOX) ? chk(c) : nullptr;
}

XmFontList fonts(CheckBox *k) {
  if (k->c.font_list != nullptr) return static_cast<XmFontList>(k->c.font_list);
  return devb ? devb->font_list : nullptr;
}

// The label as shown, its first "&" removed; null when it cannot be made.
XmString shown_label(CheckBox *k) {
  char *plain = wuxstmn(k->label != nullptr ? k->label : "");
  XmString s = plain != nullptr ? wumcstr(plain) : nullptr;
  XtFree(plain);
  return s;
}

Dimension letter_m_width(XmFontList fl) {
  if (fl == nullptr) return 0;
  // The display's font list is measured once for its connection.
  static XmFontList measured = nullptr;
  static Dimension width = 0;
  static const char tag = 0;
  if (_XdFirstOnDisplay(devb->display, &tag)) measured = nullptr;
  if (fl == measured && fl == devb->font_list) return width;
  XmString m = XmStringCreateLocalized(const_cast<char *>("M"));
  const Dimension w = XmStringWidth(fl, m);
  XmStringFree(m);
  if (fl == devb->font_list) {
    measured = fl;
    width = w;
  }
  return w;
}

void post_click(CheckBox *k, Widget w, int32_t state) {
  wu_control *c = &k->c;
  int32_t sent = 0;
  if (c->procedure != nullptr && (c->event_mask & WU_EVM_CLICK_NODE)) {
    wu_value *p = wu_ctl_int_params(c, WU_EV_SELECT, &state, 1);
    const wu_reg_hold hold = wu_reg_take(c);
    sent = wu_ctl_send(c, WU_EV_SELECT, 0, w->core.x, w->core.y, p, 1, WU_EV_CTL_POSTED);
    if (!held_alive(hold, c)) return;
  }
  wu_ctl_record(c, WU_EV_SELECT, state, sent, 0.0, 0);
}

// The user toggled the box: the widget holds the new state.
void CheckValueChanged(Widget w, XtPointer client, XtPointer call) {
  CheckBox *k = live_chk(client);
  if (k == nullptr) return;
  auto *cbs = static_cast<XmToggleButtonCallbackStruct *>(call);
  const int32_t state = cbs != nullptr ? (cbs->set ? 1 : 0) : (XmToggleButtonGetState(w) ? 1 : 0);
  post_click(k, w, state);
}

wu_status CheckCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || (entries != nullptr && count > 0) || wu_ctl_live(c)) return WU_OK;
  CheckBox *k = chk(c);
  pool_text_free(c, &k->label, &k->label_size);
  k->label_len = 0;
  if (k->own_font != nullptr) {
    if (k->w.main != nullptr) XtVaSetValues(k->w.main, XmNfontList, devb->font_list, nullptr);
    wutext::FreeFontList(k->own_font);
  }
  k->own_font = nullptr;
  c->font_list = nullptr;
  return WU_OK;
}

wu_status CheckSwat(wu_control *c, wu_value *entries, int32_t count) {
  CheckBox *k = chk(c);
  Widget w = k->w.main;
  Arg args[8];
  Cardinal n = 0;
  bool relabel = false;
  XmFontList old_font = nullptr;
  bool font_changed = false;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_EVENTS:
      case WU_A_CONTROLID: case WU_A_CLICKONLY: case WU_A_EVENTPROC:
        break;
      case WU_A_HPOS: case WU_A_VPOS:
        set_place(c, w, v);
        break;
      case WU_A_WIDTH: case WU_A_HEIGHT:
        set_size(c, w, v, true);
        break;
      case WU_A_TEXT: {
        if (!entry_type(v, WU_VT_STRING)) break;
        if (!text_ok(v)) { v->status = WU_E_RANGE; break; }
        const wu_status st = pool_text(c, &k->label, &k->label_size, &k->label_len,
                                       static_cast<const char *>(v->pointer), v->value);
        if (st != WU_OK) return st;
        if (w) {
          XmString s = shown_label(k);
          if (s == nullptr) { v->status = WU_E_SIZE_FIXED; break; }
          XtVaSetValues(w, XmNlabelString, s, nullptr);
          XmStringFree(s);
        }
        break;
      }
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_FONT: {
        if (!entry_type(v, WU_VT_FONT)) break;
        if (!font_changed) old_font = k->own_font;
        else wutext::FreeFontList(k->own_font);
        k->own_font = host_font_list(c, v->pointer);
        c->font_list = k->own_font;
        font_changed = relabel = true;
        break;
      }
      case WU_A_SELECTED:
        if (!entry_type(v, WU_VT_BOOL)) break;
        k->state = (v->value & 0xffff) != 0 ? 1 : 0;
        if (w) XmToggleButtonSetState(w, k->state ? True : False, False);
        break;
      case WU_A_CONFORMSIZE: {
        if (!entry_type(v, WU_VT_BOOL)) break;
        const int16_t on = int16_t((v->value & 0xffff) != 0);
        if (!on) { XtSetArg(args[n], XmNrecomputeSize, False); ++n; }
        if (on && !c->conform_size) relabel = true;
        c->conform_size = on;
        break;
      }
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (w == nullptr) {
    wutext::FreeFontList(old_font);
    return wu_ctl_entries_result(entries, count);
  }
  Dimension old_w = 0, old_h = 0;
  XtVaGetValues(w, XmNwidth, &old_w, XmNheight, &old_h, nullptr);
  if (c->conform_size) { XtSetArg(args[n], XmNrecomputeSize, True); ++n; }
  if (font_changed) {
    XtSetArg(args[n], XmNfontList, fonts(k)); ++n;
    XtSetArg(args[n], XmNindicatorSize, letter_m_width(fonts(k))); ++n;
  }
  XmString s = relabel ? shown_label(k) : nullptr;
  if (s != nullptr) { XtSetArg(args[n], XmNlabelString, s); ++n; }
  if (n > 0) XtSetValues(w, args, n);
  if (s != nullptr) XmStringFree(s);
  wutext::FreeFontList(old_font);
  if (c->conform_size && (c->event_mask & kEvmConform)) {
    Dimension nw = 0, nh = 0;
    XtVaGetValues(w, XmNwidth, &nw, XmNheight, &nh, nullptr);
    if (nw != old_w || nh != old_h)
      wu_ctl_send(c, WU_EV_CONFORMSIZE, 0, c->x, c->y, nullptr, 0, WU_EV_CTL_POSTED);
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status CheckQwat(wu_control *c, wu_value *entries, int32_t count) {
  CheckBox *k = chk(c);
  Widget w = k->w.main;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->value = wu_ctl_geometry(c, w, v->code);
        break;
      case WU_A_TEXT:
        v->type = WU_VT_STRING;
        v->value = k->label != nullptr ? k->label_len : 0;
        v->pointer = k->label;
        break;
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_SELECTED:
        if (w != nullptr) k->state = XmToggleButtonGetState(w) ? 1 : 0;
        v->value = k->state;
        break;
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_FONT:
      case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY: case WU_A_CONFORMSIZE:
      case WU_A_EVENTPROC:
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status CheckReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec == nullptr) return WU_NOTAVAIL;
  CheckBox *k = chk(c);
  switch (rec->code) {
    case WU_EV_SELECT: {
      // A recorded click toggles the box, as the user's click did, and is
      // reported with the new state.
      int32_t now = k->state;
      if (k->w.main != nullptr) now = XmToggleButtonGetState(k->w.main) ? 1 : 0;
      k->state = now ? 0 : 1;
      if (k->w.main != nullptr) XmToggleButtonSetState(k->w.main, k->state ? True : False, False);
      wu_value *p = wu_ctl_int_params(c, WU_EV_SELECT, &k->state, 1);
      wu_ctl_send(c, WU_EV_SELECT, 0, c->x, c->y, p, 1, WU_EV_CTL_POSTED);
      return WU_OK;
    }
    case WU_EV_POPUP: case WU_EV_CLICKONLY: case WU_EV_CONFORMSIZE:
      wu_ctl_send(c, rec->code, 0, c->x, c->y, nullptr, 0, WU_EV_CTL_POSTED);
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

wu_status build_check(CheckBox *k) {
  wu_control *c = &k->c;
  if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  Widget parent = c->pane->ext->widget;
  // The pane widget is a manager: its colours are read from it directly.
  const Pixel pane_bg = parent->core.background_pixel;
  const Pixel pane_fg = reinterpret_cast<XmManagerWidget>(parent)->manager.foreground;
  const uint32_t saved = c->flags;
  c->flags &= ~WU_CTL_HIDDEN;
  Arg args[30];
  Cardinal n = 0;
  // A toggle out of a radio box is one-of-many, unset, without border,
  // shadow or top and bottom margins (it makes them for an indicator taller
  // than its label, taken away below), and sensitive, unless told
  // otherwise: only what differs goes.
  XtSetArg(args[n], XmNrecomputeSize, False); ++n;
  if (k->state) { XtSetArg(args[n], XmNset, True); ++n; }
  XtSetArg(args[n], XmNmarginHeight, Dimension(0)); ++n;
  XtSetArg(args[n], XmNmarginWidth, Dimension(0)); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  if (c->flags & WU_CTL_GRAYED) { XtSetArg(args[n], XmNsensitive, False); ++n; }
  XtSetArg(args[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
  XtSetArg(args[n], XmNtraversalOn, False); ++n;
  XtSetArg(args[n], XmNhighlightThickness, Dimension(0)); ++n;
  n = wu_ctl_parent_visual_args(parent, args, n);
  XtSetArg(args[n], XmNbackground, c->background ? Pixel(c->background->pixel) : pane_bg); ++n;
  XtSetArg(args[n], XmNforeground, c->foreground ? Pixel(c->foreground->pixel) : pane_fg); ++n;
  XtSetArg(args[n], XmNfontList, fonts(k)); ++n;
  XtSetArg(args[n], XmNx, Position(c->x)); ++n;
  XtSetArg(args[n], XmNy, Position(c->y)); ++n;
  XtSetArg(args[n], XmNselectColor, pane_fg); ++n;
  // Shown once managed, unless hidden (wutmapw manages it or not).
  if (saved & WU_CTL_HIDDEN) { XtSetArg(args[n], XmNmappedWhenManaged, False); ++n; }
  if (!c->conform_size) {
    if (c->width > 0) { XtSetArg(args[n], XmNwidth, Dimension(c->width)); ++n; }
    if (c->height > 0) { XtSetArg(args[n], XmNheight, Dimension(c->height)); ++n; }
  }
  XtSetArg(args[n], XmNindicatorSize, letter_m_width(fonts(k))); ++n;
  XmString s = k->label != nullptr ? shown_label(k) : nullptr;
  if (s != nullptr) { XtSetArg(args[n], XmNlabelString, s); ++n; }
  Widget w = XtCreateWidget("qevToggleButton", xmToggleButtonWidgetClass, parent, args, n);
  if (s != nullptr) XmStringFree(s);
  c->flags = saved;
  if (w == nullptr) return WU_NOTAVAIL;
  k->w.main = k->w.outer = w;
  wumdxlt(w);
  // The toggle makes room above and below for an indicator taller than
  // the label: that room goes again.
  const XmLabelPart &lp = reinterpret_cast<XmLabelWidget>(w)->label;
  if (lp.margin_top != 0 || lp.margin_bottom != 0)
    XtVaSetValues(w, XmNmarginTop, Dimension(0), XmNmarginBottom, Dimension(0), nullptr);
  if (wuwidrg != nullptr && c->dnd != nullptr) wuwidrg(w, static_cast<wu_dnd_site *>(c->dnd));
  XtAddCallback(w, XmNvalueChangedCallback, CheckValueChanged, c);
  // Managed by wutmapw below, with its translations merged beforehand:
  // merging into a realized widget installs them again each time.
  // The text keys, then the button table.
  static const wu_ctl_table kKeys[] = {WU_KEYS_TEXT, WU_KEYS_TEXT2, WU_KEYS_BUTTON,
                                       WU_KEYS_WIDGET_POPUP};
  wu_ctl_keys(w, kKeys, 4);
  add_button_handlers(w, c, true);
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  if (c->conform_size)
    wu_ctl_send(c, WU_EV_CONFORMSIZE, kEvmConform, c->x, c->y, nullptr, 0, WU_EV_CTL_POSTED);
  return WU_OK;
}

}  // namespace
}  // namespace wubtn

using namespace wubtn;

extern "C" {

wu_status wuxpchk(wu_pane *pane, wu_control **out) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  wu_control *c = nullptr;
  // The older creator refuses cell 0; the catalogue places by pixels later.
  if (wuxgchk(pane, &c, 0, 1, 1, 0, " ", 1) != WU_OK || c == nullptr) return WU_NOTAVAIL;
  wu_old_button *old = reinterpret_cast<wu_old_button *>(c);
  char *old_label = old->label;
  int32_t old_size = old->label_size;
  pool_text_free(c, &old_label, &old_size);
  CheckBox *k = chk(c);
  std::memset(&k->w, 0, sizeof(CheckBox) - sizeof(wu_control));
  wu_ctl_install(c, {CheckSwat, CheckQwat, nullptr, CheckCleanup, UnregisterDND, RegisterDND,
                     QueryDND, SetDND, CheckReplay});
  c->kind = WU_MT_CHECKBOX;
  c->flags |= WU_CTL_TAKES_FOCUS;
  if (pool_text(c, &k->label, &k->label_size, &k->label_len, " ", 1) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  *out = c;
  return WU_OK;
}

wu_status wutipck(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_CHECKBOX) return WU_NOTAVAIL;
  return build_check(chk(c));
}

wu_status wu_create_cb(wu_pane *pane, wu_control **out) { return wuxpchk(pane, out); }

}  // extern "C"
