#include <math.h>

#include "numerics/detail/correlation_significance.h"
#include "numerics/statistics.h"

namespace numerics {
namespace {

// r from the sums of squared and cross deviations; 0 when either sample does not vary.
float correlation_from_sums(float sum_xx, float sum_yy, float sum_xy) {
  const float q = sqrtf(sum_xx * sum_yy);
  return q > 0.0f ? sum_xy / q : 0.0f;
}

// Adds (x, y) to the running sums; deviations are taken from the means that include it.
void add_pair(float x, float y, float* count, float* sum_x, float* sum_y, float* sum_xx, float* sum_yy, float* sum_xy) {
  *count += 1.0f;
  *sum_x += x;
  *sum_y += y;
  const float dx = x - *sum_x / *count;
  const float dy = y - *sum_y / *count;
  *sum_xx += dx * dx;
  *sum_yy += dy * dy;
  *sum_xy += dx * dy;
}

}  // namespace

void correlation_coefficient(const float x[], const float y[], unsigned n, float* r) {
  float mean_x = 0.0f;
  float mean_y = 0.0f;
  for (unsigned j = 1; j <= n; ++j) {
    mean_x += x[j];
    mean_y += y[j];
  }
  mean_x /= static_cast<float>(n);
  mean_y /= static_cast<float>(n);
  float sum_xx = 0.0f;
  float sum_yy = 0.0f;
  float sum_xy = 0.0f;
  for (unsigned j = 1; j <= n; ++j) {
    const float dx = x[j] - mean_x;
    const float dy = y[j] - mean_y;
    sum_xx += dx * dx;
    sum_yy += dy * dy;
    sum_xy += dx * dy;
  }
  *r = correlation_from_sums(sum_xx, sum_yy, sum_xy);
}

void correlation_with_probability(const float x[], const float y[], unsigned n, float* r, float* probability) {
  correlation_coefficient(x, y, n, r);
  *probability = detail::correlation_significance(*r, static_cast<float>(n - 2));
}

void running_correlation_update(float x, float y, float* count, float* sum_x, float* sum_y, float* sum_xx,
                                float* sum_yy, float* sum_xy, float* r) {
  add_pair(x, y, count, sum_x, sum_y, sum_xx, sum_yy, sum_xy);
  *r = correlation_from_sums(*sum_xx, *sum_yy, *sum_xy);
}

void running_regression_update(float x, float y, float* count, float* sum_x, float* sum_y, float* sum_xx, float* sum_yy,
                               float* sum_xy, float* intercept, float* slope, float* mean_y) {
  add_pair(x, y, count, sum_x, sum_y, sum_xx, sum_yy, sum_xy);
  *slope = *sum_xx > 0.0f ? *sum_xy / *sum_xx : 0.0f;
  *mean_y = *sum_y / *count;
  *intercept = *mean_y - *slope * *sum_x / *count;
}

}  // namespace numerics
