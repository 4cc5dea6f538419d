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
#define WU_DEV_DRAGGING         0x00000020u  /* a drag started by the module is in progress */

/* Control event masks (which control events are sent to the host). */
#define WU_EVM_CLICK_NODE       0x00000001u  /* tree view: click on a node */
#define WU_EVM_EXPAND           0x00000008u  /* tree view: expand */
#define WU_EVM_POPUP            0x00000010u  /* popup (event 5) */
#define WU_EVM_COLLAPSE         0x00000040u  /* tree view: collapse */
#define WU_EVM_DOUBLECLICK      0x00000100u  /* double click (event 9) */
#define WU_EVM_CLICK            0x00008000u  /* click (event 27) */
#define WU_EVM_PREVIRTUALKEY    0x00010000u  /* navigation key handed to the host (event 29) */
#define WU_EVM_VALUECHANGED     0x00040000u  /* value changed */
/* Event masks of the list and tree kinds. */
#define WU_EVM_RESIZE           0x00000020u  /* tree view: resize (event 6) */
#define WU_EVM_FREE             0x00000080u  /* tree view: a node is freed (event 8) */
#define WU_EVM_COLUMNCLICK      0x00004000u  /* list view: column header click (event 14) */

/* External record file open attributes (word 0 of the wxopen attribute words). */
#define WU_XOPEN_INPUT          0x00000001u  /* open for reading */
#define WU_XOPEN_OUTPUT         0x00000002u  /* open for writing */
#define WU_XOPEN_REPLACE        0x00000100u  /* writing replaces the file's records */

/* Control record flags (wu_control.flags). */
#define WU_CTL_HIDDEN           0x00000002u  /* hidden */
#define WU_CTL_GRAYED           0x00000010u  /* grayed (insensitive) */
#define WU_CTL_SHOWN            0x00000020u  /* widget managed and shown */
#define WU_CTL_TAKES_FOCUS      0x00000040u  /* takes the keyboard focus; placed by pixels */

/* Pane extension flags (wu_pane_ext.flags). */
#define WU_PEXT_REALIZED        0x00000004u  /* the pane's widgets exist */
#define WU_PEXT_HAS_CONTROLS    0x00000008u  /* the pane has controls */

/* Field flags (wu_field.flags), set by the host or the window layer. */
#define WU_FLD_DIRTY            0x00000001u  /* text or colour changed: draw at the next update */
#define WU_FLD_PROTECTED        0x00000002u  /* the user cannot type into the field */
#define WU_FLD_MODIFIED         0x00000004u  /* the user typed into the field since the host looked */
#define WU_FLD_HIDDEN           0x00000008u  /* contents not shown (blank cells) */
/* Field highlight flags (wu_field.highlight). */
#define WU_FHL_REVERSE          0x00000001u  /* reverse video */

/* Pane flags (wu_pane.flags). */
#define WU_PANE_DIRTY           0x00000001u  /* redraw the whole pane at the next update */

/* Window: first flag word, set by the window layer. */
#define WU_WIN_REALIZED         0x00200000u  /* wuxiwnd has built the window's widgets */
#define WU_WIN_RELEASES         0x00002000u  /* a pane has records on its release list */

/* Window: module flag word (besides the WU_DECOR_... wishes). */
#define WU_WMOD_MENUS_OFF       0x00000800u  /* command-line mode: no menu bar */
#define WU_WMOD_PULLDOWN        0x00080000u  /* pull-down menu mode asked */
#define WU_WMOD_DECOR_MASK      0x00000780u  /* the decoration bits WU_DECOR_... */

/* Window: first flag word, set by the controls layer. */
#define WU_WIN_HOST_REALIZES    0x00000004u  /* the window is realised by its owner: controls do not */

/* Older bar records (wu_bar.bar_flags and the flags of wuxgbar). */
#define WU_BAR_SCALED           0x00000002u  /* a value-scaled bar (record kinds 20, 21) */

/* Tool box and window-command bits used by the tool box layer. */
#define WU_WIN_NO_TOOL_COMMANDS 0x00000002u  /* flags: the window takes no tool commands now */
#define WU_CONVERTER_FLAG       0x00000004u  /* image converter object: flag word bit set before open */

/* Older pane controls: wishes the host sets for a window (host flag word)
   and the field flags of field-backed buttons. */
#define WU_WHOST_FOCUS_BACK     0x00000001u  /* a pressed older control gives the focus back to the input widget */
#define WU_WHOST_DEFAULT_ACTIONS 0x00000002u /* list boxes report default actions (double clicks) */
#define WU_FLD_BUTTON_EVENTS    0x10000000u  /* first word: a field-backed button reports presses */
#define WU_FLD2_RADIO           0x00000001u  /* second word: toggle with a radio-type indicator */
#define WU_FLD2_CHECK           0x00000002u  /* second word: toggle with a check-type indicator */
#define WU_FLD2_SET             0x00000008u  /* second word: the toggle is set */
#define WU_FLD2_GRAYED          0x00000020u  /* second word: the button is grayed */
#define WU_FLD2_PRESS_EVENT     0x00000040u  /* second word: a press queues the field event */
#define WU_FLD2_TEXT_BESIDE     0x00000100u  /* second word: an icon field's text beside its icon */
/* Creation flags of an older list box. */
#define WU_LBX_REPORT           0x00000001u  /* report selections to the host */
#define WU_LBX_MULTIPLE         0x00000002u  /* multiple selection */
#define WU_LBX_NO_VBAR          0x00000004u  /* no vertical scroll bar */
#define WU_LBX_NO_HBAR          0x00000008u  /* no horizontal scroll bar */
#define WU_LBX_EXTENDED         0x00000020u  /* extended selection (without WU_LBX_MULTIPLE) */

/* ---- Menus, command line and tool box words of a window ------------------
   module_flags is the window's module flag word (also the mode flag word);
   host_flags its host flag word; toolbox_flags the tool box flag word. */
#define WU_WMOD_LISTED          0x00000004u  /* the window is listed */
#define WU_WMOD_QUIET_LOAD      0x00000008u  /* a tool box load asked by the command window */
#define WU_WMOD_POPUP_SHOWN     0x00000040u  /* a window popup menu was shown */
#define WU_WMOD_GEOMETRY        0x00001000u  /* the module changes the window's geometry */
#define WU_WMOD_OWN_LOCATION    0x00100000u  /* the window re-applies its own menu location */
#define WU_WMOD_WANTS_MENUBAR   0x80000000u  /* the window wants a menu bar */
#define WU_WHOST_COMMANDLINE    0x00000400u  /* command-line mode wanted */
#define WU_WHOST_PANEL_RELEASE  0x00800000u  /* the command panel goes with the command line */
#define WU_WIN_PRINT_WINDOW     0x00000100u  /* set by the host: a print window */
/* Tool box flag word (toolbox_flags), set by the host. */
#define WU_TBX_OWN_TOOLBOX      0x83C00000u  /* any of these: the window names its own tool box */
/* Module state flags (wu_state.menu_flags). */
#define WU_MST_SWITCHED         0x00000002u  /* a menu-mode request ran */
#define WU_MST_MENUS_ON         0x00000040u  /* windows show pull-down menus */
#define WU_MST_REQUEST4         0x00000100u  /* request 4 arrived in command-line mode */

#endif /* QEV_FLAGS_H */
