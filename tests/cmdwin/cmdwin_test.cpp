// The command window, the command history file and the standard command
// items, driven as the host and the user drive them: the item handlers as
// the dispatcher calls them, and clicks and keys through XTest; checked
// against the stand-in's record files, log, profile and the module event
// queue.
#include <algorithm>
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#include <Xm/FileSB.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/MessageB.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <cstdio>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "controls/wucombo.h"
#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "commands/wucmds.h"
#include "menus/wumenus.h"
#include "toolbox/wutbox.h"
#include "modulehost.h"
#include "qev/commands.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "textwin/wutwin.h"
#include "hostnames.h"
#include "modulewindow.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

const int32_t kKindDisplayManager = 1;

void AddItem(Widget list, const std::string &text, int position = 0) {
  XmString xs = XmStringCreateLocalized(const_cast<char *>(text.c_str()));
  XmListAddItem(list, xs, position);
  XmStringFree(xs);
}

std::string FieldText(Widget text) {
  char *t = XmTextGetString(text);
  std::string out = t ? t : "";
  XtFree(t);
  return out;
}

std::string HistoryPath() { return qevhost::dataDir() + "/user/command.hist"; }

std::vector<std::string> ReadLines(const std::string &path) {
  std::vector<std::string> out;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

void WriteLines(const std::string &path, const std::vector<std::string> &lines) {
  std::ofstream out(path);
  for (const std::string &l : lines) out << l << "\n";
}

// The managed widget named `name` among the shells of the display.
Widget FindShown(const char *name) {
  std::function<Widget(Widget)> walk = [&](Widget w) -> Widget {
    if (!w || w->core.being_destroyed) return nullptr;
    if (std::string(XtName(w)) == name && (XtIsShell(w) ? XtIsRealized(w) : XtIsManaged(w))) return w;
    for (Cardinal i = 0; i < w->core.num_popups; ++i)
      if (Widget f = walk(w->core.popup_list[i])) return f;
    if (XtIsComposite(w)) {
      auto *c = reinterpret_cast<CompositeWidget>(w);
      for (Cardinal i = 0; i < c->composite.num_children; ++i)
        if (Widget f = walk(c->composite.children[i])) return f;
    }
    return nullptr;
  };
  Display *dpy = devb->display;
  Window root = 0, parent = 0, *kids = nullptr;
  unsigned n = 0;
  if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &kids, &n)) return nullptr;
  Widget found = walk(devb->toplevel);
  for (unsigned i = 0; !found && i < n; ++i)
    if (Widget w = XtWindowToWidget(dpy, kids[i])) found = walk(w);
  if (kids) XFree(kids);
  return found;
}

// A step that acts on the widget `name` once the server shows it.
qevtest::Script::Step OnShown(const char *name, std::function<void(Widget)> act) {
  return {std::string(name) + " answered",
          [name] {
            Widget w = FindShown(name);
            return w && qevtest::viewable(w);
          },
          [name, act] { act(FindShown(name)); }};
}
// Plays `steps` inside the modal wait `call` opens; a failing step ends it.
void Play(const std::vector<qevtest::Script::Step> &steps, const std::function<void()> &call) {
  qevtest::Script s;
  s.then(steps);
  s.run(call);
}
void Click(Widget w) { EXPECT_TRUE(qevtest::clickHandled(w)) << (w ? XtName(w) : "no widget"); }

class CmdWin : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    qevhost::setMessage(526, 3, "Command");
    qevhost::setMessage(526, 12, "Enter");
    qevhost::setMessage(526, 646, "Too long.");
    qevhost::setMessage(526, 80, "Exit now?");
    window_ = Window();
  }
  void TearDown() override {
    for (wu_window *w : windows_) wuxfwnd(w);
    qevtest::stopModule();
  }
  wu_window *Window() {
    wu_window *w = qevtest::openUserWindow(kKindDisplayManager);
    windows_.push_back(w);
    return w;
  }
  std::vector<std::string> Queued(wu_window *w = nullptr) {
    std::vector<std::string> out;
    while (wu_event *e = wutdqev(w ? w : window_)) {
      out.push_back(e->text ? std::string(e->text, size_t(e->text_length)) : "#" + std::to_string(e->code));
      wutrlev(e);
    }
    return out;
  }
  // What the test's requests and input made the server send is handled.
  void Settle() { EXPECT_TRUE(qevtest::settle()); }
  // Time passes with the event loop turning (a tip's delay or its grace).
  void Turn(int ms) { qevtest::turnUntil([] { return false; }, ms); }
  // Stops and starts the window system in this process, as the host does
  // between two sessions.
  void Restart() {
    for (wu_window *w : windows_) wuxfwnd(w);
    windows_.clear();
    ASSERT_EQ(qevtest::windowSlot(WUX_SLOT_TERM)(), WU_OK);
    ASSERT_EQ(qevtest::windowSlot(WUX_SLOT_INIT)(), WU_OK);
    window_ = Window();
  }
  std::vector<std::string> Pending() {
    std::vector<std::string> out;
    wu_state *s = wu_module();
    for (int32_t i = 0; s && i < s->pending_count; ++i) {
      char *t = wumgstr(static_cast<XmString>(s->pending_items[i]));
      out.push_back(t ? t : "");
      XtFree(t);
    }
    return out;
  }
  Widget Shell() { return wumcwtf() ? XtParent(wumcwtf()) : nullptr; }
  Widget Text() { return wumcwtf() ? XtNameToWidget(wumcwtf(), "*ComboText") : nullptr; }
  Widget List() { return wumcwtf() ? XtNameToWidget(wumcwtf(), "*ComboList") : nullptr; }
  std::vector<std::string> Items() {
    std::vector<std::string> out;
    XmStringTable items = nullptr;
    int n = 0;
    XtVaGetValues(List(), XmNitems, &items, XmNitemCount, &n, nullptr);
    for (int i = 0; i < n; ++i) {
      char *t = wumgstr(items[i]);
      out.push_back(t ? t : "");
      XtFree(t);
    }
    return out;
  }
  void Open() {
    ASSERT_EQ(wutcwdw(window_), WU_OK);
    ASSERT_NE(wumcwtf(), nullptr);
    Settle();
  }
  // Types into the command text after a focus click.
  void Type(const std::string &keys) {
    EXPECT_TRUE(qevtest::clickHandled(Text()));
    EXPECT_TRUE(qevtest::typeHandled(devb->display, keys));
    Settle();
  }
  // Types a command into the command text and presses Return.
  void Enter(const std::string &text) {
    EXPECT_TRUE(qevtest::replaceTextHandled(Text(), text));
    EXPECT_TRUE(qevtest::keyHandled(devb->display, XK_Return));
    Settle();
  }
  wu_window *window_ = nullptr;
  std::vector<wu_window *> windows_;
};

// ---- the command window and the windows it serves ------------------------------

bool Shown(Widget shell) {
  if (!shell || !XtIsRealized(shell)) return false;
  XWindowAttributes a;
  return XGetWindowAttributes(devb->display, XtWindow(shell), &a) && a.map_state == IsViewable;
}

TEST_F(CmdWin, CommandWindowGoesWithTheLastWindowAndStaysForAnother) {
  wu_window *other = Window();
  wu_module()->current = window_;
  Open();
  Widget shell = Shell();
  ASSERT_TRUE(Shown(shell));
  // Another window remains: the command window stays for it.
  wuxfwnd(other);
  windows_.erase(std::find(windows_.begin(), windows_.end(), other));
  Settle();
  EXPECT_TRUE(Shown(shell));
  // The last window goes: nothing is left to send commands to.
  wuxfwnd(window_);
  windows_.clear();
  Settle();
  EXPECT_FALSE(Shown(Shell()));
  // A new window brings it back when asked for.
  window_ = Window();
  Open();
  EXPECT_TRUE(Shown(Shell()));
}

// The window the command window was shown for goes: the command window
// goes with it, although another window remains; a read of that window
// retitles it without showing it, and asking for it shows it again.
TEST_F(CmdWin, ReleasingTheWindowItServesClosesTheCommandWindow) {
  wu_window *other = Window();
  static char name[] = "LOG";
  other->name = name;
  other->name_length = 3;
  wu_module()->current = window_;
  Open();
  ASSERT_TRUE(Shown(Shell()));
  wuxfwnd(window_);
  windows_.erase(std::find(windows_.begin(), windows_.end(), window_));
  Settle();
  EXPECT_FALSE(Shown(Shell()));
  window_ = other;
  wuxqcmd(other, "x", -1, 1, 1, 0);
  EXPECT_EQ(wuxrwnd(other), WU_EV_COMMAND);
  Settle();
  EXPECT_FALSE(Shown(Shell()));
  char *title = nullptr;
  XtVaGetValues(Shell(), XmNtitle, &title, nullptr);
  EXPECT_STREQ(title, "Command:LOG");
  Open();
  EXPECT_TRUE(Shown(Shell()));
}

// ---- the history file ---------------------------------------------------------------

TEST_F(CmdWin, HistoryReadTakesFiftyRecordsSkippingEmptyOnes) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 60; ++i) {
    lines.push_back("cmd" + std::to_string(i));
    if (i % 10 == 0) lines.push_back("");
  }
  WriteLines(HistoryPath(), lines);
  Restart();
  std::vector<std::string> p = Pending();
  ASSERT_EQ(p.size(), 50u);
  EXPECT_EQ(p.front(), "cmd1");
  EXPECT_EQ(p.back(), "cmd50");
  // The first list built takes them; the second call finds none.
  Open();
  EXPECT_EQ(Items().size(), 50u);
  EXPECT_EQ(Items()[0], "cmd1");
  EXPECT_EQ(wu_module()->pending_count, 0);
  EXPECT_EQ(wumcpop(List()), WU_NOTAVAIL);
  EXPECT_EQ(Items().size(), 50u);
}

TEST_F(CmdWin, HistoryReadErrorsKeepWhatWasReadAndLogOnce) {
  WriteLines(HistoryPath(), {"one", "two", "three", "four", "five"});
  qevhost::failRecordFile(false, 4);
  Restart();
  EXPECT_EQ(Pending(), (std::vector<std::string>{"one", "two", "three"}));
  EXPECT_TRUE(qevtest::logContains("Unable to read command history file."));
  // A record over 200 bytes is an error as well, not a cut command.
  WriteLines(HistoryPath(), {"short", std::string(201, 'x'), "after"});
  Restart();
  EXPECT_EQ(Pending(), (std::vector<std::string>{"short"}));
  // Exactly 200 bytes is a whole record.
  WriteLines(HistoryPath(), {std::string(200, 'y')});
  Restart();
  EXPECT_EQ(Pending(), (std::vector<std::string>{std::string(200, 'y')}));
}

TEST_F(CmdWin, NoUsableDirectoryMeansNoFileActivity) {
  for (const char *paths : {".", "('.' 'other')", "('' 'other')"}) {
    qevhost::HostLibrary lib;
    lib.paths = paths;
    qevhost::setHostLibrary("QEVUSER", lib);
    const size_t lines = qevhost::log().size();
    Restart();
    EXPECT_TRUE(Pending().empty()) << paths;
    Open();
    Enter("kept nowhere");
    Restart();
    EXPECT_EQ(qevhost::log().size() > lines, false) << paths;
  }
}

TEST_F(CmdWin, HistoryCarriesAcrossStartUpsMostRecentFirst) {
  Open();
  Enter("first");
  Enter("second");
  Enter("first");   // moves to the top instead of a second copy
  EXPECT_EQ(Items(), (std::vector<std::string>{"first", "second"}));
  Restart();
  EXPECT_EQ(ReadLines(HistoryPath()), (std::vector<std::string>{"first", "second"}));
  Open();
  EXPECT_EQ(Items(), (std::vector<std::string>{"first", "second"}));
  Enter("third");
  Restart();
  EXPECT_EQ(Pending(), (std::vector<std::string>{"third", "first", "second"}));
}

TEST_F(CmdWin, HistoryWritesCommandsSavedAndKeepsTheOldFileOnFailure) {
  Open();
  for (int i = 30; i >= 1; --i) AddItem(List(), "c" + std::to_string(i));
  devb->prefs.commands_saved = 25;
  Restart();
  std::vector<std::string> written = ReadLines(HistoryPath());
  ASSERT_EQ(written.size(), 25u);
  EXPECT_EQ(written.front(), "c30");
  EXPECT_EQ(written.back(), "c6");

  // A run that builds no command window leaves the file as it was.
  Restart();
  EXPECT_EQ(ReadLines(HistoryPath()).size(), 25u);

  // A failed write keeps the old file whole, with one log line.
  Open();
  Enter("newer");
  qevhost::failRecordFile(true, 3);
  Restart();
  EXPECT_EQ(ReadLines(HistoryPath()).size(), 25u);
  EXPECT_EQ(ReadLines(HistoryPath()).front(), "c30");
  EXPECT_TRUE(qevtest::logContains("Unable to save command history file."));

  // The host refusing the file's assignment: the old file stays, with the
  // same log line.
  qevhost::clearLog();
  Open();
  Enter("newest");
  qevhost::failFileAssign();
  Restart();
  EXPECT_EQ(ReadLines(HistoryPath()).size(), 25u);
  EXPECT_EQ(ReadLines(HistoryPath()).front(), "c30");
  EXPECT_TRUE(qevtest::logContains("Unable to save command history file."));

  // commandsSaved 0 writes an empty file.
  Open();
  devb->prefs.commands_saved = 0;
  Restart();
  EXPECT_TRUE(ReadLines(HistoryPath()).empty());
}

// ---- the command window ------------------------------------------------------------

TEST_F(CmdWin, GeometryFollowsTheCellSize) {
  const int32_t cw = devb->cell_width, ch = devb->cell_height;
  for (auto hc : std::vector<std::pair<int, int>>{{19, 63}, {22, 69}, {30, 90}}) {
    if (Shell()) XtDestroyWidget(Shell());
    devb->cell_height = hc.first;
    Open();
    Dimension width = 0, height = 0;
    XtVaGetValues(Shell(), XmNwidth, &width, XmNheight, &height, nullptr);
    EXPECT_EQ(height, hc.second) << hc.first;
    EXPECT_EQ(width, 50 * cw + 4);
  }
  devb->cell_height = ch;
}

TEST_F(CmdWin, TitlePositionHideShowAndRebuild) {
  static char name[] = "EDITOR";
  window_->name = name;
  window_->name_length = 6;
  devb->prefs.cmd_x = 120;
  devb->prefs.cmd_y = 80;
  Open();
  char *title = nullptr;
  XtVaGetValues(Shell(), XmNtitle, &title, nullptr);
  EXPECT_STREQ(title, "Command:EDITOR");
  Position x = 0, y = 0;
  XtVaGetValues(Shell(), XmNx, &x, XmNy, &y, nullptr);
  EXPECT_EQ(x, 120);
  EXPECT_EQ(y, 80);
  // A second session's number, and a window without a name.
  devb->session_number = 2;
  EXPECT_EQ(wutacmd(window_), wumnbar(window_));
  XtVaGetValues(Shell(), XmNtitle, &title, nullptr);
  EXPECT_STREQ(title, "Command2:EDITOR");
  window_->name = nullptr;
  window_->name_length = 0;
  wutacmd(window_);
  XtVaGetValues(Shell(), XmNtitle, &title, nullptr);
  EXPECT_STREQ(title, "Command");
  devb->session_number = 1;

  // The window manager's close hides it; the next request shows the same one.
  Widget top = wumcwtf();
  qevtest::closeLikeWindowManager(Shell());
  Settle();
  EXPECT_FALSE(XtIsManaged(top));
  EXPECT_FALSE(XtIsRealized(Shell()));
  Open();
  EXPECT_EQ(wumcwtf(), top);
  EXPECT_TRUE(XtIsManaged(top));

  // New dialog colours rebuild it.
  Pixel before = 0;
  XtVaGetValues(top, XmNbackground, &before, nullptr);
  wutfcst();
  devb->motifres.dialog_background = const_cast<char *>("#203040");
  Open();
  devb->motifres.dialog_background = nullptr;
  Pixel after = 0;
  XtVaGetValues(wumcwtf(), XmNbackground, &after, nullptr);
  EXPECT_NE(after, before);
  wutfcst();
}

// A user's click whose callback changes the dialog colours and asks for the
// command window, as the menu item that opens it does: the window shown is
// a new one in the new colours, and it is still there once the click's
// dispatch has ended.
struct ColourClick {
  wu_window *window;
  wu_status status = WU_NOTAVAIL;
  int calls = 0;
};
void AskInNewColours(Widget, XtPointer client, XtPointer) {
  auto *c = static_cast<ColourClick *>(client);
  wutfcst();
  devb->motifres.dialog_background = const_cast<char *>("#204060");
  c->status = wutcwdw(c->window);
  devb->motifres.dialog_background = nullptr;
  ++c->calls;
}

TEST_F(CmdWin, NewColoursAskedInsideACallbackRebuildTheWindow) {
  Open();
  Widget old_top = wumcwtf();
  Pixel before = 0;
  XtVaGetValues(old_top, XmNbackground, &before, nullptr);
  Widget shell = XtVaAppCreateShell("asker", "Asker", applicationShellWidgetClass, devb->display,
                                    XmNx, 1150, XmNy, 950, nullptr);
  Widget button = XtVaCreateManagedWidget("ask", xmPushButtonWidgetClass, shell, XmNwidth, 80,
                                          XmNheight, 40, nullptr);
  ColourClick click{window_};
  XtAddCallback(button, XmNactivateCallback, AskInNewColours, &click);
  XtRealizeWidget(shell);
  Settle();
  qevtest::clickWidget(button);
  ASSERT_TRUE(qevtest::turnUntil([&] { return click.calls > 0; }, 3000));
  Settle();
  EXPECT_EQ(click.status, WU_OK);
  Widget top = wumcwtf();
  ASSERT_NE(top, nullptr) << "the window shown was the one being destroyed";
  Pixel after = 0;
  XtVaGetValues(top, XmNbackground, &after, nullptr);
  EXPECT_NE(after, before);
  EXPECT_TRUE(XtIsManaged(top));
  EXPECT_TRUE(Shown(XtParent(top)));
  // The server shows the new colour inside the frame.
  Dimension w = 0, h = 0;
  XtVaGetValues(XtParent(top), XmNwidth, &w, XmNheight, &h, nullptr);
  EXPECT_EQ(qevtest::pixelAt(devb->display, XtWindow(XtParent(top)), 3, h - 3), 0x204060ul);
  // Typing in it still queues the command.
  Enter("LIST");
  EXPECT_EQ(Queued(), (std::vector<std::string>{"LIST"}));
  XtDestroyWidget(shell);
  wutfcst();
}

TEST_F(CmdWin, EnteredCommandsAreQueuedAndAddressesBrowsed) {
  Open();
  Enter("   list files");
  Enter("http://host/a'b");
  Enter("go http://host/x");
  Enter("ftp ://x");
  EXPECT_EQ(Queued(), (std::vector<std::string>{"list files", "WBROWSE 'http://host/a''b'",
                                                "go http://host/x", "ftp ://x"}));
  EXPECT_EQ(FieldText(Text()), "");
  // An address that does not fit the browse command is not cut: the text
  // stays in the field and nothing is queued.
  const std::string address = "http://" + std::string(190, 'a');
  Enter(address);
  EXPECT_TRUE(Queued().empty());
  EXPECT_EQ(FieldText(Text()), address);
}

// Whether a blank stands before the "://" is asked of the host's character
// classes: on a host whose classes count '|' as a blank, a command word
// joined to an address by it is queued as typed, while a '|' after the ':'
// leaves an address.
TEST_F(CmdWin, TheBrowseTestTakesBlanksFromTheHostsCharacterClasses) {
  Open();
  qev_gcb *g = qevhost::gcb();
  ASSERT_NE(g->char_class, nullptr);
  uint8_t classes[256];
  std::memcpy(classes, g->char_class, sizeof classes);
  classes[uint8_t('|')] |= QEV_CC_BLANK;
  const uint8_t *hosts = g->char_class;
  g->char_class = classes;
  Enter("go|http://host/x");
  Enter("http://host/a|b");
  g->char_class = hosts;
  EXPECT_EQ(Queued(), (std::vector<std::string>{"go|http://host/x", "WBROWSE 'http://host/a|b'"}));
}

TEST_F(CmdWin, ButtonAndMiddleButtonSubmit) {
  Open();
  Type("from button");
  EXPECT_TRUE(qevtest::clickHandled(XtNameToWidget(wumcwtf(), "*pb")));
  Settle();
  EXPECT_EQ(Queued(), (std::vector<std::string>{"from button"}));
  EXPECT_EQ(Items(), (std::vector<std::string>{"from button"}));
  EXPECT_TRUE(qevtest::replaceTextHandled(Text(), "from button"));
  EXPECT_TRUE(qevtest::clickHandled(XtNameToWidget(wumcwtf(), "*pb")));
  Settle();
  EXPECT_EQ(Items().size(), 1u);  // the unique-list rule holds for the button
  Queued();

  // The middle button on a row of the posted history submits that row,
  // whatever the text holds.
  AddItem(List(), "picked");
  Type("half typed");
  EXPECT_TRUE(qevtest::clickHandled(XtNameToWidget(wumcwtf(), "*ComboArrow")));
  EXPECT_TRUE(qevtest::clickRowHandled(List(), 2, Button2));
  EXPECT_EQ(Queued(), (std::vector<std::string>{"picked"}));
  EXPECT_EQ(FieldText(Text()), "");
}

TEST_F(CmdWin, TypingCompletesFromTheHistoryUnlessDeleting) {
  devb->prefs.auto_complete = True;
  Open();
  AddItem(List(), "he");
  AddItem(List(), "HELLO WORLD");
  Type("hel");
  EXPECT_EQ(FieldText(Text()), "helLO WORLD");
  XmTextPosition left = 0, right = 0;
  ASSERT_TRUE(XmTextGetSelectionPosition(Text(), &left, &right));
  EXPECT_EQ(left, 3);
  EXPECT_EQ(right, 11);
  // BackSpace removes the completion and offers none for that change.
  qevtest::pressKey(devb->display, XK_BackSpace);
  Settle();
  EXPECT_EQ(FieldText(Text()), "hel");
  qevtest::pressKey(devb->display, XK_l);
  Settle();
  EXPECT_EQ(FieldText(Text()), "hellO WORLD");
  devb->prefs.auto_complete = False;
}

TEST_F(CmdWin, MergedBoxStandsInForTheCommandWindow) {
  WriteLines(HistoryPath(), {"older", "oldest"});
  Restart();
  devb->motifres.merged_toolbox = True;
  devb->prefs.use_command_combo = True;
  EXPECT_EQ(wutcwdw(window_), WU_OK);
  Settle();
  EXPECT_EQ(wumcwtf(), nullptr);
  EXPECT_EQ(window_->module_flags & WU_WMOD_QUIET_LOAD, 0u);
  // The merged box's command part holds the history combo.
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  ASSERT_NE(mb->command_line, nullptr);
  EXPECT_STREQ(XtName(mb->command_line), "QEVTBCommandLine");
  wu_combo *cb = wu_module()->command_combos[WU_COMBO_TOOLBOX];
  ASSERT_NE(cb, nullptr);
  EXPECT_EQ(cb, mb->combo);
  auto items = [&] {
    std::vector<std::string> out;
    XmStringTable list = nullptr;
    int n = 0;
    XtVaGetValues(cb->list, XmNitems, &list, XmNitemCount, &n, nullptr);
    for (int i = 0; i < n; ++i) {
      char *t = wumgstr(list[i]);
      out.push_back(t ? t : "");
      XtFree(t);
    }
    return out;
  };
  EXPECT_EQ(items(), (std::vector<std::string>{"older", "oldest"}));
  // Typed and entered there, a command is queued and leads the history.
  qevtest::clickWidget(cb->text_w);
  Settle();
  for (char c : std::string("ls")) qevtest::pressKey(devb->display, KeySym(c));
  qevtest::pressKey(devb->display, XK_Return);
  Settle();
  EXPECT_EQ(Queued(), (std::vector<std::string>{"ls"}));
  EXPECT_EQ(FieldText(cb->text_w), "");
  // The check button submits the text, a browse address wrapped.
  XmTextSetString(cb->text_w, const_cast<char *>("http://host/x"));
  qevtest::clickWidget(mb->check);
  Settle();
  EXPECT_EQ(Queued(), (std::vector<std::string>{"WBROWSE 'http://host/x'"}));
  EXPECT_EQ(items(), (std::vector<std::string>{"http://host/x", "ls", "older", "oldest"}));
  // Its arrow hides the command part; asking for the command window shows
  // it again.
  qevtest::clickWidget(mb->command_arrow);
  Settle();
  EXPECT_FALSE(XtIsManaged(mb->command_line));
  EXPECT_FALSE(XtIsSensitive(mb->tools_arrow));
  EXPECT_EQ(wutcwdw(window_), WU_OK);
  Settle();
  EXPECT_TRUE(XtIsManaged(mb->command_line));
  EXPECT_TRUE(XtIsSensitive(mb->tools_arrow));
  // The history written at shut-down is this combo's.
  Restart();
  EXPECT_EQ(ReadLines(HistoryPath()),
            (std::vector<std::string>{"http://host/x", "ls", "older", "oldest"}));
  devb->motifres.merged_toolbox = False;
  devb->prefs.use_command_combo = False;
}

// The command combo is the module's combo box: its arrow posts the history
// below the text, the middle button on an item submits that item, and Up
// in the text copies the first item without completing it.
TEST_F(CmdWin, HistoryComboPostsAndSubmitsWithTheMiddleButton) {
  WriteLines(HistoryPath(), {"alpha", "beta", "gamma"});
  Restart();
  devb->prefs.auto_complete = True;
  Open();
  wu_combo *cb = wu_module()->command_combos[WU_COMBO_CMDWIN];
  ASSERT_NE(cb, nullptr);
  EXPECT_EQ(cb->text_w, Text());
  EXPECT_EQ(cb->list, List());
  EXPECT_EQ(cb->unique, 1u);
  EXPECT_EQ(Items(), (std::vector<std::string>{"alpha", "beta", "gamma"}));
  qevtest::clickWidget(XtNameToWidget(wumcwtf(), "*ComboArrow"));
  Settle();
  ASSERT_TRUE(cb->shown);
  Position tx = 0, ty = 0, lx = 0, ly = 0;
  XtTranslateCoords(Text(), 0, 0, &tx, &ty);
  XtTranslateCoords(List(), 0, 0, &lx, &ly);
  EXPECT_GT(ly, ty);  // below the text
  // The middle button on the second item queues it and pops the list down.
  Position x = 0, y = 0;
  Dimension w = 0, h = 0;
  ASSERT_TRUE(XmListPosToBounds(List(), 2, &x, &y, &w, &h));
  Display *d = devb->display;
  XTestFakeMotionEvent(d, -1, lx + x + w / 2, ly + y + h / 2, CurrentTime);
  Settle();
  XTestFakeButtonEvent(d, 2, True, CurrentTime);
  Settle();
  XTestFakeButtonEvent(d, 2, False, CurrentTime);
  Settle();
  EXPECT_EQ(Queued(), (std::vector<std::string>{"beta"}));
  EXPECT_FALSE(cb->shown);
  EXPECT_EQ(FieldText(Text()), "");
  // Up in the empty text takes the first item, and no completion runs on
  // that change or survives it.
  XmListDeselectAllItems(List());
  qevtest::clickWidget(Text());
  Settle();
  qevtest::pressKey(d, XK_Up);
  Settle();
  EXPECT_EQ(FieldText(Text()), "alpha");
  EXPECT_EQ(wu_module()->command_deleted, 0);
  qevtest::pressKey(d, XK_Return);
  Settle();
  EXPECT_EQ(Queued(), (std::vector<std::string>{"alpha"}));
  EXPECT_EQ(Items(), (std::vector<std::string>{"alpha", "beta", "gamma"}));
  devb->prefs.auto_complete = False;
}

// The command text's tip: the host's format filled with the command in
// quotes, or with "Command" when the text is empty; shown after the delay.
TEST_F(CmdWin, CommandTipShowsTheFormattedCommandAfterTheDelay) {
  qevhost::setMessage(526, 627, "Run %s now (100%%)");
  devb->prefs.use_toolbox_tips = True;
  devb->prefs.toolbox_tip_delay = 600;
  Open();
  wu_state *s = wu_module();
  ASSERT_NE(s->command_tip, nullptr);
  auto tip = [&]() -> std::string {
    if (!s->ctl_tip_up || !s->tip_label) return "";
    XmString label = nullptr;
    XtVaGetValues(s->tip_label, XmNlabelString, &label, nullptr);
    char *t = label ? wumgstr(label) : nullptr;
    std::string out = t ? t : "";
    XtFree(t);
    if (label) XmStringFree(label);
    return out;
  };
  auto enter = [&] {
    Position x = 0, y = 0;
    XtTranslateCoords(Text(), 5, 5, &x, &y);
    XTestFakeMotionEvent(devb->display, -1, x, y, CurrentTime);
  };
  auto leave = [&] {
    XTestFakeMotionEvent(devb->display, -1, 0, 0, CurrentTime);
    Settle();
  };
  enter();
  Turn(150);
  EXPECT_EQ(tip(), "");  // not before the delay
  qevtest::turnUntil([&] { return s->ctl_tip_up != 0; }, 3000);
  EXPECT_EQ(tip(), "Run Command now (100%)");
  leave();
  EXPECT_EQ(s->ctl_tip_up, 0);
  // Past the grace period the delay applies again; the tip quotes the text.
  Turn(500);
  XmTextSetString(Text(), const_cast<char *>("ls -l"));
  enter();
  qevtest::turnUntil([&] { return s->ctl_tip_up != 0; }, 3000);
  EXPECT_EQ(tip(), "Run 'ls -l' now (100%)");
  leave();
  // A command of 200 characters or more is not shown in the tip.
  Turn(500);
  XmTextSetString(Text(), const_cast<char *>(std::string(200, 'x').c_str()));
  enter();
  qevtest::turnUntil([&] { return s->ctl_tip_up != 0; }, 3000);
  EXPECT_EQ(tip(), "Run Command now (100%)");
  leave();
  // The tip goes with the window.
  XtDestroyWidget(Shell());
  EXPECT_EQ(s->command_tip, nullptr);
  EXPECT_EQ(s->command_combos[WU_COMBO_CMDWIN], nullptr);
  devb->prefs.use_toolbox_tips = False;
}

// ---- standard items ------------------------------------------------------------------

TEST_F(CmdWin, FixedItemsQueueTheirMessageOrTheDefault) {
  struct { XtCallbackProc fn; int32_t number; const char *deflt; } rows[] = {
      {wuwnkfd, 123, "DLGSAVE"}, {wuwprst, 137, "DLGPRTSETUP"},
      {wuwakfd, 156, "DLGOPEN FILTER = *"}, {wuwprnt, 138, "DLGPRT"}};
  for (auto &r : rows) {
    r.fn(nullptr, window_, nullptr);
    EXPECT_EQ(Queued(), (std::vector<std::string>{r.deflt}));
    qevhost::setMessage(524, r.number, "HOSTS OWN");
    r.fn(nullptr, window_, nullptr);
    EXPECT_EQ(Queued(), (std::vector<std::string>{"HOSTS OWN"}));
  }
  window_->flags |= WU_WIN_PRINT_WINDOW;
  wuwprnt(nullptr, window_, nullptr);
  EXPECT_EQ(Queued(), (std::vector<std::string>{"#112", "HOSTS OWN"}));
  wuwpscr(nullptr, window_, nullptr);
  EXPECT_EQ(Queued(), (std::vector<std::string>{"DLGPRT ALTCMD='SPRINT NOBORDER'"}));
  qevhost::setNumOption("UNIVERSALPRINT", 1);
  wuwpscr(nullptr, window_, nullptr);
  EXPECT_EQ(Queued(), (std::vector<std::string>{"DMPRT ALTCMD='SPRINT NOBORDER'"}));
}

TEST_F(CmdWin, FormatLookupAndQuotedPaths) {
  EXPECT_STREQ(wumgtyp("*.JPG"), "JFIF");
  EXPECT_STREQ(wumgtyp("*.png"), "PNG");
  EXPECT_STREQ(wumgtyp("*.ppm"), "PBM");
  EXPECT_STREQ(wumgtyp("*.doc"), "AUTODET");
  EXPECT_STREQ(wumgtyp(nullptr), "AUTODET");
  char out[256];
  EXPECT_TRUE(wumqcmd("IMPORT ", "/tmp/it's", "", out, sizeof out));
  EXPECT_STREQ(out, "IMPORT '/tmp/it''s'");
  EXPECT_FALSE(wumqcmd("IMPORT ", "/tmp/a\nb", "", out, sizeof out));
  EXPECT_FALSE(wumqcmd("X ", std::string(197, '\'').c_str(), "", out, sizeof out));
}

// Answers the file selection with `path`, the Append switch as given.
qevtest::Script::Step AnswerFiles(const std::string &path, bool append = false) {
  return OnShown("qevFileSelection", [path, append](Widget d) {
    if (append) Click(XtNameToWidget(d, "*qevFileAppend"));
    EXPECT_TRUE(qevtest::replaceTextHandled(XmFileSelectionBoxGetChild(d, XmDIALOG_TEXT), path));
    Click(XmFileSelectionBoxGetChild(d, XmDIALOG_OK_BUTTON));
  });
}

TEST_F(CmdWin, FileItemsQueueTheChosenPathQuoted) {
  qevhost::setMessage(524, 56, "DLGOPEN");
  const std::string dir = qevhost::dataDir();
  Play({AnswerFiles(dir + "/it's.txt")}, [&] { wuwpkfd(nullptr, window_, nullptr); });
  EXPECT_EQ(Queued(), (std::vector<std::string>{"DLGOPEN '" + dir + "/it''s.txt'"}));

  Play({AnswerFiles(dir + "/out.prt", true)}, [&] { wuwsprf(nullptr, window_, nullptr); });
  EXPECT_EQ(Queued(), (std::vector<std::string>{"PRTFILE " + dir + "/out.prt APPEND"}));

  Play({AnswerFiles(dir + "/pic.gif")}, [&] { wuwikfd(nullptr, window_, nullptr); });
  EXPECT_EQ(Queued(), (std::vector<std::string>{"IMPORT '" + dir + "/pic.gif'  'FORMAT=GIF'  "}));

  Play({AnswerFiles(dir + "/pic.gif")}, [&] { wuwekfd(nullptr, window_, nullptr); });
  EXPECT_EQ(Queued(), (std::vector<std::string>{"EXPORT '" + dir + "/pic.gif'  'FORMAT=GIF' "}));

  // A path too long for the command is refused whole with the message.
  Play({AnswerFiles(dir + "/" + std::string(190, 'n')),
        OnShown("qevMessage", [](Widget d) { Click(XmMessageBoxGetChild(d, XmDIALOG_OK_BUTTON)); })},
       [&] { wuwpkfd(nullptr, window_, nullptr); });
  EXPECT_TRUE(Queued().empty());
}

TEST_F(CmdWin, ExitFollowsTheShutDownStateAndTheQuestion) {
  devb->prefs.confirm_exit = False;
  wuwexit(nullptr, window_, XtPointer(1));
  EXPECT_EQ(Queued(), (std::vector<std::string>{"BYE"}));
  devb->prefs.confirm_exit = True;
  qevhost::setShutdownState(3);
  wuwexit(nullptr, window_, XtPointer(1));
  EXPECT_TRUE(Queued().empty());
  qevhost::setShutdownState(2);
  wuwexit(nullptr, window_, XtPointer(1));
  EXPECT_EQ(Queued(), (std::vector<std::string>{"BYE"}));
  qevhost::setShutdownState(0);
  for (int button : {XmDIALOG_CANCEL_BUTTON, XmDIALOG_OK_BUTTON}) {
    Play({OnShown("qevMessage",
                  [button](Widget d) { Click(XmMessageBoxGetChild(d, static_cast<unsigned char>(button))); })},
         [&] { wuwexit(nullptr, window_, XtPointer(1)); });
    EXPECT_EQ(Queued(), button == XmDIALOG_OK_BUTTON ? std::vector<std::string>{"BYE"}
                                                     : std::vector<std::string>{});
  }
}

TEST_F(CmdWin, PrintingQuestionIsAskedOnceAndSettlesTheByte) {
  const std::string entry = qevhost::catalogRoot() + "/QEVUSER/PROFILE/PRTNOTIF.UNXPREFS";
  std::remove(entry.c_str());
  EXPECT_EQ(GetHostPrintNotif(), 0);
  devb->prefs.host_print = False;
  // X printing (the first choice, set): the entry is written with 1.
  Play({OnShown("PrintQuestion", [](Widget d) { Click(XtNameToWidget(d, "button")); })},
       [&] { wuwhprt(nullptr, window_, nullptr); });
  EXPECT_EQ(GetHostPrintNotif(), 1);
  EXPECT_TRUE(devb->prefs.host_print);
  std::vector<std::string> q = Queued();
  ASSERT_FALSE(q.empty());
  EXPECT_EQ(q[0], ";WPMENU;WPMENU;");
  // Asked once: the next print goes straight to its command.
  wuwhprt(nullptr, window_, nullptr);
  EXPECT_TRUE(Queued().empty());
  std::remove(entry.c_str());
  // Host printing chosen: off again, and the print runs.
  Play({OnShown("PrintQuestion",
                [](Widget d) {
                  Click(XtNameToWidget(d, "*choice2"));
                  Click(XtNameToWidget(d, "button"));
                })},
       [&] { wuwhprt(nullptr, window_, nullptr); });
  EXPECT_FALSE(devb->prefs.host_print);
  EXPECT_EQ(Queued(), (std::vector<std::string>{";WPMENU;WPMENU;", "print"}));
  EXPECT_EQ(GetHostPrintNotif(), 1);
}

TEST_F(CmdWin, DispatcherCodesReachTheItems) {
  using EcmdFn = wu_status (*)(wu_window *, int32_t);
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &count));
  auto ecmd = reinterpret_cast<EcmdFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_ECMD]));
  devb->prefs.confirm_exit = False;
  EXPECT_EQ(ecmd(window_, WU_CMD_EXIT), WU_OK);
  EXPECT_EQ(Queued(), (std::vector<std::string>{"BYE"}));
  // Import through the dispatcher, the file dialog cancelled: nothing queued.
  Play({OnShown("qevFileSelection", [](Widget d) { Click(XmFileSelectionBoxGetChild(d, XmDIALOG_CANCEL_BUTTON)); })},
       [&] { EXPECT_EQ(ecmd(window_, WU_CMD_IMPORT), WU_OK); });
  EXPECT_TRUE(Queued().empty());
}

}  // namespace

namespace {

// ---- the About box -----------------------------------------------------------------

void AboutMessages(bool with_colours) {
  const std::pair<int, const char *> texts[] = {
      {17, "Banner"}, {18, "Product"}, {19, "Release"}, {20, "Rights"}, {21, "X server"},
      {289, "System"}, {290, "system %s"}, {291, "release %s"}, {292, "version %s"},
      {22, "toolkit %s"}, {23, "protocol %d"}, {24, "display %s"}, {25, "vendor %s"},
      {26, "vendor release %d"}, {653, "visual %s"}, {667, "depth %d"}, {654, "cells %d"},
      {354, "Copyright"}, {353, "Copyright..."}};
  for (auto &t : texts) qevhost::setMessage(526, t.first, t.second);
  if (with_colours) qevhost::setMessage(526, 655, "Colours");
  qevhost::setMessage(530, 1, "line one");
  qevhost::setMessage(530, 2, "line two");
  qevhost::setMessage(530, 101, "Product line 1");
  qevhost::setMessage(530, 102, "Product line 2");
  qevhost::setMessage(530, 103, "About QEV");
}

std::vector<std::string> Sections(Widget box) {
  std::vector<std::string> out;
  Widget layout = XtNameToWidget(box, "layout");
  if (!layout) return out;
  auto *c = reinterpret_cast<CompositeWidget>(layout);
  for (Cardinal i = 0; i < c->composite.num_children; ++i) {
    Widget info = XtNameToWidget(c->composite.children[i], "info");
    XmString s = nullptr;
    if (info) XtVaGetValues(info, XmNlabelString, &s, nullptr);
    char *t = s ? wumgstr(s) : nullptr;
    out.push_back(t ? t : "");
    XtFree(t);
    if (s) XmStringFree(s);
  }
  return out;
}

// Where the last copyright dialog stood on the screen, and the About box.
Position g_copyright_x = -1, g_copyright_y = -1, g_about_x = -1, g_about_y = -1;

// The copyright dialog: the managed "aboutBox" that is not the About box.
Widget Copyright() {
  Widget about = wu_module()->about_box;
  auto *top = devb->toplevel;
  for (Cardinal i = 0; i < top->core.num_popups; ++i) {
    auto *shell = reinterpret_cast<CompositeWidget>(top->core.popup_list[i]);
    for (Cardinal k = 0; k < shell->composite.num_children; ++k) {
      Widget d = shell->composite.children[k];
      if (d != about && std::string(XtName(d)) == "aboutBox" && XtIsManaged(d)) return d;
    }
  }
  return nullptr;
}

// A click on `button` opens the copyright dialog modally: what it shows
// first and where it stands are noted, and OK closes it.
std::string OpenCopyright(Widget button) {
  std::string seen;
  qevtest::Script s;
  s.then("the copyright texts read, then OK", [] { return Copyright() && qevtest::viewable(Copyright()); },
         [&] {
           Widget d = Copyright();
           seen = Sections(d).empty() ? "" : Sections(d)[0];
           XtTranslateCoords(d, 0, 0, &g_copyright_x, &g_copyright_y);
           XtTranslateCoords(wu_module()->about_box, 0, 0, &g_about_x, &g_about_y);
           Click(XmMessageBoxGetChild(d, XmDIALOG_OK_BUTTON));
         });
  s.run([&] { Click(button); });
  return seen;
}

TEST_F(CmdWin, AboutBoxIsReusedRebuiltAndShowsItsSections) {
  AboutMessages(true);
  using EcmdFn = wu_status (*)(wu_window *, int32_t);
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, nullptr));
  auto ecmd = reinterpret_cast<EcmdFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_ECMD]));
  EXPECT_EQ(ecmd(window_, WU_CMD_ABOUT), WU_OK);
  Widget box = wu_module()->about_box;
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(XtIsManaged(box));
  std::vector<std::string> s = Sections(box);
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(s[0], "Product line 2");
  EXPECT_EQ(s[1], "Product line 1");
  EXPECT_EQ(s[2].rfind("system ", 0), 0u) << s[2];
  EXPECT_NE(s[3].find("display " + std::string(DisplayString(devb->display))), std::string::npos);
  EXPECT_NE(s[3].find("protocol 6"), std::string::npos);
  EXPECT_NE(s[4].find("visual TrueColor"), std::string::npos);
  EXPECT_NE(s[4].find("depth 24"), std::string::npos);
  // No product entry: no product button.
  EXPECT_EQ(XmMessageBoxGetChild(box, XmDIALOG_HELP_BUTTON), nullptr);
  // A second opening raises the same box.
  wuwoabt(nullptr, window_, nullptr);
  EXPECT_EQ(wu_module()->about_box, box);

  // The copyright button opens the copyright texts modally.
  EXPECT_EQ(OpenCopyright(XmMessageBoxGetChild(box, XmDIALOG_CANCEL_BUTTON)), "line one\nline two");
  // Over the About box, not at the screen's corner.
  EXPECT_GT(g_about_x, 0);
  EXPECT_GE(g_copyright_x, g_about_x + 20);
  EXPECT_GE(g_copyright_y, g_about_y + 20);
  EXPECT_LE(g_copyright_x, g_about_x + 100);
  EXPECT_LE(g_copyright_y, g_about_y + 100);
  Settle();

  // New dialog colours rebuild it; OK closes it.
  wutfcst();
  devb->motifres.dialog_background = const_cast<char *>("#405060");
  wuwoabt(nullptr, window_, nullptr);
  devb->motifres.dialog_background = nullptr;
  Widget rebuilt = wu_module()->about_box;
  ASSERT_NE(rebuilt, nullptr);
  Pixel bg1 = 0;
  XtVaGetValues(rebuilt, XmNbackground, &bg1, nullptr);
  wutfcst();
  qevtest::clickWidget(XmMessageBoxGetChild(rebuilt, XmDIALOG_OK_BUTTON));
  Settle();
  EXPECT_EQ(wu_module()->about_box, nullptr);
}

TEST_F(CmdWin, AboutBoxWithoutASectionTitleIsNotShown) {
  AboutMessages(false);
  wuwoabt(nullptr, window_, nullptr);
  EXPECT_EQ(wu_module()->about_box, nullptr);
  EXPECT_TRUE(qevtest::logContains("BUGALERT:"));
}

}  // namespace

namespace {

void WriteMember(const std::string &path, const std::vector<std::string> &records) {
  std::ofstream out(path, std::ios::binary);
  for (const std::string &r : records) {
    const int32_t head[2] = {int32_t(r.size()), 1};
    out.write(reinterpret_cast<const char *>(head), sizeof head);
    out.write(r.data(), std::streamsize(r.size()));
  }
}

TEST_F(CmdWin, AboutBoxOffersTheHostsProductText) {
  AboutMessages(true);
  qevhost::defineLibrary("ABOUTLIB");
  const std::string dir = qevhost::catalogRoot() + "/ABOUTLIB/CAT";
  std::filesystem::create_directories(dir);
  WriteMember(dir + "/DLGABOUT.LOG", {"Licensed to   ", std::string("Site 42\0\0", 9)});
  qevtest::setLibref(window_->menu_libref, "ABOUTLIB");
  qevtest::setName34(window_->menu_catalog, "CAT");
  qevtest::setName34(window_->menu_entry, "MAIN");
  wuwoabt(nullptr, window_, nullptr);
  Widget box = wu_module()->about_box;
  ASSERT_NE(box, nullptr);
  Widget help = XmMessageBoxGetChild(box, XmDIALOG_HELP_BUTTON);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(OpenCopyright(help), "\nLicensed to\nSite 42\n");
}

}  // namespace

namespace {

TEST_F(CmdWin, ReadingAnotherWindowRetitlesTheCommandWindow) {
  Open();
  wu_window *other = Window();
  static char name[] = "LOG";
  other->name = name;
  other->name_length = 3;
  wu_module()->current = window_;
  wuxqcmd(other, "x", -1, 1, 1, 0);
  wuxrwnd(other);
  char *title = nullptr;
  XtVaGetValues(Shell(), XmNtitle, &title, nullptr);
  EXPECT_STREQ(title, "Command:LOG");
  EXPECT_EQ(wu_module()->current, other);
}

// The command panel's fields as the host's panel services got them: the
// command field with the command colour's attribute bits, the message line
// with the message colour's and the output-only attribute added.
TEST_F(CmdWin, MessageLineFieldTakesTheOutputOnlyAttribute) {
  wu_window *w = nullptr;
  ASSERT_EQ(wuxgwnd(&w, 1, WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE), WU_OK);
  ASSERT_EQ(wuxiwnd(w), WU_OK);
  ASSERT_NE(w->message_field, nullptr);
  ASSERT_NE(w->command_field, nullptr);
  // The colour words' attribute bits stay below 16: the bit of 16 is the
  // output-only attribute, on the message line alone.
  EXPECT_EQ(w->message_field->colour, w->message_colour >> 4);
  EXPECT_NE(w->message_field->flags & 16u, 0u);
  EXPECT_EQ(w->command_field->flags & 16u, 0u);
  EXPECT_EQ(w->command_field->flags & 0xFu, uint32_t(w->command_colour & 0xF));
  wuxfwnd(w);
}

}  // namespace
