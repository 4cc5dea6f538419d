// Host code and callbacks that re-enter: an event procedure that releases
// its control, its window or the whole module during a navigation key, a
// control released while its popup menu is up, and a shut-down asked for
// from a callback while the module waits in its read or a modal dialog.
#include "hardening.h"

#include <X11/keysym.h>
#include <Xm/PushB.h>

#include "controls/wucontrol.h"
#include "xinput.h"

namespace {

using namespace hardening;

const int32_t kWake = WU_EV_WAKE;

// What the event procedure of a case does when it is called.
enum class Act { Nothing, ReleaseControl, ReleaseWindow, ShutDown };
Act g_act = Act::Nothing;
wu_window *g_window = nullptr;
int g_calls = 0;
wu_status g_term_answer = -1;

wu_status Procedure(wu_ctl_handle *h, wu_ctl_event *record, wu_value *, int32_t) {
  ++g_calls;
  record->answer = 5;
  switch (g_act) {
    case Act::ReleaseControl: h->services->wdes(h); break;
    case Act::ReleaseWindow: wuxfwnd(g_window); break;
    case Act::ShutDown: g_term_answer = qevtest::windowSlot(WUX_SLOT_TERM)(); break;
    case Act::Nothing: break;
  }
  return WU_EVPROC_ANSWER;
}

// Gives the widget the keyboard with a click and types a key on the
// server's keyboard.
void KeyTo(Started &m, Widget w, KeySym sym) {
  Widget shell = w;
  while (!XtIsShell(shell)) shell = XtParent(shell);
  XSetInputFocus(devb->display, XtWindow(shell), RevertToParent, CurrentTime);
  ASSERT_TRUE(qevtest::clickHandled(w));
  m.Settle();
  // What the click queued for the window is taken: the reads below are
  // about the key.
  while (wu_event *e = wutdqev(m.window)) wutrlev(e);
  qevtest::pressKey(devb->display, sym);
}

// An entry field whose procedure gets the Page Down key.
wu_ctl_handle *KeyedEntry(Started &m) {
  std::vector<int32_t> events = {WU_EV_PREVIRTUALKEY};
  std::vector<int32_t> keys = {WU_VK_PAGEDOWN};
  return m.Entry(Procedure, {IntList(WU_A_EVENTS, events), IntList(WU_A_VIRTUALKEYS, keys)});
}

// Types Page Down into a new entry field whose procedure acts as asked.
wu_ctl_handle *PressWith(Started &m, Act act) {
  wu_ctl_handle *h = KeyedEntry(m);
  if (h == nullptr) return nullptr;
  g_act = act;
  g_window = m.window;
  KeyTo(m, wuwgxtw(h->control), XK_Next);
  return h;
}

TEST(Reentry, AnEventProcedureMayReleaseItsControlDuringANavigationKey) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = PressWith(m, Act::ReleaseControl);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(qevtest::turnUntil([] { return g_calls == 1; }));
    m.Settle();
    EXPECT_EQ(wuxcnti(h), -1);
    // The answer still reaches the window, which stands.
    EXPECT_EQ(wuxrwnd(m.window), WU_EV_CTL_ANSWER);
    EXPECT_EQ(wuxfwnd(m.window), WU_OK);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(Reentry, AnEventProcedureMayReleaseTheWindowOfItsControl) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = PressWith(m, Act::ReleaseWindow);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(qevtest::turnUntil([] { return g_calls == 1; }));
    m.Settle();
    EXPECT_EQ(wuxcnti(h), -1);
    EXPECT_EQ(wutcqev(nullptr), 0);   // no answer queued for a window that is gone
    EXPECT_EQ(wuxuwnd(m.window), WU_NOTAVAIL);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(Reentry, ShutDownFromAnEventProcedureWaitsForTheReadToEnd) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = PressWith(m, Act::ShutDown);
    ASSERT_NE(h, nullptr);
    // The read is the outermost loop: the shut-down is carried out when it
    // ends, and it answers that the window is no more.
    EXPECT_EQ(wuxrwnd(m.window), WU_NOTAVAIL);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_term_answer, WU_OK);
    EXPECT_EQ(wu_module(), nullptr);
    EXPECT_EQ(devb, nullptr);
    EXPECT_EQ(wuxcnti(h), -1);
    // The module starts again.
    EXPECT_EQ(qevtest::windowSlot(WUX_SLOT_INIT)(), WU_OK);
    m.Stop();
  });
}

void ShutDownNow() { g_term_answer = qevtest::windowSlot(WUX_SLOT_TERM)(); }

TEST(Reentry, ShutDownFromACallbackWhileTheReadWaits) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    ASSERT_NE(m.Entry(), nullptr);
    UnderTheWait("a shut-down while the read waits", nullptr, ShutDownNow,
                 [&] { EXPECT_EQ(wuxrwnd(m.window), WU_NOTAVAIL); });
    EXPECT_EQ(g_term_answer, WU_OK);
    EXPECT_EQ(wu_module(), nullptr);
    EXPECT_EQ(qevhost::poolCount(), 1u);   // only the host's root pool is left
    EXPECT_EQ(wuxrwnd(m.window), WU_NOTAVAIL);
    m.Stop();
  });
}

// ---- the popup method ------------------------------------------------------

wu_control *g_release = nullptr;

// The managed string popup, or null.
Widget UpPopup() {
  for (Cardinal i = 0; i < devb->toplevel->core.num_popups; ++i) {
    Widget shell = devb->toplevel->core.popup_list[i];
    WidgetList kids = nullptr;
    Cardinal n = 0;
    XtVaGetValues(shell, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
    for (Cardinal k = 0; k < n; ++k)
      if (std::string(XtName(kids[k])) == "_popup" && XtIsManaged(kids[k])) return kids[k];
  }
  return nullptr;
}

// The first item of the string popup, or null.
Widget FirstItem() {
  Widget menu = UpPopup();
  WidgetList kids = nullptr;
  Cardinal n = 0;
  if (menu) XtVaGetValues(menu, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  for (Cardinal i = 0; i < n; ++i)
    if (XmIsPushButton(kids[i])) return kids[i];
  return nullptr;
}

// Once the menu is on the screen: the control goes, then the user clicks
// the first item while the menu is still there.
void ReleaseThenChoose() {
  if (g_release != nullptr) {
    wuxfwid(g_release);
    g_release = nullptr;
  }
  if (Widget item = FirstItem()) qevtest::clickWidget(item);
}
bool FirstItemShows() { return FirstItem() && qevtest::viewable(FirstItem()); }

// The parameters of "_showPopup" with two items and no choice yet (-5).
struct PopupCall {
  wu_str_item items[2] = {{3, 0, "One"}, {3, 0, "Two"}};
  wu_value p[6] = {};
  PopupCall() {
    p[0].type = WU_VT_STRLIST;
    p[0].value = 2;
    p[0].pointer = items;
    for (int i = 1; i < 5; ++i) p[i].type = WU_VT_INTLIST;
    p[5].type = WU_VT_INT;
    p[5].value = -5;
  }
  wu_status Show(wu_ctl_handle *h) {
    return Slot<MethFn>(QEV_TABLE_METHODS, WUXP_SLOT_METH)(h, WU_M_SHOWPOPUP, p, 6);
  }
};

TEST(Reentry, AControlReleasedWhileItsPopupIsUpAnswersNothing) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = m.Entry();
    ASSERT_NE(h, nullptr);
    PopupCall call;
    g_release = h->control;
    qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
    UnderTheWait("the control released under its popup, then a click", FirstItemShows, ReleaseThenChoose,
                 [&] { EXPECT_EQ(call.Show(h), WU_NOTAVAIL); });
    EXPECT_EQ(call.p[5].value, -5);   // no choice for a control that is gone
    EXPECT_TRUE(qevhost::recordings(qevhost::mainTask()).empty());
    qevhost::removeBatchDriver(qevhost::mainTask());
    EXPECT_EQ(wuxcnti(h), -1);
    EXPECT_EQ(wuxfwnd(m.window), WU_OK);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}


TEST(Reentry, AShutDownWhileAPopupIsUpEndsTheMenuAndTheModule) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = m.Entry();
    ASSERT_NE(h, nullptr);
    PopupCall call;
    // Once the menu is up, the module is shut down from a callback.
    UnderTheWait("a shut-down under the popup", FirstItemShows, ShutDownNow,
                 [&] { EXPECT_EQ(call.Show(h), WU_NOTAVAIL); });
    EXPECT_EQ(g_term_answer, WU_OK);
    EXPECT_EQ(call.p[5].value, -5);
    EXPECT_EQ(wu_module(), nullptr);
    EXPECT_EQ(qevhost::poolCount(), 1u);
    m.Stop();
  });
}

}  // namespace
