#include <math.h>

#include "numerics/elementary.h"
#include "numerics/arrays.h"
#include "numerics/statistics.h"

namespace numerics {
namespace {

const double relative_tolerance = 3e-7;

// The series' terms shrink by the factor x/k, which never exceeds 1 on the series path
// (x < a + 1 <= k). The slowest case is a factor of exactly 1: once a >= 2^24, k + 1 rounds
// back to k in float, and with x = a every term equals 1/a. The sum must then grow to 1/3e-7
// terms, about 3.33 million; each addition loses at most half a unit of the sum, less than
// 20 % of a term at that size, so fewer than 4.2 million terms always suffice.
const int series_iteration_limit = 5000000;

// The fraction needs about 1.2 sqrt(a) steps just above x = a + 1 while a is small; in float
// the count levels off (i - a and q stop resolving single steps) and peaks near 23,000 for a
// around 2e11, over a search of the whole float range of a and of x up to a + 2 sqrt(a).
const int fraction_iteration_limit = 100000;

// exp(-x + a ln x - ln Gamma(a)), the factor both expansions share, in float.
float gamma_prefactor(float a, float x, float log_gamma_of_a) { return cr_expf(-x + a * cr_logf(x) - log_gamma_of_a); }

}  // namespace

float gammq(float a, float x) {
  if (static_cast<double>(x) < 0.0 || static_cast<double>(a) <= 0.0) {
    run_time_error("Invalid arguments in routine gammq");
  }
  float value;
  float log_gamma_of_a;
  if (static_cast<double>(x) < static_cast<double>(a) + 1.0) {
    gser(&value, a, x, &log_gamma_of_a);
    return static_cast<float>(1.0 - static_cast<double>(value));
  }
  gcf(&value, a, x, &log_gamma_of_a);
  return value;
}

void gser(float* result, float a, float x, float* log_gamma_of_a) {
  *log_gamma_of_a = static_cast<float>(log_gamma(a));
  if (x <= 0.0f) {
    if (x < 0.0f) run_time_error("x less than 0 in routine gser");
    *result = 0.0f;
    return;
  }
  float k = a;
  float term = static_cast<float>(1.0 / static_cast<double>(a));
  float sum = term;
  for (int n = 1; n <= series_iteration_limit; ++n) {
    k += 1.0f;
    term *= x / k;
    sum += term;
    if (fabs(static_cast<double>(term)) < fabs(static_cast<double>(sum)) * relative_tolerance) {
      // For a just above 1/FLT_MAX the sum, about e^x / a, exceeds the float range even though
      // the first term did not: that is the same degenerate a as a reciprocal that overflows,
      // and it ends the same way rather than with an infinite P.
      if (isinf(sum)) break;
      *result = sum * gamma_prefactor(a, x, *log_gamma_of_a);
      return;
    }
  }
  run_time_error("a too large, ITMAX too small in routine gser");
}

// Modified Lentz evaluation; c and d are kept away from zero by the float nearest 1e-30.
void gcf(float* result, float a, float x, float* log_gamma_of_a) {
  const float tiny = 1e-30f;
  *log_gamma_of_a = static_cast<float>(log_gamma(a));
  // Q(a, +inf) = 0; the fraction itself would only run on NaN until its limit.
  if (x == INFINITY && a > 0.0f && a < INFINITY) {
    *result = 0.0f;
    return;
  }
  float q = static_cast<float>(static_cast<double>(x) + 1.0 - static_cast<double>(a));
  float c = 1e30f;
  float d = static_cast<float>(1.0 / static_cast<double>(q));
  float h = d;
  int i = 1;
  for (; i <= fraction_iteration_limit; ++i) {
    const float fi = static_cast<float>(i);
    const float e = -fi * (fi - a);
    q = static_cast<float>(static_cast<double>(q) + 2.0);
    d = e * d + q;
    if (fabsf(d) < tiny) d = tiny;
    c = q + e / c;
    if (fabsf(c) < tiny) c = tiny;
    d = static_cast<float>(1.0 / static_cast<double>(d));
    const float r = d * c;
    h *= r;
    if (fabs(static_cast<double>(r) - 1.0) < relative_tolerance) break;
  }
  if (i > fraction_iteration_limit) run_time_error("a too large, ITMAX too small in gcf");
  *result = gamma_prefactor(a, x, *log_gamma_of_a) * h;
}

}  // namespace numerics
