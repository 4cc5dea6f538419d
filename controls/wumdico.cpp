// The desktop icon of host-built dialogs: a push button with a large icon
// and its label below or beside it, without a frame or a click of its own;
// the user opens it with a double click.
#include <X11/IntrinsicP.h>
#include <Xm/Xm.h>

#include <vector>

#include "controls/wubutton.h"
#include "frames/wutframe.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"

namespace wubtn {
namespace {

constexpr int32_t kBesideStyle = 2;   // the push button's icon beside text
constexpr int32_t kAboveStyle = 3;    // ... icon above text
constexpr int16_t kLargeIcons = 1;

// A desktop icon shows the same few pictures in every window it is made
// in: the icon store keeps each for the display connection, so that the
// next window's icon takes it as it stands instead of making it again from
// the image's data (its colours allocated again on the server).
void keep_picture(wu_control *c) {
  if (wu_ctl_live(c) && pb(c)->pixmap != None && wu_x_ok()) wutkpix(pb(c)->pixmap);
}

// The host's button styles 0 and 1 are the push button's 2 and 3; other
// styles pass to the push button as they are.  The host's entries stay as
// given: the push button sets from a copy.  The label and background
// colours are the icon's own: the background takes the shadows with it, so
// that the icon shows no frame in any colour.
wu_status DIconSwat(wu_control *c, wu_value *entries, int32_t count) {
  std::vector<wu_value> copy(entries, entries + count);
  for (wu_value &v : copy)
    if (v.code == WU_A_STYLE && v.type == WU_VT_INT && (v.value == 0 || v.value == 1))
      v.value += kBesideStyle;
  PushSwat(c, copy.data(), count);
  keep_picture(c);
  for (int32_t i = 0; i < count; ++i) {
    wu_value *e = &entries[i];
    e->status = copy[size_t(i)].status;
    if (e->code != WU_A_FOREGROUND && e->code != WU_A_BACKGROUND) continue;
    if (!wu_ctl_live(c)) break;
    e->status = wu_ctl_set_colour(c, e);
    Widget w = pb(c)->w.main;
    if (e->status == WU_OK && e->code == WU_A_BACKGROUND && w != nullptr) {
      Pixel bg = 0;
      XtVaGetValues(w, XmNbackground, &bg, nullptr);
      XtVaSetValues(w, XmNtopShadowColor, bg, XmNbottomShadowColor, bg, nullptr);
    }
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status DIconQwat(wu_control *c, wu_value *entries, int32_t count) {
  PushQwat(c, entries, count);
  for (int32_t i = 0; i < count; ++i)
    if (entries[i].code == WU_A_STYLE && entries[i].status == WU_OK &&
        (entries[i].value == kBesideStyle || entries[i].value == kAboveStyle))
      entries[i].value -= kBesideStyle;
  return wu_ctl_entries_result(entries, count);
}

wu_status DIconReplay(wu_ctl_handle *h, const wu_batch_event *rec) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || rec == nullptr) return WU_NOTAVAIL;
  switch (rec->code) {
    case WU_EV_DOUBLECLICK: case WU_EV_POPUP: case WU_EV_CLICKONLY: case WU_EV_CONFORMSIZE:
      replay_send(c, rec, nullptr, 0);
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

}  // namespace
}  // namespace wubtn

using namespace wubtn;

extern "C" {

wu_status wuxppsh(wu_pane *pane, wu_control **out);

wu_status wuxdico(wu_pane *pane, wu_control **out) {
  const wu_status st = wuxppsh(pane, out);
  if (st != WU_OK) return st;
  wu_control *c = *out;
  c->Swat = DIconSwat;
  c->Qwat = DIconQwat;
  c->Replay = DIconReplay;
  c->kind = WU_MT_DESKTOPICON;
  PushButton *p = pb(c);
  p->icon_style = kLargeIcons;
  p->style = kAboveStyle;
  p->layout = kIconAbove;
  return WU_OK;
}

wu_status wutidco(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_DESKTOPICON) return WU_NOTAVAIL;
  // No frame and the icon's own colours from the start: set afterwards,
  // they would draw the new icon a second time.
  Arg args[5];
  Cardinal n = 0;
  XtSetArg(args[n], XmNshadowThickness, Dimension(0)); ++n;
  if (c->background != nullptr) {
    const Pixel bg = c->background->pixel;
    XtSetArg(args[n], XmNbackground, bg); ++n;
    XtSetArg(args[n], XmNtopShadowColor, bg); ++n;
    XtSetArg(args[n], XmNbottomShadowColor, bg); ++n;
  }
  if (c->foreground != nullptr) { XtSetArg(args[n], XmNforeground, Pixel(c->foreground->pixel)); ++n; }
  const wu_status st = build_push(pb(c), args, n);
  if (st != WU_OK) return st;
  keep_picture(c);
  XtRemoveAllCallbacks(pb(c)->w.main, XmNactivateCallback);
  return WU_OK;
}

wu_status wu_create_dti(wu_pane *pane, wu_control **out) { return wuxdico(pane, out); }

}  // extern "C"
