// Test support: where a host image is drawn in a window, and what shows
// through its transparent parts.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>

namespace qevtest {

struct IconLook {
  bool found = false;   // the image's opaque pixels stand whole in the window
  int x = 0, y = 0;     // where its top left corner is
  int transparent = 0;  // pixels of the image's background colour
  int wrong = 0;        // of those, the ones that do not show `background`
};

// Looks for the host image `id` at `size` pixels (its XPM data from the
// host) drawn in `window` with its top left corner within `area` of the
// window (all of it when the area is empty), and counts its transparent
// pixels that show something else than `background`.
IconLook findIcon(Display *dpy, Window window, int32_t id, int size, unsigned long background,
                  XRectangle area = {0, 0, 0, 0});

// What the look says, for a failure message.
std::string describe(const IconLook &look);

}  // namespace qevtest
