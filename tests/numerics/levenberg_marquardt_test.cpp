#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fatal.h"
#include "numerics/arrays.h"
#include "numerics/fitting.h"

using namespace numerics;

namespace {

// Data, parameters and matrices of one fit, 1-based, sized to their exact ranges so that
// the sanitizers see any access outside them.
struct Fit {
  Fit(int count, int param_count)
      : count(count),
        param_count(param_count),
        x(vector(1, count)),
        y(vector(1, count)),
        sdev(vector(1, count)),
        params(vector(1, param_count)),
        fit_mask(ivector(1, param_count)),
        covariance(matrix(1, param_count, 1, param_count)),
        curvature(matrix(1, param_count, 1, param_count)) {
    for (int l = 1; l <= param_count; ++l) fit_mask[l] = 1;
  }
  ~Fit() {
    release_matrix(curvature, 1, param_count, 1, param_count);
    release_matrix(covariance, 1, param_count, 1, param_count);
    release_ivector(fit_mask, 1, param_count);
    release_vector(params, 1, param_count);
    release_vector(sdev, 1, count);
    release_vector(y, 1, count);
    release_vector(x, 1, count);
  }
  Fit(const Fit&) = delete;
  Fit& operator=(const Fit&) = delete;

  void step(model_function model) {
    lm_step(x, y, sdev, count, params, fit_mask, param_count, covariance, curvature, &chi_square, model, &lambda);
  }
  // Iterates from a starting call until steps stop being accepted, then ends the fit.
  void run(model_function model) {
    lambda = -1.0f;
    step(model);
    for (int i = 0; i < 200 && lambda < 1e6f; ++i) step(model);
    lambda = 0.0f;
    step(model);
  }

  int count;
  int param_count;
  float* x;
  float* y;
  float* sdev;
  float* params;
  int* fit_mask;
  float** covariance;
  float** curvature;
  float chi_square = -1.0f;
  float lambda = -1.0f;
};

// Samples of a sum of Gaussians with the given parameters, sdev 0.1, on [-3, 3].
void sample_gaussians(Fit& fit, const std::vector<float>& truth) {
  float* p = vector(1, fit.param_count);
  float* unused = vector(1, fit.param_count);
  for (int l = 1; l <= fit.param_count; ++l) p[l] = truth[l - 1];
  for (int i = 1; i <= fit.count; ++i) {
    fit.x[i] = -3.0f + 6.0f * static_cast<float>(i - 1) / static_cast<float>(fit.count - 1);
    gaussian_sum_model(fit.x[i], p, &fit.y[i], unused, fit.param_count);
    fit.sdev[i] = 0.1f;
  }
  release_vector(unused, 1, fit.param_count);
  release_vector(p, 1, fit.param_count);
}

// y = params[1] + params[2] * x, and a model that claims to depend on params[1] while its
// value never changes.
void line_model(float x, const float params[], float* value, float derivatives[], int) {
  *value = params[1] + params[2] * x;
  derivatives[1] = 1.0f;
  derivatives[2] = x;
}
void constant_model(float, const float[], float* value, float derivatives[], int) {
  *value = 1.0f;
  derivatives[1] = 1.0f;
}

// The inverse of the top-left n x n block of m, by the toolkit's own elimination.
std::vector<std::vector<float>> inverse_of(float** m, int n) {
  float** a = matrix(1, n, 1, n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) a[i][j] = m[i][j];
  gaussj(a, n, nullptr, 0);
  std::vector<std::vector<float>> result(n + 1, std::vector<float>(n + 1));
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) result[i][j] = a[i][j];
  release_matrix(a, 1, n, 1, n);
  return result;
}

}  // namespace

TEST(GaussianSumModel, ValuesDerivativesAndPartialTriples) {
  float* p = vector(1, 6);
  float* d = vector(1, 6);
  const float truth[] = {0, 2.0f, 0.5f, 0.75f, -1.5f, -1.0f, 1.25f};
  for (int l = 1; l <= 6; ++l) p[l] = truth[l];
  float value = 0.0f;
  gaussian_sum_model(0.5f, p, &value, d, 3);
  EXPECT_EQ(value, 2.0f);
  EXPECT_EQ(d[1], 1.0f);
  EXPECT_EQ(d[2], 0.0f);
  EXPECT_EQ(d[3], 0.0f);

  // Two Gaussians, checked against central differences of the value.
  const float x = 0.1f;
  gaussian_sum_model(x, p, &value, d, 6);
  const double first = 2.0 * std::exp(-std::pow((0.1 - 0.5) / 0.75, 2));
  const double second = -1.5 * std::exp(-std::pow((0.1 + 1.0) / 1.25, 2));
  EXPECT_NEAR(value, first + second, 1e-6);
  for (int l = 1; l <= 6; ++l) {
    const float kept = p[l];
    float* unused = vector(1, 6);
    float up = 0.0f;
    float down = 0.0f;
    p[l] = kept + 1e-2f;
    gaussian_sum_model(x, p, &up, unused, 6);
    p[l] = kept - 1e-2f;
    gaussian_sum_model(x, p, &down, unused, 6);
    p[l] = kept;
    release_vector(unused, 1, 6);
    EXPECT_NEAR(d[l], (up - down) / 2e-2, 2e-3) << "parameter " << l;
  }

  // One or two parameters beyond the last complete triple are ignored; the arrays here end
  // exactly where the parameters do.
  for (int extra : {1, 2}) {
    float* q = vector(1, 3 + extra);
    float* e = vector(1, 3 + extra);
    for (int l = 1; l <= 3 + extra; ++l) q[l] = p[l];
    e[4] = 42.0f;
    gaussian_sum_model(0.5f, q, &value, e, 3 + extra);
    EXPECT_EQ(value, 2.0f);
    EXPECT_EQ(e[4], 42.0f);
    release_vector(e, 1, 3 + extra);
    release_vector(q, 1, 3 + extra);
  }
  release_vector(d, 1, 6);
  release_vector(p, 1, 6);
}

TEST(LevenbergMarquardt, CoefficientsOfALineWithAFrozenParameter) {
  // Points (0, 1), (1, 2), (2, 5) with sdev 1, 1, 0.5; model 1 + 1 x.
  Fit fit(3, 2);
  const float xs[] = {0, 0.0f, 1.0f, 2.0f}, ys[] = {0, 1.0f, 2.0f, 5.0f}, ss[] = {0, 1.0f, 1.0f, 0.5f};
  for (int i = 1; i <= 3; ++i) fit.x[i] = xs[i], fit.y[i] = ys[i], fit.sdev[i] = ss[i];
  fit.params[1] = fit.params[2] = 1.0f;
  float* gradient = vector(1, 2);
  float chi_square = -1.0f;
  lm_coefficients(fit.x, fit.y, fit.sdev, 3, fit.params, fit.fit_mask, 2, fit.curvature, gradient, &chi_square,
                  line_model);
  // Weights 1, 1, 4; residuals 0, 0, 2.
  EXPECT_EQ(chi_square, 16.0f);
  EXPECT_EQ(fit.curvature[1][1], 6.0f);
  EXPECT_EQ(fit.curvature[1][2], 9.0f);
  EXPECT_EQ(fit.curvature[2][1], 9.0f);
  EXPECT_EQ(fit.curvature[2][2], 17.0f);
  EXPECT_EQ(gradient[1], 8.0f);
  EXPECT_EQ(gradient[2], 16.0f);

  // With the intercept frozen the slope is fitted parameter 1, and nothing else is written.
  fit.fit_mask[1] = 0;
  fit.curvature[1][2] = fit.curvature[2][1] = fit.curvature[2][2] = 99.0f;
  gradient[2] = 99.0f;
  lm_coefficients(fit.x, fit.y, fit.sdev, 3, fit.params, fit.fit_mask, 2, fit.curvature, gradient, &chi_square,
                  line_model);
  EXPECT_EQ(fit.curvature[1][1], 17.0f);
  EXPECT_EQ(gradient[1], 16.0f);
  EXPECT_EQ(fit.curvature[1][2], 99.0f);
  EXPECT_EQ(fit.curvature[2][2], 99.0f);
  EXPECT_EQ(gradient[2], 99.0f);
  release_vector(gradient, 1, 2);
}

TEST(LevenbergMarquardt, ExpandCovarianceMovesTheFittedBlockToItsPositions) {
  float** c = matrix(1, 5, 1, 5);
  const int mask[] = {0, 0, 1, 0, 1, 1};
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j) c[i][j] = i <= 3 && j <= 3 ? static_cast<float>(10 * i + j) : -1.0f;
  expand_covariance(c, 5, mask, 3);
  const int fitted[] = {0, 2, 4, 5};  // position of fitted parameter k
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j) {
      float expected = 0.0f;
      for (int r = 1; r <= 3; ++r)
        for (int s = 1; s <= 3; ++s)
          if (fitted[r] == i && fitted[s] == j) expected = static_cast<float>(10 * r + s);
      EXPECT_EQ(c[i][j], expected) << i << "," << j;
    }
  // All fitted: nothing moves.
  const int all[] = {0, 1, 1, 1, 1, 1};
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j) c[i][j] = static_cast<float>(10 * i + j);
  expand_covariance(c, 5, all, 5);
  for (int i = 1; i <= 5; ++i)
    for (int j = 1; j <= 5; ++j) EXPECT_EQ(c[i][j], static_cast<float>(10 * i + j));
  release_matrix(c, 1, 5, 1, 5);
}

TEST(LevenbergMarquardt, FitsOneAndTwoGaussians) {
  const std::vector<float> one = {2.0f, 0.5f, 0.75f};
  Fit single(61, 3);
  sample_gaussians(single, one);
  single.params[1] = 1.6f;
  single.params[2] = 0.2f;
  single.params[3] = 1.0f;
  single.run(gaussian_sum_model);
  for (int l = 1; l <= 3; ++l) EXPECT_NEAR(single.params[l], one[l - 1], 1e-4) << "parameter " << l;
  EXPECT_LT(single.chi_square, 1e-6f);

  const std::vector<float> two = {2.0f, -1.0f, 0.6f, 1.5f, 1.2f, 0.5f};
  Fit pair(121, 6);
  sample_gaussians(pair, two);
  const float start[] = {0, 1.7f, -0.8f, 0.8f, 1.8f, 1.0f, 0.6f};
  for (int l = 1; l <= 6; ++l) pair.params[l] = start[l];
  pair.run(gaussian_sum_model);
  for (int l = 1; l <= 6; ++l) EXPECT_NEAR(pair.params[l], two[l - 1], 1e-4) << "parameter " << l;

  // The final call changed nothing but the covariance, which is the inverse of the curvature
  // at the accepted parameters.
  const auto inverse = inverse_of(pair.curvature, 6);
  for (int i = 1; i <= 6; ++i)
    for (int j = 1; j <= 6; ++j) EXPECT_EQ(pair.covariance[i][j], inverse[i][j]) << i << "," << j;
  EXPECT_EQ(pair.lambda, 0.0f);
}

TEST(LevenbergMarquardt, FrozenParametersStayAndHaveNoCovariance) {
  const std::vector<float> truth = {2.0f, -1.0f, 0.6f, 1.5f, 1.2f, 0.5f};
  Fit fit(121, 6);
  sample_gaussians(fit, truth);
  // Freeze the second centre (off by 0.1) and the first height (exact).
  const float start[] = {0, 2.0f, -0.9f, 0.7f, 1.3f, 1.3f, 0.55f};
  for (int l = 1; l <= 6; ++l) fit.params[l] = start[l];
  fit.fit_mask[1] = 0;
  fit.fit_mask[5] = 0;
  fit.run(gaussian_sum_model);
  EXPECT_EQ(fit.params[1], start[1]);
  EXPECT_EQ(fit.params[5], start[5]);
  EXPECT_NE(fit.params[2], start[2]);

  const int position[] = {0, 2, 3, 4, 6};  // fitted parameter k sits at position[k]
  const auto inverse = inverse_of(fit.curvature, 4);
  for (int i = 1; i <= 6; ++i) {
    for (int f : {1, 5}) {
      EXPECT_EQ(fit.covariance[i][f], 0.0f);
      EXPECT_EQ(fit.covariance[f][i], 0.0f);
    }
  }
  for (int r = 1; r <= 4; ++r)
    for (int s = 1; s <= 4; ++s) EXPECT_EQ(fit.covariance[position[r]][position[s]], inverse[r][s]);
}

TEST(LevenbergMarquardt, StartingCallSetsTheDocumentedLambda) {
  // A trial that lowers chi-square: lambda 0.001f * 0.1 in double, rounded to float.
  Fit fit(3, 2);
  for (int i = 1; i <= 3; ++i) {
    fit.x[i] = static_cast<float>(i);
    fit.y[i] = 2.0f * fit.x[i] + 1.0f;
    fit.sdev[i] = 1.0f;
  }
  fit.params[1] = fit.params[2] = 0.0f;
  fit.lambda = -1.0f;
  fit.step(line_model);
  EXPECT_EQ(fit.lambda, 0.00010000000474974513f);
  EXPECT_NE(fit.lambda, 0.0001f);
  EXPECT_NE(fit.params[2], 0.0f);

  // Restarting abandons the unfinished fit (its storage is released, which the leak checker
  // sees). Starting from the exact line, the trial cannot improve: lambda 0.001f * 10.
  fit.params[1] = 1.0f;
  fit.params[2] = 2.0f;
  fit.lambda = -0.5f;
  fit.step(line_model);
  EXPECT_EQ(fit.lambda, 0.010000000707805157f);
  EXPECT_NE(fit.lambda, 0.01f);
  EXPECT_EQ(fit.params[1], 1.0f);
  EXPECT_EQ(fit.params[2], 2.0f);
  EXPECT_EQ(fit.chi_square, 0.0f);
  fit.lambda = 0.0f;
  fit.step(line_model);
}

TEST(LevenbergMarquardt, TrialOfEqualChiSquareIsRejected) {
  // The model's value never moves, so every trial has the chi-square of the start (4 per
  // point) while its derivative keeps proposing a step.
  Fit fit(2, 1);
  fit.x[1] = 0.0f;
  fit.x[2] = 1.0f;
  fit.y[1] = fit.y[2] = 3.0f;
  fit.sdev[1] = fit.sdev[2] = 1.0f;
  fit.params[1] = 5.0f;
  fit.lambda = -1.0f;
  fit.step(constant_model);
  EXPECT_EQ(fit.chi_square, 8.0f);
  EXPECT_EQ(fit.params[1], 5.0f);
  EXPECT_EQ(fit.lambda, 0.010000000707805157f);
  fit.step(constant_model);
  EXPECT_EQ(fit.chi_square, 8.0f);
  EXPECT_EQ(fit.params[1], 5.0f);
  EXPECT_EQ(fit.lambda, static_cast<float>(0.010000000707805157f * 10.0));
  EXPECT_EQ(fit.curvature[1][1], 2.0f);
  fit.lambda = 0.0f;
  fit.step(constant_model);
  EXPECT_EQ(fit.covariance[1][1], 0.5f);
  EXPECT_EQ(fit.chi_square, 8.0f);
  EXPECT_EQ(fit.params[1], 5.0f);
}

TEST(LevenbergMarquardt, EveryParameterFrozenIsAFitWithNothingToMove) {
  Fit fit(3, 3);
  sample_gaussians(fit, {2.0f, 0.5f, 0.75f});
  fit.params[1] = 1.0f;
  fit.params[2] = 0.0f;
  fit.params[3] = 1.0f;
  for (int l = 1; l <= 3; ++l) fit.fit_mask[l] = 0;
  fit.lambda = -1.0f;
  fit.step(gaussian_sum_model);
  const float chi_square = fit.chi_square;
  EXPECT_GT(chi_square, 0.0f);
  EXPECT_EQ(fit.lambda, 0.010000000707805157f);
  fit.step(gaussian_sum_model);
  EXPECT_EQ(fit.chi_square, chi_square);
  fit.lambda = 0.0f;
  fit.step(gaussian_sum_model);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(fit.covariance[i][j], 0.0f);
  EXPECT_EQ(fit.params[1], 1.0f);
}

TEST(LevenbergMarquardtDeathTest, StepsWithoutAFitInProgressEndTheProcess) {
  Fit fit(3, 2);
  for (int i = 1; i <= 3; ++i) fit.x[i] = fit.y[i] = fit.sdev[i] = 1.0f;
  fit.lambda = 0.001f;
  EXPECT_RUN_TIME_ERROR(fit.step(line_model), "lm_step: no fit in progress");
  fit.lambda = 0.0f;
  EXPECT_RUN_TIME_ERROR(fit.step(line_model), "lm_step: no fit in progress");
  // After a completed fit the state is idle again.
  fit.x[2] = 2.0f;
  fit.params[1] = fit.params[2] = 0.0f;
  fit.run(line_model);
  fit.lambda = 0.001f;
  EXPECT_RUN_TIME_ERROR(fit.step(line_model), "lm_step: no fit in progress");
}
