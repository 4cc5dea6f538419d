// The tree against Motif's own trees (XmContainer in outline layout with
// icon gadgets, and XmOutline) on the same nodes: building, a full expose,
// collapsing and expanding a node with 500 children, and deleting
// everything.  Sizes are rows shown when all is expanded (500, 1,000 and
// 1,500); the tree is also measured with 10,000 nodes of which 1,500 rows
// are shown.
#include "benchutil.h"

#include "xd/TreeP.h"

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/Container.h>
#include <Xm/Form.h>
#include <Xm/IconG.h>
#include <Xm/Outline.h>
#include <Xm/PushB.h>
#include <Xm/ScrolledW.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kBigChildren = 500;
constexpr int kGroup = 50;  // a folder and 49 leaves
constexpr int kManyNodes = 10000;

XtAppContext g_app;
Display *g_dpy;
/* A small font for every implementation, so that 1,500 rows stay within
   X's 16-bit window coordinates. */
XmFontList g_font;
bool g_callgrind = false;
std::map<std::string, double> g_ms;  // native wall times, for the growth exponent

void settle() {
  for (int round = 0; round < 3; ++round) {
    XSync(g_dpy, False);
    while (XtAppPending(g_app) & XtIMXEvent) XtAppProcessEvent(g_app, XtIMXEvent);
  }
}

template <class F>
void measure(const std::string &label, F &&f) {
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

// The shape of a tree of `rows` expanded rows: the big node with its 500
// children, then folders of 49 leaves; with `total` above the rows, the
// rest hangs collapsed below leaves, 500 to a leaf.
struct Shape {
  struct Node {
    int parent;  // index, -1 at the top level
    bool expanded;
  };
  std::vector<Node> nodes;
  int big = 0;

  Shape(int rows, int total) {
    nodes.push_back({-1, true});
    for (int i = 0; i < kBigChildren; ++i) nodes.push_back({0, false});
    std::vector<int> leaves;
    for (int shown = kBigChildren; shown < rows; shown += kGroup) {
      int folder = int(nodes.size());
      nodes.push_back({-1, true});
      for (int i = 1; i < kGroup; ++i) {
        leaves.push_back(int(nodes.size()));
        nodes.push_back({folder, false});
      }
    }
    for (size_t l = 0; int(nodes.size()) < total; ++l)
      for (int i = 0; i < kBigChildren && int(nodes.size()) < total; ++i)
        nodes.push_back({leaves[l % leaves.size()], false});
  }
};

std::string name(int i) { return "node " + std::to_string(i); }

void benchXd(int rows, int total) {
  Shape shape(rows, total);
  const std::string size = std::to_string(total > rows + 1 ? total : rows);
  Widget shell = makeShell();
  Widget form = XtCreateManagedWidget("form", xmFormWidgetClass, shell, nullptr, 0);
  showShell(shell);
  wu_tree *tree = nullptr;
  std::vector<wu_tree_node *> nodes(shape.nodes.size());
  measure("tree.build.xd." + size, [&] {
    Arg font;
    XtSetArg(font, XmNfontList, g_font);
    tree = XdCreateTree(form, &font, 1);
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
  if (rows == 1500 && total == 0)
    qevbench::note("tree row height " + std::to_string(tree->row_height) + " px");
  exposeAll("tree.expose.xd." + size);
  wu_tree_node *big = nodes[shape.big];
  measure("tree.collapse.xd." + size, [&] { XdTreeCollapseNode(big); });
  measure("tree.expand.xd." + size, [&] { XdTreeExpandNode(big); });
  measure("tree.delete.xd." + size, [&] {
    while (tree->root) XdTreeDeleteTree(tree, tree->root);
  });
  XtDestroyWidget(shell);
  settle();
}

// The peers: one child per node (icon gadgets in the container, push
// buttons in the outline, which takes no gadgets), managed in one batch.
enum Peer { kContainer, kOutline };

void benchPeer(Peer peer, int rows) {
  Shape shape(rows, 0);
  const char *impl = peer == kContainer ? "xmcontainer" : "xmoutline";
  const std::string size = std::to_string(rows);
  Widget shell = makeShell();
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNscrollingPolicy, XmAUTOMATIC); ++n;
  Widget sw = XtCreateManagedWidget("sw", xmScrolledWindowWidgetClass, shell, args, n);
  showShell(shell);
  Widget box = nullptr;
  std::vector<Widget> nodes(shape.nodes.size());
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
      Arg a[5];
      XtSetArg(a[k], XmNlabelString, s); ++k;
      XtSetArg(a[k], XmNfontList, g_font); ++k;
      if (peer == kContainer) {
        XtSetArg(a[k], XmNentryParent, parent); ++k;
        XtSetArg(a[k], XmNoutlineState, shape.nodes[i].expanded ? XmEXPANDED : XmCOLLAPSED); ++k;
      } else {
        XtSetArg(a[k], XmNparentNode, parent); ++k;
        XtSetArg(a[k], XmNnodeState, shape.nodes[i].expanded ? XmOpen : XmClosed); ++k;
      }
      /* The outline takes widgets only: push buttons, as the tree's labels. */
      WidgetClass cls = peer == kContainer ? xmIconGadgetClass : xmPushButtonWidgetClass;
      nodes[i] = XtCreateWidget("node", cls, box, a, k);
      XmStringFree(s);
    }
    XtManageChildren(nodes.data(), Cardinal(nodes.size()));
    XtManageChild(box);
  });
  exposeAll(std::string("tree.expose.") + impl + "." + size);
  Widget big = nodes[shape.big];
  measure(std::string("tree.collapse.") + impl + "." + size, [&] {
    if (peer == kContainer)
      XtVaSetValues(big, XmNoutlineState, XmCOLLAPSED, NULL);
    else
      XtVaSetValues(big, XmNnodeState, XmClosed, NULL);
  });
  measure(std::string("tree.expand.") + impl + "." + size, [&] {
    if (peer == kContainer)
      XtVaSetValues(big, XmNoutlineState, XmEXPANDED, NULL);
    else
      XtVaSetValues(big, XmNnodeState, XmOpen, NULL);
  });
  measure(std::string("tree.delete.") + impl + "." + size, [&] {
    XtUnmanageChildren(nodes.data(), Cardinal(nodes.size()));
    for (size_t i = nodes.size(); i-- > 0;) XtDestroyWidget(nodes[i]);
  });
  XtDestroyWidget(shell);
  settle();
}

void growth(const char *op) {
  std::string a = std::string("tree.") + op + ".xd.500", b = std::string("tree.") + op + ".xd.1500";
  if (!g_ms.count(a) || !g_ms.count(b) || g_ms[a] <= 0) return;
  char text[160];
  snprintf(text, sizeof text, "growth exponent 500->1500 rows, %s (wall time): %.2f", op,
           std::log(g_ms[b] / g_ms[a]) / std::log(3.0));
  qevbench::note(text);
}

}  // namespace

int main(int argc, char **argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--callgrind") == 0) g_callgrind = true;
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
  for (int rows : {500, 1000, 1500}) {
    benchXd(rows, 0);
    benchPeer(kContainer, rows);
    benchPeer(kOutline, rows);
  }
  benchXd(1500, kManyNodes);
  if (!g_callgrind)
    for (const char *op : {"build", "expose", "collapse", "expand", "delete"}) growth(op);
  return 0;
}
