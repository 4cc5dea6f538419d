// The link to the host's printer-driver image.  This module has no print
// engine: loading it and its printer setup answer "not available", so the
// callers fall back to the host's own printing.
#include "graphics/wugraph.h"

extern "C" {

wu_status wupinit(void) { return WU_NOTAVAIL; }

wu_status wupshop(void *) { return WU_NOTAVAIL; }

}  // extern "C"
