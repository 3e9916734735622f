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

struct tensor_messages {
  const char* rows;
  const char* columns;
  const char* elements;
};

template <typename T>
T*** offset_tensor(int row_low, int row_high, int col_low, int col_high, int depth_low, int depth_high,
                   const tensor_messages& messages) {
  const int64_t nrow = range_count(row_low, row_high);
  const int64_t ncol = range_count(col_low, col_high);
  const int64_t ndep = range_count(depth_low, depth_high);
  // The first row's column table is filled even when there are no rows, and its first entry
  // even when there are no columns, so both tables have room for them.
  T*** rows = static_cast<T***>(allocate_elements(at_least_one(nrow), sizeof(T**), messages.rows));
  scope_guard release_rows{[&] { free(rows); }};
  T** columns = static_cast<T**>(
      allocate_elements(checked_product(at_least_one(nrow), at_least_one(ncol)), sizeof(T*), messages.columns));
  scope_guard release_columns{[&] { free(columns); }};
  const int64_t element_count =
      checked_product(ncol, ndep) < 0 ? -1 : checked_product(checked_product(nrow, ncol), ndep);
  T* elements = static_cast<T*>(allocate_elements(element_count, sizeof(T), messages.elements));
  release_columns.dismiss();
  release_rows.dismiss();

  columns[0] = displaced(elements, -static_cast<int64_t>(depth_low));
  for (int64_t j = 1; j < ncol; ++j) columns[j] = columns[j - 1] + ndep;
  rows[0] = displaced(columns, -static_cast<int64_t>(col_low));
  for (int64_t i = 1; i < nrow; ++i) {
    T** row = columns + i * ncol;
    rows[i] = rows[i - 1] + ncol;
    row[0] = row[-ncol] + ncol * ndep;
    for (int64_t j = 1; j < ncol; ++j) row[j] = row[j - 1] + ndep;
  }
  return displaced(rows, -static_cast<int64_t>(row_low));
}

template <typename T>
void release_offset_tensor(T*** t, int row_low, int col_low, int depth_low) {
  T*** rows = displaced(t, row_low);
  T** columns = displaced(rows[0], col_low);
  free(displaced(columns[0], depth_low));
  free(columns);
  free(rows);
}

}  // namespace

float*** f3tensor(int row_low, int row_high, int col_low, int col_high, int depth_low, int depth_high) {
  static const tensor_messages messages = {"allocation failure 1 in f3tensor()", "allocation failure 2 in f3tensor()",
                                           "allocation failure 3 in f3tensor()"};
  return offset_tensor<float>(row_low, row_high, col_low, col_high, depth_low, depth_high, messages);
}

unsigned char*** c3tensor(int row_low, int row_high, int col_low, int col_high, int depth_low, int depth_high) {
  static const tensor_messages messages = {"allocation failure 1 in c3tensor()", "allocation failure 2 in c3tensor()",
                                           "allocation failure 3 in c3tensor()"};
  return offset_tensor<unsigned char>(row_low, row_high, col_low, col_high, depth_low, depth_high, messages);
}

void release_f3tensor(float*** t, int row_low, int, int col_low, int, int depth_low, int) {
  release_offset_tensor(t, row_low, col_low, depth_low);
}

void release_c3tensor(unsigned char*** t, int row_low, int, int col_low, int, int depth_low, int) {
  release_offset_tensor(t, row_low, col_low, depth_low);
}

}  // namespace numerics
