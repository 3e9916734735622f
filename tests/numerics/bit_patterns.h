// Bit patterns of floats and doubles, for the tests that compare results bit for bit.
#ifndef TESTS_NUMERICS_BIT_PATTERNS_H
#define TESTS_NUMERICS_BIT_PATTERNS_H

#include <cstdint>
#include <cstring>

namespace numerics_test {

inline uint64_t bits_of(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

inline uint32_t bits_of(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

inline double from_bits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

inline float from_bits(uint32_t bits) {
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// The same bits, or both NaN: which NaN a computation gives is not part of its result.
inline bool same_bits(double a, double b) { return bits_of(a) == bits_of(b) || (a != a && b != b); }
inline bool same_bits(float a, float b) { return bits_of(a) == bits_of(b) || (a != a && b != b); }

}  // namespace numerics_test

#endif
