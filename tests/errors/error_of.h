// Running toolkit calls under the throwing handler, and arrays for them on the test's own heap
// (std::vector), so that every block counted during a call is the toolkit's.
#ifndef TESTS_ERRORS_ERROR_OF_H
#define TESTS_ERRORS_ERROR_OF_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "counted_heap.h"
#include "numerics/exceptions.h"
#include "numerics/fitting.h"

namespace errors_test {

// Runs call() with the throwing handler installed and returns what() of the toolkit_error it
// threw ("(returned)" when it returned). The call must leave no heap block behind either way.
template <typename Call>
std::string error_of(Call&& call) {
  numerics::throwing_handler_guard errors_throw;
  std::string message = "(returned)";
  message.reserve(200);  // so that no block of the message's own falls into the count
  const long before = counted_heap::live_blocks();
  try {
    call();
  } catch (const numerics::toolkit_error& e) {
    message = e.what();
  }
  EXPECT_EQ(counted_heap::live_blocks(), before) << "heap blocks left by a call that ended in: " << message;
  return message;
}

// A 1-based vector v[1..n] (v[0] exists and is not used).
template <typename T>
struct Vec {
  explicit Vec(int n, T value = T()) : elements(static_cast<size_t>(n) + 1, value) {}
  operator T*() { return elements.data(); }
  T& operator[](int i) { return elements[static_cast<size_t>(i)]; }
  std::vector<T> elements;
};

// A 1-based matrix m[1..rows][1..cols] as a table of row pointers.
struct Grid {
  Grid(int rows, int cols, float value = 0.0f)
      : elements(static_cast<size_t>(rows + 1) * (cols + 1), value), row_table(static_cast<size_t>(rows) + 1) {
    for (int i = 0; i <= rows; ++i) row_table[static_cast<size_t>(i)] = &elements[static_cast<size_t>(i) * (cols + 1)];
  }
  operator float**() { return row_table.data(); }
  float* operator[](int i) { return row_table[static_cast<size_t>(i)]; }
  std::vector<float> elements;
  std::vector<float*> row_table;
};

// A small Levenberg-Marquardt problem: the line y = 1 + 2x at five points, fitted with the
// parameters (intercept, slope, idle), where the model does not depend on the third. Fitting
// the third makes the damped matrix singular.
struct LineFit {
  explicit LineFit(bool fit_idle_parameter);
  // One lm_step call with *lambda = lambda, under whatever handler is installed.
  void step(float lambda, numerics::model_function model = line_model);
  static void line_model(float x, const float params[], float* value, float derivatives[], int param_count);

  static constexpr int count = 5;
  static constexpr int param_count = 3;
  Vec<float> x{count}, y{count}, sdev{count, 1.0f}, params{param_count, 0.5f};
  Vec<int> mask{param_count, 1};
  Grid covariance{param_count, param_count}, curvature{param_count, param_count};
  float chi_square = 0.0f;
  float lambda = 0.0f;
};

// lm_step is idle: a step without a starting call is refused, and a whole fit runs.
void expect_no_fit_in_progress();

}  // namespace errors_test

#endif
