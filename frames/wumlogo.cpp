// The start-up logo: a shell named WU_LOGO_SHELL shown while the host
// starts.  wumrlgo removes it once the host's first window is up; with no
// logo showing there is nothing to do.
#include <X11/IntrinsicP.h>
#include <cstring>

#include "frames/wuframes.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

extern "C" wu_status wumrlgo(int32_t, int32_t) {
  if (!devb || !devb->toplevel || !wu_x_ok()) return WU_OK;
  Widget top = devb->toplevel;
  for (Cardinal i = 0; i < top->core.num_popups; ++i) {
    Widget shell = top->core.popup_list[i];
    if (shell->core.being_destroyed || std::strcmp(XtName(shell), WU_LOGO_SHELL) != 0) continue;
    XtDestroyWidget(shell);
    break;
  }
  return WU_OK;
}
