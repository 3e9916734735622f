#include <math.h>

#include "numerics/detail/correlation_significance.h"
#include "numerics/statistics.h"

namespace numerics {

float detail::correlation_significance(float r, float df) {
  const double rd = r;
  const float t = static_cast<float>(rd * sqrt(static_cast<double>(df) / ((1.0 - rd + 1e-20) * (1.0 + rd + 1e-20))));
  return incomplete_beta(static_cast<float>(0.5 * static_cast<double>(df)), 0.5f, df / (df + t * t));
}

float correlation_probability(float r, unsigned n) {
  if (n < 2) return 1.0f;
  const float df = static_cast<float>(n - 2);
  if (r == 0.0f) return 1.0f;
  if (r == 1.0f) return 0.0f;
  return detail::correlation_significance(r, df);
}

float t_probability(float t, unsigned df) {
  const float nu = static_cast<float>(df);
  return incomplete_beta(0.5f * nu, 0.5f, nu / (nu + t * t));
}

// The denominator's degrees of freedom give the first shape parameter.
float f_probability(float f, unsigned df1, unsigned df2) {
  if (f < 0.0f) return 0.0f;
  const float nu1 = static_cast<float>(df1);
  const float nu2 = static_cast<float>(df2);
  return incomplete_beta(0.5f * nu2, 0.5f * nu1, nu2 / (nu2 + nu1 * f));
}

}  // namespace numerics
