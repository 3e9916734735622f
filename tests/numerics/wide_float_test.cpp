// The 256-bit arithmetic of the elementary functions' accurate paths, against MPFR.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "numerics/detail/wide_float.h"

namespace {

using numerics::detail::wide_float;

// An MPFR number with plenty of bits beyond the 256 under test.
struct big {
  big() { mpfr_init2(v, 400); }
  explicit big(const wide_float& w) : big() {
    mpfr_set_ui(v, 0, MPFR_RNDN);
    for (int i = 0; i < 4; ++i) {
      mpfr_mul_2ui(v, v, 64, MPFR_RNDN);
      mpfr_add_ui(v, v, static_cast<unsigned long>(w.m[i]), MPFR_RNDN);
    }
    mpfr_mul_2si(v, v, w.exponent - 256, MPFR_RNDN);
    if (w.negative) mpfr_neg(v, v, MPFR_RNDN);
  }
  ~big() { mpfr_clear(v); }
  big(const big&) = delete;
  big& operator=(const big&) = delete;
  mpfr_t v;
};

// log2 of |computed - exact| / |exact| (or -1000 when they are equal).
double relative_error_log2(const wide_float& computed, const big& exact) {
  big c(computed);
  big d;
  mpfr_sub(d.v, c.v, exact.v, MPFR_RNDN);
  if (mpfr_zero_p(d.v)) return -1000;
  mpfr_div(d.v, d.v, exact.v, MPFR_RNDN);
  mpfr_abs(d.v, d.v, MPFR_RNDN);
  long e;
  const double m = mpfr_get_d_2exp(&e, d.v, MPFR_RNDN);
  return std::log2(m) + static_cast<double>(e);
}

// A normalised random number with exponent in [-e_range, e_range].
wide_float random_wide(std::mt19937_64& rng, int e_range) {
  wide_float w{(rng() & 1) != 0,
               static_cast<int>(rng() % (2 * e_range + 1)) - e_range,
               {rng() | (1ull << 63), rng(), rng(), rng()}};
  // Some operands with long runs of ones or zeros, where carries and borrows travel far.
  if (rng() % 4 == 0) w.m[1] = w.m[2] = ~0ull;
  if (rng() % 4 == 0) w.m[2] = w.m[3] = 0;
  return w;
}

TEST(WideFloat, OperationsAreTruncatedExactResults) {
  std::mt19937_64 rng(20261208);
  for (int trial = 0; trial < 20000; ++trial) {
    const wide_float a = random_wide(rng, 8);
    wide_float b = random_wide(rng, 8);
    // Nearly equal operands, for cancellation in add and subtract.
    if (trial % 5 == 0) {
      b = a;
      b.m[3] ^= rng();
      if (trial % 10 == 0) b.m[2] ^= 1;
      b.negative = !b.negative;
    }
    big x(a), y(b), exact;
    mpfr_add(exact.v, x.v, y.v, MPFR_RNDN);
    if (!mpfr_zero_p(exact.v)) {
      EXPECT_LT(relative_error_log2(numerics::detail::wide_add(a, b), exact), -254) << trial;
    }
    mpfr_sub(exact.v, x.v, y.v, MPFR_RNDN);
    if (!mpfr_zero_p(exact.v)) {
      EXPECT_LT(relative_error_log2(numerics::detail::wide_sub(a, b), exact), -254) << trial;
    }
    mpfr_mul(exact.v, x.v, y.v, MPFR_RNDN);
    EXPECT_LT(relative_error_log2(numerics::detail::wide_mul(a, b), exact), -254) << trial;
    mpfr_div(exact.v, x.v, y.v, MPFR_RNDN);
    EXPECT_LT(relative_error_log2(numerics::detail::wide_div(a, b), exact), -250) << trial;
    const uint64_t k = trial % 3 == 0 ? rng() : (trial % 3 == 1 ? rng() % 100 + 1 : (rng() >> 32) + 1);
    mpfr_div_ui(exact.v, x.v, static_cast<unsigned long>(k), MPFR_RNDN);
    EXPECT_LT(relative_error_log2(numerics::detail::wide_div_u64(a, k), exact), -254) << trial;
  }
  // Exact cancellation gives zero; zero is neutral.
  const wide_float a = random_wide(rng, 8);
  EXPECT_TRUE(numerics::detail::wide_is_zero(numerics::detail::wide_sub(a, a)));
  const wide_float zero{};
  EXPECT_EQ(std::memcmp(numerics::detail::wide_add(a, zero).m, a.m, sizeof a.m), 0);
  EXPECT_TRUE(numerics::detail::wide_is_zero(numerics::detail::wide_mul(a, zero)));
}

// MPFR's rounding of the same 256-bit value to binary64, subnormal range included.
double mpfr_rounding(const wide_float& w) {
  big x(w);
  const mpfr_exp_t emin = mpfr_get_emin(), emax = mpfr_get_emax();
  mpfr_t r;
  mpfr_init2(r, 53);
  mpfr_set_emin(-1073);
  mpfr_set_emax(1024);
  int inexact = mpfr_set(r, x.v, MPFR_RNDN);
  inexact = mpfr_check_range(r, inexact, MPFR_RNDN);
  mpfr_subnormalize(r, inexact, MPFR_RNDN);
  const double d = mpfr_get_d(r, MPFR_RNDN);
  mpfr_set_emin(emin);
  mpfr_set_emax(emax);
  mpfr_clear(r);
  return d;
}

TEST(WideFloat, RoundsToDoubleAsIeee754Does) {
  std::mt19937_64 rng(7);
  for (int trial = 0; trial < 200000; ++trial) {
    wide_float w = random_wide(rng, 0);
    // Exponents across the normal range, the subnormal range, and both edges.
    const int edges[] = {1025, 1024, 1023, -1020, -1021, -1022, -1023, -1050, -1072, -1073, -1074, -1075, -1076};
    w.exponent = trial % 3 == 0 ? edges[rng() % 13] : static_cast<int>(rng() % 2200) - 1100;
    // Exact ties and values one unit either side of them.
    if (trial % 7 == 0) {
      w.m[0] = (w.m[0] & ~0x7ffull) | 0x400;
      w.m[1] = w.m[2] = w.m[3] = 0;
      if (trial % 14 == 0) w.m[3] = 1;
    }
    const double got = numerics::detail::wide_to_double(w);
    const double want = mpfr_rounding(w);
    EXPECT_EQ(std::memcmp(&got, &want, sizeof got), 0)
        << trial << " exponent " << w.exponent << " " << got << " " << want;
  }
  for (const double x : {1.0, -0.0, 0x1p-1074, -0x1.fffffffffffffp+1023, 0x1.23456789abcdep-1030, 0.1})
    EXPECT_EQ(numerics::detail::wide_to_double(numerics::detail::wide_from_double(x)), x);
}

}  // namespace
