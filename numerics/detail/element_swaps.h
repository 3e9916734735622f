// Row and column exchanges of offset matrices that move the elements and leave the row
// pointers alone: release of a matrix depends on its first row pointer.
#ifndef NUMERICS_DETAIL_ELEMENT_SWAPS_H
#define NUMERICS_DETAIL_ELEMENT_SWAPS_H

namespace numerics::detail {

inline void swap_elements(float& a, float& b) {
  const float kept = a;
  a = b;
  b = kept;
}

// Exchanges columns 1..cols of rows r and s.
inline void swap_rows(float** m, int r, int s, int cols) {
  for (int l = 1; l <= cols; ++l) swap_elements(m[r][l], m[s][l]);
}

// Exchanges rows 1..rows of columns c and d.
inline void swap_columns(float** m, int c, int d, int rows) {
  for (int l = 1; l <= rows; ++l) swap_elements(m[l][c], m[l][d]);
}

}  // namespace numerics::detail

#endif
