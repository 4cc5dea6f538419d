// The file selection dialog: a full application-modal XmFileSelectionDialog
// choosing a file or a directory.  The filter of the last selection is kept
// for callers that ask to keep it; a cancelled directory change can put the
// working directory back.
#include <X11/IntrinsicP.h>
#include <Xm/FileSB.h>
#include <Xm/Protocols.h>
#include <Xm/SelectioB.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>

#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "runtime/wureg.h"
#include "runtime/wutoolkit.h"

namespace {

std::string g_filter;          // the current filter pattern, empty before the first dialog
int32_t g_warning_level = 0;   // warning level of the next selection

struct Pick {
  Widget dialog;
  bool done;
  bool chosen;
  std::string path;
};

void OnOk(Widget, XtPointer client, XtPointer call) {
  Pick *p = static_cast<Pick *>(client);
  auto *cbs = static_cast<XmFileSelectionBoxCallbackStruct *>(call);
  char *text = cbs ? wumgstr(cbs->value) : nullptr;
  p->path = text ? text : "";
  XtFree(text);
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

Widget ParentOf(wu_window *window) {
  if (window && window->outer) return reinterpret_cast<Widget>(window->outer);
  return devb ? devb->toplevel : nullptr;
}

}  // namespace

extern "C" {

wu_status wumfsel(wu_window *window, const char *title, wu_fsel *request, const char *initial_file,
                  const char *initial_dir, const char *const *filters) {
  if (!request || (window && !wu_reg_has(window, WU_REG_WINDOW))) return WU_NOTAVAIL;
  request->length = 0;
  request->path[0] = '\0';
  request->write_mode = 0;
  Widget parent = ParentOf(window);
  if (!parent || !wu_x_ok()) return WU_NOTAVAIL;
  const bool directories = request->mode == WU_FSEL_DIRECTORY;
  char cwd[PATH_MAX] = "";
  if (!getcwd(cwd, sizeof cwd)) cwd[0] = '\0';

  std::string pattern = "*";
  if (request->keep == WU_FSEL_KEEP_FILTER && !g_filter.empty()) {
    pattern = g_filter;
  } else if (filters && filters[0] && *filters[0]) {
    pattern = filters[0];
  }
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
  Pick pick = {nullptr, false, false, std::string()};
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
  // A directory chosen by its list entry ends with a slash: drop it.
  std::string path = pick.path;
  if (directories && path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t len = std::min(path.size(), size_t(WU_FSEL_PATH_MAX - 1));
  std::memcpy(request->path, path.data(), len);
  request->path[len] = '\0';
  request->length = int32_t(len);
  return WU_OK;
}

wu_status wumfswl(int32_t level) {
  g_warning_level = level;
  return WU_OK;
}

const char *wumgfil(void) { return g_filter.empty() ? nullptr : g_filter.c_str(); }

}  // extern "C"
