// Font names and double-byte font sets: reading a font's name, taking XLFD
// names apart, building wildcard patterns from them, and the X font set that
// text-showing controls add to their font list in double-byte mode.
//
// Every output has a fixed capacity (WU_FONT_*_LEN in wucontrol.h) and is
// cut, NUL-terminated, to it.
#include <X11/Xatom.h>
#include <Xm/Xm.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"

namespace {

constexpr int kXlfdDashes = 14;
constexpr int kFieldPixelSize = 7;
constexpr int kFieldSpacing = 11;
constexpr int kFieldAverageWidth = 12;
constexpr int kFieldCharset = 14;
constexpr int32_t kModeJis = 1;        // double-byte mode: JIS X 0201 and 0208
constexpr int32_t kModeLatin = 4;      // double-byte mode: Latin-1 fallback only
constexpr int32_t kXlateUpper = 2;     // host translation table: upper case

const char kAllWild[] = "-*-*-*-*-*-*-*-*-*-*-*-*-*-*";
const char kLatinBase[] = "-adobe-helvetica-medium-r-normal--12-*-*-*-*-*-*-*";
const char kLatinCharset[] = "ISO8859-1";
const char kJis0201[] = "JISX0201.1976";
const char kJis0201Charset[] = "JISX0201.1976-0";
const char kJis0208[] = "JISX0208";
const char kJis0208Default[] = "JISX0208.1983-*";
const char kMissingPattern[] = ",-*-*-*-*-*-*-*-*-*-*-*-*-";

void copy_cut(char *out, size_t capacity, const std::string &s) {
  if (out == nullptr || capacity == 0) return;
  const size_t n = std::min(s.size(), capacity - 1);
  std::memcpy(out, s.data(), n);
  out[n] = '\0';
}

// The fields of a name split at "-": field k is the text after the k-th
// "-" up to the next one (fields past the last "-" are empty).
std::vector<std::string> fields_of(const char *name) {
  std::vector<std::string> f(kXlfdDashes + 1);
  int k = 0;
  for (const char *p = name; p != nullptr && *p != '\0'; ++p) {
    if (*p == '-' && k < kXlfdDashes) {
      ++k;
      continue;
    }
    if (k >= 1) f[size_t(k)].push_back(*p);
  }
  return f;
}

// The text after the 14th "-" of a name.
std::string after_last_field(const char *name) {
  int k = 0;
  for (const char *p = name; *p != '\0'; ++p)
    if (*p == '-' && ++k == kFieldCharset) return std::string(p + 1);
  return std::string();
}

int32_t dbcs_mode() {
  qev_gcb *gcb = wu_gcb();
  return gcb != nullptr ? gcb->multibyte : 0;
}

std::string upper(const std::string &s) {
  std::string u = s;
  if (!u.empty() && wztxxlt(kXlateUpper, u.data(), &u[0], int32_t(u.size())) == WU_OK) return u;
  for (char &ch : u) ch = char(std::toupper(static_cast<unsigned char>(ch)));
  return u;
}

std::string property_name(Display *d, XFontStruct *font, Atom atom) {
  unsigned long value = 0;
  if (font == nullptr || !XGetFontProperty(font, atom, &value) || value == 0) return std::string();
  char *name = XGetAtomName(d, Atom(value));
  std::string out = name ? name : "";
  if (name) XFree(name);
  return out;
}

std::string system_pattern(const char *name, const char *charset, const char *size,
                           const char *width) {
  char out[WU_FONT_NAME_LEN];
  GetSystemFontName(out, name, charset, size, width);
  return out;
}

}  // namespace

extern "C" {

bool wu_dbcs_mode(void) { return dbcs_mode() != 0; }

int32_t verifyXLFDname(const char *text) {
  if (text == nullptr || text[0] != '-') return 0;
  int dashes = 0;
  for (const char *p = text; *p != '\0'; ++p)
    if (*p == '-') ++dashes;
  return dashes == kXlfdDashes ? 1 : 0;
}

char *GetFontName(Display *display, XFontStruct *font) {
  if (display == nullptr || font == nullptr) return nullptr;
  std::string name = property_name(display, font, XA_FONT);
  if (dbcs_mode() != 0 && !verifyXLFDname(name.c_str())) {
    const Atom full = XInternAtom(display, "FULL_NAME", True);
    const std::string other = full != None ? property_name(display, font, full) : std::string();
    if (verifyXLFDname(other.c_str())) name = other;
  }
  if (name.empty()) return nullptr;
  return XtNewString(name.c_str());
}

void GetFontSize(const char *name, char *buffer) {
  std::string size = "*";
  if (verifyXLFDname(name)) {
    const std::string f = fields_of(name)[kFieldPixelSize];
    if (!f.empty()) size = f;
  }
  copy_cut(buffer, WU_FONT_SIZE_LEN, size);
}

void GetSystemFontName(char *output, const char *name, const char *charset,
                       const char *pixel_size, const char *average_width) {
  if (output == nullptr) return;
  // The output may be the name's own buffer: work on a copy.
  const std::string source = name != nullptr ? name : "";
  const std::vector<std::string> f = fields_of(source.c_str());
  std::string out;
  for (int k = 1; k <= kXlfdDashes; ++k) {
    if (k == kFieldSpacing) continue;
    out.push_back('-');
    switch (k) {
      case 1: case 2: case 3: case 4: case 5:
        out += f[size_t(k)];
        break;
      case kFieldPixelSize:
        out += pixel_size != nullptr && *pixel_size ? pixel_size : "*";
        break;
      case kFieldAverageWidth:
        out += average_width != nullptr && *average_width ? average_width : "*";
        break;
      case kFieldCharset:
        out += charset != nullptr && *charset ? std::string(charset) : after_last_field(source.c_str());
        break;
      default:
        out.push_back('*');
        break;
    }
  }
  copy_cut(output, WU_FONT_NAME_LEN, out);
}

void AddFontName(char *output, const char *first, const char *second) {
  if (output == nullptr) return;
  const std::string one = first != nullptr ? first : "";
  const std::string two = second != nullptr ? second : "";
  std::string list = one + "," + two;
  const std::string named = upper(list);
  char size[WU_FONT_SIZE_LEN];
  GetFontSize(two.c_str(), size);
  const int32_t mode = dbcs_mode();
  if (mode == kModeJis && named.find(kJis0201) == std::string::npos) {
    bool from_wild = false;
    if (named.find(kJis0208) == std::string::npos) {
      const char *res = devb ? devb->motifres.dbcs_charset : nullptr;
      const char *cs = (res != nullptr && std::strncmp(res, kJis0208, sizeof kJis0208 - 1) == 0)
                           ? res : kJis0208Default;
      list += "," + system_pattern(kAllWild, cs, size, "*");
      from_wild = true;
    }
    list += "," + system_pattern(from_wild ? kAllWild : two.c_str(), kJis0201Charset, size, "*");
  }
  if ((mode == kModeJis || mode == kModeLatin) && named.find(kLatinCharset) == std::string::npos)
    list += "," + system_pattern(kLatinBase, kLatinCharset, size, "*");
  copy_cut(output, WU_FONT_LIST_LEN, list);
}

void AppendDBCSFontSet(XFontStruct *pair[2], wu_control *c) {
  if (pair == nullptr || c == nullptr || !wu_x_ok()) return;
  Display *d = devb->display;
  XmFontList fl = static_cast<XmFontList>(c->font_list);
  if (fl == nullptr || fl == devb->font_list) fl = devb->font_list ? XmFontListCopy(devb->font_list) : nullptr;
  // A two-byte font joins the list under the double-byte tag.
  XFontStruct *second = pair[1] != nullptr ? pair[1] : pair[0];
  if (second != nullptr && (second->min_byte1 != 0 || second->max_byte1 != 0)) {
    const char *tag = devb->motifres.dbcs_charset ? devb->motifres.dbcs_charset : kJis0208;
    XmFontListEntry e = XmFontListEntryCreate(const_cast<char *>(tag), XmFONT_IS_FONT, second);
    fl = XmFontListAppendEntry(fl, e);
    XmFontListEntryFree(&e);
  }
  char *n1 = GetFontName(d, pair[0]);
  char *n2 = GetFontName(d, second);
  char list[WU_FONT_LIST_LEN];
  AddFontName(list, n1 ? n1 : "", n2 ? n2 : "");
  XtFree(n1);
  XtFree(n2);
  char **missing = nullptr;
  int missing_count = 0;
  char *def = nullptr;
  XFontSet set = XCreateFontSet(d, list, &missing, &missing_count, &def);
  if (missing_count > 0) {
    // One more try with a wildcard for each character set the server
    // reported missing; a set still lacking some is used when it exists.
    std::string more = list;
    for (int i = 0; i < missing_count; ++i) more += std::string(kMissingPattern) + missing[i];
    XFreeStringList(missing);
    missing = nullptr;
    missing_count = 0;
    XFontSet retry = XCreateFontSet(d, more.c_str(), &missing, &missing_count, &def);
    if (missing != nullptr) XFreeStringList(missing);
    if (retry != nullptr) {
      if (set != nullptr) XFreeFontSet(d, set);
      set = retry;
    }
  } else if (missing != nullptr) {
    XFreeStringList(missing);
  }
  if (set != nullptr) {
    XmFontListEntry e = XmFontListEntryCreate(const_cast<char *>(XmFONTLIST_DEFAULT_TAG),
                                              XmFONT_IS_FONTSET, set);
    fl = XmFontListAppendEntry(fl, e);
    XmFontListEntryFree(&e);
  }
  c->font_list = fl;
}

}  // extern "C"
