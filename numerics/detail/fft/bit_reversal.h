// The bit-reversal permutations that precede the butterflies. They only move values, so every
// order of the swaps gives the same result; the large ones go tile by tile to stay in cache.
#ifndef NUMERICS_DETAIL_FFT_BIT_REVERSAL_H
#define NUMERICS_DETAIL_FFT_BIT_REVERSAL_H

namespace numerics::detail::fft {

// Puts complex value k of data[0..2*values-1] (values a power of two) where value
// bit-reverse(k) was.
void bit_reverse(float* data, unsigned values);

// The same along one dimension of a row-major array: `repeats` blocks, each of `length` steps
// of `run` consecutive complex values; step q of a block trades places with step
// bit-reverse(q), the whole run at once.
void bit_reverse_runs(float* data, unsigned length, unsigned run, unsigned repeats);

}  // namespace numerics::detail::fft

#endif
