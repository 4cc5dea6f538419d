/* Catalogue tables of the push button (control type 7). */
#include "controls/cat_rows.h"

using namespace qevcat;

extern "C" {

constexpr wu_cat_attr pbattrs[20] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, MINCHAR, USERDATA, LABEL, ENABLED,
    VISIBLE, TOOLTIP, HELPTEXT,
    attr(WU_A_STYLE, "buttonStyle", WU_VT_INT, WU_CAT_SET, 156, pshenum),
    ICON, FONT, EVENTS, ICONSTYLE, CONFORMSIZE,
    attr(WU_A_DEFAULTBUTTON, "defaultPushButton", WU_VT_BOOL, WU_CAT_SET, 203, boolenum),
    TEXTORIENT_C,
};

constexpr wu_cat_method pbnmethod[1] = {SHOWPOPUP};

constexpr wu_cat_event pbevent[3] = {EV_CLICK, EV_POPUP, EV_CONFORMSIZE};

}  // extern "C"
