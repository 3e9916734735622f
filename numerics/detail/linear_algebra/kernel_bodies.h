// The linear algebra kernels, written once over a lane type V and compiled once per vector
// path (kernels_sse2.cpp, kernels_avx2.cpp, kernels_avx512.cpp). V gives a register of
// V::width floats and explicit loads, stores, mul, add, sub and max, never a fused
// multiply-add, plus an in-register transpose of V::width registers.
//
// Two shapes of work recur. Along a row the elements are independent, and a register holds
// consecutive elements. Down the rows (row dot products, rotation chains along a row) each
// row is one chain of dependent steps; a tile of V::width rows is then transposed so that a
// register holds one column of the tile, one row per lane, and the chains of V::width rows
// advance together, each in its own order.
//
// Every float operation is one of V's, also for the last few elements of a row and the last
// few rows (partial registers): no product and sum is ever written as source arithmetic that a
// compiler allowed to contract (clang-cl under /arch:AVX2) could fuse into a multiply-add.
//
// Everything here has internal linkage: every path file gets its own copy, compiled for its
// own instruction set, and no path can pick up another's.
#ifndef NUMERICS_DETAIL_LINEAR_ALGEBRA_KERNEL_BODIES_H
#define NUMERICS_DETAIL_LINEAR_ALGEBRA_KERNEL_BODIES_H

#include <math.h>

#include "numerics/detail/linear_algebra/kernels.h"

namespace numerics::detail::linear_algebra {
namespace {

// The first `count` (1..V::width) elements at p as a register, the lanes beyond them 0; and
// their store, which leaves the memory beyond them alone.
template <class V>
typename V::reg load_part(const float* p, int count) {
  return count == V::width ? V::load(p) : V::load_first(p, count);
}

template <class V>
void store_part(float* p, typename V::reg v, int count) {
  if (count == V::width)
    V::store(p, v);
  else
    V::store_first(p, v, count);
}

inline int part(int remaining, int width) { return remaining < width ? remaining : width; }

template <class V>
void add_scaled(float* y, const float* x, float alpha, int n) {
  const typename V::reg a = V::broadcast(alpha);
  for (int k = 0; k < n; k += V::width) {
    const int count = part(n - k, V::width);
    store_part<V>(y + k, V::add(load_part<V>(y + k, count), V::mul(load_part<V>(x + k, count), a)), count);
  }
}

template <class V>
void subtract_scaled(float* y, const float* x, float alpha, int n) {
  const typename V::reg a = V::broadcast(alpha);
  for (int k = 0; k < n; k += V::width) {
    const int count = part(n - k, V::width);
    store_part<V>(y + k, V::sub(load_part<V>(y + k, count), V::mul(load_part<V>(x + k, count), a)), count);
  }
}

// Columns q..q + columns - 1 of the first `used` rows from rows[0], one column per register
// (lanes of absent rows and columns hold 0), and back.
template <class V>
void load_columns(float* const* rows, int used, int q, int columns, typename V::reg* t) {
  for (int r = 0; r < V::width; ++r) t[r] = r < used ? load_part<V>(rows[r] + q, columns) : V::zero();
  V::transpose(t);
}

template <class V>
void store_columns(float* const* rows, int used, int q, int columns, typename V::reg* t) {
  V::transpose(t);
  for (int r = 0; r < used; ++r) store_part<V>(rows[r] + q, t[r], columns);
}

// The row dot products of the `used` rows from rows[0] into out[0..used - 1].
template <class V>
void dot_tile(float* const* rows, int used, int first, int length, const float* x, float* out) {
  typename V::reg sum = V::zero();
  for (int k = 0; k < length; k += V::width) {
    const int columns = part(length - k, V::width);
    typename V::reg t[V::width];
    load_columns<V>(rows, used, first + k, columns, t);
    for (int c = 0; c < columns; ++c) sum = V::add(sum, V::mul(t[c], V::broadcast(x[k + c])));
  }
  float lanes[V::width];
  V::store(lanes, sum);
  for (int r = 0; r < used; ++r) out[r] = lanes[r];
}

template <class V>
void row_dots(float* const* rows, int count, int first, int length, const float* x, float* out) {
  for (int r = 0; r < count; r += V::width) dot_tile<V>(rows + r, part(count - r, V::width), first, length, x, out + r);
}

template <class V>
void reflect_rows(float* const* rows, int count, int first, int length, const float* u, const float* e) {
  float t[V::width];
  for (int r = 0; r < count; r += V::width) {
    const int used = part(count - r, V::width);
    dot_tile<V>(rows + r, used, first, length, u, t);
    for (int i = 0; i < used; ++i) add_scaled<V>(rows[r + i] + first, e, t[i], length);
  }
}

// A tile reads the columns one to the right of those it writes: rotation j finishes column
// first + j and carries the new value of column first + j + 1 on to rotation j + 1.
template <class V>
void rotate_adjacent_tile(float* const* rows, int used, int first, int rotations, const float* c, const float* s) {
  float lanes[V::width] = {};
  for (int r = 0; r < used; ++r) lanes[r] = rows[r][first];
  typename V::reg x = V::load(lanes);
  for (int j = 0; j < rotations; j += V::width) {
    const int columns = part(rotations - j, V::width);
    typename V::reg t[V::width];
    load_columns<V>(rows, used, first + j + 1, columns, t);
    for (int k = 0; k < columns; ++k) {
      const typename V::reg ck = V::broadcast(c[j + k]), sk = V::broadcast(s[j + k]), y = t[k];
      t[k] = V::add(V::mul(x, ck), V::mul(y, sk));
      x = V::sub(V::mul(y, ck), V::mul(x, sk));
    }
    store_columns<V>(rows, used, first + j, columns, t);
  }
  V::store(lanes, x);
  for (int r = 0; r < used; ++r) rows[r][first + rotations] = lanes[r];
}

template <class V>
void rotate_adjacent_columns(float* const* rows, int count, int first, int rotations, const float* c, const float* s) {
  if (rotations < 1) return;
  for (int r = 0; r < count; r += V::width)
    rotate_adjacent_tile<V>(rows + r, part(count - r, V::width), first, rotations, c, s);
}

// Jacobi's rotation of (g, h) = (x, y): x - s (y + x tau) and y + s (x - y tau).
template <class V>
void rotate_pair(typename V::reg s, typename V::reg tau, typename V::reg* x, typename V::reg* y) {
  const typename V::reg g = *x, h = *y;
  *x = V::sub(g, V::mul(s, V::add(h, V::mul(g, tau))));
  *y = V::add(h, V::mul(s, V::sub(g, V::mul(h, tau))));
}

template <class V>
void rotate_pairs(float* x, float* y, int n, float s, float tau) {
  const typename V::reg vs = V::broadcast(s), vt = V::broadcast(tau);
  for (int k = 0; k < n; k += V::width) {
    const int count = part(n - k, V::width);
    typename V::reg g = load_part<V>(x + k, count), h = load_part<V>(y + k, count);
    rotate_pair<V>(vs, vt, &g, &h);
    store_part<V>(x + k, g, count);
    store_part<V>(y + k, h, count);
  }
}

inline float* pivot_of(float* const* rows, int r, int pivot, float* pivots) {
  return pivots ? pivots + r : rows[r] + pivot;
}

// The `used` rows from rows[0], one per lane, with their pivots in the lanes of x. Row r takes
// the window's rotations from column begin + r * stagger on (at least from the window's
// first); a column that only some lanes take is blended in for those lanes alone.
template <class V>
void rotate_tile_against_pivot(float* const* rows, int used, int pivot, float* pivots, int begin, int stagger,
                               const pivot_window& w) {
  const int end = w.first + w.length;
  const int from = begin > w.first ? begin : w.first;
  if (from >= end) return;
  float lanes[V::width] = {};
  for (int r = 0; r < used; ++r) lanes[r] = *pivot_of(rows, r, pivot, pivots);
  typename V::reg x = V::load(lanes);
  for (int q = from; q < end; q += V::width) {
    const int columns = part(end - q, V::width);
    const unsigned char* rotated = w.rotated + (q - w.first);
    bool any = false;
    for (int k = 0; k < columns; ++k) any = any || rotated[k];
    if (!any) continue;
    typename V::reg t[V::width];
    load_columns<V>(rows, used, q, columns, t);
    for (int k = 0; k < columns; ++k) {
      if (!rotated[k]) continue;
      const typename V::reg s = V::broadcast(w.s[q - w.first + k]), tau = V::broadcast(w.tau[q - w.first + k]);
      const typename V::reg g = x, h = t[k];
      typename V::reg new_x = g, new_y = h;
      rotate_pair<V>(s, tau, &new_x, &new_y);
      // Lanes 0..taking - 1 have reached their first column.
      const int taking = stagger == 0 ? V::width : q + k - begin + 1;
      if (taking >= V::width) {
        x = new_x;
        t[k] = new_y;
      } else {
        const typename V::mask m = V::first_lanes(taking);
        x = V::select(m, new_x, g);
        t[k] = V::select(m, new_y, h);
      }
    }
    store_columns<V>(rows, used, q, columns, t);
  }
  V::store(lanes, x);
  for (int r = 0; r < used; ++r) *pivot_of(rows, r, pivot, pivots) = lanes[r];
}

template <class V>
void rotate_against_pivot(float* const* rows, int count, int pivot, float* pivots, int begin, int stagger,
                          const pivot_window& w) {
  for (int r = 0; r < count; r += V::width)
    rotate_tile_against_pivot<V>(rows + r, part(count - r, V::width), pivot, pivots ? pivots + r : nullptr,
                                 begin + r * stagger, stagger, w);
}

template <class V>
float largest_candidate(const float* row, const int* counts, int n) {
  // max(v, m) returns m when v is NaN.
  typename V::reg m = V::zero();
  int k = 0;
  for (; k + V::width <= n; k += V::width) m = V::max(V::candidate_magnitude(row + k, counts + k), m);
  float lanes[V::width];
  V::store(lanes, m);
  float largest = 0.0f;
  for (int i = 0; i < V::width; ++i)
    if (lanes[i] > largest) largest = lanes[i];
  for (; k < n; ++k)
    if (counts[k] == 0 && fabsf(row[k]) > largest) largest = fabsf(row[k]);
  return largest;
}

template <class V>
constexpr kernels kernels_of() {
  return {&add_scaled<V>,           &subtract_scaled<V>,         &row_dots<V>,
          &reflect_rows<V>,         &rotate_adjacent_columns<V>, &rotate_pairs<V>,
          &rotate_against_pivot<V>, &largest_candidate<V>};
}

}  // namespace
}  // namespace numerics::detail::linear_algebra

#endif
