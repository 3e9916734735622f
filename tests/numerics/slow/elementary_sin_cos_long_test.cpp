// The long check of cr_sin and cr_cos: 10^8 random arguments each against MPFR, on two
// threads. Run with `ctest --preset slow` (about six minutes on two cores, longer when they are busy).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "numerics/elementary.h"
#include "slow/long_check.h"

namespace {

using numerics_test::count_mismatches;
using numerics_test::elementary;
using numerics_test::from_bits;

// Half over all bit patterns (mostly huge arguments), a quarter over [-pi, pi], where the
// toolkit calls sin, and a quarter with magnitudes spread evenly over 2^-30 to 2^30.
double draw(std::mt19937_64& rng) {
  const uint64_t bits = rng();
  if (bits % 2 == 0) return from_bits(rng());
  const double u = static_cast<double>(rng() >> 11) * 0x1p-53;
  if (bits % 4 == 1) return 3.141592653589793 * (2 * u - 1);
  const double magnitude = std::ldexp(1.0 + u, static_cast<int>((bits >> 8) % 60) - 30);
  return (bits >> 7) % 2 ? magnitude : -magnitude;
}

TEST(CorrectlyRoundedLongCheck, Sin) { EXPECT_EQ(count_mismatches(elementary::sin, numerics::cr_sin, draw), 0); }

TEST(CorrectlyRoundedLongCheck, Cos) { EXPECT_EQ(count_mismatches(elementary::cos, numerics::cr_cos, draw), 0); }

}  // namespace
