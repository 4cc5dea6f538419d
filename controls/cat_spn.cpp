/* Catalogue tables of the spin box (control type 5).  `increment` and
   `decrement` stand here without parameters; the spin box sends them with
   the text and the number. */
#include "controls/cat_rows.h"

using namespace qevcat;

extern "C" {

constexpr wu_cat_attr spnattrs[27] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, USERDATA, VISIBLE, ENABLED, TOOLTIP,
    HELPTEXT, TEXTCOLOR, BACKGROUND, MINCHAR, ERRORON,
    attr(WU_A_NUMKEYS, "dataSource", WU_VT_BOOL, WU_CAT_SET, 131),
    ITEMS, SELINDEX, TEXT, EVENTS, EDITABLE,
    attr(WU_A_ORIENTATION, "orientation", WU_VT_INT, WU_CAT_CREATE, 139, orientenum),
    attr(WU_A_COMPANION, "inputArea", WU_VT_BOOL, WU_CAT_SET, 140, boolenum),
    FONT, CONFORMSIZE, CURSORPOS, VIRTUALKEYS, TEXTORIENT_C,
};

constexpr wu_cat_method spnmethod[1] = {SHOWPOPUP};

constexpr wu_cat_event spnevent[10] = {
    EV_KEY, EV_RETURNKEY,
    method(WU_EV_INCREMENT, "increment", 505),
    method(WU_EV_DECREMENT, "decrement", 506),
    EV_POPUP, EV_CONFORMSIZE, EV_CLICK_TEXT, EV_DOUBLECLICK, EV_PREVKEY,
    EV_VALUECHANGED,
};

}  // extern "C"
