// The window-command dispatcher: the window-system commands 31 to 113 that
// the host hands back for a window (slot 12, wutecmd).  Each code runs its
// handler; handlers read the rest of the command from the host's tokens,
// open dialogs, change settings and often answer by queuing a host command
// for the window.  Codes that are not the dispatcher's answer WU_NOTAVAIL.
#include <X11/Intrinsic.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands/wucmds.h"
#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "graphics/wugraph.h"
#include "menus/wumenus.h"
#include "qev/commands.h"
#include "toolbox/wutbox.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"

namespace {

// Messages of set 524.
enum {
  kMsgNotHere = 8,
  kMsgReshelperCmd = 46,
  kMsgReshelper = 54,
  kMsgNoUndo = 136,
  kMsgNoXPrint = 143,
  kMsgUniversal = 157,
  kMsgBadInterval = 158,
  kMsgBadAutosave = 159,
};
const int32_t kSetPrint = 608;
const int32_t kMsgBadPrintMode = 147;
const int32_t kMsgNoEngine = 459;

const char kUniversalPrint[] = "UNIVERSALPRINT";
const int32_t kTokenMax = 255;       // addresses and resource names
const int32_t kFontNameMax = 511;
const int32_t kXlfdDashes = 14;
const int32_t kXlfdWeight = 3;
const int32_t kAutosaveMax = 60;     // minutes
const int32_t kWPMENUToggle = 3;     // wuxmenu: toggle the menu-bar mode of all windows
const char kDefaultBrowse[] = "https://www.example.com/";

// Window kinds of the edit table.
bool GraphKind(int32_t kind) { return kind >= 46 && kind <= 49; }
bool ImageKind(int32_t kind) { return kind == 73 || kind == -2; }

bool g_firsttime = true;
double g_universalprt = 0;

void Show(wu_window *w, int32_t set, int32_t number) { yudsmsg(w, 0, 2, set, number); }

// The first token of the command as an owned text (null when the command
// has no argument); `too_long` tells a token over `limit` characters.
std::string FirstToken(bool *present, bool *too_long, int32_t limit) {
  *present = false;
  *too_long = false;
  const qev_token *t = xncgtok();
  if (!t || wumtend(t) || !t->text || t->length <= 0) return std::string();
  *present = true;
  if (t->length > limit) *too_long = true;
  return std::string(t->text, size_t(t->length));
}

void Queue(wu_window *w, const char *text, int32_t copy, int32_t f1, int32_t f2) {
  wuxqcmd(w, text, -1, copy, f1, f2);
}

bool XPrinting() { return devb && devb->prefs.host_print; }

// ---- code 31 --------------------------------------------------------------
void HandleRESHELPER(wu_window *w) {
  int32_t length = 0;
  const char *text = wuxrmsg(WU_MSG_CMD, kMsgReshelperCmd, &length);
  if (text && length > 0) wuxqcmd(w, text, length, 1, 1, 1);
  yuhmsg(WU_MSG_CMD, kMsgReshelper);
}

// ---- codes 63 to 66: edit commands -----------------------------------------
void HandleEdit(wu_window *w, int32_t code) {
  const bool editor = wucw2ep(w) != nullptr;
  const int32_t kind = w->kind;
  const char *text = nullptr;
  const int column = editor ? 0 : GraphKind(kind) ? 1 : ImageKind(kind) ? 2 : 0;
  static const char *const kCopy[3] = {"STORE", "GSTORE", "IGEMOVE"};
  static const char *const kPaste[3] = {"PASTE", "GPASTE", "IGEPCLPB"};
  static const char *const kCut[3] = {"CUT", "GSTORE;DELETE", "IGECCLPB"};
  static const char *const kUndo[3] = {"UNDO", nullptr, "UNDO"};
  switch (code) {
    case WU_CMD_WCOPY: text = kCopy[column]; break;
    case WU_CMD_WPASTE: text = kPaste[column]; break;
    case WU_CMD_WCUT: text = kCut[column]; break;
    default: text = kUndo[column]; break;
  }
  if (!text) {
    Show(w, WU_MSG_CMD, kMsgNoUndo);
    return;
  }
  Queue(w, text, 1, 1, 0);
}

// ---- code 77: X resource dump -----------------------------------------------
void LogLine(int32_t cls, const char *text) {
  qev_arg a = {QEV_ARG_TEXT, wzstlen(text), text, 0};
  const char *fmt = cls == QEV_LOG_NOTE ? "%1z%s" : cls == QEV_LOG_ERROR ? "%3z%s" : "%s";
  wumtlog(cls, fmt, 1, &a);
}

void HandleDLGXRESDUMP(wu_window *) {
  bool given = false, too_long = false;
  std::string name = FirstToken(&given, &too_long, kTokenMax);
  if (given) xncdrcm();
  LogLine(QEV_LOG_ERROR, "Start of DLGXRESDUMP Output.");
  LogLine(0, " ");
  bool matched = !given;
  if (!too_long) {
    const char *n = given ? name.c_str() : nullptr;
    // Every list runs (each prints what it has); a name is unknown only
    // when none of them knew it.
    if (wutqicn(n) != WU_NOTAVAIL) matched = true;
    if (wutqprf(n) != WU_NOTAVAIL) matched = true;
    if (wutqxm(n) != WU_NOTAVAIL) matched = true;
    if (wutqxt2(n) != WU_NOTAVAIL) matched = true;
  }
  if (!matched) {
    qev_arg a = {QEV_ARG_TEXT, int32_t(name.size()), name.data(), 0};
    wumtlog(QEV_LOG_NOTE, "%1zUnknown X-resource 'QEV.%s'", 1, &a);
  }
  LogLine(0, " ");
  LogLine(QEV_LOG_ERROR, "End of DLGXRESDUMP Output.");
}

// ---- code 71: print mode ------------------------------------------------------
bool PrintKeyword(const qev_token *t, const char *keyword) {
  // Case-insensitive over the token's own length: abbreviations match.
  const int32_t n = t->length;
  return n > 0 && n <= wzstlen(keyword) && wzbcup(t->text, keyword, n) == 0;
}

bool OptionNamed(const char *name) {
  wu_status st = WU_OK;
  const char *v = yw7cget(name, &st);
  return v && v[0] != '\0' && v[0] != '.';
}

// The printing choice changed: the menus take the excluded-item list of the
// new choice (0 printing through the host's print dialog, 1 graph printing)
// and are rebuilt for the current window.
void RebuildMenus(int32_t excluded_list) {
  wu_state *s = wu_module();
  if (!s) return;
  SelectExcluded(excluded_list);
  if (s->current) wuxqcmd(s->current, "WPMENU;WPMENU", -1, 1, 1, 1);
}

void HandleDLGPRTMODE(wu_window *w) {
  const qev_token *t = xncgtok();
  if (!t || wumtend(t)) {
    Show(w, kSetPrint, kMsgBadPrintMode);
    xncdrcm();
    return;
  }
  const bool was_on = XPrinting();
  if (PrintKeyword(t, "PREVIEW")) {
    if (!was_on) {
      Show(w, WU_MSG_CMD, kMsgNoXPrint);
    } else {
      wutsbsy(1);
      if (wupinit() != WU_OK) {
        ypmlog(WU_MSG_TOOL, kMsgNoEngine, 0, nullptr);
        wutsbsy(0);   // the busy cursor goes on every way out
        xncdrcm();
        return;
      }
      wupshop(nullptr);
      wutsbsy(0);
      if (!OptionNamed("PRINTGDEV")) {
        wu_status st = WU_OK;
        const char *dev = OptionNamed("DEVICE") ? yw7cget("DEVICE", &st) : nullptr;
        std::string keep = dev ? dev : "";
        if (keep.empty()) keep = (devb && devb->depth == 1) ? "XPRINTM" : "XPRINTC";
        yw7cset("PRINTGDEV", keep.c_str());
      }
      yw7bset("PRINTGDLG", 0);
      yw7bset("PRINTUSEXDRIVER", 1);
    }
  } else if (PrintKeyword(t, "NORMAL") || PrintKeyword(t, "HOST")) {
    yw7bset("PRINTGDLG", 1);
    yw7bset("PRINTUSEXDRIVER", 0);
    if (!was_on) RebuildMenus(0);
    if (devb) devb->prefs.host_print = True;
    if (wumshpn) wumshpn(1);
  } else if (PrintKeyword(t, "GRAPH")) {
    if (was_on) RebuildMenus(1);
    if (devb) devb->prefs.host_print = False;
    if (wumshpn) wumshpn(0);
    yw7cset("PRINTGDEV", "");
  } else {
    Show(w, kSetPrint, kMsgBadPrintMode);
  }
  xncdrcm();
}

// ---- code 108: browse ------------------------------------------------------------
void HandleWBROWSE(wu_window *) {
  bool given = false, too_long = false;
  std::string address = FirstToken(&given, &too_long, kTokenMax);
  xncdrcm();
  if (too_long) {
    // An address is never cut: a wrong page is worse than none.
    wutalrm();
    return;
  }
  if (!given) address = kDefaultBrowse;
  browseURL(address.data(), int32_t(address.size()), WU_BROWSE_URL);
}

// ---- code 78: display-manager font --------------------------------------------------
int32_t wugvfnt(const std::string &name) {
  int32_t dashes = 0;
  for (char c : name) dashes += c == '-';
  return dashes == kXlfdDashes;
}

void HandleSETPNXFONT(wu_window *) {
  bool given = false, too_long = false;
  std::string name = FirstToken(&given, &too_long, kFontNameMax);
  xncdrcm();
  if (!given || too_long) return;
  if (!wugvfnt(name)) {
    wumrfnt(name.c_str(), name.c_str());
    return;
  }
  // Fields between the dashes, empty ones kept; field 3 is the weight.
  std::string bold;
  size_t start = name.find('-') + 1;
  for (int32_t field = 1; field <= kXlfdDashes; ++field) {
    size_t end = name.find('-', start);
    std::string f = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
    for (char &c : f) c = char(std::tolower(static_cast<unsigned char>(c)));
    bold += '-';
    bold += field == kXlfdWeight ? std::string("bold") : f;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  wumrfnt(name.c_str(), bold.c_str());
}

// ---- code 113: autosave ---------------------------------------------------------------
void HandleWAUTOSAVE(wu_window *w) {
  bool on = true;
  int32_t interval = devb ? devb->autosave_interval : 0;
  bool failed = false;
  for (const qev_token *t = xncgtok(); t && !wumtend(t) && !failed; t = xncnxcm()) {
    wumtupc(t);
    if (wumtkey(t, "INTERVAL")) {
      const qev_token *eq = xncnxcm();
      const qev_token *num = eq && eq->type == QEV_TOK_SPECIAL && eq->subtype == 15 ? xncnxcm()
                                                                                     : nullptr;
      int32_t value = 0;
      if (!num || num->type != QEV_TOK_NUMBER || num->length > 9 ||
          wzrlchr(num->text, num->length, &value) != WU_OK || value < 1 ||
          value > kAutosaveMax) {
        Show(w, WU_MSG_CMD, kMsgBadInterval);
        failed = true;
      } else {
        interval = value;
      }
    } else if (wumtkey(t, "OFF")) {
      on = false;
    } else if (wumtkey(t, "ON")) {
      on = true;
    } else {
      Show(w, WU_MSG_CMD, kMsgBadAutosave);
      failed = true;
    }
  }
  xncdrcm();
  if (failed) return;
  if (on && (interval < 1 || interval > kAutosaveMax)) {
    // Autosave on needs an interval: none is stored yet.
    Show(w, WU_MSG_CMD, kMsgBadInterval);
    return;
  }
  wutauto(on ? 1 : 0, interval);
}

// ---- the print family ------------------------------------------------------------------
void Print(wu_window *w, const char *universal, wu_status (*dialog)(wu_window *)) {
  if (g_universalprt != 0) {
    Queue(w, universal, 1, 0, 0);
    return;
  }
  if (wuwhprt) {
    wu_reg_hold hold = wu_reg_take(w);
    wuwhprt(nullptr, w, nullptr);
    if (!wu_reg_alive(hold)) return;
  }
  if (!XPrinting() || dialog(w) == WU_NOTAVAIL) Show(w, WU_MSG_CMD, kMsgNoXPrint);
}

void Preview(wu_window *w) {
  if (g_universalprt != 0) {
    Queue(w, ";DMPRINTPREVIEW;", 1, 0, 0);
    return;
  }
  if (wuwhprt) {
    wu_reg_hold hold = wu_reg_take(w);
    wuwhprt(nullptr, w, nullptr);
    if (!wu_reg_alive(hold)) return;
  }
  wu_state *s = wu_module();
  if (XPrinting() && s && s->current)
    wuxqcmd(s->current, ";DLGPRTMODE PREVIEW;PRINT;XINTLPRTPREVIEW;DLGPRTMODE NORMAL;", -1, 1, 1, 1);
  else
    Show(w, WU_MSG_CMD, kMsgNoXPrint);
}

void Unmapped(int32_t on) {
  wu_state *s = wu_module();
  if (s) s->stay_unmapped = on;
}

}  // namespace

extern "C" {

int32_t wumtend(const qev_token *t) {
  return !t || t->type == QEV_TOK_END || t->type == QEV_TOK_END2;
}

int32_t wumtkey(const qev_token *t, const char *keyword) {
  const int32_t n = wzstlen(keyword);
  return t && t->text && n > 0 && t->length >= n && std::memcmp(t->text, keyword, size_t(n)) == 0;
}

void wumtupc(const qev_token *t) {
  if (!t || !t->text || t->length <= 0) return;
  // The host keeps token texts in writable storage for this.
  char *text = const_cast<char *>(t->text);
  wztxxlt(2, text, text, t->length);
}

void wumtlog(int32_t, const char *format, int32_t nargs, const qev_arg *args) {
  char line[1024];
  int32_t length = 0;
  wu_status st = ypsstr(line, int32_t(sizeof line), &length, format, wzstlen(format), nargs, args);
  if (st != WU_OK && st != WU_TRUNCATED) return;
  xpslog(line, length);
}

void wumfree(char *text) {
  if (text) vmfree_handler(wu_module_pool(), text, wzstlen(text) + 1, 0);
}

int32_t wutisdm(wu_window *w) {
  if (!w) return 0;
  switch (w->kind) {
    case 1: case 3: case 4: case 5: case 6: case 7: case 8: case 9:
    case 11: case 12: case 13: case 18: case 62:
      return 1;
    default:
      return 0;
  }
}

void wumtsta(int32_t on) {
  if (devb) devb->prefs.default_toolbox = on ? True : False;
}

}  // extern "C"

namespace {

wu_status RunCommand(wu_window *w, int32_t code) {
  if (g_firsttime) {
    g_firsttime = false;
    int32_t value = 0;
    if (wyrnget(kUniversalPrint, int32_t(sizeof kUniversalPrint - 1), &value) == WU_OK)
      g_universalprt = value;
  }
  if (code < WU_CMD_FIRST || code > WU_CMD_LAST) return WU_NOTAVAIL;
  if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
  switch (code) {
    case WU_CMD_RESHELPER: HandleRESHELPER(w); break;
    case WU_CMD_DLGOPEN: HandleDLGOPEN(w); break;
    case WU_CMD_DLGSAVE: HandleDLGSAVE(w); break;
    case WU_CMD_FONT: wumcfnt(w); break;
    case WU_CMD_ABOUT:
      if (!wuwoabt) return WU_NOTAVAIL;
      wuwoabt(nullptr, w, nullptr);
      break;
    case WU_CMD_EXIT:
      if (!wuwexit) return WU_NOTAVAIL;
      wuwexit(nullptr, w, XtPointer(1));
      break;
    case WU_CMD_PRINT: Print(w, ";DMPRINT;", wumpdlg); break;
    case WU_CMD_PRINTSETUP: Print(w, ";DMPRINTSETUP;", wumpstp); break;
    case WU_CMD_TOOLLOAD: HandleTOOLLOAD(w); break;
    case WU_CMD_TOOLEDIT:
      // The Tool Editor is a layer of its own; without it the command is
      // not handled here.
      if (!wumtled) return WU_NOTAVAIL;
      HandleTOOLEDIT(w);
      break;
    case WU_CMD_FIND: wumfdlg(w, WU_FDLG_FIND); break;
    case WU_CMD_CHANGE: wumfdlg(w, WU_FDLG_CHANGE); break;
    case WU_CMD_IMPORT:
      if (!wuwikfd) return WU_NOTAVAIL;
      wuwikfd(nullptr, w, nullptr);
      break;
    case WU_CMD_EXPORT:
      if (!wuwekfd) return WU_NOTAVAIL;
      wuwekfd(nullptr, w, nullptr);
      break;
    case WU_CMD_DLGCDIR: HandleDLGCDIR(w); break;
    // Codes of commands this window system does not carry out: the user is
    // told so.
    case 46: case 47: case 55: case 56: case 57: case 58: case 59: case 60:
    case 73: case 74: case 75:
      Show(w, WU_MSG_CMD, kMsgNotHere);
      break;
    case WU_CMD_TOOLCLOSE: HandleTOOLCLOSE(w); break;
    case WU_CMD_MAIL:
      if (wummdlg(w) == WU_NOTAVAIL) Show(w, WU_MSG_CMD, kMsgNotHere);
      break;
    case WU_CMD_UNMAPPED_ON: Unmapped(1); break;
    case WU_CMD_UNMAPPED_OFF: Unmapped(0); break;
    case WU_CMD_TOOLTIPS: HandleTOOLTIPS(w); break;
    case WU_CMD_TOOLLARGE: HandleTOOLLARGE2(w); break;
    case WU_CMD_WCOPY: case WU_CMD_WPASTE: case WU_CMD_WUNDO: case WU_CMD_WCUT: HandleEdit(w, code); break;
    case WU_CMD_TOOLDUMP: HandleTOOLDUMP(w); break;
    case WU_CMD_DLGSCRDUMP: HandleDLGSCRDUMP(w); break;
    case WU_CMD_PREFS: wumpref(w); break;
    case WU_CMD_PRTMODE:
      if (g_universalprt != 0) {
        Show(w, WU_MSG_CMD, kMsgUniversal);
        break;
      }
      HandleDLGPRTMODE(w);
      yw7bset("HOSTPRINT", XPrinting() ? 1 : 0);
      break;
    case WU_CMD_PREVIEW: Preview(w); break;
    case WU_CMD_TOOLSWITCH: HandleTOOLSWITCH(w); break;
    case WU_CMD_XRESDUMP: HandleDLGXRESDUMP(w); break;
    case WU_CMD_SETPNXFONT: HandleSETPNXFONT(w); break;
    case WU_CMD_WBROWSE: HandleWBROWSE(w); break;
    case WU_CMD_WPMENU:
      xncdrcm();
      wuxmenu(kWPMENUToggle);
      break;
    case WU_CMD_PREVIEWDLG:
      if (XPrinting()) wumpprv(w);
      else Show(w, WU_MSG_CMD, kMsgNoXPrint);
      break;
    case WU_CMD_TOOLDUMP2: HandleTOOLDUMP2(w); break;
    case WU_CMD_TOOLTOGGLE:
      if (!devb || !devb->prefs.default_toolbox) {
        HandleTOOLLOAD(w);
        if (wu_reg_has(w, WU_REG_WINDOW)) wumtsta(1);
      } else {
        HandleTOOLCLOSE(w);
      }
      break;
    case WU_CMD_WAUTOSAVE: HandleWAUTOSAVE(w); break;
    default:
      return WU_NOTAVAIL;
  }
  return WU_OK;
}

}  // namespace

extern "C" {

wu_status wumpcmd(wu_window *w, int32_t code) {
  const wu_status st = RunCommand(w, code);
  // What the command put up or tore down (a dialog, the grabs of a list
  // posted in it, a window the host released meanwhile) reaches the server
  // before the host goes on: it may not turn the event loop for a while.
  if (wu_x_ok()) XFlush(devb->display);
  return st;
}

// Slot 12: a window-system command for a window.
wu_status wuxecmd(wu_window *w, int32_t code) { return wutecmd(w, code); }

}  // extern "C"
