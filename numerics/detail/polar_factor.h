// The radial factor of the polar method, shared by the normal deviates and the Rayleigh
// quantile.
#ifndef NUMERICS_DETAIL_POLAR_FACTOR_H
#define NUMERICS_DETAIL_POLAR_FACTOR_H

#include <math.h>

#include "numerics/elementary.h"

namespace numerics::detail {

// sqrt(-2 ln s / s): the logarithm in float, the rest in double, rounded to float.
inline float polar_factor(float s) {
  return static_cast<float>(sqrt(-2.0 * static_cast<double>(cr_logf(s)) / static_cast<double>(s)));
}

}  // namespace numerics::detail

#endif
