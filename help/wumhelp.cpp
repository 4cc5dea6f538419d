// The browser link: an address is handed to the browser the user names in
// $BROWSER.  The browser is started directly (never through a shell) with
// the address as its one argument; failing to start it is reported.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "dialogs/wudialog.h"
#include "runtime/wutoolkit.h"

extern "C" wu_status browseURL(const char *address, int32_t length, int32_t mode) {
  if (mode != WU_BROWSE_URL) return WU_UNSUPPORTED;
  if (!address || length <= 0) return WU_NOTAVAIL;
  const std::string url(address, size_t(length));
  if (url.find('\0') != std::string::npos) return WU_NOTAVAIL;
  const char *browser = std::getenv("BROWSER");
  if (!browser || !*browser) {
    wutlogf(QEV_LOG_ERROR, "No web browser is named in BROWSER.");
    return WU_NOTAVAIL;
  }
  // The exec status comes back through a pipe that closes on a successful
  // exec; the browser itself is left to run (its parent exits at once, so
  // it never becomes a zombie of the host).
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return WU_NOTAVAIL;
  pid_t child = fork();
  if (child < 0) {
    close(fds[0]);
    close(fds[1]);
    return WU_NOTAVAIL;
  }
  if (child == 0) {
    close(fds[0]);
    pid_t grandchild = fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    setsid();
    const char *argv[] = {browser, url.c_str(), nullptr};
    execvp(browser, const_cast<char *const *>(argv));
    int err = errno;
    ssize_t ignored = write(fds[1], &err, sizeof err);
    (void)ignored;
    _exit(127);
  }
  close(fds[1]);
  int status = 0;
  waitpid(child, &status, 0);
  int err = 0;
  ssize_t got;
  do {
    got = read(fds[0], &err, sizeof err);
  } while (got < 0 && errno == EINTR);
  close(fds[0]);
  if (got > 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    wutlogf(QEV_LOG_ERROR, "The web browser \"%s\" cannot be started.", browser);
    return WU_NOTAVAIL;
  }
  return WU_OK;
}
