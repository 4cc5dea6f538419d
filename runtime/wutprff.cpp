// Reading the user's preferences file: bounded, binary-safe, and turned into
// a text the X resource manager can parse without reading past its end.
#include "runtime/wutprff.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/wutoolkit.h"

namespace wuprefs {

namespace {

// Closes a descriptor when it goes out of scope.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// True when the line is continued on the next one: it ends with an odd
// number of backslashes (an even number is escaped backslashes).
bool Continued(const std::string &line) {
  size_t n = 0;
  for (size_t i = line.size(); i > 0 && line[i - 1] == '\\'; --i) ++n;
  return n % 2 == 1;
}

// A directive line ("#" first after blanks).
bool Directive(const std::string &line) {
  const size_t i = line.find_first_not_of(" \t");
  return i != std::string::npos && line[i] == '#';
}

}  // namespace

ReadResult ReadFile(const std::string &path, std::string *bytes, std::string *why) {
  bytes->clear();
  why->clear();
  // Non-blocking, so that opening a pipe put in the file's place returns.
  Fd f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  if (f.fd < 0) {
    if (errno == ENOENT) return ReadResult::kMissing;
    *why = std::strerror(errno);
    return ReadResult::kFailed;
  }
  struct stat st;
  if (::fstat(f.fd, &st) != 0) {
    *why = std::strerror(errno);
    return ReadResult::kFailed;
  }
  if (!S_ISREG(st.st_mode)) {
    *why = "it is not a regular file";
    return ReadResult::kFailed;
  }
  const std::string too_large = "it is larger than " + std::to_string(kFileMax) + " bytes";
  if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > kFileMax) {
    *why = too_large;
    return ReadResult::kFailed;
  }
  // The size may change while the file is read: read up to the bound plus
  // one byte, whatever fstat said.
  char chunk[8192];
  for (;;) {
    ssize_t n = ::read(f.fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *why = std::strerror(errno);
      bytes->clear();
      return ReadResult::kFailed;
    }
    if (n == 0) break;
    if (bytes->size() + size_t(n) > kFileMax) {
      *why = too_large;
      bytes->clear();
      return ReadResult::kFailed;
    }
    bytes->append(chunk, size_t(n));
  }
  return ReadResult::kOk;
}

std::vector<std::string> SplitLines(const std::string &bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t nl = bytes.find('\n', start);
    if (nl == std::string::npos) nl = bytes.size();
    lines.push_back(bytes.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

std::string DatabaseText(const std::string &bytes, const std::string &path) {
  std::string text;
  text.reserve(bytes.size() + 2);
  bool continued = false;  // the line before this one goes on into it
  int number = 0;
  // What is left out is logged once per kind, with the first line, however
  // many lines a damaged file holds.
  int nul_lines = 0, first_nul = 0, includes = 0, first_include = 0;
  for (std::string line : SplitLines(bytes)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\0') != std::string::npos) {
      if (nul_lines++ == 0) first_nul = number;
      continued = false;
      continue;
    }
    if (!continued && Directive(line)) {
      if (line.find("include") != std::string::npos && includes++ == 0) first_include = number;
      continue;
    }
    continued = Continued(line);
    text += line;
    text += '\n';
  }
  text += '\n';
  if (nul_lines)
    wutlogf(QEV_LOG_WARNING, "%s, line %d: %d line(s) holding a NUL byte are ignored.", path.c_str(),
            first_nul, nul_lines);
  if (includes)
    wutlogf(QEV_LOG_WARNING, "%s, line %d: other files are not included.", path.c_str(),
            first_include);
  return text;
}

XrmDatabase ReadDatabase(const std::string &path) {
  std::string bytes, why;
  switch (ReadFile(path, &bytes, &why)) {
    case ReadResult::kMissing:
      return nullptr;
    case ReadResult::kFailed:
      wutlogf(QEV_LOG_WARNING, "The preferences file %s is not read: %s.", path.c_str(), why.c_str());
      return nullptr;
    case ReadResult::kOk:
      break;
  }
  const std::string text = DatabaseText(bytes, path);
  return XrmGetStringDatabase(text.c_str());
}

}  // namespace wuprefs
