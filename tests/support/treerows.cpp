#include "treerows.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "xd/TreeP.h"
#include "xinput.h"

namespace qevtest {

bool treeNodePoint(wu_tree_node *n, int part, int *root_x, int *root_y) {
  XRectangle r;
  if (n == nullptr || n->tree == nullptr || !_XdTreeNodeRect(n, part, &r)) return false;
  return rootPoint(n->tree->drawing_area, r.x + r.width / 2, r.y + r.height / 2, root_x, root_y);
}

bool clickTreeNode(wu_tree_node *n, int part, unsigned button, unsigned modifiers) {
  int x = 0, y = 0;
  if (!treeNodePoint(n, part, &x, &y)) return false;
  Display *dpy = XtDisplay(n->tree->drawing_area);
  const KeyCode shift = XKeysymToKeycode(dpy, XK_Shift_L);
  XSync(dpy, False);
  XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
  if (modifiers & ShiftMask) XTestFakeKeyEvent(dpy, shift, True, CurrentTime);
  XTestFakeButtonEvent(dpy, button, True, CurrentTime);
  XTestFakeButtonEvent(dpy, button, False, CurrentTime);
  if (modifiers & ShiftMask) XTestFakeKeyEvent(dpy, shift, False, CurrentTime);
  XFlush(dpy);
  return true;
}

}  // namespace qevtest
