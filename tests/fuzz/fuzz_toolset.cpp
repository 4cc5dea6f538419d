// Tool sets ("TOOLSET" catalog entries the Tool Editor saves and loads): the
// input is the entry, read into a tool box and given back.
#include <sys/stat.h>

#include <string>

#include "fuzzhost.h"

// The tool box reader and its release (declared here so that the target
// follows the reader wherever it lives).
struct wu_toolbox;
struct wu_window;
extern "C" wu_toolbox *wumtlcl(const char *libref, const char *catalog, const char *entry,
                               const char *type);
extern "C" void wutfbar(wu_window *window, wu_toolbox *box);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!fuzzhost::StartedModule()) return 0;
  static bool defined = false;
  if (!defined) {
    qevhost::defineLibrary("FUZZ");
    defined = true;
  }
  const std::string catalog = qevhost::catalogRoot() + "/FUZZ/CAT";
  ::mkdir(catalog.c_str(), 0777);
  fuzzhost::Write(catalog + "/ENTRY.TOOLSET", data, size);
  const fuzzhost::Name34 cat("CAT"), entry("ENTRY");
  if (wu_toolbox *box = wumtlcl("FUZZ    ", cat.bytes, entry.bytes, "TOOLSET ")) wutfbar(nullptr, box);
  return 0;
}
