#include "dragsource.h"

#include <cstring>
#include <string>

#include <X11/extensions/XTest.h>
#include <Xm/DrawingA.h>

#include "frames/wuframes.h"
#include "modulehost.h"
#include "script.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "xinput.h"
#include "qev/catalog.h"

namespace qevtest {

wu_dnd_site *offerText(Widget w, const char *text) {
  wu_dnd_site *site = wumrdnd(w);
  if (site == nullptr || wumsdnd(site) != WU_OK) return nullptr;
  return setOfferedText(site, text) == WU_OK ? site : nullptr;
}

Widget textSource(Widget parent, int x, int y, const char *text) {
  Widget source = XtVaCreateManagedWidget("source", xmDrawingAreaWidgetClass, parent, XmNx, x,
                                          XmNy, y, XmNwidth, 80, XmNheight, 40, nullptr);
  if (!turnUntil([source] { return viewable(source); })) return nullptr;
  return offerText(source, text) != nullptr ? source : nullptr;
}

int32_t setOfferedText(wu_dnd_site *site, const char *text) {
  std::string type = WU_DND_TARGET_QEVTEXT, item = text;
  wu_dnd_text types[1] = {{int32_t(type.size()), 0, type.data()}};
  wu_dnd_text items[1] = {{int32_t(item.size()), 0, item.data()}};
  wu_value in[2] = {};
  in[0].code = WU_DND_A_TYPES;
  in[1].code = WU_DND_A_ITEMS;
  in[0].type = in[1].type = WU_VT_STRLIST;
  in[0].value = in[1].value = 1;
  in[0].pointer = types;
  in[1].pointer = items;
  return wuxsdnd(site, in, 2);
}

bool dragFrom(Widget source, int to_x, int to_y) {
  Display *dpy = XtDisplay(source);
  int sx = 0, sy = 0;
  if (!rootPoint(source, 20, 20, &sx, &sy)) return false;
  XTestFakeMotionEvent(dpy, -1, sx, sy, CurrentTime);
  XTestFakeButtonEvent(dpy, 2, True, CurrentTime);
  if (!settle()) return false;
  wu_drag_desc desc = {sx, sy, 20, 20};
  int32_t started = 0;
  DragPath path = {dpy, XtWidgetToApplicationContext(source), sx, sy, to_x, to_y, 0};
  playDragPath(&path);
  if (wuwsdnd(source, 0, &desc, &started) != WU_OK || started != 1) return false;
  turnUntil([] { return !(devb->flags & int32_t(WU_DEV_DRAGGING)); }, 5000);
  // The path's last time-outs may still be due.
  turnUntil([&path] { return path.step > 10; }, 2000);
  return true;
}

}  // namespace qevtest
