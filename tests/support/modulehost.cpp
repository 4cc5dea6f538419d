#include "modulehost.h"

#include <Xm/Xm.h>

#include <chrono>

#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wutoolkit.h"
#include "xserver.h"

namespace qevtest {
namespace {

bool g_host = false;
bool g_loaded = false;
bool g_started = false;

bool fail(std::string *error, const std::string &why) {
  if (error) *error = why;
  return false;
}

}  // namespace

VoidSlot windowSlot(int slot) {
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &count));
  if (!t || slot >= t->slot_count) return nullptr;
  return reinterpret_cast<VoidSlot>(t->slots[slot]);
}

bool startModule(const std::string &modulePath, std::string *error) {
  if (!privateDisplay()) return fail(error, "no private X server");
  if (!qevhost::start()) return fail(error, "host did not start");
  g_host = true;
  if (!qevhost::loadModule(modulePath)) return fail(error, "module not loaded");
  g_loaded = true;
  VoidSlot init = windowSlot(WUX_SLOT_INIT);
  if (!init) return fail(error, "no start-up slot");
  wu_status st = init();
  if (st != WU_OK) return fail(error, "start-up answered " + std::to_string(st));
  g_started = true;
  return true;
}

void stopModule() {
  if (g_started) {
    // Errors of the test's last requests are reported in the test, before
    // the shut-down's own requests.
    if (devb && devb->display && !devb->lost) XSync(devb->display, False);
    if (VoidSlot term = windowSlot(WUX_SLOT_TERM)) term();
    g_started = false;
  }
  if (g_loaded) qevhost::unloadModule();
  g_loaded = false;
  if (g_host) qevhost::stop();
  g_host = false;
}

bool turnUntil(const std::function<bool()> &done, int limitMs) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + std::chrono::milliseconds(limitMs);
  const int kSliceMs = 50;
  while (!done()) {
    if (Clock::now() >= end) return false;
    if (!wutturn(kSliceMs)) return done();
  }
  return true;
}

bool startModuleWindowManager() {
  return devb && startWindowManager() &&
         turnUntil([] { return devb && bool(XmIsMotifWMRunning(devb->toplevel)); }, 5000);
}

bool logContains(const std::string &text) {
  for (const std::string &line : qevhost::log())
    if (line.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace qevtest
