// The command window: one small top-level shell per module, titled after
// the active window, holding a command combo whose list is the command
// history and an Enter button.  Commands typed there are queued for the
// module's current window; an address ("scheme://...") becomes a browse
// command.  With merged tool boxes using their own command combo, asking
// for the command window shows the merged box's command part instead.
#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <X11/keysym.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/List.h>
#include <Xm/MwmUtil.h>
#include <Xm/Protocols.h>
#include <Xm/PushB.h>
#include <Xm/Text.h>
#include <Xm/VirtKeys.h>
#include <Xm/Xm.h>

#include <cstring>
#include <string>

#include "controls/wucombo.h"
#include "controls/wucontrol.h"
#include "frames/wuframes.h"
#include "frames/wutframe.h"
#include "commands/wucmds.h"
#include "menus/wumenus.h"
#include "toolbox/wutbox.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wufmt.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"

extern "C" wu_status wumndlg(wu_window *window) __attribute__((weak));
extern "C" wu_status wutgcbo(Widget parent, wu_combo *cb) __attribute__((weak));
extern "C" void wuwtlwn(Widget, XtPointer, XEvent *, Boolean *) __attribute__((weak));
extern "C" void wuwtlst(wu_control *c) __attribute__((weak));

namespace {

// Messages of set 526: the title prefix, the button label and the tip format.
const int32_t kMsgSet = 526, kMsgTitle = 3, kMsgButton = 12, kMsgTip = 627;
const int32_t kIconCommand = 1009;
// Dispatcher code of the tool-box load.
const int32_t kToolLoad = 39;
// Window-manager functions (close, minimise, move) and decorations (title,
// menu, minimise; with border when another window manager runs).
const int kMwmFunctions = MWM_FUNC_CLOSE | MWM_FUNC_MINIMIZE | MWM_FUNC_MOVE;
const int kMwmDecorations = MWM_DECOR_TITLE | MWM_DECOR_MENU | MWM_DECOR_MINIMIZE;
const int kMwmDecorationsOther = kMwmDecorations | MWM_DECOR_BORDER;
const int kWidthCells = 50, kWidthExtra = 4, kHeightCells = 3;
const int kSmallCell = 20, kLargeCell = 25, kSmallExtra = 6, kMediumExtra = 3;
// Auto-completion scrolls so that this many characters before the
// insertion point stay visible.
const int kScrollBack = 10;
const char kSubmitAction[] = "ComboSubmitCommand";
const char kListTranslations[] =
    "#override              <Btn2Down>: ListBeginSelect() \n"
    "             <Btn2Up>: ListEndSelect() ComboSubmitCommand() \n"
    "             Button2 <Motion>: ListButtonMotion()";
const char kBrowse[] = "WBROWSE ";

// The command window's widgets.
struct CommandWindow {
  Widget shell = nullptr;
  Widget top = nullptr;        // "topform", the window while it exists
  Widget dialog = nullptr;     // "commandDialog"
  Widget button = nullptr;     // "pb"
  Window icon_window = None;
  Pixmap icon = None;
  wu_window *served = nullptr; // the window it was shown or retitled for
};
// The tip record of the command text: a control record of the graph-button
// kind whose tip text is the format the command fills, its main widget the
// text.
struct CommandTip {
  wu_control c;
  wu_ctl_widgets w;
};
CommandWindow g_cw;
// The command combo, built with the window.  Two records take turns: the
// widgets of a window being replaced keep pointing at theirs until Xt has
// destroyed them.
wu_combo g_combos[2];
wu_combo *g_combo = &g_combos[0];
CommandTip g_tip;
Pixel g_background = 0;        // set 3's background the window was built with

// A blank in the host's character classes (plain space when the host gives
// no class table).
bool HostBlank(char c) {
  const qev_gcb *g = wu_gcb();
  const auto b = static_cast<unsigned char>(c);
  if (g && g->char_class) return (g->char_class[b] & QEV_CC_BLANK) != 0;
  return c == ' ';
}

wu_window *Current() {
  wu_state *s = wu_module();
  wu_window *w = s ? s->current : nullptr;
  return wu_reg_has(w, WU_REG_WINDOW) ? w : nullptr;
}

bool Mwm() { return devb && devb->toplevel && XmIsMotifWMRunning(devb->toplevel); }

// The title: the prefix, the session number from the second session on,
// and the window's name.
std::string Title(wu_window *w) {
  std::string title;
  if (char *prefix = wuxgmft(kMsgSet, kMsgTitle)) {
    title = prefix;
    wumfree(prefix);
  }
  if (wu_reg_has(w, WU_REG_WINDOW) && w->name && w->name_length > 0 && w->name_length < 4096) {
    if (devb && devb->session_number >= 2) title += std::to_string(devb->session_number);
    title += ':';
    title.append(w->name, size_t(w->name_length));
    // The name is host text: it ends at its first NUL.
    title = title.c_str();
  }
  return title;
}

void SetTitle(Widget shell, wu_window *w) {
  const std::string title = Title(w);
  XtVaSetValues(shell, XmNtitleEncoding, XA_STRING, XmNiconNameEncoding, XA_STRING, XmNiconName,
                title.c_str(), XmNtitle, title.c_str(), nullptr);
}

std::string TextOf(Widget text) {
  char *t = text ? XmTextGetString(text) : nullptr;
  std::string out = t ? t : "";
  XtFree(t);
  return out;
}

std::string ItemText(XmString item) {
  char *t = item ? wumgstr(item) : nullptr;
  std::string out = t ? t : "";
  XtFree(t);
  return out;
}

// The command combo a callback serves: one of the module's two command
// combos, while its widgets stand.
wu_combo *CommandCombo(XtPointer client) {
  auto *cb = static_cast<wu_combo *>(client);
  wu_state *s = wu_module();
  if (!s || !cb || !wu_reg_has(cb, WU_REG_COMBO)) return nullptr;
  if (cb != s->command_combos[WU_COMBO_CMDWIN] && cb != s->command_combos[WU_COMBO_TOOLBOX])
    return nullptr;
  return cb->text_w && cb->list ? cb : nullptr;
}

// Puts a command at the top of the history list; an equal item already
// there moves up instead of being added twice.
void AddToTop(Widget list, const std::string &text) {
  if (!list || text.empty()) return;
  XmString xs = wumcstr(text.c_str());
  if (!xs) return;
  while (int pos = XmListItemPos(list, xs)) XmListDeletePos(list, pos);
  XmListAddItem(list, xs, 1);
  XmStringFree(xs);
}

// The command tip goes with the window.
void ForgetTip() {
  wu_state *s = wu_module();
  if (wu_reg_has(&g_tip.c, WU_REG_CONTROL)) {
    if (wuwtlst) wuwtlst(&g_tip.c);
    wu_reg_remove(&g_tip.c);
  }
  if (s && s->command_tip == &g_tip.c) s->command_tip = nullptr;
  XtFree(g_tip.c.tip);
  g_tip = CommandTip();
}

// Destroys the icon window.  A window manager takes it into a frame of its
// own while the shell is managed and may destroy it with that frame once
// the shell's window goes, so it may be gone already: that error is
// expected.
void DestroyIconWindow(Window icon_window) {
  if (!devb || icon_window == None || !wu_x_ok()) return;
  const uint8_t masked = devb->errors_masked;
  devb->errors_masked = 1;
  XDestroyWindow(devb->display, icon_window);
  XSync(devb->display, False);
  devb->errors_masked = masked;
}

void Forget(Widget, XtPointer, XtPointer) {
  if (wu_state *s = wu_module())
    if (s->command_combos[WU_COMBO_CMDWIN] == g_combo) s->command_combos[WU_COMBO_CMDWIN] = nullptr;
  ForgetTip();
  DestroyIconWindow(g_cw.icon_window);
  if (g_cw.icon != None) wutfpix(g_cw.icon);
  g_cw = CommandWindow();
}

// The icon of a command window being replaced, kept until its shell is gone.
struct OldIcon {
  Window window;
  Pixmap pixmap;
};

void FreeOldIcon(Widget, XtPointer client, XtPointer) {
  auto *old = static_cast<OldIcon *>(client);
  DestroyIconWindow(old->window);
  if (old->pixmap != None) wutfpix(old->pixmap);
  XtFree(reinterpret_cast<char *>(old));
}

// Lets the command window go so that a new one can be built at once.
// Inside a callback Xt destroys a widget only when the callback returns, so
// the window is forgotten now and the next one takes the other combo
// record; the old icon goes with the old shell.
void Discard() {
  Widget shell = g_cw.shell;
  XtRemoveCallback(shell, XmNdestroyCallback, Forget, nullptr);
  auto *old = reinterpret_cast<OldIcon *>(XtMalloc(sizeof(OldIcon)));
  old->window = g_cw.icon_window;
  old->pixmap = g_cw.icon;
  g_cw.icon_window = None;
  g_cw.icon = None;
  XtAddCallback(shell, XmNdestroyCallback, FreeOldIcon, old);
  Forget(shell, nullptr, nullptr);
  g_combo = g_combo == &g_combos[0] ? &g_combos[1] : &g_combos[0];
  XtDestroyWidget(shell);
}

// The command text's tip: the format (526, 627) filled with the command.
void AttachTip(Widget text) {
  wu_state *s = wu_module();
  if (!s || !wuwtlwn) return;
  ForgetTip();
  char *format = wuxgmft(kMsgSet, kMsgTip);
  if (!format) return;
  g_tip.c.kind = WU_MT_GRAPHBUTTON;
  g_tip.c.tip = XtNewString(format);
  wumfree(format);
  g_tip.w.main = text;
  if (wu_reg_add(&g_tip.c, WU_REG_CONTROL) != WU_OK) {
    XtFree(g_tip.c.tip);
    g_tip = CommandTip();
    return;
  }
  s->command_tip = &g_tip.c;
  XtAddEventHandler(text, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False, wuwtlwn,
                    &g_tip.c);
}

// The merged tool box stands below the window at the place the command
// window takes there: when it is shown and the command window (`width` by
// `height` at x, y) would cover any of it, frames included, the command
// window goes to its right, or below it when the screen has no room there.
void ClearOfToolBox(int *x, int *y, int width, int height) {
  wu_merged_box *mb = wumgmbx();
  if (!mb || !mb->shell || !XtIsRealized(mb->shell) || !wu_x_ok()) return;
  Display *dpy = devb->display;
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, XtWindow(mb->shell), &a) || a.map_state != IsViewable) return;
  int bx = 0, by = 0;
  Window child = None;
  XTranslateCoordinates(dpy, XtWindow(mb->shell), a.root, 0, 0, &bx, &by, &child);
  const int left = devb->motifres.wm_left_border, top = devb->motifres.wm_top_border,
            bottom = devb->motifres.wm_bottom_border;
  // Both as the screen shows them: the window and its frame.
  const int box_left = bx - left, box_top = by - top;
  const int box_right = bx + a.width + left, box_bottom = by + a.height + bottom;
  const int cw_right = *x + width + 2 * left, cw_bottom = *y + height + top + bottom;
  if (*x >= box_right || cw_right <= box_left || *y >= box_bottom || cw_bottom <= box_top) return;
  const int screen_width = WidthOfScreen(DefaultScreenOfDisplay(dpy));
  if (box_right + width + 2 * left <= screen_width) {
    *x = box_right + 1;
  } else {
    *y = box_bottom + top + 1;
  }
}

// Builds the window; false when its dialog form cannot be made.
bool Build(wu_window *w, const wu_colour_set &c3) {
  const int cw = devb->cell_width, ch = devb->cell_height;
  const Dimension width = Dimension(kWidthCells * cw + kWidthExtra);
  int h = kHeightCells * ch;
  if (ch < kSmallCell) h += kSmallExtra;
  else if (ch <= kLargeCell) h += kMediumExtra;
  const Dimension height = Dimension(h);
  g_background = c3.background;
  wu_icon_colours ic = devb->icon_colours;
  Pixmap icon = None;
  wutgpix(kIconCommand, &ic, devb->depth, 0, &icon, nullptr, nullptr);
  const std::string title = Title(w);
  Arg a[16];
  Cardinal n = 0;
  if (icon != None) { XtSetArg(a[n], XmNiconPixmap, icon); ++n; }
  XtSetArg(a[n], XmNwindowGroup, XtWindow(devb->toplevel)); ++n;
  XtSetArg(a[n], XmNdeleteResponse, XmDO_NOTHING); ++n;
  XtSetArg(a[n], XmNdepth, devb->depth); ++n;
  XtSetArg(a[n], XmNvisual, devb->visual); ++n;
  XtSetArg(a[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(a[n], XmNwidth, width); ++n;
  XtSetArg(a[n], XmNheight, height); ++n;
  XtSetArg(a[n], XmNtitleEncoding, XA_STRING); ++n;
  XtSetArg(a[n], XmNiconNameEncoding, XA_STRING); ++n;
  XtSetArg(a[n], XmNiconName, title.c_str()); ++n;
  XtSetArg(a[n], XmNtitle, title.c_str()); ++n;
  XtSetArg(a[n], XmNmwmFunctions, kMwmFunctions); ++n;
  XtSetArg(a[n], XmNmwmDecorations, Mwm() ? kMwmDecorations : kMwmDecorationsOther); ++n;
  Widget shell = XtAppCreateShell("qev", "QEV", applicationShellWidgetClass, devb->display, a, n);
  g_cw.shell = shell;
  g_cw.icon = icon;
  XtAddCallback(shell, XmNdestroyCallback, Forget, nullptr);
  XmAddWMProtocolCallback(shell, devb->wm_delete_window, wuwcncl, nullptr);

  Arg c[16];
  n = 0;
  XtSetArg(c[n], XmNbackground, c3.background); ++n;
  XtSetArg(c[n], XmNforeground, c3.foreground); ++n;
  XtSetArg(c[n], XmNtopShadowColor, c3.top_shadow); ++n;
  XtSetArg(c[n], XmNbottomShadowColor, c3.bottom_shadow); ++n;
  XtSetArg(c[n], XmNdepth, devb->depth); ++n;
  XtSetArg(c[n], XmNvisual, devb->visual); ++n;
  XtSetArg(c[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(c[n], XmNwidth, width); ++n;
  XtSetArg(c[n], XmNheight, height); ++n;
  const Cardinal common = n;
  Widget top = XmCreateForm(shell, const_cast<char *>("topform"), c, common);
  n = common;
  XtSetArg(c[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(c[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(c[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(c[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  Widget frame = XmCreateFrame(top, const_cast<char *>("frame"), c, n);
  XtManageChild(frame);
  n = 0;
  XtSetArg(c[n], XmNbackground, c3.background); ++n;
  XtSetArg(c[n], XmNforeground, c3.foreground); ++n;
  XtSetArg(c[n], XmNtopShadowColor, c3.top_shadow); ++n;
  XtSetArg(c[n], XmNbottomShadowColor, c3.bottom_shadow); ++n;
  XtSetArg(c[n], XmNautoUnmanage, False); ++n;
  XtSetArg(c[n], XmNwidth, width); ++n;
  XtSetArg(c[n], XmNheight, height); ++n;
  XtSetArg(c[n], XmNmarginHeight, 0); ++n;
  XtSetArg(c[n], XmNmarginWidth, 0); ++n;
  XtSetArg(c[n], XmNdefaultPosition, False); ++n;
  XtSetArg(c[n], XmNbuttonFontList, devb->font_list); ++n;
  XtSetArg(c[n], XmNlabelFontList, devb->font_list); ++n;
  XtSetArg(c[n], XmNtextFontList, devb->font_list); ++n;
  XtSetArg(c[n], XmNdepth, devb->depth); ++n;
  XtSetArg(c[n], XmNvisual, devb->visual); ++n;
  XtSetArg(c[n], XmNcolormap, devb->colormap); ++n;
  Widget dialog = XmCreateForm(frame, const_cast<char *>("commandDialog"), c, n);
  if (!dialog) {
    XtDestroyWidget(shell);
    return false;
  }
  g_cw.dialog = dialog;
  XtManageChild(dialog);
  // The combo: an entered command already in the history moves to the top.
  wu_reg_remove(g_combo);
  *g_combo = wu_combo();
  g_combo->unique = 1;
  g_combo->style = WU_COMBO_EDITABLE;
  g_combo->max_chars = WU_CMDTEXT_MAX + 1;
  if (wutgcbo && wutgcbo(dialog, g_combo) == WU_OK) {
    wu_combo *cb = g_combo;
    wumcset(cb, WU_COMBO_CMDWIN);
    XtVaSetValues(cb->form, XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, cw / 2,
                  XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, 7 * cw, XmNtopAttachment,
                  XmATTACH_FORM, XmNtopOffset, ch / 2, nullptr);
    XtManageChild(cb->form);
    AttachTip(cb->text_w);
    XmString label = wumlstr(kMsgSet, kMsgButton);
    n = 0;
    XtSetArg(c[n], XmNfontList, devb->font_list); ++n;
    XtSetArg(c[n], XmNleftAttachment, XmATTACH_WIDGET); ++n;
    XtSetArg(c[n], XmNleftWidget, cb->form); ++n;
    XtSetArg(c[n], XmNleftOffset, cw / 2 - 3); ++n;
    XtSetArg(c[n], XmNrightAttachment, XmATTACH_FORM); ++n;
    XtSetArg(c[n], XmNrightOffset, cw / 2); ++n;
    XtSetArg(c[n], XmNtopAttachment, XmATTACH_FORM); ++n;
    XtSetArg(c[n], XmNtopOffset, ch / 2 + 2); ++n;
    if (label) { XtSetArg(c[n], XmNlabelString, label); ++n; }
    XtSetArg(c[n], XmNnavigationType, XmTAB_GROUP); ++n;
    XtSetArg(c[n], XmNbackground, c3.background); ++n;
    XtSetArg(c[n], XmNforeground, c3.foreground); ++n;
    XtSetArg(c[n], XmNdepth, devb->depth); ++n;
    XtSetArg(c[n], XmNvisual, devb->visual); ++n;
    XtSetArg(c[n], XmNcolormap, devb->colormap); ++n;
    g_cw.button = XmCreatePushButton(dialog, const_cast<char *>("pb"), c, n);
    if (label) XmStringFree(label);
    XtManageChild(g_cw.button);
    wuwidrg(g_cw.button, nullptr);
    Dimension arrow_height = 0, border = 0;
    XtVaGetValues(cb->arrow, XmNheight, &arrow_height, XmNborderWidth, &border, nullptr);
    if (arrow_height > 0) XtVaSetValues(g_cw.button, XmNheight, Dimension(arrow_height + border), nullptr);
    XtAddCallback(g_cw.button, XmNactivateCallback, wuwcmok, cb);
  }
  g_cw.top = top;

  // Position: the saved one, else just below the window, clear of the
  // tool box.
  int x = devb->prefs.cmd_x, y = devb->prefs.cmd_y;
  const bool saved = x != 0 || y != 0;
  if (!saved && wu_reg_has(w, WU_REG_WINDOW) && w->outer && XtIsRealized(w->outer)) {
    wutsync(1, 2);
    if (wu_reg_has(w, WU_REG_WINDOW) && w->outer) {
      Position rx = 0, ry = 0;
      Dimension oh = 0;
      XtTranslateCoords(w->outer, 0, 0, &rx, &ry);
      XtVaGetValues(w->outer, XmNheight, &oh, nullptr);
      const int bottom = devb->motifres.wm_bottom_border, left = devb->motifres.wm_left_border,
                topb = devb->motifres.wm_top_border;
      x = rx - left;
      y = ry + oh + bottom;
      if (y < oh + bottom + topb) y += topb;
    }
  }
  if (x < 1) x = 1;
  if (y < 1) y = 1;
  if (!saved) ClearOfToolBox(&x, &y, width, height);
  XtVaSetValues(shell, XmNx, Position(x), XmNy, Position(y), nullptr);
  return true;
}

void Show() {
  Pixmap icon = None;
  int32_t depth = 0;
  wutgwic(kIconCommand, &icon, &depth);
  if (icon != None && g_cw.icon_window == None) {
    Window root = 0;
    int ix = 0, iy = 0;
    unsigned iw = 0, ih = 0, ib = 0, id = 0;
    if (depth > 1 && XGetGeometry(devb->display, icon, &root, &ix, &iy, &iw, &ih, &ib, &id)) {
      XSetWindowAttributes attrs;
      attrs.background_pixmap = icon;
      attrs.colormap = devb->colormap;
      attrs.border_pixel = 0;
      g_cw.icon_window = XCreateWindow(devb->display, RootWindow(devb->display, devb->screen), 0, 0,
                                       iw, ih, 0, devb->depth, InputOutput, devb->visual,
                                       CWBackPixmap | CWColormap | CWBorderPixel, &attrs);
      XtVaSetValues(g_cw.shell, XmNiconWindow, g_cw.icon_window, XmNiconPixmap, None, nullptr);
    } else if (depth <= 1) {
      XtVaSetValues(g_cw.shell, XmNiconPixmap, icon, XmNiconWindow, None, nullptr);
    }
  }
  XtRealizeWidget(g_cw.shell);
  XtManageChild(g_cw.top);
  if (Mwm() && XtIsRealized(g_cw.shell)) XRaiseWindow(devb->display, XtWindow(g_cw.shell));
}

// The merged tool box's command part stands in for the command window.
void ShowMergedCommandPart(wu_window *w) {
  wu_merged_box *mb = wumgmbx();
  unsigned char dir = 127;
  if (mb && mb->tools_arrow) XtVaGetValues(mb->tools_arrow, XmNarrowDirection, &dir, nullptr);
  const uint32_t saved = w->module_flags;
  if (dir == XmARROW_LEFT) w->module_flags |= WU_WMOD_QUIET_LOAD;
  xncdrcm();
  wu_reg_hold hold = wu_reg_take(w);
  wumpcmd(w, kToolLoad);
  if (!wu_reg_alive(hold)) return;
  w->module_flags = (w->module_flags & ~WU_WMOD_QUIET_LOAD) | (saved & WU_WMOD_QUIET_LOAD);
  wuxpmsg(w, "", 0, 0);
  wuxuwnd(w);
  if (!wu_reg_alive(hold)) return;
  mb = wumgmbx();
  if (mb && mb->command_arrow) {
    unsigned char cdir = 0;
    XtVaGetValues(mb->command_arrow, XmNarrowDirection, &cdir, nullptr);
    if (cdir == XmARROW_LEFT) wumtctl(mb->command_arrow);
  }
}

}  // namespace

extern "C" {

Widget wumcwtf(void) { return g_cw.top; }

void wumcset(wu_combo *cb, int32_t which) {
  wu_state *s = wu_module();
  if (!s || !cb || !cb->list || !cb->text_w || (which != WU_COMBO_CMDWIN && which != WU_COMBO_TOOLBOX))
    return;
  s->command_combos[which] = cb;
  wumcpop(cb->list);
  static XtActionsRec action = {const_cast<char *>(kSubmitAction), wuwcbsc};
  XtAppAddActions(devb->app, &action, 1);
  // A parsed table depends on no display and cannot be given back to Xt:
  // it is parsed once for the process.
  static XtTranslations list_translations = XtParseTranslationTable(kListTranslations);
  XtOverrideTranslations(cb->list, list_translations);
  XtAddCallback(cb->text_w, XmNactivateCallback, wuwcent, cb);
  XtAddCallback(cb->text_w, XmNmodifyVerifyCallback, wuwcent, cb);
  XtAddCallback(cb->text_w, XmNvalueChangedCallback, wuwatcm, cb);
}

wu_status wutcwdw(wu_window *w) {
  if (!devb || !wu_x_ok() || !wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
  if (devb->motifres.merged_toolbox && devb->prefs.use_command_combo) {
    ShowMergedCommandPart(w);
    return WU_OK;
  }
  wu_colour_set c3{};
  wuwgpmc(w, WU_CSET_DIALOG, &c3);
  // Rebuilt in the new colours when the dialog colours changed.
  if (g_cw.shell && g_background != c3.background) Discard();
  if (!g_cw.top && !Build(w, c3)) return WU_NOTAVAIL;
  g_cw.served = w;
  Show();
  return WU_OK;
}

void wuwcncl(Widget, XtPointer, XtPointer) {
  if (!g_cw.top) return;
  if (wu_reg_has(g_combo, WU_REG_COMBO)) PopDownComboList(g_combo);
  XtUnmanageChild(g_cw.top);
  XtUnrealizeWidget(g_cw.shell);
  // The next showing makes a new icon window: the window manager may
  // destroy this one as it lets the shell go.
  DestroyIconWindow(g_cw.icon_window);
  g_cw.icon_window = None;
}

// A window is being released.  The command window that was shown or
// retitled for it goes with it, and so does one left with no window to send
// to; it is hidden as the window manager's close hides it (the next wutcwdw
// shows it again).  Otherwise it stays for the window it serves.
void wumcwgo(wu_window *w) {
  wu_state *s = wu_module();
  if (!g_cw.top || !s || !wu_x_ok()) return;
  bool others = false;
  for (wu_window *o = s->newest; o != nullptr; o = o->next)
    if (o != w) others = true;
  if (others && g_cw.served != w) return;
  g_cw.served = nullptr;
  wuwcncl(nullptr, nullptr, nullptr);
}

wu_status wutacmd(wu_window *w) {
  if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
  wu_reg_hold hold = wu_reg_take(w);
  if (wumndlg) wumndlg(w);
  if (!wu_reg_alive(hold)) return WU_NOTAVAIL;
  wu_status st = wumnbar(w);
  if (!wu_reg_alive(hold)) return st;
  if (g_cw.shell && wu_x_ok()) {
    g_cw.served = w;
    SetTitle(g_cw.shell, w);
    if (Mwm() && XtIsRealized(g_cw.shell)) XRaiseWindow(devb->display, XtWindow(g_cw.shell));
  }
  return st;
}

void wutcmcs(Cursor cursor) {
  if (!g_cw.top || !XtIsManaged(g_cw.top) || !XtIsRealized(g_cw.shell) || !wu_x_ok()) return;
  if (cursor) XDefineCursor(devb->display, XtWindow(g_cw.shell), cursor);
  else XUndefineCursor(devb->display, XtWindow(g_cw.shell));
}

int32_t wumcsub(char *text) {
  if (!text) return 0;
  const int32_t n = wzstlen(text);
  int32_t lead = 0;
  while (lead < n && text[lead] == ' ') ++lead;
  wzstjls(text, n, WU_JUSTIFY_LEFT, 0, 0);
  text[n - lead] = '\0';  // the blanks moved to the end are not part of it
  if (!text[0]) return 1;
  wu_window *w = Current();
  if (!w) return 0;
  const char *scheme_end = std::strstr(text, "://");
  bool browse = scheme_end != nullptr;
  for (const char *p = text; browse && p <= scheme_end; ++p)
    if (HostBlank(*p)) browse = false;
  if (browse) {
    char command[WU_CMDTEXT_MAX + 1] = {};
    if (!wumqcmd(kBrowse, text, "", command, int32_t(sizeof command))) return 0;
    return wuxqcmd(w, command, -1, 1, 1, 0) == WU_OK;
  }
  return wuxqcmd(w, text, -1, 1, 1, 0) == WU_OK;
}

void wuwcent(Widget, XtPointer client, XtPointer call) {
  wu_state *s = wu_module();
  if (s && s->ctl_tip_up && s->tip_shell && XtIsShell(s->tip_shell) &&
      !s->tip_shell->core.being_destroyed) {
    s->ctl_tip_up = 0;
    XtPopdown(s->tip_shell);
  }
  auto *cbs = static_cast<XmAnyCallbackStruct *>(call);
  if (cbs && cbs->reason != XmCR_ACTIVATE) {
    if (!cbs->event || (cbs->event->type != KeyPress && cbs->event->type != KeyRelease)) return;
    Modifiers mods = 0;
    KeySym sym = NoSymbol;
    XtTranslateKeycode(cbs->event->xkey.display, KeyCode(cbs->event->xkey.keycode),
                       cbs->event->xkey.state, &mods, &sym);
    if (s && (sym == osfXK_BackSpace || sym == osfXK_Delete || sym == XK_BackSpace || sym == XK_Delete))
      s->command_deleted = 1;
    return;
  }
  wu_combo *cb = CommandCombo(client);
  if (!cb) return;
  std::string text = TextOf(cb->text_w);
  if (!wumcsub(&text[0])) {
    wutalrm();  // kept in the field: nothing was queued
    return;
  }
  if ((cb = CommandCombo(client)) != nullptr) XmTextSetString(cb->text_w, const_cast<char *>(""));
}

void wuwcmok(Widget, XtPointer client, XtPointer) {
  wu_combo *cb = CommandCombo(client);
  if (!cb) return;
  const std::string text = TextOf(cb->text_w);
  if (!text.empty()) {
    XmStringTable items = nullptr;
    int count = 0;
    XtVaGetValues(cb->list, XmNitems, &items, XmNitemCount, &count, nullptr);
    if (count == 0 || ItemText(items[0]) != text) AddToTop(cb->list, text);
  }
  XmProcessTraversal(cb->text_w, XmTRAVERSE_CURRENT);
  wuwcent(cb->text_w, cb, nullptr);
}

void wuwcbsc(Widget w, XEvent *, String *, Cardinal *) {
  // The combo named by the list's user data, when it is a command combo
  // whose list this is.
  XtPointer data = nullptr;
  if (w) XtVaGetValues(w, XmNuserData, &data, nullptr);
  wu_combo *cb = CommandCombo(data);
  if (!cb || cb->list != w) return;
  XmStringTable selected = nullptr;
  int count = 0;
  XtVaGetValues(w, XmNselectedItems, &selected, XmNselectedItemCount, &count, nullptr);
  const std::string item = count > 0 && selected ? ItemText(selected[0]) : std::string();
  PopDownComboList(cb);
  XFlush(devb->display);
  if (item.empty()) return;
  XmTextSetString(cb->text_w, const_cast<char *>(""));
  if (wu_window *cur = Current()) wuxqcmd(cur, item.c_str(), -1, 1, 1, 0);
}

void wuwatcm(Widget, XtPointer client, XtPointer call) {
  wu_state *s = wu_module();
  auto *cbs = static_cast<XmAnyCallbackStruct *>(call);
  wu_combo *cb = CommandCombo(client);
  if (!s || !cb) return;
  // A deletion, or a text put in from the list, is not completed.
  if (s->command_deleted) {
    s->command_deleted = 0;
    return;
  }
  if (!cbs || !cbs->event) return;
  if (!devb || !devb->prefs.auto_complete) return;
  const std::string typed = TextOf(cb->text_w);
  if (typed.empty()) return;
  const int32_t n = int32_t(typed.size());
  XmStringTable items = nullptr;
  int count = 0;
  XtVaGetValues(cb->list, XmNitems, &items, XmNitemCount, &count, nullptr);
  for (int i = 0; i < count; ++i) {
    const std::string item = ItemText(items[i]);
    if (int32_t(item.size()) < n || wzbcup(item.c_str(), typed.c_str(), n) != 0) continue;
    Widget text = cb->text_w;
    const XmTextPosition at = XmTextGetInsertionPosition(text);
    const std::string whole = typed + item.substr(size_t(n));
    XmTextSetString(text, const_cast<char *>(whole.c_str()));
    XmTextSetSelection(text, n, XmTextPosition(item.size()), CurrentTime);
    XmTextSetInsertionPosition(text, at);
    XmTextShowPosition(text, at <= kScrollBack ? 0 : at - kScrollBack);
    return;
  }
}

}  // extern "C"
