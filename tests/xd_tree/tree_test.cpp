// The tree through its exported interface and real input on the private X
// server: insertion modes, layout, expansion by click and key, selection,
// deletion, drawing, drag auto-scroll and the coordinate limit.
#include <gtest/gtest.h>

#include "xd/TreeP.h"
#include "xd/qevutil.h"
#include "xdtest.h"
#include "xinput.h"

#include <X11/IntrinsicP.h>
#include <Xm/XmP.h>
#include <X11/keysym.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
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

  // Shows a folder "a" open on its children a1 and a2.
  void showOpenFolder(wu_tree_node **a1, wu_tree_node **a2) {
    wu_tree_node *a = add("a");
    *a1 = add("a1", a);
    *a2 = add("a2", a);
    showTree();
    XdTreeExpandNode(a);
    settle();
  }

  // A folder "top" of `count` children named prefix and number, shown
  // expanded; its children.
  std::vector<wu_tree_node *> shownFolder(const char *prefix, int count) {
    wu_tree_node *top = add("top");
    std::vector<wu_tree_node *> kids;
    for (int i = 0; i < count; ++i) kids.push_back(add((prefix + std::to_string(i)).c_str(), top));
    showTree();
    XdTreeExpandNode(top);
    settle();
    return kids;
  }

  // `count` top-level folders "f0", "f1" ... of `children` children each
  // ("f0.0", "f0.1" ...), closed; the folders.
  std::vector<wu_tree_node *> topFolders(int count, int children) {
    std::vector<wu_tree_node *> folders;
    for (int f = 0; f < count; ++f) {
      const std::string name = "f" + std::to_string(f);
      wu_tree_node *folder = add(name.c_str());
      for (int c = 0; c < children; ++c) add((name + "." + std::to_string(c)).c_str(), folder);
      folders.push_back(folder);
    }
    return folders;
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

  // The labels of the rows in view, top to bottom.
  std::vector<std::string> rows() {
    std::vector<std::pair<int, std::string>> shown;
    const int h = XtHeight(tree->drawing_area);
    for (wu_tree_node *n = tree->root; n;) {
      XRectangle r;
      if (_XdTreeNodeRect(n, XdTREE_PART_LABEL, &r) && r.y >= 0 && r.y < h)
        shown.emplace_back(r.y, n->text);
      if (n->first_child && n->expanded) {
        n = n->first_child;
        continue;
      }
      while (n && !n->next) n = n->parent;
      if (n) n = n->next;
    }
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> out;
    for (auto &r : shown) out.push_back(r.second);
    return out;
  }

  // A part of a node's row in the drawing area.
  XRectangle rectOf(wu_tree_node *n, int part = XdTREE_PART_LABEL) {
    XRectangle r = {};
    EXPECT_EQ(_XdTreeNodeRect(n, part, &r), 1) << n->text << " part " << part;
    return r;
  }

  // Clicks the middle of a part of a node's row, drawn or a button.
  void clickNode(wu_tree_node *n, int part = XdTREE_PART_LABEL, unsigned button = 1,
                 const std::vector<KeySym> &mods = {}) {
    XRectangle r = rectOf(n, part);
    xdtest::clickAt(tree->drawing_area, r.x + r.width / 2, r.y + r.height / 2, button, mods);
  }

  unsigned long pixelAt(int x, int y) { return xdtest::pixel(tree->drawing_area, x, y); }

  std::vector<std::string> takeLog() {
    std::vector<std::string> l;
    l.swap(g_log);
    return l;
  }

  // The label's background inside its highlight ring and before its text.
  bool focusShown(wu_tree_node *n) {
    XRectangle r = rectOf(n);
    return pixelAt(r.x + 3, r.y + 3) == (tree->focus_background & 0xffffff);
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
  XRectangle none;
  EXPECT_EQ(_XdTreeNodeRect(a, XdTREE_PART_HANDLE, &none), 0);  // top-level nodes show no handle

  XdTreeExpandNode(a);
  XdTreeExpandNode(a1);
  settle();
  EXPECT_EQ(rows(), (std::vector<std::string>{"alpha", "one", "eleven", "beta"}));
  // The handle is drawn: its grey frame, the minus bar of an expanded node.
  const XRectangle h = rectOf(a1, XdTREE_PART_HANDLE);
  EXPECT_EQ(pixelAt(h.x + h.width / 2, h.y + h.height / 2 - 4), 0xA0A0A0u);
  EXPECT_EQ(pixelAt(h.x + h.width / 2, h.y + h.height / 2), 0u);
  EXPECT_EQ(pixelAt(h.x + h.width / 2, h.y + h.height / 2 - 2), 0xFFFFFFu);
  const int R = tree->row_height;
  EXPECT_EQ(rectOf(a1).x - rectOf(a).x, tree->indent + 8);  // top-level icons sit 8 further left
  EXPECT_EQ(rectOf(a11).x - rectOf(a1).x, tree->indent);
  EXPECT_EQ(h.x, tree->left_margin + tree->indent);
  EXPECT_EQ(rectOf(a11).y - rectOf(a1).y, R);
  EXPECT_EQ(g_words["alpha"], 1);
  EXPECT_EQ(g_words["one"], 1);
  // The drawing area covers the rows shown.
  EXPECT_GE(int(XtHeight(tree->drawing_area)), rectOf(a11).y + rectOf(a11).height);
}

// The buttons change hands without changing the view: a drawn row looks
// exactly as the buttons that serve it, in normal and in focus colours,
// whatever the length of its text.
TEST_F(Tree, ADrawnRowLooksExactlyAsTheButtonsThatServeIt) {
  wu_tree_node *top = add("top");
  std::vector<wu_tree_node *> kids;
  const char *texts[] = {"same text", "same text", "a much longer text than the others",
                         "x", "same text"};
  for (const char *t : texts) {
    wu_tree_node *n = node(t);
    // One picture open and closed, so that the focus changes no icon.
    n->open_pixmap = n->closed_pixmap = tree->closed_folder;
    n->open_mask = n->closed_mask = tree->closed_mask;
    n->icon_width = int16_t(tree->icon_width);
    n->icon_height = int16_t(tree->icon_height);
    ASSERT_EQ(XdTreeInsertNodeAt(tree, top, n, XdTREE_INSERT_LAST_CHILD), 0);
    kids.push_back(n);
  }
  add("leaf", kids[1]);  // kids[1] shows minus once expanded
  showTree();
  XdTreeExpandNode(top);
  XdTreeExpandNode(kids[1]);
  settle();
  Widget da = tree->drawing_area;
  Display *dpy = XtDisplay(da);
  auto image = [&] {
    settle();
    XImage *im = XGetImage(dpy, XtWindow(da), 0, 0, XtWidth(da), XtHeight(da), AllPlanes, ZPixmap);
    std::vector<unsigned long> px;
    for (int y = 0; y < im->height; ++y)
      for (int x = 0; x < im->width; ++x) px.push_back(XGetPixel(im, x, y) & 0xffffff);
    XDestroyImage(im);
    return px;
  };
  // The keyboard focus elsewhere: no highlight ring on the label button.
  Widget other_form = nullptr;
  Widget other = xdtest::makeShell(&other_form, 60, 40);
  XtVaSetValues(other, XmNx, 700, XmNy, 0, NULL);  // beside the tree, not over it
  xdtest::show(other);
  // Normal colours: the buttons go from row to row, the view stays.
  const std::vector<unsigned long> before = image();
  for (wu_tree_node *n : kids) {
    ASSERT_EQ(_XdTreeMakeNodeButtons(n), 1);
    ASSERT_NE(n->label, nullptr);
    EXPECT_TRUE(XtIsManaged(n->label));
    const std::vector<unsigned long> now = image();
    int differ = 0;
    std::string where;
    for (size_t i = 0; i < now.size(); ++i)
      if (now[i] != before[i] && ++differ <= 6)
        where += " (" + std::to_string(i % XtWidth(da)) + "," + std::to_string(i / XtWidth(da)) +
                 ") " + std::to_string(before[i]) + "->" + std::to_string(now[i]);
    EXPECT_EQ(differ, 0) << n->text << where;
  }
  // Focus colours: two selected rows with the same text, one holding the
  // buttons (the focus), one drawn, with the keyboard focus elsewhere.
  tree->multiple_selection = 1;
  clickNode(kids[0]);
  clickNode(kids[4], XdTREE_PART_LABEL, 1, {XK_Shift_L});
  ASSERT_EQ(tree->focus, kids[0]);
  ASSERT_NE(kids[0]->label, nullptr);
  ASSERT_EQ(kids[4]->label, nullptr);
  EXPECT_TRUE(focusShown(kids[0]));
  EXPECT_TRUE(focusShown(kids[4]));
  XSetInputFocus(dpy, XtWindow(other), RevertToParent, CurrentTime);
  settle();
  const std::vector<unsigned long> view = image();
  const int w = XtWidth(da);
  for (int part : {XdTREE_PART_HANDLE, XdTREE_PART_ICON, XdTREE_PART_LABEL}) {
    XRectangle a = rectOf(kids[0], part), b = rectOf(kids[4], part);
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    int differ = 0;
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x)
        if (view[size_t((a.y + y) * w + a.x + x)] != view[size_t((b.y + y) * w + b.x + x)]) ++differ;
    EXPECT_EQ(differ, 0) << "part " << part;
  }
  XtDestroyWidget(other);
  EXPECT_EQ(xdtest::xErrors(), 0);
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
  clickNode(b, XdTREE_PART_HANDLE);  // expand b by its handle
  EXPECT_EQ(takeLog(), Log{"expand:b"});
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(g_words["b"], 1);

  clickNode(c);  // select c
  EXPECT_EQ(takeLog(), Log{"select:c"});
  EXPECT_EQ(tree->focus, c);
  EXPECT_TRUE(focusShown(c));

  clickNode(b, XdTREE_PART_HANDLE);  // collapsing b hides the focused c
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
  clickNode(a);
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
  clickNode(a);
  clickNode(a);  // the second press of a double click
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "a1"}));
  takeLog();
  a->double_click_proc = onDouble;
  xdtest::pump(300);
  clickNode(a, XdTREE_PART_ICON);
  clickNode(a, XdTREE_PART_ICON);
  EXPECT_EQ(takeLog(), (Log{"double:a"}));
  // A double click on a row that has no buttons: they come with the first
  // press, the second is the double click all the same.
  wu_tree_node *b = add("b");
  b->double_click_proc = onDouble;
  XdTreeDraw(tree);
  settle();
  ASSERT_EQ(b->label, nullptr);
  xdtest::pump(300);
  takeLog();
  clickNode(b);
  clickNode(b);
  EXPECT_EQ(takeLog(), (Log{"select:b", "double:b"}));
  xdtest::pump(300);
  clickNode(a);
  EXPECT_EQ(takeLog(), (Log{"select:a"}));  // too late for a double click
  
  xdtest::key(XK_Delete);
  EXPECT_EQ(takeLog(), (Log{"delete:a"}));
}

TEST_F(Tree, SelectionSingleAndMultiple) {
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b");
  wu_tree_node *c = add("c");
  showTree();
  clickNode(a);
  clickNode(b, XdTREE_PART_ICON);  // the icon selects too
  EXPECT_EQ(takeLog(), (Log{"select:a", "select:b"}));
  EXPECT_EQ(tree->selection_count, 1);
  EXPECT_EQ(tree->selection[0], b);
  EXPECT_FALSE(focusShown(a));
  clickNode(b);  // already selected: the owner is not told again
  EXPECT_TRUE(takeLog().empty());

  tree->multiple_selection = 1;
  clickNode(c, XdTREE_PART_LABEL, 1, {XK_Shift_L});
  clickNode(a, XdTREE_PART_ICON, 1, {XK_Shift_L});
  clickNode(c, XdTREE_PART_LABEL, 1, {XK_Shift_L});  // listed once only
  EXPECT_EQ(tree->selection_count, 3);
  EXPECT_TRUE(focusShown(a) && focusShown(b) && focusShown(c));
  EXPECT_TRUE(a->selected && c->selected);

  XdTreeUnSetFocus(tree);
  EXPECT_EQ(tree->selection_count, 0);
  EXPECT_EQ(tree->focus, nullptr);
  EXPECT_FALSE(focusShown(a) || focusShown(b) || focusShown(c));

  // Button 1 held from a's label over b's label and c's icon, drawn rows
  // all but the one pressed: each is selected as the pointer enters it.
  takeLog();
  Display *dpy = xdtest::app().dpy;
  auto moveTo = [this](wu_tree_node *n, int part) {
    XRectangle r = rectOf(n, part);
    xdtest::pointerTo(tree->drawing_area, r.x + r.width / 2, r.y + r.height / 2);
  };
  moveTo(a, XdTREE_PART_LABEL);
  XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
  settle();
  moveTo(b, XdTREE_PART_LABEL);
  moveTo(c, XdTREE_PART_ICON);
  XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
  settle();
  EXPECT_EQ(takeLog(), (Log{"select:a", "select:b", "select:c"}));
  EXPECT_EQ(tree->selection_count, 3);
  EXPECT_TRUE(focusShown(a) && focusShown(b) && focusShown(c));
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
  clickNode(b1);
  clickNode(c, XdTREE_PART_LABEL, 1, {XK_Shift_L});
  clickNode(b1, XdTREE_PART_LABEL, 1, {XK_Shift_L});
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

// Changes lay the tree out once, when it is next drawn, however many
// there are.  `layouts` counts the walks over every row shown, `paints`
// the paintings of the view.
struct Counts {
  unsigned long layouts = 0, paints = 0;
};
Counts countsOf(wu_tree *t) {
  Counts c;
  _XdTreeLayoutCounts(t, &c.layouts, &c.paints);
  return c;
}

// Top-level folders each open on more rows than the view shows, the
// keyboard on the first: deleting them one by one, as a program empties a
// tree, moves the focus (and the keyboard, with the buttons) on to the next
// folder each time without laying the tree out each time; the next drawing
// shows the folder that is left first, focused, with the keyboard.
TEST_F(Tree, EmptyingAFocusedTreeLaysItOutOnceAndKeepsTheKeyboardOnTheFocusedRow) {
  constexpr int kFolders = 60, kChildren = 20;
  const std::vector<wu_tree_node *> folders = topFolders(kFolders, kChildren);
  showTree();
  for (wu_tree_node *f : folders) XdTreeExpandNode(f);
  settle();
  ASSERT_EQ(rows().front(), "f0");
  ASSERT_LT(rows().size(), size_t(kChildren));  // the next folder is out of view
  clickNode(folders[0]);
  ASSERT_EQ(XmGetFocusWidget(tree->drawing_area), folders[0]->label);
  ASSERT_TRUE(tree->has_focus);
  takeLog();

  const Counts before = countsOf(tree);
  for (int f = 0; f < kFolders - 3; ++f) ASSERT_EQ(XdTreeDeleteTree(tree, tree->root), 0);
  EXPECT_EQ(XdTreeDraw(tree), 0);  // as the owner does after a batch of deletions
  settle();
  const Counts after = countsOf(tree);
  EXPECT_LE(after.layouts - before.layouts, 1u);
  EXPECT_LE(after.paints - before.paints, 2u);

  // Each focused folder that went handed the focus on, told at once.
  const Log log = takeLog();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string &l) { return l.rfind("select:", 0) == 0; }),
            kFolders - 3);
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string &l) { return l.rfind("release:", 0) == 0; }),
            (kFolders - 3) * (kChildren + 1));
  wu_tree_node *left = folders[kFolders - 3];
  EXPECT_EQ(tree->root, left);
  EXPECT_EQ(tree->focus, left);
  ASSERT_FALSE(rows().empty());
  EXPECT_EQ(rows().front(), left->text);
  ASSERT_NE(left->label, nullptr);
  EXPECT_EQ(XmGetFocusWidget(tree->drawing_area), left->label);
  EXPECT_TRUE(focusShown(left));
  const XRectangle r = rectOf(left);
  EXPECT_EQ(XtX(left->label), r.x);  // the label button covers its row
  EXPECT_EQ(XtY(left->label), r.y);
  int maximum = 0;
  XtVaGetValues(tree->vsb, XmNmaximum, &maximum, NULL);
  EXPECT_LT(maximum, 4 * (kChildren + 2) * tree->row_height);  // three folders' rows

  // The rest goes too, still laid out once.
  const Counts rest = countsOf(tree);
  while (tree->root) ASSERT_EQ(XdTreeDeleteTree(tree, tree->root), 0);
  EXPECT_EQ(XdTreeDraw(tree), -1);
  settle();
  EXPECT_LE(countsOf(tree).layouts - rest.layouts, 1u);
  EXPECT_EQ(tree->focus, nullptr);
  EXPECT_EQ(xdtest::xErrors(), 0);
  EXPECT_TRUE(xdtest::takeWarnings().empty());
}

// Expanding every folder, one call each, then collapsing them: the run
// draws once, and positions read right after a call are those the drawing
// will show.
TEST_F(Tree, ARunOfExpandsAndCollapsesDrawsOnceAndAnswersPositionsAtOnce) {
  constexpr int kFolders = 80, kChildren = 3;
  const std::vector<wu_tree_node *> folders = topFolders(kFolders, kChildren);
  showTree();
  const int R = tree->row_height;
  const XRectangle first = rectOf(folders[0]);
  EXPECT_EQ(rectOf(folders[1]).y, first.y + R);

  Counts before = countsOf(tree);
  for (wu_tree_node *f : folders) EXPECT_EQ(XdTreeExpandNode(f), 1);
  settle();
  Counts after = countsOf(tree);
  EXPECT_EQ(after.layouts - before.layouts, 1u);
  EXPECT_EQ(after.paints - before.paints, 1u);
  std::vector<std::string> order;  // every row, top to bottom
  for (int f = 0; f < kFolders; ++f) {
    const std::string name = "f" + std::to_string(f);
    order.push_back(name);
    for (int c = 0; c < kChildren; ++c) order.push_back(name + "." + std::to_string(c));
  }
  const std::vector<std::string> shown = rows();
  ASSERT_GT(shown.size(), 8u);
  EXPECT_EQ(shown, std::vector<std::string>(order.begin(), order.begin() + long(shown.size())));
  for (wu_tree_node *f : folders) EXPECT_EQ(g_words[f->text], 1) << f->text;
  int maximum = 0;
  XtVaGetValues(tree->vsb, XmNmaximum, &maximum, NULL);
  EXPECT_GE(maximum, kFolders * (kChildren + 1) * R);
  // The rows drawn: the third child of the first folder shows its text.
  const XRectangle kid = rectOf(folders[0]->last_child);
  int ink = 0;
  for (int x = kid.x + 3; x < kid.x + kid.width - 3; ++x)
    for (int y = kid.y + 3; y < kid.y + kid.height - 3; ++y)
      if (pixelAt(x, y) == (tree->foreground & 0xffffff)) ++ink;
  EXPECT_GT(ink, 5);

  // Collapsing them all but the first; read before anything is drawn, the
  // second folder's row is where the drawing will put it.
  before = countsOf(tree);
  for (size_t f = 1; f < folders.size(); ++f) XdTreeCollapseNode(folders[f]);
  EXPECT_EQ(rectOf(folders[1]).y, first.y + (kChildren + 1) * R);
  EXPECT_EQ(rectOf(folders[2]).y, first.y + (kChildren + 2) * R);
  XdTreeCollapseNode(folders[0]);
  EXPECT_EQ(rectOf(folders[1]).y, first.y + R);
  settle();
  after = countsOf(tree);
  EXPECT_EQ(after.layouts - before.layouts, 1u);  // the reads laid nothing out
  EXPECT_EQ(after.paints - before.paints, 1u);
  EXPECT_EQ(rows().size(), size_t(std::min<int>(kFolders, XtHeight(tree->drawing_area) / R + 1)));
  XtVaGetValues(tree->vsb, XmNmaximum, &maximum, NULL);
  EXPECT_LT(maximum, (kFolders + 2) * R);
  EXPECT_EQ(xdtest::xErrors(), 0);
}

// The program hides the tree's window by unrealizing its shell right
// after a change, before the tree has drawn it, and shows it again: the
// change shows, and so do the changes drawn after that, each without
// anything else (an exposure, a read) asking for it.
TEST_F(Tree, ChangesAfterTheWindowIsMadeAgainAreDrawn) {
  add("a");
  showTree();
  add("b");
  EXPECT_EQ(XdTreeDraw(tree), 0);
  XtUnrealizeWidget(shell);
  xdtest::show(shell);
  settle();
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b"}));
  auto inked = [this](wu_tree_node *n) {
    const XRectangle r = rectOf(n);
    int ink = 0;
    for (int x = r.x + 3; x < r.x + r.width - 3; ++x)
      for (int y = r.y + 3; y < r.y + r.height - 3; ++y)
        if (pixelAt(x, y) == (tree->foreground & 0xffffff)) ++ink;
    return ink;
  };
  EXPECT_GT(inked(tree->root->next), 5);
  for (const char *text : {"c", "d"}) {
    wu_tree_node *n = add(text);
    EXPECT_EQ(XdTreeDraw(tree), 0);
    EXPECT_TRUE(xdtest::pumpUntil([&] { return inked(n) > 5; })) << text << " is not drawn";
  }
  EXPECT_EQ(xdtest::xErrors(), 0);
}

// Folders three deep opened, closed, filled and emptied in a long run of
// changes in every insertion mode, positions read after each change: what
// a read answers is where the next layout puts the row (and where the
// handle's place is, drawn or not), and reading lays nothing out.
TEST_F(Tree, PositionsReadBetweenChangesAreTheNextLayoutsAndLayNothingOut) {
  std::vector<wu_tree_node *> nodes;
  int names = 0;
  auto fresh = [&](wu_tree_node *ref, int mode) {
    wu_tree_node *n = add(("n" + std::to_string(names++)).c_str(), ref, mode);
    nodes.push_back(n);
    return n;
  };
  for (int f = 0; f < 6; ++f) {
    wu_tree_node *folder = fresh(nullptr, XdTREE_INSERT_LAST_CHILD);
    for (int c = 0; c < 4; ++c) {
      wu_tree_node *kid = fresh(folder, XdTREE_INSERT_LAST_CHILD);
      if (c % 2 == 0)
        for (int g = 0; g < 3; ++g) fresh(kid, XdTREE_INSERT_LAST_CHILD);
    }
  }
  showTree();
  for (wu_tree_node *n : nodes)
    if (n->first_child && n->level < 3) XdTreeExpandNode(n);
  settle();

  // Every part of every node: answered, and where.
  struct Answer {
    int shown;
    XRectangle r;
  };
  auto readAll = [&] {
    std::map<wu_tree_node *, std::vector<Answer>> all;
    for (wu_tree_node *n : nodes)
      for (int part : {XdTREE_PART_NONE, XdTREE_PART_LABEL, XdTREE_PART_ICON, XdTREE_PART_HANDLE,
                       XdTREE_PART_HANDLE_PLACE}) {
        Answer a = {0, {}};
        a.shown = _XdTreeNodeRect(n, part, &a.r);
        all[n].push_back(a);
      }
    return all;
  };
  auto same = [](const std::vector<Answer> &a, const std::vector<Answer> &b) {
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i].shown != b[i].shown) return false;
      const XRectangle &p = a[i].r, &q = b[i].r;
      if (a[i].shown && (p.x != q.x || p.y != q.y || p.width != q.width || p.height != q.height))
        return false;
    }
    return true;
  };

  unsigned seed = 12345;
  auto next = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  int changes = 0, answered = 0;
  for (int step = 0; step < 400; ++step) {
    // A run of one to four changes, then reads, then the layout; what the
    // run opened is often deleted in it, or its parent.
    wu_tree_node *opened = nullptr;
    for (unsigned k = 0, run = 1 + next(4); k < run; ++k) {
      if (nodes.size() < 12) fresh(nullptr, XdTREE_INSERT_LAST_CHILD);  // the tree never empties
      wu_tree_node *n = nodes[next(unsigned(nodes.size()))];
      switch (next(6)) {
        case 0:
          XdTreeExpandNode(n);
          if (n->expanded) opened = n;
          break;
        case 1:
          XdTreeCollapseNode(n);
          break;
        case 2:
          fresh(n, int(next(4)));
          break;
        case 3:
          fresh(n, XdTREE_INSERT_FIRST_CHILD);
          break;
        case 4:
          if (opened && next(3) != 0) n = next(2) && opened->parent ? opened->parent : opened;
          if (nodes.size() > 10) {
            std::vector<wu_tree_node *> gone;
            for (wu_tree_node *m : nodes)
              if (m == n || (n->first_child && _XdTreeIsChild(n->first_child, m)))
                gone.push_back(m);
            ASSERT_EQ(XdTreeDeleteTree(tree, n), 0);
            for (wu_tree_node *m : gone) nodes.erase(std::find(nodes.begin(), nodes.end(), m));
            if (std::find(gone.begin(), gone.end(), opened) != gone.end()) opened = nullptr;
          }
          break;
        default:
          _XdTreeSetExpanded(n, n->expanded ? 0 : 1);  // as the tree view opens a filled node
          if (n->expanded) opened = n;
          break;
      }
      ++changes;
    }
    const Counts before = countsOf(tree);
    const auto read = readAll();
    ASSERT_EQ(countsOf(tree).layouts, before.layouts) << "step " << step;
    settle();
    const auto laid = readAll();
    for (wu_tree_node *n : nodes) {
      ASSERT_TRUE(same(read.at(n), laid.at(n))) << n->text << " at step " << step;
      answered += read.at(n)[0].shown;
    }
  }
  EXPECT_GT(changes, 800);
  EXPECT_GT(answered, 1000);  // rows were shown to compare
  // The layout shows them: the first row in view, drawn.
  ASSERT_FALSE(rows().empty());
  EXPECT_EQ(xdtest::xErrors(), 0);
  EXPECT_TRUE(xdtest::takeWarnings().empty());
}

// An owner that gives its nodes no release function: the node whose
// activation is pending is deleted, the focus passes to its parent, told at
// once, and the activation goes with the node.
TEST_F(Tree, APendingActivationGoesWithItsNodeWhenTheOwnerHasNoReleaseFunction) {
  wu_tree_node *a = add("a");
  wu_tree_node *b1 = add("b1", a);
  wu_tree_node *b2 = add("b2", a);
  for (wu_tree_node *n : {a, b1, b2}) n->release_proc = nullptr;
  showTree();
  XdTreeExpandNode(a);
  settle();
  takeLog();
  clickNode(b1);
  xdtest::key(XK_Down);  // an activation is pending for b2
  ASSERT_EQ(tree->focus, b2);
  EXPECT_EQ(takeLog(), Log{"select:b1"});
  EXPECT_EQ(XdTreeDeleteTree(tree, b2), 0);
  EXPECT_EQ(takeLog(), Log{"select:a"});
  EXPECT_EQ(tree->focus, a);
  XdTreeDraw(tree);
  xdtest::pump(450);
  EXPECT_TRUE(takeLog().empty());
  EXPECT_EQ(tree->focus, a);
}

TEST_F(Tree, WidgetToTreeNodeFindsIconsAndLabelsOnly) {
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b", a);
  showTree();
  XdTreeExpandNode(a);
  settle();
  clickNode(b);  // b holds the buttons now
  ASSERT_NE(b->label, nullptr);
  EXPECT_EQ(a->label, nullptr);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, b->label), b);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, b->icon), b);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, b->handle), nullptr);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, form), nullptr);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, tree->drawing_area), nullptr);
  // The drawn rows are found under the pointer.
  int part = -1;
  XRectangle r = rectOf(a, XdTREE_PART_ICON);
  EXPECT_EQ(_XdTreeNodeAt(tree, r.x + 1, r.y + 1, &part), a);
  EXPECT_EQ(part, XdTREE_PART_ICON);
  r = rectOf(b, XdTREE_PART_HANDLE);
  EXPECT_EQ(_XdTreeNodeAt(tree, r.x, r.y + r.height - 1, &part), b);
  EXPECT_EQ(part, XdTREE_PART_HANDLE);
  r = rectOf(b);
  EXPECT_EQ(_XdTreeNodeAt(tree, r.x + r.width - 1, r.y, &part), b);
  EXPECT_EQ(part, XdTREE_PART_LABEL);
  EXPECT_EQ(_XdTreeNodeAt(tree, r.x + r.width + 2, r.y, &part), nullptr);  // right of the text
  EXPECT_EQ(part, XdTREE_PART_NONE);
  EXPECT_EQ(_XdTreeIsChild(a, b), 1);
  EXPECT_EQ(_XdTreeIsChild(b, a), 0);
  EXPECT_EQ(_XdTreeFindLabel(tree, "b"), b);
}

// The buttons follow the focus, also into subtrees not shown yet, and the
// owner's hook hears of every hand-over; the interface reaches every node.
TEST_F(Tree, TheButtonsFollowTheFocusAndTheOwnerHearsOfEachHandOver) {
  wu_tree_node *a = add("a");
  wu_tree_node *b = add("b", a);
  wu_tree_node *c = add("c", b);
  wu_tree_node *d = add("d");
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
  showTree();
  EXPECT_EQ(made, std::vector<wu_tree_node *>{a});  // the first row, with no focus
  EXPECT_EQ(b->label, nullptr);
  EXPECT_EQ(d->label, nullptr);
  EXPECT_EQ(_XdTreeFindLabel(tree, "c"), c);
  EXPECT_EQ(_XdTreeIsChild(a, c), 1);

  // Focused while hidden: shown later with the open folder and inverse label.
  XdTreeSetFocus(tree, b, 0);
  EXPECT_EQ(tree->focus, b);
  EXPECT_EQ(made.back(), b);
  EXPECT_EQ(a->label, nullptr);
  XdTreeExpandNode(a);
  settle();
  ASSERT_NE(b->label, nullptr);
  EXPECT_TRUE(XtIsManaged(b->label));
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b", "d"}));
  EXPECT_TRUE(focusShown(b));
  Pixmap shown = None;
  XtVaGetValues(b->icon, XmNlabelPixmap, &shown, NULL);
  EXPECT_EQ(shown, b->open_pixmap);
  EXPECT_EQ(rectOf(b).y - rectOf(a).y, tree->row_height);
  EXPECT_EQ(XtY(b->label), rectOf(b).y);

  // Expanding a node that is not shown: its owner is told with the drawing
  // area for a widget.
  wu_tree_node *e = add("e", c);
  takeLog();
  c->expand_proc = [](Widget w, wu_tree_node *n, XtPointer) {
    logCall("expand", n);
    EXPECT_EQ(w, n->tree->drawing_area);
  };
  made.clear();
  EXPECT_EQ(XdTreeExpandNode(c), 1);
  EXPECT_EQ(takeLog(), Log{"expand:c"});
  EXPECT_TRUE(made.empty());
  EXPECT_EQ(c->label, nullptr);

  // An owner may have the buttons given early to set them up; the next
  // layout gives them back to the focus.
  EXPECT_EQ(_XdTreeMakeNodeButtons(e), 1);
  ASSERT_NE(e->label, nullptr);
  EXPECT_EQ(b->label, nullptr);
  EXPECT_EQ(XdTreeWidgetToTreeNode(tree, e->label), e);
  XdTreeExpandNode(b);
  settle();
  EXPECT_EQ(rows(), (std::vector<std::string>{"a", "b", "c", "e", "d"}));
  EXPECT_EQ(made, (std::vector<wu_tree_node *>{e, b}));
  EXPECT_EQ(e->label, nullptr);

  // Deleting a subtree with the focus inside releases every node.
  wu_tree_node *f = add("f", e);
  (void)f;
  takeLog();
  EXPECT_EQ(XdTreeDeleteTree(tree, a), 0);
  EXPECT_EQ(takeLog(), (Log{"release:f", "release:e", "release:c", "release:b", "select:d",
                            "release:a"}));
  XdTreeDraw(tree);
  settle();
  EXPECT_EQ(made.back(), d);
  EXPECT_NE(d->label, nullptr);
  EXPECT_EQ(xdtest::xErrors(), 0);
}

TEST_F(Tree, LinesAndFolderIconsAreDrawn) {
  wu_tree_node *a1 = nullptr, *a2 = nullptr;
  showOpenFolder(&a1, &a2);
  Widget da = tree->drawing_area;
  const unsigned long fg = tree->foreground & 0xffffff, bg = tree->background & 0xffffff;
  // The vertical line below a's folder: every other pixel in the foreground.
  int x = a1->x + tree->handle_width / 2 + 1;
  int on = 0, off = 0;
  const XRectangle h1 = rectOf(a1, XdTREE_PART_HANDLE), h2 = rectOf(a2, XdTREE_PART_HANDLE);
  for (int y = h1.y + h1.height; y < h2.y; ++y) {
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
  auto yellowIn = [this](wu_tree_node *n) {
    XRectangle r = rectOf(n, XdTREE_PART_ICON);
    int count = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
      for (int x = r.x; x < r.x + r.width; ++x)
        if (pixelAt(x, y) == 0xFEFE00) ++count;
    return count;
  };
  EXPECT_GT(yellowIn(a1), 10);
  takeLog();
  clickNode(a1);
  EXPECT_GT(yellowIn(a1), 10);  // the open folder
  EXPECT_EQ(takeLog(), Log{"select:a1"});
}

TEST_F(Tree, XmChangeColorReachesTheViewItsBarsAndTheRows) {
  wu_tree_node *a1 = nullptr, *a2 = nullptr;
  showOpenFolder(&a1, &a2);
  clickNode(a1);
  XmChangeColor(tree->scrolled_w, 0x204060);
  settle();
  Pixel fg = 0;
  XtVaGetValues(tree->scrolled_w, XmNforeground, &fg, NULL);
  fg &= 0xffffff;
  Widget da = tree->drawing_area;
  EXPECT_EQ(pixelAt(XtWidth(da) - 4, XtHeight(da) - 4), 0x204060ul);  // the view
  for (Widget bar : {tree->vsb, tree->hsb}) {
    Pixel bg = 0;
    XtVaGetValues(bar, XmNbackground, &bg, NULL);
    EXPECT_EQ(bg, 0x204060ul);
  }
  // A row's label in the view's colours, the focused one inverse.
  const XRectangle r2 = rectOf(a2);
  EXPECT_EQ(pixelAt(r2.x + 3, r2.y + 3), 0x204060ul);
  const XRectangle r1 = rectOf(a1);
  EXPECT_EQ(pixelAt(r1.x + 3, r1.y + 3), fg);
  // The connecting line in the new foreground.
  const int x = a1->x + tree->handle_width / 2 + 1;
  const XRectangle h1 = rectOf(a1, XdTREE_PART_HANDLE), h2 = rectOf(a2, XdTREE_PART_HANDLE);
  int on = 0;
  for (int y = h1.y + h1.height; y < h2.y; ++y)
    if (pixelAt(x, y) == fg) ++on;
  EXPECT_GT(on, 2);
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
    XRectangle r;
    return _XdTreeNodeRect(n, XdTREE_PART_LABEL, &r) && r.y >= 0 &&
           r.y + r.height <= XtHeight(tree->drawing_area);
  };
  XdTreeExpandNode(top);
  settle();
  EXPECT_EQ(children(), 3);  // one handle, icon and label, whatever the rows
  EXPECT_EQ(rows().front(), "top");

  // The scroll bar reaches the last rows.
  int maximum = 0, slider = 0;
  XtVaGetValues(tree->vsb, XmNmaximum, &maximum, XmNsliderSize, &slider, NULL);
  EXPECT_GT(maximum, count * tree->row_height);
  // The user sends the bar to its end: Control and a click in the trough.
  auto toEnd = [this](qevtest::ScrollBarPlace place) {
    int x = 0, y = 0;
    qevtest::scrollBarPlace(tree->vsb, place, &x, &y);
    xdtest::clickAt(tree->vsb, x, y, 1, {XK_Control_L});
    settle();
  };
  toEnd(qevtest::kTroughAfter);
  int value = -1;
  XtVaGetValues(tree->vsb, XmNvalue, &value, NULL);
  EXPECT_EQ(value, maximum - slider);
  EXPECT_EQ(rows().back(), "after");
  wu_tree_node *last = _XdTreeFindLabel(tree, "n99999");
  ASSERT_NE(last, nullptr);
  EXPECT_TRUE(visible(last));
  EXPECT_EQ(children(), 3);
  XRectangle lr = rectOf(last);
  EXPECT_EQ(_XdTreeNodeAt(tree, lr.x + 1, lr.y + 1, nullptr), last);

  // The connecting line still runs down to the last child, dotted.
  const unsigned long fg = tree->foreground & 0xffffff;
  int left = 0;
  XtVaGetValues(tree->hsb, XmNvalue, &left, NULL);
  const int line_x = last->x + tree->handle_width / 2 + 1 - left;
  int on = 0;
  const XRectangle li = rectOf(last, XdTREE_PART_ICON);
  for (int y = li.y - tree->row_height; y < li.y; ++y)
    if (xdtest::pixel(tree->drawing_area, line_x, y) == fg) ++on;
  EXPECT_GT(on, 2);

  // The keyboard: focus a node far out of view, then move from it.
  toEnd(qevtest::kTroughBefore);
  EXPECT_EQ(rows().front(), "top");
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
  EXPECT_EQ(children(), 3);
  EXPECT_EQ(managedChildren(), 2);  // the focused top's icon and label
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

// Labels are converted once, when a node is inserted or its label changes:
// paging through rows never shown before converts none.  A label changed
// and a font given while their rows are out of view show at the size a
// label button with that text and font takes, once the rows come into view.
int g_strings_made = 0;

TEST_F(Tree, PagingConvertsNoLabelAndShowsChangedLabelsAndFontsAtTheirSize) {
  XdSetStringMaker([](const char *text) {
    ++g_strings_made;
    return XmStringCreateLocalized(const_cast<char *>(text));
  });
  const std::vector<wu_tree_node *> kids = shownFolder("row ", 300);
  wu_tree_node *renamed = kids[200];
  XtFree(renamed->text);
  renamed->text = XtNewString("a label much longer than the others");
  _XdTreeNodeChanged(renamed);
  Display *dpy = xdtest::app().dpy;
  XmFontListEntry entry =
      XmFontListEntryLoad(dpy, const_cast<char *>("-misc-fixed-medium-r-normal--20-*-*-*-*-*-iso8859-1"),
                          XmFONT_IS_FONT, const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
  XmFontList big = XmFontListAppendEntry(nullptr, entry);
  XmFontListEntryFree(&entry);
  ASSERT_NE(big, nullptr);
  TreeNodeFontUpdate(tree, big);
  settle();

  // Page down with the scroll bar's trough until the renamed row shows.
  g_strings_made = 0;
  auto shown = [this](wu_tree_node *n) {
    XRectangle r;
    return _XdTreeNodeRect(n, XdTREE_PART_LABEL, &r) && r.y >= 0 &&
           r.y + r.height <= XtHeight(tree->drawing_area);
  };
  xdtest::pointerTo(tree->vsb, XtWidth(tree->vsb) / 2, XtHeight(tree->vsb) - 20);
  for (int page = 0; page < 100 && !shown(renamed); ++page) {
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
    settle();
  }
  ASSERT_TRUE(shown(renamed));
  EXPECT_EQ(g_strings_made, 0);

  // Each label in view is as wide and high as a button with its text and
  // the new font, and shows ink.
  const unsigned long fg = tree->foreground & 0xffffff;
  for (wu_tree_node *n : {renamed, kids[190], kids[210]}) {
    if (!shown(n)) continue;
    XmString s = XmStringCreateLocalized(n->text);
    Widget probe = XtVaCreateWidget("probe", xmPushButtonWidgetClass, form, XmNlabelString, s,
                                    XmNfontList, big, XmNshadowThickness, 0, NULL);
    XmStringFree(s);
    const XRectangle r = rectOf(n);
    EXPECT_EQ(r.width, XtWidth(probe)) << n->text;
    EXPECT_EQ(r.height, XtHeight(probe)) << n->text;
    XtDestroyWidget(probe);
    int ink = 0;  // in the view's width: a long label runs on beyond it
    const int right = std::min<int>(r.x + r.width, XtWidth(tree->drawing_area));
    for (int x = std::max<int>(r.x, 0); x < right; ++x)
      for (int y = r.y; y < r.y + r.height; ++y)
        if (pixelAt(x, y) == fg) ++ink;
    EXPECT_GT(ink, 20) << n->text;
  }
  EXPECT_GE(tree->row_height, rectOf(renamed).height);
  XdSetStringMaker(nullptr);
  XtDestroyWidget(shell);
  shell = nullptr;
  settle();
  XmFontListFree(big);
  EXPECT_EQ(xdtest::xErrors(), 0);
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
  clickNode(b, XdTREE_PART_HANDLE);
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

// A read of the tree between a change and its drawing lays the change out
// first, and the owner hears of the buttons' hand-over: an owner that
// destroys the tree then ends the read, which answers no node.
TEST_F(Tree, AReadWhoseLayoutLetsTheOwnerDestroyTheTreeAnswersNoNode) {
  const std::vector<std::function<wu_tree_node *(wu_tree *, Widget)>> reads = {
      [](wu_tree *t, Widget label) { return XdTreeWidgetToTreeNode(t, label); },
      [](wu_tree *t, Widget) { return _XdTreeNodeAt(t, 30, 30, nullptr); },
  };
  for (size_t i = 0; i < reads.size(); ++i) {
    SCOPED_TRACE("read " + std::to_string(i));
    Widget form2 = nullptr;
    Widget shell2 = xdtest::makeShell(&form2, 300, 260);
    wu_tree *t = XdCreateTree(form2, nullptr, 0);
    ASSERT_NE(t, nullptr);
    wu_tree_node *first = node("first"), *second = node("second");
    ASSERT_EQ(XdTreeInsertNodeAt(t, nullptr, first, XdTREE_INSERT_LAST_CHILD), 0);
    ASSERT_EQ(XdTreeInsertNodeAt(t, nullptr, second, XdTREE_INSERT_LAST_CHILD), 0);
    xdtest::show(shell2);
    ASSERT_EQ(XdTreeDraw(t), 0);
    settle();
    ASSERT_NE(first->label, nullptr);  // the first row holds the buttons
    Widget label = first->label;
    // Deleting it leaves them to the second row at the layout due.
    ASSERT_EQ(XdTreeDeleteTree(t, first), 0);
    _XdTreeSetButtonsProc(
        t, [](wu_tree *, wu_tree_node *n, XtPointer shell) {
          logCall("buttons", n);
          XtDestroyWidget(static_cast<Widget>(shell));
        },
        shell2);
    takeLog();
    EXPECT_EQ(reads[i](t, label), nullptr);
    EXPECT_EQ(takeLog(), (Log{"buttons:second", "release:second"}));
    settle();
  }
  EXPECT_EQ(xdtest::xErrors(), 0);
}

TEST_F(Tree, DestroyingTheTreeReleasesNodesAndPendingTimeOuts) {
  wu_tree_node *a = add("a");
  add("b");
  add("a1", a);
  showTree();
  clickNode(a);
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


// An owner function changes the tree, destroys its window and waits in an
// event loop of its own (a modal dialog) before it returns: the tree,
// going, neither lays out nor paints what the change asked for.
struct Doomed {
  Widget shell = nullptr;
  wu_tree *tree = nullptr;
  Counts before, during;
};
Doomed g_doomed;

void destroyAndWait(Widget, wu_tree_node *n, XtPointer) {
  logCall("select", n);
  auto *added = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
  added->text = XtNewString("added");
  XdTreeInsertNodeAt(g_doomed.tree, nullptr, added, XdTREE_INSERT_LAST_CHILD);
  XdTreeDraw(g_doomed.tree);
  g_doomed.before = countsOf(g_doomed.tree);
  XtDestroyWidget(g_doomed.shell);
  xdtest::pump(300);
  g_doomed.during = countsOf(g_doomed.tree);
}

TEST_F(Tree, DestroyedByAnOwnerFunctionInAnEventLoopOfItsOwnTheTreeLaysNothingOut) {
  wu_tree_node *a = add("a");
  add("b");
  showTree();
  a->select_proc = destroyAndWait;
  g_doomed = Doomed{shell, tree, {}, {}};
  clickNode(a);
  shell = nullptr;
  settle();
  EXPECT_EQ(takeLog(), (Log{"select:a", "release:a", "release:b"}));
  EXPECT_EQ(g_doomed.during.layouts, g_doomed.before.layouts);
  EXPECT_EQ(g_doomed.during.paints, g_doomed.before.paints);
  EXPECT_EQ(xdtest::xErrors(), 0);
}

// A real drag (button 2 on a label, as Motif starts one) over the tree.
// Motif's scrolled window scrolls a little by itself while a drag rests
// near its edges; the tree's own steps are told apart from that by their
// size and rhythm: each moves the view by one page, the first about 200 ms
// after the pointer came near the edge, then one every 300 ms, down near
// the bottom and up near the top, until the pointer leaves the edge or the
// drop ends the drag.
struct ScrollStep {
  long ms;   // since the drag began
  int from;  // the bar's value before and after
  int to;
};

TEST_F(Tree, DraggingNearTheEdgesPagesByTheTreesOwnStepsUntilThePointerLeavesOrDrops) {
  wu_tree_node *top = add("top");
  char text[16];
  for (int i = 0; i < 120; ++i) {
    snprintf(text, sizeof text, "row %d", i);
    add(text, top);
  }
  showTree();
  XdTreeExpandNode(top);
  settle();
  int maximum = 0, slider = 0, page = 0;
  XtVaGetValues(tree->vsb, XmNmaximum, &maximum, XmNsliderSize, &slider, XmNpageIncrement, &page,
                NULL);
  ASSERT_GT(maximum - slider, 6 * page);  // room for several pages either way

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
  const auto t0 = std::chrono::steady_clock::now();
  auto now = [t0] {
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - t0)
                    .count());
  };
  // Every change of the bar's value, as its owner hears of it.
  struct Steps {
    std::vector<ScrollStep> all;
    int last = 0;
    std::function<long()> clock;
  } steps;
  steps.clock = now;
  XtCallbackProc note = [](Widget, XtPointer client, XtPointer call) {
    auto *st = static_cast<Steps *>(client);
    const int v = static_cast<XmScrollBarCallbackStruct *>(call)->value;
    if (v != st->last) st->all.push_back({st->clock(), st->last, v});
    st->last = v;
  };
  XtAddCallback(tree->vsb, XmNvalueChangedCallback, note, &steps);

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
  // Near an edge is within 20 pixels of the rows' view, whose bottom lies
  // above the horizontal scroll bar.
  Widget sw = tree->drawing_area;
  const int h = XtHeight(sw);
  long at_bottom = -1, off_bottom = -1, at_top = -1, dropped = -1;
  int after_leaving = -1, before_top = -1, after_drop = -1, later = -1;
  std::vector<std::pair<int, std::function<void()>>> script = {
      {0, [&] { moveTo(source, 10, 10); }},
      {50, [&] { XTestFakeButtonEvent(dpy, 2, True, CurrentTime); XFlush(dpy); }},
      {50, [&] { moveTo(source, 12, 30); }},
      {50, [&] { moveTo(sw, 100, h / 2); }},
      {50, [&] { moveTo(sw, 100, h / 2 + 5); }},
      {100, [&] { at_bottom = now(); moveTo(sw, 100, h - 8); }},  // near the bottom
      {30, [&] { moveTo(sw, 101, h - 8); }},
      {1200, [&] { off_bottom = now(); moveTo(sw, 100, h / 2); }},  // away from the edges
      {700, [&] { after_leaving = value(); }},
      {50, [&] { before_top = value(); at_top = now(); moveTo(sw, 100, 5); }},  // the top edge
      {1200, [&] { dropped = now(); XTestFakeButtonEvent(dpy, 2, False, CurrentTime); XFlush(dpy); }},
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
  XtRemoveCallback(tree->vsb, XmNvalueChangedCallback, note, &steps);

  // The tree's steps: a whole page each (or to the end of the range),
  // 300 ms apart, in the phase they belong to.
  std::vector<ScrollStep> down, up;
  std::string seen;
  for (const ScrollStep &st : steps.all) {
    seen += std::to_string(st.ms) + ":" + std::to_string(st.from) + "->" + std::to_string(st.to) + " ";
    if (st.to - st.from == page && st.ms > at_bottom && st.ms <= off_bottom + 100) down.push_back(st);
    if (st.from - st.to == page && st.ms > at_top && st.ms <= dropped + 100) up.push_back(st);
  }
  auto rhythm = [](const std::vector<ScrollStep> &s, long arrived) {
    if (s.empty()) return false;
    if (s.front().ms - arrived < 150) return false;  // not before the first delay
    for (size_t i = 1; i < s.size(); ++i)
      if (s[i].ms - s[i - 1].ms < 250) return false;
    return true;
  };
  seen += "(page " + std::to_string(page) + ")";
  EXPECT_GE(down.size(), 2u) << seen;
  EXPECT_TRUE(rhythm(down, at_bottom)) << seen;
  EXPECT_GE(up.size(), 2u) << seen;
  EXPECT_TRUE(rhythm(up, at_top)) << seen;
  // Away from the edges nothing moves; the drop ends the scrolling.
  EXPECT_EQ(before_top, after_leaving) << seen;
  EXPECT_EQ(later, after_drop) << seen;
  EXPECT_EQ(tree->autoscroll_id, XtIntervalId(0));
  int children = 0;
  for (wu_tree_node *n = top->first_child; n; n = n->next) ++children;
  EXPECT_EQ(children, 120);  // nothing was dropped into the tree
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
  const std::vector<wu_tree_node *> kids = shownFolder("k", 300);
  clickNode(kids[0]->parent);
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


// Page by page through 100,000 rows (clicks in the scroll bar's trough)
// with the focus moving every hundred pages (a click on a drawn row, then
// Down): no widget is made or destroyed, the rows are drawn, and the
// owner's hook hears of every hand-over, the buttons serving the node they
// show.
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
    std::vector<wu_tree_node *> told;  // the nodes the hook was told of, in order
  } seen;
  _XdTreeSetButtonsProc(
      tree,
      [](wu_tree *, wu_tree_node *n, XtPointer closure) {
        static_cast<Seen *>(closure)->told.push_back(n);
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
  const std::vector<Widget> buttons = children();
  ASSERT_EQ(buttons.size(), 3u);
  // The buttons serve the node the hook was last told of, showing its text.
  auto checkHolder = [&](wu_tree_node *n) {
    ASSERT_FALSE(seen.told.empty());
    EXPECT_EQ(seen.told.back(), n);
    ASSERT_NE(n->label, nullptr);
    wu_tree_node *served = nullptr;
    XtVaGetValues(n->label, XmNuserData, &served, NULL);
    EXPECT_EQ(served, n);
    EXPECT_EQ(XdTreeWidgetToTreeNode(tree, n->label), n);
    XmString s = nullptr;
    XtVaGetValues(n->label, XmNlabelString, &s, NULL);
    char *t = _XdStringText(s);
    EXPECT_STREQ(t, n->text);
    XtFree(t);
    XmStringFree(s);
  };

  Display *dpy = xdtest::app().dpy;
  const unsigned long fg = tree->foreground & 0xffffff;
  int pages = 0, value = -1, maximum = 0, slider = 0, moves = 0;
  for (;;) {
    xdtest::pointerTo(tree->vsb, XtWidth(tree->vsb) / 2, XtHeight(tree->vsb) - 20);
    for (int i = 0; i < 100; ++i) {
      XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
      XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
      settle();
    }
    ASSERT_EQ(children(), buttons);  // not one widget made or destroyed
    int v = 0;
    XtVaGetValues(tree->vsb, XmNvalue, &v, XmNmaximum, &maximum, XmNsliderSize, &slider, NULL);
    pages += 100;
    if (v == value) break;
    value = v;
    // A row in the lower half of the view, drawn: its label's text is there.
    std::vector<std::string> shown = rows();
    ASSERT_GT(shown.size(), 5u);
    wu_tree_node *row = _XdTreeFindLabel(tree, shown[shown.size() / 2 + 1].c_str());
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->next, nullptr);
    ASSERT_EQ(row->label, nullptr);
    XRectangle r = rectOf(row);
    int ink = 0;
    for (int x = r.x + 3; x < r.x + r.width - 3; ++x)
      for (int y = r.y + 3; y < r.y + r.height - 3; ++y)
        if (pixelAt(x, y) == fg) ++ink;
    EXPECT_GT(ink, 5) << row->text;
    const size_t told = seen.told.size();
    clickNode(row);
    EXPECT_EQ(tree->focus, row);
    xdtest::key(XK_Down);
    EXPECT_EQ(tree->focus, row->next);
    EXPECT_EQ(seen.told.size(), told + 2);
    checkHolder(row->next);
    EXPECT_EQ(XmGetFocusWidget(tree->drawing_area), row->next->label);
    EXPECT_EQ(row->label, nullptr);
    ++moves;
  }
  // The trough ends once the slider covers the pointer: within a pixel of
  // the trough from the last page.
  EXPECT_GT(value, (maximum - slider) / 100 * 95);
  EXPECT_GT(moves, 100);
  const int rows_passed = value / tree->row_height;
  EXPECT_GT(pages, rows_passed / (XtHeight(tree->drawing_area) / tree->row_height));

  // The focus moves from the last page: a click, then arrow keys.
  wu_tree_node *last = _XdTreeFindLabel(tree, "r99999");
  ASSERT_NE(last, nullptr);
  XdTreeSetFocus(tree, last, 0);  // the view goes to the last row
  settle();
  checkHolder(last);
  clickNode(last);
  EXPECT_EQ(tree->focus, last);
  typeFast(XK_Up, 25);
  wu_tree_node *up = _XdTreeFindLabel(tree, "r99974");
  EXPECT_EQ(tree->focus, up);
  checkHolder(up);
  EXPECT_EQ(XmGetFocusWidget(tree->drawing_area), up->label);
  EXPECT_TRUE(focusShown(up));
  EXPECT_EQ(children(), buttons);
  EXPECT_EQ(xdtest::xErrors(), 0);
  EXPECT_TRUE(xdtest::takeWarnings().empty());
}

// Buttons out of view cannot take the keyboard, so with no node focused
// they stay on a row in view: a few pages down by the scroll bar, Tab from
// a button above the tree gives the keyboard to a row the user sees, and
// Down goes on from there with the view where it was.  With a focused row
// scrolled away, Tab brings the keyboard to that row, scrolled into view.
TEST_F(Tree, TabIntoAScrolledTreeLandsOnARowInView) {
  Widget before = XtVaCreateManagedWidget("before", xmPushButtonWidgetClass, form,
                                          XmNtopAttachment, XmATTACH_FORM, XmNleftAttachment,
                                          XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, NULL);
  XtVaSetValues(tree->scrolled_w, XmNtopAttachment, XmATTACH_WIDGET, XmNtopWidget, before, NULL);
  char text[16];
  for (int i = 0; i < 300; ++i) {
    snprintf(text, sizeof text, "n%d", i);
    add(text);
  }
  showTree();
  Display *dpy = xdtest::app().dpy;
  auto pageDown = [&](int pages) {
    xdtest::pointerTo(tree->vsb, XtWidth(tree->vsb) / 2, XtHeight(tree->vsb) - 20);
    for (int i = 0; i < pages; ++i) {
      XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
      XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
      settle();
    }
  };
  auto shows = [](const std::vector<std::string> &rows, const wu_tree_node *n) {
    return std::find(rows.begin(), rows.end(), n->text) != rows.end();
  };
  // The node whose buttons have the keyboard after Tab from `before`.
  auto tabIn = [&]() -> wu_tree_node * {
    xdtest::click(before);
    EXPECT_EQ(XmGetFocusWidget(before), before);
    xdtest::key(XK_Tab);
    xdtest::pump(100);
    Widget got = XmGetFocusWidget(tree->drawing_area);
    wu_tree_node *n = got ? XdTreeWidgetToTreeNode(tree, got) : nullptr;
    if (n == nullptr) {
      ADD_FAILURE() << "the keyboard is on " << (got ? XtName(got) : "nothing");
      return nullptr;
    }
    EXPECT_EQ(got, n->label);
    // The button that has the keyboard covers its row.
    const XRectangle r = rectOf(n);
    EXPECT_EQ(XtX(got), r.x);
    EXPECT_EQ(XtY(got), r.y);
    EXPECT_TRUE(XtIsManaged(got));
    return n;
  };

  pageDown(3);
  const std::vector<std::string> shown = rows();
  ASSERT_GT(shown.size(), 3u);
  ASSERT_NE(shown.front(), "n0");
  ASSERT_EQ(tree->focus, nullptr);
  wu_tree_node *n = tabIn();
  ASSERT_NE(n, nullptr);
  EXPECT_TRUE(shows(shown, n)) << n->text;
  xdtest::key(XK_Down);
  ASSERT_EQ(tree->focus, n->next);
  EXPECT_EQ(rows(), shown);

  wu_tree_node *focused = tree->focus;
  pageDown(3);
  ASSERT_FALSE(shows(rows(), focused));
  EXPECT_EQ(tabIn(), focused);
  EXPECT_TRUE(shows(rows(), focused));
  EXPECT_EQ(tree->focus, focused);
  EXPECT_EQ(xdtest::xErrors(), 0);
}
}  // namespace
