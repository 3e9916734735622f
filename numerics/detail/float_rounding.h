// The rounding tests of the float elementary functions' fast paths. Each takes an approximation
// y of the exact value Y, with |Y - y| <= error |Y|, and decides whether every value within that
// error rounds to the same float; if so, that float is the correctly rounded result.
#ifndef NUMERICS_DETAIL_FLOAT_ROUNDING_H
#define NUMERICS_DETAIL_FLOAT_ROUNDING_H

#include <stdint.h>
#include <string.h>

namespace numerics::detail {

// Any y: both ends of y (1 +- error) round to the same float (subnormal and infinite results
// included). The ends are rounded to double, which moves them inwards by at most 2^-53 |y|:
// `error` must cover that too.
inline bool round_within(double y, double error, float* result) {
  const float low = static_cast<float>(y - y * error);
  const float high = static_cast<float>(y + y * error);
  *result = low;
  return low == high;
}

// y whose rounding to float is a normal number or zero: rounding drops the low 29 bits of y's
// significand, and only a y within error |Y| < error 2^53 units of its last place of the halfway
// pattern 1 0...0 of those bits can round the other way than Y. Cheaper than round_within.
inline bool round_normal_within(double y, double error, float* result) {
  const uint64_t margin = static_cast<uint64_t>(error * 0x1p53) + 1;
  const uint64_t halfway = uint64_t{1} << 28;
  const uint64_t dropped = (uint64_t{1} << 29) - 1;
  uint64_t bits;
  memcpy(&bits, &y, sizeof bits);
  *result = static_cast<float>(y);
  return ((bits - halfway + margin) & dropped) > 2 * margin;
}

}  // namespace numerics::detail

#endif
