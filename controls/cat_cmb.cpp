/* Catalogue tables of the combo box (control type 3). */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

constexpr wu_cat_parm del[] = {
    parm(WU_CAT_IN, WU_VT_INT, "position", "Specifies the list index of the item to delete"),
};
constexpr wu_cat_parm additems[] = {
    parm(WU_CAT_IN, WU_VT_INT, "position",
         "Specifies the position in the list into which the new items are inserted"),
    parm(WU_CAT_IN, WU_VT_STRLIST, "items", "Specifies an VRQ list containing the new items"),
};
/* The search text is a string entry like every other search text of the
   catalogue, so the host hands it over as one. */
constexpr wu_cat_parm find[] = {
    parm(WU_CAT_INOUT, WU_VT_INT, "position",
         "Specifies the position to start the search and the found position"),
    parm(WU_CAT_IN, WU_VT_STRING, "text", "Specifies the text string to search for"),
};
constexpr wu_cat_parm getmark[] = {
    parm(WU_CAT_OUT, WU_VT_INT, "startPosition",
         "The starting position of the mark in the input area"),
    parm(WU_CAT_OUT, WU_VT_INT, "endPosition", "The ending position of the mark in the input area"),
};
constexpr wu_cat_parm setmark[] = {
    parm(WU_CAT_IN, WU_VT_INT, "startPosition",
         "Specifies the starting position of the mark in the input area"),
    parm(WU_CAT_IN, WU_VT_INT, "endPosition",
         "Specifies the ending position of the mark in the input area"),
};
constexpr wu_cat_parm selected[] = {parm(WU_CAT_IN, WU_VT_INT)};

}  // namespace

extern "C" {

constexpr wu_cat_attr cmbattrs[26] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT,
    attr(WU_A_TEXT, "selectedItem", WU_VT_STRING, WU_CAT_SET, 106),
    USERDATA, VISIBLE, ENABLED, TOOLTIP, HELPTEXT, TEXTCOLOR, BACKGROUND, MINCHAR,
    MAXCHARS, ERRORON, EVENTS,
    attr(WU_A_COMBOSTYLE, "comboBoxStyle", WU_VT_BOOL, WU_CAT_CREATE, 122, comboenum),
    ITEMS, SELINDEX,
    attr(WU_A_ALLOWNEW, "allowNewItems", WU_VT_BOOL, WU_CAT_SET, 130, boolenum),
    FONT, CONFORMSIZE, CURSORPOS, VIRTUALKEYS, TEXTORIENT_C,
};

constexpr wu_cat_method cmbmethod[11] = {
    method(WU_M_DELETE, "_delete", 700, del),
    method(WU_M_DELETEALL, "_deleteAll", 701),
    method(WU_M_ADD, "_addItems", 702, additems),
    method(WU_M_ADDINPUTTEXT, "_addInputAreaText", 703),
    method(WU_M_FIND, "_find", 704, find),
    method(WU_M_FINDEXACT, "_findExact", 705, find),
    method(WU_M_GETMARK, "_getMark", 706, getmark),
    method(WU_M_SETMARK, "_setMark", 707, setmark),
    method(WU_M_CLEARMARK, "_clearMark", 708),
    SETCURSORPOS,
    SHOWPOPUP,
};

constexpr wu_cat_event cmbevent[9] = {
    method(WU_EV_SELECT, "select", 504, selected),
    EV_KEY, EV_RETURNKEY, EV_POPUP, EV_CONFORMSIZE, EV_CLICK_TEXT, EV_DOUBLECLICK,
    EV_PREVKEY, EV_VALUECHANGED,
};

}  // extern "C"
