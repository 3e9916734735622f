#include "numerics/detail/polar_factor.h"
#include "numerics/statistics.h"

namespace numerics {

// a * sqrt(-2 ln(a^2) / a^2) with a = 1 - p, which is sqrt(-4 ln(1 - p)) for 0 <= p < 1.
float rayleigh_quantile(float p) {
  // 1 - 2^-23 in place of 1 keeps the logarithm finite.
  if (p == 1.0f) p = 0.99999988f;
  const float a = static_cast<float>(1.0 - static_cast<double>(p));
  return a * detail::polar_factor(a * a);
}

}  // namespace numerics
