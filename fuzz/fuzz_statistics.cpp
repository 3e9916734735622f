// The special functions, significance levels and their inverses on arbitrary arguments (NaN,
// infinities, zeros of either sign, subnormals, the edges of the float range), and a few
// sample statistics on arbitrary data. Every call must end in the outcome its header gives:
// a report exactly where documented, the documented constants at the documented edges, and
// results in range where the header bounds them.
#include <float.h>
#include <math.h>

#include <algorithm>
#include <vector>

#include "arrays.h"
#include "draw.h"
#include "numerics/statistics.h"

using namespace numerics;
using fuzz::expect;
using fuzz::expect_outcome;
using fuzz::expect_returns;
using fuzz::outcome_of;

namespace {

// Any float, weighted towards the values where the routines change behaviour.
float draw_argument(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 2) != 0) return fuzz::draw_float(in);
  return in.PickValueInArray<float>({0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 2.0f, 0.03f, 1e-39f, 3e-39f, FLT_MIN, 16777216.0f,
                                     9007199254740992.0f, 1e6f, FLT_MAX, INFINITY, -INFINITY, NAN});
}

unsigned draw_count(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange(0u, 40u) : in.ConsumeIntegral<unsigned>();
}

bool same(float x, float y) { return fuzz::bits_of(x) == fuzz::bits_of(y) || (x != x && y != y); }

// The accuracy bound of the gamma functions' headers, 4 (1 + x + |a ln x| + |ln Gamma(a)|) 2^-24.
double gamma_bound(float a, float x) {
  return 4.0 * (1.0 + x + fabs(a * log(static_cast<double>(x))) + fabs(log_gamma(a))) * ldexp(1.0, -24);
}

void fuzz_gammq(FuzzedDataProvider& in) {
  const float a = draw_argument(in), x = draw_argument(in);
  float q = 0.0f;
  const char* outcome = outcome_of([&] { q = gammq(a, x); });
  if (x < 0.0f || a <= 0.0f) return expect_outcome(outcome, "Invalid arguments in routine gammq");
  if (isnan(a) || isnan(x)) return expect_outcome(outcome, "a too large, ITMAX too small in gcf");
  if (isinf(x) && !isinf(a)) {
    expect_outcome(outcome, nullptr);
    return expect(q == 0.0f, "gammq(a, +inf) is 0");
  }
  const bool series = static_cast<double>(x) < static_cast<double>(a) + 1.0;
  // The documented exceptions: a so small that the series overflows, a >= 2^53 with x = a
  // (fraction), and infinite arguments, which no iteration settles.
  if (outcome != nullptr) {
    expect(isinf(a) || isinf(x) || (series ? a < 1e-38f : a >= 9007199254740992.0f),
           "gammq settles for finite a > 0, x >= 0");
    expect_outcome(outcome,
                   series ? "a too large, ITMAX too small in routine gser" : "a too large, ITMAX too small in gcf");
    return;
  }
  if (x == 0.0f) expect(q == 1.0f, "gammq(a, 0) is 1");
  const double bound = gamma_bound(a, x);
  if (!isinf(a) && !isinf(x) && bound < 0.01)
    expect(series ? q >= -bound && q <= 1.0 + bound : q >= 0.0f && q <= 1.0 + 2 * bound,
           "gammq within its accuracy bound of [0, 1]");
}

// gser and gcf store ln Gamma(a) first, also when they then end the process.
void fuzz_gser_gcf(FuzzedDataProvider& in, bool series) {
  const float a = draw_argument(in), x = draw_argument(in);
  float result = -2.0f, log_gamma_of_a = -2.0f;
  const char* outcome =
      outcome_of([&] { series ? gser(&result, a, x, &log_gamma_of_a) : gcf(&result, a, x, &log_gamma_of_a); });
  expect(same(log_gamma_of_a, static_cast<float>(log_gamma(a))), "ln Gamma(a) is stored first");
  if (series && x < 0.0f) return expect_outcome(outcome, "x less than 0 in routine gser");
  if (series && x == 0.0f) {
    expect_outcome(outcome, nullptr);
    return expect(result == 0.0f, "gser(a, 0) is 0");
  }
  const char* limit = series ? "a too large, ITMAX too small in routine gser" : "a too large, ITMAX too small in gcf";
  if (isnan(a) || isnan(x)) return expect_outcome(outcome, limit);
  if (!series && x == INFINITY && a > 0.0f && !isinf(a)) {
    expect_outcome(outcome, nullptr);
    return expect(result == 0.0f, "gcf(a, +inf) is 0");
  }
  if (outcome != nullptr) {
    expect_outcome(outcome, limit);
    // Inside its range of validity, with finite arguments, only the documented degenerate a.
    const bool valid = a > 0.0f && !isinf(a) && !isinf(x) &&
                       (series ? static_cast<double>(x) < static_cast<double>(a) + 1.0
                               : static_cast<double>(x) >= static_cast<double>(a) + 1.0);
    expect(!valid || (series ? a < 1e-38f : a >= 9007199254740992.0f), "the iteration settles inside its range");
  }
}

void fuzz_incomplete_beta(FuzzedDataProvider& in) {
  const float a = draw_argument(in), b = draw_argument(in), x = draw_argument(in);
  float value = 0.0f;
  expect_returns([&] { value = incomplete_beta(a, b, x); });
  if (x < 0.0f || x > 1.0f) return expect(value == 0.0f, "incomplete_beta outside [0, 1] is 0");
  if (a > 0.0f && b > 0.0f && !isinf(a) && !isinf(b)) {
    if (x == 0.0f) expect(value == 0.0f, "I_0 = 0");
    if (x == 1.0f) expect(value == 1.0f, "I_1 = 1");
  }
  const double da = fuzz::draw_float(in), db = fuzz::draw_float(in), dx = fuzz::draw_float(in);
  expect_returns([&] { incomplete_beta_fraction(da, db, dx); });
}

void fuzz_erfc(FuzzedDataProvider& in) {
  const float x = draw_argument(in);
  float value = 0.0f, mirrored = 0.0f;
  expect_returns([&] { value = complementary_error_function(x); });
  expect_returns([&] { mirrored = complementary_error_function(-x); });
  if (isnan(x)) return expect(isnan(value), "erfc(NaN) is NaN");
  expect(value >= 0.0f && value <= 2.0f, "erfc lies in [0, 2]");
  if (x == 0.0f) expect(value == 1.0f, "erfc(0) is 1");
  if (x > 0.0f) expect(mirrored == static_cast<float>(2.0 - static_cast<double>(value)), "erfc(-x) = 2 - erfc(x)");
}

void fuzz_ks_probability(FuzzedDataProvider& in) {
  const float lambda = draw_argument(in);
  float q = 0.0f;
  expect_returns([&] { q = ks_probability(lambda); });
  if (isnan(lambda) || fabsf(lambda) < 0.03f) return expect(q == 1.0f, "small lambda and NaN give 1");
  expect(q >= 0.0f && q <= 1.0f + 1e-6f, "Q_KS in [0, 1] up to rounding");
}

void fuzz_significance(FuzzedDataProvider& in) {
  const float v = draw_argument(in);
  const unsigned n1 = draw_count(in), n2 = draw_count(in);
  float p = 0.0f;
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
      expect_returns([&] { p = correlation_probability(v, n1); });
      if (n1 < 2 || v == 0.0f)
        expect(p == 1.0f, "correlation_probability: 1 for n < 2 and r = 0");
      else if (v == 1.0f)
        expect(p == 0.0f, "correlation_probability: 0 for r = 1");
      break;
    case 1:
      expect_returns([&] { p = t_probability(v, n1); });
      if (n1 == 0) expect(isnan(p), "t_probability with df = 0 is NaN");
      break;
    default:
      expect_returns([&] { p = f_probability(v, n1, n2); });
      if (v < 0.0f)
        expect(p == 0.0f, "f_probability of a negative f is 0");
      else if (v == 0.0f && n1 > 0 && n2 > 0)
        expect(p == 1.0f, "f_probability(0) is 1");
      break;
  }
}

// The inverses make exactly 25 moves; an unreachable or NaN p keeps moving up.
void fuzz_inverses(FuzzedDataProvider& in) {
  const float p = draw_argument(in);
  const unsigned n1 = draw_count(in), n2 = draw_count(in);
  float t = 0.0f, r = 0.0f, f = 0.0f;
  expect_returns([&] { t = t_for_probability(p, n1); });
  expect_returns([&] { r = correlation_for_probability(p, n1); });
  expect_returns([&] { f = f_for_probability(p, n1, n2); });
  float r_moved_up = 0.4f;
  for (int move = 0; move < 25; ++move) r_moved_up += 0.2f;
  if (isnan(p)) expect(t == 54.0f && r == r_moved_up && f == 60.0f, "a NaN p moves up 25 times");
  if (p == 0.0f) expect(t == 54.0f, "t_for_probability(0) is 54");
}

void fuzz_rayleigh_quantile(FuzzedDataProvider& in) {
  const float p = draw_argument(in);
  float r = 0.0f;
  expect_returns([&] { r = rayleigh_quantile(p); });
  if (static_cast<float>(1.0 - static_cast<double>(p)) == 1.0f)
    return expect(fuzz::bits_of(r) == fuzz::bits_of(-0.0f), "p = 0, or so close that 1 - p is 1, gives -0");
  if (isnan(p) || p < 0.0f) return expect(isnan(r), "p < 0 and NaN give NaN");
  if (p == 1.0f) return expect(r > 7.9f && r < 8.0f, "p = 1 gives a finite radius");
  if (p > 1.0f && p < 2.0f) return expect(r < 0.0f, "1 < p < 2 gives a negative value");
  if (p == 2.0f) return expect(r == 0.0f, "p = 2 gives 0");
  if (p > 2.0f) return expect(isnan(r), "p > 2 gives NaN");
  expect(r >= 0.0f && fabs(exp(-static_cast<double>(r) * r / 4) - (1.0 - p)) <= 1e-5, "exp(-r^2 / 4) = 1 - p");
}

std::vector<float> draw_sample(FuzzedDataProvider& in, unsigned n) {
  std::vector<float> sample(n);
  for (float& x : sample) x = fuzz::draw_float(in);
  return sample;
}

void put(const fuzz::Vector& v, const std::vector<float>& values) {
  for (size_t i = 0; i < values.size(); ++i) v[static_cast<int>(i) + 1] = values[i];
}

bool moderate(const std::vector<float>& values) { return std::all_of(values.begin(), values.end(), fuzz::is_moderate); }

// The sum of squared deviations of the first n values, in double: where it is tiny, the float
// squares fall among the subnormal numbers and keep few digits.
double spread(const std::vector<float>& values, unsigned n) {
  double mean = 0, sum = 0;
  for (unsigned i = 0; i < n; ++i) mean += values[i] / static_cast<double>(n);
  for (unsigned i = 0; i < n; ++i) sum += (values[i] - mean) * (values[i] - mean);
  return sum;
}

// Sample statistics on arbitrary samples: the documented NaNs of tiny samples, coefficients
// within [-1, 1] on moderate data, samples left alone or sorted as documented, and ranks.
void fuzz_samples(FuzzedDataProvider& in) {
  const unsigned n1 = in.ConsumeIntegralInRange(0u, 24u), n2 = in.ConsumeIntegralInRange(0u, 24u);
  const std::vector<float> x = draw_sample(in, n1), y = draw_sample(in, n2);
  fuzz::Vector data1(static_cast<int>(n1)), data2(static_cast<int>(n2));
  put(data1, x);
  put(data2, y);
  float mean = 0, variance = 0, t = 0, r = 0, probability = 0;
  expect_returns([&] { mean_and_variance(data1, n1, &mean, &variance); });
  if (n1 == 0) expect(isnan(mean) && isnan(variance), "no data: mean and variance NaN");
  // The sum starts at +0, so a lone -0 comes back as +0.
  if (n1 == 1) expect(isnan(variance) && (mean == x[0] || same(mean, x[0])), "one value: itself, and variance NaN");
  expect_returns([&] { t_statistic_equal_variance(data1, n1, data2, n2, &t); });
  expect_returns([&] { t_statistic_unequal_variance(data1, n1, data2, n2, &t); });
  const unsigned n = std::min(n1, n2);
  expect_returns([&] { correlation_coefficient(data1, data2, n, &r); });
  if (n > 0 && moderate(std::vector<float>(x.begin(), x.begin() + n)) &&
      moderate(std::vector<float>(y.begin(), y.begin() + n)) && spread(x, n) >= 1e-30 && spread(y, n) >= 1e-30)
    expect(fabsf(r) <= 1.0f + 1e-5f, "|r| <= 1");
  expect_returns([&] { correlation_with_probability(data1, data2, n, &r, &probability); });

  // Spearman's coefficient leaves its samples alone and stays within [-1, 1].
  float sum_d = 0, z = 0, probability_d = 0, rs = 0, probability_rs = 0;
  expect_returns([&] { spearman_rank_correlation(data1, data2, n, &sum_d, &z, &probability_d, &rs, &probability_rs); });
  for (unsigned i = 0; i < n1; ++i)
    expect(same(data1[static_cast<int>(i) + 1], x[i]), "spearman leaves its samples alone");
  for (unsigned i = 0; i < n2; ++i)
    expect(same(data2[static_cast<int>(i) + 1], y[i]), "spearman leaves its samples alone");
  if (n < 2)
    expect(sum_d == 0.0f && isnan(z) && isnan(probability_d) && isnan(rs) && probability_rs == 1.0f,
           "spearman with n < 2");
  else if (moderate(std::vector<float>(x.begin(), x.begin() + n)) &&
           moderate(std::vector<float>(y.begin(), y.begin() + n)))
    expect(fabsf(rs) <= 1.0f + 1e-5f, "|rs| <= 1");

  // The KS distance lies in [0, 1], and both samples end sorted, NaNs last.
  float d = -1.0f;
  expect_returns([&] { ks_two_sample_statistic(data1, n1, data2, n2, &d); });
  if (n1 > 0 && n2 > 0) expect(d >= 0.0f && d <= 1.0f, "the KS distance lies in [0, 1]");
  for (const fuzz::Vector* sample : {&data1, &data2}) {
    for (int i = 1; i < sample->size(); ++i) {
      const float a = (*sample)[i], b = (*sample)[i + 1];
      expect(isnan(b) || (!isnan(a) && a <= b), "the KS samples are left sorted, NaNs last");
    }
  }

  // Ranks of the sorted numbers: they add up to n(n + 1)/2, ties share, and the tie sum is
  // the sum of t^3 - t over the groups of equal values.
  std::vector<float> numbers;
  for (float v : x)
    if (!isnan(v)) numbers.push_back(v);
  std::sort(numbers.begin(), numbers.end());
  fuzz::Vector ranks(static_cast<int>(numbers.size()));
  put(ranks, numbers);
  float tie_sum = -1.0f;
  const unsigned m = static_cast<unsigned>(numbers.size());
  expect_returns([&] { rank_with_ties(m, ranks, &tie_sum); });
  double rank_total = 0, ties = 0;
  for (size_t i = 0, group = 1; i < numbers.size(); ++i, ++group) {
    rank_total += ranks[static_cast<int>(i) + 1];
    if (i + 1 == numbers.size() || numbers[i + 1] != numbers[i]) {
      ties += static_cast<double>(group) * group * group - group;
      group = 0;
    } else {
      expect(ranks[static_cast<int>(i) + 1] == ranks[static_cast<int>(i) + 2], "equal values share their rank");
    }
  }
  expect(rank_total == m * (m + 1.0) / 2 && tie_sum == ties, "ranks 1..n and the tie sum");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  // Few calls per input: a series that runs to its limit takes millions of steps.
  for (int call = 0; call < 4 && in.remaining_bytes() > 0; ++call) {
    switch (in.ConsumeIntegralInRange(0, 9)) {
      case 0:
        fuzz_gammq(in);
        break;
      case 1:
        fuzz_gser_gcf(in, true);
        break;
      case 2:
        fuzz_gser_gcf(in, false);
        break;
      case 3:
        fuzz_incomplete_beta(in);
        break;
      case 4:
        fuzz_erfc(in);
        break;
      case 5:
        fuzz_ks_probability(in);
        break;
      case 6:
        fuzz_significance(in);
        break;
      case 7:
        fuzz_inverses(in);
        break;
      case 8:
        fuzz_rayleigh_quantile(in);
        break;
      default:
        fuzz_samples(in);
        break;
    }
  }
  return 0;
}
