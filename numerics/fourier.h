// Fast Fourier transforms: radix-2, in place, over 1-based float arrays.
//
// Complex data are stored as interleaved pairs: complex value k (from 0) has its real part at
// index 2k+1 and its imaginary part at 2k+2, so n complex values occupy data[1..2n] (a
// `vector(1, 2 * n)` can be passed as it is). Multidimensional arrays are row-major with the
// last index varying fastest.
//
// Convention: sign = +1 computes F_k = sum_j f_j * exp(+2*pi*i*j*k/n), sign = -1 the same sum
// with exp(-2*pi*i*j*k/n). No direction scales: a transform with -1 followed by one with +1
// gives n times the input.
//
// The data stay in single precision; twiddle factors are carried in double by a trigonometric
// recurrence, so each butterfly stage calls cr_sin() twice. Nothing is allocated (the factors
// of a stage are kept in tables on the stack, under 64 KB in all) and no state is kept: calls
// on distinct arrays may run on different threads at the same time.
//
// The butterflies run on the widest vector instructions the processor offers (SSE2, AVX2 or
// AVX-512, chosen at run time). Every path performs each butterfly's operations on the same
// operands in the same precision, so the results are the same bits on every path, and the same
// as one butterfly at a time in the order described at each routine; only a result that is NaN
// may differ, in the sign and payload of the NaN.
//
// Every length must be a power of two; other lengths end the process through run_time_error
// with the message given at each routine (the radix-2 steps would index past the arrays). At
// most 2^30 complex values (2^31 floats) are transformed in one call, so that every index fits
// an unsigned 32-bit integer.
//
// Every check comes before the first write: after an error that a handler turns into an
// exception (numerics/arrays.h), data and nyquist are as they were.
#ifndef NUMERICS_FOURIER_H
#define NUMERICS_FOURIER_H

#include "numerics/export.h"

namespace numerics {

// Replaces the n complex values in data[1..2n] by their transform; `sign` multiplies the angle
// (+1 forward, -1 inverse, unscaled). The butterfly products are formed in double and rounded
// to float. n = 0 and n = 1 leave the data unchanged.
// Bad input: n not a power of two (and not 0) -> "n must be a power of two in complex_fft";
// n above 2^30 -> "n too large in complex_fft".
NUMERICS_API void complex_fft(float data[], unsigned n, int sign);

// Transforms n real values in data[1..n]. sign == 1: replaces them by their packed spectrum,
// F_k = sum_j x_j * exp(+2*pi*i*j*k/n):
//   data[1] = F_0 (real), data[2] = F_{n/2} (real),
//   data[2k+1], data[2k+2] = real and imaginary parts of F_k for k = 1..n/2-1
// (F_k for k > n/2 is the conjugate of F_{n-k}). Any other sign: takes data as such a packed
// spectrum and replaces it by n/2 times the real sequence it belongs to (multiply by 2/n).
// Bad input: n below 2 or not a power of two -> "n must be a power of two, at least 2, in
// real_fft".
NUMERICS_API void real_fft(float data[], unsigned n, int sign);

// Replaces the complex array of dim_count dimensions with lengths dims[1..dim_count] (N values
// in data[1..2N]) by its multidimensional transform; `sign` as for complex_fft. Unlike
// complex_fft, the butterfly products are single precision: the twiddle factor is rounded to
// float before it multiplies the data, so results differ from complex_fft in the last bits.
// A dimension of length 1 is left as it is; dim_count < 1 (no dimensions) does nothing and
// reads nothing.
// Bad input: a length of 0 or not a power of two -> "dimension lengths must be powers of two
// in complex_fft_nd"; more than 2^30 values in all -> "too many values in complex_fft_nd".
NUMERICS_API void complex_fft_nd(float data[], const unsigned dims[], int dim_count, int sign);

// Three-dimensional transform of real data in a float 3-tensor data[1..size1][1..size2]
// [1..size3], real along its last dimension. With F(k1, k2, k3) = sum of x(j1, j2, j3) *
// exp(+2*pi*i*(k1*j1/size1 + k2*j2/size2 + k3*j3/size3)), x(j1, j2, j3) = data[j1+1][j2+1][j3+1]:
// sign == 1 replaces the data by the non-negative half of the spectrum,
//   data[k1+1][k2+1][2*k3+1], data[k1+1][k2+1][2*k3+2] = F(k1, k2, k3), k3 = 0..size3/2-1,
// and fills the Nyquist plane nyquist[1..size1][1..2*size2],
//   nyquist[k1+1][2*k2+1], nyquist[k1+1][2*k2+2] = F(k1, k2, size3/2).
// sign == -1 takes data and nyquist as such a half spectrum and replaces data by
// size1*size2*size3/2 times the real data (multiply by 2/(size1*size2*size3)); nyquist is
// used as scratch. Any other sign runs neither complex transform, only the recombination
// between them. size1 = 1 gives a two-dimensional transform (nyquist has one row).
// The tensor must be one row-major block (as f3tensor allocates it with lower bounds 1): if
// the element just past data[size1][size2][size3] is not size1*size2*size3 elements after
// data[1][1][1], the process exits at once with status 1 and prints nothing.
// Bad input, checked before that: a size of 0 or not a power of two, or size3 below 2 ->
// "sizes must be powers of two, size3 at least 2, in real_fft_3d"; more than 2^31 values ->
// "too many values in real_fft_3d".
// An installed run-time error handler is offered the silent exit first, with the message
// "the tensor is not one block in real_fft_3d" (numerics/arrays.h).
NUMERICS_API void real_fft_3d(float*** data, float** nyquist, unsigned size1, unsigned size2, unsigned size3, int sign);

}  // namespace numerics

#endif
