// The one place where the toolkit chooses its vector instructions.
//
// Every vector kernel exists in one version per path: SSE2 (the x86-64 baseline, always there),
// AVX2 and AVX-512 (F, DQ, VL, BW). A routine asks `active_vector_path()` once per call and
// runs that path's kernels; every path computes the same operations on the same operands in
// the same precision, so the choice changes speed and never a bit. No path uses fused
// multiply-add. Kernels of a path live in source files named *_avx2.cpp and *_avx512.cpp under
// numerics/detail/, which alone are compiled for those instruction sets.
#ifndef NUMERICS_DETAIL_CPU_DISPATCH_H
#define NUMERICS_DETAIL_CPU_DISPATCH_H

namespace numerics::detail {

// Ordered from narrowest to widest.
enum class vector_path { sse2 = 0, avx2 = 1, avx512 = 2 };

// The widest path that this processor and the operating system support (the OS must save the
// wider registers on a context switch).
vector_path supported_vector_path();

// The path the kernels use: the supported one, unless a test forced a narrower one.
vector_path active_vector_path();

// For tests: makes every later call use `path`, so that each path can be checked in turn.
// Returns false and changes nothing when the machine does not support `path`. Not for use
// while another thread runs toolkit routines.
bool force_vector_path(vector_path path);

// The table of the active path, of one table of kernels per path.
template <class Table>
const Table& for_active_path(const Table& sse2, const Table& avx2, const Table& avx512) {
  switch (active_vector_path()) {
    case vector_path::avx512:
      return avx512;
    case vector_path::avx2:
      return avx2;
    case vector_path::sse2:
      break;
  }
  return sse2;
}

}  // namespace numerics::detail

#endif
