// Correctly rounded elementary functions.
//
// Each function returns its exact mathematical value rounded once to the nearest number of its
// format, ties to even, for every input: the same bits on every platform and compiler the
// toolkit builds with. Every other toolkit routine calls these, never the C library's exp, log,
// sin, expf or logf, whose last bits differ from one C runtime to the next.
//
// Special values: overflow gives +inf; exp(-inf) = +0; results below the smallest subnormal
// round as IEEE 754 rounds them (to 0 or to the smallest subnormal); log(+-0) = -inf; log of a
// negative number or of -inf is NaN; log(+inf) = +inf; sin and cos of +-inf are NaN; a NaN
// argument gives a NaN; sin(-0) = -0; exp(0) = 1, log(1) = +0, cos(0) = 1 exactly.
//
// The functions assume the default rounding mode (round to nearest); under another mode they
// still return a finite or special value, but its last bit is not specified. They never read or
// set errno or the floating-point environment, allocate nothing and keep no state, so they are
// safe to call from any number of threads.
#ifndef NUMERICS_ELEMENTARY_H
#define NUMERICS_ELEMENTARY_H

#include "numerics/export.h"

namespace numerics {

// e^x, correctly rounded for every double x: overflow (x > 709.78...) gives +inf, results
// below half the smallest subnormal (x < -745.13...) give +0, subnormal results are rounded at
// their own precision. A double-double evaluation with a proven relative error below 2^-67
// decides all but about one argument in 10^4; those take a 256-bit evaluation of a few
// microseconds.
NUMERICS_API double cr_exp(double x);

// The natural logarithm of x, correctly rounded for every double x (subnormal x included). A
// table-driven double-double evaluation with a proven relative error below 2^-67 decides all
// but about one argument in 10^4; those take a 256-bit evaluation of about ten microseconds.
NUMERICS_API double cr_log(double x);

// The sine of x (radians), correctly rounded for every double x: the argument is reduced
// exactly, however large (up to DBL_MAX), and sin x = x for |x| < 2^-26, subnormal x included.
// A table-driven double-double evaluation with a proven relative error below 2^-70 decides all
// but about one argument in 40 000; those take a 256-bit evaluation of about five microseconds.
NUMERICS_API double cr_sin(double x);

// The cosine of x (radians), correctly rounded for every double x, however large; cos x = 1 for
// |x| < 2^-27. The same two paths as cr_sin, the slow one as rare and as costly.
NUMERICS_API double cr_cos(double x);

// e^x in single precision, correctly rounded for every float x (checked against MPFR over all
// 2^32 floats). A table-driven evaluation in double decides all but 69 floats (about one in
// five million arguments of moderate size); those lie too near a rounding boundary and take an
// evaluation in double-double, some 200 times slower (about half a microsecond).
NUMERICS_API float cr_expf(float x);

// The natural logarithm of x in single precision, correctly rounded for every float x (checked
// against MPFR over all 2^32 floats). A table-driven evaluation in double decides all but 990
// floats (about one positive float in two million); those lie too near a rounding boundary and
// take an evaluation in double-double, some 100 times slower (about 0.3 microseconds).
NUMERICS_API float cr_logf(float x);

}  // namespace numerics

#endif
