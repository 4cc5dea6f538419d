// What the benchmarks that drive the module's tree view share: the host's
// node records of a tree of 100 top-level folders, and the tree record
// behind a tree view.
#pragma once

#include <X11/Intrinsic.h>
#include <Xm/ScrolledW.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "xd/TreeP.h"

namespace qevbench {

// Host node records "node 0" ... "node n-1": 100 closed top-level folders,
// every other node a child of one of them, in the order the folders take
// them.  `folder(0)` starts the chain handed to `_addNodes`.
struct TreeNodes {
  static constexpr int kFolders = 100;
  std::vector<wu_node_record> recs;
  std::vector<std::string> labels;
  int per = 0;  // nodes per folder, the folder included
  explicit TreeNodes(int n) : recs(size_t(n)), labels(size_t(n)), per(n / kFolders) {
    for (int i = 0; i < n; ++i) {
      labels[size_t(i)] = "node " + std::to_string(i);
      wu_node_record &r = recs[size_t(i)];
      r = wu_node_record{};
      r.label = labels[size_t(i)].c_str();
      r.label_length = int32_t(labels[size_t(i)].size());
      r.icon = r.focus_icon = -1;
    }
    for (int t = 0; t < kFolders; ++t) {
      wu_node_record &top = folder(t);
      top.expandable = 1;
      if (t > 0) {
        top.prev = &folder(t - 1);
        folder(t - 1).next = &top;
      }
      if (per > 1) top.child = &recs[size_t(t * per + 1)];
      for (int k = 1; k < per; ++k) {
        wu_node_record &c = recs[size_t(t * per + k)];
        if (k > 1) c.prev = &recs[size_t(t * per + k - 1)];
        if (k + 1 < per) c.next = &recs[size_t(t * per + k + 1)];
      }
    }
  }
  wu_node_record &folder(int t) { return recs[size_t(t * per)]; }
};

// The tree record of a tree view: its scrolled window carries it.
inline wu_tree *treeOfView(wu_ctl_handle *h) {
  for (Widget w = wuwgxtw(h->control); w != nullptr; w = XtParent(w)) {
    if (!XmIsScrolledWindow(w)) continue;
    XtPointer data = nullptr;
    XtVaGetValues(w, XmNuserData, &data, nullptr);
    return static_cast<wu_tree *>(data);
  }
  return nullptr;
}

}  // namespace qevbench
