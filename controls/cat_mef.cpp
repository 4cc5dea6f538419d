/* Catalogue tables of the multi-line entry (control type 0). */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

constexpr wu_cat_parm getmark[] = {
    parm(WU_CAT_OUT, WU_VT_INT, "startRow", "Specifies the starting row of the mark"),
    parm(WU_CAT_OUT, WU_VT_INT, "startColumn", "Specifies the starting column of the mark"),
    parm(WU_CAT_OUT, WU_VT_INT, "endRow", "Specifies the ending row of the mark"),
    parm(WU_CAT_OUT, WU_VT_INT, "endColumn", "Specifies the ending column of the mark"),
};
constexpr wu_cat_parm setmark[] = {
    parm(WU_CAT_IN, WU_VT_INT, "startRow", "Specifies the starting row of the mark"),
    parm(WU_CAT_IN, WU_VT_INT, "startColumn", "Specifies the starting column of the mark"),
    parm(WU_CAT_IN, WU_VT_INT, "endRow", "Specifies the ending row of the mark"),
    parm(WU_CAT_IN, WU_VT_INT, "endColumn", "Specifies the ending column of the mark"),
};

}  // namespace

extern "C" {

constexpr wu_cat_attr mefattrs[28] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT,
    attr(WU_A_LINES, "text", WU_VT_STRLIST, WU_CAT_SET, 107),
    USERDATA, VISIBLE, ENABLED, TOOLTIP, HELPTEXT, TEXTCOLOR, BACKGROUND,
    MINCHAR, MAXCHARS, EVENTS,
    attr(WU_A_MINROWS, "displayRows", WU_VT_INT, WU_CAT_SET, 117),
    EDITABLE, BORDERSTYLE, TOPROW, FONT, CURSORPOS,
    attr(WU_A_ROWPOS, "rowPosition", WU_VT_INT, WU_CAT_SET, 205),
    JUSTIFY_C,
    attr(WU_A_HSCROLLBAR, "hScrollBar", WU_VT_BOOL, WU_CAT_CREATE, 207),
    attr(WU_A_VSCROLLBAR, "vScrollBar", WU_VT_BOOL, WU_CAT_CREATE, 208),
    VIRTUALKEYS, TEXTORIENT,
};

constexpr wu_cat_method mefmethod[4] = {
    method(WU_M_GETMARK, "_getMark", 706, getmark),
    method(WU_M_SETMARK, "_setMark", 707, setmark),
    method(WU_M_CLEARMARK, "_clearMark", 708),
    SHOWPOPUP,
};

constexpr wu_cat_event mefevent[7] = {
    EV_KEY, EV_RETURNKEY, EV_POPUP, EV_CLICK_TEXT, EV_DOUBLECLICK, EV_PREVKEY,
    EV_VALUECHANGED,
};

}  // extern "C"
