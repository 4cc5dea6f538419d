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
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "qev/catalog.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/records.h"
#include "qev/slots.h"
#include "demo_shots.h"
#include "qevhost.h"

namespace {

using InitFn = wu_status (*)(void);
using QcmdFn = wu_status (*)(void *, const char *, int32_t, int32_t, int32_t, int32_t);
using GqevFn = wu_status (*)(void *, int32_t *, void *, int32_t, int32_t *);

template <typename Fn>
Fn windowSlot(int32_t n) {
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW));
  return t != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(t->slots[n])) : nullptr;
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

// Texts of the command window and the About box.
void setDemoTexts() {
  const std::pair<int32_t, const char *> texts[] = {
      {3, "Commands"}, {12, "Enter"}, {17, "QEV demo"}, {18, "Product"}, {19, "Release"},
      {20, "Copyright"}, {21, "X server"}, {289, "System"}, {290, "%s"}, {291, "release %s"},
      {22, "Motif %s"}, {24, "display %s"}, {25, "%s"}, {655, "Colours"}, {653, "%s visual"},
      {667, "depth %d"}};
  for (const auto &t : texts) qevhost::setMessage(526, t.first, t.second);
  qevhost::setMessage(530, 1, "The stand-in host.");
  qevhost::setMessage(530, 101, "Stand-in host");
  qevhost::setMessage(530, 103, "About the demo");
}

bool writeDemoMenus() {
  setDemoTexts();
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

// Answers one event of the demo window: a command (chosen from the menus,
// queued, or typed into the entry field and ended with Enter) is echoed on
// the message line and in the entry field.  False when the demo should end.
bool answer(wu_window *w, wu_status code, PmsgFn pmsg, wu_field *entryField) {
  std::printf("event %d\n", code);
  std::string command;
  if (code == WU_EV_COMMAND && w->command_text) {
    command = w->command_text;
  } else if (code == kEnterKey && w->command_field) {
    command = trimmed(w->command_field->text, w->command_field->length);
    put(w->command_field, "");
  } else if (code == kEnterKey && entryField) {
    command = trimmed(entryField->text, entryField->length);
  } else if (code == kCloseEvent || code == WU_NOTAVAIL) {
    return false;
  }
  if (command.empty()) return true;
  std::printf("command \"%s\"\n", command.c_str());
  if (command == "QUIT") return false;
  if (command == "VERBOSE") {
    verbose = !verbose;
    windowSlot<ItemFn>(WUX_SLOT_SITM)(w, kVerboseItem, verbose ? 1 : 0);
  }
  std::string reply = "Command: " + command;
  pmsg(w, reply.c_str(), -1, 0);
  if (entryField) put(entryField, command.c_str());
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
// host's catalog services write one, and named as the default tool box.
using EcmdFn = wu_status (*)(wu_window *, int32_t);
const int32_t kToolLoad = 39;         // window-system command: load the tool box
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
  // The user's profile library holds the default tool box.
  std::memset(libref, ' ', 8);
  std::memcpy(libref, qevhost::kProfileLibref, std::strlen(qevhost::kProfileLibref));
  name34(catalog, qevhost::kProfileCatalog);
  name34(entry, "DEMO");
  qevhost::setMessage(526, 153, "DEMO");
  qevhost::setMessage(526, 113, "Tools");
  wu_toolbox_header h = {};
  std::strcpy(h.title, "Demo");
  h.tool_count = 3;
  h.per_row = 3;
  h.icon_width = h.icon_height = 24;
  h.load_default = 1;
  qev_lib *lib = nullptr;
  qev_member *m = nullptr;
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
  qev_lib *profile = nullptr;
  if (lib && !(k->ylprofl(&profile) == WU_OK && profile == lib)) k->ylclose(lib);
  return written;
}

// Loads the tool box for the window through the window-system command.
bool showToolbox(wu_window *w, SyncFn sync) {
  if (!check("toolbox entry", writeToolbox() ? WU_OK : WU_NOTAVAIL)) return false;
  qevhost::setCommand("");
  bool ok = check("TOOLLOAD", windowSlot<EcmdFn>(WUX_SLOT_ECMD)(w, kToolLoad));
  sync(kSyncFlush, kSyncDispatchApplied);
  return ok;
}

// Presses the first tool as a user would and answers what it queued.
bool pressTool(wu_window *w, SyncFn sync, CountFn queued, PmsgFn pmsg, wu_field *entryField,
               const std::string &path) {
  settle(w, sync);
  Display *dpy = XtDisplay(w->outer);
  Window box = demo::findClient(dpy, DefaultRootWindow(dpy), "Tools Demo");
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
  demo::pressLetter(dpy, XK_v);
  for (int i = 0; i < kTypedWaitSteps && queued(w) == 0; ++i) {
    sync(kSyncFlush, kSyncDispatchApplied);
    usleep(kSettleStepUs);
  }
  if (queued(w) == 0) return check("menu command", WU_NOTAVAIL);
  answer(w, windowSlot<WindowFn>(WUX_SLOT_RWND)(w), pmsg, entryField);
  demo::pressMnemonic(dpy, 'o');
  settle(w, sync);
  bool ok = demo::saveShot(dpy, XtWindow(w->outer), path);
  demo::pressLetter(dpy, XK_Escape);
  settle(w, sync);
  return ok;
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
       gfld(form, &note, 4, 2, 56, kLabelColour, WU_FLD_PROTECTED) == WU_OK;
  if (ok) {
    put(title, "qevmotif demo window");
    put(label, "Name:");
    put(note, "Use the menus, or type a command in the field; QUIT ends.");
    label->highlight = WU_FHL_REVERSE;
    ok = check("wuxiwnd", windowSlot<WindowFn>(WUX_SLOT_IWND)(w));
  }
  if (ok) pmsg(w, "Ready.", -1, 0);
  if (ok && shots.empty()) ok = showToolbox(w, sync);
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
  }
  while (ok && shots.empty() && answer(w, windowSlot<WindowFn>(WUX_SLOT_RWND)(w), pmsg, entryField)) {
  }
  fwnd(w);
  return ok;
}


// A dialog window with two entry fields, a numeric one and a masked one; the
// control events the module posts are printed as they come.
using CreaFn = wu_status (*)(wu_ctl_handle **, wu_pane *, void *, int32_t, wu_value *, int32_t,
                             void *);
const int32_t kControlPosted = 113;   // the module posted a control event

wu_status controlEvent(wu_ctl_handle *, void *, wu_value *, int32_t) { return WU_OK; }

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

bool runControls(void *module, const std::string &shots) {
  auto sync = entry<SyncFn>(module, "wutsync");
  auto fwnd = entry<WindowFn>(module, "wuxfwnd");
  if (!sync || !fwnd) return check("module entries", WU_NOTAVAIL);
  wu_window *w = nullptr;
  wu_pane *pane = nullptr;
  if (!check("wuxgwnd", windowSlot<GwndFn>(WUX_SLOT_GWND)(&w, kDemoWindowKind, 0))) return false;
  bool ok = check("wuxgpan", windowSlot<GpanFn>(WUX_SLOT_GPAN)(w, &pane, 1, 1, 20, 60, 0));
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
  if (ok && !shots.empty()) {
    for (int i = 0; i < 10; ++i) sync(kSyncFlush, kSyncDispatch);
    std::string cmd = "import -window root '" + shots + "/qevdemo-controls.png'";
    ok = std::system(cmd.c_str()) == 0;
  }
  while (ok && shots.empty()) {
    wu_status code = windowSlot<WindowFn>(WUX_SLOT_RWND)(w);
    if (code == kCloseEvent || code == WU_NOTAVAIL) break;
    qevhost::PostedEvent e;
    while (qevhost::nextEvent(w->event_task, &e)) {
      wu_ctl_event rec;
      std::memcpy(&rec, e.record.data(), std::min(sizeof rec, e.record.size()));
      std::printf("control event %d from control %p\n", rec.code, static_cast<void *>(rec.handle));
    }
    if (code != kControlPosted) std::printf("event %d\n", code);
  }
  fwnd(w);
  return ok;
}

}  // namespace

int main(int argc, char **argv) {
  std::string module = QEV_MODULE_PATH;
  std::string shots;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc)
      shots = argv[++i];
    else
      module = argv[i];
  }
  // Unattended runs photograph the window with its frame: a window manager
  // draws it when one is installed.
  const pid_t wm = shots.empty() ? 0 : demo::startWindowManager();
  if (qevhost::start() == nullptr) {
    demo::stopWindowManager(wm);
    return 1;
  }
  void *handle = qevhost::loadModule(module);
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
  ok = ok && check("wuxinit", windowSlot<InitFn>(WUX_SLOT_INIT)());
  if (ok) {
    int window = 0;   // the demo has no window record yet: any address names one
    const char *command = "DMSG 'hello from qevdemo';";
    ok = check("wuxqcmd", windowSlot<QcmdFn>(WUX_SLOT_QCMD)(&window, command, -1, 1, 1, 0));
    char buf[128];
    int32_t code = -1, length = 0;
    ok = ok && check("wuxgqev", windowSlot<GqevFn>(WUX_SLOT_GQEV)(&window, &code, buf, sizeof buf, &length));
    if (ok) std::printf("event %d: \"%.*s\"\n", code, static_cast<int>(length), buf);
    ok = ok && runWindow(handle, shots);
    ok = ok && runControls(handle, shots);
    ok = check("wuxterm", windowSlot<InitFn>(WUX_SLOT_TERM)()) && ok;
  }
  for (const std::string &line : qevhost::log()) std::printf("log: %s\n", line.c_str());
  qevhost::unloadModule();
  qevhost::stop();
  demo::stopWindowManager(wm);
  std::printf("%s\n", ok ? "demo: ok" : "demo: FAILED");
  return ok ? 0 : 1;
}
