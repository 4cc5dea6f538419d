// Creation of catalogue controls, their handles, the lookups of the window
// interface and the keyboard focus.
#include <X11/IntrinsicP.h>
#include <Xm/Form.h>
#include <Xm/Xm.h>


#include "controls/wucontrol.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"

extern "C" {
// Creators of the other catalogue kinds, linked when their kinds are.  Each
// makes the record of its kind in the pane with the kind's fixed creation
// settings.
typedef wu_status (*wu_ctl_creator)(wu_pane *pane, wu_control **out);
wu_status wu_create_mef(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_lbl(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_cmb(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_lsv(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_spn(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_trv(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_pb(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_scl(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_cb(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_lbx(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_rbx(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_dti(wu_pane *, wu_control **) __attribute__((weak));
wu_status wu_create_pbar(wu_pane *, wu_control **) __attribute__((weak));
// The widget that takes the focus of a list view, list box or tree view.
Widget wu_lsv_focus(wu_control *) __attribute__((weak));
Widget wu_lbx_focus(wu_control *) __attribute__((weak));
Widget wu_trv_focus(wu_control *) __attribute__((weak));
// The toggle a radio box takes the focus on (with the radio box).
Widget wu_rbx_focus(wu_control *) __attribute__((weak));
}

namespace {

// The entry field's fixed creation settings: caller words 0, at (1, 1),
// one character wide, no length limit.
wu_status create_efd(wu_pane *pane, wu_control **out) {
  return wuxgefd(pane, out, 0, 1, 1, 1, -1, 0);
}

struct TypeInfo {
  wu_ctl_creator create;
  uint32_t mask;          // default event mask
  bool zero_position;     // record position 0 after creation
  bool zero_size;         // record size 0 (and no default size)
};

const TypeInfo kTypes[WU_CTYPE_KINDS] = {
    {wu_create_mef, 0x8114, false, false},   // multi-line entry
    {create_efd, 0x8114, false, false},      // entry field
    {wu_create_lbl, 0x10, false, false},     // label
    {wu_create_cmb, 0x8115, false, false},   // combo box
    {wu_create_lsv, 0x4111, false, false},   // list view
    {wu_create_spn, 0x8d14, false, false},   // spin box
    {wu_create_trv, 0xd9, false, false},     // tree view
    {wu_create_pb, 0x11, true, true},        // push button
    {wu_create_scl, 0x1010, true, false},    // scroll bar
    {wu_create_cb, 0x11, true, false},       // check box
    {wu_create_lbx, 0x111, false, false},    // list box
    {wu_create_rbx, 0x11, false, false},     // radio box
    {wu_create_dti, 0x110, true, true},      // desktop icon
    {wu_create_pbar, 0x10, true, false},     // progress bar
};

// Types whose focus widget keeps its own highlight thickness.
bool keeps_highlight(int32_t type) {
  switch (type) {
    case WU_CTYPE_MULTILINE: case WU_CTYPE_ENTRY: case WU_CTYPE_COMBO: case WU_CTYPE_SPIN:
    case WU_CTYPE_PUSH: case WU_CTYPE_CHECK: case WU_CTYPE_RADIO:
      return true;
    default:
      return false;
  }
}

// A pane the module handed out and has not released (a window's command
// pane included), looked up by address before it is read.
bool pane_live(const wu_pane *pane) { return wutpopn(pane) != 0; }

// An array handed out by wuxcord is preceded by a header that keeps its
// block size, so that wuxfcor gives back exactly what was taken without
// trusting anything the host holds.
struct ArrayHeader {
  int32_t size;          // size of the whole block, header included
  int32_t reserved[3];   // keeps the handles pointer-aligned
};

// The display update after a release; what it asks of the server goes with
// the next flush or wait, so that a host releasing many controls sends them
// together.  Without a display update of the window layer, the released
// records are destroyed here.
void update_window(wu_window *window) {
  if (wutuwnd != nullptr) {
    wutuwnd(window, 0);
    return;
  }
  if (wuxuwnd != nullptr) {
    wuxuwnd(window);
    return;
  }
  for (wu_pane *p = window->panes; p != nullptr; p = p->next) {
    wu_pane_ext *ext = p->ext;
    while (ext != nullptr && ext->release != nullptr) {
      wu_control *c = ext->release;
      ext->release = c->next;
      if (ext->release == nullptr) ext->release_last = nullptr;
      wutfwid(window, ext, c);
      wutfmem(window->pool, c, c->kind);
    }
  }
  window->flags &= ~WU_WIN_RELEASES;
}

// The application workspace form grows with its controls but no longer
// shrinks to them.
void workspace_grows(wu_window *window) {
  wu_session *s = window->session;
  if (s == nullptr || !s->workspace || s->form == nullptr || !wu_x_ok()) return;
  unsigned char policy = 0;
  XtVaGetValues(s->form, XmNresizePolicy, &policy, nullptr);
  if (policy == XmRESIZE_ANY) {
    XtVaSetValues(s->form, XmNresizePolicy, XmRESIZE_GROW, nullptr);
    s->resize_policy = XmRESIZE_GROW;
  }
}

void take_focus(Widget w, bool highlight) {
  wu_state *state = wu_module();
  XtVaSetValues(w, XmNtraversalOn, True, nullptr);
  if (highlight) XtVaSetValues(w, XmNhighlightThickness, Dimension(1), nullptr);
  XmProcessTraversal(w, XmTRAVERSE_CURRENT);
  // The window's input widget holds the shell's keyboard otherwise.
  Widget shell = w;
  while (shell != nullptr && !XtIsShell(shell)) shell = XtParent(shell);
  if (shell != nullptr) XtSetKeyboardFocus(shell, w);
  if (state != nullptr) state->focus = w;
  Dimension width = 0;
  XtVaGetValues(w, XmNwidth, &width, nullptr);
  XtVaSetValues(w, XmNwidth, width, nullptr);
}

int32_t cell_w() { return (devb && devb->cell_width > 0) ? devb->cell_width : 1; }
int32_t cell_h() { return (devb && devb->cell_height > 0) ? devb->cell_height : 1; }

}  // namespace

extern "C" {

wu_ctl_handle *wu_ctl_handle_for(wu_control *c) {
  if (c == nullptr) return nullptr;
  if (c->handle != nullptr) return c->handle;
  wu_window *window = wu_ctl_window(c);
  wu_state *state = wu_module();
  if (window == nullptr || state == nullptr) return nullptr;
  auto *h = static_cast<wu_ctl_handle *>(
      vmalcp_handler(window->pool, static_cast<int32_t>(sizeof(wu_ctl_handle)), 0));
  if (h == nullptr) return nullptr;
  h->control = c;
  h->type = WU_CTL_TYPE_OLDER;
  h->services = state->services;
  c->handle = h;
  c->handle_pool = window->pool;
  wu_handle_add(h);
  return h;
}

wu_status wuxcrea(wu_ctl_handle **handle_out, wu_pane *pane, void *extension, int32_t type,
                  wu_value *entries, int32_t count, wu_evproc procedure) {
  // The pane is looked up before anything is read: before start-up, after
  // shut-down and for anything not handed out the answer is the same.
  if (!pane_live(pane)) {
    if (handle_out != nullptr) *handle_out = nullptr;
    return WU_NOTAVAIL;
  }
  if (type >= WU_CTYPE_HOST_FIRST)
    return zuxcrea(reinterpret_cast<void **>(handle_out), pane, extension, type, entries, count,
                   reinterpret_cast<void *>(procedure));
  if (type < 0 || type >= WU_CTYPE_KINDS) {
    if (handle_out != nullptr) *handle_out = nullptr;
    return WU_UNSUPPORTED;
  }
  if (handle_out == nullptr) return WU_NOTAVAIL;
  *handle_out = nullptr;
  wu_state *state = wu_module();
  if (state == nullptr || !pane_live(pane) || pane->ext == nullptr) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  wu_window *window = pane->window;

  if (!(window->flags & (WU_WIN_REALIZED | WU_WIN_HOST_REALIZES)) && wuxiwnd != nullptr)
    wuxiwnd(window);
  if (window->display != nullptr && window->display->task != nullptr)
    wttrap(window->display->task, QEV_SIG_EVPROC, wutesig, nullptr);

  // The creator only makes the record; the widgets are built at the end.
  wu_pane_ext *ext = pane->ext;
  const uint32_t saved = ext->flags;
  ext->flags &= ~WU_PEXT_REALIZED;
  workspace_grows(window);

  auto *h = static_cast<wu_ctl_handle *>(
      vmalcp_handler(window->pool, static_cast<int32_t>(sizeof(wu_ctl_handle)), 0));
  if (h == nullptr) {
    ext->flags = saved;
    return WU_NOMEM;
  }
  h->services = state->services;
  h->type = type;
  wu_cat_map *map = nullptr;
  wu_status st = wuxgmap(type, &map, nullptr, 0);
  const TypeInfo &info = kTypes[type];
  wu_control *c = nullptr;
  if (st == WU_OK) st = info.create != nullptr ? info.create(pane, &c) : WU_UNSUPPORTED;
  if (st != WU_OK || c == nullptr) {
    vmfree_handler(window->pool, h, static_cast<int32_t>(sizeof *h), 0);
    ext->flags = saved | (ext->flags & WU_PEXT_HAS_CONTROLS);
    return st != WU_OK ? st : WU_NOMEM;
  }
  wu_handle_add(h);

  c->event_mask = info.mask;
  if (info.zero_position) c->x = c->y = 0;
  if (info.zero_size) c->width = c->height = 0;
  c->id = ++window->next_control_id;
  c->procedure = procedure;
  c->handle_pool = window->pool;
  c->handle = h;
  h->control = c;
  if (type != WU_CTYPE_PUSH) {
    if (type == WU_CTYPE_SCROLL || type == WU_CTYPE_PROGRESS) {
      wu_value orient = {};
      orient.type = WU_VT_INT;
      for (int32_t i = 0; i < count; ++i)
        if (entries[i].code == WU_A_ORIENTATION) orient.value = entries[i].value;
      wuxgmap(type, &map, &orient, 1);
    }
    c->width = map->width;
    c->height = map->height;
  }
  wu_status result = count > 0 ? wuxswat(c, entries, count) : WU_OK;
  ext->flags = saved | (ext->flags & WU_PEXT_HAS_CONTROLS);
  if (ext->widget != nullptr && (ext->flags & WU_PEXT_REALIZED)) {
    st = wutiwid(c);
    if (st != WU_OK) {
      // A control without its widgets would answer nothing: it goes again.
      wuxfwid(c);
      update_window(window);
      return st;
    }
  }
  *handle_out = h;
  return result;
}

wu_status wumwdes(wu_ctl_handle *h) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr) return WU_NOTAVAIL;
  wu_window *window = wu_ctl_window(c);
  wuxfwid(c);
  if (window != nullptr) update_window(window);
  return WU_OK;
}

wu_status wuwfocs(wu_ctl_handle *h) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr) return WU_NOTAVAIL;
  if (c->click_only) return WU_OK;
  Widget w = wuwgxtw(c);
  Widget (*kind_focus)(wu_control *) = h->type == WU_CTYPE_LISTVIEW  ? wu_lsv_focus
                                       : h->type == WU_CTYPE_LISTBOX ? wu_lbx_focus
                                       : h->type == WU_CTYPE_TREEVIEW ? wu_trv_focus
                                                                      : nullptr;
  if (kind_focus != nullptr && w != nullptr) w = kind_focus(c);
  if (c->kind == WU_MT_RADIOBOX && wu_rbx_focus != nullptr && wu_rbx_focus(c) != nullptr)
    w = wu_rbx_focus(c);
  if (w != nullptr && wu_x_ok()) take_focus(w, !keeps_highlight(h->type));
  if (c->pane != nullptr) {
    c->pane->cursor_row = wu_cell_of(c->y, cell_h());
    c->pane->cursor_column = wu_cell_of(c->x, cell_w());
  }
  return WU_OK;
}

// The focus request of the host: pane, control or null, row, column.
struct FocusRequest {
  wu_pane *pane;
  wu_control *control;
  int32_t row;
  int32_t column;
};
constexpr int32_t kFocusCursorOnly1 = 1;
constexpr int32_t kFocusCursorOnly2 = 2;

wu_status wuxfocs(const void *request, int32_t mode) {
  const auto *r = static_cast<const FocusRequest *>(request);
  if (r == nullptr || !pane_live(r->pane)) return WU_NOTAVAIL;
  wu_window *window = r->pane->window;
  wu_state *state = wu_module();
  if (mode == kFocusCursorOnly1 || mode == kFocusCursorOnly2) {
    wu_window *current = (state && state->current) ? state->current : window;
    if (wuxmcur != nullptr) wuxmcur(current);
    return WU_OK;
  }
  wu_control *c = wu_ctl_live(r->control) ? r->control : nullptr;
  if (c != nullptr && (c->flags & WU_CTL_TAKES_FOCUS) && wuwgxtw(c) != nullptr && wu_x_ok()) {
    XmProcessTraversal(wuwgxtw(c), XmTRAVERSE_CURRENT);
    return WU_OK;
  }
  if (wuwFocusToQevinput != nullptr) wuwFocusToQevinput(window);
  if (wuxmcrs != nullptr) wuxmcrs(window, r->pane, r->row, r->column);
  return WU_OK;
}

wu_status wutchfk(void) {
  wu_state *state = wu_module();
  if (state == nullptr) return WU_OK;
  Widget w = state->pending_focus;
  state->pending_focus = nullptr;
  if (w != nullptr && !w->core.being_destroyed && wu_x_ok()) XmProcessTraversal(w, XmTRAVERSE_CURRENT);
  return WU_OK;
}

wu_status wuxcord(wu_window *window, wu_pane *pane, wu_ctl_handle ***handles_out,
                  int32_t *count_out) {
  if (!wu_window_live(window) || !pane_live(pane)) return WU_NOTAVAIL;
  if (handles_out == nullptr || count_out == nullptr) return WU_NOTAVAIL;
  *handles_out = nullptr;
  *count_out = 0;
  qev_pool *pool = wu_module_pool();
  if (pool == nullptr || pane->window != window) return WU_NOTAVAIL;
  int32_t n = 0;
  for (wu_control *c = pane->ext ? pane->ext->controls : nullptr; c != nullptr; c = c->next) ++n;
  if (n == 0) return WU_NOTAVAIL;
  const int32_t kSpare = 20;  // zeroed bytes after the handles
  const int64_t size64 = int64_t(sizeof(ArrayHeader)) + int64_t(n) * int64_t(sizeof(wu_ctl_handle *)) + kSpare;
  if (size64 > INT32_MAX) return WU_NOMEM;
  const int32_t size = static_cast<int32_t>(size64);
  auto *header = static_cast<ArrayHeader *>(vmalcp_handler(pool, size, 0));
  if (header == nullptr) return WU_NOMEM;
  header->size = size;
  auto **array = reinterpret_cast<wu_ctl_handle **>(header + 1);
  int32_t i = 0;
  for (wu_control *c = pane->ext->controls; c != nullptr; c = c->next) {
    wu_ctl_handle *h = wu_ctl_handle_for(c);
    if (h == nullptr) {
      vmfree_handler(pool, header, size, 0);
      return WU_NOMEM;
    }
    array[i++] = h;
  }
  if (wu_reg_add(array, WU_REG_ARRAY) != WU_OK) {
    vmfree_handler(pool, header, size, 0);
    return WU_NOMEM;
  }
  *handles_out = array;
  *count_out = n;
  return WU_OK;
}

// The array is the module's own block: it is given back whether or not its
// window still stands (a host that released the window first leaks
// nothing); anything wuxcord did not hand out is refused.
wu_status wuxfcor(wu_window *window, wu_ctl_handle **handles) {
  (void)window;
  qev_pool *pool = wu_module_pool();
  if (pool == nullptr || !wu_reg_has(handles, WU_REG_ARRAY)) return WU_NOTAVAIL;
  wu_reg_remove(handles);
  ArrayHeader *header = reinterpret_cast<ArrayHeader *>(handles) - 1;
  vmfree_handler(pool, header, header->size, 0);
  return WU_OK;
}

wu_ctl_handle *wuxicnt(wu_window *window, int32_t id) {
  if (!wu_window_live(window)) return nullptr;
  for (wu_pane *p = window->panes; p != nullptr; p = p->next)
    for (wu_control *c = p->ext ? p->ext->controls : nullptr; c != nullptr; c = c->next)
      if (c->id == id) return wu_ctl_handle_for(c);
  return nullptr;
}

int32_t wuxcnti(const wu_ctl_handle *handle) {
  wu_control *c = wu_ctl_of(handle);
  return c != nullptr ? c->id : -1;
}

wu_ctl_handle *wuxacon(wu_pane *pane) {
  if (!pane_live(pane) || pane->ext == nullptr) return nullptr;
  for (wu_control *c = pane->ext->controls; c != nullptr; c = c->next) {
    if (!(c->flags & WU_CTL_SHOWN) || (c->flags & WU_CTL_GRAYED)) continue;
    if (wu_cell_of(c->y, cell_h()) == pane->cursor_row &&
        wu_cell_of(c->x, cell_w()) == pane->cursor_column)
      return wu_ctl_handle_for(c);
  }
  return nullptr;
}

}  // extern "C"
