// The preferences dialog and the preferences file.  The dialog shows the
// user's settings (flags as toggles, numbers and names as text fields); OK
// checks every value, applies them to the running module and saves them to
// QEVUSERPREFS in the home directory, one "QEV.name: value" line per
// setting.  Saving keeps the file's other lines (comments, other resources)
// and replaces the file as a whole only once the new one is written, so a
// failed save never leaves a cut file behind.
#include <X11/Intrinsic.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/Protocols.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Separator.h>
#include <Xm/TextF.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "runtime/wureg.h"
#include "runtime/wutoolkit.h"
#include "runtime/wutprff.h"

namespace {

// The settings the user edits here, with their labels.  The others (the
// saved command-window position) are kept by the module itself and only
// saved.
struct Shown {
  const char *name;
  const char *label;
};
const Shown kShown[] = {
    {"useToolBoxTips", "Show tool box tips"},
    {"toolBoxTipDelay", "Tip delay (milliseconds):"},
    {"toolBoxAlwaysOnTop", "Keep the tool box on top"},
    {"defaultToolBox", "Load the default tool box"},
    {"useCommandToolBoxCombo", "Command box in the tool box"},
    {"autoComplete", "Complete commands as they are typed"},
    {"commandsSaved", "Commands saved (0 to 50):"},
    {"confirmQEVExit", "Confirm exit"},
    {"usePmenuMnemonics", "Menu mnemonics"},
    {"suppressMenuIcons", "Hide menu icons"},
    {"usePmenuTearOffs", "Tear-off menus"},
    {"menuBackground", "Menu background:"},
    {"menuForeground", "Menu foreground:"},
    {"hostPrint", "Print through the host"},
};

const int kValueMax = 4096;
const int kFieldColumns = 20;

struct Entry {
  const char *name;
  int32_t kind;
  Widget widget;  // toggle or text field
};

struct Dialog {
  Widget form;
  std::vector<Entry> entries;
  bool done;
  bool saved;
  wu_status status;
};

const char *LabelOf(const char *name) {
  for (const Shown &s : kShown)
    if (std::strcmp(s.name, name) == 0) return s.label;
  return nullptr;
}

std::string PrefsPath() {
  const char *home = std::getenv("HOME");
  if (!home || !*home) return std::string();
  return std::string(home) + "/" WU_PREFS_FILE;
}

// The text a setting has in the dialog.
std::string EntryText(const Entry &e) {
  if (e.kind == WU_PREF_BOOL) return XmToggleButtonGetState(e.widget) ? "True" : "False";
  char *text = XmTextFieldGetString(e.widget);
  std::string s = text ? text : "";
  XtFree(text);
  // Blanks around a value mean nothing to the resource database.
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Why a value cannot be taken, or null when it can.
const char *Invalid(const Entry &e, const std::string &text) {
  for (unsigned char c : text)
    if (std::iscntrl(c)) return "contains a control character";
  if (e.kind != WU_PREF_INT) return nullptr;
  char *end = nullptr;
  errno = 0;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || errno == ERANGE || v < INT_MIN || v > INT_MAX) return "is not a whole number";
  return nullptr;
}

// A value as the resource database reads it back: a backslash is doubled
// and a control character (which could end the line) is written as an
// octal escape.
std::string Escaped(const std::string &value) {
  std::string out;
  for (char c : value) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (u < 0x20 || u == 0x7f) {
      char octal[8];
      std::snprintf(octal, sizeof octal, "\\%03o", u);
      out += octal;
    } else {
      out += c;
    }
  }
  return out;
}

// The setting a line of the file gives ("QEV.name:"), or an empty name.
std::string SettingOf(const std::string &line) {
  size_t i = line.find_first_not_of(" \t");
  if (i == std::string::npos || line.compare(i, 4, "QEV.") != 0) return std::string();
  i += 4;
  size_t end = line.find_first_of(" \t:", i);
  if (end == std::string::npos) return std::string();
  size_t colon = line.find_first_not_of(" \t", end);
  if (colon == std::string::npos || line[colon] != ':') return std::string();
  return line.substr(i, end - i);
}

const char *PrefName(int32_t index) { return wutprfg(index, nullptr, nullptr, 0); }

// The index of a preference by name, or -1.
int32_t PrefIndex(const std::string &name) {
  for (int32_t i = 0; i < wutprfn(); ++i)
    if (name == PrefName(i)) return i;
  return -1;
}

// A line of the saved file: one the user owns, kept byte for byte, or the
// place of a preference setting, written with the current value.
struct Line {
  std::string text;    // kept as it stands when `pref` is -1
  int32_t pref = -1;   // index of the preference written here
};

// Writes the module's current preferences to the file; WU_OK or WU_NOTAVAIL
// (the reason is logged).
wu_status SavePrefs() {
  const std::string path = PrefsPath();
  if (path.empty()) {
    wutlogf(QEV_LOG_ERROR, "The preferences cannot be saved: HOME is not set.");
    return WU_NOTAVAIL;
  }
  // A file that is there but cannot be read whole is not replaced: its
  // lines would be lost.
  std::string bytes, why;
  if (wuprefs::ReadFile(path, &bytes, &why) == wuprefs::ReadResult::kFailed) {
    wutlogf(QEV_LOG_ERROR, "The preferences file %s cannot be written: it cannot be read: %s.",
            path.c_str(), why.c_str());
    return WU_NOTAVAIL;
  }
  // Lines that are not preference settings stay as they are, in their order;
  // each setting is written once, where the file had it first.
  std::vector<Line> lines;
  std::vector<bool> placed(size_t(wutprfn()), false);
  for (std::string &text : wuprefs::SplitLines(bytes)) {
    const int32_t pref = PrefIndex(SettingOf(text));
    if (pref < 0) {
      lines.push_back(Line{std::move(text), -1});
    } else if (!placed[size_t(pref)]) {
      placed[size_t(pref)] = true;
      lines.push_back(Line{std::string(), pref});
    }
  }
  for (int32_t i = 0; i < wutprfn(); ++i)
    if (!placed[size_t(i)]) lines.push_back(Line{std::string(), i});

  const std::string temp = path + ".new";
  FILE *out = std::fopen(temp.c_str(), "w");
  if (!out) {
    wutlogf(QEV_LOG_ERROR, "The preferences file %s cannot be written: %s.", temp.c_str(),
            std::strerror(errno));
    return WU_NOTAVAIL;
  }
  bool ok = true;
  for (const Line &l : lines) {
    if (l.pref >= 0) {
      char value[kValueMax];
      const char *name = wutprfg(l.pref, nullptr, value, sizeof value);
      ok = ok && std::fprintf(out, "QEV.%s: %s\n", name, Escaped(value).c_str()) > 0;
    } else {
      ok = ok && std::fwrite(l.text.data(), 1, l.text.size(), out) == l.text.size() &&
           std::fputc('\n', out) != EOF;
    }
  }
  ok = (std::fflush(out) == 0) && ok;
  ok = (fsync(fileno(out)) == 0) && ok;
  // The replaced file keeps its permissions.
  struct stat st;
  if (ok && stat(path.c_str(), &st) == 0) fchmod(fileno(out), st.st_mode & 07777);
  ok = (std::fclose(out) == 0) && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    wutlogf(QEV_LOG_ERROR, "The preferences file %s cannot be written: %s.", path.c_str(),
            std::strerror(errno));
    std::remove(temp.c_str());
    return WU_NOTAVAIL;
  }
  return WU_OK;
}

void OnOk(Widget, XtPointer client, XtPointer) {
  Dialog *d = static_cast<Dialog *>(client);
  // Every value is checked before any is applied: a refused value leaves
  // the module and the file as they were, and the dialog up.
  for (const Entry &e : d->entries) {
    const std::string text = EntryText(e);
    if (const char *why = Invalid(e, text)) {
      std::string message = std::string("\"") + LabelOf(e.name) + "\" " + why + ".";
      wumpmsg(XtParent(d->form), message.c_str(), WU_MSG_ERROR, 0);
      XmProcessTraversal(e.widget, XmTRAVERSE_CURRENT);
      return;
    }
  }
  for (const Entry &e : d->entries) {
    wu_status st = wutprfs(e.name, EntryText(e).c_str());
    if (st != WU_OK) wutlogf(QEV_LOG_ERROR, "The preference %s cannot be set.", e.name);
  }
  d->status = SavePrefs();
  if (d->status != WU_OK)
    wumpmsg(XtParent(d->form), "The preferences apply to this session but cannot be saved.",
            WU_MSG_ERROR, 0);
  d->saved = true;
  d->done = true;
  XtUnmanageChild(d->form);
}

void OnCancel(Widget, XtPointer client, XtPointer) {
  Dialog *d = static_cast<Dialog *>(client);
  d->done = true;
  if (d->form) XtUnmanageChild(d->form);
}

void AddEntry(Dialog *d, Widget column, int32_t index) {
  char value[kValueMax];
  int32_t kind = WU_PREF_STRING;
  const char *name = wutprfg(index, &kind, value, sizeof value);
  const char *label = LabelOf(name);
  if (!label) return;
  XmString s = wumcstr(label);
  Widget w;
  if (kind == WU_PREF_BOOL) {
    w = XtVaCreateManagedWidget(name, xmToggleButtonWidgetClass, column, XmNlabelString, s, XmNset,
                                std::strcmp(value, "True") == 0 ? XmSET : XmUNSET, nullptr);
  } else {
    Widget row = XtVaCreateManagedWidget("row", xmRowColumnWidgetClass, column, XmNorientation,
                                         XmHORIZONTAL, nullptr);
    XtVaCreateManagedWidget("label", xmLabelWidgetClass, row, XmNlabelString, s, nullptr);
    w = XtVaCreateManagedWidget(name, xmTextFieldWidgetClass, row, XmNcolumns, kFieldColumns, XmNvalue,
                                value, nullptr);
  }
  XmStringFree(s);
  d->entries.push_back(Entry{name, kind, w});
}

Widget Button(Widget parent, const char *name, const char *label, XtCallbackProc proc, Dialog *d) {
  XmString s = wumcstr(label);
  Widget b = XtVaCreateManagedWidget(name, xmPushButtonWidgetClass, parent, XmNlabelString, s, nullptr);
  XmStringFree(s);
  XtAddCallback(b, XmNactivateCallback, proc, d);
  return b;
}

}  // namespace

extern "C" {

wu_status wumpref(wu_window *window) {
  if (!wu_x_ok() || (window && !wu_reg_has(window, WU_REG_WINDOW))) return WU_NOTAVAIL;
  Widget parent = (window && window->outer) ? reinterpret_cast<Widget>(window->outer) : devb->toplevel;
  Dialog d{nullptr, {}, false, false, WU_OK};
  XmString title = wumcstr("Preferences");
  Arg args[5];
  Cardinal n = 0;
  XtSetArg(args[n], XmNdialogTitle, title); n++;
  XtSetArg(args[n], XmNautoUnmanage, False); n++;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL); n++;
  XtSetArg(args[n], XmNdeleteResponse, XmDO_NOTHING); n++;
  d.form = XmCreateFormDialog(parent, const_cast<char *>("qevPreferences"), args, n);
  XmStringFree(title);
  Widget shell = XtParent(d.form);

  Widget column = XtVaCreateManagedWidget(
      "column", xmRowColumnWidgetClass, d.form, XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment,
      XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  for (int32_t i = 0; i < wutprfn(); ++i) AddEntry(&d, column, i);
  XtVaCreateManagedWidget("separator", xmSeparatorWidgetClass, column, nullptr);
  Widget buttons = XtVaCreateManagedWidget("buttons", xmRowColumnWidgetClass, column, XmNorientation,
                                           XmHORIZONTAL, XmNpacking, XmPACK_COLUMN, nullptr);
  Widget ok = Button(buttons, "ok", "OK", OnOk, &d);
  Widget cancel = Button(buttons, "cancel", "Cancel", OnCancel, &d);
  XtVaSetValues(d.form, XmNdefaultButton, ok, XmNcancelButton, cancel, nullptr);
  XmAddWMProtocolCallback(shell, devb->wm_delete_window, OnCancel, &d);
  wutashl(shell);

  XtManageChild(d.form);
  if (wumwdlg(d.form, window) != WU_OK) return WU_CANCELLED;
  if (!d.saved) return WU_CANCELLED;
  return d.status;
}

}  // extern "C"
