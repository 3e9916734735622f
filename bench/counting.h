// Counts of the heap allocations and sine calls made by the process, read before and after a
// timed loop. The benchmark program replaces malloc and its relatives with counting wrappers
// around the C library's own allocator, so allocations are seen wherever they are made (the
// toolkit, Eigen, the C++ library, FFTW); the toolkit's calls of its sine, numerics::cr_sin, are
// routed through a counting wrapper at link time.
#ifndef BENCH_COUNTING_H
#define BENCH_COUNTING_H

#include <cstdint>

namespace bench {

struct Counts {
  std::uint64_t allocations;  // malloc, calloc, realloc and the aligned allocators
  std::uint64_t sines;        // numerics::cr_sin calls made by the toolkit
};

Counts counts();

}  // namespace bench

#endif
