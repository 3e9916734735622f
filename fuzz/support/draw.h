// Drawing arguments from a fuzzer input: values that reach the interesting edges often.
#ifndef FUZZ_SUPPORT_DRAW_H
#define FUZZ_SUPPORT_DRAW_H

#include <fuzzer/FuzzedDataProvider.h>
#include <math.h>
#include <stdint.h>

#include "outcome.h"

namespace fuzz {

// A float: any bit pattern (NaN, infinities, subnormals), a small integer, or a moderate value.
inline float draw_float(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return float_of(in.ConsumeIntegral<uint32_t>());
    case 1:
      return static_cast<float>(in.ConsumeIntegralInRange(-8, 8));
    case 2:
      return in.ConsumeFloatingPointInRange(-1e3f, 1e3f);
    default:
      return in.ConsumeFloatingPointInRange(-1.0f, 1.0f);
  }
}

// Zero, or a float of moderate size far enough above the subnormal range to keep its full
// precision through a few products: results on such data can be checked against arithmetic.
inline bool is_moderate(float x) { return x == 0.0f || (fabsf(x) >= 1e-30f && fabsf(x) <= 1e6f); }

// A power of two 2^0..2^max_shift most of the time, otherwise 0 or any 32-bit value.
inline unsigned draw_length(FuzzedDataProvider& in, int max_shift) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0:
      return in.ConsumeIntegral<unsigned>();
    case 1:
      return in.PickValueInArray<unsigned>({0u, 3u, 6u, 12u, 1u << 30, 1u << 31, 0xffffffffu});
    default:
      return 1u << in.ConsumeIntegralInRange(0, max_shift);
  }
}

// +1 or -1 most of the time, otherwise any int.
inline int draw_sign(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0:
      return in.ConsumeIntegral<int>();
    case 1:
    case 2:
      return 1;
    default:
      return -1;
  }
}

}  // namespace fuzz

#endif
