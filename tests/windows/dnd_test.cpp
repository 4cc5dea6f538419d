// Drop-site attributes through the window interface's slots, a drag from
// one site to another on the private server, value-scaled scroll bars, the
// editor anchor of a window and the field actions of an easel.
#include <gtest/gtest.h>

#include <X11/IntrinsicP.h>
#include <X11/extensions/XTest.h>

#include "dragsource.h"
#include "xinput.h"
#include <Xm/DragDrop.h>
#include <Xm/DrawingA.h>
#include <Xm/PushB.h>
#include <Xm/ScrollBar.h>
#include <Xm/TextF.h>
#include <Xm/Xm.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "frames/wuframes.h"
#include "graphics/wugraph.h"
#include "modulehost.h"
#include "qev/catalog.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "qevhost.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "script.h"
#include "textwin/QevPane.h"
#include "textwin/wutwin.h"
#include "xserver.h"

namespace {

using DndSlot = wu_status (*)(void *site, wu_value *entries, int32_t count);

DndSlot WindowSlot(int32_t n) {
  auto *t = static_cast<const qev_table *>(qevhost::table(QEV_TABLE_WINDOW));
  if (!t) return nullptr;
  return reinterpret_cast<DndSlot>(reinterpret_cast<void (*)(void)>(t->slots[n]));
}

class DragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_TRUE(qevtest::startModule(QEV_MODULE_PATH, &why)) << why;
    ASSERT_NE(devb, nullptr);
    ASSERT_EQ(wuxgwnd(&window_, 1, WU_DECOR_MESSAGELINE), WU_OK);
    ASSERT_EQ(wuxgpan(window_, &pane_, 1, 1, 10, 60, 0), WU_OK);
    ASSERT_EQ(wuxiwnd(window_), WU_OK);
    ASSERT_TRUE(qevtest::turnUntil(
        [&] { return pane_->ext->widget && XtIsRealized(pane_->ext->widget); }));
  }
  void TearDown() override {
    if (window_) wuxfwnd(window_);
    qevtest::stopModule();
  }

  Widget Button(const char *name, int column) {
    return XtVaCreateManagedWidget(name, xmPushButtonWidgetClass, pane_->ext->widget, XmNx,
                                   column * devb->cell_width, XmNy, 2 * devb->cell_height,
                                   XmNwidth, 120, XmNheight, 40, nullptr);
  }

  // What the test's requests and input made the server send is handled.
  void Settle() { EXPECT_TRUE(qevtest::settle()); }

  wu_window *window_ = nullptr;
  wu_pane *pane_ = nullptr;
};

// A host string list built from texts.
struct HostList {
  explicit HostList(std::vector<std::string> t) : texts(std::move(t)) {
    for (std::string &s : texts)
      items.push_back({int32_t(s.size()), 0, s.data()});
  }
  std::vector<std::string> texts;
  std::vector<wu_dnd_text> items;
};

wu_value ListEntry(int16_t code, HostList &list) {
  wu_value e{};
  e.code = code;
  e.type = WU_VT_STRLIST;
  e.value = int32_t(list.items.size());
  e.pointer = list.items.data();
  return e;
}

std::vector<std::string> Texts(const wu_value &e) {
  std::vector<std::string> out;
  const auto *items = static_cast<const wu_dnd_text *>(e.pointer);
  for (int32_t i = 0; i < e.value; ++i) {
    EXPECT_EQ(std::strlen(items[i].text), size_t(items[i].length));
    out.emplace_back(items[i].text, size_t(items[i].length));
  }
  return out;
}

Cardinal RegisteredTargets(Widget w) {
  Cardinal n = 0;
  Arg args[1];
  XtSetArg(args[0], XmNnumImportTargets, &n);
  XmDropSiteRetrieve(w, args, 1);
  return n;
}

TEST_F(DragDrop, SiteAttributesAreCopiedInAndHandedOutThroughTheSlots) {
  DndSlot set = WindowSlot(WUX_SLOT_SDND), query = WindowSlot(WUX_SLOT_QDND);
  ASSERT_NE(set, nullptr);
  ASSERT_NE(query, nullptr);
  Widget w = Button("site", 2);
  ASSERT_EQ(wuwidrg(w, nullptr), WU_OK);
  wu_dnd_site *site = wumldnd(w, 1);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(RegisteredTargets(w), 4u);

  int owner_handle = 0;
  {
    HostList formats({"_DND_FILE", "QEV_TEST_FORMAT"}), types({WU_DND_TARGET_TEXT}),
        items({"hello"}), menu({"Copy", "Move", ""});
    wu_value in[7];
    in[0] = ListEntry(WU_DND_A_FORMATS, formats);
    in[1] = ListEntry(WU_DND_A_TYPES, types);
    in[2] = ListEntry(WU_DND_A_ITEMS, items);
    in[3] = ListEntry(WU_DND_A_MENU, menu);
    in[4] = wu_value{};
    in[4].code = WU_DND_A_OWNER;
    in[4].type = WU_VT_WORD;
    in[4].pointer = &owner_handle;
    in[5] = wu_value{};
    in[5].code = WU_DND_A_KIND;
    in[5].type = WU_VT_INT;
    in[5].value = 6;
    in[6] = wu_value{};
    in[6].code = 99;   // no drop-site attribute
    EXPECT_EQ(set(site, in, 7), WU_ENTRY_STATUS);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(in[i].status, WU_OK) << i;
    EXPECT_EQ(in[6].status, WU_E_NOT_HANDLED);
    // The host's texts may change at once: the site has its own copies.
    formats.texts[0].assign(formats.texts[0].size(), 'x');
    items.texts[0].assign(5, 'y');
  }
  // The site is registered again with its new formats.
  EXPECT_EQ(RegisteredTargets(w), 2u);

  qev_pool *pool = wu_module_pool();
  const qevhost::PoolStats base = qevhost::poolStats(pool);
  wu_value out[6];
  const int16_t codes[] = {WU_DND_A_FORMATS, WU_DND_A_TYPES, WU_DND_A_ITEMS,
                           WU_DND_A_MENU,    WU_DND_A_OWNER, WU_DND_A_KIND};
  for (int i = 0; i < 6; ++i) {
    out[i] = wu_value{};
    out[i].code = codes[i];
  }
  ASSERT_EQ(query(site, out, 6), WU_OK);
  EXPECT_EQ(out[0].status, WU_ALLOCATED);
  EXPECT_EQ(Texts(out[0]), (std::vector<std::string>{"_DND_FILE", "QEV_TEST_FORMAT"}));
  EXPECT_EQ(Texts(out[1]), (std::vector<std::string>{WU_DND_TARGET_TEXT}));
  EXPECT_EQ(Texts(out[2]), (std::vector<std::string>{"hello"}));
  EXPECT_EQ(Texts(out[3]), (std::vector<std::string>{"Copy", "Move", ""}));
  EXPECT_EQ(out[4].pointer, &owner_handle);
  EXPECT_EQ(out[5].value, 6);
  EXPECT_EQ(qevhost::poolStats(pool).liveBlocks, base.liveBlocks + 4);

  // wuxfdnd gives every handed-out list back; a second call finds nothing.
  EXPECT_EQ(wuxfdnd(out, 6, 0), WU_OK);
  EXPECT_EQ(out[0].pointer, nullptr);
  EXPECT_EQ(wuxfdnd(out, 6, 0), WU_OK);
  qevhost::PoolStats after = qevhost::poolStats(pool);
  EXPECT_EQ(after.liveBlocks, base.liveBlocks);
  EXPECT_EQ(after.liveBytes, base.liveBytes);
  EXPECT_EQ(after.errors, 0);

  // Refused entries leave the site as it was.
  HostList unnamed({"A", ""});
  wu_value bad[3];
  bad[0] = ListEntry(WU_DND_A_FORMATS, unnamed);
  bad[1] = wu_value{};
  bad[1].code = WU_DND_A_TYPES;
  bad[1].type = WU_VT_STRLIST;
  bad[1].value = -1;
  bad[2] = wu_value{};
  bad[2].code = WU_DND_A_KIND;
  bad[2].type = WU_VT_STRING;
  EXPECT_EQ(set(site, bad, 3), WU_ENTRY_STATUS);
  for (const wu_value &e : bad) EXPECT_EQ(e.status, WU_E_RANGE);
  EXPECT_EQ(site->format_count, 2);
  EXPECT_EQ(site->type_count, 1);
  EXPECT_EQ(site->kind, 6);
  // An empty list clears; a missing site or entry list is refused.
  wu_value clear{};
  clear.code = WU_DND_A_MENU;
  clear.type = WU_VT_STRLIST;
  EXPECT_EQ(set(site, &clear, 1), WU_OK);
  EXPECT_EQ(site->menu.count, 0);
  EXPECT_EQ(set(nullptr, &clear, 1), WU_NOTAVAIL);
  EXPECT_EQ(query(site, nullptr, 1), WU_BADARG);
  EXPECT_EQ(wuxfdnd(nullptr, 1, 0), WU_BADARG);
}

TEST_F(DragDrop, DragStartedAtAPointerPositionDropsOnAnotherSite) {
  // Drawing areas: plain widgets that start no drag of their own.
  Widget source = XtVaCreateManagedWidget("source", xmDrawingAreaWidgetClass, pane_->ext->widget,
                                          XmNx, 10, XmNy, 40, XmNwidth, 120, XmNheight, 40,
                                          nullptr);
  Widget target = XtVaCreateManagedWidget("target", xmDrawingAreaWidgetClass, pane_->ext->widget,
                                          XmNx, 300, XmNy, 40, XmNwidth, 120, XmNheight, 40,
                                          nullptr);
  Settle();
  // The source offers a text; the target takes the module's targets.
  ASSERT_NE(qevtest::offerText(source, "dragged text"), nullptr);
  ASSERT_EQ(wuwidrg(target, nullptr), WU_OK);
  wu_dnd_site *to = wumldnd(target, 1);
  ASSERT_NE(to, nullptr);

  Position tx = 0, ty = 0;
  XtTranslateCoords(target, 30, 20, &tx, &ty);
  wu_drag_desc desc = {tx, ty, 20, 20};
  int32_t started = 0;
  EXPECT_EQ(wuwsdnd(nullptr, 0, &desc, &started), WU_BADARG);
  ASSERT_TRUE(qevtest::dragFrom(source, tx, ty));
  ASSERT_TRUE(qevtest::turnUntil([&] { return to->data != nullptr; }, 8000));
  EXPECT_EQ(std::string(to->data, size_t(to->data_length)), "dragged text");
  EXPECT_GT(to->drop_column, 0);
  // The drop woke the window's read and the drag is over.
  EXPECT_GE(wutcqev(window_), 1);
  qevtest::turnUntil([] { return !(devb->flags & int32_t(WU_DEV_DRAGGING)); }, 3000);
  EXPECT_FALSE(devb->flags & int32_t(WU_DEV_DRAGGING));
}

// Keeps the values a scaled bar hands to the host.
std::vector<int32_t> g_values;
wu_status KeepValue(wu_ctl_handle *, wu_ctl_event *, wu_value *params, int32_t count) {
  // The value is a double (value type 5), as the catalogue defines it.
  double value = 0;
  if (count == 2 && params[1].type == WU_VT_DOUBLE) {
    std::memcpy(&value, &params[1].value, sizeof value);
    g_values.push_back(int32_t(value));
  }
  return WU_OK;
}

int WidgetValue(Widget w, const char *resource) {
  int v = 0;
  XtVaGetValues(w, resource, &v, nullptr);
  return v;
}

// The user sends the bar to its start or end: a Control click in the
// trough on that side of the slider.
bool ScrollToEnd(Widget w, bool end) {
  int x = 0, y = 0;
  qevtest::scrollBarPlace(w, end ? qevtest::kTroughAfter : qevtest::kTroughBefore, &x, &y);
  return qevtest::clickHandledAt(w, x, y, 1, ControlMask);
}

TEST_F(DragDrop, ValueScaledBarsScaleBothWays) {
  // A range wider than Motif's integers.
  int32_t minimum = INT32_MIN, maximum = INT32_MAX, value = 0;
  wu_bar *bar = nullptr;
  ASSERT_EQ(wuxgbar(pane_, &bar, 1, 0, 0, &minimum, &maximum, &value, 1, 50, 8, WU_BAR_SCALED, 0),
            WU_OK);
  ASSERT_NE(bar->widget, nullptr);
  EXPECT_EQ(bar->common.kind, WU_MT_SCALE2);
  Widget w = bar->widget;
  const int wmin = WidgetValue(w, XmNminimum), wmax = WidgetValue(w, XmNmaximum);
  const int slider = WidgetValue(w, XmNsliderSize);
  EXPECT_LT(wmin, wmax);
  EXPECT_GE(slider, 1);
  // The host's middle is the widget's middle.
  EXPECT_NEAR(WidgetValue(w, XmNvalue), wmin + (wmax - wmin - slider) / 2, 1);
  bar->common.procedure = KeepValue;
  g_values.clear();
  ASSERT_TRUE(ScrollToEnd(w, false));
  ASSERT_TRUE(ScrollToEnd(w, true));
  ASSERT_EQ(g_values.size(), 2u);
  EXPECT_EQ(g_values[0], INT32_MIN);
  EXPECT_EQ(g_values[1], INT32_MAX);   // the slider's page is one host value
  EXPECT_EQ(value, INT32_MAX);

  // A small range with a page of ten: every host value goes there and back.
  XtDestroyWidget(w);
  Settle();
  ASSERT_EQ(bar->widget, nullptr);
  minimum = 0;
  maximum = 99;
  value = 45;
  bar->large_amount = 10;
  ASSERT_EQ(wutiscl(window_, pane_, bar), WU_OK);
  w = bar->widget;
  const int span = WidgetValue(w, XmNmaximum) - WidgetValue(w, XmNminimum);
  EXPECT_EQ(WidgetValue(w, XmNsliderSize), span / 10);
  // A click on the slider that does not move it reports the value it
  // shows: the host's value again.
  ASSERT_TRUE(qevtest::turnUntil([w] { return qevtest::viewable(w); }));
  Settle();
  int sx = 0, sy = 0;
  qevtest::scrollBarPlace(w, qevtest::kSlider, &sx, &sy);
  g_values.clear();
  ASSERT_TRUE(qevtest::clickHandledAt(w, sx, sy));
  ASSERT_EQ(g_values.size(), 1u);
  EXPECT_EQ(g_values[0], 45);
  ASSERT_TRUE(ScrollToEnd(w, true));
  EXPECT_EQ(value, 90);   // the last value that leaves room for the page
}

TEST_F(DragDrop, EditorAnchorIsTheOwnersNamedPointer) {
  int anchor = 0;
  ASSERT_NE(window_->task, nullptr);
  EXPECT_EQ(wucw2ep(window_), nullptr);
  qevhost::setNamedPointer(window_->task, WU_EDITOR_ANCHOR_NAME, &anchor);
  EXPECT_EQ(wucw2ep(window_), &anchor);
  // A window of another owner is no editor window.
  qev_task *other = qevhost::createTask("OTHER", 1, 0);
  ASSERT_NE(other, nullptr);
  qev_task *mine = window_->task;
  window_->task = other;
  EXPECT_EQ(wucw2ep(window_), nullptr);
  window_->task = mine;
  qevhost::setNamedPointer(mine, WU_EDITOR_ANCHOR_NAME, nullptr);
  EXPECT_EQ(wucw2ep(window_), nullptr);
  EXPECT_EQ(wucw2ep(nullptr), nullptr);
}

TEST_F(DragDrop, FieldActionsOfAnEaselQueueEaselEvents) {
  Widget drawing = Button("easel", 2);
  Widget plain = Button("plain", 40);
  wu_easel easel{};
  easel.pane = pane_;
  easel.widget = drawing;
  pane_->easels = &easel;
  pane_->easel_count = 1;
  wutnxtf(drawing, nullptr);
  wutprvf(drawing, nullptr);
  wutnxtf(plain, nullptr);
  const int32_t want[] = {WU_EV_EASEL_NEXT_FIELD, WU_EV_EASEL_PREV_FIELD, WU_EV_NEXT_FIELD};
  for (int32_t code : want) {
    wu_event *e = wutdqev(window_);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->code, code);
    if (code != WU_EV_NEXT_FIELD) {
      ASSERT_EQ(e->length, int32_t(sizeof(void *)));
      EXPECT_EQ(e->params.words[0], &easel);
    }
    wutrlev(e);
  }
  pane_->easels = nullptr;
  pane_->easel_count = 0;
}

}  // namespace
