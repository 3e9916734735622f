#include "numerics/arrays.h"
#include "numerics/detail/fft/bit_reversal.h"
#include "numerics/detail/fft/stages.h"
#include "numerics/detail/fft_support.h"
#include "numerics/fourier.h"

namespace numerics {

// Bit-reversal permutation, then the Danielson-Lanczos stages with products in double.
void complex_fft(float data[], unsigned n, int sign) {
  if (n != 0 && !detail::is_power_of_two(n)) run_time_error("n must be a power of two in complex_fft");
  if (n > detail::max_complex_values) run_time_error("n too large in complex_fft");
  if (n < 2) return;
  float* values = &data[1];
  detail::fft::bit_reverse(values, n);
  // The stage of half-width h spans s = 2h floats; its angle is sign * (2 pi / s).
  const auto angle = [sign](unsigned h) { return sign * (detail::two_pi / (2 * h)); };
  detail::fft::run_contiguous_stages<double>(values, n, 1, angle);
}

}  // namespace numerics
