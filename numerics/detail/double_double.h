// Double-double arithmetic: a value carried as the unevaluated sum hi + lo of two doubles, with
// |lo| at most half a unit in the last place of hi, about 106 significant bits. Built on the
// error-free transformations of Knuth (two_sum) and Dekker (fast_two_sum, and two_product by
// Veltkamp's splitting, since the toolkit never fuses a multiply and an add), using only
// additions and multiplications in double, so they hold on every platform with IEEE 754
// binary64 and round-to-nearest. The elementary functions' fast paths and the float
// functions' accurate paths use it.
#ifndef NUMERICS_DETAIL_DOUBLE_DOUBLE_H
#define NUMERICS_DETAIL_DOUBLE_DOUBLE_H

#include <stdint.h>
#include <string.h>

namespace numerics::detail {

struct double_double {
  double hi;
  double lo;
};

// a + b exactly: the rounded sum and its rounding error.
inline double_double two_sum(double a, double b) {
  const double s = a + b;
  const double b_part = s - a;
  const double a_part = s - b_part;
  return {s, (a - a_part) + (b - b_part)};
}

// a + b exactly, for |a| >= |b| or a = 0.
inline double_double fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a as the sum of two halves of at most 26 significant bits, whose products are exact.
inline double_double split(double a) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  const double hi = t - (t - a);
  return {hi, a - hi};
}

// a * b exactly: the rounded product and its rounding error (for products far from overflow
// and underflow, as everywhere here).
inline double_double two_product(double a, double b) {
  const double p = a * b;
  const double_double x = split(a);
  const double_double y = split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

inline double_double add(double_double a, double_double b) {
  const double_double high = two_sum(a.hi, b.hi);
  const double_double low = two_sum(a.lo, b.lo);
  const double_double s = fast_two_sum(high.hi, high.lo + low.hi);
  return fast_two_sum(s.hi, s.lo + low.lo);
}

inline double_double multiply(double_double a, double_double b) {
  const double_double p = two_product(a.hi, b.hi);
  return fast_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// a / b, for b far from overflow and underflow: the quotient of the high parts, corrected by
// the exact remainder.
inline double_double divide(double_double a, double b) {
  const double q = a.hi / b;
  const double_double p = two_product(q, b);
  const double remainder = ((a.hi - p.hi) - p.lo) + a.lo;  // a.hi - p.hi is exact (Sterbenz)
  return fast_two_sum(q, remainder / b);
}

// The integer nearest t (ties to even), for |t| < 2^51 in the default rounding mode: adding
// 1.5 2^52 leaves no fraction bits.
inline double nearest_integer(double t) {
  const double shifter = 0x1.8p52;
  return (t + shifter) - shifter;
}

// Ziv's rounding test: true when every value within `error` of y.hi + y.lo rounds to the same
// double, which is then y.hi + y.lo rounded. y must be normalised (|lo| <= ulp(hi) / 2) and
// `error` far below ulp(hi), as the fast paths' bounds are.
inline bool rounding_is_decided(const double_double& y, double error) {
  return y.hi + (y.lo - error) == y.hi + (y.lo + error);
}

// hi + lo rounded once to the nearest float, ties to even, subnormal and overflowing results
// included. hi is first rounded to odd by lo (a nonzero lo moves an even last bit of hi one
// place towards lo); a double rounded to odd, with 29 more bits than a float, then rounds to the
// same float as the exact sum.
inline float round_to_float(double_double v) {
  uint64_t bits;
  memcpy(&bits, &v.hi, sizeof bits);
  if (v.lo != 0.0 && (bits & 1) == 0) {
    if ((v.lo > 0.0) == (v.hi > 0.0)) {
      ++bits;
    } else {
      --bits;
    }
  }
  double odd;
  memcpy(&odd, &bits, sizeof odd);
  return static_cast<float>(odd);
}

}  // namespace numerics::detail

#endif
