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
#include <Xm/Xm.h>
#include <stdint.h>

#include "qev/batch.h"
#include "qev/catalog.h"
#include "qev/kernel.h"
#include "qev/records.h"
#include "qev/status.h"
#include "frames/wuframes.h"
#include "frames/wutframe.h"

extern "C" {

/* Module event codes queued by the controls. */
#define WU_EV_CTL_POSTED 113      /* a control event was posted to the host */
#define WU_EV_CTL_ANSWER 114      /* the answer word of an event procedure */
#define WU_EV_CTL_WAKE 1047       /* wakes the window's waiting read */
#define WU_EV_BAR_RELEASED 1027   /* a pane's scroll bar was released: its space is the pane's */

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
/* A pane the module handed out, of a live window: looked up before it is
   read, so a released or foreign pane is never touched. */
bool wu_pane_live(const wu_pane *pane);

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

/* Tab (step 1) or Shift-Tab (step -1) from a widget of a window: the
   keyboard goes to the next or previous of the window's fields and controls
   (wuctab).  0 when the window has no control to go to (its own field
   cycling applies), 1 when the keyboard moved. */
int32_t wuwtabc(wu_window *window, Widget from, int32_t step);

/* True while a control is being grayed or ungrayed (wuxgrwd). */
bool wu_ctl_graying(void);

/* True when a focus event on `w` moves the keyboard (wumsbox): one the
   toolkit sent, and for a focus in, to the shell's focus widget.  The
   server's own focus events tell only where the pointer lies. */
bool wu_ctl_keyboard_change(Widget w, const XEvent *event);

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
/* Sets a colour role of a control (41 foreground, 56 background) in its
   own colour cell, the new colour had before the old one goes; applies it
   to the main widget.  WU_E_RANGE when the colour cannot be had. */
wu_status wu_ctl_set_colour(wu_control *c, const wu_value *e);
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
/* Runs the control's event procedure for an event that needs it at once:
   on the window's display task directly, else through that task. */
wu_status wu_ctl_run(wu_control *c, wu_ctl_event *record, wu_value *params, int32_t count);
/* The batch driver in record mode, or null. */
wu_batch_driver *wu_batch_recording(void);
/* Hands an event recording to the driver when it records. */
void wu_ctl_record(wu_control *c, int32_t code, int32_t value1, int32_t sent, double value2,
                   int32_t value3);
/* Hands a filled recording of the control to the driver when it records.
   The driver is host code called from inside a widget callback: a window
   it releases or a shut-down it asks for waits, as for an event procedure,
   until the toolkit is done with the widgets. */
void wu_ctl_record_event(wu_control *c, const wu_batch_event *recording);
/* Installs the common input handlers on a control widget. */
wu_status wutmnrq(Widget w, wu_control *c);
/* What the common input handlers do with one event, in their order (for a
   widget whose handlers are joined into one; client data the control). */
void wu_ctl_input(Widget w, XtPointer client, XEvent *event, Boolean *cont);
/* Installs the button-1 handler alone (clicks of click-only controls,
   double clicks of text kinds), without the press handler's popup. */
wu_status wu_ctl_button1(Widget w, wu_control *c);
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
/* True when `w` is `ancestor` or lies inside it. */
bool wu_widget_within(Widget w, Widget ancestor);
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
wu_status wutfwpn(wu_window *window, wu_pane_ext *ext, wu_control *c);
wu_status wutfwfg(wu_control *c);
wu_status wuxlscr(void);
void Kludge_XmText_scrollHorizontal(Widget w, Boolean on);
void Kludge_XmIm_current_widget(Widget w);

/* ---- the entry field (wucefd) --------------------------------------- */

wu_status wuxgefd(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t width_chars, int32_t max_length, int32_t word_b);
wu_status wutifld(wu_control *c);

/* ---- the text kinds: entry field, label, multi-line entry (wucefd) ---- */

/* Module events queued for older pane controls. */
#define WU_EV_FIELD_BUTTON 104    /* a field-backed button was pressed */
#define WU_EV_OLD_PIXEL_PRESS 1017 /* button press on a pixel-placed older control */
#define WU_EV_OLD_CELL_PRESS 1022 /* button press on a cell-placed older control */
#define WU_EV_OLD_PRESSED 1028    /* an older control was pressed or selected */
#define WU_EV_OLD_DEFAULT 1034    /* default action (double click) of a list box */

}  // extern "C"

namespace wutext {

/* The entry field's record.  The label and the multi-line entry start with
   it, so that the text callbacks, the clean-up and the drag-and-drop slots
   serve all three kinds. */
typedef struct EntryField {
  wu_control c;
  wu_ctl_widgets w;          // the text widget, twice
  uint32_t max_length;       // kNoLimit when none is set
  uint16_t error_on;         // text shown in the error colour
  uint32_t numeric;          // numKeys
  uint32_t upper;            // upperCase
  uint8_t mask;              // mask character, 0 unmasked
  char *shadow;              // the real text while a masked text is put in
  uint32_t read_only;        // the value given to `editable`
  uint32_t border;           // etched frame
  uint32_t cursor;           // 0-based insertion position
  void *host_font;           // host font record last given to `font`
  char *text;                // pending text, or the real text while masked
  char *query;               // the last text handed out by a query
  int32_t word_b;            // second caller word of the creator
  XmFontList own_font;       // font list made from the host font
  int32_t return_sent;       // the last activation sent `returnKey`
  int32_t host_put;          // a host-set text is being put into the widget
} EntryField;
static_assert(sizeof(EntryField) <= WU_CTL_LARGE_SIZE, "entry field fits its record kind");

wu_status TextFieldClean(wu_ctl_handle *h, wu_value *entries, int32_t count);
wu_status TextFieldMethods(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count);
wu_status TextRegisterDND(wu_ctl_handle *h, void *site_out, void *entries, void *count);
wu_status TextUnregisterDND(wu_ctl_handle *h, void *, void *, void *);
wu_status TextQueryDND(wu_ctl_handle *h, void *site, void *entries, void *count);
wu_status TextSetDND(wu_ctl_handle *h, void *site, void *entries, void *count);
/* Text callbacks: modify-verify and activate, the activate recording, and
   the value-changed events. */
void wuwhsub(Widget w, XtPointer client, XtPointer call);
void wuwhbat(Widget w, XtPointer client, XtPointer call);
void wuwhpsu(Widget w, XtPointer client, XtPointer call);
/* The `font` attribute of the text kinds (wumhfld): true when the font
   changed; `old_out` gets the previous own font list, to be freed with
   FreeFontList once the widget has the new one. */
bool SetHostFont(EntryField *e, void *record, XmFontList *old_out);
/* Frees a control's own font list with the font sets made for it. */
void FreeFontList(XmFontList fl);
/* The keys a text kind keeps over the window's text keys (laid over them):
   its editing keys, and Return, which activates the text (`returnKey`) and,
   with `line_feed`, first starts a new line. */
XtTranslations text_keys(bool line_feed);
/* The multi-line entry's row-and-column marks and its replay (wumhfld). */
wu_status TextPadMethods(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count);
wu_status TextPadReplay(wu_ctl_handle *h, const wu_batch_event *rec);

}  // namespace wutext

extern "C" {

/* ---- font names and double-byte font sets (wumgext) -------------------- */

#define WU_FONT_SIZE_LEN 16      /* capacity of GetFontSize's buffer */
#define WU_FONT_NAME_LEN 256     /* capacity of GetSystemFontName's output */
#define WU_FONT_LIST_LEN 1024    /* capacity of AddFontName's output */

/* True when the host runs in a double-byte mode. */
bool wu_dbcs_mode(void);
/* 1 for a text starting with "-" that holds exactly 14 "-", else 0. */
int32_t verifyXLFDname(const char *text);
/* The name of a font (released by the caller with XtFree), or null. */
char *GetFontName(Display *display, XFontStruct *font);
/* The pixel-size field of an XLFD name, "*" when there is none. */
void GetFontSize(const char *name, char *buffer);
/* A wildcard pattern from a name for a character set, pixel size and
   average width; the output may be the name's own buffer. */
void GetSystemFontName(char *output, const char *name, const char *charset,
                       const char *pixel_size, const char *average_width);
/* "first,second" completed by the double-byte mode's character sets. */
void AddFontName(char *output, const char *first, const char *second);
/* Adds the double-byte font and font set of a font pair to the control's
   font list (the control's own, or a copy of the display's made for it). */
void AppendDBCSFontSet(XFontStruct *pair[2], wu_control *c);

/* ---- the label and the multi-line entry (wumhfld) ----------------------- */

wu_status wuxglbl(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t unused1, int32_t unused2, int32_t word_b);
wu_status wuxgmef(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t height, int32_t width, int32_t unused, int32_t word_b);

/* ---- older pane controls (wumwidg, wucwidg) ----------------------------- */

/* Older push buttons, check boxes, radio boxes, radio buttons and
   field-backed buttons (kinds 5-8, 22, 23): the common part, the one
   widget, then the kind's fields.  Positions are pane cells (1-based); a
   radio button's are cells of its box. */
typedef struct wu_old_button {
  wu_control c;
  Widget widget;                       /* button, toggle, or the box's drawing area */
  char *label;                         /* NUL-terminated, in the window pool */
  int32_t label_size;                  /* bytes of the label buffer */
  int32_t state;                       /* check box state; radio button "set" flag */
  struct wu_old_button *box;           /* radio button: its box */
  struct wu_old_button *first;         /* radio box: its buttons */
  struct wu_old_button *last;
  struct wu_old_button *next_button;   /* radio button: the next of its box */
  struct wu_old_button *selected;      /* radio box: the selected button */
  wu_field *field;                     /* field-backed button: its field */
} wu_old_button;
static_assert(sizeof(wu_old_button) <= WU_CTL_TOGGLE_SIZE && sizeof(wu_old_button) <= WU_CTL_BUTTON_SIZE &&
                  sizeof(wu_old_button) <= WU_CTL_BOX_SIZE,
              "older buttons fit their record kinds");

wu_status wuxgpsh(wu_pane *pane, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t colour, const char *label, int32_t length);
wu_status wuxgchk(wu_pane *pane, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t colour, const char *label, int32_t length);
wu_status wuxgrbx(wu_pane *pane, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t rows, int32_t columns);
wu_status wuxgrbt(wu_control *box, wu_control **out, int32_t id, int32_t row, int32_t column,
                  int32_t colour, const char *label, int32_t length);
wu_status wuxssta(wu_control *c, int32_t state);
wu_status wuxcsta(wu_control *c);
wu_control *wuxrrbt(wu_control *box);
/* Builds a radio button's toggle in its box's widget. */
wu_status wutirbn(wu_control *c);
wu_status wuxcwtx(wu_control *c, const char *text);
/* The text of slot 6 for a combo box (into its text, no value-changed
   event, the cursor at the end) and for an icon button (its whole text). */
wu_status wu_cbx_put_text(wu_control *c, const char *text);
wu_status wu_icf_put_text(wu_control *c, const char *text);
/* Refresh a field-backed push button or toggle from its field. */
wu_status wutwpbf(wu_control *c);
wu_status wutwtog(wu_control *c);
/* The items of an older list box, kept by the module so that the host can
   fill and query the box before its widgets exist.  The combo box keeps its
   items in the same place of its record (after its two widgets), so that
   the change service serves both. */
typedef struct wu_item_store {
  int32_t top;                 /* top visible position, 0 when empty */
  int32_t count;               /* items */
  int32_t selected;            /* selected items */
  int32_t capacity;            /* entries of the two tables */
  XmString *items;             /* one compound string per item (window pool) */
  uint8_t *selection;          /* one byte per item, 1 = selected (window pool) */
} wu_item_store;

static inline wu_item_store *wu_lbx_store(wu_control *c) {
  return reinterpret_cast<wu_item_store *>(wu_ctl_w(c) + 1);
}

wu_status wuxglbx(wu_pane *pane, wu_control **out, const char *title, int32_t row,
                  int32_t column, int32_t rows, int32_t columns, int32_t colour,
                  int32_t visible_rows, uint32_t flags, int32_t id, const wu_str_item *items,
                  int32_t count);
wu_status wuxclbx(wu_control *c, int32_t operation, const wu_str_item *items, int32_t position,
                  int32_t count);
wu_status wuxqlbx(wu_control *c, int32_t query, void *answer);
wu_status wuxqlbi(wu_control *c, int32_t position, char *buffer, int32_t *length);
/* The selected count of an older list box. */
int32_t wu_lbx_selected(wu_control *c);
/* Queues event 1028 for the control's window with the record and `code`
   (1028, or 1034 for a list box's default action) and, with `focus_back`,
   gives the focus back to the input widget when the window asks for it. */
void wu_old_pressed_event(wu_control *c, int32_t code, bool focus_back);
/* The module's translations of an older control: button keys and the
   "qev-widget-popup" action on button 3. */
void wu_old_translations(Widget w);
/* The module's translation tables of control widgets. */
typedef enum wu_ctl_table {
  WU_KEYS_BUTTON,        /* the display's button table (controlTranslation) */
  WU_KEYS_WIDGET_POPUP,  /* "qev-widget-popup" on button 3 */
  WU_KEYS_POPUP,         /* the display's popup table (popupTranslation) */
  WU_KEYS_TEXT,          /* the text keys (textKeyTranslations) */
  WU_KEYS_TEXT2          /* the vendor's extra keys (textKeyTranslations2) */
} wu_ctl_table;
/* Overrides a widget's translations with tables in this order, a later
   table's bindings winning over an earlier one's, as overriding with each
   in turn would; the tables go on as one, joined and parsed once per
   process, so that the widget merges and binds one table, not one per
   source. */
void wu_ctl_keys(Widget w, const wu_ctl_table *tables, int32_t count);

/* ---- neighbouring services, linked when their layers are -------------- */

wu_status wuxiwnd(wu_window *window) __attribute__((weak));
wu_status wuxuwnd(wu_window *window) __attribute__((weak));
wu_status wutuwnd(wu_window *window, int32_t flush) __attribute__((weak));
wu_status wuxmcrs(wu_window *window, wu_pane *pane, int32_t row, int32_t column)
    __attribute__((weak));
wu_status wuxmcur(wu_window *window) __attribute__((weak));
wu_status wuwFocusToQevinput(wu_window *window) __attribute__((weak));
wu_field *wutfatc(wu_pane *pane, int32_t row, int32_t column) __attribute__((weak));
/* 1 while Shift or Mod1 is held on the keyboard. */
int32_t isaltpr(void) __attribute__((weak));
void wutaddt(Widget w) __attribute__((weak));
/* Enters the text-key actions the text-key tables name (once a start). */
void wutiact(void) __attribute__((weak));
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
#pragma weak wumldnd
#pragma weak wuwsdnd
#pragma weak wu_dnd_simple_site_above


/* A colour set as the frames layer fills it (wuwgpmc): background,
   foreground, top and bottom shadow. */
typedef wu_colour_set wu_ctl_colours;
/* The controls' colour class. */
#define WU_CTL_COLOUR_CLASS 5

#pragma weak wuwgpmc
/* Colour class 5 of a window (display colours when the frames layer is not
   linked). */
extern "C" void wu_ctl_class_colours(wu_window *window, wu_ctl_colours *out);

/* ---- services slots 11-14: drag and drop by kind (wucsdnd) ---------------- */

extern "C" {
/* (handle, entries, count, site out) and the like: handed to the kind's
   RegisterDND, SetDND, QueryDND, UnregisterDND; WU_UNSUPPORTED when the
   kind has none, WU_NOTAVAIL for a handle that names no live control. */
wu_status wuwrdnd(wu_ctl_handle *h, void *a, void *b, void *c);
wu_status wutsdnd(wu_ctl_handle *h, void *a, void *b, void *c);
wu_status wuwqdnd(wu_ctl_handle *h, void *a, void *b, void *c);
wu_status wuwudnd(wu_ctl_handle *h, void *a, void *b, void *c);
}

/* ---- checks of the host's value entries (wucvchk) ------------------------ */

extern "C" {
/* The catalogue row of an attribute code for a control type 0-13, or null. */
const wu_cat_attr *wu_ctl_attr_row(int32_t type, int32_t code);
/* Checks an entry to be set on a control of handle type `type`: its value
   type against the catalogue row of its code, a geometry value against
   X's range, and a text or list for its storage and a believable length
   (WU_HOST_TEXT_MAX, WU_HOST_LIST_MAX).  WU_OK or WU_E_RANGE. */
wu_status wu_ctl_check_set(int32_t type, const wu_value *e);
/* Checks the input parameters of a method call on a control of type 0-13
   against the method's parameter rows, by position, as wu_ctl_check_set
   checks values: a refused parameter gets WU_E_RANGE and so does the
   answer, and the method must not run. */
wu_status wu_ctl_check_params(int32_t type, int32_t method, wu_value *params, int32_t count);
/* The foreground a control shows for a requested pixel: while a text
   control's error switch is on its error colour wins over any colour the
   host gave. */
Pixel wu_ctl_error_foreground(wu_control *c, Pixel requested);
}

/* The host's entries of one set or query, as the control kinds get them.
   For a set, entries that fail wu_ctl_check_set are marked WU_E_RANGE and
   held back; the kinds work on the rest (`data()`, `count()`) and finish()
   copies their answers back in place.  For a query, each entry's type word
   is made the catalogue's.  Without a refusal the host's own array is used
   as it is. */
#include <vector>
class wu_ctl_entries {
 public:
  wu_ctl_entries(wu_control *c, wu_value *entries, int32_t count, bool query);
  wu_value *data() const { return data_; }
  int32_t count() const { return count_; }
  /* Copies the kinds' answers back; the result is WU_ENTRY_STATUS instead
     of WU_OK when an entry was refused. */
  wu_status finish(wu_status result);

 private:
  wu_value *host_;
  wu_value *data_;
  int32_t count_;
  bool refused_ = false;
  std::vector<wu_value> kept_;
  std::vector<int32_t> where_;
};

/* ------------------------------------------------------------------------
 * Shared by the control kinds (wuckind.cpp).
 */
/* The slots a kind answers the host through, kept by the kind as one table. */
struct wu_ctl_slots {
  wu_ctl_set_fn Swat;
  wu_ctl_set_fn Qwat;
  wu_ctl_method_fn Methods;
  wu_ctl_entries_fn Cleanup;
  wu_ctl_dnd_fn UnregisterDND;
  wu_ctl_dnd_fn RegisterDND;
  wu_ctl_dnd_fn QueryDND;
  wu_ctl_dnd_fn SetDND;
  wu_ctl_replay_fn Replay;
};
/* Puts all nine slots of the table into the control. */
void wu_ctl_install(wu_control *c, const wu_ctl_slots &s);
/* The answer to a query of WU_A_HPOS, VPOS, WIDTH or HEIGHT (`code`): the
   widget's own place and size once there is one, else the control's words. */
int32_t wu_ctl_geometry(const wu_control *c, Widget w, int32_t code);
/* The parameters of an event of `code`, `count` integers taken from `values`. */
wu_value *wu_ctl_int_params(wu_control *c, int32_t code, const int32_t *values, int32_t count);
/* Result of a set or query: WU_ENTRY_STATUS when any entry failed. */
wu_status wu_ctl_entries_result(const wu_value *entries, int32_t count);
/* The `font` attribute: a host font record whose first word is a loaded X
   font gives the control its own font list `*own_font` (with the
   double-byte font set in double-byte mode); an empty value goes back to
   the display's font list.  `*host_font` keeps the record last given.
   True when the font changed; `old_out` gets the previous own list, to be
   freed with FreeFontList once the widget has the new one. */
bool wu_ctl_host_font(wu_control *c, void *record, void **host_font, XmFontList *own_font,
                      XmFontList *old_out);
/* Adds the display's visual, colormap and depth to a widget's arguments
   from `args[n]` on; returns the new count. */
Cardinal wu_ctl_visual_args(Arg *args, Cardinal n);
/* The display's colour map and depth for a widget made in `parent`, only
   where the parent's differ (a widget inherits its parent's). */
Cardinal wu_ctl_parent_visual_args(Widget parent, Arg *args, Cardinal n);
/* Replays an event a text kind only passes on to the host: a popup, a click,
   a double click, `clickOnly`, `conformSize`, code 30 and a pre-virtual key
   (its modifiers recorded as a number).  Sent again when the recording says
   it was sent; WU_NOTAVAIL for any other event. */
wu_status wu_ctl_replay_passed(wu_control *c, const wu_batch_event *r);

#endif /* QEV_CONTROLS_WUCONTROL_H */
