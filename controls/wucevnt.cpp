// Control events: the event record and its posting to the window's event
// task, the input handlers every control widget gets (button 3 popup,
// button 1 click and double click, click-only presses, navigation keys of
// the text kinds), the synchronous hand-off of navigation keys to the host's
// event procedure, the method service with "_showPopup", and the replay of
// recorded events.
#include <X11/Intrinsic.h>
#include <X11/keysym.h>

#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

#include "controls/wucontrol.h"
#include "qev/flags.h"
#include "runtime/wucheck.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"

namespace {

// Parameter entries of posted events, per control and event code.
std::unordered_map<const wu_control *, std::map<int32_t, std::vector<wu_value>>> g_params;

wu_state *state() { return wu_module(); }

// A control whose handlers may act: alive and not released.
wu_control *active(XtPointer client) {
  auto *c = static_cast<wu_control *>(client);
  return wu_ctl_live(c) ? c : nullptr;
}

bool text_kind(int32_t kind) {
  return kind == WU_MT_COMBOBOX || kind == WU_MT_ENTRY || kind == WU_MT_MLENTRY ||
         kind == WU_MT_SPINBOX;
}

Time multi_click_time() {
  if (devb == nullptr) return 0;
  if (devb->appres.multi_click_time > 0) return static_cast<Time>(devb->appres.multi_click_time);
  return devb->display ? XtGetMultiClickTime(devb->display) : 0;
}

struct KeyMap {
  KeySym sym;
  int32_t vk;
};
constexpr KeyMap kKeys[] = {
    {XK_Home, WU_VK_HOME},     {XK_KP_Home, WU_VK_HOME},   {XK_Left, WU_VK_LEFT},
    {XK_KP_Left, WU_VK_LEFT},  {XK_Up, WU_VK_UP},          {XK_KP_Up, WU_VK_UP},
    {XK_Right, WU_VK_RIGHT},   {XK_KP_Right, WU_VK_RIGHT}, {XK_Down, WU_VK_DOWN},
    {XK_KP_Down, WU_VK_DOWN},  {XK_Prior, WU_VK_PAGEUP},   {XK_KP_Prior, WU_VK_PAGEUP},
    {XK_Next, WU_VK_PAGEDOWN}, {XK_KP_Next, WU_VK_PAGEDOWN}, {XK_End, WU_VK_END},
    {XK_KP_End, WU_VK_END},
};

int32_t virtual_key(XKeyEvent *event) {
  KeySym sym = XLookupKeysym(event, 0);
  for (const KeyMap &k : kKeys)
    if (k.sym == sym) return k.vk;
  return -1;
}

}  // namespace

// Runs the host's event procedure for a synchronous event: on the display
// task directly, from any other task through the display task's signal.
wu_status run_procedure(wu_control *c, wu_ctl_event *record, wu_value *params, int32_t count) {
  wu_window *window = wu_ctl_window(c);
  qev_task *display_task =
      (window != nullptr && window->display != nullptr) ? window->display->task : nullptr;
  // The procedure runs from inside a widget callback: a window it releases
  // or a shut-down it asks for waits until the toolkit is done with the
  // widgets and the display block is put back.
  wu_callout_enter();
  wu_status answer = WU_OK;
  if (display_task == nullptr || display_task == yucurtk()) {
    const int32_t saved = devb ? devb->flags : 0;
    if (devb) devb->flags |= WU_DEV_IN_EVPROC;
    answer = c->procedure(c->handle, record, params, count);
    if (devb) devb->flags = saved;
  } else {
    wu_key_signal message = {QEV_SIG_EVPROC, static_cast<int32_t>(sizeof(wu_key_signal)), 1, 0,
                             c->handle, record};
    const int32_t old = wtstpri(display_task, WU_EVPROC_PRIORITY);
    if (wtsignl(display_task, QEV_SIG_EVPROC, &message, 0) == WU_OK) answer = message.answer;
    if (old >= 0) wtstpri(display_task, old);
  }
  wu_callout_leave();
  return answer;
}

namespace {

// ---- input handlers ------------------------------------------------------

void wuwmnrq(Widget w, XtPointer client, XEvent *event, Boolean *) {
  wu_control *c = active(client);
  if (c == nullptr || event->type != ButtonPress) return;
  if (state() != nullptr) state()->last_input = w;
  wu_window *window = wu_ctl_window(c);
  if (window != nullptr) {
    wuxqwev(window, WU_EV_CTL_WAKE, nullptr, 0);
    window->flags |= WU_WIN_CONTROL_PRESSED;
  }
  if (event->xbutton.button != Button3) return;
  const int32_t sent = wu_ctl_send(c, WU_EV_POPUP, WU_EVM_POPUP, c->x, c->y, nullptr, 0,
                                   WU_EV_CTL_POSTED);
  wu_ctl_record(c, WU_EV_POPUP, -1, sent, 0.0, 0);
}

void wuwbldm(Widget, XtPointer client, XEvent *event, Boolean *cont) {
  wu_control *c = active(client);
  if (c == nullptr) return;
  const bool press = event->type == ButtonPress;
  const bool button1 = (event->type == ButtonPress || event->type == ButtonRelease)
                           ? event->xbutton.button == Button1
                           : true;
  if (c->click_only) {
    if (press && button1) {
      const unsigned state_bits = event->xbutton.state;
      const int32_t modifier = (state_bits & ControlMask) ? WU_CLICK_CONTROL
                               : (state_bits & ShiftMask) ? WU_CLICK_SHIFT
                                                          : WU_CLICK_PLAIN;
      wu_value *p = wu_ctl_event_params(c, WU_EV_CLICKONLY, 1);
      p[0].code = 0;
      p[0].type = WU_VT_BOOL;
      p[0].value = modifier;
      const int32_t sent =
          wu_ctl_send(c, WU_EV_CLICKONLY, 0, c->x, c->y, p, 1, WU_EV_CTL_POSTED);
      wu_ctl_record(c, WU_EV_CLICKONLY, modifier, sent, 0.0, 0);
    }
    if (button1) *cont = False;
    return;
  }
  if (!press || !button1) return;
  if (!text_kind(c->kind) && c->kind != WU_MT_DESKTOPICON) return;
  const Time now = event->xbutton.time;
  if (c->last_click != 0 && now - c->last_click < multi_click_time()) {
    const int32_t sent = wu_ctl_send(c, WU_EV_DOUBLECLICK, WU_EVM_DOUBLECLICK, c->x, c->y,
                                     nullptr, 0, WU_EV_CTL_POSTED);
    wu_ctl_record(c, WU_EV_DOUBLECLICK, 0, sent, 0.0, 0);
    return;
  }
  c->last_click = static_cast<uint32_t>(now);
  if (c->kind == WU_MT_DESKTOPICON) return;
  const int32_t sent =
      wu_ctl_send(c, WU_EV_CLICK, WU_EVM_CLICK, c->x, c->y, nullptr, 0, WU_EV_CTL_POSTED);
  wu_ctl_record(c, WU_EV_CLICK, 0, sent, 0.0, 0);
}

void wuwkeye(Widget w, XtPointer client, XEvent *event, Boolean *cont) {
  wu_control *c = active(client);
  if (c == nullptr || event->type != KeyPress) return;
  if (state() != nullptr) state()->last_input = w;
  if (!(c->event_mask & WU_EVM_PREVIRTUALKEY)) return;
  const int32_t vk = virtual_key(&event->xkey);
  if (vk < 0 || !(c->vkey_mask & (1 << vk))) return;
  wu_ctl_event record;
  wuxievt(&record, c, WU_EV_PREVIRTUALKEY);
  record.x = c->x;
  record.y = c->y;
  const int32_t kRepeat = 1;
  wu_value *p = wu_ctl_event_params(c, WU_EV_PREVIRTUALKEY, 3);
  const int32_t values[3] = {vk, 0, kRepeat};
  for (int i = 0; i < 3; ++i) {
    p[i].type = WU_VT_INT;
    p[i].value = values[i];
  }
  record.params = p;
  record.param_count = 3;
  wu_status answer = WU_OK;
  const bool sent = c->procedure != nullptr;
  wu_window *window = wu_ctl_window(c);
  // The procedure may release the control or its window, or end the module:
  // both are held and looked at again before anything of them is used.
  const wu_reg_hold held = wu_reg_take(c);
  const wu_reg_hold window_held = wu_reg_take(window);
  if (sent) answer = run_procedure(c, &record, p, 3);
  if ((answer == WU_EVPROC_ANSWER || answer == WU_EVPROC_ANSWER_PASS) && wu_reg_alive(window_held))
    wuxqwev(window, WU_EV_CTL_ANSWER, &record.answer, static_cast<int32_t>(sizeof record.answer));
  if (!wu_reg_alive(held)) {
    // A released control's key goes no further.
    *cont = False;
    return;
  }
  if (answer != WU_EVPROC_PASS && answer != WU_EVPROC_ANSWER_PASS) *cont = False;
  wu_ctl_record(c, WU_EV_PREVIRTUALKEY, vk, sent ? 1 : 0, 0.0, kRepeat);
}

// ---- "_showPopup" ----------------------------------------------------------

enum PopupParm { kItems, kSensitivity, kClassifier, kHelp, kMnemonics, kSelected };

// The `index`th integer of a list parameter, or `fallback` when the list is
// absent or shorter.
int32_t list_int(const wu_value *params, int32_t count, int32_t which, int32_t index,
                 int32_t fallback) {
  if (which >= count) return fallback;
  const wu_value &v = params[which];
  if (index >= v.value || v.pointer == nullptr) return fallback;
  return static_cast<const int32_t *>(v.pointer)[index];
}

const wu_str_item *list_str(const wu_value *params, int32_t count, int32_t which, int32_t index) {
  if (which >= count) return nullptr;
  const wu_value &v = params[which];
  if (index >= v.value || v.pointer == nullptr) return nullptr;
  return &static_cast<const wu_str_item *>(v.pointer)[index];
}

wu_status show_popup(wu_control *c, wu_ctl_handle *h, wu_value *params, int32_t count) {
  if (count < 2 || params == nullptr) return WU_NOTAVAIL;
  const int32_t lists = count < kSelected ? count : kSelected;
  bool refused = false;
  for (int32_t i = 0; i < lists; ++i) {
    if (params[i].value < 0 || (params[i].value > 0 && params[i].pointer == nullptr)) {
      params[i].status = WU_E_RANGE;
      refused = true;
    }
  }
  if (refused) return WU_ENTRY_STATUS;
  const int32_t n = params[kItems].value;
  wu_window *window = wu_ctl_window(c);
  qev_pool *pool = c->handle_pool;

  // Labels with a separator after each item flagged so; label -> item.
  std::vector<char *> labels;
  std::vector<int32_t> enabled, ids, item_of;
  std::vector<char> mnemonics;
  const bool have_mnemonics = count > kMnemonics && params[kMnemonics].value > 0;
  // The choice rows' size is checked before anything is taken: more items
  // than a 32-bit size holds are refused.
  const int32_t row_bytes = wu_array_bytes(n, sizeof(wu_batch_choice));
  if (row_bytes < 0) {
    params[kItems].status = WU_E_RANGE;
    return WU_ENTRY_STATUS;
  }
  auto *rows = static_cast<wu_batch_choice *>(
      n > 0 ? vmalcp_handler(pool, row_bytes, 0) : nullptr);
  if (n > 0 && rows == nullptr) return WU_NOTAVAIL;
  for (int32_t i = 0; i < n; ++i) {
    const wu_str_item *item = list_str(params, count, kItems, i);
    const int32_t len = (item && item->text && item->length > 0) ? item->length : 0;
    char *label = XtCalloc(1, static_cast<Cardinal>(len) + 1);
    if (len > 0) memcpy(label, item->text, static_cast<size_t>(len));
    const int32_t flags = list_int(params, count, kSensitivity, i, 0);
    const int32_t classifier = list_int(params, count, kClassifier, i, 0);
    char mnemonic = 0;
    if (have_mnemonics && i < params[kMnemonics].value)
      mnemonic = static_cast<char>(static_cast<const uint16_t *>(params[kMnemonics].pointer)[i]);
    labels.push_back(label);
    enabled.push_back((flags & WU_POPUP_GRAYED) ? 0 : 1);
    ids.push_back(classifier);
    mnemonics.push_back(mnemonic);
    item_of.push_back(i);
    if (flags & WU_POPUP_SEPARATOR) {
      labels.push_back(XtCalloc(1, 1));
      enabled.push_back(1);
      ids.push_back(0);
      mnemonics.push_back(0);
      item_of.push_back(-1);
    }
    wu_batch_choice &r = rows[i];
    r.text = item ? item->text : nullptr;
    r.length = len;
    r.classifier = classifier;
    r.flags = flags;
    const wu_str_item *help = list_str(params, count, kHelp, i);
    r.help = help ? help->text : nullptr;
    r.help_length = (help && help->text && help->length > 0) ? help->length : 0;
    r.mnemonic = static_cast<uint8_t>(mnemonic);
  }

  wu_batch_driver *driver = wutgbat();
  const bool replay = driver != nullptr && driver->mode == QEV_BATCH_REPLAY;
  bool hand_to_host = false;
  // The driver and the menu's wait run other code: the control, its window
  // or the whole module may be gone when they return.
  const wu_reg_hold held = wu_reg_take(c);
  const wu_reg_hold window_held = wu_reg_take(window);
  if (replay) {
    void *from = nullptr;
    int32_t choice = 0;
    if (driver->popup_replay != nullptr &&
        driver->popup_replay(&from, &choice, rows, n) == WU_OK && from == window) {
      if (count > kSelected) params[kSelected].value = choice;
      hand_to_host = true;
    }
  } else {
    const int32_t chosen = wumhpop(wuwgxtw(c), labels.data(), static_cast<int32_t>(labels.size()),
                                   enabled.data(), have_mnemonics ? mnemonics.data() : nullptr,
                                   count > kClassifier ? ids.data() : nullptr);
    if (wu_reg_alive(held) && chosen > 0 && chosen <= static_cast<int32_t>(item_of.size()) &&
        item_of[chosen - 1] >= 0 && count > kSelected)
      params[kSelected].value = item_of[chosen - 1] + 1;
    if (wu_reg_alive(held) && wu_reg_alive(window_held) && driver != nullptr &&
        driver->mode == QEV_BATCH_RECORD && driver->popup_record != nullptr)
      driver->popup_record(window, count > kSelected ? params[kSelected].value : 0, rows, n);
  }
  for (char *l : labels) XtFree(l);
  // The rows went with the pool if the module ended meanwhile.
  if (rows != nullptr && wu_module_pool() == pool) vmfree_handler(pool, rows, row_bytes, 0);
  // A control released while its menu was up answers nothing.
  if (!wu_reg_alive(held)) return WU_NOTAVAIL;
  if (hand_to_host) yudmeth(h, WU_M_SHOWPOPUP, params, count);
  return WU_OK;
}

}  // namespace

extern "C" {

void wuxievt(wu_ctl_event *record, wu_control *c, int32_t code) {
  *record = wu_ctl_event{};
  record->code = code;
  record->pane = c->pane;
  record->x = -1;
  record->y = -1;
  record->user_data = c->user_data;
  record->procedure = c->procedure;
  record->handle = c->handle;
}

wu_value *wu_ctl_event_params(wu_control *c, int32_t code, int32_t count) {
  std::vector<wu_value> &v = g_params[c][code];
  // The previous parameters of this event go now; the host has read them.
  std::vector<wu_value>(static_cast<size_t>(count), wu_value{}).swap(v);
  return v.data();
}

void wu_ctl_drop_params(wu_control *c) { g_params.erase(c); }

wu_status wu_ctl_post(wu_control *c, wu_ctl_event *record, int32_t wake) {
  wu_window *window = wu_ctl_window(c);
  if (window == nullptr) return WU_NOTAVAIL;
  wu_status st = yuevntg(window->event_task, window, WU_CTL_EVENT_CLASS, record,
                         static_cast<int32_t>(sizeof *record));
  if (wake != 0) wuxqwev(window, wake, nullptr, 0);
  return st;
}

int32_t wu_ctl_send(wu_control *c, int32_t code, uint32_t mask_bit, int32_t x, int32_t y,
                    wu_value *params, int32_t count, int32_t wake) {
  if (c->procedure == nullptr) return 0;
  if (mask_bit != 0 && !(c->event_mask & mask_bit)) return 0;
  wu_ctl_event record;
  wuxievt(&record, c, code);
  record.x = x;
  record.y = y;
  record.params = params;
  record.param_count = count;
  return wu_ctl_post(c, &record, wake) == WU_OK ? 1 : 0;
}

wu_status wu_ctl_run(wu_control *c, wu_ctl_event *record, wu_value *params, int32_t count) {
  if (c == nullptr || c->procedure == nullptr || record == nullptr) return WU_OK;
  return run_procedure(c, record, params, count);
}

wu_batch_driver *wu_batch_recording(void) {
  wu_batch_driver *d = wutgbat();
  return (d != nullptr && d->mode == QEV_BATCH_RECORD) ? d : nullptr;
}

void wu_ctl_record_event(wu_control *c, const wu_batch_event *recording) {
  wu_batch_driver *d = wu_batch_recording();
  if (d == nullptr || d->event_record == nullptr) return;
  wu_callout_enter();
  d->event_record(wu_ctl_window(c), c->id, recording);
  wu_callout_leave();
}

void wu_ctl_record(wu_control *c, int32_t code, int32_t value1, int32_t sent, double value2,
                   int32_t value3) {
  if (wu_batch_recording() == nullptr) return;
  wu_batch_event rec = {};
  rec.code = code;
  rec.value1 = value1;
  rec.sent = sent;
  rec.value2 = value2;
  rec.value3 = value3;
  wu_ctl_record_event(c, &rec);
}

wu_status wu_ctl_button1(Widget w, wu_control *c) {
  if (w == nullptr || c == nullptr) return WU_NOTAVAIL;
  XtInsertEventHandler(w, ButtonPressMask | ButtonReleaseMask | Button1MotionMask, False, wuwbldm,
                       c, XtListHead);
  return WU_OK;
}

void wu_ctl_input(Widget w, XtPointer client, XEvent *event, Boolean *cont) {
  if (event == nullptr || cont == nullptr) return;
  switch (event->type) {
    case ButtonPress:
      wuwmnrq(w, client, event, cont);
      if (*cont) wuwbldm(w, client, event, cont);
      break;
    case ButtonRelease: case MotionNotify:
      wuwbldm(w, client, event, cont);
      break;
    case KeyPress: {
      wu_control *c = active(client);
      if (c != nullptr && text_kind(c->kind)) wuwkeye(w, client, event, cont);
      break;
    }
    default:
      break;
  }
}

// The common input handlers as one handler (one record on the widget).
void ControlInput(Widget w, XtPointer client, XEvent *event, Boolean *cont) {
  wu_ctl_input(w, client, event, cont);
}

wu_status wutmnrq(Widget w, wu_control *c) {
  if (w == nullptr || c == nullptr) return WU_NOTAVAIL;
  EventMask mask = ButtonPressMask | ButtonReleaseMask | Button1MotionMask;
  if (text_kind(c->kind)) mask |= KeyPressMask;
  XtInsertEventHandler(w, mask, False, ControlInput, c, XtListHead);
  return WU_OK;
}

wu_status wutesig(qev_task *, int32_t signal, void *message, void *) {
  auto *m = static_cast<wu_key_signal *>(message);
  if (signal != QEV_SIG_EVPROC || m == nullptr || m->code != QEV_SIG_EVPROC) return WU_NOTAVAIL;
  wu_control *c = wu_ctl_of(m->handle);
  if (c == nullptr || c->procedure == nullptr || m->record == nullptr) return WU_NOTAVAIL;
  const int32_t saved = devb ? devb->flags : 0;
  if (devb) devb->flags |= WU_DEV_IN_EVPROC;
  // The answer goes back unchanged; the sender acts on it.
  wu_callout_enter();
  m->answer = c->procedure(m->handle, m->record, m->record->params, m->record->param_count);
  wu_callout_leave();
  if (devb) devb->flags = saved;
  return WU_OK;
}

wu_status wuxmeth(wu_ctl_handle *h, int32_t method, wu_value *params, int32_t count) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && params == nullptr)) return WU_NOTAVAIL;
  // Parameters of the wrong form or length never reach the method.
  if (wu_ctl_check_params(h->type, method, params, count) != WU_OK) return WU_ENTRY_STATUS;
  if (method == WU_M_SHOWPOPUP) return show_popup(c, h, params, count);
  return c->Methods != nullptr ? c->Methods(h, method, params, count) : WU_NOTAVAIL;
}

wu_status wuxrbat(wu_ctl_handle *h, const wu_batch_event *recording) {
  wu_control *c = wu_ctl_of(h);
  if (c == nullptr || recording == nullptr) return WU_NOTAVAIL;
  if (recording->code == WU_EV_POPUP && h->type != WU_CTYPE_TREEVIEW) {
    wu_ctl_event record;
    wuxievt(&record, c, WU_EV_POPUP);
    wu_ctl_post(c, &record, 0);
    return WU_OK;
  }
  return c->Replay != nullptr ? c->Replay(h, recording) : WU_NOTAVAIL;
}

}  // extern "C"

extern "C" {

void wu_rec_set_text(wu_batch_event *rec, const char *text, int32_t length) {
  rec->value1 = length;
  if (sizeof(void *) == sizeof(int32_t)) {
    std::memcpy(&rec->zero1, &text, sizeof(void *));
  } else {
    static_assert(sizeof(void *) <= sizeof rec->value2, "an address fits the +16 field");
    std::memcpy(&rec->value2, &text, sizeof(void *));
  }
}

const char *wu_rec_text(const wu_batch_event *rec, int32_t *length) {
  const char *text = nullptr;
  if (sizeof(void *) == sizeof(int32_t))
    std::memcpy(&text, &rec->zero1, sizeof(void *));
  else
    std::memcpy(&text, &rec->value2, sizeof(void *));
  *length = (text != nullptr && rec->value1 > 0) ? rec->value1 : 0;
  return text;
}

}  // extern "C"
