// Singular value decomposition: Householder reduction to upper bidiagonal form, accumulation
// of the right- and left-hand transformations, then implicit-shift QR diagonalisation.
#include <math.h>

#include "numerics/arrays.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/detail/linear_algebra/kernels.h"
#include "numerics/linear_algebra.h"

namespace numerics {

bool svd_not_converged = false;

namespace {

using detail::linear_algebra::kernels;

// Absolute bound below which a diagonal or superdiagonal element counts as zero.
constexpr float negligible_bound = 1e-6f;
constexpr int max_iterations = 100;

bool negligible(float x) { return fabsf(x) < negligible_bound; }

// |x| with the sign of y; a zero y counts as positive.
float sign_of(float x, float y) { return y >= 0.0f ? fabsf(x) : -fabsf(x); }

// larger * sqrt(1 + (smaller / larger)^2): the ratio and its square in float, the root in
// double. Squaring only the ratio keeps the squares from overflowing or underflowing.
float larger_times_root(float larger, float smaller) {
  const float ratio = smaller / larger;
  return larger * static_cast<float>(sqrt(1.0 + ratio * ratio));
}

// The rotations of one QR sweep wait here until a batch is full and are then applied to
// whole rows of V and of U at once: each row takes them in order, and the rows of a tile run
// side by side. Rotation t of a batch turns columns first + t and first + t + 1.
struct sweep_rotations {
  static constexpr int capacity = 256;
  int first;
  int count;
  float c_v[capacity], s_v[capacity], c_u[capacity], s_u[capacity];
};

void apply(const kernels& kernel, float** a, int m, int n, float** v, sweep_rotations* r) {
  if (r->count == 0) return;
  kernel.rotate_adjacent_columns(v + 1, n, r->first, r->count, r->c_v, r->s_v);
  if (m > 0) kernel.rotate_adjacent_columns(a + 1, m, r->first, r->count, r->c_u, r->s_u);
  r->first += r->count;
  r->count = 0;
}

// The column sums t[j - l] = sum over rows r = first..last of weight(r) * a[r][j] for
// j = l..n, each from 0 in row order, row by row along the rows.
template <class Weight>
void column_sums(const kernels& kernel, float** a, int first, int last, int l, int n, Weight weight, float* t) {
  const int length = n - l + 1;
  for (int j = 0; j < length; ++j) t[j] = 0.0f;
  for (int r = first; r <= last; ++r) kernel.add_scaled(t, a[r] + l, weight(r), length);
}

// a[r][j] += f[j - l] * weight(r) for rows r = first..last and j = l..n.
template <class Weight>
void add_to_rows(const kernels& kernel, float** a, int first, int last, int l, int n, Weight weight, const float* f) {
  for (int r = first; r <= last; ++r) kernel.add_scaled(a[r] + l, f, weight(r), n - l + 1);
}

// Reduces a to bidiagonal form: diagonal into w, superdiagonal into e (e[1] = 0); the
// Householder vectors stay in a for the accumulation phases.
void reduce_to_bidiagonal(const kernels& kernel, float** a, int m, int n, float w[], float e[]) {
  float g = 0.0f, scale = 0.0f, s = 0.0f;
  for (int i = 1; i <= n; ++i) {
    const int l = i + 1;
    const auto column_i = [a, i](int r) { return a[r][i]; };
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
        // For each column j = l..n: t = sum of a[k][i] a[k][j], then a[k][j] += (t / h) a[k][i].
        // e[l..n] is free until the row step below and holds the factors.
        float* factor = e + l;
        column_sums(kernel, a, i, m, l, n, column_i, factor);
        for (int j = 0; j <= n - l; ++j) factor[j] = factor[j] / h;
        add_to_rows(kernel, a, i, m, l, n, column_i, factor);
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
        // For each row j = l..m: t = sum of a[j][k] a[i][k], then a[j][k] += t e[k].
        if (l <= m) kernel.reflect_rows(a + l, m - l + 1, l, n - l + 1, a[i] + l, e + l);
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
void accumulate_right(const kernels& kernel, float** a, int n, const float e[], float** v) {
  float g = 0.0f;
  int l = n + 1;
  for (int i = n; i >= 1; --i) {
    if (i < n) {
      if (g != 0.0f) {
        // Column i of v is scratch here, and so is row i from column l on: both are cleared
        // below. For each column j = l..n: t = sum of a[i][k] v[k][j] over k, then
        // v[k][j] += t v[k][i]; the sums t go to row i.
        const auto row_i = [a, i](int r) { return a[i][r]; };
        const auto column_i = [v, i](int r) { return v[r][i]; };
        float* t = v[i] + l;
        for (int j = l; j <= n; ++j) v[j][i] = (a[i][j] / a[i][l]) / g;
        if (!overflowed(a, v, i, l, n)) {
          column_sums(kernel, v, l, n, l, n, row_i, t);
        } else {
          // The same update with the division by g moved from the scratch column to t.
          for (int j = l; j <= n; ++j) v[j][i] = a[i][j] / a[i][l];
          column_sums(kernel, v, l, n, l, n, row_i, t);
          for (int j = 0; j <= n - l; ++j) t[j] = t[j] / g;
        }
        add_to_rows(kernel, v, l, n, l, n, column_i, t);
      }
      for (int j = l; j <= n; ++j) v[i][j] = v[j][i] = 0.0f;
    }
    v[i][i] = 1.0f;
    g = e[i];
    l = i;
  }
}

// Turns a into U from the column reflections it holds.
void accumulate_left(const kernels& kernel, float** a, int m, int n, const float w[]) {
  for (int i = m < n ? m : n; i >= 1; --i) {
    const int l = i + 1;
    const float g = w[i];
    const auto column_i = [a, i](int r) { return a[r][i]; };
    for (int j = l; j <= n; ++j) a[i][j] = 0.0f;
    if (g == 0.0f) {
      for (int j = i; j <= m; ++j) a[j][i] = 0.0f;
      a[i][i] += 1.0f;
      continue;
    }
    // For each column j = l..n: t = sum of a[k][i] a[k][j] over k = l..m, f = (t / a[i][i])
    // times 1/g, then a[k][j] += f a[k][i] for k = i..m. The factors f wait in row i, whose
    // elements are 0 until row i's own update, made last.
    float* f = a[i] + l;
    const float inverse = static_cast<float>(1.0 / g);
    if (!isinf(inverse)) {
      column_sums(kernel, a, l, m, l, n, column_i, f);
      for (int j = 0; j <= n - l; ++j) f[j] = (f[j] / a[i][i]) * inverse;
    } else {
      // A subnormal g has no float reciprocal, and f would overflow: the same update with
      // the column divided by g first.
      for (int j = i; j <= m; ++j) a[j][i] /= g;
      column_sums(kernel, a, l, m, l, n, column_i, f);
      for (int j = 0; j <= n - l; ++j) f[j] = f[j] / a[i][i];
    }
    add_to_rows(kernel, a, l, m, l, n, column_i, f);
    for (int j = 0; j <= n - l; ++j) f[j] = 0.0f + f[j] * a[i][i];
    if (!isinf(inverse))
      for (int j = i; j <= m; ++j) a[j][i] *= inverse;
    a[i][i] += 1.0f;
  }
}

// The rotations t = 0..count - 1 of columns nm and first + t of rows 1..m, in order: with
// y = a[r][nm] and z = a[r][first + t], a[r][nm] = y c + z s and a[r][first + t] = z c - y s.
void rotate_against_column(float** a, int m, int nm, int first, int count, const float c[], const float s[]) {
  for (int r = 1; r <= m && count > 0; ++r) {
    float* row = a[r];
    float y = row[nm];
    for (int t = 0; t < count; ++t) {
      const float z = row[first + t];
      row[first + t] = z * c[t] - y * s[t];
      y = y * c[t] + z * s[t];
    }
    row[nm] = y;
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
// columns l..k. The rotations depend on w and e only; they are collected and then applied
// row by row, each row taking them in order.
void cancel_superdiagonal(float** a, int m, float w[], float e[], int l, int k) {
  constexpr int capacity = 256;
  float cs[capacity], ss[capacity];
  const int nm = l - 1;
  int first = l, count = 0;
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
    cs[count] = c;
    ss[count] = s;
    if (++count == capacity) {
      rotate_against_column(a, m, nm, first, count, cs, ss);
      first = i + 1;
      count = 0;
    }
  }
  rotate_against_column(a, m, nm, first, count, cs, ss);
}

// One implicit-shift QR sweep over the block l..k, shifted by the eigenvalue of the bottom
// 2 x 2 minor closer to w[k]^2; z is w[k] on entry.
void qr_sweep(const kernels& kernel, float** a, int m, int n, float w[], float e[], float** v, int l, int k, float z) {
  float x = w[l];
  const int nm = k - 1;
  float y = w[nm];
  float g = e[nm];
  float h = e[k];
  float f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0f * h * y);
  g = hypotenuse(f, 1.0f);
  f = ((x - z) * (x + z) + h * (y / (f + sign_of(g, f)) - h)) / x;
  float c = 1.0f, s = 1.0f;
  sweep_rotations rotations;
  rotations.first = l;
  rotations.count = 0;
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
    // Columns j and i of V.
    rotations.c_v[rotations.count] = c;
    rotations.s_v[rotations.count] = s;
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
    // Columns j and i of U.
    rotations.c_u[rotations.count] = c;
    rotations.s_u[rotations.count] = s;
    if (++rotations.count == sweep_rotations::capacity) apply(kernel, a, m, n, v, &rotations);
  }
  apply(kernel, a, m, n, v, &rotations);
  e[l] = 0.0f;
  e[k] = f;
  w[k] = x;
}

// Drives the superdiagonal to zero from the bottom up, making each converged singular value
// non-negative by negating its column of V.
void diagonalize(const kernels& kernel, float** a, int m, int n, float w[], float e[], float** v) {
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
      qr_sweep(kernel, a, m, n, w, e, v, l, k, z);
    }
  }
}

}  // namespace

float hypotenuse(float a, float b) {
  const float p = fabsf(a);
  const float q = fabsf(b);
  if (p > q) return larger_times_root(p, q);
  return q == 0.0f ? 0.0f : larger_times_root(q, p);
}

void svd_decompose(float** a, int m, int n, float w[], float** v) {
  svd_not_converged = false;
  if (n < 1) return;
  float* e = vector(1, n);
  detail::scope_guard release_e{[&] { release_vector(e, 1, n); }};
  const kernels& kernel = detail::linear_algebra::active_kernels();
  reduce_to_bidiagonal(kernel, a, m, n, w, e);
  accumulate_right(kernel, a, n, e, v);
  accumulate_left(kernel, a, m, n, w);
  diagonalize(kernel, a, m, n, w, e, v);
}

}  // namespace numerics
