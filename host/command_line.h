// The development host's command line.
#pragma once

#include <string>

#include "host/host.h"

namespace devhost {

struct CommandLine {
  std::string module_path;   // default: the module built with this host
  std::string session_path;  // default: the demo session
  bool interactive = false;
  bool help = false;
  HostVersion version;
};

extern const char* const usage;

// Throws std::invalid_argument, naming the fault, for a command line it does not accept.
CommandLine parse_command_line(int argc, const char* const* argv);

}  // namespace devhost
