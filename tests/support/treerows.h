// Test support: the rows of an XdTree are drawn, not widgets; these find a
// node's row on the screen and click it as a user does.
#pragma once

#include "xd/TreeP.h"

namespace qevtest {

// The middle of a part (XdTREE_PART_*; NONE: the whole row) of a node's
// row, in root coordinates; false when the row is not laid out.
bool treeNodePoint(wu_tree_node *n, int part, int *root_x, int *root_y);

// Moves the pointer there and presses and releases `button` (XTest), with
// the keys of `modifiers` held (0, or ShiftMask); false when the row is not
// laid out.  The caller lets the toolkit see the events.
bool clickTreeNode(wu_tree_node *n, int part = XdTREE_PART_LABEL, unsigned button = 1,
                   unsigned modifiers = 0);

}  // namespace qevtest
