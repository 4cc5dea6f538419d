// Host code that releases a window, or ends the module, from an event
// procedure the module runs inside a Motif callback, and a host that releases
// a window between a button's press and its release on one of its bars.
// Motif still works on the widgets after the procedure returns: the release
// is carried out when the callback is over, and nothing crashes, leaks or
// draws on a widget that is gone.
#include "hardening.h"

#include <X11/extensions/XTest.h>
#include <Xm/ScrollBar.h>

#include <cstring>

#include "controls/wucontrol.h"
#include "frames/wuframes.h"
#include "xinput.h"

namespace {

using namespace hardening;

enum class Act { ReleaseControl, ReleaseWindow, ShutDown };
Act g_act = Act::ReleaseControl;
wu_window *g_window = nullptr;
int g_calls = 0;

wu_status Procedure(wu_ctl_handle *h, wu_ctl_event *, wu_value *, int32_t) {
  if (++g_calls > 1) return WU_OK;
  switch (g_act) {
    case Act::ReleaseControl: h->services->wdes(h); break;
    case Act::ReleaseWindow: wuxfwnd(g_window); break;
    case Act::ShutDown: qevtest::windowSlot(WUX_SLOT_TERM)(); break;
  }
  return WU_OK;
}

const char *Name(Act act) {
  switch (act) {
    case Act::ReleaseControl: return "release the control";
    case Act::ReleaseWindow: return "release the window";
    case Act::ShutDown: return "shut down";
  }
  return "";
}

// The point of a scroll bar's increment arrow, on the screen.
void ArrowPoint(Widget bar, int *x, int *y) {
  Dimension width = 0, height = 0;
  unsigned char orientation = XmVERTICAL;
  XtVaGetValues(bar, XmNwidth, &width, XmNheight, &height, XmNorientation, &orientation, nullptr);
  Position px = 0, py = 0;
  if (orientation == XmVERTICAL)
    XtTranslateCoords(bar, Position(width / 2), Position(height - 4), &px, &py);
  else
    XtTranslateCoords(bar, Position(width - 4), Position(height / 2), &px, &py);
  *x = px;
  *y = py;
}

void Press(Display *dpy, int x, int y, bool down) {
  XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(dpy, 1, down ? True : False, CurrentTime);
  XFlush(dpy);
}

// After the act, the module stands with its window (or without it), or has
// ended and starts again; the sanitizer build's leak check runs at the
// child's end.
void CheckAfter(Started &m, Act act) {
  qevtest::turnUntil([] { return false; }, 300);
  if (act == Act::ShutDown) {
    EXPECT_EQ(wu_module(), nullptr);
    EXPECT_EQ(qevtest::windowSlot(WUX_SLOT_INIT)(), WU_OK);
  } else if (act == Act::ReleaseWindow) {
    EXPECT_EQ(wuxuwnd(m.window), WU_NOTAVAIL);
  } else {
    EXPECT_EQ(wuxfwnd(m.window), WU_OK);
  }
  m.Stop();
}

wu_ctl_handle *ScrollBar(Started &m, wu_evproc proc) {
  std::vector<int32_t> events = {WU_EV_SCROLL};
  std::vector<wu_value> entries = {IntList(WU_A_EVENTS, events)};
  wu_ctl_handle *h = nullptr;
  EXPECT_EQ(Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(&h, m.pane, nullptr, WU_CTYPE_SCROLL,
                                                          entries.data(), 1, proc),
            WU_OK);
  m.Settle();
  return h;
}

// A catalogue scroll bar whose procedure hears the scroll event: the user
// clicks its arrow, and the procedure acts from inside Motif's callback.
TEST(Callbacks, AScrollBarsProcedureMayReleaseItsWindowOrEndTheModule) {
  for (Act act : {Act::ReleaseControl, Act::ReleaseWindow, Act::ShutDown}) {
    SCOPED_TRACE(Name(act));
    InChild([act] {
      Started m;
      if (!m.Start()) return;
      wu_ctl_handle *h = ScrollBar(m, Procedure);
      ASSERT_NE(h, nullptr);
      g_act = act;
      g_window = m.window;
      int x = 0, y = 0;
      ArrowPoint(wuwgxtw(h->control), &x, &y);
      Press(devb->display, x, y, true);
      Press(devb->display, x, y, false);
      ASSERT_TRUE(qevtest::turnUntil([] { return g_calls >= 1; }));
      CheckAfter(m, act);
    });
  }
}

// What the pane bar's procedure was handed: the scroll code and the value,
// which the catalogue types as a double.
int32_t g_code = 0;
double g_value = -1;
int32_t g_value_type = 0;

wu_status PaneBarProcedure(wu_ctl_handle *, wu_ctl_event *, wu_value *params, int32_t count) {
  if (count != 2) return WU_OK;
  g_code = params[0].value;
  g_value_type = params[1].type;
  std::memcpy(&g_value, &params[1].value, sizeof g_value);
  return WU_OK;
}

// An older pane bar: the user presses its arrow, the host hears the new
// value, and releases the window before the button is let go.
TEST(Callbacks, APaneBarsWindowMayGoBetweenThePressAndTheRelease) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    int32_t minimum = 0, maximum = 99, value = 10;
    wu_bar *bar = nullptr;
    ASSERT_EQ(wuxgbar(m.pane, &bar, 1, 0, 0, &minimum, &maximum, &value, 1, 40, 8, 0, 0), WU_OK);
    ASSERT_NE(bar->widget, nullptr);
    bar->common.procedure = PaneBarProcedure;
    m.Settle();
    int x = 0, y = 0;
    ArrowPoint(bar->widget, &x, &y);
    Press(devb->display, x, y, true);
    ASSERT_TRUE(qevtest::turnUntil([&] { return value != 10; }));
    EXPECT_EQ(g_code, WU_SCROLL_INCREMENT);
    EXPECT_EQ(g_value_type, WU_VT_DOUBLE);
    EXPECT_EQ(g_value, double(value));
    ASSERT_EQ(wuxfwnd(m.window), WU_OK);
    Press(devb->display, x, y, false);
    CheckAfter(m, Act::ReleaseWindow);
  });
}

// A pane bar's procedure that ends the module from inside Motif's scroll
// callback: the shut-down is carried out once the callback has returned.
wu_status EndingProcedure(wu_ctl_handle *, wu_ctl_event *, wu_value *, int32_t) {
  if (++g_calls == 1) qevtest::windowSlot(WUX_SLOT_TERM)();
  return WU_OK;
}

TEST(Callbacks, APaneBarsProcedureMayEndTheModule) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    int32_t minimum = 0, maximum = 99, value = 10;
    wu_bar *bar = nullptr;
    ASSERT_EQ(wuxgbar(m.pane, &bar, 1, 0, 0, &minimum, &maximum, &value, 1, 40, 8, 0, 0), WU_OK);
    ASSERT_NE(bar->widget, nullptr);
    bar->common.procedure = EndingProcedure;
    g_calls = 0;
    m.Settle();
    int x = 0, y = 0;
    ArrowPoint(bar->widget, &x, &y);
    Display *dpy = devb->display;
    Press(dpy, x, y, true);
    Press(dpy, x, y, false);
    qevtest::turnUntil([] { return g_calls >= 1 || wu_module() == nullptr; });
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(wu_module(), nullptr);
    EXPECT_EQ(qevtest::windowSlot(WUX_SLOT_INIT)(), WU_OK);
    m.Stop();
  });
}

}  // namespace
