// Test support: a window of the module opened as the host opens one for the
// user, for the tests that work in it.
#pragma once

#include <cstdint>

#include "qev/records.h"

namespace qevtest {

// A window of `kind` with one full-width pane of five rows, listed, shown
// on the server (wuxiwnd) and made the module's current window; null (with
// a test failure) when the module refuses it.  The caller releases it.
wu_window *openUserWindow(int32_t kind);

}  // namespace qevtest
