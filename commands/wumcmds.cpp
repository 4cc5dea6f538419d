// The command history file: "command.hist" in the directory of the user's
// library, one record per command, most recent first.  Read once at start-up
// into the pending items, handed to the first command combo built, and
// written back from that combo's list at shut-down.  All file access goes
// through the host's external-file services.
#include <X11/IntrinsicP.h>
#include <Xm/List.h>
#include <Xm/Xm.h>

#include <cstring>
#include <vector>

#include "controls/wucombo.h"
#include "commands/wucmds.h"
#include "qev/kernel.h"
#include "runtime/wudevice.h"
#include "runtime/wuhost.h"
#include "runtime/wureg.h"
#include "runtime/wuruntime.h"
#include "runtime/wutoolkit.h"

namespace {

const char kUserLibrary[QEV_LIBREF_LEN + 1] = "QEVUSER ";
const char kFileRef[QEV_LIBREF_LEN + 1] = "COMDHIST";
const char kEngine[QEV_LIBREF_LEN + 1] = "DISK    ";
const char kFileName[] = "command.hist";
const int32_t kFileNameLength = 12;
const int32_t kNameSize = 1024;
// Open attribute words: input; output replacing the file, records of 200.
const int32_t kReadAttributes[7] = {4113, 17, 0, 0, 1, 0, 0};
const int32_t kWriteAttributes[7] = {4370, 1, WU_HIST_RECORD_MAX, 0, 0, 0, 0};
const char kReadFailed[] = "%1zUnable to read command history file.";
const char kWriteFailed[] = "%1zUnable to save command history file.";

void Log(const char *text) { ypslog(text, wzstlen(text)); }

enum class Assigned { kNoDirectory, kYes, kFailed };

// Assigns the file reference to the history file of the user's library:
// kNoDirectory (quietly) when there is no usable directory, kFailed when
// the host refused the assignment.
Assigned AssignHistory() {
  qev_libinfo info;
  std::memset(&info, 0, sizeof info);
  if (yhlinf2(kUserLibrary, &info) != WU_OK) return Assigned::kNoDirectory;
  if (info.concatenated > 0) {
    // The first plain member on the default engine, else the last member.
    qev_libinfo member;
    for (int32_t i = 1; i <= info.concatenated; ++i) {
      std::memset(&member, 0, sizeof member);
      if (yhlcnf2(kUserLibrary, i, &member) != WU_OK) return Assigned::kNoDirectory;
      if (!(member.member_flags & QEV_LIBINFO_MEMBER_FLAG) &&
          std::memcmp(member.engine, kEngine, sizeof member.engine) == 0)
        break;
    }
    info = member;
  }
  if (info.path_length <= 0 || info.path_length > int32_t(sizeof info.path)) return Assigned::kNoDirectory;
  std::vector<char> first(kNameSize, '\0');
  int32_t count = 0;
  if (hx_split_path(info.path, info.path_length, first.data(), kNameSize, &count) != WU_OK ||
      count < 1)
    return Assigned::kNoDirectory;
  first[kNameSize - 1] = '\0';
  // An empty first element is the working directory as much as "." is.
  if (first[0] == '\0' || std::strcmp(first.data(), ".") == 0) return Assigned::kNoDirectory;
  std::vector<char> name(kNameSize, '\0');
  if (wxname(name.data(), kNameSize, kFileName, kFileNameLength, 0, info.path, info.path_length) !=
      WU_OK)
    return Assigned::kNoDirectory;
  name[kNameSize - 1] = '\0';
  return wxasgn(kFileRef, kEngine, name.data(), wzstlen(name.data())) == WU_OK ? Assigned::kYes
                                                                              : Assigned::kFailed;
}

// The list holding the history: the merged box's command combo or the
// command window's, as the preference chooses.
Widget HistoryList() {
  wu_state *s = wu_module();
  if (!s || !devb) return nullptr;
  wu_combo *cb = s->command_combos[devb->prefs.use_command_combo ? WU_COMBO_TOOLBOX : WU_COMBO_CMDWIN];
  if (!wu_reg_has(cb, WU_REG_COMBO)) return nullptr;
  Widget list = cb->list;
  return (list && !list->core.being_destroyed) ? list : nullptr;
}

void FreePending(wu_state *s) {
  for (int32_t i = 0; i < s->pending_count; ++i) XmStringFree(static_cast<XmString>(s->pending_items[i]));
  XtFree(reinterpret_cast<char *>(s->pending_items));
  s->pending_items = nullptr;
  s->pending_count = 0;
}

void Save();

}  // namespace

extern "C" {

void wumcmdr(void) {
  wu_state *s = wu_module();
  if (!s || s->pending_items) return;
  if (AssignHistory() != Assigned::kYes) return;
  qev_file *file = nullptr;
  if (wxopen(&file, kFileRef, kReadAttributes) != WU_OK || !file) return;
  std::vector<XmString> items;
  char record[WU_HIST_RECORD_MAX + 1];
  while (int32_t(items.size()) < WU_HIST_READ_MAX) {
    int32_t length = 0;
    // A record longer than WU_HIST_RECORD_MAX comes back cut, and is an error.
    wu_status st = wxread(file, record, WU_HIST_RECORD_MAX, &length);
    if (st == WU_EOF) break;
    if (st != WU_OK || length < 0 || length > WU_HIST_RECORD_MAX) {
      Log(kReadFailed);
      break;
    }
    if (length == 0) continue;
    record[length] = '\0';
    if (XmString xs = wumcstr(record)) items.push_back(xs);
  }
  wxclose(file);
  if (items.empty()) return;
  auto *array = reinterpret_cast<XmString *>(XtMalloc(Cardinal(items.size() * sizeof(XmString))));
  std::memcpy(array, items.data(), items.size() * sizeof(XmString));
  s->pending_items = reinterpret_cast<wu_xmstring *>(array);
  s->pending_count = int32_t(items.size());
}

wu_status wumcpop(Widget list) {
  wu_state *s = wu_module();
  if (!s || !s->pending_items || s->pending_count <= 0) return WU_NOTAVAIL;
  if (!list || list->core.being_destroyed) return WU_NOTAVAIL;
  XtVaSetValues(list, XmNitems, s->pending_items, XmNitemCount, s->pending_count, nullptr);
  // The list keeps copies of its own.
  FreePending(s);
  return WU_OK;
}

void wumcfre(void) {
  if (wu_state *s = wu_module()) FreePending(s);
}

void wumcmds(void) {
  wumcfre();
  Save();
  // The command window goes with the display.
  if (Widget top = wumcwtf())
    if (wu_x_ok()) XtDestroyWidget(XtParent(top));
}

}  // extern "C"

namespace {

void Save() {
  Widget list = HistoryList();
  if (!list) return;
  XmStringTable items = nullptr;
  int count = 0;
  XtVaGetValues(list, XmNitems, &items, XmNitemCount, &count, nullptr);
  if (!items || count <= 0) return;
  const Assigned assigned = AssignHistory();
  if (assigned == Assigned::kNoDirectory) return;
  qev_file *file = nullptr;
  if (assigned == Assigned::kFailed || wxopen(&file, kFileRef, kWriteAttributes) != WU_OK ||
      !file) {
    Log(kWriteFailed);
    return;
  }
  const int limit = devb ? devb->prefs.commands_saved : 0;
  bool ok = true;
  for (int i = 0; ok && i < count && i < limit; ++i) {
    char *text = wumgstr(items[i]);
    if (!text) continue;
    // A record holds at most WU_HIST_RECORD_MAX bytes.
    int32_t length = wzstlen(text);
    if (length > WU_HIST_RECORD_MAX) length = WU_HIST_RECORD_MAX;
    ok = wxwrite(file, text, length) == WU_OK;
    XtFree(text);
  }
  // The host keeps the old file unless every write succeeded.
  if (wxclose(file) != WU_OK) ok = false;
  if (!ok) Log(kWriteFailed);
}

}  // namespace
