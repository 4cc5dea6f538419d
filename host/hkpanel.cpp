// Panels and fields of host windows.  The host owns these records (the
// module's wu_pane and wu_field): it allocates them when the module asks,
// keeps a pane's fields chained in order, and releases them when given back.
// Rows and columns are 1-based.
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "hkint.h"
#include "qev/records.h"
#include "qevhost.h"

namespace qevhost {
namespace detail {
namespace {

struct PanelState {
  std::set<wu_pane *> panes;
  // The text each field was given: the module may point a field at a
  // buffer of its own (the message line shows the window's message).
  std::map<wu_field *, char *> texts;
};
PanelState ps;

// The command prompt of the prompt kinds 7 and 8.
const char kPrompt[] = "Command ===>";
const int32_t kPromptKind = 7;
const int32_t kPromptKind2 = 8;

wu_pane *lookupPane(void *panel) {
  wu_pane *p = static_cast<wu_pane *>(panel);
  return ps.panes.count(p) ? p : nullptr;
}

wu_field **fieldLink(wu_pane *p, void *field) {
  for (wu_field **link = &p->fields; *link; link = &(*link)->next)
    if (*link == field) return link;
  return nullptr;
}

void freeField(wu_field *f) {
  auto it = ps.texts.find(f);
  if (it != ps.texts.end()) {
    std::free(it->second);
    ps.texts.erase(it);
  }
  std::free(f->attributes);
  std::free(f);
}

void freePane(wu_pane *p) {
  while (wu_field *f = p->fields) {
    p->fields = f->next;
    freeField(f);
  }
  ps.panes.erase(p);
  std::free(p);
}

wu_status addField(wu_pane *p, void **field_out, int32_t row, int32_t column, int32_t length,
                   int32_t colour, int32_t attributes) {
  if (row < 1 || column < 1 || length <= 0 || (p->rows > 0 && row > p->rows) ||
      (p->columns > 0 && column - 1 + length > p->columns))
    return WU_BADARG;
  wu_field *f = static_cast<wu_field *>(std::calloc(1, sizeof(wu_field)));
  char *text = static_cast<char *>(std::malloc(static_cast<size_t>(length)));
  uint8_t *attr = static_cast<uint8_t *>(std::calloc(static_cast<size_t>(length), 1));
  if (!f || !text || !attr) {
    std::free(f);
    std::free(text);
    std::free(attr);
    return WU_NOMEM;
  }
  std::memset(text, ' ', static_cast<size_t>(length));
  f->pane = p;
  f->row = row;
  f->column = column;
  f->length = length;
  f->colour = colour;
  f->flags = static_cast<uint32_t>(attributes);
  f->text = text;
  ps.texts[f] = text;
  f->attributes = attr;
  wu_field **tail = &p->fields;
  while (*tail) tail = &(*tail)->next;
  *tail = f;
  *field_out = f;
  return WU_OK;
}

}  // namespace

void panelStart() { ps = PanelState(); }

void panelStop() {
  while (!ps.panes.empty()) freePane(*ps.panes.begin());
}

wu_status k_yugtpan(void *window, void **panel_out, int32_t row, int32_t column, int32_t rows,
                    int32_t columns, int32_t flags) {
  if (!running()) return WU_NOTAVAIL;
  if (!window || !panel_out || row < 0 || column < 0 || rows < 0 || columns < 0) return WU_BADARG;
  *panel_out = nullptr;
  wu_pane *p = static_cast<wu_pane *>(std::calloc(1, sizeof(wu_pane)));
  if (!p) return WU_NOMEM;
  p->window = static_cast<struct wu_window *>(window);
  p->row = row;
  p->column = column;
  p->rows = rows;
  p->columns = columns;
  p->flags = static_cast<uint32_t>(flags);
  p->top_row = 1;       // scroll origin: the first row and column
  p->left_column = 1;
  ps.panes.insert(p);
  *panel_out = p;
  return WU_OK;
}

wu_status k_yugtfld(void *panel, void **field_out, int32_t row, int32_t column, int32_t length,
                    int32_t colour, int32_t attributes, int32_t, int32_t, int32_t, int32_t) {
  if (!running()) return WU_NOTAVAIL;
  wu_pane *p = lookupPane(panel);
  if (!p || !field_out) return WU_BADARG;
  *field_out = nullptr;
  return addField(p, field_out, row, column, length, colour, attributes);
}

// A field from the given cell to the end of its row.
wu_status k_yugmfld(void *panel, void **field_out, int32_t row, int32_t column,
                    int32_t *length_out, int32_t colour, int32_t attributes, int32_t,
                    int32_t kind) {
  if (!running()) return WU_NOTAVAIL;
  wu_pane *p = lookupPane(panel);
  if (!p || !field_out || !length_out || p->columns <= 0) return WU_BADARG;
  *field_out = nullptr;
  // A prompt kind gives the prompt text; otherwise the field runs to the
  // end of the row.
  const bool prompt = kind == kPromptKind || kind == kPromptKind2;
  int32_t length = prompt ? int32_t(sizeof kPrompt - 1) : p->columns - column + 1;
  wu_status st = addField(p, field_out, row, column, length, colour, attributes);
  if (st == WU_OK && prompt)
    std::memcpy(static_cast<wu_field *>(*field_out)->text, kPrompt, sizeof kPrompt - 1);
  *length_out = st == WU_OK ? length : 0;
  return st;
}

wu_status k_yufrfld(void *panel, void *field) {
  if (!running()) return WU_NOTAVAIL;
  wu_pane *p = lookupPane(panel);
  wu_field **link = p ? fieldLink(p, field) : nullptr;
  if (!link) return WU_BADARG;
  wu_field *f = *link;
  *link = f->next;
  if (p->current_field == f) p->current_field = nullptr;
  freeField(f);
  return WU_OK;
}

wu_status k_yufrpan(void *window, void *panel) {
  if (!running()) return WU_NOTAVAIL;
  wu_pane *p = lookupPane(panel);
  if (!p || static_cast<void *>(p->window) != window) return WU_BADARG;
  freePane(p);
  return WU_OK;
}

}  // namespace detail

using namespace detail;

size_t panelCount(void *window) {
  size_t n = 0;
  for (wu_pane *p : ps.panes)
    if (static_cast<void *>(p->window) == window) ++n;
  return n;
}

size_t fieldCount(void *panel) {
  wu_pane *p = lookupPane(panel);
  size_t n = 0;
  for (wu_field *f = p ? p->fields : nullptr; f; f = f->next) ++n;
  return n;
}

}  // namespace qevhost
