#include <gtest/gtest.h>

#include <math.h>

#include <random>
#include <utility>
#include <vector>

#include "linear_algebra_test_support.h"
#include "numerics/linear_algebra.h"

using namespace numerics;
using numerics_test::Matrix;
using numerics_test::Vector;

namespace {

// Largest deviation of column products from the identity over the columns listed.
double orthonormality_error(const Matrix& q, int rows, const std::vector<int>& columns) {
  double worst = 0.0;
  for (int a : columns) {
    for (int b : columns) {
      double dot = 0.0;
      for (int r = 0; r < rows; ++r) dot += static_cast<double>(q.at(r, a)) * q.at(r, b);
      worst = std::max(worst, fabs(dot - (a == b ? 1.0 : 0.0)));
    }
  }
  return worst;
}

void expect_valid_decomposition(int m, int n, std::mt19937& generator) {
  SCOPED_TRACE(testing::Message() << m << " x " << n);
  Matrix original(m, n), u(m, n), v(n, n);
  Vector w(n);
  original.randomize(generator);
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) u.at(i, j) = original.at(i, j);

  svd_decompose(u, m, n, w, v);
  EXPECT_FALSE(svd_not_converged);

  double worst = 0.0;
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < n; ++j) {
      double sum = 0.0;
      for (int k = 0; k < n; ++k) sum += static_cast<double>(u.at(i, k)) * w[k + 1] * v.at(j, k);
      worst = std::max(worst, fabs(sum - original.at(i, j)));
    }
  }
  EXPECT_LT(worst, 2e-5 * std::max(m, n));

  std::vector<int> all_columns, kept_columns;
  for (int k = 0; k < n; ++k) {
    EXPECT_GE(w[k + 1], 0.0f);
    all_columns.push_back(k);
    // Beyond rank m the columns of U are zero, not orthonormal.
    if (w[k + 1] > 1e-3f) kept_columns.push_back(k);
  }
  EXPECT_EQ(static_cast<int>(kept_columns.size()), std::min(m, n));
  EXPECT_LT(orthonormality_error(v, n, all_columns), 1e-5 * n);
  EXPECT_LT(orthonormality_error(u, m, kept_columns), 1e-5 * n);
}

}  // namespace

TEST(SvdDecompose, ReconstructsRandomMatricesFromOrthonormalFactors) {
  std::mt19937 generator(20240611);
  const std::pair<int, int> shapes[] = {{1, 1}, {4, 4}, {7, 3}, {3, 7}, {1, 5}, {5, 1},
                                        {40, 25}, {25, 40}, {100, 100}, {100, 70}, {70, 100}};
  for (const auto& [m, n] : shapes) expect_valid_decomposition(m, n, generator);
}

TEST(SvdDecompose, RemovesSignsThroughUAndV) {
  Matrix a(2, 2, {-3, 0, 0, 2}), v(2, 2);
  Vector w(2);
  svd_decompose(a, 2, 2, w, v);
  EXPECT_EQ(w[1], 3.0f);
  EXPECT_EQ(w[2], 2.0f);
  EXPECT_EQ(a[1][1], -1.0f);
  EXPECT_EQ(a[1][2], 0.0f);
  EXPECT_EQ(a[2][1], 0.0f);
  EXPECT_EQ(a[2][2], -1.0f);
  EXPECT_EQ(v[1][1], 1.0f);
  EXPECT_EQ(v[1][2], 0.0f);
  EXPECT_EQ(v[2][1], 0.0f);
  EXPECT_EQ(v[2][2], -1.0f);

  // The values stay in the order the diagonalisation leaves them.
  Matrix b(2, 2, {1, 0, 0, 2});
  svd_decompose(b, 2, 2, w, v);
  EXPECT_EQ(w[1], 1.0f);
  EXPECT_EQ(w[2], 2.0f);
}

TEST(SvdDecompose, ZeroMatrixGivesIdentityFactors) {
  Matrix a(4, 3), v(3, 3);
  Vector w(3);
  a.fill(0.0f);
  svd_decompose(a, 4, 3, w, v);
  EXPECT_FALSE(svd_not_converged);
  for (int j = 1; j <= 3; ++j) {
    EXPECT_EQ(w[j], 0.0f);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(a[i][j], i == j ? 1.0f : 0.0f);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(v[i][j], i == j ? 1.0f : 0.0f);
  }
}

// Negligibility is absolute: at a scale far below 1e-6 the superdiagonal left by the reduction
// is dropped, and the bidiagonal's diagonal comes back instead of the singular values.
TEST(SvdDecompose, TakesATinyScaleMatrixAsDiagonal) {
  Matrix tiny(2, 2, {4e-8f, 3e-8f, 0, 5e-8f}), v(2, 2);
  Vector w(2);
  svd_decompose(tiny, 2, 2, w, v);
  EXPECT_FLOAT_EQ(w[1], 4e-8f);
  EXPECT_FLOAT_EQ(w[2], 5e-8f);

  Matrix unit(2, 2, {4, 3, 0, 5});
  svd_decompose(unit, 2, 2, w, v);
  EXPECT_FLOAT_EQ(w[1] * w[1], 10.0f);
  EXPECT_FLOAT_EQ(w[2] * w[2], 40.0f);
}

// A NaN never becomes negligible, so every iteration is used up; the next clean call clears
// the flag again.
TEST(SvdDecompose, FlagsNonConvergenceUntilTheNextCall) {
  Matrix bad(3, 3, {1, 2, 3, 4, NAN, 6, 7, 8, 10}), v(3, 3);
  Vector w(3);
  svd_decompose(bad, 3, 3, w, v);
  EXPECT_TRUE(svd_not_converged);

  Matrix good(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 10});
  svd_decompose(good, 3, 3, w, v);
  EXPECT_FALSE(svd_not_converged);
}

// Without rows every singular value is 0 and V the identity; without columns nothing is
// written. Empty arrays let the sanitizers catch any access.
TEST(SvdDecompose, CountsBelowOneStayInsideTheArrays) {
  Matrix no_rows(0, 2), v(2, 2);
  Vector w(2);
  svd_decompose(no_rows, 0, 2, w, v);
  svd_decompose(no_rows, -3, 2, w, v);
  EXPECT_EQ(w[1], 0.0f);
  EXPECT_EQ(w[2], 0.0f);
  EXPECT_EQ(v[1][1] * v[2][2], 1.0f);
  EXPECT_EQ(v[1][2] + v[2][1], 0.0f);

  svd_not_converged = true;
  Matrix no_columns(3, 0), no_v(0, 0);
  Vector no_w(0);
  svd_decompose(no_columns, 3, 0, no_w, no_v);
  svd_decompose(no_columns, 3, -1, no_w, no_v);
  EXPECT_FALSE(svd_not_converged);
}

TEST(Hypotenuse, AvoidsOverflowAndUnderflow) {
  EXPECT_EQ(hypotenuse(0.0f, 0.0f), 0.0f);
  EXPECT_EQ(hypotenuse(3.0f, -4.0f), 5.0f);
  EXPECT_EQ(hypotenuse(-4.0f, 3.0f), 5.0f);
  EXPECT_FLOAT_EQ(hypotenuse(1e30f, 1e30f), 1.41421356e30f);
  EXPECT_FLOAT_EQ(hypotenuse(1e-30f, 1e-30f), 1.41421356e-30f);
}
