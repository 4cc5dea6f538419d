/*
 * XdTree: a hierarchy of nodes, one per row, each with an expand/collapse
 * handle, a folder icon and a text label, joined by dotted connecting lines,
 * inside a scrolled window.
 *
 * The tree is a record (wu_tree) over an XmScrolledWindow "ScrolledW" and
 * its XmDrawingArea "DrawingArea", not a widget class.  The owner allocates
 * each node zero-filled with XtCalloc, fills in its label text (XtMalloc'd),
 * optional pixmaps and its functions, links it in with XdTreeInsertNodeAt
 * and calls XdTreeDraw after each batch of insertions or deletions.  From
 * then on the tree owns the node: XdTreeDeleteTree releases it (the node's
 * release function is called first), and destroying the scrolled window
 * releases every node left and the tree record itself.
 *
 * The rows are drawn, not made of widgets: the tree scrolls its rows
 * through a drawing area the size of the view, so any number of rows can
 * be reached by the scroll bars and the arrow keys, and draws the handle,
 * icon, label and lines of the rows in view.  One set of three buttons
 * (handle, icon, label) serves the focused node (with no focus, the row
 * that had them last, while it is shown): only that node has non-NULL
 * handle, icon and label fields.  The buttons change hands when the focus
 * moves; a button's XmNuserData names the node it serves now.  Pointer
 * input on the drawn rows does what the buttons do.  The colours of the
 * scrolled window are the tree's: set there (XmChangeColor), they reach
 * the view, its scroll bars and the rows.
 */
#ifndef XD_TREE_H
#define XD_TREE_H

#include <Xm/Xm.h>

#ifdef __cplusplus
extern "C" {
#endif

#include <stdint.h>

typedef struct wu_tree wu_tree;
typedef struct wu_tree_node wu_tree_node;

/* The owner's functions of a node, called with the node's button (or the
   label when no button is involved), the node and the call data: the
   toolkit's callback structure, the X event of a delete request, or NULL. */
typedef void (*XdTreeNodeProc)(Widget w, wu_tree_node *node, XtPointer call_data);

/* A node.  The owner allocates it zero-filled with XtCalloc and fills in
   the fields marked "owner"; the tree fills in the rest. */
struct wu_tree_node {
  wu_tree *tree;
  wu_tree_node *parent; /* NULL at the top level */
  Widget handle; /* the tree's three buttons while the node holds them (it is
                    the focused node, or the row that had them last); else NULL */
  Widget icon;
  Widget label;
  char *text; /* owner: XtMalloc'd label text, freed by the tree */
  unsigned char has_handle;
  unsigned char expanded;
  unsigned char expanded_copy;
  Pixmap open_pixmap; /* owner, optional: None gives the tree's folders */
  Pixmap closed_pixmap;
  Pixmap open_mask;
  Pixmap closed_mask;
  int32_t x; /* layout results of the last time the row was in view, in the
                coordinates of the whole tree */
  int32_t handle_y;
  int32_t icon_x;
  int32_t icon_y;
  int16_t icon_width; /* owner with open_pixmap; else the tree's */
  int16_t icon_height;
  int16_t label_x;
  int16_t label_y;
  int16_t label_width;  /* as the label button would size itself; measured at */
  int16_t label_height; /* insertion and when the label or the font changes */
  XdTreeNodeProc expand_proc; /* owner: the node's functions, each optional */
  XdTreeNodeProc select_proc;
  XdTreeNodeProc release_proc;
  XdTreeNodeProc double_click_proc;
  XdTreeNodeProc delete_proc;
  wu_tree_node *first_child;
  wu_tree_node *prev;
  wu_tree_node *next;
  unsigned char selected;
  unsigned char expandable; /* owner: the handle is mapped only when set */
  int32_t *expanded_word;   /* owner, optional: kept equal to expanded */
  XtPointer owner_data;     /* owner, optional: its record of this node */

  /* The tree's own bookkeeping; never set by the owner. */
  wu_tree_node *last_child;
  int32_t selection_slot; /* 1-based slot in the selection list, 0 = none */
  unsigned char layout;   /* XdTREE_NODE_* of xd/TreeP.h */
  int32_t row;            /* index among the rows shown at the last layout */
  int32_t level;          /* 1 at the top level; set at insertion */
  XmString label_string;  /* the label text as drawn; made at insertion */
  int32_t rows_below;     /* row index: the rows its open subtree shows below it */
  int32_t offset;         /* row index: the rows before it under its parent */
  wu_tree_node *offset_last; /* row index: its last child whose offset is known */
};

/* Insertion modes of XdTreeInsertNodeAt. */
#define XdTREE_INSERT_BEFORE 0      /* before the reference node, same parent */
#define XdTREE_INSERT_AFTER 1       /* after the reference node, same parent */
#define XdTREE_INSERT_FIRST_CHILD 2 /* first child of the parent (NULL: top level) */
#define XdTREE_INSERT_LAST_CHILD 3  /* last child of the parent (NULL: top level) */

/* Creates the tree in `parent` (normally an XmForm: the scrolled window is
   attached to all four sides).  The arguments go to the scrolled window; an
   XmNfontList among them becomes the font of the labels.  NULL on failure. */
wu_tree *XdCreateTree(Widget parent, ArgList args, Cardinal num_args);

/* Links `node` in as `mode` says, relative to `ref` (a sibling for modes 0
   and 1, the parent for modes 2 and 3).  The label text is converted and
   measured now, once: a node costs no widgets (it is lent the tree's one
   set of buttons while it needs them), and its row entering the view is
   only drawn.  0 when the node was inserted; -1 (nothing changes) for an
   unknown mode, a missing reference node, a reference of another tree or a
   node already in a tree. */
int XdTreeInsertNodeAt(wu_tree *tree, wu_tree_node *ref, wu_tree_node *node, int mode);

/* Unlinks `node` and releases it with its whole subtree.  -1 when the tree is
   empty, the node is NULL or not in this tree; else 0. */
int XdTreeDeleteTree(wu_tree *tree, wu_tree_node *node);

/* Lays out and redraws the whole tree.  -1 when the tree has no nodes or
   the drawing area has no window yet; else 0. */
int XdTreeDraw(wu_tree *tree);

/* Expand, collapse and toggle a node as its handle would.  Expand answers 0
   for a node that is not expandable; otherwise these answer 1. */
int XdTreeExpandNode(wu_tree_node *node);
int XdTreeCollapseNode(wu_tree_node *node);
int XdTreeToggleNode(wu_tree_node *node);

/* Moves the focus mark (open folder, inverse label) to `node`; with
   `activate` the owner's select function follows once the user pauses. */
void XdTreeSetFocus(wu_tree *tree, wu_tree_node *node, int activate);
/* Removes the focus mark and empties the selection list. */
void XdTreeUnSetFocus(wu_tree *tree);

/* The node whose icon or label button is `w` (the node holding the
   buttons); NULL when none. */
wu_tree_node *XdTreeWidgetToTreeNode(wu_tree *tree, Widget w);

/* The label activation (select the node, tell the owner) for callers
   outside the tree. */
void wuxatre(Widget w, wu_tree_node *node, XtPointer call_data);

/* 1 when `node` is in the sibling chain starting at `first` or below it. */
int _XdTreeIsChild(wu_tree_node *first, wu_tree_node *node);

/* Shows the node's label in the focus colours (on) or its normal ones. */
void _XdTreeSetFocusColors(wu_tree_node *node, int on);

/* Turns XPM data into a pixmap (and mask) of the default screen with
   `background` as the colour of the symbol "XpmBackground"; 1 on success. */
int _XdLoadPixmap(Display *dpy, char **xpm, Pixel background, Pixmap *pixmap, Pixmap *mask);

#ifdef __cplusplus
}
#endif

#endif /* XD_TREE_H */
