// Test support: a widget made a drag source of the module that offers one
// text, as the host makes one through its drop-site services.
#pragma once

#include <X11/Intrinsic.h>

struct wu_dnd_site;

namespace qevtest {

// Registers `w` as a module drop site whose drags offer `text` as the
// module's text type; the site, or null when the module refused.
wu_dnd_site *offerText(Widget w, const char *text);
// A drawing area of 80 by 40 pixels at (x, y) of `parent`, shown and made
// such a drag source; null when the module refused it.
Widget textSource(Widget parent, int x, int y, const char *text);
// Sets the types and items of a site the module made so that its drags
// offer `text` as the module's text type; the status of the setting.
int32_t setOfferedText(wu_dnd_site *site, const char *text);

// The user's drag from `source`: button 2 pressed at (20, 20) of it, the
// module's drag started there (wuwsdnd) and the pointer moved to root
// (to_x, to_y), where button 2 is released.  Returns once the module's drag
// is over (or after five seconds); false when the drag did not start.
bool dragFrom(Widget source, int to_x, int to_y);

}  // namespace qevtest
