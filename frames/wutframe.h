/*
 * Frame services of the toolkit layer: the modal loop, message boxes, the
 * icon store, colour sets, the busy cursor and the display bell.
 */
#ifndef QEV_FRAMES_WUTFRAME_H
#define QEV_FRAMES_WUTFRAME_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <cstdint>

#include "qev/records.h"
#include "qev/status.h"
#include "runtime/wudevice.h"

/* Kinds of wumpmsg. */
#define WU_MSG_ERROR 1        /* error, OK button */
#define WU_MSG_INFO 2         /* information, OK button */
#define WU_MSG_WARNING 3      /* warning, OK button */
#define WU_MSG_QUESTION 4     /* Yes, No and Cancel */
/* Buttons of wumpmmg. */
#define WU_MSGB_OK 1          /* OK */
#define WU_MSGB_OKCANCEL 2    /* OK and Cancel */
#define WU_MSGB_YESNOCANCEL 4 /* Yes, No and Cancel */

/* Icon numbers of the icon store. */
#define WU_ICON_DEFAULT 1009  /* given for icon 0: the module's window icon */
#define WU_ICON_FALLBACK 1010 /* shown when an icon cannot be loaded */
#define WU_ICON_SET24 4096    /* icon number + this: the 24-pixel set */
#define WU_ICON_SET16 8192    /* icon number + this: the 16-pixel set */

/* One row of the icon category table: the category's name is host message
   (WU_ICON_CATEGORY_SET, message); its icons end with 0.  The table ends
   with a row whose message is 0. */
#define WU_ICON_CATEGORY_SET 542
typedef struct wu_icon_category {
  int32_t message;
  const int32_t *icons;
} wu_icon_category;

/* A colour set (wuwgpmc). */
typedef struct wu_colour_set {
  Pixel background;
  Pixel foreground;
  Pixel top_shadow;
  Pixel bottom_shadow;
} wu_colour_set;

extern "C" {

/* Turns the event loop until `w` is unmanaged (block 1), or only what is
   pending (block 0).  A wait answers WU_OK when `w` was unmanaged and
   WU_CANCELLED when it ended otherwise (see wumwait). */
wu_status wumdevt(Widget w, int32_t block);
/* The modal wait every dialog and popup of the module uses: turns the event
   loop while `w` is managed.  It ends, answering WU_CANCELLED, when `w` is
   destroyed, when `holder` (a registered window, control or other object;
   may be null) is released, when the display is lost or when a shut-down is
   asked for; WU_OK when `w` was unmanaged (answered).  `destroyed` (may be
   null) is set when `w` no longer exists: the caller must not touch it. */
wu_status wumwait(Widget w, const void *holder, int32_t *destroyed);
/* wumwait for a dialog that answers without being unmanaged: the wait also
   ends, answering WU_OK, once `*answer` (may be null) no longer equals
   `waiting`. */
wu_status wumwans(Widget w, const void *holder, const int32_t *answer, int32_t waiting,
                  int32_t *destroyed);
/* Waits on a dialog as wumwait does, then destroys its shell if it still
   stands; the dialog's callbacks cannot run after this returns. */
wu_status wumwdlg(Widget dialog, const void *holder);
/* Lets Motif forget the text drawing state it keeps for every window of a
   widget tree (popups included) that is about to be destroyed, and the
   translations it filed for each of its widgets; Motif keeps both for the
   life of the process otherwise. */
void wumdxft(Widget root);
/* The text drawing state of one widget's window only: given back after
   each drawing, Motif's store stays as short as the windows being drawn
   (it is searched from its start at every drawing), and holds nothing of
   the widget when it goes. */
void wumdxfw(Widget w);
/* The translations Motif filed for a label (or a class made on it) while
   making it, forgotten: only the making used them.  Given back as soon as
   the label is made, they do not lengthen the toolkit's look-ups in the
   meantime. */
void wumdxlt(Widget w);
int32_t wumpmsg(Widget parent, const char *text, int32_t kind, int32_t zero);
/* wumpmsg for a box that serves `holder` (a registered window, control or
   record): it answers Cancel, without waiting, once the holder is released. */
int32_t wumpmsh(Widget parent, const void *holder, const char *text, int32_t kind);
int32_t wumpmmg(Widget parent, int32_t set, int32_t number, int32_t buttons, const char *title);
/* wumpmmg for a box that serves `holder`, as wumpmsh. */
int32_t wumpmmh(Widget parent, const void *holder, int32_t set, int32_t number, int32_t buttons,
                const char *title);
XmString wumlstr(int32_t set, int32_t number);

wu_status wutgpix(int32_t icon, const wu_icon_colours *colours, int32_t depth, int32_t flag,
                  Pixmap *pixmap_out, int32_t *width_out, int32_t *height_out);
wu_status wutlpix(int32_t icon, const wu_icon_colours *colours, int32_t depth, int32_t flag,
                  Pixmap *pixmap_out, Pixmap *mask_out, int32_t *width_out, int32_t *height_out);
wu_status wutfpix(Pixmap pixmap);
/* Frees a pixmap the module made, with the entry Motif keeps for every
   pixmap a label has shown (a plain XFreePixmap leaves that entry behind
   for the life of the process). */
void wumfpxm(Pixmap pixmap);
wu_status wutgwic(int32_t icon, Pixmap *pixmap_out, int32_t *depth_out);
Pixmap wuthpmp(Pixmap pixmap, int32_t mode);
/* Keeps a store pixmap for the life of the display connection: the store
   takes one reference of its own (once), given back when it is emptied at
   shut-down.  WU_NOTAVAIL for a pixmap the store does not hold. */
wu_status wutkpix(Pixmap pixmap);
/* References held on a store pixmap (0 when the store does not know it). */
int32_t wutrpix(Pixmap pixmap);
void wutfist(void);                  /* empties the icon store at shut-down */
/* The icon category table of the image store. */
const wu_icon_category *wutgcat(void);
/* Number of the user's own images (1025 on) for the display: the
   monochrome count on one-bit screens, else the colour count. */
int32_t wutuicn(void);
void wutfcst(void);                  /* forgets the colour sets at shut-down */

wu_status wuwgpmc(wu_window *window, int32_t set, wu_colour_set *result);
int32_t wuwspmc(const wu_colour_set *colours, Arg *args, int32_t count);

/* Busy cursor over every shell of the module; calls nest. */
wu_status wutsbsy(int32_t on);
wu_status wutgwms(Widget w, int32_t *state_out);

/* Display bell and output flush. */
void wutalrm(void);
void wutflsh(int32_t mode);

}  // extern "C"

#endif /* QEV_FRAMES_WUTFRAME_H */
