/*
 * XdIconList: an XmList beside an icon column inside an inset frame.
 *
 * The list keeps the texts and the selection; the widget keeps one icon and
 * one id per row in arrays parallel to the list's items, paints the icons of
 * the visible rows into the icon column, turns clicks in the icon column
 * into selections by the list's policy, and forwards the list's selection
 * callbacks to its own lists.  The scrolled variant adds two scroll bars of
 * its own and keyboard paging that moves them.
 */
#include "xd/IconListP.h"
#include "xd/qevutil.h"

#include <Xm/BaseClassP.h>
#include <Xm/DrawP.h>
#include <Xm/DrawingA.h>
#include <Xm/ListP.h>
#include <Xm/PrimitiveP.h>
#include <Xm/ScrollBar.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

extern "C" {
/* Motif's own focus handling of primitives and the focus policy lookup;
   exported by libXm without a public declaration. */
void _XmPrimitiveFocusIn(Widget w, XEvent *event, String *params, Cardinal *num_params);
void _XmPrimitiveFocusOut(Widget w, XEvent *event, String *params, Cardinal *num_params);
unsigned char _XmGetFocusPolicy(Widget w);
/* The picture an insensitive label shows for a pixmap (a new pixmap). */
Pixmap _XmConvertToBW(Widget w, Pixmap pixmap);
}

namespace {
void EdgeKeys(Widget list, XtPointer closure, XEvent *event, Boolean *cont);
}

/* The icons as an insensitive label shows them, made once for each icon
   while the list is insensitive. */
struct XdGreyIcons {
  std::map<Pixmap, Pixmap> made;
};

namespace {

/* Icons up to this height fit the list's own row pitch. */
const unsigned kPlainIconHeight = 16;
/* Extra argument slots added to the caller's creation arguments. */
const Cardinal kExtraArgs = 10;

#define OFF(field) XtOffsetOf(XdIconListRec, icon_list.field)

XtResource resources[] = {
    {(String)XdNstringItems, (String)XdCStringItems, (String)XdRStringTable, sizeof(XmString *),
     OFF(string_items), XmRImmediate, nullptr},
    {(String)XdNiconItems, (String)XdCIconItems, (String)XdRIconItems, sizeof(Pixmap *),
     OFF(icon_items), XmRImmediate, nullptr},
    {(String)XdNitemCount, (String)XdCItemCount, (String)XmRInt, sizeof(int), OFF(item_count),
     XmRImmediate, (XtPointer)0},
    {(String)XdNids, (String)XdCIds, (String)XdRIds, sizeof(int32_t *), OFF(ids), XmRImmediate,
     nullptr},
    {(String)XdNiconMarginWidth, (String)XdCIconMarginWidth, (String)XmRHorizontalDimension,
     sizeof(Dimension), OFF(icon_margin_width), XmRImmediate, (XtPointer)2},
    {(String)XmNselectionPolicy, (String)XmCSelectionPolicy, (String)XmRSelectionPolicy,
     sizeof(unsigned char), OFF(selection_policy), XmRImmediate, (XtPointer)XmBROWSE_SELECT},
    {(String)XmNbrowseSelectionCallback, (String)XmCCallback, (String)XmRCallback,
     sizeof(XtCallbackList), OFF(browse_callback), XmRImmediate, nullptr},
    {(String)XmNdefaultActionCallback, (String)XmCCallback, (String)XmRCallback,
     sizeof(XtCallbackList), OFF(default_action_callback), XmRImmediate, nullptr},
    {(String)XmNextendedSelectionCallback, (String)XmCCallback, (String)XmRCallback,
     sizeof(XtCallbackList), OFF(extended_callback), XmRImmediate, nullptr},
    {(String)XmNmultipleSelectionCallback, (String)XmCCallback, (String)XmRCallback,
     sizeof(XtCallbackList), OFF(multiple_callback), XmRImmediate, nullptr},
    {(String)XmNsingleSelectionCallback, (String)XmCCallback, (String)XmRCallback,
     sizeof(XtCallbackList), OFF(single_callback), XmRImmediate, nullptr},
    {(String)XdNdragCallback, (String)XmCCallback, (String)XmRCallback, sizeof(XtCallbackList),
     OFF(drag_callback), XmRImmediate, nullptr},
    {(String)XdNpostMenuCallback, (String)XmCCallback, (String)XmRCallback,
     sizeof(XtCallbackList), OFF(post_menu_callback), XmRImmediate, nullptr},
};
#undef OFF

void ClassInitialize();
void ClassPartInitialize(WidgetClass wc);
void Initialize(Widget req, Widget neww, ArgList args, Cardinal *num_args);
void Destroy(Widget w);
void Resize(Widget w);
Boolean SetValues(Widget cur, Widget req, Widget neww, ArgList args, Cardinal *num_args);
XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry *req, XtWidgetGeometry *reply);
void ChangeManaged(Widget w);

void ActNothing(Widget, XEvent *, String *, Cardinal *) {}
void ActLeftPage(Widget, XEvent *, String *, Cardinal *) { XdTrace("(IconListLeftPage)\n"); }
void ActRightPage(Widget, XEvent *, String *, Cardinal *) { XdTrace("(IconListRightPage)\n"); }
void ActFocusIn(Widget w, XEvent *event, String *params, Cardinal *num_params);
void ActFocusOut(Widget w, XEvent *event, String *params, Cardinal *num_params);

XtActionsRec actions[] = {
    {(String) "IconListExtendPrevItem", ActNothing},
    {(String) "IconListPrevItem", XdIconListNormalPrevElement},
    {(String) "IconListExtendNextItem", ActNothing},
    {(String) "IconListNextItem", XdIconListNormalNextElement},
    {(String) "IconListLeftPage", ActLeftPage},
    {(String) "IconListRightPage", ActRightPage},
    {(String) "IconListPrevPage", XdIconListPrevPage},
    {(String) "IconListNextPage", XdIconListNextPage},
    {(String) "IconListFocusIn", ActFocusIn},
    {(String) "IconListFocusOut", ActFocusOut},
};

const char iconColumnKeys[] = "Ctrl<Btn1Down>: DrawingAreaInput()";

const char scrolledKeys[] =
    "Shift<Key>osfUp: IconListExtendPrevItem()\n"
    "~Shift<Key>osfUp: IconListPrevItem()\n"
    "Shift<Key>osfDown: IconListExtendNextItem()\n"
    "~Shift<Key>osfDown: IconListNextItem()\n"
    "Ctrl<Key>osfPageUp: IconListLeftPage()\n"
    "~Ctrl<Key>osfPageUp: IconListPrevPage()\n"
    "Ctrl<Key>osfPageDown: IconListRightPage()\n"
    "~Ctrl<Key>osfPageDown: IconListNextPage()";

/* Both tables are parsed once per process: Xt keeps the tables merged with
   a widget's own under the parsed table's identity, so a table parsed for
   every list would make a new merged table, kept for good, for each. */
XtTranslations iconColumnTranslations, scrolledTranslations;

}  // namespace

extern "C" {
XdIconListClassRec xdIconListClassRec = {
    {
        /* core */
        (WidgetClass)&xmBulletinBoardClassRec, /* superclass */
        (String) "XdIconList",                 /* class_name */
        sizeof(XdIconListRec),                 /* widget_size */
        ClassInitialize,                       /* class_initialize */
        ClassPartInitialize,                   /* class_part_initialize */
        False,                                 /* class_inited */
        Initialize,                            /* initialize */
        nullptr,                               /* initialize_hook */
        XtInheritRealize,                      /* realize */
        actions,                               /* actions */
        XtNumber(actions),                     /* num_actions */
        resources,                             /* resources */
        XtNumber(resources),                   /* num_resources */
        NULLQUARK,                             /* xrm_class */
        True,                                  /* compress_motion */
        XtExposeCompressMaximal,               /* compress_exposure */
        True,                                  /* compress_enterleave */
        False,                                 /* visible_interest */
        Destroy,                               /* destroy */
        Resize,                                /* resize */
        XtInheritExpose,                       /* expose */
        SetValues,                             /* set_values */
        nullptr,                               /* set_values_hook */
        XtInheritSetValuesAlmost,              /* set_values_almost */
        nullptr,                               /* get_values_hook */
        XtInheritAcceptFocus,                  /* accept_focus */
        XtVersion,                             /* version */
        nullptr,                               /* callback_private */
        XtInheritTranslations,                 /* tm_table */
        QueryGeometry,                         /* query_geometry */
        XtInheritDisplayAccelerator,           /* display_accelerator */
        nullptr,                               /* extension */
    },
    {
        /* composite */
        XtInheritGeometryManager, ChangeManaged, XtInheritInsertChild, XtInheritDeleteChild,
        nullptr,
    },
    {
        /* constraint: the bulletin board's, sized in ClassInitialize */
        nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr,
    },
    {
        /* manager */
        XtInheritTranslations, nullptr, 0, nullptr, 0, XmInheritParentProcess, nullptr,
    },
    {
        /* bulletin board */
        True, nullptr, XmInheritFocusMovedProc, nullptr,
    },
    {
        /* icon list */
        nullptr,
    },
};

WidgetClass xdIconListWidgetClass = (WidgetClass)&xdIconListClassRec;
}

namespace {

using ILW = XdIconListWidget;

inline XmListWidget L(ILW ilw) { return reinterpret_cast<XmListWidget>(ilw->icon_list.list); }
inline int Count(ILW ilw) { return L(ilw)->list.itemCount; }
inline int Top(ILW ilw) { return L(ilw)->list.top_position; } /* 0-based */
inline int Visible(ILW ilw) { return L(ilw)->list.visibleItemCount; }
inline bool InRange(ILW ilw, int pos) { return pos >= 1 && pos <= Count(ilw); }

ILW Cast(Widget w) {
  if (!w || !XtIsSubclass(w, xdIconListWidgetClass)) return nullptr;
  return reinterpret_cast<ILW>(w);
}

/* Motif keeps a compound string of one segment with at most 255 bytes of
   text in a compact form: the two low bits of its first byte are 0 and its
   second byte is the text's byte count.  Reading that count costs nothing,
   where asking the string its length costs hundreds of instructions a row.
   The form is checked once on strings made here; when it does not hold,
   every string is asked. */
bool CompactFormKnown() {
  static int known = -1;
  if (known < 0) {
    XmString shortOne = XmStringCreateLocalized(const_cast<char *>("xy"));
    std::string text(300, 'x');
    XmString longOne = XmStringCreateLocalized(const_cast<char *>(text.c_str()));
    const unsigned char *a = reinterpret_cast<const unsigned char *>(shortOne);
    const unsigned char *b = reinterpret_cast<const unsigned char *>(longOne);
    known = a && b && (a[0] & 3) == 0 && a[1] == 2 && (b[0] & 3) != 0;
    XmStringFree(shortOne);
    XmStringFree(longOne);
  }
  return known == 1;
}

/* At least the byte count of an item's text. */
unsigned TextBound(XmString item, bool compact) {
  const unsigned char *b = reinterpret_cast<const unsigned char *>(item);
  if (compact && (b[0] & 3) == 0) return b[1];
  return unsigned(XmStringLength(item));
}

/* The widest character of a list's font; for a font without character
   metrics at hand, twice the row height. */
int WidestChar(XmListWidget l) {
  XFontStruct *fs = nullptr;
  if (l->list.font && XmeRenderTableGetDefaultFont(l->list.font, &fs) && fs && fs->max_bounds.width > 0)
    return fs->max_bounds.width;
  return std::max(2 * int(l->list.MaxItemHeight), 1);
}

void ClassInitialize() {
  _XdRegisterConverters();
  xdIconListClassRec.constraint_class.constraint_size =
      xmBulletinBoardClassRec.constraint_class.constraint_size;
  iconColumnTranslations = XtParseTranslationTable(iconColumnKeys);
  (void)CompactFormKnown();
  scrolledTranslations = XtParseTranslationTable(scrolledKeys);
}

/* The class and its subclasses answer Motif's quick bulletin-board test. */
void ClassPartInitialize(WidgetClass wc) { _XmFastSubclassInit(wc, XmBULLETIN_BOARD_BIT); }

/* ---- row arrays ---------------------------------------------------- */

/* Makes room for n slots in whichever arrays exist (or are wanted). */
void Reserve(ILW ilw, int n, bool want_icons, bool want_ids) {
  XdIconListPart &p = ilw->icon_list;
  int have = Count(ilw);
  if (n > p.array_capacity) {
    int cap = std::max(n, p.array_capacity + p.array_capacity / 2 + 16);
    if (p.icon_items)
      p.icon_items = reinterpret_cast<Pixmap *>(XtRealloc((char *)p.icon_items, cap * sizeof(Pixmap)));
    if (p.ids)
      p.ids = reinterpret_cast<int32_t *>(XtRealloc((char *)p.ids, cap * sizeof(int32_t)));
    p.array_capacity = cap;
  }
  /* A new array has 0 for the rows there are; the slots beyond them are
     filled by whoever asked for the room. */
  int cap = std::max(p.array_capacity, 1);
  if (want_icons && !p.icon_items) {
    p.icon_items = reinterpret_cast<Pixmap *>(XtMalloc(Cardinal(cap * sizeof(Pixmap))));
    std::memset(p.icon_items, 0, size_t(std::min(have, cap)) * sizeof(Pixmap));
  }
  if (want_ids && !p.ids) {
    p.ids = reinterpret_cast<int32_t *>(XtMalloc(Cardinal(cap * sizeof(int32_t))));
    std::memset(p.ids, 0, size_t(std::min(have, cap)) * sizeof(int32_t));
  }
  if (p.array_capacity == 0) p.array_capacity = cap;
}

void FreeArrays(ILW ilw) {
  XdIconListPart &p = ilw->icon_list;
  XtFree((char *)p.icon_items);
  XtFree((char *)p.ids);
  p.icon_items = nullptr;
  p.ids = nullptr;
  p.array_capacity = 0;
}

void ForgetGreyIcons(ILW ilw) {
  XdGreyIcons *&grey = ilw->icon_list.grey_icons;
  if (!grey) return;
  for (const auto &entry : grey->made)
    if (entry.second) XFreePixmap(XtDisplay((Widget)ilw), entry.second);
  delete grey;
  grey = nullptr;
}

/* The icon to draw: the icon itself, or while the list is insensitive
   its picture as an insensitive label shows it. */
Pixmap ShownIcon(ILW ilw, Pixmap icon) {
  if (XtIsSensitive((Widget)ilw)) return icon;
  XdGreyIcons *&grey = ilw->icon_list.grey_icons;
  if (!grey) grey = new XdGreyIcons;
  auto it = grey->made.find(icon);
  if (it == grey->made.end())
    it = grey->made.emplace(icon, _XmConvertToBW(ilw->icon_list.icon_column, icon)).first;
  return it->second ? it->second : icon;
}

/* ---- geometry ------------------------------------------------------ */

/* Distance between the tops of two rows of the list. */
int RowPitch(ILW ilw) {
  XmListWidget l = L(ilw);
  return l->list.MaxItemHeight + l->list.spacing;
}

/* Measures the first icon, and makes the list's rows tall enough for it. */
void MeasureIcons(ILW ilw, int from) {
  XdIconListPart &p = ilw->icon_list;
  ForgetGreyIcons(ilw);
  int n = Count(ilw);
  if (!p.icon_items) {
    p.icon_width = p.icon_height = 0;
    return;
  }
  if (from == 0) p.icon_width = p.icon_height = 0;
  if (p.icon_width == 0) {
    for (int i = from; i < n; ++i) {
      if (!p.icon_items[i]) continue;
      Window root;
      int x, y;
      unsigned w, h, bw, depth;
      if (XGetGeometry(XtDisplay((Widget)ilw), p.icon_items[i], &root, &x, &y, &w, &h, &bw, &depth)) {
        p.icon_width = w;
        p.icon_height = h;
      }
      break;
    }
  }
  Dimension want = p.init_spacing;
  if (p.icon_height > kPlainIconHeight) {
    int extra = int(p.icon_height) - int(L(ilw)->list.MaxItemHeight);
    if (extra >= 1) want = Dimension(extra);
  }
  if (L(ilw)->list.ItemSpacing != want) XtVaSetValues(p.list, XmNlistSpacing, want, nullptr);
}

void DrawFrame(ILW ilw) {
  XdIconListPart &p = ilw->icon_list;
  Widget w = (Widget)ilw;
  if (!XtIsRealized(w) || p.frame_thickness == 0) return;
  XmPrimitiveWidget lp = reinterpret_cast<XmPrimitiveWidget>(p.list);
  XmeDrawShadows(XtDisplay(w), XtWindow(w), lp->primitive.top_shadow_GC,
                 lp->primitive.bottom_shadow_GC, 0, 0, w->core.width, w->core.height,
                 p.frame_thickness, XmSHADOW_IN);
}

/* Paints the icons of the visible rows (the column is cleared first when
   `clear` is set). */
void PaintIcons(ILW ilw, bool clear) {
  XdIconListPart &p = ilw->icon_list;
  Widget ic = p.icon_column;
  p.last_top = Top(ilw);
  if (!XtIsRealized(ic)) return;
  Display *dpy = XtDisplay(ic);
  if (clear) XClearWindow(dpy, XtWindow(ic));
  if (p.icon_items && p.icon_width && p.icon_height) {
    int n = Count(ilw), top = Top(ilw), vis = Visible(ilw);
    /* A row's slot: its pitch plus the highlight band shared with the next. */
    int slot = RowPitch(ilw) + L(ilw)->list.HighlightThickness;
    for (int i = 0; i <= vis && top + i < n; ++i) {
      Pixmap pm = p.icon_items[top + i];
      if (!pm) continue;
      Position bx, by;
      Dimension bw, bh;
      if (!XmListPosToBounds(p.list, top + i + 1, &bx, &by, &bw, &bh)) continue;
      (void)bh;
      int y = by + (slot - int(p.icon_height)) / 2;
      XCopyArea(dpy, ShownIcon(ilw, pm), XtWindow(ic), p.icon_gc, 0, 0, p.icon_width, p.icon_height,
                p.icon_margin_width, y);
    }
  }
  DrawFrame(ilw);
}

void SetBarValue(Widget bar, int value) {
  if (!bar) return;
  int mn, mx, sl;
  XtVaGetValues(bar, XmNminimum, &mn, XmNmaximum, &mx, XmNsliderSize, &sl, nullptr);
  value = std::max(mn, std::min(value, mx - sl));
  XtVaSetValues(bar, XmNvalue, value, nullptr);
}

/* Brings icons, scroll bar and any holder in step with the list's top. */
void SyncTop(ILW ilw) {
  XdIconListPart &p = ilw->icon_list;
  if (Top(ilw) == p.last_top) return;
  PaintIcons(ilw, true);
  if (p.vbar && XtIsManaged(p.vbar)) SetBarValue(p.vbar, Top(ilw));
  if (p.top_proc) p.top_proc((Widget)ilw, p.top_closure);
}

void SyncTimer(XtPointer closure, XtIntervalId *) {
  ILW ilw = static_cast<ILW>(closure);
  ilw->icon_list.sync_timer = 0;
  SyncTop(ilw);
}

/* The list is the widget the selection callbacks are handed, and an owner
   may destroy it there: the icons have nothing left to follow. */
void ListDestroyed(Widget, XtPointer closure, XtPointer) {
  XdIconListPart &p = static_cast<ILW>(closure)->icon_list;
  if (p.sync_timer) XtRemoveTimeOut(p.sync_timer);
  p.sync_timer = 0;
}

/* The list scrolls itself on keys and drags; the icons follow once the
   event has been dispatched. */
void ListInputSeen(Widget, XtPointer closure, XEvent *, Boolean *) {
  ILW ilw = static_cast<ILW>(closure);
  if (!ilw->icon_list.sync_timer)
    ilw->icon_list.sync_timer =
        XtAppAddTimeOut(XtWidgetToApplicationContext((Widget)ilw), 0, SyncTimer, ilw);
}

/* Sets a bar's range without the toolkit's allocation of a varargs list:
   the layout runs after every change of the rows. */
void SetBarRange(Widget bar, int minimum, int maximum, int slider, int page, int value) {
  Arg a[5];
  XtSetArg(a[0], XmNminimum, minimum);
  XtSetArg(a[1], XmNmaximum, maximum);
  XtSetArg(a[2], XmNsliderSize, slider);
  XtSetArg(a[3], XmNpageIncrement, page);
  XtSetArg(a[4], XmNvalue, value);
  XtSetValues(bar, a, 5);
}

/* Width of the icon column: the icons between their margins, or a pixel
   when there are none. */
int IconColumnWidth(ILW ilw) {
  const XdIconListPart &p = ilw->icon_list;
  return p.icon_width ? int(p.icon_margin_width * 2 + p.icon_width) : 1;
}

/* The size that shows the list's rows (as many as it is to show) at the
   width of its widest item: the list's own preferred size, the icon column
   beside it and the frame around both, as Layout places them (the list
   ends a row highlight above the frame's lower edge).  The width has room
   for a vertical bar, which Layout keeps beside the rows; the height keeps
   that of a horizontal bar shown, which took its height from the rows. */
void NaturalSize(ILW ilw, int *width, int *height) {
  XdIconListPart &p = ilw->icon_list;
  XtWidgetGeometry ask = {}, want = {};
  XtQueryGeometry(p.list, &ask, &want);
  int lw = (want.request_mode & CWWidth) ? want.width : p.list->core.width;
  int lh = (want.request_mode & CWHeight) ? want.height : p.list->core.height;
  int s = p.frame_thickness;
  int vbw = p.vbar ? p.vbar->core.width : 0;
  int hbh = p.hbar && XtIsManaged(p.hbar) ? p.hbar->core.height : 0;
  *width = std::max(1, IconColumnWidth(ilw) + lw + 2 * s + vbw);
  *height = std::max(1, lh + L(ilw)->list.HighlightThickness + s + hbh);
}

void Layout(ILW ilw) {
  XdIconListPart &p = ilw->icon_list;
  Widget w = (Widget)ilw;
  /* Until the widget has its size (while it is being made) there is no room
     to lay out: the list made to fit none would lose the rows it is to
     show, and with them the widget's own size. */
  if (w->core.width == 0 || w->core.height == 0) return;
  XmListWidget l = L(ilw);
  int s = p.frame_thickness;
  int m = l->list.margin_width, h = l->primitive.highlight_thickness;
  int n = Count(ilw);
  int rh = l->list.HighlightThickness;
  int width = w->core.width, height = w->core.height;
  int vbw = p.vbar ? p.vbar->core.width : 0;
  int hbh = p.hbar ? p.hbar->core.height : 0;
  int iconw = IconColumnWidth(ilw);

  int W = (p.icon_width ? p.icon_margin_width * 2 + p.icon_width : 0) + p.widest + 2 * s + 2 * m + 2 * h;
  int H = RowPitch(ilw) * n + 2 * s + rh;
  bool showH = p.hbar && W > width - vbw;
  if (showH) H += hbh;
  bool showV = p.vbar && H >= height;

  /* Rows wider than the room widen the frame only when the horizontal bar
     can bring the rest into view.  An icon list without the bar (a
     multi-column list's first column) keeps the frame to its room, so that
     the list's right margin and highlight and the frame's shadow stay
     inside the widget and a long text ends within them, not against
     whatever lies beside the widget. */
  int avail = showV ? width - vbw - s : width - 2 * s;
  int fw = std::max(p.hbar && W > avail ? W : avail, 1);
  int fh = std::max(showH ? height - hbh - s : height - 2 * s, 1);
  Position fx = s;
  if (showH) fx = p.frame->core.x; /* keep the horizontal scroll offset */
  if (!showH || fx > s) fx = s;
  XtConfigureWidget(p.frame, fx, s, fw, fh, 0);
  XtConfigureWidget(p.icon_column, 0, 0, iconw, fh, 0);
  int lw = fw - iconw;
  /* The list ends a row highlight above the frame's lower edge: the icon
     column's last row has room for its highlight, and a multi-column
     list's other columns, as high as this list, show the same rows. */
  int lh = _XdListHeight(p.list, height - rh - s - (showH ? hbh : 0));
  XtConfigureWidget(p.list, iconw, 0, lw > 0 ? lw : 1, std::max(lh, 1), 0);
  if (XtIsRealized(w)) XClearArea(XtDisplay(w), XtWindow(w), 0, 0, 0, 0, False);

  if (p.hbar) {
    if (showH) {
      int bw = std::max(showV ? width - vbw : width, 1);
      XtConfigureWidget(p.hbar, 0, height - hbh, bw, hbh, 0);
      int slider = std::max(1, std::min(bw, W));
      int value;
      XtVaGetValues(p.hbar, XmNvalue, &value, nullptr);
      value = std::max(0, std::min(value, W - slider));
      SetBarRange(p.hbar, 0, W, slider, 1, value);
      XtConfigureWidget(p.frame, Position(s - value), s, fw, fh, 0);
      XtManageChild(p.hbar);
      if (XtIsRealized(p.hbar)) XRaiseWindow(XtDisplay(w), XtWindow(p.hbar));
    } else {
      XtUnmanageChild(p.hbar);
    }
  }
  if (p.vbar) {
    if (showV) {
      int bh = std::max(showH ? height - hbh : height, 1);
      XtConfigureWidget(p.vbar, width - vbw, 0, vbw, bh, 0);
      if (n > 0) {
        int vis = Visible(ilw);
        int slider = vis - 1;
        if (slider < 1 || slider > n) slider = 1;
        int page = std::max(vis - 1, 1);
        int value = std::max(0, std::min(Top(ilw), n - slider));
        SetBarRange(p.vbar, 0, n, slider, page, value);
      }
      XtManageChild(p.vbar);
      if (XtIsRealized(p.vbar)) XRaiseWindow(XtDisplay(w), XtWindow(p.vbar));
    } else {
      XtUnmanageChild(p.vbar);
    }
  }
  PaintIcons(ilw, true);
}

void Relaid(ILW ilw) { Layout(ilw); }

/* ---- callbacks ------------------------------------------------------ */

XtCallbackList ListFor(ILW ilw, int reason) {
  XdIconListPart &p = ilw->icon_list;
  switch (reason) {
    case XmCR_SINGLE_SELECT: return p.single_callback;
    case XmCR_MULTIPLE_SELECT: return p.multiple_callback;
    case XmCR_EXTENDED_SELECT: return p.extended_callback;
    case XmCR_BROWSE_SELECT: return p.browse_callback;
    case XmCR_DEFAULT_ACTION: return p.default_action_callback;
    default: return nullptr;
  }
}

/* The list's selection callbacks go on to the widget's lists of the same
   name, with the list as widget and Motif's call data unchanged. */
void ForwardSelection(Widget list, XtPointer closure, XtPointer call) {
  ILW ilw = static_cast<ILW>(closure);
  SyncTop(ilw);
  auto *cbs = static_cast<XmListCallbackStruct *>(call);
  XtCallbackList cl = ListFor(ilw, cbs->reason);
  if (cl) XtCallCallbackList(list, cl, call);
}

struct CallData {
  XmListCallbackStruct cbs;
  CallData() { std::memset(&cbs, 0, sizeof cbs); }
  ~CallData() {
    if (cbs.item) XmStringFree(cbs.item);
    for (int i = 0; i < cbs.selected_item_count && cbs.selected_items; ++i)
      XmStringFree(cbs.selected_items[i]);
    XtFree((char *)cbs.selected_items);
    XtFree((char *)cbs.selected_item_positions);
  }
  CallData(const CallData &) = delete;
  CallData &operator=(const CallData &) = delete;
};

/* Fills a list call data from the list's state; `pos` names the item
   (1-based; 0 takes the list's last highlighted item). */
void FillCallData(ILW ilw, CallData &cd, int reason, XEvent *event, int pos) {
  XmListWidget l = L(ilw);
  XmListUpdateSelectedList(ilw->icon_list.list);
  cd.cbs.reason = reason;
  cd.cbs.event = event;
  int n = l->list.itemCount;
  if (n > 0) {
    if (pos < 1 || pos > n) pos = l->list.LastHLItem + 1;
    if (pos >= 1 && pos <= n) {
      cd.cbs.item = XmStringCopy(l->list.items[pos - 1]);
      cd.cbs.item_length = XmStringLength(cd.cbs.item);
      cd.cbs.item_position = pos;
    }
  }
  int *sel = nullptr, nsel = 0;
  if (XmListGetSelectedPos(ilw->icon_list.list, &sel, &nsel) && nsel > 0) {
    cd.cbs.selected_items = reinterpret_cast<XmString *>(XtMalloc(nsel * sizeof(XmString)));
    for (int i = 0; i < nsel; ++i) cd.cbs.selected_items[i] = XmStringCopy(l->list.items[sel[i] - 1]);
    cd.cbs.selected_item_positions = sel;
    sel = nullptr;
  }
  XtFree((char *)sel);
  cd.cbs.selected_item_count = nsel;
}

void CallWith(ILW ilw, XtCallbackList cl, CallData &cd) {
  if (cl) XtCallCallbackList((Widget)ilw, cl, &cd.cbs);
}

/* The call data names position pos (0: none) by its text too. */
void NameItem(ILW ilw, CallData &cd, int pos) {
  if (cd.cbs.item) XmStringFree(cd.cbs.item);
  cd.cbs.item = nullptr;
  cd.cbs.item_length = 0;
  cd.cbs.item_position = InRange(ilw, pos) ? pos : 0;
  if (cd.cbs.item_position) {
    cd.cbs.item = XmStringCopy(L(ilw)->list.items[pos - 1]);
    cd.cbs.item_length = XmStringLength(cd.cbs.item);
  }
}

/* Calls the selection list of the policy with the positions now selected;
   the item is the first of them. */
void NotifySelection(ILW ilw, int reason, XEvent *event) {
  CallData cd;
  FillCallData(ilw, cd, reason, event, 0);
  NameItem(ilw, cd, cd.cbs.selected_item_count ? cd.cbs.selected_item_positions[0] : 0);
  CallWith(ilw, ListFor(ilw, reason), cd);
}

/* A click selected pos: the list's own selection list of the reason is
   called (and forwarded), as a selection of the list's own would be, with
   the click's event. */
void NotifyClicked(ILW ilw, int reason, XEvent *event, int pos) {
  CallData cd;
  FillCallData(ilw, cd, reason, event, pos); /* names pos, the item clicked */
  const char *name = XmNsingleSelectionCallback;
  if (reason == XmCR_EXTENDED_SELECT) {
    name = XmNextendedSelectionCallback;
    cd.cbs.selection_type = XmINITIAL;
  }
  XtCallCallbacks(ilw->icon_list.list, const_cast<String>(name), &cd.cbs);
}

int SelectPositions(ILW ilw, int count, const int *positions, Boolean notify, XEvent *event);

bool IsSelected(ILW ilw, int pos) { return XmListPosSelected(ilw->icon_list.list, pos); }

int PolicyOf(ILW ilw) { return L(ilw)->list.SelectionPolicy; }

/* Selects position pos by the rules of a click; `toggle` lets a click
   deselect a selected row (a drag press never does).  False when a
   callback destroyed the widget. */
bool ClickSelect(ILW ilw, int pos, XEvent *event, bool toggle) {
  XdIconListPart &p = ilw->icon_list;
  Widget list = p.list;
  XdWidgetWatch watch((Widget)ilw);
  unsigned state = event ? event->xbutton.state : 0;
  switch (PolicyOf(ilw)) {
    case XmMULTIPLE_SELECT:
      if (toggle && (state & (ShiftMask | ControlMask))) return true;
      if (IsSelected(ilw, pos)) {
        if (!toggle) return true;
        XmListDeselectPos(list, pos);
        p.anchor = 0;
        NotifySelection(ilw, XmCR_MULTIPLE_SELECT, event);
      } else {
        SelectPositions(ilw, 1, &pos, True, event);
      }
      break;
    case XmSINGLE_SELECT:
      if (IsSelected(ilw, pos)) {
        if (!toggle) return true;
        XmListDeselectPos(list, pos);
        CallData cd;
        FillCallData(ilw, cd, XmCR_SINGLE_SELECT, event, pos);
        NameItem(ilw, cd, 0);
        CallWith(ilw, p.single_callback, cd);
      } else {
        XmListSelectPos(list, pos, False);
        NotifyClicked(ilw, XmCR_SINGLE_SELECT, event, pos);
      }
      break;
    case XmEXTENDED_SELECT:
      if ((state & ShiftMask) && p.anchor >= 1 && p.anchor <= Count(ilw)) {
        int lo = std::min(p.anchor, pos), hi = std::max(p.anchor, pos);
        std::vector<int> range;
        range.reserve(hi - lo + 1);
        for (int i = lo; i <= hi; ++i) range.push_back(i);
        SelectPositions(ilw, int(range.size()), range.data(), True, event);
        if (watch.alive()) p.anchor = lo;
      } else if (state & ControlMask) {
        if (IsSelected(ilw, pos)) {
          if (!toggle) return true;
          XmListDeselectPos(list, pos);
          p.anchor = 0;
          NotifySelection(ilw, XmCR_EXTENDED_SELECT, event);
        } else {
          SelectPositions(ilw, 1, &pos, True, event);
          if (watch.alive()) p.anchor = pos;
        }
      } else {
        if (!IsSelected(ilw, pos) || toggle) {
          XmListSelectPos(list, pos, False);
          NotifyClicked(ilw, XmCR_EXTENDED_SELECT, event, pos);
        }
        if (watch.alive()) p.anchor = pos;
      }
      break;
    default: { /* browse */
      if (!IsSelected(ilw, pos)) XmListSelectPos(list, pos, False);
      CallData cd;
      cd.cbs.reason = XmCR_BROWSE_SELECT;
      cd.cbs.event = event;
      cd.cbs.item = XmStringCopy(L(ilw)->list.items[pos - 1]);
      cd.cbs.item_length = XmStringLength(cd.cbs.item);
      cd.cbs.item_position = pos;
      cd.cbs.selected_item_count = 1;
      CallWith(ilw, p.browse_callback, cd);
      break;
    }
  }
  if (!watch.alive()) return false;
  XmListSetKbdItemPos(list, pos);
  return true;
}

/* The row (1-based) under y of the icon column or the list, 0 for none. */
int PosAtY(ILW ilw, int y) {
  if (Count(ilw) == 0) return 0;
  int pos = XmListYToPos(ilw->icon_list.list, Position(y));
  return InRange(ilw, pos) ? pos : 0;
}

/* Button 2 starts a drag of the row under the pointer; other buttons
   (not 3) are announced on the post-menu list. */
void DragOrMenuPress(Widget child, XtPointer closure, XEvent *event, Boolean *cont) {
  ILW ilw = static_cast<ILW>(closure);
  XdIconListPart &p = ilw->icon_list;
  if (event->type != ButtonPress) return;
  if (p.drag_callback && event->xbutton.button == Button2) {
    int pos = PosAtY(ilw, event->xbutton.y);
    if (pos && !ClickSelect(ilw, pos, event, false)) {
      if (cont) *cont = False;
      return;
    }
    p.last_press = event->xbutton.time;
    CallData cd;
    FillCallData(ilw, cd, XmCR_DRAG, event, pos);
    CallWith(ilw, p.drag_callback, cd);
    if (cont) *cont = False;
  } else if (p.post_menu_callback && event->xbutton.button != Button3) {
    CallData cd;
    cd.cbs.reason = XdCR_BUTTON_PRESS;
    cd.cbs.event = event;
    CallWith(ilw, p.post_menu_callback, cd);
  }
  (void)child;
}

void IconColumnInput(Widget, XtPointer closure, XtPointer call) {
  ILW ilw = static_cast<ILW>(closure);
  XdIconListPart &p = ilw->icon_list;
  auto *cbs = static_cast<XmDrawingAreaCallbackStruct *>(call);
  XEvent *event = cbs->event;
  if (!event || event->type != ButtonPress) return;
  if (event->xbutton.button == Button2) {
    DragOrMenuPress(p.icon_column, ilw, event, nullptr);
    return;
  }
  if (event->xbutton.button != Button1) return;
  int pos = PosAtY(ilw, event->xbutton.y);
  if (p.last_press && event->xbutton.time - p.last_press <= Time(p.multi_click)) {
    CallData cd;
    FillCallData(ilw, cd, XmCR_DEFAULT_ACTION, event, pos);
    XdWidgetWatch watch((Widget)ilw);
    CallWith(ilw, p.default_action_callback, cd);
    if (watch.alive()) p.last_press = 0;
    return;
  }
  if (pos == 0) {
    p.last_press = event->xbutton.time;
    return;
  }
  if (PolicyOf(ilw) == XmMULTIPLE_SELECT && (event->xbutton.state & (ShiftMask | ControlMask)))
    return;
  if (ClickSelect(ilw, pos, event, true)) p.last_press = event->xbutton.time;
}

void IconColumnExpose(Widget, XtPointer closure, XtPointer) {
  PaintIcons(static_cast<ILW>(closure), false);
}

void ListExposed(Widget, XtPointer closure, XEvent *, Boolean *) {
  DrawFrame(static_cast<ILW>(closure));
}

void VScrolled(Widget, XtPointer closure, XtPointer call) {
  auto *cbs = static_cast<XmScrollBarCallbackStruct *>(call);
  XdIconListSetPos((Widget) static_cast<ILW>(closure), cbs->value + 1);
}

void HScrolled(Widget, XtPointer closure, XtPointer call) {
  ILW ilw = static_cast<ILW>(closure);
  auto *cbs = static_cast<XmScrollBarCallbackStruct *>(call);
  XtMoveWidget(ilw->icon_list.frame, Position(-cbs->value), ilw->icon_list.frame_thickness);
}

/* ---- focus box ------------------------------------------------------ */

void FocusBox(ILW ilw, bool on) {
  XdIconListPart &p = ilw->icon_list;
  XmListWidget l = L(ilw);
  if (!XtIsRealized(p.list)) return;
  int ht = l->primitive.highlight_thickness;
  if (ht <= 0) return;
  Display *dpy = XtDisplay(p.list);
  int pos = XmListGetKbdItemPos(p.list);
  Position bx = 0, by = 0;
  Dimension bw = 0, bh = 0;
  int y, h;
  if (pos >= 1 && XmListPosToBounds(p.list, pos, &bx, &by, &bw, &bh)) {
    y = by - ht;
    h = bh + 2 * ht;
  } else {
    y = 0;
    h = p.list->core.height;
  }
  Window lw = XtWindow(p.list), iw = XtWindow(p.icon_column);
  int lwid = p.list->core.width, iwid = p.icon_column->core.width;
  struct Side { Window win; int x, y, w, h; } sides[6] = {
      {lw, 0, y, lwid, ht}, {lw, 0, y + h - ht, lwid, ht}, {lw, lwid - ht, y, ht, h},
      {iw, 0, y, iwid, ht}, {iw, 0, y + h - ht, iwid, ht}, {iw, 0, y, ht, h}};
  for (const Side &s : sides) {
    if (s.w <= 0 || s.h <= 0) continue;
    if (!on)
      XClearArea(dpy, s.win, s.x, s.y, s.w, s.h, False);
    else
      XFillRectangle(dpy, s.win, l->list.HighlightGC, s.x, s.y, s.w, s.h);
  }
  p.focus_drawn = on;
  if (!on) PaintIcons(ilw, false);
}

void ActFocusIn(Widget w, XEvent *event, String *params, Cardinal *num_params) {
  ILW ilw = _XdIconListOf(w);
  if (!ilw) return;
  Widget list = ilw->icon_list.list;
  XmListWidget l = L(ilw);
  if (l->primitive.traversal_on && _XmGetFocusPolicy(list) == XmEXPLICIT && event &&
      event->xany.send_event)
    l->list.Traversing = True;
  FocusBox(ilw, true);
  _XmPrimitiveFocusIn(list, event, params, num_params);
}

void ActFocusOut(Widget w, XEvent *event, String *params, Cardinal *num_params) {
  ILW ilw = _XdIconListOf(w);
  if (!ilw) return;
  XmListWidget l = L(ilw);
  if (l->list.Traversing) {
    FocusBox(ilw, false);
    l->list.Traversing = False;
    _XmPrimitiveFocusOut(ilw->icon_list.list, event, params, num_params);
  }
}

/* ---- creation ------------------------------------------------------- */

bool OwnResource(const char *name) {
  static const char *const own[] = {
      XdNstringItems, XdNiconItems, XdNitemCount, XdNids, XdNiconMarginWidth,
      XmNbrowseSelectionCallback, XmNdefaultActionCallback, XmNextendedSelectionCallback,
      XmNmultipleSelectionCallback, XmNsingleSelectionCallback, XdNdragCallback,
      XdNpostMenuCallback, XmNx, XmNy, XmNuserData, XmNitems};
  for (const char *o : own)
    if (std::strcmp(name, o) == 0) return true;
  return false;
}

/* The caller's creation arguments that are meant for the children. */
std::vector<Arg> ChildArgs(ArgList args, Cardinal num_args) {
  std::vector<Arg> out;
  out.reserve(num_args + kExtraArgs);
  for (Cardinal i = 0; i < num_args; ++i)
    if (!OwnResource(args[i].name)) out.push_back(args[i]);
  return out;
}

void AddArg(std::vector<Arg> &v, const char *name, XtArgVal value) {
  Arg a;
  a.name = const_cast<String>(name);
  a.value = value;
  v.push_back(a);
}

/* Copies count entries of an array given through resources. */
template <class T>
T *CopyArray(const T *src, int count) {
  if (!src || count <= 0) return nullptr;
  T *dst = reinterpret_cast<T *>(XtMalloc(count * sizeof(T)));
  std::memcpy(dst, src, count * sizeof(T));
  return dst;
}

/* Replaces all items with the given ones (resources at creation and in
   SetValues); the arrays are copied with the given count. */
void SetItemsFromResources(ILW ilw) {
  XdIconListPart &p = ilw->icon_list;
  int n = p.item_count;
  Pixmap *icons = p.icon_items;
  int32_t *ids = p.ids;
  XmString *strings = p.string_items;
  p.icon_items = nullptr;
  p.ids = nullptr;
  p.array_capacity = 0;
  n = _XdRowsToRead((Widget)ilw, strings, n, nullptr);
  std::vector<int32_t> room;
  ids = _XdIdsFor(ids, n, room);
  if (n > 0 && strings) {
    _XdIconListSetAll((Widget)ilw, icons, strings, ids, n);
  } else {
    XmListDeleteAllItems(p.list);
    p.widest = 0;
    p.anchor = 0;
    p.last_sorted = -1;
  }
  p.string_items = nullptr;
  p.item_count = Count(ilw);
}

/* The icons' GC draws in the list's colours. */
void MakeIconGC(ILW ilw) {
  XdIconListPart &p = ilw->icon_list;
  if (p.icon_gc) XtReleaseGC((Widget)ilw, p.icon_gc);
  XGCValues gcv;
  gcv.foreground = L(ilw)->primitive.foreground;
  gcv.background = L(ilw)->core.background_pixel;
  gcv.graphics_exposures = False;
  p.icon_gc = XtGetGC((Widget)ilw, GCForeground | GCBackground | GCGraphicsExposures, &gcv);
}

void Initialize(Widget, Widget neww, ArgList args, Cardinal *num_args) {
  ILW ilw = reinterpret_cast<ILW>(neww);
  XdIconListPart &p = ilw->icon_list;
  Pixmap *given_icons = p.icon_items;
  int32_t *given_ids = p.ids;
  p.icon_items = nullptr;
  p.ids = nullptr;
  p.array_capacity = 0;
  p.frame = p.icon_column = p.list = p.spare = p.hbar = p.vbar = nullptr;
  p.icon_width = p.icon_height = 0;
  p.widest = 0;
  p.last_press = 0;
  p.last_sorted = -1;
  p.anchor = 0;
  p.last_top = 0;
  p.sync_timer = 0;
  p.focus_drawn = False;
  p.top_proc = nullptr;
  p.top_closure = nullptr;
  p.grey_icons = nullptr;

  p.owner = reinterpret_cast<XdOwnerRecord *>(XtCalloc(1, sizeof(XdOwnerRecord)));
  p.owner->kind = 0;
  p.owner->pane = XtParent(neww);
  p.owner->owner = neww;

  std::vector<Arg> base = ChildArgs(args, *num_args);
  std::vector<Arg> a = base;
  AddArg(a, XmNuserData, (XtArgVal)p.owner);
  AddArg(a, XmNmarginWidth, 0);
  AddArg(a, XmNmarginHeight, 0);
  AddArg(a, XmNresizePolicy, XmRESIZE_NONE);
  p.frame = XtCreateManagedWidget("IconListDA", xmDrawingAreaWidgetClass, neww, a.data(), a.size());
  _XdWidgetCreated(p.frame, XdHOOK_ICONLIST);

  a = base;
  AddArg(a, XmNtraversalOn, False);
  AddArg(a, XmNuserData, (XtArgVal)p.owner);
  AddArg(a, XmNmarginWidth, 0);
  AddArg(a, XmNmarginHeight, 0);
  AddArg(a, XmNresizePolicy, XmRESIZE_NONE);
  p.icon_column = XtCreateWidget("IconListDA", xmDrawingAreaWidgetClass, p.frame, a.data(), a.size());
  XtAddCallback(p.icon_column, XmNexposeCallback, IconColumnExpose, ilw);
  XtAddCallback(p.icon_column, XmNinputCallback, IconColumnInput, ilw);
  /* Ctrl-clicks toggle rows: they go to the input callback too (the
     manager would take them for keyboard traversal). */
  XtOverrideTranslations(p.icon_column, iconColumnTranslations);
  XtManageChild(p.icon_column);
  XtInsertEventHandler(p.icon_column, ButtonPressMask, False, DragOrMenuPress, ilw, XtListHead);

  a = base;
  AddArg(a, XmNlistSizePolicy, XmCONSTANT);
  AddArg(a, XmNuserData, (XtArgVal)p.owner);
  AddArg(a, XmNmatchBehavior, XmNONE);
  AddArg(a, XmNselectionPolicy, p.selection_policy);
  p.list = XtCreateWidget("IconListList", xmListWidgetClass, p.frame, a.data(), a.size());
  _XdWidgetCreated(p.list, XdHOOK_ICONLIST);
  XtAddEventHandler(p.list, ExposureMask, False, ListExposed, ilw);
  XtInsertEventHandler(p.list, ButtonPressMask, False, DragOrMenuPress, ilw, XtListHead);
  XtAddEventHandler(p.list, KeyPressMask | ButtonReleaseMask | Button1MotionMask, False,
                    ListInputSeen, ilw);
  XtInsertEventHandler(p.list, KeyPressMask, False, EdgeKeys, ilw, XtListHead);
  XtAddCallback(p.list, XtNdestroyCallback, ListDestroyed, ilw);
  XtManageChild(p.list);

  XmListWidget l = L(ilw);
  p.frame_thickness = l->primitive.shadow_thickness;
  XtVaSetValues(p.list, XmNshadowThickness, 0, nullptr);
  p.init_row_highlight = l->list.HighlightThickness;
  p.init_spacing = Dimension(l->list.ItemSpacing);
  p.multi_click = XtGetMultiClickTime(XtDisplay(neww));

  p.icon_gc = nullptr;
  MakeIconGC(ilw);

  XtAddCallback(p.list, XmNsingleSelectionCallback, ForwardSelection, ilw);
  XtAddCallback(p.list, XmNmultipleSelectionCallback, ForwardSelection, ilw);
  XtAddCallback(p.list, XmNextendedSelectionCallback, ForwardSelection, ilw);
  XtAddCallback(p.list, XmNbrowseSelectionCallback, ForwardSelection, ilw);
  XtAddCallback(p.list, XmNdefaultActionCallback, ForwardSelection, ilw);

  p.icon_items = given_icons;
  p.ids = given_ids;
  SetItemsFromResources(ilw);

  /* Without a size from the program the widget takes the one that shows
     its rows. */
  int width, height;
  NaturalSize(ilw, &width, &height);
  p.own_width = neww->core.width == 0;
  if (p.own_width) neww->core.width = Dimension(width);
  if (neww->core.height == 0) neww->core.height = Dimension(height);
  Layout(ilw);
}

void Destroy(Widget w) {
  ILW ilw = reinterpret_cast<ILW>(w);
  XdIconListPart &p = ilw->icon_list;
  if (p.sync_timer) XtRemoveTimeOut(p.sync_timer);
  p.sync_timer = 0;
  FreeArrays(ilw);
  ForgetGreyIcons(ilw);
  XtFree((char *)p.owner);
  p.owner = nullptr;
  if (p.icon_gc) XtReleaseGC(w, p.icon_gc);
}

void Resize(Widget w) { Layout(reinterpret_cast<ILW>(w)); }

/* What the widget's own resources change in its parts: colours (the
   parts showing the widget's colours take the new ones), the list's font
   and the icons' look when the widget's sensitivity changes. */
void PassOnLook(ILW c, ILW n, ArgList args, Cardinal num_args) {
  XdIconListPart &np = n->icon_list;
  const XdColours was = _XdManagerColours((Widget)c), now = _XdManagerColours((Widget)n);
  bool repaint = false;
  if (was != now) {
    for (Widget part : {np.frame, np.icon_column, np.list, np.hbar, np.vbar})
      if (part) _XdPassColours(part, was, now);
    MakeIconGC(n);
    repaint = true;
  }
  for (Cardinal i = 0; i < num_args; ++i) {
    if (std::strcmp(args[i].name, XmNfontList) != 0) continue;
    XtVaSetValues(np.list, XmNfontList, args[i].value, nullptr);
    _XdListLimitWidths(np.list, 1, Count(n));
    np.widest = L(n)->list.MaxWidth;
    MeasureIcons(n, 0);
    Layout(n);
  }
  if (XtIsSensitive((Widget)c) != XtIsSensitive((Widget)n)) {
    ForgetGreyIcons(n);
    repaint = true;
  }
  if (repaint && XtIsRealized((Widget)n)) PaintIcons(n, true);
}

Boolean SetValues(Widget cur, Widget, Widget neww, ArgList args, Cardinal *num_args) {
  ILW c = reinterpret_cast<ILW>(cur), n = reinterpret_cast<ILW>(neww);
  XdIconListPart &np = n->icon_list;
  const XdIconListPart &cp = c->icon_list;
  if (np.selection_policy != cp.selection_policy)
    XtVaSetValues(np.list, XmNselectionPolicy, np.selection_policy, nullptr);
  PassOnLook(c, n, args, *num_args);
  if (np.item_count != cp.item_count && np.item_count != 0 && np.string_items == cp.string_items &&
      np.icon_items == cp.icon_items && np.ids == cp.ids) {
    /* A count without the items it counts would read rows that are not
       there; a count of 0 alone empties the list. */
    XtWarning("Can only set itemCount together with stringItems.\n");
    np.item_count = cp.item_count;
  }
  if (np.string_items == cp.string_items && np.icon_items == cp.icon_items &&
      np.item_count == cp.item_count && np.ids == cp.ids)
    return True;
  /* The widget's own arrays are still those of `cur`; the new values are
     the caller's, copied by SetItemsFromResources. */
  Pixmap *old_icons = cp.icon_items;
  int32_t *old_ids = cp.ids;
  if (np.string_items == cp.string_items && np.item_count == cp.item_count &&
      (np.icon_items != cp.icon_items || np.ids != cp.ids)) {
    /* Only icons or ids given: take them for the current rows. */
    int count = Count(n);
    Pixmap *icons = np.icon_items != old_icons ? np.icon_items : nullptr;
    int32_t *ids = np.ids != old_ids ? np.ids : nullptr;
    np.icon_items = old_icons;
    np.ids = old_ids;
    if (icons || ids) {
      Reserve(n, count, icons != nullptr, ids != nullptr);
      if (icons) std::memcpy(np.icon_items, icons, count * sizeof(Pixmap));
      if (ids) std::memcpy(np.ids, ids, count * sizeof(int32_t));
      MeasureIcons(n, 0);
    }
    np.item_count = count;
    Layout(n);
    return True;
  }
  Pixmap *icons = np.icon_items != old_icons ? np.icon_items : nullptr;
  int32_t *ids = np.ids != old_ids ? np.ids : nullptr;
  np.icon_items = old_icons;
  np.ids = old_ids;
  FreeArrays(n);
  np.icon_items = icons;
  np.ids = ids;
  if (!np.string_items) np.item_count = 0;
  SetItemsFromResources(n);
  Layout(n);
  return True;
}

/* The widget prefers the size that shows the rows the list shows now: a
   parent that gives it keeps them all in view. */
XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry *, XtWidgetGeometry *reply) {
  int width, height;
  NaturalSize(reinterpret_cast<ILW>(w), &width, &height);
  reply->request_mode = CWWidth | CWHeight;
  reply->width = Dimension(width);
  reply->height = Dimension(height);
  return XtGeometryAlmost;
}

void ChangeManaged(Widget) {}

/* Inserts the arrays' slots for count new rows at index idx (the list has
   not yet received the rows). */
void InsertSlots(ILW ilw, int idx, int count, const Pixmap *icons, const int32_t *ids) {
  XdIconListPart &p = ilw->icon_list;
  int n = Count(ilw);
  bool want_icons = icons || p.icon_items;
  bool want_ids = ids || p.ids;
  if (!want_icons && !want_ids) return;
  Reserve(ilw, n + count, icons != nullptr, ids != nullptr);
  if (p.icon_items) {
    std::memmove(p.icon_items + idx + count, p.icon_items + idx, (n - idx) * sizeof(Pixmap));
    if (icons)
      std::memcpy(p.icon_items + idx, icons, size_t(count) * sizeof(Pixmap));
    else
      std::memset(p.icon_items + idx, 0, size_t(count) * sizeof(Pixmap));
  }
  if (p.ids) {
    std::memmove(p.ids + idx + count, p.ids + idx, (n - idx) * sizeof(int32_t));
    if (ids)
      std::memcpy(p.ids + idx, ids, size_t(count) * sizeof(int32_t));
    else
      std::memset(p.ids + idx, 0, size_t(count) * sizeof(int32_t));
  }
}

/* Removes from an array of n slots those of the sorted, distinct 1-based
   positions, moving each run of kept slots once. */
template <class T>
void RemoveFrom(T *slots, const std::vector<int> &pos, int n) {
  if (!slots || pos.empty()) return;
  int out = pos[0] - 1;
  for (size_t k = 0; k < pos.size(); ++k) {
    int from = pos[k];  /* index of the first slot kept after this one */
    int to = k + 1 < pos.size() ? pos[k + 1] - 1 : n;
    if (to > from) std::memmove(slots + out, slots + from, size_t(to - from) * sizeof(T));
    out += to - from;
  }
}

/* Removes the slots of the sorted, distinct 1-based positions. */
void RemoveSlots(ILW ilw, const std::vector<int> &pos, int n) {
  XdIconListPart &p = ilw->icon_list;
  RemoveFrom(p.icon_items, pos, n);
  RemoveFrom(p.ids, pos, n);
}

void AfterDelete(ILW ilw) {
  XdIconListPart &p = ilw->icon_list;
  if (Count(ilw) == 0) {
    FreeArrays(ilw);
    p.anchor = 0;
    p.icon_width = p.icon_height = 0;
  } else {
    MeasureIcons(ilw, 0);
  }
  if (p.anchor > Count(ilw)) p.anchor = 0;
  p.widest = L(ilw)->list.MaxWidth;
  p.item_count = Count(ilw);
  Relaid(ilw);
}

}  // namespace

/* ---- exported ------------------------------------------------------- */

extern "C" {

XdIconListWidget _XdIconListOf(Widget w) {
  for (; w; w = XtParent(w))
    if (XtIsSubclass(w, xdIconListWidgetClass)) return reinterpret_cast<XdIconListWidget>(w);
  return nullptr;
}

void _XdIconListSetTopProc(Widget w, XdIconListTopProc proc, XtPointer closure) {
  ILW ilw = Cast(w);
  if (!ilw) return;
  ilw->icon_list.top_proc = proc;
  ilw->icon_list.top_closure = closure;
}

void _XdIconListSetSelection(Widget w, const int *positions, int count) {
  ILW ilw = Cast(w);
  if (!ilw) return;
  XmListWidget l = L(ilw);
  int n = l->list.itemCount;
  for (int i = 0; i < n; ++i) l->list.InternalList[i]->selected = False;
  for (int i = 0; i < count; ++i)
    if (positions[i] >= 1 && positions[i] <= n) l->list.InternalList[positions[i] - 1]->selected = True;
  for (int i = 0; i < n; ++i) l->list.InternalList[i]->last_selected = l->list.InternalList[i]->selected;
  XmListUpdateSelectedList(ilw->icon_list.list);
  /* The rows show their new state on the server now, drawn as the list
     draws them when exposed: the caller may look before any event. */
  Widget list = ilw->icon_list.list;
  XtExposeProc draw = XtClass(list)->core_class.expose;
  if (XtIsRealized(list) && draw) {
    draw(list, nullptr, nullptr);
    XFlush(XtDisplay(list));
  }
}


/* Items far wider than a window can be (thousands of characters) would
   overflow the list's 16-bit widths: the list would become a few pixels
   wide or its end unreachable.  Such an item keeps its whole text, but only
   its first characters are measured, and no width passes kMaxItemWidth.
   Only an item whose length times the font's widest character could pass
   the limit is measured again. */
void _XdListLimitWidths(Widget w, int first, int count) {
  constexpr int kMeasuredChars = 512;
  constexpr int kMaxItemWidth = 16000;
  if (!w || !XmIsList(w)) return;
  XmListWidget l = reinterpret_cast<XmListWidget>(w);
  const int n = l->list.itemCount;
  first = std::max(first, 1);
  const int last = std::min(n, first + std::max(count, 0) - 1);
  if (last < first) return;
  const bool compact = CompactFormKnown();
  const unsigned longest = unsigned(kMaxItemWidth / WidestChar(l));
  bool changed = false;
  XmString *items = l->list.items;
  for (int pos = first; pos <= last; ++pos) {
    XmString item = items[pos - 1];
    if (!item) continue;
    const unsigned char *b = reinterpret_cast<const unsigned char *>(item);
    if (compact && (b[0] & 3) == 0 ? b[1] <= longest : TextBound(item, compact) <= longest) continue;
    char *text = static_cast<char *>(
        XmStringUnparse(item, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
    if (!text) continue;
    if (std::strlen(text) > size_t(kMeasuredChars)) text[kMeasuredChars] = '\0';
    XmString prefix = XmStringCreateLocalized(text);
    XtFree(text);
    int width = std::min<int>(XmStringWidth(l->list.font, prefix), kMaxItemWidth);
    XmStringFree(prefix);
    l->list.InternalList[pos - 1]->width = Dimension(width);
    changed = true;
  }
  if (!changed) return;
  Dimension widest = 0;
  for (int i = 0; i < n; ++i) widest = std::max(widest, l->list.InternalList[i]->width);
  l->list.MaxWidth = widest;
}

/* Puts an XmList's rows in the given order (row i takes the row that was
   at index order[i]) without adding them again: the items and their
   measured elements move together, as a reordering changes no size, and
   the selected rows go with them.  False (nothing changed) when the order
   does not fit the list. */
Boolean _XdListPermute(Widget w, const int *order, int n) {
  if (!w || !XmIsList(w) || !order) return False;
  XmListWidget l = reinterpret_cast<XmListWidget>(w);
  if (n != l->list.itemCount) return False;
  std::vector<char> seen(size_t(n), 0);
  for (int i = 0; i < n; ++i) {
    if (order[i] < 0 || order[i] >= n || seen[size_t(order[i])]) return False;
    seen[size_t(order[i])] = 1;
  }
  std::vector<XmString> items(l->list.items, l->list.items + n);
  std::vector<ElementPtr> elements(l->list.InternalList, l->list.InternalList + n);
  for (int i = 0; i < n; ++i) {
    l->list.items[i] = items[size_t(order[i])];
    l->list.InternalList[i] = elements[size_t(order[i])];
  }
  XmListUpdateSelectedList(w);
  if (XtIsRealized(w)) XClearArea(XtDisplay(w), XtWindow(w), 0, 0, 0, 0, True);
  return True;
}

Boolean _XdIconListPermute(Widget w, const int *order, int n) {
  ILW ilw = Cast(w);
  if (!ilw || !_XdListPermute(ilw->icon_list.list, order, n)) return False;
  XdIconListPart &p = ilw->icon_list;
  if (p.icon_items) {
    std::vector<Pixmap> icons(p.icon_items, p.icon_items + n);
    for (int i = 0; i < n; ++i) p.icon_items[i] = icons[size_t(order[i])];
  }
  if (p.ids) {
    std::vector<int32_t> ids(p.ids, p.ids + n);
    for (int i = 0; i < n; ++i) p.ids[i] = ids[size_t(order[i])];
  }
  p.anchor = 0;
  PaintIcons(ilw, true);
  return True;
}

void _XdIconListSetAll(Widget w, Pixmap *icons, XmString *strings, int32_t *ids, int count) {
  ILW ilw = Cast(w);
  if (!ilw) return;
  XdIconListPart &p = ilw->icon_list;
  FreeArrays(ilw);
  XmListDeleteAllItems(p.list);
  p.anchor = 0;
  if (count > 0 && strings) {
    if (icons) p.icon_items = CopyArray(icons, count);
    if (ids) p.ids = CopyArray(ids, count);
    if (icons || ids) p.array_capacity = count;
    XmListAddItems(p.list, strings, count, 0);
    _XdListLimitWidths(p.list, 1, count);
  }
  p.widest = L(ilw)->list.MaxWidth;
  p.item_count = Count(ilw);
  MeasureIcons(ilw, 0);
  Relaid(ilw);
}

Widget XdCreateIconList(Widget parent, char *name, ArgList args, Cardinal num_args) {
  return XtCreateWidget(name, xdIconListWidgetClass, parent, args, num_args);
}

Widget XdCreateScrolledIconList(Widget parent, char *name, ArgList args, Cardinal num_args) {
  Widget w = XtCreateWidget(name, xdIconListWidgetClass, parent, args, num_args);
  ILW ilw = reinterpret_cast<ILW>(w);
  XdIconListPart &p = ilw->icon_list;
  XtOverrideTranslations(p.list, scrolledTranslations);
  p.vbar = XtVaCreateManagedWidget("ScrollBar", xmScrollBarWidgetClass, w, XmNorientation,
                                   XmVERTICAL, XmNbackground, w->core.background_pixel, nullptr);
  p.hbar = XtVaCreateManagedWidget("ScrollBar", xmScrollBarWidgetClass, w, XmNorientation,
                                   XmHORIZONTAL, XmNbackground, w->core.background_pixel, nullptr);
  XtAddCallback(p.vbar, XmNvalueChangedCallback, VScrolled, ilw);
  XtAddCallback(p.vbar, XmNdragCallback, VScrolled, ilw);
  XtAddCallback(p.hbar, XmNvalueChangedCallback, HScrolled, ilw);
  XtAddCallback(p.hbar, XmNdragCallback, HScrolled, ilw);
  /* A width of the widget's own choice makes room for the vertical bar. */
  if (p.own_width) {
    int width, height;
    NaturalSize(ilw, &width, &height);
    w->core.width = Dimension(width);
  }
  Layout(ilw);
  return w;
}

Widget XdIconListGetChild(Widget w, int child) {
  ILW ilw = Cast(w);
  if (!ilw) return nullptr;
  switch (child) {
    case XdICONLIST_ICONS: return ilw->icon_list.icon_column;
    case XdICONLIST_LIST: return ilw->icon_list.list;
    case XdICONLIST_HSCROLLBAR: return ilw->icon_list.hbar;
    case XdICONLIST_VSCROLLBAR: return ilw->icon_list.vbar;
    default:
      XtWarning("Bad child specified for XdIconListGetChild()\n");
      return nullptr;
  }
}

void XdIconListAddItems(Widget w, Pixmap *icons, XmString *strings, int32_t *ids, int count,
                        int position) {
  ILW ilw = Cast(w);
  if (!ilw || !strings || count <= 0) return;
  int n = Count(ilw);
  if (position < 0 || position > n + 1) {
    XtWarning("Bad position for XdIconListAddItems()\n");
    return;
  }
  int idx = position == 0 ? n : position - 1;
  XdIconListPart &p = ilw->icon_list;
  bool had_icon = p.icon_width != 0;
  InsertSlots(ilw, idx, count, icons, ids);
  XmListAddItems(p.list, strings, count, idx + 1);
  _XdListLimitWidths(p.list, idx + 1, count);
  p.item_count = Count(ilw);
  MeasureIcons(ilw, had_icon ? Count(ilw) : 0);
  p.widest = L(ilw)->list.MaxWidth;
  if (p.anchor > idx) p.anchor += count;
  Relaid(ilw);
}

void XdIconListAddItem(Widget w, Pixmap icon, XmString string, int32_t id, int position) {
  ILW ilw = Cast(w);
  if (!ilw || !string) return;
  XdIconListAddItems(w, icon ? &icon : nullptr, &string, &id, 1, position);
}

int XdIconListReplaceItems(Widget w, Pixmap *icons, XmString *strings, int32_t *ids, int count,
                           int *positions) {
  ILW ilw = Cast(w);
  if (!ilw || !positions || count <= 0) return 0;
  XdIconListPart &p = ilw->icon_list;
  int n = Count(ilw);
  /* The answer starts at 1 and flips for each position out of range. */
  int ok = 1;
  bool use_ids = ids && ids != XdIDS_UNCHANGED;
  std::vector<int> rpos;
  std::vector<XmString> rstr;
  bool icons_changed = false;
  for (int i = 0; i < count; ++i) {
    int pos = positions[i];
    if (pos < 1 || pos > n) {
      ok = !ok;
      continue;
    }
    if (use_ids && ids[i] != XdID_UNCHANGED) {
      Reserve(ilw, n, false, true);
      p.ids[pos - 1] = ids[i];
    }
    /* Icons replace icons: a list without icons gets none here. */
    if (icons && icons[i] != XdICON_UNCHANGED && p.icon_items) {
      p.icon_items[pos - 1] = icons[i];
      icons_changed = true;
    }
    if (strings && strings[i]) {
      rpos.push_back(pos);
      rstr.push_back(strings[i]);
    }
  }
  if (!rpos.empty()) {
    XmListReplacePositions(p.list, rpos.data(), rstr.data(), int(rpos.size()));
    for (int pos : rpos) _XdListLimitWidths(p.list, pos, 1);
  }
  if (icons_changed) MeasureIcons(ilw, 0);
  p.widest = L(ilw)->list.MaxWidth;
  Relaid(ilw);
  return ok;
}

int _XdListHeight(Widget w, int height) {
  if (!w || !XmIsList(w)) return height;
  XmListWidget l = reinterpret_cast<XmListWidget>(w);
  const int cur = w->core.height;
  const int pitch = l->list.MaxItemHeight + l->list.spacing;
  if (pitch <= 0 || cur > height) return height;
  /* Kept only while the room shows no more whole rows than the list has
     now: a list squeezed by part of a row and given its room back takes
     the room, else it would show a row too few. */
  const int border = 2 * (l->list.margin_height + l->list.HighlightThickness +
                          l->primitive.shadow_thickness);
  const auto rows = [&](int h) { return (h - border + l->list.spacing) / pitch; };
  return rows(cur) == rows(height) ? cur : height;
}

int _XdSortPositions(const int *positions, int count, int n, int *out) {
  int k = 0;
  if (count <= 0 || n <= 0) return 0;
  if (count >= n / 64) {
    /* Many positions for the rows: mark them in a bit set and read the
       marks in order, a word at a time. */
    const size_t words = size_t(n) / 64 + 1;
    uint64_t local[256];
    std::vector<uint64_t> heap;
    uint64_t *bits = local;
    if (words > 256) {
      heap.assign(words, 0);
      bits = heap.data();
    } else {
      std::memset(local, 0, words * sizeof(uint64_t));
    }
    for (int i = 0; i < count; ++i)
      if (positions[i] >= 1 && positions[i] <= n)
        bits[unsigned(positions[i]) / 64] |= uint64_t(1) << (unsigned(positions[i]) % 64);
    for (size_t w = 0; w < words; ++w)
      for (uint64_t b = bits[w]; b; b &= b - 1) out[k++] = int(w * 64 + unsigned(__builtin_ctzll(b)));
    return k;
  }
  for (int i = 0; i < count; ++i)
    if (positions[i] >= 1 && positions[i] <= n) out[k++] = positions[i];
  std::sort(out, out + k);
  return int(std::unique(out, out + k) - out);
}

void XdIconListDeletePositions(Widget w, int *positions, int count) {
  ILW ilw = Cast(w);
  if (!ilw || !positions || count <= 0) return;
  int n = Count(ilw);
  std::vector<int> pos(size_t(count), 0);
  pos.resize(size_t(_XdSortPositions(positions, count, n, pos.data())));
  if (pos.empty()) return;
  XdIconListPart &p = ilw->icon_list;
  RemoveSlots(ilw, pos, n);
  XmListDeletePositions(p.list, pos.data(), int(pos.size()));
  if (p.anchor) {
    int below = int(std::lower_bound(pos.begin(), pos.end(), p.anchor) - pos.begin());
    bool gone = std::binary_search(pos.begin(), pos.end(), p.anchor);
    p.anchor = gone ? 0 : p.anchor - below;
  }
  AfterDelete(ilw);
}

void XdIconListDeletePos(Widget w, int position) { XdIconListDeletePositions(w, &position, 1); }

void XdIconListDeleteItem(Widget w, XmString string) {
  ILW ilw = Cast(w);
  if (!ilw || !string) return;
  int pos = XmListItemPos(ilw->icon_list.list, string);
  if (pos > 0) XdIconListDeletePos(w, pos);
}

void XdIconListDeleteAllItems(Widget w) {
  ILW ilw = Cast(w);
  if (!ilw) return;
  XdIconListPart &p = ilw->icon_list;
  FreeArrays(ilw);
  p.anchor = 0;
  p.widest = 0;
  p.icon_width = p.icon_height = 0;
  p.last_sorted = -1;
  XmListDeleteAllItems(p.list);
  p.item_count = 0;
  if (p.vbar) XtVaSetValues(p.vbar, XmNvalue, 0, nullptr);
  MeasureIcons(ilw, 0);
  Relaid(ilw);
}

void XdIconListSetPos(Widget w, int position) {
  ILW ilw = Cast(w);
  if (!ilw || !InRange(ilw, position)) return;
  XdIconListPart &p = ilw->icon_list;
  if (p.vbar) SetBarValue(p.vbar, position - 1);
  XmListSetPos(p.list, position);
  if (XtIsRealized(w)) PaintIcons(ilw, true);
  p.last_top = -1;
  SyncTop(ilw);
}

void XdIconListSetItem(Widget w, XmString string) {
  ILW ilw = Cast(w);
  if (!ilw || !string) return;
  XdIconListPart &p = ilw->icon_list;
  if (p.vbar) {
    int pos = XmListItemPos(p.list, string);
    if (pos <= 0) return;
    int limit = Count(ilw) - Visible(ilw) + 1;
    if (limit >= 1 && pos > limit) pos = limit;
    XdIconListSetPos(w, pos);
  } else {
    XmListSetItem(p.list, string);
    SyncTop(ilw);
  }
  PaintIcons(ilw, true);
}

Boolean XdIconListGetSelectedPos(Widget w, int **positions, int *count) {
  if (count) *count = 0;
  if (positions) *positions = nullptr;
  ILW ilw = Cast(w);
  if (!ilw || !positions || !count) return False;
  return XmListGetSelectedPos(ilw->icon_list.list, positions, count) && *count > 0;
}

int XdIconListItemPos(Widget w, XmString string) {
  ILW ilw = Cast(w);
  return ilw && string ? XmListItemPos(ilw->icon_list.list, string) : 0;
}

void XdIconListSelectItem(Widget w, XmString string, Boolean notify) {
  ILW ilw = Cast(w);
  if (ilw && string) XmListSelectItem(ilw->icon_list.list, string, notify);
}

void XdIconListSelectPos(Widget w, int position, Boolean notify) {
  ILW ilw = Cast(w);
  if (ilw && InRange(ilw, position)) XmListSelectPos(ilw->icon_list.list, position, notify);
}

int XdIconListVisibleItems(Widget w) {
  ILW ilw = Cast(w);
  return ilw ? Visible(ilw) : 0;
}

int XdIconListSelectAll(Widget w) {
  ILW ilw = Cast(w);
  if (!ilw) return 0;
  int n = Count(ilw);
  if (n == 0) return 0;
  if (PolicyOf(ilw) == XmSINGLE_SELECT) {
    XmListSelectPos(ilw->icon_list.list, 1, False);
    return 1;
  }
  std::vector<int> all(n);
  for (int i = 0; i < n; ++i) all[i] = i + 1;
  _XdIconListSetSelection(w, all.data(), n);
  return L(ilw)->list.selectedPositionCount;
}

int XdIconListDeselectPos(Widget w, int position) {
  ILW ilw = Cast(w);
  if (!ilw) return 0;
  if (InRange(ilw, position)) XmListDeselectPos(ilw->icon_list.list, position);
  return L(ilw)->list.selectedPositionCount;
}

void XdIconListDeselectAll(Widget w) {
  ILW ilw = Cast(w);
  if (ilw) XmListDeselectAllItems(ilw->icon_list.list);
}

Boolean XdIconListGetText(Widget w, int index, XmString *string) {
  if (string) *string = nullptr;
  ILW ilw = Cast(w);
  if (!ilw || !string || index < 0 || index >= Count(ilw)) return False;
  *string = XmStringCopy(L(ilw)->list.items[index]);
  return True;
}

void XdIconListSetTopItemPos(Widget w, int position) {
  ILW ilw = Cast(w);
  if (!ilw) return;
  int n = Count(ilw);
  if (position > 0 && n >= 1 && position <= n && n > Visible(ilw)) XdIconListSetPos(w, position);
}

void XdIconListGetTopItemPos(Widget w, int *position) {
  if (!position) return;
  *position = 0;
  ILW ilw = Cast(w);
  if (ilw) *position = Top(ilw) + 1;
}

int XdIconListSelectPositions(Widget w, int count, int *positions, Boolean notify) {
  ILW ilw = Cast(w);
  return ilw ? SelectPositions(ilw, count, positions, notify, nullptr) : 0;
}

}  // extern "C"

namespace {

/* Selects the positions as XdIconListSelectPositions does; the callback
   it makes carries `event`, the input that asked for the selection. */
int SelectPositions(ILW ilw, int count, const int *positions, Boolean notify, XEvent *event) {
  Widget w = (Widget)ilw;
  XmListWidget l = L(ilw);
  if (count <= 0 || !positions) return l->list.selectedPositionCount;
  int n = Count(ilw);
  if (PolicyOf(ilw) == XmSINGLE_SELECT) {
    if (positions[0] >= 1 && positions[0] <= n) {
      XdWidgetWatch watch(w);
      XmListSelectPos(ilw->icon_list.list, positions[0], True);
      if (!watch.alive()) return 1;
    }
    return l->list.selectedPositionCount;
  }
  std::vector<int> want;
  want.reserve(count);
  for (int i = 0; i < count; ++i)
    if (positions[i] >= 1 && positions[i] <= n) want.push_back(positions[i]);
  std::sort(want.begin(), want.end());
  int *cur = nullptr, ncur = 0;
  XmListGetSelectedPos(ilw->icon_list.list, &cur, &ncur);
  std::vector<int> merged;
  merged.reserve(want.size() + ncur);
  std::vector<int> curv(cur, cur + ncur);
  XtFree((char *)cur);
  std::sort(curv.begin(), curv.end());
  std::set_union(want.begin(), want.end(), curv.begin(), curv.end(), std::back_inserter(merged));
  merged.erase(std::unique(merged.begin(), merged.end()), merged.end());
  _XdIconListSetSelection(w, merged.data(), int(merged.size()));
  int selected = l->list.selectedPositionCount;
  if (notify) {
    /* The callback may destroy the list. */
    XdWidgetWatch watch(w);
    NotifySelection(ilw, XmCR_MULTIPLE_SELECT, event);
    if (!watch.alive()) return selected;
  }
  return l->list.selectedPositionCount;
}

}  // namespace

extern "C" {

void XdIconListSetLastSelected(Widget w, int position) {
  ILW ilw = Cast(w);
  if (ilw) ilw->icon_list.anchor = InRange(ilw, position) ? position : 0;
}

int32_t XdIconListGetId(Widget w, int position) {
  ILW ilw = Cast(w);
  if (!ilw || !ilw->icon_list.ids || !InRange(ilw, position)) return -1;
  return ilw->icon_list.ids[position - 1];
}

int XdIconListYToPos(Widget w, int y) {
  ILW ilw = Cast(w);
  return ilw ? PosAtY(ilw, y) : 0;
}

int32_t XdIconListGetIdFromPos(Widget w, int, int y) { return XdIconListGetId(w, XdIconListYToPos(w, y)); }

int XdIconListSetFocus(Widget w, int position) {
  ILW ilw = Cast(w);
  if (!ilw) return 0;
  if (InRange(ilw, position)) {
    XmListSetKbdItemPos(ilw->icon_list.list, position);
    SyncTop(ilw);
  }
  return position;
}

Pixmap XdIconListGetIcon(Widget w, int position) {
  ILW ilw = Cast(w);
  if (!ilw || !ilw->icon_list.icon_items || !InRange(ilw, position)) return XdICON_INVALID;
  return ilw->icon_list.icon_items[position - 1];
}

void XdIconListOverrideUserData(Widget w, XtPointer record) {
  ILW ilw = Cast(w);
  if (!ilw) return;
  XtVaSetValues(ilw->icon_list.frame, XmNuserData, record, nullptr);
  XtVaSetValues(ilw->icon_list.icon_column, XmNuserData, record, nullptr);
  XtVaSetValues(ilw->icon_list.list, XmNuserData, record, nullptr);
}

/* ---- keyboard procedures -------------------------------------------- */

/* The selection step of a navigation key: row `pos` becomes the only
   selected row (in multiple policy it is added), and the list's selection
   callback of the policy is called.  Only the rows concerned are touched:
   the list's own selection call rebuilds its selection from every row, so
   a keystroke would cost more the longer the list.  The callback carries
   the key's event.  False when the callback destroyed the widget. */
static bool SelectByKey(ILW ilw, int pos, XEvent *event) {
  XmListWidget l = L(ilw);
  Widget list = ilw->icon_list.list;
  const int n = l->list.itemCount;
  if (pos < 1 || pos > n) return true;
  const int policy = PolicyOf(ilw);
  const bool multiple = policy == XmMULTIPLE_SELECT;
  if (multiple && l->list.InternalList[pos - 1]->selected) return true;
  std::vector<int> positions, redraw;
  for (int i = 0; i < l->list.selectedPositionCount; ++i) {
    int old = l->list.selectedPositions[i];
    if (old < 1 || old > n) continue;
    if (multiple) {
      positions.push_back(old);
    } else {
      l->list.InternalList[old - 1]->selected = False;
      l->list.InternalList[old - 1]->last_selected = False;
      redraw.push_back(old);
    }
  }
  positions.insert(std::lower_bound(positions.begin(), positions.end(), pos), pos);
  l->list.InternalList[pos - 1]->selected = True;
  l->list.InternalList[pos - 1]->last_selected = True;
  redraw.push_back(pos);

  /* The list's selection arrays hold copies of the selected items. */
  for (int i = 0; i < l->list.selectedItemCount && l->list.selectedItems; ++i)
    XmStringFree(l->list.selectedItems[i]);
  XtFree(reinterpret_cast<char *>(l->list.selectedItems));
  XtFree(reinterpret_cast<char *>(l->list.selectedPositions));
  const int k = int(positions.size());
  l->list.selectedItems = reinterpret_cast<XmString *>(XtMalloc(Cardinal(k * sizeof(XmString))));
  l->list.selectedPositions = reinterpret_cast<int *>(XtMalloc(Cardinal(k * sizeof(int))));
  for (int i = 0; i < k; ++i) {
    l->list.selectedPositions[i] = positions[size_t(i)];
    l->list.selectedItems[i] = XmStringCopy(l->list.items[positions[size_t(i)] - 1]);
  }
  l->list.selectedItemCount = k;
  l->list.selectedPositionCount = k;
  l->list.LastHLItem = pos - 1;
  if (!multiple) {
    l->list.StartItem = l->list.EndItem = pos - 1;
    l->list.OldStartItem = l->list.OldEndItem = pos - 1;
  }

  if (XtIsRealized(list)) {
    const int top = Top(ilw), vis = Visible(ilw);
    for (int r : redraw) {
      if (r - 1 < top || r - 1 > top + vis) continue;
      Position x, y;
      Dimension w, h;
      if (XmListPosToBounds(list, r, &x, &y, &w, &h))
        XClearArea(XtDisplay(list), XtWindow(list), x, y, w, h, True);
    }
  }

  XmListCallbackStruct cbs;
  std::memset(&cbs, 0, sizeof cbs);
  cbs.event = event;
  const char *name = XmNbrowseSelectionCallback;
  cbs.reason = XmCR_BROWSE_SELECT;
  if (policy == XmSINGLE_SELECT) {
    name = XmNsingleSelectionCallback;
    cbs.reason = XmCR_SINGLE_SELECT;
  } else if (policy == XmEXTENDED_SELECT) {
    name = XmNextendedSelectionCallback;
    cbs.reason = XmCR_EXTENDED_SELECT;
    cbs.selection_type = XmINITIAL;
  } else if (multiple) {
    name = XmNmultipleSelectionCallback;
    cbs.reason = XmCR_MULTIPLE_SELECT;
  }
  XmString item = XmStringCopy(l->list.items[pos - 1]);
  std::vector<XmString> items(l->list.selectedItems, l->list.selectedItems + k);
  cbs.item = item;
  cbs.item_length = XmStringLength(item);
  cbs.item_position = pos;
  cbs.selected_items = items.data();
  cbs.selected_item_count = k;
  cbs.selected_item_positions = positions.data();
  XdWidgetWatch watch((Widget)ilw);
  XtCallCallbacks(list, const_cast<String>(name), &cbs);
  XmStringFree(item);
  return watch.alive();
}

/* Selects (without toggling a selected row off) and shows index i. */
static void MoveTo(ILW ilw, int index, XEvent *event) {
  Widget list = ilw->icon_list.list;
  int pos = index + 1;
  if (!SelectByKey(ilw, pos, event)) return;
  XmListSetKbdItemPos(list, pos);
  int top = Top(ilw), vis = Visible(ilw);
  if (index < top)
    XdIconListSetPos((Widget)ilw, index + 1);
  else if (index >= top + vis)
    XdIconListSetPos((Widget)ilw, index - vis + 2);
  else
    SyncTop(ilw);
}

static void Step(Widget w, int delta, XEvent *event) {
  ILW ilw = _XdIconListOf(w);
  if (!ilw || Count(ilw) == 0) return;
  int index = XmListGetKbdItemPos(ilw->icon_list.list) - 1 + delta;
  if (index >= 0 && index < Count(ilw)) MoveTo(ilw, index, event);
}

void XdIconListNormalPrevElement(Widget w, XEvent *event, String *, Cardinal *) {
  Step(w, -1, event);
}
void XdIconListNormalNextElement(Widget w, XEvent *event, String *, Cardinal *) {
  Step(w, +1, event);
}

static void Page(Widget w, bool next, XEvent *event) {
  ILW ilw = _XdIconListOf(w);
  if (!ilw || Count(ilw) == 0) return;
  int n = Count(ilw), top = Top(ilw), vis = Visible(ilw);
  int ntop;
  if (!next) {
    if (top == 0) return;
    ntop = std::max(top - vis + 1, 0);
  } else {
    if (top >= n - vis) return;
    ntop = std::min(top + vis - 1, n - vis);
  }
  Widget list = ilw->icon_list.list;
  int pos = ntop + 1;
  if (!SelectByKey(ilw, pos, event)) return;
  XmListSetKbdItemPos(list, pos);
  XdIconListSetPos((Widget)ilw, pos);
}

void XdIconListPrevPage(Widget w, XEvent *event, String *, Cardinal *) { Page(w, false, event); }
void XdIconListNextPage(Widget w, XEvent *event, String *, Cardinal *) { Page(w, true, event); }

}  // extern "C"

namespace {

/* Ctrl+Home and Ctrl+End go to the first and the last row and show it.
   The list's own actions for them move only among the rows in view: it
   scrolls through a scrolled window, and it has none here. */
void EdgeKeys(Widget, XtPointer closure, XEvent *event, Boolean *cont) {
  ILW ilw = static_cast<ILW>(closure);
  if (event->type != KeyPress || Count(ilw) == 0) return;
  const unsigned state = event->xkey.state;
  if (state & ShiftMask) return; /* extending a selection is the list's own */
  Modifiers mods = 0;
  KeySym sym = NoSymbol;
  XmTranslateKey(event->xkey.display, event->xkey.keycode, state, &mods, &sym);
  const bool ctrl = (state & ControlMask) != 0;
  int index = -1;
  if (sym == osfXK_BeginData || (ctrl && (sym == osfXK_BeginLine || sym == XK_Home || sym == XK_KP_Home)))
    index = 0;
  else if (sym == osfXK_EndData || (ctrl && (sym == osfXK_EndLine || sym == XK_End || sym == XK_KP_End)))
    index = Count(ilw) - 1;
  if (index < 0) return;
  *cont = False;
  MoveTo(ilw, index, event);
}

}  // namespace
