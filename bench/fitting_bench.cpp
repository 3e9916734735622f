// Gauss-Jordan elimination against LAPACK on the same well-conditioned matrices. gaussj inverts
// the matrix and solves for the right-hand sides in one pass; LAPACK does the two jobs with
// different routines, so both are shown: sgesv (LU factors and one solve, no inverse) and
// sgetrf + sgetri (the inverse, no solve).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "harness.h"
#include "matrices.h"
#include "numerics/fitting.h"

#ifdef LOTWRIGHT_BENCH_LAPACK
#include "lapack.h"
#endif

namespace {

using bench::add;
using bench::OffsetMatrix;
using bench::run;

constexpr unsigned rhs_seed = 6;

#ifdef LOTWRIGHT_BENCH_LAPACK
// The inverse of a column-major n x n matrix in place.
struct LapackInverse {
  explicit LapackInverse(int n) : n(n), pivots(n), work(1) {
    int info = 0, query = -1;
    sgetri_(&n, nullptr, &n, pivots.data(), work.data(), &query, &info);
    work.resize(static_cast<std::size_t>(work[0]));
  }
  void operator()(float* a) {
    int info = 0, lwork = static_cast<int>(work.size());
    sgetrf_(&n, &n, a, &n, pivots.data(), &info);
    sgetri_(&n, a, &n, pivots.data(), work.data(), &lwork, &info);
  }
  int n;
  std::vector<int> pivots;
  std::vector<float> work;
};

// One right-hand side: x overwrites b, the LU factors overwrite a.
void lapack_solve(int n, float* a, float* b, int* pivots) {
  int info = 0, one = 1;
  sgesv_(&n, &one, a, &n, pivots, b, &n, &info);
}
#endif

}  // namespace

void bench::add_fitting() {
  for (const int n : matrix_sizes()) {
    const std::size_t matrix_bytes = std::size_t(n) * n * sizeof(float), rhs_bytes = std::size_t(n) * sizeof(float);
    add("gaussj", "ours", square_label(n), matrix_bytes + rhs_bytes, [n](benchmark::State& state) {
      OffsetMatrix a(n, n), b(n, 1);
      run(state, {a.refill(dominant_matrix(n)), b.refill(random_values(std::size_t(n), rhs_seed))},
          [&] { numerics::gaussj(a.rows, n, b.rows, 1); });
    });
#ifdef LOTWRIGHT_BENCH_LAPACK
    add("gaussj", "LAPACK sgesv (solve, no inverse)", square_label(n), matrix_bytes + rhs_bytes,
        [n, matrix_bytes, rhs_bytes](benchmark::State& state) {
          const std::vector<float> input = transposed(dominant_matrix(n), n);
          const std::vector<float>& rhs = random_values(std::size_t(n), rhs_seed);
          std::vector<float> a(input.size()), b(rhs.size());
          std::vector<int> pivots(static_cast<std::size_t>(n));
          run(state, {{a.data(), input.data(), matrix_bytes}, {b.data(), rhs.data(), rhs_bytes}},
              [&] { lapack_solve(n, a.data(), b.data(), pivots.data()); });
        });
    add("gaussj", "LAPACK sgetrf + sgetri (inverse)", square_label(n), matrix_bytes,
        [n, matrix_bytes](benchmark::State& state) {
          const std::vector<float> input = transposed(dominant_matrix(n), n);
          std::vector<float> a(input.size());
          LapackInverse invert(n);
          run(state, {{a.data(), input.data(), matrix_bytes}}, [&] { invert(a.data()); });
        });
#endif
  }
}

bool bench::check_fitting() {
#ifdef LOTWRIGHT_BENCH_LAPACK
  const int n = 64;
  bool ok = true;
  const auto compare = [&ok](const char* what, const float* ours, const float* theirs, std::size_t count) {
    float largest = 0, difference = 0;
    for (std::size_t i = 0; i < count; ++i) {
      largest = std::max(largest, std::fabs(theirs[i]));
      difference = std::max(difference, std::fabs(ours[i] - theirs[i]));
    }
    if (!(difference <= 1e-4f * largest)) {
      std::fprintf(stderr, "check failed: %s differ by %g of the largest\n", what, difference / largest);
      ok = false;
    }
  };
  OffsetMatrix a(n, n), b(n, 1);
  a.fill(dominant_matrix(n));
  b.fill(random_values(std::size_t(n), rhs_seed));
  numerics::gaussj(a.rows, n, b.rows, 1);

  std::vector<float> inverse = transposed(dominant_matrix(n), n);
  LapackInverse invert(n);
  invert(inverse.data());
  compare("inverses of gaussj and sgetri", &a.rows[1][1], transposed(inverse, n).data(), inverse.size());

  std::vector<float> lu = transposed(dominant_matrix(n), n);
  std::vector<float> solution = random_values(std::size_t(n), rhs_seed);
  std::vector<int> pivots(static_cast<std::size_t>(n));
  lapack_solve(n, lu.data(), solution.data(), pivots.data());
  compare("solutions of gaussj and sgesv", &b.rows[1][1], solution.data(), solution.size());
  return ok;
#else
  return true;
#endif
}
