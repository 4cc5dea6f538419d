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

// Sends a shell the WM_DELETE_WINDOW message a window manager sends when the
// user closes its window.
void closeLikeWindowManager(Widget shell);

}  // namespace qevtest
