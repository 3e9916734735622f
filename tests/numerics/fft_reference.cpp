#include "fft_reference.h"

#include <stdint.h>

#include "numerics/elementary.h"

namespace fft_reference {
namespace {

constexpr double two_pi = 6.28318530717959;

void swap_floats(float& a, float& b) {
  const float t = a;
  a = b;
  b = t;
}

// cos(theta) - 1 and sin(theta): the two sine calls of a rotation.
struct rotation {
  explicit rotation(double theta) {
    const double sigma = numerics::cr_sin(theta / 2);
    alpha = -2.0 * sigma * sigma;
    beta = numerics::cr_sin(theta);
  }
  double alpha;
  double beta;
};

struct twiddle {
  double w_r = 1.0;
  double w_i = 0.0;
  void advance(const rotation& r) {
    const double w = w_r;
    w_r = (w * r.alpha - w_i * r.beta) + w;
    w_i = (w_i * r.alpha + w * r.beta) + w_i;
  }
};

struct half_sums {
  half_sums(float c1, float c2, const float* a, const float* b)
      : h1r(c1 * (a[0] + b[0])), h1i(c1 * (a[1] - b[1])), h2r(-c2 * (a[1] + b[1])), h2i(c2 * (a[0] - b[0])) {}
  float h1r;
  float h1i;
  float h2r;
  float h2i;
};

void recombine(float c1, float c2, const twiddle& w, float* a, float* b) {
  const half_sums h(c1, c2, a, b);
  a[0] = static_cast<float>(h.h1r + w.w_r * h.h2r - w.w_i * h.h2i);
  a[1] = static_cast<float>(h.h1i + w.w_r * h.h2i + w.w_i * h.h2r);
  b[0] = static_cast<float>(h.h1r - w.w_r * h.h2r + w.w_i * h.h2i);
  b[1] = static_cast<float>(-h.h1i + w.w_r * h.h2i + w.w_i * h.h2r);
}

}  // namespace

void complex_fft(float data[], unsigned n, int sign) {
  const unsigned m = n << 1;
  unsigned j = 1;
  for (unsigned i = 1; i < m; i += 2) {
    if (j > i) {
      swap_floats(data[j], data[i]);
      swap_floats(data[j + 1], data[i + 1]);
    }
    unsigned h = m >> 1;
    while (h >= 2 && j > h) {
      j -= h;
      h >>= 1;
    }
    j += h;
  }
  for (unsigned s = 2; m > s; s <<= 1) {
    const unsigned step = s << 1;
    const rotation turn(sign * (two_pi / s));
    twiddle w;
    for (unsigned o = 1; o < s; o += 2) {
      for (unsigned i = o; i <= m; i += step) {
        const unsigned k = i + s;
        const float t_r = static_cast<float>(w.w_r * data[k] - w.w_i * data[k + 1]);
        const float t_i = static_cast<float>(w.w_r * data[k + 1] + w.w_i * data[k]);
        data[k] = data[i] - t_r;
        data[k + 1] = data[i + 1] - t_i;
        data[i] += t_r;
        data[i + 1] += t_i;
      }
      w.advance(turn);
    }
  }
}

void real_fft(float data[], unsigned n, int sign) {
  const unsigned half = n >> 1;
  const bool forward = sign == 1;
  double theta = 3.141592653589793 / static_cast<double>(half);
  const float c1 = 0.5f;
  float c2 = 0.5f;
  if (forward) {
    c2 = -0.5f;
    complex_fft(data, half, 1);
  } else {
    theta = -theta;
  }
  const rotation turn(theta);
  twiddle w{1.0 + turn.alpha, turn.beta};
  for (unsigned i = 2; i <= (n >> 2); ++i) {
    const unsigned i1 = 2 * i - 1;
    recombine(c1, c2, w, &data[i1], &data[n + 2 - i1]);
    w.advance(turn);
  }
  const float v = data[1];
  if (forward) {
    data[1] = v + data[2];
    data[2] = v - data[2];
  } else {
    data[1] = c1 * (v + data[2]);
    data[2] = c1 * (v - data[2]);
    complex_fft(data, half, -1);
  }
}

void complex_fft_nd(float data[], const unsigned dims[], int dim_count, int sign) {
  unsigned n = 1;
  for (int r = 1; r <= dim_count; ++r) n *= dims[r];
  unsigned p = 1;
  for (int r = dim_count; r >= 1; --r) {
    const unsigned a = p << 1;
    const unsigned b = a * dims[r];
    const unsigned c = b * (n / (dims[r] * p));
    unsigned q = 1;
    for (unsigned i = 1; i <= b; i += a) {
      if (i < q) {
        for (unsigned u = i; u <= i + a - 2; u += 2) {
          for (unsigned t = u; t <= c; t += b) {
            const unsigned partner = q + t - i;
            swap_floats(data[t], data[partner]);
            swap_floats(data[t + 1], data[partner + 1]);
          }
        }
      }
      unsigned h = b >> 1;
      while (h >= a && q > h) {
        q -= h;
        h >>= 1;
      }
      q += h;
    }
    for (unsigned e = a; e < b; e <<= 1) {
      const unsigned f = e << 1;
      const rotation turn((sign * two_pi) / static_cast<double>(f / a));
      twiddle w;
      for (unsigned o = 1; o <= e; o += a) {
        const float w_r = static_cast<float>(w.w_r);
        const float w_i = static_cast<float>(w.w_i);
        for (unsigned u = o; u <= o + a - 2; u += 2) {
          for (unsigned k = u; k <= c; k += f) {
            const unsigned k2 = k + e;
            const float t_r = w_r * data[k2] - w_i * data[k2 + 1];
            const float t_i = w_r * data[k2 + 1] + w_i * data[k2];
            data[k2] = data[k] - t_r;
            data[k2 + 1] = data[k + 1] - t_i;
            data[k] += t_r;
            data[k + 1] += t_i;
          }
        }
        w.advance(turn);
      }
    }
    p *= dims[r];
  }
}

// The tensor's storage is used as one flat array from data[1][1][1], as the routine requires.
void real_fft_3d(float*** data, float** nyquist, unsigned size1, unsigned size2, unsigned size3, int sign) {
  const float c1 = 0.5f;
  const float c2 = static_cast<float>(-0.5 * sign);
  const rotation turn(sign * (two_pi / size3));
  const unsigned dims[4] = {0, size1, size2, size3 >> 1};
  float* flat = reinterpret_cast<float*>(reinterpret_cast<uintptr_t>(&data[1][1][1]) - sizeof(float));
  if (sign == 1) {
    complex_fft_nd(flat, dims, 3, 1);
    for (unsigned i1 = 1; i1 <= size1; ++i1) {
      for (unsigned i2 = 1; i2 <= size2; ++i2) {
        nyquist[i1][2 * i2 - 1] = data[i1][i2][1];
        nyquist[i1][2 * i2] = data[i1][i2][2];
      }
    }
  }
  for (unsigned i1 = 1; i1 <= size1; ++i1) {
    const unsigned j1 = i1 == 1 ? 1 : size1 - i1 + 2;
    twiddle w;
    for (unsigned i3 = 1; i3 <= (size3 >> 2) + 1; ++i3) {
      const unsigned g = 2 * i3 - 1;
      for (unsigned i2 = 1; i2 <= size2; ++i2) {
        if (i3 == 1) {
          const unsigned j2 = i2 == 1 ? 1 : 2 * (size2 - i2) + 3;
          float* a = &data[i1][i2][1];
          float* b = &nyquist[j1][j2];
          const half_sums h(c1, c2, a, b);
          a[0] = h.h1r + h.h2r;
          a[1] = h.h1i + h.h2i;
          b[0] = h.h1r - h.h2r;
          b[1] = h.h2i - h.h1i;
        } else {
          const unsigned j2 = i2 == 1 ? 1 : size2 - i2 + 2;
          const unsigned j3 = size3 + 3 - 2 * i3;
          recombine(c1, c2, w, &data[i1][i2][g], &data[j1][j2][j3]);
        }
      }
      w.advance(turn);
    }
  }
  if (sign == -1) complex_fft_nd(flat, dims, 3, -1);
}

}  // namespace fft_reference
