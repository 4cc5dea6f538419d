// Test support: the stand-in host with the display module loaded and its
// window system started on the private X server, as a host runs it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qevtest {

// Starts the stand-in host on the private display, loads the module from
// `modulePath`, and starts it through the window interface's start-up slot
// (which starts the X toolkit).  False, with the reason in `error`, when any
// step fails.
bool startModule(const std::string &modulePath, std::string *error = nullptr);
// Shuts the module down through its shut-down slot, unloads it and stops the
// host.  Safe to call when startModule failed.
void stopModule();

// The window table's slot `slot` taking no arguments (start-up, shut-down),
// or null when the module registered no such slot.
using VoidSlot = int32_t (*)(void);
VoidSlot windowSlot(int slot);

// Turns the module's X event loop until `done` holds or `limitMs` passed;
// returns whether `done` held.  Stands in for the host's waiting read.
bool turnUntil(const std::function<bool()> &done, int limitMs = 5000);

// Starts mwm (startWindowManager) and turns the module's event loop until
// the module's toolkit sees the Motif window manager run.
bool startModuleWindowManager();

// True when some line of the host log contains `text`.
bool logContains(const std::string &text);

}  // namespace qevtest
