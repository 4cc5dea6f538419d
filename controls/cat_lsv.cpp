/* Catalogue tables of the list view (control type 4). */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

#define LSV_ROW_DATA                                                                 \
  parm(WU_CAT_IN, WU_VT_INTLIST, "icons", "Specifies an VRQ list containing the icons to insert"), \
  parm(WU_CAT_IN, WU_VT_STRTABLE, "items", "Specifies an VRQ list containing the items to insert"), \
  parm(WU_CAT_IN, WU_VT_IDLIST, "ids", "Specifies an VRQ list containing corresponding ids"), \
  parm(WU_CAT_IN, WU_VT_FLAGLIST, "editable",                                      \
       "Specifies an VRQ list containing whether the item is editable")
constexpr wu_cat_parm addrows[] = {
    parm(WU_CAT_IN, WU_VT_INT, "insertRow",
         "Specifies the insertion row; the new row is inserted before this row"),
    LSV_ROW_DATA,
};
constexpr wu_cat_parm updaterows[] = {
    parm(WU_CAT_IN, WU_VT_INTLIST, "Rows", "Specifies the rows to update"),
    LSV_ROW_DATA,
};
#undef LSV_ROW_DATA

constexpr wu_cat_parm addcolumn[] = {
    parm(WU_CAT_IN, WU_VT_INT, "insertColumn",
         "Specifies the insertion column; the new column is inserted before this column"),
    parm(WU_CAT_IN, WU_VT_INT, "width", "Specifies the width of the new column"),
    parm(WU_CAT_IN, WU_VT_STRING, "name", "Specifies the name of the new column"),
    parm(WU_CAT_IN, WU_VT_INT, "justification", "Specifies the justification of the new column"),
    parm(WU_CAT_IN, WU_VT_BOOL, "sortable", "Specifies whether the column is sortable"),
    parm(WU_CAT_IN, WU_VT_FUNCTION, "format", "Specifies the function (if any) used in sorting"),
};
constexpr wu_cat_parm delcolumn[] = {
    parm(WU_CAT_IN, WU_VT_INT, "column", "Specifies the column to delete"),
};
constexpr wu_cat_parm getitem[] = {
    parm(WU_CAT_IN, WU_VT_INT, "row", "Specifies the row to retrieve the column text from"),
    parm(WU_CAT_OUT, WU_VT_INT, "icon", "Returns the row's icon"),
    parm(WU_CAT_OUT, WU_VT_STRLIST, "columnText", "Returns each column's text for the specified row"),
    parm(WU_CAT_OUT, WU_VT_WORD, "id", "Returns the row's id"),
    parm(WU_CAT_OUT, WU_VT_BOOL, "editable", "Returns whether the item is editable"),
};
constexpr wu_cat_parm find[] = {
    parm(WU_CAT_INOUT, WU_VT_INT, "row",
         "Specifies the starting row of the search and the resulting found row"),
    parm(WU_CAT_IN, WU_VT_INT, "column", "Specifies the column to search"),
    parm(WU_CAT_IN, WU_VT_STRING, "text", "Specifies the text string to search for"),
};
constexpr wu_cat_parm getcolumn[] = {
    parm(WU_CAT_IN, WU_VT_INT, "column", "Specifies which column to query"),
    parm(WU_CAT_OUT, WU_VT_INT, "width", "Returns the width of the specified column"),
    parm(WU_CAT_OUT, WU_VT_STRING, "name", "Returns the name of the specified column"),
    parm(WU_CAT_OUT, WU_VT_INT, "justification", "Returns the justification of the specified column"),
    parm(WU_CAT_OUT, WU_VT_BOOL, "sortable", "Returns whether the column is sortable"),
    parm(WU_CAT_OUT, WU_VT_FUNCTION, "format", "Returns the function (if any) used in sorting"),
};
constexpr wu_cat_parm setcolumn[] = {
    parm(WU_CAT_IN, WU_VT_INT, "column", "Specifies the column to set attributes for"),
    parm(WU_CAT_IN, WU_VT_INT, "width", "Specifies the new width for the specified column"),
    parm(WU_CAT_IN, WU_VT_STRING, "name", "Specifies the new name for the specified column"),
    parm(WU_CAT_IN, WU_VT_INT, "justification",
         "Specifies the new justification for the specified column"),
    parm(WU_CAT_IN, WU_VT_BOOL, "sortable", "Specifies whether the column is sortable"),
    parm(WU_CAT_IN, WU_VT_FUNCTION, "format", "Specifies the function (if any) used in sorting"),
};
constexpr wu_cat_parm edititem[] = {
    parm(WU_CAT_IN, WU_VT_INT, "pos", "Position of item to edit"),
};

constexpr wu_cat_parm ev_click[] = {parm(WU_CAT_IN, WU_VT_BLOCK)};
constexpr wu_cat_parm ev_row[] = {parm(WU_CAT_IN, WU_VT_WORD)};
constexpr wu_cat_parm ev_column[] = {parm(WU_CAT_IN, WU_VT_INT)};
constexpr wu_cat_parm ev_keycommand[] = {parm(WU_CAT_IN, WU_VT_BOOL), parm(WU_CAT_IN, WU_VT_INT)};
constexpr wu_cat_parm ev_endedit[] = {parm(WU_CAT_IN, WU_VT_WORD), parm(WU_CAT_IN, WU_VT_STRING)};
constexpr wu_cat_parm ev_delete[] = {parm(WU_CAT_IN, WU_VT_NUMBER)};

}  // namespace

extern "C" {

constexpr wu_cat_attr lsvattrs[27] = {
    CLASSTYPE, HPOS, VPOS, WIDTH, HEIGHT, USERDATA, VISIBLE, ENABLED, LABELCOLOR,
    BACKGROUND, EVENTS, MINCHAR, MINROWS, SELINDEXES,
    attr(WU_A_SELECTEDITEMS, "selectedItems", WU_VT_STRTABLE, WU_CAT_GET, 147),
    attr(WU_A_COLUMNS, "columns", WU_VT_INT, WU_CAT_GET, 145),
    attr(WU_A_SELECTIONMODE, "selectionMode", WU_VT_INT, WU_CAT_CREATE, 143, selenum),
    ROWS, TITLE, TITLEHEIGHT, FONT, TOPROW, SELCOUNT, KEYCOMMANDS,
    attr(WU_A_VIEWTYPE, "viewType", WU_VT_INT, WU_CAT_SET, 179, viewenum),
    attr(WU_A_ICONSCOLUMN, "iconsColumn", WU_VT_BOOL, WU_CAT_CREATE, 212, boolenum),
    TEXTORIENT_C,
};

constexpr wu_cat_method lsvmethod[17] = {
    method(WU_M_DELETE, "_deleteRows", 700, qev_cat_delrows_parms),
    method(WU_M_DELETEALL, "_deleteAll", 701),
    method(WU_M_ADD, "_addRows", 702, addrows),
    method(WU_M_UPDATEROWS, "_updateRows", 741, updaterows),
    method(WU_M_ADDCOLUMN, "_addColumn", 721, addcolumn),
    method(WU_M_DELETECOLUMN, "_deleteColumn", 722, delcolumn),
    method(WU_M_SELECTALL, "_selectAll", 723),
    method(WU_M_DESELECTALL, "_deselectAll", 732),
    method(WU_M_DESELECT, "_deselect", 733, qev_cat_deselect_parms),
    method(WU_M_ISSELECTED, "_isSelected", 734, qev_cat_isselected_parms),
    method(WU_M_GETITEM, "_getItem", 743, getitem),
    method(WU_M_FINDEXACT, "_findExact", 705, find),
    method(WU_M_FIND, "_find", 704, find),
    SHOWPOPUP,
    method(WU_M_GETCOLUMN, "_getColumn", 739, getcolumn),
    method(WU_M_SETCOLUMN, "_setColumn", 738, setcolumn),
    method(WU_M_EDITITEM, "_editItem", 751, edititem),
};

constexpr wu_cat_event lsvevent[8] = {
    method(WU_EV_SELECT, "click", 504, ev_click),
    EV_POPUP,
    method(WU_EV_DOUBLECLICK, "doubleClick", 510, ev_row),
    method(WU_EV_COLUMNCLICK, "columnClick", 512, ev_column),
    method(WU_EV_KEYCOMMAND, "keyCommand", 513, ev_keycommand),
    method(WU_EV_BEGINEDIT, "beginEdit", 515, ev_row),
    method(WU_EV_ENDEDIT, "endEdit", 516, ev_endedit),
    method(WU_EV_DELETENODE, "deleteNode", 524, ev_delete),
};

}  // extern "C"
