// The spin box: a one-line text with two arrows that step a number between
// bounds or an index through a list of texts, built by `wutgsbx` for the
// module's own dialogs and for the catalogue control (type 5), which the
// host drives.  Also the one-pixel focus frame of the compound controls and
// push buttons.
#include <X11/IntrinsicP.h>
#include <Xm/ArrowB.h>
#include <Xm/Form.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "controls/wucombo.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"

extern "C" {
void wuwtlwn(Widget, XtPointer, XEvent *, Boolean *) __attribute__((weak));
}

namespace {

constexpr uint32_t kEvmKey = 1u << (WU_EV_KEY - 1);
constexpr uint32_t kEvmReturn = 1u << (WU_EV_RETURNKEY - 1);
constexpr uint32_t kEvmIncrement = 0x400;
constexpr uint32_t kEvmDecrement = 0x800;
constexpr uint32_t kEvmConform = 0x2000;
constexpr int32_t kArrowRoom = 19;     // the text is the width less the arrows' room
constexpr int32_t kConformPad = 6;     // conformSize: "Tall" plus this
constexpr int32_t kNumberCells = 4;    // natural width of a local numeric box
constexpr int32_t kLastCode = WU_A_EVENTPROC;
constexpr int32_t kMaxPixels = 32767;      // the X server's coordinate range
constexpr int32_t kMaxItems = 1 << 20;     // items a host list may give at once

wu_spin *rec(wu_control *c) { return reinterpret_cast<wu_spin *>(c); }

bool in_pane(const wu_spin *sb) { return sb->c.kind == WU_MT_SPINBOX && sb->c.pane != nullptr; }

wu_spin *live(XtPointer client) {
  auto *sb = static_cast<wu_spin *>(client);
  if (sb == nullptr) return nullptr;
  if (wu_reg_has(sb, WU_REG_COMBO)) return sb;
  if (wu_ctl_live(&sb->c) && sb->c.kind == WU_MT_SPINBOX) return sb;
  return nullptr;
}

char *copy_n(const char *text, int32_t n) {
  n = std::max(n, 0);
  char *s = XtMalloc(Cardinal(n) + 1);
  if (n > 0) std::memcpy(s, text, size_t(n));
  s[n] = '\0';
  return s;
}

void set_pending(wu_spin *sb, char *text) {
  XtFree(sb->pending);
  sb->pending = text;
}

XmFontList font_list(wu_spin *sb) {
  return sb->c.font_list != nullptr ? static_cast<XmFontList>(sb->c.font_list) : devb->font_list;
}

int32_t tall_height(wu_spin *sb) {
  XmString s = XmStringCreateLocalized(const_cast<char *>("Tall"));
  const int32_t h = XmStringHeight(font_list(sb), s);
  XmStringFree(s);
  return h;
}

Pixel text_foreground(wu_spin *sb) {
  if (sb->c.foreground != nullptr) return sb->c.foreground->pixel;
  if (sb->error_on) return devb->red_foreground;
  wu_ctl_colours set;
  wu_ctl_class_colours(wu_ctl_window(&sb->c), &set);
  return set.foreground;
}

Position form_x(wu_spin *sb) { return sb->form ? sb->form->core.x : Position(sb->c.x); }
Position form_y(wu_spin *sb) { return sb->form ? sb->form->core.y : Position(sb->c.y); }

// The position of the last item equal to a text, 0 when none.
int32_t last_equal(wu_spin *sb, const char *text) {
  int32_t found = 0;
  for (int32_t i = 0; i < sb->item_count; ++i)
    if (text != nullptr && std::strcmp(sb->items[i], text) == 0) found = i + 1;
  return found;
}

void wumsbve(Widget, XtPointer, XtPointer);
void wumsbvc(Widget, XtPointer, XtPointer);
void wumsbat(Widget, XtPointer, XtPointer);

// Puts a text in without the modify-verify limit and the value-changed
// events; the index and value still follow it.
void put_text(wu_spin *sb, const char *text) {
  Widget t = sb->text_w;
  if (t == nullptr) return;
  XtRemoveCallback(t, XmNmodifyVerifyCallback, wumsbve, sb);
  XtRemoveCallback(t, XmNvalueChangedCallback, wumsbat, sb);
  sb->in_update = 1;
  XmTextSetString(t, const_cast<char *>(text));
  sb->in_update = 0;
  XmTextSetInsertionPosition(t, XmTextGetLastPosition(t));
  XtAddCallback(t, XmNmodifyVerifyCallback, wumsbve, sb);
  XtAddCallback(t, XmNvalueChangedCallback, wumsbat, sb);
}

// A float as the integer shown, clamped to the integer range.
int32_t shown_integer(double v) {
  if (std::isnan(v)) return 0;
  v = std::trunc(v);
  if (v > double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  if (v < double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
  return int32_t(v);
}

void record(wu_spin *sb, int32_t code, const char *text, int32_t sent) {
  if (wu_batch_recording() == nullptr) return;
  wu_batch_event r = {};
  r.code = code;
  r.sent = sent;
  if (text != nullptr) wu_rec_set_text(&r, text, int32_t(std::strlen(text)));
  wu_ctl_record_event(&sb->c, &r);
}

void note_active(wu_spin *sb) {
  wu_state *state = wu_module();
  if (state != nullptr) state->last_input = sb->text_w;
  if (in_pane(sb)) wutactw(wu_ctl_window(&sb->c), sb->text_w);
}

void wumsbve(Widget w, XtPointer client, XtPointer call) {
  wu_spin *sb = live(client);
  if (sb == nullptr) return;
  auto *cbs = static_cast<XmTextVerifyCallbackStruct *>(call);
  note_active(sb);
  if (cbs->reason != XmCR_MODIFYING_TEXT_VALUE) return;
  const int32_t inserted = cbs->text != nullptr ? cbs->text->length : 0;
  const int32_t removed = int32_t(std::max<XmTextPosition>(cbs->endPos - cbs->startPos, 0));
  const int32_t now = int32_t(XmTextGetLastPosition(w));
  // The limit applies to a text the field already holds: what goes into
  // an empty field (a paste) is taken whole.
  if (inserted > 0 && now > 0 && now - removed + inserted > WU_SPIN_TEXT_MAX) {
    if (wutalrm != nullptr) wutalrm();
    else XBell(devb->display, 0);
    cbs->doit = False;
    return;
  }
  if (sb->c.procedure != nullptr && (sb->c.event_mask & kEvmKey) && in_pane(sb)) {
    wu_ctl_send(&sb->c, WU_EV_KEY, kEvmKey, form_x(sb), form_y(sb), nullptr, 0, WU_EV_CTL_POSTED);
  }
}

void wumsbvc(Widget w, XtPointer client, XtPointer) {
  wu_spin *sb = live(client);
  if (sb == nullptr) return;
  char *text = XmTextGetString(w);
  if (sb->numeric) {
    if (!sb->host_driven) sb->current = float(std::strtod(text, nullptr));
  } else {
    sb->selected = last_equal(sb, text);
  }
  XtFree(text);
}

void wumsbat(Widget w, XtPointer client, XtPointer) {
  wu_spin *sb = live(client);
  if (sb == nullptr || !in_pane(sb)) return;
  const int32_t sent = wu_ctl_send(&sb->c, WU_EV_VALUECHANGED, WU_EVM_VALUECHANGED, sb->c.x,
                                   sb->c.y, nullptr, 0, WU_EV_CTL_POSTED);
  if ((sb = live(client)) == nullptr) return;
  char *text = XmTextGetString(w);
  record(sb, WU_EV_VALUECHANGED, text, sent);
  record(sb, WU_EV_KEY, text, (sb->c.event_mask & kEvmKey) && sb->c.procedure != nullptr);
  XtFree(text);
}

void wumsbta(Widget w, XtPointer client, XtPointer) {
  wu_spin *sb = live(client);
  if (sb == nullptr) return;
  if (sb->numeric && !sb->host_driven) {
    char buf[32];
    buf[0] = '\0';
    if (sb->current > sb->maximum) std::snprintf(buf, sizeof buf, "%d", shown_integer(sb->maximum));
    else if (sb->current < sb->minimum) std::snprintf(buf, sizeof buf, "%d", shown_integer(sb->minimum));
    if (buf[0] != '\0') {
      put_text(sb, buf);
      sb->current = float(std::strtod(buf, nullptr));
    }
    UpdateSpinBox(sb);
    return;
  }
  char *text = XmTextGetString(w);
  if (text[0] != '\0') set_pending(sb, text);
  else XtFree(text);
}

void wumsbtf(Widget w, XtPointer client, XtPointer) {
  wu_spin *sb = live(client);
  if (sb == nullptr || !in_pane(sb)) return;
  const int32_t sent = wu_ctl_send(&sb->c, WU_EV_RETURNKEY, kEvmReturn, form_x(sb), form_y(sb),
                                   nullptr, 0, WU_EV_CTL_POSTED);
  if ((sb = live(client)) == nullptr) return;
  char *text = XmTextGetString(w);
  record(sb, WU_EV_RETURNKEY, text, sent);
  XtFree(text);
}

// The two parameters of a host-driven step: the text and the number.
wu_value *step_params(wu_spin *sb, int32_t code) {
  // Each code keeps its own text while an event of it may be pending.
  wu_value *p = wu_ctl_event_params(&sb->c, code, 2);
  char *&text = sb->step_text[code == WU_EV_DECREMENT ? 1 : 0];
  XtFree(text);
  text = sb->text_w != nullptr ? XmTextGetString(sb->text_w) : copy_n("", 0);
  p[0].type = WU_VT_STRING;
  p[0].pointer = text;
  p[0].value = int32_t(std::strlen(text));
  p[1].type = WU_VT_INT;
  p[1].value = sb->numeric ? 1 : sb->selected;
  return p;
}

void wumsbbt(Widget w, XtPointer client, XtPointer) {
  wu_spin *sb = live(client);
  if (sb == nullptr) return;
  const bool down = w == sb->arrow2;
  ProcessArrow(sb, down ? 1 : 0);
  const int32_t code = down ? WU_EV_DECREMENT : WU_EV_INCREMENT;
  const uint32_t bit = down ? kEvmDecrement : kEvmIncrement;
  int32_t sent = 0;
  if (sb->c.procedure != nullptr && (sb->c.event_mask & bit)) {
    wu_value *p = sb->host_driven ? step_params(sb, code) : nullptr;
    sent = wu_ctl_send(&sb->c, code, bit, form_x(sb), form_y(sb), p, p ? 2 : 0, WU_EV_CTL_POSTED);
    if ((sb = live(client)) == nullptr) return;
  }
  if (in_pane(sb)) wu_ctl_record(&sb->c, code, 0, sent, 0, 0);
}

void form_destroyed(Widget, XtPointer client, XtPointer) {
  auto *sb = static_cast<wu_spin *>(client);
  if (!wu_reg_has(sb, WU_REG_COMBO)) return;
  sb->form = sb->form2 = sb->arrow1 = sb->arrow2 = sb->text_w = nullptr;
  sb->w.main = sb->w.outer = nullptr;
  set_pending(sb, nullptr);
  wu_reg_remove(sb);
}

void common_handlers(wu_spin *sb, Widget w) {
  if (!in_pane(sb)) return;
  if (wutaddt != nullptr) wutaddt(w);
  wutmnrq(w, &sb->c);
  if (sb->host_driven && devb->popup_translation != nullptr)
    XtOverrideTranslations(w, devb->popup_translation);
}

// The one frame of the focus: a pixel around `target` in its parent's
// window while `w` has the keyboard, cleared again with exposures when it
// loses it.
void focus_frame(Widget w, Widget target, XEvent *event) {
  if (target == nullptr || XtParent(target) == nullptr || !XtIsRealized(XtParent(target)) ||
      !wu_x_ok() || !wu_ctl_keyboard_change(w, event))
    return;
  Display *d = XtDisplay(target);
  Window win = XtWindow(XtParent(target));
  const int x = target->core.x, y = target->core.y;
  const int wd = target->core.width, ht = target->core.height;
  if (event->type == FocusIn) {
    Pixel hl = 0, fg = 0, bg = 0;
    XtVaGetValues(w, XmNhighlightColor, &hl, XmNforeground, &fg, XmNbackground, &bg, nullptr);
    if (hl == bg) hl = fg;
    GC gc = XCreateGC(d, win, 0, nullptr);
    XSetForeground(d, gc, hl);
    XDrawRectangle(d, win, gc, x - 1, y - 1, unsigned(wd + 1), unsigned(ht + 1));
    XFreeGC(d, gc);
  } else {
    XClearArea(d, win, x - 2, y - 2, unsigned(wd + 4), unsigned(ht + 4), True);
  }
}

}  // namespace

extern "C" {

// The toolkit moves the keyboard between the widgets of a shell with focus
// events of its own (sent events).  The server's focus events on a widget's
// window say only that the pointer lies in it while its shell gets the
// focus (a window opened or given the focus back under the pointer); the
// keys still go to the shell's focus widget, so they change nothing here.
bool wu_ctl_keyboard_change(Widget w, const XEvent *event) {
  if (w == nullptr || event == nullptr || (event->type != FocusIn && event->type != FocusOut))
    return false;
  return event->xfocus.send_event && (event->type != FocusIn || XmGetFocusWidget(w) == w);
}

void wuwsbfo(Widget w, XtPointer, XEvent *event, Boolean *) {
  if (w != nullptr) focus_frame(w, XtParent(w), event);
}

void wuwpbfo(Widget w, XtPointer client, XEvent *event, Boolean *) {
  // A read-only entry field takes the keyboard without a frame.
  auto *c = static_cast<wu_control *>(client);
  if (event->type == FocusIn && wu_ctl_live(c) && c->kind == WU_MT_ENTRY && !XmTextGetEditable(w))
    return;
  focus_frame(w, w, event);
}

void UpdateSpinBox(wu_spin *sb) {
  if (sb == nullptr || !sb->input_area || sb->text_w == nullptr) return;
  if (sb->host_driven && sb->numeric) return;
  char buf[64];
  const char *text = buf;
  char *owned = nullptr;
  if (sb->numeric) {
    const float v = (sb->current > sb->maximum || sb->current < sb->minimum) ? sb->initial
                                                                             : sb->current;
    if (sb->unit[0] != '\0')
      std::snprintf(buf, sizeof buf, "%d %.*s", shown_integer(v), WU_SPIN_UNIT_LEN - 1, sb->unit);
    else
      std::snprintf(buf, sizeof buf, "%d", shown_integer(v));
  } else {
    if (sb->selected < 1 || sb->selected > sb->item_count) sb->selected = 1;
    if (sb->item_count > 0) {
      text = sb->items[sb->selected - 1];
    } else if (sb->pending != nullptr) {
      owned = sb->pending;
      sb->pending = nullptr;
      text = owned;
    } else {
      return;
    }
  }
  XtRemoveCallback(sb->text_w, XmNmodifyVerifyCallback, wumsbve, sb);
  XtRemoveCallback(sb->text_w, XmNvalueChangedCallback, wumsbat, sb);
  sb->in_update = 1;
  const int32_t keep = sb->selected;
  XmTextSetString(sb->text_w, const_cast<char *>(text));
  if (!sb->numeric && sb->item_count > 0) sb->selected = keep;
  sb->in_update = 0;
  const XmTextPosition last = XmTextGetLastPosition(sb->text_w);
  XmTextSetInsertionPosition(sb->text_w, last);
  // A text not yet on the screen takes no selection: a box being built
  // leaves the display's selection where the user made it.
  if (!sb->read_only && XtIsRealized(sb->text_w))
    XmTextSetSelection(sb->text_w, 0, last, XtLastTimestampProcessed(devb->display));
  XtAddCallback(sb->text_w, XmNmodifyVerifyCallback, wumsbve, sb);
  XtAddCallback(sb->text_w, XmNvalueChangedCallback, wumsbat, sb);
  XtFree(owned);
}

void ProcessArrow(wu_spin *sb, int32_t direction) {
  if (sb == nullptr || !sb->input_area) return;
  if (!sb->numeric) {
    const int32_t next = sb->selected + (direction == 0 ? 1 : -1);
    if (next >= 1 && next <= sb->item_count) {
      sb->selected = next;
      UpdateSpinBox(sb);
    }
    return;
  }
  if (sb->host_driven) return;
  if (direction == 0) {
    const float v = sb->current + sb->increment;
    sb->current = (std::isnan(v) || v > sb->maximum) ? sb->maximum : v;
  } else {
    const float v = sb->current - sb->increment;
    sb->current = (std::isnan(v) || v < sb->minimum) ? sb->minimum : v;
  }
  UpdateSpinBox(sb);
}

wu_status wuwtxtf(wu_spin *sb) {
  if (sb->form == nullptr) return WU_NOTAVAIL;
  wu_ctl_colours c5;
  wu_ctl_class_colours(wu_ctl_window(&sb->c), &c5);
  const int32_t text_h = tall_height(sb) + kConformPad;
  // A box no taller than its font keeps a one-pixel margin, so that the
  // text is not cut by the toolkit's default margins.
  Dimension margin = 1;
  if (sb->c.conform_size) sb->c.height = text_h;
  else if (sb->c.height > text_h) margin = Dimension(std::max((sb->c.height - text_h - 2) / 2, 1));
  Arg a[24];
  Cardinal n = 0;
  XtSetArg(a[n], XmNvisual, devb->visual); ++n;
  XtSetArg(a[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(a[n], XmNfontList, font_list(sb)); ++n;
  XtSetArg(a[n], XmNbackground, sb->c.background ? Pixel(sb->c.background->pixel) : c5.background); ++n;
  XtSetArg(a[n], XmNforeground, text_foreground(sb)); ++n;
  XtSetArg(a[n], XmNuserData, sb); ++n;
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNeditable, sb->read_only ? False : True); ++n;
  XtSetArg(a[n], XmNmarginHeight, margin); ++n;
  XtSetArg(a[n], XmNheight, Dimension(std::max(sb->c.height, 1))); ++n;
  XtSetArg(a[n], XmNshadowThickness, Dimension(1)); ++n;
  XtSetArg(a[n], XmNhighlightThickness, Dimension(0)); ++n;
  XtSetArg(a[n], XmNwidth, Dimension(std::max(sb->c.width - kArrowRoom, 1))); ++n;
  XtSetArg(a[n], XmNresizeWidth, False); ++n;
  XtSetArg(a[n], XmNcursorPosition, XmTextPosition(sb->cursor)); ++n;
  if (sb->pending != nullptr) { XtSetArg(a[n], XmNvalue, sb->pending); ++n; }
  XtSetArg(a[n], XmNeditMode, XmSINGLE_LINE_EDIT); ++n;
  sb->text_w = XtCreateWidget("TextField", xmTextWidgetClass, sb->form, a, n);
  if (sb->text_w == nullptr) return WU_NOTAVAIL;
  sb->w.main = sb->text_w;
  if (sb->host_driven)
    XtInsertEventHandler(sb->text_w, FocusChangeMask, False, wuwsbfo, sb, XtListHead);
  if (sb->input_area) XtManageChild(sb->text_w);
  if (in_pane(sb)) {
    if (!devb->motifres.native_text_translations && wutaddt != nullptr) {
      wutaddt(sb->text_w);
      XtOverrideTranslations(sb->text_w, wutext::text_keys(false));
    }
    wutmnrq(sb->text_w, &sb->c);
    if (sb->host_driven && devb->popup_translation != nullptr)
      XtOverrideTranslations(sb->text_w, devb->popup_translation);
  }
  XtAddCallback(sb->text_w, XmNmodifyVerifyCallback, wumsbve, sb);
  XtAddCallback(sb->text_w, XmNvalueChangedCallback, wumsbvc, sb);
  XtAddCallback(sb->text_w, XmNvalueChangedCallback, wumsbat, sb);
  XtAddCallback(sb->text_w, XmNactivateCallback, wumsbta, sb);
  if (in_pane(sb)) XtAddCallback(sb->text_w, XmNactivateCallback, wumsbtf, sb);
  XtVaSetValues(sb->form, XmNheight, Dimension(std::max(sb->c.height, 1)), nullptr);
  return WU_OK;
}

wu_status wuxarrw(wu_spin *sb) {
  if (sb->form == nullptr) return WU_NOTAVAIL;
  wu_ctl_colours c3;
  wu_ctl_class_colours(wu_ctl_window(&sb->c), &c3);
  if (wuwgpmc != nullptr) wuwgpmc(wu_ctl_window(&sb->c), 3, &c3);
  Dimension th = Dimension(std::max(sb->c.height, 2));
  if (sb->input_area && sb->text_w != nullptr) XtVaGetValues(sb->text_w, XmNheight, &th, nullptr);
  const Dimension half = Dimension(std::max(th / 2, 1));
  Widget *arrows[2] = {&sb->arrow1, &sb->arrow2};
  for (int i = 0; i < 2; ++i) {
    Arg a[20];
    Cardinal n = 0;
    XtSetArg(a[n], XmNvisual, devb->visual); ++n;
    XtSetArg(a[n], XmNcolormap, devb->colormap); ++n;
    XtSetArg(a[n], XmNbackground, c3.background); ++n;
    XtSetArg(a[n], XmNforeground, c3.foreground); ++n;
    XtSetArg(a[n], XmNuserData, sb); ++n;
    XtSetArg(a[n], XmNhighlightThickness, Dimension(0)); ++n;
    // Each arrow is half a text line high: a thin shadow and a solid arrow
    // leave the arrow itself room to be seen.
    XtSetArg(a[n], XmNshadowThickness, Dimension(1)); ++n;
    XtSetArg(a[n], XmNdetailShadowThickness, Dimension(0)); ++n;
    XtSetArg(a[n], XmNtraversalOn, False); ++n;
    XtSetArg(a[n], XmNrightAttachment, XmATTACH_FORM); ++n;
    if (i == 0) {
      XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
    } else {
      XtSetArg(a[n], XmNtopAttachment, XmATTACH_WIDGET); ++n;
      XtSetArg(a[n], XmNtopWidget, sb->arrow1); ++n;
    }
    // The second arrow takes the odd pixel, so that together they are as
    // high as the text.
    XtSetArg(a[n], XmNheight, i == 0 ? half : Dimension(std::max(int(th) - int(half), 1))); ++n;
    // Beside a text the arrows keep their own width at the form's right
    // edge; without one they fill the form.
    XtSetArg(a[n], XmNwidth, Dimension(kArrowRoom)); ++n;
    if (!sb->input_area || sb->text_w == nullptr) {
      XtSetArg(a[n], XmNleftAttachment, XmATTACH_FORM); ++n;
    }
    const unsigned char dir = sb->vertical ? (i == 0 ? XmARROW_UP : XmARROW_DOWN)
                                           : (i == 0 ? XmARROW_RIGHT : XmARROW_LEFT);
    XtSetArg(a[n], XmNarrowDirection, dir); ++n;
    *arrows[i] = XtCreateManagedWidget("ArrowButton", xmArrowButtonWidgetClass, sb->form, a, n);
    if (*arrows[i] == nullptr) return WU_NOTAVAIL;
    common_handlers(sb, *arrows[i]);
    XtAddCallback(*arrows[i], XmNactivateCallback, wumsbbt, sb);
    if (in_pane(sb) && wuwtlwn != nullptr)
      XtAddEventHandler(*arrows[i], EnterWindowMask | LeaveWindowMask, False, wuwtlwn, &sb->c);
  }
  return WU_OK;
}

}  // extern "C"

namespace {

// Builds the form, its text and arrows.  The form is managed only once its
// parts are made (`manage`), or left for the caller to manage once it has
// laid it out: the parts are realised with it, so that no part is managed
// alone inside a form already on the screen, and a text given its value
// before it is on the screen takes no selection.
wu_status build(Widget parent, wu_spin *sb, bool manage) {
  if (parent == nullptr || sb == nullptr || !wu_x_ok()) return WU_NOTAVAIL;
  const bool pane = in_pane(sb);
  if (!pane && !wu_reg_has(sb, WU_REG_COMBO) && wu_reg_add(sb, WU_REG_COMBO) != WU_OK)
    return WU_NOTAVAIL;
  wu_ctl_colours c3;
  wu_ctl_class_colours(wu_ctl_window(&sb->c), &c3);
  if (wuwgpmc != nullptr) wuwgpmc(wu_ctl_window(&sb->c), 3, &c3);
  if (!sb->host_driven) {
    sb->numeric = 1;
    sb->input_area = 1;
    sb->vertical = 1;
  }
  sb->form = XtVaCreateWidget("sbox_form", xmFormWidgetClass, parent, XmNvisual, devb->visual,
                              XmNcolormap, devb->colormap, XmNbackground, c3.background,
                              XmNforeground, c3.foreground, XmNuserData, sb, XmNresizePolicy,
                              XmRESIZE_NONE, XmNsensitive,
                              (sb->c.flags & WU_CTL_GRAYED) ? False : True, nullptr);
  if (sb->form == nullptr) return WU_NOTAVAIL;
  sb->form2 = sb->form;
  sb->w.outer = sb->w.main = sb->form;
  if (!pane) XtAddCallback(sb->form, XmNdestroyCallback, form_destroyed, sb);
  if (sb->c.flags & WU_CTL_HIDDEN) XtSetMappedWhenManaged(sb->form, False);
  common_handlers(sb, sb->form);
  wu_status st = WU_OK;
  if (sb->input_area && (st = wuwtxtf(sb)) != WU_OK) return st;
  if ((st = wuxarrw(sb)) != WU_OK) return st;
  if (!sb->host_driven && sb->text_w != nullptr)
    XtVaSetValues(sb->text_w, XmNrightAttachment, XmATTACH_WIDGET, XmNrightWidget, sb->arrow1,
                  XmNrightOffset, 0, nullptr);
  if (sb->numeric && !sb->host_driven) sb->current = sb->initial;
  if (sb->input_area) UpdateSpinBox(sb);
  if (manage) XtManageChild(sb->form);
  if (pane && sb->c.conform_size && (sb->c.event_mask & kEvmConform))
    wu_ctl_send(&sb->c, WU_EV_CONFORMSIZE, kEvmConform, form_x(sb), form_y(sb), nullptr, 0,
                WU_EV_CTL_POSTED);
  return WU_OK;
}

}  // namespace

extern "C" {

wu_status wutgsbx(Widget parent, wu_spin *sb) { return build(parent, sb, true); }

}  // extern "C"

namespace {

// The width of the form: the record's, or for a width of 1 the natural
// width (the arrow, with the text four cells or the longest item wide).
int32_t form_width(wu_spin *sb) {
  if (sb->c.width != 1) return sb->c.width;
  Dimension aw = 0;
  if (sb->arrow1 != nullptr) XtVaGetValues(sb->arrow1, XmNwidth, &aw, nullptr);
  const int32_t cell = devb->cell_width > 0 ? devb->cell_width : 1;
  int32_t width = aw;
  if (sb->input_area && sb->text_w != nullptr) {
    width += (sb->numeric && !sb->host_driven) ? kNumberCells * cell : int32_t(sb->longest) * cell;
    // The text's own frame and margins come on top, so the longest text is
    // shown whole rather than cut at its first characters.
    Dimension margin = 0, shadow = 0, highlight = 0;
    XtVaGetValues(sb->text_w, XmNmarginWidth, &margin, XmNshadowThickness, &shadow,
                  XmNhighlightThickness, &highlight, nullptr);
    width += 2 * (int32_t(margin) + shadow + highlight) + cell;
  }
  return std::max(width, 1);
}

// Sets a widget's size where it differs (a box laid out again keeps what
// already fits).
void set_width(Widget w, int32_t width) {
  if (w->core.width != Dimension(width)) XtVaSetValues(w, XmNwidth, Dimension(width), nullptr);
}

void apply_width(wu_spin *sb) {
  const int32_t width = form_width(sb);
  set_width(sb->form, width);
  if (sb->text_w != nullptr) {
    const int32_t aw = sb->arrow1 != nullptr ? sb->arrow1->core.width : 0;
    set_width(sb->text_w, std::max(width - aw, 1));
  }
}

}  // namespace

extern "C" {

wu_status wuxcsbx(wu_spin *sb) {
  if (sb == nullptr || sb->form == nullptr) return WU_NOTAVAIL;
  // What the parts already have (a new box's text was made with its
  // highlight, colour, text and cursor) is not set again.
  if (sb->input_area && sb->text_w != nullptr) {
    Dimension highlight = 0;
    Pixel fg = 0;
    XtVaGetValues(sb->text_w, XmNhighlightThickness, &highlight, XmNforeground, &fg, nullptr);
    const Pixel want = text_foreground(sb);
    if (highlight != 0 || fg != want)
      XtVaSetValues(sb->text_w, XmNhighlightThickness, Dimension(0), XmNforeground, want, nullptr);
  }
  const Dimension height = Dimension(std::max(sb->c.height, 1));
  Widget f = sb->form;
  if (f->core.x != Position(sb->c.x) || f->core.y != Position(sb->c.y) || f->core.height != height)
    XtVaSetValues(f, XmNx, Position(sb->c.x), XmNy, Position(sb->c.y), XmNheight, height, nullptr);
  apply_width(sb);
  if (sb->text_w != nullptr) {
    if (sb->pending != nullptr) {
      char *now = XmTextGetString(sb->text_w);
      if (now == nullptr || std::strcmp(now, sb->pending) != 0) put_text(sb, sb->pending);
      XtFree(now);
      const XmTextPosition at = std::min<XmTextPosition>(sb->cursor, XmTextGetLastPosition(sb->text_w));
      if (XmTextGetInsertionPosition(sb->text_w) != at) XmTextSetInsertionPosition(sb->text_w, at);
      set_pending(sb, nullptr);
    }
    if (wuwtlwn != nullptr && in_pane(sb))
      XtAddEventHandler(sb->text_w, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False,
                        wuwtlwn, &sb->c);
  }
  UpdateSpinBox(sb);
  return WU_OK;
}

}  // extern "C"

// ---- the catalogue control ------------------------------------------------

namespace {

bool realised(wu_spin *sb) {
  const wu_pane *p = sb->c.pane;
  return p != nullptr && p->ext != nullptr && (p->ext->flags & WU_PEXT_REALIZED) &&
         p->ext->widget != nullptr && wu_x_ok();
}

void free_items(wu_spin *sb) {
  for (int32_t i = 0; i < sb->item_count; ++i) XtFree(sb->items[i]);
  XtFree(reinterpret_cast<char *>(sb->items));
  sb->items = nullptr;
  sb->item_count = 0;
  sb->longest = 0;
}

void apply_colour(wu_spin *sb, bool foreground) {
  wu_ctl_colours set;
  wu_ctl_class_colours(wu_ctl_window(&sb->c), &set);
  Widget parts[] = {sb->text_w, sb->arrow1, sb->arrow2, sb->form};
  if (foreground) {
    const Pixel fg = sb->c.foreground ? Pixel(sb->c.foreground->pixel) : set.foreground;
    for (Widget w : parts)
      if (w != nullptr) XtVaSetValues(w, XmNforeground, fg, nullptr);
    if (sb->text_w != nullptr) XtVaSetValues(sb->text_w, XmNforeground, text_foreground(sb), nullptr);
    return;
  }
  const Pixel bg = sb->c.background ? Pixel(sb->c.background->pixel) : set.background;
  Pixel fg = 0, top = 0, bottom = 0, select = 0;
  XmGetColors(XtScreen(devb->toplevel), devb->colormap, bg, &fg, &top, &bottom, &select);
  for (Widget w : parts)
    if (w != nullptr)
      XtVaSetValues(w, XmNbackground, bg, XmNtopShadowColor, top, XmNbottomShadowColor, bottom,
                    nullptr);
}

wu_status SpinBoxQwat(wu_control *c, wu_value *entries, int32_t count);
wu_status SpinBoxCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count);
wu_status SpinBoxReplay(wu_ctl_handle *h, const wu_batch_event *r);
wu_status SpinBoxSwat(wu_control *c, wu_value *entries, int32_t count);

wu_status SpinBoxRegisterDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec(c)->text_w == nullptr) return WU_NOTAVAIL;
  return wutext::TextRegisterDND(h, site, entries, count);
}
wu_status SpinBoxUnregisterDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec(c)->text_w == nullptr) return WU_NOTAVAIL;
  return wutext::TextUnregisterDND(h, site, entries, count);
}

void install_slots(wu_control *c) {
  wu_ctl_install(c, {SpinBoxSwat, SpinBoxQwat, nullptr, SpinBoxCleanup, SpinBoxUnregisterDND,
                     SpinBoxRegisterDND, wutext::TextQueryDND, wutext::TextSetDND, SpinBoxReplay});
}

// Takes the text out: nothing of the module names it any more, the form
// stands in as the main widget, and the arrows fill the form.
void remove_text(wu_spin *sb) {
  Widget t = sb->text_w;
  wu_state *state = wu_module();
  if (state != nullptr) {
    if (state->last_input == t) state->last_input = nullptr;
    if (state->focus == t) state->focus = nullptr;
    if (state->pending_focus == t) state->pending_focus = nullptr;
  }
  wu_window *win = wu_ctl_window(&sb->c);
  if (win != nullptr && win->active == t) win->active = nullptr;
  if (sb->c.dnd != nullptr && wumudnd != nullptr) wumudnd(t);
  sb->c.dnd = nullptr;
  sb->text_w = nullptr;
  sb->w.main = sb->form;
  for (Widget a : {sb->arrow1, sb->arrow2})
    if (a != nullptr) XtVaSetValues(a, XmNleftAttachment, XmATTACH_FORM, nullptr);
  XtDestroyWidget(t);
}

wu_status SpinBoxSwat(wu_control *c, wu_value *entries, int32_t count) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_SPINBOX) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  wu_spin *sb = rec(c);
  sb->host_driven = 1;
  bool height_given = false, recompute = false, font_changed = false;
  bool area_given = false, refresh = false, width_given = false;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    const int32_t val16 = v->value & 0xffff;
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY:
      case WU_A_VIRTUALKEYS: case WU_A_EVENTPROC:
        break;
      case WU_A_FOREGROUND: case WU_A_BACKGROUND:
        if (v->value != 0 && v->pointer == nullptr) { v->status = WU_E_RANGE; break; }
        if (wu_ctl_set_colour(c, v) != WU_OK) { v->status = WU_E_RANGE; break; }
        apply_colour(sb, v->code == WU_A_FOREGROUND);
        break;
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_ITEMS: {
        if (sb->numeric) { v->status = WU_E_SIZE_FIXED; break; }
        if (v->value < 0 || v->value > kMaxItems || (v->value > 0 && v->pointer == nullptr)) {
          v->status = WU_E_RANGE;
          break;
        }
        const auto *items = static_cast<const wu_str_item *>(v->pointer);
        bool ok = true;
        for (int32_t k = 0; k < v->value; ++k)
          if (items[k].length < 0 || (items[k].length > 0 && items[k].text == nullptr)) ok = false;
        if (!ok) { v->status = WU_E_RANGE; break; }
        free_items(sb);
        if (v->value > 0) {
          sb->items = reinterpret_cast<char **>(XtCalloc(Cardinal(v->value), sizeof(char *)));
          for (int32_t k = 0; k < v->value; ++k) {
            const int32_t n = std::min(items[k].length, WU_COMBO_ITEM_MAX);
            sb->items[k] = copy_n(items[k].text, n);
            sb->longest = std::max(sb->longest, uint32_t(n));
          }
          sb->item_count = v->value;
        }
        refresh = true;
        break;
      }
      case WU_A_HPOS: case WU_A_VPOS:
        if (v->value < -kMaxPixels - 1 || v->value > kMaxPixels) { v->status = WU_E_RANGE; break; }
        (v->code == WU_A_HPOS ? c->x : c->y) = v->value;
        if (sb->form != nullptr)
          XtVaSetValues(sb->form, v->code == WU_A_HPOS ? XmNx : XmNy, Position(v->value), nullptr);
        break;
      case WU_A_WIDTH:
        if (v->value < 1 || v->value > kMaxPixels) { v->status = WU_E_RANGE; break; }
        c->width = v->value;
        width_given = true;
        break;
      case WU_A_HEIGHT: {
        Dimension now = 0;
        if (sb->form != nullptr) XtVaGetValues(sb->form, XmNheight, &now, nullptr);
        if (sb->form != nullptr && v->value == now) break;
        if (c->conform_size) { v->status = WU_E_SIZE_FIXED; break; }
        if (v->value < 1 || v->value > kMaxPixels) { v->status = WU_E_RANGE; break; }
        c->height = v->value;
        height_given = true;
        break;
      }
      case WU_A_TEXT: {
        if (!sb->input_area) { v->status = WU_E_SIZE_FIXED; break; }
        // The field never holds more than its limit, from the host either.
        if (v->value < 0 || v->value > WU_SPIN_TEXT_MAX || (v->value > 0 && v->pointer == nullptr)) {
          v->status = WU_E_RANGE;
          break;
        }
        set_pending(sb, v->value > 0 ? copy_n(static_cast<const char *>(v->pointer), v->value) : nullptr);
        if (!sb->numeric) sb->selected = last_equal(sb, sb->pending);
        if (sb->text_w != nullptr) {
          put_text(sb, sb->pending != nullptr ? sb->pending : "");
          set_pending(sb, nullptr);
        }
        break;
      }
      case WU_A_SELECTEDINDEX:
        if (sb->numeric) { v->status = WU_E_SIZE_FIXED; break; }
        sb->selected = v->value;
        refresh = true;
        break;
      case WU_A_ERRORON:
        if (!sb->input_area) { v->status = WU_E_SIZE_FIXED; break; }
        sb->error_on = val16 ? 1 : 0;
        if (sb->text_w != nullptr)
          XtVaSetValues(sb->text_w, XmNforeground, text_foreground(sb), nullptr);
        break;
      case WU_A_NUMKEYS:
        sb->numeric = val16 ? 1 : 0;
        refresh = true;
        break;
      case WU_A_EDITABLE:
        sb->read_only = uint32_t(val16);
        if (sb->text_w != nullptr) XtVaSetValues(sb->text_w, XmNeditable, val16 ? False : True, nullptr);
        break;
      case WU_A_ORIENTATION:
        if (sb->form != nullptr) { v->status = WU_E_CREATE_ONLY; break; }
        sb->vertical = v->value == 1 ? 1 : 0;
        break;
      case WU_A_FONT: {
        XmFontList old = nullptr;
        if (!wu_ctl_host_font(c, v->pointer, &sb->host_font, &sb->own_font, &old)) break;
        if (sb->text_w != nullptr) XtVaSetValues(sb->text_w, XmNfontList, font_list(sb), nullptr);
        wutext::FreeFontList(old);
        font_changed = true;
        if (c->conform_size) recompute = true;
        break;
      }
      case WU_A_COMPANION:
        sb->input_area = val16 ? 1 : 0;
        area_given = true;
        break;
      case WU_A_CONFORMSIZE:
        if (val16 && !c->conform_size) recompute = true;
        c->conform_size = int16_t(val16);
        break;
      case WU_A_CURSORPOS:
        if (!sb->input_area) { v->status = WU_E_SIZE_FIXED; break; }
        if (v->value < 1) { v->status = WU_E_RANGE; break; }
        sb->cursor = uint32_t(v->value - 1);
        if (sb->text_w != nullptr)
          XmTextSetInsertionPosition(sb->text_w, std::min<XmTextPosition>(
                                                     sb->cursor, XmTextGetLastPosition(sb->text_w)));
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  wu_status result = WU_OK;
  if (sb->form != nullptr) {
    if (recompute && c->conform_size) {
      c->height = tall_height(sb) + kConformPad;
      height_given = true;
    }
    // Only a new height or input area makes parts again, and only then is
    // the form off the screen meanwhile.  Every other set leaves the form
    // standing, and the keyboard with its text: a host that answers the
    // arrows by setting the text leaves the user typing on in the box.
    const bool rebuild = height_given || (area_given && sb->arrow1 != nullptr);
    const bool had_keyboard = sb->text_w != nullptr && XmGetFocusWidget(sb->text_w) == sb->text_w;
    if (rebuild) XtUnmanageChild(sb->form);
    if (height_given) {
      XtVaSetValues(sb->form, XmNheight, Dimension(c->height), nullptr);
      if (sb->text_w != nullptr) {
        if (sb->pending == nullptr) set_pending(sb, XmTextGetString(sb->text_w));
        XtDestroyWidget(sb->arrow1);
        XtDestroyWidget(sb->arrow2);
        sb->arrow1 = sb->arrow2 = nullptr;
        XtVaSetValues(sb->text_w, XmNheight, Dimension(c->height), XmNwidth,
                      Dimension(std::max(c->width - kArrowRoom, 1)), nullptr);
        if (wuxarrw(sb) == WU_OK) result = wuxcsbx(sb);
      } else {
        for (Widget a : {sb->arrow1, sb->arrow2})
          if (a != nullptr) XtVaSetValues(a, XmNheight, Dimension(std::max(c->height / 2, 1)), nullptr);
      }
    } else if (font_changed && sb->text_w != nullptr) {
      XtVaSetValues(sb->text_w, XmNheight, Dimension(std::max(c->height, 1)), XmNwidth,
                    Dimension(std::max(c->width - kArrowRoom, 1)), nullptr);
    }
    if (area_given && sb->arrow1 != nullptr) {
      if (!sb->input_area && sb->text_w != nullptr) {
        remove_text(sb);
      } else if (sb->input_area && sb->text_w == nullptr) {
        Dimension aw = 0;
        XtVaGetValues(sb->arrow1, XmNwidth, &aw, nullptr);
        const int32_t keep = c->width;
        c->width = std::max(int32_t(aw) - kArrowRoom, 0) + kArrowRoom;
        if (wuwtxtf(sb) == WU_OK) {
          for (Widget a : {sb->arrow1, sb->arrow2})
            XtVaSetValues(a, XmNleftAttachment, XmATTACH_NONE, XmNwidth, Dimension(kArrowRoom),
                          nullptr);
        }
        c->width = keep;
      }
    }
    // Applied once the items, the mode and the text of this call are known.
    if (width_given || (c->width == 1 && (refresh || area_given))) apply_width(sb);
    if (rebuild && !(c->flags & WU_CTL_HIDDEN)) XtManageChild(sb->form);
    if (sb->text_w != nullptr && refresh) UpdateSpinBox(sb);
    // Made again, the box gives the keyboard back to its text.
    if (rebuild && had_keyboard && sb->text_w != nullptr && XtIsManaged(sb->form) &&
        XmGetFocusWidget(sb->text_w) != sb->text_w)
      XmProcessTraversal(sb->text_w, XmTRAVERSE_CURRENT);
  } else if (recompute && c->conform_size) {
    c->height = tall_height(sb) + kConformPad;
  }
  if (result != WU_OK) return result;
  return wu_ctl_entries_result(entries, count);
}

wu_status SpinBoxQwat(wu_control *c, wu_value *entries, int32_t count) {
  wu_spin *sb = rec(c);
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; result = WU_ENTRY_STATUS; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_FONT: case WU_A_EVENTS:
      case WU_A_CONTROLID: case WU_A_CLICKONLY: case WU_A_CONFORMSIZE: case WU_A_VIRTUALKEYS:
      case WU_A_EVENTPROC:
        break;
      case WU_A_ITEMS: {
        if (sb->numeric) { v->status = WU_E_NO_PART; break; }
        auto *out = reinterpret_cast<wu_str_item *>(
            XtCalloc(Cardinal(std::max(sb->item_count, 1)), sizeof(wu_str_item)));
        for (int32_t k = 0; k < sb->item_count; ++k) {
          out[k].length = int32_t(std::strlen(sb->items[k]));
          out[k].text = copy_n(sb->items[k], out[k].length);
        }
        v->pointer = out;
        v->value = sb->item_count;
        v->type = WU_VT_STRLIST;
        v->status = WU_ALLOCATED;
        break;
      }
      case WU_A_HPOS: v->value = c->x; break;
      case WU_A_VPOS: v->value = c->y; break;
      case WU_A_WIDTH: v->value = c->width; break;
      case WU_A_HEIGHT: {
        Dimension h = Dimension(std::max(c->height, 0));
        if (sb->form != nullptr) XtVaGetValues(sb->form, XmNheight, &h, nullptr);
        v->value = h;
        break;
      }
      case WU_A_TEXT: {
        if (!sb->input_area) { v->status = WU_E_NO_PART; v->value = 0; v->pointer = nullptr; break; }
        if (sb->text_w != nullptr) set_pending(sb, XmTextGetString(sb->text_w));
        if (sb->pending == nullptr) { result = WU_ENTRY_STATUS; break; }
        const int32_t n = int32_t(std::strlen(sb->pending));
        v->pointer = copy_n(sb->pending, n);
        v->value = n;
        v->type = WU_VT_STRING;
        v->status = WU_ALLOCATED;
        break;
      }
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_SELECTEDINDEX:
        if (sb->numeric) { v->status = WU_E_NO_PART; break; }
        v->value = sb->selected;
        break;
      case WU_A_ERRORON: v->value = int32_t(sb->error_on & 0xffff); break;
      case WU_A_NUMKEYS: v->value = int32_t(sb->numeric & 0xffff); break;
      case WU_A_EDITABLE: v->value = int32_t(sb->read_only & 0xffff); break;
      case WU_A_COMPANION: v->value = int32_t(sb->input_area & 0xffff); break;
      case WU_A_ORIENTATION: v->value = int32_t(sb->vertical); break;
      case WU_A_CURSORPOS:
        if (sb->text_w == nullptr) { v->status = WU_E_NO_PART; break; }
        v->value = int32_t(XmTextGetInsertionPosition(sb->text_w)) + 1;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK) result = WU_ENTRY_STATUS;
  }
  return result;
}

wu_status SpinBoxCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || c->kind != WU_MT_SPINBOX) return WU_OK;
  wu_spin *sb = rec(c);
  // The pending text goes, then what the last query handed out.  While no
  // text widget exists the pending text is the only copy of the host's text
  // and stays until the widget shows it.
  if (entries != nullptr && count > 0) {
    if (sb->text_w != nullptr) set_pending(sb, nullptr);
    return wuxclen(h, entries, count);
  }
  if (!wu_ctl_live(c)) {
    set_pending(sb, nullptr);
    for (char *&text : sb->step_text) {
      XtFree(text);
      text = nullptr;
    }
    free_items(sb);
    wutext::FreeFontList(sb->own_font);
    sb->own_font = nullptr;
    c->font_list = nullptr;
  }
  return WU_OK;
}

wu_status SpinBoxReplay(wu_ctl_handle *h, const wu_batch_event *r) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_SPINBOX || r == nullptr) return WU_NOTAVAIL;
  wu_spin *sb = rec(c);
  wu_value *params = nullptr;
  int32_t n = 0;
  switch (r->code) {
    case WU_EV_INCREMENT: case WU_EV_DECREMENT:
      ProcessArrow(sb, r->code == WU_EV_DECREMENT ? 1 : 0);
      if (r->sent && sb->host_driven) {
        params = step_params(sb, r->code);
        n = 2;
      }
      break;
    case WU_EV_KEY: case WU_EV_RETURNKEY: case WU_EV_VALUECHANGED: {
      int32_t len = 0;
      const char *text = wu_rec_text(r, &len);
      set_pending(sb, copy_n(text, std::min(std::max(len, 0), WU_SPIN_TEXT_MAX)));
      if (!sb->numeric) sb->selected = last_equal(sb, sb->pending);
      if (sb->text_w != nullptr) {
        put_text(sb, sb->pending);
        set_pending(sb, nullptr);
      }
      break;
    }
    default:
      return wu_ctl_replay_passed(c, r);
  }
  if (r->sent) wu_ctl_send(c, r->code, 0, c->x, c->y, params, n, WU_EV_CTL_POSTED);
  return WU_OK;
}

}  // namespace

extern "C" {

wu_status wutisbx(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_SPINBOX || !realised(rec(c))) return WU_NOTAVAIL;
  wu_spin *sb = rec(c);
  wu_status st = build(static_cast<Widget>(c->pane->ext->widget), sb, false);
  if (st != WU_OK) return st;
  // The build may have sent `conformSize`, and the host may have let go.
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  st = wuxcsbx(sb);
  // Laid out and given its text, the box goes on the screen whole.
  XtManageChild(sb->form);
  return st;
}

wu_status wuxgsbx(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t width) {
  if (pane == nullptr || pane->ext == nullptr || !wu_window_live(pane->window) || out == nullptr)
    return WU_NOTAVAIL;
  auto *sb = static_cast<wu_spin *>(wutgmem(pane->window->pool, WU_MT_SPINBOX));
  if (sb == nullptr) return WU_NOMEM;
  wu_control *c = &sb->c;
  c->kind = WU_MT_SPINBOX;
  c->pane = pane;
  install_slots(c);
  wu_ctl_link(c);
  c->y = y;
  c->x = x;
  c->width = std::min(std::max(width, 1), kMaxPixels);
  c->flags |= WU_CTL_TAKES_FOCUS;
  c->host_id.value = word_a;
  sb->word_a = word_a;
  sb->numeric = 1;
  sb->input_area = 1;
  sb->vertical = 1;
  sb->host_driven = 1;
  if (c->height < 1) c->height = devb && devb->char_height > 0 ? devb->char_height + kConformPad : 20;
  if (realised(sb) && wutisbx(c) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

wu_status wu_create_spn(wu_pane *pane, wu_control **out) { return wuxgsbx(pane, out, 1, 1, 1, 1); }

}  // extern "C"
