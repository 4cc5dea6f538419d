// Start-up and shut-down of the X toolkit.  The module's X start-up (display,
// resources, fonts, colours) takes this place; until then the window system
// starts without a display.
#include "runtime/wuruntime.h"

extern "C" wu_status wutinit(void) { return WU_OK; }
extern "C" wu_status wutterm(void) { return WU_OK; }
