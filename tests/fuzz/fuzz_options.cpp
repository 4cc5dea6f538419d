// The host's option file: loaded at start-up, then every option the file
// names asked for through the option slots, with short and long buffers.
#include <cstdlib>
#include <string>

#include "fuzzhost.h"
#include "qevhost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string dir = fuzzhost::Dir();
  fuzzhost::Write(dir + "/options", data, size);
  const qev_kernel *k = qevhost::start(dir)->kernel;
  fuzzhost::ForLines(data, size, 64, [k](const std::string &line) {
    const size_t a = line.find_first_of(" \t");
    if (a == std::string::npos) return;
    const size_t b = line.find_first_not_of(" \t", a);
    if (b == std::string::npos) return;
    const size_t e = line.find_first_of(" \t", b);
    const std::string name = line.substr(b, e == std::string::npos ? std::string::npos : e - b);
    const int32_t len = int32_t(name.size());
    char buf[256];
    int32_t out = 0, value = 0;
    k->yugcopt(name.data(), len, buf, 3, &out);
    k->yugcopt(name.data(), len, buf, sizeof buf, &out);
    k->yugbopt(name.data(), len, &value);
    k->yyrngef(name.data(), len, &value);
    const int32_t index = int32_t(std::strtol(name.c_str(), nullptr, 0));
    k->ywcgbit(index);
    k->yugwred(index);
    k->xucpp(index, &value);
  });
  k->xyttsd();
  qevhost::stop();
  return 0;
}
