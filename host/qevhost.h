// The stand-in host: the part of a host that the display module needs, kept
// small but real.  The host side (demo program and tests) drives and inspects
// it through this interface; the module reaches it only through the kernel
// vector in the global control block (qev/kernel.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "qev/kernel.h"

namespace qevhost {

// Host start-up and shut-down.  `dataDir` holds the option file ("options"),
// the message tables ("messages*.txt") and the catalog root ("catalogs/");
// it may be empty.  Starting creates the kernel vector, the global control
// block and the main task, which becomes the current task.
qev_gcb *start(const std::string &dataDir = std::string());
void stop();
qev_gcb *gcb();

// Loading the module as a host does: dlopen, mcn_main, then the tables it
// registered.  Returns the dlopen handle or nullptr (reason in the log).
void *loadModule(const std::string &path);
void unloadModule();
// A table the module registered (nullptr when none), and its slot count.
const void *table(int32_t id, int32_t *slotCount = nullptr);

// Memory pools: accounting that tests can read.
struct PoolStats {
  int64_t liveBlocks = 0;
  int64_t liveBytes = 0;
  int64_t errors = 0;      // wrong-size frees, frees of foreign blocks, ...
};
qev_pool *rootPool();
PoolStats poolStats(qev_pool *pool);
// Fails the nth allocation from now (1 = the next one) in any pool; 0 turns
// failure injection off.
void failAllocation(int64_t nth);

// Options.
void setCharOption(const std::string &name, const std::string &value);
void unsetCharOption(const std::string &name);
void setBoolOption(const std::string &name, bool value);
void setNumOption(const std::string &name, int32_t value);
void setHostBit(int32_t bit, bool on);
void setGlobal(int32_t index, int32_t value);
void setShutdownState(int32_t state);

// Message tables and the log.
void setMessage(int32_t set, int32_t number, const std::string &text);
bool loadMessages(const std::string &path);
std::vector<std::string> log();
void clearLog();

// Tasks and posted events.
qev_task *createTask(const std::string &name, int32_t kind, int32_t priority);
qev_task *mainTask();
void setCurrentTask(qev_task *task);
struct PostedEvent {
  void *window = nullptr;
  int32_t eventClass = 0;
  std::vector<uint8_t> record;
};
// Pops the oldest event posted to the task; false when there is none.
bool nextEvent(qev_task *task, PostedEvent *out);
size_t pendingEvents(qev_task *task);

// The batch driver published as "BATCH_DRIVER" in the task's context.
struct Recording {
  void *window = nullptr;
  int32_t controlId = 0;
  std::vector<uint8_t> record;      // the 32-byte recording
  bool popup = false;
  int32_t selected = 0;             // popup recordings: the chosen item
};
void installBatchDriver(qev_task *task, int32_t mode);  // 1 record, 2 replay
void removeBatchDriver(qev_task *task);
std::vector<Recording> recordings(qev_task *task);
// Replay: the choice the driver hands to the next popup.
void queuePopupChoice(qev_task *task, void *window, int32_t choice);

// The running command's text (tokenised for xncgtok/xncnxcm).
void setCommand(const std::string &text);

}  // namespace qevhost
