// The button kinds of host dialogs against the Motif widgets a careful
// Motif programmer would make for the same dialog: 1,000 controls of each
// kind (50 in the smallest-size mode) created with a label, position and
// range as a host sets them, drawn, and released.  The module's controls go
// through slot 141, the services vector and the display update, as a host
// drives them, one slot call at a time; the peers are made directly in a
// bulletin board of the pane's size at the pane's place in a shell of the
// module window's size, at the same place on the screen, and look as the
// module's do: the same widget classes at the same size, with the same
// colours, font, margins, shadows and indicators (read from the module's
// first control of the kind), the same key bindings (the window's function
// keys, Tab and the popup button, one pre-parsed table put on each widget),
// and a radio box's frame without a title, as the module shows it; each
// peer widget gets a label string of its own, as each control makes its
// own.  The push button and desktop icon are XmPushButtons (the module
// draws its label and icon on an XmDrawnButton).  Two peers: the careful
// one ("motif-batch") makes its widgets unmanaged and manages them with one
// XtManageChildren, and releases them with one XtUnmanageChildren before
// destroying each; the plain one ("motif-each") makes and destroys one
// managed widget at a time.  Each kind is measured on each side in a
// process of its own (QEV_BENCH_PART=push.xd, push.motif-batch, ... runs
// one), after the same first control of the kind on both sides: Motif's
// state left by one side's or kind's widgets (the text drawing state of
// every window it drew in, the heap's high-water mark) lengthens or flatters
// no other.  Only the measured side's shell is mapped, and it must draw
// every control it made (each control's window, or its part of the
// parent's, receives an exposure), else the program fails.  X requests and
// round trips are counted for each step, and the memory a control holds
// (the heap, and for the module the host pool's bytes), read in the
// process of its own, is reported for the module and both peers.
// Run it with   xvfb-run -a bench/run.sh BUILD_DIR buttons
#include "benchutil.h"
#include "hostvalues.h"

#include "modulehost.h"
#include "qevhost.h"

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <X11/Xlibint.h>   // the spare event-queue entries of the display
#undef min
#undef max
#include <Xm/BulletinB.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/ScrollBar.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "qev/catalog.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "runtime/wudevice.h"
#include "frames/wutframe.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"

namespace {

int g_count = 1000;
int g_columns = 25;
int g_rows = 40;
// The pane: 1,246 by 962 pixels in the default 7 by 13 cells, room for
// 25 by 40 controls.
constexpr int32_t kPaneRows = 74;
constexpr int32_t kPaneColumns = 178;
constexpr int kCellW = 48;
constexpr int kCellH = 24;
const char *const kItems[] = {"Red", "Green", "Blue"};

using CreaFn = wu_status (*)(wu_ctl_handle **, wu_pane *, void *, int32_t, wu_value *, int32_t,
                             wu_evproc);

struct Kind {
  const char *name;
  int32_t type;
};
const Kind kKinds[] = {{"push", WU_CTYPE_PUSH},       {"check", WU_CTYPE_CHECK},
                       {"radio", WU_CTYPE_RADIO},     {"scroll", WU_CTYPE_SCROLL},
                       {"progress", WU_CTYPE_PROGRESS}, {"deskicon", WU_CTYPE_DESKICON}};

using qevhost::intValue;
using qevhost::realValue;
using qevhost::textValue;

void pump() {
  XSync(devb->display, False);
  qevbench::dispatchPending(devb->app);
  XSync(devb->display, False);
  qevbench::dispatchPending(devb->app);
}

// What a host sets on each control of a kind.
std::vector<wu_value> entries_for(int32_t type, int i, std::vector<wu_str_item> &items) {
  const int32_t x = (i % g_columns) * kCellW, y = (i / g_columns % g_rows) * kCellH;
  std::vector<wu_value> v = {intValue(WU_A_HPOS, x), intValue(WU_A_VPOS, y)};
  switch (type) {
    case WU_CTYPE_PUSH: case WU_CTYPE_CHECK: case WU_CTYPE_DESKICON:
      v.push_back(textValue(WU_A_TEXT, "Label"));
      break;
    case WU_CTYPE_RADIO: {
      wu_value e = {};
      e.code = WU_A_ITEMS;
      e.type = WU_VT_STRLIST;
      e.value = int32_t(items.size());
      e.pointer = items.data();
      v.push_back(e);
      v.push_back(intValue(WU_A_SELECTEDINDEX, 1));
      v.push_back(intValue(WU_A_HEIGHT, 80));
      break;
    }
    case WU_CTYPE_SCROLL:
      v.push_back(realValue(WU_A_MAXIMUM, 100));
      v.push_back(realValue(WU_A_LARGESCROLL, 10));
      v.push_back(realValue(WU_A_VALUE, 30));
      break;
    case WU_CTYPE_PROGRESS: {
      wu_value e = intValue(WU_A_VALUE, 30);
      e.type = WU_VT_NUMBER;
      v.push_back(e);
      break;
    }
    default:
      break;
  }
  return v;
}

// What a peer widget takes over from the module's control of the same
// kind: the values the module's widget shows for its size, colours,
// margins and indicator, read from the first control the module makes.
// The peer's board carries the display's font list as its button and label
// render tables, once, for all its widgets.
using qevbench::Look;
using qevbench::lookOf;

// The looks of the module's kinds, and the parts of a radio box.
struct Looks {
  Look push, check, scroll, progress, deskicon;
  Look radio_frame, radio_box, radio_item;
  Pixmap deskicon_pixmap = None;
};
Looks g_look;

// The keys a user meets on the module's controls (the window's function
// keys and Tab, and the popup button), parsed once and put on each peer
// widget that takes the keyboard with one override, as a program whose
// dialogs take the host's keys would; a radio box's frame and box take the
// popup button alone, a progress bar Tab and the popup button.
XtTranslations g_keys = nullptr, g_popup = nullptr, g_bar_keys = nullptr;

void make_tables() {
  std::string text;
  const char *parts[] = {"<Btn3Down>: qev-widget-popup()", devb->appres.control_translation,
                         devb->appres.text_keys2, devb->appres.text_keys};
  for (const char *t : parts) {
    if (t == nullptr || *t == '\0') continue;
    if (!text.empty()) text += '\n';
    text += t;
  }
  g_keys = XtParseTranslationTable(text.c_str());
  g_popup = XtParseTranslationTable("<Btn3Down>: qev-widget-popup()");
  const std::string bar = std::string("<Btn3Down>: qev-widget-popup()\n") + devb->appres.control_translation;
  g_bar_keys = XtParseTranslationTable(bar.c_str());
}

// The module's widgets of a control: its outer widget, and for a radio box
// the frame, the box of toggles and the first toggle.
void capture_look(int32_t type, wu_control *c) {
  Widget w = wu_ctl_outer(c);
  switch (type) {
    case WU_CTYPE_PUSH:
      g_look.push = lookOf(w, {XmNwidth, XmNheight, XmNbackground, XmNforeground, XmNtopShadowColor,
                                XmNbottomShadowColor, XmNarmColor, XmNshadowThickness, XmNhighlightThickness,
                                XmNtraversalOn, XmNrecomputeSize});
      break;
    case WU_CTYPE_DESKICON:
      g_look.deskicon = lookOf(w, {XmNwidth, XmNheight, XmNbackground, XmNforeground,
                                    XmNshadowThickness, XmNhighlightThickness, XmNtraversalOn,
                                    XmNrecomputeSize});
      // The module's icon, with a reference of the peer's own in the icon
      // store (the module's goes with its control).
      {
        Pixmap pm = None, mask = None;
        int32_t iw = 0, ih = 0;
        if (wutlpix(WU_ICON_DEFAULT, nullptr, 0, 0, &pm, &mask, &iw, &ih) == WU_OK)
          g_look.deskicon_pixmap = pm;
      }
      break;
    case WU_CTYPE_CHECK:
      g_look.check = lookOf(w, {XmNwidth, XmNheight, XmNbackground, XmNforeground, XmNselectColor,
                                 XmNindicatorSize, XmNmarginWidth, XmNmarginHeight, XmNalignment,
                                 XmNhighlightThickness, XmNtraversalOn, XmNrecomputeSize});
      break;
    case WU_CTYPE_SCROLL:
      g_look.scroll = lookOf(w, {XmNwidth, XmNheight, XmNbackground, XmNforeground, XmNtroughColor});
      break;
    case WU_CTYPE_PROGRESS:
      g_look.progress = lookOf(w, {XmNwidth, XmNheight, XmNbackground, XmNforeground,
                                    XmNtroughColor, XmNsliderMark});
      break;
    case WU_CTYPE_RADIO: {
      // The form holds the frame, which holds the (unshown) title and the
      // area of the toggles.
      WidgetList kids = nullptr;
      Cardinal n = 0;
      XtVaGetValues(w, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
      Widget frame = kids[0];
      XtVaGetValues(frame, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
      Widget area = kids[n - 1];
      XtVaGetValues(area, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
      Widget item = kids[0];
      g_look.radio_frame = lookOf(frame, {XmNwidth, XmNheight, XmNbackground, XmNforeground});
      g_look.radio_box = lookOf(area, {XmNbackground, XmNforeground});
      // The toggles stand where the module places them: the first at the
      // box's margins, the others below it.
      g_look.radio_box.names.push_back(XmNmarginWidth);
      g_look.radio_box.values.push_back(item->core.x);
      g_look.radio_box.names.push_back(XmNmarginHeight);
      g_look.radio_box.values.push_back(item->core.y);
      g_look.radio_box.names.push_back(XmNspacing);
      g_look.radio_box.values.push_back(0);
      g_look.radio_item = lookOf(item, {XmNwidth, XmNheight, XmNbackground, XmNforeground,
                                         XmNselectColor, XmNindicatorSize, XmNmarginWidth,
                                         XmNmarginHeight, XmNalignment, XmNhighlightThickness,
                                         XmNhighlightColor, XmNshadowThickness, XmNrecomputeSize});
      break;
    }
    default:
      break;
  }
}

// The peer of one control: the Motif widgets made directly with the look
// of the module's, managed at once or left for the caller to manage (what
// is inside a radio box's frame is managed with it either way).
Widget make_peer(int32_t type, Widget parent, int i, bool managed) {
  const Position x = Position((i % g_columns) * kCellW), y = Position((i / g_columns % g_rows) * kCellH);
  Arg a[24];
  Cardinal n = 0;
  XtSetArg(a[n], XmNx, x); ++n;
  XtSetArg(a[n], XmNy, y); ++n;
  WidgetClass cls = nullptr;
  const char *name = "";
  XtTranslations keys = g_keys;
  // Each widget its own label string, as each control makes its own.
  XmString label = nullptr;
  switch (type) {
    case WU_CTYPE_PUSH:
      label = XmStringCreateLocalized(const_cast<char *>("Label"));
      XtSetArg(a[n], XmNlabelString, label); ++n;
      n = g_look.push.add(a, n);
      cls = xmPushButtonWidgetClass;
      name = "push";
      break;
    case WU_CTYPE_DESKICON:
      label = XmStringCreateLocalized(const_cast<char *>("Label"));
      XtSetArg(a[n], XmNlabelString, label); ++n;
      XtSetArg(a[n], XmNlabelPixmap, g_look.deskicon_pixmap); ++n;
      XtSetArg(a[n], XmNlabelType, XmPIXMAP_AND_STRING); ++n;
      XtSetArg(a[n], XmNpixmapPlacement, XmPIXMAP_TOP); ++n;
      n = g_look.deskicon.add(a, n);
      cls = xmPushButtonWidgetClass;
      name = "icon";
      break;
    case WU_CTYPE_CHECK:
      label = XmStringCreateLocalized(const_cast<char *>("Label"));
      XtSetArg(a[n], XmNlabelString, label); ++n;
      n = g_look.check.add(a, n);
      cls = xmToggleButtonWidgetClass;
      name = "check";
      break;
    case WU_CTYPE_RADIO: {
      n = g_look.radio_frame.add(a, n);
      Widget frame = XtCreateWidget("frame", xmFrameWidgetClass, parent, a, n);
      XtOverrideTranslations(frame, g_popup);
      Arg b[8];
      Cardinal bn = g_look.radio_box.add(b, 0);
      Widget box = XmCreateRadioBox(frame, const_cast<char *>("box"), b, bn);
      XtOverrideTranslations(box, g_popup);
      Widget items[3];
      for (int k = 0; k < 3; ++k) {
        XmString s = XmStringCreateLocalized(const_cast<char *>(kItems[k]));
        Arg t[20];
        Cardinal tn = 0;
        XtSetArg(t[tn], XmNlabelString, s); ++tn;
        XtSetArg(t[tn], XmNset, k == 0 ? True : False); ++tn;
        tn = g_look.radio_item.add(t, tn);
        items[k] = XtCreateWidget("item", xmToggleButtonWidgetClass, box, t, tn);
        XtOverrideTranslations(items[k], g_keys);
        XmStringFree(s);
      }
      XtManageChildren(items, 3);
      XtManageChild(box);
      if (managed) XtManageChild(frame);
      return frame;
    }
    case WU_CTYPE_SCROLL:
      XtSetArg(a[n], XmNmaximum, 101); ++n;
      XtSetArg(a[n], XmNsliderSize, 10); ++n;
      XtSetArg(a[n], XmNpageIncrement, 10); ++n;
      XtSetArg(a[n], XmNvalue, 30); ++n;
      XtSetArg(a[n], XmNorientation, XmHORIZONTAL); ++n;
      n = g_look.scroll.add(a, n);
      cls = xmScrollBarWidgetClass;
      name = "scroll";
      break;
    case WU_CTYPE_PROGRESS:
      XtSetArg(a[n], XmNvalue, 30); ++n;
      XtSetArg(a[n], XmNslidingMode, XmTHERMOMETER); ++n;
      XtSetArg(a[n], XmNeditable, False); ++n;
      XtSetArg(a[n], XmNshowArrows, XmNONE); ++n;
      XtSetArg(a[n], XmNorientation, XmHORIZONTAL); ++n;
      n = g_look.progress.add(a, n);
      cls = xmScrollBarWidgetClass;
      name = "progress";
      keys = g_bar_keys;
      break;
    default:
      return nullptr;
  }
  Widget w = XtCreateWidget(name, cls, parent, a, n);
  if (label != nullptr) XmStringFree(label);
  XtOverrideTranslations(w, keys);
  if (managed) XtManageChild(w);
  return w;
}

int children(Widget w) {
  Cardinal n = 0;
  XtVaGetValues(w, XmNnumChildren, &n, nullptr);
  return int(n);
}

// The shell a widget lives in.
Widget shell_of(Widget w) {
  while (w != nullptr && !XtIsShell(w)) w = XtParent(w);
  return w;
}

// Maps one shell and unmaps the other; returns when the mapped one is drawn.
void show_only(Widget shown, Widget hidden) {
  XtUnmapWidget(hidden);
  XtMapWidget(shown);
  pump();
  qevbench::clearExposures();
}

// ---- memory ---------------------------------------------------------------------

bool g_callgrind = false;

size_t heap_in_use() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

// Bytes Xlib keeps on its list of spare event-queue entries: they grow with
// the longest queue seen and are never given back, whichever side queued
// the events.
size_t xlib_spare_events() {
  size_t n = 0;
  for (const _XQEvent *q = devb->display->qfree; q != nullptr; q = q->next) ++n;
  return n * sizeof(_XQEvent);
}

// What a side holds on the heap, counted from `start`.
struct Memory {
  size_t heap = 0, spare = 0;
  qevhost::PoolStats pool;
  static Memory now(qev_pool *pool) {
    Memory m;
    m.heap = heap_in_use();
    m.spare = xlib_spare_events();
    if (pool != nullptr) m.pool = qevhost::poolStats(pool);
    return m;
  }
};

// Bytes a control holds: the heap it grew by (Xlib's spare queue entries
// left out), the stand-in host's own keeping of its pool's blocks left out
// and the pool's bytes counted instead, as a host pool holds them.
struct PerControl {
  double heap = 0, pool = 0;
  double total() const { return heap + pool; }
};

PerControl per_control(const Memory &before, const Memory &after, int n) {
  PerControl p;
  const double grown = double(after.heap) - double(before.heap) -
                       (double(after.spare) - double(before.spare)) -
                       double(after.pool.heapBytes - before.pool.heapBytes);
  p.heap = grown / n;
  p.pool = double(after.pool.liveBytes - before.pool.liveBytes) / n;
  return p;
}

std::string bytes(double b) { return std::to_string(long(b + (b < 0 ? -0.5 : 0.5))); }

// The sides measured, each in a process of its own for each kind: the
// module, the careful peer (made unmanaged, managed and unmanaged in one
// call) and the plain peer (one managed widget at a time).
const char *const kSides[] = {"xd", "motif-batch", "motif-each"};

// The memory per control the parts report, by kind and side, for the
// comparison printed once every part has run.
std::map<std::string, std::map<std::string, double>> g_memory;

void note_memory_line(const std::string &line) {
  char kind[32], who[64];
  double b = 0;
  if (std::sscanf(line.c_str(), "NOTE memory per control, %31[^,], %63[^:]: %lf B", kind, who, &b) == 3)
    g_memory[kind][who] = b;
}

}  // namespace

int main(int argc, char **argv) {
  const bool small = qevbench::smallest();
  if (small) g_count = 50;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--callgrind") == 0) g_callgrind = true;
  // QEV_BENCH_KIND=push (or check, radio, ...) measures that kind alone.
  const char *only = std::getenv("QEV_BENCH_KIND");
  std::vector<std::string> parts;
  for (const Kind &k : kKinds)
    if (only == nullptr || *only == '\0' || std::strcmp(only, k.name) == 0)
      for (const char *side : kSides) parts.push_back(std::string(k.name) + "." + side);
  const int all = qevbench::runEachPart(argv, "QEV_BENCH_PART", parts, note_memory_line);
  if (all >= 0) {
    // Memory is read in the native run: under valgrind the heap is valgrind's.
    for (const Kind &k : kKinds) {
      auto it = g_memory.find(k.name);
      if (it == g_memory.end() || !it->second.count("module") || !it->second.count("Motif (batch)")) continue;
      const double xd = it->second["module"], peer = it->second["Motif (batch)"];
      qevbench::note("memory per control, " + std::string(k.name) + ": module " + bytes(xd) +
                     " B, Motif " + bytes(peer) + " B: " +
                     std::to_string(xd / std::max(peer, 1.0)).substr(0, 4) + "x");
    }
    return all;
  }
  // This process measures one kind on one side.
  const std::string part = std::getenv("QEV_BENCH_PART");
  const size_t dot = part.find('.');
  const std::string kind_name = part.substr(0, dot), side = dot == std::string::npos ? "" : part.substr(dot + 1);
  const Kind *kind = nullptr;
  for (const Kind &k : kKinds)
    if (kind_name == k.name) kind = &k;
  const bool known_side =
      std::any_of(std::begin(kSides), std::end(kSides), [&](const char *name) { return side == name; });
  if (kind == nullptr || !known_side) {
    qevbench::failed("no such part: " + part);
    return 1;
  }
  const Kind &k = *kind;
  std::string why;
  if (!qevtest::startModule(QEV_MODULE_PATH, &why)) {
    std::fprintf(stderr, "module did not start: %s\n", why.c_str());
    return 1;
  }
  auto crea = qevhost::slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA);
  if (crea == nullptr) {
    std::fprintf(stderr, "no control slot\n");
    return 1;
  }
  wu_window *window = nullptr;
  wu_pane *pane = nullptr;
  if (wuxgwnd(&window, 1, 0) != WU_OK || wuxgpan(window, &pane, 1, 1, kPaneRows, kPaneColumns, 0) != WU_OK ||
      wuxiwnd(window) != WU_OK) {
    std::fprintf(stderr, "no window\n");
    return 1;
  }
  pump();
  qev_pool *pool = window->pool;
  Widget pane_w = pane->ext->widget;
  Widget module_shell = shell_of(pane_w);
  Position px = 0, py = 0, sx = 0, sy = 0;
  XtTranslateCoords(pane_w, 0, 0, &px, &py);
  XtTranslateCoords(module_shell, 0, 0, &sx, &sy);
  const Dimension pw = pane_w->core.width, ph = pane_w->core.height;
  g_columns = std::max(1, pw / kCellW);
  g_rows = std::max(1, ph / kCellH);
  if (g_columns * g_rows < g_count) {
    qevbench::failed("the pane of " + std::to_string(pw) + "x" + std::to_string(ph) +
                     " holds fewer cells than controls");
    return 1;
  }
  // The peer: a shell of the module window's size at its place, with a
  // board of the pane's size and background at the pane's place in it; the
  // board gives its buttons and labels the display's font list.
  Widget shell = XtVaAppCreateShell("peer", "Peer", topLevelShellWidgetClass, devb->display, XmNx, sx,
                                    XmNy, sy, XmNwidth, module_shell->core.width, XmNheight,
                                    module_shell->core.height, XmNmappedWhenManaged, False, nullptr);
  Widget holder = XtVaCreateManagedWidget("holder", xmBulletinBoardWidgetClass, shell, XmNmarginWidth, 0,
                                          XmNmarginHeight, 0, XmNresizePolicy, XmRESIZE_NONE, nullptr);
  Widget board = XtVaCreateManagedWidget("board", xmBulletinBoardWidgetClass, holder, XmNx, px - sx,
                                         XmNy, py - sy, XmNwidth, pw, XmNheight, ph, XmNmarginWidth, 0,
                                         XmNmarginHeight, 0, XmNresizePolicy, XmRESIZE_NONE,
                                         XmNbackground, pane_w->core.background_pixel, XmNbuttonFontList,
                                         devb->font_list, XmNlabelFontList, devb->font_list, nullptr);
  XtRealizeWidget(shell);
  pump();
  qevbench::countOn(devb->display);
  const bool first_kind = (only != nullptr && *only != '\0') || &k == &kKinds[0];
  if (side == "xd" && first_kind)
    qevbench::note("window " + std::to_string(module_shell->core.width) + "x" +
                   std::to_string(module_shell->core.height) + ", pane " + std::to_string(pw) + "x" +
                   std::to_string(ph) + " on both sides; each kind and side in a process of its own");
  std::vector<wu_str_item> items;
  for (const char *s : kItems) items.push_back({int32_t(std::strlen(s)), 0, s});

  // A first control of the kind settles the one-time costs on both sides
  // (the same in every process of the kind), and the module's gives the
  // peer its look.
  make_tables();
  {
    wu_ctl_handle *h = nullptr;
    std::vector<wu_value> v = entries_for(k.type, 0, items);
    crea(&h, pane, nullptr, k.type, v.data(), int32_t(v.size()), nullptr);
    wuxuwnd(window);
    if (h == nullptr) {
      qevbench::failed(std::string(k.name) + ": the module made no control");
      return 1;
    }
    capture_look(k.type, h->control);
    Widget w = make_peer(k.type, board, 0, true);
    h->services->wdes(h);
    pump();
    XtDestroyWidget(w);
    pump();
  }
  // The pool's own table of blocks grows to the size it keeps for the
  // largest batch, before anything is counted.
  {
    std::vector<void *> blocks(size_t(g_count) * 8, nullptr);
    for (void *&b : blocks) b = vmalcp_handler(pool, 16, 0);
    for (void *b : blocks) vmfree_handler(pool, b, 16, 0);
  }
  const qevhost::PoolStats base = qevhost::poolStats(pool);
  const std::string size = std::to_string(g_count);
  int shown = 0, failed = 0, left = 0;
  bool at_base = true;
  PerControl mem;
  std::string who;

  if (side == "xd") {
    who = "module";
    std::vector<wu_ctl_handle *> made(size_t(g_count), nullptr);
    std::vector<std::vector<wu_value>> entries;
    for (int i = 0; i < g_count; ++i) entries.push_back(entries_for(k.type, i, items));
    show_only(module_shell, shell);
    const Memory xd0 = Memory::now(pool);
    qevbench::measure(std::string(k.name) + ".create.xd." + size, [&] {
      for (int i = 0; i < g_count; ++i) {
        const wu_status st = crea(&made[size_t(i)], pane, nullptr, k.type, entries[size_t(i)].data(),
                                  int32_t(entries[size_t(i)].size()), nullptr);
        if (st != WU_OK && st != WU_ENTRY_STATUS) ++failed;
      }
      wuxuwnd(window);
      pump();
    });
    const unsigned long create_trips = qevbench::lastCounts().trips;
    std::vector<Widget> module_ws;
    for (wu_ctl_handle *h : made) module_ws.push_back(h != nullptr ? wu_ctl_outer(h->control) : nullptr);
    shown = qevbench::drawnCount(module_ws);
    // The exposures kept for the check are the harness's, not the side's.
    qevbench::clearExposures();
    mem = per_control(xd0, Memory::now(pool), g_count);
    qevbench::keepingExposures() = false;
    qevbench::measure(std::string(k.name) + ".release.xd." + size, [&] {
      for (wu_ctl_handle *h : made)
        if (h != nullptr) h->services->wdes(h);
      wuxuwnd(window);
      pump();
    });
    qevbench::keepingExposures() = true;
    const unsigned long release_trips = qevbench::lastCounts().trips;
    const qevhost::PoolStats after = qevhost::poolStats(pool);
    at_base = after.liveBlocks == base.liveBlocks && after.liveBytes == base.liveBytes;
    left = children(pane->ext->widget);
    // A control costs no round trip of its own: what the batch waits for
    // (the synchronisations of the turn, an icon's first load) stays far
    // below one per control.
    if (create_trips * 2 > unsigned(g_count) || release_trips * 2 > unsigned(g_count)) {
      qevbench::failed(std::string(k.name) + ": " + std::to_string(create_trips) + " round trips to make and " +
                       std::to_string(release_trips) + " to release " + size + " controls");
      failed += g_count;
    }
  } else {
    const bool batch = side == "motif-batch";
    who = batch ? "Motif (batch)" : "Motif (one at a time)";
    std::vector<Widget> peers(size_t(g_count), nullptr);
    show_only(shell, module_shell);
    const Memory peer0 = Memory::now(nullptr);
    qevbench::measure(std::string(k.name) + ".create." + side + "." + size, [&] {
      for (int i = 0; i < g_count; ++i) peers[size_t(i)] = make_peer(k.type, board, i, !batch);
      if (batch) XtManageChildren(peers.data(), Cardinal(peers.size()));
      pump();
    });
    shown = qevbench::drawnCount(peers);
    qevbench::clearExposures();
    mem = per_control(peer0, Memory::now(nullptr), g_count);
    qevbench::keepingExposures() = false;
    qevbench::measure(std::string(k.name) + ".release." + side + "." + size, [&] {
      if (batch) XtUnmanageChildren(peers.data(), Cardinal(peers.size()));
      for (Widget w : peers) XtDestroyWidget(w);
      pump();
    });
    qevbench::keepingExposures() = true;
    left = children(board);
  }

  qevbench::note(std::string(k.name) + ", " + who + ": " + std::to_string(shown) + " of " + size + " drawn" +
                 (side == "xd" ? std::string(", ") + std::to_string(failed) + " refused, pool " +
                                     (at_base ? "at its baseline" : "NOT at its baseline")
                               : std::string()) +
                 ", " + std::to_string(left) + " children left");
  // Memory is read in the native run: under valgrind the heap is valgrind's.
  if (!g_callgrind) {
    qevbench::note("memory per control, " + std::string(k.name) + ", " + who + ": " + bytes(mem.total()) +
                   " B" + (side == "xd" ? " (heap " + bytes(mem.heap) + " + pool " + bytes(mem.pool) + ")" : ""));
  }
  const bool ok = shown == g_count && failed == 0 && at_base && left == 0;
  if (!ok) qevbench::failed(std::string(k.name) + ", " + who + ": not every control was made, drawn and released");
  if (g_look.deskicon_pixmap != None) wutfpix(g_look.deskicon_pixmap);
  wuxuwnd(window);
  wuxfwnd(window);
  qevtest::stopModule();
  return ok ? 0 : 1;
}
