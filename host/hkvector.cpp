// The kernel vector, the global control block with its character tables,
// host start-up and shut-down, and the small text services.
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include <ftw.h>
#include <unistd.h>

#include "hkint.h"
#include "qevhost.h"

namespace qevhost {
namespace detail {
namespace {

struct VectorState {
  bool running = false;
  std::string dataDir;
  bool tempDir = false;          // dataDir was made at start: removed at stop
  pid_t tempOwner = 0;           // the process that made it
  qev_kernel kernel;
  qev_gcb gcb;
  uint8_t charClass[256];
  uint8_t xlt[QEV_XLT_TABLES][256];
};
VectorState vs;

void buildTables() {
  for (int c = 0; c < 256; ++c) {
    uint8_t cls = 0;
    if (c >= '0' && c <= '9') cls |= QEV_CC_NUMERIC;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) cls |= QEV_CC_ALPHA;
    if (c == ' ') cls |= QEV_CC_BLANK;
    vs.charClass[c] = cls;
    // 0 identity, 1 lower case, 2 upper case, 3 and 4 identity (the host's
    // code-page tables: nothing to convert on this host).
    vs.xlt[0][c] = vs.xlt[3][c] = vs.xlt[4][c] = static_cast<uint8_t>(c);
    vs.xlt[1][c] = static_cast<uint8_t>((c >= 'A' && c <= 'Z') ? c + 32 : c);
    vs.xlt[2][c] = static_cast<uint8_t>((c >= 'a' && c <= 'z') ? c - 32 : c);
  }
}

void buildVector() {
  qev_kernel &k = vs.kernel;
  std::memset(&k, 0, sizeof k);
  std::memcpy(k.eye, "QEVKERNL", 8);
  k.version = 1;
  k.slot_count = static_cast<int32_t>((sizeof(qev_kernel) - offsetof(qev_kernel, wxregtb)) /
                                      sizeof(void (*)()));
  k.wxregtb = k_wxregtb;
  k.wxdrgtb = k_wxdrgtb;
  k.wiimgfd = k_wiimgfd;
  k.wmrpc = k_wmrpc;
  k.wmrdel = k_wmrdel;
  k.wmrealc = k_wmrealc;
  k.yyrngef = k_yyrngef;
  k.wyrnget = k_yyrngef;
  k.yugcopt = k_yugcopt;
  k.yugcset = k_yugcset;
  k.yugbopt = k_yugbopt;
  k.yugbset = k_yugbset;
  k.ywcgbit = k_ywcgbit;
  k.yugwred = k_yugwred;
  k.yugwset = k_yugwset;
  k.xyttsd = k_xyttsd;
  k.xucpp = k_xucpp;
  k.wkread = k_wkread;
  k.ypmlog = k_ypmlog;
  k.xpmlog = k_ypmlog;
  k.ypslog = k_ypslog;
  k.xpslog = k_ypslog;
  k.yprrlog = k_yprrlog;
  k.ypsstr = k_ypsstr;
  k.xpmstr = k_xpmstr;
  k.yudsmsg = k_yudsmsg;
  k.yucurtk = k_yucurtk;
  k.yuevntg = k_yuevntg;
  k.yufrcev = k_yufrcev;
  k.yufrnev = k_yufrnev;
  k.wttrap = k_wttrap;
  k.wtsignl = k_wtsignl;
  k.wtstpri = k_wtstpri;
  k.wtinfo = k_wtinfo;
  k.yucttsk = k_yucttsk;
  k.yusupev = k_yusupev;
  k.yutslot = k_yutslot;
  k.wtfdwt = k_wtfdwt;
  k.yytgexe = k_yytgexe;
  k.yytngp = k_yytngp;
  k.yudmeth = k_yudmeth;
  k.zuxcrea = k_zuxcrea;
  k.zuxgmap = k_zuxgmap;
  k.yubtuid = k_yubtuid;
  k.xncgtok = k_xncgtok;
  k.xncnxcm = k_xncnxcm;
  k.xncdrcm = k_xncdrcm;
  k.ylprofl = k_ylprofl;
  k.ylopen = k_ylopen;
  k.ylclose = k_ylclose;
  k.ylinfo = k_ylinfo;
  k.ylobjfd = k_ylobjfd;
  k.ylmopen = k_ylmopen;
  k.ylmread = k_ylmread;
  k.ylmwrit = k_ylmwrit;
  k.ylmclos = k_ylmclos;
  k.yucrhdr = k_yucrhdr;
  k.yucrtol = k_yucrtol;
  k.yucwhdr = k_yucwhdr;
  k.yucwtol = k_yucwtol;
  k.yucc2ic = k_yucc2ic;
  k.yhlinf2 = k_yhlinf2;
  k.yhlcnf2 = k_yhlcnf2;
  k.hx_split_path = k_hx_split_path;
  k.wxname = k_wxname;
  k.wxasgn = k_wxasgn;
  k.wxopen = k_wxopen;
  k.wxread = k_wxread;
  k.wxwrite = k_wxwrite;
  k.wxclose = k_wxclose;
  k.yugtpan = k_yugtpan;
  k.yugtfld = k_yugtfld;
  k.yugmfld = k_yugmfld;
  k.yufrfld = k_yufrfld;
  k.yufrpan = k_yufrpan;
  k.wiloadv = k_wiloadv;
  k.viidb2g = k_viidb2g;
  k.yuimxpm = k_yuimxpm;
  k.wzrlchr = k_wzrlchr;
  k.wzstrup = k_wzstrup;
  k.yuhmsg = k_yuhmsg;
  k.yuhelpq = k_yuhelpq;
}

void buildGcb() {
  qev_gcb &g = vs.gcb;
  std::memset(&g, 0, sizeof g);
  std::memcpy(g.eye, QEV_GCB_EYE, 8);
  g.kernel = &vs.kernel;
  g.char_class = vs.charClass;
  for (int i = 0; i < QEV_XLT_TABLES; ++i) g.xlt[i] = vs.xlt[i];
  g.case_fold[0] = vs.xlt[2];
  g.case_fold[1] = vs.xlt[1];
}

int removeEntry(const char *path, const struct stat *, int, struct FTW *) {
  return ::remove(path);
}

// A process that ends without stop() (exit, or returning from main) still
// removes the folder it made; a forked child that exits leaves its
// parent's alone.
void removeTempDirAtExit() {
  if (vs.tempDir && vs.tempOwner == ::getpid() && !vs.dataDir.empty())
    ::nftw(vs.dataDir.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

bool running() { return vs.running; }

std::string hostName(const char *text, int32_t length) {
  std::string s;
  if (!text || length <= 0) return s;
  s.assign(text, static_cast<size_t>(length));
  size_t nul = s.find('\0');
  if (nul != std::string::npos) s.resize(nul);
  while (!s.empty() && s.back() == ' ') s.pop_back();
  size_t first = s.find_first_not_of(' ');
  s.erase(0, first == std::string::npos ? s.size() : first);
  for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string name34(const char field[QEV_NAME34_LEN], bool *ok) {
  *ok = false;
  if (!field) return std::string();
  int16_t len;
  std::memcpy(&len, field, sizeof len);
  const int32_t width = QEV_NAME34_LEN - 2;
  if (len < 0 || len > width) return std::string();
  std::string s = hostName(field + 2, len);
  *ok = !s.empty();
  return s;
}

void padName(char *field, size_t width, const std::string &text) {
  std::memset(field, ' ', width);
  std::memcpy(field, text.data(), text.size() < width ? text.size() : width);
}

wu_status k_wzrlchr(const char *text, int32_t length, int32_t *value_out) {
  if (!text || length < 0 || !value_out) return WU_BADARG;
  int32_t i = 0;
  while (i < length && text[i] == ' ') ++i;
  bool negative = false;
  if (i < length && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int64_t value = 0;
  int32_t digits = 0;
  for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) return WU_BADARG;
  }
  while (i < length && text[i] == ' ') ++i;
  if (digits == 0 || i != length) return WU_BADARG;
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return WU_BADARG;
  *value_out = static_cast<int32_t>(value);
  return WU_OK;
}

wu_status k_wzstrup(char *text, int32_t length) {
  if (!text || length < 0) return WU_BADARG;
  for (int32_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    text[i] = static_cast<char>(vs.xlt[2][c]);
  }
  return WU_OK;
}

}  // namespace detail

using namespace detail;

qev_gcb *start(const std::string &dataDirectory) {
  if (vs.running) stop();
  vs.dataDir = dataDirectory;
  vs.tempDir = false;
  if (vs.dataDir.empty()) {
    // Under $TMPDIR when it is set (the tests give each child process a
    // folder of its own there, removed however the child ends), else /tmp.
    const char *base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/qevhost.XXXXXX";
    if (!::mkdtemp(&tmpl[0])) return nullptr;
    vs.dataDir = tmpl;
    vs.tempDir = true;
    vs.tempOwner = ::getpid();
    static const bool atExit = std::atexit(removeTempDirAtExit) == 0;
    (void)atExit;
  }
  buildTables();
  buildVector();
  buildGcb();
  vs.running = true;
  memStart();
  optStart(vs.dataDir);
  msgStart(vs.dataDir);
  taskStart();
  cmdStart();
  catStart(vs.dataDir);
  fileStart(vs.dataDir);
  panelStart();
  imageStart();
  return &vs.gcb;
}

void stop() {
  if (!vs.running) return;
  moduleStop();
  imageStop();
  panelStop();
  fileStop();
  catStop();
  cmdStop();
  taskStop();
  msgStop();
  optStop();
  memStop();
  vs.running = false;
  vs.gcb.module_state = nullptr;
  vs.gcb.override_task = nullptr;
  if (vs.tempDir) ::nftw(vs.dataDir.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
  vs.dataDir.clear();
}

qev_gcb *gcb() { return vs.running ? &vs.gcb : nullptr; }

std::string dataDir() { return vs.dataDir; }

}  // namespace qevhost
