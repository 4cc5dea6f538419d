// Host messages, options and tool box catalog records through the kernel.
#include <cstring>
#include <string>

#include "coretest.h"
#include "runtime/wuhost.h"

namespace {

using coretest::StartedTest;

TEST_F(StartedTest, MessagesAreCopiedIntoTheModulePool) {
  qevhost::setMessage(700, 5, "Tool box saved.");
  char *text = wuxgmft(700, 5);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "Tool box saved.");
  EXPECT_EQ(qevhost::poolStats(pool_).liveBlocks, base_.liveBlocks + 1);
  EXPECT_EQ(vmfree_handler(pool_, text, wzstlen(text) + 1, 0), WU_OK);
  EXPECT_EQ(wuxgmft(700, 6), nullptr);
  expectPoolAtBase();

  int32_t length = -1;
  const char *s = wuxrmsg(700, 5, &length);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(std::string(s), "Tool box saved.");
  EXPECT_EQ(length, 15);
  qevhost::setMessage(700, 7, std::string(600, 'x'));
  s = wuxrmsg(700, 7, &length);
  EXPECT_EQ(length, WU_RMSG_BUFFER - 1);
  EXPECT_EQ(std::strlen(s), static_cast<size_t>(WU_RMSG_BUFFER - 1));
  EXPECT_EQ(wuxrmsg(700, 8, &length), nullptr);
  EXPECT_EQ(length, 0);

  char *banner = wuxabnr(700, 5);
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(std::string(banner), "Tool box saved. Linux");
  EXPECT_EQ(vmfree_handler(pool_, banner, wzstlen(banner) + 1, 0), WU_OK);
  EXPECT_EQ(wuxabnr(700, 8), nullptr);
  expectPoolAtBase();
}

TEST_F(StartedTest, AboutTextsAsLinesAndAsItems) {
  qevhost::setMessage(WU_ABOUT_MSGSET, 1, "Copyright line one");
  qevhost::setMessage(WU_ABOUT_MSGSET, 2, "Line two");
  qevhost::setMessage(WU_ABOUT_MSGSET, WU_ABOUT_ITEM_BASE + 3, "About");
  int32_t n = -1;
  char **lines = wuxabou(WU_ABOUT_LINES, &n);
  ASSERT_NE(lines, nullptr);
  ASSERT_EQ(n, 2);
  EXPECT_STREQ(lines[0], "Copyright line one");
  EXPECT_STREQ(lines[1], "Line two");
  EXPECT_EQ(lines[2], nullptr);
  EXPECT_EQ(vmfree_handler(pool_, lines, -1, 0), WU_OK);

  char **items = wuxabou(WU_ABOUT_RECORD, &n);
  ASSERT_NE(items, nullptr);
  ASSERT_EQ(n, WU_ABOUT_ITEMS);
  EXPECT_STREQ(items[0], "");
  EXPECT_STREQ(items[2], "About");
  EXPECT_EQ(vmfree_handler(pool_, items, -1, 0), WU_OK);
  EXPECT_EQ(wuxabou(3, &n), nullptr);
  EXPECT_EQ(n, 0);
  expectPoolAtBase();
}

TEST_F(StartedTest, TrimmedCopyIsCutToTheBuffer) {
  char buf[16];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(wuxtjfy("  ab c  ", 8, buf, sizeof buf), 4);
  EXPECT_STREQ(buf, "ab c");
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(wuxtjfy("  ab c  ", 8, buf, 0), 0);   // size 0 copies nothing
  EXPECT_EQ(buf[0], '#');
  EXPECT_EQ(wuxtjfy("  abcdef", 8, buf, 3), 2);
  EXPECT_STREQ(buf, "ab");
  EXPECT_EQ(buf[3], '#');
  EXPECT_EQ(wuxtjfy("    ", 4, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(wuxtjfy(nullptr, 4, buf, sizeof buf), 0);
}

TEST_F(StartedTest, OptionWrappersReadAndSetHostOptions) {
  wu_status st = -1;
  qevhost::setCharOption("INITCMD", "dmsg 'hi'");
  const char *v = yw7cget("INITCMD", &st);
  EXPECT_EQ(st, WU_OK);
  ASSERT_NE(v, nullptr);
  EXPECT_STREQ(v, "dmsg 'hi'");
  qevhost::unsetCharOption("INITCMD");
  EXPECT_EQ(yw7cget("INITCMD", &st), nullptr);
  EXPECT_NE(st, WU_OK);

  qevhost::setCharOption("DEVICE", std::string(WU_OPTION_VALUE_MAX + 50, 'd'));
  v = yw7cget("DEVICE", &st);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(std::strlen(v), static_cast<size_t>(WU_OPTION_VALUE_MAX));

  EXPECT_EQ(yw7cset("PRINTGDEV", "XPRINTC"), WU_OK);
  EXPECT_STREQ(yw7cget("PRINTGDEV", &st), "XPRINTC");

  EXPECT_EQ(yw7bset("HOSTPRINT", 1), WU_OK);
  EXPECT_EQ(yw7bget("HOSTPRINT", &st), 1);
  EXPECT_EQ(st, WU_OK);
  EXPECT_EQ(yw7bset("HOSTPRINT", 0), WU_OK);
  EXPECT_EQ(yw7bget("HOSTPRINT", &st), 0);
}

TEST_F(StartedTest, ToolBoxEntryWrittenAndReadBackByteForByte) {
  qevhost::defineLibrary("WORK");
  char libref[QEV_LIBREF_LEN];
  char catalog[QEV_NAME34_LEN];
  char entry[QEV_NAME34_LEN];
  vzmp("WORK", 4, libref, sizeof libref);
  int16_t len = 5;
  std::memcpy(catalog, &len, sizeof len);
  vzmp("TOOLS", 5, catalog + 2, QEV_NAME34_LEN - 2);
  std::memcpy(entry, &len, sizeof len);
  vzmp("MYBOX", 5, entry + 2, QEV_NAME34_LEN - 2);

  wu_toolbox_header header;
  std::memset(&header, 0, sizeof header);
  std::strcpy(header.title, "My tools");
  header.per_row = 4;
  header.tool_count = 2;
  header.icon_width = header.icon_height = 24;
  std::snprintf(header.x, sizeof header.x, "%d", 120);
  std::snprintf(header.y, sizeof header.y, "%d", -5);
  header.save_position = 1;
  header.tools_part = 1;
  wu_tool_record tools[2];
  std::memset(tools, 0, sizeof tools);
  std::snprintf(tools[0].icon, sizeof tools[0].icon, "%d", 1009);
  std::strcpy(tools[0].command, "SUBMIT");
  std::strcpy(tools[0].tip, "Run");
  std::snprintf(tools[0].command_id, sizeof tools[0].command_id, "%d", 77);
  std::snprintf(tools[1].icon, sizeof tools[1].icon, "%d", WU_TB_SEPARATOR_ICON);

  qev_lib *lib = nullptr;
  qev_member *member = nullptr;
  ASSERT_EQ(yucwhdr(libref, catalog, entry, &lib, &member, &header), WU_OK);
  for (const wu_tool_record &t : tools) ASSERT_EQ(yucwtol(member, &t), WU_OK);
  ASSERT_EQ(ylmclos(member, 0), WU_OK);
  ASSERT_EQ(ylclose(lib), WU_OK);

  wu_toolbox_header back;
  wu_tool_record tback[2];
  ASSERT_EQ(yucrhdr(libref, catalog, entry, &lib, &member, &back), WU_OK);
  EXPECT_EQ(std::memcmp(&back, &header, WU_TB_HEADER_SIZE), 0);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(yucrtol(member, &tback[i]), WU_OK);
    EXPECT_EQ(std::memcmp(&tback[i], &tools[i], WU_TB_TOOL_SIZE), 0) << i;
  }
  wu_tool_record extra;
  EXPECT_NE(yucrtol(member, &extra), WU_OK);   // end of the entry
  EXPECT_EQ(ylmclos(member, 0), WU_OK);
  EXPECT_EQ(ylclose(lib), WU_OK);
}

}  // namespace
