// Owner functions that destroy the whole tree or delete the node being
// handled, reached by real input (clicks, double clicks, keys, the pause
// after a keyboard move) and by the interface.  Each case runs in a child
// process of its own with a connection of its own, so a crash, a sanitizer
// report or (in the sanitizer build) a node left unreleased fails that case
// alone.
#include <gtest/gtest.h>

#include "child.h"
#include "xd/TreeP.h"
#include "xd/qevutil.h"
#include "xdtest.h"

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using xdtest::settle;

// What the owner's functions saw, and what they do to the tree.
struct Owner {
  std::vector<std::string> log;
  Widget shell = nullptr;
  wu_tree *tree = nullptr;
  bool shell_gone = false;
  enum Deed { kNothing, kDestroyTree, kDeleteNode, kInsertNode } deed = kNothing;
  std::string victim;  // the node whose function does the deed
};
Owner *g_owner = nullptr;

void onRelease(Widget w, wu_tree_node *n, XtPointer);

void act(const char *what, Widget, wu_tree_node *n) {
  Owner &o = *g_owner;
  o.log.push_back(std::string(what) + ":" + n->text);
  if (o.victim != n->text || o.deed == Owner::kNothing) return;
  Owner::Deed deed = o.deed;
  o.deed = Owner::kNothing;  // once
  if (deed == Owner::kDestroyTree) {
    XtDestroyWidget(o.shell);
    o.shell_gone = true;
  } else if (deed == Owner::kInsertNode) {
    auto *late = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
    late->text = XtNewString("late");
    late->release_proc = onRelease;
    if (XdTreeInsertNodeAt(o.tree, nullptr, late, XdTREE_INSERT_LAST_CHILD) != 0) {
      o.log.push_back("refused:late");
      XtFree(late->text);
      XtFree(reinterpret_cast<char *>(late));
    }
  } else {
    XdTreeDeleteTree(o.tree, n);
  }
}

void onExpand(Widget w, wu_tree_node *n, XtPointer) { act("expand", w, n); }
void onSelect(Widget w, wu_tree_node *n, XtPointer) { act("select", w, n); }
void onRelease(Widget w, wu_tree_node *n, XtPointer) { act("release", w, n); }
void onDouble(Widget w, wu_tree_node *n, XtPointer) { act("double", w, n); }
void onDelete(Widget w, wu_tree_node *n, XtPointer) { act("delete", w, n); }

wu_tree_node *add(wu_tree *tree, const char *text, wu_tree_node *parent) {
  auto *n = reinterpret_cast<wu_tree_node *>(XtCalloc(1, sizeof(wu_tree_node)));
  n->text = XtNewString(text);
  n->expandable = 1;
  n->expand_proc = onExpand;
  n->select_proc = onSelect;
  n->release_proc = onRelease;
  n->delete_proc = onDelete;
  EXPECT_EQ(XdTreeInsertNodeAt(tree, parent, n, XdTREE_INSERT_LAST_CHILD), 0);
  return n;
}

// The tree of every case: a(a1(a11) a2) b, with a expanded.
struct Scene {
  Owner owner;
  wu_tree_node *a = nullptr, *a1 = nullptr, *a11 = nullptr, *a2 = nullptr, *b = nullptr;

  Scene() {
    xdtest::reopen();
    g_owner = &owner;
    Widget form = nullptr;
    owner.shell = xdtest::makeShell(&form, 300, 260);
    owner.tree = XdCreateTree(form, nullptr, 0);
    wu_tree *t = owner.tree;
    a = add(t, "a", nullptr);
    a1 = add(t, "a1", a);
    a11 = add(t, "a11", a1);
    a2 = add(t, "a2", a);
    b = add(t, "b", nullptr);
    xdtest::show(owner.shell);
    XdTreeDraw(t);
    XdTreeExpandNode(a);
    settle();
    owner.log.clear();
  }

  void arm(Owner::Deed deed, const char *victim) {
    owner.deed = deed;
    owner.victim = victim;
  }

  // After the deed: the toolkit runs on without fault, and a tree that is
  // left still answers and draws.
  void after() {
    xdtest::pump(500);
    if (!owner.shell_gone) {
      EXPECT_EQ(XdTreeDraw(owner.tree), 0);
      xdtest::pump(100);
      XtDestroyWidget(owner.shell);
    }
    settle();
    EXPECT_EQ(xdtest::xErrors(), 0);
  }
};

void runCase(const char *name, const std::function<void(Scene &)> &body) {
  SCOPED_TRACE(name);
  int status = qevtest::runInChild(
      [&body] {
        Scene scene;
        body(scene);
        scene.after();
      },
      60, true);
  EXPECT_TRUE(qevtest::childPassed(status)) << name << ": " << qevtest::describeStatus(status);
}

using Log = std::vector<std::string>;

// The tree went in the middle of `before`: every node left was released
// with it, each once.
// The owner was told `what`.
bool Logged(const Scene &s, const std::string &what) {
  return std::find(s.owner.log.begin(), s.owner.log.end(), what) != s.owner.log.end();
}

void expectDestroyed(Scene &s, const Log &before) {
  const Log &log = s.owner.log;
  ASSERT_GE(log.size(), before.size());
  EXPECT_EQ(Log(log.begin(), log.begin() + long(before.size())), before);
  Log released;
  for (const std::string &e : log)
    if (e.rfind("release:", 0) == 0) released.push_back(e);
  std::sort(released.begin(), released.end());
  EXPECT_EQ(released, (Log{"release:a", "release:a1", "release:a11", "release:a2", "release:b"}));
}

TEST(TreeCallbacks, OwnerFunctionsReachedByInputMayDestroyTheTree) {
  runCase("select on a click", [](Scene &s) {
    s.arm(Owner::kDestroyTree, "a1");
    xdtest::clickNode(s.a1, XdTREE_PART_LABEL);
    expectDestroyed(s, Log{"select:a1"});
  });
  runCase("expand on a handle click", [](Scene &s) {
    s.arm(Owner::kDestroyTree, "a1");
    xdtest::clickNode(s.a1, XdTREE_PART_HANDLE);
    expectDestroyed(s, Log{"expand:a1"});
  });
  runCase("double click", [](Scene &s) {
    s.a1->double_click_proc = onDouble;
    xdtest::doubleClickNode(s.a1, XdTREE_PART_LABEL, [&s] { s.arm(Owner::kDestroyTree, "a1"); });
    expectDestroyed(s, (Log{"select:a1", "double:a1"}));
  });
  runCase("double click toggling into the expand function", [](Scene &s) {
    xdtest::doubleClickNode(s.a1, XdTREE_PART_LABEL, [&s] { s.arm(Owner::kDestroyTree, "a1"); });
    expectDestroyed(s, (Log{"select:a1", "expand:a1"}));
  });
  runCase("delete key", [](Scene &s) {
    xdtest::clickNode(s.a1, XdTREE_PART_LABEL);
    s.arm(Owner::kDestroyTree, "a1");
    xdtest::key(XK_Delete);
    expectDestroyed(s, (Log{"select:a1", "delete:a1"}));
  });
  runCase("activation after a keyboard move", [](Scene &s) {
    xdtest::clickNode(s.a, XdTREE_PART_LABEL);
    s.arm(Owner::kDestroyTree, "a1");
    xdtest::key(XK_Down);
    EXPECT_TRUE(xdtest::pumpUntil([&s] { return Logged(s, "select:a1"); })) << "the move activated a1";
    expectDestroyed(s, (Log{"select:a", "select:a1"}));
  });
  runCase("Left collapses into the expand function", [](Scene &s) {
    xdtest::clickNode(s.a, XdTREE_PART_LABEL);
    s.arm(Owner::kDestroyTree, "a");
    xdtest::key(XK_Left);
    expectDestroyed(s, (Log{"select:a", "expand:a"}));
  });
  runCase("collapse that hides the focus, into the select function", [](Scene &s) {
    XdTreeExpandNode(s.a1);
    settle();
    xdtest::clickNode(s.a11, XdTREE_PART_LABEL);
    s.arm(Owner::kDestroyTree, "a1");
    s.a1->expand_proc = nullptr;
    xdtest::clickNode(s.a1, XdTREE_PART_HANDLE);
    expectDestroyed(s, (Log{"expand:a1", "select:a11", "select:a1"}));
  });
  runCase("shift click in multiple selection", [](Scene &s) {
    s.owner.tree->multiple_selection = 1;
    xdtest::clickNode(s.a, XdTREE_PART_LABEL);
    s.arm(Owner::kDestroyTree, "a2");
    xdtest::clickNode(s.a2, XdTREE_PART_LABEL, 1, {XK_Shift_L});
    expectDestroyed(s, (Log{"select:a", "select:a2"}));
  });
}

TEST(TreeCallbacks, OwnerFunctionsReachedByInputMayDeleteTheirNode) {
  runCase("select on a click", [](Scene &s) {
    s.arm(Owner::kDeleteNode, "a1");
    xdtest::clickNode(s.a1, XdTREE_PART_LABEL);
    // The focus passes to the parent, told at once.
    EXPECT_EQ(s.owner.log, (Log{"select:a1", "release:a11", "select:a", "release:a1"}));
    EXPECT_EQ(_XdTreeFindLabel(s.owner.tree, "a1"), nullptr);
  });
  runCase("icon click", [](Scene &s) {
    s.arm(Owner::kDeleteNode, "a2");
    xdtest::clickNode(s.a2, XdTREE_PART_ICON);
    EXPECT_EQ(s.owner.log, (Log{"select:a2", "select:a", "release:a2"}));
  });
  runCase("expand on a handle click", [](Scene &s) {
    s.arm(Owner::kDeleteNode, "a1");
    xdtest::clickNode(s.a1, XdTREE_PART_HANDLE);
    EXPECT_EQ(s.owner.log, (Log{"expand:a1", "release:a11", "release:a1"}));
  });
  runCase("double click", [](Scene &s) {
    s.a2->double_click_proc = onDouble;
    xdtest::doubleClickNode(s.a2, XdTREE_PART_LABEL, [&s] { s.arm(Owner::kDeleteNode, "a2"); });
    EXPECT_EQ(s.owner.log, (Log{"select:a2", "double:a2", "select:a", "release:a2"}));
  });
  runCase("delete key, then the keys go on", [](Scene &s) {
    xdtest::clickNode(s.a2, XdTREE_PART_LABEL);
    s.arm(Owner::kDeleteNode, "a2");
    xdtest::key(XK_Delete);
    EXPECT_EQ(s.owner.log, (Log{"select:a2", "delete:a2", "select:a", "release:a2"}));
    EXPECT_EQ(s.owner.tree->focus, s.a);
    XdTreeDraw(s.owner.tree);
    settle();
    xdtest::key(XK_Down);
    EXPECT_EQ(s.owner.tree->focus, s.a1);
  });
  runCase("activation after a keyboard move", [](Scene &s) {
    xdtest::clickNode(s.a, XdTREE_PART_LABEL);
    s.arm(Owner::kDeleteNode, "a1");
    xdtest::key(XK_Down);
    EXPECT_TRUE(xdtest::pumpUntil([&s] { return Logged(s, "release:a1"); })) << "the move activated a1";
    EXPECT_EQ(s.owner.log,
              (Log{"select:a", "select:a1", "release:a11", "select:a", "release:a1"}));
    EXPECT_EQ(s.owner.tree->focus, s.a);
  });
  runCase("Right expands into an expand function that deletes", [](Scene &s) {
    xdtest::clickNode(s.b, XdTREE_PART_LABEL);
    add(s.owner.tree, "b1", s.b);
    s.owner.log.clear();
    s.arm(Owner::kDeleteNode, "b");
    xdtest::key(XK_Right);
    EXPECT_EQ(s.owner.log, (Log{"expand:b", "release:b1", "release:b"}));
    EXPECT_EQ(s.owner.tree->focus, nullptr);
  });
}

TEST(TreeCallbacks, FunctionsCalledByTheInterfaceMayDestroyTheTree) {
  runCase("release function while a subtree is deleted", [](Scene &s) {
    s.arm(Owner::kDestroyTree, "a11");
    EXPECT_EQ(XdTreeDeleteTree(s.owner.tree, s.a), 0);
    expectDestroyed(s, Log{"release:a11"});
  });
  runCase("select function while a deletion moves the focus", [](Scene &s) {
    XdTreeSetFocus(s.owner.tree, s.a2, 0);
    s.arm(Owner::kDestroyTree, "a");
    EXPECT_EQ(XdTreeDeleteTree(s.owner.tree, s.a2), 0);
    expectDestroyed(s, Log{"select:a"});
  });
  runCase("expand function called by XdTreeToggleNode", [](Scene &s) {
    s.arm(Owner::kDestroyTree, "a");
    EXPECT_EQ(XdTreeToggleNode(s.a), 1);
    expectDestroyed(s, Log{"expand:a"});
  });
  runCase("expand function deleting its node, called by XdTreeExpandNode", [](Scene &s) {
    XdTreeCollapseNode(s.a);
    settle();
    xdtest::takeWarnings();
    s.owner.log.clear();
    s.arm(Owner::kDeleteNode, "a");
    EXPECT_EQ(XdTreeExpandNode(s.a), 1);
    EXPECT_EQ(s.owner.log, (Log{"expand:a", "release:a11", "release:a1", "release:a2",
                                "release:a"}));
    // Warned, not crashed: the expanded word is left alone.
    std::vector<std::string> warnings = xdtest::takeWarnings();
    ASSERT_EQ(warnings.size(), 1u) << warnings[0] << " / " << warnings.back();
    EXPECT_NE(warnings[0].find("deleted by an owner function"), std::string::npos);
    EXPECT_EQ(_XdTreeFindLabel(s.owner.tree, "a"), nullptr);
  });
  // The owner adds a node from a release function while the tree is being
  // destroyed: no widget is made in the dying tree, and the node is
  // released with the rest.
  runCase("release function inserting a node while the tree is destroyed", [](Scene &s) {
    s.arm(Owner::kInsertNode, "a11");
    XtDestroyWidget(s.owner.shell);
    s.owner.shell_gone = true;
    settle();
    const Log &log = s.owner.log;
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(std::count(log.begin(), log.end(), "release:late"), 1) << log.size();
    EXPECT_TRUE(xdtest::takeWarnings().empty());
  });
  runCase("select function called by wuxatre", [](Scene &s) {
    s.arm(Owner::kDestroyTree, "b");
    wuxatre(s.owner.tree->drawing_area, s.b, nullptr);
    expectDestroyed(s, Log{"select:b"});
  });
}

}  // namespace
