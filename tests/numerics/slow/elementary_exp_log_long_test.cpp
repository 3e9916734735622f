// The long check of cr_exp and cr_log: 10^8 random arguments each against MPFR, on two
// threads. Run with `ctest --preset slow` (several minutes).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "mpfr_reference.h"
#include "numerics/elementary.h"

namespace {

using numerics_test::elementary;

constexpr long arguments_per_function = 100000000;

// Counts the arguments where f differs from MPFR; draw(rng) gives the arguments.
template <typename Draw>
long count_mismatches(elementary which, double (*f)(double), Draw draw) {
  const int threads = 2;
  std::vector<long> mismatches(threads, 0);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      std::mt19937_64 rng(1000 + t);
      for (long i = t; i < arguments_per_function; i += threads) {
        const double x = draw(rng);
        const double got = f(x), want = numerics_test::correctly_rounded(which, x);
        if (std::memcmp(&got, &want, sizeof got) != 0 && !(std::isnan(got) && std::isnan(want))) ++mismatches[t];
      }
    });
  }
  for (auto& w : workers) w.join();
  long total = 0;
  for (long m : mismatches) total += m;
  return total;
}

double from_bits(uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

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
