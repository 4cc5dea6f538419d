// The keyboard through a user's session with the merged tool box: the user
// types in the command window while the tool box comes and goes (its first
// map at start-up, TOOLLOAD typed in the command window, the Tool Editor
// ending by Save, by its question answered, by Close), under mwm and
// without a window manager.  Checked on the X server (the focus window) and
// in Motif (the focus widget), then by typing the next command and seeing
// it reach the host.  Also: the built-in tool box as the catalog stores it.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/ArrowB.h>
#include <Xm/MessageB.h>
#include <Xm/Text.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commands/wucmds.h"
#include "controls/wucombo.h"
#include "toolbox/wutbox.h"
#include "hostnames.h"
#include "modulehost.h"
#include "managers.h"
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
const int32_t kToolLoad = WU_CMD_TOOLLOAD, kToolEdit = WU_CMD_TOOLEDIT, kToolClose = WU_CMD_TOOLCLOSE;
const int32_t kKindDisplayManager = 1;
const int kWaitMs = 5000;

using qevtest::Manager;

Widget Named(const char *name, const std::string &label = "") {
  std::vector<Widget> all;
  qevtest::widgetTree(devb->toplevel, &all);
  for (Widget w : all)
    if (!w->core.being_destroyed && std::strcmp(XtName(w), name) == 0 &&
        (label.empty() || qevtest::xmStringResource(w, XmNlabelString) == label))
      return w;
  return nullptr;
}
Widget ShownMessage() {
  std::vector<Widget> all;
  qevtest::widgetTree(devb->toplevel, &all);
  for (Widget w : all)
    if (std::strcmp(XtName(w), "qevMessage") == 0 && XtIsManaged(w)) return w;
  return nullptr;
}

// Where the keyboard is: the server's focus window, and the widget Motif
// gives the keys inside the command window.
struct Keyboard {
  Window server = None;
  Widget motif = nullptr;
  bool operator==(const Keyboard &o) const { return server == o.server && motif == o.motif; }
};

std::string Describe(Window w) {
  if (w == None) return "None";
  if (w == PointerRoot) return "PointerRoot";
  Widget widget = XtWindowToWidget(devb->display, w);
  return std::to_string(w) + (widget ? std::string(" (") + XtName(widget) + ")" : " (not the module's)");
}

using qevtest::Script;

class ToolboxKeyboard : public qevtest::UnderManager {
 protected:
  void SetUp() override {
    UnderManager::SetUp();
    if (HasFatalFailure()) return;
    const std::pair<int, const char *> texts[] = {
        {3, "QEV"}, {12, "OK"}, {10, "Cancel"}, {113, "Saved."}, {114, "Not saved."},
        {120, "Tools of %s.%s.%s %s"}, {124, "Command"}, {130, "Save"}, {136, "Close"},
        {137, "Save the changes?"}, {140, "Tool Editor"}, {151, "QEVUSER"}, {152, "TOOLS"},
        {153, "DEMO"}, {155, "NOSAVE"}, {156, "ALT1"}, {157, "ALT2"}};
    for (auto &t : texts) qevhost::setMessage(526, t.first, t.second);
    for (int i = 0; i < 14; ++i) {
      qevhost::setMessage(526, 742 + i, std::to_string(-1 - i));
      qevhost::setMessage(526, 700 + i, "DMSG 'built-in " + std::to_string(i) + "'");
    }
    qevhost::defineLibrary("QEVUSER");
    auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, nullptr));
    ASSERT_NE(t, nullptr);
    ecmd_ = reinterpret_cast<EcmdFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_ECMD]));
    StoreDemoBox();
    window_ = qevtest::openUserWindow(kKindDisplayManager);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_) wuxfwnd(window_);
    devb->prefs.use_command_combo = False;
    devb->motifres.merged_toolbox = False;
    UnderManager::TearDown();
  }

  // The user's tool box QEVUSER.PROFILE.DEMO: three tools.
  void StoreDemoBox() {
    wu_toolbox *b = AllocateToolBar();
    ASSERT_NE(b, nullptr);
    wu_tool **tail = &b->tools;
    for (int i = 0; i < 3; ++i) {
      auto *t = reinterpret_cast<wu_tool *>(XtCalloc(1, sizeof(wu_tool)));
      t->icon = 2 + i;
      t->command = XtNewString(("DMSG 'tool " + std::to_string(i) + "'").c_str());
      t->box = b;
      *tail = t;
      tail = &t->next;
    }
    b->count = b->per_row = 3;
    b->icon_width = b->icon_height = WU_ICON_BOX_SMALL;
    b->title = XtNewString("demo tools");
    b->own_location = 1;
    char l[8], c[34], e[34];
    qevtest::setLibref(l, qevhost::kProfileLibref);
    qevtest::setName34(c, qevhost::kProfileCatalog);
    qevtest::setName34(e, "DEMO");
    ASSERT_EQ(wumtlsv(b, l, c, e, WU_TB_MEMBER_TYPE), WU_OK);
    wutfbar(nullptr, b);
  }

  // The host's side: a command queued for the window is run, the tool box
  // commands through the window-system command slot as the host hands
  // them back (the Tool Editor with the user's steps `inside` played in
  // it); the others are what reached the host.
  std::vector<std::string> RunHost(Script *inside = nullptr) {
    std::vector<std::string> reached;
    while (wu_event *e = wutdqev(window_)) {
      std::string text = e->text ? std::string(e->text, size_t(e->text_length)) : "";
      const int32_t code = e->code;
      wutrlev(e);
      if (code != WU_EV_COMMAND) continue;
      text.erase(0, text.find_first_not_of("; "));
      while (!text.empty() && (text.back() == ';' || text.back() == ' ')) text.pop_back();
      if (text.rfind("TOOLLOAD WINDOW", 0) == 0) {
        qevhost::setCommand(text.substr(15));
        ecmd_(window_, kToolLoad);
      } else if (text.rfind("TOOLEDIT", 0) == 0) {
        qevhost::setCommand(text.substr(8));
        if (inside) inside->run([&] { ecmd_(window_, kToolEdit); });
        else ecmd_(window_, kToolEdit);
      } else {
        reached.push_back(text);
      }
    }
    return reached;
  }

  void ToolLoad(const std::string &args = "") {
    qevhost::setCommand(args);
    ecmd_(window_, kToolLoad);
  }

  Widget CommandShell() { return wumcwtf() ? XtParent(wumcwtf()) : nullptr; }
  Widget CommandText() { return wumcwtf() ? XtNameToWidget(wumcwtf(), "*ComboText") : nullptr; }
  std::string CommandTextValue() {
    char *v = XmTextGetString(CommandText());
    std::string out = v ? v : "";
    XtFree(v);
    return out;
  }

  Keyboard Now() {
    Keyboard k;
    int revert = 0;
    XGetInputFocus(devb->display, &k.server, &revert);
    k.motif = CommandText() ? XmGetFocusWidget(CommandText()) : nullptr;
    return k;
  }

  // The command window, opened and clicked into as the user does; the
  // keyboard is then where the user typed last.
  Keyboard IntoCommandWindow() {
    if (!wumcwtf()) {
      EXPECT_EQ(wutcwdw(window_), WU_OK);
    }
    EXPECT_TRUE(qevtest::clickHandled(CommandText()));
    if (Mwm()) {
      EXPECT_TRUE(qevtest::turnUntil([&] { return Now().server == XtWindow(CommandShell()); }, kWaitMs))
          << "the click gives the command window the keyboard; it is at " << Describe(Now().server);
    }
    Keyboard k = Now();
    EXPECT_EQ(k.motif, CommandText());
    return k;
  }

  // The merged shell is on the screen, and the window manager has handled
  // its map and the module what came of it.
  void ToolboxShown() {
    wu_merged_box *mb = wumgmbx();
    ASSERT_NE(mb, nullptr);
    ASSERT_NE(mb->shell, nullptr);
    ASSERT_TRUE(qevtest::turnUntil([&] { return qevtest::viewable(mb->shell); }, kWaitMs));
    EXPECT_TRUE(qevtest::settleWithManager());
  }

  // The tool box shows whole and unfolded.
  void ToolboxUnfolded() {
    wu_merged_box *mb = wumgmbx();
    ASSERT_NE(mb, nullptr);
    unsigned char dir = XmARROW_RIGHT;
    XtVaGetValues(mb->tools_arrow, XmNarrowDirection, &dir, nullptr);
    EXPECT_EQ(dir, XmARROW_LEFT) << "the tools part stays shown";
    EXPECT_TRUE(XtIsManaged(mb->rowcol));
  }

  // The keyboard is where it was; the next command typed reaches the host
  // from the command window.
  void KeyboardStayed(const Keyboard &before, const std::string &when) {
    const Keyboard after = Now();
    EXPECT_EQ(after.server, before.server)
        << when << ": the keyboard went to " << Describe(after.server) << " from "
        << Describe(before.server);
    EXPECT_EQ(after.motif, before.motif) << when;
    wu_merged_box *mb = wumgmbx();
    if (mb && mb->shell && XtIsRealized(mb->shell)) {
      EXPECT_NE(after.server, XtWindow(mb->shell)) << when;
    }
    // Without a window manager the keys go where the pointer is: the user
    // is back over the command window.
    if (!Mwm()) {
      int x = 0, y = 0;
      Dimension w = 0, h = 0;
      XtVaGetValues(CommandText(), XmNwidth, &w, XmNheight, &h, nullptr);
      ASSERT_TRUE(qevtest::rootPoint(CommandText(), w / 2, h / 2, &x, &y));
      ASSERT_TRUE(qevtest::moveHandled(CommandText(), w / 2, h / 2));
    }
    const std::string typed = "DMSG 'typed " + when + "'";
    EXPECT_TRUE(qevtest::typeHandled(devb->display, typed));
    EXPECT_TRUE(qevtest::keyHandled(devb->display, XK_Return));
    EXPECT_EQ(RunHost(), std::vector<std::string>{typed}) << when;
    EXPECT_EQ(CommandTextValue(), "") << when;
    ToolboxUnfolded();
  }

  // The user types a command in the command window and presses Return.
  void Type(const std::string &command) {
    EXPECT_TRUE(qevtest::typeHandled(devb->display, command));
    EXPECT_TRUE(qevtest::keyHandled(devb->display, XK_Return));
  }

  EcmdFn ecmd_ = nullptr;
  wu_window *window_ = nullptr;
};

// Counts the merged shell's maps, so that a case knows the box was put on
// the screen again.
void CountMaps(Widget, XtPointer client, XEvent *event, Boolean *) {
  if (event->type == MapNotify) ++*static_cast<int *>(client);
}

TEST_P(ToolboxKeyboard, TheFirstMapAndTOOLLOADTypedInTheCommandWindowLeaveTheKeyboard) {
  // Start-up: the command window has the keyboard when the tool box is
  // first put on the screen.
  const Keyboard before = IntoCommandWindow();
  ToolLoad();
  ToolboxShown();
  KeyboardStayed(before, "first map");
  wu_merged_box *mb = wumgmbx();
  int maps = 0;
  XtAddEventHandler(mb->shell, StructureNotifyMask, False, CountMaps, &maps);

  // TOOLLOAD typed in the command window takes the box off the screen and
  // puts it back with the tools named.
  Type("TOOLLOAD WINDOW QEVUSER.PROFILE.DEMO");
  EXPECT_TRUE(RunHost().empty());
  ToolboxShown();
  EXPECT_GE(maps, 1) << "the box was mapped again";
  ASSERT_NE(wumgmbx()->box, nullptr);
  EXPECT_EQ(wumgmbx()->box->count, 3);
  KeyboardStayed(before, "TOOLLOAD");

  // TOOLCLOSE and a load again.
  maps = 0;
  Type("TOOLLOAD WINDOW QEVUSER.PROFILE.DEMO");
  qevhost::setCommand("");
  ecmd_(window_, kToolClose);
  RunHost();
  ToolLoad();
  ToolboxShown();
  EXPECT_GE(maps, 1);
  KeyboardStayed(before, "TOOLLOAD after TOOLCLOSE");
  XtRemoveEventHandler(wumgmbx()->shell, StructureNotifyMask, False, CountMaps, &maps);
}

// How the user ends the Tool Editor.
enum class Ending { kSave, kAnswer, kClose };

// The steps that end the editor one way, clicked and typed as the user
// does; Save and the answered question save the box where the window's
// box comes from, so the editor asks the host to load it again.
std::vector<Script::Step> EndEditor(Ending how) {
  auto button = [](const char *label) -> Widget {
    Widget ed = Named("Tool Editor");
    if (!ed) return nullptr;
    std::vector<Widget> all;
    qevtest::widgetTree(ed, &all);
    for (Widget w : all)
      if (std::strcmp(XtName(w), "PushButton") == 0 &&
          qevtest::xmStringResource(w, XmNlabelString) == label && XtIsManaged(w))
        return w;
    return nullptr;
  };
  // A button of the editor, once the editor asks nothing.
  auto click = [button](const char *label) -> Script::Step {
    return {label,
            [button, label] {
              Widget w = button(label);
              return !ShownMessage() && w && qevtest::viewable(w);
            },
            [button, label] { EXPECT_TRUE(qevtest::clickHandled(button(label))); }};
  };
  // The message box saying `text`, answered with its first button.
  auto answer = [](const char *text) -> Script::Step {
    return {std::string(text) + " answered",
            [text] {
              Widget m = ShownMessage();
              return m && qevtest::viewable(m) && qevtest::xmStringResource(m, XmNmessageString) == text;
            },
            [] { EXPECT_TRUE(qevtest::clickHandled(XmMessageBoxGetChild(ShownMessage(), XmDIALOG_OK_BUTTON))); }};
  };
  const Script::Step up = {"the editor is up",
                           [] { return Named("Tool Editor") && qevtest::viewable(Named("Tool Editor")); }, nullptr};
  const Script::Step edit = {"the command edited", nullptr, [] {
                               std::vector<Widget> all, fields;
                               qevtest::widgetTree(Named("Tool Editor"), &all);
                               for (Widget w : all)
                                 if (std::strcmp(XtName(w), "TextField") == 0) fields.push_back(w);
                               // The command field follows the tools-per-row field.
                               ASSERT_GT(fields.size(), 1u);
                               EXPECT_TRUE(qevtest::replaceTextHandled(fields[1], "DMSG 'edited'"));
                             }};
  switch (how) {
    case Ending::kSave: return {up, click("Save"), answer("Saved."), click("Close")};
    case Ending::kAnswer:
      return {up, edit, click("Close"), answer("Save the changes?") /* Yes */, answer("Saved.")};
    case Ending::kClose: break;
  }
  return {up, click("Close")};
}

const char *EndingName(Ending how) {
  switch (how) {
    case Ending::kSave: return "the editor's Save";
    case Ending::kAnswer: return "the editor's question answered";
    case Ending::kClose: return "the editor's Close";
  }
  return "";
}

class ToolEditorKeyboard : public ToolboxKeyboard {
 protected:
  // TOOLEDIT typed in the command window; the editor ended `how`, its
  // reload run by the host.
  void EditAndEnd(Ending how) {
    ToolLoad();
    ToolboxShown();
    const Keyboard before = IntoCommandWindow();
    wu_merged_box *mb = wumgmbx();
    int maps = 0;
    XtAddEventHandler(mb->shell, StructureNotifyMask, False, CountMaps, &maps);
    wu_toolbox *const old = window_->toolbox;
    Script steps;
    steps.then(EndEditor(how));
    Type("TOOLEDIT");
    EXPECT_TRUE(RunHost(&steps).empty());
    // A save where the box comes from had the host load it again.
    if (how != Ending::kClose) {
      EXPECT_NE(window_->toolbox, old);
    }
    EXPECT_TRUE(steps.finished()) << "every step of the editor ran";
    EXPECT_EQ(Named("Tool Editor"), nullptr);
    ToolboxShown();
    EXPECT_GE(maps, 1) << "the box was mapped again";
    XtRemoveEventHandler(wumgmbx()->shell, StructureNotifyMask, False, CountMaps, &maps);
    KeyboardStayed(before, EndingName(how));
  }
};

TEST_P(ToolEditorKeyboard, EndedBySave) { EditAndEnd(Ending::kSave); }
TEST_P(ToolEditorKeyboard, EndedByAnsweringItsQuestion) { EditAndEnd(Ending::kAnswer); }
TEST_P(ToolEditorKeyboard, EndedByClose) { EditAndEnd(Ending::kClose); }

// With the command part in the tool box, a click gives the box the
// keyboard, and a command typed there reaches the host; a tool pressed
// sends its command.
TEST_P(ToolboxKeyboard, TheCommandPartTakesTheKeyboardByAClick) {
  devb->motifres.merged_toolbox = True;
  devb->prefs.use_command_combo = True;
  ASSERT_EQ(wutcwdw(window_), WU_OK);
  ToolboxShown();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb->combo, nullptr);
  Widget text = mb->combo->text_w;
  ASSERT_TRUE(qevtest::clickHandled(text));
  if (Mwm()) {
    EXPECT_TRUE(qevtest::turnUntil([&] { return Now().server == XtWindow(mb->shell); }, kWaitMs))
        << "the keyboard is at " << Describe(Now().server);
  }
  EXPECT_EQ(XmGetFocusWidget(text), text);
  Type("DMSG 'from the box'");
  EXPECT_EQ(RunHost(), std::vector<std::string>{"DMSG 'from the box'"});
  ToolboxUnfolded();
  // Mapped again, the box leaves the keyboard where it went when the box
  // was closed.
  qevhost::setCommand("");
  ecmd_(window_, kToolClose);
  EXPECT_TRUE(qevtest::turnUntil([&] { return !qevtest::viewable(mb->shell); }, kWaitMs));
  // Where the window manager put the keyboard once it handled the close.
  EXPECT_TRUE(qevtest::settleWithManager());
  const Keyboard before = Now();
  EXPECT_NE(before.server, XtWindow(mb->shell));
  ToolLoad();
  ToolboxShown();
  EXPECT_EQ(Now().server, before.server) << "the keyboard went to " << Describe(Now().server) << " from "
                                         << Describe(before.server);
  ASSERT_TRUE(qevtest::clickHandled(text));
  Type("DMSG 'again'");
  EXPECT_EQ(RunHost(), std::vector<std::string>{"DMSG 'again'"});
  mb = wumgmbx();
  ASSERT_NE(mb->tools, nullptr);
  ASSERT_TRUE(qevtest::clickHandled(mb->tools->button));
  EXPECT_EQ(RunHost(), std::vector<std::string>{"DMSG 'tool 0'"});
}

QEV_UNDER_BOTH_MANAGERS(ToolboxKeyboard);
QEV_UNDER_BOTH_MANAGERS(ToolEditorKeyboard);

}  // namespace
