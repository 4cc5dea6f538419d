// Controls in their window: the keys a field keeps from the window's text
// keys, the window's release taking its controls along, the colour sets of
// the window applied to controls, and the icons of the string popup.
#include "ctlfixture.h"

#include <algorithm>

// References the icon store holds on a pixmap (0 when it does not know it).
extern "C" int32_t wutrpix(Pixmap pixmap);

namespace {

int g_destroyed = 0;
void CountDestroy(Widget, XtPointer, XtPointer) { ++g_destroyed; }

class ControlsInWindow : public Controls {
 protected:
  // Warms the module's own lazy state with one control, then takes the
  // pool's baseline.
  void WarmAndTakeBaseline() {
    wu_ctl_handle *warm = Create(WU_CTYPE_ENTRY);
    warm->services->wdes(warm);
    Settle();
    base_ = qevhost::poolStats(pool_);
  }

  // An entry field holding a text in each of the panes, each counted when
  // its widget is destroyed.
  std::vector<wu_ctl_handle *> EntriesIn(const std::vector<wu_pane *> &panes) {
    std::vector<wu_ctl_handle *> handles;
    for (wu_pane *where : panes) {
      wu_ctl_handle *h = nullptr;
      wu_value text = Text(WU_A_TEXT, "kept");
      EXPECT_EQ(crea_(&h, where, nullptr, WU_CTYPE_ENTRY, &text, 1, HostProc), WU_OK);
      if (h) handles.push_back(h);
    }
    Settle();
    g_destroyed = 0;
    for (wu_ctl_handle *h : handles) XtAddCallback(W(h), XmNdestroyCallback, CountDestroy, nullptr);
    return handles;
  }

  // Every control went with its widget and handle, and the pool is back at
  // the baseline.
  void ExpectAllReleased(const std::vector<wu_ctl_handle *> &handles) {
    EXPECT_EQ(g_destroyed, int(handles.size()));
    for (wu_ctl_handle *h : handles)
      EXPECT_EQ(Slot<CntiFn>(QEV_TABLE_WINDOW, WUX_SLOT_CNTI)(h), -1);
    qevhost::PoolStats now = qevhost::poolStats(pool_);
    EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
    EXPECT_EQ(now.liveBytes, base_.liveBytes);
    EXPECT_EQ(now.errors, 0);
  }
};

// A control record of a kind whose builder is not linked, for the colour
// resources that depend on the kind alone.
struct FakeRecord {
  wu_control c;
  wu_ctl_widgets w;
};

Pixel Named(const char *name) {
  XColor screen = {}, exact = {};
  EXPECT_TRUE(XAllocNamedColor(devb->display, devb->colormap, name, &screen, &exact)) << name;
  return screen.pixel;
}

const Arg *Find(const std::vector<Arg> &args, const char *name) {
  for (const Arg &a : args)
    if (std::strcmp(a.name, name) == 0) return &a;
  return nullptr;
}

std::vector<Arg> ColourArgs(wu_control *c, const wu_ctl_colours *set) {
  std::vector<Arg> args(16);
  const int32_t n = wuwswvs(c, set, args.data(), 0);
  args.resize(size_t(n));
  return args;
}

// ---- keys -----------------------------------------------------------------------

TEST_F(ControlsInWindow, ReturnActivatesTheFieldAndOtherWindowKeysStay) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {Text(WU_A_TEXT, "abc")});
  Widget w = W(h);
  Focus(w);  // the user clicks into the field, then the recording starts
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  Events();
  Queued();
  for (KeySym sym : {XK_Return, XK_KP_Enter}) {
    Key(w, sym);
    EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_RETURNKEY}) << sym;
    // The field's wake-up, and no function key of the window.
    std::vector<int32_t> queued = Queued();
    EXPECT_NE(std::find(queued.begin(), queued.end(), WU_EV_CTL_WAKE), queued.end());
    for (int32_t code : queued) EXPECT_GE(code, 0) << "window key queued for " << sym;
  }
  std::vector<qevhost::Recording> rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), 2u);
  wu_batch_event r = {};
  std::memcpy(&r, rec[0].record.data(), sizeof r);
  EXPECT_EQ(r.code, WU_EV_RETURNKEY);
  EXPECT_EQ(r.sent, 1);
  EXPECT_EQ(r.value1, 3);  // the text's length
  qevhost::removeBatchDriver(qevhost::mainTask());

  // Without the returnKey event the field keeps Return all the same.
  std::vector<int32_t> none = {WU_EV_CLICK};
  wu_value events = List(WU_A_EVENTS, none);
  ASSERT_EQ(h->services->swat(h->control, &events, 1), WU_OK);
  Key(w, XK_Return);
  EXPECT_TRUE(Codes().empty());
  for (int32_t code : Queued()) EXPECT_GE(code, 0);

  // The other text keys still go to the window as its function keys.
  Key(w, XK_F5);
  std::vector<int32_t> queued = Queued();
  EXPECT_TRUE(std::any_of(queued.begin(), queued.end(), [](int32_t c) { return c < 0; }));
}

// ---- release with the window -------------------------------------------------------

TEST_F(ControlsInWindow, ReleasingTheWindowReleasesItsControls) {
  WarmAndTakeBaseline();

  wu_window *second = nullptr;
  wu_pane *pane = nullptr;
  ASSERT_EQ(wuxgwnd(&second, 1, 0), WU_OK);
  ASSERT_EQ(wuxgpan(second, &pane, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
  ASSERT_EQ(wuxiwnd(second), WU_OK);
  Settle();
  std::vector<wu_ctl_handle *> handles = EntriesIn({pane, pane, pane});
  ASSERT_EQ(handles.size(), 3u);
  // One control holds a text answer, one has a posted event, one is
  // halfway released.
  wu_value q = Int(WU_A_TEXT, 0);
  EXPECT_EQ(handles[0]->services->qwat(handles[0]->control, &q, 1), WU_ENTRY_STATUS);
  Type(W(handles[1]), "x");
  ASSERT_EQ(wuxfwid(handles[2]->control), WU_OK);

  ASSERT_EQ(wuxfwnd(second), WU_OK);
  ExpectAllReleased(handles);
  // The window the fixture holds is untouched.
  EXPECT_EQ(pane_->ext->controls, nullptr);
  EXPECT_NE(Create(WU_CTYPE_ENTRY), nullptr);
}

// Controls placed in the command pane go with the window as those of its
// other panes do.
TEST_F(ControlsInWindow, ReleasingTheWindowReleasesTheControlsOfItsCommandPane) {
  WarmAndTakeBaseline();

  wu_window *second = nullptr;
  wu_pane *pane = nullptr;
  ASSERT_EQ(wuxgwnd(&second, 1, WU_DECOR_COMMANDLINE | WU_DECOR_MESSAGELINE), WU_OK);
  ASSERT_EQ(wuxgpan(second, &pane, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
  ASSERT_EQ(wuxiwnd(second), WU_OK);
  Settle();
  ASSERT_NE(second->command_pane, nullptr);
  std::vector<wu_ctl_handle *> handles =
      EntriesIn({second->command_pane, second->command_pane, pane});
  ASSERT_EQ(handles.size(), 3u);

  ASSERT_EQ(wuxfwnd(second), WU_OK);
  ExpectAllReleased(handles);
}

// ---- colours --------------------------------------------------------------------

TEST_F(ControlsInWindow, ColourResourcesFollowTheSetAndTheKind) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  wu_ctl_colours set = {Named("navy"), Named("white"), Named("light blue"), Named("dark blue")};

  // Distinct shadows: the four colours and nothing more for a text field.
  std::vector<Arg> args = ColourArgs(h->control, &set);
  ASSERT_EQ(args.size(), 4u);
  EXPECT_EQ(Pixel(Find(args, XmNforeground)->value), set.foreground);
  EXPECT_EQ(Pixel(Find(args, XmNbackground)->value), set.background);
  EXPECT_EQ(Pixel(Find(args, XmNtopShadowColor)->value), set.top_shadow);
  EXPECT_EQ(Pixel(Find(args, XmNbottomShadowColor)->value), set.bottom_shadow);

  // Equal shadows are drawn as stipples.
  wu_ctl_colours flat = set;
  flat.bottom_shadow = flat.top_shadow;
  args = ColourArgs(h->control, &flat);
  ASSERT_EQ(args.size(), 6u);
  ASSERT_NE(Find(args, XmNtopShadowPixmap), nullptr);
  ASSERT_NE(Find(args, XmNbottomShadowPixmap), nullptr);
  EXPECT_NE(Pixmap(Find(args, XmNtopShadowPixmap)->value), Pixmap(None));
  EXPECT_NE(Pixmap(Find(args, XmNtopShadowPixmap)->value),
            Pixmap(Find(args, XmNbottomShadowPixmap)->value));

  // The kind's own colour: trough, arm or select.
  FakeRecord fake = {};
  struct { int32_t kind; const char *resource; bool select_is_foreground; } kinds[] = {
      {WU_MT_SCROLLBAR, XmNtroughColor, false},  {WU_MT_PROGRESSBAR, XmNtroughColor, false},
      {WU_MT_PUSHBUTTON, XmNarmColor, false},    {WU_MT_DESKTOPICON, XmNarmColor, false},
      {WU_MT_CHECKBOX, XmNselectColor, true},    {WU_MT_RADIOBUTTON, XmNselectColor, true},
  };
  Pixel fg = 0, top = 0, bottom = 0, select = 0;
  XmGetColors(XtScreen(devb->toplevel), devb->colormap, set.background, &fg, &top, &bottom,
              &select);
  for (const auto &k : kinds) {
    fake.c.kind = k.kind;
    args = ColourArgs(&fake.c, &set);
    ASSERT_EQ(args.size(), 5u) << k.kind;
    const Arg *extra = Find(args, k.resource);
    ASSERT_NE(extra, nullptr) << k.kind;
    EXPECT_EQ(Pixel(extra->value), k.select_is_foreground ? set.foreground : select) << k.kind;
  }
  // Without a set the control's colour class gives the colours.
  args = ColourArgs(h->control, nullptr);
  EXPECT_EQ(args.size(), 4u);

  // A change of the window's colours reaches the widget and the screen.
  Widget w = W(h);
  ASSERT_EQ(wuwcwbg(h->control, &set), WU_OK);
  Pixel bg = 0, ts = 0, bs = 0;
  XtVaGetValues(w, XmNbackground, &bg, XmNtopShadowColor, &ts, XmNbottomShadowColor, &bs, nullptr);
  EXPECT_EQ(bg, set.background);
  EXPECT_EQ(ts, set.top_shadow);
  EXPECT_EQ(bs, set.bottom_shadow);
  Settle();
  EXPECT_EQ(qevtest::pixelAt(devb->display, XtWindow(w), w->core.width - 3, w->core.height / 2),
            set.background);
  // A stale control pointer takes no colours.
  wu_control *gone = h->control;
  h->services->wdes(h);
  EXPECT_EQ(wuwcwbg(gone, &set), WU_NOTAVAIL);
}

// ---- popup icons ------------------------------------------------------------------

TEST_F(ControlsInWindow, ShowPopupShowsTheCommandsIcons) {
  const int32_t kOpen = 37;
  qevhost::setCommandIcon(kOpen, 292);
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  auto meth = Slot<MethFn>(QEV_TABLE_METHODS, WUXP_SLOT_METH);
  ASSERT_NE(meth, nullptr);
  wu_str_item items[2] = {{4, 0, "Open"}, {5, 0, "Close"}};
  int32_t classifiers[2] = {kOpen, 0};
  wu_value p[6] = {};
  p[0].type = WU_VT_STRLIST;
  p[0].value = 2;
  p[0].pointer = items;
  p[1].type = WU_VT_INTLIST;
  p[2].type = WU_VT_INTLIST;
  p[2].value = 2;
  p[2].pointer = classifiers;
  p[3].type = WU_VT_STRLIST;
  p[4].type = WU_VT_INTLIST;
  p[5].type = WU_VT_INT;

  // The item of a command with an icon shows it in its left margin.
  const PopupClick open = ClickMenuItem(0, [&] { ASSERT_EQ(meth(h, WU_M_SHOWPOPUP, p, 6), WU_OK); });
  EXPECT_EQ(p[5].value, 1);
  EXPECT_NE(open.icon, Pixmap(XmUNSPECIFIED_PIXMAP));
  EXPECT_EQ(open.margin_left, 21);
  // The icon store's pixmap is given back with the menu.
  EXPECT_EQ(wutrpix(open.icon), 0);

  // An item without a command icon has none.
  const PopupClick close = ClickMenuItem(1, [&] { ASSERT_EQ(meth(h, WU_M_SHOWPOPUP, p, 6), WU_OK); });
  EXPECT_EQ(p[5].value, 2);
  EXPECT_EQ(close.icon, Pixmap(XmUNSPECIFIED_PIXMAP));

  // The preference that hides menu icons holds for the popup too.
  devb->prefs.suppress_menu_icons = True;
  const PopupClick plain = ClickMenuItem(0, [&] { ASSERT_EQ(meth(h, WU_M_SHOWPOPUP, p, 6), WU_OK); });
  EXPECT_EQ(plain.icon, Pixmap(XmUNSPECIFIED_PIXMAP));
  EXPECT_NE(plain.margin_left, 21);
  devb->prefs.suppress_menu_icons = False;
}

}  // namespace
