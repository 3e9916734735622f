#include "numerics/arrays.h"
#include "numerics/detail/fft_support.h"
#include "numerics/fourier.h"

namespace numerics {
namespace {

// One dimension's layout in floats: a = stride of one step along it, b = one full run of it
// (a times its length), c = the whole array.
struct dimension_layout {
  unsigned a;
  unsigned b;
  unsigned c;
};

// Bit-reversal permutation along the dimension, for every position of the other dimensions.
void bit_reverse(float data[], const dimension_layout& d) {
  unsigned q = 1;
  for (unsigned i = 1; i <= d.b; i += d.a) {
    if (i < q) {
      for (unsigned u = i; u <= i + d.a - 2; u += 2) {
        for (unsigned t = u; t <= d.c; t += d.b) {
          const unsigned partner = q + t - i;
          detail::swap_floats(data[t], data[partner]);
          detail::swap_floats(data[t + 1], data[partner + 1]);
        }
      }
    }
    unsigned h = d.b >> 1;
    while (h >= d.a && q > h) {
      q -= h;
      h >>= 1;
    }
    q += h;
  }
}

// Danielson-Lanczos butterflies along the dimension; e is the half-width in floats.
void butterflies(float data[], const dimension_layout& d, int sign) {
  for (unsigned e = d.a; e < d.b; e <<= 1) {
    const unsigned f = e << 1;
    const detail::rotation rotation((sign * detail::two_pi) / static_cast<double>(f / d.a));
    detail::twiddle w;
    for (unsigned o = 1; o <= e; o += d.a) {
      // Single-precision products: the twiddle factor is rounded to float first.
      const float w_r = static_cast<float>(w.w_r);
      const float w_i = static_cast<float>(w.w_i);
      for (unsigned u = o; u <= o + d.a - 2; u += 2) {
        for (unsigned k = u; k <= d.c; k += f) {
          const unsigned k2 = k + e;
          const float t_r = w_r * data[k2] - w_i * data[k2 + 1];
          const float t_i = w_r * data[k2 + 1] + w_i * data[k2];
          data[k2] = data[k] - t_r;
          data[k2 + 1] = data[k + 1] - t_i;
          data[k] += t_r;
          data[k + 1] += t_i;
        }
      }
      w.advance(rotation);
    }
  }
}

}  // namespace

void complex_fft_nd(float data[], const unsigned dims[], int dim_count, int sign) {
  // The total is checked as it grows, so that it cannot wrap before it is found too large.
  unsigned long long total = 1;
  for (int r = 1; r <= dim_count; ++r) {
    if (!detail::is_power_of_two(dims[r])) run_time_error("dimension lengths must be powers of two in complex_fft_nd");
    total *= dims[r];
    if (total > detail::max_complex_values) run_time_error("too many values in complex_fft_nd");
  }
  const unsigned n = static_cast<unsigned>(total);

  // The last, fastest-varying dimension first; p counts the values of the dimensions done.
  unsigned p = 1;
  for (int r = dim_count; r >= 1; --r) {
    const unsigned length = dims[r];
    const unsigned rest = n / (length * p);
    dimension_layout d;
    d.a = p << 1;
    d.b = d.a * length;
    d.c = d.b * rest;
    bit_reverse(data, d);
    butterflies(data, d, sign);
    p *= length;
  }
}

}  // namespace numerics
