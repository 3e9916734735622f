// The butterfly kernels on AVX2: four complex values per vector.
#include <immintrin.h>

#include "numerics/detail/fft/kernel_loops.h"

namespace numerics::detail::fft {
namespace {

struct avx2 {
  static constexpr unsigned lanes = 4;
  using f = __m256;

  static f load(const float* p) { return _mm256_loadu_ps(p); }
  static void store(float* p, f v) { _mm256_storeu_ps(p, v); }
  static f add(f a, f b) { return _mm256_add_ps(a, b); }
  static f sub(f a, f b) { return _mm256_sub_ps(a, b); }
  static f broadcast(float v) { return _mm256_set1_ps(v); }

  // (w_r*y_r - w_i*y_i, w_r*y_i + w_i*y_r) for two complex values y, in double.
  static __m256d product(__m256d y, const double* re, const double* im) {
    const __m256d a = _mm256_mul_pd(y, _mm256_loadu_pd(re));
    const __m256d b = _mm256_mul_pd(_mm256_permute_pd(y, 0x5), _mm256_loadu_pd(im));
    return _mm256_addsub_pd(a, b);
  }
  static f products_d(f y, const double* re, const double* im) {
    const __m256d low = product(_mm256_cvtps_pd(_mm256_castps256_ps128(y)), re, im);
    const __m256d high = product(_mm256_cvtps_pd(_mm256_extractf128_ps(y, 1)), re + 4, im + 4);
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm256_cvtpd_ps(low)), _mm256_cvtpd_ps(high), 1);
  }
  static f products_f(f y, f re, f im) {
    return _mm256_addsub_ps(_mm256_mul_ps(y, re), _mm256_mul_ps(_mm256_permute_ps(y, 0xB1), im));
  }

  // Half-width 1: the values at even positions (in the order 0, 4, 2, 6) and the odd ones;
  // half-width 2: positions 0, 1, 4, 5 and 2, 3, 6, 7. Each gather is its own inverse.
  template <unsigned h>
  static void split(f a, f b, f& x, f& y) {
    const __m256d pa = _mm256_castps_pd(a);
    const __m256d pb = _mm256_castps_pd(b);
    if constexpr (h == 1) {
      x = _mm256_castpd_ps(_mm256_unpacklo_pd(pa, pb));
      y = _mm256_castpd_ps(_mm256_unpackhi_pd(pa, pb));
    } else {
      static_assert(h == 2);
      x = _mm256_castpd_ps(_mm256_permute2f128_pd(pa, pb, 0x20));
      y = _mm256_castpd_ps(_mm256_permute2f128_pd(pa, pb, 0x31));
    }
  }
  template <unsigned h>
  static void merge(f x, f y, f& a, f& b) {
    split<h>(x, y, a, b);
  }
};

}  // namespace

const kernel_table avx2_kernels = kernel_loops<avx2>::table();

}  // namespace numerics::detail::fft
