// Panes: records, their pane widgets, and finding the pane of a widget.
#include <X11/Intrinsic.h>
#include <Xm/Xm.h>

#include <algorithm>

#include "frames/wuframes.h"
#include "runtime/wucheck.h"
#include "qev/flags.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QevPane.h"
#include "textwin/wutwin.h"

namespace {

// Button 1 on a cell: the cursor goes there and the keyboard back to the
// window's input widget.
void PaneSelected(Widget, XtPointer client, XtPointer call) {
  auto *pane = static_cast<wu_pane *>(client);
  auto *cb = static_cast<QevPaneCallbackStruct *>(call);
  if (!wu_reg_has(pane, WU_REG_PANE)) return;
  wu_window *w = pane->window;
  if (!w) return;
  wuxmcrs(w, pane, cb->row + pane->top_row - 1, cb->column + pane->left_column - 1);
  wuwFocusToQevinput(w);
}

// A widget destroyed inside a dispatch goes only when the dispatch ends,
// after a window released meanwhile has freed the pane: the pane is looked
// up before it is written.
void PaneDestroyed(Widget, XtPointer client, XtPointer) {
  auto *pane = static_cast<wu_pane *>(client);
  if (!wu_reg_has(pane, WU_REG_PANE) || !pane->ext) return;
  pane->ext->widget = nullptr;
  pane->ext->flags &= ~WU_PEXT_REALIZED;
}

}  // namespace

extern "C" {

int wutpopn(const wu_pane *pane) {
  if (!wu_reg_has(pane, WU_REG_PANE)) return 0;
  return pane->window == nullptr || wu_reg_kind_of(pane->window) != WU_REG_WINDOW_GOING;
}

wu_status wuxgpan(wu_window *w, wu_pane **pane_out, int32_t row, int32_t column, int32_t rows,
                  int32_t columns, uint32_t flags) {
  // The window is looked up before it is read.
  if (!wu_reg_has(w, WU_REG_WINDOW)) {
    if (pane_out) *pane_out = nullptr;
    return WU_NOTAVAIL;
  }
  if (!pane_out) return WU_BADARG;
  *pane_out = nullptr;
  if (!w || row < 1 || column < 1 || rows < 1 || columns < 1) return WU_BADARG;
  // The pane must fit X's 16-bit window sizes: its last row and (unless it
  // spans the window's width) its last column in pixels.
  if (!wu_pane_fits(row, rows, devb ? devb->cell_height : 1) ||
      (columns != WU_FULL_WIDTH && !wu_pane_fits(column, columns, devb ? devb->cell_width : 1)))
    return WU_BADARG;
  auto *p = static_cast<wu_pane *>(vmalcp_handler(w->pool, sizeof(wu_pane), WU_MEM_CLEAR));
  auto *ext = static_cast<wu_pane_ext *>(vmalcp_handler(w->pool, sizeof(wu_pane_ext), WU_MEM_CLEAR));
  if (!p || !ext) {
    if (p) vmfree_handler(w->pool, p, int32_t(sizeof(wu_pane)), 0);
    if (ext) vmfree_handler(w->pool, ext, int32_t(sizeof(wu_pane_ext)), 0);
    return WU_NOMEM;
  }
  if (wu_reg_add(p, WU_REG_PANE) != WU_OK) {
    vmfree_handler(w->pool, p, int32_t(sizeof(wu_pane)), 0);
    vmfree_handler(w->pool, ext, int32_t(sizeof(wu_pane_ext)), 0);
    return WU_NOMEM;
  }
  ext->pane = p;
  p->ext = ext;
  p->window = w;
  p->flags = flags;
  p->row = row;
  p->column = column;
  p->rows = rows;
  p->columns = columns;
  p->top_row = 1;
  p->left_column = 1;
  p->cursor_row = 1;
  p->cursor_column = 1;
  int32_t id = 1;
  wu_pane **tail = &w->panes;
  while (*tail) {
    ++id;
    tail = &(*tail)->next;
  }
  p->id = id;
  *tail = p;
  *pane_out = p;
  return WU_OK;
}

int32_t wutihpn(wu_pane *panel, Widget form) {
  if (!panel || !form || !wu_x_ok() || !panel->window) return 1;
  wu_window *w = panel->window;
  if (!panel->ext) {
    panel->ext = static_cast<wu_pane_ext *>(
        vmalcp_handler(w->pool, sizeof(wu_pane_ext), WU_MEM_CLEAR));
    if (!panel->ext) return 1;
    panel->ext->pane = panel;
  }
  if (panel->ext->widget) return 0;
  Arg args[12];
  Cardinal n = 0;
  XtSetArg(args[n], QevNpaneID, panel); ++n;
  XtSetArg(args[n], XmNfont, devb->font); ++n;
  XtSetArg(args[n], QevNcellWidth, Dimension(devb->cell_width)); ++n;
  XtSetArg(args[n], QevNcellHeight, Dimension(devb->cell_height)); ++n;
  XtSetArg(args[n], XmNbackground, devb->background); ++n;
  XtSetArg(args[n], XmNforeground, devb->foreground); ++n;
  XtSetArg(args[n], QevNcursorColor, devb->cursor_colour); ++n;
  XtSetArg(args[n], XmNwidth, Dimension(devb->cell_width * WU_DEFAULT_COLUMNS)); ++n;
  // The host may have changed the pane's rows since: the height is clamped.
  XtSetArg(args[n], XmNheight,
           Dimension(std::max(1, wu_x_size_clamp(int64_t(devb->cell_height) * panel->rows)))); ++n;
  // Traversal stays on so that a click gives a control in the pane the
  // keyboard; the pane itself takes none (a click on a cell hands it to the
  // window's input widget).
  XtSetArg(args[n], XmNtraversalOn, True); ++n;
  Widget pw = QevCreatePane(form, "qevpane", args, n);
  if (!pw) return 1;
  panel->ext->widget = pw;
  panel->ext->flags |= WU_PEXT_REALIZED;
  XtAddCallback(pw, QevNpaneCallback, PaneSelected, panel);
  XtAddCallback(pw, XmNdestroyCallback, PaneDestroyed, panel);
  wutaddt(pw);
  return 0;
}

wu_status wutwd2p(Widget w, wu_window **window_out, wu_pane **pane_out) {
  if (window_out) *window_out = nullptr;
  if (pane_out) *pane_out = nullptr;
  Position x = 0, y = 0;
  Widget pw = w;
  while (pw && !QevIsPane(pw)) {
    if (XtIsShell(pw)) return WU_NOTAVAIL;
    Position wx = 0, wy = 0;
    Dimension border = 0;
    XtVaGetValues(pw, XmNx, &wx, XmNy, &wy, XmNborderWidth, &border, nullptr);
    x = Position(x + wx + border);
    y = Position(y + wy + border);
    pw = XtParent(pw);
  }
  if (!pw) return WU_NOTAVAIL;
  XtPointer id = nullptr;
  XtVaGetValues(pw, QevNpaneID, &id, nullptr);
  auto *pane = static_cast<wu_pane *>(id);
  if (!pane || !pane->window) return WU_NOTAVAIL;
  // The cursor cell follows the widget's top-left corner.
  if (devb && devb->cell_width > 0 && devb->cell_height > 0 && w != pw) {
    pane->cursor_row = y / devb->cell_height + pane->top_row;
    pane->cursor_column = x / devb->cell_width + pane->left_column;
  }
  if (window_out) *window_out = pane->window;
  if (pane_out) *pane_out = pane;
  return WU_OK;
}

void spgetesl(Widget w, int32_t *count_out, WidgetList *list_out) {
  WidgetList list = nullptr;
  int count = QevPaneGetEasels(w, &list);
  if (count_out) *count_out = count;
  if (list_out) *list_out = list;
}

}  // extern "C"
