// The user's preferences file: read by the module's reader into a resource
// database, in a multi-byte locale (where the resource parser is most
// easily taken past the end of its text), and the settings looked up.
#include <X11/Xresource.h>

#include <clocale>
#include <string>

#include "fuzzhost.h"
#include "runtime/wutprff.h"

// The resource manager compares a name with the names it knows by memcmp
// over the new name's length; the comparison ends at the first byte that
// differs (a shorter name's NUL) and never reads further, but the
// sanitizer's strict memcmp check counts the whole length as read.
extern "C" const char *__asan_default_options() { return "strict_memcmp=0"; }

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (!std::setlocale(LC_ALL, "C.UTF-8")) std::setlocale(LC_ALL, "");
  XrmInitialize();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string path = fuzzhost::Dir() + "/QEVUSERPREFS";
  fuzzhost::Write(path, data, size);

  // What the parser is handed never holds a NUL and always ends with an
  // empty line.
  const std::string text =
      wuprefs::DatabaseText(std::string(reinterpret_cast<const char *>(data), size), path);
  if (text.find('\0') != std::string::npos || text.empty() || text.back() != '\n' ||
      (text.size() > 1 && text[text.size() - 2] != '\n'))
    __builtin_trap();

  if (XrmDatabase db = wuprefs::ReadDatabase(path)) {
    const char *names[][2] = {{"QEV.toolBoxTipDelay", "QEV.ToolBoxTipDelay"},
                              {"QEV.menuBackground", "QEV.MenuBackground"},
                              {"QEV.font", "QEV.Font"}};
    for (const auto &n : names) {
      char *type = nullptr;
      XrmValue value;
      XrmGetResource(db, n[0], n[1], &type, &value);
    }
    XrmDestroyDatabase(db);
  }
  return 0;
}
