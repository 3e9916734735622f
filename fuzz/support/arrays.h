// Owners of toolkit arrays for the fuzz targets: exactly the requested index ranges, so the
// sanitizer sees any step outside them, released when the owner goes.
#ifndef FUZZ_SUPPORT_ARRAYS_H
#define FUZZ_SUPPORT_ARRAYS_H

#include <fuzzer/FuzzedDataProvider.h>

#include "draw.h"
#include "numerics/arrays.h"

namespace fuzz {

// vector(low, low + n - 1); n >= 0.
class Vector {
 public:
  explicit Vector(int n, int low = 1) : n_(n), low_(low), v_(numerics::vector(low, low + n - 1)) {}
  ~Vector() { numerics::release_vector(v_, low_, low_ + n_ - 1); }
  Vector(const Vector&) = delete;
  Vector& operator=(const Vector&) = delete;
  operator float*() const { return v_; }
  int size() const { return n_; }
  int low() const { return low_; }

 private:
  int n_;
  int low_;
  float* v_;
};

// matrix(low, low + rows - 1, low, low + cols - 1); rows, cols >= 0.
class Matrix {
 public:
  Matrix(int rows, int cols, int low = 1)
      : rows_(rows), cols_(cols), low_(low), m_(numerics::matrix(low, low + rows - 1, low, low + cols - 1)) {}
  ~Matrix() { numerics::release_matrix(m_, low_, low_ + rows_ - 1, low_, low_ + cols_ - 1); }
  Matrix(const Matrix&) = delete;
  Matrix& operator=(const Matrix&) = delete;
  operator float**() const { return m_; }
  float* operator[](int i) const { return m_[i]; }
  int rows() const { return rows_; }
  int cols() const { return cols_; }
  int low() const { return low_; }

 private:
  int rows_;
  int cols_;
  int low_;
  float** m_;
};

inline void fill(FuzzedDataProvider& in, const Vector& v) {
  for (int i = v.low(); i < v.low() + v.size(); ++i) v[i] = draw_float(in);
}

inline void fill(FuzzedDataProvider& in, const Matrix& m) {
  for (int i = m.low(); i < m.low() + m.rows(); ++i)
    for (int j = m.low(); j < m.low() + m.cols(); ++j) m[i][j] = draw_float(in);
}

inline bool moderate(const Matrix& m) {
  for (int i = m.low(); i < m.low() + m.rows(); ++i)
    for (int j = m.low(); j < m.low() + m.cols(); ++j)
      if (!is_moderate(m[i][j])) return false;
  return true;
}

inline bool moderate(const Vector& v) {
  for (int i = v.low(); i < v.low() + v.size(); ++i)
    if (!is_moderate(v[i])) return false;
  return true;
}

}  // namespace fuzz

#endif
