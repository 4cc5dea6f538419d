// External record files: the input is a file assigned to a file reference
// and read record by record with buffers of several sizes.
#include <string>
#include <vector>

#include "fuzzhost.h"
#include "qev/flags.h"
#include "qevhost.h"

namespace {

const char kRef[] = "FUZZREF ";
const char kEngine[] = "DISK    ";
const int kMaxRecords = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string dir = fuzzhost::Dir();
  const std::string path = dir + "/records.txt";
  fuzzhost::Write(path, data, size);
  const qev_kernel *k = qevhost::start(dir)->kernel;
  std::vector<char> buf(4096);
  const int32_t sizes[] = {0, 1, 80, int32_t(buf.size())};
  int32_t attributes[7] = {int32_t(WU_XOPEN_INPUT), 0, 0, 0, 0, 0, 0};
  qev_file *f = nullptr;
  if (k->wxasgn(kRef, kEngine, path.data(), int32_t(path.size())) == WU_OK &&
      k->wxopen(&f, kRef, attributes) == WU_OK) {
    int32_t length = 0;
    for (int i = 0; i < kMaxRecords; ++i) {
      const int32_t want = sizes[i % 4];
      const wu_status st = k->wxread(f, want ? buf.data() : nullptr, want, &length);
      if (st != WU_OK && st != WU_TRUNCATED) break;
      if (length < 0 || length > want) __builtin_trap();
    }
    k->wxclose(f);
  }
  qevhost::stop();
  return 0;
}
