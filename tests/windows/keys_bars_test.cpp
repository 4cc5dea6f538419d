// Keys typed under a window manager reaching the window's read (the named
// keys that Motif binds to its own traversal and activation included),
// older bars made before their pane was realised, and the control services'
// slot that gives back handed-out drop-site lists.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "frames/wuframes.h"
#include "modulehost.h"
#include "qev/catalog.h"
#include "qev/flags.h"
#include "qevhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/QEVSbar.h"
#include "textwin/wutwin.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

const int32_t kWatchdogCode = 434343;
const unsigned long kWatchdogMs = 8000;

void Watchdog(XtPointer client, XtIntervalId *) {
  wuxqwev(static_cast<wu_window *>(client), kWatchdogCode, nullptr, 0);
}

class WindowParts : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
    ASSERT_EQ(wuxgwnd(&window_, 1, WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE), WU_OK);
    ASSERT_EQ(wuxgpan(window_, &pane_, 1, 1, 6, 60, 0), WU_OK);
    ASSERT_EQ(wuxgfld(pane_, &first_, 2, 5, 10, 0, 0), WU_OK);
    ASSERT_EQ(wuxgfld(pane_, &second_, 4, 5, 10, 0, 0), WU_OK);
  }
  // The cases after one that started mwm run without a window manager.
  void TearDown() override {
    if (window_) wuxfwnd(window_);
    qevtest::stopModule();
    qevtest::stopWindowManager();
  }

  bool Realise() {
    if (wuxiwnd(window_) != WU_OK) return false;
    return qevtest::turnUntil([&] {
      XWindowAttributes at;
      return window_->outer && XtIsRealized(window_->outer) &&
             XGetWindowAttributes(devb->display, XtWindow(window_->outer), &at) &&
             at.map_state == IsViewable;
    });
  }

  // What the test's requests and input made the server send is handled.
  void Settle() { EXPECT_TRUE(qevtest::settle()); }

  void Press(KeySym sym) { qevtest::pressKey(devb->display, sym); }

  // The window's waiting read, ended by the watchdog when no key arrives.
  int32_t Read() {
    XtIntervalId dog = XtAppAddTimeOut(devb->app, kWatchdogMs, Watchdog, window_);
    int32_t code = wuxrwnd(window_);
    XtRemoveTimeOut(dog);
    return code;
  }

  wu_window *window_ = nullptr;
  wu_pane *pane_ = nullptr;
  wu_field *first_ = nullptr;
  wu_field *second_ = nullptr;
};

// Under mwm the window gets the keyboard when it is mapped; keys are typed
// without the test setting the focus.  Return, Escape, the arrows and Tab
// are the keys Motif's own primitive translations claim.
TEST_F(WindowParts, NamedKeysReachTheReadUnderAWindowManager) {
  ASSERT_TRUE(qevtest::startWindowManager());
  ASSERT_TRUE(Realise());
  ASSERT_EQ(wuxmcrs(window_, pane_, first_->row, first_->column), WU_OK);
  // The window manager has given the keyboard to the window (its shell or
  // a window inside it), and the toolkit has heard of it.
  Widget shell = window_->outer;
  while (shell && !XtIsShell(shell)) shell = XtParent(shell);
  ASSERT_NE(shell, nullptr);
  ASSERT_TRUE(qevtest::turnUntil([shell] {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(devb->display, &focus, &revert);
    for (Window w = focus; w != None && w != PointerRoot;) {
      if (w == XtWindow(shell)) return true;
      Window root = None, parent = None, *kids = nullptr;
      unsigned int n = 0;
      if (!XQueryTree(devb->display, w, &root, &parent, &kids, &n)) return false;
      if (kids) XFree(kids);
      w = parent == root ? None : parent;
    }
    return false;
  }));
  Settle();

  for (KeySym sym : {XK_a, XK_b, XK_Left, XK_c}) Press(sym);
  Press(XK_Return);
  EXPECT_EQ(Read(), -WU_KEY_ENTER);
  EXPECT_EQ(std::string(first_->text, 3), "ac ");
  Press(XK_Escape);
  EXPECT_EQ(Read(), -WU_KEY_ESCAPE);
  Press(XK_KP_Enter);
  EXPECT_EQ(Read(), -WU_KEY_ENTER);

  // Tab goes to the next field, Down and Home move the cursor; none of them
  // ends the read.
  Press(XK_Tab);
  Settle();
  EXPECT_EQ(pane_->cursor_row, second_->row);
  EXPECT_EQ(pane_->cursor_column, second_->column);
  Press(XK_Up);
  Settle();
  EXPECT_EQ(pane_->cursor_row, second_->row - 1);
  EXPECT_EQ(wutcqev(window_), 0);
}

// The host owns its field records and may leave any length in them: a
// length below 1 holds no cell, one beyond what the field was made with
// holds only the cells it was made with.  The display update, the cursor
// and typing keep to that.
TEST_F(WindowParts, FieldLengthsTheHostBrokeKeepToTheCellsMade) {
  ASSERT_TRUE(Realise());
  second_->length = INT_MIN;
  first_->length = INT_MAX;
  first_->flags |= WU_FLD_DIRTY;
  second_->flags |= WU_FLD_DIRTY;
  EXPECT_EQ(wuxuwnd(window_), WU_OK);
  // The broken field holds no cell: the cursor put on it lands on none.
  ASSERT_EQ(wuxmcrs(window_, pane_, second_->row, second_->column), WU_OK);
  EXPECT_EQ(pane_->current_field, nullptr);
  XSetInputFocus(devb->display, XtWindow(window_->outer), RevertToParent, CurrentTime);
  Settle();
  for (KeySym sym : {XK_x, XK_Delete, XK_End, XK_BackSpace}) Press(sym);
  Settle();
  // Typing at the last cell made of the long field writes that cell only
  // (the cursor stays on it, each key replacing the one before).
  ASSERT_EQ(wuxmcrs(window_, pane_, first_->row, first_->column + 9), WU_OK);
  EXPECT_EQ(pane_->current_field, first_);
  Settle();
  for (KeySym sym : {XK_a, XK_b, XK_c}) Press(sym);
  Settle();
  EXPECT_EQ(std::string(first_->text, 10), "         c");
  EXPECT_EQ(first_->attributes[0], 0);
  Press(XK_End);
  Press(XK_Delete);
  Settle();
  EXPECT_EQ(first_->attributes[0], 0);
  ASSERT_EQ(wuxmcrs(window_, pane_, first_->row, first_->column + 10), WU_OK);
  EXPECT_EQ(pane_->current_field, nullptr);
}

// A Motif text inside a pane, given the text-key tables: the keys Motif
// claims under their osf names (Return, Escape, the page keys, F1) end the
// window's read as the host's keys instead of editing the text.
TEST_F(WindowParts, TextKeyTablesTakeMotifsVirtualKeysInATextOfAPane) {
  ASSERT_TRUE(Realise());
  Widget text = XtVaCreateManagedWidget("entry", xmTextWidgetClass, pane_->ext->widget, XmNx, 0,
                                        XmNy, 0, XmNcolumns, 20, XmNeditMode, XmMULTI_LINE_EDIT,
                                        nullptr);
  wutaddt(text);
  Settle();
  // The user's click gives the text the keyboard.
  XSetInputFocus(devb->display, XtWindow(window_->outer), RevertToParent, CurrentTime);
  ASSERT_TRUE(qevtest::clickHandled(text));
  Settle();
  Press(XK_x);
  Settle();
  char *typed = XmTextGetString(text);
  EXPECT_STREQ(typed, "x");
  XtFree(typed);

  const struct {
    KeySym sym;
    int32_t code;
  } keys[] = {{XK_Return, -WU_KEY_ENTER}, {XK_Escape, -WU_KEY_ESCAPE},
              {XK_Prior, -WU_KEY_PAGEUP}, {XK_Next, -WU_KEY_PAGEDOWN},
              {XK_F1, -1},                {XK_F10, -10}};
  for (const auto &k : keys) {
    SCOPED_TRACE(XKeysymToString(k.sym));
    Press(k.sym);
    EXPECT_EQ(Read(), k.code);
  }
  // Home puts the cursor on the command line and leaves the text alone.
  ASSERT_NE(window_->command_pane, nullptr);
  ASSERT_EQ(wuxmcrs(window_, pane_, second_->row, second_->column), WU_OK);
  ASSERT_EQ(window_->current_pane, pane_);
  Press(XK_Home);
  Settle();
  EXPECT_EQ(window_->current_pane, window_->command_pane);
  typed = XmTextGetString(text);
  EXPECT_STREQ(typed, "x");
  XtFree(typed);
}

// Bars made while the pane has no widget get theirs when the window is
// realised, with the host's range, and go with the window without X errors.
TEST_F(WindowParts, BarsMadeBeforeRealisingAreBuiltWithTheWindow) {
  int32_t minimum = 0, maximum = 99, value = 40;
  wu_bar *plain = nullptr, *scaled = nullptr;
  ASSERT_EQ(wuxgbar(pane_, &plain, 1, 0, 0, &minimum, &maximum, &value, 1, 50, 5, 0, 0), WU_OK);
  ASSERT_EQ(wuxgbar(pane_, &scaled, 0, 0, 0, nullptr, nullptr, nullptr, 6, 1, 20, WU_BAR_SCALED, 0),
            WU_OK);
  EXPECT_EQ(plain->widget, nullptr);
  EXPECT_EQ(scaled->widget, nullptr);
  const int32_t errors = devb->x_errors;

  ASSERT_TRUE(Realise());
  ASSERT_NE(plain->widget, nullptr);
  ASSERT_NE(scaled->widget, nullptr);
  EXPECT_TRUE(QevIsSbar(plain->widget));
  EXPECT_TRUE(XtIsManaged(plain->widget));
  EXPECT_TRUE(XtIsRealized(scaled->widget));
  EXPECT_EQ(XtParent(plain->widget), pane_->ext->widget);
  int w_value = -1, w_maximum = -1;
  unsigned char orientation = 0;
  XtVaGetValues(plain->widget, XmNvalue, &w_value, XmNmaximum, &w_maximum, XmNorientation,
                &orientation, nullptr);
  EXPECT_EQ(w_value, 40);
  EXPECT_EQ(w_maximum, 100);
  EXPECT_EQ(orientation, XmVERTICAL);
  XtVaGetValues(scaled->widget, XmNorientation, &orientation, nullptr);
  EXPECT_EQ(orientation, XmHORIZONTAL);

  // Realising again builds nothing twice.
  Widget built = plain->widget;
  ASSERT_EQ(wuxiwnd(window_), WU_OK);
  EXPECT_EQ(plain->widget, built);

  ASSERT_EQ(wuxfwnd(window_), WU_OK);
  window_ = nullptr;
  Settle();
  EXPECT_EQ(devb->x_errors, errors);
}

// Slot 15 of the control services hands its arguments to wuxfdnd: the lists
// a query handed out go back to the pool.
TEST_F(WindowParts, ServicesSlotFifteenGivesBackHandedOutLists) {
  ASSERT_TRUE(Realise());
  wu_state *state = wu_module();
  ASSERT_NE(state, nullptr);
  ASSERT_NE(state->services, nullptr);
  Widget button = XtVaCreateManagedWidget("site", xmPushButtonWidgetClass, pane_->ext->widget,
                                          XmNx, 0, XmNy, 0, nullptr);
  wu_dnd_site *site = wumrdnd(button);
  ASSERT_NE(site, nullptr);
  std::string text = "QEV_TEST_FORMAT";
  wu_dnd_text item = {int32_t(text.size()), 0, &text[0]};
  wu_value in{};
  in.code = WU_DND_A_FORMATS;
  in.type = WU_VT_STRLIST;
  in.value = 1;
  in.pointer = &item;
  ASSERT_EQ(wuxsdnd(site, &in, 1), WU_OK);

  qev_pool *pool = wu_module_pool();
  const qevhost::PoolStats base = qevhost::poolStats(pool);
  wu_value out[2] = {};
  out[0].code = WU_DND_A_FORMATS;
  out[1].code = WU_DND_A_MENU;
  ASSERT_EQ(wuxqdnd(site, out, 2), WU_OK);
  ASSERT_EQ(out[0].status, WU_ALLOCATED);
  EXPECT_GT(qevhost::poolStats(pool).liveBlocks, base.liveBlocks);

  wu_ctl_dnd_fn slot = state->services->fdnd;
  ASSERT_EQ(slot(nullptr, out, reinterpret_cast<void *>(intptr_t(2)), nullptr), WU_OK);
  EXPECT_EQ(out[0].pointer, nullptr);
  const qevhost::PoolStats after = qevhost::poolStats(pool);
  EXPECT_EQ(after.liveBlocks, base.liveBlocks);
  EXPECT_EQ(after.liveBytes, base.liveBytes);
  EXPECT_EQ(after.errors, 0);
  // A negative count is refused, not walked.
  EXPECT_EQ(slot(nullptr, out, reinterpret_cast<void *>(intptr_t(-1)), nullptr), WU_BADARG);
  EXPECT_EQ(wumudnd(button), WU_OK);
}

}  // namespace
