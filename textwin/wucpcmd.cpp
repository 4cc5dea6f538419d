// The command panel at the top of a window: the message line, and the
// command field in command-line mode.  The panel is a pane taken off the
// window's pane list and kept in its command-pane slot.
#include <X11/Intrinsic.h>
#include <cstring>

#include "qev/flags.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QevPane.h"
#include "textwin/wutwin.h"

namespace {

// Colour words keep the colour index above their low four attribute bits.
const int kColourShift = 4;

int32_t PanelRows(const wu_window *w) {
  return (w->module_flags & WU_DECOR_COMMANDLINE) ? WU_CMDPANEL_ROWS_CMD : WU_CMDPANEL_ROWS_MSG;
}

// A pane of the window that is not on its pane list.
wu_pane *NewPanel(wu_window *w, int32_t rows) {
  wu_pane *p = nullptr;
  if (wuxgpan(w, &p, 1, 1, rows, WU_FULL_WIDTH, 0) != WU_OK) return nullptr;
  wu_pane **link = &w->panes;
  while (*link != p) link = &(*link)->next;
  *link = p->next;
  p->next = nullptr;
  p->id = 0;
  return p;
}

}  // namespace

extern "C" {

int32_t wuticmd(wu_window *w) {
  if (!w || !(w->module_flags & (WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE))) return 0;
  int32_t rows = PanelRows(w);
  wu_pane *panel = w->command_pane;
  if (panel && panel->ext && panel->ext->widget) {
    Dimension h = Dimension(rows * devb->cell_height);
    XtVaSetValues(panel->ext->widget, XmNheight, h, QevNpaneFixedHeight, h, nullptr);
    sperase(panel->ext->widget, 1, 1, rows, WU_FULL_WIDTH);
  } else if (!panel) {
    panel = NewPanel(w, rows);
    if (!panel) return 1;
    w->command_pane = panel;
    wu_field *f = nullptr;
    if (w->module_flags & WU_DECOR_COMMANDLINE) {
      if (wuxgfld(panel, &f, 1, 1, WU_CMDFIELD_LEN, w->command_colour >> kColourShift, 0) != WU_OK) {
        wutfcmd(w);
        return 1;
      }
      w->command_field = f;
      panel->cursor_row = f->row;
      panel->cursor_column = f->column;
    }
    int32_t colour = w->message_colour >> kColourShift;
    if (wuxgfld(panel, &f, rows, 1, WU_CMDFIELD_LEN, colour, WU_FLD_PROTECTED) != WU_OK) {
      wutfcmd(w);
      return 1;
    }
    // The message line shows the window's message buffer itself.
    std::memset(w->message, ' ', sizeof w->message);
    f->text = w->message;
    w->message_field = f;
  }
  panel->rows = rows;
  if (!panel->ext->widget && w->form) {
    if (wutihpn(panel, w->form) != 0) return 1;
    Dimension h = Dimension(rows * devb->cell_height);
    XtVaSetValues(panel->ext->widget, XmNheight, h, QevNpaneFixedHeight, h, nullptr);
    XtManageChild(panel->ext->widget);
  }
  for (wu_field *f = panel->fields; f; f = f->next) {
    wutwfld(panel, f, 1, f->length);
    f->flags &= ~WU_FLD_DIRTY;
  }
  return 0;
}

void wutfcmd(wu_window *w) {
  if (!w) return;
  wu_pane *panel = w->command_pane;
  if (panel) {
    if (w->current_pane == panel) w->current_pane = nullptr;
    // The pane is released while it is still the window's command pane:
    // the controls placed in it are found through it, and go with it in
    // both steps of their release.
    wutfpan(w, panel);
    w->command_pane = nullptr;
  }
  w->prompt_field = w->command_field = w->message_field = nullptr;
  w->module_flags &= ~(WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE);
}

}  // extern "C"
