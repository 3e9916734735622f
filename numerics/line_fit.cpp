#include <math.h>
#include <stdint.h>

#include "numerics/detail/weights.h"
#include "numerics/fitting.h"
#include "numerics/statistics.h"

namespace numerics {
namespace {

// Adds r^2 to a chi-square kept in float: the square in float, the sum in double.
float add_square(float chi_square, float r) {
  return static_cast<float>(static_cast<double>(chi_square) + static_cast<double>(r * r));
}

}  // namespace

void fit_line(const float x[], const float y[], int count, const float sdev[], int use_sdev, float* intercept,
              float* slope, float* intercept_sdev, float* slope_sdev, float* chi_square, float* goodness) {
  // The slope doubles as the accumulator of sum(t * y) until the sums are complete.
  *slope = 0.0f;
  float sum_x = 0.0f;
  float sum_y = 0.0f;
  float sum_tt = 0.0f;
  float sum_weights = 0.0f;
  if (use_sdev != 0) {
    for (int i = 1; i <= count; ++i) {
      const float weight = detail::inverse_variance(sdev[i]);
      sum_weights += weight;
      sum_x += x[i] * weight;
      sum_y += y[i] * weight;
    }
  } else {
    for (int i = 1; i <= count; ++i) {
      sum_x += x[i];
      sum_y += y[i];
    }
    sum_weights = static_cast<float>(count);
  }
  const float mean_x = sum_x / sum_weights;

  // Centring the abscissas first keeps the slope clear of cancellation in the sums.
  for (int i = 1; i <= count; ++i) {
    if (use_sdev != 0) {
      const float t = (x[i] - mean_x) / sdev[i];
      sum_tt += t * t;
      *slope += (t * y[i]) / sdev[i];
    } else {
      const float t = x[i] - mean_x;
      sum_tt += t * t;
      *slope += t * y[i];
    }
  }
  *slope /= sum_tt;
  *intercept = (sum_y - sum_x * *slope) / sum_weights;
  const float spread = sum_x * sum_x / (sum_weights * sum_tt);
  *intercept_sdev = static_cast<float>(sqrt((1.0 + static_cast<double>(spread)) / static_cast<double>(sum_weights)));
  *slope_sdev = static_cast<float>(sqrt(1.0 / static_cast<double>(sum_tt)));

  *chi_square = 0.0f;
  if (use_sdev == 0) {
    for (int i = 1; i <= count; ++i) *chi_square = add_square(*chi_square, (y[i] - *intercept) - *slope * x[i]);
    *goodness = 1.0f;
    // Without deviations the scatter of the residuals stands in for them.
    const float scatter = sqrtf(*chi_square / static_cast<float>(static_cast<int64_t>(count) - 2));
    *intercept_sdev *= scatter;
    *slope_sdev *= scatter;
  } else {
    for (int i = 1; i <= count; ++i)
      *chi_square = add_square(*chi_square, ((y[i] - *intercept) - *slope * x[i]) / sdev[i]);
    const float a = static_cast<float>(0.5 * (static_cast<double>(count) - 2.0));
    const float x = static_cast<float>(0.5 * static_cast<double>(*chi_square));
    // A NaN chi-square (from a zero deviation or abscissas all equal) has no goodness of fit;
    // gammq would not settle on it and end the process, which such data must not do.
    *goodness = a > 0.0f && isnan(x) ? NAN : gammq(a, x);
  }
}

}  // namespace numerics
