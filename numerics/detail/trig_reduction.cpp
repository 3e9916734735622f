#include "numerics/detail/trig_reduction.h"

#include <string.h>

#include "numerics/detail/word_arithmetic.h"

namespace numerics::detail {
namespace {

// 2^-n for 0 <= n <= 1022.
double power_of_two_below_one(int n) {
  const uint64_t bits = static_cast<uint64_t>(1023 - n) << 52;
  double p;
  memcpy(&p, &bits, sizeof p);
  return p;
}

}  // namespace

// With 192 bits of the fraction of a turn: the bits of 2/pi left out weigh less than 2^-139
// turns, below 2^-136 radians; the conversion of the remainder to a double-double and its
// product with the step err by less than 2^-100 relative.
step_argument reduce_large_to_step(double ax) {
  uint64_t fraction[3];
  fraction_of_turn(ax, fraction, 3);
  bool below = false;
  const unsigned index = round_to_division(fraction, 3, 12, &below);
  const int shift = normalize_fraction(fraction, 3);
  double_double t = {0.0, 0.0};
  if (shift >= 0) {
    // The remainder is 0.f0 f1 f2 * 2^-shift steps; its top 128 bits as a pair of doubles.
    const double scale = power_of_two_below_one(64 + shift);
    const double hi = static_cast<double>(fraction[0] & ~uint64_t{0x7ff});
    const double lo = static_cast<double>(fraction[0] & 0x7ff) + static_cast<double>(fraction[1]) * 0x1p-64;
    t = multiply({hi * scale, lo * scale}, {step_hi, step_lo});
    if (below) t = {-t.hi, -t.lo};
  }
  return {index, t, 0x1p-136};
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
    const word_product p = multiply_words(significand, d);
    fraction[k] = p.lo + carry;
    carry = p.hi + (fraction[k] < carry ? 1 : 0);  // p.hi < 2^53: no overflow
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

int normalize_fraction(uint64_t* fraction, int count) {
  int words = 0;
  while (words < count && fraction[words] == 0) ++words;
  if (words == count) return -1;
  const int bits = leading_zeros(fraction[words]);
  for (int k = 0; k < count; ++k) {
    const uint64_t high = k + words < count ? fraction[k + words] : 0;
    const uint64_t low = k + words + 1 < count ? fraction[k + words + 1] : 0;
    fraction[k] = bits == 0 ? high : (high << bits) | (low >> (64 - bits));
  }
  return 64 * words + bits;
}

}  // namespace numerics::detail
