/*
 * XdTree private declarations: the tree record and the node record.  Both
 * are shared with the tree-view control, which fills nodes in and reads the
 * focus and the selection list; the fields keep this order.  Fields after
 * the "tree's own bookkeeping" marks are private to the tree.
 */
#ifndef XD_TREEP_H
#define XD_TREEP_H

#include "xd/Tree.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Edge flags of the drag auto-scroll. */
#define XdTREE_EDGE_TOP 1
#define XdTREE_EDGE_BOTTOM 2
#define XdTREE_EDGE_LEFT 4
#define XdTREE_EDGE_RIGHT 8

struct wu_tree {
  XtAppContext app;
  Widget scrolled_w;   /* "ScrolledW" */
  Widget drawing_area; /* "DrawingArea" */
  Widget clip_window;
  Widget vsb;
  Widget hsb;
  Visual *visual;
  Colormap colormap;
  XmFontList font_list; /* the "fontList" creation argument, or NULL */
  GC line_gc;
  Pixmap lines_pixmap; /* None when not drawn yet */
  int16_t width;       /* content size; only grows */
  int16_t height;
  Pixel foreground;
  Pixel background;
  Pixel focus_foreground; /* the background: inverse video */
  Pixel focus_background; /* the foreground */
  wu_tree_node *root;     /* first top-level node */
  wu_tree_node *focus;    /* focused node */
  unsigned char has_focus;
  unsigned char saved_has_focus;
  unsigned char traversing;
  unsigned char obscured_pending;  /* obscured-traversal time-out started */
  unsigned char obscured_focus_in; /* ... on a node button's focus-in */
  Pixmap open_folder;
  Pixmap closed_folder;
  Pixmap open_mask;
  Pixmap closed_mask;
  int32_t icon_width;
  int32_t icon_height;
  Pixmap minus;
  Pixmap plus;
  Pixmap minus_mask;
  Pixmap plus_mask;
  int32_t handle_width;
  int32_t handle_height;
  int32_t row_height;
  int32_t left_margin;
  int32_t top_margin;
  int32_t indent;
  uint32_t activate_delay; /* milliseconds */
  XtIntervalId activate_id;
  XtIntervalId obscured_id;
  int32_t depth;
  int32_t deleting; /* set while a deletion moves the focus */
  unsigned char multiple_selection;
  wu_tree_node **selection; /* NULL slots are empty */
  int32_t selection_size;
  int32_t autoscroll_edges; /* XdTREE_EDGE_* */
  XtIntervalId autoscroll_id;
  int32_t owner_managed;

  /* The tree's own bookkeeping. */
  wu_tree_node *last_root;      /* last top-level node */
  wu_tree_node *activate_node;  /* node of the pending activation */
  int32_t selection_count;      /* slots in use */
  unsigned char limit_warned;   /* unused: kept for the record's layout */
  unsigned char destroying;     /* the scrolled window is being destroyed */
  int32_t releasing;            /* nodes are being released: no nested delete */
  struct XdTreeView *view;      /* the rows shown and the nodes with buttons */
};


/* Layout state of a node (wu_tree_node.layout). */
#define XdTREE_NODE_SHOWN 0x01          /* its row has been drawn */
#define XdTREE_NODE_OPEN_PENDING 0x02   /* opened: the row index counts its rows when asked */
#define XdTREE_NODE_HANDLE_MINUS 0x04   /* the handle shows minus */
#define XdTREE_NODE_ICON_OPEN 0x08      /* the icon shows the open pixmap */
#define XdTREE_NODE_MEASURED 0x10       /* label_width and label_height are known */
#define XdTREE_NODE_INVERSE 0x20        /* the label shows the focus colours */
#define XdTREE_NODE_ROWS_OPEN 0x40      /* the row index counts its children's rows */
#define XdTREE_NODE_OFFSET_KNOWN 0x80   /* the row index knows its offset */

/* The parts of a row, as _XdTreeNodeAt finds them. */
#define XdTREE_PART_NONE 0
#define XdTREE_PART_HANDLE 1
#define XdTREE_PART_ICON 2
#define XdTREE_PART_LABEL 3
/* For _XdTreeNodeRect: where the row has its handle, also when it draws
   none there (a top-level node, a node that lost its handle). */
#define XdTREE_PART_HANDLE_PLACE 4

/* Called each time the tree's three buttons change hands (handle, icon
   and label of `node` are then non-NULL): when the focus moves to another
   node, when a layout gives them to another row, and from
   _XdTreeMakeNodeButtons.  The same three widgets serve every node, so the
   procedure finds the node a button serves through its XmNuserData (or
   XdTreeWidgetToTreeNode) rather than binding it in a closure, and adds
   the same handlers with the same closure each time (the toolkit keeps
   such a handler once).  It must not insert, delete or redraw nodes. */
typedef void (*XdTreeButtonsProc)(wu_tree *tree, wu_tree_node *node, XtPointer closure);
void _XdTreeSetButtonsProc(wu_tree *tree, XdTreeButtonsProc proc, XtPointer closure);

/* Gives the node the buttons now, for an owner that needs them on a node
   other than the focused one (the next layout may take them away again);
   1 when the node has them, 0 when it is in no tree. */
int _XdTreeMakeNodeButtons(wu_tree_node *node);

/* The node whose row part lies at (x, y) of the drawing area's window, and
   which part (XdTREE_PART_*); NULL (part NONE) where no handle, icon or
   label is drawn. */
wu_tree_node *_XdTreeNodeAt(wu_tree *tree, int x, int y, int *part);
/* A part's rectangle (XdTREE_PART_NONE: the whole row, handle to label)
   in the drawing area's coordinates, where the layout due (if any) puts
   it; 0 when the node's row is not shown (a collapsed parent, no draw
   yet) or lies beyond the view's reach.  Read while a layout is due, it
   costs about the node's depth (and the siblings before it whose rows
   changed), not a layout. */
int _XdTreeNodeRect(wu_tree_node *node, int part, XRectangle *rect);
/* The tree's drag and drop procedures of its drop sites (never a drop
   site; scrolls near the edges while dragging), for an owner that makes
   parts of the tree a drop site of its own and keeps this behaviour
   elsewhere.  A NULL call data ends the scrolling. */
void _XdTreeDragProc(Widget w, XtPointer client, XtPointer call);
void _XdTreeDropProc(Widget w, XtPointer client, XtPointer call);
/* 1 when the node's handle shows plus (or will once its row is drawn):
   what XdTreeExpandNode and XdTreeCollapseNode go by. */
int _XdTreeHandleShowsPlus(wu_tree_node *node);
/* Opens or closes the node (the expanded flag, its copy and the owner's
   word) without the handle's activation and without calling the owner's
   functions: the rows below follow at the next layout, and positions read
   before it see them already.  An owner that sets `expanded` itself has it
   take effect at the next layout only. */
void _XdTreeSetExpanded(wu_tree_node *node, int expanded);
/* The owner changed the node's text, pixmaps or expandable flag: the row
   is measured and drawn again. */
void _XdTreeNodeChanged(wu_tree_node *node);
/* For tests: how many times the tree has made its list of rows (a walk of
   every row shown) and painted its view, since it was created. */
void _XdTreeLayoutCounts(wu_tree *tree, unsigned long *layouts, unsigned long *paints);
/* Writes the tree, a line per node, through the trace switch. */
void _XdTreePrint(wu_tree *tree);
/* The first node, depth-first, whose label text equals `text`. */
wu_tree_node *_XdTreeFindLabel(wu_tree *tree, const char *text);

/* Gives every label the font list, recomputes the label sizes and the row
   height (the largest icon or label row, never below the tree's own), and
   keeps the font list as the tree's. */
void TreeNodeFontUpdate(wu_tree *tree, XmFontList font_list);

#ifdef __cplusplus
}
#endif

#endif /* XD_TREEP_H */
