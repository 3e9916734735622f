// Model fitting on small arbitrary problems, NaN and infinities included: Gauss-Jordan
// elimination, Levenberg-Marquardt fits driven through arbitrary sequences of starting calls,
// steps and final calls, and the straight-line fit. Every call must end in its documented
// outcome, and the fits must keep their documented bookkeeping (damping factors, chi-square of
// the current parameters, frozen parameters, what a final call changes).
#include <float.h>
#include <math.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "arrays.h"
#include "draw.h"
#include "numerics/fitting.h"

using namespace numerics;
using fuzz::expect;
using fuzz::expect_outcome;
using fuzz::expect_returns;
using fuzz::Matrix;
using fuzz::Vector;

namespace {

bool same(float x, float y) { return fuzz::bits_of(x) == fuzz::bits_of(y) || (x != x && y != y); }

bool same(const Matrix& a, const Matrix& b) {
  for (int i = 1; i <= a.rows(); ++i)
    for (int j = 1; j <= a.cols(); ++j)
      if (!same(a[i][j], b[i][j])) return false;
  return true;
}

void copy(const Matrix& from, const Matrix& to) {
  for (int i = 1; i <= from.rows(); ++i)
    for (int j = 1; j <= from.cols(); ++j) to[i][j] = from[i][j];
}

bool finite(const Matrix& a) {
  for (int i = 1; i <= a.rows(); ++i)
    for (int j = 1; j <= a.cols(); ++j)
      if (!isfinite(a[i][j])) return false;
  return true;
}

bool small_integers(const Matrix& a) {
  for (int i = 1; i <= a.rows(); ++i)
    for (int j = 1; j <= a.cols(); ++j)
      if (!(fabsf(a[i][j]) <= 8.0f && a[i][j] == truncf(a[i][j]))) return false;
  return true;
}

double frobenius(const Matrix& a) {
  double s = 0;
  for (int i = 1; i <= a.rows(); ++i)
    for (int j = 1; j <= a.cols(); ++j) s += static_cast<double>(a[i][j]) * a[i][j];
  return sqrt(s);
}

// || A B - C ||_F for n x n A.
double residual(const Matrix& a, const Matrix& b, const Matrix& c) {
  double s = 0;
  for (int i = 1; i <= c.rows(); ++i) {
    for (int j = 1; j <= c.cols(); ++j) {
      double e = -static_cast<double>(c[i][j]);
      for (int k = 1; k <= a.cols(); ++k) e += static_cast<double>(a[i][k]) * b[k][j];
      s += e * e;
    }
  }
  return sqrt(s);
}

void fuzz_gaussj(FuzzedDataProvider& in) {
  const int n = in.ConsumeIntegralInRange(0, 6), m = in.ConsumeIntegralInRange(0, 3);
  Matrix a(n, n), b(n, m), original_a(n, n), original_b(n, m);
  fuzz::fill(in, a);
  fuzz::fill(in, b);
  copy(a, original_a);
  copy(b, original_b);
  const char* outcome = fuzz::outcome_of([&] { gaussj(a, n, b, m); });
  if (outcome != nullptr) {
    // Only NaN, in the input or from overflow on the way, leaves a search without a pivot;
    // small integers cannot overflow in a matrix this small.
    if (small_integers(original_a) || strcmp(outcome, "gaussj: Singular Matrix-1") != 0)
      expect_outcome(outcome, "gaussj: Singular Matrix-2");
    return;
  }
  if (!moderate(original_a) || !moderate(original_b) || !finite(a)) return;
  // The inverse and the solution, within what the conditioning allows.
  Matrix identity(n, n);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) identity[i][j] = i == j ? 1.0f : 0.0f;
  const double allowance = 64.0 * FLT_EPSILON * n * frobenius(original_a) * frobenius(a);
  expect(residual(original_a, a, identity) <= allowance * sqrt(static_cast<double>(n)), "A times its inverse is I");
  if (finite(b)) expect(residual(original_a, b, original_b) <= allowance * (frobenius(original_b) + 1e-30), "A X = B");
}

// Models: a sum of Gaussians (trailing parameters beyond whole triples do nothing and are kept
// frozen), a polynomial, and a line whose further parameters the model ignores (fitting one of
// those makes the damped matrix singular).
void polynomial_model(float x, const float params[], float* value, float derivatives[], int param_count) {
  float power = 1.0f;
  *value = 0.0f;
  for (int l = 1; l <= param_count; ++l) {
    *value += params[l] * power;
    derivatives[l] = power;
    power *= x;
  }
}

void line_with_idle_parameters(float x, const float params[], float* value, float derivatives[], int param_count) {
  *value = params[1] + (param_count >= 2 ? params[2] * x : 0.0f);
  for (int l = 1; l <= param_count; ++l) derivatives[l] = l == 1 ? 1.0f : l == 2 ? x : 0.0f;
}

struct Fit {
  model_function model;
  int count;
  int param_count;
  std::vector<int> mask;  // 1-based through mask_from_one()
  const int* mask_from_one() const { return mask.data() - 1; }
};

// The chi-square of params as the fit defines it, from the stateless coefficient routine.
float chi_square_of(const Fit& fit, const Vector& x, const Vector& y, const Vector& sdev, const Vector& params) {
  Matrix curvature(fit.param_count, fit.param_count);
  Vector gradient(fit.param_count);
  float chi_square = 0.0f;
  expect_returns([&] {
    lm_coefficients(x, y, sdev, fit.count, params, fit.mask_from_one(), fit.param_count, curvature, gradient,
                    &chi_square, fit.model);
  });
  return chi_square;
}

void fuzz_lm_step(FuzzedDataProvider& in) {
  Fit fit;
  const int model = in.ConsumeIntegralInRange(0, 2);
  fit.model = model == 0 ? gaussian_sum_model : model == 1 ? polynomial_model : line_with_idle_parameters;
  fit.param_count = in.ConsumeIntegralInRange(1, 7);
  fit.count = in.ConsumeIntegralInRange(0, 10);
  for (int l = 1; l <= fit.param_count; ++l)
    fit.mask.push_back(model == 0 && l > fit.param_count / 3 * 3 ? 0 : in.ConsumeIntegralInRange(0, 2));
  Vector x(fit.count), y(fit.count), sdev(fit.count), params(fit.param_count);
  fuzz::fill(in, x);
  fuzz::fill(in, y);
  fuzz::fill(in, sdev);
  fuzz::fill(in, params);
  Matrix covariance(fit.param_count, fit.param_count), curvature(fit.param_count, fit.param_count);
  const int pc = fit.param_count;
  bool in_progress = false;
  float lambda = 0.0f, chi_square = 0.0f;

  for (int call = 0; call < 8 && in.remaining_bytes() > 0; ++call) {
    // A starting call, a step, a final call, or a step or final call without a fit in progress.
    enum { start, step, final, stray } kind = static_cast<decltype(kind)>(in.ConsumeIntegralInRange(0, 3));
    if (kind == stray && in_progress) kind = step;
    if ((kind == step || kind == final) && !in_progress) kind = start;
    if (kind == start) lambda = -1.0f;
    if (kind == final) lambda = 0.0f;
    if (kind == stray) lambda = in.ConsumeBool() ? 0.0f : fabsf(fuzz::draw_float(in));
    const float called_with = lambda;
    Vector params_before(pc);
    Matrix curvature_before(pc, pc);
    for (int l = 1; l <= pc; ++l) params_before[l] = params[l];
    copy(curvature, curvature_before);
    const char* outcome = fuzz::outcome_of([&] {
      lm_step(x, y, sdev, fit.count, params, fit.mask_from_one(), pc, covariance, curvature, &chi_square, fit.model,
              &lambda);
    });
    for (int l = 1; l <= pc; ++l)
      expect(fit.mask[l - 1] != 0 || same(params[l], params_before[l]), "frozen parameters never change");
    if (kind == stray) {
      expect_outcome(outcome, "lm_step: no fit in progress");
      continue;
    }
    if (outcome != nullptr) {
      // A singular damped matrix. The error ends the fit: the next call must be a starting
      // call, which the stray calls check.
      if (strcmp(outcome, "gaussj: Singular Matrix-1") != 0) expect_outcome(outcome, "gaussj: Singular Matrix-2");
      for (int l = 1; l <= pc; ++l) expect(same(params[l], params_before[l]), "an error leaves the parameters");
      in_progress = false;
      continue;
    }
    if (kind == final) {
      expect(same(curvature, curvature_before), "the final call leaves the curvature");
      for (int l = 1; l <= pc; ++l) {
        expect(same(params[l], params_before[l]), "the final call leaves the parameters");
        for (int k = 1; k <= pc; ++k)
          expect((fit.mask[l - 1] != 0 && fit.mask[k - 1] != 0) || covariance[l][k] == 0.0f,
                 "frozen rows and columns of the covariance are 0");
      }
      in_progress = false;
      continue;
    }
    in_progress = true;
    expect(same(chi_square, chi_square_of(fit, x, y, sdev, params)), "chi-square is that of the parameters");
    const float damping = kind == start ? 0.001f : called_with;
    const float accepted = static_cast<float>(static_cast<double>(damping) * 0.1);
    const float rejected = static_cast<float>(static_cast<double>(damping) * 10.0);
    expect(lambda == accepted || lambda == rejected, "lambda times 0.1 or 10");
    if (lambda == rejected) {
      for (int l = 1; l <= pc; ++l) expect(same(params[l], params_before[l]), "a rejected step keeps the parameters");
      expect(kind == start || same(curvature, curvature_before), "a rejected step keeps the curvature");
    }
    bool any_fitted = false;
    for (int l = 1; l <= pc; ++l) any_fitted = any_fitted || fit.mask[l - 1] != 0;
    if (!any_fitted) expect(lambda == rejected, "with every parameter frozen each step is rejected");
  }
  if (in_progress) {
    lambda = 0.0f;
    const char* outcome = fuzz::outcome_of([&] {
      lm_step(x, y, sdev, fit.count, params, fit.mask_from_one(), pc, covariance, curvature, &chi_square, fit.model,
              &lambda);
    });
    if (outcome != nullptr && strcmp(outcome, "gaussj: Singular Matrix-1") != 0)
      expect_outcome(outcome, "gaussj: Singular Matrix-2");
  }
  // Ended either way: a step is refused.
  lambda = 0.001f;
  expect_outcome(fuzz::outcome_of([&] {
                   lm_step(x, y, sdev, fit.count, params, fit.mask_from_one(), pc, covariance, curvature, &chi_square,
                           fit.model, &lambda);
                 }),
                 "lm_step: no fit in progress");
}

void fuzz_fit_line(FuzzedDataProvider& in) {
  const int count = in.ConsumeIntegralInRange(-1, 10);
  const int use_sdev = in.PickValueInArray({0, 1, -3});
  const int n = count < 0 ? 0 : count;
  Vector x(n), y(n), sdev(n);
  fuzz::fill(in, x);
  fuzz::fill(in, y);
  fuzz::fill(in, sdev);
  // Run twice over outputs preset to two different values: a written output is the same in
  // both runs, one left alone keeps each run's preset.
  float out[2][6];
  const char* outcome[2];
  for (int run = 0; run < 2; ++run) {
    for (float& o : out[run]) o = run == 0 ? -1.0f : -2.0f;
    float* o = out[run];
    outcome[run] =
        fuzz::outcome_of([&] { fit_line(x, y, count, sdev, use_sdev, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5]); });
  }
  for (int k = 0; k < 5; ++k) expect(same(out[0][k], out[1][k]), "every output but goodness is written");
  if (use_sdev != 0 && count <= 2) {
    expect_outcome(outcome[0], "Invalid arguments in routine gammq");
    return expect(out[0][5] == -1.0f && out[1][5] == -2.0f, "goodness is not written then");
  }
  expect_outcome(outcome[0], nullptr);
  expect(same(out[0][5], out[1][5]), "goodness is written");
  const float* result = out[0];
  if (use_sdev == 0) return expect(result[5] == 1.0f, "an unweighted fit has goodness 1");
  expect(isnan(result[5]) || (result[5] >= 0.0f && result[5] <= 1.0f + 1e-4f), "goodness is a probability");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  for (int step = 0; step < 4 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
      case 0:
        fuzz_gaussj(in);
        break;
      case 1:
        fuzz_lm_step(in);
        break;
      default:
        fuzz_fit_line(in);
        break;
    }
  }
  return 0;
}
