/*
 * QevInput: the keyboard input widget of a host window.  It holds the
 * window's keyboard focus and turns key presses into callbacks: printable
 * characters through the action "qev-insert-char", named keys through
 * "qev-function-key(name)".  It draws nothing.
 *
 * Resources besides Motif's primitive resources:
 *   insertCallback       callback  a character was typed (QevCR_INSERT_CHAR)
 *   functionKeyCallback  callback  a named key was pressed (QevCR_FUNCTION_KEY)
 */
#ifndef QEV_TEXTWIN_QEVINPUT_H
#define QEV_TEXTWIN_QEVINPUT_H

#include <Xm/Xm.h>

#ifdef __cplusplus
extern "C" {
#endif

extern WidgetClass qevInputWidgetClass;
typedef struct _QevInputClassRec *QevInputWidgetClass;
typedef struct _QevInputRec *QevInputWidget;

#define QevIsInput(w) XtIsSubclass((w), qevInputWidgetClass)

#define QevNinsertCallback ((char *)"insertCallback")
#define QevNfunctionKeyCallback ((char *)"functionKeyCallback")

/* Callback reasons. */
#define QevCR_INSERT_CHAR 200
#define QevCR_FUNCTION_KEY 201

typedef struct {
  int reason;         /* QevCR_INSERT_CHAR or QevCR_FUNCTION_KEY */
  XEvent *event;
  const char *key;    /* the key's name (function keys), else NULL */
  char text[8];       /* the typed characters (insert), NUL-terminated */
  int length;
} QevInputCallbackStruct;

Widget QevCreateInput(Widget parent, const char *name, ArgList args, Cardinal count);

/* The two actions, for widgets that take the module's text keys without
   being input widgets: they find the callbacks through `handler`. */
typedef void (*QevKeyHandler)(Widget w, QevInputCallbackStruct *call);
void QevInputSetKeyHandler(QevKeyHandler handler);
/* Adds the two actions to an application context, for widgets of other
   classes whose translations name them. */
void QevInputRegisterActions(XtAppContext app);

#ifdef __cplusplus
}
#endif

#endif /* QEV_TEXTWIN_QEVINPUT_H */
