#include "numerics/arrays.h"
#include "numerics/detail/fft_support.h"
#include "numerics/fourier.h"

namespace numerics {
namespace {

// Puts complex value k (0-based) where value bit-reverse(k) was, over m floats.
void bit_reverse(float data[], unsigned m) {
  unsigned j = 1;
  for (unsigned i = 1; i < m; i += 2) {
    if (j > i) {
      detail::swap_floats(data[j], data[i]);
      detail::swap_floats(data[j + 1], data[i + 1]);
    }
    unsigned h = m >> 1;
    while (h >= 2 && j > h) {
      j -= h;
      h >>= 1;
    }
    j += h;
  }
}

}  // namespace

void complex_fft(float data[], unsigned n, int sign) {
  if (n != 0 && !detail::is_power_of_two(n)) run_time_error("n must be a power of two in complex_fft");
  if (n > detail::max_complex_values) run_time_error("n too large in complex_fft");
  const unsigned m = n << 1;
  bit_reverse(data, m);

  // Danielson-Lanczos butterflies; s is the span of the half-transforms being combined, in floats.
  for (unsigned s = 2; m > s; s <<= 1) {
    const unsigned step = s << 1;
    const detail::rotation rotation(sign * (detail::two_pi / s));
    detail::twiddle w;
    for (unsigned o = 1; o < s; o += 2) {
      for (unsigned i = o; i <= m; i += step) {
        const unsigned j = i + s;
        // The products are formed in double and rounded once; the updates are float.
        const float t_r = static_cast<float>(w.w_r * data[j] - w.w_i * data[j + 1]);
        const float t_i = static_cast<float>(w.w_r * data[j + 1] + w.w_i * data[j]);
        data[j] = data[i] - t_r;
        data[j + 1] = data[i + 1] - t_i;
        data[i] += t_r;
        data[i + 1] += t_i;
      }
      w.advance(rotation);
    }
  }
}

}  // namespace numerics
