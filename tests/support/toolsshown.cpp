#include "toolsshown.h"

#include <X11/IntrinsicP.h>
#include <Xm/Xm.h>

#include <map>
#include <sstream>

#include "modulehost.h"
#include "toolbox/wutbox.h"
#include "xserver.h"

namespace qevtest {

std::string toolsCut(Widget shell, Widget rowcol, int rows, int columns) {
  if (!shell || !rowcol || !XtIsRealized(shell)) return "no shell";
  Display *dpy = XtDisplay(shell);
  XSync(dpy, False);
  XWindowAttributes sa;
  if (!XGetWindowAttributes(dpy, XtWindow(shell), &sa) || sa.map_state != IsViewable)
    return "the shell is not shown";
  std::ostringstream out;
  std::map<int, int> per_row;   // y of a row -> buttons in it
  const CompositeWidget rc = reinterpret_cast<CompositeWidget>(rowcol);
  for (Cardinal i = 0; i < rc->composite.num_children; ++i) {
    Widget b = rc->composite.children[i];
    if (!XtIsManaged(b) || !XtIsRealized(b)) continue;
    XtWidgetGeometry want = {};
    XtQueryGeometry(b, nullptr, &want);
    XWindowAttributes ba;
    XGetWindowAttributes(dpy, XtWindow(b), &ba);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(dpy, XtWindow(b), XtWindow(shell), 0, 0, &x, &y, &child);
    out.str("");
    out << XtName(b) << " " << ba.width << "x" << ba.height << "+" << x << "+" << y << " in a shell of "
        << sa.width << "x" << sa.height;
    if (ba.width != want.width || ba.height != want.height)
      return out.str() + ", wanting " + std::to_string(want.width) + "x" + std::to_string(want.height);
    if (x < 0 || y < 0 || x + ba.width > sa.width || y + ba.height > sa.height) return out.str();
    // The far corner as the screen shows it: the button's bottom shadow.
    int rx = 0, ry = 0;
    XTranslateCoordinates(dpy, XtWindow(b), DefaultRootWindow(dpy), ba.width - 1, ba.height - 1, &rx, &ry,
                          &child);
    Pixel shadow = 0;
    XtVaGetValues(b, XmNbottomShadowColor, &shadow, nullptr);
    XColor c = {};
    c.pixel = shadow;
    XQueryColor(dpy, ba.colormap, &c);
    const unsigned long want_rgb = ((c.red >> 8) << 16) | ((c.green >> 8) << 8) | (c.blue >> 8);
    const unsigned long seen = pixelAt(dpy, 0, rx, ry);
    if (seen != want_rgb) {
      std::ostringstream px;
      px << std::hex << ", its far corner shows 0x" << seen << " for the shadow 0x" << want_rgb;
      return out.str() + px.str();
    }
    ++per_row[y];
  }
  if (int(per_row.size()) != rows)
    return "the buttons stand in " + std::to_string(per_row.size()) + " rows, not " + std::to_string(rows);
  for (const auto &r : per_row)
    if (r.second > columns)
      return std::to_string(r.second) + " buttons in a row of at most " + std::to_string(columns);
  return "";
}

std::string mergedToolsCut(int n, int perRow, int limitMs) {
  std::string cut = "no merged tool box";
  if (n < 1 || perRow < 1) return "no tools";
  const int rows = (n + perRow - 1) / perRow, columns = n < perRow ? n : perRow;
  turnUntil([&] {
    wu_merged_box *mb = wumgmbx();
    if (mb && mb->shell) cut = toolsCut(mb->shell, mb->rowcol, rows, columns);
    return cut.empty();
  }, limitMs);
  return cut;
}

}  // namespace qevtest
