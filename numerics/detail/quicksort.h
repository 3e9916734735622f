// The non-recursive quicksort behind sort and sort2: median-of-three partitions, straight
// insertion for short ranges, and a fixed stack of pending ranges.
#ifndef NUMERICS_DETAIL_QUICKSORT_H
#define NUMERICS_DETAIL_QUICKSORT_H

#include "numerics/arrays.h"
#include "numerics/detail/partition.h"
#include "numerics/detail/scope_guard.h"

namespace numerics::detail {

// Straight insertion over [low..high], low >= 1. The strict test keeps equal keys in order.
template <typename Moves>
void insertion_sort(const Moves& moves, unsigned low, unsigned high) {
  for (unsigned j = low; j < high;) {  // j runs low + 1..high without wrapping at the top
    ++j;
    const auto held = moves.take(j);
    unsigned i = j - 1;
    while (i >= low && held.key < moves.values[i]) {
      moves.move(i, i + 1);
      --i;
    }
    moves.put(held, i + 1);
  }
}

// Sorts [1..n], n >= 1. The stack is ivector(1, stack_size) holding (low, high) pairs; a
// partition that would push beyond it ends the process with `message` before writing anything.
template <typename Moves>
void quicksort(const Moves& moves, unsigned n, int stack_size, const char* message) {
  int* stack = ivector(1, stack_size);
  scope_guard release_stack{[&] { release_ivector(stack, 1, stack_size); }};
  int counter = 0;
  unsigned low = 1;
  unsigned high = n;
  // Indices above INT_MAX are kept in the int stack by their bit pattern and read back as is.
  auto push = [&](unsigned pending_low, unsigned pending_high) {
    stack[counter - 1] = static_cast<int>(pending_low);
    stack[counter] = static_cast<int>(pending_high);
  };
  for (;;) {
    if (high - low < 7) {
      insertion_sort(moves, low, high);
      if (counter == 0) break;
      high = static_cast<unsigned>(stack[counter]);
      low = static_cast<unsigned>(stack[counter - 1]);
      counter -= 2;
      continue;
    }
    const Split split = partition(moves, low, high);
    counter += 2;
    if (counter > stack_size) run_time_error(message);
    // Defer the larger part (the right one on equal sizes) and go on with the smaller.
    if (high - split.i + 1 >= split.j - low) {
      push(split.i, high);
      high = split.j - 1;
    } else {
      push(low, split.j - 1);
      low = split.i;
    }
  }
}

}  // namespace numerics::detail

#endif
