/*
 * XdTree: the tree record over a scrolled window and its drawing area.
 *
 * Every node shown has three push buttons in the drawing area (handle,
 * folder icon, label).  Buttons are made only while no spare ones wait: a
 * row leaving the view hands its buttons to a row entering it, so scrolling
 * makes and destroys no widgets.  The connecting lines are drawn into a
 * pixmap that the drawing area's exposures copy from.  Layout is one pass over the rows
 * shown: hidden subtrees are skipped (a node whose children were not shown
 * last time needs no work), and the buttons that change state are managed
 * and unmanaged in one batch each, so that the drawing area lays itself out
 * once per draw.
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
#include <Xm/ScrollBar.h>
#include <Xm/ScrolledW.h>
#include <Xm/VirtKeys.h>
#include <Xm/XmP.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

/* What the tree shows: the rows of the expanded nodes in order and the
   nodes that have buttons now. */
/* A row's three buttons.  Rows leaving the view hand theirs to rows
   entering it; buttons no row needs wait, unmanaged, for the next. */
struct XdTreeButtons {
  Widget handle, icon, label;
};

struct XdTreeView {
  std::vector<wu_tree_node *> rows;
  std::vector<wu_tree_node *> live;
  std::vector<XdTreeButtons> spare;
  bool dirty = true;       /* nodes were linked or unlinked since the rows were made */
  bool drawn = false;      /* XdTreeDraw has run: rows may be shown */
  bool laying_out = false;
  int top = 0;             /* the view's offset into the rows, in pixels */
  int left = 0;
  int content_w = 1;       /* widest row seen so far */
  int pix_w = 0, pix_h = 0; /* size of the lines pixmap: the view's */
  wu_tree_node *unlinked = nullptr; /* a deleted node not yet released */
  XdTreeButtonsProc buttons_proc = nullptr;
  XtPointer buttons_closure = nullptr;
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
constexpr Position kHiddenPos = 30000; /* where a hidden focused row's buttons wait */
/* Spare buttons are kept for at most a view's rows and this many more. */
constexpr size_t kSpareExtra = 3;

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
    "<Btn1Down>(2+): XdTreeDoubleClick()\n"
    "<Btn1Down>: Arm() Activate() Disarm()\n"
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

/* `label_y`: where the row will put the label in the view, so that spare
   buttons already there are taken first and need not move. */
constexpr int kAnywhere = -1000000;
bool ensureButtons(wu_tree_node *n, int label_y = kAnywhere);
void buttonsTaken(wu_tree *tree, wu_tree_node *n);
void parkSpares(wu_tree *tree, std::vector<Widget> &unmanage);

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

wu_tree *treeOfWidget(Widget w) {
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

void unlink(wu_tree *tree, wu_tree_node *n) {
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

/* The picture a button shows now.  Buttons pass from node to node, so
   the button itself says what it shows. */
Pixmap shownPixmap(Widget w) { return reinterpret_cast<XmLabelWidget>(w)->label.pixmap; }

void showIconOpen(wu_tree_node *n, bool open) {
  if (!n->icon) return;
  Pixmap want = open ? n->open_pixmap : n->closed_pixmap;
  if (shownPixmap(n->icon) != want) XtVaSetValues(n->icon, XmNlabelPixmap, want, NULL);
  if (open)
    n->layout |= XdTREE_NODE_ICON_OPEN;
  else
    n->layout &= ~XdTREE_NODE_ICON_OPEN;
}

void showHandleMinus(wu_tree_node *n, bool minus) {
  if (!n->handle) return;
  wu_tree *tree = n->tree;
  Pixmap p = minus ? tree->minus : tree->plus;
  if (shownPixmap(n->handle) != p)
    XtVaSetValues(n->handle, XmNlabelPixmap, p, XmNlabelInsensitivePixmap, p, NULL);
  if (minus)
    n->layout |= XdTREE_NODE_HANDLE_MINUS;
  else
    n->layout &= ~XdTREE_NODE_HANDLE_MINUS;
}

/* A node without buttons shows what its next layout would. */
bool handleShowsPlus(wu_tree_node *n) {
  return n->handle ? shownPixmap(n->handle) != n->tree->minus : !n->expanded;
}

bool labelShowsFocus(wu_tree_node *n) {
  return n->label && n->label->core.background_pixel == n->tree->focus_background;
}

void setExpanded(wu_tree_node *n, unsigned char expanded) {
  n->expanded = expanded;
  n->expanded_copy = expanded;
  if (n->expanded_word) *n->expanded_word = expanded;
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
  for (int32_t i = 0; i < tree->selection_size && tree->selection_count > 0; ++i)
    if (tree->selection[i]) selectionRemove(tree, tree->selection[i], true);
}

/* ---------------------------------------------------------------------- */
/* Activation                                                              */
/* ---------------------------------------------------------------------- */

void callLabelActivate(wu_tree_node *n) {
  if (!ensureButtons(n)) return;
  XmPushButtonCallbackStruct cbs = {};
  cbs.reason = XmCR_ACTIVATE;
  cbs.click_count = 1;
  XtCallCallbacks(n->label, XmNactivateCallback, &cbs);
}

void activateTimeOut(XtPointer client, XtIntervalId *) {
  auto *n = static_cast<wu_tree_node *>(client);
  wu_tree *tree = n->tree;
  tree->activate_id = 0;
  tree->activate_node = nullptr;
  tree->focus = nullptr;
  callLabelActivate(n);
}

void cancelActivation(wu_tree *tree) {
  removeTimeOut(&tree->activate_id);
  tree->activate_node = nullptr;
}

void obscuredTimeOut(XtPointer client, XtIntervalId *) {
  auto *tree = static_cast<wu_tree *>(client);
  tree->obscured_id = 0;
  tree->obscured_pending = 0;
  tree->obscured_focus_in = 0;
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
    tree->view->dirty = true;
    toggled = true;
  } else {
    n->has_handle = 0;
    if (isManaged(n->handle)) XtUnmanageChild(n->handle);
  }
  Held h(tree, n);
  if (n->expand_proc) n->expand_proc(w, n, call_data);
  if (!h.treeAlive()) return;
  if (h.alive() && !n->expanded && !tree->multiple_selection && tree->focus &&
      tree->focus != n && n->first_child && _XdTreeIsChild(n->first_child, tree->focus)) {
    /* Lay out first, so the collapsed rows lose their buttons before the
       keyboard focus moves. */
    tree->view->dirty = true;
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

/* A row's buttons serve whichever node holds them now: the callbacks find
   it through the button. */
void handleActivateCB(Widget w, XtPointer, XtPointer call) {
  if (wu_tree_node *n = nodeOfButton(w)) handleActivate(w, n, call);
}

void labelActivateCB(Widget w, XtPointer, XtPointer call) {
  if (wu_tree_node *n = nodeOfButton(w)) wuxatre(w, n, call);
}

/* Shift-press and button-1 drag over icons and labels: multiple selection. */
void nodeEventHandler(Widget w, XtPointer, XEvent *event, Boolean *go_on) {
  wu_tree_node *n = nodeOfButton(w);
  if (!n) return;
  wu_tree *tree = n->tree;
  if (!tree->multiple_selection) return;
  if (event->type == ButtonPress && (event->xbutton.state & ShiftMask)) {
    selectionAdd(tree, n);
    if (n->select_proc) n->select_proc(w, n, event);
    *go_on = False;
  } else if (event->type == EnterNotify && (event->xcrossing.state & Button1Mask)) {
    if (!tree->owner_managed) {
      if (event->xcrossing.state & ShiftMask)
        selectionRemove(tree, n, true);
      else
        selectionAdd(tree, n);
    }
    if (n->select_proc) n->select_proc(w, n, event);
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
  if (!tree->traversing) tree->has_focus = 0;
}

void doubleClickAction(Widget w, XEvent *event, String *, Cardinal *) {
  wu_tree_node *n = nodeOfButton(w);
  if (n && !n->tree->view->drawn) return;
  if (!n) return;
  if (n->double_click_proc)
    n->double_click_proc(w, n, event);
  else
    XdTreeToggleNode(n);
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

/* The rows shown, top to bottom, with each node's row and level. */
void rebuildRows(wu_tree *tree) {
  XdTreeView *v = tree->view;
  v->rows.clear();
  int right = 1;
  walkTree(tree, [v, tree, &right](wu_tree_node *n, int level) {
    n->row = int32_t(v->rows.size());
    n->level = level;
    v->rows.push_back(n);
    if (n->label_width > 0) {
      int x = tree->left_margin + (level - 1) * tree->indent;
      int label_x = x + int(tree->handle_width) + kIconGap + n->icon_width + kLabelGap -
                    (n->parent ? 0 : kTopLevelIconShift);
      right = std::max(right, label_x + n->label_width + kContentPad);
    }
    return n->expanded != 0;
  });
  v->dirty = false;
  v->content_w = std::max(v->content_w, right);
}

long contentHeight(wu_tree *tree) {
  long rows = long(tree->view->rows.size());
  if (rows == 0) return 1;
  long h = rowCentre(tree, rows - 1) + tree->row_height / 2 + 1 + kContentPad;
  return std::min(h, long(kMaxExtent));
}

void liveAdd(wu_tree *tree, wu_tree_node *n) {
  XdTreeView *v = tree->view;
  if (n->live_slot) return;
  v->live.push_back(n);
  n->live_slot = int32_t(v->live.size());
}

void liveRemove(wu_tree *tree, wu_tree_node *n) {
  XdTreeView *v = tree->view;
  if (!n->live_slot) return;
  size_t i = size_t(n->live_slot - 1);
  v->live[i] = v->live.back();
  v->live[i]->live_slot = int32_t(i + 1);
  v->live.pop_back();
  n->live_slot = 0;
}

/* Takes a node's buttons away, to serve the next row that needs them;
   the node gets buttons again when its row is shown again.  The focus and
   selection state live in the node.  The buttons stay where they are
   until the spare ones are put away (parkSpares). */
void dropButtons(wu_tree *tree, wu_tree_node *n) {
  liveRemove(tree, n);
  if (!n->label) return;
  XdTreeButtons b = {n->handle, n->icon, n->label};
  n->handle = n->icon = n->label = nullptr;
  n->layout &= ~XdTREE_NODE_SHOWN;
  for (Widget w : {b.handle, b.icon, b.label}) setButtonData(w, nullptr);
  tree->view->spare.push_back(b);
}

void setBar(Widget bar, int maximum, int slider, int value, int increment, int page) {
  if (!bar) return;
  slider = std::max(1, std::min(slider, maximum));
  value = std::max(0, std::min(value, maximum - slider));
  int o_max = 0, o_slider = 0, o_value = 0, o_inc = 0, o_page = 0, o_min = 0;
  XtVaGetValues(bar, XmNmaximum, &o_max, XmNsliderSize, &o_slider, XmNvalue, &o_value,
                XmNincrement, &o_inc, XmNpageIncrement, &o_page, XmNminimum, &o_min, NULL);
  if (o_max == maximum && o_slider == slider && o_value == value && o_inc == increment &&
      o_page == page && o_min == 0)
    return;
  XtVaSetValues(bar, XmNminimum, 0, XmNmaximum, maximum, XmNsliderSize, slider, XmNvalue, value,
                XmNincrement, std::max(1, increment), XmNpageIncrement, std::max(1, page), NULL);
}

/* The scroll bars follow the content and the view; the offsets stay
   within them. */
void updateBars(wu_tree *tree, int view_w, int view_h) {
  XdTreeView *v = tree->view;
  long content_h = contentHeight(tree);
  int max_top = int(std::max(0L, content_h - view_h));
  int max_left = std::max(0, v->content_w - view_w);
  v->top = std::max(0, std::min(v->top, max_top));
  v->left = std::max(0, std::min(v->left, max_left));
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
  GC gc;
  int w, h;
  void horizontal(long x1, long x2, long y) {
    if (y < -1 || y > h || x2 < -1 || x1 > w || x2 < x1) return;
    long left = std::max(x1, -1L), right = std::min(x2, long(w) + 1);
    XSetDashes(dpy, gc, int((left - x1) & 1), kDashes, sizeof kDashes);
    XDrawLine(dpy, d, gc, int(left), int(y), int(right), int(y));
  }
};

/* Where a node's row puts it, in the coordinates of the whole tree. */
struct Place {
  long x, handle_y, line_y, line_end, icon_x, icon_y, label_x, label_y;
};

Place placeOf(wu_tree *tree, wu_tree_node *n) {
  Place p;
  const long centre = rowCentre(tree, n->row);
  p.x = tree->left_margin + long(n->level - 1) * tree->indent;
  p.handle_y = centre - tree->handle_height / 2;
  p.line_y = p.handle_y + tree->handle_height / 2 + 1;
  p.line_end = p.x + tree->handle_width + kIconGap;
  p.icon_x = n->parent ? p.line_end : p.line_end - kTopLevelIconShift;
  p.icon_y = centre - n->icon_height / 2;
  p.label_x = p.icon_x + n->icon_width + kLabelGap;
  p.label_y = centre - n->label_height / 2 + 1;
  return p;
}

/* The top of the vertical line of the chain `n` belongs to. */
long chainTop(wu_tree *tree, wu_tree_node *n) {
  wu_tree_node *first = n->parent ? n->parent->first_child : tree->root;
  long top = rowCentre(tree, first->row) - tree->handle_height / 2;
  return n->parent ? top - kChildLineRise : top;
}

Position clampPos(long v) { return Position(std::max(-30000L, std::min(30000L, v))); }

/* Lays out the rows in view: their nodes get buttons, placed in view
   coordinates; nodes whose rows left the view lose theirs (the focused
   node keeps its buttons, out of sight, so the keyboard focus stays with
   it); the connecting lines of the view are drawn into the lines pixmap. */
void layoutView(wu_tree *tree) {
  XdTreeView *v = tree->view;
  Widget da = tree->drawing_area;
  if (!v->drawn || tree->destroying || v->laying_out || !XtIsRealized(da)) return;
  v->laying_out = true;
  if (v->dirty) rebuildRows(tree);
  const int view_w = std::max<int>(1, XtWidth(da));
  const int view_h = std::max<int>(1, XtHeight(da));

  /* Buttons for the rows in view, handed over from the rows that left it;
     a new label may make the rows taller, which moves the range. */
  size_t first = 0, last = 0;
  const size_t count = v->rows.size();
  auto inView = [&](wu_tree_node *n) {
    return count > 0 && isRow(tree, n) && size_t(n->row) >= first && size_t(n->row) <= last;
  };
  std::vector<wu_tree_node *> leaving;
  for (int pass = 0; pass < 16; ++pass) {
    updateBars(tree, view_w, view_h);
    const long R = std::max<long>(1, tree->row_height);
    /* As many rows at any offset, so that scrolling always finds the
       buttons it needs among those the rows leaving gave up. */
    first = size_t(std::max(0L, v->top / R));
    last = first + size_t(view_h / R + 1);
    if (count > 0) last = std::min(last, count - 1);
    leaving.clear();
    for (wu_tree_node *n : v->live)
      if (!inView(n)) leaving.push_back(n);
    for (wu_tree_node *n : leaving) {
      if (n == tree->focus && n->label) {
        /* Out of sight, still holding the keyboard focus: below and right
           of the view (the drawing area moves children placed at negative
           coordinates back to its edge). */
        for (Widget w : {n->handle, n->icon, n->label})
          if (w) XtMoveWidget(w, kHiddenPos, kHiddenPos);
        n->layout &= ~XdTREE_NODE_SHOWN;
        continue;
      }
      dropButtons(tree, n);
    }
    if (count == 0) break;
    bool taller = false;
    for (size_t i = first; i <= last && i < count && !taller; ++i) {
      const int32_t before = tree->row_height;
      wu_tree_node *n = v->rows[i];
      ensureButtons(n, int(std::min(placeOf(tree, n).label_y - v->top, 30000L)));
      taller = tree->row_height != before; /* fewer rows fit: the range again */
    }
    if (!taller) break;
  }

  std::vector<Widget> manage, unmanage;
  auto want = [&manage, &unmanage](Widget w, bool on) {
    if (!w) return;
    bool managed = XtIsManaged(w);
    if (on && !managed)
      manage.push_back(w);
    else if (!on && managed)
      unmanage.push_back(w);
  };

  Display *dpy = XtDisplay(da);
  if (!tree->lines_pixmap || v->pix_w != view_w || v->pix_h != view_h) {
    if (tree->lines_pixmap) XFreePixmap(dpy, tree->lines_pixmap);
    tree->lines_pixmap = XCreatePixmap(dpy, RootWindowOfScreen(XtScreen(da)), unsigned(view_w),
                                       unsigned(view_h), unsigned(tree->depth));
    v->pix_w = view_w;
    v->pix_h = view_h;
  }
  XSetForeground(dpy, tree->line_gc, tree->background);
  XFillRectangle(dpy, tree->lines_pixmap, tree->line_gc, 0, 0, unsigned(view_w), unsigned(view_h));
  XSetForeground(dpy, tree->line_gc, tree->foreground);
  XSetLineAttributes(dpy, tree->line_gc, 1, LineOnOffDash, CapButt, JoinRound);
  Lines lines = {dpy, tree->lines_pixmap, tree->line_gc, view_w, view_h};
  const long top = v->top, left = v->left;
  const long hw = tree->handle_width;
  const bool many_roots = tree->root && tree->root->next;

  for (size_t i = first; count > 0 && i <= last; ++i) {
    wu_tree_node *n = v->rows[i];
    Place p = placeOf(tree, n);
    n->x = int32_t(p.x);
    n->handle_y = int32_t(std::min(p.handle_y, long(INT32_MAX)));
    n->icon_x = int32_t(p.icon_x);
    n->icon_y = int32_t(std::min(p.icon_y, long(INT32_MAX)));
    n->label_x = int16_t(std::min(p.label_x, 32767L));
    n->label_y = int16_t(std::min(p.label_y, 32767L));
    v->content_w = std::max<long>(v->content_w, std::min(p.label_x + n->label_width + kContentPad,
                                                          long(kMaxExtent)));
    bool handle_on = n->has_handle && n->parent;
    if (n->has_handle) showHandleMinus(n, n->expanded != 0);
    if (handle_on) XtMoveWidget(n->handle, clampPos(p.x - left), clampPos(p.handle_y - top));
    want(n->handle, handle_on);
    XtMoveWidget(n->icon, clampPos(p.icon_x - left), clampPos(p.icon_y - top));
    showIconOpen(n, tree->focus == n);
    want(n->icon, true);
    XtMoveWidget(n->label, clampPos(p.label_x - left), clampPos(p.label_y - top));
    want(n->label, true);
    n->layout |= XdTREE_NODE_SHOWN;

    const long vx = p.x + hw / 2 + 1 - left;
    if (n->parent) lines.horizontal(vx, p.line_end - left, p.line_y - top);
    /* The chain's vertical line down to this node, from the sibling above
       or from the chain's top. */
    if (n->parent || many_roots) {
      long from = n->prev ? placeOf(tree, n->prev).line_y : chainTop(tree, n);
      long chain_top = chainTop(tree, n);
      long y1 = from - top, y2 = p.line_y - top;
      if (y2 >= -1 && y1 <= view_h) {
        long clipped = std::max(y1, -1L);
        /* Dashes run from the chain's top. */
        XSetDashes(dpy, tree->line_gc, int(((clipped + top) - chain_top) & 1), kDashes,
                   sizeof kDashes);
        XDrawLine(dpy, tree->lines_pixmap, tree->line_gc, int(vx), int(clipped), int(vx),
                  int(std::min(y2, long(view_h) + 1)));
      }
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
      if (y1 > view_h) continue;
      long clipped = std::max(y1, -1L);
      XSetDashes(dpy, tree->line_gc, int(((clipped + top) - chainTop(tree, a)) & 1), kDashes,
                 sizeof kDashes);
      XDrawLine(dpy, tree->lines_pixmap, tree->line_gc, int(vx), int(clipped), int(vx),
                view_h + 1);
    }
  }
  XSetLineAttributes(dpy, tree->line_gc, 0, LineSolid, CapButt, JoinRound);
  tree->width = int16_t(std::min(v->content_w, 32767));
  tree->height = int16_t(std::min(contentHeight(tree), 32767L));

  /* Buttons no row took are put away with the others unmanaged here, in
     one batch: the toolkit checks the keyboard focus once per batch, with
     a server round trip. */
  parkSpares(tree, unmanage);
  if (!manage.empty()) XtManageChildren(manage.data(), Cardinal(manage.size()));
  copyLines(tree, 0, 0, view_w, view_h);
  v->laying_out = false;
}

/* Scrolls so that the node's row (its icon, and as much of its label as
   fits) is in view.  False when the node has no row shown. */
bool scrollToNode(wu_tree *tree, wu_tree_node *n) {
  XdTreeView *v = tree->view;
  if (!v->drawn || !XtIsRealized(tree->drawing_area)) return false;
  if (v->dirty) rebuildRows(tree);
  if (!isRow(tree, n)) return false;
  const long view_h = std::max<int>(1, XtHeight(tree->drawing_area));
  const long view_w = std::max<int>(1, XtWidth(tree->drawing_area));
  const long R = std::max<long>(1, tree->row_height);
  long row_top = rowCentre(tree, n->row) - R / 2;
  long row_bottom = row_top + R;
  long top = v->top;
  if (row_top < top)
    top = row_top;
  else if (row_bottom > top + view_h)
    top = row_bottom - view_h;
  Place p = placeOf(tree, n);
  long left = v->left;
  long right = p.label_x + std::max<long>(n->label_width, 1);
  if (p.icon_x < left)
    left = p.icon_x;
  else if (right > left + view_w)
    left = std::min(p.icon_x, right - view_w);
  v->top = int(std::max(0L, top));
  v->left = int(std::max(0L, left));
  layoutView(tree);
  return true;
}

/* The scroll bars move the view. */
void scrollCB(Widget w, XtPointer client, XtPointer call) {
  auto *tree = static_cast<wu_tree *>(client);
  auto *cbs = static_cast<XmScrollBarCallbackStruct *>(call);
  if (!cbs) return;
  if (w == tree->vsb)
    tree->view->top = cbs->value;
  else
    tree->view->left = cbs->value;
  layoutView(tree);
}

void resizeCB(Widget, XtPointer client, XtPointer) { layoutView(static_cast<wu_tree *>(client)); }

/* ---------------------------------------------------------------------- */
/* Releasing nodes                                                         */
/* ---------------------------------------------------------------------- */

/* The buttons of the nodes released by one deletion; destroyed together
   once the deletion is done. */
std::vector<Widget> doomed;

/* Destroys the drawing area's buttons of released nodes.  The toolkit's
   removal of a child searches and shifts the parent's whole child list,
   which makes deleting many nodes quadratic; so the list is compacted here
   in one pass and hidden from that search while the buttons go. */
void destroyDoomed(wu_tree *tree) {
  std::vector<Widget> batch;
  batch.swap(doomed);
  if (batch.empty()) return;
  auto *da = reinterpret_cast<CompositeWidget>(tree->drawing_area);
  std::sort(batch.begin(), batch.end());
  Cardinal kept = 0;
  for (Cardinal i = 0; i < da->composite.num_children; ++i) {
    Widget child = da->composite.children[i];
    if (!std::binary_search(batch.begin(), batch.end(), child))
      da->composite.children[kept++] = child;
  }
  da->composite.num_children = 0;
  for (Widget w : batch) XtDestroyWidget(w);
  da->composite.num_children = kept;
}

/* Puts the spare buttons away: those still managed are unmanaged (with
   `unmanage`, in one batch), and those beyond the spare limit destroyed. */
void parkSpares(wu_tree *tree, std::vector<Widget> &unmanage) {
  std::vector<XdTreeButtons> &spare = tree->view->spare;
  for (const XdTreeButtons &b : spare)
    for (Widget w : {b.handle, b.icon, b.label})
      if (XtIsManaged(w)) unmanage.push_back(w);
  if (!unmanage.empty()) XtUnmanageChildren(unmanage.data(), Cardinal(unmanage.size()));
  unmanage.clear();
  const size_t per_view =
      size_t(std::max<int>(1, XtHeight(tree->drawing_area)) / std::max(1, int(tree->row_height)));
  while (spare.size() > per_view + kSpareExtra) {
    const XdTreeButtons &b = spare.back();
    doomed.insert(doomed.end(), {b.handle, b.icon, b.label});
    spare.pop_back();
  }
  destroyDoomed(tree);
}

void parkSpares(wu_tree *tree) {
  std::vector<Widget> none;
  parkSpares(tree, none);
}

/* Releases one node; `linked` when it is still in its sibling chain.  The
   release function may re-enter the tree: the node is out of every list by
   then, and a nested delete is refused while nodes are being released.  It
   may also destroy the tree: the node is freed all the same, and false
   tells the caller that the tree is gone. */
bool releaseNode(wu_tree *tree, wu_tree_node *n, bool linked = true) {
  if (tree->focus == n) tree->focus = n->parent ? n->parent : n->next ? n->next : n->prev;
  if (linked) unlink(tree, n);
  tree->view->dirty = true;
  n->tree = tree; /* a deleted top node was marked as out of the tree */
  if (tree->activate_node == n) cancelActivation(tree);
  removeTimeOut(&tree->obscured_id);
  selectionRemove(tree, n, false);
  liveRemove(tree, n);
  if (n->release_proc) {
    Held h(tree, nullptr);
    ++tree->releasing;
    n->release_proc(n->label, n, nullptr);
    if (!h.treeAlive()) { /* the tree went; its widgets with it */
      forgetNode(n);
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
  if (!tree->destroying && n->label && !n->label->core.being_destroyed) dropButtons(tree, n);
  XtFree(n->text);
  XtFree(reinterpret_cast<char *>(n));
  return true;
}

/* Releases everything below `top`, deepest nodes first; false when a
   release function destroyed the tree (which released the rest). */
bool releaseChildren(wu_tree *tree, wu_tree_node *top) {
  wu_tree_node *c = top->first_child;
  while (c) {
    while (c->first_child) c = c->first_child;
    wu_tree_node *p = c->parent;
    if (!releaseNode(tree, c)) return false;
    c = p == top ? top->first_child : p;
  }
  return true;
}

/* While the tree is being destroyed: every node left goes, with the one a
   deletion had unlinked when an owner function destroyed the tree. */
void releaseTopLevel(wu_tree *tree) {
  while (tree->root) {
    wu_tree_node *n = tree->root;
    releaseChildren(tree, n);
    releaseNode(tree, n);
  }
  if (wu_tree_node *n = tree->view->unlinked) {
    tree->view->unlinked = nullptr;
    releaseNode(tree, n, false);
  }
}

void freeTree(wu_tree *tree, Display *dpy) {
  Pixmap pixmaps[] = {tree->lines_pixmap, tree->open_folder, tree->closed_folder,
                      tree->open_mask,    tree->closed_mask, tree->minus,
                      tree->plus,         tree->minus_mask,  tree->plus_mask};
  for (Pixmap p : pixmaps)
    if (p) XFreePixmap(dpy, p);
  if (tree->line_gc) XFreeGC(dpy, tree->line_gc);
  XtFree(reinterpret_cast<char *>(tree->selection));
  delete tree->view;
  free(tree);
}

void destroyCB(Widget w, XtPointer client, XtPointer) {
  auto *tree = static_cast<wu_tree *>(client);
  tree->destroying = 1;
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
  cbs->dropSiteStatus = XmNO_DROP_SITE;
  if (!tree) return;
  if (cbs->reason != XmCR_DROP_SITE_MOTION_MESSAGE) {
    stopAutoScroll(tree);
    return;
  }
  Widget sw = tree->scrolled_w, da = tree->drawing_area;
  int edges = 0;
  if (tree->view->content_w > int(XtWidth(da)) || contentHeight(tree) > long(XtHeight(da))) {
    Position wx = 0, wy = 0, sx = 0, sy = 0;
    XtTranslateCoords(w, 0, 0, &wx, &wy);
    XtTranslateCoords(sw, 0, 0, &sx, &sy);
    int x = cbs->x + wx - sx, y = cbs->y + wy - sy;
    if (y < kScrollEdge) edges |= XdTREE_EDGE_TOP;
    if (y >= int(XtHeight(sw)) - kScrollEdge) edges |= XdTREE_EDGE_BOTTOM;
    if (x < kScrollEdge) edges |= XdTREE_EDGE_LEFT;
    if (x >= int(XtWidth(sw)) - kScrollEdge) edges |= XdTREE_EDGE_RIGHT;
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

/* The GC draws into the lines pixmap, so it is made for the tree's depth. */
bool makeGC(wu_tree *tree, Display *dpy, Screen *screen) {
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
  tree->line_gc = XCreateGC(dpy, d, GCForeground | GCBackground | GCGraphicsExposures, &values);
  if (scratch) XFreePixmap(dpy, scratch);
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

/* Makes the node's handle, icon and label buttons, showing the node's
   current focus and selection state, and grows the row height to fit. */
void createButtons(wu_tree *tree, wu_tree_node *n) {
  const EventMask mask =
      ButtonPressMask | ButtonReleaseMask | EnterWindowMask | LeaveWindowMask | OwnerGrabButtonMask;
  /* Picture buttons get an empty text: the toolkit would otherwise make
     one from the widget's name for each. */
  static XmString empty = XmStringCreateLocalized(const_cast<char *>(""));
  const bool focused = tree->focus == n;
  Arg args[7];
  Cardinal c = 0;
  XtSetArg(args[c], XmNlabelString, empty); ++c;
  XtSetArg(args[c], XmNlabelType, XmPIXMAP); ++c;
  XtSetArg(args[c], XmNlabelPixmap, tree->plus); ++c;
  XtSetArg(args[c], XmNlabelInsensitivePixmap, tree->plus); ++c;
  XtSetArg(args[c], XmNshadowThickness, 0); ++c;
  XtSetArg(args[c], XmNhighlightThickness, 0); ++c;
  XtSetArg(args[c], XmNtraversalOn, False); ++c;
  n->handle = createButton(tree, n, false, args, c);
  XtSetMappedWhenManaged(n->handle, n->expandable ? True : False);
  XtAddCallback(n->handle, XmNactivateCallback, handleActivateCB, nullptr);

  /* The icon: the same without an insensitive picture. */
  XtSetArg(args[2], XmNlabelPixmap, focused ? n->open_pixmap : n->closed_pixmap);
  XtSetArg(args[3], XmNtraversalOn, False);
  n->icon = createButton(tree, n, false, args, 6);
  XtAddCallback(n->icon, XmNactivateCallback, labelActivateCB, nullptr);
  XtAddEventHandler(n->icon, mask, False, nodeEventHandler, nullptr);

  XmString text = _XdMakeString(n->text);
  c = 0;
  XtSetArg(args[c], XmNlabelString, text); ++c;
  XtSetArg(args[c], XmNshadowThickness, 0); ++c;
  n->label = createButton(tree, n, focused || n->selected, args, c);
  XmStringFree(text);
  XtAddCallback(n->label, XmNactivateCallback, labelActivateCB, nullptr);
  XtAddEventHandler(n->label, mask, False, nodeEventHandler, nullptr);
  n->layout = focused ? XdTREE_NODE_ICON_OPEN : 0;
  buttonsTaken(tree, n);
}

/* Gives the node the buttons another row gave up, showing the node's
   text, pictures, focus and selection state. */
void takeSpare(wu_tree *tree, wu_tree_node *n, int label_y) {
  std::vector<XdTreeButtons> &spare = tree->view->spare;
  size_t pick = spare.size() - 1;
  if (label_y != kAnywhere)
    for (size_t i = 0; i < spare.size(); ++i)
      if (XtY(spare[i].label) == label_y && XtIsManaged(spare[i].label)) {
        pick = i;
        break;
      }
  XdTreeButtons b = spare[pick];
  spare[pick] = spare.back();
  spare.pop_back();
  n->handle = b.handle;
  n->icon = b.icon;
  n->label = b.label;
  for (Widget w : {b.handle, b.icon, b.label}) setButtonData(w, n);
  XtSetMappedWhenManaged(n->handle, n->expandable ? True : False);
  n->layout = 0;
  showHandleMinus(n, n->expanded != 0);
  showIconOpen(n, tree->focus == n);
  XmString text = _XdMakeString(n->text);
  XtVaSetValues(n->label, XmNlabelString, text, NULL);
  XmStringFree(text);
  /* A managed label keeps the size the drawing area gave the previous
     node's text (a wider one showed the new text centred, off its icon).
     The tree places its buttons itself, so it gives the label the size
     its new text wants. */
  XtWidgetGeometry want = {};
  XtQueryGeometry(n->label, nullptr, &want);
  if ((want.request_mode & (CWWidth | CWHeight)) == (CWWidth | CWHeight) &&
      (want.width != XtWidth(n->label) || want.height != XtHeight(n->label)))
    XtResizeWidget(n->label, want.width, want.height, XtBorderWidth(n->label));
  _XdTreeSetFocusColors(n, tree->focus == n || n->selected);
  buttonsTaken(tree, n);
}

/* The node holds buttons now: it is live, and its label's size may grow
   the rows. */
void buttonsTaken(wu_tree *tree, wu_tree_node *n) {
  liveAdd(tree, n);
  n->label_width = int16_t(XtWidth(n->label));
  n->label_height = int16_t(XtHeight(n->label));
  int label_row = XtHeight(n->label) + reinterpret_cast<XmPrimitiveWidget>(n->label)
                                           ->primitive.highlight_thickness;
  int icon_row = XtHeight(n->icon) +
                 reinterpret_cast<XmPrimitiveWidget>(n->icon)->primitive.highlight_thickness;
  tree->row_height = std::max({tree->row_height, label_row, icon_row});
}

/* A node's buttons are made when a layout first shows it, or when an
   operation needs them earlier: nodes in subtrees never expanded cost no
   widgets.  False for a node that is not in a tree. */
bool ensureButtons(wu_tree_node *n, int label_y) {
  if (!n || !n->tree) return false;
  if (!n->label) {
    wu_tree *tree = n->tree;
    if (tree->view->spare.empty())
      createButtons(tree, n);
    else
      takeSpare(tree, n, label_y);
    if (tree->view->buttons_proc) tree->view->buttons_proc(tree, n, tree->view->buttons_closure);
  }
  return n->label != nullptr;
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
  node->handle = node->icon = node->label = nullptr; /* made when first shown */
  node->layout = 0;
  node->row = -1;
  node->level = 0;
  node->live_slot = 0;
  tree->view->dirty = true;
  return 0;
}

int XdTreeDeleteTree(wu_tree *tree, wu_tree_node *node) {
  if (!tree || !tree->root || !node || node->tree != tree || tree->releasing) return -1;
  Held h(tree, nullptr);

  /* Take the subtree off the screen in one batch. */
  std::vector<Widget> shown;
  walkSubtree(node, [&shown](wu_tree_node *n) {
    for (Widget w : {n->handle, n->icon, n->label})
      if (isManaged(w)) shown.push_back(w);
    return true;
  });
  if (!shown.empty()) XtUnmanageChildren(shown.data(), Cardinal(shown.size()));

  if (!releaseChildren(tree, node)) return 0;

  wu_tree_node *parent = node->parent, *next = node->next;
  unlink(tree, node);
  tree->view->unlinked = node; /* released with the tree should it go meanwhile */
  tree->view->dirty = true;
  liveRemove(tree, node);
  node->tree = nullptr; /* a nested delete of this node is refused */
  if (parent && !parent->first_child) {
    parent->has_handle = 0;
    setExpanded(parent, 0);
    parent->layout &= ~XdTREE_NODE_CHILDREN_SHOWN;
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
  releaseNode(tree, node, false);
  if (!h.treeAlive()) return 0;
  parkSpares(tree);
  return 0;
}

int XdTreeDraw(wu_tree *tree) {
  if (!tree || !XtIsRealized(tree->drawing_area)) return -1;
  tree->saved_has_focus = tree->has_focus;
  tree->view->drawn = true;
  tree->view->dirty = true;
  layoutView(tree);
  if (!tree->root) return -1;
  if (tree->saved_has_focus && tree->focus) XdTreeSetFocus(tree, tree->focus, 0);
  return 0;
}

int XdTreeExpandNode(wu_tree_node *node) {
  if (!node || !node->tree || !node->expandable) return 0;
  if (node->expanded_word) *node->expanded_word = 1;
  if (handleShowsPlus(node) && ensureButtons(node)) {
    Held h(node->tree, node);
    handleActivate(node->handle, node, nullptr);
    if (!stillThere(h, "updating the expanded word")) return 1;
  }
  if (!node->first_child && node->expanded_word) *node->expanded_word = 0;
  return 1;
}

int XdTreeCollapseNode(wu_tree_node *node) {
  if (!node || !node->tree) return 0;
  if (!handleShowsPlus(node) && ensureButtons(node)) {
    Held h(node->tree, node);
    handleActivate(node->handle, node, nullptr);
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
  /* The node's row comes into view first, so that it has buttons to take
     the keyboard focus.  Not while a deletion moves the focus: the rows
     are not final until the owner draws the tree again, which brings the
     focus back into view. */
  if (!tree->deleting) scrollToNode(tree, node);
  if (XtIsManaged(tree->drawing_area) && isManaged(node->label))
    XmProcessTraversal(node->label, XmTRAVERSE_CURRENT);
  if (tree->focus == node && labelShowsFocus(node)) return;
  wu_tree_node *previous = tree->focus;
  Held held_previous(tree, previous);
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
  /* A previous focus kept out of sight for the keyboard gives its buttons up. */
  if (held_previous.alive() && previous != node && previous->label &&
      !(previous->layout & XdTREE_NODE_SHOWN) && !tree->view->laying_out) {
    dropButtons(tree, previous);
    parkSpares(tree);
  }
}

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
  wu_tree_node *found = nullptr;
  walkTree(tree, [&found, w](wu_tree_node *n, int) {
    if (!found && (n->icon == w || n->label == w)) found = n;
    return !found;
  });
  return found;
}

void wuxatre(Widget w, wu_tree_node *node, XtPointer call_data) {
  if (!node || !node->tree) return;
  wu_tree *tree = node->tree;
  if (tree->owner_managed) {
    if (node->select_proc) node->select_proc(w, node, call_data);
    return;
  }
  bool notify = !(tree->focus == node && labelShowsFocus(node));
  selectionClear(tree);
  XdTreeSetFocus(tree, node, 0);
  selectionAdd(tree, node);
  XFlush(XtDisplay(tree->drawing_area));
  if (notify && node->select_proc) node->select_proc(w, node, call_data);
}

int _XdTreeMakeNodeButtons(wu_tree_node *node) { return ensureButtons(node) ? 1 : 0; }

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
  if (!node || !node->tree || !node->label) return;
  wu_tree *tree = node->tree;
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
  int row = std::max(tree->icon_height, tree->handle_height);
  walkTree(tree, [&row, font_list](wu_tree_node *n, int) {
    if (n->label) {
      if (font_list) {
        XtVaSetValues(n->label, XmNfontList, font_list, NULL);
        /* The drawing area keeps its children's sizes: the label takes the
           size its new font needs here. */
        XtWidgetGeometry pref;
        XtQueryGeometry(n->label, nullptr, &pref);
        if ((pref.request_mode & CWWidth) && (pref.request_mode & CWHeight))
          XtResizeWidget(n->label, pref.width, pref.height, n->label->core.border_width);
      }
      n->label_width = int16_t(XtWidth(n->label));
      n->label_height = int16_t(XtHeight(n->label));
      int label_row = XtHeight(n->label) +
                      reinterpret_cast<XmPrimitiveWidget>(n->label)->primitive.highlight_thickness;
      row = std::max({row, label_row, int(n->icon_height)});
    }
    return true;
  });
  tree->row_height = row;
  /* Spare labels take the font too, for the rows they will serve. */
  if (font_list)
    for (const XdTreeButtons &b : tree->view->spare)
      XtVaSetValues(b.label, XmNfontList, font_list, NULL);
}

}  // extern "C"
