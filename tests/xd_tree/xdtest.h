// Shared fixture of the tree and tab tests: one application context on the
// private X server, real input through XTest, and helpers to wait for the
// toolkit to settle.
#pragma once

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>

#include "xd/TreeP.h"

#include <functional>
#include <string>
#include <vector>

namespace xdtest {

struct App {
  XtAppContext app = nullptr;
  Display *dpy = nullptr;
};

// The application context, opened on the private display the first time.
App &app();

// In a child process: a new application context on a connection of the
// child's own (the inherited one stays the parent's, untouched).
void reopen();

// A top-level shell of the given size with an XmForm inside; the shell is
// not realized yet.
Widget makeShell(Widget *form, int width, int height);

// Realizes and maps the shell, waits for it to be viewable and gives it the
// keyboard focus.
void show(Widget shell);

// Processes events until a round trip to the server finds none left (at
// most five seconds).
void settle();
// Processes events (and time-outs) for `ms` milliseconds: for what is to
// happen only after a time (an activation delay).
void pump(int ms);
// Processes events and time-outs until `done` holds (at most `limitMs`);
// whether it held.
bool pumpUntil(const std::function<bool()> &done, int limitMs = 5000);

// Moves the pointer to a widget's point (its centre by default) in root
// coordinates.
void pointerTo(Widget w, int x = -1, int y = -1);
// Presses and releases a button over a widget, with modifier keys held.
void click(Widget w, unsigned button = 1, const std::vector<KeySym> &mods = {});
// Presses and releases a button at a point of a widget's window.
void clickAt(Widget w, int x, int y, unsigned button = 1, const std::vector<KeySym> &mods = {});
// Clicks the middle of a part (XdTREE_PART_*) of a tree node's row, drawn
// or a button; the row must be laid out.
void clickNode(wu_tree_node *n, int part = XdTREE_PART_LABEL, unsigned button = 1,
               const std::vector<KeySym> &mods = {});
// A double click of button 1 on a part of a node as fast as a user makes
// it: both clicks sent in one burst, so that a busy machine does not space
// them; `between` runs once the first click is handled.
void doubleClickNode(wu_tree_node *n, int part, const std::function<void()> &between = nullptr);
// Presses and releases a key (with modifier keys held).
void key(KeySym sym, const std::vector<KeySym> &mods = {});

// One pixel of a widget's window as 0xRRGGBB.
unsigned long pixel(Widget w, int x, int y);

// Warnings of the toolkit seen since the last call (and cleared).
std::vector<std::string> takeWarnings();
// X protocol errors seen since the start.
int xErrors();

}  // namespace xdtest
