// The cut-off below which singular values are treated as zero, shared by the SVD fit and the
// pseudo-inverse.
#ifndef NUMERICS_DETAIL_SINGULAR_VALUE_THRESHOLD_H
#define NUMERICS_DETAIL_SINGULAR_VALUE_THRESHOLD_H

namespace numerics::detail {

// `fraction` of the largest of w[1..n] (at least 0: the running maximum starts at 0 and takes
// only strictly greater values), the product in double rounded to float.
inline float singular_value_threshold(const float w[], int n, double fraction) {
  float largest = 0.0f;
  for (int i = 1; i <= n; ++i)
    if (w[i] > largest) largest = w[i];
  return static_cast<float>(fraction * largest);
}

}  // namespace numerics::detail

#endif
