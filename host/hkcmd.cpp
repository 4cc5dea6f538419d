// Command tokens of the running command.  The host sets a command text; the
// module reads its tokens one at a time.  Token texts are kept in writable
// storage because callers upper-case keywords in place.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "hkint.h"
#include "qevhost.h"

namespace qevhost {
namespace detail {
namespace {

const int16_t kSubEquals = 15;
const int16_t kSubPeriod = 21;
const int16_t kSubOther = 0;

struct CmdState {
  std::string text;                 // token texts, each NUL-terminated
  std::vector<qev_token> tokens;    // ends with a QEV_TOK_END2 token
  size_t position = 0;
  int32_t consumed = 0;
};
CmdState cs;

bool nameChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '$' || c == '#' || c == '@' || c == '-' ||
         c == '/' || c == ':' || c == '*' || c == '?';
}

struct Pending {
  int16_t type, subtype;
  size_t offset, length;
};

void tokenise(const std::string &src) {
  std::vector<Pending> pending;
  std::string store;
  auto add = [&](int16_t type, int16_t sub, const std::string &t) {
    pending.push_back(Pending{type, sub, store.size(), t.size()});
    store += t;
    store += '\0';
  };
  size_t i = 0;
  while (i < src.size()) {
    unsigned char c = static_cast<unsigned char>(src[i]);
    if (std::isspace(c) || c == ',') {
      ++i;
    } else if (c == ';') {
      add(QEV_TOK_END, kSubOther, ";");
      ++i;
    } else if (c == '\'' || c == '"') {
      // A doubled quote inside the string stands for one.
      std::string text;
      size_t j = i + 1;
      while (j < src.size()) {
        if (src[j] == static_cast<char>(c)) {
          if (j + 1 < src.size() && src[j + 1] == static_cast<char>(c)) {
            text += src[j];
            j += 2;
            continue;
          }
          break;
        }
        text += src[j++];
      }
      add(QEV_TOK_STRING, kSubOther, text);
      i = j < src.size() ? j + 1 : j;
    } else if (std::isdigit(c)) {
      size_t j = i;
      while (j < src.size() && std::isdigit(static_cast<unsigned char>(src[j]))) ++j;
      add(QEV_TOK_NUMBER, kSubOther, src.substr(i, j - i));
      i = j;
    } else if (c == '.') {
      add(QEV_TOK_SPECIAL, kSubPeriod, ".");
      ++i;
    } else if (nameChar(c)) {
      size_t j = i;
      while (j < src.size() && nameChar(static_cast<unsigned char>(src[j]))) ++j;
      add(QEV_TOK_NAME, kSubOther, src.substr(i, j - i));
      i = j;
    } else {
      add(QEV_TOK_SPECIAL, c == '=' ? kSubEquals : kSubOther, std::string(1, static_cast<char>(c)));
      ++i;
    }
  }
  add(QEV_TOK_END2, kSubOther, "");
  cs.text = store;
  cs.tokens.clear();
  for (const Pending &p : pending) {
    qev_token t;
    t.type = p.type;
    t.subtype = p.subtype;
    t.length = static_cast<int16_t>(p.length > 32767 ? 32767 : p.length);
    t.reserved = 0;
    t.text = &cs.text[p.offset];
    cs.tokens.push_back(t);
  }
  cs.position = 0;
}

}  // namespace

void cmdStart() {
  cs = CmdState();
  tokenise("");
}

void cmdStop() { cs = CmdState(); }

const qev_token *k_xncgtok(void) {
  if (!running() || cs.tokens.empty()) return nullptr;
  return &cs.tokens[cs.position];
}

const qev_token *k_xncnxcm(void) {
  if (!running() || cs.tokens.empty()) return nullptr;
  if (cs.position + 1 < cs.tokens.size()) ++cs.position;
  return &cs.tokens[cs.position];
}

wu_status k_xncdrcm(void) {
  if (!running()) return WU_NOTAVAIL;
  // The rest of the running command is dropped: the next command (after a
  // ";") or the end of the text becomes current.
  while (cs.position + 1 < cs.tokens.size() && cs.tokens[cs.position].type != QEV_TOK_END)
    ++cs.position;
  if (cs.tokens[cs.position].type == QEV_TOK_END) ++cs.position;
  ++cs.consumed;
  return WU_OK;
}

}  // namespace detail

using namespace detail;

void setCommand(const std::string &text) { tokenise(text); }
int32_t commandsConsumed() { return cs.consumed; }

}  // namespace qevhost
