// Sequences of decompositions on small arbitrary matrices, NaN and infinities included: every
// call must finish with a documented outcome, touch only its index ranges, honour what its
// header says for counts below 1 and for aliasing, and on moderate data give a factorisation
// that reproduces the matrix within a rounding allowance.
#include <float.h>
#include <math.h>

#include <algorithm>
#include <vector>

#include "arrays.h"
#include "draw.h"
#include "numerics/linear_algebra.h"

using namespace numerics;
using fuzz::expect;
using fuzz::expect_returns;
using fuzz::Matrix;
using fuzz::Vector;

namespace {

// A dimension from -1 to `largest`: counts below 1 have documented outcomes too.
int draw_count(FuzzedDataProvider& in, int largest) { return in.ConsumeIntegralInRange(-1, largest); }
int at_least_zero(int n) { return n < 0 ? 0 : n; }

bool same(float x, float y) { return fuzz::bits_of(x) == fuzz::bits_of(y) || (x != x && y != y); }

bool same(const Matrix& a, const Matrix& b) {
  for (int i = a.low(); i < a.low() + a.rows(); ++i)
    for (int j = a.low(); j < a.low() + a.cols(); ++j)
      if (!same(a[i][j], b[i][j])) return false;
  return true;
}

void copy(const Matrix& from, const Matrix& to) {
  for (int i = from.low(); i < from.low() + from.rows(); ++i)
    for (int j = from.low(); j < from.low() + from.cols(); ++j) to[i][j] = from[i][j];
}

// Finite and not so large that squares overflow; tiny and subnormal entries included.
bool bounded(const Matrix& a) {
  for (int i = a.low(); i < a.low() + a.rows(); ++i)
    for (int j = a.low(); j < a.low() + a.cols(); ++j)
      if (!(fabsf(a[i][j]) <= 1e6f)) return false;
  return true;
}

// No entry so small that cancellations among such entries reach the subnormal range, where
// the Householder vectors keep too few digits to be checked to float accuracy.
bool well_scaled(const Matrix& a) {
  for (int i = a.low(); i < a.low() + a.rows(); ++i)
    for (int j = a.low(); j < a.low() + a.cols(); ++j)
      if (a[i][j] != 0.0f && fabsf(a[i][j]) < 1e-20f) return false;
  return true;
}

double frobenius(const Matrix& a) {
  double s = 0;
  for (int i = a.low(); i < a.low() + a.rows(); ++i)
    for (int j = a.low(); j < a.low() + a.cols(); ++j) s += static_cast<double>(a[i][j]) * a[i][j];
  return sqrt(s);
}

// || V^T V - I ||_F for the n x n matrix v.
double distance_from_orthogonal(const Matrix& v) {
  double s = 0;
  for (int i = 1; i <= v.cols(); ++i) {
    for (int j = 1; j <= v.cols(); ++j) {
      double dot = 0;
      for (int k = 1; k <= v.rows(); ++k) dot += static_cast<double>(v[k][i]) * v[k][j];
      const double e = dot - (i == j ? 1.0 : 0.0);
      s += e * e;
    }
  }
  return sqrt(s);
}

// Rounding allowance for a float factorisation of an n x n problem of norm `size`, plus the
// absolute bound below which the decomposition drops elements.
double allowance(int n, double size) { return 64.0 * FLT_EPSILON * n * size + 1e-5 * n; }

void fuzz_svd(FuzzedDataProvider& in) {
  const int m = draw_count(in, 8), n = draw_count(in, 8);
  const int rows = at_least_zero(m), cols = at_least_zero(n);
  Matrix a(rows, cols), original(rows, cols), v(cols, cols);
  Vector w(cols);
  fuzz::fill(in, a);
  copy(a, original);
  svd_not_converged = true;
  expect_returns([&] { svd_decompose(a, m, n, w, v); });
  if (n < 1) return expect(!svd_not_converged, "svd_decompose clears its flag");
  if (m < 1) {
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j) expect(w[i] == 0.0f && v[i][j] == (i == j ? 1.0f : 0.0f), "no rows: w = 0, v = I");
    return;
  }
  if (bounded(original)) {
    for (int i = 1; i <= n; ++i) {
      expect(isfinite(w[i]), "finite singular values for a finite matrix");
      for (int j = 1; j <= n; ++j) expect(isfinite(v[i][j]), "a finite V for a finite matrix");
    }
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= n; ++j) expect(isfinite(a[i][j]), "a finite U for a finite matrix");
  }
  if (moderate(original) && well_scaled(original)) {
    if (!svd_not_converged)
      for (int i = 1; i <= n; ++i) expect(w[i] >= 0.0f, "converged singular values are not negative");
    double error = 0;
    for (int i = 1; i <= m; ++i) {
      for (int j = 1; j <= n; ++j) {
        double s = 0;
        for (int k = 1; k <= n; ++k) s += static_cast<double>(a[i][k]) * w[k] * v[j][k];
        error += (s - original[i][j]) * (s - original[i][j]);
      }
    }
    const double size = frobenius(original);
    expect(sqrt(error) <= allowance(std::max(m, n), size), "U diag(w) V^T reproduces the matrix");
    expect(distance_from_orthogonal(v) <= allowance(n, 1.0), "V is orthogonal");
  }

  // Solving with the factors leaves them as they are; no rows give x = 0.
  Vector b(rows), x(cols);
  fuzz::fill(in, b);
  Matrix u_before(rows, cols), v_before(cols, cols);
  copy(a, u_before);
  copy(v, v_before);
  std::vector<float> w_before(&w[1], &w[1] + n), b_before(&b[1], &b[1] + m);
  expect_returns([&] { svd_back_substitute(a, w, v, m, n, b, x); });
  expect(same(a, u_before) && same(v, v_before), "back substitution does not modify u and v");
  for (int i = 1; i <= n; ++i) expect(same(w[i], w_before[i - 1]), "back substitution does not modify w");
  for (int i = 1; i <= m; ++i) expect(same(b[i], b_before[i - 1]), "back substitution does not modify b");
}

void fuzz_jacobi(FuzzedDataProvider& in) {
  const int n = draw_count(in, 8);
  const int size = at_least_zero(n);
  Matrix a(size, size), original(size, size), v(size, size);
  Vector d(size);
  fuzz::fill(in, a);
  copy(a, original);
  int rotations = -1;
  const char* outcome = fuzz::outcome_of([&] { jacobi(a, n, d, v, &rotations); });
  if (outcome != nullptr) {
    fuzz::expect_outcome(outcome, "Too many iterations in routine jacobi");
    expect(!moderate(original), "jacobi converges on moderate matrices");
    return;
  }
  expect(rotations >= 0 && (n >= 1 || rotations == 0), "a count of rotations");
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j)
      expect(j > i ? a[i][j] == 0.0f : same(a[i][j], original[i][j]), "upper triangle cleared, the rest kept");
  if (n < 1 || !moderate(original)) return;

  // The symmetric matrix that the diagonal and the upper triangle describe.
  auto s = [&](int i, int j) { return static_cast<double>(original[std::min(i, j)][std::max(i, j)]); };
  double error = 0, norm = 0;
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) norm += s(i, j) * s(i, j);
  for (int c = 1; c <= n; ++c) {
    for (int i = 1; i <= n; ++i) {
      double r = -static_cast<double>(d[c]) * v[i][c];
      for (int j = 1; j <= n; ++j) r += s(i, j) * v[j][c];
      error += r * r;
    }
  }
  expect(sqrt(error) <= allowance(n, sqrt(norm)), "S v = d v for every eigenpair");
  expect(distance_from_orthogonal(v) <= allowance(n, 1.0), "eigenvectors orthonormal");

  // Sorting keeps every eigenvalue with its column.
  std::vector<std::vector<uint32_t>> pairs;
  for (int c = 1; c <= n; ++c) {
    pairs.push_back({fuzz::bits_of(d[c])});
    for (int i = 1; i <= n; ++i) pairs.back().push_back(fuzz::bits_of(v[i][c]));
  }
  expect_returns([&] { sort_eigen_descending(d, v, n); });
  for (int c = 1; c < n; ++c) expect(d[c] >= d[c + 1], "eigenvalues descending");
  std::vector<std::vector<uint32_t>> sorted_pairs;
  for (int c = 1; c <= n; ++c) {
    sorted_pairs.push_back({fuzz::bits_of(d[c])});
    for (int i = 1; i <= n; ++i) sorted_pairs.back().push_back(fuzz::bits_of(v[i][c]));
  }
  std::sort(pairs.begin(), pairs.end());
  std::sort(sorted_pairs.begin(), sorted_pairs.end());
  expect(pairs == sorted_pairs, "columns move with their eigenvalues");
}

void fuzz_pseudo_inverse(FuzzedDataProvider& in) {
  const int n = draw_count(in, 8);
  const int size = at_least_zero(n);
  Matrix a(size, size, 0), original(size, size, 0), p(size, size, 0), in_place(size, size, 0);
  fuzz::fill(in, a);
  copy(a, original);
  copy(a, in_place);
  bool converged = false, converged_in_place = false;
  expect_returns([&] { converged = svd_pseudo_inverse(a, p, n); });
  expect_returns([&] { converged_in_place = svd_pseudo_inverse(in_place, in_place, n); });
  expect(same(a, original), "the pseudo-inverse leaves its argument alone");
  expect(converged == converged_in_place && same(p, in_place), "a and p may be the same storage");
  if (n < 1) return expect(converged, "n < 1 returns true");
  const double size_a = frobenius(original);
  if (!converged || !moderate(original) || !well_scaled(original) || size_a < 1e-3) return;

  // A P A = A, within the rounding that the conditioning of the kept singular values allows.
  Matrix factors(n, n), v(n, n);
  Vector w(n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) factors[i][j] = original[i - 1][j - 1];
  svd_decompose(factors, n, n, w, v);
  float largest = 0, smallest_kept = FLT_MAX;
  for (int i = 1; i <= n; ++i) largest = std::max(largest, fabsf(w[i]));
  for (int i = 1; i <= n; ++i)
    if (fabsf(w[i]) >= 1e-6f * largest && w[i] != 0.0f) smallest_kept = std::min(smallest_kept, fabsf(w[i]));
  if (largest == 0.0f) return;
  const double condition = largest / smallest_kept;
  double error = 0;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      double s = 0;
      for (int k = 0; k < n; ++k)
        for (int l = 0; l < n; ++l) s += static_cast<double>(original[i][k]) * p[k][l] * original[l][j];
      error += (s - original[i][j]) * (s - original[i][j]);
    }
  }
  expect(sqrt(error) <= allowance(n, size_a) * condition + 1e-6 * n * largest, "A P A = A");
}

void fuzz_least_squares(FuzzedDataProvider& in) {
  const int count = draw_count(in, 10), basis = draw_count(in, 5);
  const int points = at_least_zero(count), params = at_least_zero(basis);
  Vector x(points), y(points), sdev(points), a(params), w(params);
  Matrix u(points, params), v(params, params), covariance(params, params);
  fuzz::fill(in, x);
  fuzz::fill(in, y);
  fuzz::fill(in, sdev);
  for (int i = 1; i <= points; ++i)
    if (sdev[i] == 0.0f) sdev[i] = 1.0f;  // the caller's part of the contract
  float chi_square = -1.0f;
  expect_returns([&] { svd_least_squares_fit(x, y, sdev, count, a, basis, u, v, w, &chi_square, polynomial_basis); });
  if (basis < 1) return expect(chi_square == -1.0f, "no basis functions: nothing written");
  if (count < 1) {
    expect(chi_square == 0.0f, "no data: chi-square 0");
    for (int i = 1; i <= basis; ++i) {
      expect(a[i] == 0.0f && w[i] == 0.0f, "no data: a = 0, w = 0");
      for (int j = 1; j <= basis; ++j) expect(v[i][j] == (i == j ? 1.0f : 0.0f), "no data: v = I");
    }
  }
  expect(!(chi_square < 0.0f), "chi-square is not negative");
  expect_returns([&] { svd_covariance(v, basis, w, covariance); });
  for (int i = 1; i <= basis; ++i)
    for (int j = 1; j <= basis; ++j) expect(same(covariance[i][j], covariance[j][i]), "the covariance is symmetric");
}

// The 0-based helpers against sums accumulated in float in increasing index order, and counts
// below 1 writing nothing to a dimension of that size.
void fuzz_helpers(FuzzedDataProvider& in) {
  const int rows = draw_count(in, 6), inner = draw_count(in, 6), cols = draw_count(in, 6);
  const int r = at_least_zero(rows), k = at_least_zero(inner), c = at_least_zero(cols);
  Matrix a(r, k, 0), b(k, c, 0), g(r, c, 0);
  fuzz::fill(in, a);
  fuzz::fill(in, b);
  expect_returns([&] { matrix_multiply(a, b, g, rows, inner, cols); });
  for (int i = 0; i < r; ++i) {
    for (int j = 0; j < c; ++j) {
      float s = 0.0f;
      for (int l = 0; l < k; ++l) s += a[i][l] * b[l][j];
      expect(same(g[i][j], s), "matrix_multiply sums in float, in index order");
    }
  }
  Vector x(k, 0), y(r, 0);
  fuzz::fill(in, x);
  expect_returns([&] { matrix_vector_multiply(a, x, y, rows, inner); });
  for (int i = 0; i < r; ++i) {
    float s = 0.0f;
    for (int l = 0; l < k; ++l) s += a[i][l] * x[l];
    expect(same(y[i], s), "matrix_vector_multiply sums in float, in index order");
  }

  // Copies between 0- and 1-based storage, one row and column larger than needed; the mode may
  // be any int, and what the mode does not address keeps its sentinel.
  const int mode = in.ConsumeIntegralInRange(-1, 4);
  Matrix source(r + 1, c + 1, 0), destination(r + 1, c + 1, 0);
  fuzz::fill(in, source);
  for (int i = 0; i <= r; ++i)
    for (int j = 0; j <= c; ++j) destination[i][j] = -7.0f;
  expect_returns([&] { matrix_copy(source, destination, rows, cols, mode); });
  const int from = mode == 1 || mode == 3 ? 1 : 0;
  const int to = mode == 1 || mode == 2 ? 1 : 0;
  for (int i = 0; i <= r; ++i) {
    for (int j = 0; j <= c; ++j) {
      const bool copied = mode >= 0 && mode <= 3 && i >= to && i < r + to && j >= to && j < c + to;
      expect(same(destination[i][j], copied ? source[i - to + from][j - to + from] : -7.0f), "matrix_copy by mode");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  for (int step = 0; step < 6 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
      case 0:
        fuzz_svd(in);
        break;
      case 1:
        fuzz_jacobi(in);
        break;
      case 2:
        fuzz_pseudo_inverse(in);
        break;
      case 3:
        fuzz_least_squares(in);
        break;
      default:
        fuzz_helpers(in);
        break;
    }
  }
  return 0;
}
