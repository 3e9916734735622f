// e^x correctly rounded: a fast double-double evaluation with a proven error bound, and a
// 256-bit evaluation for the few arguments whose rounding the fast one cannot decide.
#include <math.h>
#include <stdint.h>
#include <string.h>

#include "numerics/detail/double_double.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/detail/exp2_table.h"
#include "numerics/detail/ln2.h"
#include "numerics/detail/wide_float.h"
#include "numerics/elementary.h"

namespace numerics {
namespace detail {
namespace {

// Beyond these e^x is +inf or rounds to +0: e^709.79 > DBL_MAX and e^-745.2 < 2^-1075 (half
// the smallest subnormal). Between them the evaluation itself finds overflow and underflow.
constexpr double overflow_bound = 709.79;
constexpr double underflow_bound = -745.2;

// x = k ln2/128 + r: 128/ln2, and ln2/128 = step_hi + step_lo with step_hi of 35 bits, so
// that k * step_hi is exact for |k| < 2^18 and x - k * step_hi is exact too.
constexpr double inverse_step = 0x1.71547652b82fep+7;
constexpr double step_hi = 0x1.62e42fefcp-8;
constexpr double step_lo = -0x1.c610ca86c3899p-44;

// The fast path's relative error is below 2^-68.3: the reduction 2^-78.7, the polynomial's
// truncation 2^-72 and rounding 2^-69.5, the product with the table 2^-69.9, the table and
// the other roundings together below 2^-75 (see fast_significand). The test uses 2^-67.
constexpr double fast_path_error = 0x1p-67;

// 2^e for -1022 <= e <= 1023.
double power_of_two(int e) {
  const uint64_t bits = static_cast<uint64_t>(e + 1023) << 52;
  double r;
  memcpy(&r, &bits, sizeof r);
  return r;
}

// e^r - 1 - rh for |r| <= ln2/256 given as rh + rl: the degree-6 Taylor polynomial's square
// and higher terms in double (truncation below 2^-72, rounding below 2^-69.5), with rl and its
// first cross term. The result is below 2^-17.
double exp_minus_one_tail(double rh, double rl) {
  const double r2 = rh * rh;
  const double q = r2 * ((0.5 + rh * (1.0 / 6)) + r2 * ((1.0 / 24 + rh * (1.0 / 120)) + r2 * (1.0 / 720)));
  return rl + (rh * rl + q);
}

// x = (128 e + j) ln2/128 + r; e^x = 2^e * 2^(j/128) * e^r, the last two as a double-double
// y in [0.99, 2) without the rounding error of one product, p = t.hi * r.hi rounded; with that
// error (product_error) added, y is within the fast path's bound.
struct scaled {
  int e;
  double_double y;
  double t_hi;
  double r_hi;
  double p;
};

scaled fast_significand(double x) {
  const double kd = nearest_integer(x * inverse_step);
  const int k = static_cast<int>(kd);
  const double_double r = two_sum(x - kd * step_hi, -kd * step_lo);
  const int j = static_cast<int>(static_cast<unsigned>(k) & 127u);
  const double_double t = exp2_table[j];
  const double u_tail = exp_minus_one_tail(r.hi, r.lo);
  // t (1 + u) with u = r.hi + u_tail: t.hi + p is exact as a sum; the rest is far smaller.
  const double p = t.hi * r.hi;
  const double_double s = fast_two_sum(t.hi, p);
  const double low = s.lo + (t.hi * u_tail + (t.lo + t.lo * (r.hi + u_tail)));
  return {(k - j) / 128, fast_two_sum(s.hi, low), t.hi, r.hi, p};
}

// t_hi * r_hi - p exactly: t_hi has 26 bits, so its products with the 26-bit halves of r_hi
// are exact, and so is their difference from p, which is near the first.
double product_error(const scaled& s) {
  const double_double h = split(s.r_hi);
  return (s.t_hi * h.hi - s.p) + s.t_hi * h.lo;
}

// y with the product's rounding error added.
double_double corrected(const scaled& s) { return fast_two_sum(s.y.hi, s.y.lo + product_error(s)); }

// y * 2^e for a result in the subnormal range: rounded once at the subnormal spacing 2^-1074,
// as the integer nearest z = y * 2^(e + 1074) < 2^52; false when the error bound straddles a
// rounding boundary.
bool round_subnormal(const double_double& y, int e, double* result) {
  const double scale = power_of_two(e + 1074);
  const double zh = y.hi * scale, zl = y.lo * scale, error = fast_path_error * zh;
  const double n = (zh + 0x1p52) - 0x1p52;  // nearest integer, 0 <= zh < 2^52
  const double d = zh - n;                  // exact, |d| <= 1/2
  const double low = d + (zl - error), high = d + (zl + error);
  double m;
  if (low > -0.5 && high < 0.5) {
    m = n;
  } else if (low > 0.5) {
    m = n + 1;
  } else if (high < -0.5) {
    m = n - 1;
  } else {
    return false;
  }
  *result = m * 0x1p-1074;  // exact: m <= 2^52
  return true;
}

}  // namespace

// e^x to 256 bits: x = k ln2 + r, e^r from the Taylor series of e^(r/256) squared 8 times.
// Every step's relative error is below 2^-254; the squarings multiply it by 256, the series'
// truncation (21 terms, |r/256| < 2^-9.5) is below 2^-265.
double exp_accurate_path(double x) {
  const double k = nearest_integer(x * 0x1.71547652b82fep+0);  // x / ln2
  const wide_float r = wide_sub(wide_from_double(x), wide_mul(wide_from_double(k), wide_ln2));
  const wide_float t = wide_scale(r, -8);
  const wide_float one = wide_from_double(1.0);
  wide_float s = one;
  for (int n = 21; n >= 1; --n) s = wide_add(one, wide_div_u64(wide_mul(t, s), static_cast<uint64_t>(n)));
  for (int i = 0; i < 8; ++i) s = wide_mul(s, s);
  return wide_to_double(wide_scale(s, static_cast<int>(k)));
}

namespace {

// exp_fast_path, inline here so that cr_exp keeps the result in a register.
inline bool fast_path(double x, double* result) {
  if (!(x > underflow_bound)) {  // also NaN, which becomes a quiet NaN
    *result = x != x ? x + x : 0.0;
    return true;
  }
  if (x > overflow_bound) {
    *result = HUGE_VAL;
    return true;
  }
  const scaled s = fast_significand(x);
  if (s.e < -1022 || (s.e == -1022 && s.y.hi < 1.0)) return round_subnormal(corrected(s), s.e, result);
  // Without the product's rounding error the bound grows by 2^-53 |p|.
  double_double y = s.y;
  if (!rounding_is_decided(y, fast_path_error * y.hi + 0x1p-53 * fabs(s.p))) {
    y = corrected(s);
    if (!rounding_is_decided(y, fast_path_error * y.hi)) return false;
  }
  const double value = y.hi + y.lo;
  // 2^1024 is not a double: scale in two steps, the second overflowing to +inf if it must.
  *result = s.e > 1023 ? value * power_of_two(s.e - 1) * 2.0 : value * power_of_two(s.e);
  return true;
}

}  // namespace

bool exp_fast_path(double x, double* result) { return fast_path(x, result); }

}  // namespace detail

double cr_exp(double x) {
  double y;
  return detail::fast_path(x, &y) ? y : detail::exp_accurate_path(x);
}

}  // namespace numerics
