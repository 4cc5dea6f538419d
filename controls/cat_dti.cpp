/* Catalogue tables of the desktop icon (control type 12).  Its two button
   styles are the push button's icon-beside and icon-above styles. */
#include "controls/cat_rows.h"

using namespace qevcat;

extern "C" {

constexpr wu_cat_attr dtiattrs[21] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, LABELCOLOR, BACKGROUND, MINCHAR,
    USERDATA, LABEL, ENABLED, VISIBLE, TOOLTIP, HELPTEXT,
    attr(WU_A_STYLE, "buttonStyle", WU_VT_INT, WU_CAT_SET, 156, deskenum),
    ICON, FONT, EVENTS, ICONSTYLE, CONFORMSIZE, TEXTORIENT_C,
};

constexpr wu_cat_method dtimethod[1] = {SHOWPOPUP};

constexpr wu_cat_event dtievent[3] = {EV_DOUBLECLICK, EV_POPUP, EV_CONFORMSIZE};

}  // extern "C"
