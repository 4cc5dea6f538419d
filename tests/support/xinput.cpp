#include "xinput.h"

#include <X11/extensions/XTest.h>
#include <Xm/Xm.h>

#include <cstring>

namespace qevtest {

void clickWidget(Widget w) {
  Display *dpy = XtDisplayOfObject(w);
  XSync(dpy, False);
  Dimension width = 0, height = 0;
  XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
  Position x = 0, y = 0;
  XtTranslateCoords(w, Position(width / 2), Position(height / 2), &x, &y);
  XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  XFlush(dpy);
}

void pressKey(Display *dpy, KeySym sym) {
  KeyCode code = XKeysymToKeycode(dpy, sym);
  XTestFakeKeyEvent(dpy, code, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  XFlush(dpy);
}

void focusWidget(Widget w) {
  Widget shell = w;
  while (!XtIsShell(shell)) shell = XtParent(shell);
  XSetInputFocus(XtDisplay(shell), XtWindow(shell), RevertToParent, CurrentTime);
  XmProcessTraversal(w, XmTRAVERSE_CURRENT);
  XtSetKeyboardFocus(shell, w);
}

namespace {
const int kDragSteps = 10;
const unsigned long kDragStepMs = 60;

void DragStep(XtPointer client, XtIntervalId *) {
  auto *p = static_cast<DragPath *>(client);
  ++p->step;
  if (p->step <= kDragSteps)
    XTestFakeMotionEvent(p->dpy, -1, p->from_x + (p->to_x - p->from_x) * p->step / kDragSteps,
                         p->from_y + (p->to_y - p->from_y) * p->step / kDragSteps, CurrentTime);
  else
    XTestFakeButtonEvent(p->dpy, 2, False, CurrentTime);
  XFlush(p->dpy);
  if (p->step <= kDragSteps) XtAppAddTimeOut(p->app, kDragStepMs, DragStep, p);
}
}  // namespace

void playDragPath(DragPath *path) {
  path->step = 0;
  XtAppAddTimeOut(path->app, kDragStepMs, DragStep, path);
}

void closeLikeWindowManager(Widget shell) {
  Display *dpy = XtDisplay(shell);
  XEvent ev;
  std::memset(&ev, 0, sizeof ev);
  ev.xclient.type = ClientMessage;
  ev.xclient.window = XtWindow(shell);
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = long(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, ev.xclient.window, False, NoEventMask, &ev);
  XFlush(dpy);
}

}  // namespace qevtest
