// Tool tips of the controls: the enter and leave handler every control
// widget gets, the delayed tip window "tt" under the control, the grace
// period shared with the tool buttons' tips, and the suspension of tips
// while control widgets are being released.
#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <X11/Shell.h>
#include <Xm/Label.h>
#include <Xm/Xm.h>

#include <algorithm>

#include "controls/wubutton.h"
#include "menus/wutbox.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

constexpr int32_t kTipPad = 4;        // label height + this when the shell has none yet
constexpr int32_t kTipBelow = 1;      // pixels between control and tip
constexpr int32_t kTipAbove = 3;      // ... when the tip goes above

unsigned long tip_delay() {
  return static_cast<unsigned long>(std::max(devb ? devb->prefs.toolbox_tip_delay : 0, 0));
}

bool tips_blocked() {
  return !wu_x_ok() || devb->errors_masked || (devb->flags & WU_DEV_DRAGGING);
}

void forget_pending(wu_state *s) {
  if (s->ctl_tip_timer != 0) XtRemoveTimeOut(s->ctl_tip_timer);
  s->ctl_tip_timer = 0;
  s->ctl_tip_control = nullptr;
}

void show_later(XtPointer client, XtIntervalId *) {
  wu_state *s = wu_module();
  if (s == nullptr) return;
  s->ctl_tip_timer = 0;
  s->ctl_tip_control = nullptr;
  auto *c = static_cast<wu_control *>(client);
  if (wu_ctl_live(c)) wuwtltt(c);
}


void resume(XtPointer, XtIntervalId *) {
  wu_state *s = wu_module();
  if (s == nullptr) return;
  s->ctl_tip_resume_timer = 0;
  s->ctl_tip_suspended = 0;
}

// The tip shell and its label, made at first use.
bool tip_widgets(wu_state *s) {
  if (s->tip_shell != nullptr && s->tip_label != nullptr) return true;
  if (devb->toplevel == nullptr) return false;
  Arg args[6];
  Cardinal n = 0;
  XtSetArg(args[n], XmNallowShellResize, True); ++n;
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  Widget shell = XtCreatePopupShell("tt", overrideShellWidgetClass, devb->toplevel, args, n);
  if (shell == nullptr) return false;
  Widget label = XtVaCreateManagedWidget("ttlabel", xmLabelWidgetClass, shell, nullptr);
  s->tip_shell = shell;
  s->tip_label = label;
  return true;
}

// Hides the tip when it is up; returns whether it was.
bool pop_down(wu_state *s) {
  if (!s->ctl_tip_up || s->tip_shell == nullptr) return false;
  s->ctl_tip_up = 0;
  if (wu_x_ok()) XtPopdown(s->tip_shell);
  return true;
}

}  // namespace

extern "C" {

void wuwtlwn(Widget, XtPointer client, XEvent *event, Boolean *) {
  auto *c = static_cast<wu_control *>(client);
  wu_state *s = wu_module();
  if (s == nullptr || devb == nullptr || !devb->prefs.use_toolbox_tips || event == nullptr)
    return;
  if (!wu_ctl_live(c) || (c->flags & WU_CTL_GRAYED) || tips_blocked() || event->type == FocusIn)
    return;
  if (event->type == EnterNotify) {
    // One pending tip at a time: the newest control's.
    forget_pending(s);
    if (wuttipd()) {
      s->ctl_tip_control = c;
      s->ctl_tip_timer = XtAppAddTimeOut(devb->app, tip_delay(), show_later, c);
    } else {
      wuttipc();
      wuwtltt(c);
    }
    return;
  }
  if (s->ctl_tip_timer != 0) {
    // Left before the tip showed: no tip and no grace period.
    forget_pending(s);
    return;
  }
  if (pop_down(s)) wuttipg();
}

void wuwtltt(wu_control *c) {
  wu_state *s = wu_module();
  if (s == nullptr || s->ctl_tip_suspended || tips_blocked() || !wu_ctl_live(c)) return;
  forget_pending(s);
  if (c->tip == nullptr || c->tip[0] == '\0') return;
  Widget w = wu_ctl_outer(c);
  if (w == nullptr || !XtIsRealized(w) || XtParent(w) == nullptr || !tip_widgets(s)) return;
  XmString text = wumcstr(c->tip);
  Arg args[2];
  Cardinal n = 0;
  XtSetArg(args[n], XmNlabelString, text); ++n;
  if (devb->font_list != nullptr) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
  XtSetValues(s->tip_label, args, n);
  XmStringFree(text);
  if (!XtIsRealized(s->tip_shell)) XtRealizeWidget(s->tip_shell);
  Position rx = 0, ry = 0;
  XtTranslateCoords(XtParent(w), w->core.x, w->core.y, &rx, &ry);
  Dimension tw = 0, th = 0;
  XtVaGetValues(s->tip_shell, XmNwidth, &tw, XmNheight, &th, nullptr);
  if (th == 0) {
    Dimension lh = 0;
    XtVaGetValues(s->tip_label, XmNheight, &lh, nullptr);
    th = Dimension(lh + kTipPad);
  }
  Screen *screen = XtScreen(w);
  int32_t x = rx + w->core.width / 2;
  int32_t y = ry + w->core.height + kTipBelow;
  if (x + tw > WidthOfScreen(screen)) x = WidthOfScreen(screen) - tw;
  if (y + th > HeightOfScreen(screen)) y = ry - th - kTipAbove;
  XtVaSetValues(s->tip_shell, XmNx, Position(x), XmNy, Position(y), nullptr);
  XtPopup(s->tip_shell, XtGrabNone);
  s->ctl_tip_up = 1;
}

// End of the grace period: the next tip waits for the delay again.
void wuwtldk(void) {
  wu_state *s = wu_module();
  if (s == nullptr || s->tip_grace_timer == 0) return;
  wuttipc();
  s->tip_grace = 0;
}

void wuwtlsp(void) { resume(nullptr, nullptr); }

void wumttsp(void) {
  wu_state *s = wu_module();
  if (s == nullptr || devb == nullptr || !wu_x_ok()) return;
  s->ctl_tip_suspended = 1;
  if (s->ctl_tip_resume_timer != 0) XtRemoveTimeOut(s->ctl_tip_resume_timer);
  s->ctl_tip_resume_timer = XtAppAddTimeOut(devb->app, tip_delay(), resume, nullptr);
}

// A control's widgets are going: its pending tip goes, a tip that is up
// goes down, and tips rest for one delay.
void wuwtlst(wu_control *c) {
  wu_state *s = wu_module();
  if (s == nullptr) return;
  if (s->ctl_tip_control == c) forget_pending(s);
  pop_down(s);
  wumttsp();
}

}  // extern "C"
