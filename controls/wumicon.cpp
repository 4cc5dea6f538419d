// Icon fields: older pane controls shown as an icon with a text below or
// beside it at a cell position; pressing one moves the text cursor to its
// field or reports the press.  Also their setter and query, and the size in
// cells that an icon field with a text needs.
#include <X11/IntrinsicP.h>
#include <Xm/DrawnB.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>

#include "controls/wubutton.h"
#include "graphics/wugraph.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

// The display's shared pixmap store (the frames layer).
extern "C" wu_status wutgpix(int32_t icon, const wu_icon_colours *colours, int32_t depth,
                             int32_t flag, Pixmap *pixmap_out, int32_t *width_out,
                             int32_t *height_out);
extern "C" wu_status wutfpix(Pixmap pixmap);

namespace wubtn {

// Icon field (kind 19): the one widget first, as for every older kind.
struct IconField {
  wu_control c;
  Widget widget;             // the drawn button
  int32_t icon;              // host icon number
  uint32_t flags;            // kTextBeside
  char *text;                // the field's text, or the record's copy
  int32_t length;
  int16_t push;              // acts as a push button
  Pixmap pixmap;             // from the display's pixmap store (counted)
  int32_t icon_w;
  int32_t icon_h;
  int16_t text_x;
  int16_t text_y;
  XmString xtext;
  XmFontList font;           // the font list it draws with (not owned)
  int32_t text_w;
  int32_t text_h;
  uint8_t redraw;
  wu_field *field;           // the host field it shows, or null
  int32_t text_size;         // bytes of the record's own text copy (pool)
  GC gc;                     // the shared drawing GC (toolkit cache), held
};
static_assert(sizeof(IconField) <= WU_CTL_ICON_SIZE, "icon field fits its record kind");

namespace {

constexpr uint32_t kTextBeside = 1;         // flags: text beside the icon
constexpr uint32_t kNoBorder = 4;           // icon flags: no push-button border
constexpr int32_t kMargin = 2;
constexpr int32_t kShadowT = 4;
constexpr int32_t kHighlightT = 2;
constexpr int32_t kFrame = 2 * (kMargin + kShadowT + kHighlightT);
constexpr int32_t kIconSize = WU_ICON_LARGE;
constexpr int32_t kTrimmed = 124;           // at most 123 characters are measured
constexpr int32_t kShown = 200;
constexpr int32_t kMaxText = 4096;
constexpr int32_t kMaxCells = 4096;
constexpr char kTallSample[] = "XQqgjpW^$";

// Setter codes of the older kinds.
constexpr int16_t kRow = 33;
constexpr int16_t kColumn = 34;
constexpr int16_t kColumns = 36;
constexpr int16_t kColourIndex = 41;
constexpr int16_t kText = 43;
constexpr int16_t kIcon = 45;
constexpr int16_t kIconFlags = 46;

enum Geo { kHeight, kWidth, kTextW, kTextH, kMarginW, kMarginH, kMarginTop, kMarginBottom,
           kMarginLeft, kMarginRight, kShadow, kHighlight, kGeoWords };

int32_t cw() { return (devb && devb->cell_width > 0) ? devb->cell_width : 1; }
int32_t ch() { return (devb && devb->cell_height > 0) ? devb->cell_height : 1; }

IconField *icf(wu_control *c) { return reinterpret_cast<IconField *>(c); }

IconField *live_icf(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return (wu_ctl_live(c) && c->kind == WU_MT_ICONBUTTON) ? icf(c) : nullptr;
}

XmFontList text_fonts() { return devb ? devb->font_list : nullptr; }

// The text trimmed of blanks into the shown buffer, as a compound string.
XmString trimmed_string(const char *text, int32_t length, int32_t size) {
  char buf[kShown] = {};
  if (text != nullptr && length > 0) wuxtjfy(text, length, buf, std::min<int32_t>(size, kShown));
  buf[kShown - 1] = '\0';
  return wumcstr(buf);
}

void wuwgisi(XmString text, int32_t length, bool beside, int32_t *geo) {
  std::fill(geo, geo + kGeoWords, 0);
  XmFontList fl = text_fonts();
  Dimension tw = 0, th = 0;
  if (fl != nullptr && text != nullptr) XmStringExtent(fl, text, &tw, &th);
  if (fl != nullptr && (text == nullptr || XmStringEmpty(text))) {
    XmString tall = XmStringCreateLocalized(const_cast<char *>(kTallSample));
    th = XmStringHeight(fl, tall);
    XmStringFree(tall);
  }
  const int32_t c = std::max(length, 0) * cw();
  geo[kTextW] = tw;
  geo[kTextH] = th;
  geo[kMarginW] = kMargin;
  geo[kMarginH] = kMargin;
  geo[kShadow] = kShadowT;
  geo[kHighlight] = kHighlightT;
  int32_t iw = 0, ih = std::max<int32_t>(th, kIconSize);
  if (!beside) {
    geo[kMarginBottom] = th + kMargin;
    iw = std::max({c, int32_t(tw), kIconSize});
  } else {
    geo[kMarginRight] = c + 4;
    iw = kIconSize;
  }
  geo[kWidth] = iw + geo[kMarginLeft] + geo[kMarginRight] + kFrame;
  geo[kHeight] = ih + geo[kMarginTop] + geo[kMarginBottom] + kFrame;
}

Cardinal wuwsisa(Arg *args, Cardinal n, const int32_t *geo) {
  XtSetArg(args[n], XmNwidth, Dimension(geo[kWidth])); ++n;
  XtSetArg(args[n], XmNheight, Dimension(geo[kHeight])); ++n;
  XtSetArg(args[n], XmNmarginRight, Dimension(std::max(geo[kMarginRight], 0))); ++n;
  XtSetArg(args[n], XmNmarginBottom, Dimension(geo[kMarginBottom])); ++n;
  XtSetArg(args[n], XmNmarginTop, Dimension(geo[kMarginTop])); ++n;
  XtSetArg(args[n], XmNmarginLeft, Dimension(geo[kMarginLeft])); ++n;
  XtSetArg(args[n], XmNmarginHeight, Dimension(geo[kMarginH])); ++n;
  XtSetArg(args[n], XmNmarginWidth, Dimension(geo[kMarginW])); ++n;
  XtSetArg(args[n], XmNshadowThickness, Dimension(geo[kShadow])); ++n;
  XtSetArg(args[n], XmNhighlightThickness, Dimension(geo[kHighlight])); ++n;
  return n;
}

void wuwcicf(IconField *f, wu_ctl_colours *set) {
  wu_window *w = wu_ctl_window(&f->c);
  const int32_t index = f->c.colour_index;
  set->background = (index >= 0 && index < WU_DM_COLOURS) ? devb->dm_pixel[index] : devb->background;
  set->foreground = devb->icon_colours.foreground;
  (void)w;
  if (set->foreground == set->background)
    set->foreground = set->foreground == devb->dm_pixel[0] ? devb->dm_pixel[1] : devb->dm_pixel[0];
  Pixel fg = 0, select = 0;
  XmGetColors(XtScreen(devb->toplevel), devb->colormap, set->background, &fg, &set->top_shadow,
              &set->bottom_shadow, &select);
}

// The pixel position of the record's cells in its pane.
void cell_origin(IconField *f, int32_t *x, int32_t *y) {
  const wu_pane *p = f->c.pane;
  *x = (f->c.x - std::max(p->left_column, 1)) * cw();
  *y = (f->c.y - std::max(p->top_row, 1)) * ch();
}

int32_t available_width(IconField *f) {
  if (f->c.flags & WU_CTL_TAKES_FOCUS) return f->c.width;
  return f->c.width * cw();
}

void cells_from_widget(IconField *f) {
  if (f->widget == nullptr) return;
  f->c.height = wu_cell_of(f->widget->core.height, ch());
  f->c.width = wu_cell_of(f->widget->core.width, cw());
}

void wuwdicn(Widget w, XtPointer client, XtPointer call) {
  IconField *f = live_icf(client);
  if (f == nullptr || !XtIsRealized(w) || f->gc == nullptr) return;
  auto *cbs = static_cast<XmDrawnButtonCallbackStruct *>(call);
  if (cbs != nullptr && cbs->event != nullptr && cbs->event->type == Expose &&
      cbs->event->xexpose.count > 0)
    return;
  Dimension mw = 0, mh = 0, shadow = 0, highlight = 0;
  Pixel fg = 0, bg = 0;
  XtVaGetValues(w, XmNmarginWidth, &mw, XmNmarginHeight, &mh, XmNshadowThickness, &shadow,
                XmNhighlightThickness, &highlight, XmNforeground, &fg, XmNbackground, &bg, nullptr);
  // The icon area: inside the frame, the icon's size.
  const int32_t ax = shadow + highlight + mw, ay = shadow + highlight + mh;
  const int32_t aw = std::max(f->icon_w, 0), ah = std::max(f->icon_h, kIconSize);
  const bool beside = (f->flags & kTextBeside) != 0;
  if (!beside) {
    f->text_x = int16_t(std::max<int32_t>(ax + aw / 2 - f->text_w / 2, mw));
    f->text_y = int16_t(ay + ah + 2);
  } else {
    f->text_x = int16_t(ax + aw + 6);
    f->text_y = int16_t(std::max<int32_t>(ay + (ah - f->text_h) / 2, mh));
  }
  Display *d = XtDisplay(w);
  if (DefaultDepthOfScreen(XtScreen(w)) == 1 && fg == bg)
    fg = fg == BlackPixelOfScreen(XtScreen(w)) ? WhitePixelOfScreen(XtScreen(w))
                                               : BlackPixelOfScreen(XtScreen(w));
  XSetForeground(d, f->gc, fg);
  XSetBackground(d, f->gc, bg);
  XSetFillStyle(d, f->gc, FillSolid);
  const int32_t avail = available_width(f);
  int32_t draw_w = f->text_w;
  XmString shown = f->xtext;
  XmString cut = nullptr;
  if (beside && f->text != nullptr) {
    const int32_t start = mh + cw() + f->icon_w + 4;
    const int32_t chars = (avail - start) / cw() - 1;
    if (chars >= 1 && chars < f->length) {
      cut = trimmed_string(f->text, chars, chars + 1);
      shown = cut;
    }
    const int32_t right = std::max(avail - 2 * cw() - f->icon_w, 0);
    Dimension now = 0;
    XtVaGetValues(w, XmNmarginRight, &now, nullptr);
    if (now != right) XtVaSetValues(w, XmNmarginRight, Dimension(right), nullptr);
    draw_w = std::max(f->text_w - cw(), 1);
  } else if (!beside && f->text_w >= avail - cw()) {
    f->text_x = int16_t(cw());
  }
  if (shown != nullptr && text_fonts() != nullptr)
    XmStringDraw(d, XtWindow(w), text_fonts(), shown, f->gc, Position(f->text_x),
                 Position(f->text_y), Dimension(std::max(draw_w, 1)), XmALIGNMENT_BEGINNING,
                 XmSTRING_DIRECTION_L_TO_R, nullptr);
  if (cut != nullptr) XmStringFree(cut);
  if ((f->c.flags & WU_CTL_GRAYED) && devb->stipple[WU_STIPPLE_50]) {
    XSetForeground(d, f->gc, bg);
    XSetStipple(d, f->gc, devb->stipple[WU_STIPPLE_50]);
    XSetFillStyle(d, f->gc, FillStippled);
    XFillRectangle(d, XtWindow(w), f->gc, f->text_x, f->text_y, unsigned(std::max(f->text_w, 1)),
                   unsigned(std::max(f->text_h, 1)));
    XSetFillStyle(d, f->gc, FillSolid);
  }
  f->redraw = 0;
}

void wuwicns(Widget w, XtPointer client, XtPointer) {
  IconField *f = live_icf(client);
  if (f == nullptr) return;
  wu_control *c = &f->c;
  wu_window *win = wu_ctl_window(c);
  if (f->field != nullptr) {
    wu_field *fd = f->field;
    if (wuxmcrs != nullptr && win != nullptr) wuxmcrs(win, c->pane, fd->row, fd->column);
    if (!wu_ctl_live(c)) return;
    if ((fd->flags & WU_FLD_BUTTON_EVENTS) && (fd->flags2 & WU_FLD2_PRESS_EVENT) && win != nullptr) {
      wu_field_press p = {c->pane, fd, WU_FIELD_PRESS_CODE, fd->row, fd->column, WU_FIELD_PRESS_KIND};
      wuxqwev(win, WU_EV_FIELD_BUTTON, &p, int32_t(sizeof p));
    }
    return;
  }
  if (c->procedure != nullptr) {
    wu_ctl_send(c, WU_EV_SELECT, 0, w->core.x, w->core.y, nullptr, 0, WU_EV_CTL_POSTED);
    return;
  }
  wu_old_pressed_event(c, WU_EV_OLD_PRESSED, true);
}

void wuwicds(Widget, XtPointer client, XtPointer) {
  IconField *f = live_icf(client);
  if (f == nullptr) return;
  if (f->pixmap != None) wutfpix(f->pixmap);
  f->pixmap = None;
  if (f->xtext != nullptr) XmStringFree(f->xtext);
  f->xtext = nullptr;
  if (f->gc != nullptr) XtReleaseGC(f->widget, f->gc);
  f->gc = nullptr;
  f->widget = nullptr;
}

bool load_icon(IconField *f, int32_t icon) {
  Pixmap pm = None;
  int32_t w = 0, h = 0;
  if (icon < 0 ||
      wutgpix(icon, &devb->icon_colours, devb->depth, 0, &pm, &w, &h) != WU_OK || pm == None)
    return false;
  if (f->pixmap != None) wutfpix(f->pixmap);
  f->pixmap = pm;
  f->icon_w = w;
  f->icon_h = h;
  return true;
}

void set_text(IconField *f, const char *text, int32_t length) {
  if (f->xtext != nullptr) XmStringFree(f->xtext);
  f->xtext = trimmed_string(text, length, kShown);
  Dimension tw = 0, th = 0;
  if (text_fonts() != nullptr && f->xtext != nullptr) XmStringExtent(text_fonts(), f->xtext, &tw, &th);
  f->text_w = tw;
  f->text_h = th;
}

// Lays the widget out again after a change of text, icon or side.
void relayout(IconField *f, int32_t length) {
  if (f->widget == nullptr) return;
  int32_t geo[kGeoWords];
  wuwgisi(f->xtext, length, (f->flags & kTextBeside) != 0, geo);
  f->text_w = geo[kTextW];
  f->text_h = geo[kTextH];
  if (geo[kWidth] == f->widget->core.width) f->widget->core.width = Dimension(std::max(geo[kWidth] - 1, 1));
  Arg args[12];
  const Cardinal n = wuwsisa(args, 0, geo);
  XtSetValues(f->widget, args, n);
  cells_from_widget(f);
  if (XtIsRealized(f->widget)) XClearArea(XtDisplay(f->widget), XtWindow(f->widget), 0, 0, 0, 0, True);
}

wu_status IconClean(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || (entries != nullptr && count > 0) || wu_ctl_live(c)) return WU_OK;
  IconField *f = icf(c);
  if (f->text_size > 0) pool_text_free(c, &f->text, &f->text_size);
  f->text = nullptr;
  if (f->pixmap != None) wutfpix(f->pixmap);
  f->pixmap = None;
  if (f->xtext != nullptr) XmStringFree(f->xtext);
  f->xtext = nullptr;
  if (f->gc != nullptr && f->widget != nullptr && wu_x_ok()) XtReleaseGC(f->widget, f->gc);
  f->gc = nullptr;
  if (f->field != nullptr && f->field->control == c) f->field->control = nullptr;
  f->field = nullptr;
  return WU_OK;
}

}  // namespace

// Builds an icon field's widget.
wu_status build_icon_field(IconField *f) {
  wu_control *c = &f->c;
  if (!wu_x_ok() || c->pane == nullptr || c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  wu_ctl_colours set;
  wuwcicf(f, &set);
  if (f->pixmap == None && !load_icon(f, f->icon)) return WU_NOTAVAIL;
  set_text(f, f->text, f->length);
  int32_t x = 0, y = 0;
  cell_origin(f, &x, &y);
  int32_t geo[kGeoWords];
  wuwgisi(f->xtext, f->length, (f->flags & kTextBeside) != 0, geo);
  Arg args[40];
  Cardinal n = 0;
  XtSetArg(args[n], XmNlabelType, XmPIXMAP); ++n;
  XtSetArg(args[n], XmNlabelPixmap, f->pixmap); ++n;
  XtSetArg(args[n], XmNlabelInsensitivePixmap, f->pixmap); ++n;
  XtSetArg(args[n], XmNx, Position(x)); ++n;
  XtSetArg(args[n], XmNy, Position(y)); ++n;
  XtSetArg(args[n], XmNrecomputeSize, False); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNtraversalOn, False); ++n;
  XtSetArg(args[n], XmNpushButtonEnabled, f->push ? True : False); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  n = wuwsisa(args, n, geo);
  n = Cardinal(wuwswvs(c, &set, args, int32_t(n)));
  Widget w = XtCreateWidget("QEVIcon", xmDrawnButtonWidgetClass, c->pane->ext->widget, args, n);
  if (w == nullptr) {
    if (f->xtext != nullptr) XmStringFree(f->xtext);
    f->xtext = nullptr;
    wutfpix(f->pixmap);
    f->pixmap = None;
    return WU_NOTAVAIL;
  }
  f->widget = w;
  f->gc = icon_gc(w, GCForeground | GCBackground | GCClipMask | GCStipple | GCFillStyle);
  XtAddCallback(w, XmNexposeCallback, wuwdicn, c);
  XtAddCallback(w, XmNactivateCallback, wuwicns, c);
  XtAddCallback(w, XmNdestroyCallback, wuwicds, c);
  if (wuwidrg != nullptr && c->dnd != nullptr) wuwidrg(w, static_cast<wu_dnd_site *>(c->dnd));
  wu_old_translations(w);
  XtManageChild(w);
  cells_from_widget(f);
  return WU_OK;
}

}  // namespace wubtn

using namespace wubtn;

extern "C" {

wu_status wu_icf_put_text(wu_control *c, const char *text) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_ICONBUTTON) return WU_NOTAVAIL;
  IconField *f = icf(c);
  const int32_t n = text != nullptr ? int32_t(std::strlen(text)) : 0;
  const wu_status st = pool_text(c, &f->text, &f->text_size, &f->length, text != nullptr ? text : "", n);
  if (st != WU_OK) return st;
  set_text(f, f->text, f->length);
  relayout(f, f->length);
  return WU_OK;
}

wu_status wutiicf(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_ICONBUTTON) return WU_NOTAVAIL;
  return build_icon_field(icf(c));
}

wu_status wutwicf(wu_control *c) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_ICONBUTTON) return WU_NOTAVAIL;
  IconField *f = icf(c);
  wu_field *fd = f->field;
  if (fd == nullptr || f->widget == nullptr) return WU_OK;
  Widget w = f->widget;
  Arg args[16];
  Cardinal n = 0;
  if (fd->colour != c->colour_index) {
    c->colour_index = fd->colour;
    wu_ctl_colours set;
    wuwcicf(f, &set);
    n = Cardinal(wuwswvs(c, &set, args, int32_t(n)));
  }
  const int32_t icon = int32_t(fd->highlight & 0xffff);
  if (icon != f->icon) {
    f->icon = icon;
    if (!load_icon(f, icon)) {
      if (f->pixmap != None) wutfpix(f->pixmap);
      f->pixmap = None;
    }
    XtSetArg(args[n], XmNlabelPixmap, f->pixmap != None ? f->pixmap : XmUNSPECIFIED_PIXMAP); ++n;
    XtSetArg(args[n], XmNlabelInsensitivePixmap, f->pixmap != None ? f->pixmap : XmUNSPECIFIED_PIXMAP); ++n;
  }
  XmString now = trimmed_string(fd->text, fd->length, kShown);
  const bool changed = f->xtext == nullptr || !XmStringCompare(now, f->xtext);
  XmStringFree(now);
  if (changed) {
    if (f->text_size > 0) pool_text_free(c, &f->text, &f->text_size);
    f->text = fd->text;
    f->length = fd->length;
    set_text(f, f->text, f->length);
  }
  if (fd->row != c->y || fd->column != c->x) {
    c->y = fd->row;
    c->x = fd->column;
    int32_t x = 0, y = 0;
    cell_origin(f, &x, &y);
    XtSetArg(args[n], XmNx, Position(x)); ++n;
    XtSetArg(args[n], XmNy, Position(y)); ++n;
  }
  const uint32_t beside = (fd->flags2 & WU_FLD2_TEXT_BESIDE) ? kTextBeside : 0;
  if (changed || beside != (f->flags & kTextBeside)) {
    if (XtIsRealized(w))
      XClearArea(XtDisplay(w), XtWindow(w), f->text_x, f->text_y, unsigned(std::max(f->text_w, 1)),
                 unsigned(std::max(f->text_h, 1)), False);
    f->flags = (f->flags & ~kTextBeside) | beside;
  }
  if (n > 0) XtSetValues(w, args, n);
  relayout(f, fd->length);
  if (changed) wuwdicn(w, c, nullptr);
  return WU_OK;
}

wu_status wuxicsz(const char *text, int32_t length, int32_t beside, int32_t *rows_out,
                  int32_t *columns_out) {
  if (rows_out == nullptr || columns_out == nullptr || !wu_x_ok()) return WU_NOTAVAIL;
  if (length < 0) length = text != nullptr ? int32_t(strnlen(text, kMaxText)) : 0;
  if (length > 0 && text == nullptr) return WU_NOTAVAIL;
  XmString s = trimmed_string(text, std::min(length, kTrimmed - 1), kTrimmed);
  int32_t geo[kGeoWords];
  wuwgisi(s, length, beside != 0, geo);
  XmStringFree(s);
  *rows_out = wu_cell_of(geo[kHeight], ch());
  *columns_out = wu_cell_of(geo[kWidth], cw());
  return WU_OK;
}

wu_status wuxgicb(wu_pane *pane, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t colour, const char *text, int32_t length, int32_t icon,
                  int32_t icon_flags) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  // The pane is looked up before anything of it is read.
  if (!wu_pane_live(pane) || pane->ext == nullptr) return WU_NOTAVAIL;
  if (length == -1) length = text != nullptr ? int32_t(strnlen(text, kMaxText + 1)) : 0;
  if (length < 0 || length > kMaxText || (length > 0 && text == nullptr) || icon < 0 ||
      row < 1 || row > kMaxCells || column < 1 || column > kMaxCells)
    return WU_NOTAVAIL;
  auto *f = static_cast<IconField *>(wutgmem(pane->window->pool, WU_MT_ICONBUTTON));
  if (f == nullptr) return WU_NOMEM;
  wu_control *c = &f->c;
  c->kind = WU_MT_ICONBUTTON;
  c->pane = pane;
  c->host_id.value = id;
  c->y = row;
  c->x = column;
  c->colour_index = colour;
  c->Cleanup = IconClean;
  f->icon = icon;
  f->push = (uint32_t(icon_flags) & kNoBorder) ? 0 : 1;
  wu_ctl_link(c);
  if (pool_text(c, &f->text, &f->text_size, &f->length, text, length) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  if ((pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr && wu_x_ok() &&
      build_icon_field(f) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

}  // extern "C"

namespace {

// The graphics colour a graph push button's background answers.
constexpr int32_t kGraphBackground = 14;

}  // namespace

extern "C" {

wu_status wumswic(wu_control *c, wu_value *entries, int32_t count) {
  if (!wu_ctl_live(c) || (count > 0 && entries == nullptr) || count < 0) return WU_NOTAVAIL;
  if (c->kind == WU_MT_GRAPHBUTTON) return graph_set(c, entries, count);
  if (c->kind != WU_MT_ICONBUTTON) return WU_NOTAVAIL;
  IconField *f = icf(c);
  bool relay = false;
  Arg args[8];
  Cardinal n = 0;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_OK) continue;
    switch (v->code) {
      case kRow: case kColumn:
        if (v->value < 1 || v->value > kMaxCells) { v->status = WU_E_RANGE; break; }
        if (v->code == kRow) c->y = v->value; else c->x = v->value;
        if (f->widget != nullptr) {
          int32_t x = 0, y = 0;
          cell_origin(f, &x, &y);
          XtVaSetValues(f->widget, XmNx, Position(x), XmNy, Position(y), nullptr);
        }
        break;
      case kColumns:
        if (v->value < 1 || v->value > kMaxCells) { v->status = WU_E_RANGE; break; }
        c->width = v->value;
        break;
      case kColourIndex:
        c->colour_index = v->value;
        if (f->widget != nullptr) {
          wu_ctl_colours set;
          wuwcicf(f, &set);
          n = Cardinal(wuwswvs(c, &set, args, 0));
          XtSetValues(f->widget, args, n);
          n = 0;
        }
        break;
      case kText: {
        if (!text_ok(v)) { v->status = WU_E_RANGE; break; }
        XmString s = trimmed_string(static_cast<const char *>(v->pointer), v->value, kShown);
        if (s == nullptr) { v->status = WU_E_SIZE_FIXED; break; }
        XmStringFree(s);
        const wu_status st = pool_text(c, &f->text, &f->text_size, &f->length,
                                       static_cast<const char *>(v->pointer), v->value);
        if (st != WU_OK) { v->status = st; break; }
        set_text(f, f->text, f->length);
        relay = true;
        break;
      }
      case kIcon:
        if (!load_icon(f, v->value)) { v->status = WU_E_RANGE; break; }
        f->icon = v->value;
        if (f->widget != nullptr)
          XtVaSetValues(f->widget, XmNlabelPixmap, f->pixmap, XmNlabelInsensitivePixmap, f->pixmap,
                        nullptr);
        relay = true;
        break;
      case kIconFlags:
        f->push = (uint32_t(v->value) & kNoBorder) ? 0 : 1;
        if (f->widget != nullptr)
          XtVaSetValues(f->widget, XmNpushButtonEnabled, f->push ? True : False, nullptr);
        relay = true;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (relay) relayout(f, f->length);
  return wu_ctl_entries_result(entries, count);
}

wu_status wumqwic(wu_control *c, wu_value *entries, int32_t count) {
  if (!wu_ctl_live(c) || (count > 0 && entries == nullptr) || count < 0) return WU_NOTAVAIL;
  static bool fetched = false;
  static int32_t rgb[3] = {};
  for (int32_t i = 0; i < count; ++i) entries[i].status = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (c->kind != WU_MT_GRAPHBUTTON || v->code != WU_A_BACKGROUND) {
      v->status = WU_E_NOT_HANDLED;
      continue;
    }
    if (v->type != WU_VT_WORD || v->pointer == nullptr) {
      v->status = WU_E_RANGE;
      return WU_ENTRY_STATUS;
    }
    if (!fetched) fetched = wuggdmc(kGraphBackground, rgb) == WU_OK;
    auto *out = static_cast<uint16_t *>(v->pointer);
    for (int k = 0; k < 3; ++k) out[k] = static_cast<uint16_t>(rgb[k]);
  }
  return wu_ctl_entries_result(entries, count);
}

}  // extern "C"
