#include "numerics/arrays.h"
#include "numerics/detail/fft_support.h"
#include "numerics/fourier.h"

namespace numerics {

// The n real values are transformed as n/2 complex values (even samples real, odd samples
// imaginary); the two interleaved half-length spectra are then separated (forward), or merged
// before the inverse complex transform.
void real_fft(float data[], unsigned n, int sign) {
  if (n < 2 || !detail::is_power_of_two(n)) run_time_error("n must be a power of two, at least 2, in real_fft");
  const unsigned half = n >> 1;
  const bool forward = sign == 1;
  double theta = 3.141592653589793 / static_cast<double>(half);
  const float c1 = 0.5f;
  float c2 = 0.5f;
  if (forward) {
    c2 = -0.5f;
    complex_fft(data, half, 1);
  } else {
    theta = -theta;
  }

  const detail::rotation rotation(theta);
  detail::twiddle w{1.0 + rotation.alpha, rotation.beta};  // starts at the angle theta, k = 1
  // Pairs F_k and F_{n/2-k} for k = 1..n/4-1; the middle pair k = n/4 maps onto itself.
  const unsigned quarter = n >> 2;
  for (unsigned i = 2; i <= quarter; ++i) {
    const unsigned i1 = 2 * i - 1;
    detail::recombine(c1, c2, w, &data[i1], &data[n + 2 - i1]);
    w.advance(rotation);
  }

  // F_0 and F_{n/2}, both real, share the first complex slot.
  const float v = data[1];
  if (forward) {
    data[1] = v + data[2];
    data[2] = v - data[2];
  } else {
    data[1] = c1 * (v + data[2]);
    data[2] = c1 * (v - data[2]);
    complex_fft(data, half, -1);
  }
}

}  // namespace numerics
