// Singular value decomposition and symmetric eigen-decomposition against LAPACK and Eigen on the
// same matrices. LAPACK overwrites its input like the toolkit does and is refilled the same way;
// Eigen reads a const matrix and copies it into its own storage as part of the call.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "harness.h"
#include "matrices.h"
#include "numerics/linear_algebra.h"

#ifdef LOTWRIGHT_BENCH_LAPACK
#include "lapack.h"
#endif
#ifdef LOTWRIGHT_BENCH_EIGEN
#include <Eigen/Dense>
#endif

namespace {

using bench::add;
using bench::OffsetMatrix;
using bench::run;

#ifdef LOTWRIGHT_BENCH_EIGEN
Eigen::Map<const Eigen::Matrix<float, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>> row_major_map(
    const std::vector<float>& m, int n) {
  return {m.data(), n, n};
}
#endif

#ifdef LOTWRIGHT_BENCH_LAPACK
// Singular values and vectors of a column-major n x n matrix: U over a, V^T in vt.
struct LapackSvd {
  explicit LapackSvd(int n) : n(n), s(n), vt(std::size_t(n) * n), work(1) {
    call(nullptr, -1);  // workspace query
    work.resize(static_cast<std::size_t>(work[0]));
  }
  void call(float* a, int lwork) {
    int info = 0, one = 1;
    sgesvd_("O", "A", &n, &n, a, &n, s.data(), nullptr, &one, vt.data(), &n, work.data(), &lwork, &info, 1, 1);
  }
  void operator()(float* a) { call(a, static_cast<int>(work.size())); }
  int n;
  std::vector<float> s, vt, work;
};

// Eigenvalues and eigenvectors of a symmetric column-major n x n matrix, upper triangle.
struct LapackEigen {
  explicit LapackEigen(int n) : n(n), w(n), work(1) {
    call(nullptr, -1);
    work.resize(static_cast<std::size_t>(work[0]));
  }
  void call(float* a, int lwork) {
    int info = 0;
    ssyev_("V", "U", &n, a, &n, w.data(), work.data(), &lwork, &info, 1, 1);
  }
  void operator()(float* a) { call(a, static_cast<int>(work.size())); }
  int n;
  std::vector<float> w, work;
};
#endif

using MatrixInput = const std::vector<float>& (*)(int n);

// A LAPACK driver (constructed for n, called on the matrix) that works in place on a
// column-major copy of the input, refilled before each call.
template <class Driver>
void add_in_place_peer(const char* routine, const char* peer, int n, MatrixInput input_of) {
  const std::size_t bytes = std::size_t(n) * n * sizeof(float);
  add(routine, peer, bench::square_label(n), bytes, [n, bytes, input_of](benchmark::State& state) {
    const std::vector<float> input = bench::transposed(input_of(n), n);
    std::vector<float> work(input.size());
    Driver driver(n);
    run(state, {{work.data(), input.data(), bytes}}, [&] { driver(work.data()); });
  });
}

#ifdef LOTWRIGHT_BENCH_EIGEN
// An Eigen solver made for n x n by `make` outside the timing; compute() takes the input as const.
template <class Make>
void add_eigen(const char* routine, const char* peer, int n, MatrixInput input_of, Make make) {
  add(routine, peer, bench::square_label(n), 0, [n, input_of, make](benchmark::State& state) {
    const Eigen::MatrixXf input = row_major_map(input_of(n), n);
    auto solver = make(n);
    run(state, {}, [&] { solver.compute(input); });
  });
}
#endif

}  // namespace

void bench::add_linear_algebra() {
  for (const int n : matrix_sizes()) {
    add("svd_decompose", "ours", square_label(n), std::size_t(n) * n * sizeof(float), [n](benchmark::State& state) {
      OffsetMatrix a(n, n), v(n, n);
      std::vector<float> w(std::size_t(n) + 1);
      run(state, {a.refill(general_matrix(n))}, [&] { numerics::svd_decompose(a.rows, n, n, w.data(), v.rows); });
    });
#ifdef LOTWRIGHT_BENCH_LAPACK
    add_in_place_peer<LapackSvd>("svd_decompose", "LAPACK sgesvd", n, general_matrix);
#endif
#ifdef LOTWRIGHT_BENCH_EIGEN
    add_eigen("svd_decompose", "Eigen JacobiSVD", n, general_matrix, [](int size) {
      return Eigen::JacobiSVD<Eigen::MatrixXf>(size, size, Eigen::ComputeThinU | Eigen::ComputeThinV);
    });
    add_eigen("svd_decompose", "Eigen BDCSVD", n, general_matrix, [](int size) {
      return Eigen::BDCSVD<Eigen::MatrixXf>(size, size, Eigen::ComputeThinU | Eigen::ComputeThinV);
    });
#endif
  }
  for (const int n : matrix_sizes()) {
    add("jacobi", "ours", square_label(n), std::size_t(n) * n * sizeof(float), [n](benchmark::State& state) {
      OffsetMatrix a(n, n), v(n, n);
      std::vector<float> d(std::size_t(n) + 1);
      int rotations = 0;
      run(state, {a.refill(symmetric_matrix(n))}, [&] { numerics::jacobi(a.rows, n, d.data(), v.rows, &rotations); });
    });
#ifdef LOTWRIGHT_BENCH_LAPACK
    add_in_place_peer<LapackEigen>("jacobi", "LAPACK ssyev", n, symmetric_matrix);
#endif
#ifdef LOTWRIGHT_BENCH_EIGEN
    add_eigen("jacobi", "Eigen SelfAdjointEigenSolver", n, symmetric_matrix,
              [](int size) { return Eigen::SelfAdjointEigenSolver<Eigen::MatrixXf>(size); });
#endif
  }
}

bool bench::check_linear_algebra() {
#if defined(LOTWRIGHT_BENCH_LAPACK) || defined(LOTWRIGHT_BENCH_EIGEN)
  const int n = 64;
  bool ok = true;
  // Our values, sorted, against a peer's, relative to the largest in magnitude.
  const auto compare = [&ok](const char* what, std::vector<float> ours, std::vector<float> theirs) {
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    float largest = 0, difference = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
      largest = std::max(largest, std::fabs(theirs[i]));
      difference = std::max(difference, std::fabs(ours[i] - theirs[i]));
    }
    if (!(difference <= 1e-4f * largest)) {
      std::fprintf(stderr, "check failed: %s differ by %g of the largest\n", what, difference / largest);
      ok = false;
    }
  };

  OffsetMatrix a(n, n), v(n, n);
  std::vector<float> w(std::size_t(n) + 1);
  a.fill(general_matrix(n));
  numerics::svd_decompose(a.rows, n, n, w.data(), v.rows);
  const std::vector<float> singular_values(w.begin() + 1, w.end());

  std::vector<float> d(std::size_t(n) + 1);
  int rotations = 0;
  a.fill(symmetric_matrix(n));
  numerics::jacobi(a.rows, n, d.data(), v.rows, &rotations);
  const std::vector<float> eigenvalues(d.begin() + 1, d.end());

#ifdef LOTWRIGHT_BENCH_LAPACK
  std::vector<float> work = transposed(general_matrix(n), n);
  LapackSvd svd(n);
  svd(work.data());
  compare("singular values of svd_decompose and sgesvd", singular_values, svd.s);
  work = symmetric_matrix(n);
  LapackEigen eigen(n);
  eigen(work.data());
  compare("eigenvalues of jacobi and ssyev", eigenvalues, eigen.w);
#endif
#ifdef LOTWRIGHT_BENCH_EIGEN
  const Eigen::MatrixXf general = row_major_map(general_matrix(n), n);
  const Eigen::VectorXf s = Eigen::BDCSVD<Eigen::MatrixXf>(general).singularValues();
  compare("singular values of svd_decompose and BDCSVD", singular_values, std::vector<float>(s.data(), s.data() + n));
#endif
  return ok;
#else
  return true;
#endif
}
