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
//   A handle array (objects the module hands out);
//   O out pointer, E value entries, K their count, N number,
//   D data pointer, L its length, R focus request, F event procedure,
//   B recording.
struct SlotShape {
  int32_t table;       // QEV_TABLE_... or kServices
  int32_t slot;
  const char *name;
  const char *args;
  char returns;        // 's' status, 'p' pointer (null when refused), 'i' id (-1 when refused)
};

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
    {kServices, 11, "rdnd", "HEKO", 's'},
    {kServices, 12, "sdnd", "HEKO", 's'},
    {kServices, 13, "qdnd", "HEKO", 's'},
    {kServices, 14, "udnd", "HEKO", 's'},
    {kServices, 15, "fdnd", "HEKO", 's'},
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

// Objects of one kind: what the module handed out and still holds, and
// what it handed out and took back.
struct Objects {
  void *live[6] = {};    // W P C H S A
  void *stale[6] = {};
  void *list = nullptr;  // a drop-site list given back already
  wu_ctl_services services = {};
  bool have_services = false;
};

int KindIndex(char k) {
  const char *kinds = "WPCHSA";
  const char *at = std::strchr(kinds, k);
  return at ? int(at - kinds) : -1;
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
  void *gone[6] = {};
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
  for (int i = 0; i < 6; ++i) o->stale[i] = gone[i];
  o->list = list;
  // The live window has an event queued, so that a read of it answers.
  if (o->live[0]) wuxqwev(static_cast<wu_window *>(o->live[0]), WU_EV_WAKE, nullptr, 0);
  if (phase == kStarted) return true;
  // Shut down: every object becomes stale.
  if (qevtest::windowSlot(WUX_SLOT_TERM)() != WU_OK) return false;
  for (int i = 0; i < 6; ++i) {
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
  int out = 0;
  const bool with_memory = v != 0 && v != 3 && v != 6;
  for (int i = 0; kinds[i] && i < 7; ++i) {
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
      default: args[i] = Object(kinds[i], v, o); break;
    }
  }
}

using AnyFn = intptr_t (*)(intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t);

AnyFn TableSlot(int32_t table, int32_t slot) {
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(table, &count));
  if (t == nullptr || slot < 0 || slot >= count) return nullptr;
  return reinterpret_cast<AnyFn>(reinterpret_cast<void (*)(void)>(t->slots[slot]));
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
  intptr_t a[7] = {};
  Arguments(shape.args, v, o, a);
  const intptr_t r = fn(a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
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
        const intptr_t r = fn(intptr_t(g_foreign), Number(v), 0, Number(v), 0, 0, 0);
        if (phase == kBefore || phase == kAfterTerm || fn == reinterpret_cast<AnyFn>(wu_notbuilt))
          EXPECT_EQ(int32_t(r), WU_NOTAVAIL) << "table " << table << " slot " << slot;
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
