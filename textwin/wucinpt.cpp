// The road of a key: typed characters edit the current field at once;
// editing keys move the cursor or edit the field; every other named key is
// queued for the window as the negative of its key index, which ends the
// host's waiting read.
#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <algorithm>
#include <cstring>

#include "qev/flags.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QevInput.h"
#include "textwin/QevPane.h"
#include "frames/wutframe.h"
#include "graphics/wugraph.h"
#include "textwin/wutwin.h"

namespace {

struct KeyIndex {
  const char *name;
  int32_t index;
};

// Keys handed to the host, by name.  F1 to F12 are keys 1 to 12.
const KeyIndex kHostKeys[] = {
    {"F1", 1},  {"F2", 2},   {"F3", 3},   {"F4", 4},
    {"F5", 5},  {"F6", 6},   {"F7", 7},   {"F8", 8},
    {"F9", 9},  {"F10", 10}, {"F11", 11}, {"F12", 12},
    {"Enter", WU_KEY_ENTER},   {"PageUp", WU_KEY_PAGEUP}, {"PageDown", WU_KEY_PAGEDOWN},
    {"Escape", WU_KEY_ESCAPE}, {"Help", WU_KEY_HELP},     {"Insert", WU_KEY_INSERT},
};

// The application context the actions were added to (a new one after the
// toolkit restarts needs them again).
XtAppContext g_actions_app = nullptr;

wu_pane *Current(wu_window *w) { return w->current_pane; }

wu_field *CurrentField(wu_window *w) {
  wu_pane *p = Current(w);
  return p ? wutfatc(p, p->cursor_row, p->cursor_column) : nullptr;
}

void MoveTo(wu_window *w, int32_t row, int32_t column) {
  wu_pane *p = Current(w);
  if (p) wuxmcrs(w, p, std::max(1, row), std::max(1, column));
}

// The unprotected fields of the window in order: the command field, then
// each pane's fields.
int Fields(wu_window *w, wu_pane **panes, wu_field **fields, int max) {
  int n = 0;
  if (w->command_field && n < max) {
    panes[n] = w->command_pane;
    fields[n++] = w->command_field;
  }
  for (wu_pane *p = w->panes; p; p = p->next)
    for (wu_field *f = p->fields; f && n < max; f = f->next)
      if (!(f->flags & WU_FLD_PROTECTED)) {
        panes[n] = p;
        fields[n++] = f;
      }
  return n;
}

void NextField(wu_window *w, int step) {
  const int kMax = 256;
  wu_pane *panes[kMax];
  wu_field *fields[kMax];
  int n = Fields(w, panes, fields, kMax);
  if (n == 0) return;
  wu_field *cur = CurrentField(w);
  int at = -1;
  for (int i = 0; i < n; ++i)
    if (fields[i] == cur) at = i;
  int next = at < 0 ? (step > 0 ? 0 : n - 1) : (at + step + n) % n;
  wuxmcrs(w, panes[next], fields[next]->row, fields[next]->column);
}

// Removes the character at a field offset; the rest moves left.
void DeleteAt(wu_pane *p, wu_field *f, int32_t off) {
  const int32_t length = wutflen(f);
  if (off < 0 || off >= length) return;
  std::memmove(f->text + off, f->text + off + 1, size_t(length - off - 1));
  f->text[length - 1] = ' ';
  f->flags |= WU_FLD_MODIFIED;
  wutwfld(p, f, off + 1, length - off);
}

bool EditKey(wu_window *w, Widget from, const char *key) {
  wu_pane *p = Current(w);
  wu_field *f = CurrentField(w);
  int32_t row = p ? p->cursor_row : 1, col = p ? p->cursor_column : 1;
  if (!std::strcmp(key, "Home")) {
    wux1st(w);
  } else if (!std::strcmp(key, "Tab")) {
    if (wuwtabc == nullptr || !wuwtabc(w, from, 1)) NextField(w, 1);
  } else if (!std::strcmp(key, "BackTab")) {
    if (wuwtabc == nullptr || !wuwtabc(w, from, -1)) NextField(w, -1);
  } else if (!std::strcmp(key, "Left")) {
    MoveTo(w, row, col - 1);
  } else if (!std::strcmp(key, "Right")) {
    MoveTo(w, row, col + 1);
  } else if (!std::strcmp(key, "Up")) {
    MoveTo(w, row - 1, col);
  } else if (!std::strcmp(key, "Down")) {
    MoveTo(w, row + 1, col);
  } else if (!std::strcmp(key, "End")) {
    if (f) MoveTo(w, f->row, f->column + std::min(wutflen(f) - 1, wzstrip(f->text, wutflen(f))));
  } else if (!std::strcmp(key, "Delete")) {
    if (f && !(f->flags & WU_FLD_PROTECTED)) DeleteAt(p, f, col - f->column);
    else wutalrm();
  } else if (!std::strcmp(key, "BackSpace")) {
    if (f && !(f->flags & WU_FLD_PROTECTED) && col > f->column) {
      DeleteAt(p, f, col - f->column - 1);
      MoveTo(w, row, col - 1);
    } else {
      wutalrm();
    }
  } else {
    return false;
  }
  return true;
}

// The key of a widget: the window's input widget or a widget in a pane.
void HandleKey(wu_window *w, Widget from, const QevInputCallbackStruct *call) {
  if (!w || !call) return;
  if (call->reason == QevCR_INSERT_CHAR) {
    wu_pane *p = Current(w);
    wu_field *f = CurrentField(w);
    if (!p || !f || (f->flags & WU_FLD_PROTECTED)) {
      wutalrm();
      return;
    }
    int32_t off = p->cursor_column - f->column;
    const int32_t length = wutflen(f);
    for (int i = 0; i < call->length && off >= 0 && off < length; ++i, ++off) f->text[off] = call->text[i];
    f->flags |= WU_FLD_MODIFIED;
    wutwfld(p, f, p->cursor_column - f->column + 1, call->length);
    MoveTo(w, p->cursor_row, f->column + std::min(off, length - 1));
    return;
  }
  if (!call->key) return;
  // The tables bind Tab before Shift-Tab in places; a Tab typed with Shift
  // held goes back.
  const char *key = call->key;
  if (!std::strcmp(key, "Tab") && call->event && call->event->type == KeyPress &&
      (call->event->xkey.state & ShiftMask))
    key = "BackTab";
  if (EditKey(w, from, key)) return;
  for (const KeyIndex &k : kHostKeys) {
    if (std::strcmp(k.name, call->key) != 0) continue;
    if (wuxqwev(w, -k.index, nullptr, 0) != WU_OK) wutalrm();
    return;
  }
  wutalrm();
}

// The window of a widget: its pane's window, else the current window.
wu_window *WindowOf(Widget widget) {
  wu_window *w = nullptr;
  wu_pane *p = nullptr;
  if (wutwd2p(widget, &w, &p) == WU_OK) return w;
  wu_state *state = wu_module();
  return state ? state->current : nullptr;
}

void KeyFromWidget(Widget widget, QevInputCallbackStruct *call) {
  HandleKey(WindowOf(widget), widget, call);
}

void ActionsGone(Widget, XtPointer, XtPointer) { g_actions_app = nullptr; }

// The easel record of a widget that is one of its pane's easels, or null.
wu_easel *EaselOf(Widget widget, wu_window **window_out) {
  wu_window *w = nullptr;
  wu_pane *p = nullptr;
  if (wutwd2p(widget, &w, &p) != WU_OK || !p) return nullptr;
  for (wu_easel *e = p->easels; e; e = e->next)
    if (e->widget == widget) {
      *window_out = w;
      return e;
    }
  return nullptr;
}

// Next- and previous-field actions: an easel reports its own event with the
// easel record, any other widget the window's field event.
void FieldAction(Widget widget, int32_t field_code, int32_t easel_code) {
  wu_window *w = nullptr;
  if (wu_easel *easel = EaselOf(widget, &w)) {
    wuxqwev(w, easel_code, &easel, int32_t(sizeof easel));
    return;
  }
  if (wu_window *win = WindowOf(widget)) wuxqwev(win, field_code, nullptr, 0);
}

void NextFieldAction(Widget w, XEvent *event, String *, Cardinal *) { wutnxtf(w, event); }
void PrevFieldAction(Widget w, XEvent *event, String *, Cardinal *) { wutprvf(w, event); }

XtActionsRec kFieldActions[] = {
    {(String) "qev-next-field", NextFieldAction},
    {(String) "qev-prev-field", PrevFieldAction},
};

}  // namespace

extern "C" {

// The keys of a window being released (its widgets go at the end of the
// dispatch) are dropped.
void wuwinsc(Widget from, XtPointer client, XtPointer call) {
  if (!wu_reg_has(client, WU_REG_WINDOW)) return;
  HandleKey(static_cast<wu_window *>(client), from, static_cast<QevInputCallbackStruct *>(call));
}

void wuwfkey(Widget from, XtPointer client, XtPointer call) {
  if (!wu_reg_has(client, WU_REG_WINDOW)) return;
  HandleKey(static_cast<wu_window *>(client), from, static_cast<QevInputCallbackStruct *>(call));
}

void wutnxtf(Widget w, XEvent *) { FieldAction(w, WU_EV_NEXT_FIELD, WU_EV_EASEL_NEXT_FIELD); }

void wutprvf(Widget w, XEvent *) { FieldAction(w, WU_EV_PREV_FIELD, WU_EV_EASEL_PREV_FIELD); }

void wutiact(void) {
  if (!wu_x_ok() || g_actions_app == devb->app) return;
  g_actions_app = devb->app;
  // The actions go with the application context; its top-level shell goes
  // with it too.
  if (devb->toplevel) XtAddCallback(devb->toplevel, XmNdestroyCallback, ActionsGone, nullptr);
  QevInputRegisterActions(devb->app);
  QevInputSetKeyHandler(KeyFromWidget);
  XtAppAddActions(devb->app, kFieldActions, XtNumber(kFieldActions));
}

}  // extern "C"
