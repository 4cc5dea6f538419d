/* Catalogue tables of the scroll bar (control type 8).  Its values and
   amounts are doubles. */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

/* The scroll code and the new value. */
constexpr wu_cat_parm ev_scroll[] = {parm(WU_CAT_IN, WU_VT_INT), parm(WU_CAT_IN, WU_VT_DOUBLE)};

}  // namespace

extern "C" {

constexpr wu_cat_attr sclattrs[18] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, USERDATA, VISIBLE, ENABLED, TOOLTIP,
    HELPTEXT,
    attr(WU_A_MINIMUM, "minimum", WU_VT_DOUBLE, WU_CAT_SET, 150),
    attr(WU_A_MAXIMUM, "maximum", WU_VT_DOUBLE, WU_CAT_SET, 149),
    attr(WU_A_VALUE, "value", WU_VT_DOUBLE, WU_CAT_SET, 151),
    attr(WU_A_LARGESCROLL, "largeScrollAmount", WU_VT_DOUBLE, WU_CAT_SET, 180),
    ORIENT_C,
    attr(WU_A_SCALEON, "scaleOn", WU_VT_BOOL, WU_CAT_SET, 154, boolenum),
    EVENTS,
    attr(WU_A_INCREMENT, "smallScrollAmount", WU_VT_DOUBLE, WU_CAT_SET, 137),
};

constexpr wu_cat_method sclmethod[1] = {SHOWPOPUP};

constexpr wu_cat_event sclevent[2] = {
    method(WU_EV_SCROLL, "scroll", 511, ev_scroll),
    EV_POPUP,
};

}  // extern "C"
