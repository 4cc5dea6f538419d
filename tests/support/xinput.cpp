#include "xinput.h"

#include <X11/IntrinsicP.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <Xm/List.h>
#include <Xm/ScrollBarP.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include <cstring>
#include <ctime>

namespace qevtest {

bool rootPoint(Widget w, int x, int y, int *root_x, int *root_y) {
  Widget on = XtIsWidget(w) ? w : XtParent(w);
  if (!on || !XtIsRealized(on)) return false;
  Position wx = 0, wy = 0, ox = 0, oy = 0;
  XtTranslateCoords(w, Position(x), Position(y), &wx, &wy);
  XtTranslateCoords(on, 0, 0, &ox, &oy);
  Display *dpy = XtDisplay(on);
  Window child = None;
  return XTranslateCoordinates(dpy, XtWindow(on), DefaultRootWindow(dpy), wx - ox, wy - oy, root_x,
                               root_y, &child);
}

void clickWidget(Widget w) {
  Display *dpy = XtDisplayOfObject(w);
  XSync(dpy, False);
  Dimension width = 0, height = 0;
  XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
  int x = 0, y = 0;
  if (!rootPoint(w, width / 2, height / 2, &x, &y)) return;
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

namespace {

// Button and key events the toolkit dispatched, counted by a dispatcher
// that runs before the toolkit's own one for these types.
const int kCounted[] = {ButtonPress, ButtonRelease, KeyPress};
unsigned long g_dispatched[LASTEvent] = {};
XtEventDispatchProc g_chain[LASTEvent] = {};

Boolean CountingDispatcher(XEvent *event) {
  ++g_dispatched[event->type];
  return g_chain[event->type](event);
}

void CountOn(Display *dpy) {
  for (int type : kCounted) {
    XtEventDispatchProc previous = XtSetEventDispatcher(dpy, type, CountingDispatcher);
    if (previous != CountingDispatcher) g_chain[type] = previous;
  }
}

long NowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return long(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// Dispatches the display's X events until `type` was dispatched up to
// `target` and nothing more is queued after a round trip: the server sends
// the events of input it was handed before it answers a later request, so
// the events of the whole input (a release the widget does not select
// included) have then been dispatched.  No timers or other input run here
// (a modal wait the events open runs its own loop).
bool DispatchUntil(Display *dpy, int type, unsigned long target, int limitMs) {
  XtAppContext app = XtDisplayToApplicationContext(dpy);
  const long deadline = NowMs() + limitMs;
  for (;;) {
    XSync(dpy, False);
    bool any = false;
    while (XtAppPending(app) & XtIMXEvent) {
      XtAppProcessEvent(app, XtIMXEvent);
      any = true;
    }
    if (!any && g_dispatched[type] >= target) return true;
    if (NowMs() > deadline) return false;
    if (!any) {
      timespec pause = {0, 1000000};
      nanosleep(&pause, nullptr);
    }
  }
}

// Waits (dispatching X events) until the widget is viewable.
bool WaitViewable(Widget w, int limitMs) {
  Display *dpy = XtDisplayOfObject(w);
  XtAppContext app = XtDisplayToApplicationContext(dpy);
  const long deadline = NowMs() + limitMs;
  XSync(dpy, False);
  while (!viewable(w)) {
    if (NowMs() > deadline) return false;
    while (XtAppPending(app) & XtIMXEvent) XtAppProcessEvent(app, XtIMXEvent);
    timespec pause = {0, 2000000};
    nanosleep(&pause, nullptr);
    XSync(dpy, False);
  }
  return true;
}

const int kLimitMs = 5000;

}  // namespace

bool viewable(Widget w) {
  if (!w || w->core.being_destroyed) return false;
  Widget on = XtIsWidget(w) ? w : XtParent(w);
  if (!XtIsRealized(on) || (!XtIsShell(w) && !XtIsManaged(w))) return false;
  XWindowAttributes at;
  return XGetWindowAttributes(XtDisplay(on), XtWindow(on), &at) && at.map_state == IsViewable;
}

namespace {

// Once `w` is on the screen, moves the pointer to (x, y) inside it and
// handles what the move does before any button, as between a user's move
// and click (a crossing may change a grab).  Its display, or null.
Display *MoveInto(Widget w, int x, int y) {
  if (!w || !WaitViewable(w, kLimitMs)) return nullptr;
  Display *dpy = XtDisplayOfObject(w);
  CountOn(dpy);
  int rx = 0, ry = 0;
  if (!rootPoint(w, x, y, &rx, &ry)) return nullptr;
  XTestFakeMotionEvent(dpy, -1, rx, ry, CurrentTime);
  return DispatchUntil(dpy, ButtonPress, 0, kLimitMs) ? dpy : nullptr;
}

// The middle of a widget.
void Middle(Widget w, int *x, int *y) {
  Dimension width = 0, height = 0;
  if (w) XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
  *x = width / 2;
  *y = height / 2;
}

// Presses and/or releases a button where the pointer is and handles it;
// the wait is for the press when there is one (its release, which the
// widget may not select, comes with it), else for the release.
bool Buttons(Display *dpy, unsigned button, bool press, bool release) {
  if (!dpy) return false;
  const int waited = press ? ButtonPress : ButtonRelease;
  const unsigned long target = g_dispatched[waited] + 1;
  if (press) XTestFakeButtonEvent(dpy, button, True, CurrentTime);
  if (release) XTestFakeButtonEvent(dpy, button, False, CurrentTime);
  return DispatchUntil(dpy, waited, target, kLimitMs);
}

}  // namespace

bool clickHandledAt(Widget w, int x, int y, unsigned button, unsigned modifiers) {
  Display *dpy = MoveInto(w, x, y);
  if (!dpy) return false;
  const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
  const KeyCode control = XKeysymToKeycode(dpy, XK_Control_L);
  if (modifiers & ShiftMask) XTestFakeKeyEvent(dpy, shift, True, CurrentTime);
  if (modifiers & ControlMask) XTestFakeKeyEvent(dpy, control, True, CurrentTime);
  const bool handled = Buttons(dpy, button, true, true);
  if (modifiers & ControlMask) XTestFakeKeyEvent(dpy, control, False, CurrentTime);
  if (modifiers & ShiftMask) XTestFakeKeyEvent(dpy, shift, False, CurrentTime);
  XSync(dpy, False);
  return handled;
}

bool clickHandled(Widget w, unsigned button) {
  int x = 0, y = 0;
  Middle(w, &x, &y);
  return clickHandledAt(w, x, y, button);
}

namespace {

// The middle of row `pos` of a Motif list, once the list is on the screen.
bool RowMiddle(Widget list, int pos, int *x, int *y) {
  Position rx = 0, ry = 0;
  Dimension width = 0, height = 0;
  if (!list || !WaitViewable(list, kLimitMs) ||
      !XmListPosToBounds(list, pos, &rx, &ry, &width, &height))
    return false;
  *x = rx + width / 2;
  *y = ry + height / 2;
  return true;
}

}  // namespace

bool clickRowHandled(Widget list, int pos, unsigned button) {
  int x = 0, y = 0;
  return RowMiddle(list, pos, &x, &y) && clickHandledAt(list, x, y, button);
}

bool doubleClickHandledAt(Widget w, int x, int y) {
  Display *dpy = MoveInto(w, x, y);
  if (!dpy) return false;
  const unsigned long target = g_dispatched[ButtonPress] + 2;
  for (int i = 0; i < 2; ++i) {
    XTestFakeButtonEvent(dpy, Button1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, Button1, False, CurrentTime);
  }
  return DispatchUntil(dpy, ButtonPress, target, kLimitMs);
}

bool doubleClickHandled(Widget w) {
  int x = 0, y = 0;
  Middle(w, &x, &y);
  return doubleClickHandledAt(w, x, y);
}

bool doubleClickRowHandled(Widget list, int pos) {
  int x = 0, y = 0;
  return RowMiddle(list, pos, &x, &y) && doubleClickHandledAt(list, x, y);
}

bool pressHandled(Widget w, unsigned button) {
  int x = 0, y = 0;
  Middle(w, &x, &y);
  return Buttons(MoveInto(w, x, y), button, true, false);
}

bool releaseHandled(Widget over, unsigned button) {
  int x = 0, y = 0;
  Middle(over, &x, &y);
  return Buttons(MoveInto(over, x, y), button, false, true);
}

bool pressHandledAt(Widget w, int x, int y, unsigned button) {
  return Buttons(MoveInto(w, x, y), button, true, false);
}

bool releaseHandledAt(Widget over, int x, int y, unsigned button) {
  return Buttons(MoveInto(over, x, y), button, false, true);
}

bool moveHandled(Widget w, int x, int y) { return MoveInto(w, x, y) != nullptr; }

bool scrollBarVertical(Widget bar) {
  return reinterpret_cast<XmScrollBarWidget>(bar)->scrollBar.orientation == XmVERTICAL;
}

void scrollBarPlace(Widget bar, ScrollBarPlace place, int *x, int *y) {
  const XmScrollBarPart &b = reinterpret_cast<XmScrollBarWidget>(bar)->scrollBar;
  const bool vertical = b.orientation == XmVERTICAL;
  // Along the bar: the start and end of the trough and of the slider.
  const int start = vertical ? b.slider_area_y : b.slider_area_x;
  const int end = start + (vertical ? b.slider_area_height : b.slider_area_width);
  const int s0 = vertical ? b.slider_y : b.slider_x;
  const int s1 = s0 + (vertical ? b.slider_height : b.slider_width);
  int along = 0;
  switch (place) {
    case kStartArrow: along = vertical ? b.arrow1_y + b.arrow_height / 2 : b.arrow1_x + b.arrow_width / 2; break;
    case kEndArrow: along = vertical ? b.arrow2_y + b.arrow_height / 2 : b.arrow2_x + b.arrow_width / 2; break;
    case kTroughBefore: along = (start + s0) / 2; break;
    case kTroughAfter: along = (s1 + end) / 2; break;
    case kSlider: along = (s0 + s1) / 2; break;
  }
  const int across = (vertical ? bar->core.width : bar->core.height) / 2;
  *x = vertical ? across : along;
  *y = vertical ? along : across;
}

bool keyHandled(Display *dpy, KeySym sym, unsigned modifiers, int limitMs) {
  CountOn(dpy);
  const KeyCode code = XKeysymToKeycode(dpy, sym);
  if (code == 0) return false;
  const unsigned long target = g_dispatched[KeyPress] + 1;
  const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
  const KeyCode control = XKeysymToKeycode(dpy, XK_Control_L);
  if (modifiers & ShiftMask) XTestFakeKeyEvent(dpy, shift, True, CurrentTime);
  if (modifiers & ControlMask) XTestFakeKeyEvent(dpy, control, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, True, CurrentTime);
  XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  if (modifiers & ControlMask) XTestFakeKeyEvent(dpy, control, False, CurrentTime);
  if (modifiers & ShiftMask) XTestFakeKeyEvent(dpy, shift, False, CurrentTime);
  // The modifiers' presses are key presses too.
  return DispatchUntil(dpy, KeyPress, target + ((modifiers & ShiftMask) ? 1 : 0) +
                                          ((modifiers & ControlMask) ? 1 : 0), limitMs);
}

bool typeHandled(Display *dpy, const std::string &text) {
  for (char c : text) {
    const KeySym sym = c == ' ' ? XK_space : KeySym(static_cast<unsigned char>(c));
    const KeyCode code = XKeysymToKeycode(dpy, sym);
    // The character needs Shift when the key's unshifted symbol is another.
    const bool shifted = code != 0 && XkbKeycodeToKeysym(dpy, code, 0, 0) != sym;
    if (!keyHandled(dpy, sym, shifted ? ShiftMask : 0)) return false;
  }
  return true;
}

bool replaceTextHandled(Widget field, const std::string &text) {
  if (!clickHandled(field)) return false;
  Display *dpy = XtDisplay(field);
  auto length = [field] {
    char *held = XmIsTextField(field) ? XmTextFieldGetString(field) : XmTextGetString(field);
    const size_t n = held ? std::strlen(held) : 0;
    XtFree(held);
    return n;
  };
  // Back Space rubs out what lies before the cursor, Delete what lies
  // after it (End is not used: in a selection box it picks a list item).
  for (KeySym key : {XK_BackSpace, XK_Delete}) {
    for (size_t before = length(); before > 0; before = length()) {
      if (!keyHandled(dpy, key)) return false;
      if (length() == before) break;
    }
  }
  return length() == 0 && typeHandled(dpy, text);
}

}  // namespace qevtest
