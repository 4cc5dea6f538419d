// The demo's scripted user (qevdemo --check REPORT): while the demo runs as
// it does for a person, a script driven by the toolkit's timer does what
// the person would, with real pointer and key input through XTest, and
// writes what the screen showed into the report, one line per finding:
//
//   box: TEXT              a message or question box the module opened
//   toggle: TEXT           the Open dialog's type toggle
//   message: STEP: TEXT    the main window's message line after a step
//   command: TEXT          a command the demo received and ran
//   history: N             items of the command window's list at its opening
//   toolbox: closed        the tool box gone after the window manager's close
//   column: I WIDTH clear|overlapped
//                          a list view column, and whether its texts end
//                          inside it
//   timeout: STEP          a step whose outcome never came
//   missing: SET,NUMBER    a message looked up that the host has no text for
//   done                   every step ran
//
// A line break inside a text is written as "\n".  The demo program itself
// calls only Xlib: the few toolkit routines the script needs it looks up in
// the libraries the module brought.
#pragma once

#include <sys/types.h>

#include <string>

#include "qev/records.h"

namespace demo {

// The demo's windows, in the order they come.
enum class CheckPhase { kMain, kControls, kLists };

// Opens the report and looks up the toolkit routines; false when either
// fails.  `wm` is the window manager the demo started (ended on a failure).
bool checkStart(void *module, const std::string &report, pid_t wm);
// The demo's window of a phase is up (realised); the script starts with the
// main window.
void checkWindow(CheckPhase phase, wu_window *w);
// A command the demo received, after it ran.
void checkCommand(const std::string &command);
// After the module has ended: the missing messages and whether every step
// ran; true when every step ran.
bool checkFinish();

}  // namespace demo
