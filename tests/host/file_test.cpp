// External record files, host libraries and path services, followed the way
// the command history uses them.
#include <cstring>
#include <fstream>
#include <string>

#include "hosttest.h"

namespace {

using hosttest::HostTest;

const int32_t kInput[7] = {4113, 17, 0, 0, 1, 0, 0};
const int32_t kOutput[7] = {4370, 1, 200, 0, 0, 0, 0};

class FileTest : public HostTest {
 protected:
  // Library directory -> file name -> file reference, as the history does.
  wu_status assign(const char *libref) {
    qev_libinfo info;
    wu_status st = k_->yhlinf2(libref, &info);
    if (st != WU_OK) return st;
    char dirs[1024];
    int32_t count = 0;
    st = k_->hx_split_path(info.path, info.path_length, dirs, sizeof dirs, &count);
    if (st != WU_OK) return st;
    char name[1024];
    st = k_->wxname(name, sizeof name, "command.hist", 12, 0, dirs,
                    static_cast<int32_t>(std::strlen(dirs)));
    if (st != WU_OK) return st;
    path_ = name;
    return k_->wxasgn("COMDHIST", "DISK    ", name, static_cast<int32_t>(std::strlen(name)));
  }
  std::string path_;
};

TEST_F(FileTest, RecordsWrittenAndReadBackUntilEndOfFile) {
  ASSERT_EQ(assign("QEVUSER "), WU_OK);
  EXPECT_EQ(path_, dir_ + "/user/command.hist");
  qev_file *f = nullptr;
  ASSERT_EQ(k_->wxopen(&f, "COMDHIST", kOutput), WU_OK);
  EXPECT_EQ(k_->wxwrite(f, "dir", 3), WU_OK);
  EXPECT_EQ(k_->wxwrite(f, "", 0), WU_OK);
  EXPECT_EQ(k_->wxwrite(f, std::string(20, 'x').data(), 20), WU_OK);
  EXPECT_EQ(k_->wxread(f, nullptr, 0, nullptr), WU_BADARG);       // opened for writing
  ASSERT_EQ(k_->wxclose(f), WU_OK);
  EXPECT_EQ(k_->wxclose(f), WU_BADARG);

  // A replacing file whose writes did not all succeed leaves the old one.
  for (int bad = 0; bad < 3; ++bad) {
    ASSERT_EQ(k_->wxopen(&f, "COMDHIST", kOutput), WU_OK);
    EXPECT_EQ(k_->wxwrite(f, "new", 3), WU_OK);
    if (bad == 0) {
      std::string longer(250, 'x');
      EXPECT_EQ(k_->wxwrite(f, longer.data(), 250), WU_TRUNCATED);   // record length 200
    } else if (bad == 1) {
      EXPECT_EQ(k_->wxwrite(f, "two\nlines", 9), WU_BADARG);
    } else {
      qevhost::failRecordFile(true, 2);
      EXPECT_EQ(k_->wxwrite(f, "lost", 4), WU_NOTAVAIL);
    }
    EXPECT_NE(k_->wxclose(f), WU_OK);
  }

  ASSERT_EQ(k_->wxopen(&f, "COMDHIST", kInput), WU_OK);
  char buf[512];
  int32_t len = -1;
  ASSERT_EQ(k_->wxread(f, buf, sizeof buf, &len), WU_OK);
  EXPECT_EQ(std::string(buf, len), "dir");
  ASSERT_EQ(k_->wxread(f, buf, sizeof buf, &len), WU_OK);
  EXPECT_EQ(len, 0);
  ASSERT_EQ(k_->wxread(f, buf, 10, &len), WU_TRUNCATED);
  EXPECT_EQ(len, 10);
  EXPECT_EQ(k_->wxread(f, buf, sizeof buf, &len), WU_EOF);
  EXPECT_EQ(k_->wxread(f, buf, sizeof buf, &len), WU_EOF);
  EXPECT_EQ(k_->wxwrite(f, "x", 1), WU_BADARG);                  // opened for reading
  ASSERT_EQ(k_->wxclose(f), WU_OK);

  // Replacing output starts the file afresh.
  ASSERT_EQ(k_->wxopen(&f, "COMDHIST", kOutput), WU_OK);
  ASSERT_EQ(k_->wxwrite(f, "only", 4), WU_OK);
  ASSERT_EQ(k_->wxclose(f), WU_OK);
  std::ifstream in(path_);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "only\n");
}

TEST_F(FileTest, ConcatenatedLibrariesAndPathLists) {
  qevhost::HostLibrary first, second, cat;
  first.paths = "/first";
  first.memberFlags = QEV_LIBINFO_MEMBER_FLAG;
  second.paths = "('/second/a' '/second/b')";
  cat.paths = "('/first' '/second/a' '/second/b')";
  cat.members = {first, second};
  qevhost::setHostLibrary("BOTH", cat);
  qev_libinfo info;
  ASSERT_EQ(k_->yhlinf2("BOTH    ", &info), WU_OK);
  EXPECT_EQ(info.concatenated, 2);
  EXPECT_EQ(std::string(info.engine, 8), "DISK    ");
  ASSERT_EQ(k_->yhlcnf2("BOTH    ", 1, &info), WU_OK);
  EXPECT_EQ(info.member_flags, QEV_LIBINFO_MEMBER_FLAG);
  ASSERT_EQ(k_->yhlcnf2("BOTH    ", 2, &info), WU_OK);
  EXPECT_EQ(k_->yhlcnf2("BOTH    ", 3, &info), WU_BADARG);
  EXPECT_EQ(k_->yhlinf2("NOSUCH  ", &info), WU_NOTAVAIL);

  char buf[64];
  int32_t count = 0;
  ASSERT_EQ(k_->hx_split_path(info.path, info.path_length, buf, sizeof buf, &count), WU_OK);
  EXPECT_EQ(count, 2);
  EXPECT_STREQ(buf, "/second/a");
  EXPECT_STREQ(buf + 10, "/second/b");
  EXPECT_EQ(k_->hx_split_path(info.path, info.path_length, buf, 12, &count), WU_TRUNCATED);
  EXPECT_EQ(count, 1);
  ASSERT_EQ(k_->hx_split_path(".", 1, buf, sizeof buf, &count), WU_OK);
  EXPECT_STREQ(buf, ".");

  char name[16];
  EXPECT_EQ(k_->wxname(name, sizeof name, "command.hist", 12, 0, "/a/long/dir", 11), WU_TRUNCATED);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(k_->wxname(name, sizeof name, "f", -1, 0, "/d", 2), WU_BADARG);
  EXPECT_EQ(k_->wxasgn("REF     ", "TAPE    ", "/x", 2), WU_UNSUPPORTED);
  qev_file *f = nullptr;
  EXPECT_EQ(k_->wxopen(&f, "NOREF   ", kInput), WU_NOTAVAIL);
  ASSERT_EQ(k_->wxasgn("REF     ", "DISK    ", "/nonexistent/dir/file", 21), WU_OK);
  EXPECT_EQ(k_->wxopen(&f, "REF     ", kInput), WU_NOTAVAIL);
  EXPECT_EQ(f, nullptr);
  EXPECT_EQ(k_->wxopen(&f, "REF     ", nullptr), WU_BADARG);
}

TEST_F(FileTest, FileReferencesBelongToTheCurrentTask) {
  ASSERT_EQ(assign("QEVUSER "), WU_OK);
  qev_task *other = qevhost::createTask("OTHER", 2, 0);
  qevhost::setCurrentTask(other);
  qev_file *f = nullptr;
  EXPECT_EQ(k_->wxopen(&f, "COMDHIST", kOutput), WU_NOTAVAIL);
  qevhost::setCurrentTask(qevhost::mainTask());
  ASSERT_EQ(k_->wxopen(&f, "COMDHIST", kOutput), WU_OK);
  ASSERT_EQ(k_->wxclose(f), WU_OK);
}

}  // namespace
