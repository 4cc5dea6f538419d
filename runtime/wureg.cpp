// The registry of objects the module has handed out (see wureg.h).
#include "runtime/wureg.h"

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
