// Support of the fuzz targets: a directory of their own for the files a
// reader takes, made once per process and removed when it ends, and the
// names the stand-in host's slots take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <ftw.h>
#include <unistd.h>

#include "qev/kernel.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"

namespace fuzzhost {

inline int RemoveEntry(const char *path, const struct stat *, int, struct FTW *) {
  return ::remove(path);
}

inline std::string &DirName() {
  static std::string dir;
  return dir;
}

inline void RemoveDir() {
  if (!DirName().empty()) ::nftw(DirName().c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

// The process's own directory.
inline const std::string &Dir() {
  std::string &dir = DirName();
  if (dir.empty()) {
    char tmpl[] = "/tmp/qevfuzz.XXXXXX";
    if (!::mkdtemp(tmpl)) std::abort();
    dir = tmpl;
    std::atexit(RemoveDir);
  }
  return dir;
}

// Replaces the file at `path` with the input bytes.
inline void Write(const std::string &path, const uint8_t *data, size_t size) {
  FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
}

// A counted 34-byte host name: 16-bit length and 32 blank-padded characters.
struct Name34 {
  char bytes[QEV_NAME34_LEN];
  explicit Name34(const char *s) {
    const int16_t len = static_cast<int16_t>(std::strlen(s));
    std::memcpy(bytes, &len, sizeof len);
    std::memset(bytes + 2, ' ', QEV_NAME34_LEN - 2);
    std::memcpy(bytes + 2, s, size_t(len));
  }
};

// Calls `each` with every line of the input (without its newline), at most
// `limit` of them.
template <typename F>
void ForLines(const uint8_t *data, size_t size, size_t limit, F each) {
  size_t start = 0;
  for (size_t n = 0; start < size && n < limit; ++n) {
    const void *nl = std::memchr(data + start, '\n', size - start);
    const size_t end = nl ? size_t(static_cast<const uint8_t *>(nl) - data) : size;
    each(std::string(reinterpret_cast<const char *>(data + start), end - start));
    start = end + 1;
  }
}

// The stand-in host with the display module loaded and started, once per
// process, for the readers that keep what they read in the module's state
// (the window system needs an X display: DISPLAY must name one).  False when
// it could not be started.
inline bool StartedModule() {
  static int started = -1;
  if (started >= 0) return started == 1;
  started = 0;
  if (!::getenv("DISPLAY") || !qevhost::start(Dir()) || !qevhost::loadModule(QEV_MODULE_PATH)) {
    std::fprintf(stderr, "fuzz target: the module could not be started (DISPLAY unset?)\n");
    return false;
  }
  int32_t count = 0;
  auto *table = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &count));
  if (!table || WUX_SLOT_INIT >= count) return false;
  auto init = reinterpret_cast<int32_t (*)(void)>(table->slots[WUX_SLOT_INIT]);
  started = init() == 0 ? 1 : 0;
  if (!started) std::fprintf(stderr, "fuzz target: the window system did not start\n");
  return started == 1;
}

}  // namespace fuzzhost
