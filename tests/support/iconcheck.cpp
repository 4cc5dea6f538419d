#include "iconcheck.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "runtime/wuhost.h"

namespace qevtest {
namespace {

// One pixel of the image: transparent, or the colour it must show.
struct Cell {
  bool transparent;
  unsigned long rgb;
};

// The image as cells, from the host's XPM data (one character a pixel).
bool cells(int32_t id, int size, int *w, int *h, std::vector<Cell> *out) {
  const char *const *xpm = nullptr;
  if (yuimxpm(id, size, &xpm) != WU_OK || !xpm) return false;
  int colours = 0, cpp = 0;
  if (std::sscanf(xpm[0], "%d %d %d %d", w, h, &colours, &cpp) != 4 || cpp != 1) return false;
  std::map<char, Cell> key;
  for (int i = 1; i <= colours; ++i) {
    const char *line = xpm[i];
    const char *c = std::strstr(line + 1, " c ");
    if (c == nullptr) return false;
    c += 3;
    Cell cell = {std::strncmp(c, "None", 4) == 0, 0};
    if (!cell.transparent && *c == '#') cell.rgb = std::strtoul(c + 1, nullptr, 16);
    key[line[0]] = cell;
  }
  out->clear();
  for (int y = 0; y < *h; ++y)
    for (int x = 0; x < *w; ++x) out->push_back(key[xpm[1 + colours + y][x]]);
  return true;
}

}  // namespace

IconLook findIcon(Display *dpy, Window window, int32_t id, int size, unsigned long background,
                  XRectangle area) {
  IconLook look;
  int w = 0, h = 0;
  std::vector<Cell> image;
  XWindowAttributes attrs;
  if (!cells(id, size, &w, &h, &image) || !XGetWindowAttributes(dpy, window, &attrs)) return look;
  XImage *shown = XGetImage(dpy, window, 0, 0, unsigned(attrs.width), unsigned(attrs.height),
                            AllPlanes, ZPixmap);
  if (shown == nullptr) return look;
  if (area.width == 0 || area.height == 0)
    area = {0, 0, static_cast<unsigned short>(attrs.width), static_cast<unsigned short>(attrs.height)};
  auto at = [shown](int x, int y) { return XGetPixel(shown, x, y) & 0xffffff; };
  for (int y0 = area.y; !look.found && y0 < area.y + area.height && y0 + h <= attrs.height; ++y0) {
    for (int x0 = area.x; !look.found && x0 < area.x + area.width && x0 + w <= attrs.width; ++x0) {
      bool all = true;
      for (int i = 0; all && i < w * h; ++i)
        if (!image[size_t(i)].transparent && at(x0 + i % w, y0 + i / w) != image[size_t(i)].rgb)
          all = false;
      if (!all) continue;
      look.found = true;
      look.x = x0;
      look.y = y0;
      for (int i = 0; i < w * h; ++i) {
        if (!image[size_t(i)].transparent) continue;
        ++look.transparent;
        if (at(x0 + i % w, y0 + i / w) != (background & 0xffffff)) ++look.wrong;
      }
    }
  }
  XDestroyImage(shown);
  return look;
}

std::string describe(const IconLook &look) {
  if (!look.found) return "the icon is not drawn there";
  return "icon at (" + std::to_string(look.x) + ", " + std::to_string(look.y) + "): " +
         std::to_string(look.wrong) + " of its " + std::to_string(look.transparent) +
         " transparent pixels do not show the background";
}

}  // namespace qevtest
