// XPM data a host hands over (a user's image) as the loaders check it
// before Motif's XPM reader sees it.  The input is the data, one line a
// string, the array ending with a null pointer.  Data the check passes must
// read with Motif's reader into a picture of the size its values line
// gives; data it refuses is never read.
#include <Xm/XpmP.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fuzzhost.h"
#include "xd/qevxpm.h"

namespace {
// The lines read of one input, as many as a picture of 4096 rows with its
// colours may take.
const size_t kMostLines = 4096 + 256;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::vector<std::string> lines;
  fuzzhost::ForLines(data, size, kMostLines, [&lines](const std::string &l) {
    lines.push_back(l.c_str());  // a string of the array ends at its first NUL
  });
  std::vector<char *> xpm;
  for (std::string &l : lines) xpm.push_back(&l[0]);
  xpm.push_back(nullptr);
  if (!_XdXpmDataOk(xpm.data())) return 0;
  XpmImage image;
  if (XmeXpmCreateXpmImageFromData(xpm.data(), &image, nullptr) != XpmSuccess) {
    std::fprintf(stderr, "checked XPM data the reader refuses\n");
    __builtin_trap();
  }
  unsigned long width = 0, height = 0;
  if (std::sscanf(lines[0].c_str(), "%lu %lu", &width, &height) != 2 || image.width != width ||
      image.height != height)
    __builtin_trap();
  XmeXpmFreeXpmImage(&image);
  return 0;
}
