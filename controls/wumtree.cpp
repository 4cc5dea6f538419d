// The tree view: a hierarchy of nodes shown by an XdTree inside a form with
// an optional title and a resize handle on its right edge.  The host builds
// node records and hands them to `_addNodes`; the control keeps a copy of
// each, linked in the shape of the tree, and names nodes to the host only by
// those copies.  A copy carries a key from one module counter: every record
// the host hands back is looked up by its key in the control's table of live
// nodes, so a deleted node (its copy cleared and kept until the control is
// released) or a foreign record is refused and never read beyond its key.
#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <Xm/DragDrop.h>
#include <Xm/DrawingA.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "controls/wumlist.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"
#include "xd/TreeP.h"

extern "C" {
wu_status wuxgtre(wu_pane *pane, wu_control **out);
wu_status wutitre(wu_control *c);
wu_status wu_create_trv(wu_pane *pane, wu_control **out);
Widget wu_trv_focus(wu_control *c);
}

namespace {

constexpr int32_t kLastMethod = WU_M_GETNODE;
constexpr int32_t kResizeEdge = 6;           // pixels at the right edge that resize
constexpr int32_t kTitleFramePad = 8;
constexpr int32_t kTitleLabelPad = 4;
constexpr int32_t kLabelMax = 65536;
constexpr int32_t kIconSize = WU_ICON_SMALL;
constexpr int32_t kSearchOneLevel = 2;
constexpr int32_t kModeBefore = 0, kModeAfter = 1, kModeFirstChild = 2, kModeLastChild = 3;

// A node as the control knows it; the copy comes first, so the address the
// host is given is the record's.
struct NodeInfo {
  wu_node_record copy;
  wu_tree_node *node;       // null once deleted
  wu_control *control;
  uint32_t key;
  int32_t busy;             // an expand, click or free hand-off runs
  int32_t waiting;          // a method expands it: the tree's callback sends nothing
  int32_t named;            // an event has named it: the host may hold one with its key
  NodeInfo *link;           // the spare list, or the control's list of deleted nodes
};

// The nodes of a tree view by key.  Keys come from one module counter and
// are never reused; the control's nodes have keys from `base` on, so a key
// is an index: no look-up table grows or shrinks per node.  A key of another
// control (or a stale one) finds no node.  Once the control has no nodes
// left, the table starts again from the next key given out.
struct TreeState {
  uint32_t base = 0;                 // the first key of the table
  std::vector<NodeInfo *> by_key;    // key - base -> live node, or null
  size_t live = 0;                   // nodes in the table
  NodeInfo *dead = nullptr;          // cleared copies, kept until release
  int32_t busy = 0;                  // hand-offs running on its nodes
  size_t named = 0;                  // live nodes an event has named

  NodeInfo *find(uint32_t key) const {
    if (key < base || key - base >= by_key.size()) return nullptr;
    NodeInfo *i = by_key[key - base];
    return (i != nullptr && i->key == key) ? i : nullptr;
  }
  bool has(uint32_t key) const { return find(key) != nullptr; }
  void enter(NodeInfo *i) {
    if (live == 0) {
      by_key.clear();
      base = i->key;
    }
    const size_t k = i->key - base;
    if (k == by_key.size()) {
      by_key.push_back(i);
    } else {
      if (k > by_key.size()) by_key.resize(k + 1, nullptr);
      by_key[k] = i;
    }
    ++live;
  }
  // Room for `more` keys beyond the last given out, so that a run of
  // insertions grows the table once.
  void reserve(size_t more) { by_key.reserve(by_key.size() + more); }
  void forget(uint32_t key) {
    if (key < base || key - base >= by_key.size() || by_key[key - base] == nullptr) return;
    by_key[key - base] = nullptr;
    --live;
  }
};

uint32_t g_next_key = 0;

// Node records are handed to the host as the addresses of their copies, and
// the host may hand any of them back long after the node, or its control,
// is gone.  The records therefore live in blocks that are never given back
// to the heap: a released one is cleared (key 0, so no lookup finds it) and
// kept for the next node, and an old copy always reads as a cleared or a
// live record.  The blocks also tell the module's copies from the host's
// records by address.  They go back to the heap when the module is unloaded.
// Each block is twice the size of the one before (up to a limit), so that
// there are few of them to search by address.
constexpr size_t kInfoBlockFirst = 512;
constexpr size_t kInfoBlockMost = 32768;

struct InfoBlock {
  NodeInfo *first;
  size_t count;
  size_t used;   // records handed out at least once, from the first on
};

struct InfoBlocks {
  std::vector<InfoBlock> blocks;     // sorted by address
  uintptr_t low = UINTPTR_MAX;       // the addresses the blocks span
  uintptr_t high = 0;
  size_t next_count = kInfoBlockFirst;
  NodeInfo *spare = nullptr;         // released records, cleared
  NodeInfo *fresh = nullptr;         // the newest block's records never handed out
  NodeInfo *fresh_end = nullptr;
  size_t newest = SIZE_MAX;          // index of the newest block in `blocks`
  ~InfoBlocks() {
    for (const InfoBlock &b : blocks) std::free(b.first);
  }
} g_infos;

// A block's records are cleared one by one as they are first handed out,
// not all at once: clearing a fresh block of 32,768 records would cost more
// than the nodes made from it.  The records never handed out are never read
// (a host address among them is not a copy).
static_assert(std::is_trivial<NodeInfo>::value, "a node record is plain data");

// Whether the newest block still has records never handed out.
bool fresh_left() { return g_infos.fresh != g_infos.fresh_end; }

// A new block of records never handed out; false when memory is out.
bool new_block() {
  const size_t count = g_infos.next_count;
  auto *block = static_cast<NodeInfo *>(std::malloc(count * sizeof(NodeInfo)));
  if (block == nullptr) return false;
  const InfoBlock b = {block, count, 0};
  auto at = g_infos.blocks.insert(
      std::upper_bound(g_infos.blocks.begin(), g_infos.blocks.end(), b,
                       [](const InfoBlock &x, const InfoBlock &y) { return x.first < y.first; }),
      b);
  g_infos.newest = size_t(at - g_infos.blocks.begin());
  const auto start = reinterpret_cast<uintptr_t>(block);
  g_infos.low = std::min(g_infos.low, start);
  g_infos.high = std::max(g_infos.high, start + count * sizeof(NodeInfo));
  g_infos.next_count = std::min(count * 2, kInfoBlockMost);
  g_infos.fresh = block;
  g_infos.fresh_end = block + count;
  return true;
}

// A node record to fill: a released one (cleared), else the next never
// handed out (unwritten, the caller writes every field); null when memory
// is out.
__attribute__((always_inline)) inline NodeInfo *new_info() {
  if (NodeInfo *i = g_infos.spare) {
    g_infos.spare = i->link;
    i->link = nullptr;  // the rest was cleared when it was released
    return i;
  }
  if (!fresh_left() && !new_block()) return nullptr;
  NodeInfo *i = g_infos.fresh++;
  ++g_infos.blocks[g_infos.newest].used;
  return i;
}

void release_info(NodeInfo *i) {
  if (i == nullptr) return;
  *i = NodeInfo{};
  i->link = g_infos.spare;
  g_infos.spare = i;
}

// Whether a record is a copy this module made (live or cleared): the host
// may hand one in, and it is never written.
bool module_copy(const wu_node_record *rec) {
  const auto p = reinterpret_cast<uintptr_t>(rec);
  if (p < g_infos.low || p >= g_infos.high) return false;
  auto it = std::upper_bound(g_infos.blocks.begin(), g_infos.blocks.end(), p,
                             [](uintptr_t v, const InfoBlock &b) {
                               return v < reinterpret_cast<uintptr_t>(b.first);
                             });
  if (it == g_infos.blocks.begin()) return false;
  --it;
  const uintptr_t off = p - reinterpret_cast<uintptr_t>(it->first);
  return off < it->used * sizeof(NodeInfo) && off % sizeof(NodeInfo) == 0;
}

typedef struct TreeView {
  wu_control c;
  wu_ctl_widgets w;          // the tree's drawing area, the form
  wu_window *window;
  int32_t mode;              // 0 or 1
  int16_t click_only;        // the tree's own click-only flag (code 112)
  wu_node_record *sel_answer; // answer of `selections`
  int32_t sel_count;
  wu_tree *tree;
  Widget resize;             // "resize"
  Widget resize_shell;       // "Resize"
  Widget title;              // "tree_title"
  Widget title_frame;
  Widget title_form;
  int16_t resizable;
  char *title_text;
  int16_t auto_expand;
  uint32_t id_counter;
  int32_t method_running;
  TreeState *state;
  int32_t grabbed;           // the pointer is grabbed for a resize
  XmFontList title_font;     // the font list the title label was given
  XtIntervalId redraw_id;    // a redraw after deletions is pending
  wu_dnd_site *site;         // the tree's one drop site, on its drawing area
  uint32_t drop_key;         // the node under the pointer at the last drop
  bool drag_valid;           // a drag over the tree was told "valid" since it came in
  Widget keyed;              // the label button the control has set up
} TreeView;
static_assert(sizeof(TreeView) <= WU_CTL_LARGE_SIZE, "tree view fits its record kind");

TreeView *tv(wu_control *c) { return reinterpret_cast<TreeView *>(c); }

TreeView *live_tv(wu_control *c) {
  return (wu_ctl_live(c) && c->kind == WU_MT_TREEVIEW) ? tv(c) : nullptr;
}

// Whether a control held across a call out is still the same live control:
// released, or released and another made at its address, it is not.
bool stays(wu_control *c, const wu_reg_hold &hold) {
  return live_tv(c) != nullptr && (hold.serial == 0 || wu_reg_alive(hold));
}

// A tree node carries its record in its owner word while it lives.
NodeInfo *info_of(const wu_tree_node *n) {
  return n != nullptr ? static_cast<NodeInfo *>(n->owner_data) : nullptr;
}

// The live node a host record names, by its key; null for a record without
// a key, a stale copy or a key of another control.
NodeInfo *lookup(TreeView *t, const wu_node_record *rec) {
  if (rec == nullptr || t->state == nullptr) return nullptr;
  // A copy of this module (registered, or cleared and kept) or the host's
  // own record: of either only the key is read.
  const auto key = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(rec->key));
  if (key == 0) return nullptr;
  NodeInfo *i = t->state->find(key);
  return (i != nullptr && i->node != nullptr) ? i : nullptr;
}

wu_node_record *copy_of(wu_tree_node *n) {
  NodeInfo *i = info_of(n);
  return i ? &i->copy : nullptr;
}

// The control of a tree node's callback, alive.
TreeView *control_of(NodeInfo *i) {
  if (i == nullptr) return nullptr;
  wu_control *c = wu_ctl_of(i->copy.handle);
  return c != nullptr && c->kind == WU_MT_TREEVIEW ? tv(c) : nullptr;
}

// Sets a copy's links from its tree node.
void relink(NodeInfo *i) {
  if (i == nullptr || i->node == nullptr) return;
  wu_tree_node *n = i->node;
  i->copy.parent = copy_of(n->parent);
  i->copy.prev = copy_of(n->prev);
  i->copy.next = copy_of(n->next);
  i->copy.child = copy_of(n->first_child);
}

// A node just inserted (it has no children yet): its copy takes its place
// among its neighbours'.
__attribute__((always_inline)) inline void link_in(NodeInfo *i) {
  wu_tree_node *n = i->node;
  wu_node_record *me = &i->copy;
  me->parent = copy_of(n->parent);
  me->prev = copy_of(n->prev);
  me->next = copy_of(n->next);
  me->child = nullptr;
  if (me->prev != nullptr) me->prev->next = me;
  if (me->next != nullptr) me->next->prev = me;
  if (me->parent != nullptr) me->parent->child = copy_of(n->parent->first_child);
}

// The node after `x` in a depth-first walk of `top` and its descendants
// (each node before its children, siblings in order); null after the last.
wu_tree_node *next_below(wu_tree_node *x, const wu_tree_node *top) {
  if (x->first_child != nullptr) return x->first_child;
  while (x != top && x->next == nullptr) x = x->parent;
  return x == top ? nullptr : x->next;
}

// A node is busy while a hand-off to the host about it runs; the control
// counts its busy nodes, so that a deletion with none running walks nothing.
void mark_busy(TreeView *t, NodeInfo *i) {
  ++i->busy;
  ++t->state->busy;
}

void unmark_busy(TreeView *t, NodeInfo *i) {
  --i->busy;
  --t->state->busy;
}

bool busy_here_or_above(TreeView *t, wu_tree_node *n) {
  if (t->state->busy == 0) return false;
  for (; n != nullptr; n = n->parent) {
    NodeInfo *i = info_of(n);
    if (i != nullptr && i->busy) return true;
  }
  return false;
}

// Whether a node below `n` (not `n` itself) is in a hand-off to the host.
bool busy_below(TreeView *t, wu_tree_node *n) {
  if (t->state->busy == 0) return false;
  for (wu_tree_node *x = next_below(n, n); x != nullptr; x = next_below(x, n)) {
    NodeInfo *i = info_of(x);
    if (i != nullptr && i->busy) return true;
  }
  return false;
}

void redraw(TreeView *t) {
  if (t->tree != nullptr && (t->c.flags & WU_CTL_SHOWN)) XdTreeDraw(t->tree);
}

void redraw_now(XtPointer client, XtIntervalId *) {
  TreeView *t = live_tv(static_cast<wu_control *>(client));
  if (t == nullptr) return;
  t->redraw_id = 0;
  redraw(t);
}

// Deletions redraw once the host gives the event loop a turn, so that a run
// of deletions lays the tree out once.
void redraw_soon(TreeView *t) {
  if (t->tree == nullptr || !(t->c.flags & WU_CTL_SHOWN) || t->redraw_id != 0 || !wu_x_ok()) return;
  t->redraw_id = XtAppAddTimeOut(devb->app, 0, redraw_now, &t->c);
}

void event_xy(Widget w, int32_t *x, int32_t *y) {
  *x = w ? w->core.x : 0;
  *y = w ? w->core.y + (XtParent(w) ? XtParent(w)->core.y : 0) : 0;
}

// A node's position for its events: where its row has the part, which is
// where the part's button sits when the node has the buttons (the tree
// answers for the layout it has due, before the buttons are moved there;
// the handle's place also for a row that draws no handle); a node whose
// row is not shown takes the given widget's place, in the same
// coordinates.
void node_xy(Widget w, wu_tree_node *n, int part, int32_t *x, int32_t *y) {
  XRectangle r;
  Widget da = n != nullptr && n->tree != nullptr ? n->tree->drawing_area : nullptr;
  if (da != nullptr && _XdTreeNodeRect(n, part, &r)) {
    *x = r.x;
    *y = r.y + da->core.y;
    return;
  }
  event_xy(w, x, y);
}

// One node parameter: the key in the value word, the copy at the pointer.
wu_value *node_param(wu_control *c, int32_t code, NodeInfo *i) {
  // The node may be in an event the host holds from now on.
  TreeView *t = i != nullptr && !i->named ? live_tv(c) : nullptr;
  if (t != nullptr && t->state != nullptr) {
    i->named = 1;
    ++t->state->named;
  }
  wu_value *p = wu_ctl_event_params(c, code, 1);
  p[0].type = WU_VT_NODE;
  p[0].value = i ? int32_t(i->key) : 0;
  p[0].pointer = i ? &i->copy : nullptr;
  return p;
}

// Hands an event to the host's procedure at once and queues the answer
// event; the node is busy meanwhile.
wu_status hand_off(TreeView *t, NodeInfo *i, int32_t code, wu_value *params, int32_t count,
                   int32_t x, int32_t y) {
  wu_control *c = &t->c;
  if (c->procedure == nullptr) return WU_OK;
  wu_ctl_event record;
  wuxievt(&record, c, code);
  record.x = x;
  record.y = y;
  record.params = params;
  record.param_count = count;
  const uint32_t key = i ? i->key : 0;
  if (i) mark_busy(t, i);
  wu_window *window = t->window;
  const wu_reg_hold hold = wu_reg_take(c);
  const wu_status answer = run_procedure(c, &record, params, count);
  // The host may have released the control meanwhile; the node it cannot.
  if (key != 0 && stays(c, hold) && t->state->has(key)) unmark_busy(t, i);
  if (answer == WU_EVPROC_ANSWER && wu_window_live(window))
    wuxqwev(window, WU_EV_CTL_ANSWER, &record.answer, static_cast<int32_t>(sizeof record.answer));
  return answer;
}

// ---- node callbacks -----------------------------------------------------------

void NodeSelect(Widget w, wu_tree_node *n, XtPointer) {
  NodeInfo *i = info_of(n);
  TreeView *t = control_of(i);
  if (t == nullptr) return;
  wu_control *c = &t->c;
  wutgbat();
  if (t->click_only || c->click_only) {
    wu_value *p = wu_ctl_event_params(c, WU_EV_CLICKONLY, 1);
    p[0].type = WU_VT_BOOL;
    const int32_t sent = wu_ctl_send(c, WU_EV_CLICKONLY, 0, c->x, c->y, p, 1, WU_EV_CTL_POSTED);
    if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_CLICKONLY, 0, sent, 0.0, 0);
    return;
  }
  wu_state *state = wu_module();
  if (state != nullptr && wu_x_ok()) {
    const int32_t nesting = state->loop_nesting;
    state->loop_nesting = 0;
    XSync(devb->display, False);
    state->loop_nesting = nesting;
  }
  const uint32_t key = i->key;
  const int32_t sent_flag = (c->procedure != nullptr && (c->event_mask & WU_EVM_CLICK_NODE)) ? 1 : 0;
  // The batch driver's recording is a call out: it may release the
  // control, its window or the module.
  const wu_reg_hold hold = wu_reg_take(c);
  wu_ctl_record(c, WU_EV_SELECT, int32_t(i->copy.id), sent_flag, 0.0, 0);
  if (!stays(c, hold) || !t->state->has(key)) return;
  int32_t x = 0, y = 0;
  node_xy(w, n, XdTREE_PART_LABEL, &x, &y);
  if (c->procedure != nullptr && (c->event_mask & WU_EVM_CLICK_NODE)) {
    mark_busy(t, i);
    wu_ctl_send(c, WU_EV_SELECT, 0, x, y, node_param(c, WU_EV_SELECT, i), 1, WU_EV_CTL_POSTED);
    if (stays(c, hold) && t->state->has(key)) unmark_busy(t, i);
  }
  if (!stays(c, hold) || !t->state->has(key)) return;
  wu_window *window = nullptr;
  wu_pane *pane = nullptr;
  if (i->node != nullptr && i->node->tree != nullptr &&
      wutwd2p(i->node->tree->drawing_area, &window, &pane) == WU_OK && pane != nullptr) {
    pane->cursor_row = wu_cell_of(c->y, devb->cell_height > 0 ? devb->cell_height : 1);
    pane->cursor_column = wu_cell_of(c->x, devb->cell_width > 0 ? devb->cell_width : 1);
  }
}

// Before the tree toggles a node: tells the host, which may add children.
void NodeExpand(Widget w, wu_tree_node *n, XtPointer) {
  NodeInfo *i = info_of(n);
  TreeView *t = control_of(i);
  if (t == nullptr) return;
  wu_control *c = &t->c;
  wutgbat();
  if (t->click_only || c->click_only) {
    wu_value *p = wu_ctl_event_params(c, WU_EV_CLICKONLY, 1);
    p[0].type = WU_VT_BOOL;
    const int32_t sent = wu_ctl_send(c, WU_EV_CLICKONLY, 0, c->x, c->y, p, 1, WU_EV_CTL_POSTED);
    if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_CLICKONLY, 0, sent, 0.0, 0);
    return;
  }
  // The tree toggles a node with children before it calls here.
  const bool had_children = n->first_child != nullptr;
  const bool was_expanded = had_children ? !n->expanded : n->expanded != 0;
  const int32_t code = (was_expanded && had_children) ? WU_EV_COLLAPSE : WU_EV_EXPAND;
  const uint32_t wanted = WU_EVM_EXPAND | WU_EVM_COLLAPSE;
  const uint32_t key = i->key;
  const wu_reg_hold hold = wu_reg_take(c);
  if (!t->method_running) {
    wu_ctl_record(c, code, int32_t(i->copy.id),
                  (c->procedure != nullptr && (c->event_mask & wanted)) ? 1 : 0, 0.0, 0);
    if (!stays(c, hold) || !t->state->has(key)) return;
  }
  if (i->waiting || c->procedure == nullptr || !(c->event_mask & wanted)) return;
  if (code == WU_EV_EXPAND) i->copy.expanded = 1;
  int32_t x = 0, y = 0;
  node_xy(w, n, XdTREE_PART_HANDLE_PLACE, &x, &y);
  hand_off(t, i, code, node_param(c, code, i), 1, x, y);
  if (!stays(c, hold) || !t->state->has(key) || i->node == nullptr) return;
  // Children the host added now show at once, also when it replaced the
  // children the node had (deleting the last one closes the node).
  if (code == WU_EV_EXPAND && n->first_child != nullptr && !n->expanded) {
    i->waiting = 1;
    n->has_handle = 1;
    XdTreeExpandNode(n);
    i->waiting = 0;
    XdTreeDraw(t->tree);
  }
  i->copy.expandable = n->has_handle || n->expandable ? 1 : 0;
}

void NodeDoubleClick(Widget w, wu_tree_node *n, XtPointer) {
  NodeInfo *i = info_of(n);
  TreeView *t = control_of(i);
  if (t == nullptr) return;
  wu_control *c = &t->c;
  wutgbat();
  const uint32_t key = i->key;
  const wu_reg_hold hold = wu_reg_take(c);
  wu_ctl_record(c, WU_EV_DOUBLECLICK, int32_t(i->copy.id),
                (c->procedure != nullptr && (c->event_mask & WU_EVM_DOUBLECLICK)) ? 1 : 0, 0.0, 0);
  if (!stays(c, hold) || !t->state->has(key)) return;
  if (t->auto_expand) XdTreeToggleNode(n);
  if (!stays(c, hold) || !t->state->has(key)) return;
  wuxqwev(t->window, WU_EV_CTL_WAKE, nullptr, 0);
  int32_t x = 0, y = 0;
  node_xy(w, n, XdTREE_PART_LABEL, &x, &y);
  wu_ctl_send(c, WU_EV_DOUBLECLICK, WU_EVM_DOUBLECLICK, x, y,
              node_param(c, WU_EV_DOUBLECLICK, i), 1, WU_EV_CTL_POSTED);
}

void NodeDeleteRequest(Widget w, wu_tree_node *n, XtPointer call) {
  NodeInfo *i = info_of(n);
  TreeView *t = control_of(i);
  if (t == nullptr) return;
  wu_control *c = &t->c;
  wutgbat();
  wuxqwev(t->window, WU_EV_CTL_WAKE, nullptr, 0);
  if (c->procedure == nullptr) return;
  auto *event = static_cast<XEvent *>(call);
  KeySym sym = NoSymbol;
  if (event != nullptr && (event->type == KeyPress || event->type == KeyRelease))
    sym = XLookupKeysym(&event->xkey, 0);
  const char *name = sym != NoSymbol ? XKeysymToString(sym) : nullptr;
  const bool back = sym == XK_BackSpace || (name != nullptr && std::strcmp(name, "osfBackSpace") == 0);
  const int32_t code = back ? WU_EV_BACKSPACE : WU_EV_DELETENODE;
  int32_t x = 0, y = 0;
  node_xy(w, n, XdTREE_PART_LABEL, &x, &y);
  const int32_t id = int32_t(i->copy.id);
  const int32_t sent = wu_ctl_send(c, code, 0, x, y, node_param(c, code, i), 1, WU_EV_CTL_POSTED);
  if (wu_ctl_live(c)) wu_ctl_record(c, code, id, sent, 0.0, 0);
}

// The tree releases a node: its copy leaves the tree and is cleared.
void NodeFree(Widget, wu_tree_node *n, XtPointer) {
  NodeInfo *i = info_of(n);
  if (i == nullptr) return;
  n->owner_data = nullptr;
  // The control lives: the tree calls here only from a deletion the control
  // asked for (its release takes the function away from every node first).
  TreeView *t = i->control != nullptr ? tv(i->control) : nullptr;
  if (t != nullptr) {
    wu_control *c = &t->c;
    // Only a node shown has widgets the module may hold.
    if (n->handle != nullptr || n->icon != nullptr || n->label != nullptr) {
      if (wu_state *state = wu_module()) {
        for (Widget w : {n->handle, n->icon, n->label}) {
          if (w == nullptr) continue;
          if (state->focus == w) state->focus = nullptr;
          if (state->last_input == w) state->last_input = nullptr;
        }
      }
    }
    if (c->procedure != nullptr && (c->event_mask & WU_EVM_FREE) &&
        !(n->tree != nullptr && n->tree->deleting) && yusupev(QEV_SUPPRESS_QUERY) == 0) {
      wu_value *p = wu_ctl_event_params(c, WU_EV_FREE, 1);
      p[0].type = WU_VT_WORD;
      p[0].value = i->copy.user.value;
      int32_t x = 0, y = 0;
      node_xy(n->label, n, XdTREE_PART_LABEL, &x, &y);
      const wu_reg_hold hold = wu_reg_take(c);
      hand_off(t, i, WU_EV_FREE, p, 1, x, y);
      // Released by the host meanwhile: the copy has no control to keep it.
      if (!stays(c, hold)) t = nullptr;
    }
  }
  // Unlink the copy from its neighbours.
  wu_node_record *me = &i->copy;
  if (me->prev) me->prev->next = me->next;
  if (me->next) me->next->prev = me->prev;
  if (me->parent && me->parent->child == me) me->parent->child = me->next ? me->next : me->prev;
  if (t != nullptr) {
    t->state->forget(i->key);
    t->state->busy -= i->busy;
    i->busy = 0;
    if (i->named) --t->state->named;
  }
  i->copy = wu_node_record{};
  i->node = nullptr;
  i->key = 0;
  if (t != nullptr) {
    i->link = t->state->dead;
    t->state->dead = i;
  } else {
    release_info(i);
  }
}

// The control's node whose icon or label lies under (x, y) of `w`: the
// drawing area (the drawn rows) or a button of the row holding them.
NodeInfo *node_under(TreeView *t, Widget w, int x, int y) {
  wu_tree *tree = t->tree;
  if (tree == nullptr) return nullptr;
  wu_tree_node *n = nullptr;
  if (w == tree->drawing_area) {
    int part = XdTREE_PART_NONE;
    n = _XdTreeNodeAt(tree, x, y, &part);
    if (part != XdTREE_PART_ICON && part != XdTREE_PART_LABEL) n = nullptr;
  } else {
    n = XdTreeWidgetToTreeNode(tree, w);
  }
  NodeInfo *i = info_of(n);
  return control_of(i) == t ? i : nullptr;
}

// Button 3 on a node's label or icon: the popup event with the node.  One
// handler on the drawing area finds the node under the pointer; the same
// handler is on the buttons of the row holding them, whose presses do not
// reach the drawing area.  On the drawing area it comes before the
// control's own input handlers and takes a press over a node whole, as the
// node's buttons would: the control's popup without a node is for presses
// elsewhere.
void NodeMenu(Widget w, XtPointer client, XEvent *event, Boolean *go_on) {
  if (event->type != ButtonPress || event->xbutton.button != Button3) return;
  TreeView *t = live_tv(static_cast<wu_control *>(client));
  if (t == nullptr) return;
  NodeInfo *i = node_under(t, w, event->xbutton.x, event->xbutton.y);
  if (i == nullptr) return;
  if (w == t->tree->drawing_area) *go_on = False;
  wu_control *c = &t->c;
  const uint32_t key = i->key;
  const wu_reg_hold hold = wu_reg_take(c);
  wu_ctl_record(c, WU_EV_POPUP, int32_t(i->copy.id),
                (c->procedure != nullptr && (c->event_mask & WU_EVM_POPUP)) ? 1 : 0, 0.0, 0);
  if (!stays(c, hold) || !t->state->has(key)) return;
  int32_t x = 0, y = 0;
  node_xy(w, i->node, XdTREE_PART_LABEL, &x, &y);
  wu_ctl_send(c, WU_EV_POPUP, WU_EVM_POPUP, x, y, node_param(c, WU_EV_POPUP, i), 1,
              WU_EV_CTL_POSTED);
}

// The tree gave its buttons to a node: the same three widgets serve every
// node, so they are set up once (the popup handler, the text keys).
void ButtonsMade(wu_tree *, wu_tree_node *n, XtPointer client) {
  TreeView *t = live_tv(static_cast<wu_control *>(client));
  if (t == nullptr || n->label == nullptr || t->keyed == n->label) return;
  t->keyed = n->label;
  for (Widget w : {n->label, n->icon}) {
    XtAddEventHandler(w, ButtonPressMask, False, NodeMenu, client);
    if (wutaddt != nullptr) wutaddt(w);
  }
}

// ---- drag and drop over the tree ---------------------------------------------

// Over a node's icon or label the tree is the control's drop site, when the
// host enabled it; elsewhere the tree's own behaviour holds (no drop site,
// scrolling near the edges).
void TreeDrag(Widget w, XtPointer client, XtPointer call) {
  _XdTreeDragProc(w, client, call);
  auto *cbs = static_cast<XmDragProcCallbackStruct *>(call);
  XtPointer data = nullptr;
  XtVaGetValues(w, XmNuserData, &data, nullptr);
  TreeView *t = live_tv(static_cast<wu_control *>(data));
  if (t == nullptr || t->site == nullptr) return;
  if (cbs->reason == XmCR_DROP_SITE_LEAVE_MESSAGE) {
    // Motif takes back the highlight it drew over the tree on a "valid"
    // answer (and frees what it saved for it) only when the drag leaves
    // with that answer, even after the pointer moved on between the rows.
    if (t->drag_valid) cbs->dropSiteStatus = XmVALID_DROP_SITE;
    t->drag_valid = false;
    return;
  }
  // Motif stops telling a site that answers "no drop site" of the pointer's
  // moves: between the rows the tree stays a site that refuses the drop.
  const bool on_node = node_under(t, w, cbs->x, cbs->y) != nullptr;
  cbs->dropSiteStatus = on_node && t->site->enabled && t->site->format_count > 0
                            ? XmVALID_DROP_SITE
                            : XmINVALID_DROP_SITE;
  if (cbs->dropSiteStatus == XmVALID_DROP_SITE) t->drag_valid = true;
}

void TreeDrop(Widget w, XtPointer client, XtPointer call) {
  auto *cbs = static_cast<XmDropProcCallbackStruct *>(call);
  XtPointer data = nullptr;
  XtVaGetValues(w, XmNuserData, &data, nullptr);
  TreeView *t = live_tv(static_cast<wu_control *>(data));
  if (t != nullptr) t->drag_valid = false;  // the drop ends the drag's visit
  NodeInfo *i = t != nullptr ? node_under(t, w, cbs->x, cbs->y) : nullptr;
  if (i == nullptr) {
    _XdTreeDropProc(w, client, call);
    return;
  }
  t->drop_key = i->key;
  _XdTreeDragProc(w, client, nullptr);  // ends the tree's scrolling
  wuwhdrp(w, client, call);
}

// A button-2 press starts a drag from the drawing area only on a node.
void DragFilter(Widget w, XtPointer client, XEvent *event, Boolean *go_on) {
  if (event->type != ButtonPress || event->xbutton.button != Button2) return;
  TreeView *t = live_tv(static_cast<wu_control *>(client));
  if (t == nullptr || node_under(t, w, event->xbutton.x, event->xbutton.y) == nullptr) *go_on = False;
}

// The tree's drop site: the drawing area's, registered once.
void make_site(TreeView *t) {
  if (t->tree == nullptr || wumrdnd == nullptr) return;
  Widget da = t->tree->drawing_area;
  XtAddEventHandler(da, ButtonPressMask, False, DragFilter, &t->c);
  wu_dnd_site *site = wumrdnd(da);
  if (site == nullptr) return;
  site->window = t->window;
  site->kind = WU_CTYPE_TREEVIEW;
  site->owner = t->c.handle;
  site->enabled = 1;
  t->site = site;
  if (wuwidrg != nullptr) wuwidrg(da, site);
  site->drop_proc = TreeDrop;
  Arg args[2];
  XtSetArg(args[0], XmNdragProc, TreeDrag);
  XtSetArg(args[1], XmNdropProc, TreeDrop);
  XmDropSiteUpdate(da, args, 2);
}

// ---- inserting ---------------------------------------------------------------

// Inserts one node from `rec` (the host's data, links ignored) relative to
// `ref`.  `host` is the host's own record, which receives the id, key and
// handle, or null when the data came from one of the module's copies.
// Inlined into the insertion loop, its one caller: a run of 100,000 nodes
// pays no call per node.
__attribute__((always_inline)) inline NodeInfo *add_node(TreeView *t, NodeInfo *ref,
                                                          const wu_node_record &rec,
                                                          wu_node_record *host, int32_t mode) {
  NodeInfo *i = new_info();
  if (i == nullptr) return nullptr;
  auto *n = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
  i->copy = rec;
  i->busy = i->waiting = i->named = 0;
  i->link = nullptr;
  if (i->copy.expandable == 0) i->copy.expanded = 0;
  // The host numbers each new record from the control's counter.
  if (yubtuid(&t->id_counter) == WU_OK) {
    i->copy.id = t->id_counter;
    if (host != nullptr) host->id = t->id_counter;
  }
  n->text = wu_list_copy(rec.label, rec.label_length, kLabelMax);
  i->copy.label = n->text;
  // Negative ids are no icon.
  const Pixmap focus = rec.focus_icon >= 0 ? wu_list_pixmap(rec.focus_icon, kIconSize) : None;
  const Pixmap normal = rec.icon >= 0 ? wu_list_pixmap(rec.icon, kIconSize) : None;
  n->open_pixmap = focus;
  n->closed_pixmap = normal;
  if (focus != None || normal != None) {
    n->icon_width = kIconSize;
    n->icon_height = kIconSize;
    if (focus == None) n->open_pixmap = normal;
    if (normal == None) n->closed_pixmap = focus;
  }
  n->expandable = rec.expandable ? 1 : 0;
  n->expand_proc = NodeExpand;
  n->select_proc = NodeSelect;
  n->release_proc = NodeFree;
  n->double_click_proc = NodeDoubleClick;
  n->delete_proc = NodeDeleteRequest;
  n->expanded_word = &i->copy.expanded;
  n->owner_data = i;
  i->node = n;
  i->control = &t->c;
  i->key = ++g_next_key;
  if (g_next_key == 0) i->key = ++g_next_key;
  i->copy.key = reinterpret_cast<void *>(static_cast<uintptr_t>(i->key));
  i->copy.handle = t->c.handle;
  i->copy.drop_site = t->site;  // the tree's one drop site, when the control has it
  t->state->enter(i);
  int xmode = (mode >= kModeBefore && mode <= kModeLastChild) ? mode : kModeLastChild;
  if (ref == nullptr && (xmode == kModeBefore || xmode == kModeAfter)) xmode = kModeLastChild;
  if (XdTreeInsertNodeAt(t->tree, ref ? ref->node : nullptr, n, xmode) != 0) {
    t->state->forget(i->key);
    i->node = nullptr;
    XtFree(n->text);
    XtFree(reinterpret_cast<char *>(n));
    release_info(i);
    return nullptr;
  }
  if (host != nullptr) {
    if (host->expandable == 0) host->expanded = 0;
    host->key = i->copy.key;
    host->handle = t->c.handle;
    host->drop_site = t->site;
  }
  if (ref != nullptr && (xmode == kModeFirstChild || xmode == kModeLastChild)) {
    ref->node->has_handle = 1;
    if (ref->copy.expanded) _XdTreeSetExpanded(ref->node, 1);
  }
  link_in(i);
  return i;
}

// One record of a chain that holds the module's own copies, as it was when
// `_addNodes` was called: the insertion walks these, never the records
// themselves, which it may relink.  A host record is read again when it is
// inserted (the insertion does not change what it reads of it); a module
// copy is copied whole at once.
struct Snapshot {
  wu_node_record *rec;    // the record handed in
  int32_t copy;           // index of its data in the copies taken, -1 for a host record
  int32_t next;           // index of the next sibling, -1 for none
  int32_t child;          // index of the first child, -1 for none
};

// A growing array of plain records on malloc and realloc: a large one grows
// by remapping its pages rather than by copying, and fresh memory comes
// cleared without being written.
template <class T>
class PlainArray {
  static_assert(std::is_trivial<T>::value, "plain records only");

 public:
  PlainArray() = default;
  PlainArray(const PlainArray &) = delete;
  PlainArray &operator=(const PlainArray &) = delete;
  ~PlainArray() { std::free(data_); }

  // `count` cleared records in place of the contents; false when memory is out.
  bool cleared(size_t count) {
    T *fresh = static_cast<T *>(std::calloc(count, sizeof(T)));
    if (fresh == nullptr) return false;
    std::free(data_);
    data_ = fresh;
    size_ = capacity_ = count;
    return true;
  }
  bool push(const T &v) {
    if (size_ == capacity_) {
      const size_t grown = capacity_ != 0 ? capacity_ * 2 : 256;
      if (grown > SIZE_MAX / sizeof(T)) return false;
      T *more = static_cast<T *>(std::realloc(data_, grown * sizeof(T)));
      if (more == nullptr) return false;
      data_ = more;
      capacity_ = grown;
    }
    data_[size_++] = v;
    return true;
  }
  void pop() { --size_; }
  void swap(PlainArray &o) {
    std::swap(data_, o.data_);
    std::swap(size_, o.size_);
    std::swap(capacity_, o.capacity_);
  }
  T &operator[](size_t k) { return data_[k]; }
  const T &operator[](size_t k) const { return data_[k]; }
  size_t size() const { return size_; }

 private:
  T *data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

// Addresses met while taking a host chain apart: an open-addressed set,
// with no allocation per record.
class SeenSet {
 public:
  enum Result { kNew, kSeen, kNoMemory };
  __attribute__((always_inline)) Result insert(const void *p) {
    if (count_ >= limit_ && !grow()) return kNoMemory;
    size_t k = slot_of(p);
    for (const void *s; (s = slots_[k]) != nullptr; k = (k + 1) & mask_)
      if (s == p) return kSeen;
    slots_[k] = p;
    ++count_;
    return kNew;
  }

 private:
  size_t slot_of(const void *p) const {
    return size_t((reinterpret_cast<uintptr_t>(p) >> 3) * 0x9E3779B97F4A7C15ull) & mask_;
  }
  // Four times the room, filled at most three quarters: a set of 10,000
  // addresses fits 16,384 slots, so little memory is cleared for it.
  __attribute__((noinline)) bool grow() {
    PlainArray<const void *> old;
    if (!old.cleared(std::max<size_t>(1024, table_.size() * 4))) return false;
    old.swap(table_);
    slots_ = &table_[0];
    mask_ = table_.size() - 1;
    limit_ = table_.size() / 4 * 3;
    for (size_t j = 0; j < old.size(); ++j) {
      const void *p = old[j];
      if (p == nullptr) continue;
      size_t k = slot_of(p);
      while (slots_[k] != nullptr) k = (k + 1) & mask_;
      slots_[k] = p;
    }
    return true;
  }
  PlainArray<const void *> table_;
  const void **slots_ = nullptr;
  size_t mask_ = 0;
  size_t count_ = 0;
  size_t limit_ = 0;
};

// Takes a host chain apart before anything is inserted: every record
// reachable once, labels of a sane length.  The chain's first record
// (reached through the previous links) is the first taken.  Answers 0,
// 0x8000480c for a chain refused, or 0x80000803 when memory is out.
wu_status snapshot_chain(wu_node_record *start, PlainArray<Snapshot> *out,
                         std::vector<wu_node_record> *copies) {
  SeenSet index, back;
  wu_node_record *f = start;
  while (f->prev != nullptr) {
    const SeenSet::Result seen = back.insert(f);
    if (seen != SeenSet::kNew) return seen == SeenSet::kSeen ? WU_NOTAVAIL : WU_NOMEM;
    f = f->prev;
  }
  // Each record is numbered once; a record met again is a cycle or a
  // record shared between chains, either refused.
  constexpr int32_t kNone = -1, kRefused = -2, kNoMemory = -3;
  auto enter = [&](wu_node_record *r) -> int32_t {
    if (r == nullptr) return kNone;
    if (out->size() >= size_t(INT32_MAX)) return kRefused;
    const SeenSet::Result seen = index.insert(r);
    if (seen != SeenSet::kNew) return seen == SeenSet::kSeen ? kRefused : kNoMemory;
    if (r->label_length < 0 || r->label_length > kLabelMax ||
        (r->label_length > 0 && r->label == nullptr))
      return kRefused;
    const bool mine = module_copy(r);
    // A copy whose node is gone is cleared: nothing to insert from it.
    if (mine && r->key == nullptr) return kRefused;
    Snapshot s = {r, -1, -1, -1};
    if (mine) {
      s.copy = int32_t(copies->size());
      copies->push_back(*r);
    }
    if (!out->push(s)) return kNoMemory;
    return int32_t(out->size()) - 1;
  };
  // The records taken so far are the queue of those whose links are read.
  int32_t worst = enter(f);  // kNone and above are good
  for (size_t k = 0; worst >= kNone && k < out->size(); ++k) {
    wu_node_record *r = (*out)[k].rec;
    const int32_t next = enter(r->next);
    const int32_t child = next >= kNone ? enter(r->child) : next;
    worst = std::min(next, child);
    (*out)[k].next = next;
    (*out)[k].child = child;
  }
  return worst == kNoMemory ? WU_NOMEM : worst == kRefused ? WU_NOTAVAIL : WU_OK;
}

// Checks a host chain before anything is inserted, without copying it:
// every record reachable once, labels of a sane length, no cleared copy.
// `first` receives the chain's first record (reached through the previous
// links), `count` the number of records and `copies` whether any is one of
// the module's copies.  Answers 0, 0x8000480c for a chain refused, or
// 0x80000803.
wu_status check_chain(wu_node_record *start, wu_node_record **first, size_t *count,
                      bool *copies) {
  SeenSet seen;
  wu_node_record *f = start;
  while (f->prev != nullptr) {
    const SeenSet::Result r = seen.insert(f);
    if (r != SeenSet::kNew) return r == SeenSet::kSeen ? WU_NOTAVAIL : WU_NOMEM;
    f = f->prev;
  }
  *first = f;
  *count = 0;
  *copies = false;
  SeenSet index;
  // The first records of sibling runs still to walk; each run is walked
  // along its next links.
  PlainArray<wu_node_record *> runs;
  if (!runs.push(f)) return WU_NOMEM;
  size_t n = 0;
  while (runs.size() > 0) {
    wu_node_record *r = runs[runs.size() - 1];
    runs.pop();
    for (; r != nullptr; r = r->next) {
      const SeenSet::Result met = index.insert(r);
      if (met != SeenSet::kNew) return met == SeenSet::kSeen ? WU_NOTAVAIL : WU_NOMEM;
      if (r->label_length < 0 || r->label_length > kLabelMax ||
          (r->label_length > 0 && r->label == nullptr))
        return WU_NOTAVAIL;
      if (module_copy(r)) {
        // A copy whose node is gone is cleared: nothing to insert from it.
        if (r->key == nullptr) return WU_NOTAVAIL;
        *copies = true;
      }
      ++n;
      if (r->child != nullptr && !runs.push(r->child)) return WU_NOMEM;
    }
  }
  *count = n;
  return WU_OK;
}

// The records of a host chain, read where the host keeps them: the
// insertion writes only keys, handles, ids and flags into them.
struct HostChain {
  using Ref = wu_node_record *;
  static constexpr Ref kEnd = nullptr;
  Ref next(Ref r) const { return r->next; }
  Ref child(Ref r) const { return r->child; }
  const wu_node_record &data(Ref r) const { return *r; }
  wu_node_record *host(Ref r) const { return r; }
};

// A chain that holds module copies, walked in its snapshot: inserting may
// relink the copies themselves.
struct SnapshotChain {
  using Ref = int32_t;
  static constexpr Ref kEnd = -1;
  const PlainArray<Snapshot> &all;
  const std::vector<wu_node_record> &copies;
  Ref next(Ref k) const { return all[size_t(k)].next; }
  Ref child(Ref k) const { return all[size_t(k)].child; }
  const wu_node_record &data(Ref k) const {
    const Snapshot &s = all[size_t(k)];
    return s.copy >= 0 ? copies[size_t(s.copy)] : *s.rec;
  }
  wu_node_record *host(Ref k) const {
    const Snapshot &s = all[size_t(k)];
    return s.copy >= 0 ? nullptr : s.rec;
  }
};

// Siblings in order: the first with the given mode, the others after it;
// children go under their parent as last children.  False when a node could
// not be made (memory is out): the siblings after it and their children are
// left out.
template <class Chain>
bool insert_chain(TreeView *t, const Chain &chain, typename Chain::Ref first, NodeInfo *ref,
                  int32_t mode) {
  bool whole = true;
  struct Work { typename Chain::Ref rec; NodeInfo *ref; int32_t mode; };
  std::vector<Work> todo = {{first, ref, mode}};
  while (!todo.empty()) {
    const Work w = todo.back();
    todo.pop_back();
    NodeInfo *prev = nullptr;
    for (auto k = w.rec; k != Chain::kEnd; k = chain.next(k)) {
      NodeInfo *made = add_node(t, prev != nullptr ? prev : w.ref, chain.data(k), chain.host(k),
                                prev != nullptr ? kModeAfter : w.mode);
      if (made == nullptr) {
        whole = false;
        break;
      }
      prev = made;
      if (chain.child(k) != Chain::kEnd) todo.push_back({chain.child(k), made, kModeLastChild});
    }
  }
  return whole;
}

wu_status add_nodes(TreeView *t, wu_value *p, int32_t count) {
  if (count < 3) return WU_NOTAVAIL;
  auto *new_nodes = static_cast<wu_node_record *>(p[1].pointer);
  if (new_nodes == nullptr) return WU_NOTAVAIL;
  NodeInfo *ref = nullptr;
  if (p[0].pointer != nullptr) {
    ref = lookup(t, static_cast<wu_node_record *>(p[0].pointer));
    if (ref == nullptr) return WU_NOTAVAIL;
  }
  wu_node_record *first = nullptr;
  size_t records = 0;
  bool copies_given = false;
  const wu_status checked = check_chain(new_nodes, &first, &records, &copies_given);
  if (checked != WU_OK) return checked;
  t->state->reserve(records);
  // The nodes' copies name the tree's one drop site, which the control owns.
  if (t->site != nullptr) t->site->owner = t->c.handle;
  bool whole = true;
  if (!copies_given) {
    whole = insert_chain(t, HostChain{}, first, ref, p[2].value);
  } else {
    PlainArray<Snapshot> all;
    std::vector<wu_node_record> copies;
    const wu_status taken = snapshot_chain(first, &all, &copies);
    if (taken != WU_OK) return taken;
    whole = insert_chain(t, SnapshotChain{all, copies}, 0, ref, p[2].value);
  }
  if (t->tree != nullptr) XdTreeDraw(t->tree);
  return whole ? WU_OK : WU_NOMEM;
}

// ---- deleting ----------------------------------------------------------------

// Drops the host's pending events of a node and its descendants; a refusal
// is returned and nothing is deleted.  The host is asked about the node
// itself, and about each descendant that an event has named (the others
// cannot be in an event it holds).
wu_status release_events(TreeView *t, wu_tree_node *top) {
  if (yusupev(QEV_SUPPRESS_QUERY) != 0) return WU_OK;
  NodeInfo *self = info_of(top);
  if (self != nullptr) {
    const wu_status st = yufrnev(t->window, t->c.handle, int32_t(self->key));
    if (st != WU_OK) return st;
  }
  // With no other node named anywhere in the tree, none is below.
  if (t->state->named == ((self != nullptr && self->named) ? 1u : 0u)) return WU_OK;
  for (wu_tree_node *n = next_below(top, top); n != nullptr; n = next_below(n, top)) {
    NodeInfo *i = info_of(n);
    if (i == nullptr || !i->named) continue;
    const wu_status st = yufrnev(t->window, t->c.handle, int32_t(i->key));
    if (st != WU_OK) return st;
  }
  return WU_OK;
}

// Deletes a node and its descendants, unchecked.  The tree tells the host
// of each node it releases (`free`), and the host may release the control,
// its window or the module there: the deletion then stops, and the callers
// check their own hold on the control before they go on.  A deletion the
// tree refuses (one asked for from inside another's `free`) is answered as
// such.
wu_status delete_subtree(TreeView *t, NodeInfo *i, bool draw) {
  wu_tree_node *n = i->node;
  const wu_status st = release_events(t, n);
  if (st != WU_OK) return st;
  wu_state *state = wu_module();
  if (state != nullptr && n->label != nullptr && state->focus == n->label) state->focus = nullptr;
  NodeInfo *parent = info_of(n->parent);
  const uint32_t parent_key = parent != nullptr ? parent->key : 0;
  const wu_reg_hold hold = wu_reg_take(&t->c);
  if (XdTreeDeleteTree(t->tree, n) != 0) return WU_NOTAVAIL;
  if (!stays(&t->c, hold)) return WU_OK;
  if (parent_key != 0) relink(t->state->find(parent_key));
  if (draw) redraw_soon(t);
  return WU_OK;
}

// Deletes a node and its descendants.  A node in a hand-off to the host
// (an expand, click or free it is being told of) is never deleted, nor
// anything above or below it.
wu_status delete_node(TreeView *t, NodeInfo *i, bool draw) {
  if (busy_here_or_above(t, i->node) || busy_below(t, i->node)) return WU_NOTAVAIL;
  return delete_subtree(t, i, draw);
}

// Deletes the children of a node.  The node may be in its own expand
// hand-off: a host that refreshes a folder on each expand drops the old
// children there and adds the new ones.  Only the children must be free.
wu_status delete_children(TreeView *t, NodeInfo *i, wu_node_record *given) {
  wu_tree_node *n = i->node;
  if (busy_here_or_above(t, n->parent) || busy_below(t, n)) return WU_NOTAVAIL;
  if (!i->busy) {
    if (!module_copy(given)) given->expandable = given->expanded = 0;
    i->copy.expandable = i->copy.expanded = 0;
  }
  const uint32_t key = i->key;
  const wu_reg_hold hold = wu_reg_take(&t->c);
  while (n->first_child != nullptr) {
    NodeInfo *k = info_of(n->first_child);
    if (k == nullptr) break;
    const wu_status st = delete_subtree(t, k, false);
    if (st != WU_OK) return st;
    if (!stays(&t->c, hold) || !t->state->has(key)) return WU_OK;
  }
  redraw_soon(t);
  return WU_OK;
}

// ---- expanding -----------------------------------------------------------------

wu_status expand(TreeView *t, NodeInfo *i) {
  wu_control *c = &t->c;
  wu_tree_node *n = i->node;
  t->method_running = 1;
  const bool shows_plus = _XdTreeHandleShowsPlus(n) != 0;
  const uint32_t key = i->key;
  // The host hears `expand` from here or from the tree's handle activation.
  const wu_reg_hold hold = wu_reg_take(c);
  if (n->first_child != nullptr && !shows_plus) {
    // Already open.
  } else if (c->procedure == nullptr || !(c->event_mask & WU_EVM_EXPAND) ||
             n->first_child != nullptr) {
    XdTreeExpandNode(n);
    if (!stays(c, hold)) return WU_OK;
  } else {
    i->waiting = 1;
    i->copy.expanded = 1;
    int32_t x = 0, y = 0;
    node_xy(n->handle, n, XdTREE_PART_HANDLE_PLACE, &x, &y);
    hand_off(t, i, WU_EV_EXPAND, node_param(c, WU_EV_EXPAND, i), 1, x, y);
    if (!stays(c, hold)) return WU_OK;
    if (!t->state->has(key)) {
      t->method_running = 0;
      return WU_OK;
    }
    n->has_handle = 1;
    XdTreeExpandNode(n);
    i->waiting = 0;
  }
  t->method_running = 0;
  redraw(t);
  return WU_OK;
}

wu_status collapse(TreeView *t, NodeInfo *i) {
  // The host hears `collapse` from the tree's handle activation.
  const wu_reg_hold hold = wu_reg_take(&t->c);
  t->method_running = 1;
  XdTreeCollapseNode(i->node);
  if (!stays(&t->c, hold)) return WU_OK;
  t->method_running = 0;
  redraw(t);
  return WU_OK;
}

// ---- searching -------------------------------------------------------------------

typedef int32_t (*SearchCallback)(int32_t user);

bool accepts(NodeInfo *i, const char *text, int32_t n, bool exact, SearchCallback cb) {
  const char *label = i->node->text;
  if (!wu_list_match(label, label ? int32_t(std::strlen(label)) : 0, text, n, exact)) return false;
  return cb == nullptr || cb(i->copy.user.value) == 1;
}

// Depth first below (and, with `self`, including) `top`; siblings of `top`
// too when `siblings`.
NodeInfo *search_from(wu_tree_node *top, bool self, bool siblings, const char *text, int32_t n,
                      bool exact, SearchCallback cb) {
  std::vector<wu_tree_node *> stack;
  if (self) {
    NodeInfo *i = info_of(top);
    if (i != nullptr && accepts(i, text, n, exact, cb)) return i;
    top = top->first_child;
    siblings = true;
  }
  // Pre-order: siblings in order, each before its children.
  std::vector<wu_tree_node *> order;
  for (wu_tree_node *s = top; s != nullptr; s = siblings ? s->next : nullptr) {
    order.clear();
    stack.assign(1, s);
    while (!stack.empty()) {
      wu_tree_node *x = stack.back();
      stack.pop_back();
      NodeInfo *i = info_of(x);
      if (i != nullptr && accepts(i, text, n, exact, cb)) return i;
      std::vector<wu_tree_node *> kids;
      for (wu_tree_node *k = x->first_child; k != nullptr; k = k->next) kids.push_back(k);
      for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.push_back(*it);
    }
    if (!siblings) break;
  }
  return nullptr;
}

wu_status find(TreeView *t, wu_value *p, int32_t count, bool exact) {
  if (count < 5) return WU_NOTAVAIL;
  p[4].pointer = nullptr;
  p[4].value = 0;
  wu_tree_node *start = nullptr;
  if (p[0].pointer != nullptr) {
    NodeInfo *s = lookup(t, static_cast<wu_node_record *>(p[0].pointer));
    if (s == nullptr || s->node->first_child == nullptr) return WU_NOTAVAIL;
    start = s->node;
  } else if (t->tree->root == nullptr) {
    return WU_NOTAVAIL;
  }
  if (p[1].value < 0 || (p[1].value > 0 && p[1].pointer == nullptr)) return WU_NOTAVAIL;
  char *text = wu_list_copy(static_cast<const char *>(p[1].pointer), p[1].value, kLabelMax);
  const int32_t n = int32_t(std::strlen(text));
  auto cb = reinterpret_cast<SearchCallback>(p[3].pointer);
  NodeInfo *found = nullptr;
  if (p[2].value == kSearchOneLevel) {
    for (wu_tree_node *k = start ? start->first_child : t->tree->root; k && !found; k = k->next) {
      NodeInfo *i = info_of(k);
      if (i != nullptr && accepts(i, text, n, exact, cb)) found = i;
    }
  } else if (start != nullptr) {
    found = search_from(start, true, false, text, n, exact, cb);
    p[4].code = WU_A_SELECTEDNODE;
    p[4].type = WU_VT_NODE;
    p[4].status = WU_OK;
  } else {
    found = search_from(t->tree->root, false, true, text, n, exact, cb);
  }
  XtFree(text);
  p[4].pointer = found ? &found->copy : nullptr;
  p[4].value = found ? int32_t(found->key) : 0;
  return WU_OK;
}

// ---- focus -----------------------------------------------------------------------

void focus_node(TreeView *t, NodeInfo *i) {
  if (i == nullptr) {
    XdTreeUnSetFocus(t->tree);
    return;
  }
  XdTreeSetFocus(t->tree, i->node, 0);
  if (i->node->label != nullptr && XtIsManaged(i->node->label))
    XmProcessTraversal(i->node->label, XmTRAVERSE_CURRENT);
}

// ---- update ---------------------------------------------------------------------

wu_status update_node(TreeView *t, NodeInfo *i, const wu_node_record *rec) {
  wu_tree_node *n = i->node;
  if (busy_here_or_above(t, n)) return WU_NOTAVAIL;
  if (rec->label != nullptr && rec->label != reinterpret_cast<const char *>(-1) &&
      rec->label_length >= 0) {
    if (rec->label_length > kLabelMax) return WU_NOTAVAIL;
    char *text = wu_list_copy(rec->label, rec->label_length, kLabelMax);
    if (n->text == nullptr || std::strcmp(text, n->text) != 0) {
      char *old = n->text;
      n->text = text;
      i->copy.label = text;
      i->copy.label_length = int32_t(std::strlen(text));
      XtFree(old);
    } else {
      XtFree(text);
    }
  }
  if (rec->user.value != -1) i->copy.user = rec->user;
  bool icons = false;
  if (rec->focus_icon != -1) {
    i->copy.focus_icon = rec->focus_icon;
    n->open_pixmap = wu_list_pixmap(rec->focus_icon, kIconSize);
    icons = true;
  }
  if (rec->icon != -1) {
    i->copy.icon = rec->icon;
    n->closed_pixmap = wu_list_pixmap(rec->icon, kIconSize);
    icons = true;
  }
  if (icons) {
    // A host image that is not there shows the tree's folders.
    if (n->open_pixmap == None) n->open_pixmap = t->tree->open_folder;
    if (n->closed_pixmap == None) n->closed_pixmap = t->tree->closed_folder;
  }
  if (rec->expandable != -1) {
    i->copy.expandable = rec->expandable ? 1 : 0;
    n->expandable = rec->expandable ? 1 : 0;
  }
  _XdTreeNodeChanged(n);  // text, pictures and handle, drawn or on the buttons
  redraw(t);
  if (rec->expanded != -1 && (rec->expanded != 0) != (n->expanded != 0))
    return rec->expanded ? expand(t, i) : collapse(t, i);
  return WU_OK;
}

wu_status update(TreeView *t, NodeInfo *i, wu_node_record *given) {
  wu_tree_node *n = i->node;
  if (busy_here_or_above(t, n)) return WU_NOTAVAIL;
  const uint32_t key = i->key;
  // The collapse, the deletions and the expansion each tell the host; what
  // it releases meanwhile ends the update.
  const wu_reg_hold hold = wu_reg_take(&t->c);
  auto going_on = [&] { return stays(&t->c, hold) && t->state->has(key); };
  const bool was_expanded = n->expanded != 0;
  if (was_expanded) {
    collapse(t, i);
    if (!going_on()) return WU_OK;
  }
  while (n->first_child != nullptr) {
    const wu_status st = delete_node(t, info_of(n->first_child), false);
    if (st != WU_OK) return st;
    if (!going_on()) return WU_OK;
  }
  if (was_expanded) {
    i->copy.expandable = 1;
    n->expandable = 1;
    expand(t, i);
    if (!going_on()) return WU_OK;
  } else {
    given->expandable = 1;
    given->expanded = 0;
    i->copy.expandable = 1;
    i->copy.expanded = 0;
    n->expandable = 1;
    n->has_handle = 1;
    _XdTreeNodeChanged(n);
    redraw(t);
  }
  if (t->tree->focus == n && n->label != nullptr && XtIsManaged(n->label))
    XmProcessTraversal(n->label, XmTRAVERSE_CURRENT);
  return WU_OK;
}

// The node of a drop on the tree's site: the one under the pointer at the
// last drop, while it lives.
NodeInfo *dnd_node(TreeView *t, const void *site) {
  if (site == nullptr || site != t->site || t->drop_key == 0) return nullptr;
  NodeInfo *i = t->state->find(t->drop_key);
  return (i != nullptr && i->node != nullptr) ? i : nullptr;
}

NodeInfo *id_node(TreeView *t, uint32_t id) {
  for (NodeInfo *i : t->state->by_key)
    if (i != nullptr && i->copy.id == id) return i;
  return nullptr;
}

wu_status select_node(TreeView *t, NodeInfo *i) {
  wu_control *c = &t->c;
  if (i == nullptr) {
    XdTreeUnSetFocus(t->tree);
    return WU_OK;
  }
  focus_node(t, i);
  if (c->procedure != nullptr && (c->event_mask & WU_EVM_CLICK_NODE))
    hand_off(t, i, WU_EV_SELECT, node_param(c, WU_EV_SELECT, i), 1, c->x, c->y);
  return WU_OK;
}

wu_status TreeViewMethods(wu_ctl_handle *h, int32_t method, wu_value *p, int32_t count) {
  // Reached only from the method dispatcher, which has just found the
  // handle's live control; nothing has run since.
  wu_control *c = h != nullptr ? h->control : nullptr;
  if (c == nullptr || c->handle != h || c->kind != WU_MT_TREEVIEW) return WU_NOTAVAIL;
  TreeView *t = tv(c);
  if (method < WU_M_ADDNODES || method > kLastMethod) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && p == nullptr)) return WU_NOTAVAIL;
  if (method == WU_M_SELECTNODE && t->tree == nullptr) return WU_OK;
  if (t->tree == nullptr) return WU_NOTAVAIL;
  auto node_at = [&](int k) -> NodeInfo * {
    return k < count ? lookup(t, static_cast<wu_node_record *>(p[k].pointer)) : nullptr;
  };
  switch (method) {
    case WU_M_ADDNODES:
      return add_nodes(t, p, count);
    case WU_M_DELETENODE: {
      NodeInfo *i = node_at(0);
      if (i == nullptr) return WU_NOTAVAIL;
      wu_tree_node *n = i->node;
      NodeInfo *parent = info_of(n->parent);
      const uint32_t parent_key = parent != nullptr ? parent->key : 0;
      const bool only = n->prev == nullptr && n->next == nullptr;
      const wu_reg_hold hold = wu_reg_take(c);
      const wu_status st = delete_node(t, i, true);
      // The host heard `free` meanwhile and may have released the control
      // or the parent.
      if (!stays(c, hold)) return st;
      parent = parent_key != 0 ? t->state->find(parent_key) : nullptr;
      if (st == WU_OK && only && parent != nullptr && parent->node != nullptr) {
        parent->copy.expandable = parent->copy.expanded = 0;
        parent->node->expandable = 0;
        _XdTreeNodeChanged(parent->node);
      }
      return st;
    }
    case WU_M_DELETECHILDREN: {
      NodeInfo *i = node_at(0);
      if (i == nullptr) return WU_NOTAVAIL;
      return delete_children(t, i, static_cast<wu_node_record *>(p[0].pointer));
    }
    case WU_M_EXPAND: {
      NodeInfo *i = node_at(0);
      return i ? expand(t, i) : WU_NOTAVAIL;
    }
    case WU_M_COLLAPSE: {
      NodeInfo *i = node_at(0);
      return i ? collapse(t, i) : WU_NOTAVAIL;
    }
    case WU_M_TREEFIND: return find(t, p, count, false);
    case WU_M_TREEFINDEXACT: return find(t, p, count, true);
    case WU_M_DNDNODE: {
      if (count < 2 || t->tree->root == nullptr) return WU_NOTAVAIL;
      NodeInfo *i = dnd_node(t, p[0].pointer);
      p[1].type = WU_VT_NODE;
      p[1].pointer = i ? &i->copy : nullptr;
      p[1].value = i ? int32_t(i->key) : 0;
      return WU_OK;
    }
    case WU_M_UPDATE: {
      NodeInfo *i = node_at(0);
      return i ? update(t, i, static_cast<wu_node_record *>(p[0].pointer)) : WU_NOTAVAIL;
    }
    case WU_M_UPDATENODE: {
      NodeInfo *i = node_at(0);
      return i ? update_node(t, i, static_cast<wu_node_record *>(p[0].pointer)) : WU_NOTAVAIL;
    }
    case WU_M_GETPARENT: case WU_M_GETCHILD: case WU_M_GETNEXT: case WU_M_GETPREVIOUS: {
      if (count < 2) return WU_NOTAVAIL;
      auto *rec = static_cast<wu_node_record *>(p[0].pointer);
      wu_tree_node *answer = nullptr;
      if (method == WU_M_GETPARENT && rec == nullptr) {
        answer = t->tree->root;
      } else if (method == WU_M_GETPARENT && rec->key == nullptr) {
        answer = nullptr;
      } else {
        NodeInfo *i = lookup(t, rec);
        if (i == nullptr) return WU_NOTAVAIL;
        wu_tree_node *n = i->node;
        answer = method == WU_M_GETPARENT ? n->parent
                 : method == WU_M_GETCHILD ? n->first_child
                 : method == WU_M_GETNEXT  ? n->next
                                           : n->prev;
      }
      NodeInfo *a = info_of(answer);
      p[1].type = WU_VT_NODE;
      p[1].pointer = a ? &a->copy : nullptr;
      p[1].value = a ? int32_t(a->key) : 0;
      return WU_OK;
    }
    case WU_M_GETNODE: {
      if (count < 2 || p[0].value == 0) return WU_NOTAVAIL;
      NodeInfo *a = t->state->find(static_cast<uint32_t>(p[0].value));
      p[1].type = WU_VT_NODE;
      p[1].pointer = a ? &a->copy : nullptr;
      p[1].value = a ? int32_t(a->key) : 0;
      return WU_OK;
    }
    case WU_M_EDITNODE:
      return WU_UNSUPPORTED;
    case WU_M_SELECTNODE: {
      if (count >= 1 && p[0].pointer != nullptr) {
        NodeInfo *i = node_at(0);
        if (i == nullptr) return WU_NOTAVAIL;
        return select_node(t, i);
      }
      return select_node(t, nullptr);
    }
    default:
      return WU_NOTAVAIL;
  }
}

// ---- attributes -------------------------------------------------------------------

bool framework_code(int32_t code) {
  switch (code) {
    case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
    case WU_A_TOOLTIP: case WU_A_EVENTS: case WU_A_EVENTPROC: case WU_A_CONTROLID:
      return true;
    default:
      return false;
  }
}

void show_title(TreeView *t) {
  if (t->title_frame == nullptr) return;
  Widget sw = t->tree->scrolled_w;
  if (t->title_text != nullptr && t->title_text[0] != '\0') {
    XtUnmanageChild(t->title_frame);
    const int32_t h = wu_list_text_height(t->title_text);
    XmString s = wumcstr(t->title_text);
    // The title takes the control's font when it is shown.
    XmFontList font = t->c.font_list ? static_cast<XmFontList>(t->c.font_list) : devb->font_list;
    if (font != nullptr && t->title_font != font) XtVaSetValues(t->title, XmNfontList, font, nullptr);
    t->title_font = font;
    XtVaSetValues(t->title, XmNlabelString, s, XmNheight, Dimension(h + kTitleLabelPad), nullptr);
    XmStringFree(s);
    XtVaSetValues(t->title_frame, XmNheight, Dimension(h + kTitleFramePad), nullptr);
    XtManageChild(t->title_frame);
    XtVaSetValues(sw, XmNtopAttachment, XmATTACH_WIDGET, XmNtopWidget, t->title_frame, nullptr);
  } else {
    XtVaSetValues(sw, XmNtopAttachment, XmATTACH_FORM, nullptr);
    XtUnmanageChild(t->title_frame);
  }
}

wu_status TreeViewSwat(wu_control *c, wu_value *entries, int32_t count) {
  TreeView *t = tv(c);
  Widget form = t->w.outer;
  bool font_changed = false, geometry = false;
  XmFontList old_font = nullptr;
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    v->status = WU_OK;
    if (v->code < 0 || v->code > 126) { v->status = WU_E_NOT_HANDLED; result = WU_ENTRY_STATUS; continue; }
    if (framework_code(v->code)) continue;
    switch (v->code) {
      case WU_A_HPOS: c->x = v->value; geometry = true; break;
      case WU_A_VPOS: c->y = v->value; geometry = true; break;
      case WU_A_WIDTH: case WU_A_HEIGHT:
        if (v->value <= 0 || v->value > 32767) { v->status = WU_E_RANGE; break; }
        (v->code == WU_A_WIDTH ? c->width : c->height) = v->value;
        geometry = true;
        break;
      case WU_A_FOREGROUND: case WU_A_MINCHAR: case WU_A_MINROWS: case WU_A_KEYCOMMANDS:
      case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_TITLE:
        if (v->value < 0 || (v->value > 0 && v->pointer == nullptr)) { v->status = WU_E_RANGE; break; }
        XtFree(t->title_text);
        t->title_text = wu_list_copy(static_cast<const char *>(v->pointer), v->value, WU_LIST_TEXT_MAX);
        if (t->tree != nullptr) show_title(t);
        break;
      case WU_A_RESIZABLE: t->resizable = int16_t(v->value & 0xffff); break;
      case WU_A_SELECTIONMODE:
        if (form != nullptr) { v->status = WU_E_CREATE_ONLY; break; }
        t->mode = v->value == 1 ? 1 : 0;
        break;
      case WU_A_NODES: case WU_A_TITLEHEIGHT:
        v->status = WU_E_SIZE_FIXED;
        break;
      case WU_A_SELECTEDNODE:
        if (t->tree == nullptr) break;
        if (v->pointer == nullptr) {
          XdTreeUnSetFocus(t->tree);
        } else if (NodeInfo *n = lookup(t, static_cast<wu_node_record *>(v->pointer))) {
          focus_node(t, n);
        } else {
          v->status = WU_E_RANGE;
        }
        break;
      case WU_A_FONT: {
        const auto *name = static_cast<const char *>(v->pointer);
        if (v->value <= 0 || name == nullptr || name[0] == '\0') { v->status = WU_E_NOT_HANDLED; break; }
        XmFontList fl = wu_list_font(c, name, v->value);
        if (fl == nullptr) { v->status = WU_NOTAVAIL; break; }
        if (old_font == nullptr) old_font = static_cast<XmFontList>(c->font_list);
        else wu_list_font_free(static_cast<XmFontList>(c->font_list));
        c->font_list = fl;
        font_changed = true;
        if (t->tree != nullptr) TreeNodeFontUpdate(t->tree, fl);
        break;
      }
      case WU_A_CLICKONLY: t->click_only = int16_t(v->value & 0xffff); break;
      case WU_A_AUTOEXPAND: t->auto_expand = int16_t(v->value & 0xffff); break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK) result = WU_ENTRY_STATUS;
  }
  if (form != nullptr) {
    if (geometry)
      XtVaSetValues(form, XmNx, wu_list_pos(c->x), XmNy,
                    wu_list_pos(c->y), XmNwidth,
                    wu_list_dim(c->width), XmNheight,
                    wu_list_dim(c->height), nullptr);
    if (t->resizable) {
      XtVaSetValues(t->tree->scrolled_w, XmNrightOffset, kResizeEdge, nullptr);
      XtVaSetValues(t->title_frame, XmNrightOffset, kResizeEdge, nullptr);
    }
    if (font_changed) {
      if (t->title_text != nullptr && t->title_text[0] != '\0') show_title(t);
      redraw(t);
    }
  }
  if (old_font != nullptr && old_font != c->font_list) wu_list_font_free(old_font);
  return result;
}

wu_status TreeViewQwat(wu_control *c, wu_value *entries, int32_t count) {
  TreeView *t = tv(c);
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > 126) { v->status = WU_E_NOT_HANDLED; result = WU_ENTRY_STATUS; continue; }
    if (framework_code(v->code) || v->code == WU_A_FONT || v->code == WU_A_CLICKONLY) continue;
    v->status = WU_OK;
    switch (v->code) {
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        wu_list_query_geometry(c, t->w.outer, v);
        break;
      case WU_A_FOREGROUND: case WU_A_MINCHAR: case WU_A_MINROWS: case WU_A_KEYCOMMANDS:
      case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_TITLE:
        v->pointer = t->title_text;
        v->value = t->title_text ? int32_t(std::strlen(t->title_text)) : 0;
        break;
      case WU_A_RESIZABLE: v->value = t->resizable; break;
      case WU_A_AUTOEXPAND: v->value = t->auto_expand; break;
      case WU_A_SELECTIONMODE: v->value = t->mode; break;
      case WU_A_SELECTEDINDEXES: {
        XtFree(reinterpret_cast<char *>(t->sel_answer));
        t->sel_answer = nullptr;
        t->sel_count = 0;
        std::vector<NodeInfo *> sel;
        if (t->tree != nullptr)
          for (int32_t k = 0; k < t->tree->selection_size; ++k)
            if (NodeInfo *n = info_of(t->tree->selection[k])) sel.push_back(n);
        if (!sel.empty()) {
          t->sel_answer = reinterpret_cast<wu_node_record *>(
              XtCalloc(Cardinal(sel.size()), sizeof(wu_node_record)));
          for (size_t k = 0; k < sel.size(); ++k) t->sel_answer[k] = sel[k]->copy;
          t->sel_count = int32_t(sel.size());
        }
        v->type = WU_VT_SELECTIONS;
        v->value = t->sel_count;
        v->pointer = t->sel_answer;
        v->status = WU_ALLOCATED;
        result = WU_ALLOCATED;
        continue;
      }
      case WU_A_NODES: {
        NodeInfo *n = t->tree ? info_of(t->tree->root) : nullptr;
        v->type = WU_VT_NODE;
        v->pointer = n ? &n->copy : nullptr;
        v->value = n ? int32_t(n->key) : 0;
        break;
      }
      case WU_A_SELECTEDNODE: {
        NodeInfo *n = t->tree ? info_of(t->tree->focus) : nullptr;
        v->type = WU_VT_NODE;
        v->pointer = n ? &n->copy : nullptr;
        v->value = n ? int32_t(n->key) : 0;
        break;
      }
      case WU_A_TITLEHEIGHT: v->value = wu_list_title_height(t->title_frame); break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK && result == WU_OK) result = WU_ENTRY_STATUS;
  }
  return result;
}

// Detaches the tree from the control before its widgets go: no node
// callback, time-out or hook reaches the released record.
void detach_tree(TreeView *t) {
  wu_tree *tree = t->tree;
  if (tree == nullptr) return;
  _XdTreeSetButtonsProc(tree, nullptr, nullptr);
  for (XtIntervalId *id : {&tree->activate_id, &tree->obscured_id, &tree->autoscroll_id})
    if (*id) {
      XtRemoveTimeOut(*id);
      *id = 0;
    }
  tree->activate_node = nullptr;
  wu_tree_node *n = tree->root;
  while (n != nullptr) {
    n->expand_proc = n->select_proc = n->release_proc = nullptr;
    n->double_click_proc = n->delete_proc = nullptr;
    n->expanded_word = nullptr;
    if (NodeInfo *i = info_of(n)) {
      n->owner_data = nullptr;
      release_info(i);
    }
    if (n->first_child != nullptr) { n = n->first_child; continue; }
    while (n != nullptr && n->next == nullptr) n = n->parent;
    if (n != nullptr) n = n->next;
  }
  t->tree = nullptr;
  t->site = nullptr;  // the drawing area's site goes with it
}

wu_status TreeViewCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr) return WU_OK;
  TreeView *t = tv(c);
  for (int32_t i = 0; i < count && entries != nullptr; ++i) {
    wu_value *v = &entries[i];
    if (v->status != WU_ALLOCATED || v->pointer == nullptr || v->pointer != t->sel_answer) continue;
    XtFree(reinterpret_cast<char *>(t->sel_answer));
    t->sel_answer = nullptr;
    t->sel_count = 0;
    v->pointer = nullptr;
    v->status = WU_OK;
  }
  if (entries == nullptr || count == 0) {
    XtFree(reinterpret_cast<char *>(t->sel_answer));
    t->sel_answer = nullptr;
    t->sel_count = 0;
    if (!wu_ctl_live(c)) {
      if (t->grabbed && wu_x_ok()) XtUngrabPointer(t->w.outer, CurrentTime);
      t->grabbed = 0;
      if (t->redraw_id != 0) XtRemoveTimeOut(t->redraw_id);
      t->redraw_id = 0;
      detach_tree(t);
      if (t->state != nullptr) {
        for (NodeInfo *i = t->state->dead; i != nullptr;) {
          NodeInfo *next = i->link;
          release_info(i);
          i = next;
        }
        delete t->state;
        t->state = nullptr;
      }
      XtFree(t->title_text);
      t->title_text = nullptr;
      wu_list_font_free(static_cast<XmFontList>(c->font_list));
      c->font_list = nullptr;
    }
  }
  return WU_OK;
}

// ---- replay ----------------------------------------------------------------------

wu_status TreeReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_TREEVIEW || rec == nullptr) return WU_NOTAVAIL;
  TreeView *t = tv(c);
  if (rec->code < 1 || rec->code > 28) return WU_NOTAVAIL;
  NodeInfo *i = rec->value1 == -1 ? nullptr : id_node(t, uint32_t(rec->value1));
  switch (rec->code) {
    case WU_EV_SELECT:
      // Selected as `_selectNode` selects: the host hears of it at once.
      if (i != nullptr && t->tree != nullptr) select_node(t, i);
      return WU_OK;
    case WU_EV_EXPAND: case WU_EV_COLLAPSE:
      // Without an event: the node counts as expanded by a method.
      if (i != nullptr) {
        i->waiting = 1;
        t->method_running = 1;
        if (rec->code == WU_EV_EXPAND) XdTreeExpandNode(i->node);
        else XdTreeCollapseNode(i->node);
        t->method_running = 0;
        i->waiting = 0;
      }
      redraw(t);
      return WU_OK;
    case WU_EV_DOUBLECLICK:
      if (i != nullptr) NodeDoubleClick(i->node->label, i->node, nullptr);
      return WU_OK;
    case WU_EV_RESIZE:
      if (t->w.outer != nullptr && rec->value1 > 0)
        XtVaSetValues(t->w.outer, XmNwidth, Dimension(std::min(rec->value1, 32767)), nullptr);
      wu_ctl_send(c, WU_EV_RESIZE, WU_EVM_RESIZE, c->x, c->y, nullptr, 0, WU_EV_CTL_POSTED);
      return WU_OK;
    case WU_EV_FREE: case WU_EV_KEYCOMMAND: case WU_EV_CLICKONLY: case WU_EV_BEGINEDIT:
    case WU_EV_ENDEDIT:
      return WU_OK;
    case WU_EV_POPUP: case WU_EV_DELETENODE: case WU_EV_BACKSPACE: {
      if (rec->code == WU_EV_POPUP && !(c->event_mask & WU_EVM_POPUP)) return WU_OK;
      Widget sw = t->tree ? t->tree->scrolled_w : nullptr;
      wu_value *p = i ? node_param(c, rec->code, i) : nullptr;
      wu_ctl_send(c, rec->code, 0, sw ? sw->core.x : c->x, sw ? sw->core.y : c->y, p, p ? 1 : 0,
                  WU_EV_CTL_POSTED);
      return WU_OK;
    }
    default:
      return WU_NOTAVAIL;
  }
}

// ---- drag and drop ----------------------------------------------------------------

wu_status TreeRegisterDND(wu_ctl_handle *, void *, void *, void *) { return WU_UNSUPPORTED; }
wu_status TreeUnregisterDND(wu_ctl_handle *, void *, void *, void *) { return WU_UNSUPPORTED; }

// The control's drop site: the tree's one.
wu_dnd_site *own_site(wu_ctl_handle *h, void *site) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_TREEVIEW || site == nullptr || tv(c)->site != site)
    return nullptr;
  return tv(c)->site;
}

wu_status TreeQueryDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  wu_dnd_site *s = own_site(h, site);
  if (s == nullptr || wuxqdnd == nullptr) return WU_NOTAVAIL;
  return wuxqdnd(s, static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
}

wu_status TreeSetDND(wu_ctl_handle *h, void *site, void *entries, void *count) {
  wu_dnd_site *s = own_site(h, site);
  if (s == nullptr || wuxsdnd == nullptr) return WU_NOTAVAIL;
  s->owner = h;
  return wuxsdnd(s, static_cast<wu_value *>(entries), int32_t(reinterpret_cast<intptr_t>(count)));
}

// ---- resize handle -----------------------------------------------------------------

TreeView *tree_of_form(Widget w) {
  XtPointer data = nullptr;
  while (w != nullptr && data == nullptr) {
    if (std::strcmp(XtName(w), "form") == 0 || std::strcmp(XtName(w), "Resize") == 0 ||
        std::strcmp(XtName(w), "resize") == 0)
      XtVaGetValues(w, XmNuserData, &data, nullptr);
    w = XtParent(w);
  }
  return live_tv(static_cast<wu_control *>(data));
}

// The horizontal double arrow, made once and kept with the display.
Cursor resize_cursor() {
  Cursor &c = devb->cursor[WU_CURSOR_HRESIZE];
  if (c == None) c = XCreateFontCursor(devb->display, XC_sb_h_double_arrow);
  return c;
}

void CanResize(Widget w, XtPointer client, XEvent *event, Boolean *) {
  TreeView *t = live_tv(static_cast<wu_control *>(client));
  if (t == nullptr || !t->resizable || !XtIsRealized(w)) return;
  if (event->type == MotionNotify && event->xmotion.x >= int(w->core.width) - kResizeEdge)
    XDefineCursor(XtDisplay(w), XtWindow(w), resize_cursor());
  else
    XUndefineCursor(XtDisplay(w), XtWindow(w));
}

int32_t title_height(TreeView *t) {
  Dimension h = 0;
  if (t->title_frame != nullptr && XtIsManaged(t->title_frame))
    XtVaGetValues(t->title_frame, XmNheight, &h, nullptr);
  return h;
}

void HandleResizeStart(Widget w, XEvent *event, String *, Cardinal *) {
  TreeView *t = tree_of_form(w);
  if (t == nullptr || !t->resizable || event == nullptr || event->type != ButtonPress) return;
  Widget form = t->w.outer;
  Position rx = 0, ry = 0;
  XtTranslateCoords(form, 0, 0, &rx, &ry);
  const int32_t th = title_height(t);
  const int32_t height = std::max(1, int32_t(form->core.height) - th - 2);
  XtConfigureWidget(t->resize_shell, Position(event->xbutton.x_root - 1), Position(ry + th + 3), 1,
                    Dimension(height), 0);
  XtPopup(t->resize_shell, XtGrabExclusive);
  if (XtGrabPointer(t->resize, False, ButtonMotionMask | ButtonReleaseMask, GrabModeAsync,
                    GrabModeAsync, None, None, event->xbutton.time) == GrabSuccess)
    t->grabbed = 1;
}

void HandleResizeMotion(Widget w, XEvent *event, String *, Cardinal *) {
  TreeView *t = tree_of_form(w);
  if (t == nullptr || event == nullptr || event->type != MotionNotify) return;
  XtMoveWidget(t->resize_shell, Position(event->xmotion.x_root), t->resize_shell->core.y);
}

void HandleResizeEnd(Widget w, XEvent *event, String *, Cardinal *) {
  TreeView *t = tree_of_form(w);
  if (t == nullptr) return;
  wu_control *c = &t->c;
  // The pointer is given back whatever follows.
  if (wu_x_ok()) XtUngrabPointer(t->resize, CurrentTime);
  t->grabbed = 0;
  XtPopdown(t->resize_shell);
  if (event == nullptr || event->type != ButtonRelease) return;
  Position rx = 0, ry = 0;
  XtTranslateCoords(t->w.outer, 0, 0, &rx, &ry);
  const int32_t width = event->xbutton.x_root - rx;
  if (width <= 0 || width > 32767) {
    if (wutalrm != nullptr) wutalrm(); else XBell(devb->display, 0);
    return;
  }
  c->width = width;
  XtVaSetValues(t->w.outer, XmNwidth, Dimension(width), nullptr);
  const int32_t sent = wu_ctl_send(c, WU_EV_RESIZE, WU_EVM_RESIZE, c->x, c->y, nullptr, 0,
                                   WU_EV_CTL_POSTED);
  if (wu_ctl_live(c)) wu_ctl_record(c, WU_EV_RESIZE, width, sent, 0.0, 0);
}

void wuwtree(Widget, XtPointer client, XEvent *event, Boolean *) {
  TreeView *t = live_tv(static_cast<wu_control *>(client));
  if (t != nullptr && event->type == MapNotify && t->tree != nullptr) XdTreeDraw(t->tree);
}

XtActionsRec kResizeActions[] = {
    {const_cast<char *>("TREEHandleResizeStart"), HandleResizeStart},
    {const_cast<char *>("TREEHandleResizeMotion"), HandleResizeMotion},
    {const_cast<char *>("TREEHandleResizeEnd"), HandleResizeEnd},
};

// The resize actions are registered once for each connection: Xt keeps
// every table it is given for as long as the application context lives.
// (A restart never opens its display at a closed one's address.)
void add_resize_actions() {
  static Display *registered = nullptr;
  if (registered == devb->display) return;
  XtAppAddActions(devb->app, kResizeActions, XtNumber(kResizeActions));
  registered = devb->display;
}

void install_slots(wu_control *c) {
  c->Swat = TreeViewSwat;
  c->Qwat = TreeViewQwat;
  c->Methods = TreeViewMethods;
  c->Cleanup = TreeViewCleanup;
  c->UnregisterDND = TreeUnregisterDND;
  c->RegisterDND = TreeRegisterDND;
  c->QueryDND = TreeQueryDND;
  c->SetDND = TreeSetDND;
  c->Replay = TreeReplay;
}

}  // namespace

extern "C" {

wu_status wutitre(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_TREEVIEW || !wu_x_ok() || c->pane == nullptr ||
      c->pane->ext == nullptr || c->pane->ext->widget == nullptr)
    return WU_NOTAVAIL;
  TreeView *t = tv(c);
  if (t->tree != nullptr) return WU_OK;
  add_resize_actions();
  wu_ctl_colours dialog, set;
  wu_ctl_class_colours(t->window, &set);
  dialog = set;
  if (wuwgpmc != nullptr) wuwgpmc(t->window, WU_CSET_DIALOG, &dialog);
  Arg args[20];
  Cardinal n = 0;
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  XtSetArg(args[n], XmNbackground, dialog.background); ++n;
  XtSetArg(args[n], XmNforeground, dialog.foreground); ++n;
  XtSetArg(args[n], XmNuserData, c); ++n;
  XtSetArg(args[n], XmNx, wu_list_pos(c->x)); ++n;
  XtSetArg(args[n], XmNy, wu_list_pos(c->y)); ++n;
  XtSetArg(args[n], XmNwidth, wu_list_dim(c->width)); ++n;
  XtSetArg(args[n], XmNheight, wu_list_dim(c->height)); ++n;
  XtSetArg(args[n], XmNsensitive, (c->flags & WU_CTL_GRAYED) ? False : True); ++n;
  XtSetArg(args[n], XmNresizePolicy, XmRESIZE_NONE); ++n;
  XtSetArg(args[n], XmNmappedWhenManaged, (c->flags & WU_CTL_HIDDEN) ? False : True); ++n;
  Widget form = XmCreateForm(c->pane->ext->widget, const_cast<char *>("form"), args, n);
  if (form == nullptr) return WU_NOTAVAIL;
  static XtTranslations start = XtParseTranslationTable("<Btn1Down>: TREEHandleResizeStart()");
  XtOverrideTranslations(form, start);
  XtAddEventHandler(form, EnterWindowMask | LeaveWindowMask | PointerMotionMask, False, CanResize, c);

  t->resize_shell = XtVaCreatePopupShell("Resize", overrideShellWidgetClass, form, XmNvisual,
                                         devb->visual, XmNcolormap, devb->colormap, XmNdepth,
                                         devb->depth, XmNwidth, 1, XmNheight, 1, XmNuserData, c,
                                         nullptr);
  t->resize = XtVaCreateManagedWidget("resize", xmDrawingAreaWidgetClass, t->resize_shell,
                                      XmNwidth, 1, XmNheight, 1, XmNuserData, c, nullptr);
  static XtTranslations moves = XtParseTranslationTable(
      "Button1<Motion>  : TREEHandleResizeMotion()\n<Btn1Up>  : TREEHandleResizeEnd()");
  XtOverrideTranslations(t->resize, moves);

  Arg targs[4];
  Cardinal tn = 0;
  XtSetArg(targs[tn], XmNbackground, set.background); ++tn;
  XtSetArg(targs[tn], XmNforeground, set.foreground); ++tn;
  XtSetArg(targs[tn], XmNfontList, c->font_list ? c->font_list : devb->font_list); ++tn;
  t->tree = XdCreateTree(form, targs, tn);
  if (t->tree == nullptr) {
    XtDestroyWidget(form);
    return WU_NOTAVAIL;
  }
  t->w.outer = form;
  t->w.main = t->tree->drawing_area;
  _XdTreeSetButtonsProc(t->tree, ButtonsMade, c);

  const int right = t->resizable ? kResizeEdge : 0;
  t->title_frame = XtVaCreateWidget("title_frame", xmFrameWidgetClass, form, XmNtopAttachment,
                                    XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM,
                                    XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, right,
                                    XmNbackground, dialog.background, nullptr);
  t->title_form = XtVaCreateManagedWidget("title_form", xmFormWidgetClass, t->title_frame,
                                          XmNbackground, dialog.background, nullptr);
  t->title = XtVaCreateManagedWidget(
      "tree_title", xmLabelWidgetClass, t->title_form, XmNtopAttachment, XmATTACH_FORM,
      XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, 5, XmNrightAttachment, XmATTACH_FORM,
      XmNrightOffset, 5, XmNalignment, XmALIGNMENT_BEGINNING, XmNrecomputeSize, True,
      XmNfontList, c->font_list ? c->font_list : devb->font_list, XmNbackground,
      dialog.background, XmNforeground, dialog.foreground, nullptr);
  for (Widget k : {t->title_frame, t->title_form, t->title}) {
    if (wutaddt != nullptr) wutaddt(k);
    if (devb->popup_translation != nullptr) XtOverrideTranslations(k, devb->popup_translation);
    XtAddEventHandler(k, ButtonPressMask, False, wuwrent, t->window);
  }
  wuwddrg(t->title);
  wutmnrq(t->title, c);
  t->title_font = c->font_list ? static_cast<XmFontList>(c->font_list) : devb->font_list;
  Widget sw = t->tree->scrolled_w;
  XtVaSetValues(sw, XmNrightOffset, right, nullptr);
  wutmnrq(sw, c);
  wutmnrq(t->tree->drawing_area, c);
  XtInsertEventHandler(t->tree->drawing_area, ButtonPressMask, False, NodeMenu, c, XtListHead);
  XtVaSetValues(t->tree->drawing_area, XmNuserData, c, nullptr);
  make_site(t);
  if (devb->popup_translation != nullptr)
    XtOverrideTranslations(t->tree->drawing_area, devb->popup_translation);
  show_title(t);
  XtAddEventHandler(form, StructureNotifyMask, False, wuwtree, c);
  t->tree->multiple_selection = t->mode == 1 ? 1 : 0;
  XtManageChild(form);
  if (!(c->flags & WU_CTL_HIDDEN)) c->flags |= WU_CTL_SHOWN;
  return WU_OK;
}

wu_status wuxgtre(wu_pane *pane, wu_control **out) {
  if (out == nullptr) return WU_NOTAVAIL;
  *out = nullptr;
  if (!wu_list_pane_ok(pane)) return WU_NOTAVAIL;
  wu_window *window = pane->window;
  wu_control *c = wu_list_new_control(pane, WU_MT_TREEVIEW);
  if (c == nullptr) return WU_NOMEM;
  auto *t = reinterpret_cast<TreeView *>(c);
  c->flags |= WU_CTL_TAKES_FOCUS;
  // Defaults first: the build reads them.
  c->x = c->y = 1;
  c->width = c->height = 100;
  c->font_list = devb ? devb->font_list : nullptr;
  install_slots(c);
  t->window = window;
  t->click_only = 0;
  t->state = new TreeState;
  if ((pane->ext->flags & WU_PEXT_REALIZED) && pane->ext->widget != nullptr &&
      wutitre(c) != WU_OK) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

wu_status wu_create_trv(wu_pane *pane, wu_control **out) { return wuxgtre(pane, out); }

Widget wu_trv_focus(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_TREEVIEW || tv(c)->tree == nullptr) return nullptr;
  wu_tree *tree = tv(c)->tree;
  wu_tree_node *n = tree->focus ? tree->focus : tree->root;
  if (n != nullptr && n->label != nullptr && XtIsManaged(n->label)) return n->label;
  return tree->drawing_area;
}

}  // extern "C"
