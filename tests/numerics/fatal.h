// Expectations for the toolkit's fatal path: the three-line report on standard error and
// exit status 1, checked in a child process.
#ifndef TESTS_NUMERICS_FATAL_H
#define TESTS_NUMERICS_FATAL_H

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

// Set when AddressSanitizer is on, for tests that only it can observe.
#if defined(__SANITIZE_ADDRESS__)
#define TESTS_HAVE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESTS_HAVE_ASAN 1
#endif
#endif

namespace numerics_test {

// A routine that ends the process releases nothing it allocated: that is its contract, not a
// leak. Death tests therefore run in a freshly started child with leak checking off; the
// test process itself read its options at start and keeps checking its own leaks.
inline void run_death_tests_in_fresh_children() {
#if !defined(_WIN32)
  setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
#endif
  GTEST_FLAG_SET(death_test_style, "threadsafe");
}

inline std::string report_of(const std::string& message) {
  return "Vellacourt run-time error...\n" + message + "\n...now exiting to system...\n";
}

}  // namespace numerics_test

// `statement` must end the process through run_time_error with exactly `message`.
#define EXPECT_RUN_TIME_ERROR(statement, message)       \
  ::numerics_test::run_death_tests_in_fresh_children(); \
  EXPECT_EXIT(statement, ::testing::ExitedWithCode(1), ::testing::Eq(::numerics_test::report_of(message)))

#endif
