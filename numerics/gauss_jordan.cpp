#include <math.h>

#include "numerics/arrays.h"
#include "numerics/detail/element_swaps.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/fitting.h"

namespace numerics {
namespace {

// Full pivoting: the element of largest magnitude among the rows and columns not yet used,
// scanned row by row and column by column; `>=` lets the last of equal magnitudes win and
// never accepts a NaN. Returns false when no element qualifies, which only a search over NaNs
// can do: every other search accepts at least a zero.
bool find_pivot(float** a, int n, const int pivot_count[], int* row, int* col) {
  float largest = 0.0f;
  bool found = false;
  for (int j = 1; j <= n; ++j) {
    if (pivot_count[j] == 1) continue;
    for (int k = 1; k <= n; ++k) {
      if (pivot_count[k] == 0 && fabsf(a[j][k]) >= largest) {
        largest = fabsf(a[j][k]);
        *row = j;
        *col = k;
        found = true;
      }
    }
  }
  return found;
}

// Scales pivot row c so that the pivot becomes 1 and clears column c from every other row.
// The pivot and each cleared element are set before their row is processed, so that the
// inverse builds up in the storage of `a`.
void eliminate(float** a, int n, float** b, int m, int c) {
  const float reciprocal = static_cast<float>(1.0 / static_cast<double>(a[c][c]));
  a[c][c] = 1.0f;
  for (int l = 1; l <= n; ++l) a[c][l] *= reciprocal;
  for (int l = 1; l <= m; ++l) b[c][l] *= reciprocal;
  for (int r = 1; r <= n; ++r) {
    if (r == c) continue;
    const float factor = a[r][c];
    a[r][c] = 0.0f;
    for (int l = 1; l <= n; ++l) a[r][l] -= a[c][l] * factor;
    for (int l = 1; l <= m; ++l) b[r][l] -= b[c][l] * factor;
  }
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

  for (int i = 1; i <= n; ++i) {
    int row = 0;
    int col = 0;
    // A search without a pivot would leave the elimination to take an already used column
    // again; that is the one way a column can be taken twice, and it is reported here.
    if (!find_pivot(a, n, pivot_count, &row, &col)) run_time_error("gaussj: Singular Matrix-1");
    ++pivot_count[col];
    // Bring the pivot onto the diagonal; the column order is restored after the elimination.
    if (row != col) {
      detail::swap_rows(a, row, col, n);
      detail::swap_rows(b, row, col, m);
    }
    pivot_row[i] = row;
    pivot_col[i] = col;
    if (static_cast<double>(a[col][col]) == 0.0) run_time_error("gaussj: Singular Matrix-2");
    eliminate(a, n, b, m, col);
  }

  for (int l = n; l >= 1; --l) {
    if (pivot_row[l] != pivot_col[l]) detail::swap_columns(a, pivot_row[l], pivot_col[l], n);
  }
}

}  // namespace numerics
