#include <stdlib.h>

#include "numerics/arrays.h"
#include "numerics/detail/offset_storage.h"
#include "numerics/detail/scope_guard.h"

namespace numerics {
namespace {

using detail::allocate_elements;
using detail::at_least_one;
using detail::checked_product;
using detail::displaced;
using detail::range_count;
using detail::scope_guard;

template <typename T>
T** offset_matrix(int row_low, int row_high, int col_low, int col_high) {
  const int64_t nrow = range_count(row_low, row_high);
  const int64_t ncol = range_count(col_low, col_high);
  // The table always has its first entry: it is where release finds the element block,
  // also for a matrix without rows.
  T** rows = static_cast<T**>(allocate_elements(at_least_one(nrow), sizeof(T*), "allocation failure 1 in matrix()"));
  scope_guard release_rows{[&] { free(rows); }};
  T* elements =
      static_cast<T*>(allocate_elements(checked_product(nrow, ncol), sizeof(T), "allocation failure 2 in matrix()"));
  release_rows.dismiss();
  rows[0] = displaced(elements, -static_cast<int64_t>(col_low));
  for (int64_t i = 1; i < nrow; ++i) rows[i] = rows[i - 1] + ncol;
  return displaced(rows, -static_cast<int64_t>(row_low));
}

template <typename T>
void release_offset_matrix(T** m, int row_low, int col_low) {
  T** rows = displaced(m, row_low);
  free(displaced(rows[0], col_low));
  free(rows);
}

void release_row_table(float** b, int row_low) { free(displaced(b, row_low)); }

}  // namespace

float** matrix(int row_low, int row_high, int col_low, int col_high) {
  return offset_matrix<float>(row_low, row_high, col_low, col_high);
}
double** double_matrix(int row_low, int row_high, int col_low, int col_high) {
  return offset_matrix<double>(row_low, row_high, col_low, col_high);
}
int** int_matrix(int row_low, int row_high, int col_low, int col_high) {
  return offset_matrix<int>(row_low, row_high, col_low, col_high);
}

void release_matrix(float** m, int row_low, int, int col_low, int) { release_offset_matrix(m, row_low, col_low); }
void release_double_matrix(double** m, int row_low, int, int col_low, int) {
  release_offset_matrix(m, row_low, col_low);
}
void release_int_matrix(int** m, int row_low, int, int col_low, int) { release_offset_matrix(m, row_low, col_low); }

float** submatrix(float** a, int old_row_low, int old_row_high, int old_col_low, int, int new_row_low,
                  int new_col_low) {
  const int64_t nrow = range_count(old_row_low, old_row_high);
  const int64_t column_shift = static_cast<int64_t>(old_col_low) - new_col_low;
  float** rows = static_cast<float**>(allocate_elements(nrow, sizeof(float*), "allocation failure in submatrix()"));
  for (int64_t r = 0; r < nrow; ++r) rows[r] = displaced(a[old_row_low + r], column_shift);
  return displaced(rows, -static_cast<int64_t>(new_row_low));
}

float** convert_matrix(float* a, int row_low, int row_high, int col_low, int col_high) {
  const char* const message = "allocation failure in convert_matrix()";
  const int64_t nrow = range_count(row_low, row_high);
  const int64_t ncol = range_count(col_low, col_high);
  // An inverted column range, or a shape beyond 32-bit counts, describes no storage at all.
  if (checked_product(at_least_one(nrow), at_least_one(ncol)) < 0) run_time_error(message);
  float** rows = static_cast<float**>(allocate_elements(at_least_one(nrow), sizeof(float*), message));
  rows[0] = displaced(a, -static_cast<int64_t>(col_low));
  for (int64_t k = 1; k < nrow; ++k) rows[k] = rows[k - 1] + ncol;
  return displaced(rows, -static_cast<int64_t>(row_low));
}

void release_submatrix(float** b, int row_low, int, int, int) { release_row_table(b, row_low); }
void release_convert_matrix(float** b, int row_low, int, int, int) { release_row_table(b, row_low); }

}  // namespace numerics
