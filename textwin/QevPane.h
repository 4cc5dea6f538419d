/*
 * QevPane: a character-cell text area.  The pane keeps a grid of cells (a
 * character and its foreground and background pixel each) and draws them
 * with one fixed-pitch font; it also draws a text cursor on one cell.  It is
 * a manager: controls and drawing surfaces (easels) placed at pixel
 * positions live inside it.  Rows and columns are 1-based.
 *
 * Resources besides Motif's manager resources:
 *   paneID           XtPointer  opaque word naming the pane to its owner
 *   paneCallback     callback   button 1 pressed on a cell (XmCR_ACTIVATE)
 *   paneFixedHeight  Dimension  preferred height; 0 leaves the height free
 *   font             XFontStruct* the cell font (the cell size follows it)
 *   cellWidth, cellHeight  Dimension  cell size in pixels; 0 takes the font's
 *   cursorColor      Pixel      colour of the text cursor
 */
#ifndef QEV_TEXTWIN_QEVPANE_H
#define QEV_TEXTWIN_QEVPANE_H

#include <Xm/Xm.h>

#ifdef __cplusplus
extern "C" {
#endif

extern WidgetClass qevPaneWidgetClass;
typedef struct _QevPaneClassRec *QevPaneWidgetClass;
typedef struct _QevPaneRec *QevPaneWidget;

#define QevIsPane(w) XtIsSubclass((w), qevPaneWidgetClass)

#define QevNpaneID ((char *)"paneID")
#define QevCPaneID ((char *)"PaneID")
#define QevNpaneCallback ((char *)"paneCallback")
#define QevNpaneFixedHeight ((char *)"paneFixedHeight")
#define QevCPaneFixedHeight ((char *)"PaneFixedHeight")
#define QevNcellWidth ((char *)"cellWidth")
#define QevNcellHeight ((char *)"cellHeight")
#define QevCCellSize ((char *)"CellSize")
#define QevNcursorColor ((char *)"cursorColor")

/* Call data of paneCallback. */
typedef struct {
  int reason;      /* XmCR_ACTIVATE */
  XEvent *event;
  int row;         /* the cell pressed, 1-based */
  int column;
} QevPaneCallbackStruct;

Widget QevCreatePane(Widget parent, const char *name, ArgList args, Cardinal count);

/* Writes `length` characters at a cell in the given colours and draws them
   when the pane is realised.  Cells outside the pane's grid are dropped. */
void QevPaneDrawText(Widget pane, int row, int column, const char *text, int length,
                     Pixel foreground, Pixel background);
/* Blanks `rows` by `columns` cells from a cell, in the pane's colours. */
void QevPaneErase(Widget pane, int row, int column, int rows, int columns);
/* Reads back up to `size` - 1 characters of a row from a column into
   `buffer` (NUL-terminated); returns the count copied. */
int QevPaneGetText(Widget pane, int row, int column, char *buffer, int size);
/* Places the text cursor on a cell (row 0: no cursor). */
void QevPaneSetCursor(Widget pane, int row, int column);
/* The grid size in cells. */
void QevPaneGetGrid(Widget pane, int *rows, int *columns);

/* The drawing surfaces inside the pane, in the order they were added. */
void QevPaneAddEasel(Widget pane, Widget easel);
void QevPaneRemoveEasel(Widget pane, Widget easel);
/* Count and list of the easels (the list belongs to the pane); -1 and NULL
   when `w` is not a pane. */
int QevPaneGetEasels(Widget w, WidgetList *list);

#ifdef __cplusplus
}
#endif

#endif /* QEV_TEXTWIN_QEVPANE_H */
