// Pseudo-inverse of a square matrix through its singular value decomposition.
#include <math.h>

#include "numerics/arrays.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/detail/singular_value_threshold.h"
#include "numerics/linear_algebra.h"

namespace numerics {

namespace {

// Singular values below this fraction of the largest are treated as zero.
constexpr double rank_fraction = 1e-6;

// Replaces each singular value by its reciprocal, or by 0 when it is 0 or below
// rank_fraction of the largest.
void invert_singular_values(float w[], int n) {
  const float threshold = detail::singular_value_threshold(w, n, rank_fraction);
  for (int i = 1; i <= n; ++i) {
    if (w[i] < threshold || w[i] == 0.0f)
      w[i] = 0.0f;
    else
      w[i] = static_cast<float>(1.0 / w[i]);
  }
}

}  // namespace

bool svd_pseudo_inverse(float** a, float** p, int n) {
  if (n < 1) return true;
  float** u = matrix(1, n, 1, n);
  detail::scope_guard release_u{[&] { release_matrix(u, 1, n, 1, n); }};
  float** v = matrix(1, n, 1, n);
  detail::scope_guard release_v{[&] { release_matrix(v, 1, n, 1, n); }};
  float* w = vector(1, n);
  detail::scope_guard release_w{[&] { release_vector(w, 1, n); }};
  float** r = matrix(0, n - 1, 0, n - 1);
  detail::scope_guard release_r{[&] { release_matrix(r, 0, n - 1, 0, n - 1); }};
  float** q = matrix(0, n - 1, 0, n - 1);
  detail::scope_guard release_q{[&] { release_matrix(q, 0, n - 1, 0, n - 1); }};
  float** t = matrix(0, n - 1, 0, n - 1);
  detail::scope_guard release_t{[&] { release_matrix(t, 0, n - 1, 0, n - 1); }};

  matrix_copy(a, u, n, n, 2);
  svd_decompose(u, n, n, w, v);
  const bool converged = !svd_not_converged;
  // An unconverged value may be left negative; its magnitude is the best estimate there is.
  if (!converged)
    for (int i = 1; i <= n; ++i) w[i] = fabsf(w[i]);
  invert_singular_values(w, n);

  matrix_copy(u, t, n, n, 3);
  matrix_transpose(t, r, n, n);
  scale_matrix_rows(&w[1], r, n, n);
  matrix_copy(v, t, n, n, 3);
  matrix_copy(t, q, n, n, 0);
  matrix_multiply(q, r, p, n, n, n);
  return converged;
}

}  // namespace numerics
