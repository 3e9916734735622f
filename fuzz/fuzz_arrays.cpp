// The offset allocators over arbitrary index ranges and shapes. Each request either fails with
// the message its header names, exactly when the documented rules say so (inverted ranges,
// counts beyond 32 bits, blocks the heap refuses), or yields a structure whose every sampled
// index addresses the documented element, inside its block.
#include <limits.h>
#include <stdint.h>

#include <initializer_list>

#include "draw.h"
#include "numerics/arrays.h"

using namespace numerics;

namespace {

struct Range {
  int low;
  int high;
  int64_t count() const { return static_cast<int64_t>(high) - low + 1; }
};

int clamp_to_int(int64_t x) { return static_cast<int>(x > INT_MAX ? INT_MAX : x < INT_MIN ? INT_MIN : x); }

int64_t draw_index(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return in.ConsumeIntegral<int>();
    case 1:
      return in.PickValueInArray<int>({INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX - 1, INT_MAX});
    default:
      return in.ConsumeIntegralInRange(-3, 3);
  }
}

// Mostly short ranges (empty and inverted by one included), sometimes any two bounds.
Range draw_range(FuzzedDataProvider& in) {
  const int64_t low = draw_index(in);
  const int64_t high = in.ConsumeIntegralInRange(0, 3) == 0 ? draw_index(in) : low + in.ConsumeIntegralInRange(-2, 40);
  return {static_cast<int>(low), clamp_to_int(high)};
}

// A heap request as the headers describe it: `count` elements of `width` bytes, or a count of
// -1 for a shape that cannot be sized.
struct Request {
  int64_t count;
  size_t width;
  const char* message;
};

int64_t product(int64_t a, int64_t b) {
  if (a < 0 || b < 0 || a > INT32_MAX || b > INT32_MAX || a * b > INT32_MAX) return -1;
  return a * b;
}
int64_t at_least_one(int64_t count) { return count == 0 ? 1 : count; }

// The requests are made in order; the first that cannot be sized or that the heap refuses
// ends the call with its message.
const char* predicted(std::initializer_list<Request> requests) {
  for (const Request& r : requests)
    if (r.count < 0 || r.count > INT32_MAX || static_cast<uint64_t>(r.count) * r.width > fuzz::heap_limit_bytes)
      return r.message;
  return nullptr;
}

// Up to 16 indices of a range: all of a short one, the ends of a long one.
template <typename Visit>
void sample(Range r, Visit visit) {
  const int64_t n = r.count();
  for (int64_t k = 0; k < n; ++k) {
    if (n > 16 && k == 8) k = n - 8;
    visit(static_cast<int>(r.low + k), k);
  }
}

uintptr_t address_of(const void* p) { return reinterpret_cast<uintptr_t>(p); }

template <typename T>
void check_vector(T* v, Range r) {
  sample(r, [&](int i, int64_t) { v[i] = T(1); });
}

template <typename T>
void check_matrix(T** m, Range rows, Range cols) {
  if (rows.count() == 0 || cols.count() == 0) return;
  const uintptr_t first = address_of(&m[rows.low][cols.low]);
  sample(rows, [&](int i, int64_t r) {
    sample(cols, [&](int j, int64_t c) {
      fuzz::expect(address_of(&m[i][j]) == first + static_cast<uintptr_t>(r * cols.count() + c) * sizeof(T),
                   "matrix element where the row-major layout puts it");
      m[i][j] = T(1);
    });
  });
}

template <typename T>
void check_tensor(T*** t, Range rows, Range cols, Range depth) {
  if (rows.count() == 0 || cols.count() == 0 || depth.count() == 0) return;
  const uintptr_t first = address_of(&t[rows.low][cols.low][depth.low]);
  sample(rows, [&](int i, int64_t r) {
    sample(cols, [&](int j, int64_t c) {
      sample(depth, [&](int k, int64_t d) {
        const int64_t position = (r * cols.count() + c) * depth.count() + d;
        fuzz::expect(address_of(&t[i][j][k]) == first + static_cast<uintptr_t>(position) * sizeof(T),
                     "tensor element where the layout puts it");
        t[i][j][k] = T(1);
      });
    });
  });
}

template <typename T>
void fuzz_vector(FuzzedDataProvider& in, T* (*allocate)(int, int), void (*release)(T*, int, int), const char* message) {
  const Range r = draw_range(in);
  T* v = nullptr;
  const char* outcome = fuzz::outcome_of([&] { v = allocate(r.low, r.high); });
  fuzz::expect_outcome(outcome, predicted({{r.count(), sizeof(T), message}}));
  if (outcome != nullptr) return;
  check_vector(v, r);
  release(v, r.low, r.high);
}

template <typename T>
void fuzz_matrix(FuzzedDataProvider& in, T** (*allocate)(int, int, int, int),
                 void (*release)(T**, int, int, int, int)) {
  const Range rows = draw_range(in);
  const Range cols = draw_range(in);
  T** m = nullptr;
  const char* outcome = fuzz::outcome_of([&] { m = allocate(rows.low, rows.high, cols.low, cols.high); });
  const int64_t nrow = rows.count();
  fuzz::expect_outcome(outcome,
                       predicted({{nrow < 0 ? -1 : at_least_one(nrow), sizeof(T*), "allocation failure 1 in matrix()"},
                                  {product(nrow, cols.count()), sizeof(T), "allocation failure 2 in matrix()"}}));
  if (outcome != nullptr) return;
  check_matrix(m, rows, cols);
  release(m, rows.low, rows.high, cols.low, cols.high);
}

struct TensorMessages {
  const char* rows;
  const char* columns;
  const char* elements;
};

template <typename T>
void fuzz_tensor(FuzzedDataProvider& in, T*** (*allocate)(int, int, int, int, int, int),
                 void (*release)(T***, int, int, int, int, int, int), const TensorMessages& messages) {
  const Range rows = draw_range(in);
  const Range cols = draw_range(in);
  const Range depth = draw_range(in);
  T*** t = nullptr;
  const char* outcome =
      fuzz::outcome_of([&] { t = allocate(rows.low, rows.high, cols.low, cols.high, depth.low, depth.high); });
  const int64_t nrow = rows.count();
  const int64_t ncol = cols.count();
  const int64_t ndep = depth.count();
  // The tables hold at least the first row's column table and its first entry.
  const int64_t table_rows = nrow < 0 ? -1 : at_least_one(nrow);
  const int64_t table_cols = ncol < 0 ? -1 : at_least_one(ncol);
  const int64_t elements = product(ncol, ndep) < 0 ? -1 : product(product(nrow, ncol), ndep);
  fuzz::expect_outcome(outcome, predicted({{table_rows, sizeof(T**), messages.rows},
                                           {product(table_rows, table_cols), sizeof(T*), messages.columns},
                                           {elements, sizeof(T), messages.elements}}));
  if (outcome != nullptr) return;
  check_tensor(t, rows, cols, depth);
  release(t, rows.low, rows.high, cols.low, cols.high, depth.low, depth.high);
}

// A view of part of a matrix: rows inside the source (an inverted row range reports), and any
// new lower bounds and column offset.
void fuzz_submatrix(FuzzedDataProvider& in) {
  const int rows = in.ConsumeIntegralInRange(0, 12);
  const int cols = in.ConsumeIntegralInRange(1, 12);
  float** a = matrix(1, rows, 1, cols);
  const int old_low = in.ConsumeIntegralInRange(1, rows + 1);
  const int old_high = in.ConsumeIntegralInRange(old_low - 3, rows);
  const int old_col_low = in.ConsumeIntegralInRange(1, cols);
  const int new_row_low = static_cast<int>(draw_index(in));
  const int new_col_low = static_cast<int>(draw_index(in));
  float** view = nullptr;
  const char* outcome =
      fuzz::outcome_of([&] { view = submatrix(a, old_low, old_high, old_col_low, cols, new_row_low, new_col_low); });
  const int64_t nrow = static_cast<int64_t>(old_high) - old_low + 1;
  fuzz::expect_outcome(outcome, nrow < 0 ? "allocation failure in submatrix()" : nullptr);
  if (outcome == nullptr) {
    // The view's row and column indices, as far as they fit an int.
    const Range view_cols = {new_col_low, clamp_to_int(static_cast<int64_t>(new_col_low) + cols - old_col_low)};
    for (int64_t r = 0; r < nrow && new_row_low + r <= INT_MAX; ++r) {
      sample(view_cols, [&](int j, int64_t c) {
        fuzz::expect(&view[new_row_low + r][j] == &a[old_low + r][old_col_low + c],
                     "view element is the source element");
      });
    }
    release_submatrix(view, new_row_low, clamp_to_int(new_row_low + nrow - 1), new_col_low, view_cols.high);
  }
  release_matrix(a, 1, rows, 1, cols);
}

// A matrix over a flat array: the shape may be anything, only addresses are compared beyond
// the few elements that exist.
void fuzz_convert_matrix(FuzzedDataProvider& in) {
  const Range rows = draw_range(in);
  const Range cols = draw_range(in);
  float* flat = vector(1, 1);
  float** m = nullptr;
  const char* outcome =
      fuzz::outcome_of([&] { m = convert_matrix(&flat[1], rows.low, rows.high, cols.low, cols.high); });
  const int64_t nrow = rows.count();
  const int64_t ncol = cols.count();
  const char* message = "allocation failure in convert_matrix()";
  const bool sized = nrow >= 0 && ncol >= 0 && product(at_least_one(nrow), at_least_one(ncol)) >= 0;
  fuzz::expect_outcome(outcome, sized ? predicted({{at_least_one(nrow), sizeof(float*), message}}) : message);
  if (outcome == nullptr) {
    if (nrow > 0 && ncol > 0) {
      sample(rows, [&](int i, int64_t r) {
        fuzz::expect(address_of(m[i]) + static_cast<uintptr_t>(cols.low) * sizeof(float) ==
                         address_of(&flat[1]) + static_cast<uintptr_t>(r * ncol) * sizeof(float),
                     "converted row where the row-major layout puts it");
      });
      m[rows.low][cols.low] = 2.0f;
      fuzz::expect(flat[1] == 2.0f, "first element of a converted matrix is the array's first");
    }
    release_convert_matrix(m, rows.low, rows.high, cols.low, cols.high);
  }
  release_vector(flat, 1, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  for (int requests = 0; requests < 16 && in.remaining_bytes() > 0; ++requests) {
    switch (in.ConsumeIntegralInRange(0, 11)) {
      case 0:
        fuzz_vector<float>(in, vector, release_vector, "allocation failure in vector()");
        break;
      case 1:
        fuzz_vector<int>(in, ivector, release_ivector, "allocation failure in ivector()");
        break;
      case 2:
        fuzz_vector<unsigned char>(in, cvector, release_cvector, "allocation failure in cvector()");
        break;
      case 3:
        fuzz_vector<int32_t>(in, lvector, release_lvector, "allocation failure in lvector()");
        break;
      case 4:
        fuzz_vector<double>(in, dvector, release_dvector, "allocation failure in dvector()");
        break;
      case 5:
        fuzz_matrix<float>(in, matrix, release_matrix);
        break;
      case 6:
        fuzz_matrix<double>(in, double_matrix, release_double_matrix);
        break;
      case 7:
        fuzz_matrix<int>(in, int_matrix, release_int_matrix);
        break;
      case 8:
        fuzz_tensor<float>(in, f3tensor, release_f3tensor,
                           {"allocation failure 1 in f3tensor()", "allocation failure 2 in f3tensor()",
                            "allocation failure 3 in f3tensor()"});
        break;
      case 9:
        fuzz_tensor<unsigned char>(in, c3tensor, release_c3tensor,
                                   {"allocation failure 1 in c3tensor()", "allocation failure 2 in c3tensor()",
                                    "allocation failure 3 in c3tensor()"});
        break;
      case 10:
        fuzz_submatrix(in);
        break;
      default:
        fuzz_convert_matrix(in);
        break;
    }
  }
  return 0;
}
