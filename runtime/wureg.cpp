// The registry of objects the module has handed out (see wureg.h).
#include "runtime/wureg.h"

#include "runtime/wuruntime.h"

#include <new>
#include <unordered_map>

namespace {

struct Entry {
  int32_t kind;
  uint64_t serial;
};

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
    table()[object] = Entry{kind, g_next_serial++};
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
  return kind == WU_REG_NONE || it->second.kind == kind;
}

int32_t wu_reg_kind_of(const void *object) {
  if (object == nullptr) return WU_REG_NONE;
  auto it = table().find(object);
  return it == table().end() ? WU_REG_NONE : it->second.kind;
}

wu_reg_hold wu_reg_take(const void *object) {
  wu_reg_hold h{object, 0};
  if (object == nullptr) return h;
  auto it = table().find(object);
  if (it != table().end()) h.serial = it->second.serial;
  return h;
}

int wu_reg_alive(wu_reg_hold hold) {
  if (hold.object == nullptr || hold.serial == 0) return 0;
  auto it = table().find(hold.object);
  return it != table().end() && it->second.serial == hold.serial;
}

int32_t wu_reg_count(int32_t kind) {
  if (kind == WU_REG_NONE) return static_cast<int32_t>(table().size());
  int32_t n = 0;
  for (const auto &e : table())
    if (e.second.kind == kind) ++n;
  return n;
}

void wu_reg_clear(void) { table().clear(); }

}  // extern "C"

namespace {

// Loops turning now, and whether a shut-down waits for them.  Kept outside
// the module state, which the shut-down frees.
int32_t g_loop_depth = 0;
bool g_term_pending = false;

}  // namespace

extern "C" {

void wu_loop_enter(void) { ++g_loop_depth; }

wu_status wu_loop_leave(void) {
  if (g_loop_depth > 0) --g_loop_depth;
  if (g_loop_depth > 0 || !g_term_pending) return WU_OK;
  g_term_pending = false;
  wuxterm();
  return WU_NOTAVAIL;
}

int32_t wu_loop_depth(void) { return g_loop_depth; }

int wu_term_pending(void) { return g_term_pending ? 1 : 0; }

void wu_term_defer(void) { g_term_pending = true; }

}  // extern "C"
