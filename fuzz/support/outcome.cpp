#include "outcome.h"

#include <pthread.h>
#include <sanitizer/allocator_interface.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace fuzz {

const char* const silent_exit = "(silent exit with status 1)";

namespace {

jmp_buf* landing = nullptr;
const char* ending = nullptr;

// Heap blocks recorded on the fuzzing thread: those obtained by the armed call and not yet
// freed, and those that earlier ending calls left to the target (free_left_blocks).
struct block_list {
  static constexpr int capacity = 1024;
  const volatile void* blocks[capacity];
  int count = 0;
  bool lost = false;

  void add(const volatile void* p) {
    if (count == capacity)
      lost = true;
    else
      blocks[count++] = p;
  }
  bool remove(const volatile void* p) {
    for (int i = count - 1; i >= 0; --i) {
      if (blocks[i] == p) {
        blocks[i] = blocks[--count];
        return true;
      }
    }
    return false;
  }
  void free_all() {
    if (lost) fail("more heap blocks left by an ending call than can be tracked");
    const volatile void* taken[capacity];
    const int n = count;
    for (int i = 0; i < n; ++i) taken[i] = blocks[i];
    count = 0;
    for (int i = 0; i < n; ++i) free(const_cast<void*>(taken[i]));
  }
};
block_list call_blocks;
block_list left_blocks;
pthread_t watched_thread = pthread_self();

void on_malloc(const volatile void* p, size_t) {
  if (landing != nullptr && pthread_equal(pthread_self(), watched_thread)) call_blocks.add(p);
}

void on_free(const volatile void* p) {
  if ((landing == nullptr && left_blocks.count == 0) || !pthread_equal(pthread_self(), watched_thread)) return;
  if (!call_blocks.remove(p)) left_blocks.remove(p);
}

// How often each report ended a call, printed when the fuzzer finishes.
struct tally {
  const char* message;
  unsigned long count;
};
constexpr int tally_capacity = 64;
tally tallies[tally_capacity];
unsigned long calls = 0;

void count_report(const char* message) {
  for (tally& t : tallies) {
    if (t.message == nullptr) t.message = message;
    if (strcmp(t.message, message) == 0) {
      ++t.count;
      return;
    }
  }
}

void print_tallies() {
  if (calls == 0) return;
  fprintf(stderr, "toolkit calls: %lu\n", calls);
  for (const tally& t : tallies)
    if (t.message != nullptr) fprintf(stderr, "  ended by \"%s\": %lu\n", t.message, t.count);
}

struct setup {
  setup() {
    __sanitizer_install_malloc_and_free_hooks(on_malloc, on_free);
    atexit(print_tallies);
  }
} installed;

[[noreturn]] void land(const char* message) {
  ending = message;
  longjmp(*landing, 1);
}

}  // namespace

namespace detail {

void arm(jmp_buf* at) {
  if (landing != nullptr) fail("outcome_of calls must not nest");
  if (!pthread_equal(pthread_self(), watched_thread)) fail("toolkit calls come from one thread");
  ++calls;
  call_blocks.count = 0;
  call_blocks.lost = false;
  landing = at;
}

void disarm_returned() { landing = nullptr; }

const char* disarm_reported(bool keep_blocks) {
  landing = nullptr;
  if (keep_blocks) {
    if (call_blocks.lost) fail("more heap blocks left by an ending call than can be tracked");
    for (int i = 0; i < call_blocks.count; ++i) left_blocks.add(call_blocks.blocks[i]);
    call_blocks.count = 0;
  } else {
    call_blocks.free_all();
  }
  count_report(ending);
  return ending;
}

}  // namespace detail

void free_left_blocks() { left_blocks.free_all(); }

void fail(const char* what) {
  fprintf(stderr, "postcondition failed: %s\n", what);
  abort();
}

void expect_outcome(const char* outcome, const char* wanted) {
  if (outcome == wanted || (outcome != nullptr && wanted != nullptr && strcmp(outcome, wanted) == 0)) return;
  fprintf(stderr, "outcome \"%s\", wanted \"%s\"\n", outcome != nullptr ? outcome : "(returned)",
          wanted != nullptr ? wanted : "(returned)");
  fail("unexpected outcome");
}

uint32_t bits_of(float x) {
  uint32_t b;
  memcpy(&b, &x, sizeof b);
  return b;
}

float float_of(uint32_t bits) {
  float x;
  memcpy(&x, &bits, sizeof x);
  return x;
}

bool is_nan(float x) { return x != x; }

}  // namespace fuzz

// Link-time wrappers (-Wl,--wrap=...): the toolkit's references to malloc, exit and
// run_time_error arrive here. Outside an armed call they do what they always do.
extern "C" {

void* __real_malloc(size_t size);
[[noreturn]] void __real_exit(int status);
[[noreturn]] void __real__ZN8numerics14run_time_errorEPKc(const char* message);

// Inside a toolkit call the heap refuses blocks above heap_limit_bytes, as a heap that has run
// out would: the allocation failure paths are reached without exhausting memory.
void* __wrap_malloc(size_t size) {
  if (fuzz::landing != nullptr && size > fuzz::heap_limit_bytes) return nullptr;
  return __real_malloc(size);
}

[[noreturn]] void __wrap_exit(int status) {
  if (fuzz::landing != nullptr) {
    if (status != 1) fuzz::fail("a toolkit call exited with a status other than 1");
    fuzz::land(fuzz::silent_exit);
  }
  __real_exit(status);
}

[[noreturn]] void __wrap__ZN8numerics14run_time_errorEPKc(const char* message) {
  if (fuzz::landing != nullptr) fuzz::land(message);
  __real__ZN8numerics14run_time_errorEPKc(message);
}
}
