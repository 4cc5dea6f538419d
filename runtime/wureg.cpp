// The registry of objects the module has handed out (see wureg.h).
#include "runtime/wureg.h"

#include "runtime/wuruntime.h"

#include <new>
#include <unordered_map>
#include <vector>

#include "runtime/wudevice.h"

namespace {

// An entry is one word: the serial number above the kind's eight bits, so
// that a registered object costs the table's node and no more.
struct Entry {
  uint64_t word;
  int32_t kind() const { return int32_t(word & kKindMask); }
  uint64_t serial() const { return word >> kKindBits; }
  static constexpr int kKindBits = 8;
  static constexpr uint64_t kKindMask = (uint64_t(1) << kKindBits) - 1;
  static Entry of(int32_t kind, uint64_t serial) {
    return Entry{(serial << kKindBits) | (uint64_t(kind) & kKindMask)};
  }
};
static_assert(WU_REG_WINDOW_GOING <= int32_t(Entry::kKindMask), "every kind fits an entry");

// Serial numbers are never reused, across start-up cycles too, so a hold
// taken before a wuxterm never matches an entry made after the next wuxinit.
uint64_t g_next_serial = 1;

std::unordered_map<const void *, Entry> &table() {
  static std::unordered_map<const void *, Entry> t;
  return t;
}

}  // namespace

extern "C" {

wu_status wu_reg_add(const void *object, int32_t kind) {
  if (object == nullptr) return WU_NOTAVAIL;
  try {
    table()[object] = Entry::of(kind, g_next_serial++);
  } catch (const std::bad_alloc &) {
    return WU_NOMEM;
  }
  return WU_OK;
}

void wu_reg_remove(const void *object) {
  if (object != nullptr) table().erase(object);
}

int wu_reg_has(const void *object, int32_t kind) {
  if (object == nullptr) return 0;
  auto it = table().find(object);
  if (it == table().end()) return 0;
  return kind == WU_REG_NONE || it->second.kind() == kind;
}

int32_t wu_reg_kind_of(const void *object) {
  if (object == nullptr) return WU_REG_NONE;
  auto it = table().find(object);
  return it == table().end() ? WU_REG_NONE : it->second.kind();
}

wu_reg_hold wu_reg_take(const void *object) {
  wu_reg_hold h{object, 0};
  if (object == nullptr) return h;
  auto it = table().find(object);
  if (it != table().end()) h.serial = it->second.serial();
  return h;
}

int wu_reg_alive(wu_reg_hold hold) {
  if (hold.object == nullptr || hold.serial == 0) return 0;
  auto it = table().find(hold.object);
  return it != table().end() && it->second.serial() == hold.serial;
}

int32_t wu_reg_count(int32_t kind) {
  if (kind == WU_REG_NONE) return static_cast<int32_t>(table().size());
  int32_t n = 0;
  for (const auto &e : table())
    if (e.second.kind() == kind) ++n;
  return n;
}

void wu_reg_clear(void) { table().clear(); }

}  // extern "C"

namespace {

// Loops turning now, calls out running, and what waits for them.  Kept
// outside the module state, which the shut-down frees.
int32_t g_loop_depth = 0;
bool g_term_pending = false;
int32_t g_callout_depth = 0;

// A release that waits for the calls out and their dispatch.
struct Deferred {
  void *object;
  void (*release)(void *);
};
std::vector<Deferred> g_deferred;
// The module's dispatch level the waiting releases were asked at: they are
// carried out once the dispatches have returned below it.
int32_t g_deferred_level = 0;
// Set while the waiting releases are carried out: a release that calls out
// in turn adds to the list, which is worked off before returning.
bool g_running = false;

// Dispatches of the module's event loop now running (one per nested loop).
int32_t DispatchLevel() { return devb != nullptr ? int32_t(devb->in_loop) : 0; }

void RunDeferred() {
  if (g_running) return;
  g_running = true;
  while (!g_deferred.empty()) {
    const Deferred d = g_deferred.front();
    g_deferred.erase(g_deferred.begin());
    d.release(d.object);
  }
  g_running = false;
}

// With no loop and no call out left, what waited is carried out; false
// when that ended the module.
bool CarryOutWhenIdle() {
  if (g_loop_depth > 0 || g_callout_depth > 0 || g_running) return true;
  RunDeferred();
  if (!g_term_pending) return true;
  g_term_pending = false;
  wuxterm();
  return false;
}

}  // namespace

extern "C" {

void wu_loop_enter(void) { ++g_loop_depth; }

wu_status wu_loop_leave(void) {
  if (g_loop_depth > 0) --g_loop_depth;
  return CarryOutWhenIdle() ? WU_OK : WU_NOTAVAIL;
}

int32_t wu_loop_depth(void) { return g_loop_depth; }

int wu_term_pending(void) { return g_term_pending ? 1 : 0; }

void wu_term_defer(void) { g_term_pending = true; }

void wu_callout_enter(void) {
  if (g_callout_depth++ == 0) {
    const int32_t level = DispatchLevel();
    if (g_deferred.empty() || level < g_deferred_level) g_deferred_level = level;
  }
}

wu_status wu_callout_leave(void) {
  if (g_callout_depth > 0) --g_callout_depth;
  if (g_callout_depth > 0) return WU_OK;
  // Outside the module's dispatch nothing of the toolkit waits above the
  // callback: what the call out asked for is carried out now.
  if (DispatchLevel() == 0 && !CarryOutWhenIdle()) return WU_NOTAVAIL;
  return WU_OK;
}

int32_t wu_callout_depth(void) { return g_callout_depth; }

void wu_callout_restore(int32_t depth) { g_callout_depth = depth < 0 ? 0 : depth; }

int wu_release_deferred(void) { return (g_callout_depth > 0 || !g_deferred.empty()) ? 1 : 0; }

wu_status wu_defer_release(void *object, void (*release)(void *)) {
  if (object == nullptr || release == nullptr) return WU_NOTAVAIL;
  try {
    g_deferred.push_back(Deferred{object, release});
  } catch (const std::bad_alloc &) {
    return WU_NOMEM;
  }
  return WU_OK;
}

void wu_defer_run(void) {
  if (g_deferred.empty() || g_callout_depth > 0) return;
  if (g_deferred_level > 0 && DispatchLevel() >= g_deferred_level) return;
  RunDeferred();
}

void wu_defer_flush(void) { RunDeferred(); }

}  // extern "C"
