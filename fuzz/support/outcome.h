// What the fuzz targets share: running a toolkit call whose documented outcome may be the end
// of the process, and checking results.
//
// The toolkit ends the process on bad input (run_time_error, and the silent exit of the
// three-dimensional real transform). Those are specified outcomes, not faults, so the fuzz
// targets are linked with the process exit and run_time_error wrapped (see fuzz/CMakeLists.txt):
// inside outcome_of the wrappers jump back to the target instead, which then checks that the
// report was the documented one and goes on with the next input. malloc is wrapped too, to
// play a heap with a limit. The toolkit's sources are compiled as they are.
#ifndef FUZZ_SUPPORT_OUTCOME_H
#define FUZZ_SUPPORT_OUTCOME_H

#include <setjmp.h>
#include <stddef.h>
#include <stdint.h>

namespace fuzz {

// The outcome of a call that ended the process without a message.
extern const char* const silent_exit;

namespace detail {

// Arms the wrappers to jump to `landing` and starts recording the heap blocks obtained
// on this thread, which a call that ends early leaves behind by design.
void arm(jmp_buf* landing);
// The call returned: disarm.
void disarm_returned();
// The call ended the process: disarm, free the blocks it left (or keep them recorded for
// free_left_blocks), count the report and return its message (or silent_exit).
const char* disarm_reported(bool keep_blocks);

template <bool keep_blocks, typename Call>
const char* run(Call&& call) {
  jmp_buf landing;
  arm(&landing);
  if (setjmp(landing) == 0) {
    call();
    disarm_returned();
    return nullptr;
  }
  return disarm_reported(keep_blocks);
}

}  // namespace detail

// Runs call(); returns nullptr when it returned, else the message with which it ended the
// process (silent_exit for a quiet exit); the heap blocks such a call leaves are freed. The
// call must not leave C++ objects with destructors between here and the toolkit, since an
// ending call skips their frames.
template <typename Call>
const char* outcome_of(Call&& call) {
  return detail::run<false>(call);
}

// As outcome_of for a routine that keeps some of its blocks as state when it ends early: the
// blocks stay allocated until free_left_blocks, to be called once the routine has been made
// to release its state.
template <typename Call>
const char* outcome_keeping_blocks(Call&& call) {
  return detail::run<true>(call);
}
void free_left_blocks();

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
