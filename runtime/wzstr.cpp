// Blank-padded string utilities.  Host texts are a pointer and a length; a
// null pointer or a negative length is taken as an empty text and no text
// is read past its length.
#include <stdarg.h>
#include <string.h>

#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"

namespace {

constexpr char kBlank = ' ';

int32_t text_length(const char *text, int32_t length) {
  return (text == nullptr || length < 0) ? 0 : length;
}

// The host's first case table (to upper case), or a plain one without a
// host.
uint8_t fold(uint8_t c) {
  const qev_gcb *gcb = wu_gcb();
  if (gcb != nullptr && gcb->case_fold[0] != nullptr) return gcb->case_fold[0][c];
  return (c >= 'a' && c <= 'z') ? static_cast<uint8_t>(c - 'a' + 'A') : c;
}

bool multibyte() {
  const qev_gcb *gcb = wu_gcb();
  return gcb != nullptr && gcb->multibyte != 0;
}

// In double-byte mode a byte with the high bit set opens a two-byte
// character.
constexpr uint8_t kLeadByte = 0x80;

}  // namespace

extern "C" {

void vzmp(const char *source, int32_t length, char *field, int32_t field_length) {
  if (field == nullptr || field_length <= 0) return;
  int32_t n = text_length(source, length);
  if (n > field_length) n = field_length;
  if (n > 0) memmove(field, source, static_cast<size_t>(n));
  memset(field + n, kBlank, static_cast<size_t>(field_length - n));
}

int32_t vzsntl(const char *text, int32_t length, int32_t ch, int32_t limit) {
  int32_t n = text_length(text, length);
  if (limit >= 0 && limit < n) n = limit;
  for (int32_t i = 0; i < n; ++i)
    if (static_cast<uint8_t>(text[i]) != static_cast<uint8_t>(ch)) return i;
  return -1;
}

int32_t wzbcup(const char *a, const char *b, int32_t n) {
  if (n <= 0) return 0;
  if (a == nullptr || b == nullptr) return (a == b) ? 0 : (a == nullptr ? -1 : 1);
  for (int32_t i = 0; i < n; ++i) {
    int32_t fa = fold(static_cast<uint8_t>(a[i]));
    int32_t fb = fold(static_cast<uint8_t>(b[i]));
    if (fa != fb) return fa - fb;
  }
  return 0;
}

void wzbzeri(void *buffer, int32_t n) {
  if (buffer != nullptr && n > 0) memset(buffer, 0, static_cast<size_t>(n));
}

int32_t wzstcat(char *field, int32_t length, int32_t separator, int32_t count, ...) {
  bool terminated = length < 0;
  int32_t size = terminated ? ~length : length;
  // Room for text: the whole field, or all but the terminating NUL.
  int32_t room = terminated ? size - 1 : size;
  if (field == nullptr || room < 0) return 0;
  int32_t used = 0;
  va_list ap;
  va_start(ap, count);
  for (int32_t i = 0; i < count; ++i) {
    const char *piece = va_arg(ap, const char *);
    int32_t n = text_length(piece, va_arg(ap, int32_t));
    if (i > 0 && separator >= 0 && used < room) field[used++] = static_cast<char>(separator);
    if (n > room - used) n = room - used;
    if (n > 0) {
      memmove(field + used, piece, static_cast<size_t>(n));
      used += n;
    }
  }
  va_end(ap);
  if (terminated)
    field[used] = '\0';
  else
    memset(field + used, kBlank, static_cast<size_t>(room - used));
  return used;
}

int32_t wzsteqn(const char *a, int32_t la, const char *b, int32_t lb) {
  la = text_length(a, la);
  lb = text_length(b, lb);
  return (la == lb && wzbcup(a, b, la) == 0) ? 1 : 0;
}

wu_status wzstjls(char *text, int32_t length, int32_t mode, int32_t, int32_t) {
  if (mode != WU_JUSTIFY_LEFT) return WU_NOTAVAIL;
  int32_t n = text_length(text, length);
  int32_t lead = 0;
  while (lead < n && text[lead] == kBlank) ++lead;
  if (lead == 0 || lead == n) return WU_OK;
  memmove(text, text + lead, static_cast<size_t>(n - lead));
  memset(text + n - lead, kBlank, static_cast<size_t>(lead));
  return WU_OK;
}

int32_t wzstlen(const char *text) {
  return text == nullptr ? 0 : static_cast<int32_t>(strlen(text));
}

int32_t wzstndx(const char *text, int32_t length, const char *pattern, int32_t pattern_length) {
  int32_t n = text_length(text, length);
  int32_t m = text_length(pattern, pattern_length);
  if (m == 0) return 0;
  for (int32_t i = 0; i + m <= n; ++i)
    if (memcmp(text + i, pattern, static_cast<size_t>(m)) == 0) return i;
  return -1;
}

int32_t wzstrip(const char *text, int32_t length) {
  int32_t n = text_length(text, length);
  while (n > 0 && text[n - 1] == kBlank) --n;
  return n;
}

wu_status wztxxlt(int32_t kind, const char *source, char *destination, int32_t length) {
  if (kind < 0 || kind >= QEV_XLT_TABLES) return WU_BADXLT;
  int32_t n = text_length(source, length);
  if (destination == nullptr) return n == 0 ? WU_OK : WU_BADARG;
  const qev_gcb *gcb = wu_gcb();
  const uint8_t *table = gcb != nullptr ? gcb->xlt[kind] : nullptr;
  if (table == nullptr) {
    if (n > 0 && source != destination) memmove(destination, source, static_cast<size_t>(n));
    return WU_NOTAVAIL;
  }
  bool dbcs = multibyte();
  for (int32_t i = 0; i < n; ++i) {
    uint8_t c = static_cast<uint8_t>(source[i]);
    if (dbcs && (c & kLeadByte) != 0 && i + 1 < n) {
      destination[i] = source[i];
      destination[i + 1] = source[i + 1];
      ++i;
      continue;
    }
    destination[i] = static_cast<char>(table[c]);
  }
  return WU_OK;
}

}  // extern "C"
