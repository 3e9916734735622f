#include "numerics/detail/trig_reduction.h"

#include <string.h>

#include "numerics/detail/word_arithmetic.h"

namespace numerics::detail {
namespace {

// 2^e for -1022 <= e <= 1023.
double power_of_two(int e) {
  const uint64_t bits = static_cast<uint64_t>(e + 1023) << 52;
  double p;
  memcpy(&p, &bits, sizeof p);
  return p;
}

}  // namespace

// With 256 bits of the fraction of a turn: the bits of 2/pi left out weigh less than 2^-203
// turns, below 2^-200 radians; the remainder's top 128 bits as a double-double err by less than 2^-105 relative and
// its product with the step by less than 2^-103.
step_argument reduce_large_to_step(double ax) {
  uint64_t fraction[4];
  fraction_of_turn(ax, fraction, 4);
  bool below = false;
  const unsigned index = round_to_division(fraction, 4, 12, &below);
  const wide_float r = wide_from_fraction(below, 0, fraction, 4);  // in steps
  if (wide_is_zero(r)) return {index, {0.0, 0.0}, 0x1p-200};
  const double scale = power_of_two(r.exponent - 64) * (below ? -1.0 : 1.0);
  const double hi = static_cast<double>(r.m[0] & ~uint64_t{0x7ff}) * scale;
  const double lo = (static_cast<double>(r.m[0] & 0x7ff) + static_cast<double>(r.m[1]) * 0x1p-64) * scale;
  const double_double p = two_product(hi, step_hi);
  return {index, fast_two_sum(p.hi, p.lo + (hi * step_lo + lo * step_hi)), 0x1p-200};
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
  *below = (fraction[0] >> 63) != 0;
  if (*below) {
    // At least half a division past `index`: measure from the next multiple instead.
    index = (index + 1) & ((1u << bits) - 1);
    uint64_t carry = 1;
    for (int k = count - 1; k >= 0; --k) {
      fraction[k] = ~fraction[k] + carry;
      carry = (carry != 0 && fraction[k] == 0) ? 1 : 0;
    }
  }
  return index;
}

}  // namespace numerics::detail
