/*
 * Status codes returned across the host boundary.  Every host-facing function
 * returns a 32-bit status: 0 for success, one of the values below otherwise.
 * Codes with the high bit set are failures; the small positive codes are
 * answers that a caller acts on (cancelled, try another way, ...).
 */
#ifndef QEV_STATUS_H
#define QEV_STATUS_H

#include <stdint.h>

typedef int32_t wu_status;

/* General results. */
#define WU_OK               ((wu_status)0)          /* success */
#define WU_NOMEM            ((wu_status)0x80000803) /* out of memory */
#define WU_NOTAVAIL         ((wu_status)0x8000480c) /* object or operation not available */
#define WU_INITFAIL         ((wu_status)0x8000480a) /* start-up failed */
#define WU_BADXLT           ((wu_status)0x8000200a) /* unknown translation-table kind */
#define WU_UNSUPPORTED      ((wu_status)2059)       /* not supported: the caller may try another way */

/* Answers of dialogs and modal waits. */
#define WU_CANCELLED        ((wu_status)18452)      /* a dialog was cancelled */
#define WU_SECOND_EVENT     ((wu_status)18447)      /* a modal wait ended on its second event */

/* Control services. */
#define WU_ENTRY_STATUS     ((wu_status)18460)      /* at least one value entry carries a status */
#define WU_ALLOCATED        ((wu_status)18469)      /* entry: value allocated for the caller */
/* Answers of a control's event procedure to a synchronous event. */
#define WU_EVPROC_ANSWER    ((wu_status)18470)      /* queue event 114 with the answer word; consume the key */
#define WU_EVPROC_PASS      ((wu_status)18474)      /* let the key go on to the widget */
#define WU_EVPROC_ANSWER_PASS ((wu_status)18475)    /* queue event 114 and let the key go on */

/* Per-entry statuses of attribute set and query. */
#define WU_E_NOT_HANDLED    ((wu_status)0x8000481a) /* code not handled by the kind */
#define WU_E_SIZE_FIXED     ((wu_status)0x80004817) /* size fixed by conformSize */
#define WU_E_NO_PART        ((wu_status)0x80004818) /* queried part not present */
#define WU_E_RANGE          ((wu_status)0x80004819) /* value out of range */
#define WU_E_CREATE_ONLY    ((wu_status)0x80004827) /* creation-only attribute set later */

/* Host file and catalog services. */
#define WU_EOF              ((wu_status)0x801)      /* record file: end of file */
#define WU_EOM_MASK         ((wu_status)0x803fffff) /* mask a member read status with this ... */
#define WU_EOM              ((wu_status)0x1c00a)    /* ... and compare: end of member */

/* True when a member read status (high bits and all) says end of member. */
#define WU_IS_EOM(st)       ((((int32_t)(st)) & WU_EOM_MASK) == WU_EOM)

/* Argument checks of the kernel services. */
#define WU_BADARG           ((wu_status)0x80004830) /* bad argument: null pointer, negative length,
                                                       unknown or closed handle */
#define WU_READONLY         ((wu_status)0x80004831) /* library is read-only: write refused */
#define WU_TRUNCATED        ((wu_status)0x80004832) /* result cut to the caller's buffer */

/* Module event queue. */
#define WU_QUEUE_FULL       ((wu_status)0x80004833) /* all nodes of the module event queue are in use */
#define WU_SHORTBUF         ((wu_status)0x80004834) /* caller's buffer too small: nothing was taken */

/* Answers of message boxes and of the module's local answer loops. */
#define WU_ANSWER_YES       ((wu_status)124)        /* message box: Yes */
#define WU_ANSWER_NO        ((wu_status)125)        /* message box: No */
#define WU_ANSWER_OK        ((wu_status)126)        /* OK */
#define WU_ANSWER_CANCEL    ((wu_status)127)        /* Cancel, or the window manager's close */

/* Control attribute set without a kind setter. */
#define WU_NO_SETTER        ((wu_status)0x80000805) /* the control has no setter of its own */


/* Menus. */
#define WU_MENU_LOAD_FAILED ((wu_status)1)          /* a menu entry could not be loaded or was refused */
#define WU_MENU_NOT_BUILT   ((wu_status)0x80000000) /* no menu widget: no set, no root, bad mode */

#endif /* QEV_STATUS_H */
