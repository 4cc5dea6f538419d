// The hardening tests drive the module as a careless host would: handles
// used after their release, after shut-down and restart, host code that
// releases what the module is handling, and modal waits whose widget or
// window goes.  Each case runs in a child process of its own (child.h), so
// that a crash, a hang or a sanitizer report fails that case alone.
#ifndef QEV_TESTS_HARDENING_HARDENING_H
#define QEV_TESTS_HARDENING_HARDENING_H

#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/Xm.h>
#include <functional>
#include <string>
#include <vector>

#include "child.h"
#include "modulehost.h"
#include "qev/catalog.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "script.h"
#include "textwin/wutwin.h"
#include "xinput.h"

namespace hardening {

// A slot of a table, cast to its type (null when the table has none).
template <typename Fn>
Fn Slot(int32_t table, int32_t n) {
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(table, &count));
  if (t == nullptr || n < 0 || n >= count) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(t->slots[n]));
}

using CreaFn = wu_status (*)(wu_ctl_handle **, wu_pane *, void *, int32_t, wu_value *, int32_t,
                             wu_evproc);
using MethFn = wu_status (*)(wu_ctl_handle *, int32_t, wu_value *, int32_t);
using CntiFn = int32_t (*)(const wu_ctl_handle *);

inline wu_value IntList(int16_t code, std::vector<int32_t> &items) {
  wu_value v = {};
  v.code = code;
  v.type = WU_VT_INTLIST;
  v.value = static_cast<int32_t>(items.size());
  v.pointer = items.data();
  return v;
}

// The module started on the private X server with one realised window of
// one pane, as a host has it before it makes controls.
struct Started {
  wu_window *window = nullptr;
  wu_pane *pane = nullptr;
  qev_pool *pool = nullptr;
  qevhost::PoolStats base;

  bool Start(bool realise = true) {
    // The program itself uses Motif, so that Motif's vendor shell comes
    // before the toolkit's own when the libraries are loaded.
    if (xmPrimitiveWidgetClass == nullptr) return false;
    std::string why;
    if (!qevtest::startModule(QEV_MODULE_PATH, &why)) {
      ADD_FAILURE() << why;
      return false;
    }
    pool = wu_module_pool();
    // The module's lazy state (the entry field's map) is made once with a
    // window of its own, so that the baseline holds it.
    if (wuxgwnd(&window, 1, 0) != WU_OK || wuxgpan(window, &pane, 1, 1, 10, WU_FULL_WIDTH, 0) != WU_OK ||
        wuxiwnd(window) != WU_OK || Entry() == nullptr || wuxfwnd(window) != WU_OK) {
      ADD_FAILURE() << "no warm-up window";
      return false;
    }
    base = qevhost::poolStats(pool);
    if (wuxgwnd(&window, 1, 0) != WU_OK || wuxgpan(window, &pane, 1, 1, 10, WU_FULL_WIDTH, 0) != WU_OK) {
      ADD_FAILURE() << "no window";
      return false;
    }
    if (realise && wuxiwnd(window) != WU_OK) {
      ADD_FAILURE() << "window not realised";
      return false;
    }
    Settle();
    return true;
  }

  // An entry field in the pane, with the event procedure given.
  wu_ctl_handle *Entry(wu_evproc proc = nullptr, std::vector<wu_value> entries = {}) {
    wu_ctl_handle *h = nullptr;
    EXPECT_EQ(Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA)(&h, pane, nullptr, WU_CTYPE_ENTRY,
                                                            entries.data(),
                                                            int32_t(entries.size()), proc),
              WU_OK);
    Settle();
    return h;
  }

  // What the test's requests and input made the server send is handled.
  void Settle() {
    if (devb && wu_x_ok()) {
      EXPECT_TRUE(qevtest::settle());
    }
  }

  // The module pool holds what it held before the window was made.
  void ExpectPoolAtBase() {
    qevhost::PoolStats now = qevhost::poolStats(pool);
    EXPECT_EQ(now.liveBlocks, base.liveBlocks);
    EXPECT_EQ(now.liveBytes, base.liveBytes);
    EXPECT_EQ(now.errors, 0);
  }

  void Stop() { qevtest::stopModule(); }
};

// True when a dialog, message box or menu of the module is on the screen.
inline bool AWaitShows() { return !qevtest::shownPopupShells().empty(); }

// Runs `act` inside the modal wait `call` opens, once `up` holds (what the
// wait shows is on the screen); a wait left up by a failing step is ended
// with Escape and its dialogs taken down.
inline void UnderTheWait(const std::string &what, const std::function<bool()> &up,
                         const std::function<void()> &act, const std::function<void()> &call) {
  qevtest::Script s;
  s.then(what, up, act);
  s.ending([] {
    qevtest::pressKey(devb->display, XK_Escape);
    qevtest::endModuleDialogs();
  });
  s.run(call);
}

// Runs a case in a child process with a leak check at its end, and fails
// the test with the child's end when it did not pass.
inline void InChild(const std::function<void()> &body, int timeoutSec = 60) {
  const int status = qevtest::runInChild(body, timeoutSec, true);
  EXPECT_TRUE(qevtest::childPassed(status)) << "the case's process ended: "
                                            << qevtest::describeStatus(status);
}

}  // namespace hardening

#endif  // QEV_TESTS_HARDENING_HARDENING_H
