/*
 * QEVSbar: the scroll bar of host panes and of the older pane bars.  A Motif
 * scroll bar that stays out of keyboard traversal, so that the keyboard
 * focus remains on the window's input widget while the user scrolls with
 * the pointer.  All resources and callbacks are the scroll bar's.
 */
#ifndef QEV_TEXTWIN_QEVSBAR_H
#define QEV_TEXTWIN_QEVSBAR_H

#include <Xm/ScrollBar.h>

#ifdef __cplusplus
extern "C" {
#endif

extern WidgetClass qevSbarWidgetClass;
typedef struct _QEVSbarClassRec *QEVSbarWidgetClass;
typedef struct _QEVSbarRec *QEVSbarWidget;

#define QevIsSbar(w) XtIsSubclass((w), qevSbarWidgetClass)

/* Creates a QEVSbar (unmanaged). */
Widget sscreat(Widget parent, const char *name, ArgList args, Cardinal count);

#ifdef __cplusplus
}
#endif

#endif /* QEV_TEXTWIN_QEVSBAR_H */
