// The module's X resources: the text-layer (device), application, Motif-layer,
// icon and preference resources, all read under the class "QEV" from the
// display's resource database, and their listings to the host log as
// "QEV.%s: %s" lines.
//
// The user's preferences file (QEVUSERPREFS in the home directory, one
// "QEV.name: value" line per setting) is merged into the database before the
// resources are read, so a preference overrides the X defaults.
#include <X11/Intrinsic.h>
#include <X11/StringDefs.h>
#include <X11/Xresource.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "runtime/wutoolkit.h"
#include "runtime/wutprff.h"

namespace {

enum Kind { K_STRING, K_BOOL, K_INT };

struct Desc {
  const char *name;   // resource name, also the listed name
  Kind kind;
  size_t offset;      // in the record
  const char *deflt;  // default, as text
};

#define DEV(f) offsetof(wu_device_resources, f)
#define APP(f) offsetof(wu_app_resources, f)
#define MOT(f) offsetof(wu_motif_resources, f)
#define ICN(f) offsetof(wu_icon_resources, f)
#define PRF(f) offsetof(wu_preferences, f)

// Keys the text panes bind; each calls the pane action with the key's name.
// Motif's key translator hands the keys that carry a virtual binding
// (Return, Home, End, the page keys, Escape, Insert, F1, F10 ...) to
// translations under their osf names, and a Motif widget's own translations
// claim them there; such keys are listed under both names, the osf name for
// where the binding exists, the plain name for where it does not.  osfHelp
// stays F1 in both tables (the Help key is bound to it as well).
const char kTextKeys[] =
    "<Key>osfActivate: qev-function-key(Enter)\n"
    "<Key>osfBeginLine: qev-function-key(Home)\n"
    "<Key>osfEndLine: qev-function-key(End)\n"
    "<Key>osfPageUp: qev-function-key(PageUp)\n"
    "<Key>osfPageDown: qev-function-key(PageDown)\n"
    "<Key>osfHelp: qev-function-key(F1)\n"
    "<Key>osfMenuBar: qev-function-key(F10)\n"
    "<Key>Tab: qev-function-key(Tab)\n"
    "Shift<Key>Tab: qev-function-key(BackTab)\n"
    "<Key>Return: qev-function-key(Enter)\n"
    "<Key>KP_Enter: qev-function-key(Enter)\n"
    "<Key>Home: qev-function-key(Home)\n"
    "<Key>End: qev-function-key(End)\n"
    "<Key>Prior: qev-function-key(PageUp)\n"
    "<Key>Next: qev-function-key(PageDown)\n"
    "<Key>F1: qev-function-key(F1)\n<Key>F2: qev-function-key(F2)\n"
    "<Key>F3: qev-function-key(F3)\n<Key>F4: qev-function-key(F4)\n"
    "<Key>F5: qev-function-key(F5)\n<Key>F6: qev-function-key(F6)\n"
    "<Key>F7: qev-function-key(F7)\n<Key>F8: qev-function-key(F8)\n"
    "<Key>F9: qev-function-key(F9)\n<Key>F10: qev-function-key(F10)\n"
    "<Key>F11: qev-function-key(F11)\n<Key>F12: qev-function-key(F12)";
const char kTextKeys2[] =
    "<Key>osfInsert: qev-function-key(Insert)\n"
    "<Key>osfCancel: qev-function-key(Escape)\n"
    "<Key>Insert: qev-function-key(Insert)\n"
    "<Key>Help: qev-function-key(Help)\n"
    "<Key>Escape: qev-function-key(Escape)";
const char kControlTranslation[] =
    "<Key>Tab: qev-function-key(Tab)\n"
    "Shift<Key>Tab: qev-function-key(BackTab)";
const char kPopupTranslation[] = "<Btn3Down>: qev-popup-menu()";

const Desc kDeviceRes[] = {
    {"font", K_STRING, DEV(font), "-misc-fixed-medium-r-normal--13-120-75-75-c-70-iso8859-1"},
    {"boldFont", K_STRING, DEV(bold_font), "-misc-fixed-bold-r-normal--13-120-75-75-c-70-iso8859-1"},
    {"foreground", K_STRING, DEV(foreground), "black"},
    {"background", K_STRING, DEV(background), "white"},
    {"cursorColor", K_STRING, DEV(cursor_colour), "red"},
    {"redForegroundColor", K_STRING, DEV(red_foreground), "red"},
    {"dmColor1", K_STRING, DEV(dm_colour[1]), "blue"},
    {"dmColor2", K_STRING, DEV(dm_colour[2]), "red"},
    {"dmColor3", K_STRING, DEV(dm_colour[3]), "pink"},
    {"dmColor4", K_STRING, DEV(dm_colour[4]), "green"},
    {"dmColor5", K_STRING, DEV(dm_colour[5]), "cyan"},
    {"dmColor6", K_STRING, DEV(dm_colour[6]), "yellow"},
    {"dmColor7", K_STRING, DEV(dm_colour[7]), "white"},
    {"dmColor8", K_STRING, DEV(dm_colour[8]), "orange"},
    {"dmColor9", K_STRING, DEV(dm_colour[9]), "black"},
    {"dmColor10", K_STRING, DEV(dm_colour[10]), "magenta"},
    {"dmColor11", K_STRING, DEV(dm_colour[11]), "gray"},
    {"dmColor12", K_STRING, DEV(dm_colour[12]), "brown"},
    {"dmColor13", K_STRING, DEV(dm_colour[13]), "navy"},
    {"dmColor14", K_STRING, DEV(dm_colour[14]), "purple"},
    {"dmColor15", K_STRING, DEV(dm_colour[15]), "dark green"},
};
const Desc kAppRes[] = {
    {"textKeyTranslations", K_STRING, APP(text_keys), kTextKeys},
    {"textKeyTranslations2", K_STRING, APP(text_keys2), kTextKeys2},
    {"controlTranslation", K_STRING, APP(control_translation), kControlTranslation},
    {"batchDriverMode", K_INT, APP(batch_driver_mode), "0"},
    {"multiClickTime", K_INT, APP(multi_click_time), "0"},
};
const Desc kMotifRes[] = {
    {"wmLeftBorderWidth", K_INT, MOT(wm_left_border), "4"},
    {"wmTopBorderWidth", K_INT, MOT(wm_top_border), "24"},
    {"wmBottomBorderWidth", K_INT, MOT(wm_bottom_border), "4"},
    {"editToolBoxSeparators", K_BOOL, MOT(edit_toolbox_separators), "False"},
    {"hasTOOLSET", K_BOOL, MOT(has_toolset), "True"},
    {"useNativeXmTextTranslations", K_BOOL, MOT(native_text_translations), "False"},
    {"dialogUseGadgets", K_BOOL, MOT(dialog_use_gadgets), "False"},
    {"useMergedToolBox", K_BOOL, MOT(merged_toolbox), "True"},
    {"popupTranslation", K_STRING, MOT(popup_translation), kPopupTranslation},
    {"dialogBackground", K_STRING, MOT(dialog_background), "gray80"},
    {"dialogForeground", K_STRING, MOT(dialog_foreground), "black"},
    {"listBackground", K_STRING, MOT(list_background), "white"},
    {"listForeground", K_STRING, MOT(list_foreground), "black"},
    {"dbcsCharSet", K_STRING, MOT(dbcs_charset), "JISX0208.1983-0"},
    {"mnemonicCharSet", K_STRING, MOT(mnemonic_charset), "ISO8859-1"},
};
const Desc kIconRes[] = {
    {"iconForeground", K_STRING, ICN(icon_foreground), "black"},
    {"iconBackground", K_STRING, ICN(icon_background), "gray80"},
    {"iconSelectColor", K_STRING, ICN(icon_select), "steel blue"},
};
const Desc kPrefRes[] = {
    {"useToolBoxTips", K_BOOL, PRF(use_toolbox_tips), "True"},
    {"toolBoxTipDelay", K_INT, PRF(toolbox_tip_delay), "750"},
    {"toolBoxAlwaysOnTop", K_BOOL, PRF(toolbox_always_on_top), "False"},
    {"defaultToolBox", K_BOOL, PRF(default_toolbox), "True"},
    {"useCommandToolBoxCombo", K_BOOL, PRF(use_command_combo), "False"},
    {"autoComplete", K_BOOL, PRF(auto_complete), "True"},
    {"commandsSaved", K_INT, PRF(commands_saved), "25"},
    {"confirmQEVExit", K_BOOL, PRF(confirm_exit), "True"},
    {"usePmenuMnemonics", K_BOOL, PRF(pmenu_mnemonics), "True"},
    {"suppressMenuIcons", K_BOOL, PRF(suppress_menu_icons), "False"},
    {"usePmenuTearOffs", K_BOOL, PRF(pmenu_tear_offs), "False"},
    {"menuBackground", K_STRING, PRF(menu_background), ""},
    {"menuForeground", K_STRING, PRF(menu_foreground), ""},
    {"cmdX", K_INT, PRF(cmd_x), "0"},
    {"cmdY", K_INT, PRF(cmd_y), "0"},
    {"hostPrint", K_BOOL, PRF(host_print), "False"},
    {"isToolBoxPersistent", K_BOOL, PRF(toolbox_persistent), "True"},
    {"useShowHideDecorations", K_BOOL, PRF(show_hide_decorations), "False"},
};

#define COUNT(a) (sizeof(a) / sizeof((a)[0]))

// The most commands the history file keeps.
const int kCommandsSavedMax = 50;

void ReadSet(const Desc *descs, size_t n, void *record) {
  XtResource *res = reinterpret_cast<XtResource *>(XtCalloc(Cardinal(n), sizeof(XtResource)));
  char **classes = reinterpret_cast<char **>(XtCalloc(Cardinal(n), sizeof(char *)));
  for (size_t i = 0; i < n; ++i) {
    classes[i] = XtNewString(descs[i].name);
    classes[i][0] = char(std::toupper(static_cast<unsigned char>(classes[i][0])));
    res[i].resource_name = const_cast<char *>(descs[i].name);
    res[i].resource_class = classes[i];
    switch (descs[i].kind) {
      case K_STRING:
        res[i].resource_type = const_cast<char *>(XtRString);
        res[i].resource_size = sizeof(String);
        break;
      case K_BOOL:
        res[i].resource_type = const_cast<char *>(XtRBoolean);
        res[i].resource_size = sizeof(Boolean);
        break;
      case K_INT:
        res[i].resource_type = const_cast<char *>(XtRInt);
        res[i].resource_size = sizeof(int);
        break;
    }
    res[i].resource_offset = Cardinal(descs[i].offset);
    res[i].default_type = const_cast<char *>(XtRString);
    res[i].default_addr = const_cast<char *>(descs[i].deflt);
  }
  XtGetApplicationResources(devb->toplevel, record, res, Cardinal(n), nullptr, 0);
  for (size_t i = 0; i < n; ++i) XtFree(classes[i]);
  XtFree(reinterpret_cast<char *>(classes));
  XtFree(reinterpret_cast<char *>(res));
}

// The value of one resource of a record as text: into `buf` for numbers
// and flags, the record's own string otherwise.
const char *ValueText(const Desc &desc, const void *record, char *buf, size_t size) {
  const char *field = static_cast<const char *>(record) + desc.offset;
  switch (desc.kind) {
    case K_STRING: {
      String s;
      std::memcpy(&s, field, sizeof s);
      return s ? s : "";
    }
    case K_BOOL: {
      Boolean b;
      std::memcpy(&b, field, sizeof b);
      return b ? "True" : "False";
    }
    case K_INT: {
      int v;
      std::memcpy(&v, field, sizeof v);
      std::snprintf(buf, size, "%d", v);
      return buf;
    }
  }
  return "";
}

// Lists one set; returns how many lines were written.
int ListSet(const Desc *descs, size_t n, const void *record, const char *name) {
  int listed = 0;
  for (size_t i = 0; i < n; ++i) {
    if (name && *name && strcasecmp(name, descs[i].name) != 0) continue;
    char value[32];
    wutlogf(QEV_LOG_NOTE, "QEV.%s: %s", descs[i].name, ValueText(descs[i], record, value, sizeof value));
    ++listed;
  }
  return listed;
}

wu_status List(const Desc *descs, size_t n, const void *record, const char *name) {
  if (!devb) return WU_NOTAVAIL;
  int listed = ListSet(descs, n, record, name);
  return (name && *name && listed == 0) ? WU_NOTAVAIL : WU_OK;
}

// Reads the preferences from the display's database, keeping the number
// of saved commands within what the history file holds.
void ReadPrefs() {
  ReadSet(kPrefRes, COUNT(kPrefRes), &devb->prefs);
  wu_preferences &p = devb->prefs;
  if (p.commands_saved > kCommandsSavedMax) {
    wutlogf(QEV_LOG_WARNING, "QEV.commandsSaved: %d is more than %d; %d is used.",
            p.commands_saved, kCommandsSavedMax, kCommandsSavedMax);
    p.commands_saved = kCommandsSavedMax;
  }
  if (p.commands_saved < 0) p.commands_saved = 0;
}

// The spellings of a flag value that the toolkit's converter accepts.
bool ParseFlag(const char *text, bool *value) {
  static const char *const kTrue[] = {"true", "yes", "on", "1"};
  static const char *const kFalse[] = {"false", "no", "off", "0"};
  for (const char *t : kTrue)
    if (strcasecmp(text, t) == 0) return *value = true;
  for (const char *f : kFalse)
    if (strcasecmp(text, f) == 0) return !(*value = false);
  return false;
}

}  // namespace

extern "C" {

void wutgres(void) {
  if (!devb || !devb->toplevel) return;
  // The user's preferences take precedence over the X defaults.
  const char *home = std::getenv("HOME");
  if (home && *home) {
    // Read here, bounded, rather than by the resource manager's own file
    // reader: it is handed only a terminated text it can parse safely.
    std::string path = std::string(home) + "/" WU_PREFS_FILE;
    if (XrmDatabase prefs = wuprefs::ReadDatabase(path)) {
      XrmDatabase db = XrmGetDatabase(devb->display);
      XrmMergeDatabases(prefs, &db);  // takes `prefs`; its values win
      XrmSetDatabase(devb->display, db);
    }
  }
  ReadSet(kDeviceRes, COUNT(kDeviceRes), &devb->devres);
  ReadSet(kAppRes, COUNT(kAppRes), &devb->appres);
  ReadSet(kMotifRes, COUNT(kMotifRes), &devb->motifres);
  ReadSet(kIconRes, COUNT(kIconRes), &devb->iconres);
  ReadPrefs();
}

wu_status wutqxm(const char *name) {
  return devb ? List(kMotifRes, COUNT(kMotifRes), &devb->motifres, name) : WU_NOTAVAIL;
}

wu_status wutqxt2(const char *name) {
  if (!devb) return WU_NOTAVAIL;
  int listed = ListSet(kDeviceRes, COUNT(kDeviceRes), &devb->devres, name) +
               ListSet(kAppRes, COUNT(kAppRes), &devb->appres, name);
  return (name && *name && listed == 0) ? WU_NOTAVAIL : WU_OK;
}

wu_status wutqicn(const char *name) {
  return devb ? List(kIconRes, COUNT(kIconRes), &devb->iconres, name) : WU_NOTAVAIL;
}

wu_status wutqprf(const char *name) {
  return devb ? List(kPrefRes, COUNT(kPrefRes), &devb->prefs, name) : WU_NOTAVAIL;
}

int32_t wutprfn(void) { return int32_t(COUNT(kPrefRes)); }

const char *wutprfg(int32_t index, int32_t *kind, char *value, int32_t size) {
  if (index < 0 || index >= wutprfn()) return nullptr;
  const Desc &d = kPrefRes[index];
  if (kind) *kind = d.kind == K_BOOL ? WU_PREF_BOOL : d.kind == K_INT ? WU_PREF_INT : WU_PREF_STRING;
  if (value && size > 0) {
    char number[32];
    const char *text = devb ? ValueText(d, &devb->prefs, number, sizeof number) : d.deflt;
    std::snprintf(value, size_t(size), "%s", text);
  }
  return d.name;
}

wu_status wutprfs(const char *name, const char *value) {
  if (!devb || !devb->display) return WU_NOTAVAIL;
  if (!name || !value) return WU_BADARG;
  const Desc *d = nullptr;
  for (const Desc &each : kPrefRes)
    if (std::strcmp(each.name, name) == 0) d = &each;
  if (!d) return WU_NOTAVAIL;
  // A value goes into the database as one line: control characters would
  // end it or be misread.
  for (const char *c = value; *c; ++c)
    if (std::iscntrl(static_cast<unsigned char>(*c))) return WU_BADARG;
  std::string text = value;
  if (d->kind == K_BOOL) {
    bool flag = false;
    if (!ParseFlag(value, &flag)) return WU_BADARG;
    text = flag ? "True" : "False";
  } else if (d->kind == K_INT) {
    char *end = nullptr;
    errno = 0;
    long v = std::strtol(value, &end, 10);
    while (end && std::isspace(static_cast<unsigned char>(*end))) ++end;
    if (end == value || !end || *end || errno == ERANGE || v < INT_MIN || v > INT_MAX)
      return WU_BADARG;
    text = std::to_string(v);
  }
  std::string spec = std::string("QEV.") + d->name;
  XrmDatabase db = XrmGetDatabase(devb->display);
  XrmPutStringResource(&db, spec.c_str(), text.c_str());
  XrmSetDatabase(devb->display, db);
  ReadPrefs();
  return WU_OK;
}

}  // extern "C"
