// The butterfly kernels on SSE2, the x86-64 baseline: two complex values per vector.
#include <emmintrin.h>

#include "numerics/detail/fft/kernel_loops.h"

namespace numerics::detail::fft {
namespace {

struct sse2 {
  static constexpr unsigned lanes = 2;
  using f = __m128;

  static f load(const float* p) { return _mm_loadu_ps(p); }
  static void store(float* p, f v) { _mm_storeu_ps(p, v); }
  static f add(f a, f b) { return _mm_add_ps(a, b); }
  static f sub(f a, f b) { return _mm_sub_ps(a, b); }
  static f broadcast(float v) { return _mm_set1_ps(v); }

  // (w_r*y_r - w_i*y_i, w_r*y_i + w_i*y_r) for one complex value y, in double.
  static __m128d product(__m128d y, const double* re, const double* im) {
    const __m128d a = _mm_mul_pd(y, _mm_loadu_pd(re));
    const __m128d b = _mm_mul_pd(_mm_shuffle_pd(y, y, 1), _mm_loadu_pd(im));
    return _mm_shuffle_pd(_mm_sub_pd(a, b), _mm_add_pd(a, b), 2);
  }
  static f products_d(f y, const double* re, const double* im) {
    const __m128d low = product(_mm_cvtps_pd(y), re, im);
    const __m128d high = product(_mm_cvtps_pd(_mm_movehl_ps(y, y)), re + 2, im + 2);
    return _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high));
  }
  static f products_f(f y, f re, f im) {
    const f a = _mm_mul_ps(y, re);
    const f b = _mm_mul_ps(_mm_shuffle_ps(y, y, _MM_SHUFFLE(2, 3, 0, 1)), im);
    const f even = _mm_castsi128_ps(_mm_set_epi32(0, -1, 0, -1));
    return _mm_or_ps(_mm_and_ps(even, _mm_sub_ps(a, b)), _mm_andnot_ps(even, _mm_add_ps(a, b)));
  }

  // Only half-width 1 is below the two lanes: the even values of a and b, then the odd ones.
  template <unsigned h>
  static void split(f a, f b, f& x, f& y) {
    static_assert(h == 1);
    x = _mm_castpd_ps(_mm_unpacklo_pd(_mm_castps_pd(a), _mm_castps_pd(b)));
    y = _mm_castpd_ps(_mm_unpackhi_pd(_mm_castps_pd(a), _mm_castps_pd(b)));
  }
  template <unsigned h>
  static void merge(f x, f y, f& a, f& b) {
    split<h>(x, y, a, b);
  }
};

}  // namespace

const kernel_table sse2_kernels = kernel_loops<sse2>::table();

}  // namespace numerics::detail::fft
