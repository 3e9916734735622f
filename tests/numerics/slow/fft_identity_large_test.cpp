// The fast transforms against the kept reference at the sizes that leave the caches: every
// power of two from 2^17 to 2^20, on every vector path this processor supports.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fft_identity.h"
#include "numerics/detail/cpu_dispatch.h"

namespace {

void expect_identical(const fft_identity::outcome& o, const std::string& what) {
  EXPECT_EQ(o.paths_checked, static_cast<int>(numerics::detail::supported_vector_path()) + 1) << what;
  EXPECT_EQ(o.mismatches, 0u) << what << ": first at " << o.first << " on path " << o.first_path;
}

std::string name(const std::string& routine, unsigned values, int sign, int kind) {
  return routine + " of " + std::to_string(values) + " values, sign " + std::to_string(sign) + ", " +
         fft_identity::kind_name(kind);
}

const int kinds[] = {fft_identity::random_values, fft_identity::signed_zeros, fft_identity::any_bits};

TEST(FftIdentityLarge, ComplexAndRealFftFrom2To17To2To20) {
  for (int power = 17; power <= 20; ++power) {
    const unsigned n = 1u << power;
    for (int sign : {1, -1}) {
      for (int kind : kinds) {
        expect_identical(fft_identity::check_complex_fft(n, sign, kind), name("complex_fft", n, sign, kind));
        expect_identical(fft_identity::check_real_fft(n, sign, kind), name("real_fft", n, sign, kind));
      }
    }
  }
}

TEST(FftIdentityLarge, MultidimensionalShapesUpTo2To20) {
  const std::vector<std::vector<unsigned>> shapes = {{1024, 1024}, {64, 64, 32}, {2, 262144}, {131072, 4}};
  for (const auto& dims : shapes) {
    unsigned values = 1;
    for (unsigned d : dims) values *= d;
    for (int sign : {1, -1}) {
      expect_identical(fft_identity::check_complex_fft_nd(dims.data(), static_cast<int>(dims.size()), sign, 0),
                       name("complex_fft_nd", values, sign, 0));
    }
  }
  for (const auto& s : std::vector<std::vector<unsigned>>{{64, 64, 32}, {1, 1024, 1024}, {128, 128, 64}}) {
    for (int sign : {1, -1}) {
      expect_identical(fft_identity::check_real_fft_3d(s[0], s[1], s[2], sign, 0),
                       name("real_fft_3d", s[0] * s[1] * s[2], sign, 0));
    }
  }
}

}  // namespace
