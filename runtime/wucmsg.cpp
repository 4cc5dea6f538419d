// Host message texts by set and number, the banner and the about texts.
#include <stdio.h>
#include <string.h>
#include <sys/utsname.h>

#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"

namespace {

char g_message[WU_RMSG_BUFFER];

// The host's text of a message, up to its first NUL; false when missing.
bool message_text(int32_t set, int32_t number, const char **text, int32_t *length) {
  const char *t = nullptr;
  int32_t n = 0;
  if (wkread(set, number, &t, &n) != WU_OK || t == nullptr || n < 0) return false;
  const void *nul = memchr(t, '\0', static_cast<size_t>(n));
  if (nul != nullptr) n = static_cast<int32_t>(static_cast<const char *>(nul) - t);
  *text = t;
  *length = n;
  return true;
}

// A NUL-terminated copy of the joined pieces in the module pool.
char *pool_copy(const char *a, int32_t la, const char *b, int32_t lb) {
  char *copy = static_cast<char *>(vmalloc_handler(wu_module_pool(), la + lb + 1, 0));
  if (copy == nullptr) return nullptr;
  if (la > 0) memcpy(copy, a, static_cast<size_t>(la));
  if (lb > 0) memcpy(copy + la, b, static_cast<size_t>(lb));
  copy[la + lb] = '\0';
  return copy;
}

}  // namespace

extern "C" {

// A fresh copy of a message, or NULL; the caller gives it back to the
// module pool (its size is its length + 1).
char *wuxgmft(int32_t set, int32_t number) {
  const char *text;
  int32_t length;
  if (!message_text(set, number, &text, &length)) return nullptr;
  return pool_copy(text, length, nullptr, 0);
}

// A message in a static buffer, cut to WU_RMSG_BUFFER - 1 bytes; NULL
// (length 0) when the message is missing.
const char *wuxrmsg(int32_t set, int32_t number, int32_t *length) {
  const char *text;
  int32_t n;
  if (length != nullptr) *length = 0;
  if (!message_text(set, number, &text, &n)) return nullptr;
  if (n > WU_RMSG_BUFFER - 1) n = WU_RMSG_BUFFER - 1;
  memcpy(g_message, text, static_cast<size_t>(n));
  g_message[n] = '\0';
  if (length != nullptr) *length = n;
  return g_message;
}

// The message followed by a blank and the operating system's name, in the
// module pool; NULL when the message is missing or memory is short.
char *wuxabnr(int32_t set, int32_t number) {
  const char *text;
  int32_t length;
  if (!message_text(set, number, &text, &length)) return nullptr;
  struct utsname un;
  char system[sizeof un.sysname + 1] = "";
  if (uname(&un) == 0) snprintf(system, sizeof system, " %s", un.sysname);
  return pool_copy(text, length, system, wzstlen(system));
}

// The about texts: kind 1 the lines, kind 2 the three items (product lines
// 1 and 2, the About title; a missing item is an empty text).  One block
// from the module pool: a NULL-terminated array of text pointers followed by
// the texts; the caller gives it back with size -1.  *length is the number
// of texts.  NULL for another kind or when memory is short.
char **wuxabou(int32_t kind, int32_t *length) {
  if (length != nullptr) *length = 0;
  const char *texts[WU_ABOUT_LINES_MAX];
  int32_t lengths[WU_ABOUT_LINES_MAX];
  int32_t count = 0;
  if (kind == WU_ABOUT_LINES) {
    while (count < WU_ABOUT_LINES_MAX &&
           message_text(WU_ABOUT_MSGSET, count + 1, &texts[count], &lengths[count]))
      ++count;
  } else if (kind == WU_ABOUT_RECORD) {
    for (; count < WU_ABOUT_ITEMS; ++count)
      if (!message_text(WU_ABOUT_MSGSET, WU_ABOUT_ITEM_BASE + count + 1, &texts[count],
                        &lengths[count])) {
        texts[count] = "";
        lengths[count] = 0;
      }
  } else {
    return nullptr;
  }
  size_t size = (static_cast<size_t>(count) + 1) * sizeof(char *);
  for (int32_t i = 0; i < count; ++i) size += static_cast<size_t>(lengths[i]) + 1;
  char **block = static_cast<char **>(vmalloc_handler(wu_module_pool(), static_cast<int32_t>(size), 0));
  if (block == nullptr) return nullptr;
  char *p = reinterpret_cast<char *>(block + count + 1);
  for (int32_t i = 0; i < count; ++i) {
    block[i] = p;
    memcpy(p, texts[i], static_cast<size_t>(lengths[i]));
    p[lengths[i]] = '\0';
    p += lengths[i] + 1;
  }
  block[count] = nullptr;
  if (length != nullptr) *length = count;
  return block;
}

// Copies the text without leading and trailing blanks, NUL-terminated and
// cut to size - 1 bytes; returns the copied length.  Size 0 copies nothing.
int32_t wuxtjfy(const char *text, int32_t length, char *buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return 0;
  int32_t end = wzstrip(text, length);
  int32_t start = 0;
  while (start < end && text[start] == ' ') ++start;
  int32_t n = end - start;
  if (n > size - 1) n = size - 1;
  if (n > 0) memmove(buffer, text + start, static_cast<size_t>(n));
  buffer[n] = '\0';
  return n;
}

}  // extern "C"
