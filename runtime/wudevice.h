/*
 * The display block: everything the module knows about its X display.  One
 * block serves the screen (`fsdev`, reached through `devb`); it is filled by
 * the toolkit start-up `wutinit` and emptied by `wutterm`.  Module-internal:
 * the host never sees it.
 */
#ifndef QEV_RUNTIME_WUDEVICE_H
#define QEV_RUNTIME_WUDEVICE_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <csetjmp>
#include <cstdint>

#include "qev/status.h"

/* Host image ids that have a slot in the per-size icon caches: 0 to 1024
   inclusive. */
#define WU_ICON_IDS 1025
#define WU_ICON_MAX_ID 1024
/* The three icon sizes of the caches, and their cache index. */
#define WU_ICON_SMALL 16
#define WU_ICON_MEDIUM 24
#define WU_ICON_LARGE 48
enum { WU_ICACHE_16 = 0, WU_ICACHE_24 = 1, WU_ICACHE_48 = 2, WU_ICACHES = 3 };

/* Display-manager colours 1 to 15 (slot 0 unused). */
#define WU_DM_COLOURS 16

/* Built-in cursors (wutgcsr). */
enum wu_cursor_id {
  WU_CURSOR_POINTER = 0,  /* plain arrow */
  WU_CURSOR_BUSY = 1,     /* watch: the module is busy */
  WU_CURSOR_TEXT = 2,     /* I-beam over text */
  WU_CURSOR_CROSS = 3,    /* cross hair: easel tracking */
  WU_CURSOR_HAND = 4,     /* pointing hand: links and drag sources */
  WU_CURSOR_MOVE = 5,     /* four-way arrow: moving */
  WU_CURSOR_HRESIZE = 6,  /* horizontal resize */
  WU_CURSOR_VRESIZE = 7,  /* vertical resize */
  WU_CURSORS = 8
};

/* Stipple bitmaps (depth 1), the shadows of one-bit displays and the grayed
   pictures. */
enum { WU_STIPPLE_25 = 0, WU_STIPPLE_50 = 1, WU_STIPPLE_75 = 2, WU_STIPPLES = 3 };

/* Colour sets of wuwgpmc. */
#define WU_CSET_DIALOG 3    /* command window, tool buttons, dialogs */
#define WU_CSET_COMMAND2 5  /* command window second set; the controls' class 5 */
#define WU_CSET_EDITOR 6    /* Tool Editor */

/* Text-layer (device) resources: fonts and colours of the host text. */
typedef struct wu_device_resources {
  String font;                     /* "font": the display font of host text */
  String bold_font;                /* "boldFont": highlighted host text */
  String foreground;               /* "foreground" */
  String background;               /* "background" */
  String cursor_colour;            /* "cursorColor": the text cursor */
  String red_foreground;           /* "redForegroundColor": entries in error */
  String dm_colour[WU_DM_COLOURS]; /* "dmColor1".."dmColor15" */
} wu_device_resources;

/* Application resources of the module itself. */
typedef struct wu_app_resources {
  String text_keys;                /* "textKeyTranslations": key bindings of text panes */
  String text_keys2;               /* "textKeyTranslations2": the vendor's extra keys */
  String control_translation;      /* "controlTranslation": lists inside controls */
  int batch_driver_mode;           /* "batchDriverMode": 0 off, 1 record, 2 replay */
  int multi_click_time;            /* "multiClickTime" in ms; 0 takes the display's */
} wu_app_resources;

/* Motif-layer resources. */
typedef struct wu_motif_resources {
  int wm_left_border;              /* "wmLeftBorderWidth" */
  int wm_top_border;               /* "wmTopBorderWidth" */
  int wm_bottom_border;            /* "wmBottomBorderWidth" */
  Boolean edit_toolbox_separators; /* "editToolBoxSeparators" */
  Boolean has_toolset;             /* "hasTOOLSET" */
  Boolean native_text_translations;/* "useNativeXmTextTranslations" */
  Boolean dialog_use_gadgets;      /* "dialogUseGadgets" */
  Boolean merged_toolbox;          /* "useMergedToolBox" */
  String popup_translation;        /* "popupTranslation" */
  String dialog_background;        /* "dialogBackground" (colour sets 3 and 6) */
  String dialog_foreground;        /* "dialogForeground" */
  String list_background;          /* "listBackground" (colour set 5) */
  String list_foreground;          /* "listForeground" */
  String dbcs_charset;             /* "dbcsCharSet": double-byte font character set */
  String mnemonic_charset;         /* "mnemonicCharSet" */
} wu_motif_resources;

/* Icon resources. */
typedef struct wu_icon_resources {
  String icon_foreground;          /* "iconForeground" */
  String icon_background;          /* "iconBackground" */
  String icon_select;              /* "iconSelectColor" */
} wu_icon_resources;

/* The user's preferences (the file QEVUSERPREFS holds "QEV.%s: %s" lines). */
typedef struct wu_preferences {
  Boolean use_toolbox_tips;        /* "useToolBoxTips" */
  int toolbox_tip_delay;           /* "toolBoxTipDelay" ms */
  Boolean toolbox_always_on_top;   /* "toolBoxAlwaysOnTop" */
  Boolean default_toolbox;         /* "defaultToolBox" */
  Boolean use_command_combo;       /* "useCommandToolBoxCombo" */
  Boolean auto_complete;           /* "autoComplete" */
  int commands_saved;              /* "commandsSaved" 0..50 */
  Boolean confirm_exit;            /* "confirmQEVExit" */
  Boolean pmenu_mnemonics;         /* "usePmenuMnemonics" */
  Boolean suppress_menu_icons;     /* "suppressMenuIcons" */
  Boolean pmenu_tear_offs;         /* "usePmenuTearOffs" */
  String menu_background;          /* "menuBackground" */
  String menu_foreground;          /* "menuForeground" */
  int cmd_x;                       /* "cmdX": saved command-window position */
  int cmd_y;                       /* "cmdY" */
  Boolean host_print;              /* "hostPrint" */
  Boolean toolbox_persistent;      /* "isToolBoxPersistent" */
  Boolean show_hide_decorations;   /* "useShowHideDecorations" */
} wu_preferences;

/* The icon colours handed to the icon store. */
typedef struct wu_icon_colours {
  Pixel foreground;
  Pixel background;
  Pixel select;
} wu_icon_colours;

/* A pixmap of the icon store, shared and reference-counted. */
typedef struct wu_icon_entry {
  int32_t number;     /* icon number asked (with its size offset) */
  int32_t depth;
  int32_t flag;
  int32_t refs;
  Pixmap pixmap;
  Pixmap mask;
  int32_t width;
  int32_t height;
} wu_icon_entry;

/* A reference-counted shared colour cell. */
typedef struct wu_colour_ref {
  Pixel pixel;
  int32_t refs;
} wu_colour_ref;

typedef struct wu_device {
  /* The connection. */
  XtAppContext app;
  Display *display;
  int screen;
  Visual *visual;
  int depth;
  Colormap colormap;
  Widget toplevel;                 /* the module's top-level application shell */
  char *display_name;              /* as opened (XtMalloc'd) */

  /* Fonts and text metrics. */
  XFontStruct *font;
  XFontStruct *bold_font;
  XmFontList font_list;            /* the display font for widgets */
  int32_t cell_width;              /* width of a character cell in pixels */
  int32_t cell_height;             /* height of a character cell in pixels */
  int32_t ascent;                  /* baseline offset inside a cell */
  int32_t char_width;              /* average character width controls size by */
  int32_t char_height;             /* character height controls size by */

  /* Colours. */
  Pixel foreground, background;
  Pixel cursor_colour, red_foreground;
  Pixel dm_pixel[WU_DM_COLOURS];
  uint16_t dm_rgb[WU_DM_COLOURS][3];
  wu_icon_colours icon_colours;
  wu_colour_ref *colour_refs;      /* shared cells allocated by wuglclr */
  int32_t colour_ref_count, colour_ref_size;

  /* Pixmaps and cursors. */
  Pixmap stipple[WU_STIPPLES];
  Cursor cursor[WU_CURSORS];
  Pixmap icon_cache[WU_ICACHES][WU_ICON_IDS]; /* wutgtpm: per size, by host image id */
  wu_icon_entry *icons;            /* the icon store (wutgpix) */
  int32_t icon_count, icon_size;

  /* Translations, parsed once. */
  XtTranslations text_keys;        /* first text-key table */
  XtTranslations text_keys2;       /* second text-key table */
  XtTranslations control_translation;
  XtTranslations popup_translation;

  /* Flag bytes. */
  uint8_t lost;                    /* the X connection broke: no more X calls */
  uint8_t errors_masked;           /* X protocol errors expected: do not report */
  uint8_t modal_requestor;         /* a modal requestor is up */
  uint8_t in_loop;                 /* an event loop of the module is turning */
  int32_t flags;                   /* WU_DEV_... bits (qev/flags.h) */

  /* Recovery point of the event loop, armed while the loop turns. */
  jmp_buf recovery;
  volatile int recovery_armed;

  /* X errors seen, for the module's own checks. */
  int32_t x_errors;
  int32_t last_error_code;
  int32_t last_request_code;

  /* Busy cursor nesting and the shells it covers. */
  int32_t busy_depth;
  Widget *shells;
  int32_t shell_count, shell_size;

  /* Autosave time-out. */
  XtIntervalId autosave_id;
  uint8_t autosave_on;
  int32_t autosave_interval;       /* minutes */

  /* Atoms. */
  Atom wm_protocols, wm_delete_window, wm_state;

  /* This session on the display (wutsess): its number, 1 for the first
     session, 0 when none was taken; the top-level shell's window names it. */
  int32_t session_number;

  /* The user's own images (ids 1025 on) the host carries, for one-bit and
     for colour screens. */
  int32_t user_icons_mono;
  int32_t user_icons_colour;

  /* Resources. */
  wu_device_resources devres;
  wu_app_resources appres;
  wu_motif_resources motifres;
  wu_icon_resources iconres;
  wu_preferences prefs;
} wu_device;

extern wu_device fsdev;    /* the screen's display block */
extern wu_device *devb;    /* points at fsdev while the toolkit is started, else null */

/* True when the module may talk to the X server. */
static inline bool wu_x_ok(void) { return devb && devb->display && !devb->lost; }

#endif /* QEV_RUNTIME_WUDEVICE_H */
