// Bit-identity checks of the fast Fourier transforms against the reference (fft_reference.h):
// each check runs the reference once and the toolkit's routine on every vector path the
// processor supports, forced in turn, on the same input. Every output float must have the
// reference's bits; where the reference gives NaN, any NaN is accepted (fourier.h leaves NaN
// payloads open). C runtime only, shared by the GoogleTest suites and the Windows check.
#ifndef TESTS_NUMERICS_FFT_IDENTITY_H
#define TESTS_NUMERICS_FFT_IDENTITY_H

namespace fft_identity {

enum data_kind { random_values, signed_zeros, subnormals, infinities, huge_values, any_bits, data_kind_count };

const char* kind_name(int kind);

// Deterministic inputs of each kind.
void fill(float* values, unsigned count, int kind, unsigned seed);

struct outcome {
  unsigned mismatches;  // outputs whose bits differ, summed over the paths
  unsigned first;       // 0-based position of the first one
  int first_path;       // the path it was found on (numerics::detail::vector_path)
  int paths_checked;
};

outcome check_complex_fft(unsigned n, int sign, int kind);
outcome check_real_fft(unsigned n, int sign, int kind);
// dims[0..dim_count-1], 0-based here.
outcome check_complex_fft_nd(const unsigned* dims, int dim_count, int sign, int kind);
outcome check_real_fft_3d(unsigned size1, unsigned size2, unsigned size3, int sign, int kind);

}  // namespace fft_identity

#endif
