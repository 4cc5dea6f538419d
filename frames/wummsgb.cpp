// Message boxes and the modal dialog loop.  A message box is a full
// application-modal XmMessageBox; its local loop turns until a button or the
// window manager's close answers it.  The close answers Cancel, as does a
// display lost while the box is up, so a caller never waits for ever.
#include <X11/IntrinsicP.h>
#include <Xm/BulletinB.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/MessageB.h>
#include <Xm/Protocols.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <Xm/Xm.h>

#include <vector>

#include "frames/wutframe.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

const char kBadMessage[] = "Bad Message";

struct Box {
  Widget dialog;
  int32_t answer;
  bool question;
};

void Answer(Box *box, int32_t answer) {
  box->answer = answer;
  if (box->dialog) XtUnmanageChild(box->dialog);
}

void OnOk(Widget, XtPointer client, XtPointer) {
  Box *box = static_cast<Box *>(client);
  Answer(box, box->question ? WU_ANSWER_YES : WU_ANSWER_OK);
}
void OnNo(Widget, XtPointer client, XtPointer) { Answer(static_cast<Box *>(client), WU_ANSWER_NO); }
void OnCancel(Widget, XtPointer client, XtPointer) {
  Answer(static_cast<Box *>(client), WU_ANSWER_CANCEL);
}
void OnBoxGone(Widget, XtPointer client, XtPointer) { static_cast<Box *>(client)->dialog = nullptr; }

Widget DialogParent(Widget parent) {
  if (parent && !parent->core.being_destroyed) return parent;
  return devb ? devb->toplevel : nullptr;
}

// Shows a message box and waits for its answer.
int32_t Show(Widget parent, const void *holder, const char *text, int32_t kind, int32_t buttons,
             const char *title) {
  parent = DialogParent(parent);
  if (!parent || !wu_x_ok()) return WU_ANSWER_CANCEL;
  if (holder && !wu_reg_has(holder, WU_REG_NONE)) return WU_ANSWER_CANCEL;
  unsigned char type = XmDIALOG_INFORMATION;
  const char *deflt_title = "Information";
  switch (kind) {
    case WU_MSG_ERROR: type = XmDIALOG_ERROR; deflt_title = "Error"; break;
    case WU_MSG_WARNING: type = XmDIALOG_WARNING; deflt_title = "Warning"; break;
    case WU_MSG_QUESTION: type = XmDIALOG_QUESTION; deflt_title = "Question"; break;
    default: break;
  }
  Box box = {nullptr, WU_ANSWER_CANCEL, buttons == WU_MSGB_YESNOCANCEL};
  XmString message = wumcl2r(text ? text : "");
  XmString caption = wumcstr(title && *title ? title : deflt_title);
  XmString yes = wumcstr("Yes");
  XmString cancel = wumcstr("Cancel");
  Arg args[10];
  Cardinal n = 0;
  XtSetArg(args[n], XmNdialogType, type); n++;
  XtSetArg(args[n], XmNmessageString, message); n++;
  XtSetArg(args[n], XmNdialogTitle, caption); n++;
  XtSetArg(args[n], XmNdialogStyle, XmDIALOG_FULL_APPLICATION_MODAL); n++;
  XtSetArg(args[n], XmNdeleteResponse, XmDO_NOTHING); n++;
  XtSetArg(args[n], XmNautoUnmanage, False); n++;
  XtSetArg(args[n], XmNcancelLabelString, cancel); n++;
  if (box.question) {
    XtSetArg(args[n], XmNokLabelString, yes); n++;
  }
  if (devb->font_list) {
    XtSetArg(args[n], XmNlabelFontList, devb->font_list); n++;
  }
  box.dialog = XmCreateMessageDialog(parent, const_cast<char *>("qevMessage"), args, n);
  XmStringFree(message);
  XmStringFree(caption);
  XmStringFree(yes);
  XmStringFree(cancel);

  XtUnmanageChild(XmMessageBoxGetChild(box.dialog, XmDIALOG_HELP_BUTTON));
  if (buttons == WU_MSGB_OK)
    XtUnmanageChild(XmMessageBoxGetChild(box.dialog, XmDIALOG_CANCEL_BUTTON));
  XtAddCallback(box.dialog, XmNokCallback, OnOk, &box);
  XtAddCallback(box.dialog, XmNcancelCallback, OnCancel, &box);
  XtAddCallback(box.dialog, XmNdestroyCallback, OnBoxGone, &box);
  Widget nb = nullptr;
  if (box.question) {
    // The No button sits between Yes and Cancel.
    XmString no = wumcstr("No");
    nb = XtVaCreateManagedWidget("no", xmPushButtonWidgetClass, box.dialog, XmNlabelString, no,
                                 nullptr);
    XmStringFree(no);
    XtAddCallback(nb, XmNactivateCallback, OnNo, &box);
  }
  Widget shell = XtParent(box.dialog);
  Atom del = XmInternAtom(XtDisplay(shell), const_cast<char *>("WM_DELETE_WINDOW"), False);
  XmAddWMProtocolCallback(shell, del, OnCancel, &box);
  wutashl(shell);

  const uint8_t outer_modal = devb->modal_requestor;
  devb->modal_requestor = 1;
  XtManageChild(box.dialog);
  // A box whose parent or holder goes, a display lost or a shut-down
  // answers Cancel.
  if (wumwdlg(box.dialog, holder) != WU_OK) box.answer = WU_ANSWER_CANCEL;
  // Inside an event the toolkit is dispatching, a destroyed box is freed
  // only when that event ends: until then nothing of it may call back into
  // this frame.
  if (box.dialog) {
    XtRemoveCallback(box.dialog, XmNokCallback, OnOk, &box);
    XtRemoveCallback(box.dialog, XmNcancelCallback, OnCancel, &box);
    XtRemoveCallback(box.dialog, XmNdestroyCallback, OnBoxGone, &box);
    if (nb) XtRemoveCallback(nb, XmNactivateCallback, OnNo, &box);
    XmRemoveWMProtocolCallback(shell, del, OnCancel, &box);
  }
  if (devb) {
    devb->modal_requestor = outer_modal;
    if (wu_x_ok()) XFlush(devb->display);
  }
  return box.answer;
}

// The state of one modal wait: set when its widget is destroyed.
struct Wait {
  bool destroyed;
};

void WaitGone(Widget, XtPointer client, XtPointer) { static_cast<Wait *>(client)->destroyed = true; }

// The holders of the waits in progress, outermost first.  A wait nested in
// another serves what the outer one serves as well: a message box or popup
// opened from a dialog's callback ends when the dialog's window goes, even
// when the box was given no holder of its own.
std::vector<wu_reg_hold> &Holders() {
  static std::vector<wu_reg_hold> holders;
  return holders;
}

bool HoldersAlive() {
  for (const wu_reg_hold &h : Holders())
    if (!wu_reg_alive(h)) return false;
  return true;
}

// Enters a wait's holder for the time of the wait.
struct HolderScope {
  bool entered;
  explicit HolderScope(const void *holder, wu_reg_hold hold) : entered(holder != nullptr) {
    if (entered) Holders().push_back(hold);
  }
  ~HolderScope() {
    if (entered && !Holders().empty()) Holders().pop_back();
  }
};

// A host message as a new NUL-terminated text (XtFree), or null.
char *HostText(int32_t set, int32_t number) {
  char *text = wuxgmft(set, number);
  if (!text) return nullptr;
  char *copy = XtNewString(text);
  vmfree_handler(wu_module_pool(), text, -1, 0);
  return copy;
}

}  // namespace

extern "C" {

// Motif's store of the Xft drawing state of each window it drew text in.
// It never forgets a window by itself: the entries of destroyed windows
// pile up for the life of the process.
void *_XmXftDrawCreate(Display *display, Window window) __attribute__((weak));
void _XmXftDrawDestroy(Display *display, Window window, void *draw) __attribute__((weak));

}  // extern "C"

namespace {

// Motif files, for every label it makes (and every widget of a class made
// on the label), the class translations it lent the widget while making
// it, in a context of its own keyed by the widget, and never deletes the
// entry: one stays behind for every address such a widget ever had.  The
// context is the one that holds an entry for a label just made (0 when not
// exactly one does, and nothing is deleted then).  Context numbers are the
// process's own, so the one found serves every display.
XContext MotifLentTranslations(Widget any) {
  static XContext found = 0;
  static bool looked = false;
  if (looked || devb == nullptr || devb->toplevel == nullptr) return found;
  looked = true;
  Display *dpy = XtDisplay(any);
  Widget probe = XtCreateWidget("qevProbe", xmLabelWidgetClass, devb->toplevel, nullptr, 0);
  if (!probe) return found;
  // Contexts are unique quarks, numbered down from -1.
  const XContext last = XUniqueContext();
  int hits = 0;
  for (XContext c = -1; c > last; --c) {
    XPointer data = nullptr;
    if (XFindContext(dpy, reinterpret_cast<XID>(probe), c, &data) == 0) {
      found = c;
      ++hits;
    }
  }
  if (hits != 1) found = 0;
  if (found) XDeleteContext(dpy, reinterpret_cast<XID>(probe), found);
  XtDestroyWidget(probe);
  return found;
}

// What a widget is for Motif's text drawing state, from one walk up its
// classes: a label (or a class made on one), for which Motif files lent
// translations; or a widget that draws no text into its own window: a
// scroll bar, or a frame or bulletin board (forms included), whose
// children are widgets with windows of their own, so long as no gadget (a
// gadget draws in its parent's window) is among them.  (A drawing area may
// have text drawn into it by its owner.)
struct TextRole {
  bool label = false;
  bool no_text = false;
};

TextRole RoleOf(Widget w) {
  TextRole r;
  bool container = false;
  for (WidgetClass c = XtClass(w); c != nullptr; c = c->core_class.superclass) {
    if (c == xmLabelWidgetClass) { r.label = true; break; }
    if (c == xmScrollBarWidgetClass) { r.no_text = true; return r; }
    if (c == xmFrameWidgetClass || c == xmBulletinBoardWidgetClass) {
      container = true;
      break;
    }
    if (c == xmPrimitiveWidgetClass || c == xmManagerWidgetClass || c == coreWidgetClass) break;
  }
  if (!container) return r;
  const CompositeWidget cw = reinterpret_cast<CompositeWidget>(w);
  for (Cardinal i = 0; i < cw->composite.num_children; ++i)
    if (!XtIsWidget(cw->composite.children[i])) return r;
  r.no_text = true;
  return r;
}

}  // namespace

extern "C" {

void wumdxft(Widget root) {
  if (!root || !wu_x_ok()) return;
  const XContext lent = MotifLentTranslations(root);
  Display *dpy = XtDisplay(root);
  std::vector<Widget> todo{root};
  while (!todo.empty()) {
    Widget w = todo.back();
    todo.pop_back();
    const TextRole role = RoleOf(w);
    // Motif files translations for its labels and the classes made on them.
    if (lent && role.label) XDeleteContext(dpy, reinterpret_cast<XID>(w), lent);
    if (!XtIsWidget(w)) continue;
    for (Cardinal i = 0; i < w->core.num_popups; ++i) todo.push_back(w->core.popup_list[i]);
    if (XtIsComposite(w)) {
      CompositeWidget c = reinterpret_cast<CompositeWidget>(w);
      for (Cardinal i = 0; i < c->composite.num_children; ++i) todo.push_back(c->composite.children[i]);
    }
    if (!role.no_text) wumdxfw(w);
  }
}

void wumdxlt(Widget w) {
  if (!w || !XmIsLabel(w) || !wu_x_ok()) return;
  if (const XContext lent = MotifLentTranslations(w))
    XDeleteContext(XtDisplay(w), reinterpret_cast<XID>(w), lent);
}

void wumdxfw(Widget w) {
  if (!w || !XtIsRealized(w) || !_XmXftDrawCreate || !_XmXftDrawDestroy || !wu_x_ok()) return;
  Display *dpy = XtDisplay(w);
  if (void *draw = _XmXftDrawCreate(dpy, XtWindow(w))) _XmXftDrawDestroy(dpy, XtWindow(w), draw);
}

wu_status wumwait(Widget w, const void *holder, int32_t *destroyed) {
  return wumwans(w, holder, nullptr, 0, destroyed);
}

wu_status wumwans(Widget w, const void *holder, const int32_t *answer, int32_t waiting,
                  int32_t *destroyed) {
  if (destroyed) *destroyed = 0;
  if (!w || !devb || w->core.being_destroyed) return WU_CANCELLED;
  const wu_reg_hold hold = wu_reg_take(holder);
  if ((holder && !wu_reg_alive(hold)) || !HoldersAlive()) return WU_CANCELLED;
  HolderScope scope(holder, hold);
  Wait wait = {false};
  XtAddCallback(w, XmNdestroyCallback, WaitGone, &wait);
  wu_status st = WU_OK;
  wu_loop_enter();
  // The widget is looked at only while its destroy callback has not run.
  // A destroy begun inside an event the toolkit is still dispatching (the
  // window released under a box opened from a button's callback) only
  // marks the widget: the toolkit frees it once that dispatch ends, which
  // is after this wait, so the mark ends the wait.
  while (!wait.destroyed && !w->core.being_destroyed && XtIsManaged(w) &&
         (!answer || *answer == waiting)) {
    if (!HoldersAlive() || !wutturn(-1)) {
      st = WU_CANCELLED;
      break;
    }
  }
  // Leaving the outermost loop may end the module, and its widgets with it.
  const bool ended = wu_loop_leave() != WU_OK || !devb;
  // Until its destroy callback has run the widget stands, so the callback,
  // which names this frame, is taken back.
  if (!wait.destroyed) XtRemoveCallback(w, XmNdestroyCallback, WaitGone, &wait);
  if (wait.destroyed || ended || w->core.being_destroyed) {
    if (destroyed) *destroyed = 1;
    return WU_CANCELLED;
  }
  return st;
}

wu_status wumwdlg(Widget dialog, const void *holder) {
  if (!dialog) return WU_CANCELLED;
  Widget shell = XtParent(dialog);
  int32_t destroyed = 0;
  wu_status st = wumwait(dialog, holder, &destroyed);
  if (!destroyed && devb && shell) {
    wumdxft(shell);
    XtDestroyWidget(shell);
  }
  return st;
}

wu_status wumdevt(Widget w, int32_t block) {
  if (!w || !devb) return WU_NOTAVAIL;
  if (!block) return wutsync(0, 1);
  return wumwait(w, nullptr, nullptr);
}

int32_t wumpmsg(Widget parent, const char *text, int32_t kind, int32_t) {
  return wumpmsh(parent, nullptr, text, kind);
}

int32_t wumpmsh(Widget parent, const void *holder, const char *text, int32_t kind) {
  return Show(parent, holder, text, kind,
              kind == WU_MSG_QUESTION ? WU_MSGB_YESNOCANCEL : WU_MSGB_OK, nullptr);
}

int32_t wumpmmg(Widget parent, int32_t set, int32_t number, int32_t buttons, const char *title) {
  return wumpmmh(parent, nullptr, set, number, buttons, title);
}

int32_t wumpmmh(Widget parent, const void *holder, int32_t set, int32_t number, int32_t buttons,
                const char *title) {
  char *text = HostText(set, number);
  int32_t kind = buttons == WU_MSGB_YESNOCANCEL ? WU_MSG_QUESTION : WU_MSG_INFO;
  int32_t answer = Show(parent, holder, text ? text : kBadMessage, kind, buttons, title);
  XtFree(text);
  return answer;
}

XmString wumlstr(int32_t set, int32_t number) {
  char *text = HostText(set, number);
  XmString s = wumcl2r(text ? text : kBadMessage);
  XtFree(text);
  return s;
}

}  // extern "C"
