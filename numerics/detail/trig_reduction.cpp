#include "numerics/detail/trig_reduction.h"

#include <string.h>

#include "numerics/detail/word_arithmetic.h"

namespace numerics::detail {

// With 192 bits of the fraction of a turn: the bits of 2/pi left out weigh less than 2^-139
// turns. The remainder r (in steps) is taken from its first two words: the first exactly as a
// double-double, the top 53 bits of the second, the rest dropped, for an error below 2^-106 r + 2^-115.9
// steps; the product with the step adds 2^-104 relative. In radians, below 2^-125 absolute and
// 2^-100 relative.
step_argument reduce_large_to_step(double ax) {
  uint64_t fraction[3];
  fraction_of_turn(ax, fraction, 3);
  bool below = false;
  const unsigned index = round_to_division(fraction, 3, 12, &below);
  const double sign = 1.0 - 2.0 * static_cast<double>(below);
  // (Words below 2^53 convert exactly, and without the branch that unsigned conversion takes.)
  const double_double r =
      fast_two_sum(static_cast<double>(static_cast<int64_t>(fraction[0] >> 32)) * 0x1p-32 * sign,
                   static_cast<double>(static_cast<int64_t>(fraction[0] & 0xffffffffu)) * 0x1p-64 * sign);
  const double r_lo = r.lo + static_cast<double>(static_cast<int64_t>(fraction[1] >> 11)) * 0x1p-117 * sign;
  const double_double p = two_product(r.hi, step_hi);
  return {index, fast_two_sum(p.hi, p.lo + (r.hi * step_lo + r_lo * step_hi)), 0x1p-125};
}

quadrant_argument reduce_to_quadrant(double ax) {
  if (ax < 0.5) return {0, wide_from_double(ax)};
  uint64_t fraction[7];
  fraction_of_turn(ax, fraction, 7);
  bool below = false;
  const unsigned quadrant = round_to_division(fraction, 7, 2, &below);
  const wide_float half_pi = {
      false, 1, {half_pi_significand[0], half_pi_significand[1], half_pi_significand[2], half_pi_significand[3]}};
  return {quadrant, wide_mul(wide_from_fraction(below, 0, fraction, 7), half_pi)};
}

void fraction_of_turn(double ax, uint64_t* fraction, int count) {
  uint64_t bits;
  memcpy(&bits, &ax, sizeof bits);
  const uint64_t significand = (bits & 0x000fffffffffffff) | 0x0010000000000000;
  const int exponent = static_cast<int>(bits >> 52) - 1075;  // ax = significand * 2^exponent
  // ax / (2 pi) = significand * 2^(exponent - 2) * (2/pi): the bits of 2/pi of weight 2^-i with
  // i <= exponent - 2 add whole turns. The fraction starts at bit i = exponent - 1, at bit
  // position exponent + 62 of the table, counted from the top of its first (integer) word.
  const int position = exponent + 62;
  const int word = position / 64;
  const int shift = position % 64;
  uint64_t carry = 0;
  for (int k = count - 1; k >= 0; --k) {
    uint64_t d = two_over_pi_bits[word + k];
    if (shift != 0) d = (d << shift) | (two_over_pi_bits[word + k + 1] >> (64 - shift));
    const word_pair p = multiply_words(significand, d);
    fraction[k] = p.low + carry;
    carry = p.high + (fraction[k] < carry ? 1 : 0);  // p.high < 2^53: no overflow
  }
}

unsigned round_to_division(uint64_t* fraction, int count, int bits, bool* below) {
  unsigned index = static_cast<unsigned>(fraction[0] >> (64 - bits));
  for (int k = 0; k < count - 1; ++k) fraction[k] = (fraction[k] << bits) | (fraction[k + 1] >> (64 - bits));
  fraction[count - 1] <<= bits;
  // At least half a division past `index`: measure from the next multiple instead, negating the
  // fraction (complement and add one) without a branch that random arguments mispredict.
  const uint64_t past_half = fraction[0] >> 63;
  const uint64_t mask = 0 - past_half;
  *below = past_half != 0;
  uint64_t carry = past_half;
  for (int k = count - 1; k >= 0; --k) {
    fraction[k] = (fraction[k] ^ mask) + carry;
    carry &= fraction[k] == 0 ? 1 : 0;
  }
  return (index + static_cast<unsigned>(past_half)) & ((1u << bits) - 1);
}

}  // namespace numerics::detail
