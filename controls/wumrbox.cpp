// The radio box of host-built dialogs: one-of-many toggles laid out in
// columns or rows inside an optional titled frame, the chosen index, its
// click event, recording, replay and the `_getText` method.
#include <X11/IntrinsicP.h>
#include <Xm/DrawingA.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/LabelP.h>
#include <Xm/ManagerP.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "controls/wubutton.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace wubtn {
namespace {

struct RadioBox {
  wu_control c;
  wu_ctl_widgets w;          // the drawing area of the toggles; the form, or the area
  int32_t orientation;       // non-zero vertical
  int32_t selected;          // 1-based, 0 none
  char **items;              // NUL-terminated texts (heap)
  int32_t count;
  wu_str_item *query;        // copy handed out by the last `items` query
  int32_t query_count;
  char *text;                // the last `_getText` answer
  int16_t titled;            // the box has a titled frame
  XmFontList own_font;       // made from the item font, or null
  Widget form;
  Widget label;              // the title, made once there is one to show
  Widget frame;
  char *title;               // heap, or null
};
static_assert(sizeof(RadioBox) <= WU_CTL_BOX_SIZE, "radio box fits its record kind");

constexpr int32_t kLastCode = WU_A_EVENTPROC;
constexpr int32_t kTop = 3;           // first toggle's y
constexpr int32_t kBottomRoom = 6;    // room kept below a toggle
constexpr int32_t kTitlePad = 5;      // title label height beyond its text
constexpr int32_t kGetTextOut = 1;    // the out parameter of `_getText`
constexpr int32_t kGetTextParams = 2;

RadioBox *rbx(wu_control *c) { return reinterpret_cast<RadioBox *>(c); }

RadioBox *live_rbx(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return (wu_ctl_live(c) && c->kind == WU_MT_RADIOBOX) ? rbx(c) : nullptr;
}

XmFontList fonts(RadioBox *r) {
  if (r->own_font != nullptr) return r->own_font;
  return devb ? devb->font_list : nullptr;
}

char *dup_text(const char *text, int32_t n) {
  n = std::min(std::max(n, 0), kMaxHostLabel);
  char *s = XtMalloc(Cardinal(n + 1));
  if (n > 0) std::memcpy(s, text, size_t(n));
  s[n] = '\0';
  return s;
}

XmString plain_string(const char *text) {
  char *plain = wuxstmn(text != nullptr ? text : "");
  XmString s = wumcstr(plain != nullptr ? plain : "");
  XtFree(plain);
  return s;
}

void free_query(RadioBox *r) {
  for (int32_t i = 0; r->query != nullptr && i < r->query_count; ++i)
    XtFree(const_cast<char *>(r->query[i].text));
  XtFree(reinterpret_cast<char *>(r->query));
  r->query = nullptr;
  r->query_count = 0;
}

void free_items(RadioBox *r) {
  for (int32_t i = 0; r->items != nullptr && i < r->count; ++i) XtFree(r->items[i]);
  XtFree(reinterpret_cast<char *>(r->items));
  r->items = nullptr;
  r->count = 0;
}

// The toggles, in their order in the drawing area.
std::vector<Widget> toggles(RadioBox *r) {
  std::vector<Widget> out;
  if (r->w.main == nullptr) return out;
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(r->w.main, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  for (Cardinal i = 0; i < n; ++i)
    if (!kids[i]->core.being_destroyed) out.push_back(kids[i]);
  return out;
}

void show_selection(RadioBox *r) {
  const std::vector<Widget> t = toggles(r);
  for (size_t i = 0; i < t.size(); ++i)
    XmToggleButtonSetState(t[i], int32_t(i) + 1 == r->selected ? True : False, False);
}

// Background and label colours: the record's own, else the pane widget's.
void colours(RadioBox *r, Pixel *bg, Pixel *fg) {
  *bg = devb->background;
  *fg = devb->foreground;
  Widget pw = r->c.pane && r->c.pane->ext ? r->c.pane->ext->widget : nullptr;
  // The pane widget is a manager: its colours are read from it directly.
  if (pw != nullptr && XmIsManager(pw)) {
    *bg = pw->core.background_pixel;
    *fg = reinterpret_cast<XmManagerWidget>(pw)->manager.foreground;
  } else if (pw != nullptr) {
    XtVaGetValues(pw, XmNbackground, bg, XmNforeground, fg, nullptr);
  }
  if (r->c.background != nullptr) *bg = r->c.background->pixel;
  if (r->c.foreground != nullptr) *fg = r->c.foreground->pixel;
}

// What every widget of the box is made with; a widget takes its parent's
// colour map and depth unless they are not the display's.
Cardinal common_args(RadioBox *r, Widget parent, Arg *args, Cardinal n) {
  Pixel bg = 0, fg = 0;
  colours(r, &bg, &fg);
  n = wu_ctl_parent_visual_args(parent, args, n);
  XtSetArg(args[n], XmNbackground, bg); ++n;
  XtSetArg(args[n], XmNforeground, fg); ++n;
  XtSetArg(args[n], XmNfontList, devb->font_list); ++n;
  XtSetArg(args[n], XmNuserData, &r->c); ++n;
  return n;
}

// The text keys, then the button table.
void box_keys(Widget w) {
  static const wu_ctl_table kKeys[] = {WU_KEYS_TEXT, WU_KEYS_TEXT2, WU_KEYS_BUTTON,
                                       WU_KEYS_WIDGET_POPUP};
  wu_ctl_keys(w, kKeys, 4);
}

void common_input(RadioBox *r, Widget w) {
  wutmnrq(w, &r->c);
  box_keys(w);
}

Dimension text_width(XmFontList fl, const char *text) {
  if (fl == nullptr) return 0;
  XmString s = plain_string(text);
  const Dimension w = XmStringWidth(fl, s);
  XmStringFree(s);
  return w;
}

// A press: button 2 drags from a box whose drop site has formats, as the
// list view does, and is swallowed otherwise; others take the focus.
void wuwradd(Widget w, XtPointer client, XEvent *event, Boolean *go_on) {
  RadioBox *r = live_rbx(client);
  if (r == nullptr || event == nullptr || event->type != ButtonPress) return;
  if (event->xbutton.button == Button2) {
    *go_on = False;
    auto *site = static_cast<wu_dnd_site *>(r->c.dnd);
    Widget from = site != nullptr ? site->widget : nullptr;
    if (from == nullptr || wumldnd == nullptr || wuwsdnd == nullptr || wumldnd(from, 1) == nullptr ||
        !XtIsRealized(from))
      return;
    Position fx = 0, fy = 0;
    XtTranslateCoords(from, 0, 0, &fx, &fy);
    const wu_drag_desc desc = {event->xbutton.x_root, event->xbutton.y_root,
                               event->xbutton.x_root - fx, event->xbutton.y_root - fy};
    int32_t started = 0;
    wuwsdnd(from, 0, &desc, &started);
    return;
  }
  XmProcessTraversal(w, XmTRAVERSE_CURRENT);
}

void wuwradi(Widget w, XtPointer client, XtPointer call) {
  RadioBox *r = live_rbx(client);
  auto *cbs = static_cast<XmToggleButtonCallbackStruct *>(call);
  if (r == nullptr || cbs == nullptr || cbs->reason != XmCR_VALUE_CHANGED) return;
  const std::vector<Widget> t = toggles(r);
  const auto at = std::find(t.begin(), t.end(), w);
  if (at == t.end()) return;
  const int32_t index = int32_t(at - t.begin()) + 1;
  r->selected = index;
  wu_control *c = &r->c;
  int32_t sent = 0;
  if (c->procedure != nullptr && (c->event_mask & WU_EVM_CLICK_NODE)) {
    wu_value *p = wu_ctl_int_params(c, WU_EV_SELECT, &index, 1);
    Widget box = wu_ctl_outer(c);
    const int32_t x = w->core.x + (box ? box->core.x : 0);
    const int32_t y = w->core.y + (box ? box->core.y : 0);
    const wu_reg_hold hold = wu_reg_take(c);
    sent = wu_ctl_send(c, WU_EV_SELECT, 0, x, y, p, 1, WU_EV_CTL_POSTED);
    if (!held_alive(hold, c)) return;
  }
  wu_ctl_record(c, WU_EV_SELECT, index, sent, 0.0, 0);
}

// A radio box widget's input ahead of the toolkit's: a toggle's button
// keys, the box's press rule, the common control input.
void ToggleInput(Widget w, XtPointer client, XEvent *event, Boolean *cont) {
  button_input(w, client, event, cont, ButtonWays{true, false, wuwradd});
}

void BoxInput(Widget w, XtPointer client, XEvent *event, Boolean *cont) {
  button_input(w, client, event, cont, ButtonWays{false, false, wuwradd});
}

// The input and tip handlers of a radio box widget with the box's press
// rule, and the toggles' keys with `keys`.
void radio_input(RadioBox *r, Widget w, bool keys) {
  XtInsertEventHandler(w, kButtonEvents, False, keys ? ToggleInput : BoxInput, &r->c, XtListHead);
}

// Exactly the last pressed toggle is set, also when it was set before.
void wuwradr(Widget w, XtPointer client, XtPointer) {
  Widget box = XtParent(w);
  RadioBox *r = nullptr;
  XtPointer data = nullptr;
  XtVaGetValues(w, XmNuserData, &data, nullptr);
  r = live_rbx(data);
  if (r == nullptr || box == nullptr || client != w) return;
  for (Widget t : toggles(r)) XmToggleButtonSetState(t, t == w ? True : False, False);
}

// Creates the toggles within the box's size.
wu_status wuxirbu(RadioBox *r) {
  wu_control *c = &r->c;
  Widget area = r->w.main;
  if (area == nullptr || r->count == 0 || r->items == nullptr) return WU_OK;
  XmFontList fl = fonts(r);
  const Dimension ind = text_width(fl, "M");
  int32_t h = 0;
  {
    XmString s = XmStringCreateLocalized(const_cast<char *>("qjgXMTQ"));
    h = XmStringHeight(fl, s);
    XmStringFree(s);
    XFontStruct *fs = nullptr;
    XmFontContext ctx = nullptr;
    if (XmFontListInitFontContext(&ctx, fl)) {
      XmStringCharSet cs = nullptr;
      if (XmFontListGetNextFont(ctx, &cs, &fs)) XtFree(cs);
      XmFontListFreeFontContext(ctx);
    }
    if (fs != nullptr && h < fs->max_bounds.ascent + fs->max_bounds.descent)
      h = fs->max_bounds.ascent + fs->max_bounds.descent + 1;
  }
  int32_t maxw = 0;
  for (int32_t i = 0; i < r->count; ++i) maxw = std::max<int32_t>(maxw, text_width(fl, r->items[i]));
  const int32_t th = (r->label != nullptr && XtIsManaged(r->label)) ? r->label->core.height : 0;
  const Pixel highlight = BlackPixelOfScreen(XtScreen(area));
  int32_t x = ind, y = kTop;
  for (int32_t i = 0; i < r->count; ++i) {
    if (r->orientation != 0) {
      if (i > 0) y += h;
      if (!c->conform_size && y + kBottomRoom > c->height - th) {
        y = kTop;
        if (i > 0) x += maxw + 2 * ind;
      }
    } else {
      if (i > 0) x += maxw + 2 * ind;
      if (!c->conform_size && x + maxw + 3 * ind > c->width) {
        if (i > 0) y += h;
        x = ind;
      }
    }
    XmString s = plain_string(r->items[i]);
    if (s == nullptr) return WU_OK;
    Arg args[36];
    Cardinal n = common_args(r, area, args, 0);
    XtSetArg(args[n], XmNlabelString, s); ++n;
    XtSetArg(args[n], XmNx, Position(x)); ++n;
    XtSetArg(args[n], XmNy, Position(y)); ++n;
    XtSetArg(args[n], XmNheight, Dimension(std::max(h, 1))); ++n;
    if (!c->conform_size) {
      const int32_t tw = std::min<int32_t>(c->width - ind - x, maxw + 2 * ind);
      XtSetArg(args[n], XmNwidth, Dimension(std::max(tw, 1))); ++n;
    }
    XtSetArg(args[n], XmNset, i + 1 == r->selected ? True : False); ++n;
    XtSetArg(args[n], XmNindicatorType, XmONE_OF_MANY); ++n;
    // A toggle has no border or shadow and is traversable unless told
    // otherwise: only what differs goes.
    XtSetArg(args[n], XmNrecomputeSize, False); ++n;
    XtSetArg(args[n], XmNmarginHeight, Dimension(0)); ++n;
    XtSetArg(args[n], XmNmarginWidth, Dimension(0)); ++n;
    XtSetArg(args[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
    XtSetArg(args[n], XmNhighlightThickness, Dimension(1)); ++n;
    XtSetArg(args[n], XmNhighlightColor, highlight); ++n;
    XtSetArg(args[n], XmNindicatorSize, ind); ++n;
    if (r->own_font != nullptr) { XtSetArg(args[n], XmNfontList, r->own_font); ++n; }
    Pixel bg = 0, fg = 0;
    colours(r, &bg, &fg);
    XtSetArg(args[n], XmNselectColor, fg); ++n;
    Widget t = XtCreateWidget("qevToggleButton", xmToggleButtonWidgetClass, area, args, n);
    XmStringFree(s);
    if (t == nullptr) return WU_NOTAVAIL;
    wumdxlt(t);
    XtAddCallback(t, XmNvalueChangedCallback, wuwradi, c);
    XtAddCallback(t, XmNvalueChangedCallback, wuwradr, t);
    box_keys(t);
    radio_input(r, t, true);
    // The toggle makes room above and below for an indicator taller than
    // the label: that room goes again.
    const XmLabelPart &lp = reinterpret_cast<XmLabelWidget>(t)->label;
    if (lp.margin_top != 0 || lp.margin_bottom != 0)
      XtVaSetValues(t, XmNmarginTop, Dimension(0), XmNmarginBottom, Dimension(0), nullptr);
    XtManageChild(t);
  }
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  if (r->frame != nullptr) {
    Dimension shadow = 0;
    XtVaGetValues(r->frame, XmNshadowThickness, &shadow, nullptr);
    int32_t fw = c->width, fh = c->height;
    if (c->conform_size) {
      fw = r->orientation ? maxw + 4 * ind : (maxw + 2 * ind) * r->count + 2 * ind;
      fh = (r->orientation ? h * r->count : h) + kBottomRoom + th + 2 * shadow;
    }
    XtVaSetValues(r->frame, XmNwidth, Dimension(std::max(fw, 1)), XmNheight,
                  Dimension(std::max(fh, 1)), nullptr);
  }
  return WU_OK;
}

// The form follows the title's width in conformSize.
void fit_title(RadioBox *r) {
  if (r->label == nullptr || r->form == nullptr || !r->c.conform_size || r->title == nullptr) return;
  const int32_t w = r->frame->core.width - r->label->core.width + text_width(fonts(r), r->title);
  XtVaSetValues(r->form, XmNwidth, Dimension(std::max(w, 1)), nullptr);
}

// The title label of a titled box, made when the box first has a title to
// show: a box without one holds no widget for it.
bool make_title(RadioBox *r) {
  if (r->label != nullptr) return true;
  if (r->frame == nullptr) return false;
  Arg args[16];
  Cardinal n = common_args(r, r->frame, args, 0);
  XtSetArg(args[n], XmNchildType, XmFRAME_TITLE_CHILD); ++n;
  if (r->own_font != nullptr) { XtSetArg(args[n], XmNfontList, r->own_font); ++n; }
  r->label = XtCreateWidget("rbox", xmLabelWidgetClass, r->frame, args, n);
  if (r->label == nullptr) return false;
  wumdxlt(r->label);
  box_keys(r->label);
  radio_input(r, r->label, false);
  return true;
}

void set_title(RadioBox *r) {
  if (r->title == nullptr || r->title[0] == '\0') {
    if (r->label != nullptr) XtUnmanageChild(r->label);
    return;
  }
  if (!make_title(r)) return;
  XmString s = plain_string(r->title);
  XmString probe = XmStringCreateLocalized(const_cast<char *>(r->title));
  const Dimension th = XmStringHeight(fonts(r), probe);
  XmStringFree(probe);
  XtVaSetValues(r->label, XmNlabelString, s, XmNheight, Dimension(th + kTitlePad), nullptr);
  XmStringFree(s);
  if (r->frame != nullptr) XtManageChild(r->frame);
  XtManageChild(r->label);
}

wu_status build_radio(RadioBox *r) {
  wu_control *c = &r->c;
  if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  Widget pw = c->pane->ext->widget;
  Arg args[30];
  Cardinal n = 0;
  Widget parent = pw;
  if (r->titled) {
    n = common_args(r, pw, args, 0);
    XtSetArg(args[n], XmNx, Position(c->x)); ++n;
    XtSetArg(args[n], XmNy, Position(c->y)); ++n;
    if (c->flags & WU_CTL_GRAYED) { XtSetArg(args[n], XmNsensitive, False); ++n; }
    XtSetArg(args[n], XmNmappedWhenManaged, False); ++n;
    if (!c->conform_size) {
      XtSetArg(args[n], XmNheight, Dimension(std::max(c->height, 1))); ++n;
      XtSetArg(args[n], XmNwidth, Dimension(std::max(c->width, 1))); ++n;
      XtSetArg(args[n], XmNresizePolicy, XmRESIZE_NONE); ++n;
    } else {
      XtSetArg(args[n], XmNresizable, True); ++n;
      XtSetArg(args[n], XmNresizePolicy, XmRESIZE_ANY); ++n;
    }
    r->form = XtCreateWidget("rbox", xmFormWidgetClass, pw, args, n);
    if (r->form == nullptr) return WU_NOTAVAIL;
    r->w.outer = r->form;
    // The form is managed last (wutmapw below), with its children in place:
    // a child managed in a realized form costs a round trip.
    common_input(r, r->form);
    n = common_args(r, r->form, args, 0);
    XtSetArg(args[n], XmNtopAttachment, XmATTACH_FORM); ++n;
    XtSetArg(args[n], XmNleftAttachment, XmATTACH_FORM); ++n;
    XtSetArg(args[n], XmNrightAttachment, XmATTACH_FORM); ++n;
    XtSetArg(args[n], XmNtopOffset, 0); ++n;
    XtSetArg(args[n], XmNleftOffset, 0); ++n;
    XtSetArg(args[n], XmNrightOffset, 0); ++n;
    r->frame = XtCreateManagedWidget("title_frame", xmFrameWidgetClass, r->form, args, n);
    box_keys(r->frame);
    radio_input(r, r->frame, false);
    set_title(r);
    parent = r->frame;
  }
  // The area is traversable (the toolkit gives no keyboard focus to the
  // children of a manager that is not), without highlight, shadow or
  // border, as a drawing area is unless told otherwise.
  n = common_args(r, parent, args, 0);
  XtSetArg(args[n], XmNmarginWidth, Dimension(0)); ++n;
  XtSetArg(args[n], XmNmarginHeight, Dimension(0)); ++n;
  XtSetArg(args[n], XmNmappedWhenManaged, r->titled ? True : False); ++n;
  if (r->titled) { XtSetArg(args[n], XmNchildType, XmFRAME_WORKAREA_CHILD); ++n; }
  if (!r->titled) {
    XtSetArg(args[n], XmNx, Position(c->x)); ++n;
    XtSetArg(args[n], XmNy, Position(c->y)); ++n;
    if (c->flags & WU_CTL_GRAYED) { XtSetArg(args[n], XmNsensitive, False); ++n; }
    if (!c->conform_size) {
      XtSetArg(args[n], XmNheight, Dimension(std::max(c->height, 1))); ++n;
      XtSetArg(args[n], XmNwidth, Dimension(std::max(c->width, 1))); ++n;
      XtSetArg(args[n], XmNresizePolicy, XmRESIZE_NONE); ++n;
    }
  }
  Widget area = XtCreateWidget("RadioBox", xmDrawingAreaWidgetClass, parent, args, n);
  if (area == nullptr) return WU_NOTAVAIL;
  r->w.main = area;
  if (!r->titled) r->w.outer = area;
  XtManageChild(area);
  box_keys(area);
  // The area is the box's drop site: button 2 between the toggles follows
  // the same rule as on them, ahead of the site's own drag handler, which
  // would start a drag with nothing to offer.
  radio_input(r, area, false);
  if (wuxirbu(r) != WU_OK) return WU_NOTAVAIL;
  fit_title(r);
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  return WU_OK;
}

// Applies a colour role to every widget of the box.
void apply_colour(RadioBox *r, int32_t code) {
  Pixel bg = 0, fg = 0;
  colours(r, &bg, &fg);
  std::vector<Widget> all = toggles(r);
  for (Widget w : {r->form, r->w.main, r->label, r->frame})
    if (w != nullptr) all.push_back(w);
  for (Widget w : all) {
    if (code == WU_A_FOREGROUND) {
      XtVaSetValues(w, XmNforeground, fg, nullptr);
    } else {
      XtVaSetValues(w, XmNbackground, bg, nullptr);
      if (XmIsToggleButton(w)) XtVaSetValues(w, XmNselectColor, bg, nullptr);
    }
  }
}

void destroy_toggles(RadioBox *r) {
  std::vector<Widget> t = toggles(r);
  for (auto it = t.rbegin(); it != t.rend(); ++it) {
    wumdxft(*it);
    XtDestroyWidget(*it);
  }
}

wu_status RadioSwat(wu_control *c, wu_value *entries, int32_t count) {
  RadioBox *r = rbx(c);
  bool relayout = false;
  Arg args[6];
  Cardinal n = 0;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY:
      case WU_A_EVENTPROC:
        break;
      case WU_A_ITEMS: {
        if (!entry_type(v, WU_VT_STRLIST)) break;
        const auto *list = static_cast<const wu_str_item *>(v->pointer);
        if (v->value < 0 || (v->value > 0 && list == nullptr)) { v->status = WU_E_RANGE; break; }
        bool ok = true;
        for (int32_t k = 0; k < v->value && ok; ++k)
          ok = list[k].length >= 0 && (list[k].length == 0 || list[k].text != nullptr);
        if (!ok) { v->status = WU_E_RANGE; break; }
        free_query(r);
        free_items(r);
        if (v->value > 0) {
          r->items = reinterpret_cast<char **>(XtCalloc(Cardinal(v->value), sizeof(char *)));
          for (int32_t k = 0; k < v->value; ++k) r->items[k] = dup_text(list[k].text, list[k].length);
          r->count = v->value;
        }
        if (r->selected > r->count) r->selected = 0;
        relayout = true;
        break;
      }
      case WU_A_HPOS: case WU_A_VPOS:
        if (!entry_type(v, WU_VT_INT)) break;
        if (v->code == WU_A_HPOS) c->x = v->value; else c->y = v->value;
        XtSetArg(args[n], v->code == WU_A_HPOS ? XmNx : XmNy, Position(v->value)); ++n;
        break;
      case WU_A_WIDTH: case WU_A_HEIGHT: {
        if (!entry_type(v, WU_VT_INT)) break;
        const bool horiz = v->code == WU_A_WIDTH;
        Widget o = r->w.outer;
        if (o != nullptr && v->value == (horiz ? o->core.width : o->core.height)) break;
        if (c->conform_size) { v->status = WU_E_SIZE_FIXED; break; }
        if (v->value < 1 || v->value > 0x7fff) { v->status = WU_E_RANGE; break; }
        if (horiz) c->width = v->value; else c->height = v->value;
        XtSetArg(args[n], horiz ? XmNwidth : XmNheight, Dimension(v->value)); ++n;
        relayout = true;
        break;
      }
      case WU_A_FOREGROUND: case WU_A_BACKGROUND: {
        if (!entry_type(v, WU_VT_WORD)) break;
        if (wu_ctl_set_colour(c, v) != WU_OK) { v->status = WU_E_RANGE; break; }
        if (r->w.main != nullptr) apply_colour(r, v->code);
        break;
      }
      case WU_A_TITLE: {
        if (!entry_type(v, WU_VT_STRING)) break;
        if (!r->titled) { v->status = WU_E_SIZE_FIXED; break; }
        if (!text_ok(v)) { v->status = WU_E_RANGE; break; }
        XtFree(r->title);
        r->title = v->value > 0 ? dup_text(static_cast<const char *>(v->pointer), v->value) : nullptr;
        set_title(r);
        relayout = true;
        break;
      }
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_SELECTEDINDEX:
        if (!entry_type(v, WU_VT_INT)) break;
        if (v->value < 0 || v->value > r->count) { v->status = WU_E_RANGE; break; }
        r->selected = v->value;
        show_selection(r);
        break;
      case WU_A_BORDERSTYLE:
        if (!entry_type(v, WU_VT_BOOL)) break;
        if (r->w.main != nullptr) { v->status = WU_E_CREATE_ONLY; break; }
        r->titled = int16_t((v->value & 0xffff) != 0);
        break;
      case WU_A_ORIENTATION:
        if (!entry_type(v, WU_VT_INT)) break;
        if (v->value == r->orientation) break;
        r->orientation = v->value;
        relayout = true;
        break;
      case WU_A_FONT: {
        if (!entry_type(v, WU_VT_FONT)) break;
        XmFontList old = r->own_font;
        r->own_font = host_font_list(c, v->pointer);
        c->font_list = r->own_font;
        if (r->label != nullptr) XtVaSetValues(r->label, XmNfontList, fonts(r), nullptr);
        if (old != nullptr) {
          // The toggles holding the old list go with the re-layout first.
          destroy_toggles(r);
          wutext::FreeFontList(old);
        }
        relayout = true;
        break;
      }
      case WU_A_CONFORMSIZE:
        if (!entry_type(v, WU_VT_BOOL)) break;
        c->conform_size = int16_t((v->value & 0xffff) != 0);
        relayout = true;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  Widget outer = r->w.outer;
  if (outer == nullptr) return wu_ctl_entries_result(entries, count);
  const Dimension old_w = outer->core.width, old_h = outer->core.height;
  if (relayout) {
    destroy_toggles(r);
    Arg la[10];
    Cardinal ln = 0;
    for (Cardinal k = 0; k < n; ++k)
      if (std::strcmp(args[k].name, XmNx) == 0 || std::strcmp(args[k].name, XmNy) == 0) la[ln++] = args[k];
    if (c->conform_size) {
      XtSetArg(la[ln], XmNresizable, True); ++ln;
      XtSetArg(la[ln], XmNresizePolicy, XmRESIZE_ANY); ++ln;
    } else {
      XtSetArg(la[ln], XmNheight, Dimension(std::max(c->height, 1))); ++ln;
      XtSetArg(la[ln], XmNwidth, Dimension(std::max(c->width, 1))); ++ln;
      XtSetArg(la[ln], XmNresizePolicy, XmRESIZE_NONE); ++ln;
    }
    XtSetValues(outer, la, ln);
    // Rebuilt whether shown or not: the toggles answer for the box.
    if (r->form != nullptr) XtUnmanageChild(r->form);
    const wu_status st = wuxirbu(r);
    if (r->form != nullptr) XtManageChild(r->form);
    if (st != WU_OK) return WU_NOTAVAIL;
    fit_title(r);
  } else if (n > 0) {
    XtSetValues(outer, args, n);
  }
  if (c->conform_size && (c->event_mask & kEvmConform) &&
      (outer->core.width != old_w || outer->core.height != old_h))
    wu_ctl_send(c, WU_EV_CONFORMSIZE, 0, c->x, c->y, nullptr, 0, WU_EV_CTL_POSTED);
  return wu_ctl_entries_result(entries, count);
}

wu_status RadioQwat(wu_control *c, wu_value *entries, int32_t count) {
  RadioBox *r = rbx(c);
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ITEMS:
        free_query(r);
        v->type = WU_VT_STRLIST;
        v->value = 0;
        v->pointer = nullptr;
        if (r->count > 0) {
          r->query = reinterpret_cast<wu_str_item *>(XtCalloc(Cardinal(r->count), sizeof(wu_str_item)));
          r->query_count = r->count;
          for (int32_t k = 0; k < r->count; ++k) {
            const int32_t len = int32_t(std::strlen(r->items[k]));
            r->query[k].length = len;
            r->query[k].text = dup_text(r->items[k], len);
          }
          v->value = r->count;
          v->pointer = r->query;
          v->status = WU_ALLOCATED;
        }
        break;
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT: {
        Widget o = r->w.outer;
        if (o != nullptr) {
          c->x = o->core.x; c->y = o->core.y;
          c->width = o->core.width; c->height = o->core.height;
        }
        const int32_t geo[4] = {c->x, c->y, c->width, c->height};
        v->value = geo[v->code - WU_A_HPOS];
        break;
      }
      case WU_A_FOREGROUND: case WU_A_BACKGROUND: {
        const wu_colour_cell *cell = v->code == WU_A_FOREGROUND ? c->foreground : c->background;
        v->type = WU_VT_WORD;
        v->value = 0;
        v->pointer = nullptr;
        if (cell == nullptr) break;
        auto *rgb = reinterpret_cast<uint16_t *>(XtMalloc(3 * sizeof(uint16_t)));
        rgb[0] = cell->red;
        rgb[1] = cell->green;
        rgb[2] = cell->blue;
        v->value = 1;
        v->pointer = rgb;
        v->status = WU_ALLOCATED;
        break;
      }
      case WU_A_TITLE:
        if (!r->titled) { v->status = WU_E_NO_PART; break; }
        v->type = WU_VT_STRING;
        v->value = r->title != nullptr ? int32_t(std::strlen(r->title)) : 0;
        v->pointer = r->title;
        break;
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_SELECTEDINDEX: {
        if (r->w.main != nullptr && r->count > 0) {
          const std::vector<Widget> t = toggles(r);
          r->selected = 0;
          for (size_t k = 0; k < t.size(); ++k)
            if (XmToggleButtonGetState(t[k])) { r->selected = int32_t(k) + 1; break; }
        }
        v->value = r->selected;
        break;
      }
      case WU_A_BORDERSTYLE: v->value = r->titled; break;
      case WU_A_ORIENTATION: v->value = r->orientation; break;
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_FONT: case WU_A_EVENTS: case WU_A_CONTROLID:
      case WU_A_CLICKONLY: case WU_A_CONFORMSIZE: case WU_A_EVENTPROC:
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status RadioMethods(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || method != WU_M_GETTEXT) return WU_NOTAVAIL;
  if (params == nullptr || count < kGetTextParams) return WU_NOTAVAIL;
  RadioBox *r = rbx(c);
  wu_value *out = &params[kGetTextOut];
  out->type = WU_VT_STRING;
  out->value = 0;
  out->pointer = nullptr;
  const int32_t row = params[0].value;
  if (row < 1 || row > r->count || r->items == nullptr) return WU_OK;
  XtFree(r->text);
  r->text = dup_text(r->items[row - 1], int32_t(std::strlen(r->items[row - 1])));
  out->value = int32_t(std::strlen(r->text));
  out->pointer = r->text;
  out->status = WU_ALLOCATED;
  return WU_ENTRY_STATUS;
}

// Query answers the box owns go back here; at the release, everything.
wu_status RadioCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr) return WU_OK;
  RadioBox *r = rbx(c);
  for (int32_t i = 0; entries != nullptr && i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_ALLOCATED || v->pointer == nullptr) continue;
    if (v->pointer == r->query) {
      free_query(r);
    } else if (v->pointer == r->text) {
      XtFree(r->text);
      r->text = nullptr;
    } else {
      continue;
    }
    v->pointer = nullptr;
    v->status = WU_OK;
  }
  if ((entries == nullptr || count == 0) && !wu_ctl_live(c)) {
    free_query(r);
    free_items(r);
    XtFree(r->text);
    r->text = nullptr;
    XtFree(r->title);
    r->title = nullptr;
    if (r->own_font != nullptr) {
      destroy_toggles(r);
      if (r->label != nullptr) XtVaSetValues(r->label, XmNfontList, devb->font_list, nullptr);
      wutext::FreeFontList(r->own_font);
    }
    r->own_font = nullptr;
    c->font_list = nullptr;
  }
  return WU_OK;
}

wu_status RadioReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec == nullptr) return WU_NOTAVAIL;
  RadioBox *r = rbx(c);
  switch (rec->code) {
    case WU_EV_SELECT: {
      if (rec->value1 < 0 || rec->value1 > r->count) return WU_E_RANGE;
      r->selected = rec->value1;
      show_selection(r);
      wu_value *p = wu_ctl_int_params(c, WU_EV_SELECT, &rec->value1, 1);
      replay_send(c, rec, p, 1);
      return WU_OK;
    }
    case WU_EV_POPUP: case WU_EV_CLICKONLY: case WU_EV_CONFORMSIZE:
      replay_send(c, rec, nullptr, 0);
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

}  // namespace
}  // namespace wubtn

using namespace wubtn;

extern "C" {

wu_status wuxrbox(wu_pane *pane, wu_control **out) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  if (pane == nullptr || pane->ext == nullptr || pane->window == nullptr ||
      !wu_window_live(pane->window))
    return WU_NOTAVAIL;
  auto *r = static_cast<RadioBox *>(wutgmem(pane->window->pool, WU_MT_OLD_RADIOBOX));
  if (r == nullptr) return WU_NOMEM;
  wu_control *c = &r->c;
  wu_ctl_install(c, {RadioSwat, RadioQwat, RadioMethods, RadioCleanup, UnregisterDND,
                     RegisterDND, QueryDND, SetDND, RadioReplay});
  c->kind = WU_MT_RADIOBOX;
  c->flags |= WU_CTL_TAKES_FOCUS;
  c->pane = pane;
  r->titled = 1;
  r->orientation = 1;
  wu_ctl_link(c);
  if ((pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr &&
      build_radio(r) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

wu_status wuxirbo(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_RADIOBOX) return WU_NOTAVAIL;
  return build_radio(rbx(c));
}

wu_status wu_create_rbx(wu_pane *pane, wu_control **out) { return wuxrbox(pane, out); }

// The widget a radio box gives the keyboard focus to: its set toggle, else
// its first.
Widget wu_rbx_focus(wu_control *c) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_RADIOBOX) return nullptr;
  const std::vector<Widget> t = toggles(rbx(c));
  if (t.empty()) return nullptr;
  for (Widget w : t)
    if (XmToggleButtonGetState(w)) return w;
  return t.front();
}

}  // extern "C"
