/*
 * How a host loads the display module: it opens the shared object, calls
 * mcn_main with its global control block and the image descriptor block of
 * the loaded image, and follows the returned image-information record through
 * the product control node to the module main, which registers the module's
 * vector tables with the kernel.
 */
#ifndef QEV_MODULE_H
#define QEV_MODULE_H

#include <stdint.h>

#include "qev/kernel.h"
#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

#define QEV_MODULE_NAME "qevmotif"

/* Image descriptor block: the host's description of a loaded image. */
typedef struct qev_idb {
  char name[8];           /* image name, blank-padded */
  void *handle;           /* the host's handle of the loaded object */
  int32_t version;
  int32_t flags;
} qev_idb;

/* Product control node: names the product and leads to its main. */
typedef struct qev_pcn {
  char name[8];                                 /* "QEVMOTIF" */
  int32_t version;
  int32_t flags;
  wu_status (*main)(qev_gcb *gcb, qev_idb *idb); /* registers the vector tables */
  wu_status (*term)(qev_gcb *gcb);               /* withdraws them */
} qev_pcn;

/* Image-information record returned by mcn_main. */
typedef struct qev_image_info {
  char eye[8];            /* "IMGINFO " */
  int32_t version;
  int32_t flags;
  const qev_pcn *pcn;
} qev_image_info;

/* Vector table ids and slot counts. */
#define QEV_TABLE_WINDOW 8          /* wuxtbl: the window interface */
#define QEV_TABLE_WINDOW_SLOTS 154
#define QEV_TABLE_GRAPHICS 5        /* wugtbl: the graphics device */
#define QEV_TABLE_GRAPHICS_SLOTS 118
#define QEV_TABLE_IMAGES 0x20145    /* wugitbl: graphics images */
#define QEV_TABLE_IMAGES_SLOTS 25
#define QEV_TABLE_METHODS 16        /* wuxptbl: views and methods */
#define QEV_TABLE_METHODS_SLOTS 5

/* A vector table as registered with the kernel: a header and its slots.
   Every slot is called with the arguments its number fixes; callers cast
   the slot to that function type. */
typedef wu_status (*qev_slot_fn)(void);
typedef struct qev_table {
  char eye[8];            /* table name, blank-padded ("WUXTBL  ") */
  int32_t id;
  int32_t slot_count;
  const qev_slot_fn *slots;
} qev_table;

/* The module entry. */
const qev_image_info *mcn_main(qev_gcb *gcb, qev_idb *idb);

#ifdef __cplusplus
}
#endif

#endif /* QEV_MODULE_H */
