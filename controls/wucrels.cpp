// Control records and their widgets: which records are alive, the main and
// outer widgets, show and hide, gray, the cell rectangle, following the
// pane's scroll origin, colours, and the two-step release (unlink now,
// destroy the widgets at the next display update).
#include <Xm/Text.h>
#include <Xm/TextF.h>
#include <Xm/TextOutP.h>
#include <Xm/TextP.h>
#include <Xm/Xm.h>

#include <algorithm>

#include "controls/wucontrol.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"

extern "C" {
// Builders of the other control kinds, linked when their kinds are.
wu_status wutirbx(wu_control *) __attribute__((weak));
wu_status wutipbn(wu_control *) __attribute__((weak));
wu_status wutipbf(wu_control *) __attribute__((weak));
wu_status wuticbx(wu_control *) __attribute__((weak));
wu_status wutitog(wu_control *) __attribute__((weak));
wu_status wutilbx(wu_control *) __attribute__((weak));
wu_status wutiicf(wu_control *) __attribute__((weak));
wu_status wutigpb(wu_control *) __attribute__((weak));
wu_status wuticbo(wu_control *) __attribute__((weak));
wu_status wutilvw(wu_control *) __attribute__((weak));
wu_status wutisbx(wu_control *) __attribute__((weak));
wu_status wutitre(wu_control *) __attribute__((weak));
wu_status wutippb(wu_control *) __attribute__((weak));
wu_status wutipsl(wu_control *) __attribute__((weak));
wu_status wutipck(wu_control *) __attribute__((weak));
wu_status wuxirbo(wu_control *) __attribute__((weak));
wu_status wutidco(wu_control *) __attribute__((weak));
wu_status wutilbw(wu_control *) __attribute__((weak));
wu_status wuwiprg(wu_control *) __attribute__((weak));
// Tool-tip timer of the controls that show tips (linked with the tips).
void wuwtlst(wu_control *) __attribute__((weak));
}

#pragma weak wutisbr
#pragma weak wutiscl

namespace {

using Builder = wu_status (*)(wu_control *);

// The frames layer builds a bar from its window, pane and bar record.
wu_status build_bar(wu_control *c) {
  if (wutisbr == nullptr) return WU_UNSUPPORTED;
  return wutisbr(wu_ctl_window(c), c->pane, reinterpret_cast<wu_bar *>(c));
}

wu_status build_scaled_bar(wu_control *c) {
  if (wutiscl == nullptr) return WU_UNSUPPORTED;
  return wutiscl(wu_ctl_window(c), c->pane, reinterpret_cast<wu_bar *>(c));
}

struct KindBuilder {
  int32_t kind;
  Builder build;
};

// The builder of each record kind (null where the kind is not linked).
const KindBuilder kBuilders[] = {
    {WU_MT_PANE_VBAR, build_bar},   {WU_MT_PANE_HBAR, build_bar},
    {WU_MT_OLD_RADIOBOX, wutirbx},  {WU_MT_OLD_PUSHBUTTON, wutipbn},
    {WU_MT_FIELD_BUTTON, wutipbf},  {WU_MT_OLD_CHECKBOX, wuticbx},
    {WU_MT_FIELD_TOGGLE, wutitog},  {WU_MT_OLD_LISTBOX, wutilbx},
    {WU_MT_BAR, build_bar},         {WU_MT_BAR2, build_bar},
    {WU_MT_ICONBUTTON, wutiicf},    {WU_MT_SCALE, build_scaled_bar},
    {WU_MT_SCALE2, build_scaled_bar}, {WU_MT_GRAPHBUTTON, wutigpb},
    {WU_MT_COMBOBOX, wuticbo},      {WU_MT_LABEL, wutifld},
    {WU_MT_ENTRY, wutifld},         {WU_MT_MLENTRY, wutifld},
    {WU_MT_LISTVIEW, wutilvw},      {WU_MT_SPINBOX, wutisbx},
    {WU_MT_TREEVIEW, wutitre},      {WU_MT_PUSHBUTTON, wutippb},
    {WU_MT_SCROLLBAR2, wutipsl},    {WU_MT_SCROLLBAR, wutipsl},
    {WU_MT_CHECKBOX, wutipck},      {WU_MT_RADIOBOX, wuxirbo},
    {WU_MT_DESKTOPICON, wutidco},   {WU_MT_LISTBOX, wutilbw},
    {WU_MT_PROGRESSBAR, wuwiprg},
};

// Kinds whose cell rectangle is their stored position and size.
bool keeps_stored_rect(int32_t kind) {
  switch (kind) {
    case WU_MT_GRAPHBUTTON: case WU_MT_COMBOBOX: case WU_MT_LABEL: case WU_MT_ENTRY:
    case WU_MT_MLENTRY: case WU_MT_TREEVIEW:
      return true;
    default:
      return false;
  }
}

// Kinds that show tool tips.
bool shows_tips(int32_t kind) {
  switch (kind) {
    case WU_MT_GRAPHBUTTON: case WU_MT_COMBOBOX: case WU_MT_ENTRY: case WU_MT_MLENTRY:
    case WU_MT_SPINBOX: case WU_MT_PUSHBUTTON: case WU_MT_SCROLLBAR: case WU_MT_CHECKBOX:
    case WU_MT_RADIOBOX: case WU_MT_DESKTOPICON: case WU_MT_PROGRESSBAR:
      return true;
    default:
      return false;
  }
}

bool is_bar(int32_t kind) {
  switch (kind) {
    case WU_MT_PANE_VBAR: case WU_MT_PANE_HBAR: case WU_MT_BAR: case WU_MT_BAR2:
    case WU_MT_SCALE: case WU_MT_SCALE2: case WU_MT_SCROLLBAR: case WU_MT_SCROLLBAR2:
      return true;
    default:
      return false;
  }
}

// Which extra colour resource a kind takes with its colour set.
enum class Role { Plain, Trough, Arm, Toggle, Box };

Role colour_role(int32_t kind) {
  if (is_bar(kind) || kind == WU_MT_PROGRESSBAR) return Role::Trough;
  switch (kind) {
    case WU_MT_OLD_PUSHBUTTON: case WU_MT_FIELD_BUTTON: case WU_MT_PUSHBUTTON:
    case WU_MT_ICONBUTTON: case WU_MT_DESKTOPICON:
      return Role::Arm;
    case WU_MT_RADIOBUTTON: case WU_MT_OLD_CHECKBOX: case WU_MT_FIELD_TOGGLE: case WU_MT_CHECKBOX:
      return Role::Toggle;
    case WU_MT_OLD_RADIOBOX: case WU_MT_RADIOBOX:
      return Role::Box;
    default:
      return Role::Plain;
  }
}

// The toolkit's select colour for a background.
Pixel select_colour(Pixel background) {
  Pixel fg = 0, top = 0, bottom = 0, select = background;
  XmGetColors(XtScreen(devb->toplevel), devb->colormap, background, &fg, &top, &bottom, &select);
  return select;
}

// The control's colour class with the toolkit's shadows for its background.
void colours_by_toolkit(wu_control *c, wu_ctl_colours *set) {
  wu_ctl_class_colours(wu_ctl_window(c), set);
  Pixel fg = 0, select = 0;
  XmGetColors(XtScreen(devb->toplevel), devb->colormap, set->background, &fg, &set->top_shadow,
              &set->bottom_shadow, &select);
}

// The toolkit's stipple images, drawn in the set's foreground over its
// background; the toolkit caches them by name and colours.
const char kStipple25[] = "25_foreground";
const char kStipple50[] = "50_foreground";

Pixmap shadow_stipple(const char *image, const wu_ctl_colours &set) {
  Pixmap p = XmGetPixmapByDepth(XtScreen(devb->toplevel), const_cast<char *>(image),
                                set.foreground, set.background, devb->depth);
  return p == XmUNSPECIFIED_PIXMAP ? Pixmap(None) : p;
}

// Background and shadows of a set, and the kind's select colour.
void apply_colours(Widget w, const wu_ctl_colours &set, Role role) {
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNbackground, set.background); ++n;
  XtSetArg(args[n], XmNbottomShadowColor, set.bottom_shadow); ++n;
  XtSetArg(args[n], XmNtopShadowColor, set.top_shadow); ++n;
  if (role == Role::Trough) { XtSetArg(args[n], XmNtroughColor, select_colour(set.background)); ++n; }
  if (role == Role::Arm) { XtSetArg(args[n], XmNarmColor, select_colour(set.background)); ++n; }
  XtSetValues(w, args, n);
}

bool is_control_kind(int32_t kind) {
  return kind >= WU_MT_PANE_VBAR && kind <= WU_MT_LAST && kind != WU_MT_POPUP_MENU;
}

// Records that carry an outer widget after their main one.  The older kinds
// and the bars (the scroll-bar control shares the older bar's record) keep
// their own fields after the one widget.
bool has_outer(int32_t kind) {
  if (kind == WU_MT_OLD_LISTBOX) return true;  // the list and its titled form
  return kind >= WU_MT_COMBOBOX && kind <= WU_MT_LAST && kind != WU_MT_SCROLLBAR &&
         kind != WU_MT_SCROLLBAR2;
}

// Cell size of the display, never zero.
int32_t cell_w() { return (devb && devb->cell_width > 0) ? devb->cell_width : 1; }
int32_t cell_h() { return (devb && devb->cell_height > 0) ? devb->cell_height : 1; }

}  // namespace

extern "C" {

// Every lookup below goes through the registry of what the module handed
// out: an address is looked up before anything behind it is read.

bool wu_window_live(const wu_window *w) { return wu_reg_has(w, WU_REG_WINDOW) != 0; }

bool wu_pane_live(const wu_pane *pane) {
  return wu_reg_has(pane, WU_REG_PANE) && pane->ext != nullptr && wu_window_live(pane->window);
}

bool wu_ctl_live(const wu_control *c) {
  if (!wu_reg_has(c, WU_REG_CONTROL)) return false;
  // The controls of a window released from inside a callback are inert
  // until the window goes with them.
  const wu_window *w = wu_ctl_window(c);
  return w == nullptr || wu_reg_kind_of(w) != WU_REG_WINDOW_GOING;
}

bool wu_ctl_released(const wu_control *c) { return wu_reg_has(c, WU_REG_CTL_RELEASED) != 0; }

void wu_handle_add(wu_ctl_handle *h) { wu_reg_add(h, WU_REG_HANDLE); }
void wu_handle_forget(wu_ctl_handle *h) { wu_reg_remove(h); }
bool wu_handle_known(const wu_ctl_handle *h) { return wu_reg_has(h, WU_REG_HANDLE) != 0; }

wu_control *wu_ctl_of(const wu_ctl_handle *h) {
  if (!wu_handle_known(h)) return nullptr;
  wu_control *c = h->control;
  return (wu_ctl_live(c) && c->handle == h) ? c : nullptr;
}

wu_window *wu_ctl_window(const wu_control *c) {
  return (c != nullptr && c->pane != nullptr) ? c->pane->window : nullptr;
}

void wu_ctl_link(wu_control *c) {
  wu_pane_ext *ext = c->pane->ext;
  c->next = nullptr;
  c->prev = ext->controls_last;
  if (ext->controls_last != nullptr)
    ext->controls_last->next = c;
  else
    ext->controls = c;
  ext->controls_last = c;
  ext->flags |= WU_PEXT_HAS_CONTROLS;
  // From here on the host may name it: every slot finds it registered.
  wu_reg_add(c, WU_REG_CONTROL);
  // The first control of a pane without fields takes its text cursor away.
  wu_window *w = c->pane->window;
  if (c->prev == nullptr && c->pane->fields == nullptr && wuxmcur != nullptr && w != nullptr &&
      w->current_pane == c->pane)
    wuxmcur(w);
}

wu_status wutiwid(wu_control *c) {
  if (c == nullptr) return WU_NOTAVAIL;
  for (const KindBuilder &b : kBuilders)
    if (b.kind == c->kind) return b.build != nullptr ? b.build(c) : WU_UNSUPPORTED;
  return WU_UNSUPPORTED;
}

Widget wuwgxtw(wu_control *c) {
  if (c == nullptr || !is_control_kind(c->kind)) return nullptr;
  return wu_ctl_w(c)->main;
}

Widget wu_ctl_outer(wu_control *c) {
  if (c == nullptr || !is_control_kind(c->kind)) return nullptr;
  wu_ctl_widgets *w = wu_ctl_w(c);
  return has_outer(c->kind) && w->outer != nullptr ? w->outer : w->main;
}

wu_status wutmapw(wu_control *c, int32_t show) {
  Widget w = wu_ctl_outer(c);
  if (w == nullptr || !wu_x_ok()) return WU_OK;
  wu_window *win = wu_ctl_window(c);
  if (!show) {
    // A bar being dragged or repeating ends when its sensitivity changes.
    if (is_bar(c->kind)) XtSetSensitive(wuwgxtw(c), (c->flags & WU_CTL_GRAYED) == 0);
    XtUnmanageChild(w);
    XFlush(devb->display);
    if (c->kind != WU_MT_LISTVIEW && win != nullptr && wuwFocusToQevinput) wuwFocusToQevinput(win);
    c->flags &= ~WU_CTL_SHOWN;
  } else {
    if (!w->core.mapped_when_managed) XtSetMappedWhenManaged(w, True);
    XtManageChild(w);
    c->flags |= WU_CTL_SHOWN;
    if (c->kind == WU_MT_COMBOBOX) XFlush(devb->display);
  }
  return WU_OK;
}

wu_status wuxhwid(wu_control *c, int32_t show) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  // Only show (1) and hide (0) mean something: anything else changes
  // nothing and says so.
  if (show != 0 && show != 1) return WU_E_RANGE;
  if (show == 1)
    c->flags &= ~WU_CTL_HIDDEN;
  else
    c->flags |= WU_CTL_HIDDEN;
  wutmapw(c, (c->flags & WU_CTL_HIDDEN) ? 0 : 1);
  return WU_OK;
}

static int g_graying = 0;   // grayings and ungrayings under way

wu_status wuxgrwd(wu_control *c, int32_t gray) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  const bool grayed = (c->flags & WU_CTL_GRAYED) != 0;
  if (grayed == (gray != 0)) return WU_OK;
  if (gray)
    c->flags |= WU_CTL_GRAYED;
  else
    c->flags &= ~WU_CTL_GRAYED;
  Widget outer = wu_ctl_outer(c);
  Widget main = wuwgxtw(c);
  // The focus moves off a control being grayed inside these calls; the
  // text kinds' focus handlers let that pass (wu_ctl_graying).
  ++g_graying;
  if (outer != nullptr) XtSetSensitive(outer, gray ? False : True);
  if (main != nullptr && main != outer) XtSetSensitive(main, gray ? False : True);
  --g_graying;
  return WU_OK;
}

bool wu_ctl_graying(void) { return g_graying > 0; }

wu_status wuxgrst(wu_control *c) {
  // A control the module does not know is not "not grayed": it is refused.
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  return (c->flags & WU_CTL_GRAYED) ? 1 : 0;
}

wu_status wuxgwsz(int32_t *rect, int32_t size_kind, wu_control *c) {
  if (wu_module() == nullptr) return WU_NOTAVAIL;
  if (rect == nullptr) return WU_NOTAVAIL;
  if (c != nullptr) {
    if (!wu_ctl_live(c)) return WU_NOTAVAIL;
    Widget w = wuwgxtw(c);
    if (w == nullptr || keeps_stored_rect(c->kind)) {
      rect[0] = c->y;
      rect[1] = c->x;
      rect[2] = c->height;
      rect[3] = c->width;
      return WU_OK;
    }
    Position x = 0, y = 0;
    Dimension width = 0, height = 0, border = 0;
    XtVaGetValues(w, XmNx, &x, XmNy, &y, XmNwidth, &width, XmNheight, &height,
                  XmNborderWidth, &border, nullptr);
    const int32_t px = x - border, py = y - border;
    const int32_t pw = width + 2 * border, ph = height + 2 * border;
    const int32_t top = c->pane ? std::max(c->pane->top_row, 1) : 1;
    const int32_t left = c->pane ? std::max(c->pane->left_column, 1) : 1;
    rect[0] = std::max(1, py / cell_h() + top);
    rect[1] = std::max(1, px / cell_w() + left);
    rect[2] = std::max(1, (ph + cell_h() - 1) / cell_h());
    rect[3] = std::max(1, (pw + cell_w() - 1) / cell_w());
    return WU_OK;
  }
  rect[0] = 1;
  rect[1] = 1;
  // Scroll-bar thickness and icon size in pixels, as cells.
  const int32_t bar = 16, icon = 32;
  switch (size_kind) {
    case 6: rect[2] = 0; rect[3] = 0; break;
    case 7: case 9: rect[2] = 1; rect[3] = 4; break;
    case 8: rect[2] = 3; rect[3] = 4; break;
    case 14: case 15: case 16: rect[2] = 10; rect[3] = 10; break;
    case 13:
      // The display's default window: as many cells as its screen holds.
      if (!wu_x_ok()) return WU_NOTAVAIL;
      rect[2] = std::max(1, HeightOfScreen(ScreenOfDisplay(devb->display, devb->screen)) / cell_h());
      rect[3] = std::max(1, WidthOfScreen(ScreenOfDisplay(devb->display, devb->screen)) / cell_w());
      break;
    case 2: case 17: rect[2] = 10; rect[3] = std::max(1, (bar + cell_w() - 1) / cell_w()); break;
    case 3: rect[2] = std::max(1, (bar + cell_h() - 1) / cell_h()); rect[3] = 10; break;
    case 10: case 11: case 12:
      rect[2] = std::max(1, (icon + cell_h() - 1) / cell_h());
      rect[3] = std::max(1, (icon + cell_w() - 1) / cell_w());
      break;
    default:
      // An unknown size kind has no size: the rectangle says so and so
      // does the answer.
      rect[0] = rect[1] = rect[2] = rect[3] = -1;
      return WU_BADARG;
  }
  return WU_OK;
}

wu_status wutswid(wu_pane *pane) {
  if (pane == nullptr || pane->ext == nullptr || !wu_x_ok()) return WU_OK;
  const int32_t oy = (std::max(pane->top_row, 1) - 1) * cell_h();
  const int32_t ox = (std::max(pane->left_column, 1) - 1) * cell_w();
  for (wu_control *c = pane->ext->controls; c != nullptr; c = c->next) {
    Widget w = wu_ctl_outer(c);
    if (w == nullptr || c->kind == WU_MT_RADIOBUTTON) continue;  // moves with its box
    int32_t x, y;
    if (c->flags & WU_CTL_TAKES_FOCUS) {
      x = c->x - ox;
      y = c->y - oy;
    } else {
      x = (c->x - 1) * cell_w() - ox;
      y = (c->y - 1) * cell_h() - oy;
      if (c->kind == WU_MT_OLD_PUSHBUTTON) y += cell_h() / 2;
      if (c->kind == WU_MT_FIELD_BUTTON) y -= cell_h() / 2;
    }
    Position cx = 0, cy = 0;
    XtVaGetValues(w, XmNx, &cx, XmNy, &cy, nullptr);
    if (cx != x || cy != y) XtVaSetValues(w, XmNx, Position(x), XmNy, Position(y), nullptr);
  }
  return WU_OK;
}

void wu_ctl_class_colours(wu_window *window, wu_ctl_colours *out) {
  *out = wu_ctl_colours{};
  if (devb != nullptr) {
    out->background = devb->background;
    out->foreground = devb->foreground;
  }
  if (wuwgpmc != nullptr) wuwgpmc(window, WU_CTL_COLOUR_CLASS, out);
}

int32_t wuwswvs(wu_control *c, const void *colour_set, Arg *args, int32_t count) {
  if (c == nullptr || args == nullptr || !wu_x_ok()) return count;
  wu_ctl_colours set;
  if (colour_set != nullptr) set = *static_cast<const wu_ctl_colours *>(colour_set);
  else colours_by_toolkit(c, &set);
  XtSetArg(args[count], XmNforeground, set.foreground); ++count;
  XtSetArg(args[count], XmNbackground, set.background); ++count;
  XtSetArg(args[count], XmNtopShadowColor, set.top_shadow); ++count;
  XtSetArg(args[count], XmNbottomShadowColor, set.bottom_shadow); ++count;
  if (devb->depth == 1) {
    XtSetArg(args[count], XmNtopShadowPixmap, devb->stipple[WU_STIPPLE_25]); ++count;
    XtSetArg(args[count], XmNbottomShadowPixmap, devb->stipple[WU_STIPPLE_50]); ++count;
  } else if (set.top_shadow == set.bottom_shadow) {
    // Equal shadow colours would hide the relief: stipple the two shadows.
    XtSetArg(args[count], XmNtopShadowPixmap, shadow_stipple(kStipple25, set)); ++count;
    XtSetArg(args[count], XmNbottomShadowPixmap, shadow_stipple(kStipple50, set)); ++count;
  }
  switch (colour_role(c->kind)) {
    case Role::Trough:
      XtSetArg(args[count], XmNtroughColor, select_colour(set.background)); ++count;
      break;
    case Role::Arm:
      XtSetArg(args[count], XmNarmColor, select_colour(set.background)); ++count;
      break;
    case Role::Toggle:
      XtSetArg(args[count], XmNselectColor, set.foreground); ++count;
      break;
    default:
      break;
  }
  return count;
}

wu_status wuwcwbg(wu_control *c, const void *colour_set) {
  if (c == nullptr || colour_set == nullptr || !wu_x_ok()) return WU_OK;
  if (!wu_ctl_live(c) && !wu_ctl_released(c)) return WU_NOTAVAIL;
  const auto *set = static_cast<const wu_ctl_colours *>(colour_set);
  // On a colour change the older list box takes the trough colour too, and
  // only the push buttons their arm colour.
  Role role = colour_role(c->kind);
  if (c->kind == WU_MT_OLD_LISTBOX) role = Role::Trough;
  if (role == Role::Arm && c->kind != WU_MT_OLD_PUSHBUTTON && c->kind != WU_MT_FIELD_BUTTON &&
      c->kind != WU_MT_PUSHBUTTON)
    role = Role::Plain;
  Widget main = wuwgxtw(c);
  Widget outer = wu_ctl_outer(c);
  if (outer != nullptr && outer != main) apply_colours(outer, *set, Role::Plain);
  if (main == nullptr) return WU_OK;
  if (role == Role::Box) {
    // A radio box passes the set on to each of its buttons.
    apply_colours(main, *set, Role::Plain);
    WidgetList kids = nullptr;
    Cardinal n = 0;
    if (XtIsComposite(main)) XtVaGetValues(main, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
    for (Cardinal i = 0; i < n; ++i) apply_colours(kids[i], *set, Role::Plain);
    return WU_OK;
  }
  apply_colours(main, *set, role);
  return WU_OK;
}

}  // extern "C"

namespace {

void pane_cursor_back(Widget, XtPointer client, XtPointer) {
  auto *window = static_cast<wu_window *>(client);
  if (window != nullptr && window->input != nullptr && wuwFocusToQevinput)
    wuwFocusToQevinput(window);
}

}  // namespace

extern "C" {

wu_status wutipan(Widget pane_widget) {
  if (pane_widget == nullptr) return WU_NOTAVAIL;
  XtPointer id = nullptr;
  XtVaGetValues(pane_widget, "paneID", &id, nullptr);
  auto *pane = static_cast<wu_pane *>(id);
  XtAddCallback(pane_widget, "paneCallback", pane_cursor_back, pane ? pane->window : nullptr);
  return WU_OK;
}

wu_status wutactw(wu_window *window, Widget w) {
  if (window == nullptr) return WU_NOTAVAIL;
  window->active = w;
  return WU_OK;
}

// A pane's own scroll bar goes: the pane no longer has it, its window lays
// the pane out over the bar's space again, and the host hears of it.
static void give_bar_space_back(wu_window *window, wu_control *c) {
  wu_pane_ext *ext = c->pane->ext;
  if (ext->vbar == c) ext->vbar = nullptr;
  if (ext->hbar == c) ext->hbar = nullptr;
  if (window == nullptr) return;
  if (window->form != nullptr && wu_x_ok()) wutcnfg(window);
  wuxqwev(window, WU_EV_BAR_RELEASED, nullptr, 0);
}

wu_status wuxfwid(wu_control *c) {
  if (!wu_ctl_live(c)) return WU_NOTAVAIL;
  wu_window *window = wu_ctl_window(c);
  wuxgrwd(c, 0);
  if (window != nullptr && window->current_control == c) window->current_control = nullptr;
  wuxfleq(c->kind, c);
  wu_pane_ext *ext = c->pane->ext;
  if (c->kind == WU_MT_PANE_VBAR || c->kind == WU_MT_PANE_HBAR) give_bar_space_back(window, c);
  // Unlink from the pane's control list and append to its release list.
  if (c->prev != nullptr) c->prev->next = c->next; else ext->controls = c->next;
  if (c->next != nullptr) c->next->prev = c->prev; else ext->controls_last = c->prev;
  c->next = nullptr;
  c->prev = ext->release_last;
  if (ext->release_last != nullptr) ext->release_last->next = c; else ext->release = c;
  ext->release_last = c;
  if (window != nullptr) window->flags |= WU_WIN_RELEASES;
  if (ext->controls == nullptr) ext->flags &= ~WU_PEXT_HAS_CONTROLS;
  // From now on the record is inert: its callbacks and every slot see it
  // released, and holds taken on it have died.
  wu_reg_add(c, WU_REG_CTL_RELEASED);
  return WU_OK;
}

}  // extern "C"

namespace {

// What a released record gives up while its widgets still stand: the kind's
// clean-up, its pending events, parameters, tip, answers and colours.
void drop_parts(wu_window *window, wu_control *c, wu_state *state) {
  if (state != nullptr) state->pending_focus = nullptr;
  wu_ctl_handle *h = c->handle;
  // The kind's clean-up gets a handle even for a record that never had one.
  wu_ctl_handle stand_in = {c, WU_CTL_TYPE_OLDER, state ? state->services : nullptr, 0};
  if (c->Cleanup != nullptr) c->Cleanup(h != nullptr ? h : &stand_in, nullptr, 0);
  if (h != nullptr && window != nullptr) yufrcev(window, h);
  wu_ctl_drop_params(c);
  XtFree(c->tip);
  c->tip = nullptr;
  XtFree(reinterpret_cast<char *>(c->events_answer));
  c->events_answer = nullptr;
  XtFree(reinterpret_cast<char *>(c->vkeys_answer));
  c->vkeys_answer = nullptr;
  wu_ctl_free_colours(c);
  if (shows_tips(c->kind) && wuwtlst) wuwtlst(c);
  // The keyboard records never name a widget about to go.
  Widget main = wuwgxtw(c);
  if (state != nullptr && main != nullptr && (state->focus == main || state->last_input == main)) {
    state->focus = nullptr;
    state->last_input = nullptr;
  }
}

// Gives up what a released record holds and destroys its widgets now, with
// its drop site, unless they lie inside `going`: a widget about to be
// destroyed that takes them with it.
void drop_record(wu_window *window, wu_pane_ext *ext, wu_control *c, Widget going) {
  drop_parts(window, c, wu_module());
  Widget outer = wu_ctl_outer(c);
  if (outer == nullptr || ext == nullptr || ext->widget == nullptr || !wu_x_ok()) return;
  if (going != nullptr && wu_widget_within(outer, going)) return;
  Widget main = wuwgxtw(c);
  if (wumudnd && main != nullptr) wumudnd(main);
  // Motif would keep the text drawing state of the control's windows for
  // the life of the process.
  wumdxft(outer);
  XtDestroyWidget(outer);
}

}  // namespace

extern "C" {

bool wu_widget_within(Widget w, Widget ancestor) {
  for (; w != nullptr; w = XtParent(w))
    if (w == ancestor) return true;
  return false;
}

wu_status wutfwid(wu_window *window, wu_pane_ext *ext, wu_control *c) {
  if (c == nullptr) return WU_NOTAVAIL;
  drop_record(window, ext, c, nullptr);
  return wutfwfg(c);
}

wu_status wutfwpn(wu_window *window, wu_pane_ext *ext, wu_control *c) {
  if (c == nullptr) return WU_NOTAVAIL;
  drop_record(window, ext, c, ext != nullptr ? ext->widget : nullptr);
  return WU_OK;
}

wu_status wutfwfg(wu_control *c) {
  if (c == nullptr) return WU_NOTAVAIL;
  wu_ctl_w(c)->main = nullptr;
  if (has_outer(c->kind)) wu_ctl_w(c)->outer = nullptr;
  if (wu_ctl_handle *h = c->handle) {
    wu_handle_forget(h);
    vmfree_handler(c->handle_pool, h, static_cast<int32_t>(sizeof(wu_ctl_handle)), 0);
    c->handle = nullptr;
  }
  wu_reg_remove(c);
  return WU_OK;
}

wu_status wuxlscr(void) { return wu_module() != nullptr ? WU_OK : WU_NOTAVAIL; }

// Motif takes `scrollHorizontal` only when a text widget is made; the flag
// that decides later scrolling and wrapping lives in the text's output data
// and is set there directly.
void Kludge_XmText_scrollHorizontal(Widget w, Boolean on) {
  if (w == nullptr || !XmIsText(w)) return;
  XmTextWidget tw = reinterpret_cast<XmTextWidget>(w);
  if (tw->text.output != nullptr && tw->text.output->data != nullptr)
    tw->text.output->data->scrollhorizontal = on ? True : False;
}

// Clears a shell's memory of the input-method widget when it names `w`:
// focusing the field again re-attaches the input method.
void Kludge_XmIm_current_widget(Widget w) {
  if (w == nullptr) return;
  Widget shell = w;
  while (shell != nullptr && !XtIsShell(shell)) shell = XtParent(shell);
  if (shell == nullptr) return;
  XmImUnregister(w);
}

}  // extern "C"
