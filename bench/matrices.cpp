#include "matrices.h"

#include <map>

#include "numerics/arrays.h"

namespace {

std::vector<float> mirrored(const std::vector<float>& values, int n) {
  std::vector<float> m(values);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < i; ++j) m[std::size_t(i) * n + j] = m[std::size_t(j) * n + i];
  return m;
}

std::vector<float> with_heavy_diagonal(const std::vector<float>& values, int n) {
  std::vector<float> m(values);
  for (int i = 0; i < n; ++i) m[std::size_t(i) * n + i] += static_cast<float>(n);
  return m;
}

// One cache per kind: built on first use, kept for the run.
const std::vector<float>& cached(std::map<int, std::vector<float>>& cache, int n,
                                 std::vector<float> (*make)(const std::vector<float>&, int)) {
  std::vector<float>& m = cache[n];
  if (m.empty()) {
    const std::vector<float>& values = bench::random_values(std::size_t(n) * n, 5);
    m = make ? make(values, n) : values;
  }
  return m;
}

}  // namespace

std::vector<int> bench::matrix_sizes() { return {32, 64, 128, 256, 512}; }

std::string bench::square_label(int n) { return std::to_string(n) + "x" + std::to_string(n); }

const std::vector<float>& bench::general_matrix(int n) {
  static std::map<int, std::vector<float>> cache;
  return cached(cache, n, nullptr);
}

const std::vector<float>& bench::symmetric_matrix(int n) {
  static std::map<int, std::vector<float>> cache;
  return cached(cache, n, mirrored);
}

const std::vector<float>& bench::dominant_matrix(int n) {
  static std::map<int, std::vector<float>> cache;
  return cached(cache, n, with_heavy_diagonal);
}

std::vector<float> bench::transposed(const std::vector<float>& row_major, int n) {
  std::vector<float> m(row_major.size());
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) m[std::size_t(j) * n + i] = row_major[std::size_t(i) * n + j];
  return m;
}

bench::OffsetMatrix::OffsetMatrix(int rows, int columns)
    : row_count(rows), column_count(columns), rows(numerics::matrix(1, rows, 1, columns)) {}

bench::OffsetMatrix::~OffsetMatrix() { numerics::release_matrix(rows, 1, row_count, 1, column_count); }

bench::Refill bench::OffsetMatrix::refill(const std::vector<float>& row_major) const {
  return {&rows[1][1], row_major.data(), std::size_t(row_count) * column_count * sizeof(float)};
}

void bench::OffsetMatrix::fill(const std::vector<float>& row_major) const {
  const Refill r = refill(row_major);
  std::memcpy(r.work, r.input, r.bytes);
}
