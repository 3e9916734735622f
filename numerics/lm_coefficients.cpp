#include "numerics/arrays.h"
#include "numerics/detail/fit_mask.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/detail/weights.h"
#include "numerics/fitting.h"

namespace numerics {
namespace {

// Adds one point's contributions to the lower triangle of the curvature and to the gradient,
// both indexed by fitted parameter.
void accumulate_point(const float derivatives[], const int fit_mask[], int param_count, float weight, float residual,
                      float** curvature, float gradient[]) {
  int j = 0;
  for (int l = 1; l <= param_count; ++l) {
    if (fit_mask[l] == 0) continue;
    ++j;
    const float weighted = derivatives[l] * weight;
    int k = 0;
    for (int m = 1; m <= l; ++m) {
      if (fit_mask[m] != 0) curvature[j][++k] += weighted * derivatives[m];
    }
    gradient[j] += residual * weighted;
  }
}

}  // namespace

void lm_coefficients(const float x[], const float y[], const float sdev[], int count, const float params[],
                     const int fit_mask[], int param_count, float** curvature, float gradient[], float* chi_square,
                     model_function model) {
  float* derivatives = vector(1, param_count);
  detail::scope_guard release_derivatives{[&] { release_vector(derivatives, 1, param_count); }};
  const int fitted = detail::count_fitted(fit_mask, param_count);
  for (int j = 1; j <= fitted; ++j) {
    for (int k = 1; k <= j; ++k) curvature[j][k] = 0.0f;
    gradient[j] = 0.0f;
  }
  *chi_square = 0.0f;

  for (int i = 1; i <= count; ++i) {
    float value;
    model(x[i], params, &value, derivatives, param_count);
    const float weight = detail::inverse_variance(sdev[i]);
    const float residual = y[i] - value;
    accumulate_point(derivatives, fit_mask, param_count, weight, residual, curvature, gradient);
    *chi_square += (residual * residual) * weight;
  }

  for (int j = 2; j <= fitted; ++j) {
    for (int k = 1; k < j; ++k) curvature[k][j] = curvature[j][k];
  }
}

}  // namespace numerics
