// A heap that refuses one request, each request of a call in turn: the call reports the
// message of that request, and everything it had obtained before is released again.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "counted_heap.h"
#include "error_of.h"
#include "numerics/numerics.h"

using namespace numerics;
using errors_test::error_of;
using errors_test::Grid;
using errors_test::LineFit;
using errors_test::Vec;
using Messages = std::vector<std::string>;

namespace {

// Runs `call` with its first request refused, then its second, and so on until it completes;
// returns the messages of the failed runs in order. error_of checks that each left no block.
Messages messages_while_heap_refuses(const std::function<void()>& call) {
  Messages messages;
  for (int skipped = 0; skipped < 100; ++skipped) {
    const std::string outcome = error_of([&] {
      counted_heap::refuse_request(skipped);
      call();
    });
    counted_heap::refuse_none();
    if (outcome == "(returned)") return messages;
    messages.push_back(outcome);
  }
  ADD_FAILURE() << "the call kept failing";
  return messages;
}

const std::string matrix_1 = "allocation failure 1 in matrix()";
const std::string matrix_2 = "allocation failure 2 in matrix()";
const std::string in_vector = "allocation failure in vector()";
const std::string in_ivector = "allocation failure in ivector()";

TEST(HeapRefusal, AllocatorsBuildAllOrNothing) {
  EXPECT_EQ(messages_while_heap_refuses([] { release_dvector(dvector(0, 3), 0, 3); }),
            Messages({"allocation failure in dvector()"}));
  EXPECT_EQ(messages_while_heap_refuses([] { release_matrix(matrix(1, 2, 1, 3), 1, 2, 1, 3); }),
            Messages({matrix_1, matrix_2}));
  EXPECT_EQ(messages_while_heap_refuses([] { release_int_matrix(int_matrix(0, 0, 0, 0), 0, 0, 0, 0); }),
            Messages({matrix_1, matrix_2}));
  EXPECT_EQ(messages_while_heap_refuses([] { release_f3tensor(f3tensor(1, 2, 1, 3, 1, 4), 1, 2, 1, 3, 1, 4); }),
            Messages({"allocation failure 1 in f3tensor()", "allocation failure 2 in f3tensor()",
                      "allocation failure 3 in f3tensor()"}));
  EXPECT_EQ(messages_while_heap_refuses([] { release_c3tensor(c3tensor(1, 1, 1, 1, 1, 1), 1, 1, 1, 1, 1, 1); }),
            Messages({"allocation failure 1 in c3tensor()", "allocation failure 2 in c3tensor()",
                      "allocation failure 3 in c3tensor()"}));
  Grid a(2, 2);
  float flat[4] = {};
  EXPECT_EQ(messages_while_heap_refuses([&] { release_submatrix(submatrix(a, 1, 2, 1, 2, 0, 0), 0, 1, 0, 1); }),
            Messages({"allocation failure in submatrix()"}));
  EXPECT_EQ(messages_while_heap_refuses([&] { release_convert_matrix(convert_matrix(flat, 1, 2, 1, 2), 1, 2, 1, 2); }),
            Messages({"allocation failure in convert_matrix()"}));
}

TEST(HeapRefusal, SortingAndRankCorrelation) {
  Vec<float> keys(50), companion(50);
  for (int i = 1; i <= 50; ++i) keys[i] = static_cast<float>((i * 37) % 50);
  EXPECT_EQ(messages_while_heap_refuses([&] { sort(50, keys); }), Messages({in_ivector}));
  EXPECT_EQ(messages_while_heap_refuses([&] { sort2(50, keys, companion); }), Messages({in_ivector}));
  float d, z, pd, rs, prs;
  // Two work vectors, then the stacks of the two sort2 calls.
  EXPECT_EQ(
      messages_while_heap_refuses([&] { spearman_rank_correlation(keys, companion, 50, &d, &z, &pd, &rs, &prs); }),
      Messages({in_vector, in_vector, in_ivector, in_ivector}));
}

TEST(HeapRefusal, LinearAlgebraReleasesEveryWorkArray) {
  const int n = 3;
  Grid a(n, n, 1.0f), u(n, n, 1.0f), v(n, n), covariance(n, n);
  Vec<float> w(n), ones(n, 1.0f), x(n), d(n);
  for (int i = 1; i <= n; ++i) a[i][i] = 2.0f;
  int rotations;
  float chi_square;
  EXPECT_EQ(messages_while_heap_refuses([&] { svd_decompose(u, n, n, w, v); }), Messages({in_vector}));
  EXPECT_EQ(messages_while_heap_refuses([&] { svd_back_substitute(u, w, v, n, n, ones, x); }), Messages({in_vector}));
  EXPECT_EQ(messages_while_heap_refuses([&] { svd_covariance(v, n, w, covariance); }), Messages({in_vector}));
  EXPECT_EQ(messages_while_heap_refuses([&] { jacobi(a, n, d, v, &rotations); }), Messages({in_vector, in_vector}));
  // The right-hand side and the basis values, then the work vectors of the decomposition and
  // of the back-substitution.
  EXPECT_EQ(messages_while_heap_refuses(
                [&] { svd_least_squares_fit(x, ones, ones, n, d, n, u, v, w, &chi_square, polynomial_basis); }),
            Messages({in_vector, in_vector, in_vector, in_vector}));
  // u and v (two blocks each), w, the three 0-based matrices, then the decomposition's vector.
  std::vector<float> a_elements(n * n, 1.0f), p_elements(n * n);
  std::vector<float*> a0(n), p0(n);
  for (int i = 0; i < n; ++i) {
    a0[static_cast<size_t>(i)] = &a_elements[static_cast<size_t>(i * n)];
    p0[static_cast<size_t>(i)] = &p_elements[static_cast<size_t>(i * n)];
  }
  EXPECT_EQ(messages_while_heap_refuses([&] { svd_pseudo_inverse(a0.data(), p0.data(), n); }),
            Messages({matrix_1, matrix_2, matrix_1, matrix_2, in_vector, matrix_1, matrix_2, matrix_1, matrix_2,
                      matrix_1, matrix_2, in_vector}));
}

TEST(HeapRefusal, FittingReleasesItsWorkArraysAndEndsTheFit) {
  Grid a(2, 2, 1.0f), b(2, 1, 1.0f);
  a[1][2] = 0.0f;
  EXPECT_EQ(messages_while_heap_refuses([&] { gaussj(a, 2, b, 1); }), Messages({in_ivector, in_ivector, in_ivector}));

  LineFit fit(false);
  EXPECT_EQ(messages_while_heap_refuses([&] {
              fit.step(-1.0f);
              fit.step(fit.lambda);
              fit.step(0.0f);
            }),
            Messages({// the starting call: its three vectors and its matrix, the model's derivatives,
                      // the three bookkeeping vectors of gaussj, the trial's derivatives
                      in_vector, in_vector, in_vector, matrix_1, matrix_2, in_vector, in_ivector, in_ivector,
                      in_ivector, in_vector,
                      // the step: gaussj, the trial's derivatives
                      in_ivector, in_ivector, in_ivector, in_vector,
                      // the final call: gaussj
                      in_ivector, in_ivector, in_ivector}));
  errors_test::expect_no_fit_in_progress();
}

}  // namespace
