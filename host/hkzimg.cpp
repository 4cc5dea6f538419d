// The stand-in image converter "QEVZIMG ": records every call it gets and,
// when told where and in which format, writes a small text file naming the
// image's size and the format (the real conversion is the host's).
#include <cstdio>
#include <string>
#include <vector>

#include "qev/flags.h"
#include "qev/zimg.h"
#include "qevhost.h"

namespace qevhost {
namespace {

struct ZimgState {
  std::vector<std::string> calls;
  wu_status fail = WU_OK;          // answer of the output call
  bool installed = false;
};
ZimgState zs;

struct Converter {
  qev_zimg base;
  const int32_t *image = nullptr;   // a portable image begins with its width and height
};

wu_status Open(qev_zimg *self, void *params) {
  zs.calls.push_back(std::string("open") + (params == self->params ? "" : " foreign") +
                     ((self->flags & WU_CONVERTER_FLAG) ? " flag" : ""));
  return WU_OK;
}

wu_status Set(qev_zimg *self, int32_t code, int32_t nargs, void *const *args) {
  auto *c = reinterpret_cast<Converter *>(self);
  zs.calls.push_back("set " + std::to_string(code) + " " + std::to_string(nargs));
  if (code == QEV_ZIMG_SET_IMAGE && nargs == 1) {
    c->image = static_cast<const int32_t *>(args[0]);
    return WU_OK;
  }
  if (code == QEV_ZIMG_SET_OUTPUT && nargs == 2 && c->image) {
    if (zs.fail != WU_OK) return zs.fail;
    const char *path = static_cast<const char *>(args[0]);
    const char *format = static_cast<const char *>(args[1]);
    zs.calls.back() += std::string(" ") + path + " " + format;
    FILE *f = std::fopen(path, "w");
    if (!f) return WU_NOTAVAIL;
    std::fprintf(f, "%s %dx%d\n", format, c->image[0], c->image[1]);
    std::fclose(f);
    return WU_OK;
  }
  return WU_BADARG;
}

wu_status Release(qev_zimg *self) {
  zs.calls.push_back("release");
  delete reinterpret_cast<Converter *>(self);
  return WU_OK;
}

const qev_zimg_methods kMethods = {Open, Set, Release};

wu_status Create(qev_zimg **out) {
  zs.calls.push_back("create");
  auto *c = new Converter();
  c->base.methods = &kMethods;
  *out = &c->base;
  return WU_OK;
}

qev_zimg_vector kVector = {Create};

}  // namespace

void installImageConverter(bool install, wu_status outputAnswer) {
  zs = ZimgState();
  zs.installed = install;
  zs.fail = outputAnswer;
  registerImage(QEV_ZIMG_NAME, install ? &kVector : nullptr);
}

std::vector<std::string> converterCalls() { return zs.calls; }

}  // namespace qevhost
