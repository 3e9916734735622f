// Solving and least-squares fitting from a singular value decomposition.
#include "numerics/arrays.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/detail/singular_value_threshold.h"
#include "numerics/linear_algebra.h"

namespace numerics {

namespace {

// Singular values below this fraction of the largest carry only rounding noise in a fit.
constexpr double fit_edit_fraction = 1e-5;

// Sets to 0 every w[j] below fit_edit_fraction of the largest (negative ones included).
void edit_singular_values(float w[], int n) {
  const float threshold = detail::singular_value_threshold(w, n, fit_edit_fraction);
  for (int j = 1; j <= n; ++j)
    if (w[j] < threshold) w[j] = 0.0f;
}

}  // namespace

void svd_back_substitute(float** u, const float w[], float** v, int m, int n, const float b[], float x[]) {
  if (n < 1) return;
  float* t = vector(1, n);
  detail::scope_guard release_t{[&] { release_vector(t, 1, n); }};
  for (int j = 1; j <= n; ++j) {
    float s = 0.0f;
    if (w[j] != 0.0f) {
      for (int i = 1; i <= m; ++i) s += u[i][j] * b[i];
      s /= w[j];
    }
    t[j] = s;
  }
  for (int j = 1; j <= n; ++j) {
    float s = 0.0f;
    for (int k = 1; k <= n; ++k) s += v[j][k] * t[k];
    x[j] = s;
  }
}

void svd_covariance(float** v, int basis_count, const float w[], float** covariance) {
  if (basis_count < 1) return;
  float* r = vector(1, basis_count);
  detail::scope_guard release_r{[&] { release_vector(r, 1, basis_count); }};
  for (int i = 1; i <= basis_count; ++i) {
    r[i] = 0.0f;
    if (w[i] != 0.0f) r[i] = static_cast<float>(1.0 / (w[i] * w[i]));
  }
  for (int i = 1; i <= basis_count; ++i) {
    for (int j = 1; j <= i; ++j) {
      float c = 0.0f;
      for (int k = 1; k <= basis_count; ++k) c += v[i][k] * v[j][k] * r[k];
      covariance[i][j] = covariance[j][i] = c;
    }
  }
}

void svd_least_squares_fit(const float x[], const float y[], const float sdev[], int count, float a[], int basis_count,
                           float** u, float** v, float w[], float* chi_square, basis_function basis) {
  if (basis_count < 1) return;
  // No data is a fit with no rows; the empty right-hand side keeps its allocation valid.
  const int rows = count > 0 ? count : 0;
  float* b = vector(1, rows);
  detail::scope_guard release_b{[&] { release_vector(b, 1, rows); }};
  float* f = vector(1, basis_count);
  detail::scope_guard release_f{[&] { release_vector(f, 1, basis_count); }};
  for (int i = 1; i <= rows; ++i) {
    basis(x[i], f, basis_count);
    const float weight = static_cast<float>(1.0 / sdev[i]);
    for (int j = 1; j <= basis_count; ++j) u[i][j] = f[j] * weight;
    b[i] = y[i] * weight;
  }
  svd_decompose(u, rows, basis_count, w, v);
  edit_singular_values(w, basis_count);
  svd_back_substitute(u, w, v, rows, basis_count, b, a);
  *chi_square = 0.0f;
  for (int i = 1; i <= rows; ++i) {
    basis(x[i], f, basis_count);
    float s = 0.0f;
    for (int j = 1; j <= basis_count; ++j) s += a[j] * f[j];
    const float d = (y[i] - s) / sdev[i];
    *chi_square += d * d;
  }
}

void polynomial_basis(float x, float p[], int basis_count) {
  if (basis_count < 1) return;
  p[1] = 1.0f;
  for (int j = 2; j <= basis_count; ++j) p[j] = p[j - 1] * x;
}

}  // namespace numerics
