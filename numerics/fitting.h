// Model fitting: the least-squares straight line, Gauss-Jordan elimination with full pivoting,
// and Levenberg-Marquardt fitting of models that depend non-linearly on their parameters.
//
// All vectors and matrices are the 1-based offset arrays of numerics/arrays.h: a vector of n
// elements is indexed 1..n, a matrix is a table of row pointers indexed m[row][col] from 1.
// Data are single-precision floats; the few steps that widen to double are stated below, and
// results are reproducible bit for bit on any platform with IEEE arithmetic and no fused
// multiply-add.
//
// After an error that a handler turns into an exception (numerics/arrays.h), or an exception
// from a model, every routine has released its work storage; what each leaves in its outputs
// is said at the routine.
#ifndef NUMERICS_FITTING_H
#define NUMERICS_FITTING_H

#include "numerics/export.h"

namespace numerics {

// Least-squares fit of the line y = intercept + slope * x to x[1..count], y[1..count].
//
// With use_sdev nonzero, point i has the standard deviation sdev[1..count] and weight
// 1 / sdev[i]^2; the outputs are the intercept and slope, their standard uncertainties,
// chi-square and the goodness of fit gammq((count - 2) / 2, chi_square / 2). With use_sdev 0,
// sdev is not read, all points weigh alike, the uncertainties are scaled by the scatter
// sqrt(chi_square / (count - 2)) of the residuals and goodness is exactly 1.
//
// All six outputs are written on every call that returns. Bad input:
// - weighted fit with count <= 2: ends the process with "Invalid arguments in routine gammq"
//   (everything but goodness has been written by then);
// - unweighted fit with count == 2: the uncertainties come out infinite or NaN;
// - a zero standard deviation, or abscissas that are all equal: infinite or NaN results; in a
//   weighted fit with count > 2, goodness is then NaN for a NaN chi-square and 0 for an
//   infinite one.
// None of these is reported otherwise. No state; safe on several threads with distinct arrays.
NUMERICS_API void fit_line(const float x[], const float y[], int count, const float sdev[], int use_sdev,
                           float* intercept, float* slope, float* intercept_sdev, float* slope_sdev, float* chi_square,
                           float* goodness);

// Solves A X = B by Gauss-Jordan elimination with full pivoting, in place: a[1..n][1..n] is
// replaced by its inverse and b[1..n][1..m] by the solution X (m may be 0: b is then not
// touched). The pivot is the candidate of largest magnitude, rows and columns scanned in
// ascending order, the last of equal magnitudes winning; rows are swapped element by element
// (row pointers are never exchanged), and the column order is restored at the end.
//
// Ends the process with
// - "gaussj: Singular Matrix-2" when the chosen pivot is exactly 0 (a zero row or column, or
//   exact zeros left by elimination);
// - "gaussj: Singular Matrix-1" when a pivot search finds no candidate at all because every
//   remaining element is NaN: the elimination has nowhere to go and would have to reuse an
//   already used column.
// Nearly singular matrices are inverted without complaint. Uses three int work vectors of
// length n; keeps no state.
// After an error a and b are partly reduced: their contents are unspecified.
NUMERICS_API void gaussj(float** a, int n, float** b, int m);

// A model y(x; params) for Levenberg-Marquardt fitting. It stores the value at x in *value
// and dy/dparams[l] in derivatives[l] for every fitted l (other entries are never read);
// params and derivatives are 1-based over [1..param_count].
using model_function = void (*)(float x, const float params[], float* value, float derivatives[], int param_count);

// One Levenberg-Marquardt iteration on the data x, y, sdev[1..count] for the model `model`
// with parameters params[1..param_count]; fit_mask[l] nonzero marks params[l] as fitted, 0 as
// frozen (it never changes). The fitted parameters are numbered 1..fitted_count in order of
// position; curvature uses its top-left fitted_count block, covariance its whole
// [1..param_count] range.
//
// A fit is driven by the caller:
// - a starting call, *lambda < 0: sets up the work storage, sets *lambda to the float 0.001,
//   evaluates chi-square and the curvature at params, then makes one step as below;
// - each step, *lambda > 0: solves the system damped by (1 + lambda) on the diagonal and
//   evaluates chi-square at the trial parameters. A strictly lower chi-square is accepted
//   (params and curvature updated, *lambda times 0.1); otherwise the trial is rejected
//   (*lambda times 10, params and curvature unchanged; covariance holds the rejected
//   trial's curvature). Each factor is applied in double and rounded to float, so the
//   starting call returns *lambda 0.00010000000474974513 or 0.010000000707805157. After
//   every call but the final one, *chi_square holds the chi-square of params (its incoming
//   value is never read);
// - the final call, *lambda == 0: fills covariance with the inverse of the curvature of the
//   accepted parameters, with zero rows and columns for frozen parameters, releases the
//   work storage and changes nothing else.
// Every call of one fit passes the same data, mask, matrices and model; when to stop is the
// caller's decision. A starting call while a fit is unfinished abandons that fit and releases
// its storage. With every parameter frozen each step is rejected and the final covariance is
// all zeros.
//
// Ends the process with "lm_step: no fit in progress" for a step or final call without a
// starting call, and through gaussj ("gaussj: Singular Matrix-1" or "gaussj: Singular
// Matrix-2") when the damped matrix is singular, e.g. for a fitted parameter the model does not depend on. A zero
// standard deviation gives infinities or NaNs, and a NaN chi-square counts as a rejected step.
//
// Keeps the fit in process-wide static storage without locks: only one fit at a time, and
// calls must not overlap across threads.
// After an error (the messages above thrown by a handler, an allocation failure, or the
// model's own exception) the fit is over: its storage is released and the next call must be a
// starting call. params is unchanged; covariance, curvature, *chi_square and *lambda are
// unspecified.
NUMERICS_API void lm_step(const float x[], const float y[], const float sdev[], int count, float params[],
                          const int fit_mask[], int param_count, float** covariance, float** curvature,
                          float* chi_square, model_function model, float* lambda);

// Evaluates the model at every point x[1..count] at params[1..param_count] and writes the
// chi-square, the gradient gradient[1..fitted_count] (sum of w (y - y(x)) dy/da_j, w = 1/sdev^2)
// and the symmetric curvature[1..fitted_count][1..fitted_count] (sum of w dy/da_j dy/da_k),
// over the fitted parameters numbered in order of position. No state; re-entrant if the
// model is. After an error (the model's exception) the outputs are unspecified.
NUMERICS_API void lm_coefficients(const float x[], const float y[], const float sdev[], int count, const float params[],
                                  const int fit_mask[], int param_count, float** curvature, float gradient[],
                                  float* chi_square, model_function model);

// Spreads a covariance matrix of the fitted parameters, held in the top-left
// [1..fitted_count] block of covariance[1..param_count][1..param_count], over the positions
// of those parameters, and zeros the rows and columns of the frozen ones. fitted_count must
// be the number of nonzero entries of fit_mask[1..param_count]. No state.
NUMERICS_API void expand_covariance(float** covariance, int param_count, const int fit_mask[], int fitted_count);

// A model_function for a sum of Gaussians B exp(-((x - E) / G)^2), one triple (B, E, G) per
// three consecutive parameters from params[1]. Only complete triples are used: one or two
// trailing parameters are ignored and their derivatives left unwritten. No state.
NUMERICS_API void gaussian_sum_model(float x, const float params[], float* value, float derivatives[], int param_count);

}  // namespace numerics

#endif
