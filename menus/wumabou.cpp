// The About box: one shared information dialog with the host's banner, a
// symbol and five titled sections (the product, the operating system, the
// X server and toolkit, the display's colours), with buttons for the
// copyright texts and, when the host has one, a product-information text.
#include <X11/IntrinsicP.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/MessageB.h>
#include <Xm/MwmUtil.h>
#include <Xm/VirtKeys.h>
#include <Xm/Xm.h>
#include <X11/keysym.h>
#include <sys/utsname.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "frames/wuframes.h"
#include "frames/wutframe.h"
#include "commands/wucmds.h"
#include "menus/wumenus.h"
#include "toolbox/wutbox.h"
#include "runtime/wudevice.h"
#include "runtime/wufmt.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

// The toolkit library's version text.
extern "C" const char _XmVersionString[] __attribute__((weak));

namespace {

const int32_t kSet = 526;
enum {
  kMsgBanner = 17, kMsgProduct = 18, kMsgProduct2 = 19, kMsgCopyrightSection = 20,
  kMsgToolkit = 21, kMsgSystem = 289, kMsgColours = 655, kMsgCopyrightButton = 354,
  kMsgCopyrightTitle = 353, kMsgProductButton = 554, kMsgProductTitle = 553,
};
enum { kCodeCopyright = 2, kCodeClose = 4, kCodeProduct = 7 };
enum {
  kKeySystem = 290, kKeyRelease = 291, kKeyVersion = 292, kKeyToolkit = 22, kKeyProtocol = 23,
  kKeyDisplay = 24, kKeyVendor = 25, kKeyVendorRelease = 26, kKeyVisual = 653, kKeyDepth = 667,
  kKeyCount = 654,
};
const int32_t kSymbolImage = -12, kSymbolSize = 48;
const int32_t kValueMax = 256;
const int32_t kProtocolVersion = 6;
const int kPlacementOffset = 50;
const char kNoInformation[] = "Internal error. No information.";
const char kLogType[QEV_LIBREF_LEN + 1] = "LOG     ";
const char kDefaultEntry[] = "DLGABOUT";

std::string Message(int32_t number, const char *fallback) {
  char *m = wuxgmft(kSet, number);
  std::string out = m ? m : (fallback ? fallback : "");
  wumfree(m);
  return out;
}

// The message (526, key) with the value filled in through the checked
// formatter; an unknown key gives the bare message.
std::string Format(int32_t key, const qev_arg *arg) {
  char *format = wuxgmft(kSet, key);
  if (!format) return std::string();
  std::string out;
  if (arg) {
    char buf[kValueMax + 1];
    wutsfmt(buf, int32_t(sizeof buf), format, -1, 1, arg);
    out = buf;
  } else {
    out = format;
  }
  wumfree(format);
  return out;
}

std::string Text(int32_t key, const std::string &value) {
  qev_arg a{QEV_ARG_TEXT, int32_t(value.size()), value.c_str(), 0};
  return Format(key, &a);
}

std::string Number(int32_t key, int32_t value) {
  qev_arg a{QEV_ARG_INT, 0, nullptr, value};
  return Format(key, &a);
}

// The toolkit's version as the running library gives it: major, minor and
// update level, three numbers for the host's format.
std::string ToolkitVersion(int32_t key) {
  int32_t update = XmUPDATE_LEVEL;
  // The library's version text ends in "major.minor.update".
  if (&_XmVersionString != nullptr) {
    const char *v = _XmVersionString;
    const char *last = std::strrchr(v, '.');
    if (last && last[1] >= '0' && last[1] <= '9') update = std::atoi(last + 1);
  }
  const qev_arg a[3] = {{QEV_ARG_INT, 0, nullptr, xmUseVersion / 1000},
                        {QEV_ARG_INT, 0, nullptr, xmUseVersion % 1000},
                        {QEV_ARG_INT, 0, nullptr, update}};
  char *format = wuxgmft(kSet, key);
  if (!format) return std::string();
  char buf[kValueMax + 1];
  wutsfmt(buf, int32_t(sizeof buf), format, -1, 3, a);
  wumfree(format);
  return buf;
}

std::string GetOperSysInf(int32_t key) {
  struct utsname u;
  if (uname(&u) != 0) return Format(key, nullptr);
  switch (key) {
    case kKeySystem: {
      const std::string name = std::strcmp(u.sysname, u.machine) == 0 || std::strcmp(u.sysname, u.nodename) == 0
                                   ? std::string("UNIX")
                                   : std::string(u.sysname);
      return Text(key, name);
    }
    case kKeyRelease: return Text(key, u.release);
    case kKeyVersion: return Text(key, u.version);
    default: return Format(key, nullptr);
  }
}

std::string GetMotifInfo(int32_t key) {
  Display *dpy = devb->display;
  switch (key) {
    case kKeyToolkit: return ToolkitVersion(key);
    case kKeyProtocol: return Number(key, kProtocolVersion);
    case kKeyDisplay: return Text(key, DisplayString(dpy));
    case kKeyVendor: return Text(key, ServerVendor(dpy));
    case kKeyVendorRelease: return Number(key, VendorRelease(dpy));
    default: return Format(key, nullptr);
  }
}

std::string GetColorInfo(int32_t key) {
  switch (key) {
    case kKeyVisual: {
      static const char *const kClasses[] = {"StaticGray", "GrayScale", "StaticColor",
                                             "PseudoColor", "TrueColor", "DirectColor"};
      const int c = devb->visual ? devb->visual->c_class : -1;
      return Text(key, c >= 0 && c < 6 ? kClasses[c] : "Unknown");
    }
    case kKeyDepth: return Number(key, devb->depth);
    case kKeyCount: return Number(key, devb->colour_ref_count);
    default: return Format(key, nullptr);
  }
}

// The about texts of a kind joined line by line, or item `item` (1-based)
// of the record.
std::string AboutText(int32_t kind, int32_t item) {
  int32_t count = 0;
  char **texts = wuxabou(kind, &count);
  if (!texts) return std::string();
  std::string out;
  if (item > 0) {
    if (item <= count) out = texts[item - 1];
  } else {
    for (int32_t i = 0; i < count; ++i) out += std::string(i ? "\n" : "") + texts[i];
  }
  vmfree_handler(wu_module_pool(), texts, -1, 0);
  return out;
}

using ValueFn = std::string (*)(int32_t);

Widget Label(Widget parent, const char *name, const std::string &text) {
  XmString s = wumcl2r(text.c_str());
  Widget w = XtVaCreateManagedWidget(name, xmLabelWidgetClass, parent, XmNlabelString, s,
                                     XmNalignment, XmALIGNMENT_BEGINNING, nullptr);
  if (s) XmStringFree(s);
  return w;
}

// One section: a frame below `above` with its title and content.  Null
// when the section's title message is missing.
Widget MakeAboutItem(Widget form, Widget above, int32_t title, const int32_t *keys, int32_t count,
                     ValueFn value, int32_t record_item) {
  char *t = wuxgmft(kSet, title);
  if (!t) {
    wutlogf(QEV_LOG_ERROR, "BUGALERT: the About box section message (%d,%d) is missing.",
            int(kSet), int(title));
    return nullptr;
  }
  std::string heading = t;
  wumfree(t);
  Widget frame = XtVaCreateManagedWidget(
      "frame", xmFrameWidgetClass, form, XmNtopAttachment, above ? XmATTACH_WIDGET : XmATTACH_FORM,
      XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  if (above) XtVaSetValues(frame, XmNtopWidget, above, nullptr);
  Widget title_label = Label(frame, "title", heading);
  XtVaSetValues(title_label, XmNchildType, XmFRAME_TITLE_CHILD, nullptr);
  std::string info;
  for (int32_t i = 0; i < count; ++i) {
    std::string v = keys[i] == 0 ? AboutText(count == 1 && record_item == 0 ? WU_ABOUT_LINES : WU_ABOUT_RECORD, record_item)
                                 : value(keys[i]);
    if (v.empty()) continue;
    if (!info.empty()) info += '\n';
    info += v;
  }
  Label(frame, "info", info.empty() ? kNoInformation : info);
  return frame;
}

// The product text: the window's menu entry of type "LOG     ", else the
// entry "DLGABOUT", in the window's menu library.
qev_member *OpenProduct(wu_window *w, qev_lib **lib_out) {
  *lib_out = nullptr;
  if (!wu_reg_has(w, WU_REG_WINDOW)) return nullptr;
  qev_lib *lib = nullptr;
  if (ylopen(&lib, QEV_LIB_READ, w->menu_libref, w->menu_catalog) != WU_OK || !lib) return nullptr;
  qev_member *m = nullptr;
  if (ylmopen(lib, w->menu_entry, kLogType, QEV_LIB_READ, &m) != WU_OK || !m) {
    char entry[QEV_NAME34_LEN];
    const int16_t n = int16_t(sizeof kDefaultEntry - 1);
    std::memcpy(entry, &n, sizeof n);
    std::memset(entry + sizeof n, ' ', sizeof entry - sizeof n);
    std::memcpy(entry + sizeof n, kDefaultEntry, sizeof kDefaultEntry - 1);
    m = nullptr;
    if (ylmopen(lib, entry, kLogType, QEV_LIB_READ, &m) != WU_OK || !m) {
      ylclose(lib);
      return nullptr;
    }
  }
  *lib_out = lib;
  return m;
}

bool HasProductInformation(wu_window *w) {
  qev_lib *lib = nullptr;
  qev_member *m = OpenProduct(w, &lib);
  if (!m) return false;
  ylmclos(m, 0);
  ylclose(lib);
  return true;
}

std::string GetProductInfo(wu_window *w) {
  qev_lib *lib = nullptr;
  qev_member *m = OpenProduct(w, &lib);
  if (!m) return std::string();
  std::string out = "\n";
  char record[1024];
  int32_t length = 0;
  while (ylmread(m, record, int32_t(sizeof record), &length, 0) == WU_OK) {
    if (length < 0 || length > int32_t(sizeof record)) break;
    while (length > 0 && (record[length - 1] == ' ' || record[length - 1] == '\0')) --length;
    out.append(record, size_t(length));
    out += '\n';
  }
  ylmclos(m, 0);
  ylclose(lib);
  return out;
}

wu_window *Current() {
  wu_state *s = wu_module();
  return s && wu_reg_has(s->current, WU_REG_WINDOW) ? s->current : nullptr;
}

// A modal information dialog with one section; runs until closed.
void PostTextDialog(Widget parent, int32_t title_number, const char *default_title,
                    int32_t section, const std::string &text) {
  const std::string title = Message(title_number, default_title);
  XmString xt = wumcstr(title.c_str());
  Arg a[9];
  Cardinal n = 0;
  // Placed over the box it was asked from, as the About box is over its
  // window: the shared top-level shell it hangs on stays at the screen's
  // corner.
  if (parent && XtIsRealized(parent)) {
    Position x = 0, y = 0;
    XtTranslateCoords(parent, 0, 0, &x, &y);
    XtSetArg(a[n], XmNdefaultPosition, False); ++n;
    XtSetArg(a[n], XmNx, Position(x + kPlacementOffset)); ++n;
    XtSetArg(a[n], XmNy, Position(y + kPlacementOffset)); ++n;
  }
  XtSetArg(a[n], XmNdialogTitle, xt); ++n;
  XtSetArg(a[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL); ++n;
  XtSetArg(a[n], XmNmwmFunctions, MWM_FUNC_MOVE); ++n;
  XtSetArg(a[n], XmNmwmDecorations, MWM_DECOR_TITLE | MWM_DECOR_BORDER); ++n;
  XtSetArg(a[n], XmNautoUnmanage, True); ++n;
  Widget d = XmCreateInformationDialog(devb->toplevel, const_cast<char *>("aboutBox"), a, n);
  if (xt) XmStringFree(xt);
  XtUnmanageChild(XmMessageBoxGetChild(d, XmDIALOG_CANCEL_BUTTON));
  XtUnmanageChild(XmMessageBoxGetChild(d, XmDIALOG_HELP_BUTTON));
  Widget form = XtVaCreateManagedWidget("layout", xmFormWidgetClass, d, nullptr);
  char *heading = wuxgmft(kSet, section);
  Widget frame = XtVaCreateManagedWidget("frame", xmFrameWidgetClass, form, XmNtopAttachment,
                                         XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM,
                                         XmNrightAttachment, XmATTACH_FORM, nullptr);
  Widget tl = Label(frame, "title", heading ? heading : default_title);
  wumfree(heading);
  XtVaSetValues(tl, XmNchildType, XmFRAME_TITLE_CHILD, nullptr);
  Label(frame, "info", text.empty() ? kNoInformation : text);
  XtManageChild(d);
  wumdevt(d, 1);
  if (devb && !d->core.being_destroyed) XtDestroyWidget(XtParent(d));
}

// The box goes: its symbol goes back to the icon store.
void FreeSymbol(Widget w, XtPointer client, XtPointer) {
  wu_state *s = wu_module();
  if (s && s->about_box == w) s->about_box = nullptr;
  const Pixmap symbol = Pixmap(reinterpret_cast<uintptr_t>(client));
  if (symbol != None && wu_x_ok()) wutfpix(symbol);
}

// The top-left corner of a widget on the root window; false when it has
// no window yet.
bool Corner(Widget anchor, Position *x, Position *y) {
  if (!anchor || !XtIsRealized(anchor)) return false;
  XtTranslateCoords(anchor, 0, 0, x, y);
  return true;
}

// Places the box before it is shown: with no window and no dialog parent
// where the toolkit puts dialogs by default; at the corner of the dialog
// parent the host recorded, or of the workspace shell for a window inside
// the application workspace; else beside the window's outer widget.
void Place(Widget box, wu_window *w, Widget dialog_parent) {
  Position x = 0, y = 0;
  bool placed = false;
  if (dialog_parent && !dialog_parent->core.being_destroyed) {
    placed = Corner(dialog_parent, &x, &y);
  } else if (w && w->mode == 1) {
    placed = Corner(wumaws(w->session), &x, &y);
  } else if (w && Corner(w->outer, &x, &y)) {
    x = Position(x + kPlacementOffset);
    y = Position(y + kPlacementOffset);
    placed = true;
  }
  if (placed) XtVaSetValues(box, XmNdefaultPosition, False, XmNx, x, XmNy, y, nullptr);
  else XtVaSetValues(box, XmNdefaultPosition, True, nullptr);
}

// Builds the About box; null when a section cannot be made.
Widget MakeAboutDialog(const wu_colour_set &c) {
  const std::string title = AboutText(WU_ABOUT_RECORD, 3);
  const Pixmap symbol = wumldic(kSymbolImage, kSymbolSize, kSymbolSize);
  struct utsname u;
  const std::string message = Message(kMsgBanner, "") + (uname(&u) == 0 ? std::string(" ") + u.sysname : "");
  XmString xt = wumcstr(title.c_str()), xm = wumcl2r(message.c_str());
  Arg a[14];
  Cardinal n = 0;
  XtSetArg(a[n], XmNbackground, c.background); ++n;
  XtSetArg(a[n], XmNforeground, c.foreground); ++n;
  XtSetArg(a[n], XmNdefaultButtonType, XmDIALOG_OK_BUTTON); ++n;
  XtSetArg(a[n], XmNlabelFontList, devb->font_list); ++n;
  XtSetArg(a[n], XmNtextFontList, devb->font_list); ++n;
  XtSetArg(a[n], XmNautoUnmanage, False); ++n;
  XtSetArg(a[n], XmNdefaultPosition, False); ++n;
  XtSetArg(a[n], XmNdialogTitle, xt); ++n;
  XtSetArg(a[n], XmNmessageString, xm); ++n;
  if (symbol != None) { XtSetArg(a[n], XmNsymbolPixmap, symbol); ++n; }
  Widget box = XmCreateInformationDialog(devb->toplevel, const_cast<char *>("aboutBox"), a, n);
  if (xt) XmStringFree(xt);
  if (xm) XmStringFree(xm);
  XtAddCallback(box, XmNdestroyCallback, FreeSymbol, reinterpret_cast<XtPointer>(uintptr_t(symbol)));
  XtAddCallback(box, XmNokCallback, wuwacb, XtPointer(intptr_t(kCodeClose)));
  XmString copyright = wumcstr(Message(kMsgCopyrightButton, "Copyright").c_str());
  XtVaSetValues(box, XmNcancelLabelString, copyright, nullptr);
  XmStringFree(copyright);
  XtAddCallback(box, XmNcancelCallback, wuwacb, XtPointer(intptr_t(kCodeCopyright)));
  Widget help = XmMessageBoxGetChild(box, XmDIALOG_HELP_BUTTON);
  if (HasProductInformation(Current())) {
    XmString label = wumcstr(Message(kMsgProductButton, "Product Information").c_str());
    XtVaSetValues(box, XmNhelpLabelString, label, nullptr);
    XmStringFree(label);
    XtAddCallback(box, XmNhelpCallback, wuwacb, XtPointer(intptr_t(kCodeProduct)));
  } else {
    XtDestroyWidget(help);
  }
  Widget form = XtVaCreateManagedWidget("layout", xmFormWidgetClass, box, nullptr);
  static const int32_t kZero[] = {0};
  static const int32_t kSystemKeys[] = {kKeySystem, kKeyRelease, kKeyVersion};
  static const int32_t kToolkitKeys[] = {kKeyToolkit, kKeyProtocol, kKeyDisplay, kKeyVendor,
                                         kKeyVendorRelease};
  static const int32_t kColourKeys[] = {kKeyVisual, kKeyDepth, kKeyCount};
  Widget above = MakeAboutItem(form, nullptr, kMsgProduct, kZero, 1, nullptr, 2);
  if (above) above = MakeAboutItem(form, above, kMsgProduct2, kZero, 1, nullptr, 1);
  if (above) above = MakeAboutItem(form, above, kMsgSystem, kSystemKeys, 3, GetOperSysInf, 0);
  if (above) above = MakeAboutItem(form, above, kMsgToolkit, kToolkitKeys, 5, GetMotifInfo, 0);
  if (above) above = MakeAboutItem(form, above, kMsgColours, kColourKeys, 3, GetColorInfo, 0);
  if (!above) {
    XtDestroyWidget(XtParent(box));
    return nullptr;
  }
  return box;
}

// The callback came of the cancel key (Escape).
bool EscapeKey(const XmAnyCallbackStruct *cbs) {
  const XEvent *event = cbs ? cbs->event : nullptr;
  if (!event || event->type != KeyPress) return false;
  Modifiers mods = 0;
  KeySym sym = NoSymbol;
  XmTranslateKey(event->xkey.display, KeyCode(event->xkey.keycode), event->xkey.state, &mods, &sym);
  return sym == osfXK_Cancel || sym == XK_Escape;
}

}  // namespace

extern "C" {

void wuwoabt(Widget item, XtPointer client, XtPointer) {
  wu_state *s = wu_module();
  if (!s || !devb || !wu_x_ok()) return;
  // The item's window, else the given one.  An item whose window is gone
  // shows nothing; a call that names no window shows the box unplaced.
  wu_window *w = nullptr;
  if (item || client) {
    w = item || wu_reg_has(client, WU_REG_WINDOW) ? wumhwin(item, client) : nullptr;
    if (!w) return;
  }
  wu_colour_set c{};
  wuwgpmc(w, WU_CSET_EDITOR, &c);
  Widget box = s->about_box;
  if (box) {
    Pixel bg = 0;
    XtVaGetValues(box, XmNbackground, &bg, nullptr);
    if (bg != c.background) {
      XtDestroyWidget(XtParent(box));
      box = nullptr;
    }
  }
  if (!box) {
    box = MakeAboutDialog(c);
    s->about_box = box;
    if (!box) return;
  }
  if (XtIsManaged(box)) {
    XRaiseWindow(devb->display, XtWindow(XtParent(box)));
    return;
  }
  Place(box, w, s->dialog_parent);
  XtManageChild(box);
}

void wuwacb(Widget w, XtPointer client, XtPointer call) {
  wu_state *s = wu_module();
  if (!s || !s->about_box) return;
  int code = int(reinterpret_cast<intptr_t>(client));
  // Escape activates the dialog's cancel button, the one that shows the
  // copyright texts here: Escape closes the box, as OK does.
  if (code == kCodeCopyright && EscapeKey(static_cast<XmAnyCallbackStruct *>(call))) code = kCodeClose;
  switch (code) {
    case kCodeCopyright:
      PostTextDialog(w, kMsgCopyrightTitle, "Copyright...", kMsgCopyrightSection,
                     AboutText(WU_ABOUT_LINES, 0));
      break;
    case kCodeClose:
      XtDestroyWidget(XtParent(s->about_box));
      break;
    case kCodeProduct:
      PostTextDialog(w, kMsgProductTitle, "Product Information", kMsgProductTitle,
                     GetProductInfo(Current()));
      break;
    default:
      break;
  }
}

}  // extern "C"
