// Singular value decomposition of square, tall and wide matrices up to 100 x 100, the SVD
// fit and covariance, Jacobi rotations up to 100 x 100, the 0-based helpers and the
// pseudo-inverse.
#include "families.h"
#include "input_sequence.h"
#include "numerics/arrays.h"
#include "numerics/linear_algebra.h"

using namespace numerics;

namespace {

// An offset matrix over [low..low + rows - 1] x [low..low + cols - 1], entries in [-1, 1).
float** random_matrix(InputSequence& in, int low, int rows, int cols) {
  float** m = matrix(low, low + rows - 1, low, low + cols - 1);
  for (int i = low; i < low + rows; ++i) in.fill(m[i], low, low + cols - 1, -1.0f, 1.0f);
  return m;
}

}  // namespace

void hash_svd_decompose(OutputHash& out) {
  const int shapes[][2] = {{1, 1}, {3, 3}, {10, 7}, {7, 10}, {37, 20}, {100, 100}};
  for (const auto& shape : shapes) {
    const int m = shape[0], n = shape[1];
    InputSequence in(static_cast<uint64_t>(m * 1000 + n));
    float** a = random_matrix(in, 1, m, n);
    float* w = vector(1, n);
    float** v = matrix(1, n, 1, n);
    svd_decompose(a, m, n, w, v);
    out.add(a, 1, m, 1, n);
    out.add(w, 1, n);
    out.add(v, 1, n, 1, n);
    out.add(svd_not_converged);
    release_matrix(v, 1, n, 1, n);
    release_vector(w, 1, n);
    release_matrix(a, 1, m, 1, n);
  }
}

// A cubic with noise fitted by polynomials of 1 to 6 terms, with the covariance of each fit.
void hash_svd_least_squares_fit(OutputHash& out) {
  const int count = 200;
  InputSequence in(8);
  float* x = vector(1, count);
  float* y = vector(1, count);
  float* sdev = vector(1, count);
  for (int i = 1; i <= count; ++i) {
    x[i] = static_cast<float>(i - 100) * 0.015625f;
    y[i] = 1.0f - 2.0f * x[i] + 0.5f * x[i] * x[i] * x[i] + in.between(-0.25f, 0.25f);
    sdev[i] = in.between(0.5f, 1.0f);
  }
  for (int basis_count = 1; basis_count <= 6; ++basis_count) {
    float* a = vector(1, basis_count);
    float** u = matrix(1, count, 1, basis_count);
    float** v = matrix(1, basis_count, 1, basis_count);
    float* w = vector(1, basis_count);
    float** covariance = matrix(1, basis_count, 1, basis_count);
    float chi_square;
    svd_least_squares_fit(x, y, sdev, count, a, basis_count, u, v, w, &chi_square, polynomial_basis);
    svd_covariance(v, basis_count, w, covariance);
    out.add(a, 1, basis_count);
    out.add(w, 1, basis_count);
    out.add(chi_square);
    out.add(covariance, 1, basis_count, 1, basis_count);
    release_matrix(covariance, 1, basis_count, 1, basis_count);
    release_vector(w, 1, basis_count);
    release_matrix(v, 1, basis_count, 1, basis_count);
    release_matrix(u, 1, count, 1, basis_count);
    release_vector(a, 1, basis_count);
  }
  release_vector(sdev, 1, count);
  release_vector(y, 1, count);
  release_vector(x, 1, count);
}

// Symmetric matrices: eigenvalues and vectors as the rotations leave them, then sorted.
void hash_jacobi(OutputHash& out) {
  const int sizes[] = {1, 3, 10, 40, 100};
  for (int n : sizes) {
    InputSequence in(static_cast<uint64_t>(n));
    float** a = random_matrix(in, 1, n, n);
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j < i; ++j) a[j][i] = a[i][j];
    float* d = vector(1, n);
    float** v = matrix(1, n, 1, n);
    int rotations;
    jacobi(a, n, d, v, &rotations);
    out.add(d, 1, n);
    out.add(v, 1, n, 1, n);
    out.add(static_cast<int32_t>(rotations));
    sort_eigen_descending(d, v, n);
    out.add(d, 1, n);
    out.add(v, 1, n, 1, n);
    release_matrix(v, 1, n, 1, n);
    release_vector(d, 1, n);
    release_matrix(a, 1, n, 1, n);
  }
}

void hash_matrix_helpers(OutputHash& out) {
  const int rows = 30, inner = 20, cols = 25;
  InputSequence in(9);
  float** a = random_matrix(in, 0, rows, inner);
  float** b = random_matrix(in, 0, inner, cols);
  float** g = matrix(0, rows - 1, 0, rows - 1);
  float** product = matrix(0, rows - 1, 0, cols - 1);
  float** transposed = matrix(0, inner - 1, 0, rows - 1);
  float* s = vector(0, rows - 1);
  float* y = vector(0, rows - 1);
  in.fill(s, 0, rows - 1, -2.0f, 2.0f);
  matrix_multiply(a, b, product, rows, inner, cols);
  out.add(product, 0, rows - 1, 0, cols - 1);
  matrix_times_own_transpose(a, g, rows, inner);
  out.add(g, 0, rows - 1, 0, rows - 1);
  matrix_vector_multiply(a, b[0], y, rows, inner);
  out.add(y, 0, rows - 1);
  out.add(dot_product(a[0], a[1], inner));
  matrix_transpose(a, transposed, rows, inner);
  out.add(transposed, 0, inner - 1, 0, rows - 1);
  scale_matrix_rows(s, product, rows, cols);
  out.add(product, 0, rows - 1, 0, cols - 1);
  for (int i = 0; i < inner; ++i) out.add(hypotenuse(b[i][0], b[i][1] * 0x1p-70f));
  release_vector(y, 0, rows - 1);
  release_vector(s, 0, rows - 1);
  release_matrix(transposed, 0, inner - 1, 0, rows - 1);
  release_matrix(product, 0, rows - 1, 0, cols - 1);
  release_matrix(g, 0, rows - 1, 0, rows - 1);
  release_matrix(b, 0, inner - 1, 0, cols - 1);
  release_matrix(a, 0, rows - 1, 0, inner - 1);
}

// Random matrices, and one of rank 2 whose small singular values are dropped.
void hash_svd_pseudo_inverse(OutputHash& out) {
  const int sizes[] = {1, 4, 30};
  for (int n : sizes) {
    InputSequence in(static_cast<uint64_t>(n));
    float** a = random_matrix(in, 0, n, n);
    float** p = matrix(0, n - 1, 0, n - 1);
    out.add(svd_pseudo_inverse(a, p, n));
    out.add(p, 0, n - 1, 0, n - 1);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) a[i][j] = static_cast<float>((i % 3 + 1) * (j + 1) + (i % 2) * (j % 4));
    out.add(svd_pseudo_inverse(a, p, n));
    out.add(p, 0, n - 1, 0, n - 1);
    release_matrix(p, 0, n - 1, 0, n - 1);
    release_matrix(a, 0, n - 1, 0, n - 1);
  }
}
