// The file selection dialog: a full application-modal XmFileSelectionDialog
// choosing a file or a directory.  The filter of the last selection is kept
// for callers that ask to keep it; a cancelled directory change can put the
// working directory back.
#include <X11/IntrinsicP.h>
#include <Xm/ComboBox.h>
#include <Xm/FileSB.h>
#include <Xm/RowColumn.h>
#include <Xm/ToggleB.h>
#include <Xm/Protocols.h>
#include <Xm/SelectioB.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "runtime/wureg.h"
#include "runtime/wutoolkit.h"

namespace {

std::string g_filter;          // the current filter pattern, empty before the first dialog
int32_t g_warning_level = 0;   // warning level of the next selection

struct Pick {
  Widget dialog;
  bool directories;
  bool done;
  bool chosen;
  std::string path;
  bool append;
};

// The Append switch of a save, read when OK is pressed.
void OnAppend(Widget dialog, XtPointer client, XtPointer) {
  if (!dialog || dialog->core.being_destroyed) return;
  Pick *p = static_cast<Pick *>(client);
  Widget toggle = XtNameToWidget(dialog, "*qevFileAppend");
  p->append = toggle && XmToggleButtonGetState(toggle);
}

void OnOk(Widget, XtPointer client, XtPointer call) {
  Pick *p = static_cast<Pick *>(client);
  auto *cbs = static_cast<XmFileSelectionBoxCallbackStruct *>(call);
  char *text = cbs ? wumgstr(cbs->value) : nullptr;
  p->path = text ? text : "";
  XtFree(text);
  // A name typed without a directory is a file of the dialog's directory,
  // not of whatever directory the host works in.
  if (!p->path.empty() && p->path[0] != '/') {
    char *dir = cbs ? wumgstr(cbs->dir) : nullptr;
    if (dir && *dir) {
      std::string base = dir;
      if (base.back() != '/') base += '/';
      p->path = base + p->path;
    }
    XtFree(dir);
  }
  // A directory chosen by its list entry ends with a slash: drop it.
  if (p->directories && p->path.size() > 1 && p->path.back() == '/') p->path.pop_back();
  // The caller's record holds the path and its terminator whole: a longer
  // path is not taken, cut or otherwise, and the dialog stays up.
  if (p->path.size() > size_t(WU_FSEL_PATH_MAX - 1)) {
    XBell(XtDisplay(p->dialog), 0);
    wutlogf(QEV_LOG_WARNING, "The path chosen is %zu bytes long; at most %d are taken.",
            p->path.size(), WU_FSEL_PATH_MAX - 1);
    p->path.clear();
    return;
  }
  char *mask = cbs ? wumgstr(cbs->mask) : nullptr;
  if (mask && *mask) {
    // Keep only the pattern part of the mask (after the last slash).
    const char *slash = std::strrchr(mask, '/');
    g_filter = slash ? slash + 1 : mask;
  }
  XtFree(mask);
  p->chosen = !p->path.empty();
  p->done = true;
  XtUnmanageChild(p->dialog);
}

void OnCancel(Widget, XtPointer client, XtPointer) {
  Pick *p = static_cast<Pick *>(client);
  p->done = true;
  p->chosen = false;
  if (p->dialog) XtUnmanageChild(p->dialog);
}

// The patterns of a filter list that can be offered, in order.
std::vector<std::string> Patterns(const wu_fsel_filters *filters) {
  std::vector<std::string> out;
  if (!filters) return out;
  const int32_t count = std::min<int32_t>(filters->count, WU_FSEL_FILTERS_MAX);
  for (int32_t i = 0; i < count; ++i) {
    const wu_fsel_pattern &p = filters->patterns[i];
    if (!p.text || p.length <= 0 || p.length > WU_FSEL_PATTERN_MAX) continue;
    // A pattern ends at its first NUL, if it has one.
    const size_t n = strnlen(p.text, size_t(p.length));
    if (n > 0) out.emplace_back(p.text, n);
  }
  return out;
}

// A filter picked in the list becomes the dialog's pattern.
void OnFilter(Widget combo, XtPointer client, XtPointer call) {
  auto *cbs = static_cast<XmComboBoxCallbackStruct *>(call);
  Widget dialog = static_cast<Widget>(client);
  if (!cbs || !cbs->item_or_text || !dialog || dialog->core.being_destroyed) return;
  (void)combo;
  XtVaSetValues(dialog, XmNpattern, cbs->item_or_text, nullptr);
  XmFileSelectionDoSearch(dialog, nullptr);
}

// The work area of the dialog: the list of filters when there is more than
// one to choose from, and the Append switch of a save.
Widget AddChoices(Widget dialog, const std::vector<std::string> &patterns, size_t shown,
                  bool offer_append) {
  if (patterns.size() < 2 && !offer_append) return nullptr;
  Widget area = XtVaCreateManagedWidget("qevFileChoices", xmRowColumnWidgetClass, dialog,
                                        XmNorientation, XmHORIZONTAL, nullptr);
  if (patterns.size() >= 2) {
    std::vector<XmString> items;
    for (const std::string &p : patterns) items.push_back(wumcstr(p.c_str()));
    // The combo box counts its positions from 0.
    Widget combo = XtVaCreateManagedWidget(
        "qevFileFilters", xmComboBoxWidgetClass, area, XmNcomboBoxType, XmDROP_DOWN_LIST,
        XmNitems, items.data(), XmNitemCount, int(items.size()),
        XmNvisibleItemCount, int(std::min<size_t>(items.size(), 10)), XmNselectedPosition,
        int(shown), nullptr);
    for (XmString s : items) XmStringFree(s);
    XtAddCallback(combo, XmNselectionCallback, OnFilter, dialog);
  }
  Widget append = nullptr;
  if (offer_append) {
    XmString label = wumcstr("Append");
    append = XtVaCreateManagedWidget("qevFileAppend", xmToggleButtonWidgetClass, area,
                                     XmNlabelString, label, XmNset, False, nullptr);
    XmStringFree(label);
  }
  return append;
}

Widget ParentOf(wu_window *window) {
  if (window && window->outer) return reinterpret_cast<Widget>(window->outer);
  return devb ? devb->toplevel : nullptr;
}

}  // namespace

extern "C" {

wu_status wumfsel(wu_window *window, const char *title, wu_fsel *request, const char *initial_file,
                  const char *initial_dir, const wu_fsel_filters *filters) {
  if (!request || (window && !wu_reg_has(window, WU_REG_WINDOW))) return WU_NOTAVAIL;
  request->length = 0;
  request->path[0] = '\0';
  request->write_mode = 0;
  Widget parent = ParentOf(window);
  if (!parent || !wu_x_ok()) return WU_NOTAVAIL;
  const bool directories = request->mode == WU_FSEL_DIRECTORY;
  char cwd[PATH_MAX] = "";
  if (!getcwd(cwd, sizeof cwd)) cwd[0] = '\0';

  // The caller's filters are all offered.  With keep -1 the caller's own
  // filter shows first; otherwise the last selection's filter when it is
  // one of them.
  const std::vector<std::string> patterns = Patterns(filters);
  size_t shown = 0;
  if (request->keep != WU_FSEL_KEEP_FILTER && !g_filter.empty())
    for (size_t i = 0; i < patterns.size(); ++i)
      if (patterns[i] == g_filter) shown = i;
  std::string pattern = patterns.empty() ? "*" : patterns[shown];
  const bool offer_append = !directories && g_warning_level == WU_FSEL_LEVEL_SAVE;
  Arg args[10];
  Cardinal n = 0;
  XmString caption = wumcstr(title && *title ? title : (directories ? "Directory" : "File"));
  XmString xpattern = wumcstr(directories ? "*" : pattern.c_str());
  XmString xdir = (initial_dir && *initial_dir) ? wumcstr(initial_dir) : nullptr;
  XtSetArg(args[n], XmNdialogTitle, caption); n++;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL); n++;
  XtSetArg(args[n], XmNdeleteResponse, XmDO_NOTHING); n++;
  XtSetArg(args[n], XmNautoUnmanage, False); n++;
  XtSetArg(args[n], XmNpattern, xpattern); n++;
  XtSetArg(args[n], XmNfileTypeMask, directories ? XmFILE_DIRECTORY : XmFILE_REGULAR); n++;
  if (xdir) {
    XtSetArg(args[n], XmNdirectory, xdir); n++;
  }
  Pick pick = {nullptr, directories, false, false, std::string(), false};
  pick.dialog = XmCreateFileSelectionDialog(parent, const_cast<char *>("qevFileSelection"), args, n);
  XmStringFree(caption);
  XmStringFree(xpattern);
  if (xdir) XmStringFree(xdir);
  XtUnmanageChild(XmFileSelectionBoxGetChild(pick.dialog, XmDIALOG_HELP_BUTTON));
  if (initial_file && *initial_file) {
    Widget text = XmFileSelectionBoxGetChild(pick.dialog, XmDIALOG_TEXT);
    std::string full = initial_file;
    if (initial_file[0] != '/' && initial_dir && *initial_dir)
      full = std::string(initial_dir) + (initial_dir[std::strlen(initial_dir) - 1] == '/' ? "" : "/") +
             initial_file;
    XmTextSetString(text, const_cast<char *>(full.c_str()));
  }
  Widget append = directories ? nullptr : AddChoices(pick.dialog, patterns, shown, offer_append);
  // The Append switch is read before OK takes the dialog down.
  if (append) XtAddCallback(pick.dialog, XmNokCallback, OnAppend, &pick);
  XtAddCallback(pick.dialog, XmNokCallback, OnOk, &pick);
  XtAddCallback(pick.dialog, XmNcancelCallback, OnCancel, &pick);
  Widget shell = XtParent(pick.dialog);
  XmAddWMProtocolCallback(shell, devb->wm_delete_window, OnCancel, &pick);
  wutashl(shell);
  if (!g_filter.empty() || !directories) g_filter = pattern;

  XtManageChild(pick.dialog);
  // The dialog ends as a cancel when it is destroyed or the display is lost.
  const bool answered = wumwdlg(pick.dialog, window) == WU_OK;
  g_warning_level = 0;
  if (!answered || !pick.chosen) {
    if (request->keep == WU_FSEL_RESTORE_CWD && cwd[0] && chdir(cwd) != 0)
      wutlogf(QEV_LOG_WARNING, "The working directory %s cannot be restored.", cwd);
    return WU_CANCELLED;
  }
  const std::string &path = pick.path;
  const size_t len = std::min(path.size(), size_t(WU_FSEL_PATH_MAX - 1));
  std::memcpy(request->path, path.data(), len);
  request->path[len] = '\0';
  request->length = int32_t(len);
  if (pick.append) request->write_mode = WU_FSEL_APPEND;
  return WU_OK;
}

wu_status wumfswl(int32_t level) {
  g_warning_level = level;
  return WU_OK;
}

const char *wumgfil(void) { return g_filter.empty() ? nullptr : g_filter.c_str(); }

}  // extern "C"
