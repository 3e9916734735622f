// The two paths of the correctly rounded elementary functions, for the tests and the
// benchmarks. Each fast path returns true, with the correctly rounded result in *result, when
// its quick evaluation and proven error bound decide the rounding (special arguments
// included); false when the function must take its accurate, slow path. The accurate paths
// take any finite argument that their fast path did not decide.
#ifndef NUMERICS_DETAIL_ELEMENTARY_PATHS_H
#define NUMERICS_DETAIL_ELEMENTARY_PATHS_H

namespace numerics::detail {

bool exp_fast_path(double x, double* result);
bool log_fast_path(double x, double* result);
double exp_accurate_path(double x);
double log_accurate_path(double x);

bool sin_fast_path(double x, double* result);
bool cos_fast_path(double x, double* result);
double sin_accurate_path(double x);
double cos_accurate_path(double x);

bool expf_fast_path(float x, float* result);
bool logf_fast_path(float x, float* result);

}  // namespace numerics::detail

#endif
