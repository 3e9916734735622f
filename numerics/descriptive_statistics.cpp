#include <math.h>

#include "numerics/statistics.h"

namespace numerics {

// Corrected two-pass algorithm: the sum e of the deviations, zero in exact arithmetic,
// removes the rounding error of the mean from the sum of squares.
void mean_and_variance(const float data[], unsigned n, float* mean, float* variance) {
  float sum = 0.0f;
  for (unsigned j = 1; j <= n; ++j) sum += data[j];
  const float m = sum / static_cast<float>(n);
  float e = 0.0f;
  float v = 0.0f;
  for (unsigned j = 1; j <= n; ++j) {
    const float s = data[j] - m;
    e += s;
    v += s * s;
  }
  *mean = m;
  *variance = (v - e * e / static_cast<float>(n)) / static_cast<float>(n - 1);
}

void t_statistic_equal_variance(const float data1[], unsigned n1, const float data2[], unsigned n2, float* t) {
  float m1, v1, m2, v2;
  mean_and_variance(data1, n1, &m1, &v1);
  mean_and_variance(data2, n2, &m2, &v2);
  const float df = static_cast<float>(n1 + n2 - 2);
  const float pooled = (static_cast<float>(n1 - 1) * v1 + static_cast<float>(n2 - 1) * v2) / df;
  if (pooled == 0.0f) {
    *t = 0.0f;
    return;
  }
  *t = static_cast<float>(
      static_cast<double>(m1 - m2) /
      sqrt(static_cast<double>(pooled) * (1.0 / static_cast<double>(n1) + 1.0 / static_cast<double>(n2))));
}

void t_statistic_unequal_variance(const float data1[], unsigned n1, const float data2[], unsigned n2, float* t) {
  float m1, v1, m2, v2;
  mean_and_variance(data1, n1, &m1, &v1);
  mean_and_variance(data2, n2, &m2, &v2);
  if (v1 == 0.0f && v2 == 0.0f) {
    *t = 0.0f;
    return;
  }
  *t = (m1 - m2) / sqrtf(v1 / static_cast<float>(n1) + v2 / static_cast<float>(n2));
}

}  // namespace numerics
