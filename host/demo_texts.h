// The demo host's message tables.
#pragma once

namespace demo {

// Gives the stand-in host the texts of the messages the module shows and
// uses on the demo's paths.  Called after the host has started.
void setHostTexts();

}  // namespace demo
