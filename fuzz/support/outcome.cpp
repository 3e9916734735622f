#include "outcome.h"

#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace fuzz {

namespace {

bool armed = false;
const pthread_t fuzzing_thread = pthread_self();

// How often each report ended a call, printed when the fuzzer finishes. The messages are
// copied: a handler's message is valid only while the handler runs.
struct tally {
  char message[128];
  unsigned long count;
};
constexpr int tally_capacity = 64;
tally tallies[tally_capacity];
int tally_count = 0;
unsigned long calls = 0;

void print_tallies() {
  if (calls == 0) return;
  fprintf(stderr, "toolkit calls: %lu\n", calls);
  for (int i = 0; i < tally_count; ++i)
    fprintf(stderr, "  ended by \"%s\": %lu\n", tallies[i].message, tallies[i].count);
}

struct setup {
  setup() {
    numerics::install_throwing_handler();
    atexit(print_tallies);
  }
} installed;

}  // namespace

namespace detail {

void arm() {
  if (armed) fail("outcome_of calls must not nest");
  if (!pthread_equal(pthread_self(), fuzzing_thread)) fail("toolkit calls come from one thread");
  ++calls;
  armed = true;
}

void disarm() { armed = false; }

const char* reported(const char* message) {
  for (int i = 0; i < tally_count; ++i) {
    if (strcmp(tallies[i].message, message) == 0) {
      ++tallies[i].count;
      return tallies[i].message;
    }
  }
  if (tally_count == tally_capacity || strlen(message) >= sizeof tallies[0].message) fail("too many reports to count");
  tally& t = tallies[tally_count++];
  strcpy(t.message, message);
  t.count = 1;
  return t.message;
}

}  // namespace detail

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

// Link-time wrapper (-Wl,--wrap=malloc): the toolkit's references to malloc arrive here. Inside
// a toolkit call on the fuzzing thread the heap refuses blocks above heap_limit_bytes, as a heap
// that has run out would: the allocation failure paths are reached without exhausting memory.
extern "C" {

void* __real_malloc(size_t size);

void* __wrap_malloc(size_t size) {
  if (fuzz::armed && size > fuzz::heap_limit_bytes && pthread_equal(pthread_self(), fuzz::fuzzing_thread))
    return nullptr;
  return __real_malloc(size);
}
}
