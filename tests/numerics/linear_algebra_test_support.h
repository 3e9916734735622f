// Owning wrappers around the toolkit's offset arrays, shared by the linear algebra tests.
#ifndef TESTS_NUMERICS_LINEAR_ALGEBRA_TEST_SUPPORT_H
#define TESTS_NUMERICS_LINEAR_ALGEBRA_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>

#include "numerics/arrays.h"

namespace numerics_test {

// A float matrix indexed from `low` (1 or 0), filled row-major from `values` if given;
// at(i, j) counts from 0 either way.
struct Matrix {
  Matrix(int rows, int cols, std::initializer_list<float> values = {}, int low = 1)
      : low(low), rows(rows), cols(cols), m(numerics::matrix(low, low + rows - 1, low, low + cols - 1)) {
    for (int k = 0; k < static_cast<int>(values.size()); ++k) at(k / cols, k % cols) = values.begin()[k];
  }
  Matrix(const Matrix&) = delete;
  ~Matrix() { numerics::release_matrix(m, low, 0, low, 0); }
  operator float**() const { return m; }
  float& at(int i, int j) const { return m[low + i][low + j]; }
  void randomize(std::mt19937& generator, const Matrix* copy = nullptr) const {
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    for (int k = 0; k < rows * cols; ++k) at(k / cols, k % cols) = uniform(generator);
    if (copy)
      for (int k = 0; k < rows * cols; ++k) copy->at(k / cols, k % cols) = at(k / cols, k % cols);
  }
  void expect(std::initializer_list<float> values, float tolerance = 0.0f) const {
    for (int k = 0; k < rows * cols; ++k) EXPECT_NEAR(at(k / cols, k % cols), values.begin()[k], tolerance) << k;
  }
  int low, rows, cols;
  float** m;
};

// A float vector over 1..n.
struct Vector {
  explicit Vector(int n) : n(n), v(numerics::vector(1, n)) {}
  Vector(std::initializer_list<float> values) : Vector(static_cast<int>(values.size())) {
    for (int i = 1; i <= n; ++i) v[i] = values.begin()[i - 1];
  }
  Vector(const Vector&) = delete;
  ~Vector() { numerics::release_vector(v, 1, n); }
  operator float*() const { return v; }
  int n;
  float* v;
};

}  // namespace numerics_test

#endif
