// Catalog members: the input is a member of a catalog library, read record
// by record with buffers of several sizes, passed over record by record,
// and read as a tool box entry (header and tool records).
#include <sys/stat.h>

#include <string>
#include <vector>

#include "fuzzhost.h"
#include "qevhost.h"

namespace {

const char kLib[] = "FUZZ    ";
const int kMaxRecords = 4096;

bool More(wu_status st) { return st == WU_OK || st == WU_TRUNCATED; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string dir = fuzzhost::Dir();
  const qev_kernel *k = qevhost::start(dir)->kernel;
  qevhost::defineLibrary("FUZZ");
  const std::string catalog = qevhost::catalogRoot() + "/FUZZ/CAT";
  ::mkdir(catalog.c_str(), 0777);
  fuzzhost::Write(catalog + "/ENTRY.TOOLBOX", data, size);
  const fuzzhost::Name34 cat("CAT"), entry("ENTRY");

  std::vector<unsigned char> buf(QEV_TOOLBOX_TOOL_LEN + 64);
  const int32_t sizes[] = {0, 7, QEV_TOOLBOX_HEADER_LEN, int32_t(buf.size())};
  qev_lib *lib = nullptr;
  qev_member *m = nullptr;
  if (k->ylopen(&lib, QEV_LIB_READ, kLib, cat.bytes) == WU_OK) {
    if (k->ylmopen(lib, entry.bytes, QEV_TOOLBOX_MEMTYPE, QEV_LIB_READ, &m) == WU_OK) {
      // Every record read, whole or truncated, is all there in the member.
      int32_t length = 0;
      size_t consumed = 0;
      for (int i = 0; i < kMaxRecords; ++i) {
        const int32_t want = sizes[i % 4];
        const wu_status st = k->ylmread(m, want ? buf.data() : nullptr, want, &length, 0);
        if (!More(st)) break;
        consumed += 8 + size_t(length);
        if (length < 0 || (st == WU_OK && length > want) || consumed > size) __builtin_trap();
      }
      k->ylmclos(m, 0);
    }
    if (k->ylmopen(lib, entry.bytes, QEV_TOOLBOX_MEMTYPE, QEV_LIB_READ, &m) == WU_OK) {
      int32_t length = 0;
      for (int i = 0; i < kMaxRecords && k->ylmread(m, nullptr, 0, &length, 1 + i % 2) == WU_OK; ++i) {
      }
      k->ylmclos(m, 0);
    }
    k->ylclose(lib);
  }

  unsigned char header[QEV_TOOLBOX_HEADER_LEN];
  if (k->yucrhdr(kLib, cat.bytes, entry.bytes, &lib, &m, header) == WU_OK) {
    for (int i = 0; i < kMaxRecords && k->yucrtol(m, buf.data()) == WU_OK; ++i) {
    }
    k->ylmclos(m, 0);
    k->ylclose(lib);
  }
  qevhost::stop();
  return 0;
}
