#include "mpfr_reference.h"

#include <mpfr.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace numerics_test {
namespace {

// Evaluates f at x with `precision` significant bits and the exponent range of the target
// format, so that mpfr_subnormalize rounds subnormal results exactly as IEEE 754 does.
// The working value keeps 300 bits before the one rounding to the target.
template <typename T>
T evaluate(elementary f, T x, mpfr_prec_t precision, mpfr_exp_t emin, mpfr_exp_t emax) {
  const mpfr_exp_t old_emin = mpfr_get_emin();
  const mpfr_exp_t old_emax = mpfr_get_emax();
  mpfr_t in, out;
  mpfr_init2(in, 64);
  mpfr_init2(out, precision);
  mpfr_set_d(in, static_cast<double>(x), MPFR_RNDN);
  mpfr_set_emin(emin);
  mpfr_set_emax(emax);
  int inexact = 0;
  switch (f) {
    case elementary::exp:
      inexact = mpfr_exp(out, in, MPFR_RNDN);
      break;
    case elementary::log:
      inexact = mpfr_log(out, in, MPFR_RNDN);
      break;
    case elementary::sin:
      inexact = mpfr_sin(out, in, MPFR_RNDN);
      break;
    case elementary::cos:
      inexact = mpfr_cos(out, in, MPFR_RNDN);
      break;
  }
  inexact = mpfr_check_range(out, inexact, MPFR_RNDN);
  mpfr_subnormalize(out, inexact, MPFR_RNDN);
  T result;
  if constexpr (sizeof(T) == sizeof(float)) {
    result = mpfr_get_flt(out, MPFR_RNDN);
  } else {
    result = mpfr_get_d(out, MPFR_RNDN);
  }
  mpfr_set_emin(old_emin);
  mpfr_set_emax(old_emax);
  mpfr_clear(in);
  mpfr_clear(out);
  return result;
}

}  // namespace

// binary64: 53 bits, normal exponents up to 2^1023 (MPFR's are one higher: 1024), the
// smallest subnormal 2^-1074 (MPFR exponent -1073).
double correctly_rounded(elementary f, double x) { return evaluate(f, x, 53, -1073, 1024); }

// binary32: 24 bits, up to 2^127, the smallest subnormal 2^-149.
float correctly_rounded(elementary f, float x) { return evaluate(f, x, 24, -148, 128); }

std::vector<hard_case> elementary_hard_cases() {
  std::ifstream in(NUMERICS_TEST_REFERENCE_DIR "/elementary_hard_cases.txt");
  if (!in) throw std::runtime_error("cannot read elementary_hard_cases.txt");
  std::vector<hard_case> cases;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string function, x, expected;
    fields >> function >> x >> expected;
    cases.push_back({function, std::strtod(x.c_str(), nullptr), std::strtod(expected.c_str(), nullptr)});
  }
  return cases;
}

}  // namespace numerics_test
