#include "numerics/arrays.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdint>

#include "fatal.h"

using namespace numerics;

namespace {

// Leaves the process 32 MiB of fresh address space, so the heap refuses the large blocks
// below while the runtime can still finish its exit.
void refuse_address_space() {
  unsigned long pages = 0;
  FILE* statm = fopen("/proc/self/statm", "r");
  ASSERT_NE(statm, nullptr);
  ASSERT_EQ(fscanf(statm, "%lu", &pages), 1);
  fclose(statm);
  const rlim_t limit = pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (32u << 20);
  const rlimit small = {limit, limit};
  setrlimit(RLIMIT_AS, &small);
}

}  // namespace

TEST(OffsetVectors, CoverExactlyTheirRangeAndReleaseByLow) {
  float* v = vector(-3, 3);
  for (int i = -3; i <= 3; ++i) v[i] = static_cast<float>(i);
  for (int i = -3; i <= 3; ++i) EXPECT_EQ(v[i], i);
  release_vector(v, -3, 12345);  // the high bound plays no part in the release

  int* zero_based = ivector(0, 9);
  zero_based[0] = 7;
  zero_based[9] = 9;
  EXPECT_EQ(zero_based[0] + zero_based[9], 16);
  release_ivector(zero_based, 0, -1);

  unsigned char* bytes = cvector(1, 3);
  bytes[3] = 255;
  release_cvector(bytes, 1, 3);
  int32_t* longs = lvector(5, 6);
  longs[6] = INT32_MIN;
  release_lvector(longs, 5, 6);
  double* doubles = dvector(1, 2);
  doubles[1] = doubles[2] = 0.5;
  release_dvector(doubles, 1, 0);

  EXPECT_EQ(sizeof(*longs), 4u);
}

#ifdef TESTS_HAVE_ASAN
TEST(OffsetVectorsDeathTest, IndicesJustOutsideTheRangeAreOutsideTheBlock) {
  float* v = vector(1, 4);
  EXPECT_DEATH(v[0] = 1.0f, "heap-buffer-overflow");
  EXPECT_DEATH(v[5] = 1.0f, "heap-buffer-overflow");
  release_vector(v, 1, 4);
}
#endif

TEST(OffsetMatrices, AreRowMajorBlocksAddressedByRange) {
  float** m = matrix(1, 3, 1, 4);
  float* block = &m[1][1];
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(&m[i][j], block + (i - 1) * 4 + (j - 1));
  EXPECT_EQ(&m[2][1], block + 4);
  EXPECT_EQ(&m[3][4], block + 11);
  release_matrix(m, 1, 99, 1, -7);

  double** d = double_matrix(-2, 0, 5, 6);
  EXPECT_EQ(&d[0][6], &d[-2][5] + 5);
  release_double_matrix(d, -2, 0, 5, 6);

  int** zero_based = int_matrix(0, 2, 0, 2);
  EXPECT_EQ(&zero_based[2][2], &zero_based[0][0] + 8);
  release_int_matrix(zero_based, 0, 2, 0, 2);
}

TEST(OffsetMatrices, ViewsShareTheirSourceElements) {
  float** a = matrix(1, 4, 1, 4);
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 4; ++j) a[i][j] = static_cast<float>(10 * i + j);

  float** view = submatrix(a, 2, 3, 2, 4, 1, 1);
  EXPECT_EQ(view[1][1], 22.0f);
  EXPECT_EQ(view[2][3], 34.0f);
  view[1][1] = -1.0f;
  EXPECT_EQ(a[2][2], -1.0f);
  release_submatrix(view, 1, 2, 1, 3);
  EXPECT_EQ(a[2][2], -1.0f);  // releasing a view leaves the elements alone

  float** shifted = submatrix(a, 1, 4, 1, 4, -1, 0);
  EXPECT_EQ(&shifted[-1][0], &a[1][1]);
  EXPECT_EQ(&shifted[2][3], &a[4][4]);
  release_submatrix(shifted, -1, 0, 0, 0);
  release_matrix(a, 1, 4, 1, 4);

  float flat[6] = {0, 1, 2, 3, 4, 5};
  float** m = convert_matrix(flat, 1, 2, 1, 3);
  EXPECT_EQ(&m[1][1], &flat[0]);
  EXPECT_EQ(&m[1][3], &flat[2]);
  EXPECT_EQ(&m[2][1], &flat[3]);
  m[2][3] = 50.0f;
  EXPECT_EQ(flat[5], 50.0f);
  release_convert_matrix(m, 1, 0, 0, 0);
}

TEST(Offset3Tensors, AreOneBlockDepthFastest) {
  float*** t = f3tensor(1, 2, 1, 3, 1, 4);
  float* first = &t[1][1][1];
  EXPECT_EQ(&t[2][3][4] - first, 23);
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j)
      for (int k = 1; k <= 4; ++k) EXPECT_EQ(&t[i][j][k], first + ((i - 1) * 3 + (j - 1)) * 4 + (k - 1));
  release_f3tensor(t, 1, 0, 1, 0, 1, 0);

  unsigned char*** c = c3tensor(-1, 0, 2, 4, 0, 3);
  unsigned char* start = &c[-1][2][0];
  for (int i = -1; i <= 0; ++i)
    for (int j = 2; j <= 4; ++j)
      for (int k = 0; k <= 3; ++k) EXPECT_EQ(&c[i][j][k], start + ((i + 1) * 3 + (j - 2)) * 4 + k);
  release_c3tensor(c, -1, 0, 2, 4, 0, 3);
}

// Every allocator accepts an empty range in any dimension and its release is clean; the
// sanitizers catch a write past a zero-size table.
TEST(EmptyShapes, AllocateAndReleaseSafely) {
  release_vector(vector(1, 0), 1, 0);
  release_dvector(dvector(INT_MAX, INT_MAX - 1), INT_MAX, 0);
  release_matrix(matrix(1, 0, 1, 5), 1, 0, 1, 5);
  release_matrix(matrix(1, 5, 1, 0), 1, 5, 1, 0);
  release_double_matrix(double_matrix(1, 0, 1, 0), 1, 0, 1, 0);
  release_int_matrix(int_matrix(3, 2, 1, 4), 3, 2, 1, 4);
  float** a = matrix(1, 2, 1, 2);
  release_submatrix(submatrix(a, 2, 1, 1, 2, 1, 1), 1, 0, 1, 2);
  release_matrix(a, 1, 2, 1, 2);
  float flat[1] = {0};
  release_convert_matrix(convert_matrix(flat, 1, 0, 1, 1), 1, 0, 1, 1);
  release_convert_matrix(convert_matrix(flat, 1, 3, 1, 0), 1, 3, 1, 0);
  release_f3tensor(f3tensor(1, 0, 1, 3, 1, 2), 1, 0, 1, 3, 1, 2);
  release_f3tensor(f3tensor(1, 3, 1, 0, 1, 2), 1, 3, 1, 0, 1, 2);
  release_f3tensor(f3tensor(1, 3, 1, 2, 1, 0), 1, 3, 1, 2, 1, 0);
  release_c3tensor(c3tensor(1, 0, 1, 0, 1, 0), 1, 0, 1, 0, 1, 0);
}

TEST(RunTimeErrorDeathTest, PrintsThreeLinesVerbatimAndExitsWithOne) {
  EXPECT_RUN_TIME_ERROR(run_time_error("100% sure: %s %d %n"), "100% sure: %s %d %n");
  EXPECT_RUN_TIME_ERROR(run_time_error(""), "");
}

TEST(AllocationFailureDeathTest, InvertedRangesReportTheRequestThatCannotBeMade) {
  EXPECT_RUN_TIME_ERROR(vector(1, -1), "allocation failure in vector()");
  EXPECT_RUN_TIME_ERROR(ivector(0, -2), "allocation failure in ivector()");
  EXPECT_RUN_TIME_ERROR(cvector(5, 1), "allocation failure in cvector()");
  EXPECT_RUN_TIME_ERROR(lvector(5, 1), "allocation failure in lvector()");
  EXPECT_RUN_TIME_ERROR(dvector(5, 1), "allocation failure in dvector()");
  EXPECT_RUN_TIME_ERROR(matrix(3, 1, 1, 2), "allocation failure 1 in matrix()");
  EXPECT_RUN_TIME_ERROR(double_matrix(1, 2, 3, 1), "allocation failure 2 in matrix()");
  EXPECT_RUN_TIME_ERROR(int_matrix(1, 0, 3, 1), "allocation failure 2 in matrix()");
  float** a = matrix(1, 2, 1, 2);
  EXPECT_RUN_TIME_ERROR(submatrix(a, 2, 0, 1, 2, 1, 1), "allocation failure in submatrix()");
  release_matrix(a, 1, 2, 1, 2);
  float flat[4] = {};
  EXPECT_RUN_TIME_ERROR(convert_matrix(flat, 2, 0, 1, 2), "allocation failure in convert_matrix()");
  EXPECT_RUN_TIME_ERROR(convert_matrix(flat, 1, 2, 3, 1), "allocation failure in convert_matrix()");
  EXPECT_RUN_TIME_ERROR(f3tensor(2, 0, 1, 1, 1, 1), "allocation failure 1 in f3tensor()");
  EXPECT_RUN_TIME_ERROR(f3tensor(1, 1, 2, 0, 1, 1), "allocation failure 2 in f3tensor()");
  EXPECT_RUN_TIME_ERROR(f3tensor(1, 1, 1, 1, 2, 0), "allocation failure 3 in f3tensor()");
  EXPECT_RUN_TIME_ERROR(c3tensor(2, 0, 1, 1, 1, 1), "allocation failure 1 in c3tensor()");
  EXPECT_RUN_TIME_ERROR(c3tensor(1, 1, 2, 0, 1, 1), "allocation failure 2 in c3tensor()");
  EXPECT_RUN_TIME_ERROR(c3tensor(1, 1, 1, 1, 2, 0), "allocation failure 3 in c3tensor()");
}

// Shapes whose counts or products do not fit 32 bits would, sized in wrapping 32-bit
// arithmetic, ask for a block smaller than the shape; they are refused instead.
TEST(AllocationFailureDeathTest, ShapesBeyondThirtyTwoBitCountsAreRefused) {
  EXPECT_RUN_TIME_ERROR(vector(INT_MIN, INT_MAX), "allocation failure in vector()");
  EXPECT_RUN_TIME_ERROR(dvector(-1, INT_MAX), "allocation failure in dvector()");
  EXPECT_RUN_TIME_ERROR(matrix(1, 70000, 1, 70000), "allocation failure 2 in matrix()");
  EXPECT_RUN_TIME_ERROR(matrix(INT_MIN, INT_MAX, 1, 1), "allocation failure 1 in matrix()");
  EXPECT_RUN_TIME_ERROR(submatrix(nullptr, -1, INT_MAX, 1, 1, 1, 1), "allocation failure in submatrix()");
  float flat[1] = {};
  EXPECT_RUN_TIME_ERROR(convert_matrix(flat, 1, 70000, 1, 70000), "allocation failure in convert_matrix()");
  EXPECT_RUN_TIME_ERROR(f3tensor(1, 70000, 1, 70000, 1, 1), "allocation failure 2 in f3tensor()");
  EXPECT_RUN_TIME_ERROR(f3tensor(1, 1, 1, 70000, 1, 70000), "allocation failure 3 in f3tensor()");
  EXPECT_RUN_TIME_ERROR(c3tensor(1, 2000, 1, 2000, 1, 1000), "allocation failure 3 in c3tensor()");
}

TEST(AllocationFailureDeathTest, AHeapThatRefusesEndsTheProcess) {
  const int big = 64 << 20;
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), vector(1, big)), "allocation failure in vector()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), ivector(1, big)), "allocation failure in ivector()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), cvector(1, big)), "allocation failure in cvector()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), lvector(1, big)), "allocation failure in lvector()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), dvector(1, big)), "allocation failure in dvector()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), matrix(1, big, 1, 1)), "allocation failure 1 in matrix()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), matrix(1, 1, 1, big)), "allocation failure 2 in matrix()");
  float flat[1] = {};
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), convert_matrix(flat, 1, big, 1, 1)),
                        "allocation failure in convert_matrix()");
  float** a = matrix(1, 1, 1, 1);
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), submatrix(a, 1, big, 1, 1, 1, 1)),
                        "allocation failure in submatrix()");
  release_matrix(a, 1, 1, 1, 1);
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), f3tensor(1, big, 1, 1, 1, 1)), "allocation failure 1 in f3tensor()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), f3tensor(1, 1, 1, big, 1, 1)), "allocation failure 2 in f3tensor()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), f3tensor(1, 1, 1, 1, 1, big)), "allocation failure 3 in f3tensor()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), c3tensor(1, big, 1, 1, 1, 1)), "allocation failure 1 in c3tensor()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), c3tensor(1, 1, 1, big, 1, 1)), "allocation failure 2 in c3tensor()");
  EXPECT_RUN_TIME_ERROR((refuse_address_space(), c3tensor(1, 1, 1, 1, 1, big)), "allocation failure 3 in c3tensor()");
}
