// The children of a widget, as the menus and controls walk them.
#include <X11/IntrinsicP.h>
#include <X11/CompositeP.h>

#include "runtime/wutoolkit.h"

extern "C" int32_t wutgwcl(Widget w, WidgetList *children_out) {
  if (children_out != nullptr) *children_out = nullptr;
  // Only a live composite has children; anything else has none.
  if (w == nullptr || w->core.being_destroyed || !XtIsComposite(w)) return 0;
  CompositeWidget cw = reinterpret_cast<CompositeWidget>(w);
  if (children_out != nullptr) *children_out = cw->composite.children;
  return static_cast<int32_t>(cw->composite.num_children);
}
