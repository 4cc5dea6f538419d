// Tasks, posted events, traps, execution contexts and the batch driver.
#include <cstring>
#include <vector>

#include <unistd.h>

#include "hosttest.h"
#include "qev/batch.h"
#include "qev/records.h"

namespace {

using hosttest::HostTest;

using CtlEvent = wu_ctl_event;
using Value = wu_value;

struct TrapSeen {
  qev_task *current = nullptr;
  qev_task *task = nullptr;
  int32_t signal = 0;
  int calls = 0;
};

wu_status recordTrap(qev_task *task, int32_t signal, void *message, void *data) {
  TrapSeen *seen = static_cast<TrapSeen *>(data);
  seen->current = qevhost::gcb()->kernel->yucurtk();
  seen->task = task;
  seen->signal = signal;
  ++seen->calls;
  static_cast<int32_t *>(message)[3] = 18470;   // the answer word of the message
  return WU_OK;
}

TEST_F(HostTest, SignalRunsTheTrapOnTheSignalledTask) {
  qev_task *main = k_->yucurtk();
  ASSERT_EQ(main, qevhost::mainTask());
  qev_task *display = qevhost::createTask("DISPLAY", 2, 1);
  TrapSeen seen;
  ASSERT_EQ(k_->wttrap(display, QEV_SIG_EVPROC, recordTrap, &seen), WU_OK);

  int32_t message[6] = {QEV_SIG_EVPROC, 24, 1, 0, 0, 0};
  EXPECT_EQ(k_->wtstpri(display, 3), 1);
  ASSERT_EQ(k_->wtsignl(display, QEV_SIG_EVPROC, message, 0), WU_OK);
  EXPECT_EQ(k_->wtstpri(display, 1), 3);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(seen.current, display);   // ran with the current task switched ...
  EXPECT_EQ(seen.task, display);
  EXPECT_EQ(k_->yucurtk(), main);     // ... and switched back
  EXPECT_EQ(message[3], 18470);

  // No trap, a removed trap, an unknown task, a missing message.
  EXPECT_EQ(k_->wtsignl(main, QEV_SIG_EVPROC, message, 0), WU_NOTAVAIL);
  EXPECT_EQ(k_->wtsignl(display, QEV_SIG_EVPROC, nullptr, 0), WU_BADARG);
  int bogus = 0;
  EXPECT_EQ(k_->wtsignl(reinterpret_cast<qev_task *>(&bogus), QEV_SIG_EVPROC, message, 0), WU_BADARG);
  EXPECT_EQ(k_->wttrap(display, QEV_SIG_EVPROC, nullptr, nullptr), WU_OK);
  EXPECT_EQ(k_->wtsignl(display, QEV_SIG_EVPROC, message, 0), WU_NOTAVAIL);
  EXPECT_EQ(seen.calls, 1);

  char name[8];
  ASSERT_EQ(k_->wtinfo(display, name), WU_OK);
  EXPECT_EQ(std::string(name, 8), "DISPLAY ");
  EXPECT_EQ(k_->yucttsk(), 2);
  EXPECT_EQ(k_->wtstpri(reinterpret_cast<qev_task *>(&bogus), 3), -1);
}

TEST_F(HostTest, TaskSlotsAndEventSuppression) {
  qev_task *main = k_->yucurtk();
  void **slot = k_->yutslot(main, QEV_TASK_SLOT_SESSION);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(*slot, nullptr);
  int session = 0;
  *slot = &session;
  EXPECT_EQ(*k_->yutslot(main, QEV_TASK_SLOT_SESSION), &session);
  EXPECT_EQ(k_->yutslot(main, QEV_TASK_SLOTS), nullptr);
  EXPECT_EQ(k_->yutslot(main, -1), nullptr);

  EXPECT_EQ(k_->yusupev(1), 0);
  EXPECT_EQ(k_->yusupev(QEV_SUPPRESS_QUERY), 1);
  EXPECT_EQ(k_->yusupev(0), 1);
  EXPECT_EQ(k_->yusupev(QEV_SUPPRESS_QUERY), 0);

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  EXPECT_EQ(k_->wtfdwt(fds[0], 0), 0);
  ASSERT_EQ(::write(fds[1], "x", 1), 1);
  EXPECT_EQ(k_->wtfdwt(fds[0], 1000), 1);
  ::close(fds[0]);
  ::close(fds[1]);
  EXPECT_EQ(k_->wtfdwt(-1, 0), -1);
}

TEST_F(HostTest, PostedEventsAreCopiedAndDropped) {
  qev_task *task = qevhost::createTask("EVENTS", 2, 0);
  int window = 0, handleA = 0, handleB = 0;
  Value params[2] = {{0, 0, 9, 0, 5, 0, nullptr}, {0, 0, 15, 0, 77, 0, nullptr}};
  CtlEvent rec = {};
  rec.code = 27;
  rec.handle = reinterpret_cast<wu_ctl_handle *>(&handleA);
  rec.params = params;
  rec.param_count = 2;
  ASSERT_EQ(k_->yuevntg(task, &window, QEV_EVCLASS_CONTROL, &rec, sizeof rec), WU_OK);
  // The caller reuses its buffers: the queued event keeps what was posted.
  rec.code = 9;
  params[0].value = 6;
  rec.handle = reinterpret_cast<wu_ctl_handle *>(&handleB);
  ASSERT_EQ(k_->yuevntg(task, &window, QEV_EVCLASS_CONTROL, &rec, sizeof rec), WU_OK);
  ASSERT_EQ(k_->yuevntg(task, &window, QEV_EVCLASS_CONTROL, &rec, sizeof rec), WU_OK);
  EXPECT_EQ(qevhost::pendingEvents(task), 3u);

  // Drop the events of handle B, then the node-keyed ones of handle A.
  EXPECT_EQ(k_->yufrcev(&window, &handleB), WU_OK);
  EXPECT_EQ(qevhost::pendingEvents(task), 1u);
  EXPECT_EQ(k_->yufrnev(&window, &handleA, 78), WU_OK);   // not its key
  EXPECT_EQ(qevhost::pendingEvents(task), 1u);

  qevhost::PostedEvent e;
  ASSERT_TRUE(qevhost::nextEvent(task, &e));
  EXPECT_EQ(e.window, &window);
  EXPECT_EQ(e.eventClass, QEV_EVCLASS_CONTROL);
  ASSERT_EQ(e.record.size(), sizeof rec);
  CtlEvent got;
  std::memcpy(&got, e.record.data(), sizeof got);
  EXPECT_EQ(got.code, 27);
  ASSERT_EQ(e.params.size(), sizeof params);
  Value first;
  std::memcpy(&first, e.params.data(), sizeof first);
  EXPECT_EQ(first.value, 5);
  EXPECT_FALSE(qevhost::nextEvent(task, &e));

  ASSERT_EQ(k_->yuevntg(task, &window, QEV_EVCLASS_CONTROL, &rec, sizeof rec), WU_OK);
  EXPECT_EQ(k_->yufrnev(&window, &handleB, 77), WU_OK);
  EXPECT_EQ(qevhost::pendingEvents(task), 0u);

  // Bad arguments.
  EXPECT_EQ(k_->yuevntg(nullptr, &window, 1, &rec, 4), WU_BADARG);
  EXPECT_EQ(k_->yuevntg(task, &window, 1, nullptr, 4), WU_BADARG);
  EXPECT_EQ(k_->yuevntg(task, &window, 1, &rec, -1), WU_BADARG);
  rec.param_count = -3;
  EXPECT_EQ(k_->yuevntg(task, &window, QEV_EVCLASS_CONTROL, &rec, sizeof rec), WU_BADARG);
  EXPECT_EQ(k_->yufrcev(&window, nullptr), WU_BADARG);
  EXPECT_EQ(qevhost::pendingEvents(task), 0u);
}

// Finds the driver as the module does: the context of the override task or
// the current task, then the named pointer.
wu_batch_driver *findDriver(const qev_gcb *g) {
  const qev_kernel *k = g->kernel;
  qev_context *ctx = k->yytgexe(g->override_task ? g->override_task : k->yucurtk());
  if (!ctx) return nullptr;
  void *out = nullptr;
  if (k->yytngp(ctx, 0, QEV_BATCH_DRIVER_NAME, QEV_BATCH_DRIVER_NAME_LEN, &out, 0) != WU_OK)
    return nullptr;
  return static_cast<wu_batch_driver *>(out);
}

TEST_F(HostTest, BatchDriverRecordsAndReplays) {
  qev_task *main = qevhost::mainTask();
  EXPECT_EQ(findDriver(gcb_), nullptr);
  qevhost::installBatchDriver(main, QEV_BATCH_RECORD);
  wu_batch_driver *d = findDriver(gcb_);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->mode, QEV_BATCH_RECORD);
  // The context "1" stands for the current task's.
  void *out = nullptr;
  EXPECT_EQ(k_->yytngp(reinterpret_cast<qev_context *>(1), 0, "BATCH_DRIVER", 12, &out, 0), WU_OK);
  EXPECT_EQ(out, d);

  int window = 0;
  wu_batch_event ev = {27, 0, 1, 1, 2.5, 3, 0};
  ASSERT_EQ(d->event_record(&window, 41, &ev), WU_OK);
  ev.code = 99;   // reused by the caller
  char item0[] = "Open", item1[] = "Close";
  wu_batch_choice rows[2] = {};
  rows[0].text = item0;
  rows[0].length = 4;
  rows[1].text = item1;
  rows[1].length = 5;
  ASSERT_EQ(d->popup_record(&window, 2, rows, 2), WU_OK);
  std::strcpy(item0, "XXXX");

  std::vector<qevhost::Recording> recs = qevhost::recordings(main);
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].window, &window);
  EXPECT_EQ(recs[0].controlId, 41);
  ASSERT_EQ(recs[0].record.size(), 32u);
  wu_batch_event back;
  std::memcpy(&back, recs[0].record.data(), sizeof back);
  EXPECT_EQ(back.code, 27);
  EXPECT_EQ(back.value2, 2.5);
  EXPECT_TRUE(recs[1].popup);
  EXPECT_EQ(recs[1].selected, 2);
  ASSERT_EQ(recs[1].choices.size(), 2u);
  EXPECT_EQ(recs[1].choices[0], "Open");
  EXPECT_EQ(recs[1].choices[1], "Close");

  // Replay through the override task: its driver answers from its queue.
  qev_task *other = qevhost::createTask("BATCH", 3, 0);
  qevhost::installBatchDriver(other, QEV_BATCH_REPLAY);
  qevhost::queuePopupChoice(other, &window, 2);
  gcb_->override_task = other;
  wu_batch_driver *r = findDriver(gcb_);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->mode, QEV_BATCH_REPLAY);
  void *w = nullptr;
  int32_t choice = 0;
  EXPECT_EQ(r->popup_replay(&w, &choice, rows, 2), WU_OK);
  EXPECT_EQ(w, &window);
  EXPECT_EQ(choice, 2);
  EXPECT_NE(r->popup_replay(&w, &choice, rows, 2), WU_OK);   // nothing more queued
  gcb_->override_task = nullptr;

  qevhost::removeBatchDriver(main);
  EXPECT_EQ(findDriver(gcb_), nullptr);
  EXPECT_EQ(k_->yytgexe(nullptr), nullptr);
  EXPECT_EQ(k_->yytngp(nullptr, 0, "BATCH_DRIVER", 12, &out, 0), WU_BADARG);
}

TEST_F(HostTest, HostControlServices) {
  int window = 0, handle = 0;
  uint32_t a = 0, b = 0;
  ASSERT_EQ(k_->yubtuid(&a), WU_OK);
  ASSERT_EQ(k_->yubtuid(&b), WU_OK);
  EXPECT_NE(a, b);
  EXPECT_EQ(k_->yudmeth(&handle, 8, nullptr, 0), WU_OK);
  ASSERT_EQ(qevhost::methodCalls().size(), 1u);
  EXPECT_EQ(qevhost::methodCalls()[0].method, 8);
  EXPECT_EQ(k_->yudmeth(nullptr, 8, nullptr, 0), WU_BADARG);
  void *h = nullptr;
  int extension = 0;
  EXPECT_EQ(k_->zuxcrea(&h, &window, &extension, 0x2001, nullptr, 0, nullptr), WU_OK);
  EXPECT_NE(h, nullptr);
  ASSERT_EQ(qevhost::hostCreates().size(), 1u);
  EXPECT_EQ(qevhost::hostCreates()[0].extension, &extension);
  qevhost::setHostControlStatus(WU_UNSUPPORTED);
  EXPECT_EQ(k_->zuxcrea(&h, &window, nullptr, 0x2001, nullptr, 0, nullptr), WU_UNSUPPORTED);
  EXPECT_EQ(k_->zuxcrea(&h, &window, nullptr, 5, nullptr, 0, nullptr), WU_BADARG);
  EXPECT_EQ(k_->yuhelpq(), 0);
  qevhost::setHelpSession(3);
  EXPECT_EQ(k_->yuhelpq(), 3);
  void *map = nullptr;
  EXPECT_EQ(k_->zuxgmap(0x2001, &map), WU_NOTAVAIL);
  char map44[44] = {};
  qevhost::setHostControlMap(0x2001, map44);
  EXPECT_EQ(k_->zuxgmap(0x2001, &map), WU_OK);
  EXPECT_EQ(map, map44);
}

}  // namespace
