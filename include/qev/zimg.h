/*
 * The host's image conversion image "QEVZIMG ": loaded with wiloadv, its
 * vector (viidb2g) creates converter objects.  A converter is opened with
 * its own parameter area, given the portable image (set code 9302, one
 * argument) and the destination (set code 4020: path and format text), and
 * released.  Every call answers 0 or a return code.
 */
#ifndef QEV_ZIMG_H
#define QEV_ZIMG_H

#include <stdint.h>

#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

#define QEV_ZIMG_NAME "QEVZIMG "
#define QEV_ZIMG_LOAD_FLAGS 16384      /* wiloadv flags of the converter image */
#define QEV_ZIMG_SET_IMAGE 9302        /* set: the portable image to convert */
#define QEV_ZIMG_SET_OUTPUT 4020       /* set: path and format text; writes the file */
#define QEV_ZIMG_PARAMS 64             /* bytes of a converter's parameter area */

struct qev_zimg;
typedef struct qev_zimg_methods {
  wu_status (*open)(struct qev_zimg *self, void *params);
  wu_status (*set)(struct qev_zimg *self, int32_t code, int32_t nargs, void *const *args);
  wu_status (*release)(struct qev_zimg *self);
} qev_zimg_methods;

typedef struct qev_zimg {
  const qev_zimg_methods *methods;
  uint32_t flags;                      /* WU_CONVERTER_FLAG set by the caller */
  uint8_t params[QEV_ZIMG_PARAMS];
} qev_zimg;

/* The vector of the converter image. */
typedef struct qev_zimg_vector {
  wu_status (*create)(qev_zimg **out);
} qev_zimg_vector;

#ifdef __cplusplus
}
#endif

#endif /* QEV_ZIMG_H */
