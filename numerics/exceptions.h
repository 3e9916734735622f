// Toolkit errors as C++ exceptions, for programs that must outlive a bad call: a plugin in a
// host application, a server, an interactive tool.
//
// By default a toolkit error (see run_time_error in numerics/arrays.h) ends the process. With
// the handler below installed, the routine that meets the error throws numerics::toolkit_error
// instead; every toolkit routine the exception passes through releases what it allocated, and
// the caller catches it where it can go on:
//
//   numerics::throwing_handler_guard errors_throw;   // until the end of this scope
//   try {
//     numerics::complex_fft(data, n, 1);
//   } catch (const numerics::toolkit_error& e) {
//     report(e.what());                               // "n must be a power of two in complex_fft"
//   }
//
// Header only, and the one toolkit header that needs the C++ standard library: the compiled
// toolkit uses the C runtime alone. The handler is process-wide (for this copy of the toolkit),
// so a guard makes errors throw on every thread while it lives; install the handler once at
// start-up when several threads use the toolkit.
#ifndef NUMERICS_EXCEPTIONS_H
#define NUMERICS_EXCEPTIONS_H

#include <stdexcept>

#include "numerics/arrays.h"

namespace numerics {

// A toolkit error; what() is the message exactly as run_time_error received it.
class toolkit_error : public std::runtime_error {
 public:
  explicit toolkit_error(const char* message) : std::runtime_error(message) {}
};

// The run_time_error_handler that throws toolkit_error with the message.
[[noreturn]] inline void throw_toolkit_error(const char* message) { throw toolkit_error(message); }

// Installs throw_toolkit_error for the whole process; returns the handler it replaces (null for
// the default), which set_run_time_error_handler puts back.
inline run_time_error_handler install_throwing_handler() { return set_run_time_error_handler(throw_toolkit_error); }

// Installs throw_toolkit_error for the guard's lifetime and then puts back the handler it
// replaced. Guards nest: each restores what was there when it was made, so inner guards must
// end first, as scopes on one thread do.
class throwing_handler_guard {
 public:
  throwing_handler_guard() : previous_(install_throwing_handler()) {}
  ~throwing_handler_guard() { set_run_time_error_handler(previous_); }
  throwing_handler_guard(const throwing_handler_guard&) = delete;
  throwing_handler_guard& operator=(const throwing_handler_guard&) = delete;

 private:
  run_time_error_handler previous_;
};

}  // namespace numerics

#endif
