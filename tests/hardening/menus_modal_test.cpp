// The waits of the menus and the Tool Editor end when what they hold goes:
// a window released while its popup menu, its choice popup or the Tool
// Editor is up, a popup record released while it is shown, and a shut-down
// asked for from a callback inside them.  Each case runs in a child process.
#include "hardening.h"

#include <cstring>
#include <functional>

#include <X11/keysym.h>
#include <Xm/MessageB.h>
#include <Xm/Text.h>

#include "menus/wumenus.h"
#include "xinput.h"
#include "qev/commands.h"

namespace {

using namespace hardening;

const char kLib[] = "HARDLIB";
const char kCat[] = "MENUS";
const char kEntry[] = "POP";
const int32_t kToolEdit = WU_CMD_TOOLEDIT;   // window-system command TOOLEDIT

using LoadFn = wu_status (*)(wu_window *, qev_lib *, const char *, const char *, const char *,
                             wu_popup_menu **);
using PopupFn = wu_status (*)(wu_window *, wu_popup_menu *);
using ChoiceFn = int32_t (*)(wu_window *, const wu_choice_entry *, int32_t);
using CommandFn = wu_status (*)(wu_window *, int32_t);

void Name34(char *field, const char *s) {
  const int16_t n = int16_t(std::strlen(s));
  std::memcpy(field, &n, 2);
  std::memset(field + 2, ' ', QEV_NAME34_LEN - 2);
  std::memcpy(field + 2, s, size_t(n));
}

// A popup menu of two items loaded for the window through slot 79.
wu_popup_menu *LoadPopup(wu_window *w) {
  qevhost::defineLibrary(kLib);
  qevhost::MenuNode menu;
  for (const char *label : {"Alpha", "Beta"}) {
    qevhost::MenuItem item;
    item.label = label;
    menu.items.push_back(item);
  }
  if (!qevhost::writeMenu(kLib, kCat, kEntry, {menu})) return nullptr;
  char libref[QEV_LIBREF_LEN], catalog[QEV_NAME34_LEN], entry[QEV_NAME34_LEN];
  std::memset(libref, ' ', sizeof libref);
  std::memcpy(libref, kLib, std::strlen(kLib));
  Name34(catalog, kCat);
  Name34(entry, kEntry);
  wu_popup_menu *p = nullptr;
  EXPECT_EQ(Slot<LoadFn>(QEV_TABLE_WINDOW, WUX_SLOT_GPMU)(w, nullptr, libref, catalog, entry, &p),
            WU_OK);
  return p;
}

wu_window *g_window = nullptr;
wu_popup_menu *g_popup = nullptr;
wu_status g_released = -1;

void ReleaseWindow() { wuxfwnd(g_window); }
void ReleasePopup() { g_released = Slot<PopupFn>(QEV_TABLE_WINDOW, WUX_SLOT_FPMU)(g_window, g_popup); }
void ShutDown() { qevtest::windowSlot(WUX_SLOT_TERM)(); }

wu_status ShowPopup(wu_window *w, wu_popup_menu *p) {
  return Slot<PopupFn>(QEV_TABLE_WINDOW, WUX_SLOT_DPMU)(w, p);
}

int32_t Choose(wu_window *w) {
  wu_choice_entry e[2] = {};
  e[0].label = "One";
  e[0].label_length = 3;
  e[1].label = "Two";
  e[1].label_length = 3;
  return Slot<ChoiceFn>(QEV_TABLE_WINDOW, WUX_SLOT_UMNU)(w, e, 2);
}

TEST(MenuWaits, AWindowPopupEndsWhenItsWindowIsReleased) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = m.window;
    wu_popup_menu *p = LoadPopup(m.window);
    ASSERT_NE(p, nullptr);
    UnderTheWait("the window released under the popup", AWaitShows, ReleaseWindow,
                 [&] { EXPECT_EQ(ShowPopup(m.window, p), WU_NOTAVAIL); });
    // The record went with its window.
    EXPECT_EQ(ShowPopup(m.window, p), WU_NOTAVAIL);
    EXPECT_FALSE(wu_reg_has(p, WU_REG_POPUP));
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(MenuWaits, AWindowPopupReleasedWhileShownClosesWithoutAChoice) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = m.window;
    g_popup = LoadPopup(m.window);
    ASSERT_NE(g_popup, nullptr);
    UnderTheWait("the popup released while shown", AWaitShows, ReleasePopup,
                 [&] { EXPECT_EQ(ShowPopup(m.window, g_popup), WU_SECOND_EVENT); });
    EXPECT_EQ(g_released, WU_OK);
    // The window carries on: its reads and updates answer.
    EXPECT_EQ(wuxuwnd(m.window), WU_OK);
    EXPECT_EQ(ShowPopup(m.window, g_popup), WU_NOTAVAIL);
    m.Stop();
  });
}

TEST(MenuWaits, AShutDownInsideAWindowPopupEndsIt) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_popup_menu *p = LoadPopup(m.window);
    ASSERT_NE(p, nullptr);
    UnderTheWait("a shut-down under the popup", AWaitShows, ShutDown,
                 [&] { EXPECT_EQ(ShowPopup(m.window, p), WU_NOTAVAIL); });
    EXPECT_EQ(wu_module(), nullptr);
    EXPECT_EQ(ShowPopup(m.window, p), WU_NOTAVAIL);
    m.Stop();
  });
}

TEST(MenuWaits, AChoicePopupEndsWhenItsWindowIsReleasedOrTheModuleEnds) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = m.window;
    UnderTheWait("the window released under the choices", AWaitShows, ReleaseWindow,
                 [&] { EXPECT_EQ(Choose(m.window), WU_NOTAVAIL); });
    EXPECT_EQ(Choose(m.window), WU_NOTAVAIL);
    m.ExpectPoolAtBase();
    // A second window, and a shut-down from inside its choice popup.
    wu_window *w = nullptr;
    wu_pane *pane = nullptr;
    ASSERT_EQ(wuxgwnd(&w, 1, 0), WU_OK);
    ASSERT_EQ(wuxgpan(w, &pane, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
    ASSERT_EQ(wuxiwnd(w), WU_OK);
    UnderTheWait("a shut-down under the choices", AWaitShows, ShutDown, [&] { EXPECT_EQ(Choose(w), WU_NOTAVAIL); });
    EXPECT_EQ(wu_module(), nullptr);
    m.Stop();
  });
}

TEST(MenuWaits, TheToolEditorEndsWhenTheModuleEndsFromInsideIt) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    qevhost::setCommand("");
    UnderTheWait("a shut-down under the editor", AWaitShows, ShutDown,
                 [&] { Slot<CommandFn>(QEV_TABLE_WINDOW, WUX_SLOT_ECMD)(m.window, kToolEdit); });
    EXPECT_EQ(wu_module(), nullptr);
    EXPECT_EQ(Slot<CommandFn>(QEV_TABLE_WINDOW, WUX_SLOT_ECMD)(m.window, kToolEdit), WU_NOTAVAIL);
    m.Stop();
  });
}

TEST(MenuWaits, TheToolEditorEndsWhenItsWindowIsReleased) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = m.window;
    qevhost::setCommand("");
    UnderTheWait("the window released under the editor", AWaitShows, ReleaseWindow,
                 [&] { Slot<CommandFn>(QEV_TABLE_WINDOW, WUX_SLOT_ECMD)(m.window, kToolEdit); });
    EXPECT_EQ(Slot<CommandFn>(QEV_TABLE_WINDOW, WUX_SLOT_ECMD)(m.window, kToolEdit), WU_NOTAVAIL);
    EXPECT_EQ(wu_module()->busy, 0);
    m.Stop();
  });
}

// A realised window whose action menu is the entry.
wu_window *MenuWindow(const char *entry) {
  wu_window *w = nullptr;
  wu_pane *pane = nullptr;
  if (wuxgwnd(&w, 1, WU_DECOR_MESSAGELINE | WU_WMOD_WANTS_MENUBAR) != WU_OK ||
      wuxgpan(w, &pane, 1, 1, 5, WU_FULL_WIDTH, 0) != WU_OK)
    return nullptr;
  std::memset(w->menu_libref, ' ', sizeof w->menu_libref);
  std::memcpy(w->menu_libref, kLib, std::strlen(kLib));
  Name34(w->menu_catalog, kCat);
  Name34(w->menu_entry, entry);
  w->menu_kind = 1;
  if (wuxiwnd(w) != WU_OK) return nullptr;
  return w;
}

// A window whose menu bar has "Ask", opening a menu dialog of one input
// field whose command is 199 characters and more: too long a command
// brings up a message box from inside the dialog's OK callback.
wu_window *DialogWindow() {
  qevhost::defineLibrary(kLib);
  qevhost::MenuNode bar;
  qevhost::MenuItem ask;
  ask.label = "Ask";
  ask.submenu = 2;
  bar.items.push_back(ask);
  qevhost::MenuNode dlg;
  dlg.number = 2;
  dlg.kind = 2;
  dlg.text = std::string("\1\1\12\1\0\0", 6);
  dlg.templ = std::string(195, 'x') + "@1";
  if (!qevhost::writeMenu(kLib, kCat, "BAR", {bar, dlg})) return nullptr;
  return MenuWindow("BAR");
}

Widget Named(Widget parent, const char *name) {
  if (parent == nullptr) return nullptr;
  WidgetList kids = nullptr;
  Cardinal n = 0;
  XtVaGetValues(parent, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
  for (Cardinal i = 0; i < n; ++i) {
    XmString s = nullptr;
    XtVaGetValues(kids[i], XmNlabelString, &s, nullptr);
    char *t = s ? static_cast<char *>(XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT,
                                                      nullptr, 0, XmOUTPUT_ALL))
                : nullptr;
    const bool match = t && std::strcmp(t, name) == 0;
    XtFree(t);
    if (s) XmStringFree(s);
    if (match) return kids[i];
  }
  return nullptr;
}

// True when a message box of `parent`'s popups is on the screen.
bool MessageBoxUp(Widget parent) {
  for (Cardinal i = 0; parent && i < parent->core.num_popups; ++i) {
    Widget shell = parent->core.popup_list[i];
    WidgetList kids = nullptr;
    Cardinal n = 0;
    XtVaGetValues(shell, XmNchildren, &kids, XmNnumChildren, &n, nullptr);
    for (Cardinal k = 0; k < n; ++k)
      if (XmIsMessageBox(kids[k]) && XtIsManaged(kids[k]) && qevtest::viewable(kids[k]))
        return true;
  }
  return false;
}

// Opens the window's menu dialog, fills its field and clicks OK: the
// command is too long, so a message box comes up inside the callback, and
// `then` runs once the box is on the screen.  The click is dispatched by
// the module's own turns until `done`, so the box's wait runs inside the
// click's dispatch, where the toolkit holds back the freeing of anything
// destroyed until the click has been handled.
void PressOkOnTooLongACommand(wu_window *w, const std::function<void()> &then,
                              const std::function<bool()> &done) {
  Widget ask = Named(w->menu_widget, "Ask");
  ASSERT_NE(ask, nullptr);
  ASSERT_TRUE(qevtest::clickHandled(ask));
  ASSERT_NE(w->dialog_block, nullptr);
  Widget dialog = nullptr;
  for (Cardinal i = 0; i < w->outer->core.num_popups && !dialog; ++i) {
    Widget shell = w->outer->core.popup_list[i];
    dialog = XtNameToWidget(shell, "menuDialog");
  }
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(qevtest::replaceTextHandled(XtNameToWidget(dialog, "dlgInput"), "abcde"));
  Widget ok = XtNameToWidget(dialog, "dlgOKButton");
  ASSERT_TRUE(qevtest::viewable(ok));
  Widget outer = w->outer;
  qevtest::Script s;
  s.then("under the message box", [outer] { return MessageBoxUp(outer); }, then);
  s.start();
  qevtest::clickWidget(ok);
  EXPECT_TRUE(qevtest::turnUntil(done, 15000));
  s.stop();
  EXPECT_TRUE(s.finished());
}

TEST(MenuWaits, AWindowReleasedUnderItsMenuDialogsMessageIsNotTouchedAfterwards) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    g_window = DialogWindow();
    ASSERT_NE(g_window, nullptr);
    PressOkOnTooLongACommand(g_window, ReleaseWindow,
                             [] { return !wu_reg_has(g_window, WU_REG_WINDOW); });
    EXPECT_FALSE(wu_reg_has(g_window, WU_REG_WINDOW));
    EXPECT_EQ(devb->busy_depth, 0);
    m.Stop();
  });
}

TEST(MenuWaits, AShutDownUnderAMenuDialogsMessageEndsTheModule) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_window *w = DialogWindow();
    ASSERT_NE(w, nullptr);
    PressOkOnTooLongACommand(w, ShutDown, [] { return wu_module() == nullptr; });
    EXPECT_EQ(wu_module(), nullptr);
    m.Stop();
  });
}

// Any slot of the table, with the arguments its number fixes.
template <typename... A>
intptr_t Call(int32_t table, int32_t slot, A... a) {
  using Fn = intptr_t (*)(...);
  Fn fn = Slot<Fn>(table, slot);
  return fn ? fn(a...) : intptr_t(WU_NOTAVAIL);
}

// Older pane controls, list boxes, list views, popups and menu items of a
// released window are refused by every slot that takes them, and their
// memory is never read (the sanitizer build sees every read).
TEST(MenuWaits, OlderControlsPopupsAndMenusOfAReleasedWindowAreRefused) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_window *w = m.window;
    wu_pane *p = m.pane;
    wu_popup_menu *popup = LoadPopup(w);
    ASSERT_NE(popup, nullptr);
    wu_control *box = nullptr, *button = nullptr, *push = nullptr, *list = nullptr, *view = nullptr;
    ASSERT_EQ(Call(QEV_TABLE_WINDOW, WUX_SLOT_GRBX, p, &box, 1, 2, 2, 3, 20), WU_OK);
    ASSERT_EQ(Call(QEV_TABLE_WINDOW, WUX_SLOT_GRBT, box, &button, 7, 1, 1, 0, "One", -1), WU_OK);
    ASSERT_EQ(Call(QEV_TABLE_WINDOW, WUX_SLOT_GPSH, p, &push, 3, 6, 2, 0, "Go", -1), WU_OK);
    wu_str_item items[2] = {{3, 0, "one"}, {3, 0, "two"}};
    ASSERT_EQ(Call(QEV_TABLE_WINDOW, WUX_SLOT_GLBX, p, &list, "T", 9, 2, 4, 20, 0, 3, 0, 9, items, 2),
              WU_OK);
    ASSERT_EQ(Call(QEV_TABLE_METHODS, WUXP_SLOT_GLVW, p, &view, 1, 1, 100, 100, 0, 0, 0, 0), WU_OK);
    // While they stand they answer.
    EXPECT_EQ(Call(QEV_TABLE_WINDOW, WUX_SLOT_CSTA, box), 7);
    EXPECT_EQ(Call(QEV_TABLE_WINDOW, WUX_SLOT_RRBT, box), intptr_t(button));
    ASSERT_EQ(wuxfwnd(w), WU_OK);
    m.Settle();

    for (wu_control *c : {box, button, push, list, view}) {
      EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_CSTA, c)), WU_NOTAVAIL);
      EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_SSTA, c, 1)), WU_NOTAVAIL);
      EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_CWTX, c, "New")), WU_NOTAVAIL);
    }
    EXPECT_EQ(Call(QEV_TABLE_WINDOW, WUX_SLOT_RRBT, box), 0);
    wu_control *more = nullptr;
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_GRBT, box, &more, 8, 2, 1, 0, "Two", -1)),
              WU_NOTAVAIL);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_GPSH, p, &more, 4, 1, 1, 0, "X", -1)),
              WU_NOTAVAIL);
    EXPECT_EQ(more, nullptr);
    int32_t answer = 0;
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_CLBX, list, 1, items, -1, 2)), WU_NOTAVAIL);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_QLBX, list, 3, &answer)), WU_NOTAVAIL);
    char text[16];
    int32_t length = int32_t(sizeof text);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_QLBI, list, 1, text, &length)), WU_NOTAVAIL);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_METHODS, WUXP_SLOT_CLVW, view, 3, nullptr, 0, 0)), WU_NOTAVAIL);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_METHODS, WUXP_SLOT_GLVW, p, &more, 1, 1, 10, 10, 0, 0, 0, 0)),
              WU_NOTAVAIL);
    EXPECT_EQ(ShowPopup(w, popup), WU_NOTAVAIL);
    EXPECT_EQ(Slot<PopupFn>(QEV_TABLE_WINDOW, WUX_SLOT_FPMU)(w, popup), WU_NOTAVAIL);
    EXPECT_EQ(Choose(w), WU_NOTAVAIL);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_GITM, w, 5, 1)), WU_NOTAVAIL);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_SITM, w, 5, 1)), WU_NOTAVAIL);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_ECMD, w, kToolEdit)), WU_NOTAVAIL);
    EXPECT_EQ(int32_t(Call(QEV_TABLE_WINDOW, WUX_SLOT_CMNU, w, nullptr, nullptr, nullptr, nullptr)),
              WU_NOTAVAIL);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

}  // namespace

namespace {

// A window whose button box has a command item "Go", a Save item, an item
// opening a menu dialog, and (in the menu bar variant) a cascade.
wu_window *ItemWindow(bool bar) {
  qevhost::defineLibrary(kLib);
  qevhost::MenuNode root;
  auto add = [&](const char *label, int32_t submenu, int32_t command_id) {
    qevhost::MenuItem item;
    item.label = label;
    item.submenu = submenu;
    item.commandId = command_id;
    root.items.push_back(item);
  };
  add("Go", 0, 0);
  add("Save", 0, 5);
  add("Ask", 2, 0);
  if (bar) add("More", 3, 0);
  qevhost::MenuNode dlg;
  dlg.number = 2;
  dlg.kind = 2;
  dlg.text = std::string("\1\1\12\1\0\0", 6);
  dlg.templ = "SET @1";
  qevhost::MenuNode more;
  more.number = 3;
  qevhost::MenuItem inner;
  inner.label = "Inner";
  more.items.push_back(inner);
  std::vector<qevhost::MenuNode> nodes = {root, dlg};
  if (bar) nodes.push_back(more);
  if (!qevhost::writeMenu(kLib, kCat, "ITEMS", nodes)) return nullptr;
  return MenuWindow("ITEMS");
}

// Host code on a menu item: it releases the item's window and turns the
// event loop (as any slot that waits does) before the module's own
// callback runs.
void HostReleases(Widget, XtPointer client, XtPointer) {
  wuxfwnd(static_cast<wu_window *>(client));
  qevtest::turnUntil([] { return false; }, 100);
}

// Puts HostReleases in front of the callbacks of `name` on the item.
void HostCallbackFirst(Widget item, const char *name, wu_window *w) {
  XtCallbackList list = nullptr;
  XtVaGetValues(item, name, &list, nullptr);
  std::vector<XtCallbackRec> module;
  for (XtCallbackList c = list; c && c->callback; ++c) module.push_back(*c);
  XtRemoveAllCallbacks(item, name);
  XtAddCallback(item, name, HostReleases, w);
  for (const XtCallbackRec &c : module) XtAddCallback(item, name, c.callback, c.closure);
}

// Waits until the widget is on the screen, then clicks it.
void ClickWhenShown(Widget w) {
  qevtest::turnUntil([&] {
    XWindowAttributes at;
    Widget on = XtIsWidget(w) ? w : XtParent(w);
    return XtIsRealized(on) && XGetWindowAttributes(devb->display, XtWindow(on), &at) &&
           at.map_state == IsViewable;
  });
  qevtest::clickWidget(w);
}

TEST(MenuWaits, AnItemWhoseWindowTheHostReleasesFirstTouchesNothingOfIt) {
  for (const char *label : {"Go", "Save", "Ask"}) {
    InChild([label] {
      Started m;
      if (!m.Start()) return;
      const qevhost::PoolStats before = qevhost::poolStats(m.pool);
      wu_window *w = ItemWindow(false);
      ASSERT_NE(w, nullptr);
      ASSERT_EQ(w->menu_mode, WU_MMODE_BUTTONBOX);
      Widget item = Named(w->menu_widget, label);
      ASSERT_NE(item, nullptr);
      HostCallbackFirst(item, XmNactivateCallback, w);
      // Another window is current: nothing of the released one may reach it.
      wu_module()->current = m.window;
      ClickWhenShown(item);
      m.Settle();
      EXPECT_FALSE(wu_reg_has(w, WU_REG_WINDOW)) << label;
      // Nothing was queued for any window, and no dialog or busy cursor
      // stayed behind.
      EXPECT_EQ(wutcqev(nullptr), 0) << label;
      EXPECT_EQ(devb->busy_depth, 0) << label;
      EXPECT_EQ(qevhost::poolStats(m.pool).liveBlocks, before.liveBlocks) << label;
      m.Stop();
    });
  }
}

TEST(MenuWaits, ACascadeWhoseWindowTheHostReleasesBuildsNothing) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    const qevhost::PoolStats before = qevhost::poolStats(m.pool);
    wu_window *w = ItemWindow(true);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->menu_mode, WU_MMODE_MENUBAR);
    Widget more = Named(w->menu_widget, "More");
    ASSERT_NE(more, nullptr);
    HostCallbackFirst(more, XmNcascadingCallback, w);
    ClickWhenShown(more);
    m.Settle();
    // Nothing was queued for any window by the click.
    EXPECT_EQ(wutcqev(nullptr), 0);
    // Escape closes a pulldown if one was posted all the same; with none it
    // is the other window's key, so its queue is not looked at after it.
    qevtest::pressKey(devb->display, XK_Escape);
    m.Settle();
    EXPECT_FALSE(wu_reg_has(w, WU_REG_WINDOW));
    while (wu_event *e = wutdqev(m.window)) wutrlev(e);
    EXPECT_EQ(qevhost::poolStats(m.pool).liveBlocks, before.liveBlocks);
    m.Stop();
  });
}

}  // namespace
