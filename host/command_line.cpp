#include "host/command_line.h"

#include <sstream>
#include <stdexcept>

namespace devhost {

const char* const usage =
    "usage: CorvaneZT.exe [--host-version MAJOR.MINOR.SUB] [--session FILE | --interactive] [MODULE]\n"
    "  MODULE          the plugin module to load (default: the lotwright module of this build)\n"
    "  --session FILE  play the wizard session in FILE (default: the demo session)\n"
    "  --interactive   type session lines at the terminal instead; dialogs ask for a path\n"
    "  --host-version  the CorvaneZT version reported to the plugin (default 2.4.1)\n"
    "  --help          show this text\n";

namespace {

HostVersion parse_version(const std::string& text) {
  std::istringstream input(text);
  HostVersion version;
  char dot1 = 0;
  char dot2 = 0;
  input >> version.major >> dot1 >> version.minor >> dot2 >> version.sub_minor;
  if (!input || dot1 != '.' || dot2 != '.' || input.peek() != std::char_traits<char>::eof())
    throw std::invalid_argument("not a version MAJOR.MINOR.SUB: " + text);
  return version;
}

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine command_line;
  command_line.module_path = LOTWRIGHT_DEFAULT_MODULE;
  command_line.session_path = LOTWRIGHT_DEMO_SESSION;
  bool module_given = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool has_value = i + 1 < argc;
    if (argument == "--help") {
      command_line.help = true;
    } else if (argument == "--interactive") {
      command_line.interactive = true;
    } else if (argument == "--session" && has_value) {
      command_line.session_path = argv[++i];
    } else if (argument == "--host-version" && has_value) {
      command_line.version = parse_version(argv[++i]);
    } else if (argument.rfind("--", 0) != 0 && !module_given) {
      command_line.module_path = argument;
      module_given = true;
    } else {
      throw std::invalid_argument("unexpected argument: " + argument);
    }
  }
  return command_line;
}

}  // namespace devhost
