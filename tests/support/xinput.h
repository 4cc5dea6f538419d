// Test support: what a user does with mouse and keyboard, sent through XTest
// to the private X server, and what a window manager sends when the user
// closes a window.
#pragma once

#include <X11/Intrinsic.h>

namespace qevtest {

// Moves the pointer to the middle of a widget or gadget and clicks button 1.
void clickWidget(Widget w);

// Presses and releases the key of a keysym.
void pressKey(Display *dpy, KeySym sym);

// Gives a widget the keyboard focus: its shell holds the server's focus
// and Motif's traversal is on the widget, as after the user's click.
void focusWidget(Widget w);

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
