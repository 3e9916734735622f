#include <gtest/gtest.h>

#include <float.h>

#include <cmath>
#include <iterator>
#include <limits>

#include "fatal.h"
#include "numerics/statistics.h"
#include "reference/special_function_values.h"

using namespace numerics;

namespace {

const float nan_value = std::numeric_limits<float>::quiet_NaN();
const double float_unit = std::ldexp(1.0, -24);

bool takes_series(float a, float x) { return static_cast<double>(x) < static_cast<double>(a) + 1.0; }

// What the float prefactor exp(-x + a ln x - ln Gamma(a)) can lose: its terms are rounded to
// float and do not cancel. The error is relative on the fraction path and absolute on the
// series path (Q = 1 - P there).
double gammq_tolerance(float a, float x, double q) {
  const double size = 1.0 + x + std::fabs(a * std::log(static_cast<double>(x))) + std::fabs(log_gamma(a));
  return 4.0 * size * float_unit * (takes_series(a, x) ? 1.0 : std::fabs(q));
}

template <typename Row, size_t n>
void expect_gammq_near_reference(const Row (&rows)[n]) {
  for (const Row& row : rows) {
    EXPECT_NEAR(gammq(row.a, row.x), row.value, gammq_tolerance(row.a, row.x, row.value))
        << "a = " << row.a << ", x = " << row.x;
  }
}

}  // namespace

TEST(LogGamma, MatchesReferenceToTheApproximationsAccuracy) {
  for (const auto& row : reference::log_gamma) {
    EXPECT_NEAR(log_gamma(row.x), row.value, 2e-10 + 1e-15 * std::fabs(row.value)) << "x = " << row.x;
  }
}

TEST(IncompleteGamma, MatchesReferenceOnBothPaths) {
  expect_gammq_near_reference(reference::gammq);
  for (float a : {0.5f, 7.0f, 300.0f}) EXPECT_EQ(gammq(a, 0.0f), 1.0f);
}

// Far beyond 100 iterations: x near a, where both expansions converge slowest.
TEST(IncompleteGamma, LargeShapesConvergeToTheAccuracyOfTheFloatPrefactor) {
  expect_gammq_near_reference(reference::gammq_large_a);
}

TEST(IncompleteGamma, SlowestCasesStillEndInAResult) {
  // Above 2^24, k + 1 rounds back to k: every series term is 1/a, about 3.5 million of them.
  float p = -1.0f;
  float log_gamma_of_a = 0.0f;
  gser(&p, 3.0060764e7f, 3.0060764e7f, &log_gamma_of_a);
  EXPECT_TRUE(std::isfinite(p));
  // Where the fraction is slowest, about 23,000 steps.
  float q = -1.0f;
  gcf(&q, 2.22228627e11f, 2.22228644e11f, &log_gamma_of_a);
  EXPECT_TRUE(std::isfinite(q));
}

TEST(IncompleteGamma, SwitchesFromSeriesToFractionAtAPlusOne) {
  const auto& rows = reference::gammq_path_switch;
  for (size_t i = 0; i < std::size(rows); i += 2) {
    const auto& below = rows[i];
    const auto& at = rows[i + 1];
    ASSERT_EQ(static_cast<double>(at.x), static_cast<double>(at.a) + 1.0);
    float value = 0.0f;
    float log_gamma_of_a = 0.0f;
    gser(&value, below.a, below.x, &log_gamma_of_a);
    EXPECT_EQ(gammq(below.a, below.x), static_cast<float>(1.0 - value)) << "a = " << below.a;
    EXPECT_EQ(log_gamma_of_a, static_cast<float>(log_gamma(below.a)));
    gcf(&value, at.a, at.x, &log_gamma_of_a);
    EXPECT_EQ(gammq(at.a, at.x), value) << "a = " << at.a;
  }
  expect_gammq_near_reference(rows);
}

// Q(a, +inf) = 0, where the fraction would only meet NaN.
TEST(IncompleteGamma, InfiniteXGivesZero) {
  float value = -1.0f;
  float log_gamma_of_a = 0.0f;
  EXPECT_EQ(gammq(2.5f, std::numeric_limits<float>::infinity()), 0.0f);
  gcf(&value, 1e-3f, std::numeric_limits<float>::infinity(), &log_gamma_of_a);
  EXPECT_EQ(value, 0.0f);
  EXPECT_EQ(log_gamma_of_a, static_cast<float>(log_gamma(1e-3)));
}

TEST(IncompleteGammaDeathTest, BadArgumentsEndTheProcess) {
  float value = 0.0f;
  float log_gamma_of_a = 0.0f;
  EXPECT_RUN_TIME_ERROR(gammq(2.0f, -1.0f), "Invalid arguments in routine gammq");
  EXPECT_RUN_TIME_ERROR(gammq(0.0f, 1.0f), "Invalid arguments in routine gammq");
  EXPECT_RUN_TIME_ERROR(gammq(-3.0f, 0.0f), "Invalid arguments in routine gammq");
  EXPECT_RUN_TIME_ERROR(gser(&value, 2.0f, -0.5f, &log_gamma_of_a), "x less than 0 in routine gser");
}

// NaN passes every argument check; the loops are bounded and end in their messages.
TEST(IncompleteGammaDeathTest, WhatCannotConvergeEndsWithTheIterationMessages) {
  float value = 0.0f;
  float log_gamma_of_a = 0.0f;
  EXPECT_RUN_TIME_ERROR(gammq(nan_value, 1.0f), "a too large, ITMAX too small in gcf");
  EXPECT_RUN_TIME_ERROR(gammq(1.0f, nan_value), "a too large, ITMAX too small in gcf");
  EXPECT_RUN_TIME_ERROR(gser(&value, nan_value, 1.0f, &log_gamma_of_a), "a too large, ITMAX too small in routine gser");
  EXPECT_RUN_TIME_ERROR(gser(&value, 2.0f, nan_value, &log_gamma_of_a), "a too large, ITMAX too small in routine gser");
  // 1/a overflows float; just above 1/FLT_MAX the sum does, which must not give an infinite P.
  EXPECT_RUN_TIME_ERROR(gser(&value, 1e-39f, 0.5f, &log_gamma_of_a), "a too large, ITMAX too small in routine gser");
  EXPECT_RUN_TIME_ERROR(gser(&value, 3.0e-39f, 0.03f, &log_gamma_of_a), "a too large, ITMAX too small in routine gser");
  EXPECT_RUN_TIME_ERROR(gammq(3.0e-39f, 0.03f), "a too large, ITMAX too small in routine gser");
  // a + 1 rounds to a in double, so x = a takes the fraction, which starts by dividing by 0.
  EXPECT_RUN_TIME_ERROR(gammq(1e16f, 1e16f), "a too large, ITMAX too small in gcf");
}

TEST(IncompleteBeta, MatchesReferenceAndItsEnds) {
  for (const auto& row : reference::incomplete_beta) {
    // The front factor carries the float product a * logf(x).
    const double size = 1.0 + std::fabs(row.a * std::log(static_cast<double>(row.x)));
    EXPECT_NEAR(incomplete_beta(row.a, row.b, row.x), row.value, 4.0 * float_unit * (size * row.value + 1.0))
        << "a = " << row.a << ", b = " << row.b << ", x = " << row.x;
  }
  EXPECT_EQ(incomplete_beta(2.0f, 3.0f, 0.0f), 0.0f);
  EXPECT_EQ(incomplete_beta(2.0f, 3.0f, 1.0f), 1.0f);
  EXPECT_EQ(incomplete_beta(2.0f, 3.0f, -0.1f), 0.0f);
  EXPECT_EQ(incomplete_beta(2.0f, 3.0f, 1.1f), 0.0f);
  // a + b overflows float: the ends keep their values, what lies between is NaN.
  EXPECT_EQ(incomplete_beta(FLT_MAX, FLT_MAX, 0.0f), 0.0f);
  EXPECT_EQ(incomplete_beta(FLT_MAX, FLT_MAX, 1.0f), 1.0f);
  EXPECT_TRUE(std::isnan(incomplete_beta(FLT_MAX, FLT_MAX, 0.5f)));
  EXPECT_TRUE(std::isnan(incomplete_beta(2.0f, 3.0f, nan_value)));
  // The fraction needs about 150 steps here: its 100th approximation comes back silently.
  EXPECT_TRUE(std::isfinite(incomplete_beta_fraction(1e5, 1e5, 0.4999)));
}

TEST(ComplementaryErrorFunction, MatchesReferenceAndItsSymmetry) {
  for (const auto& row : reference::erfc) {
    EXPECT_NEAR(complementary_error_function(row.x), row.value, 3e-7 * row.value) << "x = " << row.x;
  }
  EXPECT_EQ(complementary_error_function(0.0f), 1.0f);
  EXPECT_EQ(complementary_error_function(1.0f) + complementary_error_function(-1.0f), 2.0f);
  EXPECT_TRUE(std::isnan(complementary_error_function(nan_value)));
}

TEST(KolmogorovSmirnovProbability, MatchesReferenceAndFallsBackToOne) {
  for (const auto& row : reference::ks_probability) {
    EXPECT_NEAR(ks_probability(row.x), row.value, 4.0 * float_unit * row.value + 1e-12) << "lambda = " << row.x;
  }
  // Terms of +-2 for ever, or NaN: no convergence, result 1.
  EXPECT_EQ(ks_probability(0.0f), 1.0f);
  EXPECT_EQ(ks_probability(nan_value), 1.0f);
  EXPECT_EQ(ks_probability(0.02f), 1.0f);
  // Converged, but a few rounding units above 1: not clamped.
  EXPECT_GT(ks_probability(0.039f), 1.0f);
  EXPECT_LT(ks_probability(0.039f), 1.000001f);
}
