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
#ifdef QEV_FUZZ_REPLAY
#include "xserver.h"
#endif

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

// The X display the module starts on.  The corpus replays, run as tests
// beside many others, each start a private X server as every test program
// does; the fuzzers run on $DISPLAY.
inline const char *DisplayName() {
#ifdef QEV_FUZZ_REPLAY
  return qevtest::privateDisplay();
#else
  return ::getenv("DISPLAY");
#endif
}

// The stand-in host with the display module loaded and started, once per
// process, for the readers that keep what they read in the module's state.
// A module that cannot be started ends the process with a failure: a run
// that fed no input to the reader has tested nothing.
inline bool StartedModule() {
  static bool started = false;
  if (started) return true;
  if (!DisplayName()) {
    std::fprintf(stderr, "fuzz target: no X display to start the window system on\n");
    std::exit(2);
  }
  if (!qevhost::start(Dir()) || !qevhost::loadModule(QEV_MODULE_PATH)) {
    std::fprintf(stderr, "fuzz target: the module could not be loaded\n");
    std::exit(2);
  }
  int32_t count = 0;
  auto *table = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &count));
  if (!table || WUX_SLOT_INIT >= count) {
    std::fprintf(stderr, "fuzz target: the module has no start slot\n");
    std::exit(2);
  }
  auto init = reinterpret_cast<int32_t (*)(void)>(table->slots[WUX_SLOT_INIT]);
  if (init() != 0) {
    std::fprintf(stderr, "fuzz target: the window system did not start on %s\n", DisplayName());
    std::exit(2);
  }
  started = true;
  return true;
}

}  // namespace fuzzhost
