/*
 * Window frames: host windows as their own shells or inside the
 * application workspace, their layout, focus and window-manager
 * interaction; the pane scroll bars and older bars; the drop sites of
 * controls.
 */
#ifndef QEV_FRAMES_WUFRAMES_H
#define QEV_FRAMES_WUFRAMES_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <stdint.h>

#include "qev/records.h"
#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- windows and workspace (wumwind, wumaws, wutwind) -------------------- */

/* Builds the frame of a realised window: the outer widget (its own
   top-level shell, or a frame in the application workspace), the main
   window, the work form and the pane form.  0 or WU_NOTAVAIL. */
wu_status wutwfrm(wu_window *window);
/* The application workspace of a session (made on first use): the form
   that holds the windows of mode 1.  Null without a display. */
Widget wumaws(wu_session *session);
/* Destroys the window's frame widgets. */
void wutdfrm(wu_window *window);
wu_status wutcnfg(wu_window *window);
wu_status wuwmwsa(wu_window *window);
wu_status wuwswsl(wu_window *window);
void wuwrent(Widget w, XtPointer client, XEvent *event, Boolean *go_on);
wu_status wuwFocusToQevinput(wu_window *window);

/* ---- the start-up logo (wumlogo) ------------------------------------------ */

/* Name of the start-up logo's shell (a popup of the display's top level). */
#define WU_LOGO_SHELL "qevLogo"
/* (0, 0): removes the start-up logo when it shows; always 0. */
wu_status wumrlgo(int32_t zero1, int32_t zero2);

/* ---- scroll bars (wucsbar, wumsbar) ---------------------------------------- */

/* An older stand-alone bar or pane scroll bar (record kinds 2, 3, 17, 18,
   20, 21): the common control part, then the bar's own fields. */
typedef struct wu_bar {
  wu_control common;
  Widget widget;              /* the QEVSbar, or null */
  int32_t *minimum_ref;       /* the host's range words, or the record's own */
  int32_t *maximum_ref;
  int32_t *value_ref;
  int32_t minimum;            /* own range words */
  int32_t maximum;
  int32_t value;
  int32_t orientation;        /* 0 horizontal, 1 vertical */
  int32_t row;                /* cell position and length */
  int32_t column;
  int32_t length;
  uint32_t bar_flags;         /* WU_BAR_... */
  double small_amount;        /* arrow step */
  int32_t large_amount;       /* page step and slider size */
} wu_bar;
static_assert(sizeof(wu_bar) <= WU_CTL_BAR_SIZE, "a bar fits its record kind");

/* Host scroll codes of wuwsbrc. */
#define WU_SCROLL_DECREMENT 1
#define WU_SCROLL_INCREMENT 2
#define WU_SCROLL_PAGE_DECREMENT 3
#define WU_SCROLL_PAGE_INCREMENT 4
#define WU_SCROLL_TO_TOP 5
#define WU_SCROLL_TO_BOTTOM 6
#define WU_SCROLL_VALUE_CHANGED 7
#define WU_SCROLL_DRAG 8
/* The control event a scroll hands to the event procedure; its two
   parameters are the scroll code (WU_VT_INT) and the new value (WU_VT_DOUBLE,
   as the catalogue defines it). */
#define WU_CTLEV_SCROLL 13
#define WU_PARAM_SCROLL_CODE 1
#define WU_PARAM_SCROLL_VALUE 2

/* The host scroll code of a Motif scroll-bar callback reason; 0 for a
   reason that is not a scroll. */
int32_t wutsbcd(int reason);
void wuwsbrc(Widget w, XtPointer client, XtPointer call);
void wuwsbds(Widget w, XtPointer client, XtPointer call);
wu_status wutisbr(wu_window *window, wu_pane *pane, wu_bar *bar);
wu_status wutiscl(wu_window *window, wu_pane *pane, wu_bar *bar);
wu_status wuxgbar(wu_pane *pane, wu_bar **bar_out, int32_t orientation, int32_t zero1,
                  int32_t zero2, int32_t *minimum, int32_t *maximum, int32_t *value,
                  int32_t row, int32_t column, int32_t length, uint32_t flags, int32_t zero3);

/* ---- drag and drop (wucdnd, wumdnd) ---------------------------------------- */

/* The module's drag-and-drop targets: plain text, text with the host's
   attributes, file names, and the module's own record form.  A site that
   names no formats accepts all four. */
#define WU_DND_TARGET_TEXT "_DND_TEXT"
#define WU_DND_TARGET_QEVTEXT "_DND_QEVTEXT"
#define WU_DND_TARGET_FILE "_DND_FILE"
#define WU_DND_TARGET_QEV "_QEV"

/* Codes of the drop-site attributes that wuxsdnd sets and wuxqdnd queries,
   with the value type each entry carries. */
#define WU_DND_A_FORMATS 1     /* string list: targets the site accepts on a drop */
#define WU_DND_A_TYPES 2       /* string list: targets the site offers when dragged */
#define WU_DND_A_ITEMS 3       /* string list: the data of each offered type, in order */
#define WU_DND_A_MENU 4        /* string list: items of the site's drop menu */
#define WU_DND_A_OWNER 5       /* word (pointer field): the owner, a control's handle */
#define WU_DND_A_KIND 6        /* integer: the owner's kind (6 a control) */

/* One item of a string list in a value entry (12 bytes on a 32-bit host). */
typedef struct wu_dnd_text {
  int32_t length;
  int32_t reserved;
  char *text;
} wu_dnd_text;

/* A list of texts that a site keeps (XtMalloc'd). */
typedef struct wu_dnd_list {
  int32_t count;
  char **texts;               /* NUL-terminated copies */
  int32_t *lengths;
} wu_dnd_list;

/* Where wuwsdnd starts a drag: the pointer's position on the root window
   and in the widget. */
typedef struct wu_drag_desc {
  int32_t root_x;
  int32_t root_y;
  int32_t x;
  int32_t y;
} wu_drag_desc;

/* A control drop site (XtMalloc'd; one per widget). */
typedef void (*wu_drop_proc)(Widget w, XtPointer client, XtPointer call);
typedef struct wu_dnd_site {
  struct wu_dnd_site *next;   /* the module's list of sites */
  Widget widget;
  wu_window *window;
  int32_t kind;               /* owner kind (6: a control) */
  void *owner;                /* the control's handle */
  Atom *formats;              /* accepted targets (XtMalloc'd) */
  int32_t format_count;
  unsigned char operations;   /* XmDROP_COPY | XmDROP_MOVE | XmDROP_LINK */
  uint8_t enabled;
  uint8_t registered;         /* registered with Motif */
  uint8_t drag_handler;       /* the drag-start handler is on the widget */
  wu_drop_proc drop_proc;
  /* the last drop: its cell and data (XtMalloc'd) */
  int32_t drop_row;
  int32_t drop_column;
  char *data;
  int32_t data_length;
  /* what a drag from the site offers: the types and their data */
  Atom *types;
  int32_t type_count;
  wu_dnd_list items;
  wu_dnd_list menu;           /* the drop menu's items */
} wu_dnd_site;

wu_dnd_site *wumrdnd(Widget w);
wu_status wumudnd(Widget w);
wu_dnd_site *wumldnd(Widget w, int32_t enabled_only);
wu_status wumsdnd(wu_dnd_site *site);
wu_status wuwidrg(Widget w, wu_dnd_site *site);
wu_status wuwddrg(Widget w);
void wuwhdrp(Widget w, XtPointer client, XtPointer call);
/* The nearest ancestor of a widget that is a simple drop site, or null:
   Motif takes no drop site inside one. */
Widget wu_dnd_simple_site_above(Widget w);
wu_status wuxudnd(wu_dnd_site *site);
/* Set and query drop-site attributes (WU_DND_A_...).  Lists handed out by
   wuxqdnd are copies in the module pool (entry status WU_ALLOCATED) that
   wuxfdnd gives back. */
wu_status wuxsdnd(wu_dnd_site *site, wu_value *entries, int32_t count);
wu_status wuxqdnd(wu_dnd_site *site, wu_value *entries, int32_t count);
wu_status wuxfdnd(wu_value *items, int32_t count, uint32_t flags);
/* Control services slot 15: gives back handed-out lists.  The handle is not
   used; the other three arguments are wuxfdnd's entries, count and flags,
   the last two passed by value in the slot's pointer-sized words. */
wu_status wutfdnd(wu_ctl_handle *handle, void *items, void *count, void *flags);
/* Starts a drag from the widget at the position of `desc`; *started is 1
   when Motif took it. */
wu_status wuwsdnd(Widget w, int32_t zero, const wu_drag_desc *desc, int32_t *started);

#ifdef __cplusplus
}
#endif

#endif /* QEV_FRAMES_WUFRAMES_H */
