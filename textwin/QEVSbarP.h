/* Private definitions of QEVSbar: class record and instance part. */
#ifndef QEV_TEXTWIN_QEVSBARP_H
#define QEV_TEXTWIN_QEVSBARP_H

#include <Xm/ScrollBarP.h>

#include "textwin/QEVSbar.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _QEVSbarClassPart {
  XtPointer extension;
} QEVSbarClassPart;

typedef struct _QEVSbarClassRec {
  CoreClassPart core_class;
  XmPrimitiveClassPart primitive_class;
  XmScrollBarClassPart scrollBar_class;
  QEVSbarClassPart qev_sbar_class;
} QEVSbarClassRec;

extern QEVSbarClassRec qevSbarClassRec;

typedef struct _QEVSbarPart {
  int unused;   /* no state of its own */
} QEVSbarPart;

typedef struct _QEVSbarRec {
  CorePart core;
  XmPrimitivePart primitive;
  XmScrollBarPart scrollBar;
  QEVSbarPart qev_sbar;
} QEVSbarRec;

#ifdef __cplusplus
}
#endif

#endif /* QEV_TEXTWIN_QEVSBARP_H */
