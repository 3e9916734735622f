// The straight-line fit weighted and not, Gauss-Jordan up to 100 x 100, and Levenberg-Marquardt
// fits of sums of Gaussians followed step by step.
#include "families.h"
#include "input_sequence.h"
#include "numerics/arrays.h"
#include "numerics/fitting.h"

using namespace numerics;

void hash_fit_line(OutputHash& out) {
  const int counts[] = {3, 10, 1000};
  for (int count : counts) {
    InputSequence in(static_cast<uint64_t>(count));
    float* x = vector(1, count);
    float* y = vector(1, count);
    float* sdev = vector(1, count);
    for (int i = 1; i <= count; ++i) {
      x[i] = static_cast<float>(i) * 0.25f;
      y[i] = 2.0f - 0.75f * x[i] + in.between(-0.5f, 0.5f);
      sdev[i] = in.between(0.25f, 1.0f);
    }
    for (int use_sdev = 0; use_sdev <= 1; ++use_sdev) {
      float fit[6];
      fit_line(x, y, count, sdev, use_sdev, &fit[0], &fit[1], &fit[2], &fit[3], &fit[4], &fit[5]);
      out.add(fit, 0, 5);
    }
    release_vector(sdev, 1, count);
    release_vector(y, 1, count);
    release_vector(x, 1, count);
  }
}

// Well-conditioned matrices whose heavy entries sit off the diagonal, so that the pivoting swaps
// rows and columns; three right-hand sides.
void hash_gaussj(OutputHash& out) {
  const int sizes[] = {1, 2, 5, 50, 100};
  for (int n : sizes) {
    InputSequence in(static_cast<uint64_t>(n));
    float** a = matrix(1, n, 1, n);
    float** b = matrix(1, n, 1, 3);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) a[i][j] = in.between(-1.0f, 1.0f);
      a[i][n + 1 - i] += static_cast<float>(n);
      for (int j = 1; j <= 3; ++j) b[i][j] = in.between(-1.0f, 1.0f);
    }
    gaussj(a, n, b, 3);
    out.add(a, 1, n, 1, n);
    out.add(b, 1, n, 1, 3);
    release_matrix(b, 1, n, 1, 3);
    release_matrix(a, 1, n, 1, n);
  }
}

// Two Gaussians fitted to two noisy bell-shaped peaks (rational, so that the data involve no
// elementary function), all six parameters and then with the second centre frozen. Every step's
// parameters, chi-square and lambda are hashed, and the final covariance.
void hash_levenberg_marquardt(OutputHash& out) {
  const int count = 201, param_count = 6;
  InputSequence in(7);
  float* x = vector(1, count);
  float* y = vector(1, count);
  float* sdev = vector(1, count);
  for (int i = 1; i <= count; ++i) {
    x[i] = static_cast<float>(i - 101) * 0.05f;
    const float u = (x[i] + 1.5f) * 1.25f, v = (x[i] - 2.0f) * 2.0f;
    y[i] = 3.0f / (1.0f + u * u * u * u) + 1.5f / (1.0f + v * v * v * v) + in.between(-0.1f, 0.1f);
    sdev[i] = 0.1f;
  }
  float** covariance = matrix(1, param_count, 1, param_count);
  float** curvature = matrix(1, param_count, 1, param_count);
  int* mask = ivector(1, param_count);
  for (int frozen = 0; frozen <= 5; frozen += 5) {
    const float guess[param_count + 1] = {0.0f, 2.5f, -1.0f, 1.0f, 1.0f, 2.25f, 0.5f};
    float params[param_count + 1];
    for (int l = 1; l <= param_count; ++l) {
      params[l] = guess[l];
      mask[l] = l != frozen;
    }
    float chi_square, lambda = -1.0f;
    for (int step = 0; step < 40 && lambda < 1e6f; ++step) {
      lm_step(x, y, sdev, count, params, mask, param_count, covariance, curvature, &chi_square, gaussian_sum_model,
              &lambda);
      out.add(params, 1, param_count);
      out.add(chi_square);
      out.add(lambda);
    }
    lambda = 0.0f;
    lm_step(x, y, sdev, count, params, mask, param_count, covariance, curvature, &chi_square, gaussian_sum_model,
            &lambda);
    out.add(covariance, 1, param_count, 1, param_count);
  }
  release_ivector(mask, 1, param_count);
  release_matrix(curvature, 1, param_count, 1, param_count);
  release_matrix(covariance, 1, param_count, 1, param_count);
  release_vector(sdev, 1, count);
  release_vector(y, 1, count);
  release_vector(x, 1, count);
}
