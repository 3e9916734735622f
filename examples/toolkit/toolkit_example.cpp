// Fits a line to noisy samples of y = 2 + 0.5 x, compares two noisy groups with a t test,
// finds the strongest frequency of a sampled cosine, and goes on after asking for a transform
// of a length that has none.
#include <numerics/exceptions.h>
#include <numerics/numerics.h>

#include <cmath>
#include <cstdio>

using namespace numerics;

namespace {

void fit_a_line() {
  const int count = 20;
  float* x = vector(1, count);
  float* y = vector(1, count);
  int seed = -7;
  for (int i = 1; i <= count; ++i) {
    x[i] = static_cast<float>(i);
    y[i] = 2.0f + 0.5f * x[i] + 0.1f * normal_deviate(&seed);
  }
  float intercept, slope, intercept_sdev, slope_sdev, chi_square, goodness;
  fit_line(x, y, count, nullptr, 0, &intercept, &slope, &intercept_sdev, &slope_sdev, &chi_square, &goodness);
  std::printf("line:      y = %.3f (+- %.3f) + %.4f (+- %.4f) x\n", intercept, intercept_sdev, slope, slope_sdev);

  release_vector(y, 1, count);
  release_vector(x, 1, count);
}

void compare_two_groups() {
  const unsigned size = 30;
  float* control = vector(1, size);
  float* treated = vector(1, size);
  int seed = -11;
  for (unsigned i = 1; i <= size; ++i) {
    control[i] = 10.0f + normal_deviate(&seed);
    treated[i] = 10.8f + normal_deviate(&seed);
  }
  float t;
  t_statistic_equal_variance(control, size, treated, size, &t);
  std::printf("t test:    t = %.3f with %u degrees of freedom, two-sided p = %.4f\n", t, 2 * size - 2,
              t_probability(t, 2 * size - 2));
  release_vector(treated, 1, size);
  release_vector(control, 1, size);
}

void find_the_frequency() {
  const unsigned n = 64;
  const int cycles = 5;
  float* samples = vector(1, n);
  for (unsigned j = 0; j < n; ++j) samples[j + 1] = std::cos(2.0f * 3.14159265f * cycles * j / n);
  real_fft(samples, n, 1);
  // samples[2k + 1], samples[2k + 2] hold frequency k for 0 < k < n/2.
  unsigned strongest = 1;
  float strongest_power = 0.0f;
  for (unsigned k = 1; k < n / 2; ++k) {
    const float power = samples[2 * k + 1] * samples[2 * k + 1] + samples[2 * k + 2] * samples[2 * k + 2];
    if (power > strongest_power) {
      strongest = k;
      strongest_power = power;
    }
  }
  std::printf("spectrum:  strongest frequency %u cycles per %u samples\n", strongest, n);
  release_vector(samples, 1, n);
}

// By default a toolkit error ends the program; with the throwing handler it can be caught.
void survive_a_bad_length() {
  const unsigned n = 48;
  float* samples = vector(1, n);
  for (unsigned j = 1; j <= n; ++j) samples[j] = 1.0f;
  try {
    throwing_handler_guard errors_throw;
    real_fft(samples, n, 1);
  } catch (const toolkit_error& e) {
    std::printf("error:     %s; going on\n", e.what());
  }
  release_vector(samples, 1, n);
}

}  // namespace

int main() {
  std::printf("numerics %s\n", NUMERICS_VERSION_STRING);
  fit_a_line();
  compare_two_groups();
  find_the_frequency();
  survive_a_bad_length();
  return 0;
}
