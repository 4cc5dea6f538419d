// qevdemo: the stand-in host loading the display module as a host does,
// starting it, passing a command through its event queue, then opening a
// window with panes, fields and a message line and answering what the user
// types until the command QUIT or the window's close.
//
//   qevdemo [--screenshots DIR] [MODULE]
//
// With --screenshots the demo photographs its window into DIR (in an mwm
// frame when mwm is installed), types a command into it through XTest and
// photographs the answer, and ends by itself instead of waiting for the
// user.
#include <X11/IntrinsicP.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "qev/catalog.h"
#include "qev/commands.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/records.h"
#include "qev/slots.h"
#include "demo_check.h"
#include "demo_shots.h"
#include "demo_texts.h"
#include "hostvalues.h"
#include "qevhost.h"

namespace {

using InitFn = wu_status (*)(void);
using QcmdFn = wu_status (*)(void *, const char *, int32_t, int32_t, int32_t, int32_t);
using GqevFn = wu_status (*)(void *, int32_t *, void *, int32_t, int32_t *);

using qevhost::intValue;
using qevhost::realValue;
using qevhost::textValue;

// A slot of the window interface (or of `table`), as the host calls it.
template <typename Fn>
Fn windowSlot(int32_t n, int32_t table = QEV_TABLE_WINDOW) {
  return qevhost::slot<Fn>(table, n);
}

bool check(const char *what, wu_status st) {
  std::printf("%-28s 0x%08X\n", what, static_cast<uint32_t>(st));
  return st == WU_OK;
}

// Window-interface slots and module entries of the demo window.
using GwndFn = wu_status (*)(wu_window **, int32_t, uint32_t);
using GpanFn = wu_status (*)(wu_window *, wu_pane **, int32_t, int32_t, int32_t, int32_t, uint32_t);
using WindowFn = wu_status (*)(wu_window *);
using GfldFn = wu_status (*)(wu_pane *, wu_field **, int32_t, int32_t, int32_t, int32_t, uint32_t);
using PmsgFn = wu_status (*)(wu_window *, const char *, int32_t, int32_t);
using SyncFn = wu_status (*)(int32_t, int32_t);
using CountFn = int32_t (*)(wu_window *);
// wutsync's modes: flush the output; dispatch what is pending (2: and again
// after the server has applied what the dispatched events asked).
const int32_t kSyncFlush = 1;
const int32_t kSyncDispatch = 1;
const int32_t kSyncDispatchApplied = 2;

const int32_t kDemoWindowKind = 1;
const int32_t kEnterKey = -13;        // Enter comes back as key 13
const int32_t kCloseEvent = 1000;     // the window manager's close
const int32_t kTitleColour = 4;
const int32_t kLabelColour = 2;

template <typename Fn>
Fn entry(void *module, const char *name) {
  return reinterpret_cast<Fn>(dlsym(module, name));
}

void put(wu_field *f, const char *text) {
  size_t n = std::min(std::strlen(text), static_cast<size_t>(f->length));
  std::memset(f->text, ' ', static_cast<size_t>(f->length));
  std::memcpy(f->text, text, n);
  f->flags |= WU_FLD_DIRTY;
}

std::string trimmed(const char *text, int32_t length) {
  std::string s(text, static_cast<size_t>(length));
  size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string upperCase(std::string s) {
  for (char &c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Turns the event loop for a while so that the window manager and the
// server have placed and drawn the window's latest state.
const int kSettleSteps = 20;
const useconds_t kSettleStepUs = 50000;
void settle(wu_window *w, SyncFn sync) {
  for (int i = 0; i < kSettleSteps; ++i) {
    sync(kSyncFlush, kSyncDispatchApplied);
    usleep(kSettleStepUs);
  }
  windowSlot<WindowFn>(WUX_SLOT_UWND)(w);
  sync(kSyncFlush, kSyncDispatchApplied);
}

// The command the unattended run types, and how long it waits for the
// window's answer before it gives up.
const char kTypedCommand[] = "HELLO";
const int kTypedWaitSteps = 100;      // x 50 ms

// The demo window's menu bar: a "PMENU" entry with a cascade, a menu dialog,
// a check item and a reference to a second entry.
const char kMenuLib[] = "DEMO";
const char kMenuCatalog[] = "MENUS";
const int32_t kVerboseItem = 20;
bool verbose = false;
// The run is a scripted user's (--check).
bool checking = false;

// The host's message service shows what it is handed on the message line
// of the demo's main window while that is up (else of the window it is
// for, when that window has one), and in the terminal.
PmsgFn g_pmsg = nullptr;
wu_window *g_main = nullptr;
Display *g_display = nullptr;         // the module's, once the main window is up
void showMessage(void *window, int32_t, const std::string &text) {
  std::printf("message: %s\n", text.c_str());
  if (!g_pmsg) return;
  wu_window *w = g_main ? g_main : static_cast<wu_window *>(window);
  if (w) g_pmsg(w, text.c_str(), -1, 0);
}

qevhost::MenuItem menuItem(const char *label, int32_t submenu, int32_t itemId = 0,
                           int32_t check = 0) {
  qevhost::MenuItem it;
  it.label = label;
  it.submenu = submenu;
  it.itemId = itemId;
  it.check = check;
  it.mnemonic = label[0];
  return it;
}

// An item with a command id of the module's own (the command window, About).
qevhost::MenuItem commandItem(const char *label, int32_t node, int32_t commandId) {
  qevhost::MenuItem it = menuItem(label, node);
  it.commandId = commandId;
  return it;
}

bool writeDemoMenus() {
  using qevhost::MenuNode;
  auto menu = [](int32_t n, std::vector<qevhost::MenuItem> items) {
    MenuNode m;
    m.number = n;
    m.items = std::move(items);
    return m;
  };
  auto command = [](int32_t n, const char *text) {
    MenuNode m;
    m.number = n;
    m.kind = 0;
    m.text = text;
    return m;
  };
  MenuNode greet;   // "Name:" and a 12-character field; OK queues HELLO <name>
  greet.number = 5;
  greet.kind = 2;
  greet.text = std::string("\1\1\5\0\0\0Name:\1\7\14\1\0\0", 17);
  greet.templ = "HELLO @1";
  MenuNode tools;
  tools.number = 4;
  tools.kind = 5;
  tools.libref = kMenuLib;
  tools.catalog = kMenuCatalog;
  tools.entry = "TOOLS";
  return qevhost::writeMenu(kMenuLib, kMenuCatalog, "TOOLS",
                            {menu(1, {menuItem("Hammer", 0), menuItem("Saw", 0)})}) &&
         qevhost::writeMenu(kMenuLib, kMenuCatalog, "MAIN",
                            {menu(1, {menuItem("File", 2), menuItem("Options", 3),
                                      menuItem("Tools", 4)}),
                             menu(2, {menuItem("Greet...", 5), commandItem("Command Window", 8, 40),
                                      commandItem("About", 9, 102), menuItem("Quit", 6)}),
                             menu(3, {menuItem("Verbose", 7, kVerboseItem, 1)}), tools, greet,
                             command(6, "QUIT"), command(7, "VERBOSE"), command(8, "CMDWIN"),
                             command(9, "ABOUT")});
}

void nameMenu(wu_window *w) {
  std::memset(w->menu_libref, ' ', sizeof w->menu_libref);
  std::memcpy(w->menu_libref, kMenuLib, std::strlen(kMenuLib));
  auto name34 = [](char *field, const char *text) {
    int16_t n = int16_t(std::strlen(text));
    std::memcpy(field, &n, sizeof n);
    std::memset(field + 2, ' ', QEV_NAME34_LEN - 2);
    std::memcpy(field + 2, text, size_t(n));
  };
  name34(w->menu_catalog, kMenuCatalog);
  name34(w->menu_entry, "MAIN");
  w->menu_kind = 1;
}

using ItemFn = wu_status (*)(wu_window *, int32_t, int32_t);

// The window-system commands of the host's command language and their
// numbers.  The host hands such a command to the module's dispatcher with
// the rest of the command as its tokens, whether the user typed it or the
// module queued it: TOOLEDIT from the tool box's window menu, the reload
// TOOLLOAD the Tool Editor queues after a save, TOOLCLOSE when the window
// manager closes the tool box, WPMENU, DLGPRT and WBROWSE from the menus
// and the command window.
using EcmdFn = wu_status (*)(wu_window *, int32_t);
struct WindowCommand {
  const char *name;
  int32_t code;
};
const WindowCommand kWindowCommands[] = {
    {"RESHELPER", WU_CMD_RESHELPER},
    {"DLGOPEN", WU_CMD_DLGOPEN},
    {"DLGSAVE", WU_CMD_DLGSAVE},
    {"DLGPRT", WU_CMD_PRINT},
    {"DLGPRTSETUP", WU_CMD_PRINTSETUP},
    {"TOOLLOAD", WU_CMD_TOOLLOAD},
    {"TOOLEDIT", WU_CMD_TOOLEDIT},
    {"DLGCDIR", WU_CMD_DLGCDIR},
    {"TOOLCLOSE", WU_CMD_TOOLCLOSE},
    {"TOOLTIPS", WU_CMD_TOOLTIPS},
    {"TOOLLARGE", WU_CMD_TOOLLARGE},
    {"WCOPY", WU_CMD_WCOPY},
    {"WPASTE", WU_CMD_WPASTE},
    {"WUNDO", WU_CMD_WUNDO},
    {"WCUT", WU_CMD_WCUT},
    {"TOOLDUMP", WU_CMD_TOOLDUMP},
    {"DLGSCRDUMP", WU_CMD_DLGSCRDUMP},
    {"DLGPRTMODE", WU_CMD_PRTMODE},
    {"TOOLSWITCH", WU_CMD_TOOLSWITCH},
    {"DLGXRESDUMP", WU_CMD_XRESDUMP},
    {"SETPNXFONT", WU_CMD_SETPNXFONT},
    {"WBROWSE", WU_CMD_WBROWSE},
    {"WPMENU", WU_CMD_WPMENU},
    {"WAUTOSAVE", WU_CMD_WAUTOSAVE},
};

// The commands of a command text: ";" ends one, except inside quotes.
std::vector<std::string> splitCommands(const std::string &text) {
  std::vector<std::string> out;
  std::string current;
  char quote = 0;
  for (char c : text) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      out.push_back(trimmed(current.c_str(), int32_t(current.size())));
      current.clear();
      continue;
    }
    current += c;
  }
  out.push_back(trimmed(current.c_str(), int32_t(current.size())));
  out.erase(std::remove(out.begin(), out.end(), std::string()), out.end());
  return out;
}

// Runs one command that is the window system's; false when it is not.
bool runWindowCommand(wu_window *w, const std::string &command) {
  const size_t end = command.find_first_of(" \t");
  const std::string name = upperCase(command.substr(0, end));
  for (const WindowCommand &wc : kWindowCommands) {
    if (name != wc.name) continue;
    qevhost::setCommand(end == std::string::npos ? std::string() : command.substr(end));
    windowSlot<EcmdFn>(WUX_SLOT_ECMD)(w, wc.code);
    return true;
  }
  return false;
}

// Answers one event of the demo window: each command of the text (chosen
// from the menus, queued, or typed into the entry field and ended with
// Enter) that is the window system's goes to the module's dispatcher; the
// others are echoed on the message line.  False when the demo should end.
bool answer(wu_window *w, wu_status code, PmsgFn pmsg, wu_field *entryField) {
  std::printf("event %d\n", code);
  std::string text;
  if (code == WU_EV_COMMAND && w->command_text) {
    text = w->command_text;
  } else if (code == kEnterKey && w->command_field) {
    text = trimmed(w->command_field->text, w->command_field->length);
    put(w->command_field, "");
  } else if (code == kEnterKey && entryField) {
    text = trimmed(entryField->text, entryField->length);
    // The field is emptied and the cursor goes back to its start (the
    // window shows it there at its next update) for the next command.
    put(entryField, "");
    entryField->pane->cursor_row = entryField->row;
    entryField->pane->cursor_column = entryField->column;
    entryField->pane->current_field = entryField;
  } else if (code == kCloseEvent || code == WU_NOTAVAIL) {
    return false;
  }
  for (const std::string &command : splitCommands(text)) {
    std::printf("command \"%s\"\n", command.c_str());
    const std::string upper = upperCase(command);
    const bool end = upper == "QUIT" || upper == "BYE";
    if (upper == "VERBOSE") {
      verbose = !verbose;
      windowSlot<ItemFn>(WUX_SLOT_SITM)(w, kVerboseItem, verbose ? 1 : 0);
    }
    if (!end && !runWindowCommand(w, command)) {
      std::string reply = "Command: " + command;
      pmsg(w, reply.c_str(), -1, 0);
    }
    if (checking) demo::checkCommand(command);
    if (end) return false;
  }
  return true;
}

// The unattended run types a command into the window and photographs the
// answer.  It turns the event loop until the typed Enter is queued, so a key
// that never arrives ends the run instead of blocking its read.
bool typeAndShoot(wu_window *w, const std::string &path, SyncFn sync, CountFn queued,
                  PmsgFn pmsg, wu_field *entryField) {
  Display *dpy = XtDisplay(w->outer);
  if (!demo::typeCommand(dpy, XtWindow(w->outer), kTypedCommand)) return check("typing", WU_NOTAVAIL);
  for (int i = 0; i < kTypedWaitSteps && queued(w) == 0; ++i) {
    sync(kSyncFlush, kSyncDispatchApplied);
    usleep(kSettleStepUs);
  }
  if (queued(w) == 0) return check("typed command", WU_NOTAVAIL);
  answer(w, windowSlot<WindowFn>(WUX_SLOT_RWND)(w), pmsg, entryField);
  settle(w, sync);
  return demo::saveShot(dpy, XtWindow(w->outer), path);
}

// The demo's tool box: a TOOLBOX entry in the user's library, written as the
// host's catalog services write one, and named as the default tool box.  A
// box the user has saved there, or the one written by an earlier run, is
// kept.
void putNumber(char *field, int32_t value) { std::snprintf(field, 8, "%d", value); }
bool writeToolbox() {
  const qev_kernel *k = qevhost::gcb()->kernel;
  char libref[8], catalog[34], entry[34];
  auto name34 = [](char *f, const char *t) {
    int16_t n = int16_t(std::strlen(t));
    std::memcpy(f, &n, 2);
    std::memset(f + 2, ' ', 32);
    std::memcpy(f + 2, t, std::strlen(t));
  };
  // The user's profile library holds the default tool box (the entry named
  // by message 526,153).
  std::memset(libref, ' ', 8);
  std::memcpy(libref, qevhost::kProfileLibref, std::strlen(qevhost::kProfileLibref));
  name34(catalog, qevhost::kProfileCatalog);
  name34(entry, "DEMO");
  qev_lib *lib = nullptr;
  qev_member *m = nullptr;
  qev_lib *profile = nullptr;
  k->ylprofl(&profile);
  auto closeLib = [&] {
    if (lib && lib != profile) k->ylclose(lib);
  };
  wu_toolbox_header h = {};
  if (k->yucrhdr(libref, catalog, entry, &lib, &m, &h) == WU_OK) {
    k->ylmclos(m, 0);
    closeLib();
    return true;
  }
  lib = nullptr;
  m = nullptr;
  std::strcpy(h.title, "demo tools");
  h.tool_count = 3;
  h.per_row = 3;
  h.icon_width = h.icon_height = 24;
  h.load_default = 1;
  if (k->yucwhdr(libref, catalog, entry, &lib, &m, &h) != WU_OK) return false;
  const struct { int32_t icon; const char *command, *tip; } tools[] = {
      {-1, "DMSG 'the first tool'", "First tool"}, {WU_TB_SEPARATOR_ICON, "", ""},
      {-2, "DMSG 'the second tool'", "Second tool"}};
  for (const auto &t : tools) {
    wu_tool_record r = {};
    putNumber(r.icon, t.icon);
    std::strcpy(r.command, t.command);
    std::strcpy(r.tip, t.tip);
    k->yucwtol(m, &r);
  }
  const bool written = k->ylmclos(m, 0) == WU_OK;
  closeLib();
  return written;
}

// Loads the tool box for the window through the window-system command.
bool showToolbox(wu_window *w, SyncFn sync) {
  if (!check("toolbox entry", writeToolbox() ? WU_OK : WU_NOTAVAIL)) return false;
  bool ok = check("TOOLLOAD", runWindowCommand(w, "TOOLLOAD") ? WU_OK : WU_NOTAVAIL);
  sync(kSyncFlush, kSyncDispatchApplied);
  return ok;
}

// Presses the first tool as a user would and answers what it queued.
bool pressTool(wu_window *w, SyncFn sync, CountFn queued, PmsgFn pmsg, wu_field *entryField,
               const std::string &path) {
  settle(w, sync);
  Display *dpy = XtDisplay(w->outer);
  Window box = demo::findClient(dpy, DefaultRootWindow(dpy), "QEV demo tools");
  if (box == None) return check("tool box window", WU_NOTAVAIL);
  const int kFirstTool = 28;          // past the arrow, inside the first button
  XWindowAttributes a;
  XGetWindowAttributes(dpy, box, &a);
  if (!demo::clickAt(dpy, box, kFirstTool, a.height / 2)) return check("pressing a tool", WU_NOTAVAIL);
  for (int i = 0; i < kTypedWaitSteps && queued(w) == 0; ++i) {
    sync(kSyncFlush, kSyncDispatchApplied);
    usleep(kSettleStepUs);
  }
  if (queued(w) == 0) return check("tool command", WU_NOTAVAIL);
  answer(w, windowSlot<WindowFn>(WUX_SLOT_RWND)(w), pmsg, entryField);
  settle(w, sync);
  return demo::saveShot(dpy, box, path);
}

// The unattended run opens the Options menu with its mnemonic, chooses
// Verbose (a check item whose command the window answers by checking it)
// and photographs the menu opened again with its check mark.
bool chooseAndShoot(wu_window *w, const std::string &path, SyncFn sync, CountFn queued,
                    PmsgFn pmsg, wu_field *entryField) {
  Display *dpy = XtDisplay(w->outer);
  if (!demo::pressMnemonic(dpy, 'o')) return check("menu mnemonic", WU_NOTAVAIL);
  settle(w, sync);
  demo::pressKeysym(dpy, XK_v);
  for (int i = 0; i < kTypedWaitSteps && queued(w) == 0; ++i) {
    sync(kSyncFlush, kSyncDispatchApplied);
    usleep(kSettleStepUs);
  }
  if (queued(w) == 0) return check("menu command", WU_NOTAVAIL);
  answer(w, windowSlot<WindowFn>(WUX_SLOT_RWND)(w), pmsg, entryField);
  demo::pressMnemonic(dpy, 'o');
  settle(w, sync);
  bool ok = demo::saveShot(dpy, XtWindow(w->outer), path);
  demo::pressKeysym(dpy, XK_Escape);
  settle(w, sync);
  return ok;
}

// Opens the Tool Editor with TOOLEDIT; a helper process with its own
// connection photographs it and closes it as a window manager would.
bool editAndShoot(wu_window *w, const std::string &path) {
  const char kTitle[] = "Tool Editor";
  const int kTries = 100;
  const useconds_t kStepUs = 100000;
  pid_t pid = fork();
  if (pid < 0) return check("fork", WU_NOTAVAIL);
  if (pid == 0) {
    Display *dpy = XOpenDisplay(nullptr);
    Window editor = None;
    for (int i = 0; dpy && i < kTries && editor == None; ++i) {
      usleep(kStepUs);
      editor = demo::findClient(dpy, DefaultRootWindow(dpy), kTitle);
    }
    usleep(kStepUs * 5);
    const bool ok = editor != None && demo::saveShot(dpy, editor, path);
    if (editor != None) demo::askToClose(dpy, editor);
    if (dpy) XCloseDisplay(dpy);
    _exit(ok ? 0 : 1);
  }
  runWindowCommand(w, "TOOLEDIT");
  int status = 0;
  waitpid(pid, &status, 0);
  return check("Tool Editor", WIFEXITED(status) && WEXITSTATUS(status) == 0 ? WU_OK : WU_NOTAVAIL);
}

// Opens the demo window and answers the user; true when it ran.
bool runWindow(void *module, const std::string &shots) {
  auto gfld = entry<GfldFn>(module, "wuxgfld");
  auto pmsg = entry<PmsgFn>(module, "wuxpmsg");
  auto sync = entry<SyncFn>(module, "wutsync");
  auto fwnd = entry<WindowFn>(module, "wuxfwnd");
  auto queued = entry<CountFn>(module, "wutcqev");
  if (!gfld || !pmsg || !sync || !fwnd || !queued) return check("module entries", WU_NOTAVAIL);
  wu_window *w = nullptr;
  wu_pane *top = nullptr, *form = nullptr;
  if (!check("demo menus", writeDemoMenus() ? WU_OK : WU_NOTAVAIL)) return false;
  if (!check("wuxgwnd", windowSlot<GwndFn>(WUX_SLOT_GWND)(&w, kDemoWindowKind,
                                                           WU_DECOR_MESSAGELINE |
                                                               WU_WMOD_WANTS_MENUBAR)))
    return false;
  nameMenu(w);
  bool ok = check("wuxgpan", windowSlot<GpanFn>(WUX_SLOT_GPAN)(w, &top, 1, 1, 2, 9999, 0)) &&
            check("wuxgpan", windowSlot<GpanFn>(WUX_SLOT_GPAN)(w, &form, 3, 1, 6, 60, 0));
  wu_field *title = nullptr, *label = nullptr, *entryField = nullptr, *note = nullptr;
  ok = ok && gfld(top, &title, 1, 2, 40, kTitleColour, WU_FLD_PROTECTED) == WU_OK &&
       gfld(form, &label, 2, 2, 10, kLabelColour, WU_FLD_PROTECTED) == WU_OK &&
       gfld(form, &entryField, 2, 13, 30, 0, 0) == WU_OK &&
       gfld(form, &note, 4, 2, 57, kLabelColour, WU_FLD_PROTECTED) == WU_OK;
  if (ok) {
    put(title, "qevmotif demo window");
    put(label, "Name:");
    put(note, "Use the menus, or type a command in the field; QUIT ends.");
    label->highlight = WU_FHL_REVERSE;
    ok = check("wuxiwnd", windowSlot<WindowFn>(WUX_SLOT_IWND)(w));
  }
  if (ok) {
    g_pmsg = pmsg;
    g_main = w;
    g_display = XtDisplay(w->outer);
    pmsg(w, "Ready.", -1, 0);
  }
  if (ok && shots.empty()) ok = showToolbox(w, sync);
  if (ok && checking) demo::checkWindow(demo::CheckPhase::kMain, w);
  if (ok && !shots.empty()) {
    // Photograph the window in its frame, placed clear of the corner.
    demo::placeWindow(XtDisplay(w->outer), XtWindow(w->outer));
    settle(w, sync);
    ok = demo::saveShot(XtDisplay(w->outer), XtWindow(w->outer), shots + "/qevdemo.png");
    ok = ok && typeAndShoot(w, shots + "/qevdemo-typed.png", sync, queued, pmsg, entryField);
    ok = ok && chooseAndShoot(w, shots + "/qevdemo-menu.png", sync, queued, pmsg, entryField);
    // The tool box comes after the typing: the window manager gives a newly
    // mapped shell the keyboard.
    ok = ok && showToolbox(w, sync);
    ok = ok && pressTool(w, sync, queued, pmsg, entryField, shots + "/qevdemo-toolbox.png");
    ok = ok && editAndShoot(w, shots + "/qevdemo-tooleditor.png");
  }
  while (ok && shots.empty() && answer(w, windowSlot<WindowFn>(WUX_SLOT_RWND)(w), pmsg, entryField)) {
  }
  g_main = nullptr;
  fwnd(w);
  return ok;
}


// A dialog window with two entry fields, a numeric one and a masked one; the
// control events the module posts are printed as they come.
using CreaFn = wu_status (*)(wu_ctl_handle **, wu_pane *, void *, int32_t, wu_value *, int32_t,
                             void *);
const int32_t kControlPosted = 113;   // the module posted a control event

// The host's answer to a numeric spin box: its arrows ask for the next
// number, which the host sets as the box's text, within the box's range.
const long kSpinLowest = 0, kSpinHighest = 99;

wu_status controlEvent(wu_ctl_handle *h, wu_ctl_event *rec, wu_value *params, int32_t count) {
  if (h == nullptr || rec == nullptr || h->type != WU_CTYPE_SPIN || count < 1 ||
      (rec->code != WU_EV_INCREMENT && rec->code != WU_EV_DECREMENT) ||
      params[0].type != WU_VT_STRING || params[0].pointer == nullptr)
    return WU_OK;
  // The first parameter is the box's text; a box stepping through a list
  // of words steps by itself.
  std::string text(static_cast<const char *>(params[0].pointer), size_t(std::max(params[0].value, 0)));
  char *end = nullptr;
  long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || end == nullptr || *end != '\0') return WU_OK;
  n = std::clamp(n + (rec->code == WU_EV_INCREMENT ? 1 : -1), kSpinLowest, kSpinHighest);
  std::string next = std::to_string(n);
  wu_value v = {};
  v.code = WU_A_TEXT;
  v.type = WU_VT_STRING;
  v.value = int32_t(next.size());
  v.pointer = next.data();
  return h->services->swat(h->control, &v, 1);
}

// The host's loop over what the module posted for a window: each control
// event is printed and, with `hand_over`, given to the control's event
// procedure as a host does.
void runControlEvents(wu_window *w, bool hand_over) {
  qevhost::PostedEvent e;
  while (qevhost::nextEvent(w->event_task, &e)) {
    wu_ctl_event rec = {};
    std::memcpy(&rec, e.record.data(), std::min(sizeof rec, e.record.size()));
    std::printf("control event %d from control %p\n", rec.code, static_cast<void *>(rec.handle));
    if (hand_over && rec.procedure != nullptr && rec.handle != nullptr)
      rec.procedure(rec.handle, &rec, rec.params, rec.param_count);
  }
}

// One label, one multi-line entry, and the older pane controls: a push
// button, a check box, a radio box of two buttons and a list box.  Their
// presses come back as module events (1028), printed by the loop below.
using PshFn = wu_status (*)(wu_pane *, wu_control **, int32_t, int32_t, int32_t, int32_t,
                            const char *, int32_t);
using RbxFn = wu_status (*)(wu_pane *, wu_control **, int32_t, int32_t, int32_t, int32_t, int32_t);
using RbtFn = wu_status (*)(wu_control *, wu_control **, int32_t, int32_t, int32_t, int32_t,
                            const char *, int32_t);
using GlbxFn = wu_status (*)(wu_pane *, wu_control **, const char *, int32_t, int32_t, int32_t,
                             int32_t, int32_t, int32_t, uint32_t, int32_t, const wu_str_item *,
                             int32_t);

bool addTextAndOlderControls(wu_pane *pane, int32_t *events, int32_t event_count) {
  auto crea = windowSlot<CreaFn>(WUX_SLOT_CREA);
  wu_ctl_handle *h = nullptr;
  wu_value lbl[5] = {};
  lbl[0].code = WU_A_HPOS; lbl[0].type = WU_VT_INT; lbl[0].value = 250;
  lbl[1].code = WU_A_VPOS; lbl[1].type = WU_VT_INT; lbl[1].value = 10;
  lbl[3].code = WU_A_WIDTH; lbl[3].type = WU_VT_INT; lbl[3].value = 160;
  lbl[4].code = WU_A_HEIGHT; lbl[4].type = WU_VT_INT; lbl[4].value = 50;
  const char *text = "&Notes, wrapped at blanks to the label's width";
  lbl[2].code = WU_A_TEXT; lbl[2].type = WU_VT_STRING; lbl[2].value = int32_t(std::strlen(text));
  lbl[2].pointer = const_cast<char *>(text);
  bool ok = check("wuxcrea label", crea(&h, pane, nullptr, WU_CTYPE_LABEL, lbl, 5,
                                       reinterpret_cast<void *>(controlEvent)));
  wu_str_item lines[] = {{5, 0, "first"}, {6, 0, "second"}, {5, 0, "third"}};
  wu_value mef[6] = {};
  mef[0].code = WU_A_HPOS; mef[0].type = WU_VT_INT; mef[0].value = 250;
  mef[1].code = WU_A_VPOS; mef[1].type = WU_VT_INT; mef[1].value = 64;
  mef[2].code = WU_A_WIDTH; mef[2].type = WU_VT_INT; mef[2].value = 150;
  mef[3].code = WU_A_HEIGHT; mef[3].type = WU_VT_INT; mef[3].value = 70;
  mef[4].code = WU_A_LINES; mef[4].type = WU_VT_STRLIST; mef[4].value = 3; mef[4].pointer = lines;
  mef[5].code = WU_A_EVENTS; mef[5].type = WU_VT_INTLIST; mef[5].value = event_count;
  mef[5].pointer = events;
  ok = ok && check("wuxcrea multi-line entry", crea(&h, pane, nullptr, WU_CTYPE_MULTILINE, mef, 6,
                                                    reinterpret_cast<void *>(controlEvent)));
  wu_control *c = nullptr, *box = nullptr;
  ok = ok && check("wuxgpsh", windowSlot<PshFn>(WUX_SLOT_GPSH)(pane, &c, 1, 12, 2, 0, "Apply", -1));
  ok = ok && check("wuxgchk", windowSlot<PshFn>(WUX_SLOT_GCHK)(pane, &c, 2, 12, 14, 0, "Wrap", -1));
  ok = ok && check("wuxgrbx", windowSlot<RbxFn>(WUX_SLOT_GRBX)(pane, &box, 3, 15, 2, 2, 20));
  ok = ok && check("wuxgrbt", windowSlot<RbtFn>(WUX_SLOT_GRBT)(box, &c, 31, 1, 1, 0, "Lines", -1));
  ok = ok && check("wuxgrbt", windowSlot<RbtFn>(WUX_SLOT_GRBT)(box, &c, 32, 2, 1, 0, "Pages", -1));
  wu_str_item items[] = {{5, 0, "alpha"}, {4, 0, "beta"}, {5, 0, "gamma"}};
  ok = ok && check("wuxglbx", windowSlot<GlbxFn>(WUX_SLOT_GLBX)(
                                  pane, &c, "Choices", 12, 30, 7, 25, 0, 3, WU_LBX_REPORT, 4, items, 3));
  return ok;
}

wu_ctl_handle *g_numeric_spin = nullptr;   // the numeric spin box, stepped in the unattended run

// Two combo boxes (an editable one and a drop-down list) and two spin boxes
// (numeric and stepping through a list); their events are printed below.
bool addComboAndSpinBoxes(wu_pane *pane) {
  auto crea = windowSlot<CreaFn>(WUX_SLOT_CREA);
  static int32_t events[] = {WU_EV_SELECT, WU_EV_RETURNKEY, WU_EV_INCREMENT, WU_EV_DECREMENT,
                             WU_EV_VALUECHANGED};
  static wu_str_item colours[] = {{3, 0, "red"}, {5, 0, "green"}, {4, 0, "blue"}};
  static wu_str_item sizes[] = {{5, 0, "small"}, {6, 0, "medium"}, {5, 0, "large"}};
  bool ok = true;
  for (int i = 0; ok && i < 4; ++i) {
    const bool combo = i < 2;
    // Below the older controls, which take the pane's rows 12 to 19.
    wu_value v[8] = {intValue(WU_A_HPOS, 20 + 200 * (i % 2)), intValue(WU_A_VPOS, combo ? 290 : 325),
                     intValue(WU_A_WIDTH, combo ? 150 : (i == 2 ? 80 : 1)),
                     qevhost::value(WU_A_EVENTS, WU_VT_INTLIST, int32_t(sizeof events / sizeof events[0]),
                                    events)};
    int32_t n = 4;
    if (combo)
      v[n++] = qevhost::value(WU_A_COMBOSTYLE, WU_VT_BOOL, i == 0 ? 1 : 0);
    else if (i == 3)
      v[n++] = qevhost::value(WU_A_NUMKEYS, WU_VT_BOOL, 0);
    if (combo || i == 3) {
      v[n++] = qevhost::value(WU_A_ITEMS, WU_VT_STRLIST, 3, combo ? colours : sizes);
      v[n++] = intValue(WU_A_SELECTEDINDEX, 2);
    } else {
      v[n++] = textValue(WU_A_TEXT, "10");
    }
    wu_ctl_handle *h = nullptr;
    ok = check(combo ? "wuxcrea combo box" : "wuxcrea spin box",
               crea(&h, pane, nullptr, combo ? WU_CTYPE_COMBO : WU_CTYPE_SPIN, v, n,
                    reinterpret_cast<void *>(controlEvent)));
    if (i == 2) g_numeric_spin = h;
  }
  return ok;
}

// One control of each button kind, each with its tool tip: a push button,
// a check box, a radio box, a scroll bar, a progress bar and a desktop icon.
bool addButtonControls(wu_pane *pane) {
  auto crea = windowSlot<CreaFn>(WUX_SLOT_CREA);
  static wu_str_item choices[] = {{5, 0, "Lines"}, {5, 0, "Pages"}, {8, 0, "Chapters"}};
  struct Made {
    int32_t type;
    std::vector<wu_value> entries;
  };
  const Made made[] = {
      {WU_CTYPE_PUSH, {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 10),
                       textValue(WU_A_TEXT, "&Run"), textValue(WU_A_TOOLTIP, "Runs the program")}},
      {WU_CTYPE_CHECK, {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 44),
                        textValue(WU_A_TEXT, "Keep log"), qevhost::value(WU_A_SELECTED, WU_VT_BOOL, 1),
                        textValue(WU_A_TOOLTIP, "Writes the log to a file")}},
      {WU_CTYPE_RADIO, {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 72),
                        intValue(WU_A_WIDTH, 150), intValue(WU_A_HEIGHT, 90),
                        textValue(WU_A_TITLE, "Scroll by"),
                        qevhost::value(WU_A_ITEMS, WU_VT_STRLIST, 3, choices),
                        intValue(WU_A_SELECTEDINDEX, 2),
                        textValue(WU_A_TOOLTIP, "How far a page key moves")}},
      {WU_CTYPE_SCROLL, {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 170),
                         intValue(WU_A_WIDTH, 150), realValue(WU_A_MAXIMUM, 100),
                         realValue(WU_A_LARGESCROLL, 20), realValue(WU_A_VALUE, 40),
                         textValue(WU_A_TOOLTIP, "Zoom")}},
      {WU_CTYPE_PROGRESS, {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 196),
                           intValue(WU_A_WIDTH, 150), intValue(WU_A_HEIGHT, 20),
                           intValue(WU_A_SHOWPERCENT, 1),
                           qevhost::value(WU_A_VALUE, WU_VT_NUMBER, 60),
                           textValue(WU_A_TOOLTIP, "Work done")}},
      {WU_CTYPE_DESKICON, {intValue(WU_A_HPOS, 580), intValue(WU_A_VPOS, 10),
                           textValue(WU_A_TEXT, "Report"), qevhost::value(WU_A_CONFORMSIZE, WU_VT_BOOL, 1),
                           textValue(WU_A_TOOLTIP, "Double-click to open")}},
  };
  bool ok = true;
  for (const Made &m : made) {
    wu_ctl_handle *h = nullptr;
    std::vector<wu_value> v = m.entries;
    ok = ok && check("wuxcrea button kind", crea(&h, pane, nullptr, m.type, v.data(),
                                                 int32_t(v.size()),
                                                 reinterpret_cast<void *>(controlEvent)));
  }
  return ok;
}

// The window below `top` that lies at (x, y) of its parent with the size
// given, or None.
Window windowAt(Display *dpy, Window top, int x, int y, int width, int height) {
  Window root = None, parent = None, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy, top, &root, &parent, &kids, &n)) return None;
  Window found = None;
  for (unsigned i = 0; i < n && found == None; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(dpy, kids[i], &a) && a.x == x && a.y == y && a.width == width &&
        a.height == height)
      found = kids[i];
    else
      found = windowAt(dpy, kids[i], x, y, width, height);
  }
  if (kids) XFree(kids);
  return found;
}

// The user presses the numeric spin box's arrows, 'u' the upper and 'd'
// the lower one; the host answers each step as its events come.
bool stepNumericSpinBox(wu_window *w, SyncFn sync, const char *arrows) {
  wu_ctl_handle *h = g_numeric_spin;
  int32_t x = 0, y = 0, width = 0, height = 0;
  if (h == nullptr || h->services->ggeo(h, &x, &y, &width, &height) != WU_OK) return false;
  Display *dpy = XtDisplay(w->outer);
  Window box = windowAt(dpy, XtWindow(w->outer), x, y, width, height);
  if (box == None) return check("finding the spin box", WU_NOTAVAIL);
  for (const char *a = arrows; *a != '\0'; ++a) {
    const int at_y = *a == 'u' ? height / 4 : height * 3 / 4;
    if (!demo::clickAt(dpy, box, width - 5, at_y)) return check("pressing an arrow", WU_NOTAVAIL);
    for (int k = 0; k < 5; ++k) sync(kSyncFlush, kSyncDispatch);
    runControlEvents(w, true);
  }
  wu_value text = {};
  text.code = WU_A_TEXT;
  h->services->qwat(h->control, &text, 1);
  std::printf("numeric spin box: %.*s\n", int(text.value), static_cast<const char *>(text.pointer));
  h->services->clen(h, &text, 1);
  return true;
}

bool runControls(void *module, const std::string &shots) {
  auto sync = entry<SyncFn>(module, "wutsync");
  auto fwnd = entry<WindowFn>(module, "wuxfwnd");
  if (!sync || !fwnd) return check("module entries", WU_NOTAVAIL);
  wu_window *w = nullptr;
  wu_pane *pane = nullptr;
  if (!check("wuxgwnd", windowSlot<GwndFn>(WUX_SLOT_GWND)(&w, kDemoWindowKind, 0))) return false;
  bool ok = check("wuxgpan", windowSlot<GpanFn>(WUX_SLOT_GPAN)(w, &pane, 1, 1, 27, 90, 0));
  int32_t events[] = {WU_EV_KEY,         WU_EV_RETURNKEY, WU_EV_POPUP,
                      WU_EV_DOUBLECLICK, WU_EV_CLICK,     WU_EV_VALUECHANGED};
  const char *numeric = "42";
  for (int i = 0; ok && i < 2; ++i) {
    wu_value v[5] = {};
    v[0].code = WU_A_HPOS; v[0].type = WU_VT_INT; v[0].value = 20;
    v[1].code = WU_A_VPOS; v[1].type = WU_VT_INT; v[1].value = 20 + 40 * i;
    v[2].code = WU_A_EVENTS; v[2].type = WU_VT_INTLIST;
    v[2].value = int32_t(sizeof events / sizeof events[0]); v[2].pointer = events;
    // The first field takes digits only, the second shows '*' for each character.
    v[3].code = i == 0 ? WU_A_NUMKEYS : WU_A_MASKCHAR; v[3].type = i == 0 ? WU_VT_BOOL : WU_VT_CHAR;
    v[3].value = i == 0 ? 1 : '*';
    v[4].code = WU_A_TEXT; v[4].type = WU_VT_STRING; v[4].value = int32_t(std::strlen(numeric));
    v[4].pointer = const_cast<char *>(numeric);
    wu_ctl_handle *h = nullptr;
    ok = check("wuxcrea entry field", windowSlot<CreaFn>(WUX_SLOT_CREA)(
                                          &h, pane, nullptr, WU_CTYPE_ENTRY, v, 5,
                                          reinterpret_cast<void *>(controlEvent)));
  }
  ok = ok && addTextAndOlderControls(pane, events, int32_t(sizeof events / sizeof events[0]));
  ok = ok && addComboAndSpinBoxes(pane);
  ok = ok && addButtonControls(pane);
  if (ok && !shots.empty()) {
    for (int i = 0; i < 10; ++i) sync(kSyncFlush, kSyncDispatch);
    ok = stepNumericSpinBox(w, sync, "uuud");  // 10 becomes 12
    for (int i = 0; ok && i < 10; ++i) sync(kSyncFlush, kSyncDispatch);
    std::string cmd = "import -window root '" + shots + "/qevdemo-controls.png'";
    ok = std::system(cmd.c_str()) == 0;
  }
  if (ok && checking) demo::checkWindow(demo::CheckPhase::kControls, w);
  while (ok && shots.empty()) {
    wu_status code = windowSlot<WindowFn>(WUX_SLOT_RWND)(w);
    if (code == kCloseEvent || code == WU_NOTAVAIL) break;
    runControlEvents(w, true);
    if (code != kControlPosted) std::printf("event %d\n", code);
  }
  if (checking) demo::checkWindow(demo::CheckPhase::kControls, nullptr);
  fwnd(w);
  return ok;
}

// A window with a large list view, a list box and a tree whose folders get
// their children when they are first opened.
using ClvwFn = wu_status (*)(wu_control *, int32_t, const wu_lvw_rows *, int32_t, int32_t);
const int32_t kDemoRows = 5000;
const int32_t kDemoFolders = 20;
std::vector<std::unique_ptr<wu_node_record>> g_demo_nodes;
std::vector<std::string> g_demo_labels;

wu_node_record *demoNode(const std::string &label, int32_t expandable) {
  g_demo_labels.reserve(4096);
  g_demo_labels.push_back(label);
  g_demo_nodes.push_back(std::make_unique<wu_node_record>());
  wu_node_record *r = g_demo_nodes.back().get();
  r->label = g_demo_labels.back().c_str();
  r->label_length = int32_t(label.size());
  r->focus_icon = 2;
  r->icon = expandable ? 31 : 10;
  r->expandable = expandable;
  return r;
}

// The host fills a folder when the user opens it.
wu_status treeEvent(wu_ctl_handle *h, wu_ctl_event *record, wu_value *params, int32_t count) {
  if (record->code != WU_EV_EXPAND || count < 1) return WU_OK;
  auto *folder = static_cast<wu_node_record *>(params[0].pointer);
  if (folder == nullptr || folder->child != nullptr) return WU_OK;
  wu_node_record *first = nullptr, *prev = nullptr;
  for (int i = 1; i <= 5; ++i) {
    wu_node_record *r = demoNode("file " + std::to_string(i), 0);
    if (prev) { prev->next = r; r->prev = prev; } else first = r;
    prev = r;
  }
  wu_value p[3] = {};
  p[0].type = WU_VT_NODE; p[0].pointer = folder;
  p[1].type = WU_VT_NODE; p[1].pointer = first;
  p[2].type = WU_VT_INT; p[2].value = 3;
  return h->services->meth(h, WU_M_ADDNODES, p, 3);
}

// The width of the display's character cells in pixels: the screen's width
// over the cells a window as wide as the screen has.
using GwszFn = wu_status (*)(int32_t *, int32_t, void *);
const int32_t kScreenCells = 13;      // wuxgwsz: the display's default window
const int32_t kFallbackCell = 8;
int32_t cellWidth() {
  int32_t rect[4] = {};
  auto gwsz = windowSlot<GwszFn>(WUX_SLOT_GWSZ);
  if (!g_display || !gwsz || gwsz(rect, kScreenCells, nullptr) != WU_OK || rect[3] < 1)
    return kFallbackCell;
  return std::max<int32_t>(1, DisplayWidth(g_display, DefaultScreen(g_display)) / rect[3]);
}
const int32_t kMarginCells = 3;       // a row's margins and a gap to the next column
const int32_t kIconRoom = 24;         // a row's 16-pixel icon and its margin

bool runLists(void *module, const std::string &shots) {
  auto sync = entry<SyncFn>(module, "wutsync");
  auto fwnd = entry<WindowFn>(module, "wuxfwnd");
  if (!sync || !fwnd) return check("module entries", WU_NOTAVAIL);
  wu_window *w = nullptr;
  wu_pane *pane = nullptr;
  if (!check("wuxgwnd", windowSlot<GwndFn>(WUX_SLOT_GWND)(&w, kDemoWindowKind, 0))) return false;
  bool ok = check("wuxgpan", windowSlot<GpanFn>(WUX_SLOT_GPAN)(w, &pane, 1, 1, 24, 128, 0));
  auto crea = windowSlot<CreaFn>(WUX_SLOT_CREA);
  auto place = [](wu_value *v, int32_t x, int32_t wd) {
    const int32_t values[4] = {x, 10, wd, 300};
    const int16_t codes[4] = {WU_A_HPOS, WU_A_VPOS, WU_A_WIDTH, WU_A_HEIGHT};
    for (int i = 0; i < 4; ++i) { v[i].code = codes[i]; v[i].type = WU_VT_INT; v[i].value = values[i]; }
  };
  wu_ctl_handle *lsv = nullptr, *lbx = nullptr, *trv = nullptr;
  wu_value v[4] = {};
  place(v, 10, 420);
  ok = ok && check("wuxcrea list view", crea(&lsv, pane, nullptr, WU_CTYPE_LISTVIEW, v, 4, nullptr));
  place(v, 440, 200);
  ok = ok && check("wuxcrea list box", crea(&lbx, pane, nullptr, WU_CTYPE_LISTBOX, v, 4, nullptr));
  place(v, 650, 220);
  // Top-level folders have no handle: a double click opens them.
  wu_value tv[5] = {v[0], v[1], v[2], v[3], {}};
  tv[4].code = WU_A_AUTOEXPAND; tv[4].type = WU_VT_BOOL; tv[4].value = 1;
  ok = ok && check("wuxcrea tree view", crea(&trv, pane, nullptr, WU_CTYPE_TREEVIEW, tv, 5,
                                             reinterpret_cast<void *>(treeEvent)));
  if (ok) {
    // Each column as wide as its longest text in the display's cells, with
    // room for the row's margins (and, in the first, for the icon).
    struct Column { const char *name; int32_t characters, extra; };
    const Column columns[4] = {{"Name", 12, kIconRoom}, {"Size", 5, 0}, {"Date", 10, 0},
                               {"Kind", 8, 0}};
    const int32_t cell = cellWidth();
    for (const Column &col : columns) {
      wu_value c[6] = {};
      c[0].value = -1;
      c[1].value = (col.characters + kMarginCells) * cell + col.extra;
      c[2].type = WU_VT_STRING; c[2].pointer = const_cast<char *>(col.name);
      c[2].value = int32_t(std::strlen(col.name));
      lsv->services->meth(lsv, WU_M_ADDCOLUMN, c, 6);
    }
    std::vector<std::string> texts;
    std::vector<wu_str_item> items;
    std::vector<const wu_str_item *> rows;
    std::vector<int32_t> ids, icons;
    for (int r = 0; r < kDemoRows; ++r) {
      texts.push_back("file" + std::to_string(r + 1) + ".txt");
      texts.push_back(std::to_string((r * 7919) % 100000));
      texts.push_back("2026-12-" + std::to_string(1 + r % 28));
      texts.push_back(r % 3 ? "document" : "folder");
      ids.push_back(r + 1);
      icons.push_back(r % 3 ? 10 : 31);
    }
    for (const std::string &t : texts) items.push_back(wu_str_item{int32_t(t.size()), 0, t.c_str()});
    for (int r = 0; r < kDemoRows; ++r) rows.push_back(&items[size_t(r) * 4]);
    wu_lvw_rows data = {rows.data(), icons.data(), ids.data()};
    ok = check("wuxclvw", windowSlot<ClvwFn>(WUXP_SLOT_CLVW, QEV_TABLE_METHODS)(
                              lsv->control, 1, &data, -1, kDemoRows));
    std::vector<wu_str_item> names_only;
    for (int r = 0; r < 100; ++r) names_only.push_back(items[size_t(r) * 4]);
    wu_value a[4] = {};
    a[0].value = -1;
    a[1].type = WU_VT_INTLIST; a[1].value = 100; a[1].pointer = icons.data();
    a[2].type = WU_VT_STRLIST; a[2].value = 100; a[2].pointer = names_only.data();
    a[3].type = WU_VT_IDLIST; a[3].value = 100; a[3].pointer = ids.data();
    ok = ok && check("list box _add", lbx->services->meth(lbx, WU_M_ADD, a, 4));
    wu_node_record *first = nullptr, *prev = nullptr;
    for (int i = 1; i <= kDemoFolders; ++i) {
      wu_node_record *r = demoNode("folder " + std::to_string(i), 1);
      if (prev) { prev->next = r; r->prev = prev; } else first = r;
      prev = r;
    }
    wu_value n[3] = {};
    n[1].type = WU_VT_NODE; n[1].pointer = first;
    n[2].type = WU_VT_INT; n[2].value = 3;
    ok = ok && check("tree _addNodes", trv->services->meth(trv, WU_M_ADDNODES, n, 3));
    wu_value e = {};
    e.type = WU_VT_NODE; e.pointer = first;
    ok = ok && check("tree _expand", trv->services->meth(trv, WU_M_EXPAND, &e, 1));
  }
  if (ok && !shots.empty()) {
    for (int i = 0; i < 10; ++i) sync(kSyncFlush, kSyncDispatch);
    std::string cmd = "import -window root '" + shots + "/qevdemo-lists.png'";
    ok = std::system(cmd.c_str()) == 0;
  }
  if (ok && checking) demo::checkWindow(demo::CheckPhase::kLists, w);
  while (ok && shots.empty()) {
    wu_status code = windowSlot<WindowFn>(WUX_SLOT_RWND)(w);
    if (code == kCloseEvent || code == WU_NOTAVAIL) break;
    runControlEvents(w, false);
  }
  if (checking) demo::checkWindow(demo::CheckPhase::kLists, nullptr);
  fwnd(w);
  return ok;
}

// The folder the demo keeps its data in from one run to the next (its
// catalogs with the menus and the tool boxes, the command history): the
// one given, else "qevdemo" in the user's data folder ($XDG_DATA_HOME,
// ~/.local/share when that is not set); empty when there is no home.
std::string dataFolder(const std::string &given) {
  if (!given.empty()) return given;
  const char *xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/qevdemo";
  const char *home = std::getenv("HOME");
  if (!home || !*home) return std::string();
  return std::string(home) + "/.local/share/qevdemo";
}

// Makes the folder and those above it that are missing.
bool makeFolder(const std::string &path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat sb;
  return ::stat(path.c_str(), &sb) == 0 && S_ISDIR(sb.st_mode);
}

}  // namespace

int main(int argc, char **argv) {
  std::string module = QEV_MODULE_PATH;
  std::string shots, data, report;
  for (int i = 1; i < argc; ++i) {
    const bool value = i + 1 < argc;
    if (std::strcmp(argv[i], "--screenshots") == 0 && value) {
      shots = argv[++i];
    } else if (std::strcmp(argv[i], "--data") == 0 && value) {
      data = argv[++i];
    } else if (std::strcmp(argv[i], "--check") == 0 && value) {
      report = argv[++i];
    } else if (argv[i][0] == '-') {
      std::fprintf(stderr,
                   "usage: qevdemo [--data DIR] [--screenshots DIR | --check REPORT] [MODULE]\n");
      return 2;
    } else {
      module = argv[i];
    }
  }
  checking = !report.empty() && shots.empty();
  // Unattended runs photograph the window with its frame, and the scripted
  // user closes windows as a user does: a window manager is there for them
  // when one is installed.
  const pid_t wm = shots.empty() && !checking ? 0 : demo::startWindowManager();
  data = dataFolder(data);
  if (!data.empty() && !makeFolder(data)) {
    std::fprintf(stderr, "qevdemo: cannot make the data folder %s\n", data.c_str());
    data.clear();
  }
  std::printf("data folder: %s\n", data.empty() ? "(temporary)" : data.c_str());
  if (qevhost::start(data) == nullptr) {
    demo::stopWindowManager(wm);
    return 1;
  }
  demo::setHostTexts();
  qevhost::setMessageSink(showMessage);
  void *handle = qevhost::loadModule(module);
#if defined(__SANITIZE_ADDRESS__)
  // The toolkit keeps caches past the module's end, which the leak checker
  // can tell from leaks (by the suppressions that name the toolkit's
  // routines) only while the code that made them is mapped: in a sanitizer
  // build the module stays loaded until the process ends.
  if (handle) dlopen(module.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
#endif
  bool ok = handle != nullptr;
  if (ok) {
    const struct { int32_t id; const char *name; } tables[] = {
        {QEV_TABLE_WINDOW, "wuxtbl"}, {QEV_TABLE_GRAPHICS, "wugtbl"},
        {QEV_TABLE_IMAGES, "wugitbl"}, {QEV_TABLE_METHODS, "wuxptbl"}};
    for (const auto &t : tables) {
      int32_t slots = 0;
      ok = ok && qevhost::table(t.id, &slots) != nullptr;
      std::printf("table %-8s id 0x%05X  %3d slots\n", t.name, static_cast<unsigned>(t.id), slots);
    }
  }
  if (ok && checking) ok = check("check report", demo::checkStart(handle, report, wm) ? WU_OK : WU_NOTAVAIL);
  ok = ok && check("wuxinit", windowSlot<InitFn>(WUX_SLOT_INIT)());
  if (ok) {
    // A command queued for a window record and read back, before any window
    // is shown.
    wu_window *window = nullptr;
    const char *command = "DMSG 'hello from qevdemo';";
    ok = check("wuxgwnd", windowSlot<GwndFn>(WUX_SLOT_GWND)(&window, kDemoWindowKind, 0));
    ok = ok && check("wuxqcmd", windowSlot<QcmdFn>(WUX_SLOT_QCMD)(window, command, -1, 1, 1, 0));
    char buf[128];
    int32_t code = -1, length = 0;
    ok = ok && check("wuxgqev", windowSlot<GqevFn>(WUX_SLOT_GQEV)(window, &code, buf, sizeof buf, &length));
    if (ok) std::printf("event %d: \"%.*s\"\n", code, static_cast<int>(length), buf);
    if (window) ok = check("wuxfwnd", entry<WindowFn>(handle, "wuxfwnd")(window)) && ok;
    ok = ok && runWindow(handle, shots);
    ok = ok && runControls(handle, shots);
    ok = ok && runLists(handle, shots);
    ok = check("wuxterm", windowSlot<InitFn>(WUX_SLOT_TERM)()) && ok;
  }
  // The host log, a line that comes again straight after itself printed
  // once with its count (each radio button of an older radio box, say,
  // logs the same words).
  const std::vector<std::string> lines = qevhost::log();
  for (size_t i = 0, n = 1; i < lines.size(); i += n) {
    for (n = 1; i + n < lines.size() && lines[i + n] == lines[i];) ++n;
    if (n == 1)
      std::printf("log: %s\n", lines[i].c_str());
    else
      std::printf("log: %s (%zu times)\n", lines[i].c_str(), n);
  }
  if (checking) ok = demo::checkFinish() && ok;
  qevhost::setMessageSink(nullptr);
  qevhost::unloadModule();
  qevhost::stop();
  demo::stopWindowManager(wm);
  std::printf("%s\n", ok ? "demo: ok" : "demo: FAILED");
  return ok ? 0 : 1;
}
