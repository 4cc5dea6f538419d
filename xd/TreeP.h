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
  unsigned char limit_warned;   /* the coordinate-limit warning was given */
  unsigned char destroying;     /* the scrolled window is being destroyed */
};

struct wu_tree_node {
  wu_tree *tree;
  wu_tree_node *parent; /* NULL at the top level */
  Widget handle; /* the three buttons: NULL until the node is first shown */
  Widget icon;
  Widget label;
  char *text; /* XtMalloc'd by the owner, freed by the tree */
  unsigned char has_handle;
  unsigned char expanded;
  unsigned char expanded_copy;
  Pixmap open_pixmap; /* None: the tree's folders */
  Pixmap closed_pixmap;
  Pixmap open_mask;
  Pixmap closed_mask;
  int32_t x;
  int32_t handle_y;
  int32_t icon_x;
  int32_t icon_y;
  int16_t icon_width; /* the tree's when open_pixmap is None */
  int16_t icon_height;
  int16_t label_x;
  int16_t label_y;
  int16_t label_width;
  int16_t label_height;
  XdTreeNodeProc expand_proc;
  XdTreeNodeProc select_proc;
  XdTreeNodeProc release_proc;
  XdTreeNodeProc double_click_proc;
  XdTreeNodeProc delete_proc;
  wu_tree_node *first_child;
  wu_tree_node *prev;
  wu_tree_node *next;
  unsigned char selected;
  unsigned char expandable; /* the handle is mapped only when set */
  int32_t *expanded_word;   /* the owner's copy of expanded, or NULL */
  XtPointer owner_data;     /* the owner's record of this node */

  /* The tree's own bookkeeping. */
  wu_tree_node *last_child;
  int32_t selection_slot; /* 1-based slot in the selection list, 0 = none */
  unsigned char layout;   /* XdTREE_NODE_* */
};

/* Layout state of a node (wu_tree_node.layout). */
#define XdTREE_NODE_SHOWN 0x01          /* its buttons were managed by the last layout */
#define XdTREE_NODE_CHILDREN_SHOWN 0x02 /* its children were laid out last time */
#define XdTREE_NODE_HANDLE_MINUS 0x04   /* the handle shows minus */
#define XdTREE_NODE_ICON_OPEN 0x08      /* the icon shows the open pixmap */

/* Makes the node's buttons now, for an owner that sets them up before the
   node is first shown; 1 when the node has them, 0 when it is in no tree. */
int _XdTreeMakeNodeButtons(wu_tree_node *node);
/* Writes the tree, a line per node, through the trace switch. */
void _XdTreePrint(wu_tree *tree);
/* The first node, depth-first, whose label text equals `text`. */
wu_tree_node *_XdTreeFindLabel(wu_tree *tree, const char *text);

/* ---- owner hooks ---------------------------------------------------------
 * Called each time the tree has made a node's three buttons, so that an
 * owner can put its event handlers and drop sites on them; a node may lose
 * its buttons and get new ones later. */
typedef void (*XdTreeButtonsProc)(wu_tree *tree, wu_tree_node *node, XtPointer closure);
void _XdTreeSetButtonsProc(wu_tree *tree, XdTreeButtonsProc proc, XtPointer closure);

/* Gives every label the font list, recomputes the label sizes and the row
   height (the largest icon or label row, never below the tree's own), and
   keeps the font list as the tree's. */
void TreeNodeFontUpdate(wu_tree *tree, XmFontList font_list);

#ifdef __cplusplus
}
#endif

#endif /* XD_TREEP_H */
