// The display-manager font dialog: a modal list of the server's fonts of
// the display's character set; the chosen font becomes the display font of
// every display-manager window (wumrfnt).
#include <X11/Intrinsic.h>
#include <Xm/Protocols.h>
#include <Xm/SelectioB.h>
#include <Xm/Xm.h>

#include <string>

#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "runtime/wureg.h"
#include "runtime/wutoolkit.h"

namespace {

const char kFontPattern[] = "-*-*-*-*-*-*-*-*-*-*-*-*-iso8859-1";
const int kMaxFonts = 500;

struct Choice {
  Widget dialog;
  bool chosen;
  std::string font;
};

void OnOk(Widget, XtPointer client, XtPointer call) {
  Choice *c = static_cast<Choice *>(client);
  auto *cbs = static_cast<XmSelectionBoxCallbackStruct *>(call);
  char *text = cbs ? wumgstr(cbs->value) : nullptr;
  c->font = text ? text : "";
  XtFree(text);
  c->chosen = !c->font.empty();
  XtUnmanageChild(c->dialog);
}

void OnCancel(Widget, XtPointer client, XtPointer) {
  Choice *c = static_cast<Choice *>(client);
  c->chosen = false;
  if (c->dialog) XtUnmanageChild(c->dialog);
}

}  // namespace

extern "C" {

wu_status wumcfnt(wu_window *window) {
  if (!wu_x_ok() || (window && !wu_reg_has(window, WU_REG_WINDOW))) return WU_NOTAVAIL;
  Widget parent = (window && window->outer) ? reinterpret_cast<Widget>(window->outer) : devb->toplevel;
  int count = 0;
  char **names = XListFonts(devb->display, kFontPattern, kMaxFonts, &count);
  XmString *items = reinterpret_cast<XmString *>(XtMalloc(Cardinal((count + 1) * sizeof(XmString))));
  for (int i = 0; i < count; ++i) items[i] = wumcstr(names[i]);
  XmString caption = wumcstr("Font");
  Arg args[8];
  Cardinal n = 0;
  XtSetArg(args[n], XmNdialogTitle, caption); n++;
  XtSetArg(args[n], XmNlistItems, items); n++;
  XtSetArg(args[n], XmNlistItemCount, count); n++;
  XtSetArg(args[n], XmNmustMatch, True); n++;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL); n++;
  XtSetArg(args[n], XmNdeleteResponse, XmDO_NOTHING); n++;
  XtSetArg(args[n], XmNautoUnmanage, False); n++;
  Choice choice = {nullptr, false, std::string()};
  choice.dialog = XmCreateSelectionDialog(parent, const_cast<char *>("qevFontSelection"), args, n);
  for (int i = 0; i < count; ++i) XmStringFree(items[i]);
  XtFree(reinterpret_cast<char *>(items));
  XmStringFree(caption);
  if (names) XFreeFontNames(names);
  XtUnmanageChild(XmSelectionBoxGetChild(choice.dialog, XmDIALOG_HELP_BUTTON));
  XtAddCallback(choice.dialog, XmNokCallback, OnOk, &choice);
  XtAddCallback(choice.dialog, XmNnoMatchCallback, OnCancel, &choice);
  XtAddCallback(choice.dialog, XmNcancelCallback, OnCancel, &choice);
  Widget shell = XtParent(choice.dialog);
  XmAddWMProtocolCallback(shell, devb->wm_delete_window, OnCancel, &choice);
  wutashl(shell);
  XtManageChild(choice.dialog);
  // The dialog ends as a cancel when its window goes or the display is lost.
  if (wumwdlg(choice.dialog, window) != WU_OK) return WU_CANCELLED;
  if (!choice.chosen) return WU_CANCELLED;
  return wumrfnt(choice.font.c_str(), nullptr);
}

}  // extern "C"
