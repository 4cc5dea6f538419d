// Lists made, shown and released many times: the heap stays flat, within a
// small constant per cycle, for each of the three list kinds, and for tree
// views filled and emptied again and again.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "heapcount.h"
#include "listfixture.h"

namespace {

using qevtest::heapInUse;

const int kWarm = 300;
const int kCycles = 10000;
// Bytes a cycle may leave behind on average: allocator noise, not a leak.
const double kPerCycle = 16.0;

class ListMemory : public Lists {
 protected:
  // One cycle: a control made, shown and released.
  void Cycle(int32_t type) {
    wu_ctl_handle *h = nullptr;
    ASSERT_EQ(crea_(&h, pane_, nullptr, type, nullptr, 0, HostProc), WU_OK);
    XSync(devb->display, False);
    while (XtAppPending(devb->app)) XtAppProcessEvent(devb->app, XtIMAll);
    ASSERT_EQ(h->services->wdes(h), WU_OK);
    while (XtAppPending(devb->app)) XtAppProcessEvent(devb->app, XtIMAll);
  }
  void ExpectFlat(int32_t type, const char *name) {
    for (int i = 0; i < kWarm; ++i) Cycle(type);
    const size_t before = mallinfo2().uordblks;
    const qevhost::PoolStats pool = qevhost::poolStats(pool_);
    for (int i = 0; i < kCycles; ++i) {
      Cycle(type);
      if (HasFatalFailure()) return;
    }
    const size_t after = mallinfo2().uordblks;
    const double per = (double(after) - double(before)) / kCycles;
    RecordProperty(name, std::to_string(per));
    EXPECT_LT(per, kPerCycle) << name << ": " << per << " bytes a cycle";
    const qevhost::PoolStats now = qevhost::poolStats(pool_);
    EXPECT_EQ(now.liveBlocks, pool.liveBlocks) << name;
    EXPECT_EQ(now.liveBytes, pool.liveBytes) << name;
  }
};

// Host records of a tree: `folders` top-level folders in one sibling
// chain, each with a chain of `per` children, linked both ways.
struct HostTree {
  std::vector<wu_node_record> recs;
  std::vector<std::string> labels;
  HostTree(int folders, int per) : recs(size_t(folders * (per + 1))), labels(recs.size()) {
    for (size_t k = 0; k < recs.size(); ++k) {
      labels[k] = "node " + std::to_string(k);
      recs[k] = wu_node_record{};
      recs[k].label = labels[k].c_str();
      recs[k].label_length = int32_t(labels[k].size());
      recs[k].icon = recs[k].focus_icon = -1;
    }
    for (int f = 0; f < folders; ++f) {
      wu_node_record &top = recs[size_t(f * (per + 1))];
      top.expandable = 1;
      if (f > 0) Link(&recs[size_t((f - 1) * (per + 1))], &top);
      top.child = &recs[size_t(f * (per + 1) + 1)];
      for (int c = 1; c < per; ++c)
        Link(&recs[size_t(f * (per + 1) + c)], &recs[size_t(f * (per + 1) + c + 1)]);
    }
  }
  static void Link(wu_node_record *a, wu_node_record *b) {
    a->next = b;
    b->prev = a;
  }
};

class TreeMemory : public ListMemory {
 protected:
  static constexpr int kFolders = 10;
  static constexpr int kPer = 99;
  static constexpr int kFills = 10;  // fills and emptyings in one control

  wu_status Method(wu_ctl_handle *h, int32_t method, wu_value *p, int32_t n) {
    return h->services->meth(h, method, p, n);
  }
  // The first top-level node's copy, or null when the tree is empty.
  wu_node_record *FirstTop(wu_ctl_handle *h) {
    wu_value g[2] = {};
    g[0].type = WU_VT_NODE;
    EXPECT_EQ(Method(h, WU_M_GETPARENT, g, 2), WU_OK);
    return static_cast<wu_node_record *>(g[1].pointer);
  }
  void Pump() {
    XSync(devb->display, False);
    while (XtAppPending(devb->app)) XtAppProcessEvent(devb->app, XtIMAll);
  }
  // The whole tree added in one call, shown, then emptied the way a host
  // refreshes it: each folder's children, then the folder.
  void FillAndEmpty(wu_ctl_handle *h, HostTree &tree) {
    wu_value p[3] = {};
    p[0].type = WU_VT_NODE;
    p[1].type = WU_VT_NODE;
    p[1].pointer = &tree.recs[0];
    p[2] = Int(3, 3);
    ASSERT_EQ(Method(h, WU_M_ADDNODES, p, 3), WU_OK);
    Pump();
    int folders = 0;
    while (wu_node_record *top = FirstTop(h)) {
      wu_value d = {};
      d.type = WU_VT_NODE;
      d.pointer = top;
      ASSERT_EQ(Method(h, WU_M_DELETECHILDREN, &d, 1), WU_OK);
      ASSERT_EQ(top->child, nullptr);
      ASSERT_EQ(Method(h, WU_M_DELETENODE, &d, 1), WU_OK);
      // The deleted copy reads as a cleared record.
      ASSERT_EQ(top->key, nullptr);
      ++folders;
    }
    EXPECT_EQ(folders, kFolders);
    Pump();
  }
  // A tree view made, filled and emptied kFills times, and released; the
  // host is told of every node freed.  The host's log is emptied after each
  // cycle, keeping its room.
  void Cycle(HostTree &tree) {
    wu_ctl_handle *h = nullptr;
    ASSERT_EQ(crea_(&h, pane_, nullptr, WU_CTYPE_TREEVIEW, nullptr, 0, HostProc), WU_OK);
    Pump();
    for (int k = 0; k < kFills; ++k) {
      FillAndEmpty(h, tree);
      if (HasFatalFailure()) return;
    }
    ASSERT_EQ(h->services->wdes(h), WU_OK);
    Pump();
    EXPECT_EQ(std::count(g_proc.codes.begin(), g_proc.codes.end(), WU_EV_FREE),
              std::ptrdiff_t(kFills) * std::ptrdiff_t(tree.recs.size()));
    g_proc.codes.clear();
    g_proc.keys.clear();
    g_proc.tasks.clear();
  }
};

// Nodes added and deleted by the thousand leave nothing behind: the node
// records a released tree kept go back to be used again, and the control's
// own tables do not grow with the nodes it has had.
TEST_F(TreeMemory, FillingAndEmptyingTreesKeepsTheHeapFlat) {
  HostTree tree(kFolders, kPer);
  const int kCycles = 5;
  Cycle(tree);
  Cycle(tree);
  if (HasFatalFailure()) return;
  const size_t before = heapInUse();
  const qevhost::PoolStats pool = qevhost::poolStats(pool_);
  for (int k = 0; k < kCycles; ++k) {
    Cycle(tree);
    if (HasFatalFailure()) return;
  }
  const qevhost::PoolStats now = qevhost::poolStats(pool_);
  EXPECT_EQ(now.liveBlocks, pool.liveBlocks);
  EXPECT_EQ(now.liveBytes, pool.liveBytes);
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  const double per = (double(heapInUse()) - double(before)) / (kCycles * kFills);
  RecordProperty("tree view fill", std::to_string(per));
  // A fill and emptying is 1,000 nodes in and out: a node that left as
  // little as one heap chunk behind would show as 16 bytes a node.
  const double per_node = per / double(tree.recs.size());
  EXPECT_LT(per_node, 2.0) << per << " bytes a fill";
}

TEST_F(ListMemory, TenThousandCyclesOfEachKindKeepTheHeapFlat) {
  if (!QEV_HEAP_COUNTED) GTEST_SKIP() << "the sanitizer's allocator is not counted by mallinfo2";
  ExpectFlat(WU_CTYPE_LISTBOX, "list box");
  ExpectFlat(WU_CTYPE_LISTVIEW, "list view");
  ExpectFlat(WU_CTYPE_TREEVIEW, "tree view");
}

}  // namespace
