#include <stddef.h>

#include "numerics/arrays.h"
#include "numerics/detail/fft/bit_reversal.h"
#include "numerics/detail/fft/stages.h"
#include "numerics/detail/fft_support.h"
#include "numerics/fourier.h"

namespace numerics {
namespace {

namespace fft = detail::fft;

// One dimension of the row-major array: `repeats` blocks (the slower dimensions), each of
// `length` steps along the dimension, each step `run` consecutive complex values (the faster
// dimensions).
struct dimension {
  unsigned length;
  unsigned run;
  unsigned repeats;
};

// The stages along a dimension whose steps are runs of several values: every butterfly of a
// stage with factor k combines two whole runs under that one factor. Columns are taken a slab
// at a time, through every stage, while they stay in cache.
template <class Angle>
class strided_stages {
 public:
  strided_stages(float* data, const dimension& d, Angle angle)
      : data_(data), d_(d), angle_(angle), kernels_(fft::active_kernels()) {}

  void run() {
    if (d_.run % kernels_.lanes != 0) return run_one_at_a_time();
    if (d_.length - 1 > capacity) return run_stage_by_stage();
    fill_all_stages();
    unsigned slab = slab_values / d_.length;
    if (slab < kernels_.lanes) slab = kernels_.lanes;
    if (slab > d_.run) slab = d_.run;
    const size_t block = 2 * static_cast<size_t>(d_.length) * d_.run;
    for (unsigned r = 0; r < d_.repeats; ++r) {
      for (unsigned p = 0; p < d_.run; p += slab) {
        float* columns = data_ + r * block + 2 * static_cast<size_t>(p);
        const float* re = table_re_;
        const float* im = table_im_;
        for (unsigned h = 1; h < d_.length; h <<= 1) {
          for (unsigned k = 0; k < h; ++k) apply(columns, d_.length / (2 * h), h, k, slab, re[2 * k], im[2 * k]);
          re += 2 * h;
          im += 2 * h;
        }
      }
    }
  }

 private:
  static constexpr unsigned capacity = 2048;
  // Values per slab: 512 KB of data, in runs of at least 64 values (power-of-two strides make
  // narrower runs of many rows collide in the caches).
  static constexpr unsigned slab_values = 65536;

  // Factor k of the stage of half-width h on `blocks` groups of 2h steps from `columns`, for
  // `count` values of each run.
  void apply(float* columns, unsigned blocks, unsigned h, unsigned k, unsigned count, float w_r, float w_i) {
    const size_t step = 2 * static_cast<size_t>(d_.run);
    const fft::stage_blocks s{columns + k * step, static_cast<unsigned>(h * step), static_cast<unsigned>(2 * h * step),
                              blocks, count};
    kernels_.stage_float_uniform(s, w_r, w_i);
  }

  void fill_all_stages() {
    fft::factor_run<float> runs[32];
    int count = 0;
    size_t offset = 2 * static_cast<size_t>(d_.length - 1);
    for (unsigned h = d_.length >> 1; h >= 1; h >>= 1) {
      offset -= 2 * h;
      runs[count++] = {detail::rotation(angle_(h)), detail::twiddle{}, table_re_ + offset, table_im_ + offset, h};
    }
    fft::fill_side_by_side(runs, count);
  }

  // Long dimensions: each stage over the whole array, its factors a table at a time.
  void run_stage_by_stage() {
    for (unsigned h = 1; h < d_.length; h <<= 1) {
      fft::factor_run<float> run{detail::rotation(angle_(h)), detail::twiddle{}, table_re_, table_im_, 0};
      for (unsigned first = 0; first < h; first += capacity) {
        run.count = capacity < h - first ? capacity : h - first;
        fft::fill(run);
        for (unsigned k = 0; k < run.count; ++k)
          apply(data_, d_.length / (2 * h) * d_.repeats, h, first + k, d_.run, table_re_[2 * k], table_im_[2 * k]);
      }
    }
  }

  // Runs shorter than a vector: one butterfly at a time.
  void run_one_at_a_time() {
    const size_t step = 2 * static_cast<size_t>(d_.run);
    const size_t end = step * d_.length * d_.repeats;
    for (unsigned h = 1; h < d_.length; h <<= 1) {
      const detail::rotation turn(angle_(h));
      detail::twiddle w;
      for (unsigned k = 0; k < h; ++k) {
        const float w_r = static_cast<float>(w.w_r);
        const float w_i = static_cast<float>(w.w_i);
        for (size_t g = k * step; g < end; g += 2 * h * step) {
          for (size_t u = 0; u < step; u += 2) fft::butterfly(data_ + g + u, data_ + g + u + h * step, w_r, w_i);
        }
        w.advance(turn);
      }
    }
  }

  float* data_;
  dimension d_;
  Angle angle_;
  const fft::kernel_table& kernels_;
  float table_re_[2 * capacity];
  float table_im_[2 * capacity];
};

// Bit reversal along the dimension, then its stages with products in float.
void transform_along(float* data, const dimension& d, int sign) {
  if (d.length == 1) return;
  fft::bit_reverse_runs(data, d.length, d.run, d.repeats);
  // The stage of half-width h spans f = 2h steps: its angle is (sign * 2 pi) / (f / a).
  const auto angle = [sign](unsigned h) { return (sign * detail::two_pi) / static_cast<double>(2 * h); };
  if (d.run == 1)
    fft::run_contiguous_stages<float>(data, d.length, d.repeats, angle);
  else
    strided_stages<decltype(angle)>(data, d, angle).run();
}

}  // namespace

void complex_fft_nd(float data[], const unsigned dims[], int dim_count, int sign) {
  // The total is checked as it grows, so that it cannot wrap before it is found too large.
  unsigned long long total = 1;
  for (int r = 1; r <= dim_count; ++r) {
    if (!detail::is_power_of_two(dims[r])) run_time_error("dimension lengths must be powers of two in complex_fft_nd");
    total *= dims[r];
    if (total > detail::max_complex_values) run_time_error("too many values in complex_fft_nd");
  }
  const unsigned n = static_cast<unsigned>(total);

  // The last, fastest-varying dimension first; `done` counts the values of the dimensions done.
  unsigned done = 1;
  for (int r = dim_count; r >= 1; --r) {
    const unsigned length = dims[r];
    transform_along(&data[1], dimension{length, done, n / (length * done)}, sign);
    done *= length;
  }
}

}  // namespace numerics
