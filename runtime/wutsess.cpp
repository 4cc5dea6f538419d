// Session numbers on a display: the table "QEV_SESSIONS" on the root window
// and the lock "QEV_LOCK" around its changes (see wutsess.h).
#include "runtime/wutsess.h"

#include <X11/Xatom.h>
#include <time.h>

#include <algorithm>
#include <vector>

#include "qev/kernel.h"
#include "runtime/wutoolkit.h"

namespace {

// The table holds at most this many sessions; pairs past it are ignored.
const long kMaxSessions = 1024;
// Words of one pair in the table: the number, then the window.
const long kPairWords = 2;
// How often a session looks whether the lock was released.
const long kLockPollNs = 20L * 1000 * 1000;

struct Entry {
  long number;
  Window window;
};

// BadWindow and the like while the table is checked: the windows of ended
// sessions are expected to be gone.
int g_trapped = 0;
int Trap(Display *, XErrorEvent *) {
  ++g_trapped;
  return 0;
}

// A pair is live while its window exists and carries the session's mark
// with the pair's number: a window id the server gave to another client
// after the session ended has no such mark.
bool Alive(Display *dpy, Atom mark, const Entry &e) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  bool alive = false;
  if (XGetWindowProperty(dpy, e.window, mark, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && count == 1 && data)
    alive = *reinterpret_cast<const long *>(data) == e.number;
  if (data) XFree(data);
  return alive;
}

long NowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return long(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Owns the lock for `window`, waiting up to `wait_ms` for its holder.  The
// owner is looked at and set under a server grab, so that two sessions
// cannot both find it free.  A holder that ends loses the selection with
// its window, so only a hung holder makes the wait run out.
bool TakeLock(Display *dpy, Atom lock, Window window, int32_t wait_ms) {
  const long deadline = NowMs() + std::max<int32_t>(wait_ms, 0);
  for (;;) {
    XGrabServer(dpy);
    Window owner = XGetSelectionOwner(dpy, lock);
    if (owner == None) XSetSelectionOwner(dpy, lock, window, CurrentTime);
    XUngrabServer(dpy);
    XSync(dpy, False);
    if (XGetSelectionOwner(dpy, lock) == window) return true;
    if (NowMs() >= deadline) return false;
    timespec pause = {0, kLockPollNs};
    nanosleep(&pause, nullptr);
  }
}

void DropLock(Display *dpy, Atom lock, Window window) {
  if (XGetSelectionOwner(dpy, lock) == window) XSetSelectionOwner(dpy, lock, None, CurrentTime);
}

// The table as it stands, without the pairs of sessions that are gone and
// without any pair of `window` itself.
std::vector<Entry> LiveEntries(Display *dpy, Atom table, Atom mark, Window window) {
  std::vector<Entry> entries;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), table, 0, kMaxSessions * kPairWords, False,
                         XA_CARDINAL, &type, &format, &count, &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && data) {
    const long *words = reinterpret_cast<const long *>(data);
    for (unsigned long i = 0; i + 1 < count; i += kPairWords) {
      Entry e = {words[i], Window(words[i + 1])};
      if (e.number < 1 || e.window == None || e.window == window) continue;
      if (Alive(dpy, mark, e)) entries.push_back(e);
    }
  }
  if (data) XFree(data);
  return entries;
}

void WriteTable(Display *dpy, Atom table, const std::vector<Entry> &entries) {
  Window root = DefaultRootWindow(dpy);
  if (entries.empty()) {
    XDeleteProperty(dpy, root, table);
    return;
  }
  std::vector<long> words;
  for (const Entry &e : entries) {
    words.push_back(e.number);
    words.push_back(long(e.window));
  }
  XChangeProperty(dpy, root, table, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char *>(words.data()), int(words.size()));
}

long LowestFree(const std::vector<Entry> &entries) {
  long number = 1;
  while (std::any_of(entries.begin(), entries.end(),
                     [number](const Entry &e) { return e.number == number; }))
    ++number;
  return number;
}

// Changes the table under the lock: drops the pairs of ended sessions and
// of `window`, then adds `window` with the lowest free number when `take`.
// Answers that number, or 0.
long Update(Display *dpy, Window window, int32_t wait_ms, bool take) {
  XSync(dpy, False);  // earlier errors go to the module's handler, not the trap
  Atom lock = XInternAtom(dpy, WU_SESSION_LOCK, False);
  Atom table = XInternAtom(dpy, WU_SESSION_TABLE, False);
  Atom mark = XInternAtom(dpy, WU_SESSION_MARK, False);
  const bool locked = TakeLock(dpy, lock, window, wait_ms);
  if (!locked)
    wutlogf(QEV_LOG_WARNING,
            "The session lock \"%s\" was not released within %d ms; the session table is changed without it.",
            WU_SESSION_LOCK, int(wait_ms));
  XErrorHandler previous = XSetErrorHandler(Trap);
  std::vector<Entry> entries = LiveEntries(dpy, table, mark, window);
  long number = 0;
  if (take && long(entries.size()) < kMaxSessions) {
    number = LowestFree(entries);
    entries.push_back({number, window});
    XChangeProperty(dpy, window, mark, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(&number), 1);
  } else {
    XDeleteProperty(dpy, window, mark);
  }
  WriteTable(dpy, table, entries);
  XSync(dpy, False);
  XSetErrorHandler(previous);
  if (locked) DropLock(dpy, lock, window);
  XFlush(dpy);
  return number;
}

}  // namespace

extern "C" {

wu_status wutsnum(Display *dpy, Window window, int32_t wait_ms, int32_t *number) {
  if (number) *number = 0;
  if (!dpy || window == None || !number) return WU_BADARG;
  *number = int32_t(Update(dpy, window, wait_ms, true));
  if (*number == 0) wutlogf(QEV_LOG_WARNING, "No session number is free on this display.");
  return WU_OK;
}

wu_status wutsfre(Display *dpy, Window window, int32_t wait_ms) {
  if (!dpy || window == None) return WU_BADARG;
  Update(dpy, window, wait_ms, false);
  return WU_OK;
}

}  // extern "C"
