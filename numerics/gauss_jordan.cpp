#include <math.h>

#include "numerics/arrays.h"
#include "numerics/detail/element_swaps.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/detail/linear_algebra/kernels.h"
#include "numerics/fitting.h"

namespace numerics {
namespace {

using detail::linear_algebra::kernels;

// Full pivoting: the element of largest magnitude among the rows and columns not yet used,
// scanned row by row and column by column; `>=` lets the last of equal magnitudes win and
// never accepts a NaN. No element qualifies only in a search over NaNs: every other search
// accepts at least a zero.
struct pivot_search {
  float largest = 0.0f;
  int row = 0;
  int col = 0;
  bool found = false;
};

// Continues the search with row j. The row's largest candidate wins when it is at least the
// largest so far, at the last column that holds its magnitude: the result of scanning the
// row's candidates one by one.
void search_row(const kernels& kernel, const float* row, int j, int n, const int pivot_count[], pivot_search* search) {
  const float largest = kernel.largest_candidate(row + 1, pivot_count + 1, n);
  if (!(largest >= search->largest)) return;
  for (int k = n; k >= 1; --k) {
    if (pivot_count[k] == 0 && fabsf(row[k]) == largest) {
      *search = {largest, j, k, true};
      return;
    }
  }
}

// Scales pivot row c so that the pivot becomes 1 and clears column c from every other row.
// The pivot and each cleared element are set before their row is processed, so that the
// inverse builds up in the storage of `a`. When `search_next` is set, each row that can still
// hold a pivot is searched as soon as it is final, and the next pivot is returned.
pivot_search eliminate(const kernels& kernel, float** a, int n, float** b, int m, int c, const int pivot_count[],
                       bool search_next) {
  const float reciprocal = static_cast<float>(1.0 / static_cast<double>(a[c][c]));
  a[c][c] = 1.0f;
  for (int l = 1; l <= n; ++l) a[c][l] *= reciprocal;
  for (int l = 1; l <= m; ++l) b[c][l] *= reciprocal;
  pivot_search next;
  for (int r = 1; r <= n; ++r) {
    if (r == c) continue;
    const float factor = a[r][c];
    a[r][c] = 0.0f;
    kernel.subtract_scaled(a[r] + 1, a[c] + 1, factor, n);
    if (m > 0) kernel.subtract_scaled(b[r] + 1, b[c] + 1, factor, m);
    if (search_next && pivot_count[r] != 1) search_row(kernel, a[r], r, n, pivot_count, &next);
  }
  return next;
}

}  // namespace

void gaussj(float** a, int n, float** b, int m) {
  int* pivot_col = ivector(1, n);
  detail::scope_guard release_pivot_col{[&] { release_ivector(pivot_col, 1, n); }};
  int* pivot_row = ivector(1, n);
  detail::scope_guard release_pivot_row{[&] { release_ivector(pivot_row, 1, n); }};
  int* pivot_count = ivector(1, n);
  detail::scope_guard release_pivot_count{[&] { release_ivector(pivot_count, 1, n); }};
  for (int j = 1; j <= n; ++j) pivot_count[j] = 0;

  const kernels& kernel = detail::linear_algebra::active_kernels();
  pivot_search search;
  for (int j = 1; j <= n; ++j) search_row(kernel, a[j], j, n, pivot_count, &search);
  for (int i = 1; i <= n; ++i) {
    // A search without a pivot would leave the elimination to take an already used column
    // again; that is the one way a column can be taken twice, and it is reported here.
    if (!search.found) run_time_error("gaussj: Singular Matrix-1");
    const int row = search.row;
    const int col = search.col;
    ++pivot_count[col];
    // Bring the pivot onto the diagonal; the column order is restored after the elimination.
    if (row != col) {
      detail::swap_rows(a, row, col, n);
      detail::swap_rows(b, row, col, m);
    }
    pivot_row[i] = row;
    pivot_col[i] = col;
    if (static_cast<double>(a[col][col]) == 0.0) run_time_error("gaussj: Singular Matrix-2");
    search = eliminate(kernel, a, n, b, m, col, pivot_count, i < n);
  }

  // The column exchanges in reverse order of the steps, row by row.
  for (int r = 1; r <= n; ++r) {
    for (int l = n; l >= 1; --l)
      if (pivot_row[l] != pivot_col[l]) detail::swap_elements(a[r][pivot_row[l]], a[r][pivot_col[l]]);
  }
}

}  // namespace numerics
