#include <float.h>
#include <stdio.h>
#include <stdlib.h>

#include "numerics/arrays.h"

// Every toolkit routine relies on float arithmetic being evaluated in float and double in
// double; a platform that widens intermediates would change their results.
static_assert(FLT_EVAL_METHOD == 0, "the toolkit needs FLT_EVAL_METHOD == 0");
// Fast-math lets the compiler reassociate, drop infinities and NaNs and use approximate
// reciprocals: results would then depend on the compiler and its version.
#if defined(__FAST_MATH__) || defined(_M_FP_FAST)
#error "the toolkit must not be compiled with fast-math (-ffast-math, /fp:fast)"
#endif

namespace numerics {

void run_time_error(const char* message) {
  // Three separate writes; the message is an argument, never a format, so it is printed as is.
  fprintf(stderr, "Vellacourt run-time error...\n");
  fprintf(stderr, "%s\n", message);
  fprintf(stderr, "...now exiting to system...\n");
  exit(1);
}

}  // namespace numerics
