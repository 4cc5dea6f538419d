// The module event queue: a fixed set of nodes in the module state, queued
// in arrival order.  A read takes the oldest event of its window.
#include <string.h>

#include "runtime/wureg.h"
#include "runtime/wuruntime.h"

namespace {

void release_text(wu_event *event) {
  if (event->text_owned != 0)
    vmfree_handler(wu_module_pool(), event->text, event->text_length + 1, 0);
  event->text = nullptr;
  event->text_length = 0;
  event->text_owned = 0;
}

// Takes a free node, or null when all are queued.
wu_event *take_node(wu_state *state) {
  wu_event *event = state->queue_free;
  if (event == nullptr) return nullptr;
  state->queue_free = event->next;
  memset(event, 0, sizeof *event);
  return event;
}

void append(wu_state *state, wu_event *event) {
  event->next = nullptr;
  if (state->queue_tail != nullptr)
    state->queue_tail->next = event;
  else
    state->queue_head = event;
  state->queue_tail = event;
  ++state->queue_count;
}

// Unlinks the node that follows `prev` (the head when prev is null).
wu_event *unlink_after(wu_state *state, wu_event *prev) {
  wu_event *event = prev != nullptr ? prev->next : state->queue_head;
  if (prev != nullptr)
    prev->next = event->next;
  else
    state->queue_head = event->next;
  if (state->queue_tail == event) state->queue_tail = prev;
  --state->queue_count;
  event->next = nullptr;
  return event;
}

// A command event always carries its text (empty texts included).
bool is_command(const wu_event *event) {
  return event->code == WU_EV_COMMAND && event->text != nullptr;
}

bool refers_to(const wu_event *event, int32_t kind, const void *record) {
  if (kind == WU_FLEQ_WINDOW) return event->window == record;
  return !is_command(event) && event->length >= static_cast<int32_t>(sizeof(void *)) &&
         event->params.words[0] == record;
}

}  // namespace

extern "C" {

wu_status wuxqwev(wu_window *window, int32_t code, const void *params, int32_t length) {
  wu_state *state = wu_module();
  // Events are queued only for a window the module handed out and has not
  // released: a released window's events would fill the queue for ever.
  if (state == nullptr || !wu_reg_has(window, WU_REG_WINDOW)) return WU_NOTAVAIL;
  if (length < 0 || length > WU_EVQ_PARAM_MAX ||
      (length > 0 && params == nullptr))
    return WU_BADARG;
  wu_event *event = take_node(state);
  if (event == nullptr) return WU_QUEUE_FULL;
  event->window = window;
  event->code = code;
  event->length = length;
  if (length > 0) memcpy(event->params.bytes, params, static_cast<size_t>(length));
  append(state, event);
  return WU_OK;
}

// Queues a command string as event WU_EV_COMMAND.  Length -1: the text is
// NUL-terminated.  With `copy` the text is copied into the module pool;
// otherwise the caller keeps it alive until the event is read.
wu_status wuxqcmd(wu_window *window, const char *text, int32_t length, int32_t copy,
                  int32_t flag1, int32_t flag2) {
  wu_state *state = wu_module();
  if (state == nullptr || !wu_reg_has(window, WU_REG_WINDOW)) return WU_NOTAVAIL;
  if (length == -1) length = wzstlen(text);
  // A command longer than a host command token can be is refused before
  // anything is copied or queued.
  if (window == nullptr || length < 0 || length > WU_COMMAND_MAX || (length > 0 && text == nullptr))
    return WU_BADARG;
  if (state->queue_free == nullptr) return WU_QUEUE_FULL;
  static char empty[] = "";
  char *kept = text != nullptr ? const_cast<char *>(text) : empty;
  if (copy != 0) {
    kept = static_cast<char *>(vmalloc_handler(state->pool, length + 1, 0));
    if (kept == nullptr) return WU_NOMEM;
    if (length > 0) memcpy(kept, text, static_cast<size_t>(length));
    kept[length] = '\0';
  }
  wu_event *event = take_node(state);
  event->window = window;
  event->code = WU_EV_COMMAND;
  wu_command_params p = {length, copy != 0 ? 1 : 0, flag1, flag2};
  memcpy(event->params.bytes, &p, sizeof p);
  event->length = sizeof p;
  event->text = kept;
  event->text_length = length;
  event->text_owned = copy != 0 ? 1 : 0;
  append(state, event);
  return WU_OK;
}

wu_event *wutdqev(wu_window *window) {
  wu_state *state = wu_module();
  if (state == nullptr) return nullptr;
  wu_event *prev = nullptr;
  for (wu_event *e = state->queue_head; e != nullptr; prev = e, e = e->next)
    if (e->window == window) return unlink_after(state, prev);
  return nullptr;
}

wu_event *wutdqec(wu_window *window, int32_t code1, int32_t code2) {
  wu_state *state = wu_module();
  if (state == nullptr) return nullptr;
  wu_event *prev = nullptr;
  for (wu_event *e = state->queue_head; e != nullptr; prev = e, e = e->next)
    if (e->window == window && (e->code == code1 || e->code == code2))
      return unlink_after(state, prev);
  return nullptr;
}

void wutrlev(wu_event *event) {
  wu_state *state = wu_module();
  if (state == nullptr || event == nullptr) return;
  release_text(event);
  event->window = nullptr;
  event->next = state->queue_free;
  state->queue_free = event;
}

int32_t wutcqev(wu_window *window) {
  wu_state *state = wu_module();
  if (state == nullptr) return 0;
  if (window == nullptr) return state->queue_count;
  int32_t n = 0;
  for (const wu_event *e = state->queue_head; e != nullptr; e = e->next)
    if (e->window == window) ++n;
  return n;
}

// Takes the oldest event of the window: its code, and in the buffer a
// command's text (NUL-terminated when there is room) or the parameters.
// A buffer too small for them leaves the event queued (WU_SHORTBUF, with
// the length needed); no event: WU_NOTAVAIL.
wu_status wuxgqev(wu_window *window, int32_t *code, void *buffer, int32_t size,
                  int32_t *length) {
  wu_state *state = wu_module();
  if (state == nullptr || !wu_reg_has(window, WU_REG_WINDOW)) return WU_NOTAVAIL;
  if (code == nullptr || length == nullptr || size < 0 || (size > 0 && buffer == nullptr))
    return WU_BADARG;
  wu_event *prev = nullptr;
  wu_event *e = state->queue_head;
  while (e != nullptr && e->window != window) {
    prev = e;
    e = e->next;
  }
  if (e == nullptr) return WU_NOTAVAIL;
  bool command = is_command(e);
  const void *data = command ? static_cast<const void *>(e->text) : e->params.bytes;
  int32_t n = command ? e->text_length : e->length;
  *length = n;
  if (n > size) return WU_SHORTBUF;
  if (n > 0) memcpy(buffer, data, static_cast<size_t>(n));
  if (command && n < size) static_cast<char *>(buffer)[n] = '\0';
  *code = e->code;
  wutrlev(unlink_after(state, prev));
  return WU_OK;
}

wu_status wuxfleq(int32_t kind, void *record) {
  wu_state *state = wu_module();
  if (state == nullptr) return WU_NOTAVAIL;
  if (record == nullptr) return WU_OK;
  wu_event *prev = nullptr;
  wu_event *e = state->queue_head;
  while (e != nullptr) {
    if (refers_to(e, kind, record)) {
      wu_event *next = e->next;
      wutrlev(unlink_after(state, prev));
      e = next;
    } else {
      prev = e;
      e = e->next;
    }
  }
  return WU_OK;
}

}  // extern "C"
