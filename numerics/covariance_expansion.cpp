#include "numerics/detail/element_swaps.h"
#include "numerics/fitting.h"

namespace numerics {

void expand_covariance(float** covariance, int param_count, const int fit_mask[], int fitted_count) {
  for (int i = fitted_count + 1; i <= param_count; ++i) {
    for (int j = 1; j <= i; ++j) {
      covariance[j][i] = 0.0f;
      covariance[i][j] = 0.0f;
    }
  }
  // The fitted block is numbered in mask order, so its last entry belongs to the last fitted
  // position: moving from the end keeps every entry still to be moved inside the block.
  int k = fitted_count;
  for (int j = param_count; j >= 1; --j) {
    if (fit_mask[j] == 0) continue;
    detail::swap_columns(covariance, k, j, param_count);
    detail::swap_rows(covariance, k, j, param_count);
    --k;
  }
}

}  // namespace numerics
