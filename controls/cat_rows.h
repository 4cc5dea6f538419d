/*
 * Builders of catalogue rows, used by the per-kind table files.  Every
 * builder is constexpr, so the tables are constant-initialised data with no
 * code run at load time; name and description lengths come from the string
 * literals themselves (the NUL excluded).
 */
#ifndef QEV_CONTROLS_CAT_ROWS_H
#define QEV_CONTROLS_CAT_ROWS_H

#include <stddef.h>

#include "qev/catalog.h"

/* Parameters of the `preVirtualKey` event of the text kinds (defined with
   the shared rows; not exported). */
extern "C" __attribute__((visibility("hidden")))
const wu_cat_parm qev_cat_vkey_parms[3];
/* Parameter of `_setCursorPosition` (entry field and combo box). */
extern "C" __attribute__((visibility("hidden")))
const wu_cat_parm qev_cat_cursor_parms[1];
/* Row parameters that the list view and the list box share. */
extern "C" __attribute__((visibility("hidden")))
const wu_cat_parm qev_cat_delrows_parms[2];     /* _deleteRows, _delete */
extern "C" __attribute__((visibility("hidden")))
const wu_cat_parm qev_cat_deselect_parms[1];    /* _deselect */
extern "C" __attribute__((visibility("hidden")))
const wu_cat_parm qev_cat_isselected_parms[2];  /* _isSelected */

namespace qevcat {

constexpr wu_cat_msgkey key(int32_t number) {
  return {WU_CAT_MSGSET, number, {0, 0}};
}

template <size_t N>
constexpr int32_t len(const char (&)[N]) { return static_cast<int32_t>(N - 1); }

/* Attribute without named values. */
template <size_t N>
constexpr wu_cat_attr attr(int32_t code, const char (&name)[N], int32_t vtype,
                           char access, int32_t msg) {
  return {key(msg), code, vtype, access, name, len(name), nullptr, 0};
}

/* Attribute whose values are named by an enumeration table. */
template <size_t N, size_t E>
constexpr wu_cat_attr attr(int32_t code, const char (&name)[N], int32_t vtype,
                           char access, int32_t msg, const wu_cat_enum (&e)[E]) {
  return {key(msg), code, vtype, access, name, len(name), e,
          static_cast<int32_t>(E)};
}

constexpr wu_cat_enum value(int32_t v, int32_t msg) { return {key(msg), v}; }

template <size_t N, size_t D>
constexpr wu_cat_parm parm(char dir, int32_t vtype, const char (&name)[N],
                           const char (&desc)[D]) {
  return {dir, vtype, name, len(name), desc, len(desc)};
}

/* A parameter without name or description: both are empty strings, so a
   reader that takes them as NUL-terminated texts is safe too. */
constexpr wu_cat_parm parm(char dir, int32_t vtype) {
  return {dir, vtype, "", 0, "", 0};
}

/* The result row embedded in every method and event row. */
constexpr wu_cat_parm result() {
  return {WU_CAT_OUT, WU_VT_INT, nullptr, 0, nullptr, 0};
}

/* Method or event row without parameters. */
template <size_t N>
constexpr wu_cat_method method(int32_t code, const char (&name)[N], int32_t msg) {
  return {key(msg), code, nullptr, 0, result(), name, len(name)};
}

/* Method or event row with its parameter table. */
template <size_t N, size_t P>
constexpr wu_cat_method method(int32_t code, const char (&name)[N], int32_t msg,
                               const wu_cat_parm (&parms)[P]) {
  return {key(msg), code, parms, static_cast<int32_t>(P), result(), name,
          len(name)};
}

/* Rows that several kinds share word for word. */

/* Attributes every kind has. */
constexpr wu_cat_attr CLASSTYPE = attr(WU_A_CLASSTYPE, "controlClassType", WU_VT_INT, WU_CAT_GET, 101);
constexpr wu_cat_attr HPOS = attr(WU_A_HPOS, "horizontalPosition", WU_VT_INT, WU_CAT_SET, 102);
constexpr wu_cat_attr VPOS = attr(WU_A_VPOS, "verticalPosition", WU_VT_INT, WU_CAT_SET, 103);
constexpr wu_cat_attr WIDTH = attr(WU_A_WIDTH, "width", WU_VT_INT, WU_CAT_SET, 104);
constexpr wu_cat_attr HEIGHT = attr(WU_A_HEIGHT, "height", WU_VT_INT, WU_CAT_SET, 105);
constexpr wu_cat_attr USERDATA = attr(WU_A_USERDATA, "userData", WU_VT_WORD, WU_CAT_SET, 108);
constexpr wu_cat_attr VISIBLE = attr(WU_A_VISIBLE, "visible", WU_VT_BOOL, WU_CAT_SET, 109, boolenum);
constexpr wu_cat_attr ENABLED = attr(WU_A_ENABLED, "enabled", WU_VT_BOOL, WU_CAT_SET, 110, boolenum);
/* Every kind but the label. */
constexpr wu_cat_attr EVENTS = attr(WU_A_EVENTS, "events", WU_VT_INTLIST, WU_CAT_SET, 158);

/* Attributes of many kinds. */
constexpr wu_cat_attr TOOLTIP = attr(WU_A_TOOLTIP, "toolTipText", WU_VT_STRING, WU_CAT_SET, 111);
constexpr wu_cat_attr HELPTEXT = attr(WU_A_HELPTEXT, "helpText", WU_VT_STRING, WU_CAT_SET, 155);
constexpr wu_cat_attr TEXTCOLOR = attr(WU_A_FOREGROUND, "textColor", WU_VT_WORD, WU_CAT_SET, 112);
constexpr wu_cat_attr LABELCOLOR = attr(WU_A_FOREGROUND, "labelColor", WU_VT_WORD, WU_CAT_SET, 112);
constexpr wu_cat_attr BACKGROUND = attr(WU_A_BACKGROUND, "backgroundColor", WU_VT_WORD, WU_CAT_SET, 206);
constexpr wu_cat_attr MINCHAR = attr(WU_A_MINCHAR, "minimumChar", WU_VT_INT, WU_CAT_SET, 113);
constexpr wu_cat_attr MAXCHARS = attr(WU_A_MAXCHARS, "maximumCharacters", WU_VT_INT, WU_CAT_SET, 114);
constexpr wu_cat_attr ERRORON = attr(WU_A_ERRORON, "errorOn", WU_VT_BOOL, WU_CAT_SET, 115, boolenum);
constexpr wu_cat_attr EDITABLE = attr(WU_A_EDITABLE, "editable", WU_VT_BOOL, WU_CAT_SET, 125, boolenum);
constexpr wu_cat_attr BORDERSTYLE = attr(WU_A_BORDERSTYLE, "borderStyle", WU_VT_BOOL, WU_CAT_CREATE, 126);
constexpr wu_cat_attr FONT = attr(WU_A_FONT, "font", WU_VT_FONT, WU_CAT_SET, 153);
constexpr wu_cat_attr CONFORMSIZE = attr(WU_A_CONFORMSIZE, "conformSize", WU_VT_BOOL, WU_CAT_SET, 195, boolenum);
constexpr wu_cat_attr CURSORPOS = attr(WU_A_CURSORPOS, "cursorPosition", WU_VT_INT, WU_CAT_SET, 204);
constexpr wu_cat_attr VIRTUALKEYS = attr(WU_A_VIRTUALKEYS, "virtualKeys", WU_VT_INTLIST, WU_CAT_SET, 209);
constexpr wu_cat_attr TEXTORIENT = attr(WU_A_TEXTORIENT, "textOrientation", WU_VT_BOOL, WU_CAT_SET, 210, rtlenum);
constexpr wu_cat_attr TEXTORIENT_C = attr(WU_A_TEXTORIENT, "textOrientation", WU_VT_BOOL, WU_CAT_CREATE, 210, rtlenum);
constexpr wu_cat_attr JUSTIFY_C = attr(WU_A_JUSTIFICATION, "justification", WU_VT_INT, WU_CAT_CREATE, 118, justenum);
constexpr wu_cat_attr ITEMS = attr(WU_A_ITEMS, "items", WU_VT_STRLIST, WU_CAT_SET, 123);
constexpr wu_cat_attr SELINDEX = attr(WU_A_SELECTEDINDEX, "selectedIndex", WU_VT_INT, WU_CAT_SET, 124);
constexpr wu_cat_attr LABEL = attr(WU_A_TEXT, "label", WU_VT_STRING, WU_CAT_SET, 106);
constexpr wu_cat_attr TEXT = attr(WU_A_TEXT, "text", WU_VT_STRING, WU_CAT_SET, 106);
constexpr wu_cat_attr TOPROW = attr(WU_A_TOPROW, "topRow", WU_VT_INT, WU_CAT_SET, 127);
constexpr wu_cat_attr MINROWS = attr(WU_A_MINROWS, "minimumRows", WU_VT_INT, WU_CAT_SET, 117);
constexpr wu_cat_attr TITLE = attr(WU_A_TITLE, "title", WU_VT_STRING, WU_CAT_SET, 161);
constexpr wu_cat_attr TITLEHEIGHT = attr(WU_A_TITLEHEIGHT, "titleHeight", WU_VT_INT, WU_CAT_GET, 162);
constexpr wu_cat_attr ROWS = attr(WU_A_ROWS, "rows", WU_VT_INT, WU_CAT_GET, 144);
constexpr wu_cat_attr SELCOUNT = attr(WU_A_SELECTEDCOUNT, "selectedCount", WU_VT_INT, WU_CAT_GET, 164);
constexpr wu_cat_attr SELINDEXES = attr(WU_A_SELECTEDINDEXES, "selectedIndexes", WU_VT_INTLIST, WU_CAT_SET, 146);
constexpr wu_cat_attr KEYCOMMANDS = attr(WU_A_KEYCOMMANDS, "keystrokeCommands", WU_VT_FLAGLIST, WU_CAT_SET, 165);
constexpr wu_cat_attr ORIENT_C = attr(WU_A_ORIENTATION, "orientation", WU_VT_INT, WU_CAT_CREATE, 152, orientenum);
constexpr wu_cat_attr ICON = attr(WU_A_ICON, "icon", WU_VT_INT, WU_CAT_SET, 163);
constexpr wu_cat_attr ICONSTYLE = attr(WU_A_ICONSTYLE, "iconStyle", WU_VT_BOOL, WU_CAT_SET, 181, iconenum);

/* The `_showPopup` method as nearly every kind lists it. */
constexpr wu_cat_method SHOWPOPUP = method(WU_M_SHOWPOPUP, "_showPopup", 730, pstmenu);
constexpr wu_cat_method SETCURSORPOS =
    method(WU_M_SETCURSORPOS, "_setCursorPosition", 731, qev_cat_cursor_parms);

/* Events of several kinds. */
constexpr wu_cat_method EV_KEY = method(WU_EV_KEY, "key", 500);
constexpr wu_cat_method EV_RETURNKEY = method(WU_EV_RETURNKEY, "returnKey", 501);
constexpr wu_cat_method EV_POPUP = method(WU_EV_POPUP, "popup", 507);
constexpr wu_cat_method EV_DOUBLECLICK = method(WU_EV_DOUBLECLICK, "doubleClick", 510);
constexpr wu_cat_method EV_CONFORMSIZE = method(WU_EV_CONFORMSIZE, "conformSize", 519);
constexpr wu_cat_method EV_CLICK_TEXT = method(WU_EV_CLICK, "click", 520);
constexpr wu_cat_method EV_PREVKEY = method(WU_EV_PREVIRTUALKEY, "preVirtualKey", 521, qev_cat_vkey_parms);
constexpr wu_cat_method EV_VALUECHANGED = method(WU_EV_VALUECHANGED, "valueChanged", 523);
constexpr wu_cat_method EV_CLICK = method(WU_EV_SELECT, "click", 504);

}  // namespace qevcat

#endif /* QEV_CONTROLS_CAT_ROWS_H */
