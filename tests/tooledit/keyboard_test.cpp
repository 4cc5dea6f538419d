// The Tool Editor and the keyboard: a category list posted in the icon
// chooser holds the pointer and the keyboard; when the host releases the
// editor's window meanwhile, the editor ends and both are free on the
// server, seen from another connection, the moment control is back with
// the host.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "toolbox/wutbox.h"
#include "hostnames.h"
#include "modulehost.h"
#include "modulewindow.h"
#include "qev/commands.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "script.h"
#include "textwin/wutwin.h"
#include "widgettext.h"
#include "widgettree.h"
#include "xinput.h"
#include "xserver.h"

namespace {

using EcmdFn = wu_status (*)(wu_window *, int32_t);
const int32_t kToolLoad = WU_CMD_TOOLLOAD, kToolEdit = WU_CMD_TOOLEDIT;
const int32_t kKindEdited = 20;

using qevtest::widgetTree;
Widget Nth(Widget root, const char *name, size_t nth = 0) { return qevtest::namedWidget(root, name, nth); }
Widget Labelled(Widget root, const std::string &label) {
  std::vector<Widget> all;
  if (root) widgetTree(root, &all);
  for (Widget w : all)
    if (std::strcmp(XtName(w), "PushButton") == 0 && qevtest::xmStringResource(w, XmNlabelString) == label)
      return w;
  return nullptr;
}

// The server's clock, read through a property change on a window of
// another connection.
class ServerClock {
 public:
  explicit ServerClock(Display *other) : dpy_(other) {
    win_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(dpy_, win_, PropertyChangeMask);
  }
  ~ServerClock() { XDestroyWindow(dpy_, win_); }
  Time Now() {
    XChangeProperty(dpy_, win_, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char *>("t"), 1);
    XEvent ev;
    XWindowEvent(dpy_, win_, PropertyChangeMask, &ev);
    return ev.xproperty.time;
  }

 private:
  Display *dpy_;
  Window win_ = None;
};

class EditorKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    const std::pair<int, const char *> texts[] = {
        {12, "OK"}, {10, "Cancel"}, {127, "Icon"}, {133, "Icons"}, {136, "Close"},
        {140, "Tool Editor"}, {151, "QEVUSER"}, {152, "TOOLS"}, {153, "DEFAULT"}, {456, "Category"}};
    for (auto &t : texts) qevhost::setMessage(526, t.first, t.second);
    for (int i = 1; i <= 3; ++i) qevhost::setMessage(542, i, "Category " + std::to_string(i));
    qevhost::defineLibrary("QEVUSER");
    qevhost::defineLibrary("TESTLIB");
    auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, nullptr));
    ASSERT_NE(t, nullptr);
    ecmd_ = reinterpret_cast<EcmdFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_ECMD]));
    window_ = qevtest::openUserWindow(kKindEdited);
    ASSERT_NE(window_, nullptr);
    other_ = XOpenDisplay(DisplayString(devb->display));
    ASSERT_NE(other_, nullptr);
  }
  void TearDown() override {
    if (window_) wuxfwnd(window_);
    if (other_) XCloseDisplay(other_);
    qevtest::stopModule();
  }
  // TESTLIB.CAT.<entry>: two tools whose icon is in the third category.
  void Store(const std::string &entry) {
    wu_toolbox *b = AllocateToolBar();
    ASSERT_NE(b, nullptr);
    wu_tool **tail = &b->tools;
    for (int i = 0; i < 2; ++i) {
      auto *t = reinterpret_cast<wu_tool *>(XtCalloc(1, sizeof(wu_tool)));
      t->icon = -5;
      t->command = XtNewString((entry + std::to_string(i)).c_str());
      t->box = b;
      *tail = t;
      tail = &t->next;
    }
    b->count = b->per_row = 2;
    b->icon_width = b->icon_height = WU_ICON_BOX_LARGE;
    b->own_location = 1;
    char l[8], c[34], e[34];
    qevtest::setLibref(l, "TESTLIB");
    qevtest::setName34(c, "CAT");
    qevtest::setName34(e, entry);
    ASSERT_EQ(wumtlsv(b, l, c, e, WU_TB_MEMBER_TYPE), WU_OK);
    wutfbar(nullptr, b);
  }
  Widget Editor() { return Nth(devb->toplevel, "Tool Editor"); }
  Widget Chooser() { return Nth(Editor(), "Pixmap", 1); }

  EcmdFn ecmd_ = nullptr;
  wu_window *window_ = nullptr;
  Display *other_ = nullptr;
};

// The user's click on the category combo's arrow is handled a little after
// it was made (the server's clock has moved on), as on a busy machine; the
// list it posts holds the pointer and the keyboard.  The host then releases
// the window: the editor ends, and when the window-system command returns
// the pointer and keyboard are free and the editor's windows gone.
TEST_F(EditorKeyboard, AListPostedWhenTheWindowIsReleasedLetsTheKeyboardGo) {
  Store("MINE");
  qevhost::setCommand("TESTLIB.CAT.MINE");
  ecmd_(window_, kToolLoad);
  Window editor_window = None, list_window = None;
  bool held = false;
  qevtest::Script script;
  script.then("Icon",
              [&] {
                Widget icon = Labelled(Editor(), "Icon");
                return icon && qevtest::viewable(icon);
              },
              [&] { EXPECT_TRUE(qevtest::clickHandled(Labelled(Editor(), "Icon"))); })
      .then("the category arrow clicked, handled late; the window released with the list up",
            [&] {
              Widget arrow = Nth(Chooser(), "ComboArrow");
              return arrow && Nth(Chooser(), "ListShell") && qevtest::viewable(arrow);
            },
            [&] {
              Widget arrow = Nth(Chooser(), "ComboArrow");
              Widget shell = Nth(Chooser(), "ListShell");
              Dimension w = 0, h = 0;
              XtVaGetValues(arrow, XmNwidth, &w, XmNheight, &h, nullptr);
              ASSERT_TRUE(qevtest::moveHandled(arrow, w / 2, h / 2));
              Display *dpy = devb->display;
              XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
              XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
              XSync(dpy, False);
              ServerClock clock(other_);
              const Time clicked = clock.Now();
              while (clock.Now() <= clicked) {
              }
              while (!reinterpret_cast<ShellWidget>(shell)->shell.popped_up &&
                     (XtAppPending(devb->app) & XtIMXEvent))
                XtAppProcessEvent(devb->app, XtIMXEvent);
              EXPECT_TRUE(reinterpret_cast<ShellWidget>(shell)->shell.popped_up) << "the click posts the list";
              held = !qevtest::keyboardFree(other_) && !qevtest::pointerFree(other_);
              editor_window = XtWindow(XtParent(Editor()));
              list_window = XtWindow(shell);
              // The host releases the window while the list is up.
              wuxfwnd(window_);
              window_ = nullptr;
            });
  qevhost::setCommand("");
  script.run([&] { ecmd_(window_, kToolEdit); });
  // Back with the host, nothing dispatched since.
  EXPECT_TRUE(qevtest::keyboardFree(other_)) << "the keyboard is free";
  EXPECT_TRUE(qevtest::pointerFree(other_)) << "the pointer is free";
  EXPECT_FALSE(qevtest::windowExists(other_, editor_window)) << "the editor is gone from the server";
  EXPECT_FALSE(qevtest::windowExists(other_, list_window)) << "the list is gone from the server";
  EXPECT_TRUE(held) << "the posted list held the pointer and the keyboard";
  EXPECT_NE(editor_window, Window(None));
  EXPECT_EQ(Editor(), nullptr);
}

}  // namespace
