// The entry point of a console program: prepares the command line, runs the static
// constructors, then main; main's result is the exit status.
#include <corecrt_startup.h>
#include <stdlib.h>

#include "runtime.h"

int main(int argc, char** argv);

extern "C" int mainCRTStartup() {
  _configure_narrow_argv(_crt_argv_unexpanded_arguments);
  run_static_constructors();
  exit(main(__argc, __argv));
}
