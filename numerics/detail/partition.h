// The median-of-three partition shared by the quicksorts and the selection routines.
#ifndef NUMERICS_DETAIL_PARTITION_H
#define NUMERICS_DETAIL_PARTITION_H

#include "numerics/detail/element_moves.h"

namespace numerics::detail {

// (low + high) >> 1, formed without the sum, which wraps once low + high reaches 2^32.
inline unsigned midpoint(unsigned low, unsigned high) { return low + ((high - low) >> 1); }

// The outcome of a partition of [low..high]: the pivot is final at j, the left part is
// [low..j - 1] and the right part [i..high], both non-empty; i is j + 1, or j + 2 when the
// element between them equals the pivot (and is final too).
struct Split {
  unsigned i;
  unsigned j;
};

// Partitions [low..high], high - low >= 2. The middle element goes to low + 1, then three
// compare-and-swaps order low, low + 1 and high; the pivot is the element at low + 1.
//
// The scans test no bounds, and need none even with unordered keys (NaN). The j scan cannot
// pass low + 1, which holds the pivot itself (pivot > pivot is false). The i scan cannot pass
// high: the second compare-and-swap leaves values[low + 1] > values[high] false, and when the
// third swaps, the new pivot comes from low, which the first left not above high and the second
// can only raise; so values[high] < pivot is false, and no swap ever reaches high. Each later
// scan stops at the latest at the element the other side has just swapped in.
template <typename Moves>
Split partition(const Moves& moves, unsigned low, unsigned high) {
  const auto* values = moves.values;
  moves.swap(midpoint(low, high), low + 1);
  if (values[low] > values[high]) moves.swap(low, high);
  if (values[low + 1] > values[high]) moves.swap(low + 1, high);
  if (values[low] > values[low + 1]) moves.swap(low, low + 1);
  const auto pivot = moves.take(low + 1);
  unsigned i = low + 1;
  unsigned j = high;
  for (;;) {
    do ++i;
    while (values[i] < pivot.key);
    do --j;
    while (values[j] > pivot.key);
    if (j < i) break;
    moves.swap(i, j);
  }
  moves.move(j, low + 1);
  moves.put(pivot, j);
  return {i, j};
}

}  // namespace numerics::detail

#endif
