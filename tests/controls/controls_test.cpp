// Catalogue controls on a private X server, driven as the host drives them:
// through the window-interface slots and the control services vector, with
// input as synthetic X events and through XTest; what the host sees is read
// back from the stand-in host (posted records, recordings, method calls),
// the module event queue and the widgets.
#include "ctlfixture.h"

namespace {

// ---- the catalogue -------------------------------------------------------

TEST_F(Controls, CatalogueIsExportedDataAndMapsFollowTheDisplayFont) {
  void *so = dlopen(QEV_MODULE_PATH, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(so, nullptr);
  auto *types = static_cast<const wu_cat_type *>(dlsym(so, "controls"));
  auto *attrs = static_cast<const wu_cat_attr *>(dlsym(so, "efdattrs"));
  auto *popup = static_cast<const wu_cat_parm *>(dlsym(so, "pstmenu"));
  ASSERT_NE(types, nullptr);
  ASSERT_NE(attrs, nullptr);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(types[1].type, WU_CTYPE_ENTRY);
  EXPECT_EQ(types[18].type, WU_CTYPE_HOST_6);
  EXPECT_EQ(std::string(attrs[19].name, size_t(attrs[19].name_len)), "maskCharacter");
  EXPECT_STREQ(attrs[19].name, "maskCharacter");
  EXPECT_STREQ(popup[5].name, "selectedItem");
  dlclose(so);

  const wu_cat_type *table = nullptr;
  int32_t rows = 0;
  ASSERT_EQ(Slot<GextFn>(QEV_TABLE_WINDOW, WUX_SLOT_GEXT)(&table, &rows), WU_OK);
  EXPECT_EQ(table, types);
  EXPECT_EQ(rows, 19);

  auto gmap = Slot<GmapFn>(QEV_TABLE_WINDOW, WUX_SLOT_GMAP);
  wu_cat_map *map = nullptr, *again = nullptr;
  ASSERT_EQ(gmap(WU_CTYPE_ENTRY, &map, nullptr, 0), WU_OK);
  const int32_t cw = devb->char_width;
  const int32_t fh = devb->font->max_bounds.ascent + devb->font->max_bounds.descent;
  EXPECT_EQ(map->type, &types[1]);
  EXPECT_EQ(map->attr_count, 28);
  EXPECT_EQ(map->event_count, 8);
  EXPECT_EQ(map->width, 21 * cw);
  EXPECT_EQ(map->height, fh + 4);
  ASSERT_EQ(gmap(WU_CTYPE_ENTRY, &again, nullptr, 0), WU_OK);
  EXPECT_EQ(again, map);

  wu_value upright = Int(WU_A_ORIENTATION, 1);
  ASSERT_EQ(gmap(WU_CTYPE_SCROLL, &map, &upright, 1), WU_OK);
  EXPECT_EQ(map->width, 14);
  EXPECT_EQ(map->height, 21 * cw);
  ASSERT_EQ(gmap(WU_CTYPE_SCROLL, &map, nullptr, 0), WU_OK);
  EXPECT_EQ(map->width, 21 * cw);

  for (int32_t bad : {14, 0x1fff, -1}) EXPECT_EQ(gmap(bad, &map, nullptr, 0), WU_NOTAVAIL) << bad;
  static int32_t hostMap = 7;
  qevhost::setHostControlMap(WU_CTYPE_HOST_1, &hostMap);
  ASSERT_EQ(gmap(WU_CTYPE_HOST_1, &map, nullptr, 0), WU_OK);
  EXPECT_EQ(static_cast<void *>(map), &hostMap);
}

// ---- creation, ids and lookups --------------------------------------------

TEST_F(Controls, CreationGivesHandlesIdsMasksAndDefaultSizes) {
  wu_ctl_handle *a = Create(WU_CTYPE_ENTRY);
  wu_ctl_handle *b = Create(WU_CTYPE_ENTRY);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->type, WU_CTYPE_ENTRY);
  EXPECT_EQ(a->services, wu_module()->services);
  EXPECT_EQ(a->control->event_mask, 0x8114u);
  EXPECT_EQ(b->control->id, a->control->id + 1);
  EXPECT_EQ(a->control->width, 21 * devb->char_width);
  ASSERT_NE(W(a), nullptr);
  EXPECT_TRUE(XmIsText(W(a)));

  auto cnti = Slot<CntiFn>(QEV_TABLE_WINDOW, WUX_SLOT_CNTI);
  auto icnt = Slot<IcntFn>(QEV_TABLE_WINDOW, WUX_SLOT_ICNT);
  EXPECT_EQ(cnti(b), b->control->id);
  EXPECT_EQ(icnt(window_, a->control->id), a);
  EXPECT_EQ(icnt(window_, 999), nullptr);
  EXPECT_EQ(cnti(nullptr), -1);

  wu_ctl_handle **handles = nullptr;
  int32_t n = 0;
  ASSERT_EQ(Slot<CordFn>(QEV_TABLE_WINDOW, WUX_SLOT_CORD)(window_, pane_, &handles, &n), WU_OK);
  ASSERT_EQ(n, 2);
  EXPECT_EQ(handles[0], a);
  EXPECT_EQ(handles[1], b);
  EXPECT_EQ(Slot<FcorFn>(QEV_TABLE_WINDOW, WUX_SLOT_FCOR)(window_, handles), WU_OK);
  EXPECT_EQ(Slot<FcorFn>(QEV_TABLE_WINDOW, WUX_SLOT_FCOR)(window_, handles), WU_NOTAVAIL);

  // Unknown types are refused before anything happens; host types go to the host.
  wu_ctl_handle *h = a;
  EXPECT_EQ(crea_(&h, pane_, nullptr, 20, nullptr, 0, nullptr), WU_UNSUPPORTED);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(window_->next_control_id, b->control->id);
  EXPECT_EQ(crea_(&h, pane_, nullptr, -3, nullptr, 0, nullptr), WU_UNSUPPORTED);
  ASSERT_EQ(crea_(&h, pane_, nullptr, WU_CTYPE_HOST_2, nullptr, 0, nullptr), WU_OK);
  EXPECT_NE(h, nullptr);
  EXPECT_EQ(crea_(&h, nullptr, nullptr, WU_CTYPE_ENTRY, nullptr, 0, nullptr), WU_NOTAVAIL);
}

// ---- attribute set and query ----------------------------------------------

TEST_F(Controls, SetAndQueryCarryPerEntryStatuses) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  const wu_ctl_services *s = h->services;
  std::vector<int32_t> events = {17, 3};
  std::vector<int32_t> keys = {2, 11, 5};
  std::vector<wu_value> set = {Int(WU_A_CLASSTYPE, 4), Int(WU_A_WIDTH, 120),
                               List(WU_A_EVENTS, events), List(WU_A_VIRTUALKEYS, keys),
                               Text(WU_A_TEXT, "hello"), Int(999, 1)};
  set[3].type = WU_VT_INTLIST;
  EXPECT_EQ(s->swat(h->control, set.data(), int32_t(set.size())), WU_ENTRY_STATUS);
  EXPECT_EQ(set[0].status, WU_E_SIZE_FIXED);
  EXPECT_EQ(set[1].status, WU_OK);
  EXPECT_EQ(set[2].status, WU_OK);
  EXPECT_EQ(set[3].status, WU_E_RANGE);
  EXPECT_EQ(set[4].status, WU_OK);
  EXPECT_EQ(set[5].status, WU_E_NOT_HANDLED);
  EXPECT_EQ(h->control->event_mask, 0xffffffffu);
  EXPECT_EQ(h->control->vkey_mask, (1 << 2) | (1 << 5));
  Dimension width = 0;
  XtVaGetValues(W(h), XmNwidth, &width, nullptr);
  EXPECT_EQ(width, 120);
  EXPECT_EQ(WidgetText(W(h)), "hello");

  std::vector<wu_value> q = {Int(WU_A_EVENTS, 0), Int(WU_A_VIRTUALKEYS, 0), Int(WU_A_TEXT, 0),
                             Int(WU_A_FONT, 0), Int(WU_A_CLASSTYPE, 0), Int(WU_A_CONTROLID, 0),
                             Int(WU_A_FOREGROUND, 0)};
  EXPECT_EQ(s->qwat(h->control, q.data(), int32_t(q.size())), WU_ENTRY_STATUS);
  ASSERT_EQ(q[0].value, 8);  // every event of the entry field, in catalogue order
  EXPECT_EQ(static_cast<int32_t *>(q[0].pointer)[0], efdevent[0].code);
  EXPECT_EQ(q[1].status, WU_ALLOCATED);
  ASSERT_EQ(q[1].value, 2);
  EXPECT_EQ(static_cast<int32_t *>(q[1].pointer)[1], 5);
  EXPECT_EQ(q[2].status, WU_ALLOCATED);
  EXPECT_EQ(std::string(static_cast<char *>(q[2].pointer), size_t(q[2].value)), "hello");
  EXPECT_EQ(q[3].status, WU_E_NO_PART);
  EXPECT_EQ(q[4].value, WU_CTYPE_ENTRY);
  EXPECT_EQ(q[5].value, h->control->id);
  EXPECT_EQ(q[6].status, WU_OK);
  EXPECT_EQ(q[6].value, 0);
  // The clean-up gives everything back and clears the marks.
  EXPECT_EQ(s->clen(h, q.data(), int32_t(q.size())), WU_OK);
  for (const wu_value &v : q) EXPECT_NE(v.status, WU_ALLOCATED);

  // Colours: a new colour shows; the default returns the dialog colours.
  uint16_t red[3] = {0xffff, 0, 0};
  wu_value fg = {};
  fg.code = WU_A_FOREGROUND;
  fg.type = WU_VT_WORD;
  fg.value = 1;
  fg.pointer = red;
  EXPECT_EQ(s->swat(h->control, &fg, 1), WU_OK);
  ASSERT_NE(h->control->foreground, nullptr);
  Pixel px = 0;
  XtVaGetValues(W(h), XmNforeground, &px, nullptr);
  EXPECT_EQ(px, h->control->foreground->pixel);
  wu_value back = Int(WU_A_FOREGROUND, 0);
  ASSERT_EQ(s->qwat(h->control, &back, 1), WU_ENTRY_STATUS);
  ASSERT_EQ(back.status, WU_ALLOCATED);
  EXPECT_EQ(static_cast<uint16_t *>(back.pointer)[0], 0xffff);
  s->clen(h, &back, 1);
  wu_value dflt = Int(WU_A_FOREGROUND, 0);
  dflt.type = WU_VT_WORD;
  EXPECT_EQ(s->swat(h->control, &dflt, 1), WU_OK);
  EXPECT_EQ(h->control->foreground, nullptr);

  // Geometry through the services vector; a list without storage is refused.
  int32_t x = -1, y = -1, w = -1, ht = -1;
  EXPECT_EQ(s->sgeo(h, 10, 20, -1, -1), WU_OK);
  EXPECT_EQ(s->ggeo(h, &x, &y, &w, &ht), WU_OK);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);
  EXPECT_EQ(w, 120);
  wu_value broken = Int(WU_A_EVENTS, 3);
  EXPECT_EQ(s->swat(h->control, &broken, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(broken.status, WU_E_RANGE);
}

// ---- events ----------------------------------------------------------------

TEST_F(Controls, ClicksDoubleClicksAndPopupsArePostedToTheHost) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  Widget w = W(h);
  Events();
  Queued();
  ASSERT_TRUE(DoubleClick(w, 5000));
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].code, WU_EV_CLICK);
  EXPECT_EQ(ev[0].record.handle, h);
  EXPECT_EQ(ev[0].record.pane, pane_);
  EXPECT_EQ(ev[1].code, WU_EV_DOUBLECLICK);
  std::vector<int32_t> q = Queued();
  EXPECT_EQ(std::count(q.begin(), q.end(), WU_EV_CTL_POSTED), 2);
  EXPECT_EQ(std::count(q.begin(), q.end(), WU_EV_CTL_WAKE), 2);

  // With only the click bit, a second press within the time sends nothing.
  std::vector<int32_t> only = {WU_EV_CLICK};
  wu_value ev1 = List(WU_A_EVENTS, only);
  h->services->swat(h->control, &ev1, 1);
  ASSERT_TRUE(DoubleClick(w, 20000));
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_CLICK});

  // Button 3: a popup event only with the popup bit and a procedure.
  ASSERT_TRUE(Button(w, Button3, 30000));
  EXPECT_TRUE(Codes().empty());
  std::vector<int32_t> pop = {WU_EV_POPUP};
  wu_value ev2 = List(WU_A_EVENTS, pop);
  h->services->swat(h->control, &ev2, 1);
  Queued();
  ASSERT_TRUE(Button(w, Button3, 40000));
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_POPUP});
  EXPECT_EQ(Queued(), (std::vector<int32_t>{WU_EV_CTL_WAKE, WU_EV_CTL_POSTED}));
  EXPECT_TRUE(window_->flags & WU_WIN_CONTROL_PRESSED);

  // Click-only: every button-1 press is an event 16 with its modifier.
  wu_value co = Int(WU_A_CLICKONLY, 1);
  h->services->swat(h->control, &co, 1);
  ASSERT_TRUE(Button(w, Button1, 50000, ControlMask | ShiftMask));
  ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].code, WU_EV_CLICKONLY);
  ASSERT_EQ(ev[0].params.size(), 1u);
  EXPECT_EQ(ev[0].params[0].value, WU_CLICK_CONTROL);
}

TEST_F(Controls, NavigationKeysGoToTheProcedureOnTheDisplayTask) {
  std::vector<int32_t> events = {WU_EV_PREVIRTUALKEY};
  std::vector<int32_t> keys = {WU_VK_PAGEDOWN};
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {List(WU_A_EVENTS, events), Text(WU_A_TEXT, "ab")});
  Widget w = W(h);
  Focus(w);  // the user clicks into the field first
  Queued();
  // Without the key's bit the key is the widget's.
  Key(w, XK_Next);
  EXPECT_TRUE(g_proc.codes.empty());
  wu_value vk = List(WU_A_VIRTUALKEYS, keys);
  h->services->swat(h->control, &vk, 1);
  g_proc.answer = WU_EVPROC_ANSWER_PASS;
  g_proc.answer_word = 77;
  Key(w, XK_Next);
  ASSERT_EQ(g_proc.codes.size(), 1u);
  EXPECT_EQ(g_proc.codes[0], WU_EV_PREVIRTUALKEY);
  EXPECT_EQ(g_proc.keys[0], WU_VK_PAGEDOWN);
  EXPECT_EQ(Queued(), std::vector<int32_t>{WU_EV_CTL_ANSWER});

  // From another task the procedure runs on the display task through its
  // signal, and the answer comes back unchanged: 114 is queued once.
  qev_task *display = qevhost::createTask("DISPLAY", 2, 1);
  qev_task *worker = qevhost::createTask("WORKER", 1, 1);
  wu_display disp = {};
  disp.task = display;
  window_->display = &disp;
  wu_ctl_handle *h2 = Create(WU_CTYPE_ENTRY, {Int(WU_A_VPOS, 60), List(WU_A_EVENTS, events),
                                              List(WU_A_VIRTUALKEYS, keys)});
  Focus(W(h2));
  Queued();
  qevhost::setCurrentTask(worker);
  g_proc = ProcLog();
  g_proc.answer = WU_EVPROC_ANSWER;
  Key(W(h2), XK_Next);
  qevhost::setCurrentTask(qevhost::mainTask());
  ASSERT_EQ(g_proc.tasks.size(), 1u);
  EXPECT_EQ(g_proc.tasks[0], display);
  EXPECT_EQ(Queued(), std::vector<int32_t>{WU_EV_CTL_ANSWER});
  window_->display = nullptr;

  // No procedure: the key is consumed and nothing is queued.
  wu_value none = {};
  none.code = WU_A_EVENTPROC;
  h->services->swat(h->control, &none, 1);
  Focus(w);
  Queued();
  Key(w, XK_Next);
  EXPECT_TRUE(Queued().empty());
}

// ---- the popup method --------------------------------------------------------

TEST_F(Controls, ShowPopupReportsTheChosenItemAndRecordsIt) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  auto meth = Slot<MethFn>(QEV_TABLE_METHODS, WUXP_SLOT_METH);
  ASSERT_NE(meth, nullptr);
  wu_str_item items[3] = {{1, 0, "A"}, {1, 0, "B"}, {1, 0, "A"}};
  int32_t flags[3] = {WU_POPUP_SEPARATOR, 0, 0};
  wu_value p[6] = {};
  p[0].type = WU_VT_STRLIST;
  p[0].value = 3;
  p[0].pointer = items;
  p[1].type = WU_VT_INTLIST;
  p[1].value = 3;
  p[1].pointer = flags;
  for (int i = 2; i < 5; ++i) p[i].type = WU_VT_INTLIST;
  p[5].type = WU_VT_INT;
  p[5].value = -5;
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  // The third item (the separator is no item).
  ClickMenuItem(2, [&] { ASSERT_EQ(meth(h, WU_M_SHOWPOPUP, p, 6), WU_OK); });
  EXPECT_EQ(p[5].value, 3);
  std::vector<qevhost::Recording> rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), 1u);
  EXPECT_TRUE(rec[0].popup);
  EXPECT_EQ(rec[0].selected, 3);
  EXPECT_EQ(rec[0].choices, (std::vector<std::string>{"A", "B", "A"}));

  // Replay: the driver's choice goes to the host's method dispatch.
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_REPLAY);
  qevhost::queuePopupChoice(qevhost::mainTask(), window_, 2);
  ASSERT_EQ(meth(h, WU_M_SHOWPOPUP, p, 6), WU_OK);
  EXPECT_EQ(p[5].value, 2);
  ASSERT_EQ(qevhost::methodCalls().size(), 1u);
  EXPECT_EQ(qevhost::methodCalls()[0].method, WU_M_SHOWPOPUP);
  // A choice for another window ends the method with no choice.
  qevhost::queuePopupChoice(qevhost::mainTask(), nullptr, 1);
  p[5].value = 9;
  EXPECT_EQ(meth(h, WU_M_SHOWPOPUP, p, 6), WU_OK);
  EXPECT_EQ(p[5].value, 9);

  // A list with a count and no storage is refused; one parameter is too few.
  p[1].pointer = nullptr;
  EXPECT_EQ(meth(h, WU_M_SHOWPOPUP, p, 6), WU_ENTRY_STATUS);
  EXPECT_EQ(p[1].status, WU_E_RANGE);
  EXPECT_EQ(meth(h, WU_M_SHOWPOPUP, p, 1), WU_NOTAVAIL);
  qevhost::removeBatchDriver(qevhost::mainTask());
}

// ---- record and replay ---------------------------------------------------------

TEST_F(Controls, EntryFieldEventsAreRecordedAndReplayed) {
  std::vector<int32_t> events = {WU_EV_KEY, WU_EV_RETURNKEY, WU_EV_VALUECHANGED, WU_EV_CLICK};
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {List(WU_A_EVENTS, events)});
  Widget w = W(h);
  Focus(w);  // the user clicks into the field, then the recording starts
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  Events();
  Type(w, "7");
  ASSERT_TRUE(qevtest::keyHandled(devb->display, XK_Return));
  std::vector<qevhost::Recording> rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), 3u);
  wu_batch_event r[3];
  for (int i = 0; i < 3; ++i) std::memcpy(&r[i], rec[i].record.data(), sizeof r[i]);
  EXPECT_EQ(r[0].code, WU_EV_KEY);
  EXPECT_EQ(r[1].code, WU_EV_VALUECHANGED);
  EXPECT_EQ(r[2].code, WU_EV_RETURNKEY);
  EXPECT_EQ(r[2].sent, 1);
  EXPECT_EQ(r[2].value1, 1);  // the text's length
  EXPECT_EQ(rec[2].controlId, h->control->id);
  EXPECT_EQ(Codes(), (std::vector<int32_t>{WU_EV_KEY, WU_EV_VALUECHANGED, WU_EV_RETURNKEY}));

  // A text set by the host is neither sent nor recorded.
  wu_value t = Text(WU_A_TEXT, "host");
  h->services->swat(h->control, &t, 1);
  EXPECT_EQ(qevhost::recordings(qevhost::mainTask()).size(), 3u);
  EXPECT_TRUE(Codes().empty());

  // Replay puts the recorded text back and sends the event again.
  qevhost::removeBatchDriver(qevhost::mainTask());
  wu_batch_event again = {};
  again.code = WU_EV_VALUECHANGED;
  again.sent = 1;
  wu_rec_set_text(&again, "replayed", 8);
  EXPECT_EQ(h->services->rbat(h, &again), WU_OK);
  EXPECT_EQ(WidgetText(w), "replayed");
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_VALUECHANGED});
  // A popup recording is posted straight away, without a wake-up.
  Queued();
  wu_batch_event popup = {};
  popup.code = WU_EV_POPUP;
  EXPECT_EQ(h->services->rbat(h, &popup), WU_OK);
  std::vector<Posted> ev = Events();
  ASSERT_EQ(ev.size(), 1u);
  EXPECT_EQ(ev[0].record.x, -1);
  EXPECT_TRUE(Queued().empty());
  wu_batch_event odd = {};
  odd.code = 44;
  EXPECT_EQ(h->services->rbat(h, &odd), WU_NOTAVAIL);
}

// ---- release ----------------------------------------------------------------------

TEST_F(Controls, ReleaseTakesTwoStepsAndLeavesThePoolAsItWas) {
  // The baseline: the window as it is once it has held a control.
  wu_ctl_handle *first = Create(WU_CTYPE_ENTRY);
  first->services->wdes(first);
  Settle();
  NoteBaselines();
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {Text(WU_A_TEXT, "x")});
  wu_control *c = h->control;
  Widget w = W(h);
  wu_value q = Int(WU_A_TEXT, 0);
  h->services->qwat(c, &q, 1);  // a text answer the host never gives back
  auto fwid = Slot<FwidFn>(QEV_TABLE_WINDOW, WUX_SLOT_FWID);
  ASSERT_EQ(fwid(c), WU_OK);
  // Step one: on the release list, the widget still there, the record inert.
  EXPECT_EQ(pane_->ext->release, c);
  EXPECT_EQ(pane_->ext->controls, nullptr);
  EXPECT_FALSE(w->core.being_destroyed);
  EXPECT_EQ(fwid(c), WU_NOTAVAIL);
  EXPECT_EQ(Slot<SetFn>(QEV_TABLE_WINDOW, WUX_SLOT_SWAT)(c, &q, 1), WU_NOTAVAIL);
  EXPECT_EQ(h->services->meth(h, WU_M_CLEARMARK, nullptr, 0), WU_NOTAVAIL);
  EXPECT_TRUE(Button(w, Button1, 9000));  // the widget is still on the screen
  EXPECT_TRUE(Codes().empty());
  // Step two at the display update.
  wuxuwnd(window_);
  EXPECT_EQ(pane_->ext->release, nullptr);
  EXPECT_EQ(Slot<CntiFn>(QEV_TABLE_WINDOW, WUX_SLOT_CNTI)(h), -1);
  qevhost::PoolStats now = qevhost::poolStats(pool_);
  EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
  EXPECT_EQ(now.liveBytes, base_.liveBytes);
  EXPECT_EQ(now.errors, 0);

  // Destroying through the services vector does both steps.
  wu_ctl_handle *h2 = Create(WU_CTYPE_ENTRY);
  const wu_ctl_services *s = h2->services;
  EXPECT_EQ(s->wdes(h2), WU_OK);
  EXPECT_EQ(s->wdes(h2), WU_NOTAVAIL);
  now = qevhost::poolStats(pool_);
  EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
  ExpectBaselines();
}

// ---- the entry field's input rules ---------------------------------------------

TEST_F(Controls, EntryFieldRulesHoldForTypedAndHostText) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY, {Text(WU_A_TEXT, "abc")});
  const wu_ctl_services *s = h->services;
  Widget w = W(h);
  // Masked: the widget shows mask characters, the host reads the letters.
  wu_value mask = Int(WU_A_MASKCHAR, '*');
  mask.type = WU_VT_CHAR;
  EXPECT_EQ(s->swat(h->control, &mask, 1), WU_OK);
  EXPECT_EQ(WidgetText(w), "***");
  XmTextSetInsertionPosition(w, 3);
  Type(w, "d");
  EXPECT_EQ(WidgetText(w), "****");
  wu_value q = Int(WU_A_TEXT, 0);
  s->qwat(h->control, &q, 1);
  EXPECT_EQ(std::string(static_cast<char *>(q.pointer), size_t(q.value)), "abcd");
  s->clen(h, &q, 1);
  EXPECT_EQ(q.status, WU_OK);
  mask.value = 0;
  s->swat(h->control, &mask, 1);
  EXPECT_EQ(WidgetText(w), "abcd");

  // Numeric keys: switching on empties the field; every typed byte counts.
  wu_value num = Int(WU_A_NUMKEYS, 1);
  EXPECT_EQ(s->swat(h->control, &num, 1), WU_OK);
  EXPECT_EQ(WidgetText(w), "");
  Type(w, "a5");
  EXPECT_EQ(WidgetText(w), "5");
  XmTextInsert(w, 1, const_cast<char *>("6x"));
  EXPECT_EQ(WidgetText(w), "5");
  wu_value bad = Text(WU_A_TEXT, "12a");
  EXPECT_EQ(s->swat(h->control, &bad, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(bad.status, WU_E_RANGE);
  EXPECT_EQ(WidgetText(w), "5");
  num.value = 0;
  s->swat(h->control, &num, 1);

  // Upper case and the length limit.
  std::vector<wu_value> rules = {Int(WU_A_UPPERCASE, 1), Int(WU_A_MAXCHARS, 4),
                                 Text(WU_A_TEXT, "")};
  EXPECT_EQ(s->swat(h->control, rules.data(), 3), WU_OK);
  XmTextSetInsertionPosition(w, 0);
  Type(w, "abcdef");
  EXPECT_EQ(WidgetText(w), "ABCD");
  wu_value longer = Text(WU_A_TEXT, "12345");
  EXPECT_EQ(s->swat(h->control, &longer, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(longer.status, WU_E_RANGE);
  // A text of exactly the limit is the host's to set.
  wu_value exact = Text(WU_A_TEXT, "wxyz");
  EXPECT_EQ(s->swat(h->control, &exact, 1), WU_OK);
  EXPECT_EQ(WidgetText(w), "WXYZ");

  // Marks and the cursor.
  wu_value mark[2] = {Int(0, 0), Int(0, -1)};
  EXPECT_EQ(s->meth(h, WU_M_SETMARK, mark, 2), WU_OK);
  EXPECT_EQ(s->meth(h, WU_M_GETMARK, mark, 2), WU_OK);
  EXPECT_EQ(mark[0].value, 1);
  EXPECT_EQ(mark[1].value, 5);
  wu_value cur = Int(WU_A_CURSORPOS, 0);
  EXPECT_EQ(s->swat(h->control, &cur, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(cur.status, WU_E_RANGE);
  cur.value = 1;
  EXPECT_EQ(s->swat(h->control, &cur, 1), WU_OK);
  EXPECT_EQ(XmTextGetInsertionPosition(w), 0);
  // Read only, and the creation-only border.
  wu_value ro[2] = {Int(WU_A_EDITABLE, 1), Int(WU_A_BORDERSTYLE, 0)};
  EXPECT_EQ(s->swat(h->control, ro, 2), WU_ENTRY_STATUS);
  EXPECT_FALSE(XmTextGetEditable(w));
  EXPECT_EQ(ro[1].status, WU_E_CREATE_ONLY);
  // conformSize fixes the height.
  wu_value conform[2] = {Int(WU_A_CONFORMSIZE, 1), Int(WU_A_HEIGHT, 90)};
  EXPECT_EQ(s->swat(h->control, conform, 2), WU_ENTRY_STATUS);
  EXPECT_EQ(conform[1].status, WU_E_SIZE_FIXED);
}

// ---- show, hide, gray and focus ------------------------------------------------

TEST_F(Controls, ShowHideAndGrayActOnTheWidget) {
  wu_ctl_handle *h = Create(WU_CTYPE_ENTRY);
  const wu_ctl_services *s = h->services;
  Widget w = W(h);
  std::vector<wu_value> v = {Int(WU_A_VISIBLE, 0), Int(WU_A_ENABLED, 0)};
  EXPECT_EQ(s->swat(h->control, v.data(), 2), WU_OK);
  EXPECT_FALSE(XtIsManaged(w));
  EXPECT_FALSE(XtIsSensitive(w));
  EXPECT_EQ(s->grst(h->control), 1);
  EXPECT_EQ(s->hwid(h->control, 0), WU_OK);
  EXPECT_FALSE(XtIsManaged(w));
  EXPECT_EQ(s->hwid(h->control, 1), WU_OK);
  EXPECT_TRUE(XtIsManaged(w));
  EXPECT_EQ(s->grwd(h->control, 0), WU_OK);
  EXPECT_TRUE(XtIsSensitive(w));
  int32_t rect[4] = {};
  EXPECT_EQ(wuxgwsz(rect, 6, nullptr), WU_OK);
  EXPECT_EQ(rect[2], 0);
  EXPECT_EQ(wuxgwsz(rect, 99, nullptr), WU_BADARG);
  EXPECT_EQ(rect[0], -1);
  EXPECT_EQ(s->focs(h), WU_OK);
}

}  // namespace
