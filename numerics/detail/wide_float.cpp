#include "numerics/detail/wide_float.h"

#include <string.h>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

#include "numerics/detail/word_arithmetic.h"

namespace numerics::detail {
namespace {

constexpr int words = 4;

// x != 0.
int leading_zeros(uint64_t x) {
#if defined(_MSC_VER) && !defined(__clang__)
  unsigned long index;
  _BitScanReverse64(&index, x);
  return 63 - static_cast<int>(index);
#else
  return __builtin_clzll(x);
#endif
}

// (high * 2^64 + low) / d for high < d: the quotient word and the remainder, by long division
// in 32-bit digits with the divisor normalised (two steps of the classical schoolbook method).
uint64_t divide_words(uint64_t high, uint64_t low, uint64_t d, uint64_t* remainder) {
  const int s = leading_zeros(d);
  d <<= s;
  if (s != 0) {
    high = (high << s) | (low >> (64 - s));
    low <<= s;
  }
  const uint64_t base = 1ull << 32;
  const uint64_t d1 = d >> 32, d0 = d & 0xffffffffu;
  const uint64_t l1 = low >> 32, l0 = low & 0xffffffffu;

  uint64_t q1 = high / d1;
  uint64_t r = high - q1 * d1;
  while (q1 >= base || q1 * d0 > ((r << 32) | l1)) {
    --q1;
    r += d1;
    if (r >= base) break;
  }
  const uint64_t middle = (high << 32) + l1 - q1 * d;

  uint64_t q0 = middle / d1;
  r = middle - q0 * d1;
  while (q0 >= base || q0 * d0 > ((r << 32) | l0)) {
    --q0;
    r += d1;
    if (r >= base) break;
  }
  *remainder = ((middle << 32) + l0 - q0 * d) >> s;
  return (q1 << 32) | q0;
}

// Shifts the n-word integer w right by `count` bits, dropping what falls off the end.
void shift_right(uint64_t* w, int n, int count) {
  const int word_shift = count / 64, bit_shift = count % 64;
  for (int i = n - 1; i >= 0; --i) {
    const int from = i - word_shift;
    uint64_t v = from >= 0 ? w[from] >> bit_shift : 0;
    if (bit_shift != 0 && from - 1 >= 0) v |= w[from - 1] << (64 - bit_shift);
    w[i] = v;
  }
}

// The number read from the n-word integer w as the fraction 0.w times 2^exponent, normalised
// and truncated to 256 bits.
wide_float from_fraction(bool negative, int exponent, const uint64_t* w, int n) {
  int first = 0;
  while (first < n && w[first] == 0) ++first;
  if (first == n) return wide_float{};
  const int b = leading_zeros(w[first]);
  wide_float r{negative, exponent - 64 * first - b, {}};
  for (int i = 0; i < words; ++i) {
    const int k = first + i;
    const uint64_t high = k < n ? w[k] : 0, low = k + 1 < n ? w[k + 1] : 0;
    r.m[i] = b == 0 ? high : (high << b) | (low >> (64 - b));
  }
  return r;
}

// |a| compared with |b|: -1, 0 or 1.
int compare_magnitudes(const wide_float& a, const wide_float& b) {
  if (wide_is_zero(a) || wide_is_zero(b)) return wide_is_zero(a) ? (wide_is_zero(b) ? 0 : -1) : 1;
  if (a.exponent != b.exponent) return a.exponent > b.exponent ? 1 : -1;
  for (int i = 0; i < words; ++i)
    if (a.m[i] != b.m[i]) return a.m[i] > b.m[i] ? 1 : -1;
  return 0;
}

// The smaller operand's fraction aligned to the larger one's exponent in five words (one guard
// word); bits beyond them are dropped.
void aligned_fraction(const wide_float& small, int shift, uint64_t* w) {
  for (int i = 0; i < words; ++i) w[i] = small.m[i];
  w[words] = 0;
  if (shift >= 64 * (words + 1)) {
    memset(w, 0, sizeof(uint64_t) * (words + 1));
  } else {
    shift_right(w, words + 1, shift);
  }
}

// |big| + |small| or |big| - |small| with |big| >= |small|, carrying big's sign.
wide_float combine_magnitudes(const wide_float& big, const wide_float& small, bool subtract) {
  uint64_t s[words + 1];
  aligned_fraction(small, big.exponent - small.exponent, s);
  uint64_t w[words + 2] = {0, big.m[0], big.m[1], big.m[2], big.m[3], 0};
  uint64_t carry = 0;
  if (subtract) {
    for (int i = words; i >= 0; --i) {
      const uint64_t a = w[i + 1], b = s[i];
      w[i + 1] = a - b - carry;
      carry = (a < b || (a == b && carry != 0)) ? 1 : 0;
    }
  } else {
    for (int i = words; i >= 0; --i) {
      const uint64_t a = w[i + 1], t = a + s[i], sum = t + carry;
      carry = (t < a || sum < t) ? 1 : 0;
      w[i + 1] = sum;
    }
    w[0] = carry;  // a carry out of the top becomes a leading word
  }
  return from_fraction(big.negative, big.exponent + 64, w, words + 2);
}

wide_float add_signed(const wide_float& a, const wide_float& b, bool b_negative) {
  if (wide_is_zero(b)) return a;
  wide_float bb = b;
  bb.negative = b_negative;
  if (wide_is_zero(a)) return bb;
  const bool big_is_a = compare_magnitudes(a, bb) >= 0;
  const wide_float& big = big_is_a ? a : bb;
  const wide_float& small = big_is_a ? bb : a;
  return combine_magnitudes(big, small, a.negative != bb.negative);
}

}  // namespace

wide_float wide_from_double(double x) {
  uint64_t bits;
  memcpy(&bits, &x, sizeof bits);
  const bool negative = (bits >> 63) != 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  uint64_t significand = bits & ((1ull << 52) - 1);
  int exponent = -1074;  // of the significand's last bit, for subnormals
  if (biased != 0) {
    significand |= 1ull << 52;
    exponent = biased - 1075;
  }
  uint64_t w[words] = {significand, 0, 0, 0};
  return from_fraction(negative, exponent + 64, w, words);
}

wide_float wide_from_fraction(bool negative, int exponent, const uint64_t* w, int n) {
  return from_fraction(negative, exponent, w, n);
}

wide_float wide_add(const wide_float& a, const wide_float& b) { return add_signed(a, b, b.negative); }

wide_float wide_sub(const wide_float& a, const wide_float& b) { return add_signed(a, b, !b.negative); }

wide_float wide_mul(const wide_float& a, const wide_float& b) {
  if (wide_is_zero(a) || wide_is_zero(b)) return wide_float{};
  uint64_t p[2 * words] = {};
  for (int i = words - 1; i >= 0; --i) {
    uint64_t carry = 0;
    for (int j = words - 1; j >= 0; --j) {
      const word_pair t = multiply_words(a.m[i], b.m[j]);
      const uint64_t low = t.low + carry;
      uint64_t high = t.high + (low < carry ? 1 : 0);
      const uint64_t sum = p[i + j + 1] + low;
      high += sum < low ? 1 : 0;
      p[i + j + 1] = sum;
      carry = high;
    }
    p[i] = carry;
  }
  return from_fraction(a.negative != b.negative, a.exponent + b.exponent, p, 2 * words);
}

wide_float wide_div_u64(const wide_float& a, uint64_t k) {
  if (wide_is_zero(a)) return a;
  // The fraction with two more zero words, divided word by word from the top: 384 quotient
  // bits, of which at least 319 are significant.
  uint64_t q[words + 2];
  uint64_t remainder = 0;
  for (int i = 0; i < words + 2; ++i) q[i] = divide_words(remainder, i < words ? a.m[i] : 0, k, &remainder);
  return from_fraction(a.negative, a.exponent, q, words + 2);
}

wide_float wide_div(const wide_float& a, const wide_float& b) {
  // y approximates 1/b: from the double quotient (about 52 good bits), each step
  // y + y (1 - b y) doubles the good bits: 104, 208, then the full width.
  wide_float unit_b = b;
  unit_b.exponent = 0;
  unit_b.negative = false;
  const double b_approx = wide_to_double(unit_b);  // in [1/2, 1]
  wide_float y = wide_from_double(1.0 / b_approx);
  const wide_float one = wide_from_double(1.0);
  for (int step = 0; step < 3; ++step) y = wide_add(y, wide_mul(y, wide_sub(one, wide_mul(unit_b, y))));
  wide_float q = wide_mul(a, y);
  q.exponent -= b.exponent;
  q.negative = a.negative != b.negative;
  return wide_is_zero(q) ? wide_float{} : q;
}

wide_float wide_scale(const wide_float& a, int k) {
  if (wide_is_zero(a)) return a;
  wide_float r = a;
  r.exponent += k;
  return r;
}

double wide_to_double(const wide_float& a) {
  const uint64_t sign = a.negative ? 1ull << 63 : 0;
  uint64_t bits = 0;
  const int leading = a.exponent - 1;  // the value lies in [2^leading, 2^(leading + 1))
  if (wide_is_zero(a)) {
    bits = 0;
  } else if (leading > 1023) {
    bits = 0x7ffull << 52;
  } else {
    // The bits kept: 53 for a normal result, fewer for a subnormal one, counted from the top
    // of the fraction; the result is that many bits rounded to nearest, ties to even.
    const int kept = leading >= -1022 ? 53 : a.exponent + 1074;
    if (kept < 0) {
      bits = 0;  // below half the smallest subnormal
    } else {
      uint64_t top = kept == 0 ? 0 : a.m[0] >> (64 - kept);
      const uint64_t rest = kept == 0 ? a.m[0] : a.m[0] << kept;  // the round bit leads
      const bool round_bit = (rest >> 63) != 0;
      const bool sticky = (rest << 1) != 0 || a.m[1] != 0 || a.m[2] != 0 || a.m[3] != 0;
      if (round_bit && (sticky || (top & 1) != 0)) ++top;
      if (kept == 53) {
        int biased = leading + 1023;
        if (top >> 53 != 0) {  // rounded up to the next power of two
          top >>= 1;
          ++biased;
        }
        bits = biased > 2046 ? 0x7ffull << 52 : (static_cast<uint64_t>(biased) << 52) | (top & ((1ull << 52) - 1));
      } else {
        bits = top;  // a subnormal, or the smallest normal if rounding carried into bit 52
      }
    }
  }
  bits |= sign;
  double r;
  memcpy(&r, &bits, sizeof r);
  return r;
}

}  // namespace numerics::detail
