#include <math.h>

#include "numerics/elementary.h"
#include "numerics/fitting.h"

namespace numerics {

void gaussian_sum_model(float x, const float params[], float* value, float derivatives[], int param_count) {
  *value = 0.0f;
  // Complete triples only: a trailing partial triple has no element to read for its width.
  const int triples = param_count / 3;
  for (int t = 0; t < triples; ++t) {
    const int i = 3 * t + 1;
    const float height = params[i];
    const float centre = params[i + 1];
    const float width = params[i + 2];
    const float a = (x - centre) / width;
    const float e = cr_expf(-a * a);
    const float scaled = height * e;
    const float q = static_cast<float>(static_cast<double>(scaled) * 2.0 * static_cast<double>(a));
    *value += scaled;
    derivatives[i] = e;
    derivatives[i + 1] = q / width;
    derivatives[i + 2] = q * a / width;
  }
}

}  // namespace numerics
