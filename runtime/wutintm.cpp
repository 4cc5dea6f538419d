// Start-up and shut-down of the X toolkit.  wutinit, in this order: the
// display block, the locale, the application context, the display, the error
// handlers, the visual, the top-level shell, the session number on the
// display, the resources (the user's preferences merged in), the display
// device and the widget set's hooks.
// A failure part way undoes what was done and answers WU_INITFAIL; the host
// then runs without a display.
#include <X11/Intrinsic.h>
#include <X11/Shell.h>
#include <Xm/Xm.h>

#include <cstdlib>
#include <cstring>

#include "frames/wutframe.h"
#include "graphics/wugraph.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "runtime/wutsess.h"
#include "xd/qevutil.h"

wu_device fsdev;
wu_device *devb = nullptr;

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
  XdSetHostHooks(&hooks);
}

void CloseDown() {
  if (!devb) return;
  // The session's number goes back before its shell does.
  if (devb->session_number && devb->toplevel && wu_x_ok() && XtIsRealized(devb->toplevel))
    wutsfre(devb->display, XtWindow(devb->toplevel), WU_SESSION_LOCK_WAIT_MS);
  devb->session_number = 0;
  if (devb->toplevel) XtDestroyWidget(devb->toplevel);
  devb->toplevel = nullptr;
  if (devb->display) XtCloseDisplay(devb->display);
  devb->display = nullptr;
  if (devb->app) XtDestroyApplicationContext(devb->app);
  devb->app = nullptr;
  wutxerrr();
  XtFree(devb->display_name);
  devb->display_name = nullptr;
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
  int argc = 1;
  char prog[] = "qev";
  char *argv[] = {prog, nullptr};
  devb->display = XtOpenDisplay(devb->app, name, "qev", "QEV", nullptr, 0, &argc, argv);
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

  Arg args[8];
  Cardinal n = 0;
  XtSetArg(args[n], XmNvisual, devb->visual); n++;
  XtSetArg(args[n], XmNdepth, devb->depth); n++;
  XtSetArg(args[n], XmNcolormap, devb->colormap); n++;
  XtSetArg(args[n], XmNmappedWhenManaged, False); n++;
  XtSetArg(args[n], XmNwidth, kToplevelSize); n++;
  XtSetArg(args[n], XmNheight, kToplevelSize); n++;
  devb->toplevel = XtAppCreateShell("qev", "QEV", applicationShellWidgetClass, dpy, args, n);
  XtRealizeWidget(devb->toplevel);
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
  wutficn();
  wutfist();
  wutfcst();
  wugfclr();
  wutfdev();
  wutfrfn();
  XtFree(reinterpret_cast<char *>(devb->shells));
  devb->shells = nullptr;
  devb->shell_count = devb->shell_size = 0;
  if (wu_state *state = wu_module()) state->device = nullptr;
  CloseDown();
  return WU_OK;
}

}  // extern "C"
