// Eigen-decomposition of a symmetric matrix by cyclic Jacobi rotations, and the descending
// sort of its result.
#include <math.h>
#include <stdint.h>

#include "numerics/arrays.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/detail/linear_algebra/kernels.h"
#include "numerics/linear_algebra.h"

namespace numerics {

namespace {

using detail::linear_algebra::kernels;
using detail::linear_algebra::pivot_window;

constexpr int max_sweeps = 50;

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

// The rotations of row p of the upper triangle, from column `first` on, whose work on the
// elements outside rows p and q is still to be done.
struct pending_rotations {
  static constexpr int capacity = 256;
  int first;
  int length;
  float s[capacity], tau[capacity];
  unsigned char rotated[capacity];
};

// The rotation (p, q) turns the pairs (a[p][j], a[q][j]) for j > q, (a[p][j], a[j][q]) for
// p < j < q, (a[j][p], a[j][q]) for j < p and (v[j][p], v[j][q]) for every j. Within the
// sweep of row p only the first kind feeds later decisions (it changes a[p][j] for the q
// still to come); the other three touch elements that no later decision of the row reads,
// and each of them, taken row by row, is a chain of these rotations in increasing q. So the
// first kind is done at once and the rest waits here, to be applied row by row in tiles.
void apply(const kernels& kernel, float** a, int n, float** v, int p, pending_rotations* r) {
  if (r->length == 0) return;
  const pivot_window window = {r->first, r->length, r->s, r->tau, r->rotated};
  const int last = r->first + r->length - 1;
  // (a[j][p], a[j][q]), j < p.
  if (p > 1) kernel.rotate_against_pivot(a + 1, p - 1, p, nullptr, 0, 0, window);
  // (a[p][j], a[j][q]), p < j < q: row j takes the rotations q > j.
  if (last - 1 > p) kernel.rotate_against_pivot(a + p + 1, last - 1 - p, 0, a[p] + p + 1, p + 2, 1, window);
  // (v[j][p], v[j][q]).
  kernel.rotate_against_pivot(v + 1, n, p, nullptr, 0, 0, window);
  r->first += r->length;
  r->length = 0;
}

// Annihilates a[p][q], updating the eigenvalue estimates d, the sweep's changes z and the
// rest of row p beyond q; the other elements it turns are left to `apply`.
void rotate(const kernels& kernel, float** a, int n, float d[], float z[], int p, int q, float g,
            pending_rotations* pending) {
  const float t = rotation_tangent(a[p][q], d[q] - d[p], g);
  const float c = static_cast<float>(1.0 / sqrtf(1.0f + t * t));
  const float s = t * c;
  const float tau = static_cast<float>(s / (1.0 + c));
  const float h = t * a[p][q];
  z[p] -= h;
  z[q] += h;
  d[p] -= h;
  d[q] += h;
  a[p][q] = 0.0f;
  kernel.rotate_pairs(a[p] + q + 1, a[q] + q + 1, n - q, s, tau);
  pending->s[pending->length] = s;
  pending->tau[pending->length] = tau;
  pending->rotated[pending->length] = 1;
}

// One sweep over the strict upper triangle, row by row.
void sweep(const kernels& kernel, float** a, int n, float d[], float z[], float** v, int* rotations, int number,
           float threshold) {
  pending_rotations pending;
  for (int p = 1; p < n; ++p) {
    pending.first = p + 1;
    pending.length = 0;
    for (int q = p + 1; q <= n; ++q) {
      pending.rotated[pending.length] = 0;
      const float g = static_cast<float>(100.0 * fabsf(a[p][q]));
      // Late in the iteration an element too small to change either diagonal entry is dropped.
      if (number > 4 && fabsf(d[p]) + g == fabsf(d[p]) && fabsf(d[q]) + g == fabsf(d[q])) {
        a[p][q] = 0.0f;
      } else if (fabsf(a[p][q]) > threshold) {
        rotate(kernel, a, n, d, z, p, q, g, &pending);
        ++*rotations;
      }
      if (++pending.length == pending_rotations::capacity) apply(kernel, a, n, v, p, &pending);
    }
    apply(kernel, a, n, v, p, &pending);
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
  const kernels& kernel = detail::linear_algebra::active_kernels();
  // n * n in 64 bits: equal to the int product wherever that fits.
  const double squared_size = static_cast<double>(static_cast<int64_t>(n) * n);
  for (int number = 1; number <= max_sweeps; ++number) {
    const float sm = upper_triangle_magnitude(a, n);
    if (sm == 0.0f) return;
    // The first sweeps rotate only the larger elements.
    const float threshold = number < 4 ? static_cast<float>(0.2 * sm / squared_size) : 0.0f;
    sweep(kernel, a, n, d, z, v, rotations, number, threshold);
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
