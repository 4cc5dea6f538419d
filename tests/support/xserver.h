// Test support: every test process that needs X gets an X server of its own,
// so that test programs can run side by side without sharing pointer, focus or
// window-manager state.
#pragma once

#include <X11/Xlib.h>

namespace qevtest {

// Starts a private Xvfb (24-bit TrueColor, 1280x1024) the first time it is
// called in this process, waits until it takes clients, points DISPLAY at
// it and returns the display name; null when no server came up.  The server
// is stopped when the process exits.  QEV_TEST_XSERVER may name another
// server program that takes Xvfb's arguments.
const char *privateDisplay();

// Opens a new connection to the private server (the caller closes it).
Display *openDisplay();

// Starts mwm on the private server for tests that need a window manager;
// returns false when mwm could not be started.  Stopped at process exit.
bool startWindowManager();

// Stops the mwm startWindowManager started, once the server has seen it go
// (no client selects SubstructureRedirect on the root any more), and gives
// the keyboard focus back to the pointer, so that the cases after it in the
// same process run as on a server without a window manager.
void stopWindowManager();

// Gives the keyboard focus back to the pointer, as on a fresh server: a
// client that ends while one of its windows has the focus (a popup menu, a
// window manager) may leave it at None, which sends later keys nowhere.
void restoreFocus();

// Reads one pixel of a window (or the root when w is 0) as 0xRRGGBB.
unsigned long pixelAt(Display *dpy, Window w, int x, int y);

// The server as another client sees it, with no event of the module's
// connection handled: whether window `w` still exists, and whether the
// keyboard or the pointer is free (another client could grab it).  With
// `other` null each opens a connection of its own for the question.
bool windowExists(Display *other, Window w);
bool keyboardFree(Display *other = nullptr);
bool pointerFree(Display *other = nullptr);

}  // namespace qevtest
