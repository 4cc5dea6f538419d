// Test support: what the X server shows of a tool box shell's buttons.
#pragma once

#include <X11/Intrinsic.h>

#include <string>

namespace qevtest {

// Empty when `shell` is viewable and the screen shows every managed button
// of `rowcol` whole: each at the size it asks for, inside the shell's
// window, its far corner drawn on the screen in the button's own shadow,
// the buttons in `rows` rows of at most `columns`.  Otherwise what is wrong.
std::string toolsCut(Widget shell, Widget rowcol, int rows, int columns);

// The same for the module's merged tool box holding `n` tools, `perRow` a
// row, once the server (and a window manager) has done what the module
// asked: the module's event loop turns until the screen shows them whole
// or `limitMs` passed.
std::string mergedToolsCut(int n, int perRow, int limitMs = 10000);

}  // namespace qevtest
