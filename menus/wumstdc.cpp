// The standard command items: menu items whose behaviour is fixed rather
// than their command text (open, save, print, print setup, print to file,
// print screen, import, export, exit) and the one-time choice between host
// and X printing.  Each handler finds its window, builds the command (a
// host message, else a built-in default) and gives it to the window's local
// handler or queues it.
#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/MwmUtil.h>
#include <Xm/Protocols.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Separator.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "dialogs/wudialog.h"
#include "frames/wuframes.h"
#include "frames/wutframe.h"
#include "commands/wucmds.h"
#include "menus/wumenus.h"
#include "toolbox/wutbox.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"

// The menus' command callback: runs an item's command.
extern "C" void wuwpcmc(Widget item, XtPointer client, XtPointer call);
// The menus' dialog callback: opens an item's menu dialog.
extern "C" void wuwodlc(Widget item, XtPointer client, XtPointer call);

namespace {

// Messages of set 524 (commands and titles) and 526 (dialog texts).
const int32_t kCmdSet = 524, kDlgSet = 526;
enum {
  kMsgSave = 123, kMsgPrint = 138, kMsgPrintSetup = 137, kMsgOpenFilter = 156,
  kMsgFileTitle = 48, kMsgOpenPrefix = 56, kMsgImportTitle = 50, kMsgExportTitle = 51,
};
enum {
  kMsgTooLong = 646, kMsgExit = 80, kMsgQTitle = 449, kMsgQuestion = 450, kMsgQFrame = 451,
  kMsgQHost = 452, kMsgQX = 453, kMsgQNote = 454, kMsgOk = 12, kMsgCancel = 10, kMsgHelp = 57,
};
// Module event asked of a print window before its print command.
const int32_t kEvPrintWindow = 112;
// Shut-down states: 2 exits without asking, 3 is already exiting.
const int32_t kShutNoAsk = 2, kShutExiting = 3;
// Profile entry of the printing question.
const char kNotifEntry[] = "PRTNOTIF";
const char kNotifType[] = "UNXPREFS";
const int32_t kNotifRecordType = 225;
// Host flag set while a print command runs.
const uint32_t kHostPrinting = 0x1000000u;

// The image file types: pattern, format keyword, description message,
// offered for import, offered for export (by display depth for PBM/PPM).
enum { kExportNo = 0, kExportYes = 1, kExportMono = 2, kExportColour = 3 };
struct ImageType {
  const char *pattern;
  const char *keyword;
  int32_t description;
  bool import;
  int export_when;
};
const ImageType kTypes[] = {
    {"*.gif", "GIF", 34, true, kExportYes},      {"*.xpm", "XPM", 38, true, kExportYes},
    {"*.xbm", "XBM", 39, true, kExportYes},      {"*.pbm", "PBM", 30, true, kExportMono},
    {"*.ppm", "PBM", 41, true, kExportColour},   {"*.pgm", "PBM", 40, true, kExportNo},
    {"*.pnm", "PBM", 31, true, kExportNo},       {"*.ps", "PS", 32, false, kExportYes},
    {"*.eps", "EPSI", 28, false, kExportYes},    {"*.xwd", "XWD", 37, true, kExportNo},
    {"*.bmp", "BMP", 27, true, kExportYes},      {"*.tif", "TIFF", 35, true, kExportYes},
    {"*.tga", "TGA", 36, true, kExportNo},       {"*.pcx", "PCX", 33, true, kExportNo},
    {"*.jpg", "JFIF", 443, true, kExportYes},    {"*.png", "PNG", 628, true, kExportYes},
    {"*.pcd", "PCD", 29, true, kExportNo},       {"*.*", "AUTODET", 629, true, kExportNo},
};
const char kAutoDetect[] = "AUTODET";

// A filter list of the form the file selection takes.
struct Filters {
  int32_t count = 0;
  wu_fsel_pattern patterns[WU_FSEL_FILTERS_MAX];
};

std::string Message(int32_t set, int32_t number, const char *fallback) {
  char *m = wuxgmft(set, number);
  std::string out = m ? m : (fallback ? fallback : "");
  wumfree(m);
  return out;
}

wu_window *Current() {
  wu_state *s = wu_module();
  wu_window *w = s ? s->current : nullptr;
  return wu_reg_has(w, WU_REG_WINDOW) ? w : nullptr;
}

wu_window *HandlerWindow(Widget item, XtPointer client) { return wumhwin(item, client); }

using LocalHandlerFn = wu_status (*)(wu_window *, const char *);

// Gives a command to the window's local handler, else queues it.
wu_status Run(wu_window *w, const char *command, int32_t length, int32_t flag2) {
  if (w->local_handler) return reinterpret_cast<LocalHandlerFn>(w->local_handler)(w, command);
  return wuxqcmd(w, command, length, 1, 1, flag2);
}

// A command that does not fit is never cut: the user is told and nothing
// is queued.
void TooLong(wu_window *w) {
  wumpmmh(w && w->outer ? w->outer : nullptr, w, kDlgSet, kMsgTooLong, WU_MSGB_OK, nullptr);
}

// The label of a menu item (titles of the import and export dialogs).
std::string ItemLabel(Widget item) {
  if (!item || !XmIsLabel(item)) return std::string();
  XmString s = nullptr;
  XtVaGetValues(item, XmNlabelString, &s, nullptr);
  std::string out;
  if (s) {
    if (char *t = wumgstr(s)) {
      out = t;
      XtFree(t);
    }
    XmStringFree(s);
  }
  return out;
}

Filters ImageFilters(bool import) {
  Filters f;
  for (const ImageType &t : kTypes) {
    bool offer = import ? t.import : t.export_when != kExportNo;
    if (!import && t.export_when == kExportMono) offer = devb && devb->depth == 1;
    if (!import && t.export_when == kExportColour) offer = devb && devb->depth > 1;
    if (offer && f.count < WU_FSEL_FILTERS_MAX)
      f.patterns[f.count++] = {wzstlen(t.pattern), t.pattern};
  }
  return f;
}

// Runs the file selection; true with the chosen path in `req`.
bool Choose(wu_window *w, const std::string &title, int32_t level, const void *filters,
            wu_fsel *req) {
  wumfswl(level);
  *req = wu_fsel{};
  req->mode = WU_FSEL_FILE;
  wu_reg_hold hold = wu_reg_take(w);
  wu_status st = wumfsfl(w, title.c_str(), req, nullptr, filters);
  if (!wu_reg_alive(hold) || st != WU_OK || req->length <= 0) return false;
  req->path[std::min(req->length, int32_t(WU_FSEL_PATH_MAX - 1))] = '\0';
  return req->path[0] != '\0';
}

// Queues an import or export of the chosen file in the chosen format.
void QueueImage(wu_window *w, const char *verb, const char *path, const char *tail) {
  const std::string suffix = std::string("  'FORMAT=") + wumgtyp(wumgfil()) + tail;
  char command[WU_CMDTEXT_MAX + 1];
  if (!wumqcmd(verb, path, suffix.c_str(), command, int32_t(sizeof command))) {
    TooLong(w);
    return;
  }
  Run(w, command, wzstlen(command), 0);
}

// The profile entry of the printing question, opened in `mode`.
qev_member *OpenNotif(int32_t mode) {
  qev_lib *lib = nullptr;
  if (ylprofl(&lib) != WU_OK || !lib) return nullptr;
  char entry[QEV_NAME34_LEN];
  const int16_t length = int16_t(sizeof kNotifEntry - 1);
  std::memcpy(entry, &length, sizeof length);
  std::memset(entry + sizeof length, ' ', sizeof entry - sizeof length);
  std::memcpy(entry + sizeof length, kNotifEntry, sizeof kNotifEntry - 1);
  qev_member *m = nullptr;
  if (ylmopen(lib, entry, kNotifType, mode, &m) != WU_OK) return nullptr;
  return m;
}

// ---- the printing question -----------------------------------------------------
struct Question {
  Widget dialog = nullptr;
  Widget first = nullptr;     // the host-printing choice
  int32_t answer = WU_ANSWER_CANCEL;
};

void QuestionOk(Widget, XtPointer client, XtPointer) {
  auto *q = static_cast<Question *>(client);
  if (!q->dialog) return;
  q->answer = XmToggleButtonGetState(q->first) ? WU_ANSWER_YES : WU_ANSWER_NO;
  XtUnmanageChild(q->dialog);
}

void QuestionCancel(Widget, XtPointer client, XtPointer) {
  auto *q = static_cast<Question *>(client);
  if (!q->dialog) return;
  q->answer = WU_ANSWER_CANCEL;
  XtUnmanageChild(q->dialog);
}

void QuestionHelp(Widget, XtPointer, XtPointer) {
  wu_help_request r{};
  r.texts[0] = {"host", 4};
  r.texts[1] = {"mhpr", 4};
  r.texts[2] = {"1", 1};
  r.context = yytgexe(yucurtk());
  wunhelpc(&r);
}

Widget Label(Widget parent, const char *name, int32_t number, Arg *extra, Cardinal extra_n) {
  XmString s = wumlstr(kDlgSet, number);
  Arg a[12];
  Cardinal n = 0;
  if (s) { XtSetArg(a[n], XmNlabelString, s); ++n; }
  if (devb->font_list) { XtSetArg(a[n], XmNfontList, devb->font_list); ++n; }
  for (Cardinal i = 0; i < extra_n && n < 12; ++i) a[n++] = extra[i];
  Widget w = XmCreateLabel(parent, const_cast<char *>(name), a, n);
  if (s) XmStringFree(s);
  XtManageChild(w);
  wuwidrg(w, nullptr);
  return w;
}

Widget Button(Widget parent, int32_t number, XtCallbackProc cb, Question *q, Widget left,
              Widget above) {
  XmString s = wumlstr(kDlgSet, number);
  Widget b = XtVaCreateManagedWidget("button", xmPushButtonWidgetClass, parent, XmNtopAttachment,
                                     XmATTACH_WIDGET, XmNtopWidget, above, XmNtopOffset, 8,
                                     XmNbottomAttachment, XmATTACH_FORM, XmNbottomOffset, 8,
                                     XmNleftAttachment,
                                     left ? XmATTACH_WIDGET : XmATTACH_FORM, XmNleftOffset, 8,
                                     nullptr);
  if (left) XtVaSetValues(b, XmNleftWidget, left, nullptr);
  if (s) {
    XtVaSetValues(b, XmNlabelString, s, nullptr);
    XmStringFree(s);
  }
  XtAddCallback(b, XmNactivateCallback, cb, q);
  wuwidrg(b, nullptr);
  return b;
}

// Asks whether the host or X prints; 124 X printing, 125 host printing,
// 127 cancelled.
int32_t PostHostPrtDialog(Widget parent) {
  if (!devb || !wu_x_ok()) return WU_ANSWER_CANCEL;
  (void)parent;
  Arg sa[8];
  Cardinal sn = 0;
  XtSetArg(sa[sn], XmNvisual, devb->visual); ++sn;
  XtSetArg(sa[sn], XmNdepth, devb->depth); ++sn;
  XtSetArg(sa[sn], XmNcolormap, devb->colormap); ++sn;
  XtSetArg(sa[sn], XmNmappedWhenManaged, False); ++sn;
  sn = wu_shell_fonts(sa, sn);
  Widget shell = XtAppCreateShell("PrintQuestionP", "QEV", applicationShellWidgetClass, devb->display,
                                  sa, sn);
  Question q;
  const std::string title = Message(kDlgSet, kMsgQTitle, "");
  XmString xtitle = wumcstr(title.c_str());
  Widget d = XtVaCreateWidget("PrintQuestion", xmFormWidgetClass, shell, XmNautoUnmanage, False,
                              XmNdialogTitle, xtitle, nullptr);
  if (xtitle) XmStringFree(xtitle);
  XtVaSetValues(shell, XmNtitle, title.c_str(), XmNmwmFunctions, MWM_FUNC_MOVE, XmNdeleteResponse,
                XmDO_NOTHING, nullptr);
  q.dialog = d;
  Arg a[4];
  Cardinal n = 0;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  Widget question = Label(d, "question", kMsgQuestion, a, n);
  Widget frame = XtVaCreateManagedWidget("frame", xmFrameWidgetClass, d, XmNtopAttachment,
                                         XmATTACH_WIDGET, XmNtopWidget, question, XmNleftAttachment,
                                         XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  n = 0;
  XtSetArg(a[n], XmNchildType, XmFRAME_TITLE_CHILD); ++n;
  Label(frame, "title", kMsgQFrame, a, n);
  Widget radio = XmCreateRadioBox(frame, const_cast<char *>("radio"), nullptr, 0);
  XtManageChild(radio);
  XmString s1 = wumlstr(kDlgSet, kMsgQHost), s2 = wumlstr(kDlgSet, kMsgQX);
  q.first = XtVaCreateManagedWidget("choice1", xmToggleButtonWidgetClass, radio, XmNset, True, nullptr);
  Widget second = XtVaCreateManagedWidget("choice2", xmToggleButtonWidgetClass, radio, nullptr);
  if (s1) { XtVaSetValues(q.first, XmNlabelString, s1, nullptr); XmStringFree(s1); }
  if (s2) { XtVaSetValues(second, XmNlabelString, s2, nullptr); XmStringFree(s2); }
  wuwidrg(q.first, nullptr);
  wuwidrg(second, nullptr);
  n = 0;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_WIDGET); ++n;
  XtSetArg(a[n], XmNtopWidget, frame); ++n;
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  Widget note = Label(d, "note", kMsgQNote, a, n);
  Widget sep = XtVaCreateManagedWidget("separator", xmSeparatorWidgetClass, d, XmNtopAttachment,
                                       XmATTACH_WIDGET, XmNtopWidget, note, XmNleftAttachment,
                                       XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  Widget ok = Button(d, kMsgOk, QuestionOk, &q, nullptr, sep);
  Widget cancel = Button(d, kMsgCancel, QuestionCancel, &q, ok, sep);
  if (vuxihlp()) Button(d, kMsgHelp, QuestionHelp, &q, cancel, sep);
  XmAddWMProtocolCallback(shell, devb->wm_delete_window, QuestionCancel, &q);
  const uint8_t outer_modal = devb->modal_requestor;
  devb->modal_requestor = 1;
  XtManageChild(d);
  XtRealizeWidget(shell);
  XtMapWidget(shell);
  // Application modal: the rest of the module takes no input meanwhile.
  XtAddGrab(shell, True, False);
  wumdevt(d, 1);
  q.dialog = nullptr;  // no answers after this
  if (devb) {
    if (!shell->core.being_destroyed) XtRemoveGrab(shell);
    devb->modal_requestor = outer_modal;
    XtDestroyWidget(shell);
  }
  return q.answer;
}

// The printer device: an X printer unless one is named.
void SetPrintDevice() {
  wu_status st = WU_OK;
  std::string name;
  const char *dev = yw7cget("PRINTGDEV", &st);
  if (st == WU_OK && dev) name = dev;
  if (st != WU_OK || name.empty() || name[0] == '.' || wzbcup(name.c_str(), "XPRINT", 6) == 0) {
    st = WU_OK;
    dev = yw7cget("DEVICE", &st);
    name = (st == WU_OK && dev) ? dev : "";
  }
  if (name.size() < 6 || wzbcup(name.c_str(), "XPRINT", 6) != 0)
    yw7cset("PRINTGDEV", devb && devb->depth == 1 ? "XPRINTM" : "XPRINTC");
}

// Commands that print: "print..." and the graphics print commands.
bool IsPrintCommand(const char *command) {
  static const char *const kGraphics[] = {"qgvprint", "qgdprint", "qgfprint", "qgwprint",
                                          "qgmprint"};
  const int32_t n = wzstlen(command);
  if (n >= 5 && wzbcup(command, "print", 5) == 0) return true;
  for (const char *g : kGraphics)
    if (n >= 8 && wzbcup(command, g, 8) == 0) return true;
  return false;
}

// Runs the print command once the printing choice is settled.
void RunPrint(wu_window *w, Widget item, const char *command) {
  if (!item) {
    // The queued command is a copy: the caller's text may go away.
    const std::string text = command && *command ? command : "print";
    wu_reg_hold hold = wu_reg_take(w);
    if (w->local_handler) {
      Run(w, text.c_str(), -1, 0);
    } else {
      wuxqcmd(w, text.c_str(), -1, 1, 1, 0);
      w->host_flags |= kHostPrinting;
    }
    if (!wu_reg_alive(hold)) return;
    wutsync(1, 0);
    if (wu_reg_alive(hold) && w->menu_mode != 1 && w->input) wuwFocusToQevinput(w);
    return;
  }
  // From an item: print commands run as menu commands; an item with a
  // dialog opens it for any other command (or none); without a dialog the
  // command runs as a menu command too, never through the item again (its
  // own callback is this handler).
  wu_menu_node *dialog = wumitdn(item);
  const bool has_command = command && *command;
  if (has_command && (IsPrintCommand(command) || !dialog))
    wuwpcmc(item, const_cast<char *>(command), nullptr);
  else if (dialog)
    wuwodlc(item, dialog, nullptr);
}

}  // namespace

extern "C" {

void SelectExcluded(int32_t which) {
  wu_state *s = wu_module();
  if (!s || which < 0 || which > 1) return;
  s->excluded = s->excluded_lists[which];
  s->excluded_count = s->excluded_counts[which];
}

wu_window *wumhwin(Widget item, XtPointer client) {
  if (item) {
    // A menu item acts for its own window only: when the item or its
    // window went (host code on the item released it), it does nothing.
    if (!wumialv(item)) return nullptr;
    XtPointer data = nullptr;
    XtVaGetValues(item, XmNuserData, &data, nullptr);
    auto *ctx = static_cast<wu_menu_item_ctx *>(data);
    if (ctx && wu_reg_has(ctx, WU_REG_MENUITEM))
      return wu_reg_has(ctx->window, WU_REG_WINDOW) ? ctx->window : nullptr;
  } else if (client && wu_reg_has(client, WU_REG_WINDOW)) {
    return static_cast<wu_window *>(client);
  }
  return Current();
}

int32_t wumqcmd(const char *prefix, const char *path, const char *suffix, char *out, int32_t size) {
  if (!out || size <= 0) return 0;
  out[0] = '\0';
  if (!prefix || !path || !suffix) return 0;
  std::string command = prefix;
  command += '\'';
  for (const char *p = path; *p; ++p) {
    if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7f) return 0;
    command += *p;
    if (*p == '\'') command += '\'';
  }
  command += '\'';
  command += suffix;
  if (command.size() > size_t(WU_CMDTEXT_MAX) || command.size() >= size_t(size)) return 0;
  std::memcpy(out, command.c_str(), command.size() + 1);
  return 1;
}

void wuwnkfd(Widget item, XtPointer client, XtPointer) {
  if (wu_window *w = HandlerWindow(item, client))
    Run(w, Message(kCmdSet, kMsgSave, "DLGSAVE").c_str(), -1, 1);
}

void wuwprst(Widget item, XtPointer client, XtPointer) {
  if (wu_window *w = HandlerWindow(item, client))
    Run(w, Message(kCmdSet, kMsgPrintSetup, "DLGPRTSETUP").c_str(), -1, 1);
}

void wuwakfd(Widget item, XtPointer client, XtPointer) {
  if (wu_window *w = HandlerWindow(item, client))
    Run(w, Message(kCmdSet, kMsgOpenFilter, "DLGOPEN FILTER = *").c_str(), -1, 1);
}

void wuwprnt(Widget item, XtPointer client, XtPointer) {
  wu_window *w = HandlerWindow(item, client);
  if (!w) return;
  wu_reg_hold hold = wu_reg_take(w);
  if (w->flags & WU_WIN_PRINT_WINDOW) wuxqwev(w, kEvPrintWindow, nullptr, 0);
  if (wu_reg_alive(hold)) Run(w, Message(kCmdSet, kMsgPrint, "DLGPRT").c_str(), -1, 1);
}

void wuwpscr(Widget item, XtPointer client, XtPointer) {
  wu_window *w = HandlerWindow(item, client);
  if (!w) return;
  int32_t universal = 0;
  const bool dm = wyrnget("UNIVERSALPRINT", 14, &universal) == WU_OK && universal != 0;
  Run(w, dm ? "DMPRT ALTCMD='SPRINT NOBORDER'" : "DLGPRT ALTCMD='SPRINT NOBORDER'", -1, 1);
}

void wuwpkfd(Widget item, XtPointer client, XtPointer) {
  wu_window *w = HandlerWindow(item, client);
  if (!w) return;
  const char *given = item ? static_cast<const char *>(client) : nullptr;
  if (w->local_handler) {
    Run(w, given ? given : "", -1, 0);
    return;
  }
  const std::string prefix = given && *given ? std::string(given) : Message(kCmdSet, kMsgOpenPrefix, "");
  wu_fsel req;
  if (!Choose(w, Message(kCmdSet, kMsgFileTitle, ""), WU_FSEL_LEVEL_OPEN, wumdflt(w->kind), &req))
    return;
  char command[WU_CMDTEXT_MAX + 1];
  if (prefix.empty() || !wumqcmd((prefix + " ").c_str(), req.path, "", command, int32_t(sizeof command))) {
    TooLong(w);
    return;
  }
  Run(w, command, wzstlen(command), 0);
}

void wuwsprf(Widget item, XtPointer client, XtPointer) {
  wu_window *w = HandlerWindow(item, client);
  if (!w) return;
  wu_fsel req;
  if (!Choose(w, Message(kCmdSet, kMsgFileTitle, ""), WU_FSEL_LEVEL_SAVE, nullptr, &req)) return;
  std::string command = "PRTFILE ";
  for (const char *p = req.path; *p; ++p)
    if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7f) {
      TooLong(w);
      return;
    }
  command += req.path;
  command += (req.write_mode & WU_FSEL_APPEND) ? " APPEND" : " REPLACE";
  if (command.size() > size_t(WU_CMDTEXT_MAX)) {
    TooLong(w);
    return;
  }
  Run(w, command.c_str(), int32_t(command.size()), 0);
}

void wuwikfd(Widget item, XtPointer client, XtPointer) {
  wu_window *w = HandlerWindow(item, client);
  if (!w) return;
  std::string title = item && item != w->outer ? ItemLabel(item) : std::string();
  if (title.empty()) title = Message(kCmdSet, kMsgImportTitle, "");
  const Filters filters = ImageFilters(true);
  wu_fsel req;
  if (!Choose(w, title, WU_FSEL_LEVEL_IMPORT, &filters, &req) || !wumgfil()) return;
  QueueImage(w, "IMPORT ", req.path, "'  ");
}

void wuwekfd(Widget item, XtPointer client, XtPointer) {
  wu_window *w = HandlerWindow(item, client);
  if (!w) return;
  std::string title = item && item != w->outer ? ItemLabel(item) : std::string();
  if (title.empty()) title = Message(kCmdSet, kMsgExportTitle, "");
  char path[WU_FSEL_PATH_MAX] = {}, filter[WU_FSEL_PATTERN_MAX + 1] = {};
  wu_reg_hold hold = wu_reg_take(w);
  if (wumpexp(w, title.c_str(), path, int32_t(sizeof path), filter, int32_t(sizeof filter)) != WU_OK ||
      !wu_reg_alive(hold) || !path[0] || !wumgfil())
    return;
  QueueImage(w, "EXPORT ", path, "' ");
}

wu_status wumpexp(wu_window *w, const char *title, char *path, int32_t size, char *filter,
                  int32_t filter_size) {
  if (!path || size <= 0) return WU_BADARG;
  path[0] = '\0';
  if (filter && filter_size > 0) filter[0] = '\0';
  const Filters filters = ImageFilters(false);
  wu_fsel req;
  if (!Choose(w, title ? title : "", WU_FSEL_LEVEL_EXPORT, &filters, &req)) return WU_CANCELLED;
  if (wzstlen(req.path) >= size) return WU_TRUNCATED;
  std::strcpy(path, req.path);
  if (filter && filter_size > 0) {
    const char *f = wumgfil();
    if (f && wzstlen(f) < filter_size) std::strcpy(filter, f);
  }
  return WU_OK;
}

const char *wumgtyp(const char *filter) {
  if (!filter) return kAutoDetect;
  const int32_t n = wzstlen(filter);
  for (const ImageType &t : kTypes) {
    const int32_t k = wzstlen(t.pattern);
    if (n >= k && wzbcup(filter, t.pattern, k) == 0) return t.keyword;
  }
  return kAutoDetect;
}

void wuwexit(Widget item, XtPointer client, XtPointer call) {
  const int32_t state = xyttsd();
  if (state == kShutExiting) return;
  wu_window *w = HandlerWindow(item, client);
  if (!devb || !devb->prefs.confirm_exit) {
    if (wu_window *cur = Current()) wuxqcmd(cur, "BYE", -1, 1, 1, 0);
    return;
  }
  if (!w) return;
  if (state != kShutNoAsk) {
    Widget parent = nullptr;
    if (item) {
      parent = item;
      while (XtParent(parent)) parent = XtParent(parent);
    } else if (call) {
      parent = w->outer;
    }
    if (!parent) parent = devb->toplevel;
    wu_reg_hold hold = wu_reg_take(w);
    const int32_t answer = wumpmmh(parent, w, kDlgSet, kMsgExit, WU_MSGB_OKCANCEL, "Exit...");
    if (answer != WU_ANSWER_OK || !wu_reg_alive(hold)) return;
  }
  Run(w, "BYE", 3, 0);
}

void wuwhprt(Widget item, XtPointer client, XtPointer) {
  wu_window *w = HandlerWindow(item, client);
  if (!w || w->local_handler) return;
  // From an item the client data is the item's command.  Without one it
  // is either the window to print (no command: "print" runs) or the
  // command itself, for the current window.
  const bool given = client && (item || !wu_reg_has(client, WU_REG_WINDOW));
  const std::string command = given ? static_cast<const char *>(client) : "";
  const bool batch = devb && devb->appres.batch_driver_mode != 0;
  if (GetHostPrintNotif() || batch) {
    if (item) RunPrint(w, item, command.c_str());
    return;
  }
  wu_reg_hold hold = wu_reg_take(w);
  const int32_t answer = PostHostPrtDialog(w->outer);
  if (!wu_reg_alive(hold)) return;
  const bool was_on = devb && devb->prefs.host_print;
  if (answer == WU_ANSWER_NO) {
    wumshpn(0);
    if (was_on) {
      devb->prefs.host_print = False;
      SelectExcluded(1);
      wuxqcmd(w, ";WPMENU;WPMENU;", -1, 1, 1, 1);
    }
    yw7bset("HOSTPRINT", 0);
    if (wu_reg_alive(hold)) RunPrint(w, item, command.c_str());
  } else if (answer == WU_ANSWER_YES) {
    wumshpn(1);
    if (devb) devb->prefs.host_print = True;
    SelectExcluded(0);
    wuxqcmd(w, ";WPMENU;WPMENU;", -1, 1, 1, 1);
    if (item) {
      if (w->flags & WU_WIN_PRINT_WINDOW) wuxqwev(w, kEvPrintWindow, nullptr, 0);
      if (wu_reg_alive(hold)) wuxqcmd(w, Message(kCmdSet, kMsgPrint, "DLGPRT").c_str(), -1, 1, 1, 1);
    }
    SetPrintDevice();
    yw7bset("HOSTPRINT", 1);
  }
}

wu_status wumshpn(int32_t value) {
  qev_member *m = OpenNotif(QEV_LIB_WRITE);
  if (!m) return WU_NOTAVAIL;
  wu_status st = ylmwrit(m, &value, int32_t(sizeof value), kNotifRecordType);
  wu_status cl = ylmclos(m, st != WU_OK);
  return st != WU_OK ? st : cl;
}

int32_t GetHostPrintNotif(void) {
  qev_member *m = OpenNotif(QEV_LIB_READ);
  if (!m) return 0;
  ylmclos(m, 0);
  return 1;
}

}  // extern "C"
