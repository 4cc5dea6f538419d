// The mail dialog needs the host's mail access method, which is not
// available to this module.
#include "dialogs/wudialog.h"

extern "C" wu_status wummdlg(wu_window *) { return WU_NOTAVAIL; }
