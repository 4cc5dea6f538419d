/* Catalogue tables of the radio box (control type 11). */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

constexpr wu_cat_parm gettext[] = {
    parm(WU_CAT_IN, WU_VT_INT, "row", "Specifies the row"),
    parm(WU_CAT_OUT, WU_VT_STRING, "text", "Returns the text for the specified row"),
};
constexpr wu_cat_parm ev_index[] = {parm(WU_CAT_IN, WU_VT_INT)};  /* the chosen index */

}  // namespace

extern "C" {

constexpr wu_cat_attr rbxattrs[22] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, USERDATA, VISIBLE, ENABLED, TOOLTIP,
    HELPTEXT, LABELCOLOR, BACKGROUND, MINCHAR, EVENTS, ITEMS, SELINDEX,
    attr(WU_A_ORIENTATION, "orientation", WU_VT_INT, WU_CAT_SET, 139, orientenum),
    FONT,
    attr(WU_A_TITLE, "borderTitle", WU_VT_STRING, WU_CAT_SET, 161),
    BORDERSTYLE, CONFORMSIZE, TEXTORIENT_C,
};

constexpr wu_cat_method rbxmethod[2] = {
    method(WU_M_GETTEXT, "_getText", 735, gettext),
    SHOWPOPUP,
};

constexpr wu_cat_event rbxevent[3] = {
    method(WU_EV_SELECT, "click", 504, ev_index),
    EV_POPUP, EV_CONFORMSIZE,
};

}  // extern "C"
