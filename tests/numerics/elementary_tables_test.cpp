// The constants and tables of the elementary functions, entry by entry against MPFR. On a
// mismatch the message gives the entry as it must read.
#include <gtest/gtest.h>
#include <cstdint>

#include <mpfr.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bit_patterns.h"
#include "numerics/detail/exp2_table.h"
#include "numerics/detail/ln2.h"
#include "numerics/detail/log_table.h"

namespace {

using numerics::detail::double_double;
using numerics_test::same_bits;

// v as hi = v rounded to `hi_bits` bits, lo = (v - hi) rounded to double.
double_double split_to_double_double(const mpfr_t v, int hi_bits = 53) {
  mpfr_t rest, rounded;
  mpfr_init2(rest, 400);
  mpfr_init2(rounded, hi_bits);
  mpfr_set(rounded, v, MPFR_RNDN);
  const double hi = mpfr_get_d(rounded, MPFR_RNDN);
  mpfr_clear(rounded);
  mpfr_sub_d(rest, v, hi, MPFR_RNDN);
  const double lo = mpfr_get_d(rest, MPFR_RNDN);
  mpfr_clear(rest);
  return {hi, lo};
}

std::string hex(double x) {
  char text[40];
  std::snprintf(text, sizeof text, "%a", x);
  return text;
}

TEST(ElementaryTables, Exp2TableHoldsTwoToTheJOver128) {
  mpfr_t v;
  mpfr_init2(v, 400);
  for (int j = 0; j < 128; ++j) {
    mpfr_set_si(v, j, MPFR_RNDN);
    mpfr_div_ui(v, v, 128, MPFR_RNDN);
    mpfr_exp2(v, v, MPFR_RNDN);
    const double_double want = split_to_double_double(v, 26);
    const double_double got = numerics::detail::exp2_table[j];
    EXPECT_TRUE(same_bits(got.hi, want.hi) && same_bits(got.lo, want.lo))
        << "entry " << j << " must be {" << hex(want.hi) << ", " << hex(want.lo) << "}";
  }
  mpfr_clear(v);
}

TEST(ElementaryTables, LogTableHoldsReciprocalsAndTheirLogarithms) {
  mpfr_t v;
  mpfr_init2(v, 400);
  for (int i = 0; i < 256; ++i) {
    // c: 1 next to 1, else 1 / (the middle of the interval of m, halved from the halving
    // index on) rounded to 26 bits.
    double c = 1.0;
    if (i != 0 && i != 255) {
      mpfr_t c26;
      mpfr_init2(c26, 26);
      mpfr_set_d(v, 1.0 + (i + 0.5) / 256.0, MPFR_RNDN);
      if (i >= numerics::detail::log_table_halving_index) mpfr_div_ui(v, v, 2, MPFR_RNDN);
      mpfr_ui_div(c26, 1, v, MPFR_RNDN);
      c = mpfr_get_d(c26, MPFR_RNDN);
      mpfr_clear(c26);
    }
    mpfr_set_d(v, c, MPFR_RNDN);
    mpfr_log(v, v, MPFR_RNDN);
    mpfr_neg(v, v, MPFR_RNDN);
    const double_double want = split_to_double_double(v);
    const auto& got = numerics::detail::log_table[i];
    EXPECT_TRUE(same_bits(got.c, c) && got.minus_log_c.hi == want.hi && got.minus_log_c.lo == want.lo)
        << "entry " << i << " must be {" << hex(c) << ", {" << hex(want.hi) << ", " << hex(want.lo) << "}}";
  }
  mpfr_clear(v);
}

TEST(ElementaryTables, Ln2Constants) {
  mpfr_t ln2, rest;
  mpfr_init2(ln2, 400);
  mpfr_init2(rest, 400);
  mpfr_const_log2(ln2, MPFR_RNDN);
  // ln2_hi: ln 2 rounded to 42 bits; ln2_lo: the rest rounded to double.
  mpfr_t hi;
  mpfr_init2(hi, 42);
  mpfr_set(hi, ln2, MPFR_RNDN);
  EXPECT_EQ(numerics::detail::ln2_hi, mpfr_get_d(hi, MPFR_RNDN));
  mpfr_sub(rest, ln2, hi, MPFR_RNDN);
  EXPECT_EQ(numerics::detail::ln2_lo, mpfr_get_d(rest, MPFR_RNDN));
  // ln2_high: ln 2 rounded to 29 bits; ln2_middle and ln2_low: the rest, then what remains,
  // rounded to double.
  mpfr_t high;
  mpfr_init2(high, 29);
  mpfr_set(high, ln2, MPFR_RNDN);
  EXPECT_EQ(numerics::detail::ln2_high, mpfr_get_d(high, MPFR_RNDN));
  mpfr_sub(rest, ln2, high, MPFR_RNDN);
  EXPECT_EQ(numerics::detail::ln2_middle, mpfr_get_d(rest, MPFR_RNDN));
  mpfr_sub_d(rest, rest, numerics::detail::ln2_middle, MPFR_RNDN);
  EXPECT_EQ(numerics::detail::ln2_low, mpfr_get_d(rest, MPFR_RNDN));
  mpfr_clear(high);
  // wide_ln2: the first 256 bits of ln 2 (which lies in [1/2, 1)).
  const auto& w = numerics::detail::wide_ln2;
  EXPECT_FALSE(w.negative);
  EXPECT_EQ(w.exponent, 0);
  mpfr_set(rest, ln2, MPFR_RNDN);
  for (int i = 0; i < 4; ++i) {
    mpfr_mul_2ui(rest, rest, 64, MPFR_RNDN);
    mpfr_t word;
    mpfr_init2(word, 400);
    mpfr_trunc(word, rest);
    EXPECT_EQ(w.m[i], static_cast<uint64_t>(mpfr_get_uj(word, MPFR_RNDN))) << "word " << i;
    mpfr_sub(rest, rest, word, MPFR_RNDN);
    mpfr_clear(word);
  }
  mpfr_clears(ln2, rest, hi, static_cast<mpfr_ptr>(nullptr));
}

}  // namespace
