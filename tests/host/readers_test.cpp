// The stand-in host's readers of files given to it: option and message
// files with numbers out of range or bytes after them, and catalog members
// whose records are cut off.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/stat.h>

#include "hosttest.h"

namespace {

using hosttest::HostTest;
using hosttest::Name34;

void Put(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST_F(HostTest, OptionAndMessageNumbersOutOfRangeAreRefused) {
  Put(dir_ + "/more-options", std::string("num BIG 4294967297\n"
                                          "num HUGE 0x7fffffffffffffffff\n"
                                          "num JUNK 12") +
                                  '\0' +
                                  "junk\n"
                                  "num LOW -2147483648\n"
                                  "global 4294967298 5\n"
                                  "char\n");
  EXPECT_FALSE(qevhost::loadOptions(dir_ + "/more-options"));
  int32_t v = -1;
  EXPECT_EQ(k_->yyrngef("BIG", 3, &v), WU_NOTAVAIL);
  EXPECT_EQ(k_->yyrngef("HUGE", 4, &v), WU_NOTAVAIL);
  EXPECT_EQ(k_->yyrngef("JUNK", 4, &v), WU_NOTAVAIL);
  ASSERT_EQ(k_->yyrngef("LOW", 3, &v), WU_OK);
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_EQ(k_->yugwred(2), 1);  // from the test options, not 5
  int warnings = 0;
  for (const std::string &line : qevhost::log())
    warnings += line.find("option line not understood") != std::string::npos;
  EXPECT_EQ(warnings, 5);

  Put(dir_ + "/more-messages.txt",
      "4294967297 1 wrapped to set 1\n"
      "1 4294967298 wrapped to number 2\n"
      "-2147483648 7 lowest set\n"
      "  9   8   padded\n");
  qevhost::clearLog();
  ASSERT_TRUE(qevhost::loadMessages(dir_ + "/more-messages.txt"));
  const char *text = nullptr;
  int32_t length = 0;
  EXPECT_EQ(k_->wkread(1, 1, &text, &length), WU_NOTAVAIL);
  EXPECT_EQ(k_->wkread(1, 2, &text, &length), WU_NOTAVAIL);
  ASSERT_EQ(k_->wkread(INT32_MIN, 7, &text, &length), WU_OK);
  EXPECT_EQ(std::string(text, size_t(length)), "lowest set");
  ASSERT_EQ(k_->wkread(9, 8, &text, &length), WU_OK);
  EXPECT_EQ(std::string(text, size_t(length)), "padded");
  EXPECT_EQ(qevhost::log().size(), 2u);
}

TEST_F(HostTest, ACatalogRecordCutOffIsDamageNotARecord) {
  qevhost::defineLibrary("WORK");
  const std::string dir = qevhost::catalogRoot() + "/WORK/CUT";
  ASSERT_EQ(::mkdir(dir.c_str(), 0777), 0);
  auto head = [](int32_t length, int32_t type) {
    return std::string(reinterpret_cast<const char *>(&length), 4) +
           std::string(reinterpret_cast<const char *>(&type), 4);
  };
  // A whole record, then one whose head promises more than the member holds.
  Put(dir + "/ENTRY.DATA", head(2, 1) + "ok" + head(1000, 1) + "short");
  const Name34 cat("CUT"), entry("ENTRY");
  qev_lib *lib = nullptr;
  qev_member *m = nullptr;
  ASSERT_EQ(k_->ylopen(&lib, QEV_LIB_READ, "WORK    ", cat.bytes), WU_OK);

  // Read into a small buffer, into a large one, and passed over.
  for (int32_t size : {2, 4096}) {
    ASSERT_EQ(k_->ylmopen(lib, entry.bytes, "DATA    ", QEV_LIB_READ, &m), WU_OK);
    char buf[4096];
    int32_t length = -1;
    ASSERT_EQ(k_->ylmread(m, buf, 2, &length, 0), WU_OK);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(k_->ylmread(m, buf, size, &length, 0), WU_NOTAVAIL) << size;
    EXPECT_EQ(k_->ylmclos(m, 0), WU_OK);
  }
  ASSERT_EQ(k_->ylmopen(lib, entry.bytes, "DATA    ", QEV_LIB_READ, &m), WU_OK);
  int32_t length = -1;
  EXPECT_EQ(k_->ylmread(m, nullptr, 0, &length, 2), WU_NOTAVAIL);
  EXPECT_EQ(k_->ylmclos(m, 0), WU_OK);
  EXPECT_EQ(k_->ylclose(lib), WU_OK);
  EXPECT_TRUE(qevhost::log().size() >= 3u);
  EXPECT_NE(qevhost::log().back().find("is damaged"), std::string::npos);

  // A tool box entry whose tool record is cut off is not read as one.
  std::string header(QEV_TOOLBOX_HEADER_LEN, 'h');
  Put(dir + "/BOX.TOOLBOX", head(QEV_TOOLBOX_HEADER_LEN, QEV_REC_TOOLBOX_HEADER) + header +
                                head(QEV_TOOLBOX_TOOL_LEN, QEV_REC_TOOLBOX_TOOL) +
                                std::string(100, 't'));
  unsigned char back[QEV_TOOLBOX_HEADER_LEN];
  ASSERT_EQ(k_->yucrhdr("WORK    ", cat.bytes, Name34("BOX").bytes, &lib, &m, back), WU_OK);
  std::string tool(QEV_TOOLBOX_TOOL_LEN, '\0');
  EXPECT_EQ(k_->yucrtol(m, &tool[0]), WU_NOTAVAIL);
  EXPECT_EQ(k_->ylmclos(m, 0), WU_OK);
  EXPECT_EQ(k_->ylclose(lib), WU_OK);
}

}  // namespace
