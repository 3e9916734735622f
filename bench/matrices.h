// Square test matrices, stored row after row, and the toolkit's 1-based matrices to hold them.
#ifndef BENCH_MATRICES_H
#define BENCH_MATRICES_H

#include <string>
#include <vector>

#include "harness.h"

namespace bench {

// 32, 64, ..., 512.
std::vector<int> matrix_sizes();
std::string square_label(int n);  // "32x32"

// Row-major n x n matrices, the same in every run: entries uniform in [-1, 1); the symmetric
// one mirrors them about the diagonal; the dominant one adds n to the diagonal, so that it is
// far from singular.
const std::vector<float>& general_matrix(int n);
const std::vector<float>& symmetric_matrix(int n);
const std::vector<float>& dominant_matrix(int n);

// The same matrix stored column after column, as LAPACK expects it.
std::vector<float> transposed(const std::vector<float>& row_major, int n);

// A matrix(1, rows, 1, columns) of the toolkit, released when it goes.
struct OffsetMatrix {
  OffsetMatrix(int rows, int columns);
  ~OffsetMatrix();
  OffsetMatrix(const OffsetMatrix&) = delete;
  OffsetMatrix& operator=(const OffsetMatrix&) = delete;

  // The element block is one row-major array from rows[1][1].
  Refill refill(const std::vector<float>& row_major) const;
  void fill(const std::vector<float>& row_major) const;

  int row_count, column_count;
  float** rows;
};

}  // namespace bench

#endif
