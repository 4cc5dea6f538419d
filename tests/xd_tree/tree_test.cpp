// The tree through its exported interface and real input on the private X
// server: insertion modes, layout, expansion by click and key, selection,
// deletion, drawing, drag auto-scroll and the coordinate limit.
#include <gtest/gtest.h>

#include "xd/TreeP.h"
#include "xd/qevutil.h"
#include "xdtest.h"

#include <X11/IntrinsicP.h>
#include <Xm/XmP.h>
#include <X11/keysym.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/ScrollBar.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

using xdtest::settle;

namespace {

// What the owner's functions were told, in order: "select:a", "expand:b" ...
std::vector<std::string> g_log;
std::map<std::string, int> g_words;  // the owner's expanded words, by label

void logCall(const char *what, wu_tree_node *n) { g_log.push_back(std::string(what) + ":" + n->text); }
void onExpand(Widget, wu_tree_node *n, XtPointer) { logCall("expand", n); }
void onSelect(Widget, wu_tree_node *n, XtPointer) { logCall("select", n); }
void onRelease(Widget, wu_tree_node *n, XtPointer) { logCall("release", n); }
void onDouble(Widget, wu_tree_node *n, XtPointer) { logCall("double", n); }
void onDelete(Widget, wu_tree_node *n, XtPointer) { logCall("delete", n); }

int g_bells = 0;
void countBell(Widget) { ++g_bells; }

class Tree : public ::testing::Test {
 protected:
  Widget shell = nullptr, form = nullptr;
  wu_tree *tree = nullptr;

  void SetUp() override {
    shell = xdtest::makeShell(&form, 300, 260);
    tree = XdCreateTree(form, nullptr, 0);
    ASSERT_NE(tree, nullptr);
    g_log.clear();
    g_words.clear();
    g_bells = 0;
    XdHostHooks hooks = {};
    hooks.bell = countBell;
    XdSetHostHooks(&hooks);
    xdtest::takeWarnings();
  }

  void TearDown() override {
    if (shell) XtDestroyWidget(shell);
    settle();
    XdSetHostHooks(nullptr);
  }

  wu_tree_node *node(const char *text, bool expandable = true) {
    auto *n = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
    n->text = XtNewString(text);
    n->expandable = expandable ? 1 : 0;
    n->expand_proc = onExpand;
    n->select_proc = onSelect;
    n->release_proc = onRelease;
    n->delete_proc = onDelete;
    n->expanded_word = &g_words[text];
    return n;
  }

  wu_tree_node *add(const char *text, wu_tree_node *parent = nullptr,
                    int mode = XdTREE_INSERT_LAST_CHILD) {
    wu_tree_node *n = node(text);
    EXPECT_EQ(XdTreeInsertNodeAt(tree, parent, n, mode), 0) << text;
    return n;
  }

  void showTree() {
    xdtest::show(shell);
    EXPECT_EQ(XdTreeDraw(tree), 0);
    settle();
  }

  // The labels in pre-order: "a(b c)" for a with children b and c.
  static std::string shape(wu_tree_node *first) {
    std::string s;
    for (wu_tree_node *n = first; n; n = n->next) {
      if (!s.empty()) s += ' ';
      s += n->text;
      if (n->first_child) s += "(" + shape(n->first_child) + ")";
    }
    return s;
  }

  // The labels whose buttons are on the screen, top to bottom.
  std::vector<std::string> rows() {
    std::vector<std::pair<int, std::string>> shown;
    collect(tree->root, shown);
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> out;
    for (auto &r : shown) out.push_back(r.second);
    return out;
  }
  static void collect(wu_tree_node *n, std::vector<std::pair<int, std::string>> &out) {
    for (; n; n = n->next) {
      // A focused node scrolled away keeps its buttons out of sight.
      if (n->label && XtIsManaged(n->label) && XtY(n->label) < 20000)
        out.emplace_back(XtY(n->label), n->text);
      collect(n->first_child, out);
    }
  }

  std::vector<std::string> takeLog() {
    std::vector<std::string> l;
    l.swap(g_log);
    return l;
  }

  bool focusShown(wu_tree_node *n) {
    return n->label->core.background_pixel == tree->focus_background;
  }
};

using Log = std::vector<std::string>;

TEST_F(Tree, InsertModesLinkNodesWhereAsked) {
  wu_tree_node *b = add("b");                                   // empty tree: the root
  wu_tree_node *a = add("a", b, XdTREE_INSERT_BEFORE);          // before the root
  wu_tree_node *d = add("d", b, XdTREE_INSERT_AFTER);           // after b
  add("c", b, XdTREE_INSERT_AFTER);                             // between b and d
  wu_tree_node *b2 = add("b2", b, XdTREE_INSERT_FIRST_CHILD);
  add("b1", b, XdTREE_INSERT_FIRST_CHILD);
  add("b3", b, XdTREE_INSERT_LAST_CHILD);
  add("b4", b2, XdTREE_INSERT_AFTER);                           // last child through AFTER
  add("b5", b, XdTREE_INSERT_LAST_CHILD);                       // after b4: the last link held
  add("e", nullptr, XdTREE_INSERT_LAST_CHILD);                  // top level, last
  add("_", nullptr, XdTREE_INSERT_FIRST_CHILD);                 // top level, first
  EXPECT_EQ(shape(tree->root), "_ a b(b1 b2 b4 b3 b5) c d e");
  EXPECT_EQ(tree->root->next, a);
  EXPECT_EQ(b2->parent, b);

  // Refused: unknown mode, a node already in a tree, a reference of another tree.
  wu_tree_node *x = node("x");
  EXPECT_EQ(XdTreeInsertNodeAt(tree, d, x, 7), -1);
  EXPECT_EQ(XdTreeInsertNodeAt(tree, d, b2, XdTREE_INSERT_AFTER), -1);
  wu_tree *other = XdCreateTree(form, nullptr, 0);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(XdTreeInsertNodeAt(other, nullptr, x, XdTREE_INSERT_BEFORE), -1);  // empty tree
  EXPECT_EQ(XdTreeInsertNodeAt(other, d, x, XdTREE_INSERT_LAST_CHILD), -1);
  EXPECT_EQ(x->tree, nullptr);
  EXPECT_EQ(shape(tree->root), "_ a b(b1 b2 b4 b3 b5) c d e");
  EXPECT_EQ(XdTreeInsertNodeAt(other, nullptr, x, XdTREE_INSERT_FIRST_CHILD), 0);
  EXPECT_EQ(other->root, x);
}

TEST_F(Tree, LayoutIndentsChildrenAndShowsHandlesBelowTheTopLevel) {
  EXPECT_EQ(XdTreeDraw(tree), -1);  // nothing to draw
  wu_tree_node *a = add("alpha");
  wu_tree_node *a1 = add("one", a);
  wu_tree_node *a11 = add("eleven", a1);
  add("beta");
  EXPECT_EQ(XdTreeDraw(tree), -1);  // not realized yet
  xdtest::show(shell);
  EXPECT_EQ(XdTreeDraw(tree), 0);
  EXPECT_EQ(rows(), (std::vector<std::string>{"alpha", "beta"}));
  EXPECT_FALSE(XtIsManaged(a->handle));  // top-level nodes show no handle

  XdTreeExpandNode(a);
  XdTreeExpandNode(a1);
  settle();
  EXPECT_EQ(rows(), (std::vector<std::string>{"alpha", "one", "eleven", "beta"}));
  EXPECT_TRUE(XtIsManaged(a1->handle));
  const int R = tree->row_height;
  EXPECT_EQ(XtX(a1->label) - XtX(a->label), tree->indent + 8);  // top-level icons sit 8 further left
  EXPECT_EQ(XtX(a11->label) - XtX(a1->label), tree->indent);
  EXPECT_EQ(XtX(a1->handle), tree->left_margin + tree->indent);
  EXPECT_EQ(XtY(a11->label) - XtY(a1->label), R);
  EXPECT_EQ(g_words["alpha"], 1);
  EXPECT_EQ(g_words["one"], 1);
  // The drawing area covers the rows shown.
  EXPECT_GE(int(XtHeight(tree->drawing_area)), XtY(a11->label) + XtHeight(a11->label));
}

// Rows handed on to nodes of other texts: each label is as wide as its own
// text wants, so short texts after long ones start where their icons end.
TEST_F(Tree, ALabelHandedOnTakesTheSizeOfItsNewText) {
  std::vector<wu_tree_node *> folders;
  for (int i = 1; i <= 30; ++i)
    folders.push_back(add(("a long folder name " + std::to_string(i)).c_str()));
  for (int i = 1; i <= 5; ++i) add(("f" + std::to_string(i)).c_str(), folders[0]);
  showTree();
  XdTreeExpandNode(folders[0]);  // the children take rows the folders gave up
  XdTreeDraw(tree);
  settle();
  int checked = 0;
  for (wu_tree_node *n = folders[0]->first_child; n; n = n->next) {
    ASSERT_NE(n->label, nullptr) << n->text;
    XtWidgetGeometry want = {};
    XtQueryGeometry(n->label, nullptr, &want);
    ASSERT_TRUE(want.request_mode & CWWidth);
    EXPECT_EQ(XtWidth(n->label), want.width) << n->text;
    EXPECT_EQ(XtX(n->label), XtX(folders[0]->first_child->label)) << n->text;
    ++checked;
  }
  EXPECT_EQ(checked, 5);
}

TEST_F(Tree, HandleClickExpandsAndCollapsesAndMovesAHiddenFocusUp) {
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b", a);
  wu_tree_node *c = add("c", b);
  add("d", c);
  showTree();
  XdTreeExpandNode(a);
  settle();
  takeLog();
  xdtest::click(b->handle);  // expand b by its handle
  EXPECT_EQ(takeLog(), Log{"expand:b"});
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(g_words["b"], 1);

  xdtest::click(c->label);  // select c
  EXPECT_EQ(takeLog(), Log{"select:c"});
  EXPECT_EQ(tree->focus, c);
  EXPECT_TRUE(focusShown(c));

  xdtest::click(b->handle);  // collapsing b hides the focused c
  EXPECT_EQ(takeLog(), (Log{"expand:b", "select:b"}));
  EXPECT_EQ(tree->focus, b);
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(g_words["b"], 0);
  xdtest::pump(400);  // no late activation follows
  EXPECT_TRUE(takeLog().empty());
}

TEST_F(Tree, KeyboardMovesActivateAfterAPauseAndRingAtTheEnds) {
  wu_tree_node *a = add("a");
  wu_tree_node *a1 = add("a1", a);
  add("a2", a);
  wu_tree_node *b = add("b");
  showTree();
  xdtest::click(a->label);
  EXPECT_EQ(takeLog(), Log{"select:a"});

  xdtest::key(XK_Up);  // nothing above the first node
  EXPECT_EQ(g_bells, 1);
  EXPECT_EQ(tree->focus, a);

  xdtest::key(XK_Right);  // expands a
  EXPECT_EQ(takeLog(), Log{"expand:a"});
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "a1", "a2", "b"}));
  xdtest::key(XK_Down);
  xdtest::key(XK_Down);
  xdtest::key(XK_Down);
  EXPECT_EQ(tree->focus, b);
  EXPECT_TRUE(takeLog().empty());  // not yet: the user has not paused
  xdtest::pump(450);
  EXPECT_EQ(takeLog(), Log{"select:b"});  // only the last move is told
  EXPECT_EQ(tree->focus, b);

  xdtest::key(XK_Down);  // nothing below the last row
  EXPECT_EQ(g_bells, 2);
  xdtest::key(XK_Up);  // into a's last child
  xdtest::key(XK_Up);
  xdtest::key(XK_Left);  // a leaf: to its parent
  EXPECT_EQ(tree->focus, a);
  xdtest::key(XK_Left);  // collapses a
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b"}));
  xdtest::pump(450);
  EXPECT_EQ(takeLog(), (Log{"expand:a", "select:a"}));
  (void)a1;
}

TEST_F(Tree, DoubleClickTogglesAndDeleteKeyAsksTheOwner) {
  wu_tree_node *a = add("a");
  add("a1", a);
  showTree();
  xdtest::click(a->label);
  xdtest::click(a->label);  // the second press of a double click
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "a1"}));
  takeLog();
  a->double_click_proc = onDouble;
  xdtest::pump(300);
  xdtest::click(a->label);
  xdtest::click(a->label);
  EXPECT_EQ(takeLog(), (Log{"double:a"}));
  xdtest::key(XK_Delete);
  EXPECT_EQ(takeLog(), (Log{"delete:a"}));
}

TEST_F(Tree, SelectionSingleAndMultiple) {
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b");
  wu_tree_node *c = add("c");
  showTree();
  xdtest::click(a->label);
  xdtest::click(b->icon);  // the icon selects too
  EXPECT_EQ(takeLog(), (Log{"select:a", "select:b"}));
  EXPECT_EQ(tree->selection_count, 1);
  EXPECT_EQ(tree->selection[0], b);
  EXPECT_FALSE(focusShown(a));
  xdtest::click(b->label);  // already selected: the owner is not told again
  EXPECT_TRUE(takeLog().empty());

  tree->multiple_selection = 1;
  xdtest::click(c->label, 1, {XK_Shift_L});
  xdtest::click(a->label, 1, {XK_Shift_L});
  xdtest::click(c->label, 1, {XK_Shift_L});  // listed once only
  EXPECT_EQ(tree->selection_count, 3);
  EXPECT_TRUE(focusShown(a) && focusShown(b) && focusShown(c));
  EXPECT_TRUE(a->selected && c->selected);

  XdTreeUnSetFocus(tree);
  EXPECT_EQ(tree->selection_count, 0);
  EXPECT_EQ(tree->focus, nullptr);
  EXPECT_FALSE(focusShown(a) || focusShown(b) || focusShown(c));
}

TEST_F(Tree, DeletingASubtreeReleasesEveryNodeAndLeavesNoStalePointer) {
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b", a);
  wu_tree_node *b1 = add("b1", b);
  add("b2", b);
  add("b11", b1);
  wu_tree_node *c = add("c", a);
  showTree();
  XdTreeExpandNode(a);
  XdTreeExpandNode(b);
  settle();
  tree->multiple_selection = 1;
  xdtest::click(b1->label);
  xdtest::click(c->label, 1, {XK_Shift_L});
  xdtest::click(b1->label, 1, {XK_Shift_L});
  ASSERT_EQ(tree->focus, b1);
  EXPECT_EQ(tree->selection_count, 2);
  xdtest::key(XK_Down);  // an activation is pending for b2
  takeLog();

  EXPECT_EQ(XdTreeDeleteTree(tree, b), 0);
  Log log = takeLog();
  // Children before their parents; then the focus passes to a, told at once.
  EXPECT_EQ(log, (Log{"release:b11", "release:b1", "release:b2", "select:a", "release:b"}));
  EXPECT_EQ(tree->focus, a);
  // The focus move selected a alone; nothing of the deleted nodes is listed.
  EXPECT_EQ(tree->selection_count, 1);
  EXPECT_EQ(std::count(tree->selection, tree->selection + tree->selection_size, a), 1);
  EXPECT_EQ(_XdTreeFindLabel(tree, "b1"), nullptr);
  EXPECT_EQ(shape(tree->root), "a(c)");
  XdTreeDraw(tree);
  xdtest::pump(450);  // the pending activation of b2 went with it
  EXPECT_TRUE(takeLog().empty());
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "c"}));

  // The last child goes: the parent is no longer expanded.
  EXPECT_EQ(XdTreeDeleteTree(tree, c), 0);
  EXPECT_EQ(a->expanded, 0);
  EXPECT_EQ(g_words["a"], 0);
  EXPECT_EQ(XdTreeDeleteTree(tree, a), 0);
  EXPECT_EQ(tree->root, nullptr);
  EXPECT_EQ(tree->focus, nullptr);
  EXPECT_EQ(XdTreeDeleteTree(tree, nullptr), -1);
  EXPECT_EQ(XdTreeDraw(tree), -1);
}

TEST_F(Tree, WidgetToTreeNodeFindsIconsAndLabelsOnly) {
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b", a);
  showTree();
  XdTreeExpandNode(a);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, b->label), b);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, a->icon), a);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, a->handle), nullptr);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, form), nullptr);
  EXPECT_EQ(_XdTreeIsChild(a, b), 1);
  EXPECT_EQ(_XdTreeIsChild(b, a), 0);
  EXPECT_EQ(_XdTreeFindLabel(tree, "b"), b);
}

// Nodes below a collapsed node get their buttons when first shown, in the
// state the tree gave them meanwhile; the interface reaches them throughout.
TEST_F(Tree, NodesOfCollapsedSubtreesGetButtonsWhenFirstShown) {
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b", a);
  wu_tree_node *c = add("c", b);
  wu_tree_node *d = add("d");
  showTree();
  EXPECT_EQ(b->label, nullptr);
  EXPECT_EQ(c->icon, nullptr);
  EXPECT_EQ(_XdTreeFindLabel(tree, "c"), c);
  EXPECT_EQ(_XdTreeIsChild(a, c), 1);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, d->label), d);

  // Focused while hidden: shown later with the open folder and inverse label.
  XdTreeSetFocus(tree, b, 0);
  EXPECT_EQ(tree->focus, b);
  XdTreeExpandNode(a);
  settle();
  ASSERT_NE(b->label, nullptr);
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b", "d"}));
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, b->label), b);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, b->icon), b);
  EXPECT_TRUE(focusShown(b));
  Pixmap shown = None;
  XtVaGetValues(b->icon, XmNlabelPixmap, &shown, NULL);
  EXPECT_EQ(shown, b->open_pixmap);
  EXPECT_EQ(c->label, nullptr);  // b is still collapsed
  // The rows of later-made labels line up with the earlier ones.
  EXPECT_EQ(XtY(b->label) - XtY(a->label), tree->row_height);

  // Expanding a node that was never shown hands its owner a real handle.
  wu_tree_node *e = add("e", c);
  takeLog();
  c->expand_proc = [](Widget w, wu_tree_node *n, XtPointer) {
    logCall("expand", n);
    XtVaSetValues(w, XmNuserData, n, NULL);  // a live widget of the node
  };
  std::vector<wu_tree_node *> made;
  _XdTreeSetButtonsProc(
      tree,
      [](wu_tree *, wu_tree_node *n, XtPointer closure) {
        ASSERT_NE(n->handle, nullptr);
        ASSERT_NE(n->icon, nullptr);
        ASSERT_NE(n->label, nullptr);
        static_cast<std::vector<wu_tree_node *> *>(closure)->push_back(n);
      },
      &made);
  EXPECT_EQ(XdTreeExpandNode(c), 1);
  EXPECT_EQ(takeLog(), Log{"expand:c"});
  ASSERT_EQ(made, std::vector<wu_tree_node *>{c});
  EXPECT_EQ(c->label, nullptr);  // its row is not shown: the buttons went again
  EXPECT_EQ(e->label, nullptr);  // b, above c, is collapsed: e is not shown

  // An owner may have the buttons made early to set them up.
  EXPECT_EQ(_XdTreeMakeNodeButtons(e), 1);
  ASSERT_NE(e->label, nullptr);
  EXPECT_FALSE(XtIsManaged(e->label));
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, e->label), e);
  made.clear();
  XdTreeExpandNode(b);
  settle();
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b", "c", "e", "d"}));
  EXPECT_EQ(made.size(), 1u);  // c came into view; e had its buttons still

  // Deleting a subtree with nodes that never had buttons releases them all.
  wu_tree_node *f = add("f", e);
  (void)f;
  takeLog();
  EXPECT_EQ(XdTreeDeleteTree(tree, a), 0);
  EXPECT_EQ(takeLog(), (Log{"release:f", "release:e", "release:c", "release:b", "select:d",
                            "release:a"}));
  EXPECT_EQ(xdtest::xErrors(), 0);
}

TEST_F(Tree, LinesAndFolderIconsAreDrawn) {
  wu_tree_node *a = add("a");
  wu_tree_node *a1 = add("a1", a);
  wu_tree_node *a2 = add("a2", a);
  showTree();
  XdTreeExpandNode(a);
  settle();
  Widget da = tree->drawing_area;
  const unsigned long fg = tree->foreground & 0xffffff, bg = tree->background & 0xffffff;
  // The vertical line below a's folder: every other pixel in the foreground.
  int x = a1->x + tree->handle_width / 2 + 1;
  int on = 0, off = 0;
  for (int y = XtY(a1->handle) + XtHeight(a1->handle); y < XtY(a2->handle); ++y) {
    unsigned long p = xdtest::pixel(da, x, y);
    if (p == fg) ++on;
    if (p == bg) ++off;
  }
  EXPECT_GT(on, 2);
  EXPECT_GT(off, 2);
  EXPECT_LE(std::abs(on - off), 1);  // dotted
  // The horizontal line from the handle to the folder of a2.
  int line_y = a2->handle_y + tree->handle_height / 2 + 1;
  int hits = 0;
  for (int hx = a2->x + tree->handle_width + 4; hx < a2->icon_x; ++hx)
    if (xdtest::pixel(da, hx, line_y) == fg) ++hits;
  EXPECT_GT(hits, 1);
  // Closed folders are yellow inside; the handle shows minus or plus.
  auto yellowIn = [](Widget w) {
    int n = 0;
    for (int y = 0; y < XtHeight(w); ++y)
      for (int x = 0; x < XtWidth(w); ++x)
        if (xdtest::pixel(w, x, y) == 0xFEFE00) ++n;
    return n;
  };
  EXPECT_GT(yellowIn(a1->icon), 10);
  takeLog();
  xdtest::click(a1->label);
  EXPECT_GT(yellowIn(a1->icon), 10);  // the open folder
  EXPECT_EQ(takeLog(), Log{"select:a1"});
}

// A folder of 100,000 children: every row reachable by the scroll bar and
// the keyboard, far past X's 16-bit window coordinates, with buttons only
// for the rows in view.
TEST_F(Tree, AHundredThousandChildrenExpandScrollAndCollapse) {
  wu_tree_node *top = add("top");
  add("after");
  char text[32];
  const int count = 100000;
  for (int i = 0; i < count; ++i) {
    snprintf(text, sizeof text, "n%d", i);
    wu_tree_node *n = node(text, false);
    n->expanded_word = nullptr;
    n->release_proc = nullptr;
    ASSERT_EQ(XdTreeInsertNodeAt(tree, top, n, XdTREE_INSERT_LAST_CHILD), 0);
  }
  showTree();
  auto children = [this] {
    return int(reinterpret_cast<CompositeWidget>(tree->drawing_area)->composite.num_children);
  };
  auto managedChildren = [this] {
    auto *da = reinterpret_cast<CompositeWidget>(tree->drawing_area);
    return int(std::count_if(da->composite.children,
                             da->composite.children + da->composite.num_children,
                             [](Widget w) { return XtIsManaged(w); }));
  };
  auto visible = [this](wu_tree_node *n) {
    return n->label && XtIsManaged(n->label) && XtY(n->label) >= 0 &&
           XtY(n->label) + XtHeight(n->label) <= XtHeight(tree->drawing_area);
  };
  XdTreeExpandNode(top);
  settle();
  EXPECT_LT(children(), 200);
  EXPECT_EQ(rows().front(), "top");

  // The scroll bar reaches the last rows.
  int maximum = 0, slider = 0;
  XtVaGetValues(tree->vsb, XmNmaximum, &maximum, XmNsliderSize, &slider, NULL);
  EXPECT_GT(maximum, count * tree->row_height);
  XmScrollBarSetValues(tree->vsb, maximum - slider, slider, 1, 1, True);
  settle();
  EXPECT_EQ(rows().back(), "after");
  wu_tree_node *last = _XdTreeFindLabel(tree, "n99999");
  ASSERT_NE(last, nullptr);
  EXPECT_TRUE(visible(last));
  EXPECT_LT(children(), 200);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, last->label), last);

  // The connecting line still runs down to the last child, dotted.
  const unsigned long fg = tree->foreground & 0xffffff;
  int left = 0;
  XtVaGetValues(tree->hsb, XmNvalue, &left, NULL);
  const int line_x = last->x + tree->handle_width / 2 + 1 - left;
  int on = 0;
  for (int y = XtY(last->icon) - tree->row_height; y < XtY(last->icon); ++y)
    if (xdtest::pixel(tree->drawing_area, line_x, y) == fg) ++on;
  EXPECT_GT(on, 2);

  // The keyboard: focus a node far out of view, then move from it.
  XmScrollBarSetValues(tree->vsb, 0, slider, 1, 1, True);
  settle();
  wu_tree_node *mid = _XdTreeFindLabel(tree, "n50000");
  ASSERT_NE(mid, nullptr);
  EXPECT_EQ(mid->label, nullptr);
  XdTreeSetFocus(tree, mid, 0);
  settle();
  ASSERT_TRUE(visible(mid));
  takeLog();
  xdtest::key(XK_Down);
  xdtest::key(XK_Down);
  xdtest::pump(400);
  wu_tree_node *two_on = _XdTreeFindLabel(tree, "n50002");
  EXPECT_EQ(tree->focus, two_on);
  EXPECT_TRUE(visible(two_on));
  EXPECT_EQ(takeLog(), Log{"select:n50002"});
  XdTreeSetFocus(tree, last, 0);
  settle();
  xdtest::key(XK_Down);
  EXPECT_EQ(tree->focus, _XdTreeFindLabel(tree, "after"));
  xdtest::key(XK_Down);
  EXPECT_EQ(g_bells, 1);  // the last row

  // Collapse from the keyboard with the focus inside the folder.
  XdTreeSetFocus(tree, two_on, 0);
  settle();
  xdtest::key(XK_Left);  // to the parent
  xdtest::key(XK_Left);  // collapses it
  settle();
  EXPECT_EQ(tree->focus, top);
  EXPECT_EQ(rows(), (std::vector<std::string>{"top", "after"}));
  // The buttons of the rows that went wait for the next rows, a view's
  // worth at most, off the screen.
  EXPECT_LE(children(), 3 * (XtHeight(tree->drawing_area) / tree->row_height + 3 + 2));
  EXPECT_EQ(managedChildren(), 4);  // two labels, two icons
  EXPECT_EQ(xdtest::xErrors(), 0);
  EXPECT_TRUE(xdtest::takeWarnings().empty());
  XdTreeExpandNode(top);
  settle();
  EXPECT_EQ(rows().front(), "top");
  EXPECT_EQ(XdTreeDeleteTree(tree, top), 0);
  settle();
  XdTreeDraw(tree);
  EXPECT_EQ(rows(), (std::vector<std::string>{"after"}));
}

// Owner functions that delete what the tree is handling, or re-enter it.
wu_tree *g_tree = nullptr;
wu_tree_node *g_victim = nullptr;

TEST_F(Tree, OwnerFunctionsMayDeleteWhatIsBeingHandled) {
  g_tree = tree;
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b", a);
  add("b1", b);
  wu_tree_node *c = add("c", a);
  add("c1", c);
  wu_tree_node *d = add("d");
  showTree();
  XdTreeExpandNode(a);
  settle();

  // An expand function that deletes its own node, by click and by call.
  XdTreeNodeProc delete_self = [](Widget, wu_tree_node *n, XtPointer) {
    logCall("expand", n);
    XdTreeDeleteTree(g_tree, n);
  };
  b->expand_proc = delete_self;
  takeLog();
  xdtest::click(b->handle);
  settle();
  EXPECT_EQ(takeLog(), (Log{"expand:b", "release:b1", "release:b"}));
  EXPECT_EQ(shape(tree->root), "a(c(c1)) d");
  c->expand_proc = delete_self;
  EXPECT_EQ(XdTreeExpandNode(c), 1);
  EXPECT_EQ(shape(tree->root), "a d");
  XdTreeDraw(tree);
  settle();
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "d"}));
  takeLog();

  // A select function that deletes the node the focus moved to after a
  // delete: the focus moves on again, to a node that exists.
  wu_tree_node *e = add("e", d);
  wu_tree_node *f = add("f", e);
  XdTreeExpandNode(d);
  XdTreeExpandNode(e);
  settle();
  XdTreeSetFocus(tree, f, 0);
  e->select_proc = [](Widget, wu_tree_node *n, XtPointer) {
    logCall("select", n);
    XdTreeDeleteTree(g_tree, n);
  };
  takeLog();
  EXPECT_EQ(XdTreeDeleteTree(tree, f), 0);
  EXPECT_EQ(takeLog(), (Log{"select:e", "select:d", "release:e", "release:f"}));
  EXPECT_EQ(tree->focus, d);
  EXPECT_EQ(shape(tree->root), "a d");
  XdTreeDraw(tree);
  settle();

  // A release function that re-enters the tree: draws, moves the focus,
  // inserts, and tries a nested delete (refused while nodes are released).
  wu_tree_node *g = add("g", a);
  add("g1", g);
  add("g2", g);
  XdTreeExpandNode(g);
  settle();
  g_victim = d;
  for (wu_tree_node *n = g->first_child; n; n = n->next)
    n->release_proc = [](Widget, wu_tree_node *n, XtPointer) {
      logCall("release", n);
      EXPECT_EQ(XdTreeDeleteTree(g_tree, g_victim), -1);
      XdTreeDraw(g_tree);
      XdTreeSetFocus(g_tree, g_victim, 0);
      wu_tree_node *added = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
      added->text = XtNewString("added");
      XdTreeInsertNodeAt(g_tree, g_victim, added, XdTREE_INSERT_LAST_CHILD);
    };
  takeLog();
  EXPECT_EQ(XdTreeDeleteTree(tree, g), 0);
  EXPECT_EQ(takeLog(), (Log{"release:g1", "release:g2", "release:g"}));
  EXPECT_EQ(shape(tree->root), "a d(added added)");
  EXPECT_EQ(XdTreeDraw(tree), 0);
  settle();
  EXPECT_EQ(tree->focus, d);
  EXPECT_EQ(xdtest::xErrors(), 0);
}

TEST_F(Tree, DestroyingTheTreeReleasesNodesAndPendingTimeOuts) {
  wu_tree_node *a = add("a");
  add("b");
  add("a1", a);
  showTree();
  xdtest::click(a->label);
  xdtest::key(XK_Down);  // activation pending
  takeLog();
  XtDestroyWidget(shell);
  shell = nullptr;
  settle();
  Log log = takeLog();
  EXPECT_EQ(log.size(), 3u);
  xdtest::pump(400);  // the time-out went with the tree
  EXPECT_TRUE(takeLog().empty());
}


// A real drag (button 2 on a label, as Motif starts one) over the tree.
TEST_F(Tree, DraggingNearAnEdgeScrollsUntilThePointerLeavesOrDrops) {
  wu_tree_node *top = add("top");
  char text[16];
  for (int i = 0; i < 60; ++i) {
    snprintf(text, sizeof text, "row %d", i);
    add(text, top);
  }
  showTree();
  XdTreeExpandNode(top);
  settle();
  int maximum = 0, slider = 0;
  XtVaGetValues(tree->vsb, XmNmaximum, &maximum, XmNsliderSize, &slider, NULL);
  ASSERT_GT(maximum, slider);

  Arg args[2];
  XtSetArg(args[0], XmNx, 400);
  XtSetArg(args[1], XmNy, 0);
  Widget source_shell = xdtest::makeShell(nullptr, 100, 40);
  XtSetValues(source_shell, args, 2);
  XmString s = XmStringCreateLocalized(const_cast<char *>("drag me"));
  Widget source = XtVaCreateManagedWidget("source", xmLabelWidgetClass, source_shell,
                                          XmNlabelString, s, NULL);
  XmStringFree(s);
  xdtest::show(source_shell);

  Display *dpy = xdtest::app().dpy;
  auto value = [this] {
    int v = 0;
    XtVaGetValues(tree->vsb, XmNvalue, &v, NULL);
    return v;
  };
  auto moveTo = [dpy](Widget w, int x, int y) {
    Position rx, ry;
    XtTranslateCoords(w, Position(x), Position(y), &rx, &ry);
    XTestFakeMotionEvent(dpy, DefaultScreen(dpy), rx, ry, CurrentTime);
    XFlush(dpy);
  };
  // Motif runs a drag in an event loop of its own, so the input is played
  // from time-outs, which that loop serves too.
  Widget sw = tree->scrolled_w;
  const int h = XtHeight(sw);
  int at_start = -1, scrolled = -1, after_leaving = -1, after_drop = -1, later = -1;
  std::vector<std::pair<int, std::function<void()>>> script = {
      {0, [&] { moveTo(source, 10, 10); }},
      {50, [&] { XTestFakeButtonEvent(dpy, 2, True, CurrentTime); XFlush(dpy); }},
      {50, [&] { moveTo(source, 12, 30); }},
      {50, [&] { moveTo(sw, 100, h / 2); }},
      {50, [&] { moveTo(sw, 100, h / 2 + 5); }},
      {100, [&] { at_start = value(); moveTo(sw, 100, h - 12); }},  // near the bottom
      {30, [&] { moveTo(sw, 101, h - 12); }},
      // Away from the edge; the value is read once the drag has seen the
      // move (a scroll step already due may still land before it).
      {900, [&] { moveTo(sw, 100, h / 2); }},
      {350, [&] { scrolled = value(); }},
      {700, [&] { after_leaving = value(); moveTo(sw, 100, 5); }},  // the top edge
      {400, [&] { XTestFakeButtonEvent(dpy, 2, False, CurrentTime); XFlush(dpy); }},
      {300, [&] { after_drop = value(); }},
      {700, [&] { later = value(); }},
  };
  struct Player {
    std::vector<std::pair<int, std::function<void()>>> *steps;
    size_t next = 0;
    bool done = false;
    static void run(XtPointer p, XtIntervalId *) {
      auto *self = static_cast<Player *>(p);
      (*self->steps)[self->next++].second();
      if (self->next == self->steps->size())
        self->done = true;
      else
        XtAppAddTimeOut(xdtest::app().app, unsigned((*self->steps)[self->next].first), run, self);
    }
  } player{&script};
  XtAppAddTimeOut(xdtest::app().app, 1, Player::run, &player);
  for (int i = 0; i < 1000 && !player.done; ++i) xdtest::pump(10);
  ASSERT_TRUE(player.done);
  EXPECT_EQ(at_start, 0);
  EXPECT_GT(scrolled, 0);
  EXPECT_EQ(after_leaving, scrolled);  // stopped when the pointer left the edge
  EXPECT_LT(after_drop, scrolled);     // scrolled back up near the top edge
  EXPECT_EQ(later, after_drop);        // the drop stopped it
  EXPECT_EQ(tree->autoscroll_id, XtIntervalId(0));
  int children = 0;
  for (wu_tree_node *n = top->first_child; n; n = n->next) ++children;
  EXPECT_EQ(children, 60);  // nothing was dropped into the tree
  XtDestroyWidget(source_shell);
}

}  // namespace

namespace {

// Presses a key `times` times without waiting between presses, as a user
// holding it down or typing fast does, then lets the toolkit catch up.
void typeFast(KeySym sym, int times) {
  Display *dpy = xdtest::app().dpy;
  const KeyCode code = XKeysymToKeycode(dpy, sym);
  for (int i = 0; i < times; ++i) {
    XTestFakeKeyEvent(dpy, code, True, CurrentTime);
    XTestFakeKeyEvent(dpy, code, False, CurrentTime);
  }
  XFlush(dpy);
  settle();
}

TEST_F(Tree, FastArrowKeysAcrossEitherEdgeKeepTheKeyboardFocus) {
  wu_tree_node *top = add("top");
  std::vector<wu_tree_node *> kids;
  char text[16];
  for (int i = 0; i < 300; ++i) {
    snprintf(text, sizeof text, "k%d", i);
    kids.push_back(add(text, top));
  }
  showTree();
  XdTreeExpandNode(top);
  settle();
  xdtest::click(top->label);
  XdTreeSetFocus(tree, kids[150], 0);  // far below: the view scrolls to it
  settle();
  for (int round = 0; round < 2; ++round) {
    // Up across the top edge of the view, then Down across the bottom.
    typeFast(XK_Up, 40);
    EXPECT_EQ(tree->focus, kids[110]) << tree->focus->text;
    EXPECT_EQ(XmGetFocusWidget(tree->drawing_area), tree->focus->label);
    typeFast(XK_Down, 40);
    EXPECT_EQ(tree->focus, kids[150]) << tree->focus->text;
    EXPECT_EQ(XmGetFocusWidget(tree->drawing_area), tree->focus->label);
  }
  xdtest::pump(450);
  EXPECT_TRUE(focusShown(kids[150]));
}


// Page by page through 100,000 rows with the keyboard (Page Down on the
// view, then a click that gives a row the focus and arrow keys from it):
// the rows' buttons pass from node to node, none is made or destroyed,
// and the owner's hook is told of every hand-over, each row's buttons
// serving the node they show.
TEST_F(Tree, PagingAHundredThousandRowsHandsButtonsOverAndTellsTheOwner) {
  wu_tree_node *top = add("top");
  char text[32];
  const int count = 100000;
  for (int i = 0; i < count; ++i) {
    snprintf(text, sizeof text, "r%d", i);
    wu_tree_node *n = node(text, false);
    n->expanded_word = nullptr;
    n->release_proc = nullptr;
    ASSERT_EQ(XdTreeInsertNodeAt(tree, top, n, XdTREE_INSERT_LAST_CHILD), 0);
  }
  struct Seen {
    std::map<Widget, wu_tree_node *> owner_of;  // label -> node, as the hook was told
    int calls = 0;
  } seen;
  _XdTreeSetButtonsProc(
      tree,
      [](wu_tree *, wu_tree_node *n, XtPointer closure) {
        auto *s = static_cast<Seen *>(closure);
        ++s->calls;
        s->owner_of[n->label] = n;
      },
      &seen);
  showTree();
  XdTreeExpandNode(top);
  settle();
  auto *da = reinterpret_cast<CompositeWidget>(tree->drawing_area);
  auto children = [da] {
    std::vector<Widget> c(da->composite.children,
                          da->composite.children + da->composite.num_children);
    std::sort(c.begin(), c.end());
    return c;
  };

  auto nodeOfLabel = [](Widget w) {
    wu_tree_node *n = nullptr;
    XtVaGetValues(w, XmNuserData, &n, NULL);
    return n && n->label == w ? n : nullptr;
  };
  // Every button shown serves the node the hook was last told of.
  auto checkShown = [&] {
    int shown = 0;
    for (Cardinal i = 0; i < da->composite.num_children; ++i) {
      Widget w = da->composite.children[i];
      if (!XtIsManaged(w)) continue;
      wu_tree_node *n = nodeOfLabel(w);
      if (!n) continue;
      ++shown;
      EXPECT_EQ(seen.owner_of[w], n) << n->text;
      EXPECT_EQ(XdTreeWidgetToTreeNode(tree, w), n);
      XmString s = nullptr;
      XtVaGetValues(w, XmNlabelString, &s, NULL);
      char *t = _XdStringText(s);
      EXPECT_STREQ(t, n->text);
      XtFree(t);
      XmStringFree(s);
    }
    return shown;
  };

  // Clicks in the scroll bar's trough below the slider, a page each; every
  // hundred pages a click gives a row of the page the focus and Down moves
  // it on.
  Display *dpy = xdtest::app().dpy;
  int calls_before = seen.calls;
  int pages = 0, value = -1, maximum = 0, slider = 0;
  for (;;) {
    xdtest::pointerTo(tree->vsb, XtWidth(tree->vsb) / 2, XtHeight(tree->vsb) - 20);
    std::vector<Widget> before;
    for (int i = 0; i < 100; ++i) {
      XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
      XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
      settle();
      if (i == 0) before = children();  // the view at a page boundary may need one row more
    }
    ASSERT_EQ(children(), before);  // not one button made or destroyed
    int v = 0;
    XtVaGetValues(tree->vsb, XmNvalue, &v, XmNmaximum, &maximum, XmNsliderSize, &slider, NULL);
    pages += 100;
    if (v == value) break;
    value = v;
    ASSERT_GT(checkShown(), 5);
    wu_tree_node *row = nullptr;
    for (Cardinal i = 0; i < da->composite.num_children && !row; ++i) {
      Widget w = da->composite.children[i];
      wu_tree_node *n = nodeOfLabel(w);
      if (n && XtIsManaged(w) && XtY(w) > XtHeight(tree->drawing_area) / 2 &&
          XtY(w) + XtHeight(w) < XtHeight(tree->drawing_area) && n->next)
        row = n;
    }
    ASSERT_NE(row, nullptr);
    xdtest::click(row->label);
    xdtest::key(XK_Down);
    EXPECT_EQ(tree->focus, row->next);
    EXPECT_EQ(XmGetFocusWidget(tree->drawing_area), row->next->label);
  }
  // The trough ends once the slider covers the pointer: within a pixel of
  // the trough from the last page.
  EXPECT_GT(value, (maximum - slider) / 100 * 95);
  const int rows_passed = value / tree->row_height;
  EXPECT_GT(pages, rows_passed / (XtHeight(tree->drawing_area) / tree->row_height));
  // Each page handed every row's buttons on and told the owner (a focused
  // row that scrolls away keeps its buttons for the keyboard).
  EXPECT_GE(seen.calls - calls_before, rows_passed - pages / 100);
  EXPECT_LE(children().size(), 3u * (XtHeight(tree->drawing_area) / tree->row_height + 8));

  // The focus moves from the last page: a click, then arrow keys.
  wu_tree_node *last = _XdTreeFindLabel(tree, "r99999");
  ASSERT_NE(last, nullptr);
  XdTreeSetFocus(tree, last, 0);  // the view goes to the last row
  settle();
  ASSERT_NE(last->label, nullptr);
  EXPECT_EQ(seen.owner_of[last->label], last);
  xdtest::click(last->label);
  EXPECT_EQ(tree->focus, last);
  typeFast(XK_Up, 25);
  wu_tree_node *up = _XdTreeFindLabel(tree, "r99974");
  EXPECT_EQ(tree->focus, up);
  EXPECT_EQ(XmGetFocusWidget(tree->drawing_area), up->label);
  EXPECT_TRUE(focusShown(up));
  EXPECT_GE(checkShown(), XtHeight(tree->drawing_area) / tree->row_height);
  EXPECT_EQ(xdtest::xErrors(), 0);
  EXPECT_TRUE(xdtest::takeWarnings().empty());
}
}  // namespace
