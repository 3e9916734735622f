#include "numerics/detail/fft/kernels.h"

#include "numerics/detail/cpu_dispatch.h"

namespace numerics::detail::fft {

const kernel_table& active_kernels() {
  switch (active_vector_path()) {
    case vector_path::avx512:
      return avx512_kernels;
    case vector_path::avx2:
      return avx2_kernels;
    case vector_path::sse2:
      break;
  }
  return sse2_kernels;
}

}  // namespace numerics::detail::fft
