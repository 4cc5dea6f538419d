// Writes "PMENU" menu-description entries into a catalog library, as the
// host's menu editor stores them: per node a 32-byte header, the text, and
// for a menu node its seven item arrays, one record the readers pass over
// and the mnemonic bytes; for a dialog node its command template.
#include <cstring>

#include "hkint.h"
#include "qevhost.h"

namespace qevhost {
namespace {

const char kMemberType[] = "PMENU   ";
const int32_t kRecordType = 1;

// A 34-byte name: 16-bit length then 32 blank-padded characters.
void putName34(char *field, const std::string &text) {
  int16_t len = int16_t(text.size() > 32 ? 32 : text.size());
  std::memcpy(field, &len, sizeof len);
  std::memset(field + 2, ' ', 32);
  std::memcpy(field + 2, text.data(), size_t(len));
}

void putWords(std::vector<uint8_t> *rec, const std::vector<int32_t> &words) {
  rec->resize(words.size() * sizeof(int32_t));
  if (!words.empty()) std::memcpy(rec->data(), words.data(), rec->size());
}

}  // namespace

std::vector<uint8_t> menuLocation(const std::string &libref, const std::string &catalog,
                                  const std::string &entry) {
  std::vector<uint8_t> loc(76, ' ');
  char *p = reinterpret_cast<char *>(loc.data());
  std::memset(p, ' ', 8);
  std::memcpy(p, libref.data(), libref.size() > 8 ? 8 : libref.size());
  putName34(p + 8, catalog);
  putName34(p + 42, entry);
  return loc;
}

std::vector<std::vector<uint8_t>> menuNodeRecords(const MenuNode &n) {
  std::vector<std::vector<uint8_t>> recs;
  std::string text = n.text;
  std::vector<int32_t> cols[7];
  if (n.kind == 1) {
    text.clear();
    for (const MenuItem &it : n.items) {
      cols[1].push_back(int32_t(text.size()));
      text += it.label;
      text += ' ';   // the separator byte after each label
      cols[0].push_back(it.submenu);
      cols[2].push_back(it.commandId);
      cols[3].push_back(it.grayed);
      cols[4].push_back(it.itemId);
      cols[5].push_back(it.separator);
      cols[6].push_back(it.check);
    }
  } else if (n.kind == 5 || n.kind == 6) {
    std::vector<uint8_t> loc = menuLocation(n.libref, n.catalog, n.entry);
    text.assign(loc.begin(), loc.end());
  }
  std::vector<int32_t> header = {n.number, n.kind, int32_t(text.size()),
                                 n.kind == 1 ? int32_t(n.items.size())
                                             : n.kind == 2 ? int32_t(n.templ.size()) : 0,
                                 n.extra ? 1 : 0, 0, n.upper, 0};
  std::vector<uint8_t> rec;
  putWords(&rec, header);
  recs.push_back(rec);
  if (!text.empty()) recs.emplace_back(text.begin(), text.end());
  if (n.kind == 1) {
    for (auto &c : cols) {
      putWords(&rec, c);
      recs.push_back(rec);
    }
    recs.emplace_back(4, 0);   // passed over by readers
    std::vector<uint8_t> mn;
    for (const MenuItem &it : n.items) mn.push_back(uint8_t(it.mnemonic));
    recs.push_back(mn);
  } else if (n.kind == 2) {
    recs.emplace_back(n.templ.begin(), n.templ.end());
    if (n.extra) recs.emplace_back(4, 0);
  }
  return recs;
}

bool writeMenuRecords(const std::string &libref, const std::string &catalog,
                      const std::string &entry, const std::vector<std::vector<uint8_t>> &records) {
  defineLibrary(libref);
  char lr[8], ct[34], en[34];
  std::memset(lr, ' ', sizeof lr);
  std::memcpy(lr, libref.data(), libref.size() > 8 ? 8 : libref.size());
  putName34(ct, catalog);
  putName34(en, entry);
  qev_lib *lib = nullptr;
  if (detail::k_ylopen(&lib, QEV_LIB_UPDATE, lr, ct) != WU_OK) return false;
  qev_member *m = nullptr;
  bool ok = detail::k_ylmopen(lib, en, kMemberType, QEV_LIB_WRITE, &m) == WU_OK;
  for (size_t i = 0; ok && i < records.size(); ++i)
    ok = detail::k_ylmwrit(m, records[i].data(), int32_t(records[i].size()), kRecordType) == WU_OK;
  if (m) ok = detail::k_ylmclos(m, ok ? 0 : 1) == WU_OK && ok;
  detail::k_ylclose(lib);
  return ok;
}

bool writeMenu(const std::string &libref, const std::string &catalog, const std::string &entry,
               const std::vector<MenuNode> &nodes) {
  std::vector<std::vector<uint8_t>> all;
  for (const MenuNode &n : nodes)
    for (auto &r : menuNodeRecords(n)) all.push_back(r);
  return writeMenuRecords(libref, catalog, entry, all);
}

}  // namespace qevhost
