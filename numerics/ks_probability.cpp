#include <math.h>

#include "numerics/elementary.h"
#include "numerics/statistics.h"

namespace numerics {

// The alternating series 2 sum (-1)^(j-1) exp(-2 j^2 lambda^2), stopped when a term is small
// against the one before or against the sum.
float ks_probability(float lambda) {
  const int term_limit = 100;
  float sign_factor = 2.0f;
  float sum = 0.0f;
  float previous = 0.0f;
  const float w = static_cast<float>(-2.0 * static_cast<double>(lambda) * static_cast<double>(lambda));
  for (int j = 1; j <= term_limit; ++j) {
    const float fj = static_cast<float>(j);
    const float term = sign_factor * cr_expf(w * fj * fj);
    sum += term;
    const double size = fabs(static_cast<double>(term));
    if (size <= 0.001 * static_cast<double>(previous) || size <= 1e-8 * static_cast<double>(sum)) return sum;
    sign_factor = -sign_factor;
    previous = fabsf(term);
  }
  // The terms did not fall off (lambda near 0): the sum does not converge usefully.
  return 1.0f;
}

}  // namespace numerics
