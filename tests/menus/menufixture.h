// The fixture of the menus tests: a module on a private X server, menu
// descriptions written through the stand-in host's PMENU writer, one window
// that names them, and the window-interface slots the host calls.
#ifndef QEV_TESTS_MENUS_MENUFIXTURE_H
#define QEV_TESTS_MENUS_MENUFIXTURE_H

#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/keysym.h>
#include <Xm/CascadeB.h>
#include <Xm/CascadeBG.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/Xm.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "menus/wumenus.h"
#include "hostnames.h"
#include "modulehost.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wudevice.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "script.h"
#include "textwin/wutwin.h"
#include "widgettext.h"
#include "xinput.h"
#include "xserver.h"

namespace {

const char kLib[] = "MENULIB";
const char kCat[] = "MENUS";

template <typename Fn>
Fn Slot(int32_t n) {
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW, &count));
  if (t == nullptr || n < 0 || n >= count) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(t->slots[n]));
}

using LoadFn = wu_status (*)(wu_window *, qev_lib *, const char *, const char *, const char *,
                             wu_popup_menu **);
using PopupFn = wu_status (*)(wu_window *, wu_popup_menu *);
using ChoiceFn = int32_t (*)(wu_window *, const wu_choice_entry *, int32_t);
using ItemFn = wu_status (*)(wu_window *, int32_t, int32_t);
using MenuFn = wu_status (*)(int32_t);
using ChangeFn = wu_status (*)(wu_window *, qev_lib *, const char *, const char *, const char *);

// Host name fields.
struct Location {
  char libref[QEV_LIBREF_LEN];
  char catalog[QEV_NAME34_LEN];
  char entry[QEV_NAME34_LEN];
};
inline Location Loc(const std::string &entry, const std::string &lib = kLib,
                    const std::string &cat = kCat) {
  Location l;
  qevtest::setLibref(l.libref, lib);
  qevtest::setName34(l.catalog, cat);
  qevtest::setName34(l.entry, entry);
  return l;
}

inline qevhost::MenuItem Item(const std::string &label, int32_t submenu = 0, int32_t cmd = 0,
                              int32_t item_id = 0) {
  qevhost::MenuItem it;
  it.label = label;
  it.submenu = submenu;
  it.commandId = cmd;
  it.itemId = item_id;
  return it;
}
inline qevhost::MenuNode Menu(int32_t number, std::vector<qevhost::MenuItem> items) {
  qevhost::MenuNode n;
  n.number = number;
  n.kind = 1;
  n.items = std::move(items);
  return n;
}
inline qevhost::MenuNode Command(int32_t number, const std::string &text) {
  qevhost::MenuNode n;
  n.number = number;
  n.kind = 0;
  n.text = text;
  return n;
}
inline qevhost::MenuNode Ref(int32_t number, int32_t kind, const std::string &entry) {
  qevhost::MenuNode n;
  n.number = number;
  n.kind = kind;
  n.libref = kLib;
  n.catalog = kCat;
  n.entry = entry;
  return n;
}

// One item record of a dialog node (input fields and radio boxes carry no
// text; `len` overrides the length byte).
inline std::string DialogRecord(int row, int col, const std::string &text, int type, int extra = 0,
                                int len = -1) {
  std::string s;
  s += char(row);
  s += char(col);
  s += char(len >= 0 ? len : int(text.size()));
  s += char(type);
  s += char(0);
  s += char(extra);
  if (type != WU_MDLG_INPUT && type != WU_MDLG_RADIOBOX) s += text;
  return s;
}

// The text of a label widget or gadget.
inline std::string LabelOf(Widget w) { return qevtest::xmStringResource(w, XmNlabelString); }

inline std::vector<Widget> Children(Widget w) {
  if (!w) return {};
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(w, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  return std::vector<Widget>(kids, kids + n);
}

// The managed child labelled `label`, or null.
inline Widget Find(Widget parent, const std::string &label) {
  if (!parent) return nullptr;
  for (Widget k : Children(parent))
    if (XtIsManaged(k) && LabelOf(k) == label) return k;
  return nullptr;
}

inline Widget SubMenu(Widget cascade) {
  Widget sub = nullptr;
  XtVaGetValues(cascade, XmNsubMenuId, &sub, nullptr);
  return sub;
}



// True once the widget (or a gadget's parent) is mapped on the server.
inline bool Shown(Widget w) {
  if (!w) return false;
  Widget on = XtIsWidget(w) ? w : XtParent(w);
  if (!XtIsRealized(on)) return false;
  XWindowAttributes at;
  return XGetWindowAttributes(XtDisplay(on), XtWindow(on), &at) && at.map_state == IsViewable;
}

// The module's string popup while it is up, else null.
inline Widget StringPopup() {
  Widget menu = nullptr;
  for (Cardinal i = 0; i < devb->toplevel->core.num_popups; ++i)
    for (Widget k : Children(devb->toplevel->core.popup_list[i]))
      if (std::strcmp(XtName(k), "_popup") == 0 && XtIsManaged(k)) menu = k;
  return Shown(menu) ? menu : nullptr;
}

// Ends what a failing scripted step left up: Escape for a popup or
// pulldown, and every dialog of the module.
inline void EndMenus() {
  qevtest::pressKey(devb->display, XK_Escape);
  qevtest::endModuleDialogs();
}

// Plays `s` inside the modal wait `call` opens (a popup, a question, a
// dialog); a failing step ends it.
inline void Play(qevtest::Script &s, const std::function<void()> &call) {
  s.ending(EndMenus);
  s.run(call);
}

// What the string popup showed (labels, mnemonics, background) once it
// was up, before the click on the item labelled `label`.
struct StringPopupSeen {
  std::vector<std::string> labels;
  std::vector<KeySym> mnemonics;
  Pixel background = 0;
};

// `call` shows the string popup; the user clicks the item labelled `label`.
inline StringPopupSeen ClickStringPopup(const std::string &label, const std::function<void()> &call) {
  StringPopupSeen seen;
  qevtest::Script s;
  s.then("the string popup looked at, then " + label, [] { return StringPopup() != nullptr; },
         [&] {
           Widget menu = StringPopup();
           XtVaGetValues(menu, XmNbackground, &seen.background, nullptr);
           for (Widget k : Children(menu)) {
             seen.labels.push_back(LabelOf(k));
             KeySym m = 0;
             XtVaGetValues(k, XmNmnemonic, &m, nullptr);
             seen.mnemonics.push_back(m);
           }
           Widget item = Find(menu, label);
           ASSERT_NE(item, nullptr) << label;
           EXPECT_TRUE(qevtest::clickHandled(item));
         });
  Play(s, call);
  return seen;
}

// Opens a menu-bar cascade's pulldown with a click, waits until it shows
// and closes it again with Escape; the pulldown (built by the opening).
inline Widget Open(Widget cascade) {
  if (!cascade) return nullptr;
  Widget sub = SubMenu(cascade);
  qevtest::clickWidget(cascade);
  qevtest::turnUntil([&] { return XtIsManaged(sub) && Shown(sub); });
  qevtest::pressKey(XtDisplay(cascade), XK_Escape);
  qevtest::turnUntil([&] { return !Shown(sub); });
  return sub;
}

// Clicks the item labelled `item` in the pulldown of a menu-bar cascade.
inline void ClickThrough(Widget cascade, const std::string &item) {
  if (!cascade) return;
  Widget sub = SubMenu(cascade);
  qevtest::clickWidget(cascade);
  qevtest::turnUntil([&] { return XtIsManaged(sub) && Shown(sub) && Find(sub, item); });
  if (Widget it = Find(sub, item)) qevtest::clickWidget(it);
  qevtest::turnUntil([&] { return !Shown(sub); });
}

// The window's menu dialog once it is on the screen, else null.
inline Widget ShownDialog(wu_window *w) {
  Widget dialog = nullptr;
  qevtest::turnUntil([&] {
    for (Cardinal i = 0; i < w->outer->core.num_popups; ++i)
      for (Widget k : Children(w->outer->core.popup_list[i]))
        if (std::strcmp(XtName(k), "menuDialog") == 0 && XtIsManaged(k) && Shown(k)) dialog = k;
    return dialog != nullptr;
  });
  return dialog;
}

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
    qevhost::defineLibrary(kLib);
    wu_state *st = wu_module();
    base_ = qevhost::poolStats(st->pool);
  }
  void TearDown() override {
    if (window_) {
      wuxuwnd(window_);
      wuxfwnd(window_);
      window_ = nullptr;
    }
    qevtest::stopModule();
  }

  wu_window *NewWindow(uint32_t module_flags = WU_DECOR_MESSAGELINE) {
    EXPECT_EQ(wuxgwnd(&window_, 1, module_flags), WU_OK);
    EXPECT_EQ(wuxgpan(window_, &pane_, 1, 1, 5, WU_FULL_WIDTH, 0), WU_OK);
    return window_;
  }
  void Name(const std::string &entry) {
    Location l = Loc(entry);
    std::memcpy(window_->menu_libref, l.libref, sizeof l.libref);
    std::memcpy(window_->menu_catalog, l.catalog, sizeof l.catalog);
    std::memcpy(window_->menu_entry, l.entry, sizeof l.entry);
    window_->menu_kind = 1;
  }
  bool Realise() {
    if (wuxiwnd(window_) != WU_OK) return false;
    return qevtest::turnUntil([&] {
      if (!window_->outer || !XtIsRealized(window_->outer)) return false;
      XWindowAttributes at;
      return XGetWindowAttributes(devb->display, XtWindow(window_->outer), &at) &&
             at.map_state == IsViewable;
    });
  }
  // A realised window whose action menu is the entry "BAR" of the nodes.
  void Build(const std::vector<qevhost::MenuNode> &nodes, uint32_t flags = WU_WMOD_WANTS_MENUBAR) {
    ASSERT_TRUE(qevhost::writeMenu(kLib, kCat, "BAR", nodes));
    NewWindow(WU_DECOR_MESSAGELINE | flags);
    Name("BAR");
    ASSERT_TRUE(Realise());
    Settle();
  }
  wu_status Load(const std::string &entry, wu_menu_set **set,
                 std::vector<int32_t> excluded = {}) {
    Location l = Loc(entry);
    return wuxlmnu(window_, nullptr, l.libref, l.catalog, l.entry, excluded.data(),
                   int32_t(excluded.size()), set);
  }
  int64_t MenuBlocks() {
    wu_state *st = wu_module();
    return st->menu_pool ? qevhost::poolStats(st->menu_pool).liveBlocks : 0;
  }
  // What the test's requests and input made the server send is handled.
  void Settle() { EXPECT_TRUE(qevtest::settle()); }
  // Module events queued for the window (commands with their text).
  std::vector<std::string> Queued() {
    std::vector<std::string> out;
    while (wu_event *e = wutdqev(window_)) {
      out.push_back(e->code == WU_EV_COMMAND && e->text
                        ? std::string(e->text, size_t(e->text_length))
                        : "#" + std::to_string(e->code));
      wutrlev(e);
    }
    return out;
  }

  wu_window *window_ = nullptr;
  wu_pane *pane_ = nullptr;
  qevhost::PoolStats base_;
};

}  // namespace

#endif  // QEV_TESTS_MENUS_MENUFIXTURE_H
