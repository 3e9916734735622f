// Every message the toolkit reports, reached once under the throwing handler: the exception
// carries exactly the message, the routine leaves no heap block behind (error_of), and its
// outputs are as its header says.
#include <gtest/gtest.h>
#include <math.h>

#include <climits>
#include <string>

#include "error_of.h"
#include "numerics/detail/element_moves.h"
#include "numerics/detail/quicksort.h"
#include "numerics/numerics.h"

using namespace numerics;
using errors_test::error_of;
using errors_test::Grid;
using errors_test::LineFit;
using errors_test::Vec;

namespace {

TEST(EveryMessage, AllocatorsReleaseWhatTheyHadWhenALaterRequestCannotBeMade) {
  float flat[6] = {};
  float** a = matrix(1, 2, 1, 2);
  EXPECT_EQ(error_of([] { vector(1, -1); }), "allocation failure in vector()");
  EXPECT_EQ(error_of([] { ivector(0, -2); }), "allocation failure in ivector()");
  EXPECT_EQ(error_of([] { cvector(5, 1); }), "allocation failure in cvector()");
  EXPECT_EQ(error_of([] { lvector(INT_MIN, INT_MAX); }), "allocation failure in lvector()");
  EXPECT_EQ(error_of([] { dvector(5, 1); }), "allocation failure in dvector()");
  // The second and third requests of these fail after the first ones were granted.
  EXPECT_EQ(error_of([] { matrix(3, 1, 1, 2); }), "allocation failure 1 in matrix()");
  EXPECT_EQ(error_of([] { matrix(1, 2, 3, 1); }), "allocation failure 2 in matrix()");
  EXPECT_EQ(error_of([] { double_matrix(1, 70000, 1, 70000); }), "allocation failure 2 in matrix()");
  EXPECT_EQ(error_of([] { int_matrix(1, 0, 3, 1); }), "allocation failure 2 in matrix()");
  EXPECT_EQ(error_of([&] { submatrix(a, 2, 0, 1, 2, 1, 1); }), "allocation failure in submatrix()");
  EXPECT_EQ(error_of([&] { convert_matrix(flat, 1, 2, 3, 1); }), "allocation failure in convert_matrix()");
  EXPECT_EQ(error_of([] { f3tensor(2, 0, 1, 1, 1, 1); }), "allocation failure 1 in f3tensor()");
  EXPECT_EQ(error_of([] { f3tensor(1, 2, 2, 0, 1, 1); }), "allocation failure 2 in f3tensor()");
  EXPECT_EQ(error_of([] { f3tensor(1, 2, 1, 3, 2, 0); }), "allocation failure 3 in f3tensor()");
  EXPECT_EQ(error_of([] { c3tensor(INT_MIN, INT_MAX, 1, 1, 1, 1); }), "allocation failure 1 in c3tensor()");
  EXPECT_EQ(error_of([] { c3tensor(1, 70000, 1, 70000, 1, 1); }), "allocation failure 2 in c3tensor()");
  EXPECT_EQ(error_of([] { c3tensor(1, 2000, 1, 2000, 1, 1000); }), "allocation failure 3 in c3tensor()");
  release_matrix(a, 1, 2, 1, 2);
  // Any message, passed on as it is.
  EXPECT_EQ(error_of([] { run_time_error("100% sure: %s %n"); }), "100% sure: %s %n");
}

TEST(EveryMessage, SortingAndSelection) {
  // A stack of one pending range fills at the first push; the sorts' own stacks never do for
  // arrays that fit in memory.
  Vec<float> keys(100), companion(100);
  for (int i = 1; i <= 100; ++i) keys[i] = static_cast<float>(100 - i);
  const detail::Keys<float> alone{keys};
  const detail::KeysWithCompanions pairs{keys, companion};
  EXPECT_EQ(error_of([&] { detail::quicksort(alone, 100, 2, "NSTACK too small in sort."); }),
            "NSTACK too small in sort.");
  EXPECT_EQ(error_of([&] { detail::quicksort(pairs, 100, 2, "NSTACK too small in sort2."); }),
            "NSTACK too small in sort2.");
  // The arrays are still a permutation of what they held.
  float sum = 0.0f;
  for (int i = 1; i <= 100; ++i) sum += keys[i];
  EXPECT_EQ(sum, 4950.0f);

  Vec<float> v(3, 1.0f);
  Vec<uint16_t> w(3, 1);
  EXPECT_EQ(error_of([&] { kth_smallest(4, 3, v); }), "k out of range in kth_smallest");
  EXPECT_EQ(error_of([&] { kth_smallest_u16(0, 3, w); }), "k out of range in kth_smallest_u16");
  // A count beyond the int range of the work vectors.
  float d = 0.0f, z = 0.0f, pd = 0.0f, rs = 0.0f, prs = 0.0f;
  EXPECT_EQ(error_of([&] { spearman_rank_correlation(v, v, 0x80000001u, &d, &z, &pd, &rs, &prs); }),
            "allocation failure in vector()");
}

TEST(EveryMessage, SpecialFunctionsAndTheLineFit) {
  float result = -1.0f, log_gamma_of_a = -1.0f;
  EXPECT_EQ(error_of([] { gammq(2.0f, -1.0f); }), "Invalid arguments in routine gammq");
  EXPECT_EQ(error_of([&] { gser(&result, 2.0f, -0.5f, &log_gamma_of_a); }), "x less than 0 in routine gser");
  EXPECT_EQ(result, -1.0f);  // the result is not written; ln Gamma(a) is
  EXPECT_NEAR(log_gamma_of_a, 0.0f, 1e-6f);
  EXPECT_EQ(error_of([&] { gser(&result, NAN, 1.0f, &log_gamma_of_a); }),
            "a too large, ITMAX too small in routine gser");
  EXPECT_EQ(error_of([&] { gcf(&result, 1.0f, NAN, &log_gamma_of_a); }), "a too large, ITMAX too small in gcf");

  // A weighted fit of two points has no degrees of freedom for its goodness of fit.
  Vec<float> x(2), y(2), sdev(2, 1.0f);
  x[2] = y[2] = 1.0f;
  float out[6] = {-1, -1, -1, -1, -1, -1};
  EXPECT_EQ(error_of([&] { fit_line(x, y, 2, sdev, 1, &out[0], &out[1], &out[2], &out[3], &out[4], &out[5]); }),
            "Invalid arguments in routine gammq");
  EXPECT_EQ(out[1], 1.0f);  // everything but the goodness is written
  EXPECT_EQ(out[5], -1.0f);
}

TEST(EveryMessage, FourierTransformsCheckBeforeTheyWrite) {
  Vec<float> data(16, 7.0f);
  const unsigned bad_dims[3] = {0, 4, 3};
  const unsigned huge_dims[3] = {0, 1u << 16, 1u << 16};
  EXPECT_EQ(error_of([&] { complex_fft(data, 3, 1); }), "n must be a power of two in complex_fft");
  EXPECT_EQ(error_of([&] { complex_fft(data, 1u << 31, 1); }), "n too large in complex_fft");
  EXPECT_EQ(error_of([&] { real_fft(data, 6, -1); }), "n must be a power of two, at least 2, in real_fft");
  EXPECT_EQ(error_of([&] { complex_fft_nd(data, bad_dims, 2, 1); }),
            "dimension lengths must be powers of two in complex_fft_nd");
  EXPECT_EQ(error_of([&] { complex_fft_nd(data, huge_dims, 2, 1); }), "too many values in complex_fft_nd");
  EXPECT_EQ(error_of([] { real_fft_3d(nullptr, nullptr, 2, 2, 1, 1); }),
            "sizes must be powers of two, size3 at least 2, in real_fft_3d");
  EXPECT_EQ(error_of([] { real_fft_3d(nullptr, nullptr, 1u << 16, 1u << 16, 2, 1); }),
            "too many values in real_fft_3d");
  for (int i = 1; i <= 16; ++i) EXPECT_EQ(data[i], 7.0f);

  // The tensor that is not one block, which ends the process silently by default.
  float*** tensor = f3tensor(1, 2, 1, 2, 1, 2);
  float*** other = f3tensor(1, 2, 1, 2, 1, 2);
  Grid nyquist(2, 4);
  float** own_second_row = tensor[2];
  tensor[2] = other[2];
  EXPECT_EQ(error_of([&] { real_fft_3d(tensor, nyquist, 2, 2, 2, 1); }), "the tensor is not one block in real_fft_3d");
  tensor[2] = own_second_row;
  release_f3tensor(other, 1, 2, 1, 2, 1, 2);
  release_f3tensor(tensor, 1, 2, 1, 2, 1, 2);
}

TEST(EveryMessage, GaussJordanAndJacobiGiveUpWithTheirWorkVectorsReleased) {
  Grid zero_row(2, 2, 1.0f), all_nan(2, 2, NAN);
  zero_row[2][1] = zero_row[2][2] = 0.0f;
  EXPECT_EQ(error_of([&] { gaussj(zero_row, 2, nullptr, 0); }), "gaussj: Singular Matrix-2");
  EXPECT_EQ(error_of([&] { gaussj(all_nan, 2, nullptr, 0); }), "gaussj: Singular Matrix-1");

  Grid a(2, 2, NAN), v(2, 2);
  Vec<float> d(2);
  int rotations = 0;
  EXPECT_EQ(error_of([&] { jacobi(a, 2, d, v, &rotations); }), "Too many iterations in routine jacobi");
}

TEST(EveryMessage, LevenbergMarquardtEndsItsFitOnEveryError) {
  LineFit fit(false);
  EXPECT_EQ(error_of([&] { fit.step(0.001f); }), "lm_step: no fit in progress");
  EXPECT_EQ(error_of([&] { fit.step(0.0f); }), "lm_step: no fit in progress");
  errors_test::expect_no_fit_in_progress();

  // Fitting a parameter the model ignores: the starting call's step fails in gaussj.
  LineFit singular(true);
  EXPECT_EQ(error_of([&] { singular.step(-1.0f); }), "gaussj: Singular Matrix-2");
  errors_test::expect_no_fit_in_progress();

  // An error in a later step, once the fit is under way: here the model's own.
  LineFit later(false);
  EXPECT_EQ(error_of([&] {
              later.step(-1.0f);
              later.step(later.lambda,
                         [](float, const float*, float*, float*, int) { run_time_error("model failed"); });
            }),
            "model failed");
  errors_test::expect_no_fit_in_progress();
}

}  // namespace
