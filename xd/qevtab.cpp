/*
 * XdTab: a bulletin-board subclass holding one drawing area ("TabDA") that
 * carries a row of tab buttons ("Title") and a stack of forms ("Page").
 * The current page is the one raised on top of the stack and the only one
 * in keyboard traversal; the outlines of the tabs and of the page frame
 * are drawn on the drawing area with the first tab's shadow colours.
 */
#include "xd/TabP.h"

#include "xd/qevutil.h"

#include <X11/IntrinsicP.h>
#include <Xm/DrawingA.h>
#include <Xm/Form.h>
#include <Xm/PrimitiveP.h>
#include <Xm/PushB.h>
#include <Xm/TraitP.h>
#include <Xm/TravConT.h>
#include <Xm/XmP.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

/* The cut of a tab's top corners beyond the outline thickness. */
constexpr int kCornerCut = 2;

#define TAB(w) (reinterpret_cast<XdTabWidget>(w)->tab)

struct TabConstraintRec {
  XmManagerConstraintPart manager;
  XmBulletinBoardConstraintPart bulletin_board;
};

XtResource resources[] = {
    {const_cast<char *>(XdNcurrentPage), const_cast<char *>(XdCCurrentPage),
     const_cast<char *>(XmRInt), sizeof(int), XtOffsetOf(XdTabRec, tab.current_page),
     const_cast<char *>(XmRImmediate), reinterpret_cast<XtPointer>(0)},
    {const_cast<char *>(XmNshadowThickness), const_cast<char *>(XmCShadowThickness),
     const_cast<char *>(XmRHorizontalDimension), sizeof(Dimension),
     XtOffsetOf(XdTabRec, tab.shadow_thickness), const_cast<char *>(XmRImmediate),
     reinterpret_cast<XtPointer>(2)},
    {const_cast<char *>(XdNpageCallback), const_cast<char *>(XmCCallback),
     const_cast<char *>(XmRCallback), sizeof(XtCallbackList),
     XtOffsetOf(XdTabRec, tab.page_callback), const_cast<char *>(XmRImmediate), nullptr},
    {const_cast<char *>(XmNfontList), const_cast<char *>(XmCFontList),
     const_cast<char *>(XmRFontList), sizeof(XmFontList), XtOffsetOf(XdTabRec, tab.font_list),
     const_cast<char *>(XmRImmediate), nullptr},
};

Dimension highlightOf(Widget w) {
  return reinterpret_cast<XmPrimitiveWidget>(w)->primitive.highlight_thickness;
}

/* Where the page stack starts. */
int pageY(Widget w) {
  XdTabPart &t = TAB(w);
  Widget first = t.buttons[0];
  return t.tab_margin + t.shadow_thickness + XtHeight(first) + 2 * highlightOf(first) +
         t.tab_margin;
}

void addSegment(std::vector<XSegment> &v, int x1, int y1, int x2, int y2) {
  v.push_back(XSegment{short(x1), short(y1), short(x2), short(y2)});
}

void drawSegments(Widget w, GC gc, const std::vector<XSegment> &segs) {
  if (segs.empty()) return;
  XdTabPart &t = TAB(w);
  /* Copied into the widget's own buffer, which is kept for the next time. */
  if (t.segment_slots < int(segs.size())) {
    t.segments = reinterpret_cast<XSegment *>(
        XtRealloc(reinterpret_cast<char *>(t.segments), Cardinal(segs.size() * sizeof(XSegment))));
    t.segment_slots = int(segs.size());
  }
  std::copy(segs.begin(), segs.end(), t.segments);
  XDrawSegments(XtDisplay(t.tab_area), XtWindow(t.tab_area), gc, t.segments, int(segs.size()));
}

void raiseCurrent(Widget w) {
  XdTabPart &t = TAB(w);
  if (t.current_page < 0 || t.current_page >= t.page_count) return;
  Widget page = t.pages[t.current_page];
  if (XtIsRealized(page)) {
    XRaiseWindow(XtDisplay(page), XtWindow(page));
    t.stacked = True;
  }
}

void drawOutlines(Widget w) {
  XdTabPart &t = TAB(w);
  if (!XtIsRealized(t.tab_area) || t.page_count == 0) return;
  if (!t.stacked) raiseCurrent(w);
  int W = XtWidth(w), H = XtHeight(w);
  int th = std::min<int>(t.shadow_thickness, std::min(W / 2, H / 2));
  if (th <= 0) return;
  Widget first = t.buttons[0];
  auto *prim = reinterpret_cast<XmPrimitiveWidget>(first);
  GC light = prim->primitive.top_shadow_GC, dark = prim->primitive.bottom_shadow_GC;
  const int s = t.shadow_thickness, d = s + highlightOf(first) + t.tab_spacing;
  const int cut = th + kCornerCut;
  const int x0 = s - th, y0 = pageY(w) - th, x1 = W - s + th - 1, y1 = H - s + th - 1;

  std::vector<XSegment> lights, darks;
  int gap_left = x1, gap_right = x1;  // the opening beneath the current tab
  for (int i = 0; i < t.page_count; ++i) {
    Widget b = t.buttons[i];
    const int L = XtX(b) - d, R = XtX(b) + XtWidth(b) + d - 1, T = XtY(b) - d;
    const bool current = i == t.current_page;
    const int bottom = current ? y0 + th - 1 : y0 - 1;
    if (current) {
      gap_left = L + th;
      gap_right = R - th;
    }
    for (int k = 0; k < th; ++k) {
      addSegment(lights, L + k, bottom, L + k, T + cut);
      addSegment(lights, L + k, T + cut, L + cut, T + k);
      addSegment(lights, L + cut, T + k, R - cut, T + k);
      addSegment(darks, R - cut, T + k, R - k, T + cut);
      addSegment(darks, R - k, T + cut, R - k, bottom);
    }
  }
  for (int k = 0; k < th; ++k) {
    const int y = y0 + k;
    if (gap_left > x0 + k) addSegment(lights, x0 + k, y, std::min(gap_left - 1, x1 - k), y);
    if (gap_right < x1 - k) addSegment(lights, std::max(gap_right + 1, x0 + k), y, x1 - k, y);
    addSegment(lights, x0 + k, y0 + k, x0 + k, y1 - k);
    addSegment(darks, x0 + k, y1 - k, x1 - k, y1 - k);
    addSegment(darks, x1 - k, y0 + k, x1 - k, y1 - k);
  }
  drawSegments(w, light, lights);
  drawSegments(w, dark, darks);
}

void redraw(Widget w) {
  XdTabPart &t = TAB(w);
  if (!XtIsRealized(t.tab_area)) return;
  XClearWindow(XtDisplay(t.tab_area), XtWindow(t.tab_area));
  drawOutlines(w);
}

/* Each tab's natural width, as its button asks for it. */
std::vector<int> naturalWidths(Widget w) {
  XdTabPart &t = TAB(w);
  std::vector<int> widths(size_t(t.page_count));
  for (int i = 0; i < t.page_count; ++i) {
    Widget b = t.buttons[i];
    XtWidgetGeometry pref = {};
    XtQueryGeometry(b, nullptr, &pref);
    widths[size_t(i)] = (pref.request_mode & CWWidth) ? pref.width : XtWidth(b);
  }
  return widths;
}

/* The room the tab row takes beside its tabs' own widths: the outline
   around each tab and the frame's edges at both ends. */
long rowFrame(Widget w) {
  XdTabPart &t = TAB(w);
  const int s = t.shadow_thickness, g = t.tab_spacing;
  long frame = s + (s + g + highlightOf(t.buttons[0]));
  for (int i = 1; i < t.page_count; ++i) frame += g + 2 * s + highlightOf(t.buttons[i]);
  return frame + s + highlightOf(t.buttons[t.page_count - 1]) + g;
}

void layout(Widget w) {
  XdTabPart &t = TAB(w);
  Dimension W = std::max<Dimension>(XtWidth(w), 1), H = std::max<Dimension>(XtHeight(w), 1);
  XtConfigureWidget(t.tab_area, 0, 0, W, H, 0);
  if (t.page_count > 0) {
    const int s = t.shadow_thickness, g = t.tab_spacing;
    Widget first = t.buttons[0];
    const int y = t.tab_margin + s + highlightOf(first);
    /* Each tab at its natural width; when the row is wider than the widget
       the tabs narrow alike, so that every tab stays within reach. */
    std::vector<int> widths = naturalWidths(w);
    long natural = 0, room = long(W) - rowFrame(w);
    for (int width : widths) natural += width;
    if (natural > room)
      for (int &width : widths)
        width = int(std::max(1L, width * std::max(room, long(t.page_count)) / natural));
    int x = s + g + highlightOf(first);
    for (int i = 0; i < t.page_count; ++i) {
      Widget b = t.buttons[i];
      if (i > 0) x += widths[size_t(i) - 1] + g + 2 * s + highlightOf(b);
      XtConfigureWidget(b, Position(x), Position(y), Dimension(widths[size_t(i)]), XtHeight(b),
                        b->core.border_width);
    }
    /* A page keeps the size it asked for until the widget has taken its
       own size from its pages: sized before, a page would answer the size
       it was given. */
    const int py = pageY(w);
    const int pw = std::max(1, int(W) - 2 * s), ph = std::max(1, int(H) - py - s);
    const bool size_pages = t.pages_sized || (t.width_given && t.height_given);
    for (int i = 0; i < t.page_count; ++i) {
      if (size_pages)
        XtConfigureWidget(t.pages[i], Position(s), Position(py), Dimension(pw), Dimension(ph), 0);
      else
        XtMoveWidget(t.pages[i], Position(s), Position(py));
    }
  }
  redraw(w);
}

/* The size that shows the whole tab row and the largest managed page as
   it asks to be; a width or height the program gave stays as it is. */
void preferredSize(Widget w, Dimension *width, Dimension *height) {
  XdTabPart &t = TAB(w);
  const int s = t.shadow_thickness;
  long pw = 2 * s, ph = 2 * s;
  if (t.page_count > 0) {
    long row = rowFrame(w), largest_w = 0, largest_h = 0;
    for (int natural : naturalWidths(w)) row += natural;
    for (int i = 0; i < t.page_count; ++i) {
      Widget page = t.pages[i];
      if (!XtIsManaged(page)) continue;
      XtWidgetGeometry pref = {};
      XtQueryGeometry(page, nullptr, &pref);
      largest_w = std::max<long>(largest_w, (pref.request_mode & CWWidth) ? pref.width : XtWidth(page));
      largest_h = std::max<long>(largest_h, (pref.request_mode & CWHeight) ? pref.height : XtHeight(page));
    }
    pw = std::max(row, largest_w + 2 * s);
    ph = pageY(w) + largest_h + s;
  }
  const long kMost = 32767;
  *width = t.width_given ? XtWidth(w) : Dimension(std::max(1L, std::min(pw, kMost)));
  *height = t.height_given ? XtHeight(w) : Dimension(std::max(1L, std::min(ph, kMost)));
}

/* A tab without a size of the program's asks its parent for the size that
   shows its tabs and pages.  False when the parent's answer (a resize
   callback of the program's) destroyed the widget. */
bool fitContents(Widget w) {
  XdTabPart &t = TAB(w);
  if (t.width_given && t.height_given) return true;
  Dimension pw = 0, ph = 0;
  preferredSize(w, &pw, &ph);
  if (pw == XtWidth(w) && ph == XtHeight(w)) return true;
  XdWidgetWatch watch(w);
  Dimension aw = 0, ah = 0;
  if (XtMakeResizeRequest(w, pw, ph, &aw, &ah) == XtGeometryAlmost && watch.alive())
    XtMakeResizeRequest(w, aw, ah, nullptr, nullptr);
  return watch.alive();
}

void setTraversal(Widget w) {
  XdTabPart &t = TAB(w);
  for (int i = 0; i < t.page_count; ++i) {
    Boolean on = i == t.current_page;
    if (reinterpret_cast<XmManagerWidget>(t.pages[i])->manager.traversal_on != on)
      XtVaSetValues(t.pages[i], XmNtraversalOn, on, NULL);
  }
}

void exposeCB(Widget, XtPointer client, XtPointer) { drawOutlines(static_cast<Widget>(client)); }

/* Calls the callback list `name` of `w` procedure by procedure from a copy,
   and stops once one of them destroyed `w` or the tab: out of a timer or the
   program's own code the toolkit frees a widget at once, and its own
   calling would go on in the freed list.  False when the tab is gone. */
bool callList(Widget tab, Widget w, const char *name, XtPointer call) {
  XtCallbackList list = nullptr;
  XtVaGetValues(w, name, &list, NULL);
  std::vector<XtCallbackRec> procs;
  for (; list && list->callback; ++list) procs.push_back(*list);
  XdWidgetWatch tab_watch(tab), watch(w);
  for (const XtCallbackRec &proc : procs) {
    proc.callback(w, proc.closure, call);
    if (!tab_watch.alive() || !watch.alive()) break;
  }
  return tab_watch.alive();
}

void tabActivateCB(Widget button, XtPointer client, XtPointer) {
  Widget w = static_cast<Widget>(client);
  XdTabPart &t = TAB(w);
  for (int i = 0; i < t.page_count; ++i)
    if (t.buttons[i] == button) {
      XdTabSetCurrentPage(w, i + 1, True);
      return;
    }
}

/* Focus arriving from outside the widget (or given at start-up) goes to
   the current tab; the keyboard then goes through the tabs and on into
   the current page without changing the page, and a click, Space or
   Return on a tab makes its page current. */
bool inside(Widget w, Widget child) {
  for (; child; child = XtParent(child))
    if (child == w) return true;
  return false;
}

Widget redirectTraversal(Widget old_focus, Widget new_focus, unsigned int, XmTraversalDirection direction,
                         unsigned int) {
  if (!new_focus || !XtParent(new_focus) || !XtParent(XtParent(new_focus))) return new_focus;
  Widget w = XtParent(XtParent(new_focus));
  if (!XdIsTab(w) || w->core.being_destroyed) return new_focus;
  XdTabPart &t = TAB(w);
  int index = -1;
  for (int i = 0; i < t.page_count; ++i)
    if (t.buttons[i] == new_focus) index = i;
  if (index < 0 || index == t.current_page || t.current_page >= t.page_count) return new_focus;
  if (direction == XmTRAVERSE_CURRENT) {
    XEvent *last = XtLastEventProcessed(XtDisplay(w));
    if (last && last->type == ButtonPress) return new_focus; /* a click: its activation follows */
  } else if (old_focus && inside(w, old_focus)) {
    return new_focus;
  }
  return t.buttons[t.current_page];
}

XmTraversalControlTraitRec traversal_control = {0, redirectTraversal};

XtTranslations tabKeys;

void ClassInitialize();

/* A page (or its tab) destroyed by the program leaves the tab set. */
void pageDestroyedCB(Widget gone, XtPointer client, XtPointer) {
  Widget w = static_cast<Widget>(client);
  if (w->core.being_destroyed) return; /* the whole widget goes */
  XdTabPart &t = TAB(w);
  for (int i = 0; i < t.page_count; ++i)
    if (t.pages[i] == gone || t.buttons[i] == gone) {
      _XdTabDeletePage(w, i + 1);
      return;
    }
}

void ClassPartInitialize(WidgetClass) {}

void Initialize(Widget request, Widget new_w, ArgList args, Cardinal *num_args) {
  XdTabPart &t = TAB(new_w);
  /* "shadowThickness" is the manager's resource too, and XtSetValues and
     XtGetValues reach the manager's field: the two are kept equal (the
     manager's own shadow is hidden under the tab area). */
  reinterpret_cast<XdTabWidget>(new_w)->manager.shadow_thickness = t.shadow_thickness;
  t.page_count = 0;
  t.tab_spacing = 0;
  t.tab_margin = 0;
  t.shadows_taken = False;
  t.buttons = nullptr;
  t.pages = nullptr;
  t.segments = nullptr;
  t.segment_slots = 0;
  t.stacked = False;
  t.pages_sized = False;
  t.fit_timer = 0;
  if (t.current_page < 0) t.current_page = 0;
  t.width_given = XtWidth(request) != 0;
  t.height_given = XtHeight(request) != 0;
  /* Until there are pages to show, the frame alone. */
  const Dimension frame = std::max<Dimension>(2 * t.shadow_thickness, 1);
  if (!t.width_given) new_w->core.width = frame;
  if (!t.height_given) new_w->core.height = frame;

  std::vector<Arg> da_args(args, args + *num_args);
  Arg a;
  XtSetArg(a, XmNtraversalOn, True); da_args.push_back(a);
  XtSetArg(a, XmNmarginWidth, 0); da_args.push_back(a);
  XtSetArg(a, XmNmarginHeight, 0); da_args.push_back(a);
  /* The tab area asks for room when a page grows: the widget hears of it. */
  XtSetArg(a, XmNresizePolicy, XmRESIZE_ANY); da_args.push_back(a);
  XtSetArg(a, XmNx, 0); da_args.push_back(a);
  XtSetArg(a, XmNy, 0); da_args.push_back(a);
  t.tab_area = XtCreateManagedWidget("TabDA", xmDrawingAreaWidgetClass, new_w, da_args.data(),
                                     Cardinal(da_args.size()));
  XtAddCallback(t.tab_area, XmNexposeCallback, exposeCB, new_w);
  _XdWidgetCreated(new_w, XdHOOK_TAB);
}

void Destroy(Widget w) {
  XdTabPart &t = TAB(w);
  if (t.fit_timer) XtRemoveTimeOut(t.fit_timer);
  XtFree(reinterpret_cast<char *>(t.buttons));
  XtFree(reinterpret_cast<char *>(t.pages));
  XtFree(reinterpret_cast<char *>(t.segments));
}

void Resize(Widget w) { layout(w); }

Boolean SetValues(Widget old_w, Widget, Widget new_w, ArgList, Cardinal *) {
  XdTabPart &o = TAB(old_w), &t = TAB(new_w);
  Dimension &shadow = reinterpret_cast<XdTabWidget>(new_w)->manager.shadow_thickness;
  if (shadow != reinterpret_cast<XdTabWidget>(old_w)->manager.shadow_thickness)
    t.shadow_thickness = shadow;
  else
    shadow = t.shadow_thickness;
  int wanted = -1;
  if (t.current_page != o.current_page) {
    int value = t.current_page;
    t.current_page = o.current_page;
    bool in_range = value >= 0 && (t.page_count > 0 ? value < t.page_count : value == 0);
    if (in_range)
      wanted = value;
    else
      XmeWarning(new_w, const_cast<char *>("Setting currentPage out of range.\n"));
  }
  if (t.font_list != o.font_list)
    for (int i = 0; i < t.page_count; ++i)
      XtVaSetValues(t.buttons[i], XmNfontList, t.font_list, NULL);
  /* New colours reach the tab area, the tabs and the pages that show the
     widget's; the outlines are drawn in the first tab's shadows. */
  const XdColours was = _XdManagerColours(old_w), now = _XdManagerColours(new_w);
  if (was != now) {
    _XdPassColours(t.tab_area, was, now);
    for (int i = 0; i < t.page_count; ++i) {
      _XdPassColours(t.buttons[i], was, now);
      _XdPassColours(t.pages[i], was, now);
    }
    redraw(new_w);
  }
  if (wanted >= 0 && t.page_count > 0) XdTabSetCurrentPage(new_w, wanted + 1, False);
  /* A size the program sets is its own from then on. */
  if (XtWidth(new_w) != XtWidth(old_w)) t.width_given = True;
  if (XtHeight(new_w) != XtHeight(old_w)) t.height_given = True;
  if (t.shadow_thickness != o.shadow_thickness || t.font_list != o.font_list) {
    /* Other tabs and frame: a size not given follows them (the toolkit
       asks the parent for it). */
    Dimension pw = 0, ph = 0;
    preferredSize(new_w, &pw, &ph);
    new_w->core.width = pw;
    new_w->core.height = ph;
    layout(new_w);
  }
  return True;
}

/* The size that shows the tab row and the largest page, or the size the
   program gave. */
XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry *request, XtWidgetGeometry *reply) {
  XdTrace("(QueryGeometry)\n");
  reply->request_mode = CWWidth | CWHeight;
  preferredSize(w, &reply->width, &reply->height);
  return XmeReplyToQueryGeometry(w, request, reply);
}

/* Once the event loop turns: the size that shows the pages as they are
   now, and the pages laid out in it. */
void fitLater(XtPointer client, XtIntervalId *) {
  Widget w = static_cast<Widget>(client);
  TAB(w).fit_timer = 0;
  /* A tab being destroyed (its timer goes with it only at the end of the
     event that destroys it) asks for no room. */
  if (w->core.being_destroyed) return;
  if (fitContents(w)) layout(w);
}

/* The tab area asks for room when a page asks it for more (its content
   grew) or when pages come and go.  The tab area itself always covers the
   widget: a tab without a size of the program's fits itself to its pages
   once the event loop turns, and lays them out. */
XtGeometryResult GeometryManager(Widget child, XtWidgetGeometry *request, XtWidgetGeometry *) {
  Widget w = XtParent(child);
  XdTabPart &t = TAB(w);
  if (child == t.tab_area && !(request->request_mode & XtCWQueryOnly) && t.pages_sized &&
      !(t.width_given && t.height_given) && !t.fit_timer && !w->core.being_destroyed)
    t.fit_timer = XtAppAddTimeOut(XtWidgetToApplicationContext(w), 0, fitLater, w);
  return XtGeometryNo;
}

void ChangeManaged(Widget w) {
  XdTabPart &t = TAB(w);
  if (!t.shadows_taken) {
    if (t.page_count > 0) {
      Widget first = t.buttons[0];
      t.shadow_thickness = reinterpret_cast<XmPrimitiveWidget>(first)->primitive.shadow_thickness;
      reinterpret_cast<XdTabWidget>(w)->manager.shadow_thickness = t.shadow_thickness;
      XtVaSetValues(first, XmNshadowThickness, 0, NULL);
    }
    t.shadows_taken = True;
  }
  if (!fitContents(w)) return;
  t.pages_sized = True;
  layout(w);
}

/* Arguments shared by a new tab button and its page. */
Cardinal commonArgs(Widget w, Arg *args) {
  XdTabPart &t = TAB(w);
  Widget da = t.tab_area;
  Cardinal n = 0;
  XtSetArg(args[n], XmNdepth, da->core.depth); ++n;
  XtSetArg(args[n], XmNcolormap, da->core.colormap); ++n;
  XtSetArg(args[n], XmNbackground, da->core.background_pixel); ++n;
  XtSetArg(args[n], XmNforeground, reinterpret_cast<XdTabWidget>(w)->manager.foreground); ++n;
  XtSetArg(args[n], XmNuserData, w); ++n;
  return n;
}

template <class T>
void insertAt(T *&array, int count, int index, T value) {
  array = reinterpret_cast<T *>(XtRealloc(reinterpret_cast<char *>(array),
                                          Cardinal((count + 1) * sizeof(T))));
  std::memmove(array + index + 1, array + index, size_t(count - index) * sizeof(T));
  array[index] = value;
}

template <class T>
void removeAt(T *array, int count, int index) {
  std::memmove(array + index, array + index + 1, size_t(count - index - 1) * sizeof(T));
}

}  // namespace

extern "C" {

XdTabClassRec xdTabClassRec = {
    /* core */
    {
        reinterpret_cast<WidgetClass>(&xmBulletinBoardClassRec), /* superclass */
        const_cast<char *>("XdTab"),                             /* class_name */
        sizeof(XdTabRec),                                        /* widget_size */
        ClassInitialize,                                         /* class_initialize */
        ClassPartInitialize,                                     /* class_part_initialize */
        False,                                                   /* class_inited */
        Initialize,                                              /* initialize */
        nullptr,                                                 /* initialize_hook */
        XtInheritRealize,                                        /* realize */
        nullptr,                                                 /* actions */
        0,                                                       /* num_actions */
        resources,                                               /* resources */
        XtNumber(resources),                                     /* num_resources */
        NULLQUARK,                                               /* xrm_class */
        True,                                                    /* compress_motion */
        XtExposeCompressMaximal,                                 /* compress_exposure */
        True,                                                    /* compress_enterleave */
        False,                                                   /* visible_interest */
        Destroy,                                                 /* destroy */
        Resize,                                                  /* resize */
        XtInheritExpose,                                         /* expose */
        SetValues,                                               /* set_values */
        nullptr,                                                 /* set_values_hook */
        XtInheritSetValuesAlmost,                                /* set_values_almost */
        nullptr,                                                 /* get_values_hook */
        nullptr,                                                 /* accept_focus */
        XtVersion,                                               /* version */
        nullptr,                                                 /* callback_private */
        XtInheritTranslations,                                   /* tm_table */
        QueryGeometry,                                           /* query_geometry */
        nullptr,                                                 /* display_accelerator */
        nullptr,                                                 /* extension */
    },
    /* composite */
    {
        GeometryManager,          /* geometry_manager */
        ChangeManaged,            /* change_managed */
        XtInheritInsertChild,     /* insert_child */
        XtInheritDeleteChild,     /* delete_child */
        nullptr,                  /* extension */
    },
    /* constraint */
    {
        nullptr,                  /* resources */
        0,                        /* num_resources */
        sizeof(TabConstraintRec), /* constraint_size */
        nullptr,                  /* initialize */
        nullptr,                  /* destroy */
        nullptr,                  /* set_values */
        nullptr,                  /* extension */
    },
    /* manager */
    {
        XmInheritTranslations, /* translations */
        nullptr,               /* syn_resources */
        0,                     /* num_syn_resources */
        nullptr,               /* syn_constraint_resources */
        0,                     /* num_syn_constraint_resources */
        XmInheritParentProcess, /* parent_process */
        nullptr,               /* extension */
    },
    /* bulletin board */
    {
        True,                     /* always_install_accelerators */
        XmInheritGeoMatrixCreate, /* geo_matrix_create */
        XmInheritFocusMovedProc,  /* focus_moved_proc */
        nullptr,                  /* extension */
    },
    /* tab */
    {
        nullptr, /* extension */
    },
};

WidgetClass xdTabWidgetClass = reinterpret_cast<WidgetClass>(&xdTabClassRec);

}  // extern "C"

namespace {
void ClassInitialize() {
  /* Return, like Space, activates a tab (a push button would hand it to
     the default button of its dialog). */
  tabKeys = XtParseTranslationTable(
      "~s ~m ~a <Key>Return: ArmAndActivate()\n"
      "<Key>osfActivate: ArmAndActivate()");
  XmeTraitSet(reinterpret_cast<XtPointer>(xdTabWidgetClass), XmQTtraversalControl, &traversal_control);
}
}  // namespace

extern "C" {

Widget XdCreateTab(Widget parent, char *name, ArgList args, Cardinal num_args) {
  return XtCreateWidget(name, xdTabWidgetClass, parent, args, num_args);
}

Widget XdTabAddPage(Widget w, XmString label, int position) {
  if (!w || !XdIsTab(w)) {
    if (w)
      XtAppWarning(XtWidgetToApplicationContext(w),
                   "You must pass an XdTab widget to XdTabAddPage()\n");
    else
      XtWarning("You must pass an XdTab widget to XdTabAddPage()\n");
    return nullptr;
  }
  XdTabPart &t = TAB(w);
  const int count = t.page_count;
  if (position < 0 || position > count + 1) {
    XmeWarning(w, const_cast<char *>("XdTabAddPage: page position out of range.\n"));
    return nullptr;
  }
  const int index = position == 0 ? count : position - 1;
  /* The page that was current stays current. */
  if (t.current_page < count && index <= t.current_page) ++t.current_page;

  Arg args[12];
  Cardinal n = commonArgs(w, args);
  /* Without a label the tab is blank, not titled with the widget's name. */
  static XmString blank = XmStringCreateLocalized(const_cast<char *>(""));
  XtSetArg(args[n], XmNlabelString, label ? label : blank); ++n;
  if (t.shadows_taken || count > 0) {
    XtSetArg(args[n], XmNshadowThickness, 0); ++n;
  }
  XtSetArg(args[n], XmNtraversalOn, True); ++n;
  XtSetArg(args[n], XmNnavigationType, XmTAB_GROUP); ++n;
  if (t.font_list) {
    XtSetArg(args[n], XmNfontList, t.font_list); ++n;
  }
  Widget button = XtCreateWidget("Title", xmPushButtonWidgetClass, t.tab_area, args, n);
  XtOverrideTranslations(button, tabKeys);
  XtAddCallback(button, XmNactivateCallback, tabActivateCB, w);
  XtAddCallback(button, XmNdestroyCallback, pageDestroyedCB, w);

  n = commonArgs(w, args);
  XtSetArg(args[n], XmNtraversalOn, index == t.current_page); ++n;
  if (t.font_list) {
    XtSetArg(args[n], XmNbuttonFontList, t.font_list); ++n;
    XtSetArg(args[n], XmNlabelFontList, t.font_list); ++n;
    XtSetArg(args[n], XmNtextFontList, t.font_list); ++n;
  }
  Widget page = XtCreateWidget("Page", xmFormWidgetClass, t.tab_area, args, n);
  XtAddCallback(page, XmNdestroyCallback, pageDestroyedCB, w);

  insertAt(t.buttons, count, index, button);
  insertAt(t.pages, count, index, page);
  t.page_count = count + 1;

  const bool realized = XtIsRealized(t.tab_area);
  if (realized) XtUnmapWidget(t.tab_area);
  XtManageChild(button);
  XtManageChild(page);
  /* Before realization the first layout of the managed children fits
     the widget to its pages; later a new tab may widen the row. */
  if (realized && !fitContents(w)) return nullptr;
  layout(w);
  if (realized) {
    raiseCurrent(w);
    XtMapWidget(t.tab_area);
  }
  return page;
}

void XdTabSetCurrentPage(Widget w, int page, Boolean notify) {
  if (!w || !XdIsTab(w) || w->core.being_destroyed) return;
  XdTabPart &t = TAB(w);
  if (page < 1 || page > t.page_count) return;
  if (page - 1 != t.current_page || !t.stacked) {
    t.current_page = page - 1;
    raiseCurrent(w);
    setTraversal(w);
  }
  /* Every call out below may destroy the widget, its pages or its parent
     (out of an event the toolkit defers that; out of a timer or the
     program's own code the widget is gone at once). */
  XdWidgetWatch watch(w);
  /* A focus box on another tab would read as the current one: the
     keyboard focus, when on a tab, goes along to the current tab. */
  Widget focus = XmGetFocusWidget(w);
  Widget current_tab = t.buttons[t.current_page];
  if (focus && focus != current_tab && XtParent(focus) == t.tab_area &&
      XmIsPushButton(focus)) {
    XmProcessTraversal(current_tab, XmTRAVERSE_CURRENT);
    if (!watch.alive()) return;
  }
  if (notify) {
    Widget shown = t.pages[t.current_page];
    XdWidgetWatch page_watch(shown);
    XdTabCallbackStruct cbs = {XmCR_ACTIVATE, nullptr, t.current_page + 1};
    if (!callList(w, w, XdNpageCallback, &cbs)) return;
    /* The page hears that it is shown while it still is: not once it is
       going, nor after the owner made another page current. */
    if (page_watch.alive() && t.current_page < t.page_count && t.pages[t.current_page] == shown) {
      XmAnyCallbackStruct map = {XmCR_ACTIVATE, nullptr};
      if (!callList(w, shown, XmNmapCallback, &map)) return;
    }
  }
  redraw(w);
}

Widget XdTabGetChild(Widget w, int child, int page) {
  if (!w || !XdIsTab(w)) return nullptr;
  XdTabPart &t = TAB(w);
  if (page < 1 || page > t.page_count) return nullptr;
  if (child == XdTAB_BUTTON) return t.buttons[page - 1];
  if (child == XdTAB_NONE) return nullptr;
  return t.pages[page - 1];
}

void _XdTabDeletePage(Widget w, int page) {
  if (!w || !XdIsTab(w)) return;
  XdTabPart &t = TAB(w);
  if (page < 1 || page > t.page_count) return;
  const int index = page - 1;
  Widget button = t.buttons[index], form = t.pages[index];
  removeAt(t.buttons, t.page_count, index);
  removeAt(t.pages, t.page_count, index);
  --t.page_count;
  /* The page's own destroy callbacks may take the whole widget along. */
  XdWidgetWatch watch(w);
  for (Widget gone : {button, form}) {
    XtRemoveCallback(gone, XmNdestroyCallback, pageDestroyedCB, w);
    if (!gone->core.being_destroyed) XtDestroyWidget(gone);
    if (!watch.alive()) return;
  }
  /* Another page going keeps the current one; the current one going hands
     over to the page that takes its place (or the new last page). */
  if (index < t.current_page) --t.current_page;
  t.current_page = std::max(0, std::min(t.current_page, t.page_count - 1));
  t.stacked = False;
  if (t.page_count > 0) {
    XdTabSetCurrentPage(w, t.current_page + 1, True);
    if (!watch.alive()) return;
    setTraversal(w);
  }
  layout(w);
}

}  // extern "C"
