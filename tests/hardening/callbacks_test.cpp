// Host code that releases a window, or ends the module, from an event
// procedure the module runs inside a Motif callback, and a host that releases
// a window between a button's press and its release on one of its bars.
// Motif still works on the widgets after the procedure returns: the release
// is carried out when the callback is over, the window answers as released
// from the moment the host released it, and nothing crashes, leaks, queues
// or draws on a widget that is gone.
#include "hardening.h"

#include <X11/extensions/XTest.h>
#include <Xm/ScrollBar.h>

#include <cstring>
#include <functional>

#include "controls/wucombo.h"
#include "controls/wucontrol.h"
#include "frames/wuframes.h"
#include "xd/TreeP.h"
#include "treerows.h"
#include "xinput.h"

namespace {

using namespace hardening;

enum class Act { ReleaseControl, ReleaseWindow, ShutDown };
Act g_act = Act::ReleaseControl;
wu_window *g_window = nullptr;
wu_pane *g_pane = nullptr;
int g_calls = 0;
// The window's own X window on the server (its shell's).
Window g_xwindow = None;

// What the host saw from inside the procedure, right after its act.
struct Inside {
  wu_status act = -1;
  wu_status update = -1;        // wuxuwnd on the released window
  wu_status again = -1;         // a second wuxfwnd
  wu_status queue = -1;         // an event queued for it
  wu_status handle = -1;        // a service of its control
  bool shown = false;           // its X window still on the server
  wu_window *fresh = nullptr;   // a window made after the release
  bool started = false;         // the module, after a shut-down asked for
  int posted = 0;               // host events posted for it up to the act
                                // (taken, so that later ones stand out)
  std::vector<wu_status> pane_slots;  // slots given its pane, or a new one
  bool made = false;            // a field, bar, control or pane came of them
};
Inside g_inside;

// The task that receives the window's host events.
qev_task *g_task = nullptr;

// Host events posted for the window since the last call.
int PostedFor(const wu_window *w) {
  int n = 0;
  qevhost::PostedEvent e;
  while (g_task != nullptr && qevhost::nextEvent(g_task, &e))
    if (e.window == w) ++n;
  return n;
}

// True when the X window is among the root window's children.
bool OnServer(Window xw) {
  Display *dpy = devb->display;
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  bool found = false;
  if (XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count; ++i)
      if (children[i] == xw) found = true;
    XFree(children);
  }
  return found;
}

Window ShellWindow(Widget w) {
  while (w != nullptr && !XtIsShell(w)) w = XtParent(w);
  return w != nullptr ? XtWindow(w) : None;
}

wu_status Procedure(wu_ctl_handle *h, wu_ctl_event *, wu_value *, int32_t) {
  if (++g_calls > 1) return WU_OK;
  switch (g_act) {
    case Act::ReleaseControl: g_inside.act = h->services->wdes(h); break;
    case Act::ReleaseWindow: {
      g_inside.act = wuxfwnd(g_window);
      g_inside.update = wuxuwnd(g_window);
      g_inside.again = wuxfwnd(g_window);
      g_inside.queue = wuxqwev(g_window, WU_EV_WAKE, nullptr, 0);
      g_inside.handle = h != nullptr ? h->services->wdes(h) : WU_NOTAVAIL;
      g_inside.posted = PostedFor(g_window);
      g_inside.shown = OnServer(g_xwindow);
      if (wuxgwnd(&g_inside.fresh, 1, 0) == WU_OK) wuxfwnd(g_inside.fresh);
      {
        // Nothing more is made in the released window's panes.
        static int32_t low = 0, high = 9, at = 0;
        wu_field *field = nullptr;
        wu_bar *bar = nullptr;
        wu_ctl_handle *control = nullptr;
        wu_pane *pane = nullptr;
        g_inside.pane_slots = {
            wuxgfld(g_pane, &field, 2, 2, 5, 0, 0),
            wuxgbar(g_pane, &bar, 1, 0, 0, &low, &high, &at, 1, 30, 3, 0, 0),
            Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(&control, g_pane, nullptr,
                                                          WU_CTYPE_ENTRY, nullptr, 0, nullptr),
            wuxgpan(g_window, &pane, 1, 1, 2, 10, 0),
            wuxmcrs(g_window, g_pane, 1, 1)};
        g_inside.made = field || bar || control || pane;
      }
      break;
    }
    case Act::ShutDown:
      g_inside.act = qevtest::windowSlot(WUX_SLOT_TERM)();
      g_inside.started = wu_module() != nullptr;
      break;
  }
  return WU_OK;
}

// Sets the act the next procedure call carries out on the window.
void Arm(Started &m, Act act, Widget control) {
  g_task = m.window->event_task;
  PostedFor(m.window);
  g_act = act;
  g_window = m.window;
  g_pane = m.pane;
  g_calls = 0;
  g_inside = Inside{};
  g_xwindow = ShellWindow(control);
  qevhost::clearLog();
}

// The point of a scroll bar's increment arrow, on the screen.
void ArrowPoint(Widget bar, int *x, int *y) {
  Dimension width = 0, height = 0;
  unsigned char orientation = XmVERTICAL;
  XtVaGetValues(bar, XmNwidth, &width, XmNheight, &height, XmNorientation, &orientation, nullptr);
  Position px = 0, py = 0;
  if (orientation == XmVERTICAL)
    XtTranslateCoords(bar, Position(width / 2), Position(height - 4), &px, &py);
  else
    XtTranslateCoords(bar, Position(width - 4), Position(height / 2), &px, &py);
  *x = px;
  *y = py;
}

void Press(Display *dpy, int x, int y, bool down) {
  XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, down ? True : False, CurrentTime);
  XFlush(dpy);
}

// A click on the bar's increment arrow.
void ClickArrow(Widget bar) {
  int x = 0, y = 0;
  ArrowPoint(bar, &x, &y);
  Press(devb->display, x, y, true);
  Press(devb->display, x, y, false);
}

// The user drags the bar's slider a step at a time, then lets it go.
void DragSlider(Widget bar) {
  Dimension width = 0, height = 0;
  unsigned char orientation = XmVERTICAL;
  XtVaGetValues(bar, XmNwidth, &width, XmNheight, &height, XmNorientation, &orientation, nullptr);
  const bool vertical = orientation == XmVERTICAL;
  // The slider starts right after the first arrow, as wide as the bar.
  const Dimension across = vertical ? width : height;
  Position x = 0, y = 0;
  XtTranslateCoords(bar, Position(vertical ? width / 2 : across + 4),
                    Position(vertical ? across + 4 : height / 2), &x, &y);
  Press(devb->display, x, y, true);
  // The drag goes on over a window released meanwhile; a module that
  // ended took the connection with it.
  for (int step = 1; step <= 6 && devb != nullptr; ++step) {
    XTestFakeMotionEvent(devb->display, -1, vertical ? x : x + 5 * step,
                         vertical ? y + 5 * step : y, CurrentTime);
    EXPECT_TRUE(qevtest::settle());
  }
  // The button is let go on the server in any case: the tests that follow
  // in this process share it.
  Display *dpy = devb != nullptr ? devb->display : XOpenDisplay(nullptr);
  if (dpy == nullptr) return;
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  XSync(dpy, False);
  if (devb == nullptr || dpy != devb->display) XCloseDisplay(dpy);
}

// Events the module's queue holds for the window.
int QueuedFor(const wu_window *w) {
  int n = 0;
  if (wu_state *s = wu_module())
    for (const wu_event *e = s->queue_head; e != nullptr; e = e->next)
      if (e->window == w) ++n;
  return n;
}

// The log holds no error, toolkit complaint or internal failure.
void ExpectCleanLog() {
  for (const qevhost::LogEntry &e : qevhost::logEntries()) {
    EXPECT_NE(e.cls, QEV_LOG_ERROR) << e.text;
    EXPECT_EQ(e.text.find("BUGALERT"), std::string::npos) << e.text;
    EXPECT_EQ(e.text.find("X Toolkit"), std::string::npos) << e.text;
  }
}

// After the act, the module stands with its window (or without it), or has
// ended and starts again; the sanitizer build's leak check runs at the
// child's end.  With `pools`, the module pool is back where it stood
// before the control was made.  `h` is the acting control's handle.
void CheckAfter(Started &m, Act act, wu_ctl_handle *h, bool pools = false) {
  if (devb && wu_x_ok()) {
    EXPECT_TRUE(qevtest::settle());
  }
  ExpectCleanLog();
  if (act == Act::ShutDown) {
    // Asked for inside the callback, carried out once it returned.
    EXPECT_EQ(g_inside.act, WU_OK);
    EXPECT_TRUE(g_inside.started);
    EXPECT_EQ(wu_module(), nullptr);
    EXPECT_EQ(qevtest::windowSlot(WUX_SLOT_INIT)(), WU_OK);
  } else if (act == Act::ReleaseWindow) {
    // From the release on, the window answers as released, while Motif
    // still holds its widgets; a window made meanwhile takes another
    // address.
    EXPECT_EQ(g_inside.act, WU_OK);
    EXPECT_EQ(g_inside.update, WU_NOTAVAIL);
    EXPECT_EQ(g_inside.again, WU_NOTAVAIL);
    EXPECT_EQ(g_inside.queue, WU_NOTAVAIL);
    EXPECT_EQ(g_inside.handle, WU_NOTAVAIL);
    EXPECT_TRUE(g_inside.shown);
    EXPECT_NE(g_inside.fresh, nullptr);
    EXPECT_NE(g_inside.fresh, m.window);
    EXPECT_EQ(g_inside.pane_slots, std::vector<wu_status>(5, WU_NOTAVAIL));
    EXPECT_FALSE(g_inside.made);
    // Once the callback returned the window is gone from the server, and
    // every later call on it or its control answers as released.
    EXPECT_FALSE(OnServer(g_xwindow));
    EXPECT_EQ(wuxuwnd(m.window), WU_NOTAVAIL);
    EXPECT_EQ(wuxrwnd(m.window), WU_NOTAVAIL);
    EXPECT_EQ(wuxfwnd(m.window), WU_NOTAVAIL);
    EXPECT_EQ(Slot<MethFn>(QEV_TABLE_METHODS, WUXP_SLOT_METH)(h, WU_M_SHOWPOPUP, nullptr, 0),
              WU_NOTAVAIL);
    EXPECT_EQ(QueuedFor(m.window), 0);
    // Nothing was posted for it after the act.
    EXPECT_EQ(PostedFor(m.window), 0);
    EXPECT_EQ(wu_reg_count(WU_REG_WINDOW_GOING), 0);
    EXPECT_EQ(wu_reg_count(WU_REG_WINDOW), 0);
    if (pools) m.ExpectPoolAtBase();
  } else {
    EXPECT_EQ(g_inside.act, WU_OK);
    EXPECT_TRUE(OnServer(g_xwindow));
    EXPECT_EQ(wuxfwnd(m.window), WU_OK);
    if (pools) m.ExpectPoolAtBase();
  }
  m.Stop();
}

// ---- the older pane bar -----------------------------------------------------

// An older vertical bar in the pane over the host's range words, with the
// procedure given.
struct PaneBar {
  int32_t minimum = 0, maximum = 99, value = 10;
  wu_bar *bar = nullptr;

  bool Make(Started &m, wu_evproc procedure) {
    EXPECT_EQ(wuxgbar(m.pane, &bar, 1, 0, 0, &minimum, &maximum, &value, 1, 40, 8, 0, 0), WU_OK);
    if (bar == nullptr || bar->widget == nullptr) return false;
    bar->common.procedure = procedure;
    m.Settle();
    return true;
  }
};

// What the pane bar's procedure was handed: the scroll code and the value,
// which the catalogue types as a double.
int32_t g_code = 0;
double g_value = -1;
int32_t g_value_type = 0;

wu_status PaneBarProcedure(wu_ctl_handle *, wu_ctl_event *, wu_value *params, int32_t count) {
  if (count != 2) return WU_OK;
  g_code = params[0].value;
  g_value_type = params[1].type;
  std::memcpy(&g_value, &params[1].value, sizeof g_value);
  return WU_OK;
}

// An older pane bar: the user presses its arrow, the host hears the new
// value, and releases the window before the button is let go.
TEST(Callbacks, APaneBarsWindowMayGoBetweenThePressAndTheRelease) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    PaneBar pb;
    ASSERT_TRUE(pb.Make(m, PaneBarProcedure));
    int x = 0, y = 0;
    ArrowPoint(pb.bar->widget, &x, &y);
    Press(devb->display, x, y, true);
    ASSERT_TRUE(qevtest::turnUntil([&] { return pb.value != 10; }));
    EXPECT_EQ(g_code, WU_SCROLL_INCREMENT);
    EXPECT_EQ(g_value_type, WU_VT_DOUBLE);
    EXPECT_EQ(g_value, double(pb.value));
    const Window xw = ShellWindow(pb.bar->widget);
    ASSERT_EQ(wuxfwnd(m.window), WU_OK);
    Press(devb->display, x, y, false);
    EXPECT_TRUE(qevtest::settle());
    EXPECT_FALSE(OnServer(xw));
    EXPECT_EQ(wuxuwnd(m.window), WU_NOTAVAIL);
    m.Stop();
  });
}

// A pane bar's procedure that releases the window or ends the module from
// inside Motif's scroll callback, on a click of its arrow and on a drag of
// its slider: carried out once the callback has returned.
TEST(Callbacks, APaneBarsProcedureMayReleaseItsWindowOrEndTheModule) {
  for (bool drag : {false, true})
    for (Act act : {Act::ReleaseWindow, Act::ShutDown}) {
      SCOPED_TRACE(drag ? "drag" : "click");
      SCOPED_TRACE(act == Act::ShutDown ? "shut down" : "release the window");
      InChild([act, drag] {
        Started m;
        if (!m.Start()) return;
        PaneBar pb;
        ASSERT_TRUE(pb.Make(m, Procedure));
        Arm(m, act, pb.bar->widget);
        const int32_t before = pb.value;
        if (drag) DragSlider(pb.bar->widget);
        else ClickArrow(pb.bar->widget);
        ASSERT_TRUE(qevtest::turnUntil([] { return g_calls >= 1; }));
        // The host's range word followed the bar up to the act.
        EXPECT_NE(pb.value, before);
        CheckAfter(m, act, nullptr);
      });
    }
}

// ---- every kind whose procedure runs inside a Motif callback ---------------

// A key typed on the server's keyboard, after a click that gives `w` the
// keyboard.
void Key(Widget w, KeySym sym) {
  ASSERT_TRUE(qevtest::clickHandled(w));
  ASSERT_TRUE(qevtest::settle());
  qevtest::pressKey(devb->display, sym);
}

wu_value Text(int16_t code, const char *text) {
  wu_value v = {};
  v.code = code;
  v.type = WU_VT_STRING;
  v.value = int32_t(std::strlen(text));
  v.pointer = const_cast<char *>(text);
  return v;
}

// One kind and one user action: how the control is made, which event its
// procedure hears, and what the user does to the control.
struct KindCase {
  const char *name;
  int32_t type;
  std::function<std::vector<wu_value>()> entries;
  std::function<void(wu_ctl_handle *)> user;
};

Widget W(wu_ctl_handle *h) { return wuwgxtw(h->control); }

// The text kinds hand a virtual key they are asked for to the procedure
// from the key press's event handler, before the text widget sees it.
std::vector<int32_t> g_key_events = {WU_EV_PREVIRTUALKEY};
std::vector<int32_t> g_keys = {WU_VK_DOWN};
std::vector<int32_t> g_expand_events = {WU_EV_EXPAND};
std::vector<int32_t> g_scroll_events = {WU_EV_SCROLL};

std::vector<wu_value> KeyEntries() {
  return {IntList(WU_A_EVENTS, g_key_events), IntList(WU_A_VIRTUALKEYS, g_keys)};
}

// A host node record of a label, without icons.
void FillNode(wu_node_record *r, const char *label, int32_t expandable) {
  *r = wu_node_record{};
  r->label = label;
  r->label_length = int32_t(std::strlen(label));
  r->focus_icon = -1;
  r->icon = -1;
  r->expandable = expandable;
}

// `_addNodes` of a chain (with its children) at the top level.
wu_status AddTopLevel(wu_ctl_handle *h, wu_node_record *first) {
  wu_value p[3] = {};
  p[0].type = WU_VT_NODE;
  p[1].type = WU_VT_NODE;
  p[1].pointer = first;
  p[2].code = 3;
  p[2].type = WU_VT_INT;
  p[2].value = 3;
  return h->services->meth(h, WU_M_ADDNODES, p, 3);
}

// The tree's node of a label, once the tree has been laid out.
wu_tree_node *LaidOutNode(wu_ctl_handle *h, const char *label) {
  EXPECT_TRUE(qevtest::settle());
  Widget sw = W(h);
  while (sw != nullptr && std::strcmp(XtName(sw), "ScrolledW") != 0) sw = XtParent(sw);
  if (sw == nullptr) return nullptr;
  XtPointer tree = nullptr;
  XtVaGetValues(sw, XmNuserData, &tree, nullptr);
  return _XdTreeFindLabel(static_cast<wu_tree *>(tree), label);
}

// A tree of an open top node over a closed folder; the user opens the
// folder with a click on its handle, and the tree hands the expand event
// to the procedure from inside the handle's callback.
wu_node_record g_top, g_folder, g_leaf;

void OpenFolder(wu_ctl_handle *h) {
  FillNode(&g_top, "top", 1);
  FillNode(&g_folder, "folder", 1);
  FillNode(&g_leaf, "leaf", 0);
  g_top.expanded = 1;
  g_top.child = &g_folder;
  g_folder.child = &g_leaf;
  ASSERT_EQ(AddTopLevel(h, &g_top), WU_OK);
  wu_tree_node *n = LaidOutNode(h, "folder");
  ASSERT_NE(n, nullptr);
  ASSERT_TRUE(qevtest::clickTreeNode(n, XdTREE_PART_HANDLE));
}

std::vector<KindCase> KindCases() {
  auto text_of = [](wu_ctl_handle *h) -> Widget {
    if (h->type == WU_CTYPE_COMBO) return reinterpret_cast<wu_combo *>(h->control)->text_w;
    if (h->type == WU_CTYPE_SPIN) return reinterpret_cast<wu_spin *>(h->control)->text_w;
    return W(h);
  };
  auto down = [text_of](wu_ctl_handle *h) { Key(text_of(h), XK_Down); };
  return {
      {"EntryFieldKey", WU_CTYPE_ENTRY, KeyEntries, down},
      {"MultiLineKey", WU_CTYPE_MULTILINE, KeyEntries, down},
      {"ComboBoxKey", WU_CTYPE_COMBO, KeyEntries, down},
      {"SpinBoxKey", WU_CTYPE_SPIN, KeyEntries, down},
      {"ScrollBarArrow", WU_CTYPE_SCROLL,
       [] { return std::vector<wu_value>{IntList(WU_A_EVENTS, g_scroll_events)}; },
       [](wu_ctl_handle *h) { ClickArrow(W(h)); }},
      {"ScrollBarDrag", WU_CTYPE_SCROLL,
       [] { return std::vector<wu_value>{IntList(WU_A_EVENTS, g_scroll_events)}; },
       [](wu_ctl_handle *h) { DragSlider(W(h)); }},
      {"TreeViewExpand", WU_CTYPE_TREEVIEW,
       [] {
         return std::vector<wu_value>{IntList(WU_A_EVENTS, g_expand_events),
                                      Text(WU_A_TITLE, "T")};
       },
       OpenFolder},
  };
}

struct KindAndAct {
  KindCase kind;
  Act act;
};

class EveryKind : public ::testing::TestWithParam<KindAndAct> {};

// The user acts on the control; its procedure, run from inside Motif's
// callback, releases the control, its window, or ends the module.  The
// module stands afterwards as CheckAfter expects, without an X error.
TEST_P(EveryKind, ProcedureMayReleaseOrEndFromInsideTheCallback) {
  const KindAndAct c = GetParam();
  InChild([c] {
    Started m;
    if (!m.Start()) return;
    std::vector<wu_value> entries = c.kind.entries();
    CreaFn crea = Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA);
    // A first control of the kind makes what the kind keeps for the
    // module's lifetime; the baseline holds it.
    const qevhost::PoolStats before = qevhost::poolStats(m.pool);
    wu_ctl_handle *warm = nullptr;
    ASSERT_EQ(crea(&warm, m.pane, nullptr, c.kind.type, entries.data(), int32_t(entries.size()),
                   nullptr),
              WU_OK);
    ASSERT_EQ(warm->services->wdes(warm), WU_OK);
    m.Settle();
    const qevhost::PoolStats kept = qevhost::poolStats(m.pool);
    m.base.liveBlocks += kept.liveBlocks - before.liveBlocks;
    m.base.liveBytes += kept.liveBytes - before.liveBytes;
    wu_ctl_handle *h = nullptr;
    ASSERT_EQ(crea(&h, m.pane, nullptr, c.kind.type, entries.data(), int32_t(entries.size()),
                   Procedure),
              WU_OK);
    ASSERT_NE(h, nullptr);
    m.Settle();
    Arm(m, c.act, W(h));
    c.kind.user(h);
    ASSERT_TRUE(qevtest::turnUntil([] { return g_calls >= 1; }));
    CheckAfter(m, c.act, h, true);
  });
}

// A host procedure that waits on its window's read from inside the entry
// field's key handler, as a host waiting for the user there does, while
// another control's procedure releases the window: the waiting read ends
// as released while the outer handler still runs, and the release is
// carried out once both are over.
int g_waits = 0;
bool g_wait_over = false;
wu_status g_inner_read = WU_OK;
bool g_inner_shown = false;

wu_status WaitingProcedure(wu_ctl_handle *, wu_ctl_event *, wu_value *, int32_t) {
  if (++g_waits > 1) return WU_OK;
  wu_status read = WU_OK;
  for (int reads = 0; reads < 50 && read != WU_NOTAVAIL; ++reads) read = wuxrwnd(g_window);
  g_inner_read = read;
  g_inner_shown = OnServer(g_xwindow);
  g_wait_over = true;
  return WU_OK;
}

TEST(Callbacks, AReadWaitingInsideAProcedureEndsWhenAnotherReleasesTheWindow) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    CreaFn crea = Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA);
    std::vector<wu_value> keys = KeyEntries();
    wu_ctl_handle *entry = nullptr;
    ASSERT_EQ(crea(&entry, m.pane, nullptr, WU_CTYPE_ENTRY, keys.data(), int32_t(keys.size()),
                   WaitingProcedure),
              WU_OK);
    wu_value at = {};
    at.code = WU_A_HPOS;
    at.type = WU_VT_INT;
    at.value = 300;
    std::vector<wu_value> scroll = {IntList(WU_A_EVENTS, g_scroll_events), at};
    wu_ctl_handle *bar = nullptr;
    ASSERT_EQ(crea(&bar, m.pane, nullptr, WU_CTYPE_SCROLL, scroll.data(), int32_t(scroll.size()),
                   Procedure),
              WU_OK);
    m.Settle();
    Arm(m, Act::ReleaseWindow, W(bar));
    // The key reaches the entry field first; the click comes while its
    // procedure waits.
    Key(W(entry), XK_Down);
    ClickArrow(W(bar));
    ASSERT_TRUE(qevtest::turnUntil([] { return g_wait_over; }));
    EXPECT_EQ(g_waits, 1);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_inner_read, WU_NOTAVAIL);
    EXPECT_TRUE(g_inner_shown);
    CheckAfter(m, Act::ReleaseWindow, bar);
  });
}

// ---- the tree view's methods --------------------------------------------------

// The tree view tells the host of each node it deletes with `free`, from
// inside the host's own `_delete` or `_deleteChildren`, and of a node the
// host opens or closes with `_expand` or `_collapse` with `expand` or
// `collapse`.  A procedure that releases the control, its window or ends
// the module there leaves the method nothing to finish: it stops, and the
// module stands as after any other act.  "top" (open) holds "one" over
// "leaf"; for `_deleteChildren` "two" follows "one".  `_delete` takes
// "one", the only child, whose parent the method then marks closed;
// `_expand` opens "one", `_collapse` closes "top".
std::vector<int32_t> g_node_method_events = {WU_EV_FREE, WU_EV_EXPAND, WU_EV_COLLAPSE};

const char *MethodName(int32_t method) {
  switch (method) {
    case WU_M_DELETENODE: return "_delete";
    case WU_M_DELETECHILDREN: return "_deleteChildren";
    case WU_M_EXPAND: return "_expand";
    default: return "_collapse";
  }
}

TEST(Callbacks, ATreeViewsProcedureMayReleaseOrEndInsideItsMethods) {
  for (int32_t method : {WU_M_DELETENODE, WU_M_DELETECHILDREN, WU_M_EXPAND, WU_M_COLLAPSE})
    for (Act act : {Act::ReleaseControl, Act::ReleaseWindow, Act::ShutDown}) {
      SCOPED_TRACE(MethodName(method));
      SCOPED_TRACE(act == Act::ReleaseControl  ? "release the control"
                   : act == Act::ReleaseWindow ? "release the window"
                                               : "shut down");
      InChild([method, act] {
        Started m;
        if (!m.Start()) return;
        std::vector<wu_value> entries = {IntList(WU_A_EVENTS, g_node_method_events)};
        wu_ctl_handle *h = nullptr;
        auto make = [&](wu_evproc procedure) {
          ASSERT_EQ(Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(
                        &h, m.pane, nullptr, WU_CTYPE_TREEVIEW, entries.data(),
                        int32_t(entries.size()), procedure),
                    WU_OK);
        };
        wu_node_record top, a, b, leaf;
        // The methods write the host's records: they are filled afresh for
        // each tree.
        auto fill = [&] {
          FillNode(&top, "top", 1);
          FillNode(&a, "one", 1);
          FillNode(&b, "two", 1);
          FillNode(&leaf, "leaf", 1);
          top.expanded = 1;
          top.child = &a;
          a.parent = b.parent = &top;
          a.child = &leaf;
          leaf.parent = &a;
          if (method == WU_M_DELETECHILDREN) {
            a.next = &b;
            b.prev = &a;
          }
        };
        wu_value node = {};
        node.type = WU_VT_NODE;
        node.pointer = method == WU_M_DELETENODE || method == WU_M_EXPAND ? &a : &top;
        // A first tree made, filled and emptied makes what the kind keeps
        // for the module's lifetime; the baseline holds it.
        const qevhost::PoolStats before = qevhost::poolStats(m.pool);
        make(nullptr);
        fill();
        ASSERT_EQ(AddTopLevel(h, &top), WU_OK);
        ASSERT_EQ(h->services->meth(h, WU_M_DELETECHILDREN, &node, 1), WU_OK);
        ASSERT_EQ(h->services->wdes(h), WU_OK);
        m.Settle();
        const qevhost::PoolStats kept = qevhost::poolStats(m.pool);
        m.base.liveBlocks += kept.liveBlocks - before.liveBlocks;
        m.base.liveBytes += kept.liveBytes - before.liveBytes;
        make(Procedure);
        fill();
        ASSERT_EQ(AddTopLevel(h, &top), WU_OK);
        m.Settle();
        Arm(m, act, W(h));
        EXPECT_EQ(h->services->meth(h, method, &node, 1), WU_OK);
        EXPECT_EQ(g_calls, 1);
        CheckAfter(m, act, h, act != Act::ShutDown);
      });
    }
}

// ---- the batch driver's recordings ------------------------------------------

// A host's batch driver records what the user does from inside Motif's
// callbacks too.  One that releases the control or its window, or ends the
// module, while it records a push button's click, an entry field's Return
// or a click or menu button on a tree node is carried out as an event
// procedure's act is: nothing of the control or the window is posted or
// touched afterwards.
wu_batch_event_record_fn g_recorder = nullptr;
wu_ctl_handle *g_recording = nullptr;  // the control the user acts on

wu_status RecordThenAct(void *window, int32_t id, const wu_batch_event *recording) {
  const wu_status st = g_recorder != nullptr ? g_recorder(window, id, recording) : WU_OK;
  Procedure(g_recording, nullptr, nullptr, 0);
  return st;
}

// A tree of one top-level node, "node", laid out; the user presses
// `button` on its label.
void PressNode(wu_ctl_handle *h, unsigned button) {
  static wu_node_record node;
  FillNode(&node, "node", 0);
  ASSERT_EQ(AddTopLevel(h, &node), WU_OK);
  wu_tree_node *n = LaidOutNode(h, "node");
  ASSERT_NE(n, nullptr);
  ASSERT_TRUE(qevtest::clickTreeNode(n, XdTREE_PART_LABEL, button));
}

std::vector<int32_t> g_node_events = {WU_EV_SELECT, WU_EV_POPUP};

std::vector<int32_t> g_select_events = {WU_EV_SELECT};

TEST(Callbacks, ABatchDriverMayReleaseOrEndWhileItRecords) {
  const std::vector<KindCase> kinds = {
      {"push button click", WU_CTYPE_PUSH,
       [] {
         return std::vector<wu_value>{Text(WU_A_TEXT, "Go"), IntList(WU_A_EVENTS, g_select_events)};
       },
       [](wu_ctl_handle *h) { qevtest::clickWidget(W(h)); }},
      // The click that gives the field the keyboard is recorded first.
      {"entry field click", WU_CTYPE_ENTRY, [] { return std::vector<wu_value>{}; },
       [](wu_ctl_handle *h) { qevtest::clickWidget(W(h)); }},
      {"entry field Return", WU_CTYPE_ENTRY, [] { return std::vector<wu_value>{}; },
       [](wu_ctl_handle *h) {
         g_calls = 1;  // the click's recording does nothing
         EXPECT_TRUE(qevtest::clickHandled(W(h)));
         EXPECT_TRUE(qevtest::settle());
         g_calls = 0;
         qevtest::pressKey(devb->display, XK_Return);
       }},
      {"tree node click", WU_CTYPE_TREEVIEW,
       [] { return std::vector<wu_value>{IntList(WU_A_EVENTS, g_node_events)}; },
       [](wu_ctl_handle *h) { PressNode(h, 1); }},
      {"tree node menu button", WU_CTYPE_TREEVIEW,
       [] { return std::vector<wu_value>{IntList(WU_A_EVENTS, g_node_events)}; },
       [](wu_ctl_handle *h) { PressNode(h, 3); }},
  };
  for (const KindCase &kind : kinds)
    for (Act act : {Act::ReleaseControl, Act::ReleaseWindow, Act::ShutDown}) {
      SCOPED_TRACE(kind.name);
      InChild([&kind, act] {
        Started m;
        if (!m.Start()) return;
        std::vector<wu_value> entries = kind.entries();
        wu_ctl_handle *h = nullptr;
        ASSERT_EQ(Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(
                      &h, m.pane, nullptr, kind.type, entries.data(), int32_t(entries.size()),
                      nullptr),
                  WU_OK);
        m.Settle();
        qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
        wu_batch_driver *driver = wu_batch_recording();
        ASSERT_NE(driver, nullptr);
        g_recorder = driver->event_record;
        driver->event_record = RecordThenAct;
        Arm(m, act, W(h));
        g_recording = h;
        // The input is dispatched by the module's own turns, as the host's
        // waits dispatch it.
        kind.user(h);
        ASSERT_TRUE(qevtest::turnUntil([] { return g_calls >= 1; }));
        CheckAfter(m, act, h);
      });
    }
}

std::vector<KindAndAct> AllCases() {
  std::vector<KindAndAct> out;
  for (const KindCase &k : KindCases())
    for (Act act : {Act::ReleaseControl, Act::ReleaseWindow, Act::ShutDown}) out.push_back({k, act});
  return out;
}

std::string CaseName(const ::testing::TestParamInfo<KindAndAct> &info) {
  const char *act = info.param.act == Act::ReleaseControl  ? "ReleasesTheControl"
                    : info.param.act == Act::ReleaseWindow ? "ReleasesTheWindow"
                                                           : "EndsTheModule";
  return std::string(info.param.kind.name) + "_" + act;
}

INSTANTIATE_TEST_SUITE_P(Callbacks, EveryKind, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
