// The entry field: the single-line text control of host-built dialogs, with
// length limits, masking, upper-case and numeric input, marks, the error
// colour, its events, methods, recording and replay.  The builder dispatch
// `wutifld` serves the label and the multi-line entry as well once their
// builders are linked.
#include <X11/IntrinsicP.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/wucontrol.h"
#include "qev/flags.h"
#include "runtime/wucheck.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"

extern "C" {
// Builders of the label and the multi-line entry (their kinds' modules).
wu_status wu_build_label(wu_control *) __attribute__((weak));
wu_status wu_build_mlentry(wu_control *) __attribute__((weak));
// Focus frame and tool tips of the control widgets (linked with the buttons
// and the tips).
void wuwpbfo(Widget, XtPointer, XEvent *, Boolean *) __attribute__((weak));
void wuwtlwn(Widget, XtPointer, XEvent *, Boolean *) __attribute__((weak));
}

namespace wutext {

constexpr uint32_t kNoLimit = 0xffffffffu;
constexpr int32_t kXlateUpper = 2;           // host translation table: upper case
constexpr int32_t kPadPlain = 4;             // conformSize: font height plus this
constexpr int32_t kPadBorder = 6;            // ... with the etched frame
constexpr int32_t kLastCode = WU_A_EVENTPROC;
constexpr uint32_t kEvmKey = 1u << (WU_EV_KEY - 1);
constexpr uint32_t kEvmReturn = 1u << (WU_EV_RETURNKEY - 1);
constexpr uint32_t kEvmConform = 0x2000;
constexpr int32_t kDndOwnerControl = 6;      // drop-site owner kind of a control


EntryField *efd(wu_control *c) { return reinterpret_cast<EntryField *>(c); }

EntryField *live_efd(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  if (!wu_ctl_live(c)) return nullptr;
  return (c->kind == WU_MT_ENTRY || c->kind == WU_MT_LABEL || c->kind == WU_MT_MLENTRY) ? efd(c)
                                                                                      : nullptr;
}

char *copy_text(const char *text, int32_t length) {
  char *s = XtMalloc(static_cast<Cardinal>(std::max(length, 0)) + 1);
  if (length > 0) std::memcpy(s, text, static_cast<size_t>(length));
  s[std::max(length, 0)] = '\0';
  return s;
}

void set_text_buffer(EntryField *e, char *text) {
  XtFree(e->text);
  e->text = text;
}

bool numeric_byte(unsigned char b) {
  qev_gcb *gcb = wu_gcb();
  if (gcb != nullptr && gcb->char_class != nullptr) return (gcb->char_class[b] & QEV_CC_NUMERIC) != 0;
  return b >= '0' && b <= '9';
}

bool all_numeric(const char *text, int32_t length) {
  for (int32_t i = 0; i < length; ++i)
    if (!numeric_byte(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

void bell() {
  if (wutalrm != nullptr)
    wutalrm();
  else if (wu_x_ok())
    XBell(devb->display, 0);
}

XmFontList font_list(EntryField *e) {
  if (e->c.font_list != nullptr) return static_cast<XmFontList>(e->c.font_list);
  return devb ? devb->font_list : nullptr;
}

// Height of "Tall" in the field's font plus the frame.
int32_t conform_height(EntryField *e) {
  XmFontList fl = font_list(e);
  int32_t h = devb ? devb->char_height : 0;
  if (fl != nullptr) {
    XmString s = XmStringCreateLocalized(const_cast<char *>("Tall"));
    h = XmStringHeight(fl, s);
    XmStringFree(s);
  }
  return h + (e->border ? kPadBorder : kPadPlain);
}

// The error colour wins over the host's text colour while it is on.
Pixel foreground_of(EntryField *e) {
  if (e->error_on && devb) return devb->red_foreground;
  if (e->c.foreground != nullptr) return e->c.foreground->pixel;
  wu_ctl_colours set;
  wu_ctl_class_colours(wu_ctl_window(&e->c), &set);
  return set.foreground;
}

// The keys a text kind keeps for itself over the window's text keys: the
// keys Motif binds to virtual keys (which the window's tables take under
// their osf names) edit and move in its own text, and Return activates it,
// reporting `returnKey`; in a multi-line entry Return also starts a new
// line.
#define QEV_TEXT_OWN_KEYS                          \
  "<Key>osfBeginLine: beginning-of-line()\n"      \
  "<Key>osfEndLine: end-of-line()\n"              \
  "<Key>osfPageUp: previous-page()\n"             \
  "<Key>osfPageDown: next-page()\n"               \
  "<Key>osfCancel: process-cancel()\n"            \
  "<Key>osfInsert: toggle-overstrike()\n"         \
  "<Key>osfHelp: Help()\n"
XtTranslations field_keys() {
  static XtTranslations keys = XtParseTranslationTable(
      QEV_TEXT_OWN_KEYS
      "<Key>osfActivate: activate()\n"
      "<Key>Return: activate()\n"
      "<Key>KP_Enter: activate()");
  return keys;
}

void wuwhsub(Widget, XtPointer, XtPointer);
void wuwhbat(Widget, XtPointer, XtPointer);
void wuwhpsu(Widget, XtPointer, XtPointer);

// Puts the text buffer into the widget without the callbacks that report
// the user's changes: a masked text as mask characters (the real text stays
// in the buffer), any other text as it is (the buffer is freed).
void put_text(EntryField *e) {
  Widget w = e->w.main;
  if (w == nullptr || e->text == nullptr) return;
  XtRemoveCallback(w, XmNactivateCallback, wuwhbat, e);
  XtRemoveCallback(w, XmNvalueChangedCallback, wuwhpsu, e);
  e->host_put = 1;
  if (e->mask != 0) {
    std::string shown(std::strlen(e->text), static_cast<char>(e->mask));
    XtRemoveCallback(w, XmNmodifyVerifyCallback, wuwhsub, e);
    XmTextSetString(w, const_cast<char *>(shown.c_str()));
    XtAddCallback(w, XmNmodifyVerifyCallback, wuwhsub, e);
  } else {
    XmTextSetString(w, e->text);
    set_text_buffer(e, nullptr);
  }
  e->host_put = 0;
  const XmTextPosition last = XmTextGetLastPosition(w);
  XmTextSetInsertionPosition(w, std::min<XmTextPosition>(e->cursor, last));
  XtAddCallback(w, XmNactivateCallback, wuwhbat, e);
  XtAddCallback(w, XmNvalueChangedCallback, wuwhpsu, e);
}

// The field's text as the host knows it: the real text while masked, else
// the widget's, else the pending text.  Caller frees with XtFree.
char *current_text(EntryField *e) {
  if (e->mask != 0 && e->text != nullptr) return copy_text(e->text, int32_t(std::strlen(e->text)));
  if (e->w.main != nullptr) return XmTextGetString(e->w.main);
  if (e->text != nullptr) return copy_text(e->text, int32_t(std::strlen(e->text)));
  return copy_text("", 0);
}

// ---- callbacks ----------------------------------------------------------

void note_active(EntryField *e, Widget w) {
  wu_state *state = wu_module();
  if (state != nullptr) {
    state->last_input = w;
    if (state->tip_shell != nullptr && wu_x_ok()) XtPopdown(state->tip_shell);
  }
  wutactw(wu_ctl_window(&e->c), w);
}

void wuwhsub(Widget w, XtPointer client, XtPointer call) {
  EntryField *e = live_efd(client);
  if (e == nullptr) return;
  auto *cbs = static_cast<XmTextVerifyCallbackStruct *>(call);
  note_active(e, w);
  if (cbs->reason == XmCR_ACTIVATE) {
    e->return_sent = 0;
    if (!(e->c.event_mask & kEvmReturn)) return;
    e->return_sent = wu_ctl_send(&e->c, WU_EV_RETURNKEY, 0, w->core.x, w->core.y, nullptr, 0,
                                 WU_EV_CTL_WAKE);
    return;
  }
  if (cbs->reason != XmCR_MODIFYING_TEXT_VALUE || cbs->text == nullptr) return;
  char *ins = cbs->text->ptr;
  const int32_t n = ins != nullptr ? cbs->text->length : 0;
  if (e->upper && n > 0) wztxxlt(kXlateUpper, ins, ins, n);
  // Every inserted byte must be a digit, not only the first of a paste.
  if (e->numeric && n > 0 && !e->host_put && !all_numeric(ins, n)) {
    bell();
    cbs->doit = False;
    return;
  }
  if (e->mask == 0) return;
  // The real text takes the same change as the widget's, bounded by it.
  const std::string real = e->text ? e->text : "";
  const size_t len = real.size();
  const size_t start = std::min<size_t>(std::max<XmTextPosition>(cbs->startPos, 0), len);
  const size_t end = std::max(start, std::min<size_t>(std::max<XmTextPosition>(cbs->endPos, 0), len));
  std::string changed = real.substr(0, start);
  if (n > 0) changed.append(ins, static_cast<size_t>(n));
  changed.append(real, end, std::string::npos);
  set_text_buffer(e, copy_text(changed.data(), int32_t(changed.size())));
  for (int32_t i = 0; i < n; ++i) ins[i] = static_cast<char>(e->mask);
}

void record_text_event(EntryField *e, int32_t code, int32_t sent) {
  if (wu_batch_recording() == nullptr) return;
  // The multi-line entry's recordings carry no text.
  char *text = e->c.kind == WU_MT_MLENTRY ? copy_text("", 0) : current_text(e);
  wu_batch_event rec = {};
  rec.code = code;
  rec.sent = sent;
  wu_rec_set_text(&rec, text, int32_t(std::strlen(text)));
  wu_ctl_record_event(&e->c, &rec);
  XtFree(text);
}

void wuwhbat(Widget, XtPointer client, XtPointer) {
  EntryField *e = live_efd(client);
  if (e == nullptr) return;
  record_text_event(e, WU_EV_RETURNKEY, e->return_sent);
}

void wuwhpsu(Widget w, XtPointer client, XtPointer) {
  EntryField *e = live_efd(client);
  if (e == nullptr) return;
  const struct {
    int32_t code;
    uint32_t bit;
  } events[] = {{WU_EV_KEY, kEvmKey}, {WU_EV_VALUECHANGED, WU_EVM_VALUECHANGED}};
  for (const auto &ev : events) {
    if (!(e->c.event_mask & ev.bit)) continue;
    note_active(e, w);
    const int32_t sent =
        wu_ctl_send(&e->c, ev.code, 0, w->core.x, w->core.y, nullptr, 0, WU_EV_CTL_WAKE);
    record_text_event(e, ev.code, sent);
    if (live_efd(client) == nullptr) return;
  }
}

// ---- kind slots ---------------------------------------------------------

wu_status TextFieldSwat(wu_control *c, wu_value *entries, int32_t count) {
  EntryField *e = efd(c);
  Widget w = e->w.main;
  bool upper_on = false, mask_on = false, clear = false, font_changed = false;
  bool recompute = false, cursor_set = false;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    const int32_t val16 = v->value & 0xffff;
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_EVENTS:
      case WU_A_CLICKONLY: case WU_A_VIRTUALKEYS: case WU_A_EVENTPROC:
        break;
      case WU_A_HPOS:
        c->x = v->value;
        if (w) XtVaSetValues(w, XmNx, Position(c->x), nullptr);
        break;
      case WU_A_VPOS:
        c->y = v->value;
        if (w) XtVaSetValues(w, XmNy, Position(c->y), nullptr);
        break;
      case WU_A_WIDTH:
        if (v->value < 1) { v->status = WU_E_RANGE; break; }
        c->width = v->value;
        if (w) XtVaSetValues(w, XmNwidth, Dimension(c->width), nullptr);
        break;
      case WU_A_HEIGHT: {
        Dimension now = 0;
        if (w) XtVaGetValues(w, XmNheight, &now, nullptr);
        if (w && v->value == now) break;
        if (c->conform_size) { v->status = WU_E_SIZE_FIXED; break; }
        if (v->value < 1) { v->status = WU_E_RANGE; break; }
        c->height = v->value;
        if (w) XtVaSetValues(w, XmNheight, Dimension(c->height), nullptr);
        break;
      }
      case WU_A_TEXT: {
        const char *t = static_cast<const char *>(v->pointer);
        const int32_t n = v->value;
        // The field's own rules hold for the host's text as for typing.
        if (n < 0 || (n > 0 && t == nullptr) ||
            (e->numeric && !all_numeric(t, n)) ||
            (e->max_length != kNoLimit && uint32_t(n) > e->max_length)) {
          v->status = WU_E_RANGE;
          break;
        }
        set_text_buffer(e, copy_text(t, n));
        break;
      }
      case WU_A_HELPTEXT: case WU_A_JUSTIFICATION: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_UPPERCASE:
        if (val16 && !e->upper) upper_on = true;
        e->upper = uint32_t(val16);
        if (upper_on && w && e->mask == 0 && e->text == nullptr) set_text_buffer(e, XmTextGetString(w));
        break;
      case WU_A_MASKCHAR: {
        const uint8_t m = static_cast<uint8_t>(v->value & 0xff);
        if (m != 0 && e->mask == 0) mask_on = true;
        e->mask = m;
        break;
      }
      case WU_A_MAXCHARS:
        if (v->value < 1) { v->status = WU_E_RANGE; break; }
        e->max_length = uint32_t(v->value);
        if (w) XtVaSetValues(w, XmNmaxLength, int(v->value), nullptr);
        break;
      case WU_A_ERRORON:
        if (uint16_t(val16) == e->error_on) break;
        e->error_on = uint16_t(val16);
        if (w) XtVaSetValues(w, XmNforeground, foreground_of(e), nullptr);
        break;
      case WU_A_NUMKEYS:
        if (val16 && !e->numeric) clear = true;
        e->numeric = uint32_t(val16);
        break;
      case WU_A_EDITABLE:
        e->read_only = uint32_t(val16);
        if (w) XtVaSetValues(w, XmNeditable, e->read_only ? False : True, nullptr);
        break;
      case WU_A_BORDERSTYLE:
        if (w) { v->status = WU_E_CREATE_ONLY; break; }
        e->border = uint32_t(val16);
        break;
      case WU_A_FONT: {
        XmFontList old = nullptr;
        if (!SetHostFont(e, v->pointer, &old)) break;
        if (w) XtVaSetValues(w, XmNfontList, font_list(e), nullptr);
        FreeFontList(old);
        font_changed = true;
        if (c->conform_size) recompute = true;
        break;
      }
      case WU_A_CONFORMSIZE:
        if (val16 && !c->conform_size) recompute = true;
        c->conform_size = int16_t(val16);
        break;
      case WU_A_CURSORPOS:
        if (v->value < 1) { v->status = WU_E_RANGE; break; }
        e->cursor = uint32_t(v->value - 1);
        cursor_set = true;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (w != nullptr) {
    if (!cursor_set) e->cursor = uint32_t(XmTextGetInsertionPosition(w));
    if (mask_on && e->text == nullptr) set_text_buffer(e, XmTextGetString(w));
    if (clear) {
      set_text_buffer(e, copy_text("", 0));
      XtFree(e->shadow);
      e->shadow = nullptr;
    }
    if (upper_on && e->text != nullptr)
      wztxxlt(kXlateUpper, e->text, e->text, int32_t(std::strlen(e->text)));
    if (e->text != nullptr) put_text(e);
    if (recompute && c->conform_size) {
      c->height = conform_height(e);
      XtVaSetValues(w, XmNheight, Dimension(c->height), nullptr);
    }
    if (cursor_set)
      XmTextSetInsertionPosition(w, std::min<XmTextPosition>(e->cursor, XmTextGetLastPosition(w)));
    if (font_changed && !XtIsManaged(w)) {
      XtManageChild(w);
      XtVaSetValues(w, XmNfontList, font_list(e), nullptr);
      XtUnmanageChild(w);
    }
    if (!c->conform_size) {
      Dimension cw = 0, ch = 0;
      XtVaGetValues(w, XmNwidth, &cw, XmNheight, &ch, nullptr);
      if (cw != c->width || ch != c->height)
        XtVaSetValues(w, XmNwidth, Dimension(c->width), XmNheight, Dimension(c->height), nullptr);
    }
  } else if (recompute && c->conform_size) {
    c->height = conform_height(e);
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status TextFieldQwat(wu_control *c, wu_value *entries, int32_t count) {
  EntryField *e = efd(c);
  Widget w = e->w.main;
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->value = wu_ctl_geometry(c, w, v->code);
        v->status = WU_OK;
        break;
      case WU_A_TEXT: {
        XtFree(e->query);
        e->query = current_text(e);
        v->pointer = e->query;
        v->value = int32_t(std::strlen(e->query));
        v->type = WU_VT_STRING;
        v->status = WU_ALLOCATED;
        break;
      }
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_UPPERCASE: v->value = int32_t(e->upper & 0xffff); v->status = WU_OK; break;
      case WU_A_ERRORON: v->value = e->error_on; v->status = WU_OK; break;
      case WU_A_NUMKEYS: v->value = int32_t(e->numeric & 0xffff); v->status = WU_OK; break;
      case WU_A_EDITABLE: v->value = int32_t(e->read_only & 0xffff); v->status = WU_OK; break;
      case WU_A_BORDERSTYLE: v->value = int32_t(e->border & 0xffff); v->status = WU_OK; break;
      case WU_A_MASKCHAR: v->value = e->mask; v->status = WU_OK; break;
      case WU_A_JUSTIFICATION: v->value = 0; v->status = WU_OK; break;
      case WU_A_MAXCHARS: {
        int max = int(e->max_length);
        if (w != nullptr) XtVaGetValues(w, XmNmaxLength, &max, nullptr);
        v->value = max;
        v->status = WU_OK;
        break;
      }
      case WU_A_CURSORPOS:
        if (w != nullptr) e->cursor = uint32_t(XmTextGetInsertionPosition(w));
        v->value = int32_t(e->cursor) + 1;
        v->status = WU_OK;
        break;
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_FONT:
      case WU_A_EVENTS: case WU_A_CLICKONLY: case WU_A_CONFORMSIZE: case WU_A_VIRTUALKEYS:
      case WU_A_EVENTPROC: case WU_A_CONTROLID:
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK) result = WU_ENTRY_STATUS;
  }
  return result;
}

Time now_time() { return wu_x_ok() ? XtLastTimestampProcessed(devb->display) : CurrentTime; }

wu_status TextFieldMethods(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c != nullptr && c->kind == WU_MT_MLENTRY) return TextPadMethods(h, method, params, count);
  Widget w = c ? efd(c)->w.main : nullptr;
  if (w == nullptr) return WU_NOTAVAIL;
  switch (method) {
    case WU_M_GETMARK: {
      if (count < 2) return WU_NOTAVAIL;
      XmTextPosition left = 0, right = 0;
      if (!XmTextGetSelectionPosition(w, &left, &right)) left = right = 0;
      params[0].value = int32_t(left) + 1;
      params[1].value = int32_t(right) + 1;
      params[0].status = params[1].status = WU_OK;
      return WU_OK;
    }
    case WU_M_SETMARK: {
      if (count < 2) return WU_NOTAVAIL;
      // A start below 0 and an end below -1 (-1 is "to the end") mark
      // nothing; positions are taken in the widget's wide type.
      bool refused = false;
      for (int i = 0; i < 2; ++i) {
        if (params[i].value < (i == 0 ? 0 : -1)) {
          params[i].status = WU_E_RANGE;
          refused = true;
        }
      }
      if (refused) return WU_ENTRY_STATUS;
      const XmTextPosition last = XmTextGetLastPosition(w);
      XmTextPosition start = params[0].value <= 1 ? 0 : XmTextPosition(params[0].value) - 1;
      XmTextPosition end = params[1].value == -1 ? last : XmTextPosition(params[1].value) - 1;
      start = std::min(start, last);
      end = std::max(start, std::min(end, last));
      XmTextSetSelection(w, start, end, now_time());
      return WU_OK;
    }
    case WU_M_CLEARMARK:
      XmTextClearSelection(w, now_time());
      return WU_OK;
    case WU_M_SETCURSORPOS:
      if (count < 1) return WU_NOTAVAIL;
      if (params[0].value < 1) {
        params[0].status = WU_E_RANGE;
        return WU_NOTAVAIL;
      }
      efd(c)->cursor = uint32_t(params[0].value - 1);
      XmTextSetInsertionPosition(w, std::min<XmTextPosition>(efd(c)->cursor, XmTextGetLastPosition(w)));
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

// Gives back the text answers the field handed out; with no entries (the
// control's release) everything the field owns.
wu_status TextFieldClean(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr) return WU_OK;
  EntryField *e = efd(c);
  for (int32_t i = 0; i < count && entries != nullptr; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_ALLOCATED || v->code != WU_A_TEXT || v->type != WU_VT_STRING) continue;
    // Text answers are the field's own: the latest is freed here, earlier
    // ones were freed by the query that replaced them.
    if (v->pointer == e->query) {
      XtFree(e->query);
      e->query = nullptr;
    }
    v->pointer = nullptr;
    v->status = WU_OK;
  }
  if (entries == nullptr || count == 0) {
    XtFree(e->query);
    e->query = nullptr;
    if (!wu_ctl_live(c)) {
      set_text_buffer(e, nullptr);
      XtFree(e->shadow);
      e->shadow = nullptr;
      FreeFontList(e->own_font);
      e->own_font = nullptr;
      c->font_list = nullptr;
    }
  }
  return WU_OK;
}

wu_status TextFldReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr) return WU_NOTAVAIL;
  wu_value *params = nullptr;
  int32_t n = 0;
  switch (rec->code) {
    case WU_EV_KEY: case WU_EV_RETURNKEY: case WU_EV_VALUECHANGED: {
      // The recorded text goes in as the host's text would, through every
      // check and rule of the field; a text the field refuses is not
      // replayed.
      if (rec->value1 < 0) return WU_E_RANGE;
      int32_t length = 0;
      wu_value v = {};
      v.code = WU_A_TEXT;
      v.type = WU_VT_STRING;
      v.pointer = const_cast<char *>(wu_rec_text(rec, &length));
      v.value = length;
      if (wuxswat(c, &v, 1) != WU_OK || wu_ctl_of(h) != c) return WU_E_RANGE;
      break;
    }
    case WU_EV_POPUP: case WU_EV_DOUBLECLICK: case WU_EV_CLICKONLY: case WU_EV_CONFORMSIZE:
    case WU_EV_CLICK: case 30:
      break;
    case WU_EV_PREVIRTUALKEY:
      if (rec->sent) {
        // The modifiers come back as a double: one that is no integer is
        // refused, as a host set of it would be.
        int32_t modifiers = 0;
        if (!wu_double_to_int(rec->value2, &modifiers)) return WU_E_RANGE;
        const int32_t values[3] = {rec->value1, modifiers, rec->value3};
        params = wu_ctl_int_params(c, WU_EV_PREVIRTUALKEY, values, 3);
        n = 3;
      }
      break;
    default:
      return WU_NOTAVAIL;
  }
  if (rec->sent) wu_ctl_send(c, rec->code, 0, c->x, c->y, params, n, WU_EV_CTL_POSTED);
  return WU_OK;
}

// ---- drag and drop --------------------------------------------------------

// Every kind's drag-and-drop slots take (handle, site, entries, n); the
// register slot's site is an out word.
wu_status TextRegisterDND(wu_ctl_handle *h, void *site_out, void *entries, void *count) {
  wu_control *c = wu_ctl_of(h);
  Widget w = c ? wuwgxtw(c) : nullptr;
  if (w == nullptr || wumrdnd == nullptr) return WU_UNSUPPORTED;
  wu_dnd_site *site = wumrdnd(w);
  if (site == nullptr) return WU_UNSUPPORTED;
  // The site belongs to the control: drops reach the host through its
  // window, with the handle as owner.
  site->window = wu_ctl_window(c);
  site->kind = kDndOwnerControl;
  site->owner = h;
  if (wuwidrg != nullptr) {
    const wu_status st = wuwidrg(w, site);
    if (st != WU_OK) return st;
  }
  c->dnd = site;
  if (site_out != nullptr) *static_cast<void **>(site_out) = site;
  if (entries != nullptr && wuxsdnd != nullptr)
    return wuxsdnd(site, static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
  return WU_OK;
}

// The site named must be the control's own; a null site names it too.
bool own_site(const wu_control *c, const void *site) { return site == nullptr || site == c->dnd; }

wu_status TextUnregisterDND(wu_ctl_handle *h, void *site, void *, void *) {
  wu_control *c = wu_ctl_of(h);
  Widget w = c ? wuwgxtw(c) : nullptr;
  if (w == nullptr || wumudnd == nullptr) return WU_UNSUPPORTED;
  // Another site than the control's is refused and removes nothing.
  if (!own_site(c, site)) return WU_NOTAVAIL;
  c->dnd = nullptr;
  return wumudnd(w);
}

wu_status TextQueryDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->dnd == nullptr || wuxqdnd == nullptr) return WU_UNSUPPORTED;
  if (!own_site(c, site)) return WU_NOTAVAIL;
  return wuxqdnd(static_cast<wu_dnd_site *>(c->dnd), static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
}

wu_status TextSetDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->dnd == nullptr || wuxsdnd == nullptr) return WU_UNSUPPORTED;
  if (!own_site(c, site)) return WU_NOTAVAIL;
  return wuxsdnd(static_cast<wu_dnd_site *>(c->dnd), static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
}

void install_slots(wu_control *c) {
  c->Swat = TextFieldSwat;
  c->Qwat = TextFieldQwat;
  c->Methods = TextFieldMethods;
  c->Cleanup = TextFieldClean;
  c->UnregisterDND = TextUnregisterDND;
  c->RegisterDND = TextRegisterDND;
  c->QueryDND = TextQueryDND;
  c->SetDND = TextSetDND;
}

wu_status CreateTxtField(EntryField *e) {
  wu_control *c = &e->c;
  install_slots(c);
  c->Replay = TextFldReplay;
  wu_ctl_colours set;
  wu_ctl_class_colours(wu_ctl_window(c), &set);
  if (c->conform_size) c->height = conform_height(e);
  // The host's text and its cursor are the field's from its creation, as
  // put_text would put them in: a masked text shown as its mask, any other
  // in upper case when the field asks for it.  Given before the field has
  // a window, the cursor takes no selection (a text on the screen given a
  // cursor takes the display's destination selection, which a field the
  // user has not been in has no claim to).
  std::string shown;
  if (e->text != nullptr) {
    const size_t length = std::strlen(e->text);
    if (e->mask != 0) {
      shown.assign(length, static_cast<char>(e->mask));
    } else {
      if (e->upper && length > 0) wztxxlt(kXlateUpper, e->text, e->text, int32_t(length));
      shown = e->text;
    }
  }
  Arg args[28];
  Cardinal n = 0;
  n = wu_ctl_visual_args(args, n);
  if (e->text != nullptr) {
    XtSetArg(args[n], XmNvalue, shown.c_str()); ++n;
    XtSetArg(args[n], XmNcursorPosition, std::min<XmTextPosition>(e->cursor, XmTextPosition(shown.size()))); ++n;
  }
  if (e->max_length != kNoLimit) { XtSetArg(args[n], XmNmaxLength, int(e->max_length)); ++n; }
  XtSetArg(args[n], XmNx, Position(c->x)); ++n;
  XtSetArg(args[n], XmNy, Position(c->y)); ++n;
  XtSetArg(args[n], XmNshadowThickness, Dimension(e->border ? 1 : 0)); ++n;
  XtSetArg(args[n], XmNhighlightThickness, Dimension(0)); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNforeground, foreground_of(e)); ++n;
  XtSetArg(args[n], XmNbackground, c->background ? Pixel(c->background->pixel) : set.background); ++n;
  XtSetArg(args[n], XmNeditable, e->read_only ? False : True); ++n;
  XtSetArg(args[n], XmNheight, Dimension(std::max(c->height, 1))); ++n;
  XtSetArg(args[n], XmNwidth, Dimension(std::max(c->width, 1))); ++n;
  XtSetArg(args[n], XmNresizeWidth, False); ++n;
  if (font_list(e) != nullptr) { XtSetArg(args[n], XmNfontList, font_list(e)); ++n; }
  XtSetArg(args[n], XmNmarginHeight, Dimension(1)); ++n;
  XtSetArg(args[n], XmNeditMode, XmSINGLE_LINE_EDIT); ++n;
  XtSetArg(args[n], XmNmappedWhenManaged, (c->flags & WU_CTL_HIDDEN) ? False : True); ++n;
  Widget w = XtCreateWidget("qevTextField", xmTextWidgetClass, c->pane->ext->widget, args, n);
  if (w == nullptr) return WU_NOTAVAIL;
  e->w.main = e->w.outer = w;
  if (wuwpbfo != nullptr) XtInsertEventHandler(w, FocusChangeMask, False, wuwpbfo, c, XtListHead);
  if (!devb->motifres.native_text_translations && wutaddt != nullptr) {
    wutaddt(w);
    // The window's text keys send Return to the window; in an entry field
    // it activates the field, which reports `returnKey`.
    XtOverrideTranslations(w, field_keys());
  }
  wutmnrq(w, c);
  if (devb->popup_translation != nullptr) XtOverrideTranslations(w, devb->popup_translation);
  if (wuwtlwn != nullptr)
    XtAddEventHandler(w, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False, wuwtlwn, c);
  XtAddCallback(w, XmNmodifyVerifyCallback, wuwhsub, e);
  XtAddCallback(w, XmNactivateCallback, wuwhsub, e);
  XtAddCallback(w, XmNactivateCallback, wuwhbat, e);
  XtAddCallback(w, XmNvalueChangedCallback, wuwhpsu, e);
  // Shown, a plain text lives in the widget alone.
  if (e->text != nullptr && e->mask == 0) set_text_buffer(e, nullptr);
  XtManageChild(w);
  if (!(c->flags & WU_CTL_HIDDEN)) c->flags |= WU_CTL_SHOWN;
  if (c->conform_size)
    wu_ctl_send(c, WU_EV_CONFORMSIZE, kEvmConform, w->core.x, w->core.y, nullptr, 0, WU_EV_CTL_POSTED);
  return WU_OK;
}

XtTranslations text_keys(bool line_feed) {
  static XtTranslations lines = XtParseTranslationTable(
      QEV_TEXT_OWN_KEYS
      "<Key>osfActivate: newline() activate()\n"
      "<Key>Return: newline() activate()\n"
      "<Key>KP_Enter: newline() activate()");
  return line_feed ? lines : field_keys();
}

}  // namespace wutext

using namespace wutext;

extern "C" {

Pixel wu_ctl_error_foreground(wu_control *c, Pixel requested) {
  if (c != nullptr && c->kind == WU_MT_ENTRY && efd(c)->error_on && devb != nullptr)
    return devb->red_foreground;
  return requested;
}

wu_status wutifld(wu_control *c) {
  if (c == nullptr) return WU_NOTAVAIL;
  switch (c->kind) {
    case WU_MT_ENTRY:
      if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr ||
          c->pane->ext->widget == nullptr)
        return WU_NOTAVAIL;
      return CreateTxtField(efd(c));
    case WU_MT_LABEL:
      return wu_build_label != nullptr ? wu_build_label(c) : WU_NOTAVAIL;
    case WU_MT_MLENTRY:
      return wu_build_mlentry != nullptr ? wu_build_mlentry(c) : WU_NOTAVAIL;
    default:
      return WU_NOTAVAIL;
  }
}

wu_status wuxgefd(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t width_chars, int32_t max_length, int32_t word_b) {
  if (pane == nullptr || pane->ext == nullptr || pane->window == nullptr || out == nullptr)
    return WU_NOTAVAIL;
  wu_window *window = pane->window;
  auto *e = static_cast<EntryField *>(wutgmem(window->pool, WU_MT_ENTRY));
  if (e == nullptr) return WU_NOMEM;
  wu_control *c = &e->c;
  c->kind = WU_MT_ENTRY;
  c->pane = pane;
  wu_ctl_link(c);
  install_slots(c);
  c->Replay = TextPadReplay;
  c->y = y;
  c->x = x;
  c->width = width_chars * ((devb && devb->cell_width > 0) ? devb->cell_width : 1);
  e->max_length = max_length < 0 ? kNoLimit : uint32_t(max_length);
  c->flags |= WU_CTL_TAKES_FOCUS;
  c->host_id.value = word_a;
  e->word_b = word_b;
  e->border = 1;
  e->mask = 0;
  e->query = nullptr;
  if ((pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr &&
      wutifld(c) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

}  // extern "C"
