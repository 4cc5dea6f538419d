// The value entries a host hands to the control slots (code, type, value
// and what a pointer entry points to), as the demo and the benchmarks make
// them.
#pragma once

#include <cstdint>
#include <cstring>

#include "qev/catalog.h"
#include "qev/records.h"

namespace qevhost {

inline wu_value value(int16_t code, int32_t type, int32_t v, const void *pointer = nullptr) {
  wu_value e = {};
  e.code = code;
  e.type = type;
  e.value = v;
  e.pointer = const_cast<void *>(pointer);
  return e;
}
inline wu_value intValue(int16_t code, int32_t v) { return value(code, WU_VT_INT, v); }
inline wu_value textValue(int16_t code, const char *t) {
  return value(code, WU_VT_STRING, int32_t(std::strlen(t)), t);
}
inline wu_value realValue(int16_t code, double d) {
  wu_value e = value(code, WU_VT_DOUBLE, 0);
  std::memcpy(&e.value, &d, sizeof d);
  return e;
}

}  // namespace qevhost
