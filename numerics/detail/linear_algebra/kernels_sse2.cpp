// The linear algebra kernels on the SSE2 baseline: four floats per register.
#include <emmintrin.h>

#include "numerics/detail/linear_algebra/kernel_bodies.h"

namespace numerics::detail::linear_algebra {
namespace {

struct sse2_lanes {
  static constexpr int width = 4;
  using reg = __m128;
  static reg load(const float* p) { return _mm_loadu_ps(p); }
  static void store(float* p, reg v) { _mm_storeu_ps(p, v); }
  static reg broadcast(float x) { return _mm_set1_ps(x); }
  static reg zero() { return _mm_setzero_ps(); }
  static reg add(reg a, reg b) { return _mm_add_ps(a, b); }
  static reg sub(reg a, reg b) { return _mm_sub_ps(a, b); }
  static reg mul(reg a, reg b) { return _mm_mul_ps(a, b); }
  static reg max(reg a, reg b) { return _mm_max_ps(a, b); }
  // Lanes 0..n - 1 set, for select.
  using mask = __m128;
  static mask first_lanes(int n) {
    return _mm_castsi128_ps(_mm_cmplt_epi32(_mm_setr_epi32(0, 1, 2, 3), _mm_set1_epi32(n)));
  }
  static reg select(mask m, reg a, reg b) { return _mm_or_ps(_mm_and_ps(m, a), _mm_andnot_ps(m, b)); }
  // The first n < 4 elements, the other lanes 0; and their store.
  static reg load_first(const float* p, int n) {
    float lanes[width] = {};
    for (int i = 0; i < n; ++i) lanes[i] = p[i];
    return load(lanes);
  }
  static void store_first(float* p, reg v, int n) {
    float lanes[width];
    store(lanes, v);
    for (int i = 0; i < n; ++i) p[i] = lanes[i];
  }
  // |x[k]| where counts[k] == 0, else 0.
  static reg candidate_magnitude(const float* x, const int* counts) {
    const __m128i unused =
        _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(counts)), _mm_setzero_si128());
    const __m128 magnitude = _mm_and_ps(load(x), _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff)));
    return _mm_and_ps(magnitude, _mm_castsi128_ps(unused));
  }
  static void transpose(reg* r) { _MM_TRANSPOSE4_PS(r[0], r[1], r[2], r[3]); }
};

}  // namespace

const kernels sse2_kernels = kernels_of<sse2_lanes>();

}  // namespace numerics::detail::linear_algebra
