// Tasks, posted events and traps; execution contexts with their named
// pointers and the built-in batch driver; host control services.
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <poll.h>

#include "hkint.h"
#include "qev/batch.h"
#include "qev/catalog.h"
#include "qev/records.h"
#include "qevhost.h"

struct qev_context {
  qev_task *task = nullptr;
  std::map<std::string, void *> named;
};

namespace qevhost {
namespace detail {
struct BatchDriver;
}
}  // namespace qevhost

struct qev_task {
  std::string name;
  int32_t kind = 0;
  int32_t priority = 0;
  bool suppressEvents = false;
  std::deque<qevhost::PostedEvent> events;
  struct Trap {
    qev_trap_fn fn = nullptr;
    void *data = nullptr;
  };
  std::map<int32_t, Trap> traps;
  void *slots[QEV_TASK_SLOTS] = {};
  qev_context context;
  std::unique_ptr<qevhost::detail::BatchDriver> driver;
};

namespace qevhost {
namespace detail {

// The built-in batch driver: the object published as "BATCH_DRIVER" begins
// with the words the module reads; the rest is ours.
struct BatchDriver {
  wu_batch_driver object;
  qev_task *task = nullptr;
  std::vector<Recording> recordings;
  struct Choice {
    void *window;
    int32_t choice;
  };
  std::deque<Choice> choices;
};

namespace {

const int32_t kMaxEventParams = 256;
const int32_t kMaxEventLength = 4096;
const int kMaxSignalDepth = 16;

struct TaskState {
  std::vector<std::unique_ptr<qev_task>> tasks;
  qev_task *main = nullptr;
  qev_task *current = nullptr;
  int signalDepth = 0;
  uint32_t nextId = 0;
  std::vector<MethodCall> methods;
  std::map<int32_t, void *> controlMaps;
  wu_status controlStatus = WU_OK;
  std::vector<HostCreate> creates;
  int32_t helpSession = 0;
};
TaskState ts;

qev_task *lookup(qev_task *task) {
  for (auto &t : ts.tasks)
    if (t.get() == task) return task;
  return nullptr;
}

qev_task *contextTask(qev_context *ctx) {
  if (ctx == reinterpret_cast<qev_context *>(1)) return activeTask();
  for (auto &t : ts.tasks)
    if (&t->context == ctx) return t.get();
  return nullptr;
}

// Handle of a control event record, or null when the record is not one.
void *eventHandle(const PostedEvent &e) {
  if (e.eventClass != QEV_EVCLASS_CONTROL || e.record.size() < sizeof(wu_ctl_event)) return nullptr;
  wu_ctl_event rec;
  std::memcpy(&rec, e.record.data(), sizeof rec);
  return static_cast<void *>(rec.handle);
}

bool eventHasKey(const PostedEvent &e, int32_t key) {
  const size_t n = e.params.size() / sizeof(wu_value);
  for (size_t i = 0; i < n; ++i) {
    wu_value v;
    std::memcpy(&v, e.params.data() + i * sizeof(wu_value), sizeof v);
    if (v.value == key) return true;
  }
  return false;
}

BatchDriver *activeDriver() {
  qev_task *t = activeTask();
  if (t && t->driver) return t->driver.get();
  for (auto &task : ts.tasks)
    if (task->driver) return task->driver.get();
  return nullptr;
}

std::string choiceText(const char *text, int32_t length) {
  return (text && length > 0) ? std::string(text, static_cast<size_t>(length)) : std::string();
}

wu_status driverPopupRecord(void *window, int32_t selected, const wu_batch_choice *rows,
                            int32_t count) {
  BatchDriver *d = activeDriver();
  if (!d) return WU_NOTAVAIL;
  if (count < 0 || (count > 0 && !rows)) return WU_BADARG;
  Recording r;
  r.window = window;
  r.popup = true;
  r.selected = selected;
  for (int32_t i = 0; i < count; ++i) r.choices.push_back(choiceText(rows[i].text, rows[i].length));
  d->recordings.push_back(r);
  return WU_OK;
}

wu_status driverPopupReplay(void **window_out, int32_t *choice_out, const wu_batch_choice *,
                            int32_t count) {
  BatchDriver *d = activeDriver();
  if (!window_out || !choice_out || count < 0) return WU_BADARG;
  if (!d || d->choices.empty()) return WU_NOTAVAIL;
  BatchDriver::Choice c = d->choices.front();
  d->choices.pop_front();
  *window_out = c.window;
  *choice_out = c.choice;
  return WU_OK;
}

wu_status driverChoiceRecord(void *window, int32_t selected, const wu_batch_choice *rows,
                             int32_t count) {
  wu_status st = driverPopupRecord(window, selected, rows, count);
  if (st == WU_OK) activeDriver()->recordings.back().popupKind = kPopupChoice;
  return st;
}

wu_status driverWindowPopupRecord(void *window, wu_status result) {
  BatchDriver *d = activeDriver();
  if (!d) return WU_NOTAVAIL;
  Recording r;
  r.window = window;
  r.popup = true;
  r.popupKind = kPopupWindow;
  r.selected = result;
  d->recordings.push_back(r);
  return WU_OK;
}

wu_status driverWindowPopupReplay(void **window_out, wu_status *result_out) {
  int32_t choice = 0;
  wu_status st = driverPopupReplay(window_out, &choice, nullptr, 0);
  if (st == WU_OK && result_out) *result_out = choice;
  return result_out ? st : WU_BADARG;
}

// The text of a text event's recording (key, return key, value changed):
// its length at +8 and its address at +4 on a 32-bit host, at +16 where
// addresses are wider.  The module frees the text after the call, so the
// driver keeps a copy, as a host keeps what it records, and the stored
// recording names the copy.
bool carriesText(int32_t code) {
  return code == WU_EV_KEY || code == WU_EV_RETURNKEY || code == WU_EV_VALUECHANGED;
}
void *textWord(wu_batch_event *rec) {
  return sizeof(void *) == sizeof(int32_t) ? static_cast<void *>(&rec->zero1)
                                           : static_cast<void *>(&rec->value2);
}

wu_status driverEventRecord(void *window, int32_t control_id, const wu_batch_event *recording) {
  BatchDriver *d = activeDriver();
  if (!d) return WU_NOTAVAIL;
  if (!recording) return WU_BADARG;
  Recording r;
  r.window = window;
  r.controlId = control_id;
  wu_batch_event copy = *recording;
  if (carriesText(copy.code)) {
    const char *text = nullptr;
    std::memcpy(&text, textWord(&copy), sizeof text);
    if (text != nullptr && copy.value1 > 0) {
      r.text = std::make_shared<const std::string>(text, size_t(copy.value1));
      text = r.text->data();
    } else {
      text = nullptr;
    }
    std::memcpy(textWord(&copy), &text, sizeof text);
  }
  const uint8_t *p = reinterpret_cast<const uint8_t *>(&copy);
  r.record.assign(p, p + sizeof(wu_batch_event));
  d->recordings.push_back(r);
  return WU_OK;
}

qev_task *newTask(const std::string &name, int32_t kind, int32_t priority) {
  ts.tasks.push_back(std::make_unique<qev_task>());
  qev_task *t = ts.tasks.back().get();
  t->name = name;
  t->kind = kind;
  t->priority = priority;
  t->context.task = t;
  return t;
}

}  // namespace

qev_task *activeTask() {
  qev_gcb *g = qevhost::gcb();
  if (g && g->override_task && lookup(g->override_task)) return g->override_task;
  return ts.current;
}

void taskStart() {
  ts = TaskState();
  ts.main = newTask("MAIN", 1, 0);
  ts.current = ts.main;
}

void taskStop() { ts = TaskState(); }

qev_task *k_yucurtk(void) { return running() ? ts.current : nullptr; }

wu_status k_yuevntg(qev_task *task, void *window, int32_t event_class, const void *record,
                    int32_t length) {
  if (!running()) return WU_NOTAVAIL;
  qev_task *t = lookup(task);
  if (!t || length < 0 || length > kMaxEventLength || (!record && length > 0)) return WU_BADARG;
  PostedEvent e;
  e.window = window;
  e.eventClass = event_class;
  const uint8_t *p = static_cast<const uint8_t *>(record);
  e.record.assign(p, p + length);
  // A control event's parameters live in the module's memory: the queued
  // event keeps its own copy of them.
  if (event_class == QEV_EVCLASS_CONTROL && e.record.size() >= sizeof(wu_ctl_event)) {
    wu_ctl_event rec;
    std::memcpy(&rec, record, sizeof rec);
    if (rec.param_count < 0 || rec.param_count > kMaxEventParams ||
        (rec.param_count > 0 && !rec.params))
      return WU_BADARG;
    const uint8_t *v = reinterpret_cast<const uint8_t *>(rec.params);
    if (rec.param_count > 0) e.params.assign(v, v + rec.param_count * sizeof(wu_value));
  }
  t->events.push_back(std::move(e));
  return WU_OK;
}

wu_status k_yufrcev(void *window, void *handle) {
  if (!running()) return WU_NOTAVAIL;
  if (!window || !handle) return WU_BADARG;
  for (auto &t : ts.tasks) {
    auto &q = t->events;
    for (auto it = q.begin(); it != q.end();)
      it = (it->window == window && eventHandle(*it) == handle) ? q.erase(it) : it + 1;
  }
  return WU_OK;
}

wu_status k_yufrnev(void *window, void *handle, int32_t node_key) {
  if (!running()) return WU_NOTAVAIL;
  if (!window || !handle) return WU_BADARG;
  for (auto &t : ts.tasks) {
    auto &q = t->events;
    for (auto it = q.begin(); it != q.end();)
      it = (it->window == window && eventHandle(*it) == handle && eventHasKey(*it, node_key))
               ? q.erase(it)
               : it + 1;
  }
  return WU_OK;
}

wu_status k_wttrap(qev_task *task, int32_t signal, qev_trap_fn fn, void *data) {
  if (!running()) return WU_NOTAVAIL;
  qev_task *t = lookup(task);
  if (!t || signal <= 0) return WU_BADARG;
  if (fn)
    t->traps[signal] = qev_task::Trap{fn, data};
  else
    t->traps.erase(signal);
  return WU_OK;
}

wu_status k_wtsignl(qev_task *task, int32_t signal, void *message, int32_t) {
  if (!running()) return WU_NOTAVAIL;
  qev_task *t = lookup(task);
  if (!t || signal <= 0 || (signal == QEV_SIG_EVPROC && !message)) return WU_BADARG;
  auto it = t->traps.find(signal);
  if (it == t->traps.end()) return WU_NOTAVAIL;
  if (ts.signalDepth >= kMaxSignalDepth) return WU_NOTAVAIL;
  qev_task::Trap trap = it->second;
  qev_task *previous = ts.current;
  ts.current = t;
  ++ts.signalDepth;
  wu_status st = trap.fn(t, signal, message, trap.data);
  --ts.signalDepth;
  ts.current = lookup(previous) ? previous : ts.main;
  return st;
}

int32_t k_wtstpri(qev_task *task, int32_t priority) {
  qev_task *t = running() ? lookup(task) : nullptr;
  if (!t) return -1;
  int32_t old = t->priority;
  t->priority = priority;
  return old;
}

wu_status k_wtinfo(qev_task *task, char *name_out) {
  if (!running()) return WU_NOTAVAIL;
  qev_task *t = lookup(task);
  if (!t || !name_out) return WU_BADARG;
  padName(name_out, 8, t->name);
  return WU_OK;
}

int32_t k_yucttsk(void) { return running() ? static_cast<int32_t>(ts.tasks.size()) : 0; }

int32_t k_yusupev(int32_t suppress) {
  if (!running() || !ts.current) return 0;
  int32_t old = ts.current->suppressEvents ? 1 : 0;
  if (suppress != QEV_SUPPRESS_QUERY) ts.current->suppressEvents = suppress != 0;
  return old;
}

void **k_yutslot(qev_task *task, int32_t slot) {
  qev_task *t = running() ? lookup(task) : nullptr;
  if (!t || slot < 0 || slot >= QEV_TASK_SLOTS) return nullptr;
  return &t->slots[slot];
}

int32_t k_wtfdwt(int fd, int32_t timeout_ms) {
  if (!running() || fd < 0) return -1;
  struct pollfd p = {fd, POLLIN, 0};
  int n = ::poll(&p, 1, timeout_ms < 0 ? -1 : timeout_ms);
  return n < 0 ? -1 : n;
}

qev_context *k_yytgexe(qev_task *task) {
  qev_task *t = running() ? lookup(task) : nullptr;
  return t ? &t->context : nullptr;
}

wu_status k_yytngp(qev_context *ctx, int32_t, const char *name, int32_t length, void **out,
                   int32_t) {
  if (!running()) return WU_NOTAVAIL;
  if (out) *out = nullptr;
  qev_task *t = contextTask(ctx);
  if (!t || !name || length <= 0 || !out) return WU_BADARG;
  auto it = t->context.named.find(std::string(name, static_cast<size_t>(length)));
  if (it == t->context.named.end()) return WU_NOTAVAIL;
  *out = it->second;
  return WU_OK;
}

wu_status k_yudmeth(void *handle, int32_t method, void *params, int32_t count) {
  if (!running()) return WU_NOTAVAIL;
  if (!handle || count < 0 || (count > 0 && !params)) return WU_BADARG;
  ts.methods.push_back(MethodCall{handle, method, params, count});
  return WU_OK;
}

wu_status k_zuxcrea(void **handle_out, void *pane, void *extension, int32_t type, void *values,
                    int32_t count, void *procedure) {
  if (!running()) return WU_NOTAVAIL;
  if (!pane || !handle_out || type <= 0x2000 || count < 0 || (count > 0 && !values))
    return WU_BADARG;
  *handle_out = nullptr;
  ts.creates.push_back(HostCreate{pane, extension, type, values, count, procedure});
  if (ts.controlStatus != WU_OK) return ts.controlStatus;
  uint32_t id = ++ts.nextId;
  *handle_out = reinterpret_cast<void *>(static_cast<uintptr_t>(0x10000u + id));
  return WU_OK;
}

int32_t k_yuhelpq() { return running() ? ts.helpSession : 0; }

wu_status k_zuxgmap(int32_t type, void **map_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!map_out || type < 0x2000) return WU_BADARG;
  auto it = ts.controlMaps.find(type);
  *map_out = it == ts.controlMaps.end() ? nullptr : it->second;
  return *map_out ? WU_OK : WU_NOTAVAIL;
}

wu_status k_yubtuid(uint32_t *id_out) {
  if (!running()) return WU_NOTAVAIL;
  if (!id_out) return WU_BADARG;
  *id_out = ++ts.nextId;
  return WU_OK;
}

}  // namespace detail

using namespace detail;

qev_task *createTask(const std::string &name, int32_t kind, int32_t priority) {
  return running() ? newTask(name, kind, priority) : nullptr;
}
qev_task *mainTask() { return ts.main; }
void setCurrentTask(qev_task *task) {
  if (lookup(task)) ts.current = task;
}
qev_task *currentTask() { return ts.current; }

bool nextEvent(qev_task *task, PostedEvent *out) {
  qev_task *t = lookup(task);
  if (!t || t->events.empty() || !out) return false;
  *out = std::move(t->events.front());
  t->events.pop_front();
  return true;
}

size_t pendingEvents(qev_task *task) {
  qev_task *t = lookup(task);
  return t ? t->events.size() : 0;
}

void installBatchDriver(qev_task *task, int32_t mode) {
  qev_task *t = lookup(task);
  if (!t) return;
  if (!t->driver) t->driver = std::make_unique<BatchDriver>();
  BatchDriver *d = t->driver.get();
  std::memset(&d->object, 0, sizeof d->object);
  d->object.mode = mode;
  d->object.popup_record = driverPopupRecord;
  d->object.popup_replay = driverPopupReplay;
  d->object.window_popup_record = driverWindowPopupRecord;
  d->object.window_popup_replay = driverWindowPopupReplay;
  d->object.choice_record = driverChoiceRecord;
  d->object.choice_replay = driverPopupReplay;
  d->object.event_record = driverEventRecord;
  d->task = t;
  t->context.named[QEV_BATCH_DRIVER_NAME] = &d->object;
}

void removeBatchDriver(qev_task *task) {
  qev_task *t = lookup(task);
  if (!t) return;
  t->context.named.erase(QEV_BATCH_DRIVER_NAME);
  t->driver.reset();
}

std::vector<Recording> recordings(qev_task *task) {
  qev_task *t = lookup(task);
  return (t && t->driver) ? t->driver->recordings : std::vector<Recording>();
}

void queuePopupChoice(qev_task *task, void *window, int32_t choice) {
  qev_task *t = lookup(task);
  if (t && t->driver) t->driver->choices.push_back(BatchDriver::Choice{window, choice});
}

void setNamedPointer(qev_task *task, const std::string &name, void *pointer) {
  qev_task *t = lookup(task);
  if (!t) return;
  if (pointer)
    t->context.named[name] = pointer;
  else
    t->context.named.erase(name);
}

std::vector<MethodCall> methodCalls() { return ts.methods; }
void setHostControlMap(int32_t type, void *map) { ts.controlMaps[type] = map; }
void setHostControlStatus(wu_status status) { ts.controlStatus = status; }
std::vector<HostCreate> hostCreates() { return ts.creates; }
void setHelpSession(int32_t session) { ts.helpSession = session; }

}  // namespace qevhost
