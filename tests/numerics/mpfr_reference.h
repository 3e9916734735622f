// Correctly rounded reference values from MPFR, for checking the toolkit's elementary
// functions bit for bit. Test-only: the toolkit itself never uses MPFR.
#ifndef TESTS_NUMERICS_MPFR_REFERENCE_H
#define TESTS_NUMERICS_MPFR_REFERENCE_H

#include <string>
#include <vector>

namespace numerics_test {

enum class elementary { exp, log, sin, cos };

// f(x) rounded once to the nearest double (ties to even), subnormal results included.
double correctly_rounded(elementary f, double x);

// f(x) rounded once to the nearest float (ties to even), subnormal results included.
float correctly_rounded(elementary f, float x);

// One line of tests/numerics/reference/elementary_hard_cases.txt.
struct hard_case {
  std::string function;  // "exp", "log", "sin" or "cos"
  double x;
  double expected;
};

// Every case of the committed list of hardest-to-round binary64 arguments.
std::vector<hard_case> elementary_hard_cases();

}  // namespace numerics_test

#endif
