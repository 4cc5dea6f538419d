// The Tool Editor: its modal dialog, the preview window of the edited copy,
// the bottom row (Open, Save, Save As, Default, Close, Help), the Open/Save
// dialog, the end of the editor with the reload of a box saved where its
// window reads it, and wumebar, which prepares the box a window edits.
#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/ArrowB.h>
#include <Xm/DialogS.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/MwmUtil.h>
#include <Xm/Protocols.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/ScrolledW.h>
#include <Xm/Separator.h>
#include <Xm/TextF.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "commands/wucmds.h"
#include "controls/wucombo.h"
#include "dialogs/wudialog.h"
#include "frames/wuframes.h"
#include "frames/wutframe.h"
#include "toolbox/wumtled.h"
#include "qev/flags.h"
#include "runtime/wufmt.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "xd/IconList.h"

// The combo box builder of the controls layer.
extern "C" wu_status wutgcbo(Widget parent, wu_combo *cb) __attribute__((weak));

wu_editor *wu_ed = nullptr;
wu_editor_names wu_edn;

namespace {

const int32_t kEditorOffsetX = 50;     // the editor opens this far right of its window
const int32_t kEditorOffsetY = 20;     // and this far down
const int32_t kGap = 5;                // offsets inside the editor's forms
const int32_t kPerRowWidth = 50;
const int32_t kPreviewRightGap = 15;   // a one-column preview sits right of the editor
const int32_t kPreviewBelowX = 20;     // a wider one below it
const int32_t kPreviewBelowY = 37;
const int32_t kFieldColumns = 32;
const int32_t kActionListSize = 300;
const int32_t kDefaultTipDelay = 750;   // ms, for a box that names no delay
const int32_t kReloadSize = 200;
const int32_t kEditorEnded = 1027;     // module event: the Tool Editor ended
const int32_t kMultiTaskKind = 114;    // window kind whose tasks reload themselves
const int32_t kUpperCase = 2;          // host translation table: to upper case
const int32_t kTaskNameMax = 8;
const int32_t kNotReadSkip = 3;        // leading characters of the Open failure text
const char kReload[] = ";TOOLLOAD WINDOW %8b.%32b.%32b;";
const char kHelpLibref[] = "QEVHELP ";
const int32_t kMwmFunctions = MWM_FUNC_MOVE;
const int32_t kMwmDecorationsMwm = MWM_DECOR_TITLE;
const int32_t kMwmDecorationsOther = MWM_DECOR_TITLE | MWM_DECOR_BORDER;

qev_arg TextArg(const char *text) {
  return qev_arg{QEV_ARG_TEXT, int32_t(std::strlen(text)), text, 0};
}

// A host text used as a format, through the checked formatter.
std::string Format(const char *format, int32_t nargs, const qev_arg *args) {
  if (!format) return std::string();
  char out[1024];
  wutsfmt(out, int32_t(sizeof out), format, -1, nargs, args);
  return out;
}

// Library, catalog, entry and type as the arguments of the location texts.
std::string FormatLocation(const char *format) {
  qev_arg a[4] = {TextArg(wu_edn.library), TextArg(wu_edn.catalog), TextArg(wu_edn.entry),
                  TextArg(wu_edn.type)};
  return Format(format, 4, a);
}

bool MotifWm() {
  return wu_x_ok() && XmIsMotifWMRunning(devb->toplevel);
}

Widget Shell(Widget w) { return w ? XtParent(w) : nullptr; }

// The single place where the editor waits: until `done` is set, the widget
// is unmanaged or destroyed, the editor ends, or the display is lost.
// The module's shared modal wait does the turning: it ends when the widget
// is destroyed, the window released, the display lost or a shut-down asked
// for, and each of those ends the editor.
void Wait(Widget w, const int32_t *answer) {
  wu_editor *ed = wu_ed;
  if (wu_ed_gone(ed) || w == nullptr) return;
  int32_t destroyed = 0;
  const wu_status st = wumwans(w, ed->window, answer, WU_TE_WAITING, &destroyed);
  if (ed != wu_ed) return;
  if (st != WU_OK || destroyed || wu_term_pending() || !wu_reg_alive(ed->window_hold))
    ed->ending = true;
}

// The editor's actions are entered once for each start of the toolkit:
// Xt keeps every table it is given for the life of the application.
bool g_actions_added = false;

void ActionsGone(Widget, XtPointer, XtPointer) { g_actions_added = false; }

void AddActions() {
  if (g_actions_added) return;
  static XtActionsRec actions[] = {
      {const_cast<char *>("PushMeToolBarButton"), wumtlph},
      {const_cast<char *>("PushMeBrowserButton"), wumtlbb},
      {const_cast<char *>("DoubleClickSelector"), wumtlbd},
      {const_cast<char *>("DoubleClickToolBar"), wumtldc},
  };
  XtAppAddActions(devb->app, actions, XtNumber(actions));
  // The toplevel goes with the toolkit; the next start enters them again.
  XtAddCallback(devb->toplevel, XmNdestroyCallback, ActionsGone, nullptr);
  g_actions_added = true;
}

void WidgetGone(Widget w, XtPointer client, XtPointer) {
  wu_editor *ed = static_cast<wu_editor *>(client);
  if (ed != wu_ed) return;
  if (w == ed->dialog) {
    ed->dialog = nullptr;
    ed->ending = true;
  } else if (w == ed->preview) {
    ed->preview = nullptr;
    ed->preview_rowcol = nullptr;
    ed->preview_tip = nullptr;
  }
}

Widget Label(Widget parent, const char *name, XmString text, Arg *extra = nullptr, Cardinal extra_n = 0) {
  Arg args[16];
  Cardinal n = wu_ed_args(args, 0);
  XtSetArg(args[n], XmNlabelString, text); ++n;
  for (Cardinal i = 0; i < extra_n && n < XtNumber(args); ++i) args[n++] = extra[i];
  Widget w = XmCreateLabel(parent, const_cast<char *>(name), args, n);
  XtManageChild(w);
  return w;
}

Widget LabelText(Widget parent, const char *text) {
  XmString xs = wumcl2r(text ? text : "");
  Widget w = Label(parent, "Label", xs);
  XmStringFree(xs);
  return w;
}

Widget Button(Widget parent, XmString label, XtCallbackProc proc, intptr_t code) {
  Arg args[8];
  Cardinal n = wu_ed_args(args, 0);
  XtSetArg(args[n], XmNlabelString, label); ++n;
  Widget b = XmCreatePushButton(parent, const_cast<char *>("PushButton"), args, n);
  XtAddCallback(b, XmNactivateCallback, proc, reinterpret_cast<XtPointer>(code));
  XtManageChild(b);
  return b;
}

Widget TextButton(Widget parent, const char *text, XtCallbackProc proc, intptr_t code) {
  XmString xs = wumcstr(text ? text : "");
  Widget b = Button(parent, xs, proc, code);
  XmStringFree(xs);
  return b;
}

Widget HostButton(Widget parent, int32_t number, XtCallbackProc proc, intptr_t code) {
  XmString xs = wu_ed_label(number);
  Widget b = Button(parent, xs, proc, code);
  XmStringFree(xs);
  return b;
}

Widget TextField(Widget parent, int32_t columns, int32_t max_length) {
  Arg args[12];
  Cardinal n = wu_ed_args(args, 0);
  if (columns > 0) { XtSetArg(args[n], XmNcolumns, columns); ++n; }
  if (max_length > 0) { XtSetArg(args[n], XmNmaxLength, max_length); ++n; }
  Widget t = XmCreateTextField(parent, const_cast<char *>("TextField"), args, n);
  XtManageChild(t);
  return t;
}

void Attach(Widget w, Widget above, Widget left) {
  XtVaSetValues(w, XmNtopAttachment, above ? XmATTACH_WIDGET : XmATTACH_FORM, XmNtopWidget, above,
                XmNtopOffset, kGap, XmNleftAttachment, left ? XmATTACH_WIDGET : XmATTACH_FORM,
                XmNleftWidget, left, XmNleftOffset, kGap, nullptr);
}

// Lines up fields behind their labels: every field starts past the widest.
void AlignFields(const std::vector<std::pair<Widget, Widget>> &rows) {
  Dimension widest = 0;
  for (const auto &r : rows) {
    Dimension w = 0;
    XtVaGetValues(r.first, XmNwidth, &w, nullptr);
    widest = std::max(widest, w);
  }
  for (const auto &r : rows)
    XtVaSetValues(r.second, XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, int(widest) + 2 * kGap,
                  nullptr);
}

// A dialog of the editor: full application modal, nothing unmanaged by its
// buttons, a separator and a row of buttons at its foot.
Widget Dialog(Widget parent, const char *name, const char *title, bool resizable) {
  Arg args[16];
  Cardinal n = wu_ed_args(args, 0);
  XmString xs = wumcstr(title ? title : "");
  XtSetArg(args[n], XmNdialogTitle, xs); ++n;
  XtSetArg(args[n], XmNautoUnmanage, False); ++n;
  XtSetArg(args[n], XmNresizePolicy, resizable ? XmRESIZE_ANY : XmRESIZE_NONE); ++n;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL); ++n;
  XtSetArg(args[n], XmNdeleteResponse, XmUNMAP); ++n;
  Widget d = XmCreateFormDialog(parent, const_cast<char *>(name), args, n);
  XmStringFree(xs);
  XtVaSetValues(Shell(d), XmNallowShellResize, resizable, nullptr);
  return d;
}

Widget FootRow(Widget dialog) {
  Widget row = XtVaCreateManagedWidget(
      "RowColumn", xmRowColumnWidgetClass, dialog, XmNorientation, XmHORIZONTAL, XmNpacking,
      XmPACK_TIGHT, XmNentryAlignment, XmALIGNMENT_CENTER, XmNbottomAttachment, XmATTACH_FORM,
      XmNbottomOffset, kGap, XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, kGap, nullptr);
  return row;
}

Widget FootSeparator(Widget dialog, Widget row) {
  return XtVaCreateManagedWidget("Separator", xmSeparatorWidgetClass, dialog, XmNleftAttachment,
                                 XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM,
                                 XmNbottomAttachment, XmATTACH_WIDGET, XmNbottomWidget, row,
                                 XmNbottomOffset, kGap, nullptr);
}

// ---- the Open/Save dialog -------------------------------------------------

void BuildOpenSave(wu_editor *ed) {
  Widget d = Dialog(ed->dialog, "OpenSave", wu_ed_msg(WU_TM_OPEN), false);
  XtVaSetValues(Shell(d), XmNmwmFunctions, kMwmFunctions, XmNmwmDecorations,
                MotifWm() ? kMwmDecorationsMwm : kMwmDecorationsOther, nullptr);
  ed->open_save = d;
  Widget above = nullptr;
  const int32_t labels[3] = {WU_TM_LIBRARY, WU_TM_CATALOG, WU_TM_ENTRY};
  const int32_t limits[3] = {WU_TE_LIBRARY_MAX, WU_TE_NAME_MAX, WU_TE_NAME_MAX};
  Widget *fields[3] = {&ed->os_library, &ed->os_catalog, &ed->os_entry};
  std::vector<std::pair<Widget, Widget>> rows;
  for (int i = 0; i < 3; ++i) {
    Widget l = LabelText(d, wu_ed_msg(labels[i]));
    Attach(l, above, nullptr);
    Widget t = TextField(d, kFieldColumns, limits[i]);
    Attach(t, above, l);
    XtVaSetValues(t, XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, kGap, nullptr);
    *fields[i] = t;
    rows.emplace_back(l, t);
    above = t;
  }
  AlignFields(rows);
  if (devb->motifres.has_toolset) {
    ed->os_type = XtVaCreateManagedWidget("Type", xmToggleButtonWidgetClass, d, nullptr);
    Attach(ed->os_type, above, nullptr);
    above = ed->os_type;
  }
  Widget row = FootRow(d);
  HostButton(row, WU_HM_OK, wumtlos, WU_ANSWER_OK);
  HostButton(row, WU_HM_CANCEL, wumtlos, WU_ANSWER_CANCEL);
  Widget sep = FootSeparator(d, row);
  XtVaSetValues(sep, XmNtopAttachment, XmATTACH_WIDGET, XmNtopWidget, above, XmNtopOffset, kGap,
                nullptr);
}

// ---- the action list and the icon chooser ---------------------------------

void BuildActionList(wu_editor *ed) {
  XmString title = wu_ed_label(WU_HM_ACTION);
  char *t = nullptr;
  wumgl2r(title, &t);
  XmStringFree(title);
  Widget d = Dialog(ed->dialog, "Pixmap", t, false);
  XtFree(t);
  XtVaSetValues(d, XmNwidth, kActionListSize, XmNheight, kActionListSize, nullptr);
  ed->actions = d;
  Widget row = FootRow(d);
  HostButton(row, WU_HM_OK, wumtlba, WU_TE_ACTION_OK);
  HostButton(row, WU_HM_CANCEL, wumtlba, WU_TE_ACTION_CANCEL);
  Widget sep = FootSeparator(d, row);
  Arg args[4];
  Cardinal n = 0;
  XtSetArg(args[n], XmNselectionPolicy, XmBROWSE_SELECT); ++n;
  ed->action_list = XdCreateScrolledIconList(d, const_cast<char *>("ActionList"), args, n);
  XtAddCallback(ed->action_list, XmNdefaultActionCallback, wumtlba,
                reinterpret_cast<XtPointer>(intptr_t(WU_TE_ACTION_OK)));
  XtManageChild(ed->action_list);
  // The scrolled icon list carries its own scroll bars: it is the dialog's
  // child and fills the dialog above the button row.
  XtVaSetValues(ed->action_list, XmNtopAttachment, XmATTACH_FORM, XmNtopOffset, kGap,
                XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, kGap, XmNrightAttachment,
                XmATTACH_FORM, XmNrightOffset, kGap, XmNbottomAttachment, XmATTACH_WIDGET,
                XmNbottomWidget, sep, XmNbottomOffset, kGap, nullptr);
}

// The category combo's record lives as long as its widgets: the builder
// lets it go from the registry when the form goes, then this frees it.
void CategoryComboGone(Widget, XtPointer client, XtPointer) {
  auto *cb = static_cast<wu_combo *>(client);
  if (wu_ed && wu_ed->categories == cb) wu_ed->categories = nullptr;
  XtFree(reinterpret_cast<char *>(cb));
}

// The icon chooser: a drop-down combo box of the icon categories above the
// grid of the selected category's icons.
void BuildChooser(wu_editor *ed) {
  Widget d = Dialog(ed->dialog, "Pixmap", wu_ed_msg(WU_TM_CHOOSER_TITLE), false);
  ed->chooser = d;
  XmString xs = wu_ed_label(WU_HM_CATEGORY);
  Widget label = Label(d, "Label", xs);
  XmStringFree(xs);
  Attach(label, nullptr, nullptr);
  // The categories are put into its list when the chooser first opens.
  auto *cb = reinterpret_cast<wu_combo *>(XtCalloc(1, sizeof(wu_combo)));
  cb->style = WU_COMBO_DROPDOWN;
  Widget combo = nullptr;
  if (wutgcbo && wutgcbo(d, cb) == WU_OK) {
    combo = cb->form;
    ed->categories = cb;
    XtAddCallback(combo, XmNdestroyCallback, CategoryComboGone, cb);
    XtAddCallback(cb->text_w, XmNvalueChangedCallback, wumtlcb, nullptr);
    for (Widget part : {cb->text_w, cb->arrow, cb->list}) wuwddrg(part);
    XtManageChild(combo);
    Attach(combo, nullptr, label);
  } else {
    XtFree(reinterpret_cast<char *>(cb));
  }
  ed->scroll = XtVaCreateManagedWidget(
      "ScrolledWindow", xmScrolledWindowWidgetClass, d, XmNwidth, WU_TE_CHOOSER_WIDTH, XmNheight,
      WU_TE_CHOOSER_HEIGHT, XmNscrollingPolicy, XmAUTOMATIC, XmNscrollBarDisplayPolicy, XmAS_NEEDED,
      nullptr);
  Attach(ed->scroll, combo ? combo : label, nullptr);
  XtVaSetValues(ed->scroll, XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, kGap, nullptr);
  ed->grid = XtVaCreateManagedWidget("RowColumn", xmRowColumnWidgetClass, ed->scroll, XmNorientation,
                                     XmHORIZONTAL, XmNpacking, XmPACK_COLUMN, XmNnumColumns, 1,
                                     nullptr);
  Widget row = FootRow(d);
  HostButton(row, WU_HM_OK, wumtlba, WU_TE_ICON_OK);
  HostButton(row, WU_HM_CANCEL, wumtlba, WU_TE_ICON_CANCEL);
  Widget sep = FootSeparator(d, row);
  XtVaSetValues(sep, XmNtopAttachment, XmATTACH_WIDGET, XmNtopWidget, ed->scroll, XmNtopOffset,
                kGap, nullptr);
}

// ---- the editor dialog ----------------------------------------------------

Widget Frame(Widget parent, Widget above, int32_t title) {
  Widget f = XtVaCreateManagedWidget("Frame", xmFrameWidgetClass, parent, nullptr);
  Attach(f, above, nullptr);
  XtVaSetValues(f, XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, kGap, nullptr);
  Arg a[1];
  XtSetArg(a[0], XmNchildType, XmFRAME_TITLE_CHILD);
  XmString xs = wumcl2r(wu_ed_msg(title));
  Label(f, "Label", xs, a, 1);
  XmStringFree(xs);
  return f;
}

Widget Arrow(Widget parent, unsigned char direction, XtCallbackProc proc, intptr_t code) {
  Widget a = XtVaCreateManagedWidget("ArrowButton", xmArrowButtonWidgetClass, parent,
                                     XmNarrowDirection, direction, XmNtraversalOn, False,
                                     XmNhighlightThickness, 0, nullptr);
  XtAddCallback(a, XmNactivateCallback, proc, reinterpret_cast<XtPointer>(code));
  return a;
}

void BuildEditor(wu_editor *ed) {
  Widget d = ed->dialog;
  // The box: its location and the tools per row.
  Widget f1 = Frame(d, nullptr, WU_TM_BOX_FRAME);
  Widget form = XtVaCreateManagedWidget("Form", xmFormWidgetClass, f1, nullptr);
  ed->location = LabelText(form, FormatLocation((std::string(wu_ed_msg(WU_TM_LOCATION)) + " " +
                                                 wu_ed_msg(WU_TM_PREVIEW_TITLE)).c_str()).c_str());
  Attach(ed->location, nullptr, nullptr);
  wuwidrg(ed->location, nullptr);
  Widget per = LabelText(form, wu_ed_msg(WU_TM_PER_ROW));
  Attach(per, ed->location, nullptr);
  ed->per_row = TextField(form, 0, 0);
  XtVaSetValues(ed->per_row, XmNwidth, kPerRowWidth, nullptr);
  Attach(ed->per_row, ed->location, per);
  XtAddCallback(ed->per_row, XmNactivateCallback, wumtlta, nullptr);
  Dimension h = 0;
  XtVaGetValues(ed->per_row, XmNheight, &h, nullptr);
  ed->up = Arrow(form, XmARROW_UP, wumtlaa, 0);
  ed->down = Arrow(form, XmARROW_DOWN, wumtlaa, 1);
  Attach(ed->up, ed->location, ed->per_row);
  Attach(ed->down, ed->location, ed->up);
  XtVaSetValues(ed->up, XmNheight, h, XmNwidth, h, nullptr);
  XtVaSetValues(ed->down, XmNheight, h, XmNwidth, h, nullptr);

  // The selected tool: command, help, tip and command identifier.
  Widget f2 = Frame(d, f1, WU_TM_TOOL_FRAME);
  form = XtVaCreateManagedWidget("Form", xmFormWidgetClass, f2, nullptr);
  Widget above = nullptr;
  Widget *fields[4] = {&ed->command, &ed->help, &ed->tip, &ed->command_id};
  std::vector<std::pair<Widget, Widget>> rows;
  for (int i = 0; i < 4; ++i) {
    Widget l;
    if (i < 3) {
      l = LabelText(form, wu_ed_msg(WU_TM_COMMAND + i));
    } else {
      XmString xs = wu_ed_label(WU_HM_COMMAND_ID);
      l = Label(form, "Label", xs);
      XmStringFree(xs);
    }
    Attach(l, above, nullptr);
    // The command identifier is an eight-digit field of the stored record.
    Widget t = TextField(form, kFieldColumns, i == 3 ? WU_TB_NUMBER_LEN : 0);
    Attach(t, above, l);
    XtVaSetValues(t, XmNrightAttachment, XmATTACH_FORM, XmNrightOffset, kGap, nullptr);
    XtAddCallback(t, XmNmodifyVerifyCallback, wumtltf, nullptr);
    XtAddCallback(t, XmNvalueChangedCallback, wumtlvc, nullptr);
    *fields[i] = t;
    rows.emplace_back(l, t);
    above = t;
  }
  AlignFields(rows);

  // Icon and Action, the move arrows, Insert, Add and Delete.
  Widget rc = XtVaCreateManagedWidget("RowColumn", xmRowColumnWidgetClass, d, XmNorientation,
                                      XmVERTICAL, XmNentryAlignment, XmALIGNMENT_CENTER, nullptr);
  Attach(rc, f2, nullptr);
  ed->icon = TextButton(rc, wu_ed_msg(WU_TM_ICON), wumtlic, WU_TE_ICON);
  ed->action = HostButton(rc, WU_HM_ACTION, wumtlic, WU_TE_ACTION);
  if (!ed->toolset || !devb->motifres.has_toolset) XtUnmanageChild(ed->action);
  // The move arrows, Insert, Add and Delete make one tab group of their
  // own beside Icon and Action, so that Tab reaches them before the bottom
  // row, in the order the editor shows its parts.
  Widget edit = XtVaCreateManagedWidget("Form", xmFormWidgetClass, d, XmNtopAttachment,
                                        XmATTACH_WIDGET, XmNtopWidget, f2, XmNleftAttachment,
                                        XmATTACH_WIDGET, XmNleftWidget, rc, nullptr);
  ed->back = Arrow(edit, XmARROW_LEFT, wumtlar, WU_TE_BACK);
  ed->forward = Arrow(edit, XmARROW_RIGHT, wumtlar, WU_TE_FORWARD);
  Attach(ed->back, nullptr, nullptr);
  Attach(ed->forward, nullptr, ed->back);
  ed->insert = TextButton(edit, wu_ed_msg(WU_TM_INSERT), wumtlad, WU_TE_INSERT);
  ed->add = TextButton(edit, wu_ed_msg(WU_TM_ADD), wumtlad, WU_TE_ADD);
  XtInsertEventHandler(ed->insert, ButtonPressMask, False, wuwtepp,
                       reinterpret_cast<XtPointer>(intptr_t(WU_TE_INSERT)), XtListHead);
  XtInsertEventHandler(ed->add, ButtonPressMask, False, wuwtepp,
                       reinterpret_cast<XtPointer>(intptr_t(WU_TE_ADD)), XtListHead);
  ed->del = TextButton(edit, wu_ed_msg(WU_TM_DELETE), wumtldt, 0);
  Attach(ed->insert, nullptr, ed->forward);
  Attach(ed->add, nullptr, ed->insert);
  Attach(ed->del, nullptr, ed->add);

  // The bottom row.
  Widget row = FootRow(d);
  TextButton(row, wu_ed_msg(WU_TM_OPEN), wumtlpb, WU_TE_OPEN);
  ed->save = TextButton(row, wu_ed_msg(WU_TM_SAVE), wumtlpb, WU_TE_SAVE);
  TextButton(row, wu_ed_msg(WU_TM_SAVE_AS), wumtlpb, WU_TE_SAVE_AS);
  TextButton(row, wu_ed_msg(WU_TM_CLOSE), wumtlpb, WU_TE_CLOSE);
  ed->deflt = TextButton(row, wu_ed_msg(WU_TM_DEFAULT), wumtlpb, WU_TE_DEFAULT);
  HostButton(row, WU_HM_HELP, wumtlpb, WU_TE_HELP);
  Widget sep = FootSeparator(d, row);
  XtVaSetValues(sep, XmNtopAttachment, XmATTACH_WIDGET, XmNtopWidget, rc, XmNtopOffset, kGap,
                nullptr);

  BuildActionList(ed);
  BuildChooser(ed);
  BuildOpenSave(ed);
}

// ---- the preview ----------------------------------------------------------

void SetPreviewTitle(wu_editor *ed) {
  if (!ed->preview) return;
  std::string title = FormatLocation(wu_ed_msg(WU_TM_PREVIEW_TITLE));
  XmString xs = wumcstr(title.c_str());
  XtVaSetValues(ed->preview, XmNdialogTitle, xs, nullptr);
  XtVaSetValues(Shell(ed->preview), XmNtitle, title.c_str(), nullptr);
  XmStringFree(xs);
}

void SetLocationLabel(wu_editor *ed) {
  std::string text = FormatLocation(
      (std::string(wu_ed_msg(WU_TM_LOCATION)) + " " + wu_ed_msg(WU_TM_PREVIEW_TITLE)).c_str());
  XmString xs = wumcl2r(text.c_str());
  XtVaSetValues(ed->location, XmNlabelString, xs, nullptr);
  XmStringFree(xs);
}

// Builds the preview of the box; false (preview destroyed) when it has no
// buttons to show.
bool BuildToolBar(wu_editor *ed, wu_toolbox *box) {
  wu_colour_set cs = {};
  wuwgpmc(ed->window, WU_CSET_DIALOG, &cs);
  Arg args[24];
  Cardinal n = 0;
  XtSetArg(args[n], XmNbackground, cs.background); ++n;
  XtSetArg(args[n], XmNforeground, cs.foreground); ++n;
  n = Cardinal(wuwspmc(&cs, args, int32_t(n)));
  XtSetArg(args[n], XmNdefaultPosition, False); ++n;
  XtSetArg(args[n], XmNautoUnmanage, False); ++n;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_MODELESS); ++n;
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  Widget p = XmCreateFormDialog(devb->toplevel, const_cast<char *>("ToolBar"), args, n);
  ed->preview = p;
  XtAddCallback(p, XmNdestroyCallback, WidgetGone, ed);
  // The preview is worked with the pointer only: it takes no keyboard, so
  // a window manager that focuses the windows it maps leaves the keyboard
  // with the editor, which maps first, at the command field.
  XtVaSetValues(Shell(p), XmNmwmFunctions, kMwmFunctions, XmNmwmDecorations,
                MotifWm() ? kMwmDecorationsMwm : kMwmDecorationsOther, XmNdeleteResponse,
                XmDO_NOTHING, XmNinput, False, nullptr);
  wutashl(Shell(p));
  SetPreviewTitle(ed);
  // Placed where the last preview was, else beside or below the editor.
  Position x = 0, y = 0;
  if (wu_edn.preview_x && wu_edn.preview_y) {
    x = Position(wu_edn.preview_x);
    y = Position(wu_edn.preview_y);
    wu_edn.preview_x = wu_edn.preview_y = 0;
  } else {
    Position ex = 0, ey = 0;
    Dimension ew = 0, eh = 0;
    XtVaGetValues(Shell(ed->dialog), XmNx, &ex, XmNy, &ey, XmNwidth, &ew, XmNheight, &eh, nullptr);
    if (box->per_row == 1) {
      x = Position(ex + ew + kPreviewRightGap);
      y = ey;
    } else {
      x = Position(ex + kPreviewBelowX);
      y = Position(ey + eh + kPreviewBelowY);
    }
  }
  XtVaSetValues(Shell(p), XmNx, x, XmNy, y, nullptr);
  Widget frame = XtVaCreateManagedWidget(
      "Frame", xmFrameWidgetClass, p, XmNtopAttachment, XmATTACH_FORM, XmNbottomAttachment,
      XmATTACH_FORM, XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, nullptr);
  ed->preview_rowcol = XtVaCreateManagedWidget("RowColumn", xmRowColumnWidgetClass, frame,
                                               XmNorientation, XmHORIZONTAL, XmNpacking,
                                               XmPACK_COLUMN, nullptr);
  ed->preview_tip = XtVaCreatePopupShell("OShell", overrideShellWidgetClass, p, nullptr);
  Widget tf = XtVaCreateManagedWidget("Form", xmFormWidgetClass, ed->preview_tip, nullptr);
  Widget tl = XtVaCreateManagedWidget("Label", xmLabelWidgetClass, tf, nullptr);
  wuwidrg(tl, nullptr);
  if (wumtedlt(ed->preview_rowcol, box->tools) != WU_OK) {
    wumdxft(Shell(p));
    XtDestroyWidget(Shell(p));
    ed->preview = nullptr;
    return false;
  }
  XtSetSensitive(ed->del, box->count > 1);
  XtManageChild(p);
  return true;
}

void InitInterface(wu_editor *ed) {
  wu_toolbox *c = ed->copy;
  RefreshSpinBox(c->count, c->per_row);
  if (c->tip_delay == 0) c->tip_delay = kDefaultTipDelay;
  ed->index = 0;
  RefreshToolBar(0, 0);
}

// Drops the copy: its preview, its buttons, texts and pixmaps, the record.
void FreeCopy(wu_editor *ed) {
  // A shut-down while the editor waited has given the copy back already.
  wu_toolbox *c = wu_reg_get(ed->copy, WU_REG_TOOLBOX);
  ed->copy = nullptr;
  ed->selected = nullptr;
  if (c && c->tip_timer) {
    XtRemoveTimeOut(c->tip_timer);
    c->tip_timer = 0;
  }
  if (ed->preview && wu_x_ok()) {
    if (c) FreeToolWidgets(c->tools);
    wumdxft(Shell(ed->preview));
    XtDestroyWidget(Shell(ed->preview));
  }
  ed->preview = nullptr;
  if (c) {
    for (wu_tool *t = c->tools; t; t = t->next) t->button = nullptr;
    wutfbar(nullptr, c);
  }
}

// A new box with copies of `box`'s tools, or null.
wu_toolbox *CopyOf(wu_toolbox *box) {
  wu_toolbox *copy = AllocateToolBar();
  if (copy && wumcptb(box, copy) != WU_OK) {
    wutfbar(nullptr, copy);
    copy = nullptr;
  }
  return copy;
}

// Replaces the copy by a copy of `box` with its preview; the old copy stays
// when the new one cannot be made.
bool Replace(wu_editor *ed, wu_toolbox *box) {
  wu_toolbox *fresh = CopyOf(box);
  if (!fresh) return false;
  wu_toolbox *old = ed->copy;
  Widget old_preview = ed->preview;
  // The new preview opens where the old one was.
  if (old_preview && XtIsRealized(Shell(old_preview))) {
    Position x = 0, y = 0;
    XtVaGetValues(Shell(old_preview), XmNx, &x, XmNy, &y, nullptr);
    wu_edn.preview_x = x;
    wu_edn.preview_y = y;
  }
  ed->copy = fresh;
  ed->preview = nullptr;
  if (!BuildToolBar(ed, fresh)) {
    wutfbar(nullptr, fresh);
    ed->copy = old;
    ed->preview = old_preview;
    wu_edn.preview_x = wu_edn.preview_y = 0;
    return false;
  }
  Widget new_preview = ed->preview;
  Widget new_rowcol = ed->preview_rowcol, new_tip = ed->preview_tip;
  ed->copy = old;
  ed->preview = old_preview;
  FreeCopy(ed);
  ed->copy = fresh;
  ed->preview = new_preview;
  ed->preview_rowcol = new_rowcol;
  ed->preview_tip = new_tip;
  ed->selected = nullptr;
  ed->index = 0;
  RefreshToolBar(0, 0);
  RefreshSpinBox(fresh->count, fresh->per_row);
  XtVaSetValues(Shell(ed->preview), XmNtransientFor, Shell(ed->dialog), nullptr);
  return true;
}

bool IsActive(const char *libref, const char *catalog, const char *entry) {
  if (std::memcmp(libref, wu_edn.active_libref, WU_LIBREF_LEN) != 0) return false;
  std::string c = Text34(catalog), ac = Text34(wu_edn.active_catalog);
  std::string e = Text34(entry), ae = Text34(wu_edn.active_entry);
  return wzsteqn(c.data(), int32_t(c.size()), ac.data(), int32_t(ac.size())) &&
         wzsteqn(e.data(), int32_t(e.size()), ae.data(), int32_t(ae.size()));
}

// Shows tool message 0 (saved) or 1 (not saved) with the location.
void Report(Widget parent, bool saved) {
  std::string text = FormatLocation(wu_ed_msg(saved ? WU_TM_SAVED : WU_TM_NOT_SAVED));
  wu_ed_show(parent, text.c_str(), saved ? WU_MSG_INFO : WU_MSG_ERROR);
}

// Writes the copy to the editor's location; true when it was written.
bool Save(wu_editor *ed, Widget parent) {
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN], e[WU_NAME34_LEN];
  wu_ed_catalog_names(l, c, e);
  const bool ok = wumtlsv(ed->copy, l, c, e, wu_edn.type) == WU_OK;
  if (ok && IsActive(l, c, e)) wu_edn.needs_reload = true;
  Report(parent, ok);
  if (ok && !wu_ed_gone(ed)) wu_edn.needs_save = false;
  return ok;
}

// Asks whether to save a changed copy: false when the user cancels.
bool AskSave(wu_editor *ed) {
  if (!wu_edn.needs_save) return true;
  const int32_t answer = wu_ed_show(ed->dialog, wu_ed_msg(WU_TM_ASK_SAVE), WU_MSG_QUESTION);
  if (wu_ed_gone(ed) || answer == WU_ANSWER_CANCEL) return false;
  if (answer == WU_ANSWER_YES) Save(ed, ed->dialog);
  return !wu_ed_gone(ed);
}

void Focus(Widget w) {
  if (w && XtIsRealized(w)) XmProcessTraversal(w, XmTRAVERSE_CURRENT);
}

void FillField(Widget field, const char *text) {
  wu_ed_set_text(field, text);
}

char *FieldValue(Widget field) { return TrimString(XmTextFieldGetString(field)); }

// The Open/Save dialog: 0 Open, 1 Save As.
void HandleOpenSaveDialog(wu_editor *ed, int32_t mode) {
  const bool save_as = mode == 1;
  XmString title = wumcstr(wu_ed_msg(save_as ? WU_TM_SAVE_AS : WU_TM_OPEN));
  XtVaSetValues(ed->open_save, XmNdialogTitle, title, nullptr);
  XmStringFree(title);
  if (ed->os_type) {
    XmString xs = wu_ed_label(save_as ? WU_HM_SAVE_TYPE : WU_HM_OPEN_TYPE);
    XtVaSetValues(ed->os_type, XmNlabelString, xs, nullptr);
    XmStringFree(xs);
  }
  FillField(ed->os_library, wu_edn.library);
  FillField(ed->os_catalog, wu_edn.catalog);
  FillField(ed->os_entry, wu_edn.entry);
  XtManageChild(ed->open_save);
  Focus(ed->os_library);
  wu_toolbox *read = nullptr;
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN], e[WU_NAME34_LEN];
  char lib[WU_TE_LIBRARY_MAX + 1] = "", cat[WU_TE_NAME_MAX + 1] = "", ent[WU_TE_NAME_MAX + 1] = "";
  char type[9];
  for (;;) {
    ed->os_answer = WU_TE_WAITING;
    wu_edn.nested = true;
    Wait(ed->open_save, &ed->os_answer);
    if (wu_ed_gone(ed)) return;
    if (ed->os_answer != WU_ANSWER_OK) {
      XtUnmanageChild(ed->open_save);
      wu_edn.nested = false;
      return;
    }
    char *fl = FieldValue(ed->os_library), *fc = FieldValue(ed->os_catalog),
         *fe = FieldValue(ed->os_entry);
    int32_t missing = !fl || !*fl ? WU_TM_NO_LIBRARY : !fc || !*fc ? WU_TM_NO_CATALOG
                                                     : !fe || !*fe ? WU_TM_NO_ENTRY : -1;
    if (missing < 0) {
      std::snprintf(lib, sizeof lib, "%s", fl);
      std::snprintf(cat, sizeof cat, "%s", fc);
      std::snprintf(ent, sizeof ent, "%s", fe);
    }
    XtFree(fl);
    XtFree(fc);
    XtFree(fe);
    if (missing >= 0) {
      wu_ed_show(ed->open_save, wu_ed_msg(missing), WU_MSG_ERROR);
      if (wu_ed_gone(ed)) return;
      Focus(missing == WU_TM_NO_LIBRARY ? ed->os_library
                                        : missing == WU_TM_NO_CATALOG ? ed->os_catalog : ed->os_entry);
      continue;
    }
    std::memcpy(type, wu_edn.type, sizeof type);
    if (ed->os_type)
      std::memcpy(type, XmToggleButtonGetState(ed->os_type) ? WU_TE_TOOLSET : WU_TB_MEMBER_TYPE, 9);
    MakeQEVName(lib, cat, ent, l, c, e);
    if (save_as) {
      if (wumtlsv(ed->copy, l, c, e, type) != WU_OK) {
        char keep[3][WU_TE_NAME_MAX + 1];
        std::memcpy(keep[0], wu_edn.library, sizeof wu_edn.library);
        std::memcpy(keep[1], wu_edn.catalog, sizeof wu_edn.catalog);
        std::memcpy(keep[2], wu_edn.entry, sizeof wu_edn.entry);
        char keep_type[9];
        std::memcpy(keep_type, wu_edn.type, sizeof keep_type);
        // The message names the location as written.
        std::snprintf(wu_edn.library, sizeof wu_edn.library, "%s", lib);
        std::snprintf(wu_edn.catalog, sizeof wu_edn.catalog, "%s", cat);
        std::snprintf(wu_edn.entry, sizeof wu_edn.entry, "%s", ent);
        std::memcpy(wu_edn.type, type, sizeof type);
        std::string text = FormatLocation(wu_ed_msg(WU_TM_NOT_SAVED));
        std::memcpy(wu_edn.library, keep[0], sizeof wu_edn.library);
        std::memcpy(wu_edn.catalog, keep[1], sizeof wu_edn.catalog);
        std::memcpy(wu_edn.entry, keep[2], sizeof wu_edn.entry);
        std::memcpy(wu_edn.type, keep_type, sizeof keep_type);
        wu_ed_show(ed->open_save, text.c_str(), WU_MSG_ERROR);
        if (wu_ed_gone(ed)) return;
        continue;
      }
      if (IsActive(l, c, e)) wu_edn.needs_reload = true;
      break;
    }
    read = wumtlcl(l, c, e, type);
    if (read) break;
    const char *t = wu_ed_msg(WU_TM_NOT_READ);
    // A text shorter than its prefix is shown whole.
    wu_ed_show(ed->open_save, std::strlen(t) >= size_t(kNotReadSkip) ? t + kNotReadSkip : t,
               WU_MSG_ERROR);
    if (wu_ed_gone(ed)) return;
  }
  XtUnmanageChild(ed->open_save);
  std::snprintf(wu_edn.library, sizeof wu_edn.library, "%s", lib);
  std::snprintf(wu_edn.catalog, sizeof wu_edn.catalog, "%s", cat);
  std::snprintf(wu_edn.entry, sizeof wu_edn.entry, "%s", ent);
  std::memcpy(wu_edn.type, type, sizeof type);
  if (save_as) {
    Report(ed->dialog, true);
    if (wu_ed_gone(ed)) return;
    wu_edn.needs_save = false;
  } else {
    const bool ok = Replace(ed, read);
    wutfbar(nullptr, read);
    if (!ok) {
      wu_edn.nested = false;
      return;
    }
    wu_edn.needs_save = false;
  }
  wumsloc(ed->copy, l, c, e);
  SetLocationLabel(ed);
  SetPreviewTitle(ed);
  RefreshToolBar(ed->index, 0);
  wu_edn.nested = false;
}

void Default(wu_editor *ed) {
  const int32_t answer = wu_ed_show(ed->dialog, wu_ed_msg(WU_TM_ASK_DEFAULT), WU_MSG_QUESTION);
  if (wu_ed_gone(ed) || answer != WU_ANSWER_YES) return;
  char l[WU_LIBREF_LEN], c[WU_NAME34_LEN], e[WU_NAME34_LEN];
  wu_ed_catalog_names(l, c, e);
  wu_window *w = ed->window;
  wu_tool_messages *m = ed->copy->messages;
  wu_toolbox *box = nullptr;
  if (m && wutisdm(w)) {
    box = wumtlcl(kHelpLibref, m->help_catalog, m->entry, WU_TB_MEMBER_TYPE);
    if (!box) box = wumtlcl(kHelpLibref, m->help_catalog2, m->entry, WU_TB_MEMBER_TYPE);
  } else {
    box = wumtlcl(w->menu_libref, w->menu_catalog, w->menu_entry, WU_TB_MEMBER_TYPE);
  }
  if (!box) box = wumbpnx(nullptr);
  if (!box) return;
  wumsloc(box, l, c, e);
  const bool ok = Replace(ed, box);
  if (ok && !wu_reg_has(w->toolbox, WU_REG_TOOLBOX)) {
    // The box read becomes the window's own, with no location, and is
    // released with it; it is never written back over a stored box.
    std::memset(box->libref, 0, sizeof box->libref);
    std::memset(box->catalog, 0, sizeof box->catalog);
    std::memset(box->entry, 0, sizeof box->entry);
    box->no_save = 1;
    w->toolbox = box;
    wumfbar(w);
    if (wu_reg_has(box, WU_REG_TOOLBOX)) wutfbar(nullptr, box);
  } else {
    wutfbar(nullptr, box);
  }
  if (ok) wu_edn.needs_save = true;
}

void Help() {
  wu_help_request r;
  std::memset(&r, 0, sizeof r);
  r.texts[0] = {"host", 4};
  r.texts[1] = {"ted", 3};
  r.texts[2] = {"1", 1};
  qev_task *task = yucurtk();
  r.context = task ? yytgexe(task) : nullptr;
  wunhelpc(&r);
}

void Close(wu_editor *ed) {
  if (!AskSave(ed)) return;
  if (ed->dialog) XtUnmanageChild(ed->dialog);
  ed->ending = true;
}

// The end of the editor: everything it made is released; the window learns
// that the editor ended and, when the box was saved where the window reads
// it, reloads it.
void End(wu_editor *ed, wu_toolbox *box) {
  wu_edn.nested = false;
  const bool x = wu_x_ok();
  if (ed->copy) FreeCopy(ed);
  if (ed->toolset) wutfbar(nullptr, ed->toolset);
  ed->toolset = nullptr;
  wumtlfc(ed);
  if (ed->dialog && x) {
    Widget d = ed->dialog;
    XtRemoveCallback(d, XmNdestroyCallback, WidgetGone, ed);
    wumdxft(Shell(d));
    XtDestroyWidget(Shell(d));
  }
  wu_window *w = ed->window;
  const bool window_alive = wu_reg_alive(ed->window_hold);
  wu_ed = nullptr;
  delete ed;
  if (!window_alive) return;
  if (!w->local_handler) wuxqwev(w, kEditorEnded, nullptr, 0);
  if (!wu_edn.needs_reload) return;
  // The window's box is never written back over what was saved: the
  // reload replaces it, and if the reload never runs nothing is lost.
  if (wu_reg_has(box, WU_REG_TOOLBOX)) box->no_save = 1;
  if (yucttsk() > 1 && w->kind == kMultiTaskKind) return;
  std::string lib(wu_edn.active_libref, WU_LIBREF_LEN);
  std::string cat = Text34(wu_edn.active_catalog), ent = Text34(wu_edn.active_entry);
  qev_arg a[3] = {{QEV_ARG_TEXT, int32_t(lib.size()), lib.data(), 0},
                  {QEV_ARG_TEXT, int32_t(cat.size()), cat.data(), 0},
                  {QEV_ARG_TEXT, int32_t(ent.size()), ent.data(), 0}};
  char out[kReloadSize];
  int32_t length = 0;
  if (ypsstr(out, kReloadSize, &length, kReload, int32_t(sizeof kReload - 1), 3, a) != WU_OK) return;
  if (length < 0 || length > kReloadSize) return;
  wuxqcmd(w, out, length, 1, 1, 1);
}

}  // namespace

// ---- shared helpers ----------------------------------------------------------

bool wu_ed_gone(wu_editor *ed) {
  if (!ed || ed != wu_ed) return true;
  // A window released or a display lost while a message box waited ends
  // the editor as well.
  if (!ed->ending && (!wu_x_ok() || !wu_reg_alive(ed->window_hold))) ed->ending = true;
  return ed->ending;
}

const char *wu_ed_msg(int32_t slot) {
  wu_state *s = wu_module();
  if (!s || slot < 0 || slot >= WU_TOOL_MESSAGES || !s->tool_messages.texts[slot]) return "";
  return s->tool_messages.texts[slot];
}

XmString wu_ed_label(int32_t number) { return wumlstr(WU_MSG_TOOL, number); }

int32_t wu_ed_show(Widget parent, const char *text, int32_t kind) {
  // Every box of the editor serves the editor's window: its release answers
  // the box with Cancel and ends the editor.
  wu_editor *ed = wu_ed;
  if (wu_ed_gone(ed)) return WU_ANSWER_CANCEL;
  return wumpmsh(parent, ed->window, text ? text : "", kind);
}

Cardinal wu_ed_args(Arg *args, Cardinal n) {
  wu_colour_set cs = {};
  wuwgpmc(wu_ed ? wu_ed->window : nullptr, WU_CSET_EDITOR, &cs);
  XtSetArg(args[n], XmNbackground, cs.background); ++n;
  XtSetArg(args[n], XmNforeground, cs.foreground); ++n;
  if (devb && devb->font_list) {
    XtSetArg(args[n], XmNfontList, devb->font_list); ++n;
  }
  return n;
}

void wu_ed_catalog_names(char *libref, char *catalog, char *entry) {
  char l[WU_TE_LIBRARY_MAX + 1], c[WU_TE_NAME_MAX + 1], e[WU_TE_NAME_MAX + 1];
  std::memcpy(l, wu_edn.library, sizeof l);
  std::memcpy(c, wu_edn.catalog, sizeof c);
  std::memcpy(e, wu_edn.entry, sizeof e);
  MakeQEVName(l, c, e, libref, catalog, entry);
}

void wu_ed_set_text(Widget field, const char *text) {
  if (!field) return;
  XmTextFieldSetString(field, const_cast<char *>(text ? text : ""));
  XmTextFieldSetInsertionPosition(field, XmTextFieldGetLastPosition(field));
}

extern "C" {

// ---- names -------------------------------------------------------------------

void ExtractQEVName(const char *libref, const char *catalog, const char *entry, char *library,
                    char *catalog_out, char *entry_out) {
  if (!library || !catalog_out || !entry_out) {
    wutalrm();
    return;
  }
  size_t n = 0;
  while (libref && n < WU_LIBREF_LEN && libref[n] != ' ' && libref[n]) ++n;
  std::memcpy(library, libref ? libref : "", n);
  library[n] = '\0';
  wztxxlt(kUpperCase, library, library, int32_t(n));
  const char *in[2] = {catalog, entry};
  char *out[2] = {catalog_out, entry_out};
  for (int i = 0; i < 2; ++i) {
    std::string t = in[i] ? Text34(in[i]) : std::string();
    size_t blank = t.find(' ');
    if (blank != std::string::npos) t.resize(blank);
    std::memcpy(out[i], t.data(), t.size());
    out[i][t.size()] = '\0';
    wztxxlt(kUpperCase, out[i], out[i], int32_t(t.size()));
  }
}

void MakeQEVName(char *library, char *catalog, char *entry, char *libref_out, char *catalog_out,
                 char *entry_out) {
  if (!libref_out || !catalog_out || !entry_out || !library || !catalog || !entry) {
    wutalrm();
    return;
  }
  wztxxlt(kUpperCase, library, library, int32_t(std::strlen(library)));
  wztxxlt(kUpperCase, catalog, catalog, int32_t(std::strlen(catalog)));
  wztxxlt(kUpperCase, entry, entry, int32_t(std::strlen(entry)));
  std::memset(libref_out, ' ', WU_LIBREF_LEN);
  std::memcpy(libref_out, library, std::min(std::strlen(library), size_t(WU_LIBREF_LEN)));
  const char *in[2] = {catalog, entry};
  char *out[2] = {catalog_out, entry_out};
  for (int i = 0; i < 2; ++i) SetName34(out[i], in[i], std::strlen(in[i]));
}

char *TrimString(char *text) {
  if (!text) return nullptr;
  const char *b = text;
  while (*b && std::isspace(static_cast<unsigned char>(*b))) ++b;
  size_t n = std::strlen(b);
  while (n && std::isspace(static_cast<unsigned char>(b[n - 1]))) --n;
  char *out = XtMalloc(Cardinal(n + 1));
  std::memcpy(out, b, n);
  out[n] = '\0';
  XtFree(text);
  return out;
}

int32_t CanSaveToolBox(const char *libref, const char *catalog) {
  qev_lib *lib = nullptr;
  if (ylopen(&lib, QEV_LIB_UPDATE, libref, catalog) != WU_OK || !lib) return 0;
  ylclose(lib);
  return 1;
}

// ---- callbacks of the bottom row and the dialogs ------------------------------

void wumtlos(Widget, XtPointer code, XtPointer) {
  if (!wu_ed) return;
  wu_ed->os_answer = intptr_t(code) == WU_ANSWER_OK ? WU_ANSWER_OK : WU_ANSWER_CANCEL;
}

void wumtlpb(Widget, XtPointer client, XtPointer) {
  wu_editor *ed = wu_ed;
  if (wu_ed_gone(ed) || wu_edn.dialog_up || !ed->copy) return;
  wu_edn.dialog_up = true;
  switch (intptr_t(client)) {
    case WU_TE_OPEN: {
      if (ed->preview && XtIsRealized(Shell(ed->preview))) {
        Position x = 0, y = 0;
        XtVaGetValues(Shell(ed->preview), XmNx, &x, XmNy, &y, nullptr);
        wu_edn.preview_x = x;
        wu_edn.preview_y = y;
      }
      if (AskSave(ed)) HandleOpenSaveDialog(ed, 0);
      wu_edn.preview_x = wu_edn.preview_y = 0;
      break;
    }
    case WU_TE_SAVE: Save(ed, ed->dialog); break;
    case WU_TE_SAVE_AS: HandleOpenSaveDialog(ed, 1); break;
    case WU_TE_DEFAULT: Default(ed); break;
    case WU_TE_CLOSE: Close(ed); break;
    case WU_TE_HELP: Help(); break;
    default: break;
  }
  wu_edn.dialog_up = false;
  if (!wu_ed_gone(ed)) RefreshToolBar(ed->index, 0);
}

void wumtcan(Widget, XtPointer, XtPointer) {
  wu_editor *ed = wu_ed;
  if (wu_ed_gone(ed) || wu_edn.dialog_up) return;
  if (wu_edn.nested) {
    wutalrm();
    return;
  }
  wumtlpb(nullptr, reinterpret_cast<XtPointer>(intptr_t(WU_TE_CLOSE)), nullptr);
}

// ---- the editor ----------------------------------------------------------------

wu_status wumtled(wu_window *window, wu_toolbox *box, int32_t is_new, int32_t no_location) {
  if (!wu_reg_has(window, WU_REG_WINDOW) || !wu_reg_has(box, WU_REG_TOOLBOX) || !wu_x_ok())
    return WU_NOTAVAIL;
  if (wu_ed) {
    wutalrm();   // one editor at a time
    return WU_NOTAVAIL;
  }
  wu_state *s = wu_module();
  if (!s) return WU_NOTAVAIL;
  InitToolMessages();
  wu_edn.icons_loaded = wu_edn.actions_loaded = wu_edn.needs_save = wu_edn.needs_reload = false;
  wu_edn.separator_asked = wu_edn.dialog_up = wu_edn.nested = false;
  std::memcpy(wu_edn.type, WU_TB_MEMBER_TYPE, sizeof wu_edn.type);

  // The private copy first: a box that cannot be copied opens nothing.
  wu_toolbox *copy = CopyOf(box);
  if (!copy) return WU_NOTAVAIL;
  auto *ed = new wu_editor();
  wu_ed = ed;
  ed->window = window;
  ed->window_hold = wu_reg_take(window);
  ed->shown_category = -1;
  ed->copy = copy;
  wu_colour_set cs = {};
  wuwgpmc(window, WU_CSET_EDITOR, &cs);

  ExtractQEVName(box->libref, box->catalog, box->entry, wu_edn.library, wu_edn.catalog,
                 wu_edn.entry);
  const wu_toolbox *active = no_location && wu_reg_has(window->toolbox, WU_REG_TOOLBOX) ? window->toolbox : box;
  std::memcpy(wu_edn.active_libref, active->libref, WU_LIBREF_LEN);
  std::memcpy(wu_edn.active_catalog, active->catalog, WU_NAME34_LEN);
  std::memcpy(wu_edn.active_entry, active->entry, WU_NAME34_LEN);

  wutsbsy(1);
  const int32_t was_busy = s->busy;
  s->busy = 1;
  XFlush(devb->display);

  // The action source: a tool set of the active entry's name.
  if (devb->motifres.has_toolset && box->messages) {
    wu_tool_messages *m = box->messages;
    ed->toolset = wumtlcl(m->libref, m->catalog, wu_edn.active_entry, WU_TE_TOOLSET);
    if (!ed->toolset)
      ed->toolset = wumtlcl(window->menu_libref, window->menu_catalog, wu_edn.active_entry, WU_TE_TOOLSET);
    if (ed->toolset) {
      wu_tool **link = &ed->toolset->tools;
      while (*link) {
        wu_tool *t = *link;
        if (t->icon != WU_TB_SEPARATOR_ICON) {
          link = &t->next;
          continue;
        }
        *link = t->next;
        t->next = nullptr;
        FreeToolPixmaps(t);
        FreeToolStrings(t);
        XtFree(reinterpret_cast<char *>(t));
        --ed->toolset->count;
      }
    }
  }

  // The dialog, at the window's origin moved right and down.
  Position x = kEditorOffsetX, y = kEditorOffsetY;
  Widget outer = static_cast<Widget>(window->outer);
  if (outer && XtIsRealized(outer)) {
    Position ox = 0, oy = 0;
    XtTranslateCoords(outer, 0, 0, &ox, &oy);
    x = Position(ox + kEditorOffsetX);
    y = Position(oy + kEditorOffsetY);
  }
  XmString title = wumcstr(wu_ed_msg(WU_TM_TITLE));
  Arg args[20];
  Cardinal n = wu_ed_args(args, 0);
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(args[n], XmNx, x); ++n;
  XtSetArg(args[n], XmNy, y); ++n;
  XtSetArg(args[n], XmNautoUnmanage, False); ++n;
  XtSetArg(args[n], XmNdefaultPosition, False); ++n;
  XtSetArg(args[n], XmNdialogTitle, title); ++n;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL); ++n;
  ed->dialog = XmCreateFormDialog(devb->toplevel, const_cast<char *>("Tool Editor"), args, n);
  XmStringFree(title);
  XtAddCallback(ed->dialog, XmNdestroyCallback, WidgetGone, ed);
  Widget shell = Shell(ed->dialog);
  XtVaSetValues(shell, XmNdeleteResponse, XmDO_NOTHING, nullptr);
  XmAddWMProtocolCallback(shell, devb->wm_delete_window, wumtcan, nullptr);
  wutashl(shell);
  AddActions();
  BuildEditor(ed);
  XtManageChild(ed->dialog);
  XtSetSensitive(ed->deflt, no_location != 0);
  bool built = BuildToolBar(ed, copy);
  wutsbsy(0);
  if (built) {
    InitInterface(ed);
    Focus(ed->command);
    if (is_new) {
      char name[kTaskNameMax + 1] = "";
      if (window->task && wtinfo(window->task, name) == WU_OK) {
        name[kTaskNameMax] = '\0';
        char *blank = std::strchr(name, ' ');
        if (blank) *blank = '\0';
      }
      qev_arg a = TextArg(name);
      std::string text = Format(wu_ed_msg(WU_TM_NEW_BOX), 1, &a);
      wu_ed_show(ed->dialog, text.c_str(), WU_MSG_INFO);
    }
    Wait(ed->dialog, nullptr);
  }
  if (s == wu_module()) s->busy = was_busy;
  End(ed, box);
  return built ? WU_OK : WU_NOTAVAIL;
}

// ---- preparing the box a window edits ------------------------------------------

wu_status wumebar(wu_window *w, const char *libref, const char *catalog, const char *entry) {
  if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
  wu_state *s = wu_module();
  if (!s) return WU_NOTAVAIL;
  InitToolMessages();
  wu_tool_messages *m = &s->tool_messages;
  // A box stored with the window's menus is edited at the default place.
  if (wu_toolbox *own = wu_reg_get(w->toolbox, WU_REG_TOOLBOX))
    if (std::memcmp(own->libref, w->menu_libref, WU_LIBREF_LEN) == 0 &&
        std::memcmp(own->catalog, w->menu_catalog, WU_NAME34_LEN) == 0)
      wumsloc(own, m->libref, m->catalog, nullptr);
  wu_toolbox *box = nullptr;
  bool separate = false;   // the box is the editor's own, released afterwards
  int32_t is_new = 0;
  if (libref) {
    box = wumtlcl(libref, catalog, entry, WU_TB_MEMBER_TYPE);
    if (!box) {
      box = wumbpnx(nullptr);
      is_new = 1;
    }
    if (box) wumsloc(box, libref, catalog, entry && (entry[0] || entry[1]) ? entry : m->alt_entry1);
    separate = true;
  } else {
    box = wu_reg_get(w->toolbox, WU_REG_TOOLBOX);
    if (wutisdm(w)) {
      // Display-manager windows share the global box: a box of the window's
      // own is released and the global one edited in its place.
      InitGlobalToolBox();
      if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
      if (box && box != s->global_toolbox && s->global_toolbox) {
        wumfbar(w);
        if (!wu_reg_has(w, WU_REG_WINDOW)) return WU_NOTAVAIL;
        box = nullptr;
      }
      if (!box) box = wu_reg_get(s->global_toolbox, WU_REG_TOOLBOX);
    } else if (!box) {
      box = wumldbx(w);
      if (box) w->toolbox = box;
    }
    if (!box) {
      wu_merged_box *mb = wumgmbx();
      if (mb && mb->tools && wu_reg_has(mb->tools->box, WU_REG_TOOLBOX)) {
        box = AllocateToolBar();
        if (box && wumcptb(mb->tools->box, box) != WU_OK) {
          wutfbar(nullptr, box);
          box = nullptr;
        }
      } else {
        box = wumbpnx(nullptr);
        is_new = 1;
      }
      separate = true;
    }
  }
  if (!box) return WU_NOTAVAIL;
  wu_reg_hold hold = wu_reg_take(box);
  wu_reg_hold window_hold = wu_reg_take(w);
  if (box->tip_timer) {
    XtRemoveTimeOut(box->tip_timer);
    box->tip_timer = 0;
  }
  wu_merged_box *mb = wumgmbx();
  HideMergedShell(mb);
  wumtedact(1);
  wu_status st = wumtled(w, box, is_new, libref ? 0 : 1);
  wumtedact(0);
  if (separate && wu_reg_alive(hold)) wutfbar(nullptr, box);
  if (!wu_reg_alive(window_hold) || !wu_x_ok()) return st;
  if (separate && w == s->current) {
    w->module_flags |= WU_WMOD_QUIET_LOAD;
    wumibar(w);
    w->module_flags &= ~WU_WMOD_QUIET_LOAD;
    wumnbar(w);
  }
  mb = wumgmbx();
  if (mb && mb->shell && !mb->closed && (w->toolbox || s->global_toolbox)) {
    if (!w->toolbox && s->global_toolbox) wumbwnd(w, s->global_toolbox->tools);
    ShowMergedShell(mb);
  }
  return st;
}

}  // extern "C"
