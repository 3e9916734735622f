#include "linear_algebra_cases.h"

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "numerics/arrays.h"
#include "numerics/detail/cpu_dispatch.h"
#include "numerics/fitting.h"
#include "numerics/linear_algebra.h"
#include "reference_linear_algebra.h"

namespace bit_identity {
namespace {

using numerics::detail::vector_path;

const char* name_of(vector_path path) {
  switch (path) {
    case vector_path::sse2:
      return "sse2";
    case vector_path::avx2:
      return "avx2";
    case vector_path::avx512:
      return "avx512";
  }
  return "?";
}

// xorshift32: the same numbers on every platform.
struct generator {
  explicit generator(unsigned seed) : state(seed * 2654435761u + 1u) {}
  unsigned next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  // Uniform in [-1, 1) on a grid of 2^-23.
  float uniform() { return static_cast<float>(static_cast<int>(next() >> 8) - (1 << 23)) * 0x1p-23f; }
  uint32_t state;
};

// A float matrix over [low..low + rows - 1] x [low..low + cols - 1].
struct matrix {
  matrix(int rows, int cols, int low = 1)
      : rows(rows), cols(cols), low(low), m(numerics::matrix(low, low + rows - 1, low, low + cols - 1)) {}
  matrix(const matrix&) = delete;
  ~matrix() { numerics::release_matrix(m, low, low + rows - 1, low, low + cols - 1); }
  float* begin() const { return rows > 0 ? &m[low][low] : nullptr; }
  int size() const { return rows * cols; }
  void copy_from(const matrix& other) const {
    if (size() > 0) memcpy(begin(), other.begin(), sizeof(float) * static_cast<size_t>(size()));
  }
  int rows, cols, low;
  float** m;
};

// A float vector over [1..n].
struct vector {
  explicit vector(int n) : n(n), v(numerics::vector(1, n)) {}
  vector(const vector&) = delete;
  ~vector() { numerics::release_vector(v, 1, n); }
  int n;
  float* v;
};

float entry(kind k, generator& g, int i, int j) {
  switch (k) {
    case kind::random:
    case kind::rank_deficient:
    case kind::non_finite:
      return g.uniform();
    case kind::zero:
      return 0.0f;
    case kind::diagonal:
      return i == j ? g.uniform() : 0.0f;
    case kind::tiny:
      return g.uniform() * 1e-20f;
    case kind::subnormal:
      return g.uniform() * 1e-40f;
    case kind::huge:
      return g.uniform() * 1e30f;
    case kind::small_integers:
      return static_cast<float>(static_cast<int>(g.next() % 5) - 2);
  }
  return 0.0f;
}

// Fills rows x cols elements from a[low][low] on.
void fill(float** a, int low, int rows, int cols, kind k, unsigned seed) {
  generator g(seed);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) a[low + i][low + j] = entry(k, g, i, j);
  if (k == kind::rank_deficient) {
    // Rows beyond the first third repeat those rows, scaled by powers of two (exactly).
    const int smaller = rows < cols ? rows : cols;
    const int rank = smaller / 3 > 0 ? smaller / 3 : 1;
    for (int i = rank; i < rows; ++i)
      for (int j = 0; j < cols; ++j)
        a[low + i][low + j] = a[low + i % rank][low + j] * static_cast<float>(1 << (i % 3));
  }
  if (k == kind::non_finite && rows > 0 && cols > 0) {
    a[low + (seed % rows)][low + (seed / 3 % cols)] = NAN;
    a[low + (rows - 1) / 2][low + cols - 1] = INFINITY;
    a[low + rows - 1][low] = -INFINITY;
  }
}

bool same_bits(float a, float b) {
  if (isnan(a) && isnan(b)) return true;
  uint32_t x, y;
  memcpy(&x, &a, sizeof x);
  memcpy(&y, &b, sizeof y);
  return x == y;
}

// Describes one run: routine and shape, kind, and the path being compared.
struct context {
  const char* routine;
  int dims[3];
  int dim_count;
  kind k;
  vector_path path;
};

void describe(outcome* o, const context& c, const char* what, int index, float expected, float actual) {
  char shape[48] = {};
  if (c.dim_count == 1) snprintf(shape, sizeof shape, "%d", c.dims[0]);
  if (c.dim_count == 2) snprintf(shape, sizeof shape, "%d x %d", c.dims[0], c.dims[1]);
  if (c.dim_count == 3) snprintf(shape, sizeof shape, "%d x %d x %d", c.dims[0], c.dims[1], c.dims[2]);
  o->same = false;
  snprintf(o->message, sizeof o->message, "%s %s, %s entries, %s path: %s[%d] is %.9g, reference %.9g", c.routine,
           shape, name_of(c.k), name_of(c.path), what, index, static_cast<double>(actual),
           static_cast<double>(expected));
}

void compare(outcome* o, const context& c, const char* what, const float* expected, const float* actual, int count) {
  for (int i = 0; i < count && o->same; ++i)
    if (!same_bits(expected[i], actual[i])) describe(o, c, what, i, expected[i], actual[i]);
}

void compare(outcome* o, const context& c, const char* what, const matrix& expected, const matrix& actual) {
  compare(o, c, what, expected.begin(), actual.begin(), expected.size());
}

void compare(outcome* o, const context& c, const char* what, const vector& expected, const vector& actual) {
  compare(o, c, what, expected.v + 1, actual.v + 1, expected.n);
}

void compare(outcome* o, const context& c, const char* what, long long expected, long long actual) {
  if (o->same && expected != actual) describe(o, c, what, 0, static_cast<float>(expected), static_cast<float>(actual));
}

// Runs `run(path)` once on every supported path, forcing each in turn, until a comparison
// fails; the machine's own path is in force again afterwards.
template <class Run>
outcome on_every_path(context c, Run run) {
  outcome o;
  const vector_path widest = numerics::detail::supported_vector_path();
  for (int p = 0; p <= static_cast<int>(widest) && o.same; ++p) {
    c.path = static_cast<vector_path>(p);
    numerics::detail::force_vector_path(c.path);
    run(&o, c);
  }
  numerics::detail::force_vector_path(widest);
  return o;
}

context context_of(const char* routine, kind k, int a, int b = -1, int c = -1) {
  context result = {routine, {a, b, c}, c >= 0 ? 3 : b >= 0 ? 2 : 1, k, vector_path::sse2};
  return result;
}

}  // namespace

const char* name_of(kind k) {
  switch (k) {
    case kind::random:
      return "random";
    case kind::rank_deficient:
      return "rank-deficient";
    case kind::zero:
      return "zero";
    case kind::diagonal:
      return "diagonal";
    case kind::tiny:
      return "tiny";
    case kind::subnormal:
      return "subnormal";
    case kind::huge:
      return "huge";
    case kind::small_integers:
      return "small-integer";
    case kind::non_finite:
      return "non-finite";
  }
  return "?";
}

outcome svd(kind k, int m, int n, unsigned seed) {
  matrix input(m, n), u(m, n), v(n, n);
  vector w(n);
  fill(input.m, 1, m, n, k, seed);
  u.copy_from(input);
  reference::svd_decompose(u.m, m, n, w.v, v.m);
  const bool flag = reference::svd_not_converged;
  return on_every_path(context_of("svd_decompose", k, m, n), [&](outcome* o, const context& c) {
    matrix u2(m, n), v2(n, n);
    vector w2(n);
    u2.copy_from(input);
    numerics::svd_decompose(u2.m, m, n, w2.v, v2.m);
    compare(o, c, "w", w, w2);
    compare(o, c, "u", u, u2);
    compare(o, c, "v", v, v2);
    compare(o, c, "svd_not_converged", flag, numerics::svd_not_converged);
  });
}

outcome back_substitute(kind k, int m, int n, unsigned seed) {
  matrix u(m, n), v(n, n), bm(1, m);
  vector w(n), b(m), x(n);
  fill(u.m, 1, m, n, k, seed);
  fill(v.m, 1, n, n, k, seed + 1);
  fill(bm.m, 1, 1, m, k, seed + 2);
  generator g(seed + 3);
  for (int j = 1; j <= n; ++j) w.v[j] = j % 3 == 0 ? 0.0f : entry(k, g, j, j);
  for (int i = 1; i <= m; ++i) b.v[i] = bm.m[1][i];
  reference::svd_back_substitute(u.m, w.v, v.m, m, n, b.v, x.v);
  return on_every_path(context_of("svd_back_substitute", k, m, n), [&](outcome* o, const context& c) {
    vector x2(n);
    numerics::svd_back_substitute(u.m, w.v, v.m, m, n, b.v, x2.v);
    compare(o, c, "x", x, x2);
  });
}

outcome least_squares_fit(kind k, int count, int basis_count, unsigned seed) {
  const int rows = count > 0 ? count : 0;
  vector x(rows), y(rows), sdev(rows), a(basis_count), w(basis_count);
  matrix u(rows, basis_count), v(basis_count, basis_count), data(1, rows);
  generator g(seed);
  fill(data.m, 1, 1, rows, k, seed);
  for (int i = 1; i <= rows; ++i) {
    x.v[i] = static_cast<float>(i) / static_cast<float>(rows) + 0.25f * g.uniform();
    y.v[i] = data.m[1][i];
    sdev.v[i] = 1.0f + 0.5f * g.uniform();
  }
  float chi_square = 0.0f;
  reference::svd_least_squares_fit(x.v, y.v, sdev.v, count, a.v, basis_count, u.m, v.m, w.v, &chi_square,
                                   numerics::polynomial_basis);
  const bool flag = reference::svd_not_converged;
  return on_every_path(context_of("svd_least_squares_fit", k, count, basis_count), [&](outcome* o, const context& c) {
    vector a2(basis_count), w2(basis_count);
    matrix u2(rows, basis_count), v2(basis_count, basis_count);
    float chi_square2 = 0.0f;
    numerics::svd_least_squares_fit(x.v, y.v, sdev.v, count, a2.v, basis_count, u2.m, v2.m, w2.v, &chi_square2,
                                    numerics::polynomial_basis);
    compare(o, c, "a", a, a2);
    compare(o, c, "w", w, w2);
    compare(o, c, "u", u, u2);
    compare(o, c, "v", v, v2);
    compare(o, c, "chi_square", &chi_square, &chi_square2, 1);
    compare(o, c, "svd_not_converged", flag, numerics::svd_not_converged);
  });
}

outcome pseudo_inverse(kind k, int n, unsigned seed) {
  matrix input(n, n, 0), p(n, n, 0);
  fill(input.m, 0, n, n, k, seed);
  const bool converged = reference::svd_pseudo_inverse(input.m, p.m, n);
  return on_every_path(context_of("svd_pseudo_inverse", k, n), [&](outcome* o, const context& c) {
    matrix p2(n, n, 0), in_place(n, n, 0);
    compare(o, c, "result", converged, numerics::svd_pseudo_inverse(input.m, p2.m, n));
    compare(o, c, "p", p, p2);
    in_place.copy_from(input);
    compare(o, c, "result in place", converged, numerics::svd_pseudo_inverse(in_place.m, in_place.m, n));
    compare(o, c, "p in place", p, in_place);
  });
}

outcome matrix_multiply(kind k, int rows, int inner, int cols, unsigned seed) {
  matrix a(rows, inner, 0), b(inner, cols, 0), g(rows, cols, 0);
  fill(a.m, 0, rows, inner, k, seed);
  fill(b.m, 0, inner, cols, k, seed + 1);
  reference::matrix_multiply(a.m, b.m, g.m, rows, inner, cols);
  return on_every_path(context_of("matrix_multiply", k, rows, inner, cols), [&](outcome* o, const context& c) {
    matrix g2(rows, cols, 0);
    numerics::matrix_multiply(a.m, b.m, g2.m, rows, inner, cols);
    compare(o, c, "g", g, g2);
  });
}

void fill_symmetric(float** a, int n, kind k, unsigned seed) {
  fill(a, 1, n, n, k, seed);
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) {
      if (k == kind::rank_deficient) a[i][j] = 1.0f;
      if (k == kind::small_integers) a[i][j] = i == j ? 2.0f : 1.0f;
      // Never read: must come back unchanged.
      if (j < i) a[i][j] = 1000.0f + static_cast<float>(i * n + j);
    }
  }
}

outcome jacobi(kind k, int n, unsigned seed) {
  matrix input(n, n), a(n, n), v(n, n);
  vector d(n);
  fill_symmetric(input.m, n, k, seed);
  a.copy_from(input);
  int rotations = 0;
  reference::jacobi(a.m, n, d.v, v.m, &rotations);
  return on_every_path(context_of("jacobi", k, n), [&](outcome* o, const context& c) {
    matrix a2(n, n), v2(n, n);
    vector d2(n);
    a2.copy_from(input);
    int rotations2 = -1;
    numerics::jacobi(a2.m, n, d2.v, v2.m, &rotations2);
    compare(o, c, "rotations", rotations, rotations2);
    compare(o, c, "d", d, d2);
    compare(o, c, "v", v, v2);
    compare(o, c, "a", a, a2);
  });
}

void fill_for_gaussj(float** a, int n, kind k, unsigned seed) {
  fill(a, 1, n, n, k, seed);
  if (k == kind::small_integers)
    for (int i = 1; i <= n; ++i) a[i][i] = static_cast<float>(3 * n);
}

outcome gaussj(kind k, int n, int m, unsigned seed) {
  matrix input(n, n), rhs(n, m), a(n, n), b(n, m);
  fill_for_gaussj(input.m, n, k, seed);
  fill(rhs.m, 1, n, m, kind::random, seed + 1);
  a.copy_from(input);
  b.copy_from(rhs);
  reference::gaussj(a.m, n, b.m, m);
  return on_every_path(context_of("gaussj", k, n, m), [&](outcome* o, const context& c) {
    matrix a2(n, n), b2(n, m);
    a2.copy_from(input);
    b2.copy_from(rhs);
    numerics::gaussj(a2.m, n, b2.m, m);
    compare(o, c, "a", a, a2);
    compare(o, c, "b", b, b2);
  });
}

}  // namespace bit_identity
