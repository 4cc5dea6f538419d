/*
 * Utilities shared by the Xd widget set: the trace switch, pixmap loading
 * from XPM data, and the hooks through which a hosting program (the display
 * module) lends the widgets its services.  The widgets work in any Motif
 * program: without hooks they fall back to plain toolkit behaviour.
 */
#ifndef XD_QEVUTIL_H
#define XD_QEVUTIL_H

#include <X11/Intrinsic.h>
#include <X11/IntrinsicP.h>
#include <Xm/Xm.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Diagnostic texts of the widgets go to standard output only while the trace
   switch is on; it is off by default. */
void XdSetTrace(Boolean on);
Boolean XdTraceOn(void);
void XdTrace(const char *format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/* Services a hosting program may lend the widgets.  Any member left NULL
   keeps the widgets' own fall-back. */
typedef struct XdHostHooks {
  /* New host text of a compound string, freed by the caller with XtFree;
     NULL when the string has no text.  Fall-back: XmStringUnparse. */
  char *(*string_text)(XmString string);
  /* Shows (1) or removes (0) the busy cursor around long operations.
     Fall-back: nothing. */
  void (*busy)(int on);
  /* Rings the bell.  Fall-back: XBell at volume 0. */
  void (*bell)(Widget w);
  /* Visual, depth and colormap to make pixmaps for.  Fall-back: the
     screen's defaults. */
  Boolean (*visual_info)(Display *dpy, Visual **visual, int *depth, Colormap *colormap);
  /* Called when a widget of the set is created inside a hosting program's
     window; lets the host add its key translations and handlers.
     Fall-back: nothing. */
  void (*widget_created)(Widget w, int kind);
  /* Adds the host's drag-start handler to a widget.  Fall-back: nothing. */
  void (*add_drag_handler)(Widget w);
} XdHostHooks;

/* Kinds given to widget_created. */
#define XdHOOK_ICONLIST 1
#define XdHOOK_MCICONLIST 2
#define XdHOOK_MCHEADER 3
#define XdHOOK_TREE 4
#define XdHOOK_TAB 5

/* Installs the hooks (copied); NULL removes them. */
void XdSetHostHooks(const XdHostHooks *hooks);

/* The services, through the hooks or their fall-backs. */
char *_XdStringText(XmString string);
void _XdBusy(int on);
void _XdBell(Widget w);
void _XdVisualInfo(Display *dpy, Visual **visual, int *depth, Colormap *colormap);
void _XdWidgetCreated(Widget w, int kind);
void _XdAddDragHandler(Widget w);

/* Makes a pixmap and mask from XPM data with the symbolic colour
   "XpmBackground" set to `background`.  1 on success; 0 after writing
   "Error: couldn't load pixmap.\n" to standard output. */
int _XdLoadPixmap(Display *dpy, char **xpm, Pixel background, Pixmap *pixmap, Pixmap *mask);

/* Compound strings from host text.  A hosting program may install its own
   conversion (NULL restores the fall-back, XmStringCreateLocalized); the
   caller frees the string. */
void XdSetStringMaker(XmString (*make)(const char *text));
XmString _XdMakeString(const char *text);

/* True the first time it is asked for `tag` on a display connection, false
   after that until the connection closes: for registering actions with an
   application context once, even when a later context (after a restart)
   is made at the address of one that is gone.  `tag` is any address that
   names what is registered. */
Boolean _XdFirstOnDisplay(Display *dpy, const void *tag);

/* Registers the converters of the widget set's own representation types
   (item tables, ids, column count) from resource-file text; once per
   process, from the classes' ClassInitialize. */
void _XdRegisterConverters(void);
/* For a table these converters made and the toolkit still holds: its row
   count (and through `columns`, when given, its column count, 0 for a
   table of items); -1 for any other table. */
int _XdConvertedRows(const void *table, int *columns);

#ifdef __cplusplus
}

#include <vector>

/* The colours a Motif manager or primitive shows. */
struct XdColours {
  Pixel background, foreground, top_shadow, bottom_shadow, highlight;
  bool operator==(const XdColours &o) const {
    return background == o.background && foreground == o.foreground &&
           top_shadow == o.top_shadow && bottom_shadow == o.bottom_shadow &&
           highlight == o.highlight;
  }
  bool operator!=(const XdColours &o) const { return !(*this == o); }
};
/* The colours of a manager (the widget set's widgets, and the scrolled
   window of a tree). */
XdColours _XdManagerColours(Widget manager);
/* Passes a widget's change of colours (from `was` to `now`) on to one of
   its parts: each colour the part showed alike with the widget takes the
   widget's new one, the others stay.  A new background goes through
   Motif's colour calculation (XmChangeColor), so that what the part
   derives from it (arm, trough and select colours) follows. */
void _XdPassColours(Widget part, const XdColours &was, const XdColours &now);

/* The rows of an item table given with `count` that may be read: `count`,
   or for a table read from a resource file no more than it holds (after a
   warning on `w`).  `columns`, when given, receives the column count of a
   table of tables read from a file, -1 for a table from the program. */
int _XdRowsToRead(Widget w, const void *table, int count, int *columns);
/* Ids for `count` rows: `ids` itself, or when it was read from a resource
   file and holds fewer, a copy padded with 0, kept in `room`. */
int32_t *_XdIdsFor(int32_t *ids, int count, std::vector<int32_t> &room);

/* Tells whether a widget survived a call out (a callback may destroy it):
   alive() is false once the widget is destroyed or being destroyed. */
class XdWidgetWatch {
 public:
  explicit XdWidgetWatch(Widget w) : w_(w) {
    if (w_) XtAddCallback(w_, XtNdestroyCallback, gone, this);
  }
  ~XdWidgetWatch() {
    if (w_ && !dead_) XtRemoveCallback(w_, XtNdestroyCallback, gone, this);
  }
  XdWidgetWatch(const XdWidgetWatch &) = delete;
  XdWidgetWatch &operator=(const XdWidgetWatch &) = delete;
  bool alive() const { return w_ && !dead_ && !w_->core.being_destroyed; }

 private:
  static void gone(Widget, XtPointer self, XtPointer) { static_cast<XdWidgetWatch *>(self)->dead_ = true; }
  Widget w_;
  bool dead_ = false;
};
#endif

#endif /* XD_QEVUTIL_H */
