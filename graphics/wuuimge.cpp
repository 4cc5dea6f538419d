// Portable images: X images converted to the host's RGB form, images written
// as XPM files through Motif's XPM functions, and easel information.
#include <X11/Intrinsic.h>
#include <X11/Xutil.h>
#include <Xm/Xm.h>
#include <Xm/XpmP.h>

#include <cstring>
#include <strings.h>

#include "graphics/wugraph.h"
#include "runtime/wutoolkit.h"

namespace {

const char kFormatXpm[] = "xpm";
const int kShift8 = 8;   // 16-bit colour component to 8 bits

int MaskShift(unsigned long mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}
int MaskBits(unsigned long mask) {
  int n = 0;
  for (; mask; mask >>= 1) n += int(mask & 1);
  return n;
}
uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (!mask) return 0;
  unsigned long v = (pixel & mask) >> MaskShift(mask);
  int bits = MaskBits(mask);
  return uint8_t(bits >= 8 ? v >> (bits - 8) : (v * 255) / ((1UL << bits) - 1));
}
unsigned long Compose(uint8_t value, unsigned long mask) {
  int bits = MaskBits(mask);
  unsigned long v = bits >= 8 ? (unsigned long)value << (bits - 8) : value >> (8 - bits);
  return (v << MaskShift(mask)) & mask;
}

bool TrueColour() {
  return devb->visual->c_class == TrueColor || devb->visual->c_class == DirectColor;
}

}  // namespace

extern "C" {

int32_t *wuginfo(wu_easel *easel) { return easel ? easel->info : nullptr; }

wu_status wutx2xu(XImage *image, Colormap colormap, wu_image *out, void *) {
  if (!image || !out || !wu_x_ok()) return WU_NOTAVAIL;
  std::memset(out, 0, sizeof *out);
  const int w = image->width, h = image->height;
  if (w <= 0 || h <= 0) return WU_NOTAVAIL;
  out->width = w;
  out->height = h;
  out->kind = WU_IMAGE_RGB;
  out->row_bytes = w * WU_RGB_BYTES;
  out->data = reinterpret_cast<uint8_t *>(XtMalloc(Cardinal(out->row_bytes * h)));
  const bool direct = TrueColour() && image->depth == devb->depth;
  for (int y = 0; y < h; ++y) {
    uint8_t *row = out->data + y * out->row_bytes;
    for (int x = 0; x < w; ++x) {
      unsigned long p = XGetPixel(image, x, y);
      uint8_t *px = row + x * WU_RGB_BYTES;
      if (direct) {
        px[0] = Channel(p, devb->visual->red_mask);
        px[1] = Channel(p, devb->visual->green_mask);
        px[2] = Channel(p, devb->visual->blue_mask);
      } else {
        XColor c;
        c.pixel = p;
        XQueryColor(devb->display, colormap ? colormap : devb->colormap, &c);
        px[0] = uint8_t(c.red >> kShift8);
        px[1] = uint8_t(c.green >> kShift8);
        px[2] = uint8_t(c.blue >> kShift8);
      }
    }
  }
  return WU_OK;
}

wu_status wugwcli(const wu_image *image, const char *path, const char *format, void *) {
  if (!image || !path || !*path || !image->data || !wu_x_ok()) return WU_NOTAVAIL;
  if (format && *format && strcasecmp(format, kFormatXpm) != 0) return WU_UNSUPPORTED;
  if (image->kind != WU_IMAGE_RGB || !TrueColour()) return WU_UNSUPPORTED;
  XImage *xi = XCreateImage(devb->display, devb->visual, unsigned(devb->depth), ZPixmap, 0,
                            nullptr, unsigned(image->width), unsigned(image->height), 32, 0);
  if (!xi) return WU_NOMEM;
  xi->data = XtMalloc(Cardinal(xi->bytes_per_line * image->height));
  for (int y = 0; y < image->height; ++y) {
    const uint8_t *row = image->data + y * image->row_bytes;
    for (int x = 0; x < image->width; ++x) {
      const uint8_t *px = row + x * WU_RGB_BYTES;
      XPutPixel(xi, x, y,
                Compose(px[0], devb->visual->red_mask) | Compose(px[1], devb->visual->green_mask) |
                    Compose(px[2], devb->visual->blue_mask));
    }
  }
  XpmAttributes attrs;
  std::memset(&attrs, 0, sizeof attrs);
  attrs.valuemask = XpmVisual | XpmColormap | XpmDepth;
  attrs.visual = devb->visual;
  attrs.colormap = devb->colormap;
  attrs.depth = unsigned(devb->depth);
  int rc = XmeXpmWriteFileFromImage(devb->display, const_cast<char *>(path), xi, nullptr, &attrs);
  XtFree(xi->data);
  xi->data = nullptr;
  XDestroyImage(xi);
  if (rc != XpmSuccess) {
    wutlogf(QEV_LOG_ERROR, "The image cannot be written to %s (XPM code %d).", path, rc);
    return rc;
  }
  return WU_OK;
}

wu_status wugfrdi(wu_image *image) {
  if (!image) return WU_NOTAVAIL;
  XtFree(reinterpret_cast<char *>(image->data));
  XtFree(reinterpret_cast<char *>(image->colours));
  if (image->binding && devb && devb->display)
    XFreePixmap(devb->display, reinterpret_cast<Pixmap>(image->binding));
  image->data = nullptr;
  image->colours = nullptr;
  image->binding = nullptr;
  return WU_OK;
}

}  // extern "C"
