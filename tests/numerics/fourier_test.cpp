#include "numerics/fourier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <random>
#include <vector>

#include "fatal.h"
#include "numerics/arrays.h"

namespace {

using floats = std::vector<float>;
using dimensions = std::vector<unsigned>;

// Floats from the toolkit's allocator at indices 1..size, so that the sanitizers report any
// index outside them.
class offset_array {
 public:
  explicit offset_array(const floats& values)
      : size_(static_cast<int>(values.size())), data_(numerics::vector(1, size_)) {
    for (int i = 0; i < size_; ++i) data_[i + 1] = values[i];
  }
  ~offset_array() { numerics::release_vector(data_, 1, size_); }
  offset_array(const offset_array&) = delete;
  offset_array& operator=(const offset_array&) = delete;
  float* data() { return data_; }
  floats values() const { return floats(data_ + 1, data_ + 1 + size_); }

 private:
  int size_;
  float* data_;
};

template <typename Transform>
floats transformed(const floats& values, Transform transform) {
  offset_array array(values);
  transform(array.data());
  return array.values();
}

floats random_floats(size_t count, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  floats values(count);
  for (float& v : values) v = uniform(generator);
  return values;
}

floats scaled(const floats& values, float factor) {
  floats result(values);
  for (float& v : result) v *= factor;
  return result;
}

// The multidimensional transform summed directly in double, interleaved like the input.
std::vector<double> direct_transform(const floats& x, const dimensions& dims, int sign) {
  const size_t n = x.size() / 2;
  std::vector<double> result(2 * n);
  for (size_t k = 0; k < n; ++k) {
    std::complex<double> sum;
    for (size_t j = 0; j < n; ++j) {
      double turns = 0;
      for (size_t r = dims.size(), kk = k, jj = j; r-- > 0; kk /= dims[r], jj /= dims[r])
        turns += static_cast<double>(kk % dims[r] * (jj % dims[r]) % dims[r]) / dims[r];
      sum += std::complex<double>(x[2 * j], x[2 * j + 1]) * std::polar(1.0, sign * 2 * std::acos(-1.0) * turns);
    }
    result[2 * k] = sum.real();
    result[2 * k + 1] = sum.imag();
  }
  return result;
}

template <typename Expected>
void expect_close(const floats& actual, const Expected& expected, const floats& input) {
  double scale = 1e-6;
  for (float v : input) scale += 1e-5 * std::fabs(v);
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i) EXPECT_NEAR(actual[i], expected[i], scale) << "at " << i;
}

// The radix-2 steps written plainly on one 0-based line: inputs in bit-reversed order, then
// stages that combine value k of each group with value k + half under the k-th factor of the
// stage's double recurrence. The product precision is the choice under test: the factor
// rounded to float first, or products in double rounded once.
void reference_line(std::vector<std::complex<float>>& line, int sign, bool float_products) {
  const size_t n = line.size();
  size_t bits = 0;
  while ((size_t{1} << bits) < n) ++bits;
  std::vector<std::complex<float>> v(n);
  for (size_t k = 0; k < n; ++k) {
    size_t reversed = 0;
    for (size_t b = 0; b < bits; ++b) reversed |= ((k >> b) & 1) << (bits - 1 - b);
    v[reversed] = line[k];
  }
  for (size_t half = 1; half < n; half *= 2) {
    const double theta = sign * (6.28318530717959 / (2.0 * half));
    const double sigma = std::sin(theta / 2), alpha = -2 * sigma * sigma, beta = std::sin(theta);
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
  line = v;
}

// The reference applied along each dimension in turn, the last (fastest) first.
floats reference_transform(floats x, const dimensions& dims, int sign, bool float_products) {
  const size_t total = x.size() / 2;
  size_t stride = 1;
  for (size_t r = dims.size(); r-- > 0; stride *= dims[r]) {
    for (size_t start = 0; start < total; ++start) {
      if (start / stride % dims[r] != 0) continue;
      std::vector<std::complex<float>> line(dims[r]);
      for (size_t k = 0; k < dims[r]; ++k) line[k] = {x[2 * (start + k * stride)], x[2 * (start + k * stride) + 1]};
      reference_line(line, sign, float_products);
      for (size_t k = 0; k < dims[r]; ++k) {
        x[2 * (start + k * stride)] = line[k].real();
        x[2 * (start + k * stride) + 1] = line[k].imag();
      }
    }
  }
  return x;
}

floats fft_nd(const floats& x, dimensions dims, int sign) {
  dims.insert(dims.begin(), 0);  // the routine reads dims[1..dim_count]
  return transformed(
      x, [&](float* d) { numerics::complex_fft_nd(d, dims.data(), static_cast<int>(dims.size() - 1), sign); });
}

}  // namespace

TEST(ComplexFft, MatchesTheDirectTransformInBothDirections) {
  for (unsigned n : {1u, 2u, 4u, 8u, 32u}) {
    for (int sign : {1, -1}) {
      const floats x = random_floats(2 * n, n);
      expect_close(transformed(x, [&](float* d) { numerics::complex_fft(d, n, sign); }), direct_transform(x, {n}, sign),
                   x);
    }
  }
  // +1 multiplies by exp(+2*pi*i*j*k/n): an impulse at j = 1 gives F_2 = exp(i*pi/2) = i for n = 8.
  floats impulse(16, 0.0f);
  impulse[2] = 1.0f;
  const floats spectrum = transformed(impulse, [](float* d) { numerics::complex_fft(d, 8, 1); });
  EXPECT_NEAR(spectrum[4], 0.0f, 1e-6);
  EXPECT_NEAR(spectrum[5], 1.0f, 1e-6);

  EXPECT_EQ(transformed({3.0f, 5.0f, 1.0f, 2.0f}, [](float* d) { numerics::complex_fft(d, 2, -1); }),
            (floats{4.0f, 7.0f, 2.0f, 3.0f}));
  const floats one = {0.1f, -0.7f};
  EXPECT_EQ(transformed(one, [](float* d) { numerics::complex_fft(d, 1, 1); }), one);
  EXPECT_TRUE(transformed({}, [](float* d) { numerics::complex_fft(d, 0, 1); }).empty());  // touches nothing

  const floats x = random_floats(128, 7);
  const floats round_trip = transformed(x, [](float* d) {
    numerics::complex_fft(d, 64, -1);
    numerics::complex_fft(d, 64, 1);
  });
  expect_close(round_trip, scaled(x, 64.0f), scaled(x, 64.0f));
}

// The one-dimensional routine forms its butterfly products in double, the multidimensional one
// in float; both follow the reference bit for bit, and the two precisions differ on this input.
TEST(ComplexFft, ButterflyProductsHaveTheirDocumentedPrecision) {
  const floats x = random_floats(128, 11);
  for (int sign : {1, -1}) {
    const floats in_double = reference_transform(x, {64}, sign, false);
    const floats in_float = reference_transform(x, {64}, sign, true);
    EXPECT_NE(in_double, in_float);
    EXPECT_EQ(transformed(x, [&](float* d) { numerics::complex_fft(d, 64, sign); }), in_double);
    EXPECT_EQ(fft_nd(x, {64}, sign), in_float);
    expect_close(fft_nd(x, {64}, sign), in_double, x);
  }
  for (const dimensions& dims : {dimensions{8, 8}, dimensions{4, 1, 16}, dimensions{8, 2, 4}}) {
    const floats y = random_floats(128, 13);
    EXPECT_EQ(fft_nd(y, dims, -1), reference_transform(y, dims, -1, true));
  }
}

TEST(ComplexFftNd, MatchesTheDirectTransformAndRoundTrips) {
  for (const dimensions& dims : {dimensions{4, 8}, dimensions{2, 4, 4}}) {
    for (int sign : {1, -1}) {
      const floats x = random_floats(64, sign + 2);
      expect_close(fft_nd(x, dims, sign), direct_transform(x, dims, sign), x);
    }
  }
  const floats x = random_floats(128, 3);
  expect_close(fft_nd(fft_nd(x, {4, 2, 8}, -1), {4, 2, 8}, 1), scaled(x, 64.0f), scaled(x, 64.0f));

  // Length-1 dimensions, and no dimensions at all, change nothing.
  const floats y = random_floats(32, 5);
  EXPECT_EQ(fft_nd(y, {1, 16}, 1), fft_nd(y, {16}, 1));
  EXPECT_EQ(fft_nd(y, {16, 1}, 1), fft_nd(y, {16}, 1));
  EXPECT_EQ(fft_nd(floats(y.begin(), y.begin() + 2), {1, 1}, 1), floats(y.begin(), y.begin() + 2));
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
    const std::vector<double> full = direct_transform(as_complex, {n}, 1);
    std::vector<double> packed(full.begin(), full.begin() + n);
    packed[1] = full[n];  // F_{n/2}, real, in the imaginary slot of F_0
    const floats spectrum = transformed(x, [&](float* d) { numerics::real_fft(d, n, 1); });
    expect_close(spectrum, packed, x);

    const floats inverse = transformed(spectrum, [&](float* d) { numerics::real_fft(d, n, -1); });
    expect_close(inverse, scaled(x, n / 2.0f), scaled(x, n / 2.0f));
    for (int sign : {0, 2, -7})
      EXPECT_EQ(transformed(spectrum, [&](float* d) { numerics::real_fft(d, n, sign); }), inverse);
  }
}

TEST(RealFft3d, HalfSpectrumAndNyquistPlaneMatchTheDirectTransform) {
  for (const dimensions& s : {dimensions{2, 4, 8}, dimensions{1, 4, 4}, dimensions{2, 2, 2}, dimensions{4, 2, 4}}) {
    const int s1 = static_cast<int>(s[0]), s2 = static_cast<int>(s[1]), s3 = static_cast<int>(s[2]);
    float*** data = numerics::f3tensor(1, s1, 1, s2, 1, s3);
    float** nyquist = numerics::matrix(1, s1, 1, 2 * s2);
    const floats x = random_floats(s1 * s2 * s3, s3);
    floats as_complex(2 * x.size(), 0.0f);
    for (size_t j = 0; j < x.size(); ++j) as_complex[2 * j] = (&data[1][1][1])[j] = x[j];
    const std::vector<double> full = direct_transform(as_complex, s, 1);

    numerics::real_fft_3d(data, nyquist, s[0], s[1], s[2], 1);
    floats half, plane;
    std::vector<double> expected_half, expected_plane;
    for (int i1 = 0; i1 < s1; ++i1) {
      for (int i2 = 0; i2 < s2; ++i2) {
        const size_t row = 2 * static_cast<size_t>(i1 * s2 + i2) * s3;
        half.insert(half.end(), &data[i1 + 1][i2 + 1][1], &data[i1 + 1][i2 + 1][1] + s3);
        expected_half.insert(expected_half.end(), full.begin() + row, full.begin() + row + s3);
        plane.insert(plane.end(), {nyquist[i1 + 1][2 * i2 + 1], nyquist[i1 + 1][2 * i2 + 2]});
        expected_plane.insert(expected_plane.end(), full.begin() + row + s3, full.begin() + row + s3 + 2);
      }
    }
    expect_close(half, expected_half, x);
    expect_close(plane, expected_plane, x);

    numerics::real_fft_3d(data, nyquist, s[0], s[1], s[2], -1);
    expect_close(floats(&data[1][1][1], &data[1][1][1] + x.size()), scaled(x, x.size() / 2.0f),
                 scaled(x, x.size() / 2.0f));
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
  for (int sign : {1, -1})
    EXPECT_EXIT(numerics::real_fft_3d(data, nyquist, 2, 2, 2, sign), testing::ExitedWithCode(1), testing::Eq(""));
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
    EXPECT_RUN_TIME_ERROR(numerics::complex_fft_nd(nullptr, dims.data(), static_cast<int>(dims.size() - 1), 1),
                          "too many values in complex_fft_nd");
  }
  for (const dimensions& s : {dimensions{2, 2, 1}, dimensions{2, 2, 0}, dimensions{0, 2, 2}, dimensions{2, 3, 2}}) {
    EXPECT_RUN_TIME_ERROR(numerics::real_fft_3d(nullptr, nullptr, s[0], s[1], s[2], 1),
                          "sizes must be powers of two, size3 at least 2, in real_fft_3d");
  }
  EXPECT_RUN_TIME_ERROR(numerics::real_fft_3d(nullptr, nullptr, 1u << 16, 1u << 16, 2, 1),
                        "too many values in real_fft_3d");
}
