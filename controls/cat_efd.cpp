/* Catalogue tables of the entry field (control type 1). */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

constexpr wu_cat_parm getmark[] = {
    parm(WU_CAT_OUT, WU_VT_INT, "startPosition", "Specifies the starting position of the mark"),
    parm(WU_CAT_OUT, WU_VT_INT, "endPosition", "Specifies the ending position of the mark"),
};
constexpr wu_cat_parm setmark[] = {
    parm(WU_CAT_IN, WU_VT_INT, "startPosition", "Specifies the starting position of the mark"),
    parm(WU_CAT_IN, WU_VT_INT, "endPosition", "Specifies the ending position of the mark"),
};

}  // namespace

extern "C" {

constexpr wu_cat_attr efdattrs[28] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, TEXT, USERDATA, VISIBLE, ENABLED,
    TOOLTIP, HELPTEXT, TEXTCOLOR, BACKGROUND, MINCHAR, MAXCHARS, ERRORON, EVENTS,
    attr(WU_A_NUMKEYS, "numKeys", WU_VT_BOOL, WU_CAT_SET, 131, boolenum),
    attr(WU_A_UPPERCASE, "upperCase", WU_VT_BOOL, WU_CAT_SET, 119, boolenum),
    attr(WU_A_MASKCHAR, "maskCharacter", WU_VT_CHAR, WU_CAT_SET, 120),
    EDITABLE, BORDERSTYLE, FONT, CONFORMSIZE, CURSORPOS, VIRTUALKEYS, TEXTORIENT,
    JUSTIFY_C,
};

constexpr wu_cat_method efdmethod[5] = {
    method(WU_M_GETMARK, "_getMark", 706, getmark),
    method(WU_M_SETMARK, "_setMark", 707, setmark),
    method(WU_M_CLEARMARK, "_clearMark", 708),
    SETCURSORPOS,
    SHOWPOPUP,
};

constexpr wu_cat_event efdevent[8] = {
    EV_KEY, EV_RETURNKEY, EV_POPUP, EV_CONFORMSIZE, EV_CLICK_TEXT, EV_DOUBLECLICK,
    EV_PREVKEY, EV_VALUECHANGED,
};

}  // extern "C"
