// The correctly rounded elementary functions beside the C library's, on the arguments the
// toolkit gives them. Each "ours" row also counts, over 10^6 arguments of its range, how many
// calls left the fast path for the accurate one.
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

#include "harness.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/elementary.h"

namespace {

constexpr int share_sample = 1000000;

// One function and its range: the toolkit's version, the C library's, and the fast path.
template <class Real>
struct Row {
  const char* routine;
  const char* peer;
  const char* size;
  Real low;
  Real high;
  Real (*ours)(Real);
  Real (*theirs)(Real);
  bool (*fast_path)(Real, Real*);
};

const Row<double> double_rows[] = {
    // erfc's exp(-z^2 - 1.26...) and the incomplete beta prefactor
    {"cr_exp", "exp (C library)", "x in [-30, 0]", -30.0, 0.0, numerics::cr_exp, [](double x) { return std::exp(x); },
     numerics::detail::exp_fast_path},
    // log_gamma's log(x + 5.5) and log(1 - x) of the incomplete beta function
    {"cr_log", "log (C library)", "x in [0.5, 100]", 0.5, 100.0, numerics::cr_log, [](double x) { return std::log(x); },
     numerics::detail::log_fast_path},
    // the FFTs' rotation angles
    {"cr_sin", "sin (C library)", "x in [-pi, pi]", -M_PI, M_PI, numerics::cr_sin, [](double x) { return std::sin(x); },
     numerics::detail::sin_fast_path},
    {"cr_cos", "cos (C library)", "x in [-pi, pi]", -M_PI, M_PI, numerics::cr_cos, [](double x) { return std::cos(x); },
     numerics::detail::cos_fast_path},
};

const Row<float> float_rows[] = {
    // exp(-a^2) of the Gaussian model and the Kolmogorov-Smirnov terms
    {"cr_expf", "expf (C library)", "x in [-20, 0]", -20.0f, 0.0f, numerics::cr_expf,
     [](float x) { return std::exp(x); }, numerics::detail::expf_fast_path},
    // the polar method's log s and the incomplete beta function's log x
    {"cr_logf", "logf (C library)", "x in (0, 1)", 0.0f, 1.0f, numerics::cr_logf, [](float x) { return std::log(x); },
     numerics::detail::logf_fast_path},
};

// How many of share_sample arguments uniform in the row's range leave the fast path.
template <class Real>
double slow_path_calls(const Row<Real>& row) {
  std::mt19937 generator(12345);
  std::uniform_real_distribution<Real> uniform(row.low, row.high);
  int slow = 0;
  for (int i = 0; i < share_sample; ++i) {
    Real result;
    if (!row.fast_path(uniform(generator), &result)) ++slow;
  }
  return slow;
}

template <class Real>
void add_rows(const Row<Real>& row, unsigned seed) {
  // Counted on the first run of the row only (not when a filter leaves it out).
  auto slow = std::make_shared<double>(-1);
  const std::function<void(benchmark::State&)> count_slow_paths = [row, slow](benchmark::State& state) {
    if (*slow < 0) *slow = slow_path_calls(row);
    state.counters["slow_path"] = *slow / share_sample;
  };
  bench::add_scalar(row.routine, "ours", row.size, row.low, row.high, seed, row.ours, count_slow_paths);
  bench::add_scalar(row.routine, row.peer, row.size, row.low, row.high, seed, row.theirs);
}

// The largest difference from the C library in units of the last place: 1 at most for a
// correctly rounded function beside a faithful one.
template <class Real>
bool agrees(const Row<Real>& row, unsigned seed) {
  for (const Real x : bench::scalar_arguments(row.low, row.high, seed)) {
    const Real ours = row.ours(x), theirs = row.theirs(x);
    if (!(std::fabs(ours - theirs) <= std::fabs(std::nextafter(theirs, ours) - theirs))) {
      std::fprintf(stderr, "check failed: %s(%.17g) = %.17g, the C library's %.17g\n", row.routine,
                   static_cast<double>(x), static_cast<double>(ours), static_cast<double>(theirs));
      return false;
    }
  }
  return true;
}

}  // namespace

void bench::add_elementary() {
  unsigned seed = 20;
  for (const Row<double>& row : double_rows) add_rows(row, seed++);
  for (const Row<float>& row : float_rows) add_rows(row, seed++);
}

bool bench::check_elementary() {
  bool ok = true;
  unsigned seed = 20;
  for (const Row<double>& row : double_rows) ok = agrees(row, seed++) && ok;
  for (const Row<float>& row : float_rows) ok = agrees(row, seed++) && ok;
  return ok;
}
