#include <math.h>

#include "numerics/elementary.h"

namespace numerics {

// Placeholder until the correctly rounded evaluation lands: the C library's value.
double cr_log(double x) { return log(x); }

}  // namespace numerics
