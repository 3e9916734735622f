// The linear algebra kernels for AVX2: eight floats per register.
#include <immintrin.h>

#include "numerics/detail/linear_algebra/kernel_bodies.h"

namespace numerics::detail::linear_algebra {
namespace {

struct avx2_lanes {
  static constexpr int width = 8;
  using reg = __m256;
  static reg load(const float* p) { return _mm256_loadu_ps(p); }
  static void store(float* p, reg v) { _mm256_storeu_ps(p, v); }
  static reg broadcast(float x) { return _mm256_set1_ps(x); }
  static reg zero() { return _mm256_setzero_ps(); }
  static reg add(reg a, reg b) { return _mm256_add_ps(a, b); }
  static reg sub(reg a, reg b) { return _mm256_sub_ps(a, b); }
  static reg mul(reg a, reg b) { return _mm256_mul_ps(a, b); }
  static reg max(reg a, reg b) { return _mm256_max_ps(a, b); }
  // Lanes 0..n - 1 set, for select.
  using mask = __m256;
  static __m256i first_lanes_bits(int n) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  }
  static mask first_lanes(int n) { return _mm256_castsi256_ps(first_lanes_bits(n)); }
  static reg select(mask m, reg a, reg b) { return _mm256_blendv_ps(b, a, m); }
  // The first n < 8 elements, the other lanes 0 (the rest of memory is not touched); and their store.
  static reg load_first(const float* p, int n) { return _mm256_maskload_ps(p, first_lanes_bits(n)); }
  static void store_first(float* p, reg v, int n) { _mm256_maskstore_ps(p, first_lanes_bits(n), v); }
  // |x[k]| where counts[k] == 0, else 0.
  static reg candidate_magnitude(const float* x, const int* counts) {
    const __m256i unused =
        _mm256_cmpeq_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(counts)), _mm256_setzero_si256());
    const __m256 magnitude = _mm256_and_ps(load(x), _mm256_castsi256_ps(_mm256_set1_epi32(0x7fffffff)));
    return _mm256_and_ps(magnitude, _mm256_castsi256_ps(unused));
  }
  // 8 x 8: pairs of rows interleaved, then groups of four, then the two 128-bit halves.
  static void transpose(reg* r) {
    reg t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
      t[i] = _mm256_unpacklo_ps(r[i], r[i + 1]);
      t[i + 1] = _mm256_unpackhi_ps(r[i], r[i + 1]);
    }
    for (int g = 0; g < 8; g += 4) {
      u[g] = _mm256_shuffle_ps(t[g], t[g + 2], 0x44);
      u[g + 1] = _mm256_shuffle_ps(t[g], t[g + 2], 0xee);
      u[g + 2] = _mm256_shuffle_ps(t[g + 1], t[g + 3], 0x44);
      u[g + 3] = _mm256_shuffle_ps(t[g + 1], t[g + 3], 0xee);
    }
    for (int c = 0; c < 4; ++c) {
      r[c] = _mm256_permute2f128_ps(u[c], u[c + 4], 0x20);
      r[c + 4] = _mm256_permute2f128_ps(u[c], u[c + 4], 0x31);
    }
  }
};

}  // namespace

const kernels avx2_kernels = kernels_of<avx2_lanes>();

}  // namespace numerics::detail::linear_algebra
