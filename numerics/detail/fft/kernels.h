// The butterfly kernels of the Fourier transforms, one table per vector path.
//
// Every kernel works on complex values stored as interleaved float pairs, 0-based. A butterfly
// combines x and y under the twiddle factor w: t = w * y, then y = x - t and x = x + t in float.
// In the double-product kernels t_r = w_r*y_r - w_i*y_i and t_i = w_r*y_i + w_i*y_r are formed
// in double from the double factor and each rounded to float once; in the float-product kernels
// the factor was rounded to float beforehand and t is formed in float. Every path computes each
// of these operations on the same operands, so the paths differ in speed only.
//
// Twiddle tables are laid out as the data are: the factor of complex value k is stored twice,
// re[2k] = re[2k+1] = w_r and im[2k] = im[2k+1] = w_i, beside its real and imaginary part.
#ifndef NUMERICS_DETAIL_FFT_KERNELS_H
#define NUMERICS_DETAIL_FFT_KERNELS_H

namespace numerics::detail::fft {

// One radix-2 stage applied to `blocks` blocks: in block b, x = data + b * block_stride and
// y = x + y_offset (in floats); the butterflies pair x[k] with y[k] for k = 0..count-1 (count a
// multiple of `lanes`).
struct stage_blocks {
  float* data;
  unsigned y_offset;
  unsigned block_stride;
  unsigned blocks;
  unsigned count;
};

struct kernel_table {
  // Complex values per float vector; a power of two (2, 4 or 8).
  unsigned lanes;

  // The first stages, half-widths 1, 2, ..., lanes, on every group of 2 * lanes complex values
  // of `values` (a multiple of 2 * lanes), in registers. The twiddle factors of the stage of
  // half-width h are the table at patterns_re/im + 2 * lanes * log2(h), where entry j holds
  // factor j mod h of that stage.
  void (*first_stages_double)(float* data, unsigned values, const double* patterns_re, const double* patterns_im);
  void (*first_stages_float)(float* data, unsigned values, const float* patterns_re, const float* patterns_im);

  // One stage with a factor per k: factor k from re/im (laid out as the data).
  void (*stage_double)(const stage_blocks& s, const double* re, const double* im);
  void (*stage_float)(const stage_blocks& s, const float* re, const float* im);

  // One stage with the same factor (w_r, w_i) for every k.
  void (*stage_float_uniform)(const stage_blocks& s, float w_r, float w_i);
};

// The kernels of the active vector path (numerics/detail/cpu_dispatch.h).
const kernel_table& active_kernels();

extern const kernel_table sse2_kernels;
extern const kernel_table avx2_kernels;
extern const kernel_table avx512_kernels;

}  // namespace numerics::detail::fft

#endif
