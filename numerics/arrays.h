// Run-time errors and their handler, offset vectors, offset matrices and offset 3-tensors.
//
// Every toolkit routine addresses its arrays over inclusive index ranges [low..high] given as
// signed 32-bit integers, most often from 1. An offset vector is a plain pointer shifted so
// that v[low] is the first and v[high] the last element of one heap block of exactly
// high - low + 1 elements; there is no header and no stored range, so the owner keeps the
// range and hands `low` back on release. Elements are never initialised.
//
// An offset matrix is a table of row pointers over one contiguous row-major element block:
// m[i][j], row i in [row_low..row_high], column j in [col_low..col_high], element (i, j) at
// position (i - row_low) * ncol + (j - col_low) of the block. Row pointers may be read but
// must not be replaced while the matrix is live: release relies on m[row_low].
//
// An offset 3-tensor t[i][j][k] is one contiguous element block, depth fastest, then column,
// then row, so t[row_low][col_low] + depth_low is the address of a flat array of all elements.
//
// Failures: every allocator either returns a usable structure or ends the process through
// `run_time_error` with its message ("allocation failure in vector()", "allocation failure 1
// in matrix()", ...); it never returns null. A heap that refuses, an inverted range
// (high < low - 1), and a shape whose element count or any intermediate product (rows x
// columns, columns x depth, rows x columns x depth) exceeds 2147483647 are all reported with
// the message of the request that could not be made. Empty ranges (high == low - 1) are
// allowed in every dimension: the result has no usable index and is released as usual.
//
// After an error (a handler that throws, see run_time_error_handler) an allocator has released
// every block it had obtained for the structure: nothing is left half-built.
//
// None of these functions keeps state; they are as thread-safe as malloc and free. The
// handler is the one process-wide setting, and setting it is thread-safe.
#ifndef NUMERICS_ARRAYS_H
#define NUMERICS_ARRAYS_H

#include <stdint.h>

#include "numerics/export.h"

namespace numerics {

// Writes "Vellacourt run-time error...", the message verbatim, and "...now exiting to
// system..." as three lines on standard error, then ends the process with exit status 1.
// An installed handler (below) is called with the message first; the report and the exit
// follow only if it returns, so run_time_error never returns.
[[noreturn]] NUMERICS_API void run_time_error(const char* message);

// What an embedding program does with a toolkit error instead of ending the process. It is
// called with the message (valid during the call only) on the thread that met the error, and
// possibly on several threads at once. It may:
// - throw an exception (numerics/exceptions.h has one): every routine releases what it
//   allocated as the exception passes, and leaves its outputs as its header says for an error;
// - return: the default report and exit follow.
// It must not longjmp out of the toolkit (what the routines hold would not be released), and
// must not report through run_time_error itself (it would be called again, without end).
// The toolkit's one other way of ending the process, the silent exit of real_fft_3d for a
// tensor that is not one block, is offered to the handler alike ("the tensor is not one block
// in real_fft_3d"); if the handler returns, that exit stays silent.
using run_time_error_handler = void (*)(const char* message);

// Installs `handler` for the whole process (for every thread, and for this copy of the toolkit:
// each module that links the static library has its own) and returns the one it replaces;
// null, given or returned, stands for the default report and exit. Safe to call from any
// thread at any time: an error meets either the old or the new handler, and one that met the
// old handler may still be running it when this returns.
NUMERICS_API run_time_error_handler set_run_time_error_handler(run_time_error_handler handler);

// Offset vectors over [low..high]. Release functions free the block at v[low]; `high` is
// accepted for symmetry and not used.
NUMERICS_API float* vector(int low, int high);
NUMERICS_API void release_vector(float* v, int low, int high);
NUMERICS_API int* ivector(int low, int high);
NUMERICS_API void release_ivector(int* v, int low, int high);
NUMERICS_API unsigned char* cvector(int low, int high);
NUMERICS_API void release_cvector(unsigned char* v, int low, int high);
// Same element width as ivector (32 bits on every platform); only its message differs.
NUMERICS_API int32_t* lvector(int low, int high);
NUMERICS_API void release_lvector(int32_t* v, int low, int high);
NUMERICS_API double* dvector(int low, int high);
NUMERICS_API void release_dvector(double* v, int low, int high);

// Offset matrices over [row_low..row_high] x [col_low..col_high]. All three report
// "allocation failure 1 in matrix()" for the row table and "allocation failure 2 in
// matrix()" for the element block. Release uses row_low and col_low only.
NUMERICS_API float** matrix(int row_low, int row_high, int col_low, int col_high);
NUMERICS_API void release_matrix(float** m, int row_low, int row_high, int col_low, int col_high);
NUMERICS_API double** double_matrix(int row_low, int row_high, int col_low, int col_high);
NUMERICS_API void release_double_matrix(double** m, int row_low, int row_high, int col_low, int col_high);
NUMERICS_API int** int_matrix(int row_low, int row_high, int col_low, int col_high);
NUMERICS_API void release_int_matrix(int** m, int row_low, int row_high, int col_low, int col_high);

// A view of rows old_row_low..old_row_high and of the columns from old_col_low on of `a`:
// view[new_row_low + r][new_col_low + c] is a[old_row_low + r][old_col_low + c]. Nothing is
// copied; the view is valid while `a` is. `old_col_high` is not used. Reports "allocation
// failure in submatrix()".
NUMERICS_API float** submatrix(float** a, int old_row_low, int old_row_high, int old_col_low, int old_col_high,
                               int new_row_low, int new_col_low);
// Release of a view frees its row table only; row_low is the view's own first row.
NUMERICS_API void release_submatrix(float** b, int row_low, int row_high, int col_low, int col_high);

// A matrix over nrow x ncol floats already stored row after row from a[0]: m[row_low][col_low]
// is a[0]. Nothing is copied or owned. Reports "allocation failure in convert_matrix()", also
// for an inverted column range (col_high < col_low - 1), which describes no storage.
NUMERICS_API float** convert_matrix(float* a, int row_low, int row_high, int col_low, int col_high);
NUMERICS_API void release_convert_matrix(float** b, int row_low, int row_high, int col_low, int col_high);

// Offset 3-tensors over rows x columns x depth. Messages 1, 2 and 3 ("allocation failure 1 in
// f3tensor()", ...) name the row table, the block of column tables and the element block.
// Release uses row_low, col_low and depth_low only.
NUMERICS_API float*** f3tensor(int row_low, int row_high, int col_low, int col_high, int depth_low, int depth_high);
NUMERICS_API void release_f3tensor(float*** t, int row_low, int row_high, int col_low, int col_high, int depth_low,
                                   int depth_high);
NUMERICS_API unsigned char*** c3tensor(int row_low, int row_high, int col_low, int col_high, int depth_low,
                                       int depth_high);
NUMERICS_API void release_c3tensor(unsigned char*** t, int row_low, int row_high, int col_low, int col_high,
                                   int depth_low, int depth_high);

}  // namespace numerics

#endif
