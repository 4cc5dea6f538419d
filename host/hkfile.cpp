// Host libraries as the file services describe them, and external record
// files over real files: one record per line.  An output file that replaces
// the old one is written beside it and takes its place only when it is
// closed after writes that all succeeded; otherwise the old file stays.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "hkint.h"
#include "qev/flags.h"
#include "qevhost.h"

struct qev_file {
  FILE *fp = nullptr;
  bool input = false;
  int32_t recordLength = 0;   // output: longest record, 0 for no limit
  std::string path;
  std::string pending;        // replacing output: the file written until the close
  bool failed = false;        // a write failed: the close keeps the old file
  int32_t records = 0;        // records read or written so far
};

namespace qevhost {
namespace detail {
namespace {

const char kDiskEngine[] = "DISK";
const char kUserLibref[] = "QEVUSER";
// Attribute words of wxopen.
const int kAttrFlags = 0;
const int kAttrRecordLength = 2;

// Injected failures: the record of this number (1-based, in the next file
// opened for reading, resp. writing) fails; 0 none.
int32_t g_failRead = 0;
int32_t g_failWrite = 0;
bool g_failAssign = false;
const char kPendingSuffix[] = ".qevnew";

struct FileState {
  std::map<std::string, HostLibrary> libraries;
  std::map<qev_task *, std::map<std::string, std::string>> filerefs;  // per task context
  std::set<qev_file *> files;
};
FileState fs;

qev_file *lookup(qev_file *f) { return fs.files.count(f) ? f : nullptr; }

void fillInfo(const HostLibrary &lib, qev_libinfo *info) {
  std::memset(info, 0, sizeof *info);
  info->concatenated = static_cast<int32_t>(lib.members.size());
  info->member_flags = lib.memberFlags;
  padName(info->engine, sizeof info->engine, lib.engine);
  size_t n = lib.paths.size() < sizeof info->path - 1 ? lib.paths.size() : sizeof info->path - 1;
  std::memcpy(info->path, lib.paths.data(), n);
  info->path_length = static_cast<int32_t>(n);
}

// Splits a path list: "dir", "(dir1 dir2)" or "('dir1' 'dir2')".
std::vector<std::string> splitPaths(const std::string &text) {
  std::vector<std::string> out;
  std::string s = text;
  size_t a = s.find_first_not_of(' ');
  size_t b = s.find_last_not_of(' ');
  if (a == std::string::npos) return out;
  s = s.substr(a, b - a + 1);
  if (s.size() < 2 || s.front() != '(' || s.back() != ')') {
    out.push_back(s);
    return out;
  }
  s = s.substr(1, s.size() - 2);
  size_t i = 0;
  while (i < s.size()) {
    char c = s[i];
    if (c == ' ' || c == ',') {
      ++i;
    } else if (c == '\'' || c == '"') {
      size_t end = s.find(c, i + 1);
      if (end == std::string::npos) end = s.size();
      out.push_back(s.substr(i + 1, end - i - 1));
      i = end + 1;
    } else {
      size_t end = s.find_first_of(" ,", i);
      if (end == std::string::npos) end = s.size();
      out.push_back(s.substr(i, end - i));
      i = end;
    }
  }
  return out;
}

const std::map<std::string, std::string> *fileContext() {
  auto it = fs.filerefs.find(activeTask());
  return it == fs.filerefs.end() ? nullptr : &it->second;
}

}  // namespace

void fileStart(const std::string &dataDir) {
  fs = FileState();
  std::string user = dataDir + "/user";
  ::mkdir(user.c_str(), 0777);
  HostLibrary lib;
  lib.engine = kDiskEngine;
  lib.paths = user;
  fs.libraries[kUserLibref] = lib;
}

void fileStop() {
  for (qev_file *f : fs.files) {
    if (f->fp) std::fclose(f->fp);
    if (!f->pending.empty()) std::remove(f->pending.c_str());  // never closed: the old file stays
    delete f;
  }
  fs = FileState();
}

wu_status k_yhlinf2(const char *libref, qev_libinfo *info) {
  if (!running()) return WU_NOTAVAIL;
  if (!libref || !info) return WU_BADARG;
  auto it = fs.libraries.find(hostName(libref, QEV_LIBREF_LEN));
  if (it == fs.libraries.end()) return WU_NOTAVAIL;
  fillInfo(it->second, info);
  return WU_OK;
}

wu_status k_yhlcnf2(const char *libref, int32_t member, qev_libinfo *info) {
  if (!running()) return WU_NOTAVAIL;
  if (!libref || !info) return WU_BADARG;
  auto it = fs.libraries.find(hostName(libref, QEV_LIBREF_LEN));
  if (it == fs.libraries.end()) return WU_NOTAVAIL;
  const std::vector<HostLibrary> &members = it->second.members;
  if (member < 1 || member > static_cast<int32_t>(members.size())) return WU_BADARG;
  fillInfo(members[static_cast<size_t>(member - 1)], info);
  return WU_OK;
}

wu_status k_hx_split_path(const char *paths, int32_t length, char *buf, int32_t size,
                          int32_t *count_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!paths || length < 0 || !buf || size <= 0) return WU_BADARG;
  if (count_out) *count_out = 0;
  std::vector<std::string> parts = splitPaths(std::string(paths, static_cast<size_t>(length)));
  int32_t used = 0, count = 0;
  buf[0] = '\0';
  for (const std::string &p : parts) {
    int32_t need = static_cast<int32_t>(p.size()) + 1;
    if (used + need > size) return WU_TRUNCATED;
    std::memcpy(buf + used, p.c_str(), static_cast<size_t>(need));
    used += need;
    if (count_out) *count_out = ++count;
  }
  return WU_OK;
}

wu_status k_wxname(char *buf, int32_t size, const char *file, int32_t file_length, int32_t,
                   const char *dir, int32_t dir_length) {
  if (!running()) return WU_NOTAVAIL;
  if (!buf || size <= 0 || !file || file_length <= 0 || dir_length < 0 || (!dir && dir_length > 0))
    return WU_BADARG;
  buf[0] = '\0';
  std::string d;
  if (dir_length > 0) {
    std::vector<std::string> parts = splitPaths(std::string(dir, static_cast<size_t>(dir_length)));
    if (!parts.empty()) d = parts.front();
  }
  std::string name(file, static_cast<size_t>(file_length));
  if (name.find('\0') != std::string::npos) return WU_BADARG;
  std::string full = d.empty() ? name : (d.back() == '/' ? d : d + "/") + name;
  if (static_cast<int32_t>(full.size()) >= size) return WU_TRUNCATED;
  std::memcpy(buf, full.c_str(), full.size() + 1);
  return WU_OK;
}

wu_status k_wxasgn(const char *fileref, const char *engine, const char *name, int32_t length) {
  if (!running()) return WU_NOTAVAIL;
  if (!fileref || !engine || !name || length <= 0) return WU_BADARG;
  std::string ref = hostName(fileref, QEV_LIBREF_LEN);
  std::string path(name, static_cast<size_t>(length));
  size_t nul = path.find('\0');
  if (nul != std::string::npos) path.resize(nul);
  if (ref.empty() || path.empty()) return WU_BADARG;
  if (hostName(engine, 8) != kDiskEngine) return WU_UNSUPPORTED;
  if (g_failAssign) {
    g_failAssign = false;
    return WU_NOTAVAIL;
  }
  fs.filerefs[activeTask()][ref] = path;
  return WU_OK;
}

wu_status k_wxopen(qev_file **file_out, const char *fileref, const int32_t *attributes) {
  if (!running()) return WU_NOTAVAIL;
  if (!file_out || !fileref || !attributes) return WU_BADARG;
  *file_out = nullptr;
  const std::map<std::string, std::string> *ctx = fileContext();
  auto it = ctx ? ctx->find(hostName(fileref, QEV_LIBREF_LEN)) : std::map<std::string, std::string>::const_iterator();
  if (!ctx || it == ctx->end()) return WU_NOTAVAIL;
  uint32_t flags = static_cast<uint32_t>(attributes[kAttrFlags]);
  bool input = flags & WU_XOPEN_INPUT, output = flags & WU_XOPEN_OUTPUT;
  if (input == output) return WU_BADARG;
  const bool replace = output && (flags & WU_XOPEN_REPLACE);
  const char *how = input ? "r" : (replace ? "w" : "a");
  const std::string target = replace ? it->second + kPendingSuffix : it->second;
  FILE *fp = std::fopen(target.c_str(), how);
  if (!fp) return WU_NOTAVAIL;
  qev_file *f = new qev_file;
  if (replace) f->pending = target;
  f->fp = fp;
  f->input = input;
  f->recordLength = output && attributes[kAttrRecordLength] > 0 ? attributes[kAttrRecordLength] : 0;
  f->path = it->second;
  fs.files.insert(f);
  *file_out = f;
  return WU_OK;
}

wu_status k_wxread(qev_file *file, void *buf, int32_t size, int32_t *length_out) {
  if (!running()) return WU_NOTAVAIL;
  qev_file *f = lookup(file);
  if (length_out) *length_out = 0;
  if (!f || !f->input || !length_out || size < 0 || (!buf && size > 0)) return WU_BADARG;
  if (++f->records == g_failRead) {
    g_failRead = 0;
    return WU_NOTAVAIL;
  }
  char *line = nullptr;
  size_t cap = 0;
  ssize_t n = ::getline(&line, &cap, f->fp);
  if (n < 0) {
    std::free(line);
    return std::ferror(f->fp) ? WU_NOTAVAIL : WU_EOF;
  }
  if (n > 0 && line[n - 1] == '\n') --n;
  int32_t take = n < size ? static_cast<int32_t>(n) : size;
  if (take > 0) std::memcpy(buf, line, static_cast<size_t>(take));
  std::free(line);
  *length_out = take;
  return take < n ? WU_TRUNCATED : WU_OK;
}

wu_status k_wxwrite(qev_file *file, const void *buf, int32_t length) {
  if (!running()) return WU_NOTAVAIL;
  qev_file *f = lookup(file);
  if (!f || f->input || length < 0 || (!buf && length > 0)) return WU_BADARG;
  if (length > 0 && std::memchr(buf, '\n', static_cast<size_t>(length))) {
    f->failed = true;
    return WU_BADARG;
  }
  if (++f->records == g_failWrite) {
    g_failWrite = 0;
    f->failed = true;
    return WU_NOTAVAIL;
  }
  int32_t take = (f->recordLength > 0 && length > f->recordLength) ? f->recordLength : length;
  if ((take > 0 && std::fwrite(buf, 1, static_cast<size_t>(take), f->fp) != static_cast<size_t>(take)) ||
      std::fputc('\n', f->fp) == EOF) {
    f->failed = true;
    return WU_NOTAVAIL;
  }
  if (take < length) {
    f->failed = true;  // a cut record is not the record asked for
    return WU_TRUNCATED;
  }
  return WU_OK;
}

wu_status k_wxclose(qev_file *file) {
  if (!running()) return WU_NOTAVAIL;
  qev_file *f = lookup(file);
  if (!f) return WU_BADARG;
  bool ok = std::fclose(f->fp) == 0;
  if (!f->pending.empty()) {
    if (ok && !f->failed) ok = std::rename(f->pending.c_str(), f->path.c_str()) == 0;
    else ok = false;
    if (!ok) std::remove(f->pending.c_str());
  }
  fs.files.erase(f);
  delete f;
  return ok ? WU_OK : WU_NOTAVAIL;
}

}  // namespace detail

using namespace detail;

void failFileAssign() { g_failAssign = true; }

void failRecordFile(bool write, int32_t record) {
  (write ? g_failWrite : g_failRead) = record > 0 ? record : 0;
}

void setHostLibrary(const std::string &libref, const HostLibrary &lib) {
  fs.libraries[hostName(libref.data(), static_cast<int32_t>(libref.size()))] = lib;
}

}  // namespace qevhost
