/* Catalogue tables of the label (control type 2).  The label has no event
   mask attribute: it sends only `popup` and `conformSize`. */
#include "controls/cat_rows.h"

using namespace qevcat;

extern "C" {

constexpr wu_cat_attr lblattrs[19] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, LABEL, USERDATA, VISIBLE, ENABLED,
    TOOLTIP, HELPTEXT, LABELCOLOR, BACKGROUND, MINCHAR,
    attr(WU_A_JUSTIFICATION, "justification", WU_VT_INT, WU_CAT_SET, 118, justenum),
    FONT, CONFORMSIZE,
    attr(WU_A_COMPANION, "mnemonicCompanion", WU_VT_CONTROL, WU_CAT_SET, 140),
    TEXTORIENT_C,
};

constexpr wu_cat_method lblmethod[1] = {SHOWPOPUP};

constexpr wu_cat_event lblevent[2] = {EV_POPUP, EV_CONFORMSIZE};

}  // extern "C"
