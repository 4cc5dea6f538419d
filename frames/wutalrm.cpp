// The display bell and the output flush.
#include <X11/Xlib.h>

#include "frames/wutframe.h"
#include "runtime/wutoolkit.h"

namespace {
const int kBellVolume = 0;   // the user's default volume
const int32_t kFlushSync = 1; // wutflsh mode: also wait until the server has done it
}  // namespace

extern "C" {

void wutalrm(void) {
  if (wu_x_ok()) XBell(devb->display, kBellVolume);
}

void wutflsh(int32_t mode) {
  if (!wu_x_ok()) return;
  if (mode == kFlushSync) {
    XSync(devb->display, False);
  } else {
    XFlush(devb->display);
  }
}

}  // extern "C"
