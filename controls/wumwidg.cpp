// Older pane controls: push buttons, check boxes, radio boxes with their
// radio buttons, and the push buttons and toggles that mirror a pane field.
// They sit at cell positions of a pane; what the user does with them comes
// back to the host as module events queued for the window.
#include <X11/IntrinsicP.h>
#include <Xm/DrawingA.h>
#include <Xm/PushB.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "xd/qevutil.h"
#include "controls/wucontrol.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

// State of a graph push button, linked with that kind.
extern "C" wu_status wu_gpb_set_state(wu_control *c, int32_t state) __attribute__((weak));
extern "C" int32_t wu_gpb_state(wu_control *c) __attribute__((weak));

namespace {

constexpr int32_t kPushRows = 3;          // an older push button is three rows high
constexpr int32_t kLabelMargin = 4;       // columns beyond the label
constexpr int32_t kFieldButtonMargin = 2; // columns beyond a field-backed button's text
constexpr int32_t kFieldLabelMin = 64;    // smallest label buffer of a field-backed button
constexpr int32_t kMaxCells = 4096;       // largest row, column or size in cells
constexpr int32_t kMaxLabel = 4096;       // longest label in bytes

// Setter codes of the older kinds.
constexpr int16_t kRow = 33;
constexpr int16_t kColumn = 34;
constexpr int16_t kRows = 35;
constexpr int16_t kColumns = 36;
constexpr int16_t kColourIndex = 41;
constexpr int16_t kLabel = 43;

const char kPopupAction[] = "qev-widget-popup";
const char kPopupBinding[] = "<Btn3Down>: qev-widget-popup()";

int32_t cw() { return (devb && devb->cell_width > 0) ? devb->cell_width : 1; }
int32_t ch() { return (devb && devb->cell_height > 0) ? devb->cell_height : 1; }

wu_old_button *old(wu_control *c) { return reinterpret_cast<wu_old_button *>(c); }

bool button_kind(int32_t kind) {
  switch (kind) {
    case WU_MT_OLD_RADIOBOX: case WU_MT_RADIOBUTTON: case WU_MT_OLD_PUSHBUTTON:
    case WU_MT_OLD_CHECKBOX: case WU_MT_FIELD_TOGGLE: case WU_MT_FIELD_BUTTON:
      return true;
    default:
      return false;
  }
}

// The live older button a callback or action names, or null.
wu_old_button *live_button(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return (wu_ctl_live(c) && button_kind(c->kind)) ? old(c) : nullptr;
}

bool cells_ok(int32_t v) { return v >= 1 && v <= kMaxCells; }

// ---- labels in the window pool ----------------------------------------------

void free_label(wu_old_button *b) {
  wu_window *w = wu_ctl_window(&b->c);
  if (b->label != nullptr && w != nullptr)
    vmfree_handler(w->pool, b->label, b->label_size, 0);
  b->label = nullptr;
  b->label_size = 0;
}

// Gives the button a new label buffer of at least `size` bytes holding the
// text (cut to the buffer).  False when out of memory (the old one stays).
bool new_label(wu_old_button *b, const char *text, int32_t length, int32_t size) {
  wu_window *w = wu_ctl_window(&b->c);
  if (w == nullptr) return false;
  size = std::max(size, length + 1);
  auto *buf = static_cast<char *>(vmalcp_handler(w->pool, size, 0));
  if (buf == nullptr) return false;
  if (length > 0) std::memcpy(buf, text, size_t(std::min(length, size - 1)));
  free_label(b);
  b->label = buf;
  b->label_size = size;
  return true;
}

// A host label: -1 for a NUL-terminated text.  False for a text that is
// not well formed.
bool label_length(const char *text, int32_t length, int32_t *out) {
  if (length == -1) {
    *out = text != nullptr ? int32_t(strnlen(text, size_t(kMaxLabel) + 1)) : 0;
  } else {
    if (length < 0 || (length > 0 && text == nullptr)) return false;
    *out = length;
  }
  return *out <= kMaxLabel;
}

XmString label_string(const char *text) { return wumcstr(text != nullptr ? text : ""); }

void set_label_string(wu_old_button *b) {
  if (b->widget == nullptr) return;
  XmString s = label_string(b->label);
  XtVaSetValues(b->widget, XmNlabelString, s, nullptr);
  XmStringFree(s);
}

// ---- placement ----------------------------------------------------------------

struct Rect {
  int32_t x, y, width, height;
};

// The pixel rectangle of a button in its parent: cells less the pane's
// scroll origin, a radio button's cells within its box.
Rect place(wu_old_button *b) {
  wu_control *c = &b->c;
  Rect r = {};
  const bool push = c->kind == WU_MT_OLD_PUSHBUTTON || c->kind == WU_MT_FIELD_BUTTON;
  if (c->kind == WU_MT_RADIOBUTTON) {
    r.x = (c->x - 1) * cw();
    r.y = (c->y - 1) * ch();
  } else {
    const wu_pane *p = c->pane;
    r.x = (c->x - std::max(p->left_column, 1)) * cw();
    r.y = (c->y - std::max(p->top_row, 1)) * ch();
    if (c->kind == WU_MT_OLD_PUSHBUTTON) r.y += ch() / 2;
    if (c->kind == WU_MT_FIELD_BUTTON) r.y = std::max(r.y - ch() / 2, 0);
  }
  r.width = c->width * cw();
  r.height = (push ? c->height - 1 : c->height) * ch();
  return r;
}

void apply_geometry(wu_old_button *b) {
  if (b->widget == nullptr) return;
  const Rect r = place(b);
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNx, Position(r.x)); ++n;
  XtSetArg(args[n], XmNy, Position(r.y)); ++n;
  if (r.width > 0) { XtSetArg(args[n], XmNwidth, Dimension(r.width)); ++n; }
  if (r.height > 0) { XtSetArg(args[n], XmNheight, Dimension(r.height)); ++n; }
  XtSetValues(b->widget, args, n);
}

// ---- events -----------------------------------------------------------------

void focus_back(wu_window *w) {
  if (w != nullptr && (w->host_flags & WU_WHOST_FOCUS_BACK) && wuwFocusToQevinput != nullptr)
    wuwFocusToQevinput(w);
}

void wuwswgc(Widget, XtPointer client, XtPointer call) {
  wu_old_button *b = live_button(client);
  if (b == nullptr) return;
  if (b->c.kind == WU_MT_OLD_CHECKBOX) {
    auto *cbs = static_cast<XmToggleButtonCallbackStruct *>(call);
    b->state = cbs != nullptr ? (cbs->set ? 1 : 0) : (b->state ? 0 : 1);
  }
  wu_old_pressed_event(&b->c, WU_EV_OLD_PRESSED, true);
}

// A radio button set by the user becomes its box's selected one; the user
// cannot unset the selected one.
void wuwrbsc(Widget w, XtPointer client, XtPointer call) {
  wu_old_button *b = live_button(client);
  auto *cbs = static_cast<XmToggleButtonCallbackStruct *>(call);
  if (b == nullptr || cbs == nullptr || !cbs->set) return;
  wu_old_button *box = b->box;
  if (box == nullptr || !wu_ctl_live(&box->c)) return;
  if (box->selected != b) {
    wu_old_button *prev = box->selected;
    if (prev != nullptr) {
      prev->state = 0;
      if (prev->widget != nullptr) XmToggleButtonSetState(prev->widget, False, False);
    }
    box->selected = b;
    b->state = 1;
    wu_old_pressed_event(&box->c, WU_EV_OLD_PRESSED, false);
  }
  (void)w;
  focus_back(wu_ctl_window(&b->c));
}

void wuwrbuc(Widget w, XtPointer client, XtPointer call) {
  wu_old_button *b = live_button(client);
  auto *cbs = static_cast<XmToggleButtonCallbackStruct *>(call);
  if (b == nullptr || cbs == nullptr || cbs->set) return;
  if (b->box != nullptr && b->box->selected == b) XmToggleButtonSetState(w, True, False);
}

// A field-backed button pressed: the field event, when the field asks.
void wuwxfwc(Widget w, XtPointer client, XtPointer) {
  wu_old_button *b = live_button(client);
  if (b == nullptr || b->field == nullptr) return;
  wu_field *f = b->field;
  if (b->c.kind == WU_MT_FIELD_TOGGLE) {
    if (XmToggleButtonGetState(w)) f->flags2 |= WU_FLD2_SET;
    else f->flags2 &= ~WU_FLD2_SET;
  }
  if (!(f->flags & WU_FLD_BUTTON_EVENTS) || !(f->flags2 & WU_FLD2_PRESS_EVENT)) return;
  wu_field_press p = {b->c.pane, f, WU_FIELD_PRESS_CODE, f->row, f->column, WU_FIELD_PRESS_KIND};
  wu_window *win = wu_ctl_window(&b->c);
  if (win != nullptr) wuxqwev(win, WU_EV_FIELD_BUTTON, &p, int32_t(sizeof p));
  focus_back(win);
}

// Button 3 on an older control: 1017 for one placed by pixels, 1022 for one
// placed by cells, with the pointer position and the button.
void wuwpopc(Widget w, XEvent *event, String *, Cardinal *) {
  if (event == nullptr || event->type != ButtonPress) return;
  const unsigned held = event->xbutton.state &
                        (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask);
  if (held != 0) return;
  XtPointer data = nullptr;
  XtVaGetValues(w, XmNuserData, &data, nullptr);
  auto *c = static_cast<wu_control *>(data);
  if (!wu_ctl_live(c) || c->pane == nullptr) return;
  wu_window *win = wu_ctl_window(c);
  if (win == nullptr) return;
  // The control's position in the pane (a radio button's box adds its own).
  int32_t x = w->core.x, y = w->core.y;
  int32_t row = c->y, column = c->x;
  if (c->kind == WU_MT_RADIOBUTTON && old(c)->box != nullptr && old(c)->box->widget != nullptr) {
    wu_old_button *box = old(c)->box;
    x += box->widget->core.x;
    y += box->widget->core.y;
    row += box->c.y - 1;
    column += box->c.x - 1;
  }
  const bool pixel = (c->flags & WU_CTL_TAKES_FOCUS) != 0;
  if (pixel) {
    row = (y + (std::max(c->pane->top_row, 1) - 1) * ch()) / ch() + 1;
    column = (x + (std::max(c->pane->left_column, 1) - 1) * cw()) / cw() + 1;
  }
  wu_old_press p = {c, row, column, x, y, x + event->xbutton.x, y + event->xbutton.y,
                    int32_t(event->xbutton.button), event->xbutton.state};
  win->popup_button = p.button;
  win->popup_x = p.pointer_x;
  win->popup_y = p.pointer_y;
  wuxqwev(win, pixel ? WU_EV_OLD_PIXEL_PRESS : WU_EV_OLD_CELL_PRESS, &p, int32_t(sizeof p));
}

// ---- widgets ----------------------------------------------------------------

// Puts a button's place and label first in its argument list; the count.
Cardinal place_args(Arg *args, const Rect &r, XmString s) {
  Cardinal n = 0;
  XtSetArg(args[n], XmNx, Position(r.x)); ++n;
  XtSetArg(args[n], XmNy, Position(r.y)); ++n;
  if (r.width > 0) { XtSetArg(args[n], XmNwidth, Dimension(r.width)); ++n; }
  if (r.height > 0) { XtSetArg(args[n], XmNheight, Dimension(r.height)); ++n; }
  XtSetArg(args[n], XmNlabelString, s); ++n;
  return n;
}

Widget MakePush(Widget parent, wu_old_button *b) {
  wu_control *c = &b->c;
  const Rect r = place(b);
  XmString s = label_string(b->label);
  Arg args[24];
  Cardinal n = place_args(args, r, s);
  if (devb->font_list != nullptr) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
  XtSetArg(args[n], XmNmarginHeight, Dimension(0)); ++n;
  XtSetArg(args[n], XmNrecomputeSize, False); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNborderWidth, Dimension(0)); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNmappedWhenManaged, False); ++n;
  XtSetArg(args[n], XmNtraversalOn, False); ++n;
  n = Cardinal(wuwswvs(c, nullptr, args, int32_t(n)));
  Widget w = XtCreateWidget("qevPushButton", xmPushButtonWidgetClass, parent, args, n);
  XmStringFree(s);
  if (w != nullptr && wuwidrg != nullptr) wuwidrg(w, nullptr);
  return w;
}

Widget MakeToggle(Widget parent, wu_old_button *b, unsigned char indicator, bool set) {
  wu_control *c = &b->c;
  const Rect r = place(b);
  XmString s = label_string(b->label);
  Arg args[32];
  Cardinal n = place_args(args, r, s);
  XtSetArg(args[n], XmNset, set ? True : False); ++n;
  if (devb->font_list != nullptr) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
  XtSetArg(args[n], XmNindicatorType, indicator); ++n;
  XtSetArg(args[n], XmNrecomputeSize, False); ++n;
  XtSetArg(args[n], XmNmarginHeight, Dimension(0)); ++n;
  XtSetArg(args[n], XmNmarginWidth, Dimension(0)); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNborderWidth, Dimension(0)); ++n;
  XtSetArg(args[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
  XtSetArg(args[n], XmNtraversalOn, False); ++n;
  XtSetArg(args[n], XmNhighlightThickness, Dimension(0)); ++n;
  XtSetArg(args[n], XmNshadowThickness, Dimension(0)); ++n;
  if (c->kind == WU_MT_FIELD_TOGGLE && r.width > 0 && r.height > 0) {
    XtSetArg(args[n], XmNindicatorSize, Dimension(std::max(std::min(r.width, r.height) - 1, 1))); ++n;
  }
  if (c->kind != WU_MT_RADIOBUTTON) { XtSetArg(args[n], XmNmappedWhenManaged, False); ++n; }
  n = Cardinal(wuwswvs(c, nullptr, args, int32_t(n)));
  Widget w = XtCreateWidget("qevToggleButton", xmToggleButtonWidgetClass, parent, args, n);
  XmStringFree(s);
  if (w == nullptr) return nullptr;
  XtVaSetValues(w, XmNmarginTop, Dimension(0), XmNmarginBottom, Dimension(0), nullptr);
  if (wuwidrg != nullptr) wuwidrg(w, nullptr);
  XtManageChild(w);
  wu_old_translations(w);
  return w;
}

Widget pane_widget(wu_control *c) {
  if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr) return nullptr;
  return static_cast<Widget>(c->pane->ext->widget);
}

// Every builder ends by showing or hiding the control by its hidden flag.
wu_status shown_by_flag(wu_control *c) {
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  return WU_OK;
}

// A radio box made without buttons goes on the screen once the host has
// added them, when the toolkit next turns: its buttons are made inside it
// while it has no window and are realised with it, rather than each one
// managed into a box already shown (each such change has the toolkit ask
// the server whether the keyboard's widget is still in view).  The showings
// pending, by the box's widget; each goes with its widget.
std::map<Widget, XtIntervalId> &pending_shows() {
  static std::map<Widget, XtIntervalId> shows;
  return shows;
}

void forget_show(Widget w, XtPointer, XtPointer) {
  auto it = pending_shows().find(w);
  if (it == pending_shows().end()) return;
  XtRemoveTimeOut(it->second);
  pending_shows().erase(it);
}

void show_box(XtPointer client, XtIntervalId *) {
  Widget w = static_cast<Widget>(client);
  pending_shows().erase(w);
  XtRemoveCallback(w, XmNdestroyCallback, forget_show, nullptr);
  if (w->core.being_destroyed || !wu_x_ok()) return;
  XtPointer data = nullptr;
  XtVaGetValues(w, XmNuserData, &data, nullptr);
  auto *c = static_cast<wu_control *>(data);
  // A box the host hid meanwhile stays hidden; one it showed is shown.
  if (!wu_ctl_live(c) || c->kind != WU_MT_OLD_RADIOBOX || old(c)->widget != w ||
      (c->flags & WU_CTL_HIDDEN))
    return;
  shown_by_flag(c);
}

void show_with_buttons(Widget w) {
  if (pending_shows().count(w) != 0) return;
  pending_shows()[w] = XtAppAddTimeOut(XtWidgetToApplicationContext(w), 0, show_box, w);
  XtAddCallback(w, XmNdestroyCallback, forget_show, nullptr);
}

// ---- the field-backed buttons --------------------------------------------------

// The field's text without its trailing blanks.
std::string field_text(const wu_field *f) {
  if (f->text == nullptr || f->length <= 0) return std::string();
  int32_t n = f->length;
  while (n > 0 && f->text[n - 1] == ' ') --n;
  return std::string(f->text, size_t(n));
}

// Geometry, sensitivity and label of a field-backed button from its field.
bool from_field(wu_old_button *b) {
  wu_field *f = b->field;
  if (f == nullptr) return false;
  wu_control *c = &b->c;
  c->y = f->row;
  c->x = f->column;
  if (c->kind == WU_MT_FIELD_BUTTON) {
    c->height = kPushRows;
    c->width = f->length + kFieldButtonMargin;
  } else {
    c->height = 1;
    c->width = std::max(f->length, 2);
  }
  c->colour_index = f->colour;
  if (f->flags2 & WU_FLD2_GRAYED) c->flags |= WU_CTL_GRAYED;
  else c->flags &= ~WU_CTL_GRAYED;
  const std::string text = field_text(f);
  if (b->label == nullptr || text.size() + 1 > size_t(b->label_size) || text != b->label)
    return new_label(b, text.data(), int32_t(text.size()), kFieldLabelMin);
  return true;
}

// ---- the older setters ------------------------------------------------------

// Codes 33-36, 41 and 43 of the older push buttons, check boxes, radio
// boxes and radio buttons.  Entries with a status are left alone; codes
// outside the kind's set get 0x8000481a (the common codes among them are
// the attribute service's to settle).
wu_status older_set(wu_control *c, wu_value *entries, int32_t count) {
  if (c == nullptr || !wu_ctl_live(c) || !button_kind(c->kind)) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  const bool box = c->kind == WU_MT_OLD_RADIOBOX;
  bool moved = false, relabel = false;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_OK) continue;
    switch (v->code) {
      case kRow: case kColumn: case kColumns:
        if (!cells_ok(v->value)) { v->status = WU_E_RANGE; break; }
        (v->code == kRow ? c->y : v->code == kColumn ? c->x : c->width) = v->value;
        moved = true;
        break;
      case kRows:
        if (!box) { v->status = WU_E_NOT_HANDLED; break; }
        if (!cells_ok(v->value)) { v->status = WU_E_RANGE; break; }
        c->height = v->value;
        moved = true;
        break;
      case kColourIndex:
        if (box) { v->status = WU_E_NOT_HANDLED; break; }
        c->colour_index = v->value;
        if (b->widget != nullptr) {
          Arg args[12];
          const int32_t n = wuwswvs(c, nullptr, args, 0);
          XtSetValues(b->widget, args, Cardinal(n));
        }
        break;
      case kLabel: {
        int32_t n = 0;
        if (box) { v->status = WU_E_NOT_HANDLED; break; }
        if (!label_length(static_cast<const char *>(v->pointer), v->value, &n)) {
          v->status = WU_E_RANGE;
          break;
        }
        if (!new_label(b, static_cast<const char *>(v->pointer), n, n + 1)) {
          v->status = WU_E_SIZE_FIXED;
          break;
        }
        relabel = true;
        break;
      }
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (moved) apply_geometry(b);
  if (relabel) set_label_string(b);
  for (int32_t i = 0; i < count; ++i)
    if (entries[i].status != WU_OK) return WU_ENTRY_STATUS;
  return WU_OK;
}

// Gives back what an older button holds.  A box's buttons are released with
// it (their toggles go with the box's widget); a button leaves its box.
wu_status OldClean(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || (entries != nullptr && count > 0) || wu_ctl_live(c)) return WU_OK;
  wu_old_button *b = old(c);
  if (c->kind == WU_MT_OLD_RADIOBOX) {
    for (wu_old_button *k = b->first; k != nullptr;) {
      wu_old_button *next = k->next_button;
      k->box = nullptr;
      k->next_button = nullptr;
      k->widget = nullptr;
      if (wu_ctl_live(&k->c)) wuxfwid(&k->c);
      k = next;
    }
    b->first = b->last = b->selected = nullptr;
  } else if (c->kind == WU_MT_RADIOBUTTON && b->box != nullptr) {
    wu_old_button *box = b->box;
    wu_old_button **link = &box->first;
    wu_old_button *prev = nullptr;
    while (*link != nullptr && *link != b) {
      prev = *link;
      link = &(*link)->next_button;
    }
    if (*link == b) *link = b->next_button;
    if (box->last == b) box->last = prev;
    if (box->selected == b) box->selected = nullptr;
    b->box = nullptr;
  }
  if (c->kind == WU_MT_FIELD_BUTTON || c->kind == WU_MT_FIELD_TOGGLE) {
    if (b->field != nullptr && b->field->control == c) b->field->control = nullptr;
    b->field = nullptr;
  }
  free_label(b);
  return WU_OK;
}

// The common start of the older creators: a record of the kind in the
// window's pool at the pane's cells, linked into the pane's control list.
wu_old_button *new_button(wu_pane *pane, int32_t kind, int32_t id, int32_t row, int32_t column) {
  auto *b = static_cast<wu_old_button *>(wutgmem(pane->window->pool, kind));
  if (b == nullptr) return nullptr;
  wu_control *c = &b->c;
  c->kind = kind;
  c->pane = pane;
  c->host_id.value = id;
  c->y = row;
  c->x = column;
  c->Cleanup = OldClean;
  wu_ctl_link(c);
  return b;
}

bool pane_ok(const wu_pane *pane) { return wu_pane_live(pane); }

bool realised(const wu_pane *pane) {
  return (pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr && wu_x_ok();
}

// Builds at once on a realised pane; a record that cannot be built goes.
wu_status finish(wu_old_button *b, wu_control **out) {
  wu_control *c = &b->c;
  if (realised(c->pane) && wutiwid(c) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  c->pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

// Push button or check box: `rows` high, the label's length + 4 wide.
wu_status make_labelled(wu_pane *pane, wu_control **out, int32_t kind, int32_t rows, int32_t id,
                        int32_t row, int32_t column, int32_t colour, const char *label,
                        int32_t length) {
  if (out == nullptr || !pane_ok(pane)) return WU_NOTAVAIL;
  int32_t n = 0;
  if (!label_length(label, length, &n) || !cells_ok(row) || !cells_ok(column)) return WU_NOTAVAIL;
  wu_old_button *b = new_button(pane, kind, id, row, column);
  if (b == nullptr) return WU_NOMEM;
  b->c.height = rows;
  b->c.width = n + kLabelMargin;
  b->c.colour_index = colour;
  if (!new_label(b, label, n, n + 1)) {
    wuxfwid(&b->c);
    return WU_NOMEM;
  }
  return finish(b, out);
}

}  // namespace

extern "C" {

void wu_old_pressed_event(wu_control *c, int32_t code, bool give_focus) {
  wu_window *w = wu_ctl_window(c);
  if (w == nullptr) return;
  wu_old_pressed p = {c, code, 0};
  w->flags |= WU_WIN_CONTROL_PRESSED;
  wuxqwev(w, WU_EV_OLD_PRESSED, &p, int32_t(sizeof p));
  if (give_focus) focus_back(w);
}

}  // extern "C"

namespace {

// Registers the popup action of the older controls, once per start of the
// window system: a restart brings a new context.
void widget_popup_action(Widget w) {
  static XtActionsRec actions[] = {{const_cast<String>(kPopupAction), wuwpopc}};
  if (_XdFirstOnDisplay(XtDisplay(w), actions)) XtAppAddActions(devb->app, actions, XtNumber(actions));
}

// The text of a table, without a leading directive line ("#override" and
// the like mean nothing inside a joined table).
const char *table_text(wu_ctl_table t) {
  const char *text = nullptr;
  switch (t) {
    case WU_KEYS_BUTTON: text = devb->appres.control_translation; break;
    case WU_KEYS_WIDGET_POPUP: text = kPopupBinding; break;
    case WU_KEYS_POPUP: text = devb->motifres.popup_translation; break;
    case WU_KEYS_TEXT: text = devb->appres.text_keys; break;
    case WU_KEYS_TEXT2: text = devb->appres.text_keys2; break;
  }
  if (text == nullptr) return nullptr;
  while (*text == ' ' || *text == '\t' || *text == '\n') ++text;
  if (*text == '#') {
    const char *end = std::strchr(text, '\n');
    text = end != nullptr ? end + 1 : "";
  }
  return text;
}

// A table parsed on its own, for when the joined text cannot be parsed.
XtTranslations table_alone(wu_ctl_table t) {
  static XtTranslations popup = nullptr;
  switch (t) {
    case WU_KEYS_BUTTON: return devb->control_translation;
    case WU_KEYS_WIDGET_POPUP:
      if (popup == nullptr) popup = XtParseTranslationTable(kPopupBinding);
      return popup;
    case WU_KEYS_POPUP: return devb->popup_translation;
    case WU_KEYS_TEXT: return devb->text_keys;
    case WU_KEYS_TEXT2: return devb->text_keys2;
  }
  return nullptr;
}

// Tables joined in an order and parsed, for the display of this start.
struct Joined {
  std::vector<wu_ctl_table> order;
  XtTranslations table;
};

XtTranslations joined_table(Display *dpy, const wu_ctl_table *tables, int32_t count) {
  static std::vector<Joined> made;
  // The texts are the resources of one start; a new start may have others.
  if (_XdFirstOnDisplay(dpy, &made)) made.clear();
  for (const Joined &j : made)
    if (j.order.size() == size_t(count) && std::equal(j.order.begin(), j.order.end(), tables))
      return j.table;
  // Within one table the first binding of an event wins: the table that is
  // to win comes first.
  std::string text;
  for (int32_t i = count - 1; i >= 0; --i) {
    const char *t = table_text(tables[i]);
    if (t == nullptr || *t == '\0') continue;
    if (!text.empty()) text += '\n';
    text += t;
  }
  // A parsed table cannot be given back to Xt and does not depend on the
  // display: each distinct text is parsed once in the life of the process.
  static auto *parsed = new std::map<std::string, XtTranslations>;
  XtTranslations table = nullptr;
  if (!text.empty()) {
    auto found = parsed->find(text);
    if (found != parsed->end()) {
      table = found->second;
    } else {
      table = XtParseTranslationTable(text.c_str());
      if (table != nullptr) parsed->emplace(text, table);
    }
  }
  made.push_back(Joined{std::vector<wu_ctl_table>(tables, tables + count), table});
  return table;
}

}  // namespace

extern "C" {

void wu_ctl_keys(Widget w, const wu_ctl_table *tables, int32_t count) {
  if (w == nullptr || tables == nullptr || count <= 0 || !wu_x_ok()) return;
  for (int32_t i = 0; i < count; ++i) {
    if (tables[i] == WU_KEYS_WIDGET_POPUP) widget_popup_action(w);
    if ((tables[i] == WU_KEYS_TEXT || tables[i] == WU_KEYS_TEXT2) && wutiact != nullptr) wutiact();
  }
  if (XtTranslations table = joined_table(XtDisplay(w), tables, count)) {
    XtOverrideTranslations(w, table);
    return;
  }
  for (int32_t i = 0; i < count; ++i)
    if (XtTranslations t = table_alone(tables[i])) XtOverrideTranslations(w, t);
}

void wu_old_translations(Widget w) {
  static const wu_ctl_table kOld[] = {WU_KEYS_BUTTON, WU_KEYS_WIDGET_POPUP};
  wu_ctl_keys(w, kOld, 2);
}

// ---- creators -------------------------------------------------------------

wu_status wuxgpsh(wu_pane *pane, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t colour, const char *label, int32_t length) {
  return make_labelled(pane, out, WU_MT_OLD_PUSHBUTTON, kPushRows, id, row, column, colour, label,
                       length);
}

wu_status wuxgchk(wu_pane *pane, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t colour, const char *label, int32_t length) {
  return make_labelled(pane, out, WU_MT_OLD_CHECKBOX, 1, id, row, column, colour, label, length);
}

wu_status wuxgrbx(wu_pane *pane, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t rows, int32_t columns) {
  if (out == nullptr || !pane_ok(pane)) return WU_NOTAVAIL;
  if (!cells_ok(row) || !cells_ok(column) || !cells_ok(rows) || !cells_ok(columns))
    return WU_NOTAVAIL;
  wu_old_button *b = new_button(pane, WU_MT_OLD_RADIOBOX, id, row, column);
  if (b == nullptr) return WU_NOMEM;
  b->c.height = rows;
  b->c.width = columns;
  return finish(b, out);
}

wu_status wuxgrbt(wu_control *box, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t colour, const char *label, int32_t length) {
  if (out == nullptr || !wu_ctl_live(box) || box->kind != WU_MT_OLD_RADIOBOX) return WU_NOTAVAIL;
  int32_t n = 0;
  if (!label_length(label, length, &n) || !cells_ok(row) || !cells_ok(column)) return WU_NOTAVAIL;
  wu_old_button *bx = old(box);
  wu_old_button *b = new_button(box->pane, WU_MT_RADIOBUTTON, id, row, column);
  if (b == nullptr) return WU_NOMEM;
  b->c.height = 1;
  b->c.width = n + kLabelMargin;
  b->c.colour_index = colour;
  if (!new_label(b, label, n, n + 1)) {
    wuxfwid(&b->c);
    return WU_NOMEM;
  }
  b->box = bx;
  if (bx->last != nullptr) bx->last->next_button = b;
  else bx->first = b;
  bx->last = b;
  if (bx->selected == nullptr) {
    bx->selected = b;
    b->state = 1;
  }
  // A box already built takes the new button at once.
  if (bx->widget != nullptr && wutirbn(&b->c) != WU_OK) {
    wuxfwid(&b->c);
    return WU_NOMEM;
  }
  *out = &b->c;
  return WU_OK;
}

// ---- builders ---------------------------------------------------------------

// Keeps a built button widget, hooks its callback (and the shared
// translations where asked) and shows it as its flags say.
static wu_status keep_widget(wu_control *c, wu_old_button *b, Widget w, const char *reason,
                             XtCallbackProc proc, bool translations) {
  if (w == nullptr) return WU_NOTAVAIL;
  b->widget = w;
  XtAddCallback(w, reason, proc, c);
  if (translations) wu_old_translations(w);
  return shown_by_flag(c);
}

wu_status wutipbn(wu_control *c) {
  Widget parent = c ? pane_widget(c) : nullptr;
  if (parent == nullptr || c->kind != WU_MT_OLD_PUSHBUTTON) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  Widget w = MakePush(parent, b);
  return keep_widget(c, b, w, XmNactivateCallback, wuwswgc, true);
}

wu_status wuticbx(wu_control *c) {
  Widget parent = c ? pane_widget(c) : nullptr;
  if (parent == nullptr || c->kind != WU_MT_OLD_CHECKBOX) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  Widget w = MakeToggle(parent, b, XmN_OF_MANY, b->state != 0);
  return keep_widget(c, b, w, XmNvalueChangedCallback, wuwswgc, false);
}

wu_status wutirbn(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_RADIOBUTTON) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  if (b->box == nullptr || b->box->widget == nullptr) return WU_NOTAVAIL;
  Widget w = MakeToggle(b->box->widget, b, XmONE_OF_MANY, b->state != 0);
  if (w == nullptr) return WU_NOTAVAIL;
  b->widget = w;
  XtAddCallback(w, XmNvalueChangedCallback, wuwrbsc, c);
  XtAddCallback(w, XmNvalueChangedCallback, wuwrbuc, c);
  if (!(c->flags & WU_CTL_HIDDEN)) c->flags |= WU_CTL_SHOWN;
  return WU_OK;
}

wu_status wutirbx(wu_control *c) {
  Widget parent = c ? pane_widget(c) : nullptr;
  if (parent == nullptr || c->kind != WU_MT_OLD_RADIOBOX) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  const Rect r = place(b);
  Arg args[24];
  Cardinal n = 0;
  XtSetArg(args[n], XmNx, Position(r.x)); ++n;
  XtSetArg(args[n], XmNy, Position(r.y)); ++n;
  if (r.width > 0) { XtSetArg(args[n], XmNwidth, Dimension(r.width)); ++n; }
  if (r.height > 0) { XtSetArg(args[n], XmNheight, Dimension(r.height)); ++n; }
  XtSetArg(args[n], XmNresizePolicy, XmRESIZE_GROW); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNmarginHeight, Dimension(0)); ++n;
  XtSetArg(args[n], XmNmarginWidth, Dimension(0)); ++n;
  XtSetArg(args[n], XmNhighlightThickness, Dimension(0)); ++n;
  XtSetArg(args[n], XmNshadowThickness, Dimension(0)); ++n;
  XtSetArg(args[n], XmNborderWidth, Dimension(0)); ++n;
  XtSetArg(args[n], XmNtraversalOn, False); ++n;
  XtSetArg(args[n], XmNmappedWhenManaged, False); ++n;
  n = Cardinal(wuwswvs(c, nullptr, args, int32_t(n)));
  Widget w = XtCreateWidget("qevRadioBox", xmDrawingAreaWidgetClass, parent, args, n);
  if (w == nullptr) return WU_NOTAVAIL;
  b->widget = w;
  if (wuwidrg != nullptr) wuwidrg(w, nullptr);
  wu_old_translations(w);
  // The buttons go on the screen with their box.
  for (wu_old_button *k = b->first; k != nullptr; k = k->next_button)
    if (wutirbn(&k->c) != WU_OK) return WU_NOTAVAIL;
  if (b->first == nullptr && !(c->flags & WU_CTL_HIDDEN)) {
    show_with_buttons(w);
    return WU_OK;
  }
  return shown_by_flag(c);
}

wu_status wutipbf(wu_control *c) {
  Widget parent = c ? pane_widget(c) : nullptr;
  if (parent == nullptr || c->kind != WU_MT_FIELD_BUTTON) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  if (!from_field(b)) return WU_NOTAVAIL;
  Widget w = MakePush(parent, b);
  return keep_widget(c, b, w, XmNactivateCallback, wuwxfwc, true);
}

wu_status wutitog(wu_control *c) {
  Widget parent = c ? pane_widget(c) : nullptr;
  if (parent == nullptr || c->kind != WU_MT_FIELD_TOGGLE) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  wu_field *f = b->field;
  if (f == nullptr || !(f->flags2 & (WU_FLD2_RADIO | WU_FLD2_CHECK))) return WU_NOTAVAIL;
  if (!from_field(b)) return WU_NOTAVAIL;
  const unsigned char indicator = (f->flags2 & WU_FLD2_RADIO) ? XmONE_OF_MANY : XmN_OF_MANY;
  Widget w = MakeToggle(parent, b, indicator, (f->flags2 & WU_FLD2_SET) != 0);
  return keep_widget(c, b, w, XmNvalueChangedCallback, wuwxfwc, false);
}

wu_status wutwpbf(wu_control *c) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_FIELD_BUTTON) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  if (!from_field(b)) return WU_NOTAVAIL;
  if (b->widget == nullptr) return WU_OK;
  apply_geometry(b);
  XtSetSensitive(b->widget, (c->flags & WU_CTL_GRAYED) ? False : True);
  set_label_string(b);
  return WU_OK;
}

wu_status wutwtog(wu_control *c) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_FIELD_TOGGLE) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  if (!from_field(b)) return WU_NOTAVAIL;
  if (b->widget == nullptr) return WU_OK;
  apply_geometry(b);
  XtSetSensitive(b->widget, (c->flags & WU_CTL_GRAYED) ? False : True);
  Arg args[12];
  const int32_t n = wuwswvs(c, nullptr, args, 0);
  XtSetValues(b->widget, args, Cardinal(n));
  set_label_string(b);
  XmToggleButtonSetState(b->widget, (b->field->flags2 & WU_FLD2_SET) ? True : False, False);
  return WU_OK;
}

// ---- setters ---------------------------------------------------------------

wu_status wumswpb(wu_control *c, wu_value *entries, int32_t count) {
  return older_set(c, entries, count);
}

wu_status wumswrb(wu_control *c, wu_value *entries, int32_t count) {
  return older_set(c, entries, count);
}

// Older bars and scales: codes 33-36 (cells: row, column, and the length
// along the bar from rows or columns by its orientation) and 41.
wu_status wumswsb(wu_control *c, wu_value *entries, int32_t count) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  switch (c->kind) {
    case WU_MT_BAR: case WU_MT_BAR2: case WU_MT_SCALE: case WU_MT_SCALE2:
      break;
    default:
      return WU_NOTAVAIL;
  }
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  auto *bar = reinterpret_cast<wu_bar *>(c);
  const bool vertical = bar->orientation != 0;
  bool moved = false;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_OK) continue;
    switch (v->code) {
      case kRow: case kColumn: case kRows: case kColumns:
        if (!cells_ok(v->value)) { v->status = WU_E_RANGE; break; }
        if (v->code == kRow) bar->row = v->value;
        else if (v->code == kColumn) bar->column = v->value;
        else if ((v->code == kRows) == vertical) bar->length = v->value;
        moved = true;
        break;
      case kColourIndex:
        c->colour_index = v->value;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (moved && bar->widget != nullptr && c->pane != nullptr) {
    const wu_pane *p = c->pane;
    XtVaSetValues(bar->widget, XmNx, Position((bar->column - p->left_column) * cw()), XmNy,
                  Position((bar->row - p->top_row) * ch()), XmNwidth,
                  Dimension(vertical ? cw() : bar->length * cw()), XmNheight,
                  Dimension(vertical ? bar->length * ch() : ch()), nullptr);
  }
  for (int32_t i = 0; i < count; ++i)
    if (entries[i].status != WU_OK) return WU_ENTRY_STATUS;
  return WU_OK;
}

// ---- state services -----------------------------------------------------------

wu_status wuxssta(wu_control *c, int32_t state) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  switch (c->kind) {
    case WU_MT_OLD_CHECKBOX: case WU_MT_FIELD_TOGGLE:
      b->state = state ? 1 : 0;
      if (c->kind == WU_MT_FIELD_TOGGLE && b->field != nullptr) {
        if (state) b->field->flags2 |= WU_FLD2_SET;
        else b->field->flags2 &= ~WU_FLD2_SET;
      }
      if (b->widget != nullptr) XmToggleButtonSetState(b->widget, state ? True : False, False);
      return WU_OK;
    case WU_MT_OLD_RADIOBOX: {
      // Only an id one of the buttons has changes the selection: exactly
      // one button stays set.
      wu_old_button *k = b->first;
      while (k != nullptr && k->c.host_id.value != state) k = k->next_button;
      if (k == nullptr) return WU_NOTAVAIL;
      if (k == b->selected) return WU_OK;
      if (b->selected != nullptr) {
        b->selected->state = 0;
        if (b->selected->widget != nullptr)
          XmToggleButtonSetState(b->selected->widget, False, False);
      }
      b->selected = k;
      k->state = 1;
      if (k->widget != nullptr) XmToggleButtonSetState(k->widget, True, False);
      return WU_OK;
    }
    case WU_MT_GRAPHBUTTON:
      return wu_gpb_set_state != nullptr ? wu_gpb_set_state(c, state) : WU_NOTAVAIL;
    default:
      return WU_NOTAVAIL;
  }
}

wu_status wuxcsta(wu_control *c) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  wu_old_button *b = old(c);
  switch (c->kind) {
    case WU_MT_OLD_RADIOBOX:
      return b->selected != nullptr ? b->selected->c.host_id.value : 0;
    case WU_MT_RADIOBUTTON:
      return (b->box != nullptr && b->box->selected == b) ? 1 : 0;
    case WU_MT_OLD_CHECKBOX:
      return b->state;
    case WU_MT_FIELD_TOGGLE:
      return b->widget != nullptr ? (XmToggleButtonGetState(b->widget) ? 1 : 0) : b->state;
    case WU_MT_OLD_LISTBOX:
      return wu_lbx_selected(c);
    case WU_MT_BAR: case WU_MT_BAR2: case WU_MT_SCALE: case WU_MT_SCALE2:
    case WU_MT_SCROLLBAR: case WU_MT_SCROLLBAR2: {
      const wu_bar *bar = reinterpret_cast<const wu_bar *>(c);
      return bar->value_ref != nullptr ? *bar->value_ref : bar->value;
    }
    case WU_MT_GRAPHBUTTON:
      return wu_gpb_state != nullptr ? wu_gpb_state(c) : 0;
    default:
      return 0;
  }
}

wu_control *wuxrrbt(wu_control *box) {
  if (!wu_ctl_live(box) || box->kind != WU_MT_OLD_RADIOBOX) return nullptr;
  wu_old_button *s = old(box)->selected;
  return s != nullptr ? &s->c : nullptr;
}

// A new label in the old one's width: read up to its NUL but never past the
// label's length, padded with blanks or cut to it.  An icon button takes the
// whole text; a combo box takes it into its text without a value-changed
// event.
wu_status wuxcwtx(wu_control *c, const char *text) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  switch (c->kind) {
    case WU_MT_OLD_PUSHBUTTON: case WU_MT_OLD_CHECKBOX: case WU_MT_RADIOBUTTON:
    case WU_MT_FIELD_BUTTON: case WU_MT_FIELD_TOGGLE:
      break;
    case WU_MT_ICONBUTTON:
      return wu_icf_put_text(c, text);
    case WU_MT_COMBOBOX:
      return wu_cbx_put_text(c, text);
    default:
      return WU_UNSUPPORTED;
  }
  wu_old_button *b = old(c);
  if (b->label == nullptr) return WU_OK;
  const size_t width = std::strlen(b->label);
  const size_t n = text != nullptr ? strnlen(text, width) : 0;
  if (n > 0) std::memcpy(b->label, text, n);
  std::memset(b->label + n, ' ', width - n);
  set_label_string(b);
  return WU_OK;
}

}  // extern "C"
