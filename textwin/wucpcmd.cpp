// The command panel at the top of a window: the message line, and in
// command-line mode the prompt and the command field.  The panel and its
// fields come from the host's display manager; the panel is kept off the
// window's pane list, in its command-pane slot.
#include <X11/Intrinsic.h>
#include <cstring>

#include "qev/flags.h"
#include "runtime/wureg.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QevPane.h"
#include "textwin/wutwin.h"

// The message-line stack goes with the command line (menus layer).
extern "C" void wutfstk(wu_window *window) __attribute__((weak));
// Gives the focus back to the window's input widget (controls layer).
extern "C" void wuwcrsc(Widget w, XtPointer client, XtPointer call) __attribute__((weak));

namespace {

// Colour words keep the colour index above their low four attribute bits.
const int kColourShift = 4;
const int32_t kAttributeMask = 0xF;
// Panel request and the flags cleared on it.
const int32_t kPanelFlags = 0x3021;
const uint32_t kPanelClear = 0x4001;
// Prompt field: attribute addition, field argument and prompt kinds.
const int32_t kPromptAttributes = 0x210;
const int32_t kPromptArgument = 129;
const int32_t kPromptPlain = 2, kPromptKind = 7, kPromptKind2 = 8;
// Added to the colour word's attribute bits of the message-line field: the
// host's attribute of an output-only message line.
const int32_t kMessageAttributes = 16;
// Window kind whose message line takes the command colour.
const int32_t kKindCommandColoured = 114;

int32_t PanelRows(const wu_window *w) {
  return (w->module_flags & WU_DECOR_COMMANDLINE) ? WU_CMDPANEL_ROWS_CMD : WU_CMDPANEL_ROWS_MSG;
}

void Unlist(wu_window *w, wu_pane *panel) {
  for (wu_pane **link = &w->panes; *link; link = &(*link)->next)
    if (*link == panel) {
      *link = panel->next;
      panel->next = nullptr;
      return;
    }
}

void FreeFields(wu_window *w, wu_pane *panel) {
  while (wu_field *f = panel->fields) {
    wu_reg_remove(f);
    if (yufrfld(panel, f) != WU_OK) break;
  }
  if (panel->current_field) panel->current_field = nullptr;
  w->prompt_field = w->command_field = w->message_field = nullptr;
}

// Makes the fields; false (fields freed) when one cannot be had.
bool MakeFields(wu_window *w, wu_pane *panel, int32_t rows) {
  void *f = nullptr;
  if (w->module_flags & WU_DECOR_COMMANDLINE) {
    int32_t kind = w->prompt_kind == kPromptPlain ? kPromptKind : w->prompt_kind;
    int32_t length = -1;
    if (kind == kPromptKind || kind == kPromptKind2) {
      if (yugmfld(panel, &f, 1, 1, &length, w->prompt_colour >> kColourShift,
                  (w->prompt_colour & kAttributeMask) + kPromptAttributes, kPromptArgument,
                  kind) != WU_OK)
        return false;
      w->prompt_field = static_cast<wu_field *>(f);
      wu_reg_add(f, WU_REG_FIELD);
      w->prompt_field->flags |= WU_FLD_PROTECTED;
    }
    if (yugtfld(panel, &f, 1, length + 2, WU_CMDFIELD_LEN, w->command_colour >> kColourShift,
                w->command_colour & kAttributeMask, 0, 1, 0, 0) != WU_OK)
      return false;
    w->command_field = static_cast<wu_field *>(f);
    wu_reg_add(f, WU_REG_FIELD);
    panel->cursor_row = w->command_field->row;
    panel->cursor_column = w->command_field->column;
  }
  const int32_t colour = w->kind == kKindCommandColoured ? w->command_colour : w->message_colour;
  if (yugtfld(panel, &f, rows, 1, WU_MESSAGE_LEN, colour >> kColourShift,
              (colour & kAttributeMask) + kMessageAttributes, 0, 1, 0, 0) != WU_OK)
    return false;
  auto *m = static_cast<wu_field *>(f);
  wu_reg_add(m, WU_REG_FIELD);
  m->flags |= WU_FLD_PROTECTED;
  // The message line shows the window's message buffer itself.
  std::memset(w->message, ' ', sizeof w->message);
  m->text = w->message;
  w->message_field = m;
  return true;
}

// Gives the panel back to the host with its widget and controls.
void ReleasePanel(wu_window *w) {
  wu_pane *panel = w->command_pane;
  if (!panel) return;
  if (w->current_pane == panel) w->current_pane = nullptr;
  FreeFields(w, panel);
  wutfpnx(w, panel);
  w->command_pane = nullptr;
  wu_reg_remove(panel);
  yufrpan(w, panel);
}

}  // namespace

extern "C" {

int32_t wuticmd(wu_window *w) {
  if (!w || !(w->module_flags & (WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE))) return 0;
  const int32_t rows = PanelRows(w);
  wu_pane *panel = w->command_pane;
  if (panel && panel->ext && panel->ext->widget && wu_x_ok()) {
    Dimension h = Dimension(rows * devb->cell_height);
    w->module_flags |= WU_WMOD_GEOMETRY;
    XtVaSetValues(panel->ext->widget, XmNheight, h, QevNpaneFixedHeight, h, nullptr);
    w->module_flags &= ~WU_WMOD_GEOMETRY;
    sperase(panel->ext->widget, 1, 1, rows, panel->columns);
  } else if (!panel) {
    void *p = nullptr;
    wu_status st = yugtpan(w, &p, 1, 1, rows, WU_FULL_WIDTH, kPanelFlags);
    if (st != WU_OK || !p) return st != WU_OK ? st : 1;
    panel = static_cast<wu_pane *>(p);
    if (panel->column == WU_FULL_WIDTH) panel->column = 1;
    Unlist(w, panel);
    // The host's panel is handed to the slots like any pane of the window.
    if (wu_reg_add(panel, WU_REG_PANE) != WU_OK) {
      yufrpan(w, panel);
      return 1;
    }
    w->command_pane = panel;
  }
  panel->flags &= ~kPanelClear;
  panel->rows = rows;
  if (!w->message_field) {
    if (!MakeFields(w, panel, rows)) {
      ReleasePanel(w);
      return 1;
    }
  }
  if ((!panel->ext || !panel->ext->widget) && w->form && wu_x_ok()) {
    if (wutihpn(panel, w->form) != 0) return 1;
    Dimension h = Dimension(rows * devb->cell_height);
    XtVaSetValues(panel->ext->widget, XmNheight, h, QevNpaneFixedHeight, h, nullptr);
    if (wuwcrsc) XtAddCallback(panel->ext->widget, QevNpaneCallback, wuwcrsc, w);
    XtManageChild(panel->ext->widget);
  }
  if (panel->ext && panel->ext->widget)
    for (wu_field *f = panel->fields; f; f = f->next) {
      wutwfld(panel, f, 1, f->length);
      f->flags &= ~WU_FLD_DIRTY;
    }
  return 0;
}

void wutfcmd(wu_window *w) {
  if (!w) return;
  if (wu_pane *panel = w->command_pane) {
    if (w->current_pane == panel) w->current_pane = nullptr;
    if (w->host_flags & WU_WHOST_PANEL_RELEASE) ReleasePanel(w);
    else FreeFields(w, panel);
  }
  w->prompt_field = w->command_field = w->message_field = nullptr;
  if (wutfstk) wutfstk(w);
  w->module_flags &= ~(WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE);
}

void wutfcpn(wu_window *w) {
  if (w) ReleasePanel(w);
}

}  // extern "C"
