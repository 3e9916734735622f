#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>
#include <random>

#include "fatal.h"
#include "linear_algebra_test_support.h"
#include "numerics/linear_algebra.h"

using namespace numerics;
using numerics_test::Matrix;
using numerics_test::Vector;

TEST(Jacobi, DiagonalizesTheTwoByTwoExampleInOneRotation) {
  Matrix a(2, 2, {2, 1, 1, 2}), v(2, 2), diagonal(2, 2, {5, 0, 0, -1});
  Vector d(2);
  int rotations = -1;
  jacobi(a, 2, d, v, &rotations);
  const float r = 1.0f / sqrtf(2.0f);
  EXPECT_EQ(rotations, 1);
  EXPECT_TRUE(d[1] == 1.0f && d[2] == 3.0f);
  v.expect({r, r, -r, r}, 1e-7f);
  sort_eigen_descending(d, v, 2);
  EXPECT_TRUE(d[1] == 3.0f && d[2] == 1.0f);
  v.expect({r, r, r, -r}, 1e-7f);
  sort_eigen_descending(d, v, 1);
  v.expect({r, r, r, -r}, 1e-7f);
  d[1] = 1.0f;  // equal values: the later one is taken first, so the columns swap
  sort_eigen_descending(d, v, 2);
  v.expect({r, r, -r, r}, 1e-7f);

  jacobi(diagonal, 2, d, v, &rotations);
  EXPECT_TRUE(rotations == 0 && d[1] == 5.0f && d[2] == -1.0f);
  v.expect({1, 0, 0, 1});
  for (int n : {0, -4}) {
    jacobi(a, n, d, v, &rotations);
    EXPECT_EQ(rotations, 0);
  }
}

// A v = lambda v with V orthonormal, on random symmetric matrices. Junk in the strict lower
// triangle changes nothing, and it stays, like the diagonal, as it was.
TEST(Jacobi, FindsEigenpairsFromTheUpperTriangleOnly) {
  std::mt19937 generator(7);
  for (int n : {3, 12, 40}) {
    SCOPED_TRACE(n);
    Matrix original(n, n), symmetric(n, n), junk(n, n), before(n, n), v(n, n), v_junk(n, n);
    Vector d(n), d_junk(n);
    original.randomize(generator);
    junk.randomize(generator);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        original.at(j, i) = original.at(i, j);
        symmetric.at(i, j) = original.at(i, j);
        before.at(i, j) = junk.at(i, j) = j >= i ? original.at(i, j) : junk.at(i, j);
      }
    int rotations = 0, rotations_junk = 0;
    jacobi(symmetric, n, d, v, &rotations);
    jacobi(junk, n, d_junk, v_junk, &rotations_junk);
    EXPECT_EQ(rotations, rotations_junk);
    EXPECT_TRUE(std::equal(&d[1], &d[n] + 1, &d_junk[1]));
    double residual = 0.0, orthonormality = 0.0;
    for (int i = 1; i <= n; ++i)
      for (int k = 1; k <= n; ++k) {
        ASSERT_EQ(v[i][k], v_junk[i][k]);
        ASSERT_EQ(junk[i][k], k > i ? 0.0f : before[i][k]);
        double av = -static_cast<double>(d[k]) * v[i][k], dot = -(i == k);
        for (int j = 1; j <= n; ++j) {
          av += static_cast<double>(original[i][j]) * v[j][k];
          dot += static_cast<double>(v[j][i]) * v[j][k];
        }
        residual = std::max(residual, fabs(av));
        orthonormality = std::max(orthonormality, fabs(dot));
      }
    EXPECT_LT(residual, 1e-5 * n);
    EXPECT_LT(orthonormality, 1e-5 * n);
    sort_eigen_descending(d, v, n);
    EXPECT_TRUE(std::is_sorted(&d[1], &d[n] + 1, [](float x, float y) { return x > y; }));
  }
}

// A NaN can never be rotated away.
TEST(JacobiDeathTest, GivesUpAfterFiftySweeps) {
  Matrix a(2, 2, {1, NAN, NAN, 1}), v(2, 2);
  Vector d(2);
  int rotations = 0;
  EXPECT_RUN_TIME_ERROR(jacobi(a, 2, d, v, &rotations), "Too many iterations in routine jacobi");
}

TEST(MatrixHelpers, ProductsAndCopiesBetweenIndexConventions) {
  Matrix a(2, 3, {1, 2, 3, 4, 5, 6}, 0), g(2, 2, {}, 0), one_based(2, 3), back(2, 3, {}, 0);
  matrix_multiply_own_transpose(a, nullptr, g, 2, 99, 3);
  g.expect({14, 32, 32, 77});
  float y[2] = {9, 9};
  matrix_vector_multiply(a, nullptr, y, 2, 0);
  EXPECT_TRUE(y[0] == 0.0f && y[1] == 0.0f && dot_product(nullptr, nullptr, 0) == 0.0f);

  matrix_copy(a, one_based, 2, 3, 2);
  one_based.expect({1, 2, 3, 4, 5, 6});
  matrix_copy(one_based, back, 2, 3, 3);
  back.expect({1, 2, 3, 4, 5, 6});
  matrix_copy(g, back, 2, 2, 4);
  matrix_copy(g, back, 2, 2, -1);
  back.expect({1, 2, 3, 4, 5, 6});
  Matrix s(3, 3, {0, 0, 0, 0, 1, 2, 0, 3, 4}, 0), d(3, 3, {7, 7, 7, 7, 7, 7, 7, 7, 7}, 0);
  matrix_copy(s, d, 2, 2, 1);  // 1..rows x 1..cols: row and column 0 stay put
  d.expect({7, 7, 7, 7, 1, 2, 7, 3, 4});
}

TEST(SvdPseudoInverse, InvertsAndDropsNegligibleSingularValues) {
  Matrix diagonal(2, 2, {2, 0, 0, 4}, 0), general(2, 2, {1, 2, 3, 4}, 0), ones(2, 2, {1, 1, 1, 1}, 0),
      zero(2, 2, {0, 0, 0, 0}, 0), bad(2, 2, {1, NAN, 0, 1}, 0), p(2, 2, {}, 0);
  EXPECT_TRUE(svd_pseudo_inverse(diagonal, p, 2));
  p.expect({0.5f, 0, 0, 0.25f}, 1e-7f);
  EXPECT_TRUE(svd_pseudo_inverse(general, p, 2));
  p.expect({-2, 1, 1.5f, -0.5f}, 1e-5f);
  EXPECT_TRUE(svd_pseudo_inverse(ones, p, 2));
  p.expect({0.25f, 0.25f, 0.25f, 0.25f}, 1e-6f);
  EXPECT_TRUE(svd_pseudo_inverse(zero, p, 2));
  p.expect({0, 0, 0, 0});
  // A decomposition that did not converge is reported, not passed off as a result.
  EXPECT_FALSE(svd_pseudo_inverse(bad, p, 2));
  EXPECT_TRUE(svd_pseudo_inverse(p, p, 0) && svd_pseudo_inverse(p, p, -1));
}

// A rank-deficient matrix: A P A = A and P A P = P; with A and P in one storage the result is
// the same.
TEST(SvdPseudoInverse, SatisfiesThePenroseIdentitiesAlsoInPlace) {
  std::mt19937 generator(42);
  const int n = 6;
  Matrix a(n, n, {}, 0), p(n, n, {}, 0), in_place(n, n, {}, 0);
  a.randomize(generator);
  for (int j = 0; j < n; ++j) a.at(n - 1, j) = a.at(0, j) - 2.0f * a.at(1, j);
  for (int k = 0; k < n * n; ++k) in_place.at(k / n, k % n) = a.at(k / n, k % n);
  EXPECT_TRUE(svd_pseudo_inverse(a, p, n));
  EXPECT_TRUE(svd_pseudo_inverse(in_place, in_place, n));
  double apa = 0.0, pap = 0.0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      ASSERT_EQ(in_place.at(i, j), p.at(i, j));
      double sum_apa = -a.at(i, j), sum_pap = -p.at(i, j);
      for (int k = 0; k < n; ++k)
        for (int l = 0; l < n; ++l) {
          sum_apa += static_cast<double>(a.at(i, k)) * p.at(k, l) * a.at(l, j);
          sum_pap += static_cast<double>(p.at(i, k)) * a.at(k, l) * p.at(l, j);
        }
      apa = std::max(apa, fabs(sum_apa));
      pap = std::max(pap, fabs(sum_pap));
    }
  EXPECT_LT(apa, 1e-4);
  EXPECT_LT(pap, 1e-3);
}
