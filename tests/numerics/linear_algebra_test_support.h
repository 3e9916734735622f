// Owning wrappers around the toolkit's offset arrays and small checks shared by the linear
// algebra tests.
#ifndef TESTS_NUMERICS_LINEAR_ALGEBRA_TEST_SUPPORT_H
#define TESTS_NUMERICS_LINEAR_ALGEBRA_TEST_SUPPORT_H

#include <initializer_list>
#include <random>

#include "numerics/arrays.h"

namespace numerics_test {

// A float matrix over [low..low + rows - 1] x [low..low + cols - 1], released on scope exit.
class Matrix {
 public:
  Matrix(int rows, int cols, int low = 1)
      : low_(low), rows_(rows), cols_(cols),
        m_(numerics::matrix(low, low + rows - 1, low, low + cols - 1)) {}
  // Row-major values from the first row on.
  Matrix(int rows, int cols, std::initializer_list<float> values, int low = 1) : Matrix(rows, cols, low) {
    auto it = values.begin();
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < cols; ++j) at(i, j) = *it++;
  }
  Matrix(const Matrix&) = delete;
  Matrix& operator=(const Matrix&) = delete;
  ~Matrix() { numerics::release_matrix(m_, low_, low_ + rows_ - 1, low_, low_ + cols_ - 1); }

  operator float**() const { return m_; }
  // Element by 0-based position, whatever the matrix's own indexing.
  float& at(int i, int j) const { return m_[low_ + i][low_ + j]; }
  void fill(float value) const {
    for (int i = 0; i < rows_; ++i)
      for (int j = 0; j < cols_; ++j) at(i, j) = value;
  }
  void randomize(std::mt19937& generator) const {
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    for (int i = 0; i < rows_; ++i)
      for (int j = 0; j < cols_; ++j) at(i, j) = uniform(generator);
  }

 private:
  int low_, rows_, cols_;
  float** m_;
};

// A float vector over [1..n], released on scope exit.
class Vector {
 public:
  explicit Vector(int n) : n_(n), v_(numerics::vector(1, n)) {}
  Vector(std::initializer_list<float> values) : Vector(static_cast<int>(values.size())) {
    int i = 1;
    for (float value : values) v_[i++] = value;
  }
  Vector(const Vector&) = delete;
  Vector& operator=(const Vector&) = delete;
  ~Vector() { numerics::release_vector(v_, 1, n_); }

  operator float*() const { return v_; }

 private:
  int n_;
  float* v_;
};

}  // namespace numerics_test

#endif
