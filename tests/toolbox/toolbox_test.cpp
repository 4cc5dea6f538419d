// The window-command dispatcher and the tool box, driven as the host drives
// them: command texts in the stand-in's tokenizer, slot 12, the catalog
// store, the log, the module event queue and what the X server shows.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <functional>
#include <tuple>
#include <string>
#include <vector>

#include "commands/wucmds.h"
#include "frames/wutframe.h"
#include "toolbox/wutbox.h"
#include "modulehost.h"
#include "qev/commands.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "script.h"
#include "textwin/wutwin.h"
#include "child.h"
#include "hostnames.h"
#include "widgettext.h"
#include "xinput.h"
#include "toolsshown.h"
#include "xserver.h"

namespace {

using EcmdFn = wu_status (*)(wu_window *, int32_t);


class Toolbox : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    const std::pair<int, const char *> tool[] = {
        {113, "Tool box"},   {151, "QEVUSER"}, {152, "TOOLS"},   {153, "DEFAULT"}, {155, "NOSAVE"},
        {156, "ALT1"},       {157, "ALT2"},    {442, "%3zTool box %8b.%32b.%s has no tools."},
        {355, "%2zClipped."}, {356, "%2zNothing."}, {358, "Failed."}, {359, "Done."}, {357, "Bad."},
        {293, "UNUSED"}};
    for (auto &m : tool) qevhost::setMessage(526, m.first, m.second);
    // The built-in box: icons, commands, help and tips of 14 tools.
    for (int i = 0; i < 14; ++i) {
      qevhost::setMessage(526, 742 + i, std::to_string(-1 - i));
      qevhost::setMessage(526, 700 + i, "CMD" + std::to_string(i));
      qevhost::setMessage(526, 714 + i, "help " + std::to_string(i));
      qevhost::setMessage(526, 728 + i, "tip " + std::to_string(i));
    }
    qevhost::setMessage(524, 124, "ON");
    qevhost::setMessage(524, 125, "OFF");
    qevhost::defineLibrary("QEVUSER");
    qevhost::defineLibrary("TESTLIB");
    int32_t count = 0;
    auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &count));
    ASSERT_NE(t, nullptr);
    ecmd_ = reinterpret_cast<EcmdFn>(reinterpret_cast<void (*)(void)>(t->slots[WUX_SLOT_ECMD]));
    ASSERT_NE(ecmd_, nullptr);
    window_ = Window(1);
  }
  void TearDown() override {
    for (wu_window *w : windows_) wuxfwnd(w);
    qevtest::stopModule();
  }
  wu_window *Window(int32_t kind, bool realise = true) {
    wu_window *w = nullptr;
    EXPECT_EQ(wuxgwnd(&w, kind, 0), WU_OK);
    wu_pane *p = nullptr;
    wuxgpan(w, &p, 1, 1, 5, WU_FULL_WIDTH, 0);
    w->module_flags |= WU_WMOD_LISTED;
    if (realise) wuxiwnd(w);
    wu_module()->current = w;
    windows_.push_back(w);
    return w;
  }
  wu_status Cmd(int32_t code, const std::string &args = "", wu_window *w = nullptr) {
    qevhost::setCommand(args);
    qevhost::clearShownMessages();
    return ecmd_(w ? w : window_, code);
  }
  bool Shown(int32_t set, int32_t number) {
    for (auto &m : qevhost::shownMessages())
      if (m.set == set && m.number == number) return true;
    return false;
  }
  std::vector<std::string> Queued(wu_window *w = nullptr) {
    std::vector<std::string> out;
    while (wu_event *e = wutdqev(w ? w : window_)) {
      out.push_back(e->text ? std::string(e->text, size_t(e->text_length)) : "");
      wutrlev(e);
    }
    return out;
  }
  // The log lines after the first that holds `from`.
  std::vector<std::string> LogFrom(const std::string &from) {
    std::vector<std::string> out;
    bool on = false;
    for (auto &l : qevhost::log()) {
      if (l.find(from) != std::string::npos) on = true;
      if (on) out.push_back(l);
    }
    return out;
  }
  // What the module asked of the server and of a window manager is done
  // and what came of it dispatched.
  void Settle() { EXPECT_TRUE(qevtest::settleWithManager()); }
  // Lets `ms` go by with the module's event loop turning: for what must
  // not happen, or not yet, within a time (a tip's delay).
  void Dwell(int ms) {
    XSync(devb->display, False);
    qevtest::turnUntil([] { return false; }, ms);
  }
  wu_toolbox *MakeBox(int n) {
    wu_toolbox *b = AllocateToolBar();
    wu_tool **tail = &b->tools;
    for (int i = 0; i < n; ++i) {
      auto *t = reinterpret_cast<wu_tool *>(XtCalloc(1, sizeof(wu_tool)));
      t->icon = i == 1 ? WU_TB_SEPARATOR_ICON : 1 + i;
      t->command = XtNewString(("CMD" + std::to_string(i)).c_str());
      t->tip = XtNewString(("tip " + std::to_string(i)).c_str());
      t->help = XtNewString("it's help");
      t->command_id = 100 + i;
      t->second = -7;
      t->box = b;
      *tail = t;
      tail = &t->next;
    }
    b->count = n;
    b->per_row = n;
    b->icon_width = b->icon_height = 24;
    b->title = XtNewString("Mine");
    b->x = 40;
    b->y = 50;
    b->save_position = 1;
    b->own_location = 1;
    return b;
  }
  void Loc(const std::string &lib, const std::string &cat, const std::string &entry) {
    qevtest::setLibref(lib_, lib);
    qevtest::setName34(cat_, cat);
    qevtest::setName34(entry_, entry);
  }
  EcmdFn ecmd_ = nullptr;
  wu_window *window_ = nullptr;
  std::vector<wu_window *> windows_;
  char lib_[8], cat_[34], entry_[34];
};

bool Viewable(Widget w);

TEST_F(Toolbox, CodesOutsideTheTableAndUnassignedAreNotHandled) {
  for (int32_t code : {0, 30, 114, 50, 61, 62, 68, 79, 100, 107}) EXPECT_EQ(Cmd(code), WU_NOTAVAIL) << code;
  EXPECT_TRUE(qevhost::shownMessages().empty());
  EXPECT_EQ(Cmd(WU_CMD_TOOLSWITCH), WU_OK);
  EXPECT_TRUE(Shown(524, 8));
  for (int32_t code : {46, 47, 55, 60, 73, 75}) {
    EXPECT_EQ(Cmd(code), WU_OK);
    EXPECT_TRUE(Shown(524, 8)) << code;
  }
  // A window the module never handed out is not read.
  wu_window fake = {};
  EXPECT_EQ(ecmd_(&fake, 63), WU_NOTAVAIL);
}

TEST_F(Toolbox, EditCommandsFollowTheWindowKind) {
  EXPECT_EQ(Cmd(WU_CMD_WCOPY), WU_OK);
  EXPECT_EQ(Queued(), std::vector<std::string>{"STORE"});
  window_->kind = 47;
  Cmd(WU_CMD_WCOPY);
  Cmd(WU_CMD_WCUT);
  EXPECT_EQ(Queued(), (std::vector<std::string>{"GSTORE", "GSTORE;DELETE"}));
  Cmd(WU_CMD_WUNDO);
  EXPECT_TRUE(Shown(524, 136));
  EXPECT_TRUE(Queued().empty());
  window_->kind = 73;
  Cmd(WU_CMD_WCOPY);
  Cmd(WU_CMD_WPASTE);
  Cmd(WU_CMD_WUNDO);
  EXPECT_EQ(Queued(), (std::vector<std::string>{"IGEMOVE", "IGEPCLPB", "UNDO"}));
  window_->kind = -2;
  Cmd(WU_CMD_WCUT);
  EXPECT_EQ(Queued(), std::vector<std::string>{"IGECCLPB"});
}

TEST_F(Toolbox, AutosaveKeepsOneTimerAndRefusesBadIntervals) {
  devb->autosave_interval = 0;
  EXPECT_EQ(Cmd(WU_CMD_WAUTOSAVE, "ON"), WU_OK);
  EXPECT_TRUE(Shown(524, 158));   // no stored interval yet
  EXPECT_EQ(devb->autosave_id, XtIntervalId(0));
  Cmd(WU_CMD_WAUTOSAVE, "INTERVAL=5");
  EXPECT_FALSE(Shown(524, 158));
  EXPECT_NE(devb->autosave_id, XtIntervalId(0));
  EXPECT_EQ(devb->autosave_interval, 5);
  const XtIntervalId before = devb->autosave_id;
  for (const char *bad : {"INTERVAL=0", "INTERVAL=61", "INTERVAL 5", "INTERVAL="}) {
    Cmd(WU_CMD_WAUTOSAVE, bad);
    EXPECT_TRUE(Shown(524, 158)) << bad;
    EXPECT_EQ(devb->autosave_id, before) << bad;
    EXPECT_EQ(devb->autosave_interval, 5);
  }
  Cmd(WU_CMD_WAUTOSAVE, "SOMETIMES");
  EXPECT_TRUE(Shown(524, 159));
  EXPECT_EQ(devb->autosave_id, before);
  Cmd(WU_CMD_WAUTOSAVE, "off");
  EXPECT_EQ(devb->autosave_id, XtIntervalId(0));
  EXPECT_FALSE(devb->autosave_on);
  Cmd(WU_CMD_WAUTOSAVE, "");
  EXPECT_TRUE(devb->autosave_on);
  EXPECT_NE(devb->autosave_id, XtIntervalId(0));
}

TEST_F(Toolbox, FontResourceDumpAndBrowse) {
  Cmd(WU_CMD_SETPNXFONT, "'-Misc-Fixed-Medium-R-Normal--13-120-75-75-C-70-ISO8859-1'");
  ASSERT_NE(devb->bold_font, nullptr);
  unsigned long atom = 0;
  ASSERT_TRUE(XGetFontProperty(devb->bold_font, XA_FONT, &atom));
  char *name = XGetAtomName(devb->display, Atom(atom));
  std::string bold = name;
  XFree(name);
  for (char &c : bold) c = char(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(bold.find("-bold-"), std::string::npos) << bold;
  qevhost::clearLog();
  Cmd(WU_CMD_XRESDUMP, "nosuchresource");
  auto lines = LogFrom("Start of DLGXRESDUMP Output.");
  ASSERT_GE(lines.size(), 4u);
  EXPECT_TRUE(qevtest::logContains("Unknown X-resource 'QEV.nosuchresource'"));
  EXPECT_EQ(lines.back(), "End of DLGXRESDUMP Output.");
  // The browser named in BROWSER is started with the address given.
  char dir[] = "/tmp/qevbrowseXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string script = std::string(dir) + "/browser", opened = std::string(dir) + "/opened";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\nprintf '%s' \"$1\" > " << opened << ".part && mv " << opened << ".part "
        << opened << "\n";
  }
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  const char *old_browser = std::getenv("BROWSER");
  const std::string kept = old_browser ? old_browser : "";
  setenv("BROWSER", script.c_str(), 1);
  auto openedAddress = [&] {
    std::string text;
    qevtest::turnUntil([&] { return access(opened.c_str(), F_OK) == 0; }, 3000);
    std::ifstream in(opened);
    std::getline(in, text);
    std::remove(opened.c_str());
    return text;
  };
  EXPECT_EQ(Cmd(WU_CMD_WBROWSE, "'https://example.org/a?b=c'"), WU_OK);
  EXPECT_EQ(openedAddress(), "https://example.org/a?b=c");
  // No address: the default page.
  Cmd(WU_CMD_WBROWSE);
  EXPECT_EQ(openedAddress(), "https://www.example.com/");
  // An address is never cut: too long rings the bell and opens nothing.
  EXPECT_EQ(Cmd(WU_CMD_WBROWSE, "'" + std::string(300, 'a') + "'"), WU_OK);
  EXPECT_EQ(qevhost::commandsConsumed() > 0, true);
  Dwell(300);
  EXPECT_NE(access(opened.c_str(), F_OK), 0) << "a cut address was opened";
  if (old_browser) setenv("BROWSER", kept.c_str(), 1);
  else unsetenv("BROWSER");
  std::remove(script.c_str());
  rmdir(dir);
}

TEST_F(Toolbox, PrintModesMatchAbbreviations) {
  // The host's two excluded-item lists: the menus rebuilt after a change of
  // the printing choice leave out the items of the list of that choice.
  static int32_t dialog_items[] = {101, 102}, graph_items[] = {201};
  wu_state *s = wu_module();
  s->excluded_lists[0] = dialog_items;
  s->excluded_counts[0] = 2;
  s->excluded_lists[1] = graph_items;
  s->excluded_counts[1] = 1;
  devb->prefs.host_print = False;
  Cmd(WU_CMD_PRTMODE, "NORM");
  EXPECT_TRUE(devb->prefs.host_print);
  EXPECT_EQ(Queued(), std::vector<std::string>{"WPMENU;WPMENU"});
  EXPECT_EQ(s->excluded, dialog_items);
  EXPECT_EQ(s->excluded_count, 2);
  wu_status st = WU_OK;
  EXPECT_EQ(yw7bget("HOSTPRINT", &st), 1);
  Cmd(WU_CMD_PRTMODE, "GRAPH");
  EXPECT_FALSE(devb->prefs.host_print);
  EXPECT_EQ(Queued(), std::vector<std::string>{"WPMENU;WPMENU"});
  EXPECT_EQ(s->excluded, graph_items);
  EXPECT_EQ(s->excluded_count, 1);
  Cmd(WU_CMD_PRTMODE, "HOST");
  EXPECT_EQ(Queued(), std::vector<std::string>{"WPMENU;WPMENU"});
  EXPECT_EQ(s->excluded, dialog_items);
  s->excluded_lists[0] = s->excluded_lists[1] = nullptr;
  s->excluded = nullptr;
  s->excluded_count = s->excluded_counts[0] = s->excluded_counts[1] = 0;
  Cmd(WU_CMD_PRTMODE, "ZZZ");
  EXPECT_TRUE(Shown(608, 147));
  Cmd(WU_CMD_PRTMODE, "");
  EXPECT_TRUE(Shown(608, 147));
  // Preview without the print engine: logged, and the busy cursor is gone.
  devb->prefs.host_print = True;
  Cmd(WU_CMD_PRTMODE, "PREV");
  EXPECT_EQ(devb->busy_depth, 0);
}

TEST_F(Toolbox, EntriesRoundTripByteForByte) {
  wu_toolbox *b = MakeBox(3);
  XtFree(b->tools->tip);
  b->tools->tip = XtNewString(std::string(199, 't').c_str());
  XtFree(b->tools->next->next->command);
  b->tools->next->next->command = XtNewString(std::string(250, 'c').c_str());
  Loc("TESTLIB", "CAT", "ONE");
  ASSERT_EQ(wumtlsv(b, lib_, cat_, entry_, "TOOLBOX"), WU_OK);
  wu_toolbox *r = wumtlcl(lib_, cat_, entry_, "TOOLBOX");
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->title, "Mine");
  EXPECT_EQ(r->count, 3);
  EXPECT_EQ(r->per_row, 3);
  EXPECT_EQ(r->x, 40);
  EXPECT_EQ(r->y, 50);
  EXPECT_EQ(r->icon_width, 24);
  EXPECT_EQ(r->load_default, 1);
  EXPECT_EQ(qevtest::name34(r->entry), "ONE");
  wu_tool *t = r->tools;
  EXPECT_EQ(std::string(t->tip), std::string(199, 't'));
  EXPECT_EQ(t->command_id, 100);
  EXPECT_EQ(t->second, -7);
  EXPECT_STREQ(t->help, "it's help");
  EXPECT_EQ(t->next->icon, WU_TB_SEPARATOR_ICON);
  EXPECT_EQ(std::string(t->next->next->command), std::string(199, 'c'));
  wutfbar(nullptr, r);

  // A number that needs more than 8 characters refuses the box; the old
  // entry stays as it was.
  b->tools->icon = 123456789;
  EXPECT_EQ(wumtlsv(b, lib_, cat_, entry_, "TOOLBOX"), WU_NOTAVAIL);
  r = wumtlcl(lib_, cat_, entry_, "TOOLBOX");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->tools->icon, 1);
  wutfbar(nullptr, r);
  // A read-only library refuses the write; the old entry stays.
  b->tools->icon = 5;
  qevhost::setLibraryReadOnly("TESTLIB", true);
  EXPECT_EQ(wumtlsv(b, lib_, cat_, entry_, "TOOLBOX"), WU_NOTAVAIL);
  qevhost::setLibraryReadOnly("TESTLIB", false);
  r = wumtlcl(lib_, cat_, entry_, "TOOLBOX");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->tools->icon, 1);
  wutfbar(nullptr, r);
  wutfbar(nullptr, b);
  // Missing parts of the location: nothing read.
  Loc("TESTLIB", "", "ONE");
  EXPECT_EQ(wumtlcl(lib_, cat_, entry_, "TOOLBOX"), nullptr);
}

// The save-position byte of a stored box is read with it (TOOLLOAD; the dump
// shows it) and written back as it was when the box is released (TOOLCLOSE).
TEST_F(Toolbox, SavePositionIsReadAndWrittenBack) {
  Loc("TESTLIB", "CAT", "POS");
  for (uint8_t save : {1, 0}) {
    SCOPED_TRACE(int(save));
    wu_toolbox_header h = {};
    h.per_row = h.tool_count = 1;
    h.icon_width = h.icon_height = 24;
    h.save_position = save;
    qev_lib *lib = nullptr;
    qev_member *m = nullptr;
    ASSERT_EQ(yucwhdr(lib_, cat_, entry_, &lib, &m, &h), WU_OK);
    wu_tool_record t = {};
    std::memcpy(t.icon, "5", 1);
    std::memcpy(t.command, "ONE", 3);
    ASSERT_EQ(yucwtol(m, &t), WU_OK);
    ylmclos(m, 0);
    ylclose(lib);
    Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.POS");
    Settle();
    qevhost::clearLog();
    Cmd(WU_CMD_TOOLDUMP);
    EXPECT_TRUE(qevtest::logContains(save ? "Save Screen Position : True"
                                          : "Save Screen Position : False"));
    h = {};
    h.save_position = uint8_t(!save);
    Cmd(WU_CMD_TOOLCLOSE);
    ASSERT_EQ(yucrhdr(lib_, cat_, entry_, &lib, &m, &h), WU_OK);
    ylmclos(m, 0);
    ylclose(lib);
    EXPECT_EQ(h.save_position, save);
    EXPECT_EQ(h.load_default, 1);   // written back, not left as stored
  }
}

TEST_F(Toolbox, ReaderSkipsExtensionsAndRefusesBoxesWithoutTools) {
  Loc("TESTLIB", "CAT", "EXT");
  wu_toolbox_header h = {};
  h.tool_count = 2;
  h.per_row = 2;
  h.icon_width = 17;
  h.icon_height = 17;
  h.large_icons = 1;
  std::memcpy(h.title, std::string(200, 'T').data(), 200);   // no terminator
  qev_lib *lib = nullptr;
  qev_member *m = nullptr;
  ASSERT_EQ(yucwhdr(lib_, cat_, entry_, &lib, &m, &h), WU_OK);
  wu_tool_record t = {};
  std::memcpy(t.icon, "5", 1);
  std::memcpy(t.command, "ONE", 3);
  t.ext_type = 2;
  std::memcpy(t.ext_size, "12", 2);
  ASSERT_EQ(yucwtol(m, &t), WU_OK);
  ASSERT_EQ(ylmwrit(m, "extension!!!", 12, 9), WU_OK);
  wu_tool_record t2 = {};
  std::memcpy(t2.icon, "-20", 3);
  std::memcpy(t2.command, "TWO", 3);
  ASSERT_EQ(yucwtol(m, &t2), WU_OK);
  ylmclos(m, 0);
  ylclose(lib);
  qevhost::clearLog();
  wu_toolbox *r = wumtlcl(lib_, cat_, entry_, "TOOLBOX");
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(qevtest::logContains("PC BMP tools cannot be read."));
  EXPECT_EQ(r->icon_width, 48);
  EXPECT_EQ(std::string(r->title), std::string(199, 'T'));
  ASSERT_NE(r->tools->next, nullptr);
  EXPECT_STREQ(r->tools->next->command, "TWO");
  EXPECT_EQ(r->tools->next->icon, -20);
  wutfbar(nullptr, r);

  // Separators only: refused with the location in the log.
  Loc("TESTLIB", "CAT", "SEPS");
  h = {};
  h.tool_count = 1;
  ASSERT_EQ(yucwhdr(lib_, cat_, entry_, &lib, &m, &h), WU_OK);
  t = {};
  std::memcpy(t.icon, "-999", 4);
  ASSERT_EQ(yucwtol(m, &t), WU_OK);
  ylmclos(m, 0);
  ylclose(lib);
  EXPECT_EQ(wumtlcl(lib_, cat_, entry_, "TOOLBOX"), nullptr);
  EXPECT_TRUE(qevtest::logContains("has no tools"));
  // A header counting more tools than stored: the partial box is freed.
  Loc("TESTLIB", "CAT", "SHORT");
  h.tool_count = 3;
  ASSERT_EQ(yucwhdr(lib_, cat_, entry_, &lib, &m, &h), WU_OK);
  std::memcpy(t.icon, "7\0\0\0", 4);
  ASSERT_EQ(yucwtol(m, &t), WU_OK);
  ylmclos(m, 0);
  ylclose(lib);
  const int32_t before = wu_reg_count(WU_REG_TOOLBOX);
  EXPECT_EQ(wumtlcl(lib_, cat_, entry_, "TOOLBOX"), nullptr);
  EXPECT_EQ(wu_reg_count(WU_REG_TOOLBOX), before);
  // A tool announcing an extension record the entry does not hold: the
  // catalog cannot pass over it and the whole box is refused.
  Loc("TESTLIB", "CAT", "DAMAGED");
  h.tool_count = 2;
  ASSERT_EQ(yucwhdr(lib_, cat_, entry_, &lib, &m, &h), WU_OK);
  t = {};
  std::memcpy(t.icon, "5", 1);
  std::memcpy(t.command, "ONE", 3);
  ASSERT_EQ(yucwtol(m, &t), WU_OK);
  t2.ext_type = 2;
  std::memcpy(t2.ext_size, "12", 2);
  ASSERT_EQ(yucwtol(m, &t2), WU_OK);
  ylmclos(m, 0);
  ylclose(lib);
  EXPECT_EQ(wumtlcl(lib_, cat_, entry_, "TOOLBOX"), nullptr);
  EXPECT_EQ(wu_reg_count(WU_REG_TOOLBOX), before);
}

TEST_F(Toolbox, LoadShowsTheMergedBoxAndToolsQueueTheirCommands) {
  // Nothing stored: the display-manager window gets the built-in box.
  qevhost::setMessage(526, 713, "");   // the last built-in tool has no command
  Loc("TESTLIB", "CAT", "NONE");
  EXPECT_EQ(Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.NONE"), WU_OK);
  EXPECT_TRUE(Shown(526, 112));
  EXPECT_EQ(window_->toolbox, nullptr);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT");
  EXPECT_TRUE(Shown(526, 111));
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB." + std::string(40, 'C') + ".E");
  EXPECT_TRUE(Shown(526, 679));
  // A catalog or entry name holds 32 characters: 32 are looked up and
  // found missing, 33 are too long.
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB." + std::string(32, 'C') + ".E");
  EXPECT_TRUE(Shown(526, 112));
  EXPECT_FALSE(Shown(526, 679));
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB." + std::string(33, 'C') + ".E");
  EXPECT_TRUE(Shown(526, 679));
  EXPECT_FALSE(Shown(526, 112));
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT." + std::string(32, 'E'));
  EXPECT_TRUE(Shown(526, 112));
  EXPECT_FALSE(Shown(526, 679));
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT." + std::string(33, 'E'));
  EXPECT_TRUE(Shown(526, 679));
  EXPECT_FALSE(Shown(526, 112));
  Cmd(WU_CMD_TOOLLOAD, "BAR");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  ASSERT_NE(mb->shell, nullptr);
  EXPECT_STREQ(XtName(mb->shell), "qev");
  ASSERT_NE(window_->toolbox, nullptr);
  EXPECT_EQ(window_->toolbox->count, 14);
  Widget b0 = mb->tools->button;
  ASSERT_NE(b0, nullptr);
  EXPECT_STREQ(XtName(b0), "CMD0");
  wu_tool *last = mb->tools;
  while (last->next) last = last->next;
  EXPECT_STREQ(XtName(last->button), "tool");
  EXPECT_TRUE(XtIsManaged(b0));
  // Activation queues the tool's command for its window.
  Queued();
  EXPECT_TRUE(qevtest::clickHandled(b0));
  EXPECT_EQ(Queued(), std::vector<std::string>{"CMD0"});
  // "#" sends to the current window.
  wu_window *other = Window(1);
  wu_module()->current = other;
  mb->tools->window = window_;
  XtFree(mb->tools->command);
  mb->tools->command = XtNewString("#LIBASSIGN");
  EXPECT_TRUE(qevtest::clickHandled(b0));
  EXPECT_EQ(Queued(other), std::vector<std::string>{"LIBASSIGN"});
  EXPECT_TRUE(Queued().empty());
  // A second load says it is loaded.
  wu_module()->current = window_;
  Cmd(WU_CMD_TOOLLOAD, "");
  EXPECT_TRUE(Shown(524, 131));
}

TEST_F(Toolbox, DumpsLineForLine) {
  Cmd(WU_CMD_TOOLDUMP);
  EXPECT_TRUE(qevtest::logContains("**** Merging TOOLBOX hasn't been created yet ****"));
  // Closed before it was ever built: the dump says it is off, and a load
  // builds and opens it.
  qevhost::clearLog();
  Cmd(WU_CMD_TOOLCLOSE);
  EXPECT_FALSE(devb->prefs.default_toolbox);
  Cmd(WU_CMD_TOOLDUMP);
  EXPECT_TRUE(qevtest::logContains("****  The Merging TOOLBOX is now OFF   ****"));
  EXPECT_FALSE(qevtest::logContains("hasn't been created yet"));
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  ASSERT_NE(wumgmbx(), nullptr);
  EXPECT_NE(wumgmbx()->shell, nullptr);
  EXPECT_FALSE(wumgmbx()->closed);
  EXPECT_TRUE(Viewable(wumgmbx()->shell));
  wu_toolbox *b = MakeBox(3);
  Loc("TESTLIB", "CAT", "DUMP");
  ASSERT_EQ(wumtlsv(b, lib_, cat_, entry_, "TOOLBOX"), WU_OK);
  wutfbar(nullptr, b);
  qevhost::clearLog();
  Cmd(WU_CMD_TOOLDUMP2, "TESTLIB.CAT.DUMP");
  auto lines = LogFrom("PROC TOOLBAR;");
  const std::vector<std::string> want = {
      "PROC TOOLBAR;", "BAR C=TESTLIB .CAT                             .DUMP                            .TOOLBOX ;",
      "  ", "ITEM X0", "COMMAND='CMD0'", "HELP='it''s help'", "TIP='tip 0'", "ICON=1", "ID=100;",
      "  ", "SEPARATOR;",
      "  ", "ITEM X1", "COMMAND='CMD2'", "HELP='it''s help'", "TIP='tip 2'", "ICON=3", "ID=102;",
      "  ", "RUN;QUIT;"};
  EXPECT_EQ(lines, want);
  qevhost::clearLog();
  Cmd(WU_CMD_TOOLDUMP2, "TESTLIB.CAT.MISSING");
  EXPECT_EQ(LogFrom("Unable to dump"),
            (std::vector<std::string>{"Unable to dump the requested TOOLBOX.", "  ", "RUN;QUIT;"}));
  // After a close the dump stops at the "now OFF" line.
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.DUMP");
  Settle();
  Cmd(WU_CMD_TOOLCLOSE);
  qevhost::clearLog();
  Cmd(WU_CMD_TOOLDUMP);
  auto dump = LogFrom("Start of TOOLDUMP Output.");
  ASSERT_EQ(dump.size(), 15u);
  EXPECT_EQ(dump[4], "     QEV.mergeToolBoxes     : True");
  EXPECT_EQ(dump[11], "****  The Merging TOOLBOX is now OFF   ****");
  EXPECT_EQ(dump[13], "End of TOOLDUMP Output.");
  Cmd(WU_CMD_TOOLCLOSE);
  EXPECT_TRUE(Shown(524, 132));
}

TEST_F(Toolbox, TipsToggleAndShowAfterTheDelay) {
  devb->prefs.use_toolbox_tips = True;
  Cmd(WU_CMD_TOOLTIPS);
  EXPECT_TRUE(Shown(524, 127));
  EXPECT_FALSE(devb->prefs.use_toolbox_tips);
  Cmd(WU_CMD_TOOLTIPS);
  EXPECT_TRUE(Shown(524, 126));
  Cmd(WU_CMD_TOOLTIPS, "off");
  EXPECT_FALSE(devb->prefs.use_toolbox_tips);
  Cmd(WU_CMD_TOOLTIPS, "ON");
  EXPECT_TRUE(devb->prefs.use_toolbox_tips);

  qevhost::setMessage(526, 730, "");   // the third built-in tool has no tip
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  devb->prefs.toolbox_tip_delay = 400;
  std::vector<wu_tool *> tools;
  for (wu_tool *t = mb->tools; t; t = t->next)
    if (t->button && XtIsManaged(t->button)) tools.push_back(t);
  ASSERT_GE(tools.size(), 4u);
  ASSERT_TRUE(tools[2]->tip == nullptr || !tools[2]->tip[0]);
  auto tipText = [&] { return qevtest::xmStringResource(mb->tip_label, XmNlabelString); };
  auto moveTo = [&](Widget w) {
    Position x = 0, y = 0;
    Dimension bw = 0, bh = 0;
    XtVaGetValues(w, XmNwidth, &bw, XmNheight, &bh, nullptr);
    XtTranslateCoords(w, Position(bw / 2), Position(bh / 2), &x, &y);
    XTestFakeMotionEvent(devb->display, -1, x, y, CurrentTime);
    XFlush(devb->display);
  };
  auto shown = [&] { return mb->tip_shown && Viewable(mb->tip_shell); };
  // Resting on a tool: nothing before the delay, then its tip below it.
  moveTo(tools[0]->button);
  Dwell(150);
  EXPECT_FALSE(shown()) << "no tip before the delay";
  ASSERT_TRUE(qevtest::turnUntil(shown, 2000));
  EXPECT_EQ(tipText(), "tip 0");
  Position bx, by, tx, ty;
  XtTranslateCoords(tools[0]->button, 0, 0, &bx, &by);
  XtVaGetValues(mb->tip_shell, XmNx, &tx, XmNy, &ty, nullptr);
  EXPECT_GT(ty, by);
  // Moving on within the grace period shows the next tip at once.
  moveTo(tools[1]->button);
  qevtest::turnUntil([&] { return shown() && tipText() == "tip 1"; }, 300);   // well before the delay
  EXPECT_TRUE(shown());
  EXPECT_EQ(tipText(), "tip 1");
  // A tool without a tip in the grace period shows nothing and uses the
  // period up: after a pause, the next tool waits for the delay again.
  moveTo(tools[2]->button);
  Dwell(60);
  EXPECT_FALSE(shown());
  Dwell(600);
  moveTo(tools[3]->button);
  Dwell(150);
  EXPECT_FALSE(shown()) << "the grace period ended with the tool without a tip";
  EXPECT_TRUE(qevtest::turnUntil(shown, 2000));
  EXPECT_EQ(tipText(), "tip 3");
  // Leaving a tool before the delay, once the grace period after tip 3 is
  // over: its tip never shows, and no grace period follows for the next.
  moveTo(mb->tools_arrow);
  Dwell(600);
  EXPECT_FALSE(shown());
  moveTo(tools[0]->button);
  Dwell(60);
  moveTo(mb->tools_arrow);
  Dwell(600);
  EXPECT_FALSE(shown()) << "the tip of a tool left before the delay";
  moveTo(tools[0]->button);
  Dwell(60);
  moveTo(tools[1]->button);
  Dwell(150);
  EXPECT_FALSE(shown()) << "a grace period after a tip that never showed";
  EXPECT_TRUE(qevtest::turnUntil(shown, 2000));
  EXPECT_EQ(tipText(), "tip 1");
}

TEST_F(Toolbox, FileCommandsRefuseBadSyntaxAndKinds) {
  const std::pair<int, const char *> keys[] = {
      {37, "REPLACE"}, {38, "SUBMIT"}, {39, "NOSUBMIT"}, {40, "FILTER"}, {41, "IMPORT"},
      {42, "ANY"},     {43, "CHECK"},  {44, "EXPORT"},   {45, "KEEP"},   {47, "Save as"},
      {48, "Open"},    {55, "FILE"},   {56, "INCLUDE"},  {57, "APPEND"}, {58, "*.txt"},
      {59, "*.c"},     {60, "UNUSED"}, {68, "*.txt"},    {69, "Text files"}, {70, "UNUSED"}};
  Cmd(WU_CMD_DLGOPEN, "FILTER=");
  EXPECT_TRUE(Shown(524, 35));   // texts missing
  for (auto &k : keys) qevhost::setMessage(524, k.first, k.second);
  Cmd(WU_CMD_DLGOPEN, "BOGUS");
  EXPECT_TRUE(Shown(524, 35));
  Cmd(WU_CMD_DLGSAVE, "FILTER");
  EXPECT_TRUE(Shown(524, 36));
  window_->kind = 1;
  Cmd(WU_CMD_DLGSAVE, "CHECK");
  EXPECT_TRUE(Shown(524, 135));
  Cmd(WU_CMD_DLGOPEN, "CHECK");
  EXPECT_TRUE(Shown(524, 134));
  EXPECT_TRUE(Queued().empty());
  // Filters and their descriptions.
  struct {
    int32_t count;
    struct { int32_t length; const char *text; } p[25];
  } list = {};
  EXPECT_EQ(GrabFilters(&list, "*.a   *.b *.c"), 3);
  EXPECT_EQ(std::string(list.p[2].text, size_t(list.p[2].length)), "*.c");
  auto *d = static_cast<decltype(&list)>(wumdflt(5));
  EXPECT_EQ(d->count, 2);
  char *desc = wumhflt("*.TXT");
  ASSERT_NE(desc, nullptr);
  EXPECT_STREQ(desc, "Text files");
  wumfree(desc);
  EXPECT_EQ(wumhflt("*.none"), nullptr);
}

TEST_F(Toolbox, ScreenDumpsThroughTheConverter) {
  Settle();
  std::string path = qevhost::dataDir() + "/shot.gif";
  Cmd(WU_CMD_DLGSCRDUMP, "'" + path + "' 'size=3'");
  EXPECT_TRUE(Shown(526, 357));
  Cmd(WU_CMD_DLGSCRDUMP, "'" + std::string(250, 'p') + "'");
  EXPECT_TRUE(Shown(526, 357));
  Cmd(WU_CMD_DLGSCRDUMP, "'" + path + "'");
  EXPECT_TRUE(Shown(526, 358));   // no converter
  qevhost::installImageConverter(true);
  Cmd(WU_CMD_DLGSCRDUMP, "'" + path + "' 'format=png'");
  EXPECT_TRUE(Shown(526, 359));
  auto calls = qevhost::converterCalls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[1], "open flag");
  EXPECT_EQ(calls[2], "set 9302 1");
  EXPECT_EQ(calls[3], "set 4020 2 " + path + " format=png");
  std::ifstream f(path);
  std::string format;
  f >> format;
  EXPECT_EQ(format, "format=png");
  EXPECT_EQ(devb->busy_depth, 0);
  // A window half off the left edge: only the visible part, and a note.
  XMoveWindow(devb->display, XtWindow(window_->outer), -50, 10);
  Settle();
  qevhost::clearLog();
  Cmd(WU_CMD_DLGSCRDUMP, "'" + path + "'");
  EXPECT_TRUE(qevtest::logContains("Clipped."));
  qevhost::installImageConverter(false);
}

}  // namespace

namespace {

bool Viewable(Widget w) {
  XWindowAttributes a;
  return XtIsRealized(w) && XGetWindowAttributes(XtDisplay(w), XtWindow(w), &a) &&
         a.map_state == IsViewable;
}

TEST_F(Toolbox, WindowsStayUnmappedWhileAsked) {
  EXPECT_EQ(Cmd(WU_CMD_UNMAPPED_ON), WU_OK);
  wu_window *hidden = Window(2);
  Settle();
  EXPECT_FALSE(Viewable(hidden->outer));
  EXPECT_EQ(Cmd(WU_CMD_UNMAPPED_OFF), WU_OK);
  wu_window *shown = Window(2);
  qevtest::turnUntil([&] { return Viewable(shown->outer); }, 2000);
  EXPECT_TRUE(Viewable(shown->outer));
}

TEST_F(Toolbox, ButtonsFollowGrayingBusyAndTheGlobalCommandRule) {
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  wu_state *s = wu_module();
  ASSERT_NE(s->global_toolbox, nullptr);
  wu_tool *help = s->global_toolbox->tools;
  wu_tool *submit = help->next;
  XtFree(help->command);
  help->command = XtNewString("help index");
  help->command_id = 5;
  XtFree(submit->command);
  submit->command = XtNewString("SUBMIT");
  submit->command_id = 6;
  // A window that is not a display-manager window shows the global box:
  // only global commands stay sensitive.
  wu_window *editor = Window(2);
  editor->module_flags |= WU_WMOD_QUIET_LOAD;   // its own box is not looked for loudly
  wumnbar(editor);
  Settle();
  EXPECT_EQ(mb->window, editor);
  EXPECT_TRUE(XtIsSensitive(help->button));
  EXPECT_FALSE(XtIsSensitive(submit->button));
  // No button is rebuilt for the switch.
  EXPECT_EQ(mb->tools, s->global_toolbox->tools);
  wumnbar(window_);
  EXPECT_TRUE(XtIsSensitive(submit->button));
  // While the module is busy a press only rings the bell.
  s->current = window_;
  Queued();
  s->busy = 1;
  EXPECT_TRUE(qevtest::clickHandled(help->button));
  EXPECT_TRUE(Queued().empty());
  s->busy = 0;
  // A window that takes no tool commands now gets none.
  window_->flags |= WU_WIN_NO_TOOL_COMMANDS;
  EXPECT_TRUE(qevtest::clickHandled(help->button));
  EXPECT_TRUE(Queued().empty());
  window_->flags &= ~WU_WIN_NO_TOOL_COMMANDS;
  // The same click queues the command again once nothing holds it back.
  EXPECT_TRUE(qevtest::clickHandled(help->button));
  EXPECT_EQ(Queued(), std::vector<std::string>{"help index"});
}

TEST_F(Toolbox, ReleasingTheShownWindowHandsTheBoxOn) {
  wu_toolbox *b = MakeBox(2);
  Loc("TESTLIB", "CAT", "FIRST");
  ASSERT_EQ(wumtlsv(b, lib_, cat_, entry_, "TOOLBOX"), WU_OK);
  wutfbar(nullptr, b);
  wu_window *a = Window(2);
  wu_window *c = Window(2);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.FIRST", a);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.FIRST", c);
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  ASSERT_NE(a->toolbox, nullptr);
  ASSERT_NE(c->toolbox, nullptr);
  EXPECT_EQ(mb->box, c->toolbox);
  wu_toolbox *abox = a->toolbox;
  // The box is written back when its window goes.
  abox->x = 1;
  wuxfwnd(c);
  windows_.erase(std::find(windows_.begin(), windows_.end(), c));
  EXPECT_EQ(mb->box, abox);
  EXPECT_TRUE(mb->shown);
  wuxfwnd(a);
  windows_.erase(std::find(windows_.begin(), windows_.end(), a));
  EXPECT_FALSE(mb->shown);
  EXPECT_EQ(mb->tools, nullptr);
  Settle();
  EXPECT_FALSE(Viewable(mb->shell));
}

TEST_F(Toolbox, CloseOfAnIconicShellRunsOnceMoreAndTheMapGuardHolds) {
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  // A window manager would say iconic in WM_STATE.
  long state[2] = {3, 0};
  XChangeProperty(devb->display, XtWindow(mb->shell), devb->wm_state, devb->wm_state, 32,
                  PropModeReplace, reinterpret_cast<unsigned char *>(state), 2);
  Settle();
  Queued();
  Cmd(WU_CMD_TOOLCLOSE);
  EXPECT_FALSE(mb->closed);
  EXPECT_EQ(Queued(), std::vector<std::string>{"TOOLCLOSE"});
  Cmd(WU_CMD_TOOLCLOSE);   // still iconic: closes now
  EXPECT_TRUE(mb->closed);
  EXPECT_TRUE(Queued().empty());
  EXPECT_FALSE(devb->prefs.default_toolbox);
  Settle();
  // Mapped behind the module's back while closed: unmapped again.
  XMapWindow(devb->display, XtWindow(mb->shell));
  Settle();
  EXPECT_FALSE(Viewable(mb->shell));
  // The toggle loads it again.
  Cmd(WU_CMD_TOOLTOGGLE);
  Settle();
  EXPECT_FALSE(mb->closed);
  EXPECT_TRUE(devb->prefs.default_toolbox);
}

TEST_F(Toolbox, IconSizeRebuildsTheButtons) {
  Cmd(WU_CMD_TOOLLARGE);
  EXPECT_TRUE(Shown(524, 128));
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  EXPECT_EQ(mb->icon_size, 24);
  Widget before = mb->tools->button;
  Cmd(WU_CMD_TOOLLARGE);
  EXPECT_TRUE(Shown(524, 129));
  EXPECT_EQ(mb->icon_size, 48);
  EXPECT_NE(mb->tools->button, before);
  EXPECT_FALSE(mb->tools->small_icon);
  Cmd(WU_CMD_TOOLLARGE, "OFF");
  EXPECT_TRUE(Shown(524, 130));
  EXPECT_EQ(mb->icon_size, 24);
  // The same list at the same size: nothing is rebuilt.
  before = mb->tools->button;
  wumnbar(window_);
  EXPECT_EQ(mb->tools->button, before);
}

TEST_F(Toolbox, TipAtTheScreenCornerGoesAboveAndLeft) {
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  const int sw = DisplayWidth(devb->display, devb->screen);
  const int sh = DisplayHeight(devb->display, devb->screen);
  Dimension w = 0, h = 0;
  XtVaGetValues(mb->shell, XmNwidth, &w, XmNheight, &h, nullptr);
  XMoveWindow(devb->display, XtWindow(mb->shell), sw - w, sh - h);
  Settle();
  wu_tool *last = mb->tools;
  while (last->next) last = last->next;
  devb->prefs.use_toolbox_tips = True;
  devb->prefs.toolbox_tip_delay = 10;
  XEvent enter = {};
  enter.type = EnterNotify;
  Boolean go = True;
  wumtlwn(last->button, last, &enter, &go);
  qevtest::turnUntil([&] { return mb->tip_shown != 0; }, 2000);
  ASSERT_TRUE(mb->tip_shown);
  Settle();
  Position bx, by, tx, ty;
  XtTranslateCoords(last->button, 0, 0, &bx, &by);
  XtVaGetValues(mb->tip_shell, XmNx, &tx, XmNy, &ty, nullptr);
  Dimension tw = 0, th = 0;
  XtVaGetValues(mb->tip_shell, XmNwidth, &tw, XmNheight, &th, nullptr);
  EXPECT_LT(ty, by);
  EXPECT_LE(tx + tw, sw);
  // A tool without a tip shows nothing.
  XEvent leave = {};
  leave.type = LeaveNotify;
  wumtlwn(last->button, last, &leave, &go);
  XtFree(last->tip);
  last->tip = nullptr;
  wumtlwn(last->button, last, &enter, &go);
  Dwell(100);
  EXPECT_FALSE(mb->tip_shown);
}

TEST_F(Toolbox, IconIdentifiersMapToHostImages) {
  uint8_t shared = 0;
  Pixmap a = wumtllp(-20, 48, 48, &shared);
  Pixmap b = None;
  int32_t w = 0, h = 0;
  wu_icon_colours c = devb->icon_colours;
  wutgpix(202, &c, devb->depth, 0, &b, &w, &h);
  EXPECT_NE(a, Pixmap(None));
  EXPECT_EQ(a, b);
  EXPECT_TRUE(shared);
  if (a) wutfpix(a);
  if (b) wutfpix(b);
  // An image identifier beyond the user's images: the user is told (the
  // image store is still asked).
  qevhost::clearShownMessages();
  Pixmap over = wumtllp(1024 + wutuicn() + 1, 48, 48, &shared);
  EXPECT_TRUE(Shown(526, 341));
  if (over && shared) wutfpix(over);
  // The last of the user's images is not beyond.
  qevhost::clearShownMessages();
  Pixmap last = wumtllp(1024 + wutuicn(), 48, 48, &shared);
  EXPECT_FALSE(Shown(526, 341));
  if (last && shared) wutfpix(last);
}

}  // namespace

namespace {

TEST_F(Toolbox, QuotedTokensTakeADoubledQuoteAsOne) {
  qevhost::setCommand("'it''s' \"a \"\"b\"\"\" x");
  const qev_token *t = xncgtok();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(std::string(t->text, size_t(t->length)), "it's");
  t = xncnxcm();
  EXPECT_EQ(std::string(t->text, size_t(t->length)), "a \"b\"");
  t = xncnxcm();
  EXPECT_EQ(std::string(t->text, size_t(t->length)), "x");
}

}  // namespace

namespace {

TEST_F(Toolbox, ArrowHidesAndShowsTheToolsAndRebuildMakesANewShell) {
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  ASSERT_TRUE(XtIsManaged(mb->rowcol));
  EXPECT_TRUE(qevtest::clickHandled(mb->tools_arrow));
  EXPECT_FALSE(XtIsManaged(mb->rowcol));
  EXPECT_FALSE(devb->prefs.default_toolbox);
  unsigned char dir = 0;
  XtVaGetValues(mb->tools_arrow, XmNarrowDirection, &dir, nullptr);
  EXPECT_EQ(dir, XmARROW_RIGHT);
  // Loading again shows the tools part first.
  Widget first = mb->tools->button;
  Cmd(WU_CMD_TOOLLOAD, "");
  EXPECT_TRUE(XtIsManaged(mb->rowcol));
  EXPECT_TRUE(devb->prefs.default_toolbox);
  EXPECT_EQ(mb->tools->button, first);   // not marked for rebuilding: the same buttons
  // A rebuild after a preference change replaces the shell.
  Widget old = mb->shell;
  EXPECT_EQ(wumrbar(window_), WU_OK);
  Settle();
  EXPECT_NE(mb->shell, old);
  ASSERT_NE(mb->tools, nullptr);
  EXPECT_NE(mb->tools->button, nullptr);
  EXPECT_TRUE(mb->reconfigure);
  qevtest::turnUntil([&] { return mb->reconfigure == 0; }, 2000);
  EXPECT_FALSE(mb->reconfigure);
}

// Cases that release what the tool box is working on; each runs in a child
// of its own, started as the host starts the module.
class ToolboxGoing : public Toolbox {
 protected:
  void SetUp() override {}
  void TearDown() override {}
  void InChild(const std::function<void()> &body) {
    const int status = qevtest::runInChild([&] {
      Toolbox::SetUp();
      if (::testing::Test::HasFatalFailure()) return;
      body();
      if (devb) Toolbox::TearDown();
      else qevtest::stopModule();
    }, 30);
    EXPECT_TRUE(qevtest::childPassed(status)) << qevtest::describeStatus(status);
  }
  void StoreBox(const std::string &entry, int tools) {
    wu_toolbox *b = MakeBox(tools);
    Loc("TESTLIB", "CAT", entry);
    ASSERT_EQ(wumtlsv(b, lib_, cat_, entry_, "TOOLBOX"), WU_OK);
    wutfbar(nullptr, b);
  }
  // TOOLLOAD `args` for `w` with a time-out at the first turn of the event
  // loop inside it that shuts the module down (`shut`) or releases `w`.
  // Null when the module went; else `w` is gone and the module goes on:
  // the window it returns has loaded TESTLIB.CAT.FIRST.
  wu_window *LoadWhileGoing(bool shut, wu_window *w, const std::string &args);
};

wu_window *g_going = nullptr;

wu_window *ToolboxGoing::LoadWhileGoing(bool shut, wu_window *w, const std::string &args) {
  g_going = w;
  XtAppAddTimeOut(devb->app, 0, shut ? XtTimerCallbackProc([](XtPointer, XtIntervalId *) {
                                         qevtest::windowSlot(WUX_SLOT_TERM)();
                                       })
                                     : XtTimerCallbackProc([](XtPointer, XtIntervalId *) {
                                         wuxfwnd(g_going);
                                       }),
                  nullptr);
  windows_.erase(std::find(windows_.begin(), windows_.end(), w));
  Cmd(WU_CMD_TOOLLOAD, args, w);
  if (shut) {
    EXPECT_EQ(devb, nullptr);
    windows_.clear();
    return nullptr;
  }
  EXPECT_FALSE(wu_reg_has(w, WU_REG_WINDOW));
  wu_window *b = Window(2);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.FIRST", b);
  return b;
}

struct Reload {
  Toolbox *self;
  wu_status (*cmd)(Toolbox *, wu_window *);
  wu_window *window;
  int ran;
};

// A press whose tool is released by host code on the button before the
// module's activation (here the host's activation callback loads another
// box for the window) queues nothing and reads nothing of the released tool.
TEST_F(ToolboxGoing, APressWhoseToolIsReleasedMeanwhileEndsQuietly) {
  InChild([&] {
    StoreBox("FIRST", 3);
    StoreBox("SECOND", 3);
    wu_window *a = Window(2);
    Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.FIRST", a);
    Settle();
    wu_merged_box *mb = wumgmbx();
    ASSERT_NE(mb, nullptr);
    ASSERT_NE(mb->tools, nullptr);
    Widget b0 = mb->tools->button;
    ASSERT_NE(b0, nullptr);
    static Reload reload;
    reload = {this, [](Toolbox *t, wu_window *w) {
                qevhost::setCommand("TESTLIB.CAT.SECOND");
                int32_t count = 0;
                auto *table = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &count));
                auto ecmd = reinterpret_cast<EcmdFn>(
                    reinterpret_cast<void (*)(void)>(table->slots[WUX_SLOT_ECMD]));
                (void)t;
                return ecmd(w, WU_CMD_TOOLLOAD);
              }, a, 0};
    // The host's activation callback goes before the module's.
    XtCallbackList module = nullptr;
    XtVaGetValues(b0, XmNactivateCallback, &module, nullptr);
    std::vector<XtCallbackRec> kept;
    for (XtCallbackList c = module; c && c->callback; ++c) kept.push_back(*c);
    kept.push_back({nullptr, nullptr});
    XtRemoveAllCallbacks(b0, XmNactivateCallback);
    XtAddCallback(b0, XmNactivateCallback, [](Widget, XtPointer c, XtPointer) {
      auto *r = static_cast<Reload *>(c);
      if (r->ran++ == 0) r->cmd(r->self, r->window);
    }, &reload);
    XtAddCallbacks(b0, XmNactivateCallback, kept.data());
    Queued(a);
    qevtest::clickWidget(b0);
    qevtest::turnUntil([&] { return reload.ran > 0; }, 3000);
    Settle();
    EXPECT_EQ(reload.ran, 1) << "the press reached the button";
    EXPECT_TRUE(Queued(a).empty()) << "the released tool's command is not queued";
    mb = wumgmbx();
    ASSERT_NE(mb, nullptr);
    ASSERT_NE(mb->tools, nullptr);
    EXPECT_STREQ(XtName(mb->tools->button), "CMD0");
    // The new box's buttons work.
    qevtest::clickWidget(mb->tools->button);
    std::vector<std::string> queued;
    qevtest::turnUntil([&] {
      for (auto &q : Queued(a)) queued.push_back(q);
      return !queued.empty();
    }, 3000);
    EXPECT_EQ(queued, std::vector<std::string>{"CMD0"});
  });
}

// TOOLLOAD places a new merged box by its window after a round trip to the
// server; a time-out that releases the window or shuts the module down in
// that round trip leaves the load with nothing freed read.
TEST_F(ToolboxGoing, TheWindowOrModuleGoingWhileTheMergedBoxIsPlaced) {
  for (const bool shut : {false, true}) {
    SCOPED_TRACE(shut ? "shut down" : "window released");
    InChild([&] {
      StoreBox("FIRST", 3);
      wu_window *a = Window(2);
      Settle();
      ASSERT_EQ(wumgmbx() == nullptr || wumgmbx()->shell == nullptr, true);
      wu_window *b = LoadWhileGoing(shut, a, "TESTLIB.CAT.FIRST");
      if (!b) return;
      Settle();
      ASSERT_NE(wumgmbx(), nullptr);
      EXPECT_NE(wumgmbx()->shell, nullptr);
      EXPECT_NE(b->toolbox, nullptr);
    });
  }
}

// TOOLLOAD first shows tools the arrow hid, and the arrow's change ends by
// processing pending events; a time-out that releases the window or shuts
// the module down there leaves the load with nothing freed read.
TEST_F(ToolboxGoing, TheWindowOrModuleGoingWhileTheLoadShowsTheTools) {
  for (const bool shut : {false, true}) {
    SCOPED_TRACE(shut ? "shut down" : "window released");
    InChild([&] {
      StoreBox("FIRST", 3);
      wu_window *a = Window(2);
      Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.FIRST", a);
      Settle();
      wu_merged_box *mb = wumgmbx();
      ASSERT_TRUE(mb && mb->shell);
      EXPECT_TRUE(qevtest::clickHandled(mb->tools_arrow));
      ASSERT_FALSE(XtIsManaged(mb->rowcol));
      if (!LoadWhileGoing(shut, a, "")) return;
      EXPECT_EQ(qevtest::mergedToolsCut(2, 3), "");   // the separator is not shown
    });
  }
}

// Kept on top: the merged box, covered by another client's window, comes
// back above it while the pointer rests in a module window, even with the
// focus elsewhere.
TEST_F(Toolbox, KeptOnTopWhileThePointerIsInAModuleWindow) {
  devb->prefs.toolbox_always_on_top = True;
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  ASSERT_TRUE(Viewable(mb->shell));
  Display *other = XOpenDisplay(DisplayString(devb->display));
  ASSERT_NE(other, nullptr);
  Position x = 0, y = 0;
  XtTranslateCoords(mb->shell, 0, 0, &x, &y);
  Dimension w = 0, h = 0;
  XtVaGetValues(mb->shell, XmNwidth, &w, XmNheight, &h, nullptr);
  XSetWindowAttributes a = {};
  a.override_redirect = True;
  ::Window cover = XCreateWindow(other, DefaultRootWindow(other), x, y, w, h, 0, CopyFromParent,
                               InputOutput, CopyFromParent, CWOverrideRedirect, &a);
  // The pointer in the module's window, the focus on the other client's.
  Widget outer = reinterpret_cast<Widget>(window_->outer);
  Position ox = 0, oy = 0;
  Dimension ow = 0, oh = 0;
  XtVaGetValues(outer, XmNwidth, &ow, XmNheight, &oh, nullptr);
  XtTranslateCoords(outer, Position(ow / 2), Position(oh / 2), &ox, &oy);
  ASSERT_FALSE(ox >= x && ox < x + w && oy >= y && oy < y + h) << "the cover hides the pointer's window";
  XTestFakeMotionEvent(devb->display, -1, ox, oy, CurrentTime);
  XMapRaised(other, cover);
  XSync(other, False);
  XSetInputFocus(other, cover, RevertToPointerRoot, CurrentTime);
  XSync(other, False);
  auto above = [&] {
    ::Window root = None, parent = None, *children = nullptr;
    unsigned n = 0;
    XQueryTree(devb->display, DefaultRootWindow(devb->display), &root, &parent, &children, &n);
    int shell = -1, covering = -1;
    for (unsigned i = 0; i < n; ++i) {
      if (children[i] == XtWindow(mb->shell)) shell = int(i);
      if (children[i] == cover) covering = int(i);
    }
    if (children) XFree(children);
    return shell > covering;
  };
  EXPECT_TRUE(qevtest::turnUntil(above, 2000)) << "the merged box stayed under the other window";
  XDestroyWindow(other, cover);
  XCloseDisplay(other);
  devb->prefs.toolbox_always_on_top = False;
}

}  // namespace

namespace {

// The decorations the merged shell asks of the window manager, as the
// server holds them in _MOTIF_WM_HINTS (-1 when the property is missing).
long ShellDecorationsOnServer(Widget shell) {
  Display *dpy = qevtest::openDisplay();
  if (!dpy) return -1;
  Atom hints = XInternAtom(dpy, "_MOTIF_WM_HINTS", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  long decorations = -1;
  if (XGetWindowProperty(dpy, XtWindow(shell), hints, 0, 5, False, AnyPropertyType, &type, &format, &count,
                         &after, &data) == Success &&
      data && format == 32 && count >= 3) {
    auto *v = reinterpret_cast<long *>(data);
    if (v[0] & 2) decorations = v[2];   // the decorations field is in use
  }
  if (data) XFree(data);
  XCloseDisplay(dpy);
  return decorations;
}

const long kTitleMenuMinimise = 0x08 | 0x10 | 0x20;
const long kBorder = 0x02;

class ToolboxDecorations : public Toolbox,
                           public ::testing::WithParamInterface<std::tuple<bool, bool>> {
 protected:
  // The cases after one that started mwm run without a window manager.
  void TearDown() override {
    Toolbox::TearDown();
    qevtest::stopWindowManager();
  }
};

// With useShowHideDecorations under the Motif window manager the shell asks
// for no border of its own; in every other case it asks for one.
TEST_P(ToolboxDecorations, FollowThePreferenceAndTheWindowManager) {
  bool pref = std::get<0>(GetParam()), mwm = std::get<1>(GetParam());
  if (mwm) {
    ASSERT_TRUE(qevtest::startWindowManager());
    ASSERT_TRUE(qevtest::turnUntil([] { return bool(XmIsMotifWMRunning(devb->toplevel)); }, 5000));
  }
  devb->prefs.show_hide_decorations = pref;
  Cmd(WU_CMD_TOOLLOAD, "");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  ASSERT_NE(mb->shell, nullptr);
  ASSERT_TRUE(XtIsRealized(mb->shell));
  long want = pref && mwm ? kTitleMenuMinimise : kTitleMenuMinimise | kBorder;
  EXPECT_EQ(ShellDecorationsOnServer(mb->shell), want);
}

INSTANTIATE_TEST_SUITE_P(PreferenceAndManager, ToolboxDecorations,
                         ::testing::Combine(::testing::Values(false, true), ::testing::Values(false, true)));

}  // namespace

namespace {

std::string TextProperty(Window w, Atom property) {
  XTextProperty tp = {};
  std::string out;
  if (XGetTextProperty(devb->display, w, &tp, property) && tp.value) {
    out.assign(reinterpret_cast<char *>(tp.value), tp.nitems);
    XFree(tp.value);
  }
  return out;
}

// The merged shell's title on the server is the module's title prefix (the
// command window's), the box's title and the window's name, and it is the
// dialog title of the shell's form.  Tool message 0, the text a save
// reports, is no part of it.
TEST_F(Toolbox, TheMergedShellIsTitledWithTheModulesPrefix) {
  qevhost::setMessage(526, 3, "QEV");
  qevhost::setMessage(526, 113, "Saved %s.%s.%s, member type %s");
  static char name[] = "EDITOR";
  window_->name = name;
  window_->name_length = 6;
  wu_toolbox *b = MakeBox(2);
  Loc("TESTLIB", "CAT", "TITLED");
  ASSERT_EQ(wumtlsv(b, lib_, cat_, entry_, "TOOLBOX"), WU_OK);
  wutfbar(nullptr, b);
  Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.TITLED");
  Settle();
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  ASSERT_TRUE(mb->shell && XtIsRealized(mb->shell));
  const std::string want = "QEV Mine: EDITOR";
  EXPECT_EQ(TextProperty(XtWindow(mb->shell), XA_WM_NAME), want);
  EXPECT_EQ(TextProperty(XtWindow(mb->shell), XA_WM_ICON_NAME), want);
  EXPECT_EQ(qevtest::xmStringResource(mb->form, XmNdialogTitle), want) << "the form's dialog title";
}

}  // namespace

// ---- the command window beside the tool box --------------------------------

// A shell as the screen shows it: its window, or the frame a window
// manager put around it (the child of the root that holds it).
struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
};
ScreenRect OnScreen(Widget shell) {
  ScreenRect r;
  if (!XtIsRealized(shell)) return r;
  Display *dpy = XtDisplay(shell);
  Window w = XtWindow(shell), root = None, parent = None, *children = nullptr;
  unsigned count = 0;
  while (XQueryTree(dpy, w, &root, &parent, &children, &count)) {
    if (children) XFree(children);
    if (parent == root || parent == None) break;
    w = parent;
  }
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, w, &a)) return r;
  r.x = a.x;
  r.y = a.y;
  r.width = a.width + 2 * a.border_width;
  r.height = a.height + 2 * a.border_width;
  return r;
}
bool Overlap(const ScreenRect &a, const ScreenRect &b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// With and without the Motif window manager, whose frames take room too.
class ToolboxAndCommandWindow : public Toolbox, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    Toolbox::SetUp();
    if (!GetParam()) return;
    ASSERT_TRUE(qevtest::startWindowManager());
    ASSERT_TRUE(qevtest::turnUntil([] { return bool(XmIsMotifWMRunning(devb->toplevel)); }, 5000));
    // The window, made before the manager ran, has its frame and place.
    Widget outer = window_->outer;
    Dimension width = 0;
    XtVaGetValues(outer, XmNwidth, &width, nullptr);
    ASSERT_TRUE(qevtest::turnUntil([outer, width] { return OnScreen(outer).width > int(width); }));
    Settle();
  }
  // Both shown, neither covers the other, and both stand below the
  // window's own area (the window-manager frames around it are as wide as
  // the border resources say, not necessarily as the manager draws them).
  void ExpectSideBySide() {
    Settle();
    wu_merged_box *mb = wumgmbx();
    ASSERT_NE(mb, nullptr);
    ASSERT_NE(wumcwtf(), nullptr);
    Widget cw = XtParent(wumcwtf());
    ASSERT_TRUE(Viewable(mb->shell));
    ASSERT_TRUE(Viewable(cw));
    const ScreenRect box = OnScreen(mb->shell), command = OnScreen(cw);
    Position wx = 0, wy = 0;
    Dimension height = 0;
    XtTranslateCoords(window_->outer, 0, 0, &wx, &wy);
    XtVaGetValues(window_->outer, XmNheight, &height, nullptr);
    const int window_bottom = wy + height;
    EXPECT_FALSE(Overlap(box, command)) << "box " << box.x << "," << box.y << " " << box.width
                                        << "x" << box.height << "; command window " << command.x
                                        << "," << command.y << " " << command.width << "x"
                                        << command.height;
    EXPECT_GE(box.y, window_bottom);
    EXPECT_GE(command.y, window_bottom);
  }
};

TEST_P(ToolboxAndCommandWindow, OpenedAfterTheToolBoxTheCommandWindowGoesBesideIt) {
  EXPECT_EQ(Cmd(WU_CMD_TOOLLOAD, ""), WU_OK);
  Settle();
  ASSERT_EQ(wutcwdw(window_), WU_OK);
  ExpectSideBySide();
}

TEST_P(ToolboxAndCommandWindow, AToolBoxShownAfterTheCommandWindowGoesBesideIt) {
  ASSERT_EQ(wutcwdw(window_), WU_OK);
  Settle();
  EXPECT_EQ(Cmd(WU_CMD_TOOLLOAD, ""), WU_OK);
  ExpectSideBySide();
}

INSTANTIATE_TEST_SUITE_P(WindowManager, ToolboxAndCommandWindow, ::testing::Values(false, true));


// ---- the merged box holds its buttons whole --------------------------------

namespace {

// With and without the Motif window manager.
class ToolboxLayout : public Toolbox, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    Toolbox::SetUp();
    if (GetParam()) {
      ASSERT_TRUE(qevtest::startModuleWindowManager());
    }
  }
  void TearDown() override {
    Toolbox::TearDown();
    if (GetParam()) qevtest::stopWindowManager();
  }
  // Stores TESTLIB.CAT.<entry>: `n` tools, none a separator, `per_row` a row.
  void Store(const std::string &entry, int n, int per_row) {
    wu_toolbox *b = MakeBox(n);
    for (wu_tool *t = b->tools; t; t = t->next) t->icon = 2;
    b->per_row = per_row;
    Loc("TESTLIB", "CAT", entry);
    ASSERT_EQ(wumtlsv(b, lib_, cat_, entry_, "TOOLBOX"), WU_OK);
    wutfbar(nullptr, b);
  }
  // The merged shell shows the `n` tools whole in rows of `per_row`, once
  // the server (and a window manager) has done what the module asked.
  void ExpectWhole(int n, int per_row, const std::string &after) {
    EXPECT_EQ(qevtest::mergedToolsCut(n, per_row), "") << "after " << after << ", " << per_row << " a row";
    wu_merged_box *mb = wumgmbx();
    ASSERT_TRUE(mb && mb->shell);
    Boolean resizable = True;
    XtVaGetValues(mb->shell, XmNallowShellResize, &resizable, nullptr);
    EXPECT_FALSE(resizable) << "the shell is left resizable after " << after;
  }
};

// After a first load, a load of the same entry again, loads of other
// entries, a switch between two windows' boxes and the arrow's hiding and
// showing of the tools, the shell holds every button whole, whatever the
// tools per row.
TEST_P(ToolboxLayout, EveryLoadSwitchAndArrowHoldsTheButtonsWhole) {
  const int kTools = 3;
  for (int per = 1; per <= kTools; ++per) Store("ROW" + std::to_string(per), kTools, per);
  wu_window *a = Window(2), *b = Window(2);
  for (int per : {1, 2, 3, 1}) {
    const std::string entry = "TESTLIB.CAT.ROW" + std::to_string(per);
    EXPECT_EQ(Cmd(WU_CMD_TOOLLOAD, entry, a), WU_OK);
    ExpectWhole(kTools, per, "loading " + entry);
    EXPECT_EQ(Cmd(WU_CMD_TOOLLOAD, entry, a), WU_OK);
    ExpectWhole(kTools, per, "loading " + entry + " again");
  }
  // Each window has its box; reading the other window switches to its box.
  EXPECT_EQ(Cmd(WU_CMD_TOOLLOAD, "TESTLIB.CAT.ROW3", b), WU_OK);
  ExpectWhole(kTools, 3, "loading the second window's box");
  for (wu_window *w : {a, b, a}) {
    wuxqcmd(w, "x", -1, 1, 1, 0);
    EXPECT_EQ(wuxrwnd(w), WU_EV_COMMAND);
    ExpectWhole(kTools, w == a ? 1 : 3, w == a ? "switching to one a row" : "switching to three a row");
  }
  // The arrow hides the tools and shows them again.
  wu_merged_box *mb = wumgmbx();
  ASSERT_NE(mb, nullptr);
  EXPECT_TRUE(qevtest::clickHandled(mb->tools_arrow));
  qevtest::turnUntil([&] { return !XtIsManaged(mb->rowcol); }, 2000);
  Boolean resizable = True;
  XtVaGetValues(mb->shell, XmNallowShellResize, &resizable, nullptr);
  EXPECT_FALSE(resizable) << "the shell is left resizable after hiding the tools";
  EXPECT_TRUE(qevtest::clickHandled(mb->tools_arrow));
  ExpectWhole(kTools, 1, "showing the tools again");
}

INSTANTIATE_TEST_SUITE_P(WindowManager, ToolboxLayout, ::testing::Values(false, true));

}  // namespace
