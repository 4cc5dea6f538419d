/*
 * The catalogue rows shared by all control kinds: the type table, the
 * parameters of `_showPopup`, the enumerations of attribute values, and the
 * look-up of a kind's tables and default size by type code.
 */
#include "controls/cat_rows.h"

using namespace qevcat;

namespace {

constexpr wu_cat_type type_row(int32_t type, int32_t msg) {
  return {type, key(msg), 1, {0, 0, 0, 0}};
}

}  // namespace

extern "C" {

constexpr wu_cat_type controls[WU_CAT_TYPE_ROWS] = {
    type_row(WU_CTYPE_MULTILINE, 1),
    type_row(WU_CTYPE_ENTRY, 2),
    type_row(WU_CTYPE_LABEL, 3),
    type_row(WU_CTYPE_COMBO, 4),
    type_row(WU_CTYPE_LISTVIEW, 5),
    type_row(WU_CTYPE_SPIN, 6),
    type_row(WU_CTYPE_TREEVIEW, 7),
    type_row(WU_CTYPE_PUSH, 8),
    type_row(WU_CTYPE_SCROLL, 9),
    type_row(WU_CTYPE_CHECK, 10),
    type_row(WU_CTYPE_LISTBOX, 11),
    type_row(WU_CTYPE_RADIO, 12),
    type_row(WU_CTYPE_DESKICON, 13),
    type_row(WU_CTYPE_PROGRESS, 14),
    type_row(WU_CTYPE_HOST_1, 20),
    type_row(WU_CTYPE_HOST_2, 21),
    type_row(WU_CTYPE_HOST_3, 22),
    type_row(WU_CTYPE_HOST_5, 23),
    type_row(WU_CTYPE_HOST_6, 24),
};

constexpr wu_cat_parm pstmenu[WU_CAT_POPUP_PARMS] = {
    parm(WU_CAT_IN, WU_VT_STRLIST, "menuItems",
         "Specifies the items to display in a popup menu"),
    parm(WU_CAT_IN, WU_VT_INTLIST, "itemSensitivity",
         "Specifies the items in the popup menu that are grayed or unavailable"),
    parm(WU_CAT_IN, WU_VT_INTLIST, "classifier",
         "Specifies the items classifier"),
    parm(WU_CAT_IN, WU_VT_STRLIST, "helpText",
         "Specifies the text that will be displayed on the status line."),
    parm(WU_CAT_IN, WU_VT_FLAGLIST, "mnemonics",
         "Specifies the mnemonics for popup menu items (host dependent)"),
    parm(WU_CAT_OUT, WU_VT_INT, "selectedItem",
         "Specifies the index of the selected popup menu item"),
};

constexpr wu_cat_parm qev_cat_vkey_parms[3] = {
    parm(WU_CAT_IN, WU_VT_INT, "virtualKeyCode",
         "Specifies virtual key that was pressed"),
    parm(WU_CAT_IN, WU_VT_INT, "virtualKeyCodeModifiers",
         "Specifies any modifiers of virtual key"),
    parm(WU_CAT_IN, WU_VT_INT, "repeatCount",
         "Specifies number key presses event represents"),
};

constexpr wu_cat_parm qev_cat_cursor_parms[1] = {
    parm(WU_CAT_IN, WU_VT_INT, "cursorPosition",
         "Specifies the location to place the cursor"),
};

constexpr wu_cat_parm qev_cat_delrows_parms[2] = {
    parm(WU_CAT_IN, WU_VT_INT, "startRow", "Specifies the first row to delete"),
    parm(WU_CAT_IN, WU_VT_INT, "count", "Specifies the number of rows to delete"),
};

constexpr wu_cat_parm qev_cat_deselect_parms[1] = {
    parm(WU_CAT_IN, WU_VT_INTLIST, "rows",
         "Specifies an VRQ list containing the rows to deselect"),
};

constexpr wu_cat_parm qev_cat_isselected_parms[2] = {
    parm(WU_CAT_IN, WU_VT_INT, "row", "Specifies the row to check"),
    parm(WU_CAT_OUT, WU_VT_INT, "selected",
         "Returns the selection status of the specified row"),
};

constexpr wu_cat_enum boolenum[2] = {value(0, 920), value(1, 919)};
constexpr wu_cat_enum comboenum[2] = {value(0, 922), value(1, 921)};
constexpr wu_cat_enum justenum[3] = {value(0, 900), value(1, 902), value(2, 901)};
constexpr wu_cat_enum viewenum[4] = {value(0, 917), value(1, 918), value(2, 915),
                                     value(3, 916)};
constexpr wu_cat_enum iconenum[2] = {value(0, 917), value(1, 918)};
constexpr wu_cat_enum styleenum[2] = {value(0, 923), value(1, 924)};
constexpr wu_cat_enum orientenum[2] = {value(0, 903), value(1, 904)};
constexpr wu_cat_enum pshenum[4] = {value(0, 908), value(1, 909), value(2, 910),
                                    value(3, 911)};
constexpr wu_cat_enum deskenum[2] = {value(0, 910), value(1, 911)};
constexpr wu_cat_enum selenum[3] = {value(0, 905), value(1, 906), value(2, 907)};
constexpr wu_cat_enum tselenum[2] = {value(0, 905), value(1, 906)};
constexpr wu_cat_enum rtlenum[2] = {value(0, 926), value(1, 925)};

}  // extern "C"

namespace {

template <size_t A, size_t M, size_t E>
constexpr wu_cat_kind kind(int32_t type, const wu_cat_attr (&a)[A],
                           const wu_cat_method (&m)[M], const wu_cat_event (&e)[E]) {
  return {&controls[type], a, static_cast<int32_t>(A), m, static_cast<int32_t>(M),
          e, static_cast<int32_t>(E)};
}

/* Indexed by type code. */
constexpr wu_cat_kind kinds[WU_CTYPE_KINDS] = {
    kind(WU_CTYPE_MULTILINE, mefattrs, mefmethod, mefevent),
    kind(WU_CTYPE_ENTRY, efdattrs, efdmethod, efdevent),
    kind(WU_CTYPE_LABEL, lblattrs, lblmethod, lblevent),
    kind(WU_CTYPE_COMBO, cmbattrs, cmbmethod, cmbevent),
    kind(WU_CTYPE_LISTVIEW, lsvattrs, lsvmethod, lsvevent),
    kind(WU_CTYPE_SPIN, spnattrs, spnmethod, spnevent),
    kind(WU_CTYPE_TREEVIEW, trvattrs, trvmethod, trvevent),
    kind(WU_CTYPE_PUSH, pbattrs, pbnmethod, pbevent),
    kind(WU_CTYPE_SCROLL, sclattrs, sclmethod, sclevent),
    kind(WU_CTYPE_CHECK, cbattrs, cbmethod, cbxevent),
    kind(WU_CTYPE_LISTBOX, lbxattrs, lbxmethod, lbxevent),
    kind(WU_CTYPE_RADIO, rbxattrs, rbxmethod, rbxevent),
    kind(WU_CTYPE_DESKICON, dtiattrs, dtimethod, dtievent),
    kind(WU_CTYPE_PROGRESS, pbarattrs, pbarmethod, pbarevent),
};

/* Default sizes: width = wcw * cw + wpx; height = hcw * cw + hfh * fh + hpx.
   The scroll bar and progress bar are 21 cw long and 14 pixels thick. */
struct default_size {
  int32_t wcw, wpx, hcw, hfh, hpx;
};
constexpr int32_t DEF_CHARS = 21;       /* width (and square height) in characters */
constexpr int32_t DEF_TEXT_PAD = 4;     /* pixels above the font height of one-line kinds */
constexpr int32_t BAR_THICKNESS = 14;   /* pixels across a scroll or progress bar */
constexpr int32_t ICON_SIZE = 48;       /* desktop icon, both ways */
constexpr default_size ONE_LINE = {DEF_CHARS, 0, 0, 1, DEF_TEXT_PAD};
constexpr default_size SQUARE = {DEF_CHARS, 0, DEF_CHARS, 0, 0};
constexpr default_size BAR = {DEF_CHARS, 0, 0, 0, BAR_THICKNESS};
constexpr default_size sizes[WU_CTYPE_KINDS] = {
    SQUARE,                          /* multi-line entry */
    ONE_LINE,                        /* entry field */
    ONE_LINE,                        /* label */
    ONE_LINE,                        /* combo box */
    SQUARE,                          /* list view */
    ONE_LINE,                        /* spin box */
    SQUARE,                          /* tree view */
    {12, DEF_TEXT_PAD, 0, 1, DEF_TEXT_PAD},  /* push button */
    BAR,                             /* scroll bar */
    ONE_LINE,                        /* check box */
    SQUARE,                          /* list box */
    {DEF_CHARS, 0, 0, 2, 24},        /* radio box: two lines and the frame */
    {0, ICON_SIZE, 0, 0, ICON_SIZE}, /* desktop icon */
    BAR,                             /* progress bar */
};

bool valid_kind(int32_t type) { return type >= 0 && type < WU_CTYPE_KINDS; }

}  // namespace

extern "C" const wu_cat_kind *wu_cat_kind_for_type(int32_t type) {
  return valid_kind(type) ? &kinds[type] : nullptr;
}

extern "C" wu_status wu_cat_default_size(int32_t type, int32_t cw, int32_t fh,
                                         int32_t vertical, int32_t *width,
                                         int32_t *height) {
  if (!valid_kind(type) || !width || !height) return WU_NOTAVAIL;
  const default_size &s = sizes[type];
  int32_t w = s.wcw * cw + s.wpx;
  int32_t h = s.hcw * cw + s.hfh * fh + s.hpx;
  const bool bar = type == WU_CTYPE_SCROLL || type == WU_CTYPE_PROGRESS;
  if (bar && vertical) {
    *width = h;
    *height = w;
  } else {
    *width = w;
    *height = h;
  }
  return WU_OK;
}
