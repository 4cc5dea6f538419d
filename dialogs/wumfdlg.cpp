// The Find/Change dialog: one modeless dialog for the whole module, shown
// as Find (the search text only) or Change (search and replacement texts).
// It acts on a target window: its buttons queue the host's search commands
// for that window, as if the user had typed them, and the dialog follows
// the active window (wumndlg).  When the target window goes away the dialog
// closes, so it never queues for a window that no longer exists.
//
// Commands queued:  FIND 'text' [ICASE]
//                   CHANGE 'text' 'replacement' [ALL] [ICASE]
// with a quote inside a text doubled.
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

#include <string>

#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

// Option flags of a queued command, as the command window queues them.
const int32_t kCopyText = 1;
const int32_t kCommandFlag1 = 1;
const int32_t kCommandFlag2 = 0;

struct FindDialog {
  Widget shell;
  Widget form;
  Widget find_text;
  Widget change_row;
  Widget change_text;
  Widget ignore_case;
  Widget change_button;
  Widget change_all_button;
  wu_window *target;
};
FindDialog g_dlg;

// The text quoted for the host's command line.
std::string Quoted(const char *text) {
  std::string q = "'";
  for (const char *c = text; *c; ++c) {
    if (*c == '\'') q += '\'';
    q += *c;
  }
  return q + "'";
}

std::string FieldText(Widget field) {
  char *text = XmTextFieldGetString(field);
  std::string s = text ? text : "";
  XtFree(text);
  return s;
}

enum Action { kFind, kChange, kChangeAll };

void Queue(Action action) {
  const std::string what = FieldText(g_dlg.find_text);
  if (!g_dlg.target || what.empty()) {
    wutalrm();
    return;
  }
  std::string command;
  if (action == kFind) {
    command = "FIND " + Quoted(what.c_str());
  } else {
    command = "CHANGE " + Quoted(what.c_str()) + " " + Quoted(FieldText(g_dlg.change_text).c_str());
    if (action == kChangeAll) command += " ALL";
  }
  if (XmToggleButtonGetState(g_dlg.ignore_case)) command += " ICASE";
  wu_status st = wuxqcmd(g_dlg.target, command.c_str(), -1, kCopyText, kCommandFlag1, kCommandFlag2);
  if (st != WU_OK) {
    wutlogf(QEV_LOG_ERROR, "The command \"%s\" cannot be queued (status 0x%x).", command.c_str(),
            unsigned(st));
    wutalrm();
  }
}

void OnFind(Widget, XtPointer, XtPointer) { Queue(kFind); }
void OnChange(Widget, XtPointer, XtPointer) { Queue(kChange); }
void OnChangeAll(Widget, XtPointer, XtPointer) { Queue(kChangeAll); }
void OnClose(Widget, XtPointer, XtPointer) {
  if (g_dlg.form) XtUnmanageChild(g_dlg.form);
}
void OnDestroyed(Widget, XtPointer, XtPointer) { g_dlg = FindDialog(); }

Widget Button(Widget parent, const char *name, const char *label, XtCallbackProc proc) {
  XmString s = wumcstr(label);
  Widget b = XtVaCreateManagedWidget(name, xmPushButtonWidgetClass, parent, XmNlabelString, s, nullptr);
  XmStringFree(s);
  XtAddCallback(b, XmNactivateCallback, proc, nullptr);
  return b;
}

// A row of a label and a text field; returns the field.
Widget TextRow(Widget parent, const char *row_name, const char *field_name, const char *label,
               Widget *row_out) {
  Widget row = XtVaCreateManagedWidget(row_name, xmRowColumnWidgetClass, parent, XmNorientation,
                                       XmHORIZONTAL, nullptr);
  XmString s = wumcstr(label);
  XtVaCreateManagedWidget("label", xmLabelWidgetClass, row, XmNlabelString, s, nullptr);
  XmStringFree(s);
  Widget field = XtVaCreateManagedWidget(field_name, xmTextFieldWidgetClass, row, XmNcolumns, 30, nullptr);
  if (row_out) *row_out = row;
  return field;
}

void Build() {
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNautoUnmanage, False); n++;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_MODELESS); n++;
  XtSetArg(args[n], XmNdeleteResponse, XmUNMAP); n++;
  g_dlg.form = XmCreateFormDialog(devb->toplevel, const_cast<char *>("qevFindChange"), args, n);
  g_dlg.shell = XtParent(g_dlg.form);
  XtAddCallback(g_dlg.shell, XmNdestroyCallback, OnDestroyed, nullptr);

  Widget column = XtVaCreateManagedWidget(
      "column", xmRowColumnWidgetClass, g_dlg.form, XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment,
      XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  g_dlg.find_text = TextRow(column, "findRow", "findText", "Find what:", nullptr);
  g_dlg.change_text = TextRow(column, "changeRow", "changeText", "Change to:", &g_dlg.change_row);
  XmString s = wumcstr("Ignore case");
  g_dlg.ignore_case =
      XtVaCreateManagedWidget("ignoreCase", xmToggleButtonWidgetClass, column, XmNlabelString, s, nullptr);
  XmStringFree(s);
  XtVaCreateManagedWidget("separator", xmSeparatorWidgetClass, column, nullptr);
  Widget buttons = XtVaCreateManagedWidget("buttons", xmRowColumnWidgetClass, column, XmNorientation,
                                           XmHORIZONTAL, XmNpacking, XmPACK_COLUMN, nullptr);
  Widget find = Button(buttons, "find", "Find Next", OnFind);
  g_dlg.change_button = Button(buttons, "change", "Change", OnChange);
  g_dlg.change_all_button = Button(buttons, "changeAll", "Change All", OnChangeAll);
  Button(buttons, "close", "Close", OnClose);
  // Return in the search text finds the next occurrence.
  XtAddCallback(g_dlg.find_text, XmNactivateCallback, OnFind, nullptr);
  XtVaSetValues(g_dlg.form, XmNdefaultButton, find, XmNinitialFocus, column, nullptr);
  wutashl(g_dlg.shell);
}

void SetMode(int32_t code) {
  const bool change = code == WU_FDLG_CHANGE;
  for (Widget part : {g_dlg.change_row, g_dlg.change_button, g_dlg.change_all_button}) {
    if (change)
      XtManageChild(part);
    else
      XtUnmanageChild(part);
  }
  XmString title = wumcstr(change ? "Change" : "Find");
  XtVaSetValues(g_dlg.form, XmNdialogTitle, title, nullptr);
  XmStringFree(title);
}

}  // namespace

extern "C" {

wu_status wumfdlg(wu_window *window, int32_t code) {
  if (code != WU_FDLG_FIND && code != WU_FDLG_CHANGE) return WU_NOTAVAIL;
  if (!window) return WU_BADARG;
  if (!wu_x_ok()) return WU_NOTAVAIL;
  if (!g_dlg.form) Build();
  g_dlg.target = window;
  SetMode(code);
  if (XtIsManaged(g_dlg.form)) {
    // Already up: bring it to the front for the new request.
    XtPopup(g_dlg.shell, XtGrabNone);
    if (XtIsRealized(g_dlg.shell)) XRaiseWindow(XtDisplay(g_dlg.shell), XtWindow(g_dlg.shell));
  } else {
    XtManageChild(g_dlg.form);
  }
  XmProcessTraversal(g_dlg.find_text, XmTRAVERSE_CURRENT);
  return WU_OK;
}

wu_status wumndlg(wu_window *window) {
  if (window && g_dlg.form && XtIsManaged(g_dlg.form)) g_dlg.target = window;
  return WU_OK;
}

void wumfdwn(wu_window *window) {
  if (!window || g_dlg.target != window) return;
  g_dlg.target = nullptr;
  if (g_dlg.form && wu_x_ok()) XtUnmanageChild(g_dlg.form);
}

}  // extern "C"
