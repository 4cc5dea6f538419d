#include <cstdint>
#include <X11/Xutil.h>
#include "xd/qevutil.h"

#include <Xm/ManagerP.h>

#include <Xm/XpmP.h>
#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "xd/qevxpm.h"

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

}  // extern "C"

namespace {

// What XPM data may promise.  A pixmap's sides are 16-bit numbers in the
// protocol; the picture is read into memory twice over (the reader's
// indices and the image), so its pixels are bounded too.  Eight characters
// a pixel name more colours than any picture holds, and the colour lines a
// picture needs are short: Motif's reader copies a colour's value into a
// buffer of its own without a bound.
const unsigned long kXpmMaxSide = 65535;
const unsigned long long kXpmMaxPixels = 1ull << 22;
const unsigned long kXpmMaxCpp = 8;
const unsigned long kXpmMaxColours = 1ul << 16;
const size_t kXpmMaxValuesLine = 256;
const size_t kXpmMaxColourLine = 1024;
// The characters that name colours: printable ASCII, as XPM writers use
// (Motif's reader takes a byte above 127 for none).
const unsigned char kXpmFirstKeyChar = 0x20, kXpmLastKeyChar = 0x7e;

bool Space(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The words of a line, as the reader splits them.
std::vector<std::string_view> Words(const char *line, size_t length) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < length) {
    while (i < length && Space(line[i])) ++i;
    const size_t start = i;
    while (i < length && !Space(line[i])) ++i;
    if (i > start) words.emplace_back(line + start, i - start);
  }
  return words;
}

// A decimal number of at most nine digits.
bool Number(std::string_view word, unsigned long *value) {
  if (word.empty() || word.size() > 9) return false;
  unsigned long v = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned long>(c - '0');
  }
  *value = v;
  return true;
}

// A line that holds at least `need` characters; no more than those are
// looked at, so a short line is never read past its end.
bool Holds(const char *line, size_t need) { return line && strnlen(line, need) == need; }

bool ColourKey(std::string_view w) {
  return w == "s" || w == "m" || w == "g4" || w == "g" || w == "c";
}

// A colour's or a pixel's characters, packed.
bool Key(const char *chars, unsigned long cpp, uint64_t *key) {
  uint64_t k = 0;
  for (unsigned long i = 0; i < cpp; ++i) {
    const unsigned char c = static_cast<unsigned char>(chars[i]);
    if (c < kXpmFirstKeyChar || c > kXpmLastKeyChar) return false;
    k = (k << 8) | c;
  }
  *key = k;
  return true;
}

// A colour line: its characters, then pairs of a key and a value of one or
// more words (a word after a value that is no key goes on the value), each
// key once (the reader loses the value a repeated key replaces).
bool ColourLineOk(const char *line, unsigned long cpp, uint64_t *key) {
  if (!Holds(line, cpp) || !Key(line, cpp, key)) return false;
  const size_t length = strnlen(line, kXpmMaxColourLine + 1);
  if (length > kXpmMaxColourLine) return false;
  std::vector<std::string_view> keys;
  bool any = false, last_was_key = false;
  for (std::string_view w : Words(line + cpp, length - cpp)) {
    if (!last_was_key && ColourKey(w)) {
      if (std::find(keys.begin(), keys.end(), w) != keys.end()) return false;
      keys.push_back(w);
      last_was_key = any = true;
    } else {
      if (!any) return false;  // a value before any key
      last_was_key = false;
    }
  }
  return any && !last_was_key;
}

// The colours' keys, sorted, for looking up each pixel; runs of one colour
// are common, so the last key found is tried first.
struct KeySet {
  std::vector<uint64_t> keys;
  uint64_t last = ~uint64_t(0);
  bool Has(uint64_t k) {
    if (k == last) return true;
    if (!std::binary_search(keys.begin(), keys.end(), k)) return false;
    last = k;
    return true;
  }
};

}  // namespace

extern "C" {

Boolean _XdXpmDataOk(char **xpm) {
  if (!xpm || !xpm[0]) return False;
  const size_t values_length = strnlen(xpm[0], kXpmMaxValuesLine + 1);
  if (values_length > kXpmMaxValuesLine) return False;
  const std::vector<std::string_view> v = Words(xpm[0], values_length);
  // Width, height, colours and characters a pixel; then the hot spot, then
  // the extensions' mark, each optional.
  size_t words = v.size();
  if (words > 4 && v.back() == "XPMEXT") --words;
  if (words != 4 && words != 6) return False;
  unsigned long n[6] = {0, 0, 0, 0, 0, 0};
  for (size_t i = 0; i < words; ++i)
    if (!Number(v[i], &n[i])) return False;
  const unsigned long width = n[0], height = n[1], colours = n[2], cpp = n[3];
  if (width < 1 || width > kXpmMaxSide || height < 1 || height > kXpmMaxSide) return False;
  if (static_cast<unsigned long long>(width) * height > kXpmMaxPixels) return False;
  if (colours < 1 || colours > kXpmMaxColours || cpp < 1 || cpp > kXpmMaxCpp) return False;
  if (words == 6 && (n[4] > kXpmMaxSide || n[5] > kXpmMaxSide)) return False;

  KeySet set;
  set.keys.reserve(colours);
  for (unsigned long i = 0; i < colours; ++i) {
    uint64_t key = 0;
    if (!ColourLineOk(xpm[1 + i], cpp, &key)) return False;
    set.keys.push_back(key);
  }
  std::sort(set.keys.begin(), set.keys.end());
  // Extensions follow the rows; they are not read (no loader asks for them).
  const size_t row_length = width * cpp;
  for (unsigned long y = 0; y < height; ++y) {
    const char *row = xpm[1 + colours + y];
    if (!Holds(row, row_length)) return False;
    for (size_t x = 0; x < row_length; x += cpp) {
      uint64_t key = 0;
      if (!Key(row + x, cpp, &key) || !set.Has(key)) return False;
    }
  }
  return True;
}

}  // extern "C"

namespace {

// Protocol errors of one display counted while the making of a pixmap is
// awaited; those of other displays go to the handler that was installed.
struct ErrorTrap {
  Display *dpy;
  int errors = 0;
  XErrorHandler previous = nullptr;
  explicit ErrorTrap(Display *d) : dpy(d) {
    XSync(dpy, False);  // earlier requests' errors are not the making's
    previous = XSetErrorHandler(Count);
    current = this;
  }
  ~ErrorTrap() {
    XSync(dpy, False);
    XSetErrorHandler(previous);
    current = nullptr;
  }
  int Seen() {
    XSync(dpy, False);
    return errors;
  }
  static ErrorTrap *current;
  static int Count(Display *d, XErrorEvent *ev) {
    if (current && d == current->dpy) {
      ++current->errors;
      return 0;
    }
    return current && current->previous ? current->previous(d, ev) : 0;
  }
};
ErrorTrap *ErrorTrap::current = nullptr;

}  // namespace

extern "C" {

int _XdXpmCreatePixmap(Display *dpy, Drawable d, char **xpm, Pixmap *pixmap, Pixmap *shape,
                       XpmAttributes *attributes) {
  *pixmap = None;
  if (shape) *shape = None;
  if (!dpy || !_XdXpmDataOk(xpm)) return XpmFileInvalid;
  Pixmap made = None, made_shape = None;
  int rc;
  {
    ErrorTrap trap(dpy);
    rc = XmeXpmCreatePixmapFromData(dpy, d, xpm, &made, shape ? &made_shape : nullptr,
                                    attributes);
    if (rc == XpmSuccess && trap.Seen() > 0) {
      // Made as Motif sees it, refused by the server: what Motif was given
      // back goes, with whatever part the server did make.
      XmeXpmFreeAttributes(attributes);
      rc = XpmNoMemory;
    }
    if (rc != XpmSuccess) {
      if (made) XFreePixmap(dpy, made);
      if (made_shape) XFreePixmap(dpy, made_shape);
      made = made_shape = None;
    }
  }
  if (rc == XpmSuccess) {
    *pixmap = made;
    if (shape) *shape = made_shape;
  }
  return rc;
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
  if (_XdXpmCreatePixmap(dpy, RootWindow(dpy, DefaultScreen(dpy)), xpm, pixmap, &shape, &attrs) !=
      XpmSuccess) {
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
