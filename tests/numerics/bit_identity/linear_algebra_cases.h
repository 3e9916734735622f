// Bit-identity checks of the dense linear algebra routines: each check builds one input, runs
// the reference form (reference_linear_algebra.h) once and the toolkit's routine once on every
// vector path this machine has, each path forced in turn, and compares every output float bit
// for bit (any NaN matching any NaN: the payload of a NaN is not portable), the SVD's
// non-convergence flag, the rotation count and the returned values. Only the C runtime is
// used, so that the Windows builds run the same checks.
#ifndef TESTS_NUMERICS_BIT_IDENTITY_LINEAR_ALGEBRA_CASES_H
#define TESTS_NUMERICS_BIT_IDENTITY_LINEAR_ALGEBRA_CASES_H

namespace bit_identity {

// What the input matrices hold.
enum class kind {
  random,          // uniform in [-1, 1)
  rank_deficient,  // rank about a third of the smaller dimension, with exactly repeated rows
  zero,
  diagonal,        // random diagonal, zero elsewhere
  tiny,            // random times 1e-20
  subnormal,       // random times 1e-40: subnormal entries
  huge,            // random times 1e30
  small_integers,  // integers -2..2: exact ties and exact cancellations
  non_finite,      // random with a NaN, an infinity and a negative infinity
};
constexpr kind all_kinds[] = {kind::random,    kind::rank_deficient, kind::zero,           kind::diagonal,  kind::tiny,
                              kind::subnormal, kind::huge,           kind::small_integers, kind::non_finite};
const char* name_of(kind k);

// The result of one check: `same` is false at the first difference, which `message` describes
// (routine, shape, kind, vector path, output and index).
struct outcome {
  bool same = true;
  char message[256] = {};
};

// svd_decompose of an m x n matrix.
outcome svd(kind k, int m, int n, unsigned seed);
// svd_back_substitute with u (m x n), w (n, every third one 0), v (n x n) and b (m) filled by
// kind.
outcome back_substitute(kind k, int m, int n, unsigned seed);
// svd_least_squares_fit of count points to basis_count powers of x; the data follow the kind.
outcome least_squares_fit(kind k, int count, int basis_count, unsigned seed);
// svd_pseudo_inverse of an n x n matrix, into separate storage and in place.
outcome pseudo_inverse(kind k, int n, unsigned seed);
// matrix_multiply of rows x inner by inner x cols.
outcome matrix_multiply(kind k, int rows, int inner, int cols, unsigned seed);

// jacobi of a symmetric n x n matrix made from the kind: rank_deficient is the matrix of ones
// (eigenvalue 0 n - 1 times), small_integers has 2 on the diagonal and 1 elsewhere (eigenvalue 1
// n - 1 times); the lower triangle holds values that must stay as they are. A non_finite
// matrix does not converge and ends the process: it is for death tests only.
outcome jacobi(kind k, int n, unsigned seed);
// Fills a (1..n x 1..n) with the symmetric matrix jacobi(k, n, seed) uses.
void fill_symmetric(float** a, int n, kind k, unsigned seed);

// gaussj of an n x n matrix with m right-hand sides. Kinds that keep every pivot non-zero and
// finite: random, diagonal, tiny, huge, and small_integers (which here has a dominant,
// constant diagonal, so that pivots tie). The others end the process with one of gaussj's
// singular messages and are for death tests only.
outcome gaussj(kind k, int n, int m, unsigned seed);
// Fills a (1..n x 1..n) with the matrix gaussj(k, n, m, seed) uses.
void fill_for_gaussj(float** a, int n, kind k, unsigned seed);

}  // namespace bit_identity

#endif
