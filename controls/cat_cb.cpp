/* Catalogue tables of the check box (control type 9). */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

constexpr wu_cat_parm ev_state[] = {parm(WU_CAT_IN, WU_VT_INT)};  /* the new state */

}  // namespace

extern "C" {

constexpr wu_cat_attr cbattrs[19] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, LABELCOLOR, BACKGROUND, MINCHAR,
    USERDATA, LABEL, ENABLED, VISIBLE, TOOLTIP, HELPTEXT,
    attr(WU_A_SELECTED, "selected", WU_VT_BOOL, WU_CAT_SET, 157),
    FONT, EVENTS, CONFORMSIZE, TEXTORIENT_C,
};

constexpr wu_cat_method cbmethod[1] = {SHOWPOPUP};

constexpr wu_cat_event cbxevent[3] = {
    method(WU_EV_SELECT, "click", 504, ev_state),
    EV_POPUP, EV_CONFORMSIZE,
};

}  // extern "C"
