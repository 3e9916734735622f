// The fast transforms against the reference kept in fft_reference.cpp, bit for bit, on every
// vector path this processor supports. Sizes up to 2^16 here; tests/numerics/slow/ goes on to
// 2^20.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fft_identity.h"
#include "numerics/detail/cpu_dispatch.h"

namespace {

using fft_identity::outcome;

std::string described(const outcome& o) {
  return std::to_string(o.mismatches) + " outputs differ, the first at " + std::to_string(o.first) + " on path " +
         std::to_string(o.first_path);
}

void expect_identical(const outcome& o, const std::string& what) {
  const int paths = static_cast<int>(numerics::detail::supported_vector_path()) + 1;
  EXPECT_EQ(o.paths_checked, paths) << what;
  EXPECT_EQ(o.mismatches, 0u) << what << ": " << described(o);
}

std::string case_name(const std::string& routine, const std::string& size, int sign, int kind) {
  return routine + " " + size + ", sign " + std::to_string(sign) + ", " + fft_identity::kind_name(kind);
}

// Every data kind below 2^12 values; above, the kinds that take other code (random values and
// every bit pattern), to keep the sanitizer build quick.
std::vector<int> kinds_for(unsigned values) {
  if (values <= 4096) return {0, 1, 2, 3, 4, 5};
  return {fft_identity::random_values, fft_identity::any_bits};
}

TEST(FftIdentity, ComplexFftEveryPowerOfTwoTo2To16) {
  for (int power = 0; power <= 16; ++power) {
    const unsigned n = 1u << power;
    for (int sign : {1, -1, 0, 3}) {
      for (int kind : kinds_for(n)) {
        if (power > 12 && sign != 1 && sign != -1) continue;
        expect_identical(fft_identity::check_complex_fft(n, sign, kind),
                         case_name("complex_fft", std::to_string(n), sign, kind));
      }
    }
  }
}

TEST(FftIdentity, RealFftEveryPowerOfTwoTo2To16) {
  for (int power = 1; power <= 16; ++power) {
    const unsigned n = 1u << power;
    for (int sign : {1, -1, 0, 2}) {
      for (int kind : kinds_for(n)) {
        if (power > 12 && sign != 1 && sign != -1) continue;
        expect_identical(fft_identity::check_real_fft(n, sign, kind),
                         case_name("real_fft", std::to_string(n), sign, kind));
      }
    }
  }
}

// One to four dimensions, length-1 dimensions among them; shapes whose steps are single values,
// runs shorter than a vector, runs of many vectors, and dimensions too long for one table.
TEST(FftIdentity, ComplexFftNdShapes) {
  const std::vector<std::vector<unsigned>> shapes = {
      {1},      {2},      {64},        {1, 1},     {1, 16},      {16, 1},      {4, 8},
      {64, 2},  {32, 4},  {2, 4, 4},   {8, 1, 4},  {1, 4, 1, 8}, {2, 2, 2, 2}, {32, 32},
      {16, 64}, {256, 8}, {4, 2, 128}, {8, 8, 16}, {2, 2048},    {4096, 8},    {2, 2, 2, 512}};
  for (const auto& dims : shapes) {
    std::string shape;
    unsigned values = 1;
    for (unsigned d : dims) shape += (shape.empty() ? "" : "x") + std::to_string(d), values *= d;
    for (int sign : {1, -1, 2}) {
      for (int kind : kinds_for(values)) {
        expect_identical(fft_identity::check_complex_fft_nd(dims.data(), static_cast<int>(dims.size()), sign, kind),
                         case_name("complex_fft_nd", shape, sign, kind));
      }
    }
  }
}

// size1 = 1 (two dimensions), size3 = 2 (no twiddled recombination), shapes that are not cubic,
// and signs other than +-1 (the recombination alone).
TEST(FftIdentity, RealFft3dShapes) {
  const std::vector<std::vector<unsigned>> shapes = {{1, 1, 2},   {1, 4, 2},    {2, 2, 2},    {1, 8, 16},  {2, 4, 8},
                                                     {4, 2, 4},   {8, 16, 32},  {1, 32, 64},  {16, 8, 4},  {2, 64, 8},
                                                     {4, 4, 256}, {16, 16, 16}, {2, 2, 4096}, {1, 4, 8192}};
  for (const auto& s : shapes) {
    const std::string shape = std::to_string(s[0]) + "x" + std::to_string(s[1]) + "x" + std::to_string(s[2]);
    for (int sign : {1, -1, 0, 2}) {
      for (int kind : kinds_for(s[0] * s[1] * s[2])) {
        expect_identical(fft_identity::check_real_fft_3d(s[0], s[1], s[2], sign, kind),
                         case_name("real_fft_3d", shape, sign, kind));
      }
    }
  }
}

}  // namespace
