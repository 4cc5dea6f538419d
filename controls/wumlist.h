/*
 * Helpers shared by the list view, the list box and the tree view: row
 * icons and their ids, host texts made into compound strings, the
 * case-blind search match, the kinds' own colours and titles, and the
 * answers they keep for the host.
 */
#ifndef QEV_CONTROLS_WUMLIST_H
#define QEV_CONTROLS_WUMLIST_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <stdint.h>

#include "controls/wucontrol.h"

/* Longest text a row cell takes; longer texts are cut. */
#define WU_LIST_TEXT_MAX 2048
/* Longest column name. */
#define WU_LIST_NAME_MAX 255

/* The pixmap of a host image id at a size (16 or 24); None for -1 and for
   an image that cannot be loaded.  Every pixmap made maps back to its id. */
Pixmap wu_list_pixmap(int32_t id, int32_t size);
/* The host image id of a pixmap made by wu_list_pixmap; -1 for None or a
   pixmap it did not make. */
int32_t wu_list_icon_id(Pixmap pixmap);

/* A compound string of a host text of `length` bytes, cut at
   WU_LIST_TEXT_MAX bytes without splitting a character. */
XmString wu_list_xmstring(const char *text, int32_t length);
/* A NUL-terminated copy (XtMalloc) of at most `max` bytes of a host text. */
char *wu_list_copy(const char *text, int32_t length, int32_t max);

/* A search match: the first `n` bytes of `label` equal `text` ignoring
   case; `exact` needs equal lengths, otherwise the label is at least as
   long as the text. */
bool wu_list_match(const char *label, int32_t label_length, const char *text, int32_t n,
                   bool exact);

/* Sets the control's own foreground (41) or background (56) cell from an
   entry: a colour is allocated before the old one is given back; no value
   returns to the dialog default.  `pixel` receives the pixel to show.
   WU_E_RANGE when the colour cannot be had (the old one stays). */
wu_status wu_list_set_colour(wu_control *c, const wu_value *e, Pixel *pixel);
/* Answers 41 or 56: a new 6-byte block of red, green, blue (18469) for an
   own colour, else 0. */
void wu_list_query_colour(wu_control *c, wu_value *e);

/* A font list of a font name (`length` bytes) for control `c` (with the
   double-byte font set in a double-byte mode), or null when the font cannot
   be loaded; give it back with wu_list_font_free, which frees the font too. */
XmFontList wu_list_font(wu_control *c, const char *name, int32_t length);
/* Frees a font list made by wu_list_font; others (the device's) are kept. */
void wu_list_font_free(XmFontList font_list);

/* Height of a text in the device's default font. */
int32_t wu_list_text_height(const char *text);

/* Searches rows 1..`rows` for `text` (`n` bytes), from `start` (row 1 when
   out of range) round to the row before it; `text_of` gives a row's text as
   an Xt string (freed here) or null.  The row found, else 0. */
int32_t wu_list_find_row(int32_t start, int32_t rows, const char *text, int32_t n, bool exact,
                         char *(*text_of)(void *data, int32_t row), void *data);
/* Adds the device's visual, colour map and depth and the control as user
   data to an argument list. */
void wu_list_common_args(Arg *args, Cardinal *n, wu_control *c);
/* Takes a position or size entry (HPOS, VPOS, WIDTH, HEIGHT) into the
   control's record; WU_E_RANGE for a size outside 1..32767. */
wu_status wu_list_set_geometry(wu_control *c, const wu_value *v);
/* Builds a title band in `form`: a frame along its top holding a form with
   a left-aligned label `pad` in from either side.  Nothing is managed yet:
   the caller dresses and manages the three widgets. */
void wu_list_make_title(Widget form, wu_control *c, Pixel background, Pixel foreground,
                        int32_t pad, XmFontList font, const char *label_name, Widget *title_frame,
                        Widget *title_form, Widget *title);
/* Fills a string item with an Xt string it takes over, or with an empty
   one when `text` is null. */
void wu_list_set_item(wu_str_item *item, char *text);
/* A new record of `kind` from the pool of the pane's window, its control
   (the record's first member) given the kind and pane and linked into the
   window; null when memory runs out. */
wu_control *wu_list_new_control(wu_pane *pane, int32_t kind);
/* Answers a position or size entry (HPOS, VPOS, WIDTH, HEIGHT) from the
   outer widget, refreshing the control's record first when it exists. */
void wu_list_query_geometry(wu_control *c, Widget outer, wu_value *v);
/* Height of a title band: 0 while it is hidden or absent. */
int32_t wu_list_title_height(Widget title_frame);
/* Shows a title band holding `text` (its label `pad` beyond the text's
   height) above `frame`, or with no text hides it and lets the frame take
   the top. */
void wu_list_title_band(Widget title_frame, Widget title, Widget frame, const char *text,
                        int32_t pad);

/* Frees a string table answer: `rows` rows of `columns` items. */
void wu_list_free_table(wu_str_item **rows, int32_t count, int32_t columns);
/* Frees a list of `count` strings. */
void wu_list_free_strings(wu_str_item *items, int32_t count);

/* The event position of a callback: the pointer position of its X event,
   else the widget's own. */
void wu_list_event_xy(Widget w, XEvent *event, int32_t *x, int32_t *y);

/* A pane of a live window, with its extension. */
bool wu_list_pane_ok(wu_pane *pane);
/* A host coordinate or size clamped to what X takes (sizes at least 1). */
Position wu_list_pos(int32_t v);
Dimension wu_list_dim(int32_t v);

/* The parameter of a `click`: one entry of value type 16 whose pointer is an
   array of `count` ids kept after it in the same storage, so that the array
   lives as long as the parameter does.  `ids` receives the array. */
wu_value *wu_list_click_params(wu_control *c, int32_t count, int32_t **ids);

/* Starts a drag from a list at the pointer's position. */
void wu_list_start_drag(Widget list);

#endif /* QEV_CONTROLS_WUMLIST_H */
