// The linear algebra kernels for AVX-512: sixteen floats per register.
// GCC 12's AVX-512 header starts some intrinsics from a deliberately undefined register, which
// its own uninitialised-use check then reports at every use.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#include <immintrin.h>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

#include "numerics/detail/linear_algebra/kernel_bodies.h"

namespace numerics::detail::linear_algebra {
namespace {

struct avx512_lanes {
  static constexpr int width = 16;
  using reg = __m512;
  static reg load(const float* p) { return _mm512_loadu_ps(p); }
  static void store(float* p, reg v) { _mm512_storeu_ps(p, v); }
  static reg broadcast(float x) { return _mm512_set1_ps(x); }
  static reg zero() { return _mm512_setzero_ps(); }
  static reg add(reg a, reg b) { return _mm512_add_ps(a, b); }
  static reg sub(reg a, reg b) { return _mm512_sub_ps(a, b); }
  static reg mul(reg a, reg b) { return _mm512_mul_ps(a, b); }
  static reg max(reg a, reg b) { return _mm512_max_ps(a, b); }
  // Lanes 0..n - 1 set, for select.
  using mask = __mmask16;
  static mask first_lanes(int n) { return static_cast<__mmask16>((1u << n) - 1u); }
  static reg select(mask m, reg a, reg b) { return _mm512_mask_blend_ps(m, b, a); }
  // The first n < 16 elements, the other lanes 0 (the rest of memory is not touched); and their store.
  static reg load_first(const float* p, int n) { return _mm512_maskz_loadu_ps(first_lanes(n), p); }
  static void store_first(float* p, reg v, int n) { _mm512_mask_storeu_ps(p, first_lanes(n), v); }
  // |x[k]| where counts[k] == 0, else 0.
  static reg candidate_magnitude(const float* x, const int* counts) {
    const __mmask16 unused = _mm512_cmpeq_epi32_mask(_mm512_loadu_si512(counts), _mm512_setzero_si512());
    return _mm512_maskz_mov_ps(unused, _mm512_abs_ps(load(x)));
  }
  // 16 x 16: pairs of rows interleaved, groups of four within each 128-bit lane, then the
  // lanes gathered across the four groups in two steps.
  static void transpose(reg* r) {
    reg t[16], u[16];
    for (int i = 0; i < 16; i += 2) {
      t[i] = _mm512_unpacklo_ps(r[i], r[i + 1]);
      t[i + 1] = _mm512_unpackhi_ps(r[i], r[i + 1]);
    }
    for (int g = 0; g < 16; g += 4) {
      u[g] = _mm512_shuffle_ps(t[g], t[g + 2], 0x44);
      u[g + 1] = _mm512_shuffle_ps(t[g], t[g + 2], 0xee);
      u[g + 2] = _mm512_shuffle_ps(t[g + 1], t[g + 3], 0x44);
      u[g + 3] = _mm512_shuffle_ps(t[g + 1], t[g + 3], 0xee);
    }
    for (int c = 0; c < 4; ++c) {
      const reg even_low = _mm512_shuffle_f32x4(u[c], u[c + 4], 0x88),
                odd_low = _mm512_shuffle_f32x4(u[c], u[c + 4], 0xdd);
      const reg even_high = _mm512_shuffle_f32x4(u[c + 8], u[c + 12], 0x88),
                odd_high = _mm512_shuffle_f32x4(u[c + 8], u[c + 12], 0xdd);
      r[c] = _mm512_shuffle_f32x4(even_low, even_high, 0x88);
      r[c + 4] = _mm512_shuffle_f32x4(odd_low, odd_high, 0x88);
      r[c + 8] = _mm512_shuffle_f32x4(even_low, even_high, 0xdd);
      r[c + 12] = _mm512_shuffle_f32x4(odd_low, odd_high, 0xdd);
    }
  }
};

}  // namespace

const kernels avx512_kernels = kernels_of<avx512_lanes>();

}  // namespace numerics::detail::linear_algebra
