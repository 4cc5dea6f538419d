// Menu descriptions ("PMENU" catalog entries): the input is an entry, loaded
// into a menu set of a window (with the entries it references or includes,
// the input again under other names) and released.  The window is never
// realised: the load reads and checks, the menu widgets come later.
#include <sys/stat.h>

#include <string>

#include "fuzzhost.h"
#include "menus/wumenus.h"
#include "textwin/wutwin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (!fuzzhost::StartedModule()) return 0;
  static wu_window *window = nullptr;
  if (!window) {
    qevhost::defineLibrary("FUZZ");
    if (wuxgwnd(&window, 1, 0) != 0 || !window) return 0;
  }
  const std::string catalog = qevhost::catalogRoot() + "/FUZZ/CAT";
  ::mkdir(catalog.c_str(), 0777);
  // A set already loaded is shared by name: every input gets a name of its
  // own, and the file goes when it has been read.
  static unsigned serial = 0;
  const std::string name = "E" + std::to_string(++serial % 100000);
  const std::string path = catalog + "/" + name + ".PMENU";
  fuzzhost::Write(path, data, size);
  const fuzzhost::Name34 cat("CAT"), entry(name.c_str());
  wu_menu_set *set = nullptr;
  if (wuxlmnu(window, nullptr, "FUZZ    ", cat.bytes, entry.bytes, nullptr, 0, &set) == 0) {
    if (!set || !set->root || set->node_count < 1) __builtin_trap();
    wuxfmnu(window, set);
  } else if (set) {
    __builtin_trap();
  }
  if (window->menu_sets) __builtin_trap();
  ::remove(path.c_str());
  return 0;
}
