/*
 * The dialog controls layer: creation and handles, attribute set and query,
 * control events and methods, record and replay, and the release of control
 * records.  Host-facing functions have C linkage and return a wu_status;
 * the helpers below are shared by the control kinds.
 *
 * Every kind record starts with the common part (wu_control) followed by
 * wu_ctl_widgets: the kind's main widget (focus, colours, queries) and its
 * outermost widget (show, hide, gray; the same as the main widget for simple
 * kinds).
 */
#ifndef QEV_CONTROLS_WUCONTROL_H
#define QEV_CONTROLS_WUCONTROL_H

#include <X11/Intrinsic.h>
#include <stdint.h>

#include "qev/batch.h"
#include "qev/catalog.h"
#include "qev/kernel.h"
#include "qev/records.h"
#include "qev/status.h"
#include "frames/wuframes.h"

extern "C" {

/* Module event codes queued by the controls. */
#define WU_EV_CTL_POSTED 113      /* a control event was posted to the host */
#define WU_EV_CTL_ANSWER 114      /* the answer word of an event procedure */
#define WU_EV_CTL_WAKE 1047       /* wakes the window's waiting read */

/* Virtual-key numbers of the navigation keys. */
#define WU_VK_FIRST 0
#define WU_VK_PAGEUP 2
#define WU_VK_PAGEDOWN 3
#define WU_VK_END 4
#define WU_VK_HOME 5
#define WU_VK_LEFT 6
#define WU_VK_RIGHT 7
#define WU_VK_UP 8
#define WU_VK_DOWN 9
#define WU_VK_LAST 10

/* Modifier values of the click-only press. */
#define WU_CLICK_PLAIN 0
#define WU_CLICK_SHIFT 1
#define WU_CLICK_CONTROL 2

/* Priority the display task is raised to for a synchronous event. */
#define WU_EVPROC_PRIORITY 3

/* Popup choice sensitivity flags (choice rows and "_showPopup"). */
#define WU_POPUP_GRAYED 1
#define WU_POPUP_SEPARATOR 4

/* The widgets that follow the common part of every control record. */
typedef struct wu_ctl_widgets {
  Widget main;      /* the widget of focus, colours and queries */
  Widget outer;     /* the outermost widget: shown, hidden and grayed */
} wu_ctl_widgets;

static inline wu_ctl_widgets *wu_ctl_w(wu_control *c) {
  return reinterpret_cast<wu_ctl_widgets *>(c + 1);
}

/* ---- registry of live controls and handles (wucrels) ------------------- */

/* True when `c` is a control record of a live pane (not released). */
bool wu_ctl_live(const wu_control *c);
/* The live control of a handle the host passed, or null. */
wu_control *wu_ctl_of(const wu_ctl_handle *h);
/* The window that holds a control, or null. */
wu_window *wu_ctl_window(const wu_control *c);
/* Handles made by the module; a handle stays known until released. */
void wu_handle_add(wu_ctl_handle *h);
void wu_handle_forget(wu_ctl_handle *h);
bool wu_handle_known(const wu_ctl_handle *h);
/* A control that is released but not yet destroyed. */
bool wu_ctl_released(const wu_control *c);
/* The live window records of the module. */
bool wu_window_live(const wu_window *w);

/* ---- the catalogue (wucmap) ------------------------------------------ */

wu_status wuxgext(const wu_cat_type **table_out, int32_t *count_out);
wu_status wuxgmap(int32_t type, wu_cat_map **map_out, const wu_value *entries, int32_t count);

/* ---- text of a text event's recording ---------------------------------- */

/* A recording of a text event (codes 2, 3, 31) carries the text: on a
   32-bit host its address in the word at +4 and its length at +8; where
   addresses are wider the address takes the eight bytes at +16. */
void wu_rec_set_text(wu_batch_event *rec, const char *text, int32_t length);
const char *wu_rec_text(const wu_batch_event *rec, int32_t *length);

/* ---- creation (wuccrea) --------------------------------------------- */

wu_status wuxcrea(wu_ctl_handle **handle_out, wu_pane *pane, void *extension, int32_t type,
                  wu_value *entries, int32_t count, wu_evproc procedure);
wu_status wumwdes(wu_ctl_handle *handle);
wu_status wuwfocs(wu_ctl_handle *handle);
wu_status wuxfocs(const void *request, int32_t mode);
wu_status wutchfk(void);
wu_status wuxcord(wu_window *window, wu_pane *pane, wu_ctl_handle ***handles_out,
                  int32_t *count_out);
wu_status wuxfcor(wu_window *window, wu_ctl_handle **handles);
wu_ctl_handle *wuxicnt(wu_window *window, int32_t id);
int32_t wuxcnti(const wu_ctl_handle *handle);
wu_ctl_handle *wuxacon(wu_pane *pane);
/* A type-14 handle for a record that has none (null when out of memory). */
wu_ctl_handle *wu_ctl_handle_for(wu_control *c);

/* Links a new record at the tail of its pane's control list. */
void wu_ctl_link(wu_control *c);

/* ---- attributes (wucattr) ------------------------------------------- */

wu_status wuxswat(wu_control *c, wu_value *entries, int32_t count);
wu_status wuxqwat(wu_control *c, wu_value *entries, int32_t count);
wu_status wuxclen(wu_ctl_handle *h, wu_value *entries, int32_t count);
wu_status wumclen(wu_ctl_handle *h, wu_value *entries, int32_t count);
wu_status wumggeo(wu_ctl_handle *h, int32_t *x, int32_t *y, int32_t *width, int32_t *height);
wu_status wumsgeo(wu_ctl_handle *h, int32_t x, int32_t y, int32_t width, int32_t height);
char *wuxstmn(const char *text);
/* A pane cell of a pixel position: (position / cell size) rounded up. */
int32_t wu_cell_of(int32_t pixels, int32_t cell);
/* Releases the control's own colour cells (release of the control). */
void wu_ctl_free_colours(wu_control *c);

/* ---- events and methods (wucevnt) ----------------------------------- */

/* Fills an event record with the defaults of a control. */
void wuxievt(wu_ctl_event *record, wu_control *c, int32_t code);
/* Parameter storage of an event: `count` zeroed entries owned by the
   control, valid until its next event of the same code, the discard of its
   pending events or its release. */
wu_value *wu_ctl_event_params(wu_control *c, int32_t code, int32_t count);
void wu_ctl_drop_params(wu_control *c);
/* Posts a record to the window's event task and queues `wake` (113 or
   1047; 0 for none).  Returns the posting status. */
wu_status wu_ctl_post(wu_control *c, wu_ctl_event *record, int32_t wake);
/* Sends an event if the control has an event procedure and `mask_bit` is
   set in its mask (0: no mask check); returns 1 when it was sent. */
int32_t wu_ctl_send(wu_control *c, int32_t code, uint32_t mask_bit, int32_t x, int32_t y,
                    wu_value *params, int32_t count, int32_t wake);
/* The batch driver in record mode, or null. */
wu_batch_driver *wu_batch_recording(void);
/* Hands an event recording to the driver when it records. */
void wu_ctl_record(wu_control *c, int32_t code, int32_t value1, int32_t sent, double value2,
                   int32_t value3);
/* Installs the common input handlers on a control widget. */
wu_status wutmnrq(Widget w, wu_control *c);
wu_status wutesig(qev_task *task, int32_t signal, void *message, void *data);
wu_status wuxmeth(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count);
wu_status wuxrbat(wu_ctl_handle *h, const wu_batch_event *recording);
/* The string popup: index + 1 of the chosen label, 0 when none. */
int32_t wumhpop(Widget w, char **labels, int32_t count, const int32_t *enabled,
                const char *mnemonics, const int32_t *command_ids);

/* ---- records and widgets (wucrels) ---------------------------------- */

wu_status wutiwid(wu_control *c);
Widget wuwgxtw(wu_control *c);
/* The outermost widget of a control (for compound kinds its container). */
Widget wu_ctl_outer(wu_control *c);
wu_status wuxhwid(wu_control *c, int32_t show);
wu_status wutmapw(wu_control *c, int32_t show);
wu_status wuxgrwd(wu_control *c, int32_t gray);
wu_status wuxgrst(wu_control *c);
wu_status wuxgwsz(int32_t *rect, int32_t size_kind, wu_control *c);
wu_status wutswid(wu_pane *pane);
int32_t wuwswvs(wu_control *c, const void *colour_set, Arg *args, int32_t count);
wu_status wuwcwbg(wu_control *c, const void *colour_set);
wu_status wutipan(Widget pane_widget);
wu_status wutactw(wu_window *window, Widget w);
wu_status wuxfwid(wu_control *c);
wu_status wutfwid(wu_window *window, wu_pane_ext *ext, wu_control *c);
wu_status wuxlscr(void);
void Kludge_XmText_scrollHorizontal(Widget w, Boolean on);
void Kludge_XmIm_current_widget(Widget w);

/* ---- the entry field (wucefd) --------------------------------------- */

wu_status wuxgefd(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t width_chars, int32_t max_length, int32_t word_b);
wu_status wutifld(wu_control *c);

/* ---- neighbouring services, linked when their layers are -------------- */

wu_status wuxiwnd(wu_window *window) __attribute__((weak));
wu_status wuxuwnd(wu_window *window) __attribute__((weak));
wu_status wuxmcrs(wu_window *window, wu_pane *pane, int32_t row, int32_t column)
    __attribute__((weak));
wu_status wuxmcur(wu_window *window) __attribute__((weak));
wu_status wuwFocusToQevinput(wu_window *window) __attribute__((weak));
void wutaddt(Widget w) __attribute__((weak));
void wutalrm(void) __attribute__((weak));
wu_status wuglclr(wu_colour_cell *cells, int32_t count, void *table) __attribute__((weak));
wu_status wugrclr(wu_colour_cell *cells, int32_t count, void *table) __attribute__((weak));

}  // extern "C"

/* Runs the host's event procedure of `c` for a synchronous event (on the
   display task directly, from another task through its signal) and returns
   the procedure's answer. */
wu_status run_procedure(wu_control *c, wu_ctl_event *record, wu_value *params, int32_t count);

/* The drop-site services are declared with the frames layer; a module built
   without that layer leaves them null. */
#pragma weak wumrdnd
#pragma weak wumudnd
#pragma weak wuwidrg
#pragma weak wuxsdnd
#pragma weak wuxqdnd
#pragma weak wuxfdnd


/* A colour set as the frames layer fills it: background, foreground, top
   and bottom shadow. */
typedef struct wu_ctl_colours {
  Pixel background;
  Pixel foreground;
  Pixel top_shadow;
  Pixel bottom_shadow;
} wu_ctl_colours;
/* The controls' colour class. */
#define WU_CTL_COLOUR_CLASS 5

extern "C" wu_status wuwgpmc(wu_window *window, int32_t set, wu_ctl_colours *result)
    __attribute__((weak));
/* Colour class 5 of a window (display colours when the frames layer is not
   linked). */
extern "C" void wu_ctl_class_colours(wu_window *window, wu_ctl_colours *out);

#endif /* QEV_CONTROLS_WUCONTROL_H */
