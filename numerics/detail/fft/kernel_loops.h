// The butterfly loops of the Fourier transforms, written once over a vector path's operations.
//
// Included only by the kernel sources of the paths (kernels_sse2.cpp, kernels_avx2.cpp,
// kernels_avx512.cpp), each with its own operations type V in an anonymous namespace: every
// instantiation is then local to its source and compiled for its instruction set alone.
//
// V provides: `lanes`, complex values per float vector; the float vector type `f` with load,
// store, add, sub and broadcast; products_d(y, re, im), the double-product twiddle products
// of y (factors laid out as the data, see kernels.h) rounded to float; products_f(y, re, im),
// the float products; and split<h>/merge<h>, which gather the two halves of the butterflies of
// half-width h < lanes from two vectors (2 * lanes consecutive values), the x halves in the
// order of their offset within each group of 2h, and put them back.
#ifndef NUMERICS_DETAIL_FFT_KERNEL_LOOPS_H
#define NUMERICS_DETAIL_FFT_KERNEL_LOOPS_H

#include <stddef.h>

#include "numerics/detail/fft/kernels.h"

namespace numerics::detail::fft {

template <class V>
struct kernel_loops {
  using f = typename V::f;

  static f products(f y, const double* re, const double* im) { return V::products_d(y, re, im); }
  static f products(f y, const float* re, const float* im) { return V::products_f(y, V::load(re), V::load(im)); }

  // The products under the first factor of every stage, exactly (1, 0): y_r*1 - y_i*0 and
  // y_i*1 + y_r*0 are each exact or a signed zero or NaN, the same in float as in double, so
  // the stage of half-width 1 needs no double products.
  static f unit_products(f y) { return V::products_f(y, V::broadcast(1.0f), V::broadcast(0.0f)); }

  // y = x - t, x = x + t, in float.
  static void combine(float* x, float* y, f t) {
    const f xv = V::load(x);
    V::store(y, V::sub(xv, t));
    V::store(x, V::add(xv, t));
  }

  template <class W>
  static void stage(const stage_blocks& s, const W* re, const W* im) {
    for (unsigned b = 0; b < s.blocks; ++b) {
      float* x = s.data + static_cast<size_t>(b) * s.block_stride;
      float* y = x + s.y_offset;
      for (unsigned k = 0; k < 2 * s.count; k += 2 * V::lanes)
        combine(x + k, y + k, products(V::load(y + k), re + k, im + k));
    }
  }

  static void stage_uniform(const stage_blocks& s, float w_r, float w_i) {
    const f re = V::broadcast(w_r);
    const f im = V::broadcast(w_i);
    for (unsigned b = 0; b < s.blocks; ++b) {
      float* x = s.data + static_cast<size_t>(b) * s.block_stride;
      float* y = x + s.y_offset;
      for (unsigned k = 0; k < 2 * s.count; k += 2 * V::lanes)
        combine(x + k, y + k, V::products_f(V::load(y + k), re, im));
    }
  }

  // The stage of half-width h on the 2 * lanes values in a and b, then the stages after it up
  // to half-width lanes; each stage's factors are 2 * lanes further on.
  template <unsigned h, class W>
  static void stages_in_registers(f& a, f& b, const W* re, const W* im) {
    if constexpr (h == V::lanes) {
      const f t = products(b, re, im);
      const f x = a;
      a = V::add(x, t);
      b = V::sub(x, t);
    } else {
      f x, y;
      V::template split<h>(a, b, x, y);
      const f t = h == 1 ? unit_products(y) : products(y, re, im);
      V::template merge<h>(V::add(x, t), V::sub(x, t), a, b);
      stages_in_registers<2 * h>(a, b, re + 2 * V::lanes, im + 2 * V::lanes);
    }
  }

  template <class W>
  static void first_stages(float* data, unsigned values, const W* re, const W* im) {
    for (unsigned g = 0; g < 2 * values; g += 4 * V::lanes) {
      f a = V::load(data + g);
      f b = V::load(data + g + 2 * V::lanes);
      stages_in_registers<1>(a, b, re, im);
      V::store(data + g, a);
      V::store(data + g + 2 * V::lanes, b);
    }
  }

  static constexpr kernel_table table() {
    return {V::lanes, first_stages<double>, first_stages<float>, stage<double>, stage<float>, stage_uniform};
  }
};

}  // namespace numerics::detail::fft

#endif
