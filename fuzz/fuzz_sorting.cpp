// Sorting and selection on arbitrary bit patterns, NaN included. Every result is checked
// against the headers' postconditions: numbers ascending before all NaNs, the same elements to
// the bit, companions moving with their keys, equal keys in order where insertion sorts them,
// the numbers ending exactly as without the NaNs, and the k-th smallest in place with nothing
// larger before it and nothing smaller after it.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "draw.h"
#include "numerics/arrays.h"
#include "numerics/sorting.h"

using namespace numerics;
using fuzz::bits_of;
using fuzz::expect;
using fuzz::expect_returns;
using fuzz::is_nan;

namespace {

using Floats = std::vector<float>;

// Enough for every code path (the stacks of pending ranges included) and, as quicksort may take
// quadratic time on unlucky keys, small enough to stay well inside a second.
constexpr size_t max_elements = 4096;

// Keys from the input: the bytes as floats, possibly repeated as a pattern, rising or falling
// by one with each repetition.
template <typename T>
std::vector<T> draw_keys(FuzzedDataProvider& in) {
  const size_t repeat = in.ConsumeBool() ? 1 : in.ConsumeIntegralInRange<size_t>(1, 300);
  const int trend = in.ConsumeIntegralInRange(-1, 1);
  std::vector<uint8_t> bytes = in.ConsumeRemainingBytes<uint8_t>();
  const size_t count = bytes.size() / sizeof(T);
  std::vector<T> keys(std::min(count * repeat, max_elements));
  for (size_t i = 0; i < keys.size(); ++i) {
    T key;
    memcpy(&key, &bytes[(i % count) * sizeof(T)], sizeof key);
    keys[i] = static_cast<T>(key + static_cast<T>(trend * static_cast<int>(i / count)));
  }
  return keys;
}

// A 1-based copy in a block of exactly its size, so the sanitizer sees any step outside.
template <typename T>
struct OneBased {
  explicit OneBased(const std::vector<T>& from) : n(static_cast<int>(from.size())) {
    block = static_cast<T*>(malloc(std::max<size_t>(from.size(), 1) * sizeof(T)));
    std::copy(from.begin(), from.end(), block);
  }
  ~OneBased() { free(block); }
  OneBased(const OneBased&) = delete;
  OneBased& operator=(const OneBased&) = delete;
  T* from_one() { return block - 1; }
  std::vector<T> values() const { return std::vector<T>(block, block + n); }
  int n;
  T* block;
};

std::vector<uint32_t> element_bits(const Floats& v) {
  std::vector<uint32_t> b;
  for (float x : v) b.push_back(bits_of(x));
  std::sort(b.begin(), b.end());
  return b;
}

bool same_bits(const Floats& a, const Floats& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](float x, float y) { return bits_of(x) == bits_of(y); });
}

Floats numbers_of(const Floats& v) {
  Floats numbers;
  for (float x : v)
    if (!is_nan(x)) numbers.push_back(x);
  return numbers;
}

// The numbers ascending (equal keys in input order), then the NaNs.
Floats stably_sorted(const Floats& v) {
  Floats numbers = numbers_of(v);
  std::stable_sort(numbers.begin(), numbers.end());
  return numbers;
}

// What every float sort promises: the same elements, the numbers in order before the NaNs, and
// (insertion sorting at most 7 numbers) equal keys in input order.
void check_sorted(const Floats& input, const Floats& out) {
  expect(element_bits(out) == element_bits(input), "a sort keeps the elements to the bit");
  const Floats reference = stably_sorted(input);
  for (size_t i = 0; i < out.size(); ++i)
    expect(i < reference.size() ? out[i] == reference[i] : is_nan(out[i]), "numbers ascending, then the NaNs");
  if (reference.size() <= 7)
    expect(same_bits(Floats(out.begin(), out.begin() + reference.size()), reference), "short sorts are stable");
}

Floats prefix(const Floats& v, size_t n) { return Floats(v.begin(), v.begin() + n); }

void fuzz_sort(const Floats& input) {
  OneBased<float> keys(input);
  expect_returns([&] { sort(keys.n, keys.from_one()); });
  const Floats out = keys.values();
  check_sorted(input, out);
  // The numbers end exactly as the numbers alone would.
  const Floats numbers = numbers_of(input);
  OneBased<float> alone(numbers);
  expect_returns([&] { sort(alone.n, alone.from_one()); });
  expect(same_bits(prefix(out, numbers.size()), alone.values()), "NaNs do not change how the numbers are sorted");
}

void fuzz_heap_sort(const Floats& input) {
  OneBased<float> keys(input);
  expect_returns([&] { heap_sort(keys.n, keys.from_one()); });
  const Floats out = keys.values();
  expect(element_bits(out) == element_bits(input), "heap_sort keeps the elements to the bit");
  const Floats reference = stably_sorted(input);
  for (size_t i = 0; i < out.size(); ++i)
    expect(i < reference.size() ? out[i] == reference[i] : is_nan(out[i]),
           "heap_sort: numbers ascending, then the NaNs");
  const Floats numbers = numbers_of(input);
  OneBased<float> alone(numbers);
  expect_returns([&] { heap_sort(alone.n, alone.from_one()); });
  expect(same_bits(prefix(out, numbers.size()), alone.values()), "NaNs do not change how heap_sort orders the numbers");
}

// The companion holds each key's input position; it must travel with its key.
void fuzz_sort2(const Floats& input) {
  Floats positions(input.size());
  for (size_t i = 0; i < input.size(); ++i) positions[i] = static_cast<float>(i);
  OneBased<float> keys(input);
  OneBased<float> companion(positions);
  expect_returns([&] { sort2(keys.n, keys.from_one(), companion.from_one()); });
  const Floats out = keys.values();
  const Floats moved = companion.values();
  check_sorted(input, out);
  expect(element_bits(moved) == element_bits(positions), "the companion is a permutation");
  for (size_t i = 0; i < out.size(); ++i)
    expect(bits_of(input[static_cast<size_t>(moved[i])]) == bits_of(out[i]), "each companion stays with its key");
  const Floats numbers_in_order = stably_sorted(input);
  if (numbers_in_order.size() <= 7)
    for (size_t i = 1; i < numbers_in_order.size(); ++i)
      expect(out[i - 1] != out[i] || moved[i - 1] < moved[i], "short sorts keep equal keys in input order");
  // The numbers and their companions end as the numbers alone would, with theirs.
  Floats numbers, their_positions;
  for (size_t i = 0; i < input.size(); ++i)
    if (!is_nan(input[i])) numbers.push_back(input[i]), their_positions.push_back(positions[i]);
  OneBased<float> alone(numbers);
  OneBased<float> alone_companion(their_positions);
  expect_returns([&] { sort2(alone.n, alone.from_one(), alone_companion.from_one()); });
  expect(same_bits(prefix(out, numbers.size()), alone.values()) &&
             same_bits(prefix(moved, numbers.size()), alone_companion.values()),
         "NaNs do not change how sort2 moves the numbers");
}

// k: any value, one inside 1..n, or one of the edges 0, 1, n, n + 1.
unsigned draw_k(FuzzedDataProvider& in, size_t n) {
  const unsigned raw = in.ConsumeIntegral<unsigned>();
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
      return raw;
    case 1:
      return (raw & 3) == 0   ? 0
             : (raw & 3) == 1 ? 1
             : (raw & 3) == 2 ? static_cast<unsigned>(n)
                              : static_cast<unsigned>(n) + 1;
    default:
      return n == 0 ? raw : 1 + raw % static_cast<unsigned>(n);
  }
}

void fuzz_kth_smallest(const Floats& input, unsigned k) {
  OneBased<float> keys(input);
  float result = 0.0f;
  const char* outcome = fuzz::outcome_of([&] { result = kth_smallest(k, keys.n, keys.from_one()); });
  if (k < 1 || k > input.size()) return fuzz::expect_outcome(outcome, "k out of range in kth_smallest");
  fuzz::expect_outcome(outcome, nullptr);
  const Floats out = keys.values();
  expect(element_bits(out) == element_bits(input), "selection keeps the elements to the bit");
  expect(bits_of(result) == bits_of(out[k - 1]), "the result is left at values[k]");
  const Floats numbers = numbers_of(input);
  for (size_t i = numbers.size(); i < out.size(); ++i) expect(is_nan(out[i]), "NaNs stand behind the numbers");
  if (k > numbers.size()) {
    expect(is_nan(result) && same_bits(prefix(out, numbers.size()), numbers),
           "too few numbers: a NaN, the numbers in their input order");
    return;
  }
  expect(result == stably_sorted(input)[k - 1], "the k-th smallest number");
  for (size_t i = 0; i < numbers.size(); ++i)
    expect(i < k - 1 ? !(out[i] > result) : i > k - 1 ? !(out[i] < result) : true, "partitioned around values[k]");
  OneBased<float> alone(numbers);
  expect_returns([&] { kth_smallest(k, alone.n, alone.from_one()); });
  expect(same_bits(prefix(out, numbers.size()), alone.values()), "NaNs do not change how the numbers are selected");
}

void fuzz_kth_smallest_u16(const std::vector<uint16_t>& input, unsigned k) {
  OneBased<uint16_t> keys(input);
  uint16_t result = 0;
  const char* outcome = fuzz::outcome_of([&] { result = kth_smallest_u16(k, keys.n, keys.from_one()); });
  if (k < 1 || k > input.size()) return fuzz::expect_outcome(outcome, "k out of range in kth_smallest_u16");
  fuzz::expect_outcome(outcome, nullptr);
  std::vector<uint16_t> out = keys.values();
  std::vector<uint16_t> reference = input;
  std::sort(reference.begin(), reference.end());
  expect(result == reference[k - 1] && out[k - 1] == result, "the k-th smallest, left at values[k]");
  for (size_t i = 0; i < out.size(); ++i)
    expect(i < k - 1 ? out[i] <= result : out[i] >= result, "partitioned around values[k]");
  std::sort(out.begin(), out.end());
  expect(out == reference, "selection keeps the elements");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int routine = in.ConsumeIntegralInRange(0, 4);
  const uint8_t k_bytes[5] = {in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(),
                              in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(),
                              in.ConsumeIntegral<uint8_t>()};
  FuzzedDataProvider k_in(k_bytes, sizeof k_bytes);
  if (routine == 4) {
    const std::vector<uint16_t> keys = draw_keys<uint16_t>(in);
    fuzz_kth_smallest_u16(keys, draw_k(k_in, keys.size()));
    return 0;
  }
  const Floats keys = draw_keys<float>(in);
  switch (routine) {
    case 0:
      fuzz_sort(keys);
      break;
    case 1:
      fuzz_sort2(keys);
      break;
    case 2:
      fuzz_heap_sort(keys);
      break;
    default:
      fuzz_kth_smallest(keys, draw_k(k_in, keys.size()));
      break;
  }
  return 0;
}
