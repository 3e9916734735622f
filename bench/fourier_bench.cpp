// Fourier transforms against FFTW in single precision (plans made with FFTW_ESTIMATE, outside
// the timing), all in place on the same random data.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

#include "harness.h"
#include "numerics/arrays.h"
#include "numerics/fourier.h"

#ifdef LOTWRIGHT_BENCH_FFTW
#include <fftw3.h>
#endif

namespace {

using bench::add;
using bench::random_values;
using bench::run;

constexpr unsigned complex_seed = 3;
constexpr unsigned real_seed = 4;
constexpr int min_power = 6;
constexpr int max_power = 20;

std::string power_label(int power) { return "2^" + std::to_string(power); }

// The two-dimensional shape of 2^power values: rows x columns, as square as it gets.
std::pair<unsigned, unsigned> shape(int power) { return {1u << (power / 2), 1u << (power - power / 2)}; }

std::string shape_label(int power) {
  const auto [rows, columns] = shape(power);
  return power_label(power) + " (" + std::to_string(rows) + "x" + std::to_string(columns) + ")";
}

// Our complex transforms over n interleaved complex values, 1-based.
template <class Transform>
void add_ours_complex(const char* routine, unsigned n, const std::string& size, Transform transform) {
  const std::size_t bytes = 2 * std::size_t{n} * sizeof(float);
  add(routine, "ours", size, bytes, [n, bytes, transform](benchmark::State& state) {
    const std::vector<float>& input = random_values(2 * std::size_t{n}, complex_seed);
    std::vector<float> work(2 * std::size_t{n} + 1);
    run(state, {{work.data() + 1, input.data(), bytes}}, [&] { transform(work.data()); });
  });
}

#ifdef LOTWRIGHT_BENCH_FFTW
// FFTW's in-place complex transform of n values; `plan_for` makes the plan for a buffer.
template <class PlanFor>
void add_fftw_complex(const char* routine, unsigned n, const std::string& size, PlanFor plan_for) {
  const std::size_t bytes = 2 * std::size_t{n} * sizeof(float);
  add(routine, "FFTW", size, bytes, [n, bytes, plan_for](benchmark::State& state) {
    const std::vector<float>& input = random_values(2 * std::size_t{n}, complex_seed);
    fftwf_complex* work = fftwf_alloc_complex(n);
    const fftwf_plan plan = plan_for(work);
    run(state, {{work, input.data(), bytes}}, [&] { fftwf_execute(plan); });
    fftwf_destroy_plan(plan);
    fftwf_free(work);
  });
}
#endif

// real_fft_3d forward on a size1 x size2 x size3 tensor, beside FFTW's real-to-complex plan of
// the same rank (out of place, as FFTW's multidimensional real transforms are usually run).
void add_real_3d(unsigned size1, unsigned size2, unsigned size3) {
  const std::size_t n = std::size_t{size1} * size2 * size3;
  const std::size_t bytes = n * sizeof(float);
  const std::string size =
      (size1 == 1 ? std::string() : std::to_string(size1) + "x") + std::to_string(size2) + "x" + std::to_string(size3);
  add("real_fft_3d", "ours", size, bytes, [=](benchmark::State& state) {
    const std::vector<float>& input = random_values(n, real_seed);
    const int s1 = static_cast<int>(size1), s2 = static_cast<int>(size2), s3 = static_cast<int>(size3);
    float*** data = numerics::f3tensor(1, s1, 1, s2, 1, s3);
    float** nyquist = numerics::matrix(1, s1, 1, 2 * s2);
    run(state, {{&data[1][1][1], input.data(), bytes}},
        [&] { numerics::real_fft_3d(data, nyquist, size1, size2, size3, 1); });
    numerics::release_matrix(nyquist, 1, s1, 1, 2 * s2);
    numerics::release_f3tensor(data, 1, s1, 1, s2, 1, s3);
  });
#ifdef LOTWRIGHT_BENCH_FFTW
  add("real_fft_3d", "FFTW", size, bytes, [=](benchmark::State& state) {
    const std::vector<float>& input = random_values(n, real_seed);
    float* work = fftwf_alloc_real(n);
    fftwf_complex* spectrum = fftwf_alloc_complex(std::size_t{size1} * size2 * (size3 / 2 + 1));
    const fftwf_plan plan = size1 == 1 ? fftwf_plan_dft_r2c_2d(static_cast<int>(size2), static_cast<int>(size3), work,
                                                               spectrum, FFTW_ESTIMATE)
                                       : fftwf_plan_dft_r2c_3d(static_cast<int>(size1), static_cast<int>(size2),
                                                               static_cast<int>(size3), work, spectrum, FFTW_ESTIMATE);
    run(state, {{work, input.data(), bytes}}, [&] { fftwf_execute(plan); });
    fftwf_destroy_plan(plan);
    fftwf_free(spectrum);
    fftwf_free(work);
  });
#endif
}

}  // namespace

void bench::add_fourier() {
  for (int power = min_power; power <= max_power; ++power) {
    const unsigned n = 1u << power;
    add_ours_complex("complex_fft", n, power_label(power), [n](float* data) { numerics::complex_fft(data, n, -1); });
#ifdef LOTWRIGHT_BENCH_FFTW
    add_fftw_complex("complex_fft", n, power_label(power), [n](fftwf_complex* data) {
      return fftwf_plan_dft_1d(static_cast<int>(n), data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    });
#endif
  }
  for (int power = min_power; power <= max_power; ++power) {
    const unsigned n = 1u << power;
    const std::size_t bytes = std::size_t{n} * sizeof(float);
    add("real_fft", "ours", power_label(power), bytes, [n, bytes](benchmark::State& state) {
      const std::vector<float>& input = random_values(n, real_seed);
      std::vector<float> work(std::size_t{n} + 1);
      run(state, {{work.data() + 1, input.data(), bytes}}, [&] { numerics::real_fft(work.data(), n, 1); });
    });
#ifdef LOTWRIGHT_BENCH_FFTW
    add("real_fft", "FFTW", power_label(power), bytes, [n, bytes](benchmark::State& state) {
      const std::vector<float>& input = random_values(n, real_seed);
      float* work = fftwf_alloc_real(2 * (n / 2 + 1));  // in place: room for n/2 + 1 complex values
      const fftwf_plan plan =
          fftwf_plan_dft_r2c_1d(static_cast<int>(n), work, reinterpret_cast<fftwf_complex*>(work), FFTW_ESTIMATE);
      run(state, {{work, input.data(), bytes}}, [&] { fftwf_execute(plan); });
      fftwf_destroy_plan(plan);
      fftwf_free(work);
    });
#endif
  }
  for (int power = min_power; power <= max_power; ++power) {
    const unsigned n = 1u << power;
    const auto [rows, columns] = shape(power);
    add_ours_complex("complex_fft_nd", n, shape_label(power), [rows = rows, columns = columns](float* data) {
      const unsigned dims[] = {0, rows, columns};  // 1-based
      numerics::complex_fft_nd(data, dims, 2, -1);
    });
#ifdef LOTWRIGHT_BENCH_FFTW
    add_fftw_complex("complex_fft_nd", n, shape_label(power), [rows = rows, columns = columns](fftwf_complex* data) {
      return fftwf_plan_dft_2d(static_cast<int>(rows), static_cast<int>(columns), data, data, FFTW_FORWARD,
                               FFTW_ESTIMATE);
    });
#endif
  }
  // Real volumes as imaging data have them (size1 x size2 x size3, real along size3), and one
  // two-dimensional image (size1 = 1).
  const unsigned volumes[][3] = {{64, 64, 32}, {128, 128, 64}, {256, 256, 128}, {1, 1024, 1024}};
  for (const auto& v : volumes) add_real_3d(v[0], v[1], v[2]);
}

bool bench::check_fourier() {
#ifdef LOTWRIGHT_BENCH_FFTW
  const int power = 10;
  const unsigned n = 1u << power;
  bool ok = true;
  // Largest difference between our spectrum and FFTW's, relative to the largest magnitude.
  const auto compare = [&ok](const char* what, const std::vector<std::complex<float>>& ours,
                             const std::vector<std::complex<float>>& theirs) {
    float largest = 0, difference = 0;
    for (std::size_t k = 0; k < ours.size(); ++k) {
      largest = std::max(largest, std::abs(theirs[k]));
      difference = std::max(difference, std::abs(ours[k] - theirs[k]));
    }
    if (!(difference <= 1e-4f * largest)) {
      std::fprintf(stderr, "check failed: %s differs from FFTW by %g of the largest value\n", what,
                   difference / largest);
      ok = false;
    }
  };
  const std::vector<float>& input = random_values(2 * n, complex_seed);
  std::vector<float> ours(2 * n + 1);
  std::vector<std::complex<float>> spectrum(n), theirs(n);

  // One and two dimensions: our sign -1 is FFTW's forward direction.
  for (const int dimensions : {1, 2}) {
    std::copy(input.begin(), input.end(), ours.begin() + 1);
    std::copy(input.begin(), input.end(), reinterpret_cast<float*>(theirs.data()));
    auto* data = reinterpret_cast<fftwf_complex*>(theirs.data());
    const auto [rows, columns] = shape(power);
    fftwf_plan plan;
    if (dimensions == 1) {
      numerics::complex_fft(ours.data(), n, -1);
      plan = fftwf_plan_dft_1d(static_cast<int>(n), data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    } else {
      const unsigned dims[] = {0, rows, columns};
      numerics::complex_fft_nd(ours.data(), dims, 2, -1);
      plan =
          fftwf_plan_dft_2d(static_cast<int>(rows), static_cast<int>(columns), data, data, FFTW_FORWARD, FFTW_ESTIMATE);
    }
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
    for (unsigned k = 0; k < n; ++k) spectrum[k] = {ours[2 * k + 1], ours[2 * k + 2]};
    compare(dimensions == 1 ? "complex_fft" : "complex_fft_nd", spectrum, theirs);
  }

  // Real data: ours packs F_0 and F_{n/2} into the first pair and uses the +i convention, so its
  // values are the conjugates of FFTW's.
  const std::vector<float>& real_input = random_values(n, real_seed);
  std::copy(real_input.begin(), real_input.end(), ours.begin() + 1);
  numerics::real_fft(ours.data(), n, 1);
  std::vector<float> buffer(2 * (n / 2 + 1));
  std::copy(real_input.begin(), real_input.end(), buffer.begin());
  const fftwf_plan plan = fftwf_plan_dft_r2c_1d(static_cast<int>(n), buffer.data(),
                                                reinterpret_cast<fftwf_complex*>(buffer.data()), FFTW_ESTIMATE);
  fftwf_execute(plan);
  fftwf_destroy_plan(plan);
  std::vector<std::complex<float>> half(n / 2 + 1), theirs_half(n / 2 + 1);
  half[0] = ours[1];
  half[n / 2] = ours[2];
  for (unsigned k = 1; k < n / 2; ++k) half[k] = {ours[2 * k + 1], -ours[2 * k + 2]};
  for (unsigned k = 0; k <= n / 2; ++k) theirs_half[k] = {buffer[2 * k], buffer[2 * k + 1]};
  compare("real_fft", half, theirs_half);
  return ok;
#else
  return true;
#endif
}
