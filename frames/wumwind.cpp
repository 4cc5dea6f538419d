// Host windows as X widgets: the frame of a window (its own top-level shell
// or a frame in the application workspace), the layout of its panes on the
// cell grid, keyboard focus and the window manager.
#include <X11/Xatom.h>
#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/MainW.h>
#include <Xm/Protocols.h>
#include <Xm/Xm.h>
#include <algorithm>

#include "frames/wuframes.h"
#include "frames/wutframe.h"
#include "runtime/wucheck.h"
#include "qev/flags.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QevInput.h"
#include "textwin/QevPane.h"
#include "textwin/wutwin.h"

namespace {

// Smallest window: this many columns and one row of panes below the
// command panel.
const int kMinColumns = 10;
// The application workspace's first size.
const Dimension kWorkspaceWidth = 800;
const Dimension kWorkspaceHeight = 600;

// The close question of the menus layer, when linked and defined.
extern "C" int32_t wummcls(wu_window *window) __attribute__((weak));

void CloseRequested(Widget, XtPointer client, XtPointer) {
  // wuxqwev refuses a window released meanwhile.
  auto *w = static_cast<wu_window *>(client);
  if (wummcls && wummcls(w)) return;
  wuxqwev(w, WU_EV_CLOSE, nullptr, 0);
}

// A frame destroyed inside a dispatch goes only when the dispatch ends,
// after a window released meanwhile has been freed: it is looked up first.
void FrameDestroyed(Widget, XtPointer client, XtPointer) {
  auto *w = static_cast<wu_window *>(client);
  if (!wu_reg_has(w, WU_REG_WINDOW)) return;
  w->outer = w->main_window = w->work_form = w->form = w->input = w->active = nullptr;
  w->flags &= ~WU_WIN_REALIZED;
}

// The panes' rows and columns are the host's and may change after they
// were checked: every sum and product is taken wide and clamped to what X
// can place.
int32_t WindowColumns(const wu_window *w) {
  int64_t cols = 0;
  for (const wu_pane *p = w->panes; p; p = p->next)
    if (p->columns < WU_FULL_WIDTH) cols = std::max<int64_t>(cols, int64_t(p->column) - 1 + p->columns);
  const int64_t most = WU_X_COORD_MAX / std::max(1, devb->cell_width);
  return cols > 0 ? int32_t(std::min(cols, most)) : WU_DEFAULT_COLUMNS;
}

int32_t CommandHeight(const wu_window *w) {
  return w->command_pane ? wu_x_size_clamp(int64_t(w->command_pane->rows) * devb->cell_height) : 0;
}

}  // namespace

extern "C" {

Widget wumaws(wu_session *session) {
  static Widget fallback_form = nullptr;   // the workspace when there is no session record
  if (!wu_x_ok()) return nullptr;
  Widget form = session ? session->form : fallback_form;
  if (form) return form;
  Arg args[10];
  Cardinal n = 0;
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(args[n], XmNdeleteResponse, XmDO_NOTHING); ++n;
  XtSetArg(args[n], XmNwidth, kWorkspaceWidth); ++n;
  XtSetArg(args[n], XmNheight, kWorkspaceHeight); ++n;
  n = wu_shell_fonts(args, n);
  Widget shell = XtAppCreateShell("qevWorkspace", "QEV", applicationShellWidgetClass, devb->display,
                                  args, n);
  wutashl(shell);
  form = XtVaCreateManagedWidget("workspace", xmFormWidgetClass, shell, XmNresizePolicy,
                                 XmRESIZE_ANY, nullptr);
  XtRealizeWidget(shell);
  if (session) {
    session->shell = shell;
    session->form = form;
  } else {
    fallback_form = form;
    XtAddCallback(shell, XmNdestroyCallback,
                  [](Widget, XtPointer, XtPointer) { fallback_form = nullptr; }, nullptr);
  }
  return form;
}

wu_status wutwfrm(wu_window *w) {
  if (!w || !wu_x_ok()) return WU_NOTAVAIL;
  if (w->mode == 0) {
    Arg args[8];
    Cardinal n = 0;
    XtSetArg(args[n], XmNvisual, devb->visual); ++n;
    XtSetArg(args[n], XmNdepth, devb->depth); ++n;
    XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
    XtSetArg(args[n], XmNdeleteResponse, XmDO_NOTHING); ++n;
    n = wu_shell_fonts(args, n);
    w->outer = XtAppCreateShell("qev", "QEV", topLevelShellWidgetClass, devb->display, args, n);
    XmAddWMProtocolCallback(w->outer, devb->wm_delete_window, CloseRequested, w);
    wutashl(w->outer);
  } else {
    Widget ws = wumaws(w->session);
    if (!ws) return WU_NOTAVAIL;
    w->outer = XtVaCreateWidget("qevFrame", xmFrameWidgetClass, ws, nullptr);
  }
  XtAddCallback(w->outer, XmNdestroyCallback, FrameDestroyed, w);
  w->main_window = XtVaCreateManagedWidget("mainWindow", xmMainWindowWidgetClass, w->outer,
                                           nullptr);
  w->work_form = XtVaCreateManagedWidget("workForm", xmFormWidgetClass, w->main_window,
                                         XmNbackground, devb->background, nullptr);
  w->form = XtVaCreateManagedWidget(
      "form", xmFormWidgetClass, w->work_form, XmNmarginWidth, 0, XmNmarginHeight, 0,
      XmNbackground, devb->background, XmNtopAttachment, XmATTACH_FORM, XmNleftAttachment,
      XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM, XmNbottomAttachment, XmATTACH_FORM,
      nullptr);
  w->input = QevCreateInput(w->form, "qevinput", nullptr, 0);
  XtVaSetValues(w->input, XmNbackground, devb->background, XmNhighlightThickness, 0,
                XmNshadowThickness, 0, XmNrightAttachment, XmATTACH_FORM, XmNbottomAttachment,
                XmATTACH_FORM, nullptr);
  XtAddCallback(w->input, QevNinsertCallback, wuwinsc, w);
  XtAddCallback(w->input, QevNfunctionKeyCallback, wuwfkey, w);
  XtManageChild(w->input);
  w->active = w->input;
  return WU_OK;
}

void wutdfrm(wu_window *w) {
  if (!w || !w->outer) return;
  Widget outer = w->outer;
  if (w->mode == 0) wutdshl(outer);
  wutxdes(outer);
  w->outer = w->main_window = w->work_form = w->form = w->input = w->active = nullptr;
  w->flags &= ~WU_WIN_REALIZED;
}

void wutxdes(Widget w) {
  if (!w) return;
  if (XtIsShell(w) && XtIsRealized(w) && !w->core.being_destroyed) XtUnrealizeWidget(w);
  XtDestroyWidget(w);
}

wu_status wutcnfg(wu_window *w) {
  if (!w || !w->form || !wu_x_ok()) return WU_NOTAVAIL;
  const int32_t cw = devb->cell_width, ch = devb->cell_height;
  const int32_t cols = WindowColumns(w);
  const int32_t top = CommandHeight(w);
  if (w->command_pane && w->command_pane->ext && w->command_pane->ext->widget)
    XtVaSetValues(w->command_pane->ext->widget, XmNtopAttachment, XmATTACH_FORM,
                  XmNleftAttachment, XmATTACH_FORM, XmNrightAttachment, XmATTACH_FORM,
                  XmNwidth, Dimension(cols * cw), XmNheight, Dimension(top), nullptr);
  int64_t bottom_rows = 0;
  for (wu_pane *p = w->panes; p; p = p->next) {
    bottom_rows = std::max<int64_t>(bottom_rows, int64_t(p->row) - 1 + p->rows);
    if (!p->ext || !p->ext->widget) continue;
    bool full = p->columns >= WU_FULL_WIDTH || int64_t(p->column) - 1 + p->columns >= cols;
    int64_t width = (full ? int64_t(cols) - p->column + 1 : int64_t(p->columns)) * cw;
    XtVaSetValues(p->ext->widget, XmNtopAttachment, XmATTACH_FORM, XmNtopOffset,
                  wu_x_coord_clamp(top + (int64_t(p->row) - 1) * ch), XmNleftAttachment,
                  XmATTACH_FORM, XmNleftOffset, wu_x_coord_clamp((int64_t(p->column) - 1) * cw),
                  XmNrightAttachment, full ? XmATTACH_FORM : XmATTACH_NONE,
                  XmNwidth, Dimension(std::max(1, wu_x_size_clamp(width))),
                  XmNheight, Dimension(std::max(1, wu_x_size_clamp(int64_t(p->rows) * ch))), nullptr);
  }
  XtVaSetValues(w->form, XmNwidth, Dimension(wu_x_size_clamp(int64_t(cols) * cw)),
                XmNheight, Dimension(std::max(1, wu_x_size_clamp(top + bottom_rows * ch))), nullptr);
  return WU_OK;
}

wu_status wuwmwsa(wu_window *w) {
  if (!w || !w->main_window) return WU_NOTAVAIL;
  XmMainWindowSetAreas(w->main_window, w->menu_widget, nullptr, nullptr, nullptr, w->work_form);
  return WU_OK;
}

wu_status wuwswsl(wu_window *w) {
  if (!w || !w->outer || !XtIsShell(w->outer)) return WU_NOTAVAIL;
  XtVaSetValues(w->outer, XmNminWidth, int(kMinColumns * devb->cell_width), XmNminHeight,
                int(CommandHeight(w) + devb->cell_height), nullptr);
  return WU_OK;
}

void wuwrent(Widget, XtPointer client, XEvent *event, Boolean *) {
  if (event && event->type == ButtonPress && client)
    wuxqwev(static_cast<wu_window *>(client), WU_EV_WAKE, nullptr, 0);
}

wu_status wuwFocusToQevinput(wu_window *w) {
  if (!w || !w->input || !wu_x_ok()) return WU_NOTAVAIL;
  XmProcessTraversal(w->input, XmTRAVERSE_CURRENT);
  return WU_OK;
}

}  // extern "C"
