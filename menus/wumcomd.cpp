// The command line side of a window: the switch between pull-down menus and
// the command line (one window, and all windows at the host's request), the
// window's menu location, cursor placement on the command field, and the
// message-line stack.
#include <X11/Intrinsic.h>
#include <Xm/Xm.h>

#include <cstddef>
#include <cstring>

#include "frames/wuframes.h"
#include "menus/wumenus.h"
#include "qev/flags.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"

namespace {

// Window-system global of the menu mode: 1 command line, 0 pull-down menus.
const int32_t kGlobalMode = 2;
// Requests of wuxmenu.
enum { kReqMenus = 1, kReqCommand = 2, kReqToggle = 3, kReqMenusWait = 4, kReqCommand2 = 5 };
// Messages after a switch: a window could not be switched; command line on.
const int32_t kMsgSet = 142, kMsgFailed = 27, kMsgCommandLine = 33;
const uint32_t kDecor = WU_WMOD_DECOR_MASK;
const uint32_t kMenuBar = WU_DECOR_MENUBAR | WU_DECOR_MENUBAR2;
const uint32_t kLines = WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE;
const uint32_t kFallback = WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE | WU_WMOD_MENUS_OFF;

bool WindowKnown(const wu_window *w) { return wumwkno(w) != 0; }

void Decorate(wu_window *w) {
  uint32_t d = 0;
  wuxgdsf(w, 0, &d);
  w->module_flags = (w->module_flags & ~kDecor) | (d & kDecor);
}

void CommandLineFlags(wu_window *w) {
  w->module_flags &= ~WU_WMOD_PULLDOWN;
  w->module_flags |= WU_WMOD_MENUS_OFF;
  w->host_flags |= WU_WHOST_COMMANDLINE;
}

// A set stays when a popup of the window uses it or a set it stays for.
bool UsedByPopup(wu_window *w, wu_menu_set *s) {
  for (int depth = 0; s && depth <= WU_PMENU_MAX_DEPTH; s = s->parent, ++depth)
    for (auto *p = static_cast<wu_popup_menu *>(w->popup_menus); p; p = p->next)
      if (p->menu_set == s) return true;
  return false;
}

void FreeUnusedSets(wu_window *w) {
  bool again = true;
  while (again) {
    again = false;
    for (auto *s = static_cast<wu_menu_set *>(w->menu_sets); s; s = s->next)
      if (!UsedByPopup(w, s)) {
        s->use_count = 1;
        wuxfmnu(w, s);
        again = true;
        break;
      }
  }
}

// Whether windows show pull-down menus: the last request's choice, or the
// host's global before any request.
bool MenusOn() {
  wu_state *st = wu_module();
  if (st && (st->menu_flags & WU_MST_SWITCHED)) return (st->menu_flags & WU_MST_MENUS_ON) != 0;
  return yugwred(kGlobalMode) == 0;
}

bool SameName(const char *a, const char *b, size_t n) { return std::memcmp(a, b, n) == 0; }

// The field of the message line and the length of its text without
// trailing blanks.
int32_t Stripped(const wu_field *f) { return wzstrip(f->text, f->length); }

void Redraw(wu_window *w, wu_field *f, int32_t count) {
  if (count > f->length) count = f->length;
  if (count > 0 && w->command_pane && (w->flags & WU_WIN_REALIZED) && wu_x_ok())
    wutwfld(w->command_pane, f, 1, count);
}

}  // namespace

extern "C" {

int32_t wutclst(wu_window *w, int32_t mode) {
  if (!WindowKnown(w)) return 0;
  if (mode == 3) {
    if (w->menu_set) mode = 1;
    else mode = (w->module_flags & (WU_WMOD_MENUS_OFF | WU_DECOR_COMMANDLINE)) ? 2 : 1;
  }
  if (mode != 1) mode = 2;
  // A window whose widgets do not stand only gets its flags.
  if (!w->form || !wu_x_ok()) {
    if (mode == 1) CommandLineFlags(w);
    else {
      w->host_flags &= ~WU_WHOST_COMMANDLINE;
      w->module_flags &= ~WU_WMOD_MENUS_OFF;
      w->module_flags |= WU_WMOD_PULLDOWN;
    }
    Decorate(w);
    return mode;
  }
  const bool realised = w->form && wu_x_ok();
  Dimension width = 0, height = 0;
  if (realised) {
    XtVaGetValues(w->form, XmNwidth, &width, XmNheight, &height, nullptr);
    if (w->mode == 1) XtVaSetValues(w->form, XmNresizePolicy, XmRESIZE_NONE, nullptr);
    else if (w->outer) XtVaSetValues(w->outer, XmNallowShellResize, False, nullptr);
    XtUnmanageChild(w->form);
  }
  if (mode == 1) {
    CommandLineFlags(w);
    wutfamu(w, 1);
    if (w->menu_set) wuxfmnu(w, static_cast<wu_menu_set *>(w->menu_set));
    w->menu_set = nullptr;
    FreeUnusedSets(w);
  } else {
    w->host_flags &= ~WU_WHOST_COMMANDLINE;
    w->module_flags &= ~WU_WMOD_MENUS_OFF;
    if (!w->menu_set) {
      w->module_flags |= WU_WMOD_PULLDOWN;
      wuxgamu(w);
    }
  }
  wutfcmd(w);
  Decorate(w);
  if (w->module_flags & kMenuBar) {
    if (wutiamu(w) != WU_OK) {
      w->module_flags &= ~kMenuBar;
      w->module_flags |= kFallback;
      mode = 1;
    }
  } else {
    wutfamu(w, 0);
    // Menus were asked for but none could be had: the window is left on
    // the command line, and says so.
    if (mode == 2) {
      w->module_flags |= kFallback;
      mode = 1;
    }
  }
  if (w->module_flags & kLines) wuticmd(w);
  if (realised) {
    wuwmwsa(w);
    wuwswsl(w);
    w->module_flags |= WU_WMOD_GEOMETRY;
    XtVaSetValues(w->form, XmNwidth, width, XmNheight, height, nullptr);
    wutcnfg(w);
    XtManageChild(w->form);
    if (w->mode == 1) XtVaSetValues(w->form, XmNresizePolicy, XmRESIZE_ANY, nullptr);
    else if (w->outer) XtVaSetValues(w->outer, XmNallowShellResize, True, nullptr);
    wutsync(1, 1);
    if (!WindowKnown(w)) return mode;
    w->module_flags &= ~WU_WMOD_GEOMETRY;
  }
  if ((w->module_flags & WU_DECOR_COMMANDLINE) || ((w->module_flags & kMenuBar) && !w->current_pane))
    wux1st(w);
  if (w->input) wuwFocusToQevinput(w);
  return mode;
}

int32_t wutcomd(wu_window *w, int32_t move, int32_t row, int32_t column) {
  if (!WindowKnown(w) || !w->command_field || !w->command_pane) return 0;
  if (!move) return 1;
  wu_pane *panel = w->command_pane;
  if (row == -1) {
    row = w->command_field->row;
    column = w->command_field->column;
  } else {
    const int32_t top = panel->top_row > 0 ? panel->top_row : 1;
    row = row == 0 ? top + panel->rows - 1 : row + top - 1;
    if (column < 1) column = panel->left_column > 0 ? panel->left_column : 1;
  }
  if (w->current_pane) w->current_pane->current_field = nullptr;
  w->current_pane = nullptr;
  wuxmcrs(w, panel, row, column);
  return 1;
}

wu_status wutpshm(wu_window *w, const char *text, int32_t length) {
  if (!WindowKnown(w) || !w->message_field) return WU_NOTAVAIL;
  wu_field *f = w->message_field;
  if (!text) length = 0;
  else if (length < 0) length = int32_t(std::strlen(text));
  const int32_t n = Stripped(f);
  const int32_t size = int32_t(offsetof(wu_saved_text, text)) + n + 1;
  auto *e = static_cast<wu_saved_text *>(vmalcp_handler(w->pool, size, WU_MEM_CLEAR));
  if (!e) return WU_NOMEM;
  e->length = n;
  std::memcpy(e->text, f->text, size_t(n));
  e->next = static_cast<wu_saved_text *>(w->saved_texts);
  w->saved_texts = e;
  const int32_t copied = length < f->length ? length : f->length;
  if (copied > 0) std::memcpy(f->text, text, size_t(copied));
  if (n > copied) std::memset(f->text + copied, ' ', size_t(n - copied));
  Redraw(w, f, copied > n ? copied : n);
  return WU_OK;
}

wu_status wutpopm(wu_window *w) {
  if (!WindowKnown(w)) return WU_NOTAVAIL;
  auto *e = static_cast<wu_saved_text *>(w->saved_texts);
  wu_field *f = w->message_field;
  if (!e || !f) return WU_OK;
  w->saved_texts = e->next;
  const int32_t current = Stripped(f);
  const int32_t copied = e->length < f->length ? e->length : f->length;
  if (copied > 0) std::memcpy(f->text, e->text, size_t(copied));
  if (current > copied) std::memset(f->text + copied, ' ', size_t(current - copied));
  Redraw(w, f, copied > current ? copied : current);
  vmfree_handler(w->pool, e, int32_t(offsetof(wu_saved_text, text)) + e->length + 1, 0);
  return WU_OK;
}

void wutfstk(wu_window *w) {
  if (!w) return;
  while (auto *e = static_cast<wu_saved_text *>(w->saved_texts)) {
    w->saved_texts = e->next;
    vmfree_handler(w->pool, e, int32_t(offsetof(wu_saved_text, text)) + e->length + 1, 0);
  }
}

wu_status wuxmenu(int32_t request) {
  wu_state *st = wu_module();
  if (!st) return WU_NOTAVAIL;
  st->menu_flags &= ~WU_MST_REQUEST4;
  st->menu_task = reinterpret_cast<qev_task *>(1);
  int32_t global = 0;
  switch (request) {
    case kReqCommand:
    case kReqCommand2: global = 1; break;
    case kReqToggle: global = yugwred(kGlobalMode) ? 0 : 1; break;
    case kReqMenusWait:
      if (yugwred(kGlobalMode)) {
        st->menu_flags |= WU_MST_REQUEST4;
        st->menu_task = yucurtk();
      }
      break;
    default: break;
  }
  yugwset(kGlobalMode, global);
  if (global) st->menu_flags &= ~WU_MST_MENUS_ON;
  else st->menu_flags |= WU_MST_MENUS_ON;
  st->menu_flags |= WU_MST_SWITCHED;
  bool failed = false;
  const int32_t wanted = 2 - global;
  for (wu_window *w = st->oldest; w;) {
    wu_window *newer = w->prev;
    w->module_flags |= WU_WMOD_GEOMETRY;
    if (w->module_flags & WU_WMOD_OWN_LOCATION) {
      wuxcmnu(w, w->menu_lib, w->menu_libref, w->menu_catalog, w->menu_entry);
    } else if (w->flags & WU_WIN_REALIZED) {
      const int32_t current = (w->module_flags & kMenuBar) ? 2 : 1;
      if (current != wanted && wutclst(w, wanted) != wanted) failed = true;
    } else if (wanted == 1) {
      w->host_flags |= WU_WHOST_COMMANDLINE;
    } else {
      w->host_flags &= ~WU_WHOST_COMMANDLINE;
    }
    if (WindowKnown(w)) w->module_flags &= ~WU_WMOD_GEOMETRY;
    w = WindowKnown(newer) ? newer : nullptr;
  }
  if (failed && st->newest) yudsmsg(st->newest, 0, 1, kMsgSet, kMsgFailed);
  else if (!failed && request == kReqCommand && st->newest)
    yudsmsg(st->newest, 0, 0, kMsgSet, kMsgCommandLine);
  return WU_OK;
}

void wumiwmn(wu_window *w) {
  if (!WindowKnown(w)) return;
  const char *e = w->menu_entry;
  int16_t len = 0;
  std::memcpy(&len, e, sizeof len);
  if (len <= 0 || e[2] == ' ' || e[2] == '\0') return;
  if (!w->menu_set) wuxgamu(w);
  if ((w->module_flags & kMenuBar) && wutiamu(w) != WU_OK) {
    w->module_flags &= ~kMenuBar;
    w->module_flags |= kFallback;
  }
}

wu_status wuxcmnu(wu_window *w, qev_lib *lib, const char *libref, const char *catalog,
                  const char *entry) {
  if (!WindowKnown(w)) return WU_NOTAVAIL;
  // Without a library reference the library handle names the library: the
  // loader asks the handle for it.
  static const char kNoLibref[QEV_LIBREF_LEN] = {};
  if (!libref) libref = kNoLibref;
  if (catalog && entry &&
      (!SameName(libref, w->menu_libref, QEV_LIBREF_LEN) ||
       !SameName(catalog, w->menu_catalog, QEV_NAME34_LEN) ||
       !SameName(entry, w->menu_entry, QEV_NAME34_LEN))) {
    std::memcpy(w->menu_libref, libref, QEV_LIBREF_LEN);
    std::memcpy(w->menu_catalog, catalog, QEV_NAME34_LEN);
    std::memcpy(w->menu_entry, entry, QEV_NAME34_LEN);
    w->menu_lib = lib;
    if (w->menu_set) wuxfmnu(w, static_cast<wu_menu_set *>(w->menu_set));
    w->menu_set = nullptr;
  }
  if (!(w->flags & WU_WIN_REALIZED)) return WU_OK;
  // A realised window always has its mode applied again.
  if (w->module_flags & WU_WMOD_OWN_LOCATION) w->module_flags &= ~WU_WMOD_MENUS_OFF;
  uint32_t d = 0;
  wuxgdsf(w, 0, &d);
  int32_t mode;
  if (d & kMenuBar) mode = 2;
  else if (w->host_flags & WU_WHOST_COMMANDLINE) mode = 1;
  else mode = MenusOn() ? 2 : 1;
  if (wutibox) wutibox(w);
  wutclst(w, mode);
  return WU_OK;
}

}  // extern "C"
