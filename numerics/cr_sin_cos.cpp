#include <math.h>

#include "numerics/elementary.h"

namespace numerics {

// Placeholder until the correctly rounded evaluation lands: the C library's value.
double cr_sin(double x) { return sin(x); }
double cr_cos(double x) { return cos(x); }

}  // namespace numerics
