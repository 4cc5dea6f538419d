// Host text and Motif compound strings, and the display fonts of widgets.
#include <X11/IntrinsicP.h>
#include <Xm/Xm.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/wuhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

// Fonts replaced by wumrfnt stay loaded until shut-down: widgets may still
// draw with copies of the old font list.
std::vector<XFontStruct *> g_retired_fonts;

bool DoubleByteMode() {
  const qev_gcb *g = wu_gcb();
  return g && g->multibyte;
}

void ApplyTree(Widget w, ArgList args, Cardinal count) {
  if (!w || w->core.being_destroyed) return;
  XtSetValues(w, args, count);
  if (XtIsComposite(w)) {
    WidgetList kids = nullptr;
    Cardinal n = 0;
    XtVaGetValues(w, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
    // The children may change while their fonts are set: copy the list.
    std::vector<Widget> copy(kids, kids + n);
    for (Widget k : copy) ApplyTree(k, args, count);
  }
  for (Cardinal i = 0; i < w->core.num_popups; ++i) ApplyTree(w->core.popup_list[i], args, count);
}

}  // namespace

extern "C" {

XmString wumcstr(const char *text) {
  return XmStringCreate(const_cast<char *>(text ? text : ""),
                        const_cast<char *>(XmFONTLIST_DEFAULT_TAG));
}

XmString wumcl2r(const char *text) {
  const char *t = text ? text : "";
  if (std::strchr(t, '\n') == nullptr) return wumcstr(t);
  // Each line feed ends a line segment: the toolkit's parse of the text
  // turns it into a separator.  (Joining line segments and separators one
  // by one loses a separator now and then in Motif's concatenation.)
  return XmStringGenerate(const_cast<char *>(t), const_cast<char *>(XmFONTLIST_DEFAULT_TAG),
                          XmCHARSET_TEXT, nullptr);
}

char *wumgstr(XmString string) {
  if (!string) return nullptr;
  // Separators come back as line feeds.
  static XmParseMapping newline = nullptr;
  if (!newline) {
    XmString sep = XmStringSeparatorCreate();
    Arg args[3];
    Cardinal n = 0;
    XtSetArg(args[n], XmNpattern, const_cast<char *>("\n")); n++;
    XtSetArg(args[n], XmNpatternType, XmCHARSET_TEXT); n++;
    XtSetArg(args[n], XmNsubstitute, sep); n++;
    newline = XmParseMappingCreate(args, n);
    XmStringFree(sep);
  }
  return static_cast<char *>(XmStringUnparse(string, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT,
                                             &newline, 1, XmOUTPUT_ALL));
}

int32_t wumgl2r(XmString string, char **text_out) {
  if (!text_out) return 1;
  char *text = wumgstr(string);
  *text_out = text ? text : XtNewString("");
  return 1;
}

XmString wumtstr(const char *label) {
  // In double-byte mode a mnemonic is shown as a parenthesised letter
  // after the label, such as "(F)".  With menu mnemonics turned off the
  // letter runs nothing, so the marker is dropped; otherwise it stays.
  if (!label || !DoubleByteMode() || !devb || devb->prefs.pmenu_mnemonics) return wumcstr(label);
  std::string text(label);
  for (size_t i = 0; i + 2 < text.size(); ++i) {
    if (text[i] == '(' && std::isalnum(static_cast<unsigned char>(text[i + 1])) &&
        text[i + 2] == ')') {
      text.erase(i, 3);
      break;
    }
  }
  return wumcstr(text.c_str());
}

void wumnlns(char *text) {
  if (!text) return;
  for (char *p = text; *p; ++p)
    if (*p == '@') *p = '\n';
}

wu_status wumffnt(Widget w, ArgList args, Cardinal count, int32_t) {
  if (!w || !args || count == 0) return WU_NOTAVAIL;
  ApplyTree(w, args, count);
  return WU_OK;
}

wu_status wumrfnt(const char *font_name, const char *bold_font_name) {
  if (!wu_x_ok() || !font_name || !*font_name) return WU_NOTAVAIL;
  XFontStruct *font = XLoadQueryFont(devb->display, font_name);
  if (!font) {
    wutlogf(QEV_LOG_ERROR, "Font \"%s\" not found.", font_name);
    return WU_NOTAVAIL;
  }
  XFontStruct *bold = (bold_font_name && *bold_font_name)
                          ? XLoadQueryFont(devb->display, bold_font_name)
                          : nullptr;
  if (!bold) bold = font;
  if (devb->bold_font && devb->bold_font != devb->font) g_retired_fonts.push_back(devb->bold_font);
  if (devb->font) g_retired_fonts.push_back(devb->font);
  devb->font = font;
  devb->bold_font = bold;
  XmFontListEntry entry =
      XmFontListEntryCreate(const_cast<char *>(XmFONTLIST_DEFAULT_TAG), XmFONT_IS_FONT, font);
  XmFontList list = XmFontListAppendEntry(nullptr, entry);
  XmFontListEntryFree(&entry);
  XmFontList old = devb->font_list;
  devb->font_list = list;
  wutmfnt();  // cell metrics of the new font

  Arg arg;
  XtSetArg(arg, XmNfontList, list);
  if (wu_state *state = wu_module())
    for (wu_window *win = state->newest; win; win = win->next)
      if (win->outer) ApplyTree(reinterpret_cast<Widget>(win->outer), &arg, 1);
  if (old) XmFontListFree(old);
  return WU_OK;
}

void wutfrfn(void) {
  if (devb && devb->display)
    for (XFontStruct *f : g_retired_fonts) XFreeFont(devb->display, f);
  g_retired_fonts.clear();
}

}  // extern "C"
