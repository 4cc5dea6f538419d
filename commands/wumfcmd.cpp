// The file dialog commands (open, save, change directory) and the screen
// dump of a window to an image file.
#include <X11/Intrinsic.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "commands/wucmds.h"
#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "graphics/wugraph.h"
#include "toolbox/wutbox.h"
#include "qev/flags.h"
#include "qev/zimg.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

const int32_t kFilterMax = 25;          // patterns of an open or save filter
const int32_t kFilterScan = 200;        // characters of a filter text scanned
const int32_t kDefaultMax = 50;         // default filters
const int32_t kDefaultText = 200;       // bytes of one default filter
const int32_t kCommandMax = 1024;       // a queued open or save command
const int32_t kCwdMax = 512;
const int32_t kPathMax = 199;           // screen dump path
const int32_t kNoGeometry = 0;

enum {
  kMsgOpenSyntax = 35, kMsgSaveSyntax = 36,
  kKey37 = 37, kKey38 = 38, kKey39 = 39, kKey40 = 40, kKey41 = 41, kKey42 = 42, kKey43 = 43,
  kKey44 = 44, kKey45 = 45, kSaveTitle = 47, kOpenTitle = 48, kCdirTitle = 49,
  kSavePrefix = 55, kOpenPrefix = 56, kAppendWord = 57,
  kDefaultFirst = 58, kDefaultFirstKindM6 = 146, kPairsFirst = 68,
  kOpenRefused = 134, kSaveRefused = 135,
};
const int32_t kMsgEndMarker = 293;      // set 526
enum { kDumpClipped = 355, kDumpNothing = 356, kDumpArgs = 357, kDumpFailed = 358, kDumpDone = 359,
       kDumpDepth = 360 };

// The filter lists handed to the file dialog: {count, {length, pointer}...}.
struct Pattern {
  int32_t length;
  const char *text;
};
template <int N>
struct FilterList {
  int32_t count;
  Pattern patterns[N];
};
FilterList<kFilterMax> g_filters;        // open and save
char g_filter_text[kFilterScan + 1];
FilterList<kDefaultMax> g_defaults;      // default filters
char g_block[kDefaultMax][kDefaultText];

// Runs the file selection dialog with a filter list of the form above: the
// one place that hands such a list to the dialog.
wu_status Select(wu_window *w, const char *title, wu_fsel *req, const char *initial_dir,
                 const void *filters) {
  // Both lists start with the count and hold {length, pointer} pairs; the
  // dialog takes at most WU_FSEL_FILTERS_MAX of them.
  wu_fsel_filters list{};
  if (filters != nullptr) {
    const auto *given = static_cast<const FilterList<1> *>(filters);
    const Pattern *patterns = given->patterns;  // as long as the list's own count
    list.count = std::clamp<int32_t>(given->count, 0, WU_FSEL_FILTERS_MAX);
    for (int32_t i = 0; i < list.count; ++i) {
      list.patterns[i].length = patterns[i].length;
      list.patterns[i].text = patterns[i].text;
    }
  }
  return wumfsel(w, title, req, nullptr, initial_dir, filters != nullptr ? &list : nullptr);
}

wu_window *Newest() {
  wu_state *s = wu_module();
  return s ? s->newest : nullptr;
}

void Class1(int32_t number) { yudsmsg(Newest(), 0, 1, WU_MSG_CMD, number); }

bool Equals(const qev_token *t) { return t && t->type == QEV_TOK_SPECIAL && t->subtype == 15; }

// Kinds that refuse keyword 43 of the open and save commands.
bool RefusedKind(int32_t k, bool save) {
  static const int32_t kRefused[] = {-5555, 1, 6, 7, 8, 9, 11, 12, 13, 14, 18, 23, 24, 25, 26, 27, 31, 32,
                                     33, 34, 37, 39, 50, 54, 55, 56, 58, 59, 62, 64, 66, 68, 69, 70, 72,
                                     80, 81, 83, 85, 86};
  static const int32_t kOpenOnly[] = {3, 4, 109, 110, 112, 113, 114, 115, 116, 118, 120, 121, 122};
  for (int32_t r : kRefused)
    if (k == r) return true;
  if (!save)
    for (int32_t r : kOpenOnly)
      if (k == r) return true;
  return false;
}
bool ImportKind(int32_t k) { return k == -2 || (k >= 46 && k <= 49) || k == 73; }
bool SilentKind(int32_t k, bool save) {
  return k == 5 || k == 10 || k == 67 || k == 501 || (save && (k == 3 || k == 4));
}

// Texts of set 524 read for one command and released with it.
struct Texts {
  char *t[16] = {};
  int32_t n = 0;
  char *Get(int32_t number) { return t[n++] = wuxgmft(WU_MSG_CMD, number); }
  ~Texts() {
    for (int32_t i = 0; i < n; ++i) wumfree(t[i]);
  }
};

// "'" inside the quoted path of a queued command is doubled.
bool QuotePath(const char *path, std::string *out) {
  for (const char *p = path; *p; ++p) {
    if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7f) return false;
    *out += *p;
    if (*p == '\'') *out += '\'';
  }
  return true;
}

void FileCommand(wu_window *w, bool save) {
  Texts tx;
  const int32_t syntax = save ? kMsgSaveSyntax : kMsgOpenSyntax;
  char *k37 = tx.Get(kKey37);
  char *k40 = tx.Get(kKey40);
  char *k42 = tx.Get(kKey42);
  char *k43 = tx.Get(kKey43);
  char *k38 = save ? nullptr : tx.Get(kKey38);
  char *k39 = save ? nullptr : tx.Get(kKey39);
  char *k41 = save ? nullptr : tx.Get(kKey41);
  char *k44 = save ? tx.Get(kKey44) : nullptr;
  char *k45 = save ? tx.Get(kKey45) : nullptr;
  char *title = tx.Get(save ? kSaveTitle : kOpenTitle);
  char *prefix = tx.Get(save ? kSavePrefix : kOpenPrefix);
  char *append = save ? tx.Get(kAppendWord) : nullptr;
  const bool missing = !k37 || !k40 || !k42 || !k43 || !title || !prefix ||
                       (save ? (!k44 || !k45 || !append) : (!k38 || !k39 || !k41));
  if (missing) {
    Class1(syntax);
    xncdrcm();
    return;
  }
  bool send38 = false, other_dialog = false, filter = false;
  for (const qev_token *t = xncgtok(); t && !wumtend(t); t = xncnxcm()) {
    wumtupc(t);
    if (wumtkey(t, k37) || wumtkey(t, k42) || (save && wumtkey(t, k45))) continue;
    if (!save && wumtkey(t, k38)) { send38 = true; continue; }
    if (!save && wumtkey(t, k39)) { send38 = false; continue; }
    if (wumtkey(t, save ? k44 : k41)) { other_dialog = true; continue; }
    if (wumtkey(t, k40)) {
      const qev_token *eq = xncnxcm();
      const qev_token *f = Equals(eq) ? xncnxcm() : nullptr;
      if (!f || wumtend(f) || !f->text) {
        Class1(syntax);
        xncdrcm();
        return;
      }
      const size_t n = std::min<size_t>(size_t(std::max<int16_t>(f->length, 0)), kFilterScan);
      std::memcpy(g_filter_text, f->text, n);
      g_filter_text[n] = '\0';
      filter = true;
      continue;
    }
    if (wumtkey(t, k43)) {
      const int32_t k = w->kind;
      if (SilentKind(k, save)) continue;
      if (ImportKind(k)) { other_dialog = true; continue; }
      const int32_t refused = save ? kSaveRefused : kOpenRefused;
      if (RefusedKind(k, save)) {
        if (w->module_flags & WU_DECOR_MESSAGELINE) yudsmsg(Newest(), 0, 1, WU_MSG_CMD, refused);
        else yuhmsg(WU_MSG_CMD, refused);
        xncdrcm();
        return;
      }
      yudsmsg(Newest(), 0, 1, WU_MSG_CMD, refused);
      if (save) {
        xncdrcm();
        return;
      }
      continue;
    }
    Class1(syntax);
    xncdrcm();
    return;
  }
  xncdrcm();
  if (other_dialog) {
    XtCallbackProc fn = save ? wuwekfd : wuwikfd;
    if (fn) fn(nullptr, w, nullptr);
    return;
  }
  if (filter) GrabFilters(&g_filters, g_filter_text);
  wumfswl(save ? 5 : 6);
  wu_fsel req = {};
  req.mode = WU_FSEL_FILE;
  req.keep = filter ? WU_FSEL_KEEP_FILTER : 0;
  const void *filters = filter ? static_cast<const void *>(&g_filters) : wumdflt(w->kind);
  wu_reg_hold hold = wu_reg_take(w);
  wu_status st = Select(w, title, &req, nullptr, filters);
  if (!wu_reg_alive(hold) || st != WU_OK || req.length <= 0) return;
  req.path[std::min(req.length, int32_t(WU_FSEL_PATH_MAX - 1))] = '\0';
  std::string quoted;
  if (!QuotePath(req.path, &quoted)) {
    Class1(syntax);
    return;
  }
  std::string command = std::string(prefix) + " '" + quoted + "'";
  if (save) command += std::string(" ") + ((req.write_mode & WU_FSEL_APPEND) ? append : k37);
  if (command.size() > size_t(kCommandMax)) {
    Class1(syntax);
    return;
  }
  wuxqcmd(w, command.c_str(), int32_t(command.size()), 1, 1, 0);
  if (!save && send38 && w->kind == 5) wuxqcmd(w, k38, -1, 1, 1, 1);
}

// ---- screen dump --------------------------------------------------------------

struct DumpScope {
  bool busy = false;
  XImage *image = nullptr;
  wu_image portable = {};
  bool converted = false;
  ~DumpScope() {
    if (converted) wugfrdi(&portable);
    if (image) XDestroyImage(image);
    if (wu_x_ok()) {
      wutsync(1, 2);
      XSynchronize(devb->display, False);
    }
    if (busy) wutsbsy(0);
  }
};

void Convert(const std::string &path, const std::string &format, wu_image *img) {
  qev_image *zimg = nullptr;
  void *vector = nullptr;
  if (wiloadv(QEV_ZIMG_NAME, QEV_ZIMG_LOAD_FLAGS, &zimg) != WU_OK || !zimg ||
      viidb2g(zimg, &vector) != WU_OK || !vector) {
    yudsmsg(Newest(), 0, 2, WU_MSG_TOOL, kDumpFailed);
    return;
  }
  auto *v = static_cast<qev_zimg_vector *>(vector);
  qev_zimg *c = nullptr;
  wu_status st = v->create ? v->create(&c) : WU_NOTAVAIL;
  if (st != WU_OK || !c || !c->methods) {
    if (st != WU_OK) yprrlog(0, st);
    yudsmsg(Newest(), 0, 2, WU_MSG_TOOL, kDumpFailed);
    return;
  }
  c->flags |= WU_CONVERTER_FLAG;
  bool ok = true;
  st = c->methods->open(c, c->params);
  if (st != WU_OK) { yprrlog(0, st); ok = false; }
  if (ok) {
    void *args[1] = {img};
    st = c->methods->set(c, QEV_ZIMG_SET_IMAGE, 1, args);
    if (st != WU_OK) { yprrlog(0, st); ok = false; }
  }
  if (ok) {
    void *args[2] = {const_cast<char *>(path.c_str()), const_cast<char *>(format.c_str())};
    st = c->methods->set(c, QEV_ZIMG_SET_OUTPUT, 2, args);
    if (st != WU_OK) { yprrlog(0, st); ok = false; }
  }
  st = c->methods->release(c);
  if (st != WU_OK) yprrlog(0, st);
  yudsmsg(Newest(), 0, 2, WU_MSG_TOOL, ok ? kDumpDone : kDumpFailed);
}

void BadArgs() {
  xncdrcm();
  yudsmsg(Newest(), 0, 2, WU_MSG_TOOL, kDumpArgs);
}

}  // namespace

extern "C" {

void HandleDLGOPEN(wu_window *w) { FileCommand(w, false); }
void HandleDLGSAVE(wu_window *w) { FileCommand(w, true); }

void HandleDLGCDIR(wu_window *w) {
  xncdrcm();
  char *title = wuxgmft(WU_MSG_CMD, kCdirTitle);
  if (!title) return;
  char cwd[kCwdMax + 1];
  const char *initial = getcwd(cwd, sizeof cwd) ? cwd : nullptr;   // longer: no initial directory
  wu_fsel req = {};
  req.mode = WU_FSEL_DIRECTORY;
  req.keep = WU_FSEL_RESTORE_CWD;
  wu_status st = Select(w, title, &req, initial, wumdflt(5));
  wumfree(title);
  if (st != WU_OK || req.length <= 0) return;
  req.path[std::min(req.length, int32_t(WU_FSEL_PATH_MAX - 1))] = '\0';
  if (chdir(req.path) != 0)
    wutlogf(QEV_LOG_WARNING, "The working directory could not be changed: %s.", std::strerror(errno));
}

int32_t GrabFilters(void *parent, const char *text) {
  auto *list = static_cast<FilterList<kFilterMax> *>(parent);
  list->count = 0;
  if (!text) return 0;
  const int32_t n = int32_t(strnlen(text, kFilterScan));
  int32_t i = 0;
  while (i < n && list->count < kFilterMax) {
    while (i < n && text[i] == ' ') ++i;
    const int32_t start = i;
    while (i < n && text[i] != ' ') ++i;
    if (i > start) list->patterns[list->count++] = Pattern{i - start, text + start};
  }
  return list->count;
}

void *wumdflt(int32_t kind) {
  int32_t length = 0;
  const char *m = wuxrmsg(WU_MSG_TOOL, kMsgEndMarker, &length);
  const std::string marker = m ? std::string(m, size_t(length)) : std::string("UNUSED");
  g_defaults.count = 0;
  for (int32_t number = kind == -6 ? kDefaultFirstKindM6 : kDefaultFirst; g_defaults.count < kDefaultMax;
       ++number) {
    const char *t = wuxrmsg(WU_MSG_CMD, number, &length);
    if (!t || std::string(t, size_t(length)) == marker) break;
    length = std::min(length, kDefaultText - 1);
    char *slot = g_block[g_defaults.count];
    std::memcpy(slot, t, size_t(length));
    slot[length] = '\0';
    g_defaults.patterns[g_defaults.count++] = Pattern{length, slot};
  }
  return &g_defaults;
}

char *wumhflt(const char *pattern) {
  if (!pattern) return nullptr;
  int32_t length = 0;
  const char *m = wuxrmsg(WU_MSG_TOOL, kMsgEndMarker, &length);
  const std::string marker = m ? std::string(m, size_t(length)) : std::string("UNUSED");
  const int32_t pl = wzstlen(pattern);
  for (int32_t number = kPairsFirst;; number += 2) {
    const char *t = wuxrmsg(WU_MSG_CMD, number, &length);
    if (!t || std::string(t, size_t(length)) == marker) return nullptr;
    if (wzsteqn(t, length, pattern, pl)) return wuxgmft(WU_MSG_CMD, number + 1);
  }
}

void HandleDLGSCRDUMP(wu_window *w) {
  if (!wu_x_ok() || !w->outer || !XtIsRealized(w->outer)) {
    xncdrcm();
    return;
  }
  Display *dpy = devb->display;
  DumpScope scope;
  XSynchronize(dpy, True);
  wutsbsy(1);
  scope.busy = true;
  Widget shell = w->outer;
  while (shell && !XtIsShell(shell)) shell = XtParent(shell);
  XMapRaised(dpy, XtWindow(shell));
  Colormap cmap = devb->colormap;
  XtVaGetValues(shell, XtNcolormap, &cmap, nullptr);
  wutsync(1, 2);
  XFlush(dpy);
  // The frame to capture: the ancestor whose parent is the root.
  Window win = XtWindow(w->outer), root = 0, parent = 0, *kids = nullptr;
  unsigned nkids = 0;
  for (;;) {
    if (!XQueryTree(dpy, win, &root, &parent, &kids, &nkids)) break;
    if (kids) XFree(kids);
    if (parent == root || parent == 0) break;
    win = parent;
  }
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, win, &a)) return;
  if (a.depth != devb->depth) {
    ypmlog(WU_MSG_TOOL, kDumpDepth, 0, nullptr);
    win = XtWindow(shell);
    if (!XGetWindowAttributes(dpy, win, &a)) return;
  }
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(dpy, win, a.root, 0, 0, &rx, &ry, &child);
  int x = 0, y = 0, width = a.width, height = a.height;
  const int sw = DisplayWidth(dpy, devb->screen), sh = DisplayHeight(dpy, devb->screen);
  bool clipped = false;
  if (rx < 0) { x = -rx; width += rx; clipped = true; }
  if (ry < 0) { y = -ry; height += ry; clipped = true; }
  if (rx + a.width > sw) { width -= rx + a.width - sw; clipped = true; }
  if (ry + a.height > sh) { height -= ry + a.height - sh; clipped = true; }
  if (width <= kNoGeometry || height <= kNoGeometry) {
    ypmlog(WU_MSG_TOOL, kDumpNothing, 0, nullptr);
    xncdrcm();
    return;
  }
  if (clipped) ypmlog(WU_MSG_TOOL, kDumpClipped, 0, nullptr);
  scope.image = XGetImage(dpy, win, x, y, unsigned(width), unsigned(height), AllPlanes,
                          devb->depth == 1 ? XYPixmap : ZPixmap);
  if (!scope.image) {
    xncdrcm();
    yudsmsg(Newest(), 0, 2, WU_MSG_TOOL, kDumpFailed);
    return;
  }
  std::string path, format = "format=gif";
  const qev_token *t = xncgtok();
  if (!t || wumtend(t)) {
    char chosen[WU_FSEL_PATH_MAX] = {}, filter[256] = {};
    xncdrcm();
    if (!wumpexp || wumpexp(w, "Export...", chosen, int32_t(sizeof chosen), filter, int32_t(sizeof filter)) != WU_OK)
      return;
    path = chosen;
    const char *type = wumgtyp ? wumgtyp(filter) : nullptr;
    format = std::string("format=") + (type ? type : "gif");
  } else {
    if (!t->text || t->length <= 0 || t->length > kPathMax) return BadArgs();
    path.assign(t->text, size_t(t->length));
    t = xncnxcm();
    if (t && !wumtend(t)) {
      if (!t->text || t->length < 7 || wzbcup(t->text, "format=", 7) != 0) return BadArgs();
      format.assign(t->text, size_t(t->length));
      t = xncnxcm();
      if (t && !wumtend(t)) return BadArgs();
    }
    xncdrcm();
  }
  if (wutx2xu(scope.image, cmap, &scope.portable, w->task) != WU_OK) {
    yudsmsg(Newest(), 0, 2, WU_MSG_TOOL, kDumpFailed);
    return;
  }
  scope.converted = true;
  if (wzsteqn(format.data(), int32_t(format.size()), "format=xpm", 10)) {
    wu_status st = wugwcli(&scope.portable, path.c_str(), "XPM", w->task);
    if (st != WU_OK) yprrlog(0, st);
    yudsmsg(Newest(), 0, 2, WU_MSG_TOOL, st == WU_OK ? kDumpDone : kDumpFailed);
    return;
  }
  Convert(path, format, &scope.portable);
}

wu_status wumfsfl(wu_window *w, const char *title, wu_fsel *request, const char *initial_dir,
                  const void *filters) {
  return Select(w, title, request, initial_dir, filters);
}

}  // extern "C"
