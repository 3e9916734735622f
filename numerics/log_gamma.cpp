#include <math.h>

#include "numerics/elementary.h"
#include "numerics/statistics.h"

namespace numerics {
namespace {

const double log_gamma_coefficients[6] = {76.18009172947146,  -86.50532032941678,   24.01409824083091,
                                          -1.231739572450155, 0.001208650973866179, -5.395239384953e-06};

}  // namespace

double log_gamma(double x) {
  double u = x + 5.5;
  u -= (x + 0.5) * cr_log(u);
  double s = 1.000000000190015;
  double y = x;
  for (double c : log_gamma_coefficients) {
    y += 1.0;
    s += c / y;
  }
  // 2.5066282746310007 is one unit in the last place above the double nearest sqrt(2 pi);
  // the table was fitted with it.
  return -u + cr_log(2.5066282746310007 * s / x);
}

}  // namespace numerics
