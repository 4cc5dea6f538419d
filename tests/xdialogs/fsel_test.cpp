// The file selection dialog and the caller's result record: a chosen path
// comes back whole, with its length and terminator inside the record, and
// nothing past the record is written; a path the record cannot hold is not
// taken.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>
#include <Xm/FileSB.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <sys/stat.h>

#include "dialogs/wudialog.h"
#include "modulehost.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wutoolkit.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

using qevtest::Script;

// A result record with guard bytes after it, as a caller's stack or heap
// may hold it.
struct Guarded {
  wu_fsel request;
  unsigned char guard[64];
};
const unsigned char kGuard = 0xA5;

class FileSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    const char *tmp = std::getenv("TMPDIR");
    root_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/qevfselXXXXXX";
    ASSERT_NE(mkdtemp(&root_[0]), nullptr);
  }
  void TearDown() override {
    qevtest::stopModule();
    std::system(("rm -rf '" + root_ + "'").c_str());
  }
  // A directory below the test's folder whose path is `length` bytes long
  // (made of components the file system takes).
  std::string DirectoryOf(size_t length) {
    std::string dir = root_;
    while (dir.size() < length) {
      const size_t left = length - dir.size() - 1;   // after the slash
      // A last component too short to stand alone is folded into the one before.
      const size_t part = left > 200 ? (left - 200 == 1 ? 150 : 200) : left;
      dir += "/" + std::string(part, 'd');
      EXPECT_TRUE(mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) << dir.size();
    }
    EXPECT_EQ(dir.size(), length);
    return dir;
  }
  Widget Dialog() { return XtNameToWidget(devb->toplevel, "*qevFileSelection"); }
  bool Shown() { return Dialog() && qevtest::viewable(Dialog()); }
  // The user opens the file the caller offers with OK.
  wu_status ChooseOffered(wu_fsel *request, const std::string &dir, const std::string &file) {
    Script s;
    s.then("OK on the offered file", [&] { return Shown(); },
           [&] {
             EXPECT_TRUE(qevtest::clickHandled(XmFileSelectionBoxGetChild(Dialog(), XmDIALOG_OK_BUTTON)));
           });
    wu_status st = WU_OK;
    s.run([&] { st = wumfsel(nullptr, "Open", request, file.c_str(), dir.c_str(), nullptr); });
    return st;
  }

  std::string root_;
};

bool GuardWhole(const Guarded &g) {
  for (unsigned char c : g.guard)
    if (c != kGuard) return false;
  return true;
}

// A path of 1,023 bytes fills the record with its terminator; one of 1,024
// bytes or more cannot be held whole: OK keeps the dialog up and says so,
// and the caller gets nothing but the cancel.  The record sits on the heap
// at its own size, so a sanitizer build sees a write past it.
TEST_F(FileSelection, APathIsTakenWholeWithinTheRecordOrNotAtAll) {
  const size_t kMost = WU_FSEL_PATH_MAX - 1;
  for (size_t length : {kMost - 1, kMost}) {
    SCOPED_TRACE(length);
    const std::string dir = DirectoryOf(length - 2);
    const std::string path = dir + "/f";
    ASSERT_EQ(path.size(), length);
    auto request = std::make_unique<wu_fsel>();
    std::memset(request.get(), 0x5A, sizeof *request);
    request->mode = WU_FSEL_FILE;
    request->keep = 0;
    ASSERT_EQ(ChooseOffered(request.get(), dir, "f"), WU_OK);
    EXPECT_EQ(request->length, int32_t(length));
    EXPECT_EQ(request->path[length], '\0');
    EXPECT_EQ(std::string(request->path), path);
  }

  for (size_t length : {kMost + 1, size_t(WU_FSEL_PATH_MAX) + 1, size_t(3000)}) {
    SCOPED_TRACE(length);
    const std::string dir = DirectoryOf(length - 2);
    const std::string path = dir + "/f";
    Guarded g;
    std::memset(&g, kGuard, sizeof g);
    g.request.mode = WU_FSEL_FILE;
    g.request.keep = 0;
    qevhost::clearLog();
    Script s;
    s.then("OK on a path too long for the record", [&] { return Shown(); },
           [&] {
             EXPECT_TRUE(qevtest::clickHandled(XmFileSelectionBoxGetChild(Dialog(), XmDIALOG_OK_BUTTON)));
           })
        .then("the dialog still up; Cancel", [&] { return Shown(); },
              [&] {
                EXPECT_TRUE(qevtest::logContains("The path chosen is " + std::to_string(length) + " bytes long"));
                EXPECT_TRUE(qevtest::clickHandled(XmFileSelectionBoxGetChild(Dialog(), XmDIALOG_CANCEL_BUTTON)));
              });
    wu_status st = WU_OK;
    s.run([&] { st = wumfsel(nullptr, "Save", &g.request, "f", dir.c_str(), nullptr); });
    EXPECT_EQ(st, WU_CANCELLED);
    EXPECT_EQ(g.request.length, 0);
    EXPECT_EQ(g.request.path[0], '\0');
    EXPECT_TRUE(GuardWhole(g));
  }
}

// A directory chosen with a trailing slash is taken without it: 1,024
// bytes with the slash are a path of 1,023, which the record holds.
TEST_F(FileSelection, ADirectoryIsMeasuredWithoutItsTrailingSlash) {
  const size_t kMost = WU_FSEL_PATH_MAX - 1;
  const std::string dir = DirectoryOf(kMost);
  Guarded g;
  std::memset(&g, kGuard, sizeof g);
  g.request.mode = WU_FSEL_DIRECTORY;
  g.request.keep = 0;
  Script s;
  s.then("OK on the offered directory with its slash", [&] { return Shown(); },
         [&] {
           EXPECT_TRUE(qevtest::clickHandled(XmFileSelectionBoxGetChild(Dialog(), XmDIALOG_OK_BUTTON)));
         });
  wu_status st = WU_CANCELLED;
  const std::string offered = dir + "/";
  s.run([&] { st = wumfsel(nullptr, "Directory", &g.request, offered.c_str(), root_.c_str(), nullptr); });
  EXPECT_EQ(st, WU_OK);
  EXPECT_EQ(g.request.length, int32_t(kMost));
  EXPECT_EQ(std::string(g.request.path), dir);
  EXPECT_TRUE(GuardWhole(g));
}

// The filters offered: at most 50, each of at most 199 characters; the
// 51st and a pattern of 200 are not offered.
TEST_F(FileSelection, FiltersAreOfferedUpToTheirLimits) {
  std::vector<std::string> texts;
  for (int i = 0; i < WU_FSEL_FILTERS_MAX; ++i) texts.push_back("*." + std::to_string(i));
  texts[1] = "*" + std::string(WU_FSEL_PATTERN_MAX - 1, 'p');   // 199 characters
  texts[2] = "*" + std::string(WU_FSEL_PATTERN_MAX, 'q');       // 200 characters
  wu_fsel_filters filters = {};
  filters.count = WU_FSEL_FILTERS_MAX + 1;   // one more than the list holds
  for (int i = 0; i < WU_FSEL_FILTERS_MAX; ++i)
    filters.patterns[i] = {int32_t(texts[size_t(i)].size()), texts[size_t(i)].c_str()};
  wu_fsel request = {};
  request.mode = WU_FSEL_FILE;
  int offered = -1;
  bool long_one = false, too_long = false;
  Script s;
  s.then("the filters looked at, then Cancel", [&] { return Shown(); },
         [&] {
           Widget combo = XtNameToWidget(Dialog(), "*qevFileFilters");
           ASSERT_NE(combo, nullptr);
           XmStringTable items = nullptr;
           XtVaGetValues(combo, XmNitemCount, &offered, XmNitems, &items, nullptr);
           for (int i = 0; i < offered; ++i) {
             char *t = wumgstr(items[i]);
             long_one = long_one || (t && texts[1] == t);
             too_long = too_long || (t && texts[2] == t);
             XtFree(t);
           }
           EXPECT_TRUE(qevtest::clickHandled(XmFileSelectionBoxGetChild(Dialog(), XmDIALOG_CANCEL_BUTTON)));
         });
  wu_status st = WU_OK;
  s.run([&] { st = wumfsel(nullptr, "Open", &request, nullptr, root_.c_str(), &filters); });
  EXPECT_EQ(st, WU_CANCELLED);
  EXPECT_EQ(offered, WU_FSEL_FILTERS_MAX - 1);   // all but the one too long
  EXPECT_TRUE(long_one);
  EXPECT_FALSE(too_long);
}

}  // namespace
