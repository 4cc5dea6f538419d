/* Private definitions of QevPane: class record and instance part. */
#ifndef QEV_TEXTWIN_QEVPANEP_H
#define QEV_TEXTWIN_QEVPANEP_H

#include <Xm/ManagerP.h>

#include "textwin/QevPane.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _QevPaneClassPart {
  XtPointer extension;
} QevPaneClassPart;

typedef struct _QevPaneClassRec {
  CoreClassPart core_class;
  CompositeClassPart composite_class;
  ConstraintClassPart constraint_class;
  XmManagerClassPart manager_class;
  QevPaneClassPart pane_class;
} QevPaneClassRec;

extern QevPaneClassRec qevPaneClassRec;

/* One character cell. */
typedef struct _QevPaneCell {
  char ch;
  Pixel fg;
  Pixel bg;
} QevPaneCell;

typedef struct _QevPanePart {
  /* resources */
  XtPointer pane_id;
  XtCallbackList pane_callback;
  Dimension fixed_height;
  XFontStruct *font;
  Dimension cell_width;
  Dimension cell_height;
  Pixel cursor_color;
  /* private state */
  Dimension cw, ch;          /* cell size in use */
  int ascent;
  int rows, columns;         /* grid size */
  QevPaneCell *cells;        /* rows * columns */
  int cursor_row, cursor_column;
  GC gc;                     /* text drawing; foreground/background set per run */
  WidgetList easels;
  int easel_count, easel_size;
} QevPanePart;

typedef struct _QevPaneRec {
  CorePart core;
  CompositePart composite;
  ConstraintPart constraint;
  XmManagerPart manager;
  QevPanePart pane;
} QevPaneRec;

#ifdef __cplusplus
}
#endif

#endif /* QEV_TEXTWIN_QEVPANEP_H */
