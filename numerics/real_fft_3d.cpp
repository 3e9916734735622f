#include <stdint.h>

#include "numerics/arrays.h"
#include "numerics/detail/fft_support.h"
#include "numerics/detail/offset_storage.h"
#include "numerics/detail/silent_exit.h"
#include "numerics/fourier.h"

namespace numerics {
namespace {

// True when data[size1][size2][size3] is the last of size1*size2*size3 floats from
// data[1][1][1]. Compared as addresses, since the elements may lie in separate blocks.
bool is_one_block(float*** data, unsigned size1, unsigned size2, unsigned size3) {
  const unsigned count = size1 * size2 * size3;
  const uintptr_t first = reinterpret_cast<uintptr_t>(&data[1][1][1]);
  const uintptr_t past_last = reinterpret_cast<uintptr_t>(&data[size1][size2][size3] + 1);
  return past_last - first == static_cast<uintptr_t>(count) * sizeof(float);
}

// Combines each value with the one at the opposite frequency in every dimension. Along the last
// dimension position i3 takes factor i3 - 1 of the recurrence, the same for every i1; the factors
// are kept in a table, a chunk at a time, so that each row is then swept in memory order. Only
// the middle position (i3 = size3/4 + 1) is met twice, as A and as B, and its pairs keep the
// order i1, then i2; every other value belongs to one pair only.
void recombine_half_spectrum(float*** data, float** nyquist, unsigned size1, unsigned size2, unsigned size3, float c2,
                             const detail::rotation& rotation) {
  const float c1 = 0.5f;
  constexpr unsigned capacity = 1024;
  double factor_r[capacity];
  double factor_i[capacity];
  detail::twiddle w;
  w.advance(rotation);  // position i3 = 2
  const unsigned last = (size3 >> 2) + 1;
  for (unsigned first = 1; first <= last; first += capacity) {
    const unsigned end = last - first < capacity ? last + 1 : first + capacity;
    for (unsigned i3 = first > 1 ? first : 2; i3 < end; ++i3) {
      factor_r[i3 - first] = w.w_r;
      factor_i[i3 - first] = w.w_i;
      w.advance(rotation);
    }
    for (unsigned i1 = 1; i1 <= size1; ++i1) {
      const unsigned j1 = i1 == 1 ? 1 : size1 - i1 + 2;
      for (unsigned i2 = 1; i2 <= size2; ++i2) {
        if (first == 1) {
          // Zero frequency along the last dimension: its mirror is in the Nyquist plane.
          const unsigned j2 = i2 == 1 ? 1 : 2 * (size2 - i2) + 3;
          float* a = &data[i1][i2][1];
          float* b = &nyquist[j1][j2];
          const detail::half_sums h(c1, c2, a, b);
          a[0] = h.h1r + h.h2r;
          a[1] = h.h1i + h.h2i;
          b[0] = h.h1r - h.h2r;
          b[1] = h.h2i - h.h1i;
        }
        float* a = data[i1][i2];
        float* b = data[j1][i2 == 1 ? 1 : size2 - i2 + 2];
        for (unsigned i3 = first > 1 ? first : 2; i3 < end; ++i3) {
          const detail::twiddle factor{factor_r[i3 - first], factor_i[i3 - first]};
          detail::recombine(c1, c2, factor, &a[2 * i3 - 1], &b[size3 + 3 - 2 * i3]);
        }
      }
    }
  }
}

}  // namespace

void real_fft_3d(float*** data, float** nyquist, unsigned size1, unsigned size2, unsigned size3, int sign) {
  if (!detail::is_power_of_two(size1) || !detail::is_power_of_two(size2) || !detail::is_power_of_two(size3) ||
      size3 < 2)
    run_time_error("sizes must be powers of two, size3 at least 2, in real_fft_3d");
  // Sizes below 2^32 keep size1 * size2 exact in 64 bits; the third factor could wrap it, so
  // the plane is compared with the quotient instead.
  const unsigned long long plane = static_cast<unsigned long long>(size1) * size2;
  if (plane > 2 * detail::max_complex_values / size3) run_time_error("too many values in real_fft_3d");
  // A tensor that is not one block cannot be viewed as a flat array: leave without a word.
  if (!is_one_block(data, size1, size2, size3)) detail::silent_exit("the tensor is not one block in real_fft_3d");

  const float c2 = static_cast<float>(-0.5 * sign);
  const detail::rotation rotation(sign * (detail::two_pi / size3));
  const unsigned dims[3] = {size1, size2, size3 >> 1};
  const unsigned* dims_from_1 = detail::displaced(dims, -1);
  float* flat = detail::displaced(&data[1][1][1], -1);

  if (sign == 1) {
    complex_fft_nd(flat, dims_from_1, 3, 1);
    for (unsigned i1 = 1; i1 <= size1; ++i1) {
      for (unsigned i2 = 1; i2 <= size2; ++i2) {
        nyquist[i1][2 * i2 - 1] = data[i1][i2][1];
        nyquist[i1][2 * i2] = data[i1][i2][2];
      }
    }
  }

  recombine_half_spectrum(data, nyquist, size1, size2, size3, c2, rotation);
  if (sign == -1) complex_fft_nd(flat, dims_from_1, 3, -1);
}

}  // namespace numerics
