// The icon store: one pixmap per icon number, depth and flag, shared by
// every user and counted.  wutgpix and wutlpix hand out a reference; wutfpix
// gives one back and the pixmap is freed with the last.  A pixmap the store
// did not make is never freed here.  wutkpix keeps a pixmap for the life of
// the display connection: the store holds one reference of its own, given
// back when it is emptied at shut-down.
#include <X11/Intrinsic.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "frames/wutframe.h"
#include "runtime/wutoolkit.h"

namespace {

const int32_t kStoreGrowth = 16;

// The pixmaps the store keeps a reference of its own on (wutkpix), until it
// is emptied at shut-down.
std::vector<Pixmap> &kept() {
  static std::vector<Pixmap> pixmaps;
  return pixmaps;
}

int32_t SizeOf(int32_t icon) {
  if (icon >= WU_ICON_SET16) return WU_ICON_SMALL;
  if (icon >= WU_ICON_SET24) return WU_ICON_MEDIUM;
  return WU_ICON_LARGE;
}

wu_icon_entry *Find(int32_t icon, int32_t depth, int32_t flag) {
  for (int32_t i = 0; i < devb->icon_count; ++i) {
    wu_icon_entry &e = devb->icons[i];
    if (e.number == icon && e.depth == depth && e.flag == flag) return &e;
  }
  return nullptr;
}

wu_icon_entry *Add(int32_t icon, int32_t depth, int32_t flag, Pixmap pixmap, Pixmap mask) {
  if (devb->icon_count == devb->icon_size) {
    int32_t size = devb->icon_size + kStoreGrowth;
    devb->icons = reinterpret_cast<wu_icon_entry *>(
        XtRealloc(reinterpret_cast<char *>(devb->icons), Cardinal(size * sizeof(wu_icon_entry))));
    devb->icon_size = size;
  }
  wu_icon_entry &e = devb->icons[devb->icon_count++];
  std::memset(&e, 0, sizeof e);
  e.number = icon;
  e.depth = depth;
  e.flag = flag;
  e.pixmap = pixmap;
  e.mask = mask;
  Window root;
  int x, y;
  unsigned w = 0, h = 0, border, d;
  XGetGeometry(devb->display, pixmap, &root, &x, &y, &w, &h, &border, &d);
  e.width = int32_t(w);
  e.height = int32_t(h);
  return &e;
}

// Loads an icon (with the fall-back image when asked) into the store and
// takes a reference.
wu_icon_entry *Get(int32_t icon, const wu_icon_colours *colours, int32_t depth, int32_t flag,
                   bool fallback) {
  if (!wu_x_ok()) return nullptr;
  if (icon == 0) icon = WU_ICON_DEFAULT;
  if (depth <= 0) depth = devb->depth;
  wu_icon_entry *e = Find(icon, depth, flag);
  if (!e) {
    const Pixel bg = colours ? colours->background : devb->icon_colours.background;
    Pixmap pixmap = None, mask = None;
    if (wutlxpm(icon, SizeOf(icon), &bg, &pixmap, &mask)) {
      e = Add(icon, depth, flag, pixmap, mask);
    } else if (fallback) {
      int32_t base = icon >= WU_ICON_SET16 ? WU_ICON_SET16 : icon >= WU_ICON_SET24 ? WU_ICON_SET24 : 0;
      if (icon - base != WU_ICON_FALLBACK)
        return Get(base + WU_ICON_FALLBACK, colours, depth, flag, false);
      return nullptr;
    } else {
      return nullptr;
    }
  }
  e->refs++;
  return e;
}

// The icon categories and their icons (names are host messages of set 542).
const int32_t kFolderIcons[] = {2, 31, 291, 294, 0};
const int32_t kDocumentIcons[] = {10, 290, 293, 296, 1009, 0};
const int32_t kToolIcons[] = {173, 202, 292, 295, 411, 1010, 0};
const wu_icon_category kCategories[] = {
    {1, kFolderIcons}, {2, kDocumentIcons}, {3, kToolIcons}, {0, nullptr}};

}  // namespace

extern "C" {

const wu_icon_category *wutgcat(void) { return kCategories; }

int32_t wutuicn(void) {
  if (!devb) return 0;
  const int32_t n = devb->depth == 1 ? devb->user_icons_mono : devb->user_icons_colour;
  return n > 0 && n <= WU_ICON_MAX_ID ? n : 0;
}

wu_status wutgpix(int32_t icon, const wu_icon_colours *colours, int32_t depth, int32_t flag,
                  Pixmap *pixmap_out, int32_t *width_out, int32_t *height_out) {
  wu_icon_entry *e = Get(icon, colours, depth, flag, true);
  if (pixmap_out) *pixmap_out = e ? e->pixmap : None;
  if (width_out) *width_out = e ? e->width : 0;
  if (height_out) *height_out = e ? e->height : 0;
  return e ? WU_OK : WU_NOTAVAIL;
}

wu_status wutlpix(int32_t icon, const wu_icon_colours *colours, int32_t depth, int32_t flag,
                  Pixmap *pixmap_out, Pixmap *mask_out, int32_t *width_out, int32_t *height_out) {
  wu_icon_entry *e = Get(icon, colours, depth, flag, false);
  if (pixmap_out) *pixmap_out = e ? e->pixmap : None;
  if (mask_out) *mask_out = e ? e->mask : None;
  if (width_out) *width_out = e ? e->width : 0;
  if (height_out) *height_out = e ? e->height : 0;
  return e ? WU_OK : WU_NOTAVAIL;
}

void wumfpxm(Pixmap pixmap) {
  if (!pixmap || !devb || !devb->display) return;
  if (!XmDestroyPixmap(ScreenOfDisplay(devb->display, devb->screen), pixmap))
    XFreePixmap(devb->display, pixmap);
}

wu_status wutfpix(Pixmap pixmap) {
  if (!devb || !pixmap) return WU_NOTAVAIL;
  for (int32_t i = 0; i < devb->icon_count; ++i) {
    wu_icon_entry &e = devb->icons[i];
    if (e.pixmap != pixmap) continue;
    if (--e.refs > 0) return WU_OK;
    if (devb->display) {
      wumfpxm(e.pixmap);
      if (e.mask) XFreePixmap(devb->display, e.mask);
    }
    devb->icons[i] = devb->icons[--devb->icon_count];
    return WU_OK;
  }
  return WU_NOTAVAIL;
}

wu_status wutkpix(Pixmap pixmap) {
  if (!devb || !pixmap) return WU_NOTAVAIL;
  std::vector<Pixmap> &k = kept();
  if (std::find(k.begin(), k.end(), pixmap) != k.end()) return WU_OK;
  for (int32_t i = 0; i < devb->icon_count; ++i) {
    wu_icon_entry &e = devb->icons[i];
    if (e.pixmap != pixmap) continue;
    ++e.refs;
    k.push_back(pixmap);
    return WU_OK;
  }
  return WU_NOTAVAIL;
}

int32_t wutrpix(Pixmap pixmap) {
  if (!devb || !pixmap) return 0;
  for (int32_t i = 0; i < devb->icon_count; ++i)
    if (devb->icons[i].pixmap == pixmap) return devb->icons[i].refs;
  return 0;
}

wu_status wutgwic(int32_t icon, Pixmap *pixmap_out, int32_t *depth_out) {
  if (depth_out) *depth_out = 0;
  if (!devb) return WU_NOTAVAIL;
  wu_status st = wutgpix(icon, &devb->icon_colours, devb->depth, 0, pixmap_out, nullptr, nullptr);
  if (st == WU_OK && depth_out) *depth_out = devb->depth;
  return st;
}

Pixmap wuthpmp(Pixmap pixmap, int32_t) {
  if (!wu_x_ok() || !pixmap) return None;
  Display *dpy = devb->display;
  Window root;
  int x, y;
  unsigned w = 0, h = 0, border, depth;
  if (!XGetGeometry(dpy, pixmap, &root, &x, &y, &w, &h, &border, &depth) || w < 2 || h < 2)
    return None;
  XImage *src = XGetImage(dpy, pixmap, 0, 0, w, h, AllPlanes, ZPixmap);
  if (!src) return None;
  const unsigned hw = w / 2, hh = h / 2;
  Pixmap half = XCreatePixmap(dpy, root, hw, hh, depth);
  XImage *dst = XSubImage(src, 0, 0, hw, hh);
  if (!dst) {
    XDestroyImage(src);
    XFreePixmap(dpy, half);
    return None;
  }
  for (unsigned j = 0; j < hh; ++j)
    for (unsigned i = 0; i < hw; ++i) XPutPixel(dst, int(i), int(j), XGetPixel(src, int(2 * i), int(2 * j)));
  GC gc = XCreateGC(dpy, half, 0, nullptr);
  XPutImage(dpy, half, gc, dst, 0, 0, 0, 0, hw, hh);
  XFreeGC(dpy, gc);
  XDestroyImage(dst);
  XDestroyImage(src);
  return half;
}

void wutfist(void) {
  if (!devb) return;
  if (devb->display)
    for (int32_t i = 0; i < devb->icon_count; ++i) {
      XFreePixmap(devb->display, devb->icons[i].pixmap);
      if (devb->icons[i].mask) XFreePixmap(devb->display, devb->icons[i].mask);
    }
  XtFree(reinterpret_cast<char *>(devb->icons));
  devb->icons = nullptr;
  devb->icon_count = devb->icon_size = 0;
  kept().clear();
}

}  // extern "C"
