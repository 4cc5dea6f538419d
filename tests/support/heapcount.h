// Test support: the process heap as malloc counts it, for the tests that
// make and release things many times and check that the heap stays flat.
#pragma once

#include <malloc.h>

#include <cstddef>

// The sanitizers' allocators are not counted by mallinfo2: there the heap
// cannot be read and the tests that read it are skipped.
#if defined(__SANITIZE_ADDRESS__)
#define QEV_HEAP_COUNTED 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QEV_HEAP_COUNTED 0
#else
#define QEV_HEAP_COUNTED 1
#endif
#else
#define QEV_HEAP_COUNTED 1
#endif

namespace qevtest {

// Bytes the heap holds, in the arena and in mapped chunks.
inline size_t heapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

}  // namespace qevtest
