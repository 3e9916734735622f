#include <gtest/gtest.h>

#include <cmath>

#include "numerics/statistics.h"
#include "reference/sample_statistic_values.h"

using namespace numerics;

TEST(SampleStatistics, MatchReference) {
  using namespace reference;
  float mean = 0.0f;
  float variance = 0.0f;
  mean_and_variance(sample1, sample1_count, &mean, &variance);
  EXPECT_NEAR(mean, sample1_mean, 1e-6 * sample1_mean);
  EXPECT_NEAR(variance, sample1_variance, 1e-5 * sample1_variance);

  float t = 0.0f;
  t_statistic_equal_variance(sample1, sample1_count, sample2, sample2_count, &t);
  EXPECT_NEAR(t, t_equal_variance, 1e-5);
  t_statistic_unequal_variance(sample1, sample1_count, sample2, sample2_count, &t);
  EXPECT_NEAR(t, t_unequal_variance, 1e-5);

  float r = 0.0f;
  float probability = 0.0f;
  correlation_with_probability(paired_x, paired_y, paired_x_count, &r, &probability);
  EXPECT_NEAR(r, paired_r, 1e-6);
  EXPECT_NEAR(probability, paired_r_probability, 1e-5 * paired_r_probability);
  float r_alone = 0.0f;
  correlation_coefficient(paired_x, paired_y, paired_x_count, &r_alone);
  EXPECT_EQ(r_alone, r);
}

TEST(SampleStatistics, DegenerateSamples) {
  const float constant[] = {0.0f, 3.0f, 3.0f, 3.0f};
  const float other_constant[] = {0.0f, 7.0f, 7.0f};
  const float varying[] = {0.0f, 1.0f, 2.0f, 4.0f};
  float t = -1.0f;
  t_statistic_equal_variance(constant, 3, other_constant, 2, &t);
  EXPECT_EQ(t, 0.0f);  // pooled variance 0, whatever the means
  t_statistic_unequal_variance(constant, 3, varying, 3, &t);
  float mean = 0.0f;
  float variance = 0.0f;
  mean_and_variance(varying, 3, &mean, &variance);
  EXPECT_EQ(t, (3.0f - mean) / std::sqrt(variance / 3.0f));  // one zero variance: no zero path
  mean_and_variance(varying, 1, &mean, &variance);
  EXPECT_TRUE(std::isnan(variance));

  float r = -1.0f;
  correlation_coefficient(constant, varying, 3, &r);
  EXPECT_EQ(r, 0.0f);
  const float x[] = {0.0f, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f};
  const float y[] = {0.0f, 3.0f, 5.0f, 7.0f, 9.0f, 11.0f};
  float probability = -1.0f;
  correlation_with_probability(x, y, 5, &r, &probability);
  EXPECT_NEAR(r, 1.0f, 1e-6f);
  EXPECT_LT(probability, 1e-6f);  // the 1e-20 terms keep t finite
}

// Values shared between the samples are one jump of both distribution functions.
TEST(RunningUpdates, RegressionGivesTheDocumentedLines) {
  float sums[6] = {};
  float intercept = -1.0f;
  float slope = -1.0f;
  float mean_y = -1.0f;
  const float expected_slopes[] = {0.0f, 2.0f, 2.0f};
  const float pairs[][2] = {{0.0f, 1.0f}, {1.0f, 3.0f}, {2.0f, 5.0f}};
  for (int i = 0; i < 3; ++i) {
    running_regression_update(pairs[i][0], pairs[i][1], &sums[0], &sums[1], &sums[2], &sums[3], &sums[4], &sums[5],
                              &intercept, &slope, &mean_y);
    EXPECT_EQ(slope, expected_slopes[i]) << "after pair " << i + 1;
    EXPECT_EQ(intercept, 1.0f) << "after pair " << i + 1;
  }
  EXPECT_EQ(sums[0], 3.0f);
  EXPECT_EQ(mean_y, 3.0f);
}

TEST(RunningUpdates, CorrelationFromTheFirstPairOn) {
  float sums[6] = {};
  float r = -1.0f;
  running_correlation_update(2.0f, 5.0f, &sums[0], &sums[1], &sums[2], &sums[3], &sums[4], &sums[5], &r);
  EXPECT_EQ(r, 0.0f);
  EXPECT_EQ(sums[3], 0.0f);
  EXPECT_EQ(sums[4], 0.0f);
  running_correlation_update(4.0f, 9.0f, &sums[0], &sums[1], &sums[2], &sums[3], &sums[4], &sums[5], &r);
  EXPECT_EQ(r, 1.0f);
}
