/*
 * The user's preferences file (QEVUSERPREFS) as bytes and lines.
 *
 * The file belongs to the user, who may have put anything in it.  It is read
 * here, bounded and byte for byte, by the resource reader (which hands the
 * X resource manager only a cleaned, terminated text) and by the
 * preferences dialog when it saves (which keeps every line it does not own
 * exactly as it was).
 */
#ifndef QEV_RUNTIME_WUTPRFF_H
#define QEV_RUNTIME_WUTPRFF_H

#include <X11/Xresource.h>

#include <cstddef>
#include <string>
#include <vector>

namespace wuprefs {

/* The largest preferences file that is read, in bytes. */
constexpr size_t kFileMax = size_t(1) << 20;

enum class ReadResult {
  kOk,       /* `bytes` holds the whole file */
  kMissing,  /* there is no file */
  kFailed,   /* it cannot be read whole: `why` says why */
};

/* Reads the whole file at `path`.  Only a regular file of at most kFileMax
   bytes is read (a pipe or device never blocks the reader). */
ReadResult ReadFile(const std::string &path, std::string *bytes, std::string *why);

/* The file's lines, split at each newline and otherwise kept as they are
   (carriage returns, NUL and other bytes included).  A last line without a
   newline is a line; an empty file has none. */
std::vector<std::string> SplitLines(const std::string &bytes);

/* The text the resource manager parses for the file's bytes.  Each line
   loses one trailing carriage return; lines holding a NUL byte and
   directive lines ("#...", "#include" among them) are left out, so the
   parser never meets a NUL or opens another file; every line ends with a
   newline, and one empty line follows the last, so no escape or character
   sequence at the end of the file can take the parser past the text's end.
   What is left out is logged, naming `path`. */
std::string DatabaseText(const std::string &bytes, const std::string &path);

/* The database of the preferences file at `path`, or null when there is no
   file or it cannot be read (the reason logged). */
XrmDatabase ReadDatabase(const std::string &path);

}  // namespace wuprefs

#endif /* QEV_RUNTIME_WUTPRFF_H */
