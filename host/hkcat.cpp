// Catalog libraries on disk, their members of typed records, and the tool
// box entry services.
//
// Layout: <dataDir>/catalogs/<LIBREF>/<CATALOG>/<ENTRY>.<MEMBERTYPE>, one
// file per member holding records, each an 8-byte head (length and record
// type, host byte order) followed by the record's bytes.  A member opened
// for writing is written to a temporary file that ylmclos renames into
// place only when the member is closed without being abandoned: a reader
// never sees a half-written entry.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "hkint.h"
#include "qevhost.h"

struct qev_lib {
  std::string libref;
  std::string catalog;
  int32_t mode = 0;
  bool profile = false;
  std::set<qev_member *> members;
};

struct qev_member {
  qev_lib *lib = nullptr;
  std::string path;        // the entry's file
  std::string tempPath;    // writing: where the records go until closed
  int32_t mode = 0;
  FILE *fp = nullptr;
  bool failed = false;     // writing: an I/O error was seen
};

namespace qevhost {

const char *const kProfileLibref = "QEVUSER";
const char *const kProfileCatalog = "PROFILE";

namespace detail {
namespace {

// End of member: the status carries host bits above the ones callers
// compare, so that only a caller that masks with WU_EOM_MASK recognises it.
const wu_status kEndOfMember = static_cast<wu_status>(0x00400000 | WU_EOM);
const char kReadOnlyMarker[] = ".readonly";

struct RecordHead {
  int32_t length;
  int32_t type;
};

struct CatState {
  std::string root;
  std::set<std::string> readOnly;
  std::set<qev_lib *> libs;
  std::set<qev_member *> members;
  qev_lib *profile = nullptr;
  std::map<int32_t, int32_t> commandIcons;
  unsigned serial = 0;
};
CatState cat;

bool exists(const std::string &path, bool dir) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && (dir ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode));
}

// A name that can stand as one path element.
bool safeName(const std::string &s) {
  if (s.empty() || s[0] == '.') return false;
  for (unsigned char c : s)
    if (c < 0x20 || c == '/' || c == 0x7f) return false;
  return true;
}

std::string libDir(const std::string &libref) { return cat.root + "/" + libref; }

bool isReadOnly(const std::string &libref) {
  return cat.readOnly.count(libref) || exists(libDir(libref) + "/" + kReadOnlyMarker, true) ||
         exists(libDir(libref) + "/" + kReadOnlyMarker, false);
}

qev_lib *lookupLib(qev_lib *lib) { return cat.libs.count(lib) ? lib : nullptr; }
qev_member *lookupMember(qev_member *m) { return cat.members.count(m) ? m : nullptr; }

bool writing(const qev_member *m) { return m->mode == QEV_LIB_WRITE || m->mode == QEV_LIB_UPDATE; }

wu_status parseLibrary(const char *libref, const char *catalog, std::string *lr, std::string *ct) {
  if (!libref || !catalog) return WU_BADARG;
  bool ok;
  *lr = hostName(libref, QEV_LIBREF_LEN);
  *ct = name34(catalog, &ok);
  return (ok && safeName(*lr) && safeName(*ct)) ? WU_OK : WU_BADARG;
}

wu_status openLib(qev_lib **lib_out, int32_t mode, const std::string &lr, const std::string &ct) {
  if (mode != QEV_LIB_READ && mode != QEV_LIB_WRITE && mode != QEV_LIB_UPDATE) return WU_BADARG;
  if (cat.profile && lr == cat.profile->libref && ct == cat.profile->catalog) {
    *lib_out = cat.profile;
    return WU_OK;
  }
  if (!exists(libDir(lr), true)) return WU_NOTAVAIL;
  std::string dir = libDir(lr) + "/" + ct;
  if (mode == QEV_LIB_READ) {
    if (!exists(dir, true)) return WU_NOTAVAIL;
  } else {
    if (isReadOnly(lr)) return WU_READONLY;
    if (!exists(dir, true) && ::mkdir(dir.c_str(), 0777) != 0) return WU_NOTAVAIL;
  }
  qev_lib *lib = new qev_lib;
  lib->libref = lr;
  lib->catalog = ct;
  lib->mode = mode;
  cat.libs.insert(lib);
  *lib_out = lib;
  return WU_OK;
}

void releaseMember(qev_member *m) {
  if (m->fp) std::fclose(m->fp);
  if (!m->tempPath.empty()) ::unlink(m->tempPath.c_str());
  m->lib->members.erase(m);
  cat.members.erase(m);
  delete m;
}

void releaseLib(qev_lib *lib) {
  while (!lib->members.empty()) {
    qev_member *m = *lib->members.begin();
    if (writing(m))
      logLine(QEV_LOG_WARNING, "Library " + lib->libref + "." + lib->catalog +
                                   " closed with a member open for writing: the member is not written.");
    releaseMember(m);
  }
  cat.libs.erase(lib);
  delete lib;
}

bool copyFile(FILE *from, FILE *to) {
  char buf[8192];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, from)) > 0)
    if (std::fwrite(buf, 1, n, to) != n) return false;
  return !std::ferror(from);
}

wu_status openMember(qev_lib *lib, const std::string &entry, const std::string &type, int32_t mode,
                     qev_member **out) {
  if (mode != QEV_LIB_READ && mode != QEV_LIB_WRITE && mode != QEV_LIB_UPDATE) return WU_BADARG;
  std::string path = libDir(lib->libref) + "/" + lib->catalog + "/" + entry + "." + type;
  qev_member *m = new qev_member;
  m->lib = lib;
  m->path = path;
  m->mode = mode;
  if (mode == QEV_LIB_READ) {
    m->fp = std::fopen(path.c_str(), "rb");
    if (!m->fp) {
      delete m;
      return WU_NOTAVAIL;
    }
  } else {
    if (lib->mode == QEV_LIB_READ && !lib->profile) {
      delete m;
      return WU_READONLY;
    }
    if (isReadOnly(lib->libref)) {
      delete m;
      return WU_READONLY;
    }
    m->tempPath = path + ".~w" + std::to_string(::getpid()) + "." + std::to_string(++cat.serial);
    m->fp = std::fopen(m->tempPath.c_str(), "wb");
    if (!m->fp) {
      m->tempPath.clear();
      delete m;
      return WU_NOTAVAIL;
    }
    if (mode == QEV_LIB_UPDATE) {
      FILE *old = std::fopen(path.c_str(), "rb");
      if (old) {
        m->failed = !copyFile(old, m->fp);
        std::fclose(old);
      }
    }
  }
  lib->members.insert(m);
  cat.members.insert(m);
  *out = m;
  return WU_OK;
}

// The bytes of the member after the read position, or -1.
long remaining(qev_member *m) {
  struct stat st;
  long at = std::ftell(m->fp);
  if (at < 0 || ::fstat(::fileno(m->fp), &st) != 0 || st.st_size < at) return -1;
  return static_cast<long>(st.st_size - at);
}

// Reads one record's head; false at the end of the member.  A head cut
// short, a negative length or a length past the member's end is damage: a
// record cut off is never read (or passed over) as a whole or truncated one.
wu_status readHead(qev_member *m, RecordHead *head) {
  size_t n = std::fread(head, 1, sizeof *head, m->fp);
  if (n == 0 && std::feof(m->fp)) return kEndOfMember;
  if (n != sizeof *head || head->length < 0 || head->length > remaining(m)) {
    logLine(QEV_LOG_ERROR, "Member " + m->path + " is damaged.");
    return WU_NOTAVAIL;
  }
  return WU_OK;
}

wu_status skipRecord(qev_member *m, const RecordHead &head) {
  return std::fseek(m->fp, head.length, SEEK_CUR) == 0 ? WU_OK : WU_NOTAVAIL;
}

// Reads the next record into buf (cut to size); gives its full length and type.
wu_status readRecord(qev_member *m, void *buf, int32_t size, int32_t *length, int32_t *type) {
  RecordHead head;
  wu_status st = readHead(m, &head);
  if (st != WU_OK) return st;
  *length = head.length;
  *type = head.type;
  int32_t take = head.length < size ? head.length : size;
  if (take > 0 && std::fread(buf, 1, static_cast<size_t>(take), m->fp) != static_cast<size_t>(take))
    return WU_NOTAVAIL;
  if (take < head.length) {
    if (std::fseek(m->fp, head.length - take, SEEK_CUR) != 0) return WU_NOTAVAIL;
    return WU_TRUNCATED;
  }
  return WU_OK;
}

wu_status writeRecord(qev_member *m, const void *buf, int32_t length, int32_t type) {
  RecordHead head = {length, type};
  if (std::fwrite(&head, sizeof head, 1, m->fp) != 1 ||
      (length > 0 && std::fwrite(buf, 1, static_cast<size_t>(length), m->fp) !=
                         static_cast<size_t>(length))) {
    m->failed = true;
    return WU_NOTAVAIL;
  }
  return WU_OK;
}

wu_status closeMember(qev_member *m, bool abandon) {
  wu_status st = WU_OK;
  if (writing(m)) {
    bool ok = !m->failed && std::fflush(m->fp) == 0 && ::fsync(::fileno(m->fp)) == 0;
    ok = (std::fclose(m->fp) == 0) && ok;
    m->fp = nullptr;
    if (!abandon) {
      if (ok && std::rename(m->tempPath.c_str(), m->path.c_str()) == 0)
        m->tempPath.clear();
      else
        st = WU_NOTAVAIL;
    }
  }
  releaseMember(m);
  return st;
}

bool toolboxLocation(const char *entry, std::string *e) {
  bool ok;
  *e = name34(entry, &ok);
  return ok && safeName(*e);
}

void closeBoth(qev_lib *lib, qev_member *m) {
  if (m) closeMember(m, true);
  if (lib && !lib->profile) releaseLib(lib);
}

}  // namespace

void catStart(const std::string &dataDir) {
  cat = CatState();
  cat.root = dataDir + "/catalogs";
  ::mkdir(cat.root.c_str(), 0777);
  ::mkdir(libDir(kProfileLibref).c_str(), 0777);
  ::mkdir((libDir(kProfileLibref) + "/" + kProfileCatalog).c_str(), 0777);
  cat.profile = new qev_lib;
  cat.profile->libref = kProfileLibref;
  cat.profile->catalog = kProfileCatalog;
  cat.profile->mode = QEV_LIB_UPDATE;
  cat.profile->profile = true;
  cat.libs.insert(cat.profile);
}

void catStop() {
  while (!cat.libs.empty()) releaseLib(*cat.libs.begin());
  cat = CatState();
}

wu_status k_ylprofl(qev_lib **lib_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!lib_out) return WU_BADARG;
  *lib_out = cat.profile;
  return cat.profile ? WU_OK : WU_NOTAVAIL;
}

wu_status k_ylopen(qev_lib **lib_out, int32_t mode, const char *libref, const char *catalog) {
  if (!running()) return WU_NOTAVAIL;
  if (!lib_out) return WU_BADARG;
  *lib_out = nullptr;
  std::string lr, ct;
  wu_status st = parseLibrary(libref, catalog, &lr, &ct);
  return st != WU_OK ? st : openLib(lib_out, mode, lr, ct);
}

wu_status k_ylclose(qev_lib *lib) {
  if (!running()) return WU_NOTAVAIL;
  if (!lookupLib(lib)) return WU_BADARG;
  if (!lib->profile) releaseLib(lib);
  return WU_OK;
}

wu_status k_ylinfo(qev_lib *lib, int32_t item, void *out, int32_t size) {
  if (!running()) return WU_NOTAVAIL;
  if (!lookupLib(lib) || !out) return WU_BADARG;
  char *o = static_cast<char *>(out);
  if (item == QEV_LINFO_LIBREF && size >= QEV_LIBREF_LEN) {
    padName(o, QEV_LIBREF_LEN, lib->libref);
  } else if (item == QEV_LINFO_CATALOG && size >= QEV_NAME34_LEN) {
    int16_t len = static_cast<int16_t>(lib->catalog.size());
    std::memcpy(o, &len, sizeof len);
    padName(o + 2, QEV_NAME34_LEN - 2, lib->catalog);
  } else {
    return WU_BADARG;
  }
  return WU_OK;
}

wu_status k_ylobjfd(qev_lib *lib, const char *entry, const char *member_type) {
  if (!running()) return WU_NOTAVAIL;
  std::string e;
  if (!lookupLib(lib) || !member_type || !toolboxLocation(entry, &e)) return WU_BADARG;
  std::string type = hostName(member_type, QEV_MEMTYPE_LEN);
  if (!safeName(type)) return WU_BADARG;
  return exists(libDir(lib->libref) + "/" + lib->catalog + "/" + e + "." + type, false) ? WU_OK
                                                                                        : WU_NOTAVAIL;
}

wu_status k_ylmopen(qev_lib *lib, const char *entry, const char *member_type, int32_t mode,
                    qev_member **member_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!member_out) return WU_BADARG;
  *member_out = nullptr;
  std::string e;
  if (!lookupLib(lib) || !member_type || !toolboxLocation(entry, &e)) return WU_BADARG;
  std::string type = hostName(member_type, QEV_MEMTYPE_LEN);
  if (!safeName(type)) return WU_BADARG;
  return openMember(lib, e, type, mode, member_out);
}

wu_status k_ylmread(qev_member *member, void *buf, int32_t size, int32_t *length_out,
                    int32_t skip) {
  if (!running()) return WU_NOTAVAIL;
  qev_member *m = lookupMember(member);
  if (length_out) *length_out = 0;
  if (!m || m->mode != QEV_LIB_READ || size < 0 || skip < 0) return WU_BADARG;
  if (skip > 0) {
    for (int32_t i = 0; i < skip; ++i) {
      RecordHead head;
      wu_status st = readHead(m, &head);
      if (st == WU_OK) st = skipRecord(m, head);
      if (st != WU_OK) return st;
    }
    return WU_OK;
  }
  if (!buf && size > 0) return WU_BADARG;
  int32_t length = 0, type = 0;
  wu_status st = readRecord(m, buf, size, &length, &type);
  if (length_out && (st == WU_OK || st == WU_TRUNCATED)) *length_out = length;
  return st;
}

wu_status k_ylmwrit(qev_member *member, const void *buf, int32_t length, int32_t record_type) {
  if (!running()) return WU_NOTAVAIL;
  qev_member *m = lookupMember(member);
  if (!m || !writing(m) || length < 0 || (!buf && length > 0)) return WU_BADARG;
  return writeRecord(m, buf, length, record_type);
}

wu_status k_ylmclos(qev_member *member, int32_t abandon) {
  if (!running()) return WU_NOTAVAIL;
  qev_member *m = lookupMember(member);
  if (!m) return WU_BADARG;
  return closeMember(m, abandon != 0);
}

namespace {

// Opens the tool box member of an entry (library first) for the header
// services; on failure nothing stays open.
wu_status openToolbox(const char *libref, const char *catalog, const char *entry, int32_t libMode,
                      int32_t memberMode, qev_lib **lib_out, qev_member **member_out) {
  if (!lib_out || !member_out) return WU_BADARG;
  *lib_out = nullptr;
  *member_out = nullptr;
  std::string lr, ct, e;
  wu_status st = parseLibrary(libref, catalog, &lr, &ct);
  if (st != WU_OK || !toolboxLocation(entry, &e)) return WU_BADARG;
  st = openLib(lib_out, libMode, lr, ct);
  if (st == WU_OK)
    st = openMember(*lib_out, e, hostName(QEV_TOOLBOX_MEMTYPE, QEV_MEMTYPE_LEN), memberMode,
                    member_out);
  if (st != WU_OK && *lib_out && !(*lib_out)->profile) releaseLib(*lib_out);
  if (st != WU_OK) *lib_out = nullptr;
  return st;
}

// Gives up an entry opened by openToolbox.
void closeToolbox(qev_lib **lib_out, qev_member **member_out) {
  closeBoth(*lib_out, *member_out);
  *lib_out = nullptr;
  *member_out = nullptr;
}

}  // namespace

wu_status k_yucrhdr(const char *libref, const char *catalog, const char *entry, qev_lib **lib_out,
                    qev_member **member_out, void *header276) {
  if (!running()) return WU_NOTAVAIL;
  if (!header276) return WU_BADARG;
  wu_status st = openToolbox(libref, catalog, entry, QEV_LIB_READ, QEV_LIB_READ, lib_out, member_out);
  if (st != WU_OK) return st;
  int32_t length = 0, type = 0;
  st = readRecord(*member_out, header276, QEV_TOOLBOX_HEADER_LEN, &length, &type);
  if (st == WU_OK && length == QEV_TOOLBOX_HEADER_LEN && type == QEV_REC_TOOLBOX_HEADER)
    return WU_OK;
  closeToolbox(lib_out, member_out);
  return (st == WU_OK || WU_IS_EOM(st) || st == WU_TRUNCATED) ? WU_NOTAVAIL : st;
}

wu_status k_yucrtol(qev_member *member, void *tool673) {
  if (!running()) return WU_NOTAVAIL;
  qev_member *m = lookupMember(member);
  if (!m || m->mode != QEV_LIB_READ || !tool673) return WU_BADARG;
  int32_t length = 0, type = 0;
  wu_status st = readRecord(m, tool673, QEV_TOOLBOX_TOOL_LEN, &length, &type);
  if (st == WU_OK && (length != QEV_TOOLBOX_TOOL_LEN || type != QEV_REC_TOOLBOX_TOOL))
    return WU_NOTAVAIL;
  return st == WU_TRUNCATED ? WU_NOTAVAIL : st;
}

wu_status k_yucwhdr(const char *libref, const char *catalog, const char *entry, qev_lib **lib_out,
                    qev_member **member_out, const void *header276) {
  if (!running()) return WU_NOTAVAIL;
  if (!header276) return WU_BADARG;
  wu_status st =
      openToolbox(libref, catalog, entry, QEV_LIB_UPDATE, QEV_LIB_WRITE, lib_out, member_out);
  if (st == WU_OK)
    st = writeRecord(*member_out, header276, QEV_TOOLBOX_HEADER_LEN, QEV_REC_TOOLBOX_HEADER);
  if (st != WU_OK && *member_out) closeToolbox(lib_out, member_out);
  return st;
}

wu_status k_yucwtol(qev_member *member, const void *tool673) {
  if (!running()) return WU_NOTAVAIL;
  qev_member *m = lookupMember(member);
  if (!m || !writing(m) || !tool673) return WU_BADARG;
  return writeRecord(m, tool673, QEV_TOOLBOX_TOOL_LEN, QEV_REC_TOOLBOX_TOOL);
}

int32_t k_yucc2ic(int32_t command_id) {
  auto it = cat.commandIcons.find(command_id);
  return (running() && it != cat.commandIcons.end()) ? it->second : 0;
}

}  // namespace detail

using namespace detail;

std::string catalogRoot() { return cat.root; }

void defineLibrary(const std::string &libref, bool readOnly) {
  std::string lr = hostName(libref.data(), static_cast<int32_t>(libref.size()));
  if (!safeName(lr) || cat.root.empty()) return;
  ::mkdir(libDir(lr).c_str(), 0777);
  setLibraryReadOnly(lr, readOnly);
}

void setLibraryReadOnly(const std::string &libref, bool readOnly) {
  std::string lr = hostName(libref.data(), static_cast<int32_t>(libref.size()));
  if (readOnly)
    cat.readOnly.insert(lr);
  else
    cat.readOnly.erase(lr);
}

void setCommandIcon(int32_t commandId, int32_t icon) { cat.commandIcons[commandId] = icon; }

}  // namespace qevhost
