// The sample statistics and tests on fixed samples, from a few values to 10^4, with ties.
#include "families.h"
#include "input_sequence.h"
#include "numerics/arrays.h"
#include "numerics/statistics.h"

using namespace numerics;

namespace {

const unsigned sizes[] = {2, 3, 10, 100, 10000};

// Two samples of n, y leaning on x, both rounded to multiples of 1/16 so that ranks tie.
struct Samples {
  Samples(unsigned n, uint64_t seed) : n(n), x(vector(1, static_cast<int>(n))), y(vector(1, static_cast<int>(n))) {
    InputSequence in(seed);
    for (unsigned i = 1; i <= n; ++i) {
      x[i] = static_cast<float>(static_cast<int32_t>(in.below(256)) - 128) * 0.0625f;
      y[i] = 0.5f * x[i] + static_cast<float>(static_cast<int32_t>(in.below(64)) - 16) * 0.0625f;
    }
  }
  ~Samples() {
    release_vector(y, 1, static_cast<int>(n));
    release_vector(x, 1, static_cast<int>(n));
  }
  unsigned n;
  float* x;
  float* y;
};

}  // namespace

void hash_mean_and_variance(OutputHash& out) {
  for (unsigned n : sizes) {
    Samples s(n, n);
    float mean, variance;
    mean_and_variance(s.x, n, &mean, &variance);
    out.add(mean);
    out.add(variance);
  }
}

void hash_t_statistics(OutputHash& out) {
  for (unsigned n : sizes) {
    Samples s(n, n + 1);
    float t;
    t_statistic_equal_variance(s.x, n, s.y, n - 1, &t);
    out.add(t);
    t_statistic_unequal_variance(s.x, n, s.y, n - 1, &t);
    out.add(t);
  }
}

void hash_correlation(OutputHash& out) {
  for (unsigned n : sizes) {
    Samples s(n, n + 2);
    float r, probability;
    correlation_coefficient(s.x, s.y, n, &r);
    out.add(r);
    correlation_with_probability(s.x, s.y, n, &r, &probability);
    out.add(r);
    out.add(probability);
  }
}

void hash_running_updates(OutputHash& out) {
  Samples s(1000, 3);
  float sums[6] = {};
  for (unsigned i = 1; i <= s.n; ++i) {
    float r;
    running_correlation_update(s.x[i], s.y[i], &sums[0], &sums[1], &sums[2], &sums[3], &sums[4], &sums[5], &r);
    out.add(r);
  }
  float line[6] = {};
  for (unsigned i = 1; i <= s.n; ++i) {
    float intercept, slope, mean_y;
    running_regression_update(s.x[i], s.y[i], &line[0], &line[1], &line[2], &line[3], &line[4], &line[5], &intercept,
                              &slope, &mean_y);
    out.add(intercept);
    out.add(slope);
    out.add(mean_y);
  }
  out.add(sums, 0, 5);
  out.add(line, 0, 5);
}

void hash_spearman_rank_correlation(OutputHash& out) {
  for (unsigned n : sizes) {
    Samples s(n, n + 4);
    float d, z = 0.0f, probability_d = 0.0f, rs, probability_rs;
    spearman_rank_correlation(s.x, s.y, n, &d, &z, &probability_d, &rs, &probability_rs);
    out.add(d);
    out.add(z);
    out.add(probability_d);
    out.add(rs);
    out.add(probability_rs);
  }
}

// The statistic, and the samples, which it sorts in place.
void hash_ks_two_sample_statistic(OutputHash& out) {
  for (unsigned n : sizes) {
    Samples s(n, n + 5);
    float d;
    ks_two_sample_statistic(s.x, n, s.y, n - 1, &d);
    out.add(d);
    out.add(s.x, 1, n);
    out.add(s.y, 1, n - 1);
  }
}
