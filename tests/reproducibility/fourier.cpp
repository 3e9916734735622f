// The transforms forward and back: one-dimensional lengths from 1 (2 for real data) to 2^16,
// multidimensional arrays of two to four dimensions, and 3-D volumes of real data.
#include "families.h"
#include "input_sequence.h"
#include "numerics/arrays.h"
#include "numerics/fourier.h"

using namespace numerics;

void hash_complex_fft(OutputHash& out) {
  for (unsigned n = 1; n <= 1u << 16; n *= 2) {
    InputSequence in(n);
    const int floats = static_cast<int>(2 * n);
    float* data = vector(1, floats);
    in.fill(data, 1, floats, -1.0f, 1.0f);
    complex_fft(data, n, 1);
    out.add(data, 1, floats);
    complex_fft(data, n, -1);
    out.add(data, 1, floats);
    release_vector(data, 1, floats);
  }
}

void hash_real_fft(OutputHash& out) {
  for (unsigned n = 2; n <= 1u << 16; n *= 2) {
    InputSequence in(n);
    float* data = vector(1, static_cast<int>(n));
    in.fill(data, 1, n, -1.0f, 1.0f);
    real_fft(data, n, 1);
    out.add(data, 1, n);
    real_fft(data, n, -1);
    out.add(data, 1, n);
    release_vector(data, 1, static_cast<int>(n));
  }
}

void hash_complex_fft_nd(OutputHash& out) {
  const struct {
    int dim_count;
    unsigned dims[5];  // dims[1..dim_count]
  } shapes[] = {{2, {0, 64, 32}}, {2, {0, 1, 16}}, {3, {0, 16, 8, 32}}, {4, {0, 4, 2, 8, 4}}};
  for (const auto& shape : shapes) {
    unsigned values = 1;
    for (int d = 1; d <= shape.dim_count; ++d) values *= shape.dims[d];
    InputSequence in(values + static_cast<unsigned>(shape.dim_count));
    const int floats = static_cast<int>(2 * values);
    float* data = vector(1, floats);
    in.fill(data, 1, floats, -1.0f, 1.0f);
    complex_fft_nd(data, shape.dims, shape.dim_count, 1);
    out.add(data, 1, floats);
    complex_fft_nd(data, shape.dims, shape.dim_count, -1);
    out.add(data, 1, floats);
    release_vector(data, 1, floats);
  }
}

void hash_real_fft_3d(OutputHash& out) {
  const unsigned shapes[][3] = {{16, 32, 64}, {1, 8, 16}, {4, 4, 2}};
  for (const auto& size : shapes) {
    const int s1 = static_cast<int>(size[0]), s2 = static_cast<int>(size[1]), s3 = static_cast<int>(size[2]);
    InputSequence in(size[0] * size[1] * size[2]);
    float*** data = f3tensor(1, s1, 1, s2, 1, s3);
    float** nyquist = matrix(1, s1, 1, 2 * s2);
    float* flat = data[1][1] + 1;  // the whole block, data[1][1][1] first
    const long values = static_cast<long>(s1) * s2 * s3;
    in.fill(flat, 0, values - 1, -1.0f, 1.0f);
    real_fft_3d(data, nyquist, size[0], size[1], size[2], 1);
    out.add(flat, 0, values - 1);
    out.add(nyquist, 1, s1, 1, 2 * s2);
    real_fft_3d(data, nyquist, size[0], size[1], size[2], -1);
    out.add(flat, 0, values - 1);
    release_matrix(nyquist, 1, s1, 1, 2 * s2);
    release_f3tensor(data, 1, s1, 1, s2, 1, s3);
  }
}
