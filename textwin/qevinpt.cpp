// QevInput: the keyboard input widget of a host window.
#include "textwin/QevInputP.h"

#include <X11/Xutil.h>
#include <cstring>

namespace {

QevKeyHandler g_handler = nullptr;

XtResource resources[] = {
    {(String)QevNinsertCallback, (String)XmCCallback, XtRCallback, sizeof(XtCallbackList),
     XtOffsetOf(QevInputRec, input.insert_callback), XtRCallback, nullptr},
    {(String)QevNfunctionKeyCallback, (String)XmCCallback, XtRCallback, sizeof(XtCallbackList),
     XtOffsetOf(QevInputRec, input.function_key_callback), XtRCallback, nullptr},
};

// Hands a key to the widget's callbacks, or to the module's key handler for
// widgets of other classes that carry the module's key translations.
void Deliver(Widget w, QevInputCallbackStruct *call) {
  if (QevIsInput(w)) {
    QevInputPart &p = ((QevInputWidget)w)->input;
    XtCallCallbackList(w, call->reason == QevCR_INSERT_CHAR ? p.insert_callback
                                                            : p.function_key_callback,
                       call);
  } else if (g_handler) {
    g_handler(w, call);
  }
}

void InsertChar(Widget w, XEvent *event, String *, Cardinal *) {
  if (!event || event->type != KeyPress) return;
  QevInputCallbackStruct call;
  std::memset(&call, 0, sizeof call);
  KeySym sym = NoSymbol;
  int n = XLookupString(&event->xkey, call.text, sizeof call.text - 1, &sym, nullptr);
  if (n <= 0 || (unsigned char)call.text[0] < ' ' || call.text[0] == 0x7f) return;
  call.text[n] = '\0';
  call.reason = QevCR_INSERT_CHAR;
  call.event = event;
  call.length = n;
  Deliver(w, &call);
}

void FunctionKey(Widget w, XEvent *event, String *params, Cardinal *count) {
  if (!count || *count < 1 || !params[0]) return;
  QevInputCallbackStruct call;
  std::memset(&call, 0, sizeof call);
  call.reason = QevCR_FUNCTION_KEY;
  call.event = event;
  call.key = params[0];
  Deliver(w, &call);
}

XtActionsRec actions[] = {
    {(String) "qev-insert-char", InsertChar},
    {(String) "qev-function-key", FunctionKey},
};
// The same actions for an application context: Xt compiles a class's
// action table in place, so the context gets a table of its own.
XtActionsRec app_actions[] = {
    {(String) "qev-insert-char", InsertChar},
    {(String) "qev-function-key", FunctionKey},
};

// Named keys first (most specific modifiers first); everything else may be
// a printable character.  Motif's key translator hands the keys that carry a
// virtual binding (Return, the arrows, BackSpace, Escape, F1, F10 ...) to
// translations under their osf names, so each such key is listed under both
// names: the osf name matches wherever the binding exists, the plain name
// where it does not.
const char default_translations[] =
    "<Key>osfActivate: qev-function-key(Enter)\n"
    "<Key>osfBackSpace: qev-function-key(BackSpace)\n"
    "<Key>osfDelete: qev-function-key(Delete)\n"
    "<Key>osfBeginLine: qev-function-key(Home)\n"
    "<Key>osfEndLine: qev-function-key(End)\n"
    "<Key>osfLeft: qev-function-key(Left)\n"
    "<Key>osfRight: qev-function-key(Right)\n"
    "<Key>osfUp: qev-function-key(Up)\n"
    "<Key>osfDown: qev-function-key(Down)\n"
    "<Key>osfPageUp: qev-function-key(PageUp)\n"
    "<Key>osfPageDown: qev-function-key(PageDown)\n"
    "<Key>osfCancel: qev-function-key(Escape)\n"
    "<Key>osfInsert: qev-function-key(Insert)\n"
    "<Key>osfHelp: qev-function-key(F1)\n"
    "<Key>osfMenuBar: qev-function-key(F10)\n"
    "Shift<Key>Tab: qev-function-key(BackTab)\n"
    "<Key>Tab: qev-function-key(Tab)\n"
    "<Key>Return: qev-function-key(Enter)\n"
    "<Key>KP_Enter: qev-function-key(Enter)\n"
    "<Key>BackSpace: qev-function-key(BackSpace)\n"
    "<Key>Delete: qev-function-key(Delete)\n"
    "<Key>Home: qev-function-key(Home)\n"
    "<Key>End: qev-function-key(End)\n"
    "<Key>Left: qev-function-key(Left)\n"
    "<Key>Right: qev-function-key(Right)\n"
    "<Key>Up: qev-function-key(Up)\n"
    "<Key>Down: qev-function-key(Down)\n"
    "<Key>Prior: qev-function-key(PageUp)\n"
    "<Key>Next: qev-function-key(PageDown)\n"
    "<Key>Escape: qev-function-key(Escape)\n"
    "<Key>F1: qev-function-key(F1)\n"
    "<Key>F2: qev-function-key(F2)\n"
    "<Key>F3: qev-function-key(F3)\n"
    "<Key>F4: qev-function-key(F4)\n"
    "<Key>F5: qev-function-key(F5)\n"
    "<Key>F6: qev-function-key(F6)\n"
    "<Key>F7: qev-function-key(F7)\n"
    "<Key>F8: qev-function-key(F8)\n"
    "<Key>F9: qev-function-key(F9)\n"
    "<Key>F10: qev-function-key(F10)\n"
    "<Key>F11: qev-function-key(F11)\n"
    "<Key>F12: qev-function-key(F12)\n"
    "<Key>: qev-insert-char()\n"
    "<FocusIn>: PrimitiveFocusIn()\n"
    "<FocusOut>: PrimitiveFocusOut()";

void Initialize(Widget, Widget nw, ArgList, Cardinal *) {
  // Nothing to show: a one-pixel window that takes the keyboard.
  if (nw->core.width == 0) nw->core.width = 1;
  if (nw->core.height == 0) nw->core.height = 1;
}

}  // namespace

extern "C" {

QevInputClassRec qevInputClassRec = {
    {
        /* superclass */ (WidgetClass)&xmPrimitiveClassRec,
        /* class_name */ (String) "QevInput",
        /* widget_size */ sizeof(QevInputRec),
        /* class_initialize */ nullptr,
        /* class_part_initialize */ nullptr,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ nullptr,
        /* realize */ XtInheritRealize,
        /* actions */ actions,
        /* num_actions */ XtNumber(actions),
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* compress_motion */ True,
        /* compress_exposure */ XtExposeCompressMaximal,
        /* compress_enterleave */ True,
        /* visible_interest */ False,
        /* destroy */ nullptr,
        /* resize */ nullptr,
        /* expose */ nullptr,
        /* set_values */ nullptr,
        /* set_values_hook */ nullptr,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ nullptr,
        /* accept_focus */ nullptr,
        /* version */ XtVersion,
        /* callback_private */ nullptr,
        /* tm_table */ (String)default_translations,
        /* query_geometry */ nullptr,
        /* display_accelerator */ nullptr,
        /* extension */ nullptr,
    },
    {
        /* border_highlight */ XmInheritBorderHighlight,
        /* border_unhighlight */ XmInheritBorderUnhighlight,
        /* translations: the widget's own keys again; XmPrimitive's traversal
           keys (Tab, Return, the arrows, Escape, Home) would otherwise be laid
           over them and never reach the window */
        /* translations */ (String)default_translations,
        /* arm_and_activate */ nullptr,
        /* syn_resources */ nullptr,
        /* num_syn_resources */ 0,
        /* extension */ nullptr,
    },
    {
        /* extension */ nullptr,
    },
};

WidgetClass qevInputWidgetClass = (WidgetClass)&qevInputClassRec;

Widget QevCreateInput(Widget parent, const char *name, ArgList args, Cardinal count) {
  return XtCreateWidget(name, qevInputWidgetClass, parent, args, count);
}

void QevInputSetKeyHandler(QevKeyHandler handler) { g_handler = handler; }

void QevInputRegisterActions(XtAppContext app) {
  if (app) XtAppAddActions(app, app_actions, XtNumber(app_actions));
}

}  // extern "C"
