// Display device set-up: the display font and the cell metrics, the colours,
// the stipples, the cursors, the atoms and the module's translation tables.
//
// Text metrics.  Host text is drawn on a grid of character cells.  The cell
// width is the widest advance among the font's printable characters, so that
// no character spills into its neighbour; the cell height is the font's
// ascent plus descent.  Controls size themselves by the average character
// width (the mean advance of the 95 printable ASCII characters, rounded up)
// and the cell height.  For the usual fixed-width display fonts cell width and
// average width are the same.
#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <X11/Intrinsic.h>
#include <Xm/Xm.h>

#include <cstring>
#include <map>
#include <string>

#include "runtime/wutoolkit.h"

namespace {

const char kFallbackFont[] = "fixed";
const int kFirstPrintable = 32;
const int kLastPrintable = 126;

XFontStruct *LoadFont(const char *name, const char *what) {
  XFontStruct *f = (name && *name) ? XLoadQueryFont(devb->display, name) : nullptr;
  if (!f) {
    if (name && *name)
      wutlogf(QEV_LOG_WARNING, "Font \"%s\" for %s not found; \"%s\" is used.", name, what,
              kFallbackFont);
    f = XLoadQueryFont(devb->display, kFallbackFont);
  }
  return f;
}

int Advance(const XFontStruct *f, int ch) {
  if (f->per_char && ch >= int(f->min_char_or_byte2) && ch <= int(f->max_char_or_byte2) &&
      f->min_byte1 == 0)
    return f->per_char[ch - int(f->min_char_or_byte2)].width;
  return f->max_bounds.width;
}

// The action of the display's default popup translation.  Button 3 on a
// control belongs to the module's input handler, which posts the host's
// popup event; binding the button to this action keeps the widget's own
// button-3 behaviour (the text widgets' menu) from running as well.
void PopupMenu(Widget, XEvent *, String *, Cardinal *) {}

XtActionsRec popup_actions[] = {
    {(String) "qev-popup-menu", PopupMenu},
};

}  // namespace

extern "C" void wutmfnt(void) {
  const XFontStruct *f = devb ? devb->font : nullptr;
  if (!f) return;
  int widest = 0;
  long total = 0;
  for (int ch = kFirstPrintable; ch <= kLastPrintable; ++ch) {
    int w = Advance(f, ch);
    if (w > widest) widest = w;
    total += w;
  }
  const int n = kLastPrintable - kFirstPrintable + 1;
  devb->cell_width = widest > 0 ? widest : f->max_bounds.width;
  devb->cell_height = f->ascent + f->descent;
  devb->ascent = f->ascent;
  devb->char_width = int32_t((total + n - 1) / n);
  if (devb->char_width <= 0) devb->char_width = devb->cell_width;
  devb->char_height = devb->cell_height;
}

namespace {

// Allocates a named colour; `fallback` when the name is unknown or the
// colour map is full.  The RGB actually given is stored when asked for.
Pixel Colour(const char *name, Pixel fallback, uint16_t *rgb = nullptr) {
  XColor c;
  std::memset(&c, 0, sizeof c);
  if (name && *name && XParseColor(devb->display, devb->colormap, name, &c) &&
      XAllocColor(devb->display, devb->colormap, &c)) {
    if (rgb) {
      rgb[0] = c.red;
      rgb[1] = c.green;
      rgb[2] = c.blue;
    }
    return c.pixel;
  }
  if (name && *name) wutlogf(QEV_LOG_WARNING, "Colour \"%s\" cannot be allocated.", name);
  if (rgb) {
    c.pixel = fallback;
    XQueryColor(devb->display, devb->colormap, &c);
    rgb[0] = c.red;
    rgb[1] = c.green;
    rgb[2] = c.blue;
  }
  return fallback;
}

// 25 %, 50 % and 75 % stipples (4x4, one bit per pixel).
const unsigned char kStipple[WU_STIPPLES][4] = {
    {0x01, 0x04, 0x01, 0x04},
    {0x05, 0x0a, 0x05, 0x0a},
    {0x0e, 0x0b, 0x0e, 0x0b},
};

const unsigned int kCursorShape[WU_CURSORS] = {
    XC_left_ptr, XC_watch, XC_xterm, XC_crosshair,
    XC_hand2, XC_fleur, XC_sb_h_double_arrow, XC_sb_v_double_arrow,
};

// A parsed translation table cannot be given back to Xt, and it does not
// depend on the display; each distinct table text is therefore parsed once
// in the life of the process and served again when the toolkit is started
// anew.
XtTranslations Parse(const char *table, const char *resource) {
  if (!table || !*table) return nullptr;
  // Never destroyed: the tables outlive every start, to the process's end.
  static auto *parsed = new std::map<std::string, XtTranslations>;
  auto found = parsed->find(table);
  if (found != parsed->end()) return found->second;
  XtTranslations t = XtParseTranslationTable(table);
  if (!t) wutlogf(QEV_LOG_WARNING, "QEV.%s cannot be parsed.", resource);
  else parsed->emplace(table, t);
  return t;
}

}  // namespace

extern "C" {

wu_status wutidev(void) {
  if (!wu_x_ok()) return WU_INITFAIL;
  Display *dpy = devb->display;
  devb->font = LoadFont(devb->devres.font, "host text");
  if (!devb->font) {
    wutlogf(QEV_LOG_ERROR, "No display font can be loaded.");
    return WU_INITFAIL;
  }
  devb->bold_font = LoadFont(devb->devres.bold_font, "highlighted text");
  wutmfnt();
  XmFontListEntry entry =
      XmFontListEntryCreate(const_cast<char *>(XmFONTLIST_DEFAULT_TAG), XmFONT_IS_FONT, devb->font);
  devb->font_list = XmFontListAppendEntry(nullptr, entry);
  XmFontListEntryFree(&entry);

  const Pixel black = BlackPixel(dpy, devb->screen);
  const Pixel white = WhitePixel(dpy, devb->screen);
  devb->foreground = Colour(devb->devres.foreground, black);
  devb->background = Colour(devb->devres.background, white);
  devb->cursor_colour = Colour(devb->devres.cursor_colour, devb->foreground);
  devb->red_foreground = Colour(devb->devres.red_foreground, devb->foreground);
  for (int i = 1; i < WU_DM_COLOURS; ++i)
    devb->dm_pixel[i] = Colour(devb->devres.dm_colour[i], devb->foreground, devb->dm_rgb[i]);
  devb->icon_colours.foreground = Colour(devb->iconres.icon_foreground, black);
  devb->icon_colours.background = Colour(devb->iconres.icon_background, white);
  devb->icon_colours.select = Colour(devb->iconres.icon_select, devb->icon_colours.foreground);

  Window root = RootWindow(dpy, devb->screen);
  for (int i = 0; i < WU_STIPPLES; ++i)
    devb->stipple[i] = XCreateBitmapFromData(dpy, root, reinterpret_cast<const char *>(kStipple[i]), 4, 4);
  for (int i = 0; i < WU_CURSORS; ++i) devb->cursor[i] = XCreateFontCursor(dpy, kCursorShape[i]);

  devb->wm_protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
  devb->wm_delete_window = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
  devb->wm_state = XInternAtom(dpy, "WM_STATE", False);

  devb->text_keys = Parse(devb->appres.text_keys, "textKeyTranslations");
  devb->text_keys2 = Parse(devb->appres.text_keys2, "textKeyTranslations2");
  devb->control_translation = Parse(devb->appres.control_translation, "controlTranslation");
  XtAppAddActions(devb->app, popup_actions, XtNumber(popup_actions));
  devb->popup_translation = Parse(devb->motifres.popup_translation, "popupTranslation");
  return WU_OK;
}

Cardinal wu_shell_fonts(Arg *args, Cardinal n) {
  if (devb == nullptr || devb->font_list == nullptr) return n;
  XtSetArg(args[n], XmNbuttonFontList, devb->font_list); ++n;
  XtSetArg(args[n], XmNlabelFontList, devb->font_list); ++n;
  XtSetArg(args[n], XmNtextFontList, devb->font_list); ++n;
  return n;
}

void wutfdev(void) {
  if (!devb || !devb->display) return;
  Display *dpy = devb->display;
  // On a lost connection Xlib only releases its own memory here.
  if (devb->font_list) XmFontListFree(devb->font_list);
  devb->font_list = nullptr;
  if (devb->bold_font && devb->bold_font != devb->font) XFreeFont(dpy, devb->bold_font);
  if (devb->font) XFreeFont(dpy, devb->font);
  for (int i = 0; i < WU_STIPPLES; ++i)
    if (devb->stipple[i]) XFreePixmap(dpy, devb->stipple[i]);
  for (int i = 0; i < WU_CURSORS; ++i)
    if (devb->cursor[i]) XFreeCursor(dpy, devb->cursor[i]);
  devb->font = devb->bold_font = nullptr;
  std::memset(devb->stipple, 0, sizeof devb->stipple);
  std::memset(devb->cursor, 0, sizeof devb->cursor);
  // The parsed translation tables stay with Parse for the next start.
  devb->text_keys = devb->text_keys2 = nullptr;
  devb->control_translation = devb->popup_translation = nullptr;
}

Cursor wutgcsr(int32_t id) {
  if (!devb || id < 0 || id >= WU_CURSORS) return None;
  return devb->cursor[id];
}

}  // extern "C"
