// Error-free transformations of doubles, the building blocks of the elementary functions'
// fast paths: each returns a result rounded to double and its exact rounding error, using
// only additions and multiplications in double (no fused multiply-add), so they hold on every
// platform with IEEE 754 binary64 and round-to-nearest.
#ifndef NUMERICS_DETAIL_DOUBLE_DOUBLE_H
#define NUMERICS_DETAIL_DOUBLE_DOUBLE_H

namespace numerics::detail {

// An unevaluated sum hi + lo with |lo| <= ulp(hi) / 2 when normalised.
struct double_double {
  double hi;
  double lo;
};

// a + b exactly, for any a and b.
inline double_double two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly, when a is zero or |a| >= |b|.
inline double_double fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a split into two halves of at most 26 significant bits each, a = hi + lo; needs |a| < 2^995.
inline double_double split(double a) {
  const double c = 134217729.0 * a;  // 2^27 + 1
  const double hi = c - (c - a);
  return {hi, a - hi};
}

// a * b exactly, when the product neither overflows nor loses bits to underflow.
inline double_double two_product(double a, double b) {
  const double p = a * b;
  const double_double x = split(a), y = split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// Ziv's rounding test: true when every value within `error` of y.hi + y.lo rounds to the same
// double, which is then y.hi + y.lo rounded. y must be normalised (|lo| <= ulp(hi) / 2) and
// `error` far below ulp(hi), as the fast paths' bounds are.
inline bool rounding_is_decided(const double_double& y, double error) {
  return y.hi + (y.lo - error) == y.hi + (y.lo + error);
}

}  // namespace numerics::detail

#endif
