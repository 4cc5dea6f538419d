/*
 * The two compound controls the module assembles from Motif parts: the
 * combo box (a text, a drop-down arrow and a popup list) and the spin box (a
 * text and two arrows).  Each record serves twice: as the catalogue control
 * of a host-built dialog (a control of a pane) and as a builder record that
 * the module's own dialogs fill and hand to the builder under a form of
 * their own.  A builder record stays entered in the registry (WU_REG_COMBO)
 * while its widgets live.
 */
#ifndef QEV_CONTROLS_WUCOMBO_H
#define QEV_CONTROLS_WUCOMBO_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <stdint.h>

#include "controls/wucontrol.h"

extern "C" {

/* Styles of the combo box. */
#define WU_COMBO_DROPDOWN 20   /* the text cannot be edited */
#define WU_COMBO_EDITABLE 21

#define WU_COMBO_MAX_CHARS 200  /* maximum characters when none is set */
#define WU_COMBO_ITEM_MAX 256   /* bytes kept of a host item or text */
#define WU_SPIN_TEXT_MAX 200    /* bytes a spin box text may hold */
#define WU_SPIN_UNIT_LEN 20     /* unit text buffer, the NUL included */

/* The combo box record (kind 29, allocated as an older list box). */
typedef struct wu_combo {
  wu_control c;
  wu_ctl_widgets w;            /* main: the text; outer: the form */
  wu_item_store store;         /* the items of a control in a pane */
  uint32_t max_chars;          /* 0: WU_COMBO_MAX_CHARS */
  uint32_t style;              /* WU_COMBO_DROPDOWN or WU_COMBO_EDITABLE */
  int32_t selected;            /* 1-based, 0 none */
  wu_str_item *query_items;    /* items handed out by the last items query */
  int32_t query_count;
  char *text;                  /* initial text, then the text last put in */
  uint32_t allow_new;          /* allowNewItems, reported only */
  uint32_t error_on;           /* text in the error colour */
  uint32_t cursor;             /* 0-based insertion position */
  uint32_t popup_xlate;        /* the display's popup translation on text and arrow */
  uint32_t unique;             /* Return moves an equal item to the top */
  XFontStruct *xfont;          /* rows of the popup list (0: the display font) */
  Widget built;                /* the list, once the control was built */
  Widget form;                 /* "ComboForm" */
  Widget list_copy;            /* the list and its scroll bars */
  Widget hbar;
  Widget vbar;
  int32_t item_count;          /* items given to the list at the build */
  XmString *items;
  Widget arrow;                /* "ComboArrow" */
  Widget shell;                /* "ListShell" */
  Widget list;                 /* "ComboList" */
  Widget text_w;               /* "ComboText" */
  uint8_t shown;               /* the list is posted */
  uint8_t in_selection;        /* a list selection is being handled */
  uint32_t popup_width;        /* 0: the text's and arrow's width */
  uint8_t first_field;         /* show items only up to their first ';' */
  uint8_t icon_list;           /* an icon list instead of a Motif list */
  /* The control's own state. */
  int32_t word_a;              /* caller word of the creator */
  int32_t lbx_word;            /* list-box word of the creator */
  void *host_font;             /* host font record last given to `font` */
  XmFontList own_font;         /* font list made from it */
  int32_t key_sent;            /* an event of the current text change was sent */
  uint32_t saved_mask;         /* event mask while a host set runs */
} wu_combo;
static_assert(sizeof(wu_combo) <= WU_CTL_LARGE_SIZE, "combo box fits its record kind");

/* The spin box record (kind 35). */
typedef struct wu_spin {
  wu_control c;
  wu_ctl_widgets w;            /* main: the text (the form without one); outer: the form */
  float maximum, minimum, increment, initial, current;
  char unit[WU_SPIN_UNIT_LEN]; /* shown after the number when not empty */
  int32_t selected;            /* 1-based item (list mode) */
  uint32_t numeric;            /* 1 numeric mode, 0 list mode */
  uint32_t read_only;
  uint32_t input_area;         /* the text field exists */
  uint32_t vertical;           /* 1: up above down; else right and left */
  uint32_t error_on;
  char **items;                /* terminated item texts (XtMalloc) */
  int32_t item_count;
  uint32_t host_driven;        /* a catalogue control */
  char *pending;               /* text waiting to be shown, or the last queried */
  uint32_t longest;            /* bytes of the longest item */
  uint32_t cursor;             /* 0-based insertion position */
  Widget form;                 /* "sbox_form" */
  Widget form2;
  Widget arrow1;
  Widget arrow2;
  Widget text_w;               /* "TextField" */
  /* The control's own state. */
  int32_t word_a;
  void *host_font;
  XmFontList own_font;
  char *step_text[2];          /* text parameters of the last increment and decrement */
  uint32_t in_update;          /* the module is putting a text in */
} wu_spin;
static_assert(sizeof(wu_spin) <= WU_CTL_LARGE_SIZE, "spin box fits its record kind");

/* ---- combo box (wumcbox) ---------------------------------------------- */

wu_status wutgcbo(Widget parent, wu_combo *cb);
void PopDownComboList(wu_combo *cb);
void UpdateText(wu_combo *cb);
void SizePopupList(wu_combo *cb);
/* A copy (XtMalloc) of a text up to its first ';' or its end. */
char *GetFirstField(const char *text);
void wumcba1(Widget w, XEvent *event, String *params, Cardinal *count);
void wumcba2(Widget w, XEvent *event, String *params, Cardinal *count);
wu_status wuxicbx(wu_pane *pane, wu_control **out, int32_t word_a, int32_t style, int32_t x,
                  int32_t y, int32_t width_chars, int32_t max_chars, int32_t lbx_word,
                  const wu_str_item *items, int32_t count);
wu_status wuticbo(wu_control *c);
wu_status wumswcb(wu_control *c, wu_value *entries, int32_t count);
wu_status wu_create_cmb(wu_pane *pane, wu_control **out);

/* ---- spin box (wumsbox) ----------------------------------------------- */

wu_status wutgsbx(Widget parent, wu_spin *sb);
wu_status wuxcsbx(wu_spin *sb);
wu_status wuwtxtf(wu_spin *sb);
wu_status wuxarrw(wu_spin *sb);
void ProcessArrow(wu_spin *sb, int32_t direction);
void UpdateSpinBox(wu_spin *sb);
wu_status wuxgsbx(wu_pane *pane, wu_control **out, int32_t word_a, int32_t x, int32_t y,
                  int32_t width);
wu_status wutisbx(wu_control *c);
wu_status wu_create_spn(wu_pane *pane, wu_control **out);
/* The one-pixel focus frame of a compound control's form (and of a push
   button): drawn on focus in, cleared on focus out. */
void wuwsbfo(Widget w, XtPointer client, XEvent *event, Boolean *go_on);
void wuwpbfo(Widget w, XtPointer client, XEvent *event, Boolean *go_on);

}  // extern "C"

#endif /* QEV_CONTROLS_WUCOMBO_H */
