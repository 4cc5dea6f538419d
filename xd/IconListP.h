/*
 * Private definitions of XdIconList: class record, class part and instance
 * part, for subclasses and the widget set's own widgets.
 */
#ifndef XD_ICONLISTP_H
#define XD_ICONLISTP_H

#include "xd/IconList.h"

#include <Xm/BulletinBP.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The record given as "userData" to the widget's children until a caller
   puts its own there (XdIconListOverrideUserData).  Its first words have
   the layout of a control record's common part, so that code looking at
   "userData" reads kind 0 ("not a control") and the pane; the owner word
   names the widget.  The widget frees it with itself. */
typedef struct XdOwnerRecord {
  void *next;      /* unused, 0 */
  void *previous;  /* unused, 0 */
  int32_t kind;    /* 0: a widget's own record */
  Widget pane;     /* the widget's parent */
  Widget owner;    /* the widget */
  void *link;      /* unused, 0 */
} XdOwnerRecord;

/* Called by an icon list whenever its top row changes, so that a widget
   holding it (the multi-column list) can keep its other parts in step. */
typedef void (*XdIconListTopProc)(Widget iconlist, XtPointer closure);

typedef struct _XdIconListClassPart {
  XtPointer extension;
} XdIconListClassPart;

typedef struct _XdIconListClassRec {
  CoreClassPart core_class;
  CompositeClassPart composite_class;
  ConstraintClassPart constraint_class;
  XmManagerClassPart manager_class;
  XmBulletinBoardClassPart bulletin_board_class;
  XdIconListClassPart icon_list_class;
} XdIconListClassRec;

extern XdIconListClassRec xdIconListClassRec;

typedef struct _XdIconListPart {
  unsigned char selection_policy;
  XmString *string_items;  /* creation/SetValues only: handed to the list, then cleared */
  Pixmap *icon_items;      /* owned copy, item_count long, or NULL */
  int item_count;          /* mirrors the list's count after every change */
  int32_t *ids;            /* owned copy, item_count long, or NULL */
  Dimension icon_margin_width;
  XtCallbackList browse_callback;
  XtCallbackList default_action_callback;
  XtCallbackList extended_callback;
  XtCallbackList multiple_callback;
  XtCallbackList single_callback;
  XtCallbackList drag_callback;
  XtCallbackList post_menu_callback;

  Widget frame;        /* outer drawing area holding icons and list */
  Widget icon_column;  /* drawing area painting one icon per visible row */
  Widget list;         /* the XmList */
  Widget spare;
  Widget hbar, vbar;   /* own scroll bars of the scrolled variant */

  Dimension frame_thickness;
  unsigned icon_width, icon_height;
  GC icon_gc;
  Dimension widest;    /* widest item text */
  Time last_press;     /* last accepted button press in the icon column */
  int multi_click;     /* milliseconds */
  int last_sorted;     /* column a multi-column list sorted on last, -1 none */
  int anchor;          /* extended-selection anchor, 0 none */
  unsigned char init_row_highlight;
  Dimension init_spacing;
  XdOwnerRecord *owner;

  /* Private bookkeeping. */
  int array_capacity;  /* allocated slots of icon_items and ids */
  int last_top;        /* list top seen at the last repaint */
  XtIntervalId sync_timer;
  Boolean focus_drawn;
  XdIconListTopProc top_proc;
  XtPointer top_closure;
  struct XdGreyIcons *grey_icons; /* icons drawn while insensitive */
  Boolean own_width;   /* the width is the widget's choice, none was given */
} XdIconListPart;

typedef struct _XdIconListRec {
  CorePart core;
  CompositePart composite;
  ConstraintPart constraint;
  XmManagerPart manager;
  XmBulletinBoardPart bulletin_board;
  XdIconListPart icon_list;
} XdIconListRec;

/* For the widget set: the icon list that holds a widget (itself or an
   ancestor), or NULL. */
XdIconListWidget _XdIconListOf(Widget w);
/* Installs the top-change notice (one per icon list). */
void _XdIconListSetTopProc(Widget w, XdIconListTopProc proc, XtPointer closure);
/* Makes exactly the given positions (1-based, out-of-range ones skipped)
   the selection, without callbacks, in time linear in the row count. */
void _XdIconListSetSelection(Widget w, const int *positions, int count);
/* Sets the list's items wholesale, replacing all rows: strings are copied
   by the list; icons and ids (either may be NULL) are copied. */
void _XdIconListSetAll(Widget w, Pixmap *icons, XmString *strings, int32_t *ids, int count);
/* Bounds the measured width of the items at positions first .. first +
   count - 1 of an XmList whose texts are too long for its 16-bit widths. */
void _XdListLimitWidths(Widget list, int first, int count);
/* Reorders the rows of an XmList (row i takes the row at index order[i]),
   or of an icon list with its icons and ids, without adding them again;
   the selection goes with its rows.  False when the order does not fit. */
Boolean _XdListPermute(Widget list, const int *order, int count);
Boolean _XdIconListPermute(Widget w, const int *order, int count);
/* The height to give an XmList that has room for `height`: its own,
   when it is no taller than the room and the room shows no more whole
   rows (the list sets it again after every change of its rows, and a
   list made taller would be shortened and redrawn whole by each), or
   else `height`. */
int _XdListHeight(Widget list, int height);
/* Writes the distinct positions of `positions` within 1 .. n to `out`
   (room for count), ascending; returns how many there are. */
int _XdSortPositions(const int *positions, int count, int n, int *out);

#ifdef __cplusplus
}
#endif

#endif /* XD_ICONLISTP_H */
