// Wrappers over the host's system options, by NUL-terminated option name.
#include <string.h>

#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"

namespace {

char g_value[WU_OPTION_VALUE_MAX + 1];

void set_status(wu_status *out, wu_status st) {
  if (out != nullptr) *out = st;
}

}  // namespace

extern "C" {

// A character option's value in a static buffer (cut to
// WU_OPTION_VALUE_MAX bytes), or NULL when it is unset.
const char *yw7cget(const char *name, wu_status *status) {
  int32_t length = 0;
  wu_status st = yugcopt(name, wzstlen(name), g_value, WU_OPTION_VALUE_MAX, &length);
  set_status(status, st);
  if (st != WU_OK && st != WU_TRUNCATED) return nullptr;
  if (length < 0) length = 0;
  if (length > WU_OPTION_VALUE_MAX) length = WU_OPTION_VALUE_MAX;
  g_value[length] = '\0';
  return g_value;
}

int32_t yw7bget(const char *name, wu_status *status) {
  int32_t value = 0;
  wu_status st = yugbopt(name, wzstlen(name), &value);
  set_status(status, st);
  return st == WU_OK ? value : 0;
}

wu_status yw7cset(const char *name, const char *value) {
  return yugcset(name, wzstlen(name), value, wzstlen(value));
}

wu_status yw7bset(const char *name, int32_t value) {
  return yugbset(name, wzstlen(name), value);
}

}  // extern "C"
