#include "counting.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>

namespace {

std::atomic<std::uint64_t> allocations{0};
std::atomic<std::uint64_t> sines{0};

void count_allocation() { allocations.fetch_add(1, std::memory_order_relaxed); }

}  // namespace

bench::Counts bench::counts() {
  return {allocations.load(std::memory_order_relaxed), sines.load(std::memory_order_relaxed)};
}

// The C library's allocator under its internal names: the replacements below count and pass on,
// so every block still comes from, and goes back to, the one allocator.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);

void* malloc(std::size_t size) noexcept {
  count_allocation();
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
  count_allocation();
  return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) noexcept {
  count_allocation();
  return __libc_realloc(block, size);
}

void free(void* block) noexcept { __libc_free(block); }

void* memalign(std::size_t alignment, std::size_t size) noexcept {
  count_allocation();
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  count_allocation();
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size) noexcept {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  count_allocation();
  void* p = __libc_memalign(alignment, size);
  if (p == nullptr) return ENOMEM;
  *block = p;
  return 0;
}

// The link step (-Wl,--wrap=_ZN8numerics6cr_sinEd) sends every call of numerics::cr_sin made
// from another translation unit (every toolkit routine's) here, whatever cr_sin computes with.
double __real__ZN8numerics6cr_sinEd(double x);
double __wrap__ZN8numerics6cr_sinEd(double x) {
  sines.fetch_add(1, std::memory_order_relaxed);
  return __real__ZN8numerics6cr_sinEd(x);
}
}
