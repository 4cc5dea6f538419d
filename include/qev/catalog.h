/*
 * The controls catalogue: the exported data tables that tell the host which
 * control kinds host-built dialogs may place, and per kind its attributes,
 * methods and events with their codes, value types, parameters and the
 * enumerated values of attributes.
 *
 * The host reads the tables by their symbols (and through the control map),
 * so every row layout below is fixed: 32-bit words in the field order given,
 * pointers native.  A string field is a pointer plus a length word; the text
 * is also NUL-terminated and the length excludes the NUL.  Every displayable
 * text is a message key of the host's message set WU_CAT_MSGSET.
 */
#ifndef QEV_CATALOG_H
#define QEV_CATALOG_H

#include <stdint.h>

#include "qev/status.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Message set of every catalogue text. */
#define WU_CAT_MSGSET 613

/* Control type codes (rows 0-13 of `controls`, in this order). */
#define WU_CTYPE_MULTILINE   0   /* multi-line entry */
#define WU_CTYPE_ENTRY       1   /* entry field */
#define WU_CTYPE_LABEL       2
#define WU_CTYPE_COMBO       3   /* combo box */
#define WU_CTYPE_LISTVIEW    4
#define WU_CTYPE_SPIN        5   /* spin box */
#define WU_CTYPE_TREEVIEW    6
#define WU_CTYPE_PUSH        7   /* push button */
#define WU_CTYPE_SCROLL      8   /* scroll bar */
#define WU_CTYPE_CHECK       9   /* check box */
#define WU_CTYPE_LISTBOX     10
#define WU_CTYPE_RADIO       11  /* radio box */
#define WU_CTYPE_DESKICON    12  /* desktop icon */
#define WU_CTYPE_PROGRESS    13  /* progress bar */
#define WU_CTYPE_KINDS       14  /* module kinds: types 0 .. WU_CTYPE_KINDS-1 */
/* Extension types of the host (rows 14-18); the host answers for them and
   for every type from WU_CTYPE_HOST_FIRST on. */
#define WU_CTYPE_HOST_FIRST  0x2000
#define WU_CTYPE_HOST_1      0x2001
#define WU_CTYPE_HOST_2      0x2002
#define WU_CTYPE_HOST_3      0x2003
#define WU_CTYPE_HOST_5      0x2005
#define WU_CTYPE_HOST_6      0x2006
#define WU_CAT_TYPE_ROWS     19  /* rows of `controls` */

/* Value types of attribute and parameter rows and of value entries. */
#define WU_VT_CHAR       0   /* a character in the value word */
#define WU_VT_DOUBLE     5   /* a double in the value word and the one after it */
#define WU_VT_FUNCTION   8   /* a function of the host (sort format, search callback) */
#define WU_VT_INT        9   /* a signed integer in the value word */
#define WU_VT_INTLIST    10  /* integers: count in the value word, items at the pointer */
#define WU_VT_NUMBER     12  /* a signed integer (progress-bar numbers) */
#define WU_VT_BLOCK      13  /* a block at the pointer */
#define WU_VT_WORD       15  /* a colour (value points to red, green, blue u16) or an opaque word */
#define WU_VT_IDLIST     16  /* ids at the pointer, count in the value word */
#define WU_VT_BOOL       18  /* a boolean in the low 16 bits of the value word */
#define WU_VT_FLAGLIST   20  /* flags at the pointer, count in the value word */
#define WU_VT_STRLIST    23  /* strings: count in the value word, 12-byte items at the pointer */
#define WU_VT_STRING     24  /* a string: length in the value word, text at the pointer */
#define WU_VT_NODE       26  /* a tree node reference */
#define WU_VT_STRTABLE   27  /* rows x columns of 12-byte string items */
#define WU_VT_SELECTIONS 28  /* a block at the pointer (tree view selections) */
#define WU_VT_DROP       29  /* a drop description (tree view drag and drop) */
#define WU_VT_FONT       30  /* a host font record */
#define WU_VT_CONTROL    31  /* a reference to another control */

/* Access letters of attribute rows (low byte of the access word). */
#define WU_CAT_GET    'G'    /* read only */
#define WU_CAT_SET    'S'    /* settable at any time */
#define WU_CAT_CREATE 'C'    /* given at creation */

/* Directions of parameter rows. */
#define WU_CAT_IN     'I'
#define WU_CAT_OUT    'O'
#define WU_CAT_INOUT  'B'    /* read and written */

/* Attribute codes. */
#define WU_A_ENABLED             0
#define WU_A_HSCROLLBAR          11
#define WU_A_VSCROLLBAR          12
#define WU_A_ITEMS               24   /* list of strings */
#define WU_A_USERDATA            26
#define WU_A_ROWS                35
#define WU_A_COLUMNS             36
#define WU_A_HPOS                37   /* horizontalPosition */
#define WU_A_VPOS                38   /* verticalPosition */
#define WU_A_WIDTH               39
#define WU_A_HEIGHT              40
#define WU_A_FOREGROUND          41   /* labelColor, textColor */
#define WU_A_TEXT                43   /* label, text, selectedItem */
#define WU_A_TITLE               44   /* title, borderTitle */
#define WU_A_ICON                45
#define WU_A_HELPTEXT            48
#define WU_A_LINES               55   /* text of the multi-line entry */
#define WU_A_BACKGROUND          56
#define WU_A_UPPERCASE           57
#define WU_A_MASKCHAR            58
#define WU_A_SELECTEDINDEX       60
#define WU_A_VISIBLE             61
#define WU_A_COMBOSTYLE          62
#define WU_A_VALUE               64
#define WU_A_MINIMUM             65
#define WU_A_MAXIMUM             66
#define WU_A_INCREMENT           67   /* increment, smallScrollAmount */
#define WU_A_JUSTIFICATION       68
#define WU_A_MINCHAR             69
#define WU_A_MAXCHARS            70
#define WU_A_CLASSTYPE           71   /* controlClassType */
#define WU_A_MINROWS             72   /* minimumRows, displayRows */
#define WU_A_ALLOWNEW            73
#define WU_A_ERRORON             74
#define WU_A_TOOLTIP             75
#define WU_A_NUMKEYS             77   /* numKeys, dataSource */
#define WU_A_EDITABLE            78
#define WU_A_BORDERSTYLE         79
#define WU_A_TOPROW              80
#define WU_A_RESIZABLE           81
#define WU_A_SELECTIONMODE       82
#define WU_A_SELECTEDINDEXES     83   /* selectedIndexes, selections */
#define WU_A_SELECTEDITEMS       85
#define WU_A_NODES               86   /* items of the tree view */
#define WU_A_SELECTEDNODE        88
#define WU_A_ORIENTATION         90
#define WU_A_FONT                92
#define WU_A_EVENTS              93
#define WU_A_TITLEHEIGHT         96
#define WU_A_COMPANION           97   /* mnemonicCompanion, inputArea */
#define WU_A_SELECTED            100
#define WU_A_SCALEON             101
#define WU_A_STYLE               102  /* buttonStyle, barStyle */
#define WU_A_KEYCOMMANDS         103
#define WU_A_SELECTEDCOUNT       104
#define WU_A_VIEWTYPE            105
#define WU_A_CONTROLID           106  /* understood by every control, in no table */
#define WU_A_LARGESCROLL         107
#define WU_A_CLICKONLY           112  /* understood by every control, in no table */
#define WU_A_ICONSTYLE           113
#define WU_A_AUTOEXPAND          116
#define WU_A_CONFORMSIZE         118
#define WU_A_DEFAULTBUTTON       119
#define WU_A_CURSORPOS           121
#define WU_A_ROWPOS              122
#define WU_A_VIRTUALKEYS         123
#define WU_A_TEXTORIENT          124
#define WU_A_EVENTPROC           126  /* understood by every control, in no table */
#define WU_A_ICONSCOLUMN         127
#define WU_A_SHOWPERCENT         129

/* Event codes. */
#define WU_EV_SELECT         1    /* select, click */
#define WU_EV_KEY            2
#define WU_EV_RETURNKEY      3
#define WU_EV_EXPAND         4
#define WU_EV_POPUP          5
#define WU_EV_RESIZE         6
#define WU_EV_COLLAPSE       7
#define WU_EV_FREE           8
#define WU_EV_DOUBLECLICK    9
#define WU_EV_INCREMENT      11
#define WU_EV_DECREMENT      12
#define WU_EV_SCROLL         13
#define WU_EV_COLUMNCLICK    14
#define WU_EV_KEYCOMMAND     15
#define WU_EV_CLICKONLY      16   /* click-only press; in no table */
#define WU_EV_DELETENODE     19
#define WU_EV_BEGINEDIT      20
#define WU_EV_ENDEDIT        21
#define WU_EV_CONFORMSIZE    22
#define WU_EV_CLICK          27   /* click of the text kinds */
#define WU_EV_PREVIRTUALKEY  29
#define WU_EV_VALUECHANGED   31
#define WU_EV_BACKSPACE      28   /* delete request by BackSpace (list view, tree view); in no table */

/* Method codes (names differ between kinds for some codes). */
#define WU_M_ADD             1    /* _add, _addItems, _addRows */
#define WU_M_DELETE          2    /* _delete, _deleteRows */
#define WU_M_DELETEALL       3
#define WU_M_ADDCOLUMN       4
#define WU_M_ADDINPUTTEXT    5    /* _addInputAreaText */
#define WU_M_ADDNODES        6
#define WU_M_DELETENODE      7    /* _delete of the tree view */
#define WU_M_SHOWPOPUP       8    /* every kind; run by the common method entry */
#define WU_M_FINDEXACT       11
#define WU_M_GETMARK         12
#define WU_M_SETMARK         13
#define WU_M_CLEARMARK       14
#define WU_M_FIND            15
#define WU_M_SELECTALL       19
#define WU_M_DELETECOLUMN    20
#define WU_M_DELETECHILDREN  21
#define WU_M_TREEFIND        22   /* _find of the tree view */
#define WU_M_GETPARENT       23
#define WU_M_EXPAND          24
#define WU_M_COLLAPSE        25
#define WU_M_DNDNODE         26
#define WU_M_UPDATE          27
#define WU_M_GETCHILD        28
#define WU_M_GETNEXT         29
#define WU_M_GETPREVIOUS     30
#define WU_M_SETCURSORPOS    31
#define WU_M_DESELECT        32
#define WU_M_DESELECTALL     33
#define WU_M_ISSELECTED      34
#define WU_M_GETTEXT         35
#define WU_M_TREEFINDEXACT   38   /* _findExact of the tree view */
#define WU_M_GETCOLUMN       39
#define WU_M_SETCOLUMN       40
#define WU_M_UPDATENODE      41
#define WU_M_UPDATEROWS      42
#define WU_M_EDITNODE        43
#define WU_M_GETITEM         44
#define WU_M_EDITITEM        45
#define WU_M_SELECTNODE      46
#define WU_M_GETNODE         47
#define WU_M_STEP            48
#define WU_M_STEPDELTA       49

/* Number of parameters of `_showPopup` (rows of `pstmenu`). */
#define WU_CAT_POPUP_PARMS 6

/* Message key (16 bytes). */
typedef struct wu_cat_msgkey {
  int32_t set;            /* always WU_CAT_MSGSET */
  int32_t number;
  int32_t reserved[2];    /* zero */
} wu_cat_msgkey;

/* Row of the type table `controls` (40 bytes). */
typedef struct wu_cat_type {
  int32_t type;           /* control type code */
  wu_cat_msgkey name;     /* display name of the type */
  int32_t one;            /* always 1 */
  int32_t reserved[4];    /* zero */
} wu_cat_type;

/* Enumeration row (20 bytes): one named value of an attribute. */
typedef struct wu_cat_enum {
  wu_cat_msgkey name;
  int32_t value;
} wu_cat_enum;

/* Attribute row (44 bytes). */
typedef struct wu_cat_attr {
  wu_cat_msgkey desc;
  int32_t code;
  int32_t vtype;             /* WU_VT_* */
  int32_t access;            /* WU_CAT_GET, WU_CAT_SET or WU_CAT_CREATE */
  const char *name;
  int32_t name_len;
  const wu_cat_enum *enums;  /* named values, or null */
  int32_t enum_count;        /* 0 when none */
} wu_cat_attr;

/* Parameter row (24 bytes). */
typedef struct wu_cat_parm {
  int32_t dir;               /* WU_CAT_IN, WU_CAT_OUT or WU_CAT_INOUT */
  int32_t vtype;
  const char *name;
  int32_t name_len;
  const char *desc;
  int32_t desc_len;
} wu_cat_parm;

/* Method row and event row (60 bytes, the same form). */
typedef struct wu_cat_method {
  wu_cat_msgkey desc;
  int32_t code;
  const wu_cat_parm *parms;  /* or null */
  int32_t parm_count;
  wu_cat_parm result;        /* always out, WU_VT_INT, no name or description */
  const char *name;
  int32_t name_len;
} wu_cat_method;
typedef wu_cat_method wu_cat_event;

/* Control map (44 bytes), handed out by the map service. */
typedef struct wu_cat_map {
  const wu_cat_type *type;   /* the type's row of `controls` */
  const wu_cat_attr *attrs;
  int32_t attr_count;
  const wu_cat_method *methods;
  int32_t method_count;
  const wu_cat_event *events;
  int32_t event_count;
  int32_t width;             /* default size in pixels */
  int32_t height;
  int32_t reserved[2];       /* zero */
} wu_cat_map;

/* A module kind's tables with their row counts (not shared with the host). */
typedef struct wu_cat_kind {
  const wu_cat_type *type;
  const wu_cat_attr *attrs;
  int32_t attr_count;
  const wu_cat_method *methods;
  int32_t method_count;
  const wu_cat_event *events;
  int32_t event_count;
} wu_cat_kind;

/* The kind of a type code 0 .. WU_CTYPE_KINDS-1, or null for any other. */
const wu_cat_kind *wu_cat_kind_for_type(int32_t type);

/* Default size in pixels of a new control of a module kind, from the average
   character width `cw` and the system font height `fh`.  `vertical` is 1
   when the first value entry of the map request carries 1 (0 when there is
   none); it turns a scroll bar or progress bar upright.  WU_NOTAVAIL for a type outside
   0 .. WU_CTYPE_KINDS-1 (nothing stored). */
wu_status wu_cat_default_size(int32_t type, int32_t cw, int32_t fh,
                              int32_t vertical, int32_t *width, int32_t *height);

/* The type table. */
extern const wu_cat_type controls[WU_CAT_TYPE_ROWS];

/* Parameters of `_showPopup`, shared by every kind. */
extern const wu_cat_parm pstmenu[WU_CAT_POPUP_PARMS];

/* Enumerations of attribute values. */
extern const wu_cat_enum boolenum[2];
extern const wu_cat_enum comboenum[2];
extern const wu_cat_enum justenum[3];
extern const wu_cat_enum viewenum[4];
extern const wu_cat_enum iconenum[2];
extern const wu_cat_enum styleenum[2];
extern const wu_cat_enum orientenum[2];
extern const wu_cat_enum pshenum[4];
extern const wu_cat_enum deskenum[2];
extern const wu_cat_enum selenum[3];
extern const wu_cat_enum tselenum[2];
extern const wu_cat_enum rtlenum[2];

/* Per kind: attributes, methods, events (type code in the comment). */
extern const wu_cat_attr   mefattrs[28];   /* 0 multi-line entry */
extern const wu_cat_method mefmethod[4];
extern const wu_cat_event  mefevent[7];
extern const wu_cat_attr   efdattrs[28];   /* 1 entry field */
extern const wu_cat_method efdmethod[5];
extern const wu_cat_event  efdevent[8];
extern const wu_cat_attr   lblattrs[19];   /* 2 label */
extern const wu_cat_method lblmethod[1];
extern const wu_cat_event  lblevent[2];
extern const wu_cat_attr   cmbattrs[26];   /* 3 combo box */
extern const wu_cat_method cmbmethod[11];
extern const wu_cat_event  cmbevent[9];
extern const wu_cat_attr   lsvattrs[27];   /* 4 list view */
extern const wu_cat_method lsvmethod[17];
extern const wu_cat_event  lsvevent[8];
extern const wu_cat_attr   spnattrs[27];   /* 5 spin box */
extern const wu_cat_method spnmethod[1];
extern const wu_cat_event  spnevent[10];
extern const wu_cat_attr   trvattrs[22];   /* 6 tree view */
extern const wu_cat_method trvmethod[18];
extern const wu_cat_event  trvevent[11];
extern const wu_cat_attr   pbattrs[20];    /* 7 push button */
extern const wu_cat_method pbnmethod[1];
extern const wu_cat_event  pbevent[3];
extern const wu_cat_attr   sclattrs[18];   /* 8 scroll bar */
extern const wu_cat_method sclmethod[1];
extern const wu_cat_event  sclevent[2];
extern const wu_cat_attr   cbattrs[19];    /* 9 check box */
extern const wu_cat_method cbmethod[1];
extern const wu_cat_event  cbxevent[3];
extern const wu_cat_attr   lbxattrs[22];   /* 10 list box */
extern const wu_cat_method lbxmethod[12];
extern const wu_cat_event  lbxevent[3];
extern const wu_cat_attr   rbxattrs[22];   /* 11 radio box */
extern const wu_cat_method rbxmethod[2];
extern const wu_cat_event  rbxevent[3];
extern const wu_cat_attr   dtiattrs[21];   /* 12 desktop icon */
extern const wu_cat_method dtimethod[1];
extern const wu_cat_event  dtievent[3];
extern const wu_cat_attr   pbarattrs[18];  /* 13 progress bar */
extern const wu_cat_method pbarmethod[3];
extern const wu_cat_event  pbarevent[1];

#ifdef __cplusplus
}
#endif

#endif /* QEV_CATALOG_H */
