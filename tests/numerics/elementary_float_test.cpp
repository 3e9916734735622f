// cr_expf and cr_logf bit for bit against MPFR's correctly rounded values. The exhaustive check
// over every float is in slow/elementary_float_exhaustive_test.cpp.
#include <float.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "bit_patterns.h"
#include "mpfr_reference.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/elementary.h"

using numerics::cr_expf;
using numerics::cr_logf;
using numerics_test::correctly_rounded;
using numerics_test::elementary;

namespace {

using numerics_test::bits_of;
using numerics_test::from_bits;
using numerics_test::same_bits;

const float inf = std::numeric_limits<float>::infinity();
const float nan_value = std::numeric_limits<float>::quiet_NaN();

float function(elementary f, float x) { return f == elementary::exp ? cr_expf(x) : cr_logf(x); }

// The arguments whose result differs from MPFR's in any bit (any NaN matches any NaN).
std::vector<float> mismatches(elementary f, const std::vector<float>& arguments) {
  std::vector<float> wrong;
  for (const float x : arguments) {
    const float result = function(f, x);
    const float expected = correctly_rounded(f, x);
    if (bits_of(result) != bits_of(expected) && !(result != result && expected != expected)) wrong.push_back(x);
  }
  return wrong;
}

// Every float from `first` to `last` (bit patterns, either order).
std::vector<float> every_float(float first, float last) {
  uint32_t low = bits_of(first), high = bits_of(last);
  if (low > high) std::swap(low, high);
  std::vector<float> all;
  for (uint32_t bits = low;; ++bits) {
    all.push_back(from_bits(bits));
    if (bits == high) break;
  }
  return all;
}

// `x` and its 16 neighbours on each side.
std::vector<float> around(float x) {
  const uint32_t bits = bits_of(x);
  return every_float(from_bits(bits - 16), from_bits(bits + 16));
}

std::vector<float> uniform(float low, float high, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<float> distribution(low, high);
  std::vector<float> x(100000);
  for (float& v : x) v = distribution(generator);
  return x;
}

// Random bit patterns of the floats with low <= |x| < high (and both signs if `negative_too`).
std::vector<float> random_floats(float low, float high, bool negative_too, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<uint32_t> magnitude(bits_of(low), bits_of(high) - 1);
  std::vector<float> x(100000);
  for (float& v : x) v = from_bits(magnitude(generator) | (negative_too ? generator() & 0x80000000u : 0u));
  return x;
}

std::vector<float> join(std::initializer_list<std::vector<float>> parts) {
  std::vector<float> all;
  for (const std::vector<float>& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace

TEST(CrExpf, SpecialArgumentsAndExactResults) {
  EXPECT_EQ(bits_of(cr_expf(0.0f)), bits_of(1.0f));
  EXPECT_EQ(bits_of(cr_expf(-0.0f)), bits_of(1.0f));
  EXPECT_EQ(cr_expf(inf), inf);
  EXPECT_EQ(bits_of(cr_expf(-inf)), bits_of(0.0f));
  EXPECT_TRUE(std::isnan(cr_expf(nan_value)));
  EXPECT_TRUE(std::isnan(cr_expf(-nan_value)));
  EXPECT_EQ(cr_expf(FLT_MAX), inf);
  EXPECT_EQ(bits_of(cr_expf(-FLT_MAX)), bits_of(0.0f));
  // Arguments too small to move the result off 1, either side of 2^-25.
  EXPECT_TRUE(mismatches(elementary::exp, join({around(0x1p-25f), around(-0x1p-25f), around(0x1p-24f),
                                                around(-0x1p-24f), around(FLT_MIN), around(-FLT_MIN)}))
                  .empty());
}

// Overflow (e^x >= (2 - 2^-24) 2^127), the smallest normal result, half the smallest subnormal,
// and the arguments where the evaluation changes its method (|x| = 87 and 104).
TEST(CrExpf, ThresholdsAndTheirNeighbours) {
  const std::vector<float> x = join({around(0x1.62e42ep6f), around(-87.33654475f), around(-103.9720770840f),
                                     around(87.0f), around(-87.0f), around(104.0f), around(-104.0f)});
  EXPECT_LT(cr_expf(0x1.62e42ep6f), inf);  // the largest argument with a finite result
  EXPECT_EQ(cr_expf(0x1.62e430p6f), inf);
  EXPECT_TRUE(mismatches(elementary::exp, x).empty());
}

TEST(CrExpf, EverySubnormalResult) {
  // e^x < 2^-126 from x = -87.3365... down; below -103.972... the result rounds to 0.
  const std::vector<float> wrong = mismatches(elementary::exp, every_float(-87.33f, -103.98f));
  EXPECT_TRUE(wrong.empty()) << wrong.size() << " wrong, the first at x = " << (wrong.empty() ? 0.0f : wrong[0]);
}

TEST(CrExpf, RandomArguments) {
  // The whole range before saturation, and the toolkit's: Gaussians exp(-a^2) and the
  // Kolmogorov-Smirnov terms near 0, the incomplete gamma prefactor further out.
  EXPECT_TRUE(mismatches(elementary::exp, random_floats(0x1p-149f, 104.0f, true, 1)).empty());
  EXPECT_TRUE(mismatches(elementary::exp, uniform(-20.0f, 0.0f, 2)).empty());
  EXPECT_TRUE(mismatches(elementary::exp, uniform(-104.0f, 0.0f, 3)).empty());
}

TEST(CrLogf, SpecialArgumentsAndExactResults) {
  EXPECT_EQ(bits_of(cr_logf(1.0f)), bits_of(0.0f));
  EXPECT_EQ(cr_logf(0.0f), -inf);
  EXPECT_EQ(cr_logf(-0.0f), -inf);
  EXPECT_EQ(cr_logf(inf), inf);
  for (const float x : {-inf, -FLT_MAX, -1.0f, -FLT_MIN, -0x1p-149f, nan_value, -nan_value}) {
    EXPECT_TRUE(std::isnan(cr_logf(x))) << x;
  }
}

// The smallest subnormal and normal arguments, the largest, and 1, where log x is smallest and
// the reduction's interval around 1 ends (1 - 2^-10, 1 + 2^-9).
TEST(CrLogf, ThresholdsAndTheirNeighbours) {
  const std::vector<float> x = join({every_float(0x1p-149f, 0x1p-145f), around(FLT_MIN), around(FLT_MAX), around(1.0f),
                                     around(1.0f - 0x1p-10f), around(1.0f + 0x1p-9f)});
  EXPECT_TRUE(mismatches(elementary::log, x).empty());
}

TEST(CrLogf, RandomArguments) {
  // Every positive float, subnormal ones included, and the toolkit's: the polar method's and
  // the incomplete beta function's (0, 1), the incomplete gamma function's larger x.
  EXPECT_TRUE(mismatches(elementary::log, random_floats(0x1p-149f, inf, false, 4)).empty());
  EXPECT_TRUE(mismatches(elementary::log, random_floats(0x1p-149f, FLT_MIN, false, 5)).empty());
  EXPECT_TRUE(mismatches(elementary::log, uniform(0.0f, 1.0f, 6)).empty());
  EXPECT_TRUE(mismatches(elementary::log, uniform(1.0f, 100.0f, 7)).empty());
}

// Arguments whose results lie too near a rounding boundary for the fast paths (found by scanning
// with detail::expf_fast_path and logf_fast_path; log(1 - 2^-23) is within 2^-48 of one): the
// accurate paths decide them.
TEST(CrExpfAndCrLogf, TheAccuratePathsDecideWhatTheFastPathsCannot) {
  const std::vector<float> exp_arguments = {0x1.cce332p+0f,  0x1.f12cdcp+3f,  0x1.112856p+6f,
                                            -0x1.03d5bep+0f, -0x1.d2259ap+3f, -0x1.6dc968p+5f};
  const std::vector<float> log_arguments = {0x1.fffffcp-1f, 0x1.0108cp-1f,  0x1.8aa6f2p+0f,
                                            0x1.5cb51ep+1f, 0x1.1e25d8p+3f, 0x1.effc96p+3f};
  float unused;
  for (const float x : exp_arguments) EXPECT_FALSE(numerics::detail::expf_fast_path(x, &unused)) << x;
  for (const float x : log_arguments) EXPECT_FALSE(numerics::detail::logf_fast_path(x, &unused)) << x;
  EXPECT_TRUE(mismatches(elementary::exp, exp_arguments).empty());
  EXPECT_TRUE(mismatches(elementary::log, log_arguments).empty());
}
