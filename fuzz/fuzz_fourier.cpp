// The four transforms on arbitrary data, lengths and signs. Lengths outside the contract must
// be reported with the documented message before any element is touched (the data pointers
// are null then). On moderate data with sign +1 or -1, results are compared with a direct
// transform in double (short lengths) and with the round trip, which gives the input times
// the documented factor; both within a rounding allowance that grows with log2 of the length.
#include <float.h>
#include <math.h>
#include <stdint.h>
#include <string.h>

#include <complex>
#include <vector>

#include "draw.h"
#include "numerics/arrays.h"
#include "numerics/fourier.h"

using namespace numerics;
using fuzz::expect;
using fuzz::expect_outcome;
using fuzz::expect_returns;
using fuzz::outcome_of;

namespace {

using Complex = std::complex<double>;

// Largest transforms run, in floats, and largest compared with the direct transform.
constexpr unsigned max_floats = 1u << 13;
constexpr unsigned max_direct = 64;

bool is_power_of_two(unsigned long long n) { return n != 0 && (n & (n - 1)) == 0; }

// Values for the data: the input's bytes as floats, or as moderate values (a byte over 16).
struct Source {
  std::vector<uint8_t> bytes;
  bool moderate;
  float value(size_t i) const {
    if (bytes.empty()) return 0.0f;
    if (moderate) return static_cast<float>(static_cast<int8_t>(bytes[i % bytes.size()])) / 16.0f;
    const size_t count = bytes.size() / 4;
    if (count == 0) return static_cast<float>(bytes[0]);
    float x;
    memcpy(&x, &bytes[(i % count) * 4], 4);
    return x;
  }
};

bool all_moderate(const float* v, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (!fuzz::is_moderate(v[i])) return false;
  return true;
}

double norm(const std::vector<Complex>& v) {
  double s = 0;
  for (const Complex& c : v) s += std::norm(c);
  return sqrt(s);
}

// Rounding allowance of a float transform of n values with input norm `size`, in the 2-norm.
double allowance(unsigned long long n, double size) {
  return 8.0 * FLT_EPSILON * (log2(static_cast<double>(n)) + 1.0) * size + 1e-30;
}

void expect_close(const std::vector<Complex>& got, const std::vector<Complex>& wanted, double tolerance,
                  const char* what) {
  std::vector<Complex> difference(got.size());
  for (size_t i = 0; i < got.size(); ++i) difference[i] = got[i] - wanted[i];
  expect(norm(difference) <= tolerance, what);
}

// Complex values from interleaved floats data[1..2n].
std::vector<Complex> complex_values(const float* data, size_t n) {
  std::vector<Complex> v(n);
  for (size_t k = 0; k < n; ++k) v[k] = Complex(data[2 * k + 1], data[2 * k + 2]);
  return v;
}

// The multidimensional transform sum_j x_j exp(sign 2 pi i sum_r j_r k_r / n_r), row-major.
std::vector<Complex> direct_transform(const std::vector<Complex>& x, const std::vector<unsigned>& dims, int sign) {
  std::vector<Complex> f(x.size());
  for (size_t k = 0; k < x.size(); ++k) {
    for (size_t j = 0; j < x.size(); ++j) {
      double turns = 0;
      size_t kr = k, jr = j;
      for (size_t r = dims.size(); r-- > 0;) {
        turns += static_cast<double>((kr % dims[r]) * (jr % dims[r]) % dims[r]) / dims[r];
        kr /= dims[r];
        jr /= dims[r];
      }
      f[k] += x[j] * std::polar(1.0, sign * 2 * M_PI * turns);
    }
  }
  return f;
}

std::vector<Complex> scaled(std::vector<Complex> v, double factor) {
  for (Complex& c : v) c *= factor;
  return v;
}

void fuzz_complex_fft(FuzzedDataProvider& in, const Source& source) {
  const unsigned n = fuzz::draw_length(in, 12);
  const int sign = fuzz::draw_sign(in);
  if ((n != 0 && !is_power_of_two(n)) || n > (1u << 30)) {
    const char* message =
        n > (1u << 30) && is_power_of_two(n) ? "n too large in complex_fft" : "n must be a power of two in complex_fft";
    return expect_outcome(outcome_of([&] { complex_fft(nullptr, n, sign); }), message);
  }
  if (2ull * n > max_floats) return;
  const int floats = static_cast<int>(2 * n);
  float* data = vector(1, floats);
  for (int i = 1; i <= floats; ++i) data[i] = source.value(static_cast<size_t>(i));
  const std::vector<Complex> x = complex_values(data, n);
  const bool checkable = n > 0 && all_moderate(&data[1], floats) && (sign == 1 || sign == -1);
  expect_returns([&] { complex_fft(data, n, sign); });
  if (checkable) {
    const double size = norm(x) * sqrt(static_cast<double>(n));
    if (n <= max_direct)
      expect_close(complex_values(data, n), direct_transform(x, {n}, sign), allowance(n, size),
                   "complex_fft: the transform");
    expect_returns([&] { complex_fft(data, n, -sign); });
    expect_close(complex_values(data, n), scaled(x, n), 2 * allowance(n, size * sqrt(static_cast<double>(n))),
                 "complex_fft: n times the input after the round trip");
  }
  release_vector(data, 1, floats);
}

// The full spectrum of n real values from real_fft's packing.
std::vector<Complex> unpacked(const float* data, unsigned n) {
  std::vector<Complex> f(n);
  f[0] = data[1];
  f[n / 2] = data[2];
  for (unsigned k = 1; k < n / 2; ++k) {
    f[k] = Complex(data[2 * k + 1], data[2 * k + 2]);
    f[n - k] = std::conj(f[k]);
  }
  return f;
}

void fuzz_real_fft(FuzzedDataProvider& in, const Source& source) {
  const unsigned n = fuzz::draw_length(in, 13);
  const int sign = fuzz::draw_sign(in);
  if (n < 2 || !is_power_of_two(n))
    return expect_outcome(outcome_of([&] { real_fft(nullptr, n, sign); }),
                          "n must be a power of two, at least 2, in real_fft");
  if (n > max_floats) return;
  const int count = static_cast<int>(n);
  float* data = vector(1, count);
  for (int i = 1; i <= count; ++i) data[i] = source.value(static_cast<size_t>(i));
  std::vector<Complex> x(data + 1, data + 1 + count);
  const bool checkable = all_moderate(&data[1], n) && sign == 1;
  expect_returns([&] { real_fft(data, n, sign); });
  if (checkable) {
    const double size = norm(x) * sqrt(static_cast<double>(n));
    if (n <= max_direct)
      expect_close(unpacked(data, n), direct_transform(x, {n}, 1), 2 * allowance(n, size),
                   "real_fft: the packed transform");
    expect_returns([&] { real_fft(data, n, -1); });
    expect_close(std::vector<Complex>(data + 1, data + 1 + count), scaled(x, n / 2),
                 2 * allowance(n, size * sqrt(static_cast<double>(n))),
                 "real_fft: n/2 times the input after the round trip");
  }
  release_vector(data, 1, count);
}

void fuzz_complex_fft_nd(FuzzedDataProvider& in, const Source& source) {
  const int dim_count = in.ConsumeIntegralInRange(-1, 4);
  const int sign = fuzz::draw_sign(in);
  if (dim_count < 1) return expect_returns([&] { complex_fft_nd(nullptr, nullptr, dim_count, sign); });
  std::vector<unsigned> dims(static_cast<size_t>(dim_count));
  bool bad_length = false;
  unsigned long long total = 1;
  for (unsigned& d : dims) {
    d = fuzz::draw_length(in, 5);
    bad_length = bad_length || !is_power_of_two(d);
    if (d != 0) total = total > (1ull << 40) / d ? 1ull << 40 : total * d;
  }
  const bool too_many = total > (1ull << 30);
  unsigned* dims_block = static_cast<unsigned*>(malloc(dims.size() * sizeof(unsigned)));
  std::copy(dims.begin(), dims.end(), dims_block);
  const unsigned* dims_from_one = dims_block - 1;
  if (bad_length || too_many) {
    const char* outcome = outcome_of([&] { complex_fft_nd(nullptr, dims_from_one, dim_count, sign); });
    const char* wrong_length = "dimension lengths must be powers of two in complex_fft_nd";
    const char* too_large = "too many values in complex_fft_nd";
    // With both faults, whichever the routine meets first.
    if (!(bad_length && too_many && outcome != nullptr && strcmp(outcome, too_large) == 0))
      expect_outcome(outcome, bad_length ? wrong_length : too_large);
  } else if (2 * total <= max_floats) {
    const int floats = static_cast<int>(2 * total);
    float* data = vector(1, floats);
    for (int i = 1; i <= floats; ++i) data[i] = source.value(static_cast<size_t>(i));
    const std::vector<Complex> x = complex_values(data, total);
    const bool checkable = all_moderate(&data[1], floats) && (sign == 1 || sign == -1);
    expect_returns([&] { complex_fft_nd(data, dims_from_one, dim_count, sign); });
    if (checkable) {
      const double size = norm(x) * sqrt(static_cast<double>(total));
      if (total <= max_direct)
        expect_close(complex_values(data, total), direct_transform(x, dims, sign), allowance(total, size),
                     "complex_fft_nd: the transform");
      expect_returns([&] { complex_fft_nd(data, dims_from_one, dim_count, -sign); });
      expect_close(complex_values(data, total), scaled(x, static_cast<double>(total)),
                   2 * allowance(total, size * sqrt(static_cast<double>(total))),
                   "complex_fft_nd: N times the input after the round trip");
    }
    release_vector(data, 1, floats);
  }
  free(dims_block);
}

void fuzz_real_fft_3d(FuzzedDataProvider& in, const Source& source) {
  const unsigned s1 = fuzz::draw_length(in, 4), s2 = fuzz::draw_length(in, 4), s3 = fuzz::draw_length(in, 5);
  const int sign = fuzz::draw_sign(in);
  // The tensor may be larger than the sizes; then it is one block only in special cases.
  const int extra = in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegralInRange(1, 7) : 0;
  if (!is_power_of_two(s1) || !is_power_of_two(s2) || !is_power_of_two(s3) || s3 < 2)
    return expect_outcome(outcome_of([&] { real_fft_3d(nullptr, nullptr, s1, s2, s3, sign); }),
                          "sizes must be powers of two, size3 at least 2, in real_fft_3d");
  // Each size is at most 2^31, so the product of two is exact in 64 bits, that of three is not.
  const unsigned long long plane = static_cast<unsigned long long>(s1) * s2;
  const unsigned long long total = plane > (1ull << 31) ? 1ull << 32 : plane * s3;
  if (total > (1ull << 31))
    return expect_outcome(outcome_of([&] { real_fft_3d(nullptr, nullptr, s1, s2, s3, sign); }),
                          "too many values in real_fft_3d");
  if (total > max_floats) return;
  const int n1 = static_cast<int>(s1) + (extra & 1), n2 = static_cast<int>(s2) + (extra >> 1 & 1),
            n3 = static_cast<int>(s3) + (extra >> 2);
  float*** data = f3tensor(1, n1, 1, n2, 1, n3);
  float** nyquist = matrix(1, static_cast<int>(s1), 1, static_cast<int>(2 * s2));
  float* flat = &data[1][1][1];
  for (int i = 0; i < n1 * n2 * n3; ++i) flat[i] = source.value(static_cast<size_t>(i));
  for (unsigned i = 1; i <= s1; ++i)
    for (unsigned j = 1; j <= 2 * s2; ++j) nyquist[i][j] = source.value(i * j);
  const unsigned long long past_last = (s1 - 1ull) * n2 * n3 + (s2 - 1ull) * n3 + s3;
  const bool one_block = past_last == total;
  std::vector<Complex> x(total);
  for (unsigned long long i = 0; i < total; ++i) x[i] = flat[i];
  const bool checkable = one_block && all_moderate(flat, total) && sign == 1;
  const char* outcome = outcome_of([&] { real_fft_3d(data, nyquist, s1, s2, s3, sign); });
  expect_outcome(outcome, one_block ? nullptr : "the tensor is not one block in real_fft_3d");
  if (checkable) {
    const double size = norm(x) * sqrt(static_cast<double>(total));
    if (total <= max_direct) {
      // The half spectrum in data, the plane k3 = s3/2 in nyquist.
      const std::vector<Complex> f = direct_transform(x, {s1, s2, s3}, 1);
      std::vector<Complex> got, wanted;
      for (unsigned k1 = 0; k1 < s1; ++k1) {
        for (unsigned k2 = 0; k2 < s2; ++k2) {
          for (unsigned k3 = 0; k3 <= s3 / 2; ++k3) {
            wanted.push_back(f[(k1 * s2 + k2) * s3 + k3]);
            got.push_back(k3 < s3 / 2 ? Complex(data[k1 + 1][k2 + 1][2 * k3 + 1], data[k1 + 1][k2 + 1][2 * k3 + 2])
                                      : Complex(nyquist[k1 + 1][2 * k2 + 1], nyquist[k1 + 1][2 * k2 + 2]));
          }
        }
      }
      expect_close(got, wanted, 2 * allowance(total, size), "real_fft_3d: the half spectrum");
    }
    expect_returns([&] { real_fft_3d(data, nyquist, s1, s2, s3, -1); });
    expect_close(std::vector<Complex>(flat, flat + total), scaled(x, total / 2.0),
                 2 * allowance(total, size * sqrt(static_cast<double>(total))),
                 "real_fft_3d: N/2 times the input after the round trip");
  }
  release_matrix(nyquist, 1, static_cast<int>(s1), 1, static_cast<int>(2 * s2));
  release_f3tensor(data, 1, n1, 1, n2, 1, n3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int transform = in.ConsumeIntegralInRange(0, 3);
  const bool moderate = in.ConsumeBool();
  // Parameters come from the end of the input, the data from the rest.
  uint8_t parameters[16];
  for (uint8_t& p : parameters) p = in.ConsumeIntegral<uint8_t>();
  FuzzedDataProvider drawn(parameters, sizeof parameters);
  const Source source{in.ConsumeRemainingBytes<uint8_t>(), moderate};
  switch (transform) {
    case 0:
      fuzz_complex_fft(drawn, source);
      break;
    case 1:
      fuzz_real_fft(drawn, source);
      break;
    case 2:
      fuzz_complex_fft_nd(drawn, source);
      break;
    default:
      fuzz_real_fft_3d(drawn, source);
      break;
  }
  return 0;
}
