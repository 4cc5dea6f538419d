// QevPane: the character-cell text area of a host window pane.
#include "textwin/QevPaneP.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <cstring>

namespace {

#define PANE(w) (((QevPaneWidget)(w))->pane)

XtResource resources[] = {
    {(String)QevNpaneID, (String)QevCPaneID, XtRPointer, sizeof(XtPointer),
     XtOffsetOf(QevPaneRec, pane.pane_id), XtRImmediate, nullptr},
    {(String)QevNpaneCallback, (String)XmCCallback, XtRCallback, sizeof(XtCallbackList),
     XtOffsetOf(QevPaneRec, pane.pane_callback), XtRCallback, nullptr},
    {(String)QevNpaneFixedHeight, (String)QevCPaneFixedHeight, XtRDimension, sizeof(Dimension),
     XtOffsetOf(QevPaneRec, pane.fixed_height), XtRImmediate, (XtPointer)0},
    {(String)XmNfont, (String)XmCFont, XtRFontStruct, sizeof(XFontStruct *),
     XtOffsetOf(QevPaneRec, pane.font), XtRString, (XtPointer) "XtDefaultFont"},
    {(String)QevNcellWidth, (String)QevCCellSize, XtRDimension, sizeof(Dimension),
     XtOffsetOf(QevPaneRec, pane.cell_width), XtRImmediate, (XtPointer)0},
    {(String)QevNcellHeight, (String)QevCCellSize, XtRDimension, sizeof(Dimension),
     XtOffsetOf(QevPaneRec, pane.cell_height), XtRImmediate, (XtPointer)0},
    {(String)QevNcursorColor, (String)XtCForeground, XtRPixel, sizeof(Pixel),
     XtOffsetOf(QevPaneRec, pane.cursor_color), XtRString, (XtPointer) "XtDefaultForeground"},
};

void Select(Widget w, XEvent *event, String *, Cardinal *);

XtActionsRec actions[] = {
    {(String) "qev-pane-select", Select},
};

// Button 1 selects a cell; the manager's own enter, leave and focus actions
// keep Motif's keyboard traversal working for the children.
const char default_translations[] =
    "<Btn1Down>: qev-pane-select()\n"
    "<EnterWindow>: ManagerEnter()\n"
    "<LeaveWindow>: ManagerLeave()\n"
    "<FocusOut>: ManagerFocusOut()\n"
    "<FocusIn>: ManagerFocusIn()";

void ComputeCell(Widget w) {
  QevPanePart &p = PANE(w);
  XFontStruct *f = p.font;
  int fw = f ? f->max_bounds.width : 8;
  int fh = f ? f->ascent + f->descent : 13;
  p.cw = p.cell_width ? p.cell_width : Dimension(std::max(1, fw));
  p.ch = p.cell_height ? p.cell_height : Dimension(std::max(1, fh));
  // The baseline sits the font's ascent below the cell top, centred when the
  // cell is taller than the font.
  int ascent = f ? f->ascent : 10;
  p.ascent = ascent + std::max(0, (int(p.ch) - fh) / 2);
}

// Makes the grid match the widget's size, keeping the cells that still fit.
void FitGrid(Widget w) {
  QevPanePart &p = PANE(w);
  int rows = std::max(1, int(w->core.height) / int(p.ch));
  int cols = std::max(1, int(w->core.width) / int(p.cw));
  if (p.cells && rows == p.rows && cols == p.columns) return;
  QevPaneCell *cells = (QevPaneCell *)XtMalloc(sizeof(QevPaneCell) * size_t(rows) * size_t(cols));
  Pixel fg = ((QevPaneWidget)w)->manager.foreground;
  Pixel bg = w->core.background_pixel;
  for (int i = 0; i < rows * cols; ++i) cells[i] = QevPaneCell{' ', fg, bg};
  if (p.cells) {
    for (int r = 0; r < std::min(rows, p.rows); ++r)
      for (int c = 0; c < std::min(cols, p.columns); ++c)
        cells[r * cols + c] = p.cells[r * p.columns + c];
    XtFree((char *)p.cells);
  }
  p.cells = cells;
  p.rows = rows;
  p.columns = cols;
}

bool HasCursor(const QevPanePart &p, int row, int col) {
  return p.cursor_row > 0 && row == p.cursor_row && col == p.cursor_column;
}

// Draws cells [col0, col1) of a row (0-based), in runs of one colour pair.
// On an exposed area, which the server has just cleared to the window's
// background, runs of blanks on that background are already right.
void DrawRow(Widget w, int row, int col0, int col1, bool exposed = false) {
  QevPanePart &p = PANE(w);
  if (!XtIsRealized(w) || row < 0 || row >= p.rows) return;
  col0 = std::max(0, col0);
  col1 = std::min(p.columns, col1);
  Display *d = XtDisplay(w);
  char run[512];
  int c = col0;
  while (c < col1) {
    const QevPaneCell &first = p.cells[row * p.columns + c];
    bool cursor = HasCursor(p, row + 1, c + 1);
    Pixel fg = cursor ? first.bg : first.fg;
    Pixel bg = cursor ? p.cursor_color : first.bg;
    int n = 0;
    int start = c;
    while (c < col1 && n < int(sizeof run)) {
      const QevPaneCell &cell = p.cells[row * p.columns + c];
      bool cur = HasCursor(p, row + 1, c + 1);
      if (cur != cursor || (!cursor && (cell.fg != first.fg || cell.bg != first.bg))) break;
      run[n++] = cell.ch ? cell.ch : ' ';
      ++c;
      if (cursor) break;
    }
    if (exposed && !cursor && bg == w->core.background_pixel &&
        std::all_of(run, run + n, [](char ch) { return ch == ' '; }))
      continue;
    XSetForeground(d, p.gc, bg);
    XFillRectangle(d, XtWindow(w), p.gc, start * p.cw, row * p.ch, unsigned(n) * p.cw, p.ch);
    XSetForeground(d, p.gc, fg);
    XDrawString(d, XtWindow(w), p.gc, start * p.cw, row * p.ch + p.ascent, run, n);
  }
}

void Select(Widget w, XEvent *event, String *, Cardinal *) {
  QevPanePart &p = PANE(w);
  QevPaneCallbackStruct cb;
  cb.reason = XmCR_ACTIVATE;
  cb.event = event;
  cb.row = 1;
  cb.column = 1;
  if (event && (event->type == ButtonPress || event->type == ButtonRelease)) {
    cb.row = event->xbutton.y / int(p.ch) + 1;
    cb.column = event->xbutton.x / int(p.cw) + 1;
  }
  XtCallCallbackList(w, p.pane_callback, &cb);
}

void Initialize(Widget, Widget nw, ArgList, Cardinal *) {
  QevPanePart &p = PANE(nw);
  p.cells = nullptr;
  p.rows = p.columns = 0;
  p.cursor_row = p.cursor_column = 0;
  p.gc = nullptr;
  p.easels = nullptr;
  p.easel_count = p.easel_size = 0;
  ComputeCell(nw);
  if (nw->core.width == 0) nw->core.width = Dimension(p.cw * 10);
  if (nw->core.height == 0) nw->core.height = p.fixed_height ? p.fixed_height : p.ch;
  FitGrid(nw);
}

void Realize(Widget w, XtValueMask *mask, XSetWindowAttributes *attrs) {
  // The manager's realize creates the window; the pane draws with its own GC.
  (*xmManagerClassRec.core_class.realize)(w, mask, attrs);
  QevPanePart &p = PANE(w);
  XGCValues v;
  v.graphics_exposures = False;
  XtGCMask m = GCGraphicsExposures;
  if (p.font) {
    v.font = p.font->fid;
    m |= GCFont;
  }
  p.gc = XCreateGC(XtDisplay(w), XtWindow(w), m, &v);
}

void Destroy(Widget w) {
  QevPanePart &p = PANE(w);
  if (p.gc) XFreeGC(XtDisplay(w), p.gc);
  XtFree((char *)p.cells);
  XtFree((char *)p.easels);
}

void Resize(Widget w) { FitGrid(w); }

void Redisplay(Widget w, XEvent *event, Region region) {
  QevPanePart &p = PANE(w);
  if (!p.gc) return;
  int r0 = 0, r1 = p.rows, c0 = 0, c1 = p.columns;
  if (event && event->type == Expose) {
    r0 = event->xexpose.y / p.ch;
    r1 = (event->xexpose.y + event->xexpose.height + p.ch - 1) / p.ch;
    c0 = event->xexpose.x / p.cw;
    c1 = (event->xexpose.x + event->xexpose.width + p.cw - 1) / p.cw;
  }
  const bool exposed = event && event->type == Expose && w->core.background_pixmap == XtUnspecifiedPixmap;
  for (int r = r0; r < std::min(r1, p.rows); ++r) DrawRow(w, r, c0, c1, exposed);
  // Gadget children draw themselves through the manager.
  XmeRedisplayGadgets(w, event, region);
}

Boolean SetValues(Widget old, Widget, Widget nw, ArgList, Cardinal *) {
  QevPanePart &o = PANE(old);
  QevPanePart &n = PANE(nw);
  Boolean redraw = False;
  if (o.font != n.font || o.cell_width != n.cell_width || o.cell_height != n.cell_height) {
    ComputeCell(nw);
    if (n.gc && n.font) XSetFont(XtDisplay(nw), n.gc, n.font->fid);
    XtFree((char *)n.cells);
    n.cells = nullptr;
    FitGrid(nw);
    redraw = True;
  }
  if (o.fixed_height != n.fixed_height && n.fixed_height) nw->core.height = n.fixed_height;
  if (o.cursor_color != n.cursor_color) redraw = True;
  return redraw;
}

XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry *, XtWidgetGeometry *answer) {
  QevPanePart &p = PANE(w);
  if (!p.fixed_height) return XtGeometryYes;
  answer->request_mode = CWHeight;
  answer->height = p.fixed_height;
  return XtGeometryAlmost;
}

// Children sit where they are put: every request is granted as asked.
XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry *req, XtWidgetGeometry *) {
  if (req->request_mode & XtCWQueryOnly) return XtGeometryYes;
  if (req->request_mode & CWX) child->core.x = req->x;
  if (req->request_mode & CWY) child->core.y = req->y;
  if (req->request_mode & CWWidth) child->core.width = req->width;
  if (req->request_mode & CWHeight) child->core.height = req->height;
  if (req->request_mode & CWBorderWidth) child->core.border_width = req->border_width;
  return XtGeometryYes;
}

// The toolkit's navigation check after a change of managed children moves
// the keyboard focus when its widget can no longer take it, and asks the
// server for the focus widget's window tree each time: a round trip for
// every control made or released.  Changes among the pane's children can
// only take the focus from a widget inside the pane, so the check runs
// when the focus lies there (or nowhere yet) and is skipped otherwise.
bool FocusInside(Widget pane) {
  Widget focus = XmGetFocusWidget(pane);
  if (focus == nullptr) return true;
  for (Widget w = focus; w != nullptr; w = XtParent(w))
    if (w == pane) return true;
  return false;
}

void ChangeManaged(Widget w) {
  if (FocusInside(w)) XmeNavigChangeManaged(w);
}

}  // namespace

extern "C" {

QevPaneClassRec qevPaneClassRec = {
    {
        /* superclass */ (WidgetClass)&xmManagerClassRec,
        /* class_name */ (String) "QevPane",
        /* widget_size */ sizeof(QevPaneRec),
        /* class_initialize */ nullptr,
        /* class_part_initialize */ nullptr,
        /* class_inited */ False,
        /* initialize */ Initialize,
        /* initialize_hook */ nullptr,
        /* realize */ Realize,
        /* actions */ actions,
        /* num_actions */ XtNumber(actions),
        /* resources */ resources,
        /* num_resources */ XtNumber(resources),
        /* xrm_class */ NULLQUARK,
        /* compress_motion */ True,
        // Each exposure is drawn as it comes, from its bounding rectangle:
        // gathering them from the queue into a region costs more, for the
        // many small exposures of controls going, than drawing them.
        /* compress_exposure */ XtExposeCompressSeries | XtExposeNoRegion,
        /* compress_enterleave */ True,
        /* visible_interest */ False,
        /* destroy */ Destroy,
        /* resize */ Resize,
        /* expose */ Redisplay,
        /* set_values */ SetValues,
        /* set_values_hook */ nullptr,
        /* set_values_almost */ XtInheritSetValuesAlmost,
        /* get_values_hook */ nullptr,
        /* accept_focus */ nullptr,
        /* version */ XtVersion,
        /* callback_private */ nullptr,
        /* tm_table */ (String)default_translations,
        /* query_geometry */ QueryGeometry,
        /* display_accelerator */ nullptr,
        /* extension */ nullptr,
    },
    {
        /* geometry_manager */ GeometryManager,
        /* change_managed */ ChangeManaged,
        /* insert_child */ XtInheritInsertChild,
        /* delete_child */ XtInheritDeleteChild,
        /* extension */ nullptr,
    },
    {
        /* resources */ nullptr,
        /* num_resources */ 0,
        /* constraint_size */ 0,
        /* initialize */ nullptr,
        /* destroy */ nullptr,
        /* set_values */ nullptr,
        /* extension */ nullptr,
    },
    {
        /* translations */ XtInheritTranslations,
        /* syn_resources */ nullptr,
        /* num_syn_resources */ 0,
        /* syn_constraint_resources */ nullptr,
        /* num_syn_constraint_resources */ 0,
        /* parent_process */ XmInheritParentProcess,
        /* extension */ nullptr,
    },
    {
        /* extension */ nullptr,
    },
};

WidgetClass qevPaneWidgetClass = (WidgetClass)&qevPaneClassRec;

Widget QevCreatePane(Widget parent, const char *name, ArgList args, Cardinal count) {
  return XtCreateWidget(name, qevPaneWidgetClass, parent, args, count);
}

void QevPaneDrawText(Widget w, int row, int column, const char *text, int length,
                     Pixel foreground, Pixel background) {
  if (!w || !QevIsPane(w) || !text || length <= 0) return;
  QevPanePart &p = PANE(w);
  if (row < 1 || row > p.rows || column > p.columns) return;
  int skip = column < 1 ? 1 - column : 0;   // characters left of column 1 are cut
  int c0 = column - 1 + skip;
  int n = std::min(length - skip, p.columns - c0);
  if (n <= 0) return;
  for (int i = 0; i < n; ++i) {
    unsigned char ch = (unsigned char)text[skip + i];
    p.cells[(row - 1) * p.columns + c0 + i] =
        QevPaneCell{char(ch < ' ' ? ' ' : ch), foreground, background};
  }
  DrawRow(w, row - 1, c0, c0 + n);
}

void QevPaneErase(Widget w, int row, int column, int rows, int columns) {
  if (!w || !QevIsPane(w) || rows <= 0 || columns <= 0) return;
  QevPanePart &p = PANE(w);
  Pixel fg = ((QevPaneWidget)w)->manager.foreground;
  Pixel bg = w->core.background_pixel;
  // The far edge is taken wide: a host count near INT_MAX must not wrap.
  int r0 = std::max(1, row), r1 = int(std::min<long long>(p.rows, (long long)row + rows - 1));
  int c0 = std::max(1, column),
      c1 = int(std::min<long long>(p.columns, (long long)column + columns - 1));
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) p.cells[(r - 1) * p.columns + c - 1] = QevPaneCell{' ', fg, bg};
    DrawRow(w, r - 1, c0 - 1, c1);
  }
}

int QevPaneGetText(Widget w, int row, int column, char *buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!w || !QevIsPane(w)) return 0;
  QevPanePart &p = PANE(w);
  if (row < 1 || row > p.rows || column < 1 || column > p.columns) return 0;
  int n = std::min(size - 1, p.columns - column + 1);
  for (int i = 0; i < n; ++i) buffer[i] = p.cells[(row - 1) * p.columns + column - 1 + i].ch;
  buffer[n] = '\0';
  return n;
}

void QevPaneSetCursor(Widget w, int row, int column) {
  if (!w || !QevIsPane(w)) return;
  QevPanePart &p = PANE(w);
  int old_row = p.cursor_row, old_col = p.cursor_column;
  p.cursor_row = row > 0 ? row : 0;
  p.cursor_column = column;
  if (old_row > 0) DrawRow(w, old_row - 1, old_col - 1, old_col);
  if (p.cursor_row > 0) DrawRow(w, p.cursor_row - 1, column - 1, column);
}

void QevPaneGetGrid(Widget w, int *rows, int *columns) {
  bool pane = w && QevIsPane(w);
  if (rows) *rows = pane ? PANE(w).rows : 0;
  if (columns) *columns = pane ? PANE(w).columns : 0;
}

void QevPaneAddEasel(Widget w, Widget easel) {
  if (!w || !QevIsPane(w) || !easel) return;
  QevPanePart &p = PANE(w);
  if (p.easel_count == p.easel_size) {
    p.easel_size = p.easel_size ? p.easel_size * 2 : 4;
    p.easels = (WidgetList)XtRealloc((char *)p.easels, sizeof(Widget) * size_t(p.easel_size));
  }
  p.easels[p.easel_count++] = easel;
}

void QevPaneRemoveEasel(Widget w, Widget easel) {
  if (!w || !QevIsPane(w)) return;
  QevPanePart &p = PANE(w);
  for (int i = 0; i < p.easel_count; ++i) {
    if (p.easels[i] != easel) continue;
    std::memmove(&p.easels[i], &p.easels[i + 1], sizeof(Widget) * size_t(p.easel_count - i - 1));
    --p.easel_count;
    return;
  }
}

int QevPaneGetEasels(Widget w, WidgetList *list) {
  if (!w || !QevIsPane(w)) {
    if (list) *list = nullptr;
    return -1;
  }
  if (list) *list = PANE(w).easels;
  return PANE(w).easel_count;
}

}  // extern "C"
