// Services slots 11 to 14: drag and drop of a control through its kind's
// functions.  The handle is looked up first; the remaining three arguments
// go to the kind unchanged, and a kind without the function answers
// WU_UNSUPPORTED so that the host may try another way.
#include "controls/wucontrol.h"

namespace {

enum class Dnd { Register, Set, Query, Unregister };

wu_status by_kind(Dnd which, wu_ctl_handle *h, void *a, void *b, void *c) {
  wu_control *ctl = wu_ctl_of(h);
  if (ctl == nullptr) return WU_NOTAVAIL;
  wu_ctl_dnd_fn fn = nullptr;
  switch (which) {
    case Dnd::Register: fn = ctl->RegisterDND; break;
    case Dnd::Set: fn = ctl->SetDND; break;
    case Dnd::Query: fn = ctl->QueryDND; break;
    case Dnd::Unregister: fn = ctl->UnregisterDND; break;
  }
  return fn != nullptr ? fn(h, a, b, c) : WU_UNSUPPORTED;
}

}  // namespace

extern "C" {

wu_status wuwrdnd(wu_ctl_handle *h, void *a, void *b, void *c) {
  return by_kind(Dnd::Register, h, a, b, c);
}

wu_status wutsdnd(wu_ctl_handle *h, void *a, void *b, void *c) {
  return by_kind(Dnd::Set, h, a, b, c);
}

wu_status wuwqdnd(wu_ctl_handle *h, void *a, void *b, void *c) {
  return by_kind(Dnd::Query, h, a, b, c);
}

wu_status wuwudnd(wu_ctl_handle *h, void *a, void *b, void *c) {
  return by_kind(Dnd::Unregister, h, a, b, c);
}

}  // extern "C"
