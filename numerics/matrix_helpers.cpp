// Small 0-based dense matrix and vector operations, and copies between 0- and 1-based storage.
#include "numerics/detail/linear_algebra/kernels.h"
#include "numerics/linear_algebra.h"

namespace numerics {

void matrix_multiply(float** a, float** b, float** g, int rows, int inner, int cols) {
  if (cols < 1) return;
  const detail::linear_algebra::kernels& kernel = detail::linear_algebra::active_kernels();
  // Row i of g is the sum over k of a[i][k] times row k of b: every element of the row keeps
  // its own sum in k order, and the row advances along b's rows.
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) g[i][j] = 0.0f;
    for (int k = 0; k < inner; ++k) kernel.add_scaled(g[i], b[k], a[i][k], cols);
  }
}

void matrix_times_own_transpose(float** a, float** g, int rows, int cols) {
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j <= i; ++j) g[i][j] = dot_product(a[i], a[j], cols);
    for (int j = 0; j < i; ++j) g[j][i] = g[i][j];
  }
}

void matrix_multiply_own_transpose(float** a, float**, float** g, int rows, int, int cols) {
  matrix_times_own_transpose(a, g, rows, cols);
}

void matrix_vector_multiply(float** a, const float x[], float y[], int rows, int cols) {
  for (int i = 0; i < rows; ++i) {
    y[i] = 0.0f;
    for (int j = 0; j < cols; ++j) y[i] += a[i][j] * x[j];
  }
}

float dot_product(const float a[], const float b[], int n) {
  float s = 0.0f;
  for (int i = 0; i < n; ++i) s += a[i] * b[i];
  return s;
}

void matrix_transpose(float** a, float** b, int rows, int cols) {
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) b[j][i] = a[i][j];
}

void matrix_copy(float** s, float** d, int rows, int cols, int mode) {
  // Index shifts of source and destination for each mode; other modes copy nothing.
  int source_shift = 0, destination_shift = 0;
  switch (mode) {
    case 0:
      break;
    case 1:
      source_shift = destination_shift = 1;
      break;
    case 2:
      destination_shift = 1;
      break;
    case 3:
      source_shift = 1;
      break;
    default:
      return;
  }
  for (int i = 0; i < rows; ++i) {
    float* to = d[i + destination_shift] + destination_shift;
    const float* from = s[i + source_shift] + source_shift;
    for (int j = 0; j < cols; ++j) to[j] = from[j];
  }
}

void scale_matrix_rows(const float s[], float** m, int rows, int cols) {
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) m[i][j] = m[i][j] * s[i];
}

}  // namespace numerics
