#include "error_of.h"

namespace errors_test {
namespace {

// The first exception in a process makes the C++ runtime set up storage that it keeps (with
// MinGW-w64's static runtime, from the counted heap); one thrown at start-up keeps that out of
// the counts.
const bool first_exception_thrown = [] {
  try {
    throw numerics::toolkit_error("start-up");
  } catch (const numerics::toolkit_error&) {
  }
  return true;
}();

}  // namespace

LineFit::LineFit(bool fit_idle_parameter) {
  for (int i = 1; i <= count; ++i) {
    x[i] = static_cast<float>(i);
    y[i] = 1.0f + 2.0f * x[i];
  }
  mask[3] = fit_idle_parameter ? 1 : 0;
}

void LineFit::step(float new_lambda, numerics::model_function model) {
  lambda = new_lambda;
  numerics::lm_step(x, y, sdev, count, params, mask, param_count, covariance, curvature, &chi_square, model, &lambda);
}

void LineFit::line_model(float x, const float params[], float* value, float derivatives[], int) {
  *value = params[1] + params[2] * x;
  derivatives[1] = 1.0f;
  derivatives[2] = x;
  derivatives[3] = 0.0f;
}

void expect_no_fit_in_progress() {
  LineFit fit(false);
  EXPECT_EQ(error_of([&] { fit.step(0.001f); }), "lm_step: no fit in progress");
  EXPECT_EQ(error_of([&] {
              fit.step(-1.0f);
              fit.step(fit.lambda);
              fit.step(0.0f);
            }),
            "(returned)");
  EXPECT_EQ(error_of([&] { fit.step(0.0f); }), "lm_step: no fit in progress");
}

}  // namespace errors_test
