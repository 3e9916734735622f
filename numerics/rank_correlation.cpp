#include <math.h>

#include "numerics/arrays.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/sorting.h"
#include "numerics/statistics.h"

namespace numerics {

void rank_with_ties(unsigned n, float values[], float* tie_sum) {
  float ties = 0.0f;
  unsigned j = 1;
  while (j < n) {
    if (values[j + 1] != values[j]) {
      values[j] = static_cast<float>(j);
      ++j;
      continue;
    }
    unsigned k = j + 1;
    while (k <= n && values[k] == values[j]) ++k;
    // Positions j..k-1 share the mean of their ranks.
    const float rank = static_cast<float>(0.5 * static_cast<double>(j + k - 1));
    for (unsigned m = j; m < k; ++m) values[m] = rank;
    const float t = static_cast<float>(k - j);
    ties += t * t * t - t;
    j = k;
  }
  if (j == n) values[n] = static_cast<float>(n);
  *tie_sum = ties;
}

void spearman_rank_correlation(const float data1[], const float data2[], unsigned n, float* d, float* z,
                               float* probability_d, float* rs, float* probability_rs) {
  const int high = static_cast<int>(n);
  float* w1 = vector(1, high);
  detail::scope_guard release_w1{[&] { release_vector(w1, 1, high); }};
  float* w2 = vector(1, high);
  detail::scope_guard release_w2{[&] { release_vector(w2, 1, high); }};
  for (unsigned j = 1; j <= n; ++j) {
    w1[j] = data1[j];
    w2[j] = data2[j];
  }
  // Rank each sample in its own order while the other rides along: afterwards w1[j] and
  // w2[j] are the two ranks of one input pair.
  float ties1;
  float ties2;
  sort2(n, w1, w2);
  rank_with_ties(n, w1, &ties1);
  sort2(n, w2, w1);
  rank_with_ties(n, w2, &ties2);

  float sum_d = 0.0f;
  for (unsigned j = 1; j <= n; ++j) {
    const float difference = w1[j] - w2[j];
    sum_d = static_cast<float>(static_cast<double>(sum_d) + static_cast<double>(difference * difference));
  }
  *d = sum_d;

  const float e = static_cast<float>(n);
  const float e3 = e * e * e - e;
  const float tie_total = ties1 + ties2;
  const float mean_d = static_cast<float>(static_cast<double>(e3) / 6.0 - static_cast<double>(tie_total) / 12.0);
  const float f = static_cast<float>((1.0 - static_cast<double>(ties1 / e3)) * (1.0 - static_cast<double>(ties2 / e3)));
  const float e_plus_1 = e + 1.0f;
  const float var_d = static_cast<float>((static_cast<double>(e) - 1.0) * e * e *
                                         static_cast<double>(e_plus_1 * e_plus_1) / 36.0 * static_cast<double>(f));

  if (var_d == 0.0f || f == 0.0f) {
    // One sample has a single value: no ranking to compare, z left as it was.
    *rs = 0.0f;
    *probability_rs = 0.0f;
  } else {
    *z = (sum_d - mean_d) / sqrtf(var_d);
    *probability_d = complementary_error_function(static_cast<float>(static_cast<double>(fabsf(*z)) / 1.4142136));
    *rs = static_cast<float>(
        (1.0 - (6.0 / static_cast<double>(e3)) * (static_cast<double>(sum_d) + static_cast<double>(tie_total) / 12.0)) /
        static_cast<double>(sqrtf(f)));
    *probability_rs = correlation_probability(*rs, n);
  }
}

}  // namespace numerics
