// Example rows for the icon list widgets: texts, small coloured icons and
// ids, shared by the tests, the benchmark and the demo's list example.
#pragma once

#include "xd/IconList.h"
#include "xd/MCIconList.h"

#include <Xm/Form.h>
#include <Xm/Xm.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace xdlistdata {

// A solid square icon of the given size and colour (0xRRGGBB) for the
// screen's default visual.
inline Pixmap makeIcon(Display *dpy, unsigned size, unsigned long rgb) {
  int scr = DefaultScreen(dpy);
  Pixmap pm = XCreatePixmap(dpy, RootWindow(dpy, scr), size, size, DefaultDepth(dpy, scr));
  XColor c;
  c.red = static_cast<unsigned short>(((rgb >> 16) & 0xff) * 257);
  c.green = static_cast<unsigned short>(((rgb >> 8) & 0xff) * 257);
  c.blue = static_cast<unsigned short>((rgb & 0xff) * 257);
  c.flags = DoRed | DoGreen | DoBlue;
  XAllocColor(dpy, DefaultColormap(dpy, scr), &c);
  GC gc = XCreateGC(dpy, pm, 0, nullptr);
  XSetForeground(dpy, gc, c.pixel);
  XFillRectangle(dpy, pm, gc, 0, 0, size, size);
  XFreeGC(dpy, gc);
  return pm;
}

// Words used to build row texts that sort differently per column.
inline const char *word(int i) {
  static const char *const words[] = {"apple", "Banana", "cherry", "date", "Elder",
                                      "fig",   "grape",  "Hazel",  "iris", "juniper"};
  return words[i % 10];
}

// Rows with one text per column, an icon (cycling through `icons`) and an
// id per row.  Strings are owned by the set.
struct RowSet {
  int rows = 0, columns = 0;
  std::vector<std::vector<XmString>> text;  // [column][row]
  std::vector<Pixmap> icons;
  std::vector<int32_t> ids;

  RowSet() = default;
  RowSet(const RowSet &) = delete;
  RowSet &operator=(const RowSet &) = delete;
  ~RowSet() {
    for (auto &col : text)
      for (XmString s : col) XmStringFree(s);
  }
  // XmString arrays per column, as the multi-column list takes them.
  std::vector<XmString *> columnArrays() {
    std::vector<XmString *> out;
    for (auto &col : text) out.push_back(col.data());
    return out;
  }
};

// Fills `set` with n rows of `columns` texts: column 0 "<word> <n>",
// column 1 a number (pseudo-random, with repeats), further columns words.
inline void makeRows(RowSet &set, int n, int columns, const std::vector<Pixmap> &iconSet) {
  set.rows = n;
  set.columns = columns;
  set.text.assign(columns, std::vector<XmString>());
  char buf[64];
  unsigned seed = 12345;
  for (int c = 0; c < columns; ++c) set.text[c].reserve(n);
  for (int r = 0; r < n; ++r) {
    seed = seed * 1103515245u + 12345u;
    for (int c = 0; c < columns; ++c) {
      if (c == 0)
        std::snprintf(buf, sizeof buf, "%s %06d", word(r * 7 + 3), r);
      else if (c == 1)
        std::snprintf(buf, sizeof buf, "%u", (seed >> 8) % 5000);
      else
        std::snprintf(buf, sizeof buf, "%s-%d", word((seed >> (4 + c)) % 10), c);
      set.text[c].push_back(XmStringCreateLocalized(buf));
    }
    set.icons.push_back(iconSet.empty() ? 0 : iconSet[r % iconSet.size()]);
    set.ids.push_back(1000 + r);
  }
}

// The list example: a form holding a scrolled icon list (left) and a
// four-column list (right), both filled with `rows` rows with icons.  The
// second column of the multi-column list sorts numerically, the others by
// text; every header sorts.  The icons are freed with the form.
inline double numericKey(char *text, int) { return std::atof(text); }

inline Widget buildExample(Widget parent, int rows) {
  Display *dpy = XtDisplay(parent);
  auto *iconSet = new std::vector<Pixmap>{makeIcon(dpy, 16, 0xd03030), makeIcon(dpy, 16, 0x30a030),
                                          makeIcon(dpy, 16, 0x3050d0), makeIcon(dpy, 16, 0xc0a020)};
  Widget form = XtVaCreateManagedWidget("listExample", xmFormWidgetClass, parent, XmNwidth, 900,
                                        XmNheight, 500, nullptr);
  XtAddCallback(form, XmNdestroyCallback,
                [](Widget w, XtPointer closure, XtPointer) {
                  auto *set = static_cast<std::vector<Pixmap> *>(closure);
                  for (Pixmap p : *set) XFreePixmap(XtDisplay(w), p);
                  delete set;
                },
                iconSet);
  RowSet data;
  makeRows(data, rows, 4, *iconSet);

  Arg a[6];
  int n = 0;
  XtSetArg(a[n], XmNselectionPolicy, XmEXTENDED_SELECT); ++n;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNwidth, 260); ++n;
  XtSetArg(a[n], XmNvisibleItemCount, 20); ++n;
  Widget icons = XdCreateScrolledIconList(form, const_cast<char *>("icons"), a, n);
  XdIconListAddItems(icons, data.icons.data(), data.text[0].data(), data.ids.data(), rows, 0);
  XtManageChild(icons);

  n = 0;
  XtSetArg(a[n], XdNcolumnCount, 0); ++n;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_WIDGET); ++n;
  XtSetArg(a[n], XmNleftWidget, icons); ++n;
  Widget mc = XdCreateMCIconList(form, const_cast<char *>("columns"), a, n);
  const char *titles[] = {"Name", "Size", "Kind", "Group"};
  for (int c = 0; c < 4; ++c) {
    XmString t = XmStringCreateLocalized(const_cast<char *>(titles[c]));
    XdMCIconListAddColumn(mc, t, c == 0 ? 180 : 120, 0, c, 1, c == 1 ? numericKey : nullptr);
    XmStringFree(t);
  }
  std::vector<XmString *> cols = data.columnArrays();
  XdMCIconListAddItems(mc, data.icons.data(), cols.data(), data.ids.data(), rows, 0);
  XtManageChild(mc);
  return form;
}

}  // namespace xdlistdata
