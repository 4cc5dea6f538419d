/*
 * XdMCIconList: rows across several columns, each column with a header
 * button, a resize handle and a list below.  The first column is an
 * XdIconList holding the icons, ids and selection; the others are XmLists
 * showing text for the same rows.  One vertical scroll bar moves all
 * columns; clicking a sortable header sorts the rows on that column (again
 * reverses them); letters typed into the list jump to the next matching
 * row; Delete and BackSpace are reported on "deleteNodeCallback".
 */
#ifndef XD_MCICONLIST_H
#define XD_MCICONLIST_H

#include "xd/IconList.h"
#include "qev/status.h" /* WU_OK, WU_NOTAVAIL of XdMCIconListUpdateItems */

#ifdef __cplusplus
extern "C" {
#endif

extern WidgetClass xdMCIconListWidgetClass;
typedef struct _XdMCIconListClassRec *XdMCIconListWidgetClass;
typedef struct _XdMCIconListRec *XdMCIconListWidget;

#ifndef XdIsMCIconList
#define XdIsMCIconList(w) XtIsSubclass((w), xdMCIconListWidgetClass)
#endif

/* Resources besides those of XdIconList ("stringItems" here takes one
   XmString array per column).  A resource file gives "columnCount" as a
   whole number and "stringItems" as one list of texts per column, the
   texts separated by commas and the columns by semicolons:
   "*files.stringItems: a.txt,b.txt;12,40" (a shorter column gets empty
   texts).  Columns a resource file's count makes show the texts a resource
   file gives; the program's rows (XdMCIconListAddItems and the like) go
   only to columns the program made, by "columnCount" among the creation
   arguments or XdMCIconListAddColumn, whose first call replaces the
   columns of a resource file. */
#define XdRStringItems ((char *)"StringItems")
#define XdNcolumnWidth ((char *)"columnWidth")
#define XdCColumnWidth ((char *)"ColumnWidth")
#define XdNhandleWidth ((char *)"handleWidth")
#define XdCHandleWidth ((char *)"HandleWidth")
#define XdNresizeCursor ((char *)"resizeCursor")
#define XdCResizeCursor ((char *)"resizeCursor")
#define XdNcolumnCount ((char *)"columnCount")
#define XdCColumnCount ((char *)"ColumnCount")
#define XdRColumnCount ((char *)"ColumnCount")
#define XdNheaderCallback ((char *)"headerCallback")
#define XdNdeleteNodeCallback ((char *)"deleteNodeCallback")
#define XdNheaderColor ((char *)"headerColor")
#define XdCHeaderColor ((char *)"HeaderColor")
#define XdNviewType ((char *)"viewType")
#define XdCViewType ((char *)"ViewType")

/* View types: every column under its header, or the first column only. */
#define XdVIEW_COLUMNS 0
#define XdVIEW_FIRST_ONLY 1
#define XdVIEW_FIRST_FOLLOWS 2 /* first column only, visible count of the others */

/* Children for XdMCIconListGetChild. */
#define XdMCIL_HEADER 0
#define XdMCIL_HANDLE 1
#define XdMCIL_LIST 2
#define XdMCIL_COLUMNS_AREA 3
#define XdMCIL_HSCROLLBAR 4
#define XdMCIL_VSCROLLBAR 5

/* Key of a column's text for sorting (text and its length). */
typedef double (*XdMCIconListKeyProc)(char *text, int length);

/* Call data of "postMenuCallback" (reasons XdCR_POST_MENU and
   XdCR_BUTTON_PRESS). */
typedef struct {
  int reason;
  XEvent *event;
  int column;         /* 1-based, 0 when not known */
  int spare;
  int selected_count;
  int *selected;      /* selected positions, valid during the call */
  unsigned char selection_policy;
} XdMCIconListMenuCallbackStruct;

/* "Unchanged" markers of XdMCIconListSetColumn. */
#define XdCOLUMN_WIDTH_UNCHANGED (-1)
#define XdCOLUMN_DATA_UNCHANGED (-1)
#define XdCOLUMN_KEY_UNCHANGED ((XdMCIconListKeyProc)-1)

Widget XdCreateMCIconList(Widget parent, char *name, ArgList args, Cardinal num_args);

void XdMCIconListAddColumn(Widget w, XmString label, int width, int position, int32_t data,
                           int32_t sortable, XdMCIconListKeyProc key);
int XdMCIconListDeleteColumn(Widget w, int column);
/* Column numbers of Get/SetColumn and GetChild are 0-based; the label
   given back is a copy the caller frees with XmStringFree. */
void XdMCIconListGetColumn(Widget w, int column, int *width, XmString *label, int32_t *data,
                           int32_t *sortable, XdMCIconListKeyProc *key);
void XdMCIconListSetColumn(Widget w, int column, int width, XmString label, int32_t data,
                           int32_t sortable, XdMCIconListKeyProc key);
void XdMCIconListSetResizeCursor(Widget w, Cursor cursor);
Widget XdMCIconListGetChild(Widget w, int column, int child);
void XdMCIconListSortOnColumn(Widget w, int column);

void XdMCIconListAddItem(Widget w, Pixmap icon, XmString *strings, int32_t id, int position);
void XdMCIconListAddItems(Widget w, Pixmap *icons, XmString **strings, int32_t *ids, int count,
                          int position);
/* WU_OK, or WU_NOTAVAIL when a position was out of range (the others are
   updated all the same). */
int32_t XdMCIconListUpdateItems(Widget w, Pixmap *icons, XmString **strings, int32_t *ids,
                                int count, int *positions);
/* The column count and an array (freed by the caller with XtFree) of the
   row's strings as the lists hold them (not copies); 0 for a row (0-based)
   out of range. */
int XdMCIconListGetRowString(Widget w, int row, XmString **strings);
void XdMCIconListDeletePos(Widget w, int position);
void XdMCIconListDeletePositions(Widget w, int *positions, int count);
void XdMCIconListDeleteAllItems(Widget w);

Boolean XdMCIconListGetSelectedPos(Widget w, int **positions, int *count);
void XdMCIconListSelectPos(Widget w, int position, Boolean notify);
int XdMCIconListSelectPositions(Widget w, int count, int *positions, Boolean notify);
int XdMCIconListSelectAll(Widget w);
void XdMCIconListDeselectAll(Widget w);
int XdMCIconListDeselectPos(Widget w, int position);
void XdMCIconListGetTopItemPos(Widget w, int *position);
void XdMCIconListSetTopItemPos(Widget w, int position);
void XdMCIconListSetLastSelected(Widget w, int position);
int32_t XdMCIconListGetId(Widget w, int position);
Pixmap XdMCIconListGetIcon(Widget w, int position);
void XdMCIconListSetFocus(Widget w);
void XdMCIconListOverrideUserData(Widget w, XtPointer record);

#ifdef __cplusplus
}
#endif

#endif /* XD_MCICONLIST_H */
