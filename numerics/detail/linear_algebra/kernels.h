// The vector kernels of the dense linear algebra routines (SVD, Jacobi, Gauss-Jordan and the
// matrix product), one table per vector path.
//
// Each kernel does, for every element, the float operations of the plain loop given in its
// comment, on the same operands and in the same order; only independent work (other elements,
// other rows) runs side by side, so every path gives the same bits. The routines ask for
// `active_kernels()` once per call.
#ifndef NUMERICS_DETAIL_LINEAR_ALGEBRA_KERNELS_H
#define NUMERICS_DETAIL_LINEAR_ALGEBRA_KERNELS_H

namespace numerics::detail::linear_algebra {

// The Jacobi rotations of one row of the upper triangle that wait to be applied to the
// columns q = first..first + length - 1: rotated[q - first] says whether the element of column
// q was rotated, with sine s[q - first] and tau[q - first] = s / (1 + cos).
struct pivot_window {
  int first;
  int length;
  const float* s;
  const float* tau;
  const unsigned char* rotated;
};

struct kernels {
  // y[k] = y[k] + x[k] * alpha for k = 0..n - 1.
  void (*add_scaled)(float* y, const float* x, float alpha, int n);
  // y[k] = y[k] - x[k] * alpha for k = 0..n - 1.
  void (*subtract_scaled)(float* y, const float* x, float alpha, int n);
  // out[r] = sum over k = 0..length - 1 of rows[r][first + k] * x[k], from 0 in k order, for
  // r = 0..count - 1.
  void (*row_dots)(float* const* rows, int count, int first, int length, const float* x, float* out);
  // For r = 0..count - 1, with t that sum for x = u: rows[r][first + k] += t * e[k] for every k.
  void (*reflect_rows)(float* const* rows, int count, int first, int length, const float* u, const float* e);
  // For every row r = 0..count - 1 and j = 0..rotations - 1 in turn, with p = rows[r][first + j]
  // and q = rows[r][first + j + 1]: rows[r][first + j] = p * c[j] + q * s[j] and
  // rows[r][first + j + 1] = q * c[j] - p * s[j].
  void (*rotate_adjacent_columns)(float* const* rows, int count, int first, int rotations, const float* c,
                                  const float* s);
  // Jacobi's rotation of the pairs (x[k], y[k]), k = 0..n - 1: with g and h their old values,
  // x[k] = g - s * (h + g * tau) and y[k] = h + s * (g - h * tau).
  void (*rotate_pairs)(float* x, float* y, int n, float s, float tau);
  // For r = 0..count - 1, with x the pivot of row r (pivots[r] when pivots is not null, else
  // rows[r][pivot]): the pairs (x, rows[r][q]) rotated as above by each rotation of the window,
  // in increasing q, for the q from begin + r * stagger on.
  void (*rotate_against_pivot)(float* const* rows, int count, int pivot, float* pivots, int begin, int stagger,
                               const pivot_window& window);
  // The largest |row[k]| over the k = 0..n - 1 with counts[k] == 0, NaNs left out; 0 when there
  // is no such element or all are NaN.
  float (*largest_candidate)(const float* row, const int* counts, int n);
};

// One table per path, each defined in the source file compiled for that path.
extern const kernels sse2_kernels;
extern const kernels avx2_kernels;
extern const kernels avx512_kernels;

// The table of the vector path in use (numerics/detail/cpu_dispatch.h).
const kernels& active_kernels();

}  // namespace numerics::detail::linear_algebra

#endif
