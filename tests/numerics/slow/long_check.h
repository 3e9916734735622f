// Shared by the long checks of the elementary functions: random arguments against MPFR on two
// threads.
#ifndef TESTS_NUMERICS_SLOW_LONG_CHECK_H
#define TESTS_NUMERICS_SLOW_LONG_CHECK_H

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "bit_patterns.h"
#include "mpfr_reference.h"

namespace numerics_test {

constexpr long arguments_per_function = 100000000;

// Counts the arguments where f differs from MPFR; draw(rng) gives the arguments.
template <typename Draw>
long count_mismatches(elementary which, double (*f)(double), Draw draw) {
  const int threads = 2;
  std::vector<long> mismatches(threads, 0);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      std::mt19937_64 rng(1000 + t);
      for (long i = t; i < arguments_per_function; i += threads) {
        const double x = draw(rng);
        const double got = f(x), want = correctly_rounded(which, x);
        if (!same_bits(got, want)) ++mismatches[t];
      }
    });
  }
  for (auto& w : workers) w.join();
  long total = 0;
  for (long m : mismatches) total += m;
  return total;
}

}  // namespace numerics_test

#endif
