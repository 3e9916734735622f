// The statistical weight of a data point with standard deviation sigma, as every fit here
// forms it: the square in float, its reciprocal in double, rounded to float.
#ifndef NUMERICS_DETAIL_WEIGHTS_H
#define NUMERICS_DETAIL_WEIGHTS_H

namespace numerics::detail {

inline float inverse_variance(float sigma) { return static_cast<float>(1.0 / static_cast<double>(sigma * sigma)); }

}  // namespace numerics::detail

#endif
