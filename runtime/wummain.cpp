// The module main: registers the four vector tables with the kernel and
// finds the module's own image; and their withdrawal at the end.
#include <string.h>

#include "runtime/wuhost.h"
#include "runtime/wummain.h"
#include "runtime/wuruntime.h"

namespace {

qev_image *g_image = nullptr;   // the module's own image, when the kernel knows it

void withdraw_first(int n) {
  for (int i = 0; i < n; ++i) wxdrgtb(wu_tables[i]->id);
}

}  // namespace

extern "C" {

wu_status wummain(qev_gcb *gcb, qev_idb *idb) {
  if (gcb == nullptr || gcb->kernel == nullptr) return WU_INITFAIL;
  wu_set_anchors(gcb, idb);
  wu_fill_tables();
  for (int i = 0; i < WU_TABLE_COUNT; ++i) {
    const qev_table *t = wu_tables[i];
    wu_status st = wxregtb(t->id, t, t->slot_count);
    if (st != WU_OK) {
      withdraw_first(i);   // no half-registered module
      return st;
    }
  }
  g_image = nullptr;
  if (wiimgfd(QEV_MODULE_NAME, static_cast<int32_t>(strlen(QEV_MODULE_NAME)), &g_image) != WU_OK)
    g_image = nullptr;
  return WU_OK;
}

// The host ends the module: a module still started is shut down first, so
// that nothing in the host's control block points into the unloaded module.
wu_status wumterm(qev_gcb *) {
  if (wu_module() != nullptr) wuxterm();
  withdraw_first(WU_TABLE_COUNT);
  g_image = nullptr;
  wu_set_anchors(nullptr, nullptr);   // the control block is the host's from here on
  return WU_OK;
}

}  // extern "C"
