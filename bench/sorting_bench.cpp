// Sorting and selection against the C++ library on the same random floats.
#include <algorithm>
#include <cstdio>
#include <utility>

#include "harness.h"
#include "numerics/sorting.h"

namespace {

using bench::add;
using bench::random_values;
using bench::run;
using Pair = std::pair<float, float>;

constexpr unsigned key_seed = 1;
constexpr unsigned companion_seed = 2;

// Keys and companions side by side, as a user of std::sort would hold them.
std::vector<Pair> pairs_of(std::size_t n) {
  const std::vector<float>& keys = random_values(n, key_seed);
  const std::vector<float>& companions = random_values(n, companion_seed);
  std::vector<Pair> pairs(n);
  for (std::size_t i = 0; i < n; ++i) pairs[i] = {keys[i], companions[i]};
  return pairs;
}

bool by_key(const Pair& a, const Pair& b) { return a.first < b.first; }

// Benchmarks a routine over one float array: the toolkit's 1-based one, the peer's 0-based one.
template <class Ours>
void add_ours(const char* routine, std::size_t n, const std::string& size, Ours ours) {
  add(routine, "ours", size, n * sizeof(float), [n, ours](benchmark::State& state) {
    const std::vector<float>& input = random_values(n, key_seed);
    std::vector<float> work(n + 1);
    run(state, {{work.data() + 1, input.data(), n * sizeof(float)}}, [&] { ours(n, work.data()); });
  });
}

template <class Peer>
void add_peer(const char* routine, const char* peer_name, std::size_t n, const std::string& size, Peer peer) {
  add(routine, peer_name, size, n * sizeof(float), [n, peer](benchmark::State& state) {
    const std::vector<float>& input = random_values(n, key_seed);
    std::vector<float> work(n);
    run(state, {{work.data(), input.data(), n * sizeof(float)}}, [&] { peer(work.data(), work.data() + n); });
  });
}

std::vector<std::pair<std::size_t, std::string>> sizes() {
  std::vector<std::pair<std::size_t, std::string>> all;
  std::size_t n = 1000;
  for (int power = 3; power <= 7; ++power, n *= 10) all.emplace_back(n, "10^" + std::to_string(power));
  return all;
}

void std_sort(float* first, float* last) { std::sort(first, last); }

}  // namespace

void bench::add_sorting() {
  for (const auto& [n, size] : sizes()) {
    add_ours("sort", n, size, [](unsigned count, float* values) { numerics::sort(count, values); });
    add_peer("sort", "std::sort", n, size, std_sort);
  }
  for (const auto& [n, size] : sizes()) {
    const std::size_t bytes = 2 * n * sizeof(float);
    add("sort2", "ours", size, bytes, [n = n](benchmark::State& state) {
      const std::vector<float>& keys = random_values(n, key_seed);
      const std::vector<float>& companions = random_values(n, companion_seed);
      std::vector<float> work_keys(n + 1), work_companions(n + 1);
      run(state,
          {{work_keys.data() + 1, keys.data(), n * sizeof(float)},
           {work_companions.data() + 1, companions.data(), n * sizeof(float)}},
          [&] { numerics::sort2(n, work_keys.data(), work_companions.data()); });
    });
    add("sort2", "std::sort of (key, companion) pairs", size, bytes, [n = n](benchmark::State& state) {
      const std::vector<Pair> input = pairs_of(n);
      std::vector<Pair> work(n);
      run(state, {{work.data(), input.data(), n * sizeof(Pair)}}, [&] { std::sort(work.begin(), work.end(), by_key); });
    });
  }
  for (const auto& [n, size] : sizes()) {
    add_ours("heap_sort", n, size, [](unsigned count, float* values) { numerics::heap_sort(count, values); });
    add_peer("heap_sort", "std::sort", n, size, std_sort);
    add_peer("heap_sort", "std::make_heap + std::sort_heap", n, size, [](float* first, float* last) {
      std::make_heap(first, last);
      std::sort_heap(first, last);
    });
  }
  for (const auto& [n, size] : sizes()) {
    // The median: k-th smallest of n with k = (n + 1) / 2, 0-based position k - 1 for the peer.
    add_ours("kth_smallest", n, size, [](unsigned count, float* values) {
      benchmark::DoNotOptimize(numerics::kth_smallest((count + 1) / 2, count, values));
    });
    add_peer("kth_smallest", "std::nth_element", n, size,
             [](float* first, float* last) { std::nth_element(first, first + (last - first + 1) / 2 - 1, last); });
  }
}

bool bench::check_sorting() {
  const std::size_t n = 1000;
  const std::vector<float>& input = random_values(n, key_seed);
  std::vector<float> expected(input);
  std::sort(expected.begin(), expected.end());
  bool ok = true;
  const auto expect = [&ok](bool condition, const char* what) {
    if (!condition) std::fprintf(stderr, "check failed: %s\n", what);
    ok = ok && condition;
  };

  std::vector<float> ours(n + 1);
  std::copy(input.begin(), input.end(), ours.begin() + 1);
  numerics::sort(n, ours.data());
  expect(std::equal(expected.begin(), expected.end(), ours.begin() + 1), "sort differs from std::sort");

  std::copy(input.begin(), input.end(), ours.begin() + 1);
  numerics::heap_sort(n, ours.data());
  expect(std::equal(expected.begin(), expected.end(), ours.begin() + 1), "heap_sort differs from std::sort");

  std::copy(input.begin(), input.end(), ours.begin() + 1);
  const float median = numerics::kth_smallest((n + 1) / 2, n, ours.data());
  expect(median == expected[(n + 1) / 2 - 1], "kth_smallest differs from std::nth_element");

  std::vector<Pair> pairs = pairs_of(n);
  std::vector<float> companions(n + 1);
  for (std::size_t i = 0; i < n; ++i) {
    ours[i + 1] = pairs[i].first;
    companions[i + 1] = pairs[i].second;
  }
  numerics::sort2(n, ours.data(), companions.data());
  std::vector<Pair> sorted_pairs(n);
  for (std::size_t i = 0; i < n; ++i) sorted_pairs[i] = {ours[i + 1], companions[i + 1]};
  std::sort(pairs.begin(), pairs.end());
  expect(std::equal(expected.begin(), expected.end(), ours.begin() + 1), "sort2 keys differ from std::sort");
  std::sort(sorted_pairs.begin(), sorted_pairs.end());
  expect(sorted_pairs == pairs, "sort2 separated keys from their companions");
  return ok;
}
