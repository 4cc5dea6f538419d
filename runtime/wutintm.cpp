// Start-up and shut-down of the X toolkit.  wutinit, in this order: the
// display block, the locale, the application context, the display, the error
// handlers, the visual, the top-level shell, the session number on the
// display, the resources (the user's preferences merged in), the display
// device and the widget set's hooks.
// A failure part way undoes what was done and answers WU_INITFAIL; the host
// then runs without a display.
#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/Screen.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frames/wutframe.h"
#include "graphics/wugraph.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "runtime/wutsess.h"
#include "xd/qevutil.h"

wu_device fsdev;
wu_device *devb = nullptr;

// The controls' handlers for widgets of the set made inside a control.
extern "C" void wu_list_widget_created(Widget w, int kind) __attribute__((weak));

namespace {

// The top-level shell is realised but never mapped: it is the parent and
// window group of the module's shells and dialogs.
const Dimension kToplevelSize = 1;

Boolean HookVisual(Display *dpy, Visual **visual, int *depth, Colormap *colormap) {
  if (!devb || dpy != devb->display) return False;
  *visual = devb->visual;
  *depth = devb->depth;
  *colormap = devb->colormap;
  return True;
}

void HookBell(Widget) { wutalrm(); }
void HookBusy(int on) { wutsbsy(on); }

void InstallHooks() {
  XdHostHooks hooks;
  std::memset(&hooks, 0, sizeof hooks);
  hooks.string_text = wumgstr;
  hooks.busy = HookBusy;
  hooks.bell = HookBell;
  hooks.visual_info = HookVisual;
  hooks.widget_created = wu_list_widget_created;
  XdSetHostHooks(&hooks);
}

// Displays this process has closed, and their screens.  Motif keeps caches
// keyed by the address of the Display structure (default render tables among
// them) or of a Screen (the colours it works out from each background a
// widget is drawn on, images still referenced when the screen's Motif object
// goes) and does not empty them when the display closes; a new connection
// whose structures land at a closed one's addresses would be handed fonts,
// colours and pixmaps of the dead connection.  A restart therefore never
// keeps such a connection.  Every address is remembered: the caches keep
// their entries for good.
std::vector<const void *> g_closed;

bool WasClosed(const void *address) {
  return std::find(g_closed.begin(), g_closed.end(), address) != g_closed.end();
}

bool AnyClosed(Display *dpy) {
  for (int i = 0; i < ScreenCount(dpy); ++i)
    if (WasClosed(ScreenOfDisplay(dpy, i))) return true;
  return WasClosed(dpy);
}

void RememberClosed(Display *dpy) {
  for (int i = 0; i < ScreenCount(dpy); ++i)
    if (!WasClosed(ScreenOfDisplay(dpy, i))) g_closed.push_back(ScreenOfDisplay(dpy, i));
  if (!WasClosed(dpy)) g_closed.push_back(dpy);
}

// The most connections held open while looking for fresh addresses; the
// last one got is used when none is found.
const int kMostHeld = 64;

// Opens the display and hands it to the application context.  The
// connection is opened first and given to the toolkit only once it is had:
// the toolkit's own open keeps the name of a display it could not reach
// until the process ends.  While the connection got sits where a closed one
// sat, it is held open and another is asked for; the held ones are closed
// once a fresh one is had.
Display *OpenFresh(const char *name) {
  Display *held[kMostHeld];
  int held_count = 0;
  Display *dpy = nullptr;
  for (;;) {
    dpy = XOpenDisplay(name);
    if (!dpy) break;
    int argc = 1;
    char prog[] = "qev";
    char *argv[] = {prog, nullptr};
    XtDisplayInitialize(devb->app, dpy, "qev", "QEV", nullptr, 0, &argc, argv);
    if (!AnyClosed(dpy) || held_count == kMostHeld) break;
    held[held_count++] = dpy;
  }
  for (int i = 0; i < held_count; ++i) XtCloseDisplay(held[i]);
  return dpy;
}

// Destroys every widget of the module: the shells it put up (windows,
// dialogs, message boxes, the workspace) and the top-level shell with what
// hangs from it.  The widgets go first because they hold the fonts, pixmaps,
// colours and GCs released after them, and because their destroy callbacks
// let go of what the module keeps about them (drop sites, the Find/Change
// dialog, the workspace form, the input actions' context).
void DestroyWidgets() {
  // The session's number goes back before its shell does.
  if (devb->session_number && devb->toplevel && wu_x_ok() && XtIsRealized(devb->toplevel))
    wutsfre(devb->display, XtWindow(devb->toplevel), WU_SESSION_LOCK_WAIT_MS);
  devb->session_number = 0;
  // A destroyed shell leaves the list from its destroy callback (with the
  // shells below it); one whose destruction is deferred is taken off here.
  while (devb->shell_count > 0) {
    const int32_t count = devb->shell_count;
    Widget shell = devb->shells[count - 1];
    if (!shell->core.being_destroyed) wutxdes(shell);
    if (devb->shell_count == count && devb->shells[count - 1] == shell) wutdshl(shell);
  }
  XtFree(reinterpret_cast<char *>(devb->shells));
  devb->shells = nullptr;
  devb->shell_count = devb->shell_size = 0;
  if (devb->toplevel) wutxdes(devb->toplevel);
  devb->toplevel = nullptr;
}

// The render table the top-level shell is made with.  Left to itself, the
// shell asks Motif for its default button, label and text render tables;
// Motif keeps those for the first display connection only and, on every
// later one, makes three that the shell's destruction never gives back.
// The shell is given this one instead, made on its connection and freed
// once the shell is gone.
XmRenderTable g_shell_fonts = nullptr;

XmRenderTable ShellFonts(Display *dpy) {
  XmFontListEntry entry = XmFontListEntryLoad(dpy, const_cast<char *>("fixed"), XmFONT_IS_FONT,
                                              const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
  if (!entry) return nullptr;
  XmRenderTable t = XmFontListAppendEntry(nullptr, entry);
  XmFontListEntryFree(&entry);
  return t;
}

// The 50 % stipple Motif draws insensitive and indeterminate parts with, as
// the screen's Motif object holds it.  That object takes it from the
// toolkit's pixmap cache, and so does every toggle button, for its
// indeterminate state; the toggles never give theirs back, and the screen's
// object gives back its one when it goes.  The cache entry (and the X pixmap)
// would stay, keyed by a screen that is gone, one more with every restart.
// It is noted at start-up and, once every widget is gone and nothing draws
// with it, every reference left is given back.
Pixmap g_stipple = None;

void NoteStipple(Display *dpy, int screen_number) {
  g_stipple = None;
  if (Widget screen = XmGetXmScreen(ScreenOfDisplay(dpy, screen_number)))
    XtVaGetValues(screen, XmNinsensitiveStippleBitmap, &g_stipple, nullptr);
  if (g_stipple == XmUNSPECIFIED_PIXMAP) g_stipple = None;
}

void ReleaseStipple(Display *dpy, int screen_number) {
  if (g_stipple != None) {
    Screen *screen = ScreenOfDisplay(dpy, screen_number);
    while (XmDestroyPixmap(screen, g_stipple)) {
    }
  }
  g_stipple = None;
}

// Closes the connection and the application context and forgets the block,
// so that the next wutinit starts from nothing.
void CloseDown() {
  if (!devb) return;
  DestroyWidgets();
  if (g_shell_fonts) XmRenderTableFree(g_shell_fonts);
  g_shell_fonts = nullptr;
  if (devb->display) {
    ReleaseStipple(devb->display, devb->screen);
    RememberClosed(devb->display);
    XtCloseDisplay(devb->display);
  }
  devb->display = nullptr;
  if (devb->app) XtDestroyApplicationContext(devb->app);
  devb->app = nullptr;
  wutxerrr();
  XtFree(devb->display_name);
  devb->display_name = nullptr;
  std::memset(&fsdev, 0, sizeof fsdev);
  devb = nullptr;
}

}  // namespace

extern "C" {

wu_status wutinit(void) {
  if (devb) return WU_OK;  // already started
  std::memset(&fsdev, 0, sizeof fsdev);
  devb = &fsdev;

  XtSetLanguageProc(nullptr, nullptr, nullptr);
  XtToolkitInitialize();
  devb->app = XtCreateApplicationContext();

  // The host's DISPLAY option wins over the environment.
  wu_status st = WU_OK;
  const char *name = yw7cget("DISPLAY", &st);
  if (!name || !*name) name = std::getenv("DISPLAY");
  devb->display_name = XtNewString(name ? name : "");
  devb->display = OpenFresh(name);
  if (!devb->display) {
    wutlogf(QEV_LOG_ERROR, "The X display \"%s\" cannot be opened.", devb->display_name);
    CloseDown();
    return WU_INITFAIL;
  }
  wutxerrs();

  Display *dpy = devb->display;
  devb->screen = DefaultScreen(dpy);
  devb->visual = DefaultVisual(dpy, devb->screen);
  devb->depth = DefaultDepth(dpy, devb->screen);
  devb->colormap = DefaultColormap(dpy, devb->screen);

  g_shell_fonts = ShellFonts(dpy);
  Arg args[11];
  Cardinal n = 0;
  if (g_shell_fonts) {
    XtSetArg(args[n], XmNbuttonRenderTable, g_shell_fonts); n++;
    XtSetArg(args[n], XmNlabelRenderTable, g_shell_fonts); n++;
    XtSetArg(args[n], XmNtextRenderTable, g_shell_fonts); n++;
  }
  XtSetArg(args[n], XmNvisual, devb->visual); n++;
  XtSetArg(args[n], XmNdepth, devb->depth); n++;
  XtSetArg(args[n], XmNcolormap, devb->colormap); n++;
  XtSetArg(args[n], XmNmappedWhenManaged, False); n++;
  XtSetArg(args[n], XmNwidth, kToplevelSize); n++;
  XtSetArg(args[n], XmNheight, kToplevelSize); n++;
  devb->toplevel = XtAppCreateShell("qev", "QEV", applicationShellWidgetClass, dpy, args, n);
  XtRealizeWidget(devb->toplevel);
  NoteStipple(dpy, devb->screen);
  wutsnum(dpy, XtWindow(devb->toplevel), WU_SESSION_LOCK_WAIT_MS, &devb->session_number);

  wutgres();
  if (devb->appres.multi_click_time > 0) XtSetMultiClickTime(dpy, devb->appres.multi_click_time);
  if (wutidev() != WU_OK) {
    wutfdev();
    CloseDown();
    return WU_INITFAIL;
  }
  InstallHooks();
  if (wu_state *state = wu_module()) state->device = devb;
  return WU_OK;
}

wu_status wutterm(void) {
  if (!devb) return WU_OK;
  XdSetHostHooks(nullptr);
  wutauto(0, 0);
  if (wu_x_ok()) XSync(devb->display, False);
  DestroyWidgets();
  wutficn();
  wutfist();
  wutfcst();
  wugfclr();
  wutfdev();
  wutfrfn();
  if (wu_state *state = wu_module()) state->device = nullptr;
  CloseDown();
  return WU_OK;
}

}  // extern "C"
