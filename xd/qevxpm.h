/*
 * XPM data made into pixmaps safely: every loader of XPM data that comes
 * from outside (the widget set's _XdLoadPixmap, the display module's host
 * images) checks the data here before Motif's XPM reader sees it, and makes
 * the pixmap here, so that data the reader would misread, or a picture the
 * X server will not hold, is answered "not loaded".
 */
#ifndef XD_QEVXPM_H
#define XD_QEVXPM_H

#include <X11/Intrinsic.h>
#include <Xm/XpmP.h>

#ifdef __cplusplus
extern "C" {
#endif

/* True when `xpm` is whole and well formed XPM data: the values line
   ("width height colours chars-per-pixel", then optionally the hot spot and
   "XPMEXT"), that many colour lines (each its characters, then key and value
   pairs) and that many pixel rows (each width times chars-per-pixel
   characters naming colours of the data).  The data's lines are read no
   further than the values line promises; a null pointer before that ends
   the data, as a line missing.  Sizes are bounded to what a pixmap can be
   (sides of 16 bits) and to a picture of at most 4,194,304 pixels. */
Boolean _XdXpmDataOk(char **xpm);

/* XmeXpmCreatePixmapFromData on checked data, with the X server's answer
   awaited.  Data that fails the check gives XpmFileInvalid, a protocol
   error of the making (a pixmap the server refused) XpmNoMemory, a
   reader's failure its status; nothing made is kept after a failure.  On success the attributes
   are the reader's (the caller frees them with XmeXpmFreeAttributes); on
   failure they hold nothing to free. */
int _XdXpmCreatePixmap(Display *dpy, Drawable d, char **xpm, Pixmap *pixmap, Pixmap *shape,
                       XpmAttributes *attributes);

#ifdef __cplusplus
}
#endif

#endif /* XD_QEVXPM_H */
