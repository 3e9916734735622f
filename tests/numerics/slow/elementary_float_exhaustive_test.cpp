// cr_expf and cr_logf against their correctly rounded values for every one of the 2^32 floats.
// The reference is the x87 extended-precision expl/logl (64-bit significand): where every value
// within 2^-50 of it rounds to one float, that float is the answer; only where it does not, or
// where it disagrees with the function under test, does MPFR decide. About two minutes per
// function on two cores (release build):
//   cmake --preset release && cmake --build --preset release --target numerics_slow_tests
//   ctest --preset slow -R Exhaustive
#include <float.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "bit_patterns.h"
#include "mpfr_reference.h"
#include "numerics/detail/elementary_paths.h"
#include "numerics/elementary.h"

static_assert(LDBL_MANT_DIG >= 64, "the quick reference needs extended precision");

namespace {

using numerics_test::from_bits;
using numerics_test::same_bits;

using numerics_test::correctly_rounded;
using numerics_test::elementary;

struct Tally {
  std::atomic<uint64_t> mismatches{0};
  std::atomic<uint64_t> slow_paths{0};
  std::atomic<uint64_t> mpfr_calls{0};
};

// Checks the floats with bit patterns in [begin, end).
template <class Function, class FastPath, class Quick>
void check_range(uint64_t begin, uint64_t end, elementary f, Function function, FastPath fast_path, Quick quick,
                 Tally& tally, std::mutex& mpfr_lock) {
  uint64_t slow_paths = 0;
  for (uint64_t bits = begin; bits < end; ++bits) {
    const float x = from_bits(static_cast<uint32_t>(bits));
    const float result = function(x);
    float fast;
    if (!fast_path(x, &fast)) ++slow_paths;

    const long double v = quick(static_cast<long double>(x));
    const long double margin = std::isfinite(v) ? std::fabs(v) * 0x1p-50L : 0.0L;
    const float low = static_cast<float>(v - margin);
    const float high = static_cast<float>(v + margin);
    if (same_bits(low, high) && same_bits(low, result)) continue;

    std::lock_guard<std::mutex> lock(mpfr_lock);
    ++tally.mpfr_calls;
    const float expected = correctly_rounded(f, x);
    if (!same_bits(expected, result)) {
      if (tally.mismatches++ < 20) std::printf("x = %a: %a, correctly rounded %a\n", x, result, expected);
    }
  }
  tally.slow_paths += slow_paths;
}

template <class Function, class FastPath, class Quick>
void check_every_float(const char* name, elementary f, Function function, FastPath fast_path, Quick quick) {
  const uint64_t count = uint64_t{1} << 32;
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  Tally tally;
  std::mutex mpfr_lock;
  std::vector<std::thread> workers;
  for (unsigned t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      check_range(count * t / threads, count * (t + 1) / threads, f, function, fast_path, quick, tally, mpfr_lock);
    });
  }
  for (std::thread& worker : workers) worker.join();
  std::printf("%s: %llu mismatches over 2^32 floats; %llu took the slow path; MPFR decided %llu\n", name,
              static_cast<unsigned long long>(tally.mismatches.load()),
              static_cast<unsigned long long>(tally.slow_paths.load()),
              static_cast<unsigned long long>(tally.mpfr_calls.load()));
  EXPECT_EQ(tally.mismatches.load(), 0u);
}

}  // namespace

TEST(ExhaustiveFloat, ExpfIsCorrectlyRoundedForEveryFloat) {
  check_every_float("cr_expf", elementary::exp, numerics::cr_expf, numerics::detail::expf_fast_path,
                    [](long double x) { return std::exp(x); });
}

TEST(ExhaustiveFloat, LogfIsCorrectlyRoundedForEveryFloat) {
  check_every_float("cr_logf", elementary::log, numerics::cr_logf, numerics::detail::logf_fast_path,
                    [](long double x) { return std::log(x); });
}
