#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "numerics/statistics.h"
#include "reference/sample_statistic_values.h"

using namespace numerics;

namespace {

// A 1-based copy for the routines that sort their input: element 0 is unused.
std::vector<float> one_based(std::initializer_list<float> values) {
  std::vector<float> v{0.0f};
  v.insert(v.end(), values);
  return v;
}

template <size_t n>
std::vector<float> copy_of(const float (&sample)[n]) {
  return std::vector<float>(sample, sample + n);
}

float ks_statistic(std::vector<float> data1, std::vector<float> data2) {
  float d = -1.0f;
  ks_two_sample_statistic(data1.data(), data1.size() - 1, data2.data(), data2.size() - 1, &d);
  return d;
}

}  // namespace

TEST(KolmogorovSmirnovStatistic, SortsItsInputsAndMatchesReference) {
  std::vector<float> data1 = copy_of(reference::sample1);
  std::vector<float> data2 = copy_of(reference::sample2);
  float d = 0.0f;
  ks_two_sample_statistic(data1.data(), reference::sample1_count, data2.data(), reference::sample2_count, &d);
  EXPECT_NEAR(d, reference::ks_statistic, 1e-6);
  EXPECT_TRUE(std::is_sorted(data1.begin() + 1, data1.end()));
  EXPECT_TRUE(std::is_sorted(data2.begin() + 1, data2.end()));

  EXPECT_EQ(ks_statistic(one_based({3, 1, 2}), one_based({2, 3, 1})), 0.0f);
  EXPECT_EQ(ks_statistic(one_based({1, 2}), one_based({5, 6, 7})), 1.0f);
  EXPECT_EQ(ks_statistic(one_based({2, 1}), one_based({3, 2})), 0.5f);
}

TEST(KolmogorovSmirnovStatistic, TakesSharedValuesFromBothSamplesBeforeMeasuring) {
  EXPECT_EQ(ks_statistic(one_based({1}), one_based({1, 1, 1})), 0.0f);
  EXPECT_EQ(ks_statistic(one_based({1, 2, 2, 3}), one_based({2, 2, 1, 3})), 0.0f);
  EXPECT_NEAR(ks_statistic(copy_of(reference::shared1), copy_of(reference::shared2)), reference::ks_statistic_shared,
              1e-6);
  // Equal values within one sample change nothing: a step at a time gives the same distance.
  EXPECT_EQ(ks_statistic(one_based({1, 1, 2}), one_based({1.5f, 3})),
            ks_statistic(one_based({1, 1.2f, 2}), one_based({1.5f, 3})));
  // A NaN (sorted last) stops the walk instead of holding it for ever: 1 and 1.5 are taken.
  EXPECT_EQ(ks_statistic(one_based({1, NAN, 2}), one_based({1.5f, NAN})), 1.0f / 3.0f);
}

TEST(RankCorrelation, RanksWithTies) {
  std::vector<float> values = one_based({1, 2, 2, 3});
  float ties = -1.0f;
  rank_with_ties(4, values.data(), &ties);
  EXPECT_EQ(values, one_based({1, 2.5f, 2.5f, 4}));
  EXPECT_EQ(ties, 6.0f);
  values = one_based({5, 5, 5});
  rank_with_ties(3, values.data(), &ties);
  EXPECT_EQ(values, one_based({2, 2, 2}));
  EXPECT_EQ(ties, 24.0f);
  values = one_based({9});
  rank_with_ties(1, values.data(), &ties);
  EXPECT_EQ(values, one_based({1}));
  EXPECT_EQ(ties, 0.0f);
  rank_with_ties(0, values.data(), &ties);
  EXPECT_EQ(values, one_based({1}));
}

TEST(RankCorrelation, SpearmanMatchesReferenceWithAndWithoutTies) {
  using namespace reference;
  struct Case {
    const float* x;
    const float* y;
    unsigned n;
    double d, z, z_probability, rs, rs_probability;
  };
  const Case cases[] = {
      {paired_x, paired_y, paired_x_count, paired_spearman_d, paired_spearman_z, paired_spearman_z_probability,
       paired_spearman_rs, paired_spearman_rs_probability},
      {tied_x, tied_y, tied_x_count, tied_spearman_d, tied_spearman_z, tied_spearman_z_probability, tied_spearman_rs,
       tied_spearman_rs_probability},
  };
  for (const Case& c : cases) {
    const std::vector<float> x_before(c.x, c.x + c.n + 1);
    float d, z, z_probability, rs, rs_probability;
    spearman_rank_correlation(c.x, c.y, c.n, &d, &z, &z_probability, &rs, &rs_probability);
    EXPECT_EQ(d, c.d);
    EXPECT_NEAR(z, c.z, 1e-5);
    EXPECT_NEAR(z_probability, c.z_probability, 1e-6);
    EXPECT_NEAR(rs, c.rs, 1e-6);
    EXPECT_NEAR(rs_probability, c.rs_probability, 1e-5 * c.rs_probability);
    EXPECT_EQ(std::vector<float>(c.x, c.x + c.n + 1), x_before);
  }
}

TEST(RankCorrelation, SpearmanEndsOfTheScale) {
  const float x[] = {0.0f, 3.0f, 1.0f, 4.0f, 1.5f, 9.0f};
  float d = -1.0f, z = -1.0f, z_probability = -1.0f, rs = -1.0f, rs_probability = -1.0f;
  spearman_rank_correlation(x, x, 5, &d, &z, &z_probability, &rs, &rs_probability);
  EXPECT_EQ(d, 0.0f);
  EXPECT_EQ(rs, 1.0f);
  EXPECT_EQ(rs_probability, 0.0f);

  // One sample constant: no ranking to compare; z and its probability keep the caller's values.
  const float constant[] = {0.0f, 2.0f, 2.0f, 2.0f, 2.0f, 2.0f};
  z = 123.0f;
  z_probability = 456.0f;
  spearman_rank_correlation(x, constant, 5, &d, &z, &z_probability, &rs, &rs_probability);
  EXPECT_EQ(rs, 0.0f);
  EXPECT_EQ(rs_probability, 0.0f);
  EXPECT_EQ(z, 123.0f);
  EXPECT_EQ(z_probability, 456.0f);

  // One pair, or none: n^3 - n = 0 leaves 0/0 rather than the constant-sample path.
  for (unsigned n : {0u, 1u}) {
    spearman_rank_correlation(x, x, n, &d, &z, &z_probability, &rs, &rs_probability);
    EXPECT_TRUE(d == 0.0f && std::isnan(z) && std::isnan(z_probability) && std::isnan(rs) && rs_probability == 1.0f);
  }
}
