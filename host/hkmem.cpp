// Memory pools.  A pool hands out blocks through the allocate and free
// functions at its head and keeps every live block with its size, so that it
// can catch a free of the wrong size or of a block it never gave out, and so
// that tests can read what is still allocated.  Deleting a pool releases its
// blocks and its sub-pools.
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

#include "hkint.h"
#include "qev/flags.h"
#include "qevhost.h"

namespace qevhost {
namespace detail {
namespace {

// Uncleared memory is filled with this byte so that a caller that forgets to
// ask for cleared memory sees garbage at once.
const unsigned char kDirtyByte = 0xA5;

// Heap bytes a live block takes: its chunk, with the allocator's header,
// and the chunk of its entry in the pool's table of blocks.
int64_t heapCost(void *block) {
  const int64_t header = int64_t(sizeof(size_t));
  const int64_t entry = 4 * int64_t(sizeof(void *));
  return int64_t(malloc_usable_size(block)) + header + entry;
}

struct HostPool {
  qev_pool head;                              // allocate and free functions
  HostPool *parent = nullptr;
  std::set<HostPool *> children;
  std::unordered_map<void *, int32_t> blocks; // live block -> size
  PoolStats stats;
};

struct MemState {
  std::set<HostPool *> pools;
  HostPool *root = nullptr;
  int64_t failCountdown = 0;   // 0: no failure injected
};
MemState ms;

HostPool *lookup(qev_pool *pool) {
  HostPool *p = reinterpret_cast<HostPool *>(pool);
  return ms.pools.count(p) ? p : nullptr;
}

// True when this allocation is the one failure injection asked to fail.
bool injectFailure() {
  if (ms.failCountdown <= 0) return false;
  return --ms.failCountdown == 0;
}

void poolError(HostPool *p, const char *what, const void *block, int32_t size) {
  if (p) ++p->stats.errors;
  char line[160];
  std::snprintf(line, sizeof line, "Memory pool %p: %s (block %p, size %d).",
                static_cast<void *>(p), what, block, static_cast<int>(size));
  logLine(QEV_LOG_ERROR, line);
}

void *takeBlock(HostPool *p, int32_t size, int32_t flags) {
  if (size < 0) {
    poolError(p, "negative allocation size", nullptr, size);
    return nullptr;
  }
  if (injectFailure()) return nullptr;
  void *block = std::malloc(size > 0 ? static_cast<size_t>(size) : 1);
  if (!block) return nullptr;
  std::memset(block, (static_cast<uint32_t>(flags) & WU_MEM_CLEAR) ? 0 : kDirtyByte,
              size > 0 ? static_cast<size_t>(size) : 1);
  p->blocks[block] = size;
  ++p->stats.liveBlocks;
  p->stats.liveBytes += size;
  p->stats.heapBytes += heapCost(block);
  return block;
}

// Checks a free request; on success gives the recorded size.
bool checkFree(HostPool *p, void *block, int32_t size, int32_t *recorded) {
  auto it = p->blocks.find(block);
  if (it == p->blocks.end()) {
    poolError(p, "free of a block not from this pool", block, size);
    return false;
  }
  if (size != -1 && size != it->second) {
    poolError(p, "free with the wrong size", block, size);
    return false;
  }
  *recorded = it->second;
  return true;
}

void dropBlock(HostPool *p, void *block) {
  auto it = p->blocks.find(block);
  --p->stats.liveBlocks;
  p->stats.liveBytes -= it->second;
  p->stats.heapBytes -= heapCost(block);
  p->blocks.erase(it);
  std::free(block);
}

void *poolAlloc(qev_pool *pool, int32_t size, int32_t flags) {
  HostPool *p = lookup(pool);
  if (!p) {
    poolError(nullptr, "allocation from an unknown pool", pool, size);
    return nullptr;
  }
  return takeBlock(p, size, flags);
}

wu_status poolFree(qev_pool *pool, void *block, int32_t size, int32_t) {
  HostPool *p = lookup(pool);
  if (!p) {
    poolError(nullptr, "free into an unknown pool", block, size);
    return WU_BADARG;
  }
  if (!block) {
    poolError(p, "free of a null block", block, size);
    return WU_BADARG;
  }
  int32_t recorded;
  if (!checkFree(p, block, size, &recorded)) return WU_BADARG;
  dropBlock(p, block);
  return WU_OK;
}

void destroy(HostPool *p) {
  while (!p->children.empty()) destroy(*p->children.begin());
  for (auto &b : p->blocks) std::free(b.first);
  if (p->parent) p->parent->children.erase(p);
  ms.pools.erase(p);
  delete p;
}

HostPool *create(HostPool *parent) {
  HostPool *p = new HostPool;
  p->head.alloc = poolAlloc;
  p->head.free = poolFree;
  p->parent = parent;
  if (parent) parent->children.insert(p);
  ms.pools.insert(p);
  return p;
}

}  // namespace

void memStart() {
  ms.failCountdown = 0;
  ms.root = create(nullptr);
}

void memStop() {
  while (!ms.pools.empty()) {
    HostPool *p = *ms.pools.begin();
    while (p->parent) p = p->parent;
    destroy(p);
  }
  ms.root = nullptr;
  ms.failCountdown = 0;
}

wu_status k_wmrpc(qev_pool **out, int32_t initial, int32_t increment, int32_t, qev_pool *parent) {
  if (!running()) return WU_NOTAVAIL;
  if (!out || initial < 0 || increment < 0) return WU_BADARG;
  *out = nullptr;
  HostPool *par = nullptr;
  if (parent) {
    par = lookup(parent);
    if (!par) return WU_BADARG;
  }
  if (injectFailure()) return WU_NOMEM;
  *out = &create(par ? par : ms.root)->head;
  return WU_OK;
}

wu_status k_wmrdel(qev_pool *pool) {
  if (!running()) return WU_NOTAVAIL;
  HostPool *p = lookup(pool);
  if (!p || p == ms.root) return WU_BADARG;
  destroy(p);
  return WU_OK;
}

wu_status k_wmrealc(qev_pool *pool, void *block, int32_t old_size, void **out, int32_t new_size,
                    int32_t flags) {
  if (!running()) return WU_NOTAVAIL;
  HostPool *p = lookup(pool);
  if (!p || !out || new_size < 0) return WU_BADARG;
  int32_t recorded = 0;
  if (block && !checkFree(p, block, old_size, &recorded)) return WU_BADARG;
  void *fresh = takeBlock(p, new_size, flags);
  if (!fresh) return WU_NOMEM;
  if (block) {
    std::memcpy(fresh, block, static_cast<size_t>(recorded < new_size ? recorded : new_size));
    dropBlock(p, block);
  }
  *out = fresh;
  return WU_OK;
}

}  // namespace detail

using namespace detail;

qev_pool *rootPool() { return ms.root ? &ms.root->head : nullptr; }

PoolStats poolStats(qev_pool *pool) {
  HostPool *p = lookup(pool);
  return p ? p->stats : PoolStats();
}

void failAllocation(int64_t nth) { ms.failCountdown = nth > 0 ? nth : 0; }

size_t poolCount() { return ms.pools.size(); }

}  // namespace qevhost
