// The X foundation of the module on a private X server: start-up, message
// boxes answered through XTest, the icon store, colours, the busy cursor,
// X errors, compound strings, host-image pixmaps and the file selection.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <Xm/FileSB.h>
#include <Xm/MessageB.h>
#include <Xm/Xm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

#include "child.h"
#include "heapcount.h"
#include "dialogs/wudialog.h"
#include "frames/wutframe.h"
#include "graphics/wugraph.h"
#include "modulehost.h"
#include "qevhost.h"
#include "runtime/wutoolkit.h"
#include "xerrors.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {

class XFoundation : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
  }
  void TearDown() override { qevtest::stopModule(); }
};

// The dialog the module put up last: the child of its newest shell.
Widget NewestDialog() {
  if (!devb || devb->shell_count == 0) return nullptr;
  Widget shell = devb->shells[devb->shell_count - 1];
  CompositeWidget c = reinterpret_cast<CompositeWidget>(shell);
  return c->composite.num_children ? c->composite.children[0] : nullptr;
}

// What the scripted user does to the module's newest dialog.
enum Act { kOk, kNo, kCancel, kWmClose };

// The newest dialog is on the screen.
bool DialogShown() { return NewestDialog() && qevtest::viewable(NewestDialog()); }

int32_t AskWith(Act act, int32_t kind) {
  qevtest::Script s;
  s.then("the box answered", DialogShown, [act] {
    Widget dialog = NewestDialog();
    switch (act) {
      case kOk: EXPECT_TRUE(qevtest::clickHandled(XmMessageBoxGetChild(dialog, XmDIALOG_OK_BUTTON))); break;
      case kNo: EXPECT_TRUE(qevtest::clickHandled(XtNameToWidget(dialog, "no"))); break;
      case kCancel: EXPECT_TRUE(qevtest::clickHandled(XmMessageBoxGetChild(dialog, XmDIALOG_CANCEL_BUTTON))); break;
      case kWmClose: qevtest::closeLikeWindowManager(XtParent(dialog)); break;
    }
  });
  int32_t answer = -1;
  s.run([&] { answer = wumpmsg(nullptr, "Save the changes?", kind, 0); });
  return answer;
}

TEST_F(XFoundation, StartUpFillsTheDisplayBlock) {
  EXPECT_EQ(devb->depth, 24);
  EXPECT_GT(devb->cell_width, 0);
  EXPECT_GT(devb->cell_height, 0);
  EXPECT_GT(devb->char_width, 0);
  EXPECT_LE(devb->char_width, devb->cell_width);
  EXPECT_NE(devb->font_list, nullptr);
  EXPECT_NE(devb->text_keys, nullptr);
  EXPECT_NE(devb->control_translation, nullptr);
  EXPECT_NE(devb->popup_translation, nullptr);
  EXPECT_NE(wutgcsr(WU_CURSOR_BUSY), Cursor(None));
  EXPECT_EQ(wutgcsr(WU_CURSORS), Cursor(None));
  EXPECT_EQ(devb->prefs.toolbox_tip_delay, 750);
  EXPECT_EQ(devb->prefs.commands_saved, 25);
  EXPECT_TRUE(devb->prefs.pmenu_mnemonics);
  EXPECT_FALSE(devb->motifres.edit_toolbox_separators);

  qevhost::clearLog();
  EXPECT_EQ(wutqprf("toolBoxTipDelay"), WU_OK);
  EXPECT_TRUE(qevtest::logContains("QEV.toolBoxTipDelay: 750"));
  EXPECT_EQ(wutqxm("wmTopBorderWidth"), WU_OK);
  EXPECT_TRUE(qevtest::logContains("QEV.wmTopBorderWidth: "));
  EXPECT_EQ(wutqicn("noSuchResource"), WU_NOTAVAIL);
  EXPECT_EQ(wutqxt2(nullptr), WU_OK);
  EXPECT_TRUE(qevtest::logContains("QEV.font: "));

  int32_t rgb[3] = {0, 0, 0};
  EXPECT_EQ(wuggdmc(1, rgb), WU_OK);  // blue
  EXPECT_EQ(rgb[0], 0);
  EXPECT_EQ(rgb[2], 0xffff);
  EXPECT_EQ(wuggdmc(16, rgb), WU_NOTAVAIL);
}

TEST_F(XFoundation, MessageBoxAnswersYesNoCancelAndClose) {
  EXPECT_EQ(AskWith(kOk, WU_MSG_QUESTION), WU_ANSWER_YES);
  EXPECT_EQ(AskWith(kNo, WU_MSG_QUESTION), WU_ANSWER_NO);
  EXPECT_EQ(AskWith(kCancel, WU_MSG_QUESTION), WU_ANSWER_CANCEL);
  EXPECT_EQ(AskWith(kWmClose, WU_MSG_QUESTION), WU_ANSWER_CANCEL);
  EXPECT_EQ(AskWith(kOk, WU_MSG_ERROR), WU_ANSWER_OK);
  EXPECT_EQ(AskWith(kWmClose, WU_MSG_INFO), WU_ANSWER_CANCEL);
  EXPECT_EQ(devb->shell_count, 0);  // every box went with its answer
  EXPECT_EQ(devb->modal_requestor, 0);
}

TEST_F(XFoundation, MissingHostMessageSaysBadMessage) {
  XmString s = wumlstr(9999, 9999);
  char *text = wumgstr(s);
  EXPECT_STREQ(text, "Bad Message");
  XtFree(text);
  XmStringFree(s);
}

TEST_F(XFoundation, IconStoreCountsReferencesAndReleases) {
  const int32_t errors = devb->x_errors;
  Pixmap a = None, b = None;
  int32_t w = 0, h = 0;
  ASSERT_EQ(wutgpix(2, nullptr, 0, 0, &a, &w, &h), WU_OK);
  EXPECT_EQ(w, 48);
  EXPECT_EQ(h, 48);
  ASSERT_EQ(wutgpix(2, nullptr, 0, 0, &b, nullptr, nullptr), WU_OK);
  EXPECT_EQ(a, b);
  EXPECT_EQ(wutrpix(a), 2);

  // Icon 0 is the window icon; an icon that cannot be had shows the
  // fall-back image, unless the masked loader is asked.
  Pixmap icon0 = None, icon1009 = None, missing = None, fallback = None, mask = None;
  ASSERT_EQ(wutgpix(0, nullptr, 0, 0, &icon0, nullptr, nullptr), WU_OK);
  ASSERT_EQ(wutgpix(1009, nullptr, 0, 0, &icon1009, nullptr, nullptr), WU_OK);
  EXPECT_EQ(icon0, icon1009);
  ASSERT_EQ(wutgpix(777, nullptr, 0, 0, &missing, nullptr, nullptr), WU_OK);
  ASSERT_EQ(wutgpix(1010, nullptr, 0, 0, &fallback, nullptr, nullptr), WU_OK);
  EXPECT_EQ(missing, fallback);
  EXPECT_NE(wutlpix(777, nullptr, 0, 0, &mask, &mask, nullptr, nullptr), WU_OK);
  Pixmap small = None;
  ASSERT_EQ(wutlpix(WU_ICON_SET16 + 2, nullptr, 0, 0, &small, &mask, &w, &h), WU_OK);
  EXPECT_EQ(w, 16);

  EXPECT_EQ(wutfpix(a), WU_OK);
  EXPECT_EQ(wutrpix(a), 1);
  EXPECT_EQ(wutfpix(a), WU_OK);
  EXPECT_EQ(wutrpix(a), 0);
  EXPECT_EQ(wutfpix(a), WU_NOTAVAIL);  // gone: a second release frees nothing
  for (Pixmap p : {icon0, icon1009, missing, fallback, small}) EXPECT_EQ(wutfpix(p), WU_OK);
  EXPECT_EQ(devb->icon_count, 0);
  XSync(devb->display, False);
  EXPECT_EQ(devb->x_errors, errors);

  // A half-size copy of a store pixmap is the caller's own.
  ASSERT_EQ(wutgpix(10, nullptr, 0, 0, &a, nullptr, nullptr), WU_OK);
  Pixmap half = wuthpmp(a, 0);
  ASSERT_NE(half, Pixmap(None));
  Window root;
  int x, y;
  unsigned hw = 0, hh = 0, border, depth;
  XGetGeometry(devb->display, half, &root, &x, &y, &hw, &hh, &border, &depth);
  EXPECT_EQ(hw, 24u);
  EXPECT_EQ(hh, 24u);
  XFreePixmap(devb->display, half);
  EXPECT_EQ(wutfpix(a), WU_OK);
  XSync(devb->display, False);
  EXPECT_EQ(devb->x_errors, errors);
}

TEST_F(XFoundation, ColoursAreSharedCountedAndReleased) {
  wu_colour_cell cells[2] = {{0, 0x1000, 0x8000, 0xf000, 0}, {0, 0x1000, 0x8000, 0xf000, 0}};
  ASSERT_EQ(wuglclr(cells, 2, nullptr), WU_OK);
  EXPECT_EQ(cells[0].pixel, cells[1].pixel);
  EXPECT_EQ(wugcref(cells[0].pixel), 2);
  XColor c;
  c.pixel = cells[0].pixel;
  XQueryColor(devb->display, devb->colormap, &c);
  EXPECT_EQ(c.red >> 8, 0x10);
  EXPECT_EQ(c.green >> 8, 0x80);
  EXPECT_EQ(c.blue >> 8, 0xf0);
  EXPECT_EQ(wugrclr(&cells[0], 1, nullptr), WU_OK);
  EXPECT_EQ(wugcref(cells[1].pixel), 1);
  EXPECT_EQ(wugrclr(&cells[1], 1, nullptr), WU_OK);
  EXPECT_EQ(wugcref(cells[1].pixel), 0);

  // A private cell cannot be had on a TrueColor visual: the call fails and
  // gives back the shared colour it had taken.
  wu_colour_cell mixed[2] = {{0, 0x2200, 0x3300, 0x4400, 0}, {0, 0x5500, 0x6600, 0x7700, 1}};
  EXPECT_NE(wuglclr(mixed, 2, nullptr), WU_OK);
  EXPECT_EQ(wugcref(mixed[0].pixel), 0);
  EXPECT_EQ(devb->colour_ref_count, 0);
}

TEST_F(XFoundation, BusyCursorNests) {
  EXPECT_EQ(wutsbsy(1), WU_OK);
  EXPECT_EQ(wutsbsy(1), WU_OK);
  EXPECT_EQ(devb->busy_depth, 2);
  EXPECT_EQ(wutsbsy(0), WU_OK);
  EXPECT_EQ(devb->busy_depth, 1);  // still busy: the outer call has not ended
  EXPECT_EQ(wutsbsy(0), WU_OK);
  EXPECT_EQ(devb->busy_depth, 0);
  EXPECT_EQ(wutsbsy(0), WU_OK);  // an extra off does not go below zero
  EXPECT_EQ(devb->busy_depth, 0);
  XSync(devb->display, False);
  EXPECT_EQ(devb->x_errors, 0);
}

TEST_F(XFoundation, ProtocolErrorIsReportedAndTheModuleGoesOn) {
  qevhost::clearLog();
  qevtest::ExpectXErrors bad_pixmap(devb->display, BadPixmap);
  XFreePixmap(devb->display, Pixmap(0x3fffff1));
  XSync(devb->display, False);
  EXPECT_EQ(devb->x_errors, 1);
  EXPECT_EQ(bad_pixmap.seen(), 1);
  EXPECT_TRUE(qevtest::logContains("X Error"));
  EXPECT_FALSE(devb->lost);
  EXPECT_EQ(wutsync(1, 1), WU_OK);  // the connection still works
}

// A protocol error no test said it expects fails the test that caused it,
// whether the module's handler or the test support's own receives it; one
// the test expects does not.
TEST(XErrorCheck, AnUnexpectedProtocolErrorFailsTheRunningTest) {
  for (bool module : {false, true}) {
    for (bool expected : {false, true}) {
      const int status = qevtest::runInChild([module, expected] {
        std::string why;
        if (module) {
          ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
        }
        Display *dpy = module ? devb->display : qevtest::openDisplay();
        ASSERT_NE(dpy, nullptr);
        if (expected) {
          qevtest::ExpectXErrors bad_pixmap(dpy, BadPixmap);
          XFreePixmap(dpy, Pixmap(0x3fffff1));
          EXPECT_EQ(bad_pixmap.seen(), 1);
        } else {
          std::printf("(an X error is caused on purpose: the failure below is expected)\n");
          XFreePixmap(dpy, Pixmap(0x3fffff1));
          XSync(dpy, False);
        }
        if (module) qevtest::stopModule(); else XCloseDisplay(dpy);
      });
      EXPECT_EQ(qevtest::describeStatus(status), expected ? "exit 0" : "exit 1")
          << (module ? "module started" : "no module") << (expected ? ", expected" : "");
    }
  }
}

TEST_F(XFoundation, CompoundStringsRoundTrip) {
  XmString s = wumcl2r("first line\nsecond line");
  char *text = nullptr;
  EXPECT_EQ(wumgl2r(s, &text), 1);
  EXPECT_STREQ(text, "first line\nsecond line");
  XtFree(text);
  XmStringFree(s);
  s = wumcstr("plain");
  text = wumgstr(s);
  EXPECT_STREQ(text, "plain");
  XtFree(text);
  XmStringFree(s);
  EXPECT_EQ(wumgstr(nullptr), nullptr);
  EXPECT_EQ(wumgl2r(nullptr, &text), 1);
  EXPECT_STREQ(text, "");
  XtFree(text);
  char tool[] = "Open@a file";
  wumnlns(tool);
  EXPECT_STREQ(tool, "Open\na file");
}

// Texts of several lines made into compound strings and freed again, many
// times, give their memory back (the sanitizer build sees any string lost).
TEST_F(XFoundation, CompoundStringsOfSeveralLinesAreFreedWhole) {
  const int kStrings = 20000;
  auto make_and_free = [] {
    XmString s = wumcl2r("first\nsecond\n\nfourth\n");
    ASSERT_NE(s, nullptr);
    XmStringFree(s);
  };
  for (int i = 0; i < 100; ++i) make_and_free();
  const size_t before = qevtest::heapInUse();
  for (int i = 0; i < kStrings; ++i) make_and_free();
  if (QEV_HEAP_COUNTED) {
    EXPECT_LT(double(qevtest::heapInUse()) - double(before), 2048.0)
        << "bytes left by " << kStrings << " strings";
  }
}

TEST_F(XFoundation, HostImagePixmapsAreCachedPerSize) {
  // Ids 0 and 1024 have slots (the host has no image for them).
  EXPECT_EQ(wutgtpm(0, 16), Pixmap(None));
  EXPECT_EQ(wutgtpm(1024, 48), Pixmap(None));
  EXPECT_EQ(wutgtpm(1025, 16), Pixmap(None));
  EXPECT_EQ(wutgtpm(-1, 16), Pixmap(None));
  Pixmap p16 = wutgtpm(2, 16);
  ASSERT_NE(p16, Pixmap(None));
  EXPECT_EQ(wutgtpm(2, 99), p16);  // any other size is 16
  EXPECT_EQ(devb->icon_cache[WU_ICACHE_16][2], p16);
  Pixmap p24 = wutgtpm(2, 24);
  EXPECT_NE(p24, p16);
  EXPECT_EQ(devb->icon_cache[WU_ICACHE_24][2], p24);
  Pixmap mask = None;
  Pixmap own = wutgttp(2, 16, &mask);
  ASSERT_NE(own, Pixmap(None));
  EXPECT_NE(own, p16);
  EXPECT_NE(mask, Pixmap(None));
  XFreePixmap(devb->display, own);
  XFreePixmap(devb->display, mask);
  EXPECT_EQ(wutgttp(777, 16, &mask), Pixmap(None));
  EXPECT_EQ(mask, Pixmap(None));
}

TEST_F(XFoundation, AutosaveKeepsOneTimeOut) {
  EXPECT_EQ(wutauto(1, 5), WU_OK);
  XtIntervalId first = devb->autosave_id;
  EXPECT_NE(first, XtIntervalId(0));
  EXPECT_EQ(wutauto(1, 10), WU_OK);
  EXPECT_NE(devb->autosave_id, XtIntervalId(0));
  EXPECT_EQ(devb->autosave_interval, 10);
  EXPECT_EQ(wutauto(1, 0), WU_OK);
  EXPECT_EQ(devb->autosave_id, XtIntervalId(0));
  EXPECT_EQ(wutauto(0, 5), WU_OK);
  EXPECT_EQ(devb->autosave_id, XtIntervalId(0));
}

// ---- file selection -------------------------------------------------------

// The user answers the file dialog with OK or Cancel once it shows.
wu_status AnswerFiles(bool ok, const std::function<wu_status()> &call) {
  qevtest::Script s;
  s.then(ok ? "OK" : "Cancel", DialogShown, [ok] {
    EXPECT_TRUE(qevtest::clickHandled(
        XmFileSelectionBoxGetChild(NewestDialog(), ok ? XmDIALOG_OK_BUTTON : XmDIALOG_CANCEL_BUTTON)));
  });
  wu_status st = WU_NOTAVAIL;
  s.run([&] { st = call(); });
  return st;
}

TEST_F(XFoundation, FileSelectionAnswersOkAndCancel) {
  char dir[] = "/tmp/qevfselXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string file = std::string(dir) + "/report.txt";
  std::ofstream(file) << "x\n";
  wu_fsel_filters filters = {};
  filters.count = 1;
  filters.patterns[0] = {5, "*.txt"};

  wu_fsel req;
  std::memset(&req, 0, sizeof req);
  req.mode = WU_FSEL_FILE;
  ASSERT_EQ(AnswerFiles(true, [&] { return wumfsel(nullptr, "Open", &req, "report.txt", dir, &filters); }),
            WU_OK);
  EXPECT_EQ(std::string(req.path), file);
  EXPECT_EQ(req.length, int32_t(file.size()));
  ASSERT_NE(wumgfil(), nullptr);
  EXPECT_STREQ(wumgfil(), "*.txt");

  std::memset(&req, 0, sizeof req);
  req.mode = WU_FSEL_FILE;
  EXPECT_EQ(AnswerFiles(false, [&] { return wumfsel(nullptr, "Open", &req, nullptr, dir, &filters); }),
            WU_CANCELLED);
  EXPECT_EQ(req.length, 0);
  EXPECT_EQ(devb->shell_count, 0);
  unlink(file.c_str());
  rmdir(dir);
}

TEST_F(XFoundation, PrintMailAndBrowserAnswers) {
  EXPECT_EQ(wumpdlg(nullptr), WU_NOTAVAIL);
  EXPECT_EQ(wumpstp(nullptr), WU_NOTAVAIL);
  EXPECT_EQ(wumpprv(nullptr), WU_NOTAVAIL);
  EXPECT_EQ(wummdlg(nullptr), WU_NOTAVAIL);
  EXPECT_EQ(wupinit(), WU_NOTAVAIL);
  const char url[] = "http://example.invalid/a b;$(touch /tmp/x)";
  unsetenv("BROWSER");
  EXPECT_EQ(browseURL(url, int32_t(sizeof url - 1), WU_BROWSE_URL), WU_NOTAVAIL);
  setenv("BROWSER", "/nonexistent/browser", 1);
  EXPECT_EQ(browseURL(url, int32_t(sizeof url - 1), WU_BROWSE_URL), WU_NOTAVAIL);
  setenv("BROWSER", "true", 1);
  EXPECT_EQ(browseURL(url, int32_t(sizeof url - 1), WU_BROWSE_URL), WU_OK);
  EXPECT_EQ(browseURL(url, int32_t(sizeof url - 1), 1), WU_UNSUPPORTED);
  unsetenv("BROWSER");
}

}  // namespace
