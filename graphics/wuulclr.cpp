// Colour allocation for host colour requests.  Shared (read-only) cells are
// allocated once per pixel and counted, so releasing one request never takes
// a colour from another; private cells are the request's own and go at once.
// A call that cannot have every colour gives back what it took.
#include <X11/Intrinsic.h>

#include <cstring>

#include "graphics/wugraph.h"
#include "runtime/wutoolkit.h"

namespace {

const int32_t kRefGrowth = 32;
const int kChannels = 3;

wu_colour_ref *FindRef(Pixel pixel) {
  for (int32_t i = 0; i < devb->colour_ref_count; ++i)
    if (devb->colour_refs[i].pixel == pixel) return &devb->colour_refs[i];
  return nullptr;
}

void AddRef(Pixel pixel) {
  if (wu_colour_ref *r = FindRef(pixel)) {
    r->refs++;
    return;
  }
  if (devb->colour_ref_count == devb->colour_ref_size) {
    devb->colour_ref_size += kRefGrowth;
    devb->colour_refs = reinterpret_cast<wu_colour_ref *>(
        XtRealloc(reinterpret_cast<char *>(devb->colour_refs),
                  Cardinal(devb->colour_ref_size * sizeof(wu_colour_ref))));
  }
  devb->colour_refs[devb->colour_ref_count++] = {pixel, 1};
}

// Drops one reference; the X cell goes with the last.  False when the pixel
// was not allocated here.
bool DropRef(Pixel pixel) {
  wu_colour_ref *r = FindRef(pixel);
  if (!r) return false;
  if (--r->refs == 0) {
    XFreeColors(devb->display, devb->colormap, &pixel, 1, 0);
    *r = devb->colour_refs[--devb->colour_ref_count];
  }
  return true;
}

bool Allocate(wu_colour_cell *cell) {
  XColor c;
  std::memset(&c, 0, sizeof c);
  c.red = cell->red;
  c.green = cell->green;
  c.blue = cell->blue;
  c.flags = DoRed | DoGreen | DoBlue;
  if (cell->private_cell) {
    unsigned long pixel = 0;
    if (!XAllocColorCells(devb->display, devb->colormap, False, nullptr, 0, &pixel, 1))
      return false;
    c.pixel = pixel;
    XStoreColor(devb->display, devb->colormap, &c);
    cell->pixel = uint32_t(pixel);
    return true;
  }
  if (!XAllocColor(devb->display, devb->colormap, &c)) return false;
  // Count the pixel once however often the server shares it.
  if (FindRef(c.pixel)) XFreeColors(devb->display, devb->colormap, &c.pixel, 1, 0);
  AddRef(c.pixel);
  cell->pixel = uint32_t(c.pixel);
  return true;
}

void Release(wu_colour_cell *cell) {
  unsigned long pixel = cell->pixel;
  if (cell->private_cell) {
    XFreeColors(devb->display, devb->colormap, &pixel, 1, 0);
  } else {
    DropRef(pixel);
  }
}

}  // namespace

extern "C" {

wu_status wuglclr(wu_colour_cell *cells, int32_t count, void *) {
  if (!cells || count < 0) return WU_NOTAVAIL;
  if (!wu_x_ok()) return WU_NOTAVAIL;
  for (int32_t i = 0; i < count; ++i) {
    if (Allocate(&cells[i])) continue;
    for (int32_t j = 0; j < i; ++j) Release(&cells[j]);
    return WU_NOTAVAIL;
  }
  return WU_OK;
}

wu_status wugrclr(wu_colour_cell *cells, int32_t count, void *) {
  if (!cells || count < 0) return WU_NOTAVAIL;
  if (!devb || !devb->display) return WU_NOTAVAIL;
  for (int32_t i = 0; i < count; ++i) Release(&cells[i]);
  return WU_OK;
}

int32_t wugcref(uint32_t pixel) {
  if (!devb) return 0;
  wu_colour_ref *r = FindRef(pixel);
  return r ? r->refs : 0;
}

void wugfclr(void) {
  if (!devb) return;
  if (devb->display)
    for (int32_t i = 0; i < devb->colour_ref_count; ++i)
      XFreeColors(devb->display, devb->colormap, &devb->colour_refs[i].pixel, 1, 0);
  XtFree(reinterpret_cast<char *>(devb->colour_refs));
  devb->colour_refs = nullptr;
  devb->colour_ref_count = devb->colour_ref_size = 0;
}

wu_status wuggdmc(int32_t index, int32_t *rgb_out) {
  if (!devb || !rgb_out || index < 1 || index >= WU_DM_COLOURS) return WU_NOTAVAIL;
  for (int k = 0; k < kChannels; ++k) rgb_out[k] = devb->dm_rgb[index][k];
  return WU_OK;
}

}  // extern "C"
