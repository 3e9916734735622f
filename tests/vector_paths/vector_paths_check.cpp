// Runs the toolkit's vector kernels (the Fourier transforms and the dense linear algebra) on
// every path this processor supports, forced in turn, and compares their results bit for bit
// with the straightforward reference code. Needs the C runtime only, so that every build runs
// it, the Windows builds under Wine: there it shows that the paths are detected and run
// correctly by that compiler and C runtime. Prints the paths checked and each mismatch; exits
// with 0 when every result matched.
#include <stdio.h>

#include "bit_identity/linear_algebra_cases.h"
#include "fft_identity.h"
#include "numerics/detail/cpu_dispatch.h"

namespace {

const char* path_name(int path) {
  static const char* const names[] = {"SSE2", "AVX2", "AVX-512"};
  return path >= 0 && path <= 2 ? names[path] : "?";
}

int failures = 0;
int checks = 0;

void expect(const fft_identity::outcome& o, const char* routine, const char* shape, int sign, int kind) {
  ++checks;
  if (o.mismatches == 0 && o.paths_checked > 0) return;
  ++failures;
  printf("MISMATCH %s %s sign %d %s: %u outputs differ, the first at %u on %s\n", routine, shape, sign,
         fft_identity::kind_name(kind), o.mismatches, o.first, path_name(o.first_path));
}

void check_fourier() {
  char shape[64];
  for (int power = 0; power <= 12; ++power) {
    const unsigned n = 1u << power;
    snprintf(shape, sizeof shape, "%u", n);
    for (int sign = -1; sign <= 2; ++sign) {
      for (int kind = 0; kind < fft_identity::data_kind_count; ++kind) {
        expect(fft_identity::check_complex_fft(n, sign, kind), "complex_fft", shape, sign, kind);
        if (n >= 2) expect(fft_identity::check_real_fft(n, sign, kind), "real_fft", shape, sign, kind);
      }
    }
  }
  const unsigned shapes[][4] = {{1, 0, 0, 0},  {64, 0, 0, 0},  {1, 16, 0, 0},   {16, 1, 0, 0},  {32, 4, 0, 0},
                                {64, 2, 0, 0}, {16, 64, 0, 0}, {2, 4, 4, 0},    {8, 1, 4, 0},   {4, 2, 128, 0},
                                {1, 4, 1, 8},  {2, 2, 2, 2},   {4096, 8, 0, 0}, {2, 2048, 0, 0}};
  for (const auto& dims : shapes) {
    int count = 0;
    while (count < 4 && dims[count] != 0) ++count;
    snprintf(shape, sizeof shape, "%ux%ux%ux%u (%d dimensions)", dims[0], dims[1], dims[2], dims[3], count);
    for (int sign = -1; sign <= 2; ++sign) {
      for (int kind = 0; kind < fft_identity::data_kind_count; ++kind)
        expect(fft_identity::check_complex_fft_nd(dims, count, sign, kind), "complex_fft_nd", shape, sign, kind);
    }
  }
  const unsigned sizes[][3] = {{1, 1, 2},   {2, 2, 2},  {1, 8, 16},  {4, 2, 4},
                               {8, 16, 32}, {16, 8, 4}, {4, 4, 256}, {2, 2, 4096}};
  for (const auto& s : sizes) {
    snprintf(shape, sizeof shape, "%ux%ux%u", s[0], s[1], s[2]);
    for (int sign = -1; sign <= 2; ++sign) {
      for (int kind = 0; kind < fft_identity::data_kind_count; ++kind)
        expect(fft_identity::check_real_fft_3d(s[0], s[1], s[2], sign, kind), "real_fft_3d", shape, sign, kind);
    }
  }
}

void expect(const bit_identity::outcome& o) {
  ++checks;
  if (o.same) return;
  ++failures;
  printf("MISMATCH %s\n", o.message);
}

// Each routine on a spread of shapes and kinds of entries, every supported path against the
// reference form.
void check_linear_algebra() {
  using bit_identity::kind;
  const int sizes[] = {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 24, 31, 32, 33, 40};
  const kind jacobi_kinds[] = {kind::random, kind::rank_deficient, kind::diagonal, kind::small_integers};
  const kind gaussj_kinds[] = {kind::random, kind::tiny, kind::huge, kind::small_integers};
  for (const int s : sizes) {
    for (const kind k : bit_identity::all_kinds) {
      expect(bit_identity::svd(k, s, s, s));
      expect(bit_identity::svd(k, s + s / 2 + 1, s, s + 1));
      expect(bit_identity::svd(k, s / 2 + 1, s, s + 2));
      expect(bit_identity::back_substitute(k, s + 2, s, s));
      expect(bit_identity::least_squares_fit(k, 2 * s + 3, s % 9 + 1, s));
      expect(bit_identity::pseudo_inverse(k, s, s));
      expect(bit_identity::matrix_multiply(k, s, s % 7 + 1, s + 3, s));
    }
    for (const kind k : jacobi_kinds) expect(bit_identity::jacobi(k, s, s));
    for (const kind k : gaussj_kinds) expect(bit_identity::gaussj(k, s, s % 4, s));
  }
}

// Every narrower path can be forced, and is then the one in use.
void check_forcing(int supported) {
  for (int p = 0; p <= supported; ++p) {
    const auto path = static_cast<numerics::detail::vector_path>(p);
    ++checks;
    if (numerics::detail::force_vector_path(path) && numerics::detail::active_vector_path() == path) continue;
    ++failures;
    printf("MISMATCH cannot force the %s path\n", path_name(p));
  }
  numerics::detail::force_vector_path(static_cast<numerics::detail::vector_path>(supported));
}

}  // namespace

int main() {
  const int supported = static_cast<int>(numerics::detail::supported_vector_path());
  printf("vector paths checked:");
  for (int p = 0; p <= supported; ++p) printf(" %s", path_name(p));
  printf("\n");
  check_forcing(supported);
  check_fourier();
  check_linear_algebra();
  printf("%d checks, %d with mismatches\n", checks, failures);
  return failures == 0 ? 0 : 1;
}
