// Singular value decomposition: Householder reduction to upper bidiagonal form, accumulation
// of the right- and left-hand transformations, then implicit-shift QR diagonalisation.
#include <math.h>

#include "numerics/arrays.h"
#include "numerics/detail/scope_guard.h"
#include "numerics/linear_algebra.h"

namespace numerics {

bool svd_not_converged = false;

namespace {

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
  reduce_to_bidiagonal(a, m, n, w, e);
  accumulate_right(a, n, e, v);
  accumulate_left(a, m, n, w);
  diagonalize(a, m, n, w, e, v);
}

}  // namespace numerics
