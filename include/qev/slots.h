/*
 * Slot numbers of the module's vector tables.  The host calls a slot by its
 * number; each slot's function type is the one given with its name.  Slots
 * that are not built (yet) answer WU_NOTAVAIL.
 */
#ifndef QEV_SLOTS_H
#define QEV_SLOTS_H

/* Every table: slot 0 withdraws the table from the kernel. */
#define WU_SLOT_TERMINATE 0

/* ------------------------------------------------------------------------
 * wuxtbl: the window interface (QEV_TABLE_WINDOW, 154 slots).
 */
#define WUX_SLOT_INIT      1   /* wuxinit (void): module start-up */
#define WUX_SLOT_TERM      2   /* wuxterm (void): module shut-down */
#define WUX_SLOT_OPEN      3   /* wuxopen: open a session for the calling task */
#define WUX_SLOT_TOPN      4   /* wuxtopn: open a display for the calling task */
#define WUX_SLOT_GWND      5   /* wuxgwnd: allocate a window record */
#define WUX_SLOT_CWTX      6   /* wuxcwtx (control, text): change an older control's label */
#define WUX_SLOT_GPAN      7   /* wuxgpan: allocate a pane of a window */
#define WUX_SLOT_IWND      8   /* wuxiwnd (window): realise a window and its panes */
#define WUX_SLOT_RWND      9   /* wuxrwnd (window): read the next event of a window */
#define WUX_SLOT_UWND     10   /* wuxuwnd (window): bring a window's display up to date */
#define WUX_SLOT_MENU     11   /* wuxmenu (request): menus on, off or toggled */
#define WUX_SLOT_ECMD     12   /* wuxecmd (window, code): window-system command */
#define WUX_SLOT_QWEV     13   /* wuxqwev (window, code, params, length): queue a module event */
#define WUX_SLOT_QCMD     14   /* wuxqcmd (window, text, length, copy, flag, flag): queue a command */
#define WUX_SLOT_GQEV     15   /* wuxgqev (window, code out, buffer, size, length out): take an event */
#define WUX_SLOT_FLEQ     16   /* wuxfleq (kind, record): drop a record's queued events */
#define WUX_SLOT_CMNU     42   /* wuxcmnu: change a window's menu */
#define WUX_SLOT_FWID     55   /* wuxfwid (control): release a control */
#define WUX_SLOT_GPSH     56   /* wuxgpsh: older push button */
#define WUX_SLOT_GCHK     57   /* wuxgchk: older check box */
#define WUX_SLOT_SSTA     58   /* wuxssta (control, state): set an older control's state */
#define WUX_SLOT_CSTA     59   /* wuxcsta (control): an older control's state */
#define WUX_SLOT_GRBX     60   /* wuxgrbx: older radio box */
#define WUX_SLOT_GRBT     61   /* wuxgrbt: radio button of an older radio box */
#define WUX_SLOT_RRBT     62   /* wuxrrbt (radio box): its selected radio button */
#define WUX_SLOT_GITM     66   /* wuxgitm (window, item id, state): gray state of a menu item */
#define WUX_SLOT_HWID     78   /* wuxhwid (control, show): show or hide a control */
#define WUX_SLOT_GPMU     79   /* wuxgpmu: load a window popup menu */
#define WUX_SLOT_FPMU     80   /* wuxfpmu (window, record): release a window popup menu */
#define WUX_SLOT_DPMU     81   /* wuxdpmu (window, record): show a window popup menu */
#define WUX_SLOT_GLBX     83   /* wuxglbx: older list box */
#define WUX_SLOT_CLBX     84   /* wuxclbx: change an older list box's items */
#define WUX_SLOT_QLBX     85   /* wuxqlbx: query an older list box */
#define WUX_SLOT_ICSZ     86   /* wuxicsz: size in cells of an icon field */
#define WUX_SLOT_UMNU     89   /* wuxumnu (window, entries, count): choice popup */
#define WUX_SLOT_GWSZ     90   /* wuxgwsz (rectangle out, size kind, control): cell rectangle */
#define WUX_SLOT_LSCR    104   /* wuxlscr: does nothing */
#define WUX_SLOT_GRST    105   /* wuxgrst (control): whether grayed */
#define WUX_SLOT_GRWD    106   /* wuxgrwd (control, gray): gray or ungray a control */
#define WUX_SLOT_QLBI    113   /* wuxqlbi: an older list box item's text */
#define WUX_SLOT_SITM    114   /* wuxsitm (window, item id, state): check state of a menu item */
#define WUX_SLOT_GGPB    115   /* wuxggpb: graph push button */
#define WUX_SLOT_116     116   /* older pane controls */
#define WUX_SLOT_GICB    119   /* wuxgicb: icon button */
#define WUX_SLOT_SWAT    120   /* wuxswat (control, entries, count): set attributes */
#define WUX_SLOT_QDND    122   /* wuxqdnd (site, entries, count): query drop-site attributes */
#define WUX_SLOT_SDND    123   /* wuxsdnd (site, entries, count): set drop-site attributes */
#define WUX_SLOT_GEXT    133   /* wuxgext (table out, count out): the controls catalogue */
#define WUX_SLOT_GMAP    134   /* wuxgmap (type, map out, entries, count): a control type's map */
#define WUX_SLOT_QWAT    135   /* wuxqwat (control, entries, count): query attributes */
#define WUX_SLOT_FOCS    136   /* wuxfocs (request, mode): keyboard focus */
#define WUX_SLOT_CREA    141   /* wuxcrea: create a catalogue control */
#define WUX_SLOT_CORD    144   /* wuxcord (window, pane, handles out, count out): a pane's handles */
#define WUX_SLOT_FCOR    145   /* wuxfcor (window, handles): release such an array */
#define WUX_SLOT_ICNT    146   /* wuxicnt (window, control id): handle of a control */
#define WUX_SLOT_CNTI    147   /* wuxcnti (handle): control id of a handle */
#define WUX_SLOT_ACON    148   /* wuxacon (pane): the control at the pane's cursor cell */

/* ------------------------------------------------------------------------
 * wuxptbl: views and methods (QEV_TABLE_METHODS, 5 slots).
 */
#define WUXP_SLOT_GLVW     2   /* wuxglvw: create a list view */
#define WUXP_SLOT_CLVW     3   /* wuxclvw: add and delete list view rows */
#define WUXP_SLOT_METH     4   /* wuxmeth (handle, method, params, count): run a method */

#endif /* QEV_SLOTS_H */
