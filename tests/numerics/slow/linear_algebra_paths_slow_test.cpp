// The bit-identity checks of linear_algebra_paths_test.cpp at sizes around the powers of two
// and beyond the blocks of the vector kernels.
#include <gtest/gtest.h>

#include "bit_identity/linear_algebra_cases.h"

using bit_identity::kind;

namespace {

constexpr int sizes[] = {100, 128, 255, 256, 257};

void expect_same(const bit_identity::outcome& o) { EXPECT_TRUE(o.same) << o.message; }

}  // namespace

TEST(LinearAlgebraPathsSlow, SvdDecompose) {
  for (const int s : sizes)
    for (const kind k : bit_identity::all_kinds) {
      expect_same(bit_identity::svd(k, s, s, s));
      expect_same(bit_identity::svd(k, s + s / 2, s, s + 1));
      expect_same(bit_identity::svd(k, s / 2, s, s + 2));
    }
}

TEST(LinearAlgebraPathsSlow, FitsPseudoInverseAndProduct) {
  for (const int s : sizes)
    for (const kind k : bit_identity::all_kinds) {
      expect_same(bit_identity::back_substitute(k, s + 7, s, s));
      expect_same(bit_identity::least_squares_fit(k, 4 * s, 12, s));
      expect_same(bit_identity::least_squares_fit(k, s, s, s + 1));
      expect_same(bit_identity::pseudo_inverse(k, s, s));
      expect_same(bit_identity::matrix_multiply(k, s, s, s, s));
    }
}

TEST(LinearAlgebraPathsSlow, Jacobi) {
  for (const int s : sizes)
    for (const kind k :
         {kind::random, kind::rank_deficient, kind::zero, kind::diagonal, kind::tiny, kind::huge, kind::small_integers})
      expect_same(bit_identity::jacobi(k, s, s));
}

TEST(LinearAlgebraPathsSlow, GaussJordan) {
  for (const int s : sizes)
    for (const kind k : {kind::random, kind::diagonal, kind::tiny, kind::huge, kind::small_integers})
      expect_same(bit_identity::gaussj(k, s, s % 4, s));
}
