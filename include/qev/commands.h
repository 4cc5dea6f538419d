/*
 * Codes of the window-system commands the host hands to the module's
 * dispatcher (window-interface slot ECMD), with what each does.  The host
 * and the module both name them from here.
 */
#ifndef QEV_COMMANDS_H
#define QEV_COMMANDS_H

#define WU_CMD_FIRST            31   /* lowest code the dispatcher takes */
#define WU_CMD_LAST             113  /* highest code the dispatcher takes */

#define WU_CMD_RESHELPER        31   /* queue the resource helper's command */
#define WU_CMD_DLGOPEN          32   /* open a file */
#define WU_CMD_DLGSAVE          33   /* save a file */
#define WU_CMD_FONT             34   /* font dialog of the display-manager font */
#define WU_CMD_ABOUT            35   /* About box */
#define WU_CMD_EXIT             36   /* exit, with confirmation */
#define WU_CMD_PRINT            37   /* print */
#define WU_CMD_PRINTSETUP       38   /* print setup */
#define WU_CMD_TOOLLOAD         39   /* load a tool box */
#define WU_CMD_TOOLEDIT         40   /* edit a tool box in the Tool Editor */
#define WU_CMD_FIND             41   /* Find dialog */
#define WU_CMD_CHANGE           42   /* Change dialog */
#define WU_CMD_IMPORT           43   /* import a file */
#define WU_CMD_EXPORT           44   /* export a file */
#define WU_CMD_DLGCDIR          45   /* change the working directory */
#define WU_CMD_TOOLCLOSE        48   /* close a window's tool box */
#define WU_CMD_MAIL             49   /* mail dialog */
#define WU_CMD_UNMAPPED_ON      51   /* windows realised from now on stay unmapped */
#define WU_CMD_UNMAPPED_OFF     52   /* ... and are mapped again */
#define WU_CMD_TOOLTIPS         53   /* tool tips on or off */
#define WU_CMD_TOOLLARGE        54   /* icon size of the merged tool box */
#define WU_CMD_WCOPY            63   /* copy */
#define WU_CMD_WPASTE           64   /* paste */
#define WU_CMD_WUNDO            65   /* undo */
#define WU_CMD_WCUT             66   /* cut */
#define WU_CMD_TOOLDUMP         67   /* write a tool box out */
#define WU_CMD_DLGSCRDUMP       69   /* screen dump to an image file */
#define WU_CMD_PREFS            70   /* preferences dialog */
#define WU_CMD_PRTMODE          71   /* print mode */
#define WU_CMD_PREVIEW          72   /* print preview */
#define WU_CMD_TOOLSWITCH       76   /* switch tool boxes (not here) */
#define WU_CMD_XRESDUMP         77   /* write the X resources out */
#define WU_CMD_SETPNXFONT       78   /* set the pane font */
#define WU_CMD_WBROWSE          108  /* open a page in the browser */
#define WU_CMD_WPMENU           109  /* toggle the menu-bar mode of all windows */
#define WU_CMD_PREVIEWDLG       110  /* print preview dialog */
#define WU_CMD_TOOLDUMP2        111  /* write a tool box out (second form) */
#define WU_CMD_TOOLTOGGLE       112  /* show or hide the tool box */
#define WU_CMD_WAUTOSAVE        113  /* autosave on, off or its interval */

#endif /* QEV_COMMANDS_H */
