// Help requests.  This module has no help host: the host's help service
// reports no session and a help request is answered "not available".
#include "dialogs/wudialog.h"

extern "C" {

int32_t vuxihlp(void) { return 0; }

wu_status wunhelpc(void *) { return WU_NOTAVAIL; }

}  // extern "C"
