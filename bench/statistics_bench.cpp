// Random deviates and special functions against the C++ library. Each iteration makes a batch
// of calls over fixed arguments; the table shows the time of one call.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "harness.h"
#include "numerics/statistics.h"

namespace {

using bench::add;
using bench::add_scalar;
using bench::run;
using bench::scalar_arguments;
using bench::scalar_batch;

}  // namespace

void bench::add_statistics() {
  add(
      "uniform_deviate", "ours", "one deviate", 0,
      [](benchmark::State& state) {
        int seed = -1;  // negative: start a fresh sequence
        std::vector<float> deviates(scalar_batch);
        numerics::uniform_deviate(&seed);
        run(state, {}, [&] {
          for (float& d : deviates) d = numerics::uniform_deviate(&seed);
        });
      },
      scalar_batch);
  add(
      "uniform_deviate", "std::minstd_rand0 + uniform_real_distribution", "one deviate", 0,
      [](benchmark::State& state) {
        std::minstd_rand0 generator(1);
        std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
        std::vector<float> deviates(scalar_batch);
        run(state, {}, [&] {
          for (float& d : deviates) d = uniform(generator);
        });
      },
      scalar_batch);

  add_scalar("complementary_error_function", "ours", "x in [-4, 4]", -4.0f, 4.0f, 7,
             [](float x) { return numerics::complementary_error_function(x); });
  add_scalar("complementary_error_function", "std::erfc (float)", "x in [-4, 4]", -4.0f, 4.0f, 7,
             [](float x) { return std::erfc(x); });
  add_scalar("log_gamma", "ours", "x in [0.5, 100]", 0.5, 100.0, 8, [](double x) { return numerics::log_gamma(x); });
  add_scalar("log_gamma", "std::lgamma (double)", "x in [0.5, 100]", 0.5, 100.0, 8,
             [](double x) { return std::lgamma(x); });
}

bool bench::check_statistics() {
  bool ok = true;
  // Largest difference from the C++ library, relative to the larger of 1 and the value.
  const auto compare = [&ok](const char* what, auto ours, auto theirs, const auto& x, double tolerance) {
    double worst = 0;
    for (const auto xi : x) {
      const double a = ours(xi), b = theirs(xi);
      worst = std::max(worst, std::fabs(a - b) / std::max(1.0, std::fabs(b)));
    }
    if (!(worst <= tolerance)) {
      std::fprintf(stderr, "check failed: %s differ by %g\n", what, worst);
      ok = false;
    }
  };
  compare(
      "complementary_error_function and std::erfc", [](float x) { return numerics::complementary_error_function(x); },
      [](float x) { return std::erfc(x); }, scalar_arguments(-4.0f, 4.0f, 7), 1e-6);
  compare(
      "log_gamma and std::lgamma", [](double x) { return numerics::log_gamma(x); },
      [](double x) { return std::lgamma(x); }, scalar_arguments(0.5, 100.0, 8), 1e-8);

  int seed = -1;
  double sum = 0;
  for (int i = 0; i < 100000; ++i) sum += numerics::uniform_deviate(&seed);
  if (!(std::fabs(sum / 100000 - 0.5) < 0.01)) {
    std::fprintf(stderr, "check failed: the mean of uniform_deviate is %g\n", sum / 100000);
    ok = false;
  }
  return ok;
}
