// Handles the host keeps too long: windows, panes, controls, control handles,
// drop sites and their lists, and handle arrays used after their release,
// after shut-down and after a restart.  Each is refused by address, and
// nothing of it is read.
#include "hardening.h"

#include "controls/wucontrol.h"

#include <X11/IntrinsicP.h>
#include <Xm/DragDrop.h>

#include <cstring>

namespace {

using namespace hardening;

const int32_t kWake = WU_EV_WAKE;

TEST(Handles, AReleasedWindowIsRefusedByEverySlotThatTakesIt) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_window *w = m.window;
    wu_pane *pane = m.pane;
    wu_field *field = nullptr;
    ASSERT_EQ(wuxgfld(pane, &field, 1, 1, 10, 0, 0), WU_OK);
    ASSERT_EQ(wuxqwev(w, kWake, nullptr, 0), WU_OK);
    ASSERT_EQ(wuxfwnd(w), WU_OK);
    // Its queued events went with it.
    EXPECT_EQ(wutcqev(nullptr), 0);

    EXPECT_EQ(wuxiwnd(w), WU_NOTAVAIL);
    EXPECT_EQ(wuxuwnd(w), WU_NOTAVAIL);
    EXPECT_EQ(wuxrwnd(w), WU_NOTAVAIL);
    EXPECT_EQ(wuxfwnd(w), WU_NOTAVAIL);
    EXPECT_EQ(wuxpmsg(w, "Saved.", -1, 0), WU_NOTAVAIL);
    EXPECT_EQ(wuxmcrs(w, pane, 1, 1), WU_NOTAVAIL);
    EXPECT_EQ(wuxmcur(w), WU_NOTAVAIL);
    uint32_t decor = 0;
    EXPECT_EQ(wuxgdsf(w, 0, &decor), WU_NOTAVAIL);
    wu_pane *p2 = reinterpret_cast<wu_pane *>(1);
    EXPECT_EQ(wuxgpan(w, &p2, 1, 1, 1, 1, 0), WU_NOTAVAIL);
    EXPECT_EQ(p2, nullptr);
    wu_field *f2 = nullptr;
    EXPECT_EQ(wuxgfld(pane, &f2, 1, 1, 1, 0, 0), WU_NOTAVAIL);
    wu_ctl_handle *entry = nullptr;
    EXPECT_EQ(wuxcrea(&entry, pane, nullptr, WU_CTYPE_ENTRY, nullptr, 0, nullptr), WU_NOTAVAIL);
    EXPECT_EQ(entry, nullptr);
    // A host control type is refused before the pane is read, too.
    wu_ctl_handle *h = nullptr;
    EXPECT_EQ(wuxcrea(&h, pane, nullptr, WU_CTYPE_HOST_FIRST, nullptr, 0, nullptr), WU_NOTAVAIL);
    EXPECT_EQ(wuxacon(pane), nullptr);
    EXPECT_EQ(wuxicnt(w, 1), nullptr);
    wu_ctl_handle **array = nullptr;
    int32_t count = 0;
    EXPECT_EQ(wuxcord(w, pane, &array, &count), WU_NOTAVAIL);
    struct {
      wu_pane *pane;
      wu_control *control;
      int32_t row, column;
    } request = {pane, nullptr, 1, 1};
    EXPECT_EQ(wuxfocs(&request, 0), WU_NOTAVAIL);

    // The queue takes no events for it: fifty refusals leave room for the
    // live windows.
    for (int i = 0; i < WU_EVQ_NODES + 10; ++i) EXPECT_EQ(wuxqwev(w, kWake, nullptr, 0), WU_NOTAVAIL);
    EXPECT_EQ(wuxqcmd(w, "END;", -1, 1, 0, 0), WU_NOTAVAIL);
    int32_t code = 0, length = 0;
    char buffer[8];
    EXPECT_EQ(wuxgqev(w, &code, buffer, sizeof buffer, &length), WU_NOTAVAIL);
    wu_window *live = nullptr;
    ASSERT_EQ(wuxgwnd(&live, 1, 0), WU_OK);
    EXPECT_EQ(wuxqwev(live, kWake, nullptr, 0), WU_OK);
    EXPECT_EQ(wuxfwnd(live), WU_OK);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(Handles, AReleasedControlAndItsHandleAreRefusedAndInertAfterStepOne) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = m.Entry();
    ASSERT_NE(h, nullptr);
    wu_control *c = h->control;
    // The host keeps the services table the handle pointed at and calls
    // through it after the shut-down and the restart.
    const wu_ctl_services *services = h->services;
    EXPECT_EQ(wuxgrst(c), 0);
    EXPECT_EQ(wuxfwid(c), WU_OK);
    // Step one: the record stays until the display update, but every slot
    // already refuses it.
    wu_value v = {};
    v.code = WU_A_HPOS;
    v.type = WU_VT_INT;
    EXPECT_EQ(wuxswat(c, &v, 1), WU_NOTAVAIL);
    EXPECT_EQ(wuxqwat(c, &v, 1), WU_NOTAVAIL);
    EXPECT_EQ(wuxhwid(c, 1), WU_NOTAVAIL);
    EXPECT_EQ(wuxgrwd(c, 1), WU_NOTAVAIL);
    EXPECT_EQ(wuxgrst(c), WU_NOTAVAIL);
    EXPECT_EQ(wuxfwid(c), WU_NOTAVAIL);
    int32_t rect[4] = {};
    EXPECT_EQ(wuxgwsz(rect, 0, c), WU_NOTAVAIL);
    EXPECT_EQ(wuxcnti(h), -1);
    EXPECT_EQ(wuxmeth(h, WU_M_GETMARK, &v, 1), WU_NOTAVAIL);
    EXPECT_EQ(services->wdes(h), WU_NOTAVAIL);
    // Step two frees it once; the refusals stay.
    ASSERT_EQ(wuxuwnd(m.window), WU_OK);
    EXPECT_EQ(wuxgrst(c), WU_NOTAVAIL);
    EXPECT_EQ(wuxcnti(h), -1);
    EXPECT_EQ(services->swat(c, &v, 1), WU_NOTAVAIL);
    EXPECT_EQ(services->meth(h, WU_M_GETMARK, &v, 1), WU_NOTAVAIL);
    EXPECT_EQ(services->focs(h), WU_NOTAVAIL);
    int32_t x = 0;
    EXPECT_EQ(services->ggeo(h, &x, &x, &x, &x), WU_NOTAVAIL);
    EXPECT_EQ(services->rbat(h, nullptr), WU_NOTAVAIL);
    EXPECT_EQ(wuxfwnd(m.window), WU_OK);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(Handles, HandlesDieWithShutDownAndStayDeadAfterARestart) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = m.Entry();
    ASSERT_NE(h, nullptr);
    wu_control *c = h->control;
    wu_window *w = m.window;
    wu_pane *pane = m.pane;
    // The host keeps the services table the handle pointed at and calls
    // through it after the shut-down and the restart.
    const wu_ctl_services *services = h->services;
    auto term = qevtest::windowSlot(WUX_SLOT_TERM);
    auto init = qevtest::windowSlot(WUX_SLOT_INIT);
    auto cnti = Slot<CntiFn>(QEV_TABLE_WINDOW, WUX_SLOT_CNTI);
    wu_value v = {};
    for (int round = 0; round < 2; ++round) {
      ASSERT_EQ(term(), WU_OK);   // the window and control still stand: they go with it
      EXPECT_EQ(cnti(h), -1);
      EXPECT_EQ(wuxmeth(h, WU_M_GETMARK, &v, 1), WU_NOTAVAIL);
      EXPECT_EQ(services->swat(c, &v, 1), WU_NOTAVAIL);
      EXPECT_EQ(services->grst(c), WU_NOTAVAIL);
      EXPECT_EQ(services->wdes(h), WU_NOTAVAIL);
      EXPECT_EQ(wuxuwnd(w), WU_NOTAVAIL);
      EXPECT_EQ(wuxrwnd(w), WU_NOTAVAIL);
      EXPECT_EQ(wuxqwev(w, kWake, nullptr, 0), WU_NOTAVAIL);
      wu_pane *p = nullptr;
      EXPECT_EQ(wuxgpan(w, &p, 1, 1, 1, 1, 0), WU_NOTAVAIL);
      wu_ctl_handle *h2 = nullptr;
      EXPECT_EQ(wuxcrea(&h2, pane, nullptr, WU_CTYPE_ENTRY, nullptr, 0, nullptr), WU_NOTAVAIL);
      // Restarted, the module knows none of the old objects.
      ASSERT_EQ(init(), WU_OK);
      EXPECT_EQ(cnti(h), -1);
      EXPECT_EQ(wuxmeth(h, WU_M_GETMARK, &v, 1), WU_NOTAVAIL);
      EXPECT_EQ(services->hwid(c, 1), WU_NOTAVAIL);
      EXPECT_EQ(wuxuwnd(w), WU_NOTAVAIL);
      EXPECT_EQ(wuxfwnd(w), WU_NOTAVAIL);
      // New objects work as before.
      m.pool = wu_module_pool();
      m.base = qevhost::poolStats(m.pool);
      ASSERT_TRUE(wuxgwnd(&m.window, 1, 0) == WU_OK &&
                  wuxgpan(m.window, &m.pane, 1, 1, 5, WU_FULL_WIDTH, 0) == WU_OK);
      ASSERT_EQ(wuxiwnd(m.window), WU_OK);
      wu_ctl_handle *fresh = m.Entry();
      ASSERT_NE(fresh, nullptr);
      EXPECT_EQ(cnti(fresh), 1);
      h = fresh;
      c = fresh->control;
      w = m.window;
      pane = m.pane;
    }
    m.Stop();
  });
}

TEST(Handles, AnArrayOfAReleasedWindowIsStillGivenBack) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    ASSERT_NE(m.Entry(), nullptr);
    ASSERT_NE(m.Entry(), nullptr);
    wu_ctl_handle **array = nullptr;
    int32_t count = 0;
    ASSERT_EQ(wuxcord(m.window, m.pane, &array, &count), WU_OK);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(wuxcnti(array[0]), 1);
    EXPECT_EQ(wuxcnti(array[1]), 2);
    wu_window *w = m.window;
    ASSERT_EQ(wuxfwnd(w), WU_OK);
    // The handles in it died with the window; the array is the module's
    // own and goes back to the pool even though its window is gone.
    EXPECT_EQ(wuxcnti(array[0]), -1);
    EXPECT_EQ(wuxfcor(w, array), WU_OK);
    m.ExpectPoolAtBase();
    // Given back twice, or never handed out: refused.
    EXPECT_EQ(wuxfcor(w, array), WU_NOTAVAIL);
    wu_ctl_handle *forged[4] = {};
    EXPECT_EQ(wuxfcor(nullptr, forged), WU_NOTAVAIL);
    EXPECT_EQ(wuxfcor(nullptr, nullptr), WU_NOTAVAIL);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

// Drop-site lists handed out in entries, as the host gets them.
wu_value Formats() {
  static wu_dnd_text items[2] = {{6, 0, const_cast<char *>("STRING")}, {4, 0, const_cast<char *>("TEXT")}};
  wu_value v = {};
  v.code = WU_DND_A_FORMATS;
  v.type = WU_VT_STRLIST;
  v.value = 2;
  v.pointer = items;
  return v;
}

TEST(Handles, DropSitesAndTheirListsAreRefusedOnceReleased) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = m.Entry();
    ASSERT_NE(h, nullptr);
    // Warm the atoms and the site machinery once.
    {
      wu_dnd_site *warm = wumrdnd(wuwgxtw(h->control));
      ASSERT_NE(warm, nullptr);
      wumudnd(wuwgxtw(h->control));
    }
    wu_dnd_site *site = wumrdnd(wuwgxtw(h->control));
    ASSERT_NE(site, nullptr);
    wu_value set = Formats();
    EXPECT_EQ(wuxsdnd(site, &set, 1), WU_OK);
    EXPECT_EQ(wumsdnd(site), WU_OK);
    wu_value query = {};
    query.code = WU_DND_A_FORMATS;
    ASSERT_EQ(wuxqdnd(site, &query, 1), WU_OK);
    ASSERT_EQ(query.status, WU_ALLOCATED);
    ASSERT_EQ(query.value, 2);
    wu_value copy = query;

    // The control goes: its widget, and the site with it.
    ASSERT_EQ(h->services->wdes(h), WU_OK);
    m.Settle();
    EXPECT_EQ(wuxqdnd(site, &query, 1), WU_NOTAVAIL);
    EXPECT_EQ(wuxsdnd(site, &set, 1), WU_NOTAVAIL);
    EXPECT_EQ(wumsdnd(site), WU_NOTAVAIL);
    EXPECT_EQ(wuxudnd(site), WU_NOTAVAIL);
    // The list the host holds is still its to give back, once.
    const int64_t before = qevhost::poolStats(m.pool).liveBlocks;
    EXPECT_EQ(wuxfdnd(&query, 1, 0), WU_OK);
    EXPECT_EQ(query.pointer, nullptr);
    EXPECT_EQ(qevhost::poolStats(m.pool).liveBlocks, before - 1);
    EXPECT_EQ(wuxfdnd(&copy, 1, 0), WU_OK);   // a copy of a freed entry: left alone
    EXPECT_EQ(copy.status, WU_ALLOCATED);
    // A list the module never handed out, with lengths that would run far
    // past it, is left alone too.
    wu_dnd_text forged[1] = {{0x7ffffff0, 0, const_cast<char *>("x")}};
    wu_value fake = {};
    fake.type = WU_VT_STRLIST;
    fake.value = 1;
    fake.pointer = forged;
    fake.status = WU_ALLOCATED;
    EXPECT_EQ(wuxfdnd(&fake, 1, 0), WU_OK);
    EXPECT_EQ(qevhost::poolStats(m.pool).liveBlocks, before - 1);
    EXPECT_EQ(wuxfwnd(m.window), WU_OK);
    m.ExpectPoolAtBase();
    m.Stop();
  });
}

TEST(Handles, FailuresAreNotReportedAsSuccess) {
  InChild([] {
    Started m;
    if (!m.Start()) return;
    wu_ctl_handle *h = m.Entry();
    ASSERT_NE(h, nullptr);
    wu_control *c = h->control;
    // Whether grayed: a null or unknown control is refused, not "no".
    EXPECT_EQ(wuxgrst(nullptr), WU_NOTAVAIL);
    int32_t foreign[64] = {};
    EXPECT_EQ(wuxgrst(reinterpret_cast<wu_control *>(foreign)), WU_NOTAVAIL);
    EXPECT_EQ(wuxgrwd(c, 1), WU_OK);
    EXPECT_EQ(wuxgrst(c), 1);
    // Show takes 1 or 0: anything else changes nothing and says so.
    Widget w = wuwgxtw(c);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(wuxhwid(c, 0), WU_OK);
    EXPECT_FALSE(XtIsManaged(w));
    EXPECT_EQ(wuxhwid(c, 77), WU_E_RANGE);
    EXPECT_FALSE(XtIsManaged(w));
    EXPECT_EQ(wuxhwid(c, -1), WU_E_RANGE);
    EXPECT_EQ(wuxhwid(c, 1), WU_OK);
    EXPECT_TRUE(XtIsManaged(w));
    EXPECT_EQ(h->services->hwid(c, 77), WU_E_RANGE);
    EXPECT_TRUE(XtIsManaged(w));

    // A drop site Motif will not take (a shell) is not reported registered;
    // a text widget that made itself a drop site takes the site's own.
    wu_dnd_site *refused = wumrdnd(reinterpret_cast<Widget>(m.window->outer));
    ASSERT_NE(refused, nullptr);
    EXPECT_EQ(wumsdnd(refused), WU_NOTAVAIL);
    EXPECT_EQ(refused->registered, 0);
    wu_dnd_site *taken = wumrdnd(w);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(wumsdnd(taken), WU_OK);
    XtCallbackProc held = nullptr;
    Arg arg[1];
    XtSetArg(arg[0], XmNdropProc, &held);
    XmDropSiteRetrieve(w, arg, 1);
    EXPECT_EQ(held, reinterpret_cast<XtCallbackProc>(wuwhdrp));
    EXPECT_EQ(wuxfwnd(m.window), WU_OK);
    m.Stop();
  });
}

TEST(Handles, EverySlotRefusesBeforeStartUp) {
  InChild([] {
    ASSERT_NE(qevhost::start(), nullptr);
    ASSERT_NE(qevhost::loadModule(QEV_MODULE_PATH), nullptr);
    int32_t junk[256] = {};
    auto *w = reinterpret_cast<wu_window *>(junk);
    wu_pane *p = nullptr;
    EXPECT_EQ(wuxgpan(w, &p, 1, 1, 1, 1, 0), WU_NOTAVAIL);
    EXPECT_EQ(wuxuwnd(w), WU_NOTAVAIL);
    EXPECT_EQ(wuxiwnd(w), WU_NOTAVAIL);
    EXPECT_EQ(wuxrwnd(w), WU_NOTAVAIL);
    wu_window *made = nullptr;
    EXPECT_EQ(wuxgwnd(&made, 1, 0), WU_NOTAVAIL);
    EXPECT_EQ(wuxlscr(), WU_NOTAVAIL);
    const wu_cat_type *table = nullptr;
    int32_t rows = 0;
    EXPECT_EQ(wuxgext(&table, &rows), WU_NOTAVAIL);
    int32_t rect[4];
    EXPECT_EQ(wuxgwsz(rect, 13, nullptr), WU_NOTAVAIL);
    qevhost::unloadModule();
    qevhost::stop();
  });
}

}  // namespace
