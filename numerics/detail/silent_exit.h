// The one way besides run_time_error in which a toolkit routine ends the process: exit status 1
// without a word. An installed run-time error handler is offered `message` first, so that an
// embedding program can take this condition like any other error.
#ifndef NUMERICS_DETAIL_SILENT_EXIT_H
#define NUMERICS_DETAIL_SILENT_EXIT_H

namespace numerics::detail {

[[noreturn]] void silent_exit(const char* message);

}  // namespace numerics::detail

#endif
