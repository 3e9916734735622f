// The significance of a correlation coefficient, shared by the routine that computes r with
// its probability and by correlation_probability.
#ifndef NUMERICS_DETAIL_CORRELATION_SIGNIFICANCE_H
#define NUMERICS_DETAIL_CORRELATION_SIGNIFICANCE_H

namespace numerics::detail {

// Two-sided significance of r with df degrees of freedom through Student's t, without any
// special case: the 1e-20 terms keep t finite at r = +-1; df = 0 gives NaN.
float correlation_significance(float r, float df);

}  // namespace numerics::detail

#endif
