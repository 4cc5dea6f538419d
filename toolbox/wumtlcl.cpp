// Tool box storage: the tool-message block with the default locations, the
// reader and writer of "TOOLBOX " catalog entries, the built-in default box,
// the chains along which a window's box is looked for, and the pixmaps of
// tool icons.
#include <X11/Intrinsic.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

#include "commands/wucmds.h"
#include "frames/wutframe.h"
#include "toolbox/wutbox.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

// Every tool box made and not yet released, so that a shut-down gives back
// also those no window holds (a box an editor or a command works on while
// the module ends under it).
std::unordered_set<wu_toolbox *> g_boxes;

const int32_t kName34Text = WU_NAME34_LEN - 2;   // characters after the length
const char kHelpLibref[] = "QEVHELP ";

// Tool-message slots and the messages of set 526 that fill them.
const int16_t kSlotMessages[WU_TOOL_MESSAGES] = {
    113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126,
    127, 128, 129, 130, 131, 133, 134, 135, 137, 138, 139, 140, 141, 142,
    143, 144, 145, 603, 132, 136, 337, 146, 147, 149, 150, 370, 0,   148};
// Messages whose "@" stand for line feeds.
bool MultiLine(int32_t number) { return number == 122 || number == 137 || number == 337; }

enum {
  kMsgLibref = 151,
  kMsgCatalog = 152,
  kMsgEntry = 153,
  kMsgThird = 154,
  kMsgLibref2 = 155,
  kMsgAlt1 = 156,
  kMsgAlt2 = 157,
  kMsgNoTools = 442,
  kMsgBadImage = 340,
  kMsgNoImage = 341,
  kMsgDefaultIcon = 742,
  kMsgDefaultCommand = 700,
  kMsgDefaultHelp = 714,
  kMsgDefaultTip = 728,
};
const int32_t kDefaultTextMax = 99;    // characters of a built-in tool's text

// Built-in icon identifiers -1 to -14 and the host images they show.
const int32_t kBuiltinImages[WU_DEFAULT_TOOLS] = {290, 291, 292, 293, 173, 294, 295, 411, 296, 2, 31, 1009, 1010, 10};
const int32_t kOtherBuiltin = 202;
const int32_t kFallbackImage = 1010;
const int32_t kHostIcons = 1024;       // identifiers above are host images

void Free(void *p) { XtFree(static_cast<char *>(p)); }

char *Copy(const char *text, size_t n) {
  char *c = XtMalloc(Cardinal(n + 1));
  std::memcpy(c, text, n);
  c[n] = '\0';
  return c;
}

// A text field of a stored record: at most its width less the terminator.
char *FieldText(const char *field) {
  size_t n = strnlen(field, WU_TB_TEXT_LEN);
  if (n > WU_TOOL_TEXT_MAX) n = WU_TOOL_TEXT_MAX;
  return n ? Copy(field, n) : nullptr;
}

int32_t FieldNumber(const char *field) {
  char buf[WU_TB_NUMBER_LEN + 1];
  std::memcpy(buf, field, WU_TB_NUMBER_LEN);
  buf[WU_TB_NUMBER_LEN] = '\0';
  return std::atoi(buf);
}

// "%d" of a number into an 8-byte field; false when it needs more room.
bool PutNumber(char *field, int32_t value) {
  char buf[16];
  int n = std::snprintf(buf, sizeof buf, "%d", value);
  if (n < 0 || n > WU_TB_NUMBER_LEN) return false;
  std::memcpy(field, buf, size_t(n));
  return true;
}

void PutText(char *field, const char *text) {
  if (!text) return;
  size_t n = std::strlen(text);
  if (n > WU_TOOL_TEXT_MAX) n = WU_TOOL_TEXT_MAX;
  std::memcpy(field, text, n);
}

bool IsProfile(qev_lib *lib) {
  qev_lib *profile = nullptr;
  return ylprofl(&profile) == WU_OK && profile == lib;
}

void CloseEntry(qev_lib *lib, qev_member *member, int32_t abandon) {
  if (member) ylmclos(member, abandon);
  if (lib && !IsProfile(lib)) ylclose(lib);
}

// A box takes the user's tip and keep-on-top preferences.
void TakePreferences(wu_toolbox *box) {
  if (!devb) return;
  box->tips = devb->prefs.use_toolbox_tips;
  box->keep_on_top = devb->prefs.toolbox_always_on_top;
  box->tip_delay = devb->prefs.toolbox_tip_delay;
}

void FreeTool(wu_tool *t) {
  wumdbtn(t);
  ReleaseToolPixmap(t->pixmap, t->shared_pixmap);
  if (t->insensitive && wu_x_ok()) wumfpxm(t->insensitive);
  Free(t->command);
  Free(t->help);
  Free(t->tip);
  Free(t);
}

void Icons(wu_icon_colours *c) {
  if (devb) *c = devb->icon_colours;
}

Pixmap Fetch(int32_t id, int32_t *w, int32_t *h, bool masked) {
  if (!devb) return None;
  wu_icon_colours colours;
  Icons(&colours);
  Pixmap p = None, mask = None;
  wu_status st = masked ? wutlpix(id, &colours, devb->depth, 0, &p, &mask, w, h)
                        : wutgpix(id, &colours, devb->depth, 0, &p, w, h);
  return st == WU_OK ? p : None;
}

// The mapping of a tool icon identifier to a pixmap at a box size.
Pixmap LoadIcon(int32_t icon, int32_t width, int32_t height, bool masked, uint8_t *shared) {
  *shared = 1;
  if (!wu_x_ok()) return None;
  const bool small = (width == 24 && height == 24) || (width == 16 && height == 16);
  int32_t id = icon;
  if (icon < 0) id = wumbimg(icon);
  int32_t w = 0, h = 0;
  if (id <= kHostIcons) {
    if (!small) return Fetch(id, &w, &h, masked);
    const int32_t set = width == 24 ? WU_ICON_SET24 : WU_ICON_SET16;
    if (devb->depth != 1) {
      Pixmap p = Fetch(id + set, &w, &h, masked);
      if (p) return p;
    }
    // One-bit screens and missing small sets: half of the large image.
    Pixmap big = Fetch(id, &w, &h, masked);
    if (!big) return None;
    Pixmap half = wuthpmp(big, 0);
    wutfpix(big);
    *shared = 0;
    return half;
  }
  // An image beyond the user's last one is told to the user; the store is
  // asked all the same.
  if (id > kHostIcons + wutuicn()) yuhmsg(WU_MSG_TOOL, kMsgNoImage);
  Pixmap p = Fetch(id, &w, &h, masked);
  if (!p) {
    qev_arg a = {QEV_ARG_INT, 0, nullptr, id - kHostIcons};
    ypmlog(WU_MSG_TOOL, kMsgNoImage, 1, &a);
    return None;
  }
  if (w != WU_ICON_BOX_LARGE || h != WU_ICON_BOX_LARGE) {
    qev_arg a[3] = {{QEV_ARG_INT, 0, nullptr, id - kHostIcons},
                    {QEV_ARG_INT, 0, nullptr, w},
                    {QEV_ARG_INT, 0, nullptr, h}};
    ypmlog(WU_MSG_TOOL, kMsgBadImage, 3, a);
    wutfpix(p);
    p = Fetch(kFallbackImage, &w, &h, masked);
    if (!p) return None;
  }
  if (width == 24 && height == 24) {
    Pixmap half = wuthpmp(p, 0);
    wutfpix(p);
    *shared = 0;
    return half;
  }
  return p;
}

void SetLibref(char *field, const char *text) {
  std::memset(field, ' ', WU_LIBREF_LEN);
  if (text) std::memcpy(field, text, std::min(std::strlen(text), size_t(WU_LIBREF_LEN)));
}

void FromMessage(char *field, int32_t number, bool libref) {
  int32_t n = 0;
  const char *text = wuxrmsg(WU_MSG_TOOL, number, &n);
  std::string t = text ? std::string(text, size_t(n)) : std::string();
  if (libref) SetLibref(field, t.c_str());
  else SetName34(field, t.data(), t.size());
}

bool Same34(const char *a, const char *b) {
  return Text34(a) == Text34(b) && std::memcmp(a + 2, b + 2, kName34Text) == 0;
}

bool Usable(const char *libref, const char *catalog, const char *entry) {
  if (!libref || !catalog || !entry) return false;
  if (libref[0] == ' ' || libref[0] == '\0') return false;
  std::string c = Text34(catalog), e = Text34(entry);
  return !c.empty() && c[0] != ' ' && !e.empty() && e[0] != ' ';
}

wu_tool_messages *Messages() {
  wu_state *s = wu_module();
  return s ? &s->tool_messages : nullptr;
}

bool g_editor_active = false;

}  // namespace

std::string Text34(const char *field) {
  int16_t n = 0;
  std::memcpy(&n, field, sizeof n);
  if (n < 0) n = 0;
  if (n > kName34Text) n = kName34Text;
  return std::string(field + 2, size_t(n));
}

void SetName34(char *field, const char *text, size_t n) {
  if (n > size_t(kName34Text)) n = kName34Text;
  int16_t len = int16_t(n);
  std::memcpy(field, &len, sizeof len);
  std::memset(field + 2, ' ', kName34Text);
  if (n) std::memcpy(field + 2, text, n);
}

extern "C" {

void ReleaseToolPixmap(Pixmap pixmap, uint8_t shared) {
  if (!pixmap) return;
  if (shared) wutfpix(pixmap);
  else if (wu_x_ok()) wumfpxm(pixmap);
}

int32_t wumbimg(int32_t icon) {
  return icon >= -WU_DEFAULT_TOOLS ? kBuiltinImages[-icon - 1] : kOtherBuiltin;
}



void InitToolMessages(void) {
  wu_state *s = wu_module();
  if (!s || s->tool_messages_loaded) return;
  wu_tool_messages *m = &s->tool_messages;
  for (int32_t i = 0; i < WU_TOOL_MESSAGES; ++i) {
    m->texts[i] = kSlotMessages[i] ? wuxgmft(WU_MSG_TOOL, kSlotMessages[i]) : nullptr;
    if (m->texts[i] && MultiLine(kSlotMessages[i])) wumnlns(m->texts[i]);
  }
  FromMessage(m->libref, kMsgLibref, true);
  FromMessage(m->catalog, kMsgCatalog, false);
  FromMessage(m->third, kMsgThird, false);
  FromMessage(m->entry, kMsgEntry, false);
  SetName34(m->help_catalog, "CORE", 4);
  SetName34(m->help_catalog2, "UNXCORE", 7);
  FromMessage(m->libref2, kMsgLibref2, true);
  FromMessage(m->alt_entry1, kMsgAlt1, false);
  FromMessage(m->alt_entry2, kMsgAlt2, false);
  // The user's profile library replaces the default libref and catalog.
  qev_lib *profile = nullptr;
  if (ylprofl(&profile) == WU_OK && profile) {
    char libref[WU_LIBREF_LEN];
    char catalog[WU_NAME34_LEN];
    if (ylinfo(profile, QEV_LINFO_LIBREF, libref, sizeof libref) == WU_OK &&
        ylinfo(profile, QEV_LINFO_CATALOG, catalog, sizeof catalog) == WU_OK) {
      std::memcpy(m->libref, libref, sizeof libref);
      std::memcpy(m->catalog, catalog, sizeof catalog);
    }
  }
  s->tool_messages_loaded = 1;
}

void FreeToolMessages(void) {
  wu_state *s = wu_module();
  if (!s) return;
  for (char *&t : s->tool_messages.texts) {
    wumfree(t);
    t = nullptr;
  }
  std::memset(&s->tool_messages, 0, sizeof s->tool_messages);
  s->tool_messages_loaded = 0;
}

int32_t wumgdloc(char *libref, char *catalog, char *entry) {
  InitToolMessages();
  wu_tool_messages *m = Messages();
  if (!m) return 0;
  if (libref) std::memcpy(libref, m->libref, WU_LIBREF_LEN);
  if (catalog) std::memcpy(catalog, m->catalog, WU_NAME34_LEN);
  if (entry) std::memcpy(entry, m->entry, WU_NAME34_LEN);
  return 1;
}

void wumsloc(wu_toolbox *box, const char *libref, const char *catalog, const char *entry) {
  if (!box) return;
  if (libref) std::memcpy(box->libref, libref, WU_LIBREF_LEN);
  if (catalog) std::memcpy(box->catalog, catalog, WU_NAME34_LEN);
  if (entry) std::memcpy(box->entry, entry, WU_NAME34_LEN);
}

wu_toolbox *AllocateToolBar(void) {
  auto *box = reinterpret_cast<wu_toolbox *>(XtCalloc(1, sizeof(wu_toolbox)));
  if (wu_reg_add(box, WU_REG_TOOLBOX) != WU_OK) {
    XtFree(reinterpret_cast<char *>(box));
    return nullptr;
  }
  g_boxes.insert(box);
  box->messages = Messages();
  return box;
}

Pixmap wumtllp(int32_t icon, int32_t width, int32_t height, uint8_t *shared_out) {
  uint8_t shared = 1;
  Pixmap p = LoadIcon(icon, width, height, false, &shared);
  if (shared_out) *shared_out = shared;
  return p;
}

Pixmap wumldic(int32_t icon, int32_t width, int32_t height) {
  uint8_t shared = 1;
  return LoadIcon(icon, width, height, true, &shared);
}

void wutfbar(wu_window *, wu_toolbox *box) {
  if (!wu_reg_has(box, WU_REG_TOOLBOX)) return;
  wu_reg_remove(box);
  g_boxes.erase(box);
  if (box->tip_timer) XtRemoveTimeOut(box->tip_timer);
  wu_merged_box *mb = wumgmbx();
  if (mb && (mb->box == box || mb->tools == box->tools)) {
    mb->box = nullptr;
    mb->tools = nullptr;
  }
  for (wu_tool *t = box->tools; t;) {
    wu_tool *next = t->next;
    FreeTool(t);
    t = next;
  }
  if (box->shell && !box->shared) XtDestroyWidget(box->shell);
  wu_state *s = wu_module();
  if (s && s->global_toolbox == box) s->global_toolbox = nullptr;
  for (wu_window *w = s ? s->newest : nullptr; w; w = w->next)
    if (w->toolbox == box) w->toolbox = nullptr;
  Free(box->title);
  XtFree(reinterpret_cast<char *>(box));
}

wu_toolbox *wumtlcl(const char *libref, const char *catalog, const char *entry, const char *type) {
  char mtype[QEV_MEMTYPE_LEN];
  std::memset(mtype, ' ', sizeof mtype);
  if (type) std::memcpy(mtype, type, std::min(std::strlen(type), sizeof mtype));
  if (!Usable(libref, catalog, entry) || !wu_module()) return nullptr;
  wu_toolbox_header h;
  qev_lib *lib = nullptr;
  qev_member *member = nullptr;
  if (yucrhdr(libref, catalog, entry, &lib, &member, &h) != WU_OK) return nullptr;
  wu_toolbox *box = AllocateToolBar();
  if (!box) {
    CloseEntry(lib, member, 1);
    return nullptr;
  }
  box->icon_width = h.icon_width;
  box->icon_height = h.icon_height;
  const auto boxSize = [](int32_t v) { return v == 24 || v == 48; };
  if (!boxSize(box->icon_width) && !boxSize(box->icon_height))
    box->icon_width = box->icon_height = h.large_icons ? WU_ICON_BOX_LARGE : WU_ICON_BOX_SMALL;
  box->per_row = h.per_row;
  box->count = h.tool_count;
  box->x = FieldNumber(h.x);
  box->y = FieldNumber(h.y);
  box->save_position = std::memcmp(libref, kHelpLibref, WU_LIBREF_LEN) == 0 ? 0 : h.save_position;
  box->load_default = h.load_default;
  box->command_part = h.command_part;
  box->tools_part = h.tools_part;
  box->title = FieldText(h.title);
  TakePreferences(box);
  int32_t separators = 0, real = 0;
  wu_tool **tail = &box->tools;
  for (int32_t i = 0; i < box->count; ++i) {
    wu_tool_record r;
    if (yucrtol(member, &r) != WU_OK) {
      // A failing read gives up the whole box, not a part of it.
      CloseEntry(lib, member, 1);
      wutfbar(nullptr, box);
      return nullptr;
    }
    auto *t = reinterpret_cast<wu_tool *>(XtCalloc(1, sizeof(wu_tool)));
    t->icon = FieldNumber(r.icon);
    if (t->icon == WU_TB_SEPARATOR_ICON) ++separators;
    else ++real;
    t->command_id = FieldNumber(r.command_id);
    t->second = FieldNumber(r.second);
    t->help = FieldText(r.help);
    t->tip = FieldText(r.tip);
    t->command = FieldText(r.command);
    t->box = box;
    if (t->icon != WU_TB_SEPARATOR_ICON)
      t->pixmap = wumtllp(t->icon, box->icon_width, box->icon_height, &t->shared_pixmap);
    t->small_icon = box->icon_width == 24 && box->icon_height == 24;
    *tail = t;
    tail = &t->next;
    if (r.ext_type != 0 && FieldNumber(r.ext_size) != 0) {
      if (r.ext_type <= 3) wutlogf(QEV_LOG_WARNING, "PC BMP tools cannot be read.");
      else wutlogf(QEV_LOG_WARNING, "Unknown host tool extension encountered.");
      int32_t length = 0;
      // Passes over the record, whatever its size; a record the catalog
      // cannot pass over is a damaged entry, refused whole like a failing
      // tool record.
      if (ylmread(member, nullptr, 0, &length, 1) != WU_OK) {
        CloseEntry(lib, member, 1);
        wutfbar(nullptr, box);
        return nullptr;
      }
    }
  }
  const bool separators_only =
      g_editor_active && devb && devb->motifres.edit_toolbox_separators && separators > 0;
  if (real == 0 && !separators_only) {
    std::string c = Text34(catalog), e = Text34(entry);
    qev_arg a[3] = {{QEV_ARG_TEXT, WU_LIBREF_LEN, libref, 0},
                    {QEV_ARG_TEXT, int32_t(c.size()), c.data(), 0},
                    {QEV_ARG_TEXT, int32_t(e.size()), e.data(), 0}};
    ypmlog(WU_MSG_TOOL, kMsgNoTools, 3, a);
    CloseEntry(lib, member, 1);
    wutfbar(nullptr, box);
    return nullptr;
  }
  CloseEntry(lib, member, 0);
  wumsloc(box, libref, catalog, entry);
  if (separators + box->per_row == box->count) box->per_row = box->count;
  return box;
}

wu_status wumtlsv(wu_toolbox *box, const char *libref, const char *catalog, const char *entry,
                  const char *) {
  if (!wu_reg_has(box, WU_REG_TOOLBOX) || !libref || !catalog || !entry) return WU_NOTAVAIL;
  box->load_default = 1;
  wu_merged_box *mb = wumgmbx();
  if (mb && mb->tools_arrow) {
    unsigned char dir = XmARROW_LEFT;
    if (mb->command_arrow) {
      XtVaGetValues(mb->command_arrow, XmNarrowDirection, &dir, nullptr);
      box->command_part = dir == XmARROW_RIGHT;
    }
    XtVaGetValues(mb->tools_arrow, XmNarrowDirection, &dir, nullptr);
    box->tools_part = dir == XmARROW_LEFT;
  }
  wu_state *s = wu_module();
  if (!box->own_location && s && s->global_toolbox) {
    char dl[WU_LIBREF_LEN], dc[WU_NAME34_LEN], de[WU_NAME34_LEN];
    wumgdloc(dl, dc, de);
    if (std::memcmp(dl, libref, WU_LIBREF_LEN) != 0 || !Same34(dc, catalog) || !Same34(de, entry))
      return WU_NOTAVAIL;
  }
  if (box->count > WU_TOOLS_MAX || box->count < 0) return WU_NOTAVAIL;
  StoreToolBoxPosition(box);
  wu_toolbox_header h;
  std::memset(&h, 0, sizeof h);
  h.icon_width = uint8_t(box->icon_width);
  h.icon_height = uint8_t(box->icon_height);
  h.per_row = uint8_t(box->per_row);
  h.tool_count = uint8_t(box->count);
  PutText(h.title, box->title);
  if (!PutNumber(h.x, box->x) || !PutNumber(h.y, box->y)) return WU_NOTAVAIL;
  h.save_position = box->save_position;
  h.load_default = box->load_default;
  h.command_part = box->command_part;
  h.tools_part = box->tools_part;
  // Every tool record is made before anything is written, so that a number
  // that does not fit refuses the whole box and the old entry stays.
  std::string records;
  int32_t n = 0;
  for (wu_tool *t = box->tools; t && n < box->count; t = t->next, ++n) {
    wu_tool_record r;
    std::memset(&r, 0, sizeof r);
    if (!PutNumber(r.icon, t->icon) || !PutNumber(r.command_id, t->command_id) ||
        !PutNumber(r.second, t->second))
      return WU_NOTAVAIL;
    PutText(r.command, t->command);
    PutText(r.tip, t->tip);
    PutText(r.help, t->help);
    records.append(reinterpret_cast<const char *>(&r), sizeof r);
  }
  if (n != box->count) return WU_NOTAVAIL;
  qev_lib *lib = nullptr;
  qev_member *member = nullptr;
  if (yucwhdr(libref, catalog, entry, &lib, &member, &h) != WU_OK) return WU_NOTAVAIL;
  bool ok = true;
  for (int32_t i = 0; i < n && ok; ++i)
    ok = yucwtol(member, records.data() + size_t(i) * sizeof(wu_tool_record)) == WU_OK;
  // A failed write abandons the member: the entry keeps what it held.
  wu_status closed = ylmclos(member, ok ? 0 : 1);
  if (lib && !IsProfile(lib)) ylclose(lib);
  return ok && closed == WU_OK ? WU_OK : WU_NOTAVAIL;
}

wu_toolbox *wumbrmg(wu_window *window, int32_t n, int32_t set, int32_t icon_first,
                    int32_t command_first, int32_t help_first, int32_t tip_first) {
  InitToolMessages();
  wu_toolbox *box = AllocateToolBar();
  if (!box) return nullptr;
  wu_state *s = wu_module();
  auto text = [set](int32_t number) -> char * {
    int32_t length = 0;
    const char *t = wuxrmsg(set, number, &length);
    if (!t || length <= 0) return nullptr;
    return Copy(t, size_t(std::min(length, kDefaultTextMax)));
  };
  wu_tool **tail = &box->tools;
  for (int32_t i = 0; i < n; ++i) {
    auto *t = reinterpret_cast<wu_tool *>(XtCalloc(1, sizeof(wu_tool)));
    char *icon = text(icon_first + i);
    t->icon = icon ? std::atoi(icon) : 0;
    Free(icon);
    t->command = text(command_first + i);
    t->help = text(help_first + i);
    t->tip = text(tip_first + i);
    t->pixmap = wumtllp(t->icon, WU_ICON_BOX_SMALL, WU_ICON_BOX_SMALL, &t->shared_pixmap);
    t->small_icon = 1;
    t->window = s ? s->current : nullptr;
    t->box = box;
    *tail = t;
    tail = &t->next;
  }
  box->count = n;
  box->per_row = n;
  box->icon_width = box->icon_height = WU_ICON_BOX_SMALL;
  TakePreferences(box);
  box->command_part = box->tools_part = 1;
  box->save_position = box->load_default = 1;
  wumgdloc(box->libref, box->catalog, box->entry);
  if (window) {
    if (window->menu_entry[0] || window->menu_entry[1]) std::memcpy(box->entry, window->menu_entry, WU_NAME34_LEN);
    window->toolbox = box;
  }
  return box;
}

wu_toolbox *wumbpnx(wu_window *window) {
  return wumbrmg(window, WU_DEFAULT_TOOLS, WU_MSG_TOOL, kMsgDefaultIcon, kMsgDefaultCommand,
                 kMsgDefaultHelp, kMsgDefaultTip);
}

wu_toolbox *wumlgbx(void) {
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN], e[WU_NAME34_LEN];
  if (!wumgdloc(l, c, e)) return nullptr;
  wu_toolbox *box = wumtlcl(l, c, e, WU_TB_MEMBER_TYPE);
  if (!box) {
    char core[WU_NAME34_LEN];
    SetName34(core, "CORE", 4);
    box = wumtlcl(kHelpLibref, core, e, WU_TB_MEMBER_TYPE);
  }
  if (!box) box = wumbpnx(nullptr);
  wumsloc(box, l, c, e);
  return box;
}

wu_toolbox *wumldbx(wu_window *w) {
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN], e[WU_NAME34_LEN];
  if (!w || !wumgdloc(l, c, e)) return nullptr;
  wu_tool_messages *m = Messages();
  wu_toolbox *box = wumtlcl(l, c, w->menu_entry, WU_TB_MEMBER_TYPE);
  if (!box) box = wumtlcl(w->menu_libref, w->menu_catalog, w->menu_entry, WU_TB_MEMBER_TYPE);
  if (!box && Text34(w->menu_entry).empty()) {
    box = wumtlcl(l, c, m->alt_entry2, WU_TB_MEMBER_TYPE);
    if (!box) box = wumtlcl(w->menu_libref, w->menu_catalog, m->alt_entry2, WU_TB_MEMBER_TYPE);
    if (!box) box = wumtlcl(l, c, m->alt_entry1, WU_TB_MEMBER_TYPE);
  }
  return box;
}

int32_t wumtedact(int32_t on) {
  if (on >= 0) g_editor_active = on != 0;
  return g_editor_active;
}

void wumficn(void) {
  wu_state *s = wu_module();
  if (!s) return;
  for (wu_window *w = s->newest; w; w = w->next) {
    if (w->toolbox && w->toolbox != s->global_toolbox) wutfbar(w, w->toolbox);
    w->toolbox = nullptr;
  }
  if (s->global_toolbox) wutfbar(nullptr, s->global_toolbox);
  s->global_toolbox = nullptr;
  while (!g_boxes.empty()) {
    wu_toolbox *box = *g_boxes.begin();
    if (wu_reg_has(box, WU_REG_TOOLBOX)) wutfbar(nullptr, box);
    else g_boxes.erase(box);
  }
  wu_merged_box *mb = wumgmbx();
  if (mb) {
    if (mb->reconfigure_timer) XtRemoveTimeOut(mb->reconfigure_timer);
    if (mb->tip_shell && wu_x_ok()) {
      XtPopdown(mb->tip_shell);
      XtDestroyWidget(mb->tip_shell);
    }
    if (mb->shell && wu_x_ok()) XtDestroyWidget(mb->shell);
    XtFree(reinterpret_cast<char *>(mb));
    s->merged = nullptr;
  }
  if (s->tip_grace_timer) XtRemoveTimeOut(s->tip_grace_timer);
  s->tip_grace_timer = 0;
  FreeToolMessages();
}

}  // extern "C"
