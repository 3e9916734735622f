// Eigen-decomposition of a symmetric matrix by cyclic Jacobi rotations, and the descending
// sort of its result.
#include <math.h>
#include <stdint.h>

#include "numerics/arrays.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/linear_algebra.h"

namespace numerics {

namespace {

constexpr int max_sweeps = 50;

// The rotation that annihilates one off-diagonal element: sine s and tau = s / (1 + cos).
struct rotation {
  float s;
  float tau;
};

// Rotates the pair (x, y) in place, in the form that loses least accuracy for small angles.
void rotate_pair(const rotation& r, float* x, float* y) {
  const float g = *x;
  const float h = *y;
  *x = g - r.s * (h + g * r.tau);
  *y = h + r.s * (g - h * r.tau);
}

float upper_triangle_magnitude(float** a, int n) {
  float sum = 0.0f;
  for (int p = 1; p < n; ++p)
    for (int q = p + 1; q <= n; ++q) sum += fabsf(a[p][q]);
  return sum;
}

// Tangent of the rotation angle for element apq with diagonal difference h = d[q] - d[p];
// g is 100 |apq|. When h dwarfs apq the plain ratio is exact enough and cannot overflow.
float rotation_tangent(float apq, float h, float g) {
  if (fabsf(h) + g == fabsf(h)) return apq / h;
  const float theta = static_cast<float>(0.5 * h / apq);
  const float t = static_cast<float>(1.0 / (fabs(theta) + sqrt(1.0 + theta * theta)));
  return theta < 0.0f ? -t : t;
}

// Annihilates a[p][q], updating the eigenvalue estimates d, the sweep's changes z, the rest of
// the upper triangle and the eigenvector columns p and q of v.
void rotate(float** a, int n, float d[], float z[], float** v, int p, int q, float g) {
  const float t = rotation_tangent(a[p][q], d[q] - d[p], g);
  const float c = static_cast<float>(1.0 / sqrtf(1.0f + t * t));
  const float s = t * c;
  const rotation r = {s, static_cast<float>(s / (1.0 + c))};
  const float h = t * a[p][q];
  z[p] -= h;
  z[q] += h;
  d[p] -= h;
  d[q] += h;
  a[p][q] = 0.0f;
  for (int j = 1; j < p; ++j) rotate_pair(r, &a[j][p], &a[j][q]);
  for (int j = p + 1; j < q; ++j) rotate_pair(r, &a[p][j], &a[j][q]);
  for (int j = q + 1; j <= n; ++j) rotate_pair(r, &a[p][j], &a[q][j]);
  for (int j = 1; j <= n; ++j) rotate_pair(r, &v[j][p], &v[j][q]);
}

// One sweep over the strict upper triangle, row by row.
void sweep(float** a, int n, float d[], float z[], float** v, int* rotations, int number, float threshold) {
  for (int p = 1; p < n; ++p) {
    for (int q = p + 1; q <= n; ++q) {
      const float g = static_cast<float>(100.0 * fabsf(a[p][q]));
      // Late in the iteration an element too small to change either diagonal entry is dropped.
      if (number > 4 && fabsf(d[p]) + g == fabsf(d[p]) && fabsf(d[q]) + g == fabsf(d[q])) {
        a[p][q] = 0.0f;
      } else if (fabsf(a[p][q]) > threshold) {
        rotate(a, n, d, z, v, p, q, g);
        ++*rotations;
      }
    }
  }
}

}  // namespace

void jacobi(float** a, int n, float d[], float** v, int* rotations) {
  *rotations = 0;
  if (n < 1) return;
  float* b = vector(1, n);
  detail::scope_guard release_b{[&] { release_vector(b, 1, n); }};
  float* z = vector(1, n);
  detail::scope_guard release_z{[&] { release_vector(z, 1, n); }};
  for (int p = 1; p <= n; ++p) {
    for (int q = 1; q <= n; ++q) v[p][q] = 0.0f;
    v[p][p] = 1.0f;
  }
  for (int p = 1; p <= n; ++p) {
    b[p] = d[p] = a[p][p];
    z[p] = 0.0f;
  }
  // n * n in 64 bits: equal to the int product wherever that fits.
  const double squared_size = static_cast<double>(static_cast<int64_t>(n) * n);
  for (int number = 1; number <= max_sweeps; ++number) {
    const float sm = upper_triangle_magnitude(a, n);
    if (sm == 0.0f) return;
    // The first sweeps rotate only the larger elements.
    const float threshold = number < 4 ? static_cast<float>(0.2 * sm / squared_size) : 0.0f;
    sweep(a, n, d, z, v, rotations, number, threshold);
    for (int p = 1; p <= n; ++p) {
      b[p] += z[p];
      d[p] = b[p];
      z[p] = 0.0f;
    }
  }
  run_time_error("Too many iterations in routine jacobi");
}

void sort_eigen_descending(float d[], float** v, int n) {
  for (int i = 1; i < n; ++i) {
    int k = i;
    float p = d[i];
    for (int j = i + 1; j <= n; ++j) {
      if (d[j] >= p) {
        k = j;
        p = d[j];
      }
    }
    if (k != i) {
      d[k] = d[i];
      d[i] = p;
      for (int r = 1; r <= n; ++r) {
        const float t = v[r][i];
        v[r][i] = v[r][k];
        v[r][k] = t;
      }
    }
  }
}

}  // namespace numerics
