// Internal building blocks of the offset allocators: sizing a range, asking the heap for a
// block, and moving a pointer by a signed element count.
#ifndef NUMERICS_DETAIL_OFFSET_STORAGE_H
#define NUMERICS_DETAIL_OFFSET_STORAGE_H

#include <stddef.h>
#include <stdint.h>

namespace numerics::detail {

// Number of indices in [low..high], exact in 64 bits: 0 for an empty range, negative for an
// inverted one, and possibly above INT32_MAX, which the 32-bit counts of the toolkit cannot hold.
inline int64_t range_count(int low, int high) { return static_cast<int64_t>(high) - low + 1; }

// The product of two counts when both are valid and the product fits a signed 32-bit
// integer; otherwise -1, a count that no request can be made for.
inline int64_t checked_product(int64_t a, int64_t b) {
  if (a < 0 || b < 0 || a > INT32_MAX || b > INT32_MAX) return -1;
  const int64_t product = a * b;
  return product > INT32_MAX ? -1 : product;
}

// A count raised to at least 1 (negative counts stay invalid): tables whose first entry is
// written even for an empty range need room for that entry.
inline int64_t at_least_one(int64_t count) { return count == 0 ? 1 : count; }

// `count` elements of `width` bytes from the heap. A count that is negative or beyond the
// 32-bit range is a request that cannot be sized and, like a refusal of the heap, ends the
// process through run_time_error with `message`. Never returns null.
void* allocate_elements(int64_t count, size_t width, const char* message);

// p moved by `elements` elements (negative moves down). The arithmetic is done on the
// address so that shifting by any 32-bit index is defined behaviour.
template <typename T>
T* displaced(T* p, int64_t elements) {
  return reinterpret_cast<T*>(reinterpret_cast<uintptr_t>(p) + static_cast<uintptr_t>(elements) * sizeof(T));
}

}  // namespace numerics::detail

#endif
