// The demo's unattended run on a private X server: a window manager for the
// window's frame, the window's place and its screenshot.
//
// The demo program itself calls only Xlib: an executable that loaded libXt
// ahead of the module's libXm would give Motif's shells the toolkit's plain
// vendor shell.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>

namespace demo {

// Starts mwm on $DISPLAY when it is installed and waits until it manages
// the screen; its process id, or 0 when there is none.
pid_t startWindowManager();
// Ends the window manager that startWindowManager started.
void stopWindowManager(pid_t pid);
// Moves a top-level window away from the screen's corner so that its frame
// shows whole.
void placeWindow(Display *dpy, Window window);
// Saves a picture of the screen around the window and its frame.
bool saveShot(Display *dpy, Window window, const std::string &path);
// Types a command into the window as a user would through the keyboard:
// the pointer moves into the window, then the text's keys and Return go to
// the server through XTest.  False when XTest is missing or a character has
// no key.
bool typeCommand(Display *dpy, Window window, const std::string &text);
// Types the text's keys (Shift where the character needs it) to whatever
// has the keyboard; false when a character has no key.
bool typeKeys(Display *dpy, const std::string &text);
// Presses and releases the key of `sym` with `modifier` (a modifier key's
// symbol, or NoSymbol) held.
bool pressKeysym(Display *dpy, KeySym sym, KeySym modifier = NoSymbol);
// Presses Alt with a letter (a menu bar mnemonic).
bool pressMnemonic(Display *dpy, char letter);

// The viewable window titled `title` (searched below `top`), or None.
Window findClient(Display *dpy, Window top, const char *title);
// Clicks button 1 at (x, y) of the window through XTest.
bool clickAt(Display *dpy, Window window, int x, int y);
// The window manager's frame of a top-level window (the window itself when
// none frames it), and a click on the frame's title bar, which gives the
// window the keyboard as a user's click does.
Window frameOf(Display *dpy, Window window);
bool clickTitle(Display *dpy, Window window);
// Asks a top-level window to close as the window manager's close does
// (WM_DELETE_WINDOW).
void askToClose(Display *dpy, Window window);
// Whether the window is mapped and all its ancestors too.
bool viewable(Display *dpy, Window window);

}  // namespace demo
