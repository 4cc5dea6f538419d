// Modal waits end when their widget or window goes, when the module is shut
// down or when the display is lost, and answer as a cancel; the waiting
// read realises a window never realised and never waits while the batch
// driver replays.
#include "hardening.h"

#include <sys/socket.h>

#include <Xm/PushB.h>

#include "controls/wucontrol.h"
#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "runtime/wutoolkit.h"

namespace {

using namespace hardening;

const int32_t kWake = WU_EV_WAKE;
wu_window *g_window = nullptr;

void ReleaseWindow() { wuxfwnd(g_window); }

TEST(Modal, AMessageBoxEndsAsCancelWhenItsWindowIsReleased) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = m.window;
    UnderTheWait("the window released under the box", AWaitShows, ReleaseWindow, [&] {
      EXPECT_EQ(wumpmsg(reinterpret_cast<Widget>(m.window->outer), "Save?", WU_MSG_QUESTION, 0),
                WU_ANSWER_CANCEL);
    });
    EXPECT_EQ(wuxuwnd(m.window), WU_NOTAVAIL);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(Modal, TheFontDialogEndsAsCancelWhenItsWindowIsReleased) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = m.window;
    UnderTheWait("the window released under the dialog", AWaitShows, ReleaseWindow,
                 [&] { EXPECT_EQ(wumcfnt(m.window), WU_CANCELLED); });
    EXPECT_EQ(wumcfnt(m.window), WU_NOTAVAIL);   // and a released window is refused
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(Modal, ThePreferencesDialogEndsAsCancelWhenItsWindowIsReleased) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = m.window;
    UnderTheWait("the window released under the dialog", AWaitShows, ReleaseWindow,
                 [&] { EXPECT_EQ(wumpref(m.window), WU_CANCELLED); });
    EXPECT_EQ(wumpref(m.window), WU_NOTAVAIL);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(Modal, TheEventWaitEndsAsCancelWhenItsWindowIsReleased) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = m.window;
    // The wait shows nothing: the window goes once it turns.
    UnderTheWait("the window released under the wait", nullptr, ReleaseWindow,
                 [&] { EXPECT_EQ(wutpmio(m.window, kWake, 103), WU_CANCELLED); });
    EXPECT_EQ(wutpmio(m.window, kWake, 103), WU_NOTAVAIL);
    int32_t foreign[300] = {};
    EXPECT_EQ(wutpmio(reinterpret_cast<wu_window *>(foreign), kWake, 103), WU_NOTAVAIL);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

void ShutDown() { qevtest::windowSlot(WUX_SLOT_TERM)(); }

TEST(Modal, AMessageBoxEndsAsCancelWhenTheModuleIsShutDown) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    UnderTheWait("a shut-down under the box", AWaitShows, ShutDown,
                 [] { EXPECT_EQ(wumpmsg(nullptr, "Still there?", WU_MSG_INFO, 0), WU_ANSWER_CANCEL); });
    EXPECT_EQ(wu_module(), nullptr);
    m.Stop();
  });
}

TEST(Modal, ShutDownFromAMessageBoxInsideTheReadEndsBoth) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    int32_t answer = -1;
    qevtest::Script s;
    s.then("a message box from inside the read",
           [&] { answer = wumpmsg(nullptr, "Carry on?", WU_MSG_QUESTION, 0); })
        .then("a shut-down under the box", AWaitShows, ShutDown);
    s.run([&] { EXPECT_EQ(wuxrwnd(m.window), WU_NOTAVAIL); });
    EXPECT_EQ(answer, WU_ANSWER_CANCEL);
    EXPECT_EQ(wu_module(), nullptr);
    m.Stop();
  });
}

void BreakTheConnection() { shutdown(ConnectionNumber(devb->display), SHUT_RDWR); }

TEST(Modal, ALostDisplayEndsTheMessageBoxAndTheReadAndShutDownStillReleasesAll) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    ASSERT_NE(m.Entry(), nullptr);
    Widget parent = reinterpret_cast<Widget>(m.window->outer);
    UnderTheWait("the connection broken under the box", AWaitShows, BreakTheConnection,
                 [&] { EXPECT_EQ(wumpmsg(parent, "Save?", WU_MSG_QUESTION, 0), WU_ANSWER_CANCEL); });
    EXPECT_TRUE(devb->lost);
    EXPECT_EQ(wuxrwnd(m.window), WU_NOTAVAIL);   // nothing queued, and no waiting
    EXPECT_EQ(wutpmio(m.window, kWake, 103), WU_NOTAVAIL);
    // The window and its control still stand; shut-down takes them along.
    EXPECT_EQ(qevtest::windowSlot(WUX_SLOT_TERM)(), WU_OK);
    EXPECT_EQ(wu_reg_count(WU_REG_NONE), 0);
    EXPECT_EQ(qevhost::poolCount(), 1u);
    m.Stop();
  });
}


TEST(Modal, TheReadRealisesAWindowNeverRealised) {
  InChild([] {
    Started m;
    if (!m.Start(false)) return;
    EXPECT_FALSE(m.window->flags & WU_WIN_REALIZED);
    UnderTheWait("an event for the read", [&] { return (m.window->flags & WU_WIN_REALIZED) != 0; },
                 [&] { wuxqwev(m.window, kWake, nullptr, 0); }, [&] { EXPECT_EQ(wuxrwnd(m.window), kWake); });
    EXPECT_TRUE(m.window->flags & WU_WIN_REALIZED);
    EXPECT_EQ(wuxfwnd(m.window), WU_OK);
    m.Stop();
  });
}

TEST(Modal, TheReadNeverWaitsWhileTheBatchDriverReplays) {
  InChild(
      [] {
        Started m;
        if (!m.Start()) return;
        qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_REPLAY);
        // Nothing queued: the answer comes at once (the child's alarm would
        // end a read that waited).
        EXPECT_EQ(wuxrwnd(m.window), WU_NOTAVAIL);
        ASSERT_EQ(wuxqwev(m.window, kWake, nullptr, 0), WU_OK);
        EXPECT_EQ(wuxrwnd(m.window), kWake);
        qevhost::removeBatchDriver(qevhost::mainTask());
        EXPECT_EQ(wuxfwnd(m.window), WU_OK);
        m.Stop();
      },
      20);
}

Widget g_anchor = nullptr;
void DestroyAnchor() { XtDestroyWidget(g_anchor); }
bool PopupUp() {
  for (Cardinal i = 0; i < devb->toplevel->core.num_popups; ++i) {
    Widget shell = devb->toplevel->core.popup_list[i];
    if (shell->core.being_destroyed || !XtIsComposite(shell)) continue;
    CompositeWidget c = reinterpret_cast<CompositeWidget>(shell);
    for (Cardinal k = 0; k < c->composite.num_children; ++k)
      if (XtIsManaged(c->composite.children[k])) return true;
  }
  return false;
}

// The string popup serves the widget it is opened for: the widget going
// (its control destroyed, its window released) closes the menu with nothing
// chosen, outside any other wait.
TEST(Modal, AStringPopupEndsWithTheWidgetItServes) {
  for (const bool whole_window : {false, true}) {
    SCOPED_TRACE(whole_window ? "window released" : "widget destroyed");
    InChild([whole_window] {
      Started m;
      if (!m.Start()) return;
      Widget outer = reinterpret_cast<Widget>(m.window->outer);
      ASSERT_NE(outer, nullptr);
      g_anchor = XtVaCreateManagedWidget("anchor", xmPushButtonWidgetClass, outer, nullptr);
      g_window = m.window;
      char one[] = "One", two[] = "Two";
      char *labels[] = {one, two};
      UnderTheWait(whole_window ? "the window released under the popup" : "the widget destroyed under the popup",
                   AWaitShows, whole_window ? ReleaseWindow : DestroyAnchor,
                   [&] { EXPECT_EQ(wumhpop(g_anchor, labels, 2, nullptr, nullptr, nullptr), 0); });
      EXPECT_FALSE(PopupUp());
      // The pointer is free again.
      Display *other = XOpenDisplay(DisplayString(devb->display));
      ASSERT_NE(other, nullptr);
      EXPECT_EQ(XGrabPointer(other, DefaultRootWindow(other), False, ButtonPressMask, GrabModeAsync,
                             GrabModeAsync, None, None, CurrentTime),
                GrabSuccess);
      XUngrabPointer(other, CurrentTime);
      XCloseDisplay(other);
      if (!whole_window) {
        EXPECT_EQ(wuxfwnd(m.window), WU_OK);
      }
      m.Stop();
    }, 20);
  }
}

}  // namespace
