// Prints the vector path this machine and build choose, checks that each narrower path can be
// forced, and compares every path with the reference form on a spread of shapes and kinds of
// entries. Exit status 0 when every output is bit for bit the reference's.
#include <stdio.h>

#include "bit_identity/linear_algebra_cases.h"
#include "numerics/detail/cpu_dispatch.h"

using bit_identity::kind;
using numerics::detail::vector_path;

namespace {

const char* const path_names[] = {"sse2", "avx2", "avx512"};

struct tally {
  void add(const bit_identity::outcome& o) {
    ++checks;
    if (!o.same && ++failures <= 10) printf("DIFFERS: %s\n", o.message);
  }
  int checks = 0;
  int failures = 0;
};

}  // namespace

int main() {
  const vector_path widest = numerics::detail::supported_vector_path();
  printf("vector path: %s\n", path_names[static_cast<int>(widest)]);
  tally t;
  for (int p = 0; p <= static_cast<int>(widest); ++p) {
    if (!numerics::detail::force_vector_path(static_cast<vector_path>(p)) ||
        numerics::detail::active_vector_path() != static_cast<vector_path>(p)) {
      printf("cannot force the %s path\n", path_names[p]);
      ++t.failures;
    }
  }
  numerics::detail::force_vector_path(widest);

  const int sizes[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 24, 31, 32, 33, 40};
  const kind jacobi_kinds[] = {kind::random, kind::rank_deficient, kind::diagonal, kind::small_integers};
  const kind gaussj_kinds[] = {kind::random, kind::tiny, kind::huge, kind::small_integers};
  for (const int s : sizes) {
    for (const kind k : bit_identity::all_kinds) {
      t.add(bit_identity::svd(k, s, s, s));
      t.add(bit_identity::svd(k, s + s / 2 + 1, s, s + 1));
      t.add(bit_identity::svd(k, s / 2 + 1, s, s + 2));
      t.add(bit_identity::back_substitute(k, s + 2, s, s));
      t.add(bit_identity::least_squares_fit(k, 2 * s + 3, s % 9 + 1, s));
      t.add(bit_identity::pseudo_inverse(k, s, s));
      t.add(bit_identity::matrix_multiply(k, s, s % 7 + 1, s + 3, s));
    }
    for (const kind k : jacobi_kinds) t.add(bit_identity::jacobi(k, s, s));
    for (const kind k : gaussj_kinds) t.add(bit_identity::gaussj(k, s, s % 4, s));
  }
  printf("%d checks on %d vector paths, %d differ\n", t.checks, static_cast<int>(widest) + 1, t.failures);
  return t.failures == 0 ? 0 : 1;
}
