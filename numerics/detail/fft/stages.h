// The Danielson-Lanczos stages of the radix-2 transforms over contiguous rows, run by the
// vector kernels of the active path.
//
// The stage of half-width h combines value k of each group of 2h with value k + h under factor
// k of the stage's recurrence (fft_support.h). The factors of a stage are produced by that
// recurrence in its own order, kept in stack tables and applied to every group that uses them;
// the recurrences of several stages are independent, so tables are filled side by side. Each
// butterfly computes exactly what the one-at-a-time loops compute: only the order of
// independent butterflies, and where the factors are kept, differ.
#ifndef NUMERICS_DETAIL_FFT_STAGES_H
#define NUMERICS_DETAIL_FFT_STAGES_H

#include <emmintrin.h>
#include <stddef.h>

#include "numerics/detail/fft/kernels.h"
#include "numerics/detail/fft_support.h"

namespace numerics::detail::fft {

// The factors of tables of W (double: products in double; float: the factor rounded to float
// first, products in float).
template <class W>
struct table_entry {
  static W of(double w) { return static_cast<W>(w); }
};

// One stage's factors from its recurrence, written laid out as the data (see kernels.h).
template <class W>
struct factor_run {
  rotation turn;
  twiddle w;
  W* re;
  W* im;
  unsigned count;
};

// Two recurrences in the two halves of SSE2 registers (the x86-64 baseline): each half does
// exactly the scalar operations of twiddle::advance.
struct twiddle_pair {
  __m128d w_r, w_i, alpha, beta;

  twiddle_pair(const rotation& a, const twiddle& wa, const rotation& b, const twiddle& wb)
      : w_r(_mm_set_pd(wb.w_r, wa.w_r)),
        w_i(_mm_set_pd(wb.w_i, wa.w_i)),
        alpha(_mm_set_pd(b.alpha, a.alpha)),
        beta(_mm_set_pd(b.beta, a.beta)) {}

  void advance() {
    const __m128d w = w_r;
    w_r = _mm_add_pd(_mm_sub_pd(_mm_mul_pd(w, alpha), _mm_mul_pd(w_i, beta)), w);
    w_i = _mm_add_pd(_mm_add_pd(_mm_mul_pd(w_i, alpha), _mm_mul_pd(w, beta)), w_i);
  }
  static double low(__m128d v) { return _mm_cvtsd_f64(v); }
  static double high(__m128d v) { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
};

template <class W>
void put(factor_run<W>& run, unsigned k, double w_r, double w_i) {
  run.re[2 * k] = run.re[2 * k + 1] = table_entry<W>::of(w_r);
  run.im[2 * k] = run.im[2 * k + 1] = table_entry<W>::of(w_i);
}

// Fills the tables of four runs (ordered by decreasing count) at once, so that the processor
// overlaps the latencies of their recurrences; the runs' own factors are left as they were.
template <class W>
void fill_four(factor_run<W>* runs) {
  twiddle_pair first(runs[0].turn, runs[0].w, runs[1].turn, runs[1].w);
  twiddle_pair second(runs[2].turn, runs[2].w, runs[3].turn, runs[3].w);
  for (unsigned k = 0; k < runs[0].count; ++k) {
    put(runs[0], k, twiddle_pair::low(first.w_r), twiddle_pair::low(first.w_i));
    if (k < runs[1].count) put(runs[1], k, twiddle_pair::high(first.w_r), twiddle_pair::high(first.w_i));
    first.advance();
    if (k >= runs[2].count) continue;
    put(runs[2], k, twiddle_pair::low(second.w_r), twiddle_pair::low(second.w_i));
    if (k < runs[3].count) put(runs[3], k, twiddle_pair::high(second.w_r), twiddle_pair::high(second.w_i));
    second.advance();
  }
}

// One run's tables, its factor advanced past them (for tables filled a chunk at a time).
template <class W>
void fill(factor_run<W>& run) {
  twiddle w = run.w;
  for (unsigned k = 0; k < run.count; ++k) {
    put(run, k, w.w_r, w.w_i);
    w.advance(run.turn);
  }
  run.w = w;
}

// Fills every run's tables, four recurrences side by side; runs are ordered by decreasing count.
template <class W>
void fill_side_by_side(factor_run<W>* runs, int run_count) {
  for (; run_count >= 4; runs += 4, run_count -= 4) fill_four(runs);
  for (; run_count > 0; ++runs, --run_count) fill(*runs);
}

// t = w * y as the stages define it for one value (the scalar form of the kernels).
inline float product_r(double w_r, double w_i, const float* y) { return static_cast<float>(w_r * y[0] - w_i * y[1]); }
inline float product_i(double w_r, double w_i, const float* y) { return static_cast<float>(w_r * y[1] + w_i * y[0]); }
inline float product_r(float w_r, float w_i, const float* y) { return w_r * y[0] - w_i * y[1]; }
inline float product_i(float w_r, float w_i, const float* y) { return w_r * y[1] + w_i * y[0]; }

template <class W>
void butterfly(float* x, float* y, W w_r, W w_i) {
  const float t_r = product_r(w_r, w_i, y);
  const float t_i = product_i(w_r, w_i, y);
  y[0] = x[0] - t_r;
  y[1] = x[1] - t_i;
  x[0] += t_r;
  x[1] += t_i;
}

// Every stage of `rows` transforms of `length` values each (both powers of two), stored one
// after the other in data[0..2*rows*length-1] and already bit-reversed. angle(h) is the angle
// of the stage of half-width h.
template <class W, class Angle>
class contiguous_stages {
 public:
  contiguous_stages(float* data, unsigned length, unsigned rows, Angle angle)
      : data_(data), length_(length), rows_(rows), angle_(angle), kernels_(active_kernels()) {}

  void run() {
    const unsigned lanes = kernels_.lanes;
    if (length_ < 2 * lanes) return run_one_at_a_time();
    fill_patterns();
    if (length_ - 2 * lanes <= capacity) {
      // Every factor fits: one row at a time, all its stages while it is in cache.
      fill_stages(2 * lanes, length_);
      for (unsigned r = 0; r < rows_; ++r) {
        float* row = data_ + 2 * static_cast<size_t>(r) * length_;
        first_stages(row, length_);
        W* re = table_re_;
        W* im = table_im_;
        for (unsigned h = 2 * lanes; h < length_; h <<= 1) {
          apply(row, length_, h, 0, h, re, im);
          re += 2 * h;
          im += 2 * h;
        }
      }
      return;
    }
    const unsigned values = length_ * rows_;
    first_stages(data_, values);
    // Small stages in groups that fit the tables together, then the large ones a chunk at a time.
    unsigned h = 2 * lanes;
    while (h < length_ && h <= capacity / 2) {
      unsigned end = h;
      unsigned used = 0;
      while (end < length_ && used + end <= capacity) used += end, end <<= 1;
      fill_stages(h, end);
      W* re = table_re_;
      W* im = table_im_;
      for (; h < end; h <<= 1) {
        apply(data_, values, h, 0, h, re, im);
        re += 2 * h;
        im += 2 * h;
      }
    }
    for (; h < length_; h <<= 1) {
      factor_run<W> run{rotation(angle_(h)), twiddle{}, table_re_, table_im_, 0};
      for (unsigned k = 0; k < h; k += capacity) {
        run.count = capacity < h - k ? capacity : h - k;
        fill(run);
        apply(data_, values, h, k, run.count, table_re_, table_im_);
      }
    }
  }

 private:
  // Factors held in the stack tables: 32 KB of double factors, 16 KB of float ones.
  static constexpr unsigned capacity = 1024;
  // The in-register stages: half-widths 1 .. lanes (four stages at most 8 lanes), 2 * lanes
  // entries each.
  static constexpr unsigned pattern_size = 4 * 2 * 8;

  void first_stages(float* data, unsigned values) {
    if constexpr (sizeof(W) == sizeof(double))
      kernels_.first_stages_double(data, values, pattern_re_, pattern_im_);
    else
      kernels_.first_stages_float(data, values, pattern_re_, pattern_im_);
  }

  // The stage of half-width h for factors first..first+count-1 on `values` values.
  void apply(float* data, unsigned values, unsigned h, unsigned first, unsigned count, const W* re, const W* im) {
    const stage_blocks s{data + 2 * first, 2 * h, 4 * h, values / (2 * h), count};
    if constexpr (sizeof(W) == sizeof(double))
      kernels_.stage_double(s, re, im);
    else
      kernels_.stage_float(s, re, im);
  }

  // Entry j of the pattern of half-width h is factor j mod h of that stage.
  void fill_patterns() {
    const unsigned lanes = kernels_.lanes;
    W* re = pattern_re_;
    W* im = pattern_im_;
    for (unsigned h = 1; h <= lanes; h <<= 1) {
      factor_run<W> run{rotation(angle_(h)), twiddle{}, re, im, h};
      fill(run);
      for (unsigned j = 2 * h; j < 2 * lanes; ++j) {
        re[j] = re[j % (2 * h)];
        im[j] = im[j % (2 * h)];
      }
      re += 2 * lanes;
      im += 2 * lanes;
    }
  }

  // The tables of the stages of half-widths first, 2*first, ... below end, one after the other.
  void fill_stages(unsigned first, unsigned end) {
    factor_run<W> runs[32];
    int count = 0;
    size_t offset = 2 * static_cast<size_t>(end - first);
    for (unsigned h = end >> 1; h >= first; h >>= 1) {
      offset -= 2 * h;
      runs[count++] = {rotation(angle_(h)), twiddle{}, table_re_ + offset, table_im_ + offset, h};
    }
    fill_side_by_side(runs, count);
  }

  // Lengths below two vectors: the stages one butterfly at a time.
  void run_one_at_a_time() {
    for (unsigned h = 1; h < length_; h <<= 1) {
      const rotation turn(angle_(h));
      twiddle w;
      for (unsigned k = 0; k < h; ++k) {
        const W w_r = table_entry<W>::of(w.w_r);
        const W w_i = table_entry<W>::of(w.w_i);
        for (size_t i = 2 * k; i < 2 * static_cast<size_t>(length_) * rows_; i += 4 * h)
          butterfly(data_ + i, data_ + i + 2 * h, w_r, w_i);
        w.advance(turn);
      }
    }
  }

  float* data_;
  unsigned length_;
  unsigned rows_;
  Angle angle_;
  const kernel_table& kernels_;
  W table_re_[2 * capacity];
  W table_im_[2 * capacity];
  W pattern_re_[pattern_size];
  W pattern_im_[pattern_size];
};

template <class W, class Angle>
void run_contiguous_stages(float* data, unsigned length, unsigned rows, Angle angle) {
  contiguous_stages<W, Angle>(data, length, rows, angle).run();
}

}  // namespace numerics::detail::fft

#endif
