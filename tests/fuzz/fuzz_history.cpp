// The command history file ("command.hist" in the user library's
// directory): read at start-up into the items the first command list takes.
// The input is the file; at most WU_HIST_READ_MAX commands come back, each a
// string the toolkit can show.
#include <sys/stat.h>

#include <Xm/Xm.h>

#include <string>

#include "fuzzhost.h"
#include "runtime/wuruntime.h"

// The history reader and the release of what it read (declared here so that
// the target follows the reader wherever it lives).
extern "C" void wumcmdr(void);
extern "C" void wumcfre(void);

namespace {
const int32_t kMostRead = 50;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!fuzzhost::StartedModule()) return 0;
  const std::string dir = qevhost::dataDir() + "/user";
  ::mkdir(dir.c_str(), 0777);
  fuzzhost::Write(dir + "/command.hist", data, size);
  wumcfre();
  wumcmdr();
  wu_state *s = wu_module();
  if (!s || s->pending_count < 0 || s->pending_count > kMostRead ||
      (s->pending_count > 0) != (s->pending_items != nullptr))
    __builtin_trap();
  for (int32_t i = 0; i < s->pending_count; ++i) {
    char *text = nullptr;
    if (!XmStringGetLtoR(static_cast<XmString>(s->pending_items[i]), XmFONTLIST_DEFAULT_TAG, &text))
      continue;
    XtFree(text);
  }
  wumcfre();
  return 0;
}
