// The button kinds of host dialogs against the Motif widgets a careful
// Motif programmer would make for the same dialog: 1,000 controls of each
// kind (50 in the smallest-size mode) created with a label, position and
// range as a host sets them, drawn, and released.  The module's controls go
// through slot 141, the services vector and the display update, as a host
// drives them; the peers are made directly in a bulletin board of the
// pane's size at the pane's place in a shell of the module window's size,
// at the same place on the screen.  One of the two shells is mapped at a
// time, and each side must draw every control it made (each control's
// window, or its part of the parent's, receives an exposure), else the
// program fails.  X requests and round trips are counted for each step.
// Run it with   xvfb-run -a bench/run.sh BUILD_DIR buttons
#include "benchutil.h"

#include "modulehost.h"
#include "qevhost.h"

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/BulletinB.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/ScrollBar.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "qev/catalog.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "runtime/wudevice.h"
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

wu_value IntV(int16_t code, int32_t v) {
  wu_value e = {};
  e.code = code;
  e.type = WU_VT_INT;
  e.value = v;
  return e;
}

wu_value TextV(int16_t code, const char *t) {
  wu_value e = {};
  e.code = code;
  e.type = WU_VT_STRING;
  e.value = int32_t(std::strlen(t));
  e.pointer = const_cast<char *>(t);
  return e;
}

wu_value RealV(int16_t code, double d) {
  wu_value e = {};
  e.code = code;
  e.type = WU_VT_DOUBLE;
  std::memcpy(&e.value, &d, sizeof d);
  return e;
}

void pump() {
  XSync(devb->display, False);
  qevbench::dispatchPending(devb->app);
  XSync(devb->display, False);
  qevbench::dispatchPending(devb->app);
}

// What a host sets on each control of a kind.
std::vector<wu_value> entries_for(int32_t type, int i, std::vector<wu_str_item> &items) {
  const int32_t x = (i % g_columns) * kCellW, y = (i / g_columns % g_rows) * kCellH;
  std::vector<wu_value> v = {IntV(WU_A_HPOS, x), IntV(WU_A_VPOS, y)};
  switch (type) {
    case WU_CTYPE_PUSH: case WU_CTYPE_CHECK: case WU_CTYPE_DESKICON:
      v.push_back(TextV(WU_A_TEXT, "Label"));
      break;
    case WU_CTYPE_RADIO: {
      wu_value e = {};
      e.code = WU_A_ITEMS;
      e.type = WU_VT_STRLIST;
      e.value = int32_t(items.size());
      e.pointer = items.data();
      v.push_back(e);
      v.push_back(IntV(WU_A_SELECTEDINDEX, 1));
      v.push_back(IntV(WU_A_HEIGHT, 80));
      break;
    }
    case WU_CTYPE_SCROLL:
      v.push_back(RealV(WU_A_MAXIMUM, 100));
      v.push_back(RealV(WU_A_LARGESCROLL, 10));
      v.push_back(RealV(WU_A_VALUE, 30));
      break;
    case WU_CTYPE_PROGRESS: {
      wu_value e = IntV(WU_A_VALUE, 30);
      e.type = WU_VT_NUMBER;
      v.push_back(e);
      break;
    }
    default:
      break;
  }
  return v;
}

// The peer of one control: the Motif widgets made directly.
Widget make_peer(int32_t type, Widget parent, int i, XmString label, Pixmap icon) {
  const Position x = Position((i % g_columns) * kCellW), y = Position((i / g_columns % g_rows) * kCellH);
  Arg a[12];
  Cardinal n = 0;
  XtSetArg(a[n], XmNx, x); ++n;
  XtSetArg(a[n], XmNy, y); ++n;
  switch (type) {
    case WU_CTYPE_PUSH:
      XtSetArg(a[n], XmNlabelString, label); ++n;
      return XtCreateManagedWidget("push", xmPushButtonWidgetClass, parent, a, n);
    case WU_CTYPE_DESKICON:
      XtSetArg(a[n], XmNlabelString, label); ++n;
      XtSetArg(a[n], XmNlabelPixmap, icon); ++n;
      XtSetArg(a[n], XmNlabelType, XmPIXMAP_AND_STRING); ++n;
      XtSetArg(a[n], XmNshadowThickness, 0); ++n;
      return XtCreateManagedWidget("icon", xmPushButtonWidgetClass, parent, a, n);
    case WU_CTYPE_CHECK:
      XtSetArg(a[n], XmNlabelString, label); ++n;
      return XtCreateManagedWidget("check", xmToggleButtonWidgetClass, parent, a, n);
    case WU_CTYPE_RADIO: {
      Widget frame = XtCreateWidget("frame", xmFrameWidgetClass, parent, a, n);
      XmString title = XmStringCreateLocalized(const_cast<char *>("Title"));
      Arg t[2];
      XtSetArg(t[0], XmNlabelString, title);
      XtSetArg(t[1], XmNchildType, XmFRAME_TITLE_CHILD);
      XtCreateManagedWidget("title", xmLabelWidgetClass, frame, t, 2);
      XmStringFree(title);
      Widget box = XmCreateRadioBox(frame, const_cast<char *>("box"), nullptr, 0);
      for (int k = 0; k < 3; ++k) {
        XmString s = XmStringCreateLocalized(const_cast<char *>(kItems[k]));
        Arg b[2];
        XtSetArg(b[0], XmNlabelString, s);
        XtSetArg(b[1], XmNset, k == 0 ? True : False);
        XtCreateManagedWidget("item", xmToggleButtonWidgetClass, box, b, 2);
        XmStringFree(s);
      }
      XtManageChild(box);
      XtManageChild(frame);
      return frame;
    }
    case WU_CTYPE_SCROLL:
      XtSetArg(a[n], XmNmaximum, 101); ++n;
      XtSetArg(a[n], XmNsliderSize, 10); ++n;
      XtSetArg(a[n], XmNvalue, 30); ++n;
      XtSetArg(a[n], XmNorientation, XmHORIZONTAL); ++n;
      return XtCreateManagedWidget("scroll", xmScrollBarWidgetClass, parent, a, n);
    case WU_CTYPE_PROGRESS:
      XtSetArg(a[n], XmNmaximum, 100); ++n;
      XtSetArg(a[n], XmNvalue, 30); ++n;
      XtSetArg(a[n], XmNslidingMode, XmTHERMOMETER); ++n;
      XtSetArg(a[n], XmNeditable, False); ++n;
      XtSetArg(a[n], XmNshowArrows, XmNONE); ++n;
      XtSetArg(a[n], XmNorientation, XmHORIZONTAL); ++n;
      return XtCreateManagedWidget("progress", xmScrollBarWidgetClass, parent, a, n);
    default:
      return nullptr;
  }
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

}  // namespace

int main(int argc, char **argv) {
  const bool small = qevbench::smallest();
  if (small) g_count = 50;
  (void)argc;
  (void)argv;
  std::string why;
  if (!qevtest::startModule(QEV_MODULE_PATH, &why)) {
    std::fprintf(stderr, "module did not start: %s\n", why.c_str());
    return 1;
  }
  int32_t slots = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &slots));
  auto crea = reinterpret_cast<CreaFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_CREA]));
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
  // board of the pane's size at the pane's place in it.
  Widget shell = XtVaAppCreateShell("peer", "Peer", topLevelShellWidgetClass, devb->display, XmNx, sx,
                                    XmNy, sy, XmNwidth, module_shell->core.width, XmNheight,
                                    module_shell->core.height, XmNmappedWhenManaged, False, nullptr);
  Widget holder = XtVaCreateManagedWidget("holder", xmBulletinBoardWidgetClass, shell, XmNmarginWidth, 0,
                                          XmNmarginHeight, 0, XmNresizePolicy, XmRESIZE_NONE, nullptr);
  Widget board = XtVaCreateManagedWidget("board", xmBulletinBoardWidgetClass, holder, XmNx, px - sx,
                                         XmNy, py - sy, XmNwidth, pw, XmNheight, ph, XmNmarginWidth, 0,
                                         XmNmarginHeight, 0, XmNresizePolicy, XmRESIZE_NONE, nullptr);
  XtRealizeWidget(shell);
  pump();
  qevbench::countOn(devb->display);
  qevbench::note("window " + std::to_string(module_shell->core.width) + "x" +
                 std::to_string(module_shell->core.height) + ", pane " + std::to_string(pw) + "x" +
                 std::to_string(ph) + " on both sides");
  Pixmap icon = XmGetPixmap(XtScreen(shell), const_cast<char *>("xlogo32"), BlackPixelOfScreen(XtScreen(shell)),
                            WhitePixelOfScreen(XtScreen(shell)));
  XmString label = XmStringCreateLocalized(const_cast<char *>("Label"));
  std::vector<wu_str_item> items;
  for (const char *s : kItems) items.push_back({int32_t(std::strlen(s)), 0, s});

  // A first control of each kind settles the one-time costs on both sides.
  for (const Kind &k : kKinds) {
    wu_ctl_handle *h = nullptr;
    std::vector<wu_value> v = entries_for(k.type, 0, items);
    crea(&h, pane, nullptr, k.type, v.data(), int32_t(v.size()), nullptr);
    wuxuwnd(window);
    if (h != nullptr) h->services->wdes(h);
    XtDestroyWidget(make_peer(k.type, board, 0, label, icon));
    pump();
  }
  const qevhost::PoolStats base = qevhost::poolStats(pool);
  bool ok = true;

  for (const Kind &k : kKinds) {
    const std::string size = std::to_string(g_count);
    std::vector<wu_ctl_handle *> made(size_t(g_count), nullptr);
    std::vector<std::vector<wu_value>> entries;
    for (int i = 0; i < g_count; ++i) entries.push_back(entries_for(k.type, i, items));
    int failed = 0;
    show_only(module_shell, shell);
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
    const int shown = qevbench::drawnCount(module_ws);
    qevbench::measure(std::string(k.name) + ".release.xd." + size, [&] {
      for (wu_ctl_handle *h : made)
        if (h != nullptr) h->services->wdes(h);
      pump();
    });
    const unsigned long release_trips = qevbench::lastCounts().trips;
    const qevhost::PoolStats after = qevhost::poolStats(pool);
    const int module_left = children(pane->ext->widget);

    std::vector<Widget> peers(size_t(g_count), nullptr);
    show_only(shell, module_shell);
    qevbench::measure(std::string(k.name) + ".create.motif." + size, [&] {
      for (int i = 0; i < g_count; ++i) peers[size_t(i)] = make_peer(k.type, board, i, label, icon);
      pump();
    });
    const int peer_shown = qevbench::drawnCount(peers);
    qevbench::measure(std::string(k.name) + ".release.motif." + size, [&] {
      for (Widget w : peers) XtDestroyWidget(w);
      pump();
    });
    const bool at_base = after.liveBlocks == base.liveBlocks && after.liveBytes == base.liveBytes;
    qevbench::note(std::string(k.name) + ": module " + std::to_string(shown) + " drawn, " +
                   std::to_string(failed) + " refused, pool " +
                   (at_base ? "at its baseline"
                            : "NOT at its baseline (" + std::to_string(after.liveBlocks - base.liveBlocks) +
                                  " blocks)") +
                   ", " + std::to_string(module_left) + " pane children left" + "; Motif " +
                   std::to_string(peer_shown) + " drawn, " + std::to_string(children(board)) + " left");
    // A control costs no round trip of its own: what the batch waits for
    // (the synchronisations of the turn, an icon's first load) stays far
    // below one per control.
    if (create_trips * 2 > unsigned(g_count) || release_trips * 2 > unsigned(g_count)) {
      qevbench::failed(std::string(k.name) + ": " + std::to_string(create_trips) + " round trips to make and " +
                       std::to_string(release_trips) + " to release " + size + " controls");
      ok = false;
    }
    if (shown != g_count || peer_shown != g_count || failed != 0 || !at_base || children(board) != 0) {
      qevbench::failed(std::string(k.name) + ": not every control was made, drawn and released");
      ok = false;
    }
  }
  XmStringFree(label);
  wuxuwnd(window);
  wuxfwnd(window);
  qevtest::stopModule();
  return ok ? 0 : 1;
}
