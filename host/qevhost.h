// The stand-in host: the part of a host that the display module needs, kept
// small but real.  The host side (demo program and tests) drives and inspects
// it through this interface; the module reaches it only through the kernel
// vector in the global control block (qev/kernel.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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
// The directory the host works in: dataDir, or, when none was given, a
// temporary directory "qevhost.XXXXXX" made at start under $TMPDIR (/tmp when
// unset) and removed at stop, or at exit by the process that made it.
std::string dataDir();
void unloadModule();
// A table the module registered (nullptr when none), and its slot count.
const void *table(int32_t id, int32_t *slotCount = nullptr);
// Slot `n` of the table `id` as a host calls it, typed as the caller's
// function type; null when there is no such table or slot.
using SlotAddress = void (*)(void);
SlotAddress slotAddress(int32_t id, int32_t n);
template <typename Fn>
Fn slot(int32_t id, int32_t n) {
  return reinterpret_cast<Fn>(slotAddress(id, n));
}

// Memory pools: accounting that tests can read.
struct PoolStats {
  int64_t liveBlocks = 0;
  int64_t liveBytes = 0;
  int64_t heapBytes = 0;   // what the live blocks and their keeping take of the heap
  int64_t errors = 0;      // wrong-size frees, frees of foreign blocks, ...
};
qev_pool *rootPool();
PoolStats poolStats(qev_pool *pool);
// Fails the nth allocation from now (1 = the next one) in any pool; 0 turns
// failure injection off.  Block allocations, reallocations (wmrealc) and
// pool creations (wmrpc) all count.  Uncleared blocks are filled with 0xA5;
// a wrong free is refused, counted in `errors` and logged.
void failAllocation(int64_t nth);
// Pools alive now (the root pool included).
size_t poolCount();

// Options.  The file "options" of the data directory is loaded at start;
// its lines read "char NAME value", "bool NAME on|off", "num NAME n",
// "hostbit n on|off", "global n value", "shutdown n" and
// "colour n 0xRRGGBB" ("#" starts a comment).
bool loadOptions(const std::string &path);
void setCharOption(const std::string &name, const std::string &value);
void unsetCharOption(const std::string &name);
void setBoolOption(const std::string &name, bool value);
void setNumOption(const std::string &name, int32_t value);
void setHostBit(int32_t bit, bool on);
void setGlobal(int32_t index, int32_t value);
void setShutdownState(int32_t state);
void setColourParameter(int32_t index, int32_t rgb);

// Message tables and the log.
// Message files hold lines "set number text"; every "messages*.txt" of the
// data directory is loaded at start.
void setMessage(int32_t set, int32_t number, const std::string &text);
bool loadMessages(const std::string &path);
// The log: one entry per line, its class (QEV_LOG_..., 0 when the text had
// no class prefix) and its text without the prefix.
struct LogEntry {
  int32_t cls = 0;
  std::string text;
};
std::vector<LogEntry> logEntries();
std::vector<std::string> log();     // the texts of logEntries()
void clearLog();
// Messages shown to the user: by yudsmsg (window, class, set, number) and by
// the host message routine (no window, class 0).
struct ShownMessage {
  void *window = nullptr;
  int32_t cls = 0;
  int32_t set = 0;
  int32_t number = 0;
};
std::vector<ShownMessage> shownMessages();
void clearShownMessages();
// What the host shows the user, handed to the host program as it comes:
// the text of each message shown by yudsmsg (window and class as given)
// and by the host message routine (no window, class 0), and each error
// the module logs (no window, class QEV_LOG_ERROR).  A message without a
// text is handed over as "Message <set>,<number>.".  The sink is kept
// across restarts of the host; an empty one hands nothing over.
using MessageSink = std::function<void(void *window, int32_t cls, const std::string &text)>;
void setMessageSink(MessageSink sink);
// Messages looked up (wkread, xpmstr, ypmlog, yudsmsg, the host message
// routine) that no table holds, each once, in the order first asked for.
struct MessageKey {
  int32_t set = 0;
  int32_t number = 0;
};
std::vector<MessageKey> missingMessages();
void clearMissingMessages();

// Tasks and posted events.
qev_task *createTask(const std::string &name, int32_t kind, int32_t priority);
qev_task *mainTask();
void setCurrentTask(qev_task *task);
qev_task *currentTask();
struct PostedEvent {
  void *window = nullptr;
  int32_t eventClass = 0;
  std::vector<uint8_t> record;
  std::vector<uint8_t> params;      // control events: copy of the parameter entries
};
// Pops the oldest event posted to the task; false when there is none.
bool nextEvent(qev_task *task, PostedEvent *out);
size_t pendingEvents(qev_task *task);

// The batch driver published as "BATCH_DRIVER" in the task's context.
struct Recording {
  void *window = nullptr;
  int32_t controlId = 0;
  std::vector<uint8_t> record;      // the 32-byte recording; a text event's
                                    // text address names `text` below
  std::shared_ptr<const std::string> text;  // the driver's copy of a recorded text
  bool popup = false;
  int32_t selected = 0;             // popup recordings: the chosen item
  std::vector<std::string> choices; // popup recordings: the items' texts
  int32_t popupKind = 0;            // kPopupControl, kPopupWindow, kPopupChoice
};
const int32_t kPopupControl = 0;    // the controls' string popup
const int32_t kPopupWindow = 1;     // a window popup menu (selected: its result)
const int32_t kPopupChoice = 2;     // a choice popup
void installBatchDriver(qev_task *task, int32_t mode);  // 1 record, 2 replay
void removeBatchDriver(qev_task *task);
std::vector<Recording> recordings(qev_task *task);
// Replay: the choice the driver hands to the next popup.
void queuePopupChoice(qev_task *task, void *window, int32_t choice);
// Publishes (or, with nullptr, withdraws) a named pointer of the task's
// execution context.
void setNamedPointer(qev_task *task, const std::string &name, void *pointer);

// The running command's text (tokenised for xncgtok/xncnxcm).
// Tokens: names (type 2), numbers (3), quoted strings (4), "=" and "."
// (type 22, subtypes 15 and 21), other characters (22, 0); ";" ends a
// command (type 1) and the end of the text gives type 30.
void setCommand(const std::string &text);
// How often the module said the command was consumed (xncdrcm).
int32_t commandsConsumed();

// Catalog libraries: directories below <dataDir>/catalogs.  A library is
// read-only when it holds a file ".readonly" or was so marked here.
std::string catalogRoot();
void defineLibrary(const std::string &libref, bool readOnly = false);
void setLibraryReadOnly(const std::string &libref, bool readOnly);
// The user's profile library (ylprofl).
extern const char *const kProfileLibref;   // "QEVUSER"
extern const char *const kProfileCatalog;  // "PROFILE"
// Command id to icon number (yucc2ic).
void setCommandIcon(int32_t commandId, int32_t icon);

// Host libraries as yhlinf2/yhlcnf2 describe them: engine, path list
// ("dir" or "('dir1' 'dir2')"), member flags, concatenated members.
// "QEVUSER" is defined at start over <dataDir>/user.
struct HostLibrary {
  std::string engine = "DISK";
  std::string paths;
  int32_t memberFlags = 0;
  std::vector<HostLibrary> members;
};
void setHostLibrary(const std::string &libref, const HostLibrary &lib);
// External record files: the record of number `record` (1-based) read,
// resp. written, next fails once; 0 withdraws the failure.
void failRecordFile(bool write, int32_t record);
// The next assignment of a file reference fails once.
void failFileAssign();

// Host images: named images with a vector (wiloadv, viidb2g, wiimgfd).
void registerImage(const std::string &name, void *vector);
// The user's own images (ids from 1025) the image service (yuimxpm) serves
// as XPM data at every size: `lines` as they are, damaged or not, handed as
// an array that ends with a null pointer; no lines withdraws the image
// (a built-in one of the id is served again).
void registerUserImage(int32_t id, const std::vector<std::string> &lines);

// The image converter "QEVZIMG " (qev/zimg.h): installed or withdrawn; its
// output call answers `outputAnswer` (0 writes a small file naming the
// format and size).  Its calls, oldest first, as texts ("create", "open
// flag", "set 9302 1", "set 4020 2 <path> <format>", "release").
void installImageConverter(bool install, wu_status outputAnswer = 0);
std::vector<std::string> converterCalls();

// Method calls handed to the host (yudmeth), oldest first.
struct MethodCall {
  void *handle = nullptr;
  int32_t method = 0;
  void *params = nullptr;
  int32_t count = 0;
};
std::vector<MethodCall> methodCalls();
// Host control types (0x2001 and up): the map zuxgmap answers, and the
// status zuxcrea passes back.
void setHostControlMap(int32_t type, void *map);
void setHostControlStatus(wu_status status);
// What zuxcrea was handed, oldest first.
struct HostCreate {
  void *pane = nullptr;
  void *extension = nullptr;
  int32_t type = 0;
  void *values = nullptr;
  int32_t count = 0;
  void *procedure = nullptr;
};
std::vector<HostCreate> hostCreates();
// The host help service's session byte (0: no help session).
void setHelpSession(int32_t session);

// Panels and fields the module asked for.
size_t panelCount(void *window);
size_t fieldCount(void *panel);


// Menu descriptions ("PMENU" entries).  A node of kind 1 (menu) lists its
// items; its text is built from their labels, each followed by a blank.
// Kinds 5 and 6 (reference, include) name another entry; kind 2 (dialog)
// carries its item records in `text` and its command template.
struct MenuItem {
  std::string label;
  int32_t submenu = 0;     // node number opened or run, 0 none
  int32_t commandId = 0;
  int32_t grayed = 0;
  int32_t itemId = 0;
  int32_t separator = 0;   // separator after the item
  int32_t check = 0;       // 1 check item, 2 radio item
  char mnemonic = 0;
};
struct MenuNode {
  int32_t number = 1;
  int32_t kind = 1;
  std::string text;        // command (kinds 0, 3) or dialog items (kind 2)
  std::vector<MenuItem> items;
  std::string templ;       // dialog: command template
  bool extra = false;      // dialog: one more record follows the template
  int32_t upper = 0;       // upper-case flag
  std::string libref, catalog, entry;   // kinds 5 and 6
};
// Writes the nodes as one entry (one call per node, in order); false when
// the library or member cannot be written.
bool writeMenu(const std::string &libref, const std::string &catalog, const std::string &entry,
               const std::vector<MenuNode> &nodes);
// The records of one node as writeMenu writes them, to be changed by tests
// and written raw.
std::vector<std::vector<uint8_t>> menuNodeRecords(const MenuNode &node);
bool writeMenuRecords(const std::string &libref, const std::string &catalog,
                      const std::string &entry, const std::vector<std::vector<uint8_t>> &records);
// A 76-byte location: libref, catalog and entry names.
std::vector<uint8_t> menuLocation(const std::string &libref, const std::string &catalog,
                                  const std::string &entry);

}  // namespace qevhost
