/*
 * XdMCIconList: a multi-column list built from one XdIconList (the first
 * column, which holds icons, ids and the selection) and plain XmLists for
 * the other columns, each under a header button with a resize handle, all
 * inside one columns area moved by the widget's own scroll bars.
 */
#include "xd/MCIconListP.h"
#include "xd/qevutil.h"
#include "qev/status.h"

#include <Xm/DrawingA.h>
#include <Xm/ListP.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <X11/Shell.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <vector>

namespace {

using MCW = XdMCIconListWidget;

/* Width taken from "columnWidth" by a column added with width 0. */
const int kDefaultWidthInset = 2;
/* Resize-handle drags leaving a column this narrow or narrower are ignored. */
const int kMinColumnWidth = 9;
/* In the first-column-only views the list stays this much narrower than
   the widget. */
const int kSingleViewInset = 10;
/* Height of the area repainted at the icon column's top after a resize. */
const int kRepaintHeight = 100;
const int kRepaintWidth = 5;
/* Rows shown when neither a height nor a visible count is given. */
const int kDefaultVisibleRows = 10;

#define OFF(field) XtOffsetOf(XdMCIconListRec, mc_icon_list.field)

XtResource resources[] = {
    {XdNstringItems, XdCStringItems, XdRStringItems, sizeof(XmString **), OFF(string_items),
     XmRImmediate, nullptr},
    {XdNiconItems, XdCIconItems, XdRIconItems, sizeof(Pixmap *), OFF(icon_items), XmRImmediate,
     nullptr},
    {XdNitemCount, XdCItemCount, (String)XmRInt, sizeof(int), OFF(item_count), XmRImmediate,
     (XtPointer)0},
    {XdNids, XdCIds, XdRIds, sizeof(int32_t *), OFF(ids), XmRImmediate, nullptr},
    {XdNcolumnWidth, XdCColumnWidth, (String)XmRHorizontalDimension, sizeof(Dimension),
     OFF(column_width), XmRImmediate, (XtPointer)150},
    {XdNhandleWidth, XdCHandleWidth, (String)XmRHorizontalDimension, sizeof(Dimension),
     OFF(handle_width), XmRImmediate, (XtPointer)2},
    {XdNresizeCursor, XdCResizeCursor, (String)XmRCursor, sizeof(Cursor), OFF(resize_cursor),
     XmRImmediate, (XtPointer)0},
    {XdNcolumnCount, XdCColumnCount, XdRColumnCount, sizeof(int), OFF(column_count), XmRImmediate,
     (XtPointer)0},
    {(String)XmNmarginWidth, (String)XmCMarginWidth, (String)XmRHorizontalDimension,
     sizeof(Dimension), OFF(margin_width), XmRImmediate, (XtPointer)2},
    {(String)XmNmarginHeight, (String)XmCMarginHeight, (String)XmRVerticalDimension,
     sizeof(Dimension), OFF(margin_height), XmRImmediate, (XtPointer)2},
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
    {XdNpostMenuCallback, (String)XmCCallback, (String)XmRCallback, sizeof(XtCallbackList),
     OFF(post_menu_callback), XmRImmediate, nullptr},
    {XdNheaderCallback, (String)XmCCallback, (String)XmRCallback, sizeof(XtCallbackList),
     OFF(header_callback), XmRImmediate, nullptr},
    {XdNdragCallback, (String)XmCCallback, (String)XmRCallback, sizeof(XtCallbackList),
     OFF(drag_callback), XmRImmediate, nullptr},
    {XdNdeleteNodeCallback, (String)XmCCallback, (String)XmRCallback, sizeof(XtCallbackList),
     OFF(delete_callback), XmRImmediate, nullptr},
    {XdNheaderColor, XdCHeaderColor, (String)XmRPixel, sizeof(Pixel), OFF(header_color),
     XmRImmediate, (XtPointer)0},
    {XdNviewType, XdCViewType, (String)XmRInt, sizeof(int), OFF(view_type), XmRImmediate,
     (XtPointer)0},
};
#undef OFF

void ClassInitialize();
void Initialize(Widget req, Widget neww, ArgList args, Cardinal *num_args);
void Realize(Widget w, XtValueMask *mask, XSetWindowAttributes *attrs);
void Destroy(Widget w);
void Resize(Widget w);
Boolean SetValues(Widget cur, Widget req, Widget neww, ArgList args, Cardinal *num_args);
XtGeometryResult QueryGeometry(Widget w, XtWidgetGeometry *req, XtWidgetGeometry *reply);
void ChangeManaged(Widget) {}
void ClassPartInitialize(WidgetClass) {}

void ActResizeStart(Widget w, XEvent *event, String *, Cardinal *);
void ActResizeMotion(Widget w, XEvent *event, String *, Cardinal *);
void ActResizeEnd(Widget w, XEvent *event, String *, Cardinal *);
void ActMenuButton(Widget w, XEvent *event, String *, Cardinal *);

XtActionsRec actions[] = {
    {(String) "MCILHandleResizeStart", ActResizeStart},
    {(String) "MCILHandleResizeMotion", ActResizeMotion},
    {(String) "MCILHandleResizeEnd", ActResizeEnd},
    {(String) "MCILMenuButton", ActMenuButton},
};

XtTranslations handleTranslations, lineTranslations, menuTranslations;

}  // namespace

extern "C" {
XdMCIconListClassRec xdMCIconListClassRec = {
    {
        (WidgetClass)&xmBulletinBoardClassRec, /* superclass */
        (String) "XdMCIconList",               /* class_name */
        sizeof(XdMCIconListRec),               /* widget_size */
        ClassInitialize,                       /* class_initialize */
        ClassPartInitialize,                   /* class_part_initialize */
        False,                                 /* class_inited */
        Initialize,                            /* initialize */
        nullptr,                               /* initialize_hook */
        Realize,                               /* realize */
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
    {XtInheritGeometryManager, ChangeManaged, XtInheritInsertChild, XtInheritDeleteChild, nullptr},
    {nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr},
    {XtInheritTranslations, nullptr, 0, nullptr, 0, XmInheritParentProcess, nullptr},
    {True, nullptr, XmInheritFocusMovedProc, nullptr},
    {nullptr},
};

WidgetClass xdMCIconListWidgetClass = (WidgetClass)&xdMCIconListClassRec;
}

namespace {

MCW Cast(Widget w) {
  if (!w || !XtIsSubclass(w, xdMCIconListWidgetClass)) return nullptr;
  return reinterpret_cast<MCW>(w);
}

MCW Of(Widget w) {
  for (; w; w = XtParent(w))
    if (XtIsSubclass(w, xdMCIconListWidgetClass)) return reinterpret_cast<MCW>(w);
  return nullptr;
}

void ClassInitialize() {
  _XdRegisterConverters();
  xdMCIconListClassRec.constraint_class.constraint_size =
      xmBulletinBoardClassRec.constraint_class.constraint_size;
  handleTranslations = XtParseTranslationTable("<Btn1Down>: MCILHandleResizeStart()");
  lineTranslations = XtParseTranslationTable(
      "Button1<Motion>  : MCILHandleResizeMotion()\n"
      "<Btn1Up>  : MCILHandleResizeEnd()");
  menuTranslations = XtParseTranslationTable(
      "~s ~c ~m ~a <Btn3Down>: MCILMenuButton()\n"
      "~s ~c ~m ~a <Btn1Down>: MCILMenuButton()");
}

inline XdMCIconListPart &P(MCW mc) { return mc->mc_icon_list; }
inline int Columns(MCW mc) { return P(mc).column_count; }
inline XdMCColumn *Col(MCW mc, int i) { return P(mc).columns[i]; }
inline Widget First(MCW mc) { return Columns(mc) > 0 ? Col(mc, 0)->list : nullptr; }
inline XdIconListWidget FirstIL(MCW mc) { return reinterpret_cast<XdIconListWidget>(First(mc)); }
inline Widget FirstInner(MCW mc) { return Columns(mc) > 0 ? FirstIL(mc)->icon_list.list : nullptr; }
inline XmListWidget XL(Widget list) { return reinterpret_cast<XmListWidget>(list); }
inline int Rows(MCW mc) { return Columns(mc) > 0 ? XL(FirstInner(mc))->list.itemCount : 0; }
/* The XmList holding a column's texts. */
inline Widget TextList(MCW mc, int i) { return i == 0 ? FirstInner(mc) : Col(mc, i)->list; }

int IndexOf(MCW mc, const XdMCColumn *col) {
  for (int i = 0; i < Columns(mc); ++i)
    if (Col(mc, i) == col) return i;
  return -1;
}

void InvalidateTexts(MCW mc) {
  P(mc).texts_valid = False;
  ++P(mc).rows_stamp;
}

void FreeColumnTexts(XdMCColumn *col) {
  for (int i = 0; i < col->text_count; ++i) XtFree(col->texts[i]);
  XtFree(reinterpret_cast<char *>(col->texts));
  col->texts = nullptr;
  col->text_count = 0;
}

void DefineCursor(MCW mc) {
  Cursor c = P(mc).resize_cursor;
  for (int i = 0; i < Columns(mc); ++i) {
    Widget h = Col(mc, i)->handle;
    if (h && XtIsRealized(h)) XDefineCursor(XtDisplay(h), XtWindow(h), c);
  }
}

/* Later columns keep the first column's row pitch (tall icons raise it). */
void AlignRows(MCW mc) {
  if (Columns(mc) < 2) return;
  Dimension spacing = 0;
  XtVaGetValues(FirstInner(mc), XmNlistSpacing, &spacing, nullptr);
  for (int i = 1; i < Columns(mc); ++i) {
    Widget l = Col(mc, i)->list;
    if (XL(l)->list.ItemSpacing != spacing) XtVaSetValues(l, XmNlistSpacing, spacing, nullptr);
  }
}

void UpdateTables(MCW mc) {
  XdMCIconListPart &p = P(mc);
  int c = Columns(mc);
  p.table_storage = reinterpret_cast<XmString **>(
      XtRealloc(reinterpret_cast<char *>(p.table_storage), std::max(c, 1) * sizeof(XmString *)));
  for (int i = 0; i < c; ++i) p.table_storage[i] = XL(TextList(mc, i))->list.items;
  p.string_items = c ? p.table_storage : nullptr;
  p.item_count = Rows(mc);
  p.icon_items = c ? FirstIL(mc)->icon_list.icon_items : nullptr;
  if (c > 0 && p.view_type == XdVIEW_FIRST_FOLLOWS && c > 1) {
    int vis = XL(Col(mc, 1)->list)->list.visibleItemCount;
    XtVaSetValues(FirstInner(mc), XmNvisibleItemCount, vis, nullptr);
  }
  AlignRows(mc);
  DefineCursor(mc);
  InvalidateTexts(mc);
}

void SetBar(Widget bar, int mn, int mx, int slider, int page, int value) {
  slider = std::max(1, std::min(slider, mx - mn));
  value = std::max(mn, std::min(value, mx - slider));
  XtVaSetValues(bar, XmNminimum, mn, XmNmaximum, mx, XmNsliderSize, slider, XmNpageIncrement,
                std::max(page, 1), XmNvalue, value, nullptr);
}

void Layout(MCW mc) {
  XdMCIconListPart &p = P(mc);
  Widget w = (Widget)mc;
  int C = Columns(mc);
  if (C == 0) return;
  int width = w->core.width, height = w->core.height;
  bool columnsView = p.view_type == XdVIEW_COLUMNS;
  int T = 0;
  for (int i = 0; i < C; ++i) T += Col(mc, i)->width;
  if (!columnsView) T = std::max(width, int(Col(mc, 0)->header->core.width));
  bool showH = T > width;
  int hbh = showH ? p.hbar->core.height : 0;

  /* The columns area keeps its scrolled offset, within what the bar can
     reach; an area not scrolled yet shows the first column whole. */
  int x0 = p.area->core.x;
  if (p.area->core.width != T && x0 < 0) x0 += p.area->core.width - T;
  x0 = std::max(x0, std::min(0, width - T));
  if (x0 > 0) x0 = 0;
  if (!columnsView || !showH) x0 = 0;

  int hh = columnsView ? Col(mc, 0)->header->core.height : 0;
  int rowHL = XL(FirstInner(mc))->list.HighlightThickness;
  int x = 0;
  for (int i = 0; i < C; ++i) {
    XdMCColumn *col = Col(mc, i);
    int cw = std::max(int(col->width), int(p.handle_width) + 1);
    if (columnsView) {
      XtConfigureWidget(col->header, x, 0, cw - p.handle_width, hh, 0);
      XtConfigureWidget(col->handle, x + cw - p.handle_width, 0, std::max<int>(p.handle_width, 1),
                        std::max(hh, 1), 0);
      int lh = height - hh - hbh - (i > 0 ? rowHL : 0);
      if (i > 0) lh = _XdListHeight(col->list, lh);
      XtConfigureWidget(col->list, x, hh, cw, std::max(lh, 1), 0);
    } else if (i == 0) {
      XtConfigureWidget(col->list, 0, 0, std::max(width - kSingleViewInset, 1),
                        std::max(height - hbh, 1), 0);
    }
    x += cw;
  }
  XtConfigureWidget(p.area, x0, 0, std::max(T, 1), std::max(height, 1), 0);

  XmListWidget first = XL(FirstInner(mc));
  int rows = first->list.itemCount;
  int full = rows * (first->list.MaxItemHeight + first->list.spacing) + rowHL + hh +
             first->primitive.highlight_thickness + hbh;
  bool showV = full >= height;
  int vbw = p.vbar->core.width;
  if (showH) {
    int bw = std::max(showV ? width - vbw : width, 1);
    XtConfigureWidget(p.hbar, 0, height - hbh, bw, p.hbar->core.height, 0);
    SetBar(p.hbar, 0, std::max(T, 1), std::min(bw, T), bw, -x0);
    XtManageChild(p.hbar);
    if (XtIsRealized(p.hbar)) XRaiseWindow(XtDisplay(w), XtWindow(p.hbar));
  } else {
    XtUnmanageChild(p.hbar);
  }
  if (showV) {
    int bh = std::max(showH ? height - hbh : height, 1);
    XtConfigureWidget(p.vbar, width - vbw, 0, vbw, bh, 0);
    int vis = first->list.visibleItemCount;
    int page = vis < 3 ? 1 : vis - 1;
    if (rows > 0) {
      int mx = rows == 1 ? 2 : rows;
      int slider = std::max(1, std::min(vis - 1, rows - 1));
      SetBar(p.vbar, 1, mx, slider, page, first->list.top_position + 1);
    }
    XtManageChild(p.vbar);
    if (XtIsRealized(p.vbar)) XRaiseWindow(XtDisplay(w), XtWindow(p.vbar));
  } else {
    XtUnmanageChild(p.vbar);
  }
}

/* Every later column and the vertical bar follow the first column's top. */
void FollowFirst(Widget, XtPointer closure) {
  MCW mc = static_cast<MCW>(closure);
  XdMCIconListPart &p = P(mc);
  if (p.syncing || Columns(mc) == 0) return;
  p.syncing = True;
  int top = XL(FirstInner(mc))->list.top_position + 1;
  for (int i = 1; i < Columns(mc); ++i) {
    Widget l = Col(mc, i)->list;
    if (XL(l)->list.top_position + 1 != top && top <= XL(l)->list.itemCount) XmListSetPos(l, top);
  }
  if (XtIsManaged(p.vbar)) {
    int mn, mx, sl;
    XtVaGetValues(p.vbar, XmNminimum, &mn, XmNmaximum, &mx, XmNsliderSize, &sl, nullptr);
    XtVaSetValues(p.vbar, XmNvalue, std::max(mn, std::min(top, mx - sl)), nullptr);
  }
  p.syncing = False;
}

void VScrolled(Widget, XtPointer closure, XtPointer call) {
  MCW mc = static_cast<MCW>(closure);
  auto *cbs = static_cast<XmScrollBarCallbackStruct *>(call);
  if (Columns(mc) == 0 || P(mc).syncing) return;
  int v = std::max(1, std::min(cbs->value, Rows(mc)));
  XdIconListSetPos(First(mc), v);
  FollowFirst(nullptr, mc);
}

void HScrolled(Widget, XtPointer closure, XtPointer call) {
  MCW mc = static_cast<MCW>(closure);
  auto *cbs = static_cast<XmScrollBarCallbackStruct *>(call);
  XtMoveWidget(P(mc).area, Position(-cbs->value), 0);
}

/* ---- callbacks ---------------------------------------------------- */

void CallPostMenu(MCW mc, int reason, XEvent *event, int column, bool withSelection);

void Forward(Widget w, XtPointer closure, XtPointer call) {
  MCW mc = static_cast<MCW>(closure);
  XdMCIconListPart &p = P(mc);
  auto *cbs = static_cast<XmListCallbackStruct *>(call);
  XtCallbackList cl = nullptr;
  switch (cbs->reason) {
    case XmCR_SINGLE_SELECT: cl = p.single_callback; break;
    case XmCR_MULTIPLE_SELECT: cl = p.multiple_callback; break;
    case XmCR_EXTENDED_SELECT: cl = p.extended_callback; break;
    case XmCR_BROWSE_SELECT: cl = p.browse_callback; break;
    case XmCR_DEFAULT_ACTION: cl = p.default_action_callback; break;
    case XmCR_DRAG:
      if (p.drag_callback) XtCallCallbackList((Widget)mc, p.drag_callback, call);
      return;
    case XdCR_BUTTON_PRESS:
      /* The icon list reports presses with list call data; the widget's
         own listeners get the post-menu call data, for the first column. */
      CallPostMenu(mc, XdCR_BUTTON_PRESS, cbs->event, 1, false);
      return;
    default: return;
  }
  if (cl) XtCallCallbackList(w, cl, call);
}

void CallPostMenu(MCW mc, int reason, XEvent *event, int column, bool withSelection) {
  XdMCIconListPart &p = P(mc);
  if (!p.post_menu_callback) return;
  XdMCIconListMenuCallbackStruct cd = {};
  cd.reason = reason;
  cd.event = event;
  cd.column = column;
  cd.selection_policy = p.selection_policy;
  int *sel = nullptr;
  if (withSelection && Columns(mc) > 0) {
    int n = 0;
    if (XdIconListGetSelectedPos(First(mc), &sel, &n)) {
      cd.selected = sel;
      cd.selected_count = n;
    }
  }
  XtCallCallbackList((Widget)mc, p.post_menu_callback, &cd);
  XtFree(reinterpret_cast<char *>(sel));
}

/* Selects row pos of the first column unless it is selected already.
   False when the selection callback destroyed the widget. */
bool SelectIfNot(MCW mc, int pos) {
  Widget inner = FirstInner(mc);
  if (pos < 1 || pos > Rows(mc) || XmListPosSelected(inner, pos)) return true;
  XdWidgetWatch watch((Widget)mc);
  XmListSelectPos(inner, pos, True);
  return watch.alive();
}

int RowAtRootY(MCW mc, int rootY) {
  Widget inner = FirstInner(mc);
  Position ox, oy;
  XtTranslateCoords(inner, 0, 0, &ox, &oy);
  int pos = XmListYToPos(inner, Position(rootY - oy));
  return pos >= 1 && pos <= Rows(mc) ? pos : 0;
}

int ColumnAtRootX(MCW mc, int rootX) {
  for (int i = 0; i < Columns(mc); ++i) {
    Widget l = Col(mc, i)->list;
    Position ox, oy;
    XtTranslateCoords(l, 0, 0, &ox, &oy);
    if (rootX >= ox && rootX < ox + l->core.width) return i + 1;
  }
  return 0;
}

/* A press on the widget's own window (outside the columns). */
void OwnPress(Widget w, XtPointer, XEvent *event, Boolean *) {
  MCW mc = reinterpret_cast<MCW>(w);
  if (event->type != ButtonPress || Columns(mc) == 0) return;
  int column = ColumnAtRootX(mc, event->xbutton.x_root);
  if (column == 1 && !SelectIfNot(mc, RowAtRootY(mc, event->xbutton.y_root))) return;
  CallPostMenu(mc, XdCR_POST_MENU, event, column, true);
}

void ActMenuButton(Widget w, XEvent *event, String *, Cardinal *) {
  MCW mc = Of(w);
  if (!mc || !event || event->type != ButtonPress) return;
  XdWidgetWatch watch((Widget)mc);
  CallPostMenu(mc, XdCR_BUTTON_PRESS, event, 0, false);
  if (!watch.alive() || event->xbutton.button != Button3 || Columns(mc) == 0) return;
  int column = 0;
  for (int i = 0; i < Columns(mc); ++i)
    if (Col(mc, i)->list == w) column = i + 1;
  if (!SelectIfNot(mc, RowAtRootY(mc, event->xbutton.y_root))) return;
  CallPostMenu(mc, XdCR_POST_MENU, event, column, true);
}

/* ---- sorting ------------------------------------------------------- */

/* Column c's rows as host text ("" for none), converted once and kept
   until the rows change. */
char **ColumnTexts(MCW mc, int c) {
  XdMCColumn *col = Col(mc, c);
  const int n = Rows(mc);
  if (col->texts && col->texts_stamp == P(mc).rows_stamp && col->text_count == n) return col->texts;
  FreeColumnTexts(col);
  Widget l = TextList(mc, c);
  const int have = std::min(n, XL(l)->list.itemCount);
  XmString *items = XL(l)->list.items;
  col->texts = reinterpret_cast<char **>(XtMalloc(Cardinal(std::max(n, 1) * sizeof(char *))));
  for (int i = 0; i < n; ++i) {
    char *t = i < have ? _XdStringText(items[i]) : nullptr;
    col->texts[i] = t ? t : XtNewString("");
  }
  col->text_count = n;
  col->texts_stamp = P(mc).rows_stamp;
  return col->texts;
}

/* The first eight bytes of a text, in an order that compares as strcmp
   does over them (a shorter text ends in zeros). */
uint64_t Prefix(const char *t) {
  uint64_t v = 0;
  int i = 0;
  for (; i < 8 && t[i]; ++i) v = (v << 8) | static_cast<unsigned char>(t[i]);
  return i == 0 ? 0 : v << (8 * (8 - i));
}

/* The order of rows (0-based indices) by column c's texts, ascending.
   Without a key function equal texts keep their order.  With one, rows are
   ordered by key with equal keys latest first, and a row whose key is not
   a number goes before every row placed so far. */
std::vector<int> SortOrder(MCW mc, int c) {
  const int n = Rows(mc);
  char **texts = ColumnTexts(mc, c);
  XdMCIconListKeyProc key = Col(mc, c)->key;
  std::vector<int> order(n);
  if (!key) {
    /* Rows compare by their texts' first bytes as one number; only rows
       alike in those compare the rest. */
    struct Entry {
      uint64_t prefix;
      int row;
    };
    std::vector<Entry> e(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) e[size_t(i)] = {Prefix(texts[i]), i};
    std::stable_sort(e.begin(), e.end(), [texts](const Entry &a, const Entry &b) {
      if (a.prefix != b.prefix) return a.prefix < b.prefix;
      if ((a.prefix & 0xff) == 0) return false; /* both end within the prefix: equal */
      return std::strcmp(texts[a.row] + 8, texts[b.row] + 8) < 0;
    });
    for (int i = 0; i < n; ++i) order[size_t(i)] = e[size_t(i)].row;
    return order;
  }
  std::iota(order.begin(), order.end(), 0);
  std::vector<double> keys(n);
  for (int i = 0; i < n; ++i) keys[i] = key(texts[i], int(std::strlen(texts[i])));
  /* A row whose key is not a number starts a new front segment: rows after
     it are placed before it, rows before it stay behind it.  Within a
     segment rows are ascending, equal keys latest first. */
  auto bykey = [&](int a, int b) { return keys[a] < keys[b] || (!(keys[b] < keys[a]) && a > b); };
  std::vector<int> out;
  out.reserve(n);
  int end = n;
  for (int i = n - 1; i >= -1; --i) {
    if (i >= 0 && keys[i] == keys[i]) continue; /* a number */
    std::vector<int> seg;
    for (int j = i + 1; j < end; ++j) seg.push_back(j);
    std::sort(seg.begin(), seg.end(), bykey);
    out.insert(out.end(), seg.begin(), seg.end());
    if (i >= 0) out.push_back(i);
    end = i;
  }
  return out;
}

/* Refills every column in the given row order (one bulk add per column);
   the selection moves with its rows. */
XmString EmptyString() { return _XdMakeString(""); }

/* Puts every column's rows in the given order in place; the icons, ids
   and selection go with their rows.  A column whose rows are not in step
   is refilled instead. */
void Reorder(MCW mc, const std::vector<int> &order) {
  int n = Rows(mc), C = Columns(mc);
  if (!_XdIconListPermute(First(mc), order.data(), n)) return;
  std::vector<XmString> s;
  for (int c = 1; c < C; ++c) {
    Widget l = TextList(mc, c);
    if (_XdListPermute(l, order.data(), n)) continue;
    XmString *items = XL(l)->list.items;
    int count = XL(l)->list.itemCount;
    s.assign(size_t(n), nullptr);
    for (int i = 0; i < n; ++i) s[size_t(i)] = order[size_t(i)] < count ? XmStringCopy(items[order[size_t(i)]]) : EmptyString();
    XmListDeleteAllItems(l);
    XmListAddItems(l, s.data(), n, 0);
    for (XmString x : s) XmStringFree(x);
  }
}

void Sort(MCW mc, int c) {
  if (c < 0 || c >= Columns(mc)) return;
  _XdBusy(1);
  int top = 0;
  XdIconListGetTopItemPos(First(mc), &top);
  Widget frame = FirstIL(mc)->icon_list.frame;
  XtUnmanageChild(frame);
  int n = Rows(mc);
  if (n == 0) {
    XtManageChild(frame);
    _XdBusy(0);
    return;
  }
  std::vector<int> order;
  if (FirstIL(mc)->icon_list.last_sorted == c) {
    order.resize(n);
    for (int i = 0; i < n; ++i) order[i] = n - 1 - i;
  } else {
    order = SortOrder(mc, c);
  }
  Reorder(mc, order);
  /* Texts kept for the columns go with their rows and stay valid. */
  std::vector<XdMCColumn *> kept;
  std::vector<char *> moved(static_cast<size_t>(n));
  for (int k = 0; k < Columns(mc); ++k) {
    XdMCColumn *col = Col(mc, k);
    if (!col->texts || col->texts_stamp != P(mc).rows_stamp || col->text_count != n) continue;
    for (int i = 0; i < n; ++i) moved[size_t(i)] = col->texts[order[size_t(i)]];
    std::copy(moved.begin(), moved.end(), col->texts);
    kept.push_back(col);
  }
  XtManageChild(frame);
  FirstIL(mc)->icon_list.last_sorted = c;
  _XdBusy(0);
  Layout(mc);
  UpdateTables(mc);
  for (XdMCColumn *col : kept) col->texts_stamp = P(mc).rows_stamp;
  XdMCIconListSetTopItemPos((Widget)mc, top);
  if (XtIsRealized(FirstInner(mc))) XmProcessTraversal(FirstInner(mc), XmTRAVERSE_CURRENT);
}

void HeaderActivated(Widget w, XtPointer closure, XtPointer call) {
  XdMCColumn *col = static_cast<XdMCColumn *>(closure);
  MCW mc = Of(w);
  if (!mc) return;
  int c = IndexOf(mc, col);
  if (c < 0) {
    XtWarning("Unable to determine column for headerCallback.\n");
    return;
  }
  auto *pb = static_cast<XmPushButtonCallbackStruct *>(call);
  XmListCallbackStruct cbs = {};
  cbs.reason = pb ? pb->reason : XmCR_ACTIVATE;
  cbs.event = pb ? pb->event : nullptr;
  cbs.item_position = c + 1;
  cbs.selection_type = static_cast<unsigned char>(col->sortable & 0xff);
  if (P(mc).default_action_callback) {
    /* The callback may delete columns or destroy the widget. */
    XdWidgetWatch watch((Widget)mc);
    XtCallCallbackList((Widget)mc, P(mc).default_action_callback, &cbs);
    if (!watch.alive()) return;
    c = IndexOf(mc, col);
    if (c < 0) return;
  }
  if (col->sortable) Sort(mc, c);
}

/* ---- keys ---------------------------------------------------------- */

KeySym osfDelete = NoSymbol, hpDeleteChar = NoSymbol;

/* The first column's texts, built once after each change, so that a
   keystroke searches without allocating. */
void BuildTexts(MCW mc) {
  XdMCIconListPart &p = P(mc);
  if (p.texts_valid) return;
  int n = Rows(mc);
  XmString *items = n ? XL(FirstInner(mc))->list.items : nullptr;
  std::vector<char> buf;
  p.first_offsets = reinterpret_cast<int *>(XtRealloc(reinterpret_cast<char *>(p.first_offsets),
                                                      (n + 1) * sizeof(int)));
  for (int i = 0; i < n; ++i) {
    p.first_offsets[i] = int(buf.size());
    char *t = _XdStringText(items[i]);
    if (t) buf.insert(buf.end(), t, t + std::strlen(t));
    buf.push_back('\0');
    XtFree(t);
  }
  p.first_offsets[n] = int(buf.size());
  XtFree(p.first_texts);
  p.first_texts = XtMalloc(std::max<size_t>(buf.size(), 1));
  if (!buf.empty()) std::memcpy(p.first_texts, buf.data(), buf.size());
  p.texts_valid = True;
}

bool StartsWith(const char *text, const char *prefix, int len) {
  for (int i = 0; i < len; ++i) {
    if (!text[i]) return false;
    if (std::toupper(static_cast<unsigned char>(text[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

/* Selects (without toggling off) and shows row pos of the first column. */
void GoTo(MCW mc, int pos) {
  Widget inner = FirstInner(mc);
  if (!(XL(inner)->list.SelectionPolicy == XmMULTIPLE_SELECT && XmListPosSelected(inner, pos))) {
    XdWidgetWatch watch((Widget)mc);
    XmListSelectPos(inner, pos, True);
    if (!watch.alive()) return;
  }
  XmListSetKbdItemPos(inner, pos);
  int top = XL(inner)->list.top_position + 1, vis = XL(inner)->list.visibleItemCount;
  if (Rows(mc) > vis && (pos < top || pos >= top + vis)) XdIconListSetPos(First(mc), pos);
  FollowFirst(nullptr, mc);
}

void TypeAhead(MCW mc, char letter, Time time) {
  XdMCIconListPart &p = P(mc);
  int n = Rows(mc);
  bool extend = p.typeahead_length > 0 &&
                time - p.typeahead_time <= Time(XtGetMultiClickTime(XtDisplay((Widget)mc)));
  if (!extend) p.typeahead_length = 0;
  if (p.typeahead_length < XdTYPEAHEAD_MAX) p.typeahead[p.typeahead_length++] = letter;
  p.typeahead[p.typeahead_length] = '\0';
  p.typeahead_time = time;
  if (n == 0) return;
  BuildTexts(mc);
  Widget inner = FirstInner(mc);
  XmListWidget l = XL(inner);
  int start = l->list.selectedPositionCount > 0 ? l->list.selectedPositions[0] - 1 : 0;
  for (int i = 0; i < n; ++i) {
    int r = (start + i) % n;
    if (p.typeahead_length == 1 && i == 0 && l->list.selectedPositionCount > 0) continue;
    if (StartsWith(p.first_texts + p.first_offsets[r], p.typeahead, p.typeahead_length)) {
      GoTo(mc, r + 1);
      return;
    }
  }
  /* Only the start row itself matches a single letter. */
  if (p.typeahead_length == 1 && StartsWith(p.first_texts + p.first_offsets[start], p.typeahead, 1))
    GoTo(mc, start + 1);
}

void KeyPressed(Widget, XtPointer closure, XEvent *event, Boolean *cont) {
  XdMCColumn *col = static_cast<XdMCColumn *>(closure);
  MCW mc = Of(col->owner);
  if (!mc || event->type != KeyPress || Columns(mc) == 0) return;
  if (osfDelete == NoSymbol) {
    osfDelete = XStringToKeysym("osfDelete");
    hpDeleteChar = XStringToKeysym("hpDeleteChar");
  }
  char buf[10];
  KeySym ks = NoSymbol;
  XLookupString(&event->xkey, buf, sizeof buf, &ks, nullptr);
  if ((osfDelete != NoSymbol && ks == osfDelete) || (hpDeleteChar != NoSymbol && ks == hpDeleteChar))
    ks = XK_Delete;
  if (ks == XK_Delete || ks == XK_BackSpace) {
    if (P(mc).delete_callback)
      XtCallCallbackList((Widget)mc, P(mc).delete_callback, reinterpret_cast<XtPointer>(ks));
    return;
  }
  if ((ks >= XK_A && ks <= XK_Z) || (ks >= XK_a && ks <= XK_z)) {
    if (event->xkey.state & (ControlMask | Mod1Mask)) return;
    TypeAhead(mc, static_cast<char>(ks), event->xkey.time);
    return;
  }
  const char *action = nullptr;
  switch (ks) {
    case XK_Up: case XK_KP_Up: action = "IconListPrevItem"; break;
    case XK_Down: case XK_KP_Down: action = "IconListNextItem"; break;
    case XK_Prior: case XK_KP_Prior: case XK_F29: action = "IconListPrevPage"; break;
    case XK_Next: case XK_KP_Next: case XK_F35: action = "IconListNextPage"; break;
    default: return;
  }
  XdWidgetWatch watch((Widget)mc);
  XtCallActionProc(FirstInner(mc), const_cast<String>(action), event, nullptr, 0);
  *cont = False;
  if (watch.alive()) FollowFirst(nullptr, mc);
}

/* ---- columns ------------------------------------------------------- */

void AddArg(std::vector<Arg> &v, const char *name, XtArgVal value) {
  Arg a;
  a.name = const_cast<String>(name);
  a.value = value;
  v.push_back(a);
}

Pixel HeaderBackground(MCW mc) {
  return P(mc).header_color ? P(mc).header_color : mc->core.background_pixel;
}

/* Colours and fonts given to every widget of a column. */
void LookArgs(MCW mc, std::vector<Arg> &a, bool header) {
  AddArg(a, XmNforeground, mc->manager.foreground);
  AddArg(a, XmNbackground, header ? HeaderBackground(mc) : mc->core.background_pixel);
  AddArg(a, XmNtopShadowColor, mc->manager.top_shadow_color);
  AddArg(a, XmNbottomShadowColor, mc->manager.bottom_shadow_color);
  XmFontList f = mc->bulletin_board.button_font_list;
  if (!f) f = mc->bulletin_board.text_font_list;
  if (f) AddArg(a, XmNfontList, (XtArgVal)f);
}

/* An empty row text, made as the host makes compound strings. */

/* Replaces every row's text of the first column, keeping its selection by
   position (the list would otherwise match selected rows by text). */
void ReplaceFirstTexts(MCW mc, XmString *texts, int n) {
  Widget inner = FirstInner(mc);
  int *sel = nullptr, nsel = 0;
  XmListGetSelectedPos(inner, &sel, &nsel);
  std::vector<int> pos(n);
  std::iota(pos.begin(), pos.end(), 1);
  XmListReplacePositions(inner, pos.data(), texts, n);
  _XdIconListSetSelection(First(mc), sel, nsel);
  XtFree(reinterpret_cast<char *>(sel));
  InvalidateTexts(mc);
}

/* Fills list l (a later column) with n empty rows. */
void FillEmpty(Widget l, int n) {
  if (n <= 0) return;
  XmString e = EmptyString();
  std::vector<XmString> v(n, e);
  XmListAddItems(l, v.data(), n, 0);
  XmStringFree(e);
}

XdMCColumn *MakeColumn(MCW mc, int index, XmString label, int width, int32_t data,
                       int32_t sortable, XdMCIconListKeyProc key) {
  XdMCIconListPart &p = P(mc);
  XdMCColumn *col = reinterpret_cast<XdMCColumn *>(XtCalloc(1, sizeof(XdMCColumn)));
  col->owner = (Widget)mc;
  col->width = int16_t(width);
  col->data = data;
  col->sortable = sortable;
  col->key = key;

  XmString empty = label ? nullptr : EmptyString();
  std::vector<Arg> a;
  AddArg(a, XmNwidth, std::max(width - int(p.handle_width), 1));
  AddArg(a, XmNtraversalOn, False);
  AddArg(a, XmNhighlightThickness, 0);
  AddArg(a, XmNlabelString, (XtArgVal)(label ? label : empty));
  AddArg(a, XmNrecomputeSize, False);
  LookArgs(mc, a, true);
  col->header = XtCreateWidget("Header", xmPushButtonWidgetClass, p.area, a.data(), a.size());
  if (empty) XmStringFree(empty);
  if (p.view_type == XdVIEW_COLUMNS) XtManageChild(col->header);
  _XdAddDragHandler(col->header);
  _XdWidgetCreated(col->header, XdHOOK_MCHEADER);
  XtAddCallback(col->header, XmNactivateCallback, HeaderActivated, col);

  a.clear();
  AddArg(a, XmNwidth, std::max<int>(p.handle_width, 1));
  AddArg(a, XmNheight, std::max<int>(col->header->core.height, 1));
  AddArg(a, XmNtraversalOn, False);
  AddArg(a, XmNhighlightThickness, 0);
  AddArg(a, XmNtranslations, (XtArgVal)handleTranslations);
  AddArg(a, XmNuserData, (XtArgVal)col);
  AddArg(a, XmNmarginWidth, 0);
  AddArg(a, XmNmarginHeight, 0);
  LookArgs(mc, a, true);
  col->handle = XtCreateWidget("Handle", xmDrawingAreaWidgetClass, p.area, a.data(), a.size());
  if (p.view_type == XdVIEW_COLUMNS) XtManageChild(col->handle);
  if (XtIsRealized(col->handle))
    XDefineCursor(XtDisplay(col->handle), XtWindow(col->handle), p.resize_cursor);

  int lh = int(p.area->core.height) - int(col->header->core.height);
  a.clear();
  AddArg(a, XmNwidth, std::max(width, 1));
  AddArg(a, XmNheight, std::max(lh, 1));
  AddArg(a, XmNlistSizePolicy, XmCONSTANT);
  AddArg(a, XmNshadowThickness, 0);
  AddArg(a, XmNselectionPolicy, p.selection_policy);
  AddArg(a, XmNuserData, (XtArgVal)col);
  LookArgs(mc, a, false);
  if (index == 0) {
    AddArg(a, XmNhighlightColor, mc->core.background_pixel);
    col->list = XdCreateIconList(p.area, const_cast<char *>("List"), a.data(), a.size());
    Widget inner = XdIconListGetChild(col->list, XdICONLIST_LIST);
    XtPointer record = nullptr;
    XtVaGetValues(p.area, XmNuserData, &record, nullptr);
    XtVaSetValues(inner, XmNuserData, record, nullptr);
    _XdWidgetCreated(inner, XdHOOK_MCICONLIST);
    static const char *const lists[] = {XmNsingleSelectionCallback, XmNmultipleSelectionCallback,
                                        XmNextendedSelectionCallback, XmNbrowseSelectionCallback,
                                        XmNdefaultActionCallback, XdNdragCallback,
                                        XdNpostMenuCallback};
    for (const char *name : lists) XtAddCallback(col->list, name, Forward, mc);
    _XdIconListSetTopProc(col->list, FollowFirst, mc);
    XtInsertEventHandler(inner, KeyPressMask, False, KeyPressed, col, XtListHead);
  } else {
    AddArg(a, XmNtraversalOn, False);
    AddArg(a, XmNtranslations, (XtArgVal)menuTranslations);
    col->list = XtCreateWidget("List", xmListWidgetClass, p.area, a.data(), a.size());
    XtInsertEventHandler(col->list, KeyPressMask, False, KeyPressed, col, XtListHead);
  }
  if (index == 0 || p.view_type == XdVIEW_COLUMNS) XtManageChild(col->list);
  return col;
}

void InsertRecord(MCW mc, int index, XdMCColumn *col) {
  XdMCIconListPart &p = P(mc);
  int c = p.column_count;
  p.columns = reinterpret_cast<XdMCColumn **>(
      XtRealloc(reinterpret_cast<char *>(p.columns), (c + 1) * sizeof(XdMCColumn *)));
  std::memmove(p.columns + index + 1, p.columns + index, (c - index) * sizeof(XdMCColumn *));
  p.columns[index] = col;
  p.column_count = c + 1;
}

void AddColumn(MCW mc, XmString label, int width, int position, int32_t data, int32_t sortable,
               XdMCIconListKeyProc key) {
  XdMCIconListPart &p = P(mc);
  int c = Columns(mc);
  if (position < 0 || position > c + 1) {
    XtWarning("Bad position for XdMCIconListAddColumn()\n");
    return;
  }
  if (width <= 0) width = std::max(int(p.column_width) - kDefaultWidthInset, 1);
  int index = position == 0 ? c : position - 1;
  int n = Rows(mc);
  if (index == 0 && c > 0) {
    /* The icon list stays first: it takes the new column's attributes and
       empty texts, and a new second column takes its old ones. */
    XdMCColumn *first = Col(mc, 0);
    XmString oldLabel = nullptr;
    XtVaGetValues(first->header, XmNlabelString, &oldLabel, nullptr);
    XdMCColumn *second = MakeColumn(mc, 1, oldLabel, first->width, first->data, first->sortable,
                                    first->key);
    XmStringFree(oldLabel);
    InsertRecord(mc, 1, second);
    if (n > 0) {
      Widget inner = FirstInner(mc);
      XmListAddItems(second->list, XL(inner)->list.items, n, 0);
      XmString e = EmptyString();
      std::vector<XmString> empties(n, e);
      ReplaceFirstTexts(mc, empties.data(), n);
      XmStringFree(e);
    }
    XmString newLabel = label ? XmStringCopy(label) : EmptyString();
    XtVaSetValues(first->header, XmNlabelString, newLabel, nullptr);
    XmStringFree(newLabel);
    first->width = int16_t(width);
    first->data = data;
    first->sortable = sortable;
    first->key = key;
    XtVaSetValues(first->header, XmNwidth, std::max(width - int(p.handle_width), 1), nullptr);
  } else {
    XdMCColumn *col = MakeColumn(mc, index, label, width, data, sortable, key);
    InsertRecord(mc, index, col);
    if (index > 0) FillEmpty(col->list, n);
  }
  int &ls = FirstIL(mc)->icon_list.last_sorted;
  if (ls >= 0 && ls >= index && Columns(mc) > 1) ++ls;
  UpdateTables(mc);
  Layout(mc);
  FollowFirst(nullptr, mc);
}

void DestroyColumnWidgets(MCW mc, XdMCColumn *col) {
  if (P(mc).destroying) return;
  XtDestroyWidget(col->list);
  XtDestroyWidget(col->header);
  XtDestroyWidget(col->handle);
}

int DeleteColumn(MCW mc, int column) {
  XdMCIconListPart &p = P(mc);
  int c = Columns(mc);
  if (column < 1 || column > c) return 0;
  int index = column - 1;
  if (index == 0 && c > 1 && !p.destroying) {
    /* The icon list stays: it takes the second column's texts, label and
       attributes, and the second column goes. */
    XdMCColumn *first = Col(mc, 0), *second = Col(mc, 1);
    int n = Rows(mc);
    if (n > 0) ReplaceFirstTexts(mc, XL(second->list)->list.items, n);
    XmString label = nullptr;
    XtVaGetValues(second->header, XmNlabelString, &label, nullptr);
    XtVaSetValues(first->header, XmNlabelString, label, nullptr);
    XmStringFree(label);
    first->width = second->width;
    first->data = second->data;
    first->sortable = second->sortable;
    first->key = second->key;
    XtVaSetValues(first->header, XmNwidth, std::max(first->width - int(p.handle_width), 1), nullptr);
    XtVaSetValues(first->list, XmNwidth, std::max<int>(first->width, 1), nullptr);
    index = 1;
    int &ls = FirstIL(mc)->icon_list.last_sorted;
    ls = ls == 0 ? -1 : ls > 0 ? ls - 1 : ls;
    XdMCColumn *gone = Col(mc, index);
    DestroyColumnWidgets(mc, gone);
    FreeColumnTexts(gone);
    XtFree(reinterpret_cast<char *>(gone));
  } else {
    if (!p.destroying && index > 0) {
      int &ls = FirstIL(mc)->icon_list.last_sorted;
      ls = ls == index ? -1 : ls > index ? ls - 1 : ls;
    }
    XdMCColumn *gone = Col(mc, index);
    DestroyColumnWidgets(mc, gone);
    FreeColumnTexts(gone);
    XtFree(reinterpret_cast<char *>(gone));
  }
  std::memmove(p.columns + index, p.columns + index + 1, (c - index - 1) * sizeof(XdMCColumn *));
  p.column_count = c - 1;
  if (p.column_count == 0) {
    XtFree(reinterpret_cast<char *>(p.ids));
    p.ids = nullptr;
    p.item_count = 0;
  }
  return 1;
}

/* Replaces every row with the items given through resources. */
void FillFromResources(MCW mc) {
  XdMCIconListPart &p = P(mc);
  XmString **strings = p.string_items;
  Pixmap *icons = p.icon_items;
  int32_t *ids = p.ids;
  int n = p.item_count;
  p.string_items = nullptr;
  p.icon_items = nullptr;
  p.ids = nullptr;
  int table_columns = -1;
  n = _XdRowsToRead((Widget)mc, strings, n, &table_columns);
  /* A table of the program's own has one array for each column the
     program made, and it made none of these. */
  if (table_columns < 0 && p.database_columns) return;
  std::vector<int32_t> room;
  ids = _XdIdsFor(ids, n, room);
  for (int c = 0; c < Columns(mc); ++c) {
    const bool given = strings && n > 0 && (table_columns < 0 || c < table_columns);
    XmString *col = given ? strings[c] : nullptr;
    if (c == 0) {
      XdIconListDeleteAllItems(First(mc));
      if (col) XdIconListAddItems(First(mc), icons, col, ids, n, 0);
    } else {
      XmListDeleteAllItems(Col(mc, c)->list);
      if (col) {
        XmListAddItems(Col(mc, c)->list, col, n, 0);
        _XdListLimitWidths(Col(mc, c)->list, 1, n);
      }
      else if (strings && n > 0) FillEmpty(Col(mc, c)->list, n);
    }
  }
  UpdateTables(mc);
  Layout(mc);
}

/* ---- resize handle drag -------------------------------------------- */

void ActResizeStart(Widget w, XEvent *event, String *, Cardinal *) {
  MCW mc = Of(w);
  if (!mc || !event || event->type != ButtonPress) return;
  XdMCIconListPart &p = P(mc);
  XdMCColumn *col = nullptr;
  XtVaGetValues(w, XmNuserData, &col, nullptr);
  if (!col || IndexOf(mc, col) < 0) return;
  Position rx, ry;
  XtTranslateCoords(w, 0, 0, &rx, &ry);
  p.drag_x = int16_t(p.area->core.x + w->core.x);
  p.drag_y = int16_t(ry - 1);
  int hbh = XtIsManaged(p.hbar) ? p.hbar->core.height : 0;
  int h = std::max(int(p.area->core.height) - hbh, 1);
  XtVaSetValues(p.resize_line, XmNuserData, col, nullptr);
  XtConfigureWidget(p.resize_shell, Position(event->xbutton.x_root - 1), Position(ry - 1), 1, h, 0);
  XtPopup(p.resize_shell, XtGrabExclusive);
  XtGrabPointer(p.resize_line, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                GrabModeAsync, XtWindow((Widget)mc), p.resize_cursor, event->xbutton.time);
}

void ActResizeMotion(Widget w, XEvent *event, String *, Cardinal *) {
  MCW mc = Of(w);
  if (!mc || !event || event->type != MotionNotify) return;
  XtMoveWidget(P(mc).resize_shell, Position(event->xmotion.x_root), P(mc).drag_y);
}

void ActResizeEnd(Widget w, XEvent *event, String *, Cardinal *) {
  MCW mc = Of(w);
  if (!mc || !event) return;
  XdMCIconListPart &p = P(mc);
  XtUngrabPointer(p.resize_line, event->xbutton.time);
  XtPopdown(p.resize_shell);
  XdMCColumn *col = nullptr;
  XtVaGetValues(p.resize_line, XmNuserData, &col, nullptr);
  int c = col ? IndexOf(mc, col) : -1;
  if (c < 0) return;
  Position hx, hy;
  XtTranslateCoords(col->header, 0, 0, &hx, &hy);
  int width = event->xbutton.x_root - hx;
  if (width <= kMinColumnWidth) return;
  int change = width - col->width;
  XtResizeWidget(p.area, Dimension(std::max(int(p.area->core.width) + change, 1)),
                 p.area->core.height, 0);
  col->width = int16_t(width);
  Layout(mc);
  UpdateTables(mc);
  Widget icons = XdIconListGetChild(First(mc), XdICONLIST_ICONS);
  if (XtIsRealized(icons))
    XClearArea(XtDisplay(icons), XtWindow(icons), 0, 0, kRepaintWidth, kRepaintHeight, True);
}

/* ---- class methods -------------------------------------------------- */

/* The bulletin board keeps margins of its own under the same names, and
   answers and takes them: its fields hold the widget's, so that they read
   back as the widget holds them. */
void ShareMargins(MCW mc) {
  mc->bulletin_board.margin_width = P(mc).margin_width;
  mc->bulletin_board.margin_height = P(mc).margin_height;
}

bool OwnResource(const char *name) {
  static const char *const own[] = {
      XdNstringItems, XdNiconItems, XdNitemCount, XdNids, XdNcolumnWidth, XdNhandleWidth,
      XdNresizeCursor, XdNcolumnCount, XdNheaderCallback, XdNdeleteNodeCallback, XdNheaderColor,
      XdNviewType, XmNbrowseSelectionCallback, XmNdefaultActionCallback,
      XmNextendedSelectionCallback, XmNmultipleSelectionCallback, XmNsingleSelectionCallback,
      XdNdragCallback, XdNpostMenuCallback, XmNx, XmNy, XmNwidth, XmNheight, XmNuserData,
      XmNorientation, XmNselectionPolicy};
  for (const char *o : own)
    if (std::strcmp(name, o) == 0) return true;
  return false;
}

void Initialize(Widget, Widget neww, ArgList args, Cardinal *num_args) {
  MCW mc = reinterpret_cast<MCW>(neww);
  XdMCIconListPart &p = P(mc);
  XmString **given_strings = p.string_items;
  Pixmap *given_icons = p.icon_items;
  int32_t *given_ids = p.ids;
  int given_count = p.item_count;
  int columns = p.column_count;
  p.string_items = nullptr;
  p.icon_items = nullptr;
  p.ids = nullptr;
  p.item_count = 0;
  p.column_count = 0;
  p.columns = nullptr;
  p.table_storage = nullptr;
  p.pending_top = 1;
  p.destroying = False;
  p.typeahead_length = 0;
  p.typeahead[0] = '\0';
  p.typeahead_time = 0;
  p.first_texts = nullptr;
  p.first_offsets = nullptr;
  p.texts_valid = False;
  p.syncing = False;
  p.rows_stamp = 0;
  p.realize_timer = 0;
  p.own_cursor = None;
  p.owner = reinterpret_cast<XdOwnerRecord *>(XtCalloc(1, sizeof(XdOwnerRecord)));
  p.owner->pane = XtParent(neww);
  p.owner->owner = neww;
  XtAddEventHandler(neww, ButtonPressMask, False, OwnPress, nullptr);
  ShareMargins(mc);

  int visible = kDefaultVisibleRows;
  bool count_given = false;
  std::vector<Arg> base;
  for (Cardinal i = 0; i < *num_args; ++i) {
    if (std::strcmp(args[i].name, XmNvisibleItemCount) == 0) visible = int(args[i].value);
    if (std::strcmp(args[i].name, XdNcolumnCount) == 0) count_given = true;
    if (!OwnResource(args[i].name)) base.push_back(args[i]);
  }
  /* A count from a resource file, not from the program: the program
     passes its rows for the columns it knows of, never for these. */
  p.database_columns = columns > 0 && !count_given;
  if (neww->core.width == 0)
    neww->core.width = Dimension(std::max(columns, 1) * p.column_width);
  if (neww->core.height == 0) neww->core.height = 1;

  std::vector<Arg> a = base;
  AddArg(a, XmNx, 0);
  AddArg(a, XmNy, std::max(int(neww->core.height) - 100, 0));
  AddArg(a, XmNwidth, neww->core.width);
  AddArg(a, XmNorientation, XmHORIZONTAL);
  AddArg(a, XmNuserData, (XtArgVal)p.owner);
  p.hbar = XtCreateWidget("HScrollBar", xmScrollBarWidgetClass, neww, a.data(), a.size());
  a = base;
  AddArg(a, XmNx, std::max(int(neww->core.width) - 100, 0));
  AddArg(a, XmNy, 0);
  AddArg(a, XmNheight, neww->core.height);
  AddArg(a, XmNorientation, XmVERTICAL);
  AddArg(a, XmNuserData, (XtArgVal)p.owner);
  p.vbar = XtCreateWidget("VScrollBar", xmScrollBarWidgetClass, neww, a.data(), a.size());
  XtAddCallback(p.hbar, XmNvalueChangedCallback, HScrolled, mc);
  XtAddCallback(p.hbar, XmNdragCallback, HScrolled, mc);
  XtAddCallback(p.vbar, XmNvalueChangedCallback, VScrolled, mc);
  XtAddCallback(p.vbar, XmNdragCallback, VScrolled, mc);

  /* The columns' area shows below the last whole row of the later columns
     (their lists hold whole rows only): it has the lists' background. */
  p.area = XtVaCreateManagedWidget("DrawingArea", xmDrawingAreaWidgetClass, neww, XmNuserData,
                                   p.owner, XmNbackground, neww->core.background_pixel,
                                   XmNmarginWidth, 0, XmNmarginHeight, 0,
                                   XmNresizePolicy, XmRESIZE_NONE, XmNwidth, neww->core.width,
                                   XmNheight, neww->core.height, nullptr);
  p.resize_shell = XtVaCreatePopupShell("Resize", overrideShellWidgetClass, neww, XmNwidth, 1,
                                        XmNheight, 1, XmNborderWidth, 0, nullptr);
  p.resize_line = XtVaCreateManagedWidget("Resize", xmDrawingAreaWidgetClass, p.resize_shell,
                                          XmNtranslations, lineTranslations, XmNwidth, 1,
                                          XmNheight, 1, XmNbackground, mc->manager.foreground,
                                          nullptr);
  if (!p.resize_cursor) {
    p.own_cursor = XCreateFontCursor(XtDisplay(neww), XC_sb_h_double_arrow);
    p.resize_cursor = p.own_cursor;
  }

  for (int i = 0; i < columns; ++i) AddColumn(mc, nullptr, 0, 0, 0, 0, nullptr);
  if (given_strings && given_count > 0 && Columns(mc) > 0) {
    p.string_items = given_strings;
    p.icon_items = given_icons;
    p.ids = given_ids;
    p.item_count = given_count;
    FillFromResources(mc);
  }
  if (neww->core.height <= 1 && Columns(mc) > 0) {
    XmListWidget l = XL(FirstInner(mc));
    int pitch = l->list.MaxItemHeight + l->list.spacing;
    if (l->list.MaxItemHeight == 0) pitch = l->list.FontHeight ? l->list.FontHeight : 16;
    neww->core.height = Dimension(Col(mc, 0)->header->core.height + visible * pitch +
                                  2 * l->primitive.highlight_thickness + 4);
  } else if (neww->core.height <= 1) {
    neww->core.height = Dimension(kDefaultVisibleRows * 16);
  }
  Layout(mc);
}

/* The children are realized after the widget itself: the cursor and the
   pending top position are applied once the event loop turns again. */
void FinishRealize(XtPointer closure, XtIntervalId *) {
  MCW mc = static_cast<MCW>(closure);
  P(mc).realize_timer = 0;
  UpdateTables(mc);
  DefineCursor(mc);
  XdMCIconListSetTopItemPos((Widget)mc, P(mc).pending_top);
}

void Realize(Widget w, XtValueMask *mask, XSetWindowAttributes *attrs) {
  MCW mc = reinterpret_cast<MCW>(w);
  xmBulletinBoardClassRec.core_class.realize(w, mask, attrs);
  XFlush(XtDisplay(w));
  if (!P(mc).realize_timer)
    P(mc).realize_timer = XtAppAddTimeOut(XtWidgetToApplicationContext(w), 0, FinishRealize, mc);
}

void Destroy(Widget w) {
  MCW mc = reinterpret_cast<MCW>(w);
  XdMCIconListPart &p = P(mc);
  p.destroying = True;
  if (p.realize_timer) XtRemoveTimeOut(p.realize_timer);
  p.realize_timer = 0;
  while (Columns(mc) > 0) DeleteColumn(mc, Columns(mc));
  if (p.own_cursor) XFreeCursor(XtDisplay(w), p.own_cursor);
  XtFree(reinterpret_cast<char *>(p.columns));
  XtFree(reinterpret_cast<char *>(p.table_storage));
  XtFree(reinterpret_cast<char *>(p.owner));
  XtFree(p.first_texts);
  XtFree(reinterpret_cast<char *>(p.first_offsets));
  XtFree(reinterpret_cast<char *>(p.ids));
}

void Resize(Widget w) { Layout(reinterpret_cast<MCW>(w)); }

/* The colours of a column's header and resize handle. */
XdColours HeaderColours(MCW mc) {
  XdColours c = _XdManagerColours((Widget)mc);
  c.background = HeaderBackground(mc);
  return c;
}

/* A change of the widget's colours or header colour reaches the parts
   that show them (the colours each was given when it was made). */
void PassOnColours(MCW c, MCW n) {
  XdMCIconListPart &np = P(n);
  const XdColours was = _XdManagerColours((Widget)c), now = _XdManagerColours((Widget)n);
  const XdColours wasHeader = HeaderColours(c), nowHeader = HeaderColours(n);
  if (was == now && wasHeader == nowHeader) return;
  for (Widget part : {np.hbar, np.vbar, np.area}) _XdPassColours(part, was, now);
  if (was.foreground != now.foreground)
    XtVaSetValues(np.resize_line, XmNbackground, now.foreground, nullptr);
  for (int k = 0; k < Columns(n); ++k) {
    XdMCColumn *col = Col(n, k);
    _XdPassColours(col->header, wasHeader, nowHeader);
    _XdPassColours(col->handle, wasHeader, nowHeader);
    _XdPassColours(col->list, was, now);
  }
  /* The first column's focus highlight is drawn in the background. */
  if (Columns(n) > 0 && was.background != now.background)
    XtVaSetValues(First(n), XmNhighlightColor, now.background, nullptr);
}

/* A new font for every column: the headers take the height of their
   label in it, as a label sizes itself, and the handles theirs. */
void SetFont(MCW mc, XmFontList font) {
  Widget w = (Widget)mc;
  const bool managed = XtIsManaged(w);
  if (managed) XtUnmanageChild(w);
  for (int k = 0; k < Columns(mc); ++k) {
    XdMCColumn *col = Col(mc, k);
    XmString label = nullptr;
    Dimension shadow = 0, highlight = 0, margin = 0, top = 0, bottom = 0;
    XtVaSetValues(col->header, XmNfontList, font, nullptr);
    XtVaGetValues(col->header, XmNlabelString, &label, XmNshadowThickness, &shadow,
                  XmNhighlightThickness, &highlight, XmNmarginHeight, &margin, XmNmarginTop, &top,
                  XmNmarginBottom, &bottom, nullptr);
    Dimension extent_w = 0, extent_h = 0;
    if (label && font) XmStringExtent(font, label, &extent_w, &extent_h);
    XmStringFree(label);
    const int height = extent_h + 2 * (shadow + highlight + margin) + top + bottom;
    XtVaSetValues(col->header, XmNheight, std::max(height, 1), nullptr);
    XtVaSetValues(col->handle, XmNheight, col->header->core.height, nullptr);
    XtVaSetValues(col->list, XmNfontList, font, nullptr);
  }
  /* A widget the program unmanaged stays unmanaged. */
  if (managed) XtManageChild(w);
  UpdateTables(mc);
  Layout(mc);
}

Boolean SetValues(Widget cur, Widget, Widget neww, ArgList args, Cardinal *num_args) {
  MCW c = reinterpret_cast<MCW>(cur), n = reinterpret_cast<MCW>(neww);
  XdMCIconListPart &np = P(n);
  const XdMCIconListPart &cp = P(c);
  if (n->bulletin_board.margin_width != c->bulletin_board.margin_width)
    np.margin_width = n->bulletin_board.margin_width;
  if (n->bulletin_board.margin_height != c->bulletin_board.margin_height)
    np.margin_height = n->bulletin_board.margin_height;
  ShareMargins(n);
  if (np.view_type != cp.view_type) {
    bool show = np.view_type == XdVIEW_COLUMNS;
    for (int i = 0; i < Columns(n); ++i) {
      XdMCColumn *col = Col(n, i);
      if (show) {
        XtManageChild(col->header);
        XtManageChild(col->handle);
        if (i > 0) XtManageChild(col->list);
      } else {
        XtUnmanageChild(col->header);
        XtUnmanageChild(col->handle);
        if (i > 0) XtUnmanageChild(col->list);
      }
    }
    if (!show) XtVaSetValues(np.hbar, XmNvalue, 0, nullptr);
    Layout(n);
  }
  if (np.resize_cursor != cp.resize_cursor) {
    if (!np.resize_cursor) np.resize_cursor = np.own_cursor;
    DefineCursor(n);
  }
  if (np.column_count != cp.column_count) {
    XtWarning("Can only set columnCount at creation time.\n");
    np.column_count = cp.column_count;
  }
  if (np.item_count != cp.item_count && np.item_count != 0 && np.string_items == cp.string_items &&
      np.icon_items == cp.icon_items) {
    /* A count without the items it counts would read rows that are not
       there; a count of 0 alone empties the list. */
    XtWarning("Can only set itemCount together with stringItems.\n");
    np.item_count = cp.item_count;
  }
  if (np.string_items && np.string_items != cp.string_items && np.item_count > 0 &&
      Columns(n) > 0 && !np.string_items[0]) {
    /* Rows need their first column: the columns would be out of step. */
    XtWarning("The first column's strings are missing: the items are not set.\n");
    np.string_items = cp.string_items;
    np.icon_items = cp.icon_items;
    np.item_count = cp.item_count;
    np.ids = cp.ids;
  }
  if (np.string_items != cp.string_items || np.icon_items != cp.icon_items ||
      np.item_count != cp.item_count) {
    if (np.ids == cp.ids) np.ids = nullptr; /* ids are taken only with the items */
    if (np.string_items == cp.string_items) np.string_items = nullptr;
    if (np.icon_items == cp.icon_items) np.icon_items = nullptr;
    FillFromResources(n);
  } else if (np.ids != cp.ids) {
    np.ids = nullptr;
  }
  if (np.selection_policy != cp.selection_policy)
    for (int k = 0; k < Columns(n); ++k)
      XtVaSetValues(Col(n, k)->list, XmNselectionPolicy, np.selection_policy, nullptr);
  PassOnColours(c, n);
  for (Cardinal i = 0; i < *num_args; ++i)
    if (std::strcmp(args[i].name, XmNfontList) == 0)
      SetFont(n, reinterpret_cast<XmFontList>(args[i].value));
  return True;
}

XtGeometryResult QueryGeometry(Widget, XtWidgetGeometry *req, XtWidgetGeometry *reply) {
  XdTrace("(QueryGeometry)\n");
  if (req && reply) *reply = *req;
  return XtGeometryYes;
}

}  // namespace

/* ---- programming interface ------------------------------------------ */

extern "C" {

Widget XdCreateMCIconList(Widget parent, char *name, ArgList args, Cardinal num_args) {
  return XtCreateWidget(name, xdMCIconListWidgetClass, parent, args, num_args);
}

void XdMCIconListAddColumn(Widget w, XmString label, int width, int position, int32_t data,
                           int32_t sortable, XdMCIconListKeyProc key) {
  MCW mc = Cast(w);
  if (!mc) return;
  if (P(mc).database_columns) {
    /* The program builds its columns itself: those of a resource file go,
       with their rows, so that the columns are the ones it counts. */
    while (Columns(mc) > 0) DeleteColumn(mc, Columns(mc));
    P(mc).database_columns = False;
    InvalidateTexts(mc);
  }
  AddColumn(mc, label, width, position, data, sortable, key);
}

int XdMCIconListDeleteColumn(Widget w, int column) {
  MCW mc = Cast(w);
  if (!mc || !DeleteColumn(mc, column)) return 0;
  if (Columns(mc) > 0) {
    UpdateTables(mc);
    Layout(mc);
  }
  return 1;
}

void XdMCIconListGetColumn(Widget w, int column, int *width, XmString *label, int32_t *data,
                           int32_t *sortable, XdMCIconListKeyProc *key) {
  MCW mc = Cast(w);
  if (!mc || column < 0 || column >= Columns(mc)) return;
  XdMCColumn *col = Col(mc, column);
  if (width) *width = col->header->core.width + P(mc).handle_width;
  if (label) XtVaGetValues(col->header, XmNlabelString, label, nullptr);
  if (data) *data = col->data;
  if (sortable) *sortable = col->sortable;
  if (key) *key = col->key;
}

void XdMCIconListSetColumn(Widget w, int column, int width, XmString label, int32_t data,
                           int32_t sortable, XdMCIconListKeyProc key) {
  MCW mc = Cast(w);
  if (!mc || column < 0 || column >= Columns(mc)) return;
  XdMCColumn *col = Col(mc, column);
  int hw = P(mc).handle_width;
  if (label) XtVaSetValues(col->header, XmNlabelString, label, nullptr);
  if (width != XdCOLUMN_WIDTH_UNCHANGED) {
    if (width == 0) {
      /* The header's natural width: its label and its margins.  The header
         does not recompute its size, so its own geometry answer is its
         current width. */
      XmString text = nullptr;
      XmFontList font = nullptr;
      Dimension mw = 0, ml = 0, mr = 0, st = 0, ht = 0;
      XtVaGetValues(col->header, XmNlabelString, &text, XmNfontList, &font, XmNmarginWidth, &mw,
                    XmNmarginLeft, &ml, XmNmarginRight, &mr, XmNshadowThickness, &st,
                    XmNhighlightThickness, &ht, nullptr);
      int natural = 2 * (mw + st + ht) + ml + mr;
      if (text && font) natural += XmStringWidth(font, text);
      if (text) XmStringFree(text);
      width = std::min(natural, 16000) + hw;
    }
    width = std::max(width, hw + 1);
    XtVaSetValues(col->header, XmNwidth, width - hw, nullptr);
    col->width = int16_t(width);
    XtVaSetValues(col->list, XmNwidth, width, nullptr);
    Layout(mc);
  }
  if (data != XdCOLUMN_DATA_UNCHANGED) col->data = data;
  if (sortable != XdCOLUMN_DATA_UNCHANGED) col->sortable = sortable;
  if (key != XdCOLUMN_KEY_UNCHANGED) col->key = key;
}

void XdMCIconListSetResizeCursor(Widget w, Cursor cursor) {
  MCW mc = Cast(w);
  if (!mc) return;
  Cursor c = cursor ? cursor : P(mc).resize_cursor;
  for (int i = 0; i < Columns(mc); ++i) {
    Widget h = Col(mc, i)->handle;
    if (XtIsRealized(h)) XDefineCursor(XtDisplay(h), XtWindow(h), c);
  }
}

Widget XdMCIconListGetChild(Widget w, int column, int child) {
  MCW mc = Cast(w);
  if (!mc || column < 0) return nullptr;
  XdMCIconListPart &p = P(mc);
  switch (child) {
    case XdMCIL_HEADER:
    case XdMCIL_HANDLE:
    case XdMCIL_LIST: {
      if (column >= Columns(mc)) return nullptr;
      XdMCColumn *col = Col(mc, column);
      return child == XdMCIL_HEADER ? col->header : child == XdMCIL_HANDLE ? col->handle : col->list;
    }
    case XdMCIL_COLUMNS_AREA: return p.area;
    case XdMCIL_HSCROLLBAR: return p.hbar;
    case XdMCIL_VSCROLLBAR: return p.vbar;
    default:
      XtWarning("Bad child specified for XdMCIconListGetChild()\n");
      return nullptr;
  }
}

void XdMCIconListSortOnColumn(Widget w, int column) {
  MCW mc = Cast(w);
  if (mc) Sort(mc, column);
}

void XdMCIconListAddItems(Widget w, Pixmap *icons, XmString **strings, int32_t *ids, int count,
                          int position) {
  MCW mc = Cast(w);
  /* The program's strings hold an array for each column it made. */
  if (!mc || !strings || count <= 0 || Columns(mc) == 0 || P(mc).database_columns) return;
  int n = Rows(mc);
  if (position < 0 || position > n + 1) {
    XtWarning("Bad position for XdMCIconListAddItems()\n");
    return;
  }
  if (!strings[0]) {
    /* Every row has its first column; the others may be left empty. */
    XtWarning("XdMCIconListAddItems() needs the first column's strings\n");
    return;
  }
  for (int c = 0; c < Columns(mc); ++c) {
    if (c == 0) {
      XdIconListAddItems(First(mc), icons, strings[0], ids, count, position);
    } else if (strings[c]) {
      XmListAddItems(Col(mc, c)->list, strings[c], count, position);
      _XdListLimitWidths(Col(mc, c)->list, position == 0 ? n + 1 : position, count);
    } else {
      XmString e = EmptyString();
      std::vector<XmString> v(count, e);
      XmListAddItems(Col(mc, c)->list, v.data(), count, position);
      XmStringFree(e);
    }
  }
  Layout(mc);
  UpdateTables(mc);
  FollowFirst(nullptr, mc);
}

void XdMCIconListAddItem(Widget w, Pixmap icon, XmString *strings, int32_t id, int position) {
  MCW mc = Cast(w);
  if (!mc || !strings || P(mc).database_columns) return;
  std::vector<XmString *> cols(Columns(mc));
  for (int c = 0; c < Columns(mc); ++c) cols[c] = strings[c] ? &strings[c] : nullptr;
  if (Columns(mc) > 0 && !cols[0]) return;
  XdMCIconListAddItems(w, icon ? &icon : nullptr, cols.data(), &id, 1, position);
}

int32_t XdMCIconListUpdateItems(Widget w, Pixmap *icons, XmString **strings, int32_t *ids,
                                int count, int *positions) {
  MCW mc = Cast(w);
  if (!mc || !positions || count <= 0 || Columns(mc) == 0) return WU_NOTAVAIL;
  int n = Rows(mc);
  int32_t result = WU_OK;
  bool use_ids = ids && ids != XdIDS_UNCHANGED;
  /* No texts of the program's for columns it did not make. */
  if (P(mc).database_columns) strings = nullptr;
  std::vector<int> pos;
  std::vector<Pixmap> ic;
  std::vector<XmString> st;
  std::vector<int32_t> id;
  std::vector<int> valid;  /* indices i with a position in range */
  for (int i = 0; i < count; ++i) {
    if (positions[i] < 1 || positions[i] > n) {
      result = WU_NOTAVAIL;
      continue;
    }
    valid.push_back(i);
    pos.push_back(positions[i]);
    ic.push_back(icons ? icons[i] : XdICON_UNCHANGED);
    st.push_back(strings && strings[0] ? strings[0][i] : nullptr);
    id.push_back(use_ids ? ids[i] : XdID_UNCHANGED);
  }
  if (!valid.empty())
    XdIconListReplaceItems(First(mc), ic.data(), st.data(), id.data(), int(pos.size()), pos.data());
  for (int c = 1; c < Columns(mc) && strings; ++c) {
    if (!strings[c]) continue;
    std::vector<int> cp;
    std::vector<XmString> cs;
    for (int i : valid)
      if (strings[c][i]) {
        cp.push_back(positions[i]);
        cs.push_back(strings[c][i]);
      }
    if (!cp.empty()) {
      XmListReplacePositions(Col(mc, c)->list, cp.data(), cs.data(), int(cp.size()));
      for (int pos : cp) _XdListLimitWidths(Col(mc, c)->list, pos, 1);
    }
  }
  Layout(mc);
  UpdateTables(mc);
  return result;
}

int XdMCIconListGetRowString(Widget w, int row, XmString **strings) {
  if (strings) *strings = nullptr;
  MCW mc = Cast(w);
  if (!mc || !strings || row < 0 || row >= Rows(mc)) return 0;
  int C = Columns(mc);
  *strings = reinterpret_cast<XmString *>(XtMalloc(C * sizeof(XmString)));
  for (int c = 0; c < C; ++c) {
    Widget l = TextList(mc, c);
    (*strings)[c] = row < XL(l)->list.itemCount ? XL(l)->list.items[row] : nullptr;
  }
  return C;
}

void XdMCIconListDeletePositions(Widget w, int *positions, int count) {
  MCW mc = Cast(w);
  if (!mc || !positions || count <= 0 || Columns(mc) == 0) return;
  std::vector<int> pos(size_t(count), 0);
  pos.resize(size_t(_XdSortPositions(positions, count, Rows(mc), pos.data())));
  if (pos.empty()) return;
  XdIconListDeletePositions(First(mc), pos.data(), int(pos.size()));
  for (int c = 1; c < Columns(mc); ++c)
    XmListDeletePositions(Col(mc, c)->list, pos.data(), int(pos.size()));
  Layout(mc);
  UpdateTables(mc);
  FollowFirst(nullptr, mc);
}

void XdMCIconListDeletePos(Widget w, int position) { XdMCIconListDeletePositions(w, &position, 1); }

void XdMCIconListDeleteAllItems(Widget w) {
  MCW mc = Cast(w);
  if (!mc || Columns(mc) == 0) return;
  XtVaSetValues(P(mc).vbar, XmNvalue, 1, nullptr);
  XdIconListDeleteAllItems(First(mc));
  for (int c = 1; c < Columns(mc); ++c) XmListDeleteAllItems(Col(mc, c)->list);
  Layout(mc);
  UpdateTables(mc);
}

Boolean XdMCIconListGetSelectedPos(Widget w, int **positions, int *count) {
  if (count) *count = 0;
  if (positions) *positions = nullptr;
  MCW mc = Cast(w);
  if (!mc || Columns(mc) == 0) return False;
  return XdIconListGetSelectedPos(First(mc), positions, count);
}

void XdMCIconListSelectPos(Widget w, int position, Boolean notify) {
  MCW mc = Cast(w);
  if (mc && position >= 1 && position <= Rows(mc)) XmListSelectPos(FirstInner(mc), position, notify);
}

int XdMCIconListSelectPositions(Widget w, int count, int *positions, Boolean notify) {
  MCW mc = Cast(w);
  if (!mc || Columns(mc) == 0) return 0;
  Widget inner = FirstInner(mc);
  if (count < 1 || !positions) return XL(inner)->list.selectedPositionCount;
  if (XL(inner)->list.SelectionPolicy == XmSINGLE_SELECT) {
    if (positions[0] >= 1 && positions[0] <= Rows(mc)) {
      XdWidgetWatch watch(w);
      XmListSelectPos(inner, positions[0], notify);
      if (!watch.alive()) return 1;
    }
    return XL(inner)->list.selectedPositionCount;
  }
  return XdIconListSelectPositions(First(mc), count, positions, False);
}

int XdMCIconListSelectAll(Widget w) {
  MCW mc = Cast(w);
  return mc && Columns(mc) > 0 ? XdIconListSelectAll(First(mc)) : 0;
}

void XdMCIconListDeselectAll(Widget w) {
  MCW mc = Cast(w);
  if (mc && Columns(mc) > 0) XdIconListDeselectAll(First(mc));
}

int XdMCIconListDeselectPos(Widget w, int position) {
  MCW mc = Cast(w);
  return mc && Columns(mc) > 0 ? XdIconListDeselectPos(First(mc), position) : 0;
}

void XdMCIconListGetTopItemPos(Widget w, int *position) {
  if (!position) return;
  *position = 0;
  MCW mc = Cast(w);
  if (mc && Columns(mc) > 0) XdIconListGetTopItemPos(First(mc), position);
}

void XdMCIconListSetTopItemPos(Widget w, int position) {
  MCW mc = Cast(w);
  if (!mc || Columns(mc) == 0) return;
  XdMCIconListPart &p = P(mc);
  /* The deferred realisation work applies the latest position asked for. */
  p.pending_top = position;
  if (!XtIsRealized(FirstInner(mc))) return;
  int n = Rows(mc);
  XmListWidget l = XL(FirstInner(mc));
  if (n == 0 || position < 1 || position > n || n <= l->list.visibleItemCount) return;
  XdIconListSetPos(First(mc), position);
  for (int c = 1; c < Columns(mc); ++c)
    if (position <= XL(Col(mc, c)->list)->list.itemCount) XmListSetPos(Col(mc, c)->list, position);
  FollowFirst(nullptr, mc);
}

void XdMCIconListSetLastSelected(Widget w, int position) {
  MCW mc = Cast(w);
  if (mc && Columns(mc) > 0) XdIconListSetLastSelected(First(mc), position);
}

int32_t XdMCIconListGetId(Widget w, int position) {
  MCW mc = Cast(w);
  return mc && Columns(mc) > 0 ? XdIconListGetId(First(mc), position) : -1;
}

Pixmap XdMCIconListGetIcon(Widget w, int position) {
  MCW mc = Cast(w);
  return mc && Columns(mc) > 0 ? XdIconListGetIcon(First(mc), position) : XdICON_INVALID;
}

void XdMCIconListSetFocus(Widget w) {
  MCW mc = Cast(w);
  if (mc && Columns(mc) > 0) XmProcessTraversal(FirstInner(mc), XmTRAVERSE_CURRENT);
}

void XdMCIconListOverrideUserData(Widget w, XtPointer record) {
  MCW mc = Cast(w);
  if (!mc) return;
  XtVaSetValues(P(mc).hbar, XmNuserData, record, nullptr);
  XtVaSetValues(P(mc).vbar, XmNuserData, record, nullptr);
  XtVaSetValues(P(mc).area, XmNuserData, record, nullptr);
}

}  // extern "C"
