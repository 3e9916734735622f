#include "host/command_line.h"

#include <charconv>
#include <stdexcept>
#include <vector>

namespace devhost {

const char* const usage =
    "usage: CorvaneZT.exe [-h | --help] [--host-version MAJOR.MINOR.SUB] [--session FILE | --interactive] [MODULE]\n"
    "  MODULE          the plugin module to load (default: the lotwright module of this build)\n"
    "  --session FILE  play the wizard session in FILE (default: the demo session)\n"
    "  --interactive   type session lines at the terminal instead (help lists them)\n"
    "  --host-version  the CorvaneZT version reported to the plugin (default 2.4.1)\n"
    "  -h, --help      show this text\n";

namespace {

// A decimal number of digits alone (no sign, no space) that fits an int.
bool parse_version_part(const std::string& part, int& value) {
  if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos) return false;
  const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
  return error == std::errc() && end == part.data() + part.size();
}

HostVersion parse_version(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t dot; (dot = text.find('.', start)) != std::string::npos; start = dot + 1)
    parts.push_back(text.substr(start, dot - start));
  parts.push_back(text.substr(start));

  HostVersion version;
  if (parts.size() != 3 || !parse_version_part(parts[0], version.major) ||
      !parse_version_part(parts[1], version.minor) || !parse_version_part(parts[2], version.sub_minor))
    throw std::invalid_argument("--host-version needs three non-negative integers MAJOR.MINOR.SUB, not \"" + text +
                                "\"");
  return version;
}

bool is_option(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine command_line;
  command_line.module_path = LOTWRIGHT_DEFAULT_MODULE;
  command_line.session_path = LOTWRIGHT_DEMO_SESSION;
  bool module_given = false;
  bool session_given = false;
  // The value of an option is the next argument; a long option in its place means the value is
  // missing (while "-1.0.0" is a value, to be judged as one).
  auto value_of = [&](int& i, const std::string& option) -> std::string {
    if (i + 1 >= argc || std::string(argv[i + 1]).rfind("--", 0) == 0)
      throw std::invalid_argument(option + " needs a value");
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "-h" || argument == "--help") {
      command_line.help = true;
      return command_line;
    }
    if (argument == "--interactive") {
      command_line.interactive = true;
    } else if (argument == "--session") {
      command_line.session_path = value_of(i, argument);
      session_given = true;
    } else if (argument == "--host-version") {
      command_line.version = parse_version(value_of(i, argument));
    } else if (is_option(argument)) {
      throw std::invalid_argument("unknown option " + argument);
    } else if (!module_given) {
      command_line.module_path = argument;
      module_given = true;
    } else {
      throw std::invalid_argument("one module only: unexpected argument " + argument);
    }
  }
  if (command_line.interactive && session_given)
    throw std::invalid_argument("--interactive and --session exclude each other");
  return command_line;
}

}  // namespace devhost
