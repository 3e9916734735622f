#include "numerics/detail/quicksort.h"
#include "numerics/sorting.h"

namespace numerics {

// Stack sizes in ints, two per pending range. 60 is more than any 32-bit n can need; 50 holds
// 25 ranges, enough for n up to 2^28.
constexpr int sort_stack_size = 60;
constexpr int sort2_stack_size = 50;

void sort(unsigned n, float values[]) {
  const detail::Keys<float> keys{values};
  const unsigned count = detail::move_nans_last(keys, n);
  if (count > 0) detail::quicksort(keys, count, sort_stack_size, "NSTACK too small in sort.");
}

void sort2(unsigned n, float values[], float companion[]) {
  const detail::KeysWithCompanions pairs{values, companion};
  const unsigned count = detail::move_nans_last(pairs, n);
  if (count > 0) detail::quicksort(pairs, count, sort2_stack_size, "NSTACK too small in sort2.");
}

}  // namespace numerics
