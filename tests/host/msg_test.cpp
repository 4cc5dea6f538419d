// Options, message tables, the formatter and the log.
#include <cstring>
#include <string>
#include <vector>

#include "hosttest.h"

namespace {

using hosttest::HostTest;

qev_arg text(const char *s) {
  qev_arg a = {QEV_ARG_TEXT, static_cast<int32_t>(std::strlen(s)), s, 0};
  return a;
}
qev_arg number(int32_t v) {
  qev_arg a = {QEV_ARG_INT, 0, nullptr, v};
  return a;
}

TEST_F(HostTest, OptionsComeFromTheFileAndFromTests) {
  char buf[64];
  int32_t len = -1, v = -1;
  ASSERT_EQ(k_->yugcopt("INITCMD", 7, buf, sizeof buf, &len), WU_OK);
  EXPECT_EQ(std::string(buf, len), "dmsg 'hello'");
  // Blank-padded and lower-case names find the same option.
  ASSERT_EQ(k_->yugcopt("printgdev   ", 12, buf, sizeof buf, &len), WU_OK);
  EXPECT_EQ(std::string(buf, len), "XPRINTC");
  EXPECT_EQ(k_->yugcopt("DEVICE", 6, buf, sizeof buf, &len), WU_NOTAVAIL);
  EXPECT_EQ(len, 0);
  EXPECT_EQ(k_->yugcopt("PRINTGDEV", 9, buf, 3, &len), WU_TRUNCATED);
  EXPECT_EQ(len, 7);

  EXPECT_EQ(k_->yugbopt("AWSMENUMERGE", 12, &v), WU_OK);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(k_->wyrnget("UNIVERSALPRINT", 14, &v), WU_OK);
  EXPECT_EQ(v, 3);
  EXPECT_EQ(k_->yyrngef("SOLUTIONS", 9, &v), WU_OK);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(k_->ywcgbit(15), 1);
  EXPECT_EQ(k_->ywcgbit(14), 0);
  EXPECT_EQ(k_->yugwred(2), 1);
  EXPECT_EQ(k_->xyttsd(), 3);
  EXPECT_EQ(k_->xucpp(0, &v), WU_OK);
  EXPECT_EQ(v, 0x336699);

  // The module's own settings and the host's changes are both seen.
  EXPECT_EQ(k_->yugcset("PRINTGDEV", 9, "XPRINTM", 7), WU_OK);
  ASSERT_EQ(k_->yugcopt("PRINTGDEV", 9, buf, sizeof buf, &len), WU_OK);
  EXPECT_EQ(std::string(buf, len), "XPRINTM");
  EXPECT_EQ(k_->yugbset("HOSTPRINT", 9, 1), WU_OK);
  EXPECT_EQ(k_->yugbopt("HOSTPRINT", 9, &v), WU_OK);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(k_->yugwset(2, 0), WU_OK);
  EXPECT_EQ(k_->yugwred(2), 0);
  qevhost::setNumOption("UNIVERSALPRINT", 0);
  qevhost::setShutdownState(2);
  qevhost::unsetCharOption("INITCMD");
  EXPECT_EQ(k_->wyrnget("UNIVERSALPRINT", 14, &v), WU_OK);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(k_->xyttsd(), 2);
  EXPECT_EQ(k_->yugcopt("INITCMD", 7, buf, sizeof buf, &len), WU_NOTAVAIL);

  // Bad arguments answer a status.
  EXPECT_EQ(k_->yugcopt(nullptr, 7, buf, sizeof buf, &len), WU_BADARG);
  EXPECT_EQ(k_->yugcopt("INITCMD", -1, buf, sizeof buf, &len), WU_BADARG);
  EXPECT_EQ(k_->yugcset("X", 1, nullptr, 4), WU_BADARG);
  EXPECT_EQ(k_->yugbopt("HOSTPRINT", 9, nullptr), WU_BADARG);
}

TEST_F(HostTest, MessagesComeFromTextFiles) {
  const char *t = nullptr;
  int32_t len = 0;
  ASSERT_EQ(k_->wkread(524, 8, &t, &len), WU_OK);
  EXPECT_EQ(std::string(t, len), "That command is not available here.");
  EXPECT_EQ(k_->wkread(524, 9, &t, &len), WU_NOTAVAIL);
  EXPECT_EQ(t, nullptr);
  qevhost::setMessage(524, 9, "Set by the test");
  ASSERT_EQ(k_->wkread(524, 9, &t, &len), WU_OK);
  EXPECT_EQ(std::string(t, len), "Set by the test");
  EXPECT_EQ(k_->wkread(524, 9, nullptr, &len), WU_BADARG);
}

TEST_F(HostTest, LogClassesAndBlankPaddedConversions) {
  EXPECT_EQ(k_->ypslog("%1zA note.", 10), WU_OK);
  EXPECT_EQ(k_->xpslog("%2zA warning.", 13), WU_OK);
  EXPECT_EQ(k_->ypslog("", 0), WU_OK);             // a blank line
  EXPECT_EQ(k_->ypslog("Plain %s %n 100%", 16), WU_OK);
  qev_arg args[] = {text("QEVUSER"), text("A-CATALOG-NAME-LONGER-THAN-32-CHARACTERS"),
                    text("ENTRY")};
  EXPECT_EQ(k_->ypmlog(526, 442, 3, args), WU_OK);
  EXPECT_EQ(k_->ypmlog(1, 1, 0, nullptr), WU_NOTAVAIL);   // no such message

  std::vector<qevhost::LogEntry> log = qevhost::logEntries();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[0].cls, QEV_LOG_NOTE);
  EXPECT_EQ(log[0].text, "A note.");
  EXPECT_EQ(log[1].cls, QEV_LOG_WARNING);
  EXPECT_EQ(log[2].text, "");
  // A host text is never a format: its "%s", "%n" and "%" stay as they are.
  EXPECT_EQ(log[3].cls, 0);
  EXPECT_EQ(log[3].text, "Plain %s %n 100%");
  EXPECT_EQ(log[4].cls, QEV_LOG_ERROR);
  EXPECT_EQ(log[4].text, "Tool box QEVUSER .A-CATALOG-NAME-LONGER-THAN-32-CH.ENTRY has no tools.");
}

TEST_F(HostTest, FormatterKnowsOnlyItsOwnDirectives) {
  char out[128];
  int32_t len = 0;
  const char *fmt = "[%8b][%32b][%d][%%][%x][%s]";
  qev_arg args[] = {text("ABC"), text("%s%n"), number(-42), text("tail")};
  ASSERT_EQ(k_->ypsstr(out, sizeof out, &len, fmt, static_cast<int32_t>(std::strlen(fmt)), 4, args),
            WU_OK);
  EXPECT_EQ(std::string(out, len),
            "[ABC     ][%s%n                            ][-42][%][%x][tail]");
  // Missing arguments give empty texts; a short buffer cuts the result.
  ASSERT_EQ(k_->ypsstr(out, sizeof out, &len, "<%8b>", 5, 0, nullptr), WU_OK);
  EXPECT_EQ(std::string(out, len), "<        >");
  EXPECT_EQ(k_->ypsstr(out, 4, &len, "<%8b>", 5, 0, nullptr), WU_TRUNCATED);
  EXPECT_EQ(std::string(out, len), "<   ");
  qev_arg two[] = {number(7), text("files")};
  ASSERT_EQ(k_->xpmstr(out, sizeof out, &len, 700, 1, 2, two), WU_OK);
  EXPECT_EQ(std::string(out, len), "Value 7 of files: 100% done");
  EXPECT_EQ(k_->ypsstr(out, sizeof out, &len, "x", -1, 0, nullptr), WU_BADARG);
  EXPECT_EQ(k_->ypsstr(out, sizeof out, &len, "%d", 2, -1, nullptr), WU_BADARG);
  EXPECT_EQ(k_->ypsstr(nullptr, 10, &len, "x", 1, 0, nullptr), WU_BADARG);
}

TEST_F(HostTest, ShownMessagesAreRecorded) {
  int window = 0;
  EXPECT_EQ(k_->yudsmsg(&window, 0, 2, 524, 8), WU_OK);
  EXPECT_EQ(k_->yuhmsg(524, 54), WU_NOTAVAIL);   // missing text: still recorded
  std::vector<qevhost::ShownMessage> shown = qevhost::shownMessages();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].window, &window);
  EXPECT_EQ(shown[0].cls, 2);
  EXPECT_EQ(shown[0].set, 524);
  EXPECT_EQ(shown[0].number, 8);
  EXPECT_EQ(shown[1].window, nullptr);
  EXPECT_EQ(shown[1].number, 54);
  EXPECT_EQ(qevhost::log().back(), "Message 524,54.");
}

// What the host shows the user goes to the host program as it comes: the
// shown messages' texts (a missing one as the host's notice) and the
// errors the module logs; notes and warnings stay in the log.
TEST_F(HostTest, ShownMessagesAndLoggedErrorsReachTheHostProgram) {
  struct Handed {
    void *window;
    int32_t cls;
    std::string text;
  };
  std::vector<Handed> handed;
  qevhost::setMessageSink([&](void *window, int32_t cls, const std::string &text) {
    handed.push_back(Handed{window, cls, text});
    // A sink that logs an error itself is not handed that error.
    const char again[] = "%3zThe sink's own error.";
    k_->ypslog(again, int32_t(sizeof again - 1));
  });
  qevhost::setMessage(524, 131, "A tool box is already loaded.");
  int window = 0;
  EXPECT_EQ(k_->yudsmsg(&window, 0, 2, 524, 131), WU_OK);
  EXPECT_EQ(k_->yuhmsg(524, 54), WU_NOTAVAIL);
  const char error[] = "%3zHelp is not available.\n";
  const char warning[] = "%2zA drop site is not made.";
  EXPECT_EQ(k_->ypslog(error, int32_t(sizeof error - 1)), WU_OK);
  EXPECT_EQ(k_->ypslog(warning, int32_t(sizeof warning - 1)), WU_OK);
  qevhost::setMessageSink(nullptr);
  EXPECT_EQ(k_->yudsmsg(&window, 0, 2, 524, 131), WU_OK);
  ASSERT_EQ(handed.size(), 3u);
  EXPECT_EQ(handed[0].window, &window);
  EXPECT_EQ(handed[0].cls, 2);
  EXPECT_EQ(handed[0].text, "A tool box is already loaded.");
  EXPECT_EQ(handed[1].window, nullptr);
  EXPECT_EQ(handed[1].text, "Message 524,54.");
  EXPECT_EQ(handed[2].cls, QEV_LOG_ERROR);
  EXPECT_EQ(handed[2].text, "Help is not available.");
}

// Every message asked for that no table holds is noted once, whichever
// service asked.
TEST_F(HostTest, MessagesWithoutTextAreNotedOnce) {
  qevhost::clearMissingMessages();
  const char *text = nullptr;
  int32_t length = 0;
  char out[32];
  EXPECT_EQ(k_->wkread(526, 116, &text, &length), WU_NOTAVAIL);
  EXPECT_EQ(k_->xpmstr(out, sizeof out, &length, 526, 117, 0, nullptr), WU_NOTAVAIL);
  EXPECT_EQ(k_->ypmlog(526, 441, 0, nullptr), WU_NOTAVAIL);
  EXPECT_EQ(k_->yuhmsg(524, 54), WU_NOTAVAIL);
  EXPECT_EQ(k_->wkread(526, 116, &text, &length), WU_NOTAVAIL);
  qevhost::setMessage(526, 116, "Enter the library.");
  EXPECT_EQ(k_->wkread(526, 116, &text, &length), WU_OK);
  const std::vector<qevhost::MessageKey> missing = qevhost::missingMessages();
  ASSERT_EQ(missing.size(), 4u);
  const int32_t numbers[4] = {116, 117, 441, 54};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(missing[i].number, numbers[i]);
  EXPECT_EQ(missing[3].set, 524);
}

}  // namespace
