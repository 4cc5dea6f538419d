// Pixmaps of host images.  The host hands its images as XPM data
// (yuimxpm); they are made into pixmaps with Motif's XPM functions, once
// the data is known whole and well formed (the host's array of lines is
// read no further than its values line promises, and a null pointer before
// that ends it) and with the server's answer awaited: an image damaged, too
// large, or refused by the server is not loaded.
// wutgtpm keeps one pixmap per image and size in the display block's caches
// (one cache per size, one slot per image id 0 to 1024), made against the
// display background; wutgttp makes a fresh pixmap with a transparent
// background and its mask, which the caller owns.
#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <Xm/XpmP.h>

#include <cstdio>
#include <cstring>

#include "frames/wutframe.h"
#include "runtime/wuhost.h"
#include "runtime/wutoolkit.h"
#include "xd/qevxpm.h"

namespace {

// The colour symbol of an icon's background in the host's XPM data.
const char kBackgroundSymbol[] = "XpmBackground";
const char kTransparent[] = "None";

int CacheIndex(int32_t size) {
  if (size == WU_ICON_MEDIUM) return WU_ICACHE_24;
  if (size == WU_ICON_LARGE) return WU_ICACHE_48;
  return WU_ICACHE_16;
}

int CacheSize(int index) {
  static const int kSizes[WU_ICACHES] = {WU_ICON_SMALL, WU_ICON_MEDIUM, WU_ICON_LARGE};
  return kSizes[index];
}

}  // namespace

extern "C" int32_t wutlxpm(int32_t id, int32_t size, const Pixel *background, Pixmap *pixmap,
                           Pixmap *mask) {
  *pixmap = None;
  if (mask) *mask = None;
  if (!wu_x_ok()) return false;
  const char *const *xpm = nullptr;
  if (yuimxpm(id, size, &xpm) != WU_OK || !xpm) return false;
  // The image's background colour is read as transparent, so that the mask
  // marks the picture; a background asked for is then painted under it.
  XpmColorSymbol symbol;
  std::memset(&symbol, 0, sizeof symbol);
  symbol.name = const_cast<char *>(kBackgroundSymbol);
  symbol.value = const_cast<char *>(kTransparent);
  XpmAttributes attrs;
  std::memset(&attrs, 0, sizeof attrs);
  attrs.valuemask = XpmVisual | XpmColormap | XpmDepth | XpmColorSymbols | XpmCloseness;
  attrs.visual = devb->visual;
  attrs.colormap = devb->colormap;
  attrs.depth = unsigned(devb->depth);
  attrs.colorsymbols = &symbol;
  attrs.numsymbols = 1;
  attrs.closeness = 65535;
  Display *dpy = devb->display;
  Window root = RootWindow(dpy, devb->screen);
  Pixmap picture = None, shape = None;
  if (_XdXpmCreatePixmap(dpy, root, const_cast<char **>(xpm), &picture, &shape, &attrs) !=
      XpmSuccess)
    return false;
  const unsigned width = attrs.width, height = attrs.height;
  XmeXpmFreeAttributes(&attrs);
  if (background && shape) {
    Pixmap filled = XCreatePixmap(dpy, root, width, height, unsigned(devb->depth));
    XGCValues gv;
    gv.foreground = *background;
    gv.clip_mask = shape;
    gv.clip_x_origin = gv.clip_y_origin = 0;
    GC gc = XCreateGC(dpy, filled, GCForeground, &gv);
    XFillRectangle(dpy, filled, gc, 0, 0, width, height);
    XChangeGC(dpy, gc, GCClipMask | GCClipXOrigin | GCClipYOrigin, &gv);
    XCopyArea(dpy, picture, filled, gc, 0, 0, width, height, 0, 0);
    XFreeGC(dpy, gc);
    XFreePixmap(dpy, picture);
    picture = filled;
  }
  *pixmap = picture;
  if (mask) {
    *mask = shape;
  } else if (shape) {
    XFreePixmap(dpy, shape);
  }
  return true;
}

namespace {

bool Load(int32_t id, int32_t size, const Pixel *background, Pixmap *pixmap, Pixmap *mask) {
  return wutlxpm(id, size, background, pixmap, mask) != 0;
}

}  // namespace

extern "C" {

Pixmap wutgtpm(int32_t id, int32_t size) {
  if (!devb || id < 0 || id > WU_ICON_MAX_ID) return None;
  const int index = CacheIndex(size);
  Pixmap &slot = devb->icon_cache[index][id];
  if (!slot) Load(id, CacheSize(index), &devb->background, &slot, nullptr);
  return slot;
}

Pixmap wutgttp(int32_t id, int32_t size, Pixmap *mask_out) {
  Pixmap pixmap = None, mask = None;
  if (mask_out) *mask_out = None;
  bool ok;
  if (id > WU_ICON_MAX_ID && size == WU_ICON_MEDIUM) {
    // Host images beyond the icons come in one size: halve the large one.
    Pixmap large = None, large_mask = None;
    ok = Load(id, WU_ICON_LARGE, nullptr, &large, &large_mask);
    if (ok) {
      pixmap = wuthpmp(large, 0);
      mask = large_mask ? wuthpmp(large_mask, 0) : None;
      XFreePixmap(devb->display, large);
      if (large_mask) XFreePixmap(devb->display, large_mask);
      ok = pixmap != None;
    }
  } else {
    ok = Load(id, CacheSize(CacheIndex(size)), nullptr, &pixmap, &mask);
  }
  if (!ok) {
    std::fputs("Error: couldn't load pixmap.\n", stderr);
    if (mask && devb) XFreePixmap(devb->display, mask);
    return None;
  }
  if (mask_out) {
    *mask_out = mask;
  } else if (mask) {
    XFreePixmap(devb->display, mask);
  }
  return pixmap;
}

void wutficn(void) {
  if (!devb) return;
  for (int s = 0; s < WU_ICACHES; ++s)
    for (int i = 0; i < WU_ICON_IDS; ++i)
      if (devb->icon_cache[s][i]) {
        if (devb->display) XFreePixmap(devb->display, devb->icon_cache[s][i]);
        devb->icon_cache[s][i] = None;
      }
}

}  // extern "C"
