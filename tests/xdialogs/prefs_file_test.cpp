// The user's preferences file, as start-up reads it and as the preferences
// dialog saves it: whatever bytes the user put in it, reading never goes
// wrong and saving keeps every line the dialog does not own byte for byte.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>
#include <Xm/MessageB.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "dialogs/wudialog.h"
#include "homefolder.h"
#include "modulehost.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wutoolkit.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

std::string Slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Put(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Lines(const std::string &bytes) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t nl = bytes.find('\n', start);
    if (nl == std::string::npos) nl = bytes.size();
    out.push_back(bytes.substr(start, nl - start));
    start = nl + 1;
  }
  return out;
}

class PrefsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.make());
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
  }
  void TearDown() override {
    qevtest::stopModule();
  }
  std::string Path() const { return home_.path() + "/" WU_PREFS_FILE; }

  // Opens the preferences dialog and presses OK once it shows; a save
  // that `fails` puts up a message, which is answered.
  wu_status SaveThroughDialog(bool fails = false) {
    auto ok = [] { return XtNameToWidget(devb->toplevel, "*qevPreferences*ok"); };
    auto box = [] { return XtNameToWidget(devb->toplevel, "*qevMessage"); };
    qevtest::Script s;
    s.then("OK", [&] { return qevtest::viewable(ok()); },
           [&] { EXPECT_TRUE(qevtest::clickHandled(ok())); });
    if (fails)
      s.then("the failure answered", [&] { return box() && qevtest::viewable(box()); },
             [&] { EXPECT_TRUE(qevtest::clickHandled(XmMessageBoxGetChild(box(), XmDIALOG_OK_BUTTON))); });
    wu_status st = WU_OK;
    s.run([&] { st = wumpref(nullptr); });
    return st;
  }

  qevtest::HomeFolder home_;
};

// Every line of `saved` that is not a preference setting, in order.
std::vector<std::string> UserLines(const std::string &saved) {
  std::vector<std::string> out;
  for (const std::string &l : Lines(saved)) {
    bool owned = false;
    for (int32_t i = 0; i < wutprfn(); ++i)
      owned = owned || l.rfind(std::string("QEV.") + wutprfg(i, nullptr, nullptr, 0) + ": ", 0) == 0;
    if (!owned) out.push_back(l);
  }
  return out;
}

TEST_F(PrefsFile, SavingKeepsTheUsersLinesByteForByte) {
  const std::string longLine = "! " + std::string(200000, 'x');
  // Lines the dialog does not own, including ones that look like its own
  // bookkeeping, NUL bytes, carriage returns, other resources and a
  // setting of another program.
  const std::vector<std::string> user = {
      std::string("\x01useToolBoxTips"),
      std::string("\x01"),
      std::string("! before\0after the NUL", 22),
      "QEV.font: fixed\r",
      longLine,
      std::string("\xff\xfe binary \x7f"),
      "Other.toolBoxTipDelay: 5",
      "",
  };
  struct Case {
    const char *what;
    std::string head;  // file text before the user lines
    std::string tail;  // after them (no final newline)
  };
  const std::vector<Case> cases = {
      {"settings first, no final newline", "QEV.toolBoxTipDelay: 900\r\n", "! last line"},
      {"setting last, no final newline", "", "QEV.toolBoxTipDelay: 900"},
      {"CRLF throughout", "QEV.commandsSaved: 3\r\nQEV.commandsSaved: 4\r\n", "! crlf\r"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string file = c.head;
    for (const std::string &l : user) file += l + "\n";
    file += c.tail;
    Put(Path(), file);
    ASSERT_EQ(wutprfs("menuBackground", "light gray"), WU_OK);
    ASSERT_EQ(SaveThroughDialog(), WU_OK);

    const std::string saved = Slurp(Path());
    std::vector<std::string> expected = user;
    if (c.tail.compare(0, 4, "QEV.") != 0) expected.push_back(c.tail);
    const std::vector<std::string> kept = UserLines(saved);
    ASSERT_EQ(kept.size(), expected.size());
    for (size_t i = 0; i < kept.size(); ++i)
      EXPECT_TRUE(kept[i] == expected[i]) << "line " << i << " differs";
    // Each preference once, as "QEV.name: value", with the current value.
    for (int32_t i = 0; i < wutprfn(); ++i) {
      char value[256];
      const std::string line = std::string("QEV.") + wutprfg(i, nullptr, value, sizeof value) + ": " + value;
      int count = 0;
      for (const std::string &l : Lines(saved)) count += l == line;
      EXPECT_EQ(count, 1) << line;
    }
    EXPECT_EQ(Lines(saved).size(), expected.size() + size_t(wutprfn()));
    EXPECT_EQ(saved.back(), '\n');
  }
}

// A value the user typed with backslashes in it (before a letter, before
// digits, and doubled) comes back as typed after a save and a new start.
TEST_F(PrefsFile, AValueWithBackslashesReadsBackAsTyped) {
  const std::string value = "C:\\new\\101\\\\x";
  auto field = [] { return XtNameToWidget(devb->toplevel, "*qevPreferences*menuBackground"); };
  qevtest::Script s;
  s.then("the value typed, then OK", [&] { return qevtest::viewable(field()); },
         [&] {
           ASSERT_TRUE(qevtest::replaceTextHandled(field(), value));
           EXPECT_TRUE(qevtest::clickHandled(XtNameToWidget(devb->toplevel, "*qevPreferences*ok")));
         });
  s.run([&] { ASSERT_EQ(wumpref(nullptr), WU_OK); });
  ASSERT_STREQ(devb->prefs.menu_background, value.c_str());
  ASSERT_EQ(qevtest::windowSlot(WUX_SLOT_TERM)(), WU_OK);
  ASSERT_EQ(qevtest::windowSlot(WUX_SLOT_INIT)(), WU_OK);
  EXPECT_STREQ(devb->prefs.menu_background, value.c_str());
}

TEST_F(PrefsFile, AFileThatCannotBeReadWholeIsNotReplaced) {
  // Larger than the reader takes: saving would lose its lines.
  const std::string big = "! " + std::string(2 << 20, 'b') + "\nQEV.toolBoxTipDelay: 1\n";
  Put(Path(), big);
  qevhost::clearLog();
  wutgres();
  EXPECT_TRUE(qevtest::logContains("is not read"));
  EXPECT_EQ(devb->prefs.toolbox_tip_delay, 750);
  EXPECT_EQ(SaveThroughDialog(true), WU_NOTAVAIL);
  EXPECT_TRUE(qevtest::logContains("cannot be read"));
  EXPECT_EQ(Slurp(Path()), big);
  EXPECT_NE(access((Path() + ".new").c_str(), F_OK), 0);

  // A pipe in the file's place neither blocks start-up nor is replaced.
  ASSERT_EQ(unlink(Path().c_str()), 0);
  ASSERT_EQ(mkfifo(Path().c_str(), 0600), 0);
  qevhost::clearLog();
  wutgres();
  EXPECT_TRUE(qevtest::logContains("not a regular file"));
  EXPECT_EQ(SaveThroughDialog(true), WU_NOTAVAIL);
  struct stat st;
  ASSERT_EQ(stat(Path().c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(PrefsFile, MalformedFilesAreReadSafely) {
  // Endings that take a resource parser past the end of its text, in the
  // single-byte and the multi-byte locales, each followed by nothing.
  const std::vector<std::string> endings = {
      "no colon here \\",  "no colon here \\\\",  "QEV.menuBackground: \xc3\xa9\\",
      "! comment \xc3\xa9", "! comment \xe2",       "QEV.menuBackground: \xe2\x82",
      "#include \"",        "#",                    "QEV.menuBackground: \\1",
      "\\",                 "QEV\\\n\\",            std::string("a\0\\", 3),
  };
  const char *locales[] = {"C", "C.UTF-8"};
  for (const char *locale : locales) {
    if (!std::setlocale(LC_ALL, locale)) continue;
    for (const std::string &end : endings) {
      SCOPED_TRACE(std::string(locale) + ": " + end);
      Put(Path(), "QEV.toolBoxTipDelay: 111\n" + end);
      wutgres();
      EXPECT_EQ(devb->prefs.toolbox_tip_delay, 111);
    }
  }
  std::setlocale(LC_ALL, "C");

  // Lines after a NUL byte, carriage returns and directives still count;
  // another file is never included.
  ASSERT_EQ(wutprfs("menuBackground", "before"), WU_OK);
  Put(home_.path() + "/other", "QEV.commandsSaved: 7\n");
  Put(Path(), std::string("QEV.menuBackground: bl\0ue\n", 26) +
                  "#include \"other\"\n"
                  "#include \"" + home_.path() + "/other\"\n"
                  "QEV.toolBoxTipDelay: 222\r\n"
                  "QEV.menuForeground: a \\\n#b\n");
  qevhost::clearLog();
  wutgres();
  EXPECT_EQ(devb->prefs.toolbox_tip_delay, 222);
  EXPECT_EQ(devb->prefs.commands_saved, 25);
  EXPECT_STREQ(devb->prefs.menu_background, "before");
  EXPECT_STREQ(devb->prefs.menu_foreground, "a #b");
  EXPECT_TRUE(qevtest::logContains("line 1: 1 line(s) holding a NUL byte are ignored"));
  EXPECT_TRUE(qevtest::logContains("other files are not included"));
}

}  // namespace
