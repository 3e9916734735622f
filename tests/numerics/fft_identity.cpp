#include "fft_identity.h"

#include <math.h>
#include <stdint.h>
#include <string.h>

#include "fft_reference.h"
#include "numerics/arrays.h"
#include "numerics/detail/cpu_dispatch.h"
#include "numerics/fourier.h"

namespace fft_identity {
namespace {

using numerics::detail::vector_path;

uint64_t next(uint64_t& state) {
  state = state * 6364136223846793005ull + 1442695040888963407ull;
  return state >> 16;
}

// Uniform in [-1, 1), on a grid of 2^-23.
float uniform(uint64_t& state) { return static_cast<float>(next(state) & 0xffffff) / 8388608.0f - 1.0f; }

bool same(float a, float b) {
  if (isnan(a) && isnan(b)) return true;
  uint32_t x, y;
  memcpy(&x, &a, sizeof x);
  memcpy(&y, &b, sizeof y);
  return x == y;
}

void compare(const float* actual, const float* expected, unsigned count, int path, outcome& o) {
  for (unsigned i = 0; i < count; ++i) {
    if (same(actual[i], expected[i])) continue;
    if (o.mismatches++ == 0) {
      o.first = i;
      o.first_path = path;
    }
  }
}

// Runs `transform` on a copy of `input` on every supported path and compares it with `expected`.
// The copy sits at indices 1..count of a toolkit vector, as callers pass it.
template <class Transform>
void on_every_path(const float* input, const float* expected, unsigned count, outcome& o, Transform transform) {
  const vector_path supported = numerics::detail::supported_vector_path();
  const int size = count == 0 ? 1 : static_cast<int>(count);
  float* work = numerics::vector(1, size);
  for (int p = 0; p <= static_cast<int>(supported); ++p) {
    numerics::detail::force_vector_path(static_cast<vector_path>(p));
    memcpy(work + 1, input, count * sizeof(float));
    transform(work);
    compare(work + 1, expected, count, p, o);
    ++o.paths_checked;
  }
  numerics::detail::force_vector_path(supported);
  numerics::release_vector(work, 1, size);
}

// The reference's result of `reference` on `input`, then every path's, for a 1-based array.
template <class Reference, class Transform>
outcome check(unsigned count, int kind, unsigned seed, Reference reference, Transform transform) {
  outcome o{0, 0, 0, 0};
  const int size = count == 0 ? 1 : static_cast<int>(count);
  float* input = numerics::vector(1, size);
  float* expected = numerics::vector(1, size);
  fill(input + 1, count, kind, seed);
  memcpy(expected + 1, input + 1, count * sizeof(float));
  reference(expected);
  on_every_path(input + 1, expected + 1, count, o, transform);
  numerics::release_vector(expected, 1, size);
  numerics::release_vector(input, 1, size);
  return o;
}

}  // namespace

const char* kind_name(int kind) {
  static const char* const names[] = {"random", "signed zeros", "subnormals", "infinities", "huge", "any bits"};
  return kind >= 0 && kind < data_kind_count ? names[kind] : "?";
}

void fill(float* values, unsigned count, int kind, unsigned seed) {
  uint64_t state = 0x9e3779b97f4a7c15ull ^ (static_cast<uint64_t>(seed) << 8) ^ static_cast<uint64_t>(kind);
  for (unsigned i = 0; i < count; ++i) {
    const uint64_t pick = next(state);
    const float u = uniform(state);
    switch (kind) {
      case signed_zeros:
        values[i] = pick % 3 == 0 ? 0.0f : pick % 3 == 1 ? -0.0f : u;
        break;
      case subnormals:  // mostly below 2^-126, some just above
        values[i] = ldexpf(u, pick % 2 ? -130 : -120);
        break;
      case infinities:
        values[i] = pick % 8 == 0 ? (u < 0 ? -INFINITY : INFINITY) : u;
        break;
      case huge_values:  // sums overflow to infinity
        values[i] = ldexpf(u, 127);
        break;
      case any_bits: {
        const uint32_t bits = static_cast<uint32_t>(pick);
        memcpy(&values[i], &bits, sizeof bits);
        break;
      }
      default:
        values[i] = u;
    }
  }
}

outcome check_complex_fft(unsigned n, int sign, int kind) {
  return check(
      2 * n, kind, n, [&](float* d) { fft_reference::complex_fft(d, n, sign); },
      [&](float* d) { numerics::complex_fft(d, n, sign); });
}

outcome check_real_fft(unsigned n, int sign, int kind) {
  return check(
      n, kind, n, [&](float* d) { fft_reference::real_fft(d, n, sign); },
      [&](float* d) { numerics::real_fft(d, n, sign); });
}

outcome check_complex_fft_nd(const unsigned* dims, int dim_count, int sign, int kind) {
  unsigned from_1[8] = {0};
  unsigned n = 1;
  for (int r = 0; r < dim_count; ++r) n *= from_1[r + 1] = dims[r];
  return check(
      2 * n, kind, n + static_cast<unsigned>(dim_count),
      [&](float* d) { fft_reference::complex_fft_nd(d, from_1, dim_count, sign); },
      [&](float* d) { numerics::complex_fft_nd(d, from_1, dim_count, sign); });
}

// The tensor and the Nyquist plane are one input: the inverse reads both, and both are results.
outcome check_real_fft_3d(unsigned size1, unsigned size2, unsigned size3, int sign, int kind) {
  const int s1 = static_cast<int>(size1), s2 = static_cast<int>(size2), s3 = static_cast<int>(size3);
  const unsigned values = size1 * size2 * size3;
  const unsigned plane = 2 * size1 * size2;
  float*** data = numerics::f3tensor(1, s1, 1, s2, 1, s3);
  float** nyquist = numerics::matrix(1, s1, 1, 2 * s2);
  float* input = numerics::vector(1, static_cast<int>(values + plane));
  float* expected = numerics::vector(1, static_cast<int>(values + plane));
  fill(input + 1, values + plane, kind, values);
  // Both 3-D arrays are single blocks: the flat copies in and out are their whole storage.
  const auto load = [&](const float* from) {
    memcpy(&data[1][1][1], from, values * sizeof(float));
    memcpy(&nyquist[1][1], from + values, plane * sizeof(float));
  };
  const auto save = [&](float* to) {
    memcpy(to, &data[1][1][1], values * sizeof(float));
    memcpy(to + values, &nyquist[1][1], plane * sizeof(float));
  };
  load(input + 1);
  fft_reference::real_fft_3d(data, nyquist, size1, size2, size3, sign);
  save(expected + 1);
  outcome o{0, 0, 0, 0};
  on_every_path(input + 1, expected + 1, values + plane, o, [&](float* work) {
    load(work + 1);
    numerics::real_fft_3d(data, nyquist, size1, size2, size3, sign);
    save(work + 1);
  });
  numerics::release_vector(expected, 1, static_cast<int>(values + plane));
  numerics::release_vector(input, 1, static_cast<int>(values + plane));
  numerics::release_matrix(nyquist, 1, s1, 1, 2 * s2);
  numerics::release_f3tensor(data, 1, s1, 1, s2, 1, s3);
  return o;
}

}  // namespace fft_identity
