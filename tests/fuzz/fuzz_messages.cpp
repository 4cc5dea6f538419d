// The host's message tables: a message file loaded at start-up, each
// message it holds formatted and logged with arguments, and the input taken
// as a format of its own.
#include <cstdio>
#include <string>

#include "fuzzhost.h"
#include "qevhost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string dir = fuzzhost::Dir();
  fuzzhost::Write(dir + "/messages-fuzz.txt", data, size);
  const qev_kernel *k = qevhost::start(dir)->kernel;
  const char text[] = "argument text";
  const qev_arg args[3] = {{QEV_ARG_INT, 0, nullptr, -2147483647 - 1},
                           {QEV_ARG_TEXT, int32_t(sizeof text - 1), text, 0},
                           {QEV_ARG_TEXT, 0, nullptr, 0}};
  char out[4096];
  int32_t length = 0;
  fuzzhost::ForLines(data, size, 64, [&](const std::string &line) {
    int set = 0, number = 0;
    if (std::sscanf(line.c_str(), "%d %d", &set, &number) != 2) return;
    k->xpmstr(out, 0, &length, set, number, 3, args);
    k->xpmstr(out, 16, &length, set, number, 3, args);
    k->xpmstr(out, sizeof out, &length, set, number, 3, args);
    k->ypmlog(set, number, 3, args);
    k->yudsmsg(nullptr, 0, QEV_LOG_NOTE, set, number);
  });
  const int32_t n = size > 65536 ? 65536 : int32_t(size);
  k->ypsstr(out, sizeof out, &length, reinterpret_cast<const char *>(data), n, 3, args);
  k->ypslog(reinterpret_cast<const char *>(data), n);
  qevhost::stop();
  return 0;
}
