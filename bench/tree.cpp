// The tree against Motif's own trees (XmContainer in outline layout with
// icon gadgets, and XmOutline with push buttons) on the same fully expanded
// nodes: building, a full expose, scrolling a page down from the top (the
// first page) and from the middle (rows never shown before either way),
// collapsing and expanding a node with 500 children (also with the keyboard
// focus on one of them), collapsing every folder and then expanding every
// folder, one call per folder, and deleting every top-level node in turn
// with the keyboard in the tree, and the memory and X windows per node.
// Sizes are node counts: 1,000 to 100,000 (the peers up to 30,000; the
// container at 100,000 natively).  Each implementation runs in a process of
// its own.  The tree's rows are given the container's row height, measured
// first, so that both show as many rows per view.  After
// each page the labels of the rows that came into the lower half of the
// view are checked for ink on the screen, on both sides.
//
// Then the tree view control's `_expand` of each of 100 top-level folders,
// one call each, with the host's event procedure told of each (`expand`
// names the folder's place), the folders holding every other node closed
// below them (1,000 to 100,000 nodes), against the container opening its
// 100 top-level entries one by one and reading each one's place: each side
// in a process of its own, the control driven through the stand-in host
// as a host drives it.
#include "benchutil.h"
#include "treeview.h"

#include "controls/wucontrol.h"
#include "hostvalues.h"
#include "qev/catalog.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"
#include "xd/TreeP.h"

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/Container.h>
#include <Xm/Form.h>
#include <Xm/IconG.h>
#include <Xm/Outline.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <Xm/ScrolledW.h>
#include <Xm/XmP.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kBigChildren = 500;
constexpr int kGroup = 50;  // a folder and 49 leaves
const int kSizes[] = {1000, 2000, 10000, 30000, 100000};
constexpr int kPeerMax = 30000; /* the peers take minutes beyond */
constexpr int kPictureRoom = 24; /* a peer's node: its folder picture, then its label */
int g_row_height = 0;          /* the container's row height, measured */
/* The implementation a process measures, and the row height it is handed. */
constexpr const char *kMainPart = "QEV_TREE_IMPL";
constexpr const char *kRowHeight = "QEV_TREE_ROW_HEIGHT";

XtAppContext g_app;
Display *g_dpy;
/* The same small font for every implementation. */
XmFontList g_font;
/* The folder picture every row shows, the tree's own, lent to the peers so
   that they draw what the tree draws. */
Pixmap g_folder = None, g_folder_mask = None;
bool g_callgrind = false;
bool g_warmup = false;  // a round that is run but not reported
std::map<std::string, double> g_ms;  // native wall times, for the growth exponent
bool g_failed = false;               // a result check failed: the exit status says so

void fail(const std::string &text) {
  qevbench::failed(text);
  g_failed = true;
}

void settle() {
  for (int round = 0; round < 3; ++round) {
    XSync(g_dpy, False);
    while (XtAppPending(g_app) & XtIMXEvent) XtAppProcessEvent(g_app, XtIMXEvent);
  }
}

template <class F>
void measure(const std::string &label, F &&f) {
  if (g_warmup) {
    f();
    settle();
    return;
  }
  auto t0 = std::chrono::steady_clock::now();
  qevbench::measure(label, [&] {
    f();
    settle();
  });
  g_ms[label] = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

Widget makeShell() {
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNwidth, 400); ++n;
  XtSetArg(args[n], XmNheight, 600); ++n;
  XtSetArg(args[n], XmNx, 0); ++n;
  XtSetArg(args[n], XmNy, 0); ++n;
  return XtAppCreateShell("bench", "Bench", topLevelShellWidgetClass, g_dpy, args, n);
}

void showShell(Widget shell) {
  XtRealizeWidget(shell);
  for (int i = 0; i < 400; ++i) {
    settle();
    XWindowAttributes a;
    XGetWindowAttributes(g_dpy, XtWindow(shell), &a);
    if (a.map_state == IsViewable) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  settle();
}

// Covers the shell with another window, then (measured) uncovers it.
void exposeAll(const std::string &label) {
  XSetWindowAttributes attrs;
  attrs.override_redirect = True;
  Window cover = XCreateWindow(g_dpy, DefaultRootWindow(g_dpy), 0, 0, 500, 700, 0,
                               CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect,
                               &attrs);
  XMapRaised(g_dpy, cover);
  settle();
  measure(label, [&] { XDestroyWindow(g_dpy, cover); });
}

// The shape of a tree of `total` nodes, all expanded: the big node with
// its 500 children, then folders of 49 leaves.
struct Shape {
  struct Node {
    int parent;  // index, -1 at the top level
    bool expanded;
  };
  std::vector<Node> nodes;
  int big = 0;

  explicit Shape(int total) {
    nodes.push_back({-1, true});
    for (int i = 0; i < kBigChildren; ++i) nodes.push_back({0, false});
    while (int(nodes.size()) < total) {
      int folder = int(nodes.size());
      nodes.push_back({-1, true});
      for (int i = 1; i < kGroup && int(nodes.size()) < total; ++i) nodes.push_back({folder, false});
    }
  }
};

size_t heapInUse() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

int windowsBelow(Window w) {
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  if (!XQueryTree(g_dpy, w, &root, &parent, &children, &n)) return 0;
  int count = int(n);
  for (unsigned i = 0; i < n; ++i) count += windowsBelow(children[i]);
  if (children) XFree(children);
  return count;
}

// Heap bytes and X windows per node, native runs only (under valgrind the
// heap is valgrind's).
void memoryNote(const char *impl, int total, size_t heap_before, Widget shell) {
  if (g_callgrind || g_warmup) return;
  long heap = long(heapInUse()) - long(heap_before);
  char text[200];
  snprintf(text, sizeof text, "tree memory per node, %s, %d nodes: %ld bytes of heap, %.3f X windows",
           impl, total, heap / total, double(windowsBelow(XtWindow(shell))) / total);
  qevbench::note(text);
}

void pageDown(Widget vsb) {
  int value = 0, maximum = 0, slider = 0, page = 0, inc = 0;
  XtVaGetValues(vsb, XmNvalue, &value, XmNmaximum, &maximum, XmNsliderSize, &slider,
                XmNpageIncrement, &page, XmNincrement, &inc, NULL);
  XmScrollBarSetValues(vsb, std::min(value + page, maximum - slider), slider, inc, page, True);
}

// Scrolls (not measured) to the middle of the bar's range, whole rows.
void toMiddle(Widget vsb) {
  int maximum = 0, slider = 0, page = 0, inc = 0;
  XtVaGetValues(vsb, XmNmaximum, &maximum, XmNsliderSize, &slider, XmNpageIncrement, &page,
                XmNincrement, &inc, NULL);
  int middle = (maximum - slider) / 2;
  if (g_row_height > 0) middle -= middle % g_row_height;
  XmScrollBarSetValues(vsb, middle, slider, inc, page, True);
  settle();
}

int barMaximum(Widget vsb) {
  int maximum = 0;
  XtVaGetValues(vsb, XmNmaximum, &maximum, NULL);
  return maximum;
}

int barValue(Widget vsb) {
  int value = 0;
  XtVaGetValues(vsb, XmNvalue, &value, NULL);
  return value;
}

// The result check of a page: the bar moved, and the label of every row
// in the lower half of the view (the rows the page brought in) shows ink
// of the foreground in `w`'s window on the screen.  `labels` are those
// rectangles in `w`'s coordinates; `rows` how many the half view holds.
void checkPage(const std::string &what, int before, Widget vsb, Widget w,
               const std::vector<XRectangle> &labels, int rows, Pixel fg) {
  if (g_warmup) return;
  if (barValue(vsb) <= before) {
    fail(what + ": the view did not move");
    return;
  }
  if (int(labels.size()) < rows) {
    fail(what + ": " + std::to_string(labels.size()) + " rows in the lower half, " +
         std::to_string(rows) + " expected");
    return;
  }
  XImage *im = XGetImage(g_dpy, XtWindow(w), 0, 0, XtWidth(w), XtHeight(w), AllPlanes, ZPixmap);
  if (!im) {
    fail(what + ": no image of the view");
    return;
  }
  int blank = 0;
  for (const XRectangle &r : labels) {
    int ink = 0;
    for (int y = std::max(0, int(r.y)); y < std::min(im->height, r.y + int(r.height)); ++y)
      for (int x = std::max(0, int(r.x)); x < std::min(im->width, r.x + int(r.width)); ++x)
        if (XGetPixel(im, x, y) == fg) ++ink;
    if (ink < 5) ++blank;
  }
  XDestroyImage(im);
  if (blank) fail(what + ": " + std::to_string(blank) + " labels not drawn");
}

// The rectangles that lie wholly in the lower half of a view `h` high.
void keepLowerHalf(std::vector<XRectangle> &rects, int h) {
  rects.erase(std::remove_if(rects.begin(), rects.end(),
                             [h](const XRectangle &r) {
                               return r.y < h / 2 || r.y + int(r.height) > h || r.height == 0;
                             }),
              rects.end());
}

void focusShell(Widget shell) {
  XSetInputFocus(g_dpy, XtWindow(shell), RevertToParent, CurrentTime);
  settle();
}

std::string name(int i) { return "node " + std::to_string(i); }

void benchXd(int total) {
  Shape shape(total);
  const std::string size = std::to_string(total);
  Widget shell = makeShell();
  Widget form = XtCreateManagedWidget("form", xmFormWidgetClass, shell, nullptr, 0);
  showShell(shell);
  wu_tree *tree = nullptr;
  std::vector<wu_tree_node *> nodes(shape.nodes.size());
  size_t heap = heapInUse();
  measure("tree.build.xd." + size, [&] {
    Arg font;
    XtSetArg(font, XmNfontList, g_font);
    tree = XdCreateTree(form, &font, 1);
    tree->row_height = std::max(tree->row_height, g_row_height);  /* rows only grow */
    for (size_t i = 0; i < shape.nodes.size(); ++i) {
      auto *n = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
      n->text = XtNewString(name(int(i)).c_str());
      n->expandable = 1;
      int p = shape.nodes[i].parent;
      XdTreeInsertNodeAt(tree, p < 0 ? nullptr : nodes[p], n, XdTREE_INSERT_LAST_CHILD);
      nodes[i] = n;
    }
    for (size_t i = 0; i < shape.nodes.size(); ++i)
      if (shape.nodes[i].expanded) nodes[i]->expanded = 1;
    XdTreeDraw(tree);
  });
  memoryNote("xd", total, heap, shell);
  exposeAll("tree.expose.xd." + size);
  auto page = [&](const char *op) {
    const std::string label = std::string("tree.") + op + ".xd." + size;
    const int before = barValue(tree->vsb);
    measure(label, [&] { pageDown(tree->vsb); });
    std::vector<XRectangle> labels;
    for (wu_tree_node *n : nodes) {
      XRectangle r;
      if (_XdTreeNodeRect(n, XdTREE_PART_LABEL, &r)) labels.push_back(r);
    }
    const int h = XtHeight(tree->drawing_area);
    keepLowerHalf(labels, h);
    checkPage(label, before, tree->vsb, tree->drawing_area, labels, h / 2 / g_row_height - 1,
              tree->foreground);
  };
  page("pagefirst");
  toMiddle(tree->vsb);
  page("pagemiddle");
  XmScrollBarSetValues(tree->vsb, 0, 1, 1, 1, True);
  settle();
  wu_tree_node *big = nodes[shape.big];
  measure("tree.collapse.xd." + size, [&] { XdTreeCollapseNode(big); });
  measure("tree.expand.xd." + size, [&] { XdTreeExpandNode(big); });
  // The keyboard focus on a child of the big node while it collapses.
  focusShell(shell);
  XdTreeSetFocus(tree, nodes[shape.big + 10], 0);
  settle();
  measure("tree.collapsefocus.xd." + size, [&] { XdTreeCollapseNode(big); });
  if (tree->focus != big) fail("tree.collapsefocus.xd: the focus did not move up");
  XdTreeExpandNode(big);
  settle();
  // Every folder, one call each: a run of collapses, then of expansions.
  std::vector<wu_tree_node *> folders;
  for (size_t i = 0; i < nodes.size(); ++i)
    if (shape.nodes[i].expanded) folders.push_back(nodes[i]);
  measure("tree.collapseall.xd." + size, [&] {
    for (wu_tree_node *f : folders) XdTreeCollapseNode(f);
  });
  if (!g_warmup && barMaximum(tree->vsb) > std::max<int>(XtHeight(tree->drawing_area),
                                                       (int(folders.size()) + 1) * tree->row_height + 40))
    fail("tree.collapseall.xd: rows left open");
  measure("tree.expandall.xd." + size, [&] {
    for (wu_tree_node *f : folders) XdTreeExpandNode(f);
  });
  if (!g_warmup && barMaximum(tree->vsb) < total * tree->row_height)
    fail("tree.expandall.xd: rows not shown");
  // Every top-level node deleted in turn, the keyboard on the focused one,
  // as a program empties a tree; the owner draws after the run.
  XdTreeSetFocus(tree, tree->root, 0);
  settle();
  if (!tree->focus || !tree->focus->label ||
      XmGetFocusWidget(tree->drawing_area) != tree->focus->label)
    fail("tree.deletefocus.xd: the keyboard is not in the tree");
  measure("tree.deletefocus.xd." + size, [&] {
    while (tree->root) XdTreeDeleteTree(tree, tree->root);
    XdTreeDraw(tree);
  });
  if (tree->root) fail("tree.deletefocus.xd: nodes left");
  XtDestroyWidget(shell);
  settle();
}

// The peers: one child per node (icon gadgets in the container, push
// buttons in the outline, which takes no gadgets), each with the tree's
// folder picture beside its label, managed in one batch.
enum Peer { kContainer, kOutline };

void setState(Peer peer, Widget node, bool expanded) {
  if (peer == kContainer)
    XtVaSetValues(node, XmNoutlineState, expanded ? XmEXPANDED : XmCOLLAPSED, NULL);
  else
    XtVaSetValues(node, XmNnodeState, expanded ? XmOpen : XmClosed, NULL);
}

// `pages_only`: build, expose and the two pages alone, the widgets left
// to the program's exit (the container at 100,000 nodes, whose build takes
// over a minute and whose later steps take seconds each).
void benchPeer(Peer peer, int total, bool pages_only = false) {
  Shape shape(total);
  const char *impl = peer == kContainer ? "xmcontainer" : "xmoutline";
  const std::string size = std::to_string(total);
  Widget shell = makeShell();
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNscrollingPolicy, XmAUTOMATIC); ++n;
  Widget sw = XtCreateManagedWidget("sw", xmScrolledWindowWidgetClass, shell, args, n);
  showShell(shell);
  Widget box = nullptr;
  std::vector<Widget> nodes(shape.nodes.size());
  size_t heap = heapInUse();
  measure(std::string("tree.build.") + impl + "." + size, [&] {
    Cardinal c = 0;
    if (peer == kContainer) {
      XtSetArg(args[c], XmNlayoutType, XmOUTLINE); ++c;
      box = XtCreateWidget("container", xmContainerWidgetClass, sw, args, c);
    } else {
      box = XtCreateWidget("outline", xmOutlineWidgetClass, sw, args, c);
    }
    for (size_t i = 0; i < shape.nodes.size(); ++i) {
      XmString s = XmStringCreateLocalized(const_cast<char *>(name(int(i)).c_str()));
      int p = shape.nodes[i].parent;
      Widget parent = p < 0 ? nullptr : nodes[p];
      Cardinal k = 0;
      Arg a[8];
      XtSetArg(a[k], XmNlabelString, s); ++k;
      XtSetArg(a[k], XmNfontList, g_font); ++k;
      if (peer == kContainer) {
        XtSetArg(a[k], XmNentryParent, parent); ++k;
        XtSetArg(a[k], XmNoutlineState, shape.nodes[i].expanded ? XmEXPANDED : XmCOLLAPSED); ++k;
        XtSetArg(a[k], XmNviewType, XmSMALL_ICON); ++k;
        XtSetArg(a[k], XmNsmallIconPixmap, g_folder); ++k;
        XtSetArg(a[k], XmNsmallIconMask, g_folder_mask); ++k;
      } else {
        XtSetArg(a[k], XmNparentNode, parent); ++k;
        XtSetArg(a[k], XmNnodeState, shape.nodes[i].expanded ? XmOpen : XmClosed); ++k;
        XtSetArg(a[k], XmNlabelType, XmPIXMAP_AND_STRING); ++k;
        XtSetArg(a[k], XmNlabelPixmap, g_folder); ++k;
      }
      /* The outline takes widgets only: push buttons, as the tree's labels. */
      WidgetClass cls = peer == kContainer ? xmIconGadgetClass : xmPushButtonWidgetClass;
      nodes[i] = XtCreateWidget("node", cls, box, a, k);
      XmStringFree(s);
    }
    XtManageChildren(nodes.data(), Cardinal(nodes.size()));
    XtManageChild(box);
  });
  memoryNote(impl, total, heap, shell);
  if (peer == kContainer) {
    Dimension row = 0;
    XtVaGetValues(nodes[0], XmNheight, &row, NULL);
    if (!g_row_height) g_row_height = row;
    else if (row != g_row_height) fail(std::string("tree.build.") + impl + ": rows not of the measured height");
  }
  if (peer == kContainer) {
    /* The container's height is a 16-bit dimension: past 65,535 pixels it
       wraps and most rows cannot be reached.  Said in the table. */
    Dimension h = 0;
    XtVaGetValues(box, XmNheight, &h, NULL);
    long need = long(total) * g_row_height;
    if (need > 65535)
      qevbench::note(std::string("xmcontainer at ") + size + " nodes: height " +
                     std::to_string(h) + " pixels where about " + std::to_string(need) +
                     " are needed (16-bit wrap): most rows cannot be reached, figures not "
                     "comparable; after a page only its scroll bar is checked");
  }
  exposeAll(std::string("tree.expose.") + impl + "." + size);
  Widget vsb = nullptr, clip = XtParent(box);
  XtVaGetValues(sw, XmNverticalScrollBar, &vsb, NULL);
  const bool wraps = long(total) * g_row_height > 65535;
  auto page = [&](const char *op) {
    const std::string label = std::string("tree.") + op + "." + impl + "." + size;
    const int before = barValue(vsb);
    measure(label, [&] { pageDown(vsb); });
    /* Past the 16-bit wrap the nodes' places wrap too: only the bar is
       checked there. */
    std::vector<XRectangle> labels;
    const int h = XtHeight(clip);
    if (!wraps)
      for (Widget w : nodes)
        if (XtIsManaged(w))
          /* The label, right of the folder picture. */
          labels.push_back(XRectangle{short(XtX(box) + XtX(w) + kPictureRoom),
                                      short(XtY(box) + XtY(w)),
                                      (unsigned short)std::max(0, XtWidth(w) - kPictureRoom),
                                      XtHeight(w)});
    keepLowerHalf(labels, h);
    Pixel fg = 0;
    XtVaGetValues(nodes[0], XmNforeground, &fg, NULL);
    checkPage(label, before, vsb, clip, labels, wraps ? 0 : h / 2 / g_row_height - 1, fg);
  };
  page("pagefirst");
  toMiddle(vsb);
  page("pagemiddle");
  if (pages_only) return;
  XmScrollBarSetValues(vsb, 0, 1, 1, 1, True);
  settle();
  Widget big = nodes[shape.big];
  measure(std::string("tree.collapse.") + impl + "." + size, [&] { setState(peer, big, false); });
  measure(std::string("tree.expand.") + impl + "." + size, [&] { setState(peer, big, true); });
  /* The outline's collapse with the focus inside takes 20 s natively at
     1,000 nodes: not run under callgrind. */
  if (peer == kContainer || (!g_callgrind && !g_warmup)) {
    focusShell(shell);
    XmProcessTraversal(nodes[shape.big + 10], XmTRAVERSE_CURRENT);
    settle();
    measure(std::string("tree.collapsefocus.") + impl + "." + size,
            [&] { setState(peer, big, false); });
    setState(peer, big, true);
    settle();
  } else if (!g_warmup) {
    qevbench::note(std::string("tree.collapsefocus.") + impl + "." + size +
                   " not run under callgrind: 20 s natively");
  }
  std::vector<Widget> folders;
  for (size_t i = 0; i < nodes.size(); ++i)
    if (shape.nodes[i].expanded) folders.push_back(nodes[i]);
  /* Each state change costs the peers a pass over every node, even with
     the box unmanaged meanwhile (their best): a second natively at 10,000
     nodes, so not run under callgrind beyond. */
  const bool runs = !(g_callgrind && total > 10000);
  if (!runs && !g_warmup)
    qevbench::note(std::string("tree.collapseall/expandall.") + impl + "." + size +
                   " not run under callgrind: seconds natively");
  if (runs) measure(std::string("tree.collapseall.") + impl + "." + size, [&] {
    XtUnmanageChild(box);
    for (Widget f : folders) setState(peer, f, false);
    XtManageChild(box);
  });
  /* As on the tree's side: no more rows than the folders' (and the view's). */
  if (runs && !g_warmup && !wraps &&
      long(XtHeight(box)) > std::max<long>(XtHeight(clip), long(folders.size() + 1) * g_row_height + 40))
    fail(std::string("tree.collapseall.") + impl + ": rows left open");
  if (runs) measure(std::string("tree.expandall.") + impl + "." + size, [&] {
    XtUnmanageChild(box);
    for (Widget f : folders) setState(peer, f, true);
    XtManageChild(box);
  });
  if (runs && !g_warmup && !wraps) {
    Dimension h = 0;
    XtVaGetValues(box, XmNheight, &h, NULL);
    if (long(h) < long(total) * g_row_height) fail(std::string("tree.expandall.") + impl + ": rows not shown");
  }
  /* The keyboard on the first node, as on the tree's side. */
  focusShell(shell);
  XmProcessTraversal(nodes[0], XmTRAVERSE_CURRENT);
  settle();
  if (XmGetFocusWidget(box) != nodes[0] && !g_warmup)
    fail(std::string("tree.deletefocus.") + impl + ": the keyboard is not in the tree");
  measure(std::string("tree.deletefocus.") + impl + "." + size, [&] {
    XtUnmanageChildren(nodes.data(), Cardinal(nodes.size()));
    for (size_t i = nodes.size(); i-- > 0;) XtDestroyWidget(nodes[i]);
  });
  if (!g_warmup) {
    /* As on the tree's side: no node left. */
    const CompositeWidget c = reinterpret_cast<CompositeWidget>(box);
    int left = 0;
    for (Cardinal i = 0; i < c->composite.num_children; ++i)
      if (std::strcmp(XtName(c->composite.children[i]), "node") == 0) ++left;
    if (left) fail(std::string("tree.deletefocus.") + impl + ": " + std::to_string(left) + " nodes left");
  }
  XtDestroyWidget(shell);
  settle();
}

// ---- the tree view's run of `_expand` calls --------------------------------------

constexpr const char *kViewPart = "QEV_TREE_PART"; /* the side a run measures */
constexpr int kViewFolders = qevbench::TreeNodes::kFolders;
const int kViewSizes[] = {1000, 10000, 100000};
constexpr int kViewPeerMax = 10000; /* the container: a pass over every node per change */
constexpr int kViewSide = 400;      /* both views' width and height */

using CreaFn = wu_status (*)(wu_ctl_handle **, wu_pane *, void *, int32_t, wu_value *, int32_t,
                             wu_evproc);

// What the host's event procedure was told: the folder and its place.
struct Told {
  const wu_node_record *node;
  int32_t x, y;
};
std::vector<Told> g_told;

wu_status toldProc(wu_ctl_handle *, wu_ctl_event *record, wu_value *params, int32_t count) {
  if (record->code == WU_EV_EXPAND && count >= 1)
    g_told.push_back(
        {static_cast<const wu_node_record *>(params[0].pointer), record->x, record->y});
  return WU_OK;
}

void pumpModule() {
  XSync(devb->display, False);
  while (XtAppPending(devb->app)) XtAppProcessEvent(devb->app, XtIMAll);
}

// Labels of the rows in view that show no ink of the tree's foreground.
int blankLabels(wu_tree *tree, int *shown) {
  Widget da = tree->drawing_area;
  XImage *im = XGetImage(XtDisplay(da), XtWindow(da), 0, 0, XtWidth(da), XtHeight(da), AllPlanes,
                         ZPixmap);
  if (!im) return -1;
  int blank = 0;
  *shown = 0;
  for (wu_tree_node *n = tree->root; n;) {
    XRectangle r;
    if (_XdTreeNodeRect(n, XdTREE_PART_LABEL, &r) && r.y >= 0 &&
        r.y + int(r.height) <= im->height) {
      ++*shown;
      int ink = 0;
      for (int y = r.y; y < r.y + int(r.height); ++y)
        for (int x = std::max(0, int(r.x)); x < std::min(im->width, r.x + int(r.width)); ++x)
          if (XGetPixel(im, x, y) == tree->foreground) ++ink;
      if (ink < 5) ++blank;
    }
    if (n->first_child && n->expanded) {
      n = n->first_child;
      continue;
    }
    while (n && !n->next) n = n->parent;
    if (n) n = n->next;
  }
  XDestroyImage(im);
  return blank;
}

void viewExpandXd(int total, wu_pane *pane) {
  const std::string size = std::to_string(total);
  qevbench::TreeNodes nodes(total);
  wu_ctl_handle *h = nullptr;
  wu_value attrs[2] = {qevhost::intValue(WU_A_WIDTH, kViewSide), qevhost::intValue(WU_A_HEIGHT, kViewSide)};
  auto crea = qevhost::slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA);
  if (!crea || crea(&h, pane, nullptr, WU_CTYPE_TREEVIEW, attrs, 2, toldProc) != WU_OK || !h) {
    fail("tree.viewexpand.xd: no tree view");
    return;
  }
  wu_value add[3] = {};
  add[1].type = WU_VT_NODE;
  add[1].pointer = &nodes.folder(0);
  add[2].type = WU_VT_INT;
  add[2].value = 3;
  if (h->services->meth(h, WU_M_ADDNODES, add, 3) != WU_OK)
    fail("tree.viewexpand.xd: nodes refused");
  pumpModule();
  wu_tree *tree = qevbench::treeOfView(h);
  if (!tree) {
    fail("tree.viewexpand.xd: the control's tree");
    return;
  }
  g_told.clear();
  measure("tree.viewexpand.xd." + size, [&] {
    for (int t = 0; t < kViewFolders; ++t) {
      wu_value p = {};
      p.type = WU_VT_NODE;
      p.pointer = &nodes.folder(t);
      h->services->meth(h, WU_M_EXPAND, &p, 1);
    }
    pumpModule(); /* the one layout and painting of the run */
  });
  if (g_warmup) {
    h->services->wdes(h);
    pumpModule();
    return;
  }
  // Every folder open, the host told once of each at the place its row
  // has now, and the rows in view drawn.
  const std::string label = "tree.viewexpand.xd." + size;
  if (int(g_told.size()) != kViewFolders)
    fail(label + ": " + std::to_string(g_told.size()) + " events");
  int misplaced = 0, placed = 0;
  for (size_t i = 0; i < g_told.size() && i < size_t(kViewFolders); ++i) {
    /* The event names the control's copy of the folder's record. */
    const wu_node_record *copy = g_told[i].node;
    wu_tree_node *n = copy && copy->key == nodes.folder(int(i)).key
                          ? _XdTreeFindLabel(tree, nodes.labels[i * size_t(nodes.per)].c_str())
                          : nullptr;
    if (!n || !n->expanded) {
      fail(label + ": folder " + std::to_string(i) + " not opened in turn");
      break;
    }
    /* Rows within the reach of the view's 16-bit coordinates. */
    XRectangle r;
    if (!_XdTreeNodeRect(n, XdTREE_PART_HANDLE_PLACE, &r)) continue;
    ++placed;
    if (r.x != g_told[i].x || r.y + tree->drawing_area->core.y != g_told[i].y) ++misplaced;
  }
  if (misplaced || placed == 0)
    fail(label + ": " + std::to_string(misplaced) + " of " + std::to_string(placed) +
         " events not at their folder's row");
  if (long(barMaximum(tree->vsb)) < long(total) * tree->row_height) fail(label + ": rows not shown");
  int shown = 0;
  const int blank = blankLabels(tree, &shown);
  if (blank != 0 || shown < kViewSide / tree->row_height / 2)
    fail(label + ": " + std::to_string(blank) + " of " + std::to_string(shown) +
         " labels not drawn");
  h->services->wdes(h);
  pumpModule();
}

void growth(const char *op);

// The control's side: the module started by the stand-in host, one
// window with one pane.
int viewExpandModule(int only) {
  if (!qevhost::start() || !qevhost::loadModule(QEV_MODULE_PATH)) {
    std::fprintf(stderr, "bench_tree: no module\n");
    return 1;
  }
  auto init = qevhost::slot<int32_t (*)(void)>(QEV_TABLE_WINDOW, WUX_SLOT_INIT);
  wu_window *window = nullptr;
  wu_pane *pane = nullptr;
  if (!init || init() != WU_OK || wuxgwnd(&window, 1, 0) != WU_OK ||
      wuxgpan(window, &pane, 1, 1, 40, WU_FULL_WIDTH, 0) != WU_OK || wuxiwnd(window) != WU_OK) {
    std::fprintf(stderr, "bench_tree: no window\n");
    return 1;
  }
  g_dpy = devb->display; /* what measure() settles */
  g_app = devb->app;
  pumpModule();
  g_warmup = true;
  viewExpandXd(kViewFolders * 2, pane);
  g_warmup = false;
  for (int total : kViewSizes)
    if (!only || total == only) viewExpandXd(total, pane);
  if (!g_callgrind) growth("viewexpand");
  wuxfwnd(window);
  if (auto term = qevhost::slot<int32_t (*)(void)>(QEV_TABLE_WINDOW, WUX_SLOT_TERM)) term();
  qevhost::unloadModule();
  qevhost::stop();
  return g_failed ? 1 : 0;
}

// The container's side: 100 closed top-level entries, the other nodes
// below them; each opened in turn and its place read, as the program would
// tell its host.  The container lays out on each change.
void viewExpandContainer(int total) {
  const std::string size = std::to_string(total);
  const int per = total / kViewFolders;
  Arg args[4];
  Cardinal c = 0;
  XtSetArg(args[c], XmNwidth, kViewSide); ++c;
  XtSetArg(args[c], XmNheight, kViewSide); ++c;
  Widget shell = XtAppCreateShell("bench", "Bench", topLevelShellWidgetClass, g_dpy, args, c);
  c = 0;
  XtSetArg(args[c], XmNscrollingPolicy, XmAUTOMATIC); ++c;
  Widget sw = XtCreateManagedWidget("sw", xmScrolledWindowWidgetClass, shell, args, c);
  showShell(shell);
  c = 0;
  XtSetArg(args[c], XmNlayoutType, XmOUTLINE); ++c;
  Widget box = XtCreateWidget("container", xmContainerWidgetClass, sw, args, c);
  std::vector<Widget> nodes(static_cast<size_t>(total));
  for (int i = 0; i < total; ++i) {
    const bool top = i % per == 0;
    XmString s = XmStringCreateLocalized(const_cast<char *>(name(i).c_str()));
    Arg a[6];
    Cardinal k = 0;
    XtSetArg(a[k], XmNlabelString, s); ++k;
    XtSetArg(a[k], XmNentryParent, top ? nullptr : nodes[size_t(i - i % per)]); ++k;
    XtSetArg(a[k], XmNoutlineState, XmCOLLAPSED); ++k;
    XtSetArg(a[k], XmNviewType, XmSMALL_ICON); ++k;
    XtSetArg(a[k], XmNsmallIconPixmap, g_folder); ++k;
    XtSetArg(a[k], XmNsmallIconMask, g_folder_mask); ++k;
    nodes[size_t(i)] = XtCreateWidget("node", xmIconGadgetClass, box, a, k);
    XmStringFree(s);
  }
  XtManageChildren(nodes.data(), Cardinal(nodes.size()));
  XtManageChild(box);
  settle();
  std::vector<std::pair<int, int>> told;
  measure("tree.viewexpand.xmcontainer." + size, [&] {
    for (int t = 0; t < kViewFolders; ++t) {
      Widget f = nodes[size_t(t * per)];
      XtVaSetValues(f, XmNoutlineState, XmEXPANDED, NULL);
      told.emplace_back(XtX(f), XtY(f));
    }
  });
  if (!g_warmup) {
    // Each folder's place has the rows of the folders opened before it
    // above it (while its place fits the gadgets' 16-bit positions).
    Dimension row = 0;
    XtVaGetValues(nodes[1], XmNheight, &row, NULL);
    int misplaced = 0;
    for (int t = 1; t < kViewFolders; ++t) {
      const long want = long(told[0].second) + long(t) * per * row;
      if (want < 32000 && told[size_t(t)].second != want) ++misplaced;
    }
    if (misplaced)
      fail("tree.viewexpand.xmcontainer." + size + ": " + std::to_string(misplaced) +
           " folders not at their row");
  }
  XtDestroyWidget(shell);
  settle();
}

/* The container's row height: one entry made as its rows are. */
int containerRowHeight() {
  Widget shell = makeShell();
  Arg a[6];
  Cardinal n = 0;
  XtSetArg(a[n], XmNlayoutType, XmOUTLINE); ++n;
  Widget box = XtCreateWidget("container", xmContainerWidgetClass, shell, a, n);
  XmString s = XmStringCreateLocalized(const_cast<char *>(name(0).c_str()));
  n = 0;
  XtSetArg(a[n], XmNlabelString, s); ++n;
  XtSetArg(a[n], XmNfontList, g_font); ++n;
  XtSetArg(a[n], XmNviewType, XmSMALL_ICON); ++n;
  XtSetArg(a[n], XmNsmallIconPixmap, g_folder); ++n;
  XtSetArg(a[n], XmNsmallIconMask, g_folder_mask); ++n;
  Widget entry = XtCreateManagedWidget("node", xmIconGadgetClass, box, a, n);
  XmStringFree(s);
  Dimension row = 0;
  XtVaGetValues(entry, XmNheight, &row, NULL);
  XtDestroyWidget(shell);
  settle();
  return row;
}

/* The runs of one implementation ("xd", "xmcontainer" or "xmoutline"),
   after a small round of it that pays the toolkit's one-time costs (class
   initialisation, translation tables, fonts) and is not reported. */
int benchImplementation(const std::string &impl, int only) {
  const bool xd = impl == "xd", container = impl == "xmcontainer";
  if (!xd && !container && impl != "xmoutline") return 2;
  g_warmup = true;
  if (xd) benchXd(60);
  else benchPeer(container ? kContainer : kOutline, 60);
  g_warmup = false;
  for (int total : kSizes) {
    if (only && total != only) continue;
    const std::string size = std::to_string(total);
    if (xd) {
      benchXd(total);
    } else if (container) {
      if (total <= kPeerMax) {
        benchPeer(kContainer, total);
        continue;
      }
      /* The container's build takes over a minute natively at 100,000
         nodes (its gadgets' caches are searched one by one): natively
         only, and only up to its pages. */
      if (!g_callgrind) benchPeer(kContainer, total, true);
      qevbench::note("xmcontainer at " + size + " nodes: " +
                     (g_callgrind ? "not run under callgrind (its build alone would take hours)"
                                  : "build, expose and pages only, natively"));
    } else if (total <= (g_callgrind ? 1000 : 10000)) {
      /* The outline costs seconds per operation from 10,000 nodes on (its
         build takes 14 s natively at 10,000 and 145 s at 30,000): it runs
         at 1,000 nodes under callgrind and up to 10,000 natively. */
      benchPeer(kOutline, total);
    } else {
      qevbench::note("xmoutline not run at " + size + " nodes" +
                     (g_callgrind ? " under callgrind" : "") + ": seconds to minutes per operation");
    }
  }
  if (xd && !g_callgrind)
    for (const char *op : {"build", "expose", "pagefirst", "pagemiddle", "collapse", "expand",
                           "collapseall", "expandall", "deletefocus"})
      growth(op);
  return g_failed ? 1 : 0;
}

void growth(const char *op) {
  std::string a = std::string("tree.") + op + ".xd.1000", b = std::string("tree.") + op + ".xd.100000";
  if (!g_ms.count(a) || !g_ms.count(b) || g_ms[a] <= 0) return;
  char text[160];
  snprintf(text, sizeof text, "growth exponent 1,000->100,000 nodes, %s (wall time): %.2f", op,
           std::log(g_ms[b] / g_ms[a]) / std::log(100.0));
  qevbench::note(text);
}

}  // namespace

int main(int argc, char **argv) {
  int only = 0; /* --size N: that size alone */
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--callgrind") == 0) g_callgrind = true;
    if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) only = std::atoi(argv[++i]);
  }
  if (only == 0 && qevbench::smallest()) only = 1000;
  /* The tree view's side runs the module, which opens its own display. */
  const char *part = std::getenv(kViewPart);
  if (part && std::strcmp(part, "xd") == 0) return viewExpandModule(only);
  XtToolkitInitialize();
  g_app = XtCreateApplicationContext();
  int xargc = 1;
  g_dpy = XtOpenDisplay(g_app, nullptr, "bench", "Bench", nullptr, 0, &xargc, argv);
  if (!g_dpy) {
    std::fprintf(stderr, "bench_tree: no display\n");
    return 1;
  }
  g_font = XmFontListAppendEntry(
      nullptr, XmFontListEntryLoad(g_dpy, const_cast<char *>("6x10"), XmFONT_IS_FONT,
                                   const_cast<char *>(XmFONTLIST_DEFAULT_TAG)));
  {
    /* A tree made once for its folder picture, kept for the program. */
    Widget shell = makeShell();
    Widget form = XtCreateWidget("form", xmFormWidgetClass, shell, nullptr, 0);
    wu_tree *pictures = XdCreateTree(form, nullptr, 0);
    if (!pictures) {
      std::fprintf(stderr, "bench_tree: no tree\n");
      return 1;
    }
    g_folder = pictures->closed_folder;
    g_folder_mask = pictures->closed_mask;
  }
  if (part && std::strcmp(part, "xmcontainer") == 0) {
    g_warmup = true;
    viewExpandContainer(kViewFolders * 2);
    g_warmup = false;
    for (int total : kViewSizes) {
      if (only && total != only) continue;
      if (total <= kViewPeerMax)
        viewExpandContainer(total);
      else
        qevbench::note("tree.viewexpand.xmcontainer." + std::to_string(total) +
                       " not run: its build alone takes over a minute, and each of the 100 "
                       "changes is a pass over every node");
    }
    return g_failed ? 1 : 0;
  }
  const char *impl = std::getenv(kMainPart);
  if (impl != nullptr) {
    const char *row = std::getenv(kRowHeight);
    g_row_height = row ? std::atoi(row) : 0;
    return benchImplementation(impl, only);
  }
  /* Each implementation in a process of its own, so that none runs in what
     another left behind (the toolkit's caches, the heap's high-water mark);
     every tree takes the container's row height, measured here. */
  g_row_height = containerRowHeight();
  {
    char text[120];
    snprintf(text, sizeof text, "row height of both trees: %d pixels", g_row_height);
    qevbench::note(text);
  }
  setenv(kRowHeight, std::to_string(g_row_height).c_str(), 1);
  const int impls = qevbench::runEachPart(argv, kMainPart, {"xd", "xmcontainer", "xmoutline"});
  /* The tree view's run of `_expand` calls: each side in a process of its
     own (the module's side starts the module through the stand-in host). */
  const int parts = qevbench::runEachPart(argv, kViewPart, {"xd", "xmcontainer"});
  return g_failed || impls > 0 || parts > 0 ? 1 : 0;
}
