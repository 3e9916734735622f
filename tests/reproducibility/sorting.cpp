// The sorts and selections on keys with many repeats, signed zeros and a few NaNs, over lengths
// that take the insertion paths alone and lengths that partition.
#include <math.h>
#include <stdlib.h>

#include "families.h"
#include "input_sequence.h"
#include "numerics/arrays.h"
#include "numerics/sorting.h"

using namespace numerics;

namespace {

const unsigned lengths[] = {1, 2, 7, 8, 100, 1000, 100000};

// values[1..n]: multiples of 1/8 in [-64, 64), so many repeat; both zeros; a NaN every 997.
float* keys(unsigned n, uint64_t seed) {
  InputSequence in(seed);
  float* values = vector(1, static_cast<int>(n));
  for (unsigned i = 1; i <= n; ++i) {
    const int32_t k = static_cast<int32_t>(in.below(1024)) - 512;
    values[i] = k == 0 && in.below(2) == 0 ? -0.0f : static_cast<float>(k) * 0.125f;
    if (i % 997 == 0) values[i] = NAN;
  }
  return values;
}

}  // namespace

void hash_sort(OutputHash& out) {
  for (unsigned n : lengths) {
    float* values = keys(n, n);
    sort(n, values);
    out.add(values, 1, n);
    release_vector(values, 1, static_cast<int>(n));
  }
}

void hash_sort2(OutputHash& out) {
  for (unsigned n : lengths) {
    float* values = keys(n, n + 1);
    float* companion = vector(1, static_cast<int>(n));
    for (unsigned i = 1; i <= n; ++i) companion[i] = static_cast<float>(i);
    sort2(n, values, companion);
    out.add(values, 1, n);
    out.add(companion, 1, n);
    release_vector(companion, 1, static_cast<int>(n));
    release_vector(values, 1, static_cast<int>(n));
  }
}

void hash_heap_sort(OutputHash& out) {
  for (unsigned n : lengths) {
    float* values = keys(n, n + 2);
    heap_sort(n, values);
    out.add(values, 1, n);
    release_vector(values, 1, static_cast<int>(n));
  }
}

// The smallest, the median, the largest and a few in between; each from a fresh copy, with the
// arrangement the selection leaves behind.
void hash_kth_smallest(OutputHash& out) {
  for (unsigned n : lengths) {
    const unsigned ranks[] = {1, (n + 3) / 4, (n + 1) / 2, n - n / 5, n};
    for (unsigned k : ranks) {
      float* values = keys(n, n + 3);
      out.add(kth_smallest(k, n, values));
      out.add(values, 1, n);
      release_vector(values, 1, static_cast<int>(n));
    }
  }
}

void hash_kth_smallest_u16(OutputHash& out) {
  for (unsigned n : lengths) {
    const unsigned ranks[] = {1, (n + 3) / 4, (n + 1) / 2, n - n / 5, n};
    for (unsigned k : ranks) {
      InputSequence in(n + 4);
      uint16_t* values = static_cast<uint16_t*>(malloc((n + 1) * sizeof(uint16_t)));  // values[1..n]
      for (unsigned i = 1; i <= n; ++i) values[i] = static_cast<uint16_t>(in.below(i % 2 ? 65536 : 300));
      out.add(kth_smallest_u16(k, n, values));
      for (unsigned i = 1; i <= n; ++i) out.add(values[i]);
      free(values);
    }
  }
}
