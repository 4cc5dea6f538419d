// The label and the multi-line entry of host-built dialogs.  Both records
// start with the entry field's, so that the text module's callbacks, its
// clean-up and its drag-and-drop slots serve them as well.
//
// The label shows the host's text with its mnemonic marker removed and,
// when it does not size itself, wrapped at blanks to its width.  The
// multi-line entry is a scrolled text that the host reads and writes as a
// list of lines, with 1-based row and column positions.
#include <X11/IntrinsicP.h>
#include <Xm/Label.h>
#include <Xm/ScrolledW.h>
#include <Xm/Text.h>
#include <Xm/ToggleB.h>
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

extern "C" {
void wuwtlwn(Widget, XtPointer, XEvent *, Boolean *) __attribute__((weak));
wu_status wuwddrg(Widget w) __attribute__((weak));
}

using wutext::EntryField;

namespace {

constexpr int32_t kDialogColours = 3;          // colour class of dialog texts
constexpr int32_t kLastCode = WU_A_EVENTPROC;
constexpr uint32_t kEvmConform = 0x2000;       // mask bit of `conformSize`
constexpr int32_t kWrapSlack = 2;              // a line breaks at the width less this
constexpr int32_t kJustifyLast = 2;

bool dbcs_mode() { return wu_dbcs_mode(); }

char *copy_bytes(const char *text, int32_t length) {
  char *s = XtMalloc(static_cast<Cardinal>(std::max(length, 0)) + 1);
  if (length > 0) std::memcpy(s, text, static_cast<size_t>(length));
  s[std::max(length, 0)] = '\0';
  return s;
}

// A host text entry: a null text with a positive length, or a negative
// length, is refused.
// A pixel position the X server can place a widget at.
bool position_ok(int32_t v) {
  return v >= std::numeric_limits<Position>::min() && v <= std::numeric_limits<Position>::max();
}

bool text_ok(const wu_value *v) { return v->value >= 0 && (v->value == 0 || v->pointer != nullptr); }

XmFontList font_of(wu_control *c) {
  if (c->font_list != nullptr) return static_cast<XmFontList>(c->font_list);
  return devb ? devb->font_list : nullptr;
}

void dialog_colours(wu_control *c, wu_ctl_colours *set) {
  wu_ctl_class_colours(wu_ctl_window(c), set);
  if (wuwgpmc != nullptr) wuwgpmc(wu_ctl_window(c), kDialogColours, set);
}

void common_handlers(Widget w, wu_control *c) {
  wutmnrq(w, c);
  if (devb->popup_translation != nullptr) XtOverrideTranslations(w, devb->popup_translation);
}

// ========================================================================
// The label
// ========================================================================

typedef struct Label {
  EntryField f;              // the text kinds' part: widget, font, clean-up
  uint32_t justification;    // 0 start, 1 centre, 2 end
  char *text;                // the host's text as given, marker included
  int32_t wrap_count;        // line breaks the last wrap inserted
  XmString pending;          // label string made while no widget exists
  char *shown;               // the text shown: marker removed, wrapped
} Label;
static_assert(sizeof(Label) <= WU_CTL_LARGE_SIZE, "label fits its record kind");

Label *lbl(wu_control *c) { return reinterpret_cast<Label *>(c); }

unsigned char alignment_of(uint32_t justification) {
  return justification == 1 ? XmALIGNMENT_CENTER
         : justification == 2 ? XmALIGNMENT_END : XmALIGNMENT_BEGINNING;
}

int32_t text_width(XmFontList fl, const char *text) {
  if (fl == nullptr || text == nullptr || *text == '\0') return 0;
  XmString s = wumcl2r(text);
  const int32_t w = s ? XmStringWidth(fl, s) : 0;
  XmStringFree(s);
  return w;
}

// Shows a text: as the widget's label string, or kept for the build.
void show_text(Label *l, const char *text) {
  XmString s = wumcl2r(text);
  Widget w = l->f.w.main;
  if (w != nullptr) {
    XtVaSetValues(w, XmNlabelString, s, nullptr);
    XmStringFree(s);
  } else {
    if (l->pending != nullptr) XmStringFree(l->pending);
    l->pending = s;
  }
  XtFree(l->shown);
  l->shown = XtNewString(text);
}

// Wraps the label's text at blanks to its width.  The wrap always starts
// from a fresh copy of the host's text (marker removed), so an earlier wrap
// never sticks and the stored text stays as given.
void CheckTextWrap(Label *l, bool forced) {
  wu_control *c = &l->f.c;
  if (l->text == nullptr || (l->f.w.main == nullptr && l->pending == nullptr)) return;
  Dimension width = Dimension(std::max(c->width, 0));
  if (l->f.w.main != nullptr) XtVaGetValues(l->f.w.main, XmNwidth, &width, nullptr);
  const int32_t limit = int32_t(width) - kWrapSlack;
  XmFontList fl = font_of(c);
  char *copy = wuxstmn(l->text);
  const int32_t before = l->wrap_count;
  l->wrap_count = 0;
  if (text_width(fl, copy) >= limit && std::strchr(copy, ' ') != nullptr) {
    const size_t n = std::strlen(copy);
    size_t pos = 0;
    int32_t line = 0;
    bool first = true;
    while (pos < n) {
      size_t end = pos;
      while (end < n && copy[end] != ' ' && copy[end] != '\n') ++end;
      const bool last = end >= n;
      const std::string word(copy + pos, (last ? n : end + 1) - pos);
      line += text_width(fl, word.c_str());
      if (line >= limit && !(last && first)) {
        if (first) {
          copy[end] = '\n';
          ++l->wrap_count;
          line = 0;
          pos = end + 1;
          continue;
        }
        // The word starts the next line, measured again there.
        copy[pos - 1] = '\n';
        ++l->wrap_count;
        line = 0;
        first = true;
        continue;
      }
      first = false;
      if (last) break;
      if (copy[end] == '\n') {
        line = 0;
        first = true;
      }
      pos = end + 1;
    }
  }
  if (forced || before != l->wrap_count || l->shown == nullptr || std::strcmp(l->shown, copy) != 0)
    show_text(l, copy);
  XtFree(copy);
}

wu_status LabelQwat(wu_control *c, wu_value *entries, int32_t count);

wu_status TextReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_LABEL || rec == nullptr) return WU_NOTAVAIL;
  switch (rec->code) {
    case WU_EV_POPUP: case WU_EV_CLICKONLY: case WU_EV_CONFORMSIZE:
      break;
    default:
      return WU_NOTAVAIL;
  }
  if (rec->sent) wu_ctl_send(c, rec->code, 0, c->x, c->y, nullptr, 0, WU_EV_CTL_POSTED);
  return WU_OK;
}

void send_conform(wu_control *c, Widget w) {
  wu_ctl_send(c, WU_EV_CONFORMSIZE, kEvmConform, w->core.x, w->core.y, nullptr, 0,
              WU_EV_CTL_POSTED);
}

wu_status LabelSwat(wu_control *c, wu_value *entries, int32_t count) {
  Label *l = lbl(c);
  Widget w = l->f.w.main;
  Dimension w0 = 0, h0 = 0;
  if (w != nullptr) XtVaGetValues(w, XmNwidth, &w0, XmNheight, &h0, nullptr);
  Arg args[8];
  Cardinal n = 0;
  bool width_set = false, height_set = false, text_set = false;
  XmFontList stale_font = nullptr;  // freed once the widget has the new one
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    const int32_t val16 = v->value & 0xffff;
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_EVENTS:
      case WU_A_CLICKONLY: case WU_A_EVENTPROC:
        break;
      case WU_A_HPOS:
        if (!position_ok(v->value)) { v->status = WU_E_RANGE; break; }
        c->x = v->value;
        if (w) { XtSetArg(args[n], XmNx, Position(c->x)); ++n; }
        break;
      case WU_A_VPOS:
        if (!position_ok(v->value)) { v->status = WU_E_RANGE; break; }
        c->y = v->value;
        if (w) { XtSetArg(args[n], XmNy, Position(c->y)); ++n; }
        break;
      case WU_A_WIDTH: case WU_A_HEIGHT: {
        const bool is_w = v->code == WU_A_WIDTH;
        if (w && v->value == int32_t(is_w ? w0 : h0)) break;
        if (c->conform_size) { v->status = WU_E_SIZE_FIXED; break; }
        if (v->value < 1 || v->value > 0x7fff) { v->status = WU_E_RANGE; break; }
        (is_w ? c->width : c->height) = v->value;
        (is_w ? width_set : height_set) = true;
        break;
      }
      case WU_A_TEXT: {
        if (!text_ok(v)) { v->status = WU_E_RANGE; break; }
        XtFree(l->text);
        l->text = copy_bytes(static_cast<const char *>(v->pointer), v->value);
        char *shown = wuxstmn(l->text);
        l->wrap_count = 0;
        show_text(l, shown);
        XtFree(shown);
        text_set = true;
        break;
      }
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_COMPANION:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_JUSTIFICATION:
        if (v->value < 0 || v->value > kJustifyLast) { v->status = WU_E_RANGE; break; }
        l->justification = uint32_t(v->value);
        if (w) { XtSetArg(args[n], XmNalignment, alignment_of(l->justification)); ++n; }
        break;
      case WU_A_FONT: {
        XmFontList old = nullptr;
        if (wutext::SetHostFont(&l->f, v->pointer, &old) && w) {
          XtSetArg(args[n], XmNfontList, font_of(c)); ++n;
        }
        wutext::FreeFontList(stale_font);
        stale_font = old;
        break;
      }
      case WU_A_CONFORMSIZE:
        c->conform_size = int16_t(val16 != 0);
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (w != nullptr && n > 0) XtSetValues(w, args, n);
  wutext::FreeFontList(stale_font);
  if (w != nullptr) {
    if (c->conform_size) {
      XtVaSetValues(w, XmNrecomputeSize, True, XmNwidth, Dimension(0), XmNheight, Dimension(0),
                    nullptr);
    } else {
      n = 0;
      if (width_set) { XtSetArg(args[n], XmNwidth, Dimension(c->width)); ++n; }
      if (height_set) { XtSetArg(args[n], XmNheight, Dimension(c->height)); ++n; }
      XtSetArg(args[n], XmNrecomputeSize, False); ++n;
      XtSetValues(w, args, n);
    }
    if (!dbcs_mode() && !c->conform_size) CheckTextWrap(l, text_set);
    if (c->conform_size) {
      Dimension w1 = 0, h1 = 0;
      XtVaGetValues(w, XmNwidth, &w1, XmNheight, &h1, nullptr);
      if (w1 != w0 || h1 != h0) send_conform(c, w);
    }
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status LabelQwat(wu_control *c, wu_value *entries, int32_t count) {
  Label *l = lbl(c);
  Widget w = l->f.w.main;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->value = wu_ctl_geometry(c, w, v->code);
        v->status = WU_OK;
        break;
      case WU_A_TEXT:
        v->pointer = l->text;
        v->value = l->text ? int32_t(std::strlen(l->text)) : 0;
        v->status = WU_OK;
        break;
      case WU_A_JUSTIFICATION:
        v->value = int32_t(l->justification);
        v->status = WU_OK;
        break;
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_COMPANION:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_FONT:
      case WU_A_EVENTS: case WU_A_CLICKONLY: case WU_A_CONFORMSIZE: case WU_A_EVENTPROC:
      case WU_A_CONTROLID:
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  return wu_ctl_entries_result(entries, count);
}

// Frees what the label owns beyond the text kinds' part.
wu_status LabelClean(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr) return WU_OK;
  if ((entries == nullptr || count == 0) && !wu_ctl_live(c)) {
    Label *l = lbl(c);
    XtFree(l->text);
    l->text = nullptr;
    XtFree(l->shown);
    l->shown = nullptr;
    if (l->pending != nullptr) XmStringFree(l->pending);
    l->pending = nullptr;
    wutext::FreeFontList(l->f.own_font);
    l->f.own_font = nullptr;
    c->font_list = nullptr;
  }
  return wutext::TextFieldClean(h, entries, count);
}

void label_slots(wu_control *c) {
  wu_ctl_install(c, {LabelSwat, LabelQwat, nullptr, LabelClean, wutext::TextUnregisterDND,
                     wutext::TextRegisterDND, wutext::TextQueryDND, wutext::TextSetDND, TextReplay});
}

wu_status CreateLabel(Label *l) {
  wu_control *c = &l->f.c;
  label_slots(c);
  wu_ctl_colours dialog;
  dialog_colours(c, &dialog);
  XmString s = l->pending != nullptr ? l->pending : XmStringCreateLocalized(const_cast<char *>(" "));
  l->pending = nullptr;
  Arg args[20];
  Cardinal n = 0;
  n = wu_ctl_visual_args(args, n);
  XtSetArg(args[n], XmNx, Position(c->x)); ++n;
  XtSetArg(args[n], XmNy, Position(c->y)); ++n;
  if (!c->conform_size && c->width > 0) { XtSetArg(args[n], XmNwidth, Dimension(c->width)); ++n; }
  if (!c->conform_size && c->height > 0) { XtSetArg(args[n], XmNheight, Dimension(c->height)); ++n; }
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNbackground, c->background ? Pixel(c->background->pixel) : dialog.background); ++n;
  XtSetArg(args[n], XmNforeground, c->foreground ? Pixel(c->foreground->pixel) : dialog.foreground); ++n;
  XtSetArg(args[n], XmNlabelString, s); ++n;
  XtSetArg(args[n], XmNrecomputeSize, c->conform_size ? True : False); ++n;
  XtSetArg(args[n], XmNalignment, alignment_of(l->justification)); ++n;
  if (font_of(c) != nullptr) { XtSetArg(args[n], XmNfontList, font_of(c)); ++n; }
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNmappedWhenManaged, (c->flags & WU_CTL_HIDDEN) ? False : True); ++n;
  Widget w = XtCreateWidget("qevTextLabel", xmLabelWidgetClass, c->pane->ext->widget, args, n);
  XmStringFree(s);
  if (w == nullptr) return WU_NOTAVAIL;
  l->f.w.main = l->f.w.outer = w;
  if (wutaddt != nullptr) wutaddt(w);
  common_handlers(w, c);
  if (wuwtlwn != nullptr)
    XtAddEventHandler(w, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False, wuwtlwn, c);
  if (wuwddrg != nullptr) wuwddrg(w);
  XtManageChild(w);
  if (!(c->flags & WU_CTL_HIDDEN)) c->flags |= WU_CTL_SHOWN;
  if (!dbcs_mode() && !c->conform_size) CheckTextWrap(l, false);
  if (c->conform_size) send_conform(c, w);
  return WU_OK;
}

// ========================================================================
// The multi-line entry
// ========================================================================

typedef struct TextPad {
  EntryField f;              // the text kinds' part; f.text is the text buffer
  uint32_t rows;             // display rows, 0 when the height is in pixels
  uint32_t top_row;          // 1-based, 0 when none is set
  uint32_t cursor_column;    // 1-based
  uint32_t cursor_row;       // 1-based
  uint32_t hbar;             // horizontal bar (and no wrap)
  uint32_t vbar;             // vertical bar
  Widget scrolled;           // the scrolled window (outer)
  Widget hsb, vsb;           // its bars
  wu_str_item *lines;        // the line array of the last text query
  int32_t line_count;
} TextPad;
static_assert(sizeof(TextPad) <= WU_CTL_LARGE_SIZE, "multi-line entry fits its record kind");

TextPad *pad(wu_control *c) { return reinterpret_cast<TextPad *>(c); }

// ---- rows and columns ----------------------------------------------------

// The row and column (1-based) of a position in a text.
void rowcol_of(const std::string &text, size_t pos, int32_t *row, int32_t *column) {
  pos = std::min(pos, text.size());
  int32_t r = 1;
  size_t line_start = 0;
  for (size_t i = 0; i < pos; ++i)
    if (text[i] == '\n') {
      ++r;
      line_start = i + 1;
    }
  *row = r;
  *column = int32_t(pos - line_start) + 1;
}

// The position of a row and column (1-based; below 1 counts as 1).  A row
// or column past the text gives its end; meeting the end of the row before
// the column fails.
bool position_of(const std::string &text, int32_t row, int32_t column, size_t *pos) {
  row = std::max(row, 1);
  column = std::max(column, 1);
  size_t p = 0;
  for (int32_t r = 1; r < row; ++r) {
    const size_t lf = text.find('\n', p);
    if (lf == std::string::npos) {
      *pos = text.size();
      return true;
    }
    p = lf + 1;
  }
  for (int32_t k = 1; k < column; ++k) {
    if (p >= text.size()) break;
    if (text[p] == '\n') return false;
    ++p;
  }
  *pos = p;
  return true;
}

std::string widget_text(Widget w) {
  char *s = XmTextGetString(w);
  std::string out = s ? s : "";
  XtFree(s);
  return out;
}

bool set_cursor(TextPad *t) {
  Widget w = t->f.w.main;
  size_t pos = 0;
  if (w == nullptr ||
      !position_of(widget_text(w), int32_t(t->cursor_row), int32_t(t->cursor_column), &pos))
    return false;
  XmTextSetInsertionPosition(w, XmTextPosition(pos));
  return true;
}

void set_top_row(TextPad *t, int32_t row) {
  Widget w = t->f.w.main;
  if (w == nullptr) return;
  const std::string text = widget_text(w);
  size_t pos = 0;
  for (int32_t r = 1; r < row; ++r) {
    const size_t lf = text.find('\n', pos);
    if (lf == std::string::npos) {
      pos = text.size();
      break;
    }
    pos = lf + 1;
  }
  XmTextSetTopCharacter(w, XmTextPosition(pos));
}

int32_t top_row(TextPad *t) {
  Widget w = t->f.w.main;
  if (w == nullptr) return 0;
  const XmTextPosition top = XmTextGetTopCharacter(w);
  int32_t row = 0, column = 0;
  rowcol_of(widget_text(w), size_t(std::max<XmTextPosition>(top, 0)), &row, &column);
  return row;
}

// ---- text in and out -------------------------------------------------------

// Puts a text into the widget without the callbacks that report the user's
// changes.
void put_pad_text(TextPad *t, const char *text) {
  Widget w = t->f.w.main;
  XtRemoveCallback(w, XmNvalueChangedCallback, wutext::wuwhpsu, t);
  XtRemoveCallback(w, XmNactivateCallback, wutext::wuwhbat, t);
  t->f.host_put = 1;
  XmTextSetString(w, const_cast<char *>(text));
  t->f.host_put = 0;
  XtAddCallback(w, XmNactivateCallback, wutext::wuwhbat, t);
  XtAddCallback(w, XmNvalueChangedCallback, wutext::wuwhpsu, t);
}

// Joins a host list of lines with one line feed between items.  False for a
// list that is not well formed or too long.
bool join_lines(const wu_value *v, std::string *out) {
  if (v->value < 0 || (v->value > 0 && v->pointer == nullptr)) return false;
  const auto *items = static_cast<const wu_str_item *>(v->pointer);
  uint64_t total = 0;
  for (int32_t i = 0; i < v->value; ++i) {
    if (items[i].length < 0 || (items[i].length > 0 && items[i].text == nullptr)) return false;
    total += uint64_t(items[i].length) + 1;
    if (total > uint64_t(std::numeric_limits<int32_t>::max())) return false;
  }
  out->clear();
  out->reserve(size_t(total));
  for (int32_t i = 0; i < v->value; ++i) {
    if (i > 0) out->push_back('\n');
    out->append(items[i].text, size_t(items[i].length));
  }
  return true;
}

void free_lines(TextPad *t) {
  for (int32_t i = 0; t->lines != nullptr && i < t->line_count; ++i)
    XtFree(const_cast<char *>(t->lines[i].text));
  XtFree(reinterpret_cast<char *>(t->lines));
  t->lines = nullptr;
  t->line_count = 0;
}

// The text split at line feeds; a text ending in a line feed has a last
// empty line, so that setting what a query gave restores the same text.
void split_lines(TextPad *t, const std::string &text) {
  free_lines(t);
  if (text.empty()) return;
  int32_t n = 1;
  for (char ch : text)
    if (ch == '\n') ++n;
  t->lines = reinterpret_cast<wu_str_item *>(XtCalloc(Cardinal(n), sizeof(wu_str_item)));
  size_t start = 0;
  for (int32_t i = 0; i < n; ++i) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    t->lines[i].length = int32_t(end - start);
    t->lines[i].text = copy_bytes(text.data() + start, int32_t(end - start));
    start = end + 1;
  }
  t->line_count = n;
}

std::string pad_text(TextPad *t) {
  if (t->f.w.main != nullptr) return widget_text(t->f.w.main);
  return t->f.text != nullptr ? t->f.text : "";
}

// ---- colours and bars ------------------------------------------------------

// The pad's widgets that take its colours.
int32_t colour_widgets(TextPad *t, Widget out[4]) {
  int32_t n = 0;
  for (Widget w : {t->scrolled, t->f.w.main, t->hsb, t->vsb})
    if (w != nullptr) out[n++] = w;
  return n;
}

void apply_pad_colour(TextPad *t, bool foreground) {
  if (t->f.w.main == nullptr) return;
  wu_control *c = &t->f.c;
  wu_ctl_colours set;
  wu_ctl_class_colours(wu_ctl_window(c), &set);
  Widget ws[4];
  const int32_t n = colour_widgets(t, ws);
  if (foreground) {
    const Pixel fg = c->foreground ? Pixel(c->foreground->pixel) : set.foreground;
    for (int32_t i = 0; i < n; ++i) XtVaSetValues(ws[i], XmNforeground, fg, nullptr);
    return;
  }
  const Pixel bg = c->background ? Pixel(c->background->pixel) : set.background;
  Pixel fg = 0, top = 0, bottom = 0, select = 0;
  XmGetColors(XtScreen(devb->toplevel), devb->colormap, bg, &fg, &top, &bottom, &select);
  for (int32_t i = 0; i < n; ++i)
    XtVaSetValues(ws[i], XmNbackground, bg, XmNtopShadowColor, top, XmNbottomShadowColor, bottom,
                  XmNtroughColor, bg, nullptr);
}

// Horizontal bar on: no wrap, horizontal scrolling; off: the bar goes and
// the lines wrap.  The text keeps its scrolling switch in its output data,
// which the resource alone does not reach after creation.
void apply_bars(TextPad *t) {
  Widget w = t->f.w.main;
  const Boolean h = t->hbar ? True : False;
  if (t->hsb != nullptr) {
    if (h) XtManageChild(t->hsb);
    else XtUnmanageChild(t->hsb);
  }
  XtVaSetValues(w, XmNwordWrap, h ? False : True, nullptr);
  Kludge_XmText_scrollHorizontal(w, h);
  if (t->vsb != nullptr) {
    if (t->vbar) XtManageChild(t->vsb);
    else XtUnmanageChild(t->vsb);
  }
}

void bar_setup(TextPad *t, Widget bar) {
  if (bar == nullptr) return;
  if (!t->f.border) XtVaSetValues(bar, XmNshadowThickness, Dimension(1), nullptr);
  XtVaSetValues(bar, XmNuserData, &t->f.c, nullptr);
  common_handlers(bar, &t->f.c);
}

// ---- kind slots ------------------------------------------------------------

wu_status TextPadSwat(wu_control *c, wu_value *entries, int32_t count) {
  TextPad *t = pad(c);
  Widget w = t->f.w.main;
  const int32_t noted_top = w != nullptr ? top_row(t) : 0;
  int32_t given_top = 0;
  bool font_changed = false, height_set = false, cursor_set = false, text_set = false;
  XmFontList stale_font = nullptr;  // freed once the widget has the new one
  std::string text;
  Arg args[6];
  Cardinal n = 0;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    const int32_t val16 = v->value & 0xffff;
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY:
      case WU_A_VIRTUALKEYS: case WU_A_EVENTPROC:
        break;
      case WU_A_HELPTEXT: case WU_A_JUSTIFICATION: case WU_A_MINCHAR: case WU_A_MAXCHARS:
      case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_HSCROLLBAR:
        t->hbar = uint32_t(val16 != 0);
        break;
      case WU_A_VSCROLLBAR:
        t->vbar = uint32_t(val16 != 0);
        break;
      case WU_A_HPOS:
        if (!position_ok(v->value)) { v->status = WU_E_RANGE; break; }
        c->x = v->value;
        break;
      case WU_A_VPOS:
        if (!position_ok(v->value)) { v->status = WU_E_RANGE; break; }
        c->y = v->value;
        break;
      case WU_A_WIDTH:
        if (v->value < 1 || v->value > 0x7fff) { v->status = WU_E_RANGE; break; }
        c->width = v->value;
        break;
      case WU_A_HEIGHT:
        if (v->value < 1 || v->value > 0x7fff) { v->status = WU_E_RANGE; break; }
        c->height = v->value;
        height_set = true;
        break;
      case WU_A_FOREGROUND: case WU_A_BACKGROUND:
        if (wu_ctl_set_colour(c, v) != WU_OK) { v->status = WU_E_RANGE; break; }
        apply_pad_colour(t, v->code == WU_A_FOREGROUND);
        break;
      case WU_A_LINES:
        if (!join_lines(v, &text)) { v->status = WU_E_RANGE; break; }
        text_set = true;
        if (w == nullptr) {
          XtFree(t->f.text);
          t->f.text = copy_bytes(text.data(), int32_t(text.size()));
        }
        break;
      case WU_A_MINROWS:
        if (v->value < 0 || v->value > 0x7fff) { v->status = WU_E_RANGE; break; }
        t->rows = uint32_t(v->value);
        if (w && t->rows > 0) { XtSetArg(args[n], XmNrows, short(t->rows)); ++n; }
        break;
      case WU_A_EDITABLE:
        t->f.read_only = uint32_t(val16);
        if (w) { XtSetArg(args[n], XmNeditable, t->f.read_only ? False : True); ++n; }
        break;
      case WU_A_BORDERSTYLE:
        if (w) { v->status = WU_E_CREATE_ONLY; break; }
        t->f.border = uint32_t(val16 != 0);
        break;
      case WU_A_TOPROW:
        if (v->value < 1) { v->status = WU_E_RANGE; break; }
        if (w) given_top = v->value;
        else t->top_row = uint32_t(v->value);
        break;
      case WU_A_FONT: {
        XmFontList old = nullptr;
        if (wutext::SetHostFont(&t->f, v->pointer, &old)) {
          font_changed = true;
          if (w) { XtSetArg(args[n], XmNfontList, font_of(c)); ++n; }
        }
        wutext::FreeFontList(stale_font);
        stale_font = old;
        break;
      }
      case WU_A_CURSORPOS: case WU_A_ROWPOS:
        if (v->value < 1) { v->status = WU_E_RANGE; break; }
        (v->code == WU_A_CURSORPOS ? t->cursor_column : t->cursor_row) = uint32_t(v->value);
        cursor_set = true;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (w != nullptr && n > 0) XtSetValues(w, args, n);
  wutext::FreeFontList(stale_font);
  if (w != nullptr) {
    const int32_t keep_top = given_top > 0 ? given_top : noted_top;
    if (text_set) put_pad_text(t, text.c_str());
    apply_bars(t);
    Widget sw = t->scrolled;
    XtVaSetValues(sw, XmNwidth, Dimension(std::max(c->width, 1)), nullptr);
    if (font_changed) XtVaSetValues(sw, XmNheight, Dimension(std::max(c->height, 1)), nullptr);
    if (sw->core.height < c->height || (height_set && t->rows == 0))
      XtVaSetValues(sw, XmNheight, Dimension(std::max(c->height, 1)), XmNwidth,
                    Dimension(std::max(c->width, 1)), nullptr);
    if (sw->core.x != c->x || sw->core.y != c->y)
      XtVaSetValues(sw, XmNx, Position(c->x), XmNy, Position(c->y), nullptr);
    if (cursor_set) set_cursor(t);
    if (keep_top > 0) set_top_row(t, keep_top);
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status TextPadQwat(wu_control *c, wu_value *entries, int32_t count) {
  TextPad *t = pad(c);
  Widget w = t->f.w.main;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    v->status = WU_OK;
    switch (v->code) {
      case WU_A_HSCROLLBAR: v->value = int32_t(t->hbar & 0xffff); break;
      case WU_A_VSCROLLBAR: v->value = int32_t(t->vbar & 0xffff); break;
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->value = wu_ctl_geometry(c, t->scrolled, v->code);
        break;
      case WU_A_LINES:
        split_lines(t, pad_text(t));
        v->type = WU_VT_STRLIST;
        v->value = t->line_count;
        v->pointer = t->lines;
        v->status = WU_ALLOCATED;
        break;
      case WU_A_MINROWS: v->value = int32_t(t->rows); break;
      case WU_A_EDITABLE: v->value = int32_t(t->f.read_only & 0xffff); break;
      case WU_A_BORDERSTYLE: v->value = int32_t(t->f.border & 0xffff); break;
      case WU_A_TOPROW: v->value = w != nullptr ? top_row(t) : int32_t(t->top_row); break;
      case WU_A_CURSORPOS: case WU_A_ROWPOS: {
        int32_t row = int32_t(t->cursor_row), column = int32_t(t->cursor_column);
        if (w != nullptr)
          rowcol_of(widget_text(w), size_t(XmTextGetInsertionPosition(w)), &row, &column);
        v->value = v->code == WU_A_CURSORPOS ? column : row;
        break;
      }
      case WU_A_HELPTEXT: case WU_A_JUSTIFICATION: case WU_A_MINCHAR: case WU_A_MAXCHARS:
      case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_FONT:
      case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY: case WU_A_VIRTUALKEYS:
      case WU_A_EVENTPROC:
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  return wu_ctl_entries_result(entries, count);
}

// Gives back the line array a text query handed out; with no entries (the
// control's release) everything the pad owns.
wu_status TextPadClean(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr) return WU_OK;
  TextPad *t = pad(c);
  for (int32_t i = 0; i < count && entries != nullptr; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_ALLOCATED || v->code != WU_A_LINES || v->type != WU_VT_STRLIST) continue;
    if (v->pointer == t->lines) free_lines(t);
    v->pointer = nullptr;
    v->value = 0;
    v->status = WU_OK;
  }
  if (entries == nullptr || count == 0) {
    free_lines(t);
    if (!wu_ctl_live(c)) {
      wutext::FreeFontList(t->f.own_font);
      t->f.own_font = nullptr;
      c->font_list = nullptr;
    }
  }
  return wutext::TextFieldClean(h, entries, count);
}

// The focus frame of the pad: the shadows take the highlight colour while
// it has the keyboard.
void wuwtxfo(Widget w, XtPointer, XEvent *event, Boolean *) {
  if (!wu_ctl_keyboard_change(w, event) || XmIsToggleButton(w) || wu_ctl_graying()) return;
  if (event->type == FocusIn) {
    Pixel hl = 0;
    XtVaGetValues(w, XmNhighlightColor, &hl, nullptr);
    XtVaSetValues(w, XmNtopShadowColor, hl, XmNbottomShadowColor, hl, nullptr);
  } else if (event->type == FocusOut) {
    Pixel bg = 0, fg = 0, top = 0, bottom = 0, select = 0;
    XtVaGetValues(w, XmNbackground, &bg, nullptr);
    XmGetColors(XtScreen(w), devb->colormap, bg, &fg, &top, &bottom, &select);
    XtVaSetValues(w, XmNtopShadowColor, top, XmNbottomShadowColor, bottom, nullptr);
  }
}

void pad_slots(wu_control *c) {
  wu_ctl_install(c, {TextPadSwat, TextPadQwat, wutext::TextFieldMethods, TextPadClean,
                     wutext::TextUnregisterDND, wutext::TextRegisterDND, wutext::TextQueryDND,
                     wutext::TextSetDND, wutext::TextPadReplay});
}

// The scrolled window goes with its text.
void destroy_scrolled(Widget w, XtPointer, XtPointer) {
  Widget sw = XtParent(w);
  if (sw != nullptr && !sw->core.being_destroyed) XtDestroyWidget(sw);
}

// A multi-line text in a scrolled window of its own, both made unmanaged
// (the toolkit's scrolled text manages its window at once, which in a pane
// already on the screen realises the window alone and then each part it
// is given): the caller manages the window once the text is in it, and
// everything is realised together.  The window takes the text's arguments
// as the toolkit's scrolled text gives them.
Widget scrolled_text(Widget parent, const char *name, const Arg *args, Cardinal n) {
  std::vector<Arg> al(args, args + n);
  al.resize(n + 4);
  XtSetArg(al[n], XmNscrollingPolicy, XmAPPLICATION_DEFINED);
  XtSetArg(al[n + 1], XmNvisualPolicy, XmVARIABLE);
  XtSetArg(al[n + 2], XmNscrollBarDisplayPolicy, XmSTATIC);
  XtSetArg(al[n + 3], XmNshadowThickness, 0);
  const std::string sw_name = std::string(name) + "SW";
  Widget sw = XtCreateWidget(sw_name.c_str(), xmScrolledWindowWidgetClass, parent, al.data(), n + 4);
  if (sw == nullptr) return nullptr;
  XtSetArg(al[n], XmNeditMode, XmMULTI_LINE_EDIT);
  Widget w = XtCreateWidget(name, xmTextWidgetClass, sw, al.data(), n + 1);
  if (w == nullptr) {
    XtDestroyWidget(sw);
    return nullptr;
  }
  XtAddCallback(w, XmNdestroyCallback, destroy_scrolled, nullptr);
  return w;
}

wu_status CreateTxtPad(TextPad *t) {
  wu_control *c = &t->f.c;
  pad_slots(c);
  wu_ctl_colours set;
  wu_ctl_class_colours(wu_ctl_window(c), &set);
  Arg args[24];
  Cardinal n = 0;
  n = wu_ctl_visual_args(args, n);
  if (font_of(c) != nullptr) { XtSetArg(args[n], XmNfontList, font_of(c)); ++n; }
  XtSetArg(args[n], XmNeditMode, XmMULTI_LINE_EDIT); ++n;
  if (t->rows > 0) { XtSetArg(args[n], XmNrows, short(t->rows)); ++n; }
  XtSetArg(args[n], XmNhighlightThickness, Dimension(0)); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNeditable, t->f.read_only ? False : True); ++n;
  if (t->f.border) {
    XtSetArg(args[n], XmNshadowType, XmSHADOW_ETCHED_IN); ++n;
    XtSetArg(args[n], XmNshadowThickness, Dimension(1)); ++n;
  } else {
    XtSetArg(args[n], XmNshadowThickness, Dimension(0)); ++n;
  }
  XtSetArg(args[n], XmNforeground, c->foreground ? Pixel(c->foreground->pixel) : set.foreground); ++n;
  XtSetArg(args[n], XmNbackground, c->background ? Pixel(c->background->pixel) : set.background); ++n;
  // Both bars are made; the switches manage them below.
  XtSetArg(args[n], XmNscrollHorizontal, True); ++n;
  XtSetArg(args[n], XmNscrollVertical, True); ++n;
  // The host's lines are the text's from its creation.
  if (t->f.text != nullptr) { XtSetArg(args[n], XmNvalue, t->f.text); ++n; }
  Widget w = scrolled_text(c->pane->ext->widget, "qevTextField", args, n);
  if (w == nullptr) return WU_NOTAVAIL;
  t->scrolled = XtParent(w);
  t->f.w.main = w;
  t->f.w.outer = t->scrolled;
  XtInsertEventHandler(w, FocusChangeMask, False, wuwtxfo, c, XtListHead);
  XtVaGetValues(t->scrolled, XmNhorizontalScrollBar, &t->hsb, XmNverticalScrollBar, &t->vsb, nullptr);
  if (!devb->motifres.native_text_translations && wutaddt != nullptr) {
    wutaddt(w);
    XtOverrideTranslations(w, wutext::text_keys(true));
  }
  common_handlers(w, c);
  bar_setup(t, t->hsb);
  bar_setup(t, t->vsb);
  if (c->background != nullptr) apply_pad_colour(t, false);
  if (c->foreground != nullptr) apply_pad_colour(t, true);
  if (wuwtlwn != nullptr)
    XtAddEventHandler(w, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False, wuwtlwn, c);
  if (c->flags & WU_CTL_HIDDEN) XtSetMappedWhenManaged(t->scrolled, False);
  XtAddCallback(w, XmNmodifyVerifyCallback, wutext::wuwhsub, t);
  XtAddCallback(w, XmNactivateCallback, wutext::wuwhsub, t);
  XtAddCallback(w, XmNactivateCallback, wutext::wuwhbat, t);
  XtAddCallback(w, XmNvalueChangedCallback, wutext::wuwhpsu, t);
  XtFree(t->f.text);
  t->f.text = nullptr;
  apply_bars(t);
  XtManageChild(w);
  XtVaSetValues(t->scrolled, XmNx, Position(c->x), XmNy, Position(c->y), XmNwidth,
                Dimension(std::max(c->width, 1)), nullptr);
  if (t->rows == 0 || t->scrolled->core.height < c->height)
    XtVaSetValues(t->scrolled, XmNheight, Dimension(std::max(c->height, 1)), nullptr);
  // The cursor goes in before the text has a window: it takes no
  // selection then.
  if (t->cursor_row > 0 || t->cursor_column > 0) set_cursor(t);
  XtManageChild(t->scrolled);
  if (!(c->flags & WU_CTL_HIDDEN)) c->flags |= WU_CTL_SHOWN;
  if (t->top_row > 0) set_top_row(t, int32_t(t->top_row));
  return WU_OK;
}

bool pane_ready(wu_control *c) {
  return wu_x_ok() && c->pane != nullptr && c->pane->ext != nullptr &&
         c->pane->ext->widget != nullptr;
}

// The common start of the two creators: a record of the kind in the
// window's pool, linked into the pane's control list.
wu_control *new_record(wu_pane *pane, int32_t kind) {
  auto *c = static_cast<wu_control *>(wutgmem(pane->window->pool, kind));
  if (c == nullptr) return nullptr;
  c->kind = kind;
  c->pane = pane;
  wu_ctl_link(c);
  return c;
}

// Builds at once on a realised pane; a record that cannot be built goes.
wu_status finish_record(wu_pane *pane, wu_control *c, wu_control **out) {
  if ((pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr &&
      wutifld(c) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

}  // namespace

namespace wutext {

// Frees a control's own font list with the font sets made for it (the font
// list itself never frees its fonts).
void FreeFontList(XmFontList fl) {
  if (fl == nullptr) return;
  XmFontContext ctx = nullptr;
  if (wu_x_ok() && XmFontListInitFontContext(&ctx, fl)) {
    while (XmFontListEntry e = XmFontListNextEntry(ctx)) {
      XmFontType type = XmFONT_IS_FONT;
      XtPointer font = XmFontListEntryGetFont(e, &type);
      if (type == XmFONT_IS_FONTSET && font != nullptr)
        XFreeFontSet(devb->display, static_cast<XFontSet>(font));
    }
    XmFontListFreeFontContext(ctx);
  }
  XmFontListFree(fl);
}

// The `font` attribute of the text kinds.
bool SetHostFont(EntryField *e, void *record, XmFontList *old_out) {
  return wu_ctl_host_font(&e->c, record, &e->host_font, &e->own_font, old_out);
}

wu_status TextPadMethods(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_MLENTRY) return WU_NOTAVAIL;
  TextPad *t = pad(c);
  Widget w = t->f.w.main;
  if (w == nullptr) return WU_NOTAVAIL;
  const Time now = wu_x_ok() ? XtLastTimestampProcessed(devb->display) : CurrentTime;
  constexpr int32_t kMarkParams = 4;
  switch (method) {
    case WU_M_GETMARK: {
      if (count < kMarkParams || params == nullptr) return WU_NOTAVAIL;
      int32_t rc[4] = {1, 1, 1, 1};
      XmTextPosition left = 0, right = 0;
      if (XmTextGetSelectionPosition(w, &left, &right)) {
        const std::string text = widget_text(w);
        rowcol_of(text, size_t(left), &rc[0], &rc[1]);
        rowcol_of(text, size_t(right), &rc[2], &rc[3]);
      }
      for (int i = 0; i < kMarkParams; ++i) {
        params[i].value = rc[i];
        params[i].status = WU_OK;
      }
      return WU_OK;
    }
    case WU_M_SETMARK: {
      if (count < kMarkParams || params == nullptr) return WU_NOTAVAIL;
      const int32_t sr = params[0].value, sc = params[1].value;
      const int32_t er = params[2].value, ec = params[3].value;
      bool marked = false;
      auto mark = [&](int i) {
        params[i].status = WU_E_RANGE;
        marked = true;
      };
      if (sr == er && sc == ec) {
        for (int i = 0; i < kMarkParams; ++i) mark(i);
        return WU_ENTRY_STATUS;
      }
      const bool to_end = er == -1 && ec == -1;
      if (sr < 1) mark(0);
      if (sc < 1) mark(1);
      if (!to_end && er < 1) mark(2);
      if (!to_end && ec < 1) mark(3);
      if (marked) return WU_ENTRY_STATUS;
      const std::string text = widget_text(w);
      size_t start = 0, end = text.size();
      if (!position_of(text, sr, sc, &start)) { mark(0); mark(1); }
      if (!to_end && !position_of(text, er, ec, &end)) { mark(2); mark(3); }
      if (marked) return WU_ENTRY_STATUS;
      if (start > end) {
        for (int i = 0; i < kMarkParams; ++i) mark(i);
        return WU_ENTRY_STATUS;
      }
      XmTextSetSelection(w, XmTextPosition(start), XmTextPosition(end), now);
      return WU_OK;
    }
    case WU_M_CLEARMARK:
      XmTextClearSelection(w, now);
      return WU_OK;
    case WU_M_SETCURSORPOS:
      if (count < 1 || params == nullptr) return WU_NOTAVAIL;
      if (params[0].value < 1) {
        params[0].status = WU_E_RANGE;
        return WU_NOTAVAIL;
      }
      XmTextSetInsertionPosition(
          w, std::min<XmTextPosition>(params[0].value - 1, XmTextGetLastPosition(w)));
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

wu_status TextPadReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_MLENTRY || rec == nullptr) return WU_NOTAVAIL;
  switch (rec->code) {
    case WU_EV_KEY: case WU_EV_RETURNKEY: case WU_EV_VALUECHANGED:
      if (rec->sent) wu_ctl_send(c, rec->code, 0, c->x, c->y, nullptr, 0, WU_EV_CTL_POSTED);
      return WU_OK;
    case WU_EV_CONFORMSIZE:
      // A pad never sends `conformSize`, so it has none to replay.
      return WU_NOTAVAIL;
    default:
      return wu_ctl_replay_passed(c, rec);
  }
}

}  // namespace wutext

extern "C" {

wu_status wu_build_label(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_LABEL || !pane_ready(c)) return WU_NOTAVAIL;
  return CreateLabel(lbl(c));
}

wu_status wu_build_mlentry(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_MLENTRY || !pane_ready(c)) return WU_NOTAVAIL;
  return CreateTxtPad(pad(c));
}

wu_status wuxglbl(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t, int32_t, int32_t word_b) {
  if (out == nullptr || !wu_pane_live(pane)) return WU_NOTAVAIL;
  wu_control *c = new_record(pane, WU_MT_LABEL);
  if (c == nullptr) return WU_NOMEM;
  c->Swat = LabelSwat;
  c->Qwat = LabelQwat;
  // What the label holds before its build is given back by its clean-up.
  c->Cleanup = LabelClean;
  c->y = y;
  c->x = x;
  c->flags |= WU_CTL_TAKES_FOCUS;
  c->host_id.value = word_a;
  lbl(c)->f.word_b = word_b;
  return finish_record(pane, c, out);
}

wu_status wuxgmef(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t height, int32_t width, int32_t, int32_t word_b) {
  if (out == nullptr || !wu_pane_live(pane)) return WU_NOTAVAIL;
  wu_control *c = new_record(pane, WU_MT_MLENTRY);
  if (c == nullptr) return WU_NOMEM;
  TextPad *t = pad(c);
  c->Swat = TextPadSwat;
  c->Qwat = TextPadQwat;
  // A line list handed out before the build is the pad's own to give back.
  c->Cleanup = TextPadClean;
  c->y = y;
  c->x = x;
  c->height = height;
  c->width = width;
  c->flags |= WU_CTL_TAKES_FOCUS;
  c->host_id.value = word_a;
  t->f.word_b = word_b;
  t->f.border = 1;
  t->hbar = 1;
  t->vbar = 1;
  return finish_record(pane, c, out);
}

// The catalogue's creation settings of the two kinds.
wu_status wu_create_lbl(wu_pane *pane, wu_control **out) {
  return wuxglbl(pane, out, 0, 1, 1, 0, 0, 0);
}

wu_status wu_create_mef(wu_pane *pane, wu_control **out) {
  return wuxgmef(pane, out, 0, 1, 1, 1, 1, -1, 0);
}

}  // extern "C"
