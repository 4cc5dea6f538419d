// The label and the multi-line entry, driven through the creation slot, the
// services vector and what the X server shows.
#include <algorithm>

#include "ctlfixture.h"
#include "runtime/wutoolkit.h"

// The text widget's private headers come after the test framework's, whose
// names they would otherwise shadow.
#include <Xm/Label.h>
#include <Xm/ScrolledW.h>
#include <Xm/TextOutP.h>
#include <Xm/TextP.h>

namespace {

std::string LabelText(Widget w) {
  XmString s = nullptr;
  XtVaGetValues(w, XmNlabelString, &s, nullptr);
  char *t = wumgstr(s);  // separators come back as line feeds
  std::string out = t ? t : "";
  XtFree(t);
  XmStringFree(s);
  return out;
}

wu_value Lines(std::vector<wu_str_item> &items) {
  wu_value v = {};
  v.code = WU_A_LINES;
  v.type = WU_VT_STRLIST;
  v.value = int32_t(items.size());
  v.pointer = items.data();
  return v;
}

std::vector<wu_str_item> Items(std::initializer_list<const char *> texts) {
  std::vector<wu_str_item> out;
  for (const char *t : texts) out.push_back({int32_t(std::strlen(t)), 0, t});
  return out;
}

class TextKinds : public Controls {
 protected:
  std::vector<std::string> QueryLines(wu_ctl_handle *h, wu_status *result = nullptr) {
    wu_value q = Int(WU_A_LINES, 0);
    const wu_status st = h->services->qwat(h->control, &q, 1);
    if (result) *result = st;
    std::vector<std::string> out;
    auto *items = static_cast<wu_str_item *>(q.pointer);
    for (int32_t i = 0; i < q.value; ++i) out.emplace_back(items[i].text, size_t(items[i].length));
    EXPECT_EQ(q.status, WU_ALLOCATED);
    h->services->clen(h, &q, 1);
    EXPECT_EQ(q.status, WU_OK);
    return out;
  }
  int32_t QueryInt(wu_ctl_handle *h, int16_t code) {
    wu_value q = Int(code, -99);
    h->services->qwat(h->control, &q, 1);
    EXPECT_EQ(q.status, WU_OK) << "code " << code;
    return q.value;
  }
  static int32_t ConformCount(const std::vector<int32_t> &codes) {
    return int32_t(std::count(codes.begin(), codes.end(), WU_EV_CONFORMSIZE));
  }
};

// ---- the label ---------------------------------------------------------------

TEST_F(TextKinds, LabelDropsTheFirstMarkerAndShowsABlankWithoutText) {
  wu_ctl_handle *bare = Create(WU_CTYPE_LABEL);
  ASSERT_NE(bare, nullptr);
  Widget w0 = W(bare);
  ASSERT_NE(w0, nullptr);
  EXPECT_STREQ(XtName(w0), "qevTextLabel");
  EXPECT_EQ(LabelText(w0), " ");

  wu_ctl_handle *h = Create(WU_CTYPE_LABEL, {Text(WU_A_TEXT, "&File && more"), Int(WU_A_WIDTH, 400)});
  Widget w = W(h);
  EXPECT_EQ(LabelText(w), "File && more");
  wu_value q = Int(WU_A_TEXT, 0);
  EXPECT_EQ(h->services->qwat(h->control, &q, 1), WU_OK);
  EXPECT_EQ(std::string(static_cast<char *>(q.pointer), size_t(q.value)), "&File && more");

  // Refused entries change nothing and the result follows the statuses.
  const Position x0 = w->core.x;
  wu_value bad[4] = {Int(WU_A_WIDTH, 0), Text(WU_A_HELPTEXT, "tip"), Int(WU_A_TEXTORIENT, 1),
                     Int(WU_A_HPOS, 32768)};   // one past the largest coordinate
  EXPECT_EQ(h->services->swat(h->control, bad, 4), WU_ENTRY_STATUS);
  EXPECT_EQ(bad[0].status, WU_E_RANGE);
  EXPECT_EQ(bad[1].status, WU_UNSUPPORTED);
  EXPECT_EQ(bad[2].status, WU_E_NOT_HANDLED);
  EXPECT_EQ(bad[3].status, WU_E_RANGE);
  EXPECT_EQ(w->core.x, x0);
  wu_value nul = Text(WU_A_TEXT, "x");
  nul.pointer = nullptr;
  EXPECT_EQ(h->services->swat(h->control, &nul, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(nul.status, WU_E_RANGE);
  EXPECT_EQ(LabelText(w), "File && more");
  // A query answers fresh statuses, whatever the entries held before.
  wu_value stale[2] = {Int(WU_A_TOOLTIP, 0), Int(WU_A_JUSTIFICATION, 0)};
  stale[0].status = stale[1].status = WU_E_RANGE;
  EXPECT_EQ(h->services->qwat(h->control, stale, 2), WU_OK);
  EXPECT_EQ(stale[0].status, WU_OK);
  // Common codes set with a kind code leave no status behind.
  wu_value ok[2] = {Int(WU_A_JUSTIFICATION, 1), Int(WU_A_VISIBLE, 1)};
  ok[1].type = WU_VT_BOOL;
  EXPECT_EQ(h->services->swat(h->control, ok, 2), WU_OK);
  unsigned char align = 0;
  XtVaGetValues(w, XmNalignment, &align, nullptr);
  EXPECT_EQ(align, XmALIGNMENT_CENTER);
}

TEST_F(TextKinds, LabelWrapsAtBlanksAndReflowsWhenWidened) {
  const char *text = "one two three four five six seven eight nine ten";
  wu_ctl_handle *h = Create(WU_CTYPE_LABEL, {Int(WU_A_WIDTH, 90), Int(WU_A_HEIGHT, 200),
                                             Text(WU_A_TEXT, text)});
  Widget w = W(h);
  std::string shown = LabelText(w);
  EXPECT_NE(shown.find('\n'), std::string::npos) << shown;
  // Every line but one-word lines fits the width.
  XmFontList fl = nullptr;
  XtVaGetValues(w, XmNfontList, &fl, nullptr);
  size_t start = 0;
  while (start <= shown.size()) {
    size_t end = shown.find('\n', start);
    if (end == std::string::npos) end = shown.size();
    const std::string line = shown.substr(start, end - start);
    if (line.find(' ') != std::string::npos) {
      XmString s = XmStringCreateLocalized(const_cast<char *>(line.c_str()));
      EXPECT_LT(XmStringWidth(fl, s), 90) << line;
      XmStringFree(s);
    }
    start = end + 1;
  }
  // The stored text has no breaks; wider and set again, it is one line.
  wu_value q = Int(WU_A_TEXT, 0);
  h->services->qwat(h->control, &q, 1);
  EXPECT_EQ(std::string(static_cast<char *>(q.pointer), size_t(q.value)), text);
  wu_value wide[2] = {Int(WU_A_WIDTH, 1000), Text(WU_A_TEXT, text)};
  EXPECT_EQ(h->services->swat(h->control, wide, 2), WU_OK);
  EXPECT_EQ(LabelText(w), text);

  // A word longer than the width stands on a line of its own.
  wu_value narrow[2] = {Int(WU_A_WIDTH, 60), Text(WU_A_TEXT, "a extraordinarily b")};
  h->services->swat(h->control, narrow, 2);
  EXPECT_EQ(LabelText(w), "a\nextraordinarily\nb");
  // A marker removed before the wrap never comes back.
  wu_value marked[2] = {Int(WU_A_WIDTH, 60), Text(WU_A_TEXT, "&alpha beta gamma")};
  h->services->swat(h->control, marked, 2);
  EXPECT_EQ(LabelText(w).find('&'), std::string::npos);
  wu_value wider = Int(WU_A_WIDTH, 1000);
  h->services->swat(h->control, &wider, 1);
  EXPECT_EQ(LabelText(w), "alpha beta gamma");
}

TEST_F(TextKinds, ConformingLabelSendsConformSizeOncePerChange) {
  std::vector<int32_t> events = {WU_EV_CONFORMSIZE};
  wu_ctl_handle *h = Create(WU_CTYPE_LABEL, {List(WU_A_EVENTS, events), Int(WU_A_CONFORMSIZE, 1),
                                             Text(WU_A_TEXT, "short")});
  EXPECT_EQ(ConformCount(Codes()), 1);  // the build
  Widget w = W(h);
  const Dimension before = w->core.width;
  wu_value t = Text(WU_A_TEXT, "a much longer label text");
  EXPECT_EQ(h->services->swat(h->control, &t, 1), WU_OK);
  Settle();
  EXPECT_GT(w->core.width, before);
  EXPECT_EQ(ConformCount(Codes()), 1);
  EXPECT_EQ(h->services->swat(h->control, &t, 1), WU_OK);
  EXPECT_EQ(ConformCount(Codes()), 0);
  // Its size is its own: width and height are refused.
  wu_value size = Int(WU_A_WIDTH, 33);
  EXPECT_EQ(h->services->swat(h->control, &size, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(size.status, WU_E_SIZE_FIXED);
  // Replay sends the recorded conformSize again; other codes are refused.
  wu_batch_event rec = {};
  rec.code = WU_EV_CONFORMSIZE;
  rec.sent = 1;
  EXPECT_EQ(h->services->rbat(h, &rec), WU_OK);
  EXPECT_EQ(ConformCount(Codes()), 1);
  rec.code = WU_EV_KEY;
  EXPECT_EQ(h->services->rbat(h, &rec), WU_NOTAVAIL);
}

// ---- the multi-line entry ------------------------------------------------------

TEST_F(TextKinds, MultiLineTextIsAListOfLines) {
  std::vector<wu_str_item> abc = Items({"a", "b", "c"});
  wu_ctl_handle *h = Create(WU_CTYPE_MULTILINE, {Lines(abc), Int(WU_A_WIDTH, 200), Int(WU_A_HEIGHT, 120)});
  ASSERT_NE(h, nullptr);
  Widget w = W(h);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(XmIsText(w));
  EXPECT_TRUE(XmIsScrolledWindow(XtParent(w)));
  EXPECT_EQ(WidgetText(w), "a\nb\nc");
  EXPECT_EQ(QueryLines(h), (std::vector<std::string>{"a", "b", "c"}));
  // Geometry is the scrolled window's.
  EXPECT_EQ(QueryInt(h, WU_A_WIDTH), XtParent(w)->core.width);
  EXPECT_EQ(XtParent(w)->core.width, 200);

  // A text ending in a line feed comes back with a last empty line.
  std::vector<wu_str_item> trail = Items({"x", ""});
  wu_value v = Lines(trail);
  EXPECT_EQ(h->services->swat(h->control, &v, 1), WU_OK);
  EXPECT_EQ(WidgetText(w), "x\n");
  EXPECT_EQ(QueryLines(h), (std::vector<std::string>{"x", ""}));
  std::vector<wu_str_item> none;
  v = Lines(none);
  EXPECT_EQ(h->services->swat(h->control, &v, 1), WU_OK);
  EXPECT_EQ(WidgetText(w), "");
  EXPECT_TRUE(QueryLines(h).empty());

  // A list with a null text is refused and changes nothing.
  std::vector<wu_str_item> broken = {{3, 0, nullptr}};
  v = Lines(broken);
  EXPECT_EQ(h->services->swat(h->control, &v, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(v.status, WU_E_RANGE);
  wu_value mx = Int(WU_A_MAXCHARS, 5);
  EXPECT_EQ(h->services->swat(h->control, &mx, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(mx.status, WU_UNSUPPORTED);
  // Bars stay settable after creation; the border does not.
  wu_value border = Int(WU_A_BORDERSTYLE, 0);
  EXPECT_EQ(h->services->swat(h->control, &border, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(border.status, WU_E_CREATE_ONLY);
}

TEST_F(TextKinds, TextSetBeforeTheBuildIsQueriedAndShown) {
  // A second pane, not realised yet: the entry keeps its text until built.
  wu_window *win = nullptr;
  wu_pane *pane = nullptr;
  ASSERT_EQ(wuxgwnd(&win, 1, 0), WU_OK);
  ASSERT_EQ(wuxgpan(win, &pane, 1, 1, 10, WU_FULL_WIDTH, 0), WU_OK);
  win->flags |= WU_WIN_HOST_REALIZES;
  std::vector<wu_str_item> two = Items({"first", "second"});
  wu_value entries[3] = {Lines(two), Int(WU_A_ROWPOS, 2), Int(WU_A_CURSORPOS, 3)};
  wu_ctl_handle *h = nullptr;
  ASSERT_EQ(crea_(&h, pane, nullptr, WU_CTYPE_MULTILINE, entries, 3, HostProc), WU_OK);
  EXPECT_EQ(W(h), nullptr);
  EXPECT_EQ(QueryLines(h), (std::vector<std::string>{"first", "second"}));
  ASSERT_EQ(wuxiwnd(win), WU_OK);
  Settle();
  Widget w = W(h);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(WidgetText(w), "first\nsecond");
  EXPECT_EQ(QueryInt(h, WU_A_ROWPOS), 2);
  EXPECT_EQ(QueryInt(h, WU_A_CURSORPOS), 3);
  EXPECT_EQ(XmTextGetInsertionPosition(w), 8);
  wuxuwnd(win);
  wuxfwnd(win);
}

TEST_F(TextKinds, MarksAreRowsAndColumns) {
  std::vector<wu_str_item> lines = Items({"hello", "world"});
  wu_ctl_handle *h = Create(WU_CTYPE_MULTILINE, {Lines(lines)});
  Widget w = W(h);
  wu_value p[4] = {Int(1, 1), Int(2, 1), Int(3, -1), Int(4, -1)};
  EXPECT_EQ(h->services->meth(h, WU_M_SETMARK, p, 4), WU_OK);
  XmTextPosition l = 0, r = 0;
  ASSERT_TRUE(XmTextGetSelectionPosition(w, &l, &r));
  EXPECT_EQ(l, 0);
  EXPECT_EQ(r, 11);
  wu_value g[4] = {Int(1, 0), Int(2, 0), Int(3, 0), Int(4, 0)};
  EXPECT_EQ(h->services->meth(h, WU_M_GETMARK, g, 4), WU_OK);
  EXPECT_EQ(g[0].value, 1);
  EXPECT_EQ(g[1].value, 1);
  EXPECT_EQ(g[2].value, 2);
  EXPECT_EQ(g[3].value, 6);
  // Row 2, columns 2 to 4: "orl".
  wu_value part[4] = {Int(1, 2), Int(2, 2), Int(3, 2), Int(4, 5)};
  EXPECT_EQ(h->services->meth(h, WU_M_SETMARK, part, 4), WU_OK);
  char *sel = XmTextGetSelection(w);
  EXPECT_STREQ(sel, "orl");
  XtFree(sel);
  // Start equal to end marks all four; a column past its line marks its pair.
  wu_value same[4] = {Int(1, 1), Int(2, 2), Int(3, 1), Int(4, 2)};
  EXPECT_EQ(h->services->meth(h, WU_M_SETMARK, same, 4), WU_ENTRY_STATUS);
  for (const wu_value &e : same) EXPECT_EQ(e.status, WU_E_RANGE);
  wu_value past[4] = {Int(1, 1), Int(2, 9), Int(3, 2), Int(4, 2)};
  EXPECT_EQ(h->services->meth(h, WU_M_SETMARK, past, 4), WU_ENTRY_STATUS);
  EXPECT_EQ(past[0].status, WU_E_RANGE);
  EXPECT_EQ(past[1].status, WU_E_RANGE);
  EXPECT_EQ(past[2].status, WU_OK);
  EXPECT_EQ(h->services->meth(h, WU_M_CLEARMARK, nullptr, 0), WU_OK);
  EXPECT_FALSE(XmTextGetSelectionPosition(w, &l, &r));
  EXPECT_EQ(h->services->meth(h, WU_M_GETMARK, g, 4), WU_OK);
  EXPECT_EQ(g[2].value, 1);
  EXPECT_EQ(h->services->meth(h, WU_M_SETMARK, p, 3), WU_NOTAVAIL);
}

TEST_F(TextKinds, HorizontalBarSwitchesWrapInTheTextsOutputData) {
  wu_ctl_handle *h = Create(WU_CTYPE_MULTILINE, {Int(WU_A_WIDTH, 150), Int(WU_A_HEIGHT, 100)});
  Widget w = W(h);
  auto *tw = reinterpret_cast<XmTextWidget>(w);
  Widget hsb = nullptr;
  XtVaGetValues(XtParent(w), XmNhorizontalScrollBar, &hsb, nullptr);
  ASSERT_NE(hsb, nullptr);
  EXPECT_TRUE(XtIsManaged(hsb));
  EXPECT_TRUE(tw->text.output->data->scrollhorizontal);
  Boolean wrap = True;
  XtVaGetValues(w, XmNwordWrap, &wrap, nullptr);
  EXPECT_FALSE(wrap);

  wu_value off = Int(WU_A_HSCROLLBAR, 0);
  off.type = WU_VT_BOOL;
  EXPECT_EQ(h->services->swat(h->control, &off, 1), WU_OK);
  EXPECT_FALSE(XtIsManaged(hsb));
  EXPECT_FALSE(tw->text.output->data->scrollhorizontal);
  XtVaGetValues(w, XmNwordWrap, &wrap, nullptr);
  EXPECT_TRUE(wrap);
  EXPECT_EQ(QueryInt(h, WU_A_HSCROLLBAR), 0);
  wu_value on = Int(WU_A_HSCROLLBAR, 1);
  EXPECT_EQ(h->services->swat(h->control, &on, 1), WU_OK);
  EXPECT_TRUE(XtIsManaged(hsb));
  EXPECT_TRUE(tw->text.output->data->scrollhorizontal);
  wu_value voff = Int(WU_A_VSCROLLBAR, 0);
  EXPECT_EQ(h->services->swat(h->control, &voff, 1), WU_OK);
  Widget vsb = nullptr;
  XtVaGetValues(XtParent(w), XmNverticalScrollBar, &vsb, nullptr);
  EXPECT_FALSE(XtIsManaged(vsb));
}

TEST_F(TextKinds, TopRowIsKeptAcrossTextSets) {
  std::vector<std::string> store;
  for (int i = 1; i <= 60; ++i) store.push_back("line " + std::to_string(i));
  std::vector<wu_str_item> lines;
  for (const std::string &s : store) lines.push_back({int32_t(s.size()), 0, s.c_str()});
  wu_ctl_handle *h = Create(WU_CTYPE_MULTILINE, {Lines(lines), Int(WU_A_MINROWS, 5)});
  wu_value top = Int(WU_A_TOPROW, 20);
  EXPECT_EQ(h->services->swat(h->control, &top, 1), WU_OK);
  EXPECT_EQ(QueryInt(h, WU_A_TOPROW), 20);
  EXPECT_EQ(XmTextGetTopCharacter(W(h)), XmTextPosition(9 * 7 + 10 * 8));
  wu_value again = Lines(lines);
  EXPECT_EQ(h->services->swat(h->control, &again, 1), WU_OK);
  EXPECT_EQ(QueryInt(h, WU_A_TOPROW), 20);
  wu_value both[2] = {Lines(lines), Int(WU_A_TOPROW, 3)};
  EXPECT_EQ(h->services->swat(h->control, both, 2), WU_OK);
  EXPECT_EQ(QueryInt(h, WU_A_TOPROW), 3);
  wu_value zero = Int(WU_A_TOPROW, 0);
  EXPECT_EQ(h->services->swat(h->control, &zero, 1), WU_ENTRY_STATUS);
  EXPECT_EQ(QueryInt(h, WU_A_TOPROW), 3);
}

TEST_F(TextKinds, MultiLineColoursReachEveryPart) {
  wu_ctl_handle *h = Create(WU_CTYPE_MULTILINE);
  Widget w = W(h);
  uint16_t rgb[3] = {0xffff, 0, 0};
  wu_value bg = {};
  bg.code = WU_A_BACKGROUND;
  bg.type = WU_VT_WORD;
  bg.value = 1;
  bg.pointer = rgb;
  EXPECT_EQ(h->services->swat(h->control, &bg, 1), WU_OK);
  ASSERT_NE(h->control->background, nullptr);
  const Pixel red = h->control->background->pixel;
  Widget hsb = nullptr, vsb = nullptr;
  XtVaGetValues(XtParent(w), XmNhorizontalScrollBar, &hsb, XmNverticalScrollBar, &vsb, nullptr);
  for (Widget x : {w, XtParent(w), hsb, vsb}) EXPECT_EQ(x->core.background_pixel, red);
  Pixel trough = 0;
  XtVaGetValues(vsb, XmNtroughColor, &trough, nullptr);
  EXPECT_EQ(trough, red);
  wu_value q = Int(WU_A_BACKGROUND, 0);
  EXPECT_EQ(h->services->qwat(h->control, &q, 1), WU_ENTRY_STATUS);
  ASSERT_EQ(q.status, WU_ALLOCATED);
  EXPECT_EQ(static_cast<uint16_t *>(q.pointer)[0], 0xffff);
  h->services->clen(h, &q, 1);
  // An empty value goes back to the control colours.
  wu_value none = Int(WU_A_BACKGROUND, 0);
  none.type = WU_VT_WORD;
  EXPECT_EQ(h->services->swat(h->control, &none, 1), WU_OK);
  EXPECT_EQ(h->control->background, nullptr);
  EXPECT_NE(w->core.background_pixel, red);
}

TEST_F(TextKinds, MultiLineReplayAndRecordingCarryNoText) {
  std::vector<int32_t> events = {WU_EV_VALUECHANGED};
  wu_ctl_handle *h = Create(WU_CTYPE_MULTILINE, {List(WU_A_EVENTS, events)});
  Widget w = W(h);
  Focus(w);  // the user clicks into the text, then the recording starts
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  Events();
  Type(w, "z");
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_VALUECHANGED});
  std::vector<qevhost::Recording> rec = qevhost::recordings(qevhost::mainTask());
  ASSERT_EQ(rec.size(), 1u);
  wu_batch_event r = {};
  std::memcpy(&r, rec[0].record.data(), sizeof r);
  int32_t length = -1;
  wu_rec_text(&r, &length);
  EXPECT_EQ(length, 0);
  qevhost::removeBatchDriver(qevhost::mainTask());
  EXPECT_EQ(h->services->rbat(h, &r), WU_OK);
  EXPECT_EQ(WidgetText(w), "z");  // nothing restored
  EXPECT_EQ(Codes(), std::vector<int32_t>{WU_EV_VALUECHANGED});
  wu_batch_event conform = {};
  conform.code = WU_EV_CONFORMSIZE;
  EXPECT_EQ(h->services->rbat(h, &conform), WU_NOTAVAIL);
}

TEST_F(TextKinds, ReleaseGivesBackEverythingTheTextKindsHeld) {
  wu_ctl_handle *first = Create(WU_CTYPE_MULTILINE);
  first->services->wdes(first);
  wu_ctl_handle *second = Create(WU_CTYPE_LABEL);
  second->services->wdes(second);
  Settle();
  NoteBaselines();
  std::vector<wu_str_item> lines = Items({"a", "b"});
  wu_ctl_handle *m = Create(WU_CTYPE_MULTILINE, {Lines(lines)});
  wu_ctl_handle *l = Create(WU_CTYPE_LABEL, {Text(WU_A_TEXT, "&Label")});
  wu_value q = Int(WU_A_LINES, 0);
  m->services->qwat(m->control, &q, 1);  // a line list the host never gives back
  EXPECT_EQ(q.value, 2);
  EXPECT_EQ(m->services->wdes(m), WU_OK);
  EXPECT_EQ(l->services->wdes(l), WU_OK);
  const qevhost::PoolStats now = qevhost::poolStats(pool_);
  EXPECT_EQ(now.liveBlocks, base_.liveBlocks);
  EXPECT_EQ(now.liveBytes, base_.liveBytes);
  EXPECT_EQ(now.errors, 0);
  ExpectBaselines();
}

}  // namespace
