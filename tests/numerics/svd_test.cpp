#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "linear_algebra_test_support.h"
#include "numerics/linear_algebra.h"

using namespace numerics;
using numerics_test::Matrix;
using numerics_test::Vector;

namespace {

double column_dot(const Matrix& q, int rows, int a, int b) {
  double dot = 0.0;
  for (int r = 0; r < rows; ++r) dot += static_cast<double>(q.at(r, a)) * q.at(r, b);
  return dot;
}

}  // namespace

// A = U diag(w) V^T with V orthogonal, w >= 0, and the columns of U orthonormal where w is
// not zero (beyond rank m they are zero).
TEST(SvdDecompose, ReconstructsRandomMatricesFromOrthonormalFactors) {
  std::mt19937 generator(20240611);
  const std::pair<int, int> shapes[] = {{1, 1},   {4, 4},   {7, 3},     {3, 7},    {1, 5},   {5, 1},
                                        {40, 25}, {25, 40}, {100, 100}, {100, 70}, {70, 100}};
  for (const auto& [m, n] : shapes) {
    SCOPED_TRACE(testing::Message() << m << " x " << n);
    Matrix original(m, n), u(m, n), v(n, n);
    Vector w(n);
    original.randomize(generator, &u);
    svd_decompose(u, m, n, w, v);
    EXPECT_FALSE(svd_not_converged);
    double reconstruction = 0.0, orthonormality = 0.0;
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) {
        double a = -original.at(i, j);
        for (int k = 0; k < n; ++k) a += static_cast<double>(u.at(i, k)) * w[k + 1] * v.at(j, k);
        reconstruction = std::max(reconstruction, fabs(a));
      }
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        orthonormality = std::max(orthonormality, fabs(column_dot(v, n, i, j) - (i == j)));
        if (w[i + 1] > 1e-3f && w[j + 1] > 1e-3f)
          orthonormality = std::max(orthonormality, fabs(column_dot(u, m, i, j) - (i == j)));
      }
    EXPECT_LT(reconstruction, 2e-5 * std::max(m, n));
    EXPECT_LT(orthonormality, 1e-5 * n);
    EXPECT_EQ(std::count_if(&w[1], &w[n] + 1, [](float x) { return x > 1e-3f; }), std::min(m, n));
    EXPECT_GE(*std::min_element(&w[1], &w[n] + 1), 0.0f);
  }
}

// Signs go into U through the reflection and into V in the diagonalisation; values stay in
// the order they are left in. Negligibility is absolute: far below 1e-6 the superdiagonal
// left by the reduction is dropped and the bidiagonal's diagonal comes back.
TEST(SvdDecompose, SignsOrderZeroAndTinyScaleMatrices) {
  Matrix a(2, 2, {-3, 0, 0, 2}), b(2, 2, {1, 0, 0, 2}), v(2, 2), zero(3, 2, {0, 0, 0, 0, 0, 0});
  Matrix tiny(2, 2, {4e-8f, 3e-8f, 0, 5e-8f}), unit(2, 2, {4, 3, 0, 5});
  Vector w(2);
  svd_decompose(a, 2, 2, w, v);
  EXPECT_TRUE(w[1] == 3.0f && w[2] == 2.0f);
  a.expect({-1, 0, 0, -1});
  v.expect({1, 0, 0, -1});
  svd_decompose(b, 2, 2, w, v);
  EXPECT_TRUE(w[1] == 1.0f && w[2] == 2.0f);
  svd_decompose(zero, 3, 2, w, v);
  EXPECT_TRUE(w[1] == 0.0f && w[2] == 0.0f && !svd_not_converged);
  zero.expect({1, 0, 0, 1, 0, 0});
  v.expect({1, 0, 0, 1});
  svd_decompose(tiny, 2, 2, w, v);
  EXPECT_FLOAT_EQ(w[1], 4e-8f);
  EXPECT_FLOAT_EQ(w[2], 5e-8f);
  svd_decompose(unit, 2, 2, w, v);
  EXPECT_FLOAT_EQ(w[1] * w[1], 10.0f);
  EXPECT_FLOAT_EQ(w[2] * w[2], 40.0f);
  EXPECT_FLOAT_EQ(hypotenuse(1e30f, -1e30f), 1.41421356e30f);
  EXPECT_TRUE(hypotenuse(0.0f, 0.0f) == 0.0f && hypotenuse(-4.0f, 3.0f) == 5.0f);
}

// A subnormal pivot has no float reciprocal (it rounds to infinity); U and V must stay finite,
// and the product of the factors must still give the matrix, up to the superdiagonal that a
// matrix this small loses as negligible. Such pivots also arise from ordinary entries.
TEST(SvdDecompose, SubnormalPivotsLeaveFiniteFactors) {
  const float small = -5.70207e-29f;
  Matrix ordinary(3, 3, {8, 1000, small, 8, 0, 0, 1000, small, 0}),
      ordinary_copy(3, 3, {8, 1000, small, 8, 0, 0, 1000, small, 0});
  Matrix vo(3, 3);
  Vector wo(3);
  svd_decompose(ordinary, 3, 3, wo, vo);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      ASSERT_TRUE(isfinite(ordinary.at(i, j)) && isfinite(vo.at(i, j))) << i << ", " << j;
      double product = 0.0;
      for (int k = 0; k < 3; ++k) product += static_cast<double>(ordinary.at(i, k)) * wo[k + 1] * vo.at(j, k);
      EXPECT_NEAR(product, ordinary_copy.at(i, j), 1e-3) << i << ", " << j;
    }

  const float t = ldexpf(1.0f, -139);
  Matrix a(3, 3, {t, 0, 0, 0, 0, 0, 0, 0, 0}), b(2, 2, {t, 2 * t, 3 * t, -t}), original(2, 2, {t, 2 * t, 3 * t, -t});
  Matrix v(3, 3), vb(2, 2);
  Vector w(3), wb(2);
  svd_decompose(a, 3, 3, w, v);
  EXPECT_TRUE(w[1] == t && w[2] == 0.0f && w[3] == 0.0f);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) ASSERT_TRUE(isfinite(a.at(i, j)) && isfinite(v.at(i, j))) << i << ", " << j;
  EXPECT_EQ(a.at(0, 0) * w[1] * v.at(0, 0), t);
  svd_decompose(b, 2, 2, wb, vb);
  EXPECT_FALSE(svd_not_converged);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      double product = 0.0;
      for (int k = 0; k < 2; ++k) product += static_cast<double>(b.at(i, k)) * wb[k + 1] * vb.at(j, k);
      EXPECT_NEAR(product, original.at(i, j), t) << i << ", " << j;
    }
}

// A NaN is never negligible, so the iterations run out; the next clean call clears the flag.
// Counts below 1 stay inside the (empty) arrays: no rows gives w = 0 and V = I.
TEST(SvdDecompose, FlagsNonConvergenceAndAcceptsEmptyShapes) {
  Matrix bad(3, 3, {1, 2, 3, 4, NAN, 6, 7, 8, 10}), v(3, 3), no_rows(0, 3), no_columns(3, 0);
  Vector w(3), none(0);
  svd_decompose(bad, 3, 3, w, v);
  EXPECT_TRUE(svd_not_converged);
  for (int m : {0, -3}) {
    svd_decompose(no_rows, m, 3, w, v);
    EXPECT_TRUE(w[1] == 0.0f && w[2] == 0.0f && w[3] == 0.0f && !svd_not_converged);
    v.expect({1, 0, 0, 0, 1, 0, 0, 0, 1});
  }
  svd_not_converged = true;
  svd_decompose(no_columns, 3, -1, none, no_columns);
  EXPECT_FALSE(svd_not_converged);
}

namespace {

std::vector<float> basis_calls;

void recording_polynomial_basis(float x, float p[], int basis_count) {
  basis_calls.push_back(x);
  polynomial_basis(x, p, basis_count);
}

// 1, x and x again: two basis functions that coincide everywhere.
void repeated_line_basis(float x, float p[], int) { p[1] = 1.0f, p[2] = p[3] = x; }

}  // namespace

TEST(SvdLeastSquaresFit, FitsAStraightLineCallingTheBasisTwicePerPoint) {
  Vector x{0, 1, 2, 3, 4}, y{1, 3, 5, 7, 9}, sdev{1, 1, 1, 1, 1}, a(2), w(2);
  Matrix u(5, 2), v(2, 2), covariance(2, 2), identity(2, 2, {1, 0, 0, 1});
  float chi_square = -1.0f;
  basis_calls.clear();
  svd_least_squares_fit(x, y, sdev, 5, a, 2, u, v, w, &chi_square, recording_polynomial_basis);
  EXPECT_NEAR(a[1], 1.0f, 1e-5f);
  EXPECT_NEAR(a[2], 2.0f, 1e-5f);
  EXPECT_NEAR(chi_square, 0.0f, 1e-9f);
  EXPECT_EQ(basis_calls, (std::vector<float>{0, 1, 2, 3, 4, 0, 1, 2, 3, 4}));
  svd_covariance(v, 2, w, covariance);  // the textbook variances of a straight-line fit
  covariance.expect({0.6f, -0.2f, -0.2f, 0.1f}, 1e-5f);
  svd_covariance(identity, 2, Vector{2, 0}, covariance);
  covariance.expect({0.25f, 0, 0, 0});
}

TEST(SvdLeastSquaresFit, SharesTheWeightOfCoincidingBasisFunctions) {
  Vector x{-1, 0, 1, 2}, y{-1, 1, 3, 5}, sdev{1, 2, 1, 0.5f}, a(3), w(3), b{1, 2, 3, 4};
  Matrix u(4, 3), v(3, 3);
  float chi_square = -1.0f;
  svd_least_squares_fit(x, y, sdev, 4, a, 3, u, v, w, &chi_square, repeated_line_basis);
  EXPECT_EQ((w[1] == 0.0f) + (w[2] == 0.0f) + (w[3] == 0.0f), 1);
  for (int j = 1; j <= 3; ++j) EXPECT_NEAR(a[j], 1.0f, 1e-4f);
  EXPECT_NEAR(chi_square, 0.0f, 1e-6f);
  w[1] = w[2] = w[3] = 0.0f;
  svd_back_substitute(u, w, v, 4, 3, b, a);
  EXPECT_TRUE(a[1] == 0.0f && a[2] == 0.0f && a[3] == 0.0f);
}

// No data: zero coefficients without a call of the basis. No basis functions: nothing is
// touched. The arrays are empty, so the sanitizers catch any access.
TEST(SvdLeastSquaresFit, CountsBelowOneStayInsideTheArrays) {
  Vector none(0), a(2), w(2), one{1};
  Matrix no_rows(0, 2), v(2, 2), no_columns(1, 0);
  float chi_square = -1.0f;
  basis_calls.clear();
  for (int count : {0, -2}) {
    a[1] = a[2] = 7.0f;
    svd_least_squares_fit(none, none, none, count, a, 2, no_rows, v, w, &chi_square, recording_polynomial_basis);
    EXPECT_TRUE(a[1] == 0.0f && a[2] == 0.0f && w[1] == 0.0f && w[2] == 0.0f && chi_square == 0.0f);
  }
  chi_square = -1.0f;
  svd_least_squares_fit(one, one, one, 1, none, 0, no_columns, no_columns, none, &chi_square,
                        recording_polynomial_basis);
  EXPECT_EQ(chi_square, -1.0f);
  EXPECT_TRUE(basis_calls.empty());
  polynomial_basis(5.0f, none, 0);
}
