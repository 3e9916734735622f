#include <math.h>

#include "numerics/elementary.h"

namespace numerics {

// Placeholder until the correctly rounded evaluation lands: the C library's value.
float cr_expf(float x) { return expf(x); }

}  // namespace numerics
