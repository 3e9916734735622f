// The accurate path of cr_sin and cr_cos, taken when the fast path cannot decide the rounding:
// the reduction to a quarter turn with 448 bits of the fraction of a turn, and the Taylor series
// with 256-bit significands, relative error below 2^-240, far below the 2^-(53+61) the
// hardest-to-round binary64 arguments need. Correct for every double on its own.
#ifndef NUMERICS_DETAIL_SIN_COS_ACCURATE_H
#define NUMERICS_DETAIL_SIN_COS_ACCURATE_H

namespace numerics::detail {

double sin_accurate(double x);
double cos_accurate(double x);

}  // namespace numerics::detail

#endif
