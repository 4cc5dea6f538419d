// Tool tips of the controls: the enter and leave handler every control
// widget gets, the delayed tip window "tt" under the control, the grace
// period shared with the tool buttons' tips, and the suspension of tips
// while control widgets are being released.  Also the graph push buttons,
// whose tips come from their own text.
#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <X11/Shell.h>
#include <Xm/DrawnB.h>
#include <Xm/Label.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "controls/wubutton.h"
#include "graphics/wugraph.h"
#include "toolbox/wutbox.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wufmt.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

extern "C" {
wu_status wutpshm(wu_window *window, const char *text, int32_t length) __attribute__((weak));
wu_status wutpopm(wu_window *window) __attribute__((weak));
}

namespace {

constexpr int32_t kTipPad = 4;        // label height + this when the shell has none yet
constexpr int32_t kTipBelow = 1;      // pixels between control and tip
constexpr int32_t kTipAbove = 3;      // ... when the tip goes above

unsigned long tip_delay() {
  return static_cast<unsigned long>(std::max(devb ? devb->prefs.toolbox_tip_delay : 0, 0));
}

// The font list the tip label was last given: it gets the display's font
// again only when that changes (a label takes a new GC for each font).
XmFontList g_tip_font = nullptr;

bool tips_blocked() {
  return !wu_x_ok() || devb->errors_masked || (devb->flags & WU_DEV_DRAGGING);
}

void forget_pending(wu_state *s) {
  if (s->ctl_tip_timer != 0) XtRemoveTimeOut(s->ctl_tip_timer);
  s->ctl_tip_timer = 0;
  s->ctl_tip_control = nullptr;
}

void show_later(XtPointer client, XtIntervalId *) {
  wu_state *s = wu_module();
  if (s == nullptr) return;
  s->ctl_tip_timer = 0;
  s->ctl_tip_control = nullptr;
  auto *c = static_cast<wu_control *>(client);
  if (wu_ctl_live(c)) wuwtltt(c);
}


void resume(XtPointer, XtIntervalId *) {
  wu_state *s = wu_module();
  if (s == nullptr) return;
  s->ctl_tip_resume_timer = 0;
  s->ctl_tip_suspended = 0;
}

// The tip shell and its label, made at first use.
bool tip_widgets(wu_state *s) {
  if (s->tip_shell != nullptr && s->tip_label != nullptr) return true;
  if (devb->toplevel == nullptr) return false;
  Arg args[6];
  Cardinal n = 0;
  XtSetArg(args[n], XmNallowShellResize, True); ++n;
  n = wu_ctl_visual_args(args, n);
  Widget shell = XtCreatePopupShell("tt", overrideShellWidgetClass, devb->toplevel, args, n);
  if (shell == nullptr) return false;
  Widget label = XtVaCreateManagedWidget("ttlabel", xmLabelWidgetClass, shell, nullptr);
  s->tip_shell = shell;
  s->tip_label = label;
  g_tip_font = nullptr;
  return true;
}

// The command text's tip: its format filled with the command in single
// quotes, or with "Command" when there is none or it is too long to show.
constexpr int32_t kCommandTipBuffer = 500;
constexpr size_t kCommandTipMax = 200;
bool command_tip(wu_control *c, char (&out)[kCommandTipBuffer]) {
  Widget text = wu_ctl_w(c)->main;
  if (text == nullptr || text->core.being_destroyed) return false;
  char *typed = XmTextGetString(text);
  const size_t n = typed != nullptr ? std::strlen(typed) : 0;
  std::string quoted = n > 0 && n < kCommandTipMax ? "'" + std::string(typed) + "'" : "Command";
  XtFree(typed);
  qev_arg arg = {QEV_ARG_TEXT, int32_t(quoted.size()), quoted.c_str(), 0};
  wutsfmt(out, kCommandTipBuffer, c->tip, -1, 1, &arg);
  return out[0] != '\0';
}

// Hides the tip when it is up; returns whether it was.
bool pop_down(wu_state *s) {
  if (!s->ctl_tip_up || s->tip_shell == nullptr) return false;
  s->ctl_tip_up = 0;
  if (wu_x_ok()) XtPopdown(s->tip_shell);
  return true;
}

}  // namespace

extern "C" {

void wuwtlwn(Widget, XtPointer client, XEvent *event, Boolean *) {
  auto *c = static_cast<wu_control *>(client);
  wu_state *s = wu_module();
  if (s == nullptr || devb == nullptr || !devb->prefs.use_toolbox_tips || event == nullptr)
    return;
  if (!wu_ctl_live(c) || (c->flags & WU_CTL_GRAYED) || tips_blocked() || event->type == FocusIn)
    return;
  if (event->type == EnterNotify) {
    // One pending tip at a time: the newest control's.
    forget_pending(s);
    if (wuttipd()) {
      s->ctl_tip_control = c;
      s->ctl_tip_timer = XtAppAddTimeOut(devb->app, tip_delay(), show_later, c);
    } else {
      wuttipc();
      wuwtltt(c);
    }
    return;
  }
  if (s->ctl_tip_timer != 0) {
    // Left before the tip showed: no tip and no grace period.
    forget_pending(s);
    return;
  }
  if (pop_down(s)) wuttipg();
}

void wuwtltt(wu_control *c) {
  wu_state *s = wu_module();
  if (s == nullptr || s->ctl_tip_suspended || tips_blocked() || !wu_ctl_live(c)) return;
  forget_pending(s);
  constexpr int32_t kTipBuffer = 256;
  char own[kTipBuffer];
  char command[kCommandTipBuffer];
  const char *tip = c->tip;
  if (c == s->command_tip) {
    if (tip == nullptr || tip[0] == '\0' || !command_tip(c, command)) return;
    tip = command;
  } else if ((tip == nullptr || tip[0] == '\0') && wubtn::graph_tip(c, own, kTipBuffer)) {
    tip = own;
  }
  if (tip == nullptr || tip[0] == '\0') return;
  Widget w = wu_ctl_outer(c);
  if (w == nullptr || !XtIsRealized(w) || XtParent(w) == nullptr || !tip_widgets(s)) return;
  XmString text = wumcstr(tip);
  Arg args[2];
  Cardinal n = 0;
  XtSetArg(args[n], XmNlabelString, text); ++n;
  if (devb->font_list != nullptr && devb->font_list != g_tip_font) {
    XtSetArg(args[n], XmNfontList, devb->font_list); ++n;
    g_tip_font = devb->font_list;
  }
  XtSetValues(s->tip_label, args, n);
  XmStringFree(text);
  if (!XtIsRealized(s->tip_shell)) XtRealizeWidget(s->tip_shell);
  Position rx = 0, ry = 0;
  XtTranslateCoords(XtParent(w), w->core.x, w->core.y, &rx, &ry);
  Dimension tw = 0, th = 0;
  XtVaGetValues(s->tip_shell, XmNwidth, &tw, XmNheight, &th, nullptr);
  if (th == 0) {
    Dimension lh = 0;
    XtVaGetValues(s->tip_label, XmNheight, &lh, nullptr);
    th = Dimension(lh + kTipPad);
  }
  Screen *screen = XtScreen(w);
  int32_t x = rx + w->core.width / 2;
  int32_t y = ry + w->core.height + kTipBelow;
  if (x + tw > WidthOfScreen(screen)) x = WidthOfScreen(screen) - tw;
  if (y + th > HeightOfScreen(screen)) y = ry - th - kTipAbove;
  XtVaSetValues(s->tip_shell, XmNx, Position(x), XmNy, Position(y), nullptr);
  XtPopup(s->tip_shell, XtGrabNone);
  s->ctl_tip_up = 1;
}

// End of the grace period: the next tip waits for the delay again.
void wuwtldk(void) {
  wu_state *s = wu_module();
  if (s == nullptr || s->tip_grace_timer == 0) return;
  wuttipc();
  s->tip_grace = 0;
}

void wuwtlsp(void) { resume(nullptr, nullptr); }

void wumttsp(void) {
  wu_state *s = wu_module();
  if (s == nullptr || devb == nullptr || !wu_x_ok()) return;
  s->ctl_tip_suspended = 1;
  if (s->ctl_tip_resume_timer != 0) XtRemoveTimeOut(s->ctl_tip_resume_timer);
  s->ctl_tip_resume_timer = XtAppAddTimeOut(devb->app, tip_delay(), resume, nullptr);
}

// A control's widgets are going: its pending tip goes, a tip that is up
// goes down, and tips rest for one delay.
void wuwtlst(wu_control *c) {
  wu_state *s = wu_module();
  if (s == nullptr) return;
  if (s->ctl_tip_control == c) forget_pending(s);
  pop_down(s);
  wumttsp();
}

}  // extern "C"

// ---- graph push buttons ---------------------------------------------------------
//
// An older pane control whose face is a picture taken from an easel: a plain
// push button, a toggle or a button that stays pressed.  Its text holds a
// command part and, after the two characters backslash and "n", its tip.


namespace wubtn {

struct GraphButton {
  wu_control c;
  Widget widget;             // "graphButton"
  char *text;                // command part [\n tip part], window pool
  int32_t length;
  int32_t text_size;
  int32_t state;             // 1 pressed
  int32_t mode;              // kPlain, kToggle, kSticky
  int32_t rx, ry, rw, rh;    // picture rectangle in the easel, all 0 for the whole easel
  Pixmap picture;
  int32_t pic_w, pic_h;
  int32_t armed;
  int32_t last_word;         // the creator's last word, kept
  int32_t pushed;            // the arm put the command part on the message line
};
static_assert(sizeof(GraphButton) <= WU_CTL_GRAPH_SIZE, "graph button fits its record kind");

}  // namespace wubtn

namespace {

using wubtn::GraphButton;

constexpr int32_t kPlain = 14;
constexpr int32_t kToggle = 15;
constexpr int32_t kSticky = 16;
constexpr int32_t kGpbShadow = 4;
constexpr int32_t kGpbHighlight = 1;
constexpr int32_t kGpbFrame = 2 * (kGpbShadow + kGpbHighlight);
constexpr int32_t kGpbPressed = 1012;
constexpr int32_t kTipMax = 254;
constexpr int16_t kPixelX = 37;
constexpr int16_t kPixelY = 38;
constexpr int16_t kGpbText = 48;
constexpr int16_t kGpbRect = 49;
constexpr int32_t kMaxPixels = 0x7fff;

GraphButton *gpb(wu_control *c) { return reinterpret_cast<GraphButton *>(c); }

GraphButton *live_gpb(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return (wu_ctl_live(c) && c->kind == WU_MT_GRAPHBUTTON) ? gpb(c) : nullptr;
}

int32_t gcw() { return (devb && devb->cell_width > 0) ? devb->cell_width : 1; }
int32_t gch() { return (devb && devb->cell_height > 0) ? devb->cell_height : 1; }

// Where the tip starts after the backslash-n pair, or -1.
int32_t FindTip(const char *text, int32_t n) {
  if (text == nullptr || n < 3) return -1;
  for (int32_t i = 0; i + 2 < n; ++i)
    if (text[i] == '\\' && text[i + 1] == 'n') return i + 2;
  return -1;
}

void SetShadow(GraphButton *g, bool show_state) {
  if (g->widget == nullptr) return;
  const bool in = show_state ? g->state == 1 : g->state != 1;
  XtVaSetValues(g->widget, XmNshadowType, in ? XmSHADOW_IN : XmSHADOW_OUT, nullptr);
}

bool easel_of_window(const wu_window *w, const wu_easel *e) {
  for (const wu_pane *p = w ? w->panes : nullptr; p != nullptr; p = p->next)
    for (const wu_easel *k = p->easels; k != nullptr; k = k->next)
      if (k == e) return true;
  return false;
}

void wuwgpbe(Widget w, XtPointer client, XtPointer) {
  GraphButton *g = live_gpb(client);
  if (g == nullptr || g->picture == None || !XtIsRealized(w)) return;
  Dimension shadow = 0, highlight = 0;
  Pixel bg = 0;
  XtVaGetValues(w, XmNshadowThickness, &shadow, XmNhighlightThickness, &highlight, XmNbackground,
                &bg, nullptr);
  const int32_t m = shadow + highlight;
  const int32_t iw = std::max<int32_t>(w->core.width - 2 * m, 0);
  const int32_t ih = std::max<int32_t>(w->core.height - 2 * m, 0);
  const int32_t dx = iw > g->pic_w ? (iw - g->pic_w) / 2 : 0;
  const int32_t dy = ih > g->pic_h ? (ih - g->pic_h) / 2 : 0;
  Display *d = XtDisplay(w);
  GC gc = DefaultGCOfScreen(XtScreen(w));
  const int32_t cw = std::min(iw, g->pic_w), chh = std::min(ih, g->pic_h);
  if (cw > 0 && chh > 0)
    XCopyArea(d, g->picture, XtWindow(w), gc, 0, 0, unsigned(cw), unsigned(chh), m + dx, m + dy);
  if ((g->c.flags & WU_CTL_GRAYED) && devb->stipple[WU_STIPPLE_50] && iw > 0 && ih > 0) {
    XGCValues v = {};
    v.foreground = bg;
    v.stipple = devb->stipple[WU_STIPPLE_50];
    v.fill_style = FillStippled;
    GC sg = XCreateGC(d, XtWindow(w), GCForeground | GCStipple | GCFillStyle, &v);
    XFillRectangle(d, XtWindow(w), sg, m, m, unsigned(iw), unsigned(ih));
    XFreeGC(d, sg);
  }
}

// Armed, the button shows its command part (the text before the tip) on
// the window's message line; the disarm takes back only what the arm put
// there, so a press that showed nothing never pops another's text.
void wuwgpba(Widget, XtPointer client, XtPointer) {
  GraphButton *g = live_gpb(client);
  if (g == nullptr) return;
  g->armed = 1;
  if (!g->pushed && g->text != nullptr && g->length > 0 && wutpshm != nullptr) {
    const int32_t tip = FindTip(g->text, g->length);
    const int32_t part = tip < 0 ? g->length : tip - 2;
    wu_window *w = wu_ctl_window(&g->c);
    if (part > 0 && w != nullptr) {
      const wu_status st = wutpshm(w, g->text, part);
      if ((g = live_gpb(client)) == nullptr) return;
      g->pushed = st == WU_OK;
    }
  }
  if (g->mode != kPlain) SetShadow(g, false);
}

void wuwgpbd(Widget, XtPointer client, XtPointer) {
  GraphButton *g = live_gpb(client);
  if (g == nullptr) return;
  g->armed = 0;
  if (g->pushed) {
    g->pushed = 0;
    wu_window *w = wu_ctl_window(&g->c);
    if (w != nullptr && wutpopm != nullptr) {
      wutpopm(w);
      if ((g = live_gpb(client)) == nullptr) return;
    }
  }
  if (g->mode != kPlain) SetShadow(g, true);
}

void wuwgpbh(Widget, XtPointer client, XEvent *event, Boolean *) {
  GraphButton *g = live_gpb(client);
  if (g == nullptr || !g->armed) return;
  if (event->type == EnterNotify) SetShadow(g, false);
  else if (event->type == LeaveNotify) SetShadow(g, true);
}

void wuwgpbs(Widget, XtPointer client, XtPointer) {
  GraphButton *g = live_gpb(client);
  if (g == nullptr) return;
  g->armed = 0;
  wu_state *s = wu_module();
  if (s != nullptr && s->ctl_tip_up && s->tip_shell != nullptr) {
    pop_down(s);
    wuttipc();
    s->tip_grace = 0;
    if (s->ctl_tip_timer == 0 && devb != nullptr) {
      s->ctl_tip_control = &g->c;
      s->ctl_tip_timer = XtAppAddTimeOut(devb->app, tip_delay(), show_later, &g->c);
    }
  }
  if (g->mode == kToggle) g->state = g->state ? 0 : 1;
  if (g->mode == kSticky) g->state = 1;
  if (g->mode != kPlain) SetShadow(g, true);
  wu_window *w = wu_ctl_window(&g->c);
  if (w != nullptr) {
    wu_old_pressed p = {&g->c, kGpbPressed, 0};
    wuxqwev(w, WU_EV_OLD_PRESSED, &p, int32_t(sizeof p));
  }
}

wu_status GraphClean(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || (entries != nullptr && count > 0) || wu_ctl_live(c)) return WU_OK;
  GraphButton *g = gpb(c);
  wubtn::pool_text_free(c, &g->text, &g->text_size);
  g->length = 0;
  if (g->picture != None && wu_x_ok()) XFreePixmap(devb->display, g->picture);
  g->picture = None;
  return WU_OK;
}

// The picture of a rectangle {x0, y0, x1, y1} of the easel, or of all of it.
wu_status take_picture(GraphButton *g, wu_easel *easel, const int16_t *rect) {
  if (easel == nullptr || !easel_of_window(wu_ctl_window(&g->c), easel) || !wu_x_ok())
    return WU_NOTAVAIL;
  const int32_t *info = wuginfo(easel);
  if (info == nullptr || info[WU_EINFO_KIND] != 0 || easel->drawable == None) return WU_NOTAVAIL;
  const int32_t ew = info[WU_EINFO_WIDTH], eh = info[WU_EINFO_HEIGHT];
  int32_t x = 0, y = 0, w = ew, h = eh;
  if (rect != nullptr) {
    if (rect[2] < rect[0] || rect[3] < rect[1] || rect[0] < 0 || rect[1] < 0 || rect[0] >= ew ||
        rect[1] >= eh)
      return WU_NOTAVAIL;
    x = rect[0];
    y = rect[1];
    w = std::min<int32_t>(rect[2], ew - 1) - x + 1;
    h = std::min<int32_t>(rect[3], eh - 1) - y + 1;
  }
  if (w < 1 || h < 1 || w > kMaxPixels || h > kMaxPixels) return WU_NOTAVAIL;
  Pixmap pm = XCreatePixmap(devb->display, easel->drawable, unsigned(w), unsigned(h),
                            unsigned(devb->depth));
  if (pm == None) return WU_NOTAVAIL;
  XCopyArea(devb->display, easel->drawable, pm, DefaultGC(devb->display, devb->screen), x, y,
            unsigned(w), unsigned(h), 0, 0);
  if (g->picture != None) XFreePixmap(devb->display, g->picture);
  g->picture = pm;
  g->pic_w = w;
  g->pic_h = h;
  if (rect != nullptr) {
    g->rx = x; g->ry = y; g->rw = w; g->rh = h;
  } else {
    g->rx = g->ry = g->rw = g->rh = 0;
  }
  g->c.width = w + kGpbFrame;
  g->c.height = h + kGpbFrame;
  return WU_OK;
}

wu_status build_graph(GraphButton *g) {
  wu_control *c = &g->c;
  if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  const wu_pane *p = c->pane;
  Arg args[36];
  Cardinal n = 0;
  XtSetArg(args[n], XmNlabelType, XmPIXMAP); ++n;
  XtSetArg(args[n], XmNx, Position(c->x - (std::max(p->left_column, 1) - 1) * gcw())); ++n;
  XtSetArg(args[n], XmNy, Position(c->y - (std::max(p->top_row, 1) - 1) * gch())); ++n;
  XtSetArg(args[n], XmNwidth, Dimension(std::max(c->width, 1))); ++n;
  XtSetArg(args[n], XmNheight, Dimension(std::max(c->height, 1))); ++n;
  for (String margin : {XmNmarginWidth, XmNmarginHeight, XmNmarginTop, XmNmarginBottom,
                             XmNmarginLeft, XmNmarginRight}) {
    XtSetArg(args[n], margin, Dimension(0)); ++n;
  }
  XtSetArg(args[n], XmNshadowThickness, Dimension(kGpbShadow)); ++n;
  XtSetArg(args[n], XmNhighlightThickness, Dimension(kGpbHighlight)); ++n;
  XtSetArg(args[n], XmNrecomputeSize, False); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNtraversalOn, False); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  if (g->mode == kPlain) {
    XtSetArg(args[n], XmNpushButtonEnabled, True); ++n;
  } else {
    XtSetArg(args[n], XmNpushButtonEnabled, False); ++n;
    XtSetArg(args[n], XmNshadowType, g->state == 1 ? XmSHADOW_IN : XmSHADOW_OUT); ++n;
  }
  n = Cardinal(wuwswvs(c, nullptr, args, int32_t(n)));
  Widget w = XtCreateWidget("graphButton", xmDrawnButtonWidgetClass, c->pane->ext->widget, args, n);
  if (w == nullptr) return WU_NOTAVAIL;
  g->widget = w;
  XtAddCallback(w, XmNexposeCallback, wuwgpbe, c);
  XtAddCallback(w, XmNactivateCallback, wuwgpbs, c);
  XtAddCallback(w, XmNarmCallback, wuwgpba, c);
  XtAddCallback(w, XmNdisarmCallback, wuwgpbd, c);
  wu_old_translations(w);
  if (wuwidrg != nullptr && c->dnd != nullptr) wuwidrg(w, static_cast<wu_dnd_site *>(c->dnd));
  XtAddEventHandler(w, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False, wuwtlwn, c);
  if (g->mode != kPlain) XtAddEventHandler(w, EnterWindowMask | LeaveWindowMask, False, wuwgpbh, c);
  XtManageChild(w);
  return WU_OK;
}

bool realised(const wu_pane *pane) {
  return (pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr && wu_x_ok();
}

}  // namespace

namespace wubtn {

// The tip of a graph push button without its own tip text: its text's part
// after the backslash-n pair.
bool graph_tip(wu_control *c, char *out, int32_t size) {
  if (c->kind != WU_MT_GRAPHBUTTON || size < 1) return false;
  GraphButton *g = gpb(c);
  const int32_t at = FindTip(g->text, g->length);
  if (at < 0) return false;
  const int32_t n = std::min({g->length - at, kTipMax, size - 1});
  std::memcpy(out, g->text + at, size_t(n));
  out[n] = '\0';
  return n > 0;
}

wu_status graph_set(wu_control *c, wu_value *entries, int32_t count) {
  GraphButton *g = gpb(c);
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_OK) continue;
    switch (v->code) {
      case kPixelX: case kPixelY:
        if (v->value < 0 || v->value > kMaxPixels) { v->status = WU_E_RANGE; break; }
        if (v->code == kPixelX) c->x = v->value; else c->y = v->value;
        if (g->widget != nullptr) {
          const wu_pane *p = c->pane;
          XtVaSetValues(g->widget, XmNx, Position(c->x - (std::max(p->left_column, 1) - 1) * gcw()),
                        XmNy, Position(c->y - (std::max(p->top_row, 1) - 1) * gch()), nullptr);
        }
        break;
      case kGpbText: {
        if (!text_ok(v)) { v->status = WU_E_RANGE; break; }
        if (v->value == 0) {
          pool_text_free(c, &g->text, &g->text_size);
          g->length = 0;
          break;
        }
        const wu_status st = pool_text(c, &g->text, &g->text_size, &g->length,
                                       static_cast<const char *>(v->pointer), v->value);
        if (st != WU_OK) v->status = st;
        break;
      }
      case kGpbRect: {
        const auto *r = static_cast<const int32_t *>(v->pointer);
        if (r == nullptr || r[2] < r[0] || r[3] < r[1]) { v->status = WU_E_RANGE; break; }
        g->rx = r[0];
        g->ry = r[1];
        g->rw = r[2] - r[0] + 1;
        g->rh = r[3] - r[1] + 1;
        if (g->rw > kMaxPixels || g->rh > kMaxPixels) { v->status = WU_E_RANGE; break; }
        c->width = g->rw + kGpbFrame;
        c->height = g->rh + kGpbFrame;
        if (g->widget != nullptr)
          XtVaSetValues(g->widget, XmNwidth, Dimension(c->width), XmNheight, Dimension(c->height), nullptr);
        break;
      }
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  return wu_ctl_entries_result(entries, count);
}

}  // namespace wubtn

extern "C" {

wu_status wutsgpb(wu_control *c, wu_easel *easel, const int16_t *rect) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_GRAPHBUTTON) return WU_NOTAVAIL;
  GraphButton *g = gpb(c);
  const wu_status st = take_picture(g, easel, rect);
  if (st != WU_OK) return st;
  if (g->widget != nullptr) {
    XtVaSetValues(g->widget, XmNwidth, Dimension(c->width), XmNheight, Dimension(c->height), nullptr);
    if (XtIsRealized(g->widget))
      XClearArea(XtDisplay(g->widget), XtWindow(g->widget), 0, 0, 0, 0, True);
  } else if (realised(c->pane) && build_graph(g) != WU_OK) {
    return WU_NOTAVAIL;
  }
  return WU_OK;
}

wu_status wutugpb(wu_control *c) {
  GraphButton *g = live_gpb(c);
  if (g == nullptr) return WU_NOTAVAIL;
  if (g->mode != kPlain) SetShadow(g, true);
  if (g->widget != nullptr && XtIsRealized(g->widget))
    XClearArea(XtDisplay(g->widget), XtWindow(g->widget), 0, 0, 0, 0, True);
  return WU_OK;
}

wu_status wutigpb(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_GRAPHBUTTON) return WU_NOTAVAIL;
  return build_graph(gpb(c));
}

// State services of a graph push button (slots 58 and 59).
wu_status wu_gpb_set_state(wu_control *c, int32_t state) {
  GraphButton *g = live_gpb(c);
  if (g == nullptr) return WU_NOTAVAIL;
  if (g->mode == kPlain) return WU_OK;
  g->state = state ? 1 : 0;
  return wutugpb(c);
}

int32_t wu_gpb_state(wu_control *c) {
  GraphButton *g = live_gpb(c);
  return g != nullptr ? g->state : 0;
}

wu_status wuxggpb(wu_pane *pane, wu_control **out, int32_t id, int32_t x, int32_t y,
                  const char *text, int32_t length, int32_t mode, wu_easel *easel,
                  const int16_t *rect, int32_t last_word) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  // The pane is looked up before anything of it is read.
  if (!wu_pane_live(pane) || pane->ext == nullptr) return WU_NOTAVAIL;
  if (mode < kPlain || mode > kSticky) return WU_NOTAVAIL;
  if (length == -1) length = text != nullptr ? int32_t(strnlen(text, kMaxPixels)) : 0;
  if (length < 0 || (length > 0 && text == nullptr) || x < 0 || y < 0 || x > kMaxPixels ||
      y > kMaxPixels)
    return WU_NOTAVAIL;
  if (easel == nullptr || !easel_of_window(pane->window, easel)) return WU_NOTAVAIL;
  const int32_t *info = wuginfo(easel);
  if (info == nullptr || info[WU_EINFO_KIND] != 0) return WU_NOTAVAIL;
  auto *g = static_cast<GraphButton *>(wutgmem(pane->window->pool, WU_MT_GRAPHBUTTON));
  if (g == nullptr) return WU_NOMEM;
  wu_control *c = &g->c;
  c->kind = WU_MT_GRAPHBUTTON;
  c->pane = pane;
  c->host_id.value = id;
  c->x = x;
  c->y = y;
  c->flags |= WU_CTL_TAKES_FOCUS;
  c->Cleanup = GraphClean;
  g->mode = mode;
  g->last_word = last_word;
  wu_ctl_link(c);
  if ((length > 0 && wubtn::pool_text(c, &g->text, &g->text_size, &g->length, text, length) != WU_OK) ||
      take_picture(g, easel, rect) != WU_OK) {
    wuxfwid(c);
    return WU_NOTAVAIL;
  }
  if (realised(pane) && build_graph(g) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

wu_status wuxuwid(wu_control *c, wu_easel *easel, const int16_t *rect) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  if (c->kind != WU_MT_GRAPHBUTTON) return WU_UNSUPPORTED;
  return wutsgpb(c, easel, rect);
}

}  // extern "C"
