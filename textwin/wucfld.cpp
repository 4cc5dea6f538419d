// Fields: records, drawing a field into its pane widget, blanking cells.
#include <X11/Intrinsic.h>
#include <algorithm>
#include <climits>
#include <cstring>

#include "qev/flags.h"
#include "runtime/wucheck.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QevPane.h"
#include "textwin/wutwin.h"

extern "C" {

wu_status wuxgfld(wu_pane *pane, wu_field **field_out, int32_t row, int32_t column,
                  int32_t length, int32_t colour, uint32_t flags) {
  // The pane is looked up before it is read.
  if (!wutpopn(pane)) {
    if (field_out) *field_out = nullptr;
    return WU_NOTAVAIL;
  }
  if (!field_out) return WU_BADARG;
  *field_out = nullptr;
  if (!pane->window || row < 1 || column < 1 || length < 1) return WU_BADARG;
  // The record, its text and its attribute bytes are one block, whose size
  // and last column must be numbers a 32-bit host holds.
  const int32_t cells = wu_array_bytes(length, 2);
  if (length > WU_HOST_TEXT_MAX || cells < 0 || int64_t(column) - 1 + length > INT32_MAX)
    return WU_BADARG;
  int32_t size = int32_t(sizeof(wu_field)) + cells;
  auto *f = static_cast<wu_field *>(vmalcp_handler(pane->window->pool, size, WU_MEM_CLEAR));
  if (!f) return WU_NOMEM;
  if (wu_reg_add(f, WU_REG_FIELD) != WU_OK) {
    vmfree_handler(pane->window->pool, f, size, 0);
    return WU_NOMEM;
  }
  f->pane = pane;
  f->row = row;
  f->column = column;
  f->length = length;
  f->colour = colour;
  f->flags = flags | WU_FLD_DIRTY;
  f->text = reinterpret_cast<char *>(f + 1);
  f->attributes = reinterpret_cast<uint8_t *>(f->text + length);
  std::memset(f->text, ' ', size_t(length));
  wu_field **tail = &pane->fields;
  while (*tail) tail = &(*tail)->next;
  *tail = f;
  *field_out = f;
  return WU_OK;
}

int32_t wutfcap(const wu_field *f) {
  if (!f) return 0;
  // A field the module made has its text and attribute bytes right after
  // the record, one cell each: the distance between them is the cells made.
  const char *text = reinterpret_cast<const char *>(f + 1);
  const char *attributes = reinterpret_cast<const char *>(f->attributes);
  if (f->text == text && attributes >= text && attributes - text <= WU_HOST_TEXT_MAX)
    return int32_t(attributes - text);
  // One the host made (the command and message lines) is the host's block.
  return (f->length >= 1 && f->length <= WU_HOST_TEXT_MAX) ? f->length : 0;
}

int32_t wutflen(const wu_field *f) {
  return (f && f->length >= 1) ? std::min(f->length, wutfcap(f)) : 0;
}

wu_field *wutfatc(wu_pane *pane, int32_t row, int32_t column) {
  if (!pane) return nullptr;
  for (wu_field *f = pane->fields; f; f = f->next)
    if (f->row == row && column >= f->column && int64_t(column) < int64_t(f->column) + wutflen(f))
      return f;
  return nullptr;
}

Pixel wutfpxl(int32_t colour) {
  if (!devb) return 0;
  if (colour > 0 && colour < WU_DM_COLOURS) return devb->dm_pixel[colour];
  return devb->foreground;
}

void wutwfld(wu_pane *panel, wu_field *f, int32_t start, int32_t count) {
  if (!panel || !f || !panel->ext || !panel->ext->widget || !wu_x_ok()) return;
  // Every sum is taken wide: the start, count, length and places are the
  // host's and may be anything.
  int64_t first = start, n = count;
  if (first < 1) {
    n += first - 1;
    first = 1;
  }
  n = std::min<int64_t>(n, int64_t(wutflen(f)) - first + 1);
  if (n <= 0) return;
  start = int32_t(first);
  count = int32_t(n);
  // Cells are placed relative to the pane's scroll origin.
  const int64_t wide_row = int64_t(f->row) - panel->top_row + 1;
  const int64_t wide_column = int64_t(f->column) + start - 1 - panel->left_column + 1;
  if (wide_row < INT32_MIN || wide_row > INT32_MAX || wide_column < INT32_MIN ||
      wide_column > INT32_MAX - count)
    return;
  int32_t row = int32_t(wide_row);
  int32_t column = int32_t(wide_column);
  Pixel fg = wutfpxl(f->colour);
  Pixel bg = devb->background;
  if (f->highlight & WU_FHL_REVERSE) std::swap(fg, bg);
  if (f->flags & WU_FLD_HIDDEN) {
    char blanks[WU_CMDFIELD_LEN];
    std::memset(blanks, ' ', sizeof blanks);
    for (int32_t done = 0; done < count; done += int32_t(sizeof blanks))
      QevPaneDrawText(panel->ext->widget, row, column + done, blanks,
                      std::min<int32_t>(count - done, int32_t(sizeof blanks)), fg, bg);
    return;
  }
  QevPaneDrawText(panel->ext->widget, row, column, f->text + start - 1, count, fg, bg);
}

void sperase(Widget pane_widget, int32_t row, int32_t column, int32_t rows, int32_t columns) {
  QevPaneErase(pane_widget, row, column, rows, columns);
}

}  // extern "C"
