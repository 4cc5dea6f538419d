/*
 * Shared between the drop-site files of the frames layer: the site of a
 * widget, its (re)registration with Motif, its lists, and the drag start.
 */
#ifndef QEV_FRAMES_WUDNDP_H
#define QEV_FRAMES_WUDNDP_H

#include "frames/wuframes.h"

/* The site record of a widget, or null. */
wu_dnd_site *wu_dnd_find(Widget w);
/* Registers the site with Motif for its formats, operations and drop
   procedure, or updates the registration; false when Motif refused it. */
bool wu_dnd_register(wu_dnd_site *site);
/* Frees every list the site keeps (formats, types, items, drop menu, the
   last drop's data). */
void wu_dnd_free_lists(wu_dnd_site *site);
/* Starts a Motif drag from the widget for a button event; true when Motif
   took it.  The drag offers the widget's site types (or plain text). */
bool wu_dnd_start(Widget w, XEvent *event);
/* Empties a list of texts. */
void wu_dnd_list_clear(wu_dnd_list *list);

#endif /* QEV_FRAMES_WUDNDP_H */
