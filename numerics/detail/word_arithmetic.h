// The exact product of two 64-bit words, which C++ lacks: the compiler's 128-bit integers where
// it has them, Microsoft's intrinsic, or 32-bit halves.
#ifndef NUMERICS_DETAIL_WORD_ARITHMETIC_H
#define NUMERICS_DETAIL_WORD_ARITHMETIC_H

#include <stdint.h>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace numerics::detail {

struct word_pair {
  uint64_t high;
  uint64_t low;
};

// a * b = high * 2^64 + low.
inline word_pair multiply_words(uint64_t a, uint64_t b) {
#if defined(__SIZEOF_INT128__)
  __extension__ typedef unsigned __int128 uint128;
  const uint128 p = static_cast<uint128>(a) * b;
  return {static_cast<uint64_t>(p >> 64), static_cast<uint64_t>(p)};
#elif defined(_MSC_VER)
  uint64_t high;
  const uint64_t low = _umul128(a, b, &high);
  return {high, low};
#else
  const uint64_t a1 = a >> 32, a0 = a & 0xffffffffu, b1 = b >> 32, b0 = b & 0xffffffffu;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t middle = (p00 >> 32) + (p01 & 0xffffffffu) + (p10 & 0xffffffffu);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xffffffffu)};
#endif
}

}  // namespace numerics::detail

#endif
