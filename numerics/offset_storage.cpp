#include <stdlib.h>

#include "numerics/arrays.h"
#include "numerics/detail/offset_storage.h"

namespace numerics::detail {

void* allocate_elements(int64_t count, size_t width, const char* message) {
  if (count < 0 || count > INT32_MAX) run_time_error(message);
  void* block = malloc(static_cast<size_t>(count) * width);
  if (block == nullptr) run_time_error(message);
  return block;
}

}  // namespace numerics::detail
