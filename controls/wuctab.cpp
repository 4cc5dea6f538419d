// Tab and Shift-Tab in a window whose panes hold controls: the keyboard goes
// round the window's stops in order, the command field first, then, pane by
// pane, the unprotected fields and the controls that take the keyboard, each
// pane's stops from top to bottom and left to right.  A field stop gives the
// keyboard to the window's input widget with the text cursor on the field; a
// control stop gives it to the control as the host's focus request does.
#include <algorithm>
#include <vector>

#include <X11/IntrinsicP.h>

#include "controls/wucontrol.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wutoolkit.h"

namespace {

struct Stop {
  wu_pane *pane;
  wu_field *field;      // a field stop, or
  wu_control *control;  // a control stop
  int32_t y, x;         // pixels from the pane's first visible cell
};

// The kinds whose widgets take the keyboard by traversal: the text kinds and
// the lists.  Buttons, bars and icons keep traversal off and take the
// keyboard only when the host asks; their own Tab tells the window.
bool tab_kind(int32_t type) {
  switch (type) {
    case WU_CTYPE_MULTILINE: case WU_CTYPE_ENTRY: case WU_CTYPE_COMBO: case WU_CTYPE_SPIN:
    case WU_CTYPE_LISTVIEW: case WU_CTYPE_LISTBOX: case WU_CTYPE_TREEVIEW:
      return true;
    default:
      return false;
  }
}

// A control takes the keyboard by Tab when it is of such a kind and has a
// widget a user can reach: shown, not grayed and not a click-only control.
bool takes_tab(wu_control *c) {
  if (!wu_ctl_live(c) || c->handle == nullptr || c->click_only) return false;
  if (c->flags & (WU_CTL_HIDDEN | WU_CTL_GRAYED)) return false;
  if (!tab_kind(c->handle->type)) return false;
  Widget outer = wu_ctl_outer(c);
  return wuwgxtw(c) != nullptr && outer != nullptr && XtIsManaged(outer) &&
         XtIsSensitive(outer) && !outer->core.being_destroyed;
}

std::vector<Stop> stops_of(wu_window *w, bool *has_controls) {
  const int32_t cw = devb->cell_width > 0 ? devb->cell_width : 1;
  const int32_t ch = devb->cell_height > 0 ? devb->cell_height : 1;
  std::vector<Stop> out;
  if (w->command_field != nullptr) out.push_back({w->command_pane, w->command_field, nullptr, 0, 0});
  for (wu_pane *p = w->panes; p != nullptr; p = p->next) {
    const size_t first = out.size();
    for (wu_field *f = p->fields; f != nullptr; f = f->next)
      if (!(f->flags & WU_FLD_PROTECTED))
        out.push_back({p, f, nullptr, (f->row - p->top_row) * ch, (f->column - p->left_column) * cw});
    for (wu_control *c = p->ext ? p->ext->controls : nullptr; c != nullptr; c = c->next)
      if (takes_tab(c)) {
        out.push_back({p, nullptr, c, c->y, c->x});
        *has_controls = true;
      }
    std::stable_sort(out.begin() + long(first), out.end(), [](const Stop &a, const Stop &b) {
      return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
  }
  return out;
}

}  // namespace

extern "C" {

int32_t wuwtabc(wu_window *w, Widget from, int32_t step) {
  if (!wu_window_live(w) || devb == nullptr || !wu_x_ok() || step == 0) return 0;
  bool has_controls = false;
  std::vector<Stop> stops = stops_of(w, &has_controls);
  // A window without controls keeps its own field cycling.
  if (!has_controls || stops.empty()) return 0;
  const int n = int(stops.size());
  int at = -1;
  for (int i = 0; i < n && at < 0; ++i)
    if (stops[i].control != nullptr && wu_widget_within(from, wu_ctl_outer(stops[i].control)))
      at = i;
  if (at < 0 && w->current_pane != nullptr && wutfatc != nullptr) {
    wu_pane *p = w->current_pane;
    wu_field *f = wutfatc(p, p->cursor_row, p->cursor_column);
    for (int i = 0; i < n && at < 0; ++i)
      if (stops[i].field != nullptr && stops[i].field == f) at = i;
  }
  const int next = at < 0 ? (step > 0 ? 0 : n - 1) : (at + (step > 0 ? 1 : -1) + n) % n;
  const Stop &s = stops[next];
  if (s.control != nullptr) {
    wuwfocs(s.control->handle);
  } else {
    if (wuwFocusToQevinput != nullptr) wuwFocusToQevinput(w);
    if (wuxmcrs != nullptr) wuxmcrs(w, s.pane, s.field->row, s.field->column);
  }
  return 1;
}

}  // extern "C"
