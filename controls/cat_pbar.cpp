/* Catalogue tables of the progress bar (control type 13). */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

constexpr wu_cat_parm stepdelta[] = {
    parm(WU_CAT_IN, WU_VT_NUMBER, "increment", "Increment value"),
};

}  // namespace

extern "C" {

constexpr wu_cat_attr pbarattrs[18] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, USERDATA, ENABLED, VISIBLE, TOOLTIP,
    HELPTEXT,
    attr(WU_A_STYLE, "barStyle", WU_VT_INT, WU_CAT_CREATE, 213, styleenum),
    ORIENT_C,
    attr(WU_A_SHOWPERCENT, "showPercentage", WU_VT_INT, WU_CAT_SET, 215, boolenum),
    attr(WU_A_MINIMUM, "minimum", WU_VT_NUMBER, WU_CAT_SET, 150),
    attr(WU_A_MAXIMUM, "maximum", WU_VT_NUMBER, WU_CAT_SET, 149),
    attr(WU_A_VALUE, "value", WU_VT_NUMBER, WU_CAT_SET, 214),
    attr(WU_A_INCREMENT, "increment", WU_VT_NUMBER, WU_CAT_SET, 137),
    EVENTS,
};

constexpr wu_cat_method pbarmethod[3] = {
    method(WU_M_STEP, "_step", 754),
    method(WU_M_STEPDELTA, "_stepDelta", 755, stepdelta),
    SHOWPOPUP,
};

constexpr wu_cat_event pbarevent[1] = {EV_POPUP};

}  // extern "C"
