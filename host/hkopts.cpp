// Host options: character, boolean and numeric options by name, the host
// bits, the global words, the shut-down state and the colour parameters.
// Names are compared without case and trailing blanks.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "hkint.h"
#include "qevhost.h"

namespace qevhost {
namespace detail {
namespace {

struct OptState {
  std::map<std::string, std::string> chars;
  std::map<std::string, bool> bools;
  std::map<std::string, int32_t> nums;
  std::map<int32_t, bool> hostBits;
  std::map<int32_t, int32_t> globals;
  std::map<int32_t, int32_t> colours;
  int32_t shutdownState = 0;
};
OptState os;

void defaults() {
  os = OptState();
  os.nums["SOLUTIONS"] = 0;
  os.nums["UNIVERSALPRINT"] = 0;
  os.bools["AWSMENUMERGE"] = false;
  os.bools["HOSTPRINT"] = false;
  os.bools["PRINTGDLG"] = true;
  os.bools["PRINTUSEXDRIVER"] = false;
  os.globals[2] = 0;
}

bool parseBool(const std::string &v, bool *out) {
  std::string s = hostName(v.data(), static_cast<int32_t>(v.size()));
  if (s == "ON" || s == "1" || s == "YES" || s == "TRUE") return *out = true, true;
  if (s == "OFF" || s == "0" || s == "NO" || s == "FALSE") return *out = false, true;
  return false;
}

// A whole 32-bit number (decimal, 0x hexadecimal or 0 octal); anything
// after it (a NUL byte included) or a number out of range is refused rather
// than cut to some other value.
bool parseInt(const std::string &v, int32_t *out) {
  char *end = nullptr;
  errno = 0;
  long long n = std::strtoll(v.c_str(), &end, 0);
  if (v.empty() || end != v.c_str() + v.size() || errno == ERANGE || n < INT32_MIN || n > INT32_MAX)
    return false;
  *out = static_cast<int32_t>(n);
  return true;
}

bool applyLine(const std::string &line) {
  std::istringstream in(line);
  std::string kind, name, value;
  in >> kind;
  if (kind.empty() || kind[0] == '#') return true;
  in >> name;
  if (name.empty()) return false;
  std::getline(in, value);
  size_t first = value.find_first_not_of(" \t");
  value.erase(0, first == std::string::npos ? value.size() : first);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
    value.pop_back();
  std::string key = hostName(name.data(), static_cast<int32_t>(name.size()));
  bool b;
  int32_t n, idx;
  if (kind == "char") {
    os.chars[key] = value;
  } else if (kind == "bool" && parseBool(value, &b)) {
    os.bools[key] = b;
  } else if (kind == "num" && parseInt(value, &n)) {
    os.nums[key] = n;
  } else if (kind == "hostbit" && parseInt(name, &idx) && parseBool(value, &b)) {
    os.hostBits[idx] = b;
  } else if (kind == "global" && parseInt(name, &idx) && parseInt(value, &n)) {
    os.globals[idx] = n;
  } else if (kind == "shutdown" && parseInt(name, &n)) {
    os.shutdownState = n;
  } else if (kind == "colour" && parseInt(name, &idx) && parseInt(value, &n)) {
    os.colours[idx] = n;
  } else {
    return false;
  }
  return true;
}

bool nameArg(const char *name, int32_t length, std::string *key) {
  if (!name || length <= 0) return false;
  *key = hostName(name, length);
  return !key->empty();
}

}  // namespace

void optStart(const std::string &dataDir) {
  defaults();
  std::ifstream probe(dataDir + "/options");
  if (probe) loadOptions(dataDir + "/options");
}

void optStop() { os = OptState(); }

wu_status k_yyrngef(const char *name, int32_t length, int32_t *value) {
  if (!running()) return WU_NOTAVAIL;
  std::string key;
  if (!nameArg(name, length, &key) || !value) return WU_BADARG;
  auto it = os.nums.find(key);
  *value = 0;
  if (it == os.nums.end()) return WU_NOTAVAIL;
  *value = it->second;
  return WU_OK;
}

wu_status k_yugcopt(const char *name, int32_t length, char *buf, int32_t size,
                    int32_t *out_length) {
  if (!running()) return WU_NOTAVAIL;
  std::string key;
  if (!nameArg(name, length, &key) || !buf || size < 0 || !out_length) return WU_BADARG;
  *out_length = 0;
  auto it = os.chars.find(key);
  if (it == os.chars.end()) return WU_NOTAVAIL;
  const std::string &v = it->second;
  int32_t n = static_cast<int32_t>(v.size());
  *out_length = n;
  if (n > size) {
    std::memcpy(buf, v.data(), static_cast<size_t>(size));
    return WU_TRUNCATED;
  }
  std::memcpy(buf, v.data(), static_cast<size_t>(n));
  if (n < size) buf[n] = '\0';
  return WU_OK;
}

wu_status k_yugcset(const char *name, int32_t length, const char *value, int32_t value_length) {
  if (!running()) return WU_NOTAVAIL;
  std::string key;
  if (!nameArg(name, length, &key) || value_length < 0 || (!value && value_length > 0))
    return WU_BADARG;
  os.chars[key].assign(value ? value : "", static_cast<size_t>(value_length));
  return WU_OK;
}

wu_status k_yugbopt(const char *name, int32_t length, int32_t *value) {
  if (!running()) return WU_NOTAVAIL;
  std::string key;
  if (!nameArg(name, length, &key) || !value) return WU_BADARG;
  auto it = os.bools.find(key);
  *value = 0;
  if (it == os.bools.end()) return WU_NOTAVAIL;
  *value = it->second ? 1 : 0;
  return WU_OK;
}

wu_status k_yugbset(const char *name, int32_t length, int32_t value) {
  if (!running()) return WU_NOTAVAIL;
  std::string key;
  if (!nameArg(name, length, &key)) return WU_BADARG;
  os.bools[key] = value != 0;
  return WU_OK;
}

int32_t k_ywcgbit(int32_t bit) {
  auto it = os.hostBits.find(bit);
  return (running() && it != os.hostBits.end() && it->second) ? 1 : 0;
}

int32_t k_yugwred(int32_t index) {
  auto it = os.globals.find(index);
  return (running() && it != os.globals.end()) ? it->second : 0;
}

wu_status k_yugwset(int32_t index, int32_t value) {
  if (!running()) return WU_NOTAVAIL;
  if (index < 0) return WU_BADARG;
  os.globals[index] = value;
  return WU_OK;
}

int32_t k_xyttsd(void) { return running() ? os.shutdownState : 0; }

wu_status k_xucpp(int32_t index, int32_t *rgb_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!rgb_out) return WU_BADARG;
  auto it = os.colours.find(index);
  if (it == os.colours.end()) return WU_NOTAVAIL;
  *rgb_out = it->second;
  return WU_OK;
}

}  // namespace detail

using namespace detail;

bool loadOptions(const std::string &path) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  int lineNo = 0;
  bool ok = true;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!applyLine(line)) {
      logLine(QEV_LOG_WARNING, path + ":" + std::to_string(lineNo) + ": option line not understood.");
      ok = false;
    }
  }
  return ok;
}

void setCharOption(const std::string &name, const std::string &value) {
  os.chars[hostName(name.data(), static_cast<int32_t>(name.size()))] = value;
}
void unsetCharOption(const std::string &name) {
  os.chars.erase(hostName(name.data(), static_cast<int32_t>(name.size())));
}
void setBoolOption(const std::string &name, bool value) {
  os.bools[hostName(name.data(), static_cast<int32_t>(name.size()))] = value;
}
void setNumOption(const std::string &name, int32_t value) {
  os.nums[hostName(name.data(), static_cast<int32_t>(name.size()))] = value;
}
void setHostBit(int32_t bit, bool on) { os.hostBits[bit] = on; }
void setGlobal(int32_t index, int32_t value) { os.globals[index] = value; }
void setShutdownState(int32_t state) { os.shutdownState = state; }
void setColourParameter(int32_t index, int32_t rgb) { os.colours[index] = rgb; }

}  // namespace qevhost
