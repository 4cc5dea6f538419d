// The module's modal wait and its common dialogs on a private X server:
// the wait for a window's events, the Find/Change dialog, the preferences
// dialog and its file, a message box closed by the window manager, and help
// requests.  The user acts through XTest.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <Xm/MessageB.h>
#include <Xm/TextF.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "homefolder.h"
#include "modulehost.h"
#include "qev/flags.h"
#include "qevhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

std::string ReadFile(const std::string &path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int CountOf(const std::string &text, const std::string &part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// Every test runs with a home directory of its own, so no user's
// preferences are read or written.
class XDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.make());
    Start();
  }
  // The cases after one that started mwm run without a window manager.
  void TearDown() override {
    qevtest::stopModule();
    qevtest::stopWindowManager();
  }
  void Start() {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
  }
  std::string PrefsPath() const { return home_.path() + "/" WU_PREFS_FILE; }

  qevtest::HomeFolder home_;
};

// Two host windows as the event queue and the dialogs know them.
// Two window records the module handed out (never realised).
struct Windows {
  wu_window *a = nullptr;
  wu_window *b = nullptr;
  Windows() {
    wuxgwnd(&a, 1, 0);
    wuxgwnd(&b, 1, 0);
  }
  ~Windows() {
    wuxfwnd(a);
    wuxfwnd(b);
  }
};

using qevtest::Script;

bool Shown(Widget w) {
  if (!w || !XtIsManaged(w)) return false;
  Widget shell = w;
  while (!XtIsShell(shell)) shell = XtParent(shell);
  if (!XtIsRealized(shell)) return false;
  XWindowAttributes wa;
  return XGetWindowAttributes(XtDisplay(shell), XtWindow(shell), &wa) && wa.map_state == IsViewable;
}

Widget Find(const char *path) { return XtNameToWidget(devb->toplevel, path); }

// The oldest queued command of a window, or "" when its next event is not
// a command.
std::string TakeCommand(wu_window *w) {
  char text[256];
  int32_t code = -1, length = 0;
  if (wuxgqev(w, &code, text, sizeof text, &length) != WU_OK || code != WU_EV_COMMAND) return "";
  return std::string(text, size_t(length));
}

// ---- modal wait ---------------------------------------------------------

TEST_F(XDialogs, ModalWaitEndsOnItsEventsAndLeavesOthersQueued) {
  Windows w;
  const int32_t kFirst = 1047, kSecond = 103, kOther = 110;

  // Events of another window and other events of this one stay queued.
  wuxqwev(w.b, kFirst, nullptr, 0);
  Script first;
  first.then("another event, then the first", [&] {
    wuxqwev(w.a, kOther, nullptr, 0);
    wuxqwev(w.a, kFirst, nullptr, 0);
  });
  // A wait the steps leave up ends with the event it waits for.
  auto end = [&] { wuxqwev(w.a, kFirst, nullptr, 0); };
  first.ending(end);
  first.run([&] { EXPECT_EQ(wutpmio(w.a, kFirst, kSecond), WU_OK); });
  EXPECT_EQ(wutcqev(w.a), 1);
  EXPECT_EQ(wutcqev(w.b), 1);
  int32_t code = -1, length = 0;
  char params[8];
  ASSERT_EQ(wuxgqev(w.a, &code, params, sizeof params, &length), WU_OK);
  EXPECT_EQ(code, kOther);

  // The second event ends the wait with its own answer ...
  Script second;
  second.then("the second event", [&] { wuxqwev(w.a, kSecond, nullptr, 0); });
  second.ending(end);
  second.run([&] { EXPECT_EQ(wutpmio(w.a, kFirst, kSecond), WU_SECOND_EVENT); });
  EXPECT_EQ(wutcqev(w.a), 0);

  // ... unless a menu command ended it: then the flag is used up.
  w.a->flags |= WU_WIN_MENU_COMMAND | WU_WIN_MSG_PENDING;
  Script menu;
  menu.then("the second event after a menu command", [&] { wuxqwev(w.a, kSecond, nullptr, 0); });
  menu.ending(end);
  menu.run([&] { EXPECT_EQ(wutpmio(w.a, kFirst, kSecond), WU_OK); });
  EXPECT_EQ(w.a->flags, WU_WIN_MSG_PENDING);

  // What is queued already ends the wait at once, the oldest first.
  wuxqwev(w.a, kSecond, nullptr, 0);
  wuxqwev(w.a, kFirst, nullptr, 0);
  EXPECT_EQ(wutpmio(w.a, kFirst, kSecond), WU_SECOND_EVENT);
  EXPECT_EQ(wutpmio(w.a, kFirst, kSecond), WU_OK);
  EXPECT_EQ(wutcqev(nullptr), 1);  // only window b's event is left
  EXPECT_EQ(wutpmio(nullptr, kFirst, kSecond), WU_BADARG);
}

// ---- Find/Change ----------------------------------------------------------

TEST_F(XDialogs, FindChangeQueuesCommandsForItsTargetWindow) {
  Windows w;
  ASSERT_EQ(wumfdlg(w.a, WU_FDLG_FIND), WU_OK);
  Widget form = Find("*qevFindChange");
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(qevtest::turnUntil([&] { return Shown(form); }));
  EXPECT_FALSE(XtIsManaged(Find("*changeRow")));
  EXPECT_FALSE(XtIsManaged(Find("*changeAll")));

  // Nothing to search for: nothing is queued.
  ASSERT_TRUE(qevtest::clickHandled(Find("*find")));
  EXPECT_EQ(wutcqev(nullptr), 0);

  ASSERT_TRUE(qevtest::replaceTextHandled(Find("*findText"), "it's"));
  ASSERT_TRUE(qevtest::clickHandled(Find("*find")));
  ASSERT_EQ(wutcqev(w.a), 1);
  EXPECT_EQ(TakeCommand(w.a), "FIND 'it''s'");

  // The Change form of the same dialog, retargeted to the newly active window.
  ASSERT_EQ(wumfdlg(w.a, WU_FDLG_CHANGE), WU_OK);
  EXPECT_EQ(Find("*qevFindChange"), form);
  ASSERT_TRUE(qevtest::replaceTextHandled(Find("*changeText"), "is"));
  ASSERT_TRUE(qevtest::clickHandled(Find("*ignoreCase")));
  EXPECT_TRUE(XmToggleButtonGetState(Find("*ignoreCase")));
  EXPECT_EQ(wumndlg(w.b), WU_OK);
  ASSERT_TRUE(qevtest::clickHandled(Find("*changeAll")));
  ASSERT_EQ(wutcqev(w.b), 1);
  EXPECT_EQ(TakeCommand(w.b), "CHANGE 'it''s' 'is' ALL ICASE");
  EXPECT_EQ(wutcqev(w.a), 0);

  // Closed, it no longer follows the active window.
  ASSERT_TRUE(qevtest::clickHandled(Find("*close")));
  EXPECT_FALSE(XtIsManaged(form));
  EXPECT_EQ(wumndlg(w.a), WU_OK);
  ASSERT_EQ(wumfdlg(w.b, WU_FDLG_CHANGE), WU_OK);
  ASSERT_TRUE(qevtest::clickHandled(Find("*change")));
  ASSERT_EQ(wutcqev(w.b), 1);
  EXPECT_EQ(TakeCommand(w.b), "CHANGE 'it''s' 'is' ICASE");

  // The target window goes away: the dialog closes with it.
  wumfdwn(w.a);
  EXPECT_TRUE(XtIsManaged(form));
  wumfdwn(w.b);
  EXPECT_FALSE(XtIsManaged(form));
  EXPECT_EQ(wumfdlg(w.a, 42), WU_NOTAVAIL);
  EXPECT_EQ(wumfdlg(nullptr, WU_FDLG_FIND), WU_BADARG);
}

// The window layer keeps the dialog's target: the window a read makes active
// becomes the target, and the target's release closes the dialog.
TEST_F(XDialogs, FindChangeFollowsTheActiveWindowAndGoesWithItsTarget) {
  const int32_t kWake = 1047;
  wu_window *a = nullptr, *b = nullptr;
  ASSERT_EQ(wuxgwnd(&a, 1, 0), WU_OK);
  ASSERT_EQ(wuxgwnd(&b, 1, 0), WU_OK);
  ASSERT_EQ(wuxqwev(a, kWake, nullptr, 0), WU_OK);
  EXPECT_EQ(wuxrwnd(a), kWake);

  ASSERT_EQ(wumfdlg(a, WU_FDLG_FIND), WU_OK);
  Widget form = Find("*qevFindChange");
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(qevtest::turnUntil([&] { return Shown(form); }));
  ASSERT_TRUE(qevtest::replaceTextHandled(Find("*findText"), "word"));

  // A read of window b makes it the active window: the dialog acts on it.
  ASSERT_EQ(wuxqwev(b, kWake, nullptr, 0), WU_OK);
  EXPECT_EQ(wuxrwnd(b), kWake);
  ASSERT_TRUE(qevtest::clickHandled(Find("*find")));
  ASSERT_EQ(wutcqev(b), 1);
  EXPECT_EQ(TakeCommand(b), "FIND 'word'");
  EXPECT_EQ(wutcqev(a), 0);

  // Releasing another window leaves the dialog up; releasing its target
  // closes it, and nothing more is queued for the window gone.
  ASSERT_EQ(wuxfwnd(a), WU_OK);
  EXPECT_TRUE(XtIsManaged(form));
  ASSERT_EQ(wuxfwnd(b), WU_OK);
  EXPECT_FALSE(XtIsManaged(form));
  EXPECT_EQ(wutcqev(nullptr), 0);
}

// ---- preferences -----------------------------------------------------------

TEST_F(XDialogs, PreferencesAreCheckedSavedAndReadBack) {
  std::ofstream(PrefsPath()) << "! my settings\n"
                                "QEV.font: fixed\n"
                                "QEV.toolBoxTipDelay: 900\n"
                                "QEV.toolBoxTipDelay: 901\n";
  wutgres();  // as at start-up
  EXPECT_EQ(devb->prefs.toolbox_tip_delay, 901);
  EXPECT_TRUE(devb->prefs.use_toolbox_tips);

  // A bad number is refused with a message and the dialog stays up; then
  // good values are saved.
  auto prefs = [] { return Find("*qevPreferences"); };
  auto box = [] { return Find("*qevMessage"); };
  auto field = [](const char *name) { return Find((std::string("*qevPreferences*") + name).c_str()); };
  Script script;
  script
      .then("a word for the tip delay, then OK", [&] { return Shown(prefs()); },
            [&] {
              EXPECT_TRUE(qevtest::replaceTextHandled(field("toolBoxTipDelay"), "soon"));
              EXPECT_TRUE(qevtest::clickHandled(field("ok")));
            })
      .then("the refusal answered", [&] { return Shown(box()); },
            [&] { EXPECT_TRUE(qevtest::clickHandled(XmMessageBoxGetChild(box(), XmDIALOG_OK_BUTTON))); })
      .then("good values and the tips switched off, then OK", [&] { return !box() && Shown(prefs()); },
            [&] {
              EXPECT_TRUE(qevtest::replaceTextHandled(field("toolBoxTipDelay"), " 1200 "));
              EXPECT_TRUE(qevtest::replaceTextHandled(field("menuBackground"), "light gray"));
              EXPECT_TRUE(qevtest::clickHandled(field("useToolBoxTips")));
              EXPECT_FALSE(XmToggleButtonGetState(field("useToolBoxTips")));
              EXPECT_TRUE(qevtest::clickHandled(field("ok")));
            });
  script.run([&] { EXPECT_EQ(wumpref(nullptr), WU_OK); });
  EXPECT_EQ(devb->prefs.toolbox_tip_delay, 1200);
  EXPECT_FALSE(devb->prefs.use_toolbox_tips);

  const std::string saved = ReadFile(PrefsPath());
  EXPECT_EQ(saved.rfind("! my settings\nQEV.font: fixed\nQEV.toolBoxTipDelay: 1200\n", 0), 0u) << saved;
  EXPECT_EQ(CountOf(saved, "QEV.toolBoxTipDelay:"), 1);
  EXPECT_EQ(CountOf(saved, "QEV.useToolBoxTips: False\n"), 1);
  EXPECT_EQ(CountOf(saved, "QEV.menuBackground: light gray\n"), 1);
  EXPECT_EQ(CountOf(saved, "QEV.cmdX: 0\n"), 1);
  EXPECT_EQ(CountOf(saved, "\n"), 2 + wutprfn());
  EXPECT_NE(access((PrefsPath() + ".new").c_str(), F_OK), 0);

  // Read back as start-up reads it, over other values in the database.
  ASSERT_EQ(wutprfs("toolBoxTipDelay", "3"), WU_OK);
  ASSERT_EQ(wutprfs("useToolBoxTips", "True"), WU_OK);
  ASSERT_EQ(wutprfs("menuBackground", "red"), WU_OK);
  wutgres();
  EXPECT_EQ(devb->prefs.toolbox_tip_delay, 1200);
  EXPECT_FALSE(devb->prefs.use_toolbox_tips);
  EXPECT_STREQ(devb->prefs.menu_background, "light gray");
  EXPECT_STREQ(devb->devres.font, "fixed");

  // Closed by the window manager: nothing changes.
  Script close;
  close.then("a tip delay typed, then the window manager's close", [&] { return Shown(prefs()); },
             [&] {
               EXPECT_TRUE(qevtest::replaceTextHandled(field("toolBoxTipDelay"), "5"));
               qevtest::closeLikeWindowManager(XtParent(prefs()));
             });
  close.run([&] { EXPECT_EQ(wumpref(nullptr), WU_CANCELLED); });
  EXPECT_EQ(devb->prefs.toolbox_tip_delay, 1200);
  EXPECT_EQ(ReadFile(PrefsPath()), saved);
}

TEST_F(XDialogs, PreferenceValuesAreCheckedByKind) {
  EXPECT_EQ(wutprfs("commandsSaved", "12"), WU_OK);
  EXPECT_EQ(devb->prefs.commands_saved, 12);
  // Kept to what the history holds: 50 stands unreported, 51 and more are
  // reported and become 50.
  qevhost::clearLog();
  EXPECT_EQ(wutprfs("commandsSaved", "50"), WU_OK);
  EXPECT_EQ(devb->prefs.commands_saved, 50);
  EXPECT_FALSE(qevtest::logContains("commandsSaved"));
  EXPECT_EQ(wutprfs("commandsSaved", "12"), WU_OK);
  EXPECT_EQ(wutprfs("commandsSaved", "51"), WU_OK);
  EXPECT_EQ(devb->prefs.commands_saved, 50);
  EXPECT_TRUE(qevtest::logContains("commandsSaved"));
  EXPECT_EQ(wutprfs("commandsSaved", "12x"), WU_BADARG);
  EXPECT_EQ(wutprfs("confirmQEVExit", "off"), WU_OK);
  EXPECT_FALSE(devb->prefs.confirm_exit);
  EXPECT_EQ(wutprfs("confirmQEVExit", "maybe"), WU_BADARG);
  EXPECT_EQ(wutprfs("menuForeground", "red\nQEV.font: x"), WU_BADARG);
  EXPECT_EQ(wutprfs("noSuchPreference", "1"), WU_NOTAVAIL);
  char value[32];
  int32_t kind = -1;
  ASSERT_STREQ(wutprfg(0, &kind, value, sizeof value), "useToolBoxTips");
  EXPECT_EQ(kind, WU_PREF_BOOL);
  EXPECT_STREQ(value, "True");
  EXPECT_EQ(wutprfg(wutprfn(), &kind, value, sizeof value), nullptr);

  // A home that cannot be written to: the save fails and says so.
  setenv("HOME", "/nonexistent/home", 1);
  Script ok;
  ok.then("OK", [] { return Shown(Find("*qevPreferences")); },
          [] { EXPECT_TRUE(qevtest::clickHandled(Find("*qevPreferences*ok"))); })
      .then("the failure answered", [] { return Shown(Find("*qevMessage")); },
            [] {
              EXPECT_TRUE(qevtest::clickHandled(
                  XmMessageBoxGetChild(Find("*qevMessage"), XmDIALOG_OK_BUTTON)));
            });
  qevhost::clearLog();
  ok.run([&] { EXPECT_EQ(wumpref(nullptr), WU_NOTAVAIL); });
  EXPECT_TRUE(qevtest::logContains("cannot be written"));
  setenv("HOME", home_.path().c_str(), 1);
}

// ---- message box and the window manager -------------------------------------

// True once the window manager has taken the shell into a frame of its own.
bool Reparented(Widget shell) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(XtDisplay(shell), XtWindow(shell), &root, &parent, &children, &count)) return false;
  if (children) XFree(children);
  return parent != root;
}

// Ends the window manager this process started.  mwm acts on a polite
// SIGTERM only at its next X event, so waiting for it at exit could hang.
void KillWindowManager() {
  const std::string me = std::to_string(getpid());
  FILE *ps = popen(("pgrep -P " + me + " -x mwm").c_str(), "r");
  if (!ps) return;
  int pid = 0;
  while (std::fscanf(ps, "%d", &pid) == 1) kill(pid, SIGKILL);
  pclose(ps);
}

TEST_F(XDialogs, MessageBoxClosedByTheWindowManagerAnswersCancel) {
  ASSERT_TRUE(qevtest::startWindowManager());
  Script close;
  close.then("the window manager's close",
             [] { return Shown(Find("*qevMessage")) && Reparented(XtParent(Find("*qevMessage"))); },
             [] { qevtest::closeLikeWindowManager(XtParent(Find("*qevMessage"))); });
  close.run([] { EXPECT_EQ(wumpmsg(nullptr, "Save the changes?", WU_MSG_QUESTION, 0), WU_ANSWER_CANCEL); });
  EXPECT_EQ(Find("*qevMessage"), nullptr);
  EXPECT_EQ(devb->modal_requestor, 0);
  KillWindowManager();
}

// ---- help -----------------------------------------------------------------------

wu_help_request Request(const char *system, const char *book, const char *topic) {
  wu_help_request r;
  std::memset(&r, 0, sizeof r);
  const char *texts[] = {system, book, topic};
  for (int i = 0; i < WU_HELP_TEXTS; ++i) r.texts[i] = {texts[i], int32_t(std::strlen(texts[i]))};
  return r;
}

TEST_F(XDialogs, HelpRequestsOpenTheDocumentInTheBrowser) {
  const wu_help_request ted = Request("host", "ted", "1");
  unsetenv("QEVROOT");
  qevhost::clearLog();
  EXPECT_EQ(wunhelpc(&ted), WU_NOTAVAIL);
  EXPECT_TRUE(qevtest::logContains("QEVROOT"));

  setenv("QEVROOT", home_.path().c_str(), 1);
  EXPECT_EQ(wunhelpc(&ted), WU_NOTAVAIL);  // no such document
  EXPECT_TRUE(qevtest::logContains("ted.html"));
  ASSERT_EQ(std::system(("mkdir -p '" + home_.path() + "/help/host' && touch '" + home_.path() + "/help/host/ted.html'").c_str()), 0);

  unsetenv("BROWSER");
  qevhost::clearLog();
  EXPECT_EQ(wunhelpc(&ted), WU_NOTAVAIL);
  EXPECT_TRUE(qevtest::logContains("BROWSER"));

  // The browser is given the document's address as its one argument.
  const std::string seen = home_.path() + "/seen";
  const std::string browser = home_.path() + "/browser";
  std::ofstream(browser) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << seen << "'\n";
  chmod(browser.c_str(), 0755);
  setenv("BROWSER", browser.c_str(), 1);
  EXPECT_EQ(wunhelpc(&ted), WU_OK);
  const std::string expected = "file://" + home_.path() + "/help/host/ted.html#1";
  ASSERT_TRUE(qevtest::turnUntil([&] { return ReadFile(seen) == expected; }, 3000)) << ReadFile(seen);

  // Texts that would reach outside the help folder are refused.
  const wu_help_request outside = Request("..", "ted", "1");
  EXPECT_EQ(wunhelpc(&outside), WU_BADARG);
  const wu_help_request slash = Request("host", "a/b", "1");
  EXPECT_EQ(wunhelpc(&slash), WU_BADARG);
  const wu_help_request empty = Request("host", "", "1");
  EXPECT_EQ(wunhelpc(&empty), WU_BADARG);
  EXPECT_EQ(wunhelpc(nullptr), WU_BADARG);
  EXPECT_EQ(vuxihlp(), 0);
  unsetenv("BROWSER");
  unsetenv("QEVROOT");
}

}  // namespace
