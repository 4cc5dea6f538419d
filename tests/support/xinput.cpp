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
