/*
 * XdIconList: a single-column list whose rows carry an optional icon at
 * their left, an id word per row, and Motif's list selection policies.
 * The text is an XmList placed beside an icon column, both inside an
 * inset frame, with an optional pair of the widget's own scroll bars
 * (XdCreateScrolledIconList).  Positions are 1-based unless said
 * otherwise; positions out of range are refused, never taken as "last".
 */
#ifndef XD_ICONLIST_H
#define XD_ICONLIST_H

#include <Xm/Xm.h>
#include <Xm/List.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

extern WidgetClass xdIconListWidgetClass;
typedef struct _XdIconListClassRec *XdIconListWidgetClass;
typedef struct _XdIconListRec *XdIconListWidget;

#ifndef XdIsIconList
#define XdIsIconList(w) XtIsSubclass((w), xdIconListWidgetClass)
#endif

/* Resources (the selection callbacks and "selectionPolicy" are Motif's).
   A resource file gives "stringItems" as texts separated by commas, as
   XmList's "items" (with "itemCount"; a count beyond the texts given stops
   at them), and "ids" as whole numbers separated by commas; "iconItems"
   name the program's pixmaps and cannot be given there. */
#define XdNstringItems ((char *)"stringItems")
#define XdCStringItems ((char *)"StringItems")
#define XdRStringTable ((char *)"StringTable")
#define XdNiconItems ((char *)"iconItems")
#define XdCIconItems ((char *)"IconItems")
#define XdRIconItems ((char *)"IconItems")
#define XdNitemCount ((char *)"itemCount")
#define XdCItemCount ((char *)"ItemCount")
#define XdNids ((char *)"ids")
#define XdCIds ((char *)"Ids")
#define XdRIds ((char *)"Ids")
#define XdNiconMarginWidth ((char *)"iconMarginWidth")
#define XdCIconMarginWidth ((char *)"IconMarginWidth")
#define XdNdragCallback ((char *)"dragCallback")
#define XdNpostMenuCallback ((char *)"postMenuCallback")

/* Callback reasons of the widget set besides Motif's list reasons
   (XmCR_SINGLE_SELECT .. XmCR_DEFAULT_ACTION) and XmCR_DRAG. */
#define XdCR_POST_MENU 100 /* menu button: row selected, menu may be posted */
#define XdCR_BUTTON_PRESS 102 /* another button press on the list */

/* Children for XdIconListGetChild. */
#define XdICONLIST_ICONS 0
#define XdICONLIST_LIST 1
#define XdICONLIST_HSCROLLBAR 2
#define XdICONLIST_VSCROLLBAR 3

/* "No change" markers of XdIconListReplaceItems. */
#define XdICON_UNCHANGED ((Pixmap)-1)
#define XdID_UNCHANGED (-1)
#define XdIDS_UNCHANGED ((int32_t *)-1)
/* Answer of XdIconListGetIcon for a position without a row. */
#define XdICON_INVALID ((Pixmap)-1)

Widget XdCreateIconList(Widget parent, char *name, ArgList args, Cardinal num_args);
Widget XdCreateScrolledIconList(Widget parent, char *name, ArgList args, Cardinal num_args);

Widget XdIconListGetChild(Widget w, int child);
void XdIconListAddItem(Widget w, Pixmap icon, XmString string, int32_t id, int position);
void XdIconListAddItems(Widget w, Pixmap *icons, XmString *strings, int32_t *ids, int count,
                        int position);
/* 1 when every position was in range (and its row replaced), 0 otherwise. */
int XdIconListReplaceItems(Widget w, Pixmap *icons, XmString *strings, int32_t *ids, int count,
                           int *positions);
void XdIconListDeleteItem(Widget w, XmString string);
void XdIconListDeletePos(Widget w, int position);
void XdIconListDeletePositions(Widget w, int *positions, int count);
void XdIconListDeleteAllItems(Widget w);
void XdIconListSetItem(Widget w, XmString string);
void XdIconListSetPos(Widget w, int position);
Boolean XdIconListGetSelectedPos(Widget w, int **positions, int *count);
int XdIconListItemPos(Widget w, XmString string);
void XdIconListSelectItem(Widget w, XmString string, Boolean notify);
void XdIconListSelectPos(Widget w, int position, Boolean notify);
int XdIconListVisibleItems(Widget w);
int XdIconListSelectAll(Widget w);
int XdIconListDeselectPos(Widget w, int position);
void XdIconListDeselectAll(Widget w);
/* A copy of the text of the item at 0-based index (free with XmStringFree);
   False and NULL when the index is out of range. */
Boolean XdIconListGetText(Widget w, int index, XmString *string);
void XdIconListSetTopItemPos(Widget w, int position);
void XdIconListGetTopItemPos(Widget w, int *position);
int XdIconListSelectPositions(Widget w, int count, int *positions, Boolean notify);
void XdIconListSetLastSelected(Widget w, int position);
int32_t XdIconListGetId(Widget w, int position);
int32_t XdIconListGetIdFromPos(Widget w, int x, int y);
int XdIconListYToPos(Widget w, int y);
int XdIconListSetFocus(Widget w, int position);
Pixmap XdIconListGetIcon(Widget w, int position);
void XdIconListOverrideUserData(Widget w, XtPointer record);

/* Keyboard procedures of the scrolled variant, also usable directly. */
void XdIconListNormalPrevElement(Widget w, XEvent *event, String *params, Cardinal *num_params);
void XdIconListNormalNextElement(Widget w, XEvent *event, String *params, Cardinal *num_params);
void XdIconListPrevPage(Widget w, XEvent *event, String *params, Cardinal *num_params);
void XdIconListNextPage(Widget w, XEvent *event, String *params, Cardinal *num_params);

#ifdef __cplusplus
}
#endif

#endif /* XD_ICONLIST_H */
