// Tool box buttons and windows: the merged tool box shell that shows the
// tools of the window the user works in, its buttons (grayed and checked
// through the window's item lists), the binding of boxes to windows, their
// release, and the tips of the buttons.
#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <X11/StringDefs.h>
#include <X11/xpm.h>
#include <Xm/ArrowB.h>
#include <Xm/DrawnB.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/MwmUtil.h>
#include <Xm/Protocols.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "controls/wucombo.h"
#include "frames/wutframe.h"
#include "commands/wucmds.h"
#include "menus/wumenus.h"
#include "toolbox/wutbox.h"
#include "runtime/wufmt.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

extern "C" wu_status wutgcbo(Widget parent, wu_combo *cb) __attribute__((weak));


namespace {

const char *const kGlobalCommands[] = {"LIBASSIGN", "PNXTOOLS", "EXPLORER", "PGM; SUBMIT", "HELP"};
const int32_t kMsgNoBox = 343;
const int32_t kMsgNoEntry = 110;
const int32_t kMsgWindowMenu = 288;
const int32_t kMsgTitlePrefix = 3;
const int32_t kBatchReplay = 2;
const int32_t kColumnOffset24 = 55;
const int32_t kColumnOffset48 = 79;
const int32_t kColumnGap = 13;
// A one-column box beside the window leaves room for the command part.
const int32_t kCommandPartCells = 30;
const int32_t kCommandPartExtra = 4;
// The shell's decorations: a title with its menu and minimise button, and a
// border of its own where no Motif window manager draws one.
const int kShellDecorations = MWM_DECOR_TITLE | MWM_DECOR_MENU | MWM_DECOR_MINIMIZE;
const int kShellDecorationsBordered = kShellDecorations | MWM_DECOR_BORDER;
const int32_t kBeyondWindow = 15;
const int32_t kTipBelow = 1;
const int32_t kTipAbove = 3;
const int32_t kTipLabelPad = 4;

wu_state *State() { return wu_module(); }

wu_merged_box *Merged() {
  wu_state *s = State();
  return s ? static_cast<wu_merged_box *>(s->merged) : nullptr;
}

bool Alive(wu_window *w) { return w && wu_reg_has(w, WU_REG_WINDOW); }

wu_window *Current() {
  wu_state *s = State();
  return s && Alive(s->current) ? s->current : nullptr;
}

bool GlobalCommand(const char *command) {
  if (!command) return false;
  for (const char *g : kGlobalCommands) {
    int32_t n = wzstlen(g);
    if (wzstlen(command) >= n && wzbcup(command, g, n) == 0) return true;
  }
  return false;
}

bool Grayed(wu_window *w, wu_tool *t) {
  if (!t->command_id) return false;
  const wu_item_state *e = w ? matchid(static_cast<wu_item_state *>(w->gray_list), t->command_id) : nullptr;
  if (e && e->state) return true;
  wu_state *s = State();
  return s && t->box && t->box == s->global_toolbox && w && !wutisdm(w) &&
         !GlobalCommand(t->command);
}

bool Checked(wu_window *w, wu_tool *t) {
  if (!t->command_id || !w) return false;
  const wu_item_state *e = matchid(static_cast<wu_item_state *>(w->check_list), t->command_id);
  return e && e->state;
}

// A copy of the picture overlaid with a 50 % stipple in the background.
Pixmap GrayPicture(Pixmap p, Pixel background) {
  if (!p || !wu_x_ok()) return None;
  Display *dpy = devb->display;
  Window root;
  int x, y;
  unsigned w = 0, h = 0, border, depth;
  if (!XGetGeometry(dpy, p, &root, &x, &y, &w, &h, &border, &depth)) return None;
  Pixmap copy = XCreatePixmap(dpy, p, w, h, depth);
  GC gc = XCreateGC(dpy, copy, 0, nullptr);
  XCopyArea(dpy, p, copy, gc, 0, 0, w, h, 0, 0);
  XSetForeground(dpy, gc, background);
  XSetFillStyle(dpy, gc, FillStippled);
  XSetStipple(dpy, gc, devb->stipple[WU_STIPPLE_50]);
  XFillRectangle(dpy, copy, gc, 0, 0, w, h);
  XFreeGC(dpy, gc);
  return copy;
}

void ButtonGone(Widget, XtPointer client, XtPointer) {
  auto *t = static_cast<wu_tool *>(client);
  if (t->insensitive && wu_x_ok()) wumfpxm(t->insensitive);
  t->insensitive = None;
  t->button = nullptr;
}

void SetState(wu_window *w, wu_tool *t) {
  if (!t->button) return;
  const Boolean sensitive = !Grayed(w, t);
  const unsigned char shadow = Checked(w, t) ? XmSHADOW_IN : XmSHADOW_OUT;
  Boolean was = XtIsSensitive(t->button);
  unsigned char old = 0;
  XtVaGetValues(t->button, XmNshadowType, &old, nullptr);
  if (was == sensitive && old == shadow) return;
  XtVaSetValues(t->button, XmNsensitive, sensitive, XmNshadowType, shadow, nullptr);
  if (XtIsRealized(t->button)) XClearArea(XtDisplay(t->button), XtWindow(t->button), 0, 0, 0, 0, True);
}

void PopdownTip(wu_tool *t) {
  wu_merged_box *mb = Merged();
  if (t && t->box && wu_reg_has(t->box, WU_REG_TOOLBOX) && t->box->tip_timer) {
    XtRemoveTimeOut(t->box->tip_timer);
    t->box->tip_timer = 0;
  }
  if (mb && mb->tip_shell) XtPopdown(mb->tip_shell);
  if (mb) mb->tip_shown = 0;
}

// The tool a merged box button serves, looked up in the merged box's list
// rather than trusted: host callbacks on the button, or the command a tool
// runs, may have released the tool, its box or the whole merged box, and
// the button with them.  The button is read only once a listed tool still
// names it (a tool forgets its button when the button goes).
wu_tool *LiveTool(Widget button, XtPointer client) {
  wu_merged_box *mb = Merged();
  if (!mb || !button) return nullptr;
  for (wu_tool *t = mb->tools; t; t = t->next)
    if (t == client && t->button == button) return button->core.being_destroyed ? nullptr : t;
  return nullptr;
}

// Activation of a tool button.
void wumsbar(Widget button, XtPointer client, XtPointer) {
  wu_tool *t = LiveTool(button, client);
  if (!t) return;
  wu_state *s = State();
  if (!s || s->busy || s->modal || wumtedact(-1)) {
    wutalrm();
    return;
  }
  PopdownTip(t);
  // Popping the tip down runs its callbacks: look the tool up again.
  t = LiveTool(button, client);
  if (!t) return;
  wu_window *target = Alive(t->window) ? t->window : Current();
  const char *command = t->command ? t->command : "";
  if (command[0] == '#') {
    ++command;
    target = Current();
  }
  if (!target || (target->flags & WU_WIN_NO_TOOL_COMMANDS)) return;
  wuxqcmd(target, command, -1, 1, 1, 0);
  if (t->box && t->box->tools && Alive(t->box->tools->window) && target->outer &&
      XtIsRealized(target->outer)) {
    XRaiseWindow(XtDisplay(target->outer), XtWindow(target->outer));
  }
}

void DrawState(Widget w, XtPointer client) {
  if (!wu_x_ok() || (devb->flags & WU_DEV_DRAGGING)) return;
  wu_tool *t = LiveTool(w, client);
  if (!t) return;
  wu_merged_box *mb = Merged();
  wu_window *win = mb ? mb->window : nullptr;
  if (!Alive(win)) win = nullptr;
  XtVaSetValues(w, XmNshadowType, Checked(win, t) ? XmSHADOW_IN : XmSHADOW_OUT, nullptr);
}

void toolarm(Widget w, XtPointer client, XtPointer) { DrawState(w, client); }

void wuwtgst(Widget w, XtPointer client, XtPointer) { DrawState(w, client); }

void ClearReconfigure(XtPointer, XtIntervalId *) {
  wu_merged_box *mb = Merged();
  if (!mb) return;
  mb->reconfigure = 0;
  mb->reconfigure_timer = 0;
}

void wuwccfg(XtPointer, XtIntervalId *id) { ClearReconfigure(nullptr, id); }

void Reconfigure(int32_t ms) {
  wu_merged_box *mb = Merged();
  if (!mb || !devb) return;
  mb->reconfigure = 1;
  if (mb->reconfigure_timer) XtRemoveTimeOut(mb->reconfigure_timer);
  mb->reconfigure_timer = XtAppAddTimeOut(devb->app, static_cast<unsigned long>(ms), wuwccfg, nullptr);
}

void DestroyButtons(wu_tool *tools) {
  for (wu_tool *t = tools; t; t = t->next) {
    if (!t->button) continue;
    if (t->box && wu_reg_has(t->box, WU_REG_TOOLBOX) && t->box->tip_timer) {
      XtRemoveTimeOut(t->box->tip_timer);
      t->box->tip_timer = 0;
    }
    wumdbtn(t);
  }
}

int32_t Rows(wu_toolbox *box) {
  // A stored box may say 0 per row: the tools then make one row.
  const int32_t per = box->per_row > 0 ? box->per_row : std::max(box->count, 1);
  return std::max(1, (box->count + per - 1) / per);
}

// The merged shell is fixed-size: a button that goes with its box leaves
// the window as it is.  The module's own layout changes (a switch, the
// arrows) open it while they run; the state before is given back, so a
// switch inside an arrow's change leaves the shell open for the arrow.
Boolean ShellResizable(wu_merged_box *mb, Boolean on) {
  Boolean was = False;
  XtVaGetValues(mb->shell, XmNallowShellResize, &was, nullptr);
  if (was != on) XtVaSetValues(mb->shell, XmNallowShellResize, on, nullptr);
  return was;
}

// Manages the row-column again after its buttons changed or while it was
// hidden, at the size its buttons need.  The form sizes a child it manages
// again by what the child last asked of it while managed (for the buttons
// of the box before), not by the buttons it holds now, and would squeeze
// them into the old size.  So the row-column's size is taken while it is
// unmanaged (laid out for its own buttons) and asked for once more when it
// is managed.  A request the form cannot meet in full still leaves the
// wanted size with it.
void ManageTools(wu_merged_box *mb) {
  Widget rc = mb->rowcol;
  XtWidgetGeometry want = {};
  XtQueryGeometry(rc, nullptr, &want);
  XtManageChild(rc);
  if (rc->core.being_destroyed) return;
  const Dimension w = (want.request_mode & CWWidth) ? want.width : rc->core.width;
  const Dimension h = (want.request_mode & CWHeight) ? want.height : rc->core.height;
  if (w == rc->core.width && h == rc->core.height) return;
  Dimension gw = 0, gh = 0;
  XtMakeResizeRequest(rc, w, h, &gw, &gh);
}

void Retitle(wu_window *w) {
  wu_merged_box *mb = Merged();
  if (!mb || !mb->shell) return;
  char *title = BuildToolboxTitle(w);
  if (!title) return;
  // The form's dialog title sets the shell's title and icon name, each in
  // the encoding its text needs; without the form the shell takes the text.
  XmString xs = mb->form ? wumcstr(title) : nullptr;
  if (xs) {
    XtVaSetValues(mb->form, XmNdialogTitle, xs, nullptr);
    XmStringFree(xs);
  } else {
    XtVaSetValues(mb->shell, XmNtitle, title, XmNiconName, title, nullptr);
  }
  XtFree(title);
}

// Window-manager requests on the merged shell.
void wumbdes(Widget, XtPointer, XtPointer) {
  if (wumtedact(-1)) {
    wutalrm();
    return;
  }
  wu_merged_box *mb = Merged();
  wu_window *w = nullptr;
  if (mb && mb->tools && Alive(mb->tools->window)) w = mb->tools->window;
  if (!w) w = Current();
  if (w) wuxqcmd(w, "TOOLCLOSE", -1, 1, 1, 1);
}

void wuwtled(Widget, XtPointer, XtPointer) {
  wu_state *s = State();
  wu_window *cur = Current();
  if (wumtedact(-1) || !s || s->busy || !cur || (cur->flags & WU_WIN_MSG_PENDING)) {
    wutalrm();
    return;
  }
  wu_merged_box *mb = Merged();
  if (mb && mb->tools && Alive(mb->tools->window)) wumebar(mb->tools->window, nullptr, nullptr, nullptr);
  else wuxqcmd(cur, "TOOLEDIT", -1, 1, 1, 1);
}

void wuwmwmp(Widget, XtPointer client, XtPointer) {
  const char *what = static_cast<const char *>(client);
  wu_state *s = State();
  wu_merged_box *mb = Merged();
  if (!s || !mb) return;
  if (std::strcmp(what, "BYE") == 0) {
    wu_window *cur = Current();
    if ((cur && (cur->flags & WU_WIN_MSG_PENDING)) || !wuwexit) wutalrm();
    else wuwexit(nullptr, cur, XtPointer(1));
    return;
  }
  const bool iconify = std::strcmp(what, "ICONIFY") == 0;
  for (wu_window *w = s->newest; w; w = w->next) {
    if (!(w->module_flags & WU_WMOD_LISTED) || !w->outer || !XtIsRealized(w->outer)) continue;
    if (iconify) XIconifyWindow(XtDisplay(w->outer), XtWindow(w->outer), devb->screen);
    else XMapWindow(XtDisplay(w->outer), XtWindow(w->outer));
  }
  if (iconify) XIconifyWindow(XtDisplay(mb->shell), XtWindow(mb->shell), devb->screen);
  else ShowMergedShell(mb);
}

// Whether the shell asks the window manager for the keyboard (the input
// hint of its WM_HINTS).
void TakesInput(Widget shell, Bool on) {
  Bool now = !on;
  XtVaGetValues(shell, XmNinput, &now, nullptr);
  if (now != on) XtVaSetValues(shell, XmNinput, on, nullptr);
}

// The window manager maps the shell while the box is closed: unmap again.
void wuwsncb(Widget w, XtPointer, XEvent *event, Boolean *) {
  wu_merged_box *mb = Merged();
  if (!mb || event->type != MapNotify || !mb->closed || w != mb->shell) return;
  HideMergedShell(mb);
}

// A window manager gives a window that takes input the keyboard when it
// maps it.  The box is a window the user works beside, not in: it takes
// input only while the pointer is in it, so that a click there gives it
// the keyboard as it gives any window, while a map (at start-up, a load,
// the end of the Tool Editor, whichever map request of a quick succession
// the window manager handles last) leaves the keyboard where the user has
// it.
void wuwtkin(Widget w, XtPointer, XEvent *event, Boolean *) {
  if (event->type != EnterNotify && event->type != LeaveNotify) return;
  if (event->xcrossing.detail == NotifyInferior) return;
  TakesInput(w, event->type == EnterNotify);
}

// Keeps the merged shell above the module's windows while the user works in
// them, when the preference asks for it.
void wuwbtop(Widget w, XtPointer, XEvent *event, Boolean *) {
  wu_state *s = State();
  if (!s || !devb || event->type != VisibilityNotify || !devb->prefs.toolbox_always_on_top) return;
  if ((s->busy && !wumtedact(-1)) || (devb->flags & WU_DEV_DRAGGING) || devb->errors_masked) return;
  if (event->xvisibility.state == VisibilityUnobscured) return;
  Display *dpy = XtDisplay(w);
  Window focus = None;
  int revert = 0;
  XGetInputFocus(dpy, &focus, &revert);
  // The deepest window under the pointer, through any window-manager frame.
  Window pointer = None, root = None, child = RootWindowOfScreen(XtScreen(w));
  int rx = 0, ry = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  while (child != None && XQueryPointer(dpy, child, &root, &child, &rx, &ry, &wx, &wy, &mask)) {
    if (child != None) pointer = child;
  }
  const Widget owners[2] = {XtWindowToWidget(dpy, focus), pointer ? XtWindowToWidget(dpy, pointer) : nullptr};
  for (wu_window *win = s->newest; win; win = win->next) {
    if (!(win->module_flags & WU_WMOD_LISTED) || !win->outer || !XtIsRealized(win->outer)) continue;
    for (Widget owner : owners) {
      for (Widget p = owner; p; p = XtParent(p)) {
        if (p == win->outer) {
          XRaiseWindow(dpy, XtWindow(w));
          return;
        }
      }
    }
  }
}

void ArrowChanged(Widget w, XtPointer, XtPointer) { wumtctl(w); }

// The command part follows the keyboard and stays centred beside the tools.
void wuwpcmd(Widget, XtPointer, XEvent *, Boolean *) {
  wu_merged_box *mb = Merged();
  if (!mb || !mb->shell || !mb->command_line || !devb || !devb->prefs.use_command_combo) return;
  wu_combo *cb = mb->combo;
  if (cb && wu_reg_has(cb, WU_REG_COMBO) && cb->text_w) XtSetKeyboardFocus(mb->shell, cb->text_w);
  Dimension tools = 0, line = 0;
  if (XtIsManaged(mb->rowcol)) XtVaGetValues(mb->rowcol, XmNheight, &tools, nullptr);
  XtVaGetValues(mb->command_line, XmNheight, &line, nullptr);
  const int offset = tools > line ? (tools - line) / 2 : 0;
  int current = 0;
  XtVaGetValues(mb->command_line, XmNtopOffset, &current, nullptr);
  if (current != offset) XtVaSetValues(mb->command_line, XmNtopOffset, offset, nullptr);
}

// The check mark of the button that submits the command part's text, in
// the dialog's own foreground on its background.
const char *kCheckXpm[] = {
    "16 16 2 1",        ". s Back c #c0c0c0", "# s Fore c #000000", "................",
    "................", "..............#.", ".............##.", "............###.",
    "...........###..", "..........###...", ".#.......###....", ".##.....###.....",
    ".###...###......", "..###.###.......", "...#####........", "....###.........",
    ".....#..........", "................", "................"};

// An X colour as "#rrrrggggbbbb" for an XPM colour symbol.
std::string XpmColour(Pixel pixel) {
  XColor c = {};
  c.pixel = pixel;
  XQueryColor(devb->display, devb->colormap, &c);
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%4x%4x%4x", c.red, c.green, c.blue);
  std::replace(buf, buf + std::strlen(buf), ' ', '0');
  return buf;
}

void CheckGone(Widget w, XtPointer, XtPointer) {
  Pixmap pm = None;
  XtVaGetValues(w, XmNlabelPixmap, &pm, nullptr);
  if (pm != None && pm != XmUNSPECIFIED_PIXMAP && wu_x_ok()) wumfpxm(pm);
}

// The command combo goes with its command part (after its own widgets).
void CommandLineGone(Widget, XtPointer client, XtPointer) {
  auto *cb = static_cast<wu_combo *>(client);
  wu_state *s = State();
  if (s && s->command_combos[WU_COMBO_TOOLBOX] == cb) s->command_combos[WU_COMBO_TOOLBOX] = nullptr;
  wu_merged_box *mb = Merged();
  if (mb && mb->combo == cb) {
    mb->combo = nullptr;
    mb->command_line = mb->check = nullptr;
  }
  wu_reg_remove(cb);
  XtFree(reinterpret_cast<char *>(cb));
}

// The command part: an arrow that hides and shows it, the command combo
// "QEVTBCommandLine" and the check button.  Returns the widget the tools
// arrow follows.
Widget BuildCommandPart(wu_merged_box *mb, const wu_colour_set &cs) {
  mb->command_arrow = XtVaCreateManagedWidget(
      "commandArrow", xmArrowButtonWidgetClass, mb->form, XmNarrowDirection, XmARROW_RIGHT,
      XmNleftAttachment, XmATTACH_FORM, XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment,
      XmATTACH_FORM, XmNwidth, 14, XmNbackground, cs.background, nullptr);
  XtAddCallback(mb->command_arrow, XmNactivateCallback, ArrowChanged, nullptr);
  Widget line = XtVaCreateWidget("QEVTBCommandLine", xmFormWidgetClass, mb->form, XmNleftAttachment,
                                 XmATTACH_WIDGET, XmNleftWidget, mb->command_arrow, XmNtopAttachment,
                                 XmATTACH_FORM, XmNbackground, cs.background, nullptr);
  auto *cb = reinterpret_cast<wu_combo *>(XtCalloc(1, sizeof(wu_combo)));
  cb->unique = 1;
  cb->style = WU_COMBO_EDITABLE;
  cb->max_chars = WU_CMDTEXT_MAX + 1;
  cb->c.width = kCommandPartCells * std::max(devb->cell_width, 1);
  if (!wutgcbo || wutgcbo(line, cb) != WU_OK) {
    XtFree(reinterpret_cast<char *>(cb));
    XtDestroyWidget(line);
    XtSetSensitive(mb->command_arrow, False);
    return mb->command_arrow;
  }
  XtAddCallback(line, XmNdestroyCallback, CommandLineGone, cb);
  mb->command_line = line;
  mb->combo = cb;
  wumcset(cb, WU_COMBO_TOOLBOX);
  XtVaSetValues(cb->form, XmNleftAttachment, XmATTACH_FORM, XmNtopAttachment, XmATTACH_FORM,
                XmNbottomAttachment, XmATTACH_FORM, nullptr);
  XtManageChild(cb->form);
  Pixel fg = cs.foreground;
  std::string back = XpmColour(cs.background), fore = XpmColour(fg);
  XpmColorSymbol symbols[2] = {{const_cast<char *>("Back"), const_cast<char *>(back.c_str()), 0},
                               {const_cast<char *>("Fore"), const_cast<char *>(fore.c_str()), 0}};
  XpmAttributes attrs = {};
  attrs.valuemask = XpmColorSymbols | XpmVisual | XpmColormap | XpmDepth;
  attrs.colorsymbols = symbols;
  attrs.numsymbols = 2;
  attrs.visual = devb->visual;
  attrs.colormap = devb->colormap;
  attrs.depth = unsigned(devb->depth);
  Pixmap pm = None, mask = None;
  XpmCreatePixmapFromData(devb->display, RootWindow(devb->display, devb->screen),
                          const_cast<char **>(kCheckXpm), &pm, &mask, &attrs);
  if (mask != None) XFreePixmap(devb->display, mask);
  XpmFreeAttributes(&attrs);
  mb->check = XtVaCreateManagedWidget(
      "check", xmPushButtonWidgetClass, line, XmNlabelType, pm != None ? XmPIXMAP : XmSTRING,
      XmNlabelPixmap, pm != None ? pm : XmUNSPECIFIED_PIXMAP, XmNleftAttachment, XmATTACH_WIDGET,
      XmNleftWidget, cb->form, XmNrightAttachment, XmATTACH_FORM, XmNtopAttachment, XmATTACH_FORM,
      XmNbottomAttachment, XmATTACH_FORM, XmNbackground, cs.background, XmNforeground, fg,
      nullptr);
  XtAddCallback(mb->check, XmNdestroyCallback, CheckGone, nullptr);
  XtAddCallback(mb->check, XmNactivateCallback, wuwcmok, cb);
  XtManageChild(line);
  return line;
}



// The command window's width on the screen, frame included, while it is
// shown; 0 otherwise.
int CommandWindowWidth() {
  Widget top = wumcwtf();
  if (!top || !XtIsManaged(top) || !XtIsRealized(XtParent(top))) return 0;
  Dimension width = 0;
  XtVaGetValues(XtParent(top), XmNwidth, &width, nullptr);
  return int(width) + 2 * devb->motifres.wm_left_border;
}

// Where the merged box first appears: by the window it serves.  The
// window's place is read after a round trip that runs callbacks and timers:
// false when the module, the window or the box went meanwhile.
bool Place(wu_window *w, wu_toolbox *box, Position *x_out, Position *y_out) {
  wu_merged_box *mb = Merged();
  int x = 1, y = 1;
  if (mb && mb->have_position) {
    x = mb->saved_x;
    y = mb->saved_y;
  } else if (w && w->outer && XtIsRealized(w->outer)) {
    wu_state *s = State();
    const wu_reg_hold window_hold = wu_reg_take(w), box_hold = wu_reg_take(box);
    wutsync(1, 1);
    if (s != State() || !wu_x_ok() || !wu_reg_alive(window_hold) || !wu_reg_alive(box_hold) ||
        !w->outer || !XtIsRealized(w->outer))
      return false;
    Window child;
    XTranslateCoordinates(XtDisplay(w->outer), XtWindow(w->outer), RootWindowOfScreen(XtScreen(w->outer)), 0,
                          0, &x, &y, &child);
    Dimension ww = 0, wh = 0;
    XtVaGetValues(w->outer, XmNwidth, &ww, XmNheight, &wh, nullptr);
    const wu_motif_resources &r = devb->motifres;
    if (box->per_row == 1) {
      // Left of the window by the command part (or a gap) and the icons.
      x -= devb->prefs.use_command_combo ? kCommandPartCells * devb->cell_width + kCommandPartExtra
                                         : kColumnGap;
      x -= box->icon_width >= WU_ICON_BOX_LARGE ? kColumnOffset48 : kColumnOffset24;
      if (x < 0) x = ww + kBeyondWindow;
    } else {
      x -= r.wm_left_border;
      y += wh + r.wm_bottom_border;
      if (y < wh + r.wm_bottom_border + r.wm_top_border) y += r.wm_top_border;
      // The command window takes the same place below the window: a box
      // without a command part of its own goes right of it, frame included.
      if (!devb->prefs.use_command_combo && devb->prefs.default_toolbox)
        x += CommandWindowWidth();
    }
  }
  *x_out = Position(std::max(x, 1));
  *y_out = Position(std::max(y, 1));
  return true;
}

void WindowMenu(Widget shell, const Atom atoms[4]) {
  int32_t length = 0;
  const char *text = wuxrmsg(WU_MSG_TOOL, kMsgWindowMenu, &length);
  if (!text || length <= 0) return;
  std::string fmt(text, size_t(length));
  std::replace(fmt.begin(), fmt.end(), '@', '\n');
  qev_arg a[4];
  for (int i = 0; i < 4; ++i) a[i] = qev_arg{QEV_ARG_INT, 0, nullptr, int32_t(atoms[i])};
  char out[2048];
  wutsfmt(out, int32_t(sizeof out), fmt.c_str(), int32_t(fmt.size()), 4, a);
  const std::string menu = out;
  XtVaSetValues(shell, XmNmwmMenu, menu.c_str(), nullptr);
}

void WindowManager(Widget shell) {
  Display *dpy = XtDisplay(shell);
  Atom messages = XmInternAtom(dpy, const_cast<char *>("_MOTIF_WM_MESSAGES"), False);
  const char *names[4] = {"_TBAR_EDIT", "_RESTORE_QEV", "_ICONIFY_QEV", "_TERMINATE_QEV"};
  static const char *const kClients[4] = {nullptr, "RESTORE", "ICONIFY", "BYE"};
  Atom atoms[4];
  for (int i = 0; i < 4; ++i) {
    atoms[i] = XmInternAtom(dpy, const_cast<char *>(names[i]), False);
    XmAddProtocols(shell, messages, &atoms[i], 1);
    if (i == 0) XmAddProtocolCallback(shell, messages, atoms[i], wuwtled, nullptr);
    else XmAddProtocolCallback(shell, messages, atoms[i], wuwmwmp, const_cast<char *>(kClients[i]));
  }
  WindowMenu(shell, atoms);
  Atom del = XmInternAtom(dpy, const_cast<char *>("WM_DELETE_WINDOW"), False);
  XmAddWMProtocolCallback(shell, del, wumbdes, nullptr);
}

}  // namespace

extern "C" {

wu_merged_box *wumgmbx(void) { return Merged(); }

void HideMergedShell(wu_merged_box *mb) {
  if (!mb || !mb->shell || !XtIsRealized(mb->shell) || !wu_x_ok()) return;
  XWithdrawWindow(XtDisplay(mb->shell), XtWindow(mb->shell), devb->screen);
  mb->withdrawn = 1;
}

// Maps the shell taking no input (see wuwtkin): the pointer was not in it
// while it was off the screen.
void MapMergedShell(wu_merged_box *mb, bool raise) {
  if (!mb || !mb->shell || !XtIsRealized(mb->shell) || mb->shell->core.being_destroyed || !wu_x_ok()) return;
  Display *dpy = XtDisplay(mb->shell);
  Window win = XtWindow(mb->shell);
  XWindowAttributes at;
  if (XGetWindowAttributes(dpy, win, &at) && at.map_state == IsUnmapped) TakesInput(mb->shell, False);
  if (raise) XMapRaised(dpy, win);
  else XMapWindow(dpy, win);
}

void ShowMergedShell(wu_merged_box *mb) {
  if (!mb || !mb->shell || !XtIsRealized(mb->shell) || mb->shell->core.being_destroyed || !wu_x_ok()) return;
  Display *dpy = XtDisplay(mb->shell);
  Window win = XtWindow(mb->shell);
  if (mb->withdrawn) {
    // A window manager that framed the window gives it back to the root
    // window once it has seen it go; without one it never left the root.
    const int kPollMs = 5, kWaitMs = 1000;
    for (int waited = 0; waited < kWaitMs; waited += kPollMs) {
      Window root = None, parent = None, *children = nullptr;
      unsigned int count = 0;
      XSync(dpy, False);
      if (!XQueryTree(dpy, win, &root, &parent, &children, &count)) break;
      if (children) XFree(children);
      if (parent == root) break;
      timespec pause = {0, kPollMs * 1000000L};
      nanosleep(&pause, nullptr);
    }
    mb->withdrawn = 0;
  }
  MapMergedShell(mb, false);
}

int32_t wumtbusy(void) {
  wu_state *s = State();
  return s && s->busy;
}

void wumdbtn(wu_tool *t) {
  if (!t || !t->button) return;
  Widget b = t->button;
  // The merged row-column leaves the layout before its buttons go: managed,
  // it would ask the form for the size of what remains, and the form would
  // lay the next buttons out in that (ManageTools manages it again).
  wu_merged_box *mb = Merged();
  if (mb && mb->rowcol && XtParent(b) == mb->rowcol && XtIsManaged(mb->rowcol))
    XtUnmanageChild(mb->rowcol);
  XtRemoveCallback(b, XmNdestroyCallback, ButtonGone, t);
  XtRemoveEventHandler(b, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False, wumtlwn, t);
  wumdxft(b);
  XtDestroyWidget(b);
  if (t->insensitive && wu_x_ok()) wumfpxm(t->insensitive);
  t->insensitive = None;
  t->button = nullptr;
}

void LoadTools(wu_window *w, Widget parent, wu_tool *tools) {
  if (!wu_x_ok() || !parent) return;
  wu_merged_box *mb = Merged();
  wu_colour_set cs = {};
  wuwgpmc(w, WU_CSET_DIALOG, &cs);
  for (wu_tool *t = tools; t; t = t->next) {
    if (t->box && w && w->toolbox && t->box != w->toolbox && !wu_reg_has(t->box, WU_REG_TOOLBOX))
      t->box = w->toolbox;
    const int32_t size = mb && mb->icon_size ? mb->icon_size : (t->box ? t->box->icon_width : 24);
    const bool want_small = size == WU_ICON_BOX_SMALL;
    if (t->icon != WU_TB_SEPARATOR_ICON && (!t->pixmap || (mb && mb->icon_size && want_small != bool(t->small_icon)))) {
      if (t->pixmap) {
        if (t->shared_pixmap) wutfpix(t->pixmap);
        else wumfpxm(t->pixmap);
      }
      t->pixmap = wumtllp(t->icon, size, size, &t->shared_pixmap);
      t->small_icon = want_small;
    }
    const char *name = t->command && t->command[0] ? t->command : "tool";
    Arg args[16];
    int n = 0;
    XtSetArg(args[n], XmNlabelType, t->pixmap ? XmPIXMAP : XmSTRING); ++n;
    if (t->pixmap) {
      t->insensitive = GrayPicture(t->pixmap, cs.background);
      XtSetArg(args[n], XmNlabelPixmap, t->pixmap); ++n;
      if (t->insensitive) { XtSetArg(args[n], XmNlabelInsensitivePixmap, t->insensitive); ++n; }
    }
    XtSetArg(args[n], XmNhighlightThickness, 0); ++n;
    XtSetArg(args[n], XmNpushButtonEnabled, True); ++n;
    XtSetArg(args[n], XmNshadowType, Checked(w, t) ? XmSHADOW_IN : XmSHADOW_OUT); ++n;
    XtSetArg(args[n], XmNuserData, t); ++n;
    XtSetArg(args[n], XmNbackground, cs.background); ++n;
    XtSetArg(args[n], XmNforeground, cs.foreground); ++n;
    XtSetArg(args[n], XmNtopShadowColor, cs.top_shadow); ++n;
    XtSetArg(args[n], XmNbottomShadowColor, cs.bottom_shadow); ++n;
    XtSetArg(args[n], XmNsensitive, !Grayed(w, t)); ++n;
    t->button = XmCreateDrawnButton(parent, const_cast<char *>(name), args, Cardinal(n));
    XtAddCallback(t->button, XmNarmCallback, toolarm, t);
    XtAddCallback(t->button, XmNdisarmCallback, toolarm, t);
    XtAddCallback(t->button, XmNactivateCallback, wumsbar, t);
    XtAddCallback(t->button, XmNexposeCallback, wuwtgst, t);
    XtAddCallback(t->button, XmNdestroyCallback, ButtonGone, t);
    XtAddEventHandler(t->button, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False, wumtlwn, t);
    if (t->icon != WU_TB_SEPARATOR_ICON) XtManageChild(t->button);
  }
}

void wumtact(wu_window *w) {
  wu_merged_box *mb = Merged();
  if (!mb || mb->closed || !Alive(w) || mb->window != w) return;
  for (wu_tool *t = mb->tools; t; t = t->next) SetState(w, t);
}

char *BuildToolboxTitle(wu_window *w) {
  wu_state *s = State();
  // The module's title prefix, the one the command window's title has too.
  std::string title;
  if (char *prefix = s ? wuxgmft(WU_MSG_TOOL, kMsgTitlePrefix) : nullptr) {
    title = prefix;
    wumfree(prefix);
  }
  wu_toolbox *g = s ? s->global_toolbox : nullptr;
  wu_merged_box *mb = Merged();
  wu_toolbox *box = mb && mb->box ? mb->box : g;
  if (box && box->title && box->title[0]) {
    if (!title.empty()) title += ' ';
    title += box->title;
    if (Alive(w) && w->name && w->name_length > 0 && w->name_length < 4096) {
      title += ": ";
      title.append(w->name, size_t(w->name_length));
    }
  }
  char *out = XtMalloc(Cardinal(title.size() + 1));
  std::memcpy(out, title.c_str(), title.size() + 1);
  return out;
}

void StoreToolBoxPosition(wu_toolbox *box) {
  if (!box || !wu_x_ok()) return;
  wu_merged_box *mb = Merged();
  Widget shell = box->shell && !box->shared ? box->shell : mb ? mb->shell : nullptr;
  if (!shell || !XtIsRealized(shell)) {
    box->x = std::max(box->x, 1);
    box->y = std::max(box->y, 1);
    return;
  }
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(XtDisplay(shell), XtWindow(shell), RootWindowOfScreen(XtScreen(shell)), 0, 0, &x,
                        &y, &child);
  x -= devb->motifres.wm_left_border;
  y -= devb->motifres.wm_top_border;
  box->x = std::max(x, 1);
  box->y = std::max(y, 1);
}

void wumsbsy(int32_t) {
  // The merged shell is among the module's shells (wutashl): the busy
  // cursor reaches it with every other shell.
}

void InitGlobalToolBox(void) {
  wu_state *s = State();
  if (!s || s->global_toolbox) return;
  s->global_toolbox = wumlgbx();
}

wu_merged_box *wumamrg(void) {
  wu_state *s = State();
  if (!s) return nullptr;
  if (!s->merged) s->merged = XtCalloc(1, sizeof(wu_merged_box));
  return Merged();
}

// With useShowHideDecorations the border follows the window manager: the
// Motif one draws its own, others get it asked for; without it the border
// is always asked for.
static int ShellDecorations() {
  bool mwm = devb->toplevel && XmIsMotifWMRunning(devb->toplevel);
  return devb->prefs.show_hide_decorations && mwm ? kShellDecorations : kShellDecorationsBordered;
}

wu_status InitMergedBox(wu_window *w, wu_toolbox *box) {
  wu_state *s = State();
  if (!s || !box || !wu_x_ok()) return WU_NOTAVAIL;
  wu_merged_box *mb = wumamrg();
  if (!mb) return WU_NOTAVAIL;
  if (mb->icon_size) box->icon_width = box->icon_height = mb->icon_size;
  else mb->icon_size = box->icon_width;
  Position x = 1, y = 1;
  if (!Place(w, box, &x, &y)) return WU_NOTAVAIL;
  // A merged box built while the placement waited is switched to instead.
  mb = Merged();
  if (!mb) return WU_NOTAVAIL;
  if (mb->shell) return SwitchToolBox(w, box);
  wu_colour_set cs = {};
  wuwgpmc(w, WU_CSET_DIALOG, &cs);
  char *title = BuildToolboxTitle(w);
  mb->shell = XtVaAppCreateShell("qev", "QEV", applicationShellWidgetClass, devb->display,
                                 XmNx, x, XmNy, y, XmNallowShellResize, False,
                                 XmNtitle, title, XmNiconName, title,
                                 XmNdeleteResponse, XmDO_NOTHING, XmNinput, False,
                                 XmNmwmFunctions, MWM_FUNC_MOVE | MWM_FUNC_MINIMIZE | MWM_FUNC_CLOSE,
                                 XmNmwmDecorations, ShellDecorations(),
                                 XmNbackground, cs.background,
                                 XmNbuttonFontList, devb->font_list, XmNlabelFontList, devb->font_list,
                                 XmNtextFontList, devb->font_list, nullptr);
  XtFree(title);
  Pixmap icon = None;
  int32_t depth = 0;
  if (wutgwic(0, &icon, &depth) == WU_OK && icon) XtVaSetValues(mb->shell, XmNiconPixmap, icon, nullptr);
  mb->form = XtVaCreateManagedWidget("form", xmFormWidgetClass, mb->shell, XmNbackground, cs.background,
                                     nullptr);
  mb->command_arrow = mb->command_line = mb->check = nullptr;
  mb->combo = nullptr;
  Widget before = devb->prefs.use_command_combo ? BuildCommandPart(mb, cs) : nullptr;
  mb->tools_arrow = XtVaCreateManagedWidget(
      "toolsArrow", xmArrowButtonWidgetClass, mb->form, XmNarrowDirection, XmARROW_LEFT,
      XmNleftAttachment, before ? XmATTACH_WIDGET : XmATTACH_FORM, XmNleftWidget, before,
      XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment,
      XmATTACH_FORM, XmNwidth, 14, XmNbackground, cs.background, nullptr);
  XtAddCallback(mb->tools_arrow, XmNactivateCallback, ArrowChanged, nullptr);
  // The buttons keep their own size: the last row is neither stretched nor
  // squeezed to the row-column's edge by the room the form gives it.
  mb->rowcol = XtVaCreateWidget("tools", xmRowColumnWidgetClass, mb->form, XmNorientation, XmHORIZONTAL,
                                XmNpacking, XmPACK_COLUMN, XmNnumColumns, Rows(box), XmNleftAttachment,
                                XmATTACH_WIDGET, XmNleftWidget, mb->tools_arrow, XmNtopAttachment,
                                XmATTACH_FORM, XmNbottomAttachment, XmATTACH_FORM, XmNrightAttachment,
                                XmATTACH_FORM, XmNspacing, 0,
                                XmNadjustLast, False, XmNmarginWidth, 1, XmNmarginHeight, 1,
                                XmNbackground, cs.background, nullptr);
  mb->tip_shell = XtVaCreatePopupShell("OShell", overrideShellWidgetClass, mb->shell, XmNallowShellResize,
                                       True, nullptr);
  Widget tform = XtVaCreateManagedWidget("Form", xmFormWidgetClass, mb->tip_shell, nullptr);
  mb->tip_font = devb->font_list;
  mb->tip_label = devb->font_list
                      ? XtVaCreateManagedWidget("Label", xmLabelWidgetClass, tform, XmNfontList, devb->font_list, nullptr)
                      : XtVaCreateManagedWidget("Label", xmLabelWidgetClass, tform, nullptr);
  WindowManager(mb->shell);
  XtAddEventHandler(mb->shell, PointerMotionMask, False, wuwpcmd, nullptr);
  XtAddEventHandler(mb->shell, StructureNotifyMask, False, wuwsncb, nullptr);
  XtAddEventHandler(mb->shell, EnterWindowMask | LeaveWindowMask, False, wuwtkin, nullptr);
  XtAddEventHandler(mb->shell, VisibilityChangeMask, False, wuwbtop, nullptr);
  mb->box = box;
  mb->tools = box->tools;
  mb->window = w;
  if (box->tip_timer) XtRemoveTimeOut(box->tip_timer);
  box->tip_timer = 0;
  box->widgets[0] = mb->rowcol;
  box->widgets[1] = mb->tip_shell;
  for (wu_tool *t = box->tools; t; t = t->next) t->box = box;
  LoadTools(w, mb->rowcol, box->tools);
  mb->built_size = mb->icon_size;
  XtManageChild(mb->rowcol);
  mb->shown = 1;
  XtRealizeWidget(mb->shell);
  wutashl(mb->shell);
  XFlush(devb->display);
  return WU_OK;
}

wu_status SwitchToolBox(wu_window *w, wu_toolbox *box) {
  wu_state *s = State();
  if (!s || !box || !wu_reg_has(box, WU_REG_TOOLBOX) || !wu_x_ok()) return WU_NOTAVAIL;
  InitGlobalToolBox();
  wu_merged_box *mb = Merged();
  box->messages = &s->tool_messages;
  if (!mb || !mb->shell) {
    wu_status st = InitMergedBox(w, box);
    if (st == WU_OK) Reconfigure(WU_RECONFIG_SWITCH_MS);
    return st;
  }
  mb->window = w;
  if (mb->icon_size == 0) mb->icon_size = box->icon_width;
  const bool same = mb->tools == box->tools && mb->box == box && mb->tools && mb->built_size == mb->icon_size;
  if (same) {
    Retitle(w);
    if (!mb->closed)
      for (wu_tool *t = mb->tools; t; t = t->next) SetState(w, t);
    return WU_OK;
  }
  mb->box = box;
  Retitle(w);
  mb->shown = 1;
  const Boolean was = ShellResizable(mb, True);
  XtUnmanageChild(mb->rowcol);
  DestroyButtons(mb->tools);
  mb->tools = box->tools;
  for (wu_tool *t = box->tools; t; t = t->next) t->box = box;
  box->widgets[0] = mb->rowcol;
  box->widgets[1] = mb->tip_shell;
  XtVaSetValues(mb->rowcol, XmNnumColumns, Rows(box), XmNpacking, XmPACK_COLUMN, nullptr);
  LoadTools(w, mb->rowcol, box->tools);
  mb->built_size = mb->icon_size;
  ManageTools(mb);
  ShellResizable(mb, was);
  if (!mb->closed) ShowMergedShell(mb);
  Reconfigure(WU_RECONFIG_SWITCH_MS);
  return WU_OK;
}

// The end of an arrow's change: pending events are processed (the window
// manager's answer among them), the shell is made fixed-size again and the
// command part centred.  What the events released is looked up again.
static wu_status ArrowDone() {
  wutsync(1, 1);
  wu_merged_box *mb = Merged();
  if (!mb || !mb->shell || !wu_x_ok()) return WU_NOTAVAIL;
  ShellResizable(mb, False);
  wuwpcmd(nullptr, nullptr, nullptr, nullptr);
  Reconfigure(WU_RECONFIG_SWITCH_MS);
  return WU_OK;
}

wu_status wumtctl(Widget arrow) {
  wu_merged_box *mb = Merged();
  wu_state *s = State();
  if (!mb || !s || !arrow || !mb->shell || (arrow != mb->tools_arrow && arrow != mb->command_arrow))
    return WU_NOTAVAIL;
  if (arrow == mb->command_arrow) {
    unsigned char shown = XmARROW_RIGHT;
    XtVaGetValues(arrow, XmNarrowDirection, &shown, nullptr);
    ShellResizable(mb, True);
    if (shown == XmARROW_RIGHT) {
      // Hide the command part; the tools stay until it is shown again.
      if (mb->command_line) XtUnmanageChild(mb->command_line);
      XtVaSetValues(mb->tools_arrow, XmNleftWidget, arrow, nullptr);
      XtVaSetValues(arrow, XmNarrowDirection, XmARROW_LEFT, nullptr);
      XtSetSensitive(mb->tools_arrow, False);
    } else {
      XtVaSetValues(mb->tools_arrow, XmNleftWidget, mb->command_line ? mb->command_line : arrow,
                    nullptr);
      if (mb->command_line) XtManageChild(mb->command_line);
      XtSetSensitive(mb->tools_arrow, True);
      XtVaSetValues(arrow, XmNarrowDirection, XmARROW_RIGHT, nullptr);
    }
    return ArrowDone();
  }
  InitGlobalToolBox();
  mb = Merged();
  if (!mb || !mb->shell) return WU_NOTAVAIL;
  if (!mb->tools && s->global_toolbox) {
    mb->box = s->global_toolbox;
    mb->tools = s->global_toolbox->tools;
  }
  unsigned char dir = XmARROW_LEFT;
  XtVaGetValues(mb->tools_arrow, XmNarrowDirection, &dir, nullptr);
  ShellResizable(mb, True);
  if (dir == XmARROW_LEFT) {
    // Hide the tools part.
    XtUnmanageChild(mb->rowcol);
    XtVaSetValues(mb->tools_arrow, XmNarrowDirection, XmARROW_RIGHT, XmNrightAttachment, XmATTACH_FORM,
                  nullptr);
    mb->rebuild = 0;
    if (mb->command_arrow) XtSetSensitive(mb->command_arrow, False);
    wumtsta(0);
  } else {
    XtVaSetValues(mb->tools_arrow, XmNarrowDirection, XmARROW_LEFT, XmNrightAttachment, XmATTACH_NONE,
                  nullptr);
    if (mb->rebuild) {
      mb->rebuild = 0;
      DestroyButtons(mb->tools);
      mb->tools = nullptr;
      wu_window *cur = Current();
      wu_toolbox *box = cur && cur->toolbox ? cur->toolbox : s->global_toolbox;
      ManageTools(mb);
      if (box) SwitchToolBox(cur, box);
    } else {
      ManageTools(mb);
    }
    mb = Merged();
    if (mb && mb->command_arrow) XtSetSensitive(mb->command_arrow, True);
    wumtsta(1);
  }
  return ArrowDone();
}

wu_status wumrbar(wu_window *w) {
  wu_state *s = State();
  wu_merged_box *mb = Merged();
  if (!s) return WU_NOTAVAIL;
  wu_toolbox *box = Alive(w) && w->toolbox ? w->toolbox : mb && mb->box ? mb->box : s->global_toolbox;
  bool fresh = false;
  if (!box) {
    s->global_toolbox = wumlgbx();
    box = s->global_toolbox;
    fresh = true;
  }
  if (!box) return WU_NOTAVAIL;
  if (mb && mb->shell) {
    // A rebuild replaces the shell: the buttons go with it.
    DestroyButtons(mb->tools);
    mb->tools = nullptr;
    mb->box = nullptr;
    Widget old = mb->shell;
    mb->shell = nullptr;
    XtDestroyWidget(old);
  }
  wu_status st = InitMergedBox(Alive(w) ? w : nullptr, box);
  if (fresh && Alive(w)) wumibar(w);
  Reconfigure(WU_RECONFIG_REBUILD_MS);
  return st;
}

wu_status wumbwnd(wu_window *w, wu_tool *tools) {
  wu_state *s = State();
  if (!s) return WU_NOTAVAIL;
  for (wu_tool *t = tools; t; t = t->next) t->window = w;
  wu_toolbox *box = tools && tools->box && wu_reg_has(tools->box, WU_REG_TOOLBOX) ? tools->box : s->global_toolbox;
  return box ? SwitchToolBox(w, box) : WU_NOTAVAIL;
}

wu_status wumlbar(wu_window *w) {
  if (!Alive(w)) return WU_NOTAVAIL;
  if (!w->toolbox || !w->toolbox->tools) return WU_NOTAVAIL;
  if (w->module_flags & (WU_WMOD_LISTED | WU_WMOD_QUIET_LOAD)) return SwitchToolBox(w, w->toolbox);
  return WU_OK;
}

wu_status wumnbar(wu_window *w) {
  wu_state *s = State();
  if (!s || !Alive(w)) return WU_NOTAVAIL;
  if ((w->toolbox_flags & WU_TBX_OWN_TOOLBOX) && !w->toolbox) return WU_OK;
  wu_merged_box *mb = Merged();
  if (devb && devb->prefs.toolbox_always_on_top && mb && mb->shell && XtIsRealized(mb->shell))
    XRaiseWindow(XtDisplay(mb->shell), XtWindow(mb->shell));
  if (wutisdm(w) && s->global_toolbox) {
    w->toolbox = s->global_toolbox;
    return wumbwnd(w, s->global_toolbox->tools);
  }
  if (!s->global_toolbox) return w->toolbox ? wumbwnd(w, w->toolbox->tools) : WU_OK;
  if (!w->toolbox) w->toolbox = wumldbx(w);
  wu_toolbox *box = w->toolbox ? w->toolbox : s->global_toolbox;
  return wumbwnd(w, box->tools);
}

wu_status wumibar(wu_window *w) {
  wu_state *s = State();
  if (!s || !Alive(w)) return WU_NOTAVAIL;
  InitToolMessages();
  const bool quiet = w->module_flags & WU_WMOD_QUIET_LOAD;
  wu_merged_box *mb = Merged();
  if (!w->toolbox) {
    if (w->toolbox_flags & WU_TBX_OWN_TOOLBOX) {
      w->toolbox = wumldbx(w);
      if (!w->toolbox && mb && mb->box) {
        mb->box->use_count++;
        w->toolbox = mb->box;
        return WU_OK;
      }
    } else if (s->global_toolbox && wutisdm(w)) {
      w->toolbox = s->global_toolbox;
    } else if (wutisdm(w) || w->kind == 122) {
      s->global_toolbox = wumlgbx();
      w->toolbox = s->global_toolbox;
    } else {
      w->toolbox = wumldbx(w);
      if (!w->toolbox && !quiet) {
        const char *text = w->menu_entry + 2;   // after the 16-bit length
        const bool no_entry = std::all_of(text, text + 4, [](char c) { return c == 0; });
        yudsmsg(w, 0, 2, WU_MSG_TOOL, no_entry ? kMsgNoEntry : kMsgNoBox);
      }
    }
  }
  wu_toolbox *box = w->toolbox;
  if (!box) return mb && mb->shell ? WU_OK : WU_NOTAVAIL;
  if (wutisdm(w) && !s->global_toolbox) s->global_toolbox = box;
  if (std::memcmp(box->libref, w->menu_libref, WU_LIBREF_LEN) == 0 &&
      std::memcmp(box->catalog, w->menu_catalog, WU_NAME34_LEN) == 0)
    wumgdloc(box->libref, box->catalog, nullptr);
  const bool listed = w->module_flags & WU_WMOD_LISTED;
  if (quiet && !box->load_default && !(devb && devb->prefs.default_toolbox) && !listed) {
    wumfbar(w);
    return WU_NOTAVAIL;
  }
  const bool batch = s->batch && s->batch->mode == kBatchReplay;
  if (!batch && !listed && !quiet) return WU_OK;
  return wumlbar(w);
}

void FreeAMergedBox(wu_toolbox *gone) {
  wu_state *s = State();
  wu_merged_box *mb = Merged();
  if (!s || !mb || !mb->shell) return;
  if (mb->box && mb->box != gone && wu_reg_has(mb->box, WU_REG_TOOLBOX)) return;
  for (wu_window *w = s->newest; w; w = w->next) {
    if ((w->module_flags & WU_WMOD_LISTED) && w->toolbox && w->toolbox != gone) {
      SwitchToolBox(w, w->toolbox);
      return;
    }
  }
  mb->tools = nullptr;
  mb->box = nullptr;
  HideMergedShell(mb);
  mb->shown = 0;
}

wu_status wumfbar(wu_window *w) {
  wu_state *s = State();
  if (!s || !Alive(w)) return WU_NOTAVAIL;
  wu_toolbox *box = w->toolbox;
  wu_merged_box *mb = Merged();
  if (box && mb && box == mb->box && box->use_count > 0 && box != s->global_toolbox &&
      (w->toolbox_flags & WU_TBX_OWN_TOOLBOX)) {
    // A window that shares the merged box only gives up its share.
    box->use_count--;
    w->toolbox = nullptr;
    return WU_OK;
  }
  if (s->global_toolbox)
    for (wu_tool *t = s->global_toolbox->tools; t; t = t->next)
      if (t->window == w) t->window = nullptr;
  if (mb && mb->window == w) mb->window = nullptr;
  if (!box || !wu_reg_has(box, WU_REG_TOOLBOX)) {
    w->toolbox = nullptr;
    return WU_OK;
  }
  char dl[WU_LIBREF_LEN], dc[WU_NAME34_LEN];
  wumgdloc(dl, dc, nullptr);
  std::string kept(s->tool_messages.libref2, WU_LIBREF_LEN);
  kept.erase(kept.find_last_not_of(' ') + 1);
  int16_t en = 0;
  std::memcpy(&en, box->entry, sizeof en);
  const bool never = std::memcmp(box->libref, dl, WU_LIBREF_LEN) == 0 &&
                     std::memcmp(box->catalog, dc, WU_NAME34_LEN) == 0 && en == int16_t(kept.size()) &&
                     std::memcmp(box->entry + 2, kept.data(), kept.size()) == 0;
  if (!box->no_save && !never) wumtlsv(box, box->libref, box->catalog, box->entry, WU_TB_MEMBER_TYPE);
  if (box->tip_timer) XtRemoveTimeOut(box->tip_timer);
  box->tip_timer = 0;
  if (box == s->global_toolbox) {
    if (mb && mb->shell) {
      StoreToolBoxPosition(box);
      mb->saved_x = box->x;
      mb->saved_y = box->y;
      mb->have_position = 1;
    }
    s->global_toolbox = nullptr;
  }
  const bool quiet = w->module_flags & WU_WMOD_QUIET_LOAD;
  if (mb && mb->box == box) {
    DestroyButtons(mb->tools);
    mb->tools = nullptr;
  }
  wutfbar(w, box);
  w->toolbox = nullptr;
  if (!quiet) FreeAMergedBox(box);
  return WU_OK;
}

wu_status wutibox(wu_window *w) {
  if (!Alive(w) || !devb || !devb->prefs.default_toolbox || wutisdm(w)) return WU_OK;
  if (w->toolbox && std::memcmp(w->toolbox->entry, w->menu_entry, WU_NAME34_LEN) == 0) return WU_OK;
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN];
  if (!wumgdloc(l, c, nullptr)) return WU_OK;
  wu_toolbox *box = wumtlcl(l, c, w->menu_entry, WU_TB_MEMBER_TYPE);
  if (!box) box = wumtlcl(w->menu_libref, w->menu_catalog, w->menu_entry, WU_TB_MEMBER_TYPE);
  if (!box) return WU_OK;
  wu_reg_hold hold = wu_reg_take(w);
  if (w->toolbox) wumfbar(w);
  if (!wu_reg_alive(hold)) {
    wutfbar(nullptr, box);
    return WU_NOTAVAIL;
  }
  w->toolbox = box;
  wumibar(w);
  if (!wu_reg_alive(hold)) return WU_NOTAVAIL;
  return wumnbar(w);
}

// ---- tips --------------------------------------------------------------------

int32_t wuttipd(void) {
  wu_state *s = State();
  return s && !s->tip_grace;
}

static void GraceOver(XtPointer, XtIntervalId *) {
  wu_state *s = State();
  if (!s) return;
  s->tip_grace = 0;
  s->tip_grace_timer = 0;
}

void wuttipg(void) {
  wu_state *s = State();
  if (!s || !devb) return;
  s->tip_grace = 1;
  if (s->tip_grace_timer) XtRemoveTimeOut(s->tip_grace_timer);
  s->tip_grace_timer = XtAppAddTimeOut(devb->app, WU_TIP_GRACE_MS, GraceOver, nullptr);
}

void wuttipc(void) {
  // Entering a tool or control within the grace period uses the period up:
  // whether that one has a tip or not, the next waits for the delay again
  // unless a shown tip starts a new period.
  wu_state *s = State();
  if (!s) return;
  s->tip_grace = 0;
  if (!s->tip_grace_timer) return;
  XtRemoveTimeOut(s->tip_grace_timer);
  s->tip_grace_timer = 0;
}

void wumtldk(XtPointer client, XtIntervalId *id) { GraceOver(client, id); }

void wumtltt(XtPointer client, XtIntervalId *) {
  auto *t = static_cast<wu_tool *>(client);
  wu_merged_box *mb = Merged();
  if (!t || !t->box || !wu_reg_has(t->box, WU_REG_TOOLBOX) || !t->button || !mb || !mb->tip_shell ||
      !wu_x_ok() || devb->errors_masked || (devb->flags & WU_DEV_DRAGGING))
    return;
  t->box->tip_timer = 0;
  Display *dpy = devb->display;
  Window root, child;
  int rx, ry, wx, wy;
  unsigned mask;
  if (!XQueryPointer(dpy, XtWindow(mb->shell), &root, &child, &rx, &ry, &wx, &wy, &mask)) return;
  if (!t->tip || !t->tip[0]) return;
  XmString xs = wumcstr(t->tip);
  XtVaSetValues(mb->tip_label, XmNlabelString, xs, nullptr);
  // The font is given again only when the display font changed.
  if (devb->font_list && devb->font_list != mb->tip_font) {
    XtVaSetValues(mb->tip_label, XmNfontList, devb->font_list, nullptr);
    mb->tip_font = devb->font_list;
  }
  if (xs) XmStringFree(xs);
  Position bx = 0, by = 0;
  Dimension bw = 0, bh = 0;
  XtVaGetValues(t->button, XmNx, &bx, XmNy, &by, XmNwidth, &bw, XmNheight, &bh, nullptr);
  Position ox = 0, oy = 0;
  XtTranslateCoords(XtParent(t->button), bx, by, &ox, &oy);
  Dimension tw = 0, th = 0;
  XtVaGetValues(mb->tip_shell, XmNwidth, &tw, XmNheight, &th, nullptr);
  if (th == 0 || !XtIsRealized(mb->tip_shell)) {
    Dimension lw = 0, lh = 0;
    XtVaGetValues(mb->tip_label, XmNwidth, &lw, XmNheight, &lh, nullptr);
    tw = lw;
    th = Dimension(lh + kTipLabelPad);
  }
  int x = ox + bw / 2;
  int y = oy + bh + kTipBelow;
  const int sw = WidthOfScreen(XtScreen(mb->shell)), sh = HeightOfScreen(XtScreen(mb->shell));
  if (x + tw > sw) x = sw - tw;
  if (y + th > sh) y = oy - th - kTipAbove;
  XtVaSetValues(mb->tip_shell, XmNx, Position(x), XmNy, Position(y), nullptr);
  XtPopup(mb->tip_shell, XtGrabNone);
  mb->tip_shown = 1;
}

void wumtlwn(Widget, XtPointer client, XEvent *event, Boolean *) {
  auto *t = static_cast<wu_tool *>(client);
  wu_state *s = State();
  if (!s || !devb || !devb->prefs.use_toolbox_tips || devb->errors_masked ||
      (devb->flags & WU_DEV_DRAGGING) || !t || !t->box || !wu_reg_has(t->box, WU_REG_TOOLBOX) ||
      event->type == FocusIn)
    return;
  wu_toolbox *box = t->box;
  if (event->type == EnterNotify) {
    if (box->tip_timer) XtRemoveTimeOut(box->tip_timer);   // one pending tip per box
    box->tip_timer = 0;
    if (wuttipd()) {
      box->tip_timer = XtAppAddTimeOut(devb->app, static_cast<unsigned long>(std::max(devb->prefs.toolbox_tip_delay, 0)),
                                       wumtltt, t);
    } else {
      wuttipc();
      wumtltt(t, nullptr);
    }
    return;
  }
  if (box->tip_timer) {
    // Left before the tip showed: no tip, no grace period.
    XtRemoveTimeOut(box->tip_timer);
    box->tip_timer = 0;
    return;
  }
  wu_merged_box *mb = Merged();
  if (mb && mb->tip_shown) wuttipg();   // the grace period follows a shown tip only
  if (mb && mb->tip_shell) XtPopdown(mb->tip_shell);
  if (mb) mb->tip_shown = 0;
}

}  // extern "C"
