// The sweep: every slot of the four vector tables and every slot of the
// control services vector, called with null, stale, foreign, unmapped and
// out-of-range arguments, before start-up, while started, after shut-down
// and after a restart.  Each call runs in a child process of its own, under
// an alarm: every call must come back with an answer (no crash, no hang, no
// sanitizer report).  While the module is not running, every slot but the
// start-up and the table withdrawal must answer "not available".
#include "hardening.h"

#include "controls/wucontrol.h"

#include <dlfcn.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace hardening;

// The kinds of argument a slot takes, one letter each:
//   W window, P pane, C control record, H control handle, S drop site,
//   A handle array, U window popup menu, X older radio box, G older list
//   box, V list view (objects the module hands out);
//   O out pointer, E value entries, K their count, N number,
//   D data pointer, L its length, R focus request, F event procedure,
//   B recording, I text items, Q choice entries, T host name field (library, catalog, entry
//   in turn), Z a host handle the module cannot look up (always null).
struct SlotShape {
  int32_t table;       // QEV_TABLE_... or kServices
  int32_t slot;
  const char *name;
  const char *args;    // at most kMaxArgs
  char returns;        // 's' status, 'p' pointer (null when refused), 'i' id (-1 when refused)
};

const int kMaxArgs = 13;

const int32_t kServices = -1;

const SlotShape kShapes[] = {
    {QEV_TABLE_WINDOW, WUX_SLOT_GWND, "wuxgwnd", "ONN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GPAN, "wuxgpan", "WONNNNN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_IWND, "wuxiwnd", "W", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_RWND, "wuxrwnd", "W", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_UWND, "wuxuwnd", "W", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_QWEV, "wuxqwev", "WNDL", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_QCMD, "wuxqcmd", "WDLNNN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GQEV, "wuxgqev", "WODLO", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_FLEQ, "wuxfleq", "NW", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_FWID, "wuxfwid", "C", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_HWID, "wuxhwid", "CN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GWSZ, "wuxgwsz", "ONC", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_LSCR, "wuxlscr", "", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GRST, "wuxgrst", "C", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GRWD, "wuxgrwd", "CN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_SWAT, "wuxswat", "CEK", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_QDND, "wuxqdnd", "SEK", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_SDND, "wuxsdnd", "SEK", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GEXT, "wuxgext", "OO", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GMAP, "wuxgmap", "NOEK", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_QWAT, "wuxqwat", "CEK", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_FOCS, "wuxfocs", "RN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_CREA, "wuxcrea", "OPDNEKF", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_CORD, "wuxcord", "WPOO", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_FCOR, "wuxfcor", "WA", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_ICNT, "wuxicnt", "WN", 'p'},
    {QEV_TABLE_WINDOW, WUX_SLOT_CNTI, "wuxcnti", "H", 'i'},
    {QEV_TABLE_WINDOW, WUX_SLOT_ACON, "wuxacon", "P", 'p'},
    {QEV_TABLE_WINDOW, WUX_SLOT_TERM, "wuxterm", "", 's'},
    // Menus, popups and window-system commands.
    {QEV_TABLE_WINDOW, WUX_SLOT_MENU, "wuxmenu", "N", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_ECMD, "wuxecmd", "WN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_CMNU, "wuxcmnu", "WZTTT", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GITM, "wuxgitm", "WNN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_SITM, "wuxsitm", "WNN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GPMU, "wuxgpmu", "WZTTTO", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_FPMU, "wuxfpmu", "WU", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_DPMU, "wuxdpmu", "WU", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_UMNU, "wuxumnu", "WQK", 's'},
    // Older pane controls and list boxes.
    {QEV_TABLE_WINDOW, WUX_SLOT_CWTX, "wuxcwtx", "XD", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GPSH, "wuxgpsh", "PONNNNDL", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GCHK, "wuxgchk", "PONNNNDL", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_SSTA, "wuxssta", "XN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_CSTA, "wuxcsta", "X", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GRBX, "wuxgrbx", "PONNNN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GRBT, "wuxgrbt", "XONNNNDL", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_RRBT, "wuxrrbt", "X", 'p'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GLBX, "wuxglbx", "POTNNNNNNNNIK", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_CLBX, "wuxclbx", "GNINK", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_QLBX, "wuxqlbx", "GNO", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_QLBI, "wuxqlbi", "GNDO", 's'},
    // Icon fields, icon buttons and graph push buttons.
    {QEV_TABLE_WINDOW, WUX_SLOT_ICSZ, "wuxicsz", "DLNOO", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GICB, "wuxgicb", "PONNNNDLNN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_GGPB, "wuxggpb", "PONNNDLNDDN", 's'},
    {QEV_TABLE_WINDOW, WUX_SLOT_116, "wuxuwid", "CDD", 's'},
    {QEV_TABLE_METHODS, WUXP_SLOT_GLVW, "wuxglvw", "PONNNNNNNN", 's'},
    {QEV_TABLE_METHODS, WUXP_SLOT_CLVW, "wuxclvw", "VNDNK", 's'},
    {QEV_TABLE_METHODS, WUXP_SLOT_METH, "wuxmeth", "HNEK", 's'},
    {kServices, 0, "swat", "CEK", 's'},
    {kServices, 1, "qwat", "CEK", 's'},
    {kServices, 2, "hwid", "CN", 's'},
    {kServices, 3, "grwd", "CN", 's'},
    {kServices, 4, "grst", "C", 's'},
    {kServices, 5, "wdes", "H", 's'},
    {kServices, 6, "meth", "HNEK", 's'},
    {kServices, 7, "ggeo", "HOOOO", 's'},
    {kServices, 8, "sgeo", "HNNNN", 's'},
    {kServices, 9, "clen", "HEK", 's'},
    {kServices, 10, "focs", "H", 's'},
    {kServices, 11, "rdnd", "HOEK", 's'},
    {kServices, 12, "sdnd", "HSEK", 's'},
    {kServices, 13, "qdnd", "HSEK", 's'},
    {kServices, 14, "udnd", "HSEK", 's'},
    {kServices, 15, "fdnd", "HEKN", 's'},
    {kServices, 16, "rbat", "HB", 's'},
};

// The functions of the services vector, by slot, as the module exports
// them (for the calls before start-up, when no vector exists yet).
const char *const kServiceNames[WU_CTL_SERVICES_SLOTS - 1] = {
    "wuxswat", "wuxqwat", "wuxhwid", "wuxgrwd", "wuxgrst", "wumwdes", "wuxmeth", "wumggeo",
    "wumsgeo", "wumclen", "wuwfocs", "wuwrdnd", "wutsdnd", "wuwqdnd", "wuwudnd", "wutfdnd",
    "wuxrbat"};

enum Phase { kBefore, kStarted, kAfterTerm, kRestarted };
const char *const kPhaseNames[] = {"before start-up", "started", "after shut-down", "after restart"};
const int kVariants = 7;
// How long a call may wait for the user before the sweep ends the module.
const unsigned long kWaitEndMs = 1000;

// Objects of one kind: what the module handed out and still holds, and
// what it handed out and took back.
const char kKinds[] = "WPCHSAUXGV";
const int kKindCount = int(sizeof kKinds - 1);

struct Objects {
  void *live[kKindCount] = {};
  void *stale[kKindCount] = {};
  void *list = nullptr;  // a drop-site list given back already
  wu_ctl_services services = {};
  bool have_services = false;
};

int KindIndex(char k) {
  const char *at = std::strchr(kKinds, k);
  return at ? int(at - kKinds) : -1;
}

using AnyFn = intptr_t (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                           intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);

AnyFn TableSlot(int32_t table, int32_t slot) {
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(table, &count));
  if (t == nullptr || slot < 0 || slot >= count) return nullptr;
  return reinterpret_cast<AnyFn>(reinterpret_cast<void (*)(void)>(t->slots[slot]));
}

template <typename... A>
intptr_t Call(int32_t table, int32_t slot, A... a) {
  AnyFn fn = TableSlot(table, slot);
  intptr_t args[kMaxArgs] = {intptr_t(a)...};
  return fn ? fn(args[0], args[1], args[2], args[3], args[4], args[5], args[6], args[7], args[8],
                 args[9], args[10], args[11], args[12])
            : intptr_t(WU_NOTAVAIL);
}

// A popup menu description every set of objects loads.
const char kMenuLib[] = "SWEEPLIB";
const char kMenuCat[] = "SWEEP";
const char kMenuEntry[] = "POP";

struct Location {
  char libref[QEV_LIBREF_LEN];
  char catalog[QEV_NAME34_LEN];
  char entry[QEV_NAME34_LEN];
};

void Name34(char *field, const char *s) {
  const int16_t n = int16_t(std::strlen(s));
  std::memcpy(field, &n, 2);
  std::memset(field + 2, ' ', QEV_NAME34_LEN - 2);
  std::memcpy(field + 2, s, size_t(n));
}

Location MenuLocation() {
  Location l;
  std::memset(l.libref, ' ', sizeof l.libref);
  std::memcpy(l.libref, kMenuLib, std::strlen(kMenuLib));
  Name34(l.catalog, kMenuCat);
  Name34(l.entry, kMenuEntry);
  return l;
}

// Makes the objects of the menus and the older controls: a popup menu, an
// older radio box with one button, an older list box of two items and a
// list view, all in the window and pane given.
void MakeMore(void **set) {
  wu_window *w = static_cast<wu_window *>(set[0]);
  wu_pane *p = static_cast<wu_pane *>(set[1]);
  if (w == nullptr || p == nullptr) return;
  qevhost::defineLibrary(kMenuLib);
  qevhost::MenuNode menu;
  menu.items.push_back(qevhost::MenuItem{});
  menu.items.back().label = "Alpha";
  qevhost::writeMenu(kMenuLib, kMenuCat, kMenuEntry, {menu});
  Location l = MenuLocation();
  wu_popup_menu *popup = nullptr;
  Call(QEV_TABLE_WINDOW, WUX_SLOT_GPMU, w, nullptr, l.libref, l.catalog, l.entry, &popup);
  set[KindIndex('U')] = popup;
  wu_control *box = nullptr, *button = nullptr;
  if (Call(QEV_TABLE_WINDOW, WUX_SLOT_GRBX, p, &box, 1, 2, 2, 3, 20) == WU_OK) {
    Call(QEV_TABLE_WINDOW, WUX_SLOT_GRBT, box, &button, 7, 1, 1, 0, "One", -1);
    set[KindIndex('X')] = box;
  }
  wu_str_item items[2] = {{3, 0, "one"}, {3, 0, "two"}};
  wu_control *list = nullptr;
  if (Call(QEV_TABLE_WINDOW, WUX_SLOT_GLBX, p, &list, "Title", 5, 2, 4, 20, 0, 3, 0, 9, items, 2) ==
      WU_OK)
    set[KindIndex('G')] = list;
  wu_control *view = nullptr;
  if (Call(QEV_TABLE_METHODS, WUXP_SLOT_GLVW, p, &view, 1, 1, 100, 100, 0, 0, 0, 0) == WU_OK)
    set[KindIndex('V')] = view;
}

// Makes one set of objects in a started module: a realised window with a
// pane, an entry field and its handle, the field's drop site, a handle
// array and a drop-site list.
void Make(void **set, void **list_out, wu_ctl_services *services) {
  wu_window *w = nullptr;
  wu_pane *p = nullptr;
  if (wuxgwnd(&w, 1, 0) != WU_OK || wuxgpan(w, &p, 1, 1, 10, WU_FULL_WIDTH, 0) != WU_OK ||
      wuxiwnd(w) != WU_OK)
    return;
  wu_ctl_handle *h = nullptr;
  Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(&h, p, nullptr, WU_CTYPE_ENTRY, nullptr, 0, nullptr);
  set[0] = w;
  set[1] = p;
  MakeMore(set);
  if (h == nullptr) return;
  set[2] = h->control;
  set[3] = h;
  if (services) *services = *h->services;
  set[4] = wumrdnd(wuwgxtw(h->control));
  wu_ctl_handle **array = nullptr;
  int32_t count = 0;
  if (wuxcord(w, p, &array, &count) == WU_OK) set[5] = array;
  if (list_out && set[4]) {
    wu_value q = {};
    q.code = WU_DND_A_FORMATS;
    wumsdnd(static_cast<wu_dnd_site *>(set[4]));
    if (wuxqdnd(static_cast<wu_dnd_site *>(set[4]), &q, 1) == WU_OK) *list_out = q.pointer;
  }
}

// Brings the module to the phase and makes the objects of the calls.
bool Setup(Phase phase, Objects *o) {
  if (phase == kBefore) {
    return qevhost::start() != nullptr && qevhost::loadModule(QEV_MODULE_PATH) != nullptr;
  }
  std::string why;
  if (!qevtest::startModule(QEV_MODULE_PATH, &why)) return false;
  Make(o->live, nullptr, &o->services);
  o->have_services = o->live[3] != nullptr;
  for (int i = 0; i < kKindCount; ++i)
    if (o->live[i] == nullptr) ADD_FAILURE() << "no live object of kind " << kKinds[i];
  void *gone[kKindCount] = {};
  void *list = nullptr;
  Make(gone, &list, nullptr);
  if (list) {
    wu_value e = {};
    e.type = WU_VT_STRLIST;
    e.status = WU_ALLOCATED;
    e.pointer = list;
    e.value = 2;
    wuxfdnd(&e, 1, 0);
  }
  if (gone[5]) wuxfcor(static_cast<wu_window *>(gone[0]), static_cast<wu_ctl_handle **>(gone[5]));
  if (gone[0]) wuxfwnd(static_cast<wu_window *>(gone[0]));
  for (int i = 0; i < kKindCount; ++i) o->stale[i] = gone[i];
  o->list = list;
  // The live window has an event queued, so that a read of it answers.
  if (o->live[0]) wuxqwev(static_cast<wu_window *>(o->live[0]), WU_EV_WAKE, nullptr, 0);
  if (phase == kStarted) return true;
  // Shut down: every object becomes stale.
  if (qevtest::windowSlot(WUX_SLOT_TERM)() != WU_OK) return false;
  for (int i = 0; i < kKindCount; ++i) {
    if (o->live[i]) o->stale[i] = o->live[i];
    o->live[i] = nullptr;
  }
  if (phase == kAfterTerm) return true;
  if (qevtest::windowSlot(WUX_SLOT_INIT)() != WU_OK) return false;
  wu_ctl_services fresh = {};
  Make(o->live, nullptr, &fresh);
  if (o->live[3]) o->services = fresh;
  if (o->live[0]) wuxqwev(static_cast<wu_window *>(o->live[0]), WU_EV_WAKE, nullptr, 0);
  return true;
}

// Scratch memory the calls may write into and read from.
alignas(16) uint8_t g_out[8][4096];
alignas(16) uint8_t g_data[4096];
alignas(16) uint8_t g_foreign[4096];
alignas(16) wu_value g_entries[16];
struct FocusRequest {
  void *pane;
  void *control;
  int32_t row;
  int32_t column;
} g_request;
alignas(16) uint8_t g_recording[64];
alignas(16) wu_str_item g_items[16];
alignas(16) wu_choice_entry g_choices[16];
Location g_location;

wu_status Procedure(wu_ctl_handle *, wu_ctl_event *, wu_value *, int32_t) { return WU_OK; }

// An address nothing is mapped at: reading it would crash at once.
void *const kUnmapped = reinterpret_cast<void *>(uintptr_t(0x10));

intptr_t Object(char kind, int v, const Objects &o) {
  const int k = KindIndex(kind);
  void *live = o.live[k];
  void *stale = o.stale[k] ? o.stale[k] : static_cast<void *>(g_foreign);
  switch (v) {
    case 0: return 0;
    case 1: case 4: return intptr_t(stale);
    case 2: return intptr_t(g_foreign);
    case 3: return intptr_t(kUnmapped);
    case 5: return intptr_t(live ? live : stale);
    default: return intptr_t(live ? live : g_foreign);
  }
}

intptr_t Number(int v) {
  const int32_t n[kVariants] = {0, -1, INT_MAX, INT_MIN, 77, INT_MIN, 1};
  return intptr_t(n[v]);
}

// Builds the arguments of one call.
void Arguments(const char *kinds, int v, const Objects &o, intptr_t *args) {
  int out = 0, names = 0;
  const bool with_memory = v != 0 && v != 3 && v != 6;
  for (int i = 0; kinds[i] && i < kMaxArgs; ++i) {
    switch (kinds[i]) {
      case 'O': args[i] = with_memory ? intptr_t(g_out[out++ % 8]) : 0; break;
      case 'E': {
        std::memset(g_entries, 0, sizeof g_entries);
        for (wu_value &e : g_entries) e.code = 0x7fff;   // no attribute of any kind
        if (v == 1 && o.list) {
          // Entries that carry a list already given back.
          for (wu_value &e : g_entries) {
            e.type = WU_VT_STRLIST;
            e.value = 1;
            e.pointer = o.list;
            e.status = WU_ALLOCATED;
          }
        }
        args[i] = with_memory ? intptr_t(g_entries) : 0;
        break;
      }
      case 'K': {
        const int32_t k[kVariants] = {0, 1, -1, INT_MIN, 3, INT_MIN, -1};
        args[i] = intptr_t(k[v]);
        break;
      }
      case 'N': args[i] = Number(v); break;
      case 'D': args[i] = (v == 0 || v == 6) ? 0 : intptr_t(g_data); break;
      case 'L': {
        const int32_t l[kVariants] = {0, 16, 73, INT_MIN, -1, 72, INT_MAX};
        args[i] = intptr_t(l[v]);
        break;
      }
      case 'R':
        g_request.pane = reinterpret_cast<void *>(Object('P', v, o));
        g_request.control = reinterpret_cast<void *>(Object('C', v, o));
        g_request.row = int32_t(Number(v));
        g_request.column = 1;
        args[i] = v == 0 ? 0 : intptr_t(&g_request);
        break;
      case 'F': args[i] = (v % 2) ? intptr_t(Procedure) : 0; break;
      case 'B': args[i] = v == 0 ? 0 : intptr_t(g_recording); break;
      case 'I': {
        // Items of every length the host may claim, the text always there.
        const int32_t lengths[kVariants] = {0, 3, -1, INT_MAX, 3, INT_MIN, 1 << 21};
        for (wu_str_item &item : g_items) item = {lengths[v], 0, reinterpret_cast<char *>(g_data)};
        args[i] = with_memory ? intptr_t(g_items) : 0;
        break;
      }
      case 'Q': {
        // Choice entries of every label and help length the host may claim,
        // their texts always there (the module cannot judge an address).
        const int32_t lengths[kVariants] = {0, 3, -1, INT_MAX, 3, INT_MIN, 1 << 21};
        for (wu_choice_entry &e : g_choices) {
          e = wu_choice_entry{};
          e.label = reinterpret_cast<const char *>(g_data);
          e.label_length = lengths[v];
          e.help = reinterpret_cast<const char *>(g_data);
          e.help_length = lengths[(v + 1) % kVariants];
          e.flags = v;
          e.command_id = int32_t(Number(v));
        }
        args[i] = with_memory ? intptr_t(g_choices) : 0;
        break;
      }
      case 'T': {
        // The menu's real location for the later variants, blanks before.
        g_location = MenuLocation();
        if (v < 4) std::memset(&g_location, v == 1 ? ' ' : 0, sizeof g_location);
        char *fields[3] = {g_location.libref, g_location.catalog, g_location.entry};
        args[i] = with_memory ? intptr_t(fields[names++ % 3]) : 0;
        break;
      }
      case 'Z': args[i] = 0; break;
      default: args[i] = Object(kinds[i], v, o); break;
    }
  }
}

AnyFn ServiceSlot(int32_t slot, const Objects &o, Phase phase) {
  if (phase == kBefore) {
    void *f = dlsym(RTLD_DEFAULT, kServiceNames[slot]);
    return reinterpret_cast<AnyFn>(f);
  }
  if (!o.have_services) return nullptr;
  const void *const *fns = reinterpret_cast<const void *const *>(&o.services);
  return reinterpret_cast<AnyFn>(const_cast<void *>(fns[slot]));
}

// What one call must answer while the module is not running.
bool Refused(char returns, intptr_t r) {
  if (returns == 'p') return r == 0;
  if (returns == 'i') return int32_t(r) == -1;
  return int32_t(r) == WU_NOTAVAIL;
}

// One call in the child: set up, call, check.
void CallOne(Phase phase, const SlotShape &shape, int v) {
  Objects o;
  if (!Setup(phase, &o)) {
    ADD_FAILURE() << "the phase could not be set up";
    return;
  }
  AnyFn fn = shape.table == kServices ? ServiceSlot(shape.slot, o, phase) : TableSlot(shape.table, shape.slot);
  if (fn == nullptr) return;   // a service not linked: its stand-in answers alone
  intptr_t a[kMaxArgs] = {};
  Arguments(shape.args, v, o, a);
  // A call that waits (a popup posted, a dialog opened) is ended by a
  // shut-down asked for from inside its wait.
  if (devb && devb->app)
    XtAppAddTimeOut(devb->app, kWaitEndMs, [](XtPointer, XtIntervalId *) {
      qevtest::windowSlot(WUX_SLOT_TERM)();
    }, nullptr);
  const intptr_t r = fn(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12]);
  if ((phase == kBefore || phase == kAfterTerm) && !Refused(shape.returns, r))
    ADD_FAILURE() << shape.name << " answered " << int32_t(r) << " while the module is not running";
}

// Every slot that is neither in the list above nor a stand-in: called with
// every variant in one child per phase.
void CallTheRest(Phase phase) {
  Objects o;
  if (!Setup(phase, &o)) {
    ADD_FAILURE() << "the phase could not be set up";
    return;
  }
  const int32_t tables[4] = {QEV_TABLE_WINDOW, QEV_TABLE_GRAPHICS, QEV_TABLE_IMAGES, QEV_TABLE_METHODS};
  for (int32_t table : tables) {
    int32_t count = 0;
    qevhost::table(table, &count);
    for (int32_t slot = 1; slot < count; ++slot) {
      bool listed = table == QEV_TABLE_WINDOW && (slot == WUX_SLOT_INIT);
      for (const SlotShape &s : kShapes) listed = listed || (s.table == table && s.slot == slot);
      if (listed) continue;
      AnyFn fn = TableSlot(table, slot);
      if (fn == nullptr) continue;
      for (int v = 0; v < kVariants; ++v) {
        const intptr_t r = fn(intptr_t(g_foreign), Number(v), 0, Number(v), 0, 0, 0, 0, 0, 0, 0, 0, 0);
        if (phase == kBefore || phase == kAfterTerm || fn == reinterpret_cast<AnyFn>(reinterpret_cast<void (*)(void)>(wu_notbuilt))) {
          EXPECT_EQ(int32_t(r), WU_NOTAVAIL) << "table " << table << " slot " << slot;
        }
      }
    }
  }
}

struct Job {
  std::string name;
  std::function<void()> body;
};

// Runs the jobs a few children at a time; every one must pass.
void RunAll(const std::vector<Job> &jobs) {
  const size_t kParallel = 4;
  const int kTimeoutSec = 30;
  std::vector<std::pair<pid_t, size_t>> running;
  size_t next = 0, failed = 0;
  auto reap = [&](size_t i) {
    const int status = qevtest::waitChild(running[i].first);
    if (!qevtest::childPassed(status)) {
      ++failed;
      ADD_FAILURE() << jobs[running[i].second].name << ": " << qevtest::describeStatus(status);
    }
    running.erase(running.begin() + long(i));
  };
  while (next < jobs.size() || !running.empty()) {
    while (next < jobs.size() && running.size() < kParallel) {
      running.emplace_back(qevtest::startChild(jobs[next].body, kTimeoutSec), next);
      ++next;
    }
    // Wait for whichever child ends first.
    int status = 0;
    const pid_t done = waitpid(-1, &status, 0);
    for (size_t i = 0; i < running.size(); ++i) {
      if (running[i].first != done) continue;
      qevtest::reapGroup(done);
      if (!qevtest::childPassed(status)) {
        ++failed;
        ADD_FAILURE() << jobs[running[i].second].name << ": " << qevtest::describeStatus(status);
      }
      running.erase(running.begin() + long(i));
      break;
    }
    if (done < 0 && !running.empty()) reap(0);
  }
  EXPECT_EQ(failed, 0u) << "of " << jobs.size() << " calls";
}

void Sweep(Phase phase) {
  std::vector<Job> jobs;
  for (const SlotShape &s : kShapes)
    for (int v = 0; v < kVariants; ++v)
      jobs.push_back({std::string(s.name) + " variant " + std::to_string(v) + " " + kPhaseNames[phase],
                      [phase, &s, v] { CallOne(phase, s, v); }});
  jobs.push_back({std::string("the other slots ") + kPhaseNames[phase], [phase] { CallTheRest(phase); }});
  RunAll(jobs);
}

TEST(Sweep, EverySlotAnswersBeforeStartUp) { Sweep(kBefore); }
TEST(Sweep, EverySlotAnswersWhileStarted) { Sweep(kStarted); }
TEST(Sweep, EverySlotAnswersAfterShutDown) { Sweep(kAfterTerm); }
TEST(Sweep, EverySlotAnswersAfterARestart) { Sweep(kRestarted); }

}  // namespace
