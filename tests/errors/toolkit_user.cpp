// Plugin code that uses the toolkit, built as a module of its own as a plugin author builds it:
// it installs a throwing handler, lets toolkit errors arise deep in toolkit routines, catches
// them in its own code and goes on. The test programs load it as a host would.
//
// With a C++ standard library it uses numerics/exceptions.h. The clang-cl build against Wine's
// libraries has none: there the module throws an exception class of its own, which needs only
// the compiler's runtime.
#include <stdio.h>
#include <string.h>

#include "numerics/numerics.h"

#if defined(_WIN32)
#include <windows.h>
#define TOOLKIT_USER_EXPORT extern "C" __declspec(dllexport)
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#else
#define TOOLKIT_USER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if __has_include(<stdexcept>)
#include "numerics/exceptions.h"
using numerics::throwing_handler_guard;
using numerics::toolkit_error;
#else
namespace {

// The message is copied: it is valid only while the handler runs.
class toolkit_error {
 public:
  explicit toolkit_error(const char* message) {
    strncpy(message_, message, sizeof message_ - 1);
    message_[sizeof message_ - 1] = '\0';
  }
  const char* what() const { return message_; }

 private:
  char message_[128];
};

[[noreturn]] void throw_toolkit_error(const char* message) { throw toolkit_error(message); }

class throwing_handler_guard {
 public:
  throwing_handler_guard() : previous_(numerics::set_run_time_error_handler(throw_toolkit_error)) {}
  ~throwing_handler_guard() { numerics::set_run_time_error_handler(previous_); }
  throwing_handler_guard(const throwing_handler_guard&) = delete;
  throwing_handler_guard& operator=(const throwing_handler_guard&) = delete;

 private:
  numerics::run_time_error_handler previous_;
};

}  // namespace
#endif

namespace {

void copy_message(const char* message, char* out, int size) {
  strncpy(out, message, static_cast<size_t>(size) - 1);
  out[size - 1] = '\0';
}

void note_and_return(const char* message) { fprintf(stderr, "noted: %s\n", message); }

// y = p1 + p2 x; p3 is a parameter the model does not depend on.
void line_model(float x, const float params[], float* value, float derivatives[], int) {
  *value = params[1] + params[2] * x;
  derivatives[1] = 1.0f;
  derivatives[2] = x;
  derivatives[3] = 0.0f;
}

// One Levenberg-Marquardt fit of the line 1 + 2x with the parameters marked in `mask`: a
// starting call, `steps` steps and the final call.
void fit_line_model(const int mask[4], int steps, float params[4]) {
  float x[6], y[6], sdev[6];
  for (int i = 1; i <= 5; ++i) {
    x[i] = static_cast<float>(i);
    y[i] = 1.0f + 2.0f * x[i];
    sdev[i] = 1.0f;
  }
  float** covariance = numerics::matrix(1, 3, 1, 3);
  float** curvature = numerics::matrix(1, 3, 1, 3);
  float chi_square = 0.0f;
  float lambda = -1.0f;
  try {
    for (int call = 0; call <= steps + 1; ++call) {
      if (call == steps + 1) lambda = 0.0f;
      numerics::lm_step(x, y, sdev, 5, params, mask, 3, covariance, curvature, &chi_square, line_model, &lambda);
    }
  } catch (...) {
    numerics::release_matrix(curvature, 1, 3, 1, 3);
    numerics::release_matrix(covariance, 1, 3, 1, 3);
    throw;
  }
  numerics::release_matrix(curvature, 1, 3, 1, 3);
  numerics::release_matrix(covariance, 1, 3, 1, 3);
}

// True when lm_step has no fit in progress: a step without a starting call is refused.
bool no_fit_in_progress() {
  const int mask[4] = {0, 1, 1, 0};
  float params[4] = {0.0f, 1.0f, 2.0f, 0.0f};
  float x[2] = {0.0f, 1.0f}, y[2] = {0.0f, 3.0f}, sdev[2] = {0.0f, 1.0f};
  float** covariance = numerics::matrix(1, 3, 1, 3);
  float** curvature = numerics::matrix(1, 3, 1, 3);
  float chi_square = 0.0f;
  float lambda = 0.001f;
  bool refused = false;
  try {
    numerics::lm_step(x, y, sdev, 1, params, mask, 3, covariance, curvature, &chi_square, line_model, &lambda);
  } catch (const toolkit_error& e) {
    refused = strcmp(e.what(), "lm_step: no fit in progress") == 0;
  }
  numerics::release_matrix(curvature, 1, 3, 1, 3);
  numerics::release_matrix(covariance, 1, 3, 1, 3);
  return refused;
}

}  // namespace

// A transform of three values, which no radix-2 transform can do. Returns 1 and the message
// when the error was caught here, 0 when the call returned.
TOOLKIT_USER_EXPORT int transform_three_values(char* message, int size) {
  throwing_handler_guard errors_throw;
  float data[7] = {0, 1, 2, 3, 4, 5, 6};
  try {
    numerics::complex_fft(data, 3, 1);
  } catch (const toolkit_error& e) {
    copy_message(e.what(), message, size);
    return 1;
  }
  return 0;
}

// A fit of a parameter the model ignores fails in Gauss-Jordan elimination, deep inside
// lm_step, which ends the fit as the exception passes; the plugin catches it and fits again
// without that parameter. Returns 1 and the message when the first fit failed, left no fit in
// progress, and the second gave the line; 0 otherwise.
TOOLKIT_USER_EXPORT int refit_without_the_idle_parameter(char* message, int size) {
  throwing_handler_guard errors_throw;
  const int all[4] = {0, 1, 1, 1};
  const int line_only[4] = {0, 1, 1, 0};
  float params[4] = {0.0f, 0.5f, 0.5f, 0.5f};
  try {
    fit_line_model(all, 2, params);
    return 0;
  } catch (const toolkit_error& e) {
    copy_message(e.what(), message, size);
  }
  if (!no_fit_in_progress()) return 0;
  fit_line_model(line_only, 20, params);
  const bool fitted = params[1] > 0.999f && params[1] < 1.001f && params[2] > 1.999f && params[2] < 2.001f;
  return fitted ? 1 : 0;
}

// Whether the default (report and exit) is in place, as every guard leaves it.
TOOLKIT_USER_EXPORT int default_handler_in_place() {
  const numerics::run_time_error_handler handler = numerics::set_run_time_error_handler(nullptr);
  numerics::set_run_time_error_handler(handler);
  return handler == nullptr ? 1 : 0;
}

// Meets an error with a handler that notes the message on standard error and returns, so that
// the default report and exit follow: never returns.
TOOLKIT_USER_EXPORT void fail_after_a_returning_handler() {
  numerics::set_run_time_error_handler(note_and_return);
  float data[7] = {};
  numerics::complex_fft(data, 3, 1);
}
