// Display services of the window layer: the message line and the text-key
// translations.
#include <X11/Intrinsic.h>
#include <algorithm>
#include <cstring>

#include "qev/flags.h"
#include "frames/wutframe.h"
#include "runtime/wureg.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"

extern "C" {

wu_status wuxpmsg(wu_window *w, const char *text, int32_t length, int32_t) {
  if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
  if (!text) length = 0;
  else if (length < 0) length = int32_t(std::strlen(text));
  int32_t n = std::min<int32_t>(length, WU_MESSAGE_LEN);
  if (n > 0) std::memcpy(w->message, text, size_t(n));
  std::memset(w->message + n, ' ', size_t(WU_MESSAGE_LEN - n));
  w->flags &= ~WU_WIN_MSG_PENDING;
  if (wu_field *f = w->message_field) {
    f->flags |= WU_FLD_DIRTY;
    if (w->command_pane && (w->flags & WU_WIN_REALIZED)) {
      wutwfld(w->command_pane, f, 1, f->length);
      f->flags &= ~WU_FLD_DIRTY;
      wutflsh(0);
    }
  }
  return WU_OK;
}

void wutaddt(Widget w) {
  if (!w || !devb) return;
  wutiact();
  if (devb->text_keys) XtOverrideTranslations(w, devb->text_keys);
  if (devb->text_keys2) XtOverrideTranslations(w, devb->text_keys2);
}

}  // extern "C"
