/*
 * Records and helpers of the button-like catalogue controls: the push
 * button and the desktop icon made on it, the check box, the radio box and
 * the progress bar.  Each record starts with the common control part and
 * wu_ctl_widgets, then the kind's own fields.
 */
#ifndef QEV_CONTROLS_WUBUTTON_H
#define QEV_CONTROLS_WUBUTTON_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>

#include "controls/wucontrol.h"
#include "runtime/wureg.h"

namespace wubtn {

/* Push button (kind 37) and desktop icon (kind 42). */
struct PushButton {
  wu_control c;
  wu_ctl_widgets w;          // the drawn button, twice
  int32_t icon;              // host icon number, 0 for the default icon
  uint32_t layout;           // kIconBeside / kIconAbove
  char *label;               // NUL-terminated copy in the window pool
  int32_t label_len;
  int32_t label_size;        // bytes of the label buffer
  int32_t created;           // set by the creator
  int32_t style;             // 0 text, 1 icon, 2 icon beside text, 3 icon above text
  int16_t icon_style;        // 1 large icons
  int16_t remanage;          // size changed: unmanage and manage again
  Pixmap pixmap;
  Pixmap mask;
  int32_t icon_w;
  int32_t icon_h;
  XmString xlabel;           // the label as shown
  XmFontList own_font;       // font list made from a host font, or null
  int32_t label_w;
  int32_t label_h;
  uint8_t redraw;            // redraw pending
};
static_assert(sizeof(PushButton) <= WU_CTL_BUTTON_SIZE, "push button fits its record kind");

constexpr uint32_t kIconBeside = 1;
constexpr uint32_t kIconAbove = 2;
constexpr int32_t kMaxHostLabel = 257;     // longest label kept
constexpr int32_t kShownLabel = 200;       // buffer of the trimmed label shown
constexpr uint32_t kEvmConform = 0x2000;   // conformSize event bit

inline PushButton *pb(wu_control *c) { return reinterpret_cast<PushButton *>(c); }

/* True for an entry whose value type is the one its catalogue row gives
   (an integer row takes either integer type, 9 or 12); otherwise the entry
   gets WU_E_RANGE. */
bool entry_type(wu_value *v, int32_t type);
/* A host text (length, pointer) that is well formed: no negative length,
   no null text with a length. */
bool text_ok(const wu_value *v);
/* Copies a host text into a pool buffer that grows as needed (cut to
   kMaxHostLabel).  The old buffer's true size is `*size`.  Returns the
   pool's status. */
wu_status pool_text(wu_control *c, char **buffer, int32_t *size, int32_t *length,
                    const char *text, int32_t n);
void pool_text_free(wu_control *c, char **buffer, int32_t *size);
/* The control's font list made from a host font record (an X font
   structure first), or null without one. */
XmFontList host_font_list(wu_control *c, void *record);
/* A GC from the toolkit's cache for drawing icons and text on widget `w`:
   copy function, all planes and the display's font fixed; the `dynamic`
   values are the caller's to change. */
GC icon_gc(Widget w, XtGCMask dynamic);
/* Sets the control's place from a WU_A_HPOS or WU_A_VPOS entry and moves
   its widget `w` when there is one.  False when the entry was refused. */
bool set_place(wu_control *c, Widget w, wu_value *v);
/* Sets the control's size from a WU_A_WIDTH or WU_A_HEIGHT entry and sizes
   its widget `w` when there is one.  With `conforming`, a size the widget
   already has is no change, and any other is refused while the control
   sizes itself to its content.  False when the entry made no change. */
bool set_size(wu_control *c, Widget w, wu_value *v, bool conforming);

/* A control is still there after a call out: its registration stands
   (when it has one) and it is live. */
inline bool held_alive(const wu_reg_hold &hold, const wu_control *c) {
  return (hold.serial == 0 || wu_reg_alive(hold)) && wu_ctl_live(c);
}

/* Drag-and-drop slots on a kind's main widget, one argument order for
   every kind: register (handle, out site, entries, count), unregister
   (handle, site), query and set (handle, site, entries, count). */
wu_status RegisterDND(wu_ctl_handle *h, void *site_out, void *entries, void *count);
wu_status UnregisterDND(wu_ctl_handle *h, void *site, void *, void *);
wu_status QueryDND(wu_ctl_handle *h, void *site, void *entries, void *count);
wu_status SetDND(wu_ctl_handle *h, void *site, void *entries, void *count);

/* The push button's set and query, which the desktop icon runs. */
wu_status PushSwat(wu_control *c, wu_value *entries, int32_t count);
wu_status PushQwat(wu_control *c, wu_value *entries, int32_t count);
/* Posts a replayed event with the record's position when its sent word
   is set. */
void replay_send(wu_control *c, const wu_batch_event *rec, wu_value *params, int32_t n);

/* Builds the drawn button of a push button or desktop icon.  `extra`
   resources follow the button's own and win over them, so that a kind
   with its own look gets it at creation instead of a second drawing. */
wu_status build_push(PushButton *p, const Arg *extra = nullptr, Cardinal extra_count = 0);

/* What the handlers of a button kind's widget do ahead of the toolkit's. */
struct ButtonWays {
  bool keys;              // the button keys (wuwskey)
  bool focus_frame;       // the one-pixel focus frame (wuwpbfo)
  XtEventHandler press;   // the kind's own rule for a button press, or null
};
/* One event of a button kind's widget, in the order its handlers ran when
   each had its own: the button keys, the kind's press rule, the focus
   frame, the common control input, the tips (ahead of the toolkit's too:
   a tip only starts or stops its timer).  After Motif has drawn a label
   (an exposure reaches the handlers after the widget's own drawing) its
   text drawing state for the window is given back. */
void button_input(Widget w, XtPointer client, XEvent *event, Boolean *cont, const ButtonWays &ways);
/* The events button_input takes. */
constexpr EventMask kButtonEvents = KeyPressMask | FocusChangeMask | ButtonPressMask |
                                    ButtonReleaseMask | Button1MotionMask | ExposureMask |
                                    EnterWindowMask | LeaveWindowMask;
/* The event handler of a scroll or progress bar: the common control input
   and the tips, ahead of the toolkit's. */
void add_bar_handlers(Widget w, wu_control *c);
/* The event handler of a button widget: the common control input, the
   focus frame, the button keys and the tips, ahead of the toolkit's. */
void add_button_handlers(Widget w, wu_control *c, bool focus_frame);

/* Graph push buttons: the tip part of the text, and the older setter's
   codes of the kind. */
bool graph_tip(wu_control *c, char *out, int32_t size);
wu_status graph_set(wu_control *c, wu_value *entries, int32_t count);

}  // namespace wubtn

extern "C" {
/* Button keys: Tab, Shift-Tab, Return and a radio box's arrows. */
void wuwskey(Widget w, XtPointer client, XEvent *event, Boolean *go_on);
/* Tool tips of the controls. */
void wuwtlwn(Widget w, XtPointer client, XEvent *event, Boolean *go_on);
void wuwtltt(wu_control *c);
void wumttsp(void);
/* The one-pixel focus frame, built with the spin box. */
void wuwpbfo(Widget, XtPointer, XEvent *, Boolean *) __attribute__((weak));
}

#endif /* QEV_CONTROLS_WUBUTTON_H */
