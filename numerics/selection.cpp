#include "numerics/arrays.h"
#include "numerics/detail/partition.h"
#include "numerics/sorting.h"

namespace numerics {
namespace {

// Partitions the range that holds position k until it is down to one or two elements.
// [1..n] with 1 <= k <= n.
template <typename T>
T select(const detail::Keys<T>& keys, unsigned k, unsigned n) {
  T* values = keys.values;
  unsigned low = 1;
  unsigned high = n;
  for (;;) {
    // high <= low + 1, written so that low + 1 cannot wrap.
    if (high <= low || high - low == 1) {
      if (high > low && values[high] < values[low]) keys.swap(low, high);
      return values[k];
    }
    const detail::Split split = detail::partition(keys, low, high);
    if (split.j >= k) high = split.j - 1;
    if (split.j <= k) low = split.i;
  }
}

}  // namespace

float kth_smallest(unsigned k, unsigned n, float values[]) {
  if (k < 1 || k > n) run_time_error("k out of range in kth_smallest");
  const detail::Keys<float> keys{values};
  const unsigned count = detail::move_nans_last(keys, n);
  if (k > count) return values[k];
  return select(keys, k, count);
}

uint16_t kth_smallest_u16(unsigned k, unsigned n, uint16_t values[]) {
  if (k < 1 || k > n) run_time_error("k out of range in kth_smallest_u16");
  return select(detail::Keys<uint16_t>{values}, k, n);
}

}  // namespace numerics
