// The long check of cr_exp and cr_log: 10^8 random arguments each against MPFR, on two
// threads. Run with `ctest --preset slow` (several minutes).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "numerics/elementary.h"
#include "slow/long_check.h"

namespace {

using numerics_test::count_mismatches;
using numerics_test::elementary;
using numerics_test::from_bits;

TEST(CorrectlyRoundedLongCheck, Exp) {
  // Three quarters over the arguments with a finite, non-zero result, a quarter over all
  // bit patterns.
  const long m = count_mismatches(elementary::exp, numerics::cr_exp, [](std::mt19937_64& rng) {
    const uint64_t bits = rng();
    if (bits % 4 == 0) return from_bits(rng());
    return -745.2 + 1454.99 * static_cast<double>(bits >> 11) * 0x1p-53;
  });
  EXPECT_EQ(m, 0);
}

TEST(CorrectlyRoundedLongCheck, Log) {
  // Half over all positive bit patterns, half over [0, 2], where results are small.
  const long m = count_mismatches(elementary::log, numerics::cr_log, [](std::mt19937_64& rng) {
    const uint64_t bits = rng();
    if (bits % 2 == 0) return from_bits(rng() >> 1);
    return 2.0 * static_cast<double>(bits >> 11) * 0x1p-53;
  });
  EXPECT_EQ(m, 0);
}

}  // namespace
