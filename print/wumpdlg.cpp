// The print dialog family.  Printing goes through the host's print engine,
// which this module cannot load: every dialog answers "not available" and
// the host prints its own way.
#include "dialogs/wudialog.h"

extern "C" {

wu_status wumpdlg(wu_window *) { return WU_NOTAVAIL; }
wu_status wumpstp(wu_window *) { return WU_NOTAVAIL; }
wu_status wumpprv(wu_window *) { return WU_NOTAVAIL; }

}  // extern "C"
