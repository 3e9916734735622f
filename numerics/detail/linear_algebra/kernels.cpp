#include "numerics/detail/linear_algebra/kernels.h"

#include "numerics/detail/cpu_dispatch.h"

namespace numerics::detail::linear_algebra {

const kernels& active_kernels() { return for_active_path(sse2_kernels, avx2_kernels, avx512_kernels); }

}  // namespace numerics::detail::linear_algebra
