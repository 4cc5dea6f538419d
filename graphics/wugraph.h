/*
 * Graphics device services used across the module: colour allocation, the
 * display-manager colours, easel information, portable images and the
 * printer link.
 */
#ifndef QEV_GRAPHICS_WUGRAPH_H
#define QEV_GRAPHICS_WUGRAPH_H

#include <X11/Intrinsic.h>
#include <X11/Xlib.h>
#include <cstdint>

#include "qev/records.h"
#include "qev/status.h"

/* Information words of an easel (wuginfo). */
#define WU_EASEL_INFO_WORDS 24
#define WU_EINFO_KIND 7        /* easel kind: 0 a plain drawing easel */
#define WU_EINFO_WIDTH 17      /* width in pixels */
#define WU_EINFO_HEIGHT 18     /* height in pixels */

/* A drawing surface inside a pane. */
typedef struct wu_easel {
  struct wu_easel *next;
  wu_pane *pane;
  int32_t info[WU_EASEL_INFO_WORDS];
  Drawable drawable;
  GC gc;
  Widget widget;
} wu_easel;

/* Kinds of portable images. */
#define WU_IMAGE_INDEXED 1
#define WU_IMAGE_RGB 2
#define WU_IMAGE_BITMAP 3
#define WU_RGB_BYTES 3         /* bytes per pixel of an RGB image */

/* The host's portable image form. */
typedef struct wu_image {
  int32_t width;
  int32_t height;
  int32_t kind;              /* WU_IMAGE_... */
  int32_t row_bytes;
  int32_t colour_count;      /* entries of the colour table (indexed images) */
  uint16_t *colours;         /* red, green, blue per entry */
  uint8_t *data;             /* row_bytes * height bytes */
  void *binding;             /* X side of the image while bound, or null */
} wu_image;

extern "C" {

wu_status wuglclr(wu_colour_cell *cells, int32_t count, void *table);
wu_status wugrclr(wu_colour_cell *cells, int32_t count, void *table);
/* References the module holds on a shared pixel (0 when none). */
int32_t wugcref(uint32_t pixel);
void wugfclr(void);        /* releases every colour at shut-down */
wu_status wuggdmc(int32_t index, int32_t *rgb_out);

int32_t *wuginfo(wu_easel *easel);
wu_status wutx2xu(XImage *image, Colormap colormap, wu_image *out, void *task);
wu_status wugwcli(const wu_image *image, const char *path, const char *format, void *task);
wu_status wugfrdi(wu_image *image);

wu_status wupinit(void);
wu_status wupshop(void *printer);

}  // extern "C"

#endif /* QEV_GRAPHICS_WUGRAPH_H */
