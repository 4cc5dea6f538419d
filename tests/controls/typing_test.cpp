// Typing into a dialog's controls as a user does: the focus given by a click
// of the pointer, the keys typed on the server's keyboard, with and without
// a window manager; Tab and Shift-Tab between the pane's controls and its
// fields.
#include "ctlfixture.h"

#include <X11/extensions/XTest.h>

#include "controls/wucombo.h"
#include "textwin/QevPane.h"
#include "xserver.h"

namespace {

struct TextKind {
  const char *name;
  int32_t type;
};

const TextKind kTextKinds[] = {
    {"entry field", WU_CTYPE_ENTRY}, {"numeric entry field", WU_CTYPE_ENTRY},
    {"masked entry field", WU_CTYPE_ENTRY}, {"multi-line entry", WU_CTYPE_MULTILINE},
    {"combo box", WU_CTYPE_COMBO}, {"spin box", WU_CTYPE_SPIN},
};

class Typing : public Controls {
 protected:
  // The cases after one that started mwm run without a window manager.
  void TearDown() override {
    Controls::TearDown();
    qevtest::stopWindowManager();
  }
  // A fresh window of one pane, made after a window manager was started so
  // that the manager frames it as it frames a host's dialog.
  void NewWindow(bool with_field = false) {
    if (window_) {
      wuxuwnd(window_);
      wuxfwnd(window_);
    }
    window_ = nullptr;
    ASSERT_EQ(wuxgwnd(&window_, 1, 0), WU_OK);
    ASSERT_EQ(wuxgpan(window_, &pane_, 1, 1, 20, WU_FULL_WIDTH, 0), WU_OK);
    field_ = nullptr;
    if (with_field) {
      ASSERT_EQ(wuxgfld(pane_, &field_, 8, 3, 10, 0, 0), WU_OK);
    }
    ASSERT_EQ(wuxiwnd(window_), WU_OK);
    Settle();
  }
  void WaitForWindowManager(bool with_field = false) {
    ASSERT_TRUE(qevtest::startWindowManager());
    NewWindow(with_field);
    // mwm gives the new window the keyboard once it has framed it.
    qevtest::turnUntil([] {
      Window focus = None;
      int revert = 0;
      XGetInputFocus(devb->display, &focus, &revert);
      return focus != None && focus != PointerRoot;
    });
    Settle();
  }

  // A control of a text-taking kind at a row of the pane, with the key,
  // return key and value-changed events enabled.
  wu_ctl_handle *Make(const TextKind &k, int32_t y, int32_t x = 20) {
    static int32_t events[] = {WU_EV_KEY, WU_EV_RETURNKEY, WU_EV_VALUECHANGED};
    wu_value ev = {};
    ev.code = WU_A_EVENTS;
    ev.type = WU_VT_INTLIST;
    ev.value = 3;
    ev.pointer = events;
    std::vector<wu_value> v = {Int(WU_A_HPOS, x), Int(WU_A_VPOS, y), ev};
    if (k.type == WU_CTYPE_COMBO || k.type == WU_CTYPE_ENTRY || k.type == WU_CTYPE_MULTILINE)
      v.push_back(Int(WU_A_WIDTH, 150));
    if (k.type == WU_CTYPE_MULTILINE) v.push_back(Int(WU_A_HEIGHT, 60));
    if (std::strcmp(k.name, "numeric entry field") == 0) {
      v.push_back(Int(WU_A_NUMKEYS, 1));
      v.back().type = WU_VT_BOOL;
    }
    if (std::strcmp(k.name, "masked entry field") == 0) {
      v.push_back(Int(WU_A_MASKCHAR, '*'));
      v.back().type = WU_VT_CHAR;
    }
    if (k.type == WU_CTYPE_COMBO) {
      v.push_back(Int(WU_A_COMBOSTYLE, 1));  // editable
      v.back().type = WU_VT_BOOL;
    }
    return Create(k.type, v);
  }
  static Widget TextOf(wu_ctl_handle *h) {
    switch (h->type) {
      case WU_CTYPE_COMBO: return reinterpret_cast<wu_combo *>(h->control)->text_w;
      case WU_CTYPE_SPIN: return reinterpret_cast<wu_spin *>(h->control)->text_w;
      default: return wuwgxtw(h->control);
    }
  }
  // The widget that holds the keyboard focus of the control's shell.
  static Widget Focused(Widget w) {
    return XmGetFocusWidget(w);
  }
  void Click(Widget w) {
    EXPECT_TRUE(qevtest::clickHandled(w));
    Settle();
  }
  void Press(KeySym sym, bool shift = false) {
    EXPECT_TRUE(qevtest::keyHandled(devb->display, sym, shift ? ShiftMask : 0));
    Settle();
  }
  void TypeKeys(const char *text) {
    for (const char *p = text; *p; ++p) Press(KeySym(static_cast<unsigned char>(*p)));
  }
  // The host's read of the window, as a host reads between a dialog's
  // events; ended by a timer when nothing comes.
  static void Wake(XtPointer client, XtIntervalId *) {
    wuxqwev(static_cast<wu_window *>(client), kNothing, nullptr, 0);
  }
  static constexpr int32_t kNothing = 434343;
  int32_t Read() {
    XtIntervalId t = XtAppAddTimeOut(devb->app, 2000, Wake, window_);
    const int32_t code = wuxrwnd(window_);
    XtRemoveTimeOut(t);
    return code;
  }
  // Types a text as a user does while the host reads the window after each
  // key, as it reads a dialog's events.
  void TypeWhileReading(const char *text) {
    for (const char *p = text; *p; ++p) {
      Press(KeySym(static_cast<unsigned char>(*p)));
      EXPECT_NE(Read(), kNothing) << "the key reached no control";
      Queued();
    }
  }
  static std::string Shown(Widget w) {
    char *s = XmTextGetString(w);
    std::string out = s ? s : "";
    XtFree(s);
    return out;
  }
  static int Count(const std::vector<int32_t> &v, int32_t code) {
    return int(std::count(v.begin(), v.end(), code));
  }

  wu_field *field_ = nullptr;

  // Clicks into every text-taking kind and types into it: the text shows
  // what was typed and the key events reach the host.
  void TypeIntoEveryKind() {
    std::vector<wu_ctl_handle *> made;
    // Three columns inside the window's first 110 pixels.
    const int32_t at[][2] = {{20, 10}, {20, 45}, {20, 80}, {200, 10}, {380, 10}, {380, 45}};
    for (size_t i = 0; i < std::size(kTextKinds); ++i)
      made.push_back(Make(kTextKinds[i], at[i][1], at[i][0]));
    Settle();
    Events();
    for (size_t i = 0; i < made.size(); ++i) {
      SCOPED_TRACE(kTextKinds[i].name);
      Widget text = TextOf(made[i]);
      ASSERT_NE(text, nullptr);
      XmTextSetString(text, const_cast<char *>(""));
      Settle();
      Events();
      Click(text);
      EXPECT_EQ(Focused(text), text);
      TypeWhileReading("12");
      std::string shown = Shown(text);
      if (std::strcmp(kTextKinds[i].name, "masked entry field") == 0) {
        wu_value q = Int(WU_A_TEXT, 0);
        made[i]->services->qwat(made[i]->control, &q, 1);
        shown = q.pointer ? std::string(static_cast<char *>(q.pointer), size_t(q.value)) : "";
      }
      EXPECT_NE(shown.find("12"), std::string::npos) << "shows '" << shown << "'";
      std::vector<int32_t> codes = Codes();
      EXPECT_GE(Count(codes, WU_EV_KEY), 2);
    }
  }
};

TEST_F(Typing, AClickGivesEveryTextKindTheKeysWithoutAWindowManager) {
  TypeIntoEveryKind();
}

TEST_F(Typing, AClickGivesEveryTextKindTheKeysUnderAWindowManager) {
  WaitForWindowManager();
  TypeIntoEveryKind();
}

// Return in each text kind reports `returnKey` to the host and is never the
// window's Enter key; in a multi-line entry it also starts a new line.
TEST_F(Typing, ReturnInEveryTextKindReportsReturnKeyAndAMultiLineEntryBreaksTheLine) {
  const int32_t at[][2] = {{20, 10}, {20, 45}, {20, 80}, {200, 10}, {380, 10}, {380, 45}};
  for (size_t i = 0; i < std::size(kTextKinds); ++i) {
    SCOPED_TRACE(kTextKinds[i].name);
    wu_ctl_handle *h = Make(kTextKinds[i], at[i][1], at[i][0]);
    ASSERT_NE(h, nullptr);
    Widget text = TextOf(h);
    XmTextSetString(text, const_cast<char *>(""));
    Settle();
    Click(text);
    Events();
    Queued();
    TypeKeys("3");
    Press(XK_Return);
    TypeKeys("4");
    std::vector<int32_t> codes = Codes();
    EXPECT_EQ(Count(codes, WU_EV_RETURNKEY), 1);
    for (int32_t code : Queued()) {
      EXPECT_NE(code, -WU_KEY_ENTER) << "Return went to the window";
    }
    if (kTextKinds[i].type == WU_CTYPE_MULTILINE) {
      EXPECT_EQ(Shown(text), "3\n4");
    } else if (std::strcmp(kTextKinds[i].name, "masked entry field") != 0) {
      EXPECT_NE(Shown(text).find("4"), std::string::npos);
    }
  }
}

// A multi-line entry shows the keyboard in its shadows; the focus leaving it
// for another control gives it its own shadows again.
TEST_F(Typing, AMultiLineEntryShowsTheFocusInItsShadows) {
  wu_ctl_handle *multi = Make(kTextKinds[3], 10, 20);
  wu_ctl_handle *entry = Make(kTextKinds[0], 10, 200);
  ASSERT_TRUE(multi && entry);
  Widget text = TextOf(multi);
  auto shadow = [&] {
    Pixel top = 0;
    XtVaGetValues(text, XmNtopShadowColor, &top, nullptr);
    return top;
  };
  Pixel hl = 0;
  XtVaGetValues(text, XmNhighlightColor, &hl, nullptr);
  const Pixel own = shadow();
  ASSERT_NE(own, hl);
  Click(text);
  EXPECT_EQ(shadow(), hl);
  Click(TextOf(entry));
  EXPECT_EQ(Focused(text), TextOf(entry));
  EXPECT_EQ(shadow(), own);
}

// The text cursor of a pane says where typing goes: a pane of controls
// without fields shows none once it holds a control; a pane with a field
// shows it on the field.
TEST_F(Typing, APaneOfControlsShowsNoTextCursor) {
  Widget pw = pane_->ext->widget;
  Pixel cursor = 0;
  XtVaGetValues(pw, QevNcursorColor, &cursor, nullptr);
  auto cursor_shown = [&] {
    Settle();
    XImage *img = XGetImage(devb->display, XtWindow(pw), 0, 0, pw->core.width,
                            std::min<unsigned>(pw->core.height, 4u * devb->cell_height), AllPlanes,
                            ZPixmap);
    int n = 0;
    for (int y = 0; img && y < img->height; ++y)
      for (int x = 0; x < img->width; ++x)
        if (XGetPixel(img, x, y) == cursor) ++n;
    if (img) XDestroyImage(img);
    return n > 0;
  };
  ASSERT_TRUE(cursor_shown()) << "an empty pane shows its cursor";
  ASSERT_NE(Make(kTextKinds[0], 80, 20), nullptr);
  EXPECT_FALSE(cursor_shown());
  Click(pw);
  EXPECT_FALSE(cursor_shown());

  NewWindow(true);
  ASSERT_NE(Make(kTextKinds[0], 10, 20), nullptr);
  pw = pane_->ext->widget;
  ASSERT_EQ(wuxmcrs(window_, pane_, 1, 1), WU_OK);
  EXPECT_TRUE(cursor_shown()) << "a pane with a field keeps its cursor";
}

// What a user types into an entry field, a combo box and a spin box is
// recorded with its text; once the field shows something else, replaying
// each text event shows the recorded text again.
TEST_F(Typing, RecordedTextEventsReplayTheirTexts) {
  const TextKind kinds[] = {kTextKinds[0], kTextKinds[4], kTextKinds[5]};
  const int32_t at[][2] = {{20, 10}, {200, 10}, {380, 10}};
  for (size_t i = 0; i < std::size(kinds); ++i) {
    SCOPED_TRACE(kinds[i].name);
    wu_ctl_handle *h = Make(kinds[i], at[i][1], at[i][0]);
    ASSERT_NE(h, nullptr);
    Widget text = TextOf(h);
    XmTextSetString(text, const_cast<char *>(""));
    Settle();
    Click(text);
    qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
    TypeKeys("xy");
    Press(XK_Return);
    std::vector<qevhost::Recording> recs = qevhost::recordings(qevhost::mainTask());
    qevhost::removeBatchDriver(qevhost::mainTask());
    // The module has freed its own texts by now; the scratch allocations
    // below take their place.
    std::vector<std::string> scratch(64, std::string(24, '#'));
    int replayed = 0;
    bool saw_return = false;
    for (const qevhost::Recording &r : recs) {
      wu_batch_event ev = {};
      ASSERT_EQ(r.record.size(), sizeof ev);
      std::memcpy(&ev, r.record.data(), sizeof ev);
      if (ev.code != WU_EV_KEY && ev.code != WU_EV_RETURNKEY && ev.code != WU_EV_VALUECHANGED)
        continue;
      int32_t length = 0;
      const char *recorded = wu_rec_text(&ev, &length);
      ASSERT_NE(recorded, nullptr) << "code " << ev.code;
      const std::string expected(recorded, size_t(length));
      XmTextSetString(text, const_cast<char *>("other"));
      Settle();
      EXPECT_EQ(h->services->rbat(h, &ev), WU_OK);
      Settle();
      EXPECT_EQ(Shown(text), expected) << "code " << ev.code;
      saw_return = saw_return || (ev.code == WU_EV_RETURNKEY && expected == "xy");
      ++replayed;
    }
    EXPECT_GE(replayed, 2);
    EXPECT_TRUE(saw_return);
    Events();
    Queued();
  }
}

// Tab and Shift-Tab go round the window's text controls and its field, top
// to bottom and left to right, passing a push button by; what is typed goes
// where the keyboard went.
TEST_F(Typing, TabAndShiftTabGoRoundTheControlsAndTheFields) {
  NewWindow(true);
  ASSERT_NE(field_, nullptr);
  wu_ctl_handle *entry = Make(kTextKinds[0], 10, 20);
  wu_ctl_handle *combo = Make(kTextKinds[4], 10, 200);
  wu_ctl_handle *push = Create(WU_CTYPE_PUSH, {Int(WU_A_HPOS, 380), Int(WU_A_VPOS, 10),
                                               Text(WU_A_TEXT, "Go")});
  wu_ctl_handle *spin = Make(kTextKinds[5], 45, 20);
  ASSERT_TRUE(entry && combo && push && spin);
  Widget ring[] = {TextOf(entry), TextOf(combo), TextOf(spin), window_->input};
  Click(ring[0]);
  ASSERT_EQ(Focused(ring[0]), ring[0]);
  for (int i = 1; i <= 4; ++i) {
    Press(XK_Tab);
    EXPECT_EQ(Focused(ring[0]), ring[i % 4]) << "Tab " << i;
  }
  // Back from the entry field to the host field: the window's cursor is on it
  // and a typed character goes into the field.
  Press(XK_Tab, true);
  EXPECT_EQ(Focused(ring[0]), window_->input);
  EXPECT_EQ(pane_->cursor_row, field_->row);
  EXPECT_EQ(pane_->cursor_column, field_->column);
  Press(XK_x);
  EXPECT_EQ(field_->text[0], 'x');
  for (int i = 2; i >= 1; --i) {
    Press(XK_Tab, true);
    EXPECT_EQ(Focused(ring[0]), ring[i]) << "Shift-Tab to " << i;
  }
  // The keys typed after Tab reach the control it went to.
  Press(XK_Tab, true);
  TypeKeys("77");
  EXPECT_EQ(Shown(ring[0]).find("77"), 0u) << Shown(ring[0]);
  for (int32_t code : Queued()) EXPECT_GE(code, 0) << "a key went to the window";
}

TEST_F(Typing, TabGoesRoundUnderAWindowManagerAndSkipsGrayedControls) {
  WaitForWindowManager();
  wu_ctl_handle *entry = Make(kTextKinds[0], 10, 20);
  wu_ctl_handle *grayed = Make(kTextKinds[0], 10, 200);
  wu_ctl_handle *multi = Make(kTextKinds[3], 45, 20);
  ASSERT_TRUE(entry && grayed && multi);
  wu_value gray = Int(WU_A_ENABLED, 0);
  gray.type = WU_VT_BOOL;
  ASSERT_EQ(grayed->services->swat(grayed->control, &gray, 1), WU_OK);
  Settle();
  Click(TextOf(entry));
  Press(XK_Tab);
  EXPECT_EQ(Focused(TextOf(entry)), TextOf(multi));
  TypeKeys("ab");
  EXPECT_NE(Shown(TextOf(multi)).find("ab"), std::string::npos);
  Press(XK_Tab);
  EXPECT_EQ(Focused(TextOf(entry)), TextOf(entry));
}

}  // namespace
