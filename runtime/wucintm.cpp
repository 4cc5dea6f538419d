// Module start-up (wuxinit) and shut-down (wuxterm): the module state, the
// module pool, the batch driver and the control services vector.
#include <string.h>

#include "qev/batch.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"

extern "C" void wumficn(void) __attribute__((weak));
// Window release (window layer, when linked).
extern "C" wu_status wuxfwnd(wu_window *window) __attribute__((weak));
// The command history: read at start-up, written at shut-down (menus layer).
extern "C" void wumcmdr(void) __attribute__((weak));
extern "C" void wumcmds(void) __attribute__((weak));

namespace {

// The module pool: a top-level host pool.
constexpr int32_t kPoolInitial = 0x10000;
constexpr int32_t kPoolIncrement = 0x4000;
constexpr int32_t kPoolFlags = 0;

wu_state *valid_state(void *block) {
  auto *state = static_cast<wu_state *>(block);
  if (state == nullptr || memcmp(state->eye, WU_STATE_EYE, sizeof state->eye) != 0) return nullptr;
  return state;
}

void link_free_nodes(wu_state *state) {
  state->queue_free = nullptr;
  for (int i = WU_EVQ_NODES - 1; i >= 0; --i) {
    state->nodes[i].next = state->queue_free;
    state->queue_free = &state->nodes[i];
  }
}

// Gives back everything the state holds and then the state and its pool.
void release_state(wu_state *state) {
  qev_pool *pool = state->pool;
  while (state->queue_head != nullptr) {
    wu_event *e = state->queue_head;
    state->queue_head = e->next;
    wutrlev(e);
  }
  state->queue_tail = nullptr;
  state->queue_count = 0;
  state->services = nullptr;  // the table itself outlives the state (wuwinit)
  state->batch = nullptr;
  if (state->menu_pool != nullptr) wmrdel(state->menu_pool);
  memset(state->eye, 0, sizeof state->eye);
  vmfree_handler(pool, state, sizeof(wu_state), 0);
  wmrdel(pool);
}

}  // namespace

extern "C" {

wu_status wu_notbuilt(void) { return WU_NOTAVAIL; }

wu_state *wu_module(void) {
  qev_gcb *gcb = wu_gcb();
  return gcb != nullptr ? valid_state(gcb->module_state) : nullptr;
}

qev_pool *wu_module_pool(void) {
  wu_state *state = wu_module();
  return state != nullptr ? state->pool : nullptr;
}

wu_batch_driver *wutgbat(void) {
  qev_gcb *gcb = wu_gcb();
  if (gcb == nullptr) return nullptr;
  qev_task *task = gcb->override_task != nullptr ? gcb->override_task : yucurtk();
  qev_context *ctx = yytgexe(task);
  if (ctx == nullptr) return nullptr;
  void *driver = nullptr;
  if (yytngp(ctx, 0, QEV_BATCH_DRIVER_NAME, QEV_BATCH_DRIVER_NAME_LEN, &driver, 0) != WU_OK)
    return nullptr;
  return static_cast<wu_batch_driver *>(driver);
}

wu_status wuxinit(void) {
  qev_gcb *gcb = wu_gcb();
  if (gcb == nullptr || gcb->kernel == nullptr) return WU_INITFAIL;
  if (wu_module() != nullptr) return WU_OK;  // already started
  if (gcb->module_state != nullptr) return WU_INITFAIL;  // another module's block

  qev_pool *pool = nullptr;
  wu_status st = wmrpc(&pool, kPoolInitial, kPoolIncrement, kPoolFlags, nullptr);
  if (st != WU_OK || pool == nullptr) return st != WU_OK ? st : WU_NOMEM;
  auto *state = static_cast<wu_state *>(vmalcp_handler(pool, sizeof(wu_state), 0));
  if (state == nullptr) {
    wmrdel(pool);
    return WU_NOMEM;
  }
  memcpy(state->eye, WU_STATE_EYE, sizeof state->eye);
  state->pool = pool;
  link_free_nodes(state);
  gcb->module_state = state;

  state->batch = wutgbat();
  st = wuwinit(state);
  if (st == WU_OK) st = wutinit();
  if (st != WU_OK) {
    gcb->module_state = nullptr;
    release_state(state);
    wu_reg_clear();
    return st;
  }
  if (wumcmdr) wumcmdr();
  return WU_OK;
}

wu_status wuxterm(void) {
  wu_state *state = wu_module();
  if (state == nullptr) return WU_NOTAVAIL;
  // Called from a callback or an event procedure while a loop of the module
  // turns, or while an event procedure runs inside a widget callback: the
  // loops and the toolkit still hold the display block, the widgets and
  // their records, so the shut-down waits until the outermost of them has
  // ended.
  if (wu_loop_depth() > 0 || wu_callout_depth() > 0) {
    wu_term_defer();
    return WU_OK;
  }
  // Windows released from inside a callback and still waiting go first.
  wu_defer_flush();
  // The history is written from its list while the widgets are there.
  if (wumcmds) wumcmds();
  // Windows still standing go first, with their controls, widgets and
  // queued events, while the display is still there.
  if (wuxfwnd != nullptr)
    while (state->newest != nullptr && wuxfwnd(state->newest) == WU_OK) {
    }
  // The tool box layer gives back its boxes and pixmaps while X is up.
  if (wumficn) wumficn();
  wu_status st = wutterm();
  wu_gcb()->module_state = nullptr;
  release_state(state);
  // Nothing handed out before this point may be used again.
  wu_reg_clear();
  return st;
}

}  // extern "C"
