#include "numerics/detail/halving_search.h"
#include "numerics/statistics.h"

namespace numerics {

float t_for_probability(float p, unsigned df) {
  return detail::halving_search(p, 4.0f, 2.0f, [df](float t) { return t_probability(t, df); });
}

float correlation_for_probability(float p, unsigned n) {
  return detail::halving_search(p, 0.4f, 0.2f, [n](float r) { return correlation_probability(r, n); });
}

float f_for_probability(float p, unsigned df1, unsigned df2) {
  return detail::halving_search(p, 10.0f, 2.0f, [df1, df2](float f) { return f_probability(f, df1, df2); });
}

}  // namespace numerics
