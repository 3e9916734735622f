// What C++ lacks for arithmetic on 64-bit words: the full 128-bit product and the number of
// leading zero bits, with the compiler's built-ins where it has them and portable code elsewhere.
#ifndef NUMERICS_DETAIL_WORD_ARITHMETIC_H
#define NUMERICS_DETAIL_WORD_ARITHMETIC_H

#include <stdint.h>

namespace numerics::detail {

struct word_product {
  uint64_t hi;
  uint64_t lo;
};

// a * b exactly, as hi * 2^64 + lo.
inline word_product multiply_words(uint64_t a, uint64_t b) {
#if defined(__SIZEOF_INT128__)
  const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
  return {static_cast<uint64_t>(p >> 64), static_cast<uint64_t>(p)};
#else
  const uint64_t a_lo = a & 0xffffffffu, a_hi = a >> 32;
  const uint64_t b_lo = b & 0xffffffffu, b_hi = b >> 32;
  const uint64_t low = a_lo * b_lo;
  const uint64_t cross1 = a_hi * b_lo + (low >> 32);  // cannot overflow
  const uint64_t cross2 = a_lo * b_hi + (cross1 & 0xffffffffu);
  return {a_hi * b_hi + (cross1 >> 32) + (cross2 >> 32), (cross2 << 32) | (low & 0xffffffffu)};
#endif
}

// The number of zero bits above the highest set bit of a nonzero word.
inline int leading_zeros(uint64_t a) {
#if defined(__GNUC__)
  return __builtin_clzll(a);
#else
  int n = 0;
  while ((a & (uint64_t{1} << 63)) == 0) {
    a <<= 1;
    ++n;
  }
  return n;
#endif
}

}  // namespace numerics::detail

#endif
