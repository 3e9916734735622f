// sin and cos correctly rounded, by Ziv's strategy: a fast evaluation in double-double with a
// proven error bound decides the rounding whenever the whole error interval rounds to one double;
// otherwise the accurate path evaluates with 256-bit significands.
#include <math.h>
#include <stdint.h>

#include "numerics/detail/double_double.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/detail/trig_reduction.h"
#include "numerics/detail/wide_float.h"
#include "numerics/elementary.h"

namespace numerics {
namespace detail {
namespace {

// sin(i step + t) for 0 <= i <= 1024, or sin(i step - t) when `direction` is -1, step = pi/2048,
// |t| <= (1 + 2^-29) step/2 and |t.lo| <= 2^-53 |t.hi| + 2^-74: as hi + lo (|lo| < 2^-19 |hi|)
// = S + S c + C t + C t s with S = sin(i step) and C = +-cos(i step) from the table, and
// c = cos t - 1, s = sin(t)/t - 1 in double from z = t.hi^2. With z <= 2^-20.69, |c| <= 2^-21.69
// and |s| <= 2^-23.28, the errors are:
//   S c: z (1.5 2^-52 relative with t.lo left out), the last addition in c, the product and S.lo
//     left out: 2^-72.12 |S|;
//   C t s: z, the coefficient -1/6, two roundings in s, the product and the high half of C t:
//     3.75 2^-52 |s| <= 2^-73.37 |C t|;
//   the three last additions of the low parts: 2^-73.1 |S| + 2^-75.3 |C t|;
//   the table, the series left out, t.lo's own part, and the products and sums of C t: below
//   2^-100 of the value.
// For i = 0 the value is sin t, at least |t|(1 - 2^-22); for i >= 1 it is at least |C t| and
// |S|/2.001, so that the error stays below 2^-70.29 of the value.
inline double_double sin_near_table_point(unsigned i, double_double t, double direction) {
  const double_double s = sin_table[i];
  const double_double c = {sin_table[1024 - i].hi * direction, sin_table[1024 - i].lo * direction};
  const double z = t.hi * t.hi;
  const double cos_minus_one = -0.5 * z + (z * z) * (0x1.5555555555555p-5 + z * -0x1.6c16c16c16c17p-10);
  const double sinc_minus_one = z * (-0x1.5555555555555p-3 + z * (0x1.1111111111111p-7 + z * -0x1.a01a01a01a01ap-13));
  const double_double ct = two_product(c.hi, t.hi);
  // |S| >= |C t| unless S = 0: the sum is exact. The rounding error of C t comes last, as it
  // takes longest.
  const double_double head = fast_two_sum(s.hi, ct.hi);
  const double low = (((head.lo + s.lo) + s.hi * cos_minus_one) + ct.hi * sinc_minus_one) + (c.hi * t.lo + c.lo * t.hi);
  return {head.hi, low + ct.lo};
}

// Multiplying by these negates exactly, without a branch that random arguments mispredict.
constexpr double signs[2] = {1.0, -1.0};

struct fast_result {
  double value;
  bool decided;  // false: the rounding needs the accurate path
};

// sin x, or cos x = sin(x + pi/2), when the fast evaluation decides its rounding.
template <bool cosine>
inline fast_result sin_or_cos_fast(double x) {
  const double ax = fabs(x);
  if (!(ax < INFINITY)) return {x - x, true};  // sin and cos of +-inf are NaN, and NaN stays NaN
  // sin x = x (1 - x^2/6 + ...) rounds to x for |x| < 2^-26, subnormal and zero x included;
  // cos x = 1 - x^2/2 + ... rounds to 1 for |x| < 2^-27.
  if (ax < (cosine ? 0x1p-27 : 0x1p-26)) return {cosine ? 1.0 : x, true};
  const step_argument a = reduce_to_step(ax);
  const unsigned index = a.index + (cosine ? 1024 : 0);
  const unsigned quarter = (index >> 10) & 3;
  // In the odd quarters, sin(pi/2 + j step + t) = sin((1024 - j) step - t).
  const unsigned odd = quarter & 1;
  const unsigned j = index & 1023;
  const double_double y = sin_near_table_point(odd ? 1024 - j : j, a.t, signs[odd]);
  // Three times the proven bound, plus the reduction's own error (sin' and cos' are at most 1);
  // the margin also covers the rounding of y.lo +- e.
  // (y is not normalised, so the test is written out here.)
  const double e = 0x1p-69 * fabs(y.hi) + a.error;
  const double lower = y.hi + (y.lo - e);
  const double upper = y.hi + (y.lo + e);
  // The second half turn negates, and so does a negative x for the odd sine.
  const unsigned negative = (quarter >> 1) ^ (!cosine && x < 0.0 ? 1 : 0);
  return {lower * signs[negative], lower == upper};
}

// sum over k of (-1)^k r^(2k+j) / (2k+j)!, |r| <= pi/4: sin r for j = 1, cos r for j = 0. Each
// term is at most 0.103 of the one before, so the sum stops once a term falls below 2^-260 of
// it; some 30 terms of three operations each keep the relative error below 2^-245.
wide_float taylor_sin_cos(const wide_float& r, unsigned j) {
  const wide_float r2 = wide_mul(r, r);
  wide_float term = j == 1 ? r : wide_from_double(1.0);
  wide_float sum = term;
  for (uint64_t n = j + 1;; n += 2) {
    term = wide_div_u64(wide_mul(term, r2), n * (n + 1));
    if (wide_is_zero(term) || term.exponent < sum.exponent - 260) return sum;
    term.negative = !term.negative;
    sum = wide_add(sum, term);
  }
}

// sin x, or cos x = sin(x + pi/2), for any double.
double sin_or_cos_accurate(double x, bool cosine) {
  const double ax = fabs(x);
  if (!(ax < INFINITY)) return x - x;
  if (ax == 0.0) return cosine ? 1.0 : x;
  const quadrant_argument a = reduce_to_quadrant(ax);
  const unsigned quadrant = a.quadrant + (cosine ? 1 : 0);
  wide_float y = taylor_sin_cos(a.r, quadrant & 1 ? 0 : 1);
  const bool negative = ((quadrant >> 1) & 1) != (!cosine && x < 0.0);
  if (negative) y.negative = !y.negative;
  return wide_to_double(y);
}

}  // namespace

bool sin_fast_path(double x, double* result) {
  const fast_result r = sin_or_cos_fast<false>(x);
  *result = r.value;
  return r.decided;
}

bool cos_fast_path(double x, double* result) {
  const fast_result r = sin_or_cos_fast<true>(x);
  *result = r.value;
  return r.decided;
}

double sin_accurate_path(double x) { return sin_or_cos_accurate(x, false); }
double cos_accurate_path(double x) { return sin_or_cos_accurate(x, true); }

}  // namespace detail

double cr_sin(double x) {
  const detail::fast_result r = detail::sin_or_cos_fast<false>(x);
  return r.decided ? r.value : detail::sin_accurate_path(x);
}

double cr_cos(double x) {
  const detail::fast_result r = detail::sin_or_cos_fast<true>(x);
  return r.decided ? r.value : detail::cos_accurate_path(x);
}

}  // namespace numerics
