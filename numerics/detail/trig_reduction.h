// The argument reduction of sin and cos: |x| as the nearest multiple of a fraction of a turn
// plus a small remainder. The fast path reduces to steps of pi/2048 (1/4096 of a turn), whose
// sines it keeps in a table; the accurate path to quarter turns. Moderate arguments subtract a
// step split in pieces (Cody and Waite); larger ones, and the accurate path, multiply the
// argument's significand exactly by just the bits of 2/pi that reach into the fraction of a
// turn (Payne and Hanek), so that the remainder is right for every double up to 2^1024.
#ifndef NUMERICS_DETAIL_TRIG_REDUCTION_H
#define NUMERICS_DETAIL_TRIG_REDUCTION_H

#include <math.h>
#include <stdint.h>

#include "numerics/detail/double_double.h"
#include "numerics/detail/sin_cos_constants.h"
#include "numerics/detail/wide_float.h"

namespace numerics::detail {

// |x| = (whole turns) + index * step + t, with step = pi/2048.
struct step_argument {
  unsigned index;   // the nearest multiple of the step, modulo 4096 (one turn)
  double_double t;  // the remainder in radians: |t| <= (1 + 2^-29) step/2, |t.lo| <= 2^-53 |t.hi| + 2^-74
  double error;     // bound on the absolute error of t, beyond a relative error of 2^-100
};

// Payne and Hanek's reduction to the step, for finite ax >= 2^-10.
step_argument reduce_large_to_step(double ax);

// Cody and Waite for ax < 2^11, where k = round(ax / step) is below 2^21: k times each of the first
// three pieces of the step is exact, and so are the first two subtractions, whose differences are
// multiples of 2^-63 below 2^-10 (of 2^-64 below 2^-11 when ax < 2^-11). Only the third piece
// needs an exact sum, and the fourth (below k 2^-97, its product rounded by k 2^-150) leaves
// 2^-53 (|t.lo| + k 2^-97) of rounding; the rest of the step weighs below k 2^-150.
inline step_argument reduce_to_step(double ax) {
  if (!(ax < 0x1p11)) return reduce_large_to_step(ax);
  const double k = nearest_integer(ax * inverse_step);
  const double exact = (ax - k * step_parts[0]) - k * step_parts[1];
  double_double t = two_sum(exact, -(k * step_parts[2]));
  t.lo -= k * step_parts[3];
  const unsigned index = static_cast<unsigned>(static_cast<int64_t>(k)) & 4095;
  return {index, t, 0x1p-52 * (fabs(t.lo) + k * 0x1p-97)};
}

// |x| = (whole turns) + quadrant * pi/2 + r, |r| <= pi/4, r with a relative error below 2^-253
// (448 bits of the fraction of a turn, |r| being at least 2^-62 for a double x).
struct quadrant_argument {
  unsigned quadrant;  // modulo 4
  wide_float r;
};

// For finite ax >= 0.
quadrant_argument reduce_to_quadrant(double ax);

// The first 64 * count bits of the fraction of ax / (2 pi), as `count` words, most significant
// first: too small by less than 2^(53 - 64 count) turns, the bits of 2/pi left out. For
// 2^-10 <= ax < infinity and count <= 7.
void fraction_of_turn(double ax, uint64_t* fraction, int count);

// Rounds a fraction of a turn to the nearest multiple of 2^-bits turns, which it returns modulo
// 2^bits (0 < bits < 64). `fraction` is left holding the distance to that multiple, in units of
// the multiple (a binary fraction of at most 1/2), and *below is set when the fraction lay below
// the multiple.
unsigned round_to_division(uint64_t* fraction, int count, int bits, bool* below);

}  // namespace numerics::detail

#endif
