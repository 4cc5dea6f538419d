/*
 * Flag bits of windows, panes, controls and the display block.  Every bit the
 * module tests or sets by value has its name here with its meaning; code never
 * uses the bare number.
 */
#ifndef QEV_FLAGS_H
#define QEV_FLAGS_H

/* Memory pool request flags (vmalloc_handler and the pools' functions). */
#define WU_MEM_CLEAR            0x00000002u  /* hand out zero-filled memory */

/* Window: first flag word. */
#define WU_WIN_MSG_PENDING      0x00000001u  /* message line holds a message the host has not seen */
#define WU_WIN_CONTROL_PRESSED  0x10000000u  /* a control of the window was pressed since the last read */
#define WU_WIN_MENU_COMMAND     0x01000000u  /* a menu command ended the modal wait (wutpmio) */

/* Window decoration flags computed by wuxgdsf. */
#define WU_DECOR_MENUBAR        0x00000080u  /* window has a menu bar */
#define WU_DECOR_MENUBAR2       0x00000100u  /* menu bar (second form) */
#define WU_DECOR_COMMANDLINE    0x00000200u  /* window has a command line */
#define WU_DECOR_MESSAGELINE    0x00000400u  /* window has a message line */

/* Display block flags. */
#define WU_DEV_IN_EVPROC        0x00800000u  /* a control's event procedure runs synchronously */

/* Control event masks (which control events are sent to the host). */
#define WU_EVM_CLICK_NODE       0x00000001u  /* tree view: click on a node */
#define WU_EVM_EXPAND           0x00000008u  /* tree view: expand */
#define WU_EVM_POPUP            0x00000010u  /* popup (event 5) */
#define WU_EVM_COLLAPSE         0x00000040u  /* tree view: collapse */
#define WU_EVM_DOUBLECLICK      0x00000100u  /* double click (event 9) */
#define WU_EVM_CLICK            0x00008000u  /* click (event 27) */
#define WU_EVM_PREVIRTUALKEY    0x00010000u  /* navigation key handed to the host (event 29) */
#define WU_EVM_VALUECHANGED     0x00040000u  /* value changed */

#endif /* QEV_FLAGS_H */
