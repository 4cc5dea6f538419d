/*
 * Range checks of sizes, counts, coordinates and numbers the host hands in.
 *
 * Every host number that becomes a byte count, an X coordinate or an
 * integer goes through one of these before it is used, so a count of
 * 107,374,183 items never turns into a 24-byte block and a double of 1e300
 * never becomes INT_MIN.
 */
#ifndef QEV_RUNTIME_WUCHECK_H
#define QEV_RUNTIME_WUCHECK_H

#include <stddef.h>
#include <stdint.h>

#include <cmath>
#include <limits>

/* X keeps positions in 16 signed bits and sizes in 16 unsigned bits. */
#define WU_X_COORD_MIN (-32768)
#define WU_X_COORD_MAX 32767
#define WU_X_SIZE_MAX 65535

/* Byte size of `count` items of `each` bytes when it fits a 32-bit host
   size; -1 for a negative count or an overflow. */
inline int32_t wu_array_bytes(int64_t count, size_t each) {
  if (count < 0) return -1;
  const uint64_t bytes = uint64_t(count) * uint64_t(each);
  if (each != 0 && bytes / each != uint64_t(count)) return -1;
  if (bytes > uint64_t(std::numeric_limits<int32_t>::max())) return -1;
  return int32_t(bytes);
}

/* Longest text and longest list the host may hand in one value: anything
   longer is taken for a broken length, not for data. */
#define WU_HOST_TEXT_MAX (1 << 20)
#define WU_HOST_LIST_MAX (1 << 24)

/* True when a pixel position fits an X coordinate. */
inline bool wu_x_coord_ok(int64_t v) { return v >= WU_X_COORD_MIN && v <= WU_X_COORD_MAX; }
/* True when a pixel extent fits an X size (0 included). */
inline bool wu_x_size_ok(int64_t v) { return v >= 0 && v <= WU_X_SIZE_MAX; }
/* A pixel extent clamped into an X size. */
inline int32_t wu_x_size_clamp(int64_t v) {
  return v < 0 ? 0 : v > WU_X_SIZE_MAX ? WU_X_SIZE_MAX : int32_t(v);
}
/* A pixel position clamped into an X coordinate. */
inline int32_t wu_x_coord_clamp(int64_t v) {
  return v < WU_X_COORD_MIN ? WU_X_COORD_MIN : v > WU_X_COORD_MAX ? WU_X_COORD_MAX : int32_t(v);
}

/* True when `count` cells from cell `first` (1-based) of `cell` pixels
   each end at an X coordinate. */
inline bool wu_pane_fits(int64_t first, int64_t count, int64_t cell) {
  if (first < 1 || count < 1) return false;
  if (cell < 1) cell = 1;
  return (first - 1 + count) * cell <= WU_X_COORD_MAX;
}

/* Converts a double to a 32-bit integer, truncating; false (and *out
   untouched) for a value that is not a number or lies outside the range. */
inline bool wu_double_to_int(double d, int32_t *out) {
  if (!std::isfinite(d)) return false;
  const double t = std::trunc(d);
  if (t < double(std::numeric_limits<int32_t>::min()) ||
      t > double(std::numeric_limits<int32_t>::max()))
    return false;
  *out = int32_t(t);
  return true;
}

#endif /* QEV_RUNTIME_WUCHECK_H */
