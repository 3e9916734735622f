#include "numerics/detail/element_moves.h"
#include "numerics/sorting.h"

namespace numerics {
namespace {

// Lets x sink from position i of the max-heap values[1..size] and stores it where it stops.
// It passes a child only when that child is strictly larger, and takes the right child only
// when it is strictly larger than the left one. i <= size / 2 is the test j = 2i <= size,
// written so that 2i is formed only when it cannot wrap.
void sift_down(float values[], unsigned i, unsigned size, float x) {
  while (i <= size / 2) {
    unsigned j = 2 * i;
    if (j < size && values[j] < values[j + 1]) ++j;
    if (!(x < values[j])) break;
    values[i] = values[j];
    i = j;
  }
  values[i] = x;
}

}  // namespace

void heap_sort(unsigned n, float values[]) {
  if (n < 2) return;
  n = detail::move_nans_last(detail::Keys<float>{values}, n);
  if (n < 2) return;
  unsigned next = n / 2 + 1;
  unsigned size = n;
  for (;;) {
    float x;
    if (next > 1) {  // building the heap
      --next;
      x = values[next];
    } else {  // moving the largest behind the shrinking heap
      x = values[size];
      values[size] = values[1];
      if (--size == 1) {
        values[1] = x;
        return;
      }
    }
    sift_down(values, next, size, x);
  }
}

}  // namespace numerics
