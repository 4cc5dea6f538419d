/* Private definitions of QevInput: class record and instance part. */
#ifndef QEV_TEXTWIN_QEVINPUTP_H
#define QEV_TEXTWIN_QEVINPUTP_H

#include <Xm/PrimitiveP.h>

#include "textwin/QevInput.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct _QevInputClassPart {
  XtPointer extension;
} QevInputClassPart;

typedef struct _QevInputClassRec {
  CoreClassPart core_class;
  XmPrimitiveClassPart primitive_class;
  QevInputClassPart input_class;
} QevInputClassRec;

extern QevInputClassRec qevInputClassRec;

typedef struct _QevInputPart {
  XtCallbackList insert_callback;
  XtCallbackList function_key_callback;
} QevInputPart;

typedef struct _QevInputRec {
  CorePart core;
  XmPrimitivePart primitive;
  QevInputPart input;
} QevInputRec;

#ifdef __cplusplus
}
#endif

#endif /* QEV_TEXTWIN_QEVINPUTP_H */
