// The number of fitted parameters of a Levenberg-Marquardt fit: the nonzero mask entries.
#ifndef NUMERICS_DETAIL_FIT_MASK_H
#define NUMERICS_DETAIL_FIT_MASK_H

namespace numerics::detail {

inline int count_fitted(const int fit_mask[], int param_count) {
  int fitted = 0;
  for (int l = 1; l <= param_count; ++l) {
    if (fit_mask[l] != 0) ++fitted;
  }
  return fitted;
}

}  // namespace numerics::detail

#endif
