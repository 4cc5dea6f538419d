// A host that restarts its display: the window system started and stopped
// several times in one process through the window table's start-up and
// shut-down slots, with a window, a message box and icons used each time.
// Nothing of one run may reach the next: no X error, no memory left behind.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/MessageB.h>
#include <Xm/RowColumn.h>
#include <Xm/ScrollBar.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include <cstring>
#include <set>
#include <string>

#include "frames/wutframe.h"
#include "modulehost.h"
#include "qev/flags.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"
#include "script.h"
#include "xinput.h"

namespace {

// Any X error the module's handler reported to the host log.
bool XErrorLogged() {
  for (const std::string &line : qevhost::log())
    if (line.find("X Error") != std::string::npos || line.find("X Toolkit Error") != std::string::npos)
      return true;
  return false;
}

// The newest message box the module shows, or null.
Widget NewestBox() {
  if (devb->shell_count == 0) return nullptr;
  CompositeWidget c = reinterpret_cast<CompositeWidget>(devb->shells[devb->shell_count - 1]);
  return c->composite.num_children ? c->composite.children[0] : nullptr;
}

// One run of the window system as a user has it: a window typed into, a
// message box answered, icons of the store and the per-size caches, the busy
// cursor.  The window and one icon are left for shut-down to release.
void UseTheDisplay(int run) {
  SCOPED_TRACE("run " + std::to_string(run));
  wu_window *window = nullptr;
  wu_pane *pane = nullptr;
  wu_field *field = nullptr;
  ASSERT_EQ(wuxgwnd(&window, 1, WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE), WU_OK);
  ASSERT_EQ(wuxgpan(window, &pane, 1, 1, 4, WU_FULL_WIDTH, 0), WU_OK);
  ASSERT_EQ(wuxgfld(pane, &field, 2, 3, 20, 0, 0), WU_OK);
  ASSERT_EQ(wuxiwnd(window), WU_OK);
  ASSERT_TRUE(qevtest::turnUntil([&] {
    return window->outer && XtIsRealized(window->outer) && pane->ext->widget &&
           XtIsRealized(pane->ext->widget);
  }));
  EXPECT_EQ(wuxpmsg(window, "Ready", -1, 0), WU_OK);
  ASSERT_EQ(wuxmcrs(window, pane, field->row, field->column), WU_OK);
  XSetInputFocus(devb->display, XtWindow(window->outer), RevertToParent, CurrentTime);
  ASSERT_TRUE(qevtest::settle());
  EXPECT_TRUE(qevtest::keyHandled(devb->display, XK_q));
  EXPECT_EQ(field->text[0], 'q');

  qevtest::Script answer;
  answer.then("OK", [] { return NewestBox() && qevtest::viewable(NewestBox()); },
              [] { EXPECT_TRUE(qevtest::clickHandled(XmMessageBoxGetChild(NewestBox(), XmDIALOG_OK_BUTTON))); });
  answer.run([] { EXPECT_EQ(wumpmsg(nullptr, "Restarted.", WU_MSG_INFO, 0), WU_ANSWER_OK); });

  Pixmap kept = None, released = None;
  ASSERT_EQ(wutgpix(2, nullptr, 0, 0, &kept, nullptr, nullptr), WU_OK);
  ASSERT_EQ(wutgpix(10, nullptr, 0, 0, &released, nullptr, nullptr), WU_OK);
  EXPECT_EQ(wutfpix(released), WU_OK);
  EXPECT_NE(wutgtpm(2, 16), Pixmap(None));
  EXPECT_NE(wutgtpm(2, 24), Pixmap(None));
  EXPECT_EQ(wutsbsy(1), WU_OK);
  EXPECT_EQ(wutsbsy(0), WU_OK);
  EXPECT_TRUE(qevtest::settle());
}

class Restart : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    init_ = qevtest::windowSlot(WUX_SLOT_INIT);
    term_ = qevtest::windowSlot(WUX_SLOT_TERM);
    ASSERT_NE(init_, nullptr);
    ASSERT_NE(term_, nullptr);
  }
  void TearDown() override { qevtest::stopModule(); }

  // Stops the window system, takes the pool baseline, and runs `runs`
  // start/use/stop cycles, each ending at that baseline with no X error.
  void Cycle(int runs) {
    UseTheDisplay(0);
    ASSERT_EQ(term_(), WU_OK);
    EXPECT_FALSE(XErrorLogged());
    const qevhost::PoolStats base = qevhost::poolStats(qevhost::rootPool());
    const size_t pools = qevhost::poolCount();
    for (int run = 1; run <= runs; ++run) {
      SCOPED_TRACE("run " + std::to_string(run));
      ASSERT_EQ(init_(), WU_OK);
      ASSERT_NE(devb, nullptr);
      UseTheDisplay(run);
      EXPECT_EQ(devb->x_errors, 0);
      ASSERT_EQ(term_(), WU_OK);
      EXPECT_EQ(devb, nullptr);
      EXPECT_FALSE(XErrorLogged());
      const qevhost::PoolStats now = qevhost::poolStats(qevhost::rootPool());
      EXPECT_EQ(now.liveBlocks, base.liveBlocks);
      EXPECT_EQ(now.liveBytes, base.liveBytes);
      EXPECT_EQ(now.errors, 0);
      EXPECT_EQ(qevhost::poolCount(), pools);
    }
    // Started again for the fixture's own shut-down.
    ASSERT_EQ(init_(), WU_OK);
  }

  qevtest::VoidSlot init_ = nullptr;
  qevtest::VoidSlot term_ = nullptr;
};

TEST_F(Restart, TwoStartStopCyclesLeaveNothingBehind) { Cycle(2); }

// Motif draws the insensitive parts of its widgets with a stipple it keeps
// per screen.  Many restarts in one process, each showing insensitive
// widgets, draw them with the stipple and GCs of their own connection: the
// test support fails the test on any X error.
TEST_F(Restart, InsensitiveWidgetsOfEveryRunDrawWithThatRunsConnection) {
  const int kRuns = 24;
  std::set<const void *> used;
  for (int run = 0; run < kRuns; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    // A connection whose structures sit where a closed one's sat would meet
    // that one's entries in the toolkit's caches.
    EXPECT_TRUE(used.insert(devb->display).second);
    EXPECT_TRUE(used.insert(DefaultScreenOfDisplay(devb->display)).second);
    Widget shell = XtVaCreatePopupShell("insensitive", topLevelShellWidgetClass, devb->toplevel,
                                        XmNwidth, 200, XmNheight, 200, nullptr);
    Widget box = XtVaCreateManagedWidget("box", xmRowColumnWidgetClass, shell, nullptr);
    Widget kids[] = {
        XtVaCreateManagedWidget("label", xmLabelWidgetClass, box, nullptr),
        XtVaCreateManagedWidget("text", xmTextWidgetClass, box, nullptr),
        XtVaCreateManagedWidget("bar", xmScrollBarWidgetClass, box, nullptr),
        XtVaCreateManagedWidget("list", xmListWidgetClass, box, nullptr)};
    for (Widget kid : kids) XtSetSensitive(kid, False);
    XtPopup(shell, XtGrabNone);
    ASSERT_TRUE(qevtest::turnUntil([&] { return qevtest::viewable(shell); }));
    ASSERT_EQ(term_(), WU_OK);
    ASSERT_EQ(init_(), WU_OK);
  }
}

TEST_F(Restart, ThreeStartStopCyclesLeaveNothingBehind) { Cycle(3); }

}  // namespace
