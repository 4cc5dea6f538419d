/*
 * The toolkit layer of the module runtime: X start-up and shut-down, the
 * event loop helpers, compound strings, host-image pixmaps, cursors and the
 * resource listings.  Functions the rest of the module calls have C linkage
 * and the names the module uses throughout.
 */
#ifndef QEV_RUNTIME_WUTOOLKIT_H
#define QEV_RUNTIME_WUTOOLKIT_H

#include <X11/Intrinsic.h>
#include <Xm/Xm.h>
#include <cstdint>

#include "qev/kernel.h"
#include "qev/records.h"
#include "qev/status.h"
#include "runtime/wudevice.h"

extern "C" {

/* Start-up and shut-down of the X toolkit on the display named by $DISPLAY
   (or the "DISPLAY" host option).  wutinit fills `fsdev` and points `devb`
   at it; WU_INITFAIL when the display cannot be opened. */
wu_status wutinit(void);
wu_status wutterm(void);

/* X error reporting (wutxerr). */
void wutxerrs(void);                 /* installs the X and Xt error handlers */
void wutxerrr(void);                 /* restores the previous handlers */
/* Sets the watcher told of every protocol error the module's handler
   reports (null for none).  It outlives start-up and shut-down, so a program
   embedding the module (its tests among them) sees each error whichever
   handler is installed. */
void wutxwtch(XErrorHandler watcher);
/* Writes a formatted line to the host log with the class prefix
   ("%1z" note, "%2z" warning, "%3z" error). */
void wutlogf(int32_t log_class, const char *format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/* Display device set-up (wutidev). */
wu_status wutidev(void);             /* fonts, colours, stipples, cursors, translations */
void wutfdev(void);                  /* releases what wutidev made */
Cursor wutgcsr(int32_t id);
void wutmfnt(void);                  /* cell and character metrics of the display font */
void wutfrfn(void);                  /* frees the fonts replaced by wumrfnt */

/* Event loop (wutinpt). */
wu_status wutpevt(volatile int32_t *flag, int32_t mask);
wu_status wutsync(int32_t flush_mode, int32_t dispatch_mode);
/* Modal wait of a window: turns the event loop until the window's module
   event queue holds `event1` (answers WU_OK) or `event2` (WU_SECOND_EVENT,
   or WU_OK when the window's WU_WIN_MENU_COMMAND flag was set, which is
   cleared).  The awaited event is taken; the window's other events stay
   queued.  WU_NOTAVAIL once the display is lost. */
wu_status wutpmio(wu_window *window, int32_t event1, int32_t event2);
/* Turns the event loop once: waits at most `timeout_ms` (-1 for as long as
   it takes) for something to do and does it.  False once the display is
   lost. */
bool wutturn(int32_t timeout_ms);
/* The autosave time-out: queues WU_AUTOSAVE_COMMAND (copied, flags 1, 1)
   for every editor window that has none pending, then starts the next
   period. */
#define WU_AUTOSAVE_COMMAND "AUTOSAVE"
void wuwauto(XtPointer client_data, XtIntervalId *id);
/* Starts (on) or stops (off) the autosave time-out of `minutes`; at most
   one time-out runs, and none for an interval of 0. */
wu_status wutauto(int32_t on, int32_t minutes);

/* Compound strings (wumcstr). */
XmString wumcstr(const char *text);
XmString wumcl2r(const char *text);
char *wumgstr(XmString string);
int32_t wumgl2r(XmString string, char **text_out);
XmString wumtstr(const char *label);
void wumnlns(char *text);
wu_status wumffnt(Widget w, ArgList args, Cardinal count, int32_t flags);
wu_status wumrfnt(const char *font_name, const char *bold_font_name);

/* Host-image pixmaps (wuticon). */
Pixmap wutgtpm(int32_t id, int32_t size);
Pixmap wutgttp(int32_t id, int32_t size, Pixmap *mask_out);
/* Makes a pixmap (and its mask when `mask` is given) of a host image at a
   size; a null `background` leaves the background transparent.  Non-zero
   on success. */
int32_t wutlxpm(int32_t id, int32_t size, const Pixel *background, Pixmap *pixmap, Pixmap *mask);
void wutficn(void);                  /* empties the per-size caches */

/* Resource listings (wutresl). */
wu_status wutqxm(const char *name);
wu_status wutqxt2(const char *name);
wu_status wutqicn(const char *name);
wu_status wutqprf(const char *name);
/* Reads all resource records from the display's database (wutresl). */
void wutgres(void);
/* The user's preferences file in the home directory: one "QEV.name: value"
   line per setting, merged into the resource database at start-up. */
#define WU_PREFS_FILE "QEVUSERPREFS"
/* The preference settings, by index 0 .. wutprfn()-1: wutprfg gives the
   name (null past the last), the kind and the current value as text;
   wutprfs sets one by name from its text in the display's database and
   reads the preferences again (WU_BADARG for a value of the wrong form,
   WU_NOTAVAIL for an unknown name). */
#define WU_PREF_STRING 0
#define WU_PREF_BOOL 1
#define WU_PREF_INT 2
int32_t wutprfn(void);
const char *wutprfg(int32_t index, int32_t *kind, char *value, int32_t size);
wu_status wutprfs(const char *name, const char *value);

/* The number of a widget's children and, in *children_out, their array
   (the widget's own; not to be freed or kept).  0 and null for a widget
   that is null, being destroyed or no composite. */
int32_t wutgwcl(Widget w, WidgetList *children_out);

/* Appends the display's font list as a new shell's button, label and text
   render tables to `args` from `args[n]` on (three entries; none before the
   display's fonts are set up); returns the new count.  The widgets of the
   shell take it where they are given no font of their own, instead of
   Motif's default render table, which Motif keeps for the first display
   connection only and loads again for every shell of a later one. */
Cardinal wu_shell_fonts(Arg *args, Cardinal n);

/* Shells the module made: the busy cursor covers them (frames). */
void wutashl(Widget shell);          /* adds a shell (removed again when destroyed) */
void wutdshl(Widget shell);          /* removes a shell */
/* Destroys a shell (or any widget) the module made.  A realised shell is
   unrealised first: Motif resets the toolkit's keyboard focus bookkeeping
   when a shell goes by dispatching a made-up key press to it, which on a
   realised shell follows focus records of widgets already freed (a crash
   after a window whose control had the keyboard was released). */
void wutxdes(Widget w);

}  // extern "C"

#endif /* QEV_RUNTIME_WUTOOLKIT_H */
