// Pieces every control kind repeats: installing its slots, answering a query
// of its place and size, the result of a set or query, integer event
// parameters, the replay of events only passed on, the `font` attribute and
// the display's visual for a widget.
#include <X11/IntrinsicP.h>

#include "controls/wucontrol.h"
#include "runtime/wucheck.h"
#include "runtime/wudevice.h"

void wu_ctl_install(wu_control *c, const wu_ctl_slots &s) {
  c->Swat = s.Swat;
  c->Qwat = s.Qwat;
  c->Methods = s.Methods;
  c->Cleanup = s.Cleanup;
  c->UnregisterDND = s.UnregisterDND;
  c->RegisterDND = s.RegisterDND;
  c->QueryDND = s.QueryDND;
  c->SetDND = s.SetDND;
  c->Replay = s.Replay;
}

int32_t wu_ctl_geometry(const wu_control *c, Widget w, int32_t code) {
  int32_t geo[4] = {c->x, c->y, c->width, c->height};
  if (w != nullptr) {
    geo[0] = w->core.x; geo[1] = w->core.y;
    geo[2] = w->core.width; geo[3] = w->core.height;
  }
  return geo[code - WU_A_HPOS];
}

wu_value *wu_ctl_int_params(wu_control *c, int32_t code, const int32_t *values, int32_t count) {
  wu_value *params = wu_ctl_event_params(c, code, count);
  for (int32_t i = 0; i < count; ++i) {
    params[i].type = WU_VT_INT;
    params[i].value = values[i];
  }
  return params;
}

wu_status wu_ctl_replay_passed(wu_control *c, const wu_batch_event *r) {
  wu_value *params = nullptr;
  int32_t n = 0;
  switch (r->code) {
    case WU_EV_POPUP: case WU_EV_DOUBLECLICK: case WU_EV_CLICKONLY: case WU_EV_CONFORMSIZE:
    case WU_EV_CLICK: case 30:
      break;
    case WU_EV_PREVIRTUALKEY:
      if (r->sent) {
        // The recorded modifiers are a double: one that is no integer is
        // refused, as the entry field refuses it.
        int32_t modifiers = 0;
        if (!wu_double_to_int(r->value2, &modifiers)) return WU_E_RANGE;
        const int32_t values[3] = {r->value1, modifiers, r->value3};
        params = wu_ctl_int_params(c, WU_EV_PREVIRTUALKEY, values, 3);
        n = 3;
      }
      break;
    default:
      return WU_NOTAVAIL;
  }
  if (r->sent) wu_ctl_send(c, r->code, 0, c->x, c->y, params, n, WU_EV_CTL_POSTED);
  return WU_OK;
}

wu_status wu_ctl_entries_result(const wu_value *entries, int32_t count) {
  for (int32_t i = 0; i < count; ++i)
    if (entries[i].status != WU_OK) return WU_ENTRY_STATUS;
  return WU_OK;
}

bool wu_ctl_host_font(wu_control *c, void *record, void **host_font, XmFontList *own_font,
                      XmFontList *old_out) {
  XFontStruct *xf = record ? *static_cast<XFontStruct **>(record) : nullptr;
  *old_out = nullptr;
  if (record != nullptr && record == *host_font) return false;
  XmFontList old = *own_font;
  *own_font = nullptr;
  *host_font = xf ? record : nullptr;
  if (xf != nullptr) {
    *own_font = XmFontListCreate(xf, const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
    c->font_list = *own_font;
    if (wu_dbcs_mode()) {
      XFontStruct *pair[2] = {xf, xf};
      AppendDBCSFontSet(pair, c);
      *own_font = static_cast<XmFontList>(c->font_list);
    }
  }
  c->font_list = *own_font;
  *old_out = old;
  return true;
}

Cardinal wu_ctl_parent_visual_args(Widget parent, Arg *args, Cardinal n) {
  // A widget takes its parent's colour map and depth unless told otherwise.
  if (parent == nullptr || parent->core.colormap != devb->colormap) {
    XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  }
  if (parent == nullptr || parent->core.depth != Cardinal(devb->depth)) {
    XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  }
  return n;
}

Cardinal wu_ctl_visual_args(Arg *args, Cardinal n) {
  XtSetArg(args[n], XmNvisual, devb->visual); ++n;
  XtSetArg(args[n], XmNcolormap, devb->colormap); ++n;
  XtSetArg(args[n], XmNdepth, devb->depth); ++n;
  return n;
}
