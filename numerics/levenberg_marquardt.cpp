#include "numerics/arrays.h"
#include "numerics/detail/fit_mask.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/fitting.h"

namespace numerics {
namespace {

// The fit in progress, from a starting call to the final call or an error. The four arrays
// exist exactly while a fit is in progress, so trial_params doubles as the "fitting" flag.
float* trial_params = nullptr;
float* gradient = nullptr;
float* increments = nullptr;
float** increments_matrix = nullptr;
int fitted_count = 0;
float previous_chi_square = 0.0f;

// Ends the fit. An error in a starting call may leave only some of the arrays allocated.
void release_state(int param_count) {
  if (increments_matrix != nullptr) release_matrix(increments_matrix, 1, fitted_count, 1, 1);
  if (increments != nullptr) release_vector(increments, 1, param_count);
  if (gradient != nullptr) release_vector(gradient, 1, param_count);
  if (trial_params != nullptr) release_vector(trial_params, 1, param_count);
  increments_matrix = nullptr;
  increments = nullptr;
  gradient = nullptr;
  trial_params = nullptr;
}

void start_fit(const float x[], const float y[], const float sdev[], int count, const float params[],
               const int fit_mask[], int param_count, float** curvature, float* chi_square, model_function model,
               float* lambda) {
  // An unfinished fit is abandoned, not leaked.
  release_state(param_count);
  trial_params = vector(1, param_count);
  gradient = vector(1, param_count);
  increments = vector(1, param_count);
  fitted_count = detail::count_fitted(fit_mask, param_count);
  increments_matrix = matrix(1, fitted_count, 1, 1);
  *lambda = 0.001f;
  lm_coefficients(x, y, sdev, count, params, fit_mask, param_count, curvature, gradient, chi_square, model);
  previous_chi_square = *chi_square;
  for (int l = 1; l <= param_count; ++l) trial_params[l] = params[l];
}

// Solves the system damped by (1 + lambda) on the diagonal; covariance receives the inverse
// of the damped matrix and `increments` the parameter changes.
void solve_damped_system(float** covariance, float** curvature, float lambda) {
  for (int j = 1; j <= fitted_count; ++j) {
    for (int k = 1; k <= fitted_count; ++k) covariance[j][k] = curvature[j][k];
    covariance[j][j] = static_cast<float>(static_cast<double>(curvature[j][j]) * (1.0 + static_cast<double>(lambda)));
    increments_matrix[j][1] = gradient[j];
  }
  gaussj(covariance, fitted_count, increments_matrix, 1);
  for (int j = 1; j <= fitted_count; ++j) increments[j] = increments_matrix[j][1];
}

void accept_trial(float params[], int param_count, float** covariance, float** curvature, float chi_square,
                  float* lambda) {
  *lambda = static_cast<float>(static_cast<double>(*lambda) * 0.1);
  previous_chi_square = chi_square;
  for (int j = 1; j <= fitted_count; ++j) {
    for (int k = 1; k <= fitted_count; ++k) curvature[j][k] = covariance[j][k];
    gradient[j] = increments[j];
  }
  for (int l = 1; l <= param_count; ++l) params[l] = trial_params[l];
}

void reject_trial(float* chi_square, float* lambda) {
  *lambda = static_cast<float>(static_cast<double>(*lambda) * 10.0);
  *chi_square = previous_chi_square;
}

}  // namespace

void lm_step(const float x[], const float y[], const float sdev[], int count, float params[], const int fit_mask[],
             int param_count, float** covariance, float** curvature, float* chi_square, model_function model,
             float* lambda) {
  // The fit ends with this call unless the call completes a step: on the final call, and when
  // an error (a handler's or the model's exception) passes through, so that the next call must
  // be a starting call.
  detail::scope_guard end_fit{[&] { release_state(param_count); }};
  if (static_cast<double>(*lambda) < 0.0) {
    start_fit(x, y, sdev, count, params, fit_mask, param_count, curvature, chi_square, model, lambda);
  } else if (trial_params == nullptr) {
    run_time_error("lm_step: no fit in progress");
  }

  solve_damped_system(covariance, curvature, *lambda);

  if (static_cast<double>(*lambda) == 0.0) {
    // With lambda 0 the matrix just inverted is the curvature itself.
    expand_covariance(covariance, param_count, fit_mask, fitted_count);
    return;
  }

  int j = 0;
  for (int l = 1; l <= param_count; ++l) {
    if (fit_mask[l] != 0) trial_params[l] = params[l] + increments[++j];
  }
  // The trial's curvature goes to covariance and its gradient to increments until accepted.
  lm_coefficients(x, y, sdev, count, trial_params, fit_mask, param_count, covariance, increments, chi_square, model);
  if (previous_chi_square > *chi_square) {
    accept_trial(params, param_count, covariance, curvature, *chi_square, lambda);
  } else {
    reject_trial(chi_square, lambda);
  }
  end_fit.dismiss();
}

}  // namespace numerics
