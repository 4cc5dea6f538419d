// The control services vector: one per module, built at start-up.  The
// services live with the controls; a service not linked into the module
// yet answers WU_NOTAVAIL through a stand-in of the same type.
#include "runtime/wuruntime.h"

extern "C" {
wu_status wuxswat(wu_control *, wu_value *, int32_t) __attribute__((weak));
wu_status wuxqwat(wu_control *, wu_value *, int32_t) __attribute__((weak));
wu_status wuxhwid(wu_control *, int32_t) __attribute__((weak));
wu_status wuxgrwd(wu_control *, int32_t) __attribute__((weak));
wu_status wuxgrst(wu_control *) __attribute__((weak));
wu_status wumwdes(wu_ctl_handle *) __attribute__((weak));
wu_status wuxmeth(wu_ctl_handle *, int32_t, wu_value *, int32_t) __attribute__((weak));
wu_status wumggeo(wu_ctl_handle *, int32_t *, int32_t *, int32_t *, int32_t *) __attribute__((weak));
wu_status wumsgeo(wu_ctl_handle *, int32_t, int32_t, int32_t, int32_t) __attribute__((weak));
wu_status wumclen(wu_ctl_handle *, wu_value *, int32_t) __attribute__((weak));
wu_status wuwfocs(wu_ctl_handle *) __attribute__((weak));
wu_status wuwrdnd(wu_ctl_handle *, void *, void *, void *) __attribute__((weak));
wu_status wutsdnd(wu_ctl_handle *, void *, void *, void *) __attribute__((weak));
wu_status wuwqdnd(wu_ctl_handle *, void *, void *, void *) __attribute__((weak));
wu_status wuwudnd(wu_ctl_handle *, void *, void *, void *) __attribute__((weak));
wu_status wutfdnd(wu_ctl_handle *, void *, void *, void *) __attribute__((weak));
wu_status wuxrbat(wu_ctl_handle *, const wu_batch_event *) __attribute__((weak));
}

namespace {

wu_status na_set(wu_control *, wu_value *, int32_t) { return WU_NOTAVAIL; }
wu_status na_show(wu_control *, int32_t) { return WU_NOTAVAIL; }
wu_status na_state(wu_control *) { return WU_NOTAVAIL; }
wu_status na_handle(wu_ctl_handle *) { return WU_NOTAVAIL; }
wu_status na_method(wu_ctl_handle *, int32_t, wu_value *, int32_t) { return WU_NOTAVAIL; }
wu_status na_getgeo(wu_ctl_handle *, int32_t *, int32_t *, int32_t *, int32_t *) { return WU_NOTAVAIL; }
wu_status na_setgeo(wu_ctl_handle *, int32_t, int32_t, int32_t, int32_t) { return WU_NOTAVAIL; }
wu_status na_entries(wu_ctl_handle *, wu_value *, int32_t) { return WU_NOTAVAIL; }
wu_status na_dnd(wu_ctl_handle *, void *, void *, void *) { return WU_NOTAVAIL; }
wu_status na_replay(wu_ctl_handle *, const wu_batch_event *) { return WU_NOTAVAIL; }

template <typename Fn>
Fn either(Fn linked, Fn standin) {
  return linked != nullptr ? linked : standin;
}

// The control services table.  Every handle points at it, and a host may
// call through a handle it kept after the module was shut down (the call
// then answers "not available"): the table lives as long as the module is
// loaded, not with the state block.
wu_ctl_services g_services;

}  // namespace

extern "C" wu_status wuwinit(wu_state *state) {
  if (state == nullptr) return WU_NOTAVAIL;
  wu_ctl_services *v = &g_services;
  v->swat = either<wu_ctl_set_fn>(wuxswat, na_set);
  v->qwat = either<wu_ctl_set_fn>(wuxqwat, na_set);
  v->hwid = either<wu_ctl_show_fn>(wuxhwid, na_show);
  v->grwd = either<wu_ctl_show_fn>(wuxgrwd, na_show);
  v->grst = either<wu_ctl_state_fn>(wuxgrst, na_state);
  v->wdes = either<wu_ctl_handle_fn>(wumwdes, na_handle);
  v->meth = either<wu_ctl_method_fn>(wuxmeth, na_method);
  v->ggeo = either<wu_ctl_getgeo_fn>(wumggeo, na_getgeo);
  v->sgeo = either<wu_ctl_setgeo_fn>(wumsgeo, na_setgeo);
  v->clen = either<wu_ctl_entries_fn>(wumclen, na_entries);
  v->focs = either<wu_ctl_handle_fn>(wuwfocs, na_handle);
  v->rdnd = either<wu_ctl_dnd_fn>(wuwrdnd, na_dnd);
  v->sdnd = either<wu_ctl_dnd_fn>(wutsdnd, na_dnd);
  v->qdnd = either<wu_ctl_dnd_fn>(wuwqdnd, na_dnd);
  v->udnd = either<wu_ctl_dnd_fn>(wuwudnd, na_dnd);
  v->fdnd = either<wu_ctl_dnd_fn>(wutfdnd, na_dnd);
  v->rbat = either<wu_ctl_replay_fn>(wuxrbat, na_replay);
  v->reserved = nullptr;
  state->services = v;
  return WU_OK;
}
