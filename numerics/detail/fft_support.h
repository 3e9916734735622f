// Internal building blocks of the Fourier transforms: the twiddle-factor recurrence, the
// length checks and the element swap they share.
#ifndef NUMERICS_DETAIL_FFT_SUPPORT_H
#define NUMERICS_DETAIL_FFT_SUPPORT_H

#include <math.h>

#include "numerics/elementary.h"

namespace numerics::detail {

// 2*pi as the transforms write it; deliberately this decimal rather than the nearest double.
constexpr double two_pi = 6.28318530717959;

// At most 2^30 complex values, so that the 2^31 floats and every index past them stay within
// unsigned 32-bit arithmetic.
constexpr unsigned long long max_complex_values = 1ull << 30;

inline bool is_power_of_two(unsigned n) { return n != 0 && (n & (n - 1)) == 0; }

inline void swap_floats(float& a, float& b) {
  const float t = a;
  a = b;
  b = t;
}

// A rotation by theta as cos(theta) - 1 and cr_sin(theta): the only two sine calls per rotation.
// Carrying cos - 1 keeps the recurrence accurate for small angles.
struct rotation {
  rotation() = default;  // no turn at all
  explicit rotation(double theta) {
    const double sigma = cr_sin(theta / 2);
    alpha = -2.0 * sigma * sigma;
    beta = cr_sin(theta);
  }
  double alpha = 0.0;
  double beta = 0.0;
};

// A twiddle factor in double, starting at (1, 0) unless given.
struct twiddle {
  double w_r = 1.0;
  double w_i = 0.0;

  // Multiplies the factor by the rotation, from its old value.
  void advance(const rotation& r) {
    const double w = w_r;
    w_r = (w * r.alpha - w_i * r.beta) + w;
    w_i = (w_i * r.alpha + w * r.beta) + w_i;
  }
};

// Separating (or merging) two spectra packed as one complex transform works on a value A and
// the value B at the opposite frequency, through these float half-sums; c1 is 0.5 and c2 is
// -0.5 forward, +0.5 inverse.
struct half_sums {
  half_sums(float c1, float c2, const float* a, const float* b)
      : h1r(c1 * (a[0] + b[0])), h1i(c1 * (a[1] - b[1])), h2r(-c2 * (a[1] + b[1])), h2i(c2 * (a[0] - b[0])) {}
  float h1r;
  float h1i;
  float h2r;
  float h2i;
};

// Replaces the complex pair a[0..1] and its mirror b[0..1] (which may be the same pair) by
// their recombination under the twiddle factor w, each result in double rounded to float.
inline void recombine(float c1, float c2, const twiddle& w, float* a, float* b) {
  const half_sums h(c1, c2, a, b);
  a[0] = static_cast<float>(h.h1r + w.w_r * h.h2r - w.w_i * h.h2i);
  a[1] = static_cast<float>(h.h1i + w.w_r * h.h2i + w.w_i * h.h2r);
  b[0] = static_cast<float>(h.h1r - w.w_r * h.h2r + w.w_i * h.h2i);
  b[1] = static_cast<float>(-h.h1i + w.w_r * h.h2i + w.w_i * h.h2r);
}

}  // namespace numerics::detail

#endif
