// How every benchmark of this program is registered and timed.
//
// A benchmark is named routine/implementation/size; "ours" is the toolkit, anything else a peer
// that a user might pick instead. Routines that overwrite their input get a fresh copy of it at
// the start of every iteration (a memcpy from a pristine array); the same program also times a
// bare memcpy of the same number of bytes, and the table subtracts it. After the loop the
// allocations and sine calls made per iteration are stored as counters.
#ifndef BENCH_HARNESS_H
#define BENCH_HARNESS_H

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "counting.h"

namespace bench {

// One registered benchmark, as the table needs to know it.
struct Entry {
  std::string routine;
  std::string implementation;  // "ours", or the peer's name
  std::string size;
  std::size_t refill_bytes;    // copied into the work arrays per iteration (0: none)
  double calls_per_iteration;  // scalar routines are timed over a batch of arguments
};

const std::vector<Entry>& entries();
const Entry* find_entry(const std::string& name);

// The name of the memcpy baseline for `bytes` bytes.
std::string copy_name(std::size_t bytes);

// Registers `body` under routine/implementation/size. Large cases run fewer iterations: each
// benchmark runs for at least `min_time` seconds, but at least one iteration.
void add(const std::string& routine, const std::string& implementation, const std::string& size,
         std::size_t refill_bytes, std::function<void(benchmark::State&)> body, double calls_per_iteration = 1);

// Registers the memcpy baselines for every refill size registered so far.
void add_copy_baselines();

// Stores allocations and sine calls per iteration since `before` as counters.
void record(benchmark::State& state, const Counts& before);

// A work array refilled from its pristine input before every call.
struct Refill {
  void* work;
  const void* input;
  std::size_t bytes;
};

inline std::size_t total_bytes(std::initializer_list<Refill> refills) {
  std::size_t bytes = 0;
  for (const Refill& r : refills) bytes += r.bytes;
  return bytes;
}

// The timed loop: refill, call, and make sure the results are not optimised away.
template <class Call>
void run(benchmark::State& state, std::initializer_list<Refill> refills, Call&& call) {
  const Counts before = counts();
  for (auto _ : state) {
    for (const Refill& r : refills) std::memcpy(r.work, r.input, r.bytes);
    call();
    benchmark::ClobberMemory();
  }
  record(state, before);
}

// n pseudo-random floats, uniform in [-1, 1), the same for the same (n, seed) in every run; kept
// for the whole run so that repeated setups do not regenerate them.
const std::vector<float>& random_values(std::size_t n, unsigned seed);

// Scalar routines are timed over a batch of `scalar_batch` arguments x = low + (high - low) u,
// u uniform in [0, 1), the same for the same seed in every run.
constexpr std::size_t scalar_batch = 1024;

template <class Real>
std::vector<Real> scalar_arguments(Real low, Real high, unsigned seed) {
  const std::vector<float>& values = random_values(scalar_batch, seed);
  std::vector<Real> x(scalar_batch);
  for (std::size_t i = 0; i < scalar_batch; ++i) x[i] = low + (high - low) * static_cast<Real>((values[i] + 1) / 2);
  return x;
}

// Registers `function` called on every argument of the batch, keeping the results. `extra`, if
// given, runs once per benchmark run before the timing, with the state (to store counters).
template <class Real, class Function>
void add_scalar(const std::string& routine, const std::string& implementation, const std::string& size, Real low,
                Real high, unsigned seed, Function function, std::function<void(benchmark::State&)> extra = nullptr) {
  add(
      routine, implementation, size, 0,
      [=](benchmark::State& state) {
        const std::vector<Real> x = scalar_arguments(low, high, seed);
        std::vector<Real> y(scalar_batch);
        run(state, {}, [&] {
          for (std::size_t i = 0; i < scalar_batch; ++i) y[i] = function(x[i]);
        });
        if (extra) extra(state);
      },
      scalar_batch);
}

// Family registration, in table order, and the agreement checks run once before timing: each
// check compares our results with a peer's on one input and reports a mismatch on stderr.
void add_sorting();
void add_statistics();
void add_elementary();
void add_fourier();
void add_fitting();
void add_linear_algebra();
bool check_sorting();
bool check_statistics();
bool check_elementary();
bool check_fourier();
bool check_fitting();
bool check_linear_algebra();

}  // namespace bench

#endif
