// Host images: the icon set by id in XPM form at 16, 24 and 48 pixels, and
// named images (loaded objects) with their vectors.
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hkint.h"
#include "qevhost.h"

struct qev_image {
  std::string name;
  void *vector = nullptr;
};

namespace qevhost {
namespace detail {
namespace {

// Ids asked with these offsets name the 24- and 16-pixel sets.
const int32_t kSet24Offset = 4096;
const int32_t kSet16Offset = 8192;
const int32_t kSizes[] = {16, 24, 48};

enum Design { kFolder, kDocument, kTool, kCheck, kRadio, kDesignCount };

struct IconId {
  int32_t id;
  Design design;
};
// The host icons this host carries: 1009 is the icon shown for "no icon",
// 1010 the fall-back image; the others are the built-in tool icons.
const IconId kIcons[] = {
    {2, kFolder},      {10, kDocument},  {31, kFolder},    {173, kTool},     {202, kTool},
    {290, kDocument},  {291, kFolder},   {292, kTool},     {293, kDocument}, {294, kFolder},
    {295, kTool},      {296, kDocument}, {411, kTool},     {1009, kDocument}, {1010, kTool},
    {510, kCheck},     {546, kRadio},    // the check and radio marks of menu items
    // The user's own images.
    {1025, kFolder},   {1026, kDocument}, {1027, kTool},   {1028, kFolder},  {1029, kDocument},
    {1030, kTool},
};

struct Xpm {
  std::vector<std::string> lines;
  std::vector<const char *> data;
};

// Built once per process: the module may keep the data past a host stop.
Xpm &xpmFor(Design design, int size) {
  static std::map<std::pair<int, int>, Xpm> cache;
  Xpm &x = cache[{design, size}];
  if (!x.data.empty()) return x;
  x.lines.push_back(std::to_string(size) + " " + std::to_string(size) + " 5 1");
  // The colour around the picture is the symbol "XpmBackground": a loader
  // that names a background pixel for it gets that colour there, one that
  // does not gets it transparent, with a mask.
  x.lines.push_back(". s XpmBackground c None");
  x.lines.push_back("# c #000000");
  x.lines.push_back("w c #FFFFFF");
  x.lines.push_back("a c " + std::string(design == kFolder ? "#E8C040" : design == kTool ? "#4060C0" : "#C0C0C0"));
  x.lines.push_back("g c #808080");
  auto in = [size](int v, double lo, double hi) { return v >= lo * size && v < hi * size; };
  // The first and the last row or column that `in` takes.
  auto edge = [size](int v, double lo, double hi) {
    return v == static_cast<int>(std::ceil(lo * size)) ||
           v == static_cast<int>(std::ceil(hi * size)) - 1;
  };
  for (int y = 0; y < size; ++y) {
    std::string row(static_cast<size_t>(size), '.');
    for (int x0 = 0; x0 < size; ++x0) {
      char c = '.';
      switch (design) {
        case kFolder:
          if (in(x0, 0.06, 0.45) && in(y, 0.15, 0.28)) c = edge(y, 0.15, 0.28) || edge(x0, 0.06, 0.45) ? '#' : 'a';
          if (in(x0, 0.06, 0.94) && in(y, 0.25, 0.85)) c = edge(y, 0.25, 0.85) || edge(x0, 0.06, 0.94) ? '#' : 'a';
          break;
        case kDocument:
          if (in(x0, 0.2, 0.8) && in(y, 0.06, 0.94)) {
            c = edge(y, 0.06, 0.94) || edge(x0, 0.2, 0.8) ? '#' : 'w';
            if (c == 'w' && in(x0, 0.3, 0.7) && y > 0.2 * size && y % 3 == 0) c = 'g';
          }
          break;
        case kTool:
          if (in(x0, 0.44, 0.56) && in(y, 0.35, 0.94)) c = 'g';
          if (in(x0, 0.15, 0.85) && in(y, 0.08, 0.35)) c = edge(y, 0.08, 0.35) || edge(x0, 0.15, 0.85) ? '#' : 'a';
          break;
        case kCheck: {
          // A tick: down from the left, then up to the right.
          const int mid = size * 2 / 5, base = size * 3 / 4;
          const int yy = x0 < mid ? base - (mid - x0) : base - (x0 - mid) * 2;
          if (x0 >= size / 8 && x0 < size * 7 / 8 && (y == yy || y == yy + 1)) c = '#';
          break;
        }
        case kRadio: {
          const int d = 2 * x0 - size + 1, e = 2 * y - size + 1;
          if (d * d + e * e <= size * size / 4) c = '#';
          break;
        }
        default:
          break;
      }
      row[static_cast<size_t>(x0)] = c;
    }
    x.lines.push_back(row);
  }
  for (const std::string &l : x.lines) x.data.push_back(l.c_str());
  return x;
}

struct ImageState {
  std::map<std::string, std::unique_ptr<qev_image>> images;
  // The user's images registered by the host side, by id.
  std::map<int32_t, Xpm> user;
};
ImageState is;

qev_image *lookup(qev_image *image) {
  for (auto &e : is.images)
    if (e.second.get() == image) return image;
  return nullptr;
}

}  // namespace

void imageStart() { is = ImageState(); }
void imageStop() { is = ImageState(); }

wu_status k_yuimxpm(int32_t id, int32_t size, const char *const **xpm_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!xpm_out) return WU_BADARG;
  *xpm_out = nullptr;
  if (id >= kSet16Offset) {
    id -= kSet16Offset;
    size = 16;
  } else if (id >= kSet24Offset) {
    id -= kSet24Offset;
    size = 24;
  }
  bool sizeOk = false;
  for (int s : kSizes) sizeOk = sizeOk || s == size;
  if (!sizeOk) return WU_BADARG;
  auto user = is.user.find(id);
  if (user != is.user.end()) {
    *xpm_out = user->second.data.data();
    return WU_OK;
  }
  for (const IconId &i : kIcons) {
    if (i.id == id) {
      *xpm_out = xpmFor(i.design, size).data.data();
      return WU_OK;
    }
  }
  return WU_NOTAVAIL;
}

wu_status k_wiimgfd(const char *name, int32_t length, qev_image **image_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!name || length <= 0 || !image_out) return WU_BADARG;
  auto it = is.images.find(hostName(name, length));
  *image_out = it == is.images.end() ? nullptr : it->second.get();
  return *image_out ? WU_OK : WU_NOTAVAIL;
}

wu_status k_wiloadv(const char *name, int32_t, qev_image **image_out) {
  return k_wiimgfd(name, 8, image_out);
}

wu_status k_viidb2g(qev_image *image, void **vector_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!lookup(image) || !vector_out) return WU_BADARG;
  *vector_out = image->vector;
  return image->vector ? WU_OK : WU_NOTAVAIL;
}

}  // namespace detail

using namespace detail;

void registerImage(const std::string &name, void *vector) {
  std::string key = hostName(name.data(), static_cast<int32_t>(name.size()));
  if (!vector) {
    is.images.erase(key);
    return;
  }
  auto img = std::make_unique<qev_image>();
  img->name = key;
  img->vector = vector;
  is.images[key] = std::move(img);
}

void registerUserImage(int32_t id, const std::vector<std::string> &lines) {
  const int32_t kFirstUserImage = 1025;
  if (id < kFirstUserImage || id >= kSet24Offset) return;
  if (lines.empty()) {
    is.user.erase(id);
    return;
  }
  Xpm &x = is.user[id];
  x.lines = lines;
  x.data.clear();
  for (const std::string &l : x.lines) x.data.push_back(l.c_str());
  x.data.push_back(nullptr);
}

}  // namespace qevhost
