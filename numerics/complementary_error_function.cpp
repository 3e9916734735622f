#include <math.h>

#include "numerics/elementary.h"
#include "numerics/statistics.h"

namespace numerics {

// erfc(|x|) = t exp(-z^2 - 1.26551223 + p(t)) with t = 1/(1 + z/2) and p a fitted
// polynomial; negative x by erfc(-x) = 2 - erfc(x).
float complementary_error_function(float x) {
  const float z = fabsf(x);
  const float t = static_cast<float>(1.0 / (1.0 + 0.5 * static_cast<double>(z)));
  const double td = t;
  const double p =
      td * (1.00002368 +
            td * (0.37409196 +
                  td * (0.09678418 +
                        td * (-0.18628806 +
                              td * (0.27886807 +
                                    td * (-1.13520398 + td * (1.48851587 + td * (-0.82215223 + td * 0.17087277))))))));
  const float v = static_cast<float>(td * cr_exp(static_cast<double>(-z * z) - 1.26551223 + p));
  return x >= 0.0f ? v : static_cast<float>(2.0 - static_cast<double>(v));
}

}  // namespace numerics
