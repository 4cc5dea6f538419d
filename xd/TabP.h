/*
 * XdTab private declarations: class and instance records.
 */
#ifndef XD_TABP_H
#define XD_TABP_H

#include "xd/Tab.h"

#include <Xm/BulletinBP.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct {
  XtPointer extension;
} XdTabClassPart;

typedef struct _XdTabClassRec {
  CoreClassPart core_class;
  CompositeClassPart composite_class;
  ConstraintClassPart constraint_class;
  XmManagerClassPart manager_class;
  XmBulletinBoardClassPart bulletin_board_class;
  XdTabClassPart tab_class;
} XdTabClassRec;

extern XdTabClassRec xdTabClassRec;

typedef struct {
  int page_count;
  int current_page; /* 0-based index; the "currentPage" resource */
  Dimension shadow_thickness;
  int16_t tab_spacing;
  int16_t tab_margin;
  XmFontList font_list;
  XtCallbackList page_callback;
  Widget tab_area;     /* "TabDA", covering the whole widget */
  WidgetList buttons;  /* "Title" per page, in page order */
  WidgetList pages;    /* "Page" per page */
  Boolean shadows_taken;

  /* The outline segments, reused from one drawing to the next. */
  XSegment *segments;
  int segment_slots;
  Boolean stacked; /* the current page was raised since realization */
  /* The program (or a resource file) gave the width, the height: a size
     not given is the one that shows the tab row and the largest page. */
  Boolean width_given, height_given;
  Boolean pages_sized; /* the pages have the widget's size */
  XtIntervalId fit_timer; /* fits the widget to pages that asked for room */
} XdTabPart;

typedef struct _XdTabRec {
  CorePart core;
  CompositePart composite;
  ConstraintPart constraint;
  XmManagerPart manager;
  XmBulletinBoardPart bulletin_board;
  XdTabPart tab;
} XdTabRec;

/* Removes a page (1-based) with its tab; the current page stays current
   when another page goes, else its neighbour becomes current. */
void _XdTabDeletePage(Widget w, int page);

#ifdef __cplusplus
}
#endif

#endif /* XD_TABP_H */
