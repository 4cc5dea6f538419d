// The About box and the keyboard: Escape closes the box, as OK does; it
// opens nothing else.  Under mwm and without a window manager.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/MessageB.h>
#include <Xm/Xm.h>

#include <cstring>
#include <string>
#include <vector>

#include "menus/wumenus.h"
#include "modulehost.h"
#include "managers.h"
#include "modulewindow.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"
#include "widgettree.h"
#include "xinput.h"
#include "xserver.h"

namespace {

using EcmdFn = wu_status (*)(wu_window *, int32_t);
const int32_t kAbout = 35;
const int kWaitMs = 5000;

using qevtest::Manager;

// A dialog named "aboutBox" other than the About box, managed: the
// copyright texts.  Closed when seen, so that a modal wait it runs ends.
struct Watch {
  bool opened = false;
  XtIntervalId timer = 0;
};
void WatchForCopyright(XtPointer client, XtIntervalId *) {
  auto *watch = static_cast<Watch *>(client);
  watch->timer = XtAppAddTimeOut(devb->app, 30, WatchForCopyright, client);
  std::vector<Widget> all;
  qevtest::widgetTree(devb->toplevel, &all);
  for (Widget w : all) {
    if (w == wu_module()->about_box || std::strcmp(XtName(w), "aboutBox") != 0 || !XtIsManaged(w)) continue;
    watch->opened = true;
    XtUnmanageChild(w);
  }
}

class AboutKeyboard : public qevtest::UnderManager {
 protected:
  void SetUp() override {
    UnderManager::SetUp();
    if (HasFatalFailure()) return;
    const std::pair<int, const char *> texts[] = {
        {17, "Banner"}, {18, "Product"}, {19, "Release"}, {20, "Rights"}, {21, "X server"},
        {289, "System"}, {655, "Colours"}, {354, "Copyright"}, {353, "Copyright..."}};
    for (auto &t : texts) qevhost::setMessage(526, t.first, t.second);
    qevhost::setMessage(530, 1, "line one");
    qevhost::setMessage(530, 103, "About QEV");
    window_ = qevtest::openUserWindow(1);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_) wuxfwnd(window_);
    UnderManager::TearDown();
  }
  wu_window *window_ = nullptr;
};

TEST_P(AboutKeyboard, EscapeClosesTheBox) {
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, nullptr));
  ASSERT_NE(t, nullptr);
  auto ecmd = reinterpret_cast<EcmdFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_ECMD]));
  EXPECT_EQ(ecmd(window_, kAbout), WU_OK);
  Widget box = wu_module()->about_box;
  ASSERT_NE(box, nullptr);
  Widget shell = XtParent(box);
  ASSERT_TRUE(qevtest::turnUntil([&] { return qevtest::viewable(shell); }, kWaitMs));
  const Window shown = XtWindow(shell);
  // The keyboard goes to the box: the window manager gives it when it maps
  // it; without one the keys go where the pointer is.
  if (Mwm()) {
    ASSERT_TRUE(qevtest::turnUntil(
        [&] {
          Window focus = None;
          int revert = 0;
          XGetInputFocus(devb->display, &focus, &revert);
          return focus == shown;
        },
        kWaitMs));
  } else {
    Widget message = XmMessageBoxGetChild(box, XmDIALOG_MESSAGE_LABEL);
    ASSERT_TRUE(qevtest::moveHandled(message, 2, 2));
  }
  Watch watch;
  watch.timer = XtAppAddTimeOut(devb->app, 30, WatchForCopyright, &watch);
  EXPECT_TRUE(qevtest::keyHandled(devb->display, XK_Escape));
  qevtest::turnUntil([] { return wu_module()->about_box == nullptr; }, kWaitMs);
  XtRemoveTimeOut(watch.timer);
  EXPECT_FALSE(watch.opened) << "Escape opened the copyright texts";
  EXPECT_EQ(wu_module()->about_box, nullptr) << "Escape closes the box";
  XSync(devb->display, False);
  Display *other = XOpenDisplay(DisplayString(devb->display));
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(qevtest::windowExists(other, shown));
  XCloseDisplay(other);
  // Opened again, it is a new box that OK closes.
  EXPECT_EQ(ecmd(window_, kAbout), WU_OK);
  box = wu_module()->about_box;
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(qevtest::clickHandled(XmMessageBoxGetChild(box, XmDIALOG_OK_BUTTON)));
  EXPECT_EQ(wu_module()->about_box, nullptr);
}

QEV_UNDER_BOTH_MANAGERS(AboutKeyboard);

}  // namespace
