// The butterfly kernels on AVX-512 (F, DQ): eight complex values per vector.
#include <immintrin.h>

// GCC 12 warns of the undefined pass-through operand inside its own AVX-512 intrinsics.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "numerics/detail/fft/kernel_loops.h"

namespace numerics::detail::fft {
namespace {

// Where the values come from when the butterflies of half-width h are gathered from the 16
// values of two vectors (split), and put back (merge); indices 8..15 name the second vector.
template <unsigned h>
struct gather_indices {
  long long split_x[8], split_y[8], merge_a[8], merge_b[8];
  constexpr gather_indices() : split_x(), split_y(), merge_a(), merge_b() {
    for (unsigned j = 0; j < 8; ++j) {
      split_x[j] = (j / h) * 2 * h + j % h;
      split_y[j] = split_x[j] + h;
    }
    for (unsigned p = 0; p < 16; ++p) {
      const unsigned q = p & ~h;  // the position of the butterfly's x value
      const long long lane = (q / (2 * h)) * h + q % h + ((p & h) ? 8 : 0);
      (p < 8 ? merge_a[p] : merge_b[p - 8]) = lane;
    }
  }
};

struct avx512 {
  static constexpr unsigned lanes = 8;
  using f = __m512;

  static f load(const float* p) { return _mm512_loadu_ps(p); }
  static void store(float* p, f v) { _mm512_storeu_ps(p, v); }
  static f add(f a, f b) { return _mm512_add_ps(a, b); }
  static f sub(f a, f b) { return _mm512_sub_ps(a, b); }
  static f broadcast(float v) { return _mm512_set1_ps(v); }

  // (w_r*y_r - w_i*y_i, w_r*y_i + w_i*y_r) for four complex values y, in double.
  static __m512d product(__m512d y, const double* re, const double* im) {
    const __m512d a = _mm512_mul_pd(y, _mm512_loadu_pd(re));
    const __m512d b = _mm512_mul_pd(_mm512_permute_pd(y, 0x55), _mm512_loadu_pd(im));
    return _mm512_mask_sub_pd(_mm512_add_pd(a, b), 0x55, a, b);
  }
  static f products_d(f y, const double* re, const double* im) {
    const __m512d low = product(_mm512_cvtps_pd(_mm512_castps512_ps256(y)), re, im);
    const __m512d high = product(_mm512_cvtps_pd(_mm512_extractf32x8_ps(y, 1)), re + 8, im + 8);
    return _mm512_insertf32x8(_mm512_castps256_ps512(_mm512_cvtpd_ps(low)), _mm512_cvtpd_ps(high), 1);
  }
  static f products_f(f y, f re, f im) {
    const f a = _mm512_mul_ps(y, re);
    const f b = _mm512_mul_ps(_mm512_permute_ps(y, 0xB1), im);
    return _mm512_mask_sub_ps(_mm512_add_ps(a, b), 0x5555, a, b);
  }

  template <unsigned h>
  static void split(f a, f b, f& x, f& y) {
    static constexpr gather_indices<h> g;
    const __m512d pa = _mm512_castps_pd(a);
    const __m512d pb = _mm512_castps_pd(b);
    x = _mm512_castpd_ps(_mm512_permutex2var_pd(pa, _mm512_loadu_si512(g.split_x), pb));
    y = _mm512_castpd_ps(_mm512_permutex2var_pd(pa, _mm512_loadu_si512(g.split_y), pb));
  }
  template <unsigned h>
  static void merge(f x, f y, f& a, f& b) {
    static constexpr gather_indices<h> g;
    const __m512d px = _mm512_castps_pd(x);
    const __m512d py = _mm512_castps_pd(y);
    a = _mm512_castpd_ps(_mm512_permutex2var_pd(px, _mm512_loadu_si512(g.merge_a), py));
    b = _mm512_castpd_ps(_mm512_permutex2var_pd(px, _mm512_loadu_si512(g.merge_b), py));
  }
};

}  // namespace

const kernel_table avx512_kernels = kernel_loops<avx512>::table();

}  // namespace numerics::detail::fft
