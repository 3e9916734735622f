// The straightforward form of the dense linear algebra routines: the loops as the algorithms
// describe them, one element and one accumulation at a time. The toolkit's own routines must
// give exactly the same bits; the tests compare the two. Only the C runtime is used, so that
// the Windows builds can run the comparison too.
#ifndef TESTS_NUMERICS_BIT_IDENTITY_REFERENCE_LINEAR_ALGEBRA_H
#define TESTS_NUMERICS_BIT_IDENTITY_REFERENCE_LINEAR_ALGEBRA_H

#include "numerics/linear_algebra.h"

namespace reference {

// Set and cleared as numerics::svd_not_converged is, by reference::svd_decompose.
extern bool svd_not_converged;

void svd_decompose(float** a, int m, int n, float w[], float** v);
void svd_back_substitute(float** u, const float w[], float** v, int m, int n, const float b[], float x[]);
void svd_least_squares_fit(const float x[], const float y[], const float sdev[], int count, float a[], int basis_count,
                           float** u, float** v, float w[], float* chi_square, numerics::basis_function basis);
bool svd_pseudo_inverse(float** a, float** p, int n);
void matrix_multiply(float** a, float** b, float** g, int rows, int inner, int cols);
void jacobi(float** a, int n, float d[], float** v, int* rotations);
void gaussj(float** a, int n, float** b, int m);

}  // namespace reference

#endif
