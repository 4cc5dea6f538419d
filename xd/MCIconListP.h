/*
 * Private definitions of XdMCIconList: class record, class part, instance
 * part and the column record.
 */
#ifndef XD_MCICONLISTP_H
#define XD_MCICONLISTP_H

#include "xd/IconListP.h"
#include "xd/MCIconList.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _XdMCIconListClassPart {
  XtPointer extension;
} XdMCIconListClassPart;

typedef struct _XdMCIconListClassRec {
  CoreClassPart core_class;
  CompositeClassPart composite_class;
  ConstraintClassPart constraint_class;
  XmManagerClassPart manager_class;
  XmBulletinBoardClassPart bulletin_board_class;
  XdMCIconListClassPart mc_icon_list_class;
} XdMCIconListClassRec;

extern XdMCIconListClassRec xdMCIconListClassRec;

/* One column, in display order. */
typedef struct XdMCColumn {
  Widget owner;    /* the XdMCIconList */
  Widget header;   /* XmPushButton "Header" */
  Widget handle;   /* XmDrawingArea "Handle" */
  Widget list;     /* XdIconList (first column) or XmList "List" */
  int16_t width;   /* header width + handle width */
  int32_t data;    /* kept for the owner */
  int32_t sortable;
  XdMCIconListKeyProc key;
  /* The column's texts as host text, kept for sorting until its rows
     change: valid while texts_stamp equals the widget's rows_stamp. */
  char **texts;
  int text_count;
  unsigned texts_stamp;
} XdMCColumn;

/* Type-ahead prefix: at most this many letters are kept. */
#define XdTYPEAHEAD_MAX 79

typedef struct _XdMCIconListPart {
  unsigned char selection_policy;
  XmString **string_items; /* per column an XmString array (resource), then the lists' own arrays */
  Pixmap *icon_items;      /* after a table update: the first column's icons */
  int item_count;
  int32_t *ids;            /* only while items are set through resources */
  Dimension column_width, handle_width;
  Pixel header_color;
  XtCallbackList browse_callback;
  XtCallbackList default_action_callback;
  XtCallbackList extended_callback;
  XtCallbackList multiple_callback;
  XtCallbackList single_callback;
  XtCallbackList post_menu_callback;
  XtCallbackList header_callback;
  XtCallbackList drag_callback;
  Cursor resize_cursor;
  int column_count;
  Dimension margin_width, margin_height;
  Widget hbar, vbar;
  Widget area;          /* columns area */
  Widget resize_shell;  /* override shell "Resize" */
  Widget resize_line;   /* drawing area "Resize" */
  XdMCColumn **columns;
  int pending_top;
  int16_t drag_x, drag_y;
  int view_type;
  XtCallbackList delete_callback;
  XdOwnerRecord *owner;

  /* Private bookkeeping. */
  Cursor own_cursor;         /* the cursor made at creation */
  XmString **table_storage;  /* the string table's column array */
  Boolean destroying;
  char typeahead[XdTYPEAHEAD_MAX + 1];
  int typeahead_length;
  Time typeahead_time;
  char *first_texts;         /* first column's texts for type-ahead, NUL-separated */
  int *first_offsets;        /* start of each row's text in first_texts */
  Boolean texts_valid;
  Boolean syncing;
  unsigned rows_stamp;       /* changes with every change of the rows */
  XtIntervalId realize_timer; /* finishes realization once the children exist */
  /* The columns are those a column count from the resource database made,
     not the program: its rows are not read into them, and its first
     column of its own replaces them. */
  Boolean database_columns;
} XdMCIconListPart;

typedef struct _XdMCIconListRec {
  CorePart core;
  CompositePart composite;
  ConstraintPart constraint;
  XmManagerPart manager;
  XmBulletinBoardPart bulletin_board;
  XdMCIconListPart mc_icon_list;
} XdMCIconListRec;

#ifdef __cplusplus
}
#endif

#endif /* XD_MCICONLISTP_H */
