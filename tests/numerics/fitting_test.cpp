#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "fatal.h"
#include "numerics/arrays.h"
#include "numerics/fitting.h"

using namespace numerics;

namespace {

// A 1-based float matrix over its exact range, filled row by row from `values` if given.
struct Matrix {
  Matrix(int rows, int cols, std::vector<float> values = {}) : rows(rows), cols(cols), m(matrix(1, rows, 1, cols)) {
    for (size_t k = 0; k < values.size(); ++k) m[1 + k / cols][1 + k % cols] = values[k];
  }
  ~Matrix() { release_matrix(m, 1, rows, 1, cols); }
  float* operator[](int i) const { return m[i]; }
  int rows, cols;
  float** m;
};

// `count` samples of a sum of Gaussians with parameters `truth` on [-3, 3] with sdev 0.1:
// rows 1..3 of `data` are x, y and sdev. Every parameter is fitted and starts at `guess`, or
// at the truth when no guess is given.
struct Fit {
  Fit(int count, std::vector<float> truth, std::vector<float> guess = {})
      : count(count),
        n(static_cast<int>(truth.size())),
        data(3, count),
        p(1, n, truth),
        mask(ivector(1, n)),
        covariance(n, n),
        curvature(n, n) {
    Matrix unused(1, n);
    for (int l = 1; l <= n; ++l) mask[l] = 1;
    for (int i = 1; i <= count; ++i) {
      data[1][i] = -3.0f + 6.0f * static_cast<float>(i - 1) / static_cast<float>(count - 1);
      gaussian_sum_model(data[1][i], p[1], &data[2][i], unused[1], n);
      data[3][i] = 0.1f;
    }
    std::copy(guess.begin(), guess.end(), p[1] + 1);
  }
  ~Fit() { release_ivector(mask, 1, n); }
  float* params() const { return p[1]; }
  void step(float new_lambda, model_function model = gaussian_sum_model) {
    lambda = new_lambda;
    step(model);
  }
  void step(model_function model = gaussian_sum_model) {
    lm_step(data[1], data[2], data[3], count, p[1], mask, n, covariance.m, curvature.m, &chi_square, model, &lambda);
  }
  // Starts, iterates until the steps keep being rejected, and ends the fit.
  void run() {
    step(-1.0f);
    for (int i = 0; i < 200 && lambda < 1e6f; ++i) step();
    step(0.0f);
  }
  // After the final call: the covariance at the fitted positions is exactly what gaussj makes
  // of the fitted block of the curvature (overwritten here); frozen rows and columns are 0.
  void expect_covariance_is_inverse_curvature() {
    std::vector<int> rank(n + 1);  // number of each fitted parameter, 0 for a frozen one
    int f = 0;
    for (int l = 1; l <= n; ++l) rank[l] = mask[l] != 0 ? ++f : 0;
    gaussj(curvature.m, f, nullptr, 0);
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j)
        EXPECT_EQ(covariance[i][j], rank[i] && rank[j] ? curvature[rank[i]][rank[j]] : 0.0f) << i << "," << j;
  }

  int count, n;
  Matrix data, p;
  int* mask;
  Matrix covariance, curvature;
  float chi_square = -1.0f, lambda = -1.0f;
};

// The six outputs of fit_line (intercept, slope, their uncertainties, chi-square,
// goodness); without deviations the fit is handed no sdev array at all.
std::vector<float> line_fit(std::vector<float> x, std::vector<float> y, std::vector<float> sdev = {}) {
  const int n = static_cast<int>(x.size());
  Matrix data(3, n);
  for (int i = 1; i <= n; ++i) {
    data[1][i] = x[i - 1];
    data[2][i] = y[i - 1];
    data[3][i] = sdev.empty() ? 0.0f : sdev[i - 1];
  }
  std::vector<float> out(6, -1.0f);
  fit_line(data[1], data[2], n, sdev.empty() ? nullptr : data[3], sdev.empty() ? 0 : 1, &out[0], &out[1], &out[2],
           &out[3], &out[4], &out[5]);
  return out;
}

// A model that claims to depend on params[1] while its value never changes.
void constant_model(float, const float[], float* value, float derivatives[], int) {
  *value = 1.0f;
  derivatives[1] = 1.0f;
}

}  // namespace

TEST(GaussJordan, InvertsAndSolvesRandomMatricesUpTo50) {
  std::mt19937 generator(20240611);
  std::uniform_real_distribution<float> entry(-1.0f, 1.0f);
  for (int n : {1, 2, 7, 16, 50}) {
    // A heavy entry in a random column of each row keeps the matrix well conditioned and
    // puts the pivots off the diagonal, so that rows and columns are swapped.
    std::vector<int> heavy(n);
    std::iota(heavy.begin(), heavy.end(), 1);
    std::shuffle(heavy.begin(), heavy.end(), generator);
    Matrix a(n, n), b(n, 2), original(n, n), rhs(n, 2);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) original[i][j] = a[i][j] = entry(generator) + (j == heavy[i - 1] ? n : 0);
      for (int j = 1; j <= 2; ++j) rhs[i][j] = b[i][j] = entry(generator);
    }
    gaussj(a.m, n, b.m, 2);
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n + 2; ++j) {  // original times [inverse | solution] is [identity | rhs]
        double sum = 0.0;
        for (int k = 1; k <= n; ++k) sum += static_cast<double>(original[i][k]) * (j <= n ? a[k][j] : b[k][j - n]);
        EXPECT_NEAR(sum, j <= n ? (i == j) : rhs[i][j - n], 1e-5) << n << ": " << i << "," << j;
      }
  }
}

TEST(GaussJordan, ExactCases) {
  Matrix one(1, 1, {3.0f}), b(1, 2, {1.0f, -6.0f});
  gaussj(one.m, 1, b.m, 2);
  const float third = static_cast<float>(1.0 / 3.0);
  EXPECT_EQ(one[1][1], third);
  EXPECT_EQ(b[1][1], third);
  EXPECT_EQ(b[1][2], -6.0f * third);

  // A permutation is inverted into its transpose, the right-hand side permuted alike; rows
  // are exchanged element by element and the row table stays as allocated. Without
  // right-hand sides b is never looked at.
  Matrix p(3, 3, {0, 1, 0, 0, 0, 1, 1, 0, 0}), rhs(3, 1, {10, 20, 30});
  float* const rows[] = {nullptr, p[1], p[2], p[3]};
  gaussj(p.m, 3, rhs.m, 1);
  EXPECT_EQ(std::vector<float>(p[1] + 1, p[3] + 4), std::vector<float>({0, 0, 1, 1, 0, 0, 0, 1, 0}));
  EXPECT_EQ(std::vector<float>(rhs[1] + 1, rhs[3] + 2), std::vector<float>({30, 10, 20}));
  gaussj(p.m, 3, nullptr, 0);
  EXPECT_EQ(std::vector<float>(p[1] + 1, p[3] + 4), std::vector<float>({0, 1, 0, 0, 0, 1, 1, 0, 0}));
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(p[i], rows[i]);

  // Equal diagonal magnitudes: row 2 is pivoted first, so 1/3 is rounded into the second
  // row and its diagonal element differs from the first one in the last bit. Taking row 1
  // first would exchange the two values.
  Matrix tie(2, 2, {3, 2, 1, 3});
  gaussj(tie.m, 2, nullptr, 0);
  EXPECT_EQ(std::vector<float>(tie[1] + 1, tie[2] + 3),
            std::vector<float>({0.428571433f, -0.285714298f, -0.142857149f, 0.428571463f}));
}

TEST(GaussJordanDeathTest, SingularMatricesEndTheProcess) {
  Matrix zero_row(2, 2, {1, 2, 0, 0}), zero_column(3, 3, {1, 0, 2, 3, 0, 4, 5, 0, 7});
  EXPECT_RUN_TIME_ERROR(gaussj(zero_row.m, 2, nullptr, 0), "gaussj: Singular Matrix-2");
  EXPECT_RUN_TIME_ERROR(gaussj(zero_column.m, 3, nullptr, 0), "gaussj: Singular Matrix-2");
  // Nothing but NaNs left to pivot on, at the first step and at a later one.
  Matrix all_nan(2, 2, {NAN, NAN, NAN, NAN}), late_nan(2, 2, {1, 0, 0, NAN});
  EXPECT_RUN_TIME_ERROR(gaussj(all_nan.m, 2, nullptr, 0), "gaussj: Singular Matrix-1");
  EXPECT_RUN_TIME_ERROR(gaussj(late_nan.m, 2, nullptr, 0), "gaussj: Singular Matrix-1");
}

TEST(GaussianSumModel, ValuesDerivativesAndPartialTriples) {
  Matrix p(1, 6, {2.0f, 0.5f, 0.75f, -1.5f, -1.0f, 1.25f}), d(1, 6);
  float value = 0.0f;
  gaussian_sum_model(0.5f, p[1], &value, d[1], 3);
  EXPECT_EQ(value, 2.0f);
  EXPECT_EQ(std::vector<float>(d[1] + 1, d[1] + 4), std::vector<float>({1, 0, 0}));
  // One width from the first centre: e = exp(-1), dy/dE = dy/dG = 2 B e / G.
  gaussian_sum_model(1.25f, p[1], &value, d[1], 6);
  const double e = std::exp(-1.0);
  EXPECT_FLOAT_EQ(value, 2.0 * e - 1.5 * std::exp(-std::pow(2.25 / 1.25, 2)));
  EXPECT_FLOAT_EQ(d[1][1], e);
  EXPECT_FLOAT_EQ(d[1][2], 4.0 * e / 0.75);
  EXPECT_FLOAT_EQ(d[1][3], 4.0 * e / 0.75);
  for (int partial : {4, 5}) {  // arrays that end with the partial triple, never reached
    Matrix q(1, partial, std::vector<float>(p[1] + 1, p[1] + 1 + partial)), dq(1, partial);
    gaussian_sum_model(0.5f, q[1], &value, dq[1], partial);
    EXPECT_EQ(value, 2.0f);
  }
}

TEST(LevenbergMarquardt, FitsOneAndTwoGaussians) {
  const std::vector<float> truth = {2.0f, -1.0f, 0.6f, 1.5f, 1.2f, 0.5f};
  Fit one(61, {2.0f, -1.0f, 0.6f}, {1.6f, -0.7f, 0.9f});
  one.run();
  for (int l = 1; l <= 3; ++l) EXPECT_NEAR(one.params()[l], truth[l - 1], 1e-4) << "parameter " << l;
  one.expect_covariance_is_inverse_curvature();

  Fit two(121, truth, {1.7f, -0.8f, 0.8f, 1.8f, 1.0f, 0.6f});
  two.run();
  for (int l = 1; l <= 6; ++l) EXPECT_NEAR(two.params()[l], truth[l - 1], 1e-4) << "parameter " << l;
  EXPECT_LT(two.chi_square, 1e-6f);
  EXPECT_EQ(two.lambda, 0.0f);
  two.expect_covariance_is_inverse_curvature();
}

TEST(LevenbergMarquardt, FrozenParametersKeepTheirValueAndHaveNoCovariance) {
  const std::vector<float> guess = {2.0f, -0.9f, 0.7f, 1.3f, 1.3f, 0.55f};
  Fit fit(121, {2.0f, -1.0f, 0.6f, 1.5f, 1.2f, 0.5f}, guess);
  fit.mask[1] = fit.mask[5] = 0;
  fit.run();
  EXPECT_EQ(fit.params()[1], guess[0]);
  EXPECT_EQ(fit.params()[5], guess[4]);
  EXPECT_NE(fit.params()[2], guess[1]);
  fit.expect_covariance_is_inverse_curvature();

  // With nothing to fit, every step is rejected and the covariance is all zeros.
  const std::vector<float> before(fit.params() + 1, fit.params() + 7);
  std::fill_n(fit.mask + 1, 6, 0);
  fit.run();
  EXPECT_EQ(std::vector<float>(fit.params() + 1, fit.params() + 7), before);
  fit.expect_covariance_is_inverse_curvature();
}

TEST(LevenbergMarquardt, StartingCallLambdaAndRejectionOfEqualChiSquare) {
  Fit fit(61, {2.0f, 0.5f, 0.75f}, {2.0f, 0.4f, 0.75f});
  fit.step(-1.0f);  // the trial improves: 0.001f * 0.1 in double, rounded to float
  EXPECT_EQ(fit.lambda, 0.00010000000474974513f);
  EXPECT_NE(fit.lambda, 0.0001f);
  EXPECT_NE(fit.params()[2], 0.4f);
  // Restarting abandons the unfinished fit (the leak checker sees its storage released).
  // From the exact parameters the trial cannot improve: 0.001f * 10.
  std::copy_n(std::vector<float>{2.0f, 0.5f, 0.75f}.begin(), 3, fit.params() + 1);
  fit.step(-3.0f);
  EXPECT_EQ(fit.lambda, 0.010000000707805157f);
  EXPECT_NE(fit.lambda, 0.01f);
  EXPECT_EQ(fit.params()[2], 0.5f);
  fit.step(0.0f);

  // Every trial of this model has the starting chi-square, 4 per point, while its derivative
  // keeps proposing a step: equal is not better.
  Fit flat(2, {5.0f});
  flat.data[2][1] = flat.data[2][2] = 3.0f;
  flat.data[3][1] = flat.data[3][2] = 1.0f;
  flat.step(-1.0f, constant_model);
  flat.step(constant_model);
  EXPECT_EQ(flat.lambda, static_cast<float>(0.010000000707805157f * 10.0));
  EXPECT_EQ(flat.chi_square, 8.0f);
  EXPECT_EQ(flat.params()[1], 5.0f);
  flat.step(0.0f, constant_model);
  EXPECT_EQ(flat.covariance[1][1], 0.5f);  // the inverse of the curvature 2
  EXPECT_EQ(flat.chi_square, 8.0f);
}

TEST(LevenbergMarquardtDeathTest, StepsWithoutAFitInProgressEndTheProcess) {
  Fit fit(21, {2.0f, 0.5f, 0.75f});
  EXPECT_RUN_TIME_ERROR(fit.step(0.001f), "lm_step: no fit in progress");
  EXPECT_RUN_TIME_ERROR(fit.step(0.0f), "lm_step: no fit in progress");
  fit.run();  // a finished fit leaves nothing in progress
  EXPECT_RUN_TIME_ERROR(fit.step(0.001f), "lm_step: no fit in progress");
}

TEST(LineFit, PointsOnALine) {
  // The uncertainties are scaled by a scatter of 0.
  EXPECT_EQ(line_fit({1, 2, 3, 4, 5}, {3, 5, 7, 9, 11}), std::vector<float>({1, 2, 0, 0, 0, 1}));
  // Unit deviations give the same line, uncertainties from S = 5, S_x = 15, S_tt = 10 alone,
  // and the goodness of a chi-square of 0.
  const float intercept_sdev = static_cast<float>(std::sqrt((1.0 + 4.5) / 5.0));
  const float slope_sdev = static_cast<float>(std::sqrt(1.0 / 10.0));
  EXPECT_EQ(line_fit({1, 2, 3, 4, 5}, {3, 5, 7, 9, 11}, {1, 1, 1, 1, 1}),
            std::vector<float>({1, 2, intercept_sdev, slope_sdev, 0, 1}));
}

TEST(LineFit, ScatterGoodnessAndUncertainties) {
  // Residuals -0.5, 0.5, 0.5, -0.5 about y = 0.5: chi-square 1, scatter sqrt(1/2) when
  // unweighted, goodness Q(1, 1/2) = exp(-1/2) with unit deviations.
  const auto plain = line_fit({0, 1, 2, 3}, {0, 1, 1, 0});
  const auto weighted = line_fit({0, 1, 2, 3}, {0, 1, 1, 0}, {1, 1, 1, 1});
  EXPECT_EQ(plain[0], 0.5f);
  EXPECT_EQ(plain[1], 0.0f);
  EXPECT_EQ(plain[4], 1.0f);
  EXPECT_EQ(plain[5], 1.0f);
  EXPECT_FLOAT_EQ(plain[3], std::sqrt(1.0 / 5.0) * std::sqrt(0.5));
  EXPECT_FLOAT_EQ(plain[2], std::sqrt((1.0 + 36.0 / 20.0) / 4.0) * std::sqrt(0.5));
  EXPECT_FLOAT_EQ(weighted[3], std::sqrt(1.0 / 5.0));
  EXPECT_EQ(weighted[4], 1.0f);
  EXPECT_NEAR(weighted[5], std::exp(-0.5), 1e-6);
  EXPECT_EQ(line_fit({0, 1, 2, 3, 4, 5}, {9, -3, 4, 100, 0.25f, 7})[5], 1.0f);
  // Two unweighted points: no degree of freedom left, the uncertainties are NaN.
  const auto two = line_fit({0, 1}, {0, 1});
  EXPECT_TRUE(std::isnan(two[2]) && std::isnan(two[3]));
  // Weighted uncertainties follow from the abscissas and deviations alone.
  const auto a = line_fit({-1, 0.5f, 2, 7}, {3, 1, 4, 1}, {0.5f, 1, 2, 0.25f});
  const auto b = line_fit({-1, 0.5f, 2, 7}, {-20, 55, 0.125f, 9}, {0.5f, 1, 2, 0.25f});
  EXPECT_NE(a[1], b[1]);
  EXPECT_EQ(a[2], b[2]);
  EXPECT_EQ(a[3], b[3]);
}

// Degenerate weighted fits give NaN or infinite results and a goodness of NaN (NaN
// chi-square) or 0 (infinite chi-square); they must not end the process in gammq.
TEST(LineFit, DegenerateWeightedFitsReturn) {
  const auto zero_deviation = line_fit({0, 1, 2, 3}, {0, 1, 1, 0}, {1, 0, 1, 1});
  EXPECT_TRUE(std::isnan(zero_deviation[4]) && std::isnan(zero_deviation[5]));
  const auto equal_abscissas = line_fit({2, 2, 2}, {0, 1, 5}, {1, 1, 1});
  EXPECT_TRUE(std::isnan(equal_abscissas[1]) && std::isnan(equal_abscissas[5]));
  const auto overflowing = line_fit({0, 1, 2}, {0, 3e19f, 0}, {1, 1, 1});
  EXPECT_TRUE(std::isinf(overflowing[4]) && overflowing[5] == 0.0f);
}

TEST(LineFitDeathTest, WeightedFitOfTwoPointsEndsTheProcess) {
  EXPECT_RUN_TIME_ERROR(line_fit({0, 1}, {0, 1}, {1, 1}), "Invalid arguments in routine gammq");
}
