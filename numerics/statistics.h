// Special functions, sample statistics and tests, significance levels and their inverses,
// random deviates.
//
// Data are single-precision floats; each routine widens to double only for the steps where
// that is part of its result, so results are reproducible to the bit and are as accurate as
// those float steps allow, not more. Routines that end the process do so through
// `run_time_error` (numerics/arrays.h): three lines on standard error, exit status 1.
//
// A NaN argument fails every ordered comparison, so it passes the argument checks and runs
// into the evaluation. Every loop in this header is bounded: NaN ends either in the
// iteration-limit message of gser/gcf or in a NaN (or documented constant) result.
//
// Samples are 1-based float arrays, data[1..n], with an unsigned count n. Only the random
// deviates keep state (process-wide, without locks: calls must not overlap across threads);
// every other routine may run on any number of threads at once, given distinct arrays.
//
// After an error that a handler turns into an exception (numerics/arrays.h): gammq, gser and
// gcf leave *result unwritten (gser and gcf have written *log_gamma_of_a);
// ks_two_sample_statistic leaves its arrays a permutation of their input and *d unwritten;
// spearman_rank_correlation has released its work vectors and written none of its outputs.
#ifndef NUMERICS_STATISTICS_H
#define NUMERICS_STATISTICS_H

#include "numerics/export.h"

namespace numerics {

// ---------------------------------------------------------------------------------------------
// Special functions

// ln Gamma(x) for x > 0 by a six-term rational approximation, absolute error below about
// 2e-10. No argument check: x <= 0 gives whatever the logarithm of the approximation gives.
NUMERICS_API double log_gamma(double x);

// Regularised upper incomplete gamma function Q(a, x) = 1 - P(a, x), for a > 0 and x >= 0.
// Uses the series (gser) when x < a + 1 and the continued fraction (gcf) otherwise, the
// comparison made in double. Ends the process with "Invalid arguments in routine gammq" when
// x < 0 or a <= 0. gammq(a, 0) is exactly 1.
//
// Accuracy: both paths end by multiplying with expf(-x + a*logf(x) - ln Gamma(a)), formed in
// float from terms of size about |a ln x| whose rounding errors do not cancel: the result
// loses about |a ln x| float units (units of 2^-24, relative). That is a few units for a
// below 10, but a relative error of about 3e-4 at a = 1e3, 1e-3 to 2e-3 at a = 1e4 and 5e-2
// to 1e-1 at a = 1e5; near a = 1e6 no digit is left, and beyond that the result can be
// anything from 0 to infinity (on the series path, 1 minus such a value). A bound that holds
// is 4 (1 + x + |a ln x| + |ln Gamma(a)|) 2^-24, relative to Q on the fraction path and
// absolute on the series path. Iterations never run out for a finite a > 0 and x >= 0 (see
// gser and gcf), so large a costs accuracy, never the process; the exceptions are the
// degenerate floats named there. x = +infinity gives 0 (through gcf); NaN arguments end in
// the gcf message.
NUMERICS_API float gammq(float a, float x);

// Series for P(a, x), valid for x < a + 1. Stores ln Gamma(a) (rounded to float) in
// *log_gamma_of_a first, then P(a, x) in *result; x = 0 gives exactly 0. Ends the process
// with "x less than 0 in routine gser" when x < 0, and with "a too large, ITMAX too small in
// routine gser" when the series does not settle within 5,000,000 terms. That limit covers
// every a > 0 and 0 <= x < a + 1: the terms shrink by the factor x/k <= 1, and the slowest
// case, factor exactly 1 (a >= 2^24, where k + 1 rounds back to k in float, and x = a), needs
// about 3.5 million terms. What still ends in the message: NaN arguments, and a so small that
// the float sum, about e^x / a, overflows (a below 3e-39, whose reciprocal already overflows,
// and a below about 8e-39 as x nears 1).
NUMERICS_API void gser(float* result, float a, float x, float* log_gamma_of_a);

// Continued fraction for Q(a, x), valid for x >= a + 1. Stores ln Gamma(a) (rounded to
// float) in *log_gamma_of_a first, then Q(a, x) in *result; x = +infinity with a finite
// a > 0 gives exactly 0. Ends the process with "a too
// large, ITMAX too small in gcf" when the fraction does not settle within 100,000 steps.
// The need peaks near 23,000 steps (a around 2e11, x just above a + 1) over the whole float
// range, so that happens only for NaN arguments and for a >= 2^53 with x = a, which the
// double test x >= a + 1 lets through (a + 1 rounds to a) and where the fraction starts
// with a division by zero.
NUMERICS_API void gcf(float* result, float a, float x, float* log_gamma_of_a);

// Regularised incomplete beta function I_x(a, b) for a, b > 0 and 0 <= x <= 1, by a
// continued fraction (on 1 - x with a and b swapped when x lies above the mean). Returns 0,
// silently, for x < 0 or x > 1; I_0 = 0 and I_1 = 1. When a + b exceeds the float range
// (FLT_MAX) the values between the ends are NaN.
NUMERICS_API float incomplete_beta(float a, float b, float x);

// The continued fraction behind incomplete_beta, evaluated in double. Gives up after 100
// steps and returns its current approximation without any report; that happens near the
// mean (a + 1)/(a + b + 2) once a and b reach about 3e4 (where the float front factor of
// incomplete_beta has already lost most digits), and for NaN arguments, which give NaN.
NUMERICS_API float incomplete_beta_fraction(double a, double b, double x);

// erfc(x) by a fitted formula, relative error below about 1.2e-7 plus float rounding, for
// every x; erfc(0) is exactly 1 and erfc(-x) = 2 - erfc(x). NaN gives NaN.
NUMERICS_API float complementary_error_function(float x);

// Kolmogorov-Smirnov significance Q_KS(lambda) = 2 sum_{j>=1} (-1)^(j-1) exp(-2 j^2 lambda^2).
// Returns 1.0 when 100 terms do not settle the sum: for lambda below about 0.031 (0 included)
// and for NaN. Between there and about 0.3 the float sum may exceed 1 by a few rounding units
// (up to about 1e-6); it is not clamped.
NUMERICS_API float ks_probability(float lambda);

// ---------------------------------------------------------------------------------------------
// Sample statistics and tests. Results go out through the pointers; nothing is returned.

// Mean and unbiased variance of data[1..n] (corrected two-pass). n = 1 gives variance NaN
// (0/0); n = 0 gives NaN for both.
NUMERICS_API void mean_and_variance(const float data[], unsigned n, float* mean, float* variance);

// Student's t for the difference of the means of data1[1..n1] and data2[1..n2], with the
// pooled variance (n1 + n2 - 2 degrees of freedom). A pooled variance of exactly 0 gives t = 0.
// Only the statistic is computed; t_probability gives its significance.
NUMERICS_API void t_statistic_equal_variance(const float data1[], unsigned n1, const float data2[], unsigned n2,
                                             float* t);

// Welch's t, with each sample's own variance. t = 0 only when both variances are exactly 0;
// one zero variance does not take that path.
NUMERICS_API void t_statistic_unequal_variance(const float data1[], unsigned n1, const float data2[], unsigned n2,
                                               float* t);

// Two-sample Kolmogorov-Smirnov statistic: the largest distance between the empirical
// distribution functions of data1[1..n1] and data2[1..n2]. Sorts both arrays ascending in
// place (with sort, whose stack report "NSTACK too small in sort." can end the process).
// Values that occur in both samples are taken from both before the functions are compared,
// so {1} against {1, 1, 1} gives 0; samples without shared values give the distance of a
// walk that compares after every single value. NaN values, which sort places after all
// numbers, end the walk when it reaches one; they still count in n1 or n2. ks_probability gives
// the significance: Q_KS(sqrt(ne) d) roughly, ne = n1 n2 / (n1 + n2).
NUMERICS_API void ks_two_sample_statistic(float data1[], unsigned n1, float data2[], unsigned n2, float* d);

// Linear correlation coefficient of x[1..n] and y[1..n]; r = 0 when either sample does not
// vary (the root of the product of the sums of squares is not positive).
NUMERICS_API void correlation_coefficient(const float x[], const float y[], unsigned n, float* r);

// r as correlation_coefficient, and its two-sided significance with n - 2 degrees of freedom,
// without the special cases of correlation_probability: r = 1 gives a probability at or near
// 0, n = 2 gives NaN, and n < 2 wraps the unsigned n - 2 into a meaningless count.
NUMERICS_API void correlation_with_probability(const float x[], const float y[], unsigned n, float* r,
                                               float* probability);

// Running sums for a stream of pairs, owned by the caller, all set to 0 before the first pair:
// the count, sum of x, sum of y, and sums of squared x, squared y and cross deviations. Each
// deviation is taken from the running means that include its own pair, so the sums are not
// exactly those about the final means.

// Adds (x, y) to the sums and writes the correlation of all pairs so far (0 while either
// sample has not varied, as after the first pair).
NUMERICS_API void running_correlation_update(float x, float y, float* count, float* sum_x, float* sum_y, float* sum_xx,
                                             float* sum_yy, float* sum_xy, float* r);

// Adds (x, y) to the sums and writes the least-squares line y = intercept + slope x of all
// pairs so far and the mean of y; slope = 0 while x has not varied.
NUMERICS_API void running_regression_update(float x, float y, float* count, float* sum_x, float* sum_y, float* sum_xx,
                                            float* sum_yy, float* sum_xy, float* intercept, float* slope,
                                            float* mean_y);

// Replaces values[1..n], sorted ascending, by their ranks 1..n; equal values share the mean of
// their ranks. *tie_sum receives the sum of t^3 - t over the groups of t equal values (0
// without ties). {1, 2, 2, 3} becomes {1, 2.5, 2.5, 4} with tie sum 6.
NUMERICS_API void rank_with_ties(unsigned n, float values[], float* tie_sum);

// Spearman rank correlation of data1[1..n] and data2[1..n] (the arrays are not modified):
// *d = sum of squared rank differences, *z its standard score against its mean and variance
// under independence (ties accounted for), *probability_d the two-sided normal significance of
// z, *rs the rank correlation coefficient and *probability_rs its significance as
// correlation_probability(rs, n). When one sample of n >= 2 has a single value throughout,
// its ranks do not vary: rs and its probability are set to 0, and z and probability_d are
// left as the caller had them. n < 2 leaves nothing to rank against: n^3 - n is 0, so z,
// probability_d and rs are NaN (0/0), d is 0 and the probability of rs is 1. Allocates two
// work vectors of n floats ("allocation failure in vector()") and sorts with sort2 ("NSTACK
// too small in sort2.").
NUMERICS_API void spearman_rank_correlation(const float data1[], const float data2[], unsigned n, float* d, float* z,
                                            float* probability_d, float* rs, float* probability_rs);

// ---------------------------------------------------------------------------------------------
// Significance levels and their inverses. Counts are unsigned and enter as float values.

// Two-sided significance of a correlation coefficient r between n pairs (n - 2 degrees of
// freedom). n < 2 gives 1; r exactly 0 gives 1; r exactly 1 gives 0 (r = -1 has no special
// case and gives a value near 0). With n = 2 any other r gives NaN (0/0).
NUMERICS_API float correlation_probability(float r, unsigned n);

// Two-sided significance of Student's t with df degrees of freedom. No argument check;
// df = 0 gives NaN.
NUMERICS_API float t_probability(float t, unsigned df);

// Upper-tail significance of the ratio f with df1 numerator and df2 denominator degrees of
// freedom. f < 0 gives 0; f = 0 gives 1.
NUMERICS_API float f_probability(float f, unsigned df1, unsigned df2);

// Inverses: the statistic whose significance is p, found by exactly 25 halving steps over the
// matching significance routine, with no tolerance test and no bound (the result is within
// about the final step, 2^-18 of the first step, of the true value when p is bracketed).
// Each step evaluates the significance at the current value v and moves v down when p is
// above it, up otherwise (NaN included); the step is halved at every change of direction,
// counting the first move as following an upward one. Starts and first steps: t from 4 by 2,
// r from 0.4 by 0.2, F from 10 by 2. A p that cannot be reached keeps the search moving one
// way: t_for_probability(0, df) returns 4 + 25 * 2 = 54; a NaN p moves up every time.
NUMERICS_API float t_for_probability(float p, unsigned df);
NUMERICS_API float correlation_for_probability(float p, unsigned n);
NUMERICS_API float f_for_probability(float p, unsigned df1, unsigned df2);

// Quantile of the Rayleigh distribution of scale sqrt(2): the r >= 0 with
// exp(-r^2 / 4) = 1 - p, for 0 <= p < 1. p = 1 is replaced by 1 - 2^-23 and gives a finite
// radius (about 7.98); p = 0 gives -0.0 (the sign of -2 * 0); 1 < p < 2 gives a negative
// value, p = 2 gives 0; p < 0, p > 2 and NaN give NaN, except that a p so close to 0 that
// 1 - p rounds to 1 gives -0.0 as p = 0 does.
NUMERICS_API float rayleigh_quantile(float p);

// ---------------------------------------------------------------------------------------------
// Random deviates. Process-wide state, shared by every caller and seed: a 32-entry shuffle
// table and a spare normal deviate, without locks, so calls must not overlap across threads.

// Uniform deviate in (0, 1): a multiplicative congruential generator (multiplier 16807,
// modulus 2^31 - 1) behind a 32-entry shuffle table. The caller owns *seed: set it negative to
// start or restart a sequence, then pass the same int unchanged on every call. A seed <= 0, or
// the first call in the process, fills the table again: a negative seed starts from its
// magnitude; 0, -2^31 and any seed on the first call start from 1, so a positive first seed
// gives the sequence of -1. A later positive seed only continues the shared table. Results lie
// in (0, 0.99999988079071044921875] and are never 0 or 1 for seeds from -2147483646 to 0.
// -2147483647 starts from the modulus itself: the call returns 0.0 and leaves the seed at 0,
// so the next call starts again from 1.
NUMERICS_API float uniform_deviate(int* seed);

// Standard normal deviate by the polar method from pairs of uniform deviates (rejected pairs,
// about a fifth, are discarded). Each accepted pair gives two deviates: this call returns the
// second, v2 f, and keeps v1 f for the next call of normal_deviate in the process, whatever
// seed that call passes and even after the uniform sequence has been restarted.
NUMERICS_API float normal_deviate(int* seed);

}  // namespace numerics

#endif
