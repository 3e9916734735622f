#include "numerics/detail/fft/kernels.h"

#include "numerics/detail/cpu_dispatch.h"

namespace numerics::detail::fft {

const kernel_table& active_kernels() { return for_active_path(sse2_kernels, avx2_kernels, avx512_kernels); }

}  // namespace numerics::detail::fft
