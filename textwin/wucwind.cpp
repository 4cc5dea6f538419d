// Window records and their life: allocation, realisation, the waiting read,
// the display update and release.
#include <X11/IntrinsicP.h>
#include <Xm/Xm.h>
#include <cstring>

#include "frames/wuframes.h"
#include "qev/flags.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QevPane.h"
#include "frames/wutframe.h"
#include "textwin/wutwin.h"

// Step one of a control's release (the controls layer, when linked).
extern "C" wu_status wuxfwid(wu_control *control) __attribute__((weak));
// Builder and main widget of a control (the controls layer, when linked).
extern "C" wu_status wutiwid(wu_control *control) __attribute__((weak));
extern "C" Widget wuwgxtw(wu_control *control) __attribute__((weak));
// The Find/Change dialog (the dialogs layer, when linked) acts on a target
// window: it closes when that window goes and follows the active window.
extern "C" void wumfdwn(wu_window *window) __attribute__((weak));
extern "C" wu_status wumndlg(wu_window *window) __attribute__((weak));
// A window becoming the active one: the Find/Change dialog, the tool box and
// the command window follow it (menus layer).
extern "C" wu_status wutacmd(wu_window *window) __attribute__((weak));
// The menus of a window: its menu sets, popups, item states and message
// stack go with it (the menus layer, when linked).
extern "C" void wumfwmn(wu_window *window) __attribute__((weak));
extern "C" void wutfamu(wu_window *window, int32_t keep_height) __attribute__((weak));
extern "C" void wumiwmn(wu_window *window) __attribute__((weak));
// The command window learns of a window's release (menus layer).
extern "C" void wumcwgo(wu_window *window) __attribute__((weak));

namespace {

// The longest a waiting read sleeps in one turn of the event loop before it
// looks at the queue and the display again.
const int32_t kReadTurnMs = 500;

// A window the module handed out and has not released.
bool WindowLive(const wu_window *w) { return wu_reg_has(w, WU_REG_WINDOW) != 0; }

void FreeFields(wu_window *w, wu_pane *pane) {
  wu_field *f = pane->fields;
  while (f) {
    wu_field *next = f->next;
    wu_reg_remove(f);
    vmfree_handler(w->pool, f, int32_t(sizeof(wu_field)) + 2 * wutfcap(f), 0);
    f = next;
  }
  pane->fields = pane->current_field = nullptr;
}

// Takes the first record off the pane's release list; null when empty.
wu_control *TakeReleased(wu_pane_ext *ext) {
  wu_control *c = ext->release;
  if (!c) return nullptr;
  ext->release = c->next;
  if (!ext->release) ext->release_last = nullptr;
  c->next = c->prev = nullptr;
  return c;
}

// Moves the controls still in the pane's list to its release list.
void ReleaseListed(wu_pane_ext *ext) {
  if (wuxfwid)
    while (wu_control *c = ext->controls)
      if (wuxfwid(c) != WU_OK) break;
}

// Takes every record off the pane's release list: the controls layer drops
// its widgets, then the record goes back to the pool under its kind.
void RunReleaseList(wu_window *w, wu_pane *pane) {
  wu_pane_ext *ext = pane->ext;
  if (!ext) return;
  while (wu_control *c = TakeReleased(ext)) {
    if (wutfwid) wutfwid(w, ext, c);
    wu_reg_remove(c);
    wutfmem(w->pool, c, c->kind);
  }
}

// Releases the controls still in the pane's list, both steps at once: a
// pane that goes takes its controls, their widgets and handles with it.
void ReleaseControls(wu_window *w, wu_pane *pane) {
  if (!pane->ext) return;
  ReleaseListed(pane->ext);
  RunReleaseList(w, pane);
}

// Releases the pane's controls with the pane's widget, as a window that goes
// releases them: each record gives up what it holds while its widgets still
// stand, then the pane's widget is destroyed and takes theirs with it in one
// pass of the toolkit (one layout of the window, and Motif brings the
// shell's drop-site information up to date once for each drop site, as for
// a shell destroyed whole), then the records go.  Records that a clean-up
// releases meanwhile join them.
void ReleaseWithPane(wu_window *w, wu_pane *pane) {
  wu_pane_ext *ext = pane->ext;
  Widget pane_widget = ext ? ext->widget : nullptr;
  if (!pane_widget || pane_widget->core.being_destroyed || !wuxfwid || !wutfwpn || !wutfwfg ||
      !wu_x_ok()) {
    ReleaseControls(w, pane);
    return;
  }
  ReleaseListed(ext);
  // The records taken, chained by their `next`.
  wu_control *taken = nullptr, **tail = &taken;
  while (wu_control *c = TakeReleased(ext)) {
    *tail = c;
    tail = &c->next;
    wutfwpn(w, ext, c);
  }
  // Motif would keep the text drawing state of the pane's windows for the
  // life of the process.  (A clean-up that took the pane's widget down has
  // cleared it.)
  if (Widget still = ext->widget) {
    wumdxft(still);
    XtDestroyWidget(still);
    ext->widget = nullptr;
  }
  while (wu_control *c = taken) {
    taken = c->next;
    c->next = nullptr;
    wutfwfg(c);
    wu_reg_remove(c);
    wutfmem(w->pool, c, c->kind);
  }
  RunReleaseList(w, pane);
}

// Builds the widgets of the older bars and controls made before their pane
// was realised (their creators keep the record and leave the widgets for
// now; radio buttons come with their box).  A bar or control that cannot be
// built is reported; the window stands without it.
void BuildPendingBars(wu_window *w, wu_pane *pane) {
  for (wu_control *c = pane->ext->controls; c; c = c->next) {
    const bool scaled = c->kind == WU_MT_SCALE || c->kind == WU_MT_SCALE2;
    if (!scaled && c->kind != WU_MT_BAR && c->kind != WU_MT_BAR2) {
      if (c->kind == WU_MT_RADIOBUTTON || c->kind == WU_MT_PANE_VBAR ||
          c->kind == WU_MT_PANE_HBAR || !wutiwid || !wuwgxtw || wuwgxtw(c))
        continue;
      if (wutiwid(c) != WU_OK)
        wutlogf(QEV_LOG_WARNING, "A control of pane %d could not be made.", pane->id);
      continue;
    }
    auto *bar = reinterpret_cast<wu_bar *>(c);
    if (bar->widget) continue;
    wu_status st = scaled ? wutiscl(w, pane, bar) : wutisbr(w, pane, bar);
    if (st != WU_OK) wutlogf(QEV_LOG_WARNING, "A scroll bar of pane %d could not be made.", pane->id);
  }
}

}  // namespace

extern "C" void wutfpnx(wu_window *w, wu_pane *pane) {
  ReleaseControls(w, pane);
  if (pane->ext) {
    if (pane->ext->widget) XtDestroyWidget(pane->ext->widget);
    vmfree_handler(w->pool, pane->ext, int32_t(sizeof(wu_pane_ext)), 0);
    pane->ext = nullptr;
  }
}

extern "C" void wutfpan(wu_window *w, wu_pane *pane) {
  // The pane is unknown to every slot from here on.
  wu_reg_remove(pane);
  wutfpnx(w, pane);
  FreeFields(w, pane);
  vmfree_handler(w->pool, pane, int32_t(sizeof(wu_pane)), 0);
}

namespace {

// Draws what changed in one pane: the whole pane when it is marked, else
// the marked fields.
void UpdatePane(wu_pane *pane) {
  if (!pane->ext || !pane->ext->widget) return;
  bool all = (pane->flags & WU_PANE_DIRTY) != 0;
  if (all) {
    sperase(pane->ext->widget, 1, 1, pane->rows, WU_FULL_WIDTH);
    pane->flags &= ~WU_PANE_DIRTY;
  }
  for (wu_field *f = pane->fields; f; f = f->next) {
    if (!all && !(f->flags & WU_FLD_DIRTY)) continue;
    wutwfld(pane, f, 1, f->length);
    f->flags &= ~WU_FLD_DIRTY;
  }
}

// Keeps a command event's text for the host after the event is taken.
void KeepCommand(wu_window *w, const wu_event *e) {
  if (w->command_text) {
    vmfree_handler(w->pool, w->command_text, w->command_length + 1, 0);
    w->command_text = nullptr;
    w->command_length = 0;
  }
  if (e->code != WU_EV_COMMAND || !e->text) return;
  char *copy = static_cast<char *>(vmalloc_handler(w->pool, e->text_length + 1, 0));
  if (!copy) return;
  std::memcpy(copy, e->text, size_t(e->text_length));
  copy[e->text_length] = '\0';
  w->command_text = copy;
  w->command_length = e->text_length;
}

// Takes the window off the module's window list (once).
void Unlink(wu_state *state, wu_window *w) {
  if (w->prev == nullptr && state->newest != w) return;
  if (w->prev) w->prev->next = w->next;
  else state->newest = w->next;
  if (w->next) w->next->prev = w->prev;
  else state->oldest = w->prev;
  w->prev = w->next = nullptr;
  if (state->current == w) state->current = nullptr;
  if (state->modal == w) state->modal = nullptr;
}

void ReleaseWindow(wu_state *state, wu_window *w) {
  wuxfleq(WU_FLEQ_WINDOW, w);
  if (wumfdwn) wumfdwn(w);
  if (wumfbar) wumfbar(w);
  if (wutfamu) wutfamu(w, 0);
  if (wumfwmn) wumfwmn(w);
  if (wumcwgo) wumcwgo(w);
  wutfcmd(w);
  // Controls are released while their widgets still stand; their widgets go
  // with their pane's.
  for (wu_pane *p = w->panes; p; p = p->next) ReleaseWithPane(w, p);
  wutfcpn(w);
  // Motif would keep the text drawing state of every window of the frame
  // for the life of the process.
  if (w->outer && wu_x_ok()) wumdxft(w->outer);
  // Pane widgets go with the frame; forget them first so that releasing
  // the records does not destroy them twice.
  wutdfrm(w);
  for (wu_pane *p = w->panes; p; p = p->next)
    if (p->ext) p->ext->widget = nullptr;
  while (wu_pane *p = w->panes) {
    w->panes = p->next;
    wutfpan(w, p);
  }
  if (w->command_text) vmfree_handler(w->pool, w->command_text, w->command_length + 1, 0);
  Unlink(state, w);
  // Holds taken on the window (waiting reads, modal waits) see it gone.
  wu_reg_remove(w);
  vmfree_handler(w->pool, w, int32_t(sizeof(wu_window)), 0);
  // What the release tore down (the window, the grabs of a list posted in
  // it) is gone on the server before the host goes on.
  if (wu_x_ok()) XFlush(devb->display);
}

// A window marked as going is released here, once the toolkit has returned
// from the callback it was released in.  It is known again as a window for
// the time of its release, so that every step finds its records.
void ReleaseGoing(void *object) {
  auto *w = static_cast<wu_window *>(object);
  wu_state *state = wu_module();
  if (!state || wu_reg_kind_of(w) != WU_REG_WINDOW_GOING) return;
  wu_reg_add(w, WU_REG_WINDOW);
  ReleaseWindow(state, w);
}

// Every object of the window gets a fresh registration: holds taken on the
// window, its panes and its controls see them gone, so modal waits they
// serve end as cancelled, and callbacks that hold them stop.
void RenewPane(wu_pane *pane) {
  if (!pane) return;
  wu_reg_add(pane, wu_reg_kind_of(pane));
  if (!pane->ext) return;
  for (wu_control *c = pane->ext->controls; c; c = c->next)
    if (wu_reg_kind_of(c) != WU_REG_NONE) wu_reg_add(c, wu_reg_kind_of(c));
}

// The host released the window from inside a widget callback: nothing of it
// is queued, drawn or answered from now on (every slot finds it released),
// its record stays entered, so that no other window takes its address,
// until the release is carried out.
wu_status MarkGoing(wu_state *state, wu_window *w) {
  if (wu_defer_release(w, ReleaseGoing) != WU_OK) {
    // Not kept for later: released now, as before.
    ReleaseWindow(state, w);
    return WU_OK;
  }
  wuxfleq(WU_FLEQ_WINDOW, w);
  Unlink(state, w);
  for (wu_pane *p = w->panes; p; p = p->next) RenewPane(p);
  RenewPane(w->command_pane);
  wu_reg_add(w, WU_REG_WINDOW_GOING);
  return WU_OK;
}

}  // namespace

extern "C" {

wu_status wuxgwnd(wu_window **window_out, int32_t kind, uint32_t module_flags) {
  wu_state *state = wu_module();
  if (!state) {
    if (window_out) *window_out = nullptr;
    return WU_NOTAVAIL;
  }
  if (!window_out) return WU_BADARG;
  *window_out = nullptr;
  auto *w = static_cast<wu_window *>(vmalcp_handler(state->pool, sizeof(wu_window), WU_MEM_CLEAR));
  if (!w) return WU_NOMEM;
  if (wu_reg_add(w, WU_REG_WINDOW) != WU_OK) {
    vmfree_handler(state->pool, w, int32_t(sizeof(wu_window)), 0);
    return WU_NOMEM;
  }
  w->kind = kind;
  w->module_flags = module_flags;
  w->pool = state->pool;
  w->task = yucurtk();
  w->event_task = w->task;
  if (w->task) {
    void **slot = yutslot(w->task, QEV_TASK_SLOT_SESSION);
    if (slot) w->session = static_cast<wu_session *>(*slot);
  }
  if (w->session) {
    w->display = w->session->display;
    w->mode = w->session->workspace ? 1 : 0;
  }
  w->next = state->newest;
  if (state->newest) state->newest->prev = w;
  state->newest = w;
  if (!state->oldest) state->oldest = w;
  *window_out = w;
  // Slots that take a window look it up here before reading it.
  if (wu_reg_add(w, WU_REG_WINDOW) != WU_OK) {
    wuxfwnd(w);
    *window_out = nullptr;
    return WU_NOMEM;
  }
  return WU_OK;
}

wu_status wuxfwnd(wu_window *w) {
  wu_state *state = wu_module();
  if (!state || !WindowLive(w)) return WU_NOTAVAIL;
  // From inside a widget callback the release waits until the toolkit is
  // done with the window's widgets; the window is inert meanwhile.
  if (wu_release_deferred()) return MarkGoing(state, w);
  ReleaseWindow(state, w);
  return WU_OK;
}

wu_status wuxiwnd(wu_window *w) {
  if (!WindowLive(w)) return WU_NOTAVAIL;
  if (w->flags & WU_WIN_REALIZED) return wuxuwnd(w);
  if (!wu_x_ok()) return WU_NOTAVAIL;
  wutiact();
  w->flags |= WU_WIN_REALIZED;
  wu_status st = wutwfrm(w);
  if (st != WU_OK) {
    w->flags &= ~WU_WIN_REALIZED;
    return st;
  }
  if (wumiwmn) wumiwmn(w);
  if (wuticmd(w) != 0) wutlogf(QEV_LOG_WARNING, "The window's command line could not be made.");
  for (wu_pane *p = w->panes; p; p = p->next) {
    const bool fresh = !p->ext || !p->ext->widget;
    if (wutihpn(p, w->form) != 0) {
      wutdfrm(w);
      w->flags &= ~WU_WIN_REALIZED;
      return WU_NOMEM;
    }
    XtManageChild(p->ext->widget);
    BuildPendingBars(w, p);
    // A pane widget made here holds blanks only, and its window shows its
    // background until the fields are drawn: only the fields are drawn.
    if (fresh) {
      for (wu_field *f = p->fields; f; f = f->next) f->flags |= WU_FLD_DIRTY;
    } else {
      p->flags |= WU_PANE_DIRTY;
    }
  }
  wutcnfg(w);
  wuwmwsa(w);
  wuwswsl(w);
  if (w->mode == 0) {
    // Windows realised while the host asks them to stay unmapped are built
    // but not shown.
    wu_state *state = wu_module();
    if (state && state->stay_unmapped) XtSetMappedWhenManaged(w->outer, False);
    XtRealizeWidget(w->outer);
  } else {
    XtManageChild(w->outer);
  }
  wuxuwnd(w);
  wux1st(w);
  wuwFocusToQevinput(w);
  return WU_OK;
}

wu_status wutuwnd(wu_window *w, int32_t flush) {
  if (!WindowLive(w)) return WU_NOTAVAIL;
  for (wu_pane *p = w->panes; p; p = p->next) RunReleaseList(w, p);
  if (w->command_pane) RunReleaseList(w, w->command_pane);
  w->flags &= ~WU_WIN_RELEASES;
  if (!(w->flags & WU_WIN_REALIZED) || !wu_x_ok()) return WU_OK;
  if (w->command_pane) UpdatePane(w->command_pane);
  for (wu_pane *p = w->panes; p; p = p->next) UpdatePane(p);
  wuxmcur(w);
  if (flush) wutflsh(0);
  return WU_OK;
}

wu_status wuxuwnd(wu_window *w) { return wutuwnd(w, 1); }

// True while a widget inside one of the window's panes (a control the user
// clicked or tabbed to) holds the keyboard: the read leaves it there.
static bool FocusInPane(wu_window *w) {
  if (w->outer == nullptr) return false;
  Widget focus = XmGetFocusWidget(w->outer);
  if (focus == nullptr || focus->core.being_destroyed || QevIsPane(focus)) return false;
  for (Widget p = XtParent(focus); p != nullptr && !XtIsShell(p); p = XtParent(p))
    if (QevIsPane(p)) {
      for (wu_pane *pane = w->panes; pane != nullptr; pane = pane->next)
        if (pane->ext != nullptr && pane->ext->widget == p) return true;
      return false;
    }
  return false;
}

wu_status wuxrwnd(wu_window *w) {
  wu_state *state = wu_module();
  if (!state || !WindowLive(w)) return WU_NOTAVAIL;
  const wu_reg_hold hold = wu_reg_take(w);
  wuxuwnd(w);
  if (state->current != w) {
    state->current = w;
    if (wutacmd) {
      wu_reg_hold hold = wu_reg_take(w);
      wutacmd(w);
      if (!wu_reg_alive(hold)) return WU_NOTAVAIL;
    } else if (wumndlg) {
      wumndlg(w);
    }
  }
  // A window never realised would wait for input that cannot come: it is
  // realised now, as its first read asks.
  if (!(w->flags & (WU_WIN_REALIZED | WU_WIN_HOST_REALIZES)) && wu_x_ok()) wuxiwnd(w);
  if (wu_x_ok() && (w->flags & WU_WIN_REALIZED) && !FocusInPane(w)) wuwFocusToQevinput(w);
  // While the batch driver replays, the recording supplies the input: the
  // read takes what is queued and never waits for the user.
  wu_batch_driver *driver = wutgbat();
  const bool replaying = driver && driver->mode == QEV_BATCH_REPLAY;
  const bool can_wait = !replaying && (w->flags & (WU_WIN_REALIZED | WU_WIN_HOST_REALIZES));
  wu_loop_enter();
  // Callbacks and event procedures run inside this loop: they may release
  // the window or end the module, so the hold is looked at every turn.
  while (can_wait && wu_reg_alive(hold) && wutcqev(w) == 0) {
    if (!wutturn(kReadTurnMs)) break;   // display lost, or a shut-down asked for
  }
  // Leaving the outermost loop carries out a shut-down deferred meanwhile.
  if (wu_loop_leave() != WU_OK || !wu_reg_alive(hold)) return WU_NOTAVAIL;
  wu_event *e = wutdqev(w);
  if (!e) return WU_NOTAVAIL;
  int32_t code = e->code;
  KeepCommand(w, e);
  wutrlev(e);
  return code;
}

wu_status wuxgdsf(wu_window *w, int32_t, uint32_t *flags_out) {
  if (!WindowLive(w)) return WU_NOTAVAIL;
  if (!flags_out) return WU_BADARG;
  // A message line always; a command line in command-line mode or while no
  // menus are loaded; a menu bar otherwise.
  uint32_t f = WU_DECOR_MESSAGELINE;
  bool menus = !(w->module_flags & WU_WMOD_MENUS_OFF) &&
               (w->menu_set || (w->module_flags & WU_WMOD_PULLDOWN));
  f |= menus ? WU_DECOR_MENUBAR : WU_DECOR_COMMANDLINE;
  *flags_out = f;
  return WU_OK;
}

wu_status wutecmd(wu_window *w, int32_t code) {
  if (!wumpcmd) return WU_NOTAVAIL;
  return wumpcmd(w, code);
}

void *wucw2ep(wu_window *w) {
  if (!w || !w->task) return nullptr;
  qev_context *ctx = yytgexe(w->task);
  if (!ctx) return nullptr;
  void *anchor = nullptr;
  if (yytngp(ctx, 0, WU_EDITOR_ANCHOR_NAME, WU_EDITOR_ANCHOR_NAME_LEN, &anchor, 0) != WU_OK)
    return nullptr;
  return anchor;
}

}  // extern "C"
