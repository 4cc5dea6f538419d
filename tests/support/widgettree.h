// Test support: the widgets below a widget, popup shells included.
#pragma once

#include <X11/IntrinsicP.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace qevtest {

// Every widget below `w` (itself first), popups included, in creation order.
inline void widgetTree(Widget w, std::vector<Widget> *out) {
  out->push_back(w);
  if (XtIsComposite(w)) {
    auto *c = reinterpret_cast<CompositeWidget>(w);
    for (Cardinal i = 0; i < c->composite.num_children; ++i) widgetTree(c->composite.children[i], out);
  }
  if (XtIsWidget(w))
    for (Cardinal i = 0; i < w->core.num_popups; ++i) widgetTree(w->core.popup_list[i], out);
}

// The nth widget named `name` below `root` that is not being destroyed.
inline Widget namedWidget(Widget root, const char *name, size_t nth = 0) {
  std::vector<Widget> all;
  if (root) widgetTree(root, &all);
  for (Widget w : all)
    if (!w->core.being_destroyed && std::strcmp(XtName(w), name) == 0 && nth-- == 0) return w;
  return nullptr;
}

}  // namespace qevtest
