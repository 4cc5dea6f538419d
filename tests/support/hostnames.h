// Test support: names in the host's record fields, written and read as the
// host writes and reads them: a library reference of 8 blank-padded
// characters, and catalog and entry names of a 16-bit length followed by 32
// blank-padded characters.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "qev/kernel.h"

namespace qevtest {

inline void setLibref(char *field, const std::string &text) {
  std::memset(field, ' ', QEV_LIBREF_LEN);
  std::memcpy(field, text.data(), std::min(text.size(), size_t(QEV_LIBREF_LEN)));
}

inline void setName34(char *field, const std::string &text) {
  const size_t n = std::min(text.size(), size_t(QEV_NAME34_LEN - 2));
  const int16_t length = int16_t(n);
  std::memcpy(field, &length, sizeof length);
  std::memset(field + 2, ' ', QEV_NAME34_LEN - 2);
  std::memcpy(field + 2, text.data(), n);
}

// The name as its length says (the field is trusted: tests read what the
// module wrote).
inline std::string name34(const char *field) {
  int16_t length = 0;
  std::memcpy(&length, field, sizeof length);
  return std::string(field + 2, size_t(length));
}

}  // namespace qevtest
