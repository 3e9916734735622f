// The run-time error handler: the default, a handler that returns, one that throws, nested
// guards, and handlers set while other threads meet errors.
#include <gtest/gtest.h>
#include <stdio.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "../numerics/fatal.h"
#include "error_of.h"
#include "numerics/numerics.h"

using namespace numerics;
using errors_test::error_of;
using errors_test::Grid;

namespace {

// The installed handler, left installed.
run_time_error_handler current_handler() {
  const run_time_error_handler handler = set_run_time_error_handler(nullptr);
  set_run_time_error_handler(handler);
  return handler;
}

void note_and_return(const char* message) { fprintf(stderr, "noted: %s\n", message); }

struct other_error {
  std::string message;
};
void throw_other_error(const char* message) { throw other_error{message}; }

float*** tensor_in_two_blocks() {
  float*** data = f3tensor(1, 2, 1, 2, 1, 2);
  data[2] = f3tensor(1, 2, 1, 2, 1, 2)[2];
  return data;
}

TEST(RunTimeErrorHandlerDeathTest, TheDefaultReportsAndExitsAndSoDoesAHandlerThatReturns) {
  numerics_test::run_death_tests_in_fresh_children();
  EXPECT_EQ(set_run_time_error_handler(note_and_return), nullptr);
  EXPECT_EQ(set_run_time_error_handler(nullptr), note_and_return);  // null: the default again
  EXPECT_EXIT(run_time_error("100% sure"), testing::ExitedWithCode(1),
              testing::Eq(numerics_test::report_of("100% sure")));

  Grid singular(2, 2);
  EXPECT_EXIT(
      (set_run_time_error_handler(note_and_return), gaussj(singular, 2, nullptr, 0)), testing::ExitedWithCode(1),
      testing::Eq("noted: gaussj: Singular Matrix-2\n" + numerics_test::report_of("gaussj: Singular Matrix-2")));
  // The silent exit stays silent, apart from what the handler says.
  Grid nyquist(2, 4);
  EXPECT_EXIT((set_run_time_error_handler(note_and_return), real_fft_3d(tensor_in_two_blocks(), nyquist, 2, 2, 2, 1)),
              testing::ExitedWithCode(1), testing::Eq("noted: the tensor is not one block in real_fft_3d\n"));
  EXPECT_EXIT(real_fft_3d(tensor_in_two_blocks(), nyquist, 2, 2, 2, 1), testing::ExitedWithCode(1), testing::Eq(""));
}

TEST(RunTimeErrorHandler, GuardsNestAndRestoreInOrder) {
  EXPECT_EQ(set_run_time_error_handler(throw_other_error), nullptr);
  {
    throwing_handler_guard outer;
    EXPECT_EQ(current_handler(), throw_toolkit_error);
    {
      throwing_handler_guard inner;
      EXPECT_EQ(error_of([] { run_time_error("inner"); }), "inner");
    }
    EXPECT_EQ(current_handler(), throw_toolkit_error);
    EXPECT_THROW(complex_fft(nullptr, 3, 1), toolkit_error);
  }
  EXPECT_EQ(current_handler(), throw_other_error);
  try {
    complex_fft(nullptr, 3, 1);
    ADD_FAILURE() << "returned";
  } catch (const other_error& e) {
    EXPECT_EQ(e.message, "n must be a power of two in complex_fft");
  }
  EXPECT_EQ(install_throwing_handler(), throw_other_error);
  EXPECT_EQ(set_run_time_error_handler(nullptr), throw_toolkit_error);
}

// Threads that meet errors while others keep replacing the handler: every error meets one of
// the two throwing handlers, never a torn or missing one (which would end the test).
TEST(RunTimeErrorHandler, CanBeReplacedWhileOtherThreadsMeetErrors) {
  set_run_time_error_handler(throw_toolkit_error);
  std::atomic<bool> done{false};
  std::atomic<int> caught{0};
  std::thread replacer([&] {
    while (!done) {
      set_run_time_error_handler(throw_other_error);
      set_run_time_error_handler(throw_toolkit_error);
    }
  });
  std::vector<std::thread> raisers;
  for (int t = 0; t < 3; ++t) {
    raisers.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        try {
          kth_smallest(1, 0, nullptr);
        } catch (const toolkit_error& e) {
          if (std::string(e.what()) == "k out of range in kth_smallest") ++caught;
        } catch (const other_error& e) {
          if (e.message == "k out of range in kth_smallest") ++caught;
        }
      }
    });
  }
  for (std::thread& raiser : raisers) raiser.join();
  done = true;
  replacer.join();
  EXPECT_EQ(caught, 3 * 2000);
  set_run_time_error_handler(nullptr);
}

}  // namespace
