// Dense linear algebra in single precision: singular value decomposition and what is built on
// it (solving, covariance, least-squares fitting to basis functions, a pseudo-inverse), Jacobi
// eigen-decomposition of symmetric matrices, and small 0-based matrix helpers.
//
// Unless a routine says otherwise, vectors and matrices are the 1-based offset arrays of
// numerics/arrays.h: a vector of n elements is indexed 1..n, an m x n matrix 1..m x 1..n. The
// 0-based helpers at the end index arrays of row pointers from 0, as matrix(0, r - 1, 0, c - 1)
// makes them; a 1-based vector w is handed to them as &w[1].
//
// Arithmetic is single precision throughout; the few steps that widen to double (reciprocals,
// a square root) are rounded back to float, so results do not depend on the platform's choice
// of intermediate precision.
//
// Routines allocate their work vectors with the allocators of numerics/arrays.h, so a heap that
// refuses ends the process with that allocator's message ("allocation failure in vector()",
// "allocation failure 1 in matrix()", ...). Apart from jacobi's message below, nothing here
// checks its arguments or reports anything; counts below 1 are handled as each routine says.
//
// After an error that a handler turns into an exception (numerics/arrays.h), or an exception
// from a basis function, every routine has released its work storage. svd_pseudo_inverse
// then leaves p as it was; the outputs of the other routines are unspecified.
#ifndef NUMERICS_LINEAR_ALGEBRA_H
#define NUMERICS_LINEAR_ALGEBRA_H

#include "numerics/export.h"

namespace numerics {

// Raised by svd_decompose when some singular value used up its 100 QR iterations; cleared at
// the start of every call, so it describes the most recent decomposition only. Process-wide
// and unlocked: decompositions (svd_decompose and everything below that calls it) must not
// run on two threads at once.
extern NUMERICS_API bool svd_not_converged;

// Factors the m x n matrix a (1..m x 1..n) as U * diag(w) * V^T. On return a holds U (m x n),
// w (1..n) the singular values and v (1..n x 1..n) V itself, not its transpose. m < n is
// allowed: n - m of the singular values then come out zero or at rounding level, with zero or
// near-zero columns of U.
// - Singular values are left in the order the diagonalisation leaves them, not sorted, and
//   non-negative unless the decomposition did not converge.
// - Superdiagonal and diagonal elements are negligible when below 1e-6 in absolute value,
//   whatever the scale of a: a matrix whose entries are all far below 1e-6 is taken as
//   diagonal once reduced to bidiagonal form, so its singular values are only approximate.
//   Down to subnormal entries U and V stay finite: where a pivot is too small for its float
//   reciprocal (below 1/FLT_MAX), the update divides by it instead. Reflections that reach
//   the subnormal range keep few digits, so U and V are then orthogonal to about 1e-3 only.
// - Each singular value gets at most 100 iterations; when one reaches its 100th the routine
//   sets svd_not_converged, carries on and leaves that value (possibly negative) as it stands.
// - m < 1 (no rows): a is not touched, w is all 0 and v the identity. n < 1: nothing is
//   written, apart from the flag being cleared.
NUMERICS_API void svd_decompose(float** a, int m, int n, float w[], float** v);

// sqrt(a^2 + b^2) without overflow or underflow in the squares; hypotenuse(0, 0) is 0.
NUMERICS_API float hypotenuse(float a, float b);

// Solves A x = b from the factors of A left by svd_decompose: u (1..m x 1..n), w (1..n),
// v (1..n x 1..n), b (1..m); writes x (1..n). Components whose w is exactly 0 are dropped, so
// with zeroed small singular values x is the least-squares solution of smallest norm. Inputs
// are not modified. n < 1 writes nothing; m < 1 gives x = 0.
NUMERICS_API void svd_back_substitute(float** u, const float w[], float** v, int m, int n, const float b[], float x[]);

// Covariance of the parameters of a fit from v (1..basis_count x 1..basis_count) and w
// (1..basis_count), as svd_least_squares_fit leaves them: covariance[i][j] =
// sum over k of v[i][k] v[j][k] / w[k]^2, skipping k with w[k] exactly 0. Writes the symmetric
// covariance (1..basis_count x 1..basis_count). basis_count < 1 writes nothing.
NUMERICS_API void svd_covariance(float** v, int basis_count, const float w[], float** covariance);

// Fills p[1..basis_count] with the values of the basis functions at x; must give the same
// values each time it is called with the same x.
using basis_function = void (*)(float x, float p[], int basis_count);

// Least-squares fit of y[i] ~ sum_j a[j] f_j(x[i]) with standard deviations sdev[i] (all
// 1..count, every sdev non-zero), through the SVD of the weighted design matrix. Writes the
// coefficients a (1..basis_count), u (1..count x 1..basis_count), v and w (as svd_decompose),
// and chi-square. Singular values below 1e-5 of the largest are set to 0 in w before solving,
// so degenerate bases still give finite coefficients; pass v and w to svd_covariance for the
// covariance of a. basis is called exactly twice per point: once for every point in order to
// build the design matrix, then again for every point in order to form chi-square. Clears or
// sets svd_not_converged as svd_decompose does.
// - count < 1 (no data): a = 0, w = 0, v = identity, chi-square 0; basis is never called.
// - basis_count < 1: nothing to fit; returns at once, writing nothing and calling nothing.
NUMERICS_API void svd_least_squares_fit(const float x[], const float y[], const float sdev[], int count, float a[],
                                        int basis_count, float** u, float** v, float w[], float* chi_square,
                                        basis_function basis);

// A basis_function yielding the powers of x: p = (1, x, x^2, ..., x^(basis_count - 1)).
// basis_count < 1 writes nothing.
NUMERICS_API void polynomial_basis(float x, float p[], int basis_count);

// Eigenvalues and eigenvectors of the symmetric matrix a (1..n x 1..n) by cyclic Jacobi
// rotations. Only the diagonal and the strict upper triangle are read; the strict upper
// triangle is destroyed (zero on return), the diagonal and the lower triangle are left as
// they were. Writes the eigenvalues to d (1..n, unsorted), the normalised eigenvectors as the
// columns of v (1..n x 1..n, column j belonging to d[j]) and the number of rotations applied.
// Ends the process with "Too many iterations in routine jacobi" when 50 sweeps do not clear
// the upper triangle (for instance when it holds a NaN). n < 1: *rotations = 0, nothing else
// is written.
NUMERICS_API void jacobi(float** a, int n, float d[], float** v, int* rotations);

// Sorts the eigenvalues d (1..n) into descending order, exchanging the columns of v
// (1..n x 1..n) along with them. Among equal largest values the one with the highest index is
// taken first, so equal eigenvalues exchange their columns. n < 2 changes nothing.
NUMERICS_API void sort_eigen_descending(float d[], float** v, int n);

// 0-based helpers. Sums start at 0 and accumulate in float in increasing index order.
// Destinations must not share storage with sources. None allocates or checks anything; a count
// below 1 acts as 0: a sum over that index is 0, and a destination dimension of that size gets
// nothing written.

// g[i][j] = sum over k < inner of a[i][k] b[k][j], for i < rows, j < cols.
NUMERICS_API void matrix_multiply(float** a, float** b, float** g, int rows, int inner, int cols);
// g = a a^T (rows x rows, symmetric) for a of rows x cols.
NUMERICS_API void matrix_times_own_transpose(float** a, float** g, int rows, int cols);
// Kept for callers of the product form: b and inner are ignored and the result is
// matrix_times_own_transpose(a, g, rows, cols).
NUMERICS_API void matrix_multiply_own_transpose(float** a, float** b, float** g, int rows, int inner, int cols);
// y[i] = sum over j < cols of a[i][j] x[j], for i < rows (cols < 1 sets y to 0).
NUMERICS_API void matrix_vector_multiply(float** a, const float x[], float y[], int rows, int cols);
// sum over i < n of a[i] b[i]; 0 for n < 1.
NUMERICS_API float dot_product(const float a[], const float b[], int n);
// b[j][i] = a[i][j] for i < rows, j < cols (b is cols x rows).
NUMERICS_API void matrix_transpose(float** a, float** b, int rows, int cols);
// Copies rows x cols elements from s to d, by mode:
//   0: both 0-based, d[i][j] = s[i][j];
//   1: both 1-based, d[i][j] = s[i][j] for i in 1..rows, j in 1..cols (row and column 0 untouched);
//   2: 0-based into 1-based, d[i + 1][j + 1] = s[i][j];
//   3: 1-based into 0-based, d[i][j] = s[i + 1][j + 1];
//   any other mode copies nothing.
NUMERICS_API void matrix_copy(float** s, float** d, int rows, int cols, int mode);
// m[i][j] *= s[i] for i < rows, j < cols.
NUMERICS_API void scale_matrix_rows(const float s[], float** m, int rows, int cols);

// Writes to p (0-based n x n) the pseudo-inverse of the 0-based n x n matrix a, through its SVD:
// singular values below 1e-6 of the largest are dropped (the all-ones 2 x 2 matrix gives all
// elements 0.25, the zero matrix gives zero). a and p may be the same storage: a is read in full
// before p is written. Returns false when the decomposition did not converge (the result is
// then formed from the absolute values of the unconverged singular values and may be
// inaccurate), true otherwise. n < 1 writes nothing and returns true. Uses svd_decompose and
// its flag: not to be run on two threads at once.
NUMERICS_API bool svd_pseudo_inverse(float** a, float** p, int n);

}  // namespace numerics

#endif
