#include "numerics/sorting.h"

#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "fatal.h"
#include "numerics/arrays.h"
#include "numerics/detail/quicksort.h"

using namespace numerics;

namespace {

using Floats = std::vector<float>;

// Exactly n elements on the heap, addressed from 1, so the sanitizer sees any step outside.
template <typename T>
T* one_based(std::vector<T>& v) {
  return v.empty() ? nullptr : v.data() - 1;
}

uint32_t bits(float x) {
  uint32_t b;
  memcpy(&b, &x, sizeof b);
  return b;
}

// The elements to the bit (-0 and +0, NaN payloads) in a canonical order: equal for two
// arrays exactly when one is a permutation of the other.
std::vector<uint32_t> element_bits(const Floats& v) {
  std::vector<uint32_t> b;
  for (float x : v) b.push_back(bits(x));
  std::sort(b.begin(), b.end());
  return b;
}

Floats indices(size_t n) {
  Floats c(n);
  for (size_t i = 0; i < n; ++i) c[i] = static_cast<float>(i + 1);
  return c;
}

// companion[i] names the input position of the key now at values[i], each position once.
void expect_pairs_kept(const Floats& input, const Floats& keys, const Floats& companion) {
  EXPECT_EQ(element_bits(companion), element_bits(indices(input.size())));
  for (size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(bits(input[static_cast<size_t>(companion[i]) - 1]), bits(keys[i]));
}

Floats inputs(std::mt19937& random, size_t n, const std::string& kind) {
  std::uniform_real_distribution<float> spread(-1000.0f, 1000.0f);
  std::uniform_int_distribution<int> few(0, 3);
  Floats v(n);
  for (size_t i = 0; i < n; ++i)
    v[i] = kind == "ties"       ? static_cast<float>(few(random))
           : kind == "zeros"    ? (few(random) & 1 ? -1.0f : 1.0f) * static_cast<float>(few(random) == 3)
           : kind == "sorted"   ? static_cast<float>(i) * 0.5f
           : kind == "reversed" ? static_cast<float>(n - i)
                                : spread(random);
  return v;
}

// values[k] is `kth` and the array is split around it (NaNs count as large).
template <typename T>
void expect_split_at(const std::vector<T>& v, unsigned k, T kth) {
  for (unsigned i = 0; i < v.size(); ++i) ASSERT_TRUE(i < k ? v[i] <= kth : v[i] >= kth || v[i] != v[i]);
}

}  // namespace

TEST(Sorting, SmallCasesFollowTheExactSteps) {
  float* none = vector(1, 0);  // n = 0 touches nothing
  sort(0, none), sort2(0, none, none), heap_sort(0, none);
  release_vector(none, 1, 0);

  Floats keys = {3, 1, 2}, companion = {30, 10, 20};
  sort2(3, one_based(keys), one_based(companion));
  EXPECT_EQ(keys, (Floats{1, 2, 3}));
  EXPECT_EQ(companion, (Floats{10, 20, 30}));
  keys = Floats(7, 1.0f), companion = indices(7);  // insertion only: equal keys keep their order
  sort2(7, one_based(keys), one_based(companion));
  EXPECT_EQ(companion, indices(7));

  // Eight elements: one partition (middle moved to 2, scans stopping on equal keys, a
  // self-swap, i = j + 2), then insertion of both parts.
  keys = Floats(8, 1.0f), companion = indices(8);
  sort2(8, one_based(keys), one_based(companion));
  EXPECT_EQ(companion, (Floats{1, 6, 7, 4, 5, 2, 3, 8}));
  keys = {2, 1, 2, 1, 2, 1, 2, 1}, companion = indices(8);
  sort2(8, one_based(keys), one_based(companion));
  EXPECT_EQ(keys, (Floats{1, 1, 1, 1, 2, 2, 2, 2}));
  EXPECT_EQ(companion, (Floats{8, 6, 4, 2, 5, 3, 7, 1}));

  Floats heap = {5, 3, 5, 1, 5}, zeros = {0.0f, -0.0f}, heap_zeros = zeros, ties = {-1.0f, 0.0f, -0.0f};
  heap_sort(5, one_based(heap));
  EXPECT_EQ(heap, (Floats{1, 3, 5, 5, 5}));
  sort(2, one_based(zeros));            // insertion never moves past an equal key
  heap_sort(2, one_based(heap_zeros));  // the root goes behind the heap even past an equal one
  heap_sort(3, one_based(ties));        // a sift takes the left child of two equal ones
  EXPECT_EQ(signbit(zeros[0]), 0);
  EXPECT_NE(signbit(heap_zeros[0]), 0);
  EXPECT_NE(signbit(ties[1]), 0);
}

TEST(Sorting, AgreesWithTheStandardSortAndKeepsPairs) {
  std::mt19937 random(20240611);
  for (const char* kind : {"random", "ties", "zeros", "sorted", "reversed"}) {
    for (unsigned n : {1, 2, 3, 7, 8, 9, 17, 100, 1000, 100000}) {
      SCOPED_TRACE(testing::Message() << kind << " n=" << n);
      const Floats input = inputs(random, n, kind);
      Floats expected = input, sorted = input, heap = input, keys = input, companion = indices(n);
      std::sort(expected.begin(), expected.end());
      sort(n, one_based(sorted));
      heap_sort(n, one_based(heap));
      sort2(n, one_based(keys), one_based(companion));
      EXPECT_TRUE(sorted == expected && heap == expected);  // by value: -0 == +0
      const std::vector<uint32_t> elements = element_bits(input);
      EXPECT_TRUE(element_bits(sorted) == elements && element_bits(heap) == elements);
      EXPECT_EQ(memcmp(keys.data(), sorted.data(), n * sizeof(float)), 0);  // the very moves of sort
      expect_pairs_kept(input, keys, companion);
    }
  }
  // The middle of a range is taken without the sum low + high, which wraps (to index 0 for
  // [1..2^32 - 1]) beyond 2^31 elements; where the sum fits, the result is the same.
  EXPECT_EQ(detail::midpoint(1, UINT_MAX), 0x80000000u);
  EXPECT_EQ(detail::midpoint(UINT_MAX - 2, UINT_MAX), UINT_MAX - 1);
  EXPECT_EQ(detail::midpoint(3, 10) + detail::midpoint(3, 11), 13u);
}

TEST(Selection, FollowsTheExactStepsAndSplitsAtEveryPosition) {
  Floats v = {3, 1, 2};
  EXPECT_EQ(kth_smallest(2, 3, one_based(v)), 2.0f);
  EXPECT_EQ(v, (Floats{1, 2, 3}));
  v = {8, 7, 6, 5, 4, 3, 2, 1};  // two partitions, then a one-element range
  EXPECT_EQ(kth_smallest(4, 8, one_based(v)), 4.0f);
  EXPECT_EQ(v, (Floats{1, 2, 3, 4, 5, 7, 6, 8}));
  v = {8, 7, 6, 5, 4, 3, 2, 1};  // the first pivot lands at k: nothing more moves
  EXPECT_EQ(kth_smallest(5, 8, one_based(v)), 5.0f);
  EXPECT_EQ(v, (Floats{1, 4, 2, 3, 5, 7, 6, 8}));
  std::vector<uint16_t> u = {65535, 0, 40000};
  EXPECT_EQ(kth_smallest_u16(3, 3, one_based(u)), 65535);

  std::mt19937 random(7);
  std::uniform_int_distribution<int> u16(0, 65535);
  for (const char* kind : {"random", "ties", "zeros", "reversed"}) {
    for (unsigned n : {1, 2, 3, 5, 8, 13, 50, 200}) {
      const Floats input = inputs(random, n, kind);
      std::vector<uint16_t> input16(n);
      for (uint16_t& x : input16) x = static_cast<uint16_t>(u16(random) | (kind[0] == 't' ? 0x7ff8 : 0));
      Floats expected = input;
      std::vector<uint16_t> expected16 = input16;
      std::sort(expected.begin(), expected.end());
      std::sort(expected16.begin(), expected16.end());
      for (unsigned k = 1; k <= n; ++k) {
        SCOPED_TRACE(testing::Message() << kind << " n=" << n << " k=" << k);
        Floats w = input;
        std::vector<uint16_t> w16 = input16;
        const float kth = kth_smallest(k, n, one_based(w));
        EXPECT_EQ(kth, expected[k - 1]);
        EXPECT_EQ(bits(w[k - 1]), bits(kth));
        expect_split_at(w, k, kth);
        EXPECT_EQ(element_bits(w), element_bits(input));
        EXPECT_EQ(kth_smallest_u16(k, n, one_based(w16)), expected16[k - 1]);
        expect_split_at(w16, k, w16[k - 1]);
      }
    }
  }
}

// NaNs at every position (so also where the pivot and the scan sentinels come from) go behind
// the numbers, and the numbers end exactly as they do without the NaNs.
TEST(Sorting, PutsNaNsLastAndTheNumbersExactlyAsWithoutThem) {
  std::mt19937 random(99);
  for (unsigned n : {1, 2, 3, 7, 8, 9, 12, 20}) {
    const Floats base = inputs(random, n, n % 2 ? "ties" : "zeros");
    for (unsigned p = 0; p < n; ++p) {
      for (unsigned q = p; q <= n; ++q) {  // NaN at p and q; q = n: everywhere
        Floats input = base, numbers;
        for (unsigned i = 0; i < n; ++i) {
          if (i == p || i == q || q == n)
            input[i] = i % 2 ? -nanf("7") : NAN;
          else
            numbers.push_back(base[i]);
        }
        const unsigned count = static_cast<unsigned>(numbers.size());
        auto expect_numbers_then_nans = [&](void (*routine)(unsigned, float*), const Floats& result) {
          Floats alone = numbers;
          routine(count, one_based(alone));
          for (unsigned i = 0; i < n; ++i)
            EXPECT_TRUE(i < count ? bits(result[i]) == bits(alone[i]) : isnan(result[i]));
          EXPECT_EQ(element_bits(result), element_bits(input));
        };
        Floats sorted = input, heap = input, keys = input, companion = indices(n), raw = input;
        sort(n, one_based(sorted));
        heap_sort(n, one_based(heap));
        sort2(n, one_based(keys), one_based(companion));
        expect_numbers_then_nans(sort, sorted);
        expect_numbers_then_nans(heap_sort, heap);
        expect_numbers_then_nans(sort, keys);
        expect_pairs_kept(input, keys, companion);
        // The partition and insertion themselves need no ordered keys to stay inside the array.
        detail::quicksort(detail::Keys<float>{one_based(raw)}, n, 60, "NSTACK too small in sort.");
        EXPECT_EQ(element_bits(raw), element_bits(input));

        std::sort(numbers.begin(), numbers.end());
        for (unsigned k = 1; k <= n; ++k) {
          Floats w = input;
          const float kth = kth_smallest(k, n, one_based(w));
          EXPECT_TRUE(k > count ? isnan(kth) && isnan(w[k - 1]) : kth == numbers[k - 1]);
          if (k <= count) expect_split_at(w, k, kth);
        }
      }
    }
  }
}

TEST(SortingDeathTest, ReportsAFullStackAndSelectionOutOfRange) {
  // Only arrays beyond 2^28 elements fill sort2's stack; a stack of one range shows that the
  // check comes before the push (the sanitizer would see a write past the stack).
  Floats keys = indices(100), companion = indices(100);
  std::reverse(keys.begin(), keys.end());
  const detail::KeysWithCompanions pairs{one_based(keys), one_based(companion)};
  EXPECT_RUN_TIME_ERROR(detail::quicksort(pairs, 100, 2, "NSTACK too small in sort2."), "NSTACK too small in sort2.");

  Floats v = {1, 2, 3};
  std::vector<uint16_t> w = {1, 2, 3};
  for (unsigned k : {0, 4}) {
    EXPECT_RUN_TIME_ERROR(kth_smallest(k, 3, one_based(v)), "k out of range in kth_smallest");
    EXPECT_RUN_TIME_ERROR(kth_smallest_u16(k, 3, one_based(w)), "k out of range in kth_smallest_u16");
  }
  EXPECT_RUN_TIME_ERROR(kth_smallest(1, 0, one_based(v)), "k out of range in kth_smallest");
  EXPECT_RUN_TIME_ERROR(kth_smallest_u16(1, 0, one_based(w)), "k out of range in kth_smallest_u16");
}
