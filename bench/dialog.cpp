// A window of every control kind, opened, drawn and closed, against the
// plain Motif dialog of the same widgets.  The module's window is the demo's
// dialog of controls, built through the host's slots as a host builds it:
// two entry fields (numeric, masked), a label, a multi-line entry, the older
// pane controls (push button, check box, radio box of two buttons, list
// box), two combo boxes and two spin boxes (numeric, and a list of words),
// and the button kinds (push button, check box, radio box, scroll bar,
// progress bar, desktop icon), each with its tool tip; then the window is
// released.  The peer is what a careful Motif programmer would write for
// the same window: the same widget classes (a scroll bar for the module's
// scale, push buttons for the buttons the module draws itself, a radio box
// for the module's areas of toggles) with the look of the module's (size,
// place, colours, margins and shadows read from the module's first window),
// each text given its value and cursor at creation, every widget made
// unmanaged and managed with its parent before the shell is realised, the
// desktop icon's picture loaded once, one pre-parsed key table put on each
// widget that takes the keyboard; the shell is destroyed to close it.
// Each cycle waits on both sides until every control is drawn (its window,
// or for a windowless one its part of the pane, received an exposure), and
// checks the texts the entry field and spin boxes show.  Each side runs in
// a process of its own (QEV_BENCH_PART=xd or motif runs one); 20 cycles (2
// in the smallest-size mode), with the X requests and round trips of a
// cycle, and the round trips by the Xlib call that waited, reported.
//   xvfb-run -a bench/run.sh BUILD_DIR dialog
#include "benchutil.h"
#include "hostvalues.h"

#include "modulehost.h"
#include "qevhost.h"

#include <X11/IntrinsicP.h>
#include <X11/Shell.h>
#include <Xm/ArrowB.h>
#include <Xm/BulletinB.h>
#include <Xm/DrawingA.h>
#include <Xm/Form.h>
#include <Xm/Frame.h>
#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/ScrollBar.h>
#include <Xm/ScrolledW.h>
#include <Xm/Text.h>
#include <Xm/ToggleB.h>
#include <Xm/Xm.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "controls/wucontrol.h"
#include "frames/wutframe.h"
#include "qev/catalog.h"
#include "qev/flags.h"
#include "qev/module.h"
#include "qev/slots.h"
#include "runtime/wudevice.h"
#include "runtime/wuruntime.h"
#include "textwin/wutwin.h"

namespace {

int g_cycles = 20;

// The slots a host calls, taken from the window table as a host takes them
// (typed as the module's functions of the same names).
template <typename Fn>
Fn slot(int32_t n, Fn) {
  return qevhost::slot<Fn>(QEV_TABLE_WINDOW, n);
}

using qevhost::intValue;
using qevhost::realValue;
using qevhost::textValue;
using qevhost::value;

// Waits until the server has done what was asked and the events it sent
// are dispatched.
void pump() {
  XSync(devb->display, False);
  qevbench::dispatchPending(devb->app);
}

// The managed children of a widget.
std::vector<Widget> managed_children(Widget w) {
  std::vector<Widget> out;
  auto *c = reinterpret_cast<CompositeWidget>(w);
  for (Cardinal i = 0; i < c->composite.num_children; ++i)
    if (XtIsManaged(c->composite.children[i])) out.push_back(c->composite.children[i]);
  return out;
}

// Waits (a bounded number of server turns) until every managed child of
// `parent` is drawn; returns whether all were.
bool wait_drawn(Widget parent) {
  const std::vector<Widget> kids = managed_children(parent);
  for (int turn = 0; turn < 50; ++turn) {
    if (qevbench::drawnCount(kids) == int(kids.size())) return true;
    pump();
  }
  return false;
}

std::string text_of(Widget w) {
  if (w == nullptr || !XmIsText(w)) return "";
  char *s = XmTextGetString(w);
  std::string out = s != nullptr ? s : "";
  XtFree(s);
  return out;
}

// ---- the module's window ---------------------------------------------------------

const int32_t kWindowKind = 1;
const int32_t kPaneRows = 27, kPaneColumns = 90;
int32_t g_events[] = {WU_EV_KEY, WU_EV_RETURNKEY, WU_EV_POPUP, WU_EV_DOUBLECLICK, WU_EV_CLICK,
                      WU_EV_VALUECHANGED};
int32_t g_box_events[] = {WU_EV_SELECT, WU_EV_RETURNKEY, WU_EV_INCREMENT, WU_EV_DECREMENT,
                          WU_EV_VALUECHANGED};
wu_str_item g_lines[] = {{5, 0, "first"}, {6, 0, "second"}, {5, 0, "third"}};
wu_str_item g_words[] = {{5, 0, "alpha"}, {4, 0, "beta"}, {5, 0, "gamma"}};
wu_str_item g_colours[] = {{3, 0, "red"}, {5, 0, "green"}, {4, 0, "blue"}};
wu_str_item g_sizes[] = {{5, 0, "small"}, {6, 0, "medium"}, {5, 0, "large"}};
wu_str_item g_choices[] = {{5, 0, "Lines"}, {5, 0, "Pages"}, {8, 0, "Chapters"}};
const char kLabel[] = "&Notes, wrapped at blanks to the label's width";

bool made(const char *what, wu_status st, bool &ok) {
  if (st != WU_OK) {
    qevbench::failed(std::string("module: ") + what + " answered " + std::to_string(st));
    ok = false;
  }
  return ok;
}

// The demo's dialog, as its host builds it.
wu_window *open_module(bool &ok) {
  wu_window *w = nullptr;
  wu_pane *pane = nullptr;
  if (!made("wuxgwnd", wuxgwnd(&w, kWindowKind, 0), ok) ||
      !made("wuxgpan", wuxgpan(w, &pane, 1, 1, kPaneRows, kPaneColumns, 0), ok))
    return w;
  auto crea = slot(WUX_SLOT_CREA, &wuxcrea);
  auto control = [&](const char *what, int32_t type, std::vector<wu_value> v) {
    wu_ctl_handle *h = nullptr;
    made(what, crea(&h, pane, nullptr, type, v.data(), int32_t(v.size()), nullptr), ok);
  };
  const wu_value events = value(WU_A_EVENTS, WU_VT_INTLIST, 6, g_events);
  control("entry field", WU_CTYPE_ENTRY,
          {intValue(WU_A_HPOS, 20), intValue(WU_A_VPOS, 20), events, value(WU_A_NUMKEYS, WU_VT_BOOL, 1), textValue(WU_A_TEXT, "42")});
  control("entry field", WU_CTYPE_ENTRY,
          {intValue(WU_A_HPOS, 20), intValue(WU_A_VPOS, 60), events, value(WU_A_MASKCHAR, WU_VT_CHAR, '*'),
           textValue(WU_A_TEXT, "42")});
  control("label", WU_CTYPE_LABEL,
          {intValue(WU_A_HPOS, 250), intValue(WU_A_VPOS, 10), textValue(WU_A_TEXT, kLabel), intValue(WU_A_WIDTH, 160),
           intValue(WU_A_HEIGHT, 50)});
  control("multi-line entry", WU_CTYPE_MULTILINE,
          {intValue(WU_A_HPOS, 250), intValue(WU_A_VPOS, 64), intValue(WU_A_WIDTH, 150), intValue(WU_A_HEIGHT, 70),
           value(WU_A_LINES, WU_VT_STRLIST, 3, g_lines), events});
  wu_control *c = nullptr, *box = nullptr;
  made("wuxgpsh", slot(WUX_SLOT_GPSH, &wuxgpsh)(pane, &c, 1, 12, 2, 0, "Apply", -1), ok);
  made("wuxgchk", slot(WUX_SLOT_GCHK, &wuxgchk)(pane, &c, 2, 12, 14, 0, "Wrap", -1), ok);
  made("wuxgrbx", slot(WUX_SLOT_GRBX, &wuxgrbx)(pane, &box, 3, 15, 2, 2, 20), ok);
  made("wuxgrbt", slot(WUX_SLOT_GRBT, &wuxgrbt)(box, &c, 31, 1, 1, 0, "Lines", -1), ok);
  made("wuxgrbt", slot(WUX_SLOT_GRBT, &wuxgrbt)(box, &c, 32, 2, 1, 0, "Pages", -1), ok);
  made("wuxglbx", slot(WUX_SLOT_GLBX, &wuxglbx)(pane, &c, "Choices", 12, 30, 7, 25, 0, 3, WU_LBX_REPORT, 4,
                                             g_words, 3),
       ok);
  const wu_value box_events = value(WU_A_EVENTS, WU_VT_INTLIST, 5, g_box_events);
  for (int i = 0; i < 2; ++i)
    control("combo box", WU_CTYPE_COMBO,
            {intValue(WU_A_HPOS, 20 + 200 * i), intValue(WU_A_VPOS, 290), intValue(WU_A_WIDTH, 150), box_events,
             value(WU_A_COMBOSTYLE, WU_VT_BOOL, i == 0 ? 1 : 0), value(WU_A_ITEMS, WU_VT_STRLIST, 3, g_colours),
             intValue(WU_A_SELECTEDINDEX, 2)});
  control("spin box", WU_CTYPE_SPIN,
          {intValue(WU_A_HPOS, 20), intValue(WU_A_VPOS, 325), intValue(WU_A_WIDTH, 80), box_events, textValue(WU_A_TEXT, "10")});
  control("spin box", WU_CTYPE_SPIN,
          {intValue(WU_A_HPOS, 220), intValue(WU_A_VPOS, 325), intValue(WU_A_WIDTH, 1), box_events,
           value(WU_A_NUMKEYS, WU_VT_BOOL, 0), value(WU_A_ITEMS, WU_VT_STRLIST, 3, g_sizes),
           intValue(WU_A_SELECTEDINDEX, 2)});
  control("push button", WU_CTYPE_PUSH,
          {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 10), textValue(WU_A_TEXT, "&Run"), textValue(WU_A_TOOLTIP, "Runs the program")});
  control("check box", WU_CTYPE_CHECK,
          {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 44), textValue(WU_A_TEXT, "Keep log"), value(WU_A_SELECTED, WU_VT_BOOL, 1),
           textValue(WU_A_TOOLTIP, "Writes the log to a file")});
  control("radio box", WU_CTYPE_RADIO,
          {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 72), intValue(WU_A_WIDTH, 150), intValue(WU_A_HEIGHT, 90),
           textValue(WU_A_TITLE, "Scroll by"), value(WU_A_ITEMS, WU_VT_STRLIST, 3, g_choices),
           intValue(WU_A_SELECTEDINDEX, 2), textValue(WU_A_TOOLTIP, "How far a page key moves")});
  control("scroll bar", WU_CTYPE_SCROLL,
          {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 170), intValue(WU_A_WIDTH, 150), realValue(WU_A_MAXIMUM, 100),
           realValue(WU_A_LARGESCROLL, 20), realValue(WU_A_VALUE, 40), textValue(WU_A_TOOLTIP, "Zoom")});
  control("progress bar", WU_CTYPE_PROGRESS,
          {intValue(WU_A_HPOS, 420), intValue(WU_A_VPOS, 196), intValue(WU_A_WIDTH, 150), intValue(WU_A_HEIGHT, 20),
           intValue(WU_A_SHOWPERCENT, 1), value(WU_A_VALUE, WU_VT_NUMBER, 60), textValue(WU_A_TOOLTIP, "Work done")});
  control("desktop icon", WU_CTYPE_DESKICON,
          {intValue(WU_A_HPOS, 580), intValue(WU_A_VPOS, 10), textValue(WU_A_TEXT, "Report"), value(WU_A_CONFORMSIZE, WU_VT_BOOL, 1),
           textValue(WU_A_TOOLTIP, "Double-click to open")});
  made("wuxuwnd", wuxuwnd(w), ok);
  return w;
}

Widget pane_widget(wu_window *w) {
  return w != nullptr && w->panes != nullptr && w->panes->ext != nullptr
             ? static_cast<Widget>(w->panes->ext->widget)
             : nullptr;
}

// The pane's controls in the order made; the texts of a composite control
// are found below it.
enum Child {
  kNumeric, kMasked, kTextLabel, kLines, kApply, kWrap, kOldRadio, kOldList, kCombo1, kCombo2,
  kSpin1, kSpin2, kPush, kCheck, kRadio, kScroll, kProgress, kIcon, kChildren
};

Widget child(Widget w, Cardinal i) {
  auto *c = reinterpret_cast<CompositeWidget>(w);
  return w != nullptr && XtIsComposite(w) && i < c->composite.num_children ? c->composite.children[i]
                                                                          : nullptr;
}

// What the cycle checks: the entry field's and the spin boxes' texts, in
// the module's pane or the peer's board (its children in the same order).
struct Shown {
  std::string numeric, spin1, spin2;
};

Shown shown_in(Widget pane) {
  return Shown{text_of(child(pane, kNumeric)), text_of(child(child(pane, kSpin1), 0)),
               text_of(child(child(pane, kSpin2), 0))};
}

// ---- the look of the module's window, for the peer --------------------------------

// The look of a module widget: its size, place, colours, margins and
// shadows.
using qevbench::Look;
Look look_of(Widget w) {
  if (w == nullptr) return Look();
  return qevbench::lookOf(w, {XmNwidth, XmNheight, XmNbackground, XmNforeground, XmNtopShadowColor,
                              XmNbottomShadowColor, XmNshadowThickness, XmNhighlightThickness,
                              XmNmarginWidth, XmNmarginHeight, XmNx, XmNy});
}

// The looks by path of child indices below the pane ("3", "7.1").
std::map<std::string, Look> g_looks;
std::string g_label_text;     // the label's text as the module wraps it
Pixmap g_icon = None;         // the desktop icon's picture, the peer's own reference
Position g_shell_x = 0, g_shell_y = 0;
Dimension g_shell_w = 0, g_shell_h = 0, g_pane_w = 0, g_pane_h = 0;
Position g_pane_x = 0, g_pane_y = 0;
Pixel g_pane_bg = 0;

void capture(Widget w, const std::string &path) {
  g_looks[path] = look_of(w);
  if (!XtIsComposite(w)) return;
  auto *c = reinterpret_cast<CompositeWidget>(w);
  for (Cardinal i = 0; i < c->composite.num_children; ++i)
    capture(c->composite.children[i], path + "." + std::to_string(i));
}

const Look &L(const std::string &path) { return g_looks[path]; }

void capture_window(wu_window *w) {
  Widget pane = pane_widget(w);
  for (Cardinal i = 0; i < kChildren; ++i) capture(child(pane, i), std::to_string(i));
  Widget shell = pane;
  while (shell != nullptr && !XtIsShell(shell)) shell = XtParent(shell);
  XtTranslateCoords(shell, 0, 0, &g_shell_x, &g_shell_y);
  Position px = 0, py = 0;
  XtTranslateCoords(pane, 0, 0, &px, &py);
  g_pane_x = Position(px - g_shell_x);
  g_pane_y = Position(py - g_shell_y);
  g_shell_w = shell->core.width;
  g_shell_h = shell->core.height;
  g_pane_w = pane->core.width;
  g_pane_h = pane->core.height;
  g_pane_bg = pane->core.background_pixel;
  XmString s = nullptr;
  XtVaGetValues(child(pane, kTextLabel), XmNlabelString, &s, nullptr);
  char *t = static_cast<char *>(XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0,
                                                XmOUTPUT_ALL));
  g_label_text = t != nullptr ? t : "";
  XtFree(t);
  XmStringFree(s);
}

// ---- the peer ----------------------------------------------------------------------

// The keys a user meets on the module's controls, parsed once: the popup
// button, the window's function keys and Tab, and in texts Return
// activating the field.
XtTranslations g_keys = nullptr, g_text_keys = nullptr;

void make_tables() {
  auto join = [](std::vector<const char *> parts) {
    std::string text;
    for (const char *t : parts) {
      if (t == nullptr || *t == '\0') continue;
      if (!text.empty()) text += '\n';
      text += t;
    }
    return XtParseTranslationTable(text.c_str());
  };
  g_keys = join({"<Btn3Down>: qev-widget-popup()", devb->appres.control_translation,
                 devb->appres.text_keys2, devb->appres.text_keys});
  g_text_keys = join({"<Btn3Down>: qev-widget-popup()", "<Key>Return: activate()",
                      devb->appres.text_keys2, devb->appres.text_keys});
}

// What the peer's fields do with what the user types: the masked field
// keeps the real text and shows '*', the numeric one takes digits only.
std::string g_masked_text;
void masked_verify(Widget, XtPointer, XtPointer call) {
  auto *cbs = static_cast<XmTextVerifyCallbackStruct *>(call);
  if (cbs->text == nullptr) return;
  g_masked_text.replace(size_t(cbs->startPos), size_t(cbs->endPos - cbs->startPos),
                        cbs->text->ptr != nullptr ? cbs->text->ptr : "", size_t(cbs->text->length));
  for (int i = 0; i < cbs->text->length; ++i) cbs->text->ptr[i] = '*';
}
void numeric_verify(Widget, XtPointer, XtPointer call) {
  auto *cbs = static_cast<XmTextVerifyCallbackStruct *>(call);
  if (cbs->text == nullptr) return;
  for (int i = 0; i < cbs->text->length; ++i)
    if (cbs->text->ptr[i] < '0' || cbs->text->ptr[i] > '9') cbs->doit = False;
}
void activated(Widget, XtPointer, XtPointer) {}

Widget make(const char *name, WidgetClass cls, Widget parent, const std::string &path, Arg *a, Cardinal n,
            XtTranslations keys = nullptr, bool placed = true) {
  Arg all[40];
  std::memcpy(all, a, n * sizeof(Arg));
  const Look &l = L(path);
  Cardinal m = n;
  for (size_t i = 0; i < l.names.size(); ++i) {
    if (!placed && (l.names[i] == XmNx || l.names[i] == XmNy)) continue;
    XtSetArg(all[m], const_cast<char *>(l.names[i].c_str()), l.values[i]);
    ++m;
  }
  Widget w = XtCreateWidget(name, cls, parent, all, m);
  if (keys != nullptr) XtOverrideTranslations(w, keys);
  return w;
}

XmString str(const char *t) { return XmStringCreateLocalized(const_cast<char *>(t)); }

Widget text_field(Widget parent, const std::string &path, const char *value, const char *name = "text") {
  Arg a[4];
  Cardinal n = 0;
  XtSetArg(a[n], XmNvalue, value); ++n;
  XtSetArg(a[n], XmNcursorPosition, XmTextPosition(std::strlen(value))); ++n;
  XtSetArg(a[n], XmNeditMode, XmSINGLE_LINE_EDIT); ++n;
  XtSetArg(a[n], XmNresizeWidth, False); ++n;
  Widget w = make(name, xmTextWidgetClass, parent, path, a, n, g_text_keys);
  XtAddCallback(w, XmNactivateCallback, activated, nullptr);
  return w;
}

Widget label_widget(WidgetClass cls, Widget parent, const std::string &path, const char *text,
                    XtTranslations keys, Arg *extra = nullptr, Cardinal extra_n = 0) {
  XmString s = str(text);
  Arg a[8];
  Cardinal n = 0;
  XtSetArg(a[n], XmNlabelString, s); ++n;
  XtSetArg(a[n], XmNrecomputeSize, False); ++n;
  for (Cardinal i = 0; i < extra_n; ++i) a[n++] = extra[i];
  Widget w = make("label", cls, parent, path, a, n, keys);
  XmStringFree(s);
  return w;
}

// A form of a text and arrows (spin box) or of a text, an arrow and the
// list that drops down from it (combo box).
Widget text_and_arrows(Widget board, Child which, const char *value, bool combo,
                       const std::vector<const char *> &items) {
  const std::string p = std::to_string(which);
  Arg a[4];
  Cardinal n = 0;
  XtSetArg(a[n], XmNresizePolicy, XmRESIZE_NONE); ++n;
  Widget form = make("form", xmFormWidgetClass, board, p, a, n);
  Widget kids[3];
  kids[0] = text_field(form, p + ".0", value);
  for (int i = 0; i < (combo ? 1 : 2); ++i) {
    Arg b[2];
    Cardinal bn = 0;
    XtSetArg(b[bn], XmNarrowDirection, combo ? XmARROW_DOWN : (i == 0 ? XmARROW_UP : XmARROW_DOWN)); ++bn;
    XtSetArg(b[bn], XmNtraversalOn, False); ++bn;
    kids[1 + i] = make("arrow", xmArrowButtonWidgetClass, form, p + "." + std::to_string(1 + i), b, bn, g_keys);
    XtAddCallback(kids[1 + i], XmNactivateCallback, activated, nullptr);
  }
  XtManageChildren(kids, combo ? 2 : 3);
  if (combo) {
    Widget shell = XtVaCreatePopupShell("list", overrideShellWidgetClass, form, nullptr);
    std::vector<XmString> s;
    for (const char *t : items) s.push_back(str(t));
    Arg b[2];
    Cardinal bn = 0;
    XtSetArg(b[bn], XmNitems, s.data()); ++bn;
    XtSetArg(b[bn], XmNitemCount, int(s.size())); ++bn;
    XtManageChild(XmCreateScrolledList(shell, const_cast<char *>("list"), b, bn));
    for (XmString x : s) XmStringFree(x);
  }
  return form;
}

// The peer's window: a shell of the module window's size at its place, a
// board of the pane's size and colour at the pane's place, the controls.
Widget open_peer(Widget *board_out) {
  Widget shell = XtVaAppCreateShell("peer", "Peer", topLevelShellWidgetClass, devb->display, XmNx, g_shell_x,
                                    XmNy, g_shell_y, XmNwidth, g_shell_w, XmNheight, g_shell_h, nullptr);
  Widget board = XtVaCreateWidget("board", xmBulletinBoardWidgetClass, shell, XmNx, g_pane_x, XmNy, g_pane_y,
                                  XmNwidth, g_pane_w, XmNheight, g_pane_h, XmNmarginWidth, 0,
                                  XmNmarginHeight, 0, XmNresizePolicy, XmRESIZE_NONE, XmNbackground,
                                  g_pane_bg, XmNbuttonFontList, devb->font_list, XmNlabelFontList,
                                  devb->font_list, XmNtextFontList, devb->font_list, nullptr);
  std::vector<Widget> kids(kChildren, nullptr);
  // The entry fields: digits only, and a masked one.
  kids[kNumeric] = text_field(board, std::to_string(kNumeric), "42");
  XtAddCallback(kids[kNumeric], XmNmodifyVerifyCallback, numeric_verify, nullptr);
  g_masked_text = "42";
  kids[kMasked] = text_field(board, std::to_string(kMasked), "**");
  XtAddCallback(kids[kMasked], XmNmodifyVerifyCallback, masked_verify, nullptr);
  // The label, wrapped as the module shows it.
  {
    XmString s = XmStringGenerate(const_cast<char *>(g_label_text.c_str()), nullptr, XmCHARSET_TEXT, nullptr);
    Arg a[3];
    Cardinal n = 0;
    XtSetArg(a[n], XmNlabelString, s); ++n;
    XtSetArg(a[n], XmNalignment, XmALIGNMENT_BEGINNING); ++n;
    XtSetArg(a[n], XmNrecomputeSize, False); ++n;
    kids[kTextLabel] = make("label", xmLabelWidgetClass, board, std::to_string(kTextLabel), a, n);
    XmStringFree(s);
  }
  // The multi-line entry: a scrolled text.
  {
    const std::string p = std::to_string(kLines);
    const Look &sw = L(p), &text = L(p + ".2");
    Arg a[24];
    Cardinal n = sw.add(a, 0);
    XtSetArg(a[n], XmNvalue, "first\nsecond\nthird"); ++n;
    XtSetArg(a[n], XmNeditMode, XmMULTI_LINE_EDIT); ++n;
    XtSetArg(a[n], XmNscrollHorizontal, True); ++n;
    XtSetArg(a[n], XmNscrollVertical, True); ++n;
    Widget t = XmCreateScrolledText(board, const_cast<char *>("lines"), a, n);
    Arg b[12];
    Cardinal bn = 0;
    for (size_t i = 0; i < text.names.size(); ++i)
      if (text.names[i] != XmNx && text.names[i] != XmNy && text.names[i] != XmNwidth && text.names[i] != XmNheight) {
        XtSetArg(b[bn], const_cast<char *>(text.names[i].c_str()), text.values[i]);
        ++bn;
      }
    XtSetValues(t, b, bn);
    XtOverrideTranslations(t, g_text_keys);
    XtManageChild(t);
    kids[kLines] = XtParent(t);
  }
  // The older controls: a push button, a check box, a box of two toggles
  // and a titled list.
  kids[kApply] = label_widget(xmPushButtonWidgetClass, board, std::to_string(kApply), "Apply", g_keys);
  XtAddCallback(kids[kApply], XmNactivateCallback, activated, nullptr);
  kids[kWrap] = label_widget(xmToggleButtonWidgetClass, board, std::to_string(kWrap), "Wrap", g_keys);
  {
    const std::string p = std::to_string(kOldRadio);
    Arg a[4];
    Cardinal n = 0;
    XtSetArg(a[n], XmNspacing, 0); ++n;
    XtSetArg(a[n], XmNmarginWidth, 0); ++n;
    XtSetArg(a[n], XmNmarginHeight, 0); ++n;
    Widget box = XmCreateRadioBox(board, const_cast<char *>("box"), a, n);
    XtVaSetValues(box, XmNx, L(p).value(XmNx), XmNy, L(p).value(XmNy), nullptr);
    Widget items[2];
    const char *names[2] = {"Lines", "Pages"};
    for (int i = 0; i < 2; ++i) {
      Arg t[2];
      Cardinal tn = 0;
      XtSetArg(t[tn], XmNset, i == 0 ? True : False); ++tn;
      items[i] = label_widget(xmToggleButtonWidgetClass, box, p + "." + std::to_string(i), names[i], g_keys, t, tn);
    }
    XtManageChildren(items, 2);
    kids[kOldRadio] = box;
  }
  {
    const std::string p = std::to_string(kOldList);
    Widget form = make("listForm", xmFormWidgetClass, board, p, nullptr, 0);
    Arg a[4];
    Cardinal n = 0;
    XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
    XtSetArg(a[n], XmNleftAttachment, XmATTACH_FORM); ++n;
    XtSetArg(a[n], XmNrightAttachment, XmATTACH_FORM); ++n;
    Widget title = label_widget(xmLabelWidgetClass, form, p + ".0", "Choices", nullptr, a, n);
    std::vector<XmString> s = {str("alpha"), str("beta"), str("gamma")};
    Arg b[12];
    Cardinal bn = 0;
    XtSetArg(b[bn], XmNitems, s.data()); ++bn;
    XtSetArg(b[bn], XmNitemCount, 3); ++bn;
    XtSetArg(b[bn], XmNtopAttachment, XmATTACH_WIDGET); ++bn;
    XtSetArg(b[bn], XmNtopWidget, title); ++bn;
    XtSetArg(b[bn], XmNbottomAttachment, XmATTACH_FORM); ++bn;
    XtSetArg(b[bn], XmNleftAttachment, XmATTACH_FORM); ++bn;
    XtSetArg(b[bn], XmNrightAttachment, XmATTACH_FORM); ++bn;
    XtSetArg(b[bn], XmNscrollBarDisplayPolicy, XmSTATIC); ++bn;
    Widget list = XmCreateScrolledList(form, const_cast<char *>("list"), b, bn);
    XtOverrideTranslations(list, g_keys);
    for (XmString x : s) XmStringFree(x);
    XtManageChild(list);
    Widget parts[2] = {title, XtParent(list)};
    XtManageChildren(parts, 2);
    kids[kOldList] = form;
  }
  // Two combo boxes and two spin boxes.
  kids[kCombo1] = text_and_arrows(board, kCombo1, "green", true, {"red", "green", "blue"});
  kids[kCombo2] = text_and_arrows(board, kCombo2, "green", true, {"red", "green", "blue"});
  kids[kSpin1] = text_and_arrows(board, kSpin1, "10", false, {});
  kids[kSpin2] = text_and_arrows(board, kSpin2, "medium", false, {});
  // The button kinds.
  kids[kPush] = label_widget(xmPushButtonWidgetClass, board, std::to_string(kPush), "Run", g_keys);
  XtAddCallback(kids[kPush], XmNactivateCallback, activated, nullptr);
  {
    Arg a[1];
    XtSetArg(a[0], XmNset, True);
    kids[kCheck] = label_widget(xmToggleButtonWidgetClass, board, std::to_string(kCheck), "Keep log", g_keys, a, 1);
  }
  {
    const std::string p = std::to_string(kRadio);
    Arg a[2];
    Cardinal n = 0;
    XtSetArg(a[n], XmNx, L(p).value(XmNx)); ++n;
    XtSetArg(a[n], XmNy, L(p).value(XmNy)); ++n;
    Widget frame = make("frame", xmFrameWidgetClass, board, p + ".0", a, n, nullptr, false);
    Arg t[1];
    XtSetArg(t[0], XmNframeChildType, XmFRAME_TITLE_CHILD);
    Widget title = label_widget(xmLabelWidgetClass, frame, p + ".0.0", "Scroll by", nullptr, t, 1);
    Arg b[4];
    Cardinal bn = 0;
    XtSetArg(b[bn], XmNspacing, 0); ++bn;
    XtSetArg(b[bn], XmNmarginWidth, L(p + ".0.1.0").value(XmNx)); ++bn;
    XtSetArg(b[bn], XmNmarginHeight, L(p + ".0.1.0").value(XmNy)); ++bn;
    Widget box = XmCreateRadioBox(frame, const_cast<char *>("box"), b, bn);
    Widget items[3];
    const char *names[3] = {"Lines", "Pages", "Chapters"};
    for (int i = 0; i < 3; ++i) {
      Arg s[1];
      XtSetArg(s[0], XmNset, i == 1 ? True : False);
      items[i] = label_widget(xmToggleButtonWidgetClass, box, p + ".0.1." + std::to_string(i), names[i], g_keys, s, 1);
    }
    XtManageChildren(items, 3);
    Widget parts[2] = {title, box};
    XtManageChildren(parts, 2);
    kids[kRadio] = frame;
  }
  {
    Arg a[6];
    Cardinal n = 0;
    XtSetArg(a[n], XmNorientation, XmHORIZONTAL); ++n;
    XtSetArg(a[n], XmNmaximum, 100); ++n;
    XtSetArg(a[n], XmNsliderSize, 20); ++n;
    XtSetArg(a[n], XmNpageIncrement, 20); ++n;
    XtSetArg(a[n], XmNvalue, 40); ++n;
    kids[kScroll] = make("scroll", xmScrollBarWidgetClass, board, std::to_string(kScroll), a, n, g_keys);
  }
  {
    Arg a[6];
    Cardinal n = 0;
    XtSetArg(a[n], XmNorientation, XmHORIZONTAL); ++n;
    XtSetArg(a[n], XmNvalue, 60); ++n;
    XtSetArg(a[n], XmNslidingMode, XmTHERMOMETER); ++n;
    XtSetArg(a[n], XmNeditable, False); ++n;
    XtSetArg(a[n], XmNshowArrows, XmNONE); ++n;
    kids[kProgress] = make("progress", xmScrollBarWidgetClass, board, std::to_string(kProgress), a, n, g_keys);
  }
  {
    Arg a[4];
    Cardinal n = 0;
    XtSetArg(a[n], XmNlabelPixmap, g_icon); ++n;
    XtSetArg(a[n], XmNlabelType, XmPIXMAP_AND_STRING); ++n;
    XtSetArg(a[n], XmNpixmapPlacement, XmPIXMAP_TOP); ++n;
    kids[kIcon] = label_widget(xmPushButtonWidgetClass, board, std::to_string(kIcon), "Report", g_keys, a, n);
  }
  XtManageChildren(kids.data(), Cardinal(kids.size()));
  XtManageChild(board);
  XtRealizeWidget(shell);
  *board_out = board;
  return shell;
}

// ---- the cycles --------------------------------------------------------------------

// The server's top-level windows (a window closed leaves none behind).
unsigned top_windows() {
  Window root = None, parent = None, *kids = nullptr;
  unsigned n = 0;
  XQueryTree(devb->display, DefaultRootWindow(devb->display), &root, &parent, &kids, &n);
  if (kids != nullptr) XFree(kids);
  return n;
}

struct Outcome {
  int drawn = 0;
  Shown shown;
  bool ok = true;
};

void cycle_module(Outcome &o) {
  wu_window *w = open_module(o.ok);
  pump();
  if (wait_drawn(pane_widget(w))) ++o.drawn;
  o.shown = shown_in(pane_widget(w));
  if (wuxfwnd(w) != WU_OK) o.ok = false;
  pump();
}

void cycle_peer(Outcome &o) {
  Widget board = nullptr;
  Widget shell = open_peer(&board);
  pump();
  if (wait_drawn(board)) ++o.drawn;
  o.shown = shown_in(board);
  XtDestroyWidget(shell);
  pump();
}

}  // namespace

int main(int, char **argv) {
  const int parts = qevbench::runEachPart(argv, "QEV_BENCH_PART", {"xd", "motif"});
  if (parts >= 0) return parts;
  const std::string side = std::getenv("QEV_BENCH_PART");
  if (qevbench::smallest()) g_cycles = 2;
  std::string why;
  if (!qevtest::startModule(QEV_MODULE_PATH, &why)) {
    std::fprintf(stderr, "module did not start: %s\n", why.c_str());
    return 1;
  }
  // A first window on each side settles the one-time costs (fonts, the
  // toolkit's classes, the module's tables), and the module's gives the
  // peer its look.
  bool ok = true;
  wu_window *first = open_module(ok);
  pump();
  if (!ok || !wait_drawn(pane_widget(first))) {
    qevbench::failed("the module's first window was not drawn");
    return 1;
  }
  capture_window(first);
  wuxfwnd(first);
  pump();
  // The peer's process only: the peer's own reference to the desktop
  // icon's picture in the module's icon store, and its first window.
  if (side == "motif") {
    int32_t iw = 0, ih = 0;
    Pixmap mask = None;
    if (wutlpix(WU_ICON_DEFAULT, nullptr, 0, 0, &g_icon, &mask, &iw, &ih) != WU_OK) {
      qevbench::failed("no desktop icon picture for the peer");
      return 1;
    }
    make_tables();
    Outcome warm;
    cycle_peer(warm);
  }
  const unsigned windows = top_windows();
  const std::string size = std::to_string(g_cycles);
  qevbench::countOn(devb->display);
  Outcome o;
  if (side == "xd") {
    qevbench::measure("dialog.cycle.xd." + size, [&] {
      for (int i = 0; i < g_cycles; ++i) cycle_module(o);
    });
  } else {
    qevbench::measure("dialog.cycle.motif." + size, [&] {
      for (int i = 0; i < g_cycles; ++i) cycle_peer(o);
    });
  }
  const std::string who = side == "xd" ? "module" : "Motif";
  if (!qevbench::lastTripsByCall().empty())
    qevbench::note("dialog: round trips of " + size + " cycles, " + who + ": " + qevbench::lastTripsByCall());
  int status = 0;
  const unsigned left = top_windows();
  if (!o.ok || o.drawn != g_cycles || left != windows) {
    qevbench::failed("dialog, " + who + ": " + std::to_string(o.drawn) + " of " + size +
                     " windows drawn, " + std::to_string(int(left) - int(windows)) + " windows left");
    status = 1;
  }
  if (o.shown.numeric != "42" || o.shown.spin1 != "10" || o.shown.spin2 != "medium") {
    qevbench::failed("dialog, " + who + ": the texts shown are \"" + o.shown.numeric + "\", \"" +
                     o.shown.spin1 + "\" and \"" + o.shown.spin2 + "\"");
    status = 1;
  }
  if (g_icon != None) wutfpix(g_icon);
  qevtest::stopModule();
  return status;
}
