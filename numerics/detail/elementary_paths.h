// The fast paths of the correctly rounded elementary functions, for tests and benchmarks that
// measure how often the accurate path runs. Each returns true and sets *result to the
// correctly rounded value when its error bound decides the rounding, false otherwise (the
// public function then takes its accurate path). Special arguments are decided here. The
// accurate paths take any finite argument that their fast path did not decide.
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

}  // namespace numerics::detail

#endif
