#include <float.h>
#include <stdio.h>
#include <stdlib.h>

#include "numerics/arrays.h"
#include "numerics/detail/atomic_access.h"
#include "numerics/detail/silent_exit.h"

// Every toolkit routine relies on float arithmetic being evaluated in float and double in
// double; a platform that widens intermediates would change their results.
static_assert(FLT_EVAL_METHOD == 0, "the toolkit needs FLT_EVAL_METHOD == 0");

namespace numerics {
namespace {

// Null for the default. Installed from any thread, read by whichever thread meets an error.
run_time_error_handler installed_handler = nullptr;

// Gives the embedding program its say first; returns when there is no handler or it returned.
void offer_to_handler(const char* message) {
  const run_time_error_handler handler = detail::load_acquire(&installed_handler);
  if (handler != nullptr) handler(message);
}

}  // namespace

run_time_error_handler set_run_time_error_handler(run_time_error_handler handler) {
  return detail::exchange(&installed_handler, handler);
}

void run_time_error(const char* message) {
  offer_to_handler(message);
  // Three separate writes; the message is an argument, never a format, so it is printed as is.
  fprintf(stderr, "Vellacourt run-time error...\n");
  fprintf(stderr, "%s\n", message);
  fprintf(stderr, "...now exiting to system...\n");
  exit(1);
}

namespace detail {

void silent_exit(const char* message) {
  offer_to_handler(message);
  exit(1);
}

}  // namespace detail
}  // namespace numerics
