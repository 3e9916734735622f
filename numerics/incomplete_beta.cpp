#include <math.h>

#include "numerics/elementary.h"
#include "numerics/statistics.h"

namespace numerics {
namespace {

const int fraction_iteration_limit = 100;
const double relative_tolerance = 3e-7;
const double tiny = 1e-30;

// Keeps a Lentz denominator away from zero.
double away_from_zero(double value) { return fabs(value) < tiny ? tiny : value; }

}  // namespace

float incomplete_beta(float a, float b, float x) {
  const double xd = x;
  if (xd < 0.0 || xd > 1.0) return 0.0f;
  // I_0 = 0 for a, b > 0, also when a + b overflows float and the test against the mean
  // below fails.
  if (x == 0.0f && a > 0.0f && b > 0.0f) return 0.0f;
  const float a_plus_b = a + b;
  float front = 0.0f;
  if (x != 0.0f && x != 1.0f) {
    front = static_cast<float>(cr_exp(log_gamma(a_plus_b) - log_gamma(a) - log_gamma(b) +
                                      static_cast<double>(a * cr_logf(x)) + static_cast<double>(b) * cr_log(1.0 - xd)));
  }
  // The fraction converges fast below the mean (a + 1)/(a + b + 2); above it, use the
  // symmetry I_x(a, b) = 1 - I_(1-x)(b, a).
  if (xd < (static_cast<double>(a) + 1.0) / (static_cast<double>(a_plus_b) + 2.0)) {
    return front * incomplete_beta_fraction(a, b, xd) / a;
  }
  return static_cast<float>(1.0 - static_cast<double>(front * incomplete_beta_fraction(b, a, 1.0 - xd) / b));
}

// Modified Lentz evaluation, one even and one odd step per iteration.
float incomplete_beta_fraction(double a, double b, double x) {
  double c = 1.0;
  double d = 1.0 / away_from_zero(1.0 - (a + b) * x / (a + 1.0));
  double h = d;
  for (int m = 1; m <= fraction_iteration_limit; ++m) {
    const int m2 = 2 * m;
    double e = m * (b - m) * x / ((a - 1.0 + m2) * (a + m2));
    d = 1.0 / away_from_zero(1.0 + e * d);
    c = away_from_zero(1.0 + e / c);
    h *= d * c;
    e = -(a + m) * (a + b + m) * x / ((a + m2) * (a + 1.0 + m2));
    d = 1.0 / away_from_zero(1.0 + e * d);
    c = away_from_zero(1.0 + e / c);
    const double r = d * c;
    h *= r;
    if (fabs(r - 1.0) < relative_tolerance) break;
  }
  return static_cast<float>(h);
}

}  // namespace numerics
