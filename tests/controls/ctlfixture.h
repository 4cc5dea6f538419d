// The fixture of the controls tests: a module on a private X server with
// one realised window of one pane, the host-facing slots, and input as
// synthetic X events and through XTest.
#ifndef QEV_TESTS_CONTROLS_CTLFIXTURE_H
#define QEV_TESTS_CONTROLS_CTLFIXTURE_H

#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Text.h>
#include <Xm/Xm.h>
#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "modulehost.h"
#include "qev/catalog.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"
#include "script.h"
#include "xinput.h"
#include "xserver.h"

namespace {


template <typename Fn>
Fn Slot(int32_t table, int32_t n) {
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(table, &count));
  if (t == nullptr || n < 0 || n >= count) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(t->slots[n]));
}

using CreaFn = wu_status (*)(wu_ctl_handle **, wu_pane *, void *, int32_t, wu_value *, int32_t,
                             wu_evproc);
using GextFn = wu_status (*)(const wu_cat_type **, int32_t *);
using GmapFn = wu_status (*)(int32_t, wu_cat_map **, const wu_value *, int32_t);
using SetFn = wu_status (*)(wu_control *, wu_value *, int32_t);
using CntiFn = int32_t (*)(const wu_ctl_handle *);
using IcntFn = wu_ctl_handle *(*)(wu_window *, int32_t);
using CordFn = wu_status (*)(wu_window *, wu_pane *, wu_ctl_handle ***, int32_t *);
using FcorFn = wu_status (*)(wu_window *, wu_ctl_handle **);
using FwidFn = wu_status (*)(wu_control *);
using MethFn = wu_status (*)(wu_ctl_handle *, int32_t, wu_value *, int32_t);

// What the host's event procedure saw and answers.
struct ProcLog {
  std::vector<int32_t> codes;
  std::vector<int32_t> keys;
  std::vector<qev_task *> tasks;
  wu_status answer = WU_OK;
  int32_t answer_word = 0;
};
ProcLog g_proc;

wu_status HostProc(wu_ctl_handle *, wu_ctl_event *record, wu_value *params, int32_t count) {
  g_proc.codes.push_back(record->code);
  g_proc.keys.push_back(count > 0 ? params[0].value : -1);
  g_proc.tasks.push_back(qevhost::currentTask());
  record->answer = g_proc.answer_word;
  return g_proc.answer;
}

inline wu_value Int(int16_t code, int32_t value) {
  wu_value v = {};
  v.code = code;
  v.type = WU_VT_INT;
  v.value = value;
  return v;
}

inline wu_value Text(int16_t code, const char *text) {
  wu_value v = {};
  v.code = code;
  v.type = WU_VT_STRING;
  v.value = static_cast<int32_t>(std::strlen(text));
  v.pointer = const_cast<char *>(text);
  return v;
}

inline wu_value List(int16_t code, std::vector<int32_t> &items) {
  wu_value v = {};
  v.code = code;
  v.type = WU_VT_INTLIST;
  v.value = static_cast<int32_t>(items.size());
  v.pointer = items.data();
  return v;
}

struct Posted {
  int32_t code = 0;
  std::vector<wu_value> params;
  wu_ctl_event record = {};
};

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
    g_proc = ProcLog();
    crea_ = Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA);
    ASSERT_NE(crea_, nullptr);
    ASSERT_EQ(wuxgwnd(&window_, 1, 0), WU_OK);
    ASSERT_EQ(wuxgpan(window_, &pane_, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
    ASSERT_EQ(wuxiwnd(window_), WU_OK);
    Settle();
    pool_ = wu_module_pool();
    base_ = qevhost::poolStats(pool_);
  }
  void TearDown() override {
    // Releasing the window releases the controls it still holds.
    if (window_) {
      wuxuwnd(window_);
      wuxfwnd(window_);
    }
    qevtest::stopModule();
  }

  wu_ctl_handle *Create(int32_t type, std::vector<wu_value> entries = {},
                        wu_evproc proc = HostProc) {
    wu_ctl_handle *h = nullptr;
    EXPECT_EQ(crea_(&h, pane_, nullptr, type, entries.data(), int32_t(entries.size()), proc),
              WU_OK);
    Settle();
    return h;
  }

  Widget W(wu_ctl_handle *h) { return wuwgxtw(h->control); }

  // What the test's requests and input made the server send is handled.
  void Settle() { EXPECT_TRUE(qevtest::settle()); }

  // Every event posted to the window's event task since the last call.
  std::vector<Posted> Events() {
    std::vector<Posted> out;
    qevhost::PostedEvent e;
    while (qevhost::nextEvent(window_->event_task, &e)) {
      Posted p;
      std::memcpy(&p.record, e.record.data(), std::min(e.record.size(), sizeof p.record));
      p.code = p.record.code;
      p.params.resize(e.params.size() / sizeof(wu_value));
      if (!p.params.empty()) std::memcpy(p.params.data(), e.params.data(), e.params.size());
      out.push_back(p);
    }
    return out;
  }
  std::vector<int32_t> Codes() {
    std::vector<int32_t> c;
    for (const Posted &p : Events()) c.push_back(p.code);
    return c;
  }
  // Module events queued for the window since the last call.
  std::vector<int32_t> Queued() {
    std::vector<int32_t> out;
    while (wu_event *e = wutdqev(window_)) {
      out.push_back(e->code);
      wutrlev(e);
    }
    return out;
  }

  // A click of `button` at (3, 3) of `w` with the modifiers in `state`
  // held, made on the server's pointer.  `t` is the click's time in the
  // test's own clock: a click more than the multi-click time after the one
  // before waits that long, so that the toolkit sees the same spacing.
  bool Button(Widget w, unsigned button, Time t, unsigned state = 0) {
    const Time multi = XtGetMultiClickTime(devb->display);
    if (last_click_ == 0 || t > last_click_ + multi || t < last_click_)
      qevtest::turnUntil([] { return false; }, int(multi) + 50);
    last_click_ = t;
    return qevtest::clickHandledAt(w, 3, 3, button, state);
  }
  // A double click of button 1 at (3, 3) of `w` at `t`, sent in one burst
  // so that a busy machine does not space its clicks (after the
  // multi-click time, as a click at `t` waits, when the click before was
  // longer ago).
  bool DoubleClick(Widget w, Time t) {
    const Time multi = XtGetMultiClickTime(devb->display);
    if (last_click_ == 0 || t > last_click_ + multi || t < last_click_)
      qevtest::turnUntil([] { return false; }, int(multi) + 50);
    last_click_ = t;
    return qevtest::doubleClickHandledAt(w, 3, 3);
  }
  Time last_click_ = 0;
  // A key typed on the server's keyboard, to `w` (given the keyboard by a
  // click when it does not hold it) or to whatever holds it (null).
  void Key(Widget w, KeySym sym) {
    if (w != nullptr && XmGetFocusWidget(w) != w) Focus(w);
    qevtest::pressKey(devb->display, sym);
    Settle();
  }
  // The user's click that gives a widget the keyboard: near its right
  // edge, so that in a text the insertion point goes after the text.  What
  // the click itself does (a click event, a recording) happens too.
  void Focus(Widget w) {
    Dimension width = 0, height = 0;
    XtVaGetValues(w, XmNwidth, &width, XmNheight, &height, nullptr);
    EXPECT_TRUE(qevtest::clickHandledAt(w, int(width) - 4, int(height) / 2)) << XtName(w);
    Settle();
  }
  void Type(Widget w, const char *text) {
    if (XmGetFocusWidget(w) != w) Focus(w);
    for (const char *p = text; *p; ++p) Key(nullptr, KeySym(static_cast<unsigned char>(*p)));
  }
  std::string WidgetText(Widget w) {
    char *s = XmTextGetString(w);
    std::string out = s ? s : "";
    XtFree(s);
    return out;
  }

  // Baselines of the module pool and of the window's pool (control records,
  // handles, labels and item tables live in the window's pool).
  void NoteBaselines() {
    base_ = qevhost::poolStats(pool_);
    win_base_ = qevhost::poolStats(window_->pool);
  }
  void ExpectBaselines() {
    Settle();
    for (auto [pool, base] : {std::make_pair(pool_, base_), std::make_pair(window_->pool, win_base_)}) {
      const qevhost::PoolStats now = qevhost::poolStats(pool);
      EXPECT_EQ(now.liveBlocks, base.liveBlocks) << (pool == pool_ ? "module pool" : "window pool");
      EXPECT_EQ(now.liveBytes, base.liveBytes) << (pool == pool_ ? "module pool" : "window pool");
      EXPECT_EQ(now.errors, 0);
    }
  }
  qevhost::PoolStats win_base_;

  CreaFn crea_ = nullptr;
  wu_window *window_ = nullptr;
  wu_pane *pane_ = nullptr;
  qev_pool *pool_ = nullptr;
  qevhost::PoolStats base_;
  Time time_ = 100000;
};

// What the clicked item of the string popup showed.
struct PopupClick {
  Pixmap icon = XmUNSPECIFIED_PIXMAP;  // its label pixmap
  Dimension margin_left = 0;
  Boolean sensitive = True;
};

// Push button `item` (counted from 0) of the string popup while it is up.
inline Widget PopupItem(int item) {
  Widget menu = nullptr;
  for (Cardinal i = 0; i < devb->toplevel->core.num_popups; ++i) {
    Widget shell = devb->toplevel->core.popup_list[i];
    WidgetList sk = nullptr;
    Cardinal sn = 0;
    XtVaGetValues(shell, XmNchildren, &sk, XmNnumChildren, &sn, nullptr);
    for (Cardinal k = 0; k < sn; ++k)
      if (std::strcmp(XtName(sk[k]), "_popup") == 0 && XtIsManaged(sk[k])) menu = sk[k];
  }
  if (menu == nullptr) return nullptr;
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(menu, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  int seen = 0;
  for (Cardinal i = 0; i < n; ++i)
    if (XmIsPushButton(kids[i]) && seen++ == item) return kids[i];
  return nullptr;
}

// `call` shows the string popup; once the item is on the screen the user
// clicks it.  What the item showed.
inline PopupClick ClickMenuItem(int item, const std::function<void()> &call) {
  PopupClick pc;
  qevtest::Script s;
  s.then("item " + std::to_string(item) + " of the popup clicked",
         [item] { return PopupItem(item) && qevtest::viewable(PopupItem(item)); },
         [&pc, item] {
           Widget w = PopupItem(item);
           XtVaGetValues(w, XmNlabelPixmap, &pc.icon, XmNmarginLeft, &pc.margin_left, nullptr);
           pc.sensitive = XtIsSensitive(w);
           EXPECT_TRUE(qevtest::clickHandled(w));
         });
  s.ending([] {
    qevtest::pressKey(devb->display, XK_Escape);
    qevtest::endModuleDialogs();
  });
  s.run(call);
  return pc;
}

}  // namespace

#endif  // QEV_TESTS_CONTROLS_CTLFIXTURE_H
