// qevdemo: the stand-in host loading the display module as a host does,
// starting it, passing a command through its event queue and ending it.
//
//   qevdemo [--screenshots DIR] [MODULE]
#include <cstdio>
#include <cstring>
#include <string>

#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"

namespace {

using InitFn = wu_status (*)(void);
using QcmdFn = wu_status (*)(void *, const char *, int32_t, int32_t, int32_t, int32_t);
using GqevFn = wu_status (*)(void *, int32_t *, void *, int32_t, int32_t *);

template <typename Fn>
Fn windowSlot(int32_t n) {
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW));
  return t != nullptr ? reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(t->slots[n])) : nullptr;
}

bool check(const char *what, wu_status st) {
  std::printf("%-28s 0x%08X\n", what, static_cast<uint32_t>(st));
  return st == WU_OK;
}

}  // namespace

int main(int argc, char **argv) {
  std::string module = QEV_MODULE_PATH;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc)
      ++i;   // no windows to photograph yet
    else
      module = argv[i];
  }
  if (qevhost::start() == nullptr) return 1;
  bool ok = qevhost::loadModule(module) != nullptr;
  if (ok) {
    const struct { int32_t id; const char *name; } tables[] = {
        {QEV_TABLE_WINDOW, "wuxtbl"}, {QEV_TABLE_GRAPHICS, "wugtbl"},
        {QEV_TABLE_IMAGES, "wugitbl"}, {QEV_TABLE_METHODS, "wuxptbl"}};
    for (const auto &t : tables) {
      int32_t slots = 0;
      ok = ok && qevhost::table(t.id, &slots) != nullptr;
      std::printf("table %-8s id 0x%05X  %3d slots\n", t.name, static_cast<unsigned>(t.id), slots);
    }
  }
  ok = ok && check("wuxinit", windowSlot<InitFn>(WUX_SLOT_INIT)());
  if (ok) {
    int window = 0;   // the demo has no window record yet: any address names one
    const char *command = "DMSG 'hello from qevdemo';";
    ok = check("wuxqcmd", windowSlot<QcmdFn>(WUX_SLOT_QCMD)(&window, command, -1, 1, 1, 0));
    char buf[128];
    int32_t code = -1, length = 0;
    ok = ok && check("wuxgqev", windowSlot<GqevFn>(WUX_SLOT_GQEV)(&window, &code, buf, sizeof buf, &length));
    if (ok) std::printf("event %d: \"%.*s\"\n", code, static_cast<int>(length), buf);
    ok = check("wuxterm", windowSlot<InitFn>(WUX_SLOT_TERM)()) && ok;
  }
  for (const std::string &line : qevhost::log()) std::printf("log: %s\n", line.c_str());
  qevhost::unloadModule();
  qevhost::stop();
  std::printf("%s\n", ok ? "demo: ok" : "demo: FAILED");
  return ok ? 0 : 1;
}
