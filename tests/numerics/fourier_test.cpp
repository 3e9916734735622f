#include "numerics/fourier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include "fatal.h"
#include "numerics/arrays.h"
#include "numerics/elementary.h"

namespace {

using floats = std::vector<float>;
using dimensions = std::vector<unsigned>;

// Runs `transform` on a copy of `values` held at indices 1..size of a toolkit vector, so that
// the sanitizers report any index outside them.
template <typename Transform>
floats transformed(const floats& values, Transform transform) {
  const int size = static_cast<int>(values.size());
  float* data = numerics::vector(1, size);
  std::copy(values.begin(), values.end(), data + 1);
  transform(data);
  floats result(data + 1, data + 1 + size);
  numerics::release_vector(data, 1, size);
  return result;
}

floats fft_nd(const floats& x, dimensions dims, int sign) {
  dims.insert(dims.begin(), 0);  // read from dims[1]
  const int count = static_cast<int>(dims.size()) - 1;
  return transformed(x, [&](float* d) { numerics::complex_fft_nd(d, dims.data(), count, sign); });
}

floats random_floats(size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  floats values(count);
  for (float& v : values) v = uniform(generator);
  return values;
}

floats scaled(floats values, float factor) {
  for (float& v : values) v *= factor;
  return values;
}

// Inputs lie in [-1, 1] and hold at most 64 values: rounding stays far below this, any error of
// index or sign far above it.
constexpr double rounding = 2e-3;

template <typename Expected>
void expect_close(const floats& actual, const Expected& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], rounding) << "at " << i;
}

// The multidimensional transform of interleaved complex values, summed directly in double.
std::vector<double> direct_transform(const floats& x, const dimensions& dims, int sign) {
  const size_t n = x.size() / 2;
  std::vector<double> result;
  for (size_t k = 0; k < n; ++k) {
    std::complex<double> sum;
    for (size_t j = 0; j < n; ++j) {
      double turns = 0;
      for (size_t r = dims.size(), kk = k, jj = j; r-- > 0; kk /= dims[r], jj /= dims[r])
        turns += static_cast<double>(kk % dims[r] * (jj % dims[r]) % dims[r]) / dims[r];
      sum += std::complex<double>(x[2 * j], x[2 * j + 1]) * std::polar(1.0, sign * 2 * std::acos(-1.0) * turns);
    }
    result.insert(result.end(), {sum.real(), sum.imag()});
  }
  return result;
}

// The radix-2 steps written plainly on 0-based complex values: inputs in bit-reversed order,
// then stages that combine value k of each group with value k + half under the k-th factor of
// the stage's double recurrence. The butterfly products are either float, with the factor
// rounded first, or double, rounded once.
floats reference_fft(const floats& x, int sign, bool float_products) {
  const size_t n = x.size() / 2;
  size_t bits = 0;
  while ((size_t{1} << bits) < n) ++bits;
  std::vector<std::complex<float>> v(n);
  for (size_t k = 0; k < n; ++k) {
    size_t reversed = 0;
    for (size_t b = 0; b < bits; ++b) reversed |= ((k >> b) & 1) << (bits - 1 - b);
    v[reversed] = {x[2 * k], x[2 * k + 1]};
  }
  for (size_t half = 1; half < n; half *= 2) {
    const double theta = sign * (6.28318530717959 / (2.0 * half));
    const double sigma = numerics::cr_sin(theta / 2), alpha = -2 * sigma * sigma, beta = numerics::cr_sin(theta);
    double w_r = 1, w_i = 0;
    for (size_t k = 0; k < half; ++k) {
      for (size_t g = k; g < n; g += 2 * half) {
        const float x_r = v[g + half].real(), x_i = v[g + half].imag();
        const float t_r = float_products ? float(w_r) * x_r - float(w_i) * x_i : float(w_r * x_r - w_i * x_i);
        const float t_i = float_products ? float(w_r) * x_i + float(w_i) * x_r : float(w_r * x_i + w_i * x_r);
        v[g + half] = {v[g].real() - t_r, v[g].imag() - t_i};
        v[g] = {v[g].real() + t_r, v[g].imag() + t_i};
      }
      const double w = w_r;
      w_r = (w * alpha - w_i * beta) + w;
      w_i = (w_i * alpha + w * beta) + w_i;
    }
  }
  floats result;
  for (const auto& value : v) result.insert(result.end(), {value.real(), value.imag()});
  return result;
}

}  // namespace

TEST(ComplexFft, MatchesTheDirectTransformAndRoundTrips) {
  for (unsigned n : {1u, 2u, 4u, 8u, 32u}) {
    for (int sign : {1, -1}) {
      const floats x = random_floats(2 * n, n);
      const floats result = transformed(x, [&](float* d) { numerics::complex_fft(d, n, sign); });
      expect_close(result, direct_transform(x, {n}, sign));
    }
  }
  // +1 multiplies by exp(+2*pi*i*j*k/n): for n = 8 an impulse at j = 1 gives F_2 = i.
  floats impulse(16, 0.0f);
  impulse[2] = 1.0f;
  const floats spectrum = transformed(impulse, [](float* d) { numerics::complex_fft(d, 8, 1); });
  EXPECT_NEAR(spectrum[4], 0.0f, 1e-6);
  EXPECT_NEAR(spectrum[5], 1.0f, 1e-6);
  EXPECT_TRUE(transformed({}, [](float* d) { numerics::complex_fft(d, 0, 1); }).empty());  // touches nothing

  const floats x = random_floats(128, 7);
  const floats round_trip = transformed(x, [](float* d) {
    numerics::complex_fft(d, 64, -1);
    numerics::complex_fft(d, 64, 1);
  });
  expect_close(round_trip, scaled(x, 64.0f));
}

// The one-dimensional routine forms its butterfly products in double, the multidimensional one
// in float: each matches its reference bit for bit, and the two differ on this input.
TEST(ComplexFft, ButterflyProductsHaveTheirDocumentedPrecision) {
  const floats x = random_floats(128, 11);
  for (int sign : {1, -1}) {
    const floats in_double = reference_fft(x, sign, false);
    const floats in_float = reference_fft(x, sign, true);
    EXPECT_NE(in_double, in_float);
    EXPECT_EQ(transformed(x, [&](float* d) { numerics::complex_fft(d, 64, sign); }), in_double);
    EXPECT_EQ(fft_nd(x, {64}, sign), in_float);
  }
}

TEST(ComplexFftNd, MatchesTheDirectTransformAndRoundTrips) {
  for (const dimensions& dims : {dimensions{4, 8}, dimensions{2, 4, 4}}) {
    for (int sign : {1, -1}) {
      const floats x = random_floats(64, sign + 2);
      expect_close(fft_nd(x, dims, sign), direct_transform(x, dims, sign));
    }
  }
  const floats x = random_floats(128, 3);
  expect_close(fft_nd(fft_nd(x, {4, 2, 8}, -1), {4, 2, 8}, 1), scaled(x, 64.0f));

  // Length-1 dimensions, and no dimensions at all, change nothing.
  const floats y = random_floats(32, 5);
  EXPECT_EQ(fft_nd(y, {1, 16}, 1), fft_nd(y, {16}, 1));
  EXPECT_EQ(fft_nd(y, {16, 1}, 1), fft_nd(y, {16}, 1));
  EXPECT_EQ(fft_nd({0.5f, -2.0f}, {1, 1}, 1), (floats{0.5f, -2.0f}));
  EXPECT_EQ(transformed(y, [](float* d) { numerics::complex_fft_nd(d, nullptr, 0, 1); }), y);
}

TEST(RealFft, PacksTheHalfSpectrumAndInvertsForEverySignButOne) {
  EXPECT_EQ(transformed({3.0f, 5.0f}, [](float* d) { numerics::real_fft(d, 2, 1); }), (floats{8.0f, -2.0f}));
  EXPECT_EQ(transformed({8.0f, -2.0f}, [](float* d) { numerics::real_fft(d, 2, -1); }), (floats{3.0f, 5.0f}));
  EXPECT_EQ(transformed({1.0f, 2.0f, 3.0f, 4.0f}, [](float* d) { numerics::real_fft(d, 4, 1); }),
            (floats{10.0f, -2.0f, -2.0f, -2.0f}));

  for (unsigned n : {8u, 16u, 64u}) {
    const floats x = random_floats(n, n);
    floats as_complex(2 * n, 0.0f);
    for (unsigned j = 0; j < n; ++j) as_complex[2 * j] = x[j];
    std::vector<double> packed = direct_transform(as_complex, {n}, 1);
    packed[1] = packed[n];  // F_{n/2}, real, in the imaginary slot of F_0
    packed.resize(n);
    const floats spectrum = transformed(x, [&](float* d) { numerics::real_fft(d, n, 1); });
    expect_close(spectrum, packed);

    const floats inverse = transformed(spectrum, [&](float* d) { numerics::real_fft(d, n, -1); });
    expect_close(inverse, scaled(x, n / 2.0f));
    for (int sign : {0, 2})
      EXPECT_EQ(transformed(spectrum, [&](float* d) { numerics::real_fft(d, n, sign); }), inverse);
  }
}

// Covers a two-dimensional transform (size1 = 1) and size3 = 2 (no twiddled recombination).
TEST(RealFft3d, HalfSpectrumAndNyquistPlaneMatchTheDirectTransformAndRoundTrip) {
  for (const dimensions& s : {dimensions{2, 4, 8}, dimensions{1, 4, 4}, dimensions{2, 2, 2}, dimensions{4, 2, 4}}) {
    const int s1 = static_cast<int>(s[0]), s2 = static_cast<int>(s[1]), s3 = static_cast<int>(s[2]);
    float*** data = numerics::f3tensor(1, s1, 1, s2, 1, s3);
    float** nyquist = numerics::matrix(1, s1, 1, 2 * s2);
    float* flat = &data[1][1][1];
    const floats x = random_floats(s1 * s2 * s3, s3);
    floats as_complex(2 * x.size(), 0.0f);
    for (size_t j = 0; j < x.size(); ++j) as_complex[2 * j] = flat[j] = x[j];
    const std::vector<double> full = direct_transform(as_complex, s, 1);

    numerics::real_fft_3d(data, nyquist, s[0], s[1], s[2], 1);
    for (int i1 = 1; i1 <= s1; ++i1) {
      for (int i2 = 1; i2 <= s2; ++i2) {
        const double* f = &full[2 * static_cast<size_t>((i1 - 1) * s2 + i2 - 1) * s3];  // F(i1-1, i2-1, 0)
        for (int k = 0; k < s3; ++k) EXPECT_NEAR(data[i1][i2][k + 1], f[k], rounding);
        for (int k = 0; k < 2; ++k) EXPECT_NEAR(nyquist[i1][2 * i2 - 1 + k], f[s3 + k], rounding);
      }
    }
    numerics::real_fft_3d(data, nyquist, s[0], s[1], s[2], -1);
    expect_close(floats(flat, flat + x.size()), scaled(x, x.size() / 2.0f));
    numerics::release_matrix(nyquist, 1, s1, 1, 2 * s2);
    numerics::release_f3tensor(data, 1, s1, 1, s2, 1, s3);
  }
}

TEST(RealFft3dDeathTest, TensorThatIsNotOneBlockEndsTheProcessSilently) {
  float*** data = numerics::f3tensor(1, 2, 1, 2, 1, 2);
  float*** other = numerics::f3tensor(1, 2, 1, 2, 1, 2);
  float** nyquist = numerics::matrix(1, 2, 1, 4);
  float** own_second_row = data[2];
  data[2] = other[2];  // the second row now lies in another block
  numerics_test::run_death_tests_in_fresh_children();
  for (int sign : {1, -1}) {
    EXPECT_EXIT(numerics::real_fft_3d(data, nyquist, 2, 2, 2, sign), testing::ExitedWithCode(1), testing::Eq(""));
  }
  data[2] = own_second_row;
  numerics::release_matrix(nyquist, 1, 2, 1, 4);
  numerics::release_f3tensor(other, 1, 2, 1, 2, 1, 2);
  numerics::release_f3tensor(data, 1, 2, 1, 2, 1, 2);
}

TEST(FourierDeathTest, LengthsOutsideTheRadix2StepsAreRejected) {
  float data[8] = {};
  EXPECT_RUN_TIME_ERROR(numerics::complex_fft(data, 3, 1), "n must be a power of two in complex_fft");
  EXPECT_RUN_TIME_ERROR(numerics::complex_fft(nullptr, 1u << 31, 1), "n too large in complex_fft");
  for (unsigned n : {0u, 1u, 6u}) {
    EXPECT_RUN_TIME_ERROR(numerics::real_fft(data, n, 1), "n must be a power of two, at least 2, in real_fft");
  }
  for (const dimensions& dims : {dimensions{0, 4, 0}, dimensions{0, 2, 3}}) {
    EXPECT_RUN_TIME_ERROR(numerics::complex_fft_nd(data, dims.data(), 2, 1),
                          "dimension lengths must be powers of two in complex_fft_nd");
  }
  for (const dimensions& dims : {dimensions{0, 1u << 16, 1u << 15}, dimensions{0, 1u << 16, 1u << 16}}) {
    EXPECT_RUN_TIME_ERROR(numerics::complex_fft_nd(nullptr, dims.data(), 2, 1), "too many values in complex_fft_nd");
  }
  for (const dimensions& s : {dimensions{2, 2, 1}, dimensions{2, 2, 0}, dimensions{0, 2, 2}, dimensions{2, 3, 2}}) {
    EXPECT_RUN_TIME_ERROR(numerics::real_fft_3d(nullptr, nullptr, s[0], s[1], s[2], 1),
                          "sizes must be powers of two, size3 at least 2, in real_fft_3d");
  }
  // Also when the product of the three sizes is 2^64 or more and would wrap to a small count.
  for (const dimensions& s : {dimensions{1u << 16, 1u << 16, 2}, dimensions{1u << 31, 1u << 31, 4},
                              dimensions{1u << 31, 1u << 31, 1u << 31}}) {
    EXPECT_RUN_TIME_ERROR(numerics::real_fft_3d(nullptr, nullptr, s[0], s[1], s[2], 1),
                          "too many values in real_fft_3d");
  }
}
