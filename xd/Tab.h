/*
 * XdTab: a row of tab buttons above a stack of pages.  Pressing a tab
 * (a click, or Space or Return on it) raises its page and calls the
 * "pageCallback" list; the keyboard's Tab goes through the tabs and on
 * into the current page without changing it.  Each page is an XmForm
 * that the owner fills.  Page numbers are 1-based; the "currentPage"
 * resource holds the 0-based index of the current page.  A tab given no
 * width or height takes (and answers a geometry query with) the size that
 * shows its row of tabs and its largest page.
 */
#ifndef XD_TAB_H
#define XD_TAB_H

#include <Xm/Xm.h>

#ifdef __cplusplus
extern "C" {
#endif

extern WidgetClass xdTabWidgetClass;
typedef struct _XdTabClassRec *XdTabWidgetClass;
typedef struct _XdTabRec *XdTabWidget;

#ifndef XdIsTab
#define XdIsTab(w) XtIsSubclass((w), xdTabWidgetClass)
#endif

/* Resources besides Motif's "shadowThickness" and "fontList". */
#define XdNcurrentPage ((char *)"currentPage")
#define XdCCurrentPage ((char *)"CurrentPage")
#define XdNpageCallback ((char *)"pageCallback")

/* Children for XdTabGetChild. */
#define XdTAB_BUTTON 0 /* the page's tab button */
#define XdTAB_NONE 1   /* always NULL */
#define XdTAB_PAGE 2   /* the page's form (any other value too) */

/* Call data of "pageCallback": reason XmCR_ACTIVATE, no event, the page
   made current (1-based). */
typedef struct {
  int reason;
  XEvent *event;
  int page;
} XdTabCallbackStruct;

Widget XdCreateTab(Widget parent, char *name, ArgList args, Cardinal num_args);

/* Adds a tab labelled `label` (may be NULL) and its page at `position`
   (1 .. count + 1; 0 = after the last page); the current page stays
   current.  The page's form, or NULL (after a warning) for a widget that
   is not an XdTab or a position out of range. */
Widget XdTabAddPage(Widget w, XmString label, int position);

/* Makes `page` current (shown on top); with `notify` the "pageCallback"
   list and the page's "mapCallback" list are called.  Pages outside
   1 .. count are ignored. */
void XdTabSetCurrentPage(Widget w, int page, Boolean notify);

/* A page's tab button (XdTAB_BUTTON) or form; NULL for XdTAB_NONE and for
   pages outside 1 .. count. */
Widget XdTabGetChild(Widget w, int child, int page);

#ifdef __cplusplus
}
#endif

#endif /* XD_TAB_H */
