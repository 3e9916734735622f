// ln 2 at the precisions the elementary functions need; tests/numerics/elementary_tables_test.cpp
// checks each against MPFR.
#ifndef NUMERICS_DETAIL_LN2_H
#define NUMERICS_DETAIL_LN2_H

#include "numerics/detail/wide_float.h"

namespace numerics::detail {

// ln 2 = ln2_hi + ln2_lo to about 2^-98; ln2_hi has 42 significant bits, so e * ln2_hi is
// exact for every binary exponent e of a double.
constexpr double ln2_hi = 0x1.62e42fefa38p-1;
constexpr double ln2_lo = 0x1.ef35793c7673p-45;

// ln 2 = ln2_high + ln2_middle + ln2_low to about 2^-143, the first of 29 bits, so that its
// products with 24-bit integers are exact (the float functions' accurate paths).
constexpr double ln2_high = 0x1.62e42ffp-1;
constexpr double ln2_middle = -0x1.718432a1b0e26p-35;
constexpr double ln2_low = -0x1.9ff0342542fc3p-90;

// ln 2 truncated to 256 bits.
constexpr wide_float wide_ln2 = {
    false, 0, {0xb17217f7d1cf79abull, 0xc9e3b39803f2f6afull, 0x40f343267298b62dull, 0x8a0d175b8baafa2bull}};

}  // namespace numerics::detail

#endif
