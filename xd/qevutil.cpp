#include <cstdint>
#include <X11/Xutil.h>
#include "xd/qevutil.h"

#include <Xm/ManagerP.h>

#include <Xm/XpmP.h>
#include <cstdarg>
#include <cstdio>

namespace {
Boolean g_trace = False;
XdHostHooks g_hooks = {};
}  // namespace

extern "C" {

void XdSetTrace(Boolean on) { g_trace = on ? True : False; }
Boolean XdTraceOn(void) { return g_trace; }

void XdTrace(const char *format, ...) {
  if (!g_trace) return;
  va_list ap;
  va_start(ap, format);
  vfprintf(stdout, format, ap);
  va_end(ap);
  fflush(stdout);
}

void XdSetHostHooks(const XdHostHooks *hooks) {
  if (hooks)
    g_hooks = *hooks;
  else
    g_hooks = XdHostHooks{};
}

char *_XdStringText(XmString string) {
  if (!string) return nullptr;
  if (g_hooks.string_text) return g_hooks.string_text(string);
  return static_cast<char *>(
      XmStringUnparse(string, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
}

void _XdBusy(int on) {
  if (g_hooks.busy) g_hooks.busy(on);
}

void _XdBell(Widget w) {
  if (g_hooks.bell) {
    g_hooks.bell(w);
  } else if (w) {
    XBell(XtDisplay(w), 0);
  }
}

void _XdVisualInfo(Display *dpy, Visual **visual, int *depth, Colormap *colormap) {
  if (g_hooks.visual_info && g_hooks.visual_info(dpy, visual, depth, colormap)) return;
  int scr = DefaultScreen(dpy);
  *visual = DefaultVisual(dpy, scr);
  *depth = DefaultDepth(dpy, scr);
  *colormap = DefaultColormap(dpy, scr);
}

void _XdWidgetCreated(Widget w, int kind) {
  if (g_hooks.widget_created) g_hooks.widget_created(w, kind);
}

void _XdAddDragHandler(Widget w) {
  if (g_hooks.add_drag_handler) g_hooks.add_drag_handler(w);
}

int _XdLoadPixmap(Display *dpy, char **xpm, Pixel background, Pixmap *pixmap, Pixmap *mask) {
  *pixmap = None;
  if (mask) *mask = None;
  if (!dpy || !xpm) {
    fputs("Error: couldn't load pixmap.\n", stdout);
    return 0;
  }
  Visual *visual;
  int depth;
  Colormap colormap;
  _XdVisualInfo(dpy, &visual, &depth, &colormap);

  XpmColorSymbol symbol;
  symbol.name = const_cast<char *>("XpmBackground");
  symbol.value = nullptr;
  symbol.pixel = background;

  XpmAttributes attrs = {};
  attrs.valuemask = XpmVisual | XpmColormap | XpmDepth | XpmColorSymbols | XpmCloseness |
                    XpmReturnPixels;
  attrs.visual = visual;
  attrs.colormap = colormap;
  attrs.depth = static_cast<unsigned>(depth);
  attrs.colorsymbols = &symbol;
  attrs.numsymbols = 1;
  attrs.closeness = 65535;

  Pixmap shape = None;
  int rc = XmeXpmCreatePixmapFromData(dpy, RootWindow(dpy, DefaultScreen(dpy)), xpm, pixmap,
                                      &shape, &attrs);
  if (rc != XpmSuccess) {
    *pixmap = None;
    fputs("Error: couldn't load pixmap.\n", stdout);
    return 0;
  }
  XmeXpmFreeAttributes(&attrs);
  if (mask)
    *mask = shape;
  else if (shape != None)
    XFreePixmap(dpy, shape);
  return 1;
}

}  // extern "C"

namespace {
XmString (*g_make_string)(const char *text) = nullptr;
}  // namespace

extern "C" {

void XdSetStringMaker(XmString (*make)(const char *text)) { g_make_string = make; }

XmString _XdMakeString(const char *text) {
  if (!text) text = "";
  if (g_make_string) return g_make_string(text);
  return XmStringCreateLocalized(const_cast<char *>(text));
}

// The marks live in the display's context table, which Xlib frees with the
// connection, so a new connection starts without any.
Boolean _XdFirstOnDisplay(Display *dpy, const void *tag) {
  static XContext context = 0;
  if (dpy == nullptr) return False;
  if (context == 0) context = XUniqueContext();
  // One entry per tag: the tag's address is the resource id.
  const XID id = static_cast<XID>(reinterpret_cast<uintptr_t>(tag));
  XPointer data = nullptr;
  if (XFindContext(dpy, id, context, &data) == 0) return False;
  XSaveContext(dpy, id, context, reinterpret_cast<XPointer>(1));
  return True;
}

}  // extern "C"

XdColours _XdManagerColours(Widget w) {
  XdColours c = {};
  if (!w || !XmIsManager(w)) return c;
  XmManagerWidget m = reinterpret_cast<XmManagerWidget>(w);
  c.background = w->core.background_pixel;
  c.foreground = m->manager.foreground;
  c.top_shadow = m->manager.top_shadow_color;
  c.bottom_shadow = m->manager.bottom_shadow_color;
  c.highlight = m->manager.highlight_color;
  return c;
}

namespace {
XdColours shownColours(Widget w) {
  XdColours c = {};
  XtVaGetValues(w, XmNbackground, &c.background, XmNforeground, &c.foreground, XmNtopShadowColor,
                &c.top_shadow, XmNbottomShadowColor, &c.bottom_shadow, XmNhighlightColor,
                &c.highlight, nullptr);
  return c;
}
}  // namespace

void _XdPassColours(Widget part, const XdColours &was, const XdColours &now) {
  if (!part || part->core.being_destroyed || was == now) return;
  const XdColours had = shownColours(part);
  if (had.background == was.background && now.background != was.background)
    XmChangeColor(part, now.background);
  const XdColours after = shownColours(part);
  /* Each colour: the widget's new one when the part shared it, else the
     part's own, whatever the calculation made of it. */
  struct {
    const char *name;
    Pixel had, was, now, after;
  } const colours[] = {
      {XmNforeground, had.foreground, was.foreground, now.foreground, after.foreground},
      {XmNtopShadowColor, had.top_shadow, was.top_shadow, now.top_shadow, after.top_shadow},
      {XmNbottomShadowColor, had.bottom_shadow, was.bottom_shadow, now.bottom_shadow,
       after.bottom_shadow},
      {XmNhighlightColor, had.highlight, was.highlight, now.highlight, after.highlight},
  };
  Arg args[XtNumber(colours)];
  Cardinal n = 0;
  for (const auto &c : colours) {
    const Pixel want = c.had == c.was ? c.now : c.had;
    if (want == c.after) continue;
    XtSetArg(args[n], const_cast<char *>(c.name), want);
    ++n;
  }
  if (n) XtSetValues(part, args, n);
}
