// The fast paths of the correctly rounded elementary functions, for the tests and the
// benchmarks. Each returns true, with the correctly rounded result in *result, when its quick
// evaluation and proven error bound decide the rounding (special arguments included); false
// when the function must take its accurate, slow path.
#ifndef NUMERICS_DETAIL_ELEMENTARY_PATHS_H
#define NUMERICS_DETAIL_ELEMENTARY_PATHS_H

namespace numerics::detail {

bool expf_fast_path(float x, float* result);
bool logf_fast_path(float x, float* result);

}  // namespace numerics::detail

#endif
