// The string popup: a modal popup menu built from an array of labels, used
// by the controls' popup method.  An empty label or "-" is a separator.
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Separator.h>
#include <Xm/Xm.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "frames/wutframe.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

extern "C" {
wu_status wumdevt(Widget w, int32_t block) __attribute__((weak));
wu_status wumwait(Widget w, const void *holder, int32_t *destroyed) __attribute__((weak));
// The icon store (frames layer).
wu_status wutgpix(int32_t icon, const wu_icon_colours *colours, int32_t depth, int32_t flag,
                  Pixmap *pixmap_out, int32_t *width_out, int32_t *height_out)
    __attribute__((weak));
wu_status wutfpix(Pixmap pixmap) __attribute__((weak));
// Menu item drawing and mnemonic placement (menus layer).
void wuwmdrw(Widget w, XtPointer client, XEvent *event, Boolean *go_on) __attribute__((weak));
int32_t PutMnemonic(char *label, int32_t mnemonic) __attribute__((weak));
}

namespace {

void chosen(Widget w, XtPointer client, XtPointer) {
  XtPointer result = nullptr;
  XtVaGetValues(w, XmNuserData, &result, nullptr);
  if (result != nullptr) *static_cast<int32_t *>(result) = static_cast<int32_t>(
                             reinterpret_cast<intptr_t>(client));
  // A choice ends the menu even when it was posted without a grab.
  if (XtIsManaged(XtParent(w))) XtUnmanageChild(XtParent(w));
}

// Menu icons: 16 by 16 pixels, drawn in a left margin of kIconMargin.
constexpr int32_t kIconSet16 = 8192;      // icon number + this: the 16-pixel set
constexpr Dimension kIconMargin = 21;
// Expose code of wuwmdrw that draws a popup item's label pixmap.
constexpr intptr_t kDrawLabel = 123;

// The 16-pixel icon of an item's command, or None.
Pixmap item_icon(int32_t command_id) {
  if (command_id == 0 || wutgpix == nullptr || devb->prefs.suppress_menu_icons) return None;
  const int32_t icon = yucc2ic(command_id);
  if (icon <= 0) return None;
  Pixmap p = None;
  int32_t width = 0, height = 0;
  if (wutgpix(icon + kIconSet16, nullptr, devb->depth, 0, &p, &width, &height) != WU_OK) return None;
  return p;
}

// The menus' colour arguments (shadows included).
int32_t ColourArgs(const wu_colour_set &c, Arg *args, int32_t n) {
  XtSetArg(args[n], XmNbackground, c.background); ++n;
  XtSetArg(args[n], XmNforeground, c.foreground); ++n;
  return wuwspmc(&c, args, n);
}

// True when the label holds the character in either case form.
bool ContainsEitherCase(const char *label, int32_t c) {
  for (const char *p = label; *p; ++p)
    if (std::tolower(static_cast<unsigned char>(*p)) == std::tolower(c)) return true;
  return false;
}

// The character through the host's upper-case translation table.
int32_t UpperCase(int32_t c) {
  char ch = char(c);
  if (wztxxlt(2, &ch, &ch, 1) != WU_OK) return c;
  return static_cast<unsigned char>(ch);
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

// The widget a menu is opened for, watched while the menu is up.
struct Anchor {
  Widget menu;
  bool gone;
};

// The widget went (its control or window was released): the menu closes
// with nothing chosen.
void AnchorGone(Widget, XtPointer client, XtPointer) {
  auto *a = static_cast<Anchor *>(client);
  a->gone = true;
  if (a->menu && XtIsManaged(a->menu)) XtUnmanageChild(a->menu);
}

void MenuGone(Widget, XtPointer client, XtPointer) { static_cast<Anchor *>(client)->menu = nullptr; }

}  // namespace

extern "C" int32_t wumhpop(Widget w, char **labels, int32_t count, const int32_t *enabled,
                           const char *mnemonics, const int32_t *command_ids) {
  if (!wu_x_ok() || labels == nullptr || count <= 0) return 0;
  // The menu and its items are in the dialog colours.
  wu_colour_set colours{};
  const bool coloured = wuwgpmc(nullptr, WU_CSET_DIALOG, &colours) == WU_OK;
  Arg args[20];
  Cardinal n = 0;
  if (coloured) n = Cardinal(ColourArgs(colours, args, int32_t(n)));
  XtSetArg(args[n], XmNpopupEnabled, False); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  Widget menu = XmCreatePopupMenu(devb->toplevel, const_cast<char *>("_popup"), args, n);
  int32_t result = -1;
  std::vector<Pixmap> icons;   // the store's pixmaps, given back with the menu
  for (int32_t i = 0; i < count; ++i) {
    const char *label = labels[i];
    std::string dbcs_label;   // double-byte mode: the label with its mnemonic placed
    if (is_separator(label)) {
      XtCreateManagedWidget(label && label[0] ? label : "separator", xmSeparatorWidgetClass, menu,
                            nullptr, 0);
      continue;
    }
    const bool dbcs = wu_gcb() != nullptr && wu_gcb()->multibyte;
    const bool use_mnemonic = mnemonics != nullptr && mnemonics[i] != 0 && devb->prefs.pmenu_mnemonics;
    int32_t mnemonic = use_mnemonic ? static_cast<unsigned char>(mnemonics[i]) : 0;
    if (dbcs) {
      if (label[0] == ' ') ++label;
      if (use_mnemonic && PutMnemonic) {
        // The letter is placed in the label (in parentheses when the label
        // lacks it); the one placed is the mnemonic.
        dbcs_label = label;
        dbcs_label.append(3, '\0');
        if (const int32_t placed = PutMnemonic(&dbcs_label[0], mnemonic)) mnemonic = placed;
        label = dbcs_label.c_str();
      }
      if (mnemonic && ContainsEitherCase(label, mnemonic)) mnemonic = UpperCase(mnemonic);
    }
    XmString s = wumtstr(label);
    n = 0;
    XtSetArg(args[n], XmNlabelString, s); ++n;
    XtSetArg(args[n], XmNuserData, &result); ++n;
    if (devb->font_list) { XtSetArg(args[n], XmNfontList, devb->font_list); ++n; }
    if (coloured) {
      XtSetArg(args[n], XmNbackground, colours.background); ++n;
      XtSetArg(args[n], XmNforeground, colours.foreground); ++n;
    }
    if (mnemonic) {
      XtSetArg(args[n], XmNmnemonic, KeySym(mnemonic)); ++n;
      if (dbcs && devb->motifres.mnemonic_charset) {
        XtSetArg(args[n], XmNmnemonicCharSet, devb->motifres.mnemonic_charset); ++n;
      }
    }
    const Pixmap icon = command_ids != nullptr ? item_icon(command_ids[i]) : Pixmap(None);
    if (icon != None) {
      icons.push_back(icon);
      XtSetArg(args[n], XmNlabelPixmap, icon); ++n;
      XtSetArg(args[n], XmNmarginLeft, kIconMargin); ++n;
      XtSetArg(args[n], XmNmarginRight, kIconMargin); ++n;
    }
    Widget b = XtCreateManagedWidget(label, xmPushButtonWidgetClass, menu, args, n);
    XmStringFree(s);
    if (icon != None && wuwmdrw)
      XtAddEventHandler(b, ExposureMask, False, wuwmdrw, reinterpret_cast<XtPointer>(kDrawLabel));
    if (enabled != nullptr && enabled[i] == 0) XtSetSensitive(b, False);
    XtAddCallback(b, XmNactivateCallback, chosen, reinterpret_cast<XtPointer>(intptr_t(i)));
  }
  place(menu, w);
  // The menu serves the widget it is opened for: its destruction ends the
  // wait as a cancel.
  Anchor anchor = {menu, false};
  const bool anchored = w != nullptr;
  if (anchored) {
    XtAddCallback(w, XmNdestroyCallback, AnchorGone, &anchor);
    XtAddCallback(menu, XmNdestroyCallback, MenuGone, &anchor);
  }
  XtManageChild(menu);
  // The wait ends as a cancel when the menu is destroyed, the display is
  // lost or the module is shut down meanwhile; the menu is not touched then.
  // The menu serves whatever the waits it is opened from serve (the dialog,
  // window or control of an enclosing wait): their release ends it too.
  int32_t gone = 0;
  if (wumwait != nullptr) {
    wumwait(menu, nullptr, &gone);
  } else {
    while (XtIsManaged(menu) && wutturn(-1)) {
    }
  }
  if (anchored && !anchor.gone && devb != nullptr)
    XtRemoveCallback(w, XmNdestroyCallback, AnchorGone, &anchor);
  if (anchor.menu != nullptr && devb != nullptr)
    XtRemoveCallback(anchor.menu, XmNdestroyCallback, MenuGone, &anchor);
  if (!gone && devb != nullptr) XtDestroyWidget(XtParent(menu));
  if (wutfpix != nullptr && devb != nullptr)
    for (Pixmap p : icons) wutfpix(p);
  return gone ? 0 : result + 1;
}
