// The combo box: a text with a drop-down arrow and a popup list in an
// override shell, built by `wutgcbo` for the module's own dialogs and for the
// catalogue control of host-built dialogs (type 3), whose attributes,
// methods, events and replay follow here.
#include <X11/IntrinsicP.h>
#include <X11/ShellP.h>
#include <X11/keysym.h>
#include <Xm/ArrowB.h>
#include <Xm/Form.h>
#include <Xm/List.h>
#include <Xm/Text.h>
#include <Xm/VirtKeys.h>
#include <Xm/Xm.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "xd/qevutil.h"
#include "controls/wucombo.h"
#include "qev/flags.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"
#include "xd/IconList.h"

extern "C" {
void wuwtlwn(Widget, XtPointer, XEvent *, Boolean *) __attribute__((weak));
}

namespace {

// Operations of the list-box change service.
constexpr int32_t kLbxInsert = 1;
constexpr int32_t kLbxDelete = 2;

constexpr uint32_t kEvmSelect = 1u << (WU_EV_SELECT - 1);
constexpr uint32_t kEvmKey = 1u << (WU_EV_KEY - 1);
constexpr uint32_t kEvmReturn = 1u << (WU_EV_RETURNKEY - 1);
constexpr uint32_t kEvmConform = 0x2000;
constexpr int32_t kVisibleMax = 10;      // rows the popup list shows at most
constexpr int32_t kShortListPad = 6;     // extra pixels of a list under 6 rows
constexpr int32_t kRowPad = 4;           // pixels a row takes besides its font
constexpr int32_t kArrowOffset = 20;     // room of the arrow right of the text
constexpr int32_t kPaneMarginHeight = 1; // pixels above and below the text in a pane
constexpr int32_t kCallMaxText = 1024;   // bytes of a recorded text replayed
constexpr int32_t kShellCells = 9;       // popup height in cells before it has one
constexpr int32_t kIconCells = 8;        // popup height in cells of an icon list
constexpr int32_t kLastCode = WU_A_EVENTPROC;
constexpr int32_t kMaxPixels = 32767;      // the X server's coordinate range
constexpr int32_t kMaxItems = 1 << 20;     // items a host list may give at once

const char kComboKeys[] =
    "#override    Ctrl<Key>osfDown: ComboPostList() \n   Mod1<Key>osfDown: ComboPostList() \n"
    "   <Key>osfCancel: ComboHideList() \n   ";
// While posted the keyboard is grabbed on the list: Escape there hides it.
const char kListKeys[] = "#override <Key>osfCancel: ComboHideList()";

wu_combo *rec(wu_control *c) { return reinterpret_cast<wu_combo *>(c); }

bool in_pane(const wu_combo *cb) { return cb->c.kind == WU_MT_COMBOBOX && cb->c.pane != nullptr; }

// The combo record behind a callback's client data, when it still stands:
// a control of a live pane, or a builder record entered in the registry.
wu_combo *live(XtPointer client) {
  auto *cb = static_cast<wu_combo *>(client);
  if (cb == nullptr) return nullptr;
  if (wu_reg_has(cb, WU_REG_COMBO)) return cb;
  if (wu_ctl_live(&cb->c) && cb->c.kind == WU_MT_COMBOBOX) return cb;
  return nullptr;
}

// The record in a widget's userData (the actions).
wu_combo *from_widget(Widget w) {
  XtPointer data = nullptr;
  if (w != nullptr) XtVaGetValues(w, XmNuserData, &data, nullptr);
  return live(data);
}

char *copy_n(const char *text, int32_t n) {
  n = std::max(n, 0);
  char *s = XtMalloc(Cardinal(n) + 1);
  if (n > 0) std::memcpy(s, text, size_t(n));
  s[n] = '\0';
  return s;
}

XmFontList font_list(wu_combo *cb) {
  if (cb->c.font_list != nullptr) return static_cast<XmFontList>(cb->c.font_list);
  return devb->font_list;
}

int32_t tall_height(wu_combo *cb) {
  XmString s = XmStringCreateLocalized(const_cast<char *>("Tall"));
  const int32_t h = XmStringHeight(font_list(cb), s);
  XmStringFree(s);
  return h;
}

void colours(wu_combo *cb, wu_ctl_colours *set) {
  wu_ctl_class_colours(wu_ctl_window(&cb->c), set);
}

Pixel text_foreground(wu_combo *cb) {
  if (cb->error_on) return devb->red_foreground;
  if (cb->c.foreground != nullptr) return cb->c.foreground->pixel;
  wu_ctl_colours set;
  colours(cb, &set);
  return set.foreground;
}

// ---- the list, Motif's or the icon list ----------------------------------

Widget list_of(wu_combo *cb) { return cb->list; }

int32_t list_count(wu_combo *cb) {
  int n = 0;
  if (cb->list != nullptr) XtVaGetValues(cb->list, XmNitemCount, &n, nullptr);
  return n;
}

int32_t first_selected(wu_combo *cb) {
  Widget l = cb->list;
  if (l == nullptr) return 0;
  int *pos = nullptr;
  int n = 0;
  const Boolean any = cb->icon_list ? XdIconListGetSelectedPos(l, &pos, &n)
                                    : XmListGetSelectedPos(l, &pos, &n);
  const int32_t first = (any && n > 0) ? pos[0] : 0;
  XtFree(reinterpret_cast<char *>(pos));
  return first;
}

void select_pos(wu_combo *cb, int32_t pos, Boolean notify) {
  if (cb->list == nullptr) return;
  if (cb->icon_list) XdIconListSelectPos(cb->list, pos, notify);
  else XmListSelectPos(cb->list, pos, notify);
}

void deselect_all(wu_combo *cb) {
  if (cb->list == nullptr) return;
  if (cb->icon_list) XdIconListDeselectAll(cb->list);
  else XmListDeselectAllItems(cb->list);
}

void set_top(wu_combo *cb, int32_t pos) {
  if (cb->list == nullptr || pos < 1) return;
  if (cb->icon_list) XdIconListSetTopItemPos(cb->list, pos);
  else XmListSetPos(cb->list, pos);
}

// A copy of the item at a 1-based position, null when there is none.
XmString item_at(wu_combo *cb, int32_t pos) {
  if (cb->list == nullptr || pos < 1 || pos > list_count(cb)) return nullptr;
  if (cb->icon_list) {
    XmString s = nullptr;
    return XdIconListGetText(cb->list, pos - 1, &s) ? s : nullptr;
  }
  XmStringTable items = nullptr;
  XtVaGetValues(cb->list, XmNitems, &items, nullptr);
  return items != nullptr ? XmStringCopy(items[pos - 1]) : nullptr;
}

int32_t item_pos(wu_combo *cb, XmString s) {
  if (cb->list == nullptr) return 0;
  return cb->icon_list ? XdIconListItemPos(cb->list, s) : XmListItemPos(cb->list, s);
}

void add_item(wu_combo *cb, XmString s, int32_t pos) {
  if (cb->icon_list) XdIconListAddItem(cb->list, None, s, 0, pos);
  else XmListAddItemUnselected(cb->list, s, pos);
}

void delete_pos(wu_combo *cb, int32_t pos) {
  if (cb->icon_list) XdIconListDeletePos(cb->list, pos);
  else XmListDeletePos(cb->list, pos);
}

// The list selects the store's first selected item.
void mirror_selection(wu_combo *cb) {
  wu_item_store *s = &cb->store;
  for (int32_t i = 0; i < s->count; ++i)
    if (s->selection[i]) {
      select_pos(cb, i + 1, False);
      break;
    }
}

// The list shows the items of the control's store.
void mirror_store(wu_combo *cb) {
  if (cb->list == nullptr) return;
  wu_item_store *s = &cb->store;
  if (cb->icon_list) {
    XdIconListDeleteAllItems(cb->list);
    for (int32_t i = 0; i < s->count; ++i) XdIconListAddItem(cb->list, None, s->items[i], 0, 0);
  } else {
    XtVaSetValues(cb->list, XmNitems, s->count > 0 ? s->items : nullptr, XmNitemCount, s->count,
                  nullptr);
  }
  mirror_selection(cb);
}

// The store follows the list's selection.
void store_selection(wu_combo *cb, int32_t pos) {
  wu_item_store *s = &cb->store;
  if (!in_pane(cb) || s->selection == nullptr) return;
  std::memset(s->selection, 0, size_t(s->count));
  s->selected = 0;
  if (pos >= 1 && pos <= s->count) {
    s->selection[pos - 1] = 1;
    s->selected = 1;
  }
}

void select_only(wu_combo *cb, int32_t pos) {
  deselect_all(cb);
  if (pos >= 1 && pos <= list_count(cb)) select_pos(cb, pos, False);
  store_selection(cb, pos);
}

// ---- small services -----------------------------------------------------

void put_text_quietly(wu_combo *cb, const char *text);

void note_active(wu_combo *cb) {
  wu_state *state = wu_module();
  if (state == nullptr) return;
  if (state->tip_shell != nullptr) XtPopdown(state->tip_shell);
  state->last_input = cb->text_w;
  if (in_pane(cb)) wutactw(wu_ctl_window(&cb->c), cb->text_w);
}

Position form_x(wu_combo *cb) { return cb->form ? cb->form->core.x : Position(cb->c.x); }
Position form_y(wu_combo *cb) { return cb->form ? cb->form->core.y : Position(cb->c.y); }

void record_text(wu_combo *cb, int32_t code, const char *text, int32_t sent) {
  if (wu_batch_recording() == nullptr) return;
  wu_batch_event r = {};
  r.code = code;
  r.sent = sent;
  wu_rec_set_text(&r, text, int32_t(std::strlen(text)));
  wu_ctl_record_event(&cb->c, &r);
}

void text_changed(Widget, XtPointer, XtPointer);

// ---- posting and popping down --------------------------------------------

void wumcbbp(Widget, XtPointer client, XEvent *, Boolean *);
void wumcbme(Widget, XtPointer client, XEvent *, Boolean *);
void wumlbke(Widget, XtPointer client, XEvent *, Boolean *);

// Lets the pointer and keyboard go that a posted list holds.  The toolkit
// is told (its records of the grabs are cleared) and the server too: the
// toolkit may already have sent an ungrab of its own stamped with the time
// of an older event (Motif dispatches such events while widgets are
// destroyed), which the server ignores while the toolkit records the
// keyboard as free and sends nothing more.
void ungrab(wu_combo *cb) {
  if (cb->shell == nullptr) return;
  Display *dpy = XtDisplay(cb->shell);
  XtUngrabPointer(cb->shell, CurrentTime);
  if (cb->list != nullptr) XtUngrabKeyboard(cb->list, CurrentTime);
  XUngrabPointer(dpy, CurrentTime);
  XUngrabKeyboard(dpy, CurrentTime);
  // Other clients may take the pointer again at once.
  XFlush(dpy);
}

void remove_posted_handlers(wu_combo *cb) {
  if (cb->shell != nullptr) {
    XtRemoveEventHandler(cb->shell, ButtonPressMask | ButtonReleaseMask, False, wumcbbp, cb);
    XtRemoveEventHandler(cb->shell, EnterWindowMask | LeaveWindowMask, False, wumcbme, cb);
  }
  if (cb->list != nullptr) XtRemoveEventHandler(cb->list, KeyPressMask, False, wumlbke, cb);
}

Cursor grab_cursor() { return devb->cursor[WU_CURSOR_POINTER]; }

void post_list(wu_combo *cb) {
  Widget list = list_of(cb);
  if (list == nullptr || cb->shell == nullptr || cb->text_w == nullptr || !wu_x_ok()) return;
  XtSetSensitive(cb->shell, True);
  XtSetSensitive(list, True);
  Position tx = 0, ty = 0, rx = 0, ry = 0;
  Dimension tw = 0, th = 0, tshadow = 0, aw = 0, ashadow = 0, sh = 0;
  XtVaGetValues(cb->text_w, XmNx, &tx, XmNy, &ty, XmNwidth, &tw, XmNheight, &th,
                XmNshadowThickness, &tshadow, nullptr);
  XtTranslateCoords(cb->text_w, 0, 0, &rx, &ry);
  if (cb->arrow != nullptr)
    XtVaGetValues(cb->arrow, XmNwidth, &aw, XmNshadowThickness, &ashadow, nullptr);
  XtVaGetValues(cb->shell, XmNheight, &sh, nullptr);
  int32_t height = sh > 1 ? sh : kShellCells * devb->cell_height;
  if (cb->icon_list) height = kIconCells * devb->cell_height;
  const int32_t screen_h = HeightOfScreen(XtScreen(cb->text_w));
  int32_t y = ry + th;
  if (y + height > screen_h) y = ry - height;
  const int32_t width = cb->popup_width != 0 ? int32_t(cb->popup_width)
                                             : std::max(1, int32_t(tw) + aw - 2 * ashadow);
  XtVaSetValues(cb->shell, XmNx, Position(rx - tshadow), XmNy, Position(y), XmNwidth,
                Dimension(width), XmNheight, Dimension(std::max(height, 1)), nullptr);
  XtAddEventHandler(cb->shell, ButtonPressMask | ButtonReleaseMask, False, wumcbbp, cb);
  XtAddEventHandler(cb->shell, EnterWindowMask | LeaveWindowMask, False, wumcbme, cb);
  XtInsertEventHandler(list, KeyPressMask, False, wumlbke, cb, XtListHead);
  Widget top = cb->text_w;
  while (top != nullptr && !XtIsShell(top)) top = XtParent(top);
  if (top != nullptr) XtSetKeyboardFocus(top, cb->text_w);
  XtPopup(cb->shell, XtGrabNone);
  XtSetKeyboardFocus(cb->shell, list);
  cb->shown = 1;
  const int pg = XtGrabPointer(cb->shell, False,
                               ButtonPressMask | ButtonReleaseMask | EnterWindowMask |
                                   LeaveWindowMask,
                               GrabModeAsync, GrabModeAsync, None, grab_cursor(), CurrentTime);
  const int kg = pg == GrabSuccess
                     ? XtGrabKeyboard(list, False, GrabModeAsync, GrabModeAsync, CurrentTime)
                     : GrabFrozen;
  if (pg != GrabSuccess || kg != GrabSuccess) {
    // Another client holds the pointer or keyboard: nothing stays posted.
    PopDownComboList(cb);
    return;
  }
  if (first_selected(cb) == 0 && list_count(cb) > 0) {
    set_top(cb, 1);
    select_pos(cb, 1, False);
  }
  if (cb->style != WU_COMBO_DROPDOWN)
    XtVaSetValues(cb->text_w, XmNcursorPositionVisible, False, nullptr);
}

void wumcbpa(Widget, XtPointer client, XtPointer) {
  wu_combo *cb = live(client);
  if (cb != nullptr && !cb->shown) post_list(cb);
}

void wumcbbp(Widget, XtPointer client, XEvent *, Boolean *) {
  wu_combo *cb = live(client);
  if (cb != nullptr) PopDownComboList(cb);
}

void wumcbme(Widget, XtPointer client, XEvent *event, Boolean *) {
  wu_combo *cb = live(client);
  if (cb == nullptr || !cb->shown || event->xcrossing.mode != NotifyNormal) return;
  const int d = event->xcrossing.detail;
  const bool outside = d == NotifyAncestor || d == NotifyVirtual || d == NotifyNonlinear ||
                       d == NotifyNonlinearVirtual;
  const unsigned mask = ButtonPressMask | ButtonReleaseMask | EnterWindowMask | LeaveWindowMask;
  if (event->type == EnterNotify) {
    if (outside)
      XtGrabPointer(cb->shell, True, mask, GrabModeAsync, GrabModeAsync, None, grab_cursor(),
                    CurrentTime);
    if (cb->list != nullptr && !cb->icon_list) XtCallActionProc(cb->list, "ListEnter", event, nullptr, 0);
  } else if (outside) {
    XtGrabPointer(cb->shell, False, mask, GrabModeAsync, GrabModeAsync, None, grab_cursor(),
                  CurrentTime);
  }
}

KeySym virtual_key(XEvent *event) {
  Modifiers mods = 0;
  KeySym sym = NoSymbol;
  XmTranslateKey(event->xkey.display, KeyCode(event->xkey.keycode), event->xkey.state, &mods, &sym);
  return sym;
}

// Moves the selection of the posted list by `delta` rows, keeping it in
// view; the text and the host learn the item when Return takes it.
void browse(wu_combo *cb, int32_t delta) {
  const int32_t count = list_count(cb);
  if (count < 1) return;
  const int32_t first = first_selected(cb);
  const int32_t next = std::min(std::max(first == 0 ? 1 : first + delta, 1), count);
  select_pos(cb, next, False);
  if (cb->icon_list) {
    int top = 1;
    XdIconListGetTopItemPos(cb->list, &top);
    const int visible = std::max(XdIconListVisibleItems(cb->list), 1);
    if (next < top) XdIconListSetTopItemPos(cb->list, next);
    else if (next >= top + visible) XdIconListSetTopItemPos(cb->list, next - visible + 1);
    return;
  }
  XmListSetKbdItemPos(cb->list, next);
  int top = 1, visible = 1;
  XtVaGetValues(cb->list, XmNtopItemPosition, &top, XmNvisibleItemCount, &visible, nullptr);
  if (next < top) XmListSetPos(cb->list, next);
  else if (next >= top + visible) XmListSetBottomPos(cb->list, next);
}

void wumlbke(Widget, XtPointer client, XEvent *event, Boolean *go_on) {
  wu_combo *cb = live(client);
  if (cb == nullptr || !cb->shown) return;
  const KeySym sym = virtual_key(event);
  int visible = 1;
  if (!cb->icon_list) XtVaGetValues(cb->list, XmNvisibleItemCount, &visible, nullptr);
  else visible = XdIconListVisibleItems(cb->list);
  const int32_t page = std::max(visible, 1);
  const int32_t delta = sym == osfXK_Up ? -1 : sym == osfXK_Down ? 1
                        : sym == osfXK_PageUp ? -page : sym == osfXK_PageDown ? page : 0;
  if (delta != 0) {
    browse(cb, delta);
    *go_on = False;
    return;
  }
  if (sym != XK_Return && sym != osfXK_Activate) return;
  *go_on = False;
  // Return takes the item the keys moved to, reported as a selection.
  const int32_t first = first_selected(cb);
  if (first > 0) {
    select_pos(cb, first, True);
    if ((cb = live(client)) == nullptr) return;
  }
  PopDownComboList(cb);
}

void list_action(wu_combo *cb, const char *action, XEvent *event) {
  if (cb->list == nullptr) return;
  if (cb->icon_list) {
    Widget inner = XdIconListGetChild(cb->list, XdICONLIST_LIST);
    if (inner != nullptr) XtCallActionProc(inner, action, event, nullptr, 0);
    return;
  }
  XtCallActionProc(cb->list, action, event, nullptr, 0);
}

void wumcbke(Widget, XtPointer client, XEvent *event, Boolean *) {
  wu_combo *cb = live(client);
  if (cb == nullptr || cb->list == nullptr) return;
  const KeySym sym = virtual_key(event);
  const int32_t first = first_selected(cb);
  if (first > 0 && !cb->icon_list) XmListSetKbdItemPos(cb->list, first);
  if (sym == osfXK_Up) {
    if (first > 0 && list_count(cb) > 1) {
      if (cb->c.procedure == nullptr && first == 1) UpdateText(cb);
      else list_action(cb, "ListPrevItem", event);
    } else if (list_count(cb) > 0) {
      set_top(cb, 1);
      select_pos(cb, 1, True);
    }
  } else if (sym == osfXK_Down) {
    list_action(cb, "ListNextItem", event);
  } else if (sym == osfXK_PageUp) {
    list_action(cb, "ListPrevPage", event);
  } else if (sym == osfXK_PageDown) {
    list_action(cb, "ListNextPage", event);
  } else if (sym == XK_Return) {
    if (cb->shown) PopDownComboList(cb);
  } else if (sym != XK_Tab && sym != osfXK_Left && sym != osfXK_Right &&
             cb->style == WU_COMBO_DROPDOWN && !cb->icon_list) {
    list_action(cb, "ListQuickNavigate", event);
  }
}

// ---- callbacks of the parts ---------------------------------------------

void wumcbls(Widget, XtPointer client, XtPointer call) {
  wu_combo *cb = live(client);
  if (cb == nullptr) return;
  auto *cbs = static_cast<XmListCallbackStruct *>(call);
  XEvent *event = cbs != nullptr ? cbs->event : nullptr;
  cb->in_selection = 1;
  const bool was_posted = cb->shown;
  if (event != nullptr && event->type != KeyPress) PopDownComboList(cb);
  // Keys that browse the posted list leave the text until Return there;
  // the keys of the text itself show the item they moved to.
  const bool by_button = event == nullptr ||
                         ((event->type == ButtonPress || event->type == ButtonRelease) &&
                          event->xbutton.button == Button1);
  const bool by_text_key = event != nullptr && event->type == KeyPress && !was_posted;
  const int32_t first = first_selected(cb);
  if (first > 0 && (by_button || by_text_key)) UpdateText(cb);
  cb->in_selection = 0;
  if (cb->text_w != nullptr) XmTextSetInsertionPosition(cb->text_w, 0);
  const int32_t position = cbs != nullptr ? cbs->item_position : -1;
  // The selected index follows every selection, posted or not.
  if (in_pane(cb)) {
    if (position > 0) cb->selected = position;
    store_selection(cb, position);
  }
  if (!in_pane(cb)) return;
  int32_t sent = 0;
  if (cb->c.procedure != nullptr && (cb->c.event_mask & kEvmSelect)) {
    wu_value *p = wu_ctl_int_params(&cb->c, WU_EV_SELECT, &position, 1);
    sent = wu_ctl_send(&cb->c, WU_EV_SELECT, kEvmSelect, form_x(cb), form_y(cb), p, 1,
                       WU_EV_CTL_POSTED);
    if ((cb = live(client)) == nullptr) return;
  }
  wu_ctl_record(&cb->c, WU_EV_SELECT, first_selected(cb), sent, 0, 0);
}

void wumcbat(Widget w, XtPointer client, XtPointer) {
  wu_combo *cb = live(client);
  if (cb == nullptr) return;
  note_active(cb);
  char *text = XmTextGetString(w);
  const bool empty = text == nullptr || text[0] == '\0';
  if (cb->style == WU_COMBO_DROPDOWN || cb->shown || cb->list == nullptr) {
    XtFree(text);
    return;
  }
  int32_t sent = 0;
  if (cb->c.procedure != nullptr) {
    // Nothing but the item equal to the text stays selected, so that the
    // selected index read after `returnKey` names it.
    deselect_all(cb);
    int32_t pos = 0;
    if (!empty) {
      XmString s = wumcstr(text);
      pos = item_pos(cb, s);
      XmStringFree(s);
      if (pos > 0) select_pos(cb, pos, False);
    }
    store_selection(cb, pos);
    if (in_pane(cb)) cb->selected = pos;
    if (in_pane(cb) && (cb->c.event_mask & kEvmReturn)) {
      sent = wu_ctl_send(&cb->c, WU_EV_RETURNKEY, kEvmReturn, form_x(cb), form_y(cb), nullptr, 0,
                         WU_EV_CTL_POSTED);
      if ((cb = live(client)) == nullptr) {
        XtFree(text);
        return;
      }
    }
  } else if (!empty) {
    XmString s = wumcstr(text);
    if (in_pane(cb)) {
      wu_str_item item = {int32_t(std::strlen(text)), 0, text};
      if (wuxclbx(&cb->c, kLbxInsert, &item, 1, 1) == WU_OK) mirror_store(cb);
    } else if (cb->unique) {
      const int32_t pos = item_pos(cb, s);
      if (pos > 0) delete_pos(cb, pos);
      add_item(cb, s, 1);
    } else {
      XmString first = item_at(cb, 1);
      if (first == nullptr || !XmStringCompare(first, s)) add_item(cb, s, 1);
      if (first != nullptr) XmStringFree(first);
    }
    XmStringFree(s);
    select_only(cb, 1);
    if (in_pane(cb)) {
      cb->selected = 1;
      put_text_quietly(cb, "");
    }
    if (!cb->icon_list) SizePopupList(cb);
  }
  if (in_pane(cb)) record_text(cb, WU_EV_RETURNKEY, text, sent);
  if (!empty && cb->shown) PopDownComboList(cb);
  XtFree(text);
}

void text_changed(Widget w, XtPointer client, XtPointer) {
  wu_combo *cb = live(client);
  if (cb == nullptr) return;
  note_active(cb);
  if (!in_pane(cb)) return;
  int32_t sent = 0;
  const struct {
    int32_t code;
    uint32_t bit;
  } events[] = {{WU_EV_KEY, kEvmKey}, {WU_EV_VALUECHANGED, WU_EVM_VALUECHANGED}};
  for (const auto &ev : events) {
    if (cb->c.procedure == nullptr || !(cb->c.event_mask & ev.bit)) continue;
    if (wu_ctl_send(&cb->c, ev.code, ev.bit, form_x(cb), form_y(cb), nullptr, 0,
                    WU_EV_CTL_POSTED))
      sent = 1;
    if ((cb = live(client)) == nullptr) return;
    char *text = XmTextGetString(w);
    record_text(cb, ev.code, text, sent);
    XtFree(text);
  }
}

// Puts a text into the text widget without a value-changed call.
void put_text_quietly(wu_combo *cb, const char *text) {
  if (cb->text_w == nullptr) return;
  XtRemoveCallback(cb->text_w, XmNvalueChangedCallback, text_changed, cb);
  XmTextSetString(cb->text_w, const_cast<char *>(text));
  XtAddCallback(cb->text_w, XmNvalueChangedCallback, text_changed, cb);
}

void form_destroyed(Widget, XtPointer client, XtPointer) {
  auto *cb = static_cast<wu_combo *>(client);
  if (!wu_reg_has(cb, WU_REG_COMBO)) return;
  if (cb->shown) ungrab(cb);
  cb->form = cb->text_w = cb->arrow = cb->shell = cb->list = nullptr;
  cb->list_copy = cb->hbar = cb->vbar = nullptr;
  cb->w.main = cb->w.outer = nullptr;
  cb->shown = 0;
  // The text copy goes with the widgets it was taken from.
  XtFree(cb->text);
  cb->text = nullptr;
  wu_reg_remove(cb);
}

// A posted list goes down with its combo when that is hidden.
void form_unmapped(Widget, XtPointer client, XEvent *event, Boolean *) {
  wu_combo *cb = live(client);
  if (cb != nullptr && cb->shown && event->type == UnmapNotify) PopDownComboList(cb);
}

// A list posted when its combo goes is popped down and its grabs released.
void list_destroyed(Widget, XtPointer client, XtPointer) {
  auto *cb = static_cast<wu_combo *>(client);
  if (live(cb) == nullptr || !cb->shown) return;
  ungrab(cb);
  cb->shown = 0;
}

// Once per start of the window system: a restart brings a new context.
void register_actions() {
  static XtActionsRec actions[] = {
      {const_cast<char *>("ComboPostList"), wumcba2},
      {const_cast<char *>("ComboHideList"), wumcba1},
  };
  if (_XdFirstOnDisplay(devb->display, actions)) XtAppAddActions(devb->app, actions, XtNumber(actions));
}

wu_status fail_build(wu_combo *cb) {
  if (cb->form != nullptr) XtDestroyWidget(cb->form);
  if (!in_pane(cb)) wu_reg_remove(cb);
  cb->form = cb->text_w = cb->arrow = cb->shell = cb->list = nullptr;
  cb->w.main = cb->w.outer = nullptr;
  return WU_NOTAVAIL;
}

}  // namespace

extern "C" {

char *GetFirstField(const char *text) {
  if (text == nullptr) return copy_n("", 0);
  const char *semi = std::strchr(text, ';');
  return copy_n(text, int32_t(semi != nullptr ? semi - text : std::strlen(text)));
}

void SizePopupList(wu_combo *cb) {
  if (cb->list == nullptr || cb->icon_list) return;
  const int32_t visible = std::min(std::max(list_count(cb), 1), kVisibleMax);
  XFontStruct *f = cb->xfont != nullptr ? cb->xfont : devb->font;
  const int32_t row = (f != nullptr ? f->max_bounds.ascent + f->max_bounds.descent
                                    : devb->cell_height) + kRowPad;
  int32_t height = visible * row;
  if (visible < 6) height += kShortListPad;
  XtVaSetValues(cb->list, XmNheight, Dimension(height), XmNvisibleItemCount, visible, nullptr);
  if (cb->shell != nullptr) XtVaSetValues(cb->shell, XmNheight, Dimension(height), nullptr);
}

void UpdateText(wu_combo *cb) {
  if (cb->text_w == nullptr) return;
  const int32_t first = first_selected(cb);
  char *text = nullptr;
  if (first > 0) {
    XmString s = item_at(cb, first);
    wumgl2r(s, &text);
    if (s != nullptr) XmStringFree(s);
    if (cb->first_field) {
      char *field = GetFirstField(text);
      XtFree(text);
      text = field;
    }
  } else {
    text = copy_n(" ", 1);
  }
  XtFree(cb->text);
  cb->text = copy_n(text, int32_t(std::strlen(text)));
  // A command combo offers no completion for a text taken from its list.
  if (wu_state *state = wu_module())
    if (cb == state->command_combos[0] || cb == state->command_combos[1]) state->command_deleted = 1;
  put_text_quietly(cb, text);
  XmTextSetInsertionPosition(cb->text_w, cb->style == WU_COMBO_DROPDOWN
                                             ? 1
                                             : XmTextGetLastPosition(cb->text_w));
  XtFree(text);
}

void PopDownComboList(wu_combo *cb) {
  if (cb == nullptr) return;
  const bool posted = cb->shown;
  cb->shown = 0;
  bool popped = false;
  if (cb->shell != nullptr && reinterpret_cast<ShellWidget>(cb->shell)->shell.popped_up) {
    XtPopdown(cb->shell);
    popped = true;
  }
  // Only a list that was up holds grabs: any other the module holds stays.
  if (posted || popped) ungrab(cb);
  remove_posted_handlers(cb);
  if (cb->style != WU_COMBO_DROPDOWN && cb->text_w != nullptr)
    XtVaSetValues(cb->text_w, XmNcursorPositionVisible, True, nullptr);
}

void wumcba1(Widget w, XEvent *, String *, Cardinal *) {
  wu_combo *cb = from_widget(w);
  if (cb != nullptr) PopDownComboList(cb);
}

void wumcba2(Widget w, XEvent *, String *, Cardinal *) {
  wu_combo *cb = from_widget(w);
  if (cb == nullptr || cb->list == nullptr || cb->shown) return;
  if (list_count(cb) > 0) {
    set_top(cb, 1);
    select_pos(cb, 1, False);
    if (cb->icon_list) XdIconListDeselectPos(cb->list, 1);
    else XmListDeselectPos(cb->list, 1);
  }
  XFlush(devb->display);
  post_list(cb);
}

wu_status wutgcbo(Widget parent, wu_combo *cb) {
  if (cb == nullptr || parent == nullptr || !wu_x_ok()) return WU_NOTAVAIL;
  const bool pane = in_pane(cb);
  if (!pane && !wu_reg_has(cb, WU_REG_COMBO) && wu_reg_add(cb, WU_REG_COMBO) != WU_OK)
    return WU_NOTAVAIL;
  cb->form = nullptr;
  wu_ctl_colours c3, c5;
  wu_ctl_class_colours(wu_ctl_window(&cb->c), &c5);
  c3 = c5;
  if (wuwgpmc != nullptr) wuwgpmc(wu_ctl_window(&cb->c), 3, &c3);
  register_actions();
  static XtTranslations keys = XtParseTranslationTable(kComboKeys);
  static XtTranslations list_keys = XtParseTranslationTable(kListKeys);
  const Pixel bg = cb->c.background ? Pixel(cb->c.background->pixel) : c5.background;
  const Pixel fg = cb->c.foreground ? Pixel(cb->c.foreground->pixel) : c5.foreground;

  // The form.
  Arg a[24];
  Cardinal n = 0;
  if (cb->c.conform_size) cb->c.height = tall_height(cb) + 6;
  n = wu_ctl_visual_args(a, n);
  XtSetArg(a[n], XmNbackground, c3.background); ++n;
  XtSetArg(a[n], XmNforeground, c3.foreground); ++n;
  XtSetArg(a[n], XmNuserData, cb); ++n;
  XtSetArg(a[n], XmNsensitive, (cb->c.flags & WU_CTL_GRAYED) ? False : True); ++n;
  if (cb->c.height > 0) { XtSetArg(a[n], XmNheight, Dimension(cb->c.height)); ++n; }
  if (pane) n = Cardinal(wuwswvs(&cb->c, nullptr, a, int32_t(n)));
  cb->form = XtCreateWidget("ComboForm", xmFormWidgetClass, parent, a, n);
  if (cb->form == nullptr) return fail_build(cb);
  XtAddCallback(cb->form, XmNdestroyCallback, form_destroyed, cb);
  XtAddEventHandler(cb->form, StructureNotifyMask, False, form_unmapped, cb);
  if (pane && wutaddt != nullptr) wutaddt(cb->form);

  // The text.
  n = 0;
  n = wu_ctl_visual_args(a, n);
  XtSetArg(a[n], XmNbackground, bg); ++n;
  XtSetArg(a[n], XmNforeground, fg); ++n;
  XtSetArg(a[n], XmNfontList, font_list(cb)); ++n;
  XtSetArg(a[n], XmNuserData, cb); ++n;
  const bool editable = cb->style != WU_COMBO_DROPDOWN;
  XtSetArg(a[n], XmNeditable, Boolean(editable)); ++n;
  XtSetArg(a[n], XmNcursorPositionVisible, Boolean(editable)); ++n;
  if (!editable) { XtSetArg(a[n], XmNverifyBell, False); ++n; }
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNrightOffset, kArrowOffset); ++n;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  if (pane) { XtSetArg(a[n], XmNhighlightThickness, Dimension(0)); ++n; }
  XtSetArg(a[n], XmNmaxLength, int(cb->max_chars != 0 ? cb->max_chars : WU_COMBO_MAX_CHARS)); ++n;
  if (cb->c.height > 0) { XtSetArg(a[n], XmNheight, Dimension(cb->c.height)); ++n; }
  if (cb->c.width > 0) { XtSetArg(a[n], XmNwidth, Dimension(cb->c.width)); ++n; }
  XtSetArg(a[n], XmNshadowThickness, Dimension(1)); ++n;
  if (pane) { XtSetArg(a[n], XmNmarginHeight, Dimension(kPaneMarginHeight)); ++n; }
  if (cb->text != nullptr) { XtSetArg(a[n], XmNvalue, cb->text); ++n; }
  XtSetArg(a[n], XmNcursorPosition, XmTextPosition(cb->cursor)); ++n;
  XtSetArg(a[n], XmNeditMode, XmSINGLE_LINE_EDIT); ++n;
  cb->text_w = XtCreateWidget("ComboText", xmTextWidgetClass, cb->form, a, n);
  if (cb->text_w == nullptr) return fail_build(cb);
  cb->w.main = cb->text_w;
  cb->w.outer = cb->form;
  if (pane) {
    XtInsertEventHandler(cb->text_w, FocusChangeMask, False, wuwsbfo, cb, XtListHead);
    if (!devb->motifres.native_text_translations && wutaddt != nullptr) wutaddt(cb->text_w);
    wutmnrq(cb->text_w, &cb->c);
    // The window's text keys send Return to the window; here it activates
    // the text, which adds it to the list or reports `returnKey`.
    static XtTranslations activate = XtParseTranslationTable(
        "<Key>osfActivate: activate()\n<Key>Return: activate()\n<Key>KP_Enter: activate()");
    XtOverrideTranslations(cb->text_w, activate);
  }
  if (cb->popup_xlate && devb->popup_translation != nullptr)
    XtOverrideTranslations(cb->text_w, devb->popup_translation);
  XtFree(cb->text);
  cb->text = nullptr;
  XtAddCallback(cb->text_w, XmNactivateCallback, wumcbat, cb);
  XtAddCallback(cb->text_w, XmNvalueChangedCallback, text_changed, cb);
  XtManageChild(cb->text_w);
  XtOverrideTranslations(cb->text_w, keys);
  Dimension th = 0, hl = 0;
  XtVaGetValues(cb->text_w, XmNheight, &th, XmNhighlightThickness, &hl, nullptr);
  if (cb->error_on) XtVaSetValues(cb->text_w, XmNforeground, devb->red_foreground, nullptr);
  XtAddEventHandler(cb->text_w, KeyPressMask, False, wumcbke, cb);

  // The arrow.
  n = 0;
  n = wu_ctl_visual_args(a, n);
  XtSetArg(a[n], XmNbackground, c3.background); ++n;
  XtSetArg(a[n], XmNforeground, c3.foreground); ++n;
  XtSetArg(a[n], XmNuserData, cb); ++n;
  XtSetArg(a[n], XmNleftAttachment, XmATTACH_WIDGET); ++n;
  XtSetArg(a[n], XmNleftWidget, cb->text_w); ++n;
  XtSetArg(a[n], XmNrightAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNtopAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNtopOffset, int(hl)); ++n;
  XtSetArg(a[n], XmNbottomAttachment, XmATTACH_FORM); ++n;
  XtSetArg(a[n], XmNbottomOffset, int(hl)); ++n;
  XtSetArg(a[n], XmNheight, Dimension(std::max(1, int(th) - 2 * int(hl)))); ++n;
  XtSetArg(a[n], XmNarrowDirection, XmARROW_DOWN); ++n;
  XtSetArg(a[n], XmNmultiClick, XmMULTICLICK_DISCARD); ++n;
  XtSetArg(a[n], XmNhighlightThickness, Dimension(0)); ++n;
  XtSetArg(a[n], XmNtraversalOn, False); ++n;
  cb->arrow = XtCreateWidget("ComboArrow", xmArrowButtonWidgetClass, cb->form, a, n);
  if (cb->arrow == nullptr) return fail_build(cb);
  if (pane) {
    if (wutaddt != nullptr) wutaddt(cb->arrow);
    wutmnrq(cb->arrow, &cb->c);
  }
  if (cb->popup_xlate && devb->popup_translation != nullptr)
    XtOverrideTranslations(cb->arrow, devb->popup_translation);
  if (pane && wuwtlwn != nullptr)
    XtAddEventHandler(cb->arrow, EnterWindowMask | LeaveWindowMask, False, wuwtlwn, &cb->c);
  XtAddCallback(cb->arrow, XmNactivateCallback, wumcbpa, cb);
  XtManageChild(cb->arrow);

  // The popup shell.
  n = 0;
  n = wu_ctl_visual_args(a, n);
  XtSetArg(a[n], XmNbackground, bg); ++n;
  XtSetArg(a[n], XmNforeground, fg); ++n;
  XtSetArg(a[n], XmNuserData, cb); ++n;
  if (pane) n = Cardinal(wuwswvs(&cb->c, nullptr, a, int32_t(n)));
  cb->shell = XtCreatePopupShell("ListShell", overrideShellWidgetClass, cb->form, a, n);
  if (cb->shell == nullptr) return fail_build(cb);
  if (cb->icon_list) {
    // The icon list lays itself out once its shell was realised and mapped.
    Widget kludge = XtVaCreateManagedWidget("kludge", xmFormWidgetClass, cb->shell, XmNwidth,
                                            Dimension(2), XmNheight, Dimension(2), nullptr);
    XtVaSetValues(cb->shell, XmNx, Position(2048), XmNy, Position(2048), nullptr);
    XtPopup(cb->shell, XtGrabNone);
    XtPopdown(cb->shell);
    XtDestroyWidget(kludge);
  }

  // The list.
  n = 0;
  n = wu_ctl_visual_args(a, n);
  XtSetArg(a[n], XmNbackground, bg); ++n;
  XtSetArg(a[n], XmNforeground, fg); ++n;
  XtSetArg(a[n], XmNuserData, cb); ++n;
  if (!pane && cb->item_count > 0 && cb->items != nullptr && !cb->icon_list) {
    XtSetArg(a[n], XmNitems, cb->items); ++n;
    XtSetArg(a[n], XmNitemCount, cb->item_count); ++n;
  }
  // In a pane the list is made with the store's items.
  const bool store_items = pane && !cb->icon_list && cb->store.count > 0;
  if (store_items) {
    XtSetArg(a[n], XmNitems, cb->store.items); ++n;
    XtSetArg(a[n], XmNitemCount, cb->store.count); ++n;
  }
  if (cb->c.procedure == nullptr) { XtSetArg(a[n], XmNvisibleItemCount, kVisibleMax); ++n; }
  if (cb->c.font_list != nullptr) { XtSetArg(a[n], XmNfontList, cb->c.font_list); ++n; }
  XtSetArg(a[n], XmNlistMarginHeight, Dimension(1)); ++n;
  XtSetArg(a[n], XmNshadowThickness, Dimension(2)); ++n;
  XtSetArg(a[n], XmNlistSpacing, Dimension(0)); ++n;
  XtSetArg(a[n], XmNhighlightOnEnter, True); ++n;
  XtSetArg(a[n], XmNselectionPolicy, XmBROWSE_SELECT); ++n;
  cb->list = cb->icon_list ? XdCreateScrolledIconList(cb->shell, const_cast<char *>("ComboList"), a, n)
                           : XmCreateScrolledList(cb->shell, const_cast<char *>("ComboList"), a, n);
  if (cb->list == nullptr) return fail_build(cb);
  cb->list_copy = cb->list;
  if (cb->icon_list) {
    cb->hbar = XdIconListGetChild(cb->list, XdICONLIST_HSCROLLBAR);
    cb->vbar = XdIconListGetChild(cb->list, XdICONLIST_VSCROLLBAR);
    if (!pane)
      for (int32_t i = 0; i < cb->item_count && cb->items != nullptr; ++i)
        XdIconListAddItem(cb->list, None, cb->items[i], 0, 0);
  } else {
    XtVaGetValues(XtParent(cb->list), XmNhorizontalScrollBar, &cb->hbar, XmNverticalScrollBar,
                  &cb->vbar, nullptr);
    XtOverrideTranslations(cb->list, list_keys);
  }
  if (pane) {
    if (store_items) mirror_selection(cb);
    else mirror_store(cb);
    if (wumrdnd != nullptr && wuwidrg != nullptr) {
      wu_dnd_site *site = wumrdnd(cb->list);
      if (site != nullptr) wuwidrg(cb->list, site);
    }
  }
  XtAddCallback(cb->list, XmNbrowseSelectionCallback, wumcbls, cb);
  XtAddCallback(cb->list, XmNdestroyCallback, list_destroyed, cb);
  XtManageChild(cb->list);
  if (!cb->icon_list) {
    if (cb->c.procedure == nullptr) {
      Dimension lh = 0;
      XtVaGetValues(XtParent(cb->list), XmNheight, &lh, nullptr);
      XtVaSetValues(cb->shell, XmNheight, lh, nullptr);
    } else {
      SizePopupList(cb);
    }
  }

  const int32_t count = list_count(cb);
  if (cb->selected >= 1 && cb->selected <= count) {
    select_only(cb, cb->selected);
    UpdateText(cb);
    XmTextSetInsertionPosition(cb->text_w, std::min<XmTextPosition>(
                                               cb->cursor, XmTextGetLastPosition(cb->text_w)));
  } else if (count > 0) {
    deselect_all(cb);
  }
  if (pane && cb->c.procedure != nullptr && cb->c.conform_size &&
      (cb->c.event_mask & kEvmConform))
    wu_ctl_send(&cb->c, WU_EV_CONFORMSIZE, kEvmConform, form_x(cb), form_y(cb), nullptr, 0,
                WU_EV_CTL_POSTED);
  return WU_OK;
}

}  // extern "C"

// ---- the catalogue control ------------------------------------------------

namespace {

bool realised(wu_combo *cb) {
  const wu_pane *p = cb->c.pane;
  return p != nullptr && p->ext != nullptr && (p->ext->flags & WU_PEXT_REALIZED) &&
         p->ext->widget != nullptr && wu_x_ok();
}

// A host list of strings: a positive count needs items, each text its bytes.
bool host_items_ok(const wu_value *v) {
  if (v->value < 0 || v->value > kMaxItems || (v->value > 0 && v->pointer == nullptr)) return false;
  const auto *items = static_cast<const wu_str_item *>(v->pointer);
  for (int32_t i = 0; i < v->value; ++i)
    if (items[i].length < 0 || (items[i].length > 0 && items[i].text == nullptr)) return false;
  return true;
}

bool host_text_ok(const wu_value *v) {
  return v->value >= 0 && (v->value == 0 || v->pointer != nullptr);
}

// True when the store holds exactly these items, byte for byte.
bool same_items(wu_combo *cb, const wu_str_item *items, int32_t count) {
  wu_item_store *s = &cb->store;
  if (s->count != count) return false;
  for (int32_t i = 0; i < count; ++i) {
    char *have = wumgstr(s->items[i]);
    const int32_t n = std::min(items[i].length, WU_COMBO_ITEM_MAX);
    const std::string want = n > 0 ? std::string(items[i].text, size_t(n)) : std::string(" ");
    const bool eq = have != nullptr && want == have;
    XtFree(have);
    if (!eq) return false;
  }
  return true;
}

// Inserts host items at a position, each cut to the longest item kept.
wu_status insert_items(wu_combo *cb, const wu_str_item *items, int32_t count, int32_t position) {
  if (count < 1) return WU_OK;
  wu_str_item *cut = reinterpret_cast<wu_str_item *>(XtCalloc(Cardinal(count), sizeof(wu_str_item)));
  for (int32_t i = 0; i < count; ++i) {
    cut[i] = items[i];
    cut[i].length = std::min(items[i].length, WU_COMBO_ITEM_MAX);
  }
  const wu_status st = wuxclbx(&cb->c, kLbxInsert, cut, position, count);
  XtFree(reinterpret_cast<char *>(cut));
  return st;
}

void delete_all(wu_combo *cb) {
  if (cb->store.count > 0) wuxclbx(&cb->c, kLbxDelete, nullptr, 1, cb->store.count);
}

// After items change: the list shows the store, sized again.
void items_changed(wu_combo *cb) {
  mirror_store(cb);
  SizePopupList(cb);
}

void apply_to_parts(wu_combo *cb, const char *resource, Pixel pixel) {
  Widget parts[] = {cb->text_w, cb->list, cb->shell, cb->hbar, cb->vbar};
  for (Widget w : parts)
    if (w != nullptr) XtVaSetValues(w, resource, pixel, nullptr);
  if (cb->icon_list && cb->list != nullptr)
    for (int child : {XdICONLIST_ICONS, XdICONLIST_LIST}) {
      Widget w = XdIconListGetChild(cb->list, child);
      if (w != nullptr) XtVaSetValues(w, resource, pixel, nullptr);
    }
}

void apply_colour(wu_combo *cb, bool foreground) {
  wu_ctl_colours set;
  colours(cb, &set);
  if (foreground) {
    apply_to_parts(cb, XmNforeground, cb->c.foreground ? Pixel(cb->c.foreground->pixel)
                                                       : set.foreground);
    if (cb->error_on && cb->text_w) XtVaSetValues(cb->text_w, XmNforeground, devb->red_foreground, nullptr);
    return;
  }
  const Pixel bg = cb->c.background ? Pixel(cb->c.background->pixel) : set.background;
  Pixel fg = 0, top = 0, bottom = 0, select = 0;
  XmGetColors(XtScreen(devb->toplevel), devb->colormap, bg, &fg, &top, &bottom, &select);
  apply_to_parts(cb, XmNbackground, bg);
  apply_to_parts(cb, XmNtopShadowColor, top);
  apply_to_parts(cb, XmNbottomShadowColor, bottom);
  Widget bars[] = {cb->hbar, cb->vbar};
  for (Widget w : bars)
    if (w != nullptr) XtVaSetValues(w, XmNtroughColor, select, nullptr);
}

bool set_host_font(wu_combo *cb, void *record, XmFontList *old_out) {
  if (!wu_ctl_host_font(&cb->c, record, &cb->host_font, &cb->own_font, old_out)) return false;
  cb->xfont = record ? *static_cast<XFontStruct **>(record) : nullptr;
  return true;
}

wu_status ComboQwat(wu_control *c, wu_value *entries, int32_t count);
wu_status ComboMethods(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count);
wu_status ComboCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count);
wu_status ComboReplay(wu_ctl_handle *h, const wu_batch_event *r);

// Drag and drop work on the combo box's text as on an entry field's.
void install_slots(wu_control *c) {
  wu_ctl_install(c, {wumswcb, ComboQwat, ComboMethods, ComboCleanup, wutext::TextUnregisterDND,
                     wutext::TextRegisterDND, wutext::TextQueryDND, wutext::TextSetDND,
                     ComboReplay});
}

// Selects a position without events, shows it in the text and scrolls a
// long list to it.
void show_selected(wu_combo *cb) {
  if (cb->list == nullptr) return;
  const uint32_t mask = cb->c.event_mask;
  cb->c.event_mask = 0;
  if (cb->selected > 0 && cb->selected <= list_count(cb)) {
    select_only(cb, cb->selected);
    if (list_count(cb) > kVisibleMax) set_top(cb, cb->selected);
    UpdateText(cb);
  } else if (cb->selected == 0 && cb->style == WU_COMBO_EDITABLE) {
    select_only(cb, 0);
    UpdateText(cb);
  }
  cb->c.event_mask = mask;
}

int32_t combo_height(wu_combo *cb) {
  Dimension shadow = 0;
  XtVaGetValues(cb->text_w, XmNshadowThickness, &shadow, nullptr);
  return 2 * shadow + tall_height(cb) + kRowPad;
}

wu_status ComboQwat(wu_control *c, wu_value *entries, int32_t count) {
  wu_combo *cb = rec(c);
  wu_status result = WU_OK;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; result = WU_ENTRY_STATUS; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_FOREGROUND: case WU_A_BACKGROUND:
      case WU_A_VISIBLE: case WU_A_CLASSTYPE: case WU_A_TOOLTIP: case WU_A_FONT: case WU_A_EVENTS:
      case WU_A_CONTROLID: case WU_A_CLICKONLY: case WU_A_CONFORMSIZE: case WU_A_VIRTUALKEYS:
      case WU_A_EVENTPROC:
        break;
      case WU_A_ITEMS: {
        // The previous answer goes first; the new one is the control's
        // until the clean-up or the next query.
        for (int32_t k = 0; k < cb->query_count; ++k) XtFree(const_cast<char *>(cb->query_items[k].text));
        XtFree(reinterpret_cast<char *>(cb->query_items));
        cb->query_items = nullptr;
        cb->query_count = 0;
        const int32_t n = cb->store.count;
        if (n > 0) {
          cb->query_items = reinterpret_cast<wu_str_item *>(XtCalloc(Cardinal(n), sizeof(wu_str_item)));
          for (int32_t k = 0; k < n; ++k) {
            char *t = nullptr;
            wumgl2r(cb->store.items[k], &t);
            cb->query_items[k].text = t;
            cb->query_items[k].length = int32_t(std::strlen(t));
          }
          cb->query_count = n;
        }
        v->pointer = cb->query_items;
        v->value = n;
        v->type = WU_VT_STRLIST;
        v->status = WU_ALLOCATED;
        break;
      }
      case WU_A_HPOS: case WU_A_VPOS: case WU_A_WIDTH: case WU_A_HEIGHT:
        v->value = wu_ctl_geometry(c, cb->form, v->code);
        break;
      case WU_A_TEXT: {
        if (cb->text_w != nullptr) {
          XtFree(cb->text);
          cb->text = XmTextGetString(cb->text_w);
        }
        v->pointer = cb->text != nullptr ? cb->text : const_cast<char *>("");
        v->value = cb->text != nullptr ? int32_t(std::strlen(cb->text)) : 0;
        v->type = WU_VT_STRING;
        break;
      }
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_SELECTEDINDEX:
        v->value = cb->list != nullptr ? first_selected(cb) : cb->selected;
        break;
      case WU_A_COMBOSTYLE: v->value = cb->style == WU_COMBO_EDITABLE ? 1 : 0; break;
      case WU_A_MAXCHARS: v->value = int32_t(cb->max_chars); break;
      case WU_A_ALLOWNEW: v->value = int32_t(cb->allow_new & 0xffff); break;
      case WU_A_ERRORON: v->value = int32_t(cb->error_on); break;
      case WU_A_CURSORPOS:
        if (cb->style == WU_COMBO_DROPDOWN) { v->status = WU_E_NO_PART; break; }
        if (cb->text_w != nullptr) cb->cursor = uint32_t(XmTextGetInsertionPosition(cb->text_w));
        v->value = int32_t(cb->cursor) + 1;
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
    if (v->status != WU_OK) result = WU_ENTRY_STATUS;
  }
  return result;
}

wu_status ComboCleanup(wu_ctl_handle *h, wu_value *entries, int32_t count) {
  wu_control *c = h ? h->control : nullptr;
  if (c == nullptr || c->kind != WU_MT_COMBOBOX) return WU_OK;
  wu_combo *cb = rec(c);
  for (int32_t i = 0; i < count && entries != nullptr; ++i) {
    wu_value *v = &entries[i];
    // Item answers are the control's own, the latest freed below and the
    // earlier ones by the query that replaced them.
    if (v->status == WU_ALLOCATED && v->code == WU_A_ITEMS && v->type == WU_VT_STRLIST) {
      v->pointer = nullptr;
      v->value = 0;
      v->status = WU_OK;
    }
  }
  const bool releasing = entries == nullptr || count == 0;
  if (releasing || cb->query_items != nullptr) {
    for (int32_t k = 0; k < cb->query_count; ++k) XtFree(const_cast<char *>(cb->query_items[k].text));
    XtFree(reinterpret_cast<char *>(cb->query_items));
    cb->query_items = nullptr;
    cb->query_count = 0;
  }
  if (releasing && !wu_ctl_live(c)) {
    if (cb->shown) PopDownComboList(cb);
    XtFree(cb->text);
    cb->text = nullptr;
    if (cb->store.count > 0 || cb->store.capacity > 0) {
      // The store's tables live in the window pool.
      wu_item_store *s = &cb->store;
      for (int32_t i = 0; i < s->count; ++i) XmStringFree(s->items[i]);
      wu_window *w = wu_ctl_window(c);
      if (w != nullptr && w->pool != nullptr) {
        vmfree_handler(w->pool, s->items, s->capacity * int32_t(sizeof(XmString)), 0);
        vmfree_handler(w->pool, s->selection, s->capacity, 0);
      }
      *s = wu_item_store{};
    }
    wutext::FreeFontList(cb->own_font);
    cb->own_font = nullptr;
    c->font_list = nullptr;
  }
  return WU_OK;
}

wu_status ComboMethods(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_COMBOBOX) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && params == nullptr)) return WU_NOTAVAIL;
  wu_combo *cb = rec(c);
  Widget t = cb->text_w;
  const Time now = XtLastTimestampProcessed(devb->display);
  auto reselect = [cb]() {
    if (cb->store.selected > 0) {
      for (int32_t i = 0; i < cb->store.count; ++i)
        if (cb->store.selection[i]) { cb->selected = i + 1; break; }
    }
  };
  switch (method) {
    case WU_M_ADD: {
      if (count < 2) return WU_NOTAVAIL;
      if (!host_items_ok(&params[1])) { params[1].status = WU_E_RANGE; return WU_ENTRY_STATUS; }
      const auto *items = static_cast<const wu_str_item *>(params[1].pointer);
      const wu_status st = insert_items(cb, items, params[1].value, params[0].value);
      if (st != WU_OK) return st;
      reselect();
      items_changed(cb);
      return WU_OK;
    }
    case WU_M_DELETE: {
      if (count < 1) return WU_NOTAVAIL;
      const wu_status st = wuxclbx(c, kLbxDelete, nullptr, params[0].value, 1);
      if (st != WU_OK) return st;
      reselect();
      items_changed(cb);
      return WU_OK;
    }
    case WU_M_DELETEALL:
      delete_all(cb);
      put_text_quietly(cb, "");
      cb->selected = 0;
      items_changed(cb);
      return WU_OK;
    case WU_M_ADDINPUTTEXT: {
      if (t == nullptr) return WU_NOTAVAIL;
      char *text = XmTextGetString(t);
      wu_str_item item = {int32_t(std::strlen(text)), 0, text};
      const wu_status st = insert_items(cb, &item, 1, 1);
      XtFree(text);
      if (st != WU_OK) return st;
      items_changed(cb);
      select_only(cb, 1);
      cb->selected = 1;
      put_text_quietly(cb, "");
      return WU_OK;
    }
    case WU_M_FIND: case WU_M_FINDEXACT: {
      if (count < 2) return WU_NOTAVAIL;
      if (!host_text_ok(&params[1])) { params[1].status = WU_E_RANGE; return WU_ENTRY_STATUS; }
      const int32_t n = cb->store.count;
      if (n == 0) { params[0].value = 0; return WU_OK; }
      const char *key = static_cast<const char *>(params[1].pointer);
      const int32_t klen = params[1].value;
      int32_t start = std::max(params[0].value, 0);
      if (start == 0 || start > n) start = 1;
      int32_t found = 0;
      for (int32_t k = 0; k < n && found == 0; ++k) {
        const int32_t pos = (start - 1 + k) % n + 1;
        char *item = wumgstr(cb->store.items[pos - 1]);
        const int32_t ilen = item ? int32_t(std::strlen(item)) : 0;
        // An item shorter than the search text cannot match.
        const bool match = ilen >= klen && wzbcup(item, key, klen) == 0 &&
                           (method == WU_M_FIND || ilen == klen);
        XtFree(item);
        if (match) found = pos;
      }
      params[0].value = found;
      return WU_OK;
    }
    case WU_M_GETMARK: {
      if (count < 2 || t == nullptr) return WU_NOTAVAIL;
      XmTextPosition l = 0, r = 0;
      if (XmTextGetSelectionPosition(t, &l, &r)) {
        params[0].value = int32_t(l) + 1;
        params[1].value = int32_t(r) + 1;
      } else {
        params[0].value = params[1].value = 0;
      }
      return WU_OK;
    }
    case WU_M_SETMARK: {
      if (cb->style == WU_COMBO_DROPDOWN) return WU_UNSUPPORTED;
      if (count < 2 || t == nullptr) return WU_NOTAVAIL;
      if (params[0].value < 0) { params[0].status = WU_E_RANGE; return WU_NOTAVAIL; }
      const XmTextPosition last = XmTextGetLastPosition(t);
      XmTextPosition start = params[0].value <= 1 ? 0 : params[0].value - 1;
      XmTextPosition end = params[1].value == -1 ? last : params[1].value - 1;
      start = std::min(start, last);
      end = std::max(start, std::min(end, last));
      XmTextSetSelection(t, start, end, now);
      return WU_OK;
    }
    case WU_M_CLEARMARK:
      if (cb->style == WU_COMBO_DROPDOWN) return WU_UNSUPPORTED;
      if (t == nullptr) return WU_NOTAVAIL;
      XmTextClearSelection(t, now);
      return WU_OK;
    case WU_M_SETCURSORPOS:
      if (count < 1 || t == nullptr) return WU_NOTAVAIL;
      if (params[0].value < 1) { params[0].status = WU_E_RANGE; return WU_NOTAVAIL; }
      cb->cursor = uint32_t(params[0].value - 1);
      XmTextSetInsertionPosition(t, std::min<XmTextPosition>(cb->cursor, XmTextGetLastPosition(t)));
      return WU_OK;
    default:
      return WU_NOTAVAIL;
  }
}

wu_status ComboReplay(wu_ctl_handle *h, const wu_batch_event *r) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || c->kind != WU_MT_COMBOBOX || r == nullptr) return WU_NOTAVAIL;
  wu_combo *cb = rec(c);
  wu_value *params = nullptr;
  int32_t n = 0;
  switch (r->code) {
    case WU_EV_SELECT: {
      const int32_t pos = r->value1;
      if (cb->list != nullptr) {
        select_only(cb, pos);
        cb->selected = pos;
        if (first_selected(cb) > 0) {
          UpdateText(cb);
        }
      }
      if (r->sent) {
        params = wu_ctl_int_params(c, WU_EV_SELECT, &pos, 1);
        n = 1;
      }
      break;
    }
    case WU_EV_KEY: case WU_EV_RETURNKEY: case WU_EV_VALUECHANGED: {
      int32_t len = 0;
      const char *text = wu_rec_text(r, &len);
      if (cb->text_w != nullptr) {
        char *copy = copy_n(text, std::min(std::max(len, 0), kCallMaxText));
        put_text_quietly(cb, copy);
        XtFree(copy);
      }
      break;
    }
    default:
      return wu_ctl_replay_passed(c, r);
  }
  if (r->sent) wu_ctl_send(c, r->code, 0, c->x, c->y, params, n, WU_EV_CTL_POSTED);
  return WU_OK;
}

}  // namespace

extern "C" {

wu_status wu_cbx_put_text(wu_control *c, const char *text) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_COMBOBOX) return WU_NOTAVAIL;
  wu_combo *cb = reinterpret_cast<wu_combo *>(c);
  const int32_t n = text != nullptr ? int32_t(strnlen(text, size_t(WU_COMBO_ITEM_MAX))) : 0;
  char *t = copy_n(text != nullptr ? text : "", n);
  if (cb->text_w == nullptr) {
    // Before the widgets exist the text waits as the initial text.
    XtFree(cb->text);
    cb->text = t;
    cb->selected = 0;
    return WU_OK;
  }
  put_text_quietly(cb, t);
  XtFree(t);
  XmTextSetInsertionPosition(cb->text_w, XmTextGetLastPosition(cb->text_w));
  return WU_OK;
}

wu_status wumswcb(wu_control *c, wu_value *entries, int32_t count) {
  if (!wu_ctl_live(c) || c->kind != WU_MT_COMBOBOX) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && entries == nullptr)) return WU_NOTAVAIL;
  wu_combo *cb = rec(c);
  cb->popup_xlate = 1;
  bool font_changed = false, height_given = false;
  for (int32_t i = 0; i < count; ++i) {
    wu_value *v = &entries[i];
    const int32_t val16 = v->value & 0xffff;
    if (v->code < 0 || v->code > kLastCode) { v->status = WU_E_NOT_HANDLED; continue; }
    switch (v->code) {
      case WU_A_ENABLED: case WU_A_USERDATA: case WU_A_VISIBLE: case WU_A_CLASSTYPE:
      case WU_A_TOOLTIP: case WU_A_EVENTS: case WU_A_CONTROLID: case WU_A_CLICKONLY:
      case WU_A_VIRTUALKEYS: case WU_A_EVENTPROC:
        break;
      case WU_A_HELPTEXT: case WU_A_MINCHAR: case WU_A_TEXTORIENT:
        v->status = WU_UNSUPPORTED;
        break;
      case WU_A_ITEMS: {
        if (!host_items_ok(v)) { v->status = WU_E_RANGE; break; }
        const auto *items = static_cast<const wu_str_item *>(v->pointer);
        if (same_items(cb, items, v->value)) break;
        delete_all(cb);
        if (insert_items(cb, items, v->value, 1) != WU_OK) v->status = WU_E_RANGE;
        items_changed(cb);
        break;
      }
      case WU_A_HPOS: case WU_A_VPOS:
        if (v->value < -kMaxPixels - 1 || v->value > kMaxPixels) { v->status = WU_E_RANGE; break; }
        (v->code == WU_A_HPOS ? c->x : c->y) = v->value;
        if (cb->form != nullptr)
          XtVaSetValues(cb->form, v->code == WU_A_HPOS ? XmNx : XmNy, Position(v->value), nullptr);
        break;
      case WU_A_WIDTH:
        if (v->value < 1 || v->value > kMaxPixels) { v->status = WU_E_RANGE; break; }
        c->width = v->value;
        if (cb->form != nullptr) XtVaSetValues(cb->form, XmNwidth, Dimension(c->width), nullptr);
        break;
      case WU_A_HEIGHT: {
        Dimension now = 0;
        if (cb->form != nullptr) XtVaGetValues(cb->form, XmNheight, &now, nullptr);
        if (cb->form != nullptr && v->value == now) break;
        if (c->conform_size) { v->status = WU_E_SIZE_FIXED; break; }
        if (v->value < 1 || v->value > kMaxPixels) { v->status = WU_E_RANGE; break; }
        c->height = v->value;
        height_given = true;
        break;
      }
      case WU_A_FOREGROUND: case WU_A_BACKGROUND:
        if (v->value != 0 && v->pointer == nullptr) { v->status = WU_E_RANGE; break; }
        if (wu_ctl_set_colour(c, v) != WU_OK) { v->status = WU_E_RANGE; break; }
        apply_colour(cb, v->code == WU_A_FOREGROUND);
        break;
      case WU_A_TEXT: {
        if (!host_text_ok(v)) { v->status = WU_E_RANGE; break; }
        char *t = copy_n(static_cast<const char *>(v->pointer), std::min(v->value, WU_COMBO_ITEM_MAX));
        if (cb->text_w != nullptr) {
          put_text_quietly(cb, t);
          XtFree(t);
        } else {
          XtFree(cb->text);
          cb->text = t;
          cb->selected = 0;
        }
        break;
      }
      case WU_A_SELECTEDINDEX:
        // An index past the items is kept as it is (items may follow); it
        // selects nothing while it stays past them.
        if (v->value < 0) { v->status = WU_E_RANGE; break; }
        cb->selected = v->value;
        if (cb->list != nullptr) {
          show_selected(cb);
        } else {
          XtFree(cb->text);
          cb->text = nullptr;
          store_selection(cb, cb->selected);
        }
        break;
      case WU_A_COMBOSTYLE:
        if (cb->form != nullptr) { v->status = WU_E_CREATE_ONLY; break; }
        cb->style = val16 ? WU_COMBO_EDITABLE : WU_COMBO_DROPDOWN;
        break;
      case WU_A_MAXCHARS:
        if (v->value < 1 || v->value > WU_COMBO_ITEM_MAX) { v->status = WU_E_RANGE; break; }
        cb->max_chars = uint32_t(v->value);
        if (cb->text_w != nullptr) XtVaSetValues(cb->text_w, XmNmaxLength, int(v->value), nullptr);
        break;
      case WU_A_ALLOWNEW:
        cb->allow_new = uint32_t(val16);
        break;
      case WU_A_ERRORON:
        cb->error_on = val16 ? 1 : 0;
        if (cb->text_w != nullptr) XtVaSetValues(cb->text_w, XmNforeground, text_foreground(cb), nullptr);
        break;
      case WU_A_FONT: {
        XmFontList old = nullptr;
        if (!set_host_font(cb, v->pointer, &old)) break;
        if (cb->text_w != nullptr && cb->c.font_list != nullptr)
          XtVaSetValues(cb->text_w, XmNfontList, cb->c.font_list, XmNrecomputeSize, False, nullptr);
        if (cb->list != nullptr && cb->c.font_list != nullptr)
          XtVaSetValues(cb->list, XmNfontList, cb->c.font_list, nullptr);
        if (old != nullptr && (cb->text_w == nullptr || cb->c.font_list == nullptr)) {
          if (cb->text_w != nullptr) XtVaSetValues(cb->text_w, XmNfontList, devb->font_list, nullptr);
          if (cb->list != nullptr) XtVaSetValues(cb->list, XmNfontList, devb->font_list, nullptr);
        }
        wutext::FreeFontList(old);
        font_changed = true;
        break;
      }
      case WU_A_CONFORMSIZE:
        c->conform_size = int16_t(val16);
        break;
      case WU_A_CURSORPOS:
        if (cb->style == WU_COMBO_DROPDOWN) { v->status = WU_E_SIZE_FIXED; break; }
        if (v->value < 1) { v->status = WU_E_RANGE; break; }
        cb->cursor = uint32_t(v->value - 1);
        if (cb->text_w != nullptr)
          XmTextSetInsertionPosition(cb->text_w, std::min<XmTextPosition>(
                                                     cb->cursor, XmTextGetLastPosition(cb->text_w)));
        break;
      default:
        v->status = WU_E_NOT_HANDLED;
        break;
    }
  }
  if (realised(cb)) {
    const wu_status st = wuticbo(c);
    if (st != WU_OK) return st;
  }
  if (cb->text_w != nullptr) {
    Dimension hl = 0, th = 0;
    XtVaGetValues(cb->text_w, XmNhighlightThickness, &hl, XmNheight, &th, nullptr);
    if (c->conform_size) {
      const int32_t h = combo_height(cb);
      XtVaSetValues(cb->text_w, XmNheight, Dimension(h), nullptr);
      if (cb->arrow) XtVaSetValues(cb->arrow, XmNheight, Dimension(std::max(1, h - 2 * hl)), nullptr);
      XtVaSetValues(cb->form, XmNheight, Dimension(h), XmNwidth, Dimension(std::max(c->width, 1)), nullptr);
      c->height = h;
      if (h != th && (c->event_mask & kEvmConform))
        wu_ctl_send(c, WU_EV_CONFORMSIZE, kEvmConform, form_x(cb), form_y(cb), nullptr, 0,
                    WU_EV_CTL_POSTED);
    } else if (font_changed) {
      XtVaSetValues(cb->form, XmNwidth, Dimension(std::max(c->width, 1)), nullptr);
      XtVaSetValues(cb->text_w, XmNheight, Dimension(std::max(c->height, 1)), nullptr);
    } else if (height_given) {
      XtVaSetValues(cb->text_w, XmNheight, Dimension(c->height), nullptr);
      if (cb->arrow)
        XtVaSetValues(cb->arrow, XmNheight, Dimension(std::max(1, c->height - 2 * hl)), nullptr);
    }
  }
  return wu_ctl_entries_result(entries, count);
}

wu_status wuticbo(wu_control *c) {
  if (c == nullptr || c->kind != WU_MT_COMBOBOX) return WU_NOTAVAIL;
  wu_combo *cb = rec(c);
  if (!realised(cb)) return WU_NOTAVAIL;
  const bool first = cb->built == nullptr;
  if (first) {
    const wu_status st = wutgcbo(static_cast<Widget>(c->pane->ext->widget), cb);
    if (st != WU_OK) return st;
    // The build may have sent `conformSize`, and the host may have let go.
    if (!wu_ctl_live(c)) return WU_NOTAVAIL;
    cb->built = cb->list;
  }
  install_slots(c);
  Arg a[4];
  Cardinal n = 0;
  XtSetArg(a[n], XmNx, Position(c->x)); ++n;
  XtSetArg(a[n], XmNy, Position(c->y)); ++n;
  XtSetArg(a[n], XmNwidth, Dimension(std::max(c->width, 1))); ++n;
  if (c->height > 0) { XtSetArg(a[n], XmNheight, Dimension(c->height)); ++n; }
  XtSetValues(cb->form, a, n);
  if (c->flags & WU_CTL_HIDDEN) XtSetMappedWhenManaged(cb->form, False);
  XtManageChild(cb->form);
  Dimension h = 0;
  XtVaGetValues(cb->form, XmNheight, &h, nullptr);
  c->height = h;
  if (!(c->flags & WU_CTL_HIDDEN)) c->flags |= WU_CTL_SHOWN;
  if (first && wuwtlwn != nullptr)
    XtAddEventHandler(cb->text_w, EnterWindowMask | LeaveWindowMask | FocusChangeMask, False,
                      wuwtlwn, c);
  return WU_OK;
}

wu_status wuxicbx(wu_pane *pane, wu_control **out, int32_t word_a, int32_t style, int32_t x,
                  int32_t y, int32_t width_chars, int32_t max_chars, int32_t lbx_word,
                  const wu_str_item *items, int32_t count) {
  if (pane == nullptr || pane->ext == nullptr || !wu_window_live(pane->window) || out == nullptr)
    return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && items == nullptr) || width_chars < 0 || width_chars > 4096 ||
      max_chars < 0)
    return WU_NOTAVAIL;
  auto *cb = static_cast<wu_combo *>(wutgmem(pane->window->pool, WU_MT_OLD_LISTBOX));
  if (cb == nullptr) return WU_NOMEM;
  wu_control *c = &cb->c;
  c->kind = WU_MT_COMBOBOX;
  c->pane = pane;
  wu_ctl_link(c);
  c->Swat = wumswcb;
  c->Qwat = ComboQwat;
  c->Cleanup = ComboCleanup;
  c->y = y;
  c->x = x;
  c->width = std::min(width_chars * ((devb && devb->cell_width > 0) ? devb->cell_width : 1),
                      kMaxPixels);
  c->flags |= WU_CTL_TAKES_FOCUS;
  c->host_id.value = word_a;
  cb->word_a = word_a;
  cb->lbx_word = lbx_word;
  cb->max_chars = uint32_t(max_chars);
  cb->style = style == WU_COMBO_EDITABLE ? WU_COMBO_EDITABLE : WU_COMBO_DROPDOWN;
  cb->unique = 0;
  if ((count > 0 && insert_items(cb, items, count, 1) != WU_OK) ||
      (realised(cb) && wuticbo(c) != WU_OK)) {
    wuxfwid(c);
    return WU_NOMEM;
  }
  pane->ext->flags |= WU_PEXT_HAS_CONTROLS;
  *out = c;
  return WU_OK;
}

wu_status wu_create_cmb(wu_pane *pane, wu_control **out) {
  return wuxicbx(pane, out, 0, WU_COMBO_DROPDOWN, 1, 1, 1, WU_COMBO_ITEM_MAX, 0, nullptr, 0);
}

}  // extern "C"
