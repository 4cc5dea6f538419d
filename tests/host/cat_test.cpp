// Catalogs, members and the tool box entry services.
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <unistd.h>

#include "hosttest.h"

namespace {

using hosttest::HostTest;
using hosttest::Name34;

const char kLib[] = "WORK    ";
const char kType[] = "TOOLBOX ";

class CatalogTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    qevhost::defineLibrary("WORK");
  }
  // Files in the catalog's directory, temporary ones included.
  std::vector<std::string> files(const std::string &catalog) {
    std::vector<std::string> out;
    DIR *d = ::opendir((qevhost::catalogRoot() + "/WORK/" + catalog).c_str());
    if (!d) return out;
    while (struct dirent *e = ::readdir(d))
      if (e->d_name[0] != '.') out.push_back(e->d_name);
    ::closedir(d);
    return out;
  }
  // Writes one member of two records through the slots.
  wu_status writeMember(const Name34 &cat, const Name34 &entry, int32_t abandon) {
    qev_lib *lib = nullptr;
    qev_member *m = nullptr;
    wu_status st = k_->ylopen(&lib, QEV_LIB_WRITE, kLib, cat.bytes);
    if (st != WU_OK) return st;
    st = k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_WRITE, &m);
    if (st == WU_OK) {
      EXPECT_EQ(k_->ylmwrit(m, "first", 5, 1), WU_OK);
      EXPECT_EQ(k_->ylmwrit(m, "second!", 7, 1), WU_OK);
      st = k_->ylmclos(m, abandon);
    }
    EXPECT_EQ(k_->ylclose(lib), WU_OK);
    return st;
  }
};

TEST_F(CatalogTest, ToolBoxEntryRoundTripsByteForByte) {
  Name34 cat("TOOLS"), entry("MYBOX");
  unsigned char header[QEV_TOOLBOX_HEADER_LEN];
  for (size_t i = 0; i < sizeof header; ++i) header[i] = static_cast<unsigned char>(i * 7 + 1);
  std::vector<std::vector<unsigned char>> tools(3, std::vector<unsigned char>(QEV_TOOLBOX_TOOL_LEN));
  for (size_t t = 0; t < tools.size(); ++t)
    for (size_t i = 0; i < QEV_TOOLBOX_TOOL_LEN; ++i)
      tools[t][i] = static_cast<unsigned char>(i ^ (t * 31));

  qev_lib *lib = nullptr;
  qev_member *m = nullptr;
  ASSERT_EQ(k_->yucwhdr(kLib, cat.bytes, entry.bytes, &lib, &m, header), WU_OK);
  ASSERT_TRUE(lib && m);
  ASSERT_EQ(k_->yucwtol(m, tools[0].data()), WU_OK);
  // An extension record follows the second tool.
  ASSERT_EQ(k_->yucwtol(m, tools[1].data()), WU_OK);
  ASSERT_EQ(k_->ylmwrit(m, "EXTENSION", 9, 7), WU_OK);
  ASSERT_EQ(k_->yucwtol(m, tools[2].data()), WU_OK);
  ASSERT_EQ(k_->ylmclos(m, 0), WU_OK);
  ASSERT_EQ(k_->ylclose(lib), WU_OK);
  EXPECT_EQ(k_->ylclose(lib), WU_BADARG);   // closed handles are refused

  ASSERT_EQ(k_->ylopen(&lib, QEV_LIB_READ, kLib, cat.bytes), WU_OK);
  EXPECT_EQ(k_->ylobjfd(lib, entry.bytes, kType), WU_OK);
  EXPECT_EQ(k_->ylobjfd(lib, Name34("OTHER").bytes, kType), WU_NOTAVAIL);
  char info[QEV_NAME34_LEN];
  ASSERT_EQ(k_->ylinfo(lib, QEV_LINFO_LIBREF, info, sizeof info), WU_OK);
  EXPECT_EQ(std::string(info, 8), "WORK    ");
  ASSERT_EQ(k_->ylinfo(lib, QEV_LINFO_CATALOG, info, sizeof info), WU_OK);
  EXPECT_EQ(std::memcmp(info, cat.bytes, QEV_NAME34_LEN), 0);
  EXPECT_EQ(k_->ylinfo(lib, QEV_LINFO_CATALOG, info, 8), WU_BADARG);
  ASSERT_EQ(k_->ylclose(lib), WU_OK);

  unsigned char back[QEV_TOOLBOX_HEADER_LEN] = {};
  ASSERT_EQ(k_->yucrhdr(kLib, cat.bytes, entry.bytes, &lib, &m, back), WU_OK);
  EXPECT_EQ(std::memcmp(back, header, sizeof header), 0);
  std::vector<unsigned char> tool(QEV_TOOLBOX_TOOL_LEN);
  ASSERT_EQ(k_->yucrtol(m, tool.data()), WU_OK);
  EXPECT_EQ(tool, tools[0]);
  ASSERT_EQ(k_->yucrtol(m, tool.data()), WU_OK);
  EXPECT_EQ(tool, tools[1]);
  int32_t len = -1;
  EXPECT_EQ(k_->ylmread(m, nullptr, 0, &len, 1), WU_OK);   // pass over the extension
  ASSERT_EQ(k_->yucrtol(m, tool.data()), WU_OK);
  EXPECT_EQ(tool, tools[2]);
  // The end of the member carries host bits: only a masked compare sees it.
  wu_status end = k_->yucrtol(m, tool.data());
  EXPECT_NE(end, WU_EOM);
  EXPECT_TRUE(WU_IS_EOM(end));
  ASSERT_EQ(k_->ylmclos(m, 0), WU_OK);
  ASSERT_EQ(k_->ylclose(lib), WU_OK);

  EXPECT_NE(k_->yucrhdr(kLib, cat.bytes, Name34("NOSUCH").bytes, &lib, &m, back), WU_OK);
  EXPECT_EQ(lib, nullptr);
  EXPECT_EQ(m, nullptr);
}

TEST_F(CatalogTest, MemberReadsSkipsAndEnds) {
  Name34 cat("SRC"), entry("TWO");
  ASSERT_EQ(writeMember(cat, entry, 0), WU_OK);
  qev_lib *lib = nullptr;
  qev_member *m = nullptr;
  ASSERT_EQ(k_->ylopen(&lib, QEV_LIB_READ, kLib, cat.bytes), WU_OK);
  ASSERT_EQ(k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_READ, &m), WU_OK);
  char buf[16];
  int32_t len = 0;
  ASSERT_EQ(k_->ylmread(m, buf, 3, &len, 0), WU_TRUNCATED);   // cut to the buffer
  EXPECT_EQ(len, 5);
  EXPECT_EQ(std::string(buf, 3), "fir");
  ASSERT_EQ(k_->ylmread(m, buf, sizeof buf, &len, 0), WU_OK);
  EXPECT_EQ(std::string(buf, len), "second!");
  wu_status st = k_->ylmread(m, buf, sizeof buf, &len, 0);
  EXPECT_TRUE(WU_IS_EOM(st));
  EXPECT_NE(st, WU_EOM);
  EXPECT_EQ(k_->ylmwrit(m, "x", 1, 1), WU_BADARG);   // opened for reading
  EXPECT_EQ(k_->ylmread(m, buf, -1, &len, 0), WU_BADARG);
  ASSERT_EQ(k_->ylmclos(m, 0), WU_OK);
  EXPECT_EQ(k_->ylmread(m, buf, sizeof buf, &len, 0), WU_BADARG);   // closed
  EXPECT_EQ(k_->ylmclos(m, 0), WU_BADARG);

  // Skipping past the end says end of member.
  ASSERT_EQ(k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_READ, &m), WU_OK);
  EXPECT_TRUE(WU_IS_EOM(k_->ylmread(m, nullptr, 0, &len, 3)));
  ASSERT_EQ(k_->ylmclos(m, 0), WU_OK);
  ASSERT_EQ(k_->ylclose(lib), WU_OK);

  // Update appends to the member.
  ASSERT_EQ(k_->ylopen(&lib, QEV_LIB_UPDATE, kLib, cat.bytes), WU_OK);
  ASSERT_EQ(k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_UPDATE, &m), WU_OK);
  ASSERT_EQ(k_->ylmwrit(m, "third", 5, 1), WU_OK);
  ASSERT_EQ(k_->ylmclos(m, 0), WU_OK);
  ASSERT_EQ(k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_READ, &m), WU_OK);
  ASSERT_EQ(k_->ylmread(m, nullptr, 0, &len, 2), WU_OK);
  ASSERT_EQ(k_->ylmread(m, buf, sizeof buf, &len, 0), WU_OK);
  EXPECT_EQ(std::string(buf, len), "third");
  ASSERT_EQ(k_->ylmclos(m, 0), WU_OK);
  ASSERT_EQ(k_->ylclose(lib), WU_OK);
}

TEST_F(CatalogTest, AbandonedWriteLeavesNoEntry) {
  Name34 cat("SRC"), entry("GONE");
  ASSERT_EQ(writeMember(cat, entry, 1), WU_OK);
  EXPECT_TRUE(files("SRC").empty());

  // While a member is being written, readers see the old entry (here: none).
  qev_lib *lib = nullptr;
  qev_member *m = nullptr, *r = nullptr;
  ASSERT_EQ(k_->ylopen(&lib, QEV_LIB_WRITE, kLib, cat.bytes), WU_OK);
  ASSERT_EQ(k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_WRITE, &m), WU_OK);
  ASSERT_EQ(k_->ylmwrit(m, "half", 4, 1), WU_OK);
  EXPECT_EQ(k_->ylobjfd(lib, entry.bytes, "SOURCE  "), WU_NOTAVAIL);
  EXPECT_EQ(k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_READ, &r), WU_NOTAVAIL);
  // Closing the library with the member still open abandons the write.
  ASSERT_EQ(k_->ylclose(lib), WU_OK);
  EXPECT_TRUE(files("SRC").empty());
  EXPECT_EQ(k_->ylmwrit(m, "more", 4, 1), WU_BADARG);
}

TEST_F(CatalogTest, ReadOnlyLibrariesRefuseWrites) {
  Name34 cat("SRC"), entry("KEEP");
  ASSERT_EQ(writeMember(cat, entry, 0), WU_OK);
  qevhost::setLibraryReadOnly("WORK", true);
  qev_lib *lib = nullptr;
  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_WRITE, kLib, cat.bytes), WU_READONLY);
  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_UPDATE, kLib, cat.bytes), WU_READONLY);
  EXPECT_EQ(lib, nullptr);
  qev_member *m = nullptr;
  unsigned char header[QEV_TOOLBOX_HEADER_LEN] = {};
  EXPECT_EQ(k_->yucwhdr(kLib, cat.bytes, entry.bytes, &lib, &m, header), WU_READONLY);
  // Reading still works, writing a member of a library opened to read does not.
  ASSERT_EQ(k_->ylopen(&lib, QEV_LIB_READ, kLib, cat.bytes), WU_OK);
  EXPECT_EQ(k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_WRITE, &m), WU_READONLY);
  ASSERT_EQ(k_->ylmopen(lib, entry.bytes, "SOURCE  ", QEV_LIB_READ, &m), WU_OK);
  ASSERT_EQ(k_->ylmclos(m, 0), WU_OK);
  ASSERT_EQ(k_->ylclose(lib), WU_OK);

  // A marker file in the library makes it read-only too.
  qevhost::defineLibrary("HELP");
  std::ofstream(qevhost::catalogRoot() + "/HELP/.readonly").put('\n');
  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_WRITE, "HELP    ", cat.bytes), WU_READONLY);
}

TEST_F(CatalogTest, ProfileLibraryAndBadArguments) {
  qev_lib *prof = nullptr, *lib = nullptr;
  ASSERT_EQ(k_->ylprofl(&prof), WU_OK);
  ASSERT_NE(prof, nullptr);
  // Opening the profile location gives the profile library, which stays open.
  ASSERT_EQ(k_->ylopen(&lib, QEV_LIB_READ, "QEVUSER ", Name34("PROFILE").bytes), WU_OK);
  EXPECT_EQ(lib, prof);
  EXPECT_EQ(k_->ylclose(lib), WU_OK);
  qev_member *m = nullptr;
  ASSERT_EQ(k_->ylmopen(prof, Name34("E").bytes, "SOURCE  ", QEV_LIB_WRITE, &m), WU_OK);
  ASSERT_EQ(k_->ylmclos(m, 0), WU_OK);
  EXPECT_EQ(k_->ylobjfd(prof, Name34("E").bytes, "SOURCE  "), WU_OK);

  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_READ, "NOSUCH  ", Name34("X").bytes), WU_NOTAVAIL);
  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_READ, kLib, Name34("NOTTHERE").bytes), WU_NOTAVAIL);
  EXPECT_EQ(k_->ylopen(&lib, 4, kLib, Name34("X").bytes), WU_BADARG);
  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_READ, kLib, nullptr), WU_BADARG);
  EXPECT_EQ(k_->ylopen(nullptr, QEV_LIB_READ, kLib, Name34("X").bytes), WU_BADARG);
  // Names that would leave the catalog tree, and bad name lengths.
  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_WRITE, kLib, Name34("../x").bytes), WU_BADARG);
  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_WRITE, kLib, Name34("..").bytes), WU_BADARG);
  Name34 bad("X");
  int16_t len = 40;
  std::memcpy(bad.bytes, &len, sizeof len);
  EXPECT_EQ(k_->ylopen(&lib, QEV_LIB_WRITE, kLib, bad.bytes), WU_BADARG);
  int bogus = 0;
  EXPECT_EQ(k_->ylclose(reinterpret_cast<qev_lib *>(&bogus)), WU_BADARG);
  int32_t n = 0;
  EXPECT_EQ(k_->ylmread(reinterpret_cast<qev_member *>(&bogus), nullptr, 0, &n, 0), WU_BADARG);

  qevhost::setCommandIcon(37, 292);
  EXPECT_EQ(k_->yucc2ic(37), 292);
  EXPECT_EQ(k_->yucc2ic(38), 0);
}

}  // namespace
