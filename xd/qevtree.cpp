/*
 * XdTree: the tree record over a scrolled window and its drawing area.
 *
 * The rows are drawn, not made of widgets: the handle, the folder icon,
 * the label and the connecting lines of the rows in view are drawn into a
 * pixmap the size of the view, which the drawing area's exposures copy
 * from.  One set of three push buttons (handle, icon, label) serves the
 * row that needs real widgets: the focused node's (keyboard focus, the
 * node translations), or, with no focus, the row that had them last.  The
 * buttons change hands when the focus moves; a drawn row looks exactly as
 * the buttons would, because the drawing takes its offsets, sizes and font
 * from the buttons themselves.  Pointer input on the drawing area is
 * hit-tested to a row and its part and does what the buttons do.
 */
#include "xd/TreeP.h"

#include "xd/qevutil.h"

#include <X11/IntrinsicP.h>
#include <X11/CompositeP.h>
#include <X11/keysym.h>
#include <Xm/DragDrop.h>
#include <Xm/DrawingA.h>
#include <Xm/LabelP.h>
#include <Xm/PrimitiveP.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBarP.h>
#include <Xm/ScrolledW.h>
#include <Xm/VirtKeys.h>
#include <Xm/XmP.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

/* The one set of buttons. */
struct XdTreeButtons {
  Widget handle = nullptr, icon = nullptr, label = nullptr;
};

/* Where the buttons put their pictures and text and what they add around
   them, read from the buttons when they are made: a drawn row uses the
   same numbers. */
struct XdTreeMetrics {
  int handle_dx = 0, handle_dy = 0, handle_w = 0, handle_h = 0;
  int icon_dx = 0, icon_dy = 0, icon_extra_w = 0, icon_extra_h = 0;
  int label_dx = 0, label_dy = 0, label_extra_w = 0, label_extra_h = 0, label_ht = 0;
  XmFontList font = nullptr; /* the label button's own font list */
};

struct XdTreeView {
  std::vector<wu_tree_node *> rows; /* the rows of the expanded nodes, in order */
  /* The row index (see "The row index" below): the rows shown at the top
     level, the top level's last node whose offset is known, the nodes
     opened whose rows it has not counted yet, and the stack of a walk over
     shown rows. */
  long shown_rows = 0;
  wu_tree_node *root_offset_last = nullptr;
  std::vector<wu_tree_node *> opened;
  std::vector<std::pair<wu_tree_node *, long>> walk;
  bool subtree_going = false; /* a deletion releases the nodes below the node it deletes */
  XdTreeButtons buttons;            /* made by the first layout */
  wu_tree_node *holder = nullptr;   /* the node the buttons serve */
  XdTreeMetrics m;
  GC text_gc = nullptr;
  GC dash_gc[2] = {nullptr, nullptr}; /* the lines, dash offsets 0 and 1 */
  Pixel text_fg = 0;       /* text_gc's foreground, when known */
  bool text_fg_known = false;
  bool dirty = true;       /* rows were linked, unlinked, opened or closed since they were made */
  bool drawn = false;      /* XdTreeDraw has run: rows may be shown */
  bool laying_out = false;
  /* Changes lay the tree out once, when it is next drawn: the tree sends
     itself a message through the server, which arrives after the calls
     and input under way, and anything that reads positions first lays the
     rows out at once. */
  bool layout_pending = false; /* a layout (and paint) is due */
  /* The window the message asking for it went to, while it is on its way
     (None: none is).  A message to a window the view no longer has (its
     shell was unrealized meanwhile) never arrives: its next window is
     sent another. */
  Window layout_posted_to = None;
  bool refocus = false;        /* ... and then the focused row takes the keyboard again */
  Atom layout_message = None;
  unsigned long layouts = 0; /* times the rows were made, for tests */
  unsigned long paints = 0;  /* times the view was painted, for tests */
  int top = 0;             /* the view's offset into the rows, in pixels */
  int left = 0;
  int content_w = 1;       /* widest row seen so far */
  int pix_w = 0, pix_h = 0; /* size of the view pixmap: the view's */
  size_t first = 0, last = 0; /* the rows in view at the last layout */
  int hold_paint = 0;      /* >0: repaints wait for the end of a batch of changes */
  bool paint_wanted = false;
  wu_tree_node *unlinked = nullptr; /* a deleted node not yet released */
  XdTreeButtonsProc buttons_proc = nullptr;
  XtPointer buttons_closure = nullptr;
  /* The pointer on the rows: the last button-1 press (double clicks) and
     the part under a dragging pointer (multiple selection). */
  wu_tree_node *press_node = nullptr;
  int press_part = XdTREE_PART_NONE;
  Time press_time = 0;
  wu_tree_node *over_node = nullptr;
  int over_part = XdTREE_PART_NONE;
};

namespace {

/* Owner functions may delete the node being handled or destroy the whole
   tree.  A Held names what the code holds across such a call; releasing a
   node or destroying the tree clears the matching Helds. */
struct Held;
std::vector<Held *> held;

struct Held {
  wu_tree *tree;
  wu_tree_node *node;
  Held(wu_tree *t, wu_tree_node *n) : tree(t), node(n) { held.push_back(this); }
  ~Held() { held.erase(std::find(held.begin(), held.end(), this)); }
  Held(const Held &) = delete;
  Held &operator=(const Held &) = delete;
  bool treeAlive() const { return tree != nullptr; }
  bool alive() const { return tree && node && node->tree == tree; }
};

/* After an owner function: true when the held node is still in its tree.
   When the function deleted it, the tree warns and does nothing more with
   it (the caller stops there). */
bool stillThere(const Held &h, const char *step) {
  if (h.alive()) return true;
  if (h.treeAlive()) {
    char text[160];
    snprintf(text, sizeof text, "XdTree: the node was deleted by an owner function; %s is not done",
             step);
    XtAppWarning(h.tree->app, text);
  }
  return false;
}

void forgetNode(wu_tree_node *n) {
  for (Held *h : held)
    if (h->node == n) h->node = nullptr;
}

void forgetTree(wu_tree *t) {
  for (Held *h : held)
    if (h->tree == t) h->tree = nullptr, h->node = nullptr;
}

/* The largest extent the scroll bars can hold (their values are int). */
constexpr int kMaxExtent = 0x3fffffff;
constexpr int kSelectionSlots = 50;
constexpr uint32_t kActivateDelay = 300;   /* ms after a keyboard move */
constexpr unsigned long kScrollFirst = 200; /* ms before the first auto-scroll */
constexpr unsigned long kScrollRepeat = 300;
constexpr int kScrollEdge = 20; /* pixels from a side that start auto-scroll */
constexpr int kIconGap = 10;    /* handle to icon; where a connecting line ends */
constexpr int kTopLevelIconShift = 8;
constexpr int kLabelGap = 4;
constexpr int kContentPad = 5;
constexpr int kChildLineRise = 10;
constexpr Position kHiddenPos = 30000; /* where the buttons of a row out of view wait */

/* Handle and folder pictures; "XpmBackground" never appears, the white of
   the handle stays white. */
const char *const minus_xpm[] = {
    "9 9 3 1", "# c #000000", "' c #FFFFFF", "a c #A0A0A0",
    "aaaaaaaaa", "a'''''''a", "a'''''''a", "a'''''''a", "a'#####'a",
    "a'''''''a", "a'''''''a", "a'''''''a", "aaaaaaaaa"};

const char *const plus_xpm[] = {
    "9 9 3 1", "# c #000000", "' c #FFFFFF", "a c #A0A0A0",
    "aaaaaaaaa", "a'''''''a", "a'''#'''a", "a'''#'''a", "a'#####'a",
    "a'''#'''a", "a'''#'''a", "a'''''''a", "aaaaaaaaa"};

const char *const open_folder_xpm[] = {
    "16 13 7 1", "# c #000000", "$ c #7F7F7F", "% c #FEFEFE", "& c #FEFE00",
    "' c #4E647C", "( c #BFBFBF", ") c #FFFFFF",
    "))$$$$$)))))))))", "))$%%%%%$)))))))", ")$%(&(&(%$$$$$$)", ")$%&(&(&(%%%%%$#",
    ")$%(&(&(&(&(&($#", "$$$$$$$$$$$$$&$#", "$%%%%%%%%%%$#($#", "$%(&(&(&(&(&#$$#",
    ")$%(&(&(&(&($#$#", ")$%&(&(&(&(&(#$#", "))$%&(&(&(&(&$##", "))$$$$$$$$$$$$##",
    ")))#############"};

const char *const closed_folder_xpm[] = {
    "16 13 7 1", "# c #000000", "$ c #7F7F7F", "% c #FEFEFE", "& c #FEFE00",
    "' c #4E647C", "( c #BFBFBF", ") c #FFFFFF",
    ")))$$$$$))))))))", "))$(&(&($)))))))", ")$(&(&(&($$$$$$)", ")$%%%%%%%%%%%%$#",
    ")$%&(&(&(&(&(&$#", ")$%(&(&(&(&(&($#", ")$%&(&(&(&(&(&$#", ")$%(&(&(&(&(&($#",
    ")$%&(&(&(&(&(&$#", ")$%(&(&(&(&(&($#", ")$%&(&(&(&(&(&$#", ")$$$$$$$$$$$$$$#",
    "))##############"};

const char kDashes[] = {1, 1};

const char kNodeTranslations[] =
    "#override\n"
    "<FocusIn>: PrimitiveFocusIn() XdTreeFocusIn()\n"
    "<FocusOut>: PrimitiveFocusOut() XdTreeFocusOut()\n"
    "<Btn1Down>: XdTreePress()\n"
    "<Btn2Down>: XdTreeAreaPress()\n"
    "<Key>osfLeft: XdTreeTraverse(Left)\n"
    "<Key>osfRight: XdTreeTraverse(Right)\n"
    "<Key>osfUp: XdTreeTraverse(Up)\n"
    "<Key>osfDown: XdTreeTraverse(Down)\n"
    "<Key>osfDelete: XdTreeDeleteRequest()\n"
    "<Key>Delete: XdTreeDeleteRequest()\n"
    "<Key>osfBackSpace: XdTreeDeleteRequest()\n"
    "<Key>BackSpace: XdTreeDeleteRequest()\n"
    ":<Key>osfPageUp: XdTreeScrWinKey()\n"
    ":<Key>osfPageDown: XdTreeScrWinKey()\n";

const char kScrollTranslations[] =
    "#override\n"
    ":<Key>osfPageUp: XdTreeScrWinKey() SWUpPage()\n"
    ":<Key>osfPageDown: XdTreeScrWinKey() SWDownPage()\n";

}  // namespace

/* ---------------------------------------------------------------------- */
/* Small helpers                                                           */
/* ---------------------------------------------------------------------- */

namespace {

char **xpm(const char *const *data) { return const_cast<char **>(data); }

void giveButtons(wu_tree *tree, wu_tree_node *n);
bool makeButtonSet(wu_tree *tree);
GC depthGC(wu_tree *tree, Display *dpy, Screen *screen);
void layoutView(wu_tree *tree);
void rowsChanged(wu_tree *tree);
bool flushLayout(wu_tree *tree);
bool flushLayoutKept(wu_tree *tree);
void settleRows(wu_tree *tree);
void repaint(wu_tree *tree);
bool isRow(wu_tree *tree, wu_tree_node *n);
bool inView(const XdTreeView *v, const wu_tree_node *n);

bool isManaged(Widget w) { return w && XtIsManaged(w); }

/* The node a button serves now (its XmNuserData), read without the
   resource machinery: every event on a button asks. */
XtPointer buttonData(Widget w) {
  return reinterpret_cast<XmPrimitiveWidget>(w)->primitive.user_data;
}

void setButtonData(Widget w, wu_tree_node *n) {
  reinterpret_cast<XmPrimitiveWidget>(w)->primitive.user_data = n;
}

wu_tree_node *nodeOfButton(Widget w) {
  if (!w || !XmIsPrimitive(w)) return nullptr;
  auto *node = static_cast<wu_tree_node *>(buttonData(w));
  if (!node || !node->tree) return nullptr;
  if (node->handle != w && node->icon != w && node->label != w) return nullptr;
  return node;
}

/* The tree of its scrolled window or drawing area (whose XmNuserData an
   owner may use for its own record). */
wu_tree *treeOfWidget(Widget w) {
  if (XmIsDrawingArea(w) && XtParent(w)) w = XtParent(w);
  XtPointer data = nullptr;
  XtVaGetValues(w, XmNuserData, &data, NULL);
  return static_cast<wu_tree *>(data);
}

void removeTimeOut(XtIntervalId *id) {
  if (*id) {
    XtRemoveTimeOut(*id);
    *id = 0;
  }
}

/* The chain a node belongs to starts here. */
wu_tree_node **firstLink(wu_tree *tree, wu_tree_node *parent) {
  return parent ? &parent->first_child : &tree->root;
}
wu_tree_node **lastLink(wu_tree *tree, wu_tree_node *parent) {
  return parent ? &parent->last_child : &tree->last_root;
}

void rowUnlinking(wu_tree *tree, wu_tree_node *n);

void unlink(wu_tree *tree, wu_tree_node *n) {
  rowUnlinking(tree, n);
  if (n->prev)
    n->prev->next = n->next;
  else
    *firstLink(tree, n->parent) = n->next;
  if (n->next)
    n->next->prev = n->prev;
  else
    *lastLink(tree, n->parent) = n->prev;
  n->prev = n->next = nullptr;
}

void linkBefore(wu_tree *tree, wu_tree_node *ref, wu_tree_node *n) {
  n->parent = ref->parent;
  n->prev = ref->prev;
  n->next = ref;
  if (ref->prev)
    ref->prev->next = n;
  else
    *firstLink(tree, ref->parent) = n;
  ref->prev = n;
}

void linkAfter(wu_tree *tree, wu_tree_node *ref, wu_tree_node *n) {
  n->parent = ref->parent;
  n->next = ref->next;
  n->prev = ref;
  if (ref->next)
    ref->next->prev = n;
  else
    *lastLink(tree, ref->parent) = n;
  ref->next = n;
}

void linkOnly(wu_tree *tree, wu_tree_node *parent, wu_tree_node *n) {
  n->parent = parent;
  n->prev = n->next = nullptr;
  *firstLink(tree, parent) = n;
  *lastLink(tree, parent) = n;
}

/* Pre-order walk of the subtree at `top`; `visit` answers whether to go
   below the node it was given.  No recursion: trees may be deep. */
template <class Visit>
void walkSubtree(wu_tree_node *top, Visit visit) {
  wu_tree_node *n = top;
  for (;;) {
    if (visit(n) && n->first_child) {
      n = n->first_child;
      continue;
    }
    while (n != top && !n->next) n = n->parent;
    if (n == top) return;
    n = n->next;
  }
}

/* Pre-order walk of the whole tree with the level of each node (1 at the
   top level); `visit` answers whether to go below the node. */
template <class Visit>
void walkTree(wu_tree *tree, Visit visit) {
  wu_tree_node *n = tree->root;
  int level = 1;
  while (n) {
    if (visit(n, level) && n->first_child) {
      n = n->first_child;
      ++level;
      continue;
    }
    while (n && !n->next) {
      n = n->parent;
      --level;
    }
    if (n) n = n->next;
  }
}

/* ---------------------------------------------------------------------- */
/* The row index                                                           */
/* ---------------------------------------------------------------------- */

/* Between layouts the row list stays as the last layout made it while
   nodes are opened, closed, linked and unlinked; a run of changes lays out
   once.  The row index answers meanwhile where a node's row will be,
   without making the list: a shown node that the index counts open
   (XdTREE_NODE_ROWS_OPEN) knows the rows its subtree shows below it
   (rows_below), the view knows the rows of the top level (shown_rows), and
   each sibling chain knows the offsets (rows before a node under its
   parent) of its nodes from the first to its offset_last.  A node's row is
   the sum of its and its ancestors' offsets and depths.  A change touches
   the node's ancestors and forgets the offsets after it in their chains;
   opening a node walks the rows it shows, when the index is next asked
   (a run of openings that nobody reads between walks nothing before its
   layout); a layout walks every row shown and makes every offset of them
   known.  Chains under a node that is not shown keep what they knew until
   opening an ancestor walks them again. */

bool rowsOpen(const wu_tree_node *n) { return (n->layout & XdTREE_NODE_ROWS_OPEN) != 0; }

/* The rows a shown node takes: its own and, open, those below it. */
long spanOf(const wu_tree_node *n) { return 1 + (rowsOpen(n) ? long(n->rows_below) : 0); }

/* Every ancestor of the node is open, as the index counts them. */
bool indexShown(const wu_tree_node *n) {
  for (const wu_tree_node *a = n->parent; a; a = a->parent)
    if (!rowsOpen(a)) return false;
  return true;
}

wu_tree_node **offsetLast(wu_tree *tree, wu_tree_node *parent) {
  return parent ? &parent->offset_last : &tree->view->root_offset_last;
}

/* The offsets after `keep` in the chain under `parent` (all of them when
   `keep` is NULL) are no longer known. */
void forgetOffsetsAfter(wu_tree *tree, wu_tree_node *parent, wu_tree_node *keep) {
  wu_tree_node **last = offsetLast(tree, parent);
  if (!*last || *last == keep) return;
  if (keep && !(keep->layout & XdTREE_NODE_OFFSET_KNOWN)) return; /* known only before it */
  for (wu_tree_node *c = keep ? keep->next : *firstLink(tree, parent); c; c = c->next) {
    c->layout &= ~XdTREE_NODE_OFFSET_KNOWN;
    if (c == *last) break;
  }
  *last = keep;
}

/* The offset of a shown node, made known from the chain's last known one. */
long offsetOf(wu_tree *tree, wu_tree_node *n) {
  if (n->layout & XdTREE_NODE_OFFSET_KNOWN) return n->offset;
  wu_tree_node **last = offsetLast(tree, n->parent);
  long offset = *last ? (*last)->offset + spanOf(*last) : 0;
  for (wu_tree_node *c = *last ? (*last)->next : *firstLink(tree, n->parent); c; c = c->next) {
    c->offset = int32_t(offset);
    c->layout |= XdTREE_NODE_OFFSET_KNOWN;
    *last = c;
    if (c == n) break;
    offset += spanOf(c);
  }
  return n->offset;
}

/* The row a shown node has at the layout due. */
long indexRow(wu_tree *tree, wu_tree_node *n) {
  long row = 0;
  for (wu_tree_node *a = n; a; a = a->parent) row += offsetOf(tree, a) + (a->parent ? 1 : 0);
  return row;
}

/* A shown node takes `delta` rows more: its ancestors count them, and the
   offsets after it and after each ancestor are no longer known. */
void spanChanged(wu_tree *tree, wu_tree_node *n, long delta) {
  if (delta == 0) return;
  for (wu_tree_node *b = n; b; b = b->parent) {
    forgetOffsetsAfter(tree, b->parent, b);
    if (b->parent)
      b->parent->rows_below = int32_t(b->parent->rows_below + delta);
    else
      tree->view->shown_rows += delta;
  }
}

/* Where a node's row puts it, in the coordinates of the whole tree. */
struct Place {
  long x, handle_y, line_y, line_end, icon_x, icon_y, label_x, label_y;
};

/* The row's places across: handle, line end, icon and label. */
Place placeAcross(const wu_tree *tree, const wu_tree_node *n) {
  Place p = {};
  p.x = tree->left_margin + long(n->level - 1) * tree->indent;
  p.line_end = p.x + tree->handle_width + kIconGap;
  p.icon_x = n->parent ? p.line_end : p.line_end - kTopLevelIconShift;
  p.label_x = p.icon_x + n->icon_width + kLabelGap;
  return p;
}

/* Where the content ends right of a shown row's label. */
long rowRight(const wu_tree *tree, const wu_tree_node *n) {
  return placeAcross(tree, n).label_x + n->label_width + kContentPad;
}

/* The content grows to `right`, a row's right end. */
void widenTo(wu_tree *tree, long right) {
  XdTreeView *v = tree->view;
  v->content_w = int(std::max<long>(v->content_w, std::min(right, long(kMaxExtent))));
}

/* The content grows to a shown row's label. */
void widen(wu_tree *tree, const wu_tree_node *n) {
  if (n->label_width > 0) widenTo(tree, rowRight(tree, n));
}

/* Walks the rows shown below `top` (NULL: every row shown), top to bottom:
   each gets its offset, and each open one the rows below it, as the index
   counts them, and the content grows to their labels; `visit` is given
   each node with its row counted from the first row below `top`.  Returns
   the rows walked. */
template <class Visit>
long walkShown(wu_tree *tree, wu_tree_node *top, Visit visit) {
  XdTreeView *v = tree->view;
  std::vector<std::pair<wu_tree_node *, long>> &open = v->walk; /* open ancestors and their rows */
  open.clear();
  long right = 0;
  long row = 0;
  auto close = [&open](long end) {
    wu_tree_node *a = open.back().first;
    a->rows_below = int32_t(end - open.back().second - 1);
    open.pop_back();
  };
  wu_tree_node *c = top ? top->first_child : tree->root;
  while (c) {
    while (!open.empty() && open.back().first != c->parent) close(row);
    c->offset = int32_t(open.empty() ? row : row - open.back().second - 1);
    c->layout |= XdTREE_NODE_OFFSET_KNOWN;
    if (!c->next) *offsetLast(tree, c->parent) = c; /* every offset of the chain known */
    if (c->label_width > 0) right = std::max(right, rowRight(tree, c));
    visit(c, row);
    if (c->expanded) {
      c->layout |= XdTREE_NODE_ROWS_OPEN;
      c->rows_below = 0;
    } else {
      c->layout &= ~XdTREE_NODE_ROWS_OPEN;
    }
    if (c->expanded && c->first_child) {
      open.emplace_back(c, row++);
      c = c->first_child;
      continue;
    }
    ++row;
    for (;;) {
      if (c->next) {
        c = c->next;
        break;
      }
      c = c->parent;
      if (c == top) {
        c = nullptr;
        break;
      }
    }
  }
  while (!open.empty()) close(row);
  widenTo(tree, right);
  return row;
}

/* The node's expanded flag may have changed: a shown node's rows follow,
   those of an opened one when the index is next asked. */
void openChanged(wu_tree *tree, wu_tree_node *n, bool now = false) {
  if (!tree || tree->destroying || (n->expanded != 0) == rowsOpen(n)) return;
  /* Below a closed node the rows are counted when it opens. */
  if (!indexShown(n)) return;
  if (n->expanded && !now) {
    if (!(n->layout & XdTREE_NODE_OPEN_PENDING)) {
      n->layout |= XdTREE_NODE_OPEN_PENDING;
      tree->view->opened.push_back(n);
    }
  } else if (n->expanded) {
    const long rows = walkShown(tree, n, [](wu_tree_node *, long) {});
    n->layout |= XdTREE_NODE_ROWS_OPEN;
    n->rows_below = int32_t(rows);
    spanChanged(tree, n, rows);
  } else {
    const long rows = n->rows_below;
    n->layout &= ~XdTREE_NODE_ROWS_OPEN;
    spanChanged(tree, n, -rows);
  }
}

/* The index counts the rows of the nodes opened since it was last asked
   (those still open and shown), before it answers. */
void countOpened(wu_tree *tree) {
  XdTreeView *v = tree->view;
  if (tree->destroying) v->opened.clear(); /* released with the tree */
  for (wu_tree_node *n : v->opened) {
    n->layout &= ~XdTREE_NODE_OPEN_PENDING;
    openChanged(tree, n, true); /* walks; opens nothing more */
  }
  v->opened.clear();
}

/* A layout counts every row shown: what was opened is counted with them. */
void forgetOpened(wu_tree *tree) {
  for (wu_tree_node *n : tree->view->opened) n->layout &= ~XdTREE_NODE_OPEN_PENDING;
  tree->view->opened.clear();
}

/* A new node was linked in (closed, its layout flags clear). */
void rowLinked(wu_tree *tree, wu_tree_node *n) {
  n->level = n->parent ? n->parent->level + 1 : 1;
  n->rows_below = 0;
  n->offset_last = nullptr;
  forgetOffsetsAfter(tree, n->parent, n->prev);
  if (n->parent && !(rowsOpen(n->parent) && indexShown(n->parent))) return;
  spanChanged(tree, n, 1);
}

/* The whole subtree below a node is about to go: the index stops counting
   its rows at once, rather than one row per node released. */
void subtreeGoing(wu_tree *tree, wu_tree_node *n) {
  if (!rowsOpen(n) || !indexShown(n)) return;
  n->layout &= ~XdTREE_NODE_ROWS_OPEN;
  spanChanged(tree, n, -long(n->rows_below));
}

/* A node (without children by now) is about to be unlinked. */
void rowUnlinking(wu_tree *tree, wu_tree_node *n) {
  if (tree->destroying) return;
  if (n->layout & XdTREE_NODE_OPEN_PENDING) countOpened(tree); /* before the node goes */
  if (tree->view->subtree_going) {
    /* Its whole chain goes: the chain's offsets are forgotten at once,
       not node by node (a read meanwhile counts them from its first). */
    *offsetLast(tree, n->parent) = nullptr;
  } else {
    forgetOffsetsAfter(tree, n->parent, n->prev);
  }
  n->layout &= ~XdTREE_NODE_OFFSET_KNOWN;
  if (n->parent && !(rowsOpen(n->parent) && indexShown(n->parent))) return;
  spanChanged(tree, n, -spanOf(n));
}

/* Redraws the view now, or at the end of the batch of changes under way. */
void repaint(wu_tree *tree);

/* Batches the repaints of several rows' changes into one. */
struct PaintBatch {
  Held h; /* owner functions called meanwhile may end the tree */
  explicit PaintBatch(wu_tree *t) : h(t, nullptr) { ++t->view->hold_paint; }
  ~PaintBatch() {
    if (!h.treeAlive()) return;
    XdTreeView *v = h.tree->view;
    if (--v->hold_paint == 0 && v->paint_wanted) repaint(h.tree);
  }
  PaintBatch(const PaintBatch &) = delete;
  PaintBatch &operator=(const PaintBatch &) = delete;
};

/* What a node's row shows is kept in its layout flags; the buttons, when
   the node holds them, show the same. */
void showIconOpen(wu_tree_node *n, bool open) {
  const bool was = (n->layout & XdTREE_NODE_ICON_OPEN) != 0;
  if (open)
    n->layout |= XdTREE_NODE_ICON_OPEN;
  else
    n->layout &= ~XdTREE_NODE_ICON_OPEN;
  if (n->icon) {
    Pixmap want = open ? n->open_pixmap : n->closed_pixmap;
    if (reinterpret_cast<XmLabelWidget>(n->icon)->label.pixmap != want)
      XtVaSetValues(n->icon, XmNlabelPixmap, want, NULL);
  } else if (was != open && n->tree) { /* a node being deleted is in no tree */
    repaint(n->tree);
  }
}

void showHandleMinus(wu_tree_node *n, bool minus) {
  if (minus)
    n->layout |= XdTREE_NODE_HANDLE_MINUS;
  else
    n->layout &= ~XdTREE_NODE_HANDLE_MINUS;
  if (!n->handle) return;
  wu_tree *tree = n->tree;
  Pixmap p = minus ? tree->minus : tree->plus;
  if (reinterpret_cast<XmLabelWidget>(n->handle)->label.pixmap != p)
    XtVaSetValues(n->handle, XmNlabelPixmap, p, XmNlabelInsensitivePixmap, p, NULL);
}

/* What the node's handle shows, or will once the layout due (or its row
   coming into view) draws it: a node with a handle shows whether it is
   expanded; one that lost its handle keeps the picture it had, and one
   never drawn shows what its first layout will. */
bool handleShowsPlus(wu_tree_node *n) {
  if (n->has_handle || !(n->layout & XdTREE_NODE_SHOWN)) return !n->expanded;
  return !(n->layout & XdTREE_NODE_HANDLE_MINUS);
}

bool labelShowsFocus(wu_tree_node *n) { return (n->layout & XdTREE_NODE_INVERSE) != 0; }

void setExpanded(wu_tree_node *n, unsigned char expanded) {
  n->expanded = expanded;
  n->expanded_copy = expanded;
  if (n->expanded_word) *n->expanded_word = expanded;
  openChanged(n->tree, n);
}

/* ---------------------------------------------------------------------- */
/* Selection list: each node at most once, in the first empty slot.        */
/* ---------------------------------------------------------------------- */

void selectionAdd(wu_tree *tree, wu_tree_node *n) {
  n->selected = 1;
  _XdTreeSetFocusColors(n, 1);
  if (n->selection_slot) return;
  int32_t slot = 0;
  while (slot < tree->selection_size && tree->selection[slot]) ++slot;
  if (slot == tree->selection_size) {
    int32_t size = tree->selection_size ? tree->selection_size * 2 : kSelectionSlots;
    auto *grown = reinterpret_cast<wu_tree_node **>(
        XtRealloc(reinterpret_cast<char *>(tree->selection), size * sizeof(wu_tree_node *)));
    std::fill(grown + tree->selection_size, grown + size, nullptr);
    tree->selection = grown;
    tree->selection_size = size;
  }
  tree->selection[slot] = n;
  n->selection_slot = slot + 1;
  ++tree->selection_count;
}

void selectionRemove(wu_tree *tree, wu_tree_node *n, bool recolour) {
  n->selected = 0;
  if (recolour) _XdTreeSetFocusColors(n, 0);
  if (!n->selection_slot) return;
  tree->selection[n->selection_slot - 1] = nullptr;
  n->selection_slot = 0;
  --tree->selection_count;
}

void selectionClear(wu_tree *tree) {
  PaintBatch batch(tree);
  for (int32_t i = 0; i < tree->selection_size && tree->selection_count > 0; ++i)
    if (tree->selection[i]) selectionRemove(tree, tree->selection[i], true);
}

/* ---------------------------------------------------------------------- */
/* Activation                                                              */
/* ---------------------------------------------------------------------- */

void callLabelActivate(wu_tree_node *n) {
  XmPushButtonCallbackStruct cbs = {};
  cbs.reason = XmCR_ACTIVATE;
  cbs.click_count = 1;
  wuxatre(n->label ? n->label : n->tree->drawing_area, n, &cbs);
}

/* The tree's widgets are going: destroyed, or marked for destruction by an
   owner function that then waits in an event loop of its own, where the
   tree's timers still fire until the destruction ends. */
bool going(const wu_tree *tree) {
  return tree->destroying || tree->drawing_area->core.being_destroyed;
}

void activateTimeOut(XtPointer client, XtIntervalId *) {
  auto *n = static_cast<wu_tree_node *>(client);
  wu_tree *tree = n->tree;
  tree->activate_id = 0;
  tree->activate_node = nullptr;
  if (going(tree)) return;
  tree->focus = nullptr;
  callLabelActivate(n);
}

void cancelActivation(wu_tree *tree) {
  removeTimeOut(&tree->activate_id);
  tree->activate_node = nullptr;
}

/* After the keyboard came to the buttons: when they stood in for a
   focused row out of view (Tab from outside the tree), that row comes into
   view and takes them, keeping the keyboard. */
void obscuredTimeOut(XtPointer client, XtIntervalId *) {
  auto *tree = static_cast<wu_tree *>(client);
  const bool focus_in = tree->obscured_focus_in != 0;
  tree->obscured_id = 0;
  tree->obscured_pending = 0;
  tree->obscured_focus_in = 0;
  wu_tree_node *f = tree->focus;
  if (focus_in && f && tree->has_focus && !tree->deleting && !going(tree) &&
      tree->view->holder != f && isRow(tree, f))
    XdTreeSetFocus(tree, f, 0);
}

void startObscuredTimeOut(wu_tree *tree, bool focus_in) {
  removeTimeOut(&tree->obscured_id);
  tree->obscured_pending = 1;
  tree->obscured_focus_in = focus_in ? 1 : 0;
  tree->obscured_id = XtAppAddTimeOut(tree->app, 0, obscuredTimeOut, tree);
}

/* Handle activation: expand or collapse.  The owner's functions may
   delete the node or destroy the tree: each is checked for afterwards. */
void handleActivate(Widget w, wu_tree_node *n, XtPointer call_data) {
  wu_tree *tree = n->tree;
  if (!w) w = n->handle ? n->handle : tree->drawing_area;
  if (tree->owner_managed) {
    if (n->expand_proc) n->expand_proc(w, n, call_data);
    return;
  }
  bool toggled = false;
  if (n->first_child) {
    n->has_handle = 1;
    setExpanded(n, n->expanded ? 0 : 1);
    rowsChanged(tree);
    toggled = true;
  } else {
    n->has_handle = 0;
    if (n->handle) {
      if (isManaged(n->handle)) XtUnmanageChild(n->handle);
    } else {
      repaint(tree);
    }
  }
  Held h(tree, n);
  if (n->expand_proc) n->expand_proc(w, n, call_data);
  if (!h.treeAlive()) return;
  if (h.alive() && !n->expanded && !tree->multiple_selection && tree->focus &&
      tree->focus != n && n->first_child && _XdTreeIsChild(n->first_child, tree->focus)) {
    /* Lay out first, so the collapsed rows lose their buttons before the
       keyboard focus moves (XdTreeSetFocus lays out what is due). */
    XdTreeDraw(tree);
    if (!stillThere(h, "moving the focus to the collapsed node")) return;
    XdTreeSetFocus(tree, n, 1);
    if (!stillThere(h, "telling the collapsed node's select function")) return;
    cancelActivation(tree);
    if (n->select_proc) n->select_proc(n->label ? n->label : w, n, nullptr);
    if (!h.treeAlive()) return;
  }
  if (toggled) XdTreeDraw(tree);
}

/* The buttons serve whichever node holds them now: the callbacks find it
   through the button.  Clicks come through XdTreePress; these serve the
   keyboard's activation (osfActivate, space) of the focused row. */
void handleActivateCB(Widget w, XtPointer, XtPointer call) {
  if (wu_tree_node *n = nodeOfButton(w)) handleActivate(w, n, call);
}

void labelActivateCB(Widget w, XtPointer, XtPointer call) {
  if (wu_tree_node *n = nodeOfButton(w)) wuxatre(w, n, call);
}

/* The widget the owner's functions are given for a node: its button when
   it holds them, else the drawing area. */
Widget nodeWidget(wu_tree_node *n, int part) {
  Widget w = part == XdTREE_PART_HANDLE ? n->handle : part == XdTREE_PART_ICON ? n->icon : n->label;
  return w ? w : n->tree->drawing_area;
}

void doubleClick(Widget w, wu_tree_node *n, XEvent *event) {
  if (!n->tree->view->drawn) return;
  if (n->double_click_proc)
    n->double_click_proc(w, n, event);
  else
    XdTreeToggleNode(n);
}

/* Button 1 pressed on a row's part, drawn or a button: Shift (with
   multiple selection) adds an icon's or label's node to the selection; a
   second press on the same node within the multi-click time is the double
   click; otherwise the handle toggles the node and the icon and label
   select it, on the press. */
void pressAt(wu_tree *tree, wu_tree_node *n, int part, Widget w, XEvent *event) {
  XdTreeView *v = tree->view;
  v->over_node = n;
  v->over_part = part;
  if (tree->multiple_selection && part != XdTREE_PART_HANDLE &&
      (event->xbutton.state & ShiftMask)) {
    selectionAdd(tree, n);
    if (n->select_proc) n->select_proc(w, n, event);
    return;
  }
  const Time t = event->xbutton.time;
  const unsigned long multi = unsigned(XtGetMultiClickTime(XtDisplay(tree->drawing_area)));
  if (v->press_node == n && v->press_part == part && t >= v->press_time &&
      t - v->press_time <= multi) {
    v->press_node = nullptr;
    doubleClick(w, n, event);
    return;
  }
  v->press_node = n;
  v->press_part = part;
  v->press_time = t;
  XmPushButtonCallbackStruct cbs = {};
  cbs.reason = XmCR_ACTIVATE;
  cbs.event = event;
  cbs.click_count = 1;
  if (part == XdTREE_PART_HANDLE)
    handleActivate(w, n, &cbs);
  else
    wuxatre(w, n, &cbs);
}

/* Button 1 held, the pointer enters a node's icon or label: multiple
   selection (without Shift adds the node, with Shift removes it). */
void enterAt(wu_tree *tree, wu_tree_node *n, Widget w, XEvent *event, unsigned state) {
  if (!tree->multiple_selection) return;
  if (!tree->owner_managed) {
    if (state & ShiftMask)
      selectionRemove(tree, n, true);
    else
      selectionAdd(tree, n);
  }
  if (n->select_proc) n->select_proc(w, n, event);
}

/* Entering the icon or label button of the row holding the buttons. */
void nodeEventHandler(Widget w, XtPointer, XEvent *event, Boolean *) {
  wu_tree_node *n = nodeOfButton(w);
  if (!n || event->type != EnterNotify || !(event->xcrossing.state & Button1Mask)) return;
  wu_tree *tree = n->tree;
  XdTreeView *v = tree->view;
  const int part = w == n->icon ? XdTREE_PART_ICON : XdTREE_PART_LABEL;
  /* The buttons may arrive under a pointer already on the row's part. */
  if (v->over_node == n && v->over_part == part) return;
  v->over_node = n;
  v->over_part = part;
  enterAt(tree, n, w, event, event->xcrossing.state);
}

/* Pointer input on the drawing area: the drawn rows. */
void areaInput(Widget da, XtPointer client, XEvent *event, Boolean *) {
  auto *tree = static_cast<wu_tree *>(client);
  XdTreeView *v = tree->view;
  if (tree->destroying || !v->drawn) return;
  if (event->type == ButtonPress) {
    if (event->xbutton.button != Button1) return;
    int part = XdTREE_PART_NONE;
    wu_tree_node *n = _XdTreeNodeAt(tree, event->xbutton.x, event->xbutton.y, &part);
    v->over_node = n;
    v->over_part = part;
    if (n) pressAt(tree, n, part, nodeWidget(n, part), event);
  } else if (event->type == MotionNotify && (event->xmotion.state & Button1Mask)) {
    int part = XdTREE_PART_NONE;
    wu_tree_node *n = _XdTreeNodeAt(tree, event->xmotion.x, event->xmotion.y, &part);
    if (part == XdTREE_PART_HANDLE) n = nullptr, part = XdTREE_PART_NONE;
    if (n == v->over_node && part == v->over_part) return;
    v->over_node = n;
    v->over_part = part;
    /* The buttons' own windows see the pointer enter them. */
    if (n && !n->label) enterAt(tree, n, da, event, event->xmotion.state);
  } else if (event->type == ButtonRelease) {
    v->over_node = nullptr;
    v->over_part = XdTREE_PART_NONE;
  }
}

/* ---------------------------------------------------------------------- */
/* Actions                                                                 */
/* ---------------------------------------------------------------------- */

wu_tree_node *lastVisibleBelow(wu_tree_node *n) {
  n = n->last_child;
  while (n->expanded && n->first_child) n = n->last_child;
  return n;
}

wu_tree_node *previousVisible(wu_tree_node *n) {
  wu_tree_node *p = n->prev;
  if (p) return (p->expanded && p->first_child) ? lastVisibleBelow(p) : p;
  return n->parent;
}

wu_tree_node *nextVisible(wu_tree_node *n) {
  if (n->expanded && n->first_child) return n->first_child;
  for (; n; n = n->parent)
    if (n->next) return n->next;
  return nullptr;
}

KeySym virtualKey(XEvent *event) {
  if (!event || (event->type != KeyPress && event->type != KeyRelease)) return NoSymbol;
  Modifiers mods = 0;
  KeySym sym = NoSymbol;
  XmTranslateKey(event->xkey.display, event->xkey.keycode, event->xkey.state, &mods, &sym);
  return sym;
}

void traverseAction(Widget w, XEvent *event, String *, Cardinal *) {
  wu_tree_node *n = nodeOfButton(w);
  if (!n) return;
  wu_tree *tree = n->tree;
  KeySym key = virtualKey(event);
  wu_tree_node *target = nullptr;
  switch (key) {
    case osfXK_Up:
    case XK_Up:
      target = previousVisible(n);
      break;
    case osfXK_Down:
    case XK_Down:
      target = nextVisible(n);
      break;
    case osfXK_Left:
    case XK_Left:
      if (n->expanded) {
        handleActivate(n->handle, n, nullptr);
        return;
      }
      target = n->parent;
      break;
    case osfXK_Right:
    case XK_Right:
      if (!n->expanded) {
        handleActivate(n->handle, n, nullptr);
        return;
      }
      target = n->first_child;
      break;
    default:
      return;
  }
  if (!target) {
    _XdBell(w);
    return;
  }
  Held h(tree, target);
  tree->traversing = 1;
  XdTreeSetFocus(tree, target, 1);
  if (h.treeAlive()) tree->traversing = 0;
}

void scrWinKeyAction(Widget, XEvent *, String *, Cardinal *) {}

void focusInAction(Widget w, XEvent *, String *, Cardinal *) {
  wu_tree_node *n = nodeOfButton(w);
  if (!n) return;
  wu_tree *tree = n->tree;
  if (n != tree->focus) startObscuredTimeOut(tree, true);
  if (tree->traversing) return;
  tree->has_focus = 1;
  if (n == tree->focus) _XdTreeSetFocusColors(n, 1);
}

void focusOutAction(Widget w, XEvent *, String *, Cardinal *) {
  wu_tree_node *n = nodeOfButton(w);
  if (!n) return;
  wu_tree *tree = n->tree;
  if (n == tree->focus && !tree->multiple_selection) _XdTreeSetFocusColors(n, 0);
  if (tree->traversing) return;
  tree->has_focus = 0;
  /* The keyboard left buttons that wait out of view with the focused row:
     a row in view takes them, so that Tab can come back. */
  XdTreeView *v = tree->view;
  if (v->layout_pending) return; /* the layout due places them */
  if (n == v->holder && isRow(tree, n) && !inView(v, n))
    layoutView(tree);
}

void doubleClickAction(Widget w, XEvent *event, String *, Cardinal *) {
  if (wu_tree_node *n = nodeOfButton(w)) doubleClick(w, n, event);
}

/* Button 1 on one of the buttons: as on a drawn row. */
void pressAction(Widget w, XEvent *event, String *, Cardinal *) {
  wu_tree_node *n = nodeOfButton(w);
  if (!n || !event || event->type != ButtonPress || !n->tree->view->drawn) return;
  const int part = w == n->handle ? XdTREE_PART_HANDLE
                   : w == n->icon ? XdTREE_PART_ICON
                                  : XdTREE_PART_LABEL;
  pressAt(n->tree, n, part, w, event);
}

/* Button 2 on one of the buttons: the drawing area gets the press, at the
   same place, as it does on every drawn row, so that a drag started there
   is the same on the focused row as on the others (and not the label's own
   drag of its text). */
void areaPressAction(Widget w, XEvent *event, String *, Cardinal *) {
  wu_tree_node *n = nodeOfButton(w);
  if (!n || !event || event->type != ButtonPress) return;
  Widget da = n->tree->drawing_area;
  if (!XtIsRealized(da) || XtParent(w) != da) return;
  XEvent e = *event;
  e.xbutton.window = XtWindow(da);
  e.xbutton.subwindow = None;
  e.xbutton.x += XtX(w) + XtBorderWidth(w);
  e.xbutton.y += XtY(w) + XtBorderWidth(w);
  XtDispatchEventToWidget(da, &e);
}

void deleteRequestAction(Widget w, XEvent *event, String *, Cardinal *) {
  wu_tree_node *n = nodeOfButton(w);
  if (n && n->delete_proc) n->delete_proc(w, n, event);
}

XtActionsRec tree_actions[] = {
    {const_cast<char *>("XdTreeTraverse"), traverseAction},
    {const_cast<char *>("XdTreeScrWinKey"), scrWinKeyAction},
    {const_cast<char *>("XdTreeFocusIn"), focusInAction},
    {const_cast<char *>("XdTreeFocusOut"), focusOutAction},
    {const_cast<char *>("XdTreeDoubleClick"), doubleClickAction},
    {const_cast<char *>("XdTreeDeleteRequest"), deleteRequestAction},
    {const_cast<char *>("XdTreePress"), pressAction},
    {const_cast<char *>("XdTreeAreaPress"), areaPressAction},
};

/* The actions are registered once per application context, on the first
   display of it that shows a tree. */
void registerActions(XtAppContext app, Display *dpy) {
  if (_XdFirstOnDisplay(dpy, tree_actions)) XtAppAddActions(app, tree_actions, XtNumber(tree_actions));
}

XtTranslations nodeTranslations() {
  static XtTranslations table = XtParseTranslationTable(kNodeTranslations);
  return table;
}

XtTranslations scrollTranslations() {
  static XtTranslations table = XtParseTranslationTable(kScrollTranslations);
  return table;
}

/* ---------------------------------------------------------------------- */
/* Drawing                                                                 */
/* ---------------------------------------------------------------------- */

void copyLines(wu_tree *tree, int x, int y, int w, int h) {
  Widget da = tree->drawing_area;
  if (!XtIsRealized(da) || !tree->lines_pixmap) return;
  int pw = tree->view->pix_w, ph = tree->view->pix_h;
  if (x < 0) { w += x; x = 0; }
  if (y < 0) { h += y; y = 0; }
  w = std::min(w, pw - x);
  h = std::min(h, ph - y);
  if (w <= 0 || h <= 0) return;
  XCopyArea(XtDisplay(da), tree->lines_pixmap, XtWindow(da), tree->line_gc, x, y,
            unsigned(w), unsigned(h), x, y);
}

void exposeCB(Widget, XtPointer client, XtPointer call) {
  auto *tree = static_cast<wu_tree *>(client);
  auto *cbs = static_cast<XmDrawingAreaCallbackStruct *>(call);
  if (flushLayout(tree)) return; /* painted and copied whole */
  if (cbs && cbs->event && cbs->event->type == Expose) {
    const XExposeEvent &e = cbs->event->xexpose;
    copyLines(tree, e.x, e.y, e.width, e.height);
  } else {
    copyLines(tree, 0, 0, tree->view->pix_w, tree->view->pix_h);
  }
}

/* A node's row in view coordinates: rows are numbered from 0 and the
   centre of row i lies at R * (i + 1) + top margin in the coordinates of
   the whole tree. */
long rowCentre(wu_tree *tree, long row) {
  return long(tree->row_height) * (row + 1) + tree->top_margin;
}

bool isRow(wu_tree *tree, wu_tree_node *n) {
  XdTreeView *v = tree->view;
  return n && n->row >= 0 && size_t(n->row) < v->rows.size() && v->rows[size_t(n->row)] == n;
}

/* A shown node's row lies among the rows in view (as last laid out). */
bool inView(const XdTreeView *v, const wu_tree_node *n) {
  return size_t(n->row) >= v->first && size_t(n->row) <= v->last;
}

/* The rows shown, top to bottom, with each node's row; the row index
   counts them all again (also what an owner set in `expanded` itself). */
void rebuildRows(wu_tree *tree) {
  XdTreeView *v = tree->view;
  ++v->layouts;
  v->rows.clear();
  forgetOpened(tree);
  v->shown_rows = walkShown(tree, nullptr, [v](wu_tree_node *n, long row) {
    n->row = int32_t(row);
    v->rows.push_back(n);
  });
  v->dirty = false;
}

/* A node's row, or the row it has at the layout due: -1 when it is not
   shown. */
long currentRow(wu_tree *tree, wu_tree_node *n) {
  if (!n || n->tree != tree) return -1;
  if (!tree->view->dirty) return isRow(tree, n) ? n->row : -1;
  countOpened(tree);
  return indexShown(n) ? indexRow(tree, n) : -1;
}

long contentHeight(wu_tree *tree) {
  XdTreeView *v = tree->view;
  if (v->dirty) countOpened(tree);
  long rows = v->dirty ? v->shown_rows : long(v->rows.size());
  if (rows == 0) return 1;
  long h = rowCentre(tree, rows - 1) + tree->row_height / 2 + 1 + kContentPad;
  return std::min(h, long(kMaxExtent));
}

void setBar(Widget bar, int maximum, int slider, int value, int increment, int page) {
  if (!bar) return;
  slider = std::max(1, std::min(slider, maximum));
  value = std::max(0, std::min(value, maximum - slider));
  /* Read from the bar itself (every layout asks; the resource machinery
     would cost more than the rest of a page's layout). */
  const XmScrollBarPart &b = reinterpret_cast<XmScrollBarWidget>(bar)->scrollBar;
  if (b.maximum == maximum && b.slider_size == slider && b.value == value &&
      b.increment == std::max(1, increment) && b.page_increment == std::max(1, page) &&
      b.minimum == 0)
    return;
  XtVaSetValues(bar, XmNminimum, 0, XmNmaximum, maximum, XmNsliderSize, slider, XmNvalue, value,
                XmNincrement, std::max(1, increment), XmNpageIncrement, std::max(1, page), NULL);
}

/* The view's offsets stay within the content. */
void clampOffsets(wu_tree *tree, int view_w, int view_h) {
  XdTreeView *v = tree->view;
  int max_top = int(std::max(0L, contentHeight(tree) - view_h));
  int max_left = std::max(0, v->content_w - view_w);
  v->top = std::max(0, std::min(v->top, max_top));
  v->left = std::max(0, std::min(v->left, max_left));
}

/* The scroll bars follow the content and the view; the offsets stay
   within them. */
void updateBars(wu_tree *tree, int view_w, int view_h) {
  XdTreeView *v = tree->view;
  long content_h = contentHeight(tree);
  clampOffsets(tree, view_w, view_h);
  const int R = std::max(1, int(tree->row_height));
  /* A page is whole rows: the rows of the next page fall where those of
     this one were, and their buttons need not move. */
  setBar(tree->vsb, int(std::max<long>(content_h, view_h)), view_h, v->top, R,
         std::max(R, (view_h / R - 1) * R));
  setBar(tree->hsb, std::max(v->content_w, view_w), view_w, v->left, R,
         std::max(R, view_w - R));
}

/* One dashed segment in view coordinates, clipped to the view with its
   dashes kept in step with where the unclipped line starts. */
struct Lines {
  Display *dpy;
  Drawable d;
  GC even, odd; /* dash offsets 0 and 1 */
  int w, h;
  GC dashes(long offset) { return (offset & 1) ? odd : even; }
  void horizontal(long x1, long x2, long y) {
    if (y < -1 || y > h || x2 < -1 || x1 > w || x2 < x1) return;
    long left = std::max(x1, -1L), right = std::min(x2, long(w) + 1);
    XDrawLine(dpy, d, dashes(left - x1), int(left), int(y), int(right), int(y));
  }
  void vertical(long x, long y1, long y2, long chain_top, long top) {
    long clipped = std::max(y1, -1L);
    /* Dashes run from the chain's top. */
    XDrawLine(dpy, d, dashes((clipped + top) - chain_top), int(x), int(clipped), int(x),
              int(std::min(y2, long(h) + 1)));
  }
};

/* Where a node's row puts it, across and down. */
Place placeOf(wu_tree *tree, wu_tree_node *n, long row) {
  Place p = placeAcross(tree, n);
  const long centre = rowCentre(tree, row);
  p.handle_y = centre - tree->handle_height / 2;
  p.line_y = p.handle_y + tree->handle_height / 2 + 1;
  p.icon_y = centre - n->icon_height / 2;
  p.label_y = centre - n->label_height / 2 + 1;
  return p;
}

Place placeOf(wu_tree *tree, wu_tree_node *n) { return placeOf(tree, n, n->row); }

/* The top of the vertical line of the chain `n` belongs to. */
long chainTop(wu_tree *tree, wu_tree_node *n) {
  wu_tree_node *first = n->parent ? n->parent->first_child : tree->root;
  long top = rowCentre(tree, first->row) - tree->handle_height / 2;
  return n->parent ? top - kChildLineRise : top;
}

Position clampPos(long v) { return Position(std::max(-30000L, std::min(30000L, v))); }

/* The label text as drawn, made when the node is inserted or changed. */
XmString labelString(wu_tree_node *n) {
  if (!n->label_string) n->label_string = _XdMakeString(n->text ? n->text : "");
  return n->label_string;
}

/* Measures a node's label as its button would size itself and grows the
   row height to fit the label and icon buttons; true when the rows got
   taller. */
bool measure(wu_tree *tree, wu_tree_node *n) {
  if (n->layout & XdTREE_NODE_MEASURED) return false;
  const XdTreeMetrics &m = tree->view->m;
  Dimension w = 0, h = 0;
  XmStringExtent(m.font, labelString(n), &w, &h);
  n->label_width = int16_t(std::min(32767, int(w) + m.label_extra_w));
  n->label_height = int16_t(std::min(32767, int(h) + m.label_extra_h));
  n->layout |= XdTREE_NODE_MEASURED;
  const int32_t before = tree->row_height;
  tree->row_height = std::max({tree->row_height, int32_t(n->label_height + m.label_ht),
                               int32_t(n->icon_height + m.icon_extra_h)});
  return tree->row_height != before;
}

/* The row GC's foreground, set only when it changes. */
void ink(XdTreeView *v, Display *dpy, Pixel colour) {
  if (v->text_fg_known && v->text_fg == colour) return;
  XSetForeground(dpy, v->text_gc, colour);
  v->text_fg = colour;
  v->text_fg_known = true;
}

void fill(XdTreeView *v, Display *dpy, Drawable d, Pixel colour, long x, long y, long w, long h) {
  if (w <= 0 || h <= 0) return;
  ink(v, dpy, colour);
  XFillRectangle(dpy, d, v->text_gc, int(x), int(y), unsigned(w), unsigned(h));
}

/* A picture with its mask (None: the whole rectangle). */
void picture(Display *dpy, Drawable d, GC gc, Pixmap p, Pixmap mask, long x, long y, int w, int h) {
  if (!p || w <= 0 || h <= 0) return;
  if (mask) {
    XSetClipMask(dpy, gc, mask);
    XSetClipOrigin(dpy, gc, int(x), int(y));
  }
  XCopyArea(dpy, p, d, gc, 0, 0, unsigned(w), unsigned(h), int(x), int(y));
  if (mask) XSetClipMask(dpy, gc, None);
}

/* Draws a node's row as its handle, icon and label buttons would show it:
   each button's rectangle in its background (which covers the lines, as
   the buttons' windows did), its picture or text at the button's offsets.
   The label's highlight ring is the drawing area's background. */
void drawRow(wu_tree *tree, wu_tree_node *n, const Place &p, Display *dpy, Drawable d,
             int view_w) {
  XdTreeView *v = tree->view;
  const XdTreeMetrics &m = v->m;
  GC gc = v->text_gc;
  const long top = v->top, left = v->left;
  const long hx = p.x - left;
  if (hx > view_w) return;
  if (n->has_handle && n->parent && n->expandable) {
    const long hy = p.handle_y - top;
    const bool minus = n->expanded != 0;
    fill(v, dpy, d, tree->background, hx, hy, m.handle_w, m.handle_h);
    picture(dpy, d, gc, minus ? tree->minus : tree->plus, minus ? tree->minus_mask : tree->plus_mask,
            hx + m.handle_dx, hy + m.handle_dy, tree->handle_width, tree->handle_height);
  }
  const long ix = p.icon_x - left, iy = p.icon_y - top;
  const bool open = (n->layout & XdTREE_NODE_ICON_OPEN) != 0;
  fill(v, dpy, d, tree->background, ix, iy, n->icon_width + m.icon_extra_w,
       n->icon_height + m.icon_extra_h);
  picture(dpy, d, gc, open ? n->open_pixmap : n->closed_pixmap, open ? n->open_mask : n->closed_mask,
          ix + m.icon_dx, iy + m.icon_dy, n->icon_width, n->icon_height);
  const long lx = p.label_x - left, ly = p.label_y - top;
  if (lx > view_w) return;
  /* No line reaches a label: its ring and normal background are the
     view's, filled already. */
  const bool inverse = labelShowsFocus(n);
  const long ht = m.label_ht;
  if (inverse)
    fill(v, dpy, d, tree->focus_background, lx + ht, ly + ht, n->label_width - 2 * ht,
         n->label_height - 2 * ht);
  ink(v, dpy, inverse ? tree->focus_foreground : tree->foreground);
  XmStringDraw(dpy, d, m.font, labelString(n), gc, Position(lx + m.label_dx),
               Position(ly + m.label_dy), Dimension(std::max(0, n->label_width - m.label_extra_w)),
               XmALIGNMENT_CENTER, XmSTRING_DIRECTION_L_TO_R, nullptr);
}

/* Draws the rows in view (lines first, then each row) into the view
   pixmap, and copies it to the window. */
void paintView(wu_tree *tree) {
  XdTreeView *v = tree->view;
  Widget da = tree->drawing_area;
  Display *dpy = XtDisplay(da);
  const int view_w = std::max<int>(1, XtWidth(da));
  const int view_h = std::max<int>(1, XtHeight(da));
  if (!tree->lines_pixmap || v->pix_w != view_w || v->pix_h != view_h) {
    if (tree->lines_pixmap) XFreePixmap(dpy, tree->lines_pixmap);
    tree->lines_pixmap = XCreatePixmap(dpy, RootWindowOfScreen(XtScreen(da)), unsigned(view_w),
                                       unsigned(view_h), unsigned(tree->depth));
    v->pix_w = view_w;
    v->pix_h = view_h;
  }
  v->paint_wanted = false;
  ++v->paints;
  if (!v->text_gc && !(v->text_gc = depthGC(tree, dpy, XtScreen(da)))) return;
  fill(v, dpy, tree->lines_pixmap, tree->background, 0, 0, view_w, view_h);
  /* The connecting lines' GCs, one per dash offset, made once. */
  for (int phase = 0; phase < 2; ++phase) {
    GC &gc = v->dash_gc[phase];
    if (gc) continue;
    gc = depthGC(tree, dpy, XtScreen(da));
    XSetForeground(dpy, gc, tree->foreground);
    XSetLineAttributes(dpy, gc, 1, LineOnOffDash, CapButt, JoinRound);
    XSetDashes(dpy, gc, phase, kDashes, sizeof kDashes);
  }
  Lines lines = {dpy, tree->lines_pixmap, v->dash_gc[0], v->dash_gc[1], view_w, view_h};
  const long top = v->top, left = v->left;
  const long hw = tree->handle_width;
  const bool many_roots = tree->root && tree->root->next;
  const size_t count = v->rows.size();
  const size_t first = v->first, last = std::min(v->last, count ? count - 1 : 0);

  for (size_t i = first; count > 0 && i <= last; ++i) {
    wu_tree_node *n = v->rows[i];
    Place p = placeOf(tree, n);
    n->x = int32_t(p.x);
    n->handle_y = int32_t(std::min(p.handle_y, long(INT32_MAX)));
    n->icon_x = int32_t(p.icon_x);
    n->icon_y = int32_t(std::min(p.icon_y, long(INT32_MAX)));
    n->label_x = int16_t(std::min(p.label_x, 32767L));
    n->label_y = int16_t(std::min(p.label_y, 32767L));
    v->content_w = int(std::max<long>(v->content_w, std::min(p.label_x + n->label_width + kContentPad,
                                                              long(kMaxExtent))));
    n->layout |= XdTREE_NODE_SHOWN;
    if (n->has_handle) {
      if (n->expanded)
        n->layout |= XdTREE_NODE_HANDLE_MINUS;
      else
        n->layout &= ~XdTREE_NODE_HANDLE_MINUS;
    }
    if (tree->focus == n)
      n->layout |= XdTREE_NODE_ICON_OPEN;
    else
      n->layout &= ~XdTREE_NODE_ICON_OPEN;

    const long vx = p.x + hw / 2 + 1 - left;
    if (n->parent) lines.horizontal(vx, p.line_end - left, p.line_y - top);
    /* The chain's vertical line down to this node, from the sibling above
       or from the chain's top. */
    if (n->parent || many_roots) {
      long from = n->prev ? placeOf(tree, n->prev).line_y : chainTop(tree, n);
      long chain_top = chainTop(tree, n);
      long y1 = from - top, y2 = p.line_y - top;
      if (y2 >= -1 && y1 <= view_h && vx >= -1 && vx <= view_w)
        lines.vertical(vx, y1, y2, chain_top, top);
    }
  }
  /* Lines that run on below the view: the chains of the last row and of
     its ancestors continue to their next siblings. */
  if (count > 0) {
    for (wu_tree_node *a = v->rows[last]; a; a = a->parent) {
      if (!a->next || !(a->parent || many_roots)) continue;
      Place p = placeOf(tree, a);
      long vx = p.x + hw / 2 + 1 - left;
      long y1 = p.line_y - top;
      if (y1 > view_h || vx < -1 || vx > view_w) continue;
      lines.vertical(vx, y1, long(view_h) + 1, chainTop(tree, a), top);
    }
  }
  for (size_t i = first; count > 0 && i <= last; ++i) {
    wu_tree_node *n = v->rows[i];
    drawRow(tree, n, placeOf(tree, n), dpy, tree->lines_pixmap, view_w);
  }
  tree->width = int16_t(std::min(v->content_w, 32767));
  tree->height = int16_t(std::min(contentHeight(tree), 32767L));
  copyLines(tree, 0, 0, view_w, view_h);
}

void repaint(wu_tree *tree) {
  XdTreeView *v = tree->view;
  if (v->hold_paint > 0) {
    v->paint_wanted = true;
    return;
  }
  v->paint_wanted = false;
  /* Rows changed since the last layout wait for the layout that is due
     (or, before it was drawn, for the owner's XdTreeDraw), which paints
     them: a layout per change would make a run of changes quadratic. */
  if (!v->drawn || v->laying_out || tree->destroying || v->dirty || v->layout_pending ||
      !tree->lines_pixmap || !XtIsRealized(tree->drawing_area))
    return;
  paintView(tree);
}

/* Puts the buttons on their node's row: in view they cover the drawn row
   exactly; out of view they wait below and right of it, still managed so
   that the keyboard focus stays with them. */
void placeButtons(wu_tree *tree) {
  XdTreeView *v = tree->view;
  const XdTreeButtons &b = v->buttons;
  if (!b.label) return;
  wu_tree_node *n = v->holder;
  std::vector<Widget> manage, unmanage;
  auto want = [&manage, &unmanage](Widget w, bool on) {
    bool managed = XtIsManaged(w);
    if (on && !managed)
      manage.push_back(w);
    else if (!on && managed)
      unmanage.push_back(w);
  };
  if (!n || !isRow(tree, n)) {
    for (Widget w : {b.handle, b.icon, b.label}) want(w, false);
  } else {
    showHandleMinus(n, n->has_handle ? n->expanded != 0 : !handleShowsPlus(n));
    showIconOpen(n, tree->focus == n);
    const bool in_view = inView(v, n);
    const Place p = placeOf(tree, n);
    const long top = v->top, left = v->left;
    auto move = [in_view](Widget w, long x, long y) {
      if (in_view)
        XtMoveWidget(w, clampPos(x), clampPos(y));
      else
        XtMoveWidget(w, kHiddenPos, kHiddenPos);
    };
    move(b.handle, p.x - left, p.handle_y - top);
    move(b.icon, p.icon_x - left, p.icon_y - top);
    move(b.label, p.label_x - left, p.label_y - top);
    want(b.handle, n->has_handle && n->parent);
    want(b.icon, true);
    want(b.label, true);
  }
  if (!unmanage.empty()) XtUnmanageChildren(unmanage.data(), Cardinal(unmanage.size()));
  if (!manage.empty()) XtManageChildren(manage.data(), Cardinal(manage.size()));
}

/* Lays out the rows in view: measures them, gives the buttons to the row
   that needs them, draws the rows and places the buttons.  The buttons
   serve the focused node while its row is in view or the keyboard is in
   the tree; otherwise the node that had them while its row is in view,
   else the first row in view.  Buttons out of view cannot take the
   keyboard, so this way Tab always finds a row the user sees (and one
   standing in for the focused row hands over to it). */
void layoutView(wu_tree *tree) {
  XdTreeView *v = tree->view;
  Widget da = tree->drawing_area;
  if (!v->drawn || tree->destroying || v->laying_out || !XtIsRealized(da)) return;
  if (v->dirty) rebuildRows(tree);
  /* The buttons (and what drawing needs of them) come with the first row. */
  if (!v->rows.empty() && !makeButtonSet(tree)) return;
  v->laying_out = true;
  const int view_w = std::max<int>(1, XtWidth(da));
  const int view_h = std::max<int>(1, XtHeight(da));
  size_t first = 0, last = 0;
  const size_t count = v->rows.size();
  for (int pass = 0; pass < 16; ++pass) {
    updateBars(tree, view_w, view_h);
    const long R = std::max<long>(1, tree->row_height);
    /* As many rows at any offset. */
    first = size_t(std::max(0L, v->top / R));
    last = first + size_t(view_h / R + 1);
    if (count > 0) last = std::min(last, count - 1);
    bool taller = false;
    for (size_t i = first; i <= last && i < count; ++i) taller = measure(tree, v->rows[i]) || taller;
    if (!taller) break; /* fewer rows fit: the range again */
  }
  v->first = first;
  v->last = last;
  wu_tree_node *holder = nullptr;
  if (count > 0) {
    if (tree->focus && isRow(tree, tree->focus) && (tree->has_focus || inView(v, tree->focus)))
      holder = tree->focus;
    else if (v->holder && isRow(tree, v->holder) && inView(v, v->holder))
      holder = v->holder;
    else
      holder = v->rows[first];
  }
  Held h(tree, nullptr);
  if (holder != v->holder) giveButtons(tree, holder);
  if (!h.treeAlive()) return;
  paintView(tree);
  placeButtons(tree);
  v->laying_out = false;
}

/* The offsets that bring the node's row (its icon, and as much of its
   label as fits) into view.  False when the node has no row shown. */
bool revealNode(wu_tree *tree, wu_tree_node *n) {
  XdTreeView *v = tree->view;
  if (!v->drawn || !XtIsRealized(tree->drawing_area)) return false;
  const long row = currentRow(tree, n);
  if (row < 0) return false;
  const long view_h = std::max<int>(1, XtHeight(tree->drawing_area));
  const long view_w = std::max<int>(1, XtWidth(tree->drawing_area));
  const long R = std::max<long>(1, tree->row_height);
  long row_top = rowCentre(tree, row) - R / 2;
  long row_bottom = row_top + R;
  long top = v->top;
  if (row_top < top)
    top = row_top;
  else if (row_bottom > top + view_h)
    top = row_bottom - view_h;
  Place p = placeOf(tree, n, row);
  long left = v->left;
  long right = p.label_x + std::max<long>(n->label_width, 1);
  if (p.icon_x < left)
    left = p.icon_x;
  else if (right > left + view_w)
    left = std::min(p.icon_x, right - view_w);
  v->top = int(std::max(0L, top));
  v->left = int(std::max(0L, left));
  return true;
}

/* Scrolls so that the node's row is in view.  False when the node has no
   row shown. */
bool scrollToNode(wu_tree *tree, wu_tree_node *n) {
  if (!revealNode(tree, n)) return false;
  layoutView(tree);
  return true;
}

/* The layout due, if any: the rows made, the view painted, the buttons
   placed, and (after XdTreeDraw with the keyboard in the tree) the focused
   row given the keyboard again.  True when it laid out.  A tree whose
   widgets are being destroyed (out of an owner function that then waits
   in an event loop of its own) lays nothing out any more. */
bool flushLayout(wu_tree *tree) {
  XdTreeView *v = tree->view;
  Widget da = tree->drawing_area;
  if (!v->layout_pending || v->laying_out || going(tree) || !XtIsRealized(da))
    return false;
  v->layout_pending = false;
  const bool refocus = v->refocus && tree->has_focus && tree->focus;
  v->refocus = false;
  if (refocus) {
    if (v->dirty) rebuildRows(tree);
    if (isRow(tree, tree->focus)) { /* its row comes into view, laid out once */
      XdTreeSetFocus(tree, tree->focus, 0);
      return true;
    }
  }
  Held h(tree, nullptr);
  layoutView(tree);
  if (refocus && h.treeAlive() && tree->focus) XdTreeSetFocus(tree, tree->focus, 0);
  return true;
}

/* The layout due, for a caller that goes on with the tree: false when
   the owner, told of the buttons' hand-over, destroyed the tree. */
bool flushLayoutKept(wu_tree *tree) {
  Held h(tree, nullptr);
  flushLayout(tree);
  return h.treeAlive();
}

/* Before the owner reads positions while a layout is due: the view's
   offsets as that layout will have them (the row index answers for the
   rows); the layout and the painting wait. */
void settleRows(wu_tree *tree) {
  XdTreeView *v = tree->view;
  if (!v->layout_pending || v->laying_out || tree->destroying) return;
  Widget da = tree->drawing_area;
  if (!XtIsRealized(da)) return;
  countOpened(tree); /* the content's width as the layout will have it */
  if (v->refocus && tree->has_focus && tree->focus) revealNode(tree, tree->focus);
  clampOffsets(tree, std::max<int>(1, XtWidth(da)), std::max<int>(1, XtHeight(da)));
}

/* The layout message: the tree asked itself to lay out. */
void layoutMessage(Widget, XtPointer client, XEvent *event, Boolean *) {
  auto *tree = static_cast<wu_tree *>(client);
  XdTreeView *v = tree->view;
  if (event->type != ClientMessage || event->xclient.message_type != v->layout_message) return;
  v->layout_posted_to = None;
  flushLayout(tree);
}

/* A layout is due: asked for once, through the server, so that it comes
   after the calls and the input under way.  Before the first XdTreeDraw
   nothing is due; while the view has no window its first exposure lays
   out. */
void requestLayout(wu_tree *tree) {
  XdTreeView *v = tree->view;
  Widget da = tree->drawing_area;
  if (!v->drawn || tree->destroying) return;
  v->layout_pending = true;
  if (!XtIsRealized(da) || da->core.being_destroyed || v->layout_posted_to == XtWindow(da))
    return;
  Display *dpy = XtDisplay(da);
  if (v->layout_message == None)
    v->layout_message = XInternAtom(dpy, "_XD_TREE_LAYOUT", False);
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.display = dpy;
  e.xclient.window = XtWindow(da);
  e.xclient.message_type = v->layout_message;
  e.xclient.format = 32;
  /* With no event mask the event goes to the window's own client. */
  XSendEvent(dpy, XtWindow(da), False, NoEventMask, &e);
  v->layout_posted_to = XtWindow(da);
}

/* Rows were linked, unlinked, opened or closed. */
void rowsChanged(wu_tree *tree) {
  tree->view->dirty = true;
  requestLayout(tree);
}

/* The scroll bars move the view. */
void scrollCB(Widget w, XtPointer client, XtPointer call) {
  auto *tree = static_cast<wu_tree *>(client);
  auto *cbs = static_cast<XmScrollBarCallbackStruct *>(call);
  if (!cbs) return;
  if (!flushLayoutKept(tree)) return; /* the bar's range as the changes left it */
  if (w == tree->vsb)
    tree->view->top = cbs->value;
  else
    tree->view->left = cbs->value;
  layoutView(tree);
}

void resizeCB(Widget, XtPointer client, XtPointer) {
  auto *tree = static_cast<wu_tree *>(client);
  if (!flushLayout(tree)) layoutView(tree);
}

/* ---------------------------------------------------------------------- */
/* Releasing nodes                                                         */
/* ---------------------------------------------------------------------- */

/* A node leaves: the buttons it held serve no node until the next
   layout gives them to another row; the view forgets it. */
void forgetInView(wu_tree *tree, wu_tree_node *n) {
  XdTreeView *v = tree->view;
  if (v->press_node == n) v->press_node = nullptr;
  if (v->over_node == n) v->over_node = nullptr, v->over_part = XdTREE_PART_NONE;
  if (v->holder != n) return;
  v->holder = nullptr;
  n->handle = n->icon = n->label = nullptr;
  if (tree->destroying) return; /* the buttons are gone already */
  for (Widget w : {v->buttons.handle, v->buttons.icon, v->buttons.label})
    if (w && !w->core.being_destroyed) setButtonData(w, nullptr);
}

/* Releases one node; `linked` when it is still in its sibling chain.  The
   release function may re-enter the tree: the node is out of every list by
   then, and a nested delete is refused while nodes are being released.  It
   may also destroy the tree: the node is freed all the same, and false
   tells the caller that the tree is gone. */
/* `guard` names the tree for the whole deletion: a release function that
   destroys the tree clears it, and the release stops there. */
bool releaseNode(wu_tree *tree, wu_tree_node *n, const Held &guard, bool linked = true) {
  if (tree->focus == n) tree->focus = n->parent ? n->parent : n->next ? n->next : n->prev;
  if (linked) unlink(tree, n);
  rowsChanged(tree);
  n->tree = tree; /* a deleted top node was marked as out of the tree */
  if (tree->activate_node == n) cancelActivation(tree);
  removeTimeOut(&tree->obscured_id);
  selectionRemove(tree, n, false);
  if (n->release_proc) {
    ++tree->releasing;
    n->release_proc(n->label, n, nullptr);
    if (!guard.treeAlive()) { /* the tree went; its widgets with it */
      forgetNode(n);
      if (n->label_string) XmStringFree(n->label_string);
      XtFree(n->text);
      XtFree(reinterpret_cast<char *>(n));
      return false;
    }
    --tree->releasing;
    if (tree->focus == n) tree->focus = nullptr;
    if (tree->activate_node == n) cancelActivation(tree);
    selectionRemove(tree, n, false);
  }
  forgetNode(n);
  forgetInView(tree, n);
  if (n->label_string) XmStringFree(n->label_string);
  XtFree(n->text);
  XtFree(reinterpret_cast<char *>(n));
  return true;
}

/* The buttons served a deleted node.  With a focus they stay as they are,
   keyboard and all, until the layout the deletion made due gives them to
   the focused row and places them there (the same widgets, so a keyboard
   focus in them stays): a run of deletions hands them on once, and
   buttons moved out of view meanwhile would lose the keyboard.  With no
   focus they wait, unmanaged, for the next layout. */
void buttonsAfterDelete(wu_tree *tree) {
  XdTreeView *v = tree->view;
  wu_tree_node *focus = tree->focus;
  if (focus && focus->tree == tree && v->drawn) return;
  std::vector<Widget> shown;
  for (Widget w : {v->buttons.handle, v->buttons.icon, v->buttons.label})
    if (isManaged(w)) shown.push_back(w);
  if (!shown.empty()) XtUnmanageChildren(shown.data(), Cardinal(shown.size()));
}

/* Releases everything below `top`, deepest nodes first; false when a
   release function destroyed the tree (which released the rest). */
bool releaseChildren(wu_tree *tree, wu_tree_node *top, const Held &guard) {
  wu_tree_node *c = top->first_child;
  while (c) {
    while (c->first_child) c = c->first_child;
    wu_tree_node *p = c->parent;
    if (!releaseNode(tree, c, guard)) return false;
    c = p == top ? top->first_child : p;
  }
  return true;
}

/* While the tree is being destroyed: every node left goes, with the one a
   deletion had unlinked when an owner function destroyed the tree. */
void releaseTopLevel(wu_tree *tree) {
  Held h(tree, nullptr);
  while (tree->root) {
    wu_tree_node *n = tree->root;
    releaseChildren(tree, n, h);
    releaseNode(tree, n, h);
  }
  if (wu_tree_node *n = tree->view->unlinked) {
    tree->view->unlinked = nullptr;
    releaseNode(tree, n, h, false);
  }
}

void freeTree(wu_tree *tree, Display *dpy) {
  Pixmap pixmaps[] = {tree->lines_pixmap, tree->open_folder, tree->closed_folder,
                      tree->open_mask,    tree->closed_mask, tree->minus,
                      tree->plus,         tree->minus_mask,  tree->plus_mask};
  for (Pixmap p : pixmaps)
    if (p) XFreePixmap(dpy, p);
  if (tree->line_gc) XFreeGC(dpy, tree->line_gc);
  if (tree->view)
    for (GC gc : {tree->view->text_gc, tree->view->dash_gc[0], tree->view->dash_gc[1]})
      if (gc) XFreeGC(dpy, gc);
  XtFree(reinterpret_cast<char *>(tree->selection));
  delete tree->view;
  free(tree);
}

/* A program that changes the scrolled window's colours (XmChangeColor,
   XtSetValues) changes the tree's: the view and its bars take them and
   the rows are drawn in them. */
void colourHook(Widget, XtPointer client, XtPointer call) {
  auto *tree = static_cast<wu_tree *>(client);
  auto *data = static_cast<XtChangeHookDataRec *>(call);
  if (!data || data->widget != tree->scrolled_w || tree->destroying ||
      std::strcmp(data->type, XtHsetValues) != 0)
    return;
  auto *change = static_cast<XtChangeHookSetValuesDataRec *>(data->event_data);
  const XdColours was = _XdManagerColours(change->old);
  const XdColours now = _XdManagerColours(tree->scrolled_w);
  if (was == now) return;
  tree->foreground = now.foreground;
  tree->background = now.background;
  tree->focus_foreground = tree->background;
  tree->focus_background = tree->foreground;
  _XdPassColours(tree->drawing_area, was, now);
  for (Widget w : {tree->vsb, tree->hsb, tree->clip_window})
    if (w && was.background != now.background) XmChangeColor(w, tree->background);
  XdTreeView *v = tree->view;
  Display *dpy = XtDisplay(tree->scrolled_w);
  for (GC gc : v->dash_gc)
    if (gc) XSetForeground(dpy, gc, tree->foreground);
  const XdTreeButtons &b = v->buttons;
  for (Widget w : {b.handle, b.icon})
    if (w) XtVaSetValues(w, XmNforeground, tree->foreground, XmNbackground, tree->background, NULL);
  if (b.label) {
    const bool inverse = v->holder && labelShowsFocus(v->holder);
    XtVaSetValues(b.label, XmNforeground, inverse ? tree->focus_foreground : tree->foreground,
                  XmNbackground, inverse ? tree->focus_background : tree->background, NULL);
  }
  repaint(tree);
}

void destroyCB(Widget w, XtPointer client, XtPointer) {
  auto *tree = static_cast<wu_tree *>(client);
  tree->destroying = 1;
  XtRemoveCallback(XtHooksOfDisplay(XtDisplay(w)), XtNchangeHook, colourHook, tree);
  cancelActivation(tree);
  removeTimeOut(&tree->obscured_id);
  removeTimeOut(&tree->autoscroll_id);
  tree->focus = nullptr;
  releaseTopLevel(tree);
  forgetTree(tree);
  freeTree(tree, XtDisplay(w));
}

/* ---------------------------------------------------------------------- */
/* Drag over the tree: never a drop site; scrolls near the edges.          */
/* ---------------------------------------------------------------------- */

void scrollBy(Widget bar, int direction) {
  if (!bar || direction == 0) return;
  int value = 0, minimum = 0, maximum = 0, slider = 0, increment = 0, page = 0;
  XtVaGetValues(bar, XmNvalue, &value, XmNminimum, &minimum, XmNmaximum, &maximum,
                XmNsliderSize, &slider, XmNincrement, &increment, XmNpageIncrement, &page, NULL);
  int target = std::max(minimum, std::min(maximum - slider, value + direction * page));
  if (target != value) XmScrollBarSetValues(bar, target, slider, increment, page, True);
}

void autoScrollTimeOut(XtPointer client, XtIntervalId *) {
  auto *tree = static_cast<wu_tree *>(client);
  tree->autoscroll_id = 0;
  if (going(tree) || !flushLayoutKept(tree)) return; /* the bars' ranges as the changes left them */
  int e = tree->autoscroll_edges;
  scrollBy(tree->vsb, (e & XdTREE_EDGE_BOTTOM ? 1 : 0) - (e & XdTREE_EDGE_TOP ? 1 : 0));
  scrollBy(tree->hsb, (e & XdTREE_EDGE_RIGHT ? 1 : 0) - (e & XdTREE_EDGE_LEFT ? 1 : 0));
  tree->autoscroll_id = XtAppAddTimeOut(tree->app, kScrollRepeat, autoScrollTimeOut, tree);
}

void stopAutoScroll(wu_tree *tree) {
  removeTimeOut(&tree->autoscroll_id);
  tree->autoscroll_edges = 0;
}

void dragProc(Widget w, XtPointer, XtPointer call) {
  auto *cbs = static_cast<XmDragProcCallbackStruct *>(call);
  wu_tree *tree = treeOfWidget(w);
  /* The tree takes no drop, but a leave keeps the answer Motif brings: it
     takes back a highlight it drew on entering (and frees what it saved
     for it) only for the answer it gave then. */
  if (cbs && cbs->reason != XmCR_DROP_SITE_LEAVE_MESSAGE) cbs->dropSiteStatus = XmNO_DROP_SITE;
  if (!tree) return;
  if (!cbs || cbs->reason != XmCR_DROP_SITE_MOTION_MESSAGE) {
    stopAutoScroll(tree);
    return;
  }
  /* Near an edge is near a side of the view, the drawing area: over the
     scroll bars along its bottom and right the drag is not reported to
     the tree's drop sites (the scrolled window takes it there). */
  Widget da = tree->drawing_area;
  settleRows(tree);
  int edges = 0;
  if (tree->view->content_w > int(XtWidth(da)) || contentHeight(tree) > long(XtHeight(da))) {
    Position wx = 0, wy = 0, dx = 0, dy = 0;
    XtTranslateCoords(w, 0, 0, &wx, &wy);
    XtTranslateCoords(da, 0, 0, &dx, &dy);
    int x = cbs->x + wx - dx, y = cbs->y + wy - dy;
    if (y < kScrollEdge) edges |= XdTREE_EDGE_TOP;
    if (y >= int(XtHeight(da)) - kScrollEdge) edges |= XdTREE_EDGE_BOTTOM;
    if (x < kScrollEdge) edges |= XdTREE_EDGE_LEFT;
    if (x >= int(XtWidth(da)) - kScrollEdge) edges |= XdTREE_EDGE_RIGHT;
  }
  removeTimeOut(&tree->autoscroll_id);
  tree->autoscroll_edges = edges;
  if (edges) tree->autoscroll_id = XtAppAddTimeOut(tree->app, kScrollFirst, autoScrollTimeOut, tree);
}

void dropProc(Widget w, XtPointer, XtPointer call) {
  auto *cbs = static_cast<XmDropProcCallbackStruct *>(call);
  wu_tree *tree = treeOfWidget(w);
  if (tree) stopAutoScroll(tree);
  cbs->dropSiteStatus = XmINVALID_DROP_SITE;
  cbs->operation = XmDROP_NOOP;
  Arg args[2];
  XtSetArg(args[0], XmNtransferStatus, XmTRANSFER_FAILURE);
  XtSetArg(args[1], XmNnumDropTransfers, 0);
  XmDropTransferStart(cbs->dragContext, args, 2);
}

void registerDropSite(Widget w) {
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNdropSiteOperations, XmDROP_COPY); ++n;
  XtSetArg(args[n], XmNdropSiteType, XmDROP_SITE_COMPOSITE); ++n;
  XtSetArg(args[n], XmNdragProc, dragProc); ++n;
  XtSetArg(args[n], XmNdropProc, dropProc); ++n;
  XmDropSiteRegister(w, args, n);
}

void obscuredCB(Widget, XtPointer client, XtPointer call) {
  auto *tree = static_cast<wu_tree *>(client);
  auto *cbs = static_cast<XmTraverseObscuredCallbackStruct *>(call);
  Widget dest = cbs ? cbs->traversal_destination : nullptr;
  wu_tree_node *n = dest && XtParent(dest) == tree->drawing_area ? nodeOfButton(dest) : nullptr;
  if (n && n != tree->focus && !XmIsTraversable(dest))
    XmScrollVisible(tree->scrolled_w, dest, 0, 0);
  else
    startObscuredTimeOut(tree, false);
}

/* ---------------------------------------------------------------------- */
/* Creation                                                                */
/* ---------------------------------------------------------------------- */

Visual *visualOf(Widget w) {
  Widget shell = w;
  while (shell && !XtIsShell(shell)) shell = XtParent(shell);
  Visual *visual = nullptr;
  if (shell) XtVaGetValues(shell, XtNvisual, &visual, NULL);
  return visual ? visual : DefaultVisualOfScreen(XtScreen(w));
}

bool loadPixmaps(wu_tree *tree, Display *dpy) {
  int w = 0, h = 0;
  if (!_XdLoadPixmap(dpy, xpm(minus_xpm), tree->background, &tree->minus, &tree->minus_mask) ||
      !_XdLoadPixmap(dpy, xpm(plus_xpm), tree->background, &tree->plus, &tree->plus_mask)) {
    XdTrace("Error loading tree handle pixmaps.\n");
    return false;
  }
  sscanf(minus_xpm[0], "%d %d", &w, &h);
  tree->handle_width = w;
  tree->handle_height = h;
  if (!_XdLoadPixmap(dpy, xpm(open_folder_xpm), tree->background, &tree->open_folder,
                     &tree->open_mask) ||
      !_XdLoadPixmap(dpy, xpm(closed_folder_xpm), tree->background, &tree->closed_folder,
                     &tree->closed_mask)) {
    XdTrace("Error loading tree icon pixmaps.\n");
    return false;
  }
  sscanf(open_folder_xpm[0], "%d %d", &w, &h);
  tree->icon_width = w;
  tree->icon_height = h;
  return true;
}

/* A GC for drawing into the view pixmap, so made for the tree's depth. */
GC depthGC(wu_tree *tree, Display *dpy, Screen *screen) {
  XGCValues values;
  values.foreground = BlackPixelOfScreen(screen);
  values.background = WhitePixelOfScreen(screen);
  values.graphics_exposures = False;
  Window root = RootWindowOfScreen(screen);
  Drawable d = root;
  Pixmap scratch = None;
  if (tree->depth != DefaultDepthOfScreen(screen)) {
    scratch = XCreatePixmap(dpy, root, 1, 1, unsigned(tree->depth));
    d = scratch;
  }
  GC gc = XCreateGC(dpy, d, GCForeground | GCBackground | GCGraphicsExposures, &values);
  if (scratch) XFreePixmap(dpy, scratch);
  return gc;
}

bool makeGC(wu_tree *tree, Display *dpy, Screen *screen) {
  tree->line_gc = depthGC(tree, dpy, screen);
  if (!tree->line_gc) {
    XdTrace("Error creating tree gc.\n");
    return false;
  }
  return true;
}

/* Makes one node button.  The colormap and depth are given only when they
   differ from the drawing area's, which the buttons inherit otherwise:
   every argument costs the toolkit a lookup per widget. */
Widget createButton(wu_tree *tree, wu_tree_node *n, bool focus_colours, Arg *extra,
                    Cardinal num_extra) {
  Arg args[16];
  Cardinal c = 0;
  Widget da = tree->drawing_area;
  if (da->core.colormap != tree->colormap) {
    XtSetArg(args[c], XmNcolormap, tree->colormap); ++c;
  }
  if (int(da->core.depth) != tree->depth) {
    XtSetArg(args[c], XmNdepth, tree->depth); ++c;
  }
  XtSetArg(args[c], XmNbackground, focus_colours ? tree->focus_background : tree->background); ++c;
  XtSetArg(args[c], XmNforeground, focus_colours ? tree->focus_foreground : tree->foreground); ++c;
  XtSetArg(args[c], XmNuserData, n); ++c;
  if (tree->font_list) {
    XtSetArg(args[c], XmNfontList, tree->font_list); ++c;
  }
  for (Cardinal i = 0; i < num_extra && c < XtNumber(args); ++i) args[c++] = extra[i];
  Widget w = XtCreateWidget("PushButton", xmPushButtonWidgetClass, da, args, c);
  XtOverrideTranslations(w, nodeTranslations());
  return w;
}

/* Where a button puts its picture or text (x, y) and what it adds around
   it (w, h), as the label widget lays itself out at its own size. */
void contentBox(Widget w, int *dx, int *dy, int *extra_w, int *extra_h) {
  const XRectangle &r = reinterpret_cast<XmLabelWidget>(w)->label.TextRect;
  *dx = r.x;
  *dy = r.y;
  *extra_w = int(XtWidth(w)) - int(r.width);
  *extra_h = int(XtHeight(w)) - int(r.height);
}

/* Makes the one set of buttons (unmanaged, serving no node yet) and reads
   from them what drawing rows needs: offsets, sizes, the label's font. */
bool makeButtonSet(wu_tree *tree) {
  XdTreeView *v = tree->view;
  if (v->buttons.label) return true;
  Widget da = tree->drawing_area;
  if (!v->text_gc) v->text_gc = depthGC(tree, XtDisplay(da), XtScreen(da));
  if (!v->text_gc) return false;
  const EventMask mask = EnterWindowMask | OwnerGrabButtonMask;
  /* Picture buttons get an empty text: the toolkit would otherwise make
     one from the widget's name for each. */
  static XmString empty = XmStringCreateLocalized(const_cast<char *>(""));
  Arg args[7];
  Cardinal c = 0;
  XtSetArg(args[c], XmNlabelString, empty); ++c;
  XtSetArg(args[c], XmNlabelType, XmPIXMAP); ++c;
  XtSetArg(args[c], XmNlabelPixmap, tree->plus); ++c;
  XtSetArg(args[c], XmNlabelInsensitivePixmap, tree->plus); ++c;
  XtSetArg(args[c], XmNshadowThickness, 0); ++c;
  XtSetArg(args[c], XmNhighlightThickness, 0); ++c;
  XtSetArg(args[c], XmNtraversalOn, False); ++c;
  XdTreeButtons b;
  b.handle = createButton(tree, nullptr, false, args, c);
  XtAddCallback(b.handle, XmNactivateCallback, handleActivateCB, nullptr);

  /* The icon: the same without an insensitive picture. */
  XtSetArg(args[2], XmNlabelPixmap, tree->closed_folder);
  XtSetArg(args[3], XmNtraversalOn, False);
  b.icon = createButton(tree, nullptr, false, args, 6);
  XtAddCallback(b.icon, XmNactivateCallback, labelActivateCB, nullptr);
  XtAddEventHandler(b.icon, mask, False, nodeEventHandler, nullptr);

  XmString text = _XdMakeString(const_cast<char *>("X"));
  c = 0;
  XtSetArg(args[c], XmNlabelString, text); ++c;
  XtSetArg(args[c], XmNshadowThickness, 0); ++c;
  b.label = createButton(tree, nullptr, false, args, c);
  XmStringFree(text);
  XtAddCallback(b.label, XmNactivateCallback, labelActivateCB, nullptr);
  XtAddEventHandler(b.label, mask, False, nodeEventHandler, nullptr);
  v->buttons = b;

  XdTreeMetrics &m = v->m;
  int ew = 0, eh = 0;
  contentBox(b.handle, &m.handle_dx, &m.handle_dy, &ew, &eh);
  m.handle_w = XtWidth(b.handle);
  m.handle_h = XtHeight(b.handle);
  contentBox(b.icon, &m.icon_dx, &m.icon_dy, &m.icon_extra_w, &m.icon_extra_h);
  contentBox(b.label, &m.label_dx, &m.label_dy, &m.label_extra_w, &m.label_extra_h);
  m.label_ht = reinterpret_cast<XmPrimitiveWidget>(b.label)->primitive.highlight_thickness;
  m.font = reinterpret_cast<XmLabelWidget>(b.label)->label.font;
  return true;
}

/* Hands the buttons to `n` (NULL: to no node), showing the node's text,
   pictures and colours, and tells the owner. */
void giveButtons(wu_tree *tree, wu_tree_node *n) {
  XdTreeView *v = tree->view;
  if (v->holder == n || !makeButtonSet(tree)) return;
  const XdTreeButtons &b = v->buttons;
  if (wu_tree_node *old = v->holder) old->handle = old->icon = old->label = nullptr;
  v->holder = n;
  for (Widget w : {b.handle, b.icon, b.label}) setButtonData(w, n);
  if (!n) return;
  n->handle = b.handle;
  n->icon = b.icon;
  n->label = b.label;
  measure(tree, n);
  XtSetMappedWhenManaged(b.handle, n->expandable ? True : False);
  showHandleMinus(n, !handleShowsPlus(n));
  showIconOpen(n, (n->layout & XdTREE_NODE_ICON_OPEN) != 0);
  const bool inverse = labelShowsFocus(n);
  XtVaSetValues(b.label, XmNlabelString, labelString(n), XmNforeground,
                inverse ? tree->focus_foreground : tree->foreground, XmNbackground,
                inverse ? tree->focus_background : tree->background, NULL);
  /* The drawing area keeps a managed child's size: the label takes the
     size its text wants, which is the size its drawn row had. */
  if (XtWidth(b.label) != Dimension(n->label_width) || XtHeight(b.label) != Dimension(n->label_height))
    XtResizeWidget(b.label, Dimension(std::max<int>(1, n->label_width)),
                   Dimension(std::max<int>(1, n->label_height)), XtBorderWidth(b.label));
  if (v->buttons_proc) v->buttons_proc(tree, n, v->buttons_closure);
}

}  // namespace

/* ---------------------------------------------------------------------- */
/* Interface                                                               */
/* ---------------------------------------------------------------------- */

extern "C" {

wu_tree *XdCreateTree(Widget parent, ArgList args, Cardinal num_args) {
  if (!parent) return nullptr;
  auto *tree = static_cast<wu_tree *>(calloc(1, sizeof(wu_tree)));
  if (!tree) {
    XdTrace("Error allocation tree memory.\n");
    return nullptr;
  }
  tree->view = new (std::nothrow) XdTreeView;
  if (!tree->view) {
    free(tree);
    XdTrace("Error allocation tree memory.\n");
    return nullptr;
  }
  tree->selection = reinterpret_cast<wu_tree_node **>(
      XtCalloc(kSelectionSlots, sizeof(wu_tree_node *)));
  tree->selection_size = kSelectionSlots;
  tree->app = XtWidgetToApplicationContext(parent);
  registerActions(tree->app, XtDisplay(parent));

  Display *dpy = XtDisplay(parent);
  Screen *screen = XtScreen(parent);
  tree->visual = visualOf(parent);
  int depth = 0;
  tree->foreground = BlackPixelOfScreen(screen);
  tree->background = WhitePixelOfScreen(screen);
  XtVaGetValues(parent, XmNcolormap, &tree->colormap, XmNdepth, &depth, XmNbackground,
                &tree->background, NULL);
  if (XtIsSubclass(parent, xmManagerWidgetClass) || XtIsSubclass(parent, xmPrimitiveWidgetClass))
    XtVaGetValues(parent, XmNforeground, &tree->foreground, NULL);
  tree->depth = depth;
  tree->focus_foreground = tree->background;
  tree->focus_background = tree->foreground;
  for (Cardinal i = 0; i < num_args; ++i)
    if (strcmp(args[i].name, XmNfontList) == 0)
      tree->font_list = reinterpret_cast<XmFontList>(args[i].value);

  if (!loadPixmaps(tree, dpy) || !makeGC(tree, dpy, screen)) {
    freeTree(tree, dpy);
    return nullptr;
  }
  tree->left_margin = 1;
  tree->top_margin = 0;
  tree->indent = 15;
  tree->activate_delay = kActivateDelay;

  std::vector<Arg> sw_args(args, args + num_args);
  auto add = [&sw_args](const char *name, XtArgVal value) {
    Arg a;
    XtSetArg(a, const_cast<char *>(name), value);
    sw_args.push_back(a);
  };
  add(XmNtopAttachment, XmATTACH_FORM);
  add(XmNbottomAttachment, XmATTACH_FORM);
  add(XmNleftAttachment, XmATTACH_FORM);
  add(XmNrightAttachment, XmATTACH_FORM);
  add(XmNtopOffset, 0);
  add(XmNbottomOffset, 0);
  add(XmNleftOffset, 0);
  add(XmNrightOffset, 0);
  add(XmNscrollBarPlacement, XmBOTTOM_RIGHT);
  /* The tree scrolls its rows itself: the drawing area is the view, so no
     window coordinate ever exceeds the view's size. */
  add(XmNscrollingPolicy, XmAPPLICATION_DEFINED);
  add(XmNvisualPolicy, XmVARIABLE);
  add(XmNscrollBarDisplayPolicy, XmSTATIC);
  add(XmNspacing, 0);
  add(XmNuserData, reinterpret_cast<XtArgVal>(tree));
  Widget sw = XtCreateWidget("ScrolledW", xmScrolledWindowWidgetClass, parent, sw_args.data(),
                             Cardinal(sw_args.size()));
  tree->scrolled_w = sw;
  XtOverrideTranslations(sw, scrollTranslations());
  XtAddCallback(sw, XmNtraverseObscuredCallback, obscuredCB, tree);
  XtAddCallback(sw, XmNdestroyCallback, destroyCB, tree);
  XtAddCallback(XtHooksOfDisplay(dpy), XtNchangeHook, colourHook, tree);
  registerDropSite(sw);
  XtVaGetValues(sw, XmNforeground, &tree->foreground, XmNbackground, &tree->background, NULL);
  tree->vsb = XtVaCreateManagedWidget("VertScrollBar", xmScrollBarWidgetClass, sw, XmNorientation,
                                      XmVERTICAL, NULL);
  tree->hsb = XtVaCreateManagedWidget("HorScrollBar", xmScrollBarWidgetClass, sw, XmNorientation,
                                      XmHORIZONTAL, NULL);
  for (Widget bar : {tree->vsb, tree->hsb}) {
    XtAddCallback(bar, XmNvalueChangedCallback, scrollCB, tree);
    XtAddCallback(bar, XmNdragCallback, scrollCB, tree);
  }
  tree->clip_window = nullptr;
  tree->focus_foreground = tree->background;
  tree->focus_background = tree->foreground;
  Widget colored[] = {tree->vsb, tree->hsb, tree->clip_window};
  for (Widget w : colored) {
    if (!w) continue;
    if (w != tree->clip_window) XtVaSetValues(w, XmNtraversalOn, False, NULL);
    else XtOverrideTranslations(w, scrollTranslations());
    XmChangeColor(w, tree->background);
  }

  /* No margins: the drawing area would otherwise push every row placed
     near its top or left edge inwards each time it manages children. */
  Arg da_args[9];
  Cardinal c = 0;
  XtSetArg(da_args[c], XmNmarginWidth, 0); ++c;
  XtSetArg(da_args[c], XmNmarginHeight, 0); ++c;
  XtSetArg(da_args[c], XmNx, 0); ++c;
  XtSetArg(da_args[c], XmNy, 0); ++c;
  XtSetArg(da_args[c], XmNwidth, 1); ++c;
  XtSetArg(da_args[c], XmNheight, 1); ++c;
  XtSetArg(da_args[c], XmNresizePolicy, XmRESIZE_NONE); ++c;
  XtSetArg(da_args[c], XmNuserData, tree); ++c;
  XtSetArg(da_args[c], XmNbackground, tree->background); ++c;
  tree->drawing_area =
      XtCreateManagedWidget("DrawingArea", xmDrawingAreaWidgetClass, sw, da_args, c);
  XtOverrideTranslations(tree->drawing_area, scrollTranslations());
  XtAddCallback(tree->drawing_area, XmNexposeCallback, exposeCB, tree);
  XtAddCallback(tree->drawing_area, XmNresizeCallback, resizeCB, tree);
  XtAddEventHandler(tree->drawing_area, NoEventMask, True, layoutMessage, tree);
  XtAddEventHandler(tree->drawing_area,
                    ButtonPressMask | ButtonReleaseMask | Button1MotionMask | OwnerGrabButtonMask,
                    False, areaInput, tree);
  XmScrolledWindowSetAreas(sw, tree->hsb, tree->vsb, tree->drawing_area);
  registerDropSite(tree->drawing_area);
  XtManageChild(sw);
  _XdWidgetCreated(sw, XdHOOK_TREE);
  return tree;
}

int XdTreeInsertNodeAt(wu_tree *tree, wu_tree_node *ref, wu_tree_node *node, int mode) {
  if (!tree || !node || node->tree) return -1;
  if (ref && ref->tree != tree) return -1;
  switch (mode) {
    case XdTREE_INSERT_BEFORE:
    case XdTREE_INSERT_AFTER:
      if (!tree->root || !ref) return -1;
      if (mode == XdTREE_INSERT_BEFORE)
        linkBefore(tree, ref, node);
      else
        linkAfter(tree, ref, node);
      break;
    case XdTREE_INSERT_FIRST_CHILD:
    case XdTREE_INSERT_LAST_CHILD: {
      if (!tree->root) ref = nullptr;
      wu_tree_node *at = mode == XdTREE_INSERT_FIRST_CHILD ? *firstLink(tree, ref)
                                                          : *lastLink(tree, ref);
      if (!at)
        linkOnly(tree, ref, node);
      else if (mode == XdTREE_INSERT_FIRST_CHILD)
        linkBefore(tree, at, node);
      else
        linkAfter(tree, at, node);
      break;
    }
    default:
      return -1;
  }
  node->tree = tree;
  node->first_child = node->last_child = nullptr;
  node->has_handle = 1;
  node->expanded = 0;
  node->expanded_copy = 0;
  node->selection_slot = 0;
  node->selected = 0;
  if (!node->open_pixmap) {
    node->open_pixmap = tree->open_folder;
    node->open_mask = tree->open_mask;
    node->icon_width = int16_t(tree->icon_width);
    node->icon_height = int16_t(tree->icon_height);
  }
  if (!node->closed_pixmap) {
    node->closed_pixmap = tree->closed_folder;
    node->closed_mask = tree->closed_mask;
  }
  node->handle = node->icon = node->label = nullptr; /* given when focused */
  node->layout = 0;
  node->row = -1;
  node->label_string = nullptr;
  rowLinked(tree, node);
  rowsChanged(tree);
  /* The label is converted and measured once, here (and again when the
     owner changes it or the font): a row entering the view is only
     drawn.  A tree that is being destroyed makes no more widgets. */
  if (!tree->destroying && !tree->drawing_area->core.being_destroyed && makeButtonSet(tree)) {
    measure(tree, node);
    if (indexShown(node)) widen(tree, node);
  }
  return 0;
}

int XdTreeDeleteTree(wu_tree *tree, wu_tree_node *node) {
  if (!tree || !tree->root || !node || node->tree != tree || tree->releasing) return -1;
  Held h(tree, nullptr);

  /* The buttons of a node in the subtree stay where they are (a keyboard
     focus in them stays too) until the deletion is done. */
  wu_tree_node *holder = tree->view->holder;
  const bool holder_goes =
      holder && (holder == node || (node->first_child && _XdTreeIsChild(node->first_child, holder)));

  subtreeGoing(tree, node);
  tree->view->subtree_going = true;
  if (!releaseChildren(tree, node, h)) return 0; /* the tree went */
  tree->view->subtree_going = false;

  wu_tree_node *parent = node->parent, *next = node->next;
  unlink(tree, node);
  tree->view->unlinked = node; /* released with the tree should it go meanwhile */
  rowsChanged(tree);
  node->tree = nullptr; /* a nested delete of this node is refused */
  if (parent && !parent->first_child) {
    parent->has_handle = 0;
    setExpanded(parent, 0);
    if (node->expanded_word) *node->expanded_word = 0;
  }
  if (tree->focus == node) {
    tree->deleting = 1;
    if (parent)
      XdTreeSetFocus(tree, parent, 1);
    else if (next)
      XdTreeSetFocus(tree, next, 1);
    else
      tree->focus = nullptr;
    if (!h.treeAlive()) return 0; /* the owner's select function ended the tree */
    tree->deleting = 0;
    if (tree->focus == node) tree->focus = nullptr;
  }
  tree->view->unlinked = nullptr;
  if (!releaseNode(tree, node, h, false)) return 0;
  if (holder_goes && !tree->view->holder) buttonsAfterDelete(tree);
  return 0;
}

/* The tree is laid out and painted once the calls under way are done
   (see requestLayout), or at once when something reads its positions
   first: a run of draws, expansions and deletions lays it out once. */
int XdTreeDraw(wu_tree *tree) {
  if (!tree || !XtIsRealized(tree->drawing_area)) return -1;
  XdTreeView *v = tree->view;
  tree->saved_has_focus = tree->has_focus;
  v->drawn = true;
  if (tree->has_focus) v->refocus = true;
  rowsChanged(tree);
  return tree->root ? 0 : -1;
}

int XdTreeExpandNode(wu_tree_node *node) {
  if (!node || !node->tree || !node->expandable) return 0;
  if (node->expanded_word) *node->expanded_word = 1;
  if (handleShowsPlus(node)) {
    Held h(node->tree, node);
    handleActivate(nodeWidget(node, XdTREE_PART_HANDLE), node, nullptr);
    if (!stillThere(h, "updating the expanded word")) return 1;
  }
  if (!node->first_child && node->expanded_word) *node->expanded_word = 0;
  return 1;
}

int XdTreeCollapseNode(wu_tree_node *node) {
  if (!node || !node->tree) return 0;
  if (!handleShowsPlus(node)) {
    Held h(node->tree, node);
    handleActivate(nodeWidget(node, XdTREE_PART_HANDLE), node, nullptr);
    if (!stillThere(h, "updating the expanded word")) return 1;
  }
  if (node->expanded_word) *node->expanded_word = 0;
  return 1;
}

int XdTreeToggleNode(wu_tree_node *node) {
  if (!node || !node->tree) return 0;
  if (handleShowsPlus(node))
    XdTreeExpandNode(node);
  else
    XdTreeCollapseNode(node);
  return 1;
}

void XdTreeSetFocus(wu_tree *tree, wu_tree_node *node, int activate) {
  if (!tree || !node || node->tree != tree) return;
  /* Not while a deletion moves the focus: a run of deletions lays out
     once, after it. */
  if (!tree->deleting) {
    Held h(tree, node);
    flushLayout(tree);
    if (!h.alive()) return;
  }
  PaintBatch batch(tree);
  /* The node's row comes into view first.  Not while a deletion moves the
     focus: the rows are not final until the owner draws the tree again,
     which brings the focus back into view. */
  if (!tree->deleting) {
    Held h(tree, node); /* the owner hears of a hand-over of the buttons */
    scrollToNode(tree, node);
    if (!h.alive()) return;
  }
  /* The focused row holds the buttons, for the keyboard focus.  The same
     widgets serve every row, so a keyboard focus already in the tree stays
     where it is.  While a deletion moves the focus they wait for the
     owner's next XdTreeDraw, which gives them to the focus. */
  if (tree->view->drawn && !tree->view->laying_out && !tree->deleting) {
    Held h(tree, node);
    giveButtons(tree, node);
    if (!h.alive()) return;
    placeButtons(tree);
  }
  if (XtIsManaged(tree->drawing_area) && isManaged(node->label))
    XmProcessTraversal(node->label, XmTRAVERSE_CURRENT);
  if (tree->focus == node && labelShowsFocus(node)) return;
  wu_tree_node *previous = tree->focus;
  if (previous && previous != node) {
    showIconOpen(previous, false);
    _XdTreeSetFocusColors(previous, 0);
  }
  showIconOpen(node, true);
  _XdTreeSetFocusColors(node, 1);
  if (activate) {
    if (tree->deleting) {
      Held h(tree, node);
      callLabelActivate(node);
      if (!stillThere(h, "moving the focus mark")) return;
    } else {
      cancelActivation(tree);
      tree->activate_node = node;
      tree->activate_id = XtAppAddTimeOut(tree->app, tree->activate_delay, activateTimeOut, node);
    }
  }
  tree->focus = node;
}

void _XdTreeDragProc(Widget w, XtPointer client, XtPointer call) { dragProc(w, client, call); }
void _XdTreeDropProc(Widget w, XtPointer client, XtPointer call) { dropProc(w, client, call); }

void _XdTreeSetButtonsProc(wu_tree *tree, XdTreeButtonsProc proc, XtPointer closure) {
  if (!tree) return;
  tree->view->buttons_proc = proc;
  tree->view->buttons_closure = closure;
}

void XdTreeUnSetFocus(wu_tree *tree) {
  if (!tree) return;
  cancelActivation(tree);
  if (tree->focus) {
    showIconOpen(tree->focus, false);
    _XdTreeSetFocusColors(tree->focus, 0);
  }
  selectionClear(tree);
  tree->focus = nullptr;
}

wu_tree_node *XdTreeWidgetToTreeNode(wu_tree *tree, Widget w) {
  if (!tree || !tree->root || !w) return nullptr;
  if (!flushLayoutKept(tree)) return nullptr; /* the layout due may hand the buttons on */
  /* Only the node holding the buttons has an icon or label widget. */
  wu_tree_node *n = tree->view->holder;
  return n && (n->icon == w || n->label == w) ? n : nullptr;
}

void wuxatre(Widget w, wu_tree_node *node, XtPointer call_data) {
  if (!node || !node->tree) return;
  wu_tree *tree = node->tree;
  if (tree->owner_managed) {
    if (node->select_proc) node->select_proc(w, node, call_data);
    return;
  }
  bool notify = !(tree->focus == node && labelShowsFocus(node));
  {
    Held h(tree, node);
    PaintBatch batch(tree);
    selectionClear(tree);
    XdTreeSetFocus(tree, node, 0);
    if (!h.alive()) return;
    selectionAdd(tree, node);
  }
  if (node->tree != tree) return;
  XFlush(XtDisplay(tree->drawing_area));
  /* The node now holds the buttons: its label stands for it. */
  if (w == tree->drawing_area && node->label) w = node->label;
  if (notify && node->select_proc) node->select_proc(w, node, call_data);
}

int _XdTreeMakeNodeButtons(wu_tree_node *node) {
  if (!node || !node->tree) return 0;
  wu_tree *tree = node->tree;
  {
    Held h(tree, node);
    flushLayout(tree);
    if (!h.alive()) return 0;
  }
  giveButtons(tree, node);
  if (tree->view->holder == node && !tree->view->dirty) placeButtons(tree);
  return node->label ? 1 : 0;
}

wu_tree_node *_XdTreeNodeAt(wu_tree *tree, int x, int y, int *part) {
  if (part) *part = XdTREE_PART_NONE;
  if (!tree || tree->destroying) return nullptr;
  if (!flushLayoutKept(tree)) return nullptr;
  XdTreeView *v = tree->view;
  if (!v->drawn || v->dirty || v->rows.empty()) return nullptr;
  const long R = std::max<long>(1, tree->row_height);
  const long Y = long(y) + v->top, X = long(x) + v->left;
  /* Row i covers R * (i + 1) + top margin - R / 2 and the R pixels below. */
  const long from = Y - tree->top_margin + R / 2 - R;
  if (from < 0) return nullptr;
  const size_t row = size_t(from / R);
  if (row >= v->rows.size()) return nullptr;
  wu_tree_node *n = v->rows[row];
  if (!(n->layout & XdTREE_NODE_MEASURED)) return nullptr;
  const XdTreeMetrics &m = v->m;
  const Place p = placeOf(tree, n);
  auto inside = [X, Y](long rx, long ry, long rw, long rh) {
    return X >= rx && X < rx + rw && Y >= ry && Y < ry + rh;
  };
  int found = XdTREE_PART_NONE;
  if (inside(p.label_x, p.label_y, n->label_width, n->label_height))
    found = XdTREE_PART_LABEL;
  else if (inside(p.icon_x, p.icon_y, n->icon_width + m.icon_extra_w, n->icon_height + m.icon_extra_h))
    found = XdTREE_PART_ICON;
  else if (n->has_handle && n->parent && n->expandable &&
           inside(p.x, p.handle_y, m.handle_w, m.handle_h))
    found = XdTREE_PART_HANDLE;
  if (found == XdTREE_PART_NONE) return nullptr;
  if (part) *part = found;
  return n;
}

int _XdTreeNodeRect(wu_tree_node *node, int part, XRectangle *rect) {
  if (!node || !node->tree || !rect) return 0;
  wu_tree *tree = node->tree;
  XdTreeView *v = tree->view;
  settleRows(tree);
  if (!v->drawn || !(node->layout & XdTREE_NODE_MEASURED)) return 0;
  const long row = currentRow(tree, node);
  if (row < 0) return 0;
  const XdTreeMetrics &m = v->m;
  const Place p = placeOf(tree, node, row);
  long x = 0, y = 0, w = 0, h = 0;
  switch (part) {
    case XdTREE_PART_HANDLE:
      if (!(node->has_handle && node->parent && node->expandable)) return 0;
      x = p.x, y = p.handle_y, w = m.handle_w, h = m.handle_h;
      break;
    case XdTREE_PART_HANDLE_PLACE:
      x = p.x, y = p.handle_y, w = m.handle_w, h = m.handle_h;
      break;
    case XdTREE_PART_ICON:
      x = p.icon_x, y = p.icon_y;
      w = node->icon_width + m.icon_extra_w, h = node->icon_height + m.icon_extra_h;
      break;
    case XdTREE_PART_LABEL:
      x = p.label_x, y = p.label_y, w = node->label_width, h = node->label_height;
      break;
    default: { /* the whole row: from the handle to the label's end */
      const long R = std::max<long>(1, tree->row_height);
      x = p.x, y = rowCentre(tree, row) - R / 2;
      w = p.label_x + node->label_width - p.x, h = R;
      break;
    }
  }
  x -= v->left;
  y -= v->top;
  const long limit = 32767;
  if (x > limit || y > limit || x + w < -limit || y + h < -limit) return 0;
  rect->x = short(std::max(-limit, x));
  rect->y = short(std::max(-limit, y));
  rect->width = (unsigned short)(std::max(0L, std::min(w, 65535L)));
  rect->height = (unsigned short)(std::max(0L, std::min(h, 65535L)));
  return 1;
}

void _XdTreeLayoutCounts(wu_tree *tree, unsigned long *layouts, unsigned long *paints) {
  if (layouts) *layouts = tree ? tree->view->layouts : 0;
  if (paints) *paints = tree ? tree->view->paints : 0;
}

int _XdTreeHandleShowsPlus(wu_tree_node *node) { return node && handleShowsPlus(node) ? 1 : 0; }

void _XdTreeSetExpanded(wu_tree_node *node, int expanded) {
  if (!node || !node->tree) return;
  setExpanded(node, expanded ? 1 : 0);
  rowsChanged(node->tree);
}

int _XdTreeIsChild(wu_tree_node *first, wu_tree_node *node) {
  if (!first || !node || first->tree != node->tree) return 0;
  /* Find node's ancestor (or node itself) in first's chain, walking up. */
  wu_tree_node *a = node;
  while (a && a->parent != first->parent) a = a->parent;
  if (!a) return 0;
  if (!first->prev) return 1; /* first starts its chain: every sibling is in it */
  for (; a; a = a->prev)
    if (a == first) return 1;
  return 0;
}

void _XdTreeSetFocusColors(wu_tree_node *node, int on) {
  if (!node || !node->tree) return;
  wu_tree *tree = node->tree;
  const bool was = labelShowsFocus(node);
  if (on)
    node->layout |= XdTREE_NODE_INVERSE;
  else
    node->layout &= ~XdTREE_NODE_INVERSE;
  if (!node->label) {
    if (was != (on != 0) && isRow(tree, node) && size_t(node->row) >= tree->view->first &&
        size_t(node->row) <= tree->view->last)
      repaint(tree);
    return;
  }
  Pixel fg = on ? tree->focus_foreground : tree->foreground;
  Pixel bg = on ? tree->focus_background : tree->background;
  if (node->label->core.background_pixel == bg) return;
  XtVaSetValues(node->label, XmNforeground, fg, XmNbackground, bg, NULL);
}

void _XdTreePrint(wu_tree *tree) {
  if (!tree || !XdTraceOn()) return;
  walkTree(tree, [](wu_tree_node *n, int level) {
    XdTrace("%2d - ", level);
    for (int i = 0; i < level; ++i) XdTrace("   ");
    XdTrace("%s, show_children=%d, show_prev=%d\n", n->text ? n->text : "", n->expanded,
            n->expanded_copy);
    return true;
  });
}

wu_tree_node *_XdTreeFindLabel(wu_tree *tree, const char *text) {
  if (!tree || !text) return nullptr;
  wu_tree_node *found = nullptr;
  walkTree(tree, [&found, text](wu_tree_node *n, int) {
    if (!found && n->text && strcmp(n->text, text) == 0) found = n;
    return !found;
  });
  return found;
}

}  // extern "C"

/* ---------------------------------------------------------------------- */
/* Owner hooks: buttons made, label font                                   */
/* ---------------------------------------------------------------------- */

extern "C" {

void TreeNodeFontUpdate(wu_tree *tree, XmFontList font_list) {
  if (!tree) return;
  tree->font_list = font_list;
  XdTreeView *v = tree->view;
  if (font_list && v->buttons.label) {
    XtVaSetValues(v->buttons.label, XmNfontList, font_list, NULL);
    v->m.font = reinterpret_cast<XmLabelWidget>(v->buttons.label)->label.font;
  }
  /* The rows measured so far are measured again with the new font. */
  tree->row_height = std::max(tree->icon_height, tree->handle_height);
  std::vector<wu_tree_node *> measured;
  walkTree(tree, [&measured](wu_tree_node *n, int) {
    if (n->layout & XdTREE_NODE_MEASURED) measured.push_back(n);
    n->layout &= ~XdTREE_NODE_MEASURED;
    return true;
  });
  if (!v->buttons.label) return;
  for (wu_tree_node *n : measured) measure(tree, n);
  if (wu_tree_node *n = v->holder) {
    XtResizeWidget(n->label, Dimension(std::max<int>(1, n->label_width)),
                   Dimension(std::max<int>(1, n->label_height)), n->label->core.border_width);
  }
}

void _XdTreeNodeChanged(wu_tree_node *node) {
  if (!node || !node->tree) return;
  wu_tree *tree = node->tree;
  if (node->label_string) XmStringFree(node->label_string);
  node->label_string = nullptr;
  node->layout &= ~XdTREE_NODE_MEASURED;
  if (!tree->view->buttons.label) return;
  measure(tree, node);
  if (node->label) {
    XtVaSetValues(node->label, XmNlabelString, labelString(node), NULL);
    XtResizeWidget(node->label, Dimension(std::max<int>(1, node->label_width)),
                   Dimension(std::max<int>(1, node->label_height)), node->label->core.border_width);
    XtSetMappedWhenManaged(node->handle, node->expandable ? True : False);
    Pixmap icon = (node->layout & XdTREE_NODE_ICON_OPEN) ? node->open_pixmap : node->closed_pixmap;
    XtVaSetValues(node->icon, XmNlabelPixmap, icon, NULL);
  }
  repaint(tree);
}

}  // extern "C"
