// Binary floating point with a 256-bit significand, for the accurate paths of the correctly
// rounded elementary functions. Those paths run only when the fast double-double evaluation
// cannot decide the rounding, so clarity and a simple error bound matter here, not speed.
//
// Every operation below returns the exact result truncated to 256 bits (add and subtract
// first align their operands with 64 guard bits), so its relative error is below 2^-254. A
// computation of a few hundred operations stays far below 2^-200, while the hardest
// binary64 arguments of exp, log, sin and cos lie no closer than about 2^-115 (relative) to a
// rounding boundary.
#ifndef NUMERICS_DETAIL_WIDE_FLOAT_H
#define NUMERICS_DETAIL_WIDE_FLOAT_H

#include <stdint.h>

namespace numerics::detail {

// (-1)^negative * 0.m * 2^exponent, where m is the 256-bit integer m[0] m[1] m[2] m[3] (m[0]
// most significant) read as a fraction. Normalised: the top bit of m[0] is set, so the
// fraction lies in [1/2, 1); zero has every word 0 (its exponent and sign do not matter).
struct wide_float {
  bool negative;
  int exponent;
  uint64_t m[4];
};

// Exact.
wide_float wide_from_double(double x);

// (-1)^negative * 0.w * 2^exponent for the n-word binary fraction w (w[0] most significant),
// normalised and truncated to 256 bits.
wide_float wide_from_fraction(bool negative, int exponent, const uint64_t* w, int n);

wide_float wide_add(const wide_float& a, const wide_float& b);
wide_float wide_sub(const wide_float& a, const wide_float& b);
wide_float wide_mul(const wide_float& a, const wide_float& b);
// k must not be 0.
wide_float wide_div_u64(const wide_float& a, uint64_t k);
// a / b, b not zero: Newton's iteration for 1/b, relative error below 2^-250.
wide_float wide_div(const wide_float& a, const wide_float& b);
// a * 2^k, exact.
wide_float wide_scale(const wide_float& a, int k);

inline bool wide_is_zero(const wide_float& a) { return a.m[0] == 0; }

// Rounded once to the nearest double, ties to even: subnormal results are rounded at their
// own precision, results beyond the largest double become infinite.
double wide_to_double(const wide_float& a);

}  // namespace numerics::detail

#endif
