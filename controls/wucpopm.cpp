// The string popup: a modal popup menu built from an array of labels, used
// by the controls' popup method.  An empty label or "-" is a separator.
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Separator.h>
#include <Xm/Xm.h>

#include <cstring>

#include "controls/wucontrol.h"
#include "runtime/wudevice.h"
#include "runtime/wutoolkit.h"

extern "C" wu_status wumdevt(Widget w, int32_t block) __attribute__((weak));

namespace {

void chosen(Widget w, XtPointer client, XtPointer) {
  XtPointer result = nullptr;
  XtVaGetValues(w, XmNuserData, &result, nullptr);
  if (result != nullptr) *static_cast<int32_t *>(result) = static_cast<int32_t>(
                             reinterpret_cast<intptr_t>(client));
  // A choice ends the menu even when it was posted without a grab.
  if (XtIsManaged(XtParent(w))) XtUnmanageChild(XtParent(w));
}

bool is_separator(const char *label) {
  return label == nullptr || label[0] == '\0' || std::strcmp(label, "-") == 0;
}

// Places the menu at the centre of a widget, or at the pointer.
void place(Widget menu, Widget w) {
  Position x = 0, y = 0;
  if (w != nullptr && XtIsRealized(w)) {
    Dimension width = 0, height = 0;
    XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
    XtTranslateCoords(w, Position(width / 2), Position(height / 2), &x, &y);
  } else {
    Window root, child;
    int rx = 0, ry = 0, wx, wy;
    unsigned mask;
    XQueryPointer(devb->display, RootWindow(devb->display, devb->screen), &root, &child, &rx, &ry,
                  &wx, &wy, &mask);
    x = Position(rx);
    y = Position(ry);
  }
  XtVaSetValues(menu, XmNx, x, XmNy, y, nullptr);
}

}  // namespace

extern "C" int32_t wumhpop(Widget w, char **labels, int32_t count, const int32_t *enabled,
                           const char *mnemonics, const int32_t *) {
  if (!wu_x_ok() || labels == nullptr || count <= 0) return 0;
  Arg args[8];
  Cardinal n = 0;
  XtSetArg(args[n], XmNpopupEnabled, False); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  Widget menu = XmCreatePopupMenu(devb->toplevel, const_cast<char *>("_popup"), args, n);
  int32_t result = -1;
  for (int32_t i = 0; i < count; ++i) {
    const char *label = labels[i];
    if (is_separator(label)) {
      XtCreateManagedWidget(label && label[0] ? label : "separator", xmSeparatorWidgetClass, menu,
                            nullptr, 0);
      continue;
    }
    XmString s = XmStringCreateLocalized(const_cast<char *>(label));
    n = 0;
    XtSetArg(args[n], XmNlabelString, s); ++n;
    XtSetArg(args[n], XmNuserData, &result); ++n;
    if (devb->font_list) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
    if (mnemonics != nullptr && mnemonics[i] != 0 && devb->prefs.pmenu_mnemonics) {
      XtSetArg(args[n], XmNmnemonic, KeySym(static_cast<unsigned char>(mnemonics[i]))); ++n;
    }
    Widget b = XtCreateManagedWidget(label, xmPushButtonWidgetClass, menu, args, n);
    XmStringFree(s);
    if (enabled != nullptr && enabled[i] == 0) XtSetSensitive(b, False);
    XtAddCallback(b, XmNactivateCallback, chosen, reinterpret_cast<XtPointer>(intptr_t(i)));
  }
  place(menu, w);
  XtManageChild(menu);
  if (wumdevt != nullptr) {
    wumdevt(menu, 1);
  } else {
    while (XtIsManaged(menu) && wutturn(-1)) {
    }
  }
  XtDestroyWidget(XtParent(menu));
  return result + 1;
}
