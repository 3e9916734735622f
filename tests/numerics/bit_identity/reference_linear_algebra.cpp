// The toolkit's dense linear algebra as first written: every loop in the order of the
// algorithm, every sum a single accumulation.
#include "reference_linear_algebra.h"

#include <math.h>
#include <stdint.h>

#include "numerics/arrays.h"
#include "numerics/fitting.h"

namespace reference {

using numerics::basis_function;
using numerics::hypotenuse;
using numerics::ivector;
using numerics::matrix;
using numerics::matrix_copy;
using numerics::matrix_transpose;
using numerics::release_ivector;
using numerics::release_matrix;
using numerics::release_vector;
using numerics::run_time_error;
using numerics::scale_matrix_rows;
using numerics::vector;

bool svd_not_converged = false;

namespace {

// Absolute bound below which a diagonal or superdiagonal element counts as zero.
constexpr float negligible_bound = 1e-6f;
constexpr int max_iterations = 100;

bool negligible(float x) { return fabsf(x) < negligible_bound; }

// |x| with the sign of y; a zero y counts as positive.
float sign_of(float x, float y) { return y >= 0.0f ? fabsf(x) : -fabsf(x); }

// Plane rotation of columns j and i of x over rows 1..rows.
void rotate_columns(float** x, int rows, int j, int i, float c, float s) {
  for (int r = 1; r <= rows; ++r) {
    const float p = x[r][j];
    const float q = x[r][i];
    x[r][j] = p * c + q * s;
    x[r][i] = q * c - p * s;
  }
}

// Reduces a to bidiagonal form: diagonal into w, superdiagonal into e (e[1] = 0); the
// Householder vectors stay in a for the accumulation phases.
void reduce_to_bidiagonal(float** a, int m, int n, float w[], float e[]) {
  float g = 0.0f, scale = 0.0f, s = 0.0f;
  for (int i = 1; i <= n; ++i) {
    const int l = i + 1;
    e[i] = scale * g;
    g = s = scale = 0.0f;
    if (i <= m) {
      for (int k = i; k <= m; ++k) scale += fabsf(a[k][i]);
      if (scale != 0.0f) {
        for (int k = i; k <= m; ++k) {
          a[k][i] /= scale;
          s += a[k][i] * a[k][i];
        }
        const float f = a[i][i];
        g = -sign_of(sqrtf(s), f);
        const float h = f * g - s;
        a[i][i] = f - g;
        for (int j = l; j <= n; ++j) {
          float t = 0.0f;
          for (int k = i; k <= m; ++k) t += a[k][i] * a[k][j];
          const float factor = t / h;
          for (int k = i; k <= m; ++k) a[k][j] += factor * a[k][i];
        }
        for (int k = i; k <= m; ++k) a[k][i] *= scale;
      }
    }
    w[i] = scale * g;
    g = s = scale = 0.0f;
    if (i <= m && i != n) {
      for (int k = l; k <= n; ++k) scale += fabsf(a[i][k]);
      if (scale != 0.0f) {
        for (int k = l; k <= n; ++k) {
          a[i][k] /= scale;
          s += a[i][k] * a[i][k];
        }
        const float f = a[i][l];
        g = -sign_of(sqrtf(s), f);
        const float h = f * g - s;
        a[i][l] = f - g;
        for (int k = l; k <= n; ++k) e[k] = a[i][k] / h;
        for (int j = l; j <= m; ++j) {
          float t = 0.0f;
          for (int k = l; k <= n; ++k) t += a[j][k] * a[i][k];
          for (int k = l; k <= n; ++k) a[j][k] += t * e[k];
        }
        for (int k = l; k <= n; ++k) a[i][k] *= scale;
      }
    }
  }
}

// True when a finite a[i][j] gave an infinite (a[i][j] / a[i][l]) / g in v[j][i]: a row so
// small (subnormal) that the quotient lies beyond the float range.
bool overflowed(float** a, float** v, int i, int l, int n) {
  for (int j = l; j <= n; ++j)
    if (isinf(v[j][i]) && isfinite(a[i][j])) return true;
  return false;
}

// Builds V from the row reflections kept in a. Rows of a beyond m are never read: their
// superdiagonal element, and so g, is 0.
void accumulate_right(float** a, int n, const float e[], float** v) {
  float g = 0.0f;
  int l = n + 1;
  for (int i = n; i >= 1; --i) {
    if (i < n) {
      if (g != 0.0f) {
        // Column i of v is scratch here: it is cleared below.
        for (int j = l; j <= n; ++j) v[j][i] = (a[i][j] / a[i][l]) / g;
        if (!overflowed(a, v, i, l, n)) {
          for (int j = l; j <= n; ++j) {
            float t = 0.0f;
            for (int k = l; k <= n; ++k) t += a[i][k] * v[k][j];
            for (int k = l; k <= n; ++k) v[k][j] += t * v[k][i];
          }
        } else {
          // The same update with the division by g moved from the scratch column to t.
          for (int j = l; j <= n; ++j) v[j][i] = a[i][j] / a[i][l];
          for (int j = l; j <= n; ++j) {
            float t = 0.0f;
            for (int k = l; k <= n; ++k) t += a[i][k] * v[k][j];
            const float f = t / g;
            for (int k = l; k <= n; ++k) v[k][j] += f * v[k][i];
          }
        }
      }
      for (int j = l; j <= n; ++j) v[i][j] = v[j][i] = 0.0f;
    }
    v[i][i] = 1.0f;
    g = e[i];
    l = i;
  }
}

// Turns a into U from the column reflections it holds.
void accumulate_left(float** a, int m, int n, const float w[]) {
  for (int i = m < n ? m : n; i >= 1; --i) {
    const int l = i + 1;
    const float g = w[i];
    for (int j = l; j <= n; ++j) a[i][j] = 0.0f;
    if (g == 0.0f) {
      for (int j = i; j <= m; ++j) a[j][i] = 0.0f;
    } else if (const float inverse = static_cast<float>(1.0 / g); !isinf(inverse)) {
      for (int j = l; j <= n; ++j) {
        float t = 0.0f;
        for (int k = l; k <= m; ++k) t += a[k][i] * a[k][j];
        const float f = (t / a[i][i]) * inverse;
        for (int k = i; k <= m; ++k) a[k][j] += f * a[k][i];
      }
      for (int j = i; j <= m; ++j) a[j][i] *= inverse;
    } else {
      // A subnormal g has no float reciprocal, and f would overflow: the same update with
      // the column divided by g first.
      for (int j = i; j <= m; ++j) a[j][i] /= g;
      for (int j = l; j <= n; ++j) {
        float t = 0.0f;
        for (int k = l; k <= m; ++k) t += a[k][i] * a[k][j];
        const float f = t / a[i][i];
        for (int k = i; k <= m; ++k) a[k][j] += f * a[k][i];
      }
    }
    a[i][i] += 1.0f;
  }
}

// Scans down from k for the top l of the unreduced block that ends at k. Sets `cancel` when
// the block is split off by a negligible w[l - 1] rather than by a negligible e[l]. e[1] is
// always 0, so the scan ends by l = 1 and w[0] is never read.
int find_split(int k, const float w[], const float e[], bool* cancel) {
  int l = k;
  for (; l >= 1; --l) {
    if (negligible(e[l])) {
      *cancel = false;
      return l;
    }
    if (negligible(w[l - 1])) break;
  }
  *cancel = true;
  return l;
}

// Zeroes e[l] when w[l - 1] is negligible, by rotations that mix column l - 1 of U into
// columns l..k.
void cancel_superdiagonal(float** a, int m, float w[], float e[], int l, int k) {
  const int nm = l - 1;
  float c = 0.0f, s = 1.0f;
  for (int i = l; i <= k; ++i) {
    const float f = s * e[i];
    e[i] = c * e[i];
    if (negligible(f)) break;
    const float g = w[i];
    float h = hypotenuse(f, g);
    w[i] = h;
    h = static_cast<float>(1.0 / h);
    c = g * h;
    s = -f * h;
    rotate_columns(a, m, nm, i, c, s);
  }
}

// One implicit-shift QR sweep over the block l..k, shifted by the eigenvalue of the bottom
// 2 x 2 minor closer to w[k]^2; z is w[k] on entry.
void qr_sweep(float** a, int m, int n, float w[], float e[], float** v, int l, int k, float z) {
  float x = w[l];
  const int nm = k - 1;
  float y = w[nm];
  float g = e[nm];
  float h = e[k];
  float f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0f * h * y);
  g = hypotenuse(f, 1.0f);
  f = ((x - z) * (x + z) + h * (y / (f + sign_of(g, f)) - h)) / x;
  float c = 1.0f, s = 1.0f;
  for (int j = l; j <= nm; ++j) {
    const int i = j + 1;
    g = e[i];
    y = w[i];
    h = s * g;
    g = c * g;
    z = hypotenuse(f, h);
    e[j] = z;
    c = f / z;
    s = h / z;
    f = x * c + g * s;
    g = g * c - x * s;
    h = y * s;
    y = y * c;
    rotate_columns(v, n, j, i, c, s);
    z = hypotenuse(f, h);
    w[j] = z;
    if (z != 0.0f) {
      // Below 1/FLT_MAX the reciprocal rounds to infinity; the quotients themselves are finite.
      const float inverse = static_cast<float>(1.0 / z);
      c = isinf(inverse) ? f / z : f * inverse;
      s = isinf(inverse) ? h / z : h * inverse;
    }
    f = c * g + s * y;
    x = c * y - s * g;
    rotate_columns(a, m, j, i, c, s);
  }
  e[l] = 0.0f;
  e[k] = f;
  w[k] = x;
}

// Drives the superdiagonal to zero from the bottom up, making each converged singular value
// non-negative by negating its column of V.
void diagonalize(float** a, int m, int n, float w[], float e[], float** v) {
  for (int k = n; k >= 1; --k) {
    for (int iteration = 1; iteration <= max_iterations; ++iteration) {
      bool cancel = false;
      const int l = find_split(k, w, e, &cancel);
      if (cancel) cancel_superdiagonal(a, m, w, e, l, k);
      const float z = w[k];
      if (l == k) {
        if (z < 0.0f) {
          w[k] = -z;
          for (int r = 1; r <= n; ++r) v[r][k] = -v[r][k];
        }
        break;
      }
      if (iteration == max_iterations) svd_not_converged = true;
      qr_sweep(a, m, n, w, e, v, l, k, z);
    }
  }
}

// The cut-off below which singular values count as zero: fraction of the largest (at least
// 0), the product in double rounded to float.
float singular_value_threshold(const float w[], int n, double fraction) {
  float largest = 0.0f;
  for (int i = 1; i <= n; ++i)
    if (w[i] > largest) largest = w[i];
  return static_cast<float>(fraction * largest);
}

// Singular values below this fraction of the largest carry only rounding noise in a fit.
constexpr double fit_edit_fraction = 1e-5;

// Sets to 0 every w[j] below fit_edit_fraction of the largest (negative ones included).
void edit_singular_values(float w[], int n) {
  const float threshold = singular_value_threshold(w, n, fit_edit_fraction);
  for (int j = 1; j <= n; ++j)
    if (w[j] < threshold) w[j] = 0.0f;
}

// Singular values below this fraction of the largest are treated as zero.
constexpr double rank_fraction = 1e-6;

// Replaces each singular value by its reciprocal, or by 0 when it is 0 or below
// rank_fraction of the largest.
void invert_singular_values(float w[], int n) {
  const float threshold = singular_value_threshold(w, n, rank_fraction);
  for (int i = 1; i <= n; ++i) {
    if (w[i] < threshold || w[i] == 0.0f)
      w[i] = 0.0f;
    else
      w[i] = static_cast<float>(1.0 / w[i]);
  }
}

namespace eigen {

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

}  // namespace eigen

// Row and column exchanges that move the elements and leave the row pointers alone.
void swap_elements(float& a, float& b) {
  const float kept = a;
  a = b;
  b = kept;
}

void swap_rows(float** m, int r, int s, int cols) {
  for (int l = 1; l <= cols; ++l) swap_elements(m[r][l], m[s][l]);
}

void swap_columns(float** m, int c, int d, int rows) {
  for (int l = 1; l <= rows; ++l) swap_elements(m[l][c], m[l][d]);
}

// Full pivoting: the element of largest magnitude among the rows and columns not yet used,
// scanned row by row and column by column; `>=` lets the last of equal magnitudes win and
// never accepts a NaN. Returns false when no element qualifies, which only a search over NaNs
// can do: every other search accepts at least a zero.
bool find_pivot(float** a, int n, const int pivot_count[], int* row, int* col) {
  float largest = 0.0f;
  bool found = false;
  for (int j = 1; j <= n; ++j) {
    if (pivot_count[j] == 1) continue;
    for (int k = 1; k <= n; ++k) {
      if (pivot_count[k] == 0 && fabsf(a[j][k]) >= largest) {
        largest = fabsf(a[j][k]);
        *row = j;
        *col = k;
        found = true;
      }
    }
  }
  return found;
}

// Scales pivot row c so that the pivot becomes 1 and clears column c from every other row.
// The pivot and each cleared element are set before their row is processed, so that the
// inverse builds up in the storage of `a`.
void eliminate(float** a, int n, float** b, int m, int c) {
  const float reciprocal = static_cast<float>(1.0 / static_cast<double>(a[c][c]));
  a[c][c] = 1.0f;
  for (int l = 1; l <= n; ++l) a[c][l] *= reciprocal;
  for (int l = 1; l <= m; ++l) b[c][l] *= reciprocal;
  for (int r = 1; r <= n; ++r) {
    if (r == c) continue;
    const float factor = a[r][c];
    a[r][c] = 0.0f;
    for (int l = 1; l <= n; ++l) a[r][l] -= a[c][l] * factor;
    for (int l = 1; l <= m; ++l) b[r][l] -= b[c][l] * factor;
  }
}

}  // namespace

void svd_decompose(float** a, int m, int n, float w[], float** v) {
  svd_not_converged = false;
  if (n < 1) return;
  float* e = vector(1, n);
  reduce_to_bidiagonal(a, m, n, w, e);
  accumulate_right(a, n, e, v);
  accumulate_left(a, m, n, w);
  diagonalize(a, m, n, w, e, v);
  release_vector(e, 1, n);
}

void svd_back_substitute(float** u, const float w[], float** v, int m, int n, const float b[], float x[]) {
  if (n < 1) return;
  float* t = vector(1, n);
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
  release_vector(t, 1, n);
}

void svd_least_squares_fit(const float x[], const float y[], const float sdev[], int count, float a[], int basis_count,
                           float** u, float** v, float w[], float* chi_square, basis_function basis) {
  if (basis_count < 1) return;
  // No data is a fit with no rows; the empty right-hand side keeps its allocation valid.
  const int rows = count > 0 ? count : 0;
  float* b = vector(1, rows);
  float* f = vector(1, basis_count);
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
  release_vector(f, 1, basis_count);
  release_vector(b, 1, rows);
}

bool svd_pseudo_inverse(float** a, float** p, int n) {
  if (n < 1) return true;
  float** u = matrix(1, n, 1, n);
  float** v = matrix(1, n, 1, n);
  float* w = vector(1, n);
  float** r = matrix(0, n - 1, 0, n - 1);
  float** q = matrix(0, n - 1, 0, n - 1);
  float** t = matrix(0, n - 1, 0, n - 1);

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

  release_matrix(r, 0, n - 1, 0, n - 1);
  release_matrix(q, 0, n - 1, 0, n - 1);
  release_matrix(t, 0, n - 1, 0, n - 1);
  release_matrix(v, 1, n, 1, n);
  release_matrix(u, 1, n, 1, n);
  release_vector(w, 1, n);
  return converged;
}

void matrix_multiply(float** a, float** b, float** g, int rows, int inner, int cols) {
  for (int i = 0; i < rows; ++i) {
    for (int j = 0; j < cols; ++j) {
      float s = 0.0f;
      for (int k = 0; k < inner; ++k) s += a[i][k] * b[k][j];
      g[i][j] = s;
    }
  }
}

void jacobi(float** a, int n, float d[], float** v, int* rotations) {
  *rotations = 0;
  if (n < 1) return;
  float* b = vector(1, n);
  float* z = vector(1, n);
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
  for (int number = 1; number <= eigen::max_sweeps; ++number) {
    const float sm = eigen::upper_triangle_magnitude(a, n);
    if (sm == 0.0f) {
      release_vector(z, 1, n);
      release_vector(b, 1, n);
      return;
    }
    // The first sweeps rotate only the larger elements.
    const float threshold = number < 4 ? static_cast<float>(0.2 * sm / squared_size) : 0.0f;
    eigen::sweep(a, n, d, z, v, rotations, number, threshold);
    for (int p = 1; p <= n; ++p) {
      b[p] += z[p];
      d[p] = b[p];
      z[p] = 0.0f;
    }
  }
  run_time_error("Too many iterations in routine jacobi");
}

void gaussj(float** a, int n, float** b, int m) {
  int* pivot_col = ivector(1, n);
  int* pivot_row = ivector(1, n);
  int* pivot_count = ivector(1, n);
  for (int j = 1; j <= n; ++j) pivot_count[j] = 0;

  for (int i = 1; i <= n; ++i) {
    int row = 0;
    int col = 0;
    // A search without a pivot would leave the elimination to take an already used column
    // again; that is the one way a column can be taken twice, and it is reported here.
    if (!find_pivot(a, n, pivot_count, &row, &col)) run_time_error("gaussj: Singular Matrix-1");
    ++pivot_count[col];
    // Bring the pivot onto the diagonal; the column order is restored after the elimination.
    if (row != col) {
      swap_rows(a, row, col, n);
      swap_rows(b, row, col, m);
    }
    pivot_row[i] = row;
    pivot_col[i] = col;
    if (static_cast<double>(a[col][col]) == 0.0) run_time_error("gaussj: Singular Matrix-2");
    eliminate(a, n, b, m, col);
  }

  for (int l = n; l >= 1; --l) {
    if (pivot_row[l] != pivot_col[l]) swap_columns(a, pivot_row[l], pivot_col[l], n);
  }
  release_ivector(pivot_count, 1, n);
  release_ivector(pivot_row, 1, n);
  release_ivector(pivot_col, 1, n);
}

}  // namespace reference
