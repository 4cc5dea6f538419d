// The checked formatter: host texts as formats, without printf.
#include "runtime/wufmt.h"

#include <cstdio>
#include <cstring>

namespace {

struct Out {
  char *buf;
  int32_t size;
  int32_t used = 0;
  void put(const char *s, int32_t n) {
    if (!buf || size <= 0 || n <= 0) return;
    const int32_t room = size - 1 - used;
    if (n > room) n = room;
    if (n <= 0) return;
    std::memcpy(buf + used, s, size_t(n));
    used += n;
  }
};

}  // namespace

extern "C" int32_t wutsfmt(char *out, int32_t size, const char *format, int32_t format_length,
                           int32_t nargs, const qev_arg *args) {
  Out o{out, size};
  if (out && size > 0) out[0] = '\0';
  if (!format) return 0;
  const int32_t len = format_length < 0 ? int32_t(std::strlen(format)) : format_length;
  int32_t next = 0;
  for (int32_t i = 0; i < len; ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 >= len) {
      o.put(&c, 1);
      continue;
    }
    const char k = format[i + 1];
    if (k == '%') {
      o.put("%", 1);
      ++i;
    } else if (k == 's' || k == 'd') {
      ++i;
      if (!args || next >= nargs) continue;
      const qev_arg &a = args[next++];
      if (k == 's' && a.kind == QEV_ARG_TEXT && a.text) {
        int32_t n = a.length < 0 ? int32_t(std::strlen(a.text)) : a.length;
        o.put(a.text, n);
      } else if (k == 'd' && a.kind == QEV_ARG_INT) {
        char num[16];
        const int n = std::snprintf(num, sizeof num, "%d", int(a.value));
        o.put(num, n);
      }
    } else {
      o.put(&c, 1);
    }
  }
  if (out && size > 0) out[o.used] = '\0';
  return o.used;
}
