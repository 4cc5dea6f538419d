// Test support: what a user does with mouse and keyboard, sent through XTest
// to the private X server, and what a window manager sends when the user
// closes a window.
#pragma once

#include <X11/Intrinsic.h>

#include <string>

namespace qevtest {

// Moves the pointer to the middle of a widget or gadget and clicks button 1.
void clickWidget(Widget w);

// The root coordinates of (x, y) inside a widget or gadget, from where the
// server has its window now (the toolkit hears of a window manager's moves
// of a shell only later); false when the server does not know the window.
bool rootPoint(Widget w, int x, int y, int *root_x, int *root_y);

// Presses and releases the key of a keysym.
void pressKey(Display *dpy, KeySym sym);

// Gives a widget the keyboard focus: its shell holds the server's focus
// and Motif's traversal is on the widget, as after the user's click.
void focusWidget(Widget w);

// The same input, handled before the call returns: the XTest events are
// sent, then the X events of the widget's display are dispatched until the
// toolkit has dispatched them all (the press, and whatever the server sent
// for the input by a round trip after it).  What the input does has happened on return, and a modal wait
// it opened has run inside the call, as it runs inside the user's click.
// False when the widget was not on the screen or the events did not come
// within `limitMs`.  Not for input that ends the module or closes its
// display: the dispatching goes on with that display.
//
// A click on `w` with `button` at its middle, or at (x, y) inside it.
bool clickHandled(Widget w, unsigned button = 1);
bool clickHandledAt(Widget w, int x, int y, unsigned button = 1, unsigned modifiers = 0);
// A click on row `pos` (1-based) of a Motif list; false also when the row
// is not in view.
bool clickRowHandled(Widget list, int pos, unsigned button = 1);
// Two clicks of button 1 as fast as a user double-clicks: both sent in one
// burst, so that their spacing is the user's and not the time this process
// takes to handle the first; handled once both presses are.  On the middle
// of `w`, at (x, y) inside it, or on row `pos` of a Motif list.
bool doubleClickHandled(Widget w);
bool doubleClickHandledAt(Widget w, int x, int y);
bool doubleClickRowHandled(Widget list, int pos);
// A button pressed on the middle of `w` and held; later released over the
// middle of `over` (the press-drag-release of a popup menu).
bool pressHandled(Widget w, unsigned button);
bool releaseHandled(Widget over, unsigned button);
// The same at (x, y) inside the widget, and a move of the pointer there
// with what the move does handled (a drag with the button held).
bool pressHandledAt(Widget w, int x, int y, unsigned button);
bool releaseHandledAt(Widget over, int x, int y, unsigned button);
bool moveHandled(Widget w, int x, int y);
// A key pressed with `modifiers` (ShiftMask, ControlMask) held.
bool keyHandled(Display *dpy, KeySym sym, unsigned modifiers = 0, int limitMs = 5000);
// The characters of `text` typed to whatever holds the keyboard focus,
// Shift held for those that need it.
bool typeHandled(Display *dpy, const std::string &text);
// A focus click on a text field (or text), then its text replaced by `text` with keys
// (Back Space and Delete until it is empty, then the new characters).
bool replaceTextHandled(Widget field, const std::string &text);

// The places of a scroll bar a user clicks, and the middle of one as the
// bar is drawn, in its own coordinates.
enum ScrollBarPlace { kStartArrow, kEndArrow, kTroughBefore, kTroughAfter, kSlider };
void scrollBarPlace(Widget bar, ScrollBarPlace place, int *x, int *y);
bool scrollBarVertical(Widget bar);

// True when the widget (a gadget's parent for a gadget) is viewable.
bool viewable(Widget w);

// The pointer's path of a button-2 drag: XTest motion in ten steps from
// `from` to `to`, 60 ms apart, then the release of button 2.  It is played
// from time-outs of `app`, so it goes on inside Motif's drag loop; the
// caller presses button 2 and starts the drag, and keeps the path alive
// until the drag ends.
struct DragPath {
  Display *dpy;
  XtAppContext app;
  int from_x, from_y, to_x, to_y;
  int step;
};
void playDragPath(DragPath *path);

// Sends a shell the WM_DELETE_WINDOW message a window manager sends when the
// user closes its window.
void closeLikeWindowManager(Widget shell);

}  // namespace qevtest
