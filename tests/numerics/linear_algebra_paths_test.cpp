// Every vector path of the dense linear algebra against the reference form kept in
// bit_identity/: all sizes from 1 to 64, every kind of entries, bit for bit. The larger sizes
// are in slow/linear_algebra_paths_slow_test.cpp.
#include <gtest/gtest.h>

#include <math.h>

#include <vector>

#include "bit_identity/linear_algebra_cases.h"
#include "bit_identity/reference_linear_algebra.h"
#include "fatal.h"
#include "linear_algebra_test_support.h"
#include "numerics/detail/cpu_dispatch.h"
#include "numerics/fitting.h"
#include "numerics/linear_algebra.h"

using bit_identity::kind;
using numerics::detail::vector_path;
using numerics_test::Matrix;
using numerics_test::Vector;

namespace {

constexpr int largest_exhaustive = 64;

// Counts the failures of a series of checks, reporting the first few in full.
struct failures {
  void check(const bit_identity::outcome& o) {
    if (!o.same && ++count <= 5) ADD_FAILURE() << o.message;
  }
  ~failures() { EXPECT_EQ(count, 0); }
  int count = 0;
};

std::vector<vector_path> supported_paths() {
  std::vector<vector_path> paths;
  for (int p = 0; p <= static_cast<int>(numerics::detail::supported_vector_path()); ++p)
    paths.push_back(static_cast<vector_path>(p));
  return paths;
}

// The kinds for which jacobi converges and gaussj keeps its pivots non-zero and finite.
constexpr kind jacobi_kinds[] = {kind::random, kind::rank_deficient, kind::zero,           kind::diagonal,
                                 kind::tiny,   kind::huge,           kind::small_integers, kind::subnormal};
constexpr kind gaussj_kinds[] = {kind::random, kind::diagonal, kind::tiny, kind::huge, kind::small_integers};

}  // namespace

TEST(LinearAlgebraPaths, ThisMachineHasAVectorPathAndEachNarrowerOneCanBeForced) {
  const vector_path widest = numerics::detail::supported_vector_path();
  for (const vector_path path : supported_paths()) {
    EXPECT_TRUE(numerics::detail::force_vector_path(path));
    EXPECT_EQ(numerics::detail::active_vector_path(), path);
  }
  numerics::detail::force_vector_path(widest);
}

// Taller, square and wider matrices of every size.
TEST(LinearAlgebraPaths, SvdDecomposeOfEveryShape) {
  failures f;
  for (int s = 1; s <= largest_exhaustive; ++s)
    for (const kind k : bit_identity::all_kinds) {
      f.check(bit_identity::svd(k, s, s, s));
      f.check(bit_identity::svd(k, s + s / 2 + 1, s, s + 100));
      f.check(bit_identity::svd(k, s / 2 + 1, s, s + 200));
    }
}

TEST(LinearAlgebraPaths, BackSubstitutionAndFits) {
  failures f;
  for (int s = 1; s <= largest_exhaustive; ++s)
    for (const kind k : bit_identity::all_kinds) {
      f.check(bit_identity::back_substitute(k, s + s / 3, s, s));
      f.check(bit_identity::back_substitute(k, s / 2, s, s + 1));
      // Few basis functions for many points, as fits are used, and the reverse.
      f.check(bit_identity::least_squares_fit(k, 2 * s + 3, s % 9 + 1, s));
      f.check(bit_identity::least_squares_fit(k, s, s, s + 1));
      f.check(bit_identity::least_squares_fit(k, s / 3, s % 5 + 2, s + 2));
    }
  for (const kind k : bit_identity::all_kinds) f.check(bit_identity::least_squares_fit(k, 0, 3, 1));
}

TEST(LinearAlgebraPaths, PseudoInverseAndMatrixProduct) {
  failures f;
  for (int s = 1; s <= largest_exhaustive; ++s)
    for (const kind k : bit_identity::all_kinds) {
      f.check(bit_identity::pseudo_inverse(k, s, s));
      f.check(bit_identity::matrix_multiply(k, s, s % 7 + 1, s + 3, s));
      f.check(bit_identity::matrix_multiply(k, s % 5 + 1, s, s / 2, s + 1));
    }
}

TEST(LinearAlgebraPaths, JacobiIncludingEqualEigenvalues) {
  failures f;
  for (int s = 1; s <= largest_exhaustive; ++s)
    for (const kind k : jacobi_kinds) f.check(bit_identity::jacobi(k, s, s));
}

TEST(LinearAlgebraPaths, GaussJordanIncludingTiedPivots) {
  failures f;
  for (int s = 1; s <= largest_exhaustive; ++s)
    for (const kind k : gaussj_kinds) f.check(bit_identity::gaussj(k, s, s % 4, s));
}

// The failures end the process with the same message from the reference and from every path.
TEST(LinearAlgebraPathsDeathTest, FailuresGiveTheSameMessages) {
  const vector_path widest = numerics::detail::supported_vector_path();
  struct gaussj_case {
    kind k;
    int n;
    const char* message;
  };
  // A NaN everywhere leaves no pivot at all; exact zeros left by elimination, a zero matrix
  // and the infinities and NaNs that follow a subnormal pivot give the two messages.
  const gaussj_case cases[] = {{kind::zero, 4, "gaussj: Singular Matrix-2"},
                               {kind::rank_deficient, 9, "gaussj: Singular Matrix-2"},
                               {kind::subnormal, 6, "gaussj: Singular Matrix-1"},
                               {kind::non_finite, 5, "gaussj: Singular Matrix-1"}};
  for (const gaussj_case& c : cases) {
    SCOPED_TRACE(bit_identity::name_of(c.k));
    Matrix a(c.n, c.n), b(c.n, 2);
    bit_identity::fill_for_gaussj(a, c.n, c.k, 7);
    for (int i = 0; i < c.n; ++i) b.at(i, 0) = b.at(i, 1) = 1.0f;
    EXPECT_RUN_TIME_ERROR(reference::gaussj(a, c.n, b, 2), c.message);
    for (const vector_path path : supported_paths()) {
      numerics::detail::force_vector_path(path);
      EXPECT_RUN_TIME_ERROR(numerics::gaussj(a, c.n, b, 2), c.message);
    }
  }
  {
    const int n = 11;
    Matrix a(n, n), v(n, n);
    Vector d(n);
    int rotations = 0;
    bit_identity::fill_symmetric(a, n, kind::non_finite, 3);
    EXPECT_RUN_TIME_ERROR(reference::jacobi(a, n, d, v, &rotations), "Too many iterations in routine jacobi");
    for (const vector_path path : supported_paths()) {
      numerics::detail::force_vector_path(path);
      EXPECT_RUN_TIME_ERROR(numerics::jacobi(a, n, d, v, &rotations), "Too many iterations in routine jacobi");
    }
  }
  numerics::detail::force_vector_path(widest);
}
