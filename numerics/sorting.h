// Sorting and selection over 1-based arrays, in place.
//
// Every routine works on values[1..n] of an offset vector (see arrays.h) and touches nothing
// outside it; n (and k) are unsigned 32-bit, and no index computation wraps, so any n up to
// 2^32 - 1 that memory allows is handled. n = 0 is allowed in the sorts and leaves the array
// alone. The routines keep no state, so they may run on several threads at once on distinct
// arrays.
//
// NaN keys: the float routines first move every NaN behind all numbers (the NaNs permuted among
// themselves, a NaN key's companion travelling with it) and then work on the numbers alone,
// which therefore end exactly as they would had the NaNs not been there. A NaN so counts as
// larger than every number, and -0 and +0 count as equal. For input without NaNs this first
// pass moves nothing.
//
// After an error that a handler turns into an exception (numerics/arrays.h), the sorts have
// released their stack and leave values (and companion) a permutation of what they held; the
// selection routines test k before they touch the array, which is then unchanged.
#ifndef NUMERICS_SORTING_H
#define NUMERICS_SORTING_H

#include <stdint.h>

#include "numerics/export.h"

namespace numerics {

// Sorts values[1..n] ascending: median-of-three quicksort without recursion, straight
// insertion for ranges of 7 elements or fewer (which keeps equal keys in order there; longer
// arrays do not keep the order of equal keys). The pending ranges live on a stack from
// ivector(1, 60), released before return; "allocation failure in ivector()" if that fails.
// "NSTACK too small in sort." would end the process when the stack is full, which no 32-bit n
// can reach.
NUMERICS_API void sort(unsigned n, float values[]);

// As sort, and makes every move of values[1..n] in companion[1..n] too, so that companion[i]
// ends as the element that came in beside the key now at values[i]. Only the keys are
// compared. The two arrays must not overlap. The stack comes from ivector(1, 50); for some
// arrays of more than 2^28 elements it is too small, and the process ends with
// "NSTACK too small in sort2.".
NUMERICS_API void sort2(unsigned n, float values[], float companion[]);

// Sorts values[1..n] ascending by heapsort: no storage beyond a few scalars, n log n time on
// any input, equal keys in no particular order.
NUMERICS_API void heap_sort(unsigned n, float values[]);

// Returns the k-th smallest of values[1..n] (k = 1 the smallest, k = n the largest) and leaves
// it at values[k], with every element of values[1..k - 1] not above it and every element of
// values[k + 1..n] not below it (or NaN); the array is otherwise permuted. With fewer than k
// numbers among the elements the result is a NaN of the input, at values[k], and the numbers
// stand before the NaNs in their original order. k outside 1..n (any k when n = 0) ends the
// process with "k out of range in kth_smallest".
NUMERICS_API float kth_smallest(unsigned k, unsigned n, float values[]);

// As kth_smallest for unsigned 16-bit elements, ordered by their unsigned value. k outside
// 1..n ends the process with "k out of range in kth_smallest_u16".
NUMERICS_API uint16_t kth_smallest_u16(unsigned k, unsigned n, uint16_t values[]);

}  // namespace numerics

#endif
