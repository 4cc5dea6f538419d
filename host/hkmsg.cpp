// Message tables, the formatter of the log and string services, and the log.
//
// The formatter knows only its own directives: "%Nb" (N = 1..255) pads a
// text argument with blanks to N characters or cuts it there, "%d" writes an
// integer, "%s" a text, "%%" a percent sign.  Anything else is copied as it
// stands, and a text that arrives as an argument is never scanned for
// directives, so a host text can never act as a format.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "hkint.h"
#include "qevhost.h"

namespace qevhost {
namespace detail {
namespace {

struct MsgState {
  std::map<std::pair<int32_t, int32_t>, std::string> messages;
  std::vector<LogEntry> log;
  std::vector<ShownMessage> shown;
  std::vector<MessageKey> missing;
};
MsgState mg;
// Set by the host program and kept across restarts of the host.
MessageSink g_sink;
bool g_inSink = false;

const int32_t kMaxPad = 255;

void appendArg(std::string &out, const qev_arg *arg) {
  if (!arg) return;
  if (arg->kind == QEV_ARG_INT) {
    out += std::to_string(arg->value);
  } else if (arg->kind == QEV_ARG_TEXT && arg->text && arg->length > 0) {
    out.append(arg->text, static_cast<size_t>(arg->length));
  }
}

// Expands `format` with `args` into `out`.  Returns false when the
// arguments are unusable (negative count, null array).
bool expand(std::string &out, const char *format, size_t length, int32_t nargs,
            const qev_arg *args) {
  if (nargs < 0 || (nargs > 0 && !args)) return false;
  int32_t next = 0;
  auto take = [&]() -> const qev_arg * { return next < nargs ? &args[next++] : nullptr; };
  for (size_t i = 0; i < length; ++i) {
    char c = format[i];
    if (c != '%' || i + 1 >= length) {
      out += c;
      continue;
    }
    char d = format[i + 1];
    if (d == '%') {
      out += '%';
      ++i;
    } else if (d == 'd' || d == 's') {
      appendArg(out, take());
      ++i;
    } else if (d >= '1' && d <= '9') {
      size_t j = i + 1;
      int32_t width = 0;
      while (j < length && format[j] >= '0' && format[j] <= '9' && width <= kMaxPad)
        width = width * 10 + (format[j++] - '0');
      if (j < length && format[j] == 'b' && width <= kMaxPad) {
        std::string text;
        appendArg(text, take());
        text.resize(static_cast<size_t>(width), ' ');
        out += text;
        i = j;
      } else {
        out += c;   // not ours ("%1z" class prefixes among them): kept
      }
    } else {
      out += c;
    }
  }
  return true;
}

wu_status deliver(const std::string &text, char *out, int32_t size, int32_t *out_length) {
  int32_t n = static_cast<int32_t>(text.size());
  if (out_length) *out_length = std::min(n, size);
  if (n > size) {
    std::memcpy(out, text.data(), static_cast<size_t>(size));
    return WU_TRUNCATED;
  }
  std::memcpy(out, text.data(), static_cast<size_t>(n));
  if (n < size) out[n] = '\0';
  return WU_OK;
}

// One decimal 32-bit number after optional blanks, starting at *at; *at
// moves past it.  False for no number or one out of range.
bool parseNumber(const std::string &line, size_t *at, int32_t *out) {
  size_t i = line.find_first_not_of(" \t", *at);
  if (i == std::string::npos) return false;
  const char *start = line.c_str() + i;
  char *end = nullptr;
  errno = 0;
  long long n = std::strtoll(start, &end, 10);
  if (end == start || errno == ERANGE || n < INT32_MIN || n > INT32_MAX) return false;
  *out = static_cast<int32_t>(n);
  *at = i + static_cast<size_t>(end - start);
  return true;
}

// The set and number that begin a message line, and where its text starts
// (after the blanks that follow them).
bool parseKey(const std::string &line, int32_t *set, int32_t *number, size_t *text) {
  size_t at = 0;
  if (!parseNumber(line, &at, set) || !parseNumber(line, &at, number)) return false;
  size_t first = line.find_first_not_of(" \t", at);
  *text = first == std::string::npos ? line.size() : first;
  return true;
}

// A message of the tables; a message asked for and not found is noted,
// once, for missingMessages().
const std::string *message(int32_t set, int32_t number) {
  auto it = mg.messages.find({set, number});
  if (it != mg.messages.end()) return &it->second;
  const bool noted = std::any_of(mg.missing.begin(), mg.missing.end(), [&](const MessageKey &k) {
    return k.set == set && k.number == number;
  });
  if (!noted) mg.missing.push_back(MessageKey{set, number});
  return nullptr;
}

// Hands a text to the host program's sink.  A sink that calls the module,
// which logs again, does not come back here.
void toSink(void *window, int32_t cls, const std::string &text) {
  if (!g_sink || g_inSink) return;
  g_inSink = true;
  g_sink(window, cls, text);
  g_inSink = false;
}

}  // namespace

void logLine(int32_t cls, const std::string &text) { mg.log.push_back(LogEntry{cls, text}); }

void logText(const char *text, size_t length) {
  std::string s(text, length);
  int32_t cls = 0;
  if (s.size() >= 3 && s[0] == '%' && s[2] == 'z' && s[1] >= '1' && s[1] <= '3') {
    cls = s[1] - '0';
    s.erase(0, 3);
  }
  size_t start = 0;
  for (;;) {
    size_t nl = s.find('\n', start);
    logLine(cls, s.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  // An error the module logs is shown to the user as well (a trailing
  // line feed ends the text, it is not shown).
  while (!s.empty() && s.back() == '\n') s.pop_back();
  if (cls == QEV_LOG_ERROR && !s.empty()) toSink(nullptr, cls, s);
}

void msgStart(const std::string &dataDir) {
  mg = MsgState();
  DIR *d = ::opendir(dataDir.c_str());
  if (!d) return;
  std::vector<std::string> files;
  while (struct dirent *e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n.compare(0, 8, "messages") == 0 && n.size() > 12 && n.compare(n.size() - 4, 4, ".txt") == 0)
      files.push_back(dataDir + "/" + n);
  }
  ::closedir(d);
  std::sort(files.begin(), files.end());
  for (const std::string &f : files) loadMessages(f);
}

void msgStop() { mg = MsgState(); }

wu_status k_wkread(int32_t set, int32_t number, const char **text, int32_t *length) {
  if (!running()) return WU_NOTAVAIL;
  if (!text || !length) return WU_BADARG;
  *text = nullptr;
  *length = 0;
  const std::string *m = message(set, number);
  if (!m) return WU_NOTAVAIL;
  *text = m->c_str();
  *length = static_cast<int32_t>(m->size());
  return WU_OK;
}

wu_status k_ypmlog(int32_t set, int32_t number, int32_t nargs, const qev_arg *args) {
  if (!running()) return WU_NOTAVAIL;
  const std::string *m = message(set, number);
  std::string out;
  if (!m) {
    logLine(QEV_LOG_ERROR, "Message " + std::to_string(set) + "," + std::to_string(number) +
                               " is missing.");
    return WU_NOTAVAIL;
  }
  if (!expand(out, m->data(), m->size(), nargs, args)) return WU_BADARG;
  logText(out.data(), out.size());
  return WU_OK;
}

wu_status k_ypslog(const char *text, int32_t length) {
  if (!running()) return WU_NOTAVAIL;
  if (length < 0 || (!text && length > 0)) return WU_BADARG;
  logText(text ? text : "", static_cast<size_t>(length));
  return WU_OK;
}

wu_status k_yprrlog(int32_t, wu_status status) {
  if (!running()) return WU_NOTAVAIL;
  char line[64];
  std::snprintf(line, sizeof line, "Status 0x%08X.", static_cast<uint32_t>(status));
  logLine(QEV_LOG_ERROR, line);
  return WU_OK;
}

wu_status k_ypsstr(char *out, int32_t size, int32_t *out_length, const char *format,
                   int32_t format_length, int32_t nargs, const qev_arg *args) {
  if (!running()) return WU_NOTAVAIL;
  if (!out || size < 0 || format_length < 0 || (!format && format_length > 0)) return WU_BADARG;
  std::string text;
  if (!expand(text, format ? format : "", static_cast<size_t>(format_length), nargs, args))
    return WU_BADARG;
  return deliver(text, out, size, out_length);
}

wu_status k_xpmstr(char *out, int32_t size, int32_t *out_length, int32_t set, int32_t number,
                   int32_t nargs, const qev_arg *args) {
  if (!running()) return WU_NOTAVAIL;
  if (!out || size < 0) return WU_BADARG;
  const std::string *m = message(set, number);
  if (!m) return WU_NOTAVAIL;
  std::string text;
  if (!expand(text, m->data(), m->size(), nargs, args)) return WU_BADARG;
  return deliver(text, out, size, out_length);
}

wu_status k_yudsmsg(void *window, int32_t, int32_t msg_class, int32_t set, int32_t number) {
  if (!running()) return WU_NOTAVAIL;
  mg.shown.push_back(ShownMessage{window, msg_class, set, number});
  const std::string *m = message(set, number);
  const std::string text =
      m ? *m : "Message " + std::to_string(set) + "," + std::to_string(number) + ".";
  logLine(msg_class, text);
  toSink(window, msg_class, text);
  return m ? WU_OK : WU_NOTAVAIL;
}

wu_status k_yuhmsg(int32_t set, int32_t number) { return k_yudsmsg(nullptr, 0, 0, set, number); }

}  // namespace detail

using namespace detail;

void setMessage(int32_t set, int32_t number, const std::string &text) {
  mg.messages[{set, number}] = text;
}

bool loadMessages(const std::string &path) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    int32_t set = 0, number = 0;
    size_t used = 0;
    if (!parseKey(line, &set, &number, &used)) {
      logLine(QEV_LOG_WARNING, path + ": message line not understood: " + line);
      continue;
    }
    mg.messages[{set, number}] = line.substr(used);
  }
  return true;
}

std::vector<LogEntry> logEntries() { return mg.log; }

std::vector<std::string> log() {
  std::vector<std::string> out;
  for (const LogEntry &e : mg.log) out.push_back(e.text);
  return out;
}

void clearLog() { mg.log.clear(); }

std::vector<ShownMessage> shownMessages() { return mg.shown; }
void clearShownMessages() { mg.shown.clear(); }

void setMessageSink(MessageSink sink) { g_sink = std::move(sink); }

std::vector<MessageKey> missingMessages() { return mg.missing; }
void clearMissingMessages() { mg.missing.clear(); }

}  // namespace qevhost
