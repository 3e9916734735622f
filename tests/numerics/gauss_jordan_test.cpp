#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "fatal.h"
#include "numerics/arrays.h"
#include "numerics/fitting.h"

using namespace numerics;

namespace {

// An n x n matrix (1-based) released when it goes out of scope.
struct Matrix {
  Matrix(int rows, int cols) : rows(rows), cols(cols), m(matrix(1, rows, 1, cols)) {}
  ~Matrix() { release_matrix(m, 1, rows, 1, cols); }
  Matrix(const Matrix&) = delete;
  Matrix& operator=(const Matrix&) = delete;
  int rows;
  int cols;
  float** m;
};

void copy(const Matrix& from, Matrix& to) {
  for (int i = 1; i <= from.rows; ++i)
    for (int j = 1; j <= from.cols; ++j) to.m[i][j] = from.m[i][j];
}

// Largest deviation of a * x from `expected` (or the identity when `expected` is null).
double largest_residual(const Matrix& a, const Matrix& x, const Matrix* expected) {
  double worst = 0.0;
  for (int i = 1; i <= a.rows; ++i) {
    for (int j = 1; j <= x.cols; ++j) {
      double sum = 0.0;
      for (int k = 1; k <= a.cols; ++k) sum += static_cast<double>(a.m[i][k]) * x.m[k][j];
      const double target = expected != nullptr ? expected->m[i][j] : (i == j ? 1.0 : 0.0);
      worst = std::fmax(worst, std::fabs(sum - target));
    }
  }
  return worst;
}

}  // namespace

TEST(GaussJordan, InvertsAndSolvesWellConditionedMatrices) {
  std::mt19937 generator(20240611);
  std::uniform_real_distribution<float> entry(-1.0f, 1.0f);
  for (int n : {1, 2, 3, 7, 16, 33, 50}) {
    // A strong random permutation keeps the matrix well conditioned while the pivots lie
    // off the diagonal, so the row swaps and the final column swaps all take part.
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i) order[i] = i + 1;
    std::shuffle(order.begin(), order.end(), generator);
    Matrix a(n, n), original(n, n), b(n, 3), rhs(n, 3);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) a.m[i][j] = entry(generator);
      a.m[i][order[i - 1]] += static_cast<float>(n);
      for (int j = 1; j <= 3; ++j) b.m[i][j] = entry(generator);
    }
    copy(a, original);
    copy(b, rhs);
    gaussj(a.m, n, b.m, 3);
    EXPECT_LT(largest_residual(a, original, nullptr), 1e-5) << "n = " << n;
    EXPECT_LT(largest_residual(original, a, nullptr), 1e-5) << "n = " << n;
    EXPECT_LT(largest_residual(original, b, &rhs), 1e-5) << "n = " << n;
  }
}

TEST(GaussJordan, SmallCasesAreExact) {
  // One element: the float reciprocal, applied to each right-hand side.
  Matrix one(1, 1), b(1, 2);
  one.m[1][1] = 3.0f;
  b.m[1][1] = 1.0f;
  b.m[1][2] = -6.0f;
  gaussj(one.m, 1, b.m, 2);
  const float third = static_cast<float>(1.0 / 3.0);
  EXPECT_EQ(one.m[1][1], third);
  EXPECT_EQ(b.m[1][1], third);
  EXPECT_EQ(b.m[1][2], -6.0f * third);

  // A permutation matrix is inverted into its transpose, exactly, and the right-hand sides
  // are permuted the same way. No right-hand side: b is never looked at.
  const int target[] = {0, 3, 1, 4, 2};  // row i has its 1 in column target[i]
  Matrix p(4, 4), rhs(4, 1);
  for (int i = 1; i <= 4; ++i) {
    for (int j = 1; j <= 4; ++j) p.m[i][j] = j == target[i] ? 1.0f : 0.0f;
    rhs.m[i][1] = static_cast<float>(10 * i);
  }
  gaussj(p.m, 4, rhs.m, 1);
  for (int i = 1; i <= 4; ++i) {
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(p.m[i][j], target[j] == i ? 1.0f : 0.0f) << i << "," << j;
    EXPECT_EQ(rhs.m[target[i]][1], static_cast<float>(10 * i));
  }
  // Rows are exchanged element by element: the row table stays as allocated.
  float* rows[5];
  for (int i = 1; i <= 4; ++i) rows[i] = p.m[i];
  gaussj(p.m, 4, nullptr, 0);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(p.m[i], rows[i]);
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(p.m[i][j], target[i] == j ? 1.0f : 0.0f);
  }
}

TEST(GaussJordan, EqualDiagonalMagnitudesArePivotedFromTheLastRow) {
  // Both diagonal elements are 3. Taking row 2 first rounds 1/3 into the second row, which
  // is what makes its diagonal element of the inverse differ from the first one in the last
  // bit; the opposite order would swap the two values.
  Matrix a(2, 2);
  a.m[1][1] = 3.0f;
  a.m[1][2] = 2.0f;
  a.m[2][1] = 1.0f;
  a.m[2][2] = 3.0f;
  gaussj(a.m, 2, nullptr, 0);
  EXPECT_EQ(a.m[1][1], 0.428571433f);
  EXPECT_EQ(a.m[2][2], 0.428571463f);
  EXPECT_EQ(a.m[1][2], -0.285714298f);
  EXPECT_EQ(a.m[2][1], -0.142857149f);
}

TEST(GaussJordanDeathTest, SingularMatricesEndTheProcess) {
  Matrix zero_row(2, 2);
  zero_row.m[1][1] = 1.0f;
  zero_row.m[1][2] = 2.0f;
  zero_row.m[2][1] = zero_row.m[2][2] = 0.0f;
  EXPECT_RUN_TIME_ERROR(gaussj(zero_row.m, 2, nullptr, 0), "gaussj: Singular Matrix-2");

  Matrix zero_column(3, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) zero_column.m[i][j] = j == 2 ? 0.0f : static_cast<float>(i + 3 * j);
  EXPECT_RUN_TIME_ERROR(gaussj(zero_column.m, 3, nullptr, 0), "gaussj: Singular Matrix-2");

  // Nothing but NaNs left to pivot on, at the first step and at a later one.
  Matrix all_nan(2, 2);
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 2; ++j) all_nan.m[i][j] = NAN;
  EXPECT_RUN_TIME_ERROR(gaussj(all_nan.m, 2, nullptr, 0), "gaussj: Singular Matrix-1");
  Matrix late_nan(2, 2);
  late_nan.m[1][1] = 1.0f;
  late_nan.m[1][2] = late_nan.m[2][1] = 0.0f;
  late_nan.m[2][2] = NAN;
  EXPECT_RUN_TIME_ERROR(gaussj(late_nan.m, 2, nullptr, 0), "gaussj: Singular Matrix-1");
}
