// log x correctly rounded: a fast table-driven double-double evaluation with a proven error
// bound, and a 256-bit evaluation for the few arguments whose rounding it cannot decide.
#include <math.h>
#include <stdint.h>
#include <string.h>

#include "numerics/detail/double_double.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/detail/ln2.h"
#include "numerics/detail/log_table.h"
#include "numerics/detail/wide_float.h"
#include "numerics/elementary.h"

namespace numerics {
namespace detail {
namespace {

// The fast path's relative error is below 2^-68.2: the rounding of the cubic and higher terms
// dominates, at most 2^-68.3 where c = 1 and |r| is largest (elsewhere the result is at least
// 2^-9 and that error far smaller); the truncation is below 2^-75, the table, ln 2 and the
// other roundings below 2^-95. The test uses 2^-67.
constexpr double fast_path_error = 0x1p-67;

// x = 2^e m with m in [1/sqrt2, sqrt2) roughly, and the reduction table's index for m.
struct decomposed {
  int e;
  double m;
  int i;
};

// x finite and positive.
decomposed decompose(double x) {
  int e = 0;
  if (x < 0x1p-1022) {  // subnormal: scale into the normal range, exactly
    x *= 0x1p52;
    e = -52;
  }
  uint64_t bits;
  memcpy(&bits, &x, sizeof bits);
  const int i = static_cast<int>((bits >> 44) & 0xff);
  // From the halving index on, m / 2 and e + 1: set without a branch, which random arguments
  // would mispredict half the time.
  const int halved = i >= log_table_halving_index;
  e += static_cast<int>(bits >> 52) - 1023 + halved;
  bits = (bits & ((1ull << 52) - 1)) | (static_cast<uint64_t>(1023 - halved) << 52);
  double m;
  memcpy(&m, &bits, sizeof m);
  return {e, m, i};
}

// log(1 + r) for r = rh + rl, |r| < 2^-8, as rh + low with low far below rh: the square in
// double, the cubic and higher terms (Taylor to degree 9, truncation below 2^-75 relative) in
// double, and rl. It leaves out half the square's rounding error and rl's cross terms, together
// below 2^-52 rh^2, which log1p_correction gives when the rounding needs them.
double_double log1p_small(double rh, double rl) {
  const double r2 = rh * rh, r4 = r2 * r2;
  const double t = rh * r2 *
                   ((1.0 / 3 - rh * (1.0 / 4)) +
                    (r2 * (1.0 / 5 - rh * (1.0 / 6)) + r4 * ((1.0 / 7 - rh * (1.0 / 8)) + r2 * (1.0 / 9))));
  const double_double s = fast_two_sum(rh, -0.5 * r2);
  return {s.hi, s.lo + (rl + t)};
}

// What log1p_small leaves out: half the exact rounding error of rh * rh (Dekker's product of
// the 26-bit halves; rh^2 >= 2^-106 cannot underflow), and -rl rh + rl rh^2.
double log1p_correction(double rh, double rl) {
  const double_double h = split(rh);
  const double square_error = ((h.hi * h.hi - rh * rh) + 2.0 * h.hi * h.lo) + h.lo * h.lo;
  return -0.5 * square_error - rl * rh * (1.0 - rh);
}

// m with its low 27 bits cleared: its top 26 significant bits.
double top_26_bits(double m) {
  uint64_t bits;
  memcpy(&bits, &m, sizeof bits);
  bits &= ~((1ull << 27) - 1);
  memcpy(&m, &bits, sizeof m);
  return m;
}

// log x = e ln2 - log c + log(1 + r) with r = m c - 1 exact as a double-double: c has 26
// bits, so its products with the 26-bit top of m and the 27-bit rest are exact, and
// m_hi c - 1 is exact because m_hi c is near 1. The two sums of the parts are exact as fast
// sums: e ln2 is either 0 or at least 0.69 > |log c|, and |log c| >= 2^-8.4 > |log(1 + r)|
// wherever c != 1.
struct fast_log_result {
  double_double y;  // without log1p_correction
  double_double r;
};

fast_log_result fast_log(const decomposed& d) {
  const log_table_entry& entry = log_table[d.i];
  const double m_hi = top_26_bits(d.m);
  const double_double r = two_sum(m_hi * entry.c - 1.0, (d.m - m_hi) * entry.c);
  const double_double l = log1p_small(r.hi, r.lo);
  const double ed = d.e;
  const double_double a = fast_two_sum(ed * ln2_hi, entry.minus_log_c.hi);
  const double_double b = fast_two_sum(a.hi, l.hi);
  const double low = a.lo + b.lo + (ed * ln2_lo + entry.minus_log_c.lo + l.lo);
  return {fast_two_sum(b.hi, low), r};
}

// 1/(2k + 1) for k = 0..52, truncated to 256 bits, worked out by the compiler (binary long
// division), so that the series below needs no divisions.
constexpr int series_terms = 53;

struct odd_reciprocals {
  wide_float value[series_terms];
};

constexpr wide_float reciprocal(uint64_t n) {
  if (n == 1) return {false, 1, {1ull << 63, 0, 0, 0}};
  wide_float r{false, 0, {0, 0, 0, 0}};
  uint64_t remainder = 1;
  int bits = 0;
  while (bits < 256) {
    remainder *= 2;
    const bool one = remainder >= n;
    if (one) remainder -= n;
    if (bits == 0 && !one) {
      --r.exponent;  // before the leading one
      continue;
    }
    if (one) r.m[bits / 64] |= 1ull << (63 - bits % 64);
    ++bits;
  }
  return r;
}

constexpr odd_reciprocals make_odd_reciprocals() {
  odd_reciprocals t{};
  for (int k = 0; k < series_terms; ++k) t.value[k] = reciprocal(static_cast<uint64_t>(2 * k + 1));
  return t;
}

constexpr odd_reciprocals odd_reciprocal = make_odd_reciprocals();

// log x to 256 bits: e ln2 + 2 atanh(s) with s = (m - 1)/(m + 1), |s| < 0.172, from 53 terms
// of the series s (1 + s^2/3 + s^4/5 + ...) (truncation below 2^-260). With e != 0 the two
// parts cannot cancel: |e ln2| >= 0.69 > 2 |log m|.
double accurate_log(const decomposed& d) {
  const wide_float one = wide_from_double(1.0);
  const wide_float m = wide_from_double(d.m);
  const wide_float s = wide_div(wide_from_double(d.m - 1.0), wide_add(m, one));  // m - 1 exact
  const wide_float s2 = wide_mul(s, s);
  wide_float sum = odd_reciprocal.value[series_terms - 1];
  for (int k = series_terms - 2; k >= 0; --k) sum = wide_add(odd_reciprocal.value[k], wide_mul(s2, sum));
  const wide_float log_m = wide_scale(wide_mul(s, sum), 1);
  return wide_to_double(wide_add(wide_mul(wide_from_double(d.e), wide_ln2), log_m));
}

}  // namespace

double log_accurate_path(double x) { return accurate_log(decompose(x)); }

namespace {

// log_fast_path, inline here so that cr_log keeps the result in a register.
inline bool fast_path(double x, double* result) {
  if (!(x > 0.0) || x == HUGE_VAL) {
    if (x == 0.0) {
      *result = -HUGE_VAL;
    } else if (x < 0.0 || x != x) {
      *result = x != x ? x + x : NAN;  // the argument's NaN, or a new one
    } else {
      *result = x;  // +inf
    }
    return true;
  }
  const fast_log_result f = fast_log(decompose(x));
  // Without the correction the error bound grows by 2^-52 rh^2, which is negligible unless the
  // result is near r itself (x near 1); with it, the bound is the fast path's.
  double_double y = f.y;
  if (!rounding_is_decided(y, fast_path_error * fabs(y.hi) + 0x1p-52 * (f.r.hi * f.r.hi))) {
    y = fast_two_sum(y.hi, y.lo + log1p_correction(f.r.hi, f.r.lo));
    if (!rounding_is_decided(y, fast_path_error * fabs(y.hi))) return false;
  }
  *result = y.hi + y.lo;
  return true;
}

}  // namespace

bool log_fast_path(double x, double* result) { return fast_path(x, result); }

}  // namespace detail

double cr_log(double x) {
  double y;
  return detail::fast_path(x, &y) ? y : detail::log_accurate_path(x);
}

}  // namespace numerics
