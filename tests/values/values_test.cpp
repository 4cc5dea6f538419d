// Sizes, types and values the host hands in: value entries of the wrong
// form, geometry beyond X's range, extreme counts, lengths and positions,
// replayed values, and the entry field's colours and scrolling.  Cases that
// crashed before run in a child process of their own.
#include "../controls/ctlfixture.h"

#include <climits>
#include <cmath>

#include "isolate.h"

namespace {

using qevtest::RunIsolated;

class Values : public Controls {};

wu_value Typed(int16_t code, int32_t type, int32_t value, void *pointer = nullptr) {
  wu_value v = {};
  v.code = code;
  v.type = type;
  v.value = value;
  v.pointer = pointer;
  return v;
}

wu_value Flag(int16_t code, int32_t on) { return Typed(code, WU_VT_BOOL, on); }

// In a child: a realised window of one pane with an entry field.
struct ChildWindow {
  wu_window *window = nullptr;
  wu_pane *pane = nullptr;
  wu_ctl_handle *handle = nullptr;
  ChildWindow() {
    EXPECT_EQ(wuxgwnd(&window, 1, 0), WU_OK);
    EXPECT_EQ(wuxgpan(window, &pane, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
    EXPECT_EQ(wuxiwnd(window), WU_OK);
    auto crea = Slot<CreaFn>(QEV_TABLE_WINDOW, WUX_SLOT_CREA);
    wu_value text = Text(WU_A_TEXT, "abcdef");
    EXPECT_EQ(crea(&handle, pane, nullptr, WU_CTYPE_ENTRY, &text, 1, HostProc), WU_OK);
  }
  ~ChildWindow() {
    wuxuwnd(window);
    wuxfwnd(window);
  }
};

// Runs a body on an entry field of its own, in a child process.
int WithEntryField(const std::function<void(ChildWindow &, wu_ctl_handle *)> &body) {
  return RunIsolated([&body] {
    ChildWindow cw;
    ASSERT_NE(cw.handle, nullptr);
    body(cw, cw.handle);
  });
}

// ---- value forms and X's range -------------------------------------------------

TEST_F(Values, EntriesOfTheWrongFormOrOutsideXAreRefusedAndTheRestApplied) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {Text(WU_A_TEXT, "abc")});
  const wu_ctl_services *s = h->services;
  Widget w = W(h);
  Position x0 = 0, y0 = 0;
  Dimension w0 = 0;
  XtVaGetValues(w, XmNx, &x0, XmNy, &y0, XmNwidth, &w0, nullptr);
  char font_name[] = "fixed";
  std::vector<wu_value> set = {
      Typed(WU_A_FONT, WU_VT_STRING, 5, font_name),  // a font given as a string
      Typed(WU_A_TEXT, WU_VT_INT, 7),                 // a text given as a number
      Typed(WU_A_EVENTS, WU_VT_STRING, 3, font_name), // a list given as a string
      Int(WU_A_WIDTH, 65536),                         // one past each limit
      Int(WU_A_HPOS, 32768),
      Int(WU_A_VPOS, -32769),
      Int(WU_A_HEIGHT, 30),                            // applied
      Flag(WU_A_UPPERCASE, 1),                         // applied
  };
  EXPECT_EQ(s->swat(h->control, set.data(), int32_t(set.size())), WU_ENTRY_STATUS);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(set[i].status, WU_E_RANGE) << "entry " << i;
  EXPECT_EQ(set[6].status, WU_OK);
  EXPECT_EQ(set[7].status, WU_OK);
  Position x = 0, y = 0;
  Dimension width = 0, height = 0;
  XtVaGetValues(w, XmNx, &x, XmNy, &y, XmNwidth, &width, XmNheight, &height, nullptr);
  EXPECT_EQ(x, x0);
  EXPECT_EQ(y, y0);
  EXPECT_EQ(width, w0);
  EXPECT_EQ(height, 30);
  EXPECT_EQ(WidgetText(w), "ABC");
  EXPECT_EQ(h->control->event_mask, 0x8114u);

  // The same checks hold on the window-interface slot and for the
  // geometry service, which answers the first refused entry's status.
  wu_value far = Int(WU_A_HPOS, INT_MIN);
  EXPECT_EQ(Slot<SetFn>(QEV_TABLE_WINDOW, WUX_SLOT_SWAT)(h->control, &far, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(far.status, WU_E_RANGE);
  EXPECT_EQ(s->sgeo(h, 32768, -1, -1, -1), WU_E_RANGE);
  EXPECT_EQ(s->sgeo(h, -1, -32769, -1, -1), WU_E_RANGE);
  EXPECT_EQ(s->sgeo(h, -1, -1, 65536, -1), WU_E_RANGE);
  EXPECT_EQ(s->sgeo(h, -1, -1, -1, 65536), WU_E_RANGE);
  EXPECT_EQ(s->sgeo(h, 32767, -32768, -1, -1), WU_OK);
  int32_t gx = 0, gy = 0;
  EXPECT_EQ(s->ggeo(h, &gx, &gy, nullptr, nullptr), WU_OK);
  EXPECT_EQ(gx, 32767);
  EXPECT_EQ(gy, -32768);
}

TEST_F(Values, NegativeEventAndKeyCountsAreRefusedAndKeepTheMasks) {
  std::vector<int32_t> events = {WU_EV_RETURNKEY, WU_EV_CLICK};
  std::vector<int32_t> keys = {WU_VK_HOME, WU_VK_END};
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {List(WU_A_EVENTS, events), List(WU_A_VIRTUALKEYS, keys)});
  const uint32_t mask = h->control->event_mask;
  const int16_t vkeys = h->control->vkey_mask;
  ASSERT_EQ(vkeys, (1 << WU_VK_HOME) | (1 << WU_VK_END));
  std::vector<wu_value> set = {List(WU_A_EVENTS, events), List(WU_A_VIRTUALKEYS, keys)};
  set[0].value = -1;
  set[1].value = INT_MIN;
  EXPECT_EQ(h->services->swat(h->control, set.data(), 2), WU_ENTRY_STATUS);
  EXPECT_EQ(set[0].status, WU_E_RANGE);
  EXPECT_EQ(set[1].status, WU_E_RANGE);
  EXPECT_EQ(h->control->event_mask, mask);
  EXPECT_EQ(h->control->vkey_mask, vkeys);
}

TEST_F(Values, AQueryStartsFromCleanStatusesAndAnswersInTheCataloguesTypes) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {Text(WU_A_TEXT, "kept")});
  const wu_ctl_services *s = h->services;
  // An array reused from an earlier call still holds its statuses.
  std::vector<wu_value> q = {Int(WU_A_HPOS, 0), Int(WU_A_ERRORON, 0), Int(WU_A_CURSORPOS, 0)};
  for (wu_value &v : q) v.status = WU_E_RANGE;
  EXPECT_EQ(s->qwat(h->control, q.data(), int32_t(q.size())), WU_OK);
  for (const wu_value &v : q) EXPECT_EQ(v.status, WU_OK);
  // A zeroed entry asks for the text: the answer carries the string type,
  // and the clean-up gives it back by that type.
  wu_value t = {};
  t.code = WU_A_TEXT;
  t.type = WU_VT_FONT;
  EXPECT_EQ(s->qwat(h->control, &t, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(t.status, WU_ALLOCATED);
  EXPECT_EQ(t.type, WU_VT_STRING);
  EXPECT_EQ(std::string(static_cast<char *>(t.pointer), size_t(t.value)), "kept");
  EXPECT_EQ(s->clen(h, &t, 1), WU_OK);
  EXPECT_EQ(t.status, WU_OK);
}

// ---- the entry field's error colour and the text widgets' scrolling ---------------

TEST_F(Values, TheErrorColourWinsOverTheTextColourWhileItIsOn) {
  uint16_t green[3] = {0, 0xffff, 0};
  uint16_t blue[3] = {0, 0, 0xffff};
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {Typed(WU_A_FOREGROUND, WU_VT_WORD, 1, green)});
  const wu_ctl_services *s = h->services;
  Widget w = W(h);
  auto fg = [w] {
    Pixel p = 0;
    XtVaGetValues(w, XmNforeground, &p, nullptr);
    return p;
  };
  ASSERT_NE(h->control->foreground, nullptr);
  const Pixel green_px = h->control->foreground->pixel;
  EXPECT_EQ(fg(), green_px);
  wu_value on = Flag(WU_A_ERRORON, 1);
  EXPECT_EQ(s->swat(h->control, &on, 1), WU_OK);
  EXPECT_EQ(fg(), devb->red_foreground);
  EXPECT_NE(devb->red_foreground, green_px);
  // A new text colour while the error shows is kept for later.
  wu_value colour = Typed(WU_A_FOREGROUND, WU_VT_WORD, 1, blue);
  EXPECT_EQ(s->swat(h->control, &colour, 1), WU_OK);
  EXPECT_EQ(fg(), devb->red_foreground);
  wu_value off = Flag(WU_A_ERRORON, 0);
  EXPECT_EQ(s->swat(h->control, &off, 1), WU_OK);
  EXPECT_EQ(fg(), Pixel(h->control->foreground->pixel));
  EXPECT_NE(fg(), devb->red_foreground);
  // A field built with the error on shows it at once.
  wu_ctl_handle *h2 = Create(WU_CTYPE_ENTRY, {Typed(WU_A_FOREGROUND, WU_VT_WORD, 1, green),
                                              Flag(WU_A_ERRORON, 1)});
  Pixel p2 = 0;
  XtVaGetValues(W(h2), XmNforeground, &p2, nullptr);
  EXPECT_EQ(p2, devb->red_foreground);
}

TEST_F(Values, TheHorizontalScrollingSwitchDecidesWrappingOfALiveText) {
  Arg args[6];
  Cardinal n = 0;
  XtSetArg(args[n], XmNeditMode, XmMULTI_LINE_EDIT); ++n;
  XtSetArg(args[n], XmNwordWrap, True); ++n;
  XtSetArg(args[n], XmNscrollHorizontal, True); ++n;
  XtSetArg(args[n], XmNcolumns, 8); ++n;
  XtSetArg(args[n], XmNrows, 6); ++n;
  Widget text = XmCreateScrolledText(pane_->ext->widget, const_cast<char *>("wrapText"), args, n);
  XtManageChild(text);
  Settle();
  auto lines = [text](const char *value) {
    XmTextSetString(text, const_cast<char *>(value));
    int total = 0;
    XtVaGetValues(text, XmNtotalLines, &total, nullptr);
    return total;
  };
  const char *words = "alpha beta gamma delta epsilon";
  EXPECT_EQ(lines(words), 1);  // scrolls sideways: one long line
  Kludge_XmText_scrollHorizontal(text, False);
  EXPECT_GT(lines(words), 2);  // now wraps at the words
  Kludge_XmText_scrollHorizontal(text, True);
  EXPECT_EQ(lines(words), 1);
  Kludge_XmText_scrollHorizontal(nullptr, True);       // nothing to do
  Kludge_XmText_scrollHorizontal(pane_->ext->widget, True);  // not a text: left alone
  XtDestroyWidget(XtParent(text));
}

// ---- replay goes through the host's checks ------------------------------------------

TEST_F(Values, ReplayedTextFollowsTheFieldsRules) {
  std::vector<int32_t> events = {WU_EV_VALUECHANGED};
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {List(WU_A_EVENTS, events), Text(WU_A_TEXT, "12"),
                                             Flag(WU_A_NUMKEYS, 1)});
  Widget w = W(h);
  Events();
  wu_batch_event rec = {};
  rec.code = WU_EV_VALUECHANGED;
  rec.sent = 1;
  wu_rec_set_text(&rec, "12ab", 4);
  // Letters in a numeric field: refused, nothing changes, nothing is sent.
  EXPECT_EQ(h->services->rbat(h, &rec), WU_E_RANGE);
  EXPECT_EQ(WidgetText(w), "12");
  EXPECT_TRUE(Codes().empty());
  wu_rec_set_text(&rec, "345", 3);
  EXPECT_EQ(h->services->rbat(h, &rec), WU_OK);
  EXPECT_EQ(WidgetText(w), "345");
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_VALUECHANGED});

  // The mask applies as it does to the host's text; the length limit
  // holds; a recording with a negative length is refused.
  std::vector<wu_value> rules = {Flag(WU_A_NUMKEYS, 0), Flag(WU_A_UPPERCASE, 1),
                                 Typed(WU_A_MASKCHAR, WU_VT_CHAR, '*'), Int(WU_A_MAXCHARS, 4)};
  ASSERT_EQ(h->services->swat(h->control, rules.data(), int32_t(rules.size())), WU_OK);
  wu_rec_set_text(&rec, "abc", 3);
  EXPECT_EQ(h->services->rbat(h, &rec), WU_OK);
  EXPECT_EQ(WidgetText(w), "***");
  wu_value q = Int(WU_A_TEXT, 0);
  h->services->qwat(h->control, &q, 1);
  EXPECT_EQ(std::string(static_cast<char *>(q.pointer), size_t(q.value)), "abc");
  h->services->clen(h, &q, 1);
  wu_rec_set_text(&rec, "toolong", 7);
  EXPECT_EQ(h->services->rbat(h, &rec), WU_E_RANGE);
  wu_rec_set_text(&rec, "x", -5);
  EXPECT_EQ(h->services->rbat(h, &rec), WU_E_RANGE);
  EXPECT_EQ(WidgetText(w), "***");
}

TEST(ValuesIsolated, AReplayedModifierThatIsNoIntegerIsRefused) {
  EXPECT_EQ(WithEntryField([](ChildWindow &cw, wu_ctl_handle *h) {
              wu_batch_event rec = {};
              rec.code = WU_EV_PREVIRTUALKEY;
              rec.sent = 1;
              rec.value1 = WU_VK_HOME;
              rec.value3 = 1;
              const double bad[] = {1e300, -1e300, 2147483648.0, std::nan("")};
              for (double d : bad) {
                rec.value2 = d;
                EXPECT_EQ(h->services->rbat(h, &rec), WU_E_RANGE) << d;
              }
              qevhost::PostedEvent e;
              EXPECT_FALSE(qevhost::nextEvent(cw.window->event_task, &e));
              rec.value2 = 2.0;
              EXPECT_EQ(h->services->rbat(h, &rec), WU_OK);
              ASSERT_TRUE(qevhost::nextEvent(cw.window->event_task, &e));
              ASSERT_EQ(e.params.size(), 3 * sizeof(wu_value));
              wu_value p[3];
              std::memcpy(p, e.params.data(), sizeof p);
              EXPECT_EQ(p[0].value, WU_VK_HOME);
              EXPECT_EQ(p[1].value, 2);
              EXPECT_EQ(p[2].value, 1);
            }),
            0);
}

TEST_F(Values, ComboAndSpinBoxesRefuseAReplayedModifierThatIsNoInteger) {
  for (int32_t type : {WU_CTYPE_COMBO, WU_CTYPE_SPIN}) {
    wu_ctl_handle *h = Create(type);
    wu_batch_event rec = {};
    rec.code = WU_EV_PREVIRTUALKEY;
    rec.sent = 1;
    rec.value1 = WU_VK_HOME;
    rec.value3 = 1;
    for (double d : {1e300, -1e300, 2147483648.0, std::nan("")}) {
      rec.value2 = d;
      EXPECT_EQ(h->services->rbat(h, &rec), WU_E_RANGE) << "type " << type << " modifiers " << d;
    }
    rec.value2 = 2.0;
    EXPECT_EQ(h->services->rbat(h, &rec), WU_OK) << "type " << type;
  }
}

// ---- extreme counts, lengths and positions ---------------------------------------------

TEST(ValuesIsolated, MarksTakeTheExtremesOfAnInteger) {
  EXPECT_EQ(WithEntryField([](ChildWindow &, wu_ctl_handle *h) {
              wu_value m[2] = {Int(0, INT_MIN), Int(1, INT_MIN)};
              EXPECT_EQ(h->services->meth(h, WU_M_SETMARK, m, 2), WU_ENTRY_STATUS);
              EXPECT_EQ(m[0].status, WU_E_RANGE);
              EXPECT_EQ(m[1].status, WU_E_RANGE);
              wu_value whole[2] = {Int(0, 2), Int(1, INT_MAX)};
              EXPECT_EQ(h->services->meth(h, WU_M_SETMARK, whole, 2), WU_OK);
              wu_value got[2] = {Int(0, 0), Int(1, 0)};
              EXPECT_EQ(h->services->meth(h, WU_M_GETMARK, got, 2), WU_OK);
              EXPECT_EQ(got[0].value, 2);
              EXPECT_EQ(got[1].value, 7);  // "abcdef": to the end
              wu_value cur = Int(0, INT_MIN);
              EXPECT_EQ(h->services->meth(h, WU_M_SETCURSORPOS, &cur, 1), WU_NOTAVAIL);
              EXPECT_EQ(cur.status, WU_E_RANGE);
              cur = Int(0, INT_MAX);
              EXPECT_EQ(h->services->meth(h, WU_M_SETCURSORPOS, &cur, 1), WU_OK);
            }),
            0);
}

TEST(ValuesIsolated, TextsAndListsOfUnbelievableLengthAreRefused) {
  EXPECT_EQ(WithEntryField([](ChildWindow &, wu_ctl_handle *h) {
              char small[] = "abc";
              int32_t codes[1] = {WU_EV_CLICK};
              std::vector<wu_value> set = {Typed(WU_A_TEXT, WU_VT_STRING, INT_MAX, small),
                                           Typed(WU_A_TOOLTIP, WU_VT_STRING, INT_MAX, small),
                                           Typed(WU_A_EVENTS, WU_VT_INTLIST, INT_MAX, codes),
                                           Typed(WU_A_TEXT, WU_VT_STRING, 3, nullptr),
                                           Typed(WU_A_TOOLTIP, WU_VT_STRING, 3, small)};
              EXPECT_EQ(h->services->swat(h->control, set.data(), int32_t(set.size())),
                        WU_ENTRY_STATUS);
              for (int i = 0; i < 4; ++i) EXPECT_EQ(set[i].status, WU_E_RANGE) << i;
              EXPECT_EQ(set[4].status, WU_OK);
              ASSERT_NE(h->control->tip, nullptr);
              EXPECT_STREQ(h->control->tip, "abc");
              char *text = XmTextGetString(wuwgxtw(h->control));
              EXPECT_STREQ(text, "abcdef");
              XtFree(text);
            }),
            0);
}

TEST(ValuesIsolated, DropSiteListsOfUnbelievableLengthAreRefused) {
  EXPECT_EQ(WithEntryField([](ChildWindow &, wu_ctl_handle *h) {
              char name[] = "_TEXT";
              wu_dnd_text one[1] = {{5, 0, name}};
              wu_value in = Typed(WU_DND_A_FORMATS, WU_VT_STRLIST, 1, one);
              void *site = nullptr;
              ASSERT_EQ(h->services->rdnd(h, &site, &in, reinterpret_cast<void *>(intptr_t(1))),
                        WU_OK);
              auto *ds = static_cast<wu_dnd_site *>(site);
              ASSERT_EQ(ds->format_count, 1);
              one[0].length = INT_MAX;
              wu_value items = Typed(WU_DND_A_ITEMS, WU_VT_STRLIST, 1, one);
              wu_value many = Typed(WU_DND_A_FORMATS, WU_VT_STRLIST, INT_MAX, one);
              wu_value bad[3] = {in, items, many};
              EXPECT_EQ(h->services->sdnd(h, nullptr, bad, reinterpret_cast<void *>(intptr_t(3))),
                        WU_ENTRY_STATUS);
              for (const wu_value &v : bad) EXPECT_EQ(v.status, WU_E_RANGE);
              EXPECT_EQ(ds->format_count, 1);
              EXPECT_EQ(ds->items.count, 0);
            }),
            0);
}

TEST(ValuesIsolated, APopupOfMoreItemsThanASizeHoldsIsRefused) {
  EXPECT_EQ(WithEntryField([](ChildWindow &cw, wu_ctl_handle *h) {
              wu_str_item items[2] = {{1, 0, "A"}, {1, 0, "B"}};
              wu_value p[6] = {};
              p[0].code = 0;
              p[0].type = WU_VT_STRLIST;
              p[0].value = 107374183;  // 32-bit products of this wrap to 24 bytes
              p[0].pointer = items;
              p[1].type = WU_VT_INTLIST;
              p[5].type = WU_VT_INT;
              const qevhost::PoolStats before = qevhost::poolStats(cw.window->pool);
              EXPECT_EQ(h->services->meth(h, WU_M_SHOWPOPUP, p, 6), WU_ENTRY_STATUS);
              EXPECT_EQ(p[0].status, WU_E_RANGE);
              p[0].value = INT_MAX;
              p[0].status = WU_OK;
              EXPECT_EQ(h->services->meth(h, WU_M_SHOWPOPUP, p, 6), WU_ENTRY_STATUS);
              EXPECT_EQ(p[0].status, WU_E_RANGE);
              // An older control, which has no catalogue rows, reaches the
              // popup's own size check.
              int32_t lo = 0, hi = 10, at = 0;
              wu_bar *bar = nullptr;
              ASSERT_EQ(wuxgbar(cw.pane, &bar, 1, 0, 0, &lo, &hi, &at, 1, 70, 5, 0, 0), WU_OK);
              wu_ctl_handle *older = wu_ctl_handle_for(&bar->common);
              ASSERT_NE(older, nullptr);
              const qevhost::PoolStats mid = qevhost::poolStats(cw.window->pool);
              p[0].value = 107374183;
              p[0].status = WU_OK;
              EXPECT_EQ(older->services->meth(older, WU_M_SHOWPOPUP, p, 6), WU_ENTRY_STATUS);
              EXPECT_EQ(p[0].status, WU_E_RANGE);
              const qevhost::PoolStats after = qevhost::poolStats(cw.window->pool);
              EXPECT_EQ(after.liveBlocks, mid.liveBlocks);
              EXPECT_EQ(after.liveBytes, mid.liveBytes);
              EXPECT_EQ(after.errors, 0);
              EXPECT_GE(mid.liveBlocks, before.liveBlocks);
            }),
            0);
}

TEST_F(Values, MethodInputsOfTheWrongFormNeverReachTheMethod) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {Text(WU_A_TEXT, "abcdef")});
  auto meth = Slot<MethFn>(QEV_TABLE_METHODS, WUXP_SLOT_METH);
  // Popup items given as integers: the popup is not shown.
  int32_t numbers[2] = {1, 2};
  wu_value p[6] = {};
  p[0] = Typed(0, WU_VT_INTLIST, 2, numbers);
  p[5].type = WU_VT_INT;
  EXPECT_EQ(meth(h, WU_M_SHOWPOPUP, p, 6), WU_ENTRY_STATUS);
  EXPECT_EQ(p[0].status, WU_E_RANGE);
  // A mark given as a text is refused; the selection stays as it was.
  char text[] = "2";
  wu_value m[2] = {Typed(0, WU_VT_STRING, 1, text), Int(1, 4)};
  EXPECT_EQ(meth(h, WU_M_SETMARK, m, 2), WU_ENTRY_STATUS);
  EXPECT_EQ(m[0].status, WU_E_RANGE);
  XmTextPosition left = 0, right = 0;
  EXPECT_FALSE(XmTextGetSelectionPosition(W(h), &left, &right));
  // Outputs are written, whatever the host left in them.
  wu_value got[2] = {Typed(0, WU_VT_STRING, 0), Typed(1, WU_VT_STRING, 0)};
  EXPECT_EQ(meth(h, WU_M_GETMARK, got, 2), WU_OK);
}

TEST(ValuesIsolated, CommandsPanesAndFieldsBeyondTheirLimitsAreRefused) {
  EXPECT_EQ(RunIsolated([] {
              wu_window *w = nullptr;
              ASSERT_EQ(wuxgwnd(&w, 1, 0), WU_OK);
              char text[] = "x";
              EXPECT_EQ(wuxqcmd(w, text, INT_MAX, 1, 1, 0), WU_BADARG);
              EXPECT_EQ(wuxqcmd(w, text, WU_COMMAND_MAX + 1, 0, 1, 0), WU_BADARG);
              EXPECT_EQ(wutdqev(w), nullptr);  // nothing was queued
              EXPECT_EQ(wuxqcmd(w, text, 1, 1, 1, 0), WU_OK);
              wu_event *e = wutdqev(w);
              ASSERT_NE(e, nullptr);
              EXPECT_EQ(e->text_length, 1);
              wutrlev(e);

              wu_pane *p = nullptr;
              ASSERT_EQ(wuxgpan(w, &p, 1, 1, 4, WU_FULL_WIDTH, 0), WU_OK);
              wu_field *f = nullptr;
              EXPECT_EQ(wuxgfld(p, &f, 1, 1, INT_MAX, 0, 0), WU_BADARG);
              EXPECT_EQ(wuxgfld(p, &f, 1, INT_MAX, 2, 0, 0), WU_BADARG);
              EXPECT_EQ(f, nullptr);
              EXPECT_EQ(p->fields, nullptr);
              ASSERT_EQ(wuxgfld(p, &f, 1, 1, 8, 0, 0), WU_OK);
              EXPECT_EQ(f->length, 8);
              ASSERT_EQ(wuxfwnd(w), WU_OK);
              ASSERT_EQ(wuxgwnd(&w, 1, 0), WU_OK);
              p = nullptr;
              EXPECT_EQ(wuxgpan(w, &p, 1, 1, INT_MAX, WU_FULL_WIDTH, 0), WU_BADARG);
              EXPECT_EQ(p, nullptr);
              EXPECT_EQ(wuxgpan(w, &p, INT_MAX, 1, 2, WU_FULL_WIDTH, 0), WU_BADARG);
              EXPECT_EQ(wuxgpan(w, &p, 1, 1, 2, INT_MAX, 0), WU_BADARG);
              EXPECT_EQ(w->panes, nullptr);
              // A pane the host grows past X's range after making it is laid
              // out clamped.
              ASSERT_EQ(wuxgpan(w, &p, 1, 1, 5, WU_FULL_WIDTH, 0), WU_OK);
              p->rows = INT_MAX;
              EXPECT_EQ(wuxiwnd(w), WU_OK);
              ASSERT_NE(p->ext->widget, nullptr);
              Dimension height = 0;
              XtVaGetValues(static_cast<Widget>(p->ext->widget), XmNheight, &height, nullptr);
              EXPECT_GT(height, 0);
              // The cursor goes to the far corner of what a pane can hold,
              // and back, with the origin following.
              p->rows = 5;
              EXPECT_EQ(wuxmcrs(w, p, INT_MAX, INT_MAX), WU_OK);
              EXPECT_EQ(p->cursor_row, INT_MAX);
              EXPECT_GT(p->top_row, 1);
              p->top_row = INT_MAX;
              EXPECT_EQ(wuxmcrs(w, p, INT_MAX - 1, 1), WU_OK);
              EXPECT_EQ(p->top_row, INT_MAX - 1);
              EXPECT_EQ(wuxmcrs(w, p, 1, 1), WU_OK);
              EXPECT_EQ(p->top_row, 1);
              wuxuwnd(w);
              wuxfwnd(w);
            }),
            0);
}

// ---- show, hide and gray answer for what they were given ------------------------------

TEST_F(Values, ShowAndGrayStateAnswerOnlyForWhatIsThere) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  const wu_ctl_services *s = h->services;
  Widget w = W(h);
  EXPECT_EQ(s->hwid(h->control, 77), WU_E_RANGE);
  EXPECT_TRUE(XtIsManaged(w));
  EXPECT_EQ(s->hwid(h->control, -1), WU_E_RANGE);
  EXPECT_EQ(s->hwid(h->control, 0), WU_OK);
  EXPECT_FALSE(XtIsManaged(w));
  // "visible" is a boolean: any non-zero low half shows the control.
  wu_value visible = Flag(WU_A_VISIBLE, 2);
  EXPECT_EQ(s->swat(h->control, &visible, 1), WU_OK);
  EXPECT_TRUE(XtIsManaged(w));
  EXPECT_EQ(s->grst(h->control), 0);
  EXPECT_EQ(s->grwd(h->control, 1), WU_OK);
  EXPECT_EQ(s->grst(h->control), 1);
  EXPECT_EQ(Slot<FwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_GRST)(h->control), 1);
  // A released control and no control at all have no gray state.
  wu_control *c = h->control;
  ASSERT_EQ(Slot<FwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_FWID)(c), WU_OK);
  EXPECT_EQ(Slot<FwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_GRST)(c), WU_NOTAVAIL);
  EXPECT_EQ(Slot<FwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_GRST)(nullptr), WU_NOTAVAIL);
  wuxuwnd(window_);
}

TEST(ValuesIsolated, OlderBarsOutsideXAreRefused) {
  EXPECT_EQ(WithEntryField([](ChildWindow &cw, wu_ctl_handle *) {
              wu_bar *bar = nullptr;
              const struct {
                int32_t orientation, row, column, length;
              } outside[] = {{1, INT_MAX, 1, 5}, {1, 1, INT_MAX, 5}, {1, 1, 1, INT_MAX},
                             {0, 1, 1, INT_MAX}, {0, 0, 1, 5}, {0, 1, INT_MIN, 5}};
              for (const auto &o : outside) {
                EXPECT_EQ(wuxgbar(cw.pane, &bar, o.orientation, 0, 0, nullptr, nullptr, nullptr,
                                  o.row, o.column, o.length, 0, 0),
                          WU_BADARG)
                    << o.row << " " << o.column << " " << o.length;
                EXPECT_EQ(bar, nullptr);
              }
              ASSERT_EQ(wuxgbar(cw.pane, &bar, 1, 0, 0, nullptr, nullptr, nullptr, 2, 60, 4, 0, 0),
                        WU_OK);
              Dimension height = 0;
              XtVaGetValues(static_cast<Widget>(bar->widget), XmNheight, &height, nullptr);
              EXPECT_EQ(height, 4 * devb->cell_height);
            }),
            0);
}

// ---- cell rectangles of size kinds -----------------------------------------------------

TEST_F(Values, SizeKindsOfNoControlFollowTheDisplay) {
  int32_t rect[4] = {};
  ASSERT_EQ(wuxgwsz(rect, 13, nullptr), WU_OK);
  Screen *screen = ScreenOfDisplay(devb->display, devb->screen);
  EXPECT_EQ(rect[0], 1);
  EXPECT_EQ(rect[1], 1);
  EXPECT_EQ(rect[2], HeightOfScreen(screen) / devb->cell_height);
  EXPECT_EQ(rect[3], WidthOfScreen(screen) / devb->cell_width);
  for (int32_t kind : {0, 1, 4, 99, -1, INT_MAX}) {
    EXPECT_EQ(wuxgwsz(rect, kind, nullptr), WU_BADARG) << kind;
    EXPECT_EQ(rect[2], -1);
  }
  EXPECT_EQ(wuxgwsz(rect, 14, nullptr), WU_OK);
  EXPECT_EQ(rect[2], 10);
}

// ---- a pane's own scroll bar --------------------------------------------------------------

TEST_F(Values, ReleasingAPanesScrollBarGivesItsSpaceBackAndTellsTheHost) {
  Widget pw = static_cast<Widget>(pane_->ext->widget);
  Dimension full = 0;
  XtVaGetValues(pw, XmNwidth, &full, nullptr);
  // The window layer's vertical bar of the pane, taking a bar's width.
  auto *bar = static_cast<wu_control *>(wutgmem(window_->pool, WU_MT_PANE_VBAR));
  ASSERT_NE(bar, nullptr);
  bar->kind = WU_MT_PANE_VBAR;
  bar->pane = pane_;
  wu_ctl_link(bar);
  pane_->ext->vbar = bar;
  XtVaSetValues(pw, XmNrightAttachment, XmATTACH_NONE, XmNwidth, Dimension(full - 16), nullptr);
  Settle();
  Queued();
  auto fwid = Slot<FwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_FWID);
  ASSERT_EQ(fwid(bar), WU_OK);
  EXPECT_EQ(pane_->ext->vbar, nullptr);
  Settle();
  Dimension now = 0;
  XtVaGetValues(pw, XmNwidth, &now, nullptr);
  EXPECT_EQ(now, full);
  EXPECT_EQ(Queued(), std::vector<int32_t>{WU_EV_BAR_RELEASED});
  wuxuwnd(window_);
  EXPECT_EQ(pane_->ext->release, nullptr);
}

}  // namespace
