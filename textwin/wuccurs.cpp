// The text cursor of a window: placing it on a pane cell, drawing it, and
// the first place a window's cursor goes.
#include <X11/Intrinsic.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "qev/flags.h"
#include "runtime/wureg.h"
#include "runtime/wutoolkit.h"
#include "textwin/QevPane.h"
#include "textwin/wutwin.h"

namespace {

void CursorOff(wu_pane *p) {
  if (p && p->ext && p->ext->widget) QevPaneSetCursor(p->ext->widget, 0, 0);
}

// Moves the pane's scroll origin so that a cell is visible; true when it moved.
// The origin is the host's too: the sums are taken wide so that no value
// it holds can wrap them.
bool ScrollIntoView(wu_pane *p, int32_t row, int32_t column) {
  int grid_rows = p->rows, grid_cols = 0;
  if (p->ext && p->ext->widget) QevPaneGetGrid(p->ext->widget, &grid_rows, &grid_cols);
  bool moved = false;
  if (row < p->top_row) {
    p->top_row = row;
    moved = true;
  } else if (grid_rows > 0 && int64_t(row) > int64_t(p->top_row) + grid_rows - 1) {
    p->top_row = row - grid_rows + 1;
    moved = true;
  }
  if (column < p->left_column) {
    p->left_column = column;
    moved = true;
  } else if (grid_cols > 0 && int64_t(column) > int64_t(p->left_column) + grid_cols - 1) {
    p->left_column = column - grid_cols + 1;
    moved = true;
  }
  return moved;
}

// A cell of the pane relative to its origin, kept within int.
int Relative(int32_t cell, int32_t origin) {
  const int64_t v = int64_t(cell) - origin + 1;
  return int(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, v)));
}

}  // namespace

extern "C" {

wu_status wuxmcrs(wu_window *w, wu_pane *pane, int32_t row, int32_t column) {
  if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
  if (pane && !wu_reg_has(pane, WU_REG_PANE)) return WU_NOTAVAIL;
  if (!pane) pane = w->current_pane;
  if (!pane || row < 1 || column < 1) return WU_BADARG;
  if (w->current_pane && w->current_pane != pane) CursorOff(w->current_pane);
  bool moved = ScrollIntoView(pane, row, column);
  pane->cursor_row = row;
  pane->cursor_column = column;
  pane->current_field = wutfatc(pane, row, column);
  w->current_pane = pane;
  if (moved) {
    pane->flags |= WU_PANE_DIRTY;
    return wuxuwnd(w);
  }
  return wuxmcur(w);
}

wu_status wuxmcur(wu_window *w) {
  if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
  wu_pane *p = w->current_pane;
  if (!p || !p->ext || !p->ext->widget || !wu_x_ok()) return WU_OK;
  // A pane of controls without fields takes no typing into its cells: it
  // shows no text cursor, which would say the keyboard is there.
  if (p->fields == nullptr && p->ext->controls != nullptr) {
    CursorOff(p);
    return WU_OK;
  }
  QevPaneSetCursor(p->ext->widget, Relative(p->cursor_row, p->top_row),
                   Relative(p->cursor_column, p->left_column));
  return WU_OK;
}

wu_status wux1st(wu_window *w) {
  if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
  if (w->command_field)
    return wuxmcrs(w, w->command_pane, w->command_field->row, w->command_field->column);
  for (wu_pane *p = w->panes; p; p = p->next)
    for (wu_field *f = p->fields; f; f = f->next)
      if (!(f->flags & WU_FLD_PROTECTED)) return wuxmcrs(w, p, f->row, f->column);
  if (w->panes) return wuxmcrs(w, w->panes, w->panes->top_row, w->panes->left_column);
  return WU_OK;
}

}  // extern "C"
