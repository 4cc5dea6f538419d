// The busy cursor on every shell of the module, the list of those shells,
// the window-manager state of a shell and the colour sets of windows and
// dialogs.
#include <X11/IntrinsicP.h>
#include <X11/Xatom.h>
#include <Xm/Xm.h>

#include <cstring>

#include "frames/wutframe.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

// The command window's shell follows the busy cursor (menus layer).
extern "C" void wutcmcs(Cursor cursor) __attribute__((weak));

namespace {

const int32_t kShellGrowth = 16;

void SetCursor(Widget shell, bool busy) {
  if (!shell || !XtIsRealized(shell) || shell->core.being_destroyed) return;
  Window w = XtWindow(shell);
  if (busy) {
    XDefineCursor(devb->display, w, wutgcsr(WU_CURSOR_BUSY));
  } else {
    XUndefineCursor(devb->display, w);
  }
}

Widget ShellOf(Widget w) {
  while (w && !XtIsShell(w)) w = XtParent(w);
  return w;
}

// Every shell the busy cursor covers: the registered ones, the host
// windows' shells and the top-level shell.
template <typename Fn>
void EachShell(Fn fn) {
  for (int32_t i = 0; i < devb->shell_count; ++i) fn(devb->shells[i]);
  if (wu_state *state = wu_module())
    for (wu_window *win = state->newest; win; win = win->next)
      if (win->outer) fn(ShellOf(reinterpret_cast<Widget>(win->outer)));
  fn(devb->toplevel);
}

void OnShellDestroyed(Widget shell, XtPointer, XtPointer) { wutdshl(shell); }

void OnShellRealized(Widget shell, XtPointer, XEvent *, Boolean *) {
  if (devb && devb->busy_depth > 0 && wu_x_ok()) SetCursor(shell, true);
}

struct SetSpec {
  int32_t set;
  wu_colour_set colours;
  bool made;
};
SetSpec g_sets[] = {{WU_CSET_DIALOG, {}, false}, {WU_CSET_COMMAND2, {}, false},
                    {WU_CSET_EDITOR, {}, false}};

Pixel Named(const char *name, Pixel fallback) {
  XColor c;
  if (name && *name && XParseColor(devb->display, devb->colormap, name, &c) &&
      XAllocColor(devb->display, devb->colormap, &c))
    return c.pixel;
  return fallback;
}

}  // namespace

extern "C" {

void wutashl(Widget shell) {
  if (!devb || !shell) return;
  for (int32_t i = 0; i < devb->shell_count; ++i)
    if (devb->shells[i] == shell) return;
  if (devb->shell_count == devb->shell_size) {
    devb->shell_size += kShellGrowth;
    devb->shells = reinterpret_cast<Widget *>(XtRealloc(
        reinterpret_cast<char *>(devb->shells), Cardinal(devb->shell_size * sizeof(Widget))));
  }
  devb->shells[devb->shell_count++] = shell;
  XtAddCallback(shell, XmNdestroyCallback, OnShellDestroyed, nullptr);
  // A shell realised while the module is busy shows the busy cursor at once.
  XtAddEventHandler(shell, StructureNotifyMask, False, OnShellRealized, nullptr);
  if (devb->busy_depth > 0 && wu_x_ok()) SetCursor(shell, true);
}

void wutdshl(Widget shell) {
  if (!devb) return;
  for (int32_t i = 0; i < devb->shell_count; ++i)
    if (devb->shells[i] == shell) {
      devb->shells[i] = devb->shells[--devb->shell_count];
      return;
    }
}

wu_status wutsbsy(int32_t on) {
  if (!devb) return WU_NOTAVAIL;
  // Calls nest: the cursor goes on with the first and off with the last.
  if (on) {
    if (++devb->busy_depth != 1) return WU_OK;
  } else {
    if (devb->busy_depth == 0) return WU_OK;
    if (--devb->busy_depth != 0) return WU_OK;
  }
  if (!wu_x_ok()) return WU_NOTAVAIL;
  const bool busy = devb->busy_depth > 0;
  EachShell([busy](Widget shell) { SetCursor(shell, busy); });
  if (wutcmcs) wutcmcs(busy ? wutgcsr(WU_CURSOR_BUSY) : None);
  XFlush(devb->display);
  return WU_OK;
}

wu_status wutgwms(Widget w, int32_t *state_out) {
  if (state_out) *state_out = 0;
  Widget shell = ShellOf(w);
  if (!wu_x_ok() || !shell || !XtIsRealized(shell)) return WU_NOTAVAIL;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  const long kStateWords = 2;
  if (XGetWindowProperty(devb->display, XtWindow(shell), devb->wm_state, 0, kStateWords, False,
                         devb->wm_state, &type, &format, &count, &after, &data) != Success)
    return WU_NOTAVAIL;
  if (data && format == 32 && count >= 1 && state_out)
    *state_out = int32_t(reinterpret_cast<unsigned long *>(data)[0]);
  if (data) XFree(data);
  return WU_OK;
}

wu_status wuwgpmc(wu_window *, int32_t set, wu_colour_set *result) {
  if (!result || !wu_x_ok()) return WU_NOTAVAIL;
  for (SetSpec &s : g_sets) {
    if (s.set != set) continue;
    if (!s.made) {
      const wu_motif_resources &r = devb->motifres;
      const bool list = set == WU_CSET_COMMAND2;
      s.colours.background = Named(list ? r.list_background : r.dialog_background, devb->background);
      s.colours.foreground = Named(list ? r.list_foreground : r.dialog_foreground, devb->foreground);
      Pixel fg, select;
      XmGetColors(ScreenOfDisplay(devb->display, devb->screen), devb->colormap,
                  s.colours.background, &fg, &s.colours.top_shadow, &s.colours.bottom_shadow,
                  &select);
      s.made = true;
    }
    *result = s.colours;
    return WU_OK;
  }
  // Any other set: the display's own colours.
  result->background = devb->background;
  result->foreground = devb->foreground;
  Pixel fg, select;
  XmGetColors(ScreenOfDisplay(devb->display, devb->screen), devb->colormap, devb->background, &fg,
              &result->top_shadow, &result->bottom_shadow, &select);
  return WU_OK;
}

int32_t wuwspmc(const wu_colour_set *colours, Arg *args, int32_t count) {
  if (!colours || !args || !devb) return count;
  if (devb->depth == 1) {
    XtSetArg(args[count], XmNtopShadowPixmap, devb->stipple[WU_STIPPLE_25]); count++;
    XtSetArg(args[count], XmNbottomShadowPixmap, devb->stipple[WU_STIPPLE_50]); count++;
  } else {
    XtSetArg(args[count], XmNtopShadowColor, colours->top_shadow); count++;
    XtSetArg(args[count], XmNbottomShadowColor, colours->bottom_shadow); count++;
  }
  return count;
}

// The colour sets are made again on the next start-up.
void wutfcst(void) {
  for (SetSpec &s : g_sets) s.made = false;
}

}  // extern "C"
