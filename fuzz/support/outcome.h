// What the fuzz targets share: running a toolkit call whose documented outcome may be an error,
// and checking results.
//
// By default the toolkit ends the process on bad input (run_time_error, and the silent exit of
// the three-dimensional real transform). Those are specified outcomes, not faults, so the fuzz
// targets install the throwing run-time error handler (numerics/exceptions.h) for the whole
// run: outcome_of catches the error, and the target checks that it was the documented one and
// goes on with the next input. The toolkit then releases what it held, which the leak checks
// of the fuzzer verify. malloc is wrapped at link time (see fuzz/CMakeLists.txt) to play a heap
// with a limit inside outcome_of.
#ifndef FUZZ_SUPPORT_OUTCOME_H
#define FUZZ_SUPPORT_OUTCOME_H

#include <stddef.h>
#include <stdint.h>

#include "numerics/exceptions.h"

namespace fuzz {

namespace detail {

// Starts and ends the stretch in which the heap has a limit.
void arm();
void disarm();
// Counts the report and returns a copy of its message that lives as long as the process.
const char* reported(const char* message);

}  // namespace detail

// Runs call(); returns nullptr when it returned, else the message of the error it reported.
template <typename Call>
const char* outcome_of(Call&& call) {
  detail::arm();
  try {
    call();
  } catch (const numerics::toolkit_error& e) {
    detail::disarm();
    return detail::reported(e.what());
  } catch (...) {
    detail::disarm();
    throw;
  }
  detail::disarm();
  return nullptr;
}

// A postcondition that failed: prints what and aborts, which the fuzzer reports as a crash.
[[noreturn]] void fail(const char* what);
inline void expect(bool condition, const char* what) {
  if (!condition) fail(what);
}
// The outcome must be `wanted` (nullptr: the call returned).
void expect_outcome(const char* outcome, const char* wanted);

// Largest block the heap hands out inside outcome_of; larger requests are refused (malloc
// returns null), so that the toolkit's allocation failure paths are reached without
// exhausting memory.
constexpr size_t heap_limit_bytes = size_t{32} << 20;

// The call must return.
template <typename Call>
void expect_returns(Call&& call) {
  expect_outcome(outcome_of(call), nullptr);
}

uint32_t bits_of(float x);
float float_of(uint32_t bits);
bool is_nan(float x);

}  // namespace fuzz

#endif
