/* Catalogue tables of the list box (control type 10). */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

#define LBX_ROW_DATA                                                                 \
  parm(WU_CAT_IN, WU_VT_INTLIST, "icons", "Specifies an VRQ list containing the icons to insert"), \
  parm(WU_CAT_IN, WU_VT_STRLIST, "items", "Specifies an VRQ list containing the items to insert"), \
  parm(WU_CAT_IN, WU_VT_IDLIST, "ids", "Specifies an VRQ list containing corresponding ids")
constexpr wu_cat_parm add[] = {
    parm(WU_CAT_IN, WU_VT_INT, "insertRow",
         "Specifies the insertion row; the new row is inserted before this row"),
    LBX_ROW_DATA,
};
constexpr wu_cat_parm updaterows[] = {
    parm(WU_CAT_IN, WU_VT_INTLIST, "updateRow", "Specifies the rows to update"),
    LBX_ROW_DATA,
};
#undef LBX_ROW_DATA

constexpr wu_cat_parm getitem[] = {
    parm(WU_CAT_IN, WU_VT_INT, "row", "Specifies the row to retrieve"),
    parm(WU_CAT_OUT, WU_VT_INT, "icon", "Returns the row's icon"),
    parm(WU_CAT_OUT, WU_VT_STRING, "text", "Returns the text for the specified row"),
    parm(WU_CAT_OUT, WU_VT_WORD, "id", "Returns the row's id"),
};
constexpr wu_cat_parm find[] = {
    parm(WU_CAT_INOUT, WU_VT_INT, "startRow", "Specifies the starting row of the search"),
    parm(WU_CAT_IN, WU_VT_STRING, "text", "Specifies the text string to search for"),
};

constexpr wu_cat_parm ev_click[] = {parm(WU_CAT_IN, WU_VT_BLOCK)};
constexpr wu_cat_parm ev_row[] = {parm(WU_CAT_IN, WU_VT_WORD)};

}  // namespace

extern "C" {

constexpr wu_cat_attr lbxattrs[22] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, USERDATA, VISIBLE, ENABLED, TEXTCOLOR,
    BACKGROUND, EVENTS, MINCHAR, SELINDEXES,
    attr(WU_A_SELECTEDITEMS, "selectedItems", WU_VT_STRLIST, WU_CAT_GET, 147),
    SELCOUNT,
    attr(WU_A_SELECTIONMODE, "selectionMode", WU_VT_INT, WU_CAT_CREATE, 143, selenum),
    ROWS, TITLE, TITLEHEIGHT, FONT, TOPROW, TEXTORIENT_C,
};

constexpr wu_cat_method lbxmethod[12] = {
    method(WU_M_DELETE, "_delete", 700, qev_cat_delrows_parms),
    method(WU_M_DELETEALL, "_deleteAll", 701),
    method(WU_M_ADD, "_add", 702, add),
    method(WU_M_UPDATEROWS, "_updateRows", 741, updaterows),
    method(WU_M_SELECTALL, "_selectAll", 723),
    method(WU_M_DESELECTALL, "_deselectAll", 732),
    method(WU_M_DESELECT, "_deselect", 733, qev_cat_deselect_parms),
    method(WU_M_ISSELECTED, "_isSelected", 734, qev_cat_isselected_parms),
    method(WU_M_GETITEM, "_getItem", 743, getitem),
    method(WU_M_FINDEXACT, "_findExact", 705, find),
    method(WU_M_FIND, "_find", 704, find),
    SHOWPOPUP,
};

constexpr wu_cat_event lbxevent[3] = {
    method(WU_EV_SELECT, "click", 504, ev_click),
    EV_POPUP,
    method(WU_EV_DOUBLECLICK, "doubleClick", 510, ev_row),
};

}  // extern "C"
