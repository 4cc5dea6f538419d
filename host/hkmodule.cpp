// Loading the display module as a host does, and the vector tables it
// registers with the kernel.
#include <cstring>
#include <map>
#include <string>

#include <dlfcn.h>

#include "hkint.h"
#include "qev/module.h"
#include "qevhost.h"

namespace qevhost {
namespace detail {
namespace {

struct Table {
  const void *table = nullptr;
  int32_t slotCount = 0;
};

struct ModuleState {
  std::map<int32_t, Table> tables;
  void *handle = nullptr;
  const qev_image_info *info = nullptr;
  qev_idb idb;
};
ModuleState mod;

const char kImageInfoEye[] = "IMGINFO ";

void fail(const std::string &why) { logLine(QEV_LOG_ERROR, "Module load: " + why); }

}  // namespace

wu_status k_wxregtb(int32_t table_id, const void *table, int32_t slot_count) {
  if (!running()) return WU_NOTAVAIL;
  if (!table || slot_count <= 0) return WU_BADARG;
  if (mod.tables.count(table_id)) return WU_NOTAVAIL;   // withdraw it first
  mod.tables[table_id] = Table{table, slot_count};
  return WU_OK;
}

wu_status k_wxdrgtb(int32_t table_id) {
  if (!running()) return WU_NOTAVAIL;
  return mod.tables.erase(table_id) ? WU_OK : WU_BADARG;
}

void moduleStop() {
  unloadModule();
  mod.tables.clear();
}

}  // namespace detail

using namespace detail;

void *loadModule(const std::string &path) {
  qev_gcb *g = gcb();
  if (!g) return nullptr;
  if (mod.handle) {
    fail("a module is already loaded.");
    return nullptr;
  }
  void *h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char *e = ::dlerror();
    fail(e ? e : path);
    return nullptr;
  }
  using Entry = const qev_image_info *(*)(qev_gcb *, qev_idb *);
  Entry entry = reinterpret_cast<Entry>(::dlsym(h, "mcn_main"));
  if (!entry) {
    fail("no mcn_main in " + path);
    ::dlclose(h);
    return nullptr;
  }
  std::memset(&mod.idb, 0, sizeof mod.idb);
  padName(mod.idb.name, sizeof mod.idb.name, "QEVMOTIF");
  mod.idb.handle = h;
  mod.idb.version = 1;
  const qev_image_info *info = entry(g, &mod.idb);
  if (!info || std::memcmp(info->eye, kImageInfoEye, 8) != 0 || !info->pcn || !info->pcn->main) {
    fail("mcn_main returned no usable image information.");
    ::dlclose(h);
    return nullptr;
  }
  mod.handle = h;
  mod.info = info;
  registerImage(QEV_MODULE_NAME, const_cast<qev_image_info *>(info));
  wu_status st = info->pcn->main(g, &mod.idb);
  if (st != WU_OK) {
    char line[64];
    std::snprintf(line, sizeof line, "module main failed with status 0x%08X.",
                  static_cast<uint32_t>(st));
    fail(line);
    unloadModule();
    return nullptr;
  }
  return h;
}

void unloadModule() {
  if (!mod.handle) return;
  qev_gcb *g = gcb();
  if (g && mod.info && mod.info->pcn && mod.info->pcn->term) mod.info->pcn->term(g);
  if (!mod.tables.empty())
    logLine(QEV_LOG_WARNING, "Module unloaded with " + std::to_string(mod.tables.size()) +
                                 " vector tables still registered.");
  mod.tables.clear();
  registerImage(QEV_MODULE_NAME, nullptr);
  ::dlclose(mod.handle);
  mod.handle = nullptr;
  mod.info = nullptr;
}

const void *table(int32_t id, int32_t *slotCount) {
  auto it = mod.tables.find(id);
  if (slotCount) *slotCount = it == mod.tables.end() ? 0 : it->second.slotCount;
  return it == mod.tables.end() ? nullptr : it->second.table;
}

SlotAddress slotAddress(int32_t id, int32_t n) {
  int32_t count = 0;
  auto *t = static_cast<const qev_table *>(table(id, &count));
  if (!t || n < 0 || n >= count) return nullptr;
  return reinterpret_cast<SlotAddress>(t->slots[n]);
}

}  // namespace qevhost
