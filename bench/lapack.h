// The few LAPACK routines the benchmarks call, declared for the Fortran calling convention:
// every argument by address, and the hidden lengths of character arguments at the end.
#ifndef BENCH_LAPACK_H
#define BENCH_LAPACK_H

#include <cstddef>

extern "C" {
void sgesvd_(const char* jobu, const char* jobvt, const int* m, const int* n, float* a, const int* lda, float* s,
             float* u, const int* ldu, float* vt, const int* ldvt, float* work, const int* lwork, int* info,
             std::size_t jobu_length, std::size_t jobvt_length);
void ssyev_(const char* jobz, const char* uplo, const int* n, float* a, const int* lda, float* w, float* work,
            const int* lwork, int* info, std::size_t jobz_length, std::size_t uplo_length);
void sgesv_(const int* n, const int* nrhs, float* a, const int* lda, int* ipiv, float* b, const int* ldb, int* info);
void sgetrf_(const int* m, const int* n, float* a, const int* lda, int* ipiv, int* info);
void sgetri_(const int* n, float* a, const int* lda, const int* ipiv, float* work, const int* lwork, int* info);
}

#endif
