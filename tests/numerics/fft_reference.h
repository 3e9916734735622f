// The Fourier transforms as first written, one butterfly at a time: the reference that the
// toolkit's fast transforms must match bit for bit. Same arguments and results as the routines
// of numerics/fourier.h, without their argument checks. C runtime only, so that the Windows
// builds can run it as well.
#ifndef TESTS_NUMERICS_FFT_REFERENCE_H
#define TESTS_NUMERICS_FFT_REFERENCE_H

namespace fft_reference {

void complex_fft(float data[], unsigned n, int sign);
void real_fft(float data[], unsigned n, int sign);
void complex_fft_nd(float data[], const unsigned dims[], int dim_count, int sign);
void real_fft_3d(float*** data, float** nyquist, unsigned size1, unsigned size2, unsigned size3, int sign);

}  // namespace fft_reference

#endif
