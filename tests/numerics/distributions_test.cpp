#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "numerics/detail/halving_search.h"
#include "numerics/statistics.h"
#include "reference/special_function_values.h"

using namespace numerics;

namespace {

const float nan_value = std::numeric_limits<float>::quiet_NaN();

// The argument df/(df + t^2) of the beta function is rounded to float; when it lies near 1
// that alone costs up to 2^-24/(1 - x) relative, a few 1e-5 for the rows here.
const double significance_tolerance = 3e-5;

}  // namespace

TEST(Significance, MatchesReference) {
  for (const auto& row : reference::t_probability) {
    EXPECT_NEAR(t_probability(row.x, row.n), row.value, significance_tolerance * row.value)
        << "t = " << row.x << ", df = " << row.n;
  }
  for (const auto& row : reference::f_probability) {
    EXPECT_NEAR(f_probability(row.x, row.n1, row.n2), row.value, significance_tolerance * row.value)
        << "f = " << row.x << ", df = " << row.n1 << ", " << row.n2;
  }
  for (const auto& row : reference::correlation_probability) {
    EXPECT_NEAR(correlation_probability(row.x, row.n), row.value, significance_tolerance * row.value)
        << "r = " << row.x << ", n = " << row.n;
  }
}

TEST(Significance, GuardsAndDegenerateCounts) {
  EXPECT_EQ(correlation_probability(0.0f, 10), 1.0f);
  EXPECT_EQ(correlation_probability(1.0f, 10), 0.0f);
  EXPECT_EQ(correlation_probability(0.7f, 0), 1.0f);
  EXPECT_EQ(correlation_probability(0.7f, 1), 1.0f);
  EXPECT_TRUE(std::isnan(correlation_probability(0.7f, 2)));  // 0/0
  EXPECT_EQ(f_probability(0.0f, 3, 7), 1.0f);
  EXPECT_EQ(f_probability(-0.5f, 3, 7), 0.0f);
}

TEST(InverseSignificance, TSearchVisitsTheDocumentedValues) {
  std::vector<float> visits;
  const float result = detail::halving_search(0.05f, 4.0f, 2.0f, [&visits](float t) {
    visits.push_back(t);
    return t_probability(t, 10);
  });
  ASSERT_EQ(visits.size(), 25u);
  // The start, then the values after the first seven moves.
  const std::vector<float> first_eight(visits.begin(), visits.begin() + 8);
  EXPECT_EQ(first_eight, (std::vector<float>{4.0f, 2.0f, 3.0f, 2.5f, 2.25f, 2.0f, 2.25f, 2.125f}));
  EXPECT_EQ(t_for_probability(0.05f, 10), result);
}

TEST(InverseSignificance, EndNearTabulatedFivePercentPoints) {
  EXPECT_NEAR(t_for_probability(0.05f, 10), reference::t_critical_5_percent_df10, 1e-5);
  EXPECT_NEAR(correlation_for_probability(0.05f, 12), reference::r_critical_5_percent_n12, 1e-5);
  // The F search turns fewer times, so its last step is larger.
  EXPECT_NEAR(f_for_probability(0.05f, 5, 10), reference::f_critical_5_percent_5_10, 2e-4);
}

TEST(InverseSignificance, UnreachableTargetsMoveOneWayForAllSteps) {
  EXPECT_EQ(t_for_probability(0.0f, 10), 54.0f);
  EXPECT_EQ(t_for_probability(nan_value, 10), 54.0f);
  // Above every significance: always down, halving once, 4 - 2 - 24 * 1.
  EXPECT_EQ(t_for_probability(2.0f, 10), -22.0f);
}

TEST(RayleighQuantile, ClosedFormAndItsEnds) {
  EXPECT_NEAR(rayleigh_quantile(0.5f), std::sqrt(4.0 * std::log(2.0)), 2e-7);
  const float zero = rayleigh_quantile(0.0f);
  EXPECT_EQ(zero, 0.0f);
  EXPECT_TRUE(std::signbit(zero));
  // p = 1 becomes 1 - 2^-23: sqrt(-4 ln 2^-23).
  EXPECT_NEAR(rayleigh_quantile(1.0f), std::sqrt(92.0 * std::log(2.0)), 1e-5);
  // Beyond 1 the sign of 1 - p carries through while |1 - p| < 1; from p = 2 on the root is of
  // a number not above 0.
  EXPECT_LT(rayleigh_quantile(1.5f), 0.0f);
  EXPECT_EQ(rayleigh_quantile(2.0f), 0.0f);
  EXPECT_TRUE(std::isnan(rayleigh_quantile(2.5f)));
  EXPECT_TRUE(std::isnan(rayleigh_quantile(-0.1f)));
  EXPECT_TRUE(std::isnan(rayleigh_quantile(nan_value)));
}
