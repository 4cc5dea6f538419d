// Help requests.  There is no help host here: a request is served by
// showing its document in the user's web browser.  The document of a
// request (system, book, topic) is
//     file://$QEVROOT/help/<system>/<book>.html#<topic>
// The texts become part of a path and an address, so only letters,
// digits, '.', '_' and '-' are taken (and no leading '.'): a request can
// never name a file outside the help folder.
#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <string>

#include "dialogs/wudialog.h"
#include "runtime/wuhost.h"
#include "runtime/wutoolkit.h"

namespace {

bool SafeText(const wu_help_text &t, std::string *out) {
  if (t.length <= 0 || t.length > WU_HELP_TEXT_MAX || !t.text) return false;
  out->assign(t.text, size_t(t.length));
  if ((*out)[0] == '.') return false;
  for (unsigned char c : *out)
    if (!std::isalnum(c) && c != '.' && c != '_' && c != '-') return false;
  return true;
}

}  // namespace

extern "C" {

int32_t vuxihlp(void) { return yuhelpq() & 0xff; }

wu_status wunhelpc(const wu_help_request *request) {
  if (!request) return WU_BADARG;
  std::string part[WU_HELP_TEXTS];
  for (int i = 0; i < WU_HELP_TEXTS; ++i) {
    if (!SafeText(request->texts[i], &part[i])) {
      wutlogf(QEV_LOG_ERROR, "A help request names no valid document (text %d).", i + 1);
      return WU_BADARG;
    }
  }
  const char *root = std::getenv("QEVROOT");
  if (!root || !*root) {
    wutlogf(QEV_LOG_ERROR, "Help is not available: QEVROOT does not name the system's folder.");
    return WU_NOTAVAIL;
  }
  const std::string file = std::string(root) + "/help/" + part[0] + "/" + part[1] + ".html";
  struct stat st;
  if (stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    wutlogf(QEV_LOG_ERROR, "Help is not available: there is no document %s.", file.c_str());
    return WU_NOTAVAIL;
  }
  const std::string address = "file://" + file + "#" + part[2];
  // The browser link reports a missing or failing browser itself.
  return browseURL(address.c_str(), int32_t(address.size()), WU_BROWSE_URL);
}

}  // extern "C"
