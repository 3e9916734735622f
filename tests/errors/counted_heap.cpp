#include "counted_heap.h"

#include <stddef.h>

#include <atomic>

namespace counted_heap {
namespace {

std::atomic<long> live{0};
// Requests still to be granted before the refused one; negative: refuse nothing.
std::atomic<long> to_grant{-1};

}  // namespace

long live_blocks() { return live.load(); }

void refuse_request(int skipped) { to_grant.store(skipped); }

void refuse_none() { to_grant.store(-1); }

}  // namespace counted_heap

extern "C" {

void* __real_malloc(size_t size);
void __real_free(void* block);

void* __wrap_malloc(size_t size) {
  using counted_heap::to_grant;
  long expected = to_grant.load();
  while (expected >= 0 && !to_grant.compare_exchange_weak(expected, expected - 1)) {
  }
  if (expected == 0) return nullptr;
  void* block = __real_malloc(size);
  if (block != nullptr) ++counted_heap::live;
  return block;
}

void __wrap_free(void* block) {
  if (block != nullptr) --counted_heap::live;
  __real_free(block);
}
}
