// The push button of host-built dialogs: a drawn button showing a label, an
// icon or both in four styles, its click event, recording and replay; and
// the helpers the other button kinds share (host texts in the window pool,
// host fonts, drag and drop, the button keys).
#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/DrawnB.h>
#include <Xm/PrimitiveP.h>
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
#include "textwin/wutwin.h"
#include "xd/qevutil.h"

// The display's shared icon store (the frames layer): icon numbers of the
// 24-pixel set are offset by kIconSet24.
extern "C" wu_status wutlpix(int32_t icon, const wu_icon_colours *colours, int32_t depth,
                             int32_t flag, Pixmap *pixmap_out, Pixmap *mask_out,
                             int32_t *width_out, int32_t *height_out);
extern "C" wu_status wutfpix(Pixmap pixmap);

namespace wubtn {

namespace {

constexpr int32_t kIconSet24 = 4096;        // offset of the 24-pixel icons
constexpr int32_t kDefaultIcon = 1009;       // shown for icon 0

constexpr int32_t kLargeIcon = 48;
constexpr int32_t kSmallIcon = 24;
constexpr int32_t kGap = 2;              // between icon and label
constexpr int32_t kShadow = 2;           // a drawn button's own shadow (not given again)
constexpr int32_t kLastCode = WU_A_EVENTPROC;
constexpr int32_t kLuminanceMid = 32767;
constexpr int32_t kStyles = 4;

bool push_kind(int32_t kind) { return kind == WU_MT_PUSHBUTTON || kind == WU_MT_DESKTOPICON; }

PushButton *live_pb(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return (wu_ctl_live(c) && push_kind(c->kind)) ? pb(c) : nullptr;
}

XmFontList label_fonts(PushButton *p) {
  if (p->c.font_list != nullptr) return static_cast<XmFontList>(p->c.font_list);
  return devb ? devb->font_list : nullptr;
}

// Natural size of the content by style.
void pushButnCalcSize(PushButton *p, int32_t *w, int32_t *h) {
  switch (p->style) {
    case 1: *w = p->icon_w; *h = p->icon_h; break;
    case 2: *w = p->icon_w + p->label_w + kGap; *h = std::max(p->icon_h, p->label_h); break;
    case 3: *w = std::max(p->icon_w, p->label_w); *h = p->icon_h + p->label_h + kGap; break;
    default: *w = p->label_w; *h = p->label_h; break;
  }
}

// The label as shown: trimmed, cut to the shown buffer, its first "&" gone.
void setString(PushButton *p) {
  if (p->xlabel != nullptr) XmStringFree(p->xlabel);
  p->xlabel = nullptr;
  p->label_w = p->label_h = 0;
  if (!wu_x_ok()) return;
  char shown[kShownLabel] = {};
  const char *text = p->label != nullptr ? p->label : "";
  wuxtjfy(text, int32_t(std::strlen(text)), shown, int32_t(sizeof shown));
  shown[sizeof shown - 1] = '\0';
  char *plain = wuxstmn(shown);
  p->xlabel = wumcstr(plain != nullptr ? plain : "");
  XtFree(plain);
  XmFontList fl = label_fonts(p);
  if (p->xlabel != nullptr && fl != nullptr) {
    Dimension w = 0, h = 0;
    XmStringExtent(fl, p->xlabel, &w, &h);
    p->label_w = w;
    p->label_h = h;
  }
}

// Loads the icon from the display's shared icon store (one counted pixmap
// and mask per image and size); the old one stays when the new icon has no
// image.
wu_status setIcon(PushButton *p) {
  const int32_t size = p->icon_style == 1 ? kLargeIcon : kSmallIcon;
  if (!wu_x_ok()) {
    p->icon_w = p->icon_h = size;
    return WU_OK;
  }
  const int32_t id = p->icon != 0 ? p->icon : kDefaultIcon;
  if (id < 0 || id >= kIconSet24) return WU_E_RANGE;
  Pixmap pm = None, mask = None;
  int32_t w = 0, h = 0;
  if (wutlpix(size == kLargeIcon ? id : id + kIconSet24, nullptr, 0, 0, &pm, &mask, &w, &h) !=
          WU_OK ||
      pm == None)
    return WU_E_RANGE;
  if (p->pixmap != None) wutfpix(p->pixmap);
  p->pixmap = pm;
  p->mask = mask;
  p->icon_w = size;
  p->icon_h = size;
  return WU_OK;
}

void release_icon(PushButton *p) {
  if (p->pixmap != None && wu_x_ok()) wutfpix(p->pixmap);
  p->pixmap = p->mask = None;
}

bool uses_icon(const PushButton *p) { return p->style >= 1 && p->style <= 3; }

// The fixed part of the drawing GCs of buttons and icons: copy, all planes
// and the display's first host text font.
XtGCMask icon_gc_values(XGCValues *v) {
  v->function = GXcopy;
  v->plane_mask = AllPlanes;
  XtGCMask mask = GCFunction | GCPlaneMask;
  if (devb->font != nullptr) {
    v->font = devb->font->fid;
    mask |= GCFont;
  }
  return mask;
}

// The parts of the push buttons' GC that each drawing sets anew.
constexpr XtGCMask kButtonGCChanges = GCForeground | GCBackground | GCClipXOrigin |
                                      GCClipYOrigin | GCClipMask | GCStipple | GCFillStyle;

// The one drawing GC of the push buttons and desktop icons of a display,
// made on the first button drawn on the top-level shell and given back
// with that shell: the toolkit forgets its shared GCs with the connection
// but Xlib's record of each stays allocated unless it is released.  Every
// drawing sets the parts it changes.  A new connection makes its own.
GC g_icon_gc = nullptr;

void ReleaseIconGC(Widget w, XtPointer, XtPointer) {
  if (g_icon_gc) XtReleaseGC(w, g_icon_gc);
  g_icon_gc = nullptr;
}

GC ppbIconGC(Widget w) {
  static const char tag = 0;
  if (_XdFirstOnDisplay(XtDisplay(w), &tag)) g_icon_gc = nullptr;
  if (g_icon_gc == nullptr && devb->toplevel != nullptr) {
    XGCValues v = {};
    g_icon_gc = XtAllocateGC(devb->toplevel, w->core.depth, icon_gc_values(&v), &v,
                             kButtonGCChanges, 0);
    XtAddCallback(devb->toplevel, XmNdestroyCallback, ReleaseIconGC, nullptr);
  }
  return g_icon_gc;
}

// The widget's margin: shadow and highlight.
int32_t margin(Widget w) {
  const XmPrimitivePart &pr = reinterpret_cast<XmPrimitiveWidget>(w)->primitive;
  return pr.shadow_thickness + pr.highlight_thickness;
}

// Foreground for a background when the two are equal: black or white by
// the background's luminance.
Pixel contrast(Widget w, Pixel background) {
  Screen *s = XtScreen(w);
  if (DefaultDepthOfScreen(s) == 1 || devb->depth == 1)
    return background == BlackPixelOfScreen(s) ? WhitePixelOfScreen(s) : BlackPixelOfScreen(s);
  XColor xc = {};
  xc.pixel = background;
  XQueryColor(devb->display, devb->colormap, &xc);
  const double lum = 0.30 * xc.red + 0.59 * xc.green + 0.11 * xc.blue;
  return lum <= kLuminanceMid ? WhitePixelOfScreen(s) : BlackPixelOfScreen(s);
}

void draw(PushButton *p) {
  Widget w = p->w.main;
  if (w == nullptr || !XtIsRealized(w) || !wu_x_ok()) return;
  GC gc = ppbIconGC(w);
  if (gc == nullptr) return;
  // Read from the widget itself: it is drawn at every exposure.
  const int32_t width = w->core.width, height = w->core.height;
  Pixel fg = reinterpret_cast<XmPrimitiveWidget>(w)->primitive.foreground;
  const Pixel bg = w->core.background_pixel;
  const int32_t m = margin(w);
  int32_t cw = 0, chh = 0;
  pushButnCalcSize(p, &cw, &chh);
  const int32_t iw = std::max<int32_t>(width - 2 * m, 0);
  const int32_t ih = std::max<int32_t>(height - 2 * m, 0);
  const int32_t x0 = cw <= iw ? m + (iw - cw) / 2 : m;
  const int32_t y0 = chh <= ih ? m + (ih - chh) / 2 : m;
  Display *d = XtDisplay(w);
  Window win = XtWindow(w);
  XClearArea(d, win, m, m, unsigned(iw), unsigned(ih), False);
  if (fg == bg) fg = contrast(w, bg);
  XSetForeground(d, gc, fg);
  XSetBackground(d, gc, bg);
  XSetFillStyle(d, gc, FillSolid);
  if (uses_icon(p) && p->pixmap != None && iw > 0 && ih > 0) {
    int32_t ix = x0, iy = y0;
    if (p->style == 2 && p->icon_h < chh) iy = y0 + (chh - p->icon_h) / 2;
    if (p->style == 3 && p->icon_w < cw) ix = x0 + (cw - p->icon_w) / 2;
    if (p->mask != None) {
      XSetClipOrigin(d, gc, ix, iy);
      XSetClipMask(d, gc, p->mask);
    }
    const int32_t cut_w = std::min(p->icon_w, m + iw - ix);
    const int32_t cut_h = std::min(p->icon_h, m + ih - iy);
    if (cut_w > 0 && cut_h > 0)
      XCopyArea(d, p->pixmap, win, gc, 0, 0, unsigned(cut_w), unsigned(cut_h), ix, iy);
    XSetClipMask(d, gc, None);
  }
  if (p->style != 1 && p->xlabel != nullptr && iw > 0 && ih > 0) {
    XRectangle clip = {short(m), short(m), static_cast<unsigned short>(iw),
                       static_cast<unsigned short>(ih)};
    int32_t lx = m, ly = m;
    const auto centred = [&](int32_t size, int32_t inner) {
      return size <= inner ? m + (inner - size) / 2 : m;
    };
    if (p->style == 0) {
      lx = centred(p->label_w, iw);
      ly = centred(p->label_h, ih);
    } else if (p->style == 2) {
      lx = x0 + p->icon_w + kGap;
      ly = centred(p->label_h, ih);
    } else {
      lx = p->label_w <= iw ? x0 + (cw - p->label_w) / 2 : m;
      ly = y0 + p->icon_h + kGap;
    }
    XmStringDraw(d, win, label_fonts(p), p->xlabel, gc, Position(lx), Position(ly),
                 Dimension(p->label_w), XmALIGNMENT_BEGINNING, XmSTRING_DIRECTION_L_TO_R, &clip);
    XSetClipMask(d, gc, None);
  }
  if ((!XtIsSensitive(w) || (p->c.flags & WU_CTL_GRAYED)) && devb->stipple[WU_STIPPLE_50]) {
    XSetForeground(d, gc, bg);
    XSetStipple(d, gc, devb->stipple[WU_STIPPLE_50]);
    XSetFillStyle(d, gc, FillStippled);
    XFillRectangle(d, win, gc, x0, y0, unsigned(std::max(cw, 0)), unsigned(std::max(chh, 0)));
    XSetFillStyle(d, gc, FillSolid);
  }
  p->redraw = 0;
}

void wuwdpbn(Widget, XtPointer client, XtPointer call) {
  PushButton *p = live_pb(client);
  if (p == nullptr) return;
  auto *cbs = static_cast<XmDrawnButtonCallbackStruct *>(call);
  // One drawing for a run of exposures.
  if (cbs != nullptr && cbs->event != nullptr && cbs->event->type == Expose &&
      cbs->event->xexpose.count > 0)
    return;
  draw(p);
}

void wuwpbns(Widget w, XtPointer client, XtPointer call) {
  PushButton *p = live_pb(client);
  if (p == nullptr) return;
  wu_control *c = &p->c;
  auto *cbs = static_cast<XmAnyCallbackStruct *>(call);
  int32_t sent = 0;
  if (c->procedure == nullptr || !(c->event_mask & WU_EVM_CLICK_NODE)) {
    const wu_reg_hold hold = wu_reg_take(c);
    wu_old_pressed_event(c, WU_EV_OLD_PRESSED, true);
    if (!held_alive(hold, c)) return;
  } else {
    int32_t x = w->core.x, y = w->core.y;
    const XEvent *ev = cbs != nullptr ? cbs->event : nullptr;
    if (ev != nullptr && (ev->type == ButtonPress || ev->type == ButtonRelease)) {
      x += ev->xbutton.x;
      y += ev->xbutton.y;
    }
    const wu_reg_hold hold = wu_reg_take(c);
    sent = wu_ctl_send(c, WU_EV_SELECT, 0, x, y, nullptr, 0, WU_EV_CTL_POSTED);
    if (!held_alive(hold, c)) return;
  }
  wu_ctl_record(c, WU_EV_SELECT, 0, sent, 0.0, 0);
}

// The widget is going: what it drew with goes too.  A released record
// gave everything back in its clean-up.
void wuwpbds(Widget, XtPointer client, XtPointer) {
  PushButton *p = live_pb(client);
  if (p == nullptr) return;
  release_icon(p);
  if (p->xlabel != nullptr) XmStringFree(p->xlabel);
  p->xlabel = nullptr;
  p->w.main = p->w.outer = nullptr;
}

// The record's size from the natural one with a margin (shadow and
// highlight) on every side: a stored size wins without conformSize.
void natural_size(PushButton *p, int32_t m) {
  int32_t nw = 0, nh = 0;
  pushButnCalcSize(p, &nw, &nh);
  nw += 2 * m;
  nh += 2 * m;
  if (p->c.conform_size || p->c.width <= 0) p->c.width = std::max(nw, 1);
  if (p->c.conform_size || p->c.height <= 0) p->c.height = std::max(nh, 1);
}

void fit_size(PushButton *p, Arg *args, Cardinal *n) {
  natural_size(p, margin(p->w.main));
  XtSetArg(args[*n], XmNwidth, Dimension(p->c.width)); ++*n;
  XtSetArg(args[*n], XmNheight, Dimension(p->c.height)); ++*n;
}

wu_status PushCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || (entries != nullptr && count > 0) || wu_ctl_live(c)) return WU_OK;
  PushButton *p = pb(c);
  pool_text_free(c, &p->label, &p->label_size);
  p->label_len = 0;
  release_icon(p);
  if (p->xlabel != nullptr) XmStringFree(p->xlabel);
  p->xlabel = nullptr;
  if (p->own_font != nullptr) {
    // The widget still holds the list until it is destroyed right after.
    if (p->w.main != nullptr) XtVaSetValues(p->w.main, XmNfontList, devb->font_list, nullptr);
    wutext::FreeFontList(p->own_font);
  }
  p->own_font = nullptr;
  c->font_list = nullptr;
  return WU_OK;
}

wu_status PushReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec == nullptr) return WU_NOTAVAIL;
  switch (rec->code) {
    case WU_EV_SELECT: case WU_EV_POPUP: case WU_EV_CLICKONLY: case WU_EV_CONFORMSIZE:
      replay_send(c, rec, nullptr, 0);
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

}  // namespace

// ---- helpers shared by the button kinds -------------------------------------

static bool is_integer_type(int32_t type) { return type == WU_VT_INT || type == WU_VT_NUMBER; }

bool entry_type(wu_value *v, int32_t type) {
  if (v->type == type) return true;
  // The general integer and the progress-bar number carry a signed integer
  // in the value word alike.
  if (is_integer_type(type) && is_integer_type(v->type)) return true;
  v->status = WU_E_RANGE;
  return false;
}

bool set_place(wu_control *c, Widget w, wu_value *v) {
  if (!entry_type(v, WU_VT_INT)) return false;
  if (v->code == WU_A_HPOS) c->x = v->value; else c->y = v->value;
  if (w) XtVaSetValues(w, v->code == WU_A_HPOS ? XmNx : XmNy, Position(v->value), nullptr);
  return true;
}

bool set_size(wu_control *c, Widget w, wu_value *v, bool conforming) {
  if (!entry_type(v, WU_VT_INT)) return false;
  const bool horiz = v->code == WU_A_WIDTH;
  if (conforming) {
    Dimension now = 0;
    if (w) XtVaGetValues(w, horiz ? XmNwidth : XmNheight, &now, nullptr);
    if (w && v->value == now) return false;
    if (c->conform_size) { v->status = WU_E_SIZE_FIXED; return false; }
  }
  if (v->value < 1 || v->value > 0x7fff) { v->status = WU_E_RANGE; return false; }
  if (horiz) c->width = v->value; else c->height = v->value;
  if (w) XtVaSetValues(w, horiz ? XmNwidth : XmNheight, Dimension(v->value), nullptr);
  return true;
}

GC icon_gc(Widget w, XtGCMask dynamic) {
  XGCValues v = {};
  return XtAllocateGC(w, 0, icon_gc_values(&v), &v, dynamic, 0);
}

bool text_ok(const wu_value *v) {
  return v->value >= 0 && (v->value == 0 || v->pointer != nullptr);
}

wu_status pool_text(wu_control *c, char **buffer, int32_t *size, int32_t *length,
                    const char *text, int32_t n) {
  wu_window *w = wu_ctl_window(c);
  if (w == nullptr) return WU_NOTAVAIL;
  n = std::min(std::max(n, 0), kMaxHostLabel);
  if (*buffer == nullptr || n + 1 > *size) {
    void *grown = nullptr;
    if (*buffer == nullptr) {
      grown = vmalcp_handler(w->pool, n + 1, 0);
      if (grown == nullptr) return WU_NOMEM;
    } else {
      const wu_status st = wmrealc(w->pool, *buffer, *size, &grown, n + 1, 0);
      if (st != WU_OK || grown == nullptr) return st != WU_OK ? st : WU_NOMEM;
    }
    *buffer = static_cast<char *>(grown);
    *size = n + 1;
  }
  if (n > 0) std::memcpy(*buffer, text, size_t(n));
  (*buffer)[n] = '\0';
  *length = n;
  return WU_OK;
}

void pool_text_free(wu_control *c, char **buffer, int32_t *size) {
  wu_window *w = wu_ctl_window(c);
  if (*buffer != nullptr && w != nullptr) vmfree_handler(w->pool, *buffer, *size, 0);
  *buffer = nullptr;
  *size = 0;
}

XmFontList host_font_list(wu_control *c, void *record) {
  XFontStruct *xf = record ? *static_cast<XFontStruct **>(record) : nullptr;
  if (xf == nullptr || !wu_x_ok()) return nullptr;
  XmFontList fl = XmFontListCreate(xf, const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
  if (wu_dbcs_mode()) {
    void *saved = c->font_list;
    c->font_list = fl;
    XFontStruct *pair[2] = {xf, xf};
    AppendDBCSFontSet(pair, c);
    fl = static_cast<XmFontList>(c->font_list);
    c->font_list = saved;
  }
  return fl;
}

void replay_send(wu_control *c, const wu_batch_event *rec, wu_value *params, int32_t n) {
  if (!rec->sent) return;
  wu_ctl_send(c, rec->code, 0, c->x, c->y, params, n, WU_EV_CTL_POSTED);
}

wu_status RegisterDND(wu_ctl_handle *h, void *site_out, void *entries, void *count) {
  return wutext::TextRegisterDND(h, site_out, entries, count);
}
wu_status UnregisterDND(wu_ctl_handle *h, void *site, void *b, void *d) {
  return wutext::TextUnregisterDND(h, site, b, d);
}
wu_status QueryDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  return wutext::TextQueryDND(h, site, entries, count);
}
wu_status SetDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  return wutext::TextSetDND(h, site, entries, count);
}

void button_input(Widget w, XtPointer client, XEvent *event, Boolean *cont, const ButtonWays &ways) {
  switch (event->type) {
    case KeyPress:
      if (ways.keys) wuwskey(w, client, event, cont);
      if (*cont) wu_ctl_input(w, client, event, cont);
      break;
    case ButtonPress:
      if (ways.press != nullptr) ways.press(w, client, event, cont);
      if (*cont) wu_ctl_input(w, client, event, cont);
      break;
    case FocusIn: case FocusOut:
      if (ways.focus_frame && wuwpbfo != nullptr) wuwpbfo(w, client, event, cont);
      wuwtlwn(w, client, event, cont);
      break;
    case EnterNotify: case LeaveNotify:
      wuwtlwn(w, client, event, cont);
      break;
    case Expose:
      if (event->xexpose.count == 0 && XmIsLabel(w)) wumdxfw(w);
      break;
    default:
      wu_ctl_input(w, client, event, cont);
      break;
  }
}

namespace {

void ButtonInputFramed(Widget w, XtPointer client, XEvent *event, Boolean *cont) {
  button_input(w, client, event, cont, ButtonWays{true, true, nullptr});
}

void ButtonInputPlain(Widget w, XtPointer client, XEvent *event, Boolean *cont) {
  button_input(w, client, event, cont, ButtonWays{true, false, nullptr});
}

void BarInput(Widget w, XtPointer client, XEvent *event, Boolean *cont) {
  button_input(w, client, event, cont, ButtonWays{false, false, nullptr});
}

}  // namespace

void add_bar_handlers(Widget w, wu_control *c) {
  const EventMask mask = ButtonPressMask | ButtonReleaseMask | Button1MotionMask | FocusChangeMask |
                         EnterWindowMask | LeaveWindowMask;
  XtInsertEventHandler(w, mask, False, BarInput, c, XtListHead);
}

void add_button_handlers(Widget w, wu_control *c, bool focus_frame) {
  XtInsertEventHandler(w, kButtonEvents, False, focus_frame ? ButtonInputFramed : ButtonInputPlain,
                       c, XtListHead);
}

// ---- set and query ------------------------------------------------------------

wu_status PushSwat(wu_control *c, wu_value *entries, int32_t count) {
  PushButton *p = pb(c);
  Widget w = p->w.main;
  bool changed = false, redraw = false;
  Arg args[8];
  Cardinal n = 0;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ENABLED:
        changed = true;
        break;
      case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP:
      case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY: case WU_A_EVENTPROC:
        break;
      case WU_A_HPOS: case WU_A_VPOS:
        if (set_place(c, w, v)) changed = true;
        break;
      case WU_A_WIDTH: case WU_A_HEIGHT:
        if (set_size(c, w, v, true)) changed = true;
        break;
      case WU_A_FOREGROUND: case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_DEFAULTBUTTON:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_TEXT: {
        if (!entry_type(v, WU_VT_STRING)) break;
        if (!text_ok(v)) { v->status = WU_E_RANGE; break; }
        const wu_status st = pool_text(c, &p->label, &p->label_size, &p->label_len,
                                       static_cast<const char *>(v->pointer), v->value);
        if (st != WU_OK) return st;
        setString(p);
        changed = redraw = true;
        break;
      }
      case WU_A_ICON: case WU_A_ICONSTYLE: {
        const bool icon = v->code == WU_A_ICON;
        if (!entry_type(v, icon ? WU_VT_INT : WU_VT_BOOL)) break;
        if (icon && v->value < 0) { v->status = WU_E_RANGE; break; }
        const int32_t old_icon = p->icon;
        const int16_t old_style = p->icon_style;
        if (icon) p->icon = v->value; else p->icon_style = int16_t(v->value & 0xffff);
        const wu_status st = setIcon(p);
        if (st != WU_OK) {
          p->icon = old_icon;
          p->icon_style = old_style;
          v->status = st;
          break;
        }
        changed = redraw = true;
        break;
      }
      case WU_A_FONT: {
        if (!entry_type(v, WU_VT_FONT)) break;
        XmFontList old = p->own_font;
        p->own_font = host_font_list(c, v->pointer);
        c->font_list = p->own_font;
        setString(p);
        if (w) XtVaSetValues(w, XmNfontList, label_fonts(p), nullptr);
        wutext::FreeFontList(old);
        changed = redraw = true;
        break;
      }
      case WU_A_STYLE: {
        if (!entry_type(v, WU_VT_INT)) break;
        if (v->value < 0 || v->value >= kStyles) { v->status = WU_E_RANGE; break; }
        if (v->value == p->style) break;
        p->style = v->value;
        if (p->style == 3) p->layout = (p->layout | kIconAbove) & ~kIconBeside;
        if (p->style == 2) p->layout = (p->layout | kIconBeside) & ~kIconAbove;
        const wu_status st = setIcon(p);
        if (st != WU_OK) v->status = st;
        changed = redraw = true;
        break;
      }
      case WU_A_CONFORMSIZE: {
        if (!entry_type(v, WU_VT_BOOL)) break;
        const int16_t on = int16_t((v->value & 0xffff) != 0);
        if (on && !c->conform_size) p->remanage = 1;
        c->conform_size = on;
        changed = true;
        break;
      }
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (changed && w != nullptr) {
    const Dimension old_w = w->core.width, old_h = w->core.height;
    fit_size(p, args, &n);
    XtSetValues(w, args, n);
    if (p->remanage && XtIsManaged(w)) {
      XtUnmanageChild(w);
      XtManageChild(w);
      wutsync(1, 1);
    }
    p->remanage = 0;
    if (!wu_ctl_live(c)) return wu_ctl_entries_result(entries, count);
    if (redraw) draw(p);
    if (c->conform_size && (c->event_mask & kEvmConform)) {
      if (w->core.width != old_w || w->core.height != old_h)
        wu_ctl_send(c, WU_EV_CONFORMSIZE, 0, w->core.x, w->core.y, nullptr, 0, WU_EV_CTL_POSTED);
    }
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status PushQwat(wu_control *c, wu_value *entries, int32_t count) {
  PushButton *p = pb(c);
  Widget w = p->w.main;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->value = wu_ctl_geometry(c, w, v->code);
        break;
      case WU_A_FOREGROUND: case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_DEFAULTBUTTON:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_TEXT:
        v->type = WU_VT_STRING;
        v->value = p->label_len;
        v->pointer = p->label;
        break;
      case WU_A_ICON: v->value = p->icon; break;
      case WU_A_STYLE: v->value = p->style; break;
      case WU_A_ICONSTYLE: v->value = p->icon_style; break;
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

wu_status build_push(PushButton *p, const Arg *extra, Cardinal extra_count) {
  wu_control *c = &p->c;
  if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  Widget parent = c->pane->ext->widget;
  setString(p);
  if (p->pixmap == None && uses_icon(p)) setIcon(p);
  wu_ctl_colours set;
  const bool dialog_set =
      wuwgpmc != nullptr && wuwgpmc(wu_ctl_window(c), WU_CSET_DIALOG, &set) == WU_OK;
  // The natural size is known before the widget: it is made at its size.
  Dimension shadow = kShadow;
  for (Cardinal i = 0; i < extra_count; ++i)
    if (std::strcmp(extra[i].name, XmNshadowThickness) == 0) shadow = Dimension(extra[i].value);
  if (!(c->width > 0 && c->height > 0 && !c->conform_size)) natural_size(p, shadow);
  Arg args[30];
  Cardinal n = 0;
  n = wu_ctl_parent_visual_args(parent, args, n);
  XtSetArg(args[n], XmNx, Position(c->x)); ++n;
  XtSetArg(args[n], XmNy, Position(c->y)); ++n;
  XtSetArg(args[n], XmNwidth, Dimension(std::max(c->width, 1))); ++n;
  XtSetArg(args[n], XmNheight, Dimension(std::max(c->height, 1))); ++n;
  XtSetArg(args[n], XmNrecomputeSize, False); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNtraversalOn, False); ++n;
  XtSetArg(args[n], XmNpushButtonEnabled, True); ++n;
  // Shown once managed, unless hidden (wutmapw manages it or not).
  if (c->flags & WU_CTL_HIDDEN) { XtSetArg(args[n], XmNmappedWhenManaged, False); ++n; }
  XtSetArg(args[n], XmNhighlightThickness, Dimension(0)); ++n;
  if (c->flags & WU_CTL_GRAYED) { XtSetArg(args[n], XmNsensitive, False); ++n; }
  if (label_fonts(p) != nullptr) { XtSetArg(args[n], XmNfontList, label_fonts(p)); ++n; }
  n = Cardinal(wuwswvs(c, dialog_set ? &set : nullptr, args, int32_t(n)));
  for (Cardinal i = 0; i < extra_count && n < XtNumber(args); ++i) args[n++] = extra[i];
  Widget w = XtCreateWidget("QEVIcon", xmDrawnButtonWidgetClass, parent, args, n);
  if (w == nullptr) {
    if (p->xlabel != nullptr) XmStringFree(p->xlabel);
    p->xlabel = nullptr;
    release_icon(p);
    return WU_NOTAVAIL;
  }
  p->w.main = p->w.outer = w;
  wumdxlt(w);
  XtAddCallback(w, XmNexposeCallback, wuwdpbn, c);
  XtAddCallback(w, XmNactivateCallback, wuwpbns, c);
  XtAddCallback(w, XmNdestroyCallback, wuwpbds, c);
  if (wuwidrg != nullptr && c->dnd != nullptr) wuwidrg(w, static_cast<wu_dnd_site *>(c->dnd));
  // The button table, then the text keys; managed by wutmapw below, with
  // its translations merged beforehand: merging into a realized widget
  // installs them again each time.
  static const wu_ctl_table kKeys[] = {WU_KEYS_BUTTON, WU_KEYS_WIDGET_POPUP, WU_KEYS_TEXT,
                                       WU_KEYS_TEXT2};
  wu_ctl_keys(w, kKeys, 4);
  add_button_handlers(w, c, true);
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  return WU_OK;
}

void install_push_slots(wu_control *c) {
  wu_ctl_install(c, {PushSwat, PushQwat, nullptr, PushCleanup, UnregisterDND, RegisterDND, QueryDND,
                     SetDND, PushReplay});
}

}  // namespace wubtn

using namespace wubtn;

extern "C" {

// Button keys: Tab and Shift-Tab move between fields, Return activates, and
// a radio box's arrows move among its toggles.
void wuwskey(Widget w, XtPointer client, XEvent *event, Boolean *go_on) {
  auto *c = static_cast<wu_control *>(client);
  if (event == nullptr || event->type != KeyPress || !wu_ctl_live(c)) return;
  char buf[8];
  KeySym sym = NoSymbol;
  XLookupString(&event->xkey, buf, int(sizeof buf), &sym, nullptr);
  if (c->kind == WU_MT_RADIOBOX) {
    Widget box = XtParent(w);
    WidgetList kids = nullptr;
    Cardinal nk = 0;
    if (box != nullptr) XtVaGetValues(box, XmNchildren, &kids, XmNnumChildren, &nk, nullptr);
    const bool back = sym == XK_Left || sym == XK_Up || sym == XK_KP_Left || sym == XK_KP_Up;
    const bool fwd = sym == XK_Right || sym == XK_Down || sym == XK_KP_Right || sym == XK_KP_Down;
    if (nk > 0 && (back || fwd)) {
      Cardinal at = 0;
      while (at < nk && kids[at] != w) ++at;
      if (at == nk) at = 0;
      const Cardinal to = back ? (at == 0 ? nk - 1 : at - 1) : (at + 1 == nk ? 0 : at + 1);
      XmProcessTraversal(kids[to], XmTRAVERSE_CURRENT);
      // The pane's keyboard goes to the toggle also where the toolkit's
      // traversal does not reach into the pane.
      Widget shell = w;
      while (shell != nullptr && !XtIsShell(shell)) shell = XtParent(shell);
      if (shell != nullptr) XtSetKeyboardFocus(shell, kids[to]);
      *go_on = False;
      return;
    }
  }
  if (sym == XK_Tab || sym == XK_KP_Tab || sym == XK_ISO_Left_Tab) {
    const bool back = (isaltpr != nullptr && isaltpr() != 0) || sym == XK_ISO_Left_Tab;
    if (back) wutprvf(w, event); else wutnxtf(w, event);
    *go_on = False;
    return;
  }
  if (sym == XK_Return || sym == XK_KP_Enter) {
    XtCallActionProc(w, "ArmAndActivate", event, nullptr, 0);
    *go_on = False;
  }
}

wu_status wuxppsh(wu_pane *pane, wu_control **out) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  // The older creator refuses cell 0; the catalogue places by pixels later.
  wu_control *c = nullptr;
  if (wuxgpsh(pane, &c, 0, 1, 1, 0, " ", 1) != WU_OK || c == nullptr) return WU_NOTAVAIL;
  // The older button's label goes; the record takes the push button's shape.
  wu_old_button *old = reinterpret_cast<wu_old_button *>(c);
  char *old_label = old->label;
  int32_t old_size = old->label_size;
  pool_text_free(c, &old_label, &old_size);
  PushButton *p = pb(c);
  std::memset(&p->w, 0, sizeof(PushButton) - sizeof(wu_control));
  install_push_slots(c);
  c->kind = WU_MT_PUSHBUTTON;
  c->flags |= WU_CTL_TAKES_FOCUS;
  p->created = 1;
  p->style = 0;
  if (pool_text(c, &p->label, &p->label_size, &p->label_len, " ", 1) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  *out = c;
  return WU_OK;
}

wu_status wutippb(wu_control *c) {
  if (c == nullptr || !push_kind(c->kind)) return WU_NOTAVAIL;
  return build_push(pb(c));
}

wu_status wu_create_pb(wu_pane *pane, wu_control **out) { return wuxppsh(pane, out); }

}  // extern "C"
