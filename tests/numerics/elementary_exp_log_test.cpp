// cr_exp and cr_log against MPFR: special values, the edges of the result range, the hardest
// arguments known, and random arguments over the whole range and the toolkit's ranges, for the
// public functions and for each of their two paths alone.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "bit_patterns.h"
#include "mpfr_reference.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/elementary.h"

namespace {

using numerics_test::bits_of;
using numerics_test::from_bits;
using numerics_test::same_bits;

using numerics_test::correctly_rounded;
using numerics_test::elementary;

// Checks cr_exp or cr_log at every argument, and each path alone where it applies: the fast
// path, when it decides, and the accurate path at every `stride`-th finite argument of its
// domain (it takes microseconds).
void expect_correctly_rounded(elementary f, const std::vector<double>& arguments, size_t stride = 1) {
  const bool is_exp = f == elementary::exp;
  int mismatches = 0;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const double x = arguments[i];
    const double want = correctly_rounded(f, x);
    const double got = is_exp ? numerics::cr_exp(x) : numerics::cr_log(x);
    double fast;
    const bool decided = is_exp ? numerics::detail::exp_fast_path(x, &fast) : numerics::detail::log_fast_path(x, &fast);
    bool ok = same_bits(got, want) && (!decided || same_bits(fast, want));
    const bool in_domain = std::isfinite(x) && (is_exp ? (x > -745.2 && x < 709.79) : x > 0);
    if (in_domain && i % stride == 0) {
      const double accurate = is_exp ? numerics::detail::exp_accurate_path(x) : numerics::detail::log_accurate_path(x);
      ok = ok && same_bits(accurate, want);
    }
    if (!ok && ++mismatches <= 10) {
      ADD_FAILURE() << (is_exp ? "exp(" : "log(") << std::hexfloat << x << ") = " << got << ", want " << want;
    }
  }
  EXPECT_EQ(mismatches, 0) << "of " << arguments.size() << " arguments";
}

// n doubles drawn uniformly from [low, high].
std::vector<double> uniform(double low, double high, int n, uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> d(low, high);
  std::vector<double> v(n);
  for (double& x : v) x = d(rng);
  return v;
}

// n doubles with uniformly random bit patterns, optionally only positive ones.
std::vector<double> random_bit_patterns(int n, uint64_t seed, bool positive) {
  std::mt19937_64 rng(seed);
  std::vector<double> v(n);
  for (double& x : v) x = from_bits(positive ? rng() >> 1 : rng());
  return v;
}

// The 2 * count + 1 doubles centred on x.
std::vector<double> neighbours(double x, int count) {
  std::vector<double> v;
  for (int i = -count; i <= count; ++i) v.push_back(from_bits(bits_of(x) + static_cast<uint64_t>(i)));
  return v;
}

std::vector<double> hard_cases(const char* function) {
  std::vector<double> v;
  for (const auto& c : numerics_test::elementary_hard_cases()) {
    if (c.function != function) continue;
    v.push_back(c.x);
    EXPECT_TRUE(same_bits(correctly_rounded(c.function == "exp" ? elementary::exp : elementary::log, c.x), c.expected))
        << "the list and MPFR disagree at " << std::hexfloat << c.x;
  }
  return v;
}

TEST(CorrectlyRoundedExp, SpecialValues) {
  EXPECT_TRUE(std::isnan(numerics::cr_exp(NAN)));
  EXPECT_EQ(numerics::cr_exp(INFINITY), INFINITY);
  EXPECT_TRUE(same_bits(numerics::cr_exp(-INFINITY), 0.0));
  EXPECT_EQ(numerics::cr_exp(0.0), 1.0);
  EXPECT_EQ(numerics::cr_exp(-0.0), 1.0);
  EXPECT_EQ(numerics::cr_exp(DBL_MAX), INFINITY);
  EXPECT_TRUE(same_bits(numerics::cr_exp(-DBL_MAX), 0.0));
  expect_correctly_rounded(elementary::exp, {DBL_TRUE_MIN, -DBL_TRUE_MIN, DBL_MIN, -DBL_MIN, 0x1p-54, -0x1p-54, 0x1p-53,
                                             -0x1p-53, 1.0, -1.0, 709.79, -745.2});
}

TEST(CorrectlyRoundedExp, EdgesOfTheResultRange) {
  // The largest argument with a finite result, the smallest with a non-zero one, and where
  // results leave the normal range: a thousand neighbours either side of each.
  for (const double edge : {0x1.62e42fefa39efp+9, -0x1.74910d52d3051p+9, -0x1.6232bdd7abcd2p+9}) {
    expect_correctly_rounded(elementary::exp, neighbours(edge, 1000));
  }
  // The whole subnormal output range.
  expect_correctly_rounded(elementary::exp, uniform(-745.2, -708.3, 100000, 1), 16);
}

TEST(CorrectlyRoundedExp, HardestArguments) { expect_correctly_rounded(elementary::exp, hard_cases("exp")); }

TEST(CorrectlyRoundedExp, RandomArguments) {
  expect_correctly_rounded(elementary::exp, random_bit_patterns(100000, 2, false));
  expect_correctly_rounded(elementary::exp, uniform(-746, 710, 100000, 3), 16);
  // Where the toolkit calls it: the error function and the incomplete beta function.
  expect_correctly_rounded(elementary::exp, uniform(-100, 1, 100000, 4), 16);
  expect_correctly_rounded(elementary::exp, uniform(-1e-6, 1e-6, 20000, 5), 16);
}

TEST(CorrectlyRoundedLog, SpecialValues) {
  EXPECT_TRUE(std::isnan(numerics::cr_log(NAN)));
  EXPECT_TRUE(std::isnan(numerics::cr_log(-1.0)));
  EXPECT_TRUE(std::isnan(numerics::cr_log(-DBL_TRUE_MIN)));
  EXPECT_TRUE(std::isnan(numerics::cr_log(-INFINITY)));
  EXPECT_EQ(numerics::cr_log(0.0), -INFINITY);
  EXPECT_EQ(numerics::cr_log(-0.0), -INFINITY);
  EXPECT_EQ(numerics::cr_log(INFINITY), INFINITY);
  EXPECT_TRUE(same_bits(numerics::cr_log(1.0), 0.0));
  expect_correctly_rounded(elementary::log, {DBL_TRUE_MIN, DBL_MIN, DBL_MAX, 2.0, 0.5, M_E, 10.0});
}

TEST(CorrectlyRoundedLog, PowersOfTwoSubnormalsAndNeighboursOfOne) {
  std::vector<double> powers;
  for (int k = -1074; k <= 1023; ++k) powers.push_back(std::ldexp(1.0, k));
  expect_correctly_rounded(elementary::log, powers);
  expect_correctly_rounded(elementary::log, random_bit_patterns(20000, 6, true));
  std::vector<double> subnormals = random_bit_patterns(20000, 7, true);
  for (double& x : subnormals) x = from_bits(bits_of(x) >> 12);
  expect_correctly_rounded(elementary::log, subnormals, 16);
  expect_correctly_rounded(elementary::log, neighbours(1.0, 5000));
  // Both ends of the reduction table's halved intervals.
  expect_correctly_rounded(elementary::log, neighbours(1.4140625, 1000));
  expect_correctly_rounded(elementary::log, neighbours(0x1.6a09e667f3bcdp+0, 1000));
}

TEST(CorrectlyRoundedLog, HardestArguments) { expect_correctly_rounded(elementary::log, hard_cases("log")); }

TEST(CorrectlyRoundedLog, RandomArguments) {
  expect_correctly_rounded(elementary::log, random_bit_patterns(100000, 8, true), 16);
  // Where the toolkit calls it: log-gamma's arguments up to the float range, and 1 - x for
  // x in [0, 1) in the incomplete beta function.
  expect_correctly_rounded(elementary::log, uniform(1, 4e38, 50000, 9), 16);
  expect_correctly_rounded(elementary::log, uniform(1, 200, 50000, 10), 16);
  expect_correctly_rounded(elementary::log, uniform(0, 1, 100000, 11), 16);
}

}  // namespace
