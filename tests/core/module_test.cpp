// Loading the module, its vector tables, start-up and shut-down.
#include <cstring>

#include "coretest.h"
#include "qev/batch.h"
#include "runtime/wuhost.h"

namespace {

using coretest::LoadedTest;
using coretest::slot;
using coretest::StartedTest;

struct TableInfo {
  int32_t id;
  int32_t slots;
  const char *eye;
};
const TableInfo kTables[] = {
    {QEV_TABLE_WINDOW, QEV_TABLE_WINDOW_SLOTS, "WUXTBL  "},
    {QEV_TABLE_GRAPHICS, QEV_TABLE_GRAPHICS_SLOTS, "WUGTBL  "},
    {QEV_TABLE_IMAGES, QEV_TABLE_IMAGES_SLOTS, "WUGITBL "},
    {QEV_TABLE_METHODS, QEV_TABLE_METHODS_SLOTS, "WUXPTBL "},
};

TEST_F(LoadedTest, RegistersFourTablesWithTheirSlotCounts) {
  for (const TableInfo &t : kTables) {
    int32_t count = -1;
    auto *table = static_cast<const qev_table *>(qevhost::table(t.id, &count));
    ASSERT_NE(table, nullptr) << t.eye;
    EXPECT_EQ(count, t.slots);
    EXPECT_EQ(table->slot_count, t.slots);
    EXPECT_EQ(table->id, t.id);
    EXPECT_EQ(std::memcmp(table->eye, t.eye, 8), 0);
    for (int32_t i = 0; i < t.slots; ++i) EXPECT_NE(table->slots[i], nullptr) << t.eye << i;
  }
  // A slot that no subsystem builds answers "not available".
  auto unbuilt = slot<coretest::InitFn>(QEV_TABLE_WINDOW, QEV_TABLE_WINDOW_SLOTS - 1);
  ASSERT_NE(unbuilt, nullptr);
  EXPECT_EQ(unbuilt(), WU_NOTAVAIL);
  EXPECT_EQ(slot<coretest::InitFn>(QEV_TABLE_GRAPHICS, 1)(), WU_NOTAVAIL);
}

TEST_F(LoadedTest, TerminateSlotsAndUnloadWithdrawTheTables) {
  EXPECT_EQ(slot<coretest::InitFn>(QEV_TABLE_METHODS, WU_SLOT_TERMINATE)(), WU_OK);
  EXPECT_EQ(qevhost::table(QEV_TABLE_METHODS), nullptr);
  EXPECT_NE(qevhost::table(QEV_TABLE_WINDOW), nullptr);
  qevhost::clearLog();
  qevhost::unloadModule();
  for (const TableInfo &t : kTables) EXPECT_EQ(qevhost::table(t.id), nullptr) << t.eye;
  for (const std::string &line : qevhost::log())
    EXPECT_EQ(line.find("still registered"), std::string::npos) << line;
}

TEST_F(LoadedTest, StartAndEndCreateAndReleaseTheModulePool) {
  EXPECT_EQ(gcb_->module_state, nullptr);
  ASSERT_EQ(init(), WU_OK);
  auto *state = static_cast<wu_state *>(gcb_->module_state);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(qevhost::poolCount(), basePools_ + 1);
  // The state block: nothing else at start-up (the control services vector
  // outlives the pool, for handles a host keeps past the shut-down).
  qevhost::PoolStats s = qevhost::poolStats(state->pool);
  EXPECT_EQ(s.liveBlocks, 1);
  EXPECT_EQ(s.liveBytes, static_cast<int64_t>(sizeof(wu_state)));
  EXPECT_EQ(state->batch, nullptr);   // no batch driver published

  // The services vector: 17 services and a null last slot.
  ASSERT_NE(state->services, nullptr);
  auto *words = reinterpret_cast<void *const *>(state->services);
  for (int i = 0; i < WU_CTL_SERVICES_SLOTS - 1; ++i) EXPECT_NE(words[i], nullptr) << i;
  EXPECT_EQ(words[WU_CTL_SERVICES_SLOTS - 1], nullptr);

  EXPECT_EQ(init(), WU_OK);   // a second start changes nothing
  EXPECT_EQ(gcb_->module_state, state);
  EXPECT_EQ(qevhost::poolCount(), basePools_ + 1);

  EXPECT_EQ(term(), WU_OK);
  EXPECT_EQ(gcb_->module_state, nullptr);
  EXPECT_EQ(qevhost::poolCount(), basePools_);
  EXPECT_EQ(term(), WU_NOTAVAIL);   // nothing left to end
}

TEST_F(LoadedTest, StartFindsThePublishedBatchDriver) {
  qevhost::installBatchDriver(qevhost::mainTask(), QEV_BATCH_RECORD);
  ASSERT_EQ(init(), WU_OK);
  wu_batch_driver *driver = wu_module()->batch;
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->mode, QEV_BATCH_RECORD);
  EXPECT_EQ(term(), WU_OK);
  qevhost::removeBatchDriver(qevhost::mainTask());
}

TEST_F(LoadedTest, StartUpOutOfMemoryLeavesNothingBehind) {
  bool failed = false;
  for (int64_t nth = 1; nth < 10; ++nth) {
    qevhost::failAllocation(nth);
    wu_status st = init();
    qevhost::failAllocation(0);
    if (st == WU_OK) {
      EXPECT_EQ(term(), WU_OK);
      break;
    }
    failed = true;
    EXPECT_EQ(st, WU_NOMEM) << nth;
    EXPECT_EQ(gcb_->module_state, nullptr) << nth;
    EXPECT_EQ(qevhost::poolCount(), basePools_) << nth;
  }
  EXPECT_TRUE(failed);
  EXPECT_EQ(qevhost::poolStats(qevhost::rootPool()).errors, 0);
}

TEST_F(LoadedTest, UnloadingAStartedModuleEndsItFirst) {
  ASSERT_EQ(init(), WU_OK);
  qevhost::unloadModule();
  EXPECT_EQ(gcb_->module_state, nullptr);
  EXPECT_EQ(qevhost::poolCount(), basePools_);
}

TEST_F(StartedTest, HostLogReachedThroughTheKernelStubs) {
  qevhost::clearLog();
  const char *error = "%3zModule error.";
  const char *warning = "%2zModule warning.";
  EXPECT_EQ(ypslog(error, wzstlen(error)), WU_OK);
  EXPECT_EQ(xpslog(warning, wzstlen(warning)), WU_OK);
  qev_arg args[2] = {{QEV_ARG_TEXT, 3, "LIB", 0}, {QEV_ARG_TEXT, 5, "ENTRY", 0}};
  char out[64];
  int32_t len = 0;
  ASSERT_EQ(ypsstr(out, sizeof out, &len, "%8b.%32b.", 9, 2, args), WU_OK);
  EXPECT_EQ(std::string(out, len), "LIB     .ENTRY                           .");
  std::vector<qevhost::LogEntry> log = qevhost::logEntries();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].cls, QEV_LOG_ERROR);
  EXPECT_EQ(log[0].text, "Module error.");
  EXPECT_EQ(log[1].cls, QEV_LOG_WARNING);
  EXPECT_EQ(log[1].text, "Module warning.");
}

struct TrapSeen {
  int calls = 0;
  int32_t signal = 0;
  void *message = nullptr;
};

wu_status RecordTrap(qev_task *, int32_t signal, void *message, void *data) {
  auto *seen = static_cast<TrapSeen *>(data);
  ++seen->calls;
  seen->signal = signal;
  seen->message = message;
  static_cast<wu_key_signal *>(message)->answer = WU_EVPROC_ANSWER;
  return WU_OK;
}

TEST_F(StartedTest, TrapRunsThroughTheSignalService) {
  qev_task *display = qevhost::createTask("DISPLAY", 1, 1);
  TrapSeen seen;
  ASSERT_EQ(wttrap(display, QEV_SIG_EVPROC, RecordTrap, &seen), WU_OK);
  wu_key_signal msg = {QEV_SIG_EVPROC, sizeof(wu_key_signal), 1, 0, nullptr, nullptr};
  EXPECT_EQ(wtsignl(display, QEV_SIG_EVPROC, &msg, 0), WU_OK);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(seen.signal, QEV_SIG_EVPROC);
  EXPECT_EQ(seen.message, &msg);
  EXPECT_EQ(msg.answer, WU_EVPROC_ANSWER);
  // No trap: the signal is not available and nothing runs.
  EXPECT_EQ(wttrap(display, QEV_SIG_EVPROC, nullptr, nullptr), WU_OK);
  EXPECT_EQ(wtsignl(display, QEV_SIG_EVPROC, &msg, 0), WU_NOTAVAIL);
  EXPECT_EQ(seen.calls, 1);
}

}  // namespace
