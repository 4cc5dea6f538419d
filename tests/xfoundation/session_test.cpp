// Sessions on one display: distinct numbers in the root-window table, the
// number given back at the end, a crashed session's number reused, and a
// lock that is never released not stopping a start.
#include <gtest/gtest.h>

#include <X11/Intrinsic.h>
#include <X11/Xatom.h>

#include <map>
#include <string>
#include <vector>

#include "modulehost.h"
#include "runtime/wutoolkit.h"
#include "runtime/wutsess.h"
#include "xserver.h"

namespace {

// A second client on the display with a window of its own, as another
// session's connection would be.
struct Client {
  Display *dpy = nullptr;
  Window window = None;
  Client() {
    dpy = qevtest::openDisplay();
    if (dpy) window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 1, 1, 0, 0, 0);
  }
  ~Client() {
    if (dpy) XCloseDisplay(dpy);
  }
};

// The session table as a client reads it: window -> number.
std::map<Window, long> Table(Display *dpy) {
  std::map<Window, long> table;
  Atom atom = XInternAtom(dpy, WU_SESSION_TABLE, False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), atom, 0, 4096, False, XA_CARDINAL, &type,
                         &format, &count, &after, &data) == Success &&
      data && format == 32) {
    const long *words = reinterpret_cast<const long *>(data);
    for (unsigned long i = 0; i + 1 < count; i += 2) table[Window(words[i + 1])] = words[i];
  }
  if (data) XFree(data);
  return table;
}

class Sessions : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
    errors_ = devb->x_errors;
  }
  void TearDown() override { qevtest::stopModule(); }
  int32_t errors_ = 0;
};

TEST_F(Sessions, SessionsTakeDistinctNumbersAndGiveThemBack) {
  Client watcher;
  ASSERT_NE(watcher.dpy, nullptr);
  EXPECT_EQ(devb->session_number, 1);
  const Window module_window = XtWindow(devb->toplevel);
  EXPECT_EQ(Table(watcher.dpy), (std::map<Window, long>{{module_window, 1}}));

  Client second, third;
  int32_t n2 = 0, n3 = 0;
  ASSERT_EQ(wutsnum(second.dpy, second.window, 500, &n2), WU_OK);
  ASSERT_EQ(wutsnum(third.dpy, third.window, 500, &n3), WU_OK);
  EXPECT_EQ(n2, 2);
  EXPECT_EQ(n3, 3);
  // Asking again for the same window does not take a second number.
  int32_t again = 0;
  ASSERT_EQ(wutsnum(third.dpy, third.window, 500, &again), WU_OK);
  EXPECT_EQ(again, 3);
  EXPECT_EQ(Table(watcher.dpy).size(), 3u);

  // A session that ends gives its number back; the next one takes it.
  ASSERT_EQ(wutsfre(second.dpy, second.window, 500), WU_OK);
  EXPECT_EQ(Table(watcher.dpy).count(second.window), 0u);
  Client fourth;
  int32_t n4 = 0;
  ASSERT_EQ(wutsnum(fourth.dpy, fourth.window, 500, &n4), WU_OK);
  EXPECT_EQ(n4, 2);

  // The module gives its own number back when it shuts down.
  qevtest::stopModule();
  auto table = Table(watcher.dpy);
  EXPECT_EQ(table.count(module_window), 0u);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ(wutsnum(nullptr, 1, 0, &again), WU_BADARG);
  EXPECT_EQ(again, 0);
}

TEST_F(Sessions, NumberOfACrashedSessionIsReused) {
  int32_t crashed = 0;
  {
    Client gone;
    ASSERT_EQ(wutsnum(gone.dpy, gone.window, 500, &crashed), WU_OK);
    EXPECT_EQ(crashed, 2);
    // The connection ends without giving the number back.
  }
  Client next;
  int32_t number = 0;
  ASSERT_EQ(wutsnum(next.dpy, next.window, 500, &number), WU_OK);
  EXPECT_EQ(number, crashed);
  EXPECT_EQ(Table(next.dpy).size(), 2u);
  // Looking at the dead session's window was no error the module reports.
  EXPECT_EQ(devb->x_errors, errors_);
}

// The server hands the window id of a session that ended to a later
// client: a pair naming such a window (alive, but not a session's) holds no
// number.
TEST_F(Sessions, APairWhoseWindowIdWentToAnotherClientHoldsNoNumber) {
  Client other;
  ASSERT_NE(other.dpy, nullptr);
  auto table = Table(other.dpy);
  ASSERT_EQ(table.size(), 1u);
  std::vector<long> words = {table.begin()->second, long(table.begin()->first), 2,
                             long(other.window)};
  XChangeProperty(other.dpy, DefaultRootWindow(other.dpy),
                  XInternAtom(other.dpy, WU_SESSION_TABLE, False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char *>(words.data()),
                  int(words.size()));
  XSync(other.dpy, False);
  Client next;
  int32_t number = 0;
  ASSERT_EQ(wutsnum(next.dpy, next.window, 500, &number), WU_OK);
  EXPECT_EQ(number, 2);
  table = Table(next.dpy);
  EXPECT_EQ(table.count(other.window), 0u);
  EXPECT_EQ(table[next.window], 2);
  // The module's own session still counts.
  EXPECT_EQ(table[XtWindow(devb->toplevel)], 1);
  EXPECT_EQ(devb->x_errors, errors_);
}

TEST_F(Sessions, ALockNeverReleasedDelaysButDoesNotStopAStart) {
  Client holder, late;
  Atom lock = XInternAtom(holder.dpy, WU_SESSION_LOCK, False);
  XSetSelectionOwner(holder.dpy, lock, holder.window, CurrentTime);
  XSync(holder.dpy, False);
  int32_t number = 0;
  ASSERT_EQ(wutsnum(late.dpy, late.window, 100, &number), WU_OK);
  EXPECT_EQ(number, 2);
  EXPECT_TRUE(qevtest::logContains("was not released"));
  // The holder keeps its lock: the late session did not take it over.
  EXPECT_EQ(XGetSelectionOwner(late.dpy, lock), holder.window);
}

}  // namespace
