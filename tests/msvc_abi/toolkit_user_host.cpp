// Loads the toolkit_user module (tests/errors/toolkit_user.cpp) in a program built in
// Microsoft's C++ ABI, as a host loads a plugin, and has the module meet toolkit errors: each
// must be thrown by the module's handler through the toolkit's frames and caught in the
// module's own code, which then goes on working. Prints each failed check; exits with 0 when
// all passed.
//   toolkit_user_host MODULE
//   toolkit_user_host MODULE --returning-handler   the module's handler returns: the process
//                                                  ends with the default report and status 1
#include <stdio.h>
#include <string.h>
#include <windows.h>

namespace {

int failures;

void check(bool passed, const char* what) {
  if (!passed) {
    ++failures;
    printf("FAILED: %s\n", what);
  }
}

typedef int MessageFunction(char* message, int size);
typedef int Query();
typedef void Action();

void check_caught(HMODULE module, const char* name, const char* expected_message) {
  auto* run = reinterpret_cast<MessageFunction*>(GetProcAddress(module, name));
  check(run != nullptr, name);
  if (run == nullptr) return;
  char message[128] = "";
  check(run(message, sizeof message) == 1, name);
  if (strcmp(message, expected_message) != 0) {
    ++failures;
    printf("FAILED: %s caught \"%s\", expected \"%s\"\n", name, message, expected_message);
  }
  auto* default_in_place = reinterpret_cast<Query*>(GetProcAddress(module, "default_handler_in_place"));
  check(default_in_place != nullptr && default_in_place() == 1, "the guard restored the default handler");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    printf("usage: toolkit_user_host MODULE [--returning-handler]\n");
    return 2;
  }
  HMODULE module = LoadLibraryA(argv[1]);
  if (module == nullptr) {
    printf("FAILED: cannot load %s\n", argv[1]);
    return 1;
  }
  if (argc > 2 && strcmp(argv[2], "--returning-handler") == 0) {
    reinterpret_cast<Action*>(GetProcAddress(module, "fail_after_a_returning_handler"))();
    printf("FAILED: the process went on after the error\n");
    return 3;
  }
  check_caught(module, "transform_three_values", "n must be a power of two in complex_fft");
  check_caught(module, "refit_without_the_idle_parameter", "gaussj: Singular Matrix-2");
  return failures == 0 ? 0 : 1;
}
